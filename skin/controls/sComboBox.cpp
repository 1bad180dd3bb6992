#include "skin/controls/sComboBox.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/windows/lvComboWnd.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

int RoundValue(double v) { return static_cast<int>(std::nearbyint(v)); }

// One step of a combo box's fade: the old picture blended towards the new one, the glow around it following.
bool UpdateCombo_CB(rtl::TObject* data, int) {
  auto* sd = dynamic_cast<TsCommonData*>(data);
  if (!sd || !sd->AnimTimer || sd->AnimTimer->Destroyed) return false;
  auto* combo = dynamic_cast<TsCustomComboBox*>(sd->OwnerControl());
  TlvThreadedTimer* t = sd->AnimTimer;
  if (!combo || !combo->HandleAllocated() || t->Iterations <= 0 || !t->BmpFrom || !t->BmpTo) return false;
  vcl::TBitmap* cache = sd->CacheBmp();
  const int w = cache->Width() ? cache->Width() : combo->Width();
  const int h = cache->Height() ? cache->Height() : combo->Height();
  if (!t->BmpOut) t->BmpOut = CreateBmp32(w, h);
  if (t->BmpOut->Width() != w || t->BmpOut->Height() != h) t->BmpOut->SetSize(w, h);
  BitBlt(t->BmpOut->Canvas()->Handle(), 0, 0, w, h, t->BmpFrom->Canvas()->Handle(), 0, 0, SRCCOPY);
  t->Value += t->ValueStep;
  t->Glow += (t->State == 0 || t->State == 2) ? -t->GlowStep : t->GlowStep;
  SumBmpRect(t->BmpOut.get(), t->BmpTo.get(), std::clamp(255 - RoundValue(t->Value), 0, 255), vcl::Rect(0, 0, w, h),
             vcl::TPoint(0, 0));
  HWND wnd = combo->Handle();
  HDC dc = GetDC(wnd);
  HDC src = t->BmpOut->Canvas()->Handle();
  if (combo->AllowBtnStyle()) {
    BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
  } else {
    // The edit part paints its own text: only the frame and the button fade.
    BitBltBorder(dc, 0, 0, w, h, src, 0, 0, 2);
    const vcl::TRect br = combo->ButtonRect();
    BitBlt(dc, br.Left, br.Top, br.Width(), br.Height(), src, br.Left, br.Top, SRCCOPY);
  }
  ReleaseDC(wnd, dc);
  const int glow = std::clamp(RoundValue(t->Glow), 0, 255);
  if (t->Iteration < t->Iterations) {
    SetGlowAlpha(sd->GlowID, glow);
    return true;
  }
  if ((t->State == 0 && sd->GlowID >= 0 && glow > 0) || (t->State == 2 && RoundValue(t->Value) < 255)) {
    SetGlowAlpha(sd->GlowID, glow);
    --t->Iteration;
    return UpdateCombo_CB(data, 0);
  }
  const int state = t->State;
  if (state == 0) StopTimer(sd);
  if (state != 1 && state != 3) HideGlow(sd->GlowID, false);
  return false;
}

}  // namespace

TOwnerDrawState OwnerDrawStateOf(UINT itemState) {
  TOwnerDrawState st;
  if (itemState & ODS_SELECTED) st += odSelected;
  if (itemState & ODS_FOCUS) st += odFocused;
  if (itemState & ODS_DISABLED) st += odDisabled;
  if (itemState & ODS_COMBOBOXEDIT) st += odComboBoxEdit;
  if (itemState & ODS_DEFAULT) st += odDefault;
  return st;
}

bool ComboDrawItem(vcl::TMessage& m, TsCommonData* sd, const std::function<void()>& paintCache,
                   const std::function<void(int, const vcl::TRect&, TOwnerDrawState)>& drawItem,
                   std::unique_ptr<vcl::TBitmap>& itemBmp) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (!dis) return false;
  const TOwnerDrawState st = OwnerDrawStateOf(dis->itemState);
  const vcl::TRect r(dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom);
  if (st.Contains(odComboBoxEdit)) {
    // The edit area is part of the cache.
    sd->BGChanged = true;
    paintCache();
  } else {
    drawItem(static_cast<int>(dis->itemID), r, st);
    if (itemBmp) BitBlt(dis->hDC, r.Left, r.Top, r.Width(), r.Height(), itemBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    itemBmp.reset();
  }
  m.Result = 1;
  return true;
}

void ComboListHandOver(const vcl::TMessage& m, vcl::TCustomComboBox* combo, bool loading, TsCommonData* sd,
                       HWND& listHandle, TlvScrollWnd*& listSW) {
  if (listHandle || loading || !m.LParam) return;
  listHandle = reinterpret_cast<HWND>(m.LParam);
  listSW = TlvComboListWnd::Create(listHandle, nullptr, sd->SkinManager(), L"EDIT", true,
                                   combo->Style() == vcl::csSimple);
}

TsCustomComboBox::TsCustomComboBox(vcl::TComponent* owner)
    : vcl::TCustomComboBox(owner), FCommonData(std::make_unique<TsCtrlSkinData>(this, true)) {
  FBoundLabel = std::make_unique<TsBoundLabel>(this, FCommonData.get());
  FCommonData->COC = COC_TsComboBox;
  SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() { DetachList(); }

void TsCustomComboBox::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsCustomComboBox::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
}

void TsCustomComboBox::ChangeScale(int m, int d) {
  if (m <= 0 || d <= 0) return;
  // Kept in lowest terms, so that many rescalings cannot overflow them.
  const long long pm = static_cast<long long>(actM) * m, pd = static_cast<long long>(actD) * d;
  const long long g = std::gcd(pm, pd);
  actM = static_cast<int>(std::min<long long>(pm / g, INT_MAX));
  actD = static_cast<int>(std::min<long long>(pd / g, INT_MAX));
  SetBounds(MulDiv(Left(), m, d), MulDiv(Top(), m, d), MulDiv(Width(), m, d), MulDiv(Height(), m, d));
  if (!ParentFont()) Font()->SetHeight(MulDiv(Font()->Height(), m, d));
  if (m != d && HandleAllocated()) {
    FCommonData->BGChanged = true;
    RecreateWnd();
  }
}

void TsCustomComboBox::SetAlignment(vcl::TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  FCommonData->Invalidate();
}

void TsCustomComboBox::SetVerticalAlignment(vcl::TVerticalAlignment value) {
  if (value == FVerticalAlignment) return;
  FVerticalAlignment = value;
  FCommonData->BGChanged = true;
  FCommonData->Invalidate();
}

void TsCustomComboBox::SetShowButton(bool value) {
  if (value == FShowButton) return;
  FShowButton = value;
  FCommonData->Invalidate();
}

void TsCustomComboBox::SetDisabledKind(TsDisabledKind value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

bool TsCustomComboBox::AllowBtnStyle() const {
  const vcl::TComboBoxStyle s = Style();
  return (s == vcl::csDropDownList || s == vcl::csOwnerDrawFixed || s == vcl::csOwnerDrawVariable) &&
         FCommonData->SkinSection().empty();
}

int TsCustomComboBox::IndexOf(const rtl::String& s) {
  for (int i = 0; i < Items()->Count(); ++i)
    if (Items()->Get(i) == s) return i;
  return -1;
}

bool TsCustomComboBox::OwnerDrawn() { return FOwnerDrawWnd; }

void TsCustomComboBox::CreateParams(vcl::TCreateParams& p) {
  inherited::CreateParams(p);
  // The skinned combo draws its items itself; unskinned the system draws them as always.
  FOwnerDrawWnd = FCommonData->Skinned() && (Style() == vcl::csDropDown || Style() == vcl::csDropDownList);
  if (FOwnerDrawWnd) p.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

void TsCustomComboBox::CreateWnd() {
  inherited::CreateWnd();
  FCommonData->Loaded();
  UpdateIndexes();
  FEditHandle = FindWindowExW(handle_, nullptr, L"Edit", nullptr);
  if (FEditHandle) {
    SetPropW(FEditHandle, L"TavrelSkinnedCombo", reinterpret_cast<HANDLE>(this));
    FEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TsCustomComboBox::EditProc)));
  }
}

bool TsCustomComboBox::HasFocus() {
  if (FCommonData->FFocused) return true;
  if (!HandleAllocated()) return false;
  HWND f = GetFocus();
  return f && (f == handle_ || f == FEditHandle || (lboxhandle && f == lboxhandle));
}

LRESULT CALLBACK TsCustomComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TsCustomComboBox*>(GetPropW(wnd, L"TavrelSkinnedCombo"));
  if (!self || !self->FEditProc) return DefWindowProcW(wnd, msg, wParam, lParam);
  return self->ComboWndProc(wnd, msg, wParam, lParam);
}

LRESULT TsCustomComboBox::ComboWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC old = FEditProc;
  if (FReadOnly) {
    switch (msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        // A read-only combo is only focused by the mouse.
        if (CanFocus()) SetFocus();
        if (msg == WM_LBUTTONDBLCLK) DblClick();
        return 0;
      default: break;
    }
  }
  TsCommonData* sd = FCommonData.get();
  if (sd->Skinned()) {
    switch (msg) {
      case WM_PAINT:
      case WM_ERASEBKGND:
      case WM_NCPAINT:
        // Unfocused, the cache shows the text: the edit window keeps out of it.
        if (Style() != vcl::csSimple && !(HasFocus() && Enabled() && !FReadOnly)) {
          if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(wnd, &ps);
            EndPaint(wnd, &ps);
            return 0;
          }
          return 1;
        }
        break;
      case WM_MOUSEMOVE:
        if (TsSkinManager* sm = sd->SkinManager(); sm && HandleAllocated()) sm->SetActiveControl(handle_);
        break;
      default: break;
    }
  }
  return CallWindowProcW(old, wnd, msg, wParam, lParam);
}

void TsCustomComboBox::DetachList() {
  if (ListSW) {
    if (lboxhandle && IsWindow(lboxhandle)) {
      LONG_PTR style = GetWindowLongPtrW(lboxhandle, GWL_STYLE);
      SetWindowLongPtrW(lboxhandle, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
    }
    UninitializeLVScroll(lboxhandle, true, false, ListSW);
  }
  ListSW = nullptr;
  lboxhandle = nullptr;
}

void TsCustomComboBox::DestroyWnd() {
  DetachList();
  if (FEditHandle && IsWindow(FEditHandle)) {
    if (GetWindowLongPtrW(FEditHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TsCustomComboBox::EditProc))
      SetWindowLongPtrW(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditProc));
    RemovePropW(FEditHandle, L"TavrelSkinnedCombo");
  }
  FEditHandle = nullptr;
  inherited::DestroyWnd();
}

void TsCustomComboBox::UpdateIndexes() {
  TsSkinManager* sm = FCommonData->SkinManager();
  FGlyphIndex = (sm && sm->IsValidSkinIndex(FCommonData->SkinIndex))
                    ? sm->GetMaskIndex(FCommonData->SkinIndex, L"GLYPHMASK")
                    : -1;
}

vcl::TRect TsCustomComboBox::ButtonRect() {
  TsSkinManager* sm = FCommonData->SkinManager();
  const int w = (Style() != vcl::csSimple && FShowButton) ? GetComboBtnSize(sm) - 1 : 0;
  const int m = sm ? sm->CommonSkinData->ComboBoxMargin : 2;
  vcl::TRect r;
  r.Left = width_ - w - m;
  r.Top = m;
  r.Right = r.Left + w;
  r.Bottom = height_ - m;
  return r;
}

int TsCustomComboBox::ButtonHeight() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (FCommonData->Skinned() && sm->IsValidImgIndex(FGlyphIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(FGlyphIndex)];
    return md.MaskType == 0 ? md.R.Height() : md.R.Height() / 2;
  }
  return 16;
}

void TsCustomComboBox::PaintButton() {
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  vcl::TBitmap* cache = sd->CacheBmp();
  const vcl::TRect br = ButtonRect();
  if (br.IsEmpty()) return;
  const int s = FDropDown ? 2 : (State == 1 || (AllowBtnStyle() && (sd->FMouseAbove || sd->FFocused))) ? 1 : 0;
  const bool glyph = sm->IsValidImgIndex(FGlyphIndex);
  auto arrow = [&](int sectionIndex) {
    vcl::TColor colour = sctrl::SectionFontColor(sm, sectionIndex, std::min(s, 2), vcl::clWindowText);
    DrawColorArrow(cache->Canvas(), colour, br, asBottom);
  };
  const TsGeneralData* g = sctrl::Section(sd);
  if (AllowBtnStyle()) {
    if ((g && g->GiveOwnFont) || !glyph) return arrow(sd->SkinIndex);
  } else {
    const TlvConstElementData& e = sm->ConstData.ComboBtn;
    if (sm->IsValidSkinIndex(e.SkinIndex)) {
      TCacheInfo ci;
      ci.Bmp = cache;
      ci.Ready = true;
      ci.FillColor = 0xFF00FF;
      PaintItem(e.SkinIndex, ci, true, s, br, br.TopLeft(), cache, sm, e.BGIndex[0], e.BGIndex[1]);
      if (sm->gd[static_cast<size_t>(e.SkinIndex)].GiveOwnFont || !glyph) return arrow(e.SkinIndex);
    } else if (!glyph) {
      return arrow(-1);
    }
  }
  const TsMaskData& md = sm->ma[static_cast<size_t>(FGlyphIndex)];
  const int frameWidth = md.R.Width() / std::max<int>(1, md.ImageCount);
  TCacheInfo ci;
  ci.Bmp = cache;
  ci.Ready = true;
  ci.FillColor = 0xFF00FF;
  DrawSkinGlyph(cache, vcl::TPoint(br.Left + (br.Width() - frameWidth) / 2, (height_ - ButtonHeight()) / 2), s, 1, md,
                ci);
}

bool TsCustomComboBox::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  TCacheInfo ci;
  if (!sctrl::ParentCI(this, ci)) {
    sd->SetUpdatingFlag(true);
    return false;
  }
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const int h = height_;
  const int state = (FDropDown && AllowBtnStyle())                                             ? 2
                    : (ControlIsActive(sd) || (AllowBtnStyle() && sd->FMouseAbove)) ? 1
                                                                                               : 0;
  PaintItem(sd, ci, true, state, vcl::TRect(0, 0, width_, h), vcl::TPoint(left_, top_), cache, true);
  if (Style() != vcl::csSimple) {
    const vcl::TRect br = ButtonRect();
    const vcl::TRect edit(3, 3, (FShowButton ? br.Left : width_) - 2, h - 3);
    TOwnerDrawState st{odComboBoxEdit};
    if (HasFocus()) st = TOwnerDrawState{odSelected, odFocused, odComboBoxEdit};
    DrawItem(ItemIndex(), edit, st);
    if (FShowButton) PaintButton();
  }
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, vcl::TPoint(left_, top_));
  sd->BGChanged = false;
  return true;
}

void TsCustomComboBox::DrawItem(int index, const vcl::TRect& rect, TOwnerDrawState state) {
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  const bool editArea = state.Contains(odComboBoxEdit);
  auto bmp = CreateBmp32(std::max(1, rect.Width()), std::max(1, rect.Height()));
  vcl::TCanvas* c = bmp->Canvas();
  c->Font()->Assign(Font());
  const bool buttonStyle = AllowBtnStyle() && editArea;
  const bool hot = editArea && (ControlIsActive(sd) || sd->FFocused || (AllowBtnStyle() && sd->FMouseAbove));
  const vcl::TRect all(0, 0, rect.Width(), rect.Height());
  const int selection = sm->ConstData.Sections[ssSelection];
  bool onSelection = false;
  vcl::TColor textColour;
  if (state.Contains(odSelected) && !buttonStyle) {
    if (sm->IsValidSkinIndex(selection)) {
      TCacheInfo ci;
      ci.FillColor = vcl::ColorToRGB(Color());
      PaintItem(selection, ci, true, 1, all, vcl::TPoint(0, 0), bmp.get(), sm);
      onSelection = true;
    } else {
      FillDC(c->Handle(), all, sm->GetHighLightColor(true));
    }
    textColour = sm->GetHighLightFontColor(true);
  } else {
    if (editArea && !sd->CustomColor())
      BitBlt(c->Handle(), 0, 0, rect.Width(), rect.Height(), sd->CacheBmp()->Canvas()->Handle(), rect.Left, rect.Top,
             SRCCOPY);
    else
      FillDC(c->Handle(), all, sd->CustomColor() ? vcl::ColorToRGB(Color()) : sm->Palette[pcEditBG]);
    if (sd->CustomFont())
      textColour = Font()->Color();
    else if (!editArea)
      textColour = sm->Palette[pcEditText];
    else
      textColour = sctrl::SectionFontColor(sm, sd->SkinIndex, hot ? 1 : 0, Font()->Color());
  }
  if (editArea && Style() == vcl::csDropDown) {
    // The edit window's text, as the edit window would show it, in the section's colours.
    unsigned flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_VCENTER;
    flags |= FAlignment == vcl::taRightJustify ? DT_RIGHT : FAlignment == vcl::taCenter ? DT_CENTER : 0;
    vcl::TRect tr = all;
    const rtl::String text = Text();
    c->Brush()->SetStyle(vcl::bsClear);
    SetBkMode(c->Handle(), TRANSPARENT);
    if (sd->CustomFont()) {
      c->Font()->SetColor(Font()->Color());
      lvDrawText(c->Handle(), text, tr, flags);
    } else {
      WriteTextEx(c, text.c_str(), Enabled(), tr, flags, sd->SkinIndex, hot, sm);
    }
  } else if (index >= 0 && index < Items()->Count()) {
    unsigned flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;
    flags |= FVerticalAlignment == vcl::taAlignBottom     ? DT_BOTTOM
             : FVerticalAlignment == vcl::taVerticalCenter ? DT_VCENTER
                                                           : 0;
    flags |= FAlignment == vcl::taRightJustify ? DT_RIGHT : FAlignment == vcl::taCenter ? DT_CENTER : 0;
    vcl::TRect tr(2, 0, rect.Width() - 2, rect.Height());
    const rtl::String text = Items()->Get(index);
    c->Brush()->SetStyle(vcl::bsClear);
    SetBkMode(c->Handle(), TRANSPARENT);
    if (onSelection) {
      WriteTextEx(c, text.c_str(), true, tr, flags, selection, true, sm);
    } else if (editArea && !sd->CustomFont() && (buttonStyle || !state.Contains(odSelected))) {
      WriteTextEx(c, text.c_str(), Enabled(), tr, flags, sd->SkinIndex, hot, sm);
    } else {
      c->Font()->SetColor(textColour);
      lvDrawText(c->Handle(), text, tr, flags);
    }
  }
  if (state.Contains(odFocused) && !onSelection && !buttonStyle) {
    RECT fr{0, 0, rect.Width(), rect.Height()};
    DrawFocusRect(c->Handle(), &fr);
  }
  if (editArea) {
    BitBlt(sd->CacheBmp()->Canvas()->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), c->Handle(), 0, 0,
           SRCCOPY);
  } else {
    currentItemBmp_ = std::move(bmp);
  }
}

void TsCustomComboBox::OurPaintHandler(HDC given) {
  TsCommonData* sd = FCommonData.get();
  if (!Showing() || !HandleAllocated()) return;
  if (InUpdating(sd, false) || (InAnimationProcess && given != sd->PrintDC) || TimerIsActive(sd)) return;
  HDC dc = given ? given : GetDC(handle_);
  sd->BGChanged = sd->BGChanged || sd->HalfVisible;
  if (Parent()) {
    vcl::TRect pr = Parent()->ClientRect();
    sd->HalfVisible = !(left_ >= 0 && top_ >= 0 && left_ + width_ <= pr.Width() && top_ + height_ <= pr.Height());
  }
  if (!sd->BGChanged || PrepareCache()) {
    UpdateCorners(sd, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
    HDC src = sd->CacheBmp()->Canvas()->Handle();
    if (Style() == vcl::csSimple) {
      BitBltBorder(dc, 0, 0, width_, height_, src, 0, 0, 3);
    } else if (Style() == vcl::csDropDown && HasFocus()) {
      // The edit window paints its own text; only the frame and the button come from the cache.
      BitBltBorder(dc, 0, 0, width_, height_, src, 0, 0, 3);
      const vcl::TRect br = ButtonRect();
      BitBlt(dc, br.Left, br.Top, br.Width(), br.Height(), src, br.Left, br.Top, SRCCOPY);
    } else {
      BitBlt(dc, 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    }
  }
  if (!given) ReleaseDC(handle_, dc);
}

void TsCustomComboBox::AnimateCtrl(int kind) {
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  sd->BGChanged = false;
  sd->FMouseAbove = kind != 0;
  if (AllowBtnStyle()) {
    const bool animate = sm->Effects()->AllowAnimation();
    // A button-style combo glows as a button does: transparent at first and brought up by the fade, or fully
    // opaque at once when the skin does not animate.
    if (kind == 1 || kind == 3)
      ShowGlowingIfNeeded(sd, kind > 1, handle_, animate ? 0 : 255, false, sm->GetSkinIndex(L"BUTTON"));
    DoChangePaint(sd, kind, UpdateCombo_CB, animate, kind == 2 || kind == 4, false);
  } else {
    // An edit window lies over the control: it is repainted with it, without a cross-fade over it.
    sd->BGChanged = true;
    if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

bool TsCustomComboBox::DropKey(const vcl::TMessage& m) const {
  switch (m.Msg) {
    case WM_CHAR:
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case vcl::CN_KEYDOWN:
    case vcl::CN_SYSKEYDOWN:
    case vcl::CN_SYSCHAR: {
      const WPARAM k = m.WParam;
      return (k >= 32 && k <= 40) || k == 57 || (k >= 65 && k <= 90) || k == 115;
    }
    case WM_COMMAND:
    case vcl::CN_COMMAND:
      return HIWORD(m.WParam) == CBN_DROPDOWN;
    default:
      return false;
  }
}

void TsCustomComboBox::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  // Every message the control saw is shown to its bound label last.
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsCustomComboBox::SkinnedWndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
    const WORD command = m.WParamHi();
    switch (command) {
      case LVC_SETNEWSKIN:
        if (sm == sd->SkinManager()) {
          HideGlow(sd->GlowID, false);
          CommonWndProc(m, sd);
          UpdateIndexes();
          // The owner-drawn look needs a window made for it.
          if (HandleAllocated() && !FOwnerDrawWnd && sd->Skinned() &&
              (Style() == vcl::csDropDown || Style() == vcl::csDropDownList))
            RecreateWnd();
        }
        return;
      case LVC_REMOVESKIN:
        if (sm == sd->SkinManager()) {
          HideGlow(sd->GlowID, false);
          CommonWndProc(m, sd);
          DetachList();
          if (!sd->CustomColor()) SetColor(vcl::clWindow);
          if (!sd->CustomFont()) Font()->SetColor(vcl::clWindowText);
          if (HandleAllocated() && FOwnerDrawWnd) RecreateWnd();
        }
        return;
      case LVC_REFRESH:
        if (sm == sd->SkinManager()) {
          HideGlow(sd->GlowID, false);
          if (HandleAllocated() && DroppedDown()) {
            const int i = ItemIndex();
            SetDroppedDown(false);
            SetItemIndex(i);
          }
          CommonWndProc(m, sd);
          sd->BGChanged = true;
          if (HandleAllocated()) Repaint();
        }
        return;
      case LVC_ENDPARENTUPDATE:
        if (sd->UpdatingFlag()) {
          sd->SetUpdatingFlag(false);
          sd->BGChanged = true;
          if (HandleAllocated()) Repaint();
        }
        return;
      case LVC_PREPARECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      case LVC_MOUSELEAVE:
        Perform(vcl::CM_MOUSELEAVE, 0, 0);
        return;
      default: break;
    }
    HandleSkinCommand(this, sd, m, AllowBtnStyle() ? L"BUTTON" : L"COMBOBOX");
    return;
  }
  // A turn of the wheel over a closed list would silently pick another value.
  if ((m.Msg == WM_MOUSEWHEEL || m.Msg == vcl::CM_MOUSEWHEEL) && !DroppedDown()) {
    m.Result = 1;
    return;
  }
  if (FReadOnly && DropKey(m)) return;
  if (!sd->Skinned() || !ControlIsReady(this)) {
    inherited::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC given = reinterpret_cast<HDC>(m.WParam);
      if (!given) BeginPaint(handle_, &ps);
      OurPaintHandler(given ? given : nullptr);
      if (!given) EndPaint(handle_, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
      if (InAnimationProcess) OurPaintHandler(nullptr);
      m.Result = 0;
      return;
    case WM_PRINT:
      sd->BGChanged = true;
      OurPaintHandler(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_CTLCOLORLISTBOX:
    case vcl::CN_CTLCOLORLISTBOX:
      ComboListHandOver(m, this, IsLoading(), sd, lboxhandle, ListSW);
      break;
    case vcl::CN_DRAWITEM:
      if (!ComboDrawItem(
              m, sd, [this] { OurPaintHandler(nullptr); },
              [this](int i, const vcl::TRect& r, TOwnerDrawState st) { DrawItem(i, r, st); }, currentItemBmp_))
        break;
      return;
    case vcl::CN_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis && !(sd->CtrlSkinState & LVCS_CHANGING)) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, Font()->Handle());
        SIZE size;
        GetTextExtentPoint32W(dc, L"A", 1, &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        mis->itemHeight = static_cast<UINT>(size.cy + 2);
      }
      m.Result = 1;
      return;
    }
    case WM_SETFONT:
    case vcl::CM_VISIBLECHANGED:
    case vcl::CM_ENABLEDCHANGED:
      if (sd->CtrlSkinState & LVCS_CHANGING) return;
      sd->BGChanged = true;
      break;
    case WM_MOUSEMOVE:
      if (!FDropDown && !AllowBtnStyle()) {
        const vcl::TPoint p(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
        const int inside = ButtonRect().Contains(p) ? 1 : 0;
        if (inside != State && !lv_AllowHotEdits) {
          State = inside;
          AnimateCtrl(inside ? 3 : 1);
        }
      }
      break;
    case vcl::CM_MOUSEENTER:
      if (!FDropDown) {
        sd->FMouseAbove = true;
        if (TsSkinManager* sm = sd->SkinManager(); sm && HandleAllocated()) sm->SetActiveControl(handle_);
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(handle_, &p);
        vcl::TRect br = ButtonRect();
        sctrl::Inflate(br, 1, 1);
        State = br.Contains(vcl::TPoint(p.x, p.y)) ? 1 : 0;
        AnimateCtrl(State ? 3 : 1);
      }
      break;
    case vcl::CM_MOUSELEAVE: {
      if (lvMouseInControl(sd)) break;
      sd->FMouseAbove = false;
      State = 0;
      AnimateCtrl(0);
      break;
    }
    case vcl::CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN) {
        FDropDown = true;
        State = 2;
        AnimateCtrl(2);
      } else if (HIWORD(m.WParam) == CBN_CLOSEUP) {
        FDropDown = false;
        sd->BGChanged = true;
        StopTimer(sd);
        if (!lvMouseInControl(sd)) {
          sd->FMouseAbove = false;
          State = 0;
        }
        OurPaintHandler(nullptr);
      }
      break;
    case WM_COMMAND:
      FDropDown = false;
      sd->BGChanged = true;
      break;
    case vcl::CM_ENTER:
    case vcl::CM_EXIT:
      // The focus is in the edit window or the list, which the combo's own window never learns.
      sd->FFocused = m.Msg == vcl::CM_ENTER;
      if (m.Msg == vcl::CM_EXIT && !sd->FMouseAbove) HideGlow(sd->GlowID, false);
      StopTimer(sd);
      sd->BGChanged = true;
      UpdateControlColors(sd, false);
      inherited::WndProc(m);
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      return;
    default: break;
  }
  if (CommonWndProc(m, sd)) return;
  inherited::WndProc(m);
  switch (m.Msg) {
    case CB_SETCURSEL:
    case WM_SETTEXT:
    case vcl::CM_TEXTCHANGED:
    case vcl::CM_CHANGED:
    case WM_SETFONT:
    case vcl::CM_ENABLEDCHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      StopTimer(sd);
      sd->BGChanged = true;
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      break;
    case vcl::CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_SELCHANGE || HIWORD(m.WParam) == CBN_EDITCHANGE) {
        sd->BGChanged = true;
        if (HandleAllocated()) InvalidateRect(handle_, nullptr, FALSE);
      }
      break;
    default: break;
  }
}

VCL_REGISTER(TsCustomComboBox) {}

VCL_REGISTER(TsComboBox) {
  cls.Prop(L"DropDownCount", &TsComboBox::DropDownCount, &TsComboBox::SetDropDownCount).Default(16);
  cls.Prop(L"Alignment", &TsComboBox::Alignment, &TsComboBox::SetAlignment);
  cls.Prop(L"VerticalAlignment", &TsComboBox::VerticalAlignment, &TsComboBox::SetVerticalAlignment);
  cls.Prop(L"ReadOnly", &TsComboBox::ReadOnly, &TsComboBox::SetReadOnly).Default(false);
  cls.Prop(L"SkinData", &TsComboBox::SkinData, &TsComboBox::SetSkinData);
  cls.Prop(L"BoundLabel", &TsComboBox::BoundLabel, &TsComboBox::SetBoundLabel);
}
