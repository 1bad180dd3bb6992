#include "platform/rtl/registry.h"

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

namespace rtl {

namespace {

String Join(const String& base, const String& key) {
  if (base.empty()) return key;
  if (key.empty()) return base;
  return base + L"\\" + key;
}

String StripSlashes(const String& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == L'\\') ++b;
  while (e > b && s[e - 1] == L'\\') --e;
  return s.substr(b, e - b);
}

[[noreturn]] void ReadError(const String& name) { throw ERegistryException(L"Invalid data type for '" + name + L"'"); }

[[noreturn]] void WriteError(const String& name) {
  throw ERegistryException(L"Failed to set data for '" + name + L"'");
}

void Fill(TStrings* strings, const std::vector<String>& items) {
  if (strings == nullptr) return;
  strings->BeginUpdate();
  strings->Clear();
  for (const auto& s : items) strings->Add(s);
  strings->EndUpdate();
}

}  // namespace

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  rootKey_ = root;
}

// Resolves key against the open key (or the root for "\..." and when nothing is open) and opens it.
HKEY TRegistry::OpenFor(const String& key, bool create, REGSAM access, String& path) const {
  bool absolute = !key.empty() && key[0] == L'\\';
  String rel = StripSlashes(key);
  path = (absolute || currentKey_ == nullptr) ? rel : Join(currentPath_, rel);
  HKEY result = nullptr;
  LONG rc;
  if (create) {
    rc =
        RegCreateKeyExW(rootKey_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &result, nullptr);
  } else {
    rc = RegOpenKeyExW(rootKey_, path.c_str(), 0, access, &result);
  }
  return rc == ERROR_SUCCESS ? result : nullptr;
}

bool TRegistry::OpenKey(const String& key, bool canCreate) {
  String path;
  HKEY k = OpenFor(key, canCreate, access_, path);
  if (k == nullptr) return false;
  CloseKey();
  currentKey_ = k;
  currentPath_ = path;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& key) {
  String path;
  HKEY k = OpenFor(key, false, KEY_READ, path);
  if (k == nullptr) return false;
  CloseKey();
  currentKey_ = k;
  currentPath_ = path;
  access_ = KEY_READ;
  return true;
}

void TRegistry::CloseKey() {
  if (currentKey_ != nullptr) RegCloseKey(currentKey_);
  currentKey_ = nullptr;
  currentPath_.clear();
}

bool TRegistry::CreateKey(const String& key) {
  String path;
  HKEY k = OpenFor(key, true, KEY_WRITE, path);
  if (k == nullptr) return false;
  RegCloseKey(k);
  return true;
}

bool TRegistry::KeyExists(const String& key) {
  String path;
  HKEY k = OpenFor(key, false, KEY_READ, path);
  if (k == nullptr) return false;
  RegCloseKey(k);
  return true;
}

bool TRegistry::DeleteKey(const String& key) {
  bool absolute = !key.empty() && key[0] == L'\\';
  String rel = StripSlashes(key);
  if (rel.empty()) return false;  // never the root or the open key itself by accident
  String path = (absolute || currentKey_ == nullptr) ? rel : Join(currentPath_, rel);
  return RegDeleteTreeW(rootKey_, path.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const String& name) {
  return currentKey_ != nullptr && RegDeleteValueW(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const String& name) {
  return currentKey_ != nullptr &&
         RegQueryValueExW(currentKey_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::HasSubKeys() {
  DWORD count = 0;
  return currentKey_ != nullptr &&
         RegQueryInfoKeyW(currentKey_, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr) == ERROR_SUCCESS &&
         count > 0;
}

TRegDataType TRegistry::GetDataType(const String& name) {
  DWORD type = 0;
  if (currentKey_ == nullptr ||
      RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
    return rdUnknown;
  }
  switch (type) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

std::vector<String> TRegistry::KeyNames() {
  std::vector<String> names;
  if (currentKey_ == nullptr) return names;
  wchar_t buf[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    if (RegEnumKeyExW(currentKey_, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(buf, len);
  }
  return names;
}

std::vector<String> TRegistry::ValueNames() {
  std::vector<String> names;
  if (currentKey_ == nullptr) return names;
  wchar_t buf[16384];
  for (DWORD i = 0;; ++i) {
    DWORD len = 16384;
    if (RegEnumValueW(currentKey_, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(buf, len);
  }
  return names;
}

void TRegistry::GetKeyNames(TStrings* strings) { Fill(strings, KeyNames()); }
void TRegistry::GetValueNames(TStrings* strings) { Fill(strings, ValueNames()); }

String TRegistry::ReadString(const String& name) {
  DWORD type = 0, size = 0;
  if (currentKey_ == nullptr ||
      RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    // A missing value reads as empty text, the way settings code expects of strings.
    return String();
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) ReadError(name);
  String s(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(s.size() * sizeof(wchar_t));
  if (RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(s.data()), &bytes) !=
      ERROR_SUCCESS) {
    ReadError(name);
  }
  s.resize(bytes / sizeof(wchar_t));
  while (!s.empty() && s.back() == L'\0') s.pop_back();
  return s;
}

Integer TRegistry::ReadInteger(const String& name) {
  DWORD type = 0, value = 0, size = sizeof(value);
  if (currentKey_ == nullptr ||
      RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD) {
    ReadError(name);
  }
  return static_cast<Integer>(value);
}

bool TRegistry::ReadBool(const String& name) { return ReadInteger(name) != 0; }

std::vector<Byte> TRegistry::ReadBinaryData(const String& name) {
  DWORD type = 0, size = 0;
  if (currentKey_ == nullptr ||
      RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_BINARY) {
    ReadError(name);
  }
  std::vector<Byte> data(size);
  if (size > 0 && RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
    ReadError(name);
  }
  data.resize(size);
  return data;
}

double TRegistry::ReadFloat(const String& name) {
  std::vector<Byte> data = ReadBinaryData(name);
  if (data.size() != sizeof(double)) ReadError(name);
  double v;
  std::memcpy(&v, data.data(), sizeof v);
  return v;
}

TDateTime TRegistry::ReadDateTime(const String& name) { return ReadFloat(name); }

void TRegistry::WriteString(const String& name, const String& value) {
  if (currentKey_ == nullptr ||
      RegSetValueExW(currentKey_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    WriteError(name);
  }
}

void TRegistry::WriteExpandString(const String& name, const String& value) {
  if (currentKey_ == nullptr ||
      RegSetValueExW(currentKey_, name.c_str(), 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    WriteError(name);
  }
}

void TRegistry::WriteInteger(const String& name, Integer value) {
  DWORD v = static_cast<DWORD>(value);
  if (currentKey_ == nullptr || RegSetValueExW(currentKey_, name.c_str(), 0, REG_DWORD,
                                               reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS) {
    WriteError(name);
  }
}

void TRegistry::WriteBool(const String& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteBinaryData(const String& name, const std::vector<Byte>& value) {
  if (currentKey_ == nullptr || RegSetValueExW(currentKey_, name.c_str(), 0, REG_BINARY, value.data(),
                                               static_cast<DWORD>(value.size())) != ERROR_SUCCESS) {
    WriteError(name);
  }
}

void TRegistry::WriteFloat(const String& name, double value) {
  std::vector<Byte> data(sizeof value);
  std::memcpy(data.data(), &value, sizeof value);
  WriteBinaryData(name, data);
}

void TRegistry::WriteDateTime(const String& name, TDateTime value) { WriteFloat(name, value); }

// ---- TRegistryIniFile ----

TRegistryIniFile::TRegistryIniFile(const String& fileName, REGSAM access, HKEY root)
    : TCustomIniFile(fileName), reg_(access), base_(StripSlashes(fileName)) {
  reg_.SetRootKey(root);
}

bool TRegistryIniFile::OpenSection(const String& section, bool create) {
  return reg_.OpenKey(L"\\" + Join(base_, StripSlashes(section)), create);
}

String TRegistryIniFile::ReadString(const String& section, const String& ident, const String& def) {
  if (!OpenSection(section, false) || !reg_.ValueExists(ident)) return def;
  switch (reg_.GetDataType(ident)) {
    case rdString:
    case rdExpandString:
      return reg_.ReadString(ident);
    case rdInteger:
      return std::to_wstring(reg_.ReadInteger(ident));
    default:
      return def;
  }
}

void TRegistryIniFile::WriteString(const String& section, const String& ident, const String& value) {
  if (!OpenSection(section, true)) throw ERegistryException(L"Failed to create key " + Join(base_, section));
  reg_.WriteString(ident, value);
}

std::vector<String> TRegistryIniFile::SectionKeys(const String& section) {
  if (!OpenSection(section, false)) return {};
  return reg_.ValueNames();
}

std::vector<String> TRegistryIniFile::SectionNames() {
  if (!reg_.OpenKey(L"\\" + base_, false)) return {};
  return reg_.KeyNames();
}

void TRegistryIniFile::EraseSection(const String& section) {
  if (StripSlashes(section).empty()) return;
  reg_.CloseKey();
  reg_.DeleteKey(L"\\" + Join(base_, StripSlashes(section)));
}

void TRegistryIniFile::DeleteKey(const String& section, const String& ident) {
  if (OpenSection(section, false)) reg_.DeleteValue(ident);
}

bool TRegistryIniFile::SectionExists(const String& section) {
  return reg_.KeyExists(L"\\" + Join(base_, StripSlashes(section)));
}

bool TRegistryIniFile::ValueExists(const String& section, const String& ident) {
  return OpenSection(section, false) && reg_.ValueExists(ident);
}

}  // namespace rtl
