#pragma once
// Nine-slice skin images: corners copied as they are, sides tiled or stretched along the edges, a centre tiled,
// stretched or left out; into cache bitmaps (DrawSkinRect), into 32-bit targets whose alpha carries through
// (DrawSkinRect32) and as a frame only with an opacity (DrawSkinRect32Ex). Also the masked copy and stretch
// primitives they use, the repainting of a control's transparent corners over a changed background, and one state
// frame of a skin glyph.
#include "platform/vcl/bitmap.h"
#include "platform/vcl/set.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinTables.h"

class TsCommonData;

enum TsCorner { scLeftTop, scLeftBottom, scRightTop, scRightBottom };
using TsCorners = vcl::TSet<TsCorner>;

void DrawSkinRect(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData, int state,
                  bool updateCorners);
void DrawSkinRect32(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData,
                    int state);
void DrawSkinRect32Ex(vcl::TBitmap* bmp, const vcl::TRect& r, const TCacheInfo& ci, const TsMaskData& maskData,
                      int state, vcl::TRect maxWidths, int opacity);
void StretchBltMask(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                    int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, bool noStdStretch);
void StretchBltMask32(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                      int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, bool noStdStretch);
void StretchBltMask32Ex(int dstX1, int dstY1, int dstWidth, int dstHeight, int srcX1, int srcY1, int srcWidth,
                        int srcHeight, vcl::TBitmap* bmpDst, vcl::TBitmap* bmpSrc, int maskOffset, int opacity,
                        bool noStdStretch);
void CopyByMask32(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                  const TCacheInfo& ci, const TsMaskData& maskData);
void CopyByMask32Ex(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                    const TCacheInfo& ci, const TsMaskData& maskData, int opacity);
// CopyByMask with the master bitmap of the image's manager as the source.
void CopyMasterRect(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp, const TCacheInfo& ci,
                    const TsMaskData& maskData);
void UpdateCorners(TsCommonData* skinData, int state, TsCorners corners);
// Frame min(state, ImageCount - 1) of a glyph at p; addedTransparency 1 normal, any other lighter.
void DrawSkinGlyph(vcl::TBitmap* bmp, vcl::TPoint p, int state, int addedTransparency, const TsMaskData& maskData,
                   const TCacheInfo& ci);
// Inclusive rectangles r2 of bmp2 into r1 of the 32-bit bmp1 through the glyph's mask.
void BlendGlyphByMask(const vcl::TRect& r1, const vcl::TRect& r2, vcl::TBitmap* bmp1, vcl::TBitmap* bmp2,
                      int addedTransparency, const TsMaskData& maskData);
