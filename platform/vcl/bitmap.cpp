#include "platform/vcl/bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/exceptions.h"

namespace vcl {

namespace {

constexpr wchar_t kInvalidBitmap[] = L"Bitmap image is not valid";

int StrideFor(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

std::uint32_t Get32(const rtl::Byte* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Get16(const rtl::Byte* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Put32(std::vector<rtl::Byte>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<rtl::Byte>(v >> (8 * i)));
}
void Put16(std::vector<rtl::Byte>& out, std::uint16_t v) {
  out.push_back(static_cast<rtl::Byte>(v));
  out.push_back(static_cast<rtl::Byte>(v >> 8));
}

RGBQUAD Quad(int r, int g, int b) {
  return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
}

// The table a 1-, 4- or 8-bit bitmap gets when nobody chose one: black and white; the sixteen basic colours;
// those sixteen, a 6x6x6 colour cube and a grey ramp.
std::vector<RGBQUAD> DefaultTable(int bits) {
  std::vector<RGBQUAD> t;
  if (bits == 1) return {Quad(0, 0, 0), Quad(255, 255, 255)};
  static const int kBasic[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
                                    {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  for (auto& c : kBasic) t.push_back(Quad(c[0], c[1], c[2]));
  if (bits == 4) return t;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) t.push_back(Quad(r * 51, g * 51, b * 51));
  for (int i = 0; t.size() < 256; ++i) t.push_back(Quad(8 + i * 10, 8 + i * 10, 8 + i * 10));
  return t;
}

// BITMAPINFO for a bottom-up section of the format: header, the 5-6-5 masks of pf16bit, the colour table.
std::vector<rtl::Byte> MakeInfo(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>& table) {
  int bits = PixelFormatBits(format);
  size_t colors = bits <= 8 ? (size_t{1} << bits) : 0;
  std::vector<rtl::Byte> info(sizeof(BITMAPINFOHEADER) + (format == pf16bit ? 12 : 0) + colors * sizeof(RGBQUAD));
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bits);
  h->biCompression = format == pf16bit ? BI_BITFIELDS : BI_RGB;
  if (format == pf16bit) {
    DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), masks, sizeof(masks));
  }
  if (colors) {
    auto* quads = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    for (size_t i = 0; i < colors; ++i) quads[i] = i < table.size() ? table[i] : RGBQUAD{0, 0, 0, 0};
  }
  return info;
}

TPixelFormat FormatForBits(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// A memory context with the bitmap selected, for the few GDI calls that need one.
class SelectedBitmap {
public:
  explicit SelectedBitmap(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), old_(SelectObject(dc_, bitmap)) {}
  ~SelectedBitmap() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

int PixelFormatBits(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

namespace {

// The header GetDIBSizes and GetDIB agree on: the bitmap's own depth (1, 4, 8, 16, 24 or 32), uncompressed.
bool DibHeaderFor(HBITMAP bitmap, BITMAPINFOHEADER& h) {
  BITMAP bm{};
  if (!bitmap || GetObjectW(bitmap, sizeof(bm), &bm) == 0) return false;
  int bits = bm.bmBitsPixel * bm.bmPlanes;
  bits = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : bits <= 16 ? 16 : bits <= 24 ? 24 : 32;
  h = BITMAPINFOHEADER{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = bm.bmWidth;
  h.biHeight = bm.bmHeight;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bits);
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(StrideFor(bm.bmWidth, bits)) * bm.bmHeight;
  return true;
}

}  // namespace

void GetDIBSizes(HBITMAP bitmap, DWORD& info_header_size, DWORD& image_size) {
  BITMAPINFOHEADER h{};
  if (!DibHeaderFor(bitmap, h)) {
    info_header_size = image_size = 0;
    return;
  }
  info_header_size = sizeof(BITMAPINFOHEADER) + (h.biBitCount <= 8 ? (DWORD{1} << h.biBitCount) * sizeof(RGBQUAD) : 0);
  image_size = h.biSizeImage;
}

bool GetDIB(HBITMAP bitmap, HPALETTE palette, void* bitmap_info, void* bits) {
  BITMAPINFOHEADER h{};
  if (!bitmap_info || !bits || !DibHeaderFor(bitmap, h)) return false;
  std::memcpy(bitmap_info, &h, sizeof(h));
  HDC screen = GetDC(nullptr);
  HPALETTE old = palette ? SelectPalette(screen, palette, FALSE) : nullptr;
  if (palette) RealizePalette(screen);
  int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(h.biHeight), bits, static_cast<BITMAPINFO*>(bitmap_info),
                       DIB_RGB_COLORS);
  if (old) SelectPalette(screen, old, FALSE);
  ReleaseDC(nullptr, screen);
  return rows == h.biHeight;
}

// ---- TBitmapCanvas ----

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  if (own_dc_) return;
  own_dc_ = CreateCompatibleDC(nullptr);
  if (!own_dc_) throw rtl::EOutOfMemory(L"Out of system resources");
  old_bitmap_ = bitmap_->handle_ ? SelectObject(own_dc_, bitmap_->handle_) : nullptr;
  if (HPALETTE palette = bitmap_->Palette()) {
    old_palette_ = SelectPalette(own_dc_, palette, TRUE);
    RealizePalette(own_dc_);
  }
  SetHandle(own_dc_);
}

void TBitmapCanvas::FreeContext() {
  if (!own_dc_) return;
  Lock();
  DeselectHandles();
  if (old_bitmap_) SelectObject(own_dc_, old_bitmap_);
  if (old_palette_) SelectPalette(own_dc_, old_palette_, TRUE);
  DeleteDC(own_dc_);
  own_dc_ = nullptr;
  old_bitmap_ = nullptr;
  old_palette_ = nullptr;
  Unlock();
}

void TBitmapCanvas::Changed() {
  bitmap_->Changed();
  TCanvas::Changed();
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
  format_ = format;
  Recreate(width, height, format, false);
}

TBitmap::~TBitmap() {
  delete canvas_;
  canvas_ = nullptr;
  FreeHandleAndPalette();
}

void TBitmap::Changed() { TGraphic::Changed(); }

void TBitmap::DropCanvasContext() {
  if (canvas_) canvas_->FreeContext();
}

void TBitmap::FreeHandleAndPalette() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  bits_ = nullptr;
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
}

int TBitmap::BitsPerPixel() const { return PixelFormatBits(format_); }

int TBitmap::BytesPerScanLine() const { return StrideFor(width_, BitsPerPixel()); }

void TBitmap::FillWhite() {
  if (!bits_) return;
  GdiFlush();
  auto* p = static_cast<rtl::Byte*>(bits_);
  size_t total = static_cast<size_t>(BytesPerScanLine()) * height_;
  int bits = BitsPerPixel();
  if (format_ == pf32bit || format_ == pfDevice || format_ == pfCustom) {
    auto* q = reinterpret_cast<std::uint32_t*>(p);
    std::fill(q, q + total / 4, 0x00FFFFFFu);
  } else if (format_ == pf15bit) {
    auto* q = reinterpret_cast<std::uint16_t*>(p);
    std::fill(q, q + total / 2, static_cast<std::uint16_t>(0x7FFF));
  } else if (bits >= 16) {
    std::memset(p, 0xFF, total);
  } else {
    // The brightest entry of the table is the white of an indexed bitmap.
    int best = 0, best_sum = -1;
    std::vector<RGBQUAD> table = color_table_.empty() ? DefaultTable(bits) : color_table_;
    for (size_t i = 0; i < table.size() && i < (size_t{1} << bits); ++i) {
      int sum = table[i].rgbRed + table[i].rgbGreen + table[i].rgbBlue;
      if (sum > best_sum) best_sum = sum, best = static_cast<int>(i);
    }
    rtl::Byte pattern = bits == 8 ? static_cast<rtl::Byte>(best)
                        : bits == 4 ? static_cast<rtl::Byte>(best | (best << 4))
                                    : static_cast<rtl::Byte>(best ? 0xFF : 0x00);
    std::memset(p, pattern, total);
  }
}

void TBitmap::Recreate(int width, int height, TPixelFormat format, bool keep_pixels) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  int bits = PixelFormatBits(format);
  if (bits <= 8 && color_table_.size() > (size_t{1} << bits)) color_table_.clear();
  if (width == 0 || height == 0) {
    DropCanvasContext();
    FreeHandleAndPalette();
    width_ = width;
    height_ = height;
    format_ = format;
    return;
  }
  if (static_cast<long long>(StrideFor(width, bits)) * height > 0x40000000LL)
    throw rtl::EOutOfMemory(L"Out of system resources");
  std::vector<RGBQUAD> table = bits <= 8 ? (color_table_.empty() ? DefaultTable(bits) : color_table_) : std::vector<RGBQUAD>{};
  auto info = MakeInfo(width, height, format, table);
  void* new_bits = nullptr;
  HBITMAP new_handle =
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &new_bits, nullptr, 0);
  if (!new_handle || !new_bits) throw rtl::EOutOfMemory(L"Out of system resources");

  HBITMAP old_handle = handle_;
  void* old_bits = bits_;
  int old_width = width_, old_height = height_, old_bits_per_pixel = BitsPerPixel();
  TPixelFormat old_format = format_;
  DropCanvasContext();
  handle_ = new_handle;
  bits_ = new_bits;
  width_ = width;
  height_ = height;
  format_ = format;
  FillWhite();
  if (keep_pixels && old_handle) {
    GdiFlush();
    int w = std::min(width, old_width), h = std::min(height, old_height);
    if (old_format == format && bits >= 8) {
      // Same layout: copy the overlapping rows byte for byte (this keeps the alpha byte, which GDI may not).
      int old_stride = StrideFor(old_width, old_bits_per_pixel), stride = StrideFor(width, bits);
      for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<rtl::Byte*>(bits_) + static_cast<size_t>(height - 1 - y) * stride,
                    static_cast<rtl::Byte*>(old_bits) + static_cast<size_t>(old_height - 1 - y) * old_stride,
                    static_cast<size_t>(w) * bits / 8);
    } else {
      SelectedBitmap src(old_handle), dst(new_handle);
      BitBlt(dst.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCCOPY);
      GdiFlush();
    }
  }
  if (old_handle) DeleteObject(old_handle);
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  Recreate(width, height, format_, true);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  if (PixelFormatBits(format) != PixelFormatBits(format_) && PixelFormatBits(format) <= 8) color_table_.clear();
  if (format == pf32bit || format_ == pf32bit) alpha_format_ = afIgnored;
  Recreate(width_, height_, format, true);
  Changed();
}

bool TBitmap::Monochrome() const {
  if (format_ != pf1bit) return false;
  if (color_table_.size() < 2) return true;
  auto is = [](const RGBQUAD& q, int v) { return q.rgbRed == v && q.rgbGreen == v && q.rgbBlue == v; };
  return is(color_table_[0], 0) && is(color_table_[1], 255);
}

void TBitmap::SetMonochrome(bool value) {
  if (value == Monochrome()) return;
  if (value) {
    color_table_ = DefaultTable(1);
    Recreate(width_, height_, pf1bit, true);
  } else {
    Recreate(width_, height_, pfDevice, true);
  }
  Changed();
}

void TBitmap::SetAlphaFormat(TAlphaFormat format) {
  if (format == alpha_format_) return;
  if (format_ == pf32bit && bits_ && (format == afPremultiplied) != (alpha_format_ == afPremultiplied) &&
      alpha_format_ != afIgnored && format != afIgnored) {
    GdiFlush();
    auto* p = static_cast<rtl::Byte*>(bits_);
    size_t n = static_cast<size_t>(width_) * height_;
    for (size_t i = 0; i < n; ++i, p += 4) {
      int a = p[3];
      for (int c = 0; c < 3; ++c)
        p[c] = format == afPremultiplied ? static_cast<rtl::Byte>(p[c] * a / 255)
                                         : static_cast<rtl::Byte>(a ? std::min(255, p[c] * 255 / a) : 0);
    }
  }
  alpha_format_ = format;
  Changed();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_) return;
  if (!bitmap) {
    DropCanvasContext();
    FreeHandleAndPalette();
    width_ = height_ = 0;
    format_ = pfDevice;
    color_table_.clear();
    alpha_format_ = afIgnored;
    Changed();
    return;
  }
  DIBSECTION ds{};
  int got = GetObjectW(bitmap, sizeof(ds), &ds);
  if (got != sizeof(DIBSECTION)) {
    BITMAP bm{};
    if (GetObjectW(bitmap, sizeof(bm), &bm) != sizeof(bm)) throw rtl::EInvalidGraphic(kInvalidBitmap);
    ds.dsBm = bm;
    ds.dsBmih.biBitCount = static_cast<WORD>(bm.bmBitsPixel * bm.bmPlanes);
  }
  int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
  int bits = ds.dsBm.bmBitsPixel * ds.dsBm.bmPlanes;
  TPixelFormat format = bits <= 8 ? FormatForBits(bits) : bits == 24 ? pf24bit : pf32bit;
  // Bottom-up plain DIB sections are kept as they are; anything else is copied into a new section.
  bool adopt = got == sizeof(DIBSECTION) && ds.dsBm.bmBits && ds.dsBmih.biHeight > 0 &&
               ds.dsBmih.biCompression == BI_RGB && (bits == 1 || bits == 4 || bits == 8 || bits >= 24);
  std::vector<RGBQUAD> table;
  if (bits <= 8) {
    table.resize(size_t{1} << bits);
    if (got == sizeof(DIBSECTION) && ds.dsBm.bmBits) {
      SelectedBitmap sel(bitmap);
      table.resize(GetDIBColorTable(sel.dc(), 0, static_cast<UINT>(table.size()), table.data()));
    } else {
      auto info = MakeInfo(width, height, format, {});
      HDC screen = GetDC(nullptr);
      GetDIBits(screen, bitmap, 0, height, nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
      ReleaseDC(nullptr, screen);
      std::memcpy(table.data(), info.data() + sizeof(BITMAPINFOHEADER), table.size() * sizeof(RGBQUAD));
    }
    if (table.empty()) table = DefaultTable(bits);
  }
  DropCanvasContext();
  if (adopt) {
    FreeHandleAndPalette();
    handle_ = bitmap;
    bits_ = ds.dsBm.bmBits;
    width_ = width;
    height_ = height;
    format_ = format;
    color_table_ = table;
  } else {
    color_table_ = table;
    FreeHandleAndPalette();
    width_ = height_ = 0;
    Recreate(width, height, format, false);
    auto info = MakeInfo(width, height, format, table);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, bits_, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
  }
  alpha_format_ = afIgnored;
  Changed();
}

HBITMAP TBitmap::Handle() {
  if (canvas_ && canvas_->LockCount() == 0) canvas_->FreeContext();
  return handle_;
}

HBITMAP TBitmap::ReleaseHandle() {
  DropCanvasContext();
  HBITMAP h = handle_;
  handle_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
  return h;
}

HPALETTE TBitmap::Palette() const {
  if (BitsPerPixel() > 8) return nullptr;
  if (!palette_) {
    std::vector<RGBQUAD> table = color_table_.empty() ? DefaultTable(BitsPerPixel()) : color_table_;
    std::vector<rtl::Byte> buffer(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(table.size());
    for (size_t i = 0; i < table.size(); ++i)
      lp->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    palette_ = CreatePalette(lp);
  }
  return palette_;
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (!palette) return;
  PALETTEENTRY entries[256];
  UINT n = GetPaletteEntries(palette, 0, 256, entries);
  std::vector<RGBQUAD> table;
  for (UINT i = 0; i < n; ++i) table.push_back(Quad(entries[i].peRed, entries[i].peGreen, entries[i].peBlue));
  SetColorTable(table);
}

void TBitmap::SetColorTable(const std::vector<RGBQUAD>& table) {
  color_table_ = table;
  if (color_table_.size() > 256) color_table_.resize(256);
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
  if (handle_ && BitsPerPixel() <= 8) {
    DropCanvasContext();
    std::vector<RGBQUAD> full = color_table_;
    full.resize(size_t{1} << BitsPerPixel(), RGBQUAD{0, 0, 0, 0});
    SelectedBitmap sel(handle_);
    SetDIBColorTable(sel.dc(), 0, static_cast<UINT>(full.size()), full.data());
  }
  Changed();
}

void* TBitmap::ScanLine(int row) {
  if (!bits_ || row < 0 || row >= height_) throw rtl::EInvalidGraphicOperation(L"Scan line index out of range");
  GdiFlush();
  return static_cast<rtl::Byte*>(bits_) + static_cast<size_t>(height_ - 1 - row) * BytesPerScanLine();
}

TColor TBitmap::TransparentColor() const {
  if (transparent_mode_ == tmFixed && transparent_color_ != clDefault) return transparent_color_;
  if (!bits_) return clDefault;
  if (Monochrome()) return clWhite;
  auto* self = const_cast<TBitmap*>(this);
  return self->Canvas()->Pixels(0, height_ - 1) & 0xFFFFFF;
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparent_color_ && transparent_mode_ == (color == clDefault ? tmAuto : tmFixed)) return;
  transparent_mode_ = color == clDefault ? tmAuto : tmFixed;
  transparent_color_ = color;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparent_mode_) return;
  if (mode == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = new TBitmapCanvas(this);
  return canvas_;
}

void TBitmap::Dormant() { DropCanvasContext(); }

void TBitmap::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TBitmap*>(source);
  if (!src) {
    TGraphic::Assign(source);
    return;
  }
  if (src == this) return;
  color_table_ = src->color_table_;
  DropCanvasContext();
  FreeHandleAndPalette();
  width_ = height_ = 0;
  Recreate(src->width_, src->height_, src->format_, false);
  if (src->bits_ && bits_) {
    GdiFlush();
    std::memcpy(bits_, src->bits_, static_cast<size_t>(BytesPerScanLine()) * height_);
  }
  handle_type_ = src->handle_type_;
  alpha_format_ = src->alpha_format_;
  transparent_mode_ = src->transparent_mode_;
  transparent_color_ = src->transparent_color_;
  TGraphic::SetTransparent(src->Transparent());
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  HDC dst = canvas.Handle();
  HDC src = Canvas()->Handle();
  HPALETTE old_palette = nullptr;
  if (HPALETTE palette = Palette()) {
    old_palette = SelectPalette(dst, palette, TRUE);
    RealizePalette(dst);
  }
  int w = rect.Width(), h = rect.Height();
  if (format_ == pf32bit && alpha_format_ != afIgnored) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (alpha_format_ == afPremultiplied) {
      AlphaBlend(dst, rect.Left, rect.Top, w, h, src, 0, 0, width_, height_, blend);
    } else {
      // AlphaBlend wants premultiplied pixels: blend from a premultiplied copy.
      TBitmap copy;
      copy.Assign(this);
      copy.SetAlphaFormat(afPremultiplied);
      AlphaBlend(dst, rect.Left, rect.Top, w, h, copy.Canvas()->Handle(), 0, 0, width_, height_, blend);
    }
  } else if (Transparent()) {
    TransparentBlt(dst, rect.Left, rect.Top, w, h, src, 0, 0, width_, height_, ColorToGdi(TransparentColor()));
  } else {
    bool shrinking = w < width_ || h < height_;
    int old_mode = SetStretchBltMode(dst, shrinking && format_ != pf1bit ? HALFTONE : COLORONCOLOR);
    POINT old_origin{};
    SetBrushOrgEx(dst, 0, 0, &old_origin);
    StretchBlt(dst, rect.Left, rect.Top, w, h, src, 0, 0, width_, height_, canvas.CopyMode());
    SetBrushOrgEx(dst, old_origin.x, old_origin.y, nullptr);
    SetStretchBltMode(dst, old_mode);
  }
  if (old_palette) SelectPalette(dst, old_palette, TRUE);
}

size_t TBitmap::LoadFromMemory(const rtl::Byte* data, size_t size) {
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') throw rtl::EInvalidGraphic(kInvalidBitmap);
  std::uint32_t file_size = Get32(data + 2);
  std::uint32_t offset = Get32(data + 10);
  const rtl::Byte* hdr = data + 14;
  std::uint32_t header_size = Get32(hdr);
  int width, height, bits;
  std::uint32_t compression = BI_RGB, colors_used = 0, image_size = 0;
  size_t quad_size = 4;
  std::uint32_t masks[3] = {0, 0, 0};
  if (header_size == 12) {
    width = Get16(hdr + 4);
    height = static_cast<std::int16_t>(Get16(hdr + 6));
    bits = Get16(hdr + 10);
    quad_size = 3;
  } else if (header_size >= 40 && header_size <= 124 && 14 + header_size <= size) {
    width = static_cast<std::int32_t>(Get32(hdr + 4));
    height = static_cast<std::int32_t>(Get32(hdr + 8));
    bits = Get16(hdr + 14);
    compression = Get32(hdr + 16);
    image_size = Get32(hdr + 20);
    colors_used = Get32(hdr + 32);
  } else {
    throw rtl::EInvalidGraphic(kInvalidBitmap);
  }
  size_t table_start = 14 + header_size;
  if (compression == BI_BITFIELDS) {
    if (header_size >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = Get32(hdr + 40 + 4 * i);
    } else {
      if (table_start + 12 > size) throw rtl::EInvalidGraphic(kInvalidBitmap);
      for (int i = 0; i < 3; ++i) masks[i] = Get32(data + table_start + 4 * i);
      table_start += 12;
    }
  }
  bool top_down = height < 0;
  height = top_down ? -height : height;
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) throw rtl::EInvalidGraphic(kInvalidBitmap);
  bool supported = (compression == BI_RGB && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                   (compression == BI_RLE8 && bits == 8 && !top_down) ||
                   (compression == BI_RLE4 && bits == 4 && !top_down) ||
                   (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
  if (!supported) throw rtl::EInvalidGraphic(kInvalidBitmap);

  std::vector<RGBQUAD> table;
  if (bits <= 8) {
    size_t count = colors_used && colors_used <= (1u << bits) ? colors_used : (size_t{1} << bits);
    if (table_start + count * quad_size > size) throw rtl::EInvalidGraphic(kInvalidBitmap);
    for (size_t i = 0; i < count; ++i) {
      const rtl::Byte* q = data + table_start + i * quad_size;
      table.push_back(RGBQUAD{q[0], q[1], q[2], 0});
    }
    if (offset == 0) offset = static_cast<std::uint32_t>(table_start + count * quad_size);
  } else if (offset == 0) {
    offset = static_cast<std::uint32_t>(table_start);
  }
  if (offset >= size) throw rtl::EInvalidGraphic(kInvalidBitmap);
  size_t available = size - offset;
  const rtl::Byte* pixels = data + offset;

  TPixelFormat format = FormatForBits(bits);
  bool direct = compression == BI_RGB;
  if (compression == BI_RGB && bits == 16) format = pf15bit;
  if (compression == BI_BITFIELDS) {
    if (bits == 16 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
      format = pf16bit, direct = true;
    else if (bits == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F)
      format = pf15bit, direct = true;
    else if (bits == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)
      format = pf32bit, direct = true;
    else
      format = pf32bit;
  }
  size_t stride = StrideFor(width, bits);
  size_t consumed;
  if (direct || compression == BI_BITFIELDS) {
    if (stride * height > available) throw rtl::EInvalidGraphic(kInvalidBitmap);
    consumed = offset + stride * height;
  } else {
    size_t rle = image_size && image_size <= available ? image_size : available;
    consumed = offset + rle;
  }

  // Decode into a new image, so a failure leaves this bitmap as it was.
  TBitmap image;
  image.color_table_ = table;
  image.Recreate(width, height, format, false);
  GdiFlush();
  if (direct) {
    for (int y = 0; y < height; ++y) {
      const rtl::Byte* src = pixels + stride * (top_down ? height - 1 - y : y);
      std::memcpy(static_cast<rtl::Byte*>(image.bits_) + stride * y, src, stride);
    }
  } else {
    // Run-length and unusual bit-field images: GDI decodes them from a header of our own.
    std::vector<rtl::Byte> info(sizeof(BITMAPINFOHEADER) + 12 + table.size() * sizeof(RGBQUAD));
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = top_down ? -height : height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = compression;
    h->biSizeImage = static_cast<DWORD>(consumed - offset);
    h->biClrUsed = static_cast<DWORD>(table.size());
    if (compression == BI_BITFIELDS) {
      std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), masks, 12);
    } else {
      info.resize(sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD));
      std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table.data(), table.size() * sizeof(RGBQUAD));
    }
    HDC screen = GetDC(nullptr);
    int rows = SetDIBits(screen, image.handle_, 0, height, pixels, reinterpret_cast<BITMAPINFO*>(info.data()),
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows <= 0) throw rtl::EInvalidGraphic(kInvalidBitmap);
  }
  if (file_size >= consumed && file_size <= size) consumed = file_size;

  DropCanvasContext();
  FreeHandleAndPalette();
  handle_ = image.handle_;
  bits_ = image.bits_;
  width_ = width;
  height_ = height;
  format_ = format;
  color_table_ = image.color_table_;
  alpha_format_ = afIgnored;
  image.handle_ = nullptr;
  image.bits_ = nullptr;
  Changed();
  return consumed;
}

void TBitmap::SaveToMemory(std::vector<rtl::Byte>& out) const {
  if (Empty()) return;
  GdiFlush();
  int bits = BitsPerPixel();
  size_t colors = bits <= 8 ? (size_t{1} << bits) : 0;
  std::vector<RGBQUAD> table = color_table_.empty() ? DefaultTable(bits) : color_table_;
  table.resize(colors, RGBQUAD{0, 0, 0, 0});
  size_t masks = format_ == pf16bit ? 12 : 0;
  size_t offset = 14 + 40 + masks + colors * 4;
  size_t image = static_cast<size_t>(BytesPerScanLine()) * height_;
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(offset + image));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(offset));
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width_));
  Put32(out, static_cast<std::uint32_t>(height_));
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(bits));
  Put32(out, masks ? BI_BITFIELDS : BI_RGB);
  Put32(out, static_cast<std::uint32_t>(image));
  Put32(out, 3780);  // 96 dots per inch, in dots per metre
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  if (masks) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (const auto& q : table) {
    out.push_back(q.rgbBlue);
    out.push_back(q.rgbGreen);
    out.push_back(q.rgbRed);
    out.push_back(0);
  }
  auto* p = static_cast<const rtl::Byte*>(bits_);
  out.insert(out.end(), p, p + image);
}

void TBitmap::ReadData(const rtl::Byte* data, size_t size) {
  if (size < 4) throw rtl::EInvalidGraphic(kInvalidBitmap);
  std::uint32_t length = Get32(data);
  if (length > size - 4) throw rtl::EInvalidGraphic(kInvalidBitmap);
  if (length == 0) {
    SetHandle(nullptr);
    return;
  }
  LoadFromMemory(data + 4, length);
}

void TBitmap::WriteData(std::vector<rtl::Byte>& out) const {
  std::vector<rtl::Byte> file;
  SaveToMemory(file);
  Put32(out, static_cast<std::uint32_t>(file.size()));
  out.insert(out.end(), file.begin(), file.end());
}

namespace {

// A bitmap resource is a bitmap file without its 14-byte file header.
std::vector<rtl::Byte> BitmapResourceAsFile(HINSTANCE instance, const wchar_t* name) {
  HRSRC res = FindResourceW(instance, name, RT_BITMAP);
  HGLOBAL loaded = res ? LoadResource(instance, res) : nullptr;
  auto* p = loaded ? static_cast<const rtl::Byte*>(LockResource(loaded)) : nullptr;
  if (!p) return {};
  DWORD length = SizeofResource(instance, res);
  std::vector<rtl::Byte> file{'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(14 + length));
  Put32(file, 0);
  Put32(file, 0);
  file.insert(file.end(), p, p + length);
  return file;
}

}  // namespace

void TBitmap::LoadFromResourceName(HINSTANCE instance, const rtl::String& name) {
  auto file = BitmapResourceAsFile(instance, name.c_str());
  if (file.empty()) throw rtl::EInvalidGraphic(L"Resource " + name + L" not found");
  LoadFromMemory(file.data(), file.size());
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  auto file = BitmapResourceAsFile(instance, MAKEINTRESOURCEW(id));
  if (file.empty()) throw rtl::EInvalidGraphic(L"Resource " + std::to_wstring(id) + L" not found");
  LoadFromMemory(file.data(), file.size());
}

}  // namespace vcl
