#include "report/pages/qvxPagesOutput.h"

#include "report/model/qvxLinks.h"

namespace {

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
