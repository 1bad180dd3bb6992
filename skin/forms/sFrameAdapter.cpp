// The frame adapter: the frame's background from the skin, through a hook on the frame's window procedure.
#include "skin/forms/sFrameAdapter.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/menus.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sOuterEffects.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStrings.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sBorders.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvSBUtils.h"

namespace {

vcl::TComponent* CheckedFrame(vcl::TComponent* owner) {
  if (!dynamic_cast<vcl::TFrame*>(owner)) {
    rtl::String text = lvs_FrameAdapterError1;
    if (text.empty()) text = L"TsFrameAdapter adapter must be placed on the handled frame";
    throw rtl::Exception(text);
  }
  return owner;
}

bool Gone(const vcl::TComponent* c) { return c->ComponentState().Contains(vcl::csDestroying); }

}  // namespace

TsFrameAdapter::TsFrameAdapter(vcl::TComponent* owner)
    : vcl::TComponent(CheckedFrame(owner)), Frame(static_cast<vcl::TFrame*>(owner)) {
  FCommonData = std::make_unique<TsScrollWndData>(this, true);
  if (FCommonData->SkinSection().empty() || FCommonData->SkinSection() == rtl::UpperCase(ClassName()))
    FCommonData->SetSkinSection(L"GROUPBOX");
  FCommonData->COC = COC_TsFrameAdapter;
  FCommonData->SetOwners(this, Frame);
  OldWndProc = Frame->WindowProc;
  Frame->WindowProc = vcl::MakeWndMethod(this, &TsFrameAdapter::NewWndProc);
  FCommonData->InitCommonProp();
}

TsFrameAdapter::~TsFrameAdapter() {
  if (ListSW) FreeLvWrapper(ListSW);
  if (OldWndProc) Frame->WindowProc = OldWndProc;
  FCommonData->RemoveCommonProp();
  FCommonData.reset();
}

void TsFrameAdapter::AfterConstruction() {
  vcl::TComponent::AfterConstruction();
  if (!Frame) return;
  FCommonData->Loaded();
  FCommonData->InitCommonProp();
  // Through the window procedure, not the window: an adapter made while the frame's window is being created
  // (the form hears of the new child before the frame knows its handle) takes the skin all the same.
  if (TsSkinManager* sm = FCommonData->SkinManager())
    Frame->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(sm));
}

void TsFrameAdapter::Loaded() {
  vcl::TComponent::Loaded();
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!sm || !GetBoolMsg(Frame, LVC_CTRLHANDLED)) return;
  FCommonData->Loaded();
  if (sm->Active() && !sm->ComponentState().Contains(vcl::csDesigning)) {
    HookPopups();
    if (FCommonData->Skinned() && sm->SkinningRules().Contains(srThirdParty)) AddToAdapter(Frame);
  }
  FCommonData->InitCommonProp();
}

void TsFrameAdapter::HookPopups() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!sm || !sm->SkinnedPopups() || !sm->SkinableMenus()) return;
  for (int i = 0; i < Frame->ComponentCount(); ++i)
    if (auto* popup = dynamic_cast<vcl::TPopupMenu*>(Frame->Components(i)))
      sm->SkinableMenus()->HookPopupMenu(popup, true);
}

void TsFrameAdapter::RedrawFrame() {
  if (!Frame->HandleAllocated()) return;
  SetWindowPos(Frame->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(Frame->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TsFrameAdapter::NewWndProc(vcl::TMessage& m) {
  TsScrollWndData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  // Skin commands that do not wait for the skin to be live.
  if (m.Msg == WM_SIZE) sd->BGChanged = true;
  if (m.Msg == SM_LUMICMD) {
    const bool own = sm && m.LParam == reinterpret_cast<LPARAM>(sm);
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (!own) break;
        LumiBroadCast(Frame, m);
        CommonWndProc(m, sd);
        HookPopups();
        return;
      case LVC_REMOVESKIN:
        if (!own) break;
        if (ListSW) FreeLvWrapper(ListSW);
        CommonWndProc(m, sd);
        if (vcl::Application && !vcl::Application->Terminated()) {
          RedrawFrame();
          vcl::Application->ProcessMessages();
        }
        LumiBroadCast(Frame, m);
        return;
      case LVC_REFRESH:
        if (!own) break;
        CommonWndProc(m, sd);
        sd->UpdateIndexes();
        if (m.WParamLo() != 1) LumiBroadCast(Frame, m);
        RedrawFrame();
        RefreshScrolls(sd, ListSW);
        return;
      case LVC_CTRLHANDLED:
        m.Result = 1;
        return;
      case LVC_GETDEFINDEX:
        if (!sd->SkinSection().empty()) {
          sd->UpdateIndexes();
          m.Result = sd->SkinIndex + 1;
        } else {
          m.Result = sm ? sm->GetSkinIndex(L"TRANSPARENT") + 1 : 0;
        }
        return;
      case LVC_STOPFADING:
        LumiBroadCast(Frame, m);
        return;
      case LVC_PREPARECACHE:
        if (!sd->UpdatingFlag() && !PrepareCache()) sd->SetUpdatingFlag(true);
        return;
      case LVC_GETSKININDEX:
        CommonMessage(m, sd);
        return;
      case LVC_BEFORESCROLL:
      case LVC_AFTERSCROLL:
        if (Frame->HandleAllocated() && (GetBoolMsg(Frame, LVC_CHILDCHANGED) || RepaintIfMoved(sd))) {
          if (m.WParamHi() == LVC_BEFORESCROLL) {
            SendMessageW(Frame->Handle(), WM_SETREDRAW, 0, 0);
          } else {
            SendMessageW(Frame->Handle(), WM_SETREDRAW, 1, 0);
            RedrawWindow(Frame->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
          }
        }
        break;
      default:
        break;
    }
  }

  if (Gone(this) || Gone(Frame) || !sd->Skinned() || !sm || !sm->Active()) {
    if ((m.Msg == vcl::CM_VISIBLECHANGED || m.Msg == vcl::CM_SHOWINGCHANGED) && sm && sm->Active() &&
        Frame->HandleAllocated()) {
      sd->UpdateIndexes();
      UpdateSkinState(sd, false);
      vcl::TMessage msg{SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN, 1), reinterpret_cast<LPARAM>(sm), 0};
      LumiBroadCast(Frame, msg);
    }
    OldWndProc(m);
    return;
  }

  switch (m.Msg) {
    case WM_CREATE:
    case WM_NCCREATE:
      OldWndProc(m);
      if (Frame->HandleAllocated()) sd->InitCommonProp();
      return;
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      sd->BGChanged = sd->BGChanged || m.Msg == WM_SIZE || RepaintIfMoved(sd);
      if (sd->BGChanged) {
        vcl::TMessage msg{SM_LUMICMD, MakeLumiWParam(LVC_SETBGCHANGED, 1), 0, 0};
        LumiBroadCast(Frame, msg);
        if (m.Msg != WM_MOVE && Frame->HandleAllocated()) InvalidateRect(Frame->Handle(), nullptr, TRUE);
      }
      OldWndProc(m);
      return;
    case WM_PAINT:
      if (!Frame->Parent()) {
        OldWndProc(m);
        return;
      }
      LV_WMPaint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (!Frame->Showing()) {
        OldWndProc(m);
        return;
      }
      if (!InAnimationProcess && !sd->UpdatingFlag() && (!IsCached(sd) || !sd->BGChanged))
        OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT:
      if (!sd->UpdatingFlag()) m.Result = 0;
      return;
    case WM_PARENTNOTIFY:
      if ((m.WParamLo() == WM_CREATE || m.WParamLo() == WM_DESTROY) &&
          !ComponentState().Contains(vcl::csLoading) && !Frame->ControlState().Contains(vcl::csCreating)) {
        if (m.WParamLo() == WM_CREATE && sm->SkinningRules().Contains(srThirdParty)) AddToAdapter(Frame);
        OldWndProc(m);
        if (ListSW) UpdateScrolls(ListSW, true);
        return;
      }
      OldWndProc(m);
      return;
    case WM_PRINT: {
      sd->SetUpdatingFlag(false);
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (ControlIsReady(Frame) && dc) {
        // Painting goes to the DC given, not to the window.
        const HDC saved = sd->PrintDC;
        sd->PrintDC = dc;
        OurPaintHandler(dc);
        sd->PrintDC = saved;
        if (ListSW) lv_NCDraw(ListSW, Frame->Handle(), -1, dc);
        if (Frame->OnResize) Frame->OnResize(Frame);
      }
      return;
    }
    case SM_LUMICMD:
      switch (m.WParamHi()) {
        case LVC_ENDPARENTUPDATE:
          if (!sd->UpdatingFlag() || Frame->ControlState().Contains(vcl::csRecreating) ||
              Frame->ControlState().Contains(vcl::csAligning)) {
            if (sd->CtrlSkinState & LVCS_FAST) SetParentUpdated(Frame);
          } else if (!InUpdating(sd, true)) {
            if (Frame->HandleAllocated())
              RedrawWindow(Frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
            if (sd->BGChanged && Frame->OnResize) Frame->OnResize(Frame);
            SetParentUpdated(Frame);
          }
          return;
        case LVC_UPDATING:
          sd->SetUpdatingFlag(m.WParamLo() == 1);
          for (int i = 0; i < Frame->ControlCount(); ++i) {
            vcl::TControl* c = Frame->Controls(i);
            if (!Gone(c)) c->Perform(m.Msg, m.WParam, m.LParam);
          }
          return;
        case LVC_CHILDCHANGED: {
          LRESULT r = 0;
          if (sd->SkinIndex >= 0) {
            const TsGenState& s0 = sm->gd[static_cast<size_t>(sd->SkinIndex)].Props[0];
            r = s0.GradientPercent + s0.ImagePercent > 0 ? 1 : (RepaintIfMoved(sd) ? 1 : 0);
          }
          m.LParam = r;
          m.Result = r;
          return;
        }
        case LVC_GETCONTROLCOLOR: {
          vcl::TColor c;
          if (IsCached(sd)) {
            if (sd->CtrlSkinState & LVCS_BGUNDEF) UpdateSkinState(sd, false);
            c = 0xFF00FF;
          } else {
            const TsGenState& s0 = sm->gd[static_cast<size_t>(sd->SkinIndex)].Props[0];
            const int t = s0.Transparency;
            if (t == 0) {
              c = s0.Color;
            } else {
              vcl::TWinControl* parent = Frame->Parent();
              std::uint32_t p = parent ? static_cast<std::uint32_t>(GetControlColor(parent))
                                       : static_cast<std::uint32_t>(vcl::ColorToRGB(Frame->Color()));
              if (parent && (p & 0xFFFFFF) == 0xFF00FF) p = static_cast<std::uint32_t>(vcl::ColorToRGB(parent->Color()));
              if (t == 100) {
                c = static_cast<vcl::TColor>(p);
              } else {
                const std::uint32_t s = static_cast<std::uint32_t>(s0.Color);
                std::uint32_t out = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                  const int pc = (p >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
                  out |= static_cast<std::uint32_t>((sc + ((t * (pc - sc)) >> 8)) & 0xFF) << shift;
                }
                c = static_cast<vcl::TColor>(out);
              }
            }
          }
          m.LParam = c;
          m.Result = c;
          return;
        }
        case LVC_PREPARECACHE:
          if (!PrepareCache()) sd->SetUpdatingFlag(true);
          return;
        default:
          try {
            CommonMessage(m, sd);
          } catch (...) {
            // A failing skin command must not take the frame's message loop down.
          }
          return;
      }
    case vcl::CM_VISIBLECHANGED: {
      sd->BGChanged = true;
      UpdateSkinState(sd, false);
      OldWndProc(m);
      if (Frame->HandleAllocated())
        SendMessageW(Frame->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), reinterpret_cast<LPARAM>(sm));
      return;
    }
    case vcl::CM_MOUSEENTER:
      OldWndProc(m);
      if (DefaultManager && Frame->HandleAllocated()) DefaultManager->SetActiveControl(Frame->Handle());
      return;
    case vcl::CM_SHOWINGCHANGED:
      UpdateSkinState(sd, false);
      OldWndProc(m);
      RefreshScrolls(sd, ListSW);
      if (sm->SkinningRules().Contains(srThirdParty)) AddToAdapter(Frame);
      return;
    default:
      OldWndProc(m);
      return;
  }
}

void TsFrameAdapter::LV_WMPaint(HDC dc) {
  TsScrollWndData* sd = FCommonData.get();
  if (!Frame->HandleAllocated()) return;
  const HWND wnd = Frame->Handle();
  if (!Gone(Frame) && Frame->Parent() && !IsCached(sd)) InvalidateRect(wnd, nullptr, TRUE);
  PAINTSTRUCT ps{};
  BeginPaint(wnd, &ps);
  const bool own = !dc;
  HDC target = own ? GetDC(wnd) : dc;
  const int saved = SaveDC(target);
  if (IsCached(sd) && !sd->UpdatingFlag()) OurPaintHandler(target);
  RestoreDC(target, saved);
  if (own) ReleaseDC(wnd, target);
  EndPaint(wnd, &ps);
}

void TsFrameAdapter::OurPaintHandler(HDC dc) {
  TsScrollWndData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  if (!dc || !sm || (InAnimationProcess && dc != sd->PrintDC)) return;
  if (!IsCached(sd)) {
    PaintUncached(dc);
    return;
  }
  const int w = Frame->Width(), h = Frame->Height();
  const int saved = SaveDC(dc);
  if (!sd->UpdatingFlag()) {
    const TsGenState& s0 = sm->gd[static_cast<size_t>(sd->SkinIndex)].Props[0];
    if (SkinBorderMaxWidth(sd) > 0 || s0.Transparency != 100 || HaveOuterEffects(sd)) {
      const bool outdated = sd->BGChanged || sd->HalfVisible;
      RECT clip{};
      if (GetClipBox(dc, &clip) == ERROR || clip.right <= clip.left || clip.bottom <= clip.top) {
        RestoreDC(dc, saved);
        return;
      }
      sd->HalfVisible = RepaintIfMoved(sd) && Frame->Parent() &&
                        (clip.right - clip.left != w || clip.bottom - clip.top != h);
      if (outdated && !PrepareCache()) {
        RestoreDC(dc, saved);
        return;
      }
      CopyWinControlCache(Frame, sd, vcl::TRect(0, 0, w, h), vcl::TRect(0, 0, w, h), dc, false);
    } else {
      // Wholly transparent and borderless: what lies behind shows through.
      TlvBGInfo bg;
      if (Frame->Parent()) GetBGInfo(bg, Frame->Parent(), false);
      if (bg.BgType == btCache && bg.Bmp) {
        const int x = bg.Offset.X + Frame->Left(), y = bg.Offset.Y + Frame->Top();
        BitBlt(dc, 0, 0, w, h, bg.Bmp->Canvas()->Handle(), x, y, SRCCOPY);
        sd->InitCacheBmp();
        BitBlt(sd->CacheBmp()->Canvas()->Handle(), 0, 0, w, h, bg.Bmp->Canvas()->Handle(), x, y, SRCCOPY);
      } else {
        ExcludeControls(dc, Frame, 0, 0, 0);
        FillDC(dc, vcl::TRect(0, 0, w, h), GetBGColor(sd, 0));
      }
    }
    PaintControls(dc, Frame, true, vcl::TPoint(0, 0));
    SetParentUpdated(Frame);
  }
  RestoreDC(dc, saved);
}

void TsFrameAdapter::PaintUncached(HDC dc) {
  TsScrollWndData* sd = FCommonData.get();
  sd->SetUpdatingFlag(false);
  const int w = Frame->Width(), h = Frame->Height();
  const int b = SkinBorderMaxWidth(sd);
  std::unique_ptr<vcl::TBitmap> border;
  if (b > 0) {
    border = CreateBmp32(w, h);
    PaintBorderFast(border->Canvas()->Handle(), vcl::TRect(0, 0, w, h), b, sd, 0);
  }
  // The DC asked for is painted (a print, a paint into a picture of the frame), with the children left out.
  const int saved = SaveDC(dc);
  ExcludeControls(dc, Frame, 0, 0, 0);
  for (int i = 0; i < Frame->ControlCount(); ++i) {
    auto* c = dynamic_cast<vcl::TWinControl*>(Frame->Controls(i));
    if (c && c->Visible() && c->HandleAllocated() && IsWindowVisible(c->Handle()))
      ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
  }
  // A see-through section shows what the parent gives its children as background (its picture, or the colour it
  // fills with), as the parent's other children do; the parent's own colour can differ from both.
  TlvBGInfo bg;
  TsSkinManager* sm = sd->SkinManager();
  const bool seeThrough = sm && sm->IsValidSkinIndex(sd->SkinIndex) &&
                          sm->gd[static_cast<size_t>(sd->SkinIndex)].Props[0].Transparency == 100;
  if (seeThrough && Frame->Parent()) GetBGInfo(bg, Frame->Parent(), false);
  if (seeThrough && bg.BgType == btCache && bg.Bmp)
    BitBlt(dc, 0, 0, w, h, bg.Bmp->Canvas()->Handle(), bg.Offset.X + Frame->Left(), bg.Offset.Y + Frame->Top(),
           SRCCOPY);
  else
    FillDC(dc, vcl::TRect(0, 0, w, h), seeThrough && bg.BgType == btFill ? bg.Color : GetBGColor(sd, 0));
  if (border) BitBltBorder(dc, 0, 0, w, h, border->Canvas()->Handle(), 0, 0, b);
  RestoreDC(dc, saved);
  PaintControls(dc, Frame, true, vcl::TPoint(0, 0));
}

bool TsFrameAdapter::PrepareCache() {
  TsScrollWndData* sd = FCommonData.get();
  sd->UpdateIndexes();
  if (IsCached(sd)) {
    if (!Frame->Parent()) {
      sd->SetUpdatingFlag(true);
      return false;
    }
    sd->InitCacheBmp();
    vcl::TBitmap* cache = sd->CacheBmp();
    cache->Canvas()->Font()->Assign(Frame->Font());
    if (!PaintSkinControl(sd, Frame->Parent(), false, 0, vcl::TRect(0, 0, Frame->Width(), Frame->Height()),
                          vcl::TPoint(Frame->Left(), Frame->Top()), cache, false)) {
      sd->SetUpdatingFlag(true);
      return false;
    }
  }
  PaintOuterEffects(sd, Frame, vcl::TPoint(0, 0));
  sd->BGChanged = false;
  return true;
}

VCL_REGISTER(TsFrameAdapter) { cls.Prop(L"SkinData", &TsFrameAdapter::SkinData, &TsFrameAdapter::SetSkinData); }
