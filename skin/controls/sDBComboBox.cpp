#include "skin/controls/sDBComboBox.h"

#include <algorithm>
#include <vector>

#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
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
constexpr wchar_t kEditProp[] = L"TavrelSkinnedDBCombo";
}

TsDBComboBox::TsDBComboBox(vcl::TComponent* owner)
    : db::TDBComboBox(owner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
  FBoundLabel = std::make_unique<TsBoundLabel>(this, FCommonData.get());
  FCommonData->COC = COC_TsComboBox;
  SetDropDownCount(16);
}

TsDBComboBox::~TsDBComboBox() { DetachList(); }

void TsDBComboBox::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsDBComboBox::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (FBoundLabel->Active()) FBoundLabel->SetActive(true);
}

void TsDBComboBox::SetDisabledKind(TsDisabledKind value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  FCommonData->Invalidate();
}

void TsDBComboBox::SetAlignment(vcl::TAlignment value) {
  FAlignment = value;
  FCommonData->Invalidate();
}

void TsDBComboBox::SetButtonMargin(int value) {
  FButtonMargin = value;
  FCommonData->Invalidate();
}

void TsDBComboBox::ChangeScale(int m, int d) {
  if (m <= 0 || d <= 0) return;
  const bool changed = m != actM || d != actD;
  actM = m;
  actD = d;
  SetBounds(MulDiv(Left(), m, d), MulDiv(Top(), m, d), MulDiv(Width(), m, d), MulDiv(Height(), m, d));
  if (!ParentFont()) Font()->SetHeight(MulDiv(Font()->Height(), m, d));
  if (changed && HandleAllocated()) {
    FCommonData->BGChanged = true;
    RecreateWnd();
  }
}

rtl::String TsDBComboBox::ItemText(int index) {
  if (index < 0) return rtl::String();
  if (HandleAllocated()) {
    // The item's length first: a fixed buffer would overrun on a long item.
    const LRESULT len = SendMessageW(handle_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len >= 0 && len != CB_ERR) {
      std::vector<wchar_t> buf(static_cast<size_t>(len) + 1, L'\0');
      const LRESULT got =
          SendMessageW(handle_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
      if (got >= 0 && got != CB_ERR) return rtl::String(buf.data(), static_cast<size_t>(std::min(got, len)));
    }
  }
  return index < Items()->Count() ? Items()->Get(index) : rtl::String();
}

bool TsDBComboBox::Focused() {
  if (FCommonData->FFocused) return true;
  if (!HandleAllocated()) return false;
  HWND f = GetFocus();
  return f && (f == handle_ || f == FEditHandle || (lboxhandle && f == lboxhandle));
}

void TsDBComboBox::CreateParams(vcl::TCreateParams& p) {
  inherited::CreateParams(p);
  // The skinned combo draws its items itself; unskinned the system draws them as always.
  FOwnerDrawWnd = FCommonData->Skinned() && (Style() == vcl::csDropDown || Style() == vcl::csDropDownList);
  if (FOwnerDrawWnd) p.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

void TsDBComboBox::InitializeWnd() {
  inherited::InitializeWnd();
  FCommonData->Loaded();
  // Over the platform's own subclass of the edit part, which keeps the field's rules.
  FEditHandle = FindWindowExW(handle_, nullptr, L"Edit", nullptr);
  if (FEditHandle) {
    SetPropW(FEditHandle, kEditProp, reinterpret_cast<HANDLE>(this));
    FEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TsDBComboBox::EditProc)));
  }
}

void TsDBComboBox::DestroyWnd() {
  DetachList();
  if (FEditHandle && IsWindow(FEditHandle)) {
    if (GetWindowLongPtrW(FEditHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TsDBComboBox::EditProc))
      SetWindowLongPtrW(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditProc));
    RemovePropW(FEditHandle, kEditProp);
  }
  FEditHandle = nullptr;
  FEditProc = nullptr;
  inherited::DestroyWnd();
}

void TsDBComboBox::DetachList() {
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

LRESULT CALLBACK TsDBComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TsDBComboBox*>(GetPropW(wnd, kEditProp));
  if (!self || !self->FEditProc) return DefWindowProcW(wnd, msg, wParam, lParam);
  return self->ComboWndProc(wnd, msg, wParam, lParam);
}

LRESULT TsDBComboBox::ComboWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC old = FEditProc;
  if (ReadOnly()) {
    switch (msg) {
      // Copying the text still works; nothing else edits it.
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
        return 0;
      default:
        break;
    }
  }
  TsCommonData* sd = FCommonData.get();
  if (sd->Skinned() && Style() != vcl::csSimple && !(Focused() && Enabled() && !ReadOnly())) {
    // Unfocused, the cache shows the text: the edit window keeps out of it.
    switch (msg) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(wnd, &ps);
        EndPaint(wnd, &ps);
        return 0;
      }
      case WM_ERASEBKGND:
      case WM_NCPAINT:
        return 1;
      default:
        break;
    }
  }
  return CallWindowProcW(old, wnd, msg, wParam, lParam);
}

vcl::TRect TsDBComboBox::ButtonRect() {
  const int w = Style() == vcl::csSimple ? 0 : GetSystemMetrics(SM_CXVSCROLL);
  vcl::TRect r;
  r.Left = width_ - w - 3;
  r.Top = 3;
  r.Right = r.Left + w;
  r.Bottom = height_ - 3;
  return r;
}

int TsDBComboBox::ButtonHeight() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (FCommonData->Skinned() && sm->IsValidImgIndex(sm->ConstData.ComboBtn.GlyphIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(sm->ConstData.ComboBtn.GlyphIndex)];
    return md.MaskType == 0 ? md.R.Height() : md.R.Height() / 2;
  }
  return 16;
}

void TsDBComboBox::PaintButton() {
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  vcl::TBitmap* cache = sd->CacheBmp();
  const vcl::TRect br = ButtonRect();
  if (br.IsEmpty()) return;
  const int state = FDropDown ? 2 : ControlIsActive(sd) ? 1 : 0;
  const TlvConstElementData& e = sm->ConstData.ComboBtn;
  if (sm->IsValidSkinIndex(e.SkinIndex)) {
    // The cache so far is the button's background.
    auto bg = CreateBmp32(cache->Width(), cache->Height());
    BitBlt(bg->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    TCacheInfo ci;
    ci.Bmp = bg.get();
    ci.Ready = true;
    ci.FillColor = 0xFF00FF;
    PaintItem(e.SkinIndex, ci, true, state, br, br.TopLeft(), cache, sm, e.BGIndex[0], e.BGIndex[1]);
  }
  if (sm->IsValidImgIndex(e.GlyphIndex)) {
    const TsMaskData& md = sm->ma[static_cast<size_t>(e.GlyphIndex)];
    const int frameWidth = md.R.Width() / std::max<int>(1, md.ImageCount);
    TCacheInfo ci;
    ci.Bmp = cache;
    ci.Ready = true;
    ci.FillColor = 0xFF00FF;
    DrawSkinGlyph(cache, vcl::TPoint(br.Left + (br.Width() - frameWidth) / 2, (height_ - ButtonHeight()) / 2), state, 1,
                  md, ci);
    return;
  }
  const vcl::TColor colour = sm->IsValidSkinIndex(e.SkinIndex)
                                 ? sctrl::SectionFontColor(sm, e.SkinIndex, std::min(state, 1), vcl::clWindowText)
                                 : vcl::clWindowText;
  DrawColorArrow(cache->Canvas(), colour, br, asBottom);
}

bool TsDBComboBox::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  TCacheInfo ci;
  if (!sctrl::ParentCI(this, ci)) {
    sd->SetUpdatingFlag(true);
    return false;
  }
  sd->InitCacheBmp();
  vcl::TBitmap* cache = sd->CacheBmp();
  const int h = height_;
  PaintItem(sd, ci, true, ControlIsActive(sd) ? 1 : 0, vcl::TRect(0, 0, width_, h), vcl::TPoint(left_, top_), cache,
            true);
  if (Style() != vcl::csSimple) {
    const vcl::TRect br = ButtonRect();
    const vcl::TRect edit(3, 3, br.Left - 1, h - 3);
    TOwnerDrawState st{odComboBoxEdit};
    if (Focused() && Style() != vcl::csDropDown) st = TOwnerDrawState{odSelected, odFocused, odComboBoxEdit};
    DrawItem(ItemIndex(), edit, st);
    PaintButton();
  }
  if (!Enabled()) BmpDisabledKind(cache, FDisabledKind, Parent(), ci, vcl::TPoint(left_, top_));
  sd->BGChanged = false;
  return true;
}

void TsDBComboBox::DrawItem(int index, const vcl::TRect& rect, TOwnerDrawState state) {
  TsCommonData* sd = FCommonData.get();
  TsSkinManager* sm = sd->SkinManager();
  const bool editArea = state.Contains(odComboBoxEdit);
  auto bmp = CreateBmp32(std::max(1, rect.Width()), std::max(1, rect.Height()));
  vcl::TCanvas* c = bmp->Canvas();
  c->Font()->Assign(Font());
  const vcl::TRect all(0, 0, rect.Width(), rect.Height());
  const int selection = sm->ConstData.Sections[ssSelection];
  const bool selected = state.Contains(odSelected);
  bool onSelection = false;
  vcl::TColor textColour;
  if (selected) {
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
    if (editArea)
      BitBlt(c->Handle(), 0, 0, rect.Width(), rect.Height(), sd->CacheBmp()->Canvas()->Handle(), rect.Left, rect.Top,
             SRCCOPY);
    else
      FillDC(c->Handle(), all, sd->CustomColor() ? vcl::ColorToRGB(Color()) : sm->GetActiveEditColor());
    textColour = sd->CustomFont() ? Font()->Color()
                 : editArea ? sctrl::SectionFontColor(sm, sd->SkinIndex, ControlIsActive(sd) ? 1 : 0, Font()->Color())
                            : sm->GetActiveEditFontColor();
  }
  const unsigned flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_VCENTER;
  c->Brush()->SetStyle(vcl::bsClear);
  SetBkMode(c->Handle(), TRANSPARENT);
  vcl::TRect tr(2, 0, rect.Width() - 2, rect.Height());
  rtl::String text;
  if (editArea && Style() == vcl::csDropDown)
    text = Text();
  else if (index >= 0)
    text = ItemText(index);
  if (!text.empty()) {
    if (onSelection) {
      WriteTextEx(c, text.c_str(), true, tr, flags, selection, true, sm);
    } else {
      c->Font()->SetColor(textColour);
      lvDrawText(c->Handle(), text, tr, flags);
    }
  }
  if (state.Contains(odFocused) && !onSelection) {
    RECT fr{0, 0, rect.Width(), rect.Height()};
    DrawFocusRect(c->Handle(), &fr);
  }
  if (editArea)
    BitBlt(sd->CacheBmp()->Canvas()->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), c->Handle(), 0, 0,
           SRCCOPY);
  else
    currentItemBmp_ = std::move(bmp);
}

void TsDBComboBox::OurPaintHandler(HDC given) {
  TsCommonData* sd = FCommonData.get();
  if (!Showing() || !HandleAllocated()) return;
  if (InUpdating(sd, false) || (InAnimationProcess && given != sd->PrintDC)) return;
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
    } else if (Style() == vcl::csDropDown && Focused()) {
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

void TsDBComboBox::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  // Every message the control saw is shown to its bound label last.
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsDBComboBox::SkinnedWndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(m.LParam);
    switch (m.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (sm == sd->SkinManager()) {
          CommonWndProc(m, sd);
          // The owner-drawn look needs a window made for it.
          if (HandleAllocated() && !FOwnerDrawWnd && sd->Skinned() &&
              (Style() == vcl::csDropDown || Style() == vcl::csDropDownList))
            RecreateWnd();
        }
        return;
      case LVC_REMOVESKIN:
        if (sm == sd->SkinManager()) {
          CommonWndProc(m, sd);
          DetachList();
          if (!sd->CustomColor()) SetColor(vcl::clWindow);
          if (!sd->CustomFont()) Font()->SetColor(vcl::clWindowText);
          if (HandleAllocated() && FOwnerDrawWnd) RecreateWnd();
        }
        return;
      case LVC_REFRESH:
        if (sm == sd->SkinManager()) {
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
      default:
        break;
    }
    HandleSkinCommand(this, sd, m, L"COMBOBOX");
    return;
  }
  // The platform's bound combo box already refuses the wheel while closed (it would edit the record); the skinned
  // path must not turn the wheel into arrow keys either.
  if (!sd->Skinned() || !ControlIsReady(this)) {
    inherited::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC given = reinterpret_cast<HDC>(m.WParam);
      if (!given) BeginPaint(handle_, &ps);
      OurPaintHandler(given);
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
      sd->SetUpdatingFlag(false);
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
      if (mis) mis->itemHeight = static_cast<UINT>(std::max(1, GetFontHeight(Font()->Handle()) - 4));
      m.Result = 1;
      return;
    }
    case WM_SETFONT:
    case vcl::CM_VISIBLECHANGED:
    case vcl::CM_ENABLEDCHANGED:
      sd->BGChanged = true;
      break;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE:
      if (FDropDown) break;
      if (m.Msg == vcl::CM_MOUSELEAVE && lvMouseInControl(sd)) return;
      if (m.Msg == vcl::CM_MOUSEENTER) {
        if (sd->FMouseAbove) return;
        if (TsSkinManager* sm = sd->SkinManager(); sm && HandleAllocated()) sm->SetActiveControl(handle_);
      }
      sd->FMouseAbove = m.Msg == vcl::CM_MOUSEENTER;
      sd->BGChanged = true;
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      break;
    case vcl::CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN) {
        FDropDown = true;
      } else if (HIWORD(m.WParam) == CBN_CLOSEUP) {
        FDropDown = false;
        if (!lvMouseInControl(sd)) sd->FMouseAbove = false;
      }
      sd->BGChanged = true;
      break;
    case vcl::CM_ENTER:
    case vcl::CM_EXIT:
      // The focus is in the edit window or the list, which the combo's own window never learns.
      sd->FFocused = m.Msg == vcl::CM_ENTER;
      if (m.Msg == vcl::CM_EXIT && DroppedDown()) SetDroppedDown(false);
      sd->BGChanged = true;
      UpdateControlColors(sd, false);
      inherited::WndProc(m);
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      return;
    default:
      break;
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
    case vcl::CN_COMMAND:
      sd->BGChanged = true;
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      break;
    default:
      break;
  }
}

VCL_REGISTER(TsDBComboBox) {
  cls.Prop(L"DropDownCount", &TsDBComboBox::DropDownCount, &TsDBComboBox::SetDropDownCount).Default(16);
  cls.Prop(L"SkinData", &TsDBComboBox::SkinData, &TsDBComboBox::SetSkinData);
  cls.Prop(L"BoundLabel", &TsDBComboBox::BoundLabel, &TsDBComboBox::SetBoundLabel);
}
