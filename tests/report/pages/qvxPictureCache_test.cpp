// The picture cache (segments in memory or in temporary files, pictures by 1-based index, hexadecimal text in the
// file) and the unpacking of the report library's gzip-packed resources.
#include "report/pages/qvxPictureCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagesfixture.h"
#include "platform/rtl/checksum.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxXML.h"
#include "report/model/qvxDecompress.h"
#include "tests/common/tempdir.h"

using pagestest::SmallPicture;
using rtl::Byte;
using rtl::String;

namespace {

std::vector<Byte> GraphicBytes(vcl::TGraphic* graphic) {
  rtl::TMemoryStream s;
  graphic->SaveToStream(s);
  s.SetPosition(0);
  std::vector<Byte> bytes(static_cast<size_t>(s.Size()));
  s.ReadBuffer(bytes.data(), static_cast<rtl::Integer>(bytes.size()));
  return bytes;
}

vcl::TColor Pixel(TqvxPictureView& view, int x, int y) {
  auto* bmp = dynamic_cast<vcl::TBitmap*>(view.Picture()->Graphic());
  return bmp ? bmp->Canvas()->Pixels(x, y) & 0xFFFFFF : 0x1FFFFFFF;
}

TEST(PictureCache, PicturesShareASegmentAndComeBackByIndex) {
  TqvxPictureCache cache;
  TqvxPictureView none(nullptr), small(nullptr), wide(nullptr);
  cache.AddPicture(&none);
  EXPECT_EQ(none.ImageIndex(), 0);
  EXPECT_EQ(cache.Count(), 0);
  small.Picture()->SetGraphic(SmallPicture(4, 3).get());
  wide.Picture()->SetGraphic(SmallPicture(9, 2).get());
  cache.AddPicture(&small);
  cache.AddPicture(&wide);
  EXPECT_EQ(small.ImageIndex(), 1);
  EXPECT_EQ(wide.ImageIndex(), 2);
  EXPECT_EQ(cache.SegmentCount(), 1);
  // The first picture's bytes end where the second's begin; the last runs to the segment's end.
  EXPECT_EQ(cache.PictureBytes(1), GraphicBytes(small.Picture()->Graphic()));
  EXPECT_EQ(cache.PictureBytes(2), GraphicBytes(wide.Picture()->Graphic()));

  TqvxPictureView back(nullptr);
  back.SetImageIndex(2);
  cache.GetPicture(&back);
  ASSERT_NE(back.Picture()->Graphic(), nullptr);
  EXPECT_EQ(back.Picture()->Width(), 9);
  EXPECT_EQ(Pixel(back, 0, 0), 0xFF0000);
  EXPECT_EQ(Pixel(back, 5, 1), 0x0000FF);
  back.SetImageIndex(1);
  cache.GetPicture(&back);
  EXPECT_EQ(back.Picture()->Width(), 4);

  // Indexes outside the cache empty the picture.
  for (rtl::Integer index : {0, -1, 3, 1000000}) {
    back.SetImageIndex(index);
    cache.GetPicture(&back);
    EXPECT_EQ(back.Picture()->Graphic(), nullptr) << index;
  }
}

TEST(PictureCache, ASegmentEndsAtItsPictureForTheReader) {
  TqvxMemoryStream s;
  s.WriteBytes("abcdefghij");
  s.Sz = 6;
  s.SetPosition(2);
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Seek(0, rtl::soEnd), 6);
  EXPECT_EQ(s.Position(), 2);
  char buffer[10] = {};
  EXPECT_EQ(s.Read(buffer, 10), 4);
  EXPECT_EQ(std::string(buffer, 4), "cdef");
  s.Sz = 0;
  EXPECT_EQ(s.Size(), 10);
}

TEST(PictureCache, TheFileFormKeepsOrderAndDamagedTextStopsAtItsFirstBadPair) {
  TqvxPictureCache cache;
  TqvxPictureView a(nullptr), b(nullptr);
  a.Picture()->SetGraphic(SmallPicture(3, 3).get());
  b.Picture()->SetGraphic(SmallPicture(5, 1).get());
  cache.AddPicture(&a);
  cache.AddPicture(&b);
  TqvxXMLItem xml(L"picturecache");
  cache.SaveToXML(&xml);
  ASSERT_EQ(xml.Count(), 2);
  const String hex = xml.Items(0)->Prop(L"stream");
  EXPECT_EQ(hex.substr(0, 4), L"424D");  // "BM", upper-case digits
  EXPECT_EQ(hex.size(), 2 * cache.PictureBytes(1).size());

  TqvxPictureCache loaded;
  loaded.LoadFromXML(&xml);
  EXPECT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.PictureBytes(1), cache.PictureBytes(1));
  EXPECT_EQ(loaded.PictureBytes(2), cache.PictureBytes(2));

  EXPECT_EQ(qvxHexToBytes(L"00FFa0"), (std::vector<Byte>{0x00, 0xFF, 0xA0}));
  EXPECT_EQ(qvxHexToBytes(L"41G24344x"), (std::vector<Byte>{0x41, 0, 0, 0}));
  // A damaged picture is an empty picture, never a failure.
  TqvxXMLItem damaged(L"picturecache");
  damaged.Add(L"item")->SetProp(L"stream", L"424D00ZZ");
  damaged.Add(L"item");
  loaded.LoadFromXML(&damaged);
  EXPECT_EQ(loaded.Count(), 2);
  TqvxPictureView view(nullptr);
  for (rtl::Integer index : {1, 2}) {
    view.SetImageIndex(index);
    loaded.GetPicture(&view);
    EXPECT_EQ(view.Picture()->Graphic(), nullptr);
  }
}

TEST(PictureCache, SegmentFilesLiveInTheTemporaryFolderUntilCleared) {
  testutil::TempFolder folder(L"piccache");
  {
    TqvxPictureCache cache;
    cache.SetUseFileCache(true);
    cache.SetTempDir(folder.Path());
    TqvxPictureView a(nullptr);
    a.Picture()->SetGraphic(SmallPicture(4, 4).get());
    cache.AddPicture(&a);
    cache.AddPicture(&a);
    ASSERT_EQ(pagestest::FilesIn(folder.Path(), L"qvPic").size(), 1u);
    EXPECT_EQ(cache.TempFile()->Count(), 1);
    // Settings are fixed while a segment exists.
    cache.SetUseFileCache(false);
    EXPECT_TRUE(cache.UseFileCache());
    TqvxPictureView back(nullptr);
    back.SetImageIndex(2);
    cache.GetPicture(&back);
    EXPECT_EQ(back.Picture()->Width(), 4);
    cache.Clear();
    EXPECT_TRUE(pagestest::FilesIn(folder.Path(), L"qvPic").empty());
    cache.AddPicture(&a);
    EXPECT_EQ(pagestest::FilesIn(folder.Path(), L"qvPic").size(), 1u);
  }
  // Freed with its cache.
  EXPECT_TRUE(pagestest::FilesIn(folder.Path(), L"qvPic").empty());
}

// ---------------------------------------------------------------------------------------------------------------
// Packed resources

std::vector<Byte> Gzip(const std::string& data, bool adlerAsTime, bool withName) {
  const rtl::TBytes z = rtl::ZCompress(data.data(), data.size(), 9);
  std::vector<Byte> out = {0x1F, 0x8B, 0x08, static_cast<Byte>(withName ? 0x08 : 0)};
  // The modification time holds the zlib trailer (big-endian Adler-32) as the library's resources do.
  for (int k = 0; k < 4; ++k) out.push_back(adlerAsTime ? z[z.size() - 4 + k] : static_cast<Byte>(0x5A + k));
  out.push_back(2);
  out.push_back(0x0B);
  if (withName) {
    for (char c : std::string("PreviewButtons.bmp")) out.push_back(static_cast<Byte>(c));
    out.push_back(0);
  }
  out.insert(out.end(), z.begin() + 2, z.end() - 4);  // the raw deflate data
  const rtl::Cardinal crc = rtl::CRC32(data.data(), data.size());
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<Byte>(crc >> (8 * k)));
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<Byte>(data.size() >> (8 * k)));
  return out;
}

std::string Unpack(const std::vector<Byte>& member) {
  rtl::TMemoryStream in, out;
  in.WriteBuffer(member.data(), static_cast<rtl::Integer>(member.size()));
  in.SetPosition(0);
  qvxDecompressStream(in, out);
  return pagestest::Bytes(out);
}

TEST(Decompress, ResourcesWhoseTimeIsTheirChecksumUnpack) {
  std::string strip;
  for (int i = 0; i < 19254; ++i) strip += static_cast<char>((i * 7) % 251);
  EXPECT_EQ(Unpack(Gzip(strip, true, true)), strip);
  EXPECT_EQ(Unpack(Gzip("kısa", true, false)), "kısa");
  // An ordinary modification time fails zlib's check; what is no gzip member at all is refused.
  EXPECT_THROW(Unpack(Gzip(strip, false, true)), rtl::EZDecompressionError);
  EXPECT_THROW(Unpack({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), rtl::EZDecompressionError);
  std::vector<Byte> cut = Gzip(strip, true, true);
  cut.resize(20);
  EXPECT_THROW(Unpack(cut), rtl::EZDecompressionError);
  EXPECT_THROW(Unpack({0x1F, 0x8B, 0x08, 0x08, 1, 2, 3, 4, 0, 0, 'a', 'b'}), rtl::EZDecompressionError);
}

}  // namespace
