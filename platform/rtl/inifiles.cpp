#include "platform/rtl/inifiles.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

namespace rtl {

namespace {

// Section and key names: ordinal, ignoring case by the invariant table (never the Turkish i rules).
bool SameName(const String& a, const String& b) {
  return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                      static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

String DecodeFileText(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    String s((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < s.size(); ++i) {
      s[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                  (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
    return s;
  }
  if (HasUTF8BOM(bytes)) return UTF8ToString(bytes.substr(3));
  if (bytes.empty()) return String();
  // Text written by older tools is in the ANSI code page; it is recognised by not being valid UTF-8.
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n > 0) return UTF8ToString(bytes);
  return AnsiToString(bytes);
}

bool ReadWholeFile(const String& fileName, std::string& bytes) {
  HANDLE h = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(h, &size) != 0 && size.QuadPart < (1LL << 30);
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() ||
         (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) != 0 && read == bytes.size());
  }
  CloseHandle(h);
  return ok;
}

// Writes through a temporary file in the same folder and then replaces the target, so a failed write never
// leaves a half-written settings file behind.
bool WriteWholeFile(const String& fileName, const std::string& bytes) {
  String temp = fileName + L".~tmp";
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                              written == bytes.size());
  if (ok) FlushFileBuffers(h);
  CloseHandle(h);
  if (ok) ok = MoveFileExW(temp.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

Int64 FileStamp(const String& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data)) return -1;
  Int64 t = (static_cast<Int64>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return t ^ (static_cast<Int64>(data.nFileSizeLow) << 1);
}

String BytesToHex(const std::vector<Byte>& bytes) {
  String out;
  for (Byte b : bytes) out += IntToHex(b, 2);
  return out;
}

std::vector<Byte> HexToBytes(const String& text) {
  std::vector<Byte> out;
  auto digit = [](wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
  };
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    out.push_back(static_cast<Byte>(hi * 16 + lo));
  }
  return out;
}

void Fill(TStrings* strings, const std::vector<String>& items) {
  if (strings == nullptr) return;
  strings->BeginUpdate();
  try {
    strings->Clear();
    for (const auto& s : items) strings->Add(s);
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

}  // namespace

// ---- TCustomIniFile ----

std::vector<String> TCustomIniFile::SectionValues(const String& section) {
  std::vector<String> out;
  for (const auto& key : SectionKeys(section)) out.push_back(key + L"=" + ReadString(section, key, String()));
  return out;
}

Integer TCustomIniFile::ReadInteger(const String& section, const String& ident, Integer def) {
  String s = Trim(ReadString(section, ident, String()));
  Integer v;
  return TryStrToInt(s, v) ? v : def;
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident, Integer value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident, bool def) {
  String s = Trim(ReadString(section, ident, String()));
  Int64 i;
  if (TryStrToInt64(s, i)) return i != 0;
  if (SameText(s, L"True")) return true;
  if (SameText(s, L"False")) return false;
  return def;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteString(section, ident, value ? L"1" : L"0");
}

double TCustomIniFile::ReadFloat(const String& section, const String& ident, double def) {
  String s = Trim(ReadString(section, ident, String()));
  double v;
  if (TryStrToFloat(s, v)) return v;
  // A file written under another locale may use the other separator.
  if (TryStrToFloat(s, v, TFormatSettings::Invariant())) return v;
  return def;
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(const String& section, const String& ident, TDateTime def) {
  TDateTime v;
  return TryStrToDate(Trim(ReadString(section, ident, String())), v) ? v : def;
}

void TCustomIniFile::WriteDate(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, DateToStr(value));
}

TDateTime TCustomIniFile::ReadTime(const String& section, const String& ident, TDateTime def) {
  TDateTime v;
  return TryStrToTime(Trim(ReadString(section, ident, String())), v) ? v : def;
}

void TCustomIniFile::WriteTime(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, TimeToStr(value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& section, const String& ident, TDateTime def) {
  TDateTime v;
  return TryStrToDateTime(Trim(ReadString(section, ident, String())), v) ? v : def;
}

void TCustomIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, DateTimeToStr(value));
}

std::vector<Byte> TCustomIniFile::ReadBinary(const String& section, const String& ident) {
  return HexToBytes(ReadString(section, ident, String()));
}

void TCustomIniFile::WriteBinary(const String& section, const String& ident, const std::vector<Byte>& value) {
  WriteString(section, ident, BytesToHex(value));
}

bool TCustomIniFile::SectionExists(const String& section) { return !SectionKeys(section).empty(); }

bool TCustomIniFile::ValueExists(const String& section, const String& ident) {
  for (const auto& key : SectionKeys(section)) {
    if (SameName(key, ident)) return true;
  }
  return false;
}

void TCustomIniFile::ReadSection(const String& section, TStrings* strings) { Fill(strings, SectionKeys(section)); }
void TCustomIniFile::ReadSections(TStrings* strings) { Fill(strings, SectionNames()); }
void TCustomIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  Fill(strings, SectionValues(section));
}

Integer TCustomIniFile::ReadBinaryStream(const String& section, const String& ident, TStream* value) {
  std::vector<Byte> bytes = ReadBinary(section, ident);
  if (value != nullptr && !bytes.empty()) value->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return static_cast<Integer>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const String& section, const String& ident, TStream* value) {
  std::vector<Byte> bytes;
  if (value != nullptr) {
    Int64 count = value->Size() - value->Position();
    if (count > 0) {
      bytes.resize(static_cast<size_t>(count));
      value->ReadBuffer(bytes.data(), static_cast<Integer>(count));
    }
  }
  WriteBinary(section, ident, bytes);
}

// ---- TMemIniFile ----

// The path is fixed at construction: a file dialog may change the current folder later.
TMemIniFile::TMemIniFile(const String& fileName)
    : TCustomIniFile(fileName), path_(fileName.empty() ? String() : ExpandFileName(fileName)) {
  Reload();
}

TMemIniFile::~TMemIniFile() {
  if (AutoSave && modified_) {
    try {
      UpdateFile();
    } catch (const Exception&) {
      // A destructor cannot report it; callers who care call UpdateFile themselves.
    }
  }
}

TIniSection* TMemIniFile::FindSection(const String& section) {
  for (auto& s : sections_) {
    if (SameName(s.Name, section)) return &s;
  }
  return nullptr;
}

TIniSection& TMemIniFile::AddSection(const String& section) {
  if (TIniSection* s = FindSection(section)) return *s;
  sections_.push_back(TIniSection{section, {}});
  return sections_.back();
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& def) {
  if (TIniSection* s = FindSection(section)) {
    for (const auto& kv : s->Values) {
      if (!kv.first.empty() && SameName(kv.first, ident)) return kv.second;
    }
  }
  return def;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value) {
  TIniSection& s = AddSection(section);
  modified_ = true;
  for (auto& kv : s.Values) {
    if (!kv.first.empty() && SameName(kv.first, ident)) {
      kv.second = value;
      return;
    }
  }
  s.Values.emplace_back(ident, value);
}

std::vector<String> TMemIniFile::SectionKeys(const String& section) {
  std::vector<String> keys;
  if (TIniSection* s = FindSection(section)) {
    for (const auto& kv : s->Values) {
      if (!kv.first.empty()) keys.push_back(kv.first);
    }
  }
  return keys;
}

std::vector<String> TMemIniFile::SectionNames() {
  std::vector<String> names;
  for (const auto& s : sections_) names.push_back(s.Name);
  return names;
}

void TMemIniFile::EraseSection(const String& section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it) {
    if (SameName(it->Name, section)) {
      sections_.erase(it);
      modified_ = true;
      return;
    }
  }
}

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
  if (TIniSection* s = FindSection(section)) {
    for (auto it = s->Values.begin(); it != s->Values.end(); ++it) {
      if (!it->first.empty() && SameName(it->first, ident)) {
        s->Values.erase(it);
        modified_ = true;
        return;
      }
    }
  }
}

bool TMemIniFile::SectionExists(const String& section) { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(const String& section, const String& ident) {
  if (TIniSection* s = FindSection(section)) {
    for (const auto& kv : s->Values) {
      if (!kv.first.empty() && SameName(kv.first, ident)) return true;
    }
  }
  return false;
}

void TMemIniFile::UpdateFile() {
  if (path_.empty()) return;
  String text;
  for (const auto& line : GetLines()) text += line + L"\r\n";
  if (!WriteWholeFile(path_, StringToUTF8(text))) {
    throw EIniFileException(L"Unable to write to " + path_);
  }
  modified_ = false;
}

void TMemIniFile::Clear() {
  sections_.clear();
  preamble_.clear();
  modified_ = true;
}

void TMemIniFile::Reload() {
  sections_.clear();
  modified_ = false;
  std::string bytes;
  if (path_.empty() || !ReadWholeFile(path_, bytes)) return;
  String text = DecodeFileText(bytes);
  std::vector<String> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == L'\n' || text[i] == L'\r') {
      lines.push_back(text.substr(start, i - start));
      if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n') ++i;
      start = i + 1;
    }
  }
  SetLines(lines);
  modified_ = false;
}

std::vector<String> TMemIniFile::GetLines() const {
  std::vector<String> lines = preamble_;
  for (size_t i = 0; i < sections_.size(); ++i) {
    lines.push_back(L"[" + sections_[i].Name + L"]");
    for (const auto& kv : sections_[i].Values)
      lines.push_back(kv.first.empty() ? kv.second : kv.first + L"=" + kv.second);
    if (i + 1 < sections_.size()) lines.push_back(String());
  }
  return lines;
}

void TMemIniFile::SetLines(const std::vector<String>& lines) {
  sections_.clear();
  preamble_.clear();
  TIniSection* current = nullptr;
  for (const auto& raw : lines) {
    String line = Trim(raw);
    if (line.empty()) continue;
    bool comment = line[0] == L';' || line[0] == L'#';
    if (!comment && line[0] == L'[') {
      size_t close = line.find(L']');
      String name = Trim(line.substr(1, close == String::npos ? String::npos : close - 1));
      current = &AddSection(name);
      continue;
    }
    // Comments and lines before the first section are no values, but they are written back as they were.
    if (current == nullptr) {
      preamble_.push_back(line);
      continue;
    }
    size_t eq = line.find(L'=');
    String key = comment ? String() : (eq == String::npos ? line : TrimRight(line.substr(0, eq)));
    String value = eq == String::npos ? String() : TrimLeft(line.substr(eq + 1));
    bool repeated = false;
    for (const auto& kv : current->Values) {
      if (!key.empty() && !kv.first.empty() && SameName(kv.first, key)) {
        // The first occurrence of a repeated key wins, as with the system's profile functions.
        repeated = true;
        break;
      }
    }
    if (key.empty() || repeated) {
      current->Values.emplace_back(String(), line);
    } else {
      current->Values.emplace_back(key, value);
    }
  }
  modified_ = true;
}

void TMemIniFile::GetStrings(TStrings* list) const { Fill(list, GetLines()); }

void TMemIniFile::SetStrings(TStrings* list) {
  std::vector<String> lines;
  if (list != nullptr) {
    for (Integer i = 0; i < list->Count(); ++i) lines.push_back(list->Get(i));
  }
  SetLines(lines);
}

// ---- TIniFile ----

TIniFile::TIniFile(const String& fileName) : TMemIniFile(fileName) { stamp_ = FileStamp(path_); }

void TIniFile::Refresh() {
  Int64 stamp = FileStamp(path_);
  if (stamp != stamp_) {
    Reload();
    stamp_ = stamp;
  }
}

String TIniFile::ReadString(const String& section, const String& ident, const String& def) {
  Refresh();
  return TMemIniFile::ReadString(section, ident, def);
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
  Refresh();
  TMemIniFile::WriteString(section, ident, value);
  UpdateFile();
  stamp_ = FileStamp(path_);
}

std::vector<String> TIniFile::SectionKeys(const String& section) {
  Refresh();
  return TMemIniFile::SectionKeys(section);
}

std::vector<String> TIniFile::SectionNames() {
  Refresh();
  return TMemIniFile::SectionNames();
}

void TIniFile::EraseSection(const String& section) {
  Refresh();
  if (!TMemIniFile::SectionExists(section)) return;
  TMemIniFile::EraseSection(section);
  UpdateFile();
  stamp_ = FileStamp(path_);
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
  Refresh();
  if (!TMemIniFile::ValueExists(section, ident)) return;
  TMemIniFile::DeleteKey(section, ident);
  UpdateFile();
  stamp_ = FileStamp(path_);
}

bool TIniFile::SectionExists(const String& section) {
  Refresh();
  return TMemIniFile::SectionExists(section);
}

bool TIniFile::ValueExists(const String& section, const String& ident) {
  Refresh();
  return TMemIniFile::ValueExists(section, ident);
}

}  // namespace rtl
