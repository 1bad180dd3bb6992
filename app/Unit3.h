#pragma once
// The counselling-client screen: table danisankayit, the student lookup by school number and the
// student panel, the record buttons with "Önceki" and "Sonraki", the search box and the grid.
#include "app/InterviewScreen.h"

class TForm3 : public TInterviewScreen {
  VCL_CLASS(TForm3, TInterviewScreen)
  explicit TForm3(vcl::TComponent* owner) : TInterviewScreen(owner) {}

  // The components of the form text besides the family's own (InterviewScreen.h), filled in as it is read.
  TsEdit* sEdit6 = nullptr;
  TsBitBtn* sBitBtn8 = nullptr;
  TsLabel* sLabel1 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsLabel* sLabel5 = nullptr;
  TsDBEdit* sDBEdit1 = nullptr;
  TsLabel* sLabel6 = nullptr;
  TsDBDateEdit* sDBDateEdit1 = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsDBMemo* sDBMemo1 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsDBMemo* sDBMemo2 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsDBMemo* sDBMemo3 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsDBEdit* sDBEdit6 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsDBEdit* sDBEdit7 = nullptr;
  TsBitBtn* sBitBtn5 = nullptr;
  TsBitBtn* sBitBtn6 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsEdit* sEdit3 = nullptr;
  db::TAutoIncField* ADOTable1sno = nullptr;
  db::TIntegerField* ADOTable1okulno = nullptr;
  db::TDateTimeField* ADOTable1gorusmetarihi = nullptr;
  db::TWideMemoField* ADOTable1gelisnedeni = nullptr;
  db::TWideMemoField* ADOTable1yapilancalisma = nullptr;
  db::TWideMemoField* ADOTable1calismaozeti = nullptr;
  db::TWideStringField* ADOTable1yonlendirilenkurum = nullptr;
  db::TWideStringField* ADOTable1gorusmeyiyapan = nullptr;
  db::TStringField* ADOQuery1okulno = nullptr;
  db::TWideStringField* ADOQuery1tcno = nullptr;
  db::TStringField* ADOQuery1adisoyadi = nullptr;
  db::TStringField* ADOQuery1sinif = nullptr;
  db::TWideStringField* ADOQuery1sube = nullptr;
  db::TWideStringField* ADOQuery1velicep = nullptr;
  db::TWideStringField* ADOQuery1veliev = nullptr;
  db::TWideStringField* ADOQuery1adres = nullptr;
  db::TADOTable* ADOsabit = nullptr;
  TqvxDBDataset* qvxDBDataset1 = nullptr;
  TqvxDBDataset* qvxDBDataset2 = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void sBitBtn5Click(rtl::TObject* Sender);  // "Önceki"
  void sBitBtn6Click(rtl::TObject* Sender);  // "Sonraki"
  void sBitBtn8Click(rtl::TObject* Sender);  // "Okul No'dan Kişi Bilgisini getir..."
  void sEdit3Change(rtl::TObject* Sender);

  db::TDataSet* SettingsTable() const override { return ADOsabit; }
  TsDBEdit* CounsellorEdit() const override { return sDBEdit7; }
  TsEdit* LookupBox() const override { return sEdit6; }
  TsEdit* SearchBox() const override { return sEdit3; }
  TsDBEdit* SchoolNumberEdit() const override { return sDBEdit1; }
  const TInterviewRules& Rules() const override;
};
