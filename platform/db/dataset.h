#pragma once
// Datasets: a client-side cursor over the rows of a result, with the platform's states and editing protocol.
//
// All rows are loaded when the dataset opens (the client cursor). Editing happens in a record buffer; Post hands
// the buffer to the store (InternalPost) and only then does the row change, so a failing post leaves the record in
// edit with nothing written. Data sources hear of every change through DataEvent and pass it on to their links.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/db/fields.h"
#include "platform/vcl/component.h"
#include "platform/vcl/events.h"

namespace rtl {
class TStrings;
}

namespace db {

class TDataSet;
class TDataSource;
class FilterExpression;

using TDataSetNotifyEvent = vcl::TEvent<void(TDataSet* DataSet)>;

// One column of the dataset's result as the store describes it.
class TFieldDef : public rtl::TPersistent {
public:
  TFieldDef(const String& name, TFieldType type, int size, bool required, int fieldNo)
      : Name(name), DataType(type), Size(size), Required(required), FieldNo(fieldNo) {}
  String ClassName() const override { return L"TFieldDef"; }
  String Name;
  TFieldType DataType;
  int Size;
  bool Required;
  int FieldNo;  // 1-based
  bool ReadOnly = false;
  // A field object of the matching class, owned by owner, not yet attached to any dataset.
  std::unique_ptr<TField> CreateField(vcl::TComponent* owner) const;
};

class TFieldDefs : public rtl::TPersistent {
public:
  String ClassName() const override { return L"TFieldDefs"; }
  int Count() const { return static_cast<int>(items_.size()); }
  TFieldDef* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TFieldDef* operator[](int index) const { return Items(index); }
  // nullptr when absent.
  TFieldDef* FindDef(const String& name) const;
  // Raises EDatabaseError ("Field 'x' not found") when absent.
  TFieldDef* Find(const String& name) const;
  int IndexOf(const String& name) const;
  void Clear() { items_.clear(); }
  TFieldDef* Add(const String& name, TFieldType type, int size = 0, bool required = false);
  bool Updated() const { return updated_; }
  void SetUpdated(bool v) { updated_ = v; }
  // Brings the definitions up to date with the dataset's result (asks the dataset to describe it).
  void Update();

private:
  friend class TDataSet;
  TDataSet* dataSet_ = nullptr;
  std::vector<std::unique_ptr<TFieldDef>> items_;
  bool updated_ = false;
};

class TFields : public rtl::TObject {
public:
  String ClassName() const override { return L"TFields"; }
  int Count() const { return static_cast<int>(items_.size()); }
  TField* Fields(int index) const;
  TField* operator[](int index) const { return Fields(index); }
  int IndexOf(const TField* field) const;
  TField* FindField(const String& name) const;
  TField* FieldByName(const String& name) const;
  void Add(TField* field) { items_.push_back(field); }
  void Remove(TField* field);
  const std::vector<TField*>& Items() const { return items_; }

private:
  friend class TDataSet;
  std::vector<TField*> items_;
  TDataSet* dataSet_ = nullptr;
};

// A row of the client cursor. The row itself holds the values as the store last saw them; an edit works on a copy
// (the edit buffer), so what an update changes is what differs between the two.
//
// A row as the store loads it keeps its cells packed in the memory it was allocated with, one allocation per row:
// numbers as they are, text as the store's UTF-8, bytes as they are. A cell becomes a FieldValue only when it is
// read. Making a string and a variant of every cell at open would cost most of the open (10,000 rows of 49 columns
// are half a million cells, of which a screen reads a few). A row written by a post takes the edit buffer's values
// and is packed no longer.
struct TRecord {
  std::vector<FieldValue> values;  // the cells of a row that is not packed
  Int64 rowId = 0;
  std::uint64_t id = 0;         // unique within the dataset: what bookmarks name
  std::uint32_t loadIndex = 0;  // a packed row's place among the rows loaded with it
  bool hasRowId = false;

  TRecord() = default;
  // Moving takes the source's cells (unpacked when the source is packed); the target's packed cells are dropped.
  TRecord(TRecord&& other) { *this = std::move(other); }
  TRecord& operator=(TRecord&& other);
  TRecord(const TRecord&) = delete;
  TRecord& operator=(const TRecord&) = delete;
  // A packed row is allocated with its cells; these keep every row's memory one block for new and delete alike.
  static void* operator new(size_t size) { return ::operator new(size); }
  static void operator delete(void* p) { ::operator delete(p); }

  bool Packed() const { return packedCount_ != 0; }
  size_t CellCount() const { return packedCount_ ? packedCount_ : values.size(); }
  // Cell c (below CellCount): the value itself in a row that is not packed, else scratch made from the packed cell.
  const FieldValue& Cell(size_t c, FieldValue& scratch) const {
    if (!packedCount_) return values[c];
    Unpack(c, scratch);
    return scratch;
  }
  void Unpack(size_t c, FieldValue& out) const;
  // The row's values, unpacked, with its identity (the edit buffer of an edit).
  TRecord Copy() const;

  // Builds packed rows one after the other, keeping its buffers between rows.
  class Packer {
  public:
    void Start(size_t columns);
    void Null() { Add(kNull, nullptr, 0); }
    void Integer(Int64 v);
    void Real(double v) { Add(kReal, &v, sizeof v); }
    void Text(const char* utf8, size_t bytes) { Add(kText, utf8, bytes); }
    void Bytes(const void* data, size_t bytes) { Add(kBytes, data, bytes); }
    size_t Count() const { return kinds_.size(); }
    // A row holding the cells added since Start.
    std::unique_ptr<TRecord> Make() const;

  private:
    void Add(std::uint8_t kind, const void* data, size_t bytes);
    std::vector<std::uint32_t> ends_;  // where each cell's bytes end in payload_
    std::vector<std::uint8_t> kinds_;
    std::string payload_;  // integers in as few bytes as hold them, reals as 8, text as UTF-8, bytes as they are
  };

private:
  enum : std::uint8_t { kNull, kInteger, kReal, kText, kBytes };
  // Behind the record: where each cell ends in the payload (in 2 bytes when the payload is below 64 KB, else 4), the
  // cells' kinds, then the payload. The memory a row holds is most of what loading costs.
  const unsigned char* Ends() const { return reinterpret_cast<const unsigned char*>(this + 1); }
  const std::uint8_t* Kinds() const { return Ends() + size_t{packedCount_} * endBytes_; }
  const char* Payload() const { return reinterpret_cast<const char*>(Kinds() + packedCount_); }
  std::uint32_t End(size_t c) const;

  std::uint32_t packedCount_ = 0;  // cells packed behind the record; 0 when values holds them
  std::uint8_t endBytes_ = 4;
};

// A column of a result as the store reports it.
struct TResultColumn {
  String name;
  TFieldType type = ftUnknown;
  int size = 0;
  bool required = false;
  bool readOnly = false;
};

class TDataSet : public vcl::TComponent {
  VCL_CLASS(TDataSet, vcl::TComponent)
  explicit TDataSet(vcl::TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive && state_ != dsOpening; }
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  // A field of the record being edited or inserted has been changed.
  bool Modified() const { return modified_; }
  virtual bool CanModify() const { return true; }
  bool IsEmpty() const { return RecordCount() == 0 && state_ != dsInsert; }

  TFields* Fields() const { return fields_.get(); }
  TFieldDefs* FieldDefs() const { return fieldDefs_.get(); }
  TFields* AggFields() const { return aggFields_.get(); }
  int FieldCount() const { return fields_->Count(); }
  TField* FieldByName(const String& name) const;
  TField* FindField(const String& name) const { return fields_->FindField(name); }
  void GetFieldNames(rtl::TStrings* list) const;
  std::vector<String> FieldNames() const;
  // The fields were made by the dataset (no persistent fields were declared).
  bool DefaultFields() const { return defaultFields_; }

  // Editing.
  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Posts a pending change, re-reads every row, and stays on the same record where it still exists.
  void Refresh();
  // Posts a modified pending record, cancels an unmodified one.
  void CheckBrowseMode();
  // Lets the data links hand their pending text to the fields.
  void UpdateRecord();

  // Navigation. Eof and Bof are set by a move that runs into the end.
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  // 1-based; 0 when there is no record.
  int RecNo() const;
  void SetRecNo(int recNo);
  // Records in the (filtered) result; a record being inserted is not counted until posted.
  int RecordCount() const;

  TBookmark GetBookmark() const;
  TBookmark Bookmark() const { return GetBookmark(); }
  void SetBookmark(const TBookmark& b) { GotoBookmark(b); }
  void GotoBookmark(const TBookmark& bookmark);
  void FreeBookmark(TBookmark& bookmark) const { bookmark.clear(); }
  bool BookmarkValid(const TBookmark& bookmark) const;
  // -1, 0 or 1 by the records' order; an empty bookmark sorts first.
  int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

  const String& Filter() const { return filter_; }
  void SetFilter(const String& text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool value);

  void DisableControls() { ++disableCount_; }
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost;
  TDataSetNotifyEvent BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh, OnNewRecord;

  // Used by fields, data sources and links.
  const FieldValue& ActiveValue(int column) const;
  void SetFieldValue(TField* field, FieldValue value);
  void DataEvent(TDataEvent event, std::intptr_t info);
  void AddField(TField* field);
  void RemoveField(TField* field);
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);
  // The record window of data links: the position of the current record among the records, their count, and a
  // temporary switch of the record the fields show (-1 returns to the current record).
  int CurrentIndex() const { return cur_; }
  int ViewCount() const { return static_cast<int>(view_.size()); }
  void SetDisplayRecord(int index) { display_ = index; }

  // Streaming: persistent fields are this dataset's children in a form resource.
  void GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent* root) override;
  void SetChildOrder(vcl::TComponent* child, int order) override;

protected:
  // The store's part. InternalOpen describes the result and loads every row; InternalPost writes the record
  // (inserting when stored is null, else updating what differs from the stored row, keyed by its rowId) and fills in
  // what the store assigned; InternalDelete removes it. Each raises on failure and must then leave the store and
  // the record unchanged.
  virtual void InternalOpen(std::vector<TResultColumn>& columns, std::vector<std::unique_ptr<TRecord>>& rows) = 0;
  virtual void InternalClose() {}
  virtual void InternalPost(TRecord& record, const TRecord* stored) = 0;
  virtual void InternalDelete(TRecord& record) = 0;
  // Describes the result without loading rows (field definitions of a closed dataset).
  virtual void InternalInitFieldDefs(std::vector<TResultColumn>& columns);

  void CheckActive() const;
  void CheckInactive() const;
  void CheckBrowse() const;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  std::uint64_t NextRecordId() { return ++lastId_; }

private:
  friend class TFieldDefs;
  void DoOpen();
  void DoClose();
  void BindFields();
  void SetState(TDataSetState state);
  void RebuildView(std::uint64_t keepId);
  void ApplyFilter();
  bool RecordMatches(const TRecord& record) const;
  TRecord* DisplayRecord() const;
  void MoveTo(int index, bool notify = true);
  void BeginInsertAt(int index);
  void ClearBuffers();
  void FreeOwnFields();
  void ForgetReadCells();
  void NumberLoadedRows();
  const std::vector<FieldValue>& ColumnCells(size_t column);

  TDataSetState state_ = dsInactive;
  std::unique_ptr<TFields> fields_;
  std::unique_ptr<TFieldDefs> fieldDefs_;
  std::unique_ptr<TFields> aggFields_;
  std::vector<std::unique_ptr<TField>> ownFields_;  // default fields made at Open
  bool defaultFields_ = false;
  std::vector<TDataSource*> dataSources_;

  std::vector<std::unique_ptr<TRecord>> rows_;
  std::vector<TRecord*> view_;
  int cur_ = -1;
  int display_ = -1;
  bool bof_ = true, eof_ = true;
  bool modified_ = false;
  TRecord editBuffer_;
  std::unique_ptr<TRecord> pending_;  // the record being inserted (also in view_)
  int beforeInsert_ = -1;
  std::uint64_t lastId_ = 0;

  // Cells of packed rows, made into values as the fields read them: one per column, of the row whose id is beside
  // it. A value read stays valid until the same column is read from another row.
  mutable std::vector<FieldValue> readCells_;
  mutable std::vector<std::uint64_t> readCellIds_;
  // Whole columns of the packed rows made into values (by loadIndex), for the columns a filter tests: a search
  // filters every row again on each keystroke, and a packed row's cells never change.
  std::vector<std::vector<FieldValue>> columnCells_;

  String filter_;
  bool filtered_ = false;
  std::unique_ptr<FilterExpression> filterExpr_;
  int disableCount_ = 0;
  bool streamedActive_ = false;
};

}  // namespace db
