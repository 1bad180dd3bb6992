// Where a skin is found and how it is loaded: the search order over the editor's text, skin folders, packed files
// and internal skins; the common load sequence; the lists of available skins; extracting internal skins.
#include <algorithm>
#include <random>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sIniText.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSysColors.h"
#include "skin/core/services/sDialogs.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sGraphUtils.h"

using rtl::String;

namespace {

// An option file is text: a bigger one is not a skin.
constexpr rtl::Int64 kMaxOptionFile = 16LL * 1024 * 1024;

// aSkinChanging for the length of a load, whatever way it ends.
class TChangingScope {
 public:
  TChangingScope() : old_(aSkinChanging) { aSkinChanging = true; }
  ~TChangingScope() { aSkinChanging = old_; }
  TChangingScope(const TChangingScope&) = delete;
  TChangingScope& operator=(const TChangingScope&) = delete;

 private:
  bool old_;
};

bool EndsWithLvx(const String& name) { return name.size() > 4 && rtl::EndsText(L".lvx", name); }

String FromAnsiField(const char* field, size_t size) {
  size_t length = 0;
  while (length < size && field[length]) ++length;
  return rtl::AnsiToString(std::string(field, length));
}

// The built-in form-shadow templates, with their pure white pixels made fully transparent.
struct TShadowTemplates {
  std::unique_ptr<vcl::TBitmap> Active, Inactive;
  TShadowTemplates() {
    Active = Load(L"LVSHDA");
    Inactive = Load(L"LVSHDI");
  }
  static std::unique_ptr<vcl::TBitmap> Load(const wchar_t* name) {
    HRSRC res = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));
    if (!res) return nullptr;
    HGLOBAL data = LoadResource(nullptr, res);
    const auto* bytes = static_cast<const rtl::Byte*>(LockResource(data));
    DWORD size = SizeofResource(nullptr, res);
    if (!bytes || !size) return nullptr;
    auto bmp = std::make_unique<vcl::TBitmap>();
    try {
      rtl::TBytesStream stream(std::vector<rtl::Byte>(bytes, bytes + size));
      LoadBmpFromPngStream(bmp.get(), stream);
    } catch (const rtl::Exception&) {
      return nullptr;
    }
    MakeBitmap32(bmp.get());
    UpdateTransPixels(bmp.get());
    return bmp;
  }
};

TShadowTemplates& ShadowTemplates() {
  static TShadowTemplates templates;
  return templates;
}

std::unique_ptr<vcl::TBitmap> CopyOf(vcl::TBitmap* src, const vcl::TRect& r) {
  auto out = CreateBmp32(r.Width(), r.Height());
  std::uint8_t *s0, *d0;
  std::ptrdiff_t sd, dd;
  if (!InitLine(src, s0, sd) || !InitLine(out.get(), d0, dd)) return out;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) {
      const int sx = r.Left + x, sy = r.Top + y;
      if (sx >= 0 && sy >= 0 && sx < src->Width() && sy < src->Height())
        *PixelAt(d0, dd, x, y) = *PixelAt(s0, sd, sx, sy);
    }
  return out;
}

}  // namespace

String TsSkinManager::GetFullSkinDirectory() const {
  const String exeDir = lvGetAppPath();
  const String& dir = FSkinDirectory;
  if (rtl::StartsStr(L"..", dir)) {
    String up = exeDir.substr(0, exeDir.size() - 1);
    while (!up.empty() && up.back() != L'\\' && up.back() != L'/') up.pop_back();
    return up + (dir.size() > 3 ? dir.substr(3) : String());
  }
  if (rtl::StartsStr(L".\\", dir) || rtl::StartsStr(L"./", dir)) return exeDir + dir.substr(2);
  if (dir == L".") return exeDir;
  if (dir.find(L':') == String::npos && dir.find(L"\\\\") == String::npos) return exeDir + dir;
  return dir;
}

void TsSkinManager::ChooseAndLoad(const String& newName) {
  String name = newName;
  if (EndsWithLvx(name)) name = name.substr(0, name.size() - 4);
  FSkinName = name;
  // The packed file is looked for in the skin directory as written.
  const String packedFile = NormalDir(FSkinDirectory) + name + L".lvx";
  bool packed;
  if (!UnPackedFirst)
    packed = rtl::FileExists(packedFile);
  else
    packed = !lvDirExists(NormalDir(FSkinDirectory) + newName) && rtl::FileExists(packedFile);
  if (packed)
    ReloadPackedSkin();
  else
    ReloadSkin();
}

void TsSkinManager::ReloadSkin() {
  if (!FActive) return;
  TChangingScope changing;
  String skinPath = GetFullSkinDirectory() + L"\\" + FSkinName + L"\\";
  const String optionFile = skinPath + L"Options.dat";
  TlvIniText options;
  std::unique_ptr<TlvSkinConvertor> package;
  if (lvMemSkinFile) {
    options.SetText(lvMemSkinFile->Text());
    SkinIsPacked = false;
  } else if (rtl::FileExists(optionFile)) {
    if (rtl::FileSize(optionFile) > kMaxOptionFile)
      throw ESkinError(L"The option file \"" + optionFile + L"\" is too large to be a skin's");
    std::vector<rtl::Byte> bytes = vcl::ReadWholeFile(optionFile);
    options.SetText(TlvIniText::DecodeText(std::string(bytes.begin(), bytes.end())));
    SkinIsPacked = false;
  } else {
    skinPath.clear();
    int index = FInternalSkins->IndexOf(FSkinName);
    if (index < 0) {
      if (FInternalSkins->Count() == 0) {
        FActive = false;
        return;
      }
      FSkinName = FInternalSkins->Items(0)->Name();
      index = 0;
    }
    TsStoredSkin* item = FInternalSkins->Items(index);
    if (item->PackedData().Size() == 0) {
      // An internal skin without data has no option file: the load ends without a skin.
      FActive = false;
      return;
    }
    package = std::make_unique<TlvSkinConvertor>();
    package->PackedData = std::make_unique<rtl::TMemoryStream>();
    item->PackedData().SetPosition(0);
    package->PackedData->CopyFrom(item->PackedData(), item->PackedData().Size());
    ExtractPackedData(package, this);
    package->PackedData.reset();
    if (!package->Options)
      throw ESkinError(L"Internal format error in the \"" + FSkinName +
                       L"\" skin. Please, update this skin to latest version.");
    SkinIsPacked = true;
    std::string bytes(static_cast<const char*>(package->Options->Memory()),
                      static_cast<size_t>(package->Options->Size()));
    options.SetText(TlvIniText::DecodeText(bytes));
  }
  LoadFromOptions(options, package.get(), skinPath);
}

void TsSkinManager::ReloadPackedSkin() {
  if (!FActive) return;
  TChangingScope changing;
  const String packedFile = NormalDir(FSkinDirectory) + FSkinName + L".lvx";
  std::unique_ptr<TlvSkinConvertor> package;
  LoadSkinFromFile(packedFile, package, this);
  if (!package || !package->Options)
    throw ESkinError(L"Internal format error in the \"" + FSkinName +
                     L"\" skin. Please, update this skin to latest version.");
  SkinIsPacked = true;
  TlvIniText options;
  std::string bytes(static_cast<const char*>(package->Options->Memory()),
                    static_cast<size_t>(package->Options->Size()));
  options.SetText(TlvIniText::DecodeText(bytes));
  LoadFromOptions(options, package.get(), GetFullSkinDirectory() + L"\\");
}

void TsSkinManager::LoadFromOptions(const TlvIniText& options, TlvSkinConvertor* package, const String& skinPath) {
  TsSkinData description;
  description.SkinPath = skinPath;
  description.Version =
      rtl::StrToFloatDef(options.ReadString(L"GLOBALINFO", L"VERSION", L"0"), 0, rtl::TFormatSettings::Invariant());
  CommonSkinData->Version = description.Version;
  CheckVersion();

  TsLoadParams params;
  params.Manager = this;
  params.SkinName = FSkinName;
  params.SkinPath = skinPath;
  params.Package = package;
  params.HueOffset = FHueOffset;
  params.Saturation = FSaturation;
  params.Brightness = FBrightness;
  for (rtl::Integer i = 0; i < FCommonSections->Count(); ++i) params.CommonSections.push_back(FCommonSections->Get(i));

  TsSkinTables staged;
  TsSkinLoader loader(options, params, staged, description);
  loader.CheckParentChains();
  loader.LoadAllMasks();
  loader.LoadAllGeneralData();
  staged.InitConstantIndexes();

  // Everything read: the new skin replaces the old one in one step.
  static_cast<TsSkinTables&>(*this) = std::move(staged);
  description.Active = CommonSkinData->Active;
  *CommonSkinData = std::move(description);
  CheckShadows();
  OnSkinLoading(this);
}

void TsSkinManager::UpdateCurrentSkin() {
  if (!FActive || LoadingState() || !CommonSkinData->Active) return;
  const bool wasActive = CommonSkinData->Active;
  try {
    TChangingScope changing;
    const String packedFile = NormalDir(FSkinDirectory) + FSkinName + L".lvx";
    if (rtl::FileExists(packedFile) && !(UnPackedFirst && lvDirExists(NormalDir(FSkinDirectory) + FSkinName)))
      ReloadPackedSkin();
    else
      ReloadSkin();
  } catch (const rtl::Exception& e) {
    ShowError(e.Message());
  }
  CommonSkinData->Active = wasActive && !gd.empty();
  InitConstantIndexes();
  if (!FNoAutoUpdate) {
    OnAfterChange(this);
    RepaintForms(true);
  }
}

void TsSkinManager::CheckVersion() {
  const double version = CommonSkinData->Version;
  if (version < CompatibleSkinVersion) {
    if (Designing())
      sShowMessage(L"You are using an old version of the \"" + FSkinName + L"\" skin. " +
                   L"Please, update skins to latest or contact the Lumivex support for upgrading of existing skin." +
                   L"\r\n\r\n" +
                   L"This notification occurs in design-time only for your information and will not occur in "
                   L"real-time.");
    return;
  }
  if (version > MaxCompSkinVersion) {
    const bool hadRule = FSkinningRules.Contains(srStdDialogs);
    FSkinningRules.Exclude(srStdDialogs);
    ShowWarning(String(L"This version of the skin has not complete support by used Lumivex package release.") +
                L"\r\n" + L"Components must be updated to latest version for using this skin.");
    if (hadRule) FSkinningRules.Include(srStdDialogs);
  }
}

void TsSkinManager::GetSkinSections(rtl::TStrings* list) const {
  list->Clear();
  if (!CommonSkinData->Active) return;
  for (const TsGeneralData& g : gd) list->Add(g.ClassName);
}

void TsSkinManager::InitConstantIndexes() {
  TsSkinTables::InitConstantIndexes();
  CheckShadows();
}

void TsSkinManager::CheckShadows() {
  if (!FActive || gd.empty() || !ExtendedBorders()) {
    FormShadowSize = vcl::TRect();
    return;
  }
  const int ex = ConstData.ExBorder;
  if (IsValidImgIndex(ex)) {
    const TsMaskData& m = ma[static_cast<size_t>(ex)];
    const int offs = CommonSkinData->ExContentOffs;
    if (CommonSkinData->ExDrawMode != 0)
      FormShadowSize = vcl::TRect(offs, offs, offs, offs);
    else
      FormShadowSize = vcl::TRect(m.WL - offs, m.WT - offs, m.WR - offs, m.WB - offs);
    vcl::TBitmap* src = m.Bmp ? m.Bmp : MasterBitmap.get();
    const int fw = WidthOfImage(m) > 0 ? WidthOfImage(m) : m.R.Width();
    const int fh = HeightOfImage(m);
    if (src) {
      ShdiTemplate = CopyOf(src, vcl::TRect(m.R.Left, m.R.Top, m.R.Left + fw, m.R.Top + fh));
      const int second = m.ImageCount > 1 ? m.R.Left + fw : m.R.Left;
      ShdaTemplate = CopyOf(src, vcl::TRect(second, m.R.Top, second + fw, m.R.Top + fh));
    }
    return;
  }
  TShadowTemplates& t = ShadowTemplates();
  ShdaTemplate = t.Active ? CopyOf(t.Active.get(), vcl::TRect(0, 0, t.Active->Width(), t.Active->Height())) : nullptr;
  ShdiTemplate =
      t.Inactive ? CopyOf(t.Inactive.get(), vcl::TRect(0, 0, t.Inactive->Width(), t.Inactive->Height())) : nullptr;
  FormShadowSize = vcl::TRect(9, 9, 9, 9);
}

// ---------------------------------------------------------------------------------------------------------------
// Lists of skins and extraction

namespace {

String CollectNames(TsSkinManager* m, rtl::TStrings* list, TlvSkinTypes skinType, bool withInternal) {
  String result;
  rtl::TStringList names;
  if (withInternal)
    for (int i = 0; i < m->InternalSkins()->Count(); ++i) {
      const String& n = m->InternalSkins()->Items(i)->Name();
      names.Add(n);
      if (result.empty()) result = n;
    }
  const String dir = m->GetFullSkinDirectory();
  if (lvDirExists(dir)) {
    rtl::TSearchRec f;
    if (rtl::FindFirst(dir + L"\\*.*", rtl::faAnyFile, f) == 0) {
      do {
        if (f.Name.empty() || f.Name[0] == L'.') continue;
        const bool isDir = (f.Attr & rtl::faDirectory) != 0;
        String added;
        if (isDir && skinType != stPacked && rtl::FileExists(dir + L"\\" + f.Name + L"\\Options.dat")) {
          added = f.Name;
        } else if (!isDir && skinType != stUnpacked && rtl::ExtractFileExt(f.Name) == L".lvx") {
          added = f.Name;
          size_t at = rtl::UpperCase(added).find(L".LVX");
          if (at != String::npos) added.erase(at, 4);
        }
        if (added.empty()) continue;
        names.Add(added);
        if (result.empty()) result = added;
      } while (rtl::FindNext(f) == 0);
      rtl::FindClose(f);
    }
  }
  names.Sort();
  list->Clear();
  list->AddStrings(names);
  return result;
}

}  // namespace

String TsSkinManager::GetSkinNames(rtl::TStrings* list, TlvSkinTypes skinType) {
  return CollectNames(this, list, skinType, true);
}

String TsSkinManager::GetExternalSkinNames(rtl::TStrings* list, TlvSkinTypes skinType) {
  return CollectNames(this, list, skinType, false);
}

String TsSkinManager::GetRandomSkin() {
  rtl::TStringList names;
  GetSkinNames(&names, stAllSkins);
  if (names.Count() == 0) return String();
  static std::mt19937 random{std::random_device{}()};
  return names.Get(static_cast<rtl::Integer>(random() % static_cast<unsigned>(names.Count())));
}

void TsSkinManager::ExtractInternalSkin(const String& nameOfSkin, const String& destDir) {
  bool found = false;
  for (int i = 0; i < FInternalSkins->Count(); ++i) {
    if (FInternalSkins->Items(i)->Name() != nameOfSkin) continue;
    found = true;
    if (lvDirExists(destDir))
      ExtractByIndex(i, destDir);
    else
      ShowError(L"Directory does not exists.");
  }
  if (!found) ShowError(L"Skin does not exists.");
}

void TsSkinManager::ExtractByIndex(int index, const String& destDir) {
  const String dir = NormalDir(destDir);
  if (!lvDirExists(dir) && !rtl::ForceDirectories(dir)) {
    ShowError(dir + L" directory creation error.");
    return;
  }
  TsStoredSkin* item = FInternalSkins->Items(index);
  item->PackedData().SaveToFile(dir + item->Name() + L" extracted.lvx");
}

// ---------------------------------------------------------------------------------------------------------------
// The skin editor's block

void TsSkinManager::ReceiveData() {
  if (PreviewBuffer.Magic != LKE_MSG) return;
  UnPackedFirst = true;
  BeginUpdate();
  lvMemSkinFile = std::make_unique<rtl::TStringList>();
  lvMemSkinFile->SetText(FromAnsiField(PreviewBuffer.Data, sizeof PreviewBuffer.Data));
  SetSkinDirectory(FromAnsiField(PreviewBuffer.SkinDir, sizeof PreviewBuffer.SkinDir));
  SetSkinName(FromAnsiField(PreviewBuffer.SkinName, sizeof PreviewBuffer.SkinName));
  EndUpdate(true, false);
  lvMemSkinFile.reset();
}
