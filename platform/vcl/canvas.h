#pragma once
// A drawing surface over a device context. The canvas selects its font, pen and brush into the context only when
// an operation needs them, and puts stock objects back when they change or when the context goes away, so the
// objects can be changed or freed at any time. A canvas without a context asks CreateHandle for one (a bitmap's
// canvas makes a memory context, a control's canvas gets the window's); when there is still none, drawing raises
// EInvalidOperation.
#include <functional>
#include <mutex>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/win.h"
#include "platform/vcl/graphicsobjects.h"
#include "platform/vcl/graphicstypes.h"

namespace vcl {

class TGraphic;
class TBitmap;

using TCopyMode = long;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

enum TFillStyle { fsSurface, fsBorder };

class TCanvas : public rtl::TPersistent {
  VCL_CLASS(TCanvas, rtl::TPersistent)
  using TNotify = std::function<void(rtl::TObject* sender)>;

  TCanvas();
  ~TCanvas() override;

  // The device context; made by CreateHandle when there is none. Raises when the canvas cannot draw.
  HDC Handle();
  // Hands the canvas a context it does not own (0 detaches it; the selected objects are put back first).
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  // Serialises drawing from several threads; Lock nests.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lock_count_; }

  TFont* Font() { return &font_; }
  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }
  void SetFont(const TFont* font) { font_.Assign(font); }
  void SetPen(const TPen* pen) { pen_.Assign(pen); }
  void SetBrush(const TBrush* brush) { brush_.Assign(brush); }
  TCopyMode CopyMode() const { return copy_mode_; }
  void SetCopyMode(TCopyMode mode) { copy_mode_ = mode; }
  // ExtTextOut options added to every text output (ETO_RTLREADING, ...).
  int TextFlags() const { return text_flags_; }
  void SetTextFlags(int flags) { text_flags_ = flags; }

  TPoint PenPos();
  void SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);
  TRect ClipRect();

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Polygon(const TPoint* points, int count);
  void Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), static_cast<int>(points.size())); }
  void Polyline(const TPoint* points, int count);
  void Polyline(const std::vector<TPoint>& points) { Polyline(points.data(), static_cast<int>(points.size())); }
  void PolyBezier(const std::vector<TPoint>& points);
  void FloodFill(int x, int y, TColor color, TFillStyle style);
  void DrawFocusRect(const TRect& rect);

  // Text in the canvas font; the background is filled with the brush unless the brush is clear.
  void TextOut(int x, int y, const rtl::String& text);
  // Text at x, y clipped to rect (rect filled with the brush first unless the brush is clear).
  void TextRect(const TRect& rect, int x, int y, const rtl::String& text);
  // Formatted text in rect with DrawText's DT_ flags (DT_WORDBREAK, DT_CENTER, DT_END_ELLIPSIS...); with
  // DT_CALCRECT nothing is drawn and rect is set to the space the text needs. Returns the text's height.
  int TextRect(TRect& rect, const rtl::String& text, unsigned format);
  TSize TextExtent(const rtl::String& text);
  int TextWidth(const rtl::String& text) { return TextExtent(text).cx; }
  int TextHeight(const rtl::String& text) { return TextExtent(text).cy; }

  // Pictures: Draw at their own size, StretchDraw into rect. Nothing happens for a null or empty graphic.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Copies source of canvas into dest of this canvas with CopyMode, stretching when the sizes differ.
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  // Copies source of bitmap into dest, drawing the pixels of colour transparent with the brush instead.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor transparent);
  // Puts stock objects back into the context so the next operation selects font, pen and brush afresh.
  void Refresh();

  TNotify OnChange;
  TNotify OnChanging;

protected:
  enum State : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
  // Descendants that own a context make it here (by calling SetHandle); the base has none to make.
  virtual void CreateHandle() {}
  virtual void Changed();
  virtual void Changing();
  // Makes sure of the context and the objects the next operation needs (a mask of State).
  void RequiredState(unsigned required);
  // Detaches the context the canvas was given and reselects stock objects: for descendants that free it.
  void DeselectHandles();

private:
  void FontChanged();
  void PenChanged();
  void BrushChanged();

  HDC dc_ = nullptr;
  unsigned state_ = 0;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  TCopyMode copy_mode_ = cmSrcCopy;
  int text_flags_ = 0;
  std::recursive_mutex mutex_;
  int lock_count_ = 0;
};

}  // namespace vcl
