#pragma once
// Image strips and bitmap drawing of the report library: strips cut into image lists (with grey copies for
// disabled buttons), bitmaps drawn stretched with smoothing or keyed on a transparent colour, and any graphic drawn
// the way a report shows it on screen and on paper.
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/imagelist.h"

// Cuts bitmap into dx x dy cells, row by row from the top, each row left to right (cells that do not fit whole are
// left out), and adds each to imgList masked with its own bottom-left pixel; with disabledList, a grey copy of
// each cell goes there the same way.
void qvxAssignImages(vcl::TBitmap* bitmap, int dx, int dy, vcl::TCustomImageList* imgList,
                     vcl::TCustomImageList* disabledList = nullptr);
// Turns every pixel into the light grey of a disabled button: ((R + G + B) div 3) / 3 rounded, plus 150.
void qvxMakeDisabledImage(vcl::TBitmap* bitmap);
// Draws bitmap at (x, y) without the pixels of its transparent colour; nothing for nullptr.
void qvxDrawTransparent(vcl::TCanvas* canvas, int x, int y, vcl::TBitmap* bitmap);
// Stretches bitmap into rect with smoothing.
void DrawBitmap(HDC dc, const vcl::TRect& rect, vcl::TBitmap* bitmap);
// The same through a device-independent copy of the bitmap's bits, as printer drivers want it.
void PrintBitmap(HDC dc, const vcl::TRect& rect, vcl::TBitmap* bitmap);
// Blacks out every pixel of the destination rectangle whose stretched source pixel is not maskColor.
void ApplyMask(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY, int srcWidth,
               int srcHeight, COLORREF maskColor);
// Stretches bitmap into rect, the pixels of transparentColor showing what is beneath; useDIB draws through a
// device-independent copy (for printers).
void qvxDrawTransparentBitmap(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TBitmap* bitmap, bool useDIB,
                              vcl::TColor transparentColor);
// Draws graphic into rect as a report shows it: metafiles and plain screen drawing directly, everything else
// through a bitmap of the graphic's size (smoothed when stretched, keyed on transparentColor when transparent).
void qvxDrawGraphic(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TGraphic* graphic, bool forPrinter, bool smooth,
                    bool transparent, vcl::TColor transparentColor);
