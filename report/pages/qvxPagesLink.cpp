#include "report/model/qvxLinks.h"
#include "report/pages/qvxPagesOutput.h"
#include "report/pages/qvxPreviewPages.h"

namespace {

class TPagesLink : public TqvxPagesLink {
 public:
  TqvxCustomPreviewPages* CreatePreviewPages(TqvxReport* report) override { return new TqvxPreviewPages(report); }
};

TqvxPagesOutputLink*& OutputLink() {
  static TqvxPagesOutputLink* link = nullptr;
  return link;
}

}  // namespace

void qvxSetPagesOutputLink(TqvxPagesOutputLink* link) { OutputLink() = link; }

TqvxPagesOutputLink* qvxFindPagesOutputLink() { return OutputLink(); }

TqvxPagesOutputLink& qvxPagesOutputLink() {
  if (!OutputLink()) throw EqvxNotLinked(L"The report library's layer report/print is not linked into this program");
  return *OutputLink();
}

void qvxRegisterPagesLink() {
  static TPagesLink link;
  qvxSetPagesLink(&link);
}

namespace {
const bool registered = (qvxRegisterPagesLink(), true);
}  // namespace
