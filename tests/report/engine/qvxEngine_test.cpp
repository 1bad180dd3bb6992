// The engine over a real SQLite file: a master-detail list with groups and totals over pages with page headers
// and footers, keep-together, columns, a memo split over pages, a sub-report and a vertical band; and what a run
// does with errors and with the screen's record.
#include "report/engine/qvxEngine.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "platform/rtl/format.h"
#include "report/engine/qvxReportRun.h"
#include "report/model/qvxVariables.h"
#include "tests/report/engine/enginefixture.h"

using rtl::String;
using rtl::Variant;

namespace {

String Num(double v) { return rtl::FloatToStr(v); }

TEST_F(ListReport, MasterDetailWithGroupsTotalsAndPageNumbersOverTwoPasses) {
  Build();
  report_->EngineOptions()->DoublePass = true;
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());

  // What each page must hold, worked out from the data.
  std::vector<String> expected;
  std::map<std::wstring, std::vector<TStudent>> byClass;
  for (const TStudent& s : Students) byClass[s.Class].push_back(s);
  int total = 0;
  for (const wchar_t* cls : {L"9-A", L"9-B", L"10-Ç"}) {
    const auto& list = byClass[cls];
    int sum = 0, mn = 1000, mx = 0;
    for (const auto& s : list) {
      sum += s.Score;
      mn = std::min(mn, s.Score);
      mx = std::max(mx, s.Score);
    }
    total += sum;
    std::map<std::wstring, std::pair<int, int>> groups;  // gender: count, sum
    for (const auto& s : list) {
      groups[s.Gender].first++;
      groups[s.Gender].second += s.Score;
    }
    for (const auto& [gender, cs] : groups)
      expected.push_back(rtl::IntToStr(cs.first) + L" öğrenci, toplam " + rtl::IntToStr(cs.second));
    expected.push_back(L"Toplam " + rtl::IntToStr(sum) + L" ort. " + Num(static_cast<double>(sum) / list.size()) +
                       L" en az " + rtl::IntToStr(mn) + L" en çok " + rtl::IntToStr(mx) + L" sayı " +
                       rtl::IntToStr(static_cast<int>(list.size())));
  }
  expected.push_back(L"Genel toplam " + rtl::IntToStr(total) + L" (" + rtl::IntToStr(Students.size()) + L")");

  const int count = pages_->GetCount();
  // Three classes of 448, 484 and 520 units with the summary's 20 on pages of 997 between header and footer.
  ASSERT_EQ(count, 2);
  std::vector<String> totals;
  std::vector<String> rows;
  const Extended bottom = PrintableHeight();
  for (int p = 0; p < count; ++p) {
    const TRecordedPage& page = pages_->Pages[p];
    const auto texts = page.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), L"Öğrenci Listesi") << "page " << p + 1;
    const TRecordedObject* header = page.Find(L"Öğrenci Listesi");
    EXPECT_EQ(header->Top, 0);
    // The page footer sits at the bottom of the printable area; its page count comes from the first pass.
    const TRecordedObject* footer = page.Find(L"Page " + rtl::IntToStr(p + 1) + L" of [TotalPages#]");
    ASSERT_NE(footer, nullptr) << "page " << p + 1;
    EXPECT_NEAR(static_cast<double>(footer->Top), static_cast<double>(bottom - 20), 0.01);
    EXPECT_NE(page.Find(L"2 sayfa"), nullptr);
    // Nothing runs into the footer.
    for (const auto& o : page.Objects) {
      if (o.Band != L"PageFooter1" && o.Name != L"PageFooter1") {
        EXPECT_LE(o.Bottom(), bottom - 20 + 0.01);
      }
    }
    for (const auto& t : texts)
      if (t.find(L"öğrenci, toplam") != String::npos || t.rfind(L"Toplam ", 0) == 0 || t.rfind(L"Genel", 0) == 0)
        totals.push_back(t);
    for (const auto& o : page.Objects)
      if (o.Name == L"AdSoyad") rows.push_back(o.Text);
  }
  EXPECT_EQ(totals, expected);
  ASSERT_EQ(rows.size(), Students.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], Students[i].Name + L" " + Students[i].Surname);

  // Detail rows follow one another 18 units apart inside a group.
  const TRecordedPage& first = pages_->Pages[0];
  std::vector<Extended> tops;
  for (const auto& o : first.Objects)
    if (o.Name == L"DetailData1") tops.push_back(o.Top);
  ASSERT_GE(tops.size(), 3u);
  EXPECT_NEAR(static_cast<double>(tops[1] - tops[0]), 18, 0.01);
  // The first class: its name right under the page header, then its first group.
  EXPECT_EQ(first.Texts()[1], L"Dokuzuncu sınıf A şubesi");
  EXPECT_EQ(first.Find(L"Dokuzuncu sınıf A şubesi")->Top, 30);
  EXPECT_EQ(first.Texts()[2], L"Erkek");
}

TEST_F(ListReport, PagesDrawnIntoABitmap) {
  Build();
  report_->EngineOptions()->DoublePass = true;
  ASSERT_TRUE(Prepare());
  ASSERT_EQ(pages_->GetCount(), 2);
  vcl::TBitmap bitmap;
  const int margin = static_cast<int>(10 * qv01cm);
  for (int p = 0; p < 2; ++p) {
    WhiteSheet(bitmap);
    pages_->DrawPage(p, bitmap.Canvas(), 1, 1, 10 * qv01cm, 10 * qv01cm);
    WritePng(bitmap, L"engine_list_" + rtl::IntToStr(p + 1) + L".png");
    // Ink where the header's text stands and where the page number stands, none in the empty margin.
    EXPECT_GT(InkIn(bitmap, margin, margin, margin + 160, margin + 22), 20) << "page " << p + 1;
    const int footerTop = margin + static_cast<int>(PrintableHeight()) - 20;
    EXPECT_GT(InkIn(bitmap, margin + 500, footerTop, margin + 700, footerTop + 20), 20) << "page " << p + 1;
    EXPECT_EQ(InkIn(bitmap, 0, 0, margin - 8, kSheetHeight), 0) << "page " << p + 1;
  }
  // Read back, the picture is the one drawn.
  vcl::TPngImage png;
  png.LoadFromFile(L"engine_list_2.png");
  EXPECT_EQ(png.Width(), kSheetWidth);
  EXPECT_EQ(png.Height(), kSheetHeight);
}

// ---------------------------------------------------------------------------------------------------------------
// Keep-together, columns, splitting, sub-reports, vertical bands

TEST_F(EngineFixture, ABlockKeptTogetherMovesWholeToTheNextPage) {
  auto* master = Band<TqvxMasterData>(L"MasterData1", 0, 40);
  master->SetDataSet(classes_);
  master->KeepTogether = true;
  Memo(master, L"SinifAdi", L"[Sinif.\"ad\"]", 0, 400);
  auto* detail = Band<TqvxDetailData>(L"DetailData1", 50, 20);
  detail->SetDataSet(students_);
  Memo(detail, L"Ad", L"[Ogrenci.\"Adı\"]", 20, 300);
  // 40 + 18*20 = 400 for the first class, 40 + 20*20 = 440 for the second, 40 + 22*20 = 480 for the third: the
  // third does not fit under the first two on a page of 1047.
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  ASSERT_EQ(pages_->GetCount(), 2);
  const TRecordedPage& page1 = pages_->Pages[0];
  const TRecordedPage& page2 = pages_->Pages[1];
  EXPECT_EQ(page1.Bands(L"MasterData1").size(), 2u);
  EXPECT_EQ(page1.Bands(L"DetailData1").size(), 38u);
  ASSERT_EQ(page2.Bands(L"MasterData1").size(), 1u);
  EXPECT_EQ(page2.Bands(L"DetailData1").size(), 22u);
  // The moved block starts at the top of the new page, its rows in order below it.
  EXPECT_EQ(page2.Bands(L"MasterData1")[0]->Top, 0);
  EXPECT_EQ(page2.Texts()[0], L"Onuncu sınıf Ç şubesi");
  EXPECT_EQ(page2.Bands(L"DetailData1")[0]->Top, 40);
  EXPECT_GE(pages_->Cuts, 1);
  // Page one ends where the second block ended.
  EXPECT_NEAR(static_cast<double>(page1.Bands(L"DetailData1").back()->Bottom()), 840, 0.01);
}

TEST_F(EngineFixture, RowsContinueInTheNextColumnOfThePage) {
  page_->SetColumns(2);
  auto* header = Band<TqvxPageHeader>(L"PageHeader1", 0, 40);
  Memo(header, L"Baslik", L"Sınıf listeleri", 0, 300);
  auto* data = Band<TqvxMasterData>(L"MasterData1", 50, 30);
  data->SetDataSet(students_);
  Memo(data, L"Ad", L"[Ogrenci.\"no\"] [Ogrenci.\"Adı\"]", 0, 300);
  studentQuery_->SetSQLText(L"select * from öğrenciler order by no");
  students_->Master = nullptr;
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  // (1047 - 40) / 30 = 33 rows a column, 66 a page: 60 students fill one page.
  ASSERT_EQ(pages_->GetCount(), 1);
  const auto rows = pages_->Pages[0].Bands(L"MasterData1");
  ASSERT_EQ(rows.size(), 60u);
  const Extended column2 = 95 * qv01cm;  // (210 - 20) / 2 mm
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t inColumn = i % 33;
    EXPECT_NEAR(static_cast<double>(rows[i]->Left), i < 33 ? 0.0 : static_cast<double>(column2), 0.01) << i;
    EXPECT_NEAR(static_cast<double>(rows[i]->Top), 40.0 + 30.0 * inColumn, 0.01) << i;
  }
  EXPECT_EQ(pages_->Pages[0].Bands(L"PageHeader1").size(), 1u);
}

TEST_F(EngineFixture, AStretchedMemoIsSplitOverThreePages) {
  auto* header = Band<TqvxPageHeader>(L"PageHeader1", 0, 30);
  Memo(header, L"Baslik", L"Görüşme notları", 0, 300);
  auto* data = Band<TqvxMasterData>(L"MasterData1", 40, 40);
  data->SetRowCount(1);
  data->AllowSplit = true;
  data->Stretched = true;
  String text;
  for (int i = 1; i <= 160; ++i) text += L"Satır " + rtl::IntToStr(i) + L": öğrencinin ağır çalışması ışıklı\r\n";
  auto* memo = Memo(data, L"Notlar", text, 0, 600);
  memo->StretchMode = smActualHeight;
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  ASSERT_EQ(pages_->GetCount(), 3);
  String joined;
  for (int p = 0; p < 3; ++p) {
    const TRecordedPage& page = pages_->Pages[p];
    const TRecordedObject* part = nullptr;
    for (const auto& o : page.Objects)
      if (o.Name == L"Notlar") part = &o;
    ASSERT_NE(part, nullptr) << "page " << p + 1;
    EXPECT_EQ(part->Top, 30) << "each part starts under the page header";
    EXPECT_LE(part->Bottom(), PrintableHeight() + 0.01);
    EXPECT_EQ(page.Texts()[0], L"Görüşme notları");
    joined += part->Text;
    if (!joined.empty() && joined.back() != L'\n') joined += L"\r\n";
  }
  EXPECT_EQ(joined, text);
}

TEST_F(EngineFixture, ASubReportPrintsBesideItsBand) {
  auto* title = Band<TqvxReportTitle>(L"ReportTitle1", 0, 60);
  Memo(title, L"Baslik", L"Sınıflar ve öğrenci sayıları", 0, 250);
  auto* subPage = NewPage(L"Page2");
  auto* sub = new TqvxSubreport(title);
  sub->SetName(L"Subreport1");
  sub->SetBounds(300, 20, 300, 30);
  sub->SetPage(subPage);
  auto* rows = Band<TqvxMasterData>(L"MasterData2", 0, 22, subPage);
  rows->SetDataSet(classes_);
  Memo(rows, L"Kod", L"[Sinif.\"kod\"]", 0, 60);
  Memo(rows, L"Ad", L"[Sinif.\"ad\"]", 70, 220);
  auto* after = Band<TqvxMasterData>(L"MasterData1", 80, 20);
  after->SetRowCount(1);
  Memo(after, L"Son", L"Liste sonu", 0, 200);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  ASSERT_EQ(pages_->GetCount(), 1);
  const TRecordedPage& page = pages_->Pages[0];
  const auto lines = page.Bands(L"MasterData2");
  ASSERT_EQ(lines.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i]->Left, 300);
    EXPECT_EQ(lines[i]->Top, 20 + 22.0L * i);
  }
  EXPECT_EQ(page.Find(L"10-Ç")->Left, 300);
  EXPECT_EQ(page.Find(L"Onuncu sınıf Ç şubesi")->Left, 370);
  // Printing goes on below the longer of the band and its sub-report.
  EXPECT_EQ(page.Find(L"Liste sonu")->Top, 86);
}

// The page of a sub-report printed on its band goes into the band: the band grows over the sub-report's rows
// and moves to the next page whole when it no longer fits; the rows are not bands of their own on the page.
TEST_F(EngineFixture, ASubReportPrintedOnItsBandGrowsTheBand) {
  auto* header = Band<TqvxPageHeader>(L"PageHeader1", 0, 30);
  Memo(header, L"Baslik", L"Sınıf listeleri", 0, 300);
  auto* master = Band<TqvxMasterData>(L"MasterData1", 40, 30);
  master->SetDataSet(classes_);
  master->Stretched = true;
  Memo(master, L"SinifAdi", L"[Sinif.\"ad\"]", 0, 300, 0, 24);
  auto* subPage = NewPage(L"Page2");
  auto* sub = new TqvxSubreport(master);
  sub->SetName(L"Subreport1");
  sub->SetBounds(20, 30, 500, 20);
  sub->SetPage(subPage);
  sub->PrintOnParent = true;
  auto* rows = Band<TqvxMasterData>(L"MasterData2", 0, 20, subPage);
  rows->SetDataSet(students_);
  Memo(rows, L"Ad", L"[Ogrenci.\"Adı\"] [Ogrenci.\"Soyadı\"]", 0, 250);
  Memo(rows, L"Puan", L"[Ogrenci.\"puan\"]", 300, 60);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  vcl::TBitmap bitmap;
  DrawPages(L"engine_subreport_on_band", bitmap);

  // Bands of 30 + 20 a student: 390 and 430 under the header on page 1 (to 850); 470 more do not fit there.
  ASSERT_EQ(pages_->GetCount(), 2);
  const wchar_t* classes[] = {L"9-A", L"9-B", L"10-Ç"};
  const wchar_t* names[] = {L"Dokuzuncu sınıf A şubesi", L"Dokuzuncu sınıf B şubesi", L"Onuncu sınıf Ç şubesi"};
  const int pageOf[] = {0, 0, 1};
  const Extended topOf[] = {30, 420, 30};
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(rtl::StringToUTF8(classes[c]));
    const TRecordedPage& page = pages_->Pages[static_cast<size_t>(pageOf[c])];
    const auto students = Of(classes[c]);
    const TRecordedObject* name = page.Find(names[c]);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Top, topOf[c]);
    const TRecordedObject* band = nullptr;
    for (const TRecordedObject* b : page.Bands(L"MasterData1"))
      if (b->Top == topOf[c]) band = b;
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Height, 30 + 20.0L * static_cast<Extended>(students.size()));
    for (size_t i = 0; i < students.size(); ++i) {
      const TRecordedObject* row = page.Find(students[i].Name + L" " + students[i].Surname);
      ASSERT_NE(row, nullptr) << i;
      // Names repeat among the students: the row is the one at its place.
      const Extended top = topOf[c] + 30 + 20.0L * static_cast<Extended>(i);
      bool found = false;
      for (const auto& o : page.Objects)
        if (o.Name == L"Ad" && o.Top == top) {
          found = true;
          EXPECT_EQ(o.Band, L"MasterData1");
          EXPECT_EQ(o.Left, 20);
          EXPECT_EQ(o.Text, students[i].Name + L" " + students[i].Surname);
        }
      EXPECT_TRUE(found) << i;
    }
  }
  size_t rowsPrinted = 0;
  for (const TRecordedPage& page : pages_->Pages) {
    EXPECT_TRUE(page.Bands(L"MasterData2").empty()) << "the sub-report's rows belong to the band";
    EXPECT_EQ(page.Texts().front(), L"Sınıf listeleri");
    for (const auto& o : page.Objects)
      if (o.Name == L"Puan") ++rowsPrinted;
  }
  EXPECT_EQ(rowsPrinted, Students.size());
  // The copies the band took in for printing are gone again: the report holds what it was built with.
  EXPECT_EQ(dynamic_cast<TqvxBand*>(report_->FindObject(L"MasterData1"))->Objects().size(), 2u);
}

// A sub-report beside its band runs at its own pace: its rows go on over the page's footer onto the next page at
// the sub-report's left, and the bands after it print below its last row.
TEST_F(EngineFixture, ASubReportBesideItsBandContinuesOnTheNextPage) {
  auto* pageFooter = Band<TqvxPageFooter>(L"PageFooter1", 300, 20);
  Memo(pageFooter, L"Sayfa", L"Sayfa [Page#]", 0, 200);
  auto* master = Band<TqvxMasterData>(L"MasterData1", 0, 24);
  master->SetDataSet(classes_);
  Memo(master, L"Kod", L"[Sinif.\"kod\"]", 0, 200);
  auto* subPage = NewPage(L"Page2");
  auto* sub = new TqvxSubreport(master);
  sub->SetName(L"Subreport1");
  sub->SetBounds(300, 0, 300, 24);
  sub->SetPage(subPage);
  auto* rows = Band<TqvxMasterData>(L"MasterData2", 0, 20, subPage);
  rows->SetDataSet(students_);
  Memo(rows, L"Ad", L"[Ogrenci.\"no\"] [Ogrenci.\"Adı\"]", 0, 250);
  auto* summary = Band<TqvxReportSummary>(L"ReportSummary1", 200, 20);
  Memo(summary, L"Son", L"Liste sonu", 0, 200);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  vcl::TBitmap bitmap;
  DrawPages(L"engine_subreport_beside", bitmap);

  // Each class band starts where the rows of the one before ended: 0, 360, 760. The third class's rows fill
  // page 1 down to the footer (13 rows to 1020) and the other 9 go to the top of page 2.
  ASSERT_EQ(pages_->GetCount(), 2);
  const Extended footerTop = PrintableHeight() - 20;
  const int onFirst = static_cast<int>((footerTop - 760) / 20);
  ASSERT_EQ(onFirst, 13);
  std::vector<std::pair<int, Extended>> expected;  // page and top of each row, in the order of the students
  Extended y = 0;
  for (const wchar_t* cls : {L"9-A", L"9-B", L"10-Ç"}) {
    const auto students = Of(cls);
    for (size_t i = 0; i < students.size(); ++i) {
      if (y + 20 > footerTop) y = 0;
      expected.emplace_back(expected.size() < static_cast<size_t>(18 + 20 + onFirst) ? 0 : 1, y);
      y += 20;
    }
  }
  std::vector<std::pair<int, Extended>> actual;
  std::vector<String> texts;
  for (int p = 0; p < 2; ++p)
    for (const auto& o : pages_->Pages[static_cast<size_t>(p)].Objects)
      if (o.Name == L"Ad") {
        actual.emplace_back(p, o.Top);
        texts.push_back(o.Text);
        EXPECT_EQ(o.Left, 300);
        EXPECT_EQ(o.Band, L"MasterData2");
        EXPECT_LE(o.Bottom(), footerTop + 0.01);
      }
  EXPECT_EQ(actual, expected);
  ASSERT_EQ(texts.size(), Students.size());
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(texts[i], rtl::IntToStr(Students[i].No) + L" " + Students[i].Name) << i;
  const TRecordedPage& page1 = pages_->Pages[0];
  const TRecordedPage& page2 = pages_->Pages[1];
  EXPECT_EQ(page1.Find(L"9-A")->Top, 0);
  EXPECT_EQ(page1.Find(L"9-B")->Top, 360);
  EXPECT_EQ(page1.Find(L"10-Ç")->Top, 760);
  EXPECT_EQ(page1.Find(L"10-Ç")->Left, 0);
  EXPECT_NEAR(static_cast<double>(page1.Find(L"Sayfa 1")->Top), static_cast<double>(footerTop), 0.01);
  EXPECT_NEAR(static_cast<double>(page2.Find(L"Sayfa 2")->Top), static_cast<double>(footerTop), 0.01);
  const TRecordedObject* last = page2.Find(L"Liste sonu");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->Left, 0);
  EXPECT_EQ(last->Top, 20 * (22 - onFirst));
  EXPECT_EQ(page1.Find(L"Liste sonu"), nullptr);
}

// A vertical band: the model makes none (Vertical stays False), so the test makes one.
class TVerticalData : public TqvxMasterData {
 public:
  explicit TVerticalData(vcl::TComponent* owner) : TqvxMasterData(owner) { FVertical = true; }
};

TEST_F(EngineFixture, AVerticalBandLaysARowsCellsAcrossThePage) {
  report_->EngineOptions()->DestroyForms = false;
  auto* rows = Band<TqvxMasterData>(L"MasterData1", 40, 24);
  rows->SetDataSet(students_);
  rows->SetRowCount(3);
  studentQuery_->SetSQLText(L"select * from öğrenciler order by no");
  students_->Master = nullptr;
  Memo(rows, L"Ad", L"[Ogrenci.\"Adı\"]", 0, 150);
  Memo(rows, L"Hucre", L"[Ogrenci.\"no\"]/[Sinif.\"kod\"]", 200, 100);
  auto* columns = new TVerticalData(page_);
  columns->SetName(L"VerticalData1");
  columns->SetLeft(200);
  columns->SetWidth(100);
  columns->SetDataSet(classes_);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  ASSERT_EQ(pages_->GetCount(), 1);
  const TRecordedPage& page = pages_->Pages[0];
  const auto bands = page.Bands(L"MasterData1");
  ASSERT_EQ(bands.size(), 3u);
  const wchar_t* codes[] = {L"9-A", L"9-B", L"10-Ç"};
  for (int r = 0; r < 3; ++r) {
    const int no = r + 1;
    for (int c = 0; c < 3; ++c) {
      const TRecordedObject* cell = page.Find(rtl::IntToStr(no) + L"/" + codes[c]);
      ASSERT_NE(cell, nullptr) << r << "," << c;
      EXPECT_EQ(cell->Left, 200 + 100 * c);
      EXPECT_EQ(cell->Top, 24 * r);
    }
  }
}

// ---------------------------------------------------------------------------------------------------------------
// A run and the screen, errors and cycles

TEST_F(ListReport, TheScreensRecordIsTheOneItHadBeforePrinting) {
  Build();
  classQuery_->Open();
  classQuery_->Next();
  ASSERT_EQ(classQuery_->FieldByName(L"kod")->AsString(), L"9-B");
  ASSERT_TRUE(Prepare());
  EXPECT_EQ(classQuery_->FieldByName(L"kod")->AsString(), L"9-B");
  EXPECT_GT(pages_->GetCount(), 0);
}

TEST_F(ListReport, AFailedRunReportsItsErrorsAndKeepsNoPages) {
  struct TCase {
    const wchar_t* Text;
    const wchar_t* Error;
  } cases[] = {
      {L"[1 +]", L"AdSoyad: Error in expression '1 +'"},
      {L"[Ogrenci.\"yok\"]", L"Field not found: Ogrenci.\"yok\""},
      {L"[X]", L"X"},
      // Each names the other twice (names a script does not know): the search for totals through the variables
      // ends at once instead of doubling at every level, and the run ends with the script's complaint.
      {L"[Z]", L"Error in expression 'W + W'"},
  };
  Build();
  report_->Variables()->SetVariable(L"X", Variant(String(L"Get('Y')")));
  report_->Variables()->SetVariable(L"Y", Variant(String(L"Get('X')")));
  report_->Variables()->SetVariable(L"Z", Variant(String(L"W + W")));
  report_->Variables()->SetVariable(L"W", Variant(String(L"Z + Z")));
  for (const TCase& c : cases) {
    dynamic_cast<TqvxMemoView*>(report_->FindObject(L"AdSoyad"))->SetText(c.Text);
    EXPECT_FALSE(Prepare()) << rtl::StringToUTF8(c.Text);
    EXPECT_EQ(pages_->GetCount(), 0);
    EXPECT_NE(report_->Errors()->Text().find(c.Error), String::npos) << rtl::StringToUTF8(report_->Errors()->Text());
    // The snapshot put the design text back.
    EXPECT_EQ(dynamic_cast<TqvxMemoView*>(report_->FindObject(L"AdSoyad"))->Text(), String(c.Text) + L"\r\n");
  }
}

TEST_F(ListReport, ADatasetThatCannotOpenEndsTheRunWithItsMessage) {
  Build();
  studentQuery_->SetSQLText(L"select * from olmayan_tablo");
  report_->EngineOptions()->NewSilentMode = simReThrow;
  try {
    Prepare();
    FAIL() << "the run succeeded";
  } catch (const rtl::Exception& e) {
    EXPECT_NE(e.Message().find(L"The following error(s) have occured:"), String::npos);
    EXPECT_NE(e.Message().find(L"olmayan_tablo"), String::npos) << rtl::StringToUTF8(e.Message());
  }
  EXPECT_EQ(pages_->GetCount(), 0);
}

TEST_F(ListReport, BandsOutOfPlaceAreRefusedBeforeAnythingPrints) {
  Build();
  auto* stray = Band<TqvxSubdetailData>(L"SubdetailData1", 20, 10);
  stray->SetDataSet(classes_);
  auto* lone = Band<TqvxGroupFooter>(L"GroupFooter9", 300, 10);
  (void)lone;
  EXPECT_FALSE(Prepare());
  const String errors = report_->Errors()->Text();
  EXPECT_NE(errors.find(L"Incorrect band position: SubdetailData1"), String::npos) << rtl::StringToUTF8(errors);
  EXPECT_NE(errors.find(L"No group header for GroupFooter9"), String::npos) << rtl::StringToUTF8(errors);
  EXPECT_EQ(pages_->GetCount(), 0);
}

TEST_F(ListReport, CancellingBeforeTheEngineStartsPreparesNothing) {
  Build();
  report_->OnBeginDoc = [this](rtl::TObject*) { report_->SetTerminated(true); };
  EXPECT_FALSE(Prepare());
  EXPECT_EQ(report_->Errors()->Count(), 0);
  EXPECT_EQ(pages_->GetCount(), 0);
}

TEST_F(ListReport, CancellingDuringTheRunStopsItWithoutSuccess) {
  Build();
  // What the preview's cancel does while the pages are being made: the run stops at its next check.
  int rows = 0;
  report_->OnBeforePrint = [&](TqvxReportComponent* sender) {
    if (sender->Name() == L"DetailData1" && ++rows == 25) report_->SetTerminated(true);
  };
  EXPECT_FALSE(Prepare());
  EXPECT_EQ(report_->Errors()->Count(), 0);
  int printed = 0;
  for (const TRecordedPage& page : pages_->Pages) printed += static_cast<int>(page.Bands(L"DetailData1").size());
  EXPECT_EQ(printed, 25);
  // The first class (18 rows) was closed; the walk unwinds without closing the second, which it interrupted.
  int footers = 0;
  for (const TRecordedPage& page : pages_->Pages) footers += static_cast<int>(page.Bands(L"Footer1").size());
  EXPECT_EQ(footers, 1);
}

}  // namespace
