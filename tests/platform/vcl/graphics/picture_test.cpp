#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/jpeg.h"
#include "platform/vcl/metafile.h"
#include "platform/vcl/picture.h"
#include "platform/vcl/png.h"
#include "testdata.h"

using namespace vcl;
using gfxtest::DataBytes;
using gfxtest::DataFile;
using gfxtest::Near;
using gfxtest::TempFile;

namespace {

// How an image control shows a picture centred and in proportion inside its bounds.
TRect ProportionalRect(const TRect& box, int w, int h) {
  double kx = static_cast<double>(box.Width()) / w, ky = static_cast<double>(box.Height()) / h;
  double k = kx < ky ? kx : ky;
  int rw = static_cast<int>(w * k + 0.5), rh = static_cast<int>(h * k + 0.5);
  int left = box.Left + (box.Width() - rw) / 2, top = box.Top + (box.Height() - rh) / 2;
  return Rect(left, top, left + rw, top + rh);
}

void WriteBytes(const std::wstring& file, const std::vector<rtl::Byte>& data) { WriteWholeFile(file, data); }

}  // namespace

TEST(Picture, EmptyPictureHasNoSize) {
  TPicture p;
  EXPECT_EQ(p.Graphic(), nullptr);
  EXPECT_EQ(p.Width(), 0);
  EXPECT_EQ(p.Height(), 0);
  EXPECT_THROW(p.SaveToFile(TempFile(L"empty.bmp")), rtl::EInvalidGraphic);
}

TEST(Picture, ChoosesTheClassByExtensionAndContent) {
  struct Case {
    const wchar_t* file;
    const wchar_t* class_name;
    int width, height;
  } cases[] = {
      {L"halves24.bmp", L"TBitmap", 40, 10},        {L"halves.jpg", L"TJPEGImage", 40, 10},
      {L"halves_rgba.png", L"TPngImage", 40, 10},   {L"halves_icon.ico", L"TIcon", 32, 32},
      {L"photo.jpg", L"TJPEGImage", 120, 60},
  };
  for (const auto& c : cases) {
    TPicture p;
    p.LoadFromFile(DataFile(c.file));
    ASSERT_NE(p.Graphic(), nullptr);
    EXPECT_EQ(p.Graphic()->ClassName(), c.class_name);
    EXPECT_EQ(p.Width(), c.width);
    EXPECT_EQ(p.Height(), c.height);
  }
}

TEST(Picture, ContentWinsOverAWrongExtension) {
  std::wstring file = TempFile(L"really_png.jpg");
  WriteBytes(file, DataBytes(L"halves_palette.png"));
  TPicture p;
  p.LoadFromFile(file);
  EXPECT_EQ(p.Graphic()->ClassName(), L"TPngImage");
  // ".JPEG" in capitals names the JPEG class too.
  file = TempFile(L"PHOTO.JPEG");
  WriteBytes(file, DataBytes(L"halves.jpg"));
  p.LoadFromFile(file);
  EXPECT_EQ(p.Graphic()->ClassName(), L"TJPEGImage");
}

TEST(Picture, NotAPictureRaisesAndKeepsTheOldOne) {
  TPicture p;
  p.LoadFromFile(DataFile(L"halves24.bmp"));
  std::wstring text_as_jpg = TempFile(L"notes.jpg");
  WriteBytes(text_as_jpg, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  EXPECT_THROW(p.LoadFromFile(text_as_jpg), rtl::EInvalidGraphic);
  std::wstring text = TempFile(L"notes.txt");
  WriteBytes(text, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  try {
    p.LoadFromFile(text);
    FAIL() << "no error";
  } catch (const rtl::EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), L"Unknown picture file extension (.txt)");
  }
  auto cut = DataBytes(L"halves_rgba.png");
  cut.resize(cut.size() / 2);
  std::wstring truncated = TempFile(L"cut.png");
  WriteBytes(truncated, cut);
  EXPECT_THROW(p.LoadFromFile(truncated), rtl::EInvalidGraphic);
  EXPECT_EQ(p.Graphic()->ClassName(), L"TBitmap");
  EXPECT_EQ(p.Width(), 40);
  EXPECT_THROW(p.LoadFromFile(TempFile(L"missing_file.png")), rtl::EFOpenError);
}

TEST(Picture, LaterRegistrationTakesTheExtension) {
  struct TMyPng : public TPngImage {
    rtl::String ClassName() const override { return L"TMyPng"; }
    TGraphic* NewInstance() const override { return new TMyPng; }
  };
  EXPECT_EQ(TPicture::FileFormatClass(L"PNG"), &NewGraphic<TPngImage>);
  TPicture::RegisterFileFormat(L"png", L"Portable network graphics (own reader)", &NewGraphic<TMyPng>);
  TPicture::RegisterFileFormat(L"PNG_OLD", L"Portable Network Graphics", &NewGraphic<TPngImage>);
  TPicture p;
  p.LoadFromFile(DataFile(L"halves_rgba.png"));
  EXPECT_EQ(p.Graphic()->ClassName(), L"TMyPng");
  TPicture::UnregisterGraphicClass(&NewGraphic<TMyPng>);
  p.LoadFromFile(DataFile(L"halves_rgba.png"));
  EXPECT_EQ(p.Graphic()->ClassName(), L"TPngImage");
  EXPECT_EQ(TPicture::FileFormatClass(L"png_old"), &NewGraphic<TPngImage>);
  TPicture::UnregisterGraphicClass(&NewGraphic<TPngImage>);
  EXPECT_EQ(TPicture::FileFormatClass(L"png"), nullptr);
  EXPECT_EQ(TPicture::FileFormatClass(L"png_old"), nullptr);
  TPicture::RegisterFileFormat(L"png", L"Portable Network Graphics", &NewGraphic<TPngImage>);
}

TEST(Picture, DetectsKindsByLeadingBytes) {
  auto bmp = DataBytes(L"halves24.bmp");
  EXPECT_EQ(TPicture::DetectGraphicClass(bmp.data(), bmp.size()), &NewGraphic<TBitmap>);
  EXPECT_EQ(TPicture::DetectGraphicClass(bmp.data(), 13), nullptr);  // "BM" needs 14 bytes
  auto jpg = DataBytes(L"halves.jpg");
  EXPECT_EQ(TPicture::DetectGraphicClass(jpg.data(), jpg.size()), &NewGraphic<TJPEGImage>);
  auto png = DataBytes(L"halves_rgba.png");
  EXPECT_EQ(TPicture::DetectGraphicClass(png.data(), png.size()), &NewGraphic<TPngImage>);
  auto ico = DataBytes(L"halves_icon.ico");
  EXPECT_EQ(TPicture::DetectGraphicClass(ico.data(), ico.size()), &NewGraphic<TIcon>);
  const rtl::Byte text[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};
  EXPECT_EQ(TPicture::DetectGraphicClass(text, sizeof(text)), nullptr);
}

TEST(Picture, FormResourceDataRoundTripsEveryClass) {
  for (const wchar_t* file : {L"halves24.bmp", L"halves.jpg", L"halves_rgba.png", L"halves_icon.ico"}) {
    TPicture p;
    p.LoadFromFile(DataFile(file));
    std::vector<rtl::Byte> data;
    p.WriteData(data);
    ASSERT_GT(data.size(), 1u);
    TPicture q;
    q.ReadData(data.data(), data.size());
    ASSERT_NE(q.Graphic(), nullptr);
    EXPECT_EQ(q.Graphic()->ClassName(), p.Graphic()->ClassName());
    EXPECT_EQ(q.Width(), p.Width());
    EXPECT_EQ(q.Height(), p.Height());
  }
  TPicture empty;
  std::vector<rtl::Byte> none;
  empty.WriteData(none);
  EXPECT_TRUE(none.empty());
  const rtl::Byte unknown[] = {4, 'T', 'F', 'o', 'o', 1, 2};
  EXPECT_THROW(empty.ReadData(unknown, sizeof(unknown)), rtl::EInvalidGraphic);
}

TEST(Picture, AssignCopiesAndNotifies) {
  TPicture a;
  a.LoadFromFile(DataFile(L"halves24.bmp"));
  TPicture b;
  int changes = 0;
  b.OnChange = [&](rtl::TObject*) { ++changes; };
  b.Assign(&a);
  EXPECT_EQ(changes, 1);
  EXPECT_NE(b.Graphic(), a.Graphic());
  EXPECT_EQ(b.Width(), 40);
  // Drawing on the picture's bitmap reaches the picture's listeners (an image control repaints).
  b.Bitmap()->Canvas()->SetPixels(0, 0, clBlack);
  EXPECT_GE(changes, 2);
  b.Assign(nullptr);
  EXPECT_EQ(b.Graphic(), nullptr);
  // Asking for the bitmap of a picture that holds something else gives an empty bitmap.
  TPicture c;
  c.LoadFromFile(DataFile(L"halves.jpg"));
  EXPECT_TRUE(c.Bitmap()->Empty());
}

TEST(Picture, SaveToFileWritesTheGraphicsOwnFormat) {
  TPicture p;
  p.LoadFromFile(DataFile(L"halves.jpg"));
  std::wstring out = TempFile(L"saved.jpg");
  p.SaveToFile(out);
  EXPECT_EQ(ReadWholeFile(out), DataBytes(L"halves.jpg"));
}

// The three kinds an image control shows: each drawn centred and in proportion into a square box.
TEST(Picture, JpegPngAndBitmapStretchDrawCentredInProportion) {
  for (const wchar_t* file : {L"halves.jpg", L"halves_palette.png", L"halves24.bmp"}) {
    TPicture p;
    p.LoadFromFile(DataFile(file));
    TBitmap box(80, 80, pf24bit);
    box.Canvas()->Brush()->SetColor(clBtnFace);
    box.Canvas()->FillRect(Rect(0, 0, 80, 80));
    TRect r = ProportionalRect(Rect(0, 0, 80, 80), p.Width(), p.Height());
    EXPECT_EQ(r, Rect(0, 30, 80, 50));
    box.Canvas()->StretchDraw(r, p.Graphic());
    TCanvas* c = box.Canvas();
    TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(c->Pixels(40, 10), face) << "above the picture";
    EXPECT_EQ(c->Pixels(40, 70), face) << "below the picture";
    EXPECT_TRUE(Near(c->Pixels(10, 40), clRed, 40)) << "left half";
    EXPECT_TRUE(Near(c->Pixels(70, 40), clBlue, 40)) << "right half";
  }
}

TEST(Jpeg, DecodesAndReencodes) {
  TJPEGImage jpg;
  jpg.LoadFromFile(DataFile(L"photo.jpg"));
  EXPECT_EQ(jpg.Width(), 120);
  EXPECT_EQ(jpg.Height(), 60);
  EXPECT_TRUE(Near(jpg.Bitmap()->Canvas()->Pixels(60, 1), clRed, 40));
  EXPECT_TRUE(Near(jpg.Bitmap()->Canvas()->Pixels(60, 58), clBlue, 40));
  TBitmap bmp(16, 16, pf24bit);
  bmp.Canvas()->Brush()->SetColor(clGreen);
  bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
  TJPEGImage made;
  made.Assign(&bmp);
  made.SetCompressionQuality(95);
  std::vector<rtl::Byte> data;
  made.SaveToMemory(data);
  ASSERT_GT(data.size(), 100u);
  EXPECT_EQ(data[0], 0xFF);
  EXPECT_EQ(data[1], 0xD8);
  TJPEGImage back;
  EXPECT_EQ(back.LoadFromMemory(data.data(), data.size()), data.size());
  EXPECT_TRUE(Near(back.Bitmap()->Canvas()->Pixels(8, 8), clGreen, 8));
}

TEST(Jpeg, ProgressiveGreyAndCmykFiles) {
  struct Case {
    const wchar_t* file;
    TColor left, right;
    bool grayscale;
  } cases[] = {{L"halves_progressive.jpg", clRed, clBlue, false},
               {L"gray.jpg", clWhite, clBlack, true},
               {L"halves_cmyk.jpg", clRed, clBlue, false}};
  for (const auto& c : cases) {
    TJPEGImage jpg;
    jpg.LoadFromFile(DataFile(c.file));
    EXPECT_EQ(jpg.Width(), 40);
    EXPECT_EQ(jpg.Grayscale(), c.grayscale);
    EXPECT_TRUE(Near(jpg.Bitmap()->Canvas()->Pixels(5, 5), c.left, 40)) << std::wstring(c.file);
    EXPECT_TRUE(Near(jpg.Bitmap()->Canvas()->Pixels(35, 5), c.right, 40)) << std::wstring(c.file);
  }
}

TEST(Jpeg, DamagedDataRaisesJpegError) {
  auto data = DataBytes(L"halves.jpg");
  TJPEGImage jpg;
  std::vector<rtl::Byte> header_only(data.begin(), data.begin() + 20);
  EXPECT_THROW(jpg.LoadFromMemory(header_only.data(), header_only.size()), EJPEG);
  const rtl::Byte not_jpeg[] = {'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_THROW(jpg.LoadFromMemory(not_jpeg, sizeof(not_jpeg)), rtl::EInvalidGraphic);
  EXPECT_TRUE(jpg.Empty());
}

TEST(Jpeg, StopsAtItsEndMarker) {
  auto data = DataBytes(L"halves.jpg");
  size_t size = data.size();
  data.insert(data.end(), {1, 2, 3});
  TJPEGImage jpg;
  EXPECT_EQ(jpg.LoadFromMemory(data.data(), data.size()), size);
}

TEST(Icon, LoadsDrawsAndSaves) {
  TIcon icon;
  icon.LoadFromFile(DataFile(L"halves_icon.ico"));
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_NE(icon.Handle(), nullptr);
  EXPECT_THROW(icon.SetWidth(16), rtl::EInvalidGraphicOperation);
  TBitmap target(32, 32, pf24bit);
  target.Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(target.Canvas()->Pixels(16, 16), clRed);
  // From a handle alone the icon writes a one-image file that loads again.
  TIcon copy;
  copy.SetHandle(CopyIcon(icon.Handle()));
  std::vector<rtl::Byte> data;
  copy.SaveToMemory(data);
  TIcon back;
  back.LoadFromMemory(data.data(), data.size());
  EXPECT_EQ(back.Width(), 32);
  TBitmap again(32, 32, pf24bit);
  again.Canvas()->Draw(0, 0, &back);
  EXPECT_EQ(again.Canvas()->Pixels(16, 16), clRed);
}

TEST(Icon, FromResources) {
  TIcon icon;
  icon.LoadFromResourceName(GetModuleHandleW(nullptr), L"TESTICON");
  EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
  TBitmap target(32, 32, pf24bit);
  target.Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(target.Canvas()->Pixels(16, 16), clRed);
  EXPECT_THROW(icon.LoadFromResourceName(GetModuleHandleW(nullptr), L"NO_ICON"), rtl::EInvalidGraphic);
  EXPECT_FALSE(icon.Empty());
}

TEST(Metafile, RecordsReplaysAndFindsText) {
  TMetafile mf;
  {
    TMetafileCanvas canvas(&mf, nullptr);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 50, 50));
    canvas.TextOut(5, 5, L"Öğrenci");
  }
  ASSERT_FALSE(mf.Empty());
  EXPECT_GT(mf.Width(), 0);
  // The text is in an EMR_EXTTEXTOUTW record.
  bool found = false;
  EnumEnhMetaFile(
      nullptr, mf.Handle(),
      [](HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM found_flag) -> int {
        if (rec->iType == EMR_EXTTEXTOUTW) {
          auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
          std::wstring s(reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(rec) + t->emrtext.offString),
                         t->emrtext.nChars);
          if (s == L"Öğrenci") *reinterpret_cast<bool*>(found_flag) = true;
        }
        return 1;
      },
      &found, nullptr);
  EXPECT_TRUE(found);
  TBitmap target(60, 60, pf24bit);
  target.Canvas()->StretchDraw(Rect(0, 0, 60, 60), &mf);
  EXPECT_EQ(target.Canvas()->Pixels(40, 40), clRed);
  std::vector<rtl::Byte> data;
  mf.SaveToMemory(data);
  TPicture p;
  EXPECT_EQ(p.LoadFromMemory(data.data(), data.size()), data.size());
  EXPECT_EQ(p.Graphic()->ClassName(), L"TMetafile");
}

TEST(Picture, StreamsLeaveThePositionAfterThePicture) {
  rtl::TMemoryStream stream;
  auto png = DataBytes(L"halves_palette.png");
  auto bmp = DataBytes(L"halves24.bmp");
  stream.WriteBuffer(png.data(), static_cast<rtl::Integer>(png.size()));
  stream.WriteBuffer(bmp.data(), static_cast<rtl::Integer>(bmp.size()));
  stream.SetPosition(0);
  TPicture p;
  p.LoadFromStream(stream);
  EXPECT_EQ(p.Graphic()->ClassName(), L"TPngImage");
  EXPECT_EQ(stream.Position(), static_cast<rtl::Int64>(png.size()));
  p.LoadFromStream(stream);
  EXPECT_EQ(p.Graphic()->ClassName(), L"TBitmap");
  EXPECT_EQ(stream.Position(), stream.Size());
  rtl::TMemoryStream out;
  p.SaveToStream(out);
  EXPECT_EQ(out.Size(), static_cast<rtl::Int64>(bmp.size()));
}

namespace {
int stream_png_calls = 0;
// A reader like the skinning library's: it overrides stream reading only.
struct TStreamPng : public TBitmap {
    rtl::String ClassName() const override { return L"TStreamPng"; }
    TGraphic* NewInstance() const override { return new TStreamPng; }
    void LoadFromStream(rtl::TStream& stream) override {
      ++stream_png_calls;
      TPngImage png;
      png.LoadFromStream(stream);
      Assign(png.Bitmap());
    }
};
}  // namespace

TEST(Picture, ALibraryReaderThatReadsStreamsItsOwnWayIsUsedForFiles) {
  TPicture::RegisterFileFormat(L"png", L"Portable network graphics (library)", &NewGraphic<TStreamPng>);
  TPicture p;
  p.LoadFromFile(DataFile(L"halves_palette.png"));
  TPicture::UnregisterGraphicClass(&NewGraphic<TStreamPng>);
  EXPECT_EQ(stream_png_calls, 1);
  EXPECT_EQ(p.Graphic()->ClassName(), L"TStreamPng");
  EXPECT_EQ(p.Width(), 40);
}

TEST(Metafile, PlaceableWindowsMetafileIsConverted) {
  // A red rectangle recorded as an old-style metafile, with the placeable header in front (1000 units per inch,
  // one inch square).
  HDC rec = CreateMetaFileW(nullptr);
  SetMapMode(rec, MM_ANISOTROPIC);
  SetWindowExtEx(rec, 1000, 1000, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(rec, red);
  Rectangle(rec, 0, 0, 1000, 1000);
  SelectObject(rec, old);
  HMETAFILE wmf = CloseMetaFile(rec);
  DeleteObject(red);
  UINT size = GetMetaFileBitsEx(wmf, 0, nullptr);
  std::vector<rtl::Byte> body(size);
  GetMetaFileBitsEx(wmf, size, body.data());
  DeleteMetaFile(wmf);
  std::vector<rtl::Byte> file = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0xE8, 0x03, 0xE8, 0x03, 0xE8, 0x03, 0, 0, 0, 0};
  std::uint16_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) sum ^= static_cast<std::uint16_t>(file[i] | (file[i + 1] << 8));
  file.push_back(static_cast<rtl::Byte>(sum));
  file.push_back(static_cast<rtl::Byte>(sum >> 8));
  file.insert(file.end(), body.begin(), body.end());

  TPicture p;
  EXPECT_EQ(p.LoadFromMemory(file.data(), file.size()), file.size());
  auto* mf = dynamic_cast<TMetafile*>(p.Graphic());
  ASSERT_NE(mf, nullptr);
  EXPECT_EQ(mf->MMWidth(), 2540);  // one inch
  TBitmap target(30, 30, pf24bit);
  target.Canvas()->StretchDraw(Rect(0, 0, 30, 30), mf);
  EXPECT_EQ(target.Canvas()->Pixels(15, 15), clRed);
  // Saved, it is an enhanced metafile.
  std::vector<rtl::Byte> saved;
  mf->SaveToMemory(saved);
  ASSERT_GE(saved.size(), 44u);
  EXPECT_EQ(saved[40], ' ');
  EXPECT_EQ(saved[41], 'E');
}
