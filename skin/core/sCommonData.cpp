#include "skin/core/sCommonData.h"

#include <algorithm>

#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sOuterEffects.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"

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
      FWatch(std::make_unique<TManagerWatch>(this)),
      FOuterEffects(std::make_unique<TlvOuterEffects>(this)) {
  InvalidRectH.Right = 0;
  InvalidRectV.Bottom = 0;
  if (createCacheBmp) {
    FCacheBmp = std::make_unique<vcl::TBitmap>();
    FCacheBmp->SetPixelFormat(vcl::pf32bit);
  }
  InitCommonProp();
}

TsCommonData::~TsCommonData() {
  RemoveCommonProp();
  if (TlvThreadedTimer* timer = AnimTimer) {
    AnimTimer = nullptr;
    delete timer;
  }
  HideGlow(GlowID, false);
  SkinIndex = Texture = HotTexture = -1;
  if (FSkinManager) FWatch->RemoveFreeNotification(FSkinManager);
  FSkinManager = nullptr;
  ClearLinks();
}

void TsCommonData::ClearLinks() {
  FOwnerControl = nullptr;
  FOwnerObject = nullptr;
  FSWHandle = nullptr;
}

namespace {
constexpr const wchar_t* kDataProp = L"LVSDATA";

// The owner's window without creating one: a windowed owner control's handle when it has one, else the wrapped
// window.
vcl::TForm* ProviderForm(rtl::TObject* owner) {
  auto* provider = dynamic_cast<TsCustomSkinProvider*>(owner);
  return provider ? provider->Form : nullptr;
}

HWND ExistingOwnerWindow(TsCommonData* d) {
  if (auto* win = dynamic_cast<vcl::TWinControl*>(d->OwnerControl()))
    if (win->HandleAllocated() && !win->ComponentState().Contains(vcl::csDestroying)) return win->Handle();
  return d->FSWHandle;
}
}  // namespace

void TsCommonData::InitCommonProp() {
  if (HWND wnd = ExistingOwnerWindow(this)) SetPropW(wnd, kDataProp, this);
}

void TsCommonData::RemoveCommonProp() {
  if (vcl::Application && vcl::Application->Terminated()) return;
  HWND wnd = ExistingOwnerWindow(this);
  // Only the property that leads here: a window re-used by another owner keeps its own.
  if (wnd && GetPropW(wnd, kDataProp) == this) RemovePropW(wnd, kDataProp);
}

TsCommonData* GetCommonData(HWND handle) {
  return handle ? static_cast<TsCommonData*>(GetPropW(handle, kDataProp)) : nullptr;
}

void TsCommonData::SetOuterEffects(TlvOuterEffects* value) { FOuterEffects->Assign(value); }

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
  if (!Skinned() || !FOwnerControl || !FOwnerControl->Parent()) return;
  if (FOwnerControl->ComponentState().Contains(vcl::csLoading)) return;
  if (auto* win = dynamic_cast<vcl::TWinControl*>(FOwnerControl)) AddToAdapter(win);
  UpdateCtrlColors(this, false);
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
  InitBGType();
  CtrlSkinState = LVCS_BGUNDEF;
  if (manager && SkinIndex >= 0 && manager->IsValidSkinIndex(SkinIndex)) {
    BorderIndex = manager->gd[static_cast<size_t>(SkinIndex)].BorderIndex;
    Texture = manager->GetTextureIndex(SkinIndex, L"PATTERN");
    HotTexture = manager->GetTextureIndex(SkinIndex, L"HOTPATTERN");
    UpdateSkinState(this, false);
  } else {
    if (SkinIndex >= 0) SkinIndex = -1;
    BorderIndex = Texture = HotTexture = -1;
  }
}

void TsCommonData::InitBGType() {
  BGType = BGT_NONE;
  TsSkinManager* manager = SkinManager();
  if (!manager || !manager->IsValidSkinIndex(SkinIndex)) return;
  const TsGeneralData& g = manager->gd[static_cast<size_t>(SkinIndex)];
  const TsGenState& s0 = g.Props[0];
  if (s0.ImagePercent != 0 && manager->IsValidImgIndex(s0.TextureIndex)) {
    auto in = [](int mode, std::initializer_list<int> modes) {
      return std::find(modes.begin(), modes.end(), mode) != modes.end();
    };
    const int m = manager->ma[static_cast<size_t>(s0.TextureIndex)].DrawMode;
    if (in(m, {fmStretched, fmStretchHorzTop, fmStretchVertLeft, fmStretchHorBtm, fmStretchVertRight, fmStretchHorz,
               fmStretchVert}))
      BGType |= BGT_STRETCH;
    if (in(m, {fmTiled, fmStretched, fmTiledVert, fmStretchVertLeft, fmDisTiled, fmStretchVert}))
      BGType |= BGT_TEXTURELEFT;
    if (in(m, {fmTiled, fmStretched, fmTileVertRight, fmStretchVertRight, fmDisTiled, fmStretchVert}))
      BGType |= BGT_TEXTURERIGHT;
    if (in(m, {fmTiled, fmStretched, fmTiledHorz, fmStretchHorzTop, fmDisTiled, fmStretchHorz}))
      BGType |= BGT_TEXTURETOP;
    if (in(m, {fmTiled, fmStretched, fmTileHorBtm, fmStretchHorBtm, fmDisTiled, fmStretchHorz}))
      BGType |= BGT_TEXTUREBOTTOM;
  }
  if (s0.GradientPercent != 0 && !s0.GradientArray.empty()) {
    switch (s0.GradientArray[0].Mode1) {
      case 0:
        BGType |= BGT_GRADIENTVERT;
        break;
      case 1:
        BGType |= BGT_GRADIENTHORZ;
        break;
      case 2:
        BGType |= BGT_GRADIENTVERT | BGT_GRADIENTHORZ;
        break;
      default:
        break;
    }
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
    if (!ControlIsReady(FOwnerControl)) {
      // A graphic control is ready when its parent is; its window is its parent's.
      if (dynamic_cast<vcl::TWinControl*>(FOwnerControl) || !ControlIsReady(FOwnerControl->Parent())) return;
    }
    if (auto* win = dynamic_cast<vcl::TWinControl*>(FOwnerControl)) {
      RedrawWindow(win->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | (updateNow ? RDW_UPDATENOW : 0));
    } else {
      FOwnerControl->Repaint();
    }
  } else {
    BGChanged = true;
    if (auto* form = dynamic_cast<vcl::TWinControl*>(ProviderForm(FOwnerObject)); form && form->HandleAllocated())
      RedrawWindow(form->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | (updateNow ? RDW_UPDATENOW : 0));
  }
}

void TsCommonData::BeginUpdate() {
  ++FUpdateCount;
  FUpdating = true;
  CtrlSkinState |= LVCS_LOCKED;
  NotifyUpdate(LVC_BEGINUPDATE);
}

void TsCommonData::NotifyUpdate(WORD command) {
  if (FOwnerControl) {
    FOwnerControl->Perform(SM_LUMICMD, MakeLumiWParam(command), 0);
  } else if (auto* form = dynamic_cast<vcl::TWinControl*>(ProviderForm(FOwnerObject));
             form && form->HandleAllocated()) {
    SendMessageW(form->Handle(), SM_LUMICMD, MakeLumiWParam(command), 0);
  }
}

void TsCommonData::EndUpdate(bool repaint) {
  --FUpdateCount;
  // Painting resumes at once, even while an outer update still counts.
  FUpdating = false;
  CtrlSkinState &= static_cast<unsigned short>(~LVCS_LOCKED);
  if (FUpdateCount <= 0) {
    FUpdateCount = 0;
    NotifyUpdate(LVC_ENDUPDATE);
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
  cls.Prop(L"OuterEffects", &TsCommonData::OuterEffects, &TsCommonData::SetOuterEffects);
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
