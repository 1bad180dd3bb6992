#pragma once
// The import: a student list from the first worksheet of a workbook, columns 1 to 7 of each row, appended to table
// ogrencibilgi one posted record per row. The workbook is reached by late binding to the spreadsheet program's
// automation object, which the platform answers by reading the file itself.
#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/db/fields.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm6 : public vcl::TForm {
  VCL_CLASS(TForm6, vcl::TForm)
  explicit TForm6(vcl::TComponent* owner) : vcl::TForm(owner) {}

  vcl::TButton* Button1 = nullptr;
  vcl::TOpenDialog* OpenDialog1 = nullptr;
  db::TADOTable* Table1 = nullptr;
  db::TAutoIncField* Table1sirano = nullptr;
  db::TWideStringField* Table1okulno = nullptr;
  db::TWideStringField* Table1tcno = nullptr;
  db::TWideStringField* Table1adisoyadi = nullptr;
  db::TWideStringField* Table1sinif = nullptr;
  db::TWideStringField* Table1sube = nullptr;
  db::TWideStringField* Table1velicep = nullptr;
  db::TWideStringField* Table1veliev = nullptr;
  db::TWideStringField* Table1adres = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void Button1Click(rtl::TObject* Sender);  // "Excel dosyasından verileri al..."

  // The import of a chosen file, from step 2 on: what the button does once the open dialog has a file, up to
  // the message that it is done. Raises what stops it.
  void Import(const rtl::String& fileName);
};

// The row count of the first worksheet's used range into KACSATIR (and its first row into ILKSATIR).
void exceldebilgisayisi();

// The automation object while an import runs, unassigned otherwise.
extern rtl::Variant EXCELDOSYASI;
// The rows of the first worksheet's used range at the last import.
extern int KACSATIR;
// The first of them.
extern int ILKSATIR;

// Shown when every row is in.
extern const wchar_t* const kImportDone;
