#include "skin/core/sSkinManager.h"

#include <windows.h>

#include "platform/rtl/registry.h"
#include "skin/core/sDefaults.h"

TsSkinManager* DefaultManager = nullptr;

TsSkinManager::TsSkinManager(vcl::TComponent* owner)
    : vcl::TComponent(owner),
      FSysFontScale(ReadSysFontScale()),
      FEffects(std::make_unique<TlvSkinEffects>()),
      FThirdParty(std::make_unique<ThirdPartyList>()),
      FInternalSkins(std::make_unique<TsStoredSkins>(this)),
      FCommonSections(std::make_unique<rtl::TStringList>()),
      FMenuSupport(std::make_unique<TlvMenuSupport>()),
      FOptions(std::make_unique<TlvOptions>()),
      FScrollsOptions(std::make_unique<TlvScrollBarsSupport>()),
      FButtonsOptions(std::make_unique<TlvButtonsSupport>()),
      FLabelsOptions(std::make_unique<TlvLabelsSupport>()),
      FAnimEffects(std::make_unique<TlvAnimEffects>()) {
  for (auto& list : FThirdLists) {
    list = std::make_unique<rtl::TStringList>();
    list->SetCaseSensitive(true);
  }
  FCommonSections->SetCaseSensitive(true);
  if (!DefaultManager) DefaultManager = this;
}

TsSkinManager::~TsSkinManager() {
  // No skin is ever applied yet, so deactivating has nothing to undo beyond the flag.
  FActive = false;
  if (DefaultManager == this) DefaultManager = nullptr;
  // The working lists go back into the texts, so what code changed in them is what the manager would store.
  for (int i = 0; i < ThirdPartyList::Count; ++i) {
    rtl::String text = FThirdLists[static_cast<size_t>(i)]->Text();
    // The text of a list ends with a line break; the stored texts do not.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    FThirdParty->SetString(i, text);
  }
}

void TsSkinManager::AfterConstruction() {
  inherited::AfterConstruction();
  UpdateThirdNames();
  UpdateThirdLists();
  if (FSkinDirectory.empty()) FSkinDirectory = DefSkinsDir;
}

void TsSkinManager::Loaded() {
  inherited::Loaded();
  if (FSkinDirectory.empty()) FSkinDirectory = DefSkinsDir;
  if (FMenuSupport->IcoLineSkin().empty()) FMenuSupport->SetIcoLineSkin(L"ICOLINE");
  UpdateThirdNames();
  UpdateThirdLists();
}

void TsSkinManager::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  // Loading and removing a skin come with the skin tables; until then the flag is all there is.
  if (!FActive && !ComponentState().Contains(vcl::csLoading) && !ComponentState().Contains(vcl::csDesigning))
    OnDeactivate(this);
}

void TsSkinManager::SetSkinName(const rtl::String& value) { FSkinName = value; }

void TsSkinManager::SetSkinDirectory(const rtl::String& value) {
  if (value == FSkinDirectory) return;
  FSkinDirectory = value;
  OnSkinListChanged(this);
}

rtl::String TsSkinManager::SkinInfo() const { return L"N/A"; }

void TsSkinManager::SetIsDefault(bool value) {
  if (!value && DefaultManager) return;
  DefaultManager = this;
}

void TsSkinManager::SetCommonSections(rtl::TStrings* value) {
  rtl::TStringList lines;
  if (value) lines.Assign(value);
  for (rtl::Integer i = 0; i < lines.Count(); ++i) {
    rtl::String line = lines.Get(i);
    if (line.empty() || line[0] == L';') continue;
    std::erase(line, L' ');
    lines.Put(i, line);
  }
  FCommonSections->Assign(&lines);
}

void TsSkinManager::SetBrightness(int value) { FBrightness = value < -100 ? -100 : value > 100 ? 100 : value; }

bool TsSkinManager::ExtendedBorders() const {
  if (!FExtendedBorders) return false;
  static const bool layered =
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow") != nullptr;
  return layered;
}

void TsSkinManager::SkinListChanged() { OnSkinListChanged(this); }

void TsSkinManager::UpdateThirdNames() {
  for (int i = 0; i < ThirdPartyList::Count; ++i)
    if (FThirdParty->GetString(i).empty()) FThirdParty->SetString(i, lvThirdNames[static_cast<size_t>(i)]);
}

void TsSkinManager::UpdateThirdLists() {
  for (int i = 0; i < ThirdPartyList::Count; ++i)
    FThirdLists[static_cast<size_t>(i)]->SetText(FThirdParty->GetString(i));
}

int TsSkinManager::ReadSysFontScale() {
  int dpi = 0;
  try {
    rtl::TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly(L"Control Panel\\Desktop\\WindowMetrics") && reg.ValueExists(L"AppliedDPI"))
      dpi = reg.ReadInteger(L"AppliedDPI");
  } catch (const rtl::Exception&) {
    dpi = 0;  // an unreadable value counts as the normal scale
  }
  if (dpi >= 144) return 2;
  if (dpi >= 120) return 1;
  return 0;
}

VCL_REGISTER(TsSkinManager) {
  cls.Prop(L"Active", &TsSkinManager::Active, &TsSkinManager::SetActive).Default(true);
  cls.Prop(L"InternalSkins", &TsSkinManager::InternalSkins, &TsSkinManager::SetInternalSkins);
  cls.Prop(L"MenuSupport", &TsSkinManager::MenuSupport, &TsSkinManager::SetMenuSupport);
  cls.Prop(L"SkinName", &TsSkinManager::SkinName, &TsSkinManager::SetSkinName);
  cls.Prop(L"SkinDirectory", &TsSkinManager::SkinDirectory, &TsSkinManager::SetSkinDirectory);
  cls.Prop(L"SkinInfo", &TsSkinManager::SkinInfo, &TsSkinManager::SetSkinInfo);
  cls.Prop(L"Version", &TsSkinManager::Version, &TsSkinManager::SetVersion).Stored(false);
  cls.Prop(L"IsDefault", &TsSkinManager::IsDefault, &TsSkinManager::SetIsDefault).Default(true);
  cls.Prop(L"CommonSections", &TsSkinManager::CommonSections, &TsSkinManager::SetCommonSections);
  cls.Prop(L"HueOffset", &TsSkinManager::HueOffset, &TsSkinManager::SetHueOffset).Default(0);
  cls.Prop(L"Saturation", &TsSkinManager::Saturation, &TsSkinManager::SetSaturation).Default(0);
  cls.Prop(L"Brightness", &TsSkinManager::Brightness, &TsSkinManager::SetBrightness).Default(0);
  cls.Prop(L"ExtendedBorders", &TsSkinManager::ExtendedBorders, &TsSkinManager::SetExtendedBorders).Default(false);
  cls.Prop(L"SkinnedPopups", &TsSkinManager::SkinnedPopups, &TsSkinManager::SetSkinnedPopups).Default(true);
  cls.Prop(L"SkinningRules", &TsSkinManager::SkinningRules, &TsSkinManager::SetSkinningRules)
      .Default(TlvSkinningRules{srStdForms, srStdDialogs, srThirdParty});
  cls.Prop(L"Effects", &TsSkinManager::Effects, &TsSkinManager::SetEffects);
  cls.Prop(L"AnimEffects", &TsSkinManager::AnimEffects, &TsSkinManager::SetAnimEffects);
  cls.Prop(L"Options", &TsSkinManager::Options, &TsSkinManager::SetOptions);
  cls.Prop(L"ScrollsOptions", &TsSkinManager::ScrollsOptions, &TsSkinManager::SetScrollsOptions);
  cls.Prop(L"ButtonsOptions", &TsSkinManager::ButtonsOptions, &TsSkinManager::SetButtonsOptions);
  cls.Prop(L"LabelsOptions", &TsSkinManager::LabelsOptions, &TsSkinManager::SetLabelsOptions);
  cls.Prop(L"ThirdParty", &TsSkinManager::ThirdParty, &TsSkinManager::SetThirdParty);
  cls.Prop(L"OnActivate", &TsSkinManager::OnActivate);
  cls.Prop(L"OnDeactivate", &TsSkinManager::OnDeactivate);
  cls.Prop(L"OnBeforeChange", &TsSkinManager::OnBeforeChange);
  cls.Prop(L"OnAfterChange", &TsSkinManager::OnAfterChange);
  cls.Prop(L"OnSkinLoading", &TsSkinManager::OnSkinLoading);
  cls.Prop(L"OnSkinListChanged", &TsSkinManager::OnSkinListChanged);
}
