#include "report/model/qvxDBSet.h"

#include <memory>
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/db/fields.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUnicodeUtils.h"

using rtl::String;

VCL_REGISTER(TqvxDBDataset) {
  cls.Prop(L"DataSet", &TqvxDBDataset::DataSet, &TqvxDBDataset::SetDataSet).Stored(&TqvxDBDataset::IsDataSetStored);
  cls.Prop(L"DataSource", &TqvxDBDataset::DataSource, &TqvxDBDataset::SetDataSource)
      .Stored(&TqvxDBDataset::IsDataSetStored);
  cls.Prop(L"BCDToCurrency", &TqvxDBDataset::BCDToCurrency, &TqvxDBDataset::SetBCDToCurrency);
}

TqvxDBDataset::TqvxDBDataset(vcl::TComponent* owner) : TqvxCustomDBDataSet(owner) {}

TqvxDBDataset::~TqvxDBDataset() {
  // A dataset freed in the middle of a run must not leave its handlers on the platform dataset.
  RestoreEvents();
}

db::TDataSet* TqvxDBDataset::GetDataSet() const {
  if (FDataSet) return FDataSet;
  if (FDataSource) return FDataSource->DataSet();
  return nullptr;
}

void TqvxDBDataset::SetDataSet(db::TDataSet* value) {
  // Handlers put on the old platform dataset for a run go back to it before the dataset changes.
  RestoreEvents();
  FDataSet = value;
  if (value) {
    FDataSource = nullptr;
    value->FreeNotification(this);
  }
  FDS = GetDataSet();
}

void TqvxDBDataset::SetDataSource(db::TDataSource* value) {
  RestoreEvents();
  FDataSource = value;
  if (value) {
    FDataSet = nullptr;
    value->FreeNotification(this);
  }
  FDS = GetDataSet();
}

void TqvxDBDataset::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TqvxCustomDBDataSet::Notification(component, operation);
  if (operation != vcl::opRemove) return;
  if (component == FDataSource) {
    if (FHooked && FDS == FDataSource->DataSet()) FHooked = false;
    SetDataSource(nullptr);
  } else if (component == FDataSet) {
    FHooked = false;
    SetDataSet(nullptr);
  } else if (component == FDS) {
    // The data source's dataset went away while the data source stays.
    FHooked = false;
    FDS = nullptr;
  }
}

bool TqvxDBDataset::DataSetActive() const { return FDS && FDS->Active(); }

// ---------------------------------------------------------------------------------------------------------------
// Run lifecycle

void TqvxDBDataset::Initialize() {
  FDS = GetDataSet();
  if (!FDS) throw rtl::Exception(rtl::Format(qvxResources().Get(L"dbNotConn"), {Name()}));
  // A second Initialize without Finalize keeps the handlers saved the first time.
  if (!FHooked) {
    FSaveOpenEvent = FDS->AfterOpen;
    FSaveCloseEvent = FDS->BeforeClose;
    FDS->FreeNotification(this);
    FHooked = true;
  }
  FDS->AfterOpen.Bind(this, &TqvxDBDataset::AfterOpen);
  FDS->BeforeClose.Bind(this, &TqvxDBDataset::BeforeClose);
  FDBEof = false;
  FInitialized = false;
}

void TqvxDBDataset::RestoreEvents() {
  if (!FHooked) return;
  if (FDS) {
    FDS->AfterOpen = FSaveOpenEvent;
    FDS->BeforeClose = FSaveCloseEvent;
  }
  FSaveOpenEvent.Clear();
  FSaveCloseEvent.Clear();
  FHooked = false;
}

void TqvxDBDataset::Open() {
  // Without a platform dataset (outside a run, or after it was freed) the dataset is simply empty.
  if (FInitialized || !FDS) return;
  FInitialized = true;
  FDS->Open();
  AfterOpen(nullptr);
  if (FRangeBegin == rbCurrent || FRangeEnd == reCurrent)
    FBookmark = FDS->GetBookmark();
  else
    FBookmark.clear();
  TqvxCustomDBDataSet::Open();
}

void TqvxDBDataset::AfterOpen(db::TDataSet* sender) {
  FEntryAt.clear();
  GetFieldList(FFields);
  if (FDS)
    for (int i = 0; i < FFields->Count(); ++i)
      FFields->SetObjects(i, FDS->FindField(ConvertAlias(FFields->Strings(i))));
  if (FSaveOpenEvent && sender) FSaveOpenEvent(sender);
}

void TqvxDBDataset::BeforeClose(db::TDataSet* sender) {
  if (FSaveCloseEvent && sender) FSaveCloseEvent(sender);
  FBookmark.clear();
  FInitialized = false;
}

void TqvxDBDataset::Close() {
  TqvxCustomDBDataSet::Close();
  BeforeClose(nullptr);
  if (FDS) FDS->Close();
}

void TqvxDBDataset::Finalize() {
  if (!FDS) return;
  if (!FBookmark.empty()) {
    if (FDS->Active() && FDS->BookmarkValid(FBookmark)) FDS->GotoBookmark(FBookmark);
    FDS->FreeBookmark(FBookmark);
  }
  FBookmark.clear();
  if (FCloseDataSource) Close();
  RestoreEvents();
  FInitialized = false;
}

void TqvxDBDataset::First() {
  OpenIfNeeded();
  if (!FDS) return;
  if (FRangeBegin == rbCurrent && !FBookmark.empty() && FDS->BookmarkValid(FBookmark))
    FDS->GotoBookmark(FBookmark);
  else
    FDS->First();
  FDBEof = false;
  TqvxCustomDBDataSet::First();
}

void TqvxDBDataset::Next() {
  OpenIfNeeded();
  if (!FDS) return;
  FDBEof = false;
  if (FRangeEnd == reCurrent) {
    db::TBookmark current = FDS->GetBookmark();
    const bool atEnd = FDS->CompareBookmarks(current, FBookmark) == 0;
    FDS->FreeBookmark(current);
    if (atEnd) {
      FDBEof = true;
      return;
    }
  }
  FDS->Next();
  TqvxCustomDBDataSet::Next();
}

void TqvxDBDataset::Prior() {
  OpenIfNeeded();
  if (!FDS) return;
  FDS->Prior();
  TqvxCustomDBDataSet::Prior();
}

bool TqvxDBDataset::Eof() {
  OpenIfNeeded();
  if (!FDS) return true;
  return TqvxCustomDBDataSet::Eof() || FDS->Eof() || FDBEof;
}

rtl::Integer TqvxDBDataset::RecordCount() {
  OpenIfNeeded();
  if (!FDS) return 0;
  return FDS->RecordCount();
}

// ---------------------------------------------------------------------------------------------------------------
// Field values

namespace {

// The entries are read at every record: whether an entry's class is a field is found by a cast once per class.
db::TField* AsField(rtl::TObject* obj, std::vector<std::pair<const std::type_info*, bool>>& known) {
  if (!obj) return nullptr;
  const std::type_info* type = &typeid(*obj);
  for (const auto& [t, field] : known)
    if (t == type) return field ? static_cast<db::TField*>(obj) : nullptr;
  db::TField* field = dynamic_cast<db::TField*>(obj);
  known.emplace_back(type, field != nullptr);
  return field;
}

}  // namespace

db::TField* TqvxDBDataset::EntryField(const String& name, bool& found) const {
  int index = -1;
  const auto known = std::find_if(FEntryAt.begin(), FEntryAt.end(), [&](const auto& e) { return e.first == name; });
  if (known != FEntryAt.end() && known->second < FFields->Count()) {
    index = known->second;
    found = true;
  } else {
    found = FFields->Find(name, index);
    if (found) {
      // Names put together by scripts could be many: the list is started again rather than left to grow.
      if (FEntryAt.size() >= 32) FEntryAt.clear();
      FEntryAt.emplace_back(name, index);
    }
  }
  return found ? AsField(FFields->Objects(index), FEntryClasses) : nullptr;
}

String TqvxDBDataset::QuotedName(const String& index) const { return FUserName + L".\"" + index + L"\""; }

namespace {

// Text and BlobText: classes whose value is their cell's text as it is (when the cell holds a text).
enum class TValueKind { Plain, Text, BCD, Large, Stamp, Blob, BlobText };

// A field's value is read at every record: what kind of field it is is found by casts once per field class.
TValueKind ValueKindOf(db::TField* field, std::vector<std::pair<const std::type_info*, unsigned char>>& known) {
  const std::type_info* type = &typeid(*field);
  for (const auto& [t, kind] : known)
    if (t == type) return static_cast<TValueKind>(kind);
  TValueKind kind = TValueKind::Plain;
  if (type == &typeid(db::TStringField) || type == &typeid(db::TWideStringField))
    kind = TValueKind::Text;
  else if (type == &typeid(db::TBlobField) || type == &typeid(db::TMemoField) || type == &typeid(db::TWideMemoField))
    kind = TValueKind::BlobText;
  else if (dynamic_cast<db::TFMTBCDField*>(field))
    kind = TValueKind::BCD;
  else if (dynamic_cast<db::TLargeintField*>(field))
    kind = TValueKind::Large;
  else if (dynamic_cast<db::TSQLTimeStampField*>(field))
    kind = TValueKind::Stamp;
  else if (dynamic_cast<db::TBlobField*>(field))
    kind = TValueKind::Blob;
  known.emplace_back(type, static_cast<unsigned char>(kind));
  return kind;
}

}  // namespace

rtl::Variant TqvxDBDataset::GetValue(const String& index) {
  rtl::Variant value;
  ReadValue(index, value);
  return value;
}

void TqvxDBDataset::GetValueInto(const String& index, rtl::Variant& value) { ReadValue(index, value); }

void TqvxDBDataset::ReadValue(const String& index, rtl::Variant& value) {
  OpenIfNeeded();
  bool found = false;
  db::TField* field = EntryField(index, found);
  if (!found) {
    AddError(qvxResources().Get(L"dbFldNotFound") + L" " + QuotedName(index));
    value = rtl::Variant::Null();
    return;
  }
  // An alias line that names no platform field gives no value.
  if (!field) {
    value = rtl::Variant::Null();
    return;
  }
  const TValueKind kind = ValueKindOf(field, FValueKinds);
  switch (kind) {
    case TValueKind::Text:
    case TValueKind::BlobText: {
      // The value of a text is its cell's text: put in place, without the copies of the general path.
      const db::FieldValue& cell = field->Data();
      if (cell.IsText()) {
        value.AssignText(cell.AsText());
        return;
      }
      break;
    }
    case TValueKind::BCD: {
      auto* bcd = static_cast<db::TFMTBCDField*>(field);
      if (bcd->IsNull())
        value = rtl::Variant::Null();
      else
        value = FBCDToCurrency ? rtl::Variant::FromCurrency(bcd->AsCurrency()) : rtl::Variant(bcd->AsFloat());
      return;
    }
    case TValueKind::Large: {
      auto* large = static_cast<db::TLargeintField*>(field);
      if (large->IsNull())
        value = rtl::Variant::Null();
      else
        value = rtl::Variant(static_cast<rtl::Int64>(large->AsLargeInt()));
      return;
    }
    case TValueKind::Stamp: {
      auto* stamp = static_cast<db::TSQLTimeStampField*>(field);
      if (stamp->IsNull())
        value = rtl::Variant::Null();
      else
        value = rtl::Variant::FromDate(stamp->AsDateTime());
      return;
    }
    case TValueKind::Blob:
    case TValueKind::Plain:
      break;
  }
  if (kind == TValueKind::Blob || kind == TValueKind::BlobText) {
    auto* blob = static_cast<db::TBlobField*>(field);
    const db::TBlobType t = blob->BlobType();
    if (t == db::ftWideString || t == db::ftFixedWideChar || t == db::ftWideMemo)
      value = rtl::Variant(blob->AsWideString());
    else
      value = rtl::Variant(blob->AsString());
    return;
  }
  value = field->Value();
}

String TqvxDBDataset::GetDisplayText(const String& index) {
  OpenIfNeeded();
  if (!DataSetActive()) return QuotedName(index);
  if (FFields->Count() > 0) {
    bool found = false;
    db::TField* field = EntryField(index, found);
    if (!found) {
      const String text = qvxResources().Get(L"dbFldNotFound") + L" " + QuotedName(index);
      AddError(text);
      return text;
    }
    if (!field) return String();
    if (dynamic_cast<db::TWideStringField*>(field)) return rtl::VarToStr(field->Value());
    return field->DisplayText();
  }
  return FDS->FieldByName(index)->DisplayText();
}

namespace {
// The field definition of name, bringing the definitions up to date first; nullptr when that fails or none.
db::TFieldDef* DefinitionOf(db::TDataSet* ds, const String& name) {
  try {
    if (!ds->FieldDefs()->Updated()) ds->FieldDefs()->Update();
  } catch (const rtl::Exception&) {
  }
  return ds->FieldDefs()->FindDef(name);
}
}  // namespace

rtl::Integer TqvxDBDataset::GetDisplayWidth(const String& index) {
  if (!FDS) return 10;
  const String name = ConvertAlias(index);
  if (db::TField* field = FDS->FindField(name)) return field->DisplayWidth();
  db::TFieldDef* def = DefinitionOf(FDS, name);
  if (!def) return 10;
  switch (def->DataType) {
    case db::ftString:
    case db::ftWideString:
      return def->Size;
    case db::ftDateTime:
      return 20;
    case db::ftLargeint:
      return 15;
    default:
      return 10;
  }
}

TqvxFieldType TqvxDBDataset::GetFieldType(const String& index) {
  if (!FDS) return fftNumeric;
  const String name = ConvertAlias(index);
  db::TFieldType type = db::ftInteger;
  try {
    if (db::TField* field = FDS->FindField(name))
      type = field->DataType();
    else if (db::TFieldDef* def = DefinitionOf(FDS, name))
      type = def->DataType;
  } catch (const rtl::Exception&) {
    type = db::ftInteger;
  }
  switch (type) {
    case db::ftString:
    case db::ftMemo:
    case db::ftWideString:
      return fftString;
    case db::ftBoolean:
      return fftBoolean;
    case db::ftDate:
    case db::ftTime:
    case db::ftDateTime:
      return fftDateTime;
    default:
      return fftNumeric;
  }
}

void TqvxDBDataset::GetFieldList(rtl::TStrings* list) {
  list->Clear();
  if (FAliases->Count() > 0) {
    for (int i = 0; i < FAliases->Count(); ++i) {
      const String line = FAliases->Strings(i);
      if (!line.empty() && line[0] == L'-') continue;
      const size_t eq = line.find(L'=');
      list->Add(eq == String::npos ? String() : line.substr(eq + 1));
    }
    return;
  }
  if (!FDS) return;
  try {
    FDS->GetFieldNames(list);
    db::TFields* agg = FDS->AggFields();
    for (int i = 0; agg && i < agg->Count(); ++i) list->Add(agg->Fields(i)->FieldName());
  } catch (const rtl::Exception&) {
  }
}

bool TqvxDBDataset::IsBlobField(const String& fName) {
  OpenIfNeeded();
  bool found = false;
  db::TField* field = EntryField(fName, found);
  return field && field->IsBlob();
}

void TqvxDBDataset::AssignBlobTo(const String& fName, rtl::TObject* obj) {
  OpenIfNeeded();
  bool found = false;
  db::TField* field = EntryField(fName, found);
  if (!field || !field->IsBlob() || !obj) return;
  const bool wideMemo = dynamic_cast<db::TWideMemoField*>(field) != nullptr;
  if (auto* lines = dynamic_cast<TqvxWideStrings*>(obj)) {
    rtl::TMemoryStream stream;
    field->SaveToStream(&stream);
    stream.SetPosition(0);
    if (wideMemo) {
      lines->LoadFromWStream(stream);
    } else {
      rtl::TStringList list;
      list.LoadFromStream(stream);
      lines->Assign(&list);
    }
  } else if (auto* stream = dynamic_cast<rtl::TStream*>(obj)) {
    auto* text = dynamic_cast<rtl::TStringStream*>(stream);
    if (wideMemo && text)
      text->WriteString(field->AsWideString());
    else
      field->SaveToStream(stream);
    stream->SetPosition(0);
  }
}
