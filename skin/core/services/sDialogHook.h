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
class TlvCustomBorderForm;
namespace vcl {
class TForm;
}

// The thread CBT hook procedure the default manager installs; windows are adopted through AddSupportedForm.
LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam);
// The handle of that hook; nullptr when it is not installed.
extern HHOOK HookCallback;
class TlvCustomDialogWnd;
// Wrappers of skinned system dialogs (entries may be nullptr); exists while the hook is installed.
extern std::unique_ptr<std::vector<std::unique_ptr<TlvCustomDialogWnd>>> lvSupportedList;
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

// What the skinning of standard windows (skin/windows, above the core) sets when it is linked in: the hook's
// decisions, the records of popup menus and the run-time providers of the form layer. Unset, the core adopts
// dialogs with its own stand-in wrapper and keeps no menu records.
struct TlvDialogHooks {
  // Every HCBT_* notification of the thread hook, after the next hook has answered.
  void (*CBT)(int code, WPARAM wParam, LPARAM lParam) = nullptr;
  bool (*AddSupportedForm)(HWND handle, const CREATESTRUCTW* createStruct) = nullptr;
  void (*ClearMnuArray)() = nullptr;
};
extern TlvDialogHooks lvDialogHooks;
// The form layer's run-time provider for a form that has none (set by skin/forms when it is linked in).
class TsCustomSkinProvider;
using TlvRTProviderFactory = TsCustomSkinProvider* (*)(vcl::TCustomForm* form);
extern TlvRTProviderFactory MakeRTSkinProvider;

// The provider of a wrapped dialog.
class TlvCustomProvider {
 public:
  // Renders the visible child windows of handle into dc (bottom of the Z order first), the origin at handle's
  // client area.
  static void PrintHwndControls(HWND handle, HDC dc);
};

// Wrapper of a subclassed system dialog. It stands in for the dialog frame of the skinning of standard windows
// until that is built on the window wrappers (skin/windows): it holds the window and gives it back exactly, and
// paints the frame as the system draws it.
class TlvCustomDialogWnd {
 public:
  TlvCustomDialogWnd(HWND handle, TsSkinManager* manager);
  virtual ~TlvCustomDialogWnd();
  TlvCustomDialogWnd(const TlvCustomDialogWnd&) = delete;
  TlvCustomDialogWnd& operator=(const TlvCustomDialogWnd&) = delete;
  HWND CtrlHandle = nullptr;
  TsSkinManager* SkinManager = nullptr;
  WNDPROC OldProc = nullptr;
  bool Destroyed = false;
  // Takes the window's own procedure back when it is still the wrapper's (another subclass on top keeps it).
  void Detach();
  std::unique_ptr<TsCommonData> SkinData;
  TlvCustomBorderForm* BorderForm = nullptr;
  vcl::TForm* CoverForm = nullptr;
  // Repaints the dialog's whole window (frame and client) into SkinData's cache.
  virtual void PaintAll();
  // Distance from the cache's origin to the client area.
  virtual int OffsetX();
  virtual int OffsetY();
  virtual int CaptionHeight(bool checkSkin = true);
  virtual vcl::TRect ShadowSize() { return vcl::TRect(); }

 protected:
  // For the real dialog frame, which attaches itself through the window wrappers.
  TlvCustomDialogWnd() = default;

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
};
void UpdateRgn(TlvCustomDialogWnd* dialogWnd, bool repaint = true);

