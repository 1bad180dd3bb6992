#pragma once
// The skin manager: the component a form carries to skin the application. It owns the loaded skin (its tables),
// loads it from a skin folder, a packed ".lvx" file, the form's internal skins or a skin editor's text, recolours
// it, tells every form and control about a new or removed skin with SM_LUMICMD, and holds the options skinned
// controls, forms and menus read. The first manager created becomes DefaultManager, which controls without a
// manager of their own use; it stops being the default when it is freed.
//
// The program's main window keeps its manager stored inactive: it loads from the form resource, applies no skin
// and touches no window.
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/events.h"
#include "platform/vcl/extctrls.h"
#include "skin/core/sConst.h"
#include "skin/core/sMenuSupport.h"
#include "skin/core/sSkinOptions.h"
#include "skin/core/sSkinTables.h"
#include "skin/core/sStoredSkins.h"

class TsSkinManager;
class TsSkinableMenus;
namespace vcl {
class TMenuItem;
class TBitmap;
class TFont;
}  // namespace vcl

// A standard dialog about to be skinned: OnSysDlgInit may keep it as the system draws it.
struct TlvSysDlgData {
  HWND WindowHandle = nullptr;
};
using TlvSysDlgInit = vcl::TEvent<void(TlvSysDlgData& DlgData, bool& AllowSkinning)>;
// A popup's extra line (section, whether it has one, its glyph and caption), asked with the popup's first item.
using TlvGetExtraLineData = vcl::TEvent<void(vcl::TMenuItem* FirstItem, rtl::String& SkinSection, bool& HaveExtraLine,
                                             vcl::TBitmap*& Glyph, rtl::String& Caption)>;
// The font of a popup item before it is measured or painted; State holds the system's ODS_ flags (0 when measuring).
using TlvGetPopupItemData = vcl::TEvent<void(vcl::TMenuItem* Item, unsigned State, vcl::TFont* Font)>;
class TlvIniText;
class TlvSkinConvertor;

// The manager controls use when they have none of their own; nullptr when no manager exists.
extern TsSkinManager* DefaultManager;
// A skin folder wins over a packed file of the same name (the skin-editor link sets it).
extern bool UnPackedFirst;
// A skin editor's option text, read instead of any file while it exists.
extern std::unique_ptr<rtl::TStringList> lvMemSkinFile;
// Optional hooks a host may set; unassigned here.
extern void (*InitDevEx)(bool active);
extern void (*RefreshDevEx)();

// The skin-editor block a WM_COPYDATA message carries (texts in 8-bit characters, each ending at its first zero
// byte or its field's end).
#pragma pack(push, 1)
struct TlvSkinData {
  std::uint32_t Magic = 0;  // LKE_MSG
  char SkinName[128] = {};
  char SkinDir[512] = {};
  char Data[30001] = {};
};
#pragma pack(pop)
static_assert(sizeof(TlvSkinData) == 30645, "the editor's block has a fixed size");

VCL_ENUM(TlvSkinTypes, stUnpacked, stPacked, stAllSkins)
enum TacShowState { saIgnore, saRestore, saMinimize };

class TsSkinManager : public vcl::TComponent, public TsSkinTables {
  VCL_CLASS(TsSkinManager, vcl::TComponent)
  explicit TsSkinManager(vcl::TComponent* owner);
  ~TsSkinManager() override;
  void AfterConstruction() override;
  void Loaded() override;

  // Published.
  bool Active() const { return FActive; }
  void SetActive(bool value);
  const rtl::String& SkinName() const { return FSkinName; }
  // Loads the skin of that name (the place is chosen by the search order) and tells every form; a skin that cannot
  // be loaded keeps the previous name and skin and shows why.
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
  void SetHueOffset(int value);
  int Saturation() const { return FSaturation; }
  void SetSaturation(int value);
  int Brightness() const { return FBrightness; }
  // Kept within -100..100.
  void SetBrightness(int value);
  // Reads True only when set and the system can draw layered windows.
  bool ExtendedBorders() const;
  void SetExtendedBorders(bool value);
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool value);
  TlvSkinningRules SkinningRules() const { return FSkinningRules; }
  void SetSkinningRules(TlvSkinningRules value);
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
  TsSkinableMenus* SkinableMenus() const { return FSkinableMenus.get(); }

  // The loaded skin's global description; Active while a loaded skin is in force.
  std::unique_ptr<TsSkinData> CommonSkinData;
  // Shadow margins around a form and the active and inactive shadow templates (with extended borders).
  vcl::TRect FormShadowSize;
  std::unique_ptr<vcl::TBitmap> ShdaTemplate;
  std::unique_ptr<vcl::TBitmap> ShdiTemplate;
  bool SkinIsPacked = false;
  bool SkinRemoving = false;
  bool GlobalHookInstalled = false;
  TacShowState ShowState = saIgnore;
  // The last block a skin editor sent.
  TlvSkinData PreviewBuffer;

  // Broadcasts.
  void SendNewSkin(bool repaint = true);
  void SendRemoveSkin();
  void RepaintForms(bool doLockForms = true);
  void UpdateSkin(bool repaint = true);
  void UpdateSkinSection(const rtl::String& sectionName);
  // Suspend and resume the broadcasts of SkinName changes.
  void BeginUpdate();
  void EndUpdate(bool repaint = true, bool allowAnimation = true);
  bool NoAutoUpdate() const { return FNoAutoUpdate; }

  // Loading.
  void ReloadSkin();
  void ReloadPackedSkin();
  // Reloads the current skin from its source and repaints all forms.
  void UpdateCurrentSkin();
  // The skin directory resolved against the executable's folder (no trailing separator added).
  rtl::String GetFullSkinDirectory() const;
  rtl::String GetSkinNames(rtl::TStrings* list, TlvSkinTypes skinType = stAllSkins);
  rtl::String GetExternalSkinNames(rtl::TStrings* list, TlvSkinTypes skinType = stAllSkins);
  rtl::String GetRandomSkin();
  void ExtractInternalSkin(const rtl::String& nameOfSkin, const rtl::String& destDir);
  void ExtractByIndex(int index, const rtl::String& destDir);
  void CheckVersion();

  // Every section's name in table order while a skin is in force; empty otherwise.
  void GetSkinSections(rtl::TStrings* list) const;

  // The cached indexes, then the shadow templates.
  void InitConstantIndexes();
  void CheckShadows();

  // Hot-control tracking.
  HWND ActiveControl() const { return FActiveControl; }
  void SetActiveControl(HWND value);
  vcl::TGraphicControl* ActiveGraphControl() const { return FActiveGraphControl; }
  void SetActiveGraphControl(vcl::TGraphicControl* value);

  // The default manager's hook of standard windows and its colour redirects.
  void InstallHook();
  void UnInstallHook();
  // The default manager's filter of the main window's messages; true = handled.
  bool MainWindowHook(vcl::TMessage& message);
  // Takes over the block in PreviewBuffer.
  void ReceiveData();

  // An internal skin changed.
  void SkinListChanged();
  // ChangeSysColors was switched on or off.
  void SysColorsOptionChanged();

  vcl::TNotifyEvent OnActivate;
  vcl::TNotifyEvent OnDeactivate;
  vcl::TNotifyEvent OnBeforeChange;
  vcl::TNotifyEvent OnAfterChange;
  vcl::TNotifyEvent OnSkinLoading;
  vcl::TNotifyEvent OnSkinListChanged;
  TlvSysDlgInit OnSysDlgInit;
  TlvGetExtraLineData OnGetMenuExtraLineData;
  TlvGetPopupItemData OnGetPopupItemData;

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  // Empty ThirdParty texts take the defaults; then the working lists are filled from the texts.
  void UpdateThirdNames();
  void UpdateThirdLists();
  void UpdateCommonDlgs();
  void ChooseAndLoad(const rtl::String& newName);
  // The common load sequence over an option text, with the package of a packed or internal skin.
  void LoadFromOptions(const TlvIniText& options, TlvSkinConvertor* package, const rtl::String& skinPath);
  void FreeSkin();
  void OnCheckHot(rtl::TObject* sender);
  bool Designing() const { return ComponentState().Contains(vcl::csDesigning); }
  bool LoadingState() const;
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
  bool FNoAutoUpdate = false;
  HWND FActiveControl = nullptr;
  vcl::TGraphicControl* FActiveGraphControl = nullptr;
  int FMainHookToken = 0;
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
  std::unique_ptr<TsSkinableMenus> FSkinableMenus;
  vcl::TTimer* TimerCheckHot = nullptr;
};

// ScrollsOptions.ScrollSize of the manager when it is 0 or more, else the system's scroll-bar width.
int GetScrollSize(TsSkinManager* manager);
// The larger of the system's scroll-bar width and GetScrollSize.
int GetComboBtnSize(TsSkinManager* manager);
// Sets a window's iconic-thumbnail attributes (only with lv_ChangeThumbPreviews).
void UpdatePreview(HWND wnd, bool value);
// True when one of the command-line parameters is "/lvver" (ASCII case ignored): the program then tells the
// library's version in a message box when it starts.
bool AsksForLibraryVersion(const std::vector<rtl::String>& params);
// The text of that message box.
rtl::String LibraryVersionText();
