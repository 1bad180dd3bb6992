#pragma once
// What the skin core uses of the skinning of standard windows and system dialogs (subsystem 9): the thread hook
// the default manager installs, the list of skinned system dialogs, and the window wrappers with their window
// property. How windows and dialogs are painted is built with that subsystem, which fills in the hook procedure
// and derives its wrappers from the classes here; what lives here already works on its own: a wrapper subclasses
// its window and gives it back exactly, and a dialog's children render into a bitmap.
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

// One skinned scroll bar of a wrapped window.
struct TlvScrollBar {
  int fScrollVisible = 0;  // 0 or 1
  bool Horizontal = false;
};

constexpr int SM_BTNSIZE = 0, SM_SCROLLWIDTH = 1;
// The bar's thickness (SM_SCROLLWIDTH) or arrow length (SM_BTNSIZE) in pixels; the system's when the skin has no
// scroll-bar images.
int GetScrollMetric(const TlvScrollBar* bar, int metric);

// What a wrapper is made with.
struct TlvSkinParams {
  rtl::String SkinSection;
  vcl::TControl* Control = nullptr;
};

// A wrapper of an ordinary window; the window's "LVSBSC" property points to it while it wraps the window, and the
// window answers LVC_GETLISTSW with it.
class TlvScrollWnd {
 public:
  TlvScrollWnd() = default;
  // Subclasses handle (no wrapper of another kind may hold it).
  TlvScrollWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData* skinData);
  virtual ~TlvScrollWnd();
  TlvScrollWnd(const TlvScrollWnd&) = delete;
  TlvScrollWnd& operator=(const TlvScrollWnd&) = delete;

  HWND CtrlHandle = nullptr;
  rtl::String SkinSection;
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  WNDPROC OldProc = nullptr;
  std::unique_ptr<TlvScrollBar> sBarHorz, sBarVert;
  bool Destroyed = false;

  // Takes the window's own procedure back when it is still the wrapper's (another subclass on top keeps it).
  void Detach();

 protected:
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT CallOld(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// The thread CBT hook procedure the default manager installs; windows are adopted through AddSupportedForm.
LRESULT CALLBACK SkinHookCBT(int code, WPARAM wParam, LPARAM lParam);
// The handle of that hook; nullptr when it is not installed.
extern HHOOK HookCallback;
// Wrappers of skinned system dialogs (entries may be nullptr); exists while the hook is installed.
extern std::unique_ptr<std::vector<std::unique_ptr<TlvScrollWnd>>> lvSupportedList;
// Releases the hook's records of skinned popup-menu windows.
void ClearMnuArray();
// Form class names the hook never adopts (compared exactly).
rtl::TStringList& ThirdPartySkipForms();
// The hook's adoption of a new window: a standard dialog ("#32770") whose class is not in ThirdPartySkipForms
// gets a dialog wrapper in lvSupportedList; the answer tells whether it was adopted.
bool AddSupportedForm(HWND handle);
// The wrapper stored in the window's "LVSBSC" property; nullptr when the window is not wrapped.
TlvScrollWnd* Lv_GetScrollWndFromHwnd(HWND handle);

// The provider of a wrapped dialog.
class TlvProvider {
 public:
  // Renders the visible child windows of handle into dc (bottom of the Z order first), the origin at handle's
  // client area.
  static void PrintHwndControls(HWND handle, HDC dc);
};

// Wrapper of a subclassed system dialog.
class TlvDialogWnd : public TlvScrollWnd {
 public:
  TlvDialogWnd(HWND handle, TsSkinManager* manager);
  ~TlvDialogWnd() override;
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
};
void UpdateRgn(TlvDialogWnd* dialogWnd, bool repaint = true);

// Wrapper of a combo box's drop-down list.
class TlvComboListWnd : public TlvScrollWnd {
 public:
  using TlvScrollWnd::TlvScrollWnd;
  // Wraps the list window aHandle; a list that is not simple is widened by one pixel.
  static TlvComboListWnd* CreateEx(HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aSkinManager,
                                   const rtl::String& skinSection, bool repaint, bool simply);
  bool Simply = false;
};

// Detaches a wrapper (see TlvScrollWnd::Detach); with free, frees it and clears sw. Nothing when sw is nullptr.
void UninitializeACScroll(HWND handle, bool free, bool repaint, TlvScrollWnd*& sw);

// The skinned wrapper of the platform's up-down window.
class TlvSpinWnd : public TlvScrollWnd {
 public:
  TlvSpinWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData* skinData);
  vcl::TPoint WndPos;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A wrapper's parent window, window and parent screen rectangles, size and position from the window handle.
void InitCtrlData(HWND handle, HWND& parentHandle, vcl::TRect& wndRect, vcl::TRect& parentRect, vcl::TSize& wndSize,
                  vcl::TPoint& wndPos);

// TabPosition (tpTop, tpBottom, tpLeft, tpRight) to side.
extern const std::array<TlvSide, 4> lvTabSides;
