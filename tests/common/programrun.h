#pragma once
// Running the whole program in a process of its own, as a user starts it: the test executable copies itself into
// a folder (with whatever the test put there: a database, pictures) and starts the copy from another folder,
// running one test of its own (ProgramScenario.Run by default) that plays one scenario, chosen by TAVREL_SCENARIO.
#include <string>

#include "platform/rtl/win.h"
#include "tests/common/paths.h"

namespace testutil {

struct ProgramRun {
  bool finished = false;  // ended on its own within the time allowed
  DWORD exitCode = 0;
  std::string output;
};

// The file name of this executable ("app_tests.exe").
inline std::wstring OwnFileName() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Starts a copy of this executable in programFolder with workdir as its current folder and waits for it to end;
// its output is in the answer.
inline ProgramRun RunScenario(const std::wstring& scenario, const std::wstring& programFolder,
                              const std::wstring& workdir, DWORD timeoutMs = 120000,
                              const std::wstring& testName = L"ProgramScenario.Run") {
  ProgramRun run;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = programFolder + L"\\" + OwnFileName();
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
  std::wstring cmd = L"\"" + exe + L"\" --gtest_filter=" + testName;
  SetEnvironmentVariableW(L"TAVREL_SCENARIO", scenario.c_str());
  // On a loaded machine Wine has failed now and then to start a process that starts on the next attempt.
  BOOL started = FALSE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt) Sleep(500);
    started = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, workdir.c_str(), &si, &pi);
    if (!started) error = GetLastError();
  }
  SetEnvironmentVariableW(L"TAVREL_SCENARIO", nullptr);
  CloseHandle(out);
  if (!started) {
    run.output = "could not start the program (system error " + std::to_string(error) + ")";
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

}  // namespace testutil
