#include "skin/core/sCommonData.h"

#include <algorithm>

#include "platform/rtl/strings.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"

// Told when an own manager is freed, so the state never keeps a dangling manager.
class TsCommonData::TManagerWatch : public vcl::TComponent {
 public:
  explicit TManagerWatch(TsCommonData* data) : vcl::TComponent(nullptr), data_(data) {}

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    vcl::TComponent::Notification(component, operation);
    // The manager is past its own destructor here, so it is known by its address alone.
    if (operation == vcl::opRemove) data_->ManagerGone(component);
  }

 private:
  TsCommonData* data_;
};

TsCommonData::TsCommonData(rtl::TObject* owner, bool createCacheBmp)
    : FOwnerObject(owner),
      FOwnerControl(dynamic_cast<vcl::TControl*>(owner)),
      FWatch(std::make_unique<TManagerWatch>(this)) {
  if (createCacheBmp) {
    FCacheBmp = std::make_unique<vcl::TBitmap>();
    FCacheBmp->SetPixelFormat(vcl::pf32bit);
  }
}

TsCommonData::~TsCommonData() {
  if (TlvThreadedTimer* timer = AnimTimer) {
    AnimTimer = nullptr;
    delete timer;
  }
  HideGlow(GlowID, false);
  SkinIndex = Texture = HotTexture = -1;
  if (FSkinManager) FWatch->RemoveFreeNotification(FSkinManager);
  FSkinManager = nullptr;
  FOwnerControl = nullptr;
  FOwnerObject = nullptr;
  FSWHandle = nullptr;
}

void TsCommonData::Assign(const rtl::TPersistent* source) {
  if (auto* src = dynamic_cast<const TsCommonData*>(source)) {
    SetCustomColor(src->FCustomColor);
    SetCustomFont(src->FCustomFont);
    SetSkinSection(src->FSkinSection);
    SetSkinManager(src->FSkinManager);
    return;
  }
  rtl::TPersistent::Assign(source);
}

void TsCommonData::SetCustomColor(bool value) {
  if (FCustomColor == value) return;
  FCustomColor = value;
  Invalidate();
}

void TsCommonData::SetCustomFont(bool value) {
  if (FCustomFont == value) return;
  FCustomFont = value;
  Invalidate();
}

TsSkinManager* TsCommonData::SkinManager() const { return FSkinManager ? FSkinManager : DefaultManager; }

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  if (value == DefaultManager) value = nullptr;
  if (value == FSkinManager) return;
  if (FSkinManager) FWatch->RemoveFreeNotification(FSkinManager);
  FSkinManager = value;
  if (FSkinManager) FWatch->FreeNotification(FSkinManager);
  if (Loading) return;
  TsSkinManager* manager = SkinManager();
  if (manager && !manager->gd.empty())
    UpdateIndexes(true);
  else
    SkinIndex = -1;
  if (!FOwnerControl || FOwnerControl->Parent() == nullptr ||
      FOwnerControl->ComponentState().Contains(vcl::csDestroying))
    return;
  const bool valid = manager && !manager->gd.empty() && manager->IsValidSkinIndex(SkinIndex);
  FOwnerControl->Perform(SM_LUMICMD, MakeLumiWParam(valid ? LVC_REFRESH : LVC_REMOVESKIN),
                         reinterpret_cast<LPARAM>(manager));
}

void TsCommonData::ManagerGone(vcl::TComponent* manager) {
  if (!FSkinManager || manager != static_cast<vcl::TComponent*>(FSkinManager)) return;
  FSkinManager = nullptr;
  SkinIndex = Texture = HotTexture = BorderIndex = -1;
}

void TsCommonData::SetSkinSection(const rtl::String& value) {
  // Section names are identifiers of the skin file: ordinal upper case, never the user's locale.
  rtl::String name = rtl::UpperCase(value);
  if (name == FSkinSection) return;
  FSkinSection = name;
  TsSkinManager* manager = SkinManager();
  if (manager && !manager->gd.empty())
    UpdateIndexes(true);
  else
    SkinIndex = -1;
  if (!FOwnerControl || Loading || FOwnerControl->Parent() == nullptr) return;
  auto state = FOwnerControl->ComponentState();
  if (state.Contains(vcl::csLoading) || state.Contains(vcl::csReading) || state.Contains(vcl::csDestroying)) return;
  if (auto* win = dynamic_cast<vcl::TWinControl*>(FOwnerControl)) {
    if (FCacheBmp) FCacheBmp->SetWidth(0);
    vcl::TMessage m = MakeMessage(SM_LUMICMD, MakeLumiWParam(LVC_SETBGCHANGED, 1), 0, 0);
    LumiBroadCast(win, m);
  }
  const bool valid = manager && manager->IsValidSkinIndex(SkinIndex);
  FOwnerControl->Perform(SM_LUMICMD, MakeLumiWParam(valid ? LVC_REFRESH : LVC_REMOVESKIN),
                         reinterpret_cast<LPARAM>(manager));
}

void TsCommonData::Loaded() {
  Loading = false;
  UpdateData();
}

void TsCommonData::UpdateData() {
  if (!FSkinSection.empty()) {
    UpdateIndexes(true);
    return;
  }
  switch (COC) {
    case 18:
      SetSkinSection(L"COMBOBOX");
      return;
    case 19:
      SetSkinSection(L"BAR");
      return;
    case 20:
      SetSkinSection(L"BARTITLE");
      return;
    case 50:
    case 152:
      SetSkinSection(L"CHECKBOX");
      return;
    case 56:
      SetSkinSection(L"DRAGBAR");
      return;
    case 98:
      SetSkinSection(L"TOOLBUTTON");
      return;
    case 230:
      SetSkinSection(L"EDIT");
      return;
    default:
      break;
  }
  auto in = [](int c, int lo, int hi) { return c >= lo && c <= hi; };
  int c = COC;
  bool asksControl = in(c, 2, 10) || in(c, 12, 14) || in(c, 32, 34) || c == 51 || c == 53 || c == 54 || in(c, 57, 59) ||
                     in(c, 74, 76) || c == 78 || in(c, 81, 85) || in(c, 92, 94) || in(c, 132, 141) || c == 143 ||
                     c == 151 || c == 161 || c == 165 || c == 226;
  if (asksControl) {
    UpdateIndexes(true);
  } else if (FOwnerObject) {
    SetSkinSection(FOwnerObject->ClassName());
  }
}

void TsCommonData::UpdateIndexes(bool updateMain) {
  BGChanged = true;
  TsSkinManager* manager = SkinManager();
  if (updateMain) {
    if (!manager || !manager->Active()) {
      SkinIndex = -1;
    } else if (!FSkinSection.empty()) {
      SkinIndex = manager->GetSkinIndex(FSkinSection);
    } else if (FOwnerControl) {
      // The owner knows its default section; it answers its index + 1 (0 = none).
      LRESULT answer = SendAMessage(FOwnerControl, LVC_GETDEFINDEX);
      if (!dynamic_cast<vcl::TWinControl*>(FOwnerControl) ||
          !static_cast<vcl::TWinControl*>(FOwnerControl)->HandleAllocated())
        answer = FOwnerControl->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETDEFINDEX), 0);
      SkinIndex = static_cast<int>(answer) - 1;
    } else {
      SkinIndex = -1;
    }
  }
  BGType = 0;
  CtrlSkinState = LVCS_BGUNDEF;
  if (manager && SkinIndex >= 0 && manager->IsValidSkinIndex(SkinIndex)) {
    BorderIndex = manager->gd[static_cast<size_t>(SkinIndex)].BorderIndex;
    Texture = manager->GetTextureIndex(SkinIndex, L"PATTERN");
    HotTexture = manager->GetTextureIndex(SkinIndex, L"HOTPATTERN");
  } else {
    if (SkinIndex >= 0) SkinIndex = -1;
    BorderIndex = Texture = HotTexture = -1;
  }
}

void TsCommonData::InitIndexes(const std::vector<rtl::String>& names) {
  TsSkinManager* manager = SkinManager();
  if (!manager) {
    SkinIndex = -1;
    return;
  }
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    int index = manager->GetSkinIndex(*it);
    if (index >= 0) {
      SkinIndex = index;
      break;
    }
  }
  UpdateIndexes(false);
}

void TsCommonData::ForgetManager() {
  if (FSkinManager) FWatch->RemoveFreeNotification(FSkinManager);
  FSkinManager = nullptr;
}

bool TsCommonData::Skinned(bool checkSkinActive) const {
  TsSkinManager* manager = SkinManager();
  if (!manager || !manager->IsValidSkinIndex(SkinIndex)) return false;
  if (manager->ComponentState().Contains(vcl::csDestroying)) return false;
  if (auto* c = dynamic_cast<vcl::TComponent*>(FOwnerObject))
    if (c->ComponentState().Contains(vcl::csDestroying)) return false;
  return !checkSkinActive || manager->Active();
}

void TsCommonData::Invalidate(bool updateNow) {
  if (Loading) return;
  if (FOwnerControl) {
    auto state = FOwnerControl->ComponentState();
    if (state.Contains(vcl::csLoading) || state.Contains(vcl::csDestroying)) return;
    BGChanged = true;
    FOwnerControl->Invalidate();
    if (updateNow) FOwnerControl->Update();
  } else {
    BGChanged = true;
  }
}

void TsCommonData::BeginUpdate() {
  ++FUpdateCount;
  FUpdating = true;
  CtrlSkinState |= LVCS_LOCKED;
}

void TsCommonData::EndUpdate(bool repaint) {
  --FUpdateCount;
  // Painting resumes at once, even while an outer update still counts.
  FUpdating = false;
  CtrlSkinState &= static_cast<unsigned short>(~LVCS_LOCKED);
  if (FUpdateCount <= 0) {
    FUpdateCount = 0;
    if (repaint) Invalidate(true);
  }
}

void TsCommonData::InitCacheBmp() {
  if (!FCacheBmp) {
    FCacheBmp = std::make_unique<vcl::TBitmap>();
    FCacheBmp->SetPixelFormat(vcl::pf32bit);
  }
  if (FOwnerControl) {
    int w = std::max(0, FOwnerControl->Width()), h = std::max(0, FOwnerControl->Height());
    if (FCacheBmp->Width() != w || FCacheBmp->Height() != h) FCacheBmp->SetSize(w, h);
  }
}

void TsCtrlSkinData::SetHUEOffset(int value) {
  if (FHUEOffset == value) return;
  FHUEOffset = value;
  if (!Loading) Loaded();
  Invalidate();
}

void TsCtrlSkinData::SetSaturation(int value) {
  if (FSaturation == value) return;
  FSaturation = value;
  if (!Loading) Loaded();
  Invalidate();
}

void TsCtrlSkinData::SetColorTone(int value) {
  if (FColorTone == value) return;
  FColorTone = value;
  if (!Loading) Loaded();
  Invalidate();
}

HWND TlvScrollData::OwnerWindow() const {
  if (!FOwner) return nullptr;
  auto* wc = dynamic_cast<vcl::TWinControl*>(FOwner->OwnerControl());
  if (!wc || FOwner->Loading || !wc->HandleAllocated()) return nullptr;
  return wc->Handle();
}

void TlvScrollData::SetScrollWidth(int value) {
  if (FScrollWidth == value) return;
  FScrollWidth = value;
  // The frame holds the scroll bars: have the window measure it again.
  if (HWND wnd = OwnerWindow())
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                     SWP_NOSENDCHANGING);
}

void TlvScrollData::SetButtonsSize(int value) {
  if (FButtonsSize == value) return;
  FButtonsSize = value;
  if (HWND wnd = OwnerWindow()) SendMessageW(wnd, WM_NCPAINT, 0, 0);
}

void TlvScrollData::Assign(const rtl::TPersistent* source) {
  if (auto* src = dynamic_cast<const TlvScrollData*>(source)) {
    SetScrollWidth(src->FScrollWidth);
    SetButtonsSize(src->FButtonsSize);
    return;
  }
  rtl::TPersistent::Assign(source);
}

TsScrollWndData::TsScrollWndData(rtl::TObject* owner, bool createCacheBmp)
    : TsCommonData(owner, createCacheBmp),
      FVertScrollData(std::make_unique<TlvScrollData>(this)),
      FHorzScrollData(std::make_unique<TlvScrollData>(this)) {}

VCL_REGISTER(TsCommonData) {
  cls.Prop(L"CustomColor", &TsCommonData::CustomColor, &TsCommonData::SetCustomColor).Default(false);
  cls.Prop(L"CustomFont", &TsCommonData::CustomFont, &TsCommonData::SetCustomFont).Default(false);
  cls.Prop(L"SkinManager", &TsCommonData::SkinManager, &TsCommonData::SetSkinManager)
      .Stored(&TsCommonData::IsSkinManagerStored);
  cls.Prop(L"SkinSection", &TsCommonData::SkinSection, &TsCommonData::SetSkinSection);
}

VCL_REGISTER(TsCtrlSkinData) {
  cls.Prop(L"HUEOffset", &TsCtrlSkinData::HUEOffset, &TsCtrlSkinData::SetHUEOffset).Default(0);
  cls.Prop(L"Saturation", &TsCtrlSkinData::Saturation, &TsCtrlSkinData::SetSaturation).Default(0);
  cls.Prop(L"ColorTone", &TsCtrlSkinData::ColorTone, &TsCtrlSkinData::SetColorTone).Default(clNoColorTone);
}

VCL_REGISTER(TlvScrollData) {
  cls.Prop(L"ScrollWidth", &TlvScrollData::ScrollWidth, &TlvScrollData::SetScrollWidth).Default(-1);
  cls.Prop(L"ButtonsSize", &TlvScrollData::ButtonsSize, &TlvScrollData::SetButtonsSize).Default(-1);
}

VCL_REGISTER(TsScrollWndData) {
  cls.Prop(L"VertScrollData", &TsScrollWndData::VertScrollData, &TsScrollWndData::SetVertScrollData);
  cls.Prop(L"HorzScrollData", &TsScrollWndData::HorzScrollData, &TsScrollWndData::SetHorzScrollData);
}
