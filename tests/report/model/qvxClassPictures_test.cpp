#include "report/model/qvxClassPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/graphicfiles.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxXMLSerializer.h"
#include "testpages.h"
#include "testreport.h"

using rtl::String;
using vcl::TColor;

namespace {

constexpr TColor White = 0xFFFFFF, Black = 0, Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00;

String DataFile(const String& name) {
  const char* root = std::getenv("TAVREL_TEST_DATA");
  std::string r = root ? root : ".";
  String path(r.begin(), r.end());
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path + L"\\data\\" + name;
}

std::vector<rtl::Byte> DataBytes(const String& name) { return vcl::ReadWholeFile(DataFile(name)); }

void Put(rtl::TMemoryStream& s, const std::vector<rtl::Byte>& bytes) {
  if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<rtl::Integer>(bytes.size()));
}

std::unique_ptr<vcl::TBitmap> Sheet(int w, int h, TColor color = White) {
  auto bmp = std::make_unique<vcl::TBitmap>(w, h, vcl::pf32bit);
  bmp->Canvas()->Brush()->SetColor(color);
  bmp->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  return bmp;
}

TColor Px(vcl::TBitmap& bmp, int x, int y) { return bmp.Canvas()->Pixels(x, y) & 0xFFFFFF; }

// A picture of w x h: red, with a white square in the top-left quarter.
std::unique_ptr<vcl::TBitmap> RedPicture(int w, int h) {
  auto b = std::make_unique<vcl::TBitmap>(w, h, vcl::pf24bit);
  b->Canvas()->Brush()->SetColor(Red);
  b->Canvas()->FillRect(vcl::TRect(0, 0, w, h));
  b->Canvas()->Brush()->SetColor(White);
  b->Canvas()->FillRect(vcl::TRect(0, 0, w / 4, h / 4));
  return b;
}

class PictureTest : public ::testing::Test {
 protected:
  void TearDown() override { report->Free(); }
  TqvxPictureView* NewPicture(int w, int h, Extended vw, Extended vh) {
    auto* p = new TqvxPictureView(report);
    p->Picture()->SetGraphic(RedPicture(w, h).get());
    p->SetBounds(0, 0, vw, vh);
    return p;
  }
  TqvxTestReport* report = new TqvxTestReport(nullptr);
};

// ---------------------------------------------------------------------------------------------------------------
// Loading

TEST_F(PictureTest, StreamsOfEveryKindLoad) {
  struct Case {
    const wchar_t* file;
    const wchar_t* graphicClass;
  } cases[] = {{L"halves24.bmp", L"TBitmap"}, {L"halves.jpg", L"TJPEGImage"}, {L"halves_rgba.png", L"TPngImage"}};
  for (const Case& c : cases) {
    auto* p = new TqvxPictureView(report);
    rtl::TMemoryStream s;
    Put(s, DataBytes(c.file));
    EXPECT_EQ(p->LoadPictureFromStream(s), 0) << c.file;
    ASSERT_NE(p->Picture()->Graphic(), nullptr) << c.file;
    EXPECT_EQ(p->Picture()->Graphic()->ClassName(), c.graphicClass);
    EXPECT_EQ(p->Picture()->Width(), 40);
    EXPECT_EQ(p->Picture()->Height(), 10);
    EXPECT_TRUE(p->PictureChangedFlag()) << c.file;
  }
}

TEST_F(PictureTest, GraphicHeaderIsSkippedOnlyWhenItsSizeFits) {
  const std::vector<rtl::Byte> bmp = DataBytes(L"halves24.bmp");
  auto header = [&](rtl::Cardinal size) {
    std::vector<rtl::Byte> h = {1, 0, 0, 1};
    for (int k = 0; k < 4; ++k) h.push_back(static_cast<rtl::Byte>(size >> (8 * k)));
    return h;
  };
  auto* p = new TqvxPictureView(report);
  rtl::TMemoryStream good;
  Put(good, header(static_cast<rtl::Cardinal>(bmp.size())));
  Put(good, bmp);
  EXPECT_EQ(p->LoadPictureFromStream(good), 0);
  EXPECT_EQ(p->Picture()->Width(), 40);

  rtl::TMemoryStream wrong;
  Put(wrong, header(static_cast<rtl::Cardinal>(bmp.size() + 1)));
  Put(wrong, bmp);
  EXPECT_EQ(p->LoadPictureFromStream(wrong), qvxInvalidPicture);
  EXPECT_EQ(p->Picture()->Graphic(), nullptr);
}

TEST_F(PictureTest, UnrecognisedOrDamagedStreamsClearThePicture) {
  const std::vector<rtl::Byte> bmp = DataBytes(L"halves24.bmp");
  std::vector<rtl::Byte> png = DataBytes(L"halves_rgba.png");
  png.resize(40);  // the signature and a broken first chunk
  const std::vector<std::vector<rtl::Byte>> cases = {
      {},                                                     // empty
      std::vector<rtl::Byte>(bmp.begin(), bmp.begin() + 13),  // "BM" but shorter than a bitmap header
      {'G', 'I', 'F', '8', '9', 'a', 0, 5, 0, 5},             // a kind we do not know
      png,
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    auto* p = NewPicture(8, 8, 8, 8);
    rtl::TMemoryStream s;
    Put(s, cases[i]);
    EXPECT_EQ(p->LoadPictureFromStream(s), qvxInvalidPicture) << i;
    EXPECT_EQ(p->Picture()->Graphic(), nullptr) << i;
  }
}

TEST_F(PictureTest, StreamReadFromItsCurrentPosition) {
  auto* p = new TqvxPictureView(report);
  rtl::TMemoryStream s;
  Put(s, {'x', 'y', 'z'});
  Put(s, DataBytes(L"halves24.bmp"));
  s.SetPosition(3);
  EXPECT_EQ(p->LoadPictureFromStream(s, false), 0);
  EXPECT_EQ(p->Picture()->Width(), 40);
  s.SetPosition(3);
  EXPECT_EQ(p->LoadPictureFromStream(s, true), qvxInvalidPicture);
}

TEST_F(PictureTest, AutoSizeTakesThePictureSize) {
  auto* p = new TqvxPictureView(report);
  p->SetBounds(0, 0, 5, 5);
  p->SetAutoSize(true);
  EXPECT_EQ(p->Width(), 5);
  rtl::TMemoryStream s;
  Put(s, DataBytes(L"halves.jpg"));
  p->LoadPictureFromStream(s);
  EXPECT_EQ(p->Width(), 40);
  EXPECT_EQ(p->Height(), 10);
}

TEST_F(PictureTest, FileLinkLoadsExpandsAndClears) {
  auto* p = NewPicture(8, 8, 8, 8);
  report->Values[L"Name"] = rtl::Variant(String(L"halves24"));
  p->FileLink = DataFile(L"[Name].bmp");
  p->GetData();
  EXPECT_EQ(p->Picture()->Width(), 40);
  EXPECT_EQ(p->FileLink, DataFile(L"[Name].bmp"));  // the template keeps its link
  p->FileLink = DataFile(L"missing.bmp");
  p->GetData();
  EXPECT_EQ(p->Picture()->Graphic(), nullptr);
}

// A dataset whose "Photo" field holds a PNG file.
class TPhotoDataSet : public TqvxUserDataSet {
 public:
  using TqvxUserDataSet::TqvxUserDataSet;
  bool IsBlobField(const String& field) override { return field == L"Photo"; }
  void AssignBlobTo(const String&, rtl::TObject* obj) override {
    if (auto* s = dynamic_cast<rtl::TStream*>(obj)) s->WriteBuffer(Blob.data(), static_cast<rtl::Integer>(Blob.size()));
  }
  std::vector<rtl::Byte> Blob;
};

TEST_F(PictureTest, BlobFieldLoadsFromTheDataset) {
  TPhotoDataSet ds(nullptr);
  ds.Blob = DataBytes(L"halves_rgba.png");
  auto* p = NewPicture(8, 8, 8, 8);
  p->SetDataSet(&ds);
  p->DataField = L"Name";
  p->GetData();
  EXPECT_EQ(p->Picture()->Width(), 8);  // not a picture field: the picture stays
  p->DataField = L"Photo";
  p->GetData();
  EXPECT_EQ(p->Picture()->Width(), 40);
  ds.Blob = {1, 2, 3};
  p->GetData();
  EXPECT_EQ(p->Picture()->Graphic(), nullptr);
  p->SetDataSet(nullptr);
}

// ---------------------------------------------------------------------------------------------------------------
// Drawing

TEST_F(PictureTest, StretchedKeepingAspectAndCentred) {
  auto* p = NewPicture(100, 50, 200, 200);
  p->Center = true;
  auto sheet = Sheet(220, 220);
  p->Draw(sheet->Canvas(), 1, 1, 0, 0);
  // Drawn into (0, 50)-(200, 150): the white quarter is (0, 50)-(50, 75).
  EXPECT_EQ(Px(*sheet, 100, 45), White);
  EXPECT_EQ(Px(*sheet, 100, 55), Red);
  EXPECT_EQ(Px(*sheet, 20, 60), White);
  EXPECT_EQ(Px(*sheet, 60, 80), Red);
  EXPECT_EQ(Px(*sheet, 195, 145), Red);
  EXPECT_EQ(Px(*sheet, 100, 155), White);
}

TEST_F(PictureTest, StretchedKeepingAspectAtTheTopWithoutCenter) {
  auto* p = NewPicture(100, 50, 200, 200);
  auto sheet = Sheet(220, 220);
  p->Draw(sheet->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*sheet, 100, 5), Red);
  EXPECT_EQ(Px(*sheet, 100, 95), Red);
  EXPECT_EQ(Px(*sheet, 100, 105), White);
}

TEST_F(PictureTest, StretchedFillsTheViewWithoutAspect) {
  auto* p = NewPicture(100, 50, 200, 200);
  p->KeepAspectRatio = false;
  auto sheet = Sheet(220, 220);
  p->Draw(sheet->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*sheet, 100, 195), Red);
  EXPECT_EQ(Px(*sheet, 40, 40), White);  // the quarter is 50 x 50 now
  EXPECT_EQ(Px(*sheet, 205, 100), White);
}

TEST_F(PictureTest, OwnSizeCentredAndClippedToTheView) {
  auto* p = NewPicture(100, 50, 200, 200);
  p->Stretched = false;
  p->Center = true;
  auto sheet = Sheet(220, 220);
  p->Draw(sheet->Canvas(), 1, 1, 0, 0);
  // (50, 75)-(150, 125)
  EXPECT_EQ(Px(*sheet, 45, 100), White);
  EXPECT_EQ(Px(*sheet, 55, 80), White);
  EXPECT_EQ(Px(*sheet, 100, 100), Red);
  EXPECT_EQ(Px(*sheet, 155, 100), White);

  auto* small = NewPicture(100, 50, 60, 20);
  small->Stretched = false;
  small->SetLeft(10);
  auto clipped = Sheet(220, 220);
  small->Draw(clipped->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*clipped, 60, 15), Red);
  EXPECT_EQ(Px(*clipped, 75, 15), White);  // beyond the view
  EXPECT_EQ(Px(*clipped, 60, 25), White);
  // The canvas is not left clipped.
  clipped->Canvas()->Brush()->SetColor(Blue);
  clipped->Canvas()->FillRect(vcl::TRect(150, 150, 160, 160));
  EXPECT_EQ(Px(*clipped, 155, 155), Blue);
}

TEST_F(PictureTest, TransparentColourShowsWhatLiesBeneath) {
  auto* p = NewPicture(40, 40, 40, 40);
  p->SetTransparent(true);
  auto sheet = Sheet(50, 50, Green);
  p->Draw(sheet->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*sheet, 3, 3), Green);
  EXPECT_EQ(Px(*sheet, 30, 30), Red);
  p->SetTransparent(false);
  p->Draw(sheet->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*sheet, 3, 3), White);
}

// ---------------------------------------------------------------------------------------------------------------
// Prepared pages and storage

TEST_F(PictureTest, DifferenceTextHandsChangedPicturesOver) {
  auto* pages = new TqvxTestPages(report);
  pages->PictureBase = 7;
  report->SetPreviewPages(pages);
  auto added = [&] { return static_cast<int>(pages->Pictures.size()); };
  auto* tmpl = NewPicture(8, 8, 8, 8);
  auto* printed = NewPicture(8, 8, 8, 8);
  String d = printed->Diff(tmpl);
  EXPECT_EQ(added(), 1);
  EXPECT_NE(d.find(L" ImageIndex=\"7\""), String::npos) << d;
  EXPECT_EQ(d.find(L"Transparent"), String::npos) << d;
  d = printed->Diff(tmpl);
  EXPECT_EQ(added(), 1);
  EXPECT_NE(d.find(L"ImageIndex=\"7\""), String::npos) << d;
  printed->SetTransparent(true);
  printed->TransparentColor = 255;
  d = printed->Diff(tmpl);
  EXPECT_NE(d.find(L" Transparent=\"1\" TransparentColor=\"255\""), String::npos) << d;
}

TEST_F(PictureTest, StoredAndReadBack) {
  auto* fresh = new TqvxPictureView(report);
  TqvxXMLSerializer w(nullptr);
  const String plain = w.ObjToXML(fresh);
  for (const wchar_t* name : {L"AutoSize", L"Center", L"KeepAspectRatio", L"Stretched", L"ImageIndex", L"Picture",
                              L"FillType=", L"Cursor", L"URL"})
    EXPECT_EQ(plain.find(name), String::npos) << name << plain;
  EXPECT_NE(plain.find(L"TransparentColor=\"16777215\""), String::npos) << plain;

  auto* p = NewPicture(30, 20, 50, 60);
  p->Center = true;
  p->KeepAspectRatio = false;
  p->Stretched = false;
  p->FileLink = L"c:\\x.bmp";
  p->TransparentColor = 255;
  const String text = w.ObjToXML(p);
  auto* back = new TqvxPictureView(report);
  TqvxXMLSerializer r(nullptr);
  r.XMLToObj(text, back);
  EXPECT_EQ(r.Errors().Count(), 0) << text;
  EXPECT_TRUE(back->Center);
  EXPECT_FALSE(back->KeepAspectRatio);
  EXPECT_FALSE(back->Stretched);
  EXPECT_EQ(back->FileLink, L"c:\\x.bmp");
  EXPECT_EQ(back->TransparentColor, 255);
  EXPECT_EQ(back->Picture()->Width(), 30);
  EXPECT_EQ(back->Picture()->Height(), 20);

  p->SetIsPictureStored(false);
  p->SetIsImageIndexStored(true);
  p->SetImageIndex(3);
  const String printed = w.ObjToXML(p);
  EXPECT_EQ(printed.find(L"Picture"), String::npos) << printed;
  EXPECT_NE(printed.find(L"ImageIndex=\"3\""), String::npos) << printed;
}

// ---------------------------------------------------------------------------------------------------------------
// Lines

class LineTest : public ::testing::Test {
 protected:
  void TearDown() override { report->Free(); }
  TqvxLineView* NewLine(Extended l, Extended t, Extended w, Extended h, rtl::Word flags = 0) {
    auto* line = flags ? new TqvxLineView(report, flags) : new TqvxLineView(report);
    line->SetBounds(l, t, w, h);
    return line;
  }
  TqvxTestReport* report = new TqvxTestReport(nullptr);
};

TEST_F(LineTest, DesignerFlagsChooseTheKind) {
  struct Case {
    rtl::Word flags;
    bool diagonal, end, start;
  } cases[] = {{0, false, false, false},
               {1, true, false, false},
               {2, true, true, false},
               {3, true, false, true},
               {4, true, true, true}};
  for (const Case& c : cases) {
    TqvxLineView line(report, c.flags);
    EXPECT_EQ(line.Diagonal, c.diagonal) << c.flags;
    EXPECT_EQ(line.ArrowEnd, c.end) << c.flags;
    EXPECT_EQ(line.ArrowStart, c.start) << c.flags;
  }
  TqvxLineView plain(report);
  EXPECT_FALSE(plain.qvComponentStyle().Contains(csDefaultDiff));
  EXPECT_EQ(plain.ArrowLength, 20);
  EXPECT_EQ(plain.ArrowWidth, 5);
  EXPECT_EQ(plain.LineColor(), clTransparent);
}

TEST_F(LineTest, StraightLinesAreStraightenedForGood) {
  struct Case {
    Extended w, h;
    Extended wantW, wantH;
    TqvxFrameType side;
  } cases[] = {{0, 100, 0, 100, ftLeft}, {100, 100, 0, 100, ftLeft}, {100, 10, 100, 0, ftTop}};
  for (const Case& c : cases) {
    auto* line = NewLine(10, 10, c.w, c.h);
    auto sheet = Sheet(130, 130);
    line->Draw(sheet->Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(line->Width(), c.wantW);
    EXPECT_EQ(line->Height(), c.wantH);
    EXPECT_EQ(line->Frame()->Typ, TqvxFrameTypes{c.side});
    if (c.side == ftLeft) {
      EXPECT_EQ(Px(*sheet, 10, 60), Black);
      EXPECT_EQ(Px(*sheet, 14, 60), White);
    } else {
      EXPECT_EQ(Px(*sheet, 60, 10), Black);
      EXPECT_EQ(Px(*sheet, 60, 14), White);
    }
  }
}

TEST_F(LineTest, DiagonalLine) {
  auto* line = NewLine(10, 10, 100, 100, 1);
  auto sheet = Sheet(130, 130);
  line->Draw(sheet->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(line->Width(), 100);
  EXPECT_EQ(Px(*sheet, 60, 60), Black);
  EXPECT_EQ(Px(*sheet, 60, 20), White);
  line->Frame()->SetColor(clTransparent);
  auto none = Sheet(130, 130);
  line->Draw(none->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*none, 60, 60), White);
}

TEST_F(LineTest, ArrowHeads) {
  // A horizontal line from (10, 50) to (110, 50): the end head's base is 20 back, 5 to each side.
  auto* line = NewLine(10, 50, 100, 0);
  line->ArrowEnd = true;
  line->ArrowSolid = true;
  auto solid = Sheet(130, 130);
  line->Draw(solid->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*solid, 100, 48), Black);
  EXPECT_EQ(Px(*solid, 100, 44), White);
  EXPECT_EQ(Px(*solid, 20, 48), White);  // no head at the start

  // Scaled: the head grows with the line, 40 long and 10 to each side.
  auto scaled = Sheet(240, 240);
  line->Draw(scaled->Canvas(), 2, 2, 0, 0);
  EXPECT_EQ(Px(*scaled, 190, 94), Black);
  EXPECT_EQ(Px(*scaled, 170, 94), White);

  line->ArrowSolid = false;
  auto hollow = Sheet(130, 130);
  line->Draw(hollow->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*hollow, 100, 48), White);
  EXPECT_EQ(Px(*hollow, 94, 46), Black);  // on the sides of the head
  EXPECT_EQ(Px(*hollow, 94, 54), Black);

  // A vertical line from (50, 10) to (50, 110) with a head at its start.
  auto* vertical = NewLine(50, 10, 0, 100);
  vertical->ArrowStart = true;
  vertical->ArrowSolid = true;
  auto v = Sheet(130, 130);
  vertical->Draw(v->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*v, 48, 20), Black);
  EXPECT_EQ(Px(*v, 45, 20), White);
  EXPECT_EQ(Px(*v, 48, 100), White);

  // A diagonal with a head at its end, scaled by 1: a point 2 pixels off the line near the tip.
  auto* diagonal = NewLine(10, 10, 100, 100, 1);
  auto plain = Sheet(130, 130);
  diagonal->Draw(plain->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*plain, 101, 98), White);
  diagonal->ArrowEnd = true;
  diagonal->ArrowSolid = true;
  auto headed = Sheet(130, 130);
  diagonal->Draw(headed->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Px(*headed, 101, 98), Black);
  EXPECT_EQ(Px(*headed, 60, 57), White);
}

TEST_F(LineTest, StoredAndReadBack) {
  auto* fresh = NewLine(0, 0, 100, 0);
  TqvxXMLSerializer w(nullptr);
  const String plain = w.ObjToXML(fresh);
  for (const wchar_t* name : {L"Color", L"Arrow", L"Diagonal", L"StretchMode"})
    EXPECT_EQ(plain.find(name), String::npos) << name << plain;

  auto* line = NewLine(1, 2, 3, 4, 4);
  line->ArrowLength = 12;
  line->ArrowWidth = 3;
  line->ArrowSolid = true;
  line->SetLineColor(255);
  line->Frame()->SetColor(Blue);
  line->StretchMode = smMaxHeight;
  const String text = w.ObjToXML(line);
  auto* back = NewLine(0, 0, 0, 0);
  TqvxXMLSerializer r(nullptr);
  r.XMLToObj(text, back);
  EXPECT_EQ(r.Errors().Count(), 0) << text;
  EXPECT_TRUE(back->Diagonal);
  EXPECT_TRUE(back->ArrowStart);
  EXPECT_TRUE(back->ArrowEnd);
  EXPECT_TRUE(back->ArrowSolid);
  EXPECT_EQ(back->ArrowLength, 12);
  EXPECT_EQ(back->ArrowWidth, 3);
  EXPECT_EQ(back->LineColor(), 255);
  EXPECT_EQ(back->Frame()->Color(), Blue);
  EXPECT_EQ(back->StretchMode, smMaxHeight);
  EXPECT_EQ(back->Height(), 4);
}

}  // namespace
