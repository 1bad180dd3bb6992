// The items of a skinned form's menu line, written over the line's section in the window image: the system places
// the items (GetMenuItemRect), the skin gives the look.
#include <algorithm>
#include <iterator>

#include "platform/vcl/menus.h"
#include "skin/core/sMaskData.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sSectionPaint.h"
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::PaintMenuLineItems(vcl::TBitmap* image, int lineIndex, int state) {
  TsSkinManager* m = SkinManager();
  if (!m || !image || !Form->Menu() || !Form->HandleAllocated()) return;
  HMENU menu = GetMenu(Form->Handle());
  if (!menu) return;
  RECT wr{};
  GetWindowRect(Form->Handle(), &wr);
  const vcl::TRect sh = ShadowSize();
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  HFONT font = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0) ? CreateFontIndirectW(&ncm.lfMenuFont)
                                                                                       : nullptr;
  HDC dc = image->Canvas()->Handle();
  const int saved = SaveDC(dc);
  if (font) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const TsGeneralData* g = lineIndex >= 0 ? &m->gd[lineIndex] : nullptr;
  const int st = g ? std::min<int>(state, std::max(0, g->States - 1)) : 0;
  const vcl::TColor color = g ? g->Props[st].FontColor.Color : m->GetGlobalFontColor();
  int hotSection = m->ConstData.MenuItem.SkinIndex;
  if (!m->IsValidSkinIndex(hotSection)) hotSection = m->GetSkinIndex(L"MENUITEM");
  vcl::TMenuItem* items = Form->Menu()->Items();
  const int count = GetMenuItemCount(menu);
  int textItem = 0;
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!GetMenuItemRect(Form->Handle(), menu, static_cast<UINT>(i), &r)) continue;
    OffsetRect(&r, sh.Left - wr.left, sh.Top - wr.top);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    // The system's own entries of a maximised MDI child (its window menu and buttons) are pictures, not items.
    if ((info.fType & (MFT_SEPARATOR | MFT_BITMAP)) || info.hbmpItem) continue;
    // The platform puts the visible items in order: the n-th visible item is the n-th text entry.
    const int n = textItem++;
    rtl::String caption;
    for (int k = 0, seen = 0; k < items->Count(); ++k) {
      if (!items->Items(k)->Visible()) continue;
      if (seen++ == n) {
        caption = items->Items(k)->Caption();
        break;
      }
    }
    if (caption.empty()) {
      wchar_t text[256] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
      caption = text;
    }
    vcl::TColor textColor = color;
    if (i == HotMenuPos && m->IsValidSkinIndex(hotSection)) {
      // The item the system tracks, in the item section's active look.
      const vcl::TRect ir(r);
      const TsGeneralData& hg = m->gd[static_cast<size_t>(hotSection)];
      const int hs = std::max(0, std::min(1, hg.States - 1));
      PaintItem(hotSection, MakeCacheInfo(image), true, hs, ir, ir.TopLeft(), image, m);
      textColor = hg.Props[static_cast<size_t>(hs)].FontColor.Color;
    }
    SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(textColor)));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  RestoreDC(dc, saved);
  if (font) DeleteObject(font);
  LayoutMDIButtons(image);
}

void TsSkinProvider::SetHotMenuItem(int pos) {
  if (pos == HotMenuPos) return;
  HotMenuPos = pos;
  if (!FDrawNonClientArea || !Form->HandleAllocated() || !SkinData()->Skinned(true) || !MenuPresent()) return;
  // The system drew its own highlight over the line: the line is drawn again from the image.
  RepaintMenu();
}

void TsSkinProvider::LV_WMMenuSelect(vcl::TMessage& m) {
  HMENU menu = reinterpret_cast<HMENU>(m.LParam);
  const UINT flags = HIWORD(m.WParam);
  if (!Form->HandleAllocated() || (flags == 0xFFFF && !menu)) {
    SetHotMenuItem(-1);
    return;
  }
  if (!menu || menu != GetMenu(Form->Handle())) return;
  // A top item with a submenu is named by its position, one without by its command.
  int pos = -1;
  if (flags & MF_POPUP) {
    pos = LOWORD(m.WParam);
  } else {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (GetMenuItemID(menu, i) == LOWORD(m.WParam)) pos = i;
  }
  SetHotMenuItem(pos);
}

// The close, restore and minimise buttons of a maximised MDI child, at the right end of the main form's menu line.
void TsSkinProvider::LayoutMDIButtons(vcl::TBitmap* image) {
  for (TsCaptionButton* b : {&MDIClose, &MDIMax, &MDIMin}) b->Rect = vcl::TRect();
  TsSkinManager* m = SkinManager();
  if (!m || !image || !MDIButtonsNeeded()) return;
  const vcl::TRect sh = ShadowSize();
  const int top = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top;
  const int line = MenuHeight();
  int x = image->Width() - sh.Right - SysBorderWidth(Form->Handle(), BorderForm, true) - 2;
  for (TsCaptionButton* b : {&MDIClose, &MDIMax, &MDIMin}) {
    const bool valid = m->IsValidImgIndex(b->ImageIndex);
    const int w = valid ? WidthOfImage(m->ma[b->ImageIndex]) : 16;
    const int h = valid ? HeightOfImage(m->ma[b->ImageIndex]) : 16;
    x -= w;
    b->Rect = vcl::TRect(x, top + (line - h) / 2, x + w, top + (line - h) / 2 + h);
    PaintButton(*b, true);
    x -= 1;
  }
}

// The hit code of a maximised MDI child's button under the screen point; 0 for none.
int TsSkinProvider::MDIButtonAt(int x, int y) {
  if (!MDIButtonsNeeded()) return 0;
  const vcl::TPoint p = CursorToPoint(x, y);
  const std::pair<TsCaptionButton*, int> buttons[] = {{&MDIClose, HTCHILDCLOSE}, {&MDIMax, HTCHILDMAX}, {&MDIMin, HTCHILDMIN}};
  for (const auto& [b, code] : buttons)
    if (!b->Rect.IsEmpty() && p.X >= b->Rect.Left && p.X < b->Rect.Right && p.Y >= b->Rect.Top && p.Y < b->Rect.Bottom)
      return code;
  return 0;
}
