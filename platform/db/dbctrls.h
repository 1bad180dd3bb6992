#pragma once
// Data-aware controls: each shows one field of its data source's current record and edits it.
//
// Typing starts an edit of the dataset (through the data source's AutoEdit); what the control holds reaches the
// field when the record is posted or the control is left (UpdateRecord); Escape throws the typing away. Text the
// program puts into the control while the record is being edited counts as typed.
#include <memory>

#include "platform/db/datasource.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/stdctrls.h"

namespace db {

class TDBEdit : public vcl::TCustomEdit {
  VCL_CLASS(TDBEdit, vcl::TCustomEdit)
  explicit TDBEdit(vcl::TComponent* owner);
  ~TDBEdit() override;

  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
  const String& DataField() const { return link_->FieldName(); }
  void SetDataField(const String& name) { link_->SetFieldName(name); }
  TField* Field() const { return link_->Field(); }
  bool ReadOnly() const { return link_->ReadOnly(); }
  void SetReadOnly(bool v);
  TFieldDataLink* DataLink() const { return link_.get(); }

protected:
  void InitializeWnd() override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void Change() override;
  void SetTextInternal(const String& value) override;
  void Dispatch(vcl::TMessage& m) override;
  // The text of the field as the control shows it (the editing text while editing or focused).
  virtual String FieldText(TField* field);
  void SyncReadOnly();

  std::unique_ptr<TFieldDataLink> link_;
  bool settingText_ = false;

private:
  void DataChange(rtl::TObject*);
  void EditingChange(rtl::TObject*);
  void UpdateData(rtl::TObject*);
};

// Several lines; Enter starts a new line.
class TDBMemo : public TDBEdit {
  VCL_CLASS(TDBMemo, TDBEdit)
  explicit TDBMemo(vcl::TComponent* owner);

protected:
  void CreateParams(vcl::TCreateParams& p) override;
  bool MultiLine() const override { return true; }
  void KeyPress(wchar_t& key) override;
  String FieldText(TField* field) override { return field->AsString(); }
};

// A memo over the system's rich edit window (plain text in and out).
class TDBRichEdit : public TDBMemo {
  VCL_CLASS(TDBRichEdit, TDBMemo)
  explicit TDBRichEdit(vcl::TComponent* owner) : TDBMemo(owner) {}

protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void InitializeWnd() override;
};

class TDBCheckBox : public vcl::TCheckBox {
  VCL_CLASS(TDBCheckBox, vcl::TCheckBox)
  explicit TDBCheckBox(vcl::TComponent* owner);
  ~TDBCheckBox() override;

  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
  const String& DataField() const { return link_->FieldName(); }
  void SetDataField(const String& name) { link_->SetFieldName(name); }
  TField* Field() const { return link_->Field(); }
  bool ReadOnly() const { return link_->ReadOnly(); }
  void SetReadOnly(bool v) { link_->SetReadOnly(v); }
  // The texts (';'-separated alternatives) that mean checked and unchecked for a text field.
  const String& ValueChecked() const { return valueChecked_; }
  void SetValueChecked(const String& v);
  const String& ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(const String& v);
  vcl::TCheckBoxState NullValue() const { return nullValue_; }
  void SetNullValue(vcl::TCheckBoxState v) { nullValue_ = v; }
  TFieldDataLink* DataLink() const { return link_.get(); }

protected:
  void Toggle() override;
  void KeyPress(wchar_t& key) override;
  void Dispatch(vcl::TMessage& m) override;

private:
  vcl::TCheckBoxState FieldState() const;
  void DataChange(rtl::TObject*);
  void UpdateData(rtl::TObject*);

  std::unique_ptr<TFieldDataLink> link_;
  String valueChecked_ = L"True";
  String valueUnchecked_ = L"False";
  vcl::TCheckBoxState nullValue_ = vcl::cbGrayed;
  bool settingState_ = false;
};

VCL_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList)

// A combo box whose text is the field's; its list offers values to choose from.
class TDBComboBox : public vcl::TWinControl {
  VCL_CLASS(TDBComboBox, vcl::TWinControl)
  explicit TDBComboBox(vcl::TComponent* owner);
  ~TDBComboBox() override;

  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
  const String& DataField() const { return link_->FieldName(); }
  void SetDataField(const String& name) { link_->SetFieldName(name); }
  TField* Field() const { return link_->Field(); }
  bool ReadOnly() const { return link_->ReadOnly(); }
  void SetReadOnly(bool v) { link_->SetReadOnly(v); }
  rtl::TStrings* Items() const { return items_.get(); }
  void SetItems(rtl::TStrings* items) { items_->Assign(items); }
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle s);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int n) { dropDownCount_ = n; }
  int ItemIndex();
  void SetItemIndex(int index);
  bool DroppedDown();
  TFieldDataLink* DataLink() const { return link_.get(); }
  vcl::TNotifyEvent OnChange;

protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void Dispatch(vcl::TMessage& m) override;
  void KeyPress(wchar_t& key) override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  String GetText() override;
  virtual void Change();

private:
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void LoadItems();
  void DataChange(rtl::TObject*);
  void EditingChange(rtl::TObject*);
  void UpdateData(rtl::TObject*);

  std::unique_ptr<TFieldDataLink> link_;
  std::unique_ptr<rtl::TStringList> items_;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  bool settingText_ = false;
  HWND edit_ = nullptr;
  WNDPROC editProc_ = nullptr;
  String pendingSelection_;
  bool hasPendingSelection_ = false;
};

}  // namespace db
