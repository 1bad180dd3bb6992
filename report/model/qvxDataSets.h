#pragma once
// Report datasets: the cursor over named fields that the engine walks (First, Next, Eof) and that expressions,
// text objects and pictures take field values from. Every report dataset enters the process-wide DatasetList
// while it exists, through which reports find datasets by user name. Also the dataset collections of a report and
// the base of database-connection components.
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/events.h"
#include "report/model/qvxDCtrl.h"

VCL_ENUM(TqvxRangeBegin, rbFirst, rbCurrent)
VCL_ENUM(TqvxRangeEnd, reLast, reCurrent, reCount)
VCL_ENUM(TqvxFieldType, fftNumeric, fftString, fftBoolean, fftDateTime)

using TqvxCheckEOFEvent = vcl::TEvent<void(rtl::TObject* Sender, bool& Eof)>;
using TqvxGetValueEvent = vcl::TEvent<void(const rtl::String& VarName, rtl::Variant& Value)>;
using TqvxNewGetValueEvent = vcl::TEvent<void(rtl::TObject* Sender, const rtl::String& VarName, rtl::Variant& Value)>;

class TqvxDataSet : public TqvxDialogComponent {
  VCL_CLASS(TqvxDataSet, TqvxDialogComponent)
 public:
  explicit TqvxDataSet(vcl::TComponent* owner);
  ~TqvxDataSet() override;

  void SetName(const rtl::String& value) override;

  virtual rtl::String GetDisplayText(const rtl::String& index) { return rtl::String(); }
  virtual rtl::Integer GetDisplayWidth(const rtl::String& index) { return 10; }
  virtual TqvxFieldType GetFieldType(const rtl::String& index) { return fftNumeric; }
  virtual rtl::Variant GetValue(const rtl::String& index) { return rtl::Variant::Null(); }
  // GetValue's value put into value, which a dataset may fill in place (a text into the room of the text value
  // held before).
  virtual void GetValueInto(const rtl::String& index, rtl::Variant& value) { value = GetValue(index); }
  // Refuses an empty or blank name ("prInvProp"); the name is kept untrimmed.
  virtual void SetUserName(const rtl::String& value);
  virtual void Initialize() {}
  virtual void Finalize() {}
  virtual void Open();
  virtual void Close();
  virtual void First();
  virtual void Next();
  virtual void Prior();
  virtual bool Eof();
  virtual rtl::Integer FieldsCount() { return 0; }
  virtual bool IsBlobField(const rtl::String& fName) { return false; }
  virtual rtl::Integer RecordCount();
  virtual void AssignBlobTo(const rtl::String& fName, rtl::TObject* obj) {}
  virtual void GetFieldList(rtl::TStrings* list);

  // Whether the field list holds fName (ignoring case).
  bool HasField(const rtl::String& fName);

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  bool CloseDataSource() const { return FCloseDataSource; }
  void SetCloseDataSource(bool value) { FCloseDataSource = value; }
  bool OpenDataSource() const { return FOpenDataSource; }
  void SetOpenDataSource(bool value) { FOpenDataSource = value; }
  TqvxRangeBegin RangeBegin() const { return FRangeBegin; }
  void SetRangeBegin(TqvxRangeBegin value) { FRangeBegin = value; }
  TqvxRangeEnd RangeEnd() const { return FRangeEnd; }
  void SetRangeEnd(TqvxRangeEnd value) { FRangeEnd = value; }
  rtl::Integer RangeEndCount() const { return FRangeEndCount; }
  void SetRangeEndCount(rtl::Integer value) { FRangeEndCount = value; }
  const rtl::String& UserName() const { return FUserName; }
  // The report running the dataset: field errors go to its Errors.
  TqvxReport* ReportRef() const { return FReportRef; }
  void SetReportRef(TqvxReport* value) { FReportRef = value; }
  rtl::Integer RecNo() const { return FRecNo; }
  bool Initialized() const { return FInitialized; }

  TqvxCheckEOFEvent OnCheckEOF;
  vcl::TNotifyEvent OnFirst, OnNext, OnPrior, OnOpen, OnClose;

 protected:
  // A field error line: into the running report's Errors, prefixed with the object it is printing.
  void AddError(const rtl::String& text);

  bool FCloseDataSource = false;
  bool FEnabled = true;
  bool FEof = false;
  bool FOpenDataSource = true;
  TqvxRangeBegin FRangeBegin = rbFirst;
  TqvxRangeEnd FRangeEnd = reLast;
  rtl::Integer FRangeEndCount = 0;
  TqvxReport* FReportRef = nullptr;
  rtl::String FUserName;
  bool FInitialized = false;
  rtl::Integer FRecNo = 0;
};

// Values come from event handlers. Also every data band's virtual dataset of a fixed number of empty records.
class TqvxUserDataSet : public TqvxDataSet {
  VCL_CLASS(TqvxUserDataSet, TqvxDataSet)
 public:
  explicit TqvxUserDataSet(vcl::TComponent* owner);
  ~TqvxUserDataSet() override;

  rtl::String GetDisplayText(const rtl::String& varName) override;
  rtl::Variant GetValue(const rtl::String& varName) override;
  rtl::Integer FieldsCount() override;
  void GetFieldList(rtl::TStrings* list) override;

  rtl::TStrings* Fields() const { return FFields; }
  void SetFields(rtl::TStrings* value);

  TqvxGetValueEvent OnGetValue;
  TqvxNewGetValueEvent OnNewGetValue;

 private:
  rtl::TStringList* FFields = nullptr;
};

// A dataset over a database: field aliases ("FIELD=Alias", "-FIELD=..." hides one) and the list of names reports see.
class TqvxCustomDBDataSet : public TqvxDataSet {
  VCL_CLASS(TqvxCustomDBDataSet, TqvxDataSet)
 public:
  explicit TqvxCustomDBDataSet(vcl::TComponent* owner);
  ~TqvxCustomDBDataSet() override;

  rtl::Integer FieldsCount() override;
  // The platform field name behind a name reports use; fName itself when no alias line has it.
  rtl::String ConvertAlias(const rtl::String& fName) const;
  // The alias of a platform field name; fName itself when no alias line names that field.
  rtl::String GetAlias(const rtl::String& fName) const;

  rtl::TStrings* FieldAliases() const { return FAliases; }
  void SetFieldAliases(rtl::TStrings* value);

 protected:
  rtl::TStringList* FAliases = nullptr;
  // Sorted, case-insensitive, duplicates ignored; each entry's object is its platform field (or nullptr).
  rtl::TStringList* FFields = nullptr;
};

// The base of database-connection components; this program has no concrete kind.
class TqvxCustomDatabase : public TqvxDialogComponent {
  VCL_CLASS(TqvxCustomDatabase, TqvxDialogComponent)
 public:
  explicit TqvxCustomDatabase(vcl::TComponent* owner) : TqvxDialogComponent(owner) {}

  virtual void SetConnected(bool value) {}
  virtual void SetDatabaseName(const rtl::String& value) {}
  virtual void SetLoginPrompt(bool value) {}
  virtual void SetParams(rtl::TStrings* value) {}
  virtual bool GetConnected() { return false; }
  virtual rtl::String GetDatabaseName() { return rtl::String(); }
  virtual bool GetLoginPrompt() { return false; }
  virtual rtl::TStrings* GetParams() { return nullptr; }
  virtual rtl::String ToString() { return rtl::String(); }
  virtual void FromString(const rtl::String& connection) {}
  virtual void SetLogin(const rtl::String& login, const rtl::String& password) {}
};

class TqvxDBComponents : public vcl::TComponent {
  VCL_CLASS(TqvxDBComponents, vcl::TComponent)
 public:
  explicit TqvxDBComponents(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  virtual rtl::String GetDescription() { return rtl::String(); }
};

class TqvxDataSetItem : public vcl::TCollectionItem {
  VCL_CLASS(TqvxDataSetItem, vcl::TCollectionItem)
 public:
  explicit TqvxDataSetItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}

  TqvxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TqvxDataSet* value);
  // The dataset's current user name; the stored name while no dataset is bound.
  rtl::String DataSetName() const;
  void SetDataSetName(const rtl::String& value);

 private:
  TqvxDataSet* FDataSet = nullptr;
  rtl::String FDataSetName;
};

class TqvxReportDataSets : public vcl::TCollection {
  VCL_CLASS(TqvxReportDataSets, vcl::TCollection)
 public:
  explicit TqvxReportDataSets(TqvxReport* report);
  ~TqvxReportDataSets() override;

  // Hands each dataset the report and initializes it; the first failure ends the loop and passes on.
  void Initialize();
  void Finalize();
  TqvxDataSetItem* Add(TqvxDataSet* ds);
  TqvxDataSetItem* Items(int index) const;
  TqvxDataSetItem* Find(TqvxDataSet* ds) const;
  // By user name, ignoring case (ASCII letters, and Turkish letters as the user's locale pairs them).
  TqvxDataSetItem* Find(const rtl::String& name) const;
  void Delete(const rtl::String& name);

  TqvxReport* Report() const { return FReport; }

 private:
  TqvxReport* FReport = nullptr;
};

// Every report dataset that exists, in creation order. Lock and Unlock mark where a lock would go: reports run on
// the user-interface thread only.
class TqvxGlobalDataSetList {
 public:
  void Lock() {}
  void Unlock() {}
  const std::vector<TqvxDataSet*>& Items() const { return FItems; }
  int Count() const { return static_cast<int>(FItems.size()); }
  void Add(TqvxDataSet* ds) { FItems.push_back(ds); }
  void Remove(TqvxDataSet* ds);

 private:
  std::vector<TqvxDataSet*> FItems;
};
TqvxGlobalDataSetList& DatasetList();

// nullptr for an empty name; dataSet when owner is nullptr; else the first listed dataset of that user name that
// belongs to no other report than owner; dataSet when none.
TqvxDataSet* qvxFindDataSet(TqvxDataSet* dataSet, const rtl::String& name, vcl::TComponent* owner);
// The dataset a report object means by name: within a report that keeps its own list (UseGlobalDataSetList off)
// the enabled dataset of that name, else qvxFindDataSet with the object's report as owner.
TqvxDataSet* qvxFindReportDataSet(TqvxComponent* self, TqvxDataSet* dataSet, const rtl::String& name);
// (UserName, dataset) of every enabled dataset with a user name, in list order.
void qvxGetDataSetList(rtl::TStrings* list);
// The report's dataset list for a run: the global list, or its EnabledDataSets when it does not use the global one.
void qvxGetActiveDataSetList(TqvxReport* report, rtl::TStrings* list);
// The report operations on its DataSets: a dataset's name as the report sees it, and the datasets it names.
rtl::String qvxReportGetAlias(TqvxReportDataSets* dataSets, TqvxDataSet* dataSet);
void qvxReportGetDataSetList(TqvxReportDataSets* dataSets, rtl::TStrings* list, bool onlyDB);
