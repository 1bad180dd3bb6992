#pragma once
// Settings files: sections of "name=value" lines.
//
// TMemIniFile keeps the whole file in memory and writes it back on UpdateFile (or when freed after changes).
// TIniFile writes through on every change and re-reads the file when someone else changed it, so two objects on the
// same file see each other's values. Both read UTF-8 (with or without byte-order mark), UTF-16 with a byte-order
// mark, or, when the bytes are no valid UTF-8, the ANSI code page; they write UTF-8.
// Section and key names match ignoring case (ordinal, never the Turkish rules).
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

namespace rtl {

class TStrings;
class TStream;

class TCustomIniFile : public TObject {
public:
  explicit TCustomIniFile(const String& fileName) : fileName_(fileName) {}
  String ClassName() const override { return L"TCustomIniFile"; }
  const String& FileName() const { return fileName_; }

  virtual String ReadString(const String& section, const String& ident, const String& def) = 0;
  virtual void WriteString(const String& section, const String& ident, const String& value) = 0;
  // Key names of a section, section names, and the "name=value" lines of a section, in file order.
  virtual std::vector<String> SectionKeys(const String& section) = 0;
  virtual std::vector<String> SectionNames() = 0;
  virtual std::vector<String> SectionValues(const String& section);
  virtual void EraseSection(const String& section) = 0;
  virtual void DeleteKey(const String& section, const String& ident) = 0;
  virtual void UpdateFile() = 0;

  // The value read as decimal or "$"/"0x" hexadecimal; def when missing or not a number.
  Integer ReadInteger(const String& section, const String& ident, Integer def);
  void WriteInteger(const String& section, const String& ident, Integer value);
  // "1"/"0" are written; reading accepts a number (non-zero is true) or "True"/"False".
  bool ReadBool(const String& section, const String& ident, bool def);
  void WriteBool(const String& section, const String& ident, bool value);
  // Floating values with the global FormatSettings' decimal separator (a "." is accepted too when reading).
  double ReadFloat(const String& section, const String& ident, double def);
  void WriteFloat(const String& section, const String& ident, double value);
  TDateTime ReadDate(const String& section, const String& ident, TDateTime def);
  void WriteDate(const String& section, const String& ident, TDateTime value);
  TDateTime ReadTime(const String& section, const String& ident, TDateTime def);
  void WriteTime(const String& section, const String& ident, TDateTime value);
  TDateTime ReadDateTime(const String& section, const String& ident, TDateTime def);
  void WriteDateTime(const String& section, const String& ident, TDateTime value);
  // Bytes as hexadecimal text.
  std::vector<Byte> ReadBinary(const String& section, const String& ident);
  void WriteBinary(const String& section, const String& ident, const std::vector<Byte>& value);

  virtual bool SectionExists(const String& section);
  virtual bool ValueExists(const String& section, const String& ident);

  // TStrings forms of the lists: the list is cleared, then filled.
  void ReadSection(const String& section, TStrings* strings);
  void ReadSections(TStrings* strings);
  void ReadSectionValues(const String& section, TStrings* strings);
  // ReadBinaryStream writes the stored bytes into value at its position and returns their number;
  // WriteBinaryStream stores value's bytes from its position to its end.
  Integer ReadBinaryStream(const String& section, const String& ident, TStream* value);
  void WriteBinaryStream(const String& section, const String& ident, TStream* value);

private:
  String fileName_;
};

// One section of an in-memory file.
struct TIniSection {
  String Name;
  // Name, value in file order. An entry with an empty name is a line kept verbatim (a comment, a repeated key), so
  // saving a file the user edited by hand does not drop anything.
  std::vector<std::pair<String, String>> Values;
};

class TMemIniFile : public TCustomIniFile {
public:
  // Loads the file when it exists.
  explicit TMemIniFile(const String& fileName);
  ~TMemIniFile() override;
  String ClassName() const override { return L"TMemIniFile"; }

  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  std::vector<String> SectionKeys(const String& section) override;
  std::vector<String> SectionNames() override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  // Writes the content to the file; raises EIniFileException when it cannot.
  void UpdateFile() override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;

  void Clear();
  // Re-reads the file (an empty content when it is missing).
  void Reload();
  // The whole content as ini text lines, and back.
  std::vector<String> GetLines() const;
  void SetLines(const std::vector<String>& lines);
  void GetStrings(TStrings* list) const;
  void SetStrings(TStrings* list);
  bool Modified() const { return modified_; }
  // Writes the file when freed with unsaved changes (off by default: call UpdateFile).
  bool AutoSave = false;

protected:
  TIniSection* FindSection(const String& section);
  TIniSection& AddSection(const String& section);
  bool modified_ = false;
  // FileName made absolute when the object was created.
  String path_;

private:
  std::vector<TIniSection> sections_;
  std::vector<String> preamble_;  // comment lines before the first section
};

class TIniFile : public TMemIniFile {
public:
  explicit TIniFile(const String& fileName);
  String ClassName() const override { return L"TIniFile"; }

  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  std::vector<String> SectionKeys(const String& section) override;
  std::vector<String> SectionNames() override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;

private:
  void Refresh();
  Int64 stamp_ = -1;
};

}  // namespace rtl
