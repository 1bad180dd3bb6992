#pragma once
// Drawing prepared pages, answering the mouse over them, printing and exporting them need the printer layer and
// the preview (report/print, report/preview), which sit above the store. That layer implements this link and
// registers it at start-up; a store asked to draw, print or export without it raises EqvxNotLinked.
#include "report/model/qvxPreviewIntf.h"

class TqvxPreviewPages;

class TqvxPagesOutputLink {
 public:
  virtual ~TqvxPagesOutputLink() = default;
  virtual void DrawPage(TqvxPreviewPages& pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                        Extended scaleY, Extended offsetX, Extended offsetY) = 0;
  virtual rtl::TObject* ObjectOver(TqvxPreviewPages& pages, rtl::Integer index, rtl::Integer x, rtl::Integer y,
                                   vcl::TMouseButton button, vcl::TShiftState shift, Extended scale, Extended offsetX,
                                   Extended offsetY, vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent) = 0;
  virtual bool Print(TqvxPreviewPages& pages) = 0;
  virtual bool Export(TqvxPreviewPages& pages, TqvxCustomExportFilter* filter) = 0;
};

// nullptr takes it out again.
void qvxSetPagesOutputLink(TqvxPagesOutputLink* link);
TqvxPagesOutputLink* qvxFindPagesOutputLink();
// The registered link; raises EqvxNotLinked naming report/print when there is none.
TqvxPagesOutputLink& qvxPagesOutputLink();

// Registers the store with the report model (qvxLinks.h), so that every report created afterwards gets a
// TqvxPreviewPages. Every program that links this layer does so before main (qvxPagesLink.cpp); a test that took
// the link out puts it back with this.
void qvxRegisterPagesLink();
