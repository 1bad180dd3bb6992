#include "skin/controls/sBitBtn.h"

#include <algorithm>

#include "platform/vcl/forms.h"
#include "platform/vcl/application.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sButtonGlyphs.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBorders.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

namespace {

// True when the caption marks ch as its accelerator ("&Kaydet" answers 'k' and 'K'; "&&" is a plain '&').
bool IsAccel(WPARAM ch, const rtl::String& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    // The system's own case mapping: the same answer whatever the thread's locale.
    const auto up = [](wchar_t c) {
      return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(c))));
    };
    return up(caption[i + 1]) == up(static_cast<wchar_t>(ch));
  }
  return false;
}

}  // namespace

TsBitBtn::TsBitBtn(vcl::TComponent* owner)
    : vcl::TBitBtn(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsBitBtn;
  control_style_ -= vcl::csOpaque;
}

TsBitBtn::~TsBitBtn() {
  if (FRegion && FRegion != reinterpret_cast<HRGN>(1)) DeleteObject(FRegion);
}

void TsBitBtn::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->CacheBmp()->Canvas()->Font()->Assign(Font());
  FCommonData->Loaded();
}

void TsBitBtn::Loaded() {
  inherited::Loaded();
  FCommonData->CacheBmp()->Canvas()->Font()->Assign(Font());
  FCommonData->Loaded();
  if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) Glyph()->Assign(nullptr);
}

void TsBitBtn::Click() {
  // A skinned button keeps its pressed look only while it is pressed.
  inherited::Click();
}

void TsBitBtn::SetBool(bool& field, bool value) {
  if (field == value) return;
  field = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetInt(int& field, int value) {
  if (field == value) return;
  field = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetDown(bool value) {
  if (FDown == value) return;
  FDown = value;
  RegionChanged = true;
  FCommonData->BGChanged = true;
  if (HandleAllocated()) Repaint();
}

void TsBitBtn::SetAcceptsControls(bool value) {
  if (FAcceptsControls == value) return;
  FAcceptsControls = value;
  if (value)
    control_style_ += vcl::csAcceptsControls;
  else
    control_style_ -= vcl::csAcceptsControls;
}

void TsBitBtn::SetBlend(int value) { SetInt(FBlend, std::clamp(value, 0, 100)); }

void TsBitBtn::SetAlignment(vcl::TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetTextAlignment(vcl::TAlignment value) {
  if (FTextAlignment == value) return;
  FTextAlignment = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetVerticalAlignment(vcl::TVerticalAlignment value) {
  if (FVerticalAlignment == value) return;
  FVerticalAlignment = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetLayout(TButtonLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  FCommonData->BGChanged = true;
  FCommonData->Invalidate();
}

void TsBitBtn::SetDisabledKind(TsDisabledKind value) {
  if (FDisabledKind == value) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetDisabledGlyphKind(TsDisabledGlyphKind value) {
  if (FDisabledGlyphKind == value) return;
  FDisabledGlyphKind = value;
  FCommonData->Invalidate();
}

void TsBitBtn::SetImages(vcl::TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (FImages) FImages->FreeNotification(this);
  FCommonData->Invalidate();
}

void TsBitBtn::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == vcl::opRemove && component == FImages) FImages = nullptr;
}

int TsBitBtn::CurrentState() {
  TsSkinManager* sm = FCommonData->SkinManager();
  const bool pushed = HandleAllocated() && (SendMessageW(handle_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  if ((pushed || fGlobalFlag) && (FCommonData->FMouseAbove || !ControlState().Contains(vcl::csLButtonDown) ||
                                  (sm && sm->Options()->NoMouseHover())))
    return 2;
  if (FDown) return 2;
  if (ControlIsActive(FCommonData.get())) return 1;
  if (Default()) {
    HWND focused = GetFocus();
    if (!focused) return 3;
    return (GetWindowLongPtrW(focused, GWL_STYLE) & 0x8) ? 0 : 3;
  }
  return 0;
}

int TsBitBtn::GlyphWidth() const {
  if (FImages && FImages->Count() > 0 && FImageIndex >= 0 && FImageIndex < FImages->Count())
    return FImages->Width() / FNumGlyphs;
  if (Glyph() && !Glyph()->Empty() && Glyph()->Width() > 0) return Glyph()->Width() / FNumGlyphs;
  return 0;
}

int TsBitBtn::GlyphHeight() const {
  if (FImages && FImages->Count() > 0 && FImageIndex >= 0 && FImageIndex < FImages->Count())
    return FImages->Height();
  if (Glyph() && !Glyph()->Empty() && Glyph()->Height() > 0) return Glyph()->Height();
  return 0;
}

int TsBitBtn::MaxCaptionWidth() const {
  if (!FShowCaption || text_.empty()) return 0;
  int w = width_ - 2 * Margin();
  if ((FLayout == blGlyphLeft || FLayout == blGlyphRight) && GlyphWidth() != 0) w -= GlyphWidth() + Spacing();
  return w;
}

vcl::TSize TsBitBtn::TextRectSize() {
  vcl::TSize size{0, 0};
  if (text_.empty()) return size;
  vcl::TCanvas* c = FCommonData->CacheBmp()->Canvas();
  c->Font()->Assign(Font());
  RECT r{0, 0, MaxCaptionWidth(), 0};
  unsigned flags = sctrl::GetStringFlags(this, FTextAlignment) | DT_CALCRECT | DT_EXPANDTABS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  DrawTextW(c->Handle(), text_.c_str(), static_cast<int>(text_.size()), &r, flags);
  size.cx = r.right - r.left;
  size.cy = r.bottom - r.top;
  return size;
}

vcl::TRect TsBitBtn::ImgRect() {
  vcl::TRect r(FGlyphPos.X, FGlyphPos.Y, FGlyphPos.X + GlyphWidth(), FGlyphPos.Y + GlyphHeight());
  TsSkinManager* sm = FCommonData->SkinManager();
  if (CurrentState() == 2 && (!FCommonData->Skinned() || (sm && sm->ButtonsOptions()->ShiftContentOnClick())))
    sctrl::Offset(r, 1, 1);
  if (FReflected) sctrl::Offset(r, 0, -(r.Width() / 6));
  return r;
}

bool TsBitBtn::RegionCase() {
  const TsMaskData* mask = sctrl::BorderMask(FCommonData.get());
  TsSkinManager* sm = FCommonData->SkinManager();
  return RegionChanged && mask && mask->CornerType == 2 && sm && !sctrl::Designing(sm) && !InAnimationProcess &&
         !FCommonData->AnimTimer;
}

void TsBitBtn::DrawCaption(vcl::TCanvas* canvas) {
  vcl::TCanvas* c = canvas ? canvas : FCommonData->CacheBmp()->Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(vcl::bsClear);
  TsSkinManager* sm = FCommonData->SkinManager();
  const bool skinned = FCommonData->Skinned();
  const int state = CurrentState();
  vcl::TRect r = FCaptionRect;
  if (state == 2 && (!skinned || (sm && sm->ButtonsOptions()->ShiftContentOnClick()))) sctrl::Offset(r, 1, 1);
  unsigned flags = sctrl::GetStringFlags(this, FTextAlignment) | DT_EXPANDTABS | DT_END_ELLIPSIS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (skinned) {
    WriteTextEx(c, text_.c_str(), Enabled(), r, flags, FCommonData.get(), state != 0);
    if (Enabled() && sm && sm->ButtonsOptions()->ShowFocusRect() && HandleAllocated() && GetFocus() == handle_ &&
        !text_.empty() && FShowFocus && FShowCaption) {
      vcl::TRect fr = FCaptionRect;
      sctrl::Inflate(fr, FFocusMargin + 1, FFocusMargin);
      const TsGeneralData* g = sctrl::Section(FCommonData.get());
      const int fs = g ? std::min(2, g->States) : 0;
      FocusRect(c, fr, sctrl::SectionFontColor(sm, FCommonData->SkinIndex, fs, Font()->Color()), vcl::clNone);
    }
    return;
  }
  RECT rr = r;
  if (!Enabled()) {
    OffsetRect(&rr, 1, 1);
    SetTextColor(c->Handle(), vcl::ColorToGdi(vcl::clBtnHighlight));
    DrawTextW(c->Handle(), text_.c_str(), static_cast<int>(text_.size()), &rr, flags);
    OffsetRect(&rr, -1, -1);
    SetTextColor(c->Handle(), vcl::ColorToGdi(vcl::clBtnShadow));
  } else {
    SetTextColor(c->Handle(), vcl::ColorToGdi(Font()->Color()));
  }
  SetBkMode(c->Handle(), TRANSPARENT);
  DrawTextW(c->Handle(), text_.c_str(), static_cast<int>(text_.size()), &rr, flags);
}

bool TsBitBtn::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  TCacheInfo ci;
  if (!sctrl::ParentCI(this, ci)) {
    sd->SetUpdatingFlag(true);
    return false;
  }
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const TsGeneralData* g = sctrl::Section(sd);
  if (!g) return false;
  const int cur = CurrentState();
  const int state = (cur == 3 && g->States < 4) ? 1 : std::min(cur, std::max(0, g->States - 1));
  const vcl::TRect all(0, 0, width_, height_);
  PaintItemBG(sd, ci, state, all, vcl::TPoint(left_, top_), cache);
  const TsMaskData* mask = sctrl::BorderMask(sd);
  TsSkinManager* sm = sd->SkinManager();
  const bool region = RegionCase();
  auto paintMask = [&]() {
    if (!mask) return;
    if (region) {
      PaintRgnBorder(cache, FRegion, true, *mask, state);
    } else {
      TCacheInfo mci = ci;
      mci.X += left_;
      mci.Y += top_;
      DrawSkinRect(cache, all, mci, *mask, state, true);
    }
  };
  if (mask) {
    if (region) {
      if (FRegion && FRegion != reinterpret_cast<HRGN>(1)) DeleteObject(FRegion);
      FRegion = CreateRectRgn(0, 0, width_, height_);
    }
    if (FDrawOverBorder && (state != 0 || !(mask->DrawMode & BDM_ACTIVEONLY))) paintMask();
  }
  UpdateBmpColors(cache, sd, true, state);
  vcl::TPoint glyphSize(GlyphWidth(), GlyphHeight());
  CalcButtonLayout(vcl::TRect(0, 0, width_, height_), glyphSize, TextRectSize(), FLayout, FAlignment, Margin(),
                   text_.empty() ? 0 : Spacing(), FGlyphPos, FCaptionRect, 0, FVerticalAlignment);
  if (FShowCaption) DrawCaption(nullptr);
  TlvDrawGlyphData gd;
  gd.Images = FImages;
  gd.ImageIndex = FImageIndex;
  gd.Glyph = Glyph();
  gd.NumGlyphs = FNumGlyphs;
  gd.ImgRect = ImgRect();
  gd.Enabled = Enabled();
  gd.Blend = FBlend;
  gd.Down = FDown;
  gd.CurrentState = cur;
  gd.Reflected = FReflected;
  gd.DisabledGlyphKind = FDisabledGlyphKind;
  gd.Grayed = cur != 0 ? false
                       : (FGrayed || (sm && sm->Effects()->DiscoloredGlyphs()) ||
                          (!Enabled() && FDisabledKind.Contains(dkGrayed)));
  gd.DstBmp = cache;
  gd.SkinIndex = sd->SkinIndex;
  gd.SkinManager = sm;
  if (glyphSize.X > 0) lvDrawGlyphEx(gd);
  if (!FDrawOverBorder && mask && (state != 0 || !(mask->DrawMode & BDM_ACTIVEONLY))) paintMask();
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, vcl::TPoint(left_, top_));
  OnPaint(this, cache);
  sd->BGChanged = false;
  if (state == 2 && !ControlsShifted) {
    ControlsShifted = true;
    ShiftControls(1);
  } else if (state != 2 && ControlsShifted) {
    ShiftControls(-1);
    ControlsShifted = false;
  }
  return true;
}

void TsBitBtn::ShiftControls(int offset) {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (sm && !sm->ButtonsOptions()->ShiftContentOnClick()) return;
  for (int i = 0; i < ControlCount(); ++i) {
    vcl::TControl* c = Controls(i);
    c->SetBounds(c->Left() + offset, c->Top() + offset, c->Width(), c->Height());
  }
}

void TsBitBtn::OurPaintHandler(HDC given) {
  TsCommonData* sd = FCommonData.get();
  if (InAnimationProcess && !given) return;
  PAINTSTRUCT ps{};
  HDC dc = given;
  const bool own = !given && !InAnimationProcess;
  if (own) dc = BeginPaint(handle_, &ps);
  if (!InUpdating(sd, false) && !TimerIsActive(sd)) {
    if (Spacing() != FOldSpacing) {
      FOldSpacing = Spacing();
      sd->BGChanged = true;
    }
    sd->BGChanged = sd->BGChanged || sd->HalfVisible;
    if (Parent()) {
      vcl::TRect pr = Parent()->ClientRect();
      sd->HalfVisible = !(left_ >= 0 && top_ >= 0 && left_ + width_ <= pr.Width() && top_ + height_ <= pr.Height());
    }
    bool ok = true;
    TsSkinManager* sm = sd->SkinManager();
    if (RegionCase() && sm && !sctrl::Designing(sm)) {
      ok = PrepareCache();
      if (ok && !given) {
        const bool first = LastRect.IsEmpty();
        SetWindowRgn(handle_, FRegion, first || aSkinChanging);
        FRegion = nullptr;
        RegionChanged = false;
        LastRect = BoundsRect();
      }
    } else if (sd->BGChanged) {
      ok = PrepareCache();
    }
    if (ok) {
      sctrl::CopyCache(sd, dc, vcl::TRect(0, 0, width_, height_));
      ::PaintControls(dc, this, false, vcl::TPoint(0, 0));
    }
  } else if (TimerIsActive(sd) && sd->AnimTimer && sd->AnimTimer->BmpOut) {
    vcl::TBitmap* out = sd->AnimTimer->BmpOut.get();
    BitBlt(dc, 0, 0, out->Width(), out->Height(), out->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  if (own) EndPaint(handle_, &ps);
}

void TsBitBtn::WndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
      case LVC_REFRESH:
        if (sm == sd->SkinManager()) {
          RegionChanged = true;
          LumiBroadCast(this, m);
          CommonMessage(m, sd);
          if (m.WParamHi() == LVC_REFRESH && HandleAllocated()) {
            SetWindowRgn(handle_, nullptr, FALSE);
            LastRect = vcl::TRect();
            sd->BGChanged = true;
            Repaint();
          }
        }
        return;
      case LVC_REMOVESKIN:
        if (sm == sd->SkinManager() && !IsDestroying()) {
          CommonMessage(m, sd);
          if (HandleAllocated()) {
            SetWindowRgn(handle_, nullptr, TRUE);
            LastRect = vcl::TRect();
            Repaint();
          }
        }
        return;
      case LVC_PREPARECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      case LVC_DRAWANIMAGE:
        if (FRegion && FRegion != reinterpret_cast<HRGN>(1)) DeleteObject(FRegion);
        FRegion = nullptr;
        break;
      case LVC_ENDPARENTUPDATE:
        if (sd->UpdatingFlag() && !GetUpdating(sd)) {
          sd->SetUpdatingFlag(false);
          sd->BGChanged = true;
          if (HandleAllocated()) Repaint();
          return;
        }
        break;
      default: break;
    }
    HandleSkinCommand(this, sd, m, L"BUTTON");
    return;
  }
  // Alt+the caption's marked letter clicks the button, skinned or not.
  if (m.Msg == vcl::CM_DIALOGCHAR) {
    if (IsAccel(m.WParam, Caption()) && CanFocus()) {
      Click();
      m.Result = 1;
      return;
    }
    if (m.WParam == VK_SPACE && sd->Skinned() && Enabled() && HandleAllocated() && GetFocus() == handle_) {
      StopTimer(sd);
      sd->BGChanged = true;
      Repaint();
    }
    inherited::WndProc(m);
    return;
  }
  // Enter clicks the focused button, as the system's dialogs do.
  if (m.Msg == vcl::CM_DIALOGKEY && m.WParam == VK_RETURN && Enabled() && Visible() && HandleAllocated() &&
      GetFocus() == handle_) {
    Click();
    m.Result = 1;
    return;
  }
  if (!sd->Skinned() || !ControlIsReady(this)) {
    if (m.Msg == vcl::CM_MOUSEENTER || m.Msg == vcl::CM_MOUSELEAVE) {
      sd->FMouseAbove = m.Msg == vcl::CM_MOUSEENTER;
      if (Enabled()) (m.Msg == vcl::CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave)(this);
    }
    inherited::WndProc(m);
    return;
  }
  TsSkinManager* sm = sd->SkinManager();
  switch (m.Msg) {
    case WM_PAINT:
      if (Visible()) {
        OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
      }
      break;
    case WM_PRINT:
      RegionChanged = true;
      sd->SetUpdatingFlag(false);
      sd->BGChanged = true;
      OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case vcl::CN_DRAWITEM: {
      // The system asks for a new look when its pushed state changes (mouse or Space).
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (dis && !TimerIsActive(sd)) {
        sd->BGChanged = true;
        if (PrepareCache()) sctrl::CopyCache(sd, dis->hDC, vcl::TRect(0, 0, width_, height_));
      }
      m.Result = 1;
      return;
    }
    case WM_ENABLE:
      return;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING:
      RegionChanged = true;
      break;
    case WM_WINDOWPOSCHANGED:
      RegionChanged = true;
      sd->BGChanged = true;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case vcl::CM_EXIT:
      if (Visible() && Enabled() && !IsDestroying()) {
        if (m.Msg != WM_SETFOCUS) StopTimer(sd);
        inherited::WndProc(m);
        if (m.Msg != WM_SETFOCUS) {
          sd->FFocused = false;
          HideGlow(sd->GlowID, true);
        }
        sd->BGChanged = true;
        RegionChanged = true;
        Invalidate();
        return;
      }
      if (m.Msg == WM_KILLFOCUS && IsDestroying()) return;
      break;
    case vcl::CM_MOUSEENTER:
      if (Enabled() && !sd->FMouseAbove && !(sm && sm->Options()->NoMouseHover())) {
        OnMouseEnter(this);
        sd->FMouseAbove = true;
        sd->BGChanged = false;
        DoChangePaint(sd, 1, UpdateWindow_CB, EventEnabled(aeMouseEnter, FAnimatEvents, sm), false, true);
      }
      inherited::WndProc(m);
      return;
    case vcl::CM_MOUSELEAVE:
      if (Enabled() && sd->FMouseAbove) {
        OnMouseLeave(this);
        sd->FMouseAbove = false;
        sd->BGChanged = false;
        DoChangePaint(sd, 0, UpdateWindow_CB, EventEnabled(aeMouseLeave, FAnimatEvents, sm), false, false);
      }
      inherited::WndProc(m);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (Enabled() && !FDown) {
        HoldHints();
        FMouseClicked = true;
        RegionChanged = true;
        sd->SetUpdatingFlag(sd->Updating());
        sd->BGChanged = false;
        inherited::WndProc(m);
        DoChangePaint(sd, 2, UpdateWindow_CB, EventEnabled(aeMouseDown, FAnimatEvents, sm), true, false);
        return;
      }
      break;
    case WM_LBUTTONUP: {
      RestoreHints();
      if (IsDestroying()) break;
      const bool clicked = FMouseClicked;
      FMouseClicked = false;
      if (clicked && TimerIsActive(sd)) {
        // A release before the press fade ended still shows the pressed look for a moment.
        StopTimer(sd);
        sd->BGChanged = true;
        fGlobalFlag = true;
        if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        fGlobalFlag = false;
        Sleep(30);
      }
      inherited::WndProc(m);
      if (IsDestroying() || !HandleAllocated()) return;
      RegionChanged = true;
      sd->SetUpdatingFlag(false);
      if (clicked) {
        sd->BGChanged = false;
        DoChangePaint(sd, sd->FMouseAbove ? 1 : 0, UpdateWindow_CB, EventEnabled(aeMouseUp, FAnimatEvents, sm),
                      true, true);
      } else {
        sd->BGChanged = true;
        Invalidate();
      }
      return;
    }
    case WM_KEYUP:
      inherited::WndProc(m);
      if (m.WParam == VK_SPACE && HandleAllocated()) {
        RegionChanged = true;
        sd->BGChanged = true;
        Invalidate();
      }
      return;
    case WM_SETTEXT:
      StopTimer(sd);
      break;
    case vcl::CM_TEXTCHANGED:
      if (!IsDestroying()) {
        StopTimer(sd);
        inherited::WndProc(m);
        sd->Invalidate();
        return;
      }
      break;
    default: break;
  }
  if (CommonWndProc(m, sd)) return;
  inherited::WndProc(m);
  switch (m.Msg) {
    case WM_SETFONT:
    case vcl::CM_FONTCHANGED:
      StopTimer(sd);
      FCommonData->CacheBmp()->Canvas()->Font()->Assign(Font());
      sd->Invalidate();
      break;
    case vcl::CM_VISIBLECHANGED:
      if (!IsDestroying() && Visible()) {
        sd->BGChanged = true;
        sd->SetUpdatingFlag(false);
        Repaint();
      }
      break;
    case vcl::CM_ENABLEDCHANGED:
      if (!IsDestroying()) {
        sd->SetUpdatingFlag(false);
        StopTimer(sd);
        sd->BGChanged = true;
        if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
      break;
    default: break;
  }
}

VCL_REGISTER(TsBitBtn) {
  cls.Prop(L"SkinData", &TsBitBtn::SkinData, &TsBitBtn::SetSkinData);
  cls.Prop(L"AcceptsControls", &TsBitBtn::AcceptsControls, &TsBitBtn::SetAcceptsControls).Default(false);
  cls.Prop(L"Alignment", &TsBitBtn::Alignment, &TsBitBtn::SetAlignment).Default(vcl::taCenter);
  cls.Prop(L"Blend", &TsBitBtn::Blend, &TsBitBtn::SetBlend).Default(0);
  cls.Prop(L"Down", &TsBitBtn::Down, &TsBitBtn::SetDown).Default(false);
  cls.Prop(L"DrawOverBorder", &TsBitBtn::DrawOverBorder, &TsBitBtn::SetDrawOverBorder).Default(true);
  cls.Prop(L"FocusMargin", &TsBitBtn::FocusMargin, &TsBitBtn::SetFocusMargin).Default(1);
  cls.Prop(L"Grayed", &TsBitBtn::Grayed, &TsBitBtn::SetGrayed).Default(false);
  cls.Prop(L"ImageIndex", &TsBitBtn::ImageIndex, &TsBitBtn::SetImageIndex).Default(-1);
  cls.Prop(L"NumGlyphs", &TsBitBtn::NumGlyphs, &TsBitBtn::SetNumGlyphs).Default(1);
  cls.Prop(L"Layout", &TsBitBtn::Layout, &TsBitBtn::SetLayout).Default(blGlyphLeft);
  cls.Prop(L"VerticalAlignment", &TsBitBtn::VerticalAlignment, &TsBitBtn::SetVerticalAlignment)
      .Default(vcl::taVerticalCenter);
  cls.Prop(L"Reflected", &TsBitBtn::Reflected, &TsBitBtn::SetReflected).Default(false);
  cls.Prop(L"ShowCaption", &TsBitBtn::ShowCaption, &TsBitBtn::SetShowCaption).Default(true);
  cls.Prop(L"ShowFocus", &TsBitBtn::ShowFocus, &TsBitBtn::SetShowFocus).Default(true);
  cls.Prop(L"TextOffset", &TsBitBtn::TextOffset, &TsBitBtn::SetTextOffset).Default(0);
  cls.Prop(L"TextAlignment", &TsBitBtn::TextAlignment, &TsBitBtn::SetTextAlignment).Default(vcl::taCenter);
  cls.Prop(L"WordWrap", &TsBitBtn::WordWrap, &TsBitBtn::SetWordWrap).Default(true);
}
