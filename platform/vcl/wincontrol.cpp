// TWinControl: the window handle, the window class, the window procedure, children, alignment, focus, painting.
#include <algorithm>

#include "platform/rtl/win.h"
#include <commctrl.h>

#include "platform/vcl/application.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"

namespace vcl {

namespace {

// The window property that leads from a window to its control. An atom, so lookups do not compare strings.
const wchar_t* ControlProp() {
  static ATOM atom = GlobalAddAtomW(L"TavrelControl");
  return MAKEINTATOM(atom);
}

// The control whose window is being created: its first messages arrive before CreateWindowEx returns.
thread_local TWinControl* t_creation_control = nullptr;

bool IsLibraryMessage(UINT msg) { return msg >= CM_BASE && msg <= 0xBFFF; }

int LoWordSigned(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int HiWordSigned(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

}  // namespace

void RegisterControlWindowClass(TCreateParams& params) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(inst, params.WinClassName.c_str(), &existing) &&
      existing.lpfnWndProc == &TWinControl::StdWndProc)
    return;
  if (existing.lpfnWndProc) UnregisterClassW(params.WinClassName.c_str(), inst);
  WNDCLASSEXW wc = params.WindowClass;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &TWinControl::StdWndProc;
  wc.hInstance = inst;
  wc.lpszClassName = params.WinClassName.c_str();
  wc.lpszMenuName = nullptr;
  // Superclassed standard classes are global; ours are local to the program.
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  if (!RegisterClassExW(&wc))
    throw rtl::EOSError(L"Cannot register the window class " + params.WinClassName);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = static_cast<TWinControl*>(GetPropW(wnd, ControlProp()));
  if (!control) {
    control = t_creation_control;
    if (!control) return DefWindowProcW(wnd, msg, wParam, lParam);
    t_creation_control = nullptr;
    control->handle_ = wnd;
    SetPropW(wnd, ControlProp(), control);
  }
  TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  // No exception may unwind through the system's frames: what a handler raises is reported here.
  try {
    if (control->WindowProc)
      control->WindowProc(m);
    else
      control->WndProc(m);
  } catch (...) {
    if (Application)
      Application->HandleException(control);
  }
  return m.Result;
}

void TWinControl::SetCreationControl(TWinControl* control) { t_creation_control = control; }

void TWinControl::AttachHandle(HWND wnd) {
  handle_ = wnd;
  SetPropW(wnd, ControlProp(), this);
}

TWinControl* TWinControl::FindControl(HWND wnd) {
  if (!wnd) return nullptr;
  return static_cast<TWinControl*>(GetPropW(wnd, ControlProp()));
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  brush_ = new TBrush();
  brush_->SetColor(color_);
  brush_->OnChange = [this](rtl::TObject* s) { BrushChanged(s); };
}

TWinControl::~TWinControl() {
  if (handle_) DestroyHandle();
  // Children still here were not freed by their owner: they go with their parent.
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    child->Free();
  }
  delete brush_;
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  if (handle_) DestroyHandle();
}

void TWinControl::BrushChanged(rtl::TObject*) { Invalidate(); }

// The window.

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND value) {
  if (parent_window_ == value) return;
  if (handle_ && !parent_) DestroyHandle();
  parent_window_ = value;
  UpdateControlState();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  // Children that are showing get their windows now, in z-order.
  for (TControl* c : controls_) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->visible_) w->HandleNeeded();
  }
  for (TWinControl* w : tab_list_) {
    if (w->handle_)
      SetWindowPos(w->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::CreateParams(TCreateParams& p) {
  p = TCreateParams{};
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (control_style_.Contains(csAcceptsControls)) p.Style |= WS_CLIPCHILDREN;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tab_stop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  if (parent_)
    p.WndParent = parent_->Handle();
  else
    p.WndParent = parent_window_;
  p.WindowClass.cbSize = sizeof(WNDCLASSEXW);
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = DefWindowProcW;
  p.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  p.WindowClass.hbrBackground = nullptr;
  p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const wchar_t* controlClassName) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(nullptr, controlClassName, &wc)) {
    // Common controls live in comctl32; make sure it has registered its classes.
    INITCOMMONCONTROLSEX icc{sizeof(icc), 0x0000FFFF};
    InitCommonControlsEx(&icc);
    if (!GetClassInfoExW(nullptr, controlClassName, &wc))
      throw rtl::EOSError(String(L"Window class not found: ") + controlClassName);
  }
  p.WindowClass = wc;
  p.WindowClass.cbSize = sizeof(WNDCLASSEXW);
  p.StdClassName = controlClassName;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (!p.WndParent && (p.Style & WS_CHILD) && !(p.ExStyle & WS_EX_MDICHILD) && !parent_)
    throw rtl::EInvalidOperation(L"Control '" + Name() + L"' has no parent window");
  def_wnd_proc_ = p.WindowClass.lpfnWndProc;
  RegisterControlWindowClass(p);
  control_state_ += csCreating;
  try {
    CreateWindowHandle(p);
  } catch (...) {
    control_state_ -= csCreating;
    throw;
  }
  control_state_ -= csCreating;
  if (!handle_) {
    DWORD error = GetLastError();
    throw rtl::EOSError(L"Cannot create the window of '" + Name() + L"' (system error " +
                        std::to_wstring(error) + L")");
  }
  InitializeWnd();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  t_creation_control = this;
  HWND wnd = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                             p.Height, p.WndParent, nullptr, GetModuleHandleW(nullptr), p.Param);
  t_creation_control = nullptr;
  if (wnd && !handle_) {
    handle_ = wnd;
    SetPropW(wnd, ControlProp(), this);
  }
}

void TWinControl::InitializeWnd() {
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 0);
  if (!recreate_text_.empty()) {
    SetWindowTextW(handle_, recreate_text_.c_str());
    recreate_text_.clear();
  }
  // The window may have been sized by the system (a combo box's height, a form's frame).
  UpdateBounds();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // Keep what only the window knew.
  int len = GetWindowTextLengthW(handle_);
  String t(static_cast<size_t>(len), L'\0');
  if (len > 0) GetWindowTextW(handle_, t.data(), len + 1);
  text_ = t;
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  control_state_ += csDestroyingHandle;
  HWND wnd = handle_;
  if (wnd) DestroyWindow(wnd);
  if (handle_ == wnd) {  // WM_NCDESTROY normally clears it
    RemovePropW(wnd, ControlProp());
    handle_ = nullptr;
  }
  control_state_ -= csDestroyingHandle;
  showing_ = false;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  control_state_ += csRecreating;
  try {
    bool hadFocus = GetFocus() == handle_;
    DestroyHandle();
    recreate_text_ = text_;
    UpdateControlState();
    if (!handle_ && visible_) HandleNeeded();
    if (hadFocus && handle_) ::SetFocus(handle_);
  } catch (...) {
    control_state_ -= csRecreating;
    throw;
  }
  control_state_ -= csRecreating;
}

void TWinControl::CMRecreateWnd(TMessage&) { RecreateWnd(); }

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  HWND parentWnd = GetParent(handle_);
  if (parentWnd && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parentWnd, reinterpret_cast<POINT*>(&r), 2);
  TRect nr(r);
  if (nr != BoundsRect()) {
    bool sized = nr.Width() != width_ || nr.Height() != height_;
    UpdateBoundsRect(nr);
    if (sized) {
      Realign();
      Resize();
    }
  }
}

// Messages.

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      WMMouseMove(m);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      // A click on a graphic child goes to the child.
      if (IsControlMouseMsg(m)) return;
      break;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_PRINTCLIENT:
      m.Msg = WM_PAINT;
      WMPaint(m);
      m.Msg = WM_PRINTCLIENT;
      return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_COMMAND: WMCommand(m); return;
    case WM_NOTIFY: WMNotify(m); return;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      WMCtlColor(m);
      return;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      TWinControl* child = dis && dis->CtlType != ODT_MENU ? FindControl(dis->hwndItem) : nullptr;
      if (child && child != this) {
        m.Result = child->Perform(CN_DRAWITEM, m.WParam, m.LParam);
        return;
      }
      DefaultHandler(m);
      return;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      TWinControl* child = nullptr;
      if (mis && mis->CtlType != ODT_MENU && handle_) child = FindControl(GetDlgItem(handle_, static_cast<int>(mis->CtlID)));
      if (child && child != this) {
        m.Result = child->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
        return;
      }
      DefaultHandler(m);
      return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam));
      if (child && child != this) {
        m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
      }
      DefaultHandler(m);
      return;
    }
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_MOVE: WMMove(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
      WMKeyMessage(m);
      return;
    case WM_GETDLGCODE: WMGetDlgCode(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_MOUSELEAVE: WMMouseLeave(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    case WM_DESTROY: WMDestroy(m); return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_SETTEXT:
      DefaultHandler(m);
      Perform(CM_TEXTCHANGED);
      return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_RECREATEWND: CMRecreateWnd(m); return;
    case CM_INVALIDATE: CMInvalidate(m); return;
    case CM_FOCUSCHANGED:
      // Every control of the form hears which one now has the focus.
      for (size_t i = 0; i < controls_.size(); ++i) controls_[i]->Perform(CM_FOCUSCHANGED, m.WParam, m.LParam);
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(m);
      return;
    case CN_CHAR:
    case CN_SYSCHAR:
      CNChar(m);
      return;
    case CN_KEYUP:
      m.Result = DoKeyUp(m) ? 1 : 0;
      return;
    default:
      TControl::Dispatch(m);
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_ || IsLibraryMessage(m.Msg)) {
    if (!handle_) TControl::DefaultHandler(m);
    return;
  }
  WNDPROC proc = def_wnd_proc_ ? def_wnd_proc_ : DefWindowProcW;
  m.Result = CallWindowProcW(proc, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::WMCommand(TMessage& m) {
  if (m.LParam) {
    TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam));
    if (child && child != this) {
      m.Result = child->Perform(CN_COMMAND, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMNotify(TMessage& m) {
  auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
  TWinControl* child = hdr ? FindControl(hdr->hwndFrom) : nullptr;
  if (child && child != this) {
    m.Result = child->Perform(CN_NOTIFY, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMCtlColor(TMessage& m) {
  TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam));
  if (child && child != this) {
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::CMInvalidate(TMessage& m) {
  if (handle_) InvalidateRect(handle_, nullptr, !control_style_.Contains(csOpaque));
}

// Children.

bool TWinControl::ContainsControl(const TControl* control) const {
  while (control && control != this) control = control->parent_;
  return control == this;
}

void TWinControl::InsertControl(TControl* control) {
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(control), 1);
  control->parent_ = this;
  controls_.push_back(control);
  if (auto* w = dynamic_cast<TWinControl*>(control)) tab_list_.push_back(w);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  control->UpdateAnchorRules();
  if (!control->IsLoading()) {
    if (control->parent_color_) control->Perform(CM_PARENTCOLORCHANGED);
    if (control->parent_font_) control->Perform(CM_PARENTFONTCHANGED);
  }
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (handle_ && w->handle_) ::SetParent(w->handle_, handle_);
    w->UpdateControlState();
  } else {
    control->Invalidate();
  }
  AlignControl(control);
}

void TWinControl::RemoveControl(TControl* control) {
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(control), 0);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (auto* form = ParentForm()) form->ControlRemoved(w);
    if (w->handle_) w->DestroyHandle();
    tab_list_.erase(std::remove(tab_list_.begin(), tab_list_.end(), w), tab_list_.end());
    w->showing_ = false;
  } else {
    control->Invalidate();
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  Realign();
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  TControl::SetParent(parent);
}

TControl* TWinControl::ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (!allowWinControls && c->IsWindowed()) continue;
    if (!c->visible_ || (!c->enabled_ && !allowDisabled)) continue;
    if (c->BoundsRect().Contains(pos)) return c;
  }
  return nullptr;
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* target = nullptr;
  if (GetCapture() == handle_ && handle_) {
    target = Application ? Application->CaptureControl() : nullptr;
    if (target && target->parent_ != this) target = nullptr;
  }
  if (!target) target = ControlAtPos(TPoint(LoWordSigned(m.LParam), HiWordSigned(m.LParam)), false);
  if (!target || target->IsWindowed()) return false;
  if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
    if (Application) Application->SetCaptureControl(target);
  } else if (m.Msg == WM_LBUTTONUP) {
    if (Application) Application->SetCaptureControl(nullptr);
  }
  LPARAM lp = MAKELPARAM(LoWordSigned(m.LParam) - target->left_, HiWordSigned(m.LParam) - target->top_);
  m.Result = target->Perform(m.Msg, m.WParam, lp);
  return true;
}

void TWinControl::Broadcast(TMessage& m) {
  for (size_t i = 0; i < controls_.size(); ++i) {
    controls_[i]->WindowProc ? controls_[i]->WindowProc(m) : controls_[i]->WndProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  for (size_t i = 0; i < controls_.size(); ++i) controls_[i]->Perform(msg);
}

// Alignment and anchors.

void TWinControl::EnableAlign() {
  if (--align_level_ <= 0) {
    align_level_ = 0;
    if (align_pending_) Realign();
  }
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AdjustClientRect(TRect& rect) {}

void TWinControl::AlignControl(TControl* control) {
  if (align_level_ > 0 || IsLoading() || IsDestroying() || control_state_.Contains(csAligning)) {
    align_pending_ = true;
    return;
  }
  align_pending_ = false;
  TRect r = ClientRect();
  AdjustClientRect(r);
  control_state_ += csAligning;
  try {
    AlignControls(control, r);
  } catch (...) {
    control_state_ -= csAligning;
    throw;
  }
  control_state_ -= csAligning;
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  auto place = [&](TAlign a) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->align_ == a && c->visible_) list.push_back(c);
    // The control being moved keeps the place it was put in; the others keep their order.
    std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) {
      switch (a) {
        case alTop: return x->top_ < y->top_;
        case alBottom: return x->top_ + x->height_ > y->top_ + y->height_;
        case alLeft: return x->left_ < y->left_;
        case alRight: return x->left_ + x->width_ > y->left_ + y->width_;
        default: return false;
      }
    });
    for (TControl* c : list) {
      int w = c->width_, h = c->height_;
      TRect nr;
      switch (a) {
        case alTop: nr = Rect(rect.Left, rect.Top, rect.Right, rect.Top + h); rect.Top += h; break;
        case alBottom: nr = Rect(rect.Left, rect.Bottom - h, rect.Right, rect.Bottom); rect.Bottom -= h; break;
        case alLeft: nr = Rect(rect.Left, rect.Top, rect.Left + w, rect.Bottom); rect.Left += w; break;
        case alRight: nr = Rect(rect.Right - w, rect.Top, rect.Right, rect.Bottom); rect.Right -= w; break;
        case alClient: nr = rect; break;
        default: break;
      }
      if (nr.Right < nr.Left) nr.Right = nr.Left;
      if (nr.Bottom < nr.Top) nr.Bottom = nr.Top;
      c->SetBounds(nr.Left, nr.Top, nr.Width(), nr.Height());
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
}

void TWinControl::AnchorChildren(int newWidth, int newHeight) {
  for (TControl* c : controls_) {
    if (c->align_ != alNone) continue;
    TAnchors a = c->anchors_;
    if (a == kDefaultAnchors) {
      c->UpdateAnchorRules();
      continue;
    }
    int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
    int right = c->anchor_rules_.X, bottom = c->anchor_rules_.Y;
    if (a.Contains(akRight)) {
      if (a.Contains(akLeft))
        w = newWidth - l - right;
      else
        l = newWidth - right - w;
    }
    if (a.Contains(akBottom)) {
      if (a.Contains(akTop))
        h = newHeight - t - bottom;
      else
        t = newHeight - bottom - h;
    }
    TPoint keep = c->anchor_rules_;
    c->SetBounds(l, t, w, h);
    c->anchor_rules_ = keep;
  }
}

// Geometry.

TRect TWinControl::GetClientRect() {
  if (!handle_) return TControl::GetClientRect();
  RECT r;
  ::GetClientRect(handle_, &r);
  return TRect(r);
}

TPoint TWinControl::GetClientOrigin() {
  if (!handle_) return TControl::GetClientOrigin();
  POINT p{0, 0};
  ::ClientToScreen(handle_, &p);
  return TPoint(p.x, p.y);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if ((width != width_ || height != height_) && !CanResize(width, height)) {
    width = width_;
    height = height_;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (handle_ && !IsLoading()) {
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // WM_WINDOWPOSCHANGED has brought the bounds; a window that refused keeps its own.
  } else {
    bool sized = width != width_ || height != height_;
    int ow = width_, oh = height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    UpdateAnchorRules();
    if (sized) {
      if (ow || oh) AnchorChildren(ClientWidth(), ClientHeight());
      Realign();
      Resize();
    }
  }
  RequestAlign();
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (wp && (wp->flags & SWP_NOSIZE) && (wp->flags & SWP_NOMOVE)) return;
  int ow = width_, oh = height_;
  RECT r;
  GetWindowRect(handle_, &r);
  HWND parentWnd = GetParent(handle_);
  if (parentWnd && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parentWnd, reinterpret_cast<POINT*>(&r), 2);
  TRect nr(r);
  if (nr == BoundsRect()) return;
  left_ = nr.Left;
  top_ = nr.Top;
  width_ = nr.Width();
  height_ = nr.Height();
  if (!IsDestroying()) UpdateAnchorRules();
  if (width_ != ow || height_ != oh) {
    RECT cr;
    ::GetClientRect(handle_, &cr);
    AnchorChildren(cr.right, cr.bottom);
    Realign();
    Resize();
  }
}

void TWinControl::WMSize(TMessage& m) { DefaultHandler(m); }
void TWinControl::WMMove(TMessage& m) { DefaultHandler(m); }

// Showing.

void TWinControl::UpdateControlState() {
  TWinControl* p = this;
  while (p->parent_) {
    if (!p->parent_->showing_) {
      // Nothing shows under a hidden parent; only our own state changes.
      if (showing_) UpdateShowing();
      return;
    }
    p = p->parent_;
  }
  if (dynamic_cast<TCustomForm*>(p) || p->parent_window_) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = visible_;
  if (parent_)
    show = show && parent_->showing_;
  else if (!dynamic_cast<TCustomForm*>(this))
    show = show && parent_window_ != nullptr;
  if (show && !handle_) CreateHandle();
  if (show != showing_) {
    showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      showing_ = !show;
      throw;
    }
  }
  for (size_t i = 0; i < controls_.size(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(controls_[i])) w->UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  if (!handle_) return;
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& m) {
  if (!visible_ && parent_) parent_->ControlHidden(this);
  UpdateControlState();
}

void TWinControl::ControlHidden(TWinControl* child) {
  if (auto* form = ParentForm()) form->ControlRemoved(child);
}

void TWinControl::SetEnabled(bool value) { TControl::SetEnabled(value); }

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!enabled_ && handle_ && GetFocus() == handle_) {
    if (auto* form = ParentForm()) form->ControlRemoved(this);
  }
  if (handle_) EnableWindow(handle_, enabled_);
  Invalidate();
}

void TWinControl::CMFontChanged(TMessage&) {
  if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 1);
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
}

void TWinControl::CMColorChanged(TMessage&) {
  brush_->SetColor(color_);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

// Painting.

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, !control_style_.Contains(csOpaque));
}
void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}
void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
void TWinControl::SendToBack() {
  TControl::SendToBack();
  if (handle_) SetWindowPos(handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (control_style_.Contains(csOpaque) || !m.WParam) {
    m.Result = 1;
    return;
  }
  RECT r;
  ::GetClientRect(handle_, &r);
  ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_->Handle());
  m.Result = 1;
}

bool TWinControl::PaintsItself() const { return false; }

void TWinControl::WMPaint(TMessage& m) {
  bool hasGraphic = false;
  for (TControl* c : controls_)
    if (!c->IsWindowed() && c->visible_) hasGraphic = true;
  if (!hasGraphic && !PaintsItself()) {
    DefaultHandler(m);
    return;
  }
  PaintHandler(m);
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps{};
  if (!dc) dc = BeginPaint(handle_, &ps);
  try {
    int saved = SaveDC(dc);
    // Graphic children that paint opaquely are left out of the window's own painting.
    for (TControl* c : controls_) {
      if (c->IsWindowed() || !c->visible_ || !c->control_style_.Contains(csOpaque)) continue;
      ExcludeClipRect(dc, c->left_, c->top_, c->left_ + c->width_, c->top_ + c->height_);
    }
    PaintWindow(dc);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
  } catch (...) {
    if (!m.WParam) EndPaint(handle_, &ps);
    throw;
  }
  if (!m.WParam) EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage pm;
  pm.Msg = WM_PAINT;
  pm.WParam = reinterpret_cast<WPARAM>(dc);
  DefaultHandler(pm);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first) it = std::find(controls_.begin(), controls_.end(), first);
  RECT clip;
  GetClipBox(dc, &clip);
  for (; it != controls_.end(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->visible_) continue;
    RECT r = c->BoundsRect();
    RECT inter;
    if (!IntersectRect(&inter, &r, &clip)) continue;
    int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + c->left_, org.y + c->top_, nullptr);
    IntersectClipRect(dc, 0, 0, c->width_, c->height_);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  HandleNeeded();
  int saved = SaveDC(dc);
  POINT org;
  GetViewportOrgEx(dc, &org);
  SetViewportOrgEx(dc, org.x + x, org.y + y, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  // The frame first, then the client area moved by the frame's width.
  RECT wr, cr;
  GetWindowRect(handle_, &wr);
  ::GetClientRect(handle_, &cr);
  POINT co{0, 0};
  ::ClientToScreen(handle_, &co);
  int fx = co.x - wr.left, fy = co.y - wr.top;
  if (fx || fy) SendMessageW(handle_, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
  SetViewportOrgEx(dc, org.x + x + fx, org.y + y + fy, nullptr);
  IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
  Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  for (TControl* c : controls_) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->visible_ && w->handle_) w->PaintTo(dc, w->left_, w->top_);
  }
  RestoreDC(dc, saved);
}

// Focus and tab order.

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  auto& list = parent_->tab_list_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!parent_) return;
  auto& list = parent_->tab_list_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (value < 0 || value > static_cast<int>(list.size())) value = static_cast<int>(list.size());
  list.insert(list.begin() + value, this);
}

void TWinControl::SetTabStop(bool value) {
  if (tab_stop_ == value) return;
  tab_stop_ = value;
  if (handle_) {
    LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
    SetWindowLongPtrW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* w : tab_list_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

bool TWinControl::CanFocus() {
  TControl* c = this;
  while (c) {
    if (!c->visible_ || !c->enabled_) return false;
    if (!c->parent_) break;
    c = c->parent_;
  }
  return dynamic_cast<TCustomForm*>(c) != nullptr;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  TCustomForm* form = ParentForm();
  if (form && form != this) {
    form->FocusControl(this);
  } else if (handle_ && IsWindowVisible(handle_)) {
    ::SetFocus(handle_);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  auto it = std::find(list.begin(), list.end(), current);
  int n = static_cast<int>(list.size());
  int start = it == list.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if (c == current) break;
    if ((!checkTabStop || c->tab_stop_) && (!checkParent || c->parent_ == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, false);
  if (next) next->SetFocus();
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  if (TCustomForm* form = ParentForm(); form && form != this) form->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

// Keyboard.

void TWinControl::WMKeyMessage(TMessage& m) {
  // Keys reach the events through the CN_ messages the application sends first; a key that came straight to the
  // window (SendMessage from outside the loop) takes the same path here.
  if (!(Application && Application->InKeyTranslation())) {
    UINT cn = CN_BASE + m.Msg;
    if (m.Msg == WM_KEYUP || m.Msg == WM_SYSKEYUP) cn = CN_KEYUP;
    if (Perform(cn, m.WParam, m.LParam) != 0) return;
  }
  DefaultHandler(m);
}

bool TWinControl::DoKeyEvent(TMessage& m, void (TWinControl::*handler)(rtl::Word&, TShiftState)) {
  TCustomForm* form = ParentForm();
  rtl::Word key = static_cast<rtl::Word>(m.WParam);
  TShiftState shift = KeyDataToShiftState(m.LParam);
  if (form && form != this && form->KeyPreview()) {
    (static_cast<TWinControl*>(form)->*handler)(key, shift);
    if (key == 0) return true;
  }
  (this->*handler)(key, shift);
  if (key == 0) return true;
  m.WParam = key;
  return false;
}

bool TWinControl::DoKeyDown(TMessage& m) { return DoKeyEvent(m, &TWinControl::KeyDown); }
bool TWinControl::DoKeyUp(TMessage& m) { return DoKeyEvent(m, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& m) {
  TCustomForm* form = ParentForm();
  wchar_t ch = static_cast<wchar_t>(m.WParam);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyPress(ch);
    if (ch == 0) return true;
  }
  KeyPress(ch);
  if (ch == 0) return true;
  m.WParam = ch;
  return false;
}

void TWinControl::KeyDown(rtl::Word& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(rtl::Word& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  if (DoKeyDown(m)) return;
  WPARAM key = m.WParam;
  UINT mask = 0;
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask && m.Msg == CN_KEYDOWN) {
    bool wants = (Perform(WM_GETDLGCODE) & (mask | DLGC_WANTALLKEYS)) != 0;
    if (!wants && Perform(CM_WANTSPECIALKEY, key) == 0) {
      TCustomForm* form = ParentForm();
      if (form && form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) return;
    }
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = DoKeyPress(m) ? 1 : 0;
  // Alt+letter goes to the form's controls first: one whose caption marks that letter takes it.
  if (m.Result == 0 && m.Msg == CN_SYSCHAR) {
    TCustomForm* form = ParentForm();
    if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
  }
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }
void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

// Mouse.

void TWinControl::WMMouseMove(TMessage& m) {
  TPoint p(LoWordSigned(m.LParam), HiWordSigned(m.LParam));
  TControl* target = ControlAtPos(p, false);
  if (GetCapture() == handle_ && Application && Application->CaptureControl() &&
      Application->CaptureControl()->parent_ == this)
    target = Application->CaptureControl();
  if (!target) target = this;
  if (Application) Application->UpdateMouseControl(target);
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
  TrackMouseEvent(&tme);
  if (target != this) {
    LPARAM lp = MAKELPARAM(p.X - target->left_, p.Y - target->top_);
    m.Result = target->Perform(WM_MOUSEMOVE, m.WParam, lp);
    return;
  }
  TControl::WndProc(m);
}

void TWinControl::WMMouseLeave(TMessage& m) {
  TControl* mc = MouseControl();
  if (mc && (mc == this || (!mc->IsWindowed() && mc->parent_ == this)) && Application) {
    // The mouse may have moved onto a child window: that child's first WM_MOUSEMOVE takes over.
    POINT p;
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    if (!(under && under != handle_ && IsChild(handle_, under))) Application->UpdateMouseControl(nullptr);
  }
  DefaultHandler(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
    TCursor cur = cursor_;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    if (TControl* c = ControlAtPos(TPoint(p.x, p.y), false)) cur = c->cursor_;
    if (Screen && Screen->Cursor() != crDefault) cur = Screen->Cursor();
    if (cur != crDefault) {
      ::SetCursor(Screen ? Screen->Cursors(cur) : LoadCursorW(nullptr, IDC_ARROW));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMContextMenu(TMessage& m) {
  TPoint pos(LoWordSigned(m.LParam), HiWordSigned(m.LParam));
  TControl* target = this;
  if (m.LParam != -1) {
    if (TControl* c = ControlAtPos(ScreenToClient(pos), false)) target = c;
  }
  bool handled = false;
  if (target->OnContextPopup) target->OnContextPopup(target, pos, handled);
  if (handled) return;
  TControl* c = target;
  while (c && !c->popup_menu_) c = c->parent_;
  if (c && c->popup_menu_) {
    if (m.LParam == -1) pos = ClientToScreen(TPoint(0, 0));
    c->popup_menu_->SetPopupComponent(target);
    c->popup_menu_->Popup(pos.X, pos.Y);
    m.Result = 1;
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMDestroy(TMessage& m) {
  DefaultHandler(m);
  if (MouseControl() == this) SetMouseControl(nullptr);
}

void TWinControl::WMNCDestroy(TMessage& m) {
  HWND wnd = handle_;
  DefaultHandler(m);
  RemovePropW(wnd, ControlProp());
  if (handle_ == wnd) handle_ = nullptr;
  showing_ = false;
}

// Text.

String TWinControl::GetText() {
  if (!handle_) return text_;
  int len = GetWindowTextLengthW(handle_);
  String t(static_cast<size_t>(len), L'\0');
  if (len > 0) {
    int got = GetWindowTextW(handle_, t.data(), len + 1);
    t.resize(static_cast<size_t>(std::max(got, 0)));
  }
  return t;
}

void TWinControl::SetTextInternal(const String& value) {
  if (handle_) {
    SetWindowTextW(handle_, value.c_str());  // WM_SETTEXT sends CM_TEXTCHANGED
  } else {
    text_ = value;
    Perform(CM_TEXTCHANGED);
  }
}

}  // namespace vcl
