#pragma once
// Data sources and data links: how controls follow a dataset.
//
// A dataset tells each of its data sources about every change (DataEvent); a data source tells each of its links.
// A link keeps a window of records (BufferCount, grids show several rows) around the dataset's current record.
#include <vector>

#include "platform/db/dataset.h"
#include "platform/vcl/component.h"
#include "platform/vcl/events.h"

namespace db {

class TDataLink;

using TDataChangeEvent = vcl::TEvent<void(rtl::TObject* Sender, TField* Field)>;

class TDataSource : public vcl::TComponent {
  VCL_CLASS(TDataSource, vcl::TComponent)
  explicit TDataSource(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  ~TDataSource() override;
  void BeforeDestruction() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  // Controls may start an edit when the user types.
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool v) { autoEdit_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TDataSetState State() const { return dataSet_ && enabled_ ? dataSet_->State() : dsInactive; }
  // Starts an edit of the dataset when AutoEdit allows it and the dataset is browsing.
  void Edit();
  bool IsLinkedTo(TDataSet* dataSet) const;

  vcl::TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  vcl::TNotifyEvent OnUpdateData;

  // Used by datasets and links.
  void DataEvent(TDataEvent event, std::intptr_t info);
  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);
  int DataLinkCount() const { return static_cast<int>(links_.size()); }

protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
  TDataSet* dataSet_ = nullptr;
  bool autoEdit_ = true;
  bool enabled_ = true;
  TDataSetState lastState_ = dsInactive;
  std::vector<TDataLink*> links_;
};

class TDataLink : public rtl::TPersistent {
public:
  TDataLink() = default;
  ~TDataLink() override;
  String ClassName() const override { return L"TDataLink"; }

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }
  // The data source cannot be changed from outside (a control whose link is fixed by its container).
  bool DataSourceFixed() const { return dataSourceFixed_; }
  void SetDataSourceFixed(bool v) { dataSourceFixed_ = v; }
  bool Active() const { return active_; }
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);

  // The record window: the index of the current record in it, how many records it holds, and how many it may hold.
  int ActiveRecord() const;
  // Makes the fields show record index of the window (a grid drawing its rows); set it back afterwards.
  void SetActiveRecord(int index);
  int RecordCount() const;
  int BufferCount() const { return bufferCount_; }
  void SetBufferCount(int count);

  // Starts an edit through the data source (AutoEdit permitting); answers whether the link is editing now.
  bool Edit();
  // Hands the link's pending data to the fields (UpdateData).
  void UpdateRecord();

  // From the data source.
  void DataEvent(TDataEvent event, std::intptr_t info);

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void FocusControl(TField** field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* field) {}
  virtual void UpdateData() {}
  // A link whose state follows the dataset sets this; see TFieldDataLink.
  void UpdateState();

private:
  // Moves the window so it holds the current record; answers how far the window moved.
  int AdjustWindow();

  TDataSource* dataSource_ = nullptr;
  bool dataSourceFixed_ = false;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
  int bufferCount_ = 1;
  int first_ = 0;
};

class TFieldDataLink : public TDataLink {
public:
  String ClassName() const override { return L"TFieldDataLink"; }

  // The control the link serves (focused when the dataset asks for its field).
  vcl::TComponent* Control() const { return control_; }
  void SetControl(vcl::TComponent* control) { control_ = control; }
  const String& FieldName() const { return fieldName_; }
  void SetFieldName(const String& name);
  TField* Field() const { return field_; }
  // Whether the control may change the field: not read-only, a field that can be modified.
  bool CanModify() const;
  bool Editing() const { return fieldEditing_; }
  // Starts editing (through the data source) when the field can be modified; answers whether editing.
  bool Edit();
  // The control's text differs from the field: it will be handed over on the next UpdateRecord.
  void Modified() { modified_ = true; }
  bool IsModified() const { return modified_; }
  // Throws away the control's pending text and shows the field again.
  void Reset() { RecordChanged(nullptr); }

  vcl::TNotifyEvent OnDataChange;
  vcl::TNotifyEvent OnEditingChange;
  vcl::TNotifyEvent OnUpdateData;
  vcl::TNotifyEvent OnActiveChange;

protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;

private:
  void UpdateField();
  void SetField(TField* field);
  void SetEditing(bool v);

  vcl::TComponent* control_ = nullptr;
  String fieldName_;
  TField* field_ = nullptr;
  bool fieldEditing_ = false;
  bool modified_ = false;
};

}  // namespace db
