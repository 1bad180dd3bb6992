#pragma once
// The loaders of a skin's option text: every image first (LoadAllMasks), then the global values, outer effects,
// sections, sections added by the manager's CommonSections text, the palette and the recolouring
// (LoadAllGeneralData). They fill a fresh set of tables; the manager takes them over only when the whole load
// succeeded.
//
// Values are read with PARENTCLASS inheritance. A chain of parent classes that returns to a section it passed is
// refused before anything is read (ESkinError names the section), and every inherited read is bounded as well.
#include <optional>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "skin/core/sIniText.h"
#include "skin/core/sSkinPack.h"
#include "skin/core/sSkinTables.h"

class TsSkinManager;

// What one load works with besides the option text.
struct TsLoadParams {
  TsSkinManager* Manager = nullptr;
  rtl::String SkinName;
  // Folder the skin's files are read from, ending in "\" (empty for an internal skin).
  rtl::String SkinPath;
  // The package of a packed or internal skin; nullptr for a folder skin.
  TlvSkinConvertor* Package = nullptr;
  int HueOffset = 0;
  int Saturation = 0;
  int Brightness = 0;
  // The manager's CommonSections text (may be empty).
  std::vector<rtl::String> CommonSections;
};

class TsSkinLoader {
 public:
  TsSkinLoader(const TlvIniText& skinFile, const TsLoadParams& params, TsSkinTables& tables, TsSkinData& description);

  // Refuses a chain of parent classes that loops (A names B, B names A, ...).
  void CheckParentChains() const;
  void LoadAllMasks();
  void LoadAllGeneralData();

  // Reads with PARENTCLASS inheritance.
  rtl::String FindString(const rtl::String& section, const rtl::String& key, const rtl::String& def) const;
  bool FindBoolean(const rtl::String& section, const rtl::String& key, bool def) const;
  int FindInteger(const rtl::String& section, const rtl::String& key, int def, int max = 0x7FFFFFFF) const;
  // The same reads from the CommonSections text, without inheritance.
  int GetPropInteger(const rtl::String& section, const rtl::String& key, int def) const;
  bool GetPropBool(const rtl::String& section, const rtl::String& key, bool def) const;
  rtl::String GetPropStr(const rtl::String& section, const rtl::String& key, const rtl::String& def) const;
  // The twelve values of one state (0..2) of a section.
  void FillProps(TsGenState& state, const TsGenState& defaults, int stateIndex, bool fromCommon,
                 const rtl::String& section) const;

  // Appends an image and answers its index.
  int MakeNewItem(int skinIndex, const rtl::String& propertyName, const rtl::String& className, TlvImgType imgType,
                  const vcl::TRect& r, int imageCount, int drawMode, int maskType);
  // The bitmap of an external file already loaded under exactly that name; nullptr when none.
  vcl::TBitmap* SearchExtFile(const rtl::String& fileName) const;

 private:
  std::optional<rtl::String> InheritedValue(const rtl::String& section, const rtl::String& key) const;
  void LoadMasterBitmap();
  void LoadImage(int sectionIndex, const rtl::String& section, const rtl::String& key, const rtl::String& value);
  void LoadBorderImage(int sectionIndex, const rtl::String& section, const rtl::String& key, const rtl::String& v,
                       const rtl::String& className, bool outerMask);
  vcl::TBitmap* ExternalBitmap(const rtl::String& fileName, bool required, const rtl::String& where);
  std::unique_ptr<vcl::TBitmap> ReadImageFile(const rtl::String& upperName, const rtl::String& where, bool& found);
  void CheckRect(const vcl::TRect& r, const vcl::TBitmap* bmp, const rtl::String& where) const;
  void ComputeCornerType(TsMaskData& m) const;
  void LoadCommonBitmaps();
  void ReadDescription();
  void ReadOuterEffects();
  void MakeMask(TlvOutEffData& effect, const rtl::String& key);
  void AddCommonSections();
  void FillPalette();
  void AddTransparentSection();
  // Position of GLOBALINFO in the option text (the index its section gets).
  int GlobalIndex() const;

  const TlvIniText& SkinFile;
  const TsLoadParams& Params;
  TsSkinTables& T;
  TsSkinData& D;
  TlvIniText Common;
};

// Copies a state completely, the gradient a new array.
void CopyProperties(TsGenState& dst, const TsGenState& src);
// A bitmap made 32-bit: a bitmap of another depth is converted and every pixel gets alpha 255 except the key colour.
void MakeBitmap32(vcl::TBitmap* bmp);
