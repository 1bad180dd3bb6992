#pragma once
// A fresh database file made from the program's schema, in a folder of its own.
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/db/ado.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

namespace dbtest {

inline std::string ReadSchema() {
  const char* dir = std::getenv("TAVREL_TEST_DATA");
  std::string path = std::string(dir ? dir : ".") + "/../../../app/tavrel.sql";
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::wstring TempFolder() {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"tavrel_db_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     std::to_wstring(GetTickCount64());
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

inline std::string Utf8(const std::wstring& s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

// Creates file from the schema; false when the schema could not be read or run.
inline bool CreateDatabase(const std::wstring& file, const std::string& extraSql = std::string()) {
  std::string schema = ReadSchema();
  if (schema.empty()) return false;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Utf8(file).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
    return false;
  bool ok = sqlite3_exec(db, (schema + extraSql).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

}  // namespace dbtest
