#include "platform/db/ado.h"

#include <gtest/gtest.h>

#include "dbtestutil.h"
#include "platform/db/dberrors.h"

namespace db {
namespace {

TEST(ADOConnection, DataSourceIsReadFromTheConnectionString) {
  const String cs = L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=C:\\a b\\tavrel.mdb";
  EXPECT_EQ(TADOConnection::ConnectionStringValue(cs, L"data source"), L"C:\\a b\\tavrel.mdb");
  EXPECT_EQ(TADOConnection::ConnectionStringValue(L"Data Source=\"x.db\"", L"Data Source"), L"x.db");
  EXPECT_EQ(TADOConnection::ConnectionStringValue(cs, L"User ID"), L"");
}

TEST(ADOConnection, MdbNameOpensTheDbFileAndAMissingFileIsAnError) {
  std::wstring dir = dbtest::TempFolder();
  auto* c = new TADOConnection(nullptr);
  c->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.mdb");
  try {
    c->Open();
    FAIL();
  } catch (const EADOError& e) {
    EXPECT_NE(e.Message().find(L"tavrel.db"), String::npos);
  }
  EXPECT_FALSE(c->Connected());
  // The program never creates the file.
  EXPECT_EQ(GetFileAttributesW((dir + L"\\tavrel.db").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(dbtest::CreateDatabase(dir + L"\\tavrel.db"));
  c->SetConnected(true);
  EXPECT_TRUE(c->Connected());
  EXPECT_EQ(c->FileName(), dir + L"\\tavrel.db");
  c->Free();
}

class ADOQueryTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::wstring dir = dbtest::TempFolder();
    ASSERT_TRUE(dbtest::CreateDatabase(dir + L"\\tavrel.db",
                                       "insert into danisankayit(okulno) values (5);"
                                       "insert into danisankayit(okulno) values (5);"
                                       "insert into danisankayit(okulno) values (8);"
                                       "insert into ogrencibilgi(okulno, adisoyadi) values ('5', 'Ali');"));
    conn_ = new TADOConnection(nullptr);
    conn_->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.mdb");
    conn_->SetLoginPrompt(false);
    q_ = new TADOQuery(nullptr);
    q_->SetConnection(conn_);
  }
  void TearDown() override {
    q_->Free();
    conn_->Free();
  }
  TADOConnection* conn_ = nullptr;
  TADOQuery* q_ = nullptr;
};

TEST_F(ADOQueryTest, ReplacingTheStatementClosesAndReopens) {
  q_->SetSQLText(L"select * from danisankayit");
  q_->Open();
  EXPECT_EQ(q_->RecordCount(), 3);
  q_->SetSQLText(L"select DISTINCT okulno from danisankayit");
  EXPECT_FALSE(q_->Active());
  q_->Open();
  EXPECT_EQ(q_->RecordCount(), 2);
  EXPECT_FALSE(q_->CanModify());
  EXPECT_THROW(q_->Edit(), EDatabaseError);
}

TEST_F(ADOQueryTest, SimpleSelectCanBeEditedAndExposesEveryColumn) {
  q_->SetSQLText(L"SELECT * FROM ogrencibilgi WHERE okulno LIke " + SqlNumber(L" 5 "));
  q_->Open();
  ASSERT_EQ(q_->RecordCount(), 1);
  EXPECT_EQ(q_->FieldCount(), 49);
  EXPECT_TRUE(q_->CanModify());
  q_->Edit();
  q_->FieldByName(L"tcno")->SetAsString(L"111");
  q_->Post();
  q_->Close();
  q_->Open();
  EXPECT_EQ(q_->FieldByName(L"tcno")->AsString(), L"111");
}

TEST_F(ADOQueryTest, UserTextNeverChangesAStatement) {
  // Quoted where the statement quotes it: any text stays one value.
  q_->SetSQLText(L"SELECT * FROM ogrencibilgi WHERE okulno LIke " + SqlQuoted(L"5' or '1'='1"));
  q_->Open();
  EXPECT_EQ(q_->RecordCount(), 0);
  q_->Close();
  // Unquoted numbers: anything but a number is refused before a statement exists.
  for (const wchar_t* bad : {L"5 or 1=1", L"", L"  ", L"5; delete from sabit", L"1e3", L"--"})
    EXPECT_THROW(SqlNumber(bad), EDatabaseError) << rtl::StringToUTF8(bad);
  EXPECT_EQ(SqlNumber(L"-12"), L"-12");
}

TEST_F(ADOQueryTest, AnInvalidStatementRaisesTheStoreErrorAndStaysClosed) {
  q_->SetSQLText(L"SELECT * FROM ogrencibilgi WHERE okulno LIke ");
  EXPECT_THROW(q_->Open(), EADOError);
  EXPECT_FALSE(q_->Active());
}

TEST_F(ADOQueryTest, StatisticsStyleCountsWithLike) {
  conn_->Execute(L"insert into ogrencigorusme(gorusmeturu) values ('Bireysel'), ('Grup'), (NULL)");
  q_->SetSQLText(L"select * from ogrencigorusme WHERE gorusmeturu Like " + SqlQuoted(L"%%"));
  q_->Open();
  EXPECT_EQ(q_->RecordCount(), 2);
}

TEST(SimpleSelect, RecognisesTheEditableForm) {
  EXPECT_EQ(SimpleSelectTable(L"select * from ogrencibilgi"), L"ogrencibilgi");
  EXPECT_EQ(SimpleSelectTable(L"SELECT * FROM ogrencigorusme WHERE okulno LIke '5'"), L"ogrencigorusme");
  EXPECT_EQ(SimpleSelectTable(L"select DISTINCT okulno from danisankayit"), L"");
  EXPECT_EQ(SimpleSelectTable(L"select * from a, b"), L"");
  EXPECT_EQ(SimpleSelectTable(L"select * from a join b on a.x=b.x"), L"");
}

}  // namespace
}  // namespace db
