// Combo box wrapper and the wrapper of its drop-down list.
#include "skin/windows/lvComboWnd.h"

#include <algorithm>

#include "platform/vcl/colors.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

bool OwnManager(TsCommonData* sd, const vcl::TMessage& m) {
  return sd && reinterpret_cast<LPARAM>(sd->SkinManager()) == m.LParam;
}

constexpr UINT kListShown = 0x1AE, kListHidden = 0x1AF;

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// The drop-down list.

TlvComboListWnd* TlvComboListWnd::Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                                         const rtl::String& skinSection, bool repaint, bool simplyBox) {
  auto* w = new TlvComboListWnd();
  w->SimplyBox = simplyBox;
  TlvSkinParams params;
  params.SkinSection = skinSection;
  w->TlvEditWnd::Create(handle, skinData, skinManager, params, repaint);
  if (!simplyBox && handle) {
    RECT r;
    GetWindowRect(handle, &r);
    SetWindowPos(
        handle, nullptr, 0, 0, r.right - r.left + 1, r.bottom - r.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  }
  return w;
}

TlvComboListWnd::~TlvComboListWnd() {
  if (Lv_SetWindowTheme && CtrlHandle && IsWindow(CtrlHandle)) Lv_SetWindowTheme(CtrlHandle, nullptr, nullptr);
}

void TlvComboListWnd::AfterCreation() {
  if (!SkinData) InitSkinData();
  Showed = false;
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  WndRect = vcl::TRect(r.left, r.top, r.right, r.bottom);
  TlvEditWnd::AfterCreation();
}

void TlvComboListWnd::SetSkinParams() {
  if (bPreventStyleChange || !SkinData) return;
  SkinData->SetUpdatingFlag(true);
  bPreventStyleChange = true;
  TsSkinManager* m = SkinData->SkinManager();
  if (m && m->IsValidSkinIndex(SkinData->SkinIndex)) {
    const TsGeneralData& g = m->gd[static_cast<size_t>(SkinData->SkinIndex)];
    if (!SkinData->CustomColor())
      Color = DlgMode ? vcl::ColorToRGB(vcl::clWindow) : g.Props[g.States > 1 ? 1 : 0].Color;
    FrameColor = m->Palette[pcBorder];
    SkinData->BGChanged = true;
    SkinData->SetUpdatingFlag(false);
  } else {
    FrameColor = 0;
  }
  bPreventStyleChange = false;
}

void TlvComboListWnd::PrepareListCache() {
  const HWND h = CtrlHandle;
  InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (SimplyBox) {
    SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
    return;
  }
  SkinData->UpdateIndexes(true);
  SetSkinParams();
  if (!SkinData->CacheBmp()) SkinData->InitCacheBmp();
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || WndSize.cx <= 0 || WndSize.cy <= 0) return;
  cache->SetPixelFormat(vcl::pf32bit);
  cache->SetSize(WndSize.cx, WndSize.cy);
  const vcl::TRect all(0, 0, WndSize.cx, WndSize.cy);
  FillRect32(cache, all, vcl::ColorToRGB(Color), 255);
  HDC dc = cache->Canvas()->Handle();
  HBRUSH frame = CreateSolidBrush(vcl::ColorToRGB(FrameColor));
  RECT rr{0, 0, WndSize.cx, WndSize.cy};
  FrameRect(dc, &rr, frame);
  DeleteObject(frame);
  SkinData->BGChanged = false;
}

void TlvComboListWnd::PaintStripBelow() {
  HWND combo = GetParent(CtrlHandle);
  if (!combo) return;
  RECT cr, lr;
  GetWindowRect(combo, &cr);
  GetWindowRect(CtrlHandle, &lr);
  const int d = cr.bottom - lr.bottom;
  if (d <= 0) return;
  const int W = cr.right - cr.left, H = cr.bottom - cr.top;
  HWND parent = GetParent(combo);
  TlvBGInfo bg;
  if (parent) GetBGInfo(bg, parent, false);
  HDC dc = GetWindowDC(combo);
  if (bg.BgType == btCache && bg.Bmp) {
    RECT pr;
    GetWindowRect(parent, &pr);
    BitBlt(dc, 0, H - d, W, H, bg.Bmp->Canvas()->Handle(), cr.left - pr.left + bg.Offset.X,
           cr.top - pr.top + (lr.bottom - lr.top) + bg.Offset.Y, SRCCOPY);
  } else {
    FillDC(dc, vcl::Rect(0, H - d, W, H), bg.Color);
  }
  ReleaseDC(combo, dc);
}

void TlvComboListWnd::lvWndProc(vcl::TMessage& message) {
  if (Destroyed || !SkinActive()) {
    TlvEditWnd::lvWndProc(message);
    return;
  }
  const HWND h = CtrlHandle;
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (message.WParam) {
        message.Result = 1;
        FillDC(reinterpret_cast<HDC>(message.WParam), vcl::Rect(0, 0, WndSize.cx, WndSize.cy), Color);
      } else {
        CallPrevWndProc(message);
      }
      return;
    case WM_NCCALCSIZE: {
      // The scroll wrapper's frame computation answers; nothing else.
      TlvScrollWnd::lvWndProc(message);
      return;
    }
    case WM_NCPAINT: {
      if (DontRepaint) break;
      PrepareListCache();
      if (!DlgMode) UpdateWndCorners(SkinData, 0, this);
      HDC dc = GetWindowDC(h);
      if (!dc) return;
      const int saved = SaveDC(dc);
      if (vcl::TBitmap* cache = SkinData->CacheBmp(); cache && !cache->Empty())
        BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), 0, 0, 1);
      message.Result = lv_NCDraw(this, h, -1, dc);
      RestoreDC(dc, saved);
      ReleaseDC(h, dc);
      if (SimplyBox) PaintStripBelow();
      return;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      vcl::TMessage hit{WM_NCHITTEST, 0, message.LParam, 0};
      TlvScrollWnd::lvWndProc(hit);
      message.WParam = static_cast<WPARAM>(hit.Result);
      if (message.WParam == HTHSCROLL || message.WParam == HTVSCROLL) TlvScrollWnd::lvWndProc(message);
      return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      CallPrevWndProc(message);
      return;
    case kListShown:
      Showed = true;
      break;
    case kListHidden:
      Showed = false;
      SkinData->BGChanged = true;
      break;
    case WM_LBUTTONUP: {
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      const LPARAM saved = message.LParam;
      POINT p{static_cast<short>(LOWORD(saved)), static_cast<short>(HIWORD(saved))};
      // The point is taken as relative to the window's outer corner (as the press on a bar came in).
      p.x += WndRect.Left;
      p.y += WndRect.Top;
      vcl::TMessage hit{WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), 0};
      TlvScrollWnd::lvWndProc(hit);
      if (hit.Result != HTNOWHERE && hit.Result != HTCLIENT && uCurrentScrollPortion != -1) {
        message.WParam = static_cast<WPARAM>(hit.Result);
        TlvScrollWnd::lvWndProc(message);
        if (SimplyBox) ReleaseCapture();
      } else {
        message.LParam = saved;
        TlvScrollWnd::lvWndProc(message);
      }
      return;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      auto dc = reinterpret_cast<HDC>(message.WParam);
      if (!dc || !IsWindowVisible(h)) return;
      PrepareListCache();
      const int before = SaveDC(dc);  // the list's own printing may leave its clipping on the DC
      CallPrevWndProc(message);
      RestoreDC(dc, before);
      if (message.Msg == WM_PRINT && SendMessageW(h, LB_GETCOUNT, 0, 0) >= 1) {
        if (uCurrentScrollPortion == -1 && !Showed)
          if (vcl::TBitmap* cache = SkinData->CacheBmp(); cache && !cache->Empty())
            BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), 0, 0, 1);
        message.Result = lv_NCDraw(this, h, -1, dc);
      }
      return;
    }
    default:
      break;
  }
  TlvEditWnd::lvWndProc(message);
  if (message.Msg == WM_WINDOWPOSCHANGED && !Destroyed) UpdateScrolls(this, true);
}

// ---------------------------------------------------------------------------------------------------------------
// The combo box.

TlvComboBoxWnd::~TlvComboBoxWnd() {
  ReleaseList();
  FreeListBrush();
}

void TlvComboBoxWnd::FreeListBrush() {
  if (FListBrush) DeleteObject(FListBrush);
  FListBrush = nullptr;
}

void TlvComboBoxWnd::ReleaseList() {
  if (ListSW) {
    TlvScrollWnd* sw = ListSW;
    UninitializeLVScroll(ListSW->CtrlHandle, true, false, sw);
    ListSW = nullptr;
  }
  FListHandle = nullptr;
}

void TlvComboBoxWnd::AfterCreation() {
  LBoxOpening = false;
  TlvEditWnd::AfterCreation();
}

vcl::TRect TlvComboBoxWnd::ButtonRect() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
  const int w = (style & CBS_DROPDOWN) ? GetComboBtnSize(m) + 2 : 0;
  const int margin = m ? m->CommonSkinData->ComboBoxMargin : 2;
  RECT wr{};
  GetWindowRect(CtrlHandle, &wr);
  const int ww = wr.right - wr.left, wh = wr.bottom - wr.top;
  vcl::TRect r;
  r.Left = (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? margin : ww - w - margin;
  r.Top = margin;
  r.Right = r.Left + w;
  r.Bottom = wh - margin;
  return r;
}

int TlvComboBoxWnd::ButtonHeight() {
  TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
  if (!m || !m->IsValidImgIndex(m->ConstData.ComboBtn.GlyphIndex)) return 16;
  return HeightOfImage(m->ma[static_cast<size_t>(m->ConstData.ComboBtn.GlyphIndex)]);
}

void TlvComboBoxWnd::PaintButton(HDC dc) {
  if (!SkinData || !dc) return;
  TsSkinManager* m = SkinData->SkinManager();
  if (!m) return;
  int state = 0;
  if (FListHandle && IsWindowVisible(FListHandle))
    state = 2;
  else if (ControlIsActive(SkinData) || (DefaultManager && DefaultManager->ActiveControl() == CtrlHandle))
    state = 1;
  const vcl::TRect r = ButtonRect();
  if (r.Width() <= 0 || r.Height() <= 0) return;
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Empty()) return;
  auto bmp = CreateBmpLike(cache);
  BitBlt(bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  const TlvConstElementData& e = m->ConstData.ComboBtn;
  if (e.SkinIndex >= 0)
    PaintItem(e.SkinIndex, MakeCacheInfo(bmp.get()), true,
              std::max(0, std::min(state, m->gd[static_cast<size_t>(e.SkinIndex)].States - 1)), r, vcl::TPoint(0, 0),
              bmp.get(), m, e.BGIndex[0], e.BGIndex[1]);
  if (m->IsValidImgIndex(e.GlyphIndex)) {
    const TsMaskData& md = m->ma[static_cast<size_t>(e.GlyphIndex)];
    RECT wr;
    GetWindowRect(CtrlHandle, &wr);
    const vcl::TPoint p(r.Left + (r.Width() - WidthOfImage(md)) / 2, ((wr.bottom - wr.top) - ButtonHeight()) / 2);
    DrawSkinGlyph(bmp.get(), p, state, 1, md, MakeCacheInfo(bmp.get()));
  } else {
    vcl::TColor colour = 0;
    if (m->IsValidSkinIndex(e.SkinIndex))
      colour = m->gd[static_cast<size_t>(e.SkinIndex)].Props[static_cast<size_t>(std::min(state, 2))].FontColor.Color;
    DrawColorArrow(bmp->Canvas(), colour, r, asBottom);
  }
  GdiFlush();
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
}

void TlvComboBoxWnd::RepaintButton() {
  if (!SkinActive()) return;
  HDC dc = GetWindowDC(CtrlHandle);
  if (!dc) return;
  PaintButton(dc);
  ReleaseDC(CtrlHandle, dc);
}

rtl::String TlvComboBoxWnd::ItemText(int index) {
  // The length first: an item may be far longer than any fixed buffer.
  const LRESULT len = SendMessageW(CtrlHandle, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == CB_ERR || len < 0) return rtl::String();
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got =
      SendMessageW(CtrlHandle, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (got == CB_ERR || got < 0) return rtl::String();
  text.resize(static_cast<size_t>(std::min<LRESULT>(got, len)));
  return text;
}

void TlvComboBoxWnd::PaintText() {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache || cache->Empty()) return;
  vcl::TCanvas* cv = cache->Canvas();
  if (vcl::TControl* c = SkinData->OwnerControl())
    cv->Font()->Assign(c->Font());
  else if (auto f = reinterpret_cast<HFONT>(SendMessageW(CtrlHandle, WM_GETFONT, 0, 0)))
    SelectObject(cv->Handle(), f);
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  const int ww = wr.right - wr.left, wh = wr.bottom - wr.top;
  const vcl::TRect br = ButtonRect();
  vcl::TRect r = (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING)
                     ? vcl::TRect(br.Right, 3, ww - 3, wh - 3)
                     : vcl::TRect(3, 3, br.Left, wh - 3);
  const auto sel = static_cast<int>(ProcessMessage(CB_GETCURSEL, 0, 0));
  rtl::String text;
  if (sel >= 0) {
    text = ItemText(sel);
  } else {
    const int n = GetWindowTextLengthW(CtrlHandle);
    std::wstring t(static_cast<size_t>(std::max(0, n)) + 1, L'\0');
    GetWindowTextW(CtrlHandle, t.data(), n + 1);
    t.resize(static_cast<size_t>(std::max(0, n)));
    text = t;
  }
  const bool dropList = (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
  HDC dc = cv->Handle();
  if (GetFocus() == CtrlHandle && dropList) {
    FillDC(dc, r, vcl::clHighlight);
    SetTextColor(dc, vcl::ColorToRGB(vcl::clHighlightText));
  } else if (SkinData->SkinManager() && SkinData->SkinManager()->IsValidSkinIndex(SkinData->SkinIndex)) {
    SetTextColor(dc,
                 vcl::ColorToRGB(
                     SkinData->SkinManager()->gd[static_cast<size_t>(SkinData->SkinIndex)].Props[0].FontColor.Color));
  }
  SetBkMode(dc, TRANSPARENT);
  const int d = dropList ? 1 : 0;
  RECT tr{r.Left, r.Top, r.Right, r.Bottom};
  ExtTextOutW(dc, r.Left + d, r.Top + d, ETO_CLIPPED, &tr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  if (GetFocus() == CtrlHandle && dropList) DrawFocusRect(dc, &tr);
}

void TlvComboBoxWnd::PrepareSimple() {
  vcl::TBitmap* cache = SkinData->CacheBmp();
  if (!cache) return;
  RECT wr;
  GetWindowRect(CtrlHandle, &wr);
  const int ih = static_cast<int>(ProcessMessage(CB_GETITEMHEIGHT, 0, 0));
  cache->SetPixelFormat(vcl::pf32bit);
  cache->SetSize(wr.right - wr.left, std::max(1, ih + 8));
  TsSkinManager* dm = DefaultManager;
  const vcl::TRect all(0, 0, cache->Width(), cache->Height());
  if (DlgMode && dm && dm->Palette[pcBorder] != 0xFF00FF) {
    FillRect32(cache, all, vcl::ColorToRGB(vcl::clWindow), 255);
    HBRUSH br = CreateSolidBrush(vcl::ColorToRGB(dm->Palette[pcBorder]));
    RECT rr{0, 0, all.Right, all.Bottom};
    FrameRect(cache->Canvas()->Handle(), &rr, br);
    DeleteObject(br);
  } else {
    PaintItem(SkinData, GetParentCache(SkinData), true, ControlIsActive(SkinData) ? 1 : 0, all, vcl::TPoint(0, 0),
              cache, true, 0, 0);
  }
}

void TlvComboBoxWnd::DrawItem(int index, vcl::TRect rect, HDC dc, UINT state) {
  TsSkinManager* m = SkinData->SkinManager();
  if (!m || rect.Right <= 0 || rect.Bottom <= 0) return;
  if (SkinData->BGChanged) PrepareCache(SkinData, CtrlHandle, false);
  auto bmp = CreateBmp32(rect.Right, rect.Bottom);
  vcl::TControl* owner = SkinData->OwnerControl();
  if (owner) bmp->Canvas()->Font()->Assign(owner->Font());
  const UINT flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;
  const bool valid = m->IsValidSkinIndex(SkinData->SkinIndex);
  const TsGeneralData* g = valid ? &m->gd[static_cast<size_t>(SkinData->SkinIndex)] : nullptr;
  const bool edit = (state & ODS_COMBOBOXEDIT) != 0;
  bool hot = false;
  bool haveBG = false;
  if (edit) {
    haveBG = SkinData->CacheBmp() && !SkinData->CacheBmp()->Empty();
    hot = g && g->States > 1 && (ControlIsActive(SkinData) || GetFocus() == CtrlHandle || SkinData->FFocused);
  } else {
    hot = g && g->States > 1;
  }
  const rtl::String text = ItemText(index);
  const int sel = m->ConstData.Sections[ssSelection];
  vcl::TCanvas* cv = bmp->Canvas();
  if (state & ODS_SELECTED) {
    if (sel < 0)
      FillRect32(bmp.get(), vcl::Rect(0, 0, bmp->Width(), bmp->Height()), m->GetHighLightColor(true), 255);
    else
      PaintItem(sel, MakeCacheInfo(bmp.get()), true, 1, rect, vcl::TPoint(0, 0), bmp.get(), m);
    cv->Font()->SetColor(m->GetHighLightFontColor(true));
  } else {
    const int s = std::min(hot ? 1 : 0, 2);
    const vcl::TColor colour = g ? g->Props[static_cast<size_t>(s)].Color : Color;
    if (haveBG)
      BitBlt(cv->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), SkinData->CacheBmp()->Canvas()->Handle(),
             rect.Left, rect.Top, SRCCOPY);
    else
      FillRect32(bmp.get(), rect, vcl::ColorToRGB(colour), 255);
    if (g) cv->Font()->SetColor(g->Props[static_cast<size_t>(s)].FontColor.Color);
  }
  vcl::TRect r = rect;
  SetBkMode(cv->Handle(), TRANSPARENT);
  SelectObject(cv->Handle(), cv->Font()->Handle());
  SetTextColor(cv->Handle(), vcl::ColorToRGB(cv->Font()->Color()));
  r.Left += 2;
  r.Right -= 2;
  if ((state & ODS_SELECTED) && sel >= 0)
    lvWriteTextEx(cv, text.c_str(), true, r, flags | DT_VCENTER, sel, true, m);
  else
    lvDrawText(cv->Handle(), text, r, flags | DT_VCENTER);
  if ((state & ODS_FOCUS) && sel < 0) {
    RECT fr{rect.Left, rect.Top, rect.Right, rect.Bottom};
    DrawFocusRect(cv->Handle(), &fr);
  }
  GdiFlush();
  BitBlt(dc, rect.Left, rect.Top, bmp->Width() - rect.Left, bmp->Height() - rect.Top, cv->Handle(), rect.Left, rect.Top,
         SRCCOPY);
}

void TlvComboBoxWnd::CNDrawItem(vcl::TMessage& message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
  if (!dis) return;
  DrawItem(static_cast<int>(dis->itemID),
           vcl::TRect(dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom), dis->hDC,
           dis->itemState);
  message.Result = 1;
}

bool TlvComboBoxWnd::EasyComboBox() const {
  return SkinData && dynamic_cast<vcl::TCustomComboBox*>(SkinData->OwnerControl()) != nullptr;
}

void TlvComboBoxWnd::Invalidate() {
  if (!SkinData || !SkinData->OwnerControl()) return;
  InvalidateRect(CtrlHandle, nullptr, TRUE);
  UpdateWindow(CtrlHandle);
}

void TlvComboBoxWnd::lvWndProc(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  if (Destroyed || !SkinData) {
    TlvEditWnd::lvWndProc(message);
    return;
  }
  const bool skinned = SkinActive();
  auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl());
  const bool hotByFocus = skinned && MayBeHot(SkinData, false) && win && win->CanFocus() && win->TabStop();
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_LBUTTONUP:
      SkinData->FFocused = true;
      if (hotByFocus) {
        SetSkinParams();
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      }
      CallPrevWndProc(message);
      RepaintButton();
      return;
    case WM_KILLFOCUS:
    case vcl::CM_EXIT: {
      HWND edit = FindWindowExW(h, nullptr, L"Edit", nullptr);
      SkinData->FFocused = win && edit && GetFocus() == edit;
      SkinData->BGChanged = true;
      CallPrevWndProc(message);
      if (hotByFocus) {
        SetSkinParams();
        auto* cb = dynamic_cast<vcl::TCustomComboBox*>(win);
        if (cb && cb->Style() == vcl::csDropDown && edit) SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      }
      RepaintButton();
      return;
    }
    case WM_PAINT: {
      if (!skinned) break;
      if (!ParamsChanged) SetSkinParams();
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      const bool simple = (GetWindowLongPtrW(h, GWL_STYLE) & 3) == CBS_SIMPLE;
      const auto given = reinterpret_cast<HDC>(message.WParam);
      const int before = given ? SaveDC(given) : 0;
      CallPrevWndProc(message);
      if (before) RestoreDC(given, before);
      const LRESULT result = message.Result;
      HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : GetWindowDC(h);
      if (!dc) return;
      vcl::TBitmap* cache = SkinData->CacheBmp();
      if (simple) {
        PrepareSimple();
        if (cache && !cache->Empty())
          BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, 3);
      } else {
        SkinData->BGChanged = true;
        SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_PREPARECACHE), 0);
        if (cache && !cache->Empty())
          BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, 3);
        PaintButton(dc);
      }
      if (!message.WParam) ReleaseDC(h, dc);
      message.Result = result;
      return;
    }
    case WM_ERASEBKGND:
      if (!skinned) break;
      message.Result = 1;
      return;
    case WM_DRAWITEM:
      if (!skinned) break;
      CallPrevWndProc(message);
      Invalidate();
      return;
    case WM_NCCALCSIZE:
      TlvEditWnd::lvWndProc(message);
      if (skinned) cxLeftEdge = 3;
      return;
    case WM_COMMAND:
      if (skinned && !(GetWindowLongPtrW(h, GWL_STYLE) & 1) && HIWORD(message.WParam) == CBN_CLOSEUP) {
        SkinData->BGChanged = true;
        RepaintButton();
      }
      break;
    case vcl::CN_COMMAND:
      if (skinned && HIWORD(message.WParam) == CBN_CLOSEUP) {
        SkinData->BGChanged = true;
        RepaintButton();
      }
      break;
    case WM_CTLCOLORLISTBOX: {
      if (LBoxOpening) return;
      LBoxOpening = true;
      TlvEditWnd::lvWndProc(message);
      if (skinned && !FListHandle) {
        FListHandle = reinterpret_cast<HWND>(message.LParam);
        if (!ListSW) {
          const bool noOwner = !SkinData->OwnerControl();
          if (noOwner) lvDlgMode = DlgMode;
          ListSW = TlvComboListWnd::Create(FListHandle, nullptr, SkinData->SkinManager(), L"EDIT",
                                           SendMessageW(h, CB_GETCOUNT, 0, 0) > 0,
                                           (GetWindowLongPtrW(h, GWL_STYLE) & 3) == CBS_SIMPLE);
          if (noOwner) lvDlgMode = false;
        }
        std::int32_t info[2] = {-1, -1};
        SendMessageW(FListHandle, SM_LUMICMD, MakeLumiWParam(LVC_GETSKININDEX), reinterpret_cast<LPARAM>(info));
        TsSkinManager* m = SkinData->SkinManager();
        if (info[1] >= 0 && m && m->IsValidSkinIndex(info[1]) && !DlgMode) {
          const TsGeneralData& g = m->gd[static_cast<size_t>(info[1])];
          auto dc = reinterpret_cast<HDC>(message.WParam);
          if (g.Props[0].FontColor.Color >= 0) SetTextColor(dc, vcl::ColorToRGB(g.Props[0].FontColor.Color));
          SetBkColor(dc, vcl::ColorToRGB(g.Props[0].Color));
          // One brush per list, kept and freed with the wrapper (the system does not free it).
          FreeListBrush();
          FListBrush = CreateSolidBrush(vcl::ColorToRGB(g.Props[0].Color));
          message.Result = reinterpret_cast<LRESULT>(FListBrush);
        }
      }
      LBoxOpening = false;
      return;
    }
    case CB_SETCURSEL:
    case vcl::CM_TEXTCHANGED:
    case vcl::CM_CHANGED:
      if (skinned && EasyComboBox()) {
        SendMessageW(h, WM_SETREDRAW, 0, 0);
        SkinData->BGChanged = true;
        CallPrevWndProc(message);
        SendMessageW(h, WM_SETREDRAW, 1, 0);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      } else {
        CallPrevWndProc(message);
      }
      return;
    case WM_PRINT: {
      if (!skinned) break;
      auto dc = reinterpret_cast<HDC>(message.WParam);
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      SkinData->SetUpdatingFlag(true);
      if (!ParamsChanged) SetSkinParams();
      if (Destroyed) return;
      SkinData->SetUpdatingFlag(false);
      SkinData->BGChanged = true;
      const bool simple = (GetWindowLongPtrW(h, GWL_STYLE) & 3) == CBS_SIMPLE;
      if (simple)
        PrepareSimple();
      else
        PrepareCache(SkinData, h, DlgMode);
      vcl::TBitmap* cache = SkinData->CacheBmp();
      if (!cache || cache->Empty()) return;
      auto* cb = dynamic_cast<vcl::TComboBox*>(SkinData->OwnerControl());
      if (cb && cb->ItemIndex() >= 0)
        DrawItem(cb->ItemIndex(), vcl::TRect(3, 3, cb->Width() - ButtonRect().Width(), cb->Height() - 3),
                 cache->Canvas()->Handle(), ODS_COMBOBOXEDIT);
      else
        PaintText();
      UpdateWndCorners(SkinData, 0, this);
      if (dc) {
        GdiFlush();
        BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        PaintButton(dc);
      }
      return;
    }
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_REMOVESKIN:
          if (!OwnManager(SkinData, message)) return;
          TlvEditWnd::lvWndProc(message);
          if (FListHandle) {
            const LONG_PTR style = GetWindowLongPtrW(FListHandle, GWL_STYLE);
            SetWindowLongPtrW(FListHandle, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
          }
          ReleaseList();
          FreeListBrush();
          return;
        case LVC_MOUSEENTER:
        case LVC_MOUSELEAVE:
          TlvEditWnd::lvWndProc(message);
          RepaintButton();
          return;
        default:
          break;
      }
      break;
    case vcl::CM_MOUSEENTER:
      if (!skinned || SkinData->FMouseAbove) break;
      SkinData->FMouseAbove = true;
      SkinData->BGChanged = true;
      TlvEditWnd::lvWndProc(message);
      Invalidate();
      return;
    case vcl::CM_MOUSELEAVE: {
      if (!skinned || !SkinData->FMouseAbove) break;
      POINT p;
      GetCursorPos(&p);
      RECT wr;
      GetWindowRect(h, &wr);
      if (PtInRect(&wr, p)) return;
      SkinData->FMouseAbove = false;
      SkinData->BGChanged = true;
      TlvEditWnd::lvWndProc(message);
      Invalidate();
      return;
    }
    case vcl::CN_DRAWITEM:
      if (skinned && EasyComboBox())
        CNDrawItem(message);
      else
        CallPrevWndProc(message);
      return;
    default:
      break;
  }
  TlvEditWnd::lvWndProc(message);
}

// ---------------------------------------------------------------------------------------------------------------
// Combo-like edits with a child list box.

TlvWWComboBoxWnd::~TlvWWComboBoxWnd() {
  delete ListBoxSW;
  ListBoxSW = nullptr;
  delete ListBoxSkinData;
  ListBoxSkinData = nullptr;
}

bool TlvWWComboBoxWnd::GetShowButton(vcl::TWinControl* control) {
  if (auto* cb = dynamic_cast<vcl::TComboBox*>(control))
    return cb->Style() == vcl::csDropDown || cb->Style() == vcl::csDropDownList;
  return true;
}

void TlvWWComboBoxWnd::AfterCreation() {
  ListBox = nullptr;
  ListBoxSkinData = nullptr;
  if (auto* win = SkinData ? dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl()) : nullptr)
    FShowButton = GetShowButton(win);
  TlvComboBoxWnd::AfterCreation();
}

vcl::TRect TlvWWComboBoxWnd::ButtonRect() {
  const int w = FShowButton ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  RECT wr{};
  GetWindowRect(CtrlHandle, &wr);
  vcl::TRect r;
  r.Left = (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : (wr.right - wr.left) - w - 2;
  r.Top = 2;
  r.Right = r.Left + w;
  r.Bottom = (wr.bottom - wr.top) - 2;
  return r;
}

void TlvWWComboBoxWnd::lvWndProc(vcl::TMessage& message) {
  if (message.Msg == WM_CTLCOLORLISTBOX) {
    CallPrevWndProc(message);
    return;
  }
  TlvComboBoxWnd::lvWndProc(message);
  if (Destroyed || !SkinData || message.Msg != WM_PARENTNOTIFY || LOWORD(message.WParam) != WM_CREATE) return;
  auto* win = dynamic_cast<vcl::TWinControl*>(SkinData->OwnerControl());
  if (!win) return;
  for (int i = 0; i < win->ControlCount(); ++i) {
    auto* lb = dynamic_cast<vcl::TCustomListBox*>(win->Controls(i));
    if (!lb) continue;
    ListBox = lb;
    if (!ListBoxSkinData) {
      ListBoxSkinData = new TsScrollWndData(lb, true);
      ListBoxSkinData->SetSkinSection(L"EDIT");
    }
    RefreshEditScrolls(ListBoxSkinData, ListBoxSW);
    if (ListBoxSW && ListBoxSW->Destroyed) {
      delete ListBoxSW;
      ListBoxSW = nullptr;
      RefreshEditScrolls(ListBoxSkinData, ListBoxSW);
    }
  }
}
