// Tool bar and status bar wrappers.
#include "skin/windows/lvBarWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <sstream>

#include "platform/vcl/statusbar.h"
#include "platform/vcl/toolbar.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvBtnWnd.h"
#include "skin/windows/lvWrapPaint.h"

using namespace lvwrap;

namespace {

// The window's font on a canvas (a copy: the canvas owns what it selects).
void WndFont(vcl::TCanvas* canvas, HWND h) {
  auto f = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
  if (!f) f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW lf{};
  if (GetObjectW(f, sizeof(lf), &lf)) canvas->Font()->SetHandle(CreateFontIndirectW(&lf));
  SelectObject(canvas->Handle(), canvas->Font()->Handle());
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Native tool bar.

int TlvToolBarWnd::Count() { return static_cast<int>(SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0)); }

vcl::TRect TlvToolBarWnd::GetButtonRect(int i) {
  RECT r{};
  SendMessageW(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  return vcl::TRect(r);
}

void TlvToolBarWnd::PrepareCache() {
  if (RefreshPlainCache(ClientRect)) BorderWidth = std::max(0, (WndSize.cy - ClientRect.Height()) / 2);
}

bool TlvToolBarWnd::SplitCaption(const rtl::String& caption, rtl::String& first, rtl::String& second) {
  std::vector<std::wstring> words;
  std::wstringstream ss(caption);
  for (std::wstring w; ss >> w;) words.push_back(w);
  if (words.size() < 3) return false;
  first.clear();
  for (size_t i = 0; i + 2 < words.size(); ++i) first += (i ? L" " : L"") + words[i];
  second = words[words.size() - 2] + L" " + words.back();
  return true;
}

void TlvToolBarWnd::DrawBtn(int index, vcl::TRect r, HDC dc) {
  TBBUTTON b{};
  if (!SendMessageW(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b))) return;
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  vcl::TBitmap* cache = SkinData->CacheBmp();
  TsSkinManager* m = SkinData->SkinManager();
  auto bmp = CreateBmp32(w, h);
  HDC bdc = bmp->Canvas()->Handle();
  GdiFlush();
  BitBlt(bdc, 0, 0, w, h, cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
  if (b.fsStyle & BTNS_SEP) {
    TsSkinManager* dm = DefaultManager ? DefaultManager : m;
    const int idx = dm ? dm->GetSkinIndex(L"DIVIDER") : -1;
    const int mask = dm ? dm->GetMaskIndex(idx, L"BORDERSMASK") : -1;
    if (ValidSection(dm, idx) && ValidImage(dm, mask)) {
      auto under = CreateBmp32(bmp.get());
      PaintItem(idx, MakeCacheInfo(under.get()), true, 0, vcl::Rect(w / 2 - 1, 2, w / 2 + 3, h - 2), vcl::TPoint(0, 0),
                bmp.get(), dm);
    }
  } else {
    const int idx = m->GetSkinIndex(L"TOOLBUTTON");
    int state = 0, d = 0;
    if (!(b.fsState & TBSTATE_ENABLED)) {
      state = 0;
    } else if (b.fsState & TBSTATE_PRESSED) {
      state = 2;
      d = 1;
    } else {
      RECT sr = r;
      sr.left -= BorderWidth;
      sr.right -= BorderWidth;
      sr.top -= BorderWidth;
      sr.bottom -= BorderWidth;
      MapWindowPoints(CtrlHandle, nullptr, reinterpret_cast<POINT*>(&sr), 2);
      POINT p;
      GetCursorPos(&p);
      state = PtInRect(&sr, p) ? 1 : 0;
    }
    if (ValidSection(m, idx))
      PaintItem(idx, MakeCacheInfo(cache), true, std::min(state, SectionStates(m, idx) - 1), vcl::Rect(0, 0, w, h),
                r.TopLeft(), bmp.get(), m);
    // Caption and image.
    rtl::String caption;
    const int len = static_cast<int>(SendMessageW(CtrlHandle, TB_GETBUTTONTEXTW, static_cast<WPARAM>(b.idCommand), 0));
    if (len > 0 && len < 4096) {
      std::wstring t(static_cast<size_t>(len) + 1, L'\0');
      SendMessageW(CtrlHandle, TB_GETBUTTONTEXTW, static_cast<WPARAM>(b.idCommand), reinterpret_cast<LPARAM>(t.data()));
      t.resize(wcsnlen(t.c_str(), static_cast<size_t>(len)));
      caption = t;
    }
    int iw = 0, ih = 0;
    auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, TB_GETIMAGELIST, 0, 0));
    const bool image = b.iBitmap >= 0 && list && ImageList_GetIconSize(list, &iw, &ih);
    if (image) {
      ImageList_SetBkColor(list, CLR_NONE);
      const int glyph = m->ConstData.ScrollBtns[asBottom].GlyphIndex;
      int x, y;
      if ((b.fsStyle & BTNS_WHOLEDROPDOWN) && ValidImage(m, glyph)) {
        const TsMaskData& md = m->ma[static_cast<size_t>(glyph)];
        const int aw = WidthOfImage(md), ah = HeightOfImage(md);
        const vcl::TPoint gp = caption.empty() ? vcl::TPoint(w - aw - d - 1, (h - ah) / 2 + d)
                                               : vcl::TPoint((w - aw) / 2 + d, (h - ah) / 2 + d);
        x = (w - iw - aw) / 2 + d;
        y = d + 4;
        GdiFlush();
        ImageList_Draw(list, b.iBitmap, bdc, x, y, ILD_TRANSPARENT);
        ::DrawSkinGlyph(bmp.get(), gp, state, 1, md, MakeCacheInfo(bmp.get()));
      } else {
        if (caption.empty()) {
          x = (w - iw) / 2 + d;
          y = (h - ih) / 2 + d;
        } else {
          x = (w - iw) / 2 + d;
          y = d + 4;
        }
        GdiFlush();
        ImageList_Draw(list, b.iBitmap, bdc, x, y, ILD_TRANSPARENT);
      }
      FillAlphaRect(bmp.get(), vcl::Bounds(x, y, iw, ih), 255);
    }
    if (!caption.empty()) {
      WndFont(bmp->Canvas(), CtrlHandle);
      bmp->Canvas()->Brush()->SetStyle(vcl::bsClear);
      const int own = SkinData->SkinIndex;
      const int textIdx =
          state == 0 && ValidSection(m, own) && m->gd[static_cast<size_t>(own)].GiveOwnFont ? own : idx;
      const int top = d + 2 + (image ? ih + 2 : 0);
      vcl::TRect tr(d + 2, top, w + d - 2, h + d - 2);
      rtl::String first, second;
      if (SplitCaption(caption, first, second)) {
        const int lh = lvTextHeight(bmp->Canvas(), L"Wg");
        vcl::TRect r1(tr.Left, tr.Top, tr.Right, tr.Top + lh);
        lvWriteTextEx(bmp->Canvas(), first.c_str(), true, r1, DT_CENTER | DT_SINGLELINE, textIdx, state != 0, m);
        vcl::TRect r2(tr.Left, tr.Top + lh, tr.Right, tr.Bottom);
        lvWriteTextEx(bmp->Canvas(), second.c_str(), true, r2, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS, textIdx,
                      state != 0, m);
      } else {
        lvWriteTextEx(bmp->Canvas(), caption.c_str(), true, tr, 0x8015, textIdx, state != 0, m);
      }
    }
    if (!(b.fsState & TBSTATE_ENABLED)) BlendTransRectangle(bmp.get(), 0, 0, cache, r, DefDisabledBlend);
  }
  GdiFlush();
  BitBlt(dc, r.Left, r.Top, w, h, bdc, 0, 0, SRCCOPY);
}

void TlvToolBarWnd::DrawButtons(vcl::TBitmap* bmp) {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  GdiFlush();
  BitBlt(bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    vcl::TRect r = GetButtonRect(i);
    r = vcl::Rect(r.Left + BorderWidth, r.Top + BorderWidth, r.Right + BorderWidth, r.Bottom + BorderWidth);
    DrawBtn(i, r, bmp->Canvas()->Handle());
  }
}

void TlvToolBarWnd::LV_WMPrint(vcl::TMessage& message) {
  PrepareCache();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Width() <= 0) return;
  auto bmp = CreateBmp32(cache->Width(), cache->Height());
  DrawButtons(bmp.get());
  FillAlphaRect(bmp.get(), vcl::Rect(0, 0, bmp->Width(), bmp->Height()), 255);
  TlvWndDC dc(CtrlHandle, reinterpret_cast<HDC>(message.WParam));
  CopyCache(dc.DC, bmp.get(), 0, 0, bmp->Width() - 2 * BorderWidth, bmp->Height() - 2 * BorderWidth, BorderWidth,
            BorderWidth);
}

void TlvToolBarWnd::LV_WMPaint(vcl::TMessage& message) {
  PaintPrinted(message, [&] { LV_WMPrint(message); });
}

void TlvToolBarWnd::LV_WMNCPaint(vcl::TMessage&) {
  PaintClientEdge([&] {
    PrepareCache();
    return (WndSize.cx - ClientRect.Width()) / 2;
  });
}

void TlvToolBarWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      if (IsWindowVisible(h) || message.WParam) {
        LV_WMPaint(message);
        return;
      }
      break;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      LV_WMNCPaint(message);
      return;
    case WM_PRINT:
      LV_WMPrint(message);
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (!IsWindow(h) || Destroyed) return;
  switch (message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      break;
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(vcl::csDesigning) && IsWindowEnabled(h))
        DefaultManager->SetActiveControl(h);
      // The hot button follows the cursor.
      InvalidateRect(h, nullptr, FALSE);
      break;
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      InvalidateRect(h, nullptr, FALSE);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Component tool bar.

void TlvToolBarVCLWnd::AfterCreation() {
  HotButtonIndex = -1;
  DroppedButton = nullptr;
  ToolBar = dynamic_cast<vcl::TToolBar*>(SkinData->OwnerControl());
  if (ToolBar && SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"TOOLBAR");
  TlvMainWnd::AfterCreation();
}

vcl::TRect TlvToolBarVCLWnd::GetButtonRect(int i) {
  RECT r{};
  SendMessageW(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  return vcl::TRect(r);
}

int TlvToolBarVCLWnd::IndexByMouse(vcl::TPoint p) {
  const int n = static_cast<int>(SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < n; ++i)
    if (GetButtonRect(i).Contains(p)) {
      TBBUTTON b{};
      if (SendMessageW(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b)) &&
          !(b.fsStyle & BTNS_SEP))
        return i;
      return -1;
    }
  return -1;
}

void TlvToolBarVCLWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (message.Msg == SM_LUMICMD && OwnManager(SkinData, message) &&
      (message.WParamHi() == LVC_REMOVESKIN || message.WParamHi() == LVC_REFRESH))
    DroppedButton = nullptr;
  TlvMainWnd::lvWndProc(message);
  if (Destroyed || !IsWindow(h) || !SkinActive()) return;
  if (message.Msg == WM_MOUSEMOVE && ToolBar && !ToolBar->Flat()) {
    const int i = IndexByMouse(vcl::TPoint(static_cast<short>(LOWORD(message.LParam)),
                                           static_cast<short>(HIWORD(message.LParam))));
    if (i != HotButtonIndex) HotButtonIndex = i;
  } else if (message.Msg == vcl::CM_MOUSELEAVE && ToolBar && !ToolBar->Flat()) {
    HotButtonIndex = -1;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Status bar.

void TlvStatusBarWnd::AfterCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(L"STATUSBAR");
  StatusBar = dynamic_cast<vcl::TStatusBar*>(SkinData->OwnerControl());
  TlvMainWnd::AfterCreation();
}

bool TlvStatusBarWnd::SimplePanel() { return SendMessageW(CtrlHandle, SB_ISSIMPLE, 0, 0) == 1; }
int TlvStatusBarWnd::PartsCount() { return static_cast<int>(SendMessageW(CtrlHandle, SB_GETPARTS, 0, 0)); }

vcl::TRect TlvStatusBarWnd::PartRect(int i) {
  RECT r{};
  SendMessageW(CtrlHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  return vcl::TRect(r);
}

rtl::String TlvStatusBarWnd::PartText(int i) {
  if (PartsCount() <= 0) return {};
  if (SimplePanel()) return WindowText(CtrlHandle);
  if (StatusBar) {
    if (StatusBar->Panels()->Count() == 0) return StatusBar->SimpleText();
    if (i >= 0 && i < StatusBar->Panels()->Count()) return StatusBar->Panels()->Items(i)->Text();
  }
  return {};
}

void TlvStatusBarWnd::DoDrawText(const rtl::String& text, vcl::TRect r, unsigned flags) {
  vcl::TCanvas* c = SkinData->CacheBmp()->Canvas();
  if (StatusBar) c->Font()->Assign(StatusBar->Font());
  c->Brush()->SetStyle(vcl::bsClear);
  lvWriteTextEx(c, text.c_str(), true, r, flags | DT_VCENTER | DT_SINGLELINE, SkinData, false, SkinManager);
}

void TlvStatusBarWnd::InternalDrawPanel(int index, vcl::TRect r) {
  TsSkinManager* m = SkinData->SkinManager();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!m) return;
  vcl::TRect t(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  t.Bottom -= 1;
  t.Left += 2;
  t.Right -= 4;
  const bool simple = SimplePanel();
  if (ValidSection(m, SkinData->SkinIndex)) {
    const int mask = m->GetMaskIndex(SkinData->SkinIndex, L"STATUSPANELMASK");
    if (ValidImage(m, mask)) {
      DrawSkinRect(cache, simple ? vcl::Rect(0, 0, WndSize.cx, WndSize.cy) : r, MakeCacheInfo(cache),
                   m->ma[static_cast<size_t>(mask)], 0, false);
    } else if (!simple && index < PartsCount() - 1) {
      const int div = m->GetSkinIndex(L"DIVIDER");
      const int dmask = m->GetMaskIndex(div, L"BORDERSMASK");
      if (ValidSection(m, div) && ValidImage(m, dmask)) {
        const int w = std::max(2, m->MaskWidthLeft(dmask) + m->MaskWidthRight(dmask)), h = WndSize.cy - 2;
        if (h > 0) {
          auto bmp = CreateBmp32(w, h);
          const int x = r.Right - w;
          GdiFlush();
          BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), x, 1, SRCCOPY);
          auto under = CreateBmp32(bmp.get());
          PaintItem(div, MakeCacheInfo(under.get()), true, 0, vcl::Rect(0, 0, w, h), vcl::TPoint(0, 0), bmp.get(), m);
          GdiFlush();
          BitBlt(cache->Canvas()->Handle(), x, 1, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
      }
    }
  }
  if (!StatusBar) return;
  vcl::TStatusPanel* panel =
      !simple && index >= 0 && index < StatusBar->Panels()->Count() ? StatusBar->Panels()->Items(index) : nullptr;
  if (panel && panel->Style() == vcl::psOwnerDraw && StatusBar->OnDrawPanel) return;  // the bar's own drawing
  if (StatusBar->Font()) cache->Canvas()->Font()->Assign(StatusBar->Font());
  const rtl::String text = CutText(cache->Canvas(), PartText(index), t.Width());
  unsigned flags = DT_LEFT;
  if (panel) flags = panel->Alignment() == vcl::taRightJustify ? DT_RIGHT : panel->Alignment() == vcl::taCenter ? DT_CENTER : DT_LEFT;
  DoDrawText(text, t, flags);
}

void TlvStatusBarWnd::DrawPanel(int index, vcl::TRect r) { InternalDrawPanel(index, r); }

void TlvStatusBarWnd::PaintPanels() {
  if (SimplePanel()) {
    InternalDrawPanel(-1, vcl::Rect(0, 1, WndSize.cx - 1, WndSize.cy - 1));
    return;
  }
  const int n = std::min(PartsCount(), 256);
  for (int i = 0; i < n; ++i) {
    const vcl::TRect r = PartRect(i);
    DrawPanel(i, vcl::Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
  }
}

void TlvStatusBarWnd::PaintGrip() {
  TsSkinManager* m = SkinData->SkinManager();
  if (!StatusBar || !StatusBar->SizeGrip() || !m || !ValidImage(m, m->ConstData.GripRightBottom)) return;
  const TsMaskData& md = m->ma[static_cast<size_t>(m->ConstData.GripRightBottom)];
  vcl::TBitmap* cache = SkinData->CacheBmp();
  ::DrawSkinGlyph(cache, vcl::TPoint(cache->Width() - WidthOfImage(md), cache->Height() - HeightOfImage(md)), 0, 1, md,
                  MakeCacheInfo(cache));
}

void TlvStatusBarWnd::PrepareCache() {
  vcl::TBitmap* cache = SizedCache(SkinData, WndSize.cx, WndSize.cy);
  if (!cache) return;
  const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
  PaintItem(SkinData, ci, false, 0, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, false);
  PaintPanels();
  PaintGrip();
  SkinData->BGChanged = false;
}

void TlvStatusBarWnd::WMPaint(HDC given) {
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  PrepareCache();
  TlvWndDC dc(CtrlHandle, given);
  CopyCache(dc.DC, SkinData->CacheBmp());
}

void TlvStatusBarWnd::WMNCPaint(HDC given) {
  if (!StatusBar) return;
  RECT cr;
  GetClientRect(CtrlHandle, &cr);
  InitCtrlData(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const int b = (WndSize.cx - cr.right) / 2;
  if (b <= 0) return;
  if (SkinData->BGChanged) PrepareCache();
  CopyCacheBorder(given, WndSize.cx, WndSize.cy, b);
}

void TlvStatusBarWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinActive()) {
    TlvMainWnd::lvWndProc(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam)
        WMPaint(reinterpret_cast<HDC>(message.WParam));
      else
        PaintThroughErase();
      return;
    case WM_ERASEBKGND:
      WMPaint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_NCPAINT:
      if (!InAnimationProcess) WMNCPaint(nullptr);
      return;
    case WM_PRINT:
      WMPaint(reinterpret_cast<HDC>(message.WParam));
      return;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(message);
  if (message.Msg == WM_SIZE && IsWindow(h)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}
