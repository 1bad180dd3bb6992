// Hands the prepared-pages store and the report model this layer's drawing, mouse handling, printing, export and
// printer list. Linked into every program that uses the layer, so they find it without being told.
#include "report/model/qvxLinks.h"
#include "report/pages/qvxPagesOutput.h"
#include "report/print/qvxPageOutput.h"
#include "report/print/qvxPrinters.h"

namespace {

class TOutputLink : public TqvxPagesOutputLink {
 public:
  void DrawPage(TqvxPreviewPages& pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY,
                Extended offsetX, Extended offsetY) override {
    qvxDrawPage(pages, index, canvas, scaleX, scaleY, offsetX, offsetY);
  }
  rtl::TObject* ObjectOver(TqvxPreviewPages& pages, rtl::Integer index, rtl::Integer x, rtl::Integer y,
                           vcl::TMouseButton button, vcl::TShiftState shift, Extended scale, Extended offsetX,
                           Extended offsetY, vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent) override {
    return qvxObjectOver(pages, index, x, y, button, shift, scale, offsetX, offsetY, cursor, mouseEvent);
  }
  bool Print(TqvxPreviewPages& pages) override { return qvxPrintPages(pages); }
  bool Export(TqvxPreviewPages& pages, TqvxCustomExportFilter* filter) override {
    return qvxExportPages(pages, filter);
  }
};

class TPrintLink : public TqvxPrintLink {
 public:
  rtl::Integer PrinterIndexOf(const rtl::String& name) override { return qvxPrinters().IndexOf(name); }
  void SetPrinterIndex(rtl::Integer index) override {
    if (index >= 0 && index < qvxPrinters().Count()) qvxPrinters().SetPrinterIndex(index);
  }
  void GetPrinterDefaults(rtl::Integer& paperSize, Extended& width, Extended& height,
                          TPrinterOrientation& orientation) override {
    TqvxCustomPrinter* printer = qvxPrinters().GetCurrentPrinter();
    if (!printer || !printer->Initialized || printer->DefPaperWidth <= 0 || printer->DefPaperHeight <= 0) {
      // A printer that could not be read lays pages out as A4 portrait.
      paperSize = 9;
      width = 210;
      height = 297;
      orientation = poPortrait;
      return;
    }
    paperSize = printer->DefPaper;
    width = printer->DefPaperWidth;
    height = printer->DefPaperHeight;
    orientation = printer->DefOrientation;
  }
};

const bool linked = [] {
  static TOutputLink output;
  static TPrintLink printers;
  qvxSetPagesOutputLink(&output);
  qvxSetPrintLink(&printers);
  return true;
}();

}  // namespace
