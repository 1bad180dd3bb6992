// Picture loaders: PNG, JPEG, BMP, ICO and metafiles, each read as the program reads a picture (by content) and
// drawn, so that what the system does with an accepted picture is exercised too.
#include <cstring>

#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/metafile.h"
#include "platform/vcl/picture.h"

using namespace vcl;

namespace {

void LoadAndDraw(const fuzz::Bytes& input) {
  TPicture picture;
  picture.LoadFromMemory(input.data(), input.size());
  TBitmap target(24, 24, pf24bit);
  target.Canvas()->StretchDraw(Rect(0, 0, 24, 24), picture.Graphic());
  target.Canvas()->Draw(0, 0, picture.Graphic());
}

fuzz::Reader Picture(std::string name, std::vector<std::string> files, int rounds,
                     std::function<bool(const std::exception&)> refuses = fuzz::ErrorOf<rtl::EInvalidGraphic>) {
  return {
      .name = std::move(name),
      .fixtures = [files] { return fuzz::DataFiles(files); },
      .read = LoadAndDraw,
      .refuses = std::move(refuses),
      .rounds = rounds,
  };
}

const std::string kData = "platform/vcl/graphics/data/";

// ".png" pictures are read by the skinning library's reader wherever that library is linked (as here); a file cut
// short before its end chunk answers the stream's read error there.
const bool png = fuzz::Join(Picture(
    "PNG", {kData + "halves_palette.png", kData + "halves_interlaced.png", kData + "gray2.png", kData + "graya.png"},
    300, fuzz::ErrorOf<rtl::EInvalidGraphic, rtl::EReadError>));
const bool jpeg = fuzz::Join(Picture("JPEG", {kData + "gray.jpg", kData + "halves_progressive.jpg"}, 300));
const bool bmp = fuzz::Join(Picture("BMP", {kData + "halves24.bmp", kData + "halves_rle8.bmp"}, 300));
const bool ico = fuzz::Join(Picture("ICO", {kData + "halves_icon.ico"}, 300));

// A small 8-bit bitmap for the bitmap records. The size of its bits is given: the system's recorder of old-style
// metafiles writes as many bytes of bits as that says.
struct SmallDib {
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 5, 3, 1, 8, BI_RGB, 24, 0, 0, 2, 2};
  RGBQUAD colours[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}};
  std::uint8_t bits[3][8] = {{0, 1, 0, 1, 0}, {1, 0, 1, 0, 1}, {0, 1, 0, 1, 0}};
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&header); }
};

// Draws one of everything the metafile records carry: fonts and text, lines, polygons, a bitmap, a pattern brush,
// a pen with a style, regions.
void DrawSampler(HDC dc) {
  SmallDib dib;
  HFONT font = CreateFontW(-14, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(0, 0, 128));
  TextOutW(dc, 2, 2, L"Öğrenci", 7);
  INT dx[3] = {6, 7, 8};
  RECT clip{0, 0, 60, 20};
  ExtTextOutW(dc, 4, 30, ETO_CLIPPED, &clip, L"abc", 3, dx);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  LOGBRUSH lb{BS_SOLID, RGB(0, 128, 0), 0};
  DWORD style[2] = {3, 2};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 2, &lb, 2, style);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  POINT line[3] = {{0, 0}, {40, 10}, {20, 40}};
  Polyline(dc, line, 3);
  POINT shapes[7] = {{0, 0}, {10, 0}, {5, 8}, {20, 20}, {30, 20}, {30, 30}, {20, 30}};
  INT counts[2] = {3, 4};
  PolyPolygon(dc, shapes, counts, 2);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  StretchDIBits(dc, 40, 40, 10, 6, 0, 0, 5, 3, dib.bits, dib.Info(), DIB_RGB_COLORS, SRCCOPY);
  std::vector<std::uint8_t> packed(sizeof(BITMAPINFOHEADER) + sizeof dib.colours + sizeof dib.bits);
  std::memcpy(packed.data(), &dib.header, sizeof dib.header);
  std::memcpy(packed.data() + sizeof dib.header, dib.colours, sizeof dib.colours);
  std::memcpy(packed.data() + sizeof dib.header + sizeof dib.colours, dib.bits, sizeof dib.bits);
  HBRUSH pattern = CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
  HGDIOBJ oldBrush = SelectObject(dc, pattern);
  Ellipse(dc, 50, 0, 70, 20);
  SelectObject(dc, oldBrush);
  HRGN region = CreateRectRgn(0, 50, 20, 70);
  HRGN other = CreateEllipticRgn(10, 55, 40, 75);
  CombineRgn(region, region, other, RGN_OR);
  FillRgn(dc, region, pattern);
  DeleteObject(pattern);
  DeleteObject(other);
  DeleteObject(region);
  RoundRect(dc, 60, 60, 80, 80, 5, 5);
  Pie(dc, 0, 80, 20, 100, 0, 80, 20, 100);
  LineTo(dc, 90, 90);
}

fuzz::Input EnhancedMetafile() {
  TMetafile mf;
  {
    TMetafileCanvas canvas(&mf, nullptr);
    DrawSampler(canvas.Handle());
  }
  std::vector<rtl::Byte> bytes;
  mf.SaveToMemory(bytes);
  return {"sampler.emf", bytes};
}

// The same drawing as an old-style metafile behind a placeable header.
fuzz::Input PlaceableMetafile() {
  HDC dc = CreateMetaFileW(nullptr);
  DrawSampler(dc);
  HMETAFILE wmf = CloseMetaFile(dc);
  const UINT size = GetMetaFileBitsEx(wmf, 0, nullptr);
  std::vector<rtl::Byte> body(size);
  GetMetaFileBitsEx(wmf, size, body.data());
  DeleteMetaFile(wmf);
  std::vector<rtl::Byte> file = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 96, 0, 0, 0, 0, 0};
  std::uint16_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) sum ^= static_cast<std::uint16_t>(file[i] | (file[i + 1] << 8));
  file.push_back(static_cast<rtl::Byte>(sum));
  file.push_back(static_cast<rtl::Byte>(sum >> 8));
  file.insert(file.end(), body.begin(), body.end());
  return {"sampler.wmf", file};
}

const bool emf = fuzz::Join({
    .name = "EMF",
    .fixtures = [] { return std::vector<fuzz::Input>{EnhancedMetafile()}; },
    .read = LoadAndDraw,
    .refuses = fuzz::ErrorOf<rtl::EInvalidGraphic>,
    .rounds = 1200,
});

const bool wmf = fuzz::Join({
    .name = "WMF",
    .fixtures = [] { return std::vector<fuzz::Input>{PlaceableMetafile()}; },
    .read = LoadAndDraw,
    .refuses = fuzz::ErrorOf<rtl::EInvalidGraphic>,
    .rounds = 1200,
});

}  // namespace
