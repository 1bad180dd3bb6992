#include "skin/controls/sDBCheckBox.h"

#include "platform/db/fields.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "skin/core/sCommonData.h"

namespace {

// The items of a value list, each without the blanks around it.
std::vector<rtl::String> ValueItems(const rtl::String& valueList) {
  std::vector<rtl::String> items;
  if (valueList.empty()) return items;
  for (const rtl::String& item : rtl::SplitString(valueList, L";")) items.push_back(rtl::Trim(item));
  return items;
}

}  // namespace

TsDBCheckBox::TsDBCheckBox(vcl::TComponent* owner)
    : TsCheckBox(owner), FDataLink(std::make_unique<db::TFieldDataLink>()) {
  control_style_ += vcl::csReplicatable;
  FDataLink->SetControl(this);
  FDataLink->OnDataChange.Bind(this, &TsDBCheckBox::DataChange);
  FDataLink->OnUpdateData.Bind(this, &TsDBCheckBox::UpdateData);
}

TsDBCheckBox::~TsDBCheckBox() {
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->SetDataSource(nullptr);
}

bool TsDBCheckBox::ValueMatch(const rtl::String& valueList, const rtl::String& value) {
  for (const rtl::String& item : ValueItems(valueList))
    if (rtl::AnsiCompareText(item, value) == 0) return true;
  return false;
}

rtl::String TsDBCheckBox::FirstValue(const rtl::String& valueList) {
  auto items = ValueItems(valueList);
  return items.empty() ? rtl::String() : items.front();
}

void TsDBCheckBox::SetValueChecked(const rtl::String& value) {
  FValueCheck = value;
  DataChange(this);
}

void TsDBCheckBox::SetValueUnchecked(const rtl::String& value) {
  FValueUncheck = value;
  DataChange(this);
}

vcl::TCheckBoxState TsDBCheckBox::GetFieldState() const {
  db::TField* field = FDataLink->Field();
  if (!field) return vcl::cbUnchecked;
  if (field->IsNull()) return FNullValue;
  if (field->DataType() == db::ftBoolean) return field->AsBoolean() ? vcl::cbChecked : vcl::cbUnchecked;
  rtl::String text = field->Text();
  // The checked list is tried first: a text in both lists counts as checked.
  if (ValueMatch(FValueCheck, text)) return vcl::cbChecked;
  if (ValueMatch(FValueUncheck, text)) return vcl::cbUnchecked;
  return vcl::cbGrayed;
}

void TsDBCheckBox::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TsCheckBox::Notification(component, operation);
  if (operation == vcl::opRemove && FDataLink && component == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TsDBCheckBox::WndProc(vcl::TMessage& m) {
  // A copy for a replicating container shows the record's value, not the control's own state.
  if (m.Msg == WM_PAINT && ControlState().Contains(vcl::csPaintCopy) &&
      !ComponentState().Contains(vcl::csDesigning) && FCommonData->Skinned(true)) {
    FCommonData->CtrlSkinState |= LVCS_PRINTING;
    PaintState = static_cast<int>(GetFieldState());
    FCommonData->BGChanged = true;
    PaintHandler(m);
    PaintState = -1;
    FCommonData->CtrlSkinState &= static_cast<unsigned short>(~LVCS_PRINTING);
    FCommonData->BGChanged = true;
    return;
  }
  TsCheckBox::WndProc(m);
}

void TsDBCheckBox::DataChange(rtl::TObject*) { SetState(GetFieldState()); }

void TsDBCheckBox::UpdateData(rtl::TObject*) {
  db::TField* field = FDataLink->Field();
  if (!field) return;
  if (State() == vcl::cbGrayed)
    field->Clear();
  else if (field->DataType() == db::ftBoolean)
    field->SetAsBoolean(Checked());
  else
    field->SetText(FirstValue(Checked() ? FValueCheck : FValueUncheck));
}

void TsDBCheckBox::Toggle() {
  if (FReadOnly) return;
  // Without a record that can be edited the click changes nothing.
  if (FDataLink->Edit()) {
    vcl::TCheckBox::Toggle();
    FDataLink->Modified();
  }
}

void TsDBCheckBox::KeyPress(wchar_t& key) {
  TsCheckBox::KeyPress(key);
  switch (key) {
    case 8:
    case L' ':
      FDataLink->Edit();
      break;
    case 27:
      FDataLink->Reset();
      key = 0;
      break;
    default:
      break;
  }
}

void TsDBCheckBox::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK:
      m.Result = reinterpret_cast<LRESULT>(FDataLink.get());
      return;
    case vcl::CM_EXIT:
      try {
        FDataLink->UpdateRecord();
      } catch (const rtl::Exception&) {
        // The value could not be written: the box keeps the focus and the user sees why.
        if (CanFocus()) SetFocus();
        if (vcl::Application) vcl::Application->HandleException(this);
        return;
      }
      TsCheckBox::Dispatch(m);
      return;
    default:
      TsCheckBox::Dispatch(m);
  }
}

VCL_REGISTER(TsDBCheckBox) {
  cls.Prop(L"DataField", &TsDBCheckBox::DataField, &TsDBCheckBox::SetDataField);
  cls.Prop(L"DataSource", &TsDBCheckBox::DataSource, &TsDBCheckBox::SetDataSource);
  cls.Prop(L"NullValue", &TsDBCheckBox::NullValue, &TsDBCheckBox::SetNullValue).Default(vcl::cbGrayed);
  cls.Prop(L"ValueChecked", &TsDBCheckBox::ValueChecked, &TsDBCheckBox::SetValueChecked);
  cls.Prop(L"ValueUnchecked", &TsDBCheckBox::ValueUnchecked, &TsDBCheckBox::SetValueUnchecked);
}
