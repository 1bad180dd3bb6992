#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/png.h"
#include "testdata.h"

using namespace vcl;
using gfxtest::DataBytes;

namespace {

std::uint32_t At(const TPngPixels& p, int x, int y) { return p.Pixels[static_cast<size_t>(y) * p.Width + x]; }

TPngPixels Decode(const std::wstring& file) {
  auto data = DataBytes(file);
  TPngPixels p;
  EXPECT_EQ(DecodePng(data.data(), data.size(), p), data.size()) << std::string(file.begin(), file.end());
  return p;
}

// Rewrites the CRC of the chunk that starts at offset (its length field).
void FixCrc(std::vector<rtl::Byte>& d, size_t offset) {
  std::uint32_t len = (d[offset] << 24) | (d[offset + 1] << 16) | (d[offset + 2] << 8) | d[offset + 3];
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, d.data() + offset + 4, len + 4));
  for (int i = 0; i < 4; ++i) d[offset + 8 + len + i] = static_cast<rtl::Byte>(crc >> (24 - 8 * i));
}

}  // namespace

TEST(Png, EveryColourTypeDecodesTheSameHalves) {
  // Red left half, blue right half, in truecolour, palette, 16-bit and interlaced encodings.
  for (const wchar_t* file : {L"halves_palette.png", L"halves_16bit.png", L"halves_interlaced.png"}) {
    TPngPixels p = Decode(file);
    ASSERT_EQ(p.Width, 40);
    ASSERT_EQ(p.Height, 10);
    EXPECT_FALSE(p.HasAlpha);
    for (int y : {0, 3, 9}) {
      EXPECT_EQ(At(p, 0, y), 0xFFFF0000u);
      EXPECT_EQ(At(p, 19, y), 0xFFFF0000u);
      EXPECT_EQ(At(p, 20, y), 0xFF0000FFu);
      EXPECT_EQ(At(p, 39, y), 0xFF0000FFu);
    }
  }
}

TEST(Png, AlphaChannelIsKeptStraight) {
  TPngPixels p = Decode(L"halves_rgba.png");
  EXPECT_TRUE(p.HasAlpha);
  EXPECT_EQ(At(p, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(At(p, 30, 5) & 0x00FFFFFF, 0x0000FFu);
  EXPECT_NEAR(static_cast<int>(At(p, 30, 5) >> 24), 128, 1);
}

TEST(Png, GreyDepthsScaleToEightBits) {
  TPngPixels two = Decode(L"gray2.png");
  ASSERT_EQ(two.Width, 16);
  EXPECT_EQ(At(two, 0, 0), 0xFF000000u);
  EXPECT_EQ(At(two, 4, 0), 0xFF555555u);
  EXPECT_EQ(At(two, 8, 0), 0xFFAAAAAAu);
  EXPECT_EQ(At(two, 15, 0), 0xFFFFFFFFu);
  TPngPixels one = Decode(L"gray1.png");
  EXPECT_EQ(At(one, 7, 7), 0xFF000000u);
  EXPECT_EQ(At(one, 8, 0), 0xFFFFFFFFu);
  TPngPixels ga = Decode(L"graya.png");
  EXPECT_TRUE(ga.HasAlpha);
  EXPECT_EQ(At(ga, 0, 0) >> 24, 0xFFu);
  EXPECT_NEAR(static_cast<int>(At(ga, 15, 5) >> 24), 64, 1);
}

TEST(Png, CorruptionIsReportedCleanly) {
  auto good = DataBytes(L"halves_rgba.png");
  std::vector<std::vector<rtl::Byte>> bad;
  bad.push_back({});
  bad.push_back(std::vector<rtl::Byte>(good.begin(), good.begin() + 8));     // signature only
  bad.push_back(std::vector<rtl::Byte>(good.begin(), good.begin() + 40));    // inside the first chunks
  bad.push_back(std::vector<rtl::Byte>(good.begin(), good.end() - 12));      // no IEND
  auto crc = good;
  crc[20] ^= 1;  // a width byte of IHDR: the CRC no longer matches
  bad.push_back(crc);
  auto depth = good;
  depth[24] = 3;  // bit depth 3 does not exist
  FixCrc(depth, 8);
  bad.push_back(depth);
  auto huge = good;
  huge[16] = 0x7F;  // width far beyond any real picture
  FixCrc(huge, 8);
  bad.push_back(huge);
  for (size_t i = 0; i < bad.size(); ++i) {
    TPngPixels p;
    EXPECT_THROW(DecodePng(bad[i].data(), bad[i].size(), p), rtl::EInvalidGraphic) << "case " << i;
  }
}

TEST(Png, DamagedAncillaryChunkIsSkipped) {
  auto data = DataBytes(L"halves_palette.png");
  // Insert a tEXt chunk with a wrong CRC after IHDR (8 + 25 bytes).
  std::vector<rtl::Byte> text = {0, 0, 0, 1, 't', 'E', 'X', 't', 'x', 1, 2, 3, 4};
  data.insert(data.begin() + 33, text.begin(), text.end());
  TPngPixels p;
  EXPECT_EQ(DecodePng(data.data(), data.size(), p), data.size());
  EXPECT_EQ(At(p, 0, 0), 0xFFFF0000u);
}

TEST(Png, TrailingBytesAreNotConsumed) {
  auto data = DataBytes(L"halves_palette.png");
  size_t size = data.size();
  data.insert(data.end(), {'t', 'a', 'i', 'l'});
  TPngPixels p;
  EXPECT_EQ(DecodePng(data.data(), data.size(), p), size);
}

TEST(Png, EncoderRoundTrips) {
  TPngPixels image;
  image.Width = 3;
  image.Height = 2;
  image.HasAlpha = true;
  image.Pixels = {0xFF102030, 0x00000000, 0x80FFFFFF, 0xFF000000, 0x7F123456, 0xFFABCDEF};
  auto encoded = EncodePng(image);
  TPngPixels back;
  EXPECT_EQ(DecodePng(encoded.data(), encoded.size(), back), encoded.size());
  EXPECT_EQ(back.Pixels, image.Pixels);
  image.HasAlpha = false;
  for (auto& px : image.Pixels) px |= 0xFF000000;
  encoded = EncodePng(image);
  DecodePng(encoded.data(), encoded.size(), back);
  EXPECT_FALSE(back.HasAlpha);
  EXPECT_EQ(back.Pixels, image.Pixels);
}

TEST(PngImage, DrawsWithAlphaOverTheCanvas) {
  TPngImage png;
  png.LoadFromFile(gfxtest::DataFile(L"halves_rgba.png"));
  EXPECT_TRUE(png.HasAlpha());
  EXPECT_TRUE(png.Transparent());
  EXPECT_EQ(png.Bitmap()->PixelFormat(), pf32bit);
  TBitmap target(40, 10, pf24bit);
  target.Canvas()->Draw(0, 0, &png);
  EXPECT_EQ(target.Canvas()->Pixels(5, 5), clRed);
  // Half-transparent blue over white.
  EXPECT_TRUE(gfxtest::Near(target.Canvas()->Pixels(30, 5), RGBToColor(127, 127, 255), 3));
}

TEST(PngImage, SavesItsOwnBytesOrANewEncoding) {
  auto original = DataBytes(L"halves_palette.png");
  TPngImage png;
  png.LoadFromMemory(original.data(), original.size());
  std::vector<rtl::Byte> saved;
  png.SaveToMemory(saved);
  EXPECT_EQ(saved, original);
  TBitmap bmp(4, 4, pf24bit);
  bmp.Canvas()->SetPixels(1, 2, clOlive);
  TPngImage made;
  made.Assign(&bmp);
  saved.clear();
  made.SaveToMemory(saved);
  TPngImage back;
  back.LoadFromMemory(saved.data(), saved.size());
  EXPECT_FALSE(back.HasAlpha());
  TBitmap check;
  check.Assign(&back);
  EXPECT_EQ(check.Canvas()->Pixels(1, 2), clOlive);
}

TEST(PngImage, ChangedPixelsAreDrawnAfterAnEarlierDraw) {
  TPngImage png;
  png.LoadFromFile(gfxtest::DataFile(L"halves_rgba.png"));
  TBitmap target(40, 10, pf24bit);
  target.Canvas()->Draw(0, 0, &png);
  EXPECT_EQ(target.Canvas()->Pixels(5, 5), clRed);
  static_cast<std::uint32_t*>(png.Bitmap()->ScanLine(5))[5] = 0xFF00FF00;  // opaque green
  target.Canvas()->Draw(0, 0, &png);
  EXPECT_EQ(target.Canvas()->Pixels(5, 5), clLime);
}
