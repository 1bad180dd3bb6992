#pragma once
// Section painting: how a skinned control learns what lies behind it, and how a skin section in one of its states
// is painted into an off-screen 32-bit bitmap over that background: state colour, transparency, texture, gradient,
// corner glyphs, the nine-slice border and the control's own tone. Also a nine-slice copy between bitmaps and small
// DC fills. A nil manager means DefaultManager; invalid section indexes paint nothing.
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "skin/core/sConst.h"

class TsCommonData;
class TsSkinManager;

// Asks the control (or window) what lies behind its children (LVC_GETBG); when nobody answers, the control paints
// itself into BGInfo.DrawDC with pleaseDraw, or its colour is taken.
bool GetBGInfo(TlvBGInfo& bgInfo, vcl::TControl* control, bool pleaseDraw);
bool GetBGInfo(TlvBGInfo& bgInfo, HWND handle, bool pleaseDraw);
TCacheInfo BGInfoToCI(const TlvBGInfo& bgInfo);

void PaintItemBG(int skinIndex, const TCacheInfo& ci, int state, const vcl::TRect& r, vcl::TPoint pP,
                 vcl::TBitmap* itemBmp, TsSkinManager* skinManager = nullptr, int textureIndex = -1,
                 int hotTextureIndex = -1, vcl::TColor customColor = 0xFF00FF);
void PaintItemBG(TsCommonData* skinData, const TCacheInfo& ci, int state, const vcl::TRect& r, vcl::TPoint pP,
                 vcl::TBitmap* itemBmp);
void PaintItemBGFast(int skinIndex, int textureIndex, const TCacheInfo& ci, int state, const vcl::TRect& r,
                     vcl::TPoint pP, vcl::TBitmap* itemBmp, TsSkinManager* skinManager = nullptr);
void PaintItem(int skinIndex, const TCacheInfo& ci, bool filling, int state, const vcl::TRect& r, vcl::TPoint pP,
               vcl::TBitmap* itemBmp, TsSkinManager* skinManager = nullptr, int textureIndex = -1,
               int hotTextureIndex = -1);
void PaintItem(TsCommonData* skinData, const TCacheInfo& ci, bool filling, int state, const vcl::TRect& r,
               vcl::TPoint pP, vcl::TBitmap* itemBmp, bool updateCorners, int textureIndex = -1,
               int hotTextureIndex = -1);
void PaintItem(int skinIndex, const TCacheInfo& ci, bool filling, int state, const vcl::TRect& r, vcl::TPoint pP,
               HDC dc, TsSkinManager* skinManager = nullptr);
void PaintItem(int skinIndex, const rtl::String& skinSection, const TCacheInfo& ci, bool filling, int state,
               const vcl::TRect& r, vcl::TPoint pP, HDC dc, TsSkinManager* skinManager = nullptr);
void PaintItemFast(int skinIndex, int maskIndex, int textureIndex, int hotTextureIndex, const TCacheInfo& ci,
                   bool filling, int state, const vcl::TRect& r, vcl::TPoint pP, vcl::TBitmap* itemBmp,
                   TsSkinManager* skinManager = nullptr);
// A section over the whole of bmp (secondIndex when skinIndex < 0): the background from parentDC at parentOffset,
// else bgColor.
void PaintSection(vcl::TBitmap* bmp, int skinIndex, int secondIndex, int state, TsSkinManager* skinManager,
                  vcl::TPoint parentOffset, vcl::TColor bgColor, HDC parentDC = nullptr);
// A control over its parent's answered background; False only when the parent is not ready.
bool PaintSkinControl(TsCommonData* skinData, vcl::TControl* parent, bool filling, int state, const vcl::TRect& r,
                      vcl::TPoint pP, vcl::TBitmap* itemBmp, bool updateCorners, int textureIndex = -1,
                      int hotTextureIndex = -1);
// Nine-slice copy: corners by BitBlt, sides tiled (0) or stretched (1) by sideModes, the centre with drawCenter.
void PaintControlByTemplate(vcl::TBitmap* dst, vcl::TBitmap* src, const vcl::TRect& dstRect, const vcl::TRect& srcRect,
                            const vcl::TRect& margins, const vcl::TRect& limits, const vcl::TRect& sideModes,
                            bool stretchCenter, bool drawCenter = true);
void FillDC(HDC dc, const vcl::TRect& r, vcl::TColor color);
void FillDCBorder(HDC dc, const vcl::TRect& r, int wl, int wt, int wr, int wb, vcl::TColor color);
void ExcludeControls(HDC dc, vcl::TWinControl* ctrl, int ctrlType, int offsetX, int offsetY);
