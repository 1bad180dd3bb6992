#include "report/model/qvxPreviewIntf.h"

VCL_REGISTER(TqvxCustomOutline) {}
VCL_REGISTER(TqvxCustomPreview) {}

TqvxCustomPreviewPages::TqvxCustomPreviewPages(TqvxReport* report) : FReport(report) {}

TqvxCustomPreviewPages::~TqvxCustomPreviewPages() { delete FOutline; }

void TqvxCustomPreviewPages::SetOutline(TqvxCustomOutline* value) {
  if (value == FOutline) return;
  delete FOutline;
  FOutline = value;
}
VCL_REGISTER(TqvxCustomPreviewForm) {}
VCL_REGISTER(TqvxCustomProgress) {}
