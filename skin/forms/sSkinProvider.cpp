// The provider's life with its form: attaching and detaching, the window procedure and its routing, the command
// message as a form sees it, skin activation, refresh and removal, and the metrics the other parts use.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sBorderForm.h"
#include "skin/forms/sCtrlAdapter.h"
#include "skin/forms/sSBAnimation.h"
#include "skin/forms/sTitleBar.h"
#include "skin/forms/sWindowAnims.h"

TsSkinProvider* ChildProvider = nullptr;
bool biClicked = false;

namespace {

bool Designing(vcl::TComponent* c) { return c->ComponentState().Contains(vcl::csDesigning); }

}  // namespace

TsSkinProvider::TsSkinProvider(vcl::TComponent* owner) : TsCustomSkinProvider(owner, false) { Construct(false); }

TsSkinProvider* TsSkinProvider::CreateRT(vcl::TComponent* owner, bool) {
  auto* sp = new TsSkinProvider(owner);
  sp->RTInit = true;
  for (int i = 0; i < owner->ComponentCount() && !sp->FTitleBar; ++i)
    if (auto* bar = dynamic_cast<TsTitleBar*>(owner->Components(i))) sp->FTitleBar = bar;
  return sp;
}

void TsSkinProvider::Construct(bool) {
  if (!Form) {
    // Detached before raising: the component must not stay half-made on a non-form owner.
    if (Owner()) Owner()->RemoveComponent(this);
    throw rtl::EAbort(L"TsSkinProvider component may be used with forms only!");
  }
  if (!Designing(this) && rtl::ParamCount() > 0) lvPreviewNeeded = rtl::ParamStr(1) == L"/lvpreview";
  RTEmpty = false;
  if (Form->HandleAllocated()) {
    auto* other =
        reinterpret_cast<TsCustomSkinProvider*>(Form->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0));
    if (auto* sp = dynamic_cast<TsSkinProvider*>(other); sp && sp != this && sp->RTInit)
      delete sp;  // the streamed provider replaces the one the dialog hook made
    else if (other && other != this)
      RTEmpty = true;
  }
  FDrawNonClientArea = true;
  FAllowAnimation = FAllowExtBorders = true;
  MenuChanged = RgnChanged = true;
  InAero = AeroIsEnabled();
  FCommonData->SetSkinSection(L"FORM");
  FCommonData->COC = COC_TsSkinProvider;
  if ((Form->ControlState().Contains(vcl::csReadingState) || Form->ControlState().Contains(vcl::csCreating)) &&
      Form->BorderStyle() != vcl::bsNone)
    FCommonData->BeginUpdate();
  FAddedTitle = std::make_unique<TlvAddedTitle>(this);
  FFormHeader = std::make_unique<TlvFormHeader>(this);
  FTitleIcon = std::make_unique<TsTitleIcon>(this);
  FTitleButtons = std::make_unique<TsTitleButtons>(this);
  FSysSubMenu = std::make_unique<TlvSysSubMenu>(this);
  for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose, &MDIMin, &MDIMax, &MDIClose})
    *b = TsCaptionButton();
  if (!Designing(this) && !RTEmpty) {
    TempBmp = std::make_unique<vcl::TBitmap>();
    MenuLineBmp = std::make_unique<vcl::TBitmap>();
    MenuLineBmp->SetPixelFormat(vcl::pf32bit);
    ClearButtons = true;
    ArOR.clear();
    FLinesCount = -1;
    HookForm(vcl::MakeWndMethod(this, &TsSkinProvider::NewWndProc));
    FormActive = true;
  }
}

void TsSkinProvider::LV_WMNCDestroy() {
  SetHotHT(0, false);
  LayerForm.reset();
  KillAnimations();
  UnhookForm();
  FFormGone = true;
}

TsSkinProvider::~TsSkinProvider() {
  LayerForm.reset();
  // The items may outlive the provider: they must not call it any more.
  ReleaseTitleBar();
  if (FAddedTitle) {
    FHintTimer.reset();
    InitExBorders(false);
    if (!Designing(this)) {
      KillAnimations();
      if (!FFormGone) UnhookForm();
    }
    if (MDISkinProvider == this) MDISkinProvider = nullptr;
    // The line handlers would find no provider to draw with any more.
    if (!Designing(this) && !FFormGone && Form && !Form->ComponentState().Contains(vcl::csDestroying))
      HookMenuLine(false);
    if (SystemMenu) SystemMenu->Free();
    TempBmp.reset();
    MenuLineBmp.reset();
  }
  if (ChildProvider == this) ChildProvider = nullptr;
}

void TsSkinProvider::AfterConstruction() {
  TsCustomSkinProvider::AfterConstruction();
  for (int i = 0; Form && i < Form->ComponentCount() && !FTitleBar; ++i)
    if (auto* bar = dynamic_cast<TsTitleBar*>(Form->Components(i))) FTitleBar = bar;
  if (!Form || RTEmpty || RTInit || Designing(this)) return;
  TsSkinManager* m = SkinManager();
  if (m && m->Active()) PrepareForm();
}

void TsSkinProvider::Loaded() {
  TsCustomSkinProvider::Loaded();
  if (!RTEmpty && !RTInit && SkinManager() && !Designing(this) && FCommonData->Skinned(true)) LoadInit();
}

void TsSkinProvider::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TsCustomSkinProvider::Notification(component, operation);
  if (operation == vcl::opRemove && component == SystemMenu) {
    SystemMenu = nullptr;
    return;
  }
  // A title bar being freed is no longer one by type here: it is known by address (a new one finds the provider
  // itself once made).
  if (operation == vcl::opRemove) ForgetLabel(component);
  if (operation == vcl::opRemove && FTitleBar && component == static_cast<vcl::TComponent*>(FTitleBar)) {
    FTitleBar = nullptr;
    return;
  }
  if (auto* m = dynamic_cast<TsSkinManager*>(component)) {
    if (operation == vcl::opInsert && !FCommonData->ManagerIsOwn())
      FCommonData->SetSkinManager(m);
    else if (operation == vcl::opRemove && FCommonData->ManagerIsOwn() && FCommonData->SkinManager() == m)
      FCommonData->SetSkinManager(nullptr);
  }
}

void TsSkinProvider::LoadInit() {
  if (Form->HandleAllocated()) InitDwm(Form->Handle(), FDrawNonClientArea);
  PrepareForm();
  if (SystemMenu) SystemMenu->UpdateItems(false);
  TsSkinManager* m = SkinManager();
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* b = FTitleButtons->Items(i);
    b->Data.ImageIndex = b->UseSkinData() && m ? m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"TITLEBUTTON") : -1;
  }
  if (Form->BorderStyle() == vcl::bsSizeToolWin) {
    FAllowBlendOnMoving = false;
    FUseGlobalColor = true;
  }
}

void TsSkinProvider::PrepareForm() {
  TsSkinManager* m = SkinManager();
  if (RTInit || RTEmpty || !m || !Form || !Form->HandleAllocated() || !m->Active()) return;
  FCommonData->Loaded();
  InitIndexes();
  if (!SystemMenu) {
    SystemMenu = new TsSystemMenu(this);
    SystemMenu->UpdateItems(false);
  }
  CheckSysMenu(true);
  if (ClearButtons) ClearButtons = false;
  FCommonData->UpdateIndexes(true);
  UpdateTitleBar();
  UpdateIconsIndexes();
  const auto cs = Form->ControlState();
  if (!cs.Contains(vcl::csCreating) && !cs.Contains(vcl::csReadingState) &&
      !ComponentState().Contains(vcl::csLoading) && FUseGlobalColor && !FCommonData->CustomColor())
    Form->SetColor(m->GetGlobalColor());
  if (Form->Showing() && !ComponentState().Contains(vcl::csLoading)) InitExBorders(m->ExtendedBorders());
}

LRESULT TsSkinProvider::ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  vcl::TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  NewWndProc(m);
  return m.Result;
}

bool TsSkinProvider::UpdateMenu() {
  static bool updating = false;
  if (updating || !Form->Menu() || Form->Menu()->Items()->Count() == 0) return false;
  updating = true;
  FCommonData->BeginUpdate();
  HookMenuLine(FDrawNonClientArea && FCommonData->Skinned(true));
  Form->Menu()->MenuChanged();
  FCommonData->EndUpdate(false);
  updating = false;
  return true;
}

void TsSkinProvider::TryInitMenu() {
  if (!MenusInitialized) MenusInitialized = UpdateMenu();
}

void TsSkinProvider::InitExBorders(bool use) {
  TsSkinManager* m = SkinManager();
  const bool wanted = use && m && !Designing(this) && Form && Form->HandleAllocated() && HaveBorder(this) &&
                      FDrawNonClientArea && !Form->Parent() && Form->FormStyle() != vcl::fsMDIChild &&
                      FAllowExtBorders && FCommonData->Skinned(false);
  if (wanted) {
    if (!BorderForm) {
      auto* b = new TlvBorderForm(this);
      b->SkinData = FCommonData.get();
      BorderForm = b;
      RgnChanged = true;
    }
    FCommonData->BGChanged = true;
    BorderForm->UpdateExBordersPos(true, 255);
    return;
  }
  if (!BorderForm) return;
  TlvCustomBorderForm* b = BorderForm;
  BorderForm = nullptr;
  delete b;
  // The form's own frame is the frame again.
  RgnChanged = true;
  FCommonData->BGChanged = true;
}

void TsSkinProvider::KillAnimations() {
  // Freeing a fade clears the button's link to it.
  for (TsCaptionButton* b : {&ButtonClose, &ButtonMax, &ButtonHelp, &ButtonMin}) delete b->Timer;
  for (int i = 0; i < FTitleButtons->Count(); ++i) delete FTitleButtons->Items(i)->Data.Timer;
  if (FTitleBar && !ComponentState().Contains(vcl::csDestroying))
    for (int i = 0; i < FTitleBar->Items()->Count(); ++i) delete FTitleBar->Items()->Items(i)->Timer;
}

// ---- Setters -------------------------------------------------------------------------------------------------

void TsSkinProvider::SetAllowExtBorders(bool v) {
  if (FAllowExtBorders == v) return;
  FAllowExtBorders = v;
  if (SkinManager() && Form && Form->Showing()) InitExBorders(SkinManager()->ExtendedBorders());
}

void TsSkinProvider::SetShowAppIcon(bool v) {
  if (FShowAppIcon == v) return;
  FShowAppIcon = v;
  FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

void TsSkinProvider::SetCaptionAlignment(vcl::TAlignment v) {
  if (FCaptionAlignment == v) return;
  FCaptionAlignment = v;
  FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

void TsSkinProvider::SetTitleSkin(const rtl::String& v) {
  if (FTitleSkin == v) return;
  FTitleSkin = v;
  FTitleSkinIndex = -1;
  InitIndexes();
  FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

void TsSkinProvider::SetMenuLineSkin(const rtl::String& v) {
  if (FMenuLineSkin == v) return;
  FMenuLineSkin = v;
  FCommonData->BGChanged = true;
  UpdateSkinCaption(this);
}

// ---- The window procedure --------------------------------------------------------------------------------------

void TsSkinProvider::NewWndProc(vcl::TMessage& m) {
  if (m.Msg == SM_LUMICMD && LV_SMLumiCmd_Common(m)) return;
  const bool destroying = Form->ComponentState().Contains(vcl::csDestroying);
  if (destroying || !FCommonData->Skinned(false)) {
    if (m.Msg == SM_LUMICMD && LV_SMLumiCmd_Unskinned(m)) return;
    if (m.Msg == vcl::CM_VISIBLECHANGED && m.WParam && RTInit) {
      RTInit = false;
      LoadInit();
    }
    OldWndProc(m);
    // A form on its way out gives its procedure back while it is still whole: by the time the form frees its
    // components (this provider among them) nothing of it but the component remains.
    if (m.Msg == WM_NCDESTROY && destroying) LV_WMNCDestroy();
    return;
  }
  if (DispatchFormMessage(m)) return;
  switch (m.Msg) {
    case SM_LUMICMD:
      LV_SMLumiCmd_Skinned(m);
      return;
    case WM_PAINT:
      LV_WMPaint(m);
      return;
    case WM_ERASEBKGND:
      LV_WMEraseBkGnd(m);
      return;
    case WM_SETTEXT:
      LV_WMSetText(m);
      return;
    case WM_ENABLE:
      OldWndProc(m);
      // At the default value the cover would dim nothing; where layered windows are not composed it would show
      // black over the form (every form behind a modal dialog). A cover already there follows all the same.
      if (FDisabledBlendValue != 255 || LayerForm) UpdateLayerForm();
      return;
    case WM_SETREDRAW:
      LockCount = m.WParam == 1 ? std::max(0, LockCount - 1) : LockCount + 1;
      OldWndProc(m);
      // What changed while drawing was off reaches the frame once it is on again.
      if (m.WParam == 1 && LockCount == 0 && IsWindowVisible(Form->Handle()) && FCommonData->BGChanged)
        ProcessMessage(WM_NCPAINT, 1, 0);
      return;
    case WM_WINDOWPOSCHANGED:
      if (ShowFreezePending) FreezeShownForm(this);
      LV_WMWindowPosChanged(m);
      return;
    case WM_SETICON:
      LV_WMSetIcon(m);
      return;
    case WM_NCHITTEST:
      LV_WMNCHitTest(m);
      return;
    case WM_NCPAINT:
      LV_WMNCPaint(m);
      return;
    case WM_NCACTIVATE:
      LV_WMNCActivate(m);
      return;
    case WM_NCMOUSEMOVE:
      LV_WMNCMouseMove(m);
      return;
    case WM_NCLBUTTONDOWN:
      LV_WMNCLButtonDown(m);
      return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      LV_WMLButtonUp(m);
      return;
    case WM_NCLBUTTONDBLCLK:
      LV_WMNCLButtonDblClick(m);
      return;
    case WM_NCRBUTTONDOWN:
      LV_WMNCRButtonDown(m);
      return;
    case WM_NCRBUTTONUP:
      LV_WMNCRButtonUp(m);
      return;
    case WM_MOUSEMOVE:
      LV_WMMouseMove(m);
      return;
    case WM_MOUSELEAVE:
    case vcl::CM_MOUSELEAVE:
      LV_WMMouseLeave(m);
      return;
    case vcl::CM_MOUSEENTER:
      SetHotHT(0, true);
      OldWndProc(m);
      return;
    case vcl::CM_VISIBLECHANGED:
      if (m.WParam && RTInit) {
        RTInit = false;
        LoadInit();
      }
      OldWndProc(m);
      return;
    case WM_NCDESTROY:
      OldWndProc(m);
      if (destroying) LV_WMNCDestroy();
      return;
    case WM_ENTERIDLE:
    case WM_PRINTCLIENT:
    case CM_BEWAIT:
      m.Result = 0;
      return;
    case 0x313: {  // the shell asks for the window menu
      POINT p;
      GetCursorPos(&p);
      DropSysMenu(p.x, p.y);
      m.Result = 0;
      return;
    }
    default:
      OldWndProc(m);
  }
}

// ---- The command message --------------------------------------------------------------------------------------

bool TsSkinProvider::LV_SMLumiCmd_Common(vcl::TMessage& m) {
  TsSkinManager* own = SkinManager();
  switch (m.WParamHi()) {
    case LVC_CONTROLLOADED:
      // A control (a frame) whose children are now made: they are adapted as the form's own are.
      if (!Form->ComponentState().Contains(vcl::csLoading) && Adapter)
        Adapter->AddAllItems(reinterpret_cast<vcl::TWinControl*>(m.LParam));
      return true;
    case LVC_SETNEWSKIN:
      if (!Form->ComponentState().Contains(vcl::csDestroying) && reinterpret_cast<TsSkinManager*>(m.LParam) == own &&
          !SystemMenu)
        PrepareForm();
      return false;
    case LVC_REMOVESKIN:
      if (reinterpret_cast<TsSkinManager*>(m.LParam) == own) {
        SkinRemoval();
        LumiBroadCast(Form, m);
      } else {
        CommonMessage(m, FCommonData.get());
        LumiBroadCast(Form, m);
      }
      return true;
    case LVC_CTRLHANDLED:
      m.Result = 1;
      return true;
    case LVC_ENDUPDATE:
      if (FCommonData->CtrlSkinState & LVCS_MNUPDATING) {
        FCommonData->CtrlSkinState &= ~LVCS_MNUPDATING;
        Form->Perform(vcl::CM_MENUCHANGED, 0, 0);
      }
      return false;
    case LVC_GETBG:
      return AnswerBG(m);
    case LVC_GETSKINSTATE:
      if (FCommonData->CtrlSkinState & LVCS_BGUNDEF) UpdateSkinState(FCommonData.get(), false);
      m.Result = FCommonData->CtrlSkinState;
      return true;
    case LVC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(vcl::Application);
      return true;
    case LVC_PARENTCLOFFSET:
      m.Result = MAKELONG(OffsetX(), OffsetY());
      return true;
    default:
      return false;
  }
}

bool TsSkinProvider::AnswerBG(vcl::TMessage& m) {
  if (!FCommonData->Skinned(false)) return false;
  auto* info = reinterpret_cast<TlvBGInfo*>(m.LParam);
  if (!info) return false;
  info->Offset = vcl::TPoint(0, 0);
  if (FCommonData->BGChanged && (!FCommonData->Updating() || fAnimating) && IsCached(FCommonData.get())) PaintAll();
  if (info->PleaseDraw) info->Offset = vcl::TPoint(OffsetX(), OffsetY());
  if (Form->OnPaint) {
    info->Bmp = FCommonData->CacheBmp();
    info->Offset = vcl::TPoint(OffsetX(), OffsetY());
    info->BgType = btCache;
    return true;
  }
  const int states = FCommonData->SkinIndex >= 0 ? SkinManager()->gd[FCommonData->SkinIndex].States : 1;
  InitBGInfo(FCommonData.get(), info, std::min<int>(FormActive ? 1 : 0, std::max(0, states - 1)));
  if (info->BgType == btCache && !info->PleaseDraw && !info->Bmp) {
    PaintAll();
    info->Bmp = FCommonData->CacheBmp();
  }
  info->Offset.X += OffsetX();
  if (info->Offset.X != 0) info->FillRect.Left = std::max(0, info->FillRect.Left - info->Offset.X);
  info->Offset.Y += OffsetY();
  if (info->Offset.Y != 0) info->FillRect.Top = std::max(0, info->FillRect.Top - info->Offset.Y);
  return true;
}

bool TsSkinProvider::LV_SMLumiCmd_Unskinned(vcl::TMessage& m) {
  switch (m.WParamHi()) {
    case LVC_SETNEWSKIN:
      if (Form->ComponentState().Contains(vcl::csDestroying)) return false;
      if (reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager()) SkinActivation(SkinManager());
      return true;
    case LVC_GETPROVIDER:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TsCustomSkinProvider*>(this));
      return true;
    case LVC_PREPARECACHE:
      FCommonData->BGChanged = false;
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::SkinActivation(TsSkinManager* manager) {
  KillAnimations();
  FCommonData->UpdateIndexes(true);
  FTitleSkinIndex = -1;
  InitIndexes();
  if (manager) {
    CheckSysMenu(true);
    UpdateIconsIndexes();
    if (!manager->ComponentState().Contains(vcl::csLoading)) {
      TryInitMenu();
      InitMenuItems(true);
      if (Adapter)
        for (int i = 0; i < Form->ComponentCount(); ++i)
          if (Adapter->IsControlSupported(Form->Components(i)))
            InitLabel(dynamic_cast<vcl::TControl*>(Form->Components(i)), true);
    }
    FCommonData->BGChanged = true;
    FLinesCount = -1;
    UpdateTitleBar();
    if (Form->HandleAllocated()) InitDwm(Form->Handle(), FDrawNonClientArea);
    HookMDIClient();
  }
  AdaptControls();
}

void TsSkinProvider::AdaptControls() {
  if (ComponentState().Contains(vcl::csDesigning)) return;
  if (!Adapter && FCommonData->Skinned()) Adapter.reset(new TlvCtrlAdapter(this));
  if (Adapter) Adapter->AddAllItems(nullptr);
}

void TsSkinProvider::LV_SMLumiCmd_Skinned(vcl::TMessage& m) {
  TsSkinManager* own = SkinManager();
  const bool ours = reinterpret_cast<TsSkinManager*>(m.LParam) == own;
  switch (m.WParamHi()) {
    case LVC_SETNEWSKIN:
      if (ours) {
        FCommonData->UpdateIndexes(true);
        FTitleSkinIndex = -1;
        InitIndexes();
        if (TempBmp) TempBmp->SetSize(0, 0);
      }
      if (own) {
        UpdateIconsIndexes();
        CheckSysMenu(FDrawNonClientArea);
        FCommonData->BGChanged = true;
        FLinesCount = -1;
        RgnChanged = true;
        UpdateTitleBar();
        if (Form->HandleAllocated() && Form->Showing()) ProcessMessage(WM_NCPAINT, 1, 0);
        HookMDIClient();
      }
      KillAnimations();
      break;
    case LVC_REFRESH:
      if (ours) SkinRefresh();
      break;
    case LVC_GETPROVIDER:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TsCustomSkinProvider*>(this));
      break;
    case LVC_ENDPARENTUPDATE:
      if (FCommonData->Updating()) {
        FCommonData->SetUpdatingFlag(false);
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      }
      break;
    case LVC_UPDATING:
      FCommonData->SetUpdatingFlag(m.WParamLo() == 1);
      if (m.WParamLo() == 1) FCommonData->BGChanged = true;
      break;
    case LVC_PREPARING:
      m.Result = FCommonData->Updating() && !InAnimationProcess ? 1 : 0;
      break;
    case LVC_SETBGCHANGED:
      FCommonData->BGChanged = true;
      break;
    case LVC_CHILDCHANGED: {
      const TsGeneralData& g = own->gd[FCommonData->SkinIndex];
      if (g.Props[0].GradientPercent + g.Props[0].ImagePercent > 0)
        m.Result = 1;
      else
        m.Result = g.BorderIndex >= 0 && own->IsValidImgIndex(g.BorderIndex) && (own->ma[g.BorderIndex].DrawMode & 4);
      break;
    }
    case LVC_GETCONTROLCOLOR:
      m.Result = static_cast<LRESULT>(GetBGColor(FCommonData.get(), 0));
      break;
    case LVC_PREPARECACHE:
      if (FCommonData->BGChanged) {
        PaintAll();
        if (FCommonData->BGChanged && (Form->ControlState().Contains(vcl::csCreating) ||
                                       (FormState & (FS_BLENDMOVING | FS_ANIMCLOSING)) || FCommonData->SkinIndex < 0))
          FCommonData->BGChanged = false;
      }
      break;
    case LVC_MOUSELEAVE:
      SetHotHT(-1, true);
      biClicked = false;
      break;
    case LVC_NCPAINT:
      if (m.LParam == 1) FCommonData->BGChanged = true;
      UpdateSkinCaption(this);
      break;
    case LVC_SETPOSCHANGING:
      if (m.LParam == 1)
        FormState |= FS_POSCHANGING;
      else
        FormState &= ~FS_POSCHANGING;
      break;
    case LVC_GETPOSCHANGING:
      m.Result = (FormState & FS_POSCHANGING) ? 1 : 0;
      break;
    case LVC_SETALPHA:
      if (IsWindowVisible(Form->Handle())) {
        HWND w = Form->Handle();
        if (m.LParam != 255) {
          SetWindowLongPtrW(w, GWL_EXSTYLE, GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_LAYERED);
          SetLayeredWindowAttributes(w, 0, static_cast<BYTE>(m.LParam), LWA_ALPHA);
        } else {
          SetWindowLongPtrW(w, GWL_EXSTYLE, GetWindowLongPtrW(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
        }
      }
      break;
    case LVC_GETBORDERWIDTH: {
      const int w = (Form->Width() - Form->ClientWidth()) / 2 - FormBorderWidth();
      m.Result = w != 0 ? w : m.LParam;
      break;
    }
    default:
      break;
  }
}

void TsSkinProvider::SkinRefresh() {
  TsSkinManager* m = SkinManager();
  AdaptControls();
  FLinesCount = -1;
  if (!m->ComponentState().Contains(vcl::csLoading)) {
    UpdateMenu();
    InitMenuItems(FCommonData->Skinned());
  }
  if (HaveBorder(this)) RgnChanged = true;
  UpdateTitleBar();
  if (!Form->Showing()) return;
  FCommonData->BGChanged = true;
  InitExBorders(m->ExtendedBorders());
  if (!InAnimationProcess)
    RedrawWindow(Form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  if (FUseGlobalColor && !FCommonData->CustomColor()) Form->SetColor(m->GetGlobalColor());
  FCommonData->SetUpdatingFlag(false);
}

void TsSkinProvider::SkinRemoval() {
  TsSkinManager* m = SkinManager();
  if (Form->HandleAllocated()) InitDwm(Form->Handle(), false);
  vcl::TMessage msg;
  msg.Msg = SM_LUMICMD;
  msg.WParam = MakeLumiWParam(LVC_REMOVESKIN);
  msg.LParam = reinterpret_cast<LPARAM>(m);
  CommonMessage(msg, FCommonData.get());
  FLinesCount = FTitleSkinIndex = FCaptionSkinIndex = -1;
  SetHotHT(0, false);
  biClicked = false;
  if (MDIForm) MDIForm->DestroyScrolls();
  if (Form->ComponentState().Contains(vcl::csDestroying) || !Form->HandleAllocated() || !m) return;
  InitMenuItems(false);
  CheckSysMenu(false);
  if (HaveBorder(this) && !InMenu) SetWindowRgn(Form->Handle(), nullptr, TRUE);
  ArOR.clear();
  RgnChanged = true;
  UpdateMenu();
  if (FUseGlobalColor && !FCommonData->CustomColor()) Form->SetColor(vcl::clBtnFace);
  InitExBorders(false);
  RestoreLabels();
  // The system draws its own frame again.
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (vcl::TBitmap* cache = FCommonData->CacheBmp()) cache->SetSize(0, 0);
}

// ---- Metrics --------------------------------------------------------------------------------------------------

bool TsSkinProvider::IsZoomed() const { return Form->HandleAllocated() && ::IsZoomed(Form->Handle()); }
bool TsSkinProvider::IsIconic() const { return Form->HandleAllocated() && ::IsIconic(Form->Handle()); }

int TsSkinProvider::CaptionHeight(bool checkSkin) {
  if (!Form->HandleAllocated()) return 0;
  const LONG_PTR style = GetWindowLongPtrW(Form->Handle(), GWL_STYLE);
  if (!((HaveBorder(this) && (style & WS_CAPTION) == WS_CAPTION) || IsIconic())) return 0;
  int h = checkSkin ? SkinTitleHeight(BorderForm) : 0;
  if (FSysExHeight) h = std::max(h, SysCaptHeight(Form) + 4);
  if (h == 0) {
    const auto bs = Form->BorderStyle();
    h = ((bs == vcl::bsToolWindow || bs == vcl::bsSizeToolWin) && !IsIconic()) ? lv_CYSMCAPTION : lv_CYCAPTION;
  }
  return h;
}

int TsSkinProvider::ActualTitleHeight(bool extended) {
  TsSkinManager* m = SkinManager();
  if (!m) return 0;
  const TsSkinData& d = *m->CommonSkinData;
  if (extended || (d.ExMaxHeight != 0 && IsZoomed())) return d.ExMaxHeight;
  return d.ExTitleHeight;
}

vcl::TRect TsSkinProvider::ShadowSize() {
  if (BorderForm && SkinManager()) return SkinManager()->FormShadowSize;
  return vcl::TRect();
}

int TsSkinProvider::BorderWidth(bool checkSkin) {
  return SysBorderWidth(Form->Handle(), BorderForm, checkSkin) + FormBorderWidth();
}

int TsSkinProvider::BorderHeight(bool checkSkin) {
  return SysBorderHeight(Form->Handle(), BorderForm, checkSkin) + FormBorderWidth();
}

int TsSkinProvider::OffsetX() {
  if (!Form->HandleAllocated()) return 0;
  if (BorderForm) return BorderWidth(true) + ShadowSize().Left;
  return (GetWindowWidth(Form->Handle()) - GetClientWidth(Form->Handle())) / 2;
}

int TsSkinProvider::OffsetY() {
  if (!Form->HandleAllocated()) return 0;
  if (BorderForm)
    return CaptionHeight(true) + GetLinesCount() * MenuHeight() + FormBorderWidth() + ShadowSize().Top +
           (MenuHeight() > 0 ? 1 : 0);
  const HWND w = Form->Handle();
  const bool border = (GetWindowLongPtrW(w, GWL_STYLE) & WS_BORDER) != 0;
  return GetWindowHeight(w) - GetClientHeight(w) - (border ? BorderWidth(true) : 0);
}

int TsSkinProvider::HeaderHeight() {
  if (!Form->HandleAllocated()) return 0;
  const HWND w = Form->Handle();
  int r;
  if (BorderForm)
    r = SysBorderHeight(w, BorderForm, false) + CaptionHeight(true);
  else if (CaptionHeight(true) > 0)
    r = GetWindowHeight(w) - GetClientHeight(w) - BorderHeight(true);
  else
    r = GetWindowHeight(w) - GetClientHeight(w) -
        ((GetWindowLongPtrW(w, GWL_STYLE) & WS_BORDER) ? BorderHeight(true) : 0);
  r = std::max(0, r);
  if (IsIconic()) r += SysBorderHeight(w, BorderForm, false);
  return r;
}

int TsSkinProvider::GetLinesCount() {
  if (FLinesCount >= 0) return FLinesCount;
  if (!Form->Menu() || IsIconic() || !Form->HandleAllocated()) return 0;
  RECT item;
  if (!GetMenuItemRect(Form->Handle(), GetMenu(Form->Handle()), 0, &item)) return 0;
  const int clientTop =
      Form->Top() + Form->Height() - Form->ClientHeight() - BorderHeight(false) - 2 * FormBorderWidth();
  const int step = std::max(1, GetSystemMetrics(SM_CYMENU) - 2);
  FLinesCount = item.bottom < clientTop ? 1 + (clientTop - item.bottom) / step : 1;
  return FLinesCount;
}

int TsSkinProvider::MenuHeight() { return IsMenuVisible(this) ? GetSystemMetrics(SM_CYMENU) - 1 : 0; }

bool TsSkinProvider::MenuPresent() {
  if (Form->BorderStyle() == vcl::bsDialog || Form->FormStyle() == vcl::fsMDIChild || !Form->Menu()) return false;
  vcl::TMenuItem* items = Form->Menu()->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->Visible()) return true;
  return false;
}

bool TsSkinProvider::MDIButtonsNeeded() {
  if (!ChildProvider || Form->FormStyle() != vcl::fsMDIForm || !Form->Menu()) return false;
  vcl::TCustomForm* child = Form->ActiveMDIChild();
  return child && child->HandleAllocated() && ::IsZoomed(child->Handle()) &&
         child->BorderIcons().Contains(vcl::biSystemMenu);
}

bool TsSkinProvider::HaveSysMenu() { return Form->BorderIcons().Contains(vcl::biSystemMenu); }

bool TsSkinProvider::IconVisible() {
  const auto bs = Form->BorderStyle();
  return FTitleIcon->Visible() && (bs == vcl::bsSingle || bs == vcl::bsSizeable) && FShowAppIcon && HaveSysMenu();
}

int TsSkinProvider::SysButtonsCount() {
  if (!SystemMenu || !HaveSysMenu()) return 0;
  return 3 + (Form->BorderIcons().Contains(vcl::biHelp) ? 1 : 0) - (SystemMenu->VisibleMin() ? 0 : 1) -
         (SystemMenu->VisibleMax() ? 0 : 1);
}

namespace {
// Width and height of one state of a skin image; fallback when the skin has none.
int ImageWidth(TsSkinManager* m, int index, int fallback) {
  if (!m || !m->IsValidImgIndex(index)) return fallback;
  const TsMaskData& d = m->ma[index];
  return d.ImageCount > 0 ? WidthOfImage(d) : d.R.Width();
}
int ImageHeight(TsSkinManager* m, int index, int fallback) {
  if (!m || !m->IsValidImgIndex(index)) return fallback;
  const TsMaskData& d = m->ma[index];
  return d.MaskType >= 0 ? HeightOfImage(d) : d.R.Height();
}
}  // namespace

int TsSkinProvider::ButtonHeight() { return ImageHeight(SkinManager(), ButtonClose.ImageIndex, 21); }

int TsSkinProvider::SysButtonWidth(const TsCaptionButton& btn) { return ImageWidth(SkinManager(), btn.ImageIndex, 21); }

int TsSkinProvider::SmallButtonWidth() {
  TsSkinManager* m = SkinManager();
  return m ? ImageWidth(m, m->ConstData.MaskCloseSmall, 16) : 16;
}

int TsSkinProvider::SmallButtonHeight() {
  TsSkinManager* m = SkinManager();
  return m ? ImageHeight(m, m->ConstData.MaskCloseSmall, 16) : 16;
}

int TsSkinProvider::UserButtonWidth(TsTitleButton* btn) {
  const int glyph = btn->Glyph() && !btn->Glyph()->Empty() ? btn->Glyph()->Width() + 2 : 0;
  return std::max(glyph, ImageWidth(SkinManager(), UserBtnIndex, 21));
}

int TsSkinProvider::TitleBtnsWidth() {
  TsSkinManager* m = SkinManager();
  const int spacing = BigButtons && m ? m->CommonSkinData->BISpacing : 0;
  int r = m ? m->CommonSkinData->BIRightMargin : 0;
  if (SystemMenu && HaveSysMenu()) {
    r += SysButtonWidth(ButtonClose) + spacing;
    if (SystemMenu->VisibleMax()) r += SysButtonWidth(ButtonMax) + spacing;
    if (SystemMenu->VisibleMin()) r += SysButtonWidth(ButtonMin) + spacing;
    if (Form->BorderIcons().Contains(vcl::biHelp)) r += SysButtonWidth(ButtonHelp) + spacing;
  }
  if (FTitleButtons->Count() > 0) r += UserButtonsOffset;
  for (int i = 0; i < FTitleButtons->Count(); ++i) r += UserButtonWidth(FTitleButtons->Items(i)) + spacing;
  return r;
}

int TsSkinProvider::BarWidth(int index) { return ImageWidth(SkinManager(), index, 0) + TitleBtnsWidth(); }

vcl::TPoint TsSkinProvider::RBGripPoint(int imageIndex) {
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  if (!cache || cache->Empty()) return vcl::TPoint(0, 0);
  const vcl::TRect sh = ShadowSize();
  const int b = SysBorderWidth(Form->Handle(), BorderForm, true);
  return vcl::TPoint(cache->Width() - ImageWidth(SkinManager(), imageIndex, 0) - b - sh.Right - 1,
                     cache->Height() - ImageHeight(SkinManager(), imageIndex, 0) - b - sh.Bottom - 1);
}

vcl::TPoint TsSkinProvider::FormLeftTop() {
  RECT r{};
  if (Form->HandleAllocated()) GetWindowRect(Form->Handle(), &r);
  return vcl::TPoint(r.left, r.top);
}

vcl::TPoint TsSkinProvider::CursorToPoint(int x, int y) {
  const vcl::TPoint p = FormLeftTop();
  return vcl::TPoint(x - p.X, y - p.Y);
}

bool TsSkinProvider::FormChanged() {
  vcl::TBitmap* c = FCommonData->CacheBmp();
  return !c || c->Width() != CaptionWidth() || c->Height() != Form->Height();
}

int TsSkinProvider::GetTopCoord() {
  if (!BorderForm) return IsZoomed() ? 6 : 0;
  TsSkinManager* m = SkinManager();
  return ShadowSize().Top + (IsZoomed() ? 4 : (m ? m->CommonSkinData->BITopMargin : 0));
}

VCL_REGISTER(TsSkinProvider) {
  cls.Prop(L"AllowAnimation", &TsSkinProvider::AllowAnimation, &TsSkinProvider::SetAllowAnimation).Default(true);
  cls.Prop(L"AllowExtBorders", &TsSkinProvider::AllowExtBorders, &TsSkinProvider::SetAllowExtBorders).Default(true);
  cls.Prop(L"AllowBlendOnMoving", &TsSkinProvider::AllowBlendOnMoving, &TsSkinProvider::SetAllowBlendOnMoving)
      .Default(true);
  cls.Prop(L"AllowSkin3rdParty", &TsSkinProvider::AllowSkin3rdParty, &TsSkinProvider::SetAllowSkin3rdParty)
      .Default(true);
  cls.Prop(L"DrawNonClientArea", &TsSkinProvider::DrawNonClientArea, &TsSkinProvider::SetDrawNonClientArea)
      .Default(true);
  cls.Prop(L"DrawClientArea", &TsSkinProvider::DrawClientArea, &TsSkinProvider::SetDrawClientArea).Default(true);
  cls.Prop(L"MakeSkinMenu", &TsSkinProvider::MakeSkinMenu, &TsSkinProvider::SetMakeSkinMenu).Default(false);
  cls.Prop(L"ScreenSnap", &TsSkinProvider::ScreenSnap, &TsSkinProvider::SetScreenSnap).Default(false);
  cls.Prop(L"ShowAppIcon", &TsSkinProvider::ShowAppIcon, &TsSkinProvider::SetShowAppIcon).Default(true);
  cls.Prop(L"UseGlobalColor", &TsSkinProvider::UseGlobalColor, &TsSkinProvider::SetUseGlobalColor).Default(true);
  cls.Prop(L"CaptionAlignment", &TsSkinProvider::CaptionAlignment, &TsSkinProvider::SetCaptionAlignment)
      .Default(vcl::taLeftJustify);
  cls.Prop(L"GripMode", &TsSkinProvider::GripMode, &TsSkinProvider::SetGripMode).Default(gmNone);
  cls.Prop(L"ResizeMode", &TsSkinProvider::ResizeMode, &TsSkinProvider::SetResizeMode).Default(rmStandard);
  cls.Prop(L"SnapBuffer", &TsSkinProvider::SnapBuffer, &TsSkinProvider::SetSnapBuffer).Default(10);
  cls.Prop(L"TitleSkin", &TsSkinProvider::TitleSkin, &TsSkinProvider::SetTitleSkin);
  cls.Prop(L"MenuLineSkin", &TsSkinProvider::MenuLineSkin, &TsSkinProvider::SetMenuLineSkin);
}
VCL_REGISTER(TlvFormHeader) {
  cls.Prop(L"AdditionalHeight", &TlvFormHeader::AdditionalHeight, &TlvFormHeader::SetAdditionalHeight);
}
