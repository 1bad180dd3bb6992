// Dataset fields printed by text objects take a shorter way during a run (the value is read straight into the
// object's value, its text room used again): every kind of field under every kind of display format must print
// what the general way prints. And the page's footer bands, looked up once, are looked up again when a band is
// added to the page or freed while the report runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPreviewPages.h"
#include "tests/common/database.h"
#include "tests/common/tempdir.h"
#include "tests/report/engine/enginefixture.h"
#include "tests/report/engine/listband.h"
#include "tests/report/engine/recordingpages.h"

using rtl::String;
using rtl::Variant;
using testutil::Utf8;

namespace {

// A report class of its own: the calculator's shorter way is kept for the report class itself, so this one
// prints everything the general way.
class TGeneralWayReport : public TqvxReport {
 public:
  explicit TGeneralWayReport(vcl::TComponent* owner) : TqvxReport(owner) {}
  Variant Calc(const String& expr, TwzScript* script = nullptr) override { return TqvxReport::Calc(expr, script); }
};

struct TFormatCase {
  const wchar_t* Template;
  TqvxFormatKind Kind;
  const wchar_t* FormatStr;
  const wchar_t* DecimalSeparator;
  bool HideZeros;
};

class FieldTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    // Texts (a declared length and a free one), whole numbers, reals and dates, with nulls, empty texts, zeros and
    // Turkish letters among them.
    std::string error;
    ASSERT_TRUE(testutil::Exec(folder_.File(L"degerler.db"),
                               "create table degerler(no integer primary key, ad text, kisa varchar(12), sayi integer, "
                               "puan real, tarih real, dogru integer);"
                               "insert into degerler values (1, 'Şükrü Işık', 'İpek', 42, 77.25, 45000.5, 1);"
                               "insert into degerler values (2, '', 'Çağla', 0, 0, 0, 0);"
                               "insert into degerler values (3, null, null, null, null, null, null);"
                               "insert into degerler values (4, 'Ömer \"Ğ\" <ş> & ı', 'İpek', -7, -1.5, 36526.75, 1);"
                               "insert into degerler values (5, 'Gülşen Öztürk Yıldızoğlu Çelikkaya', 'Ümit', "
                               "1234567, 1234567.891, 44927, 0);"
                               "insert into degerler values (6, 'Ilgın', 'Ilgın', 3, 0.125, 45291.999, 1);",
                               &error))
        << error;
    owner_ = new vcl::TComponent(nullptr);
    owner_->SetName(L"Sinama");
    conn_ = new db::TADOConnection(owner_);
    conn_->SetLoginPrompt(false);
    conn_->SetConnectionString(L"Data Source=" + folder_.File(L"degerler.mdb"));
    conn_->SetConnected(true);
    query_ = new db::TADOQuery(owner_);
    query_->SetName(L"DegerQuery");
    query_->SetConnection(conn_);
    query_->SetSQLText(L"select * from degerler order by no");
  }
  void TearDown() override { owner_->Free(); }

  // The texts of every page the report prints, top to bottom.
  std::vector<std::vector<String>> Run(bool generalWay, const std::vector<TFormatCase>& cases, bool convertNulls) {
    auto* report = generalWay ? new TGeneralWayReport(owner_) : new TqvxReport(owner_);
    report->SetName(generalWay ? L"GenelRapor" : L"Rapor");
    report->EngineOptions()->ConvertNulls = convertNulls;
    auto* pages = new TqvxRecordingPages(report);
    auto [ds, band] = AddListBand(report, pages, owner_, generalWay ? L"GenelVeri" : L"Veri", query_,
                                  20 * static_cast<Extended>(cases.size()), 20);
    for (size_t i = 0; i < cases.size(); ++i) {
      const TFormatCase& c = cases[i];
      auto* memo = new TqvxMemoView(band);
      memo->SetName(L"Alan" + rtl::IntToStr(static_cast<int>(i) + 1));
      memo->SetText(c.Template);
      memo->SetBounds(0, 20 * static_cast<Extended>(i), 700, 18);
      memo->HideZeros = c.HideZeros;
      TqvxFormat* format = memo->DisplayFormat();
      format->Kind = c.Kind;
      format->FormatStr = c.FormatStr;
      if (c.DecimalSeparator) format->DecimalSeparator = c.DecimalSeparator;
    }
    std::vector<std::vector<String>> texts;
    // Twice: the second run reads into the values the first one left behind.
    for (int pass = 0; pass < 2; ++pass) {
      EXPECT_TRUE(report->PrepareReport(true)) << Utf8(report->Errors()->Text());
      texts.clear();
      for (const TRecordedPage& p : pages->Pages) {
        std::vector<String> list;
        for (const TRecordedObject& o : p.Objects)
          if (!o.IsBand) list.push_back(o.Text);
        texts.push_back(list);
      }
    }
    report->Free();
    ds->Free();
    return texts;
  }

  struct TQueryRun {
    const wchar_t* Sql;
    std::vector<String> Texts;
  };
  // One text object `memoText` a record, printed by one report with each query in turn feeding its dataset.
  void ExpectTextsPerQuery(const String& memoText, const std::vector<TQueryRun>& runs) {
    auto* report = new TqvxReport(owner_);
    report->SetName(L"Rapor");
    auto* pages = new TqvxRecordingPages(report);
    auto [ds, band] = AddListBand(report, pages, owner_, L"Veri", query_, 20);
    auto* memo = new TqvxMemoView(band);
    memo->SetName(L"Alan1");
    memo->SetText(memoText);
    memo->SetBounds(0, 0, 300, 18);
    for (const auto& run : runs) {
      query_->Close();
      query_->SetSQLText(run.Sql);
      ASSERT_TRUE(report->PrepareReport(true)) << Utf8(report->Errors()->Text());
      std::vector<String> texts;
      for (const TRecordedPage& p : pages->Pages)
        for (const String& t : p.Texts()) texts.push_back(t);
      EXPECT_EQ(texts, run.Texts) << Utf8(run.Sql);
    }
    report->Free();
    ds->Free();
  }

  testutil::TempFolder folder_{L"fieldtexts"};
  vcl::TComponent* owner_ = nullptr;
  db::TADOConnection* conn_ = nullptr;
  db::TADOQuery* query_ = nullptr;
};

const std::vector<TFormatCase> kCases = {
    {L"[D.\"ad\"]", fkText, L"", nullptr, false},
    {L"[D.\"kisa\"]", fkText, L"", nullptr, false},
    {L"Ad: [D.\"ad\"] / [D.\"kisa\"] ([D.\"sayi\"])", fkText, L"", nullptr, false},
    {L"[D.\"sayi\"]", fkText, L"", nullptr, false},
    {L"[D.\"puan\"]", fkText, L"", nullptr, false},
    {L"[D.\"tarih\"]", fkText, L"", nullptr, false},
    {L"[D.\"puan\"]", fkNumeric, L"%2.2n", nullptr, false},
    {L"[D.\"puan\"]", fkNumeric, L"%2.2f", L".", false},
    {L"[D.\"puan\"]", fkNumeric, L"#,##0.00", nullptr, true},
    {L"[D.\"sayi\"]", fkNumeric, L"%d", nullptr, true},
    {L"[D.\"kisa\"]", fkNumeric, L"%2.2n", nullptr, false},
    {L"[D.\"tarih\"]", fkDateTime, L"dd.mm.yyyy hh:nn", nullptr, false},
    {L"[D.\"ad\"]", fkDateTime, L"dd.mm.yyyy", nullptr, false},
    {L"[D.\"dogru\"]", fkBoolean, L"Hayır,Evet", nullptr, false},
    {L"[D.\"puan\" #n%2.3f] [D.\"ad\" #t]", fkText, L"", nullptr, false},
    {L"[D.\"kisa\"][D.\"kisa\"]", fkText, L"", nullptr, true},
};

TEST_F(FieldTexts, EveryKindOfFieldUnderEveryDisplayFormatPrintsAsTheGeneralWay) {
  for (bool convertNulls : {false, true}) {
    SCOPED_TRACE(convertNulls ? "nulls converted" : "nulls kept");
    const auto general = Run(true, kCases, convertNulls);
    const auto shorter = Run(false, kCases, convertNulls);
    ASSERT_FALSE(general.empty());
    ASSERT_EQ(shorter.size(), general.size());
    for (size_t p = 0; p < general.size(); ++p) {
      ASSERT_EQ(shorter[p].size(), general[p].size()) << "page " << p;
      for (size_t i = 0; i < general[p].size(); ++i)
        EXPECT_EQ(shorter[p][i], general[p][i]) << "page " << p << ", object " << i << ": case "
                                                << i % kCases.size();
    }
  }
}

TEST_F(FieldTexts, TurkishTextsNumbersDatesAndNullsPrintAsStored) {
  std::vector<String> t;
  for (const auto& page : Run(false, kCases, false)) t.insert(t.end(), page.begin(), page.end());
  ASSERT_EQ(t.size(), 6 * kCases.size());
  auto at = [&](int row, int column) { return rtl::TrimRight(t[static_cast<size_t>(row) * kCases.size() + column]); };
  EXPECT_EQ(at(0, 0), L"Şükrü Işık");
  EXPECT_EQ(at(0, 2), L"Ad: Şükrü Işık / İpek (42)");
  EXPECT_EQ(at(0, 4), L"77,25");
  EXPECT_EQ(at(0, 6), L"77,25");
  EXPECT_EQ(at(0, 7), L"77.25");
  EXPECT_EQ(at(0, 11), L"15.03.2023 12:00");
  EXPECT_EQ(at(1, 0), L"");
  EXPECT_EQ(at(1, 1), L"Çağla");
  EXPECT_EQ(at(1, 9), L"");  // a zero hidden
  EXPECT_EQ(at(2, 0), L"");  // nulls print nothing
  EXPECT_EQ(at(2, 2), L"Ad:  /  ()");
  EXPECT_EQ(at(3, 0), L"Ömer \"Ğ\" <ş> & ı");
  EXPECT_EQ(at(3, 6), L"-1,50");
  EXPECT_EQ(at(4, 0), L"Gülşen Öztürk Yıldızoğlu Çelikkaya");
  EXPECT_EQ(at(4, 8), L"1.234.567,89");
  EXPECT_EQ(at(5, 1), L"Ilgın");
  EXPECT_EQ(at(5, 14), L"0.125 Ilgın");  // the point of the format its own separator
}

// The list of the fixture's students, one class after another, on a short page: a page footer is added to the
// page while the report runs, and later taken off and freed.
class FooterChanges : public EngineFixture {};

TEST_F(FooterChanges, AFooterAddedOrFreedDuringTheRunTakesItsRoomFromTheNextRowOn) {
  page_->SetPaperHeight(60);  // about 140 report units printable: a handful of rows a page
  auto* data = Band<TqvxMasterData>(L"MasterData1", 0, 20);
  data->SetDataSet(students_);
  students_->Master = nullptr;
  Memo(data, L"Ad", L"[Ogrenci.\"Adı\"]", 0, 200);
  int rows = 0;
  TqvxPageFooter* footer = nullptr;
  std::vector<std::pair<int, int>> changes;  // (row, footer height from then on)
  report_->OnBeforePrint = [&](TqvxReportComponent* sender) {
    if (sender->Name() != L"MasterData1") return;
    ++rows;
    auto* page = dynamic_cast<TqvxReportPage*>(sender->Parent());
    ASSERT_NE(page, nullptr);
    if (rows == 12) {
      footer = new TqvxPageFooter(page);
      footer->SetName(L"PageFooter1");
      footer->SetHeight(60);
      footer->SetParent(page);
    } else if (rows == 30) {
      footer->SetParent(nullptr);
      footer->Free();
      footer = nullptr;
    }
  };
  ASSERT_TRUE(Prepare()) << Utf8(report_->Errors()->Text());
  const Extended printable = PrintableHeight();
  int seen = 0, withFooter = 0;
  bool roomGrewBack = false;
  for (const TRecordedPage& page : pages_->Pages) {
    const auto footers = page.Bands(L"PageFooter1");
    Extended lowest = 0;
    for (const TRecordedObject* band : page.Bands(L"MasterData1")) {
      ++seen;
      lowest = std::max(lowest, band->Bottom());
      // A row placed while the footer was on the page leaves its room free.
      if (seen >= 14 && seen <= 29) EXPECT_LE(band->Bottom(), printable - 60 + 0.01) << "row " << seen;
    }
    if (!footers.empty()) {
      ++withFooter;
      EXPECT_GE(footers[0]->Top + 0.01, lowest);
    }
    if (seen > 30 && lowest > printable - 60 + 0.01) roomGrewBack = true;
  }
  EXPECT_EQ(seen, static_cast<int>(Students.size()));
  EXPECT_GT(withFooter, 0);
  EXPECT_TRUE(roomGrewBack);
}

// The dataset keeps what each field class is; the same dataset opened again over a query whose field is now of
// another class prints by the new class.
TEST_F(FieldTexts, AFieldOfAnotherClassInTheNextRunPrintsByItsNewClass) {
  const std::vector<TQueryRun> runs = {
      {L"select no, sayi from degerler order by no", {L"<42>", L"<0>", L"<0>", L"<-7>", L"<1234567>", L"<3>"}},
      {L"select no, printf('%d,5', sayi) as sayi from degerler order by no",
       {L"<42,5>", L"<0,5>", L"<0,5>", L"<-7,5>", L"<1234567,5>", L"<3,5>"}},
      {L"select no, sayi * 1.5 as sayi from degerler order by no",
       {L"<63>", L"<0>", L"<0>", L"<-10,5>", L"<1851850,5>", L"<4,5>"}},
      {L"select no, sayi from degerler order by no", {L"<42>", L"<0>", L"<0>", L"<-7>", L"<1234567>", L"<3>"}},
  };
  ExpectTextsPerQuery(L"<[D.\"sayi\"]>", runs);
}

// The dataset keeps where each name stood in its list of fields; a run whose query brings other fields, or the same
// ones in other places, must print each name's own field.
TEST_F(FieldTexts, FieldsInOtherPlacesInTheNextRunPrintByTheirNames) {
  const std::vector<TQueryRun> runs = {
      {L"select no, kisa from degerler where no <= 2 order by no", {L"<1|İpek>", L"<2|Çağla>"}},
      {L"select ad, no, kisa from degerler where no <= 2 order by no", {L"<1|İpek>", L"<2|Çağla>"}},
      {L"select kisa as no, no as kisa from degerler where degerler.no <= 2 order by 2", {L"<İpek|1>", L"<Çağla|2>"}},
      {L"select no, kisa, ad as a, sayi as b, puan as c from degerler where no <= 2 order by no",
       {L"<1|İpek>", L"<2|Çağla>"}},
      {L"select no, kisa from degerler where no <= 2 order by no", {L"<1|İpek>", L"<2|Çağla>"}},
  };
  ExpectTextsPerQuery(L"<[D.\"no\"]|[D.\"kisa\"]>", runs);
}

// What the store keeps for each object of each record is its difference from the object's template copy: a
// property an event changes between records, a display format changed mid-run and a fill put on the band show in
// exactly the records printed while the change holds, and nowhere else.
TEST_F(FieldTexts, StoreTextsFollowPropertiesChangedBetweenRecords) {
  auto* report = new TqvxReport(owner_);
  report->SetName(L"Rapor");
  auto* pages = new TqvxPreviewPages(report);
  auto [ds, data] = AddListBand(report, pages, owner_, L"Veri", query_, 20, 20);
  TqvxComponent* band = data;
  auto* name = new TqvxMemoView(data);
  name->SetName(L"Ad");
  name->SetText(L"[D.\"kisa\"]");
  name->SetBounds(0, 0, 200, 18);
  auto* score = new TqvxMemoView(data);
  score->SetName(L"Puan");
  score->SetText(L"[D.\"puan\"]");
  score->SetBounds(200, 0, 100, 18);
  score->DisplayFormat()->Kind = fkNumeric;
  score->DisplayFormat()->FormatStr = L"%2.2f";
  score->DisplayFormat()->DecimalSeparator = L".";
  int record = 0;
  report->OnBeforePrint = [&](TqvxReportComponent* sender) {
    if (sender != band) return;
    ++record;
    if (record == 2) {
      name->HAlign = haRight;
      name->Font()->SetColor(255);
      name->Frame()->Typ = TqvxFrameTypes{ftLeft};
    } else if (record == 4) {
      name->HAlign = haLeft;
      name->Font()->SetColor(score->Font()->Color());
      name->Frame()->Typ = TqvxFrameTypes();
      score->DisplayFormat()->FormatStr = L"%2.3f";
    } else if (record == 5) {
      score->DisplayFormat()->FormatStr = L"%2.2f";
      name->SetTop(2);
    }
  };
  std::vector<String> first;
  for (int pass = 0; pass < 2; ++pass) {
    record = 0;
    // A run may leave the report's objects made again from its template: they are looked up afresh.
    band = report->FindObject(L"MasterData1");
    name = dynamic_cast<TqvxMemoView*>(report->FindObject(L"Ad"));
    score = dynamic_cast<TqvxMemoView*>(report->FindObject(L"Puan"));
    ASSERT_TRUE(band && name && score);
    name->SetTop(0);
    ASSERT_TRUE(report->PrepareReport(true)) << Utf8(report->Errors()->Text());
    // The prepared report as it is saved to a file: its pages' elements, one a line.
    rtl::TStringStream saved;
    pages->SaveToStream(saved);
    std::vector<String> texts;
    const String all = saved.DataString();
    for (size_t at = 0; at < all.size();) {
      size_t end = all.find(L'\n', at);
      if (end == String::npos) end = all.size();
      texts.push_back(all.substr(at, end - at));
      at = end + 1;
    }
    if (pass == 0) {
      first = texts;
      const size_t from = all.find(L"<previewpages>"), to = all.find(L"</previewpages>");
      ASSERT_TRUE(from != String::npos && to != String::npos);
      EXPECT_EQ(Utf8(all.substr(from, to - from)),
                "<previewpages><page0>"
                "<b1 t=\"0\"><m1 u=\"İpek\"/><m2 u=\"77.25\"/></b1>"
                "<b1 t=\"20\"><m1 Font.Color=\"255\" ParentFont=\"0\" Frame.Typ=\"1\" HAlign=\"1\" u=\"Çağla\"/>"
                "<m2 u=\"0.00\"/></b1>"
                "<b1 t=\"40\"><m1 Font.Color=\"255\" ParentFont=\"0\" Frame.Typ=\"1\" HAlign=\"1\" u=\"\"/>"
                "<m2 u=\"0.00\"/></b1>"
                "<b1 t=\"60\"><m1 ParentFont=\"0\" u=\"İpek\"/>"
                "<m2 u=\"-1.500\" DisplayFormat.FormatStr=\"%2.3f\"/></b1>"
                "<b1 t=\"80\"><m1 t=\"2\" ParentFont=\"0\" u=\"Ümit\"/><m2 u=\"1234567.89\"/></b1>"
                "<b1 t=\"100\"><m1 t=\"2\" ParentFont=\"0\" u=\"Ilgın\"/><m2 u=\"0.13\"/></b1>"
                "</page0>");
    } else {
      // The same report prepared again saves the same file.
      EXPECT_EQ(texts, first);
    }
  }
  report->Free();
  ds->Free();
}

// A store prepared again keeps the room of its old texts for the new ones: whatever it held before (another run of
// more or fewer records, longer or shorter texts, a file loaded in part), it saves byte for byte what a store made
// afresh saves for the same run.
TEST_F(FieldTexts, AStorePreparedAgainSavesWhatANewStoreSaves) {
  // The same report in an owner of its own each time, so that the files compare whole.
  struct TListReport {
    explicit TListReport(db::TADOQuery* query) {
      owner = new vcl::TComponent(nullptr);
      owner->SetName(L"Liste");
      report = new TqvxReport(owner);
      report->SetName(L"Rapor");
      const TListBand list = AddListBand(report, nullptr, owner, L"Veri", query, 40, 20);
      ds = list.Dataset;
      auto* data = list.Band;
      const wchar_t* templates[] = {L"[D.\"ad\"]", L"[D.\"kisa\"] / [D.\"no\"]", L"[D.\"puan\"]"};
      for (int i = 0; i < 3; ++i) {
        auto* memo = new TqvxMemoView(data);
        memo->SetName(L"Alan" + rtl::IntToStr(i + 1));
        memo->SetText(templates[i]);
        memo->SetBounds(160 * static_cast<Extended>(i), 0, 150, 18);
      }
    }
    ~TListReport() { owner->Free(); }
    String Prepare(TqvxPreviewPages* into) {
      if (into) report->SetPreviewPages(into);
      EXPECT_TRUE(report->PrepareReport(true)) << Utf8(report->Errors()->Text());
      rtl::TStringStream saved;
      static_cast<TqvxPreviewPages*>(report->PreviewPages())->SaveToStream(saved);
      return saved.DataString();
    }
    vcl::TComponent* owner;
    TqvxReport* report;
    TqvxDBDataset* ds;
  };
  TListReport kept(query_);
  auto* keptPages = new TqvxPreviewPages(kept.report);
  kept.report->SetPreviewPages(keptPages);
  const wchar_t* const runs[] = {
      L"select * from degerler order by no",
      // Fewer records than the store holds, then texts longer than those it held.
      L"select * from degerler where no < 3 order by no",
      L"select no, ad || ad || ad || ad as ad, kisa || kisa as kisa, puan from degerler order by no desc",
      // More records than it holds, with line breaks and characters that are escaped.
      L"select d1.no, d1.ad || char(13, 10) || d2.kisa as ad, d2.kisa || '&\"<>' as kisa, d1.puan * d2.no as puan "
      L"from degerler d1, degerler d2 order by d1.no, d2.no",
      L"select no, '' as ad, null as kisa, 0 as puan from degerler",
      L"select * from degerler order by no",
  };
  String last;
  for (const wchar_t* sql : runs) {
    query_->Close();
    query_->SetSQLText(sql);
    const String again = kept.Prepare(nullptr);
    TListReport fresh(query_);
    EXPECT_EQ(Utf8(again), Utf8(fresh.Prepare(new TqvxPreviewPages(fresh.report)))) << Utf8(sql);
    last = again;
  }
  // A store that read a file in part (the pages stay in the stream until asked for) and is then prepared again.
  rtl::TMemoryStream file;
  keptPages->SaveToStream(file);
  file.SetPosition(0);
  keptPages->LoadFromStream(file, true);
  query_->Close();
  query_->SetSQLText(runs[2]);
  const String afterFile = kept.Prepare(nullptr);
  TListReport fresh(query_);
  EXPECT_EQ(Utf8(afterFile), Utf8(fresh.Prepare(new TqvxPreviewPages(fresh.report))));
  EXPECT_NE(afterFile, last);
}

}  // namespace
