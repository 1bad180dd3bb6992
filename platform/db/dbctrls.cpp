#include "platform/db/dbctrls.h"

#include "platform/db/dberrors.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/messages.h"

#include <richedit.h>

namespace db {

namespace {

bool IsTextField(const TField* f) {
  return f && (f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar ||
               f->DataType() == ftFixedWideChar);
}

// A failure while leaving a control is shown, not thrown through the window procedure.
template <class F>
void Guarded(vcl::TComponent* sender, F f) {
  try {
    f();
  } catch (const rtl::Exception&) {
    if (vcl::Application) vcl::Application->HandleException(sender);
  }
}

}  // namespace

// Edit.

TDBEdit::TDBEdit(vcl::TComponent* owner) : vcl::TCustomEdit(owner), link_(std::make_unique<TFieldDataLink>()) {
  link_->SetControl(this);
  link_->OnDataChange.Bind(this, &TDBEdit::DataChange);
  link_->OnEditingChange.Bind(this, &TDBEdit::EditingChange);
  link_->OnUpdateData.Bind(this, &TDBEdit::UpdateData);
  link_->OnActiveChange.Bind(this, &TDBEdit::EditingChange);
}

TDBEdit::~TDBEdit() {
  link_->OnDataChange = nullptr;
  link_->OnEditingChange = nullptr;
  link_->OnUpdateData = nullptr;
  link_->OnActiveChange = nullptr;
  link_->SetDataSource(nullptr);
}

void TDBEdit::SetReadOnly(bool v) {
  link_->SetReadOnly(v);
  SyncReadOnly();
}

void TDBEdit::SyncReadOnly() {
  // The window refuses typing until the dataset is in edit; a key first asks the link to start an edit.
  bool ro = link_->ReadOnly() || !link_->Field() || !link_->CanModify();
  vcl::TCustomEdit::SetReadOnly(ro);
}

void TDBEdit::InitializeWnd() {
  vcl::TCustomEdit::InitializeWnd();
  SyncReadOnly();
}

String TDBEdit::FieldText(TField* field) {
  if (link_->Editing() || (HandleAllocated() && Focused())) return field->Text();
  return field->DisplayText();
}

void TDBEdit::DataChange(rtl::TObject*) {
  TField* f = link_->Field();
  if (f && IsTextField(f) && f->Size() > 0) SetMaxLength(f->Size());
  settingText_ = true;
  try {
    SetText(f ? FieldText(f) : String());
  } catch (...) {
    settingText_ = false;
    throw;
  }
  settingText_ = false;
  SyncReadOnly();
}

void TDBEdit::EditingChange(rtl::TObject*) { SyncReadOnly(); }

void TDBEdit::UpdateData(rtl::TObject*) {
  if (TField* f = link_->Field()) f->SetText(Text());
}

void TDBEdit::Change() {
  if (!settingText_) link_->Modified();
  vcl::TCustomEdit::Change();
}

void TDBEdit::SetTextInternal(const String& value) {
  vcl::TCustomEdit::SetTextInternal(value);
  // Whether or not the window reports the change (a hidden multi-line window may not), text the program puts in
  // is pending for the field.
  if (!settingText_) link_->Modified();
}

void TDBEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  vcl::TCustomEdit::KeyDown(key, shift);
  if (key == VK_DELETE || (key == VK_INSERT && shift.Contains(vcl::ssShift))) {
    if (!link_->Edit()) key = 0;
  }
}

void TDBEdit::KeyPress(wchar_t& key) {
  vcl::TCustomEdit::KeyPress(key);
  TField* f = link_->Field();
  if (key >= 32 && f && !f->IsValidChar(key)) {
    MessageBeep(0);
    key = 0;
  }
  if (key == 8 || key == 22 || key == 24 || key >= 32) {
    if (!link_->Edit()) key = 0;
  } else if (key == 27) {
    link_->Reset();
    SelectAll();
    key = 0;
  }
}

void TDBEdit::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK:
      m.Result = reinterpret_cast<LRESULT>(link_.get());
      return;
    case vcl::CM_EXIT:
      Guarded(this, [&] { link_->UpdateRecord(); });
      vcl::TCustomEdit::Dispatch(m);
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!link_->Edit()) return;
      vcl::TCustomEdit::Dispatch(m);
      return;
    default:
      vcl::TCustomEdit::Dispatch(m);
  }
}

// Memo.

TDBMemo::TDBMemo(vcl::TComponent* owner) : TDBEdit(owner) { SetBounds(0, 0, 185, 89); }

void TDBMemo::CreateParams(vcl::TCreateParams& p) {
  TDBEdit::CreateParams(p);
  p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
}

void TDBMemo::KeyPress(wchar_t& key) {
  vcl::TCustomEdit::KeyPress(key);
  TField* f = link_->Field();
  if (key >= 32 && f && !f->IsValidChar(key)) {
    MessageBeep(0);
    key = 0;
  }
  if (key == 8 || key == 9 || key == 10 || key == 13 || key == 22 || key == 24 || key >= 32) {
    if (!link_->Edit()) key = 0;
  } else if (key == 27) {
    link_->Reset();
    key = 0;
  }
}

// Rich edit.

void TDBRichEdit::CreateParams(vcl::TCreateParams& p) {
  static const wchar_t* richClass = [] {
    if (LoadLibraryW(L"msftedit.dll")) return L"RICHEDIT50W";
    if (LoadLibraryW(L"riched20.dll")) return L"RichEdit20W";
    return L"EDIT";
  }();
  TDBMemo::CreateParams(p);
  vcl::TWinControl::CreateSubClass(p, richClass);
}

void TDBRichEdit::InitializeWnd() {
  TDBMemo::InitializeWnd();
  // The rich edit reports changes only when asked to.
  SendMessageW(Handle(), EM_SETEVENTMASK, 0, ENM_CHANGE);
  if (MaxLength() == 0) SendMessageW(Handle(), EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
}

// Check box.

TDBCheckBox::TDBCheckBox(vcl::TComponent* owner)
    : vcl::TCheckBox(owner), link_(std::make_unique<TFieldDataLink>()) {
  control_style_ += vcl::csReplicatable;
  link_->SetControl(this);
  link_->OnDataChange.Bind(this, &TDBCheckBox::DataChange);
  link_->OnUpdateData.Bind(this, &TDBCheckBox::UpdateData);
}

TDBCheckBox::~TDBCheckBox() {
  link_->OnDataChange = nullptr;
  link_->OnUpdateData = nullptr;
  link_->SetDataSource(nullptr);
}

void TDBCheckBox::SetValueChecked(const String& v) {
  valueChecked_ = v;
  DataChange(this);
}

void TDBCheckBox::SetValueUnchecked(const String& v) {
  valueUnchecked_ = v;
  DataChange(this);
}

namespace {
bool ValueMatch(const String& values, const String& value) {
  for (const String& v : rtl::SplitString(values, L";"))
    if (rtl::AnsiCompareText(v, value) == 0) return true;
  return false;
}
String FirstValue(const String& values) {
  auto parts = rtl::SplitString(values, L";");
  return parts.empty() ? String() : parts[0];
}
}  // namespace

vcl::TCheckBoxState TDBCheckBox::FieldState() const {
  TField* f = link_->Field();
  if (!f) return vcl::cbUnchecked;
  if (f->IsNull()) return nullValue_;
  if (f->DataType() == ftBoolean) return f->AsBoolean() ? vcl::cbChecked : vcl::cbUnchecked;
  String text = f->Text();
  if (ValueMatch(valueChecked_, text)) return vcl::cbChecked;
  if (ValueMatch(valueUnchecked_, text)) return vcl::cbUnchecked;
  return vcl::cbGrayed;
}

void TDBCheckBox::DataChange(rtl::TObject*) {
  settingState_ = true;
  SetState(FieldState());
  settingState_ = false;
}

void TDBCheckBox::UpdateData(rtl::TObject*) {
  TField* f = link_->Field();
  if (!f) return;
  if (State() == vcl::cbGrayed)
    f->Clear();
  else if (f->DataType() == ftBoolean)
    f->SetAsBoolean(Checked());
  else
    f->SetText(FirstValue(Checked() ? valueChecked_ : valueUnchecked_));
}

void TDBCheckBox::Toggle() {
  if (link_->Edit()) {
    vcl::TCheckBox::Toggle();
    link_->Modified();
  }
}

void TDBCheckBox::KeyPress(wchar_t& key) {
  vcl::TCheckBox::KeyPress(key);
  if (key == 27) {
    link_->Reset();
    key = 0;
  }
}

void TDBCheckBox::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK:
      m.Result = reinterpret_cast<LRESULT>(link_.get());
      return;
    case vcl::CM_EXIT:
      Guarded(this, [&] { link_->UpdateRecord(); });
      vcl::TCheckBox::Dispatch(m);
      return;
    default:
      vcl::TCheckBox::Dispatch(m);
  }
}

// Combo box.

TDBComboBox::TDBComboBox(vcl::TComponent* owner)
    : vcl::TWinControl(owner), link_(std::make_unique<TFieldDataLink>()), items_(std::make_unique<rtl::TStringList>()) {
  SetBounds(0, 0, 145, 21);
  tab_stop_ = true;
  parent_color_ = false;
  color_ = vcl::clWindow;
  brush_->SetColor(color_);
  link_->SetControl(this);
  link_->OnDataChange.Bind(this, &TDBComboBox::DataChange);
  link_->OnEditingChange.Bind(this, &TDBComboBox::EditingChange);
  link_->OnUpdateData.Bind(this, &TDBComboBox::UpdateData);
  items_->OnChange = [this](rtl::TObject*) {
    if (HandleAllocated()) LoadItems();
  };
}

TDBComboBox::~TDBComboBox() {
  items_->OnChange = nullptr;
  link_->OnDataChange = nullptr;
  link_->OnEditingChange = nullptr;
  link_->OnUpdateData = nullptr;
  link_->SetDataSource(nullptr);
}

void TDBComboBox::SetStyle(TComboBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  if (HandleAllocated()) RecreateWnd();
}

void TDBComboBox::CreateParams(vcl::TCreateParams& p) {
  vcl::TWinControl::CreateParams(p);
  CreateSubClass(p, L"COMBOBOX");
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
  p.Style |= style_ == csDropDownList ? CBS_DROPDOWNLIST : (style_ == csSimple ? CBS_SIMPLE : CBS_DROPDOWN);
  // The window's height includes the list when it drops down.
  p.Height = Height() + std::max(1, dropDownCount_) * 16 + 2;
}

LRESULT CALLBACK TDBComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TDBComboBox*>(GetPropW(wnd, L"TavrelDBCombo"));
  if (!self) return DefWindowProcW(wnd, msg, wParam, lParam);
  WNDPROC old = self->editProc_;
  switch (msg) {
    case WM_CHAR: {
      wchar_t ch = static_cast<wchar_t>(wParam);
      self->KeyPress(ch);
      if (ch == 0) return 0;
      wParam = ch;
      break;
    }
    case WM_KEYDOWN: {
      rtl::Word key = static_cast<rtl::Word>(wParam);
      self->KeyDown(key, vcl::KeyDataToShiftState(lParam));
      if (key == 0) return 0;
      break;
    }
    case WM_MOUSEWHEEL:
      // The wheel over a closed list would silently pick another value and edit the record.
      if (!self->DroppedDown()) return 0;
      break;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!self->link_->Edit()) return 0;
      break;
    case WM_KILLFOCUS:
      // The edit part loses the focus to something outside the combo: the combo is left.
      if (reinterpret_cast<HWND>(wParam) != self->handle_) self->Perform(vcl::CM_EXIT);
      break;
    default:
      break;
  }
  return CallWindowProcW(old, wnd, msg, wParam, lParam);
}

void TDBComboBox::InitializeWnd() {
  vcl::TWinControl::InitializeWnd();
  LoadItems();
  edit_ = FindWindowExW(handle_, nullptr, L"Edit", nullptr);
  if (edit_) {
    SetPropW(edit_, L"TavrelDBCombo", reinterpret_cast<HANDLE>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TDBComboBox::EditProc)));
  }
  DataChange(this);
}

void TDBComboBox::DestroyWnd() {
  if (edit_ && IsWindow(edit_)) {
    SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
    RemovePropW(edit_, L"TavrelDBCombo");
  }
  edit_ = nullptr;
  editProc_ = nullptr;
  vcl::TWinControl::DestroyWnd();
}

void TDBComboBox::LoadItems() {
  String text = GetText();
  settingText_ = true;
  SendMessageW(handle_, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_->Count(); ++i)
    SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_->Get(i).c_str()));
  if (style_ != csDropDownList) SetWindowTextW(handle_, text.c_str());
  settingText_ = false;
}

int TDBComboBox::ItemIndex() {
  if (!HandleAllocated()) return items_->IndexOf(text_);
  return static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
}

void TDBComboBox::SetItemIndex(int index) {
  if (HandleAllocated()) {
    SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Change();
  } else if (index >= 0 && index < items_->Count()) {
    SetText(items_->Get(index));
  }
}

bool TDBComboBox::DroppedDown() { return HandleAllocated() && SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

String TDBComboBox::GetText() {
  // While a selection is being made the window text still holds the old value.
  if (hasPendingSelection_) return pendingSelection_;
  return vcl::TWinControl::GetText();
}

void TDBComboBox::Change() {
  if (!settingText_) link_->Modified();
  if (OnChange) OnChange(this);
}

void TDBComboBox::DataChange(rtl::TObject*) {
  TField* f = link_->Field();
  String text = f ? f->Text() : String();
  settingText_ = true;
  try {
    if (HandleAllocated()) {
      int i = items_->IndexOf(text);
      SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      if (style_ != csDropDownList) SetWindowTextW(handle_, text.c_str());
      if (f && IsTextField(f) && f->Size() > 0) SendMessageW(handle_, CB_LIMITTEXT, static_cast<WPARAM>(f->Size()), 0);
    } else {
      text_ = text;
    }
  } catch (...) {
    settingText_ = false;
    throw;
  }
  settingText_ = false;
}

void TDBComboBox::EditingChange(rtl::TObject*) {}

void TDBComboBox::UpdateData(rtl::TObject*) {
  if (TField* f = link_->Field()) f->SetText(GetText());
}

void TDBComboBox::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  vcl::TWinControl::KeyDown(key, shift);
  bool changesValue = key == VK_DELETE || key == VK_BACK || (key == VK_INSERT && shift.Contains(vcl::ssShift)) ||
                      ((key == VK_UP || key == VK_DOWN) && !DroppedDown() && !shift.Contains(vcl::ssAlt));
  if (changesValue && !link_->Edit()) key = 0;
}

void TDBComboBox::KeyPress(wchar_t& key) {
  vcl::TWinControl::KeyPress(key);
  TField* f = link_->Field();
  if (key >= 32 && f && !f->IsValidChar(key)) {
    MessageBeep(0);
    key = 0;
  }
  if (key == 8 || key == 22 || key == 24 || key >= 32) {
    if (!link_->Edit()) key = 0;
  } else if (key == 27) {
    link_->Reset();
    key = 0;
  }
}

void TDBComboBox::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK:
      m.Result = reinterpret_cast<LRESULT>(link_.get());
      return;
    case vcl::CM_EXIT:
      Guarded(this, [&] { link_->UpdateRecord(); });
      vcl::TWinControl::Dispatch(m);
      return;
    case WM_MOUSEWHEEL:
    case vcl::CM_MOUSEWHEEL:
      if (!DroppedDown()) {
        m.Result = 1;
        return;
      }
      vcl::TWinControl::Dispatch(m);
      return;
    case vcl::CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_EDITCHANGE:
          if (!settingText_) Change();
          return;
        case CBN_SELCHANGE: {
          int i = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
          if (i < 0 || settingText_) return;
          // A choice from the list changes the value: it needs an edit, or it is taken back.
          if (!link_->Edit()) {
            DataChange(this);
            return;
          }
          pendingSelection_ = items_->Get(i);
          hasPendingSelection_ = true;
          Change();
          hasPendingSelection_ = false;
          if (style_ != csDropDownList) SetWindowTextW(handle_, pendingSelection_.c_str());
          return;
        }
        default:
          return;
      }
    case vcl::CN_CTLCOLOREDIT:
    case vcl::CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, vcl::ColorToGdi(font_->Color()));
      SetBkColor(dc, vcl::ColorToGdi(brush_->Color()));
      m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    }
    default:
      vcl::TWinControl::Dispatch(m);
  }
}

VCL_REGISTER(TDBEdit) {
  cls.Prop(L"DataField", &TDBEdit::DataField, &TDBEdit::SetDataField);
  cls.Prop(L"DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource);
  cls.Prop(L"ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(false);
}
VCL_REGISTER(TDBMemo) {}
VCL_REGISTER(TDBRichEdit) {}
VCL_REGISTER(TDBCheckBox) {
  cls.Prop(L"DataField", &TDBCheckBox::DataField, &TDBCheckBox::SetDataField);
  cls.Prop(L"DataSource", &TDBCheckBox::DataSource, &TDBCheckBox::SetDataSource);
  cls.Prop(L"ReadOnly", &TDBCheckBox::ReadOnly, &TDBCheckBox::SetReadOnly).Default(false);
  cls.Prop(L"NullValue", &TDBCheckBox::NullValue, &TDBCheckBox::SetNullValue).Default(vcl::cbGrayed);
  cls.Prop(L"ValueChecked", &TDBCheckBox::ValueChecked, &TDBCheckBox::SetValueChecked);
  cls.Prop(L"ValueUnchecked", &TDBCheckBox::ValueUnchecked, &TDBCheckBox::SetValueUnchecked);
}
VCL_REGISTER(TDBComboBox) {
  cls.Prop(L"DataField", &TDBComboBox::DataField, &TDBComboBox::SetDataField);
  cls.Prop(L"DataSource", &TDBComboBox::DataSource, &TDBComboBox::SetDataSource);
  cls.Prop(L"DropDownCount", &TDBComboBox::DropDownCount, &TDBComboBox::SetDropDownCount).Default(8);
  cls.Prop(L"Items", &TDBComboBox::Items, &TDBComboBox::SetItems);
  cls.Prop(L"ReadOnly", &TDBComboBox::ReadOnly, &TDBComboBox::SetReadOnly).Default(false);
  cls.Prop(L"Style", &TDBComboBox::Style, &TDBComboBox::SetStyle).Default(csDropDown);
  cls.Prop(L"OnChange", &TDBComboBox::OnChange);
}

}  // namespace db
