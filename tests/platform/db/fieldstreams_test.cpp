// Field values handed on as streams (what report datasets use) and the blob kinds.
#include <gtest/gtest.h>

#include <cstring>

#include "dbtestutil.h"
#include "platform/db/ado.h"
#include "platform/db/datasource.h"
#include "platform/rtl/streams.h"

namespace db {
namespace {

class FieldStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::wstring dir = dbtest::TempFolder();
    ASSERT_TRUE(
        dbtest::CreateDatabase(dir + L"\\tavrel.db",
                               "create table ekler(ad NVARCHAR(20), veri BLOB, tutar NUMERIC(10,2), buyuk BIGINT);"
                               "insert into ekler values ('a', x'00FF10', 12.5, 5000000000);"
                               "insert into veligorusme(okulno, gorusmeozeti) values ('1', 'Özet ğ');"));
    conn_ = new TADOConnection(nullptr);
    conn_->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.db");
  }
  void TearDown() override { conn_->Free(); }
  TADOConnection* conn_ = nullptr;
};

TEST_F(FieldStreamTest, WideMemoSavesUtf16AndBlobSavesItsBytes) {
  TADOTable t(nullptr);
  t.SetConnection(conn_);
  t.SetTableName(L"veligorusme");
  t.Open();
  TField* memo = t.FieldByName(L"gorusmeozeti");
  ASSERT_NE(dynamic_cast<TWideMemoField*>(memo), nullptr);
  EXPECT_TRUE(memo->IsBlob());
  EXPECT_EQ(static_cast<TBlobField*>(memo)->BlobType(), ftWideMemo);
  rtl::TMemoryStream ms;
  memo->SaveToStream(&ms);
  ASSERT_EQ(ms.Size(), static_cast<rtl::Int64>(6 * sizeof(wchar_t)));
  EXPECT_EQ(std::memcmp(ms.Memory(), L"Özet ğ", 6 * sizeof(wchar_t)), 0);

  TADOTable e(nullptr);
  e.SetConnection(conn_);
  e.SetTableName(L"ekler");
  e.Open();
  TField* veri = e.FieldByName(L"veri");
  EXPECT_EQ(veri->DataType(), ftBlob);
  rtl::TMemoryStream bs;
  veri->SaveToStream(&bs);
  ASSERT_EQ(bs.Size(), 3);
  EXPECT_EQ(static_cast<const unsigned char*>(bs.Memory())[1], 0xFF);
  TField* tutar = e.FieldByName(L"tutar");
  EXPECT_NE(dynamic_cast<TFMTBCDField*>(tutar), nullptr);
  EXPECT_DOUBLE_EQ(tutar->AsFloat(), 12.5);
  EXPECT_DOUBLE_EQ(tutar->AsCurrency(), 12.5);
  TField* buyuk = e.FieldByName(L"buyuk");
  EXPECT_NE(dynamic_cast<TLargeintField*>(buyuk), nullptr);
  EXPECT_EQ(buyuk->AsLargeInt(), 5000000000LL);
  EXPECT_EQ(buyuk->Value().VarType(), rtl::varInt64);
}

TEST_F(FieldStreamTest, DisabledControlsHearOneChangeAtTheEnd) {
  TADOTable t(nullptr);
  t.SetConnection(conn_);
  t.SetTableName(L"ekler");
  TDataSource ds(nullptr);
  ds.SetDataSet(&t);
  int changes = 0;
  ds.OnDataChange = [&](rtl::TObject*, TField*) { ++changes; };
  t.Open();
  changes = 0;
  t.DisableControls();
  for (int i = 0; i < 3; ++i) {
    t.Append();
    t.FieldByName(L"ad")->SetAsString(L"x");
    t.Post();
  }
  EXPECT_EQ(changes, 0);
  t.EnableControls();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(t.RecordCount(), 4);
  ds.SetDataSet(nullptr);
}

}  // namespace
}  // namespace db
