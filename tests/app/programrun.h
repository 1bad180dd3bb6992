#pragma once
// Running the whole program in a process of its own, as a user starts it: this test executable copied into a
// fresh folder (with or without a database made from the program's schema beside it) and started from another
// folder, playing one scenario (ProgramScenario.Run, chosen by TAVREL_SCENARIO).
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/rtl/win.h"

namespace apptest {

inline std::string Utf8(const std::wstring& s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring NewFolder(const std::wstring& name) {
  static int counter = 0;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"tavrel_app_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     std::to_wstring(++counter) + L"_" + name;
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

// A file of the source tree by its path from the top, as a Windows path.
inline std::wstring SourceFile(const std::wstring& relative) {
  const char* dir = std::getenv("TAVREL_TEST_DATA");
  std::string unix = std::string(dir ? dir : ".") + "/../../";
  std::wstring path(unix.begin(), unix.end());
  path += relative;
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

inline std::string ReadSchema() {
  const char* dir = std::getenv("TAVREL_TEST_DATA");
  std::ifstream in(std::string(dir ? dir : ".") + "/../../app/tavrel.sql", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline bool Exec(const std::wstring& file, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Utf8(file).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
    return false;
  bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

// The database with the schema and the given statements after it.
inline bool CreateDatabase(const std::wstring& file, const std::string& sql) {
  std::string schema = ReadSchema();
  return !schema.empty() && Exec(file, schema + sql);
}

// One value of the first row of a query, as text ("" when there is none).
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

inline std::string ReadFile(const std::wstring& file) {
  std::ifstream in(Utf8(file), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct ProgramRun {
  bool finished = false;  // ended on its own within the time allowed
  DWORD exitCode = 0;
  std::string output;
};

// Starts the copied program in the folder `workdir` and waits for it to end.
inline ProgramRun RunScenario(const std::wstring& scenario, const std::wstring& programFolder,
                              const std::wstring& workdir, DWORD timeoutMs = 90000) {
  ProgramRun run;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = programFolder + L"\\app_tests.exe";
  if (!CopyFileW(self, exe.c_str(), FALSE)) {
    run.output = "could not copy the program";
    return run;
  }
  std::wstring log = programFolder + L"\\scenario.log";
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE out = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\" --gtest_filter=ProgramScenario.Run";
  SetEnvironmentVariableW(L"TAVREL_SCENARIO", scenario.c_str());
  BOOL started = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, workdir.c_str(), &si, &pi);
  SetEnvironmentVariableW(L"TAVREL_SCENARIO", nullptr);
  CloseHandle(out);
  if (!started) {
    run.output = "could not start the program";
    return run;
  }
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    run.finished = true;
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
  } else {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  run.output = ReadFile(log);
  return run;
}

}  // namespace apptest
