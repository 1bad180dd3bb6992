#include "skin/forms/sSkinMenus.h"

#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sButtonGlyphs.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinOptions.h"
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

vcl::TSize TsSkinMenus::GlyphSize(vcl::TMenuItem* item, bool bitmapOnly) {
  if (item->HasBitmap()) return vcl::TSize(item->Bitmap()->Width(), item->Bitmap()->Height());
  if (bitmapOnly) return vcl::TSize(0, 0);
  vcl::TMenu* menu = item->GetParentMenu();
  if (vcl::TCustomImageList* images = menu ? menu->Images() : nullptr)
    return vcl::TSize(images->Width(), images->Height());
  return vcl::TSize(kGlyphSize, kGlyphSize);
}

bool TsSkinMenus::Breaked(vcl::TMenuItem* item) {
  vcl::TMenuItem* parent = item->Parent();
  for (int i = 1; parent && i < parent->Count(); ++i) {
    if (parent->Items(i)->Break() != vcl::mbNone) return true;
    if (parent->Items(i) == item) break;
  }
  return false;
}

bool TsSkinMenus::ExtraLineQuery(vcl::TMenuItem* firstItem) {
  ExtraGlyph.reset();
  ExtraSection.clear();
  ExtraCaption.clear();
  // The skin-selection popup never has one.
  if (!firstItem || firstItem->Name() == L"SkinSelectItem") return false;
  ExtraSection = L"EXTRALINE";
  ExtraCaption = L"Use OnGetExtraLineData event";
  bool have = true;
  ExtraGlyph = std::make_unique<vcl::TBitmap>();
  if (FOwner->OnGetMenuExtraLineData) {
    vcl::TBitmap* glyph = ExtraGlyph.get();
    FOwner->OnGetMenuExtraLineData(firstItem, ExtraSection, have, glyph, ExtraCaption);
    // A handler may draw into the bitmap given or hand over one of its own, which is then ours to free.
    if (glyph != ExtraGlyph.get()) ExtraGlyph.reset(glyph);
  }
  ExtraCaption.erase(std::remove(ExtraCaption.begin(), ExtraCaption.end(), L'&'), ExtraCaption.end());
  if (!have || (ExtraGlyph && ExtraGlyph->Empty())) ExtraGlyph.reset();
  return have;
}

int TsSkinMenus::ExtraWidth(const TlvMenuInfo* mi) const {
  const TlvMenuSupport* ms = FOwner->MenuSupport();
  return ms && ms->UseExtraLine() && mi && mi->HaveExtraLine ? ms->ExtraLineWidth() : 0;
}

void TsSkinMenus::ItemFont(vcl::TMenuItem* item, UINT state, vcl::TFont& font, bool& colorChanged) {
  LOGFONTW lf{};
  GetObjectW(MenuFont(), sizeof(lf), &lf);
  font.SetHandle(CreateFontIndirectW(&lf));
  colorChanged = false;
  if (!FOwner->OnGetPopupItemData) return;
  const vcl::TColor before = font.Color();
  FOwner->OnGetPopupItemData(item, state, &font);
  colorChanged = font.Color() != before;
}

int TsSkinMenus::GetItemHeight(vcl::TMenuItem* item) {
  const TsMenuItemType kind = ItemKind(item);
  if (kind == smDivider) return 2;
  vcl::TFont font;
  bool colorChanged = false;
  ItemFont(item, 0, font, colorChanged);
  const vcl::TSize t = TextSize(font.Handle(), vcl::StripHotkey(item->Caption()));
  if (kind == smCaption) return t.cy + 2 * FMargin + 3;
  return std::max<int>(t.cy, GlyphSize(item, false).cy) + 2 * FMargin + 2;
}

void TsSkinMenus::sMeasureItem(rtl::TObject* sender, vcl::TCanvas*, int& width, int& height) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !item->Parent() || item->Parent()->Count() == 0) return;
  // The popup about to open has items drawn here: its window may take the skinned frame.
  lvCanHookMenu = true;
  vcl::TMenuItem* first = item->Parent()->Items(0);
  TlvMenuInfo* mi = GetMenuInfo(item, nullptr, false);
  // Before the popup's background exists, the application is asked whether it has an extra line.
  bool haveExtra = mi && mi->HaveExtraLine;
  if (!mi && !Measuring) {
    Measuring = true;
    haveExtra = ExtraLineQuery(first);
    Measuring = false;
  }
  it = ItemKind(item);
  vcl::TFont font;
  bool colorChanged = false;
  ItemFont(item, 0, font, colorChanged);
  rtl::String left, right;
  SplitCaption(vcl::StripHotkey(item->Caption()), left, right);
  const int textWidth = it == smDivider ? 0 : TextSize(font.Handle(), right.empty() ? left : left + L"\t" + right).cx;
  const int glyph = GlyphSize(item, false).cx;
  width = textWidth + 2 * glyph + 3 * FMargin + FSpacing;
  if (haveExtra && (!Breaked(item) || item == first)) {
    TlvMenuInfo probe;
    probe.HaveExtraLine = true;
    width += ExtraWidth(&probe);
  }
  height = GetItemHeight(item);
}

vcl::TSize TsSkinMenus::PopupSize(vcl::TMenuItem* item) {
  vcl::TMenuItem* parent = item->Parent();
  int w = 0, h = 0, colW = 0, colH = 0;
  for (int i = 0; parent && i < parent->Count(); ++i) {
    vcl::TMenuItem* sib = parent->Items(i);
    if (!sib->Visible()) continue;
    if (sib->Break() != vcl::mbNone && colH > 0) {
      w += colW + 4;
      h = std::max(h, colH);
      colW = colH = 0;
    }
    int iw = 0, ih = 0;
    sMeasureItem(sib, nullptr, iw, ih);
    colW = std::max(colW, iw + 12);
    colH += ih;
  }
  w += colW;
  h = std::max(h, colH);
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
  TlvMenuInfo* found = nullptr;
  for (TlvMenuInfo& mi : MenuInfoArray)
    if (mi.FirstItem == first) found = &mi;
  if (found && !wnd) return found;
  if (!found && !build) return nullptr;
  vcl::TSize size;
  RECT wr;
  if (wnd && GetWindowRect(wnd, &wr))
    size = vcl::TSize(std::max<LONG>(0, wr.right - wr.left), std::max<LONG>(0, wr.bottom - wr.top));
  else
    size = PopupSize(item);
  if (found) {
    // The same popup opened again after its items changed: a background of another size is built anew.
    if (found->Bmp && (found->Bmp->Width() != size.cx || found->Bmp->Height() != size.cy))
      PrepareMenuBG(*found, size.cx, size.cy);
    found->Wnd = wnd;
    return found;
  }
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  TlvMenuInfo mi;
  mi.FirstItem = first;
  mi.Wnd = wnd;
  PrepareMenuBG(mi, size.cx, size.cy);
  MenuInfoArray.push_back(std::move(mi));
  return &MenuInfoArray.back();
}

void TsSkinMenus::PrepareMenuBG(TlvMenuInfo& info, int width, int height) {
  info.HaveExtraLine = ExtraLineQuery(info.FirstItem);
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
  const int sbw = std::max(GetSkinBorderWidth(), kFrame);
  const int extra = ExtraWidth(&info);
  // The image column, in the section the application names.
  if (TlvMenuSupport* ms = FOwner->MenuSupport(); ms && !ms->IcoLineSkin().empty()) {
    const int ico = FOwner->GetSkinIndex(ms->IcoLineSkin());
    const int icoWidth = FMargin + GlyphSize(info.FirstItem, false).cx + FSpacing;
    if (FOwner->IsValidSkinIndex(ico) && height > 2 * sbw)
      PaintItem(ico, MakeCacheInfo(b), true, 0, vcl::TRect(extra + sbw, sbw, extra + sbw + icoWidth, height - sbw),
                vcl::TPoint(extra + sbw, sbw), b, FOwner);
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
  if (extra > 0) PaintExtraLine(b, height);
  ExtraGlyph.reset();
}

void TsSkinMenus::PaintExtraLine(vcl::TBitmap* b, int height) {
  // Inside the system's frame around the items even where the skin's own frame is thinner.
  const int sbw = std::max(GetSkinBorderWidth(), kFrame);
  const int lineWidth = FOwner->MenuSupport()->ExtraLineWidth();
  const vcl::TRect col(sbw, sbw, sbw + lineWidth, height - sbw);
  if (col.Height() <= 0) return;
  const int section = FOwner->GetSkinIndex(ExtraSection);
  vcl::TColor textColor = FOwner->MenuSupport()->ExtraLineFont()->Color();
  if (FOwner->IsValidSkinIndex(section)) {
    PaintItem(section, MakeCacheInfo(b), true, 0, col, col.TopLeft(), b, FOwner);
    textColor = FOwner->gd[static_cast<size_t>(section)].Props[0].FontColor.Color;
  }
  HDC dc = b->Canvas()->Handle();
  int bottom = col.Bottom - 12;
  if (ExtraGlyph && !ExtraGlyph->Empty()) {
    const int gw = ExtraGlyph->Width(), gh = ExtraGlyph->Height();
    BitBlt(dc, col.Left + (lineWidth - gw) / 2, bottom - gh, gw, gh, ExtraGlyph->Canvas()->Handle(), 0, 0, SRCCOPY);
    bottom -= gh + 8;
  }
  if (ExtraCaption.empty()) return;
  // The text reads upward (a quarter turn counter-clockwise).
  vcl::TFont* f = FOwner->MenuSupport()->ExtraLineFont();
  LOGFONTW lf{};
  GetObjectW(f->Handle(), sizeof(lf), &lf);
  lf.lfWeight = f->Style().Contains(vcl::fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfQuality = 4;
  HFONT flat = CreateFontIndirectW(&lf);
  lf.lfEscapement = lf.lfOrientation = 900;
  HFONT turned = CreateFontIndirectW(&lf);
  const int saved = SaveDC(dc);
  SelectObject(dc, flat);
  SIZE ext{};
  GetTextExtentPoint32W(dc, ExtraCaption.c_str(), static_cast<int>(ExtraCaption.size()), &ext);
  SelectObject(dc, turned);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, vcl::ColorToGdi(textColor));
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  IntersectClipRect(dc, col.Left, col.Top, col.Right, col.Bottom);
  TextOutW(dc, col.Left + (lineWidth - ext.cy) / 2, bottom, ExtraCaption.c_str(),
           static_cast<int>(ExtraCaption.size()));
  RestoreDC(dc, saved);
  DeleteObject(turned);
  DeleteObject(flat);
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

void TsSkinMenus::PaintDivider(vcl::TMenuItem* item, vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TBitmap* bg,
                               int extra) {
  HDC dc = canvas->Handle();
  CopyRect(dc, r, bg->Canvas()->Handle(), r.Left + kFrame, r.Top + kFrame);
  vcl::TRect line(r.Left + extra + FMargin + FSpacing + GlyphSize(item, false).cx, r.Top, r.Right - FMargin, r.Top + 1);
  line.Left = std::max(line.Left, r.Left + extra + 2);
  vcl::TColor c = FOwner->Palette[pcBorder];
  if (c == 0xFF00FF) c = static_cast<vcl::TColor>(GetSysColor(COLOR_BTNSHADOW));
  HBRUSH brush = CreateSolidBrush(vcl::ColorToGdi(c));
  RECT lr = line;
  if (lr.right > lr.left) FillRect(dc, &lr, brush);
  DeleteObject(brush);
}

void TsSkinMenus::PaintCaption(vcl::TMenuItem* item, vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TBitmap* bg,
                               int extra) {
  auto buf = CreateBmp32(r.Width(), r.Height());
  CopyRect(buf->Canvas()->Handle(), vcl::TRect(0, 0, r.Width(), r.Height()), bg->Canvas()->Handle(), r.Left + kFrame,
           r.Top + kFrame);
  int section = FOwner->GetSkinIndex(L"MENUCAPTION");
  if (!FOwner->IsValidSkinIndex(section)) section = FOwner->GetSkinIndex(L"TOOLBAR");
  if (!FOwner->IsValidSkinIndex(section)) section = FOwner->GetSkinIndex(L"MENUITEM");
  const vcl::TRect inner(extra + 1, 1, r.Width() - 1, r.Height() - 1);
  if (FOwner->IsValidSkinIndex(section) && inner.Width() > 0)
    PaintItemBG(section, MakeCacheInfo(bg, -(r.Left + kFrame), -(r.Top + kFrame)), 0, inner, inner.TopLeft(), buf.get(),
                FOwner);
  const rtl::String& c = item->Caption();
  rtl::String word = c.substr(1, c.size() - 2);
  vcl::TRect tr(extra, FMargin + 2, r.Width(), r.Height() - FMargin - 2);
  HGDIOBJ old = SelectObject(buf->Canvas()->Handle(), MenuFont());
  lvWriteTextEx(buf->Canvas(), word.c_str(), true, tr, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_HIDEPREFIX, section,
                false, FOwner);
  SelectObject(buf->Canvas()->Handle(), old);
  CopyRect(canvas->Handle(), r, buf->Canvas()->Handle(), 0, 0);
}

namespace {

// Position of the item among its parent's items; -1 when it has none.
int IndexIn(vcl::TMenuItem* item) {
  vcl::TMenuItem* parent = item->Parent();
  for (int i = 0; parent && i < parent->Count(); ++i)
    if (parent->Items(i) == item) return i;
  return -1;
}

// The next visible item after index i; nullptr after the last.
vcl::TMenuItem* NextVisible(vcl::TMenuItem* parent, int i) {
  for (int k = i + 1; k < parent->Count(); ++k)
    if (parent->Items(k)->Visible()) return parent->Items(k);
  return nullptr;
}

}  // namespace

void TsSkinMenus::sAdvancedDrawItem(rtl::TObject* sender, vcl::TCanvas* canvas, const vcl::TRect& r, UINT state) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !item->Parent() || !SkinLive(FOwner) || r.Width() <= 0 || r.Height() <= 0) return;
  canvas->Lock();
  struct Unlock {
    vcl::TCanvas* c;
    ~Unlock() { c->Unlock(); }
  } unlock{canvas};
  HWND wnd = WindowFromDC(canvas->Handle());
  TlvMenuInfo* mi = GetMenuInfo(item, wnd, true);
  vcl::TBitmap* b = mi ? mi->Bmp.get() : nullptr;
  if (!b) return;
  vcl::TMenuItem* parent = item->Parent();
  vcl::TMenuItem* first = parent->Items(0);
  // Items of the first column leave the extra line's strip to the popup's background.
  const int extra = !Breaked(item) || item == first ? ExtraWidth(mi) : 0;
  HDC bdc = b->Canvas()->Handle();
  HDC cdc = canvas->Handle();
  // The frame of the popup window comes from the same background (the system drew its own around the items).
  if (wnd) DrawWndBorder(wnd, b);
  if (extra > 0)
    CopyRect(cdc, vcl::TRect(r.Left, r.Top, r.Left + extra, r.Bottom), bdc, r.Left + kFrame, r.Top + kFrame);
  it = ItemKind(item);
  if (it == smDivider) {
    PaintDivider(item, canvas, vcl::TRect(r.Left + extra, r.Top, r.Right, r.Bottom), b, 0);
    return;
  }
  if (it == smCaption) {
    PaintCaption(item, canvas, vcl::TRect(r.Left + extra, r.Top, r.Right, r.Bottom), b, 0);
    return;
  }
  int s = FOwner->ConstData.MenuItem.SkinIndex;
  if (!FOwner->IsValidSkinIndex(s)) s = FOwner->GetSkinIndex(L"MENUITEM");

  // Columns: the popup's background fills what the items leave free below a column and between columns.
  const int index = IndexIn(item);
  vcl::TMenuItem* next = NextVisible(parent, index);
  const int clientBottom = b->Height() - 2 * kFrame;
  if ((next && next->Break() != vcl::mbNone) || (!next && r.Bottom < clientBottom))
    CopyRect(cdc, vcl::TRect(r.Left, r.Bottom, r.Right, clientBottom), bdc, r.Left + kFrame, r.Bottom + kFrame);
  if (item->Break() != vcl::mbNone && item != first) {
    if (item->Break() == vcl::mbBarBreak) {
      const vcl::TColor c = FOwner->IsValidSkinIndex(s) ? FOwner->gd[static_cast<size_t>(s)].Props[0].FontColor.Color
                                                        : static_cast<vcl::TColor>(0x808080);
      HBRUSH brush = CreateSolidBrush(vcl::ColorToGdi(c));
      RECT line{r.Left, 0, r.Left + 1, b->Height()};
      FillRect(bdc, &line, brush);
      DeleteObject(brush);
    }
    CopyRect(cdc, vcl::TRect(r.Left - 4, 0, r.Left, clientBottom), bdc, r.Left - 1, kFrame);
  }

  const bool enabled = !(state & (ODS_GRAYED | ODS_DISABLED)) && item->Enabled();
  const bool selected = (state & ODS_SELECTED) != 0;
  const bool activeLook = enabled && selected;
  const int iw = std::max(0, r.Width() - extra), ih = r.Height();
  if (iw == 0) return;
  const int ix = r.Left + extra;
  auto buf = CreateBmp32(iw, ih);
  vcl::TBitmap* ib = buf.get();
  HDC idc = ib->Canvas()->Handle();
  CopyRect(idc, vcl::TRect(0, 0, iw, ih), bdc, ix + kFrame, r.Top + kFrame);
  if (FOwner->IsValidSkinIndex(s))
    PaintItemBG(s, MakeCacheInfo(b, -(ix + kFrame), -(r.Top + kFrame)), activeLook ? 1 : 0, vcl::TRect(0, 0, iw, ih),
                vcl::TPoint(0, 0), ib, FOwner);
  const int glyphCX = GlyphSize(first, false).cx;
  vcl::TMenu* menu = item->GetParentMenu();
  vcl::TCustomImageList* images = menu ? menu->Images() : nullptr;
  const bool listImage = images && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count();
  const bool hasImage = item->HasBitmap() || listImage;
  // Check mark of a checked item without a picture: a round one for a radio item, else the skin's own tick.
  if (item->Checked() && !hasImage) {
    int mask = -1;
    if (item->RadioItem()) mask = FOwner->ConstData.RadioButton[1];
    if (!FOwner->IsValidImgIndex(mask)) mask = FOwner->GetMaskIndex(L"GLOBALINFO", L"CHECK");
    if (!FOwner->IsValidImgIndex(mask)) mask = FOwner->ConstData.CheckBox[1];
    if (FOwner->IsValidImgIndex(mask)) {
      const TsMaskData& md = FOwner->ma[static_cast<size_t>(mask)];
      const int mw = WidthOfImage(md), mh = HeightOfImage(md);
      const vcl::TPoint p(std::max(0, (glyphCX - mw) / 2 + FMargin), (ih - mh) / 2);
      DrawSkinGlyph(ib, p, activeLook ? 1 : 0, 1, md, MakeCacheInfo(ib));
    }
  }
  if (hasImage) {
    const vcl::TSize gs = item->HasBitmap() ? GlyphSize(item, true) : vcl::TSize(images->Width(), images->Height());
    const int t = (ih - gs.cy) / 2;
    const vcl::TRect ir(std::min(3, t), t, std::min(3, t) + gs.cx, t + gs.cy);
    if (item->Checked()) {
      // A checked item's picture sits on a pressed small button.
      const int btn = FOwner->GetSkinIndex(L"SPEEDBUTTON_SMALL");
      const vcl::TRect fr(ir.Left - 1, ir.Top - 1, ir.Right + 1, ir.Bottom + 1);
      if (FOwner->IsValidSkinIndex(btn)) PaintItem(btn, MakeCacheInfo(ib), true, 2, fr, fr.TopLeft(), ib, FOwner);
    }
    TlvDrawGlyphData g;
    g.Images = listImage ? images : nullptr;
    g.ImageIndex = listImage ? item->ImageIndex() : -1;
    g.Glyph = item->HasBitmap() ? item->Bitmap() : nullptr;
    g.DstBmp = ib;
    g.ImgRect = ir;
    g.Enabled = enabled;
    g.CurrentState = activeLook ? 1 : 0;
    g.Grayed = !selected && FOwner->Effects() && FOwner->Effects()->DiscoloredGlyphs();
    g.SkinManager = FOwner;
    lvDrawGlyphEx(g);
  }
  vcl::TFont font;
  bool ownColor = false;
  ItemFont(item, state, font, ownColor);
  rtl::String left, right;
  SplitCaption(item->Caption(), left, right);
  vcl::TRect tr(glyphCX + 2 * FMargin + FSpacing, 1 + FMargin, iw, ih - FMargin);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP | DT_LEFT;
  if (state & ODS_NOACCEL) flags |= DT_HIDEPREFIX;
  HGDIOBJ oldFont = SelectObject(idc, font.Handle());
  // The application's own text colour, else the item section's.
  auto write = [&](const rtl::String& text, vcl::TRect rect, UINT f) {
    if (ownColor) {
      SetBkMode(idc, TRANSPARENT);
      SetTextColor(idc, vcl::ColorToGdi(font.Color()));
      RECT rr = rect;
      DrawTextW(idc, text.c_str(), static_cast<int>(text.size()), &rr, f);
    } else {
      lvWriteTextEx(ib->Canvas(), text.c_str(), enabled, rect, f, s, activeLook, FOwner);
    }
  };
  write(left, tr, flags);
  if (!right.empty())
    write(right, vcl::TRect(tr.Left, tr.Top, iw - 8 - 8, tr.Bottom), DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  SelectObject(idc, oldFont);
  if (OnDrawItem) OnDrawItem(item, ib->Canvas(), smNormal, state, vcl::TRect(0, 0, iw, ih));
  // A disabled item is the item covered by the popup's background at 0.4.
  if (!enabled)
    BlendTransRectangle(ib, 0, 0, b, vcl::TRect(ix + kFrame, r.Top + kFrame, ix + kFrame + iw, r.Bottom + kFrame), 0.4);
  CopyRect(cdc, vcl::TRect(ix, r.Top, ix + iw, r.Bottom), idc, 0, 0);
}
