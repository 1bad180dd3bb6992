#pragma once
// A folder of the test's own under the temporary folder, unique to the process (test executables run side by
// side), removed with everything in it when the object goes.
#include <string>

#include "platform/rtl/win.h"

namespace testutil {

// Removes a folder and everything below it.
inline void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

// A new empty folder "<temp>\tavrel_<prefix>_<process>_<n>" (n counts within the process).
inline std::wstring NewTempFolder(const std::wstring& prefix) {
  static int counter = 0;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"tavrel_" + prefix + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     std::to_wstring(++counter);
  // Left over by an earlier process of the same id: start clean.
  if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS) {
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
  }
  return dir;
}

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& prefix = L"test") : path_(NewTempFolder(prefix)) {}
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // A file in the folder.
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

}  // namespace testutil
