#include "report/preview/qvxCtrls.h"

#include <algorithm>

#include "platform/vcl/graphicsobjects.h"

using namespace vcl;

TEXTMETRICW GetFontMetrics(TFont* font) {
  TEXTMETRICW metrics{};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics;
}

int GetFontHeight(TFont* font) { return GetFontMetrics(font).tmHeight; }

TColor Blend(TColor c1, TColor c2, int a) {
  auto rgb = [](TColor c) -> unsigned {
    if (c < 0) return GetSysColor(c & 0xFF);
    return static_cast<unsigned>(c) & 0xFFFFFF;
  };
  const unsigned x = rgb(c1), y = rgb(c2);
  const int d = a < 100 ? 100 : 1000;
  unsigned result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int b1 = (x >> shift) & 0xFF, b2 = (y >> shift) & 0xFF;
    const int b = (b2 * (d - a) + b1 * a + d / 2) / d;
    result |= static_cast<unsigned>(std::clamp(b, 0, 255)) << shift;
  }
  return static_cast<TColor>(result);
}

// --- TqvxScrollWin

TqvxScrollWin::TqvxScrollWin(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + csNeedsBorderPaint);
}

void TqvxScrollWin::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
  // The new-style look: a sunken client edge rather than a flat black line.
  if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TqvxScrollWin::InitializeWnd() {
  TCustomControl::InitializeWnd();
  UpdateBar(SB_HORZ);
  UpdateBar(SB_VERT);
}

void TqvxScrollWin::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TqvxScrollWin::UpdateBar(int bar) {
  if (!HandleAllocated()) return;
  const int range = bar == SB_HORZ ? FHorzRange : FVertRange;
  const int page = bar == SB_HORZ ? FHorzPage : FVertPage;
  const int pos = bar == SB_HORZ ? FHorzPosition : FVertPosition;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  si.nMin = 0;
  si.nMax = range < page ? 0 : range;
  si.nPage = static_cast<UINT>(std::max(page, 0));
  si.nPos = pos;
  si.nTrackPos = pos;
  SetScrollInfo(Handle(), bar, &si, TRUE);
}

void TqvxScrollWin::SetHorzPage(int value) {
  FHorzPage = value;
  UpdateBar(SB_HORZ);
}

void TqvxScrollWin::SetVertPage(int value) {
  FVertPage = value;
  UpdateBar(SB_VERT);
}

void TqvxScrollWin::SetHorzRange(int value) {
  FHorzRange = value;
  UpdateBar(SB_HORZ);
}

void TqvxScrollWin::SetVertRange(int value) {
  FVertRange = value;
  UpdateBar(SB_VERT);
}

void TqvxScrollWin::SetHorzPosition(int value) {
  value = std::max(std::min(value, FHorzRange - FHorzPage), 0);
  if (value == FHorzPosition) return;
  FHorzPosition = value;
  if (HandleAllocated()) SetScrollPos(Handle(), SB_HORZ, value, TRUE);
  OnHScrollChange();
}

void TqvxScrollWin::SetVertPosition(int value) {
  value = std::max(std::min(value, FVertRange - FVertPage), 0);
  if (value == FVertPosition) return;
  FVertPosition = value;
  if (HandleAllocated()) SetScrollPos(Handle(), SB_VERT, value, TRUE);
  OnVScrollChange();
}

void TqvxScrollWin::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TqvxScrollWin::Scroll(int bar, TMessage& m) {
  const int pos = bar == SB_HORZ ? FHorzPosition : FVertPosition;
  const int range = bar == SB_HORZ ? FHorzRange : FVertRange;
  int value = pos;
  switch (LOWORD(m.WParam)) {
    case SB_LINEUP: value = pos - FSmallChange; break;
    case SB_LINEDOWN: value = pos + FSmallChange; break;
    case SB_PAGEUP: value = pos - FLargeChange; break;
    case SB_PAGEDOWN: value = pos + FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The message carries 16 bits only; the bar itself knows the whole position.
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      value = GetScrollInfo(Handle(), bar, &si) ? si.nTrackPos : static_cast<int>(HIWORD(m.WParam));
      break;
    }
    case SB_TOP: value = 0; break;
    case SB_BOTTOM: value = range; break;
    default: return;
  }
  if (bar == SB_HORZ)
    SetHorzPosition(value);
  else
    SetVertPosition(value);
}

void TqvxScrollWin::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS; return;
    case WM_HSCROLL: Scroll(SB_HORZ, m); m.Result = 0; return;
    case WM_VSCROLL: Scroll(SB_VERT, m); m.Result = 0; return;
  }
  TCustomControl::Dispatch(m);
}

// --- TqvxCustomComboBox

TqvxCustomComboBox::TqvxCustomComboBox(TComponent* owner) : TCustomComboBox(owner) {
  SetStyle(csDropDown);
  SetWidth(100);
}

HWND TqvxCustomComboBox::EditHandle() {
  if (!HandleAllocated()) return nullptr;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(Handle(), &info)) return nullptr;
  return info.hwndItem;
}

namespace {

const wchar_t kOldEditProc[] = L"qvxComboEditProc";

}  // namespace

// Keys typed into the box's edit reach the box (and a form's key preview) as they would for any control.
LRESULT CALLBACK TqvxCustomComboBox::EditWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto old = reinterpret_cast<WNDPROC>(GetPropW(wnd, kOldEditProc));
  if (msg == WM_KEYDOWN || msg == WM_CHAR) {
    if (auto* box = dynamic_cast<TqvxCustomComboBox*>(TWinControl::FindControl(GetParent(wnd)))) {
      TMessage m;
      m.Msg = msg;
      m.WParam = wParam;
      m.LParam = lParam;
      if (msg == WM_KEYDOWN ? box->DoKeyDown(m) : box->DoKeyPress(m)) return 0;
      wParam = m.WParam;
    }
  } else if (msg == WM_NCDESTROY) {
    RemovePropW(wnd, kOldEditProc);
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  }
  return old ? CallWindowProcW(old, wnd, msg, wParam, lParam) : DefWindowProcW(wnd, msg, wParam, lParam);
}

void TqvxCustomComboBox::InitializeWnd() {
  TCustomComboBox::InitializeWnd();
  if (HWND edit = EditHandle()) {
    SendMessageW(edit, EM_SETREADONLY, FReadOnly, 0);
    if (!GetPropW(edit, kOldEditProc)) {
      SetPropW(edit, kOldEditProc, reinterpret_cast<HANDLE>(GetWindowLongPtrW(edit, GWLP_WNDPROC)));
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditWndProc));
    }
  }
  if (FListWidth > 0) SendMessageW(Handle(), CB_SETDROPPEDWIDTH, FListWidth, 0);
  PlaceEdit();
}

void TqvxCustomComboBox::PlaceEdit() {
  // The text takes the whole box but the flat button, which is narrower than the system's.
  if (HWND edit = EditHandle())
    MoveWindow(edit, FEditOffset + 3, 3, std::max(Width() - FButtonWidth - FEditOffset - 8, 1), std::max(Height() - 6, 1),
               TRUE);
}

void TqvxCustomComboBox::SetListWidth(int value) {
  FListWidth = value;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETDROPPEDWIDTH, value > 0 ? value : Width(), 0);
}

void TqvxCustomComboBox::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  if (HWND edit = EditHandle()) SendMessageW(edit, EM_SETREADONLY, value, 0);
}

bool TqvxCustomComboBox::SolidBorder() {
  if (!HandleAllocated()) return false;
  HWND edit = EditHandle();
  return DroppedDown() || (edit && GetFocus() == edit) || msMouseInControl;
}

int TqvxCustomComboBox::GetListHeight() {
  const int itemHeight = HandleAllocated() ? static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0))
                                           : GetFontHeight(Font());
  const int count = Items()->Count();
  if (DropDownCount() > 0 && count > 0) return itemHeight * std::min(DropDownCount(), count) + 2;
  return itemHeight + 2;
}

void TqvxCustomComboBox::PaintBorder(HDC dc, bool solid) {
  RECT r{0, 0, Width(), Height()};
  FrameRect(dc, &r, GetSysColorBrush(solid ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  InflateRect(&r, -1, -1);
  FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  InflateRect(&r, -1, -1);
  r.right -= FButtonWidth + 2;
  FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
}

namespace {

void PaintButtonGlyph(HDC dc, int x, int y, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  for (int i = 0; i < 3; ++i) {
    MoveToEx(dc, x + i, y + i, nullptr);
    LineTo(dc, x - i + 5, y + i);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

COLORREF Rgb(TColor c) { return c < 0 ? GetSysColor(c & 0xFF) : static_cast<COLORREF>(c); }

}  // namespace

void TqvxCustomComboBox::PaintButton(HDC dc, int kind) {
  const int w = Width(), h = Height();
  RECT button{w - FButtonWidth - 3, 1, w - 1, h - 1};
  const int x = FButtonWidth / 2 + w - FButtonWidth - 4, y = (h - 4) / 2 + 1;
  COLORREF fill = GetSysColor(COLOR_BTNFACE), line = GetSysColor(COLOR_WINDOW), arrow = GetSysColor(COLOR_BTNTEXT);
  if (kind == 1) {
    fill = Rgb(Blend(clHighlight, clWindow, 30));
    line = GetSysColor(COLOR_HIGHLIGHT);
  } else if (kind == 2) {
    fill = Rgb(Blend(clHighlight, clWindow, 50));
    line = GetSysColor(COLOR_HIGHLIGHT);
    arrow = GetSysColor(COLOR_CAPTIONTEXT);
  }
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc, &button, brush);
  DeleteObject(brush);
  if (kind == 0) FrameRect(dc, &button, GetSysColorBrush(COLOR_WINDOW));
  HPEN pen = CreatePen(PS_SOLID, 1, line);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, w - FButtonWidth - 4, 1, nullptr);
  LineTo(dc, w - FButtonWidth - 4, h - 1);
  SelectObject(dc, old);
  DeleteObject(pen);
  PaintButtonGlyph(dc, x, y, arrow);
}

void TqvxCustomComboBox::PaintDisabled(HDC dc) {
  RECT r{0, 0, Width(), Height()};
  FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  PaintButtonGlyph(dc, FButtonWidth / 2 + Width() - FButtonWidth - 4, (Height() - 4) / 2 + 1,
                   GetSysColor(COLOR_GRAYTEXT));
}

void TqvxCustomComboBox::PaintFrame() {
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  if (!Enabled()) {
    PaintDisabled(dc);
  } else if (SolidBorder()) {
    PaintBorder(dc, true);
    PaintButton(dc, DroppedDown() ? 2 : 1);
  } else {
    PaintBorder(dc, false);
    PaintButton(dc, 0);
  }
  ReleaseDC(Handle(), dc);
}

void TqvxCustomComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      // The system paints the text; the frame and the button are ours, drawn over its own.
      TCustomComboBox::Dispatch(m);
      PaintFrame();
      return;
    case CM_MOUSEENTER:
      TCustomComboBox::Dispatch(m);
      msMouseInControl = true;
      PaintFrame();
      return;
    case CM_MOUSELEAVE:
      TCustomComboBox::Dispatch(m);
      msMouseInControl = false;
      PaintFrame();
      return;
    case CM_ENABLEDCHANGED:
      TCustomComboBox::Dispatch(m);
      Invalidate();
      return;
  }
  TCustomComboBox::Dispatch(m);
  if (m.Msg == WM_SIZE || m.Msg == WM_WINDOWPOSCHANGED) PlaceEdit();
  if (m.Msg == WM_COMMAND || m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS || m.Msg == WM_CTLCOLOREDIT) PaintFrame();
}

// --- TqvxTBPanel

TqvxTBPanel::TqvxTBPanel(TComponent* owner) : TPanel(owner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 8, 8);
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  SetShowCaption(false);
  SetControlStyle((ControlStyle() - csParentBackground) + csOpaque);
}

void TqvxTBPanel::SetParent(TWinControl* parent) {
  TPanel::SetParent(parent);
  if (IsDestroying()) return;
  auto* panel = dynamic_cast<TPanel*>(parent);
  if (panel && panel->Parent()) {
    const TAlign a = panel->Parent()->Align();
    SetAlign(a == alLeft || a == alRight ? alTop : alLeft);
  }
}

VCL_REGISTER(TqvxScrollWin) {}
VCL_REGISTER(TqvxCustomComboBox) {}
VCL_REGISTER(TqvxComboBox) {}
VCL_REGISTER(TqvxTBPanel) {}
