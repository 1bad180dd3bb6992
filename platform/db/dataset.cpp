#include "platform/db/dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/datasource.h"
#include "platform/db/dberrors.h"
#include "platform/db/filter.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

namespace db {

// Field definitions and field lists.

std::unique_ptr<TField> TFieldDef::CreateField(vcl::TComponent* owner) const {
  auto f = CreateFieldForType(DataType, owner);
  f->SetFieldName(Name);
  if (DataType == ftString || DataType == ftWideString || DataType == ftFixedChar || DataType == ftFixedWideChar ||
      DataType == ftFMTBcd || DataType == ftBCD)
    f->SetSize(Size);
  f->SetRequired(Required);
  if (ReadOnly) f->SetReadOnly(true);
  return f;
}

TFieldDef* TFieldDefs::FindDef(const String& name) const {
  int i = IndexOf(name);
  return i < 0 ? nullptr : items_[static_cast<size_t>(i)].get();
}

TFieldDef* TFieldDefs::Find(const String& name) const {
  TFieldDef* d = FindDef(name);
  if (!d) DatabaseError(L"Field '" + name + L"' not found", dataSet_ ? dataSet_->Name() : String());
  return d;
}

int TFieldDefs::IndexOf(const String& name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameName(items_[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

TFieldDef* TFieldDefs::Add(const String& name, TFieldType type, int size, bool required) {
  items_.push_back(std::make_unique<TFieldDef>(name, type, size, required, Count() + 1));
  return items_.back().get();
}

void TFieldDefs::Update() {
  if (!dataSet_) return;
  std::vector<TResultColumn> cols;
  dataSet_->InternalInitFieldDefs(cols);
  Clear();
  for (auto& c : cols) Add(c.name, c.type, c.size, c.required)->ReadOnly = c.readOnly;
  updated_ = true;
}

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count())
    throw rtl::EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return items_[static_cast<size_t>(index)];
}

int TFields::IndexOf(const TField* field) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == field) return static_cast<int>(i);
  return -1;
}

TField* TFields::FindField(const String& name) const {
  for (TField* f : items_)
    if (SameName(f->FieldName(), name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const String& name) const {
  TField* f = FindField(name);
  if (!f) DatabaseError(L"Field '" + name + L"' not found", dataSet_ ? dataSet_->Name() : String());
  return f;
}

void TFields::Remove(TField* field) { items_.erase(std::remove(items_.begin(), items_.end(), field), items_.end()); }

// Records.

TRecord& TRecord::operator=(TRecord&& other) {
  if (this == &other) return *this;
  if (other.packedCount_) {
    std::vector<FieldValue> cells(other.packedCount_);
    for (size_t c = 0; c < cells.size(); ++c) other.Unpack(c, cells[c]);
    values = std::move(cells);
  } else {
    values = std::move(other.values);
  }
  // What was packed behind this record stays allocated with it, unused, until the record goes.
  packedCount_ = 0;
  rowId = other.rowId;
  hasRowId = other.hasRowId;
  id = other.id;
  return *this;
}

std::uint32_t TRecord::End(size_t c) const {
  if (endBytes_ == 2) {
    std::uint16_t e;
    std::memcpy(&e, Ends() + c * 2, sizeof e);
    return e;
  }
  std::uint32_t e;
  std::memcpy(&e, Ends() + c * 4, sizeof e);
  return e;
}

void TRecord::Unpack(size_t c, FieldValue& out) const {
  const std::uint32_t begin = c ? End(c - 1) : 0;
  const char* data = Payload() + begin;
  const size_t bytes = End(c) - begin;
  switch (Kinds()[c]) {
    case kInteger: {
      // Little-endian, as few bytes as hold the value, sign-extended back.
      std::uint64_t v = bytes && (static_cast<unsigned char>(data[bytes - 1]) & 0x80) ? ~std::uint64_t{0} : 0;
      for (size_t i = bytes; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(data[i]);
      out = FieldValue::Integer(static_cast<Int64>(v));
      return;
    }
    case kReal: {
      double d;
      std::memcpy(&d, data, sizeof d);
      out = FieldValue::Real(d);
      return;
    }
    case kText: {
      String text;
      Utf8ToString(data, bytes, text);
      out = FieldValue::Text(std::move(text));
      return;
    }
    case kBytes: out = FieldValue::Bytes(std::string(data, bytes)); return;
    default: out = FieldValue(); return;
  }
}

TRecord TRecord::Copy() const {
  TRecord r;
  if (packedCount_) {
    r.values.resize(packedCount_);
    for (size_t c = 0; c < packedCount_; ++c) Unpack(c, r.values[c]);
  } else {
    r.values = values;
  }
  r.rowId = rowId;
  r.hasRowId = hasRowId;
  r.id = id;
  return r;
}

void TRecord::Packer::Start(size_t columns) {
  ends_.clear();
  kinds_.clear();
  payload_.clear();
  ends_.reserve(columns);
  kinds_.reserve(columns);
}

void TRecord::Packer::Integer(Int64 v) {
  unsigned char bytes[8];
  auto u = static_cast<std::uint64_t>(v);
  size_t n = 0;
  // Bytes are added until the rest is the sign extension of the last one.
  do {
    bytes[n++] = static_cast<unsigned char>(u);
    u = static_cast<std::uint64_t>(static_cast<Int64>(u) >> 8);
  } while (n < 8 && !((u == 0 && !(bytes[n - 1] & 0x80)) || (u == ~std::uint64_t{0} && (bytes[n - 1] & 0x80))));
  Add(kInteger, bytes, n);
}

void TRecord::Packer::Add(std::uint8_t kind, const void* data, size_t bytes) {
  // Offsets are kept in 32 bits: a row of 4 GB could not be held anyway.
  if (bytes > 0xFFFFFFFFu - payload_.size()) throw EDatabaseError(L"Row too large");
  if (bytes) payload_.append(static_cast<const char*>(data), bytes);
  ends_.push_back(static_cast<std::uint32_t>(payload_.size()));
  kinds_.push_back(kind);
}

std::unique_ptr<TRecord> TRecord::Packer::Make() const {
  if (kinds_.size() > 0xFFFFFFFFu) throw EDatabaseError(L"Too many columns");
  const size_t n = kinds_.size();
  const size_t endBytes = payload_.size() <= 0xFFFF ? 2 : 4;
  void* block = ::operator new(sizeof(TRecord) + n * (endBytes + 1) + payload_.size());
  std::unique_ptr<TRecord> r(::new (block) TRecord());
  r->packedCount_ = static_cast<std::uint32_t>(n);
  r->endBytes_ = static_cast<std::uint8_t>(endBytes);
  auto* at = reinterpret_cast<unsigned char*>(r.get() + 1);
  for (size_t c = 0; c < n; ++c, at += endBytes) {
    if (endBytes == 2) {
      auto e = static_cast<std::uint16_t>(ends_[c]);
      std::memcpy(at, &e, sizeof e);
    } else {
      std::memcpy(at, &ends_[c], sizeof ends_[c]);
    }
  }
  if (n) std::memcpy(at, kinds_.data(), n);
  if (!payload_.empty()) std::memcpy(at + n, payload_.data(), payload_.size());
  return r;
}

// The dataset.

TDataSet::TDataSet(vcl::TComponent* owner)
    : vcl::TComponent(owner),
      fields_(std::make_unique<TFields>()),
      fieldDefs_(std::make_unique<TFieldDefs>()),
      aggFields_(std::make_unique<TFields>()) {
  fields_->dataSet_ = this;
  aggFields_->dataSet_ = this;
  fieldDefs_->dataSet_ = this;
}

TDataSet::~TDataSet() {
  // Normally done in BeforeDestruction; a bare delete still must not leave links or fields pointing here.
  for (TField* f : fields_->items_)
    if (f->DataSet() == this) f->Bind(0);
  while (!dataSources_.empty()) dataSources_.back()->SetDataSet(nullptr);
  std::vector<TField*> persistent;
  for (TField* f : fields_->items_)
    if (std::none_of(ownFields_.begin(), ownFields_.end(), [f](auto& o) { return o.get() == f; }))
      persistent.push_back(f);
  for (TField* f : persistent) f->SetDataSet(nullptr);
}

void TDataSet::BeforeDestruction() {
  try {
    if (state_ != dsInactive) {
      // Closing on destruction discards a pending change, as closing a screen does.
      if (state_ == dsEdit || state_ == dsInsert) Cancel();
      DoClose();
    }
  } catch (...) {
  }
  while (!dataSources_.empty()) dataSources_.back()->SetDataSet(nullptr);
  vcl::TComponent::BeforeDestruction();
}

void TDataSet::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TComponent::Notification(component, operation);
}

TField* TDataSet::FieldByName(const String& name) const { return fields_->FieldByName(name); }

void TDataSet::GetFieldNames(rtl::TStrings* list) const {
  if (!list) return;
  list->BeginUpdate();
  try {
    list->Clear();
    for (const String& n : FieldNames()) list->Add(n);
  } catch (...) {
    list->EndUpdate();
    throw;
  }
  list->EndUpdate();
}

std::vector<String> TDataSet::FieldNames() const {
  std::vector<String> out;
  if (fields_->Count() == 0 && !Active()) {
    // A closed dataset without declared fields names the columns of its result.
    const_cast<TFieldDefs*>(fieldDefs_.get())->Update();
    for (auto& d : fieldDefs_->items_) out.push_back(d->Name);
    return out;
  }
  for (TField* f : fields_->items_) out.push_back(f->FieldName());
  return out;
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(L"Cannot perform this operation on a closed dataset", Name());
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(L"Cannot perform this operation on an open dataset", Name());
}

void TDataSet::CheckBrowse() const {
  CheckActive();
  if (state_ != dsBrowse) DatabaseError(L"Dataset not in browse mode", Name());
}

void TDataSet::AddField(TField* field) {
  CheckInactive();
  fields_->Add(field);
}

void TDataSet::RemoveField(TField* field) {
  fields_->Remove(field);
  aggFields_->Remove(field);
}

void TDataSet::AddDataSource(TDataSource* source) {
  if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end()) dataSources_.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) {
  dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), source), dataSources_.end());
}

void TDataSet::GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent* root) {
  for (TField* f : fields_->items_)
    if (f->Owner() == root) proc(f);
}

void TDataSet::SetChildOrder(vcl::TComponent* child, int order) {
  auto* f = dynamic_cast<TField*>(child);
  int i = fields_->IndexOf(f);
  if (i < 0 || order < 0) return;
  auto& v = fields_->items_;
  v.erase(v.begin() + i);
  v.insert(v.begin() + std::min<size_t>(static_cast<size_t>(order), v.size()), f);
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  modified_ = false;
  DataEvent(deUpdateState, 0);
}

void TDataSet::DataEvent(TDataEvent event, std::intptr_t info) {
  if (event == deFieldChange) {
    auto* f = reinterpret_cast<TField*>(info);
    if (f && f->OnChange) f->OnChange(f);
  }
  if (ControlsDisabled() && event != deUpdateState && event != deUpdateRecord) return;
  // A link's handler may detach a source while we walk the list.
  std::vector<TDataSource*> sources = dataSources_;
  for (TDataSource* s : sources)
    if (std::find(dataSources_.begin(), dataSources_.end(), s) != dataSources_.end()) s->DataEvent(event, info);
}

void TDataSet::EnableControls() {
  if (disableCount_ > 0 && --disableCount_ == 0) DataEvent(deDataSetChange, 0);
}

// Opening and closing.

void TDataSet::Loaded() {
  vcl::TComponent::Loaded();
  if (streamedActive_) {
    streamedActive_ = false;
    Open();
  }
}

void TDataSet::SetActive(bool value) {
  // A form resource sets Active before the connection and fields are read: open once everything is there.
  if (ComponentState().Contains(vcl::csLoading)) {
    streamedActive_ = value;
    return;
  }
  if (value == Active()) return;
  if (value) {
    if (BeforeOpen) BeforeOpen(this);
    DoOpen();
    if (AfterOpen) AfterOpen(this);
    if (AfterScroll) AfterScroll(this);
  } else {
    if (BeforeClose) BeforeClose(this);
    DoClose();
    if (AfterClose) AfterClose(this);
  }
}

void TDataSet::InternalInitFieldDefs(std::vector<TResultColumn>& columns) {
  std::vector<std::unique_ptr<TRecord>> rows;
  InternalOpen(columns, rows);
  InternalClose();
}

void TDataSet::DoOpen() {
  state_ = dsOpening;
  std::vector<TResultColumn> cols;
  std::vector<std::unique_ptr<TRecord>> rows;
  try {
    InternalOpen(cols, rows);
    fieldDefs_->Clear();
    for (auto& c : cols) fieldDefs_->Add(c.name, c.type, c.size, c.required)->ReadOnly = c.readOnly;
    fieldDefs_->updated_ = true;
    if (fields_->Count() == 0) {
      defaultFields_ = true;
      for (auto& d : fieldDefs_->items_) {
        auto f = d->CreateField(nullptr);
        f->SetDataSet(this);
        ownFields_.push_back(std::move(f));
      }
    }
    BindFields();
  } catch (...) {
    try {
      InternalClose();
    } catch (...) {
    }
    for (TField* f : fields_->items_) f->Bind(0);
    if (defaultFields_) {
      fields_->items_.clear();
      FreeOwnFields();
      defaultFields_ = false;
    }
    state_ = dsInactive;
    throw;
  }
  for (auto& r : rows) r->id = NextRecordId();
  rows_ = std::move(rows);
  NumberLoadedRows();
  ForgetReadCells();
  state_ = dsInactive;
  RebuildView(0);
  bof_ = true;
  eof_ = view_.empty();
  SetState(dsBrowse);
}

void TDataSet::BindFields() {
  for (TField* f : fields_->items_) {
    if (f->FieldKind() != fkData) continue;
    TFieldDef* d = fieldDefs_->FindDef(f->FieldName());
    if (!d) DatabaseError(L"Field '" + f->FieldName() + L"' not found", Name());
    f->Bind(d->FieldNo);
    if (defaultFields_ || f->DataType() == ftUnknown) f->SetDataTypeInternal(d->DataType);
    if (d->ReadOnly && defaultFields_) f->SetReadOnly(true);
  }
}

void TDataSet::DoClose() {
  ClearBuffers();
  try {
    InternalClose();
  } catch (...) {
  }
  rows_.clear();
  view_.clear();
  ForgetReadCells();
  cur_ = -1;
  display_ = -1;
  bof_ = eof_ = true;
  for (TField* f : fields_->items_) f->Bind(0);
  if (defaultFields_) {
    fields_->items_.clear();
    FreeOwnFields();
    defaultFields_ = false;
  }
  SetState(dsInactive);
}

void TDataSet::FreeOwnFields() {
  // Components are freed with Free so free notifications reach whoever still refers to them.
  for (auto& f : ownFields_) f.release()->Free();
  ownFields_.clear();
}

void TDataSet::ClearBuffers() {
  if (pending_) {
    view_.erase(std::remove(view_.begin(), view_.end(), pending_.get()), view_.end());
    pending_.reset();
  }
  editBuffer_ = TRecord();
  modified_ = false;
}

// The current record and its values.

TRecord* TDataSet::DisplayRecord() const {
  int i = display_ >= 0 ? display_ : cur_;
  if (i < 0 || i >= static_cast<int>(view_.size())) return nullptr;
  if (state_ == dsEdit && i == cur_) return const_cast<TRecord*>(&editBuffer_);
  return view_[static_cast<size_t>(i)];
}

const FieldValue& TDataSet::ActiveValue(int column) const {
  static const FieldValue null;
  TRecord* r = DisplayRecord();
  if (!r || column < 0 || static_cast<size_t>(column) >= r->CellCount()) return null;
  const auto c = static_cast<size_t>(column);
  if (!r->Packed()) return r->values[c];
  if (readCells_.size() <= c) {
    readCells_.resize(c + 1);
    readCellIds_.resize(c + 1, 0);
  }
  if (readCellIds_[c] != r->id) {
    r->Unpack(c, readCells_[c]);
    readCellIds_[c] = r->id;
  }
  return readCells_[c];
}

void TDataSet::ForgetReadCells() {
  readCells_.clear();
  readCellIds_.clear();
  columnCells_.clear();
}

void TDataSet::NumberLoadedRows() {
  if (rows_.size() > 0xFFFFFFFFu) DatabaseError(L"Too many rows", Name());
  for (size_t i = 0; i < rows_.size(); ++i) rows_[i]->loadIndex = static_cast<std::uint32_t>(i);
}

const std::vector<FieldValue>& TDataSet::ColumnCells(size_t column) {
  if (columnCells_.size() <= column) columnCells_.resize(column + 1);
  auto& cells = columnCells_[column];
  if (cells.empty()) {
    size_t n = 0;
    for (auto& r : rows_)
      if (r->Packed()) n = std::max<size_t>(n, r->loadIndex + size_t{1});
    cells.resize(n);
    for (auto& r : rows_)
      if (r->Packed() && column < r->CellCount()) r->Unpack(column, cells[r->loadIndex]);
  }
  return cells;
}

void TDataSet::SetFieldValue(TField* field, FieldValue value) {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError(L"Dataset not in edit or insert mode", Name());
  if (field->ReadOnly() && field->FieldKind() == fkData)
    DatabaseError(L"Field '" + field->DisplayName() + L"' cannot be modified", Name());
  if (field->FieldNo() <= 0) DatabaseError(L"Field '" + field->DisplayName() + L"' is not bound", Name());
  TRecord* r = state_ == dsEdit ? &editBuffer_ : pending_.get();
  auto& cell = r->values[static_cast<size_t>(field->FieldNo() - 1)];
  if (field->OnValidate) {
    FieldValue old = std::move(cell);
    cell = std::move(value);
    try {
      field->OnValidate(field);
    } catch (...) {
      cell = std::move(old);
      throw;
    }
  } else {
    cell = std::move(value);
  }
  modified_ = true;
  DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(field));
}

// Filtering.

bool TDataSet::RecordMatches(const TRecord& record) const {
  if (!filtered_ || !filterExpr_) return true;
  FieldValue scratch;
  return filterExpr_->Matches([&](int c) -> const FieldValue& { return record.Cell(static_cast<size_t>(c), scratch); },
                              record.CellCount());
}

void TDataSet::RebuildView(std::uint64_t keepId) {
  std::vector<TRecord*> view;
  view.reserve(rows_.size());
  if (filtered_ && filterExpr_) {
    // Column names are looked up once per pass, not once per row.
    std::vector<size_t> tested;
    filterExpr_->Bind([this, &tested](const String& column, int& index, TFieldType& type) {
      index = fieldDefs_->IndexOf(column);
      if (index < 0) return false;
      type = fieldDefs_->items_[static_cast<size_t>(index)]->DataType;
      tested.push_back(static_cast<size_t>(index));
      return true;
    });
    for (size_t c : tested) ColumnCells(c);
    const TRecord* row = nullptr;
    FieldValue scratch;
    const FilterExpression::CellAt cell = [&](int index) -> const FieldValue& {
      auto c = static_cast<size_t>(index);
      if (row->Packed() && c < columnCells_.size() && row->loadIndex < columnCells_[c].size())
        return columnCells_[c][row->loadIndex];
      return row->Cell(c, scratch);
    };
    for (auto& r : rows_) {
      row = r.get();
      if (filterExpr_->Matches(cell, row->CellCount())) view.push_back(r.get());
    }
  } else {
    for (auto& r : rows_) view.push_back(r.get());
  }
  view_ = std::move(view);
  cur_ = view_.empty() ? -1 : 0;
  if (keepId)
    for (size_t i = 0; i < view_.size(); ++i)
      if (view_[i]->id == keepId) cur_ = static_cast<int>(i);
}

void TDataSet::SetFilter(const String& text) {
  if (text == filter_) return;
  std::unique_ptr<FilterExpression> expr;
  if (!rtl::Trim(text).empty()) expr = std::make_unique<FilterExpression>(text);
  if (filtered_ && Active()) CheckBrowseMode();
  String oldText = filter_;
  std::swap(filterExpr_, expr);
  filter_ = text;
  // A filter not in force changes no record shown: the view is rebuilt when it comes into force.
  if (!filtered_) return;
  try {
    ApplyFilter();
  } catch (...) {
    // A filter that names no column leaves the previous one in force.
    std::swap(filterExpr_, expr);
    filter_ = oldText;
    throw;
  }
}

void TDataSet::SetFiltered(bool value) {
  if (value == filtered_) return;
  if (Active()) CheckBrowseMode();
  filtered_ = value;
  try {
    ApplyFilter();
  } catch (...) {
    filtered_ = !value;
    throw;
  }
}

void TDataSet::ApplyFilter() {
  if (!Active()) return;
  RebuildView(0);
  bof_ = true;
  eof_ = view_.empty();
  DataEvent(deDataSetChange, 0);
}

// Navigation.

void TDataSet::MoveTo(int index, bool notify) {
  int old = cur_;
  if (BeforeScroll) BeforeScroll(this);
  cur_ = index;
  display_ = -1;
  if (notify) DataEvent(deDataSetScroll, cur_ - old);
  if (AfterScroll) AfterScroll(this);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  MoveTo(view_.empty() ? -1 : 0);
  bof_ = true;
  eof_ = view_.empty();
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  MoveTo(static_cast<int>(view_.size()) - 1);
  eof_ = true;
  bof_ = view_.empty();
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
  CheckActive();
  CheckBrowseMode();
  if (distance == 0) return 0;
  int n = static_cast<int>(view_.size());
  int target = cur_ + distance;
  int moved;
  if (target >= n) {
    moved = n - 1 - cur_;
    MoveTo(n - 1);
    eof_ = true;
    bof_ = n == 0;
  } else if (target < 0) {
    moved = -cur_;
    MoveTo(n == 0 ? -1 : 0);
    bof_ = true;
    eof_ = n == 0;
  } else {
    moved = distance;
    MoveTo(target);
    bof_ = eof_ = false;
  }
  return moved;
}

int TDataSet::RecNo() const {
  if (!Active() || cur_ < 0) return 0;
  if (state_ == dsInsert) return -1;
  return cur_ + 1;
}

void TDataSet::SetRecNo(int recNo) {
  CheckActive();
  CheckBrowseMode();
  if (recNo < 1 || recNo > static_cast<int>(view_.size())) return;
  MoveTo(recNo - 1);
  bof_ = eof_ = false;
}

int TDataSet::RecordCount() const {
  if (!Active()) return 0;
  return static_cast<int>(view_.size()) - (pending_ ? 1 : 0);
}

// Bookmarks: the record's id as bytes.

TBookmark TDataSet::GetBookmark() const {
  TBookmark b;
  if (!Active() || cur_ < 0 || state_ == dsInsert) return b;
  std::uint64_t id = view_[static_cast<size_t>(cur_)]->id;
  b.resize(sizeof id);
  std::memcpy(b.data(), &id, sizeof id);
  return b;
}

namespace {
std::uint64_t BookmarkId(const TBookmark& b) {
  std::uint64_t id = 0;
  if (b.size() == sizeof id) std::memcpy(&id, b.data(), sizeof id);
  return id;
}
}  // namespace

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  std::uint64_t id = BookmarkId(bookmark);
  return id && std::any_of(view_.begin(), view_.end(), [id](TRecord* r) { return r->id == id; });
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckActive();
  std::uint64_t id = BookmarkId(bookmark);
  auto it = std::find_if(view_.begin(), view_.end(), [id](TRecord* r) { return r->id == id; });
  if (!id || it == view_.end()) DatabaseError(L"Record not found", Name());
  CheckBrowseMode();
  MoveTo(static_cast<int>(it - view_.begin()));
  bof_ = eof_ = false;
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
  std::uint64_t ia = BookmarkId(a), ib = BookmarkId(b);
  if (ia == ib) return 0;
  if (!ia) return -1;
  if (!ib) return 1;
  auto pos = [this](std::uint64_t id) -> long {
    for (size_t i = 0; i < rows_.size(); ++i)
      if (rows_[i]->id == id) return static_cast<long>(i);
    return -1;
  };
  long pa = pos(ia), pb = pos(ib);
  return pa < pb ? -1 : (pa > pb ? 1 : 0);
}

// Editing.

void TDataSet::BeginInsertAt(int index) {
  auto r = std::make_unique<TRecord>();
  r->values.resize(static_cast<size_t>(fieldDefs_->Count()));
  r->id = NextRecordId();
  beforeInsert_ = cur_;
  view_.insert(view_.begin() + index, r.get());
  pending_ = std::move(r);
  cur_ = index;
  display_ = -1;
  bof_ = eof_ = false;
  SetState(dsInsert);
  DataEvent(deDataSetChange, 0);
  try {
    if (OnNewRecord) OnNewRecord(this);
  } catch (...) {
    Cancel();
    throw;
  }
  modified_ = false;
}

void TDataSet::Insert() {
  CheckActive();
  CheckBrowseMode();
  if (!CanModify()) DatabaseError(L"Cannot modify a read-only dataset", Name());
  if (BeforeInsert) BeforeInsert(this);
  BeginInsertAt(cur_ < 0 ? 0 : cur_);
  if (AfterInsert) AfterInsert(this);
}

void TDataSet::Append() {
  CheckActive();
  CheckBrowseMode();
  if (!CanModify()) DatabaseError(L"Cannot modify a read-only dataset", Name());
  if (BeforeInsert) BeforeInsert(this);
  BeginInsertAt(static_cast<int>(view_.size()));
  eof_ = true;
  if (AfterInsert) AfterInsert(this);
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  CheckActive();
  if (!CanModify()) DatabaseError(L"Cannot modify a read-only dataset", Name());
  if (view_.empty()) {
    Insert();
    return;
  }
  if (BeforeEdit) BeforeEdit(this);
  editBuffer_ = view_[static_cast<size_t>(cur_)]->Copy();
  display_ = -1;
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  if (AfterEdit) AfterEdit(this);
}

void TDataSet::UpdateRecord() {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError(L"Dataset not in edit or insert mode", Name());
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::Post() {
  UpdateRecord();
  if (BeforePost) BeforePost(this);
  for (TField* f : fields_->items_)
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull())
      DatabaseError(L"Field '" + f->DisplayName() + L"' must have a value", Name());
  if (state_ == dsEdit) {
    // The store is written from the edit buffer; the row takes it only after the store has accepted it.
    TRecord* row = view_[static_cast<size_t>(cur_)];
    InternalPost(editBuffer_, row);
    *row = std::move(editBuffer_);
    editBuffer_ = TRecord();
  } else if (state_ == dsInsert) {
    InternalPost(*pending_, nullptr);
    // Keep the new row where it is shown: before the row that follows it in the view.
    TRecord* next = cur_ + 1 < static_cast<int>(view_.size()) ? view_[static_cast<size_t>(cur_ + 1)] : nullptr;
    auto at =
        next ? std::find_if(rows_.begin(), rows_.end(), [next](auto& r) { return r.get() == next; }) : rows_.end();
    rows_.insert(at, std::move(pending_));
  } else {
    DatabaseError(L"Dataset not in edit or insert mode", Name());
  }
  SetState(dsBrowse);
  DataEvent(deDataSetChange, 0);
  if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  if (BeforeCancel) BeforeCancel(this);
  if (state_ == dsInsert) {
    int at = cur_;
    view_.erase(view_.begin() + at);
    pending_.reset();
    int n = static_cast<int>(view_.size());
    cur_ = beforeInsert_ >= 0 && beforeInsert_ < n ? beforeInsert_ : (n ? std::min(at, n - 1) : -1);
    bof_ = cur_ <= 0;
    eof_ = n == 0;
  }
  editBuffer_ = TRecord();
  display_ = -1;
  SetState(dsBrowse);
  DataEvent(deDataSetChange, 0);
  if (AfterCancel) AfterCancel(this);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (view_.empty()) DatabaseError(L"Cannot perform this operation on an empty dataset", Name());
  if (!CanModify()) DatabaseError(L"Cannot modify a read-only dataset", Name());
  if (BeforeDelete) BeforeDelete(this);
  if (state_ == dsEdit) {
    editBuffer_ = TRecord();
    state_ = dsBrowse;
  }
  TRecord* r = view_[static_cast<size_t>(cur_)];
  InternalDelete(*r);
  view_.erase(view_.begin() + cur_);
  rows_.erase(std::find_if(rows_.begin(), rows_.end(), [r](auto& p) { return p.get() == r; }));
  int n = static_cast<int>(view_.size());
  if (cur_ >= n) cur_ = n - 1;
  eof_ = n == 0;
  bof_ = n == 0;
  SetState(dsBrowse);
  DataEvent(deDataSetChange, 0);
  if (AfterDelete) AfterDelete(this);
  if (AfterScroll) AfterScroll(this);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (state_ == dsEdit || state_ == dsInsert) {
    UpdateRecord();
    if (modified_)
      Post();
    else
      Cancel();
  }
}

void TDataSet::Refresh() {
  CheckActive();
  CheckBrowseMode();
  if (BeforeRefresh) BeforeRefresh(this);
  std::uint64_t keep = cur_ >= 0 ? view_[static_cast<size_t>(cur_)]->id : 0;
  // Rows are matched to the old ones by row id, or else by position, so bookmarks and the current record hold.
  std::vector<std::pair<Int64, std::uint64_t>> idsByRow;
  for (auto& r : rows_)
    if (r->hasRowId) idsByRow.emplace_back(r->rowId, r->id);
  Int64 keepRow = 0;
  bool keepHasRow = false;
  int keepPos = cur_;
  for (auto& r : rows_)
    if (r->id == keep) keepRow = r->rowId, keepHasRow = r->hasRowId;
  std::vector<TResultColumn> cols;
  std::vector<std::unique_ptr<TRecord>> rows;
  InternalClose();
  InternalOpen(cols, rows);
  for (auto& r : rows) {
    r->id = 0;
    if (r->hasRowId)
      for (auto& p : idsByRow)
        if (p.first == r->rowId) r->id = p.second;
    if (!r->id) r->id = NextRecordId();
  }
  rows_ = std::move(rows);
  NumberLoadedRows();
  // Rows read again keep their ids: what was read from them before is stale.
  ForgetReadCells();
  std::uint64_t keepNew = 0;
  if (keepHasRow) {
    for (auto& r : rows_)
      if (r->hasRowId && r->rowId == keepRow) keepNew = r->id;
  }
  RebuildView(keepNew);
  if (!keepNew && keepPos >= 0 && !view_.empty()) cur_ = std::min(keepPos, static_cast<int>(view_.size()) - 1);
  bof_ = cur_ <= 0;
  eof_ = view_.empty();
  display_ = -1;
  DataEvent(deDataSetChange, 0);
  if (AfterRefresh) AfterRefresh(this);
}

}  // namespace db
