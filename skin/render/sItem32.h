#pragma once
// A whole skin section painted into part of a 32-bit bitmap whose alpha channel matters (items drawn over
// transparent areas, such as title-bar items): background colour, texture and gradient, then the border with the
// 32-bit nine-slice painter over what lay under the item.
#include "platform/vcl/bitmap.h"

class TsSkinManager;

void PaintItem32(int skinIndex, bool filling, int state, const vcl::TRect& r, vcl::TPoint pP, vcl::TBitmap* itemBmp,
                 TsSkinManager* skinManager = nullptr);
// The section's background only; customColor other than $FF00FF replaces its colour and leaves texture and
// gradient out.
void PaintItemBG32(int skinIndex, int state, const vcl::TRect& r, vcl::TBitmap* itemBmp, TsSkinManager* skinManager,
                   vcl::TColor customColor = 0xFF00FF);
