#pragma once
// Data-aware controls: each shows one field of its data source's current record and edits it.
//
// Typing starts an edit of the dataset (through the data source's AutoEdit); what the control holds reaches the
// field when the record is posted or the control is left (UpdateRecord); Escape throws the typing away. Text the
// program puts into the control while the record is being edited counts as typed.
#include <memory>

#include "platform/db/datasource.h"
#include "platform/vcl/stdctrls.h"

namespace db {

// The part every bound text control shares, over the system edit (one line) or memo.
template <class Base>
class TDBTextControl : public Base {
public:
  explicit TDBTextControl(vcl::TComponent* owner);
  ~TDBTextControl() override;

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
  // Keys that change the text (and so need an edit of the record).
  virtual bool ChangesText(wchar_t key) const { return key == 8 || key == 22 || key == 24 || key >= 32; }
  void SyncReadOnly();

  std::unique_ptr<TFieldDataLink> link_;
  bool settingText_ = false;

private:
  void DataChange(rtl::TObject*);
  void EditingChange(rtl::TObject*);
  void UpdateData(rtl::TObject*);
};

extern template class TDBTextControl<vcl::TCustomEdit>;
extern template class TDBTextControl<vcl::TCustomMemo>;

class TDBEdit : public TDBTextControl<vcl::TCustomEdit> {
  VCL_CLASS(TDBEdit, TDBTextControl<vcl::TCustomEdit>)
  explicit TDBEdit(vcl::TComponent* owner) : TDBTextControl<vcl::TCustomEdit>(owner) {}
};

// Several lines; Enter and Tab start a new line or tab within the text.
class TDBMemo : public TDBTextControl<vcl::TCustomMemo> {
  VCL_CLASS(TDBMemo, TDBTextControl<vcl::TCustomMemo>)
  explicit TDBMemo(vcl::TComponent* owner);

protected:
  bool ChangesText(wchar_t key) const override {
    return key == 8 || key == 9 || key == 10 || key == 13 || key == 22 || key == 24 || key >= 32;
  }
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

// A combo box whose text is the field's; its list offers values to choose from.
class TDBComboBox : public vcl::TCustomComboBox {
  VCL_CLASS(TDBComboBox, vcl::TCustomComboBox)
  explicit TDBComboBox(vcl::TComponent* owner);
  ~TDBComboBox() override;

  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
  const String& DataField() const { return link_->FieldName(); }
  void SetDataField(const String& name) { link_->SetFieldName(name); }
  TField* Field() const { return link_->Field(); }
  bool ReadOnly() const { return link_->ReadOnly(); }
  void SetReadOnly(bool v) { link_->SetReadOnly(v); }
  TFieldDataLink* DataLink() const { return link_.get(); }

protected:
  void InitializeWnd() override;
  void DestroyWnd() override;
  void Dispatch(vcl::TMessage& m) override;
  void KeyPress(wchar_t& key) override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void Change() override;
  void SetTextInternal(const String& value) override;

private:
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void DataChange(rtl::TObject*);
  void UpdateData(rtl::TObject*);

  std::unique_ptr<TFieldDataLink> link_;
  bool settingText_ = false;
  HWND edit_ = nullptr;
  WNDPROC editProc_ = nullptr;
};

}  // namespace db
