#pragma once
// The date edit bound to one date field. It shows the field's date through the date mask, starts an edit of the
// record when the user changes the date, refuses input while the field cannot be edited, and on leaving or when
// the record is posted writes the date to the field, or clears the field when no date is entered.
#include <memory>

#include "platform/db/datasource.h"
#include "skin/controls/sToolEdit.h"

class TsDBDateEdit : public TsCustomDateEdit {
  VCL_CLASS(TsDBDateEdit, TsCustomDateEdit)
  explicit TsDBDateEdit(vcl::TComponent* owner);
  ~TsDBDateEdit() override;

  db::TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(db::TDataSource* value) { FDataLink->SetDataSource(value); }
  const rtl::String& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const rtl::String& value) { FDataLink->SetFieldName(value); }
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool value) { FDataLink->SetReadOnly(value); }
  db::TField* Field() const { return FDataLink->Field(); }
  db::TFieldDataLink* DataLink() const { return FDataLink.get(); }
  // The field may be changed through this edit now (or as soon as the data source starts an edit).
  bool CanEdit() const;
  // A picked day counts as typed: it needs an edit of the record, and marks the field modified.
  void ApplyDate(rtl::TDateTime value) override;
  // Only while the field can be changed; a day picked in a calendar opened before then is refused.
  bool AcceptDate(rtl::TDateTime value) override;
  void PopupWindowShow() override;

 protected:
  void Change() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void Dispatch(vcl::TMessage& m) override;
  // Shows the field's value again and selects it.
  void ResetToField();

 private:
  void DataChange(rtl::TObject* sender);
  void EditingChange(rtl::TObject* sender);
  void UpdateData(rtl::TObject* sender);

  std::unique_ptr<db::TFieldDataLink> FDataLink;
};
