#pragma once
// The skinning of windows the library did not make: the thread hook decides which top-level windows get skinned
// (forms without a provider, the system's dialogs, popup-menu windows); a dialog gets a provider that wraps the
// dialog in its frame wrapper and each of its controls in the wrapper its class calls for.
#include <array>
#include <memory>
#include <vector>

#include "platform/rtl/win.h"
#include "platform/vcl/controls.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sDialogs.h"
#include "skin/windows/lvSBUtils.h"

class TlvDialogWnd;
class TsCustomSkinProvider;
namespace vcl {
class TCustomForm;
}

// Sent before a window's region is changed; a window that keeps its own region answers BE_ID.
constexpr UINT CM_BEWAIT = 0xBC4D;
constexpr LRESULT BE_ID = 0x41A2;

// The provider of one skinned dialog, or of a form that had no skin provider.
class TlvProvider : public TlvCustomProvider {
 public:
  TlvProvider() = default;
  ~TlvProvider();
  TlvProvider(const TlvProvider&) = delete;
  TlvProvider& operator=(const TlvProvider&) = delete;

  HWND CtrlHandle = nullptr;
  TsCustomSkinProvider* sp = nullptr;  // the run-time provider of a hooked form (owned by the form)
  TlvDialogWnd* ListSW = nullptr;      // the dialog's frame wrapper (owns this provider)
  std::vector<TlvMainWnd*> lvSkinnedCtrls;

  void InitForm(vcl::TCustomForm* form);
  bool InitSkin(HWND handle);
  bool InitHwndControls(HWND handle);
  bool AddControl(HWND handle);
  bool PrintHwndControls(HWND handle, HDC dc);
  // Frees the wrappers of controls whose windows are gone (they gave their windows back already).
  void SweepControls();
};

// The wrapper of a popup-menu window: its frame from the skinned menus' image.
class TlvMnuWnd : public TlvScrollWnd {
 public:
  bool Shown = false;
  bool bFlag = false;
  int RgnChanged = 0;
  // Set while the window waits transparent for its first skinned frame.
  bool Transparent = false;
  ~TlvMnuWnd() override;
  void AfterCreation() override;
  void lvWndProc(vcl::TMessage& message) override;
  void PrepareCache();
  // A window left waiting for a frame that no longer comes is shown as the system draws it.
  void GiveAlphaBack();
};

// The kinds of wrapper the control map makes (rows of TlvProvider::AddControl). A slot is nullptr while that
// wrapper is not built; such controls keep their platform look.
enum TlvDlgCtrlKind {
  dckEdge, dckIcon, dckStatic, dckTransPanel, dckPanel, dckEdit, dckGroupBox, dckCheckBox, dckBtn, dckComboBox,
  dckSizer, dckTabControl, dckListView, dckSpin, dckTrack, dckLink, dckToolBar, dckTreeView, dckContainer,
  dckSearch, dckCount
};
extern std::array<TlvWndClass, dckCount> DlgCtrlTypes;

// The row of the control map for a window: the wrapper kind and section, or dckCount for none.
struct TlvCtrlMapRow {
  TlvDlgCtrlKind Kind = dckCount;
  const wchar_t* Section = L"";
  bool LiftPaintBan = false;  // the dialog's WM_PAINT ban is lifted (a control that paints on WM_PAINT)
};
TlvCtrlMapRow ControlMapRow(HWND handle);

// Hook and rules.
bool lvAddSupportedForm(HWND handle, const CREATESTRUCTW* createStruct);
void lvSkinHookCBT(int code, WPARAM wParam, LPARAM lParam);
TlvDialogWnd* FindFormInList(HWND handle);
vcl::TCustomForm* FindFormOnScreen(HWND handle);
int VisibleDlgCount();
bool ControlExists(HWND handle, const rtl::String& name);
void InitDialog(HWND handle, TlvDialogWnd*& wnd);
void BroadCastHwnd(HWND handle, const vcl::TMessage& message);
// Frees the dialog wrappers whose windows are gone (their slots become empty).
void SweepDestroyedDialogs();

// Popup menus.
extern std::vector<TlvMnuWnd*> MnuArray;
void lvClearMnuArray();

// DlgLeft, DlgTop: where the message-box routine wants its dialog (skin/core/services/sDialogs.h).
extern bool RgnChanging;
// The dialog frame's own press flag: the form provider keeps one of its own, and a press on one must not
// count as a press on the other.
namespace lvdials { extern bool biClicked; }
