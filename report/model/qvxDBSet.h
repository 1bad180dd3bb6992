#pragma once
// The report dataset over a platform dataset, given directly or through a data source. For one report run it hooks
// the platform dataset's AfterOpen and BeforeClose, walks the record range the report asks for (from the first or
// the current record, to the last, the current or a count), delivers field values by field kind, and afterwards
// puts the platform dataset back on the record it was on.
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "report/model/qvxDataSets.h"

class TqvxDBDataset : public TqvxCustomDBDataSet {
  VCL_CLASS(TqvxDBDataset, TqvxCustomDBDataSet)
 public:
  explicit TqvxDBDataset(vcl::TComponent* owner);
  ~TqvxDBDataset() override;

  rtl::String GetDisplayText(const rtl::String& index) override;
  rtl::Integer GetDisplayWidth(const rtl::String& index) override;
  TqvxFieldType GetFieldType(const rtl::String& index) override;
  // Both give the same value; they are final so that a class of its own cannot answer one and not the other.
  rtl::Variant GetValue(const rtl::String& index) final;
  void GetValueInto(const rtl::String& index, rtl::Variant& value) final;
  // Raises "dbNotConn" naming the component when there is no platform dataset.
  void Initialize() override;
  void Finalize() override;
  void Open() override;
  void Close() override;
  void First() override;
  void Next() override;
  void Prior() override;
  bool Eof() override;
  bool IsBlobField(const rtl::String& fName) override;
  rtl::Integer RecordCount() override;
  // Into a TqvxWideStrings (its lines) or a platform stream (rewound to 0); other objects get nothing.
  void AssignBlobTo(const rtl::String& fName, rtl::TObject* obj) override;
  void GetFieldList(rtl::TStrings* list) override;

  bool DataSetActive() const;
  db::TDataSet* GetDataSet() const;

  db::TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(db::TDataSet* value);
  db::TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(db::TDataSource* value);
  bool BCDToCurrency() const { return FBCDToCurrency; }
  void SetBCDToCurrency(bool value) { FBCDToCurrency = value; }
  bool IsDataSetStored() const { return !const_cast<TqvxDBDataset*>(this)->Report(); }

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  void ReadValue(const rtl::String& index, rtl::Variant& value);
  // Installed on the platform dataset for the run; a nullptr sender is this dataset calling them itself.
  void AfterOpen(db::TDataSet* sender);
  void BeforeClose(db::TDataSet* sender);
  void OpenIfNeeded() {
    if (!FInitialized) Open();
  }
  // The FFields entry of a name reports use: its platform field, or nullptr; found tells whether there is one.
  db::TField* EntryField(const rtl::String& name, bool& found) const;
  rtl::String QuotedName(const rtl::String& index) const;
  void RestoreEvents();

  db::TBookmark FBookmark;
  db::TDataSet* FDataSet = nullptr;
  db::TDataSource* FDataSource = nullptr;
  db::TDataSet* FDS = nullptr;
  bool FDBEof = false;
  bool FBCDToCurrency = false;
  bool FHooked = false;
  db::TDataSetNotifyEvent FSaveOpenEvent, FSaveCloseEvent;
  // What the classes of its entries and fields are, found by casts once per class and kept with the dataset (one
  // run reads it on one thread; a thread-local table cost a lock on this target at every field read).
  mutable std::vector<std::pair<const std::type_info*, bool>> FEntryClasses;
  std::vector<std::pair<const std::type_info*, unsigned char>> FValueKinds;
  // Where the names a run reads stand in FFields, by their exact text: a run reads the same few fields at every
  // record, and searching the case-blind list each time showed in its time. Forgotten whenever the list is filled.
  mutable std::vector<std::pair<rtl::String, int>> FEntryAt;
};
