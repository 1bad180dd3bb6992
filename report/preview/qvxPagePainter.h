#pragma once
// How the preview draws one prepared page. Drawing pages belongs to the printing layer (report/print), which
// registers itself with the store (qvxPagesOutput.h); until a program links that layer, the preview falls back on
// a plain painter of its own: the page's paper and background, then every object of the page drawn by itself.
// A test may put in its own painter (nullptr puts the default back).
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

// The plain painter on its own (what the default painter does without the printing layer).
void qvxDrawPagePlain(TqvxCustomPreviewPages* pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                      Extended scaleY, Extended offsetX, Extended offsetY);
