#include "report/model/qvxChm.h"

#include "platform/rtl/win.h"

namespace {

// Loaded on first use rather than at start-up, so that programs that never open help never map the library.
struct HelpLibrary {
  HMODULE handle = nullptr;
  THtmlHelpW entry = nullptr;
  HelpLibrary() {
    handle = LoadLibraryW(L"HHCtrl.OCX");
    if (handle) entry = reinterpret_cast<THtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(handle, "HtmlHelpW")));
  }
  ~HelpLibrary() {
    if (handle) FreeLibrary(handle);
  }
};

}  // namespace

THtmlHelpW HtmlHelpW() {
  static HelpLibrary library;
  return library.entry;
}
