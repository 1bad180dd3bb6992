#include "skin/controls/sPageControl.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/win.h"
#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>
#include "platform/vcl/application.h"
#include "platform/vcl/menus.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sAnimations.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sWndUtils.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/render/lvAlphaImageList.h"
#include "skin/windows/lvSpinWnd.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

constexpr int kBtnOffsX = 4;
constexpr int kBtnSize = 15;
constexpr int kTabsMargin = 15;
constexpr int kArrowSize = 9;
// [ShowCloseBtns][no images]
constexpr int kOffsArray[2][2] = {{7, 4}, {6, 4}};
// A press that began on a close button and has not been released.
bool lvBtnPressed = false;
bool bUpdating = false;

// The platform's scroll arrows of an overflowing strip, painted from the skin over the control's own cache: each
// half a button of the section in its state (hot under the mouse, pressed while held) with an arrow in the
// section's font colour. The platform keeps doing the scrolling.
class TlvTabsSpinWnd : public TlvSpinWnd {
 public:
  TlvTabsSpinWnd(HWND handle, const rtl::String& section, TsPageControl* owner)
      : TlvSpinWnd(handle, TlvSkinParams{.Control = owner, .SkinSection = section}, owner->SkinData()->SkinManager(), owner->SkinData()),
        Owner(owner) {}
  TsPageControl* Owner;
  int HotPart = -1, PressedPart = -1;

 protected:
  bool Horizontal() const { return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & UDS_HORZ) != 0; }
  vcl::TRect PartRect(int part) const {
    RECT cr;
    GetClientRect(CtrlHandle, &cr);
    if (Horizontal()) {
      const int half = cr.right / 2;
      return part == 0 ? vcl::Rect(0, 0, half, cr.bottom) : vcl::Rect(half, 0, cr.right, cr.bottom);
    }
    const int half = cr.bottom / 2;
    return part == 0 ? vcl::Rect(0, 0, cr.right, half) : vcl::Rect(0, half, cr.right, cr.bottom);
  }
  int PartAt(LPARAM lParam) const {
    const vcl::TPoint p(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    for (int part = 0; part < 2; ++part)
      if (PartRect(part).Contains(p)) return part;
    return -1;
  }
  void PaintTo(HDC dc) {
    RECT cr;
    GetClientRect(CtrlHandle, &cr);
    if (cr.right <= 0 || cr.bottom <= 0) return;
    TsSkinManager* m = SkinManager;
    auto bmp = CreateBmp32(cr.right, cr.bottom);
    POINT o{0, 0};
    MapWindowPoints(CtrlHandle, Owner->Handle(), &o, 1);
    vcl::TBitmap* cache = Owner->SkinData()->CacheBmp();
    if (cache && cache->Width() > 0)
      BitBlt(bmp->Canvas()->Handle(), 0, 0, cr.right, cr.bottom, cache->Canvas()->Handle(), o.x, o.y, SRCCOPY);
    const int idx = m ? m->GetSkinIndex(SkinSection) : -1;
    const bool enabled = IsWindowEnabled(CtrlHandle) != FALSE;
    for (int part = 0; part < 2; ++part) {
      const vcl::TRect r = PartRect(part);
      if (r.Width() <= 0 || r.Height() <= 0) continue;
      const int state = !enabled ? 0 : part == PressedPart ? 2 : part == HotPart ? 1 : 0;
      vcl::TColor arrow = vcl::clBtnText;
      if (m && m->IsValidSkinIndex(idx)) {
        const TsGeneralData& gd = m->gd[static_cast<size_t>(idx)];
        const int st = std::max(0, std::min(state, gd.States - 1));
        TCacheInfo ci = cache ? MakeCacheInfo(cache, 0, 0) : TCacheInfo();
        PaintItem(idx, ci, true, st, r, vcl::TPoint(o.x + r.Left, o.y + r.Top), bmp.get(), m);
        arrow = gd.Props[static_cast<size_t>(std::min(state, 2))].FontColor.Color;
      }
      if (!enabled) arrow = MixColors(arrow, vcl::clBtnFace, DefDisabledBlend);
      const TlvSide side = Horizontal() ? (part == 0 ? asLeft : asRight) : (part == 0 ? asTop : asBottom);
      DrawColorArrow(bmp->Canvas(), arrow, r, side);
    }
    GdiFlush();
    BitBlt(dc, 0, 0, cr.right, cr.bottom, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  void SetParts(int hot, int pressed) {
    if (hot == HotPart && pressed == PressedPart) return;
    HotPart = hot;
    PressedPart = pressed;
    InvalidateRect(CtrlHandle, nullptr, FALSE);
  }
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        if (wParam) {
          PaintTo(reinterpret_cast<HDC>(wParam));
          return 0;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(CtrlHandle, &ps);
        PaintTo(dc);
        EndPaint(CtrlHandle, &ps);
        return 0;
      }
      case WM_PRINTCLIENT:
        PaintTo(reinterpret_cast<HDC>(wParam));
        return 0;
      case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, CtrlHandle, 0};
        TrackMouseEvent(&t);
        const LRESULT r = CallOld(msg, wParam, lParam);
        SetParts(PartAt(lParam), (wParam & MK_LBUTTON) ? PressedPart : -1);
        return r;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        const LRESULT r = CallOld(msg, wParam, lParam);
        if (CtrlHandle) SetParts(PartAt(lParam), PartAt(lParam));
        return r;
      }
      case WM_LBUTTONUP: {
        const LRESULT r = CallOld(msg, wParam, lParam);
        if (CtrlHandle) SetParts(PartAt(lParam), -1);
        return r;
      }
      case WM_MOUSELEAVE:
      case WM_CAPTURECHANGED: {
        const LRESULT r = CallOld(msg, wParam, lParam);
        if (CtrlHandle) SetParts(msg == WM_MOUSELEAVE ? -1 : HotPart, -1);
        return r;
      }
      default:
        break;
    }
    return TlvSpinWnd::WndProc(msg, wParam, lParam);
  }
};

const wchar_t* const kSideNames[4] = {L"LEFT", L"TOP", L"RIGHT", L"BOTTOM"};

TlvSide SideOf(vcl::TTabPosition p) {
  switch (p) {
    case vcl::tpBottom: return asBottom;
    case vcl::tpLeft: return asLeft;
    case vcl::tpRight: return asRight;
    default: return asTop;
  }
}

vcl::TRect Moved(const vcl::TRect& r, int dx, int dy) {
  return vcl::TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}
vcl::TRect Inflated(const vcl::TRect& r, int dx, int dy) {
  return vcl::TRect(r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy);
}
// An element of the platform's visual styles drawn over r; false when the window has no theme data for the class.
bool DrawThemed(HWND wnd, HDC dc, const wchar_t* themeClass, int part, int state, const RECT& r) {
  HTHEME theme = OpenThemeData(wnd, themeClass);
  if (!theme) return false;
  DrawThemeBackground(theme, dc, part, state, &r, nullptr);
  CloseThemeData(theme);
  return true;
}

// A one-pixel frame: light on the top and left, dark on the bottom and right.
void Frame3D(HDC dc, const RECT& r, COLORREF light, COLORREF dark) {
  auto line = [&](COLORREF c, int l, int t, int rr, int b) {
    HBRUSH br = CreateSolidBrush(c);
    RECT x{l, t, rr, b};
    FillRect(dc, &x, br);
    DeleteObject(br);
  };
  line(light, r.left, r.top, r.right, r.top + 1);
  line(light, r.left, r.top, r.left + 1, r.bottom);
  line(dark, r.left, r.bottom - 1, r.right, r.bottom);
  line(dark, r.right - 1, r.top, r.right, r.bottom);
}

void FillColour(HDC dc, const RECT& r, vcl::TColor colour) {
  HBRUSH b = CreateSolidBrush(vcl::ColorToGdi(vcl::ColorToRGB(colour)));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// One frame of a glyph strip: its width and height.
int FrameWidth(const TsMaskData& md) { return md.R.Width() / std::max<int>(md.ImageCount, 1); }
int FrameHeight(const TsMaskData& md) { return md.R.Height() / (md.MaskType + 1); }
bool EmptyRect(const vcl::TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

}  // namespace

void TsTabSkinData::SetCustomFont(bool value) {
  if (value == FCustomFont) return;
  FCustomFont = value;
  // The tab caption is drawn by the page control.
  if (FPage && FPage->PageControl()) FPage->PageControl()->Invalidate();
}

void TsTabSkinData::Assign(const rtl::TPersistent* source) {
  if (auto* src = dynamic_cast<const TsTabSkinData*>(source)) {
    FCustomColor = src->FCustomColor;
    SetCustomFont(src->FCustomFont);
    FSkinSection = src->FSkinSection;
    return;
  }
  rtl::TPersistent::Assign(source);
}

// Sheets.

TsTabSheet::TsTabSheet(vcl::TComponent* owner)
    : vcl::TTabSheet(owner), FCommonData(std::make_unique<TsTabSkinData>(this)) {}

TsTabSheet::~TsTabSheet() {
  if (AnimTimer) {
    AnimTimer->SetEnabled(false);
    delete AnimTimer;
    AnimTimer = nullptr;
  }
  if (FTabMenu) FTabMenu->RemoveFreeNotification(this);
}

void TsTabSheet::SetTabMenu(vcl::TPopupMenu* value) {
  if (FTabMenu == value) return;
  if (FTabMenu) FTabMenu->RemoveFreeNotification(this);
  FTabMenu = value;
  if (FTabMenu) FTabMenu->FreeNotification(this);
}

void TsTabSheet::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == vcl::opRemove && component == FTabMenu) FTabMenu = nullptr;
}

TsPageControl* TsTabSheet::SkinnedPageControl() const { return dynamic_cast<TsPageControl*>(PageControl()); }

void TsTabSheet::SetTabType(TlvTabType value) {
  if (FTabType == value) return;
  FTabType = value;
  if (FTabSkin.empty()) {
    if (value == ttButton) FTabSkin = L"SPEEDBUTTON";
    if (value == ttMenu) FTabSkin = L"MENUBTN";
  } else if (value == ttTab) {
    FTabSkin.clear();
  }
  if (TsPageControl* pc = SkinnedPageControl()) {
    pc->UpdateBtnData();
    if (pc->ActivePage()) pc->SetActivePageIndex(pc->CheckActiveTab(pc->ActivePageIndex()));
    pc->Invalidate();
  }
}

void TsTabSheet::SetTabSkin(const rtl::String& value) {
  FTabSkin = value;
  if (TsPageControl* pc = SkinnedPageControl()) {
    pc->SkinData()->BGChanged = true;
    pc->Invalidate();
  }
}

void TsTabSheet::SetButtonSkin(const rtl::String& value) {
  FButtonSkin = value;
  if (PageControl()) PageControl()->Invalidate();
}

void TsTabSheet::SetUseCloseBtn(bool value) {
  if (FUseCloseBtn == value) return;
  FUseCloseBtn = value;
  if (TsPageControl* pc = SkinnedPageControl()) {
    pc->SkinData()->BGChanged = true;
    pc->Invalidate();
  }
}

void TsTabSheet::WMEraseBkgnd(vcl::TMessage& m) {
  TsPageControl* pc = SkinnedPageControl();
  if (!pc || !pc->Skinned() || !m.WParam) {
    vcl::TTabSheet::WMEraseBkgnd(m);
    return;
  }
  // The page shows its part of the page control's cache.
  if (pc->SkinData()->BGChanged) pc->PrepareCache();
  vcl::TBitmap* cache = pc->SkinData()->CacheBmp();
  BitBlt(reinterpret_cast<HDC>(m.WParam), 0, 0, width_, height_, cache->Canvas()->Handle(), left_, top_, SRCCOPY);
  m.Result = 1;
}

void TsTabSheet::WndProc(vcl::TMessage& message) {
  if (message.Msg == SM_LUMICMD) {
    switch (message.WParamHi()) {
      case LVC_GETDEFINDEX: {
        TsSkinManager* manager = DefaultManager;
        message.Result = manager ? manager->GetSkinIndex(L"TABSHEET") + 1 : 0;
        return;
      }
      case LVC_CTRLHANDLED:
        message.Result = 1;
        return;
      case LVC_SETNEWSKIN:
      case LVC_REMOVESKIN:
      case LVC_REFRESH:
        LumiBroadCast(this, message);
        if (handle_) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
      case LVC_GETBG: {
        TsPageControl* pc = SkinnedPageControl();
        if (pc && pc->Skinned() && message.LParam) {
          if (pc->SkinData()->BGChanged) pc->PrepareCache();
          auto* bg = reinterpret_cast<TlvBGInfo*>(message.LParam);
          bg->BgType = btCache;
          bg->Bmp = pc->SkinData()->CacheBmp();
          bg->Offset = vcl::TPoint(left_, top_);
          bg->FillRect = vcl::TRect();
          message.Result = 1;
          return;
        }
        break;
      }
      default:
        break;
    }
  }
  inherited::WndProc(message);
}

// The control.

TsPageControl::TsPageControl(vcl::TComponent* owner)
    : vcl::TPageControl(owner),
      FCommonData(std::make_unique<TsCommonData>(this, true)),
      TabsBG(CreateBmp32(1, 1)) {
  FCommonData->COC = COC_TsPageControl;
}

TsPageControl::~TsPageControl() = default;

void TsPageControl::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
}

void TsPageControl::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  if (ActivePage()) SetActivePageIndex(CheckActiveTab(ActivePageIndex()));
  if (FTabPadding != 0 || FShowCloseBtns) UpdateBtnData();
}

bool TsPageControl::Skinned() const {
  return FCommonData && FCommonData->Skinned(true) && !ComponentState().Contains(vcl::csDestroying);
}

rtl::String TsPageControl::DefaultSection() const {
  switch (TabPosition()) {
    case vcl::tpBottom: return L"PAGECONTROLBOTTOM";
    case vcl::tpLeft: return L"PAGECONTROLLEFT";
    case vcl::tpRight: return L"PAGECONTROLRIGHT";
    default: return L"PAGECONTROL";
  }
}

// Properties.

void TsPageControl::SetShowCloseBtns(bool value) {
  if (FShowCloseBtns == value) return;
  FShowCloseBtns = value;
  UpdateBtnData();
  if (handle_ && !IsLoading()) {
    Realign();
    FCommonData->BGChanged = true;
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TsPageControl::SetCloseBtnSkin(const rtl::String& value) {
  FCloseBtnSkin = value;
  UpdateBtnData();
  Invalidate();
}

void TsPageControl::SetActiveIsBold(bool value) {
  FActiveIsBold = value;
  FCommonData->BGChanged = true;
  Invalidate();
}

void TsPageControl::SetActiveTabEnlarged(bool value) {
  if (FActiveTabEnlarged == value) return;
  FActiveTabEnlarged = value;
  FCommonData->BGChanged = true;
  Invalidate();
}

void TsPageControl::SetShowFocus(bool value) {
  FShowFocus = value;
  FCommonData->BGChanged = true;
  Invalidate();
}

void TsPageControl::SetRotateCaptions(bool value) {
  if (FRotateCaptions == value) return;
  FRotateCaptions = value;
  if (IsLoading() || (!Visible() && !ComponentState().Contains(vcl::csDesigning))) return;
  if (handle_) SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  if (value) {
    // Tabs sized for the caption's new direction: long across a side strip, tall on a top or bottom one.
    vcl::TRect first = PageCount() > 0 ? TabRect(0) : vcl::TRect();
    if (EmptyRect(first)) first = vcl::Rect(0, 0, 24, 24);
    if (TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight) {
      SetTabWidth(first.Width());
      SetTabHeight(std::max(first.Height(), 140));
    } else {
      SetTabWidth(first.Height());
      SetTabHeight(std::max(first.Width(), 140));
    }
  } else {
    SetTabWidth(0);
    SetTabHeight(0);
  }
  FCommonData->BGChanged = true;
  if (handle_) {
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TsPageControl::SetTabMargin(int value) {
  FTabMargin = value;
  FCommonData->BGChanged = true;
  Invalidate();
}

void TsPageControl::SetTabPadding(int value) {
  FTabPadding = value;
  if (!IsLoading()) UpdateBtnData();
}

void TsPageControl::SetTabSpacing(int value) {
  FTabSpacing = value;
  FCommonData->BGChanged = true;
  Invalidate();
}

void TsPageControl::SetTabAlignment(vcl::TAlignment value) {
  if (FTabAlignment == value) return;
  FTabAlignment = value;
  FCommonData->BGChanged = true;
  Invalidate();
}

void TsPageControl::SetTabsLineSkin(const rtl::String& value) {
  FTabsLineSkin = value;
  TsSkinManager* m = FCommonData->SkinManager();
  FTabsLineIndex = m && !value.empty() ? m->GetSkinIndex(value) : -1;
}

// Geometry.

vcl::TRect TsPageControl::TabRect(int tabIndex) {
  RECT r{};
  if (!handle_ || tabIndex < 0) return vcl::TRect();
  if (!SendMessageW(handle_, TCM_GETITEMRECT, static_cast<WPARAM>(tabIndex), reinterpret_cast<LPARAM>(&r)))
    return vcl::TRect();
  return vcl::TRect(r);
}

int TsPageControl::VisibleTabsCount() {
  int n = 0;
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) ++n;
  return n;
}

int TsPageControl::PageIndexFromTabIndex(int tabIndex) {
  if (tabIndex < 0) return -1;
  int n = -1;
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible() && ++n == tabIndex) return i;
  return -1;
}

namespace {
vcl::TRect DisplayRect(vcl::TWinControl* c, HWND h) {
  RECT r{0, 0, c->Width(), c->Height()};
  if (h) SendMessageW(h, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return vcl::TRect(r);
}
}  // namespace

vcl::TRect TsPageControl::TabsRect() {
  if (VisibleTabsCount() == 0) return vcl::TRect();
  const vcl::TRect d = DisplayRect(this, handle_);
  vcl::TRect r(0, 0, width_, height_);
  switch (TabPosition()) {
    case vcl::tpTop: r.Bottom = d.Top - 4; break;
    case vcl::tpBottom: r.Top = d.Bottom + 2; break;
    case vcl::tpLeft: r.Right = d.Left - 1; break;
    case vcl::tpRight: r.Left = d.Right + 1; break;
  }
  return r;
}

vcl::TRect TsPageControl::PageRect() {
  vcl::TRect r(0, 0, width_, height_);
  if (VisibleTabsCount() == 0) return r;
  const vcl::TRect d = DisplayRect(this, handle_);
  switch (TabPosition()) {
    case vcl::tpTop: r.Top = d.Top - 4; break;
    case vcl::tpBottom: r.Bottom = d.Bottom + 2; break;
    case vcl::tpLeft: r.Left = d.Left - 1; break;
    case vcl::tpRight: r.Right = d.Right + 1; break;
  }
  return r;
}

vcl::TRect TsPageControl::TabsBGRect() {
  if (VisibleTabsCount() == 0) return vcl::TRect();
  const vcl::TRect d = DisplayRect(this, handle_);
  vcl::TRect r(0, 0, width_, height_);
  switch (TabPosition()) {
    case vcl::tpTop: r.Bottom = d.Top + 11; break;
    case vcl::tpBottom: r.Top = d.Bottom - 13; break;
    case vcl::tpLeft: r.Right = d.Left + 14; break;
    case vcl::tpRight: r.Left = d.Right - 14; break;
  }
  return r;
}

namespace {
int Covering(TsPageControl* pc, TsTabSheet* page) {
  TsSkinManager* m = pc->SkinData()->SkinManager();
  if (!m || !m->CommonSkinData || !page || page->TabType() != ttTab) return 0;
  if (page->TabSkin().empty()) return m->CommonSkinData->TabsCovering;
  if (page->TabSkin() == L"RIBBONTAB") return m->CommonSkinData->RibbonCovering;
  return 0;
}
}  // namespace

vcl::TRect TsPageControl::SkinTabRect(int tabIndex, bool active) {
  const int page = PageIndexFromTabIndex(tabIndex);
  if (page < 0) return vcl::TRect();
  vcl::TRect r = TabRect(tabIndex);
  const bool side = TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight;
  auto* sheet = dynamic_cast<TsTabSheet*>(Pages(page));
  if (FActiveTabEnlarged) {
    // Buttons keep their size when down: only tabs grow into their neighbours.
    const bool tabs = Style() == vcl::tsTabs;
    if (tabs && !EmptyRect(r) && active) r = Inflated(r, 2, 2);
    int c = 0;
    if (tabs && FCommonData->SkinManager()) {
      if (!sheet || sheet->TabType() == ttTab) {
        c = Covering(this, sheet);
      } else if (tabIndex >= 1) {
        r.Left += Covering(this, dynamic_cast<TsTabSheet*>(Pages(PageIndexFromTabIndex(tabIndex - 1)))) + 1;
      } else if (tabIndex < VisibleTabsCount() - 1) {
        r.Right -= Covering(this, dynamic_cast<TsTabSheet*>(Pages(PageIndexFromTabIndex(tabIndex + 1)))) + 1;
      }
    }
    if (c >= 1) r = side ? Inflated(Moved(r, 0, c), 0, c) : Inflated(Moved(r, c, 0), c, 0);
  } else if (side) {
    r = Inflated(r, 2, active ? 2 : 0);
    if (TabPosition() == vcl::tpLeft) r.Right += active ? 1 : -1;
  } else {
    r = Inflated(r, 0, 2);
  }
  return r;
}

int TsPageControl::GetTabUnderMouse(vcl::TPoint p) {
  for (int i = 0; i < PageCount(); ++i) {
    vcl::TTabSheet* s = Pages(i);
    if (!s->TabVisible()) continue;
    const vcl::TRect r = s == ActivePage() ? SkinTabRect(s->TabIndex(), true) : TabRect(s->TabIndex());
    if (r.Contains(p)) return i;
  }
  return -1;
}

bool TsPageControl::IsSpecialTab(int pageIndex, bool menuOnly) {
  if (pageIndex < 0 || pageIndex >= PageCount()) return false;
  auto* s = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (!s || !s->TabVisible()) return false;
  return menuOnly ? s->TabType() == ttMenu : s->TabType() != ttTab;
}

int TsPageControl::CheckActiveTab(int pageIndex) {
  if (!IsSpecialTab(pageIndex)) return pageIndex;
  for (int i = pageIndex + 1; i < PageCount(); ++i)
    if (!IsSpecialTab(i)) return i;
  for (int i = pageIndex - 1; i >= 0; --i)
    if (!IsSpecialTab(i)) return i;
  return pageIndex;
}

TlvTabLayout TsPageControl::GetTabLayout(int pageIndex) {
  TsSkinManager* m = FCommonData->SkinManager();
  const int side = SideOf(TabPosition());
  if (!m || m->ConstData.Tabs[static_cast<size_t>(tlFirst * 4 + side)].SkinIndex < 0) return tlSingle;
  auto tabPage = [&](int i) {
    auto* s = dynamic_cast<TsTabSheet*>(Pages(i));
    return Pages(i)->TabVisible() && (!s || s->TabType() == ttTab);
  };
  bool before = false, after = false;
  for (int i = 0; i < pageIndex; ++i) before = before || tabPage(i);
  for (int i = pageIndex + 1; i < PageCount(); ++i) after = after || tabPage(i);
  if (!before) return tlFirst;
  if (!after) return tlLast;
  return tlMiddle;
}

bool TsPageControl::CanBeActive(TsTabSheet* page) {
  if (!page) return false;
  if (page->TabType() != ttTab) return false;
  if (!FAccessibleDisabledPages && !page->Enabled()) return false;
  bool allow = true;
  if (OnPageChanging) OnPageChanging(this, page, allow);
  return allow;
}

bool TsPageControl::CanChange() { return inherited::CanChange(); }

void TsPageControl::InitTabContentData(vcl::TCanvas* canvas, TsTabSheet* page, vcl::TRect r, int state, bool special,
                                       TlvTabData& data) {
  data = TlvTabData();
  const rtl::String caption = page->Caption();
  RECT tr{0, 0, 0, 0};
  HDC dc = canvas->Handle();
  SelectObject(dc, canvas->Font()->Handle());
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, DT_CALCRECT | DT_SINGLELINE);
  data.TextSize = vcl::TSize{tr.right, tr.bottom};
  const int textW = data.TextSize.cx, textH = data.TextSize.cy;
  const bool side = TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight;
  const bool top = TabPosition() == vcl::tpTop;
  const bool active = state == 2;
  const bool enlarged = FActiveTabEnlarged;
  TsSkinManager* m = FCommonData->SkinManager();
  const bool shift = !Skinned() || (m && m->ButtonsOptions() && m->ButtonsOptions()->ShiftContentOnClick());
  const bool hasBtn = FShowCloseBtns && !special && page->UseCloseBtn();
  const bool menu = special && page->TabType() == ttMenu;
  vcl::TCustomImageList* images = Images();
  const bool hasGlyph = images && page->ImageIndex() > -1 && page->ImageIndex() < images->Count();
  const int iw = hasGlyph ? images->Width() : 0, ih = hasGlyph ? images->Height() : 0;
  auto square = [](int left, int top, int size) { return vcl::TRect(left, top, left + size, top + size); };
  if (side != FRotateCaptions) {
    // Read downwards: arrow or button on top, the caption below them, the glyph at the bottom.
    if (special && active && shift) r = Moved(r, 1, 1);
    else if (!special && active && enlarged && shift) r = Moved(r, -1, -1);
    data.TextRect = r;
    if (menu) {
      data.ArrowRect = square(data.TextRect.Left + (data.TextRect.Width() - kArrowSize) / 2, data.TextRect.Top + 8,
                              kArrowSize);
      data.TextRect.Top = data.ArrowRect.Bottom + 2;
      data.ArrowDirection = asRight;
      if (active) data.ArrowRect = Moved(data.ArrowRect, 0, -1);
    }
    if (hasBtn) {
      data.BtnRect = vcl::TRect(r.Left + (r.Width() - BtnWidth) / 2, r.Top + 4, 0, 0);
      data.BtnRect.Right = data.BtnRect.Left + BtnWidth;
      data.BtnRect.Bottom = data.BtnRect.Top + BtnHeight;
      data.TextRect.Top = data.BtnRect.Bottom + 2;
      if (active && enlarged) {
        r = Moved(r, 0, -2);
        data.BtnRect = Moved(data.BtnRect, 2, 2);
      }
    }
    if (hasGlyph) {
      const int bottom = hasBtn ? r.Bottom - 3
                                : std::min(r.Bottom - (r.Height() - (textW + ih + FTabSpacing)) / 2, r.Bottom - 3);
      data.GlyphRect = vcl::TRect(r.Left + (r.Width() - iw) / 2 + 1, bottom - ih, 0, bottom);
      data.GlyphRect.Right = data.GlyphRect.Left + iw;
      if (special && active && enlarged) data.GlyphRect = Moved(data.GlyphRect, 3, 0);
      data.TextRect.Bottom = data.GlyphRect.Top - FTabSpacing;
    } else {
      data.TextRect.Bottom = hasBtn ? r.Bottom - 5 : r.Bottom - (r.Height() - textW) / 2;
    }
    data.TextRect.Top = std::max(data.TextRect.Bottom - textW - 2, data.TextRect.Top + 3);
    data.TextRect.Left += (data.TextRect.Width() - textH) / 2;
    data.TextRect.Right = data.TextRect.Left + textH + 2;
    if (FShowFocus && Focused() && active && enlarged && !caption.empty() && !special)
      data.FocusRect = vcl::TRect(data.TextRect.Left - 1, data.TextRect.Top - 3, data.TextRect.Right + 3,
                                  data.TextRect.Bottom + 3);
    data.TextPos = vcl::TPoint(data.TextRect.Left + (data.TextRect.Width() - textH) / 2, data.TextRect.Bottom);
    return;
  }
  if (top) r.Bottom -= 2; else r.Top += 2;
  if (!special && Style() != vcl::tsTabs) {
    r = Moved(r, 0, 1);
  } else if (!special) {
    if (top) {
      r.Top += 2;
      r = active && enlarged ? Moved(r, -1, -2) : Moved(r, 0, 1);
    } else {
      r = active && enlarged ? Moved(r, -1, -2) : Moved(r, 0, -2);
    }
  }
  data.TextRect = r;
  bool arrowBelow = false;
  if (menu) {
    data.ArrowDirection = asBottom;
    arrowBelow = !side && r.Height() - textH - 6 > kArrowSize;
    if (!arrowBelow) {
      data.ArrowRect = square(data.TextRect.Right - 13,
                              data.TextRect.Top + (data.TextRect.Height() - kArrowSize) / 2 + 1, kArrowSize);
      if (active && enlarged && shift) data.ArrowRect = Moved(data.ArrowRect, 1, 1);
    }
  }
  if (hasBtn) {
    data.BtnRect.Left = r.Right - BtnWidth - kBtnOffsX;
    data.BtnRect.Top = r.Top + (r.Height() - BtnHeight) / 2;
    data.BtnRect.Right = data.BtnRect.Left + BtnWidth;
    data.BtnRect.Bottom = data.BtnRect.Top + BtnHeight;
    data.TextRect.Right = data.BtnRect.Left;
    data.TextRect.Left += FTabPadding;
    if (active && enlarged) {
      r = Moved(r, 3, 0);
      data.BtnRect = top ? Moved(data.BtnRect, 1, 1) : Moved(data.BtnRect, 0, 2);
    }
  }
  if (hasGlyph) {
    int left;
    if (hasBtn || FTabAlignment == vcl::taLeftJustify)
      left = r.Left + FTabMargin;
    else if (FTabAlignment == vcl::taRightJustify)
      left = r.Right - textW - iw - FTabSpacing - FTabMargin;
    else
      left = std::max(data.TextRect.Left + (data.TextRect.Width() - (textW + iw + FTabSpacing)) / 2,
                      r.Left + FTabMargin);
    const int gtop = r.Top + (r.Height() - ih) / 2;
    data.GlyphRect = vcl::TRect(left, gtop, left + iw, gtop + ih);
    data.TextRect.Left = data.GlyphRect.Right + FTabSpacing;
    if (active && enlarged && shift)
      data.GlyphRect = Moved(data.GlyphRect, 1, Style() == vcl::tsTabs ? 1 : 0);
  } else if (FTabAlignment == vcl::taLeftJustify || hasBtn || !EmptyRect(data.ArrowRect) ||
             (FShowCloseBtns && page->TabType() == ttTab)) {
    data.TextRect.Left = r.Left + FTabMargin + FTabPadding;
  } else if (FTabAlignment == vcl::taRightJustify) {
    data.TextRect.Left = r.Right - textW - FTabMargin;
  } else {
    data.TextRect.Left = r.Left + (r.Width() - textW) / 2;
  }
  // Nothing placed at the end of the tab: the caption keeps 3 px off it.
  const int limit = data.ArrowRect.Left == data.BtnRect.Right ? data.TextRect.Right - 3 : data.TextRect.Right;
  data.TextRect.Right = std::min(data.TextRect.Left + textW + 2, limit);
  data.TextRect.Top += (data.TextRect.Height() - textH) / 2;
  data.TextRect.Bottom = data.TextRect.Top + textH;
  if (arrowBelow) {
    data.TextRect = Moved(data.TextRect, 0, -4);
    data.ArrowRect = square(data.TextRect.Left + (data.TextRect.Width() - kArrowSize) / 2, data.TextRect.Bottom,
                            kArrowSize);
    if (active && enlarged && shift) data.ArrowRect = Moved(data.ArrowRect, 1, 1);
  }
  if (FShowFocus && Focused() && active && enlarged && !caption.empty() && !special)
    data.FocusRect = vcl::TRect(data.TextRect.Left - 3, data.TextRect.Top, data.TextRect.Right + 3,
                                data.TextRect.Bottom + 3);
  if (active && enlarged && shift) data.TextRect = Moved(data.TextRect, 1, 1);
  data.TextPos = data.TextRect.TopLeft();
}

vcl::TRect TsPageControl::CloseBtnRect(int pageIndex) {
  if (!FShowCloseBtns || pageIndex < 0 || pageIndex >= PageCount()) return vcl::TRect();
  auto* page = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (!page || !page->TabVisible() || page->TabType() != ttTab || !page->UseCloseBtn()) return vcl::TRect();
  const bool active = page == ActivePage();
  vcl::TRect tab = Skinned() ? SkinTabRect(page->TabIndex(), active) : TabRect(page->TabIndex());
  if (!Skinned() && active) tab = Inflated(tab, 2, 2);
  if (EmptyRect(tab)) return vcl::TRect();
  vcl::TBitmap scratch(1, 1, vcl::pf32bit);
  scratch.Canvas()->Font()->Assign(Font());
  TlvTabData data;
  InitTabContentData(scratch.Canvas(), page, vcl::TRect(0, 0, tab.Width(), tab.Height()), active ? 2 : 1, false, data);
  return EmptyRect(data.BtnRect) ? vcl::TRect() : Moved(data.BtnRect, tab.Left, tab.Top);
}

void TsPageControl::UpdateBtnData() {
  BtnWidth = BtnHeight = kBtnSize;
  BtnIndex = -1;
  if (Skinned()) {
    TsSkinManager* m = FCommonData->SkinManager();
    if (!FCloseBtnSkin.empty()) {
      BtnIndex = m->GetSkinIndex(FCloseBtnSkin);
    } else {
      const int global = m->ConstData.IndexGLobalInfo;
      BtnIndex = m->GetMaskIndex(global, L"SICONCLOSE");
      if (BtnIndex < 0) BtnIndex = m->GetMaskIndex(global, L"BICONCLOSE");
      if (m->IsValidImgIndex(BtnIndex)) {
        const TsMaskData& md = m->ma[static_cast<size_t>(BtnIndex)];
        BtnWidth = std::max(FrameWidth(md), 8);
        BtnHeight = FrameHeight(md);
      }
    }
  }
  if (!bUpdating && handle_) {
    bUpdating = true;
    SetPadding(FShowCloseBtns);
    bUpdating = false;
  }
}

void TsPageControl::SetPadding(bool showButtons) {
  if (!handle_) return;
  TsSkinManager* m = FCommonData->SkinManager();
  const int covering = Skinned() && m->CommonSkinData ? m->CommonSkinData->TabsCovering : 0;
  const int base = kOffsArray[showButtons ? 1 : 0][Images() ? 0 : 1];
  const int horizontal = showButtons ? BtnWidth / 2 + base + FTabPadding + covering : base + FTabPadding + covering;
  // The system's default padding is 6 by 3; only a control that asks for more changes it.
  if (!showButtons && FTabPadding == 0 && covering == 0) return;
  SendMessageW(handle_, TCM_SETPADDING, 0, MAKELPARAM(static_cast<WORD>(horizontal), 3));
  // The tabs are measured again only when their items are set again.
  UpdateTabs();
  Realign();
}

// Painting.

int TsPageControl::SkinTabSection(int pageIndex, int& covering) {
  TsSkinManager* m = FCommonData->SkinManager();
  covering = 0;
  auto* page = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (page && page->TabType() != ttTab) {
    int i = !page->TabSkin().empty() ? m->GetSkinIndex(page->TabSkin()) : m->ConstData.Sections[ssMenuButton];
    if (i < 0) i = m->ConstData.Sections[page->TabType() == ttMenu ? ssMenuItem : ssSpeedButton];
    return i;
  }
  if (page && !page->TabSkin().empty()) {
    if (Style() == vcl::tsTabs) covering = Covering(this, page);
    return m->GetSkinIndex(page->TabSkin());
  }
  // Buttons are painted as the skin's buttons: they lie apart and cover nothing.
  if (Style() == vcl::tsButtons) return m->ConstData.Sections[ssButton];
  if (Style() == vcl::tsFlatButtons) {
    const int i = m->ConstData.Sections[ssToolButton];
    return i >= 0 ? i : m->ConstData.Sections[ssSpeedButton];
  }
  covering = Covering(this, page);
  const int side = SideOf(TabPosition());
  const int layout = GetTabLayout(pageIndex);
  int i = m->ConstData.Tabs[static_cast<size_t>(layout * 4 + side)].SkinIndex;
  if (i < 0) i = m->ConstData.Tabs[static_cast<size_t>(tlSingle * 4 + side)].SkinIndex;
  return i;
}

void TsPageControl::DrawSkinTab(int pageIndex, int state, vcl::TBitmap* target) {
  TsSkinManager* m = FCommonData->SkinManager();
  if (pageIndex < 0 || pageIndex >= PageCount() || !m) return;
  auto* page = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (!page || !page->TabVisible()) return;
  if (m->ConstData.Tabs[static_cast<size_t>(tlSingle * 4 + asTop)].SkinIndex < 0) return;
  const bool special = page->TabType() != ttTab;
  vcl::TRect r = SkinTabRect(page->TabIndex(), state == 2 && !special);
  if (EmptyRect(r) || (state != 0 && r.Left < 0)) return;
  int covering = 0;
  const int section = SkinTabSection(pageIndex, covering);
  if (special) {
    const bool side = TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight;
    r = side ? Inflated(r, -2, -1) : Inflated(r, -1, -2);
  }
  auto bmp = CreateBmp32(r.Width(), r.Height());
  vcl::TCanvas* c = bmp->Canvas();
  c->Font()->Assign(page->SkinData()->CustomFont() ? page->Font() : Font());
  int st = state;
  if (m->IsValidSkinIndex(section)) {
    const TsGeneralData& gd = m->gd[static_cast<size_t>(section)];
    st = std::max(0, std::min(state, gd.States - 1));
    if (!page->SkinData()->CustomFont())
      c->Font()->SetColor(gd.Props[static_cast<size_t>(std::min(state, 2))].FontColor.Color);
  } else if (!page->SkinData()->CustomFont()) {
    c->Font()->SetColor(Font()->Color());
  }
  if (FActiveIsBold && page == ActivePage()) c->Font()->SetStyle(c->Font()->Style() + vcl::fsBold);
  c->Brush()->SetStyle(vcl::bsClear);
  // The strip's background at the tab's place first, so that every tab lies over it where it stands.
  const vcl::TRect bgr = TabsBGRect();
  BitBlt(c->Handle(), 0, 0, r.Width(), r.Height(), TabsBG->Canvas()->Handle(), r.Left - bgr.Left, r.Top - bgr.Top,
         SRCCOPY);
  if (m->IsValidSkinIndex(section)) {
    TCacheInfo ci = MakeCacheInfo(TabsBG.get(), -bgr.Left, -bgr.Top);
    PaintItem(section, ci, true, st, vcl::Rect(0, 0, r.Width(), r.Height()), r.TopLeft(), bmp.get(), m);
  }
  if (OwnerDraw()) {
    // The owner draws over the tab's background, in the control's coordinates.
    BitBlt(target->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), c->Handle(), 0, 0, SRCCOPY);
    if (!OnDrawTab) return;
    GdiFlush();
    HDC tdc = target->Canvas()->Handle();
    const int saved = SaveDC(tdc);
    Canvas()->Lock();
    Canvas()->SetHandle(tdc);
    Canvas()->SetFont(c->Font());
    Canvas()->Brush()->SetStyle(vcl::bsClear);
    OnDrawTab(this, page->TabIndex(), r, state != 0);
    Canvas()->SetHandle(nullptr);
    Canvas()->Unlock();
    RestoreDC(tdc, saved);
    return;
  }
  vcl::TRect content(0, 0, r.Width(), r.Height());
  const bool side = TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight;
  content = side ? Inflated(content, 0, -2 * covering) : Inflated(content, -2 * covering, 0);
  TlvTabData data;
  InitTabContentData(c, page, content, state, special, data);
  const rtl::String caption = page->Caption();
  UINT flags = DT_SINGLELINE | DT_VCENTER;
  if (EmptyRect(data.ArrowRect)) flags |= DT_END_ELLIPSIS;
  if (!EmptyRect(data.GlyphRect)) {
    vcl::TCustomImageList* images = Images();
    GdiFlush();
    if (dynamic_cast<TsAlphaImageList*>(images) && m->Effects() && m->Effects()->DiscoloredGlyphs()) {
      // Grey until the tab is hot or active.
      const vcl::TColor grey = state != 0 ? vcl::clNone
                               : m->IsValidSkinIndex(section)
                                   ? static_cast<vcl::TColor>(m->gd[static_cast<size_t>(section)].Props[0].Color)
                                   : vcl::clBtnFace;
      DrawAlphaImgList(images, bmp.get(), data.GlyphRect.Left, data.GlyphRect.Top, page->ImageIndex(), 0, grey, 0, 1,
                       FReflectedGlyphs);
    } else if (dynamic_cast<TsAlphaImageList*>(images)) {
      DrawAlphaImgList(images, bmp.get(), data.GlyphRect.Left, data.GlyphRect.Top, page->ImageIndex(), 0, vcl::clNone,
                       0, 1, FReflectedGlyphs);
    } else {
      images->Draw(c, data.GlyphRect.Left, data.GlyphRect.Top, page->ImageIndex(), true);
      GdiFlush();
      FillAlphaRect(bmp.get(), data.GlyphRect, 255);
    }
  }
  const bool vertical = side != FRotateCaptions;
  if (vertical) {
    // Cut first: the canvas selects its own font again when it measures.
    const rtl::String cut = CutText(c, caption, data.TextRect.Height());
    HDC dc = c->Handle();
    HFONT old = MakeAngledFont(dc, c->Font(), -2700);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, vcl::ColorToGdi(c->Font()->Color()));
    RECT clip = data.TextRect;
    ExtTextOutW(dc, data.TextPos.X, data.TextPos.Y, ETO_CLIPPED, &clip, cut.c_str(),
                static_cast<UINT>(cut.size()), nullptr);
    DeleteObject(SelectObject(dc, old));
    GdiFlush();
    FillAlphaRect(bmp.get(), data.TextRect, 255);
  } else if (m->IsValidSkinIndex(section) && !page->SkinData()->CustomFont()) {
    vcl::TRect tr = data.TextRect;
    WriteText32(bmp.get(), caption.c_str(), true, tr, flags, section, state != 0, m);
  } else {
    HDC dc = c->Handle();
    SelectObject(dc, c->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, vcl::ColorToGdi(c->Font()->Color()));
    RECT tr = data.TextRect;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, flags);
    GdiFlush();
    FillAlphaRect(bmp.get(), data.TextRect, 255);
  }
  if (!EmptyRect(data.FocusRect)) {
    c->Pen()->SetColor(vcl::clWindowFrame);
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(vcl::clBtnFace);
    c->DrawFocusRect(data.FocusRect);
  }
  if (!EmptyRect(data.BtnRect))
    PaintButton(c->Handle(), data.BtnRect,
                (pageIndex == FHoveredBtnIndex ? 1 : 0) + (pageIndex == FPressedBtnIndex ? 1 : 0));
  if (!EmptyRect(data.ArrowRect)) {
    vcl::TColor arrow = Font()->Color();
    if (m->IsValidSkinIndex(section)) arrow = m->gd[static_cast<size_t>(section)].Props[static_cast<size_t>(std::min(st, 2))].FontColor.Color;
    DrawColorArrow(c, arrow, data.ArrowRect, data.ArrowDirection);
  }
  if (!page->Enabled() || !enabled_) {
    // A disabled tab shows 40 % of itself over what lies under it.
    auto under = CreateBmp32(r.Width(), r.Height());
    BitBlt(under->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), target->Canvas()->Handle(), r.Left, r.Top,
           SRCCOPY);
    BlendTransRectangle(bmp.get(), 0, 0, under.get(), vcl::Rect(0, 0, r.Width(), r.Height()), 1.0 - DefDisabledBlend,
                        0xFF00FF);
  }
  BitBlt(target->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), c->Handle(), 0, 0, SRCCOPY);
}

void TsPageControl::DrawSkinTabs(vcl::TBitmap* bmp) {
  if (ComponentState().Contains(vcl::csDestroying)) return;
  TsSkinManager* m = FCommonData->SkinManager();
  const TCacheInfo ci = GetParentCache(FCommonData.get());
  const vcl::TRect tabs = TabsRect();
  auto fillParent = [&](const vcl::TRect& r) {
    if (EmptyRect(r)) return;
    if (ci.Ready && ci.Bmp) {
      BitBlt(bmp->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), ci.Bmp->Canvas()->Handle(),
             ci.X + left_ + r.Left, ci.Y + top_ + r.Top, SRCCOPY);
    } else {
      const vcl::TColor color = ci.FillColor != 0xFF00FF ? ci.FillColor
                                : Parent()                 ? GetControlColor(Parent())
                                                           : vcl::clBtnFace;
      FillRect32(bmp, r, color, 255);
    }
  };
  if (ActivePage() && ActivePage()->TabVisible()) {
    const vcl::TRect act = SkinTabRect(ActivePage()->TabIndex(), true);
    const vcl::TRect page = PageRect();
    vcl::TRect inter(std::max(act.Left, page.Left), std::max(act.Top, page.Top), std::min(act.Right, page.Right),
                     std::min(act.Bottom, page.Bottom));
    fillParent(inter);
  }
  fillParent(tabs);
  if (FTabsLineIndex >= 0 && m->IsValidSkinIndex(FTabsLineIndex) && !EmptyRect(tabs))
    PaintItem(FTabsLineIndex, ci, true, 0, tabs, vcl::TPoint(left_, top_), bmp, m);
  if (bmp == FCommonData->CacheBmp()) {
    const vcl::TRect bgr = TabsBGRect();
    TabsBG = CreateBmp32(std::max(bgr.Width(), 1), std::max(bgr.Height(), 1));
    BitBlt(TabsBG->Canvas()->Handle(), 0, 0, bgr.Width(), bgr.Height(), bmp->Canvas()->Handle(), bgr.Left, bgr.Top,
           SRCCOPY);
    FillAlphaRect(TabsBG.get(), vcl::Rect(0, 0, TabsBG->Width(), TabsBG->Height()), 255);
  }
  const int active = ActivePageIndex();
  const bool activeIsTab = active >= 0 && !IsSpecialTab(active);
  for (int i = PageCount() - 1; i >= 0; --i) {
    if (i == active && activeIsTab) continue;
    const bool notTab = IsSpecialTab(i);
    const int state = (i == DroppedDownItem || (i == FPressedBtnIndex && notTab)) ? 2 : i == FCurItem ? 1 : 0;
    DrawSkinTab(i, state, bmp);
  }
  if (activeIsTab && VisibleTabsCount() > 0) DrawSkinTab(active, 2, bmp);
}

bool TsPageControl::PrepareCache() {
  FCommonData->InitCacheBmp();
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  TCacheInfo ci = GetParentCache(FCommonData.get());
  const vcl::TRect r = PageRect();
  PaintItem(FCommonData.get(), ci, false, 0, r, vcl::TPoint(left_, top_), cache, true);
  if (ActivePage()) {
    auto* page = dynamic_cast<TsTabSheet*>(ActivePage());
    TsSkinManager* m = FCommonData->SkinManager();
    if (page && !page->SkinData()->SkinSection().empty()) {
      const int idx = m->GetSkinIndex(page->SkinData()->SkinSection());
      if (idx >= 0) {
        const vcl::TRect b = page->BoundsRect();
        PaintItem(idx, ci, true, 0, b, vcl::TPoint(left_, top_), cache, m);
      }
    }
  }
  if (VisibleTabsCount() > 0) DrawSkinTabs(cache);
  FCommonData->BGChanged = false;
  StoredVisiblePageCount = VisibleTabsCount();
  return true;
}

rtl::String TsPageControl::SpinSection() const {
  TsSkinManager* m = FCommonData->SkinManager();
  return m && m->ConstData.Sections[ssUpDown] >= 0 ? rtl::String(L"UPDOWNBTN") : rtl::String(L"BUTTON");
}

void TsPageControl::CheckUpDown() {
  if (!handle_ || ComponentState().Contains(vcl::csLoading)) return;
  HWND spin = FindWindowExW(handle_, nullptr, UPDOWN_CLASSW, nullptr);
  if (!Skinned()) {
    if (FSpinWnd) {
      FSpinWnd.reset();
      if (spin) RedrawWindow(spin, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return;
  }
  if (!spin) {
    FSpinWnd.reset();
    return;
  }
  if (!FShowUpDown) {
    FSpinWnd.reset();
    DestroyWindow(spin);
    return;
  }
  if (FSpinWnd && FSpinWnd->CtrlHandle == spin) {
    FSpinWnd->SkinSection = SpinSection();
    FSpinWnd->SkinManager = FCommonData->SkinManager();
  } else {
    FSpinWnd.reset();
    FSpinWnd = std::make_unique<TlvTabsSpinWnd>(spin, SpinSection(), this);
  }
  InvalidateRect(spin, nullptr, FALSE);
}

void TsPageControl::SetShowUpDown(bool value) {
  if (FShowUpDown == value) return;
  FShowUpDown = value;
  if (!handle_) return;
  if (value) {
    if (!ComponentState().Contains(vcl::csLoading)) RecreateWnd();
    return;
  }
  HWND spin = FSpinWnd && FSpinWnd->CtrlHandle ? FSpinWnd->CtrlHandle : FindWindowExW(handle_, nullptr, UPDOWN_CLASSW, nullptr);
  FSpinWnd.reset();
  if (spin) DestroyWindow(spin);
}

void TsPageControl::InitializeWnd() {
  inherited::InitializeWnd();
  if (FShowCloseBtns || FTabPadding != 0) UpdateBtnData();
}

bool TsPageControl::PaintsItself() const {
  // The system draws neither close buttons nor captions turned across the tab; button tabs are drawn here so that
  // their hot, pressed and special looks are the control's own.
  return Skinned() || FShowCloseBtns || FRotateCaptions || Style() != vcl::tsTabs || inherited::PaintsItself();
}

void TsPageControl::PaintWindow(HDC dc) {
  if (Skinned()) {
    if (FCommonData->BGChanged || !FCommonData->CacheBmp() || FCommonData->CacheBmp()->Width() != width_ ||
        FCommonData->CacheBmp()->Height() != height_)
      PrepareCache();
    vcl::TBitmap* cache = FCommonData->CacheBmp();
    BitBlt(dc, 0, 0, width_, height_, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  if (!FShowCloseBtns && !FRotateCaptions && Style() == vcl::tsTabs) {
    inherited::PaintWindow(dc);
    return;
  }
  StdPaint(dc);
}

void TsPageControl::StdPaint(HDC dc) {
  auto bmp = CreateBmp32(std::max(width_, 1), std::max(height_, 1));
  HDC bdc = bmp->Canvas()->Handle();
  RECT all{0, 0, width_, height_};
  RECT body = PageRect();
  if (Style() != vcl::tsTabs) {
    // Button tabs have no page frame.
    FillColour(bdc, all, color_);
  } else if (lvThemesEnabled() && handle_) {
    DrawThemeParentBackground(handle_, bdc, &all);
    DrawThemed(handle_, bdc, VSCLASS_TAB, TABP_BODY, 0, all);
    DrawThemeParentBackground(handle_, bdc, &body);
    DrawThemed(handle_, bdc, VSCLASS_TAB, TABP_PANE, 0, body);
  } else {
    FillColour(bdc, all, color_);
    DrawEdge(bdc, &body, EDGE_RAISED, BF_RECT);
  }
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i) != ActivePage())
      DrawStdTab(i, i == DroppedDownItem ? 2 : i == FCurItem && (HotTrack() || IsSpecialTab(i)) ? 1 : 0, bmp.get());
  if (ActivePage() && !IsSpecialTab(ActivePageIndex())) DrawStdTab(ActivePageIndex(), 2, bmp.get());
  GdiFlush();
  BitBlt(dc, 0, 0, width_, height_, bdc, 0, 0, SRCCOPY);
  StoredVisiblePageCount = VisibleTabsCount();
}

void TsPageControl::DrawStdTab(int pageIndex, int state, vcl::TBitmap* target) {
  auto* page = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (!page || !page->TabVisible()) return;
  const bool special = page->TabType() != ttTab;
  const bool side = TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight;
  vcl::TRect r = TabRect(page->TabIndex());
  if (EmptyRect(r)) return;
  const vcl::TTabStyle style = Style();
  if (special) r = side ? Inflated(r, -1, -3) : Inflated(r, -3, -1);
  else if (state == 2 && style == vcl::tsTabs) r = Inflated(r, 2, 2);
  auto bmp = CreateBmp32(r.Width(), r.Height());
  vcl::TCanvas* c = bmp->Canvas();
  HDC dc = c->Handle();
  RECT all{0, 0, r.Width(), r.Height()};
  const bool themed = lvThemesEnabled();
  const int look = std::clamp(state, 0, 2);
  // A menu tab's caption takes the menu's colours.
  vcl::TColor menuFont = vcl::clNone;
  if (special && themed && state == 0) {
    // Over what lies under it.
    BitBlt(dc, 0, 0, r.Width(), r.Height(), target->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
  } else {
    FillColour(dc, all, color_);
  }
  if (special) {
    if (page->TabType() == ttMenu) {
      if (state == 0) {
        if (themed) menuFont = vcl::clMenuText;
      } else {
        FillColour(dc, RECT{1, 1, r.Width() - 1, r.Height() - 1}, vcl::clMenuHighlight);
        menuFont = vcl::clHighlightText;
      }
    } else if (!(themed && DrawThemed(handle_, dc, VSCLASS_TOOLBAR, TP_BUTTON,
                                      look == 0 ? TS_NORMAL : look == 1 ? TS_HOT : TS_PRESSED, all))) {
      // A flat button that rises under the mouse and sinks when pressed.
      if (look == 1) Frame3D(dc, all, RGB(255, 255, 255), vcl::ColorToGdi(vcl::ColorToRGB(vcl::clBtnShadow)));
      if (look == 2) Frame3D(dc, all, vcl::ColorToGdi(vcl::ColorToRGB(vcl::clBtnShadow)), RGB(255, 255, 255));
    }
  } else if (style == vcl::tsTabs) {
    const int pos = TabPosition();
    bool done = false;
    if (themed && pos == vcl::tpTop) {
      done = DrawThemed(handle_, dc, VSCLASS_TAB, TABP_TABITEM,
                        look == 0 ? TIS_NORMAL : look == 1 ? TIS_HOT : TIS_SELECTED, all);
    } else if (themed) {
      // Reaching past the side that meets the page, so that no edge shows there.
      RECT over = all;
      if (pos == vcl::tpBottom) over.top -= 6;
      if (pos == vcl::tpLeft) over.right += 6;
      if (pos == vcl::tpRight) over.left -= 6;
      done = look == 2 ? DrawThemed(handle_, dc, VSCLASS_TAB, TABP_PANE, 0, over)
                       : DrawThemed(handle_, dc, VSCLASS_TOOLBAR, TP_BUTTON, look == 0 ? TS_PRESSED : TS_HOT, over);
    }
    if (!done) {
      // The edge that meets the page is left open.
      static const UINT kOpen[4] = {BF_BOTTOM, BF_TOP, BF_RIGHT, BF_LEFT};
      DrawEdge(dc, &all, EDGE_RAISED, BF_RECT & ~kOpen[pos]);
    }
  } else if (style == vcl::tsButtons) {
    if (!(themed && DrawThemed(handle_, dc, VSCLASS_BUTTON, BP_PUSHBUTTON,
                               look == 0 ? PBS_NORMAL : look == 1 ? PBS_HOT : PBS_PRESSED, all)))
      DrawEdge(dc, &all, look == 2 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else {
    // Flat buttons: a groove before each one that does not start the row, a frame only when hot or down.
    if (r.Left > 6) {
      RECT sep{r.Left - 6, r.Top, r.Left, r.Bottom};
      DrawEdge(target->Canvas()->Handle(), &sep, EDGE_ETCHED, BF_LEFT);
    }
    if (themed && DrawThemed(handle_, dc, VSCLASS_TOOLBAR, TP_BUTTON,
                             look == 0 ? TS_NORMAL : look == 1 ? TS_HOT : TS_PRESSED, all)) {
    } else if (look == 2) {
      FillColour(dc, all, vcl::cl3DLight);
      DrawEdge(dc, &all, EDGE_SUNKEN, BF_RECT);
    } else if (look == 1) {
      DrawEdge(dc, &all, BDR_RAISEDINNER, BF_RECT);
    }
  }
  c->Font()->Assign(page->SkinData()->CustomFont() ? page->Font() : Font());
  if (FActiveIsBold && page == ActivePage()) c->Font()->SetStyle(c->Font()->Style() + vcl::fsBold);
  vcl::TColor color = page->SkinData()->CustomFont() ? page->Font()->Color() : vcl::clBtnText;
  if (menuFont != vcl::clNone) color = menuFont;
  if (!page->Enabled() || !enabled_) color = MixColors(vcl::ColorToRGB(color), vcl::ColorToRGB(vcl::clBtnFace), DefDisabledBlend);
  TlvTabData data;
  InitTabContentData(c, page, vcl::TRect(0, 0, r.Width(), r.Height()), state, special, data);
  const rtl::String caption = page->Caption();
  if (!EmptyRect(data.GlyphRect)) {
    Images()->Draw(c, data.GlyphRect.Left, data.GlyphRect.Top, page->ImageIndex(), page->Enabled() && enabled_);
    GdiFlush();
  }
  SetBkMode(dc, TRANSPARENT);
  if (side != FRotateCaptions) {
    const rtl::String cut = CutText(c, caption, data.TextRect.Height());
    HFONT old = MakeAngledFont(dc, c->Font(), -2700);
    SetTextColor(dc, vcl::ColorToGdi(color));
    RECT clip = data.TextRect;
    ExtTextOutW(dc, data.TextPos.X, data.TextPos.Y, ETO_CLIPPED, &clip, cut.c_str(), static_cast<UINT>(cut.size()),
                nullptr);
    DeleteObject(SelectObject(dc, old));
  } else {
    SelectObject(dc, c->Font()->Handle());
    SetTextColor(dc, vcl::ColorToGdi(color));
    RECT tr = data.TextRect;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr,
              DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
  }
  if (!EmptyRect(data.FocusRect)) {
    RECT fr = data.FocusRect;
    DrawFocusRect(dc, &fr);
  }
  if (!EmptyRect(data.BtnRect))
    DrawCloseBtn(dc, data.BtnRect, (pageIndex == FHoveredBtnIndex ? 1 : 0) + (pageIndex == FPressedBtnIndex ? 1 : 0));
  if (!EmptyRect(data.ArrowRect)) DrawColorArrow(c, color, data.ArrowRect, data.ArrowDirection);
  GdiFlush();
  BitBlt(target->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), dc, 0, 0, SRCCOPY);
}

void TsPageControl::WMEraseBkgnd(vcl::TMessage& m) {
  if (Skinned()) {
    m.Result = 1;
    return;
  }
  inherited::WMEraseBkgnd(m);
}

void TsPageControl::PaintButton(HDC dc, const vcl::TRect& r, int state) {
  TsSkinManager* m = FCommonData->SkinManager();
  if (BtnIndex < 0 || !m) return;
  auto bmp = CreateBmp32(r.Width(), r.Height());
  BitBlt(bmp->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, r.Left, r.Top, SRCCOPY);
  if (!FCloseBtnSkin.empty()) {
    PaintItem(BtnIndex, MakeCacheInfo(bmp.get()), true, state, vcl::Rect(0, 0, r.Width(), r.Height()),
              vcl::TPoint(0, 0), bmp.get(), m);
    HDC bdc = bmp->Canvas()->Handle();
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(bdc, pen);
    MoveToEx(bdc, 4, 4, nullptr);
    LineTo(bdc, r.Width() - 5, r.Height() - 5);
    MoveToEx(bdc, 4, r.Height() - 5, nullptr);
    LineTo(bdc, r.Width() - 5, 4);
    DeleteObject(SelectObject(bdc, old));
  } else if (m->IsValidImgIndex(BtnIndex)) {
    const TsMaskData& md = m->ma[static_cast<size_t>(BtnIndex)];
    DrawSkinGlyph(bmp.get(), vcl::TPoint(r.Width() - FrameWidth(md), (r.Height() - FrameHeight(md)) / 2), state, 1, md,
                  MakeCacheInfo(bmp.get()));
  }
  GdiFlush();
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsPageControl::DrawCloseBtn(HDC dc, const vcl::TRect& r, int state) {
  if (lvThemesEnabled() &&
      DrawThemed(handle_, dc, VSCLASS_WINDOW, WP_SMALLCLOSEBUTTON,
                 state == 0 ? CBS_NORMAL : state == 1 ? CBS_HOT : CBS_PUSHED, RECT(r)))
    return;
  // Classic: a white frame, a red fill by state, a white cross.
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  RECT rr = r;
  FrameRect(dc, &rr, white);
  InflateRect(&rr, -1, -1);
  const COLORREF fill = state == 0 ? RGB(0xAB, 0x58, 0x58) : state == 1 ? RGB(0xFF, 0, 0) : RGB(0x80, 0, 0);
  HBRUSH b = CreateSolidBrush(fill);
  FillRect(dc, &rr, b);
  DeleteObject(b);
  DeleteObject(white);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, rr.left + 3, rr.top + 3, nullptr);
  LineTo(dc, rr.right - 4, rr.bottom - 4);
  MoveToEx(dc, rr.left + 3, rr.bottom - 4, nullptr);
  LineTo(dc, rr.right - 4, rr.top + 3);
  DeleteObject(SelectObject(dc, old));
}

void TsPageControl::SetCurItem(int value) {
  if (FCurItem == value) return;
  const int old = FCurItem;
  FCurItem = value;
  if (DroppedDownItem >= 0) return;
  // The active tab keeps its look unless it carries a close button that shows the hover.
  auto repaint = [&](int i) {
    if (i >= 0 && i < PageCount() && (i != ActivePageIndex() || FShowCloseBtns)) RepaintTab(i, true);
  };
  repaint(value);
  repaint(old);
}

int TsPageControl::GetTabState(int pageIndex) {
  if (pageIndex != FCurItem || pageIndex < 0) return 0;
  if (pageIndex == FPressedBtnIndex) return 4;
  if (pageIndex == FHoveredBtnIndex) return 3;
  if (pageIndex == DroppedDownItem) return 2;
  return 1;
}

void TsPageControl::KillTimers() {
  for (int i = 0; i < PageCount(); ++i)
    if (auto* page = dynamic_cast<TsTabSheet*>(Pages(i)); page && page->AnimTimer) {
      page->AnimTimer->SetEnabled(false);
      delete page->AnimTimer;
      page->AnimTimer = nullptr;
    }
}

bool TsPageControl::TabFading() {
  for (int i = 0; i < PageCount(); ++i)
    if (auto* page = dynamic_cast<TsTabSheet*>(Pages(i)); page && page->AnimTimer && page->AnimTimer->Enabled())
      return true;
  return false;
}

namespace {

// One step of a tab's fade: the old look blended towards the new one, drawn straight into the control's window.
bool UpdateTab_CB(rtl::TObject* data, int iteration) {
  auto* page = dynamic_cast<TsTabSheet*>(data);
  if (!page || !page->AnimTimer) return false;
  TlvThreadedTimer* t = page->AnimTimer;
  TsPageControl* pc = page->SkinnedPageControl();
  if (!pc || !t->BmpFrom || !t->BmpTo || !pc->HandleAllocated()) return false;
  t->Value += t->ValueStep;
  // The last step shows the new look exactly, whatever the start iteration left of the way.
  const int a = iteration >= t->Iterations ? 255 : std::clamp(static_cast<int>(t->Value + 0.5), 0, 255);
  if (!t->BmpOut || t->BmpOut->Width() != t->BmpFrom->Width() || t->BmpOut->Height() != t->BmpFrom->Height())
    t->BmpOut = CreateBmp32(t->BmpFrom->Width(), t->BmpFrom->Height());
  BitBlt(t->BmpOut->Canvas()->Handle(), 0, 0, t->BmpFrom->Width(), t->BmpFrom->Height(),
         t->BmpFrom->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (t->BmpTo->Width() == t->BmpOut->Width() && t->BmpTo->Height() == t->BmpOut->Height())
    SumBitmaps(t->BmpOut.get(), t->BmpTo.get(), 255 - a);
  GdiFlush();
  HDC dc = GetDC(pc->Handle());
  BitBlt(dc, t->AnimRect.Left, t->AnimRect.Top, t->AnimRect.Width(), t->AnimRect.Height(),
         t->BmpOut->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(pc->Handle(), dc);
  return iteration < t->Iterations;
}

void InitTabData(TlvThreadedTimer* t, TsTabSheet* page, int start, bool fast, int state) {
  t->SetEnabled(false);
  t->Iterations = state == 0 ? 20 : 10;
  if (fast) t->Iterations /= 2;
  const int running = t->State;
  int iteration = 0;
  if (state == 1 && (running == 0 || running == 2 || running == 3)) iteration = start;
  if (state == 0 && running == 1) iteration = std::max(0, 20 - 2 * t->Iteration);
  iteration = std::min(iteration, t->Iterations);
  t->Iteration = iteration;
  t->Value = std::clamp(std::round(iteration * 255.0 / t->Iterations), 0.0, 255.0);
  t->ValueStep = (255 - t->Value) / t->Iterations;
  t->AnimData = page;
  t->AnimProc = UpdateTab_CB;
  t->SetInterval(10);
  t->OldState = running;
  t->State = state;
  t->SetEnabled(true);
}

}  // namespace

void TsPageControl::RepaintTab(int pageIndex, bool animate) {
  if (pageIndex < 0 || pageIndex >= PageCount() || !handle_) return;
  auto* page = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (!page || !page->TabVisible()) return;
  if (!Skinned()) {
    // The system paints the tabs (or StdPaint with close buttons): the tab's place is painted again.
    vcl::TRect r = Inflated(TabRect(page->TabIndex()), 2, 2);
    RECT rr = r;
    InvalidateRect(handle_, &rr, FALSE);
    return;
  }
  if (FCommonData->UpdatingFlag()) return;
  vcl::TBitmap* cache = FCommonData->CacheBmp();
  if (FCommonData->BGChanged || !cache || cache->Width() != width_ || cache->Height() != height_) {
    // No picture to fade from yet: the whole control is painted anew.
    FCommonData->BGChanged = true;
    InvalidateRect(handle_, nullptr, FALSE);
    return;
  }
  const vcl::TRect r = SkinTabRect(page->TabIndex(), page == ActivePage());
  if (EmptyRect(r)) return;
  // The strip as it is now, the tab's neighbours and the active tab over it included.
  auto strip = CreateBmp32(width_, height_);
  BitBlt(strip->Canvas()->Handle(), 0, 0, width_, height_, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  DrawSkinTabs(strip.get());
  GdiFlush();
  TsSkinManager* m = FCommonData->SkinManager();
  const bool animation = animate && m && m->Effects() && m->Effects()->AllowAnimation();
  if (animation) {
    const int state = GetTabState(pageIndex);
    const int v = GetNewTimer(page->AnimTimer, page, state);
    TlvThreadedTimer* t = page->AnimTimer;
    if (t->BmpTo) {
      t->BmpFrom = std::move(t->BmpTo);
    } else if (!t->BmpFrom) {
      TlvThreadedTimer::CopyFrom(t->BmpFrom, cache, r);
    }
    if (t->BmpFrom->Width() != r.Width() || t->BmpFrom->Height() != r.Height())
      TlvThreadedTimer::CopyFrom(t->BmpFrom, cache, r);
    TlvThreadedTimer::CopyFrom(t->BmpTo, strip.get(), r);
    t->AnimRect = r;
    if (t->State == -1 || t->State != state || !t->Enabled()) {
      InitTabData(t, page, v, (state == 2 && IsSpecialTab(pageIndex)) || state == 4, state);
      UpdateTab_CB(page, t->Iteration);
    }
  } else {
    HDC dc = GetDC(handle_);
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), strip->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
    ReleaseDC(handle_, dc);
  }
  // The cache keeps the new look, for the next painting of the control and of its sheets.
  BitBlt(cache->Canvas()->Handle(), 0, 0, width_, height_, strip->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TsPageControl::AnimatesPageSwitch() {
  TsSkinManager* m = FCommonData->SkinManager();
  return !ComponentState().Contains(vcl::csDesigning) && FAllowAnimSwitching && m && m->AnimEffects() &&
         m->AnimEffects()->PageChange()->Active() && m->Effects() && m->Effects()->AllowAnimation();
}

void TsPageControl::SwitchPage(vcl::TMessage& message, bool changing) {
  const bool animated = AnimatesPageSwitch();
  if (changing) {
    // The look before the switch is kept, over the control, until the new page fades in.
    if (animated) {
      PrepareForAnimation(this, atcFade);
      FCommonData->SetUpdatingFlag(true);
    }
    inherited::WndProc(message);
    if (message.Result != 0 || !ow) {
      FCommonData->SetUpdatingFlag(false);
      SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
      if (ow) {
        delete ow;
        ow = nullptr;
        lvAnimBmp.reset();
      }
    }
    return;
  }
  if (animated && ow) {
    KillTimers();
    FCommonData->SetUpdatingFlag(true);
    inherited::WndProc(message);
    FCommonData->SetUpdatingFlag(false);
    FCommonData->BGChanged = true;
    TsSkinManager* m = FCommonData->SkinManager();
    AnimShowControl(this, m->AnimEffects()->PageChange()->Time(), 255, atcFade);
    if (ActivePage() && ActivePage()->HandleAllocated())
      RedrawWindow(ActivePage()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return;
  }
  if (!ActivePage() || FCommonData->UpdatingFlag()) {
    inherited::WndProc(message);
    return;
  }
  FCommonData->SetUpdatingFlag(true);
  inherited::WndProc(message);
  FCommonData->SetUpdatingFlag(false);
  FCommonData->BGChanged = true;
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsPageControl::OpenTabMenu(int pageIndex) {
  auto* page = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (!page || !page->TabMenu()) return;
  DroppedDownItem = pageIndex;
  RepaintTab(pageIndex, false);
  if (!Skinned()) UpdateWindow(handle_);
  const vcl::TRect r = TabRect(page->TabIndex());
  const bool side = TabPosition() == vcl::tpLeft || TabPosition() == vcl::tpRight;
  // Beside a tab read downwards, under one read across.
  POINT p = side != FRotateCaptions ? POINT{r.Right, r.Top} : POINT{r.Left, r.Bottom - 2};
  ::ClientToScreen(handle_, &p);
  vcl::TPopupMenu* menu = page->TabMenu();
  menu->SetPopupComponent(this);
  TempControl = this;
  menu->Popup(p.x, p.y);
  menu->SetPopupComponent(nullptr);
  TempControl = nullptr;
}

bool TsPageControl::ClosePage(int pageIndex) {
  bool canClose = true;
  TlvCloseAction action = acaFree;
  if (OnCloseBtnClick) OnCloseBtnClick(this, pageIndex, canClose, action);
  if (!canClose || pageIndex < 0 || pageIndex >= PageCount()) return false;
  const int remembered = ActivePageIndex();
  vcl::TTabSheet* page = Pages(pageIndex);
  const bool wasActive = page == ActivePage();
  if (action == acaFree) {
    delete page;
  } else {
    page->SetTabVisible(false);
  }
  // The page that was shown stays shown when it is still there; a closed active page gives way to a neighbour.
  if (!wasActive && remembered >= 0 && remembered < PageCount() + (action == acaFree ? 1 : 0)) {
    // Pages after the freed one moved up by one.
    const int now = action == acaFree && remembered > pageIndex ? remembered - 1 : remembered;
    if (now >= 0 && now < PageCount()) SetActivePageIndex(now);
  } else if (wasActive) {
    vcl::TTabSheet* next = nullptr;
    for (int i = std::min(pageIndex, PageCount() - 1); i >= 0 && !next; --i)
      if (Pages(i)->TabVisible()) next = Pages(i);
    for (int i = pageIndex; i < PageCount() && !next; ++i)
      if (Pages(i)->TabVisible()) next = Pages(i);
    SetActivePage(next);
    if (OnChange) OnChange(this);
  }
  FHoveredBtnIndex = FPressedBtnIndex = FCurItem = -1;
  lvBtnPressed = false;
  FCommonData->BGChanged = true;
  if (handle_) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return true;
}

void TsPageControl::CMHintShow(vcl::TMessage& m) {
  auto* info = reinterpret_cast<vcl::THintInfo*>(m.LParam);
  if (info) {
    const int i = GetTabUnderMouse(info->CursorPos);
    if (i >= 0 && !Pages(i)->Hint().empty()) {
      info->HintStr = Pages(i)->Hint();
      m.Result = 0;
      return;
    }
  }
  inherited::CMHintShow(m);
}

void TsPageControl::WndProc(vcl::TMessage& message) {
  if (message.Msg == SM_LUMICMD) {
    const WORD cmd = message.WParamHi();
    if (cmd == LVC_GETDEFINDEX) {
      // A skin without a body section for this side paints the body as for top tabs.
      TsSkinManager* manager = FCommonData->SkinManager();
      int index = manager ? manager->GetSkinIndex(DefaultSection()) : -1;
      if (manager && index < 0) index = manager->GetSkinIndex(L"PAGECONTROL");
      message.Result = index + 1;
      return;
    }
    HandleSkinCommand(this, FCommonData.get(), message, nullptr, true);
    if (cmd == LVC_SETNEWSKIN || cmd == LVC_REMOVESKIN || cmd == LVC_REFRESH) {
      KillTimers();
      UpdateBtnData();
      SetTabsLineSkin(FTabsLineSkin);
      FCommonData->BGChanged = true;
      CheckUpDown();
      if (cmd == LVC_REFRESH && FSpinWnd && FSpinWnd->CtrlHandle)
        SendMessageW(FSpinWnd->CtrlHandle, SM_LUMICMD, message.WParam, message.LParam);
      if (handle_) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return;
  }
  const bool designing = ComponentState().Contains(vcl::csDesigning);
  switch (message.Msg) {
    case vcl::CM_DIALOGKEY:
      if (message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && ActivePage() && !designing) {
        // Ctrl+Tab: the next page with a tab, from the first after the last.
        const int n = PageCount();
        const int start = ActivePageIndex();
        for (int step = 1; step < n; ++step) {
          const int i = (start + step) % n;
          if (!Pages(i)->TabVisible()) continue;
          auto* page = dynamic_cast<TsTabSheet*>(Pages(i));
          if (page && page->TabType() != ttTab) continue;
          if ((page && !CanBeActive(page)) || !CanChange()) break;
          SetActivePage(Pages(i));
          Change();
          break;
        }
        message.Result = 1;
        return;
      }
      break;
    case WM_KEYDOWN:
      if ((message.WParam == VK_LEFT || message.WParam == VK_RIGHT) && ActivePage()) {
        const int dir = message.WParam == VK_LEFT ? -1 : 1;
        TsTabSheet* target = nullptr;
        for (int i = ActivePageIndex() + dir; i >= 0 && i < PageCount(); i += dir)
          if (Pages(i)->TabVisible()) {
            target = dynamic_cast<TsTabSheet*>(Pages(i));
            break;
          }
        if (!target || !CanBeActive(target)) return;
      }
      break;
    case WM_MOUSEMOVE:
      if (!designing && !ComponentState().Contains(vcl::csDestroying)) {
        const vcl::TPoint p(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
        const int i = GetTabUnderMouse(p);
        if (i >= 0 && Pages(i)->Enabled()) {
          inherited::WndProc(message);
          const vcl::TRect b = CloseBtnRect(i);
          // The close button's hover fades in and out on its tab alone, as the tab's own hover does.
          if (!EmptyRect(b) && b.Contains(p)) {
            if (FHoveredBtnIndex != i) {
              const int was = FHoveredBtnIndex;
              FHoveredBtnIndex = i;
              RepaintTab(i, true);
              if (was >= 0 && was != i) RepaintTab(was, true);
            }
          } else if (FHoveredBtnIndex >= 0) {
            const int was = FHoveredBtnIndex;
            FHoveredBtnIndex = FPressedBtnIndex = -1;
            RepaintTab(i, true);
            if (was != i) RepaintTab(was, true);
          }
          if (i != FCurItem) {
            if (FCurItem >= 0 && FCurItem < PageCount() && OnTabMouseLeave) OnTabMouseLeave(this, FCurItem);
            if (OnTabMouseEnter) OnTabMouseEnter(this, i);
            SetCurItem(i);
          }
          return;
        }
        FHoveredBtnIndex = FPressedBtnIndex = -1;
        if (FCurItem != -1) {
          lvBtnPressed = false;
          SetCurItem(-1);
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      if (!designing && enabled_) {
        const vcl::TPoint p(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
        const int i = GetTabUnderMouse(p);
        if (i < 0) break;
        auto* page = dynamic_cast<TsTabSheet*>(Pages(i));
        if (!page) break;
        const bool down = message.Msg == WM_LBUTTONDOWN;
        if (!page->Enabled() && !FAccessibleDisabledPages) return;
        if (page->TabType() == ttButton) {
          if (!page->Enabled()) break;
          const int was = FPressedBtnIndex;
          FPressedBtnIndex = down ? i : -1;
          RepaintTab(i, true);
          if (!down && was == i && page->OnClickBtn) page->OnClickBtn(page);
          return;
        }
        if (page->TabType() == ttMenu) {
          // The menu runs modally: it has closed again when Popup returns.
          if (down && page->TabMenu()) OpenTabMenu(i);
          DroppedDownItem = -1;
          FCurItem = -1;
          KillTimers();
          FCommonData->SetUpdatingFlag(false);
          FCommonData->BGChanged = true;
          if (handle_) {
            RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
            Perform(WM_NCPAINT, 0, 0);
          }
          return;
        }
        const vcl::TRect b = CloseBtnRect(i);
        if (!EmptyRect(b)) {
          if (b.Contains(p)) {
            FPressedBtnIndex = down ? i : -1;
            RepaintTab(i, true);
            if (down) {
              lvBtnPressed = true;
            } else if (lvBtnPressed) {
              lvBtnPressed = false;
              ClosePage(i);
            }
            return;
          }
          if (!CanBeActive(page)) return;
          if (!down) FPressedBtnIndex = -1;
          break;
        }
        if (page == ActivePage()) {
          if (down && CanFocus()) SetFocus();
          return;
        }
        if (!CanBeActive(page)) return;
      }
      break;
    case WM_MOUSELEAVE:
    case vcl::CM_MOUSELEAVE:
      if (!designing && FCurItem >= 0) {
        FHoveredBtnIndex = FPressedBtnIndex = -1;
        lvBtnPressed = false;
        if (FCurItem < PageCount() && OnTabMouseLeave) OnTabMouseLeave(this, FCurItem);
        SetCurItem(-1);
      }
      break;
    case WM_SIZE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case TCM_SETCURSEL:
      if (message.Msg != WM_SETFOCUS && message.Msg != WM_KILLFOCUS) KillTimers();
      FCommonData->BGChanged = true;
      inherited::WndProc(message);
      if (message.Msg == WM_SIZE) CheckUpDown();
      if (Skinned() && handle_) InvalidateRect(handle_, nullptr, FALSE);
      return;
    case WM_CREATE:
      inherited::WndProc(message);
      CheckUpDown();
      return;
    case vcl::CN_NOTIFY:
      if (Skinned() && message.LParam) {
        const UINT code = reinterpret_cast<NMHDR*>(message.LParam)->code;
        if (code == static_cast<UINT>(TCN_SELCHANGING) || code == static_cast<UINT>(TCN_SELCHANGE)) {
          SwitchPage(message, code == static_cast<UINT>(TCN_SELCHANGING));
          return;
        }
      }
      break;
    case TCM_SETIMAGELIST:
      inherited::WndProc(message);
      FCommonData->BGChanged = true;
      if (handle_) Perform(WM_SIZE, 0, MAKELPARAM(width_, height_));
      CheckUpDown();
      return;
    case WM_PARENTNOTIFY:
      inherited::WndProc(message);
      // The platform makes its scroll arrows when the tabs first overflow.
      if (LOWORD(message.WParam) == WM_CREATE && !designing) CheckUpDown();
      return;
    case WM_HSCROLL:
      FCommonData->BGChanged = true;
      inherited::WndProc(message);
      if (Skinned() && handle_)
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    default:
      break;
  }
  inherited::WndProc(message);
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGED:
    case vcl::CM_CONTROLLISTCHANGE:
    // The tabs were measured anew: the strip is painted again.
    case TCM_INSERTITEMW:
    case TCM_SETITEMW:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETITEMSIZE:
    case TCM_SETPADDING:
      FCommonData->BGChanged = true;
      break;
    case WM_LBUTTONDBLCLK:
      // The system's handling of the second press leaves a button tab as it drew it: the control's own look
      // is put back at once.
      if (FCurItem >= 0 && FCurItem < PageCount() && !designing) {
        auto* page = dynamic_cast<TsTabSheet*>(Pages(FCurItem));
        if (Style() != vcl::tsTabs || (page && page->TabType() == ttButton)) RepaintTab(FCurItem, false);
      }
      break;
    default:
      break;
  }
}

VCL_REGISTER(TsTabSkinData) {
  cls.Prop(L"CustomColor", &TsTabSkinData::CustomColor, &TsTabSkinData::SetCustomColor).Default(false);
  cls.Prop(L"CustomFont", &TsTabSkinData::CustomFont, &TsTabSkinData::SetCustomFont).Default(false);
  cls.Prop(L"SkinSection", &TsTabSkinData::SkinSection, &TsTabSkinData::SetSkinSection);
}

VCL_REGISTER(TsTabSheet) {
  cls.Prop(L"SkinData", &TsTabSheet::SkinData, &TsTabSheet::SetSkinData);
  cls.Prop(L"TabType", &TsTabSheet::TabType, &TsTabSheet::SetTabType).Default(ttTab);
  cls.Prop(L"TabSkin", &TsTabSheet::TabSkin, &TsTabSheet::SetTabSkin);
  cls.Prop(L"ButtonSkin", &TsTabSheet::ButtonSkin, &TsTabSheet::SetButtonSkin);
  cls.Prop(L"UseCloseBtn", &TsTabSheet::UseCloseBtn, &TsTabSheet::SetUseCloseBtn).Default(true);
  cls.Prop(L"TabMenu", &TsTabSheet::TabMenu, &TsTabSheet::SetTabMenu);
  cls.Prop(L"OnClickBtn", &TsTabSheet::OnClickBtn);
}

VCL_REGISTER(TsPageControl) {
  cls.Prop(L"SkinData", &TsPageControl::SkinData, &TsPageControl::SetSkinData);
  cls.Prop(L"ShowCloseBtns", &TsPageControl::ShowCloseBtns, &TsPageControl::SetShowCloseBtns).Default(false);
  cls.Prop(L"CloseBtnSkin", &TsPageControl::CloseBtnSkin, &TsPageControl::SetCloseBtnSkin);
  cls.Prop(L"ActiveIsBold", &TsPageControl::ActiveIsBold, &TsPageControl::SetActiveIsBold).Default(false);
  cls.Prop(L"ActiveTabEnlarged", &TsPageControl::ActiveTabEnlarged, &TsPageControl::SetActiveTabEnlarged)
      .Default(true);
  cls.Prop(L"ShowFocus", &TsPageControl::ShowFocus, &TsPageControl::SetShowFocus).Default(true);
  cls.Prop(L"AccessibleDisabledPages", &TsPageControl::AccessibleDisabledPages,
           &TsPageControl::SetAccessibleDisabledPages)
      .Default(true);
  cls.Prop(L"AllowAnimSwitching", &TsPageControl::AllowAnimSwitching, &TsPageControl::SetAllowAnimSwitching)
      .Default(true);
  cls.Prop(L"RotateCaptions", &TsPageControl::RotateCaptions, &TsPageControl::SetRotateCaptions).Default(false);
  cls.Prop(L"ReflectedGlyphs", &TsPageControl::ReflectedGlyphs, &TsPageControl::SetReflectedGlyphs).Default(false);
  cls.Prop(L"TabMargin", &TsPageControl::TabMargin, &TsPageControl::SetTabMargin).Default(3);
  cls.Prop(L"TabPadding", &TsPageControl::TabPadding, &TsPageControl::SetTabPadding).Default(0);
  cls.Prop(L"TabSpacing", &TsPageControl::TabSpacing, &TsPageControl::SetTabSpacing).Default(6);
  cls.Prop(L"TabAlignment", &TsPageControl::TabAlignment, &TsPageControl::SetTabAlignment).Default(vcl::taCenter);
  cls.Prop(L"TabsLineSkin", &TsPageControl::TabsLineSkin, &TsPageControl::SetTabsLineSkin);
  cls.Prop(L"OnCloseBtnClick", &TsPageControl::OnCloseBtnClick);
  cls.Prop(L"OnPageChanging", &TsPageControl::OnPageChanging);
  cls.Prop(L"OnTabMouseEnter", &TsPageControl::OnTabMouseEnter);
  cls.Prop(L"OnTabMouseLeave", &TsPageControl::OnTabMouseLeave);
}
