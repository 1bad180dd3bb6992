#pragma once
// Database files for tests: made from the program's schema (app/tavrel.sql) with rows of the test's own, and read
// back with SQLite itself, so what the program stored is checked by another reader.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

#include "tests/common/paths.h"
#include "tests/common/text.h"

namespace testutil {

inline std::string ReadSchema() { return ReadFile(SourceFile("app/tavrel.sql")); }

// Runs statements on the file (created when missing); false with SQLite's message in *error when one fails.
inline bool Exec(const std::wstring& file, const std::string& sql, std::string* error = nullptr) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Utf8(file).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    if (error) *error = db ? sqlite3_errmsg(db) : "cannot open the file";
    sqlite3_close(db);
    return false;
  }
  char* message = nullptr;
  bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
  if (!ok && error) *error = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  return ok;
}

// The file with the program's schema and the given statements after it; false when the schema cannot be read or a
// statement fails (with the message in *error).
inline bool CreateDatabase(const std::wstring& file, const std::string& sql = std::string(),
                           std::string* error = nullptr) {
  std::string schema = ReadSchema();
  if (schema.empty()) {
    if (error) *error = "cannot read app/tavrel.sql";
    return false;
  }
  return Exec(file, schema + sql, error);
}

// The rows of a query, each a map from column name to its text ("<null>" for a null). A query that cannot run is
// a test failure.
using Row = std::map<std::string, std::wstring>;
inline std::vector<Row> Query(const std::wstring& file, const std::string& sql) {
  std::vector<Row> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Utf8(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << Utf8(file);
    sqlite3_close(db);
    return rows;
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
    sqlite3_close(db);
    return rows;
  }
  while (sqlite3_step(st) == SQLITE_ROW) {
    Row r;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      r[sqlite3_column_name(st, i)] = t ? Wide(reinterpret_cast<const char*>(t)) : L"<null>";
    }
    rows.push_back(r);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

// The first value of the first row of a query as UTF-8 text; "" when there is none.
inline std::string QueryText(const std::wstring& file, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string out;
  if (sqlite3_open_v2(Utf8(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
      const unsigned char* t = sqlite3_column_text(st, 0);
      out = t ? reinterpret_cast<const char*>(t) : "";
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

}  // namespace testutil
