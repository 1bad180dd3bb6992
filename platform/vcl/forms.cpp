// Forms: window styles, placement, showing, modal loops, the close protocol, MDI and focus bookkeeping.
#include "platform/vcl/forms.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/formresource.h"
#include "platform/vcl/menus.h"

namespace vcl {

namespace {
const wchar_t* FormProp() {
  static ATOM atom = GlobalAddAtomW(L"TavrelMDIForm");
  return MAKEINTATOM(atom);
}
}  // namespace

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) {
  visible_ = false;
  parent_color_ = false;
  parent_font_ = false;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  width_ = 320;
  height_ = 240;
  control_style_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  canvas_ = new TCanvas();
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  if (Application) {
    Application->PopModal(this);
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
  }
  delete canvas_;
}

void TCustomForm::AfterConstruction() {
  TScrollingWinControl::AfterConstruction();
  // The resource sets the stored state; Visible only takes effect once the creation handler has run.
  creating_ = true;
  if (Application) Application->FormCreating(this);
  try {
    LoadFormResource(this);
  } catch (...) {
    creating_ = false;
    throw;
  }
  DoCreate();
  creating_ = false;
  constructed_ = true;
  if (form_style_ == fsMDIChild) visible_ = true;
  if (visible_) UpdateControlState();
}

void TCustomForm::BeforeDestruction() {
  if (handle_ && !IsDestroying()) {
    try {
      DoDestroy();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  if (Screen) Screen->RemoveForm(this);
  TScrollingWinControl::BeforeDestruction();
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  AdjustAutoSize();
}

void TCustomForm::SetAutoSize(bool value) {
  if (value == auto_size_) return;
  auto_size_ = value;
  if (!IsLoading()) AdjustAutoSize();
}

void TCustomForm::AdjustAutoSize() {
  if (!auto_size_) return;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  if (right <= 0 || bottom <= 0) return;
  auto_client_ = POINT{right, bottom};
  SetClientSize(right, bottom);
}

void TCustomForm::DoCreate() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    if (Application)
      Application->HandleException(this);
    else
      throw;
  }
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

// Styles.

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (form_style_ == value) return;
  form_style_ = value;
  if (handle_) RecreateWnd();
  // MDI children show as soon as they are made: the end of construction shows a form that became one while it
  // was built (constructor, resource, creation handler); a finished form shows now. Setting the flag alone would
  // leave a form that is Visible with no window, which Show() and Visible could then no longer make.
  if (value != fsMDIChild || visible_ || !constructed_ || creating_ || IsLoading()) return;
  try {
    SetVisible(true);
  } catch (...) {
    // No frame to show in: the form stays hidden, so that showing it later (once a frame exists) is not a no-op.
    visible_ = false;
    showing_ = false;
    throw;
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (border_style_ == value) return;
  border_style_ = value;
  if (handle_) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (border_icons_ == value) return;
  border_icons_ = value;
  if (handle_) RecreateWnd();
}

void TCustomForm::SetParent(TWinControl* parent) {
  if (parent && form_style_ != fsNormal) throw rtl::EInvalidOperation(L"An MDI or stay-on-top form cannot have a parent");
  TScrollingWinControl::SetParent(parent);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  p.WindowClass.hbrBackground = nullptr;
  p.WindowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  if (parent_) return;  // a form placed on another control is a child window
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  p.ExStyle = 0;
  TBorderIcons icons = border_icons_;
  switch (border_style_) {
    case bsNone: p.Style |= WS_POPUP; icons = TBorderIcons{}; break;
    case bsSingle: p.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons -= biMinimize;
      icons -= biMaximize;
      break;
    case bsToolWindow: p.Style |= WS_CAPTION; p.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: p.Style |= WS_CAPTION | WS_THICKFRAME; p.ExStyle |= WS_EX_TOOLWINDOW; break;
  }
  if (icons.Contains(biSystemMenu)) {
    p.Style |= WS_SYSMENU;
    if (icons.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
    if (icons.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
  }
  if (form_style_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (form_style_ == fsMDIChild) {
    // A child window is never a pop-up, whatever its border style asked for (a dialog-framed MDI child).
    p.Style &= ~WS_POPUP;
    p.Style |= WS_CHILD | WS_CAPTION;
    p.ExStyle |= WS_EX_MDICHILD;
  }
  p.WndParent = nullptr;
  if (form_style_ != fsMDIChild && Application) {
    TCustomForm* main = Application->MainForm();
    if (main && main != this && main->handle_) p.WndParent = main->handle_;
    if (TCustomForm* modal = Application->ModalForm(); modal && modal != this && modal->handle_)
      p.WndParent = modal->handle_;
  }
  if (MainOnTaskbar()) p.ExStyle |= WS_EX_APPWINDOW;
  p.Caption = text_;
  // The stored position; Position may move it when the window is shown.
  if (position_ == poDefault || position_ == poDefaultPosOnly) {
    p.X = CW_USEDEFAULT;
    p.Y = CW_USEDEFAULT;
  }
}

bool TCustomForm::MainOnTaskbar() const {
  return Application && Application->MainFormOnTaskbar() &&
         (Application->MainForm() == this || !Application->MainForm());
}

void TCustomForm::CreateWindowHandle(const TCreateParams& p) {
  if (form_style_ == fsMDIChild && !parent_) {
    TCustomForm* frame = Application ? Application->MainForm() : nullptr;
    if (!frame || frame->form_style_ != fsMDIForm || !frame->client_handle_)
      throw rtl::EInvalidOperation(L"Cannot create form. No MDI forms are currently active");
    def_wnd_proc_ = DefMDIChildProcW;
    MDICREATESTRUCTW mcs{};
    mcs.szClass = p.WinClassName.c_str();
    mcs.szTitle = p.Caption.c_str();
    mcs.hOwner = GetModuleHandleW(nullptr);
    mcs.x = p.X;
    mcs.y = p.Y;
    mcs.cx = p.Width;
    mcs.cy = p.Height;
    mcs.style = p.Style & ~static_cast<DWORD>(WS_VISIBLE);
    CreateMDIChild(frame, mcs);
    return;
  }
  TWinControl::CreateWindowHandle(p);
}

void TCustomForm::CreateMDIChild(TCustomForm* frame, MDICREATESTRUCTW& mcs) {
  SetCreationControl(this);
  HWND wnd =
      reinterpret_cast<HWND>(SendMessageW(frame->client_handle_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  SetCreationControl(nullptr);
  if (wnd && !handle_) AttachHandle(wnd);
}

void TCustomForm::InitializeWnd() {
  if (form_style_ == fsMDIForm && !client_handle_) {
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = window_menu_ && window_menu_->Count() > 0 ? window_menu_->Handle() : nullptr;
    ccs.idFirstChild = 0xFF00;
    RECT r;
    ::GetClientRect(handle_, &r);
    // MDIS_ALLCHILDSTYLES: without it the client forces minimise and maximise boxes on every child, whatever
    // its BorderIcons say.
    client_handle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL |
                                         MDIS_ALLCHILDSTYLES,
                                     0, 0, r.right, r.bottom, handle_, nullptr, GetModuleHandleW(nullptr), &ccs);
    if (client_handle_) {
      SetPropW(client_handle_, FormProp(), this);
      default_client_proc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(client_handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomForm::ClientWndProc)));
    }
  }
  if (menu_) {
    menu_->SetWindow(handle_);
    if (form_style_ != fsMDIChild) ::SetMenu(handle_, menu_->Handle());
  }
  if (pending_client_width_ >= 0 || pending_client_height_ >= 0) {
    RECT wr, cr;
    GetWindowRect(handle_, &wr);
    ::GetClientRect(handle_, &cr);
    int w = pending_client_width_ >= 0 ? pending_client_width_ : cr.right;
    int h = pending_client_height_ >= 0 ? pending_client_height_ : cr.bottom;
    SetWindowPos(handle_, nullptr, 0, 0, (wr.right - wr.left) - cr.right + w, (wr.bottom - wr.top) - cr.bottom + h,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pending_client_width_ = pending_client_height_ = -1;
  }
  TScrollingWinControl::InitializeWnd();
  Realign();
}

void TCustomForm::SetClientSize(int width, int height) {
  if (!handle_) {
    pending_client_width_ = width;
    pending_client_height_ = height;
    // Until the window exists the frame is not known; keep a sensible outer size meanwhile.
    TControl::SetBounds(left_, top_, width + 16, height + 39);
    return;
  }
  TScrollingWinControl::SetClientSize(width, height);
}

TRect TCustomForm::GetClientRect() {
  if (!handle_ && (pending_client_width_ >= 0 || pending_client_height_ >= 0))
    return Rect(0, 0, std::max(pending_client_width_, 0), std::max(pending_client_height_, 0));
  return TScrollingWinControl::GetClientRect();
}

void TCustomForm::DestroyWindowHandle() {
  if (form_style_ == fsMDIChild && handle_) {
    HWND client = GetParent(handle_);
    if (client) {
      SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(handle_), 0);
      if (handle_) TScrollingWinControl::DestroyWindowHandle();
      return;
    }
  }
  if (client_handle_) {
    RemovePropW(client_handle_, FormProp());
    client_handle_ = nullptr;
  }
  TScrollingWinControl::DestroyWindowHandle();
}

LRESULT CALLBACK TCustomForm::ClientWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* form = static_cast<TCustomForm*>(GetPropW(wnd, FormProp()));
  WNDPROC def = form ? form->default_client_proc_ : DefWindowProcW;
  if (!form) return CallWindowProcW(def, wnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemovePropW(wnd, FormProp());
    form->client_handle_ = nullptr;
  }
  if (msg == WM_ERASEBKGND && wParam) {
    // The workspace in the application-workspace colour as the library resolves it, so a visual style reaches it.
    RECT r;
    ::GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(ColorToGdi(clAppWorkSpace));
    ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
    DeleteObject(brush);
    return 1;
  }
  return CallWindowProcW(def, wnd, msg, wParam, lParam);
}

void TCustomForm::AlignControls(TControl* control, TRect& rect) {
  TScrollingWinControl::AlignControls(control, rect);
  // The MDI client window takes what the aligned controls leave.
  if (client_handle_)
    MoveWindow(client_handle_, rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()), TRUE);
}

// Placement and showing.

void TCustomForm::PlaceWindow() {
  if (placed_ || !handle_) return;
  placed_ = true;
  TPosition pos = position_;
  bool centred = pos == poScreenCenter || pos == poDesktopCenter || pos == poMainFormCenter || pos == poOwnerFormCenter;
  if (form_style_ == fsMDIChild) {
    // A child lives in the frame's workspace: every centring places it in the middle of what the workspace shows,
    // never above or left of its top-left corner.
    HWND workspace = GetParent(handle_);
    if (!centred || !workspace) return;
    RECT r;
    ::GetClientRect(workspace, &r);
    SetBounds(std::max(0, static_cast<int>(r.right - width_) / 2),
              std::max(0, static_cast<int>(r.bottom - height_) / 2), width_, height_);
    return;
  }
  TRect area = Screen ? Screen->WorkAreaRect() : Rect(0, 0, 1024, 768);
  TRect target = area;
  if (pos == poMainFormCenter || pos == poOwnerFormCenter) {
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (pos == poOwnerFormCenter) {
      if (auto* o = dynamic_cast<TCustomForm*>(Owner())) main = o;
    }
    if (main && main != this && main->handle_) {
      RECT r;
      GetWindowRect(main->handle_, &r);
      target = TRect(r);
    }
  }
  if (centred) {
    int x = target.Left + (target.Width() - width_) / 2;
    int y = target.Top + (target.Height() - height_) / 2;
    x = std::max(area.Left, std::min(x, area.Right - width_));
    y = std::max(area.Top, std::min(y, area.Bottom - height_));
    SetBounds(x, y, width_, height_);
  }
}

bool TCustomForm::Showing() const { return showing_; }

void TCustomForm::CMVisibleChanged(TMessage& m) {
  if (IsLoading() || creating_) return;
  UpdateControlState();
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (!handle_) return;
  if (showing_) {
    try {
      DoShow();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
    if (!handle_ || !visible_) return;  // the show handler closed or hid the form
    PlaceWindow();
    int cmd = SW_SHOWNORMAL;
    if (window_state_ == wsMaximized)
      cmd = SW_SHOWMAXIMIZED;
    else if (window_state_ == wsMinimized)
      cmd = SW_SHOWMINIMIZED;
    if (form_style_ == fsMDIChild) {
      ShowWindow(handle_, cmd);
      SendMessageW(GetParent(handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(handle_), 0);
    } else {
      ShowWindow(handle_, cmd);
      SetForegroundWindow(handle_);
    }
    shown_once_ = true;
    FocusFirstControl();
  } else {
    if (form_style_ == fsMDIChild && GetParent(handle_)) {
      ShowWindow(handle_, SW_HIDE);
      SendMessageW(GetParent(handle_), WM_MDINEXT, 0, 0);
    } else {
      ShowWindow(handle_, SW_HIDE);
    }
    try {
      DoHide();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
}

void TCustomForm::FocusFirstControl() {
  if (!handle_ || !showing_) return;
  TWinControl* target = active_control_;
  if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
  if (!target) target = FindNextControl(nullptr, true, false, false);
  if (target && target->CanFocus() && target->Handle()) {
    ::SetFocus(target->Handle());
  } else if (form_style_ != fsMDIChild || true) {
    ::SetFocus(handle_);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  // Visible may have been set while nothing could show yet (the window of an MDI frame not yet made, say):
  // showing makes the window now.
  if (visible_ && !showing_ && !creating_ && !IsLoading()) UpdateControlState();
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::BringToFront() {
  if (!handle_) return;
  if (form_style_ == fsMDIChild && GetParent(handle_)) {
    if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
    SendMessageW(GetParent(handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(handle_), 0);
  } else {
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(handle_);
  }
}

TWindowState TCustomForm::WindowState() {
  if (handle_) {
    if (IsIconic(handle_)) return wsMinimized;
    if (IsZoomed(handle_)) return wsMaximized;
    return wsNormal;
  }
  return window_state_;
}

void TCustomForm::SetWindowState(TWindowState value) {
  window_state_ = value;
  if (handle_ && showing_) {
    int cmd = value == wsMaximized ? SW_MAXIMIZE : value == wsMinimized ? SW_MINIMIZE : SW_RESTORE;
    if (form_style_ == fsMDIChild && value == wsMaximized)
      SendMessageW(GetParent(handle_), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(handle_), 0);
    else
      ShowWindow(handle_, cmd);
  }
}

void TCustomForm::SetMenu(TMainMenu* value) {
  menu_ = value;
  if (handle_ && form_style_ != fsMDIChild) {
    if (value) value->SetWindow(handle_);
    ::SetMenu(handle_, value ? value->Handle() : nullptr);
  }
}

// Closing.

bool TCustomForm::CloseQuery() {
  if (form_style_ == fsMDIForm) {
    for (int i = MDIChildCount() - 1; i >= 0; --i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  }
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (in_close_) return;
  if (modal_) {
    modal_result_ = mrCancel;
    return;
  }
  in_close_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{in_close_};
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (form_style_ == fsMDIChild) action = border_icons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->MainFormClosed();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (release_posted_) return;
  release_posted_ = true;
  if (handle_)
    PostMessageW(handle_, CM_RELEASE, 0, 0);
  else if (Application)
    Application->Post([this] { Free(); });
}

TModalResult TCustomForm::ShowModal() {
  if (visible_ || modal_ || !enabled_ || form_style_ == fsMDIChild)
    throw rtl::EInvalidOperation(L"Cannot make a visible window modal");
  if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND previous = GetActiveWindow();
  // Every other window of the program is disabled while the modal form runs.
  std::vector<HWND> disabled;
  if (Screen) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f != this && f->handle_ && f->form_style_ != fsMDIChild && IsWindowEnabled(f->handle_) &&
          IsWindowVisible(f->handle_)) {
        EnableWindow(f->handle_, FALSE);
        disabled.push_back(f->handle_);
      }
    }
  }
  if (Application) Application->PushModal(this);
  modal_ = true;
  modal_result_ = mrNone;
  auto restore = [&] {
    modal_ = false;
    for (HWND w : disabled)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    if (Application) Application->PopModal(this);
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
  };
  try {
    Show();
    while (true) {
      if (!Application) break;
      Application->HandleMessage();
      if (Application->Terminated()) {
        if (modal_result_ == mrNone) modal_result_ = mrCancel;
        break;
      }
      if (modal_result_ != mrNone) {
        // The close protocol decides whether the modal result stands.
        bool can = true;
        try {
          can = CloseQuery();
          if (can) {
            TCloseAction action = caHide;
            DoClose(action);
            if (action == caNone) can = false;
          }
        } catch (...) {
          Application->HandleException(this);
          can = false;
        }
        if (can) break;
        modal_result_ = mrNone;
      }
      if (!handle_) {
        if (modal_result_ == mrNone) modal_result_ = mrCancel;
        break;
      }
    }
    if (handle_) {
      modal_ = false;  // so Hide is a plain hide
      Hide();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return modal_result_;
}

// Focus.

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control && !ContainsControl(control)) throw rtl::EInvalidOperation(L"Invalid active control");
  active_control_ = control;
  if (control && handle_ && showing_ && active_ && control->CanFocus()) ::SetFocus(control->Handle());
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (!control->CanFocus()) throw rtl::EInvalidOperation(L"Cannot focus a disabled or invisible window");
  active_control_ = control;
  if (handle_ && showing_) ::SetFocus(control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  active_control_ = control;
  if (focused_control_ == control) return;
  TWinControl* old = focused_control_;
  focused_control_ = control;
  std::vector<TWinControl*> oldChain, newChain;
  for (TWinControl* c = old; c && c != this; c = c->Parent()) oldChain.push_back(c);
  for (TWinControl* c = control; c && c != this; c = c->Parent()) newChain.push_back(c);
  // Leave what the new control is not inside of, innermost first; enter outermost first.
  for (TWinControl* c : oldChain) {
    if (std::find(newChain.begin(), newChain.end(), c) != newChain.end()) break;
    c->Perform(CM_EXIT);
    if (focused_control_ != control) return;  // an exit handler moved the focus elsewhere
  }
  for (auto it = newChain.rbegin(); it != newChain.rend(); ++it) {
    if (std::find(oldChain.begin(), oldChain.end(), *it) != oldChain.end()) continue;
    (*it)->Perform(CM_ENTER);
    if (focused_control_ != control) return;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

void TCustomForm::ControlRemoved(TWinControl* control) {
  if (active_control_ && (active_control_ == control || control->ContainsControl(active_control_)))
    active_control_ = nullptr;
  if (focused_control_ && (focused_control_ == control || control->ContainsControl(focused_control_)))
    focused_control_ = nullptr;
}

// Keys.

void TCustomForm::CMDialogKey(TMessage& m) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (m.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(active_control_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (active_control_ && active_control_->Parent()) {
          active_control_->Parent()->SelectNext(active_control_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN,
                                                false);
          m.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  }
  // Default and cancel buttons hear Enter and Escape.
  TScrollingWinControl::CMDialogKey(m);
}

// Messages.

void TCustomForm::WndProc(TMessage& m) {
  if (Application && Application->MainForm() == this && Application->RunHooks(m)) return;
  switch (m.Msg) {
    case WM_ACTIVATE:
      active_ = LOWORD(m.WParam) != WA_INACTIVE;
      if (active_) {
        if (Screen) Screen->SetActiveForm(this);
        try {
          Activate();
        } catch (...) {
          if (Application) Application->HandleException(this);
        }
        if (active_control_ && active_control_->HandleAllocated() && active_control_->CanFocus() &&
            LOWORD(m.WParam) != WA_INACTIVE && !IsIconic(handle_)) {
          ::SetFocus(active_control_->Handle());
          m.Result = 0;
          return;
        }
      } else {
        Deactivate();
      }
      break;
    case WM_MDIACTIVATE:
      if (form_style_ == fsMDIChild) {
        bool activating = reinterpret_cast<HWND>(m.LParam) == handle_;
        active_ = activating;
        if (activating) {
          if (Screen) Screen->SetActiveForm(this);
          Activate();
        } else {
          Deactivate();
        }
      }
      break;
    case WM_MEASUREITEM:
      if (MenuMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam))) {
        m.Result = TRUE;
        return;
      }
      break;
    case WM_DRAWITEM:
      if (MenuDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam))) {
        m.Result = TRUE;
        return;
      }
      break;
    case WM_NCPAINT:
      // The menu bar paints with the frame: it takes the style active now.
      if (menu_ && form_style_ != fsMDIChild) {
        menu_->ApplyStyle();
        TScrollingWinControl::WndProc(m);
        menu_->PaintBarRest(handle_);
        return;
      }
      break;
    case WM_INITMENU:
      if (menu_ && form_style_ != fsMDIChild) menu_->ApplyStyle();
      break;
    default:
      break;
  }
  TScrollingWinControl::WndProc(m);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE:
      Free();
      return;
    case WM_COMMAND:
      if (m.LParam == 0 && HIWORD(m.WParam) == 0) {
        if (menu_ && menu_->DispatchCommand(LOWORD(m.WParam))) return;
        if (TMenuItem* item = FindMenuItemByCommand(LOWORD(m.WParam))) {
          item->Click();
          return;
        }
      }
      break;
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (active_control_ && active_control_ != this && active_control_->CanFocus() && handle_ &&
          IsWindowVisible(handle_))
        ::SetFocus(active_control_->Handle());
      return;
    case WM_SIZE:
      if (Application && Application->MainForm() == this) {
        if (m.WParam == SIZE_MINIMIZED)
          Application->MainFormMinimized();
        else if (m.WParam == SIZE_RESTORED || m.WParam == SIZE_MAXIMIZED)
          Application->DoRestore(this);
      }
      if (form_style_ == fsMDIForm) {
        // The frame places its client window itself (AlignControls); the default would fill the frame with it.
        m.Result = DefWindowProcW(handle_, m.Msg, m.WParam, m.LParam);
        Realign();
        return;
      }
      break;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
        DefaultHandler(m);
        return;
      }
      break;
    case WM_GETMINMAXINFO:
      DefaultHandler(m);
      if (auto_size_ && handle_ && m.LParam && auto_client_.x > 0) {
        // The frame keeps the size its controls gave it: dragging a border does not change it.
        RECT wr, cr;
        GetWindowRect(handle_, &wr);
        ::GetClientRect(handle_, &cr);
        POINT size{wr.right - wr.left - cr.right + auto_client_.x, wr.bottom - wr.top - cr.bottom + auto_client_.y};
        auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
        info->ptMinTrackSize = info->ptMaxTrackSize = size;
      }
      return;
    default:
      break;
  }
  TScrollingWinControl::Dispatch(m);
}

void TCustomForm::DefaultHandler(TMessage& m) {
  if (handle_ && form_style_ == fsMDIForm && m.Msg < CM_BASE) {
    m.Result = DefFrameProcW(handle_, client_handle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  TScrollingWinControl::DefaultHandler(m);
}

void TCustomForm::WMEraseBkgnd(TMessage& m) { TScrollingWinControl::WMEraseBkgnd(m); }

void TCustomForm::PaintWindow(HDC dc) {
  canvas_->Lock();
  canvas_->SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

// MDI.

int TCustomForm::MDIChildCount() const {
  int n = 0;
  if (!client_handle_ || !Screen) return 0;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->form_style_ == fsMDIChild && f->handle_ && GetParent(f->handle_) == client_handle_) ++n;
  }
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  if (!client_handle_ || !Screen) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->form_style_ == fsMDIChild && f->handle_ && GetParent(f->handle_) == client_handle_ && index-- == 0)
      return f;
  }
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!client_handle_) return nullptr;
  HWND w = reinterpret_cast<HWND>(SendMessageW(client_handle_, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(FindControl(w));
}

void TCustomForm::Cascade() {
  if (client_handle_) SendMessageW(client_handle_, WM_MDICASCADE, 0, 0);
}
void TCustomForm::Tile() {
  if (client_handle_) SendMessageW(client_handle_, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

VCL_REGISTER(TScrollingWinControl) {}

VCL_REGISTER(TCustomForm) {
  cls.Prop(L"BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
  cls.Prop(L"BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  cls.Prop(L"FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
  cls.Prop(L"Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
  cls.Prop(L"WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
  // A form stores its client size; storing the outer size too would grow the form on every read, as the
  // client size is applied last and the frame is added to it.
  cls.Prop(L"Width", &TCustomForm::Width, &TCustomForm::SetWidth).Stored(false);
  cls.Prop(L"Height", &TCustomForm::Height, &TCustomForm::SetHeight).Stored(false);
  cls.Prop(L"ClientWidth", &TCustomForm::FormClientWidth, &TCustomForm::SetFormClientWidth);
  cls.Prop(L"ClientHeight", &TCustomForm::FormClientHeight, &TCustomForm::SetFormClientHeight);
  cls.Prop(L"Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  cls.Prop(L"WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
  cls.Prop(L"AutoSize", &TCustomForm::AutoSize, &TCustomForm::SetAutoSize).Default(false);
  cls.Prop(L"KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
  cls.Prop(L"ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  cls.Prop(L"ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult).Default(0);
  cls.Prop(L"OnCreate", &TCustomForm::OnCreate);
  cls.Prop(L"OnDestroy", &TCustomForm::OnDestroy);
  cls.Prop(L"OnShow", &TCustomForm::OnShow);
  cls.Prop(L"OnHide", &TCustomForm::OnHide);
  cls.Prop(L"OnActivate", &TCustomForm::OnActivate);
  cls.Prop(L"OnDeactivate", &TCustomForm::OnDeactivate);
  cls.Prop(L"OnPaint", &TCustomForm::OnPaint);
  cls.Prop(L"OnClose", &TCustomForm::OnClose);
  cls.Prop(L"OnCloseQuery", &TCustomForm::OnCloseQuery);
}

VCL_REGISTER(TForm) {}

}  // namespace vcl
