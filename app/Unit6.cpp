#include "app/Unit6.h"

#include "platform/ole/oleauto.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/workbook/automation.h"

using rtl::String;
using rtl::Variant;

TForm6* Form6 = nullptr;
Variant EXCELDOSYASI;
int KACSATIR = 0;
int ILKSATIR = 1;

const wchar_t* const kImportDone = L"AKTARMA İŞLEMİ TAMAMLANDI.";

namespace {

Variant Get(const Variant& object, const wchar_t* member, const std::vector<Variant>& args = {}) {
  return ole::DispatchInvoke(object, member, ole::dispMethod | ole::dispPropertyGet, args);
}

void Put(const Variant& object, const wchar_t* member, const Variant& value) {
  ole::DispatchInvoke(object, member, ole::dispPropertyPut, {value}, false);
}

// The sheet whose rows are counted is the sheet whose cells are read: the first worksheet, whichever sheet was
// shown when the workbook was saved.
Variant CountedSheet() { return Get(Get(EXCELDOSYASI, L"ActiveWorkbook"), L"worksheets", {1}); }

// A heading row names its columns: its school-number cell holds no digit, where a student's always does.
bool IsHeading(const String& schoolNumber) {
  for (wchar_t c : schoolNumber)
    if (c >= L'0' && c <= L'9') return false;
  return true;
}

}  // namespace

void exceldebilgisayisi() {
  KACSATIR = 0;
  ILKSATIR = 1;
  // A workbook whose rows cannot be counted is not a list that was imported: the error reaches the user.
  Variant used = Get(CountedSheet(), L"UsedRange");
  KACSATIR = Get(Get(used, L"rows"), L"Count").AsInteger();
  ILKSATIR = Get(used, L"Row").AsInteger();
}

void TForm6::FormCreate(rtl::TObject*) {
  workbook::RegisterExcelAutomation();
  Table1->Open();
}

void TForm6::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form6 = nullptr;
}

void TForm6::Button1Click(rtl::TObject*) {
  if (!OpenDialog1->Execute()) return;
  Import(OpenDialog1->FileName());
  vcl::ShowMessage(kImportDone);
}

void TForm6::Import(const String& fileName) {
  EXCELDOSYASI = ole::CreateOleObject(L"excel.application");
  Put(EXCELDOSYASI, L"Visible", false);
  // The spreadsheet program is told to quit however the reading ends.
  auto quit = [] {
    if (EXCELDOSYASI.VarType() != rtl::varDispatch) return;
    Variant app = EXCELDOSYASI;
    EXCELDOSYASI = Variant();
    Put(app, L"DisplayAlerts", false);
    Get(app, L"Quit");
  };
  db::TField* columns[] = {Table1okulno, Table1tcno,    Table1adisoyadi, Table1sinif,
                           Table1sube,   Table1velicep, Table1veliev};
  int row = 0;
  // The posted rows go into one transaction, committed when the import ends however it ends: every posted row is
  // kept (those before a failing row stay), and the file is written out once rather than once per row.
  db::TADOConnection* connection = Table1->Connection();
  const bool ownTransaction = connection && !connection->InTransaction();
  auto commit = [&] {
    if (!ownTransaction || !connection->InTransaction()) return;
    try {
      connection->CommitTrans();
    } catch (...) {
      connection->RollbackTrans();
      throw;
    }
  };
  try {
    Get(Get(EXCELDOSYASI, L"workbooks"), L"open", {fileName});
    exceldebilgisayisi();
    Variant sheet = CountedSheet();
    if (ownTransaction) connection->BeginTrans();
    for (row = ILKSATIR; row < ILKSATIR + KACSATIR; ++row) {
      String values[7];
      for (int c = 0; c < 7; ++c) values[c] = rtl::VarToStr(Get(Get(sheet, L"Cells", {row, c + 1}), L"Value"));
      if (row == ILKSATIR && IsHeading(values[0])) continue;
      Table1->Append();
      for (int c = 0; c < 7; ++c) columns[c]->SetAsString(values[c]);
      // Each row is posted on its own, so the rows before a failing one stay; the table is not read again per row.
      Table1->Post();
    }
  } catch (const rtl::Exception& e) {
    // The failing row's record is dropped, not left waiting to be saved; what was posted before it stays.
    if (Table1->State() == db::dsInsert) Table1->Cancel();
    commit();
    try {
      quit();
    } catch (...) {
    }
    if (row == 0) throw;
    throw rtl::Exception(L"Excel dosyasının " + rtl::IntToStr(row) + L". satırı aktarılamadı: " + e.Message());
  }
  commit();
  quit();
  Table1->Refresh();
}

VCL_REGISTER(TForm6) {
  cls.Field(L"Button1", &TForm6::Button1);
  cls.Field(L"OpenDialog1", &TForm6::OpenDialog1);
  cls.Field(L"Table1", &TForm6::Table1);
  cls.Field(L"Table1sirano", &TForm6::Table1sirano);
  cls.Field(L"Table1okulno", &TForm6::Table1okulno);
  cls.Field(L"Table1tcno", &TForm6::Table1tcno);
  cls.Field(L"Table1adisoyadi", &TForm6::Table1adisoyadi);
  cls.Field(L"Table1sinif", &TForm6::Table1sinif);
  cls.Field(L"Table1sube", &TForm6::Table1sube);
  cls.Field(L"Table1velicep", &TForm6::Table1velicep);
  cls.Field(L"Table1veliev", &TForm6::Table1veliev);
  cls.Field(L"Table1adres", &TForm6::Table1adres);
  cls.Method(L"FormCreate", &TForm6::FormCreate);
  cls.Method(L"FormClose", &TForm6::FormClose);
  cls.Method(L"Button1Click", &TForm6::Button1Click);
}
