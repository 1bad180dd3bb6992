// Panel, image and timer.
#include "platform/vcl/extctrls.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/vcl/application.h"

namespace vcl {

// Panel.

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  control_style_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                 csDoubleClicks,    csReplicatable, csOpaque,      csParentBackground};
  color_ = clBtnFace;
  parent_color_ = false;
  brush_->SetColor(color_);
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (border_style_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::FrameWidth() const {
  int w = border_width_;
  if (bevel_outer_ != bvNone) w += bevel_width_;
  if (bevel_inner_ != bvNone) w += bevel_width_;
  return w;
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  int w = FrameWidth();
  rect.Left += w;
  rect.Top += w;
  rect.Right = std::max(rect.Left, rect.Right - w);
  rect.Bottom = std::max(rect.Top, rect.Bottom - w);
}

namespace {

// One bevel of the given width: raised is light at the top and left, lowered the other way round.
void DrawBevel(HDC dc, TRect& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  COLORREF top = ColorToGdi(cut == bvLowered ? clBtnShadow : clBtnHighlight);
  COLORREF bottom = ColorToGdi(cut == bvLowered ? clBtnHighlight : clBtnShadow);
  if (cut == bvSpace) top = bottom = ColorToGdi(clBtnFace);
  for (int i = 0; i < width; ++i) {
    HBRUSH tb = CreateSolidBrush(top), bb = CreateSolidBrush(bottom);
    RECT e{r.Left, r.Top, r.Right, r.Top + 1};
    ::FillRect(dc, &e, tb);
    e = RECT{r.Left, r.Top, r.Left + 1, r.Bottom};
    ::FillRect(dc, &e, tb);
    e = RECT{r.Left, r.Bottom - 1, r.Right, r.Bottom};
    ::FillRect(dc, &e, bb);
    e = RECT{r.Right - 1, r.Top, r.Right, r.Bottom};
    ::FillRect(dc, &e, bb);
    DeleteObject(tb);
    DeleteObject(bb);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
}

// True when a bold font draws the same strokes as the regular weight of its face. Some faces come with a bold
// member whose outlines are the regular ones above the sizes it has bitmaps for, and the system does not thicken a
// face that calls itself bold, so a bold caption would show plain.
bool BoldDrawsPlain(HFONT bold) {
  LOGFONTW lf{};
  if (!bold || GetObjectW(bold, sizeof lf, &lf) != sizeof lf || lf.lfWeight < FW_BOLD) return false;
  static std::map<std::tuple<std::wstring, LONG, BYTE>, bool> known;
  auto key = std::make_tuple(std::wstring(lf.lfFaceName), lf.lfHeight, lf.lfCharSet);
  if (auto it = known.find(key); it != known.end()) return it->second;
  // The ink of a few letters as the system draws them with a font: it grows with the weight of the strokes.
  auto ink = [](HFONT font) {
    const int w = 96, h = 64;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC probe = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(probe, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    long sum = -1;
    if (bmp && bits) {
      HGDIOBJ oldBmp = SelectObject(probe, bmp);
      HGDIOBJ oldFont = SelectObject(probe, font);
      RECT all{0, 0, w, h};
      ::FillRect(probe, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      SetTextColor(probe, RGB(0, 0, 0));
      SetBkMode(probe, TRANSPARENT);
      TextOutW(probe, 2, 2, L"Hil", 3);
      GdiFlush();
      sum = 0;
      auto* px = static_cast<const DWORD*>(bits);
      for (int i = 0; i < w * h; ++i) sum += 255 - static_cast<long>((px[i] >> 8) & 0xFF);
      SelectObject(probe, oldFont);
      SelectObject(probe, oldBmp);
      DeleteObject(bmp);
    }
    DeleteDC(probe);
    return sum;
  };
  long boldInk = ink(bold);
  lf.lfWeight = FW_NORMAL;
  HFONT regular = CreateFontIndirectW(&lf);
  long regularInk = ink(regular);
  DeleteObject(regular);
  bool plain = boldInk >= 0 && regularInk > 0 && boldInk * 10 < regularInk * 11;
  known.emplace(key, plain);
  return plain;
}

}  // namespace

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  TRect r = ClientRect();
  DrawBevel(dc, r, bevel_outer_, bevel_width_);
  r = Rect(r.Left + border_width_, r.Top + border_width_, r.Right - border_width_, r.Bottom - border_width_);
  DrawBevel(dc, r, bevel_inner_, bevel_width_);
  RECT fill = r;
  // The border between the bevels takes the panel's colour too.
  if (border_width_ > 0)
    fill = RECT{r.Left - border_width_, r.Top - border_width_, r.Right + border_width_, r.Bottom + border_width_};
  ::FillRect(dc, &fill, brush_->Handle());
  if (!show_caption_) return;
  String caption = text_;
  if (caption.empty()) return;
  SelectObject(dc, font_->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGdi(enabled_ ? font_->Color() : clGrayText));
  UINT flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS;
  flags |= alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
  flags |= vertical_alignment_ == taAlignTop ? DT_TOP : vertical_alignment_ == taAlignBottom ? DT_BOTTOM : DT_VCENTER;
  RECT tr = r;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, flags);
  if (BoldDrawsPlain(font_->Handle())) {
    // Thicken the strokes by drawing the caption again one pixel to the right.
    tr = RECT{r.Left + 1, r.Top, r.Right + 1, r.Bottom};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr, flags);
  }
}

void TCustomPanel::CMTextChanged(TMessage&) { Invalidate(); }

void TCustomPanel::SetBevelOuter(TBevelCut v) {
  bevel_outer_ = v;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut v) {
  bevel_inner_ = v;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int v) {
  bevel_width_ = std::max(v, 1);
  Realign();
  Invalidate();
}
void TCustomPanel::SetBorderWidth(int v) {
  border_width_ = std::max(v, 0);
  Realign();
  Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (border_style_ == v) return;
  border_style_ = v;
  RecreateWnd();
}
void TCustomPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}
void TCustomPanel::SetVerticalAlignment(TVerticalAlignment v) {
  vertical_alignment_ = v;
  Invalidate();
}
void TCustomPanel::SetShowCaption(bool v) {
  show_caption_ = v;
  Invalidate();
}

// Image.

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(new TPicture()) {
  picture_->OnChange = [this](rtl::TObject* s) { PictureChanged(s); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { delete picture_; }

void TImage::SetPicture(TPicture* v) { picture_->Assign(v); }

void TImage::PictureChanged(rtl::TObject*) {
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(transparent_);
  if (auto_size_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(left_, top_, picture_->Width(), picture_->Height());
  Invalidate();
}

void TImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}
void TImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}
void TImage::SetProportional(bool v) {
  proportional_ = v;
  Invalidate();
}
void TImage::SetTransparent(bool v) {
  transparent_ = v;
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(v);
  Invalidate();
}
void TImage::SetAutoSize(bool v) {
  auto_size_ = v;
  PictureChanged(this);
}

TRect TImage::DestRect() const {
  int w = picture_->Width(), h = picture_->Height();
  int cw = width_, ch = height_;
  if (w <= 0 || h <= 0) return Rect(0, 0, 0, 0);
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_) {
      double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
      w = std::max(1, static_cast<int>(std::lround(w * scale)));
      h = std::max(1, static_cast<int>(std::lround(h * scale)));
    } else {
      w = cw;
      h = ch;
    }
  }
  int x = 0, y = 0;
  if (center_) {
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  return Rect(x, y, x + w, y + h);
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

// Timer.

namespace {
const wchar_t* kTimerWindowClass = L"TavrelTimerWindow";
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (timer) {
      try {
        timer->Timer();
      } catch (...) {
        if (Application) Application->HandleException(timer);
      }
    }
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(inst, kTimerWindowClass, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TTimer::TimerWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = kTimerWindowClass;
    RegisterClassExW(&wc);
  }
  window_ = CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  UpdateTimer();
}

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
  if (window_) DestroyWindow(window_);
}

void TTimer::UpdateTimer() {
  if (!window_) return;
  if (running_) KillTimer(window_, 1);
  running_ = false;
  // A timer read from a resource starts once everything is read, so OnTimer never sees a half-made form.
  if (enabled_ && interval_ > 0 && !ComponentState().Contains(csLoading))
    running_ = SetTimer(window_, 1, interval_, nullptr) != 0;
}

void TTimer::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
  if (interval_ == v) return;
  interval_ = v;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (enabled_ && OnTimer) OnTimer(this);
}

VCL_REGISTER(TCustomPanel) {
  cls.Prop(L"Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
  cls.Prop(L"VerticalAlignment", &TCustomPanel::VerticalAlignment, &TCustomPanel::SetVerticalAlignment)
      .Default(taVerticalCenter);
  cls.Prop(L"BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
  cls.Prop(L"BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
  cls.Prop(L"BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  cls.Prop(L"BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
  cls.Prop(L"BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone);
  cls.Prop(L"ShowCaption", &TCustomPanel::ShowCaption, &TCustomPanel::SetShowCaption).Default(true);
  cls.Prop(L"FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
}
VCL_REGISTER(TPanel) {}
VCL_REGISTER(TImage) {
  cls.Prop(L"AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
  cls.Prop(L"Center", &TImage::Center, &TImage::SetCenter).Default(false);
  cls.Prop(L"Picture", &TImage::Picture, &TImage::SetPicture);
  cls.Prop(L"Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
  cls.Prop(L"Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  cls.Prop(L"Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
}
VCL_REGISTER(TTimer) {
  cls.Prop(L"Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  cls.Prop(L"Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  cls.Prop(L"OnTimer", &TTimer::OnTimer);
}

}  // namespace vcl
