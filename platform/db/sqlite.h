#pragma once
// A thin layer over SQLite: a connection and prepared statements. Text crosses the boundary as UTF-16 (SQLite keeps
// the file in UTF-8); every failure raises EADOError carrying SQLite's own message.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/dberrors.h"
#include "platform/db/dbtypes.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class SqliteDatabase {
public:
  SqliteDatabase() = default;
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;
  ~SqliteDatabase();

  // Opens an existing file for reading and writing; a missing file is an error, never an empty new database.
  void Open(const String& fileName);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }
  sqlite3* Handle() const { return db_; }
  const String& FileName() const { return fileName_; }

  // Runs statements that return no rows.
  void Execute(const String& sql);
  std::int64_t LastInsertRowId() const;
  int Changes() const;
  [[noreturn]] void RaiseError(int code) const;

  struct ColumnInfo {
    String name;
    String declaredType;
    bool notNull = false;
    bool primaryKey = false;
    bool autoIncrement = false;
    bool hasDefault = false;
    String defaultValue;  // the default's text as declared ("0", "'x'", "CURRENT_TIMESTAMP")
  };
  // The columns of a table in their physical order; empty when there is no such table.
  std::vector<ColumnInfo> TableColumns(const String& table);
  bool TableExists(const String& table);

private:
  sqlite3* db_ = nullptr;
  String fileName_;
};

class SqliteStatement {
public:
  SqliteStatement(SqliteDatabase& db, const String& sql);
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  // Parameters are numbered from 1.
  void BindNull(int index);
  void BindInt64(int index, std::int64_t value);
  void BindDouble(int index, double value);
  void BindText(int index, const String& value);
  void BindBlob(int index, const std::string& bytes);

  // True while a row is available.
  bool Step();
  void Reset();

  int ColumnCount() const;
  String ColumnName(int col) const;
  // The declared type of a result column taken straight from a table column; empty for an expression.
  String ColumnDeclaredType(int col) const;
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind ColumnKind(int col) const;
  std::int64_t ColumnInt64(int col) const;
  double ColumnDouble(int col) const;
  String ColumnText(int col) const;
  // The same into a string of the caller's, reusing its buffer.
  void ColumnText(int col, String& out) const;
  std::string ColumnBlob(int col) const;
  // The text as the file keeps it (UTF-8), and a blob's bytes, without a copy: valid until the statement moves on.
  std::string_view ColumnUtf8(int col) const;
  std::string_view ColumnBlobBytes(int col) const;

private:
  void Check(int rc) const;

  SqliteDatabase& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Identifier quoting for generated statements: "name" with embedded quotes doubled. Column names may start with a
// digit ("2828veya5395"), so every generated identifier is quoted.
String QuoteIdentifier(const String& name);
// 'text' with embedded quotes doubled: the store's rule for a text literal.
String QuoteText(const String& text);

}  // namespace db
