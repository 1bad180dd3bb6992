#include "platform/db/dbctrls.h"

#include <richedit.h>

#include "platform/db/dberrors.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/messages.h"

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

// Bound text controls.

template <class Base>
TDBTextControl<Base>::TDBTextControl(vcl::TComponent* owner) : Base(owner), link_(std::make_unique<TFieldDataLink>()) {
  link_->SetControl(this);
  link_->OnDataChange.Bind(this, &TDBTextControl::DataChange);
  link_->OnEditingChange.Bind(this, &TDBTextControl::EditingChange);
  link_->OnUpdateData.Bind(this, &TDBTextControl::UpdateData);
  link_->OnActiveChange.Bind(this, &TDBTextControl::EditingChange);
}

template <class Base>
TDBTextControl<Base>::~TDBTextControl() {
  link_->OnDataChange = nullptr;
  link_->OnEditingChange = nullptr;
  link_->OnUpdateData = nullptr;
  link_->OnActiveChange = nullptr;
  link_->SetDataSource(nullptr);
}

template <class Base>
void TDBTextControl<Base>::SetReadOnly(bool v) {
  link_->SetReadOnly(v);
  SyncReadOnly();
}

template <class Base>
void TDBTextControl<Base>::SyncReadOnly() {
  // The window refuses typing until the dataset is in edit; a key first asks the link to start an edit.
  bool ro = link_->ReadOnly() || !link_->Field() || !link_->CanModify();
  Base::SetReadOnly(ro);
}

template <class Base>
void TDBTextControl<Base>::InitializeWnd() {
  Base::InitializeWnd();
  SyncReadOnly();
}

template <class Base>
String TDBTextControl<Base>::FieldText(TField* field) {
  if (link_->Editing() || (this->HandleAllocated() && this->Focused())) return field->Text();
  return field->DisplayText();
}

template <class Base>
void TDBTextControl<Base>::DataChange(rtl::TObject*) {
  TField* f = link_->Field();
  if (f && IsTextField(f) && f->Size() > 0) this->SetMaxLength(f->Size());
  settingText_ = true;
  try {
    this->SetText(f ? FieldText(f) : String());
  } catch (...) {
    settingText_ = false;
    throw;
  }
  settingText_ = false;
  SyncReadOnly();
}

template <class Base>
void TDBTextControl<Base>::EditingChange(rtl::TObject*) {
  SyncReadOnly();
}

template <class Base>
void TDBTextControl<Base>::UpdateData(rtl::TObject*) {
  if (TField* f = link_->Field()) f->SetText(this->Text());
}

template <class Base>
void TDBTextControl<Base>::Change() {
  if (!settingText_) link_->Modified();
  Base::Change();
}

template <class Base>
void TDBTextControl<Base>::SetTextInternal(const String& value) {
  Base::SetTextInternal(value);
  // Whether or not the window reports the change (a hidden multi-line window may not), text the program puts in
  // is pending for the field.
  if (!settingText_) link_->Modified();
}

template <class Base>
void TDBTextControl<Base>::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  Base::KeyDown(key, shift);
  if (key == VK_DELETE || (key == VK_INSERT && shift.Contains(vcl::ssShift))) {
    if (!link_->Edit()) key = 0;
  }
}

template <class Base>
void TDBTextControl<Base>::KeyPress(wchar_t& key) {
  Base::KeyPress(key);
  TField* f = link_->Field();
  if (key >= 32 && f && !f->IsValidChar(key)) {
    MessageBeep(0);
    key = 0;
  }
  if (key != 0 && ChangesText(key)) {
    if (!link_->Edit()) key = 0;
  } else if (key == 27) {
    link_->Reset();
    this->SelectAll();
    key = 0;
  }
}

template <class Base>
void TDBTextControl<Base>::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK: m.Result = reinterpret_cast<LRESULT>(link_.get()); return;
    case vcl::CM_EXIT:
      Guarded(this, [&] { link_->UpdateRecord(); });
      Base::Dispatch(m);
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!link_->Edit()) return;
      Base::Dispatch(m);
      return;
    default: Base::Dispatch(m);
  }
}

template class TDBTextControl<vcl::TCustomEdit>;
template class TDBTextControl<vcl::TCustomMemo>;

// Memo.

TDBMemo::TDBMemo(vcl::TComponent* owner) : TDBTextControl<vcl::TCustomMemo>(owner) { SetScrollBars(vcl::ssVertical); }

// Rich edit.

void TDBRichEdit::CreateParams(vcl::TCreateParams& p) {
  static const wchar_t* richClass = [] {
    if (LoadLibraryW(L"msftedit.dll")) return L"RICHEDIT50W";
    if (LoadLibraryW(L"riched20.dll")) return L"RichEdit20W";
    return L"EDIT";
  }();
  TDBMemo::CreateParams(p);
  CreateSubClass(p, richClass);
}

void TDBRichEdit::InitializeWnd() {
  TDBMemo::InitializeWnd();
  // The rich edit reports changes only when asked to.
  SendMessageW(Handle(), EM_SETEVENTMASK, 0, ENM_CHANGE);
  if (MaxLength() == 0) SendMessageW(Handle(), EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
}

// Check box.

TDBCheckBox::TDBCheckBox(vcl::TComponent* owner) : vcl::TCheckBox(owner), link_(std::make_unique<TFieldDataLink>()) {
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
    case vcl::CM_GETDATALINK: m.Result = reinterpret_cast<LRESULT>(link_.get()); return;
    case vcl::CM_EXIT:
      Guarded(this, [&] { link_->UpdateRecord(); });
      vcl::TCheckBox::Dispatch(m);
      return;
    default: vcl::TCheckBox::Dispatch(m);
  }
}

// Combo box.

TDBComboBox::TDBComboBox(vcl::TComponent* owner)
    : vcl::TCustomComboBox(owner), link_(std::make_unique<TFieldDataLink>()) {
  link_->SetControl(this);
  link_->OnDataChange.Bind(this, &TDBComboBox::DataChange);
  link_->OnUpdateData.Bind(this, &TDBComboBox::UpdateData);
}

TDBComboBox::~TDBComboBox() {
  link_->OnDataChange = nullptr;
  link_->OnUpdateData = nullptr;
  link_->SetDataSource(nullptr);
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
      if (reinterpret_cast<HWND>(wParam) != self->handle_) Guarded(self, [&] { self->link_->UpdateRecord(); });
      break;
    default: break;
  }
  return CallWindowProcW(old, wnd, msg, wParam, lParam);
}

void TDBComboBox::InitializeWnd() {
  vcl::TCustomComboBox::InitializeWnd();
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
  vcl::TCustomComboBox::DestroyWnd();
}

void TDBComboBox::Change() {
  if (!settingText_) link_->Modified();
  vcl::TCustomComboBox::Change();
}

void TDBComboBox::SetTextInternal(const String& value) {
  vcl::TCustomComboBox::SetTextInternal(value);
  if (!settingText_) link_->Modified();
}

void TDBComboBox::DataChange(rtl::TObject*) {
  // While the list is open the user is choosing; the choice decides.
  if (DroppedDown()) return;
  TField* f = link_->Field();
  settingText_ = true;
  try {
    if (f && IsTextField(f) && f->Size() > 0) SetMaxLength(f->Size());
    String text = f ? f->Text() : String();
    // Showing the same text again would reset the caret and selection under the user's typing.
    if (Text() == text) {
      settingText_ = false;
      return;
    }
    int i = items_->IndexOf(text);
    if (HandleAllocated() && i >= 0 && items_->Get(i) == text)
      SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    else
      SetText(text);
  } catch (...) {
    settingText_ = false;
    throw;
  }
  settingText_ = false;
}

void TDBComboBox::UpdateData(rtl::TObject*) {
  if (TField* f = link_->Field()) f->SetText(Text());
}

void TDBComboBox::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  vcl::TCustomComboBox::KeyDown(key, shift);
  bool changesValue = key == VK_DELETE || key == VK_BACK || (key == VK_INSERT && shift.Contains(vcl::ssShift)) ||
                      ((key == VK_UP || key == VK_DOWN) && !DroppedDown() && !shift.Contains(vcl::ssAlt));
  if (changesValue && !link_->Edit()) key = 0;
}

void TDBComboBox::KeyPress(wchar_t& key) {
  vcl::TCustomComboBox::KeyPress(key);
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

void TDBComboBox::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK: m.Result = reinterpret_cast<LRESULT>(link_.get()); return;
    case vcl::CM_EXIT:
      Guarded(this, [&] { link_->UpdateRecord(); });
      vcl::TCustomComboBox::Dispatch(m);
      return;
    case WM_MOUSEWHEEL:
    case vcl::CM_MOUSEWHEEL:
      if (!DroppedDown()) {
        m.Result = 1;
        return;
      }
      vcl::TCustomComboBox::Dispatch(m);
      return;
    case vcl::CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_SELCHANGE) {
        int chosen = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
        // A choice from the list changes the value: it needs an edit of the record, or it is taken back.
        if (!link_->Edit()) {
          DataChange(this);
          return;
        }
        // Starting the edit showed the record again; the choice stands.
        SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
      }
      vcl::TCustomComboBox::Dispatch(m);
      return;
    default: vcl::TCustomComboBox::Dispatch(m);
  }
}

VCL_REGISTER(TDBEdit) {
  cls.Prop(L"DataField", &TDBEdit::DataField, &TDBEdit::SetDataField);
  cls.Prop(L"DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource);
  cls.Prop(L"ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(false);
}
VCL_REGISTER(TDBMemo) {
  cls.Prop(L"DataField", &TDBMemo::DataField, &TDBMemo::SetDataField);
  cls.Prop(L"DataSource", &TDBMemo::DataSource, &TDBMemo::SetDataSource);
  cls.Prop(L"ReadOnly", &TDBMemo::ReadOnly, &TDBMemo::SetReadOnly).Default(false);
}
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
  cls.Prop(L"ReadOnly", &TDBComboBox::ReadOnly, &TDBComboBox::SetReadOnly).Default(false);
}

}  // namespace db
