// Label, edit, memo, buttons, check box, radio button, combo box, list box and group box.
#include "platform/vcl/stdctrls.h"

#include <algorithm>

#include <commctrl.h>

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
    default: TWinControl::Dispatch(m);
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
    default: TButtonControl::Dispatch(m);
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

// Memo.

namespace {

// The memo's lines: read from and written back to the memo's text. Between BeginUpdate and EndUpdate they are
// kept apart and written once, so that loading many lines does not rewrite the window for each.
class TMemoStrings : public rtl::TStrings {
public:
  using Integer = rtl::Integer;
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  String ClassName() const override { return L"TStrings"; }
  Integer Count() const override { return static_cast<Integer>(Lines().size()); }
  String Get(Integer index) const override {
    auto lines = Lines();
    Check(index, static_cast<Integer>(lines.size()));
    return lines[static_cast<size_t>(index)];
  }
  void Put(Integer index, const String& s) override {
    auto lines = Lines();
    Check(index, static_cast<Integer>(lines.size()));
    lines[static_cast<size_t>(index)] = s;
    Store(lines);
  }
  void Insert(Integer index, const String& s) override {
    auto lines = Lines();
    Check(index, static_cast<Integer>(lines.size()) + 1);
    lines.insert(lines.begin() + index, s);
    Store(lines);
  }
  void Delete(Integer index) override {
    auto lines = Lines();
    Check(index, static_cast<Integer>(lines.size()));
    lines.erase(lines.begin() + index);
    Store(lines);
  }
  void Clear() override { Store({}); }

protected:
  void SetUpdateState(bool updating) override {
    if (updating) {
      pending_ = Split(memo_->Text());
      updating_ = true;
    } else {
      updating_ = false;
      Store(pending_);
      pending_.clear();
    }
  }

private:
  static std::vector<String> Split(const String& text) {
    std::vector<String> out;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == L'\r' || text[i] == L'\n') {
        out.push_back(text.substr(start, i - start));
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        start = i + 1;
      }
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
  }
  std::vector<String> Lines() const { return updating_ ? pending_ : Split(memo_->Text()); }
  void Store(const std::vector<String>& lines) {
    if (updating_) {
      pending_ = lines;
      return;
    }
    String text;
    for (const String& l : lines) text += l + L"\r\n";
    memo_->SetText(text);
  }
  void Check(Integer index, Integer limit) const {
    if (index < 0 || index >= limit) Error(L"List index out of bounds (%d)", index);
  }

  TCustomMemo* memo_;
  bool updating_ = false;
  std::vector<String> pending_;
};

}  // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(new TMemoStrings(this)) {
  SetBounds(left_, top_, 185, 89);
}

TCustomMemo::~TCustomMemo() { delete lines_; }

void TCustomMemo::SetLines(rtl::TStrings* v) {
  if (v) lines_->Assign(v);
}

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (want_returns_) p.Style |= ES_WANTRETURN;
  if (word_wrap_ && scroll_bars_ != ssHorizontal && scroll_bars_ != ssBoth)
    p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (scroll_bars_ == ssHorizontal || scroll_bars_ == ssBoth) p.Style |= WS_HSCROLL;
  if (scroll_bars_ == ssVertical || scroll_bars_ == ssBoth) p.Style |= WS_VSCROLL;
  p.Style &= ~static_cast<DWORD>(ES_LEFT | ES_CENTER | ES_RIGHT);
  p.Style |= alignment_ == taCenter ? ES_CENTER : alignment_ == taRightJustify ? ES_RIGHT : ES_LEFT;
}

void TCustomMemo::SetWordWrap(bool v) {
  if (word_wrap_ == v) return;
  word_wrap_ = v;
  RecreateWnd();
}
void TCustomMemo::SetScrollBars(TScrollStyle v) {
  if (scroll_bars_ == v) return;
  scroll_bars_ = v;
  RecreateWnd();
}
void TCustomMemo::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  RecreateWnd();
}

void TCustomMemo::WMGetDlgCode(TMessage& m) {
  TCustomEdit::WMGetDlgCode(m);
  // The system edit wants every key; Tab and Enter stay with the form unless the memo takes them.
  if (!want_tabs_) m.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
  if (!want_returns_) m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

// Item lists.

HWND TControlItems::Window() const { return control_->HandleAllocated() ? control_->Handle() : nullptr; }

void TControlItems::Check(Integer index) const {
  if (index < 0 || index >= Count()) Error(L"List index out of bounds (%d)", index);
}

String TControlItems::Get(Integer index) const {
  Check(index);
  return items_[static_cast<size_t>(index)].text;
}

TObject* TControlItems::GetObject(Integer index) const {
  Check(index);
  return items_[static_cast<size_t>(index)].object;
}

void TControlItems::PutObject(Integer index, TObject* object) {
  Check(index);
  items_[static_cast<size_t>(index)].object = object;
}

void TControlItems::Put(Integer index, const String& s) {
  Check(index);
  TObject* obj = items_[static_cast<size_t>(index)].object;
  HWND wnd = Window();
  // The selection survives replacing the line it is on.
  int sel =
      wnd ? static_cast<int>(SendMessageW(wnd, msg_.Insert == CB_INSERTSTRING ? CB_GETCURSEL : LB_GETCURSEL, 0, 0))
          : -1;
  Delete(index);
  if (sorted_)
    index = Add(s);
  else
    Insert(index, s);
  PutObject(index, obj);
  if (wnd && sel == index)
    SendMessageW(wnd, msg_.Insert == CB_INSERTSTRING ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
}

void TControlItems::Insert(Integer index, const String& s) {
  if (index < 0 || index > Count()) Error(L"List index out of bounds (%d)", index);
  items_.insert(items_.begin() + index, Item{s, nullptr});
  if (HWND wnd = Window())
    SendMessageW(wnd, msg_.Insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
}

rtl::Integer TControlItems::Add(const String& s) {
  Integer index = Count();
  if (sorted_) {
    auto it = std::upper_bound(items_.begin(), items_.end(), s,
                               [this](const String& a, const Item& b) { return CompareStrings(a, b.text) < 0; });
    index = static_cast<Integer>(it - items_.begin());
  }
  Insert(index, s);
  return index;
}

void TControlItems::Delete(Integer index) {
  Check(index);
  items_.erase(items_.begin() + index);
  if (HWND wnd = Window()) SendMessageW(wnd, msg_.Delete, static_cast<WPARAM>(index), 0);
}

void TControlItems::Clear() {
  items_.clear();
  if (HWND wnd = Window()) SendMessageW(wnd, msg_.Reset, 0, 0);
}

void TControlItems::SetSorted(bool v) {
  if (sorted_ == v) return;
  sorted_ = v;
  if (!v) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
  Fill();
}

void TControlItems::Fill() {
  HWND wnd = Window();
  if (!wnd) return;
  SendMessageW(wnd, msg_.Reset, 0, 0);
  for (size_t i = 0; i < items_.size(); ++i)
    SendMessageW(wnd, msg_.Insert, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(items_[i].text.c_str()));
}

// Combo box.

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(new TControlItems(this, {CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, 0})) {
  SetBounds(0, 0, 145, 21);
  tab_stop_ = true;
  parent_color_ = false;
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomComboBox::~TCustomComboBox() {
  if (handle_) DestroyHandle();
  delete items_;
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"COMBOBOX");
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
    case csSimple: p.Style |= CBS_SIMPLE; break;
    case csDropDownList: p.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case csOwnerDrawVariable: p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS; break;
    default: p.Style |= CBS_DROPDOWN; break;
  }
  // A drop-down combo's window height is the height of its open list; the system shows the closed height.
  if (style_ != csSimple) p.Height = height_ + 2 + std::max(drop_down_count_, 1) * 16;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  p.Caption.clear();
}

void TCustomComboBox::InitializeWnd() {
  String text = text_;
  TWinControl::InitializeWnd();
  items_->Fill();
  SendMessageW(handle_, CB_LIMITTEXT, static_cast<WPARAM>(max_length_), 0);
  SendMessageW(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(drop_down_count_, 1)), 0);
  if (item_index_ >= 0 && item_index_ < items_->Count())
    SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(item_index_), 0);
  else if (style_ == csDropDown || style_ == csSimple)
    SetWindowTextW(handle_, text.c_str());
  else if (int i = items_->IndexOf(text); i >= 0)
    SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void TCustomComboBox::DestroyWnd() {
  item_index_ = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
  TWinControl::DestroyWnd();
}

void TCustomComboBox::Loaded() {
  TWinControl::Loaded();
  // Text and ItemIndex come before Items in a resource: the item chosen there is shown now.
  if (!handle_ && item_index_ >= 0 && item_index_ < items_->Count()) text_ = items_->Get(item_index_);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (style_ == v) return;
  style_ = v;
  RecreateWnd();
}

void TCustomComboBox::SetItems(rtl::TStrings* v) {
  if (v) items_->Assign(v);
}

int TCustomComboBox::ItemIndex() {
  if (handle_) return static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
  return item_index_;
}

void TCustomComboBox::SetItemIndex(int v) {
  if (v < -1 || (!IsLoading() && v >= items_->Count())) v = -1;
  if (handle_) {
    // No selection to clear: clearing it would also clear the text the user sees.
    if (v == -1 && ItemIndex() == -1) return;
    SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(v), 0);
    return;
  }
  if (v == -1 && item_index_ != -1) text_.clear();
  item_index_ = v;
  if (v >= 0 && !IsLoading()) text_ = items_->Get(v);
}

void TCustomComboBox::SetTextInternal(const String& value) {
  if (style_ == csDropDown || style_ == csSimple) {
    TWinControl::SetTextInternal(value);
    if (!handle_) {
      int i = items_->IndexOf(value);
      if (!IsLoading() && (i < 0 || items_->Get(i) != value)) item_index_ = -1;
    }
    return;
  }
  // A list-only combo shows one of its items or nothing.
  int i = items_->IndexOf(value);
  if (handle_) {
    SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  } else {
    item_index_ = IsLoading() ? item_index_ : i;
    text_ = IsLoading() || i >= 0 ? value : String();
  }
}

void TCustomComboBox::SetDropDownCount(int v) {
  drop_down_count_ = v;
  if (handle_) SendMessageW(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(v, 1)), 0);
}

bool TCustomComboBox::DroppedDown() { return handle_ && SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0; }
void TCustomComboBox::SetDroppedDown(bool v) { SendMessageW(Handle(), CB_SHOWDROPDOWN, v ? 1 : 0, 0); }

void TCustomComboBox::SetMaxLength(int v) {
  max_length_ = v;
  if (handle_) SendMessageW(handle_, CB_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

String TCustomComboBox::SelText() {
  if (!handle_) return String();
  DWORD s = 0, e = 0;
  SendMessageW(handle_, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  String t = Text();
  s = std::min<DWORD>(s, static_cast<DWORD>(t.size()));
  e = std::min<DWORD>(std::max(e, s), static_cast<DWORD>(t.size()));
  return t.substr(s, e - s);
}

void TCustomComboBox::SelectAll() {
  if (handle_) SendMessageW(handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TCustomComboBox::Clear() {
  items_->Clear();
  SetText(L"");
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TCustomComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_EDITCHANGE: Change(); break;
        case CBN_SELCHANGE: {
          // The edit part shows the chosen item only after this notification; the handlers read it now.
          int i = ItemIndex();
          if (i >= 0 && style_ != csDropDownList) {
            String t = items_->Get(i);
            SetWindowTextW(handle_, t.c_str());
          }
          Click();
          Select();
          Change();
          break;
        }
        case CBN_DROPDOWN:
          if (OnDropDown) OnDropDown(this);
          break;
        case CBN_CLOSEUP:
          if (OnCloseUp) OnCloseUp(this);
          Perform(CN_DROPDOWNCLOSED);
          break;
        default: break;
      }
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToGdi(enabled_ ? font_->Color() : clGrayText));
      SetBkColor(dc, ColorToGdi(brush_->Color()));
      m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    }
    case CM_TEXTCHANGED: return;
    default: TWinControl::Dispatch(m);
  }
}

// List box.

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(new TControlItems(this, {LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, 0})) {
  SetBounds(0, 0, 121, 97);
  tab_stop_ = true;
  parent_color_ = false;
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomListBox::~TCustomListBox() {
  if (handle_) DestroyHandle();
  delete items_;
}

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"LISTBOX");
  p.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  if (multi_select_) p.Style |= LBS_EXTENDEDSEL;
  p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::InitializeWnd() {
  TWinControl::InitializeWnd();
  items_->Fill();
  if (item_index_ >= 0 && item_index_ < items_->Count()) SetItemIndex(item_index_);
}

void TCustomListBox::DestroyWnd() {
  item_index_ = ItemIndex();
  TWinControl::DestroyWnd();
}

void TCustomListBox::Loaded() { TWinControl::Loaded(); }

void TCustomListBox::SetItems(rtl::TStrings* v) {
  if (v) items_->Assign(v);
}

int TCustomListBox::ItemIndex() {
  if (!handle_) return item_index_;
  if (multi_select_) return static_cast<int>(SendMessageW(handle_, LB_GETCARETINDEX, 0, 0));
  return static_cast<int>(SendMessageW(handle_, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int v) {
  if (!handle_) {
    item_index_ = v;
    return;
  }
  if (multi_select_) {
    SendMessageW(handle_, LB_SETSEL, 0, -1);
    if (v >= 0) SendMessageW(handle_, LB_SETSEL, 1, v);
    SendMessageW(handle_, LB_SETCARETINDEX, static_cast<WPARAM>(v), 0);
  } else {
    SendMessageW(handle_, LB_SETCURSEL, static_cast<WPARAM>(v), 0);
  }
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (multi_select_ == v) return;
  multi_select_ = v;
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
  if (index < 0 || index >= items_->Count()) throw rtl::EListError(L"List index out of bounds");
  if (!handle_) return index == item_index_;
  if (!multi_select_) return ItemIndex() == index;
  return SendMessageW(handle_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool v) {
  if (index < 0 || index >= items_->Count()) throw rtl::EListError(L"List index out of bounds");
  if (!multi_select_ || !handle_) {
    if (v)
      SetItemIndex(index);
    else if (ItemIndex() == index)
      SetItemIndex(-1);
    return;
  }
  SendMessageW(handle_, LB_SETSEL, v ? 1 : 0, index);
}

int TCustomListBox::SelCount() {
  if (!handle_ || !multi_select_) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(SendMessageW(handle_, LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
      if (HIWORD(m.WParam) == LBN_DBLCLK) DblClick();
      return;
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToGdi(font_->Color()));
      SetBkColor(dc, ColorToGdi(brush_->Color()));
      m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    }
    default: TWinControl::Dispatch(m);
  }
}

// Radio button.

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  CreateSubClass(p, L"BUTTON");
  p.Style |= BS_RADIOBUTTON;
}

void TRadioButton::InitializeWnd() {
  TButtonControl::InitializeWnd();
  SendMessageW(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  tab_stop_ = v;
  if (handle_) SendMessageW(handle_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!v) return;
  if (parent_ && !IsLoading()) {
    for (int i = 0; i < parent_->ControlCount(); ++i) {
      auto* other = dynamic_cast<TRadioButton*>(parent_->Controls(i));
      if (other && other != this) other->SetChecked(false);
    }
  }
  if (!IsLoading()) Click();
}

void TRadioButton::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if ((HIWORD(m.WParam) == BN_CLICKED || HIWORD(m.WParam) == BN_DOUBLECLICKED) && enabled_) SetChecked(true);
    return;
  }
  TButtonControl::Dispatch(m);
}

// Group box.

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  control_style_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,     csSetCaption,
                                 csDoubleClicks,    csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  rect.Top += CaptionHeight();
  rect.Left += 2;
  rect.Right -= 2;
  rect.Bottom -= 2;
  if (rect.Right < rect.Left) rect.Right = rect.Left;
  if (rect.Bottom < rect.Top) rect.Bottom = rect.Top;
}

void TCustomGroupBox::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  HDC dc = c->Handle();
  int h = CaptionHeight();
  RECT frame{0, h / 2, r.Width(), r.Height()};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  String caption = text_;
  if (caption.empty()) return;
  SelectObject(dc, font_->Handle());
  RECT tr{8, 0, 8, h};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, DT_SINGLELINE | DT_CALCRECT);
  tr.right += 2;
  tr.left -= 2;
  ::FillRect(dc, &tr, brush_->Handle());
  OffsetRect(&tr, 2, 0);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGdi(enabled_ ? font_->Color() : clGrayText));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, DT_SINGLELINE);
}

void TCustomGroupBox::CMTextChanged(TMessage&) {
  Invalidate();
  Realign();
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
  // An edit's caption is its text, stored once as Text.
  cls.Prop(L"Caption", &TCustomEdit::Caption, &TCustomEdit::SetCaption).Stored(false);
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
VCL_REGISTER(TCustomMemo) {
  // A memo stores its Lines; its text is the same content.
  cls.Prop(L"Text", &TCustomMemo::Text, &TCustomMemo::SetText).Stored(false);
  cls.Prop(L"Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  cls.Prop(L"WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
  cls.Prop(L"ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
  cls.Prop(L"WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
  cls.Prop(L"WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
  cls.Prop(L"Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
}
VCL_REGISTER(TMemo) {}
VCL_REGISTER(TCustomComboBox) {
  cls.Prop(L"Caption", &TCustomComboBox::Caption, &TCustomComboBox::SetCaption).Stored(false);
  cls.Prop(L"Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
  cls.Prop(L"DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
  cls.Prop(L"ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
  cls.Prop(L"MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
  cls.Prop(L"Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
  cls.Prop(L"Text", &TCustomComboBox::Text, &TCustomComboBox::SetText);
  cls.Prop(L"Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  cls.Prop(L"OnChange", &TCustomComboBox::OnChange);
  cls.Prop(L"OnSelect", &TCustomComboBox::OnSelect);
  cls.Prop(L"OnDropDown", &TCustomComboBox::OnDropDown);
  cls.Prop(L"OnCloseUp", &TCustomComboBox::OnCloseUp);
}
VCL_REGISTER(TComboBox) {}
VCL_REGISTER(TCustomListBox) {
  cls.Prop(L"Caption", &TCustomListBox::Caption, &TCustomListBox::SetCaption).Stored(false);
  cls.Prop(L"ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex).Default(-1);
  cls.Prop(L"MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
  cls.Prop(L"Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
  cls.Prop(L"Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
}
VCL_REGISTER(TListBox) {}
VCL_REGISTER(TRadioButton) { cls.Prop(L"Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false); }
VCL_REGISTER(TCustomGroupBox) {}
VCL_REGISTER(TGroupBox) {}
VCL_REGISTER(TCheckBox) {
  cls.Prop(L"Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  cls.Prop(L"State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  cls.Prop(L"AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
}

}  // namespace vcl
