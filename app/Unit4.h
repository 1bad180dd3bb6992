#pragma once
// The student-interview screen: the interviews through a query that the lookup narrows to one school
// number, the student panel, the record buttons, the search box and the grid; table ogrencigorusme itself serves
// only "Rapor".
#include "app/InterviewScreen.h"

class TForm4 : public TInterviewScreen {
  VCL_CLASS(TForm4, TInterviewScreen)
  explicit TForm4(vcl::TComponent* owner) : TInterviewScreen(owner) {}

  // The components of the form text besides the family's own (InterviewScreen.h), filled in as it is read.
  TsLabel* sLabel1 = nullptr;
  TsEdit* sEdit3 = nullptr;
  TsBitBtn* sBitBtn5 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsLabel* sLabel5 = nullptr;
  TsLabel* sLabel6 = nullptr;
  TsDBEdit* sDBEdit1 = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsDBEdit* sDBEdit2 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsDBComboBox* sDBComboBox1 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsDBComboBox* sDBComboBox2 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsDBEdit* sDBEdit4 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsDBComboBox* sDBComboBox3 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsDBEdit* sDBEdit3 = nullptr;
  TsLabel* sLabel13 = nullptr;
  TsDBDateEdit* sDBDateEdit1 = nullptr;
  TsLabel* sLabel14 = nullptr;
  TsDBMemo* sDBMemo1 = nullptr;
  TsLabel* sLabel15 = nullptr;
  TsEdit* sEdit6 = nullptr;
  db::TWideStringField* ADOQuery1okulno = nullptr;
  db::TWideStringField* ADOQuery1tcno = nullptr;
  db::TWideStringField* ADOQuery1adisoyadi = nullptr;
  db::TStringField* ADOQuery1sinif = nullptr;
  db::TWideStringField* ADOQuery1sube = nullptr;
  db::TWideStringField* ADOQuery1velicep = nullptr;
  db::TWideStringField* ADOQuery1veliev = nullptr;
  db::TWideStringField* ADOQuery1adres = nullptr;
  db::TAutoIncField* ADOQuery1sirano = nullptr;
  db::TIntegerField* ADOQuery2okulno = nullptr;
  db::TWideStringField* ADOQuery2adisoyadi = nullptr;
  db::TWideStringField* ADOQuery2gorusmeturu = nullptr;
  db::TWideStringField* ADOQuery2pdralani = nullptr;
  db::TWideStringField* ADOQuery2gorusmekonusu = nullptr;
  db::TWideMemoField* ADOQuery2yapilancalisma = nullptr;
  db::TWideStringField* ADOQuery2sorunalani = nullptr;
  db::TWideStringField* ADOQuery2calismayapan = nullptr;
  db::TDateTimeField* ADOQuery2gorusmetarihi = nullptr;
  db::TADOQuery* ADOQuery2 = nullptr;
  db::TIntegerField* ADOTable1okulno = nullptr;
  db::TWideStringField* ADOTable1adisoyadi = nullptr;
  db::TWideStringField* ADOTable1gorusmeturu = nullptr;
  db::TWideStringField* ADOTable1pdralani = nullptr;
  db::TWideStringField* ADOTable1gorusmekonusu = nullptr;
  db::TWideMemoField* ADOTable1yapilancalisma = nullptr;
  db::TWideStringField* ADOTable1sorunalani = nullptr;
  db::TWideStringField* ADOTable1calismayapan = nullptr;
  db::TDateTimeField* ADOTable1gorusmetarihi = nullptr;
  db::TADOTable* ADOsabit = nullptr;
  TqvxDBDataset* qvxDBdetay = nullptr;
  TqvxDBDataset* qvxDBbilgi = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void sBitBtn5Click(rtl::TObject* Sender);  // "Ara"
  void sEdit6Change(rtl::TObject* Sender);

  db::TCustomADODataSet* ShownDataSet() const override { return ADOQuery2; }
  db::TDataSet* SettingsTable() const override { return ADOsabit; }
  TsDBEdit* CounsellorEdit() const override { return sDBEdit3; }
  TsEdit* LookupBox() const override { return sEdit3; }
  TsEdit* SearchBox() const override { return sEdit6; }
  TsDBEdit* SchoolNumberEdit() const override { return sDBEdit1; }
  const TInterviewRules& Rules() const override;
};
