#pragma once
// The Windows registry: one open key at a time under a root (HKEY_CURRENT_USER by default).
#include <vector>

#include "platform/rtl/inifiles.h"
#include "platform/rtl/object.h"
#include "platform/rtl/win.h"

namespace rtl {

class TStrings;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
  ~TRegistry() override;
  String ClassName() const override { return L"TRegistry"; }

  HKEY RootKey() const { return rootKey_; }
  // Closes the open key.
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return currentKey_; }
  const String& CurrentPath() const { return currentPath_; }
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM access) { access_ = access; }

  // A key starting with '\' is taken from the root, otherwise relative to the open key. False when it does not
  // exist (and canCreate is false) or access is denied.
  bool OpenKey(const String& key, bool canCreate);
  bool OpenKeyReadOnly(const String& key);
  void CloseKey();
  bool CreateKey(const String& key);
  bool KeyExists(const String& key);
  // Deletes the key with its subkeys.
  bool DeleteKey(const String& key);
  bool DeleteValue(const String& name);
  bool ValueExists(const String& name);
  bool HasSubKeys();
  TRegDataType GetDataType(const String& name);
  std::vector<String> KeyNames();
  std::vector<String> ValueNames();
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);

  // ReadString gives the empty text for a missing value; the other readers raise ERegistryException when the
  // value is missing or has another type.
  String ReadString(const String& name);
  Integer ReadInteger(const String& name);
  bool ReadBool(const String& name);
  // Stored as the 8 bytes of the double (binary), as the runtime does.
  double ReadFloat(const String& name);
  TDateTime ReadDateTime(const String& name);
  std::vector<Byte> ReadBinaryData(const String& name);
  // Writers raise ERegistryException when the value cannot be written.
  void WriteString(const String& name, const String& value);
  void WriteExpandString(const String& name, const String& value);
  void WriteInteger(const String& name, Integer value);
  void WriteBool(const String& name, bool value);
  void WriteFloat(const String& name, double value);
  void WriteDateTime(const String& name, TDateTime value);
  void WriteBinaryData(const String& name, const std::vector<Byte>& value);

private:
  HKEY OpenFor(const String& key, bool create, REGSAM access, String& path) const;
  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = nullptr;
  String currentPath_;
  REGSAM access_;
};

// An ini-file view of a registry key: sections are subkeys, keys are values.
class TRegistryIniFile : public TCustomIniFile {
public:
  // fileName is the key path under HKEY_CURRENT_USER ("Software\\Firm\\Program").
  explicit TRegistryIniFile(const String& fileName, REGSAM access = KEY_ALL_ACCESS, HKEY root = HKEY_CURRENT_USER);
  String ClassName() const override { return L"TRegistryIniFile"; }
  TRegistry& RegIniFile() { return reg_; }

  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  std::vector<String> SectionKeys(const String& section) override;
  std::vector<String> SectionNames() override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  void UpdateFile() override {}
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;

private:
  bool OpenSection(const String& section, bool create);
  TRegistry reg_;
  String base_;
};

}  // namespace rtl
