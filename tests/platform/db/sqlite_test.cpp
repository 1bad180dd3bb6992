#include "platform/db/sqlite.h"

#include <gtest/gtest.h>

#include "dbtestutil.h"

namespace db {
namespace {

class SqliteTest : public ::testing::Test {
protected:
  void SetUp() override {
    file_ = dbtest::TempFolder() + L"\\tavrel.db";
    ASSERT_TRUE(dbtest::CreateDatabase(file_));
    db_.Open(file_);
  }
  std::wstring file_;
  SqliteDatabase db_;
};

TEST_F(SqliteTest, MissingFileIsAnErrorAndCreatesNothing) {
  SqliteDatabase other;
  std::wstring missing = dbtest::TempFolder() + L"\\yok.db";
  EXPECT_THROW(other.Open(missing), EADOError);
  EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SqliteTest, StoreMessageTravelsInTheException) {
  try {
    SqliteStatement st(db_, L"select * from olmayan");
    FAIL();
  } catch (const EADOError& e) {
    EXPECT_NE(e.Message().find(L"no such table: olmayan"), String::npos) << rtl::StringToUTF8(e.Message());
  }
}

TEST_F(SqliteTest, ASecondStatementInOneCommandIsRefused) {
  EXPECT_THROW(SqliteStatement(db_, L"select 1; delete from sabit"), EADOError);
}

TEST_F(SqliteTest, TurkishTextRoundTripsThroughBoundValues) {
  const String name = L"Çağrı Işıl Öztürk ğüşiöçİ";
  {
    SqliteStatement ins(db_, L"insert into sabit(okuladi) values (?1)");
    ins.BindText(1, name);
    ins.Step();
  }
  SqliteStatement sel(db_, L"select okuladi from sabit");
  ASSERT_TRUE(sel.Step());
  EXPECT_EQ(sel.ColumnText(0), name);
}

TEST_F(SqliteTest, SchemaHasEveryColumnAndTheAutoNumbers) {
  auto cols = db_.TableColumns(L"ogrencibilgi");
  ASSERT_EQ(cols.size(), 49u);
  EXPECT_EQ(cols[0].name, L"sirano");
  EXPECT_TRUE(cols[0].autoIncrement);
  EXPECT_EQ(cols[28].name, L"2828veya5395");
  EXPECT_EQ(cols[48].name, L"resim");
  EXPECT_EQ(cols[48].declaredType, L"NVARCHAR(250)");
  EXPECT_TRUE(db_.TableColumns(L"danisankayit")[0].autoIncrement);
  for (const wchar_t* t : {L"ogrencigorusme", L"ogretmengorusme", L"veligorusme", L"sabit"})
    EXPECT_TRUE(db_.TableExists(t)) << rtl::StringToUTF8(t);
}

TEST(SqlQuoting, QuotesAreDoubled) {
  EXPECT_EQ(QuoteText(L"O'Brien"), L"'O''Brien'");
  EXPECT_EQ(QuoteIdentifier(L"2828veya5395"), L"\"2828veya5395\"");
  EXPECT_EQ(QuoteIdentifier(L"a\"b"), L"\"a\"\"b\"");
}

struct TypeCase {
  const wchar_t* decl;
  bool autoinc;
  TFieldType type;
  int size;
};

TEST(DeclaredTypes, MapToFieldTypes) {
  const TypeCase cases[] = {
      {L"NVARCHAR(255)", false, ftWideString, 255},
      {L"NVARCHAR(20)", false, ftWideString, 20},
      {L"NTEXT", false, ftWideMemo, 0},
      {L"INTEGER", true, ftAutoInc, 0},
      {L"INTEGER", false, ftInteger, 0},
      {L"DATETIME", false, ftDateTime, 0},
      {L"BOOLEAN", false, ftBoolean, 0},
      {L"REAL", false, ftFloat, 0},
      {L"BIGINT", false, ftLargeint, 0},
      {L"NUMERIC(10,2)", false, ftFMTBcd, 2},
      {L"BLOB", false, ftBlob, 0},
      {L"", false, ftUnknown, 0},
  };
  for (const auto& c : cases) {
    auto t = MapDeclaredType(c.decl, c.autoinc);
    EXPECT_EQ(t.type, c.type) << rtl::StringToUTF8(c.decl);
    EXPECT_EQ(t.size, c.size) << rtl::StringToUTF8(c.decl);
  }
}

}  // namespace
}  // namespace db
