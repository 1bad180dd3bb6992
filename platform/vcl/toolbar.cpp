// The bar lays its buttons out itself (left to right, by creation order) whenever one is added, resized or
// changed; the buttons paint themselves flat until the mouse is over them or they are down.
#include "platform/vcl/toolbar.h"

#include "platform/vcl/imagelist.h"
#include "platform/vcl/styles.h"

namespace vcl {

namespace {

void Fill(HDC dc, const RECT& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToGdi(color));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void Frame(HDC dc, const RECT& r, TColor light, TColor dark) {
  Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, light);
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, light);
  Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
  Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
}

}  // namespace

// Button.

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
  control_style_ = TControlStyle{csCaptureMouse, csSetCaption, csOpaque};
  SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(parent_); }

void TToolButton::SetParent(TWinControl* parent) {
  TGraphicControl::SetParent(parent);
  if (TToolBar* bar = ToolBar()) bar->Realign();
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  style_ = value;
  if (TToolBar* bar = ToolBar()) bar->Realign();
  Invalidate();
}

void TToolButton::SetImageIndex(int value) {
  image_index_ = value;
  Invalidate();
}

void TToolButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  // Grouped check buttons: the neighbours in the same run of grouped buttons go up.
  if (value && grouped_ && style_ == tbsCheck && ToolBar()) {
    TToolBar* bar = ToolBar();
    int count = bar->ButtonCount(), me = -1;
    for (int i = 0; i < count; ++i)
      if (bar->Buttons(i) == this) me = i;
    auto raise = [&](int i) {
      TToolButton* b = bar->Buttons(i);
      if (!b->grouped_ || b->style_ != tbsCheck) return false;
      if (b->down_) {
        b->down_ = false;
        b->Invalidate();
      }
      return true;
    };
    for (int i = me - 1; i >= 0 && raise(i); --i) {
    }
    for (int i = me + 1; i < count && raise(i); ++i) {
    }
  }
  Invalidate();
}

void TToolButton::Click() {
  if (style_ == tbsCheck) {
    if (!down_)
      SetDown(true);
    else if (!grouped_ || allow_all_up_)
      SetDown(false);
  }
  TGraphicControl::Click();
}

void TToolButton::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseDown(button, shift, x, y);
  if (button == mbLeft && enabled_ && !IsSeparator()) {
    pressed_ = true;
    Invalidate();
  }
}

void TToolButton::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  bool was = pressed_ && button == mbLeft;
  pressed_ = false;
  if (was) {
    Invalidate();
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Click();
  }
  TGraphicControl::DoMouseUp(button, shift, x, y);
}

void TToolButton::Dispatch(TMessage& m) {
  TGraphicControl::Dispatch(m);
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE || m.Msg == CM_ENABLEDCHANGED || m.Msg == CM_TEXTCHANGED) {
    Invalidate();
    if (m.Msg == CM_TEXTCHANGED && ToolBar()) ToolBar()->Realign();
  }
}

void TToolButton::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r{0, 0, width_, height_};
  TToolBar* bar = ToolBar();
  TColor back = parent_ ? parent_->Color() : clBtnFace;
  if (StyleServices().Enabled() && back == clBtnFace) back = StyleServices().GetStyleColor(scToolBar);
  if (IsSeparator()) {
    Fill(dc, r, back);
    if (style_ == tbsDivider) {
      int x = width_ / 2;
      Frame(dc, RECT{x - 1, 2, x + 1, height_ - 2}, clBtnShadow, clBtnHighlight);
    }
    return;
  }
  bool down = down_ || pressed_;
  bool hot = mouse_in_control_ && enabled_;
  const TCustomStyleServices& style = StyleServices();
  TColor face = back;
  if (down)
    face = style.GetStyleColor(scButtonPressed);
  else if (hot)
    face = style.GetStyleColor(scButtonHot);
  Fill(dc, r, face);
  if (down)
    Frame(dc, r, clBtnShadow, clBtnHighlight);
  else if (hot || (bar && !bar->Flat()))
    Frame(dc, r, clBtnHighlight, clBtnShadow);
  int off = down ? 1 : 0;
  int text_top = 0;
  TCustomImageList* images = bar ? bar->Images() : nullptr;
  if (images && image_index_ >= 0 && image_index_ < images->Count()) {
    int x = (width_ - images->Width()) / 2 + off;
    int y = (bar->ShowCaptions() ? 3 : (height_ - images->Height()) / 2) + off;
    images->Draw(Canvas(), x, y, image_index_, enabled_);
    text_top = y + images->Height();
  }
  if (bar && bar->ShowCaptions() && !text_.empty()) {
    HGDIOBJ old = SelectObject(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToGdi(enabled_ ? style.GetStyleFontColor(sfButtonTextNormal) : clGrayText));
    RECT tr{off, text_top + off, width_ + off, height_ + off};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &tr,
              DT_CENTER | DT_SINGLELINE | (text_top ? DT_TOP : DT_VCENTER));
    SelectObject(dc, old);
  }
}

// Bar.

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  control_style_ += csAcceptsControls;
  color_ = clBtnFace;
  parent_color_ = false;
  brush_->SetColor(color_);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

TToolBar::~TToolBar() {
  if (images_) images_->RemoveFreeNotification(this);
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (TControl* c : controls_)
    if (dynamic_cast<TToolButton*>(c)) ++n;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  for (TControl* c : controls_)
    if (auto* b = dynamic_cast<TToolButton*>(c))
      if (index-- == 0) return b;
  return nullptr;
}

void TToolBar::SetButtonWidth(int v) {
  button_width_ = v;
  Realign();
}
void TToolBar::SetButtonHeight(int v) {
  button_height_ = v;
  Realign();
}
void TToolBar::SetShowCaptions(bool v) {
  show_captions_ = v;
  Realign();
  Invalidate();
}
void TToolBar::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}
void TToolBar::SetImages(TCustomImageList* value) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  Realign();
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

void TToolBar::AlignControls(TControl* control, TRect& rect) {
  int x = rect.Left + 2;
  int h = button_height_;
  // With captions every button is as wide as the widest caption needs.
  int w = button_width_;
  if (show_captions_) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_->Handle());
    for (TControl* c : controls_) {
      auto* b = dynamic_cast<TToolButton*>(c);
      if (!b || b->IsSeparator()) continue;
      SIZE s{0, 0};
      GetTextExtentPoint32W(dc, b->text_.c_str(), static_cast<int>(b->text_.size()), &s);
      w = std::max(w, static_cast<int>(s.cx) + 12);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (images_) h = std::max(h, images_->Height() + 22);
  }
  for (TControl* c : controls_) {
    auto* b = dynamic_cast<TToolButton*>(c);
    if (!b || !b->Visible()) continue;
    int bw = b->IsSeparator() ? 8 : w;
    b->SetBounds(x, rect.Top + 2, bw, h);
    x += bw;
  }
  // Other controls on the bar (an edit, a combo box) align as anywhere else.
  TCustomControl::AlignControls(control, rect);
}

void TToolBar::Paint() {
  TRect r = ClientRect();
  TColor back = color_;
  if (StyleServices().Enabled() && back == clBtnFace) back = StyleServices().GetStyleColor(scToolBar);
  Canvas()->Brush()->SetColor(back);
  Canvas()->FillRect(r);
  // A line under the bar separates it from the form.
  HDC dc = Canvas()->Handle();
  Fill(dc, RECT{0, r.Bottom - 1, r.Right, r.Bottom}, clBtnShadow);
}

VCL_REGISTER(TToolButton) {
  cls.Prop(L"Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
  cls.Prop(L"Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
  cls.Prop(L"Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
  cls.Prop(L"AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
  cls.Prop(L"ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
}
VCL_REGISTER(TToolBar) {
  cls.Prop(L"ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  cls.Prop(L"ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  cls.Prop(L"ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
  cls.Prop(L"Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(true);
  cls.Prop(L"Images", &TToolBar::Images, &TToolBar::SetImages);
}

}  // namespace vcl
