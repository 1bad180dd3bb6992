// The bit button paints itself (owner-drawn BUTTON window), so the system still gives it focus, Space and Enter.
#include "platform/vcl/buttons.h"

namespace vcl {

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
  glyph_ = new TBitmap();
  glyph_->OnChange = [this](rtl::TObject*) { Invalidate(); };
}

TBitBtn::~TBitBtn() { delete glyph_; }

void TBitBtn::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}
void TBitBtn::SetMargin(int v) {
  margin_ = v;
  Invalidate();
}
void TBitBtn::SetSpacing(int v) {
  spacing_ = v;
  Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style = (p.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam));
      m.Result = 1;
      return;
    case WM_LBUTTONDBLCLK:
      // Owner-drawn buttons report double clicks separately; treat a second click as a click.
      m.Msg = WM_LBUTTONDOWN;
      TButton::Dispatch(m);
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TButton::Dispatch(m);
      Invalidate();
      return;
    default:
      TButton::Dispatch(m);
  }
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT r = dis.rcItem;
  bool pushed = (dis.itemState & ODS_SELECTED) != 0;
  bool disabled = (dis.itemState & ODS_DISABLED) != 0 || !enabled_;
  bool focused = (dis.itemState & ODS_FOCUS) != 0;
  UINT state = DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0);
  if (default_ || focused) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, state);
  // Content: glyph then caption, centred as a group.
  String caption = text_;
  if (handle_) {
    int len = GetWindowTextLengthW(handle_);
    caption.assign(static_cast<size_t>(len), L'\0');
    if (len > 0) GetWindowTextW(handle_, caption.data(), len + 1);
  }
  HGDIOBJ oldFont = SelectObject(dc, font_->Handle());
  RECT tr{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, DT_CALCRECT | DT_SINGLELINE);
  int gw = glyph_->Empty() ? 0 : glyph_->Width();
  int gh = glyph_->Empty() ? 0 : glyph_->Height();
  int gap = gw && !caption.empty() ? spacing_ : 0;
  int total = gw + gap + (tr.right - tr.left);
  int x = margin_ >= 0 ? r.left + margin_ : r.left + ((r.right - r.left) - total) / 2;
  int off = pushed ? 1 : 0;
  if (gw) {
    int gy = r.top + ((r.bottom - r.top) - gh) / 2 + off;
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ oldBmp = SelectObject(src, glyph_->Handle());
    if (disabled) {
      // Greyed glyph: the image's shape in the shadow colour.
      HBITMAP mono = CreateBitmap(gw, gh, 1, 1, nullptr);
      HDC mdc = CreateCompatibleDC(dc);
      HGDIOBJ om = SelectObject(mdc, mono);
      SetBkColor(src, GetPixel(src, 0, gh - 1));
      BitBlt(mdc, 0, 0, gw, gh, src, 0, 0, SRCCOPY);
      HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
      HGDIOBJ ob = SelectObject(dc, shadow);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      BitBlt(dc, x + off, gy, gw, gh, mdc, 0, 0, 0x00B8074A);  // paint the brush where the mask is black
      SelectObject(dc, ob);
      SelectObject(mdc, om);
      DeleteDC(mdc);
      DeleteObject(mono);
    } else {
      COLORREF key = GetPixel(src, 0, gh - 1);
      TransparentBlt(dc, x + off, gy, gw, gh, src, 0, 0, gw, gh, key);
    }
    SelectObject(src, oldBmp);
    DeleteDC(src);
  }
  RECT cr{x + gw + gap + off, r.top + off, r.right, r.bottom + off};
  SetBkMode(dc, TRANSPARENT);
  if (disabled) {
    OffsetRect(&cr, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &cr, DT_SINGLELINE | DT_VCENTER);
    OffsetRect(&cr, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, ColorToGdi(font_->Color()));
  }
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &cr, DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, oldFont);
  if (focused && !disabled) {
    RECT fr = r;
    InflateRect(&fr, -3, -3);
    DrawFocusRect(dc, &fr);
  }
}

VCL_REGISTER(TBitBtn) {
  cls.Prop(L"Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  cls.Prop(L"Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
  cls.Prop(L"Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

}  // namespace vcl
