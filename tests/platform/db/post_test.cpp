// What a post writes and what the dataset shows afterwards, against a second reader of the file; the statements a
// dataset keeps prepared between posts; text as the file holds it (UTF-8) read back as typed.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "dbtestutil.h"
#include "platform/db/ado.h"
#include "platform/db/dberrors.h"
#include "platform/db/sqlite.h"
#include "platform/rtl/textconv.h"
#include "tests/common/database.h"

namespace db {
namespace {

class PostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dbtest::TempFolder();
    file_ = folder_ + L"\\tavrel.db";
    ASSERT_TRUE(dbtest::CreateDatabase(
        file_,
        "create table kayit(no integer primary key, sayi integer default 7, yazi nvarchar(20) default 'ağ''ac', "
        "oran real default (1.5 * 2), gun text default current_date, serbest nvarchar(20));"));
    conn_ = std::make_unique<TADOConnection>(nullptr);
    conn_->SetLoginPrompt(false);
    conn_->SetConnectionString(L"Data Source=" + folder_ + L"\\tavrel.mdb");
    conn_->Open();
  }
  std::unique_ptr<TADOTable> Table(const String& name) {
    auto t = std::make_unique<TADOTable>(nullptr);
    t->SetConnection(conn_.get());
    t->SetTableName(name);
    t->Open();
    return t;
  }
  // Every column of the row as the dataset shows it and as SQLite reads it from the file, side by side.
  void ExpectShownAsStored(TDataSet* t) {
    std::string no = rtl::StringToUTF8(t->FieldByName(L"no")->AsString());
    auto rows = testutil::Query(file_, "select * from kayit where no = " + no);
    ASSERT_EQ(rows.size(), 1u) << no;
    for (const auto& [column, stored] : rows[0]) {
      TField* f = t->FieldByName(rtl::UTF8ToString(column));
      EXPECT_EQ(f->IsNull() ? String(L"<null>") : f->AsString(), f->DataType() == ftFloat ? f->AsString() : stored)
          << column;
    }
  }

  std::wstring folder_, file_;
  std::unique_ptr<TADOConnection> conn_;
};

TEST_F(PostTest, AnInsertShowsTheRowIdAndEveryDefaultTheStoreFilledIn) {
  auto t = Table(L"kayit");
  struct Case {
    const wchar_t* sayi;  // nullptr: left empty
    const wchar_t* shownSayi;
  };
  // The same dataset posts rows with different columns left empty: each set of columns has its own statement.
  for (const Case& c : {Case{nullptr, L"7"}, Case{L"0", L"0"}, Case{nullptr, L"7"}, Case{L"-3", L"-3"}}) {
    t->Append();
    t->FieldByName(L"serbest")->SetAsString(L"şğü");
    if (c.sayi) t->FieldByName(L"sayi")->SetAsString(c.sayi);
    t->Post();
    EXPECT_EQ(t->FieldByName(L"sayi")->AsString(), c.shownSayi);
    EXPECT_EQ(t->FieldByName(L"yazi")->AsString(), L"ağ'ac");
    EXPECT_DOUBLE_EQ(t->FieldByName(L"oran")->AsFloat(), 3.0);
    EXPECT_FALSE(t->FieldByName(L"gun")->AsString().empty()) << "a default the store computes on each insert";
    EXPECT_EQ(t->FieldByName(L"no")->AsInteger(), t->RecNo());
    ExpectShownAsStored(t.get());
  }
  EXPECT_EQ(testutil::QueryText(file_, "select count(*) from kayit"), "4");
}

TEST_F(PostTest, AnUpdateWritesOnlyWhatChangedSoAnotherWritersColumnStays) {
  conn_->Execute(L"insert into kayit(sayi, serbest) values (1, 'ilk')");
  auto t = Table(L"kayit");
  t->Edit();
  t->FieldByName(L"serbest")->SetAsString(L"ikinci");
  // Meanwhile another writer changes another column of the same row.
  ASSERT_TRUE(testutil::Exec(file_, "update kayit set sayi = 42"));
  t->Post();
  EXPECT_EQ(testutil::QueryText(file_, "select sayi || '/' || serbest from kayit"), "42/ikinci");
  // The next edit of the same column reuses the statement.
  t->Edit();
  t->FieldByName(L"serbest")->SetAsString(L"üçüncü");
  t->Post();
  EXPECT_EQ(testutil::QueryText(file_, "select serbest from kayit"), "üçüncü");
}

TEST_F(PostTest, APreparedStatementFollowsTheTableAndFailsCleanlyWhenItIsGone) {
  auto t = Table(L"kayit");
  t->Append();
  t->FieldByName(L"serbest")->SetAsString(L"bir");
  t->Post();
  // A column added to the table under the open dataset: the kept statement still writes.
  conn_->Execute(L"alter table kayit add column ek text");
  t->Append();
  t->FieldByName(L"serbest")->SetAsString(L"iki");
  t->Post();
  EXPECT_EQ(testutil::QueryText(file_, "select count(*) from kayit"), "2");
  // The table renamed away: the post fails with the store's message and the record waits in insert.
  conn_->Execute(L"alter table kayit rename to kayit_eski");
  t->Append();
  t->FieldByName(L"serbest")->SetAsString(L"üç");
  EXPECT_THROW(t->Post(), EADOError);
  EXPECT_EQ(t->State(), dsInsert);
  EXPECT_EQ(t->FieldByName(L"serbest")->AsString(), L"üç");
  EXPECT_TRUE(t->FieldByName(L"no")->IsNull()) << "nothing of a failed insert reaches the record";
  t->Cancel();
  EXPECT_EQ(t->RecordCount(), 2);
}

TEST_F(PostTest, DeletingOneRowAfterAnotherUsesOneStatement) {
  for (int i = 0; i < 3; ++i) conn_->Execute(L"insert into kayit(serbest) values ('x')");
  auto t = Table(L"kayit");
  t->Delete();
  t->Delete();
  EXPECT_EQ(testutil::QueryText(file_, "select count(*) from kayit"), "1");
  EXPECT_EQ(t->RecordCount(), 1);
}

TEST(Utf8Text, WidenedAsTypedAndMalformedBytesBecomeReplacementCharacters) {
  struct Case {
    const char* bytes;
    const wchar_t* text;
  };
  const Case cases[] = {
      {"", L""},
      {"okul 123", L"okul 123"},
      {"\xC4\xB0\xC5\x9F\xC4\xB1k \xC3\xA7", L"İşık ç"},
      {"\xE2\x82\xBA 5", L"₺ 5"},
      {"a\xF0\x9F\x98\x80z", L"a\xD83D\xDE00z"},          // outside the basic plane: a surrogate pair
      {"\x80x", L"\xFFFDx"},                              // a continuation byte alone
      {"x\xC4", L"x\xFFFD"},                              // cut short at the end
      {"\xE2\x82x", L"\xFFFD\xFFFDx"},                    // cut short before a plain character
      {"\xC0\xAF", L"\xFFFD\xFFFD"},                      // an overlong form
      {"\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},            // a surrogate written out
      {"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},  // past U+10FFFF
  };
  for (const Case& c : cases) {
    String out = L"old content to be replaced";
    Utf8ToString(c.bytes, std::strlen(c.bytes), out);
    EXPECT_EQ(out, c.text) << c.bytes;
  }
}

}  // namespace
}  // namespace db
