#pragma once
// Prepared pages drawn as paper shows them: an A4 sheet at 96 dots per inch, white, the objects placed from the
// top and left margins, written as PNG in the test's folder so that a person can open and look at them.
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/png.h"
#include "report/model/qvxClassPages.h"

constexpr int kSheetWidth = 794, kSheetHeight = 1123;

inline void WhiteSheet(vcl::TBitmap& bitmap) {
  bitmap.SetSize(kSheetWidth, kSheetHeight);
  bitmap.Canvas()->Brush()->SetColor(vcl::clWhite);
  bitmap.Canvas()->FillRect(vcl::TRect{0, 0, kSheetWidth, kSheetHeight});
}

inline void WritePng(vcl::TBitmap& bitmap, const rtl::String& file) {
  vcl::TPngImage png;
  png.Assign(&bitmap);
  png.SaveToFile(file);
}

// Dark pixels inside a rectangle: where text was drawn.
inline int InkIn(vcl::TBitmap& bitmap, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const vcl::TColor c = bitmap.Canvas()->Pixels(x, y);
      if ((c & 0xFF) < 128 && ((c >> 8) & 0xFF) < 128) ++n;
    }
  return n;
}
