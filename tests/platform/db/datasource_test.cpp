#include "platform/db/datasource.h"

#include <gtest/gtest.h>

#include "dbtestutil.h"
#include "platform/db/dberrors.h"

namespace db {
namespace {

class DataLinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::wstring dir = dbtest::TempFolder();
    std::string rows;
    for (int i = 1; i <= 10; ++i) rows += "insert into ogretmengorusme(okulno) values ('" + std::to_string(i) + "');";
    ASSERT_TRUE(dbtest::CreateDatabase(dir + L"\\tavrel.db", rows));
    owner_ = new vcl::TComponent(nullptr);
    conn_ = new TADOConnection(owner_);
    conn_->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.db");
    table_ = new TADOTable(owner_);
    table_->SetConnection(conn_);
    table_->SetTableName(L"ogretmengorusme");
    source_ = new TDataSource(owner_);
    source_->SetDataSet(table_);
  }
  void TearDown() override { owner_->Free(); }

  vcl::TComponent* owner_ = nullptr;
  TADOConnection* conn_ = nullptr;
  TADOTable* table_ = nullptr;
  TDataSource* source_ = nullptr;
};

TEST_F(DataLinkTest, FieldLinkFollowsTheRecordAndHandsTextOverOnPost) {
  TFieldDataLink link;
  String shown;
  String typed;
  int editingChanges = 0;
  link.OnDataChange = [&](rtl::TObject*) { shown = link.Field() ? link.Field()->Text() : L"<none>"; };
  link.OnUpdateData = [&](rtl::TObject*) { link.Field()->SetText(typed); };
  link.OnEditingChange = [&](rtl::TObject*) { ++editingChanges; };
  link.SetDataSource(source_);
  link.SetFieldName(L"okulno");
  EXPECT_EQ(link.Field(), nullptr);
  table_->Open();
  EXPECT_TRUE(link.Active());
  ASSERT_NE(link.Field(), nullptr);
  EXPECT_EQ(shown, L"1");
  table_->Next();
  EXPECT_EQ(shown, L"2");
  // The user types: the control asks to edit, marks the link modified, and the text reaches the field on post.
  EXPECT_TRUE(link.Edit());
  EXPECT_TRUE(link.Editing());
  EXPECT_EQ(table_->State(), dsEdit);
  typed = L"2b";
  link.Modified();
  table_->Post();
  EXPECT_FALSE(link.Editing());
  EXPECT_EQ(editingChanges, 2);
  EXPECT_EQ(table_->FieldByName(L"okulno")->AsString(), L"2b");
  table_->Close();
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.Field(), nullptr);
}

TEST_F(DataLinkTest, TextThatDoesNotFitTheFieldStopsThePost) {
  TFieldDataLink link;
  link.OnUpdateData = [&](rtl::TObject*) { link.Field()->SetText(String(21, L'x')); };
  link.SetDataSource(source_);
  link.SetFieldName(L"okulno");
  table_->Open();
  link.Edit();
  link.Modified();
  EXPECT_THROW(table_->Post(), EDatabaseError);
  EXPECT_EQ(table_->State(), dsEdit);
  EXPECT_TRUE(link.IsModified());
}

TEST_F(DataLinkTest, AutoEditOffKeepsTheDatasetBrowsing) {
  TFieldDataLink link;
  link.SetDataSource(source_);
  link.SetFieldName(L"okulno");
  table_->Open();
  source_->SetAutoEdit(false);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(table_->State(), dsBrowse);
  link.SetReadOnly(true);
  source_->SetAutoEdit(true);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(table_->State(), dsBrowse);
}

TEST_F(DataLinkTest, RecordWindowForGrids) {
  TDataLink link;
  link.SetDataSource(source_);
  link.SetBufferCount(4);
  table_->Open();
  EXPECT_EQ(link.RecordCount(), 4);
  EXPECT_EQ(link.ActiveRecord(), 0);
  table_->MoveBy(5);  // record 6: the window scrolls to show it as its last row
  EXPECT_EQ(link.ActiveRecord(), 3);
  TField* f = table_->FieldByName(L"okulno");
  std::vector<String> rows;
  int saved = link.ActiveRecord();
  for (int i = 0; i < link.RecordCount(); ++i) {
    link.SetActiveRecord(i);
    rows.push_back(f->AsString());
  }
  link.SetActiveRecord(saved);
  EXPECT_EQ(rows, (std::vector<String>{L"3", L"4", L"5", L"6"}));
  EXPECT_EQ(f->AsString(), L"6");
  table_->Last();
  EXPECT_EQ(link.ActiveRecord(), 3);
  table_->First();
  EXPECT_EQ(link.ActiveRecord(), 0);
}

TEST_F(DataLinkTest, DataSourceEventsAndFreedDataSet) {
  int changes = 0, states = 0;
  source_->OnDataChange = [&](rtl::TObject*, TField*) { ++changes; };
  source_->OnStateChange = [&](rtl::TObject*) { ++states; };
  table_->Open();
  table_->Next();
  table_->Edit();
  EXPECT_GE(changes, 1);
  EXPECT_EQ(states, 2);  // browse, edit
  EXPECT_EQ(source_->State(), dsEdit);
  table_->Cancel();
  table_->Free();
  table_ = nullptr;
  EXPECT_EQ(source_->DataSet(), nullptr);
  EXPECT_EQ(source_->State(), dsInactive);
}

}  // namespace
}  // namespace db
