// The skinning library's PNG reader against the suite other encoders wrote, its refusals of damaged files, and
// its colour conversion.
#include "platform/vcl/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/rtl/streams.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/picture.h"
#include "skin/render/lvPNG.h"
#include "tests/common/paths.h"

namespace {

using Bytes = std::vector<rtl::Byte>;

std::string SuiteDir() {
  const char* dir = std::getenv("TAVREL_FIXTURES");
  return dir ? dir : "pngsuite";
}

struct SuiteEntry {
  std::string file;
  int bits, width, height;
};

std::vector<SuiteEntry> Suite() {
  std::ifstream in(SuiteDir() + "/suite.txt");
  std::vector<SuiteEntry> entries;
  SuiteEntry e;
  while (in >> e.file >> e.bits >> e.width >> e.height) entries.push_back(e);
  return entries;
}

std::wstring SuiteFile(const std::string& name) { return testutil::WindowsPath(SuiteDir() + "/" + name); }

// Pixel (x, y) of a bitmap as R, G, B, A (palette formats through their colour table, opaque).
std::uint32_t RGBAAt(vcl::TBitmap& bmp, int x, int y) {
  auto* row = static_cast<const rtl::Byte*>(bmp.ScanLine(y));
  auto pack = [](int r, int g, int b, int a) {
    return static_cast<std::uint32_t>(r | (g << 8) | (b << 16) | (a << 24));
  };
  switch (bmp.PixelFormat()) {
    case vcl::pf32bit:
      return pack(row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]);
    case vcl::pf24bit:
      return pack(row[3 * x + 2], row[3 * x + 1], row[3 * x], 255);
    default: {
      int bits = vcl::PixelFormatBits(bmp.PixelFormat());
      int bit = x * bits;
      int index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
      const auto& table = bmp.ColorTable();
      if (static_cast<size_t>(index) >= table.size()) return 0xDEADBEEF;
      const RGBQUAD& q = table[static_cast<size_t>(index)];
      return pack(q.rgbRed, q.rgbGreen, q.rgbBlue, 255);
    }
  }
}

std::uint32_t Be32(const rtl::Byte* p) { return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

void Put32(Bytes& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<rtl::Byte>(v >> s));
}

Bytes Chunk(const char* type, const Bytes& body, bool goodCrc = true) {
  Bytes out;
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  auto crc = static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(body.size() + 4)));
  Put32(out, goodCrc ? crc : crc ^ 1);
  return out;
}

// Offsets of the chunks of a PNG (at their length field).
std::vector<size_t> Chunks(const Bytes& png) {
  std::vector<size_t> at;
  for (size_t p = 8; p + 12 <= png.size(); p += 12 + Be32(png.data() + p)) at.push_back(p);
  return at;
}

// A small RGB picture of our own as the base of the damage tests.
Bytes BasePng() {
  vcl::TPngPixels image;
  image.Width = 6;
  image.Height = 4;
  for (int i = 0; i < 24; ++i) image.Pixels.push_back(0xFF000000u | (i * 0x0A0B0C));
  return vcl::EncodePng(image);
}

Bytes InsertAfterIHDR(Bytes png, const Bytes& chunk) {
  png.insert(png.begin() + 33, chunk.begin(), chunk.end());
  return png;
}

void Load(const Bytes& data) {
  TPNGGraphic g;
  g.LoadFromMemory(data.data(), data.size());
}

std::string MessageOf(const Bytes& data) {
  try {
    Load(data);
  } catch (const rtl::Exception& e) {
    return testutil::Utf8(e.Message());
  }
  return "";
}

}  // namespace

TEST(PngReader, DecodesTheWholeSuiteAsTheEncodersWroteIt) {
  auto suite = Suite();
  ASSERT_GE(suite.size(), 80u) << "the suite was not written to " << SuiteDir();
  for (const SuiteEntry& e : suite) {
    SCOPED_TRACE(e.file);
    TPNGGraphic g;
    ASSERT_NO_THROW(g.LoadFromFile(SuiteFile(e.file)));
    ASSERT_EQ(g.Width(), e.width);
    ASSERT_EQ(g.Height(), e.height);
    EXPECT_EQ(vcl::PixelFormatBits(g.PixelFormat()), e.bits);
    std::string rgbaName = e.file.substr(0, e.file.size() - 4) + ".rgba";
    Bytes expected = vcl::ReadWholeFile(SuiteFile(rgbaName));
    ASSERT_EQ(expected.size(), static_cast<size_t>(e.width) * e.height * 4);
    int wrong = 0;
    for (int y = 0; y < e.height; ++y)
      for (int x = 0; x < e.width; ++x) {
        const rtl::Byte* p = expected.data() + (static_cast<size_t>(y) * e.width + x) * 4;
        std::uint32_t want = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        std::uint32_t got = RGBAAt(g, x, y);
        if (got != want && ++wrong <= 3)
          ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << std::hex << got << ", want " << want;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(PngReader, TakesPngFilesForPictures) {
  vcl::TPicture picture;
  picture.LoadFromFile(SuiteFile("rgba8_n_9x7.png"));
  ASSERT_TRUE(picture.Graphic());
  EXPECT_EQ(picture.Graphic()->ClassName(), L"TPNGGraphic");
  EXPECT_EQ(vcl::TPicture::FileFormatClass(L"PNG"), &vcl::NewGraphic<TPNGGraphic>);
  // The stream is left right after IEND.
  Bytes png = vcl::ReadWholeFile(SuiteFile("p4_n_9x7.png"));
  Bytes withTail = png;
  withTail.insert(withTail.end(), {'t', 'a', 'i', 'l'});
  rtl::TMemoryStream stream;
  stream.WriteBuffer(withTail.data(), static_cast<rtl::Integer>(withTail.size()));
  stream.SetPosition(0);
  TPNGGraphic g;
  g.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), static_cast<rtl::Int64>(png.size()));
}

TEST(PngReader, CanLoadWantsMoreThanTheSignature) {
  Bytes png = BasePng();
  rtl::TMemoryStream eight, nine;
  eight.WriteBuffer(png.data(), 8);
  nine.WriteBuffer(png.data(), 9);
  eight.SetPosition(0);
  nine.SetPosition(0);
  EXPECT_FALSE(TPNGGraphic::CanLoad(eight));
  EXPECT_TRUE(TPNGGraphic::CanLoad(nine));
  EXPECT_EQ(nine.Position(), 0);
  UseLVPng = false;
  EXPECT_FALSE(TPNGGraphic::CanLoad(nine));
  UseLVPng = true;
}

TEST(PngReader, DamagedFilesAnswerTheReadersMessages) {
  const Bytes base = BasePng();
  auto chunks = Chunks(base);  // IHDR, IDAT, IEND
  ASSERT_EQ(chunks.size(), 3u);
  Bytes badIdatCrc = base;
  badIdatCrc[chunks[2] - 1] ^= 1;
  Bytes compression = base;
  compression[26] = 1;
  Bytes fixedIhdr = compression;
  auto crc = static_cast<std::uint32_t>(crc32(0, fixedIhdr.data() + 12, 17));
  for (int i = 0; i < 4; ++i) fixedIhdr[29 + i] = static_cast<rtl::Byte>(crc >> (24 - 8 * i));
  struct Case {
    const char* what;
    Bytes data;
    const char* message;
  } cases[] = {
      {"bad IDAT CRC", badIdatCrc, "Cannot load image. CRC error found in PNG file."},
      {"compression 1", fixedIhdr, "Cannot load image. The compression scheme is not supported for PNG files."},
      {"unknown critical chunk", InsertAfterIHDR(base, Chunk("ABCD", {1, 2})),
       "Cannot load PNG image. Unexpected but critical chunk detected."},
      {"palette not of triples", InsertAfterIHDR(base, Chunk("PLTE", {1, 2, 3, 4})),
       "Cannot load image. Palette in PNG file is invalid."},
      {"bad gAMA CRC", InsertAfterIHDR(base, Chunk("gAMA", {0, 0, 0xB1, 0x8F}, false)),
       "Cannot load image. CRC error found in PNG file."},
      {"short tRNS of an RGB image", InsertAfterIHDR(base, Chunk("tRNS", {0, 1})),
       "Cannot load image. Invalid or unexpected PNG image format."},
      {"not a PNG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0},
       "Cannot load image. Invalid or unexpected PNG image format."},
      {"no IEND", Bytes(base.begin(), base.end() - 12), "Stream read error"},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageOf(c.data), c.message) << c.what;
  // Width and height that no memory holds are refused before anything is allocated.
  Bytes huge = base;
  huge[16] = 0x00;
  huge[17] = 0x10;  // width 1 048 582
  huge[20] = 0x00;
  huge[21] = 0x10;  // height the same
  crc = static_cast<std::uint32_t>(crc32(0, huge.data() + 12, 17));
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<rtl::Byte>(crc >> (24 - 8 * i));
  EXPECT_EQ(MessageOf(huge), "Cannot load image. Invalid or unexpected PNG image format.");
}

TEST(PngReader, AncillaryChunksAndEmptyImageDataAreTolerated) {
  const Bytes base = BasePng();
  TPNGGraphic plain;
  plain.LoadFromMemory(base.data(), base.size());
  auto same = [&](const Bytes& data) {
    TPNGGraphic g;
    EXPECT_NO_THROW(g.LoadFromMemory(data.data(), data.size()));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(RGBAAt(g, x, y), RGBAAt(plain, x, y));
  };
  // An unknown ancillary chunk with a bad CRC is skipped unread; so is cHRM.
  same(InsertAfterIHDR(base, Chunk("teXt", {1, 2, 3}, false)));
  same(InsertAfterIHDR(base, Chunk("cHRM", Bytes(32, 7))));
  // Empty IDAT chunks between the others.
  auto at = Chunks(base);
  Bytes split = base;
  Bytes empty = Chunk("IDAT", {});
  split.insert(split.begin() + static_cast<std::ptrdiff_t>(at[2]), empty.begin(), empty.end());
  split.insert(split.begin() + static_cast<std::ptrdiff_t>(at[1]), empty.begin(), empty.end());
  same(split);
  // IEND ends the reading; what follows is left alone.
  Bytes tail = base;
  Bytes junk = Chunk("ZZZZ", {1});
  tail.insert(tail.end(), junk.begin(), junk.end());
  TPNGGraphic g;
  EXPECT_EQ(g.LoadFromMemory(tail.data(), tail.size()), base.size());
}

// Every truncation of two small suite files, and random damage to several, each either loads or is refused with
// the reader's own errors, within a bound. A crash ends the test executable.
TEST(PngReader, DamagedInputIsRefusedOrLoadedNeverAnythingElse) {
  std::vector<Bytes> fixtures;
  for (const char* f :
       {"p2t_n_9x7.png", "g16_i_9x7.png", "rgba16_i_9x7.png", "ga8_n_9x7.png", "gamma045_n_16x4.png", "p8_i_37x29.png"})
    fixtures.push_back(vcl::ReadWholeFile(SuiteFile(f)));
  std::mt19937 rnd(2024);
  int loaded = 0, refused = 0;
  auto run = [&](const Bytes& input) {
    auto start = std::chrono::steady_clock::now();
    try {
      Load(input);
      ++loaded;
    } catch (const rtl::EInvalidGraphic&) {
      ++refused;
    } catch (const rtl::EReadError&) {
      ++refused;
    } catch (const EColorConversionError&) {
      ++refused;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "unexpected error: " << e.what();
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  };
  for (size_t f = 0; f < 2; ++f)
    for (size_t n = 0; n < fixtures[f].size(); ++n) run(Bytes(fixtures[f].begin(), fixtures[f].begin() + n));
  for (int round = 0; round < 3000; ++round) {
    Bytes input = fixtures[static_cast<size_t>(round) % fixtures.size()];
    int edits = 1 + static_cast<int>(rnd() % 4);
    for (int e = 0; e < edits; ++e) {
      size_t at = rnd() % input.size();
      switch (rnd() % 4) {
        case 0:
          input[at] ^= static_cast<rtl::Byte>(1 << (rnd() % 8));
          break;
        case 1:
          input[at] = static_cast<rtl::Byte>(rnd() % 2 ? 0xFF : 0x00);
          break;
        case 2:
          input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), static_cast<rtl::Byte>(rnd()));
          break;
        default:
          // A length or size field made huge.
          for (size_t k = at; k < at + 4 && k < input.size(); ++k) input[k] = 0x7F;
          break;
      }
    }
    run(input);
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 1000);
  std::printf("damaged PNG inputs: %d loaded, %d refused\n", loaded, refused);
}

TEST(ColorManager, ConversionRules) {
  TColorManager cm;
  cm.SetSourceColorScheme(csG);
  cm.SetTargetColorScheme(csRGB);
  rtl::Byte in[4] = {1, 2, 3, 4}, out[16] = {};
  try {
    cm.ConvertRow(in, out, 1, 0xFF);
    ADD_FAILURE() << "grey into RGB must be refused";
  } catch (const EColorConversionError& e) {
    EXPECT_EQ(e.Message(), L"Conversion between indexed and non-indexed pixel formats is not supported.");
  }
  TColorManager gray16;
  gray16.SetSourceColorScheme(csG);
  gray16.SetTargetColorScheme(csG);
  gray16.SetSourceSamplesPerPixel(1);
  gray16.SetTargetSamplesPerPixel(1);
  gray16.SetSourceBitsPerSample(16);
  gray16.SetTargetBitsPerSample(4);
  try {
    gray16.ConvertRow(in, out, 1, 0xFF);
    ADD_FAILURE() << "16-bit grey into 4 bits has no converter";
  } catch (const EColorConversionError& e) {
    EXPECT_EQ(e.Message(), L"Color conversion failed. Could not find a proper method.");
  }
  TColorManager ga;
  ga.SetSourceColorScheme(csGA);
  ga.SetTargetColorScheme(csIndexed);
  ga.SetSourceSamplesPerPixel(2);
  ga.SetTargetSamplesPerPixel(1);
  EXPECT_NO_THROW(ga.ConvertRow(in, out, 2, 0xFF));
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 3);
  EXPECT_THROW(ga.SetSourceBitsPerSample(0), EColorConversionError);
  EXPECT_THROW(ga.SetTargetSamplesPerPixel(5), EColorConversionError);
}

TEST(ColorManager, MaskSelectsColumnsAndTheSourceSuppliesOnlyThem) {
  TColorManager cm;
  cm.SetSourceColorScheme(csIndexed);
  cm.SetTargetColorScheme(csIndexed);
  cm.SetSourceSamplesPerPixel(1);
  cm.SetTargetSamplesPerPixel(1);
  rtl::Byte source[4] = {10, 20, 30, 40}, target[8];
  std::memset(target, 0xEE, sizeof target);
  cm.ConvertRow(source, target, 8, 0xAA);
  const rtl::Byte want[8] = {10, 0xEE, 20, 0xEE, 30, 0xEE, 40, 0xEE};
  EXPECT_EQ(std::memcmp(target, want, 8), 0);
}

TEST(ColorManager, TwoBitPaletteSpreadsOverSixteenEntries) {
  TColorManager cm;
  cm.SetSourceColorScheme(csIndexed);
  cm.SetTargetColorScheme(csIndexed);
  cm.SetSourceBitsPerSample(2);
  cm.SetTargetBitsPerSample(4);
  const rtl::Byte rgb[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
  const void* data = rgb;
  HPALETTE palette = cm.CreateColorPalette(&data, 1, pfInterlaced8Triple, 4, false);
  PALETTEENTRY entries[16] = {};
  ASSERT_EQ(GetPaletteEntries(palette, 0, 16, entries), 16u);
  DeleteObject(palette);
  EXPECT_EQ(entries[0].peRed, 255);
  EXPECT_EQ(entries[5].peGreen, 255);
  EXPECT_EQ(entries[10].peBlue, 255);
  EXPECT_EQ(entries[15].peRed, 9);
  // Two-bit values 0..3 widen to 0, 5, 10, 15.
  rtl::Byte packed = 0x1B, wide[2] = {};
  cm.ConvertRow(&packed, wide, 4, 0xFF);
  EXPECT_EQ(wide[0], 0x05);
  EXPECT_EQ(wide[1], 0xAF);
}

TEST(ColorManager, GammaZeroMeansOneOverTwoPointTwo) {
  TColorManager a, b;
  a.SetGamma(0, 0);
  b.SetGamma(1.0f, 2.2f);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(a.ComponentGammaConvert(static_cast<std::uint8_t>(i)),
              b.ComponentGammaConvert(static_cast<std::uint8_t>(i)));
  EXPECT_GT(a.ComponentGammaConvert(64), 64);
  EXPECT_EQ(TColorManager::ComponentScaleConvert(65535), 255);
  EXPECT_EQ(TColorManager::ComponentScaleConvert(65534), 254);
}
