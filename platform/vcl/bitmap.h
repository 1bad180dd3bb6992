#pragma once
// Bitmaps. Whatever format is asked for, the image lives in a DIB section kept bottom-up (the usual Windows
// layout), so ScanLine(0) is the top row at the highest address and rows step down by BytesPerScanLine.
// pfDevice bitmaps are 32-bit sections that report pfDevice. A bitmap grown or converted keeps its old pixels in
// the top-left corner; new pixels are white.
#include <vector>

#include "platform/vcl/canvas.h"
#include "platform/vcl/graphic.h"

namespace vcl {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };
// How Draw treats the fourth byte of pf32bit pixels: ignored, straight alpha, or alpha already multiplied in.
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

class TBitmap;

// The canvas of a bitmap: a memory device context with the bitmap selected, made on first use.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override;
  rtl::String ClassName() const override { return L"TBitmapCanvas"; }
  // Gives the context back (the bitmap is about to change its handle).
  void FreeContext();

protected:
  void CreateHandle() override;
  void Changed() override;

private:
  TBitmap* bitmap_;
  HDC own_dc_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  HPALETTE old_palette_ = nullptr;
};

class TBitmap : public TGraphic {
  VCL_CLASS(TBitmap, TGraphic)
  TBitmap();
  TBitmap(int width, int height, TPixelFormat format = pfDevice);
  ~TBitmap() override;
  TGraphic* NewInstance() const override { return new TBitmap; }
  // Copies another bitmap's pixels and settings; any other graphic is drawn onto a white bitmap of its size.
  void Assign(const rtl::TPersistent* source) override;

  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetHeight(int height) override { SetSize(width_, height); }
  void SetSize(int width, int height) override;

  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat format);
  TBitmapHandleType HandleType() const { return handle_type_; }
  // The image always stays a DIB section; the value is only remembered.
  void SetHandleType(TBitmapHandleType type) { handle_type_ = type; }
  bool Monochrome() const;
  void SetMonochrome(bool value);
  TAlphaFormat AlphaFormat() const { return alpha_format_; }
  void SetAlphaFormat(TAlphaFormat format);

  // The DIB section (0 while the bitmap is empty). Asking for it releases the canvas's device context (unless the
  // canvas is locked), so the caller can select the bitmap into a context of its own.
  HBITMAP Handle();
  // Takes over bitmap (any kind: it is turned into a DIB section and the original deleted); 0 empties the bitmap
  // and returns it to pfDevice.
  void SetHandle(HBITMAP bitmap);
  // Gives the DIB section to the caller; the bitmap is empty afterwards.
  HBITMAP ReleaseHandle();
  // A palette made from the colour table of 1-, 4- and 8-bit bitmaps; the bitmap keeps it.
  HPALETTE Palette() const override;
  // Sets the colour table of 1-, 4- and 8-bit bitmaps from the palette's entries (also before any pixels exist).
  void SetPalette(HPALETTE palette) override;
  const std::vector<RGBQUAD>& ColorTable() const { return color_table_; }
  void SetColorTable(const std::vector<RGBQUAD>& table);

  // Address of row (0 = top). Raises EInvalidGraphicOperation for a row outside the bitmap.
  void* ScanLine(int row);
  int BytesPerScanLine() const;
  int BitsPerPixel() const;

  // Transparency: tmAuto takes the colour of the bottom-left pixel, tmFixed the colour set here.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparent_mode_; }
  void SetTransparentMode(TTransparentMode mode);

  TCanvas* Canvas();
  // Releases the canvas's device context; the pixels stay.
  void Dormant();
  void FreeImage() {}

  void Draw(TCanvas& canvas, const TRect& rect) override;
  size_t LoadFromMemory(const rtl::Byte* data, size_t size) override;
  void SaveToMemory(std::vector<rtl::Byte>& out) const override;
  void ReadData(const rtl::Byte* data, size_t size) override;
  void WriteData(std::vector<rtl::Byte>& out) const override;
  // A bitmap resource (RT_BITMAP) of the module; raises EResNotFound-like EInvalidGraphic when missing.
  void LoadFromResourceName(HINSTANCE instance, const rtl::String& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

protected:
  void Changed() override;

private:
  friend class TBitmapCanvas;
  void Recreate(int width, int height, TPixelFormat format, bool keep_pixels);
  void FreeHandleAndPalette();
  void DropCanvasContext();
  void FillWhite();

  HBITMAP handle_ = nullptr;
  void* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pfDevice;
  TBitmapHandleType handle_type_ = bmDIB;
  TAlphaFormat alpha_format_ = afIgnored;
  std::vector<RGBQUAD> color_table_;
  mutable HPALETTE palette_ = nullptr;
  TTransparentMode transparent_mode_ = tmAuto;
  TColor transparent_color_ = 0x20000000;
  TBitmapCanvas* canvas_ = nullptr;
};

// Bits per pixel of a format (pfDevice and pfCustom are kept as 32).
int PixelFormatBits(TPixelFormat format);

// The sizes a copy of bitmap as a device-independent bitmap needs: its BITMAPINFO (header and colour table) and
// its pixels, at the bitmap's own depth. For printing with StretchDIBits.
void GetDIBSizes(HBITMAP bitmap, DWORD& info_header_size, DWORD& image_size);
// Fills bitmap_info (info_header_size bytes) and bits (image_size bytes) as GetDIBSizes measured them, bottom-up;
// false when the bitmap cannot be read.
bool GetDIB(HBITMAP bitmap, HPALETTE palette, void* bitmap_info, void* bits);

}  // namespace vcl
