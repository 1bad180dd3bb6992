#pragma once
// The parent-interview screen: table veligorusme, the student lookup by school number and the student
// panel, the record buttons with "Önceki" and "Sonraki", the search box and the grid.
#include "app/InterviewScreen.h"

class TForm11 : public TInterviewScreen {
  VCL_CLASS(TForm11, TInterviewScreen)
  explicit TForm11(vcl::TComponent* owner) : TInterviewScreen(owner) {}

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
  TsDBEdit* sDBEdit2 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsDBEdit* sDBEdit3 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsDBMemo* sDBMemo1 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsDBMemo* sDBMemo2 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsDBMemo* sDBMemo3 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsDBEdit* sDBEdit6 = nullptr;
  TsLabel* sLabel13 = nullptr;
  TsDBEdit* sDBEdit7 = nullptr;
  TsBitBtn* sBitBtn5 = nullptr;
  TsBitBtn* sBitBtn6 = nullptr;
  TsLabel* sLabel14 = nullptr;
  TsEdit* sEdit3 = nullptr;
  db::TWideStringField* ADOTable1okulno = nullptr;
  db::TWideStringField* ADOTable1veliadisoyadi = nullptr;
  db::TWideStringField* ADOTable1velitelefon = nullptr;
  db::TDateTimeField* ADOTable1gorusmetarihi = nullptr;
  db::TWideStringField* ADOTable1gorusmekonusu = nullptr;
  db::TWideMemoField* ADOTable1gorusmeozeti = nullptr;
  db::TWideMemoField* ADOTable1yapilancalisma = nullptr;
  db::TWideStringField* ADOTable1yonlendirilenkurum = nullptr;
  db::TWideStringField* ADOTable1gorusmeyiyapan = nullptr;
  db::TWideMemoField* ADOTable1sonuconeri = nullptr;
  db::TStringField* ADOQuery1okulno = nullptr;
  db::TWideStringField* ADOQuery1tcno = nullptr;
  db::TStringField* ADOQuery1adisoyadi = nullptr;
  db::TStringField* ADOQuery1sinif = nullptr;
  db::TWideStringField* ADOQuery1sube = nullptr;
  db::TWideStringField* ADOQuery1velicep = nullptr;
  db::TWideStringField* ADOQuery1veliev = nullptr;
  db::TWideStringField* ADOQuery1adres = nullptr;
  db::TWideStringField* ADOsabitokuladi = nullptr;
  db::TWideStringField* ADOsabitrehber1 = nullptr;
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
