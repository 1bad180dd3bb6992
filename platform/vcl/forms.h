#pragma once
// Forms: top-level windows (normal, stay-on-top, MDI frame, MDI child) with their close protocol, modal showing,
// focus bookkeeping and the form resource they load when created.
#include "platform/vcl/controls.h"

namespace vcl {

class TMainMenu;
class TMenuItem;

VCL_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
VCL_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
VCL_SET(TBorderIcons, TBorderIcon)
VCL_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
VCL_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
         poMainFormCenter, poOwnerFormCenter)
VCL_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrClose = 8, mrHelp = 9, mrAll = 12, mrNoToAll = 13, mrYesToAll = 14;

using TCloseEvent = TEvent<void(rtl::TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(rtl::TObject* Sender, bool& CanClose)>;

// A windowed control whose client area can scroll (forms and scroll boxes).
class TScrollingWinControl : public TWinControl {
  VCL_CLASS(TScrollingWinControl, TWinControl)
public:
  explicit TScrollingWinControl(TComponent* owner);
};

class TCustomForm : public TScrollingWinControl {
  VCL_CLASS(TCustomForm, TScrollingWinControl)
public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TFormStyle FormStyle() const { return form_style_; }
  void SetFormStyle(TFormStyle value);
  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState();
  void SetWindowState(TWindowState value);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value);
  // An MDI frame's menu item that lists the children (given to the client window when it is made).
  TMenuItem* WindowMenu() const { return window_menu_; }
  void SetWindowMenu(TMenuItem* value) { window_menu_ = value; }
  // The client area takes the extent of the controls (those not aligned to an edge), and the user cannot resize it.
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool value) { key_preview_ = value; }
  TCanvas* Canvas() const { return canvas_; }
  // The design-time size of the client area, applied when the window is made.
  int FormClientWidth() { return ClientWidth(); }
  void SetFormClientWidth(int v) { SetClientWidth(v); }
  int FormClientHeight() { return ClientHeight(); }
  void SetFormClientHeight(int v) { SetClientHeight(v); }

  bool Active() const { return active_; }
  TWinControl* ActiveControl() const { return active_control_; }
  void SetActiveControl(TWinControl* control);
  // Moves the keyboard focus to control (a control of this form), showing the form's window when needed.
  void FocusControl(TWinControl* control);
  // Called by a control that received the focus: CM_EXIT / CM_ENTER along the two parent chains, then
  // CM_FOCUSCHANGED to every control of the form.
  void SetFocusedControl(TWinControl* control);
  // A control is going away or hidden: the form forgets it as active control.
  void ControlRemoved(TWinControl* control);

  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult value) { modal_result_ = value; }
  virtual TModalResult ShowModal();
  bool Modal() const { return modal_; }
  void Show();
  void Hide();
  void Close();
  // Frees the form once the messages now waiting have been handled (safe from its own event handlers).
  void Release();
  bool CloseQuery();
  void BringToFront() override;

  // MDI.
  HWND ClientHandle() const { return client_handle_; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TCustomForm* ActiveMDIChild() const;
  void Cascade();
  void Tile();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  bool Showing() const override;
  void WndProc(TMessage& m) override;
  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  void SetParent(TWinControl* parent) override;
  bool HasParent() const override { return false; }

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWindowHandle(const TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWindowHandle() override;
  void CMShowingChanged(TMessage& m) override;
  void CMVisibleChanged(TMessage& m) override;
  void CMDialogKey(TMessage& m) override;
  void WMEraseBkgnd(TMessage& m) override;
  void Paint();
  void PaintWindow(HDC dc) override;
  bool PaintsItself() const override { return true; }
  TRect GetClientRect() override;
  void Loaded() override;
  // Runs the creation handler; what it raises is shown in the error box and creation goes on.
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  void PlaceWindow();
  bool MainOnTaskbar() const;
  void CreateMDIChild(TCustomForm* frame, MDICREATESTRUCTW& mcs);
  void AlignControls(TControl* control, TRect& rect) override;
  void SetClientSize(int width, int height) override;
  void FocusFirstControl();
  // Sizes the client area to the controls when AutoSize is on.
  void AdjustAutoSize();
  // The MDI frame's client window: messages for it come here first.
  static LRESULT CALLBACK ClientWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  TFormStyle form_style_ = fsNormal;
  TFormBorderStyle border_style_ = bsSizeable;
  TBorderIcons border_icons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TWindowState window_state_ = wsNormal;
  TMainMenu* menu_ = nullptr;
  TMenuItem* window_menu_ = nullptr;
  bool key_preview_ = false;
  bool auto_size_ = false;
  POINT auto_client_{0, 0};  // the client size the controls gave an auto-sized form
  TCanvas* canvas_ = nullptr;
  bool active_ = false;
  TWinControl* active_control_ = nullptr;
  TWinControl* focused_control_ = nullptr;
  TModalResult modal_result_ = mrNone;
  bool modal_ = false;
  bool placed_ = false;
  bool shown_once_ = false;
  bool in_close_ = false;
  bool creating_ = false;
  bool constructed_ = false;  // construction (resource and creation handler included) has finished
  bool release_posted_ = false;
  int pending_client_width_ = -1;
  int pending_client_height_ = -1;
  HWND client_handle_ = nullptr;
  WNDPROC default_client_proc_ = nullptr;
  friend class TApplication;
  friend class TScreen;
};

class TForm : public TCustomForm {
  VCL_CLASS(TForm, TCustomForm)
public:
  explicit TForm(TComponent* owner);
};

using TFormClass = const TClassInfo*;

// Every form and the active one; cursors, fonts and the work area of the screen.
class TScreen : public TComponent {
  VCL_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_[index]; }
  TCustomForm* ActiveForm() const { return active_form_; }
  TWinControl* ActiveControl() const { return active_form_ ? active_form_->ActiveControl() : nullptr; }

  // crDefault leaves each control's own cursor; any other value shows everywhere (crHourGlass while busy).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  HCURSOR Cursors(TCursor index);
  void SetCursors(TCursor index, HCURSOR cursor);

  // The installed font families, sorted.
  const std::vector<String>& Fonts();
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect WorkAreaRect() const;
  int PixelsPerInch() const;
  TFont* HintFont() const { return hint_font_; }
  TFont* MenuFont() const { return menu_font_; }

  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void SetActiveForm(TCustomForm* form);

private:
  std::vector<TCustomForm*> forms_;
  TCustomForm* active_form_ = nullptr;
  TCursor cursor_ = crDefault;
  std::vector<std::pair<TCursor, HCURSOR>> cursors_;
  std::vector<String> fonts_;
  TFont* hint_font_ = nullptr;
  TFont* menu_font_ = nullptr;
};

extern TScreen* Screen;

}  // namespace vcl
