#include "app/Unit9.h"

#include "app/PendingEdits.h"

TForm9* Form9 = nullptr;

void TForm9::FormCreate(rtl::TObject*) { ADOsabit->Open(); }

void TForm9::FormActivate(rtl::TObject*) {
  // Back to the first record: a pending edit ends here, posted when changed, dropped when not.
  ADOsabit->First();
  EnableEdits(false);
}

void TForm9::FormCloseQuery(rtl::TObject*, bool& CanClose) {
  if (ADOsabit->State() == db::dsEdit || ADOsabit->State() == db::dsInsert) ADOsabit->UpdateRecord();
  CanClose = ConfirmPendingEdits(this);
}

void TForm9::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form9 = nullptr;
}

void TForm9::EnableEdits(bool enabled) {
  for (TsDBEdit* edit : {sDBEdit1, sDBEdit2, sDBEdit3, sDBEdit4}) edit->SetEnabled(enabled);
}

void TForm9::sBitBtn3Click(rtl::TObject*) {
  EnableEdits(true);
  // An empty table starts its first record here instead.
  ADOsabit->Edit();
  sBitBtn2->SetEnabled(true);
}

void TForm9::sBitBtn2Click(rtl::TObject*) {
  ADOsabit->Post();
  EnableEdits(false);
}

VCL_REGISTER(TForm9) {
  cls.Field(L"sLabel1", &TForm9::sLabel1);
  cls.Field(L"sDBEdit1", &TForm9::sDBEdit1);
  cls.Field(L"sLabel2", &TForm9::sLabel2);
  cls.Field(L"sDBEdit2", &TForm9::sDBEdit2);
  cls.Field(L"sLabel3", &TForm9::sLabel3);
  cls.Field(L"sDBEdit3", &TForm9::sDBEdit3);
  cls.Field(L"sLabel4", &TForm9::sLabel4);
  cls.Field(L"sDBEdit4", &TForm9::sDBEdit4);
  cls.Field(L"sBitBtn3", &TForm9::sBitBtn3);
  cls.Field(L"sBitBtn2", &TForm9::sBitBtn2);
  cls.Field(L"ADOsabit", &TForm9::ADOsabit);
  cls.Field(L"ADOsabitokuladi", &TForm9::ADOsabitokuladi);
  cls.Field(L"ADOsabitrehber1", &TForm9::ADOsabitrehber1);
  cls.Field(L"ADOsabitkadi", &TForm9::ADOsabitkadi);
  cls.Field(L"ADOsabitsifre", &TForm9::ADOsabitsifre);
  cls.Field(L"DataSource1", &TForm9::DataSource1);
  cls.Method(L"FormCreate", &TForm9::FormCreate);
  cls.Method(L"FormActivate", &TForm9::FormActivate);
  cls.Method(L"FormClose", &TForm9::FormClose);
  cls.Method(L"FormCloseQuery", &TForm9::FormCloseQuery);
  cls.Method(L"sBitBtn3Click", &TForm9::sBitBtn3Click);
  cls.Method(L"sBitBtn2Click", &TForm9::sBitBtn2Click);
}
