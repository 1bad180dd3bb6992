// TControl: geometry, visibility, look and the message path every control shares.
#include "platform/vcl/controls.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"

namespace vcl {

namespace {
TControl* g_mouse_control = nullptr;
int GET_X_LPARAM(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int GET_Y_LPARAM(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }
}  // namespace

TControl* MouseControl() { return g_mouse_control; }
void SetMouseControl(TControl* control) { g_mouse_control = control; }
void ForgetControl(TControl* control) {
  if (g_mouse_control == control) g_mouse_control = nullptr;
  if (Application) Application->ControlDestroyed(control);
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (keyData & 0x20000000) s += ssAlt;
  return s;
}

TShiftState CurrentShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s += ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
  return s;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = MakeWndMethod(this, &TControl::WndProc);
  font_ = new TFont();
  font_->SetName(L"Tahoma");
  font_->SetHeight(-11);
  font_->OnChange = [this](rtl::TObject* sender) { FontChanged(sender); };
}

TControl::~TControl() {
  ForgetControl(this);
  if (parent_) parent_->RemoveControl(this);
  delete font_;
}

bool TControl::IsDestroying() const { return ComponentState().Contains(csDestroying); }
bool TControl::IsLoading() const { return ComponentState().Contains(csLoading); }

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (control_style_.Contains(csCaptureMouse) && !IsWindowed() && parent_ && parent_->HandleAllocated())
        SetCapture(parent_->Handle());
      control_state_ += csClicked;
      break;
    case WM_LBUTTONUP:
      if (!IsWindowed() && GetCapture() && parent_ && parent_->HandleAllocated() && GetCapture() == parent_->Handle())
        ReleaseCapture();
      break;
    default:
      break;
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_COLORCHANGED: CMColorChanged(m); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); return;
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_MOUSEENTER: CMMouseEnter(m); return;
    case CM_MOUSELEAVE: CMMouseLeave(m); return;
    case CM_HINTSHOW: CMHintShow(m); return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      WMMouseButton(m);
      return;
    default:
      DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<wchar_t*>(m.LParam);
      size_t cap = static_cast<size_t>(m.WParam);
      if (!buf || cap == 0) {
        m.Result = 0;
        return;
      }
      size_t n = std::min(cap - 1, text_.size());
      std::copy_n(text_.data(), n, buf);
      buf[n] = 0;
      m.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(text_.size());
      return;
    case WM_SETTEXT:
      text_ = m.LParam ? reinterpret_cast<const wchar_t*>(m.LParam) : L"";
      m.Result = 1;
      return;
    default:
      break;
  }
}

void TControl::WMMouseButton(TMessage& m) {
  TShiftState shift = KeysToShiftState(m.WParam);
  int x = GET_X_LPARAM(m.LParam);
  int y = GET_Y_LPARAM(m.LParam);
  switch (m.Msg) {
    case WM_MOUSEMOVE: DoMouseMove(shift, x, y); break;
    case WM_LBUTTONDOWN: DoMouseDown(mbLeft, shift, x, y); break;
    case WM_LBUTTONDBLCLK:
      if (control_style_.Contains(csDoubleClicks)) DblClick();
      DoMouseDown(mbLeft, shift + ssDouble, x, y);
      break;
    case WM_RBUTTONDOWN: DoMouseDown(mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: DoMouseDown(mbMiddle, shift, x, y); break;
    case WM_LBUTTONUP:
      if (control_state_.Contains(csClicked)) {
        control_state_ -= csClicked;
        if (control_style_.Contains(csClickEvents) && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
      }
      DoMouseUp(mbLeft, shift, x, y);
      break;
    case WM_RBUTTONUP: DoMouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: DoMouseUp(mbMiddle, shift, x, y); break;
    default: break;
  }
  if (IsWindowed()) DefaultHandler(m);
}

void TControl::DoMouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::DoMouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::DoMouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Click() {
  if (!enabled_) return;
  if (OnClick) OnClick(this);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_) {
    if (parent_color_) Perform(CM_PARENTCOLORCHANGED);
    if (parent_font_) Perform(CM_PARENTFONTCHANGED);
  }
  RequestAlign();
}

// Tree.

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent == this) throw rtl::EInvalidOperation(L"A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// Geometry.

bool TControl::CanResize(int& newWidth, int& newHeight) {
  bool ok = true;
  if (OnCanResize) OnCanResize(this, newWidth, newHeight, ok);
  return ok;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if ((width != width_ || height != height_) && !CanResize(width, height)) {
    width = width_;
    height = height_;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool sized = width != width_ || height != height_;
  InvalidateControl(Visible(), false);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  UpdateAnchorRules();
  InvalidateControl(Visible(), false);
  if (sized) Resize();
  RequestAlign();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || IsLoading()) return;
  TRect pr = parent_->ClientRect();
  original_parent_size_ = TPoint(pr.Width(), pr.Height());
  // Distances to the right and bottom edges, kept for akRight/akBottom.
  anchor_rules_ = TPoint(pr.Width() - (left_ + width_), pr.Height() - (top_ + height_));
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TRect TControl::ClientRect() { return GetClientRect(); }
TRect TControl::GetClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) {
  TRect cr = ClientRect();
  SetBounds(left_, top_, width_ + width - cr.Width(), height_ + height - cr.Height());
}

TPoint TControl::GetClientOrigin() {
  if (!parent_) return TPoint(left_, top_);
  TPoint p = parent_->ClientOrigin();
  return TPoint(p.X + left_, p.Y + top_);
}
TPoint TControl::ClientOrigin() { return GetClientOrigin(); }
TPoint TControl::ClientToScreen(const TPoint& p) {
  TPoint o = ClientOrigin();
  return TPoint(p.X + o.X, p.Y + o.Y);
}
TPoint TControl::ScreenToClient(const TPoint& p) {
  TPoint o = ClientOrigin();
  return TPoint(p.X - o.X, p.Y - o.Y);
}

void TControl::SetAlign(TAlign value) {
  if (align_ == value) return;
  TAlign old = align_;
  align_ = value;
  anchors_ = kDefaultAnchors;
  if (old == alNone || value != alNone) RequestAlign();
  if (value == alNone && parent_) parent_->Realign();
}

void TControl::SetAnchors(TAnchors value) {
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (parent_ && (align_ != alNone || true)) parent_->AlignControl(this);
}

// Visibility.

void TControl::SetVisible(bool value) {
  if (visible_ == value) return;
  VisibleChanging();
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0);
  RequestAlign();
}
void TControl::Show() {
  if (parent_) parent_->ShowControl(this);
  SetVisible(true);
}
void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, visible_ && control_style_.Contains(csOpaque)); }
void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& m) {
  if (!parent_font_ || !parent_) return;
  font_->Assign(parent_->Font());
  parent_font_ = true;  // Assign went through FontChanged, which cleared it
}

void TControl::CMParentColorChanged(TMessage& m) {
  if (!parent_color_ || !parent_) return;
  SetColor(parent_->Color());
  parent_color_ = true;
}

void TControl::CMMouseEnter(TMessage& m) {
  if (m.LParam == reinterpret_cast<LPARAM>(this)) {
    mouse_in_control_ = true;
    if (OnMouseEnter) OnMouseEnter(this);
  }
  // The parents learn which child the mouse is over.
  if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam);
}

void TControl::CMMouseLeave(TMessage& m) {
  if (m.LParam == reinterpret_cast<LPARAM>(this)) {
    mouse_in_control_ = false;
    if (OnMouseLeave) OnMouseLeave(this);
  }
  if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam);
}

void TControl::CMHintShow(TMessage& m) {}

// Look.

void TControl::SetColor(TColor value) {
  if (color_ == value) {
    parent_color_ = false;
    return;
  }
  color_ = value;
  parent_color_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (parent_color_ == value) return;
  parent_color_ = value;
  if (value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetFont(const TFont* value) { font_->Assign(value); }

void TControl::FontChanged(rtl::TObject*) {
  parent_font_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (parent_font_ == value) return;
  parent_font_ = value;
  if (value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetCursor(TCursor value) {
  if (cursor_ == value) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED);
}

bool TControl::IsColorStored() const { return !parent_color_; }
bool TControl::IsFontStored() const { return !parent_font_; }

String TControl::GetText() { return text_; }
void TControl::SetTextInternal(const String& value) {
  text_ = value;
  Perform(CM_TEXTCHANGED);
}
void TControl::SetText(const String& value) {
  if (GetText() == value) return;
  SetTextInternal(value);
}

void TControl::SetPopupMenu(TPopupMenu* value) { popup_menu_ = value; }

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

// Painting.

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !parent_ || !parent_->HandleAllocated() || IsWindowed()) return;
  RECT r = BoundsRect();
  InvalidateRect(parent_->Handle(), &r, !(isOpaque || parent_->control_style_.Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(Visible(), control_style_.Contains(csOpaque)); }
void TControl::Update() {
  if (parent_) parent_->Update();
}
void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  Invalidate();
}

// Graphic and custom controls.

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) { canvas_ = new TCanvas(); }
TGraphicControl::~TGraphicControl() { delete canvas_; }

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    // The parent hands its device context, already moved and clipped to this control.
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    canvas_->Lock();
    canvas_->SetHandle(dc);
    try {
      canvas_->SetFont(font_);
      Paint();
    } catch (...) {
      canvas_->SetHandle(nullptr);
      canvas_->Unlock();
      throw;
    }
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    return;
  }
  TControl::Dispatch(m);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { canvas_ = new TCanvas(); }
TCustomControl::~TCustomControl() { delete canvas_; }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->Lock();
  canvas_->SetHandle(dc);
  try {
    canvas_->SetFont(font_);
    canvas_->Brush()->SetColor(color_);
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

TWinControl* FindControl(HWND wnd) { return TWinControl::FindControl(wnd); }

TComponent* TControl::GetParentComponent() const { return parent_; }
void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // A root also writes its non-visual components (timers, dialogs, datasets), which no parent lists.
  TComponent::GetChildren(proc, root);
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

VCL_REGISTER(TControl) {
  cls.Prop(L"Left", &TControl::Left, &TControl::SetLeft);
  cls.Prop(L"Top", &TControl::Top, &TControl::SetTop);
  cls.Prop(L"Width", &TControl::Width, &TControl::SetWidth);
  cls.Prop(L"Height", &TControl::Height, &TControl::SetHeight);
  cls.Prop(L"Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  cls.Prop(L"Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(kDefaultAnchors);
  cls.Prop(L"Caption", &TControl::Caption, &TControl::SetCaption);
  cls.Prop(L"Color", &TControl::Color, &TControl::SetColor).Stored(&TControl::IsColorStored).TypeName(L"TColor");
  cls.Prop(L"ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  cls.Prop(L"Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
  cls.Prop(L"ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  cls.Prop(L"Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
  cls.Prop(L"Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  cls.Prop(L"Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  cls.Prop(L"Hint", &TControl::Hint, &TControl::SetHint);
  cls.Prop(L"ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  cls.Prop(L"PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  cls.Prop(L"OnClick", &TControl::OnClick);
  cls.Prop(L"OnDblClick", &TControl::OnDblClick);
  cls.Prop(L"OnResize", &TControl::OnResize);
  cls.Prop(L"OnCanResize", &TControl::OnCanResize);
  cls.Prop(L"OnMouseDown", &TControl::OnMouseDown);
  cls.Prop(L"OnMouseUp", &TControl::OnMouseUp);
  cls.Prop(L"OnMouseMove", &TControl::OnMouseMove);
  cls.Prop(L"OnMouseEnter", &TControl::OnMouseEnter);
  cls.Prop(L"OnMouseLeave", &TControl::OnMouseLeave);
}

VCL_REGISTER(TWinControl) {
  cls.Prop(L"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Stored(&TWinControl::IsTabOrderStored);
  cls.Prop(L"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  cls.Prop(L"OnEnter", &TWinControl::OnEnter);
  cls.Prop(L"OnExit", &TWinControl::OnExit);
  cls.Prop(L"OnKeyDown", &TWinControl::OnKeyDown);
  cls.Prop(L"OnKeyUp", &TWinControl::OnKeyUp);
  cls.Prop(L"OnKeyPress", &TWinControl::OnKeyPress);
}

VCL_REGISTER(TGraphicControl) {}
VCL_REGISTER(TCustomControl) {}

TControl* FindDragTarget(const TPoint& screenPos, bool allowDisabled) {
  POINT p{screenPos.X, screenPos.Y};
  HWND wnd = WindowFromPoint(p);
  TWinControl* c = nullptr;
  while (wnd && !(c = FindControl(wnd))) wnd = GetParent(wnd);
  if (!c) return nullptr;
  TControl* child = c->ControlAtPos(c->ScreenToClient(screenPos), allowDisabled);
  return child ? child : c;
}

}  // namespace vcl
