#include "app/Unit8.h"

TForm8* Form8 = nullptr;

const TInterviewRules& TForm8::Rules() const {
  static const TInterviewRules rules{.reportStudent = TInterviewRules::kNoStudentQuery};
  return rules;
}

void TForm8::FormCreate(rtl::TObject*) { OpenInOrder({ADOTable1, ADOSabit, ADOQuery1}); }

void TForm8::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form8 = nullptr;
}

void TForm8::sBitBtn8Click(rtl::TObject*) { LookUpStudent(); }

VCL_REGISTER(TForm8) {
  cls.Field(L"sEdit6", &TForm8::sEdit6);
  cls.Field(L"sBitBtn8", &TForm8::sBitBtn8);
  cls.Field(L"sLabel1", &TForm8::sLabel1);
  cls.Field(L"sLabel2", &TForm8::sLabel2);
  cls.Field(L"sLabel3", &TForm8::sLabel3);
  cls.Field(L"sLabel4", &TForm8::sLabel4);
  cls.Field(L"sLabel5", &TForm8::sLabel5);
  cls.Field(L"sDBEdit1", &TForm8::sDBEdit1);
  cls.Field(L"sLabel6", &TForm8::sLabel6);
  cls.Field(L"sDBEdit2", &TForm8::sDBEdit2);
  cls.Field(L"sLabel7", &TForm8::sLabel7);
  cls.Field(L"sDBEdit3", &TForm8::sDBEdit3);
  cls.Field(L"sLabel8", &TForm8::sLabel8);
  cls.Field(L"sDBEdit4", &TForm8::sDBEdit4);
  cls.Field(L"sLabel9", &TForm8::sLabel9);
  cls.Field(L"sDBDateEdit1", &TForm8::sDBDateEdit1);
  cls.Field(L"sLabel10", &TForm8::sLabel10);
  cls.Field(L"sDBEdit5", &TForm8::sDBEdit5);
  cls.Field(L"sLabel11", &TForm8::sLabel11);
  cls.Field(L"sDBMemo1", &TForm8::sDBMemo1);
  cls.Field(L"sLabel12", &TForm8::sLabel12);
  cls.Field(L"sDBMemo2", &TForm8::sDBMemo2);
  cls.Field(L"ADOTable1ogretmenadi", &TForm8::ADOTable1ogretmenadi);
  cls.Field(L"ADOTable1gorusulenogrenci", &TForm8::ADOTable1gorusulenogrenci);
  cls.Field(L"ADOTable1gorusmenedeni", &TForm8::ADOTable1gorusmenedeni);
  cls.Field(L"ADOTable1gorusmeicerigi", &TForm8::ADOTable1gorusmeicerigi);
  cls.Field(L"ADOTable1yapilacakcalismalar", &TForm8::ADOTable1yapilacakcalismalar);
  cls.Field(L"ADOTable1gorusmeyapan", &TForm8::ADOTable1gorusmeyapan);
  cls.Field(L"ADOTable1tarih", &TForm8::ADOTable1tarih);
  cls.Field(L"ADOTable1okulno", &TForm8::ADOTable1okulno);
  cls.Field(L"ADOSabitokuladi", &TForm8::ADOSabitokuladi);
  cls.Field(L"ADOSabitrehber1", &TForm8::ADOSabitrehber1);
  cls.Field(L"ADOSabitkadi", &TForm8::ADOSabitkadi);
  cls.Field(L"ADOSabitsifre", &TForm8::ADOSabitsifre);
  cls.Field(L"ADOSabit", &TForm8::ADOSabit);
  cls.Field(L"qvxDBDataset1", &TForm8::qvxDBDataset1);
  cls.Method(L"FormCreate", &TForm8::FormCreate);
  cls.Method(L"FormClose", &TForm8::FormClose);
  cls.Method(L"sBitBtn8Click", &TForm8::sBitBtn8Click);
}
