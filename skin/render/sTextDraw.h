#pragma once
// How skinned controls write their captions and draw their glyphs: text in a section's font colours with one-pixel
// contour copies, a blurred glow behind the text, text into 32-bit bitmaps with a valid alpha, captions cut with
// "...", rotated fonts, the placement of a button's glyph and caption, glyph strips in the platform's button-glyph
// layout with a fading reflection, and a few pixel-drawn figures.
#include "platform/rtl/types.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "skin/core/sConst.h"

// Where a button's glyph sits beside its caption.
VCL_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

class TsCommonData;
class TsSkinManager;

int lvDrawText(HDC dc, const rtl::String& text, vcl::TRect& r, unsigned flags);
void lvWriteText(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags);
int lvTextWidth(vcl::TCanvas* canvas, const rtl::String& text);
int lvTextHeight(vcl::TCanvas* canvas, const rtl::String& text);
vcl::TSize lvTextExtent(vcl::TCanvas* canvas, const rtl::String& text);
void lvTextRect(vcl::TCanvas* canvas, const vcl::TRect& r, int x, int y, const rtl::String& text);
void lvGetTextExtent(HDC dc, const rtl::String& text, vcl::TSize& size);
// tmHeight of the font on the screen DC plus 6.
int GetFontHeight(HFONT font);
vcl::TSize GetStringSize(HFONT font, const rtl::String& text, unsigned flags, int maxWidth, bool wordWrap);
// The text shortened from the end until it fits with "..." appended; empty when nothing fits or maxWidth < 1.
rtl::String CutText(vcl::TCanvas* canvas, const rtl::String& text, int maxWidth);
// Selects a rotated copy of font into dc (angle in tenths of a degree); answers the font selected before.
HFONT MakeAngledFont(HDC dc, vcl::TFont* font, int angle);

void WriteTextEx(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags, int skinIndex,
                 bool hot, TsSkinManager* skinManager = nullptr);
void WriteTextEx(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags,
                 TsCommonData* skinData, bool hot);
inline void lvWriteTextEx(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags,
                          int skinIndex, bool hot, TsSkinManager* skinManager = nullptr) {
  WriteTextEx(canvas, text, enabled, r, flags, skinIndex, hot, skinManager);
}
inline void lvWriteTextEx(vcl::TCanvas* canvas, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags,
                          TsCommonData* skinData, bool hot, TsSkinManager*) {
  WriteTextEx(canvas, text, enabled, r, flags, skinData, hot);
}
// A blurred glow of the text in color behind r of dstBmp. glowBmp (the 8-bit mask) is made when nil or of another
// size, and reused unchanged when its size fits.
void lvDrawGlowForText(vcl::TBitmap* dstBmp, const wchar_t* text, const vcl::TRect& r, unsigned drawFlags,
                       int contourMask, int size, vcl::TColor color, vcl::TBitmap*& glowBmp);
// Text into a 32-bit bitmap by coverage: blended (premultiplied, alpha raised) or per channel with alpha 255.
void WriteColor(vcl::TBitmap* bmp, const wchar_t* text, bool blended, const vcl::TRect& r, unsigned flags,
                vcl::TColor color, bool ansiText = false);
void WriteText32(vcl::TBitmap* bmp, const wchar_t* text, bool enabled, vcl::TRect& r, unsigned flags, int skinIndex,
                 bool hot, TsSkinManager* skinManager = nullptr);

void CalcButtonLayout(const vcl::TRect& client, vcl::TPoint glyphSize, vcl::TSize textSize, TButtonLayout layout,
                      vcl::TAlignment alignment, int margin, int spacing, vcl::TPoint& glyphPos, vcl::TRect& textBounds,
                      unsigned biDiFlags, vcl::TVerticalAlignment vAlignment);
// One frame of a glyph strip of numGlyphs frames at r of dstBmp.
void DrawGlyphEx(vcl::TBitmap* glyph, vcl::TBitmap* dstBmp, vcl::TRect r, int numGlyphs, bool enabled,
                 TsDisabledGlyphKind disabledGlyphKind, int state, int blend, bool down, bool reflected);
void DrawGlyphReflection(vcl::TBitmap* dstBmp, vcl::TBitmap* srcBmp, vcl::TPoint p, vcl::TRect srcRect,
                         TsColor_ transColor, int blend);
void DrawColorArrow(vcl::TCanvas* canvas, vcl::TColor color, const vcl::TRect& r, TlvSide side);
void FocusRect(vcl::TCanvas* canvas, vcl::TRect r, vcl::TColor color1, vcl::TColor color2);
void DrawRectangleOnDC(HDC dc, vcl::TRect& r, vcl::TColor color1, int& width, vcl::TColor color2);
