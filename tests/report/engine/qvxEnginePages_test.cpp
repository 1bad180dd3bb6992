// The engine writing into the prepared pages a report is made with (the pages layer's store): pages read back
// from the store as objects, a block kept together cut and pasted by the store, logical page numbers restarted by
// a group, an endless page sized by what it holds, and a prepared page drawn into a picture.
#include <gtest/gtest.h>

#include <map>

#include "platform/rtl/format.h"
#include "platform/vcl/bitmap.h"
#include "report/pages/qvxPreviewPages.h"
#include "tests/report/engine/enginefixture.h"
#include "tests/report/engine/pagepicture.h"

using rtl::String;

namespace {

struct TPageObject {
  String Band, Name, Text;
  Extended Left = 0, Top = 0, Height = 0;
};

// The objects of a prepared page as the store gives them back: bands and their text objects, positions on the
// page, texts without the line break that ends them.
std::vector<TPageObject> ObjectsOf(TqvxPreviewPages* pages, int index) {
  std::vector<TPageObject> list;
  TqvxReportPage* page = pages->GetPage(index);
  if (!page) return list;
  for (TqvxComponent* obj : page->Objects()) {
    auto* band = dynamic_cast<TqvxBand*>(obj);
    if (!band) continue;
    list.push_back({band->Name(), band->Name(), String(), band->Left(), band->Top(), band->Height()});
    for (TqvxComponent* child : band->Objects()) {
      TPageObject o{band->Name(),   child->Name(), String(), band->Left() + child->Left(), band->Top() + child->Top(),
                    child->Height()};
      if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(child)) o.Text = rtl::TrimRight(memo->Text());
      list.push_back(o);
    }
  }
  return list;
}

const TPageObject* FindText(const std::vector<TPageObject>& objects, const String& text) {
  for (const auto& o : objects)
    if (o.Text == text) return &o;
  return nullptr;
}

std::vector<const TPageObject*> BandsNamed(const std::vector<TPageObject>& objects, const String& name) {
  std::vector<const TPageObject*> list;
  for (const auto& o : objects)
    if (o.Name == name && o.Band == name) list.push_back(&o);
  return list;
}

// A page of the store drawn on a sheet with 10 mm margins, as the printer layer draws it (that layer is not part
// of this executable), and written as PNG.
bool DrawStorePage(TqvxPreviewPages* pages, int index, vcl::TBitmap& bitmap, const String& file) {
  TqvxReportPage* page = pages->GetPage(index);
  if (!page) return false;
  WhiteSheet(bitmap);
  const Extended margin = 10 * qv01cm;
  for (TqvxComponent* obj : page->GetAllObjects()) {
    auto* view = dynamic_cast<TqvxView*>(obj);
    if (!view || dynamic_cast<TqvxBand*>(obj)) continue;
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(view)) memo->TotalPages = pages->GetCount();
    view->Draw(bitmap.Canvas(), 1, 1, margin, margin);
  }
  WritePng(bitmap, file);
  return true;
}

class StorePages : public ListReport {
 protected:
  StorePages() { recordPages_ = false; }
  TqvxPreviewPages* Store() { return dynamic_cast<TqvxPreviewPages*>(report_->PreviewPages()); }
};

TEST_F(StorePages, TheListReportIsWrittenIntoTheReportsOwnStore) {
  Build();
  report_->EngineOptions()->DoublePass = true;
  const Extended bottom = PrintableHeight();
  ASSERT_NE(Store(), nullptr) << "the report is made with the pages layer's store";
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  ASSERT_EQ(Store()->GetCount(), 2);

  std::vector<String> names;
  int rows = 0;
  for (int p = 0; p < 2; ++p) {
    const auto objects = ObjectsOf(Store(), p);
    const TPageObject* header = FindText(objects, L"Öğrenci Listesi");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Top, 0);
    const TPageObject* footer = FindText(objects, L"Page " + rtl::IntToStr(p + 1) + L" of [TotalPages#]");
    ASSERT_NE(footer, nullptr) << "page " << p + 1;
    EXPECT_NEAR(static_cast<double>(footer->Top), static_cast<double>(bottom - 20), 0.01);
    EXPECT_NE(FindText(objects, L"2 sayfa"), nullptr);
    for (const auto& o : objects)
      if (o.Name == L"AdSoyad") {
        names.push_back(o.Text);
        ++rows;
      }
  }
  ASSERT_EQ(rows, static_cast<int>(Students.size()));
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], Students[i].Name + L" " + Students[i].Surname);
  const auto last = ObjectsOf(Store(), 1);
  int total = 0;
  for (const TStudent& s : Students) total += s.Score;
  EXPECT_NE(FindText(last, L"Genel toplam " + rtl::IntToStr(total) + L" (" + rtl::IntToStr(Students.size()) + L")"),
            nullptr);
}

TEST_F(StorePages, AKeptBlockIsCutAndPastedByTheStore) {
  auto* master = Band<TqvxMasterData>(L"MasterData1", 0, 40);
  master->SetDataSet(classes_);
  master->KeepTogether = true;
  Memo(master, L"SinifAdi", L"[Sinif.\"ad\"]", 0, 400);
  auto* detail = Band<TqvxDetailData>(L"DetailData1", 50, 20);
  detail->SetDataSet(students_);
  Memo(detail, L"Ad", L"[Ogrenci.\"Adı\"]", 20, 300);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  ASSERT_EQ(Store()->GetCount(), 2);
  const auto page1 = ObjectsOf(Store(), 0);
  const auto page2 = ObjectsOf(Store(), 1);
  EXPECT_EQ(BandsNamed(page1, L"MasterData1").size(), 2u);
  EXPECT_EQ(BandsNamed(page1, L"DetailData1").size(), 38u);
  ASSERT_EQ(BandsNamed(page2, L"MasterData1").size(), 1u);
  EXPECT_EQ(BandsNamed(page2, L"MasterData1")[0]->Top, 0);
  const auto rows = BandsNamed(page2, L"DetailData1");
  ASSERT_EQ(rows.size(), 22u);
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_NEAR(static_cast<double>(rows[i]->Top), 40 + 20.0 * i, 0.01);
  EXPECT_NE(FindText(page2, L"Onuncu sınıf Ç şubesi"), nullptr);
  EXPECT_EQ(FindText(page1, L"Onuncu sınıf Ç şubesi"), nullptr);
  EXPECT_NEAR(static_cast<double>(Store()->GetLastY(0)), 40 + 22 * 20.0, 0.01);
}

TEST_F(StorePages, AGroupStartingANewPageRestartsThePageNumbers) {
  studentQuery_->SetSQLText(
      L"select öğrenciler.* from öğrenciler join sınıflar on sınıflar.kod = öğrenciler.sinif "
      L"order by sınıflar.sıra, no");
  students_->Master = nullptr;
  auto* group = Band<TqvxGroupHeader>(L"GroupHeader1", 0, 30);
  group->Condition = L"Ogrenci.\"sinif\"";
  group->StartNewPage = true;
  group->ResetPageNumbers = true;
  Memo(group, L"Sinif", L"[Ogrenci.\"sinif\"]", 0, 200);
  auto* data = Band<TqvxMasterData>(L"MasterData1", 40, 30);
  data->SetDataSet(students_);
  Memo(data, L"Ad", L"[Ogrenci.\"Adı\"]", 0, 300);
  auto* footer = Band<TqvxPageFooter>(L"PageFooter1", 100, 20);
  Memo(footer, L"No", L"Sayfa [Page] / [Page#]", 0, 300);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  // 18, 20 and 22 rows of 30 under a 30 header: 570, 630 and 690 units, each class on a page of its own.
  ASSERT_EQ(Store()->GetCount(), 3);
  const wchar_t* classes[] = {L"9-A", L"9-B", L"10-Ç"};
  for (int p = 0; p < 3; ++p) {
    const auto objects = ObjectsOf(Store(), p);
    const TPageObject* first = FindText(objects, classes[p]);
    ASSERT_NE(first, nullptr) << p;
    EXPECT_EQ(first->Top, 0);
    EXPECT_NE(FindText(objects, L"Sayfa 1 / " + rtl::IntToStr(p + 1)), nullptr) << p;
  }
}

TEST_F(StorePages, AnEndlessPageIsAsTallAsWhatItHolds) {
  page_->EndlessHeight = true;
  auto* data = Band<TqvxMasterData>(L"MasterData1", 0, 25);
  data->SetDataSet(students_);
  students_->Master = nullptr;
  studentQuery_->SetSQLText(L"select * from öğrenciler order by no");
  Memo(data, L"Ad", L"[Ogrenci.\"Adı\"]", 0, 300);
  auto* footer = Band<TqvxPageFooter>(L"PageFooter1", 100, 20);
  Memo(footer, L"Son", L"Son", 0, 300);
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  // 60 rows of 25 are taller than an A4 page: one page all the same, its paper as tall as the rows, the footer
  // and the margins.
  ASSERT_EQ(Store()->GetCount(), 1);
  const auto objects = ObjectsOf(Store(), 0);
  EXPECT_EQ(BandsNamed(objects, L"MasterData1").size(), 60u);
  const TPageObject* last = FindText(objects, L"Son");
  ASSERT_NE(last, nullptr);
  EXPECT_NEAR(static_cast<double>(last->Top), 60 * 25.0, 0.01);
  const TqvxPoint size = Store()->GetPageSize(0);
  EXPECT_NEAR(static_cast<double>(size.Y), static_cast<double>(60 * 25 + 20 + 20 * qv01cm), 1.0);
  EXPECT_NEAR(static_cast<double>(size.X), static_cast<double>(210 * qv01cm), 1.0);
}

TEST_F(StorePages, APreparedPageDrawnIntoAPicture) {
  Build();
  report_->EngineOptions()->DoublePass = true;
  ASSERT_TRUE(Prepare());
  const int height = kSheetHeight;
  vcl::TBitmap bitmap;
  ASSERT_TRUE(DrawStorePage(Store(), 0, bitmap, L"engine_store_page1.png"));
  const Extended margin = 10 * qv01cm;
  auto ink = [&](int x0, int y0, int x1, int y1) { return InkIn(bitmap, x0, y0, x1, y1); };
  const int footerTop = static_cast<int>(margin + PrintableHeight() - 20);
  EXPECT_GT(ink(38, 38, 200, 60), 20) << "the page header";
  EXPECT_GT(ink(38 + 500, footerTop, 38 + 700, footerTop + 20), 20) << "the page number";
  EXPECT_EQ(ink(0, 0, 30, height), 0) << "the left margin";
}

TEST_F(StorePages, ASubReportPrintedOnItsBandIsStoredInsideTheBand) {
  auto* master = Band<TqvxMasterData>(L"MasterData1", 0, 30);
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
  ASSERT_TRUE(Prepare()) << rtl::StringToUTF8(report_->Errors()->Text());
  vcl::TBitmap bitmap;
  for (int p = 0; p < Store()->GetCount(); ++p)
    DrawStorePage(Store(), p, bitmap, L"engine_store_subreport_" + rtl::IntToStr(p + 1) + L".png");
  // Bands of 30 + 20 a student: 390 and 430 on page 1 (to 820), the third (470) on page 2.
  ASSERT_EQ(Store()->GetCount(), 2);
  const wchar_t* classes[] = {L"9-A", L"9-B", L"10-Ç"};
  const int pageOf[] = {0, 0, 1};
  const Extended topOf[] = {0, 390, 0};
  size_t printed = 0;
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(rtl::StringToUTF8(classes[c]));
    const auto objects = ObjectsOf(Store(), pageOf[c]);
    EXPECT_TRUE(BandsNamed(objects, L"MasterData2").empty());
    const TPageObject* band = nullptr;
    for (const TPageObject* b : BandsNamed(objects, L"MasterData1"))
      if (b->Top == topOf[c]) band = b;
    ASSERT_NE(band, nullptr);
    const auto students = Of(classes[c]);
    EXPECT_EQ(band->Height, 30 + 20.0L * static_cast<Extended>(students.size()));
    // The rows by their place and text: the store names the objects it took in as it likes.
    std::vector<const TPageObject*> lines;
    for (const auto& o : objects)
      if (o.Band == L"MasterData1" && o.Left == 20 && !o.Text.empty() && o.Top >= band->Top &&
          o.Top < band->Top + band->Height)
        lines.push_back(&o);
    ASSERT_EQ(lines.size(), students.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i]->Band, L"MasterData1");
      EXPECT_EQ(lines[i]->Left, 20);
      EXPECT_EQ(lines[i]->Top, band->Top + 30 + 20.0L * static_cast<Extended>(i));
      EXPECT_EQ(lines[i]->Text, students[i].Name + L" " + students[i].Surname);
    }
    printed += lines.size();
  }
  EXPECT_EQ(printed, Students.size());
}

}  // namespace
