#include "report/preview/qvxPagePainter.h"

#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/pages/qvxPagesOutput.h"

namespace {

class TDefaultPainter : public TqvxPagePainter {
 public:
  void DrawPage(TqvxCustomPreviewPages* pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                Extended scaleY, Extended offsetX, Extended offsetY) override {
    if (qvxFindPagesOutputLink())
      pages->DrawPage(index, canvas, scaleX, scaleY, offsetX, offsetY);
    else
      qvxDrawPagePlain(pages, index, canvas, scaleX, scaleY, offsetX, offsetY);
  }
};

TqvxPagePainter*& Current() {
  static TqvxPagePainter* painter = nullptr;
  return painter;
}

}  // namespace

void qvxSetPagePainter(TqvxPagePainter* painter) { Current() = painter; }

TqvxPagePainter& qvxPagePainter() {
  static TDefaultPainter fallback;
  return Current() ? *Current() : fallback;
}

void qvxDrawPagePlain(TqvxCustomPreviewPages* pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                      Extended scaleY, Extended offsetX, Extended offsetY) {
  TqvxReportPage* page = pages ? pages->GetPage(index) : nullptr;
  if (!page) return;
  page->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  const Extended ox = offsetX + scaleX * page->LeftMargin * qv01cm;
  const Extended oy = offsetY + scaleY * page->TopMargin * qv01cm;
  const rtl::Integer total = pages->GetCount();
  for (TqvxComponent* obj : page->GetAllObjects()) {
    auto* view = dynamic_cast<TqvxView*>(obj);
    if (!view || dynamic_cast<TqvxBand*>(obj) || !view->Visible()) continue;
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(view)) memo->TotalPages = total;
    view->Draw(canvas, scaleX, scaleY, ox, oy);
  }
}
