#include "skin/core/sSkinManager.h"

#include <windows.h>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSysColors.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sSkinProvider.h"

using rtl::String;

TsSkinManager* DefaultManager = nullptr;
bool UnPackedFirst = false;
std::unique_ptr<rtl::TStringList> lvMemSkinFile;
void (*InitDevEx)(bool active) = nullptr;
void (*RefreshDevEx)() = nullptr;

bool AsksForLibraryVersion(const std::vector<String>& params) {
  for (const String& p : params)
    if (rtl::SameText(p, L"/lvver")) return true;
  return false;
}

String LibraryVersionText() { return L"Lumivex v10.24"; }

namespace {

// Start-up of the manager's unit: the version switch on the command line.
struct TVersionSwitch {
  TVersionSwitch() {
    std::vector<String> params;
    for (int i = 1; i <= rtl::ParamCount(); ++i) params.push_back(rtl::ParamStr(i));
    if (AsksForLibraryVersion(params))
      MessageBoxW(nullptr, LibraryVersionText().c_str(),
                  rtl::ChangeFileExt(rtl::ExtractFileName(rtl::ParamStr(0)), L"").c_str(), MB_OK);
  }
} versionSwitch;

}  // namespace

TsSkinManager::TsSkinManager(vcl::TComponent* owner)
    : vcl::TComponent(owner),
      CommonSkinData(std::make_unique<TsSkinData>()),
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
  FEffects->OnRepaint = [this](bool lock) {
    if (!LoadingState() && !FNoAutoUpdate && CommonSkinData->Active) RepaintForms(lock);
  };
  FOptions->OnSysColorsChanged = [this] { SysColorsOptionChanged(); };
  FScrollsOptions->OnScrollSizeChanged = [this] {
    if (LoadingState()) return;
    vcl::TMessage m = MakeMessage(SM_LUMICMD, MakeLumiWParam(LVC_REINITSCROLLS), reinterpret_cast<LPARAM>(this), 0);
    AppBroadCastS(m);
  };
  FScrollsOptions->OnButtonsSizeChanged = [this] {
    if (!LoadingState() && CommonSkinData->Active) RepaintForms();
  };
  if (!DefaultManager) {
    DefaultManager = this;
    if (IsNTFamily() && !Designing() && vcl::Application)
      FMainHookToken = vcl::Application->HookMainWindow([this](vcl::TMessage& m) { return MainWindowHook(m); });
  }
  FSkinableMenus = MakeSkinableMenus ? MakeSkinableMenus(this) : std::make_unique<TsSkinableMenus>(this);
  TimerCheckHot = new vcl::TTimer(nullptr);
  TimerCheckHot->SetEnabled(false);
  TimerCheckHot->SetInterval(100);
  TimerCheckHot->OnTimer = [this](rtl::TObject* sender) { OnCheckHot(sender); };
}

TsSkinManager::~TsSkinManager() {
  // Removing the skin undoes everything it did to the windows and to the system colours.
  SetActive(false);
  if (GlobalHookInstalled) UnInstallHook();
  FExtendedBorders = false;
  delete TimerCheckHot;
  TimerCheckHot = nullptr;
  ClearTables();
  if (DefaultManager == this) {
    if (FMainHookToken && vcl::Application) vcl::Application->UnhookMainWindow(FMainHookToken);
    DefaultManager = nullptr;
  }
  // The working lists go back into the texts, so what code changed in them is what the manager would store.
  for (int i = 0; i < ThirdPartyList::Count; ++i) {
    String text = FThirdLists[static_cast<size_t>(i)]->Text();
    // The text of a list ends with a line break; the stored texts do not.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    FThirdParty->SetString(i, text);
  }
}

bool TsSkinManager::LoadingState() const {
  auto s = ComponentState();
  return s.Contains(vcl::csLoading) || s.Contains(vcl::csReading);
}

void TsSkinManager::AfterConstruction() {
  inherited::AfterConstruction();
  UpdateThirdNames();
  UpdateThirdLists();
  if (FSkinDirectory.empty()) FSkinDirectory = DefSkinsDir;
  if (!LoadingState() && InitDevEx) InitDevEx(FActive && !FSkinName.empty());
}

void TsSkinManager::Loaded() {
  inherited::Loaded();
  if (FSkinDirectory.empty()) FSkinDirectory = DefSkinsDir;
  if (FMenuSupport->IcoLineSkin().empty()) FMenuSupport->SetIcoLineSkin(L"ICOLINE");
  UpdateThirdNames();
  UpdateThirdLists();
  if (FActive && !FSkinName.empty()) SendNewSkin(false);
  UpdateCommonDlgs();
  if (!LoadingState() && InitDevEx) InitDevEx(FActive && !FSkinName.empty());
  if (FActive && !Designing()) OnActivate(this);
}

void TsSkinManager::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
}

void TsSkinManager::SetActive(bool value) {
  if (value == FActive) return;
  if (value) {
    FActive = true;
    SetSkinName(FSkinName);
    return;
  }
  FActive = false;
  if (FSkinName.empty() && !CommonSkinData->Active && gd.empty()) return;
  if (!LoadingState()) SendRemoveSkin();
  InitConstantIndexes();
  UpdateCommonDlgs();
  if (!Designing() && !ComponentState().Contains(vcl::csDestroying)) OnDeactivate(this);
}

void TsSkinManager::SetSkinName(const String& value) {
  const String oldName = FSkinName;
  FSkinName = value;
  if (FActive) {
    OnBeforeChange(this);
    if (ExtendedBorders() && !FNoAutoUpdate && FAnimEffects->SkinChanging()->Active() && FEffects->AllowAnimation())
      CopyExForms(this);
    aSkinChanging = true;
    CommonSkinData->Active = false;
    try {
      ChooseAndLoad(value);
    } catch (const rtl::Exception& e) {
      // The tables are only replaced by a load that succeeded: the previous skin is still there.
      FSkinName = oldName;
      aSkinChanging = false;
      ShowError(e.Message());
      aSkinChanging = true;
    }
    // No tables means no skin: none was found, or the first load failed.
    if (!FActive || gd.empty())
      SendRemoveSkin();
    else if (!FNoAutoUpdate)
      SendNewSkin(true);
    if (!Designing() && !LoadingState()) OnActivate(this);
    aSkinChanging = false;
    if (!FNoAutoUpdate) OnAfterChange(this);
  }
  UpdateCommonDlgs();
}

void TsSkinManager::SetSkinDirectory(const String& value) {
  if (value == FSkinDirectory) return;
  FSkinDirectory = value;
  CommonSkinData->SkinPath = GetFullSkinDirectory();
  OnSkinListChanged(this);
}

String TsSkinManager::SkinInfo() const {
  if (!CommonSkinData->Active) return L"N/A";
  return rtl::FloatToStr(CommonSkinData->Version, rtl::TFormatSettings::Invariant());
}

void TsSkinManager::SetIsDefault(bool value) {
  if (!value && DefaultManager) return;
  DefaultManager = this;
  if (LoadingState()) return;
  if (FActive)
    SendNewSkin(true);
  else if (!gd.empty() || CommonSkinData->Active)
    SendRemoveSkin();
}

void TsSkinManager::SetCommonSections(rtl::TStrings* value) {
  rtl::TStringList lines;
  if (value) lines.Assign(value);
  for (rtl::Integer i = 0; i < lines.Count(); ++i) {
    String line = lines.Get(i);
    if (line.empty() || line[0] == L';') continue;
    std::erase(line, L' ');
    lines.Put(i, line);
  }
  FCommonSections->Assign(&lines);
  if (!LoadingState()) UpdateCurrentSkin();
}

void TsSkinManager::SetHueOffset(int value) {
  if (value == FHueOffset) return;
  FHueOffset = value;
  UpdateCurrentSkin();
}

void TsSkinManager::SetSaturation(int value) {
  if (value == FSaturation) return;
  FSaturation = value;
  UpdateCurrentSkin();
}

void TsSkinManager::SetBrightness(int value) {
  value = value < -100 ? -100 : value > 100 ? 100 : value;
  if (value == FBrightness) return;
  FBrightness = value;
  UpdateCurrentSkin();
}

bool TsSkinManager::ExtendedBorders() const {
  if (!FExtendedBorders) return false;
  static const bool layered = GetProcAddress(GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow") != nullptr;
  return layered;
}

void TsSkinManager::SetExtendedBorders(bool value) {
  if (value == FExtendedBorders) return;
  FExtendedBorders = value;
  if (!CommonSkinData->Active || LoadingState()) return;
  CheckShadows();
  UpdateCurrentSkin();
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  if (value == FSkinnedPopups) return;
  FSkinnedPopups = value;
  if (DefaultManager != this || Designing() || !FSkinableMenus) return;
  if (value)
    FSkinableMenus->UpdateMenus();
  else
    FSkinableMenus->InitItems(false);
}

void TsSkinManager::SetSkinningRules(TlvSkinningRules value) {
  FSkinningRules = value;
  UpdateCommonDlgs();
}

void TsSkinManager::UpdateCommonDlgs() {
  if (DefaultManager != this) return;
  vcl::UseLatestCommonDialogs = !(FSkinningRules.Contains(srStdDialogs) && FActive);
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
    dpi = ReadRegInt(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", L"AppliedDPI");
  } catch (const rtl::Exception&) {
    dpi = 0;  // an unreadable value counts as the normal scale
  }
  if (dpi >= 144) return 2;
  if (dpi >= 120) return 1;
  return 0;
}

// ---------------------------------------------------------------------------------------------------------------
// Broadcasts

void TsSkinManager::SendNewSkin(bool repaint) {
  if (LoadingState()) return;
  if (repaint && !Designing()) LockForms(this);
  if (FSkinableMenus) FSkinableMenus->FSkinBorderWidth = -1;
  CommonSkinData->Active = false;
  RestrictDrawing = true;
  InitConstantIndexes();
  vcl::TMessage m = MakeMessage(SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(this), 0);
  AppBroadCastS(m);
  RestrictDrawing = false;
  CommonSkinData->Active = true;
  if (DefaultManager == this && !GlobalHookInstalled) InstallHook();
  if (InitDevEx) InitDevEx(true);
  if (RefreshDevEx) RefreshDevEx();
  TimerCheckHot->SetEnabled(true);
  // Menus made while no skin was active get the skin's painting, and the rest a new layout.
  if (DefaultManager == this && FSkinnedPopups && FSkinableMenus && !Designing()) FSkinableMenus->UpdateMenus();
  if (repaint) RepaintForms(false);
}

void TsSkinManager::SendRemoveSkin() {
  if (DefaultManager == this && InitDevEx) InitDevEx(false);
  SkinRemoving = true;
  TimerCheckHot->SetEnabled(false);
  FActiveControl = nullptr;
  FActiveGraphControl = nullptr;
  if (DefaultManager == this) UnInstallHook();
  CommonSkinData->Active = false;
  if (DefaultManager == this && FSkinableMenus) FSkinableMenus->InitItems(false);
  vcl::TMessage m = MakeMessage(SM_LUMICMD, MakeLumiWParam(LVC_REMOVESKIN), reinterpret_cast<LPARAM>(this), 0);
  AppBroadCastS(m);
  FreeSkin();
  SkinRemoving = false;
}

void TsSkinManager::FreeSkin() {
  ClearTables();
  // The cached indexes point into the tables just emptied.
  InitConstantIndexes();
}

void TsSkinManager::RepaintForms(bool doLockForms) {
  vcl::TMessage m = MakeMessage(SM_LUMICMD, MakeLumiWParam(LVC_STOPFADING), reinterpret_cast<LPARAM>(this), 0);
  if (!Designing()) AppBroadCastS(m);
  m.WParam = MakeLumiWParam(LVC_REFRESH);
  if (LoadingState()) {
    AppBroadCastS(m);
  } else {
    if (doLockForms) LockForms(this);
    AppBroadCastS(m);
    UnLockForms(this, !FNoAutoUpdate);
  }
  if (lvMagnForm && lvMagnForm->HandleAllocated()) SendMessageW(lvMagnForm->Handle(), m.Msg, m.WParam, m.LParam);
  if (lvSupportedList)
    for (const auto& w : *lvSupportedList)
      if (w && w->CtrlHandle && IsWindowVisible(w->CtrlHandle))
        RedrawWindow(w->CtrlHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinManager::UpdateSkin(bool repaint) {
  if (FActive) SendNewSkin(repaint);
}

void TsSkinManager::UpdateSkinSection(const String& sectionName) {
  const String upper = rtl::UpperCase(sectionName);
  vcl::TMessage m = MakeMessage(SM_LUMICMD, MakeLumiWParam(LVC_UPDATESECTION), reinterpret_cast<LPARAM>(&upper), 0);
  AppBroadCastS(m);
}

void TsSkinManager::BeginUpdate() { FNoAutoUpdate = true; }

void TsSkinManager::EndUpdate(bool repaint, bool allowAnimation) {
  FNoAutoUpdate = false;
  if (allowAnimation) {
    UpdateSkin(repaint);
  } else {
    TlvSkinChanging* anim = FAnimEffects->SkinChanging();
    const bool was = anim->Active();
    anim->SetActive(false);
    UpdateSkin(repaint);
    anim->SetActive(was);
  }
  OnAfterChange(this);
}

// ---------------------------------------------------------------------------------------------------------------
// Hot-control tracking

void TsSkinManager::SetActiveControl(HWND value) {
  if (value == FActiveControl) return;
  if (FActiveGraphControl) {
    SetActiveGraphControl(nullptr);
    if (FActiveGraphControl) return;
  }
  HWND old = FActiveControl;
  FActiveControl = value;
  if (old) SendMessageW(old, SM_LUMICMD, MakeLumiWParam(LVC_MOUSELEAVE), reinterpret_cast<LPARAM>(this));
  if (value) SendMessageW(value, SM_LUMICMD, MakeLumiWParam(LVC_MOUSEENTER), reinterpret_cast<LPARAM>(this));
}

void TsSkinManager::SetActiveGraphControl(vcl::TGraphicControl* value) {
  if (value == FActiveGraphControl) return;
  if (!value && FActiveGraphControl) {
    auto* data =
        reinterpret_cast<TsCommonData*>(FActiveGraphControl->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETSKINDATA), 0));
    if (data && data->FMouseAbove) return;
  }
  vcl::TGraphicControl* old = FActiveGraphControl;
  FActiveGraphControl = value;
  if (old) old->Perform(SM_LUMICMD, MakeLumiWParam(LVC_MOUSELEAVE), reinterpret_cast<LPARAM>(this));
}

void TsSkinManager::OnCheckHot(rtl::TObject*) {
  if (!FActiveControl) return;
  POINT p;
  GetCursorPos(&p);
  RECT r;
  if (IsWindow(FActiveControl) && GetWindowRect(FActiveControl, &r) && PtInRect(&r, p)) return;
  SetActiveControl(nullptr);
  if (FActiveGraphControl)
    FActiveGraphControl->Perform(SM_LUMICMD, MakeLumiWParam(LVC_MOUSELEAVE), reinterpret_cast<LPARAM>(this));
}

// ---------------------------------------------------------------------------------------------------------------
// The hook and the colour redirects

void TsSkinManager::InstallHook() {
  if (DefaultManager != this || Designing() || GlobalHookInstalled) return;
  GlobalHookInstalled = true;
  if (!lvSupportedList) lvSupportedList = std::make_unique<std::vector<std::unique_ptr<TlvCustomDialogWnd>>>();
  HookCallback = SetWindowsHookExW(WH_CBT, SkinHookCBT, nullptr, GetCurrentThreadId());
  if (FOptions->ChangeSysColors()) HookSysColors(true);
}

void TsSkinManager::UnInstallHook() {
  if (DefaultManager != this || Designing() || !GlobalHookInstalled) return;
  ClearMnuArray();
  if (HookCallback) UnhookWindowsHookEx(HookCallback);
  lvSupportedList.reset();
  if (FOptions->ChangeSysColors() || SysColorsHooked()) HookSysColors(false);
  GlobalHookInstalled = false;
  HookCallback = nullptr;
}

void TsSkinManager::SysColorsOptionChanged() {
  if (DefaultManager != this || Designing() || LoadingState()) return;
  // Redirects exist only while the hook does (a skin is in force); switching off always removes them.
  HookSysColors(FOptions->ChangeSysColors() && GlobalHookInstalled);
}

int GetScrollSize(TsSkinManager* manager) {
  if (manager && manager->ScrollsOptions()->ScrollSize() >= 0) return manager->ScrollsOptions()->ScrollSize();
  return GetSystemMetrics(SM_CXVSCROLL);
}

int GetComboBtnSize(TsSkinManager* manager) { return std::max(GetSystemMetrics(SM_CXVSCROLL), GetScrollSize(manager)); }

void UpdatePreview(HWND wnd, bool value) {
  if (!lv_ChangeThumbPreviews) return;
  BOOL v = value ? TRUE : FALSE;
  if (DwmSetWindowAttribute(wnd, 10, &v, sizeof(v)) == S_OK) DwmSetWindowAttribute(wnd, 7, &v, sizeof(v));
  DwmInvalidateIconicBitmaps(wnd);
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
  cls.Prop(L"OnSysDlgInit", &TsSkinManager::OnSysDlgInit);
  cls.Prop(L"OnGetMenuExtraLineData", &TsSkinManager::OnGetMenuExtraLineData);
  cls.Prop(L"OnGetPopupItemData", &TsSkinManager::OnGetPopupItemData);
}
