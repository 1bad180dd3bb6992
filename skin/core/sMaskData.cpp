#include "skin/core/sMaskData.h"

int WidthOfImage(const TsMaskData& mask) {
  if (mask.ImageCount == 0) return 0;
  return mask.R.Width() / mask.ImageCount;
}

int HeightOfImage(const TsMaskData& mask) {
  if (mask.MaskType == -1) return 0;
  if (mask.MaskType == 0) return mask.R.Height();
  if (mask.MaskType == 1) return mask.R.Height() / 2;
  return mask.R.Height() / (mask.MaskType + 1);
}

vcl::TSize MkSize(const TsMaskData& mask) { return vcl::TSize(WidthOfImage(mask), HeightOfImage(mask)); }
