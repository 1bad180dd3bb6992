#pragma once
// The student record screen: table ogrencibilgi through one dataset, three pages of bound controls, the record
// buttons, a search box that filters by school number as the user types, the grid, and the student's picture read
// from the path the record stores.
#include "app/screens.h"
#include "platform/db/ado.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sDBCheckBox.h"
#include "skin/controls/sDBComboBox.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sDBGrid.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sDBRichEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"

class TForm2 : public vcl::TForm {
  VCL_CLASS(TForm2, vcl::TForm)
  explicit TForm2(vcl::TComponent* owner) : vcl::TForm(owner) {}

  // The components of the form text, filled in as it is read.
  TsPanel* sPanel1 = nullptr;
  TsPageControl* sPageControl1 = nullptr;
  TsTabSheet* sTabSheet1 = nullptr;
  TsLabel* sLabel1 = nullptr;
  TsDBEdit* sDBEdit1 = nullptr;
  TsLabel* sLabel2 = nullptr;
  TsDBEdit* sDBEdit2 = nullptr;
  TsLabel* sLabel3 = nullptr;
  TsDBEdit* sDBEdit3 = nullptr;
  TsLabel* sLabel4 = nullptr;
  TsDBComboBox* sDBComboBox1 = nullptr;
  TsLabel* sLabel5 = nullptr;
  TsDBComboBox* sDBComboBox2 = nullptr;
  TsLabel* sLabel6 = nullptr;
  TsDBEdit* sDBEdit4 = nullptr;
  TsLabel* sLabel7 = nullptr;
  TsDBEdit* sDBEdit5 = nullptr;
  TsLabel* sLabel8 = nullptr;
  TsDBRichEdit* sDBRichEdit1 = nullptr;
  vcl::TImage* Image1 = nullptr;
  vcl::TButton* Button1 = nullptr;
  TsDBMemo* sDBMemo1 = nullptr;
  TsTabSheet* sTabSheet2 = nullptr;
  TsLabel* sLabel9 = nullptr;
  TsDBComboBox* sDBComboBox3 = nullptr;
  TsLabel* sLabel10 = nullptr;
  TsDBComboBox* sDBComboBox4 = nullptr;
  TsLabel* sLabel11 = nullptr;
  TsDBComboBox* sDBComboBox5 = nullptr;
  TsLabel* sLabel12 = nullptr;
  TsDBComboBox* sDBComboBox6 = nullptr;
  TsLabel* sLabel13 = nullptr;
  TsDBComboBox* sDBComboBox7 = nullptr;
  TsLabel* sLabel14 = nullptr;
  TsDBEdit* sDBEdit6 = nullptr;
  TsLabel* sLabel15 = nullptr;
  TsDBEdit* sDBEdit7 = nullptr;
  TsLabel* sLabel16 = nullptr;
  TsDBEdit* sDBEdit8 = nullptr;
  TsLabel* sLabel17 = nullptr;
  TsDBEdit* sDBEdit9 = nullptr;
  TsLabel* sLabel18 = nullptr;
  TsDBEdit* sDBEdit10 = nullptr;
  TsLabel* sLabel19 = nullptr;
  TsDBEdit* sDBEdit11 = nullptr;
  TsLabel* sLabel20 = nullptr;
  TsDBEdit* sDBEdit12 = nullptr;
  TsLabel* sLabel21 = nullptr;
  TsDBEdit* sDBEdit13 = nullptr;
  TsLabel* sLabel22 = nullptr;
  TsDBEdit* sDBEdit14 = nullptr;
  TsLabel* sLabel23 = nullptr;
  TsDBEdit* sDBEdit15 = nullptr;
  TsLabel* sLabel24 = nullptr;
  TsDBEdit* sDBEdit16 = nullptr;
  TsDBCheckBox* sDBCheckBox1 = nullptr;
  TsDBCheckBox* sDBCheckBox2 = nullptr;
  TsDBCheckBox* sDBCheckBox3 = nullptr;
  TsDBCheckBox* sDBCheckBox4 = nullptr;
  TsLabel* sLabel25 = nullptr;
  TsDBEdit* sDBEdit17 = nullptr;
  TsTabSheet* sTabSheet3 = nullptr;
  TsLabel* sLabel26 = nullptr;
  TsDBEdit* sDBEdit18 = nullptr;
  TsLabel* sLabel27 = nullptr;
  TsDBEdit* sDBEdit19 = nullptr;
  TsLabel* sLabel28 = nullptr;
  TsDBEdit* sDBEdit20 = nullptr;
  TsLabel* sLabel29 = nullptr;
  TsDBEdit* sDBEdit21 = nullptr;
  TsLabel* sLabel30 = nullptr;
  TsDBEdit* sDBEdit22 = nullptr;
  TsLabel* sLabel31 = nullptr;
  TsDBEdit* sDBEdit23 = nullptr;
  TsLabel* sLabel32 = nullptr;
  TsDBComboBox* sDBComboBox8 = nullptr;
  TsLabel* sLabel33 = nullptr;
  TsDBComboBox* sDBComboBox9 = nullptr;
  TsLabel* sLabel34 = nullptr;
  TsDBEdit* sDBEdit24 = nullptr;
  TsLabel* sLabel35 = nullptr;
  TsDBEdit* sDBEdit25 = nullptr;
  TsLabel* sLabel36 = nullptr;
  TsDBEdit* sDBEdit26 = nullptr;
  TsLabel* sLabel37 = nullptr;
  TsDBEdit* sDBEdit27 = nullptr;
  TsLabel* sLabel38 = nullptr;
  TsDBEdit* sDBEdit28 = nullptr;
  TsLabel* sLabel39 = nullptr;
  TsDBEdit* sDBEdit29 = nullptr;
  TsLabel* sLabel40 = nullptr;
  TsDBEdit* sDBEdit30 = nullptr;
  TsLabel* sLabel41 = nullptr;
  TsDBComboBox* sDBComboBox10 = nullptr;
  TsLabel* sLabel42 = nullptr;
  TsDBComboBox* sDBComboBox11 = nullptr;
  TsLabel* sLabel43 = nullptr;
  TsDBEdit* sDBEdit31 = nullptr;
  TsBitBtn* sBitBtn1 = nullptr;
  TsBitBtn* sBitBtn2 = nullptr;
  TsBitBtn* sBitBtn3 = nullptr;
  TsBitBtn* sBitBtn4 = nullptr;
  TsBitBtn* sBitBtn5 = nullptr;
  TsBitBtn* sBitBtn6 = nullptr;
  TsBitBtn* sBitBtn7 = nullptr;
  TsBitBtn* sBitBtn8 = nullptr;
  TsLabel* sLabel44 = nullptr;
  TsEdit* sEdit1 = nullptr;
  TsDBGrid* sDBGrid1 = nullptr;
  db::TADOTable* ADOTable1 = nullptr;
  db::TAutoIncField* ADOTable1sirano = nullptr;
  db::TWideStringField* ADOTable1okulno = nullptr;
  db::TWideStringField* ADOTable1tcno = nullptr;
  db::TWideStringField* ADOTable1adisoyadi = nullptr;
  db::TStringField* ADOTable1sinif = nullptr;
  db::TWideStringField* ADOTable1sube = nullptr;
  db::TWideStringField* ADOTable1velicep = nullptr;
  db::TWideStringField* ADOTable1veliev = nullptr;
  db::TWideStringField* ADOTable1adres = nullptr;
  db::TWideStringField* ADOTable1kimleoturuyor = nullptr;
  db::TWideStringField* ADOTable1evkirami = nullptr;
  db::TWideStringField* ADOTable1odasivar = nullptr;
  db::TWideStringField* ADOTable1okulnasilgeliyor = nullptr;
  db::TWideStringField* ADOTable1calisiyormu = nullptr;
  db::TWideStringField* ADOTable1gecir_kaza = nullptr;
  db::TWideStringField* ADOTable1gecir_ameliyat = nullptr;
  db::TWideStringField* ADOTable1k_cihaz = nullptr;
  db::TWideStringField* ADOTable1g_hastalik = nullptr;
  db::TWideStringField* ADOTable1s_hastalik = nullptr;
  db::TWideStringField* ADOTable1k_ilac = nullptr;
  db::TWideStringField* ADOTable1kardes_sayi = nullptr;
  db::TWideStringField* ADOTable1boy = nullptr;
  db::TWideStringField* ADOTable1kilo = nullptr;
  db::TWideStringField* ADOTable1hanedekisi = nullptr;
  db::TWideStringField* ADOTable1hane_gelir = nullptr;
  db::TBooleanField* ADOTable1sehitcocuk = nullptr;
  db::TBooleanField* ADOTable1yurtdisigeldi = nullptr;
  db::TBooleanField* ADOTable1burslu = nullptr;
  db::TBooleanField* ADOTable12828veya5395 = nullptr;
  db::TWideStringField* ADOTable1ozelegt_durum = nullptr;
  db::TWideStringField* ADOTable1babaad = nullptr;
  db::TWideStringField* ADOTable1baba_dtarih = nullptr;
  db::TWideStringField* ADOTable1baba_meslek = nullptr;
  db::TWideStringField* ADOTable1baba_ogrnm = nullptr;
  db::TWideStringField* ADOTable1baba_s_hastalik = nullptr;
  db::TWideStringField* ADOTable1baba_engel = nullptr;
  db::TWideStringField* ADOTable1baba_s_olu = nullptr;
  db::TWideStringField* ADOTable1baba_birlikte = nullptr;
  db::TWideStringField* ADOTable1baba_tel = nullptr;
  db::TWideStringField* ADOTable1anne_ad = nullptr;
  db::TWideStringField* ADOTable1anne_dtarih = nullptr;
  db::TWideStringField* ADOTable1anne_meslek = nullptr;
  db::TWideStringField* ADOTable1anne_ogrenim = nullptr;
  db::TWideStringField* ADOTable1anne_s_hastalik = nullptr;
  db::TWideStringField* ADOTable1anne_engel = nullptr;
  db::TWideStringField* ADOTable1anne_s_olu = nullptr;
  db::TWideStringField* ADOTable1anne_birlikte = nullptr;
  db::TWideStringField* ADOTable1anne_tel = nullptr;
  db::TStringField* ADOTable1resim = nullptr;
  db::TDataSource* DataSource1 = nullptr;
  vcl::TOpenDialog* OpenDialog1 = nullptr;
  TqvxDBDataset* qvxDBDataset1 = nullptr;
  TqvxReport* qvxReport1 = nullptr;

  void FormCreate(rtl::TObject* Sender);
  void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
  void sBitBtn1Click(rtl::TObject* Sender);  // "Yeni"
  void sBitBtn2Click(rtl::TObject* Sender);  // "Kaydet"
  void sBitBtn3Click(rtl::TObject* Sender);  // "Düzenle"
  void sBitBtn4Click(rtl::TObject* Sender);  // "Sil"
  void sBitBtn5Click(rtl::TObject* Sender);  // "Önceki"
  void sBitBtn6Click(rtl::TObject* Sender);  // "Sonraki"
  void sBitBtn7Click(rtl::TObject* Sender);  // "Tüm Kayıtlar"
  void sBitBtn8Click(rtl::TObject* Sender);  // "Seçili Kaydı Yazdır"
  void sDBGrid1CellClick(db::TColumn* Column);
  void sEdit1Change(rtl::TObject* Sender);
  void Button1Click(rtl::TObject* Sender);  // "Resim Ekle"

  // The picture step of "Resim Ekle" once a file is chosen: the record goes into edit, the picture shows, and the
  // path waits in the hidden memo until the record is posted.
  void AttachPicture(const rtl::String& fileName);
  // Shows the current record's picture, or the default one when it has none or its file is gone.
  void ShowRecordPicture();
  // Shows the student sheet in the modal preview and brings the screen back as the user left it: the same search
  // filter and the same record. narrow, when given, is the filter the sheet is printed under meanwhile.
  void PrintSheet(const rtl::String& narrow);

  // "vaku_logo.png" in the program's folder.
  static rtl::String DefaultPictureFile();
};

// The path last chosen with "Resim Ekle" during this run.
extern rtl::String resimyol;

// The question "Sil" asks before deleting.
extern const wchar_t* const kDeleteQuestion;
