#include "report/model/qvxClassBands.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxXMLSerializer.h"
#include "testreport.h"

using rtl::String;

namespace {

class BandTest : public ::testing::Test {
 protected:
  void TearDown() override { report->Free(); }
  TqvxTestReport* report = new TqvxTestReport(nullptr);
};

TEST_F(BandTest, EveryKindHasItsNumberNameAndText) {
  const wchar_t* names[BND_COUNT] = {L"ReportTitle",  L"ReportSummary", L"PageHeader",  L"PageFooter",    L"Header",
                                     L"Footer",       L"MasterData",    L"DetailData",  L"SubdetailData", L"Data4",
                                     L"Data5",        L"Data6",         L"GroupHeader", L"GroupFooter",   L"Child",
                                     L"ColumnHeader", L"ColumnFooter",  L"Overlay"};
  for (int n = 0; n < BND_COUNT; ++n) {
    const vcl::TClassInfo* cls = qvxBands()[n];
    vcl::TCreateArgs args;
    args.Owner = report;
    auto* band = dynamic_cast<TqvxBand*>(cls->CreateInstance(args));
    ASSERT_NE(band, nullptr) << n;
    EXPECT_EQ(band->BandNumber(), n) << names[n];
    EXPECT_EQ(band->GetBandName(), names[n]);
    EXPECT_EQ(band->Parent(), report);
  }
  EXPECT_EQ(qvxResources().Get(TqvxMasterData(report).GetBandName()), L"Master data");
  EXPECT_EQ(TqvxNullBand(report).BandNumber(), 0);
  EXPECT_EQ(TqvxBand(report).BandNumber(), 0);
  EXPECT_EQ(TqvxNullBand(report).GetBandName(), L"Null");
}

TEST_F(BandTest, KindsPublishTheirOwnFlags) {
  struct Case {
    const vcl::TClassInfo* cls;
    const wchar_t* has;
    const wchar_t* lacks;
  } cases[] = {
      {TqvxReportTitle::StaticClass(), L"StartNewPage", L"PrintOnFirstPage"},
      {TqvxPageHeader::StaticClass(), L"PrintOnFirstPage", L"AllowSplit"},
      {TqvxPageFooter::StaticClass(), L"PrintOnLastPage", L"Child"},
      {TqvxHeader::StaticClass(), L"ReprintOnNewPage", L"DrillDown"},
      {TqvxFooter::StaticClass(), L"KeepChild", L"StartNewPage"},
      {TqvxMasterData::StaticClass(), L"RowCount", L"PrintOnTop"},
      {TqvxDataBand6::StaticClass(), L"OnMasterDetail", L"Condition"},
      {TqvxGroupHeader::StaticClass(), L"DrillName", L"RowCount"},
      {TqvxGroupFooter::StaticClass(), L"HideIfSingleDataRecord", L"StartNewPage"},
      {TqvxColumnHeader::StaticClass(), L"Stretched", L"AllowSplit"},
      {TqvxColumnFooter::StaticClass(), L"FillGap", L"Stretched"},
      {TqvxOverlay::StaticClass(), L"PrintOnTop", L"Child"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(c.cls->FindProperty(c.has), nullptr) << c.cls->ClassName() << " " << c.has;
    EXPECT_EQ(c.cls->FindProperty(c.lacks), nullptr) << c.cls->ClassName() << " " << c.lacks;
  }
  TqvxPageFooter footer(report);
  EXPECT_TRUE(footer.PrintOnFirstPage);
  EXPECT_TRUE(footer.PrintOnLastPage);
  EXPECT_TRUE(TqvxPageHeader(report).PrintOnFirstPage);
  EXPECT_EQ(footer.OriginalObjectsCount, -1);
  EXPECT_EQ(footer.FillType(), ftBrush);
}

TEST_F(BandTest, ChildBandsRefuseCycles) {
  auto* a = new TqvxChild(report);
  auto* b = new TqvxChild(report);
  auto* c = new TqvxChild(report);
  EXPECT_THROW(a->SetChild(a), rtl::Exception);
  EXPECT_EQ(a->Child(), nullptr);
  b->SetChild(a);
  try {
    a->SetChild(b);
    ADD_FAILURE() << "a cycle was accepted";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Circular child reference is not allowed");
  }
  EXPECT_EQ(a->Child(), nullptr);
  a->SetChild(c);
  EXPECT_EQ(a->Child(), c);
  a->SetChild(nullptr);
  EXPECT_EQ(a->Child(), nullptr);
  // A freed child leaves no dangling reference.
  auto* master = new TqvxMasterData(report);
  master->SetChild(c);
  c->Free();
  EXPECT_EQ(master->Child(), nullptr);
}

TEST_F(BandTest, DotMatrixPagesSnapToTheCharacterGrid) {
  auto* dmp = new TqvxDMPPage(report);
  auto* band = new TqvxMasterData(dmp);
  band->SetTop(30);
  band->SetLeft(20);
  band->SetHeight(30);
  band->SetWidth(33);
  EXPECT_EQ(band->Top(), 34);
  EXPECT_NEAR(static_cast<double>(band->Left()), 19.2, 1e-9);
  EXPECT_EQ(band->Height(), 34);
  EXPECT_EQ(band->Width(), 33);
  auto* free = new TqvxMasterData(report);
  free->SetTop(30);
  EXPECT_EQ(free->Top(), 30);
}

TEST_F(BandTest, DataBandColumnsAndVertical) {
  auto* band = new TqvxMasterData(report);
  band->Columns = 3;
  band->ColumnWidth = 200;
  band->ColumnGap = 10;
  band->MaxY = 55;
  band->SetCurColumn(3);
  EXPECT_EQ(band->Left(), 420);
  EXPECT_EQ(band->MaxY, 55);
  band->SetCurColumn(4);
  EXPECT_EQ(band->CurColumn(), 1);
  EXPECT_EQ(band->Left(), 0);
  EXPECT_EQ(band->MaxY, 0);
  band->SetRowCount(5);
  EXPECT_EQ(band->RowCount(), 5);
  // Without a dataset of its own the band walks five empty records.
  TqvxUserDataSet* records = band->VirtualDataSet();
  ASSERT_NE(records, nullptr);
  EXPECT_EQ(records->RangeEnd(), reCount);
  EXPECT_EQ(records->RangeEndCount(), 5);
  int count = 0;
  for (records->First(); !records->Eof() && count < 100; records->Next()) ++count;
  EXPECT_EQ(count, 5);
  band->SetVertical(true);
  EXPECT_FALSE(band->Vertical());
}

TEST_F(BandTest, DataSetFoundByNameAndForgottenWhenFreed) {
  auto* ds = new TqvxUserDataSet(nullptr);
  ds->SetUserName(L"BandRecords");
  auto* band = new TqvxDetailData(report);
  band->SetDataSetName(L"BandRecords");
  EXPECT_EQ(band->DataSet(), ds);
  auto* page = new TqvxReportPage(report);
  page->SetDataSet(ds);
  EXPECT_EQ(page->DataSetName(), L"BandRecords");
  delete ds;
  EXPECT_EQ(band->DataSet(), nullptr);
  EXPECT_EQ(page->DataSet(), nullptr);
  EXPECT_EQ(band->DataSetName(), L"BandRecords");
}

TEST_F(BandTest, BackgroundMemoOnlyForAVisibleBackground) {
  if (!vcl::GetClass(L"TqvxMemoView")) GTEST_SKIP() << "text objects are not linked in";
  auto* plain = new TqvxMasterData(report);
  new TqvxShapeView(plain);
  plain->CreateFillMemo();
  EXPECT_EQ(plain->FillMemo(), nullptr);
  EXPECT_EQ(plain->Objects().size(), 1u);

  auto* band = new TqvxMasterData(report);
  band->SetBounds(0, 0, 300, 40);
  auto* shape = new TqvxShapeView(band);
  band->SetFillType(ftGradient);
  dynamic_cast<TqvxGradientFill*>(band->Fill())->StartColor = 255;
  band->FillGap()->Left = 5;
  band->CreateFillMemo();
  ASSERT_NE(band->FillMemo(), nullptr);
  ASSERT_EQ(band->Objects().size(), 2u);
  EXPECT_EQ(band->Objects()[0], band->FillMemo());
  EXPECT_EQ(band->Objects()[1], shape);
  EXPECT_EQ(band->FillMemo()->FillType(), ftGradient);
  EXPECT_EQ(dynamic_cast<TqvxGradientFill*>(band->FillMemo()->Fill())->StartColor, 255);
  EXPECT_EQ(band->FillMemo()->Left(), 5);
  EXPECT_EQ(band->FillMemo()->Width(), 295);
  EXPECT_EQ(band->FillMemo()->Height(), 40);
  TqvxView* memo = band->FillMemo();
  band->CreateFillMemo();
  EXPECT_EQ(band->FillMemo(), memo);
  EXPECT_EQ(band->Objects().size(), 2u);
}

TEST_F(BandTest, BandsDrawOnlyInTheDesigner) {
  auto* band = new TqvxPageHeader(report);
  band->SetBounds(0, 0, 40, 20);
  dynamic_cast<TqvxBrushFill*>(band->Fill())->BackColor = 0x0000FF;
  vcl::TBitmap sheet(50, 30, vcl::pf32bit);
  sheet.Canvas()->Brush()->SetColor(0xFFFFFF);
  sheet.Canvas()->FillRect(vcl::TRect(0, 0, 50, 30));
  band->Draw(sheet.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(sheet.Canvas()->Pixels(10, 10) & 0xFFFFFF, 0xFFFFFFu);
  band->SetIsDesigning(true);
  band->Draw(sheet.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(sheet.Canvas()->Pixels(10, 10) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(BandTest, SubreportDrawsItsName) {
  auto* sub = new TqvxSubreport(report);
  sub->SetName(L"Sub1");
  sub->SetBounds(0, 0, 80, 30);
  vcl::TBitmap sheet(90, 40, vcl::pf32bit);
  sheet.Canvas()->Brush()->SetColor(0xFFFFFF);
  sheet.Canvas()->FillRect(vcl::TRect(0, 0, 90, 40));
  sub->Draw(sheet.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(sheet.Canvas()->Pixels(40, 25) & 0xFFFFFF, 12632256u);  // the grey background
  EXPECT_EQ(sheet.Canvas()->Pixels(0, 15) & 0xFFFFFF, 0u);          // the frame
  int dark = 0;
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 30; ++x)
      if ((sheet.Canvas()->Pixels(x, y) & 0xFF) < 0x60) ++dark;
  EXPECT_GT(dark, 5);  // the name's letters
}

TEST_F(BandTest, GroupHeaderDifferenceCarriesTheDrillName) {
  auto* tmpl = new TqvxGroupHeader(report);
  auto* printed = new TqvxGroupHeader(report);
  printed->DrillName = L"g1";
  EXPECT_EQ(printed->Diff(tmpl).find(L"DrillName"), String::npos);
  printed->DrillDown = true;
  EXPECT_NE(printed->Diff(tmpl).find(L" DrillName=\"g1\""), String::npos);
}

TEST_F(BandTest, SubreportAndItsPageKnowEachOther) {
  auto* sub = new TqvxSubreport(report);
  EXPECT_EQ(sub->Color(), 12632256);
  EXPECT_EQ(sub->Font()->Name(), L"Tahoma");
  EXPECT_EQ(sub->Font()->Size(), 8);
  EXPECT_EQ(sub->Frame()->Typ, (TqvxFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
  EXPECT_FALSE(sub->qvComponentStyle().Contains(csPreviewVisible));
  auto* page = new TqvxReportPage(report);
  sub->SetPage(page);
  EXPECT_EQ(page->SubReport(), sub);
  EXPECT_TRUE(page->IsSubReport());
  sub->Free();
  EXPECT_FALSE(page->IsSubReport());

  auto* other = new TqvxSubreport(report);
  other->SetPage(page);
  page->Free();
  EXPECT_EQ(other->Page(), nullptr);
}

TEST_F(BandTest, StoredAndReadBack) {
  auto* page = new TqvxReportPage(report);
  page->SetName(L"Page1");
  auto* child = new TqvxChild(page);
  child->SetName(L"Child1");
  auto* master = new TqvxMasterData(page);
  master->SetName(L"MasterData1");
  master->SetBounds(0, 40, 700, 20);
  master->SetChild(child);
  master->SetRowCount(3);
  master->Columns = 2;
  master->ColumnWidth = 150.5L;
  master->KeepTogether = true;
  master->Filter = L"[x] > 1";
  master->SetFillType(ftGlass);
  master->FillGap()->Top = 2;
  auto* group = new TqvxGroupHeader(page);
  group->SetName(L"GroupHeader1");
  group->Condition = L"[Tablo.Sinif]";

  TqvxXMLSerializer w(nullptr);
  const String plain = w.ObjToXML(group);
  for (const wchar_t* name : {L"AllowSplit", L"Vertical", L"DrillDown", L"StartNewPage", L"Visible"})
    EXPECT_EQ(plain.find(name), String::npos) << name << plain;
  EXPECT_NE(plain.find(L"FillType=\"ftBrush\""), String::npos) << plain;
  EXPECT_NE(plain.find(L"FillGap.Top=\"0\""), String::npos) << plain;

  rtl::TMemoryStream stream;
  page->SaveToStream(stream);
  stream.SetPosition(0);
  TqvxTestReport* other = new TqvxTestReport(nullptr);
  auto* back = new TqvxReportPage(other);
  back->LoadFromStream(stream);
  auto* m = dynamic_cast<TqvxMasterData*>(back->FindBand(TqvxMasterData::StaticClass()));
  ASSERT_NE(m, nullptr);
  ASSERT_NE(m->Child(), nullptr);
  EXPECT_EQ(m->Child()->Parent(), back);
  EXPECT_EQ(m->RowCount(), 3);
  EXPECT_EQ(m->Columns, 2);
  EXPECT_NEAR(static_cast<double>(m->ColumnWidth), 150.5, 1e-9);
  EXPECT_TRUE(m->KeepTogether);
  EXPECT_EQ(m->Filter, L"[x] > 1");
  EXPECT_EQ(m->FillType(), ftGlass);
  EXPECT_EQ(m->FillGap()->Top, 2);
  EXPECT_EQ(m->Top(), 40);
  auto* g = dynamic_cast<TqvxGroupHeader*>(back->FindBand(TqvxGroupHeader::StaticClass()));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Condition, L"[Tablo.Sinif]");
  EXPECT_EQ(back->FindBand(TqvxPageFooter::StaticClass()), nullptr);
  other->Free();
}

}  // namespace
