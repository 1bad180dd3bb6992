// The report dataset over real platform datasets on a SQLite file made for each test.
#include "report/model/qvxDBSet.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/win.h"
#include "report/model/qvxUnicodeUtils.h"
#include "testreport.h"

namespace {

using rtl::String;
using rtl::Variant;

std::string Utf8(const std::wstring& s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

std::vector<String> Lines(const rtl::TStrings& list) {
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

class DBDatasetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    folder_ = std::wstring(tmp) + L"qvx_dbset_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++counter_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(Utf8(folder_ + L"\\tavrel.db").c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr),
              SQLITE_OK);
    const char* sql =
        "create table ogr(id integer primary key, adi varchar(30), soyadi varchar(40), notlar memo, "
        "tutar numeric(10,2), dogum datetime, buyuk bigint, aktif boolean, resim blob);"
        "insert into ogr values (1, 'Ayşe', 'Yılmaz', 'satır bir', 12.5, '2010-03-04 00:00:00', 5000000000, 1, "
        "x'0102');"
        "insert into ogr values (2, 'Işık', 'Çelik', null, 7.25, null, null, 0, null);"
        "insert into ogr values (3, 'İpek', 'Öztürk', 'üç', null, '2011-12-31 00:00:00', 3, 1, null);";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    conn_ = new db::TADOConnection(nullptr);
    conn_->SetLoginPrompt(false);
    conn_->SetConnectionString(L"Data Source=" + folder_ + L"\\tavrel.mdb");
    conn_->SetConnected(true);
    query_ = new db::TADOQuery(nullptr);
    query_->SetConnection(conn_);
    query_->SetSQLText(L"select * from ogr order by id");
  }
  void TearDown() override {
    delete ds_;
    query_->Free();
    conn_->Free();
  }
  // A report dataset over the query, initialized for a run of report_.
  TqvxDBDataset* Make() {
    ds_ = new TqvxDBDataset(nullptr);
    ds_->SetName(L"Ogrenci");
    ds_->SetDataSet(query_);
    ds_->SetReportRef(&report_);
    return ds_;
  }
  std::vector<String> Walk(const String& field) {
    std::vector<String> out;
    for (ds_->First(); !ds_->Eof(); ds_->Next()) out.push_back(ds_->GetDisplayText(field));
    return out;
  }

  static inline int counter_ = 0;
  std::wstring folder_;
  db::TADOConnection* conn_ = nullptr;
  db::TADOQuery* query_ = nullptr;
  TqvxDBDataset* ds_ = nullptr;
  TqvxTestReport report_{nullptr};
};

TEST_F(DBDatasetTest, WalksEveryRecordWithValuesAndDisplayTexts) {
  TqvxDBDataset* ds = Make();
  ds->Initialize();
  EXPECT_FALSE(query_->Active());
  std::vector<int> recNos;
  std::vector<String> names;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    recNos.push_back(ds->RecNo());
    names.push_back(ds->GetDisplayText(L"ADI") + L" " + rtl::VarToStr(ds->GetValue(L"soyadi")));
  }
  EXPECT_TRUE(query_->Active());
  EXPECT_EQ(recNos, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(names, (std::vector<String>{L"Ayşe Yılmaz", L"Işık Çelik", L"İpek Öztürk"}));
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_TRUE(report_.Errors()->Count() == 0) << report_.Errors()->Text();
  ds->Finalize();
}

TEST_F(DBDatasetTest, FieldListKindsAndWidths) {
  TqvxDBDataset* ds = Make();
  rtl::TStringList list;
  ds->GetFieldList(&list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"id", L"adi", L"soyadi", L"notlar", L"tutar", L"dogum", L"buyuk",
                                              L"aktif", L"resim"}));
  EXPECT_EQ(ds->FieldsCount(), 9);
  EXPECT_TRUE(ds->HasField(L"DOGUM"));

  struct Case {
    const wchar_t* field;
    TqvxFieldType type;
  };
  // Wide memos count as numbers: only plain, wide and memo text is text for the null conversion.
  for (const Case& c :
       {Case{L"id", fftNumeric}, Case{L"adi", fftString}, Case{L"notlar", fftNumeric}, Case{L"tutar", fftNumeric},
        Case{L"dogum", fftDateTime}, Case{L"aktif", fftBoolean}, Case{L"nosuch", fftNumeric}})
    EXPECT_EQ(ds->GetFieldType(c.field), c.type) << c.field;
  EXPECT_EQ(ds->GetDisplayWidth(L"soyadi"), 40);  // from the field definitions while closed
  query_->Open();
  EXPECT_EQ(ds->GetDisplayWidth(L"soyadi"), query_->FieldByName(L"soyadi")->DisplayWidth());
  EXPECT_EQ(ds->GetDisplayWidth(L"nosuch"), 10);
}

TEST_F(DBDatasetTest, ValuesByFieldKind) {
  TqvxDBDataset* ds = Make();
  ds->Initialize();
  ds->First();
  EXPECT_EQ(ds->GetValue(L"id"), Variant(1));
  Variant big = ds->GetValue(L"buyuk");
  EXPECT_EQ(big.VarType(), rtl::varInt64);
  EXPECT_EQ(big, Variant(static_cast<long long>(5000000000LL)));
  EXPECT_EQ(ds->GetValue(L"notlar"), Variant(String(L"satır bir")));
  Variant amount = ds->GetValue(L"tutar");
  EXPECT_EQ(amount.VarType(), rtl::varDouble);
  EXPECT_DOUBLE_EQ(amount.AsDouble(), 12.5);
  ds->SetBCDToCurrency(true);
  EXPECT_EQ(ds->GetValue(L"tutar").VarType(), rtl::varCurrency);
  ds->Next();
  EXPECT_TRUE(ds->GetValue(L"buyuk").IsNull());
  EXPECT_TRUE(ds->GetValue(L"dogum").IsNull());
  EXPECT_TRUE(ds->GetValue(L"notlar").IsNull() || rtl::VarToStr(ds->GetValue(L"notlar")).empty());
  ds->Next();
  EXPECT_TRUE(ds->GetValue(L"tutar").IsNull());
  EXPECT_EQ(ds->GetValue(L"dogum").VarType(), rtl::varDate);
  ds->Finalize();
}

TEST_F(DBDatasetTest, MissingFieldIsReportedOnceAndTheRunGoesOn) {
  TqvxDBDataset* ds = Make();
  ds->Initialize();
  std::vector<String> texts;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    EXPECT_TRUE(ds->GetValue(L"yas").IsNull());
    texts.push_back(ds->GetDisplayText(L"yas"));
  }
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], L"Field not found: Ogrenci.\"yas\"");
  ASSERT_EQ(report_.Errors()->Count(), 1);
  EXPECT_EQ(report_.Errors()->Strings(0), L"Field not found: Ogrenci.\"yas\"");
  ds->Finalize();
}

TEST_F(DBDatasetTest, MissingFieldOutsideARunRaisesNothing) {
  TqvxDBDataset* ds = Make();
  ds->SetReportRef(nullptr);
  ds->Initialize();
  ds->First();
  EXPECT_TRUE(ds->GetValue(L"yas").IsNull());
  ds->Finalize();
}

TEST_F(DBDatasetTest, AliasesRenameAndHideFields) {
  TqvxDBDataset* ds = Make();
  rtl::TStringList aliases;
  for (const wchar_t* line : {L"soyadi=Soyad", L"adi=Ad", L"-id=Numara", L"notlar=Ad"}) aliases.Add(line);
  ds->SetFieldAliases(&aliases);
  rtl::TStringList list;
  ds->GetFieldList(&list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Soyad", L"Ad", L"Ad"}));
  EXPECT_EQ(ds->ConvertAlias(L"soyad"), L"soyadi");
  EXPECT_EQ(ds->ConvertAlias(L"other"), L"other");
  EXPECT_EQ(ds->GetAlias(L"ADI"), L"Ad");
  EXPECT_EQ(ds->GetAlias(L"dogum"), L"dogum");
  EXPECT_EQ(ds->GetFieldType(L"Soyad"), fftString);

  ds->Initialize();
  std::vector<String> surnames = Walk(L"soyad");
  EXPECT_EQ(surnames, (std::vector<String>{L"Yılmaz", L"Çelik", L"Öztürk"}));
  ds->First();
  EXPECT_EQ(ds->GetValue(L"Ad"), Variant(String(L"Ayşe")));  // the first line of a repeated alias wins
  EXPECT_TRUE(ds->GetValue(L"id").IsNull());
  EXPECT_EQ(report_.Errors()->Count(), 1);
  ds->Finalize();
}

TEST_F(DBDatasetTest, RangeFromAndToTheCurrentRecordIsThatRecordOnly) {
  TqvxDBDataset* ds = Make();
  ds->SetRangeBegin(rbCurrent);
  ds->SetRangeEnd(reCurrent);
  query_->Open();
  query_->Next();
  ds->Initialize();
  EXPECT_EQ(Walk(L"adi"), (std::vector<String>{L"Işık"}));
  query_->First();
  ds->Finalize();
  EXPECT_EQ(query_->FieldByName(L"adi")->AsString(), L"Işık");
  EXPECT_TRUE(query_->Active());
}

TEST_F(DBDatasetTest, RangeFromTheCurrentRecordToTheLast) {
  TqvxDBDataset* ds = Make();
  ds->SetRangeBegin(rbCurrent);
  query_->Open();
  query_->Next();
  ds->Initialize();
  EXPECT_EQ(Walk(L"adi"), (std::vector<String>{L"Işık", L"İpek"}));
  ds->Finalize();
  EXPECT_EQ(query_->FieldByName(L"adi")->AsString(), L"Işık");
}

TEST_F(DBDatasetTest, RangeFromTheFirstToTheCurrentRecord) {
  TqvxDBDataset* ds = Make();
  ds->SetRangeEnd(reCurrent);
  query_->Open();
  query_->Next();
  ds->Initialize();
  EXPECT_EQ(Walk(L"adi"), (std::vector<String>{L"Ayşe", L"Işık"}));
  ds->Finalize();
}

TEST_F(DBDatasetTest, CountRangeStopsAfterThatManyRecords) {
  TqvxDBDataset* ds = Make();
  ds->SetRangeEnd(reCount);
  ds->SetRangeEndCount(2);
  ds->Initialize();
  EXPECT_EQ(Walk(L"adi"), (std::vector<String>{L"Ayşe", L"Işık"}));
  ds->SetRangeEndCount(10);
  EXPECT_EQ(Walk(L"adi").size(), 3u);  // the data ends first
  ds->Finalize();
}

TEST_F(DBDatasetTest, OpenDatasetStaysOpenUnlessCloseDataSourceIsSet) {
  TqvxDBDataset* ds = Make();
  query_->Open();
  ds->Initialize();
  Walk(L"adi");
  ds->Finalize();
  EXPECT_TRUE(query_->Active());

  ds->SetCloseDataSource(true);
  ds->Initialize();
  Walk(L"adi");
  ds->Finalize();
  EXPECT_FALSE(query_->Active());
}

TEST_F(DBDatasetTest, ClosedDatasetOpensOnFirstUseAndAfterAClose) {
  TqvxDBDataset* ds = Make();
  ds->Initialize();
  EXPECT_FALSE(ds->Initialized());
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_TRUE(ds->Initialized());
  EXPECT_TRUE(query_->Active());
  ds->Close();
  EXPECT_FALSE(query_->Active());
  EXPECT_FALSE(ds->Initialized());
  ds->First();
  EXPECT_TRUE(query_->Active());
  EXPECT_EQ(ds->GetDisplayText(L"adi"), L"Ayşe");
  ds->Finalize();
}

TEST_F(DBDatasetTest, HandlersOfThePlatformDatasetRunAndComeBack) {
  int opened = 0, closing = 0;
  query_->AfterOpen = [&](db::TDataSet* s) {
    EXPECT_EQ(s, query_);
    ++opened;
  };
  query_->BeforeClose = [&](db::TDataSet*) { ++closing; };
  TqvxDBDataset* ds = Make();
  ds->SetCloseDataSource(true);
  ds->Initialize();
  ds->First();
  EXPECT_EQ(opened, 1);
  ds->Finalize();
  EXPECT_EQ(closing, 1);
  // After the run the platform dataset's own handlers are back in place, alone.
  query_->Open();
  query_->Close();
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(closing, 2);
}

TEST_F(DBDatasetTest, NotConnectedNamesTheComponent) {
  TqvxDBDataset ds(nullptr);
  ds.SetName(L"dsBos");
  ds.SetUserName(L"Bos");
  try {
    ds.Initialize();
    FAIL() << "no error";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"DataSet dsBos is not connected to data");
  }
  EXPECT_EQ(ds.GetFieldType(L"x"), fftNumeric);
  rtl::TStringList list;
  list.Add(L"stale");
  ds.GetFieldList(&list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(DBDatasetTest, WithoutAPlatformDatasetItIsEmpty) {
  TqvxDBDataset ds(nullptr);
  ds.SetUserName(L"Bos");
  ds.First();
  EXPECT_TRUE(ds.Eof());
  ds.Next();
  ds.Prior();
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_TRUE(ds.GetValue(L"adi").IsNull());
  EXPECT_EQ(ds.GetDisplayText(L"adi"), L"Bos.\"adi\"");
  EXPECT_FALSE(ds.IsBlobField(L"adi"));
  ds.Finalize();
}

TEST_F(DBDatasetTest, ChangingThePlatformDatasetMidRunGivesTheOldOneItsHandlersBack) {
  int opened = 0;
  query_->AfterOpen = [&](db::TDataSet*) { ++opened; };
  TqvxDBDataset* ds = Make();
  ds->Initialize();
  auto* other = new db::TADOQuery(nullptr);
  ds->SetDataSet(other);
  query_->Open();
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(ds->Initialized());
  ds->SetDataSet(nullptr);
  other->Free();
}

TEST_F(DBDatasetTest, ThroughADataSourceAndLettingGoOfFreedComponents) {
  auto* source = new db::TDataSource(nullptr);
  source->SetDataSet(query_);
  TqvxDBDataset* ds = Make();
  ds->SetDataSource(source);
  EXPECT_EQ(ds->DataSet(), nullptr);
  EXPECT_EQ(ds->GetDataSet(), query_);
  ds->Initialize();
  EXPECT_EQ(Walk(L"adi").size(), 3u);
  ds->Finalize();
  source->Free();
  EXPECT_EQ(ds->DataSource(), nullptr);
  EXPECT_EQ(ds->GetDataSet(), nullptr);

  ds->SetDataSet(query_);
  EXPECT_EQ(ds->GetDataSet(), query_);
  ds->Initialize();
  ds->First();
  query_->Free();
  query_ = new db::TADOQuery(nullptr);  // TearDown frees one
  EXPECT_EQ(ds->DataSet(), nullptr);
  EXPECT_FALSE(ds->DataSetActive());
}

TEST_F(DBDatasetTest, BlobsIntoTextListsAndStreams) {
  TqvxDBDataset* ds = Make();
  ds->Initialize();
  ds->First();
  EXPECT_TRUE(ds->IsBlobField(L"notlar"));
  EXPECT_TRUE(ds->IsBlobField(L"resim"));
  EXPECT_FALSE(ds->IsBlobField(L"adi"));
  EXPECT_FALSE(ds->IsBlobField(L"nosuch"));

  TqvxWideStrings lines;
  ds->AssignBlobTo(L"notlar", &lines);
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines.Strings(0), L"satır bir");

  rtl::TStringStream text(String(), rtl::TStringStream::UTF16);
  ds->AssignBlobTo(L"notlar", &text);
  EXPECT_EQ(text.Position(), 0);
  EXPECT_EQ(text.DataString(), L"satır bir");

  rtl::TMemoryStream bytes;
  ds->AssignBlobTo(L"resim", &bytes);
  EXPECT_EQ(bytes.Position(), 0);
  ASSERT_EQ(bytes.Size(), 2);
  EXPECT_EQ(static_cast<const unsigned char*>(bytes.Memory())[1], 2);

  rtl::TStringList other;
  ds->AssignBlobTo(L"resim", &other);  // neither a text list of the report nor a stream
  EXPECT_EQ(other.Count(), 0);
  ds->Finalize();
}

TEST_F(DBDatasetTest, PlatformDatasetIsStoredOnlyOutsideAReport) {
  TqvxDBDataset* ds = Make();
  const vcl::TPropInfo* prop = vcl::GetPropInfo(ds, L"DataSet");
  ASSERT_NE(prop, nullptr);
  EXPECT_TRUE(prop->IsStored(ds));
  TqvxDBDataset inReport(&report_);
  EXPECT_FALSE(vcl::GetPropInfo(&inReport, L"DataSource")->IsStored(&inReport));
}

}  // namespace
