#include "platform/rtl/files.h"

#include <shellapi.h>

#include <atomic>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace rtl {

namespace {

bool IsDelim(wchar_t c) { return c == L'\\' || c == L'/'; }

// File names compare as the file system does: ignoring case by the system's fixed table, not the user's locale.
bool SameFileName(const String& a, const String& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// Length of the drive or UNC share prefix ("C:" or "\\server\share").
size_t DrivePrefixLength(const String& s) {
  if (s.size() >= 2 && s[1] == L':') return 2;
  if (s.size() >= 2 && IsDelim(s[0]) && IsDelim(s[1])) {
    size_t i = 2;
    int parts = 0;
    while (i < s.size()) {
      if (IsDelim(s[i])) {
        if (++parts == 2) break;
      }
      ++i;
    }
    return i;
  }
  return 0;
}

// Index just after the last path delimiter or drive colon; 0 when there is none.
size_t NameStart(const String& s) {
  for (size_t i = s.size(); i > 0; --i) {
    wchar_t c = s[i - 1];
    if (IsDelim(c) || c == L':') return i;
  }
  return 0;
}

TDateTime FileTimeToDateTime(const FILETIME& ft) {
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToSystemTime(&local, &st)) return -1;
  return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

void FillSearchRec(TSearchRec& f) {
  f.Name = f.FindData.cFileName;
  f.Attr = static_cast<Integer>(f.FindData.dwFileAttributes);
  f.Size = (static_cast<Int64>(f.FindData.nFileSizeHigh) << 32) | f.FindData.nFileSizeLow;
  f.Time = FileTimeToDateTime(f.FindData.ftLastWriteTime);
}

// Skips entries whose attributes the caller did not ask for.
Integer FindMatching(TSearchRec& f) {
  while ((f.FindData.dwFileAttributes & static_cast<DWORD>(f.ExcludeAttr)) != 0) {
    if (!FindNextFileW(f.FindHandle, &f.FindData)) return static_cast<Integer>(GetLastError());
  }
  FillSearchRec(f);
  return 0;
}

}  // namespace

String ExeName() {
  String buf(MAX_PATH, L'\0');
  while (true) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

String ExeFolder() { return ExtractFilePath(ExeName()); }

String ParamStr(int index) {
  if (index == 0) return ExeName();
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  String result;
  if (argv != nullptr && index > 0 && index < argc) result = argv[index];
  if (argv != nullptr) LocalFree(argv);
  return result;
}

int ParamCount() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv != nullptr) LocalFree(argv);
  return argc > 0 ? argc - 1 : 0;
}

bool FileExists(const String& fileName) {
  if (fileName.empty()) return false;
  DWORD a = GetFileAttributesW(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const String& directory) {
  if (directory.empty()) return false;
  DWORD a = GetFileAttributesW(directory.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

String ExtractFilePath(const String& fileName) { return fileName.substr(0, NameStart(fileName)); }

String ExtractFileDir(const String& fileName) {
  size_t i = NameStart(fileName);
  // The delimiter of a root ("C:\", "\") stays, so the result still names the root.
  if (i > 1 && IsDelim(fileName[i - 1]) && !IsDelim(fileName[i - 2]) && fileName[i - 2] != L':') --i;
  return fileName.substr(0, i);
}

String ExtractFileDrive(const String& fileName) { return fileName.substr(0, DrivePrefixLength(fileName)); }

String ExtractFileName(const String& fileName) { return fileName.substr(NameStart(fileName)); }

String ExtractFileExt(const String& fileName) {
  size_t start = NameStart(fileName);
  size_t dot = fileName.rfind(L'.');
  if (dot == String::npos || dot < start) return String();
  return fileName.substr(dot);
}

String ChangeFileExt(const String& fileName, const String& extension) {
  size_t start = NameStart(fileName);
  size_t dot = fileName.rfind(L'.');
  if (dot == String::npos || dot < start) return fileName + extension;
  return fileName.substr(0, dot) + extension;
}

String IncludeTrailingPathDelimiter(const String& s) {
  if (!s.empty() && IsDelim(s.back())) return s;
  return s + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& s) {
  if (!s.empty() && IsDelim(s.back())) return s.substr(0, s.size() - 1);
  return s;
}

String ExpandFileName(const String& fileName) {
  if (fileName.empty()) return String();
  DWORD n = GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
  if (n == 0) return fileName;
  String buf(n, L'\0');
  n = GetFullPathNameW(fileName.c_str(), n, buf.data(), nullptr);
  buf.resize(n);
  return buf;
}

String ExtractRelativePath(const String& baseName, const String& destName) {
  String basePath = ExtractFilePath(baseName);
  String destPath = ExtractFilePath(destName);
  if (!SameFileName(ExtractFileDrive(basePath), ExtractFileDrive(destPath))) return destName;
  auto split = [](const String& path) {
    std::vector<String> parts;
    String cur;
    for (wchar_t c : path) {
      if (IsDelim(c)) {
        if (!cur.empty()) parts.push_back(cur);
        cur.clear();
      } else {
        cur += c;
      }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
  };
  std::vector<String> b = split(basePath.substr(DrivePrefixLength(basePath)));
  std::vector<String> d = split(destPath.substr(DrivePrefixLength(destPath)));
  size_t common = 0;
  while (common < b.size() && common < d.size() && SameFileName(b[common], d[common])) ++common;
  String out;
  for (size_t i = common; i < b.size(); ++i) out += L"..\\";
  for (size_t i = common; i < d.size(); ++i) out += d[i] + L"\\";
  return out + ExtractFileName(destName);
}

bool ForceDirectories(const String& dir) {
  if (dir.empty()) return false;
  String d = ExcludeTrailingPathDelimiter(ExpandFileName(dir));
  if (DirectoryExists(d) || DirectoryExists(d + L"\\")) return true;
  String parent = ExtractFileDir(d);
  if (parent.empty() || parent == d) return false;
  if (!ForceDirectories(parent)) return false;
  return CreateDirectoryW(d.c_str(), nullptr) || DirectoryExists(d);
}

bool CreateDir(const String& dir) { return CreateDirectoryW(dir.c_str(), nullptr) != 0; }
bool RemoveDir(const String& dir) { return RemoveDirectoryW(dir.c_str()) != 0; }
bool DeleteFile(const String& fileName) { return DeleteFileW(fileName.c_str()) != 0; }
bool RenameFile(const String& oldName, const String& newName) {
  return MoveFileW(oldName.c_str(), newName.c_str()) != 0;
}
bool CopyFile(const String& source, const String& dest, bool failIfExists) {
  return CopyFileW(source.c_str(), dest.c_str(), failIfExists ? TRUE : FALSE) != 0;
}

String GetCurrentDir() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  String buf(n, L'\0');
  n = GetCurrentDirectoryW(n, buf.data());
  buf.resize(n);
  return buf;
}

bool SetCurrentDir(const String& dir) { return SetCurrentDirectoryW(dir.c_str()) != 0; }

Int64 FileSize(const String& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<Int64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TDateTime FileAge(const String& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data)) return -1;
  return FileTimeToDateTime(data.ftLastWriteTime);
}

String GetTempPath() {
  wchar_t buf[MAX_PATH + 2];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  if (n == 0 || n > MAX_PATH + 1) return IncludeTrailingPathDelimiter(GetCurrentDir());
  return IncludeTrailingPathDelimiter(String(buf, n));
}

String GetTempFileName(const String& prefix, const String& folder) {
  // The Win32 function keeps only three characters of the prefix; ours keeps all of it ("qvPic").
  String dir = IncludeTrailingPathDelimiter(folder.empty() ? GetTempPath() : folder);
  static std::atomic<Cardinal> counter{0};
  Cardinal seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 65536; ++attempt) {
    Cardinal unique = (seed + ++counter) & 0xFFFFFF;
    String name = dir + prefix + IntToHex(unique, 6) + L".tmp";
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return name;
    }
    DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
  }
  throw EInOutError(L"Cannot create a temporary file in " + dir);
}

Integer FileGetAttr(const String& fileName) {
  DWORD a = GetFileAttributesW(fileName.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<Integer>(a);
}

bool FileSetAttr(const String& fileName, Integer attr) {
  return SetFileAttributesW(fileName.c_str(), static_cast<DWORD>(attr)) != 0;
}

Integer FindFirst(const String& path, Integer attr, TSearchRec& f) {
  f.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  f.FindHandle = FindFirstFileW(path.c_str(), &f.FindData);
  if (f.FindHandle == INVALID_HANDLE_VALUE) return static_cast<Integer>(GetLastError());
  Integer r = FindMatching(f);
  if (r != 0) FindClose(f);
  return r;
}

Integer FindNext(TSearchRec& f) {
  if (f.FindHandle == INVALID_HANDLE_VALUE) return ERROR_NO_MORE_FILES;
  if (!FindNextFileW(f.FindHandle, &f.FindData)) return static_cast<Integer>(GetLastError());
  return FindMatching(f);
}

void FindClose(TSearchRec& f) {
  if (f.FindHandle != INVALID_HANDLE_VALUE) ::FindClose(f.FindHandle);
  f.FindHandle = INVALID_HANDLE_VALUE;
}

std::vector<String> ListFiles(const String& folder, const String& mask) {
  std::vector<String> names;
  TSearchRec f;
  if (FindFirst(IncludeTrailingPathDelimiter(folder) + mask, faAnyFile & ~faDirectory, f) == 0) {
    do {
      if ((f.Attr & faDirectory) == 0) names.push_back(f.Name);
    } while (FindNext(f) == 0);
    FindClose(f);
  }
  return names;
}

}  // namespace rtl
