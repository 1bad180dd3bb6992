#pragma once
// Where the committed test pictures are, and small helpers for checking drawn pixels.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/graphicfiles.h"

namespace gfxtest {

// TAVREL_TEST_DATA names the test's source folder; under Wine a Unix path is reached through drive Z:.
inline std::wstring DataFile(const std::wstring& name) {
  const char* root = std::getenv("TAVREL_TEST_DATA");
  std::string r = root ? root : ".";
  std::wstring path(r.begin(), r.end());
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path + L"\\data\\" + name;
}

inline std::vector<rtl::Byte> DataBytes(const std::wstring& name) { return vcl::ReadWholeFile(DataFile(name)); }

inline std::wstring TempFile(const std::wstring& name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"tavrel_gfx_" + name;
}

// Colour channels within a tolerance (lossy JPEG, blending).
inline bool Near(vcl::TColor a, vcl::TColor b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
    if (std::abs(x - y) > tolerance) return false;
  }
  return true;
}

}  // namespace gfxtest
