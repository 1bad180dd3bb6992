// The items of a skinned form's menu line, written over the line's section in the window image: the system places
// the items (GetMenuItemRect), the skin gives the look.
#include <algorithm>
#include <iterator>

#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sButtonGlyphs.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"

namespace {

HFONT NewMenuFont() {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0) ? CreateFontIndirectW(&ncm.lfMenuFont)
                                                                              : nullptr;
}

}  // namespace

void TsSkinProvider::DrawLineItem(vcl::TBitmap* dst, vcl::TMenuItem* item, const rtl::String& caption,
                                  const vcl::TRect& r, bool hot, bool enabled, vcl::TBitmap* lineBg, vcl::TPoint bgAt) {
  TsSkinManager* m = SkinManager();
  if (!m || !dst || r.Width() <= 0 || r.Height() <= 0) return;
  int line = FMenuLineSkin.empty() ? -1 : m->GetSkinIndex(FMenuLineSkin);
  if (line < 0) line = m->GetSkinIndex(L"MENULINE");
  const TsGeneralData* g = m->IsValidSkinIndex(line) ? &m->gd[static_cast<size_t>(line)] : nullptr;
  const int st = g ? std::min<int>(FormActive ? 1 : 0, std::max(0, g->States - 1)) : 0;
  vcl::TColor color = g ? g->Props[static_cast<size_t>(st)].FontColor.Color : m->GetGlobalFontColor();
  int hotSection = m->ConstData.MenuItem.SkinIndex;
  if (!m->IsValidSkinIndex(hotSection)) hotSection = m->GetSkinIndex(L"MENUITEM");
  if (hot && m->IsValidSkinIndex(hotSection)) {
    const TsGeneralData& hg = m->gd[static_cast<size_t>(hotSection)];
    const int hs = std::max(0, std::min(1, hg.States - 1));
    PaintItem(hotSection, MakeCacheInfo(dst), true, hs, r, r.TopLeft(), dst, m);
    color = hg.Props[static_cast<size_t>(hs)].FontColor.Color;
  }
  vcl::TRect tr = r;
  if (item) {
    const vcl::TSize ps = TsSkinMenus::LinePictureSize(item);
    if (ps.cx > 0 && ps.cy > 0) {
      TlvDrawGlyphData gd;
      vcl::TCustomImageList* images = TsSkinMenus::LineImages(item);
      gd.Images = images;
      gd.ImageIndex = images ? item->ImageIndex() : -1;
      gd.Glyph = images ? nullptr : item->Bitmap();
      gd.DstBmp = dst;
      const int top = r.Top + (r.Height() - ps.cy) / 2;
      gd.ImgRect = vcl::TRect(r.Left + 3, top, r.Left + 3 + ps.cx, top + ps.cy);
      gd.Enabled = enabled;
      gd.CurrentState = hot ? 1 : 0;
      gd.SkinManager = m;
      lvDrawGlyphEx(gd);
      tr.Left += 3 + ps.cx;
    }
  }
  const int margin = 2;
  tr.Left += margin;
  tr.Right -= margin;
  HDC dc = dst->Canvas()->Handle();
  const int saved = SaveDC(dc);
  HFONT font = NewMenuFont();
  if (font) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(color)));
  RECT rr = tr;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rr,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_EXPANDTABS);
  RestoreDC(dc, saved);
  if (font) DeleteObject(font);
  // A disabled item is the item covered by the clean line at 0.4.
  if (!enabled && lineBg)
    BlendTransRectangle(dst, r.Left, r.Top, lineBg, vcl::TRect(bgAt.X, bgAt.Y, bgAt.X + r.Width(), bgAt.Y + r.Height()),
                        0.4);
}

void TsSkinProvider::DrawLineItemOn(vcl::TCanvas* canvas, vcl::TMenuItem* item, const vcl::TRect& r, UINT state) {
  vcl::TBitmap* image = FCommonData->CacheBmp();
  if (!image || image->Width() == 0 || !canvas || !canvas->Handle()) return;
  const bool enabled = item->Enabled() && !(state & (ODS_DISABLED | ODS_GRAYED));
  const bool hot = enabled && (state & (ODS_SELECTED | ODS_HOTLIGHT));
  const vcl::TRect sh = ShadowSize();
  const int tb = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top;
  vcl::TBitmap* bg = MenuLineBmp && MenuLineBmp->Width() > 0 ? MenuLineBmp.get() : nullptr;
  if (canvas->Handle() == image->Canvas()->Handle()) {
    DrawLineItem(image, item, item->Caption(), r, hot, enabled, bg, vcl::TPoint(r.Left - sh.Left, r.Top - tb));
    return;
  }
  // The system draws into the window: the item is composed on the clean line at its place in the image.
  const vcl::TRect ir(r.Left + sh.Left, r.Top + sh.Top, r.Right + sh.Left, r.Bottom + sh.Top);
  auto buf = CreateBmp32(r.Width(), r.Height());
  const vcl::TPoint at(ir.Left - sh.Left, ir.Top - tb);
  if (bg)
    BitBlt(buf->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), bg->Canvas()->Handle(), at.X, at.Y, SRCCOPY);
  else
    BitBlt(buf->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), image->Canvas()->Handle(), ir.Left, ir.Top, SRCCOPY);
  DrawLineItem(buf.get(), item, item->Caption(), vcl::TRect(0, 0, r.Width(), r.Height()), hot, enabled, bg, at);
  BitBlt(canvas->Handle(), r.Left, r.Top, r.Width(), r.Height(), buf->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::HookMenuLine(bool on) {
  TsSkinManager* m = SkinManager();
  auto* menus = m ? dynamic_cast<TsSkinMenus*>(m->SkinableMenus()) : nullptr;
  if (!menus || !Form || !Form->Menu()) return;
  menus->InitMenuLine(Form->Menu(), on && IsMenuVisible(this));
}

bool TsSkinProvider::ChildIconPresent() {
  if (this != MDISkinProvider || Form->FormStyle() != vcl::fsMDIForm) return false;
  vcl::TCustomForm* child = Form->ActiveMDIChild();
  return child && child->HandleAllocated() && ::IsZoomed(child->Handle()) &&
         child->BorderIcons().Contains(vcl::biSystemMenu);
}

void TsSkinProvider::PaintChildIcon(vcl::TBitmap* image) {
  vcl::TCustomForm* child = Form->ActiveMDIChild();
  if (!child) return;
  const vcl::TRect sh = ShadowSize();
  const int size = MenuHeight() - 2;
  if (size <= 0) return;
  const int x = SysBorderWidth(Form->Handle(), BorderForm, true) + sh.Left + 1;
  const int y = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top + 1;
  HWND w = child->Handle();
  HICON icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(w, GCLP_HICONSM));
  if (!icon && AppIcon() && !AppIcon()->Empty()) icon = AppIcon()->Handle();
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  DrawIconEx(image->Canvas()->Handle(), x, y, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
}

void TsSkinProvider::PaintMenuLineItems(vcl::TBitmap* image, int lineIndex, int state) {
  (void)lineIndex;
  (void)state;
  TsSkinManager* m = SkinManager();
  if (!m || !image || !Form->Menu() || !Form->HandleAllocated()) return;
  HMENU menu = GetMenu(Form->Handle());
  if (!menu) return;
  RECT wr{};
  GetWindowRect(Form->Handle(), &wr);
  const vcl::TRect sh = ShadowSize();
  const int tb = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top;
  vcl::TBitmap* bg = MenuLineBmp && MenuLineBmp->Width() > 0 ? MenuLineBmp.get() : nullptr;
  vcl::TMenuItem* items = Form->Menu()->Items();
  const int count = GetMenuItemCount(menu);
  int textItem = 0;
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!GetMenuItemRect(Form->Handle(), menu, static_cast<UINT>(i), &r)) continue;
    OffsetRect(&r, sh.Left - wr.left, sh.Top - wr.top);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_DATA;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    // The system's own entries of a maximised MDI child (its window menu and buttons) are pictures, not items:
    // the first shows the child's icon, the buttons are ours (LayoutMDIButtons).
    if ((info.fType & (MFT_SEPARATOR | MFT_BITMAP)) || info.hbmpItem) {
      if (i == 0 && ChildIconPresent()) PaintChildIcon(image);
      continue;
    }
    // The platform puts the visible items in order: the n-th visible item is the n-th text entry.
    const int n = textItem++;
    vcl::TMenuItem* item = nullptr;
    for (int k = 0, seen = 0; k < items->Count(); ++k) {
      if (!items->Items(k)->Visible()) continue;
      if (seen++ == n) {
        item = items->Items(k);
        break;
      }
    }
    rtl::String caption;
    if (item) {
      caption = item->Caption();
    } else {
      wchar_t text[256] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
      caption = text;
    }
    const vcl::TRect ir(r);
    const bool enabled = !item || item->Enabled();
    DrawLineItem(image, item, caption, ir, i == HotMenuPos && enabled, enabled, bg,
                 vcl::TPoint(ir.Left - sh.Left, ir.Top - tb));
  }
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
  const int w0 = SysBorderWidth(Form->Handle(), BorderForm, true);
  const int cw = CaptionWidth();
  const int width = SmallButtonWidth(), height = SmallButtonHeight();
  const int lines = std::max(1, GetLinesCount());
  const int y = SysBorderHeight(Form->Handle(), BorderForm, true) + CaptionHeight(true) + sh.Top +
                (MenuHeight() - height) / 2 + (lines - 1) * MenuHeight();
  auto place = [&](TsCaptionButton& b, int x) { b.Rect = vcl::TRect(x, y, x + width, y + height); };
  TsSystemMenu* childMenu = ChildProvider ? ChildProvider->SystemMenu : nullptr;
  // A button without its picture in the skin takes no place (the maximise button shows the restore picture).
  if (m->IsValidImgIndex(MDIMin.ImageIndex)) {
    place(MDIMin, cw - w0 - 3 * width - sh.Right - 3);
    PaintButton(MDIMin, !childMenu || childMenu->EnabledMin());
  }
  TsCaptionButton restore = MDIMax;
  const int norm =
      m->IsValidImgIndex(m->ConstData.MaskNormSmall) ? m->ConstData.MaskNormSmall : m->ConstData.MaskNormBtn;
  if (m->IsValidImgIndex(norm)) restore.ImageIndex = norm;
  if (m->IsValidImgIndex(restore.ImageIndex)) {
    place(MDIMax, cw - w0 - 2 * width - sh.Right - 2);
    restore.Rect = MDIMax.Rect;
    PaintButton(restore, !childMenu || childMenu->EnabledRestore());
  }
  if (m->IsValidImgIndex(MDIClose.ImageIndex)) {
    place(MDIClose, cw - w0 - width - sh.Right - 1);
    PaintButton(MDIClose, true);
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

// ---- The line handlers of the skinned menus ---------------------------------------------------------------------

void TsSkinMenus::InitMenuLine(vcl::TMainMenu* menu, bool a) {
  if (!menu || menu->ComponentState().Contains(vcl::csDestroying)) return;
  if (a && !FOwner->SkinnedPopups()) return;
  vcl::TMenuItem* items = menu->Items();
  for (int i = 0; i < items->Count(); ++i) {
    vcl::TMenuItem* top = items->Items(i);
    if (a) {
      // Set once: every change lays the menu bar out again.
      if (top->DrawHandlersOwner() != this)
        top->SetDrawHandlers([this](rtl::TObject* s, vcl::TCanvas* c, int& w, int& h) { sMeasureLineItem(s, c, w, h); },
                             [this](rtl::TObject* s, vcl::TCanvas* c, const vcl::TRect& r, UINT st) {
                               sAdvancedDrawLineItem(s, c, r, st);
                             },
                             this);
      FHooked.insert(top->Command());
    } else if (top->DrawHandlersOwner() == this) {
      top->SetDrawHandlers(nullptr, nullptr, nullptr);
      FHooked.erase(top->Command());
    }
  }
}

vcl::TCustomImageList* TsSkinMenus::LineImages(vcl::TMenuItem* item) {
  vcl::TMenu* menu = item->GetParentMenu();
  vcl::TCustomImageList* images = menu ? menu->Images() : nullptr;
  return images && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count() ? images : nullptr;
}

vcl::TSize TsSkinMenus::LinePictureSize(vcl::TMenuItem* item) {
  if (vcl::TCustomImageList* images = LineImages(item)) return vcl::TSize(images->Width(), images->Height());
  if (item->HasBitmap() && !item->Bitmap()->Empty())
    return vcl::TSize(item->Bitmap()->Width(), item->Bitmap()->Height());
  return vcl::TSize(0, 0);
}

void TsSkinMenus::sMeasureLineItem(rtl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !canvas) return;
  height = GetSystemMetrics(SM_CYMENU) - 1;
  const rtl::String text = vcl::StripHotkey(item->Caption());
  HDC dc = canvas->Handle();
  HGDIOBJ old = SelectObject(dc, MenuFont());
  SIZE ts{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &ts);
  SelectObject(dc, old);
  const vcl::TSize ps = LinePictureSize(item);
  width = ts.cx + (ps.cx > 0 ? ps.cx + 6 : 0);
}

void TsSkinMenus::sAdvancedDrawLineItem(rtl::TObject* sender, vcl::TCanvas* canvas, const vcl::TRect& r, UINT state) {
  auto* item = dynamic_cast<vcl::TMenuItem*>(sender);
  if (!item || !canvas) return;
  TsSkinProvider* sp = GetSkinProvider(item);
  if (!sp) sp = dynamic_cast<TsSkinProvider*>(MDISkinProvider);
  if (sp) sp->DrawLineItemOn(canvas, item, r, state);
}
