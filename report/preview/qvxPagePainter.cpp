#include "report/preview/qvxPagePainter.h"

namespace {

class TDefaultPainter : public TqvxPagePainter {
 public:
  void DrawPage(TqvxCustomPreviewPages* pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                Extended scaleY, Extended offsetX, Extended offsetY) override {
    if (pages) pages->DrawPage(index, canvas, scaleX, scaleY, offsetX, offsetY);
  }
};

TqvxPagePainter*& Current() {
  static TqvxPagePainter* painter = nullptr;
  return painter;
}

}  // namespace

void qvxSetPagePainter(TqvxPagePainter* painter) { Current() = painter; }

TqvxPagePainter& qvxPagePainter() {
  static TDefaultPainter painter;
  return Current() ? *Current() : painter;
}
