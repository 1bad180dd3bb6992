// The items of a skinned form's menu line, written over the line's section in the window image: the system places
// the items (GetMenuItemRect), the skin gives the look.
#include <algorithm>
#include <iterator>

#include "platform/vcl/menus.h"
#include "skin/core/sSkinManager.h"
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
  SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(color)));
  vcl::TMenuItem* items = Form->Menu()->Items();
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!GetMenuItemRect(Form->Handle(), menu, static_cast<UINT>(i), &r)) continue;
    OffsetRect(&r, sh.Left - wr.left, sh.Top - wr.top);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) && (info.fType & MFT_SEPARATOR)) continue;
    // The platform puts the visible items in order: the i-th visible item is at position i.
    rtl::String caption;
    for (int k = 0, seen = 0; k < items->Count(); ++k) {
      if (!items->Items(k)->Visible()) continue;
      if (seen++ == i) {
        caption = items->Items(k)->Caption();
        break;
      }
    }
    if (caption.empty()) {
      wchar_t text[256] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
      caption = text;
    }
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  RestoreDC(dc, saved);
  if (font) DeleteObject(font);
}
