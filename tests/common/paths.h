#pragma once
// Files of the source tree, found through the environment ctest gives every test executable: TAVREL_SOURCE_ROOT
// names the top of the tree, TAVREL_TEST_DATA the test's own folder (both Unix paths, reached under Wine through
// drive Z:).
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/common/text.h"

namespace testutil {

// A Unix path as Windows sees it under Wine.
inline std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = Wide(unixPath);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

// The top of the source tree.
inline std::string SourceRoot() {
  if (const char* root = std::getenv("TAVREL_SOURCE_ROOT")) return root;
  return ".";
}

// A file of the source tree by its path from the top ("app/tavrel.sql"), as a Windows path.
inline std::wstring SourceFile(const std::string& relative) { return WindowsPath(SourceRoot() + "/" + relative); }
inline std::wstring SourceFile(const std::wstring& relative) { return SourceFile(Utf8(relative)); }

// A file of the test's own folder ("data/x.png"), as a Windows path.
inline std::wstring TestDataFile(const std::string& relative) {
  const char* dir = std::getenv("TAVREL_TEST_DATA");
  return WindowsPath(std::string(dir ? dir : ".") + "/" + relative);
}

// The whole content of a file; empty when it cannot be read.
inline std::string ReadFile(const std::wstring& file) {
  std::ifstream in(Utf8(file), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline bool WriteFile(const std::wstring& file, const std::string& bytes) {
  std::ofstream out(Utf8(file), std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

}  // namespace testutil
