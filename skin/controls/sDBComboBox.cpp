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
  ComboRescale(this, m, d);
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

bool TsDBComboBox::Focused() { return ComboHasFocus(FCommonData.get(), this, FEditHandle, lboxhandle); }

void TsDBComboBox::CreateParams(vcl::TCreateParams& p) {
  inherited::CreateParams(p);
  FOwnerDrawWnd = ComboOwnerDrawParams(this, FCommonData.get(), p);
}

void TsDBComboBox::InitializeWnd() {
  inherited::InitializeWnd();
  FCommonData->Loaded();
  // Over the platform's own subclass of the edit part, which keeps the field's rules.
  ComboHookEdit(handle_, kEditProp, this, &TsDBComboBox::EditProc, FEditHandle, FEditProc);
}

void TsDBComboBox::DestroyWnd() {
  DetachList();
  ComboUnhookEdit(kEditProp, &TsDBComboBox::EditProc, FEditHandle, FEditProc);
  inherited::DestroyWnd();
}

void TsDBComboBox::DetachList() { ComboDetachList(lboxhandle, ListSW); }

LRESULT CALLBACK TsDBComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TsDBComboBox*>(GetPropW(wnd, kEditProp));
  if (!self || !self->FEditProc) return DefWindowProcW(wnd, msg, wParam, lParam);
  return self->ComboWndProc(wnd, msg, wParam, lParam);
}

LRESULT TsDBComboBox::ComboWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC old = FEditProc;
  if (ReadOnly() && ComboReadOnlyRefuses(msg)) return 0;
  TsCommonData* sd = FCommonData.get();
  // Unfocused, the cache shows the text: the edit window keeps out of it.
  LRESULT result = 0;
  if (sd->Skinned() && Style() != vcl::csSimple && !(Focused() && Enabled() && !ReadOnly()) &&
      ComboEditKeptOut(wnd, msg, result))
    return result;
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
  return ComboButtonHeight(FCommonData.get(), sm ? sm->ConstData.ComboBtn.GlyphIndex : -1);
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
    ComboButtonGlyph(cache, sm->ma[static_cast<size_t>(e.GlyphIndex)], br, height_, ButtonHeight(), state);
    return;
  }
  const vcl::TColor colour = sm->IsValidSkinIndex(e.SkinIndex)
                                 ? sctrl::SectionFontColor(sm, e.SkinIndex, std::min(state, 1), vcl::clWindowText)
                                 : vcl::clWindowText;
  DrawColorArrow(cache->Canvas(), colour, br, asBottom);
}

bool TsDBComboBox::PrepareCache() {
  TsCommonData* sd = FCommonData.get();
  return ComboPrepareCache(
      this, sd, FDisabledKind, [sd] { return ControlIsActive(sd) ? 1 : 0; },
      [this] {
        if (Style() == vcl::csSimple) return;
        const vcl::TRect br = ButtonRect();
        const vcl::TRect edit(3, 3, br.Left - 1, height_ - 3);
        TOwnerDrawState st{odComboBoxEdit};
        if (Focused() && Style() != vcl::csDropDown) st = TOwnerDrawState{odSelected, odFocused, odComboBoxEdit};
        DrawItem(ItemIndex(), edit, st);
        PaintButton();
      });
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
    onSelection = ComboPaintSelection(bmp.get(), all, sm, Color(), textColour);
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
  ComboItemDone(std::move(bmp), rect, state.Contains(odFocused) && !onSelection, editArea, sd, currentItemBmp_);
}

void TsDBComboBox::OurPaintHandler(HDC given) {
  ComboPaintFromCache(
      given, this, FCommonData.get(), false, [this] { return PrepareCache(); }, [this] { return Focused(); },
      [this] { return ButtonRect(); });
}

void TsDBComboBox::WndProc(vcl::TMessage& m) {
  SkinnedWndProc(m);
  // Every message the control saw is shown to its bound label last.
  if (FBoundLabel) FBoundLabel->HandleOwnerMsg(m, this);
}

void TsDBComboBox::SkinnedWndProc(vcl::TMessage& m) {
  TsCommonData* sd = FCommonData.get();
  if (m.Msg == SM_LUMICMD) {
    auto none = [](WORD) {};
    ComboSkinCommand(
        m, this, sd, FOwnerDrawWnd, L"COMBOBOX", none, none, [this] { DetachList(); },
        [this] { return PrepareCache(); });
    return;
  }
  // The platform's bound combo box already refuses the wheel while closed (it would edit the record); the skinned
  // path must not turn the wheel into arrow keys either.
  if (!sd->Skinned() || !ControlIsReady(this)) {
    inherited::WndProc(m);
    return;
  }
  if (ComboCommonMessage(
          m, this, sd, true, [this](HDC dc) { OurPaintHandler(dc); },
          [this](int i, const vcl::TRect& r, TOwnerDrawState st) { DrawItem(i, r, st); }, currentItemBmp_, lboxhandle,
          ListSW))
    return;
  switch (m.Msg) {
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
      ComboRepaintAll(this, sd);
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
      ComboFocusMessage(
          m, this, sd,
          [&] {
            if (m.Msg == vcl::CM_EXIT && DroppedDown()) SetDroppedDown(false);
          },
          [&] { inherited::WndProc(m); });
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
      ComboRepaintAll(this, sd);
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
