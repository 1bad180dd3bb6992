// Tab control, page control and page wrappers.
#include "skin/windows/lvTabWnd.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/vcl/comctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvBtnWnd.h"
#include "skin/windows/lvSpinWnd.h"
#include "skin/windows/lvWrapPaint.h"

using namespace lvwrap;

std::vector<std::unique_ptr<TlvMainWnd>>& ServWndList() {
  static std::vector<std::unique_ptr<TlvMainWnd>> list;
  return list;
}

void FreeServWnds(HWND tabControl) {
  auto& list = ServWndList();
  std::erase_if(list, [&](const std::unique_ptr<TlvMainWnd>& w) {
    const HWND h = w->CtrlHandle;
    return w->Destroyed || !h || !IsWindow(h) || (tabControl && GetParent(h) == tabControl);
  });
}

namespace {

constexpr int kTextBuffer = 4096;

// The window's font on a canvas (a copy: the canvas owns what it selects).
void AssignWndFont(vcl::TCanvas* canvas, HWND h) {
  auto f = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (!f) f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (GetObjectW(f, sizeof(lf), &lf)) canvas->Font()->SetHandle(CreateFontIndirectW(&lf));
  SelectObject(canvas->Handle(), canvas->Font()->Handle());
}

vcl::TRect Inflated(vcl::TRect r, int dx, int dy) { return vcl::Rect(r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy); }
vcl::TRect Moved(vcl::TRect r, int dx, int dy) { return vcl::Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Tab control.

TlvTabControlWnd::~TlvTabControlWnd() {
  delete BtnSW;
  BtnSW = nullptr;
  if (CtrlHandle && IsWindow(CtrlHandle)) FreeServWnds(CtrlHandle);
}

void TlvTabControlWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"PAGECONTROL");
  RememberedSize = WindowSize(CtrlHandle);
  TlvMainWnd::AfterCreation();
}

int TlvTabControlWnd::TabCount() { return static_cast<int>(SendMessageW(CtrlHandle, TCM_GETITEMCOUNT, 0, 0)); }
int TlvTabControlWnd::ActiveTabIndex() { return static_cast<int>(SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0)); }

vcl::TRect TlvTabControlWnd::TabRect(int index) {
  RECT r{};
  SendMessageW(CtrlHandle, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return vcl::TRect(r);
}

int TlvTabControlWnd::TabPosition() {
  const LONG_PTR s = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
  if (s & TCS_VERTICAL) return (s & TCS_RIGHT) ? 3 : 2;
  return (s & TCS_BOTTOM) ? 1 : 0;
}

int TlvTabControlWnd::Style() {
  const LONG_PTR s = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
  if (s & TCS_FLATBUTTONS) return 2;
  if (s & TCS_BUTTONS) return 1;
  return 0;
}

vcl::TRect TlvTabControlWnd::ClientRect() {
  const vcl::TSize sz = WindowSize(CtrlHandle);
  RECT r{0, 0, sz.cx, sz.cy};
  SendMessageW(CtrlHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  r.top += 2;
  return vcl::TRect(r);
}

vcl::TRect TlvTabControlWnd::SplitAtPage(bool tabsPart) {
  const vcl::TSize sz = WindowSize(CtrlHandle);
  vcl::TRect r(0, 0, sz.cx, sz.cy);
  if (TabCount() > 0) {
    const vcl::TRect c = ClientRect();
    switch (TabPosition()) {
      case 0: (tabsPart ? r.Bottom : r.Top) = c.Top - 4; break;
      case 1: (tabsPart ? r.Top : r.Bottom) = c.Bottom + 2; break;
      case 2: (tabsPart ? r.Right : r.Left) = c.Left - 1; break;
      default: (tabsPart ? r.Left : r.Right) = c.Right + 1; break;
    }
  }
  return r;
}

vcl::TRect TlvTabControlWnd::PageRect() { return SplitAtPage(false); }

vcl::TRect TlvTabControlWnd::TabsRect() { return SplitAtPage(true); }

int TlvTabControlWnd::TabRow(int index) {
  const int rows = static_cast<int>(SendMessageW(CtrlHandle, TCM_GETROWCOUNT, 0, 0));
  if (rows < 2) return 1;
  const vcl::TRect r = TabRect(index), t = TabsRect();
  const int w = std::max(1, r.Width()), h = std::max(1, r.Height());
  switch (TabPosition()) {
    case 0: return (r.Bottom + h / 2) / h;
    case 2: return (r.Right + w / 2) / w;
    case 3: return rows - (r.Right + w / 2 - t.Left) / w + 1;
    default: return rows - (r.Bottom + h / 2 - t.Top) / h + 1;
  }
}

vcl::TRect TlvTabControlWnd::SkinTabRect(int index, bool active) {
  if (index < 0 || index >= TabCount()) return vcl::TRect();
  vcl::TRect r = TabRect(index);
  if (Style() != 0 || r.IsEmpty()) return r;
  const int a = active ? 1 : 0;
  if (active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  switch (TabPosition()) {
    case 0:
      r = Inflated(r, 2 * a, 2 * a);
      r.Bottom += 1;
      break;
    case 1:
      r = Inflated(r, 2 * a, a);
      r.Top -= 2;
      r.Bottom += active ? 1 : -3;
      break;
    case 2:
      r = Inflated(r, 0, 1);
      r.Right += 2;
      if (active) {
        r = Inflated(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    default:
      r = Moved(Inflated(r, 1, 0), -1, -1);
      if (active) {
        r = Inflated(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  TsSkinManager* m = SkinData->SkinManager();
  const int c = m && m->CommonSkinData ? m->CommonSkinData->TabsCovering : 0;
  if (c > 0) {
    if (TabPosition() < 2)
      r = Inflated(Moved(r, c, 0), c, 0);
    else
      r = Inflated(Moved(r, 0, c), 0, c);
  }
  return r;
}

rtl::String TlvTabControlWnd::TabText(int index, int* image) {
  std::wstring buf(kTextBuffer, L'\0');
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  item.pszText = buf.data();
  item.cchTextMax = kTextBuffer;
  item.iImage = -1;
  if (!SendMessageW(CtrlHandle, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    return {};
  if (image) *image = item.iImage;
  // The control may answer its own buffer instead of ours; either is read up to its end, never beyond.
  const wchar_t* text = item.pszText ? item.pszText : buf.data();
  size_t n = 0;
  while (n < static_cast<size_t>(kTextBuffer) - 1 && text[n]) ++n;
  return rtl::String(text, n);
}

void TlvTabControlWnd::DrawSkinTab(int index, int state, HDC dc) {
  const vcl::TRect r = SkinTabRect(index, state == 2);
  if (r.IsEmpty()) return;
  auto bmp = CreateBmp32(r.Width(), r.Height());
  DrawSkinTab(index, state, vcl::TPoint(-r.Left, -r.Top), bmp.get());
  GdiFlush();
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TlvTabControlWnd::DrawSkinTab(int index, int state, vcl::TPoint offset, vcl::TBitmap* bmp) {
  if (index < 0 || !bmp) return;
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TCanvas* canvas = bmp->Canvas();
  AssignWndFont(canvas, CtrlHandle);
  int image = -1;
  const rtl::String text = TabText(index, &image);
  const int pos = TabPosition();
  const bool active = state == 2 && index == ActiveTabIndex();
  vcl::TRect r = Moved(SkinTabRect(index, active), offset.X, offset.Y);
  if (r.IsEmpty()) return;

  // The element of the tab side.
  int elem = -1, mask = -1;
  if (m && m->ConstData.Tabs[12 + asTop].SkinIndex > 0) {
    switch (Style()) {
      case 0: {
        static constexpr TlvSide sides[4] = {asTop, asBottom, asLeft, asRight};
        const TlvConstElementData& e = m->ConstData.Tabs[12 + static_cast<size_t>(sides[pos])];
        elem = e.SkinIndex;
        mask = e.MaskIndex;
        break;
      }
      case 1:
        elem = m->GetSkinIndex(L"BUTTON");
        mask = m->GetMaskIndex(elem, L"BORDERSMASK");
        break;
      default:
        elem = m->GetSkinIndex(L"TOOLBUTTON");
        mask = m->GetMaskIndex(elem, L"BORDERSMASK");
        break;
    }
  }
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (active && cache) {
    // What lies under the active tab first: a skin without the side's element still shows the strip there.
    const vcl::TRect inCache = Moved(r, -offset.X, -offset.Y);
    GdiFlush();
    BitBlt(canvas->Handle(), r.Left, r.Top, r.Width(), r.Height(), cache->Canvas()->Handle(), inCache.Left,
           inCache.Top, SRCCOPY);
  }
  if (ValidSection(m, elem) && ValidImage(m, mask)) {
    const int st = std::min(state, SectionStates(m, elem) - 1);
    auto tab = CreateBmp32(r.Width(), r.Height());
    const vcl::TRect inTab(0, 0, r.Width(), r.Height());
    const vcl::TRect inCache = Moved(r, -offset.X, -offset.Y);
    if (active && cache) {
      GdiFlush();
      BitBlt(tab->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), inCache.Left,
             inCache.Top, SRCCOPY);
      auto under = CreateBmp32(tab.get());
      PaintItem(elem, MakeCacheInfo(under.get()), true, st, inTab, vcl::TPoint(0, 0), tab.get(), m);
      GdiFlush();
      BitBlt(canvas->Handle(), r.Left, r.Top, r.Width(), r.Height(), tab->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
      PaintItem(elem, cache ? MakeCacheInfo(cache) : EmptyCI, true, st, inTab, inCache.TopLeft(), tab.get(), m);
      HDC dc = canvas->Handle();
      const int saved = SaveDC(dc);
      if (pos == 0 || pos == 2) {
        const vcl::TRect p = Moved(PageRect(), offset.X, offset.Y);
        ExcludeClipRect(dc, p.Left, p.Top, p.Right, p.Bottom);
      }
      GdiFlush();
      BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), tab->Canvas()->Handle(), 0, 0, SRCCOPY);
      RestoreDC(dc, saved);
    }
  }

  // Image and caption.
  auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
  int iw = 0, ih = 0;
  const bool hasImage = list && image >= 0 && ImageList_GetIconSize(list, &iw, &ih) && image < ImageList_GetImageCount(list);
  if (!hasImage) iw = ih = 0;
  if (pos < 2) {
    const vcl::TSize t = lvTextExtent(canvas, text);
    if (hasImage) {
      const int x = r.Left + (r.Width() - (t.cx + iw + 8)) / 2;
      const int y = r.Top + (r.Height() - ih) / 2;
      GdiFlush();
      ImageList_Draw(list, image, canvas->Handle(), x, y, ILD_TRANSPARENT);
      r.Left += iw;
    }
    canvas->Brush()->SetStyle(vcl::bsClear);
    vcl::TRect tr = r;
    if (ValidSection(m, elem))
      lvWriteTextEx(canvas, text.c_str(), true, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE, elem, state != 0, m);
    else
      lvWriteText(canvas, text.c_str(), true, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else {
    // A rotated copy of the font: normal weight whatever the style, "Arial" for "MS Sans Serif".
    LOGFONTW lf{};
    GetObjectW(canvas->Font()->Handle(), sizeof(lf), &lf);
    const int esc = pos == 2 ? -2700 : -900;
    lf.lfWidth = 0;
    lf.lfEscapement = lf.lfOrientation = esc;
    lf.lfWeight = FW_NORMAL;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    if (std::wstring(lf.lfFaceName) == L"MS Sans Serif") wcscpy_s(lf.lfFaceName, L"Arial");
    HDC dc = canvas->Handle();
    const vcl::TSize t = lvTextExtent(canvas, text);  // measured unrotated: L along the tab, T across
    HFONT vert = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, vert);
    const vcl::TColor color = ValidSection(m, elem) ? SectionFontColor(m, elem, state != 0 ? 1 : 0) : vcl::TColor(0);
    SetTextColor(dc, vcl::ColorToRGB(color));
    SetBkMode(dc, TRANSPARENT);
    const int len = t.cx, th = t.cy;
    int x, y;
    if (pos == 2) {
      if (hasImage) {
        if (active) r = Moved(r, 2, 0);
        const int ix = r.Left + (r.Width() - iw) / 2;
        y = r.Bottom - (r.Height() - (ih + len + 4)) / 2 - ih;
        GdiFlush();
        ImageList_Draw(list, image, dc, ix, y, ILD_TRANSPARENT);
        x = r.Left + (r.Width() - th) / 2;
        y -= 4;
      } else {
        x = r.Left + (r.Width() - th) / 2;
        y = r.Bottom - (r.Height() - len) / 2;
      }
    } else {
      r = Moved(r, -2, -1);
      if (hasImage) {
        if (active) r = Moved(r, 2, 0);
        const int iy = r.Top + (r.Height() - (ih + len + 4)) / 2;
        GdiFlush();
        ImageList_Draw(list, image, dc, r.Left + (r.Width() - iw) / 2, iy, ILD_TRANSPARENT);
        x = r.Left + (r.Width() - th) / 2 + th;
        y = iy + ih + 4;
      } else {
        x = r.Left + (r.Width() - th) / 2 + th;
        y = r.Top + (r.Height() - len) / 2;
      }
    }
    RECT clip = r;
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SelectObject(dc, old);
    DeleteObject(vert);
  }
}

void TlvTabControlWnd::DrawSkinTabs(const TCacheInfo& ci) {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const vcl::TRect strip = TabsRect();
  if (ci.Ready && ci.Bmp) {
    const int sx = ci.X + WndPos.X + strip.Left, sy = ci.Y + WndPos.Y + strip.Top;
    const int w = std::min(strip.Width(), ci.Bmp->Width() - sx), h = std::min(strip.Height(), ci.Bmp->Height() - sy);
    FillDC(cache->Canvas()->Handle(), strip, ci.FillColor);
    if (w > 0 && h > 0 && sx >= 0 && sy >= 0) {
      GdiFlush();
      BitBlt(cache->Canvas()->Handle(), strip.Left, strip.Top, w, h, ci.Bmp->Canvas()->Handle(), sx, sy, SRCCOPY);
    }
  } else {
    FillDC(cache->Canvas()->Handle(), strip, ci.FillColor);
  }
  const int rows = std::max(1, static_cast<int>(SendMessageW(CtrlHandle, TCM_GETROWCOUNT, 0, 0)));
  const int active = ActiveTabIndex(), n = TabCount();
  for (int row = 1; row <= rows; ++row)
    for (int i = 0; i < n; ++i)
      if (i != active && TabRow(i) == row) DrawSkinTab(i, 0, vcl::TPoint(0, 0), cache);
}

void TlvTabControlWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (GetUpdating(SkinData)) return;
  const bool given = message.WParam &&
                     (message.LParam == 1 || InAnimationProcess || (SkinData->CtrlSkinState & LVCS_PRINTING));
  TlvWndDC dc(h, given ? reinterpret_cast<HDC>(message.WParam) : nullptr);
  SkinData->BGChanged = true;
  TsSkinManager* m = SkinData->SkinManager();
  const int n = TabCount();
  // The section: a skin without the side's own page section keeps the wrapper's, so the control stays skinned.
  rtl::String section = SkinData->SkinSection();
  if (n == 0) {
    section = L"CHECKBOX";
  } else if (section == L"PAGECONTROL") {
    static const wchar_t* const suffix[4] = {L"", L"BOTTOM", L"LEFT", L"RIGHT"};
    section += suffix[TabPosition()];
  }
  int idx = m ? m->GetSkinIndex(section) : -1;
  if (idx < 0 && m) idx = m->GetSkinIndex(SkinData->SkinSection());
  if (idx < 0) return;
  SkinData->SkinIndex = idx;
  const TCacheInfo ci = GetParentCacheHwnd(h);
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return;
  if (n > 0) DrawSkinTabs(ci);
  const vcl::TRect page = PageRect();
  PaintItem(idx, ci, false, 0, page, vcl::TPoint(WndPos.X + page.Left, WndPos.Y + page.Top), cache, m);
  SkinData->BGChanged = false;
  const int active = ActiveTabIndex();
  if (n > 0 && active >= 0) {
    const int saved = SaveDC(dc.DC);
    const vcl::TRect a = SkinTabRect(active, true);
    ExcludeClipRect(dc.DC, a.Left, a.Top, a.Right, a.Bottom);
    CopyCache(dc.DC, cache);
    RestoreDC(dc.DC, saved);
    DrawSkinTab(active, 2, dc.DC);
  } else {
    CopyCache(dc.DC, cache);
  }
  if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl()))
    PaintControls(dc.DC, win, true, vcl::TPoint(0, 0));
}

void TlvTabControlWnd::CheckUpDown() {
  if (!SkinActive()) return;
  HWND ud = FindWindowExW(CtrlHandle, nullptr, L"msctls_updown32", nullptr);
  if (!ud) {
    delete BtnSW;
    BtnSW = nullptr;
    return;
  }
  // The same scroller keeps its wrapper (making a new one each time would only flicker).
  if (BtnSW && BtnSW->CtrlHandle == ud && !BtnSW->Destroyed) return;
  delete BtnSW;
  BtnSW = nullptr;
  TlvSkinParams p;
  p.SkinSection = L"UPDOWNBTN";
  BtnSW = new TlvSpinWnd(ud, p, SkinData->SkinManager(), nullptr);
}

void TlvTabControlWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (message.Msg == SM_LUMICMD) {
    const bool own = OwnManager(SkinData, message);
    switch (message.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (own) CommonWndProc(message, SkinData);
        if (own) SkinData->UpdateIndexes(true);
        if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl()))
          for (int i = 0; i < win->ControlCount(); ++i)
            if (auto* c = dynamic_cast<vcl::TWinControl*>(win->Controls(i))) c->HandleNeeded();
        LumiBroadCastCheck(SkinData->OwnerControl(), h, message);
        return;
      case LVC_REMOVESKIN:
        if (own) {
          CommonWndProc(message, SkinData);
          CheckUpDown();
          LumiBroadCastCheck(SkinData->OwnerControl(), h, message);
          InvalidateRect(h, nullptr, TRUE);
          RedrawWindow(h, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                           RDW_ERASENOW | RDW_FRAME);
        } else {
          LumiBroadCastCheck(SkinData->OwnerControl(), h, message);
        }
        return;
      case LVC_REFRESH:
        if (own) {
          CommonWndProc(message, SkinData);
          SkinData->UpdateIndexes(true);
          InvalidateRect(h, nullptr, TRUE);
          CheckUpDown();
        }
        LumiBroadCastCheck(SkinData->OwnerControl(), h, message);
        return;
      case LVC_ENDPARENTUPDATE:
        if (SkinActive()) {
          SkinData->SetUpdatingFlag(false);
          InvalidateRect(h, nullptr, TRUE);
          return;
        }
        break;
      case LVC_CTRLHANDLED:
        message.Result = 1;
        return;
      case LVC_PREPARING:
        if (SkinActive()) {
          message.Result = SkinData->UpdatingFlag() ? 1 : 0;
          return;
        }
        break;
      case LVC_GETSERVICEINT:
        message.Result = reinterpret_cast<LRESULT>(SkinData->SkinManager());
        return;
      case LVC_GETBG:
        if (SkinActive() && message.LParam) {
          InitBGInfo(SkinData, reinterpret_cast<TlvBGInfo*>(message.LParam), 0, h);
          return;
        }
        break;
      default:
        break;
    }
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (!SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  auto spinRedraw = [&] {
    if (BtnSW && !SkinData->BGChanged && BtnSW->CtrlHandle)
      RedrawWindow(BtnSW->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  };
  switch (message.Msg) {
    case WM_PAINT: {
      if (message.WParam) {
        LV_WMPaint(message);
        return;
      }
      PaintThroughErase();
      spinRedraw();
      return;
    }
    case WM_ERASEBKGND:
      if (IsWindowVisible(h)) {
        if (!InAnimationProcess) {
          vcl::TMessage m{WM_PAINT, message.WParam, 1, 0};
          LV_WMPaint(m);
        }
        CheckUpDown();
        message.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      return;
    case WM_PRINT: {
      CheckUpDown();
      vcl::TMessage m{WM_PAINT, message.WParam, 1, 0};
      LV_WMPaint(m);
      spinRedraw();
      return;
    }
    case TCM_SETCURSEL:
      RedrawGuarded(h, [&] { TlvMainWnd::lvWndProc(message); });
      // The new selection shows at once (the guard above kept the control from drawing its own).
      InvalidateRect(h, nullptr, TRUE);
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (!IsWindow(h) || Destroyed) return;
  if (message.Msg == WM_SIZE) {
    CheckUpDown();
    const vcl::TSize now = WindowSize(h);
    if (now.cx < RememberedSize.cx || now.cy < RememberedSize.cy)
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
    RememberedSize = now;
  } else if (message.Msg == vcl::CM_CONTROLLISTCHANGE) {
    CheckUpDown();
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Page control.

void TlvPageControlWnd::AfterCreation() {
  InitPages();
  TlvTabControlWnd::AfterCreation();
}

void TlvPageControlWnd::InitPages() {
  FreeServWnds(nullptr);
  TsSkinManager* m = SkinData->SkinManager();
  if (auto* pc = dynamic_cast<vcl::TPageControl*>(SkinData->OwnerControl())) {
    for (int i = 0; i < pc->PageCount(); ++i) {
      vcl::TTabSheet* page = pc->Pages(i);
      if (!page->HandleAllocated()) continue;
      const HWND ph = page->Handle();
      if (SendMessageW(ph, SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0) == 1) continue;
      TlvSkinParams p;
      p.SkinSection = L"CHECKBOX";
      p.Control = page;
      auto* w = NewWrapper<TlvPageWnd>(ph, nullptr, m, p, false);
      w->Page = page;
      ServWndList().emplace_back(w);
    }
    return;
  }
  HWND self = CtrlHandle;
  EnumChildWindows(CtrlHandle, EnumPages, reinterpret_cast<LPARAM>(&self));
}

BOOL CALLBACK EnumPages(HWND handle, LPARAM lParam) {
  const HWND tab = *reinterpret_cast<const HWND*>(lParam);
  if (GetParent(handle) != tab) return TRUE;
  // The strip's scroller is the tab control's own part, never a page.
  wchar_t cls[32] = {};
  GetClassNameW(handle, cls, 32);
  if (_wcsicmp(cls, L"msctls_updown32") == 0) return TRUE;
  auto* m = reinterpret_cast<TsSkinManager*>(SendMessageW(tab, SM_LUMICMD, MakeLumiWParam(LVC_GETSERVICEINT), 0));
  if (!m) return TRUE;
  if (SendMessageW(handle, SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0) == 1) return TRUE;
  TlvSkinParams p;
  p.SkinSection = L"CHECKBOX";
  ServWndList().emplace_back(NewWrapper<TlvPageWnd>(handle, nullptr, m, p, false));
  return TRUE;
}

void TlvPageControlWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvTabControlWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (IsWindowVisible(h)) {
        if (!InAnimationProcess) {
          vcl::TMessage m{WM_PAINT, message.WParam, 1, 0};
          LV_WMPaint(m);
        }
        message.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      InitPages();
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE || LOWORD(message.WParam) == WM_DESTROY) InitPages();
      break;
    case WM_PRINT: {
      CheckUpDown();
      InitPages();
      SkinData->SetUpdatingFlag(false);
      vcl::TMessage m{WM_PAINT, message.WParam, 1, 0};
      LV_WMPaint(m);
      return;
    }
    case TCM_SETCURSEL:
      if (auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl())) {
        InitPages();
        AddToAdapter(win);
      }
      break;
    default:
      break;
  }
  TlvTabControlWnd::lvWndProc(message);
}

// ---------------------------------------------------------------------------------------------------------------
// Pages.

void TlvPageWnd::AfterCreation() {
  Page = nullptr;
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TlvMainWnd::AfterCreation();
}

int TlvPageWnd::TabPosition() {
  const LONG_PTR s = GetWindowLongPtrW(GetParent(CtrlHandle), GWL_STYLE);
  if (s & TCS_VERTICAL) return (s & TCS_RIGHT) ? 3 : 2;
  return (s & TCS_BOTTOM) ? 1 : 0;
}

void TlvPageWnd::LV_WMEraseBKGnd(HDC given) {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TlvBGInfo bg;
  if (ParentWnd) GetBGInfo(bg, ParentWnd, false);
  TlvWndDC dc(h, given);
  const int w = WndSize.cx, hh = WndSize.cy;
  if (bg.BgType == btCache && bg.Bmp) {
    if (bg.Bmp->Width() == 0) SendMessageW(ParentWnd, WM_PAINT, reinterpret_cast<WPARAM>(bg.Bmp->Canvas()->Handle()), 0);
    if (bg.Bmp->Width() == 0) return;
    GdiFlush();
    BitBlt(dc.DC, 0, 0, w, hh, bg.Bmp->Canvas()->Handle(), WndPos.X + bg.Offset.X, WndPos.Y + bg.Offset.Y, SRCCOPY);
  } else {
    FillDC(dc.DC, vcl::Rect(0, 0, w, hh), bg.Color);
    if (bg.Bmp && SendMessageW(ParentWnd, TCM_GETITEMCOUNT, 0, 0) > 0) {
      const int sx = WndPos.X + bg.Offset.X, sy = WndPos.Y + bg.Offset.Y;
      HDC src = bg.Bmp->Canvas()->Handle();
      GdiFlush();
      switch (TabPosition()) {
        case 0: BitBlt(dc.DC, 0, 0, w, 3, src, sx, sy, SRCCOPY); break;
        case 1: BitBlt(dc.DC, 0, hh - 3, w, 3, src, sx, sy + hh - 3, SRCCOPY); break;
        case 2: BitBlt(dc.DC, 0, 0, 3, hh, src, sx, sy, SRCCOPY); break;
        default: BitBlt(dc.DC, w - 3, 0, 3, hh, src, sx + w - 3, sy, SRCCOPY); break;
      }
    }
  }
  if (auto* win = dynamic_cast<vcl::TWinControl*>(Page)) {
    PaintControls(dc.DC, win, true, vcl::TPoint(0, 0));
    SetParentUpdated(win);
  } else {
    SetParentUpdated(h);
  }
}

void TlvPageWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (message.Msg == SM_LUMICMD) {
    const bool own = OwnManager(SkinData, message);
    switch (message.WParamHi()) {
      case LVC_SETNEWSKIN:
        if (own) SkinData->UpdateIndexes(true);
        LumiBroadCastCheck(Page, h, message);
        return;
      case LVC_REMOVESKIN:
        if (own) {
          CommonWndProc(message, SkinData);
          InvalidateRect(h, nullptr, TRUE);
        }
        LumiBroadCastCheck(Page, h, message);
        TlvMainWnd::lvWndProc(message);
        return;
      case LVC_REFRESH:
        if (own) {
          SkinData->UpdateIndexes(true);
          InvalidateRect(h, nullptr, TRUE);
        }
        LumiBroadCastCheck(Page, h, message);
        return;
      case LVC_ENDPARENTUPDATE:
        if (SkinData->UpdatingFlag()) {
          SkinData->SetUpdatingFlag(false);
          InvalidateRect(h, nullptr, TRUE);
          return;
        }
        break;
      case LVC_CTRLHANDLED:
        message.Result = 1;
        return;
      case LVC_PREPARING:
        message.Result = SkinData->UpdatingFlag() ? 1 : 0;
        return;
      case LVC_GETBG:
        if (message.LParam && SkinActive()) {
          auto* bg = reinterpret_cast<TlvBGInfo*>(message.LParam);
          InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
          GetBGInfo(*bg, ParentWnd, bg->PleaseDraw);
          bg->Offset.X += WndPos.X;
          bg->Offset.Y += WndPos.Y;
          return;
        }
        break;
      default:
        break;
    }
    TlvMainWnd::lvWndProc(message);
    return;
  }
  if (!SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      if (IsWindowVisible(h)) {
        if (message.WParam) {
          LV_WMEraseBKGnd(reinterpret_cast<HDC>(message.WParam));
          return;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        LV_WMEraseBKGnd(dc);
        EndPaint(h, &ps);
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (IsWindowVisible(h)) {
        LV_WMEraseBKGnd(reinterpret_cast<HDC>(message.WParam));
        message.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      return;
    case WM_PRINT:
      LV_WMEraseBKGnd(reinterpret_cast<HDC>(message.WParam));
      {
        LPARAM l = message.LParam;
        CallPrevWndProc(CtrlHandle, WM_PAINT, message.WParam, l);
      }
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (message.Msg == WM_PARENTNOTIFY && LOWORD(message.WParam) == WM_CREATE && IsWindow(h)) SendControlLoaded(h);
}
