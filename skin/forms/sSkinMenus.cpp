#include "skin/forms/sSkinMenus.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

constexpr int kGlyphSize = 16;  // the image column of items without images
// The popup's client area sits inside the system's frame of this width; the background covers the whole window.
constexpr int kFrame = 3;

bool SkinLive(TsSkinManager* sm) { return sm && sm->CommonSkinData && sm->CommonSkinData->Active; }

// The text shown: everything before a tab, and what follows it right-aligned.
void SplitCaption(const rtl::String& caption, rtl::String& left, rtl::String& right) {
  const size_t tab = caption.find(L'\t');
  if (tab == rtl::String::npos) {
    left = caption;
    right.clear();
  } else {
    left = caption.substr(0, tab);
    right = caption.substr(tab + 1);
  }
}

vcl::TSize TextSize(HFONT font, const rtl::String& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, 800, 0};
  DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return vcl::TSize(text.empty() ? 0 : r.right - r.left, r.bottom - r.top);
}

void CopyRect(HDC dst, const vcl::TRect& d, HDC src, int sx, int sy) {
  if (d.Width() > 0 && d.Height() > 0) BitBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, sx, sy, SRCCOPY);
}

}  // namespace

TsSkinMenus::TsSkinMenus(TsSkinManager* owner) : TsSkinableMenus(owner) {}

TsSkinMenus::~TsSkinMenus() {
  // Items that outlive the manager go back to the platform's drawing.
  if (FActive && vcl::Application) InitItems(false);
  UnhookAll();
  ClearCache();
  if (FMenuFont) DeleteObject(FMenuFont);
}

TsMenuItemType TsSkinMenus::ItemKind(const vcl::TMenuItem* item) {
  const rtl::String& c = item->Caption();
  if (c == L"-") return smDivider;
  if (c.size() > 2 && c.front() == L'-' && c.back() == L'-') return smCaption;
  return smNormal;
}

HFONT TsSkinMenus::MenuFont() {
  if (!FMenuFont) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    FMenuFont = CreateFontIndirectW(&ncm.lfMenuFont);
  }
  return FMenuFont;
}

void TsSkinMenus::SetActive(bool value) {
  if (value == FActive) return;
  InitItems(value);
}

void TsSkinMenus::UpdateMenus() {
  ClearCache();
  const bool live = SkinLive(FOwner) && FOwner->SkinnedPopups();
  if (live != FActive)
    SetActive(live);
  else if (live)
    InitItems(true);  // menus made since the last skin
}

void TsSkinMenus::InitItems(bool a) {
  FActive = a;
  ClearCache();
  if (!vcl::Application) {
    if (!a) UnhookAll();
    return;
  }
  std::function<void(vcl::TComponent*)> walk = [&](vcl::TComponent* c) {
    for (int i = 0; i < c->ComponentCount(); ++i) {
      vcl::TComponent* child = c->Components(i);
      if (auto* popup = dynamic_cast<vcl::TPopupMenu*>(child))
        HookPopupMenu(popup, a);
      else if (auto* item = dynamic_cast<vcl::TMenuItem*>(child)) {
        if (!dynamic_cast<vcl::TMainMenu*>(item->GetParentMenu())) HookItem(item, a && FOwner->SkinnedPopups());
      }
      walk(child);
    }
  };
  walk(vcl::Application);
  if (!a) UnhookAll();
}

void TsSkinMenus::UnhookAll() {
  for (UINT command : FHooked)
    if (vcl::TMenuItem* item = vcl::FindMenuItemByCommand(command); item && item->DrawHandlersOwner() == this)
      item->SetDrawHandlers(nullptr, nullptr, nullptr);
  FHooked.clear();
}

void TsSkinMenus::HookItem(vcl::TMenuItem* item, bool active) {
  for (int i = 0; i < item->Count(); ++i) {
    vcl::TMenuItem* sub = item->Items(i);
    if (active) {
      if (!sub->OnAdvancedDrawItem && !sub->OnMeasureItem)
        sub->SetDrawHandlers(
            [this](rtl::TObject* s, vcl::TCanvas* c, int& w, int& h) { sMeasureItem(s, c, w, h); },
            [this](rtl::TObject* s, vcl::TCanvas* c, const vcl::TRect& r, UINT st) { sAdvancedDrawItem(s, c, r, st); },
            this);
      if (sub->DrawHandlersOwner() == this) FHooked.insert(sub->Command());
    } else if (sub->DrawHandlersOwner() == this) {
      sub->SetDrawHandlers(nullptr, nullptr, nullptr);
      FHooked.erase(sub->Command());
    }
    HookItem(sub, active);
  }
}

void TsSkinMenus::HookPopupMenu(vcl::TPopupMenu* menu, bool active) {
  if (!menu) return;
  // A popup laid out for the previous skin (or none) is measured again.
  ClearCache();
  HookItem(menu->Items(), active && SkinLive(FOwner) && FOwner->SkinnedPopups());
}

void TsSkinMenus::ClearCache() { MenuInfoArray.clear(); }

int TsSkinMenus::GetSkinBorderWidth() {
  if (FSkinBorderWidth >= 0) return FSkinBorderWidth;
  int w = 0;
  if (SkinLive(FOwner)) {
    const int m = FOwner->GetMaskIndex(L"MAINMENU", L"BORDERSMASK");
    if (FOwner->IsValidImgIndex(m)) {
      w = FOwner->ma[static_cast<size_t>(m)].BorderWidth;
      if (w <= 0) w = 3;
    }
  }
  FSkinBorderWidth = w;
  return w;
}

int TsSkinMenus::GetItemHeight(vcl::TMenuItem* item) {
  const TsMenuItemType kind = ItemKind(item);
  if (kind == smDivider) return 2;
  const vcl::TSize t = TextSize(MenuFont(), vcl::StripHotkey(item->Caption()));
  if (kind == smCaption) return t.cy + 2 * FMargin + 3;
  return std::max<int>(t.cy, kGlyphSize) + 2 * FMargin + 2;
}

void TsSkinMenus::sMeasureItem(rtl::TObject* sender, vcl::TCanvas*, int& width, int& height) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item) return;
  it = ItemKind(item);
  rtl::String left, right;
  SplitCaption(vcl::StripHotkey(item->Caption()), left, right);
  const int textWidth = it == smDivider ? 0 : TextSize(MenuFont(), right.empty() ? left : left + L"\t" + right).cx;
  width = textWidth + 2 * kGlyphSize + 3 * FMargin + FSpacing;
  height = GetItemHeight(item);
}

vcl::TSize TsSkinMenus::PopupSize(vcl::TMenuItem* item) {
  vcl::TMenuItem* parent = item->Parent();
  int w = 0, h = 0;
  for (int i = 0; parent && i < parent->Count(); ++i) {
    vcl::TMenuItem* sib = parent->Items(i);
    if (!sib->Visible()) continue;
    int iw = 0, ih = 0;
    sMeasureItem(sib, nullptr, iw, ih);
    w = std::max(w, iw + 12);
    h += ih;
  }
  return vcl::TSize(w + 2 * FBorderWidth, h + 2 * FBorderWidth);
}

TsSkinMenus::TlvMenuInfo* TsSkinMenus::GetMenuInfo(vcl::TMenuItem* item, HWND wnd, bool build) {
  if (!item) {
    for (TlvMenuInfo& mi : MenuInfoArray)
      if (mi.Wnd == wnd && wnd) return &mi;
    return nullptr;
  }
  vcl::TMenuItem* parent = item->Parent();
  if (!parent || parent->Count() == 0) return nullptr;
  vcl::TMenuItem* first = parent->Items(0);
  vcl::TSize size;
  RECT wr;
  if (wnd && GetWindowRect(wnd, &wr))
    size = vcl::TSize(std::max<LONG>(0, wr.right - wr.left), std::max<LONG>(0, wr.bottom - wr.top));
  else
    size = PopupSize(item);
  for (TlvMenuInfo& mi : MenuInfoArray)
    if (mi.FirstItem == first) {
      // The same popup opened again after its items changed: a background of another size is built anew.
      if (wnd && mi.Bmp && (mi.Bmp->Width() != size.cx || mi.Bmp->Height() != size.cy)) {
        PrepareMenuBG(mi, size.cx, size.cy);
        mi.Wnd = wnd;
      }
      if (wnd) mi.Wnd = wnd;
      return &mi;
    }
  if (!build || size.cx <= 0 || size.cy <= 0) return nullptr;
  TlvMenuInfo mi;
  mi.FirstItem = first;
  mi.Wnd = wnd;
  PrepareMenuBG(mi, size.cx, size.cy);
  MenuInfoArray.push_back(std::move(mi));
  return &MenuInfoArray.back();
}

void TsSkinMenus::PrepareMenuBG(TlvMenuInfo& info, int width, int height) {
  info.Bmp = CreateBmp32(width, height);
  vcl::TBitmap* b = info.Bmp.get();
  const vcl::TRect all(0, 0, width, height);
  int section = FOwner->GetSkinIndex(L"MAINMENU");
  // A skin without a popup section paints popups in its menu item colours.
  if (!FOwner->IsValidSkinIndex(section)) section = FOwner->ConstData.MenuItem.SkinIndex;
  if (!FOwner->IsValidSkinIndex(section)) section = FOwner->GetSkinIndex(L"MENUITEM");
  if (FOwner->IsValidSkinIndex(section)) {
    PaintItemBG(section, EmptyCI, 0, all, vcl::TPoint(0, 0), b, FOwner);
  } else {
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_MENU));
    RECT r{0, 0, width, height};
    FillRect(b->Canvas()->Handle(), &r, brush);
    DeleteObject(brush);
  }
  const int mask = FOwner->GetMaskIndex(L"MAINMENU", L"BORDERSMASK");
  if (FOwner->IsValidImgIndex(mask)) {
    DrawSkinRect(b, all, EmptyCI, FOwner->ma[static_cast<size_t>(mask)], 0, false);
  } else {
    // Without a frame image the popup gets a line in the skin's border colour.
    HBRUSH brush = CreateSolidBrush(vcl::ColorToGdi(FOwner->Palette[pcBorder]));
    RECT r{0, 0, width, height};
    FrameRect(b->Canvas()->Handle(), &r, brush);
    DeleteObject(brush);
  }
}

void TsSkinMenus::DrawWndBorder(HWND wnd, vcl::TBitmap* menuBmp) {
  if (BorderDrawing || !menuBmp || !wnd || !IsWindow(wnd)) return;
  if (SendMessageW(wnd, SM_LUMICMD, MakeLumiWParam(LVC_UPDATING), 0) != 0) return;
  BorderDrawing = true;
  HDC dc = GetWindowDC(wnd);
  if (dc) {
    HDC src = menuBmp->Canvas()->Handle();
    const int w = menuBmp->Width(), h = menuBmp->Height(), bw = FBorderWidth;
    CopyRect(dc, vcl::TRect(0, 0, w, bw), src, 0, 0);
    CopyRect(dc, vcl::TRect(0, h - bw, w, h), src, 0, h - bw);
    CopyRect(dc, vcl::TRect(0, 0, bw, h), src, 0, 0);
    CopyRect(dc, vcl::TRect(w - bw, 0, w, h), src, w - bw, 0);
    ReleaseDC(wnd, dc);
  }
  BorderDrawing = false;
}

vcl::TBitmap* TsSkinMenus::MenuBitmap(HWND popup) {
  TlvMenuInfo* mi = GetMenuInfo(nullptr, popup, false);
  return mi ? mi->Bmp.get() : nullptr;
}

void TsSkinMenus::PaintDivider(vcl::TMenuItem*, vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TBitmap* bg) {
  HDC dc = canvas->Handle();
  CopyRect(dc, r, bg->Canvas()->Handle(), r.Left + kFrame, r.Top + kFrame);
  vcl::TRect line(r.Left + FMargin + FSpacing + kGlyphSize, r.Top, r.Right - FMargin, r.Top + 1);
  line.Left = std::max(line.Left, 2);
  vcl::TColor c = FOwner->Palette[pcBorder];
  if (c == 0xFF00FF) c = static_cast<vcl::TColor>(GetSysColor(COLOR_BTNSHADOW));
  HBRUSH brush = CreateSolidBrush(vcl::ColorToGdi(c));
  RECT lr = line;
  if (lr.right > lr.left) FillRect(dc, &lr, brush);
  DeleteObject(brush);
}

void TsSkinMenus::PaintCaption(vcl::TMenuItem* item, vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TBitmap* bg) {
  auto buf = CreateBmp32(r.Width(), r.Height());
  CopyRect(buf->Canvas()->Handle(), vcl::TRect(0, 0, r.Width(), r.Height()), bg->Canvas()->Handle(),
           r.Left + kFrame, r.Top + kFrame);
  int section = FOwner->GetSkinIndex(L"MENUCAPTION");
  if (!FOwner->IsValidSkinIndex(section)) section = FOwner->GetSkinIndex(L"TOOLBAR");
  if (!FOwner->IsValidSkinIndex(section)) section = FOwner->GetSkinIndex(L"MENUITEM");
  const vcl::TRect inner(1, 1, r.Width() - 1, r.Height() - 1);
  if (FOwner->IsValidSkinIndex(section))
    PaintItemBG(section, MakeCacheInfo(bg, -(r.Left + kFrame), -(r.Top + kFrame)), 0, inner, vcl::TPoint(1, 1),
                buf.get(), FOwner);
  const rtl::String& c = item->Caption();
  rtl::String word = c.substr(1, c.size() - 2);
  vcl::TRect tr(0, FMargin + 2, r.Width(), r.Height() - FMargin - 2);
  HGDIOBJ old = SelectObject(buf->Canvas()->Handle(), MenuFont());
  lvWriteTextEx(buf->Canvas(), word.c_str(), true, tr, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_HIDEPREFIX,
                section, false, FOwner);
  SelectObject(buf->Canvas()->Handle(), old);
  CopyRect(canvas->Handle(), r, buf->Canvas()->Handle(), 0, 0);
}

void TsSkinMenus::sAdvancedDrawItem(rtl::TObject* sender, vcl::TCanvas* canvas, const vcl::TRect& r, UINT state) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !SkinLive(FOwner) || r.Width() <= 0 || r.Height() <= 0) return;
  canvas->Lock();
  struct Unlock {
    vcl::TCanvas* c;
    ~Unlock() { c->Unlock(); }
  } unlock{canvas};
  HWND wnd = WindowFromDC(canvas->Handle());
  TlvMenuInfo* mi = GetMenuInfo(item, wnd, true);
  vcl::TBitmap* b = mi ? mi->Bmp.get() : nullptr;
  if (!b) return;
  // The frame of the popup window comes from the same background (the system drew its own around the items).
  if (wnd) DrawWndBorder(wnd, b);
  it = ItemKind(item);
  if (it == smDivider) {
    PaintDivider(item, canvas, r, b);
    return;
  }
  if (it == smCaption) {
    PaintCaption(item, canvas, r, b);
    return;
  }
  const bool enabled = !(state & (ODS_GRAYED | ODS_DISABLED)) && item->Enabled();
  const bool selected = (state & ODS_SELECTED) != 0;
  const bool activeLook = enabled && selected;
  int s = FOwner->ConstData.MenuItem.SkinIndex;
  if (!FOwner->IsValidSkinIndex(s)) s = FOwner->GetSkinIndex(L"MENUITEM");
  auto buf = CreateBmp32(r.Width(), r.Height());
  vcl::TBitmap* ib = buf.get();
  HDC idc = ib->Canvas()->Handle();
  CopyRect(idc, vcl::TRect(0, 0, r.Width(), r.Height()), b->Canvas()->Handle(), r.Left + kFrame, r.Top + kFrame);
  if (FOwner->IsValidSkinIndex(s))
    PaintItemBG(s, MakeCacheInfo(b, -(r.Left + kFrame), -(r.Top + kFrame)), activeLook ? 1 : 0,
                vcl::TRect(0, 0, r.Width(), r.Height()), vcl::TPoint(0, 0), ib, FOwner);
  // Check mark: the skin's own, else the manager's checked box.
  if (item->Checked()) {
    int mask = FOwner->GetMaskIndex(L"GLOBALINFO", L"CHECK");
    if (!FOwner->IsValidImgIndex(mask)) mask = FOwner->ConstData.CheckBox[1];
    if (FOwner->IsValidImgIndex(mask)) {
      const TsMaskData& md = FOwner->ma[static_cast<size_t>(mask)];
      const int mw = WidthOfImage(md), mh = HeightOfImage(md);
      const vcl::TPoint p(std::max(0, (kGlyphSize - mw) / 2 + FMargin), (r.Height() - mh) / 2);
      DrawSkinGlyph(ib, p, activeLook ? 1 : 0, 1, md, MakeCacheInfo(ib));
    }
  }
  rtl::String left, right;
  SplitCaption(item->Caption(), left, right);
  vcl::TRect tr(kGlyphSize + 2 * FMargin + FSpacing, 1 + FMargin, r.Width(), r.Height() - FMargin);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP | DT_LEFT;
  if (state & ODS_NOACCEL) flags |= DT_HIDEPREFIX;
  HGDIOBJ oldFont = SelectObject(idc, MenuFont());
  lvWriteTextEx(ib->Canvas(), left.c_str(), enabled, tr, flags, s, activeLook, FOwner);
  if (!right.empty()) {
    vcl::TRect rr(tr.Left, tr.Top, r.Width() - 8 - 8, tr.Bottom);
    lvWriteTextEx(ib->Canvas(), right.c_str(), enabled, rr, DT_RIGHT | DT_SINGLELINE | DT_VCENTER, s, activeLook,
                  FOwner);
  }
  SelectObject(idc, oldFont);
  if (OnDrawItem) OnDrawItem(item, ib->Canvas(), smNormal, state, vcl::TRect(0, 0, r.Width(), r.Height()));
  // A disabled item is the item covered by the popup's background at 0.4.
  if (!enabled)
    BlendTransRectangle(ib, 0, 0, b, vcl::TRect(r.Left + kFrame, r.Top + kFrame, r.Right + kFrame, r.Bottom + kFrame),
                        0.4);
  CopyRect(canvas->Handle(), r, idc, 0, 0);
}
