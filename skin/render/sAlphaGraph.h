#pragma once
// Alpha routines that keep the alpha byte of 32-bit bitmaps meaningful.
#include "platform/vcl/bitmap.h"

// Every pixel equal to $00FFFFFF becomes 0.
void UpdateTransPixels(vcl::TBitmap* bmp);
// Premultiplies r (which must lie inside the bitmap), or the whole bitmap, by alpha: $00FFFFFF becomes 0, other
// pixels get each channel c * A shr 8.
void UpdateAlpha(vcl::TBitmap* bmp, const vcl::TRect& r);
void UpdateAlpha(vcl::TBitmap* bmp);
