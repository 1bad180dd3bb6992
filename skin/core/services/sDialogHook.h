#pragma once
// What the skin core uses of the skinning of standard windows and system dialogs (subsystem 9): the thread hook
// the default manager installs, the list of skinned system dialogs, and the window-wrapper base with its window
// property. How windows and dialogs are wrapped and painted is built with that subsystem, which fills in the hook
// procedure and derives its wrappers from TlvScrollWnd.
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/win.h"

// A wrapper of an ordinary window; the window's "LVSBSC" property points to it.
class TlvScrollWnd {
 public:
  virtual ~TlvScrollWnd() = default;
  HWND CtrlHandle = nullptr;
};

// The thread CBT hook procedure the default manager installs; until standard windows are skinned it lets every
// window be created unchanged.
LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam);
// The handle of that hook; nullptr when it is not installed.
extern HHOOK HookCallback;
// Wrappers of skinned system dialogs (entries may be nullptr); exists while the hook is installed.
extern std::unique_ptr<std::vector<std::unique_ptr<TlvScrollWnd>>> lvSupportedList;
// Releases the hook's records of skinned popup-menu windows.
void ClearMnuArray();
// Form class names the hook never adopts (compared exactly).
rtl::TStringList& ThirdPartySkipForms();
// The wrapper stored in the window's "LVSBSC" property; nullptr when the window is not wrapped.
TlvScrollWnd* Lv_GetScrollWndFromHwnd(HWND handle);
