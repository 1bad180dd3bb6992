#include "report/print/qvxPreviewActions.h"

#include "platform/rtl/win.h"

#include <shellapi.h>

namespace {

TqvxPrintDialogFunc& PrintDialog() {
  static TqvxPrintDialogFunc dialog;
  return dialog;
}

TqvxOpenURLFunc& OpenURL() {
  static TqvxOpenURLFunc open;
  return open;
}

}  // namespace

void qvxSetPrintDialog(TqvxPrintDialogFunc dialog) { PrintDialog() = std::move(dialog); }

bool qvxShowPrintDialog(TqvxReport* report, rtl::Integer& duplex) {
  if (!PrintDialog()) throw EqvxNotLinked(L"The report library's layer report/preview is not linked into this program");
  return PrintDialog()(report, duplex);
}

void qvxSetOpenURL(TqvxOpenURLFunc open) { OpenURL() = std::move(open); }

void qvxOpenURL(const rtl::String& url) {
  if (OpenURL()) {
    OpenURL()(url);
    return;
  }
  ShellExecuteW(GetDesktopWindow(), nullptr, url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
