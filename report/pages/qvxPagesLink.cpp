// Hands the report model this layer's store for every report. Linked into every program that uses the layer, so
// a report finds it without being told.
#include "report/model/qvxLinks.h"
#include "report/pages/qvxPagesOutput.h"
#include "report/pages/qvxPreviewPages.h"

namespace {

class TPagesLink : public TqvxPagesLink {
 public:
  TqvxCustomPreviewPages* CreatePreviewPages(TqvxReport* report) override { return new TqvxPreviewPages(report); }
};

}  // namespace

void qvxRegisterPagesLink() {
  static TPagesLink link;
  qvxSetPagesLink(&link);
}

namespace {
const bool registered = (qvxRegisterPagesLink(), true);
}  // namespace
