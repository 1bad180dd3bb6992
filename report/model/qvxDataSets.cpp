#include "report/model/qvxDataSets.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"

using rtl::String;

VCL_REGISTER(TqvxDataSet) {
  cls.Prop(L"Enabled", &TqvxDataSet::Enabled, &TqvxDataSet::SetEnabled).Default(true);
  cls.Prop(L"RangeBegin", &TqvxDataSet::RangeBegin, &TqvxDataSet::SetRangeBegin).Default(rbFirst);
  cls.Prop(L"RangeEnd", &TqvxDataSet::RangeEnd, &TqvxDataSet::SetRangeEnd).Default(reLast);
  cls.Prop(L"RangeEndCount", &TqvxDataSet::RangeEndCount, &TqvxDataSet::SetRangeEndCount).Default(0);
  cls.Prop(L"UserName", &TqvxDataSet::UserName, &TqvxDataSet::SetUserName);
  cls.Prop(L"OnCheckEOF", &TqvxDataSet::OnCheckEOF);
  cls.Prop(L"OnFirst", &TqvxDataSet::OnFirst);
  cls.Prop(L"OnNext", &TqvxDataSet::OnNext);
  cls.Prop(L"OnPrior", &TqvxDataSet::OnPrior);
}

VCL_REGISTER(TqvxUserDataSet) {
  cls.Prop(L"Fields", &TqvxUserDataSet::Fields, &TqvxUserDataSet::SetFields);
  cls.Prop(L"OnGetValue", &TqvxUserDataSet::OnGetValue);
  cls.Prop(L"OnNewGetValue", &TqvxUserDataSet::OnNewGetValue);
}

VCL_REGISTER(TqvxCustomDBDataSet) {
  cls.Prop(L"CloseDataSource", &TqvxCustomDBDataSet::CloseDataSource, &TqvxCustomDBDataSet::SetCloseDataSource);
  cls.Prop(L"FieldAliases", &TqvxCustomDBDataSet::FieldAliases, &TqvxCustomDBDataSet::SetFieldAliases);
  cls.Prop(L"OpenDataSource", &TqvxCustomDBDataSet::OpenDataSource, &TqvxCustomDBDataSet::SetOpenDataSource)
      .Default(true);
  cls.Prop(L"OnClose", &TqvxCustomDBDataSet::OnClose);
  cls.Prop(L"OnOpen", &TqvxCustomDBDataSet::OnOpen);
}

VCL_REGISTER(TqvxCustomDatabase) {}
VCL_REGISTER(TqvxDBComponents) {}

VCL_REGISTER(TqvxDataSetItem) {
  cls.Prop(L"DataSet", &TqvxDataSetItem::DataSet, &TqvxDataSetItem::SetDataSet);
  cls.Prop(L"DataSetName", &TqvxDataSetItem::DataSetName, &TqvxDataSetItem::SetDataSetName);
}

VCL_REGISTER(TqvxReportDataSets) {}

// ---------------------------------------------------------------------------------------------------------------
// The global list, and the report objects' view of datasets

TqvxGlobalDataSetList& DatasetList() {
  // Never freed: datasets on application forms may outlive every static of the library at exit.
  static TqvxGlobalDataSetList* list = new TqvxGlobalDataSetList;
  return *list;
}

void TqvxGlobalDataSetList::Remove(TqvxDataSet* ds) {
  auto it = std::find(FItems.begin(), FItems.end(), ds);
  if (it != FItems.end()) FItems.erase(it);
}

namespace {

// Field and dataset names are identifiers: "ADI" names the field "adi" under Turkish rules too, while names with
// Turkish letters still match in the user's locale.
bool SameName(const String& a, const String& b) { return rtl::SameText(a, b) || rtl::AnsiSameText(a, b); }

bool UsesGlobalList(TqvxReport* report) { return report->EngineOptions()->UseGlobalDataSetList; }

}  // namespace

TqvxDataSet* qvxFindDataSet(TqvxDataSet* dataSet, const String& name, vcl::TComponent* owner) {
  if (name.empty()) return nullptr;
  if (!owner) return dataSet;
  TqvxGlobalDataSetList& list = DatasetList();
  TqvxDataSet* result = dataSet;
  list.Lock();
  const bool ownerIsReport = dynamic_cast<TqvxReport*>(owner) != nullptr;
  for (TqvxDataSet* ds : list.Items()) {
    if (!SameName(ds->UserName(), name)) continue;
    vcl::TComponent* dsOwner = ds->Owner();
    if (ownerIsReport && dsOwner && dsOwner != owner && dynamic_cast<TqvxReport*>(dsOwner)) continue;
    result = ds;
    break;
  }
  list.Unlock();
  return result;
}

TqvxDataSet* qvxFindReportDataSet(TqvxComponent* self, TqvxDataSet* dataSet, const String& name) {
  TqvxReport* report = self ? self->Report() : nullptr;
  if (report && !UsesGlobalList(report)) {
    TqvxDataSetItem* item = report->EnabledDataSets()->Find(name);
    return item ? item->DataSet() : nullptr;
  }
  return qvxFindDataSet(dataSet, name, report);
}

void qvxGetDataSetList(rtl::TStrings* list) {
  TqvxGlobalDataSetList& all = DatasetList();
  all.Lock();
  list->Clear();
  for (TqvxDataSet* ds : all.Items())
    if (!ds->UserName().empty() && ds->Enabled()) list->AddObject(ds->UserName(), ds);
  all.Unlock();
}

void qvxGetActiveDataSetList(TqvxReport* report, rtl::TStrings* list) {
  if (!report || UsesGlobalList(report)) {
    qvxGetDataSetList(list);
    return;
  }
  list->Clear();
  TqvxReportDataSets* enabled = report->EnabledDataSets();
  for (int i = 0; i < enabled->Count(); ++i)
    if (TqvxDataSet* ds = enabled->Items(i)->DataSet()) list->AddObject(ds->UserName(), ds);
}

String qvxReportGetAlias(TqvxReportDataSets* dataSets, TqvxDataSet* dataSet) {
  if (!dataSet) return String();
  if (dataSets && dataSets->Find(dataSet)) return dataSet->UserName();
  return qvxResources().Get(L"clDSNotIncl");
}

void qvxReportGetDataSetList(TqvxReportDataSets* dataSets, rtl::TStrings* list, bool onlyDB) {
  list->Clear();
  if (!dataSets) return;
  for (int i = 0; i < dataSets->Count(); ++i) {
    TqvxDataSet* ds = dataSets->Items(i)->DataSet();
    if (!ds) continue;
    if (onlyDB && dynamic_cast<TqvxUserDataSet*>(ds)) continue;
    list->AddObject(ds->UserName(), ds);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxDataSet

TqvxDataSet::TqvxDataSet(vcl::TComponent* owner) : TqvxDialogComponent(owner) {
  FEnabled = true;
  FOpenDataSource = true;
  FRangeBegin = rbFirst;
  FRangeEnd = reLast;
  TqvxGlobalDataSetList& list = DatasetList();
  list.Lock();
  list.Add(this);
  list.Unlock();
}

TqvxDataSet::~TqvxDataSet() {
  TqvxGlobalDataSetList& list = DatasetList();
  list.Lock();
  list.Remove(this);
  list.Unlock();
}

void TqvxDataSet::SetName(const String& value) {
  TqvxDialogComponent::SetName(value);
  if (!value.empty() && FUserName.empty()) SetUserName(value);
}

void TqvxDataSet::SetUserName(const String& value) {
  if (rtl::Trim(value).empty()) throw rtl::Exception(qvxResources().Get(L"prInvProp"));
  FUserName = value;
}

void TqvxDataSet::Open() { OnOpen(this); }
void TqvxDataSet::Close() { OnClose(this); }

void TqvxDataSet::First() {
  FRecNo = 0;
  FEof = false;
  OnFirst(this);
}

void TqvxDataSet::Next() {
  FEof = false;
  ++FRecNo;
  if (FRangeEnd == reCount && FRecNo >= FRangeEndCount) {
    FRecNo = FRangeEndCount - 1;
    FEof = true;
    return;
  }
  OnNext(this);
}

void TqvxDataSet::Prior() {
  --FRecNo;
  OnPrior(this);
}

bool TqvxDataSet::Eof() {
  bool result = FRangeEnd == reCount && (FRecNo >= FRangeEndCount || FEof);
  OnCheckEOF(this, result);
  return result;
}

rtl::Integer TqvxDataSet::RecordCount() { return FRangeBegin == rbFirst && FRangeEnd == reCount ? FRangeEndCount : 0; }

void TqvxDataSet::GetFieldList(rtl::TStrings* list) { list->Clear(); }

bool TqvxDataSet::HasField(const String& fName) {
  rtl::TStringList list;
  GetFieldList(&list);
  return list.IndexOf(fName) >= 0;
}

void TqvxDataSet::AddError(const String& text) {
  // Outside a report run there is no report to collect the line: the dataset keeps quiet, as the run would go on.
  if (!FReportRef) return;
  const String& cur = FReportRef->CurObject;
  FReportRef->Errors()->Add(cur.empty() ? text : cur + L": " + text);
}

// ---------------------------------------------------------------------------------------------------------------
// TqvxUserDataSet

TqvxUserDataSet::TqvxUserDataSet(vcl::TComponent* owner) : TqvxDataSet(owner) { FFields = new rtl::TStringList; }

TqvxUserDataSet::~TqvxUserDataSet() { delete FFields; }

void TqvxUserDataSet::SetFields(rtl::TStrings* value) {
  if (value)
    FFields->Assign(value);
  else
    FFields->Clear();
}

rtl::Variant TqvxUserDataSet::GetValue(const String& varName) {
  rtl::Variant value = rtl::Variant::Null();
  if (OnGetValue) OnGetValue(varName, value);
  if (OnNewGetValue) OnNewGetValue(this, varName, value);
  return value;
}

String TqvxUserDataSet::GetDisplayText(const String& varName) {
  String result;
  if (OnGetValue) {
    rtl::Variant v = rtl::Variant::Null();
    OnGetValue(varName, v);
    result = rtl::VarToStr(v);
  }
  if (OnNewGetValue) {
    rtl::Variant v = rtl::Variant::Null();
    OnNewGetValue(this, varName, v);
    result = rtl::VarToStr(v);
  }
  return result;
}

rtl::Integer TqvxUserDataSet::FieldsCount() { return FFields->Count(); }

void TqvxUserDataSet::GetFieldList(rtl::TStrings* list) { list->Assign(FFields); }

// ---------------------------------------------------------------------------------------------------------------
// TqvxCustomDBDataSet

TqvxCustomDBDataSet::TqvxCustomDBDataSet(vcl::TComponent* owner) : TqvxDataSet(owner) {
  FFields = new rtl::TStringList;
  FFields->SetSorted(true);
  FFields->SetDuplicates(rtl::dupIgnore);
  FFields->SetCaseSensitive(false);
  FAliases = new rtl::TStringList;
}

TqvxCustomDBDataSet::~TqvxCustomDBDataSet() {
  delete FFields;
  delete FAliases;
}

void TqvxCustomDBDataSet::SetFieldAliases(rtl::TStrings* value) {
  if (value)
    FAliases->Assign(value);
  else
    FAliases->Clear();
}

rtl::Integer TqvxCustomDBDataSet::FieldsCount() {
  rtl::TStringList list;
  GetFieldList(&list);
  return list.Count();
}

namespace {
void SplitAlias(const String& line, String& field, String& alias) {
  size_t eq = line.find(L'=');
  if (eq == String::npos) {
    field = line;
    alias.clear();
  } else {
    field = line.substr(0, eq);
    alias = line.substr(eq + 1);
  }
}
}  // namespace

String TqvxCustomDBDataSet::ConvertAlias(const String& fName) const {
  String field, alias;
  for (int i = 0; i < FAliases->Count(); ++i) {
    SplitAlias(FAliases->Strings(i), field, alias);
    if (SameName(alias, fName)) return field;
  }
  return fName;
}

String TqvxCustomDBDataSet::GetAlias(const String& fName) const {
  String field, alias;
  for (int i = 0; i < FAliases->Count(); ++i) {
    SplitAlias(FAliases->Strings(i), field, alias);
    if (SameName(field, fName)) return alias;
  }
  return fName;
}

// ---------------------------------------------------------------------------------------------------------------
// Dataset collections

void TqvxDataSetItem::SetDataSet(TqvxDataSet* value) {
  FDataSet = value;
  FDataSetName = value ? value->UserName() : String();
}

String TqvxDataSetItem::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TqvxDataSetItem::SetDataSetName(const String& value) {
  FDataSetName = value;
  if (value.empty()) {
    FDataSet = nullptr;
    return;
  }
  auto* owner = dynamic_cast<TqvxReportDataSets*>(Collection());
  if (owner && owner->Report()) FDataSet = owner->Report()->FindDataSet(FDataSet, value);
}

TqvxReportDataSets::TqvxReportDataSets(TqvxReport* report)
    : vcl::TCollection(TqvxDataSetItem::StaticClass()), FReport(report) {}

TqvxReportDataSets::~TqvxReportDataSets() = default;

void TqvxReportDataSets::Initialize() {
  for (int i = 0; i < Count(); ++i)
    if (TqvxDataSet* ds = Items(i)->DataSet()) {
      ds->SetReportRef(FReport);
      ds->Initialize();
    }
}

void TqvxReportDataSets::Finalize() {
  for (int i = 0; i < Count(); ++i)
    if (TqvxDataSet* ds = Items(i)->DataSet()) ds->Finalize();
}

TqvxDataSetItem* TqvxReportDataSets::Add(TqvxDataSet* ds) {
  auto* item = vcl::TCollection::Add<TqvxDataSetItem>();
  item->SetDataSet(ds);
  return item;
}

TqvxDataSetItem* TqvxReportDataSets::Items(int index) const { return vcl::TCollection::Items<TqvxDataSetItem>(index); }

TqvxDataSetItem* TqvxReportDataSets::Find(TqvxDataSet* ds) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() == ds) return Items(i);
  return nullptr;
}

TqvxDataSetItem* TqvxReportDataSets::Find(const String& name) const {
  for (int i = 0; i < Count(); ++i) {
    TqvxDataSet* ds = Items(i)->DataSet();
    if (ds && SameName(ds->UserName(), name)) return Items(i);
  }
  return nullptr;
}

void TqvxReportDataSets::Delete(const String& name) {
  if (TqvxDataSetItem* item = Find(name)) delete item;
}
