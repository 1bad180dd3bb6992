#pragma once
// The teacher-interview screen: table ogretmengorusme, the student lookup by school number and the
// student panel, the record buttons and the grid.
#include "app/InterviewScreen.h"

class TForm8 : public TInterviewScreen {
  VCL_CLASS(TForm8, TInterviewScreen)
  explicit TForm8(vcl::TComponent* owner) : TInterviewScreen(owner) {}

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
  TsDBEdit* sDBEdit2 = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsDBEdit* sDBEdit3 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsDBEdit* sDBEdit4 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsDBDateEdit* sDBDateEdit1 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsDBEdit* sDBEdit5 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsDBMemo* sDBMemo1 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsDBMemo* sDBMemo2 = nullptr;
  db::TWideStringField* ADOTable1ogretmenadi = nullptr;
  db::TWideStringField* ADOTable1gorusulenogrenci = nullptr;
  db::TWideStringField* ADOTable1gorusmenedeni = nullptr;
  db::TWideStringField* ADOTable1gorusmeicerigi = nullptr;
  db::TWideStringField* ADOTable1yapilacakcalismalar = nullptr;
  db::TWideStringField* ADOTable1gorusmeyapan = nullptr;
  db::TDateTimeField* ADOTable1tarih = nullptr;
  db::TStringField* ADOTable1okulno = nullptr;
  db::TWideStringField* ADOSabitokuladi = nullptr;
  db::TWideStringField* ADOSabitrehber1 = nullptr;
  db::TWideStringField* ADOSabitkadi = nullptr;
  db::TWideStringField* ADOSabitsifre = nullptr;
  db::TADOTable* ADOSabit = nullptr;
  TqvxDBDataset* qvxDBDataset1 = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void sBitBtn8Click(rtl::TObject* Sender);  // "Okul No'dan Kişi Bilgisini getir..."

  db::TDataSet* SettingsTable() const override { return ADOSabit; }
  TsDBEdit* CounsellorEdit() const override { return sDBEdit5; }
  TsEdit* LookupBox() const override { return sEdit6; }
  TsDBEdit* SchoolNumberEdit() const override { return sDBEdit3; }
  const TInterviewRules& Rules() const override;
};
