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

constexpr wchar_t kEditProp[] = L"TavrelSkinnedCombo";

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

bool ComboOwnerDrawParams(vcl::TCustomComboBox* combo, TsCommonData* sd, vcl::TCreateParams& p) {
  // The skinned combo draws its items itself; unskinned the system draws them as always.
  const bool ownerDraw = sd->Skinned() && (combo->Style() == vcl::csDropDown || combo->Style() == vcl::csDropDownList);
  if (ownerDraw) p.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  return ownerDraw;
}

void ComboDetachList(HWND& listHandle, TlvScrollWnd*& listSW) {
  if (listSW) {
    if (listHandle && IsWindow(listHandle)) {
      LONG_PTR style = GetWindowLongPtrW(listHandle, GWL_STYLE);
      SetWindowLongPtrW(listHandle, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
    }
    UninitializeLVScroll(listHandle, true, false, listSW);
  }
  listSW = nullptr;
  listHandle = nullptr;
}

void ComboHookEdit(HWND combo, const wchar_t* prop, void* self, WNDPROC proc, HWND& edit, WNDPROC& old) {
  edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
  if (!edit) return;
  SetPropW(edit, prop, reinterpret_cast<HANDLE>(self));
  old = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void ComboUnhookEdit(const wchar_t* prop, WNDPROC proc, HWND& edit, WNDPROC& old) {
  if (edit && IsWindow(edit)) {
    if (GetWindowLongPtrW(edit, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(proc))
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(edit, prop);
  }
  edit = nullptr;
  old = nullptr;
}

bool ComboHasFocus(TsCommonData* sd, vcl::TWinControl* combo, HWND edit, HWND list) {
  if (sd->FFocused) return true;
  if (!combo->HandleAllocated()) return false;
  HWND f = GetFocus();
  return f && (f == combo->Handle() || f == edit || (list && f == list));
}

bool ComboReadOnlyRefuses(UINT msg) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYUP:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      return true;
    default:
      return false;
  }
}

bool ComboEditKeptOut(HWND wnd, UINT msg, LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(wnd, &ps);
      EndPaint(wnd, &ps);
      result = 0;
      return true;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      result = 1;
      return true;
    default:
      return false;
  }
}

int ComboButtonHeight(TsCommonData* sd, int glyphIndex) {
  TsSkinManager* sm = sd->SkinManager();
  if (sd->Skinned() && sm->IsValidImgIndex(glyphIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(glyphIndex)];
    return md.MaskType == 0 ? md.R.Height() : md.R.Height() / 2;
  }
  return 16;
}

void ComboButtonGlyph(vcl::TBitmap* cache, const TsMaskData& md, const vcl::TRect& br, int height, int glyphHeight,
                      int state) {
  const int frameWidth = md.R.Width() / std::max<int>(1, md.ImageCount);
  TCacheInfo ci;
  ci.Bmp = cache;
  ci.Ready = true;
  ci.FillColor = 0xFF00FF;
  DrawSkinGlyph(cache, vcl::TPoint(br.Left + (br.Width() - frameWidth) / 2, (height - glyphHeight) / 2), state, 1, md,
                ci);
}

bool ComboPrepareCache(vcl::TCustomComboBox* combo, TsCommonData* sd, TsDisabledKind disabledKind,
                       const std::function<int()>& state, const std::function<void()>& inside) {
  TCacheInfo ci;
  if (!sctrl::ParentCI(combo, ci)) {
    sd->SetUpdatingFlag(true);
    return false;
  }
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const vcl::TPoint at(combo->Left(), combo->Top());
  PaintItem(sd, ci, true, state(), vcl::TRect(0, 0, combo->Width(), combo->Height()), at, cache, true);
  inside();
  if (!combo->Enabled()) BmpDisabledKind(cache, disabledKind, combo->Parent(), ci, at);
  sd->BGChanged = false;
  return true;
}

void ComboPaintFromCache(HDC given, vcl::TCustomComboBox* combo, TsCommonData* sd, bool skipWhileTimer,
                         const std::function<bool()>& prepareCache, const std::function<bool()>& focused,
                         const std::function<vcl::TRect()>& buttonRect) {
  if (!combo->Showing() || !combo->HandleAllocated()) return;
  if (InUpdating(sd, false) || (InAnimationProcess && given != sd->PrintDC) || (skipWhileTimer && TimerIsActive(sd)))
    return;
  const HWND wnd = combo->Handle();
  HDC dc = given ? given : GetDC(wnd);
  const int left = combo->Left(), top = combo->Top(), width = combo->Width(), height = combo->Height();
  sd->BGChanged = sd->BGChanged || sd->HalfVisible;
  if (combo->Parent()) {
    vcl::TRect pr = combo->Parent()->ClientRect();
    sd->HalfVisible = !(left >= 0 && top >= 0 && left + width <= pr.Width() && top + height <= pr.Height());
  }
  if (!sd->BGChanged || prepareCache()) {
    UpdateCorners(sd, 0, TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
    HDC src = sd->CacheBmp()->Canvas()->Handle();
    if (combo->Style() == vcl::csSimple) {
      BitBltBorder(dc, 0, 0, width, height, src, 0, 0, 3);
    } else if (combo->Style() == vcl::csDropDown && focused()) {
      // The edit window paints its own text; only the frame and the button come from the cache.
      BitBltBorder(dc, 0, 0, width, height, src, 0, 0, 3);
      const vcl::TRect br = buttonRect();
      BitBlt(dc, br.Left, br.Top, br.Width(), br.Height(), src, br.Left, br.Top, SRCCOPY);
    } else {
      BitBlt(dc, 0, 0, width, height, src, 0, 0, SRCCOPY);
    }
  }
  if (!given) ReleaseDC(wnd, dc);
}

bool ComboPaintMessage(vcl::TMessage& m, HWND wnd, TsCommonData* sd, bool printResets,
                       const std::function<void(HDC)>& paint) {
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC given = reinterpret_cast<HDC>(m.WParam);
      if (!given) BeginPaint(wnd, &ps);
      paint(given);
      if (!given) EndPaint(wnd, &ps);
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_NCPAINT:
      if (InAnimationProcess) paint(nullptr);
      m.Result = 0;
      return true;
    case WM_PRINT:
      if (printResets) sd->SetUpdatingFlag(false);
      sd->BGChanged = true;
      paint(reinterpret_cast<HDC>(m.WParam));
      return true;
    default:
      return false;
  }
}

bool ComboCommonMessage(vcl::TMessage& m, vcl::TCustomComboBox* combo, TsCommonData* sd, bool printResets,
                        const std::function<void(HDC)>& paint,
                        const std::function<void(int, const vcl::TRect&, TOwnerDrawState)>& drawItem,
                        std::unique_ptr<vcl::TBitmap>& itemBmp, HWND& listHandle, TlvScrollWnd*& listSW) {
  if (ComboPaintMessage(m, combo->HandleAllocated() ? combo->Handle() : nullptr, sd, printResets, paint)) return true;
  switch (m.Msg) {
    case WM_CTLCOLORLISTBOX:
    case vcl::CN_CTLCOLORLISTBOX:
      ComboListHandOver(m, combo, combo->ComponentState().Contains(vcl::csLoading), sd, listHandle, listSW);
      return false;
    case vcl::CN_DRAWITEM:
      return ComboDrawItem(
          m, sd, [&] { paint(nullptr); }, drawItem, itemBmp);
    default:
      return false;
  }
}

void ComboSkinCommand(vcl::TMessage& m, vcl::TCustomComboBox* combo, TsCommonData* sd, const bool& ownerDrawWnd,
                      const wchar_t* section, const std::function<void(WORD)>& before,
                      const std::function<void(WORD)>& after, const std::function<void()>& detachList,
                      const std::function<bool()>& prepareCache) {
  auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
  const WORD command = m.WParamHi();
  switch (command) {
    case LVC_SETNEWSKIN:
    case LVC_REMOVESKIN:
    case LVC_REFRESH:
      if (sm != sd->SkinManager()) return;
      before(command);
      CommonWndProc(m, sd);
      after(command);
      if (command == LVC_SETNEWSKIN) {
        // The owner-drawn look needs a window made for it.
        if (combo->HandleAllocated() && !ownerDrawWnd && sd->Skinned() &&
            (combo->Style() == vcl::csDropDown || combo->Style() == vcl::csDropDownList))
          combo->RecreateWnd();
      } else if (command == LVC_REMOVESKIN) {
        detachList();
        if (!sd->CustomColor()) combo->SetColor(vcl::clWindow);
        if (!sd->CustomFont()) combo->Font()->SetColor(vcl::clWindowText);
        if (combo->HandleAllocated() && ownerDrawWnd) combo->RecreateWnd();
      } else {
        sd->BGChanged = true;
        if (combo->HandleAllocated()) combo->Repaint();
      }
      return;
    case LVC_ENDPARENTUPDATE:
      if (sd->UpdatingFlag()) {
        sd->SetUpdatingFlag(false);
        sd->BGChanged = true;
        if (combo->HandleAllocated()) combo->Repaint();
      }
      return;
    case LVC_PREPARECACHE:
      m.Result = prepareCache() ? 0 : 1;
      return;
    case LVC_MOUSELEAVE:
      combo->Perform(vcl::CM_MOUSELEAVE, 0, 0);
      return;
    default:
      break;
  }
  HandleSkinCommand(combo, sd, m, section);
}

void ComboFocusMessage(vcl::TMessage& m, vcl::TCustomComboBox* combo, TsCommonData* sd,
                       const std::function<void()>& own, const std::function<void()>& inheritedProc) {
  sd->FFocused = m.Msg == vcl::CM_ENTER;
  own();
  sd->BGChanged = true;
  UpdateControlColors(sd, false);
  inheritedProc();
  if (combo->HandleAllocated())
    RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void ComboRepaintAll(vcl::TCustomComboBox* combo, TsCommonData* sd) {
  sd->BGChanged = true;
  if (combo->HandleAllocated()) RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool ComboPaintSelection(vcl::TBitmap* bmp, const vcl::TRect& all, TsSkinManager* sm, vcl::TColor color,
                         vcl::TColor& textColour) {
  const int selection = sm->ConstData.Sections[ssSelection];
  bool painted = false;
  if (sm->IsValidSkinIndex(selection)) {
    TCacheInfo ci;
    ci.FillColor = vcl::ColorToRGB(color);
    PaintItem(selection, ci, true, 1, all, vcl::TPoint(0, 0), bmp, sm);
    painted = true;
  } else {
    FillDC(bmp->Canvas()->Handle(), all, sm->GetHighLightColor(true));
  }
  textColour = sm->GetHighLightFontColor(true);
  return painted;
}

void ComboItemDone(std::unique_ptr<vcl::TBitmap> bmp, const vcl::TRect& rect, bool focusRect, bool editArea,
                   TsCommonData* sd, std::unique_ptr<vcl::TBitmap>& itemBmp) {
  if (focusRect) {
    RECT fr{0, 0, rect.Width(), rect.Height()};
    DrawFocusRect(bmp->Canvas()->Handle(), &fr);
  }
  if (editArea) {
    BitBlt(sd->CacheBmp()->Canvas()->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(),
           bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    itemBmp = std::move(bmp);
  }
}

void ComboRescale(vcl::TCustomComboBox* combo, int m, int d) {
  combo->SetBounds(MulDiv(combo->Left(), m, d), MulDiv(combo->Top(), m, d), MulDiv(combo->Width(), m, d),
                   MulDiv(combo->Height(), m, d));
  if (!combo->ParentFont()) combo->Font()->SetHeight(MulDiv(combo->Font()->Height(), m, d));
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
  ComboRescale(this, m, d);
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
  FOwnerDrawWnd = ComboOwnerDrawParams(this, FCommonData.get(), p);
}

void TsCustomComboBox::CreateWnd() {
  inherited::CreateWnd();
  FCommonData->Loaded();
  UpdateIndexes();
  ComboHookEdit(handle_, kEditProp, this, &TsCustomComboBox::EditProc, FEditHandle, FEditProc);
}

bool TsCustomComboBox::HasFocus() { return ComboHasFocus(FCommonData.get(), this, FEditHandle, lboxhandle); }

LRESULT CALLBACK TsCustomComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TsCustomComboBox*>(GetPropW(wnd, kEditProp));
  if (!self || !self->FEditProc) return DefWindowProcW(wnd, msg, wParam, lParam);
  return self->ComboWndProc(wnd, msg, wParam, lParam);
}

LRESULT TsCustomComboBox::ComboWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC old = FEditProc;
  if (FReadOnly) {
    if (ComboReadOnlyRefuses(msg)) return 0;
    switch (msg) {
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
      case WM_NCPAINT: {
        // Unfocused, the cache shows the text: the edit window keeps out of it.
        LRESULT result = 0;
        if (Style() != vcl::csSimple && !(HasFocus() && Enabled() && !FReadOnly) && ComboEditKeptOut(wnd, msg, result))
          return result;
        break;
      }
      case WM_MOUSEMOVE:
        if (TsSkinManager* sm = sd->SkinManager(); sm && HandleAllocated()) sm->SetActiveControl(handle_);
        break;
      default: break;
    }
  }
  return CallWindowProcW(old, wnd, msg, wParam, lParam);
}

void TsCustomComboBox::DetachList() { ComboDetachList(lboxhandle, ListSW); }

void TsCustomComboBox::DestroyWnd() {
  DetachList();
  ComboUnhookEdit(kEditProp, &TsCustomComboBox::EditProc, FEditHandle, FEditProc);
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

int TsCustomComboBox::ButtonHeight() { return ComboButtonHeight(FCommonData.get(), FGlyphIndex); }

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
  ComboButtonGlyph(cache, sm->ma[static_cast<size_t>(FGlyphIndex)], br, height_, ButtonHeight(), s);
}

bool TsCustomComboBox::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  auto state = [&] {
    return (FDropDown && AllowBtnStyle()) ? 2 : (ControlIsActive(sd) || (AllowBtnStyle() && sd->FMouseAbove)) ? 1 : 0;
  };
  return ComboPrepareCache(this, sd, FDisabledKind, state, [&] {
    if (Style() == vcl::csSimple) return;
    const vcl::TRect br = ButtonRect();
    const vcl::TRect edit(3, 3, (FShowButton ? br.Left : width_) - 2, height_ - 3);
    TOwnerDrawState st{odComboBoxEdit};
    if (HasFocus()) st = TOwnerDrawState{odSelected, odFocused, odComboBoxEdit};
    DrawItem(ItemIndex(), edit, st);
    if (FShowButton) PaintButton();
  });
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
    onSelection = ComboPaintSelection(bmp.get(), all, sm, Color(), textColour);
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
  ComboItemDone(std::move(bmp), rect, state.Contains(odFocused) && !onSelection && !buttonStyle, editArea, sd,
                currentItemBmp_);
}

void TsCustomComboBox::OurPaintHandler(HDC given) {
  ComboPaintFromCache(
      given, this, FCommonData.get(), true, [this] { return PrepareCache(); }, [this] { return HasFocus(); },
      [this] { return ButtonRect(); });
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
    auto before = [&](WORD command) {
      HideGlow(sd->GlowID, false);
      if (command == LVC_REFRESH && HandleAllocated() && DroppedDown()) {
        const int i = ItemIndex();
        SetDroppedDown(false);
        SetItemIndex(i);
      }
    };
    auto after = [&](WORD command) {
      if (command == LVC_SETNEWSKIN) UpdateIndexes();
    };
    ComboSkinCommand(
        m, this, sd, FOwnerDrawWnd, AllowBtnStyle() ? L"BUTTON" : L"COMBOBOX", before, after, [this] { DetachList(); },
        [this] { return PrepareCache(); });
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
  if (ComboCommonMessage(
          m, this, sd, false, [this](HDC dc) { OurPaintHandler(dc); },
          [this](int i, const vcl::TRect& r, TOwnerDrawState st) { DrawItem(i, r, st); }, currentItemBmp_, lboxhandle,
          ListSW))
    return;
  switch (m.Msg) {
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
      ComboFocusMessage(
          m, this, sd,
          [&] {
            if (m.Msg == vcl::CM_EXIT && !sd->FMouseAbove) HideGlow(sd->GlowID, false);
            StopTimer(sd);
          },
          [&] { inherited::WndProc(m); });
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
      ComboRepaintAll(this, sd);
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
