// The school-number search as the screens make it (filter off, new filter text, filter on) over many rows: the
// rows let through, the record shown, and a filter that names no column.
#include <gtest/gtest.h>

#include <memory>

#include "dbtestutil.h"
#include "platform/db/ado.h"
#include "platform/db/dberrors.h"
#include "platform/rtl/strings.h"

namespace db {
namespace {

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring folder = dbtest::TempFolder();
    std::string rows = "begin;";
    // School numbers 1..300; every tenth student is in class 9, the rest in 10; names with Turkish letters.
    for (int i = 1; i <= 300; ++i)
      rows += "insert into ogrencibilgi(okulno, adisoyadi, sinif) values ('" + std::to_string(i) + "', '" +
              (i % 2 ? "Işık " : "ılgın ") + std::to_string(i) + "', '" + (i % 10 ? "10" : "9") + "');";
    ASSERT_TRUE(dbtest::CreateDatabase(folder + L"\\tavrel.db", rows + "commit;"));
    conn_ = std::make_unique<TADOConnection>(nullptr);
    conn_->SetConnectionString(L"Data Source=" + folder + L"\\tavrel.mdb");
    table_ = std::make_unique<TADOTable>(nullptr);
    table_->SetConnection(conn_.get());
    table_->SetTableName(L"ogrencibilgi");
    table_->Open();
  }
  // The student screen's handler for one state of the search box.
  void Search(const String& text) {
    if (rtl::Trim(text).empty()) {
      table_->SetFiltered(false);
      return;
    }
    table_->SetFiltered(false);
    table_->SetFilter(L"okulno=" + rtl::QuotedStr(text));
    table_->SetFiltered(true);
  }

  std::unique_ptr<TADOConnection> conn_;
  std::unique_ptr<TADOTable> table_;
};

TEST_F(SearchTest, EachKeystrokeShowsTheExactSchoolNumberOrNothing) {
  struct Step {
    const wchar_t* box;
    int count;
    const wchar_t* shown;  // the school number shown, "" for none
  };
  const Step steps[] = {{L"2", 1, L"2"},     {L"25", 1, L"25"}, {L"250", 1, L"250"}, {L"2500", 0, L""},
                        {L"250", 1, L"250"}, {L"", 300, L"1"},  {L"  ", 300, L"1"},  {L"abc'", 0, L""}};
  for (const Step& s : steps) {
    Search(s.box);
    EXPECT_EQ(table_->RecordCount(), s.count) << rtl::StringToUTF8(s.box);
    EXPECT_EQ(table_->IsEmpty() ? String() : table_->FieldByName(L"okulno")->AsString(), s.shown);
  }
}

TEST_F(SearchTest, CombinedConditionsAndCaseAcrossTurkishLetters) {
  table_->SetFilter(L"sinif='9' and (adisoyadi like 'IŞIK*' or okulno='20')");
  table_->SetFiltered(true);
  // Class 9 are the tenth students: all even, so none is "Işık" but number 20 is named by its number.
  EXPECT_EQ(table_->RecordCount(), 1);
  EXPECT_EQ(table_->FieldByName(L"okulno")->AsString(), L"20");
  table_->SetFilter(L"adisoyadi like 'ılgın 1*'");
  // The even numbers beginning with 1: 10 to 18 and 100 to 198.
  EXPECT_EQ(table_->RecordCount(), 55);
}

TEST_F(SearchTest, AFilterTextSetWhileFilteringIsOffMovesNothing) {
  table_->MoveBy(41);
  ASSERT_EQ(table_->FieldByName(L"okulno")->AsString(), L"42");
  table_->SetFilter(L"okulno='7'");
  EXPECT_EQ(table_->FieldByName(L"okulno")->AsString(), L"42");
  EXPECT_EQ(table_->RecordCount(), 300);
  table_->SetFiltered(true);
  EXPECT_EQ(table_->FieldByName(L"okulno")->AsString(), L"7");
}

TEST_F(SearchTest, AFilterNamingNoColumnIsRefusedEvenWhenNoRowIsLeftToTest) {
  table_->SetFilter(L"okulno='yok'");
  table_->SetFiltered(true);
  ASSERT_EQ(table_->RecordCount(), 0);
  EXPECT_THROW(table_->SetFilter(L"numara='1'"), EDatabaseError);
  EXPECT_EQ(table_->Filter(), L"okulno='yok'");
  table_->SetFiltered(false);
  table_->SetFilter(L"numara='1'");
  EXPECT_THROW(table_->SetFiltered(true), EDatabaseError);
  EXPECT_FALSE(table_->Filtered());
  EXPECT_EQ(table_->RecordCount(), 300);
}

}  // namespace
}  // namespace db
