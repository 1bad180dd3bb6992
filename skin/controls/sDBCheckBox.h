#pragma once
// The skinned check box bound to one field. A Boolean field is shown and written as the Boolean itself; any other
// field's text is compared, ignoring case, with the ';'-separated lists ValueChecked and ValueUnchecked, and the
// first item of the matching list is written back. A null field shows NullValue (grey by default), and the grey
// state clears the field.
#include <memory>

#include "platform/db/datasource.h"
#include "skin/controls/sCheckBox.h"

class TsDBCheckBox : public TsCheckBox {
  VCL_CLASS(TsDBCheckBox, TsCheckBox)
  explicit TsDBCheckBox(vcl::TComponent* owner);
  ~TsDBCheckBox() override;
  void WndProc(vcl::TMessage& message) override;

  db::TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(db::TDataSource* value) { FDataLink->SetDataSource(value); }
  const rtl::String& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const rtl::String& value) { FDataLink->SetFieldName(value); }
  db::TField* Field() const { return FDataLink->Field(); }
  const rtl::String& ValueChecked() const { return FValueCheck; }
  void SetValueChecked(const rtl::String& value);
  const rtl::String& ValueUnchecked() const { return FValueUncheck; }
  void SetValueUnchecked(const rtl::String& value);
  vcl::TCheckBoxState NullValue() const { return FNullValue; }
  void SetNullValue(vcl::TCheckBoxState value) { FNullValue = value; }
  db::TFieldDataLink* DataLink() const { return FDataLink.get(); }

  // True when value equals one item of the ';'-separated list, ignoring case; an empty list matches nothing.
  static bool ValueMatch(const rtl::String& valueList, const rtl::String& value);
  // The first item of a ';'-separated list.
  static rtl::String FirstValue(const rtl::String& valueList);

 protected:
  void Toggle() override;
  void KeyPress(wchar_t& key) override;
  void Dispatch(vcl::TMessage& m) override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 public:
  // The state the current field value means.
  vcl::TCheckBoxState GetFieldState() const;

 private:
  void DataChange(rtl::TObject* sender);
  void UpdateData(rtl::TObject* sender);

  std::unique_ptr<db::TFieldDataLink> FDataLink;
  rtl::String FValueCheck = L"True";
  rtl::String FValueUncheck = L"False";
  vcl::TCheckBoxState FNullValue = vcl::cbGrayed;
};
