#include "skin/controls/sSpeedButton.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sButtonGlyphs.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

TsSpeedButton::TsSpeedButton(vcl::TComponent* owner)
    : vcl::TSpeedButton(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FCommonData->COC = COC_TsSpeedButton;
  Glyph()->OnChange = [this](rtl::TObject*) {
    if (!IsLoading() && !IsDestroying()) FCommonData->Invalidate();
    vcl::TControl::Invalidate();
  };
}

TsSpeedButton::~TsSpeedButton() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (sm && sm->ActiveGraphControl() == this) sm->SetActiveGraphControl(nullptr);
  StopTimer(FCommonData.get());
}

void TsSpeedButton::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
  if (FCommonData->Skinned()) control_style_ += vcl::csOpaque;
}

void TsSpeedButton::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FCommonData->Skinned()) control_style_ += vcl::csOpaque;
  if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) Glyph()->Assign(nullptr);
}

void TsSpeedButton::Invalidate() {
  if (Layout() != OldLayout || Margin() != OldMargin || Flat() != OldFlat) {
    OldLayout = Layout();
    OldMargin = Margin();
    const bool sectionChanges = Flat() != OldFlat;
    OldFlat = Flat();
    FCommonData->BGChanged = true;
    if (sectionChanges && !FCommonData->Loading) FCommonData->UpdateIndexes();
  }
  FCommonData->BGChanged = true;
  if (FCommonData->Skinned() && State() == vcl::bsDown) return;
  inherited::Invalidate();
}

void TsSpeedButton::UpdateControl() {
  if ((Visible() || ComponentState().Contains(vcl::csDesigning)) &&
      !(FCommonData->CtrlSkinState & LVCS_LOCKED)) {
    FCommonData->BGChanged = true;
    GraphRepaint();
  }
}

void TsSpeedButton::SetBlend(int value) { SetValue(FBlend, std::clamp(value, 0, 100)); }

void TsSpeedButton::SetButtonStyle(TToolButtonStyle value) {
  if (FButtonStyle == value) return;
  if (!IsLoading()) {
    if (value == tbsDropDown)
      SetWidth(Width() + 16);
    else if (FButtonStyle == tbsDropDown)
      SetWidth(Width() - 16);
  }
  FButtonStyle = value;
  UpdateControl();
}

void TsSpeedButton::SetImages(vcl::TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (FImages) FImages->FreeNotification(this);
  UpdateControl();
}

void TsSpeedButton::SetDropdownMenu(vcl::TPopupMenu* value) {
  if (FDropdownMenu == value) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = value;
  if (FDropdownMenu) FDropdownMenu->FreeNotification(this);
}

void TsSpeedButton::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != vcl::opRemove) return;
  if (component == FImages) FImages = nullptr;
  if (component == FDropdownMenu) FDropdownMenu = nullptr;
}

bool TsSpeedButton::Pressed() const {
  return (State() == vcl::bsDown || State() == vcl::bsExclusive || FMenuVisible) && !FMenuOwnerMode;
}

int TsSpeedButton::CurrentState() {
  if (Pressed()) return 2;
  if (ControlIsActive(FCommonData.get()) || FHotState || FMenuOwnerMode) return 1;
  return 0;
}

int TsSpeedButton::CurrentImageIndex() {
  int i = -1;
  if (!Enabled())
    i = FImageIndexDisabled;
  else if (Pressed())
    i = State() == vcl::bsExclusive ? FImageIndexSelected : FImageIndexPressed;
  else if (FCommonData->FMouseAbove)
    i = FImageIndexHot;
  return i == -1 ? FImageIndex : i;
}

int TsSpeedButton::GlyphWidth() const {
  if (Glyph() && !Glyph()->Empty() && Glyph()->Width() > 0) return Glyph()->Width() / FNumGlyphs;
  if (FImages && FImageIndex >= 0 && FImageIndex <= FImages->Count() - 1) return FImages->Width() / FNumGlyphs;
  return 0;
}

int TsSpeedButton::GlyphHeight() const {
  if (Glyph() && !Glyph()->Empty() && Glyph()->Height() > 0) return Glyph()->Height();
  if (FImages && FImageIndex >= 0 && FImageIndex <= FImages->Count() - 1) return FImages->Height();
  return 0;
}

int TsSpeedButton::MaxCaptionWidth() const {
  if (!FShowCaption || text_.empty()) return 0;
  int w = width_ - 2 * Margin() - ArrowWidth();
  if ((FLayout == blGlyphLeft || FLayout == blGlyphRight) && GlyphWidth() != 0) w -= GlyphWidth() + Spacing();
  return w;
}

vcl::TSize TsSpeedButton::TextRectSize() {
  vcl::TSize size{0, 0};
  if (text_.empty()) return size;
  vcl::TCanvas* c = FCommonData->CacheBmp()->Canvas();
  c->Font()->Assign(Font());
  vcl::TRect r(0, 0, MaxCaptionWidth(), 0);
  unsigned flags = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  if (FUseEllipsis) flags |= DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS;
  lvDrawText(c->Handle(), text_, r, flags);
  size.cx = r.Width();
  size.cy = r.Height();
  return size;
}

vcl::TRect TsSpeedButton::ImgRect(bool shiftClicked) {
  const int W = width_, H = height_, gw = GlyphWidth(), gh = GlyphHeight(), gm = GenMargin(), A = ArrowWidth();
  const vcl::TSize t = TextRectSize();
  const int sp = (FShowCaption && gw > 0 && !text_.empty()) ? Spacing() : 0;
  const int dx = (W - A - gw - sp - t.cx) / 2 - gm, dy = (H - gh - sp - t.cy) / 2 - gm;
  int X = 0, Y = 0;
  switch (FLayout) {
    case blGlyphLeft:
      Y = (H - gh) / 2;
      X = FAlignment == vcl::taLeftJustify ? gm : FAlignment == vcl::taRightJustify ? 2 * dx + gm : dx + gm;
      break;
    case blGlyphRight:
      Y = (H - gh) / 2;
      if (FAlignment == vcl::taLeftJustify)
        X = CaptionRect(true).Right + sp - (CurrentState() == 2 ? 1 : 0);
      else if (FAlignment == vcl::taRightJustify)
        X = W - A - gw - gm;
      else
        X = (W - A - gw + sp + t.cx) / 2;
      break;
    case blGlyphTop:
      X = (W - A - gw) / 2 + 1;
      Y = gm + dy;
      break;
    default:
      X = (W - A - gw) / 2 + 1;
      Y = H - gm - dy - gh;
      break;
  }
  TsSkinManager* sm = FCommonData->SkinManager();
  if (shiftClicked && CurrentState() == 2 &&
      (!FCommonData->Skinned() || (sm && sm->ButtonsOptions()->ShiftContentOnClick()))) {
    ++X;
    ++Y;
  }
  vcl::TRect r(X, Y, X + gw, Y + gh);
  if (FReflected) sctrl::Offset(r, 0, -(r.Height() / 6));
  return r;
}

vcl::TRect TsSpeedButton::CaptionRect(bool shiftClicked) {
  const int W = width_, H = height_, gw = GlyphWidth(), gh = GlyphHeight(), gm = GenMargin(), A = ArrowWidth();
  const vcl::TSize t = TextRectSize();
  const int tw = t.cx, th = t.cy;
  const bool vertical = FLayout == blGlyphTop || FLayout == blGlyphBottom;
  const int sp = ((vertical ? gh : gw) > 0 && !text_.empty()) ? Spacing() : 0;
  vcl::TRect r;
  switch (FLayout) {
    case blGlyphLeft: {
      r.Top = (H - th) / 2;
      r.Bottom = r.Top + th;
      const int e = W - A - tw - gw - sp - 2 * gm;
      if (FAlignment == vcl::taLeftJustify) {
        if (FTextAlignment == vcl::taLeftJustify)
          r.Left = gm + gw + sp;
        else if (FTextAlignment == vcl::taRightJustify)
          r.Left = gw == 0 ? gm : W - gm - tw - A;
        else
          r.Left = gw == 0 ? (W - tw) / 2 : e / 2 + gw + sp + gm;
        r.Right = r.Left + tw;
      } else if (FAlignment == vcl::taRightJustify) {
        r.Right = W - A - gm;
        r.Left = r.Right - tw;
      } else {
        r.Left = e / 2 + gm + gw + sp;
        r.Right = r.Left + tw;
      }
      break;
    }
    case blGlyphRight: {
      r.Top = (H - th) / 2;
      r.Bottom = r.Top + th;
      if (FAlignment == vcl::taLeftJustify) {
        r.Left = gm;
        r.Right = gm + tw;
      } else if (FAlignment == vcl::taCenter) {
        r.Left = (W - A - gw - sp - tw) / 2;
        r.Right = r.Left + tw;
      } else {
        r.Right = W - A - gw - sp - gm;
        if (FTextAlignment == vcl::taLeftJustify)
          r.Left = gw == 0 ? W - gm - tw - A : gm;
        else if (FTextAlignment == vcl::taRightJustify)
          r.Left = W - gm - gw - sp - tw - A;
        else
          r.Left = gw == 0 ? W - gm - tw - A : (W - gm - gw - sp - tw - A) / 2;
      }
      break;
    }
    case blGlyphTop: {
      const int y0 = (H - gh - sp - th) / 2 - gm;
      r.Left = (W - tw - A) / 2;
      r.Top = gm + y0 + gh + sp;
      r.Right = W - r.Left - A;
      r.Bottom = H - y0 - gm;
      break;
    }
    default: {
      const int y0 = (H - gh - sp - th) / 2 - gm;
      r.Left = (W - tw - A) / 2;
      r.Top = gm + y0;
      r.Right = W - r.Left - A;
      r.Bottom = H - y0 - gm - gh - sp;
      break;
    }
  }
  if (vertical) {
    r.Top += FOffset;
    r.Bottom += FOffset;
  } else {
    r.Left += FOffset;
    r.Right += FOffset;
  }
  TsSkinManager* sm = FCommonData->SkinManager();
  if (shiftClicked && CurrentState() == 2 &&
      (!FCommonData->Skinned() || (sm && sm->ButtonsOptions()->ShiftContentOnClick())))
    sctrl::Offset(r, 1, 1);
  return r;
}

vcl::TRect TsSpeedButton::ArrowRect() {
  if (FButtonStyle != tbsDropDown) return vcl::TRect();
  vcl::TRect a;
  if (OnClick) {
    a.Left = width_ - 16;
  } else {
    const vcl::TRect r = ImgRect(false);
    vcl::TRect c;
    if (FShowCaption)
      c = CaptionRect(false);
    else
      c = GlyphWidth() > 0 ? vcl::TRect(r.Right, 0, r.Right, 0)
                           : vcl::TRect(GlyphWidth() + (width_ - 16) / 2, 0, GlyphWidth() + (width_ - 16) / 2, 0);
    const int gap = (r.IsEmpty() && c.IsEmpty()) ? 0 : 2;
    a.Left = FLayout == blGlyphLeft    ? gap + c.Right
             : FLayout == blGlyphRight ? gap + r.Right
                                       : gap + std::max(r.Right, c.Right);
  }
  a.Right = a.Left + 16;
  a.Top = 0;
  a.Bottom = height_;
  TsSkinManager* sm = FCommonData->SkinManager();
  if (CurrentState() == 2 && (!FCommonData->Skinned() || (sm && sm->ButtonsOptions()->ShiftContentOnClick())))
    sctrl::Offset(a, 1, 1);
  return a;
}

bool TsSpeedButton::PrepareCache() { return PrepareCacheFrom(nullptr); }

bool TsSpeedButton::PrepareCacheFrom(HDC from) {
  TlvBGInfo bg;
  bg.BgType = btUnknown;
  if (Parent()) Parent()->Perform(SM_LUMICMD, MakeLumiWParam(LVC_GETBG), reinterpret_cast<LPARAM>(&bg));
  if (bg.BgType == btNotReady) {
    FCommonData->SetUpdatingFlag(true);
    return false;
  }
  TCacheInfo ci;
  FStdParent = bg.BgType == btUnknown;
  if (FStdParent && FTransparent) {
    // A plain parent paints itself under the button; its pixels there are taken while it paints (never from the
    // screen, which would hold the button's own old look).
    // Painted as opaque until now, the parent left the button's place unpainted: its pixels come with the next
    // painting.
    const bool wasOpaque = control_style_.Contains(vcl::csOpaque);
    control_style_ -= vcl::csOpaque;
    if (wasOpaque && Parent() && Parent()->HandleAllocated()) {
      RECT r{left_, top_, left_ + width_, top_ + height_};
      InvalidateRect(Parent()->Handle(), &r, TRUE);
      from = nullptr;
    }
    if (!FBGCopying) {
      FBGCopying = true;
      if (!FStdBG) FStdBG = CreateBmp32(width_, height_);
      if (FStdBG->Width() != width_ || FStdBG->Height() != height_) {
        FStdBG->SetSize(width_, height_);
        FStdBGTaken = false;
      }
      TsCommonData* sd = FCommonData.get();
      if (from && !ControlState().Contains(vcl::csPaintCopy) && !TimerIsActive(sd) && !sd->FMouseAbove) {
        BitBlt(FStdBG->Canvas()->Handle(), 0, 0, width_, height_, from, 0, 0, SRCCOPY);
        FStdBGTaken = true;
      } else if (!FStdBGTaken) {
        FillDC(FStdBG->Canvas()->Handle(), vcl::TRect(0, 0, width_, height_),
               vcl::ColorToRGB(Parent() ? Parent()->Color() : vcl::clBtnFace));
      }
      FBGCopying = false;
    }
    ci.Bmp = FStdBG.get();
    ci.X = -left_;
    ci.Y = -top_;
    ci.Ready = true;
  } else if (FStdParent) {
    // An opaque button on a plain parent: its colour lies behind the button.
    control_style_ += vcl::csOpaque;
    ci.Ready = false;
    ci.Bmp = nullptr;
    ci.FillColor = vcl::ColorToRGB(Parent() ? Parent()->Color() : vcl::clBtnFace);
  } else {
    ci = BGInfoToCI(bg);
  }
  PaintControl(ci);
  return true;
}

void TsSpeedButton::PaintControl(const TCacheInfo& ci) {
  TsCommonData* sd = FCommonData.get();
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  cache->Canvas()->Font()->Assign(Font());
  const vcl::TPoint pos(left_, top_);
  auto background = [&](const vcl::TRect& r) {
    if (ci.Ready && ci.Bmp)
      BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), ci.Bmp->Canvas()->Handle(),
             ci.X + left_ + r.Left, ci.Y + top_ + r.Top, SRCCOPY);
    else
      FillDC(cache->Canvas()->Handle(), r, ci.FillColor);
  };
  const vcl::TRect all(0, 0, width_, height_);
  TsSkinManager* sm = sd->SkinManager();
  if (FButtonStyle == tbsSeparator) {
    background(all);
  } else if (FButtonStyle == tbsDivider) {
    background(all);
    const int divider = sm->ConstData.Sections[ssDivider];
    const int mask = sm->IsValidSkinIndex(divider) ? sm->GetMaskIndex(divider, L"BORDERSMASK") : -1;
    if (sm->IsValidImgIndex(mask)) {
      TCacheInfo mci = ci;
      mci.X += left_;
      mci.Y += top_;
      DrawSkinRect(cache, vcl::TRect(width_ / 2 - 1, 0, width_ / 2 + 1, height_), mci,
                   sm->ma[static_cast<size_t>(mask)], 0, false);
    }
  } else {
    int state;
    if (FButtonStyle == tbsDropDown)
      state = (FDroppedDown || Down() || State() == vcl::bsDown || State() == vcl::bsExclusive) ? 2
              : ControlIsActive(sd)                                                            ? 1
                                                                                               : 0;
    else
      state = CurrentState();
    const bool split = FButtonStyle == tbsDropDown && static_cast<bool>(OnClick);
    const TsMaskData* mask = sctrl::BorderMask(sd);
    if (split) {
      const vcl::TRect strip(width_ - 16, 0, width_, height_);
      const int hue = sd->FHUEOffset, sat = sd->FSaturation, tone = sd->FColorTone;
      sd->FHUEOffset = 0;
      sd->FSaturation = 0;
      sd->FColorTone = clNoColorTone;
      PaintItemBG(sd, ci, state, strip, pos, cache);
      sd->FHUEOffset = hue;
      sd->FSaturation = sat;
      sd->FColorTone = tone;
      if (mask) {
        TCacheInfo mci = ci;
        mci.X += left_;
        mci.Y += top_;
        DrawSkinRect(cache, strip, mci, *mask, state, true);
      }
    }
    const vcl::TRect main(0, 0, width_ - (split ? 16 : 0), height_);
    if (FDrawOverBorder) {
      PaintItem(sd, ci, true, state, main, pos, cache, true);
      DrawCaption();
      DrawGlyph();
      if (split || (FButtonStyle == tbsDropDown && !FShowCaption)) PaintArrow(ArrowRect(), state);
    } else {
      PaintItemBG(sd, ci, state, vcl::TRect(0, 0, width_ - ArrowWidth(), height_), pos, cache);
      DrawCaption();
      DrawGlyph();
      if (mask) {
        TCacheInfo mci = ci;
        mci.X += left_;
        mci.Y += top_;
        DrawSkinRect(cache, vcl::TRect(0, 0, width_ - ArrowWidth(), height_), mci, *mask, state, true);
      }
    }
  }
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, pos);
  OnPaint(this, cache);
  sd->BGChanged = false;
}

void TsSpeedButton::DrawCaption() {
  if (!FShowCaption || text_.empty()) return;
  vcl::TCanvas* c = FCommonData->CacheBmp()->Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(vcl::bsClear);
  unsigned flags = sctrl::GetStringFlags(this, FTextAlignment) | DT_WORDBREAK | DT_NOCLIP;
  if (FUseEllipsis) flags |= DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS;
  if (!FWordWrap) flags = (flags & ~static_cast<unsigned>(DT_WORDBREAK)) | DT_SINGLELINE;
  vcl::TRect r = CaptionRect(true);
  WriteTextEx(c, text_.c_str(), Enabled(), r, flags, FCommonData.get(), CurrentState() > 0);
  if (FButtonStyle == tbsDropDown) PaintArrow(ArrowRect(), CurrentState());
}

void TsSpeedButton::DrawGlyph() {
  TsSkinManager* sm = FCommonData->SkinManager();
  TlvDrawGlyphData gd;
  gd.Images = FImages;
  gd.ImageIndex = CurrentImageIndex();
  gd.Glyph = Glyph();
  gd.NumGlyphs = FNumGlyphs;
  gd.ImgRect = ImgRect(true);
  gd.CurrentState = CurrentState();
  gd.Enabled = Enabled();
  gd.Blend = FBlend;
  gd.Down = Down();
  gd.Reflected = FReflected;
  gd.DisabledGlyphKind = FDisabledGlyphKind;
  if (sm) {
    if (FGrayedMode == gmAlways)
      gd.Grayed = true;
    else if ((FGrayed || sm->Effects()->DiscoloredGlyphs()) && gd.CurrentState == 0)
      gd.Grayed = true;
    else
      gd.Grayed = !Enabled() && FDisabledKind.Contains(dkGrayed);
  } else {
    gd.Grayed = FGrayed || (!Enabled() && FDisabledKind.Contains(dkGrayed));
  }
  gd.DstBmp = FCommonData->CacheBmp();
  gd.SkinIndex = FCommonData->SkinIndex;
  gd.SkinManager = sm;
  if (GlyphWidth() > 0) lvDrawGlyphEx(gd);
}

void TsSpeedButton::PaintArrow(const vcl::TRect& r, int state) {
  if (r.IsEmpty()) return;
  TsSkinManager* sm = FCommonData->SkinManager();
  vcl::TColor colour = Font()->Color();
  if (FCommonData->Skinned()) {
    const int index = GetFontIndex(this, FCommonData->SkinIndex, sm, state);
    colour = sctrl::SectionFontColor(sm, index, state > 0 ? 1 : 0, colour);
  }
  DrawColorArrow(FCommonData->CacheBmp()->Canvas(), colour, r, asBottom);
}

void TsSpeedButton::Paint() {
  if ((!Visible() && !ComponentState().Contains(vcl::csDesigning)) || !Parent()) return;
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  if (sm && sm->CommonSkinData->Active && sd->SkinIndex < 0) sd->UpdateIndexes();
  if (!sd->Skinned()) {
    if (FButtonStyle == tbsSeparator) return;
    if (FButtonStyle == tbsDivider) {
      RECT r{width_ / 2 - 1, 0, width_ / 2 + 1, height_};
      DrawEdge(Canvas()->Handle(), &r, BDR_SUNKENOUTER, BF_LEFT | BF_RIGHT);
      return;
    }
    inherited::Paint();
    return;
  }
  if (width_ <= 0 || height_ <= 0) return;
  HDC dc = Canvas()->Handle();
  if (TimerIsActive(sd)) {
    if (sd->AnimTimer && sd->AnimTimer->BmpOut && sd->AnimTimer->BmpOut->Width() == width_)
      BitBlt(dc, 0, 0, width_, height_, sd->AnimTimer->BmpOut->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  if (CurrentState() > 0 || Down() != FStoredDown || sd->HalfVisible) sd->BGChanged = true;
  FStoredDown = Down();
  if (FNumGlyphs != FOldNumGlyphs || Spacing() != FOldSpacing) {
    FOldNumGlyphs = FNumGlyphs;
    FOldSpacing = Spacing();
    sd->BGChanged = true;
  }
  sd->HalfVisible = left_ < 0 || top_ < 0 || left_ + width_ > Parent()->ClientWidth() ||
                    top_ + height_ > Parent()->ClientHeight();
  // A plain parent's colour may change at any time: its background is taken afresh.
  if (!PrepareCacheFrom(dc)) return;
  sctrl::CopyCache(sd, dc, vcl::TRect(0, 0, width_, height_));
}

void TsSpeedButton::GraphRepaint() {
  if (IsLoading() || IsDestroying() || !Parent() || InAnimationProcess) return;
  auto* parent = Parent();
  if (!parent->HandleAllocated() || !parent->Visible()) return;
  if (!Visible() && !ComponentState().Contains(vcl::csDesigning)) return;
  TsCommonData* sd = FCommonData.get();
  if (!sd->Skinned() || ComponentState().Contains(vcl::csDesigning)) {
    Repaint();
    return;
  }
  if (sd->UpdatingFlag()) return;
  if (sd->BGChanged) {
    if (!PrepareCache()) return;
    if (!ControlState().Contains(vcl::csPaintCopy)) PaintParentControls();
  }
  HDC dc = GetDC(parent->Handle());
  vcl::TBitmap* src = sd->CacheBmp();
  if (TimerIsActive(sd) && sd->AnimTimer && sd->AnimTimer->BmpOut) src = sd->AnimTimer->BmpOut.get();
  BitBlt(dc, left_, top_, width_, height_, src->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(parent->Handle(), dc);
}

void TsSpeedButton::PaintParentControls() {
  vcl::TWinControl* parent = Parent();
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  if (!parent || !cache || cache->Width() < width_ || cache->Height() < height_) return;
  const vcl::TRect own(left_, top_, left_ + width_, top_ + height_);
  HDC dc = cache->Canvas()->Handle();
  bool above = false;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    vcl::TControl* c = parent->Controls(i);
    if (c == this) {
      // Only the siblings painted after the button lie over it; those before it are covered by it anyway.
      above = true;
      continue;
    }
    if (!above || c->IsWindowed() || !c->Visible() || !c->ControlStyle().Contains(vcl::csOpaque)) continue;
    // Any overlap counts: a sibling lying across an edge of the button, both corners outside it, is covered too.
    RECT inter, a = own, b{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!IntersectRect(&inter, &a, &b)) continue;
    GdiFlush();
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, c->Left() - left_, c->Top() - top_, nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
    GdiFlush();
  }
}

void TsSpeedButton::Lv_CMMouseEnter() {
  OnMouseEnter(this);
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  if (sd->FMouseAbove || FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider ||
      (sm && sm->Options()->NoMouseHover()))
    return;
  sd->FMouseAbove = true;
  if (sm) sm->SetActiveGraphControl(this);
  if (FMenuOwnerMode) {
    sd->BGChanged = true;
    return;
  }
  sd->BGChanged = false;
  DoChangePaint(sd, 1, UpdateGraphic_CB, EventEnabled(aeMouseEnter, FAnimatEvents, sm), false, true);
}

void TsSpeedButton::Lv_CMMouseLeave() {
  TsCommonData* sd = FCommonData.get();
  if (!sd->FMouseAbove) return;
  OnMouseLeave(this);
  sd->FMouseAbove = false;
  TsSkinManager* sm = sd->SkinManager();
  if (sm && sm->ActiveGraphControl() == this) sm->SetActiveGraphControl(nullptr);
  if (State() == vcl::bsDown) SetState(vcl::bsUp);
  if (!Visible() || ComponentState().Contains(vcl::csDesigning) || FMenuOwnerMode) {
    sd->BGChanged = true;
    return;
  }
  if (!FDroppedDown) {
    sd->BGChanged = false;
    DoChangePaint(sd, 0, UpdateGraphic_CB, EventEnabled(aeMouseLeave, FAnimatEvents, sm), false, false);
  }
}

void TsSpeedButton::OpenMenu() {
  TempControl = this;
  StopTimer(FCommonData.get());
  if (FMenuVisible || !FDropdownMenu) return;
  // The menu takes the skin (or gives it back) through the manager's menu object: the skinned menus live in a
  // layer above this one and reach the manager through its factory.
  if (TsSkinManager* sm = FCommonData->SkinManager(); sm && sm->SkinableMenus())
    sm->SkinableMenus()->HookPopupMenu(FDropdownMenu, sm->Active());
  FMenuVisible = true;
  FDroppedDown = true;
  // A split button's main part stays up: only its arrow strip belongs to the menu.
  const bool whole = !OnClick;
  if (whole) SetState(vcl::bsDown);
  FCommonData->BGChanged = true;
  GraphRepaint();
  HideGlow(FCommonData->GlowID, false);
  POINT p{left_, top_ + height_};
  if (Parent() && Parent()->HandleAllocated()) ::ClientToScreen(Parent()->Handle(), &p);
  FDropdownMenu->SetPopupComponent(this);
  FDropdownMenu->Popup(p.x, p.y);
  control_state_ -= vcl::csLButtonDown;
  FDroppedDown = false;
  FMenuVisible = false;
  TempControl = nullptr;
  if (!lvMouseInControl(FCommonData.get())) Lv_CMMouseLeave();
  StopTimer(FCommonData.get());
  if (whole) SetState(vcl::bsUp);
  FCommonData->BGChanged = true;
  GraphRepaint();
}

void TsSpeedButton::DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  HoldHints();
  if (button == vcl::mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu &&
      (x > width_ - 16 || !OnClick)) {
    OpenMenu();
    return;
  }
  inherited::DoMouseDown(button, shift, x, y);
}

void TsSpeedButton::DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  RestoreHints();
  inherited::DoMouseUp(button, shift, x, y);
  if (button == vcl::mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
    FDroppedDown = false;
    TempControl = nullptr;
  }
}

void TsSpeedButton::WndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (sm == sd->SkinManager()) {
          CommonMessage(m, sd);
          if (sd->Skinned()) control_style_ += vcl::csOpaque;
        }
        return;
      case LVC_REMOVESKIN:
        if (sm == sd->SkinManager() && !IsDestroying()) {
          CommonMessage(m, sd);
          control_style_ -= vcl::csOpaque;
          if (Visible()) Repaint();
        }
        return;
      case LVC_REFRESH:
        if (sm == sd->SkinManager()) {
          CommonMessage(m, sd);
          sd->BGChanged = true;
          Repaint();
        }
        return;
      case LVC_ENDPARENTUPDATE:
        if (sd->UpdatingFlag() && !GetUpdating(sd) && sd->Skinned()) {
          sd->SetUpdatingFlag(false);
          GraphRepaint();
        }
        return;
      case LVC_INVALIDATE:
        sd->SetUpdatingFlag(false);
        GraphRepaint();
        return;
      case LVC_MOUSELEAVE:
        Lv_CMMouseLeave();
        return;
      case LVC_PREPARING:
        m.Result = sd->UpdatingFlag() ? 1 : 0;
        return;
      case LVC_UPDATESECTION:
        sd->BGChanged = true;
        GraphRepaint();
        return;
      case LVC_PREPARECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      default: break;
    }
    HandleSkinCommand(this, sd, m, Flat() ? L"TOOLBUTTON" : L"SPEEDBUTTON");
    return;
  }
  if (!sd->Skinned()) {
    if ((m.Msg == vcl::CM_MOUSEENTER || m.Msg == vcl::CM_MOUSELEAVE) && Enabled() &&
        !ComponentState().Contains(vcl::csDesigning)) {
      sd->FMouseAbove = m.Msg == vcl::CM_MOUSEENTER;
      (m.Msg == vcl::CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave)(this);
      if (m.Msg == vcl::CM_MOUSELEAVE && State() == vcl::bsDown) SetState(vcl::bsUp);
    }
    inherited::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case vcl::CM_PARENTCOLORCHANGED:
      sd->BGChanged = true;
      break;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FMenuOwnerMode) return;
      if (Enabled()) {
        inherited::WndProc(m);
        if (FMenuVisible || IsDestroying()) return;
        sd->SetUpdatingFlag(sd->Updating());
        sd->BGChanged = false;
        DoChangePaint(sd, 2, UpdateGraphic_CB, EventEnabled(aeMouseDown, FAnimatEvents, sd->SkinManager()), true,
                      false);
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (FMenuOwnerMode) return;
      inherited::WndProc(m);
      if (IsDestroying()) return;
      if (!Visible()) {
        m.Result = -1;
        return;
      }
      sd->BGChanged = false;
      DoChangePaint(sd, sd->FMouseAbove ? 1 : 0, UpdateGraphic_CB,
                    EventEnabled(aeMouseUp, FAnimatEvents, sd->SkinManager()), true, true);
      return;
    case WM_MOUSELEAVE:
    case vcl::CM_MOUSELEAVE:
      if (Enabled()) Lv_CMMouseLeave();
      inherited::WndProc(m);
      return;
    case vcl::CM_MOUSEENTER:
      if (Enabled() && !ComponentState().Contains(vcl::csDesigning)) Lv_CMMouseEnter();
      inherited::WndProc(m);
      return;
    case vcl::CM_TEXTCHANGED:
      if (FShowCaption) {
        StopTimer(sd);
        inherited::WndProc(m);
        sd->BGChanged = true;
        GraphRepaint();
        return;
      }
      break;
    default: break;
  }
  if (CommonWndProc(m, sd)) return;
  inherited::WndProc(m);
  switch (m.Msg) {
    case vcl::CM_VISIBLECHANGED:
      sd->FMouseAbove = false;
      sd->BGChanged = true;
      break;
    case vcl::CM_ENABLEDCHANGED:
      if (!Enabled()) StopTimer(sd);
      sd->BGChanged = true;
      if (!IsLoading()) GraphRepaint();
      break;
    case vcl::CM_BUTTONPRESSED:
    case vcl::CM_FONTCHANGED:
      StopTimer(sd);
      sd->BGChanged = true;
      GraphRepaint();
      break;
    default: break;
  }
}

TsTimerSpeedButton::TsTimerSpeedButton(vcl::TComponent* owner) : TsSpeedButton(owner) { SetWidth(Height() - 4); }

VCL_REGISTER(TsSpeedButton) {
  cls.Prop(L"SkinData", &TsSpeedButton::SkinData, &TsSpeedButton::SetSkinData);
  cls.Prop(L"Alignment", &TsSpeedButton::Alignment, &TsSpeedButton::SetAlignment).Default(vcl::taCenter);
  cls.Prop(L"ButtonStyle", &TsSpeedButton::ButtonStyle, &TsSpeedButton::SetButtonStyle).Default(tbsButton);
  cls.Prop(L"TextAlignment", &TsSpeedButton::TextAlignment, &TsSpeedButton::SetTextAlignment).Default(vcl::taCenter);
  cls.Prop(L"GrayedMode", &TsSpeedButton::GrayedMode, &TsSpeedButton::SetGrayedMode).Default(gmInactive);
  cls.Prop(L"Layout", &TsSpeedButton::Layout, &TsSpeedButton::SetLayout).Default(blGlyphLeft);
  cls.Prop(L"NumGlyphs", &TsSpeedButton::NumGlyphs, &TsSpeedButton::SetNumGlyphs).Default(1);
  cls.Prop(L"Blend", &TsSpeedButton::Blend, &TsSpeedButton::SetBlend).Default(0);
  cls.Prop(L"ImageIndex", &TsSpeedButton::ImageIndex, &TsSpeedButton::SetImageIndex).Default(-1);
  cls.Prop(L"TextOffset", &TsSpeedButton::TextOffset, &TsSpeedButton::SetTextOffset).Default(0);
  cls.Prop(L"ImageIndexHot", &TsSpeedButton::ImageIndexHot, &TsSpeedButton::SetImageIndexHot).Default(-1);
  cls.Prop(L"ImageIndexPressed", &TsSpeedButton::ImageIndexPressed, &TsSpeedButton::SetImageIndexPressed).Default(-1);
  cls.Prop(L"ImageIndexDisabled", &TsSpeedButton::ImageIndexDisabled, &TsSpeedButton::SetImageIndexDisabled)
      .Default(-1);
  cls.Prop(L"ImageIndexSelected", &TsSpeedButton::ImageIndexSelected, &TsSpeedButton::SetImageIndexSelected)
      .Default(-1);
  cls.Prop(L"DrawOverBorder", &TsSpeedButton::DrawOverBorder, &TsSpeedButton::SetDrawOverBorder).Default(true);
  cls.Prop(L"Grayed", &TsSpeedButton::Grayed, &TsSpeedButton::SetGrayed).Default(false);
  cls.Prop(L"Reflected", &TsSpeedButton::Reflected, &TsSpeedButton::SetReflected).Default(false);
  cls.Prop(L"ShowCaption", &TsSpeedButton::ShowCaption, &TsSpeedButton::SetShowCaption).Default(true);
  cls.Prop(L"WordWrap", &TsSpeedButton::WordWrap, &TsSpeedButton::SetWordWrap).Default(true);
  cls.Prop(L"UseEllipsis", &TsSpeedButton::UseEllipsis, &TsSpeedButton::SetUseEllipsis).Default(true);
  cls.Prop(L"Transparent", &TsSpeedButton::Transparent, &TsSpeedButton::SetTransparent).Default(true);
}

VCL_REGISTER(TsTimerSpeedButton) {
  cls.Prop(L"AllowTimer", &TsTimerSpeedButton::AllowTimer, &TsTimerSpeedButton::SetAllowTimer).Default(true);
}
