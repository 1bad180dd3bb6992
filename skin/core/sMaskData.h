#pragma once
// Frame sizes of skin images: ImageCount frames side by side, MaskType + 1 parts stacked (the lower half of a
// MaskType 1 image is its alpha mask).
#include "platform/vcl/graphicstypes.h"
#include "skin/core/sSkinTables.h"

// Width of one frame: 0 for ImageCount 0.
int WidthOfImage(const TsMaskData& mask);
// Height of one frame: 0 for MaskType -1, the whole height for 0, half (toward zero) for 1.
int HeightOfImage(const TsMaskData& mask);
vcl::TSize MkSize(const TsMaskData& mask);
