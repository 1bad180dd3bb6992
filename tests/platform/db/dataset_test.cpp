// Datasets against a real database file made from the program's schema.
#include "platform/db/dataset.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dbtestutil.h"
#include "platform/db/ado.h"
#include "platform/db/dberrors.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/textconv.h"

namespace db {
namespace {

class DataSetTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = dbtest::TempFolder();
    ASSERT_TRUE(dbtest::CreateDatabase(folder_ + L"\\tavrel.db",
                                       "insert into sabit(okuladi, rehber1) values ('Okul', 'Ayşe Öğretmen');"
                                       "insert into ogrencigorusme(okulno, adisoyadi) values (12, 'Ali');"
                                       "insert into ogrencigorusme(okulno, adisoyadi) values (123, 'Veli');"
                                       "insert into ogrencigorusme(okulno, adisoyadi) values (7, 'Zeynep');"));
    conn_ = new TADOConnection(nullptr);
    conn_->SetLoginPrompt(false);
    conn_->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" + folder_ +
                               L"\\tavrel.mdb");
    conn_->SetConnected(true);
  }
  void TearDown() override {
    for (auto* t : tables_) t->Free();
    conn_->Free();
  }
  TADOTable* Table(const String& name) {
    auto* t = new TADOTable(nullptr);
    t->SetConnection(conn_);
    t->SetTableName(name);
    t->SetCursorType(ctStatic);
    tables_.push_back(t);
    return t;
  }
  // A second, independent view of the file: what is really stored.
  int CountRows(const String& table) {
    TADOTable* t = Table(table);
    t->Open();
    int n = t->RecordCount();
    t->Close();
    return n;
  }

  std::wstring folder_;
  TADOConnection* conn_ = nullptr;
  std::vector<TADOTable*> tables_;
};

TEST_F(DataSetTest, ConnectionTakesTheDbFileForTheMdbName) {
  EXPECT_EQ(conn_->FileName(), folder_ + L"\\tavrel.db");
  EXPECT_TRUE(conn_->Connected());
}

TEST_F(DataSetTest, StatesThroughOpenEditPostInsertCancelClose) {
  TADOTable* t = Table(L"sabit");
  EXPECT_EQ(t->State(), dsInactive);
  t->Open();
  EXPECT_EQ(t->State(), dsBrowse);
  EXPECT_EQ(t->RecordCount(), 1);
  t->Edit();
  EXPECT_EQ(t->State(), dsEdit);
  t->FieldByName(L"okuladi")->SetAsString(L"Yeni Okul");
  EXPECT_TRUE(t->Modified());
  t->Post();
  EXPECT_EQ(t->State(), dsBrowse);
  t->Insert();
  EXPECT_EQ(t->State(), dsInsert);
  t->Cancel();
  EXPECT_EQ(t->State(), dsBrowse);
  EXPECT_EQ(t->RecordCount(), 1);
  t->Close();
  EXPECT_EQ(t->State(), dsInactive);
  EXPECT_FALSE(t->Active());
  TADOTable* again = Table(L"sabit");
  again->Open();
  EXPECT_EQ(again->FieldByName(L"OKULADI")->AsString(), L"Yeni Okul");
}

TEST_F(DataSetTest, PostWithoutEditIsAnErrorAndDeleteOnEmptyToo) {
  TADOTable* t = Table(L"veligorusme");
  t->Open();
  EXPECT_THROW(t->Post(), EDatabaseError);
  EXPECT_THROW(t->Delete(), EDatabaseError);
}

TEST_F(DataSetTest, EditOnAnEmptyDatasetStartsAnInsert) {
  TADOTable* t = Table(L"veligorusme");
  t->Open();
  ASSERT_TRUE(t->IsEmpty());
  t->Edit();
  EXPECT_EQ(t->State(), dsInsert);
  t->FieldByName(L"okulno")->SetAsString(L"55");
  t->Post();
  EXPECT_EQ(CountRows(L"veligorusme"), 1);
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRowAppendAtTheEnd) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Next();  // on "Veli"
  t->Insert();
  t->FieldByName(L"adisoyadi")->SetAsString(L"Önce");
  t->Post();
  EXPECT_EQ(t->RecNo(), 2);
  t->Next();
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Veli");
  t->Append();
  t->FieldByName(L"adisoyadi")->SetAsString(L"Son");
  t->Post();
  t->Last();
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Son");
  EXPECT_EQ(t->RecordCount(), 5);
  EXPECT_EQ(CountRows(L"ogrencigorusme"), 5);
}

TEST_F(DataSetTest, CancelOfAnInsertReturnsToThePreviousRecord) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Last();
  t->Insert();
  t->Cancel();
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Zeynep");
  EXPECT_EQ(t->RecordCount(), 3);
}

TEST_F(DataSetTest, DeleteRemovesTheRowFromTheFile) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Next();
  t->Delete();
  EXPECT_EQ(t->RecordCount(), 2);
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Zeynep");
  EXPECT_EQ(CountRows(L"ogrencigorusme"), 2);
}

TEST_F(DataSetTest, RefreshPostsThePendingEditAndKeepsTheRecord) {
  TADOTable* t = Table(L"ogrencigorusme");
  TADOTable* other = Table(L"ogrencigorusme");
  t->Open();
  other->Open();
  other->Last();
  other->Edit();
  other->FieldByName(L"adisoyadi")->SetAsString(L"Zeynep Değişti");
  other->Post();
  t->Next();
  t->Edit();
  t->FieldByName(L"gorusmeturu")->SetAsString(L"Grup");
  t->Refresh();
  EXPECT_EQ(t->State(), dsBrowse);
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Veli");
  EXPECT_EQ(t->FieldByName(L"gorusmeturu")->AsString(), L"Grup");
  t->Last();
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Zeynep Değişti");
}

TEST_F(DataSetTest, NavigationFlagsAndMoveBy) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  EXPECT_TRUE(t->Bof());
  EXPECT_FALSE(t->Eof());
  EXPECT_EQ(t->RecNo(), 1);
  t->Next();
  EXPECT_FALSE(t->Bof());
  t->Next();
  EXPECT_FALSE(t->Eof());
  t->Next();
  EXPECT_TRUE(t->Eof());
  EXPECT_EQ(t->RecNo(), 3);
  EXPECT_EQ(t->MoveBy(-5), -2);
  EXPECT_TRUE(t->Bof());
  EXPECT_EQ(t->MoveBy(2), 2);
  t->SetRecNo(2);
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Veli");
  int visited = 0;
  for (t->First(); !t->Eof(); t->Next()) ++visited;
  EXPECT_EQ(visited, 3);
}

TEST_F(DataSetTest, NavigationPostsAChangedRecordAndCancelsAnUnchangedOne) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Edit();
  t->Next();  // unchanged: cancelled
  EXPECT_EQ(t->State(), dsBrowse);
  t->Edit();
  t->FieldByName(L"pdralani")->SetAsString(L"Mesleki Rehberlik");
  t->First();  // changed: posted
  TADOTable* check = Table(L"ogrencigorusme");
  check->Open();
  check->Next();
  EXPECT_EQ(check->FieldByName(L"pdralani")->AsString(), L"Mesleki Rehberlik");
}

TEST_F(DataSetTest, DeclaredSizesRefuseOverLongText) {
  TADOTable* t = Table(L"veligorusme");
  t->Open();
  t->Append();
  TField* konu = t->FieldByName(L"gorusmekonusu");
  EXPECT_EQ(konu->Size(), 50);
  EXPECT_NO_THROW(konu->SetAsString(String(50, L'ş')));
  EXPECT_THROW(konu->SetAsString(String(51, L'a')), EDatabaseError);
  EXPECT_EQ(konu->AsString(), String(50, L'ş'));
}

TEST_F(DataSetTest, DateTimeRoundTripsToTheMillisecondAndExactly) {
  TADOTable* t = Table(L"danisankayit");
  t->Open();
  t->Append();
  TDateTime when = rtl::EncodeDateTime(2024, 2, 29, 13, 45, 59, 987);
  t->FieldByName(L"gorusmetarihi")->SetAsDateTime(when);
  t->FieldByName(L"okulno")->SetAsInteger(42);
  t->Post();
  TADOTable* back = Table(L"danisankayit");
  back->Open();
  TDateTime got = back->FieldByName(L"gorusmetarihi")->AsDateTime();
  EXPECT_EQ(std::memcmp(&got, &when, sizeof got), 0);
  rtl::Word y, mo, d, h, mi, s, ms;
  rtl::DecodeDateTime(got, y, mo, d, h, mi, s, ms);
  EXPECT_EQ(ms, 987);
  EXPECT_EQ(back->FieldByName(L"gorusmetarihi")->DataType(), ftDateTime);
}

TEST_F(DataSetTest, BooleanColumnIncludingTheOneNamedWithDigits) {
  TADOTable* t = Table(L"ogrencibilgi");
  t->Open();
  t->Append();
  t->FieldByName(L"adisoyadi")->SetAsString(L"Ali");
  TField* kanun = t->FieldByName(L"2828veya5395");
  EXPECT_EQ(kanun->DataType(), ftBoolean);
  kanun->SetAsBoolean(true);
  t->FieldByName(L"burslu")->SetAsString(L"False");
  t->Post();
  TADOTable* back = Table(L"ogrencibilgi");
  back->Open();
  EXPECT_TRUE(back->FieldByName(L"2828veya5395")->AsBoolean());
  EXPECT_FALSE(back->FieldByName(L"burslu")->AsBoolean());
  EXPECT_FALSE(back->FieldByName(L"sehitcocuk")->AsBoolean());  // the default, read back after the insert
  EXPECT_EQ(back->FieldByName(L"2828veya5395")->AsString(), L"True");
}

TEST_F(DataSetTest, AutoNumberIsReadBackAfterInsertAndIsReadOnly) {
  TADOTable* t = Table(L"ogrencibilgi");
  t->Open();
  TField* sirano = t->FieldByName(L"sirano");
  EXPECT_EQ(sirano->DataType(), ftAutoInc);
  EXPECT_NE(dynamic_cast<TAutoIncField*>(sirano), nullptr);
  t->Append();
  EXPECT_TRUE(sirano->IsNull());
  EXPECT_THROW(sirano->SetAsInteger(5), EDatabaseError);
  t->FieldByName(L"adisoyadi")->SetAsString(L"Bir");
  t->Post();
  EXPECT_EQ(sirano->AsInteger(), 1);
  t->Append();
  t->FieldByName(L"adisoyadi")->SetAsString(L"İki");
  t->Post();
  EXPECT_EQ(sirano->AsInteger(), 2);
}

TEST_F(DataSetTest, FailingConversionLeavesTheRecordInEditWithNothingWritten) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Edit();
  t->FieldByName(L"adisoyadi")->SetAsString(L"Değişmemeli");
  EXPECT_THROW(t->FieldByName(L"okulno")->SetAsString(L"12a"), rtl::EConvertError);
  EXPECT_EQ(t->State(), dsEdit);
  TADOTable* check = Table(L"ogrencigorusme");
  check->Open();
  EXPECT_EQ(check->FieldByName(L"adisoyadi")->AsString(), L"Ali");
}

TEST_F(DataSetTest, FailingStoreWriteLeavesTheRecordInEdit) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Edit();
  t->FieldByName(L"adisoyadi")->SetAsString(L"Yeni");
  // Another user removes the row meanwhile: the update finds nothing and says so.
  conn_->Execute(L"delete from ogrencigorusme where adisoyadi = 'Ali'");
  EXPECT_THROW(t->Post(), EADOError);
  EXPECT_EQ(t->State(), dsEdit);
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Yeni");
}

// Rows are held as loaded until a post: every kind of cell reads back as the file has it, before and after an edit,
// a refresh and a filter over them, with Turkish text (and text past the 16-bit offsets of a row) intact.
TEST_F(DataSetTest, LoadedCellsOfEveryKindReadBackAsStored) {
  TADOQuery* make = new TADOQuery(nullptr);
  make->SetConnection(conn_);
  make->SetSQLText(L"create table cells(i INTEGER, big INTEGER, r REAL, t NVARCHAR(4), m NTEXT, b BLOB, d DATETIME)");
  make->ExecSQL();
  make->SetSQLText(
      L"insert into cells values (-129, 9007199254740993, 2.5, 'ĞÜŞİÇÖ', 'Işık ' || char(128512), x'00FF10', "
      L"'2024-02-29 13:45:59'), (null, null, null, null, null, null, null), (0, -9223372036854775808, -1e300, 'a', "
      L"replace(hex(zeroblob(35000)), '0', 'ş'), x'', 'yarın')");
  make->ExecSQL();
  make->Free();
  const String emoji = L"Işık \U0001F600";
  const String longText(70000, L'ş');
  TADOTable* t = Table(L"cells");
  t->Open();
  auto f = [&](const wchar_t* name) { return t->FieldByName(name); };
  EXPECT_EQ(f(L"big")->DataType(), ftLargeint);
  EXPECT_EQ(f(L"t")->Size(), 6);  // the longest text in UTF-16 units, not in UTF-8 bytes
  auto checkFirst = [&](const String& text) {
    EXPECT_EQ(f(L"i")->AsInteger(), -129);
    EXPECT_EQ(f(L"big")->AsString(), L"9007199254740993");
    EXPECT_EQ(f(L"r")->AsFloat(), 2.5);
    EXPECT_EQ(f(L"t")->AsString(), text);
    EXPECT_EQ(f(L"m")->AsString(), emoji);
    EXPECT_EQ(f(L"b")->Data().AsBytes(), std::string("\0\xFF\x10", 3));
    EXPECT_EQ(f(L"d")->AsDateTime(), rtl::EncodeDateTime(2024, 2, 29, 13, 45, 59, 0));
  };
  auto checkOthers = [&] {
    t->Next();
    for (TField* field : t->Fields()->Items()) EXPECT_TRUE(field->IsNull()) << dbtest::Utf8(field->FieldName());
    t->Next();
    EXPECT_EQ(f(L"i")->AsInteger(), 0);
    EXPECT_EQ(f(L"big")->AsString(), L"-9223372036854775808");
    EXPECT_EQ(f(L"r")->AsFloat(), -1e300);
    EXPECT_EQ(f(L"m")->AsString(), longText);
    EXPECT_TRUE(f(L"b")->Data().IsBytes() && f(L"b")->Data().AsBytes().empty());
    EXPECT_TRUE(f(L"d")->Data().IsText() && f(L"d")->Data().AsText() == L"yarın");  // no date: it stays text
  };
  checkFirst(L"ĞÜŞİÇÖ");
  checkOthers();

  t->First();
  t->Edit();
  f(L"t")->SetAsString(L"çğ");
  t->Cancel();
  checkFirst(L"ĞÜŞİÇÖ");
  t->Edit();
  f(L"t")->SetAsString(L"çğ");
  t->Post();
  checkFirst(L"çğ");
  checkOthers();
  t->Refresh();
  t->First();
  checkFirst(L"çğ");
  checkOthers();

  t->SetFilter(L"t='ÇĞ'");
  t->SetFiltered(true);
  EXPECT_EQ(t->RecordCount(), 1);
  EXPECT_EQ(f(L"i")->AsInteger(), -129);
  t->SetFilter(L"m like '*ş*'");
  EXPECT_EQ(t->RecordCount(), 2);
  t->SetFilter(L"big > 0");
  EXPECT_EQ(t->RecordCount(), 1);
  t->SetFiltered(false);

  // The post wrote the changed cell only, and the file holds what was read.
  TADOTable* back = Table(L"cells");
  back->Open();
  EXPECT_EQ(back->FieldByName(L"t")->AsString(), L"çğ");
  EXPECT_EQ(back->FieldByName(L"m")->AsString(), emoji);
  EXPECT_EQ(back->FieldByName(L"big")->AsString(), L"9007199254740993");
}

TEST_F(DataSetTest, FiltersOnTextAndIntegerColumns) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->SetFilter(L"okulno='12'");
  t->SetFiltered(true);
  EXPECT_EQ(t->RecordCount(), 1);
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Ali");
  t->SetFilter(L"okulno like '12*'");
  EXPECT_EQ(t->RecordCount(), 2);
  t->SetFilter(L"adisoyadi like 'z*'");
  EXPECT_EQ(t->RecordCount(), 1);
  t->SetFilter(L"okulno='x'");
  EXPECT_EQ(t->RecordCount(), 0);
  EXPECT_TRUE(t->Eof());
  t->SetFiltered(false);
  EXPECT_EQ(t->RecordCount(), 3);
  // A filter naming no column is refused and the previous filter stays in force.
  t->SetFilter(L"okulno='7'");
  t->SetFiltered(true);
  EXPECT_THROW(t->SetFilter(L"yok='1'"), EDatabaseError);
  EXPECT_EQ(t->Filter(), L"okulno='7'");
  EXPECT_EQ(t->RecordCount(), 1);
  EXPECT_THROW(t->SetFilter(L"okulno=="), EDatabaseError);
}

TEST_F(DataSetTest, QuotedUserTextStaysAValueInAFilter) {
  TADOTable* t = Table(L"sabit");
  t->Open();
  t->SetFilter(L"okuladi=" + SqlQuoted(L"x' or okuladi<>'"));
  t->SetFiltered(true);
  EXPECT_EQ(t->RecordCount(), 0);
}

TEST_F(DataSetTest, BookmarksGoCompareAndSurviveInserts) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  t->Next();
  TBookmark veli = t->GetBookmark();
  t->Last();
  TBookmark last = t->GetBookmark();
  EXPECT_EQ(t->CompareBookmarks(veli, last), -1);
  EXPECT_EQ(t->CompareBookmarks(last, veli), 1);
  EXPECT_EQ(t->CompareBookmarks(veli, veli), 0);
  t->First();
  t->Insert();
  t->FieldByName(L"adisoyadi")->SetAsString(L"Yeni");
  t->Post();
  t->GotoBookmark(veli);
  EXPECT_EQ(t->FieldByName(L"adisoyadi")->AsString(), L"Veli");
  t->Delete();
  EXPECT_FALSE(t->BookmarkValid(veli));
  EXPECT_THROW(t->GotoBookmark(veli), EDatabaseError);
  t->FreeBookmark(veli);
  EXPECT_TRUE(veli.empty());
}

TEST_F(DataSetTest, FieldsByNameAndPositionWithOrdinalCase) {
  TADOTable* t = Table(L"ogrencibilgi");
  t->Open();
  EXPECT_EQ(t->FieldCount(), 49);
  EXPECT_EQ(t->Fields()->Fields(0)->FieldName(), L"sirano");
  EXPECT_EQ(t->FindField(L"ADISOYADI"), t->FieldByName(L"adisoyadi"));
  // "I" must not fold to a dotless letter: ordinal rules.
  EXPECT_NE(t->FindField(L"KIMLEOTURUYOR"), nullptr);
  EXPECT_EQ(t->FindField(L"yok"), nullptr);
  EXPECT_THROW(t->FieldByName(L"yok"), EDatabaseError);
  auto names = t->FieldNames();
  ASSERT_EQ(names.size(), 49u);
  EXPECT_EQ(names[48], L"resim");
  rtl::TStringList list;
  list.Add(L"eski");
  t->GetFieldNames(&list);
  ASSERT_EQ(list.Count(), 49);
  EXPECT_EQ(list.Get(28), L"2828veya5395");
  EXPECT_EQ(t->FieldDefs()->Find(L"resim")->Size, 250);
  EXPECT_EQ(t->FieldDefs()->Find(L"adres")->DataType, ftWideString);
}

TEST_F(DataSetTest, PersistentFieldsLimitAndOrderTheColumns) {
  TADOTable* t = Table(L"ogrencibilgi");
  auto* owner = new vcl::TComponent(nullptr);
  auto* ad = new TStringField(owner);
  ad->SetFieldName(L"adisoyadi");
  ad->SetSize(20);
  ad->SetDataSet(t);
  auto* okulno = new TWideStringField(owner);
  okulno->SetFieldName(L"okulno");
  okulno->SetSize(255);
  okulno->SetDataSet(t);
  t->Open();
  ASSERT_EQ(t->FieldCount(), 2);
  EXPECT_EQ(t->Fields()->Fields(0), ad);
  EXPECT_EQ(t->FindField(L"tcno"), nullptr);
  t->Append();
  // A single-byte declaration still keeps every Turkish letter.
  ad->SetAsString(L"Işıl Çağ Öğüş");
  EXPECT_THROW(ad->SetAsString(String(21, L'x')), EDatabaseError);
  t->Post();
  t->Close();
  owner->Free();
  TADOTable* back = Table(L"ogrencibilgi");
  back->Open();
  EXPECT_EQ(back->FieldByName(L"adisoyadi")->AsString(), L"Işıl Çağ Öğüş");
}

TEST_F(DataSetTest, ValueAndVariantsFollowTheFieldType) {
  TADOTable* t = Table(L"ogrencigorusme");
  t->Open();
  TField* okulno = t->FieldByName(L"okulno");
  EXPECT_EQ(okulno->AsInteger(), 12);
  EXPECT_EQ(okulno->Value().AsInteger(), 12);
  EXPECT_DOUBLE_EQ(okulno->AsFloat(), 12.0);
  EXPECT_TRUE(okulno->IsValidChar(L'5'));
  EXPECT_TRUE(okulno->IsValidChar(L'-'));
  EXPECT_FALSE(okulno->IsValidChar(L'a'));
  TField* tarih = t->FieldByName(L"gorusmetarihi");
  EXPECT_TRUE(tarih->IsNull());
  EXPECT_TRUE(tarih->Value().IsNull());
  EXPECT_EQ(tarih->AsString(), L"");
  t->Edit();
  okulno->SetValue(rtl::Variant(77));
  okulno->Clear();
  EXPECT_TRUE(okulno->IsNull());
  okulno->SetText(L"88");
  EXPECT_EQ(okulno->DisplayText(), L"88");
  t->Cancel();
  EXPECT_EQ(okulno->AsInteger(), 12);
}

TEST_F(DataSetTest, EventsAroundOpenPostAndClose) {
  TADOTable* t = Table(L"sabit");
  std::vector<std::string> seen;
  t->AfterOpen = [&](TDataSet*) { seen.push_back("AfterOpen"); };
  t->BeforePost = [&](TDataSet*) { seen.push_back("BeforePost"); };
  t->AfterPost = [&](TDataSet*) { seen.push_back("AfterPost"); };
  t->BeforeClose = [&](TDataSet*) { seen.push_back("BeforeClose"); };
  t->OnNewRecord = [&](TDataSet* ds) { ds->FieldByName(L"kadi")->SetAsString(L"varsayılan"); };
  t->Open();
  t->Append();
  EXPECT_EQ(t->FieldByName(L"kadi")->AsString(), L"varsayılan");
  t->Post();
  t->Close();
  EXPECT_EQ(seen, (std::vector<std::string>{"AfterOpen", "BeforePost", "AfterPost", "BeforeClose"}));
}

TEST_F(DataSetTest, MissingTableRaisesTheStoreMessageAndStaysClosed) {
  TADOTable* t = Table(L"olmayan");
  try {
    t->Open();
    FAIL();
  } catch (const EADOError& e) {
    EXPECT_NE(e.Message().find(L"no such table"), String::npos);
  }
  EXPECT_EQ(t->State(), dsInactive);
}

}  // namespace
}  // namespace db
