#include "platform/vcl/graphicsobjects.h"

#include <algorithm>
#include <cwchar>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"

namespace vcl {

int PenModeToRop2(TPenMode mode) {
  static const int kRop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return kRop2[mode];
}

namespace {

struct CharsetName {
  int value;
  const wchar_t* name;
};

const CharsetName kCharsets[] = {
    {ANSI_CHARSET, L"ANSI_CHARSET"},         {DEFAULT_CHARSET, L"DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, L"SYMBOL_CHARSET"},     {MAC_CHARSET, L"MAC_CHARSET"},
    {SHIFTJIS_CHARSET, L"SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, L"HANGEUL_CHARSET"},
    {JOHAB_CHARSET, L"JOHAB_CHARSET"},       {GB2312_CHARSET, L"GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, L"CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, L"GREEK_CHARSET"},
    {TURKISH_CHARSET, L"TURKISH_CHARSET"},   {VIETNAMESE_CHARSET, L"VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, L"HEBREW_CHARSET"},     {ARABIC_CHARSET, L"ARABIC_CHARSET"},
    {BALTIC_CHARSET, L"BALTIC_CHARSET"},     {RUSSIAN_CHARSET, L"RUSSIAN_CHARSET"},
    {THAI_CHARSET, L"THAI_CHARSET"},         {EASTEUROPE_CHARSET, L"EASTEUROPE_CHARSET"},
    {OEM_CHARSET, L"OEM_CHARSET"},
};

bool SameAscii(const rtl::String& a, const wchar_t* b) {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return i == a.size() && b[i] == 0;
}

}  // namespace

bool CharsetToIdent(int charset, rtl::String& ident) {
  for (const auto& c : kCharsets)
    if (c.value == charset) {
      ident = c.name;
      return true;
    }
  return false;
}

bool IdentToCharset(const rtl::String& ident, int& charset) {
  for (const auto& c : kCharsets)
    if (SameAscii(ident, c.name)) {
      charset = c.value;
      return true;
    }
  return false;
}

// ---- TGraphicsObject ----

TGraphicsObject::~TGraphicsObject() {
  if (handle_ && owned_) DeleteObject(handle_);
}

void TGraphicsObject::Changed() {
  HGDIOBJ old = handle_;
  bool owned = owned_;
  handle_ = nullptr;
  owned_ = true;
  if (OnChange) OnChange(this);
  if (old && owned) DeleteObject(old);
}

void TGraphicsObject::SetRawHandle(HGDIOBJ h, bool owned) {
  HGDIOBJ old = handle_;
  bool old_owned = owned_;
  handle_ = h;
  owned_ = owned;
  if (OnChange) OnChange(this);
  if (old && old_owned && old != h) DeleteObject(old);
}

HGDIOBJ TGraphicsObject::EnsureHandle() {
  if (!handle_) {
    handle_ = CreateGdiHandle();
    owned_ = true;
    if (!handle_) throw rtl::EOutOfMemory(L"Out of system resources");
  }
  return handle_;
}

// ---- TFont ----

int TFont::ScreenPixelsPerInch() {
  static int ppi = [] {
    HDC dc = GetDC(nullptr);
    int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
  }();
  return ppi;
}

TFont::TFont() : pixels_per_inch_(ScreenPixelsPerInch()) { height_ = -MulDiv(8, pixels_per_inch_, 72); }

void TFont::Assign(const rtl::TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    name_ = f->name_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    orientation_ = f->orientation_;
    pitch_ = f->pitch_;
    quality_ = f->quality_;
    // Keep the point size when the two fonts measure for different devices.
    if (f->pixels_per_inch_ != pixels_per_inch_) {
      int points = f->Size();
      height_ = points < 0 ? MulDiv(-points, pixels_per_inch_, 72) : -MulDiv(points, pixels_per_inch_, 72);
    } else {
      height_ = f->height_;
    }
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf{};
  if (font && GetObjectW(font, sizeof(lf), &lf) == sizeof(lf)) {
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    TFontStyles s;
    if (lf.lfWeight >= FW_BOLD) s.Include(fsBold);
    if (lf.lfItalic) s.Include(fsItalic);
    if (lf.lfUnderline) s.Include(fsUnderline);
    if (lf.lfStrikeOut) s.Include(fsStrikeOut);
    style_ = s;
    charset_ = lf.lfCharSet;
    orientation_ = lf.lfEscapement;
    pitch_ = (lf.lfPitchAndFamily & 3) == FIXED_PITCH ? fpFixed
             : (lf.lfPitchAndFamily & 3) == VARIABLE_PITCH ? fpVariable
                                                            : fpDefault;
    quality_ = lf.lfQuality <= CLEARTYPE_NATURAL_QUALITY ? static_cast<TFontQuality>(lf.lfQuality) : fqDefault;
  }
  SetRawHandle(font, true);
}

void TFont::SetName(const rtl::String& name) {
  if (name.empty() || name == name_) return;
  name_ = name.substr(0, LF_FACESIZE - 1);
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixels_per_inch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixels_per_inch_, 72)); }

void TFont::SetHeight(int pixels) {
  if (pixels == height_) return;
  height_ = pixels;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  // The colour is not part of the GDI font: tell listeners without remaking the handle.
  if (OnChange) OnChange(this);
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetOrientation(int tenths) {
  if (tenths == orientation_) return;
  orientation_ = tenths;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::SetQuality(TFontQuality quality) {
  if (quality == quality_) return;
  quality_ = quality;
  Changed();
}

HGDIOBJ TFont::CreateGdiHandle() const {
  LOGFONTW lf{};
  lf.lfHeight = height_;
  lf.lfEscapement = orientation_;
  lf.lfOrientation = orientation_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic);
  lf.lfUnderline = style_.Contains(fsUnderline);
  lf.lfStrikeOut = style_.Contains(fsStrikeOut);
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = static_cast<BYTE>(quality_);
  lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  wcsncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&lf);
}

// ---- TPen ----

void TPen::Assign(const rtl::TPersistent* source) {
  if (auto* p = dynamic_cast<const TPen*>(source)) {
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::SetHandle(HPEN pen) {
  LOGPEN lp{};
  if (pen && GetObjectW(pen, sizeof(lp), &lp) == sizeof(lp)) {
    color_ = static_cast<TColor>(lp.lopnColor & 0xFFFFFF);
    width_ = lp.lopnWidth.x;
    style_ = lp.lopnStyle <= PS_INSIDEFRAME ? static_cast<TPenStyle>(lp.lopnStyle) : psSolid;
  }
  SetRawHandle(pen, true);
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  // The mode is a property of the device context, not of the pen.
  if (OnChange) OnChange(this);
}

HGDIOBJ TPen::CreateGdiHandle() const {
  static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT,        PS_DASHDOT, PS_DASHDOTDOT,
                                PS_NULL,  PS_INSIDEFRAME, PS_SOLID, PS_ALTERNATE};
  int style = kStyles[style_];
  if (style_ == psAlternate) {
    LOGBRUSH lb{BS_SOLID, ColorToGdi(color_), 0};
    return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
  }
  return CreatePen(style, width_, ColorToGdi(color_));
}

// ---- TBrush ----

TBrush::~TBrush() { delete bitmap_; }

void TBrush::Assign(const rtl::TPersistent* source) {
  if (auto* b = dynamic_cast<const TBrush*>(source)) {
    color_ = b->color_;
    style_ = b->style_;
    if (b->bitmap_) {
      if (!bitmap_) bitmap_ = new TBitmap;
      bitmap_->Assign(b->bitmap_);
    } else {
      delete bitmap_;
      bitmap_ = nullptr;
    }
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::SetHandle(HBRUSH brush) {
  LOGBRUSH lb{};
  if (brush && GetObjectW(brush, sizeof(lb), &lb) == sizeof(lb)) {
    color_ = static_cast<TColor>(lb.lbColor & 0xFFFFFF);
    if (lb.lbStyle == BS_NULL)
      style_ = bsClear;
    else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS)
      style_ = static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch);
    else
      style_ = bsSolid;
  }
  SetRawHandle(brush, true);
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  // Choosing a colour makes a clear brush solid again, as users of the class library expect.
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TBrush::SetBitmap(const TBitmap* bitmap) {
  if (!bitmap) {
    if (!bitmap_) return;
    delete bitmap_;
    bitmap_ = nullptr;
  } else {
    if (!bitmap_) bitmap_ = new TBitmap;
    bitmap_->Assign(bitmap);
  }
  Changed();
}

HGDIOBJ TBrush::CreateGdiHandle() const {
  if (bitmap_ && !bitmap_->Empty()) return CreatePatternBrush(bitmap_->Handle());
  switch (style_) {
    case bsSolid:
      return CreateSolidBrush(ColorToGdi(color_));
    case bsClear: {
      LOGBRUSH lb{BS_NULL, 0, 0};
      return CreateBrushIndirect(&lb);
    }
    default:
      return CreateHatchBrush(style_ - bsHorizontal, ColorToGdi(color_));
  }
}

}  // namespace vcl
