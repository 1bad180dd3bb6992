#include "skin/windows/lvSpinWnd.h"

#include <commctrl.h>

#include "skin/windows/lvBtnWnd.h"

#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sWndUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvWrapPaint.h"

using namespace lvwrap;

TlvSpinWnd::TlvSpinWnd(HWND handle, const TlvSkinParams& params, TsSkinManager* manager, TsCommonData*)
    : SkinSection(params.SkinSection) {
  TlvSkinParams own = params;
  own.Control = nullptr;
  if (handle && IsWindow(handle) && !GetPropW(handle, L"LVSBSC")) Create(handle, nullptr, manager, own, false);
  HWND parent;
  vcl::TRect wr, pr;
  vcl::TSize size;
  InitCtrlData(handle, parent, wr, pr, size, WndPos);
}

void TlvSpinWnd::AfterCreation() {
  lOffset = Btn1State = Btn2State = 0;
  bMousePressed = false;
  if (SkinSection.empty()) SkinSection = SkinData->SkinSection();
  TlvMainWnd::AfterCreation();
}

bool TlvSpinWnd::IsVertical() const { return (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & UDS_HORZ) == 0; }

void TlvSpinWnd::Redraw() { RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME); }

void TlvSpinWnd::lvWndProc(vcl::TMessage& message) {
  message.Result = WndProc(message.Msg, message.WParam, message.LParam);
}

// The spin is painted while its manager has a skin: its own section may be missing from the skin, the buttons
// take the skin's up-down sections anyway.
static bool SpinSkinned(TlvSpinWnd* w) {
  TsSkinManager* m = w->SkinData ? w->SkinData->SkinManager() : nullptr;
  return m && m->Active() && m->CommonSkinData && m->CommonSkinData->Active &&
         m->IsValidSkinIndex(m->ConstData.UpDownBtns[asTop].SkinIndex);
}

LRESULT TlvSpinWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  vcl::TMessage m{msg, wParam, lParam, 0};
  const HWND h = CtrlHandle;
  if (Destroyed || !SpinSkinned(this)) {
    if (msg == SM_LUMICMD && HIWORD(wParam) == LVC_REFRESH) {
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return 0;
    }
    TlvMainWnd::lvWndProc(m);
    return m.Result;
  }
  switch (msg) {
    case WM_PAINT:
      LV_WMPaint(m);
      return 0;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      vcl::TMessage p{WM_PAINT, wParam, 0, 0};
      LV_WMPaint(p);
      return 0;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return 1;
    case WM_LBUTTONDOWN:
      bMousePressed = true;
      break;
    case WM_LBUTTONUP:
      bMousePressed = false;
      break;
    case WM_MOUSELEAVE:
      InvalidateRect(h, nullptr, FALSE);
      break;
    case SM_LUMICMD:
      if (HIWORD(wParam) == LVC_MOUSELEAVE) Redraw();
      if (HIWORD(wParam) == LVC_REFRESH) {
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return 0;
      }
      break;
    default:
      break;
  }
  TlvMainWnd::lvWndProc(m);
  if (!IsWindow(h) || Destroyed) return m.Result;
  switch (msg) {
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(vcl::csDesigning) && IsWindowEnabled(h)) {
        InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
        if (WndRect.Contains(lvMousePos())) {
          if (DefaultManager->ActiveControl() == h)
            Redraw();
          else
            DefaultManager->SetActiveControl(h);
        } else if (DefaultManager->ActiveControl() == h) {
          DefaultManager->SetActiveControl(nullptr);
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      Redraw();
      break;
    case WM_LBUTTONDBLCLK:
      bMousePressed = true;
      Redraw();
      bMousePressed = false;
      break;
    default:
      break;
  }
  return m.Result;
}

void TlvSpinWnd::LV_WMPaint(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const vcl::TPoint p = lvMousePos();
  if (!WndRect.Contains(p)) {
    Btn1State = Btn2State = 0;
  } else {
    const vcl::TRect first = IsVertical()
                                 ? vcl::Rect(WndRect.Left, WndRect.Top, WndRect.Right, WndRect.Bottom - WndSize.cy / 2)
                                 : vcl::Rect(WndRect.Left, WndRect.Top, WndRect.Right - WndSize.cx / 2, WndRect.Bottom);
    const int s = 1 + (bMousePressed ? 1 : 0);
    if (first.Contains(p)) {
      Btn1State = s;
      Btn2State = 0;
    } else {
      Btn1State = 0;
      Btn2State = s;
    }
  }
  PAINTSTRUCT ps;
  if (!message.WParam) BeginPaint(h, &ps);
  if (!InUpdating(SkinData, false)) {
    TlvWndDC dc(h, reinterpret_cast<HDC>(message.WParam));
    SkinData->BGChanged = true;
    PrepareCache();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (cache && cache->Width() > 0) {
      if (IsVertical())
        CopyCache(dc.DC, cache, lOffset, 0, cache->Width() - lOffset, cache->Height(), lOffset, 0);
      else
        CopyCache(dc.DC, cache);
    }
  }
  if (!message.WParam) EndPaint(h, &ps);
}

void TlvSpinWnd::PrepareCache() {
  TlvBGInfo bg;
  if (ParentWnd) GetBGInfo(bg, ParentWnd, false);
  const TCacheInfo ci = BGInfoToCI(bg);
  const int cx = WndSize.cx, cy = WndSize.cy;
  vcl::TBitmap* cache = SizedCache(SkinData, cx, cy);
  TsSkinManager* m = SkinData->SkinManager();
  if (!cache || !m) return;
  const bool vert = IsVertical();
  const vcl::TRect r1 = vert ? vcl::Rect(lOffset, 0, cx, cy / 2 + cy % 2) : vcl::Rect(0, 0, cx / 2 + cx % 2, cy);
  const vcl::TRect r2 = vert ? vcl::Rect(lOffset, cy / 2, cx, cy) : vcl::Rect(cx / 2, 0, cx, cy);
  const TlvSide sides[2] = {vert ? asTop : asLeft, vert ? asBottom : asRight};
  const vcl::TRect rects[2] = {r1, r2};
  const int states[2] = {Btn1State, Btn2State};
  for (int b = 0; b < 2; ++b) {
    const vcl::TRect& r = rects[b];
    const int s = states[b];
    const TlvConstElementData& e = m->ConstData.UpDownBtns[static_cast<size_t>(sides[b])];
    SkinData->SetSkinSection(e.SkinSection);
    SkinData->SkinIndex = m->GetSkinIndex(e.SkinSection);
    if (r.IsEmpty()) continue;
    if (vert)
      PaintItem(SkinData, ci, true, s, r, vcl::TPoint(WndPos.X + r.Left, WndPos.Y + r.Top), cache, false);
    else
      PaintItem(SkinData, ci, true, s, r, WndPos, cache, true);
    const int glyph = m->ConstData.ScrollBtns[static_cast<size_t>(sides[b])].GlyphIndex;
    if (ValidImage(m, glyph)) {
      const TsMaskData& md = m->ma[static_cast<size_t>(glyph)];
      ::DrawSkinGlyph(cache,
                      vcl::TPoint(r.Left + (r.Width() - WidthOfImage(md)) / 2,
                                  r.Top + (r.Height() - HeightOfImage(md)) / 2),
                      s, 1, md, MakeCacheInfo(cache));
    } else {
      vcl::TRect ar = r;
      if (s == 2 && m->ButtonsOptions()->ShiftContentOnClick()) ar = vcl::Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
      const int fi = GetFontIndex(SkinData->OwnerControl(), SkinData->SkinIndex, m, s);
      const vcl::TColor c = fi >= 0 ? SectionFontColor(m, fi, std::min(s > 0 ? 1 : 0, 2)) : vcl::TColor(0);
      DrawColorArrow(cache->Canvas(), c, ar, sides[b]);
    }
  }
}

LRESULT TlvSpinWnd::CallOld(UINT msg, WPARAM wParam, LPARAM lParam) {
  LPARAM l = lParam;
  return CallPrevWndProc(CtrlHandle, msg, wParam, l);
}
