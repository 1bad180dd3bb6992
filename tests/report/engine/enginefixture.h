#pragma once
// Reports built in code over a real SQLite file with Turkish text: three classes and their students. The engine
// writes into a recording store (recordingpages.h), so each test reads its prepared pages object by object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "tests/common/database.h"
#include "tests/common/tempdir.h"
#include "tests/report/engine/pagepicture.h"
#include "tests/report/engine/recordingpages.h"

struct TStudent {
  int No;
  std::wstring Name, Surname, Class, Gender;
  int Score;
};

// The students of one class only: the dataset follows the class the master band stands on.
class TClassStudents : public TqvxDBDataset {
 public:
  using TqvxDBDataset::TqvxDBDataset;
  void First() override {
    if (Master && GetDataSet()) {
      GetDataSet()->SetFilter(L"sinif='" + rtl::VarToStr(Master->GetValue(L"kod")) + L"'");
      GetDataSet()->SetFiltered(true);
    }
    TqvxDBDataset::First();
  }
  TqvxDataSet* Master = nullptr;
};

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const wchar_t* names[] = {L"Şükrü", L"İpek", L"Çağla", L"Ömer", L"Gülşen", L"Ilgın", L"Ümit", L"Doğan"};
    const wchar_t* surnames[] = {L"Işık", L"Öztürk", L"Çelik", L"Güneş", L"Şahin", L"Yıldız", L"Aydın"};
    const wchar_t* classes[] = {L"9-A", L"9-B", L"10-Ç"};
    std::string sql =
        "create table sınıflar(kod text primary key, ad text, sıra integer);"
        "insert into sınıflar values ('9-A', 'Dokuzuncu sınıf A şubesi', 1);"
        "insert into sınıflar values ('9-B', 'Dokuzuncu sınıf B şubesi', 2);"
        "insert into sınıflar values ('10-Ç', 'Onuncu sınıf Ç şubesi', 3);"
        "create table öğrenciler(no integer primary key, Adı varchar(30), Soyadı varchar(30), sinif varchar(10), "
        "cinsiyet varchar(10), puan integer);";
    int no = 1;
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < 18 + 2 * c; ++i, ++no) {
        TStudent s{no,
                   names[(no * 3) % 8],
                   surnames[(no * 5) % 7],
                   classes[c],
                   i % 3 == 0 ? L"Erkek" : L"Kız",
                   40 + (no * 37) % 61};
        Students.push_back(s);
      }
    // Ordered by class, then gender, then number, as the report shows them.
    std::stable_sort(Students.begin(), Students.end(), [](const TStudent& a, const TStudent& b) {
      if (a.Class != b.Class) return ClassOrder(a.Class) < ClassOrder(b.Class);
      if (a.Gender != b.Gender) return a.Gender < b.Gender;
      return a.No < b.No;
    });
    for (const TStudent& s : Students)
      sql += "insert into öğrenciler values (" + std::to_string(s.No) + ", '" + rtl::StringToUTF8(s.Name) + "', '" +
             rtl::StringToUTF8(s.Surname) + "', '" + rtl::StringToUTF8(s.Class) + "', '" + rtl::StringToUTF8(s.Gender) +
             "', " + std::to_string(s.Score) + ");";
    std::string error;
    ASSERT_TRUE(testutil::Exec(folder_.File(L"okul.db"), sql, &error)) << error;

    // One owner for the data and the report, as a screen holds them: the report's snapshot names its datasets'
    // links by the owner's component names and finds them again when it is loaded back.
    owner_ = new vcl::TComponent(nullptr);
    owner_->SetName(L"Okul");
    conn_ = new db::TADOConnection(owner_);
    conn_->SetLoginPrompt(false);
    conn_->SetConnectionString(L"Data Source=" + folder_.File(L"okul.mdb"));
    conn_->SetConnected(true);
    classQuery_ = Query(L"SinifQuery", L"select * from sınıflar order by sıra");
    studentQuery_ = Query(L"OgrenciQuery",
                          L"select öğrenciler.* from öğrenciler join sınıflar on sınıflar.kod = öğrenciler.sinif "
                          L"order by sınıflar.sıra, cinsiyet, no");

    report_ = new TqvxReport(owner_);
    report_->SetName(L"Rapor");
    report_->EngineOptions()->NewSilentMode = simSilent;
    if (recordPages_) {
      pages_ = new TqvxRecordingPages(report_);
      report_->SetPreviewPages(pages_);
    }
    page_ = NewPage(L"Page1");

    classes_ = new TqvxDBDataset(owner_);
    classes_->SetName(L"SinifData");
    classes_->SetUserName(L"Sinif");
    classes_->SetDataSet(classQuery_);
    report_->DataSets()->Add(classes_);
    students_ = new TClassStudents(owner_);
    students_->SetName(L"OgrenciData");
    students_->SetUserName(L"Ogrenci");
    students_->SetDataSet(studentQuery_);
    students_->Master = classes_;
    report_->DataSets()->Add(students_);
  }
  void TearDown() override { owner_->Free(); }

  static int ClassOrder(const std::wstring& c) { return c == L"9-A" ? 1 : c == L"9-B" ? 2 : 3; }

  db::TADOQuery* Query(const rtl::String& name, const std::wstring& sql) {
    auto* q = new db::TADOQuery(owner_);
    q->SetName(name);
    q->SetConnection(conn_);
    q->SetSQLText(sql);
    return q;
  }

  TqvxReportPage* NewPage(const rtl::String& name) {
    auto* page = new TqvxReportPage(report_);
    page->SetName(name);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    return page;
  }

  template <class T>
  T* Band(const rtl::String& name, Extended top, Extended height, TqvxComponent* parent = nullptr) {
    auto* band = new T(parent ? parent : page_);
    band->SetName(name);
    band->SetTop(top);
    band->SetHeight(height);
    return band;
  }

  TqvxMemoView* Memo(TqvxBand* band, const rtl::String& name, const rtl::String& text, Extended left, Extended width,
                     Extended top = 0, Extended height = 0) {
    auto* memo = new TqvxMemoView(band);
    memo->SetName(name);
    memo->SetText(text);
    memo->SetBounds(left, top, width, height > 0 ? height : band->Height());
    return memo;
  }

  // The printable height of the first page in report units. A run loads the report back from its snapshot, so
  // the page is looked up afresh rather than through page_.
  Extended PrintableHeight() const {
    auto* page = dynamic_cast<TqvxReportPage*>(report_->FindObject(L"Page1"));
    return (page->PaperHeight() - page->TopMargin - page->BottomMargin) * qv01cm;
  }

  bool Prepare() { return report_->PrepareReport(true); }

  // Every recorded page drawn on a sheet with 10 mm margins and written as <prefix>_<n>.png; the last sheet stays
  // in the bitmap for the test to look into.
  void DrawPages(const rtl::String& prefix, vcl::TBitmap& bitmap) {
    const Extended margin = 10 * qv01cm;
    for (int p = 0; p < pages_->GetCount(); ++p) {
      WhiteSheet(bitmap);
      pages_->DrawPage(p, bitmap.Canvas(), 1, 1, margin, margin);
      WritePng(bitmap, prefix + L"_" + rtl::IntToStr(p + 1) + L".png");
    }
  }

  std::vector<TStudent> Of(const std::wstring& cls) const {
    std::vector<TStudent> list;
    for (const TStudent& s : Students)
      if (s.Class == cls) list.push_back(s);
    return list;
  }

  std::vector<TStudent> Students;
  // False: the report keeps the prepared pages it was made with (the pages layer's store).
  bool recordPages_ = true;
  testutil::TempFolder folder_{L"engine"};
  vcl::TComponent* owner_ = nullptr;
  db::TADOConnection* conn_ = nullptr;
  db::TADOQuery* classQuery_ = nullptr;
  db::TADOQuery* studentQuery_ = nullptr;
  TqvxReport* report_ = nullptr;
  TqvxRecordingPages* pages_ = nullptr;
  TqvxReportPage* page_ = nullptr;
  TqvxDBDataset* classes_ = nullptr;
  TClassStudents* students_ = nullptr;
};

// The list of the fixture's classes with their students grouped by gender, with totals.
class ListReport : public EngineFixture {
 protected:
  void Build() {
    auto* header = Band<TqvxPageHeader>(L"PageHeader1", 0, 30);
    Memo(header, L"Baslik", L"Öğrenci Listesi", 0, 400);
    master_ = Band<TqvxMasterData>(L"MasterData1", 40, 24);
    master_->SetDataSet(classes_);
    Memo(master_, L"SinifAdi", L"[Sinif.\"ad\"]", 0, 500);
    group_ = Band<TqvxGroupHeader>(L"GroupHeader1", 70, 20);
    group_->Condition = L"Ogrenci.\"cinsiyet\"";
    Memo(group_, L"Cinsiyet", L"[Ogrenci.\"cinsiyet\"]", 20, 200);
    detail_ = Band<TqvxDetailData>(L"DetailData1", 95, 18);
    detail_->SetDataSet(students_);
    Memo(detail_, L"No", L"[Ogrenci.\"no\"]", 20, 60);
    Memo(detail_, L"AdSoyad", L"[Ogrenci.\"Adı\"] [Ogrenci.\"Soyadı\"]", 90, 300);
    Memo(detail_, L"Puan", L"[Ogrenci.\"puan\"]", 400, 60);
    auto* groupFooter = Band<TqvxGroupFooter>(L"GroupFooter1", 120, 20);
    Memo(groupFooter, L"GrupToplam",
         L"[COUNT(DetailData1)] öğrenci, toplam [SUM(Get('Ogrenci.\"puan\"'), DetailData1)]", 20, 500);
    auto* footer = Band<TqvxFooter>(L"Footer1", 145, 20);
    Memo(footer, L"SinifToplam",
         L"Toplam [SUM(Get('Ogrenci.\"puan\"'), DetailData1)] ort. [AVG(Get('Ogrenci.\"puan\"'), DetailData1)] "
         L"en az [MIN(Get('Ogrenci.\"puan\"'), DetailData1)] en çok [MAX(Get('Ogrenci.\"puan\"'), DetailData1)] "
         L"sayı [COUNT(DetailData1)]",
         0, 700);
    auto* summary = Band<TqvxReportSummary>(L"ReportSummary1", 170, 20);
    Memo(summary, L"Genel", L"Genel toplam [SUM(Get('Ogrenci.\"puan\"'), DetailData1)] ([COUNT(DetailData1)])", 0, 500);
    auto* pageFooter = Band<TqvxPageFooter>(L"PageFooter1", 200, 20);
    Memo(pageFooter, L"Sayfa", L"Page [Page#] of [TotalPages#]", 500, 200);
    Memo(pageFooter, L"Toplam", L"[Get('TotalPages#')] sayfa", 0, 200);
  }

  TqvxMasterData* master_ = nullptr;
  TqvxGroupHeader* group_ = nullptr;
  TqvxDetailData* detail_ = nullptr;
};
