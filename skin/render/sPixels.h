#pragma once
// The rest of the renderer's lowest layer: pixel access and bitmap making beyond the basics, tone and average
// colours, the alpha routines that keep the alpha byte of cache bitmaps meaningful (fills, blends, the disabled
// look), icons and window regions made from bitmaps, and the layered-window and DC-layout functions looked up at
// start. Rectangles are clipped to the bitmap where a routine says so; FillAlphaRect, GetAPixel and SetAPixel
// trust their callers.
#include <vector>

#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinTables.h"

class TsCommonData;
class TsSkinManager;

using TAOR = std::vector<vcl::TRect>;

std::unique_ptr<vcl::TBitmap> CreateBmp32(vcl::TControl* control);
std::unique_ptr<vcl::TBitmap> CreateBmpLike(vcl::TBitmap* bmp);
void SetBmp32Pixels(vcl::TBitmap* bmp);
// The raw value of pixel x of scan line y; no bounds check.
TsColor GetAPixel(vcl::TBitmap* bmp, int x, int y);
void SetAPixel(vcl::TBitmap* bmp, int x, int y, TsColor value);
// The upper half of r as a 32-bit bitmap whose alpha is 255 minus the red of the mask in r's lower half.
std::unique_ptr<vcl::TBitmap> CreateAlphaBmp(vcl::TBitmap* bmp, const vcl::TRect& r);

TsColor AverageColor(TsColor c1, TsColor c2);
vcl::TColor AverageColor(vcl::TColor c1, vcl::TColor c2);
TsColor_ ChangeTone(TsColor_ c, TsColor_RGB tone);
vcl::TColor ChangeTone(vcl::TColor color, vcl::TColor tone);
void ChangeColorTone(TsColor_& pixel, int value);
// A colour under the control's own tone, hue and saturation.
vcl::TColor UpdateColor(vcl::TColor color, TsCommonData* skinData);

void FillRect32(vcl::TBitmap* bmp, vcl::TRect r, vcl::TColor color, std::uint8_t alpha);
void BlendRect32(vcl::TBitmap* bmp, vcl::TRect r, vcl::TColor color, int blend, std::uint8_t alpha);
void BlendColorRect(vcl::TBitmap* bmp, vcl::TRect r, int blend, vcl::TColor color);
void FillAlphaRect(vcl::TBitmap* bmp, const vcl::TRect& r, std::uint8_t value, vcl::TColor transColor = vcl::clNone);
void FillDCBorder32(vcl::TBitmap* bmp, const vcl::TRect& r, int wl, int wt, int wr, int wb, vcl::TColor color);
void FillTransPixels32(vcl::TBitmap* dst, vcl::TBitmap* src, const vcl::TRect& r, vcl::TPoint p, int maskIndex,
                       TsSkinManager* skinManager, int corner);
// The disabled look: greyed and/or blended with what lies behind.
void BmpDisabledKind(vcl::TBitmap* bmp, TsDisabledKind disabledKind, vcl::TControl* parent, const TCacheInfo& ci,
                     vcl::TPoint offset);

HICON MakeIcon32(vcl::TBitmap* bmp);
HICON MakeCompIcon(vcl::TBitmap* bmp, vcl::TColor color);
std::uint32_t SwapLong(std::uint32_t value);
void SwapLong(std::uint32_t* p, int count);

void AddRgnBmp(TAOR& rects, vcl::TBitmap* bmp, TsColor transColor);
void GetRgnFromBmp(HRGN& rgn, vcl::TBitmap* bmp, vcl::TColor transColor);
void AddRgn(TAOR& rects, int width, const TsMaskData& maskData, int vertOffset, bool bottom);

// The layered-window and DC-layout functions, looked up when the library starts (nullptr when missing).
using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
extern TUpdateLayeredWindow UpdateLayeredWindowProc;
extern TSetLayeredWindowAttributes SetLayeredWindowAttributesProc;
bool lvLayered();
void lvSetLayout(HDC dc, DWORD layout);
DWORD lvGetLayout(HDC dc);
// The size of one system check-box glyph.
extern int FCheckWidth, FCheckHeight;
void GetCheckSize();
