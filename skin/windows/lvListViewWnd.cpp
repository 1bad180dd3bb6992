// The list view and tree view wrappers.
#include "skin/windows/lvListViewWnd.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"

namespace {

// The header's link to its list view wrapper, and the procedure its stub forwards to once the wrapper let go while
// another party's procedure still calls the stub.
constexpr wchar_t kHeaderProp[] = L"LVSBHDR";
constexpr wchar_t kHeaderPrevProp[] = L"LVSBHDRP";

LRESULT CALLBACK HeaderStub(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* w = static_cast<TlvListViewWnd*>(GetPropW(wnd, kHeaderProp));
  if (w && w->FhWndHeader == wnd && w->FhDefHeaderProc) {
    vcl::TMessage m{msg, wParam, lParam, 0};
    w->HeaderWndProc(m);
    return m.Result;
  }
  if (auto prev = reinterpret_cast<WNDPROC>(GetPropW(wnd, kHeaderPrevProp)))
    return CallWindowProcW(prev, wnd, msg, wParam, lParam);
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

bool OwnManager(TsCommonData* sd, const vcl::TMessage& m) {
  return sd && reinterpret_cast<LPARAM>(sd->SkinManager()) == m.LParam;
}

void ReportException() {
  try {
    throw;
  } catch (...) {
    if (vcl::Application) vcl::Application->HandleException(nullptr);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// List view.

TlvListViewWnd::~TlvListViewWnd() {
  // The base destructors give the window back; the header and the list's colours are this class's to restore.
  if (SkinData && !Destroyed) {
    UnhookHeader();
    RestoreListColours();
  } else {
    UnhookHeader();
  }
}

void TlvListViewWnd::AfterCreation() {
  SkinData->COC = COC_TsListView;
  TlvEditWnd::AfterCreation();
  HoverColIndex = -1;
  FPressedColumn = -1;
  FhHeaderProc = &HeaderStub;
  if (!FhWndHeader)
    if (HWND header = FindWindowExW(CtrlHandle, nullptr, L"SysHeader32", nullptr)) HookHeader(header);
}

void TlvListViewWnd::HookHeader(HWND header) {
  if (!header || FhWndHeader) return;
  FhHeaderProc = &HeaderStub;
  FhWndHeader = header;
  SetPropW(header, kHeaderProp, this);
  RemovePropW(header, kHeaderPrevProp);
  FhDefHeaderProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FhHeaderProc)));
  InvalidateRect(header, nullptr, TRUE);
}

void TlvListViewWnd::UnhookHeader() {
  const HWND header = FhWndHeader;
  if (!header) return;
  if (IsWindow(header)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(header, GWLP_WNDPROC)) == &HeaderStub) {
      SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FhDefHeaderProc));
      RemovePropW(header, kHeaderPrevProp);
    } else if (FhDefHeaderProc) {
      // Another party subclassed the header after us: the stub stays in its chain and forwards from now on.
      SetPropW(header, kHeaderPrevProp, reinterpret_cast<HANDLE>(FhDefHeaderProc));
    }
    if (GetPropW(header, kHeaderProp) == this) RemovePropW(header, kHeaderProp);
    InvalidateRect(header, nullptr, TRUE);
  }
  FhWndHeader = nullptr;
  FhDefHeaderProc = nullptr;
  HoverColIndex = FPressedColumn = -1;
}

LRESULT TlvListViewWnd::CallHeaderProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!FhDefHeaderProc || !FhWndHeader) return 0;
  return CallWindowProcW(FhDefHeaderProc, FhWndHeader, msg, wParam, lParam);
}

void TlvListViewWnd::SaveStdParams() {
  TlvEditWnd::SaveStdParams();
  if (vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr) {
    StdColor = c->Color();
    StdFontColor = c->Font()->Color();
  } else if (CtrlHandle) {
    StdColor = static_cast<vcl::TColor>(SendMessageW(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    StdFontColor = static_cast<vcl::TColor>(SendMessageW(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
  }
  StdTextBkColor = CtrlHandle ? static_cast<vcl::TColor>(SendMessageW(CtrlHandle, LVM_GETTEXTBKCOLOR, 0, 0)) : StdColor;
}

void TlvListViewWnd::RestoreListColours() {
  const HWND h = CtrlHandle;
  if (!h || !IsWindow(h)) return;
  SendMessageW(h, LVM_SETTEXTCOLOR, 0, StdFontColor);
  SendMessageW(h, LVM_SETTEXTBKCOLOR, 0, StdTextBkColor);
  if (vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr) {
    if (!c->ComponentState().Contains(vcl::csDestroying)) c->SetColor(StdColor);
  } else {
    // A bare list view has no Color to give back: its own background goes back instead.
    SendMessageW(h, LVM_SETBKCOLOR, 0, StdColor);
  }
  InvalidateRect(h, nullptr, TRUE);
}

void TlvListViewWnd::RestoreStdParams() {
  UnhookHeader();
  TlvEditWnd::RestoreStdParams();
  RestoreListColours();
}

void TlvListViewWnd::SetSkinParams() {
  TlvEditWnd::SetSkinParams();
  const HWND h = CtrlHandle;
  if (!SkinData || !h) return;
  auto set = [h](UINT msg, UINT get, vcl::TColor c) {
    const auto rgb = static_cast<LPARAM>(vcl::ColorToRGB(c));
    if (SendMessageW(h, get, 0, 0) != rgb) SendMessageW(h, msg, 0, rgb);
  };
  if (DlgMode) {
    set(LVM_SETBKCOLOR, LVM_GETBKCOLOR, vcl::clWindow);
    set(LVM_SETTEXTBKCOLOR, LVM_GETTEXTBKCOLOR, vcl::clWindow);
    set(LVM_SETTEXTCOLOR, LVM_GETTEXTCOLOR, vcl::clWindowText);
    return;
  }
  if (!DefaultManager || !DefaultManager->IsValidSkinIndex(SkinData->SkinIndex)) return;
  const TsGeneralData& g = DefaultManager->gd[static_cast<size_t>(SkinData->SkinIndex)];
  const int state = ControlIsActive(SkinData) && g.States > 1 ? 1 : 0;
  if (!SkinData->CustomColor()) {
    set(LVM_SETBKCOLOR, LVM_GETBKCOLOR, g.Props[static_cast<size_t>(state)].Color);
    set(LVM_SETTEXTBKCOLOR, LVM_GETTEXTBKCOLOR, g.Props[static_cast<size_t>(state)].Color);
  }
  if (!SkinData->CustomFont())
    set(LVM_SETTEXTCOLOR, LVM_GETTEXTCOLOR, g.Props[static_cast<size_t>(state)].FontColor.Color);
}

int TlvListViewWnd::ViewStyle() {
  if (vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr; c && HasProperty(c, L"ViewStyle"))
    return static_cast<int>(GetIntProp(c, L"ViewStyle"));
  switch (SendMessageW(CtrlHandle, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON:
      return 0;
    case LV_VIEW_DETAILS:
      return 3;
    case LV_VIEW_SMALLICON:
      return 1;
    default:
      return 2;
  }
}

HIMAGELIST TlvListViewWnd::HeaderImages() {
  if (!FhWndHeader) return nullptr;
  if (auto own = reinterpret_cast<HIMAGELIST>(CallHeaderProc(HDM_GETIMAGELIST, 0, 0))) return own;
  return reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
}

int TlvListViewWnd::HeaderCount() {
  return FhWndHeader ? static_cast<int>(CallHeaderProc(HDM_GETITEMCOUNT, 0, 0)) : 0;
}

vcl::TRect TlvListViewWnd::GetHeaderColumnRect(int index) {
  int item = index;
  if (GetWindowLongPtrW(FhWndHeader, GWL_STYLE) & HDS_FULLDRAG) {
    const int n = HeaderCount();
    if (n > 0 && index >= 0 && index < n) {
      std::vector<int> order(static_cast<size_t>(n));
      if (CallHeaderProc(HDM_GETORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data())))
        item = order[static_cast<size_t>(index)];
    }
  }
  RECT r{};
  if (!CallHeaderProc(HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r))) return vcl::TRect();
  return vcl::TRect(r.left, r.top, r.right, r.bottom);
}

int TlvListViewWnd::MouseToColIndex(LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr) {
    const vcl::TPoint cp = c->ScreenToClient(vcl::TPoint(p.x, p.y));
    p = {cp.X, cp.Y};
    // The header sits at the list's client origin.
  } else {
    RECT wr{};
    GetWindowRect(FhWndHeader, &wr);
    p.x -= wr.left;
    p.y -= wr.top;
  }
  const int n = HeaderCount();
  for (int i = 0; i < n; ++i) {
    const vcl::TRect r = GetHeaderColumnRect(i);
    if (p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom) return i;
  }
  return -2;
}

void TlvListViewWnd::HeaderWndProc(vcl::TMessage& message) {
  try {
    if (!SkinActive() || Destroyed || ViewStyle() != 3) {
      message.Result = CallHeaderProc(message.Msg, message.WParam, message.LParam);
      if (message.Msg == WM_NCDESTROY) {
        RemovePropW(FhWndHeader, kHeaderProp);
        FhWndHeader = nullptr;
        FhDefHeaderProc = nullptr;
      }
      return;
    }
    switch (message.Msg) {
      case WM_PAINT:
        PaintHeader(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return;
      case WM_ERASEBKGND:
        message.Result = 1;
        return;
      case WM_WINDOWPOSCHANGING:
        if (IsWindowVisible(CtrlHandle)) ProcessMessage(WM_NCPAINT, 0, 0);
        break;
      case WM_NCDESTROY: {
        const HWND header = FhWndHeader;
        message.Result = CallHeaderProc(message.Msg, message.WParam, message.LParam);
        RemovePropW(header, kHeaderProp);
        FhWndHeader = nullptr;
        FhDefHeaderProc = nullptr;
        return;
      }
      case WM_NCHITTEST: {
        message.Result = CallHeaderProc(message.Msg, message.WParam, message.LParam);
        const int pos = MouseToColIndex(message.LParam);
        const int item = pos >= 0 ? static_cast<int>(CallHeaderProc(HDM_ORDERTOINDEX, static_cast<WPARAM>(pos), 0)) : pos;
        if (item != HoverColIndex) {
          HoverColIndex = item;
          InvalidateRect(FhWndHeader, nullptr, FALSE);
        }
        return;
      }
      case WM_LBUTTONUP:
        FPressedColumn = -1;
        break;
      case WM_LBUTTONDOWN: {
        const HWND header = FhWndHeader;
        message.Result = CallHeaderProc(message.Msg, message.WParam, message.LParam);
        if (FhWndHeader != header) return;
        HDHITTESTINFO hi{};
        hi.pt = {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        CallHeaderProc(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi));
        FPressedColumn = (hi.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : hi.iItem;
        InvalidateRect(header, nullptr, FALSE);
        return;
      }
      default:
        break;
    }
    message.Result = CallHeaderProc(message.Msg, message.WParam, message.LParam);
  } catch (...) {
    ReportException();
  }
}

void TlvListViewWnd::PaintHeader(HDC dc) {
  if (ViewStyle() != 3 || !FhWndHeader) return;
  const HWND header = FhWndHeader;
  PAINTSTRUCT ps{};
  BeginPaint(header, &ps);
  const int n = HeaderCount();
  int right = 0;
  for (int pos = 0; pos < n; ++pos) {
    const vcl::TRect r = GetHeaderColumnRect(pos);
    if (r.IsEmpty()) continue;
    ColumnSkinPaint(r, static_cast<int>(CallHeaderProc(HDM_ORDERTOINDEX, static_cast<WPARAM>(pos), 0)), dc);
    right = std::max(right, r.Right);
  }
  RECT wr{};
  GetWindowRect(header, &wr);
  const vcl::TRect rest(right, 0, wr.right - wr.left, wr.bottom - wr.top);
  if (!rest.IsEmpty()) ColumnSkinPaint(rest, -2, dc);
  EndPaint(header, &ps);
}

void TlvListViewWnd::ColumnSkinPaint(const vcl::TRect& r, int index, HDC dc) {
  try {
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!m || r.IsEmpty()) return;
    auto bmp = CreateBmp32(r.Width(), r.Height());
    const int state = FPressedColumn >= 0 ? (index == FPressedColumn ? 2 : 0) : (index == HoverColIndex ? 1 : 0);
    int section = m->GetSkinIndex(L"COLHEADER");
    if (!m->IsValidSkinIndex(section)) section = m->GetSkinIndex(L"BUTTON");
    vcl::TControl* c = SkinData->OwnerControl();
    const vcl::TColor bg = c ? c->Color() : vcl::clWindow;
    PaintSection(bmp.get(), section, -1, state, m, vcl::TPoint(r.Left, r.Top), bg);
    vcl::TCanvas* canvas = bmp->Canvas();
    auto font = reinterpret_cast<HFONT>(SendMessageW(FhWndHeader, WM_GETFONT, 0, 0));
    if (!font) font = reinterpret_cast<HFONT>(SendMessageW(CtrlHandle, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (font && GetObjectW(font, sizeof(lf), &lf)) canvas->Font()->SetHandle(CreateFontIndirectW(&lf));
    SelectObject(canvas->Handle(), canvas->Font()->Handle());
    vcl::TRect tr(4, 1, bmp->Width() - 4, bmp->Height() - 1);
    canvas->Brush()->SetStyle(vcl::bsClear);
    bool drawn = index >= 0;
    std::wstring text;
    HDITEMW item{};
    if (drawn) {
      std::vector<wchar_t> buf(2048, L'\0');
      item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE | HDI_ORDER;
      item.pszText = buf.data();
      item.cchTextMax = static_cast<int>(buf.size());
      drawn = CallHeaderProc(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
      buf.back() = L'\0';
      if (drawn && item.pszText) text = item.pszText;
    }
    if (drawn) {
      // The column's image and the room kept for it before the text.
      int imageOffset = 0, imageIndex = -1, imageW = 0, imageH = 0;
      const HIMAGELIST images = HeaderImages();
      if (images && (item.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) && ImageList_GetIconSize(images, &imageW, &imageH)) {
        imageOffset = imageW + 4;
        imageIndex = item.iImage;
      }
      int glyph = -1;
      TlvSide side = asBottom;
      bool mark = false;
      if (item.fmt & HDF_SORTDOWN) {
        glyph = m->ConstData.ScrollBtns[asBottom].GlyphIndex;
        side = asBottom;
        mark = true;
      } else if (item.fmt & HDF_SORTUP) {
        glyph = m->ConstData.ScrollBtns[asTop].GlyphIndex;
        side = asTop;
        mark = true;
      }
      const bool hasGlyph = mark && m->IsValidImgIndex(glyph);
      vcl::TSize markSize{0, 0};
      if (hasGlyph) {
        const TsMaskData& md = m->ma[static_cast<size_t>(glyph)];
        markSize = {WidthOfImage(md) + 6, HeightOfImage(md)};
      } else if (mark) {
        markSize = {6, 3};
      }
      SIZE ext{};
      GetTextExtentPoint32W(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &ext);
      const int textWidth = ext.cx + 5;
      switch (item.fmt & 0xFF & HDF_JUSTIFYMASK) {
        case HDF_RIGHT:
          tr.Right -= markSize.cx;
          tr.Left = std::max(tr.Left, tr.Right - textWidth);
          break;
        case HDF_CENTER:
          tr.Left += (tr.Width() - textWidth - markSize.cx - imageOffset) / 2 + imageOffset;
          tr.Left = std::max(tr.Left, 4);
          tr.Right = std::min(tr.Left + textWidth, bmp->Width() - 4 - markSize.cx);
          break;
        default:
          tr.Left += imageOffset;
          tr.Right = std::min(tr.Left + textWidth, bmp->Width() - 4 - markSize.cx);
          break;
      }
      if (mark) {
        const int x = tr.Right + 6, y = (tr.Height() - markSize.cy) / 2;
        if (hasGlyph) {
          DrawSkinGlyph(bmp.get(), vcl::TPoint(x, y), state, 1, m->ma[static_cast<size_t>(glyph)],
                        MakeCacheInfo(bmp.get()));
        } else {
          const vcl::TColor arrow =
              m->IsValidSkinIndex(section)
                  ? m->gd[static_cast<size_t>(section)].Props[static_cast<size_t>(std::min(state, 2))].FontColor.Color
                  : vcl::clBtnText;
          DrawColorArrow(canvas, arrow, vcl::TRect(x, y, x + 6, y + 3), side);
        }
      }
      if (state == 2 && (!SkinData->Skinned() || m->ButtonsOptions()->ShiftContentOnClick()))
        tr = vcl::TRect(tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1);
      lvWriteTextEx(canvas, text.c_str(), true, tr, DT_END_ELLIPSIS | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER,
                    section, state != 0, m);
      // Index 0 counts as no image; the room before the text stays all the same.
      if (imageIndex > 0) {
        vcl::TCustomImageList list(nullptr);
        list.SetShareImages(true);
        list.SetHandle(images);
        list.Draw(canvas, tr.Left - imageOffset, (r.Height() - imageH) / 2 + (state == 2 ? 1 : 0), imageIndex,
                  IsWindowEnabled(CtrlHandle) != FALSE);
      }
    }
    GdiFlush();
    HDC target = dc;
    const bool own = target == nullptr;
    if (own) target = GetDC(FhWndHeader);
    if (target) BitBlt(target, r.Left, r.Top, r.Width(), r.Height(), canvas->Handle(), 0, 0, SRCCOPY);
    if (own && target) ReleaseDC(FhWndHeader, target);
  } catch (...) {
    ReportException();
  }
}

void TlvListViewWnd::ThumbScroll(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  const int pos = message.LParam != 0 ? static_cast<int>(message.LParam) : HIWORD(message.WParam);
  const int diff = pos - nLastSBPos;
  RECT ir{};
  ir.left = LVIR_BOUNDS;
  const bool haveItem = SendMessageW(h, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&ir)) != 0;
  if (message.Msg == WM_HSCROLL) {
    const int dx = ViewStyle() == 2 ? diff * (haveItem ? ir.right - ir.left : 1) : diff;
    SendMessageW(h, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
  } else {
    if (diff == 0) return;
    const bool report = ViewStyle() == 3 && SendMessageW(h, LVM_ISGROUPVIEWENABLED, 0, 0) == 0;
    const int dy = report ? diff * (haveItem ? ir.bottom - ir.top : 1) : diff;
    SendMessageW(h, LVM_SCROLL, 0, dy);
  }
}

void TlvListViewWnd::PrintHeader(HDC dc) {
  if (!dc || ViewStyle() != 3 || !FhWndHeader) return;
  const int e = std::max(0, cxLeftEdge);
  const int saved = SaveDC(dc);
  POINT org;
  GetViewportOrgEx(dc, &org);
  SetViewportOrgEx(dc, org.x + e, org.y + e, nullptr);
  vcl::TBitmap* cache = SkinData->CacheBmp();
  const int cw = cache ? cache->Width() : WndSize.cx, ch = cache ? cache->Height() : WndSize.cy;
  const int vbar = sBarVert && sBarVert->fScrollVisible ? GetScrollMetric(sBarVert.get(), SM_SCROLLWIDTH) : 0;
  const int hbar = sBarHorz && sBarHorz->fScrollVisible ? GetScrollMetric(sBarHorz.get(), SM_SCROLLWIDTH) : 0;
  IntersectClipRect(dc, 0, 0, cw - 2 * e - vbar, ch - 2 * e - hbar);
  PaintHeader(dc);
  RestoreDC(dc, saved);
}

void TlvListViewWnd::lvWndProc(vcl::TMessage& message) {
  if (message.Msg == SM_LUMICMD && message.WParamHi() == LVC_REMOVESKIN && !Destroyed && OwnManager(SkinData, message)) {
    // The manager may go inactive before it tells: the list's own colours and header come back all the same.
    UnhookHeader();
    RestoreListColours();
  }
  if (message.Msg == SM_LUMICMD && message.WParamHi() == LVC_SETNEWSKIN && !Destroyed && OwnManager(SkinData, message)) {
    TlvEditWnd::lvWndProc(message);
    if (!Destroyed && SkinActive()) {
      if (!FhWndHeader)
        if (HWND header = FindWindowExW(CtrlHandle, nullptr, L"SysHeader32", nullptr)) HookHeader(header);
      SetSkinParams();
      RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return;
  }
  if (!SkinData || Destroyed || !SkinActive()) {
    TlvEditWnd::lvWndProc(message);
    return;
  }
  const HWND h = CtrlHandle;
  switch (message.Msg) {
    case WM_PAINT:
      SetSkinParams();
      break;
    case WM_NCHITTEST:
      if (HoverColIndex >= 0 || FPressedColumn >= 0) {
        HoverColIndex = FPressedColumn = -1;
        if (FhWndHeader) InvalidateRect(FhWndHeader, nullptr, FALSE);
      }
      break;
    case WM_NCPAINT:
      message.Result = 0;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(message.WParam) == SB_THUMBTRACK) {
        ThumbScroll(message);
        if (!DontRepaint) UpdateScrolls(this, true);
        return;
      }
      if (message.Msg == WM_VSCROLL) message.LParam = 0;
      CallPrevWndProc(message);
      if (!DontRepaint) UpdateScrolls(this, true);
      return;
    case WM_PRINT: {
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (!ParamsChanged) SetSkinParams();
      if (auto dc = reinterpret_cast<HDC>(message.WParam))
        FillDC(dc, vcl::TRect(0, 0, WndSize.cx, WndSize.cy), Color);
      TlvEditWnd::lvWndProc(message);
      PrintHeader(reinterpret_cast<HDC>(message.WParam));
      return;
    }
    case SM_LUMICMD:
      switch (message.WParamHi()) {
        case LVC_REFRESH:
          if (OwnManager(SkinData, message)) {
            TlvEditWnd::lvWndProc(message);
            if (FhWndHeader && !Destroyed) {
              vcl::TMessage m{WM_PAINT, 0, 0, 0};
              HeaderWndProc(m);
            }
            return;
          }
          break;
        case LVC_GETSKININDEX:
          if (auto* info = reinterpret_cast<std::int32_t*>(message.LParam)) info[1] = SkinData->SkinIndex;
          return;
        case LVC_BEFORESCROLL:
          message.Result = 1;
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  TlvEditWnd::lvWndProc(message);
  if (Destroyed || !SkinData || !IsWindow(h)) return;
  switch (message.Msg) {
    case WM_SIZE:
      SkinData->BGChanged = true;
      InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      PrepareCache(SkinData, h, DlgMode);
      InvalidateRect(h, nullptr, TRUE);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      SetSkinParams();
      break;
    case WM_STYLECHANGED:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_ARRANGE:
      if (!GetUpdating(SkinData)) UpdateScrolls(this, true);
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE) {
        const auto child = reinterpret_cast<HWND>(message.LParam);
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"SysHeader32") == 0 && child != FhWndHeader) {
          // A header made again replaces the one held: the new one is painted from the skin.
          UnhookHeader();
          HookHeader(child);
        }
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Tree view.

void TlvTreeViewWnd::Create(HWND handle, TsCommonData* skinData, TsSkinManager* skinManager,
                            const TlvSkinParams& skinParams, bool repaint) {
  TlvEditWnd::Create(handle, skinData, skinManager, skinParams, repaint);
}

TlvTreeViewWnd::~TlvTreeViewWnd() {
  if (SkinData && !Destroyed) RestoreTreeColours();
}

void TlvTreeViewWnd::RestoreTreeColours() {
  const HWND h = CtrlHandle;
  if (!h || !IsWindow(h) || !IsWindowVisible(h)) return;
  // -1: the system's colours; a bare tree's text would otherwise keep the skin's colour on the system background.
  SendMessageW(h, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(-1));
  if (!SkinData || !SkinData->OwnerControl()) SendMessageW(h, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(-1));
  InvalidateRect(h, nullptr, TRUE);
}

void TlvTreeViewWnd::RestoreStdParams() {
  TlvEditWnd::RestoreStdParams();
  RestoreTreeColours();
}

void TlvTreeViewWnd::SetSkinParams() {
  ParamsChanged = true;
  const HWND h = CtrlHandle;
  if (!SkinData || !h) return;
  vcl::TControl* c = SkinData->OwnerControl();
  auto setBk = [h](vcl::TColor col) {
    const auto rgb = static_cast<LPARAM>(vcl::ColorToRGB(col));
    if (SendMessageW(h, TVM_GETBKCOLOR, 0, 0) != rgb) SendMessageW(h, TVM_SETBKCOLOR, 0, rgb);
  };
  auto setText = [h](vcl::TColor col) {
    const auto rgb = static_cast<LPARAM>(vcl::ColorToRGB(col));
    if (SendMessageW(h, TVM_GETTEXTCOLOR, 0, 0) != rgb) SendMessageW(h, TVM_SETTEXTCOLOR, 0, rgb);
  };
  if (DlgMode) {
    Color = vcl::ColorToRGB(vcl::clWindow);
    setBk(vcl::clWindow);
    setText(vcl::clWindowText);
    return;
  }
  TsSkinManager* m = SkinData->SkinManager();
  if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex)) return;
  const TsGeneralData& g = m->gd[static_cast<size_t>(SkinData->SkinIndex)];
  const size_t s = ControlIsActive(SkinData) && g.States > 1 ? 1 : 0;
  // A bare tree that keeps its own colour keeps the background it has.
  const vcl::TColor bg = SkinData->CustomColor()
                             ? (c ? c->Color() : static_cast<vcl::TColor>(SendMessageW(h, TVM_GETBKCOLOR, 0, 0)))
                             : g.Props[s].Color;
  const vcl::TColor text = SkinData->CustomFont() && c ? c->Font()->Color() : g.Props[s].FontColor.Color;
  if (c && c->Font()->Color() != text) {
    SkinData->CtrlSkinState |= LVCS_CHANGING;
    c->Font()->SetColor(text);
    SkinData->CtrlSkinState &= static_cast<unsigned short>(~LVCS_CHANGING);
  }
  setText(text);
  Color = bg;
  if (!c || bg != c->Color()) setBk(bg);
  SkinData->BGChanged = true;
}

bool TlvTreeViewWnd::EraseBackground(vcl::TMessage& message) {
  const HWND h = CtrlHandle;
  vcl::TControl* c = SkinData->OwnerControl();
  if (c && HasProperty(c, L"OnAdvancedCustomDraw") && !vcl::GetMethodName(c, L"OnAdvancedCustomDraw").empty()) {
    CallPrevWndProc(message);
    return true;
  }
  if (!SkinData->SkinManager() || GetUpdating(SkinData)) return false;
  if (SkinData->BGChanged) {
    InitCtrlData(h, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
    PrepareCache(SkinData, h, DlgMode);
  }
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  const bool own = dc == nullptr;
  if (own) dc = GetDC(h);
  vcl::TColor col;
  if (DlgMode) {
    col = vcl::clWindow;
  } else if (SkinData->CustomColor()) {
    col = c ? c->Color() : vcl::clWindow;
  } else {
    TsSkinManager* m = SkinData->SkinManager();
    // A bare tree has no hot item colours (SetSkinParams) and hears of no mouse leaving: its background stays
    // normal too, so items and the empty part match.
    const bool hot = c && (SkinData->FFocused || SkinData->FMouseAbove) && MayBeHot(SkinData, false);
    col = m->IsValidSkinIndex(SkinData->SkinIndex)
              ? m->gd[static_cast<size_t>(SkinData->SkinIndex)].Props[hot ? 1 : 0].Color
              : vcl::clWindow;
  }
  RECT wr{};
  GetWindowRect(h, &wr);
  FillDC(dc, vcl::TRect(0, 0, wr.right - wr.left, wr.bottom - wr.top), col);
  if (own) ReleaseDC(h, dc);
  message.Result = 1;
  return true;
}

void TlvTreeViewWnd::lvWndProc(vcl::TMessage& message) {
  if (message.Msg == SM_LUMICMD && !Destroyed && OwnManager(SkinData, message)) {
    if (message.WParamHi() == LVC_REMOVESKIN) {
      // The manager may go inactive before it tells: the tree's own colours come back all the same (before the
      // command goes on: the control may free this wrapper there).
      RestoreTreeColours();
      TlvEditWnd::lvWndProc(message);
      return;
    }
    if (message.WParamHi() == LVC_SETNEWSKIN) {
      TlvEditWnd::lvWndProc(message);
      if (!Destroyed && SkinActive()) {
        SetSkinParams();
        InvalidateRect(CtrlHandle, nullptr, TRUE);
      }
      return;
    }
  }
  if (!SkinData || Destroyed || !SkinActive()) {
    TlvEditWnd::lvWndProc(message);
    return;
  }
  if (message.Msg == WM_ERASEBKGND && !SkipBG && IsWindowVisible(CtrlHandle) && EraseBackground(message)) return;
  TlvEditWnd::lvWndProc(message);
  if (Destroyed || !SkinData) return;
  switch (message.Msg) {
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    case WM_PAINT:
    case WM_MOUSEWHEEL:
    case TVM_INSERTITEMA:
    case TVM_INSERTITEMW:
    case TVM_DELETEITEM:
    case TVM_EXPAND:
    case TVM_ENSUREVISIBLE:
      // The tree sets its scroll information with redrawing on: the system's bar is drawn over the skinned one.
      if (!DontRepaint && !bPreventStyleChange) UpdateScrolls(this, true);
      break;
    default:
      break;
  }
}
