#pragma once
// How the preview draws one prepared page: by default the store's DrawPage, which the printing layer
// (report/print, linked with this one) provides, so the screen shows what the printer gets. A test may put in its
// own painter (nullptr puts the default back).
#include "report/model/qvxPreviewIntf.h"

class TqvxPagePainter {
 public:
  virtual ~TqvxPagePainter() = default;
  // Page index of pages on canvas, scaled, its paper's top-left corner at (offsetX, offsetY).
  virtual void DrawPage(TqvxCustomPreviewPages* pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                        Extended scaleY, Extended offsetX, Extended offsetY) = 0;
};

void qvxSetPagePainter(TqvxPagePainter* painter);
TqvxPagePainter& qvxPagePainter();
