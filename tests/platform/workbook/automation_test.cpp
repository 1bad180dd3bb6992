// The spreadsheet program's automation object as the import reaches it: by late binding, member by member.
#include "platform/workbook/automation.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ole/oleauto.h"
#include "platform/rtl/textconv.h"

using rtl::String;
using rtl::Variant;

namespace {

String Fixture(const std::string& name) {
  const char* dir = std::getenv("TAVREL_FIXTURES");
  String path = rtl::UTF8ToString(std::string(dir ? dir : ".") + "/" + name);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

Variant Get(const Variant& obj, const String& name, const std::vector<Variant>& args = {}) {
  return ole::DispatchInvoke(obj, name, ole::dispMethod | ole::dispPropertyGet, args);
}
void Put(const Variant& obj, const String& name, const Variant& value) {
  ole::DispatchInvoke(obj, name, ole::dispPropertyPut, {value}, false);
}

class ExcelStandIn : public ::testing::Test {
 protected:
  void SetUp() override { workbook::RegisterExcelAutomation(); }
};

TEST_F(ExcelStandIn, AnswersTheImportsMembersFromTheFile) {
  for (const char* name : {"openpyxl_students_500.xlsx", "xlwt_students_500.xls"}) {
    Variant app = ole::CreateOleObject(L"excel.application");
    Put(app, L"Visible", false);
    EXPECT_FALSE(Get(app, L"Visible").AsBoolean());
    Get(Get(app, L"workbooks"), L"open", {Fixture(name)});
    Variant sheet = Get(Get(app, L"ActiveWorkbook"), L"worksheets", {1});
    Variant used = Get(sheet, L"UsedRange");
    EXPECT_EQ(Get(Get(used, L"rows"), L"Count").AsInteger(), 501) << name;
    EXPECT_EQ(Get(Get(used, L"columns"), L"Count").AsInteger(), 7) << name;
    EXPECT_EQ(Get(used, L"Row").AsInteger(), 1);
    EXPECT_EQ(Get(Get(sheet, L"Cells", {1, 3}), L"Value").AsString(), L"Adı Soyadı");
    Variant value = Get(Get(Get(app, L"ActiveSheet"), L"Cells", {2, 1}), L"Value");
    EXPECT_EQ(rtl::VarToStr(value), L"1001") << name;
    EXPECT_TRUE(Get(Get(sheet, L"Cells", {6, 2}), L"Value").IsEmpty());
    EXPECT_EQ(Get(Get(Get(app, L"ActiveWorkbook"), L"Worksheets"), L"Count").AsInteger(), 1);
    Put(app, L"DisplayAlerts", false);
    Get(app, L"Quit");
    EXPECT_THROW(Get(app, L"ActiveWorkbook"), ole::EOleException);
  }
}

TEST_F(ExcelStandIn, AWorkbookThatCannotBeReadFailsOpenWithTheReadersMessage) {
  Variant app = ole::CreateOleObject(L"Excel.Application");
  try {
    Get(Get(app, L"workbooks"), L"open", {Fixture("openpyxl_too_many_rows.xlsx")});
    ADD_FAILURE() << "opened";
  } catch (const ole::EOleException& e) {
    EXPECT_NE(e.Message().find(L"bir milyondan fazla satır"), String::npos) << rtl::StringToUTF8(e.Message());
  }
  EXPECT_THROW(Get(Get(app, L"workbooks"), L"open", {Fixture("yok.xls")}), ole::EOleException);
}

TEST_F(ExcelStandIn, UnknownMembersAndSheetsAreRefused) {
  Variant app = ole::CreateOleObject(L"excel.application");
  EXPECT_THROW(Get(app, L"Calculate"), ole::EOleError);
  Variant book = Get(Get(app, L"workbooks"), L"open", {Fixture("openpyxl_types.xlsx")});
  // Three worksheets; the chart sheet between them is not counted.
  EXPECT_EQ(Get(Get(book, L"Worksheets", {3}), L"Name").AsString(), L"Üçüncü");
  EXPECT_THROW(Get(book, L"Worksheets", {4}), ole::EOleException);
  EXPECT_EQ(Get(Get(book, L"Worksheets", {String(L"boş başlangıç")}), L"Name").AsString(), L"Boş Başlangıç");
  // The used range of the second sheet starts at C4.
  Variant used = Get(Get(book, L"Worksheets", {2}), L"UsedRange");
  EXPECT_EQ(Get(used, L"Row").AsInteger(), 4);
  EXPECT_EQ(Get(used, L"Column").AsInteger(), 3);
  EXPECT_EQ(Get(Get(used, L"Cells", {1, 1}), L"Value").AsString(), L"ilk");
  EXPECT_THROW(Get(used, L"Value"), ole::EOleException);
  EXPECT_THROW(Get(Get(book, L"Worksheets", {1}), L"Cells", {0, 1}), ole::EOleException);
}

}  // namespace
