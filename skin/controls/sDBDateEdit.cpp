#include "skin/controls/sDBDateEdit.h"

#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/vcl/application.h"

TsDBDateEdit::TsDBDateEdit(vcl::TComponent* owner)
    : TsCustomDateEdit(owner), FDataLink(std::make_unique<db::TFieldDataLink>()) {
  control_style_ += vcl::csReplicatable;
  FDataLink->SetControl(this);
  FDataLink->OnDataChange.Bind(this, &TsDBDateEdit::DataChange);
  FDataLink->OnEditingChange.Bind(this, &TsDBDateEdit::EditingChange);
  FDataLink->OnUpdateData.Bind(this, &TsDBDateEdit::UpdateData);
  UpdateMask();
}

TsDBDateEdit::~TsDBDateEdit() {
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnEditingChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->SetDataSource(nullptr);
}

bool TsDBDateEdit::CanEdit() const {
  db::TDataSource* source = FDataLink->DataSource();
  if (!source || FDataLink->ReadOnly() || ComponentState().Contains(vcl::csDesigning)) return false;
  if (!FDataLink->Active() || !FDataLink->CanModify()) return false;
  return FDataLink->Editing() || source->AutoEdit();
}

void TsDBDateEdit::ApplyDate(rtl::TDateTime value) {
  if (!FDataLink->Edit()) return;
  TsCustomDateEdit::ApplyDate(value);
  FDataLink->Modified();
}

bool TsDBDateEdit::AcceptDate(rtl::TDateTime value) {
  db::TDataSet* dataSet = FDataLink->DataSource() ? FDataLink->DataSource()->DataSet() : nullptr;
  if (!dataSet || !dataSet->Active() || !dataSet->CanModify() || !CanEdit() || !FDataLink->Edit()) return false;
  ApplyDate(value);
  return true;
}

void TsDBDateEdit::PopupWindowShow() {
  if (CanEdit()) TsCustomDateEdit::PopupWindowShow();
}

void TsDBDateEdit::DataChange(rtl::TObject*) {
  db::TField* field = FDataLink->Field();
  if (GetDateMask() != EditMask()) SetEditMask(GetDateMask());
  if (field)
    SetDate(field->IsNull() ? NullDate : field->AsDateTime());
  else
    SetDate(FDefaultToday ? rtl::Date() : NullDate);
}

void TsDBDateEdit::EditingChange(rtl::TObject*) {
  if (!FDataLink->Editing() || !FDefaultToday) return;
  db::TField* field = FDataLink->Field();
  if (field && (field->IsNull() || field->AsDateTime() == NullDate)) field->SetAsDateTime(rtl::Date());
}

void TsDBDateEdit::UpdateData(rtl::TObject*) {
  db::TField* field = FDataLink->Field();
  if (!field) return;
  ValidateEdit();
  // A text that is no date is refused with the record: it must not reach the field as no date, or as the date the
  // edit showed before.
  // A handler of OnValidateError takes the message instead of an exception; the record is still refused, silently.
  if (!CheckValidDate(true) && TextStored()) rtl::Abort();
  rtl::TDateTime date = Date();
  if (date != NullDate)
    field->SetAsDateTime(date);
  else
    field->Clear();
}

void TsDBDateEdit::ResetToField() {
  FDataLink->Reset();
  SelectAll();
}

void TsDBDateEdit::Change() {
  // Text the edit writes itself while showing the field is no change of the user's.
  if (!FFormatting && !TextChanging()) FDataLink->Modified();
  FCommonData->BGChanged = true;
  TsCustomDateEdit::Change();
}

void TsDBDateEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  bool changes = key == VK_DELETE || (key == VK_INSERT && shift.Contains(vcl::ssShift)) ||
                 (GetKeyState(VK_UP) & 0x8000) || (GetKeyState(VK_DOWN) & 0x8000);
  if (changes) {
    if (CanEdit() && FDataLink->Edit()) {
      // the record is being edited: the key goes on
    } else {
      ResetToField();
      key = 0;
      return;
    }
  }
  TsCustomDateEdit::KeyDown(key, shift);
}

void TsDBDateEdit::KeyPress(wchar_t& key) {
  // The open calendar takes its own keys ("T" selects today there) before the field's key rules.
  if (DroppedDown() && (key == L'+' || key == L'-' || key == L'T' || key == L't')) {
    TsCustomDateEdit::KeyPress(key);
    return;
  }
  if (DateKey(key)) return;
  // Checked before the mask takes the key, so that a refused key never reaches the text.
  if (FDataLink->Field() && key >= 32 && key <= 255 && !(key >= L'0' && key <= L'9') &&
      key != rtl::FormatSettings.DateSeparator) {
    MessageBeep(0);
    key = 0;
    return;
  }
  switch (key) {
    case 8:
    case 22:
    case 24:
      if (!CanEdit() || !FDataLink->Edit()) {
        if (key != 8) ResetToField();
        key = 0;
        return;
      }
      break;
    case 27:
      ResetToField();
      key = 0;
      return;
    default:
      if (key >= L'0' && key <= L'9' && (!CanEdit() || !FDataLink->Edit())) {
        MessageBeep(0);
        key = 0;
        return;
      }
      break;
  }
  TsCustomComboEdit::KeyPress(key);
}

void TsDBDateEdit::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case vcl::CM_GETDATALINK:
      m.Result = reinterpret_cast<LRESULT>(FDataLink.get());
      return;
    case vcl::CM_EXIT:
      try {
        CheckValidDate(true);
        FDataLink->UpdateRecord();
      } catch (const rtl::Exception&) {
        // The text stays for the user to correct, selected and focused.
        RefuseExit();
        return;
      }
      TsCustomComboEdit::Dispatch(m);
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!CanEdit() || !FDataLink->Edit()) return;
      TsCustomDateEdit::Dispatch(m);
      return;
    default:
      TsCustomDateEdit::Dispatch(m);
  }
}

VCL_REGISTER(TsDBDateEdit) {
  cls.Prop(L"CheckOnExit", &TsDBDateEdit::CheckOnExit, &TsDBDateEdit::SetCheckOnExit).Default(false);
  cls.Prop(L"DataField", &TsDBDateEdit::DataField, &TsDBDateEdit::SetDataField);
  cls.Prop(L"DataSource", &TsDBDateEdit::DataSource, &TsDBDateEdit::SetDataSource);
  cls.Prop(L"ReadOnly", &TsDBDateEdit::ReadOnly, &TsDBDateEdit::SetReadOnly).Default(false);
}
