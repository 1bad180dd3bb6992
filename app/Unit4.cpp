#include "app/Unit4.h"

TForm4* Form4 = nullptr;

const TInterviewRules& TForm4::Rules() const {
  static const TInterviewRules rules{.lookupByNumber = false,
                                     .lookupRequeriesShown = true,
                                     .reportNumberFromEdit = true,
                                     .reportStudent = TInterviewRules::kStudentByText};
  return rules;
}

void TForm4::FormCreate(rtl::TObject*) { OpenInOrder({ADOQuery1, ADOQuery2, ADOTable1, ADOsabit}); }

void TForm4::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form4 = nullptr;
}

void TForm4::sBitBtn5Click(rtl::TObject*) { LookUpStudent(); }

void TForm4::sEdit6Change(rtl::TObject*) { SearchBoxChanged(); }

VCL_REGISTER(TForm4) {
  cls.Field(L"sLabel1", &TForm4::sLabel1);
  cls.Field(L"sEdit3", &TForm4::sEdit3);
  cls.Field(L"sBitBtn5", &TForm4::sBitBtn5);
  cls.Field(L"sLabel2", &TForm4::sLabel2);
  cls.Field(L"sLabel3", &TForm4::sLabel3);
  cls.Field(L"sLabel4", &TForm4::sLabel4);
  cls.Field(L"sLabel5", &TForm4::sLabel5);
  cls.Field(L"sLabel6", &TForm4::sLabel6);
  cls.Field(L"sDBEdit1", &TForm4::sDBEdit1);
  cls.Field(L"sLabel7", &TForm4::sLabel7);
  cls.Field(L"sDBEdit2", &TForm4::sDBEdit2);
  cls.Field(L"sLabel8", &TForm4::sLabel8);
  cls.Field(L"sDBComboBox1", &TForm4::sDBComboBox1);
  cls.Field(L"sLabel9", &TForm4::sLabel9);
  cls.Field(L"sDBComboBox2", &TForm4::sDBComboBox2);
  cls.Field(L"sLabel10", &TForm4::sLabel10);
  cls.Field(L"sDBEdit4", &TForm4::sDBEdit4);
  cls.Field(L"sLabel11", &TForm4::sLabel11);
  cls.Field(L"sDBComboBox3", &TForm4::sDBComboBox3);
  cls.Field(L"sLabel12", &TForm4::sLabel12);
  cls.Field(L"sDBEdit3", &TForm4::sDBEdit3);
  cls.Field(L"sLabel13", &TForm4::sLabel13);
  cls.Field(L"sDBDateEdit1", &TForm4::sDBDateEdit1);
  cls.Field(L"sLabel14", &TForm4::sLabel14);
  cls.Field(L"sDBMemo1", &TForm4::sDBMemo1);
  cls.Field(L"sLabel15", &TForm4::sLabel15);
  cls.Field(L"sEdit6", &TForm4::sEdit6);
  cls.Field(L"ADOQuery1okulno", &TForm4::ADOQuery1okulno);
  cls.Field(L"ADOQuery1tcno", &TForm4::ADOQuery1tcno);
  cls.Field(L"ADOQuery1adisoyadi", &TForm4::ADOQuery1adisoyadi);
  cls.Field(L"ADOQuery1sinif", &TForm4::ADOQuery1sinif);
  cls.Field(L"ADOQuery1sube", &TForm4::ADOQuery1sube);
  cls.Field(L"ADOQuery1velicep", &TForm4::ADOQuery1velicep);
  cls.Field(L"ADOQuery1veliev", &TForm4::ADOQuery1veliev);
  cls.Field(L"ADOQuery1adres", &TForm4::ADOQuery1adres);
  cls.Field(L"ADOQuery1sirano", &TForm4::ADOQuery1sirano);
  cls.Field(L"ADOQuery2okulno", &TForm4::ADOQuery2okulno);
  cls.Field(L"ADOQuery2adisoyadi", &TForm4::ADOQuery2adisoyadi);
  cls.Field(L"ADOQuery2gorusmeturu", &TForm4::ADOQuery2gorusmeturu);
  cls.Field(L"ADOQuery2pdralani", &TForm4::ADOQuery2pdralani);
  cls.Field(L"ADOQuery2gorusmekonusu", &TForm4::ADOQuery2gorusmekonusu);
  cls.Field(L"ADOQuery2yapilancalisma", &TForm4::ADOQuery2yapilancalisma);
  cls.Field(L"ADOQuery2sorunalani", &TForm4::ADOQuery2sorunalani);
  cls.Field(L"ADOQuery2calismayapan", &TForm4::ADOQuery2calismayapan);
  cls.Field(L"ADOQuery2gorusmetarihi", &TForm4::ADOQuery2gorusmetarihi);
  cls.Field(L"ADOQuery2", &TForm4::ADOQuery2);
  cls.Field(L"ADOTable1okulno", &TForm4::ADOTable1okulno);
  cls.Field(L"ADOTable1adisoyadi", &TForm4::ADOTable1adisoyadi);
  cls.Field(L"ADOTable1gorusmeturu", &TForm4::ADOTable1gorusmeturu);
  cls.Field(L"ADOTable1pdralani", &TForm4::ADOTable1pdralani);
  cls.Field(L"ADOTable1gorusmekonusu", &TForm4::ADOTable1gorusmekonusu);
  cls.Field(L"ADOTable1yapilancalisma", &TForm4::ADOTable1yapilancalisma);
  cls.Field(L"ADOTable1sorunalani", &TForm4::ADOTable1sorunalani);
  cls.Field(L"ADOTable1calismayapan", &TForm4::ADOTable1calismayapan);
  cls.Field(L"ADOTable1gorusmetarihi", &TForm4::ADOTable1gorusmetarihi);
  cls.Field(L"ADOsabit", &TForm4::ADOsabit);
  cls.Field(L"qvxDBdetay", &TForm4::qvxDBdetay);
  cls.Field(L"qvxDBbilgi", &TForm4::qvxDBbilgi);
  cls.Method(L"FormCreate", &TForm4::FormCreate);
  cls.Method(L"FormClose", &TForm4::FormClose);
  cls.Method(L"sBitBtn5Click", &TForm4::sBitBtn5Click);
  cls.Method(L"sEdit6Change", &TForm4::sEdit6Change);
}
