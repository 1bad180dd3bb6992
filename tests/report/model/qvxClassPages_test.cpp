#include "report/model/qvxClassPages.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/format.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxXMLSerializer.h"
#include "testreport.h"

using rtl::String;

namespace {

class PageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    report->Free();
    qvxSetPrintLink(nullptr);
  }
  TqvxTestReport* report = new TqvxTestReport(nullptr);
  TqvxReportPage* page = new TqvxReportPage(report);
};

void ExpectMargins(TqvxReportPage* p, Extended l, Extended t, Extended r, Extended b) {
  EXPECT_EQ(p->LeftMargin, l);
  EXPECT_EQ(p->TopMargin, t);
  EXPECT_EQ(p->RightMargin, r);
  EXPECT_EQ(p->BottomMargin, b);
}

TEST_F(PageTest, NewPageIsA4Portrait) {
  EXPECT_EQ(page->PaperSize(), 9);
  EXPECT_EQ(page->PaperWidth(), 210);
  EXPECT_EQ(page->PaperHeight(), 297);
  EXPECT_EQ(page->Width(), 794);
  EXPECT_EQ(page->Height(), 1123);
  ExpectMargins(page, 0, 0, 0, 0);
  EXPECT_EQ(page->Orientation(), poPortrait);
  EXPECT_EQ(page->Bin, 7);
  EXPECT_EQ(page->BinOtherPages, 7);
  EXPECT_EQ(page->PageCount(), 1);
  EXPECT_TRUE(page->PrintIfEmpty);
  EXPECT_TRUE(page->TitleBeforeHeader);
  EXPECT_TRUE(page->BackPictureVisible);
  EXPECT_TRUE(page->BackPicturePrintable);
  EXPECT_EQ(page->Color(), clTransparent);
  EXPECT_FALSE(page->BackPictureView()->KeepAspectRatio);
  EXPECT_EQ(page->BackPictureView()->Parent(), nullptr);
  EXPECT_TRUE(page->Objects().empty());
  EXPECT_EQ(page->BaseName(), L"Page");
  EXPECT_EQ(page->Page(), page);
}

TEST_F(PageTest, PaperSizes) {
  page->SetPaperWidth(100.123456789L);
  EXPECT_NEAR(static_cast<double>(page->PaperWidth()), 100.12345679, 1e-12);
  EXPECT_EQ(page->PaperSize(), qvxCustomPaper);
  EXPECT_EQ(page->Width(), 378);
  page->SetPaperHeight(50);
  EXPECT_EQ(page->Height(), 189);
  page->SetPaperSize(qvxCustomPaper);
  EXPECT_NEAR(static_cast<double>(page->PaperWidth()), 100.12345679, 1e-12);
  EXPECT_EQ(page->PaperHeight(), 50);
  page->SetPaperSize(77);  // a code nobody knows keeps the size
  EXPECT_EQ(page->PaperSize(), 77);
  EXPECT_EQ(page->PaperHeight(), 50);
  page->SetOrientation(poLandscape);
  page->SetPaperSize(9);
  EXPECT_EQ(page->PaperWidth(), 297);
  EXPECT_EQ(page->PaperHeight(), 210);
  EXPECT_EQ(page->Width(), 1123);
  page->SetSizeAndDimensions(256, 123.456789012L, 80);
  EXPECT_EQ(page->PaperSize(), 256);
  EXPECT_NEAR(static_cast<double>(page->PaperWidth()), 123.45678901, 1e-12);
  EXPECT_EQ(page->Height(), 302);
}

TEST_F(PageTest, PaperTableKnowsEveryPlatformCode) {
  struct TCase {
    rtl::Integer code;
    Extended width, height;
  };
  // The ends of the table, the papers wider than high, and the codes on both sides of the gap at 48 and 49.
  for (const TCase& c : {TCase{1, 215.9L, 279.4L}, TCase{4, 431.8L, 279.4L}, TCase{9, 210, 297}, TCase{35, 176, 125},
                         TCase{47, 220, 220}, TCase{50, 235.5L, 304.8L}, TCase{66, 420, 594}, TCase{68, 322, 445}}) {
    Extended w = 0, h = 0;
    ASSERT_TRUE(qvxGetPaperDimensions(c.code, w, h)) << c.code;
    EXPECT_NEAR(static_cast<double>(w), static_cast<double>(c.width), 1e-9) << c.code;
    EXPECT_NEAR(static_cast<double>(h), static_cast<double>(c.height), 1e-9) << c.code;
  }
  int known = 0;
  for (rtl::Integer code = -1; code <= 300; ++code) {
    Extended w = -1, h = -1;
    if (qvxGetPaperDimensions(code, w, h)) {
      ++known;
      EXPECT_GT(w, 0);
    } else {
      EXPECT_EQ(w, -1) << "unknown codes leave the size alone";
    }
  }
  EXPECT_EQ(known, 66);
  for (rtl::Integer unknown : {0, 48, 49, 69, 256}) {
    Extended w = 1, h = 2;
    EXPECT_FALSE(qvxGetPaperDimensions(unknown, w, h)) << unknown;
  }

  page->SetPaperSize(11);
  EXPECT_EQ(page->PaperWidth(), 148);
  EXPECT_EQ(page->PaperHeight(), 210);
  page->SetPaperSize(70);  // not in the table: the size stays
  EXPECT_EQ(page->PaperWidth(), 148);
  EXPECT_EQ(page->PaperSize(), 70);
}

TEST_F(PageTest, OrientationTurnsPaperAndMargins) {
  page->LeftMargin = 10;
  page->TopMargin = 20;
  page->RightMargin = 30;
  page->BottomMargin = 40;
  page->SetOrientation(poLandscape);
  ExpectMargins(page, 20, 30, 40, 10);
  EXPECT_EQ(page->PaperWidth(), 297);
  EXPECT_EQ(page->Width(), 1123);
  EXPECT_EQ(page->Height(), 794);
  page->SetOrientation(poLandscape);
  ExpectMargins(page, 20, 30, 40, 10);
  page->SetOrientation(poPortrait);
  ExpectMargins(page, 10, 20, 30, 40);
  EXPECT_EQ(page->PaperWidth(), 210);
}

TEST_F(PageTest, ColumnsAndPageCount) {
  page->LeftMargin = 10;
  page->RightMargin = 10;
  page->SetColumns(3);
  EXPECT_NEAR(static_cast<double>(page->ColumnWidth), 190.0 / 3, 1e-9);
  ASSERT_EQ(page->ColumnPositions()->Count(), 3);
  EXPECT_EQ(page->ColumnPositions()->Get(0), L"0");
  EXPECT_EQ(page->ColumnPositions()->Get(1), rtl::FloatToStr(190.0 / 3));
  EXPECT_EQ(page->ColumnPositions()->Get(2), rtl::FloatToStr(2 * (190.0 / 3)));
  EXPECT_EQ(page->ColumnPositions()->Get(1).substr(3), L"3333333333333");
  page->SetColumns(0);
  EXPECT_EQ(page->ColumnPositions()->Count(), 0);

  for (rtl::Integer bad : {0, -1}) {
    page->SetPageCount(bad);
    EXPECT_EQ(page->PageCount(), 1);
  }
  page->SetPageCount(3);
  EXPECT_EQ(page->PageCount(), 3);
}

TEST_F(PageTest, DefaultsComeFromThePrinter) {
  page->SetDefaults();
  ExpectMargins(page, 10, 10, 10, 10);
  EXPECT_EQ(page->PaperSize(), 9);
  EXPECT_EQ(page->Width(), 794);
  // The printer layer (report/print) answers for the current printer once it is linked.
  struct TLetterLandscape : TqvxPrintLink {
    rtl::Integer PrinterIndexOf(const String&) override { return -1; }
    void SetPrinterIndex(rtl::Integer) override {}
    void GetPrinterDefaults(rtl::Integer& paper, Extended& w, Extended& h, TPrinterOrientation& o) override {
      paper = 1;
      w = 279.4L;
      h = 215.9L;
      o = poLandscape;
    }
  } printers;
  qvxSetPrintLink(&printers);
  page->SetDefaults();
  EXPECT_EQ(page->PaperSize(), 1);
  EXPECT_EQ(page->Orientation(), poLandscape);
  EXPECT_NEAR(static_cast<double>(page->PaperWidth()), 279.4, 1e-9);  // taken as given, not turned again
  EXPECT_EQ(page->Width(), 1056);
  ExpectMargins(page, 10, 10, 10, 10);
}

TEST_F(PageTest, ColumnsNarrowDataBandsOnly) {
  page->LeftMargin = page->RightMargin = 10;
  page->SetColumns(2);
  auto* header = new TqvxPageHeader(page);
  auto* master = new TqvxMasterData(page);
  auto* child = new TqvxChild(page);
  child->SetLeft(20);
  new TqvxShapeView(page);
  page->AlignChildren();
  const double printable = 190 * 3.77953;
  EXPECT_NEAR(static_cast<double>(header->Width()), printable, 1e-6);
  EXPECT_NEAR(static_cast<double>(master->Width()), 95 * 3.77953, 1e-6);
  EXPECT_NEAR(static_cast<double>(child->Width()), 95 * 3.77953, 1e-6);
  EXPECT_EQ(page->Width(), 794);
  EXPECT_EQ(page->Height(), 1123);
  page->SetColumns(1);
  page->AlignChildren();
  EXPECT_NEAR(static_cast<double>(child->Width()), printable - 20, 1e-6);
}

TEST_F(PageTest, FindBandByKind) {
  auto* detail = new TqvxDetailData(page);
  auto* master = new TqvxMasterData(page);
  EXPECT_EQ(page->FindBand(TqvxMasterData::StaticClass()), master);
  EXPECT_EQ(page->FindBand(TqvxDataBand::StaticClass()), detail);
  EXPECT_EQ(page->FindBand(TqvxOverlay::StaticClass()), nullptr);
}

TEST_F(PageTest, BackgroundDrawsInsideTheMargins) {
  page->LeftMargin = page->TopMargin = page->RightMargin = page->BottomMargin = 10;
  page->SetColor(0x0000FF);
  vcl::TBitmap sheet(800, 1130, vcl::pf32bit);
  auto clear = [&] {
    sheet.Canvas()->Brush()->SetColor(0xFFFFFF);
    sheet.Canvas()->FillRect(vcl::TRect(0, 0, 800, 1130));
  };
  auto px = [&](int x, int y) { return sheet.Canvas()->Pixels(x, y) & 0xFFFFFF; };
  clear();
  page->Draw(sheet.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(px(30, 30), 0xFFFFFFu);
  EXPECT_EQ(px(45, 45), 0x0000FFu);
  EXPECT_EQ(px(750, 1080), 0x0000FFu);
  EXPECT_EQ(px(765, 1100), 0xFFFFFFu);
  EXPECT_EQ(page->Width(), 794);

  page->BackPicturePrintable = false;
  page->SetIsPrinting(true);
  clear();
  page->Draw(sheet.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(px(45, 45), 0xFFFFFFu);
  page->SetIsPrinting(false);
  page->BackPictureVisible = false;
  page->Draw(sheet.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(px(45, 45), 0xFFFFFFu);
}

TEST_F(PageTest, StoredAndReadBack) {
  TqvxXMLSerializer w(nullptr);
  const String plain = w.ObjToXML(page);
  EXPECT_NE(plain.find(L"PaperSize=\"9\""), String::npos) << plain;
  // Floats and lists follow the template writer's own rule (always written); the rest only when not default.
  for (const wchar_t* name : {L"Orientation", L"Bin", L"PageCount", L"PrintIfEmpty", L"TitleBeforeHeader", L"Color",
                              L"Columns=", L"Duplex", L"BackPicture", L"Endless", L"Visible", L"Frame"})
    EXPECT_EQ(plain.find(name), String::npos) << name << plain;

  page->LeftMargin = 10;
  page->TopMargin = 20;
  page->RightMargin = 15;
  page->SetOrientation(poLandscape);
  page->SetColumns(2);
  page->SetPageCount(2);
  page->Bin = 3;
  page->Duplex = dmHorizontal;
  page->TitleBeforeHeader = false;
  page->HGuides()->Add(L"12");
  page->SetColor(0x00FF00);
  page->Frame()->Typ = TqvxFrameTypes{ftTop};
  page->OnManualBuild = L"Build";
  page->OutlineText = L"[Page#]";
  const String text = w.ObjToXML(page);

  TqvxTestReport* other = new TqvxTestReport(nullptr);
  auto* back = new TqvxReportPage(other);
  TqvxXMLSerializer r(nullptr);
  r.XMLToObj(text, back);
  EXPECT_EQ(r.Errors().Count(), 0) << text;
  EXPECT_EQ(back->Orientation(), poLandscape);
  EXPECT_EQ(back->PaperSize(), 9);
  EXPECT_EQ(back->PaperWidth(), 297);
  EXPECT_EQ(back->PaperHeight(), 210);
  ExpectMargins(back, page->LeftMargin, page->TopMargin, page->RightMargin, page->BottomMargin);
  EXPECT_EQ(back->Columns(), 2);
  EXPECT_NEAR(static_cast<double>(back->ColumnWidth), static_cast<double>(page->ColumnWidth), 1e-9);
  EXPECT_EQ(back->ColumnPositions()->Text(), page->ColumnPositions()->Text());
  EXPECT_EQ(back->PageCount(), 2);
  EXPECT_EQ(back->Bin, 3);
  EXPECT_EQ(back->Duplex, dmHorizontal);
  EXPECT_FALSE(back->TitleBeforeHeader);
  EXPECT_EQ(back->HGuides()->Text(), page->HGuides()->Text());
  EXPECT_EQ(back->Color(), 0x00FF00);
  EXPECT_EQ(back->Frame()->Typ, TqvxFrameTypes{ftTop});
  EXPECT_EQ(back->OnManualBuild, L"Build");
  EXPECT_EQ(back->OutlineText, L"[Page#]");
  EXPECT_EQ(back->Width(), 1123);
  other->Free();
}

TEST_F(PageTest, DataPageHoldsComponents) {
  auto* data = new TqvxDataPage(report);
  data->SetName(L"DataPage1");
  EXPECT_EQ(data->Width(), 1000);
  EXPECT_EQ(data->Height(), 1000);
  auto* shape = new TqvxShapeView(data);
  shape->SetName(L"Holder1");
  shape->SetBounds(10, 20, 30, 40);
  EXPECT_EQ(shape->Page(), data);

  rtl::TMemoryStream stream;
  data->SaveToStream(stream);
  stream.SetPosition(0);
  TqvxTestReport* other = new TqvxTestReport(nullptr);
  auto* back = new TqvxDataPage(other);
  back->LoadFromStream(stream);
  ASSERT_EQ(back->Objects().size(), 1u);
  EXPECT_EQ(back->Objects()[0]->Name(), L"Holder1");
  EXPECT_EQ(back->Objects()[0]->Top(), 20);
  EXPECT_EQ(back->Width(), 1000);
  other->Free();
}

}  // namespace
