#include "platform/db/sqlite.h"

#include <sqlite3.h>

#include "platform/rtl/win.h"

namespace db {

namespace {

std::string ToUtf8(const String& s) {
  if (s.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

String ErrorText(sqlite3* db, int code) {
  if (db) {
    const void* msg = sqlite3_errmsg16(db);
    if (msg) return String(static_cast<const wchar_t*>(msg));
  }
  String out;
  for (const char* p = sqlite3_errstr(code); p && *p; ++p) out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  return out;
}

}  // namespace

void DatabaseError(const String& message, const String& componentName) {
  if (componentName.empty()) throw EDatabaseError(message);
  throw EDatabaseError(componentName + L": " + message);
}

SqliteDatabase::~SqliteDatabase() { Close(); }

void SqliteDatabase::Open(const String& fileName) {
  Close();
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(ToUtf8(fileName).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    String message = ErrorText(db, rc);
    sqlite3_close(db);
    throw EADOError(message + L" (" + fileName + L")");
  }
  db_ = db;
  fileName_ = fileName;
  // Two connections of the program may touch the same file one after the other; wait briefly instead of failing.
  sqlite3_busy_timeout(db_, 5000);
  // Opening succeeds on any file; a file that is not a database fails here, while it is being opened.
  try {
    Execute(L"SELECT count(*) FROM sqlite_master");
  } catch (...) {
    Close();
    throw;
  }
}

void SqliteDatabase::Close() {
  if (db_) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

void SqliteDatabase::RaiseError(int code) const { throw EADOError(ErrorText(db_, code)); }

void SqliteDatabase::Execute(const String& sql) {
  if (!db_) throw EADOError(L"Connection is closed");
  SqliteStatement st(*this, sql);
  while (st.Step()) {
  }
}

std::int64_t SqliteDatabase::LastInsertRowId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

int SqliteDatabase::Changes() const { return db_ ? sqlite3_changes(db_) : 0; }

bool SqliteDatabase::TableExists(const String& table) {
  SqliteStatement st(*this, L"SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ?1 COLLATE NOCASE");
  st.BindText(1, table);
  return st.Step();
}

std::vector<SqliteDatabase::ColumnInfo> SqliteDatabase::TableColumns(const String& table) {
  std::vector<ColumnInfo> out;
  SqliteStatement st(*this, L"SELECT name, type, \"notnull\", pk, dflt_value FROM pragma_table_info(?1)");
  st.BindText(1, table);
  while (st.Step()) {
    ColumnInfo c;
    c.name = st.ColumnText(0);
    c.declaredType = st.ColumnText(1);
    c.notNull = st.ColumnInt64(2) != 0;
    c.primaryKey = st.ColumnInt64(3) != 0;
    c.hasDefault = st.ColumnKind(4) != SqliteStatement::Kind::Null;
    if (c.hasDefault) c.defaultValue = st.ColumnText(4);
    out.push_back(c);
  }
  std::string t = ToUtf8(table);
  for (auto& c : out) {
    if (!c.primaryKey) continue;
    int notNull = 0, pk = 0, autoinc = 0;
    if (sqlite3_table_column_metadata(db_, nullptr, t.c_str(), ToUtf8(c.name).c_str(), nullptr, nullptr, &notNull, &pk,
                                      &autoinc) == SQLITE_OK)
      c.autoIncrement = autoinc != 0;
  }
  return out;
}

SqliteStatement::SqliteStatement(SqliteDatabase& db, const String& sql) : db_(db) {
  if (!db.Handle()) throw EADOError(L"Connection is closed");
  const void* tail = nullptr;
  int rc = sqlite3_prepare16_v2(db.Handle(), sql.c_str(), static_cast<int>((sql.size() + 1) * sizeof(wchar_t)), &stmt_,
                                &tail);
  if (rc != SQLITE_OK) db.RaiseError(rc);
  if (!stmt_) throw EADOError(L"Command text does not contain a statement");
  // One statement per command: text after it (a second statement smuggled in) is refused, not silently dropped.
  for (const wchar_t* p = static_cast<const wchar_t*>(tail); p && *p; ++p) {
    if (*p == L';' || *p <= L' ') continue;
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw EADOError(L"Characters found after end of SQL statement");
  }
}

SqliteStatement::~SqliteStatement() {
  if (stmt_) sqlite3_finalize(stmt_);
}

void SqliteStatement::Check(int rc) const {
  if (rc != SQLITE_OK) db_.RaiseError(rc);
}

void SqliteStatement::BindNull(int index) { Check(sqlite3_bind_null(stmt_, index)); }
void SqliteStatement::BindInt64(int index, std::int64_t value) { Check(sqlite3_bind_int64(stmt_, index, value)); }
void SqliteStatement::BindDouble(int index, double value) { Check(sqlite3_bind_double(stmt_, index, value)); }
void SqliteStatement::BindText(int index, const String& value) {
  Check(sqlite3_bind_text16(stmt_, index, value.data(), static_cast<int>(value.size() * sizeof(wchar_t)),
                            SQLITE_TRANSIENT));
}
void SqliteStatement::BindBlob(int index, const std::string& bytes) {
  Check(sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  db_.RaiseError(rc);
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(stmt_); }

String SqliteStatement::ColumnName(int col) const {
  const void* p = sqlite3_column_name16(stmt_, col);
  return p ? String(static_cast<const wchar_t*>(p)) : String();
}

String SqliteStatement::ColumnDeclaredType(int col) const {
  const void* p = sqlite3_column_decltype16(stmt_, col);
  return p ? String(static_cast<const wchar_t*>(p)) : String();
}

SqliteStatement::Kind SqliteStatement::ColumnKind(int col) const {
  switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_INTEGER: return Kind::Integer;
    case SQLITE_FLOAT: return Kind::Real;
    case SQLITE_TEXT: return Kind::Text;
    case SQLITE_BLOB: return Kind::Blob;
    default: return Kind::Null;
  }
}

std::int64_t SqliteStatement::ColumnInt64(int col) const { return sqlite3_column_int64(stmt_, col); }
double SqliteStatement::ColumnDouble(int col) const { return sqlite3_column_double(stmt_, col); }

String SqliteStatement::ColumnText(int col) const {
  String out;
  ColumnText(col, out);
  return out;
}

void SqliteStatement::ColumnText(int col, String& out) const {
  // Read as the file keeps it (UTF-8) and widened here: asking SQLite for UTF-16 makes it convert into a buffer of
  // its own first, one more allocation and copy for every cell of every row a dataset loads.
  const unsigned char* p = sqlite3_column_text(stmt_, col);
  Utf8ToString(reinterpret_cast<const char*>(p), p ? static_cast<size_t>(sqlite3_column_bytes(stmt_, col)) : 0, out);
}

std::string SqliteStatement::ColumnBlob(int col) const {
  const void* p = sqlite3_column_blob(stmt_, col);
  int n = sqlite3_column_bytes(stmt_, col);
  return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

std::string_view SqliteStatement::ColumnUtf8(int col) const {
  const unsigned char* p = sqlite3_column_text(stmt_, col);
  if (!p) return std::string_view();
  return std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(stmt_, col)));
}

std::string_view SqliteStatement::ColumnBlobBytes(int col) const {
  const void* p = sqlite3_column_blob(stmt_, col);
  if (!p) return std::string_view();
  return std::string_view(static_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(stmt_, col)));
}

String QuoteIdentifier(const String& name) {
  String out = L"\"";
  for (wchar_t c : name) {
    if (c == L'"') out += L'"';
    out += c;
  }
  return out + L"\"";
}

String QuoteText(const String& text) {
  String out = L"'";
  for (wchar_t c : text) {
    if (c == L'\'') out += L'\'';
    out += c;
  }
  return out + L"'";
}

}  // namespace db
