#pragma once
// The skin manager: the component a form carries to skin the application, with the options skinned controls,
// forms and menus read. The first manager created becomes DefaultManager, which controls without a manager of
// their own use; it stops being the default when it is freed.
//
// Only the stored state lives here so far: a manager stored inactive (as the main window keeps it) loads from its
// form resource, applies no skin and touches no window.
#include <array>
#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/component.h"
#include "platform/vcl/events.h"
#include "skin/core/sConst.h"
#include "skin/core/sMenuSupport.h"
#include "skin/core/sSkinOptions.h"
#include "skin/core/sStoredSkins.h"

class TsSkinManager;

// The manager controls use when they have none of their own; nullptr when no manager exists.
extern TsSkinManager* DefaultManager;

class TsSkinManager : public vcl::TComponent {
  VCL_CLASS(TsSkinManager, vcl::TComponent)
  explicit TsSkinManager(vcl::TComponent* owner);
  ~TsSkinManager() override;
  void AfterConstruction() override;
  void Loaded() override;

  bool Active() const { return FActive; }
  void SetActive(bool value);
  const rtl::String& SkinName() const { return FSkinName; }
  void SetSkinName(const rtl::String& value);
  const rtl::String& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const rtl::String& value);
  // The loaded skin's version, or "N/A" while no skin is in use; writing does nothing.
  rtl::String SkinInfo() const;
  void SetSkinInfo(const rtl::String&) {}
  // The library's version; writing does nothing.
  rtl::String Version() const { return L"10.24"; }
  void SetVersion(const rtl::String&) {}
  // True when this manager is DefaultManager. Setting True makes it the default; False changes nothing while
  // some manager is the default.
  bool IsDefault() const { return DefaultManager == this; }
  void SetIsDefault(bool value);

  TsStoredSkins* InternalSkins() const { return FInternalSkins.get(); }
  // The whole collection is never replaced from outside.
  void SetInternalSkins(TsStoredSkins*) {}
  // INI text added to every loaded skin. Lines that are not empty and not comments lose their blanks.
  rtl::TStrings* CommonSections() const { return FCommonSections.get(); }
  void SetCommonSections(rtl::TStrings* value);

  int HueOffset() const { return FHueOffset; }
  void SetHueOffset(int value) { FHueOffset = value; }
  int Saturation() const { return FSaturation; }
  void SetSaturation(int value) { FSaturation = value; }
  int Brightness() const { return FBrightness; }
  // Kept within -100..100.
  void SetBrightness(int value);
  // Reads True only when set and the system can draw layered windows.
  bool ExtendedBorders() const;
  void SetExtendedBorders(bool value) { FExtendedBorders = value; }
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool value) { FSkinnedPopups = value; }
  TlvSkinningRules SkinningRules() const { return FSkinningRules; }
  void SetSkinningRules(TlvSkinningRules value) { FSkinningRules = value; }

  TlvSkinEffects* Effects() const { return FEffects.get(); }
  void SetEffects(TlvSkinEffects* v) { FEffects->Assign(v); }
  TlvAnimEffects* AnimEffects() const { return FAnimEffects.get(); }
  void SetAnimEffects(TlvAnimEffects* v) { FAnimEffects->Assign(v); }
  TlvOptions* Options() const { return FOptions.get(); }
  void SetOptions(TlvOptions* v) { FOptions->Assign(v); }
  TlvScrollBarsSupport* ScrollsOptions() const { return FScrollsOptions.get(); }
  void SetScrollsOptions(TlvScrollBarsSupport* v) { FScrollsOptions->Assign(v); }
  TlvButtonsSupport* ButtonsOptions() const { return FButtonsOptions.get(); }
  void SetButtonsOptions(TlvButtonsSupport* v) { FButtonsOptions->Assign(v); }
  TlvLabelsSupport* LabelsOptions() const { return FLabelsOptions.get(); }
  void SetLabelsOptions(TlvLabelsSupport* v) { FLabelsOptions->Assign(v); }
  TlvMenuSupport* MenuSupport() const { return FMenuSupport.get(); }
  void SetMenuSupport(TlvMenuSupport* v) { FMenuSupport->Assign(v); }
  ThirdPartyList* ThirdParty() const { return FThirdParty.get(); }
  void SetThirdParty(ThirdPartyList* v) { FThirdParty->Assign(v); }

  // The working copy of the ThirdParty texts, one case-sensitive list of class names per kind of control.
  rtl::TStringList* ThirdLists(TlvThirdPartyTypes kind) const {
    return FThirdLists.at(static_cast<size_t>(kind)).get();
  }
  // 0, 1 or 2 for a screen at 96, 120 or 144 and more dots per inch ("AppliedDPI" of the user's settings).
  int SysFontScale() const { return FSysFontScale; }

  // An internal skin changed.
  void SkinListChanged();

  vcl::TNotifyEvent OnActivate;
  vcl::TNotifyEvent OnDeactivate;
  vcl::TNotifyEvent OnBeforeChange;
  vcl::TNotifyEvent OnAfterChange;
  vcl::TNotifyEvent OnSkinLoading;
  vcl::TNotifyEvent OnSkinListChanged;

private:
  // Empty ThirdParty texts take the defaults; then the working lists are filled from the texts.
  void UpdateThirdNames();
  void UpdateThirdLists();
  static int ReadSysFontScale();

  bool FActive = true;
  rtl::String FSkinName;
  rtl::String FSkinDirectory;
  int FHueOffset = 0;
  int FSaturation = 0;
  int FBrightness = 0;
  bool FExtendedBorders = false;
  bool FSkinnedPopups = true;
  TlvSkinningRules FSkinningRules{srStdForms, srStdDialogs, srThirdParty};
  int FSysFontScale = 0;
  std::unique_ptr<TlvSkinEffects> FEffects;
  std::unique_ptr<ThirdPartyList> FThirdParty;
  std::array<std::unique_ptr<rtl::TStringList>, ThirdPartyList::Count> FThirdLists;
  std::unique_ptr<TsStoredSkins> FInternalSkins;
  std::unique_ptr<rtl::TStringList> FCommonSections;
  std::unique_ptr<TlvMenuSupport> FMenuSupport;
  std::unique_ptr<TlvOptions> FOptions;
  std::unique_ptr<TlvScrollBarsSupport> FScrollsOptions;
  std::unique_ptr<TlvButtonsSupport> FButtonsOptions;
  std::unique_ptr<TlvLabelsSupport> FLabelsOptions;
  std::unique_ptr<TlvAnimEffects> FAnimEffects;
};
