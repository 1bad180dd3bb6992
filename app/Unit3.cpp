#include "app/Unit3.h"

TForm3* Form3 = nullptr;

const TInterviewRules& TForm3::Rules() const {
  static const TInterviewRules rules{.lookupFiltersShown = true};
  return rules;
}

void TForm3::FormCreate(rtl::TObject*) { OpenInOrder({ADOTable1, ADOsabit, ADOQuery1}); }

void TForm3::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form3 = nullptr;
}

void TForm3::sBitBtn5Click(rtl::TObject*) { MovePrior(); }

void TForm3::sBitBtn6Click(rtl::TObject*) { MoveNext(); }

void TForm3::sBitBtn8Click(rtl::TObject*) { LookUpStudent(); }

void TForm3::sEdit3Change(rtl::TObject*) { SearchBoxChanged(); }

VCL_REGISTER(TForm3) {
  cls.Field(L"sEdit6", &TForm3::sEdit6);
  cls.Field(L"sBitBtn8", &TForm3::sBitBtn8);
  cls.Field(L"sLabel1", &TForm3::sLabel1);
  cls.Field(L"sLabel2", &TForm3::sLabel2);
  cls.Field(L"sLabel3", &TForm3::sLabel3);
  cls.Field(L"sLabel4", &TForm3::sLabel4);
  cls.Field(L"sLabel5", &TForm3::sLabel5);
  cls.Field(L"sDBEdit1", &TForm3::sDBEdit1);
  cls.Field(L"sLabel6", &TForm3::sLabel6);
  cls.Field(L"sDBDateEdit1", &TForm3::sDBDateEdit1);
  cls.Field(L"sLabel7", &TForm3::sLabel7);
  cls.Field(L"sDBMemo1", &TForm3::sDBMemo1);
  cls.Field(L"sLabel8", &TForm3::sLabel8);
  cls.Field(L"sDBMemo2", &TForm3::sDBMemo2);
  cls.Field(L"sLabel9", &TForm3::sLabel9);
  cls.Field(L"sDBMemo3", &TForm3::sDBMemo3);
  cls.Field(L"sLabel10", &TForm3::sLabel10);
  cls.Field(L"sDBEdit6", &TForm3::sDBEdit6);
  cls.Field(L"sLabel11", &TForm3::sLabel11);
  cls.Field(L"sDBEdit7", &TForm3::sDBEdit7);
  cls.Field(L"sBitBtn5", &TForm3::sBitBtn5);
  cls.Field(L"sBitBtn6", &TForm3::sBitBtn6);
  cls.Field(L"sLabel12", &TForm3::sLabel12);
  cls.Field(L"sEdit3", &TForm3::sEdit3);
  cls.Field(L"ADOTable1sno", &TForm3::ADOTable1sno);
  cls.Field(L"ADOTable1okulno", &TForm3::ADOTable1okulno);
  cls.Field(L"ADOTable1gorusmetarihi", &TForm3::ADOTable1gorusmetarihi);
  cls.Field(L"ADOTable1gelisnedeni", &TForm3::ADOTable1gelisnedeni);
  cls.Field(L"ADOTable1yapilancalisma", &TForm3::ADOTable1yapilancalisma);
  cls.Field(L"ADOTable1calismaozeti", &TForm3::ADOTable1calismaozeti);
  cls.Field(L"ADOTable1yonlendirilenkurum", &TForm3::ADOTable1yonlendirilenkurum);
  cls.Field(L"ADOTable1gorusmeyiyapan", &TForm3::ADOTable1gorusmeyiyapan);
  cls.Field(L"ADOQuery1okulno", &TForm3::ADOQuery1okulno);
  cls.Field(L"ADOQuery1tcno", &TForm3::ADOQuery1tcno);
  cls.Field(L"ADOQuery1adisoyadi", &TForm3::ADOQuery1adisoyadi);
  cls.Field(L"ADOQuery1sinif", &TForm3::ADOQuery1sinif);
  cls.Field(L"ADOQuery1sube", &TForm3::ADOQuery1sube);
  cls.Field(L"ADOQuery1velicep", &TForm3::ADOQuery1velicep);
  cls.Field(L"ADOQuery1veliev", &TForm3::ADOQuery1veliev);
  cls.Field(L"ADOQuery1adres", &TForm3::ADOQuery1adres);
  cls.Field(L"ADOsabit", &TForm3::ADOsabit);
  cls.Field(L"qvxDBDataset1", &TForm3::qvxDBDataset1);
  cls.Field(L"qvxDBDataset2", &TForm3::qvxDBDataset2);
  cls.Method(L"FormCreate", &TForm3::FormCreate);
  cls.Method(L"FormClose", &TForm3::FormClose);
  cls.Method(L"sBitBtn5Click", &TForm3::sBitBtn5Click);
  cls.Method(L"sBitBtn6Click", &TForm3::sBitBtn6Click);
  cls.Method(L"sBitBtn8Click", &TForm3::sBitBtn8Click);
  cls.Method(L"sEdit3Change", &TForm3::sEdit3Change);
}
