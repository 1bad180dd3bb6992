#pragma once
// The fixed-settings screen: the first record of table sabit (school name, counsellor, the login's user name and
// password), read-only until "Düzenle", saved with "Kaydet". The login and the interview screens read it.
#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sLabel.h"

class TForm9 : public vcl::TForm {
  VCL_CLASS(TForm9, vcl::TForm)
  explicit TForm9(vcl::TComponent* owner) : vcl::TForm(owner) {}

  TsLabel* sLabel1 = nullptr;
  TsDBEdit* sDBEdit1 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsDBEdit* sDBEdit2 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsDBEdit* sDBEdit3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsDBEdit* sDBEdit4 = nullptr;
  TsBitBtn* sBitBtn3 = nullptr;
  TsBitBtn* sBitBtn2 = nullptr;
  db::TADOTable* ADOsabit = nullptr;
  db::TWideStringField* ADOsabitokuladi = nullptr;
  db::TWideStringField* ADOsabitrehber1 = nullptr;
  db::TWideStringField* ADOsabitkadi = nullptr;
  db::TWideStringField* ADOsabitsifre = nullptr;
  db::TDataSource* DataSource1 = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormActivate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
  void sBitBtn3Click(rtl::TObject* Sender);  // "Düzenle"
  void sBitBtn2Click(rtl::TObject* Sender);  // "Kaydet"

 private:
  void EnableEdits(bool enabled);
};
