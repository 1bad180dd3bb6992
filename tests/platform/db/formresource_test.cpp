// Data components declared in a form resource: persistent fields under their dataset, references by name, and
// Active opening once everything is read.
#include <gtest/gtest.h>

#include "dbtestutil.h"
#include "platform/db/ado.h"
#include "platform/db/datasource.h"
#include "platform/db/dberrors.h"
#include "platform/db/dbctrls.h"
#include "platform/db/dbgrids.h"
#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"

namespace dbtest {

class TTestDataModule : public vcl::TComponent {
  VCL_CLASS(TTestDataModule, vcl::TComponent)
  explicit TTestDataModule(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  db::TADOTable* ADOTable1 = nullptr;
  db::TADOQuery* ADOQuery1 = nullptr;
};

VCL_REGISTER(TTestDataModule) {
  cls.Field(L"ADOTable1", &TTestDataModule::ADOTable1);
  cls.Field(L"ADOQuery1", &TTestDataModule::ADOQuery1);
}

namespace {

TEST(DataFormResource, PersistentFieldsAndActiveFromText) {
  std::wstring dir = TempFolder();
  ASSERT_TRUE(CreateDatabase(dir + L"\\tavrel.db", "insert into ogrencibilgi(okulno, adisoyadi) values ('7', 'Ece');"));
  rtl::String text =
      L"object DM: TTestDataModule\n"
      L"  object ADOBaglan: TADOConnection\n"
      L"    ConnectionString = 'Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
      dir +
      L"\\tavrel.mdb'\n"
      L"    LoginPrompt = False\n"
      L"  end\n"
      L"  object ADOTable1: TADOTable\n"
      L"    Active = True\n"
      L"    Connection = ADOBaglan\n"
      L"    CursorType = ctStatic\n"
      L"    TableName = 'ogrencibilgi'\n"
      L"    object ADOTable1adisoyadi: TStringField\n"
      L"      FieldName = 'adisoyadi'\n"
      L"    end\n"
      L"    object ADOTable1okulno: TWideStringField\n"
      L"      DisplayLabel = 'Okul No'\n"
      L"      FieldName = 'okulno'\n"
      L"      Size = 255\n"
      L"    end\n"
      L"  end\n"
      L"  object ADOQuery1: TADOQuery\n"
      L"    Connection = ADOBaglan\n"
      L"    SQL.Strings = (\n"
      L"      'select * from ogrencibilgi')\n"
      L"  end\n"
      L"  object DataSource1: TDataSource\n"
      L"    DataSet = ADOTable1\n"
      L"  end\n"
      L"end\n";
  TTestDataModule dm(nullptr);
  vcl::ReadComponentText(text, &dm, L"DM");
  ASSERT_NE(dm.ADOTable1, nullptr);
  db::TADOTable* t = dm.ADOTable1;
  EXPECT_TRUE(t->Active());
  ASSERT_EQ(t->FieldCount(), 2);
  EXPECT_EQ(t->Fields()->Fields(0)->FieldName(), L"adisoyadi");
  EXPECT_EQ(t->Fields()->Fields(0)->Size(), 20);
  EXPECT_EQ(t->Fields()->Fields(0)->AsString(), L"Ece");
  EXPECT_EQ(t->FieldByName(L"okulno")->DisplayLabel(), L"Okul No");
  EXPECT_EQ(t->FieldByName(L"okulno")->AsString(), L"7");
  auto* ds = dynamic_cast<db::TDataSource*>(dm.FindComponent(L"DataSource1"));
  ASSERT_NE(ds, nullptr);
  EXPECT_EQ(ds->DataSet(), t);
  EXPECT_EQ(ds->State(), db::dsBrowse);

  EXPECT_EQ(dm.ADOQuery1->SQLText(), L"select * from ogrencibilgi");
  dm.ADOQuery1->Open();
  EXPECT_EQ(dm.ADOQuery1->FieldCount(), 49);
  dm.ADOQuery1->SQL()->Clear();
  EXPECT_FALSE(dm.ADOQuery1->Active());
  dm.DestroyComponents();
}

}  // namespace
}  // namespace dbtest

namespace dbtest {
namespace {

TEST(DataFormResource, GridColumnsAndBoundControlsFromText) {
  vcl::Application->Initialize();
  std::wstring dir = TempFolder();
  ASSERT_TRUE(CreateDatabase(dir + L"\\tavrel.db", "insert into veligorusme(okulno, veliadisoyadi) values ('3', 'Ayşe');"));
  rtl::String text =
      L"object Form1: TForm\n"
      L"  object ADOBaglan: TADOConnection\n"
      L"    ConnectionString = 'Data Source=" + dir + L"\\tavrel.mdb'\n"
      L"    LoginPrompt = False\n"
      L"  end\n"
      L"  object ADOTable1: TADOTable\n"
      L"    Active = True\n"
      L"    Connection = ADOBaglan\n"
      L"    TableName = 'veligorusme'\n"
      L"  end\n"
      L"  object DataSource1: TDataSource\n"
      L"    DataSet = ADOTable1\n"
      L"  end\n"
      L"  object sDBEdit1: TDBEdit\n"
      L"    DataField = 'veliadisoyadi'\n"
      L"    DataSource = DataSource1\n"
      L"  end\n"
      L"  object DBGrid1: TDBGrid\n"
      L"    DataSource = DataSource1\n"
      L"    Options = [dgTitles, dgIndicator, dgColLines, dgRowLines]\n"
      L"    DrawingStyle = gdsGradient\n"
      L"    Columns = <\n"
      L"      item\n"
      L"        FieldName = 'okulno'\n"
      L"        Title.Caption = 'Okul No'\n"
      L"        Width = 60\n"
      L"      end\n"
      L"      item\n"
      L"        FieldName = 'veliadisoyadi'\n"
      L"        Visible = False\n"
      L"      end>\n"
      L"  end\n"
      L"end\n";
  vcl::TForm form(nullptr);
  vcl::ReadComponentText(text, &form, L"FORM1");
  auto* edit = dynamic_cast<db::TDBEdit*>(form.FindComponent(L"sDBEdit1"));
  auto* grid = dynamic_cast<db::TDBGrid*>(form.FindComponent(L"DBGrid1"));
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(edit->Field()->AsString(), L"Ayşe");
  EXPECT_EQ(edit->Text(), L"Ayşe");
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(grid->VisibleColumnCount(), 1);
  EXPECT_EQ(grid->VisibleColumn(0)->TitleText(), L"Okul No");
  EXPECT_EQ(grid->VisibleColumn(0)->Width(), 60);
  EXPECT_EQ(grid->DrawingStyle(), db::gdsGradient);
  EXPECT_FALSE(grid->Options().Contains(db::dgEditing));
  form.DestroyComponents();
}

}  // namespace
}  // namespace dbtest
