#include "app/Unit11.h"

TForm11* Form11 = nullptr;

const TInterviewRules& TForm11::Rules() const {
  static const TInterviewRules rules{
      .lookupFiltersShown = true, .refreshAfterSave = true, .reportNumberFromEdit = true};
  return rules;
}

void TForm11::FormCreate(rtl::TObject*) { OpenInOrder({ADOTable1, ADOQuery1, ADOsabit}); }

void TForm11::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form11 = nullptr;
}

void TForm11::sBitBtn5Click(rtl::TObject*) { MovePrior(); }

void TForm11::sBitBtn6Click(rtl::TObject*) { MoveNext(); }

void TForm11::sBitBtn8Click(rtl::TObject*) { LookUpStudent(); }

void TForm11::sEdit3Change(rtl::TObject*) { SearchBoxChanged(); }

VCL_REGISTER(TForm11) {
  cls.Field(L"sEdit6", &TForm11::sEdit6);
  cls.Field(L"sBitBtn8", &TForm11::sBitBtn8);
  cls.Field(L"sLabel1", &TForm11::sLabel1);
  cls.Field(L"sLabel2", &TForm11::sLabel2);
  cls.Field(L"sLabel3", &TForm11::sLabel3);
  cls.Field(L"sLabel4", &TForm11::sLabel4);
  cls.Field(L"sLabel5", &TForm11::sLabel5);
  cls.Field(L"sDBEdit1", &TForm11::sDBEdit1);
  cls.Field(L"sLabel6", &TForm11::sLabel6);
  cls.Field(L"sDBDateEdit1", &TForm11::sDBDateEdit1);
  cls.Field(L"sLabel7", &TForm11::sLabel7);
  cls.Field(L"sDBEdit2", &TForm11::sDBEdit2);
  cls.Field(L"sLabel8", &TForm11::sLabel8);
  cls.Field(L"sDBEdit3", &TForm11::sDBEdit3);
  cls.Field(L"sLabel9", &TForm11::sLabel9);
  cls.Field(L"sDBMemo1", &TForm11::sDBMemo1);
  cls.Field(L"sLabel10", &TForm11::sLabel10);
  cls.Field(L"sDBMemo2", &TForm11::sDBMemo2);
  cls.Field(L"sLabel11", &TForm11::sLabel11);
  cls.Field(L"sDBMemo3", &TForm11::sDBMemo3);
  cls.Field(L"sLabel12", &TForm11::sLabel12);
  cls.Field(L"sDBEdit6", &TForm11::sDBEdit6);
  cls.Field(L"sLabel13", &TForm11::sLabel13);
  cls.Field(L"sDBEdit7", &TForm11::sDBEdit7);
  cls.Field(L"sBitBtn5", &TForm11::sBitBtn5);
  cls.Field(L"sBitBtn6", &TForm11::sBitBtn6);
  cls.Field(L"sLabel14", &TForm11::sLabel14);
  cls.Field(L"sEdit3", &TForm11::sEdit3);
  cls.Field(L"ADOTable1okulno", &TForm11::ADOTable1okulno);
  cls.Field(L"ADOTable1veliadisoyadi", &TForm11::ADOTable1veliadisoyadi);
  cls.Field(L"ADOTable1velitelefon", &TForm11::ADOTable1velitelefon);
  cls.Field(L"ADOTable1gorusmetarihi", &TForm11::ADOTable1gorusmetarihi);
  cls.Field(L"ADOTable1gorusmekonusu", &TForm11::ADOTable1gorusmekonusu);
  cls.Field(L"ADOTable1gorusmeozeti", &TForm11::ADOTable1gorusmeozeti);
  cls.Field(L"ADOTable1yapilancalisma", &TForm11::ADOTable1yapilancalisma);
  cls.Field(L"ADOTable1yonlendirilenkurum", &TForm11::ADOTable1yonlendirilenkurum);
  cls.Field(L"ADOTable1gorusmeyiyapan", &TForm11::ADOTable1gorusmeyiyapan);
  cls.Field(L"ADOTable1sonuconeri", &TForm11::ADOTable1sonuconeri);
  cls.Field(L"ADOQuery1okulno", &TForm11::ADOQuery1okulno);
  cls.Field(L"ADOQuery1tcno", &TForm11::ADOQuery1tcno);
  cls.Field(L"ADOQuery1adisoyadi", &TForm11::ADOQuery1adisoyadi);
  cls.Field(L"ADOQuery1sinif", &TForm11::ADOQuery1sinif);
  cls.Field(L"ADOQuery1sube", &TForm11::ADOQuery1sube);
  cls.Field(L"ADOQuery1velicep", &TForm11::ADOQuery1velicep);
  cls.Field(L"ADOQuery1veliev", &TForm11::ADOQuery1veliev);
  cls.Field(L"ADOQuery1adres", &TForm11::ADOQuery1adres);
  cls.Field(L"ADOsabitokuladi", &TForm11::ADOsabitokuladi);
  cls.Field(L"ADOsabitrehber1", &TForm11::ADOsabitrehber1);
  cls.Field(L"ADOsabit", &TForm11::ADOsabit);
  cls.Field(L"qvxDBDataset1", &TForm11::qvxDBDataset1);
  cls.Field(L"qvxDBDataset2", &TForm11::qvxDBDataset2);
  cls.Method(L"FormCreate", &TForm11::FormCreate);
  cls.Method(L"FormClose", &TForm11::FormClose);
  cls.Method(L"sBitBtn5Click", &TForm11::sBitBtn5Click);
  cls.Method(L"sBitBtn6Click", &TForm11::sBitBtn6Click);
  cls.Method(L"sBitBtn8Click", &TForm11::sBitBtn8Click);
  cls.Method(L"sEdit3Change", &TForm11::sEdit3Change);
}
