#pragma once
// Pixel-level operations between 32-bit bitmaps that the skin painters compose their images with: copies with an
// alpha channel, with the key colour ($FF00FF) or through a mask image, blends by a percentage or a weight, sums of
// two bitmaps, a colour faded in under rounded rectangles, grey conversion, channel copies, texture tiling by fill
// mode and copying only the frame of an area between device contexts.
//
// A Byte weight w in the sums means d = ((d - s) * w + s * 256) shr 8: w = 0 gives the source, 255 nearly the
// destination. Routines that need bitmaps of equal size do nothing otherwise; empty or clipped-away areas draw
// nothing. Several routines take a source rectangle whose Right and Bottom are included once limited to the
// bitmap; each says so.
#include <memory>

#include "platform/vcl/bitmap.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinTables.h"

// Dst takes Src's pixel format, size and pixels.
void CopyBmp(vcl::TBitmap* dst, vcl::TBitmap* src);
// Draws bmp into r of the canvas, 32-bit bitmaps blended by their alpha (stretched colour and alpha apart when the
// sizes differ), with a fading reflection below when asked.
void DrawBmp(vcl::TCanvas* canvas, vcl::TBitmap* bmp, const vcl::TRect& r, bool reflected);
// The main alpha copy: srcRect of src over dstRect of dst by the source alpha (times (100 - blend) / 100), tinted
// grey toward grayedColor unless that is clNone; key pixels take the parent's pixel from ci with updateTrans.
void CopyBmp32(const vcl::TRect& dstRect, const vcl::TRect& srcRect, vcl::TBitmap* dst, vcl::TBitmap* src,
               const TCacheInfo& ci, bool updateTrans, vcl::TColor grayedColor, int blend, bool reflected);
// Alpha copy; the destination alpha grows with the source's; key pixels take the parent's pixel.
void CopyByMask(const vcl::TRect& dstRect, const vcl::TRect& srcRect, vcl::TBitmap* dst, vcl::TBitmap* src,
                const TCacheInfo& ci, bool updateTrans);
// Copy through the mask half of a skin image (the mask row is the source row plus half the image's height).
void CopyByMask(const vcl::TRect& dstRect, const vcl::TRect& srcRect, vcl::TBitmap* dst, vcl::TBitmap* src,
                const TCacheInfo& ci, bool updateTrans, const TsMaskData& maskData);
// Copies srcRect (inclusive) of src to (x, y) of dst leaving or replacing pixels of transColor.
void CopyTransRect(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, vcl::TRect srcRect, vcl::TColor transColor,
                   const TCacheInfo& ci, bool updateTrans);
// The same, alpha kept, the transparent colour given as a colour value; ci is not used.
void CopyTransRectA(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, vcl::TRect srcRect, vcl::TColor transColor,
                    const TCacheInfo& ci);
// The whole of src at (x, y), leaving out pixels of transColor; copied pixels get alpha 255.
void CopyTransBitmaps(vcl::TBitmap* dst, vcl::TBitmap* src, int x, int y, TsColor transColor);
// srcRect (inclusive) of src at (x, y) of dst: each channel Trunc(s - (s - d) * blend); transColor left out.
void BlendTransRectangle(vcl::TBitmap* dst, int x, int y, vcl::TBitmap* src, vcl::TRect srcRect, double blend,
                         vcl::TColor transColor = 0xFF00FF);
// Moves every pixel but the key colour toward color: blend 1 keeps the pixel, 0 gives color.
void BlendTransBitmap(vcl::TBitmap* bmp, double blend, TsColor color);
// Mixes color in through a mask of the same size (white keeps the image).
void BlendBmpByMask(vcl::TBitmap* dst, vcl::TBitmap* mask, TsColor color);
// Weighted sum of equal-size bitmaps (B, G, R).
void SumBitmaps(vcl::TBitmap* dst, vcl::TBitmap* src, int blend);
// Weighted sum of srcRect (inclusive) of src at dstPoint of dst, alpha included.
void SumBmpRect(vcl::TBitmap* dst, vcl::TBitmap* src, int blend, vcl::TRect srcRect, vcl::TPoint dstPoint);
// out := src1 and src2 mixed through a mask, or by percent (256 gives src1, 0 src2).
void SumBitmapsByMask(vcl::TBitmap* out, vcl::TBitmap* src1, vcl::TBitmap* src2, vcl::TBitmap* mask, int percent);
// color faded into r under nested rounded rectangles; transparency 100 leaves the area unchanged.
void FadeBmp(vcl::TBitmap* bmp, const vcl::TRect& r, int transparency, TsColor color, int size, int radius);
void GrayScale(vcl::TBitmap* bmp);
void GrayScaleTrans(vcl::TBitmap* bmp, TsColor transColor);
// Byte channel (0 B, 1 G, 2 R, 3 A) of every pixel of dst from src.
void CopyChannel32(vcl::TBitmap* dst, vcl::TBitmap* src, int channel);
// Byte channel of a 32-bit bitmap to an 8-bit one (to8) or back.
void CopyChannel(vcl::TBitmap* bmp32, vcl::TBitmap* bmp8, int channel, bool to8);
// A new 8-bit bitmap with a grey colour table (index i is grey i), so that stretching keeps the bytes.
std::unique_ptr<vcl::TBitmap> CreateGray8(int width, int height);
// The texture image of maskData laid out in r by fill mode; r becomes the part not covered, or (-1, -1, -1, -1).
void TileBitmap(vcl::TCanvas* canvas, vcl::TRect& r, vcl::TGraphic* graphic, const TsMaskData& maskData,
                TlvFillMode fillMode);
// A masked texture laid out in r over ci.
void TileMasked(vcl::TBitmap* bmp, vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData,
                TlvFillMode fillMode);
// Copies only the frame, borderWidth wide, of an area between device contexts.
void BitBltBorder(HDC dstDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY, int borderWidth);

// The bitmap of a skin image: its own, else its manager's master bitmap (nullptr without either).
vcl::TBitmap* ImageBitmap(const TsMaskData& maskData);
