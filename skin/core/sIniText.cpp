#include "skin/core/sIniText.h"

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

using rtl::String;

String TlvIniText::DecodeText(const std::string& bytes) {
  std::string text = rtl::StripUTF8BOM(bytes);
  if (text.empty()) return String();
  int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length > 0) return rtl::UTF8ToString(text);
  return rtl::AnsiToString(text);
}

void TlvIniText::SetText(const String& text) {
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
}

void TlvIniText::SetLines(const std::vector<String>& lines) {
  sections_.clear();
  TSection* current = nullptr;
  for (const String& raw : lines) {
    String line = rtl::Trim(raw);
    if (line.empty() || line[0] == L';') continue;
    if (line.front() == L'[' && line.back() == L']' && line.size() >= 2) {
      sections_.push_back(TSection{line.substr(1, line.size() - 2), {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;
    size_t eq = line.find(L'=');
    if (eq == String::npos) continue;
    current->Values.emplace_back(rtl::Trim(line.substr(0, eq)), rtl::Trim(line.substr(eq + 1)));
  }
}

const TlvIniText::TSection* TlvIniText::FindSection(const String& name) const {
  for (const TSection& s : sections_)
    if (s.Name == name) return &s;
  return nullptr;
}

String TlvIniText::ReadString(const String& section, const String& key, const String& def) const {
  const TSection* s = FindSection(section);
  if (!s) return def;
  for (const auto& [k, v] : s->Values)
    if (k == key) return v;
  return def;
}

bool TlvIniText::ValueExists(const String& section, const String& key) const {
  const TSection* s = FindSection(section);
  if (!s) return false;
  for (const auto& kv : s->Values)
    if (kv.first == key) return true;
  return false;
}

int TlvIniText::ReadInteger(const String& section, const String& key, int def) const {
  String text = ReadString(section, key, String());
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) text = L"$" + text.substr(2);
  return rtl::StrToIntDef(text, def);
}
