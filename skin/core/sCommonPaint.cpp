#include "skin/core/sCommonPaint.h"

#include <algorithm>
#include <cmath>

#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sOuterEffects.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"

namespace {

TsCustomSkinProvider* ProviderOf(TsCommonData* sd) { return dynamic_cast<TsCustomSkinProvider*>(sd->OwnerObject()); }

const TsGeneralData* Section(TsCommonData* sd) {
  TsSkinManager* sm = sd->SkinManager();
  if (!sm || !sm->IsValidSkinIndex(sd->SkinIndex)) return nullptr;
  return &sm->gd[static_cast<size_t>(sd->SkinIndex)];
}

bool Designing(vcl::TComponent* c) { return c && c->ComponentState().Contains(vcl::csDesigning); }
bool Destroying(vcl::TComponent* c) { return c && c->ComponentState().Contains(vcl::csDestroying); }

bool FullyTransparent(const TsGeneralData& g) {
  return g.Props[0].Transparency == 100 && g.Props[1].Transparency == 100;
}

void PrepareCache(TsCommonData* sd) {
  if (vcl::TControl* owner = sd->OwnerControl())
    owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
  else if (HWND h = OwnerHandle(sd))
    SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
}

bool CacheEmpty(TsCommonData* sd) { return !sd->CacheBmp() || sd->CacheBmp()->Width() == 0; }

}  // namespace

HWND OwnerHandle(TsCommonData* sd) {
  if (!sd) return nullptr;
  auto* win = dynamic_cast<vcl::TWinControl*>(sd->OwnerControl());
  if (win && !Destroying(win)) return win->HandleAllocated() ? win->Handle() : nullptr;
  return sd->FSWHandle;
}

bool GetUpdating(TsCommonData* sd) {
  if (!sd) return false;
  TsSkinManager* sm = sd->SkinManager();
  if (!sm || Designing(sm)) return false;
  if (sd->UpdatingFlag()) return true;
  vcl::TControl* owner = sd->OwnerControl();
  if (owner && !Destroying(owner)) return owner->Parent() && GetBoolMsg(owner->Parent(), LVC_PREPARING);
  if (TsCustomSkinProvider* p = ProviderOf(sd))
    return p->Form && p->Form->Parent() && GetBoolMsg(p->Form->Parent(), LVC_PREPARING);
  return false;
}

bool InUpdating(TsCommonData* sd, bool reset) {
  if (!sd) return false;
  if (reset) sd->SetUpdatingFlag(false);
  if (GetUpdating(sd)) {
    sd->SetUpdatingFlag(true);
    return true;
  }
  return false;
}

bool HaveOuterEffects(TsCommonData* sd) {
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  return sm && (dynamic_cast<vcl::TWinControl*>(sd->OwnerControl()) || ProviderOf(sd)) &&
         sm->Effects()->AllowOuterEffects();
}

int SkinBorderMaxWidth(TsCommonData* sd) {
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  if (!sm || !sm->IsValidImgIndex(sd->BorderIndex)) return 0;
  const TsMaskData& md = sm->ma[static_cast<size_t>(sd->BorderIndex)];
  if (md.DrawMode & BDM_ACTIVEONLY) return 0;
  return std::max({md.WL, md.WT, md.WR, md.WB});
}

int IsCacheRequired(TsCommonData* sd) {
  const TsGeneralData* g = Section(sd);
  if (!g) return 1;
  TsSkinManager* sm = sd->SkinManager();
  if (HaveOuterEffects(sd)) return 0;
  if (sm->IsValidImgIndex(g->BorderIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(g->BorderIndex)];
    if ((md.DrawMode & BDM_FILL) || md.MaskType == 1) return 0;
  }
  const TsGenState& s0 = g->Props[0];
  if (s0.Transparency == 100) {
    if (sm->IsValidImgIndex(s0.TextureIndex) && sm->ma[static_cast<size_t>(s0.TextureIndex)].DrawMode == fmDisTiled)
      return 0;
    vcl::TControl* owner = sd->OwnerControl();
    if (owner && owner->Parent()) {
      if (!owner->Parent()->HandleAllocated()) return 2;
      if (GetBoolMsg(owner->Parent()->Handle(), LVC_CTRLHANDLED))
        return static_cast<int>(SendAMessage(owner->Parent()->Handle(), LVC_GETSKINSTATE));
      return 1;
    }
    return 0;
  }
  if (s0.Transparency != 0) return 0;
  if (s0.GradientPercent || s0.ImagePercent) return 0;
  return g->ImgTL < 0 && g->ImgTR < 0 && g->ImgBL < 0 && g->ImgBR < 0 ? 1 : 0;
}

void UpdateSkinState(TsCommonData* sd, bool recursive) {
  if (!sd) return;
  sd->CtrlSkinState &= static_cast<unsigned short>(~LVCS_FAST);
  vcl::TControl* owner = sd->OwnerControl();
  if (owner && (dynamic_cast<vcl::TCustomPanel*>(owner) || dynamic_cast<vcl::TScrollingWinControl*>(owner))) {
    int answer = IsCacheRequired(sd);
    if (answer == 2) return;
    if (answer == 1) sd->CtrlSkinState |= LVCS_FAST;
    sd->CtrlSkinState &= static_cast<unsigned short>(~LVCS_BGUNDEF);
    auto* win = dynamic_cast<vcl::TWinControl*>(owner);
    if (recursive && win && win->HandleAllocated())
      for (int i = 0; i < win->ControlCount(); ++i)
        if (auto* child = dynamic_cast<vcl::TWinControl*>(win->Controls(i)); child && child->HandleAllocated())
          SendMessageW(child->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETSKINSTATE), 1);
  } else if (ProviderOf(sd)) {
    int answer = IsCacheRequired(sd);
    if (answer == 1) {
      sd->CtrlSkinState |= LVCS_FAST;
      sd->CtrlSkinState &= static_cast<unsigned short>(~LVCS_BGUNDEF);
    } else if (answer == 0) {
      sd->CtrlSkinState = 0;
    }
  }
}

bool IsCached(TsCommonData* sd) {
  if (!sd) return false;
  if (!(sd->CtrlSkinState & LVCS_FAST) || HaveOuterEffects(sd)) return true;
  return !sCanNotBeHot.Contains(sd->COC) && ControlIsActive(sd);
}

vcl::TColor GetBGColor(TsCommonData* sd, int state, HWND handle) {
  vcl::TControl* owner = sd ? sd->OwnerControl() : nullptr;
  if (sd && sd->Skinned()) {
    const TsGeneralData& g = *Section(sd);
    const int s = state > 0 && g.States > 1 ? 1 : 0;
    const int t = g.Props[static_cast<size_t>(s)].Transparency;
    const vcl::TColor c = g.Props[static_cast<size_t>(s)].Color;
    auto parentColour = [&]() -> vcl::TColor {
      if (owner && owner->Parent()) return GetControlColor(owner->Parent());
      if (handle && GetParent(handle)) return GetControlColor(GetParent(handle));
      return c;
    };
    if (t == 100) return parentColour();
    if (t > 0) {
      if (!owner && !handle) return static_cast<vcl::TColor>(0xFF00000F);
      return MixColors(c, parentColour(), t / 100.0);
    }
    if (!sd->CustomColor()) return c;
  }
  if (owner) return owner->Color();
  if (sd)
    if (TsCustomSkinProvider* p = ProviderOf(sd); p && p->Form) return p->Form->Color();
  return static_cast<vcl::TColor>(0xFF00000F);
}

void InitBGInfo(TsCommonData* sd, TlvBGInfo* bg, int state, HWND handle) {
  if (!sd || !bg) return;
  vcl::TControl* owner = sd->OwnerControl();
  TsSkinManager* sm = sd->SkinManager();
  if (bg->PleaseDraw) {
    UpdateSkinState(sd, false);
    if (IsCached(sd)) {
      if (owner && sd->BGChanged) owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
      if (!sd->BGChanged && sd->CacheBmp() && bg->DrawDC)
        BitBlt(bg->DrawDC, bg->R.Left, bg->R.Top, bg->R.Width(), bg->R.Height(), sd->CacheBmp()->Canvas()->Handle(),
               bg->Offset.X, bg->Offset.Y, SRCCOPY);
      bg->BgType = btCache;
    } else {
      if (bg->DrawDC) FillDC(bg->DrawDC, bg->R, GetBGColor(sd, state));
      bg->BgType = btFill;
    }
    return;
  }
  bg->Bmp = nullptr;
  if (!sd->Skinned() || sd->CustomColor()) {
    bg->BgType = btFill;
    TsCustomSkinProvider* p = ProviderOf(sd);
    bg->Color = vcl::ColorToRGB(owner ? owner->Color() : p && p->Form ? p->Form->Color() : vcl::clBtnFace);
    return;
  }
  const TsGeneralData& g = *Section(sd);
  const int s = std::max(0, std::min({state, g.States - 1, 2}));
  const TsGenState& st = g.Props[static_cast<size_t>(s)];
  const int t = st.Transparency;
  vcl::TBitmap* cache = sd->CacheBmp();
  if (t == 100 && ((sd->CtrlSkinState & LVCS_FAST) || !cache)) {
    vcl::TControl* parent = owner ? owner->Parent() : nullptr;
    if (TsCustomSkinProvider* p = ProviderOf(sd); p && p->Form) parent = p->Form->Parent();
    if (parent) {
      GetBGInfo(*bg, parent, false);
      if (bg->Bmp && owner) {
        bg->Offset.X += owner->Left();
        bg->Offset.Y += owner->Top();
        bg->FillRect.Left -= owner->Left();
        bg->FillRect.Top -= owner->Top();
      }
    } else if (handle && GetParent(handle)) {
      GetBGInfo(*bg, GetParent(handle), false);
      if (bg->BgType == btCache) {
        RECT wr;
        GetWindowRect(handle, &wr);
        POINT p{wr.left, wr.top};
        ScreenToClient(GetParent(handle), &p);
        bg->Offset.X += p.x;
        bg->Offset.Y += p.y;
      }
    } else {
      bg->BgType = btFill;
      bg->Color = DefaultManager ? DefaultManager->GetGlobalColor() : vcl::clBtnFace;
    }
    return;
  }
  if (t == 100) {
    if (sd->BGChanged) PrepareCache(sd);
    if (sd->BGChanged) {
      bg->BgType = btFill;
      bg->Offset = vcl::TPoint(0, 0);
      bg->Color = GetBGColor(sd, 0);
    } else {
      bg->BgType = btCache;
      bg->Bmp = cache;
      bg->Offset = vcl::TPoint(0, 0);
    }
    return;
  }
  if (t > 0) {
    if (!cache) {
      bg->BgType = btFill;
      bg->Color = 0xFF00FF;
      return;
    }
    if (CacheEmpty(sd)) {
      if (sd->BGChanged) PrepareCache(sd);
      if (CacheEmpty(sd)) {
        sd->SetUpdatingFlag(true);
        bg->BgType = btNotReady;
        return;
      }
    }
    bg->BgType = btCache;
    bg->Bmp = sd->CacheBmp();
    bg->Offset = vcl::TPoint(0, 0);
    return;
  }
  if (st.GradientPercent == 0 && st.ImagePercent == 0 && g.ImgTL < 0 && g.ImgTR < 0 && g.ImgBL < 0 && g.ImgBR < 0 &&
      !HaveOuterEffects(sd)) {
    bg->BgType = btFill;
    bg->Color = GetBGColor(sd, state);
    if (sm->IsValidImgIndex(sd->BorderIndex)) {
      const TsMaskData& md = sm->ma[static_cast<size_t>(sd->BorderIndex)];
      if (!(md.DrawMode & BDM_ACTIVEONLY)) {
        bg->FillRect = vcl::TRect(md.WL, md.WT, md.WR, md.WB);
        bg->Bmp = cache;
        bg->Offset = vcl::TPoint(0, 0);
      }
    }
    return;
  }
  bg->Color = sm->GetGlobalColor();
  if (!cache || cache->Width() == 0 ||
      (owner && (cache->Width() != owner->Width() || cache->Height() != owner->Height()))) {
    sd->BGChanged = true;
    if (cache) cache->SetSize(0, 0);
    PrepareCache(sd);
  }
  cache = sd->CacheBmp();
  if (!cache || cache->Width() == 0) {
    bg->BgType = btNotReady;
    return;
  }
  bg->BgType = btCache;
  bg->Bmp = cache;
  bg->Offset = vcl::TPoint(0, 0);
}

TCacheInfo GetParentCache(TsCommonData* sd) {
  TCacheInfo ci;
  vcl::TControl* owner = sd ? sd->OwnerControl() : nullptr;
  if (sd && sd->Skinned() && owner) {
    TlvBGInfo bg;
    if (owner->Parent()) {
      GetBGInfo(bg, owner->Parent(), false);
    } else if (HWND h = OwnerHandle(sd); h && GetParent(h)) {
      GetBGInfo(bg, GetParent(h), false);
    } else {
      ci.FillColor = GetBGColor(sd, 0);
      return ci;
    }
    if (bg.BgType == btNotReady) {
      ci.FillColor = 0xFF00FF;
      return ci;
    }
    return BGInfoToCI(bg);
  }
  ci.FillColor = sd ? GetBGColor(sd, 0) : 0xFF00FF;
  return ci;
}

TCacheInfo GetParentCacheHwnd(HWND handle) {
  TCacheInfo ci;
  ci.FillColor = 0xFF00FF;
  if (!handle || !GetParent(handle)) return ci;
  TlvBGInfo bg;
  GetBGInfo(bg, GetParent(handle), false);
  return bg.BgType == btNotReady ? ci : BGInfoToCI(bg);
}

bool ControlIsActive(TsCommonData* sd) {
  if (!sd) return false;
  vcl::TControl* owner = sd->OwnerControl();
  if (!owner || Destroying(owner) || !owner->Enabled() || Designing(owner)) return false;
  if (sd->FFocused) return true;
  if (auto* win = dynamic_cast<vcl::TWinControl*>(owner);
      win && win->HandleAllocated() && GetFocus() == win->Handle() && !dynamic_cast<vcl::TCustomPanel*>(win))
    return true;
  TsSkinManager* sm = sd->SkinManager();
  if (!sd->FMouseAbove || (sm && sm->Options()->NoMouseHover()) || sForbidMouse.Contains(sd->COC)) return false;
  if (sNoHotEdits.Contains(sd->COC)) return lv_AllowHotEdits;
  return true;
}

bool lvMouseInControl(TsCommonData* sd) {
  if (!sd) return false;
  POINT p;
  GetCursorPos(&p);
  RECT r;
  HWND wnd = nullptr;
  if (auto* win = dynamic_cast<vcl::TWinControl*>(sd->OwnerControl())) {
    if (!win->HandleAllocated() || !IsWindowVisible(win->Handle())) return false;
    wnd = win->Handle();
    GetClientRect(wnd, &r);
    ScreenToClient(wnd, &p);
    return PtInRect(&r, p) != 0;
  }
  wnd = OwnerHandle(sd);
  if (!wnd || !IsWindowVisible(wnd)) return false;
  GetClientRect(wnd, &r);
  // A wrapped window's skinned scroll bars lie outside its client area and still belong to it.
  RECT wr;
  GetWindowRect(wnd, &wr);
  if (SendMessageW(wnd, SM_LUMICMD, MakeLumiWParam(LVC_GETLISTSW), 0)) {
    // The client area in window coordinates, then on to the inner edge of the frame: the bars lie between.
    POINT o{0, 0};
    ClientToScreen(wnd, &o);
    const int left = o.x - wr.left, top = o.y - wr.top;
    OffsetRect(&r, left, top);
    const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
    if (style & WS_VSCROLL) r.right = std::max<LONG>(r.right, (wr.right - wr.left) - left);
    if (style & WS_HSCROLL) r.bottom = std::max<LONG>(r.bottom, (wr.bottom - wr.top) - top);
  }
  p.x -= wr.left;
  p.y -= wr.top;
  if (!PtInRect(&r, p)) return false;
  HDC dc = GetWindowDC(wnd);
  RECT clip;
  GetClipBox(dc, &clip);
  ReleaseDC(wnd, dc);
  return PtInRect(&clip, p) != 0;
}

void ShowGlowingIfNeeded(TsCommonData* sd, bool clicked, HWND ctrlHandle, int alpha, bool allowAnimation,
                         int skinIndex) {
  if (!sd) return;
  TsSkinManager* sm = sd->SkinManager();
  if (skinIndex < 0) skinIndex = sd->SkinIndex;
  if (!sm || !sm->Effects()->AllowGlowing() || !sm->IsValidSkinIndex(skinIndex) || sm->Options()->NoMouseHover() ||
      sm->gd[static_cast<size_t>(skinIndex)].GlowCount < 1)
    return;
  vcl::TControl* owner = sd->OwnerControl();
  if (!owner) {
    if (sd->FMouseAbove && !(clicked && sd->GlowID >= 0) && ctrlHandle) {
      RECT r;
      GetWindowRect(ctrlHandle, &r);
      sd->GlowID = ShowGlow(vcl::TRect(r), sd->SkinSection(), L"GLOW",
                            sm->gd[static_cast<size_t>(skinIndex)].GlowMargin, alpha, GetRootParent(ctrlHandle), sd);
    } else {
      HideGlow(sd->GlowID, false);
    }
    return;
  }
  if (!sd->FMouseAbove) {
    HideGlow(sd->GlowID, allowAnimation);
    return;
  }
  if ((GetKeyState(VK_LBUTTON) & 0x8000) || (clicked && sd->GlowID >= 0)) return;
  vcl::TCustomForm* form = owner->ParentForm();
  HWND host = form && form->HandleAllocated() ? form->Handle() : nullptr;
  if (!sm->Effects()->AllowAnimation()) allowAnimation = false;
  if (allowAnimation) alpha = 0;
  if (sd->GlowID < 0) {
    vcl::TPoint origin =
        owner->Parent() ? owner->Parent()->ClientToScreen(owner->BoundsRect().TopLeft()) : vcl::TPoint();
    vcl::TRect r(origin.X, origin.Y, origin.X + owner->Width(), origin.Y + owner->Height());
    const TsGeneralData& g = sm->gd[static_cast<size_t>(skinIndex)];
    sd->GlowID = ShowGlow(r, dynamic_cast<vcl::TWinControl*>(owner) ? g.ClassName : sd->SkinSection(), L"GLOW",
                          g.GlowMargin, alpha, host, sd);
  }
  if (allowAnimation && sd->GlowID >= 0) {
    sd->BGChanged = false;
    DoChangePaint(sd, 1, UpdateGlowing_CB, true, false, false);
    if (sd->AnimTimer) sd->AnimTimer->ThreadType = TT_GLOWING;
  }
}

bool RepaintIfMoved(TsCommonData* sd) {
  if (!sd || !sd->Skinned()) return true;
  vcl::TControl* owner = sd->OwnerControl();
  if (!owner || !owner->Enabled()) return true;
  if (owner->ClassName() == L"TsTabSheet") return true;
  const TsGeneralData& g = *Section(sd);
  if (g.Props[0].Transparency > 0 && owner->Parent() && owner->Parent()->HandleAllocated())
    return GetBoolMsg(owner->Parent(), LVC_CHILDCHANGED);
  return false;
}

void InvalidateParentCache(TsCommonData* sd) {
  if (!sd || InUpdating(sd, false)) return;
  vcl::TControl* owner = sd->OwnerControl();
  if (!owner || !owner->Parent() || !owner->Parent()->HandleAllocated()) return;
  owner->Parent()->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETBGCHANGED, 1), 0);
  owner->Parent()->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE, 1), 0);
}

bool NeedParentFont(TsCommonData* sd) {
  const TsGeneralData* g = sd ? Section(sd) : nullptr;
  if (!g || g->Props[0].Transparency <= 50 || !sd->OwnerControl() || !sd->OwnerControl()->Parent()) return false;
  TsSkinManager* sm = sd->SkinManager();
  if (sm->IsValidImgIndex(sd->BorderIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(sd->BorderIndex)];
    if ((md.DrawMode & BDM_FILL) && !(md.DrawMode & BDM_ACTIVEONLY)) return false;
  }
  return true;
}

int GetFontIndex(vcl::TControl* control, TlvPaintInfo* paintInfo) {
  if (!control || !paintInfo) return 0;
  if (control->Parent()) {
    paintInfo->R = vcl::TRect(paintInfo->R.Left + control->Left(), paintInfo->R.Top + control->Top(),
                              paintInfo->R.Right + control->Left(), paintInfo->R.Bottom + control->Top());
  }
  return static_cast<int>(
      control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETFONTINDEX), reinterpret_cast<LPARAM>(paintInfo)));
}

int GetFontIndex(vcl::TControl* control, int defSkinIndex, TsSkinManager* skinManager, int state) {
  if (!control) return defSkinIndex;
  TlvPaintInfo info;
  info.State = state;
  info.R = control->BoundsRect();
  info.SkinManager = skinManager;
  info.FontIndex = defSkinIndex;
  return control->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETFONTINDEX), reinterpret_cast<LPARAM>(&info)) != 0
             ? info.FontIndex
             : defSkinIndex;
}

namespace {

// The colours of state s of the section given to an edit-like owner; true when anything changed.
bool ApplyStateColours(TsCommonData* sd, int s) {
  vcl::TControl* owner = sd->OwnerControl();
  const TsGeneralData* g = Section(sd);
  if (!owner || !g) return false;
  const TsGenState& st = g->Props[static_cast<size_t>(std::min(s, 2))];
  bool changed = false;
  if (!sd->CustomColor() && owner->Color() != st.Color) {
    owner->SetColor(st.Color);
    changed = true;
  }
  if (!sd->CustomFont() && owner->Font()->Color() != st.FontColor.Color) {
    sd->CtrlSkinState |= LVCS_CHANGING;
    owner->Font()->SetColor(st.FontColor.Color);
    sd->CtrlSkinState &= static_cast<unsigned short>(~LVCS_CHANGING);
    changed = true;
  }
  return changed;
}

void RefreshEdit(TsCommonData* sd, bool changed) {
  auto* win = dynamic_cast<vcl::TWinControl*>(sd->OwnerControl());
  if (!win || !win->HandleAllocated()) return;
  if (changed) InvalidateRect(win->Handle(), nullptr, TRUE);
  SendMessageW(win->Handle(), WM_NCPAINT, 0, 0);
}

void FrameRefresh(TsCommonData* sd, bool changed) {
  auto* win = dynamic_cast<vcl::TWinControl*>(sd->OwnerControl());
  if (!win || !win->Visible() || !sEditCtrls.Contains(sd->COC)) return;
  sd->BGChanged = true;
  RefreshEdit(sd, changed);
}

}  // namespace

bool CommonWndProc(vcl::TMessage& m, TsCommonData* sd) {
  if (!sd) return false;
  vcl::TControl* owner = sd->OwnerControl();
  switch (m.Msg) {
    case WM_MOVE:
      if (sd->Skinned()) {
        if (sd->OuterEffects()->Visibility() == ovAlways) InvalidateParentCache(sd);
        if (RepaintIfMoved(sd)) {
          sd->BGChanged = true;
          if (owner) owner->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETCHANGEDIFNECESSARY, 1), 0);
        }
        HideGlow(sd->GlowID, false);
      }
      return false;
    case WM_SIZE:
      if (sd->Skinned()) {
        sd->BGChanged = true;
        if (Section(sd)->Props[0].GradientPercent > 0)
          if (auto* win = dynamic_cast<vcl::TWinControl*>(owner))
            for (int i = 0; i < win->ControlCount(); ++i)
              if (!Destroying(win->Controls(i)))
                win->Controls(i)->Perform(SM_LUMICMD, MakeLumiWParam(LVC_SETCHANGEDIFNECESSARY, 1), 0);
        if (!TimerIsActive(sd)) HideGlow(sd->GlowID, false);
      }
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (sd->Skinned() && dynamic_cast<vcl::TWinControl*>(owner) && !FullyTransparent(*Section(sd))) {
        sd->BGChanged = true;
        sd->FFocused = m.Msg == WM_SETFOCUS;
        if (sEditCtrls.Contains(sd->COC)) {
          if (m.Msg == WM_SETFOCUS && Section(sd)->States > 1)
            RefreshEdit(sd, ApplyStateColours(sd, 1));
          else if (m.Msg == WM_KILLFOCUS && !ControlIsActive(sd))
            FrameRefresh(sd, ApplyStateColours(sd, 0));
        }
      }
      return false;
    case WM_SHOWWINDOW:
      StopTimer(sd);
      return false;
    case WM_FONTCHANGE:
    case vcl::CM_ENABLEDCHANGED:
      sd->FMouseAbove = false;
      sd->FFocused = false;
      sd->BGChanged = true;
      if (owner && !owner->Enabled()) HideGlow(sd->GlowID, false);
      return false;
    case WM_UPDATEUISTATE:
      return sd->Skinned();
    case WM_PARENTNOTIFY:
      if (auto* win = dynamic_cast<vcl::TWinControl*>(owner); win && LOWORD(m.WParam) == WM_CREATE) AddToAdapter(win);
      return false;
    case SM_LUMICMD:
      return CommonMessage(m, sd);
    case vcl::CM_VISIBLECHANGED:
      if (m.WParam == 0) HideGlow(sd->GlowID, false);
      return false;
    case vcl::CM_MOUSEENTER:
      if (!sd->Skinned() || sd->FMouseAbove || Designing(owner)) return false;
      if (sd->SkinManager()->Options()->NoMouseHover() || FullyTransparent(*Section(sd))) return false;
      if (!sForbidMouse.Contains(sd->COC)) sd->FMouseAbove = true;
      if (auto* win = dynamic_cast<vcl::TWinControl*>(owner); win && DefaultManager) {
        if (win->HandleAllocated()) DefaultManager->SetActiveControl(win->Handle());
        if (!sCanNotBeHot.Contains(sd->COC) && (sd->COC < 92 || sd->COC > 94))
          ShowGlowingIfNeeded(sd, false, win->HandleAllocated() ? win->Handle() : nullptr,
                              sd->SkinManager()->Effects()->AllowAnimation() ? 0 : 255, true, -1);
        if (sEditCtrls.Contains(sd->COC) && !(sNoHotEdits.Contains(sd->COC) && !lv_AllowHotEdits) &&
            Section(sd)->States >= 2)
          RefreshEdit(sd, ApplyStateColours(sd, 1));
      }
      return false;
    case vcl::CM_MOUSELEAVE:
      if (!owner || !sd->Skinned() || Designing(owner) || sd->SkinManager()->Options()->NoMouseHover()) return false;
      if (lvMouseInControl(sd)) return false;
      if (!sForbidMouse.Contains(sd->COC)) sd->FMouseAbove = false;
      if (!sCanNotBeHot.Contains(sd->COC) && (sd->COC < 92 || sd->COC > 94)) HideGlow(sd->GlowID, true);
      if (sEditCtrls.Contains(sd->COC) && !ControlIsActive(sd) && !FullyTransparent(*Section(sd)))
        FrameRefresh(sd, ApplyStateColours(sd, 0));
      return false;
    default:
      return false;
  }
}
