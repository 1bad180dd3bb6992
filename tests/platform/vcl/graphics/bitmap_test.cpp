#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "testdata.h"

using namespace vcl;
using gfxtest::DataBytes;

TEST(Bitmap, EmptyUntilSized) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.PixelFormat(), pfDevice);
  b.SetWidth(5);
  EXPECT_TRUE(b.Empty());
  b.SetHeight(3);
  EXPECT_FALSE(b.Empty());
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_NE(b.Handle(), nullptr);
}

TEST(Bitmap, ScanLinesAreBottomUpBgra) {
  TBitmap b(4, 3, pf32bit);
  EXPECT_EQ(b.HandleType(), bmDIB);
  auto* row0 = static_cast<std::uint8_t*>(b.ScanLine(0));
  auto* row1 = static_cast<std::uint8_t*>(b.ScanLine(1));
  EXPECT_EQ(row1 - row0, -16);  // rows step down in memory
  // Pixel (2, 0) = blue 0x10, green 0x20, red 0x30 in memory order B, G, R, A.
  row0[8] = 0x10;
  row0[9] = 0x20;
  row0[10] = 0x30;
  EXPECT_EQ(b.Canvas()->Pixels(2, 0), RGBToColor(0x30, 0x20, 0x10));
  b.Canvas()->SetPixels(1, 2, clRed);
  auto* row2 = static_cast<std::uint8_t*>(b.ScanLine(2));
  EXPECT_EQ(row2[4 + 2], 0xFF);
  EXPECT_EQ(row2[4 + 0], 0x00);
  EXPECT_THROW(b.ScanLine(3), rtl::EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), rtl::EInvalidGraphicOperation);
}

TEST(Bitmap, RowSizesPerFormat) {
  struct Case {
    TPixelFormat format;
    int bits;
    int stride;  // for width 5
  } cases[] = {{pf1bit, 1, 4}, {pf4bit, 4, 4}, {pf8bit, 8, 8}, {pf15bit, 16, 12}, {pf16bit, 16, 12},
               {pf24bit, 24, 16}, {pf32bit, 32, 20}, {pfDevice, 32, 20}};
  for (const auto& c : cases) {
    TBitmap b(5, 2, c.format);
    EXPECT_EQ(b.PixelFormat(), c.format);
    EXPECT_EQ(b.BitsPerPixel(), c.bits);
    EXPECT_EQ(b.BytesPerScanLine(), c.stride);
    EXPECT_EQ(b.Canvas()->Pixels(4, 1), clWhite) << c.format;  // new pixels are white in every format
  }
}

TEST(Bitmap, ResizeAndConversionKeepPixels) {
  TBitmap b(4, 4, pf24bit);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 2, 2));
  b.SetSize(8, 8);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(6, 6), clWhite);
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
  b.SetPixelFormat(pf8bit);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);  // pure red is in the default table
  b.SetMonochrome(true);
  EXPECT_TRUE(b.Monochrome());
  EXPECT_EQ(b.PixelFormat(), pf1bit);
}

TEST(Bitmap, AlphaSurvivesResizeOfSameFormat) {
  TBitmap b(2, 2, pf32bit);
  auto* p = static_cast<std::uint32_t*>(b.ScanLine(0));
  p[0] = 0x80112233;
  b.SetSize(3, 3);
  EXPECT_EQ(static_cast<std::uint32_t*>(b.ScanLine(0))[0], 0x80112233u);
}

TEST(Bitmap, SetHandleZeroEmptiesAndReturnsToDeviceFormat) {
  TBitmap b(3, 3, pf8bit);
  b.SetHandle(nullptr);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.PixelFormat(), pfDevice);
}

TEST(Bitmap, PaletteSetBeforeSizeIsUsed) {
  // The order a PNG reader uses: format, palette, then the size.
  TBitmap b;
  b.SetPixelFormat(pf8bit);
  std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 2;
  lp->palPalEntry[0] = {0, 0, 0, 0};
  lp->palPalEntry[1] = {0x12, 0x34, 0x56, 0};
  HPALETTE pal = CreatePalette(lp);
  b.SetPalette(pal);
  DeleteObject(pal);
  b.SetSize(2, 2);
  static_cast<std::uint8_t*>(b.ScanLine(0))[0] = 1;
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), RGBToColor(0x12, 0x34, 0x56));
  PALETTEENTRY e{};
  ASSERT_NE(b.Palette(), nullptr);
  GetPaletteEntries(b.Palette(), 1, 1, &e);
  EXPECT_EQ(e.peGreen, 0x34);
}

TEST(Bitmap, SetHandleTakesOverDeviceBitmaps) {
  HDC screen = GetDC(nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 6, 4);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, ddb);
  RECT r{0, 0, 6, 4};
  HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
  FillRect(dc, &r, green);
  DeleteObject(green);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  TBitmap b;
  b.SetHandle(ddb);
  EXPECT_EQ(b.Width(), 6);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_EQ(b.Canvas()->Pixels(5, 3), clGreen);
  EXPECT_NO_THROW(b.ScanLine(3));
}

TEST(Bitmap, SaveAndLoadRoundTripEveryFormat) {
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap b(7, 5, f);
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->FillRect(Rect(0, 0, 3, 2));
    std::vector<rtl::Byte> file;
    b.SaveToMemory(file);
    TBitmap c;
    EXPECT_EQ(c.LoadFromMemory(file.data(), file.size()), file.size());
    EXPECT_EQ(c.PixelFormat(), f);
    EXPECT_EQ(c.Width(), 7);
    EXPECT_EQ(c.Height(), 5);
    EXPECT_EQ(c.Canvas()->Pixels(1, 1), clBlack) << f;
    EXPECT_EQ(c.Canvas()->Pixels(5, 4), clWhite) << f;
  }
}

TEST(Bitmap, LoadsFilesOfOtherWriters) {
  struct Case {
    const wchar_t* file;
    TPixelFormat format;
  } cases[] = {{L"halves24.bmp", pf24bit}, {L"halves_rle8.bmp", pf8bit}};
  for (const auto& c : cases) {
    auto data = DataBytes(c.file);
    TBitmap b;
    b.LoadFromMemory(data.data(), data.size());
    EXPECT_EQ(b.PixelFormat(), c.format) << c.file;
    EXPECT_EQ(b.Width(), 40);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clRed) << c.file;
    EXPECT_EQ(b.Canvas()->Pixels(30, 8), clBlue) << c.file;
  }
}

TEST(Bitmap, TopDownFileIsTurnedBottomUp) {
  TBitmap b(2, 2, pf24bit);
  b.Canvas()->SetPixels(0, 0, clRed);
  std::vector<rtl::Byte> file;
  b.SaveToMemory(file);
  // Make it top-down: negative height and the two rows swapped.
  std::int32_t h = -2;
  std::memcpy(file.data() + 22, &h, 4);
  std::vector<rtl::Byte> row0(file.begin() + 54, file.begin() + 62);
  std::copy(file.begin() + 62, file.begin() + 70, file.begin() + 54);
  std::copy(row0.begin(), row0.end(), file.begin() + 62);
  TBitmap c;
  c.LoadFromMemory(file.data(), file.size());
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(c.Canvas()->Pixels(0, 1), clWhite);
}

TEST(Bitmap, DamagedFilesRaiseAndKeepTheOldImage) {
  TBitmap b(3, 3, pf24bit);
  std::vector<rtl::Byte> good;
  b.SaveToMemory(good);
  std::vector<std::vector<rtl::Byte>> bad = {
      {},
      {'B', 'M', 0, 0},
      std::vector<rtl::Byte>(good.begin(), good.begin() + 13),  // too short for a file header
      std::vector<rtl::Byte>(good.begin(), good.end() - 5),      // pixels cut off
  };
  auto zero_width = good;
  std::memset(zero_width.data() + 18, 0, 4);
  bad.push_back(zero_width);
  auto odd_bits = good;
  odd_bits[28] = 7;
  bad.push_back(odd_bits);
  TBitmap target(2, 2, pf32bit);
  for (const auto& data : bad) {
    EXPECT_THROW(target.LoadFromMemory(data.data(), data.size()), rtl::EInvalidGraphic);
    EXPECT_EQ(target.Width(), 2);
  }
}

TEST(Bitmap, FormResourceDataCarriesItsLength) {
  TBitmap b(3, 2, pf24bit);
  b.Canvas()->SetPixels(2, 1, clTeal);
  std::vector<rtl::Byte> data;
  b.WriteData(data);
  std::uint32_t length = data[0] | (data[1] << 8) | (data[2] << 16) | (data[3] << 24);
  EXPECT_EQ(length + 4, data.size());
  TBitmap c;
  c.ReadData(data.data(), data.size());
  EXPECT_EQ(c.Canvas()->Pixels(2, 1), clTeal);
  data.resize(data.size() - 1);
  EXPECT_THROW(c.ReadData(data.data(), data.size()), rtl::EInvalidGraphic);
}

TEST(Bitmap, AssignCopiesPixelsAndSettings) {
  TBitmap a(3, 3, pf32bit);
  a.Canvas()->SetPixels(1, 1, clPurple);
  a.SetTransparentColor(clFuchsia);
  a.SetTransparent(true);
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clPurple);
  EXPECT_EQ(b.TransparentColor(), clFuchsia);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_TRUE(b.Transparent());
  a.Canvas()->SetPixels(1, 1, clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clPurple);  // a copy, not shared
}

TEST(Bitmap, TransparentColorDrawsNothing) {
  TBitmap sprite(4, 4, pf24bit);
  sprite.Canvas()->Brush()->SetColor(clFuchsia);
  sprite.Canvas()->FillRect(Rect(0, 0, 4, 4));
  sprite.Canvas()->SetPixels(1, 1, clRed);
  EXPECT_EQ(sprite.TransparentMode(), tmAuto);
  EXPECT_EQ(sprite.TransparentColor(), clFuchsia);  // the bottom-left pixel
  sprite.SetTransparent(true);
  TBitmap target(8, 8, pf24bit);
  target.Canvas()->Draw(2, 2, &sprite);
  EXPECT_EQ(target.Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(target.Canvas()->Pixels(2, 2), clWhite);
}

TEST(Bitmap, AlphaFormatBlends) {
  TBitmap overlay(2, 1, pf32bit);
  auto* p = static_cast<std::uint32_t*>(overlay.ScanLine(0));
  p[0] = 0xFF0000FF;  // opaque blue
  p[1] = 0x800000FF;  // half blue, straight alpha
  overlay.SetAlphaFormat(afDefined);
  TBitmap target(2, 1, pf24bit);
  target.Canvas()->Draw(0, 0, &overlay);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_TRUE(gfxtest::Near(target.Canvas()->Pixels(1, 0), RGBToColor(127, 127, 255), 3));
  EXPECT_EQ(p[1], 0x800000FFu);  // drawing does not premultiply the bitmap itself
}

TEST(Bitmap, StretchDrawScales) {
  TBitmap src(2, 2, pf24bit);
  src.Canvas()->SetPixels(0, 0, clRed);
  src.Canvas()->SetPixels(1, 1, clBlue);
  TBitmap dst(20, 20, pf24bit);
  dst.Canvas()->StretchDraw(Rect(0, 0, 20, 20), &src);
  EXPECT_EQ(dst.Canvas()->Pixels(4, 4), clRed);
  EXPECT_EQ(dst.Canvas()->Pixels(15, 15), clBlue);
  EXPECT_EQ(dst.Canvas()->Pixels(15, 4), clWhite);
}

TEST(Bitmap, HandleCanBeSelectedElsewhereAfterCanvasUse) {
  TBitmap b(4, 4, pf24bit);
  b.Canvas()->SetPixels(0, 0, clRed);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b.Handle());
  EXPECT_NE(old, nullptr);
  EXPECT_EQ(GetPixel(dc, 0, 0), static_cast<COLORREF>(clRed));
  SelectObject(dc, old);
  DeleteDC(dc);
  // The canvas makes its context again when it is used next.
  b.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
}

TEST(Bitmap, LoadsBitmapResourcesByNameAndNumber) {
  HINSTANCE self = GetModuleHandleW(nullptr);
  TBitmap b;
  b.LoadFromResourceName(self, L"TESTBMP");
  EXPECT_EQ(b.Width(), 40);
  EXPECT_EQ(b.Canvas()->Pixels(30, 5), clBlue);
  TBitmap c;
  c.LoadFromResourceID(self, 101);
  EXPECT_EQ(c.PixelFormat(), pf8bit);
  EXPECT_EQ(c.Canvas()->Pixels(2, 2), clRed);
  EXPECT_THROW(c.LoadFromResourceName(self, L"NO_SUCH_BITMAP"), rtl::EInvalidGraphic);
  EXPECT_EQ(c.Width(), 40);
}

TEST(Bitmap, DibCopiesForPrinting) {
  for (TPixelFormat f : {pf8bit, pf24bit, pf32bit}) {
    TBitmap b(5, 3, f);
    b.Canvas()->SetPixels(0, 0, clRed);
    DWORD info_size = 0, image_size = 0;
    GetDIBSizes(b.Handle(), info_size, image_size);
    int bits = b.BitsPerPixel();
    EXPECT_EQ(info_size, sizeof(BITMAPINFOHEADER) + (bits <= 8 ? 256 * sizeof(RGBQUAD) : 0));
    EXPECT_EQ(image_size, static_cast<DWORD>(b.BytesPerScanLine() * 3));
    std::vector<std::uint8_t> info(info_size), pixels(image_size);
    ASSERT_TRUE(GetDIB(b.Handle(), b.Palette(), info.data(), pixels.data()));
    // Drawn back with StretchDIBits the copy shows the same pixels.
    TBitmap target(5, 3, pf24bit);
    StretchDIBits(target.Canvas()->Handle(), 0, 0, 5, 3, 0, 0, 5, 3, pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clRed) << f;
    EXPECT_EQ(target.Canvas()->Pixels(4, 2), clWhite) << f;
  }
  DWORD a = 1, b = 1;
  GetDIBSizes(nullptr, a, b);
  EXPECT_EQ(a + b, 0u);
}
