// Label, edit, button and check box.
#include "platform/vcl/stdctrls.h"

#include "platform/vcl/forms.h"

namespace vcl {

// Label.

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  control_style_ += csReplicatable;
  color_ = clBtnFace;
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}
void TCustomLabel::SetAutoSize(bool v) {
  auto_size_ = v;
  AdjustBounds();
}
void TCustomLabel::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool v) {
  word_wrap_ = v;
  AdjustBounds();
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout v) {
  layout_ = v;
  Invalidate();
}

UINT TCustomLabel::DrawFlags() const {
  UINT f = DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  if (alignment_ == taRightJustify) f |= DT_RIGHT;
  if (alignment_ == taCenter) f |= DT_CENTER;
  if (!word_wrap_ && layout_ == tlCenter) f |= DT_VCENTER;
  if (!word_wrap_ && layout_ == tlBottom) f |= DT_BOTTOM;
  return f;
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!transparent_) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color_);
    c->FillRect(r);
  }
  HDC dc = c->Handle();
  SelectObject(dc, font_->Handle());
  SetBkMode(dc, TRANSPARENT);
  String t = text_;
  RECT rr = r;
  if (!enabled_) {
    OffsetRect(&rr, 1, 1);
    SetTextColor(dc, ColorToGdi(clBtnHighlight));
    DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &rr, DrawFlags());
    OffsetRect(&rr, -1, -1);
    SetTextColor(dc, ColorToGdi(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToGdi(font_->Color()));
  }
  DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &rr, DrawFlags());
}

void TCustomLabel::AdjustBounds() {
  if (!auto_size_ || IsLoading()) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  RECT r{0, 0, word_wrap_ ? width_ : 0, 0};
  String t = text_.empty() ? String(L" ") : text_;
  DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &r, DrawFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int x = left_;
  if (alignment_ == taRightJustify) x = left_ + width_ - r.right;
  SetBounds(x, top_, r.right, r.bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::CMTextChanged(TMessage& m) {
  Invalidate();
  AdjustBounds();
}
void TCustomLabel::CMFontChanged(TMessage& m) {
  Invalidate();
  AdjustBounds();
}

// Edit.

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  tab_stop_ = true;
  parent_color_ = false;
  color_ = clWindow;
  brush_->SetColor(color_);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"EDIT");
  p.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (read_only_) p.Style |= ES_READONLY;
  if (password_char_) p.Style |= ES_PASSWORD;
  p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomEdit::InitializeWnd() {
  creating_text_ = true;
  TWinControl::InitializeWnd();
  creating_text_ = false;
  SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(max_length_), 0);
  if (password_char_) SendMessageW(handle_, EM_SETPASSWORDCHAR, password_char_, 0);
}

void TCustomEdit::SetMaxLength(int v) {
  max_length_ = v;
  if (handle_) SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(v), 0);
}
void TCustomEdit::SetReadOnly(bool v) {
  read_only_ = v;
  if (handle_) SendMessageW(handle_, EM_SETREADONLY, v ? 1 : 0, 0);
}
void TCustomEdit::SetPasswordChar(wchar_t v) {
  password_char_ = v;
  if (handle_) {
    SendMessageW(handle_, EM_SETPASSWORDCHAR, v, 0);
    Invalidate();
  }
}
void TCustomEdit::SetTextHint(const String& v) {
  text_hint_ = v;
  Invalidate();
}

int TCustomEdit::SelStart() {
  DWORD s = 0, e = 0;
  if (handle_) SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(s);
}
void TCustomEdit::SetSelStart(int v) {
  if (handle_) SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(v), v);
}
int TCustomEdit::SelLength() {
  DWORD s = 0, e = 0;
  if (handle_) SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e - s);
}
void TCustomEdit::SetSelLength(int v) {
  if (handle_) {
    int s = SelStart();
    SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(s), s + v);
  }
}
void TCustomEdit::SelectAll() {
  if (handle_) SendMessageW(handle_, EM_SETSEL, 0, -1);
}
bool TCustomEdit::Modified() { return handle_ && SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0; }
void TCustomEdit::SetModified(bool v) {
  if (handle_) SendMessageW(handle_, EM_SETMODIFY, v ? 1 : 0, 0);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::PaintTextHint(TMessage& m) {
  if (text_hint_.empty() || GetWindowTextLengthW(handle_) > 0 || GetFocus() == handle_) return;
  HDC dc = GetDC(handle_);
  RECT r;
  SendMessageW(handle_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGdi(clGrayText));
  DrawTextW(dc, text_hint_.c_str(), static_cast<int>(text_hint_.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(handle_, dc);
}

void TCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == EN_CHANGE && !creating_text_) Change();
      return;
    case CM_TEXTCHANGED:
      // Without a window no EN_CHANGE comes; the program's change still counts.
      if (!handle_) Change();
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToGdi(enabled_ ? font_->Color() : clGrayText));
      SetBkColor(dc, ColorToGdi(brush_->Color()));
      m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    }
    case WM_PAINT:
      TWinControl::Dispatch(m);
      if (handle_) PaintTextHint(m);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::Dispatch(m);
      if (!text_hint_.empty()) InvalidateRect(handle_, nullptr, TRUE);
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

// Buttons.

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  tab_stop_ = true;
  control_style_ -= csClickEvents;
  color_ = clBtnFace;
  parent_color_ = false;
  brush_->SetColor(color_);
}

void TButtonControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToGdi(font_->Color()));
  SetBkColor(dc, ColorToGdi(brush_->Color()));
  m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
}

void TButtonControl::Dispatch(TMessage& m) {
  if (m.Msg == CN_CTLCOLORBTN || m.Msg == CN_CTLCOLORSTATIC) {
    CNCtlColor(m);
    return;
  }
  TWinControl::Dispatch(m);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  CreateSubClass(p, L"BUTTON");
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
  default_ = v;
  if (handle_) SendMessageW(handle_, BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TButton::Click() {
  if (!enabled_) return;
  if (modal_result_ != 0) {
    if (TCustomForm* f = ParentForm()) f->SetModalResult(modal_result_);
  }
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) && enabled_ && visible_) {
        Click();
        m.Result = 1;
        return;
      }
      TButtonControl::Dispatch(m);
      return;
    default:
      TButtonControl::Dispatch(m);
  }
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  CreateSubClass(p, L"BUTTON");
  p.Style |= BS_3STATE;
}

void TCheckBox::InitializeWnd() {
  TButtonControl::InitializeWnd();
  SendMessageW(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState v) {
  if (state_ == v) return;
  state_ = v;
  if (handle_) SendMessageW(handle_, BM_SETCHECK, static_cast<WPARAM>(v), 0);
  Click();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allow_grayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCheckBox::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED && enabled_) Toggle();
    return;
  }
  TButtonControl::Dispatch(m);
}

VCL_REGISTER(TCustomLabel) {
  cls.Prop(L"Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
  cls.Prop(L"AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
  cls.Prop(L"Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
  cls.Prop(L"WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  cls.Prop(L"Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
}
VCL_REGISTER(TLabel) {}
VCL_REGISTER(TCustomEdit) {
  cls.Prop(L"Text", &TCustomEdit::Text, &TCustomEdit::SetText);
  cls.Prop(L"MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  cls.Prop(L"ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
  cls.Prop(L"PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
  cls.Prop(L"TextHint", &TCustomEdit::TextHint, &TCustomEdit::SetTextHint);
  cls.Prop(L"OnChange", &TCustomEdit::OnChange);
}
VCL_REGISTER(TEdit) {}
VCL_REGISTER(TButtonControl) {}
VCL_REGISTER(TButton) {
  cls.Prop(L"Default", &TButton::Default, &TButton::SetDefault).Default(false);
  cls.Prop(L"Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  cls.Prop(L"ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
}
VCL_REGISTER(TCheckBox) {
  cls.Prop(L"Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  cls.Prop(L"State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  cls.Prop(L"AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
}

}  // namespace vcl
