// The bit button paints itself (owner-drawn BUTTON window), so the system still gives it focus, Space and Enter.
#include "platform/vcl/buttons.h"

#include "platform/vcl/styles.h"

namespace vcl {

namespace {

// Glyph then caption, centred as a group (or from the margin); a disabled button shows an engraved caption and
// the glyph's shape in the shadow colour. The glyph's bottom-left pixel is its transparent colour.
void DrawGlyphAndCaption(HDC dc, const RECT& r, TBitmap* glyph, const String& caption, bool disabled, int off,
                         int margin, int spacing, COLORREF textColor) {
  RECT tr{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, DT_CALCRECT | DT_SINGLELINE);
  int gw = glyph->Empty() ? 0 : glyph->Width();
  int gh = glyph->Empty() ? 0 : glyph->Height();
  int gap = gw && !caption.empty() ? spacing : 0;
  int total = gw + gap + (tr.right - tr.left);
  int x = margin >= 0 ? r.left + margin : r.left + ((r.right - r.left) - total) / 2;
  if (gw) {
    int gy = r.top + ((r.bottom - r.top) - gh) / 2 + off;
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ oldBmp = SelectObject(src, glyph->Handle());
    if (disabled) {
      HBITMAP mono = CreateBitmap(gw, gh, 1, 1, nullptr);
      HDC mdc = CreateCompatibleDC(dc);
      HGDIOBJ om = SelectObject(mdc, mono);
      SetBkColor(src, GetPixel(src, 0, gh - 1));
      BitBlt(mdc, 0, 0, gw, gh, src, 0, 0, SRCCOPY);
      HBRUSH shadow = CreateSolidBrush(ColorToGdi(clBtnShadow));
      HGDIOBJ ob = SelectObject(dc, shadow);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      BitBlt(dc, x + off, gy, gw, gh, mdc, 0, 0, 0x00B8074A);  // paint the brush where the mask is black
      SelectObject(dc, ob);
      DeleteObject(shadow);
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
    SetTextColor(dc, ColorToGdi(clBtnHighlight));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &cr, DT_SINGLELINE | DT_VCENTER);
    OffsetRect(&cr, -1, -1);
    SetTextColor(dc, ColorToGdi(clBtnShadow));
  } else {
    SetTextColor(dc, textColor);
  }
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &cr, DT_SINGLELINE | DT_VCENTER);
}

void FillSolid(HDC dc, const RECT& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToGdi(color));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// A one-pixel frame: light at the top and left, dark at the bottom and right.
void FrameEdges(HDC dc, const RECT& r, TColor light, TColor dark) {
  FillSolid(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, light);
  FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, light);
  FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
  FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
}

}  // namespace

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
  if (StyleServices().Enabled()) {
    // The style's face inside the system's edges.
    RECT face = r;
    InflateRect(&face, -2, -2);
    HBRUSH b = CreateSolidBrush(ColorToGdi(StyleServices().GetStyleColor(pushed ? scButtonPressed : scButtonNormal)));
    FillRect(dc, &face, b);
    DeleteObject(b);
  }
  String caption = text_;
  if (handle_) {
    int len = GetWindowTextLengthW(handle_);
    caption.assign(static_cast<size_t>(len), L'\0');
    if (len > 0) GetWindowTextW(handle_, caption.data(), len + 1);
  }
  HGDIOBJ oldFont = SelectObject(dc, font_->Handle());
  DrawGlyphAndCaption(dc, r, glyph_, caption, disabled, pushed ? 1 : 0, margin_, spacing_, ColorToGdi(font_->Color()));
  SelectObject(dc, oldFont);
  if (focused && !disabled) {
    RECT fr = r;
    InflateRect(&fr, -3, -3);
    DrawFocusRect(dc, &fr);
  }
}

// Speed button.

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  // Clicks are decided here (a grouped button changes state first), not by the generic click handling.
  control_style_ = TControlStyle{csCaptureMouse, csDoubleClicks, csSetCaption, csOpaque};
  color_ = clBtnFace;
  glyph_ = new TBitmap();
  glyph_->OnChange = [this](rtl::TObject*) { Invalidate(); };
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() { delete glyph_; }

void TSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}
void TSpeedButton::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}
void TSpeedButton::SetMargin(int value) {
  margin_ = value;
  Invalidate();
}
void TSpeedButton::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (group_index_ == value) return;
  group_index_ = value;
  if (group_index_ == 0 && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
  if (group_index_ == 0) value = false;
  if (value == down_) return;
  // The last button down in a group stays down unless the group allows all up.
  if (down_ && !allow_all_up_) return;
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (allow_all_up_ == value) return;
  allow_all_up_ = value;
  UpdateExclusive();
}

// Tells the other buttons of the group (on the same parent) that this one is down and what the group allows.
void TSpeedButton::UpdateExclusive() {
  if (group_index_ == 0 || !parent_) return;
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    TControl* c = parent_->Controls(i);
    if (c != this) c->Perform(CM_BUTTONPRESSED, static_cast<WPARAM>(group_index_), reinterpret_cast<LPARAM>(this));
  }
}

void TSpeedButton::ButtonPressed(int group, TSpeedButton* sender) {
  if (group != group_index_ || sender == this || !sender) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  allow_all_up_ = sender->allow_all_up_;
}

void TSpeedButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED:
      ButtonPressed(static_cast<int>(m.WParam), dynamic_cast<TSpeedButton*>(reinterpret_cast<TControl*>(m.LParam)));
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(m);
      if (flat_ && enabled_) Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      state_ = !enabled_ ? bsDisabled : (down_ ? bsExclusive : bsUp);
      TGraphicControl::Dispatch(m);
      Invalidate();
      return;
    default:
      TGraphicControl::Dispatch(m);
  }
}

void TSpeedButton::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseDown(button, shift, x, y);
  if (button != mbLeft || !enabled_) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::DoMouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::DoMouseMove(shift, x, y);
  if (!dragging_) return;
  // The button shows pressed only while the pressed mouse is over it.
  TButtonState want = down_ ? bsExclusive : bsUp;
  if (Inside(x, y)) want = down_ ? bsExclusive : bsDown;
  if (want != state_) {
    state_ = want;
    Invalidate();
  }
}

void TSpeedButton::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  bool was_dragging = dragging_ && button == mbLeft;
  if (was_dragging) dragging_ = false;
  if (was_dragging) {
    bool inside = Inside(x, y);
    if (group_index_ == 0) {
      state_ = bsUp;
      Invalidate();
    } else if (inside) {
      SetDown(!down_);
      state_ = down_ ? bsExclusive : bsUp;
      Invalidate();
    } else {
      state_ = down_ ? bsExclusive : bsUp;
      Invalidate();
    }
    if (inside) Click();
  }
  TGraphicControl::DoMouseUp(button, shift, x, y);
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  RECT r{0, 0, width_, height_};
  bool pressed = state_ == bsDown || state_ == bsExclusive || down_;
  bool hot = mouse_in_control_ && enabled_;
  const TCustomStyleServices& style = StyleServices();
  TStyleColor element = !enabled_ ? scButtonDisabled : pressed ? scButtonPressed : hot ? scButtonHot : scButtonNormal;
  TColor face = style.Enabled() || element != scButtonNormal ? style.GetStyleColor(element) : color_;
  if (flat_ && !pressed && !hot) face = parent_ ? parent_->Color() : color_;
  FillSolid(dc, r, face);
  if (!flat_ || pressed || hot) {
    // Edges in the active colours (the system's edge drawing would use the system's).
    TColor light = pressed ? clBtnShadow : clBtnHighlight;
    TColor dark = pressed ? clBtnHighlight : (flat_ ? clBtnShadow : cl3DDkShadow);
    FrameEdges(dc, r, light, dark);
    if (!flat_ && !pressed) {
      RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
      FrameEdges(dc, inner, clBtnFace, clBtnShadow);
    }
  }
  HGDIOBJ old_font = SelectObject(dc, font_->Handle());
  TColor text = style.Enabled() ? style.GetStyleFontColor(sfButtonTextNormal) : font_->Color();
  if (font_->Color() != clWindowText && font_->Color() != clBtnText) text = font_->Color();
  DrawGlyphAndCaption(dc, r, glyph_, text_, !enabled_, pressed ? 1 : 0, margin_, spacing_, ColorToGdi(text));
  SelectObject(dc, old_font);
}

VCL_REGISTER(TSpeedButton) {
  cls.Prop(L"AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
  cls.Prop(L"GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  cls.Prop(L"Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
  cls.Prop(L"Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
  cls.Prop(L"Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  cls.Prop(L"Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  cls.Prop(L"Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
}

VCL_REGISTER(TBitBtn) {
  cls.Prop(L"Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  cls.Prop(L"Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
  cls.Prop(L"Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

}  // namespace vcl
