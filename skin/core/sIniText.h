#pragma once
// An option text held in memory: sections of "KEY=value" lines whose section and key names compare exactly
// (case-sensitive), as skin option files are read. Sections keep their file order, duplicates included; a read
// finds the first section and the first key of a name.
#include <string>
#include <vector>

#include "platform/rtl/types.h"

class TlvIniText {
 public:
  struct TSection {
    rtl::String Name;
    std::vector<std::pair<rtl::String, rtl::String>> Values;  // key, value in file order
  };

  TlvIniText() = default;
  // Bytes of a text file: UTF-8 (with or without its mark) or, when they are not valid UTF-8, the ANSI code page.
  static rtl::String DecodeText(const std::string& bytes);
  void SetText(const rtl::String& text);
  void SetLines(const std::vector<rtl::String>& lines);

  const std::vector<TSection>& Sections() const { return sections_; }
  const TSection* FindSection(const rtl::String& name) const;
  bool SectionExists(const rtl::String& name) const { return FindSection(name) != nullptr; }
  // def when the section or the key is missing.
  rtl::String ReadString(const rtl::String& section, const rtl::String& key, const rtl::String& def) const;
  // The platform's integer reading (decimal, or "$"/"0x" hexadecimal); def when missing or not a number.
  int ReadInteger(const rtl::String& section, const rtl::String& key, int def) const;
  bool ValueExists(const rtl::String& section, const rtl::String& key) const;

 private:
  std::vector<TSection> sections_;
};
