#include "report/model/qvxLinks.h"

namespace {

struct TLinks {
  TqvxEngineLink* Engine = nullptr;
  TqvxPagesLink* Pages = nullptr;
  TqvxPrintLink* Print = nullptr;
  TqvxPreviewLink* Preview = nullptr;
};

// Filled by the layers' start-up code, which may run before anything else of this file.
TLinks& Links() {
  static TLinks links;
  return links;
}

template <class T>
T& Require(T* link, const wchar_t* layer) {
  if (!link)
    throw EqvxNotLinked(rtl::String(L"The report library's layer ") + layer + L" is not linked into this program");
  return *link;
}

}  // namespace

void qvxSetEngineLink(TqvxEngineLink* link) { Links().Engine = link; }
void qvxSetPagesLink(TqvxPagesLink* link) { Links().Pages = link; }
void qvxSetPrintLink(TqvxPrintLink* link) { Links().Print = link; }
void qvxSetPreviewLink(TqvxPreviewLink* link) { Links().Preview = link; }

TqvxEngineLink* qvxFindEngineLink() { return Links().Engine; }
TqvxPagesLink* qvxFindPagesLink() { return Links().Pages; }
TqvxPrintLink* qvxFindPrintLink() { return Links().Print; }
TqvxPreviewLink* qvxFindPreviewLink() { return Links().Preview; }

TqvxEngineLink& qvxEngineLink() { return Require(Links().Engine, L"report/engine"); }
TqvxPagesLink& qvxPagesLink() { return Require(Links().Pages, L"report/pages"); }
TqvxPrintLink& qvxPrintLink() { return Require(Links().Print, L"report/print"); }
TqvxPreviewLink& qvxPreviewLink() { return Require(Links().Preview, L"report/preview"); }

std::vector<rtl::String> qvxMissingLinks() {
  std::vector<rtl::String> missing;
  if (!Links().Engine) missing.push_back(L"report/engine");
  if (!Links().Pages) missing.push_back(L"report/pages");
  if (!Links().Print) missing.push_back(L"report/print");
  if (!Links().Preview) missing.push_back(L"report/preview");
  return missing;
}
