#pragma once
// The login dialog: shown modally over the main window until the user name and password of the settings table's
// first record are typed exactly, or "İptal" ends the program. It keeps its own connection to the database.
#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"

class TForm12 : public vcl::TForm {
  VCL_CLASS(TForm12, vcl::TForm)
  explicit TForm12(vcl::TComponent* owner);

  vcl::TImage* Image1 = nullptr;
  TsLabel* sLabel1 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsEdit* sEdit1 = nullptr;
  TsEdit* sEdit2 = nullptr;
  TsBitBtn* sBitBtn1 = nullptr;
  TsBitBtn* sBitBtn2 = nullptr;
  db::TADOConnection* Baglan = nullptr;
  db::TADOTable* AdoGiris = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void sBitBtn1Click(rtl::TObject* Sender);
  void sBitBtn2Click(rtl::TObject* Sender);

 private:
  // The field of the current (first) record as text; empty when the table has no record or could not be read.
  rtl::String Stored(const wchar_t* fieldName) const;
};

extern TForm12* Form12;

// The one answer to a wrong user name or password.
extern const wchar_t* const kWrongLogin;
