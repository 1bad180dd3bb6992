// Damaged metafiles are refused before the system sees them: the system plays records as they stand, so a record
// of size 0 made drawing loop for ever, and a record reaching past its end (a size past the file, a cut font
// record, a count larger than its points) made drawing read outside the data.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/metafile.h"
#include "platform/vcl/metafilecheck.h"
#include "platform/vcl/picture.h"

using namespace vcl;

namespace {

using Bytes = std::vector<rtl::Byte>;

std::uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void Put32(Bytes& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<rtl::Byte>(v >> (8 * i));
}
void Put16(Bytes& b, size_t at, std::uint16_t v) {
  b[at] = static_cast<rtl::Byte>(v);
  b[at + 1] = static_cast<rtl::Byte>(v >> 8);
}

// Text in a font of its own, a polygon, a bitmap, a region and a pie: the records that carry structures, counts and
// figures.
void Draw(HDC dc) {
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  TextOutW(dc, 2, 2, L"Görüşme", 7);
  SelectObject(dc, old);
  DeleteObject(font);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  old = SelectObject(dc, red);
  POINT points[4] = {{0, 0}, {30, 0}, {30, 30}, {0, 30}};
  Polygon(dc, points, 4);
  SelectObject(dc, old);
  HRGN region = CreateRectRgn(40, 40, 50, 50);
  FillRgn(dc, region, red);
  DeleteObject(region);
  DeleteObject(red);
  // With the size of its bits given: the system's recorder writes as many bytes of bits as that says.
  struct {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 16, 0, 0, 0, 0};
  } info;
  const std::uint8_t bits[16] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0};
  StretchDIBits(dc, 60, 0, 4, 4, 0, 0, 2, 2, bits, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  Pie(dc, 70, 0, 90, 20, 70, 0, 90, 20);
}

Bytes Enhanced() {
  TMetafile mf;
  {
    TMetafileCanvas canvas(&mf, nullptr);
    Draw(canvas.Handle());
  }
  Bytes bytes;
  mf.SaveToMemory(bytes);
  return bytes;
}

// The standard metafile (no placeable header) of the same drawing.
Bytes Standard() {
  HDC dc = CreateMetaFileW(nullptr);
  Draw(dc);
  HMETAFILE wmf = CloseMetaFile(dc);
  const UINT size = GetMetaFileBitsEx(wmf, 0, nullptr);
  Bytes body(size);
  GetMetaFileBitsEx(wmf, size, body.data());
  DeleteMetaFile(wmf);
  return body;
}

Bytes Placeable(const Bytes& body) {
  Bytes file = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 96, 0, 0, 0, 0, 0, 0, 0};
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// Offsets of the records of a type (EMF: 32-bit type and size; WMF: 32-bit size in words, 16-bit function).
std::vector<size_t> EmfRecords(const Bytes& b, std::uint32_t type) {
  std::vector<size_t> found;
  for (size_t at = 0; at + 8 <= b.size() && Get32(b, at + 4) >= 8; at += Get32(b, at + 4))
    if (Get32(b, at) == type) found.push_back(at);
  return found;
}
std::vector<size_t> WmfRecords(const Bytes& b, std::uint16_t function) {
  std::vector<size_t> found;
  for (size_t at = 18; at + 6 <= b.size() && Get32(b, at) >= 3; at += Get32(b, at) * 2)
    if ((b[at + 4] | (b[at + 5] << 8)) == function) found.push_back(at);
  return found;
}

// Cuts a record to newSize bytes, keeping every size field that counts it right.
void CutEmfRecord(Bytes& b, size_t at, std::uint32_t newSize) {
  const std::uint32_t oldSize = Get32(b, at + 4);
  b.erase(b.begin() + at + newSize, b.begin() + at + oldSize);
  Put32(b, at + 4, newSize);
  Put32(b, 48, static_cast<std::uint32_t>(b.size()));
}
void CutWmfRecord(Bytes& b, size_t at, std::uint32_t newWords) {
  const std::uint32_t oldWords = Get32(b, at);
  b.erase(b.begin() + at + newWords * 2, b.begin() + at + oldWords * 2);
  Put32(b, at, newWords);
  Put32(b, 6, static_cast<std::uint32_t>(b.size() / 2));
}

void ExpectRefused(const Bytes& data) {
  TPicture p;
  EXPECT_THROW(p.LoadFromMemory(data.data(), data.size()), rtl::EInvalidGraphic);
}

TEST(MetafileRecords, SoundMetafilesPass) {
  const Bytes emf = Enhanced();
  EXPECT_EQ(EnhMetafileFault(emf.data(), emf.size()), nullptr) << EnhMetafileFault(emf.data(), emf.size());
  const Bytes wmf = Standard();
  EXPECT_EQ(WinMetafileFault(wmf.data(), wmf.size()), nullptr) << WinMetafileFault(wmf.data(), wmf.size());
  // And they load and draw.
  for (const Bytes& file : {emf, Placeable(wmf)}) {
    TPicture p;
    EXPECT_EQ(p.LoadFromMemory(file.data(), file.size()), file.size());
    TBitmap target(80, 80, pf24bit);
    target.Canvas()->StretchDraw(Rect(0, 0, 80, 80), p.Graphic());
  }
}

struct Damage {
  const char* what;
  std::function<void(Bytes&)> apply;
  const char* fault;  // what the walk says
};

TEST(MetafileRecords, DamagedEnhancedMetafilesAreRefused) {
  const Bytes sound = Enhanced();
  ASSERT_FALSE(EmfRecords(sound, EMR_EXTCREATEFONTINDIRECTW).empty());
  ASSERT_FALSE(EmfRecords(sound, EMR_EXTTEXTOUTW).empty());
  const size_t font = EmfRecords(sound, EMR_EXTCREATEFONTINDIRECTW)[0];
  const size_t text = EmfRecords(sound, EMR_EXTTEXTOUTW)[0];
  const size_t select = EmfRecords(sound, EMR_SELECTOBJECT)[0];
  ASSERT_FALSE(EmfRecords(sound, EMR_PIE).empty());
  const size_t pie = EmfRecords(sound, EMR_PIE)[0];
  const Damage cases[] = {
      // Drawing looped for ever on this one.
      {"a record of size 0", [&](Bytes& b) { Put32(b, font + 4, 0); }, "record size"},
      {"a size that is no multiple of 4", [&](Bytes& b) { Put32(b, font + 4, Get32(b, font + 4) + 2); }, "record size"},
      {"a size past the end", [&](Bytes& b) { Put32(b, font + 4, 0x7FFFFFF0); }, "record size"},
      // Drawing crashed on these.
      {"a font record cut short", [&](Bytes& b) { CutEmfRecord(b, font, 40); }, "record shorter than its structure"},
      {"text longer than its record", [&](Bytes& b) { Put32(b, text + 44, 100000); }, "text past the record"},
      {"an object outside the handle table", [&](Bytes& b) { Put32(b, font + 8, 5000); },
       "object index outside the handle table"},
      {"a selection outside the handle table", [&](Bytes& b) { Put32(b, select + 8, 70000); },
       "object index outside the handle table"},
      // Only selections may name stock objects; drawing crashed deleting one.
      {"a stock object deleted", [&](Bytes& b) { Put32(b, EmfRecords(b, EMR_DELETEOBJECT)[0] + 8, 0xFFFF0001u); },
       "object index outside the handle table"},
      {"no end-of-file record", [&](Bytes& b) { CutEmfRecord(b, b.size() - 20, 8), Put32(b, b.size() - 8, 0); },
       "no end-of-file record"},
      {"records after the end-of-file record",
       [&](Bytes& b) {
         const Bytes extra = {70, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0};
         b.insert(b.end(), extra.begin(), extra.end());
         Put32(b, 48, static_cast<std::uint32_t>(b.size()));
       },
       "records after the end-of-file record"},
      // Drawing took seconds on a figure 2^27 units wide, and hung or crashed on one at the edge of the range.
      {"a pie at the edge of the 32-bit range", [&](Bytes& b) { Put32(b, pie + 8, 0x80000000u); },
       "figure too large to draw"},
      {"a pen millions of units wide",
       [&](Bytes& b) {
         b.insert(b.begin() + static_cast<std::ptrdiff_t>(pie), {38, 0, 0, 0, 28, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                                                 2, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
         Put32(b, 48, static_cast<std::uint32_t>(b.size()));
       },
       "pen too wide to draw"},
      {"a region reaching millions of units out",
       [&](Bytes& b) { Put32(b, EmfRecords(b, EMR_FILLRGN)[0] + 64, 0xFF000000u); }, "region too large to draw"},
      {"a pie wider than any picture", [&](Bytes& b) { Put32(b, pie + 16, (1u << 20) + 100); },
       "figure too large to draw"},
      {"a header whose size is past the file", [&](Bytes& b) { Put32(b, 4, 0x10000); }, "header record size"},
      {"a description past the header", [&](Bytes& b) { Put32(b, 60, 5000); }, "description past the header"},
  };
  for (const Damage& d : cases) {
    SCOPED_TRACE(d.what);
    Bytes damaged = sound;
    d.apply(damaged);
    const size_t length = std::min<size_t>(Get32(damaged, 48), damaged.size());
    const char* fault = EnhMetafileFault(damaged.data(), length);
    ASSERT_NE(fault, nullptr);
    if (d.fault) {
      EXPECT_STREQ(fault, d.fault);
    }
    ExpectRefused(damaged);
  }
}

TEST(MetafileRecords, DamagedPlaceableMetafilesAreRefused) {
  const Bytes sound = Standard();
  ASSERT_FALSE(WmfRecords(sound, META_CREATEFONTINDIRECT).empty());
  ASSERT_FALSE(WmfRecords(sound, META_POLYGON).empty());
  const size_t font = WmfRecords(sound, META_CREATEFONTINDIRECT)[0];
  const size_t polygon = WmfRecords(sound, META_POLYGON)[0];
  const size_t select = WmfRecords(sound, META_SELECTOBJECT)[0];
  const Damage cases[] = {
      {"a record of size 0", [&](Bytes& b) { Put32(b, font, 0); }, "record size"},
      {"a size past the end", [&](Bytes& b) { Put32(b, font, 0x10000000); }, "record size"},
      {"a font record cut short", [&](Bytes& b) { CutWmfRecord(b, font, 3 + 4); },
       "record shorter than its parameters"},
      {"a font name without its end",
       [&](Bytes& b) { CutWmfRecord(b, font, 3 + 10), b[font + 6 + 18] = 'x', b[font + 6 + 19] = 'y'; },
       "font name not terminated"},
      {"a polygon with more points than its record", [&](Bytes& b) { Put16(b, polygon + 6, 5000); },
       "points past the record"},
      {"an object outside the table", [&](Bytes& b) { Put16(b, select + 6, 400); }, "object index outside the table"},
      {"no end-of-file record",
       [&](Bytes& b) {
         b.resize(b.size() - 6);
         Put32(b, 6, static_cast<std::uint32_t>(b.size() / 2));
       },
       "no end-of-file record"},
  };
  for (const Damage& d : cases) {
    SCOPED_TRACE(d.what);
    Bytes damaged = sound;
    d.apply(damaged);
    const size_t length = std::min<size_t>(static_cast<size_t>(Get32(damaged, 6)) * 2, damaged.size());
    const char* fault = WinMetafileFault(damaged.data(), length);
    ASSERT_NE(fault, nullptr);
    if (d.fault) {
      EXPECT_STREQ(fault, d.fault);
    }
    ExpectRefused(Placeable(damaged));
  }
}

}  // namespace
