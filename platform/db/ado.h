#pragma once
// ADO-style components over SQLite: a connection naming the database file, and table and query datasets that load
// their rows client-side and write through INSERT, UPDATE and DELETE with bound values.
//
// The connection string's "Data Source=" names the file. A name ending in ".mdb" is taken as the SQLite file of
// the same name ending in ".db" whenever that file exists (so the screens' "tavrel.mdb" opens tavrel.db); otherwise
// the name is opened as given. A missing file is an error: the program never creates a database.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/db/sqlite.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/component.h"

namespace db {

class TCustomADODataSet;

VCL_ENUM(TCursorType, ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic)
VCL_ENUM(TCursorLocation, clUseServer, clUseClient)
VCL_ENUM(TADOLockType, ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic)

class TADOConnection : public vcl::TComponent {
  VCL_CLASS(TADOConnection, vcl::TComponent)
  explicit TADOConnection(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  ~TADOConnection() override;
  void BeforeDestruction() override;
  void Loaded() override;

  const String& ConnectionString() const { return connectionString_; }
  void SetConnectionString(const String& s);
  // No prompt is ever shown; the property is kept for the screens that set it.
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool v) { loginPrompt_ = v; }
  bool Connected() const { return db_.IsOpen(); }
  void SetConnected(bool v);
  void Open();
  void Close();
  // The file the connection opens (after the ".mdb" rule), resolved from the connection string.
  String FileName() const;
  // Runs a statement that returns no rows; answers the number of rows it changed.
  int Execute(const String& commandText);
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const { return inTransaction_; }

  int DataSetCount() const { return static_cast<int>(dataSets_.size()); }
  TCustomADODataSet* DataSets(int index) const { return dataSets_.at(static_cast<size_t>(index)); }

  vcl::TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

  // The value of a key of a connection string ("Data Source"), quotes removed; empty when absent.
  static String ConnectionStringValue(const String& connectionString, const String& key);
  // The ".mdb" rule above.
  static String ResolveDataSourceFile(const String& dataSource);

  SqliteDatabase& Database();
  void RegisterDataSet(TCustomADODataSet* ds);
  void UnregisterDataSet(TCustomADODataSet* ds);

private:
  String connectionString_;
  bool loginPrompt_ = true;
  bool streamedConnected_ = false;
  bool inTransaction_ = false;
  SqliteDatabase db_;
  std::vector<TCustomADODataSet*> dataSets_;
};

class TCustomADODataSet : public TDataSet {
  VCL_CLASS(TCustomADODataSet, TDataSet)
  explicit TCustomADODataSet(vcl::TComponent* owner) : TDataSet(owner) {}
  ~TCustomADODataSet() override;
  void BeforeDestruction() override;

  TADOConnection* Connection() const { return connection_; }
  void SetConnection(TADOConnection* c);
  TCursorType CursorType() const { return cursorType_; }
  void SetCursorType(TCursorType t) { cursorType_ = t; }
  TCursorLocation CursorLocation() const { return cursorLocation_; }
  void SetCursorLocation(TCursorLocation l) { cursorLocation_ = l; }
  TADOLockType LockType() const { return lockType_; }
  void SetLockType(TADOLockType l) { lockType_ = l; }
  bool CanModify() const override;

protected:
  // The statement that produces the rows, and the table that posts write to (empty: read-only).
  virtual String SelectStatement() const = 0;
  virtual String BaseTable() const = 0;
  virtual bool ReadOnlyDataSet() const { return false; }

  void InternalOpen(std::vector<TResultColumn>& columns, std::vector<std::unique_ptr<TRecord>>& rows) override;
  void InternalClose() override;
  void InternalPost(TRecord& record, const TRecord* stored) override;
  void InternalDelete(TRecord& record) override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
  SqliteDatabase& OpenDatabase();
  String WritableName(size_t column) const;
  void InsertRow(SqliteDatabase& db, TRecord& record);
  void UpdateRow(SqliteDatabase& db, TRecord& record, const TRecord& stored);
  // A statement of this dataset's, prepared once per key while the dataset is open (build makes its text).
  SqliteStatement& Statement(SqliteDatabase& db, const std::string& key, const std::function<String()>& build);

  TADOConnection* connection_ = nullptr;
  TCursorType cursorType_ = ctKeyset;
  TCursorLocation cursorLocation_ = clUseClient;
  TADOLockType lockType_ = ltOptimistic;
  // For each result column: the table column it writes to (empty for read-only columns).
  std::vector<String> writeColumns_;
  std::vector<bool> autoIncrement_;
  // For each result column: the table column it comes from (also for the auto-number), else empty.
  std::vector<String> tableColumns_;
  // For each result column: the row id itself (an INTEGER PRIMARY KEY), and the table's default for it: none, a
  // constant (in defaults_, worked out once at open) or an expression the store evaluates on each insert.
  enum DefaultKind : char { kNoDefault, kConstantDefault, kComputedDefault };
  std::vector<bool> rowIdAlias_;
  std::vector<DefaultKind> defaultKinds_;
  std::vector<FieldValue> defaults_;
  bool hasRowIdColumn_ = false;
  String openedTable_;
  std::map<std::string, std::unique_ptr<SqliteStatement>> statements_;
  // Kept between posts so that a post allocates nothing of its own.
  std::string key_;
  std::vector<size_t> given_, readBack_, constant_;
};

class TADOTable : public TCustomADODataSet {
  VCL_CLASS(TADOTable, TCustomADODataSet)
  explicit TADOTable(vcl::TComponent* owner) : TCustomADODataSet(owner) {}
  const String& TableName() const { return tableName_; }
  void SetTableName(const String& name);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }

protected:
  String SelectStatement() const override;
  String BaseTable() const override { return tableName_; }
  bool ReadOnlyDataSet() const override { return readOnly_; }

private:
  String tableName_;
  bool readOnly_ = false;
};

class TADOQuery : public TCustomADODataSet {
  VCL_CLASS(TADOQuery, TCustomADODataSet)
  explicit TADOQuery(vcl::TComponent* owner);
  ~TADOQuery() override;
  // The statement, one line per entry. Changing it closes an open query, as the platform does.
  rtl::TStrings* SQL() const;
  void SetSQL(rtl::TStrings* lines);
  // The lines as one text.
  String SQLText() const;
  void SetSQLText(const String& text);
  // Runs the statement without opening (statements that return no rows); answers the rows changed.
  int ExecSQL();
  int RowsAffected() const { return rowsAffected_; }

protected:
  String SelectStatement() const override;
  String BaseTable() const override;

private:
  std::unique_ptr<rtl::TStringList> sql_;
  int rowsAffected_ = -1;
};

// A query of the simple form "select * from <table> [where ...]": the table it reads, else empty. Such a query
// can be edited; any other query is read-only.
String SimpleSelectTable(const String& sql);

// Statement texts built from what a user typed. Quoting keeps the text a value whatever it contains; a number that
// goes into a statement unquoted must be a number, or the statement is not run.
String SqlQuoted(const String& text);
// The text trimmed when it is a decimal integer (optional sign); otherwise EDatabaseError with a clear message.
String SqlNumber(const String& text, const String& what = L"school number");

}  // namespace db
