#pragma once
// What the skin core uses of the skinning of standard windows and system dialogs: the thread hook the default
// manager installs, the list of skinned system dialogs and their wrapper, and whether a window is wrapped. The
// window wrappers themselves (skin/windows) sit above the core and are found through their window property
// "LVSBSC"; the core never needs their classes. A dialog's children render into a bitmap.
#include <array>
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/win.h"
#include "platform/vcl/controls.h"
#include "skin/core/sConst.h"

class TsCommonData;
class TsSkinManager;
class TlvBorderForm;
namespace vcl {
class TForm;
}

// The thread CBT hook procedure the default manager installs; windows are adopted through AddSupportedForm.
LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam);
// The handle of that hook; nullptr when it is not installed.
extern HHOOK HookCallback;
class TlvDialogWnd;
// Wrappers of skinned system dialogs (entries may be nullptr); exists while the hook is installed.
extern std::unique_ptr<std::vector<std::unique_ptr<TlvDialogWnd>>> lvSupportedList;
// Releases the hook's records of skinned popup-menu windows.
void ClearMnuArray();
// Form class names the hook never adopts (compared exactly).
rtl::TStringList& ThirdPartySkipForms();
// The hook's adoption of a new window: a standard dialog ("#32770") whose class is not in ThirdPartySkipForms
// gets a dialog wrapper in lvSupportedList; the answer tells whether it was adopted.
bool AddSupportedForm(HWND handle);
// Whether a window wrapper of the skinning of standard windows holds the window (its "LVSBSC" property), or the
// dialog wrapper here.
bool WndIsWrapped(HWND handle);

// The provider of a wrapped dialog.
class TlvProvider {
 public:
  // Renders the visible child windows of handle into dc (bottom of the Z order first), the origin at handle's
  // client area.
  static void PrintHwndControls(HWND handle, HDC dc);
};

// Wrapper of a subclassed system dialog. It stands in for the dialog frame of the skinning of standard windows
// until that is built on the window wrappers (skin/windows): it holds the window and gives it back exactly, and
// paints the frame as the system draws it.
class TlvDialogWnd {
 public:
  TlvDialogWnd(HWND handle, TsSkinManager* manager);
  virtual ~TlvDialogWnd();
  TlvDialogWnd(const TlvDialogWnd&) = delete;
  TlvDialogWnd& operator=(const TlvDialogWnd&) = delete;
  HWND CtrlHandle = nullptr;
  TsSkinManager* SkinManager = nullptr;
  WNDPROC OldProc = nullptr;
  bool Destroyed = false;
  // Takes the window's own procedure back when it is still the wrapper's (another subclass on top keeps it).
  void Detach();
  std::unique_ptr<TsCommonData> SkinData;
  TlvBorderForm* BorderForm = nullptr;
  vcl::TForm* CoverForm = nullptr;
  TlvProvider Provider;
  // Repaints the dialog's whole window (frame and client) into SkinData's cache.
  virtual void PaintAll();
  // Distance from the cache's origin to the client area.
  int OffsetX();
  int OffsetY();
  int CaptionHeight(bool checkSkin = true);
  vcl::TRect ShadowSize() { return vcl::TRect(); }

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
};
void UpdateRgn(TlvDialogWnd* dialogWnd, bool repaint = true);

