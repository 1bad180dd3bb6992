#pragma once
// Border painting for two cases the section painter does not cover well: refreshing only the frame of a
// control's cache bitmap (and copying it to a device context), and painting a nine-slice border for a control
// shaped by a window region while cutting the transparent corner pixels out of that region.
#include "platform/vcl/bitmap.h"
#include "skin/core/sSkinTables.h"

class TsCommonData;

// Paints the border of the control into its cache within aRect, and with minBorderWidth not 0 copies a frame that
// wide to dc; answers the rectangle inside the border.
vcl::TRect PaintBorderFast(HDC dc, const vcl::TRect& aRect, int minBorderWidth, TsCommonData* skinData, int state);
// The border image over the whole of bmp; the key-colour pixels of the four corners leave region (when not 0); the
// centre only with filling and BDM_FILL.
void PaintRgnBorder(vcl::TBitmap* bmp, HRGN region, bool filling, const TsMaskData& maskData, int state);
// The inclusive source rectangle of the image's bitmap onto the inclusive destination rectangle of bmp; with
// fillRgn the key pixels are not painted and are taken out of region.
void CopyMask(int dstX1, int dstY1, int dstX2, int dstY2, int srcX1, int srcY1, int srcX2, int srcY2, vcl::TBitmap* bmp,
              HRGN region, const TsMaskData& maskData, bool fillRgn);
