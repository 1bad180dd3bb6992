#include "platform/vcl/canvas.h"

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/graphic.h"

namespace vcl {

TCanvas::TCanvas() {
  font_.OnChange = [this](rtl::TObject*) { FontChanged(); };
  pen_.OnChange = [this](rtl::TObject*) { PenChanged(); };
  brush_.OnChange = [this](rtl::TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() {
  // The context belongs to whoever handed it over; only the objects selected into it are ours.
  if (dc_) DeselectHandles();
  font_.OnChange = nullptr;
  pen_.OnChange = nullptr;
  brush_.OnChange = nullptr;
}

HDC TCanvas::Handle() {
  RequiredState(csHandleValid);
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  if (dc_) DeselectHandles();
  dc_ = dc;
  if (dc_) state_ |= csHandleValid;
}

void TCanvas::DeselectHandles() {
  if (dc_ && (state_ & (csFontValid | csPenValid | csBrushValid))) {
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
  }
  state_ = 0;
  dc_ = nullptr;
}

void TCanvas::Refresh() {
  if (!dc_) return;
  SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  SelectObject(dc_, GetStockObject(BLACK_PEN));
  SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
  state_ &= csHandleValid;
}

void TCanvas::FontChanged() {
  if (dc_ && (state_ & csFontValid)) {
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    state_ &= ~csFontValid;
  }
}

void TCanvas::PenChanged() {
  if (dc_ && (state_ & csPenValid)) {
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    state_ &= ~csPenValid;
  }
}

void TCanvas::BrushChanged() {
  if (dc_ && (state_ & csBrushValid)) {
    SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
    state_ &= ~csBrushValid;
  }
}

void TCanvas::RequiredState(unsigned required) {
  unsigned needed = required & ~state_;
  if (!needed) return;
  if (needed & csHandleValid) {
    CreateHandle();
    if (!dc_) throw rtl::EInvalidOperation(L"Canvas does not allow drawing");
    state_ |= csHandleValid;
  }
  if (needed & csFontValid) {
    SelectObject(dc_, font_.Handle());
    SetTextColor(dc_, ColorToGdi(font_.Color()));
    state_ |= csFontValid;
  }
  if (needed & csPenValid) {
    SelectObject(dc_, pen_.Handle());
    SetROP2(dc_, PenModeToRop2(pen_.Mode()));
    state_ |= csPenValid;
  }
  if (needed & csBrushValid) {
    HBRUSH brush = brush_.Handle();
    UnrealizeObject(brush);
    SelectObject(dc_, brush);
    if (brush_.Style() == bsSolid) {
      SetBkColor(dc_, ColorToGdi(brush_.Color()));
      SetBkMode(dc_, OPAQUE);
    } else {
      // Hatched brushes show the background between their lines.
      SetBkColor(dc_, ~ColorToGdi(brush_.Color()) & 0xFFFFFF);
      SetBkMode(dc_, TRANSPARENT);
    }
    state_ |= csBrushValid;
  }
}

void TCanvas::Lock() {
  mutex_.lock();
  ++lock_count_;
}

void TCanvas::Unlock() {
  --lock_count_;
  mutex_.unlock();
}

bool TCanvas::TryLock() {
  if (!mutex_.try_lock()) return false;
  ++lock_count_;
  return true;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  RequiredState(csHandleValid);
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  return {p.x, p.y};
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState(csHandleValid);
  return static_cast<TColor>(GetPixel(dc_, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  ::SetPixel(dc_, x, y, ColorToGdi(color));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT r{};
  GetClipBox(dc_, &r);
  return r;
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT r = rect;
  ::FillRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT r = rect;
  ::FrameRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(dc_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Chord(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Pie(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Polygon(const TPoint* points, int count) {
  if (count <= 0) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(dc_, AsPOINT(points), count);
  Changed();
}

void TCanvas::Polyline(const TPoint* points, int count) {
  if (count <= 0) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(dc_, AsPOINT(points), count);
  Changed();
}

void TCanvas::PolyBezier(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::PolyBezier(dc_, AsPOINT(points.data()), static_cast<DWORD>(points.size()));
  Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ExtFloodFill(dc_, x, y, ColorToGdi(color), style == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT r = rect;
  ::DrawFocusRect(dc_, &r);
  Changed();
}

void TCanvas::TextOut(int x, int y, const rtl::String& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOutW(dc_, x, y, text_flags_, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  SIZE extent{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &extent);
  MoveToEx(dc_, x + extent.cx, y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const rtl::String& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED | text_flags_;
  if (brush_.Style() != bsClear) options |= ETO_OPAQUE;
  RECT r = rect;
  ExtTextOutW(dc_, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

int TCanvas::TextRect(TRect& rect, const rtl::String& text, unsigned format) {
  bool measuring = (format & DT_CALCRECT) != 0;
  if (!measuring) Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  RECT r = rect;
  int old_mode = SetBkMode(dc_, TRANSPARENT);
  int height = DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
  SetBkMode(dc_, old_mode);
  rect = r;
  if (!measuring) Changed();
  return height;
}

TSize TCanvas::TextExtent(const rtl::String& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE extent{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &extent);
  return {extent.cx, extent.cy};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  graphic->Draw(*this, rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  if (!canvas) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  HDC src = canvas->Handle();
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top, source.Width(),
             source.Height(), copy_mode_);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor transparent) {
  if (!bitmap || bitmap->Empty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  // A mask that is white where the bitmap has the transparent colour, then: brush through the mask, the other
  // pixels from the bitmap.
  HDC src = bitmap->Canvas()->Handle();
  int w = source.Width(), h = source.Height();
  HDC mask_dc = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ old_mask = SelectObject(mask_dc, mask);
  COLORREF old_bk = SetBkColor(src, ColorToGdi(transparent));
  BitBlt(mask_dc, 0, 0, w, h, src, source.Left, source.Top, SRCCOPY);
  SetBkColor(src, old_bk);
  HDC work_dc = CreateCompatibleDC(dc_);
  HBITMAP work = CreateCompatibleBitmap(dc_, w, h);
  HGDIOBJ old_work = SelectObject(work_dc, work);
  BitBlt(work_dc, 0, 0, w, h, src, source.Left, source.Top, SRCCOPY);
  HGDIOBJ old_brush = SelectObject(work_dc, brush_.Handle());
  COLORREF old_text = SetTextColor(work_dc, RGB(0, 0, 0));
  COLORREF old_back = SetBkColor(work_dc, RGB(255, 255, 255));
  // Where the mask is white (transparent pixels) take the brush, elsewhere keep the bitmap: D = (P & S) | (D & ~S).
  BitBlt(work_dc, 0, 0, w, h, mask_dc, 0, 0, 0x00E20746);
  SetTextColor(work_dc, old_text);
  SetBkColor(work_dc, old_back);
  SelectObject(work_dc, old_brush);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), work_dc, 0, 0, w, h, SRCCOPY);
  SelectObject(work_dc, old_work);
  DeleteObject(work);
  DeleteDC(work_dc);
  SelectObject(mask_dc, old_mask);
  DeleteObject(mask);
  DeleteDC(mask_dc);
  Changed();
}

}  // namespace vcl
