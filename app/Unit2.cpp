#include "app/Unit2.h"

#include "app/PendingEdits.h"
#include "platform/db/dberrors.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"

using rtl::String;

TForm2* Form2 = nullptr;
String resimyol;

const wchar_t* const kDeleteQuestion = L"Seçilen kişiyi silmek istediginizden Emin misiniz ?";

namespace {

// The picture path column holds at most this many characters.
constexpr size_t kPicturePathLimit = 250;

}  // namespace

String TForm2::DefaultPictureFile() { return rtl::ExeFolder() + L"vaku_logo.png"; }

void TForm2::FormCreate(rtl::TObject*) {
  ADOTable1->SetTableName(L"ogrencibilgi");
  ADOTable1->Open();
  ShowRecordPicture();
}

void TForm2::FormCloseQuery(rtl::TObject*, bool& CanClose) {
  // A chosen picture or typed text may still sit in its control; it counts as a change only once the field has it.
  if (ADOTable1->State() == db::dsEdit || ADOTable1->State() == db::dsInsert) ADOTable1->UpdateRecord();
  CanClose = ConfirmPendingEdits(this);
}

void TForm2::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
  Action = vcl::caFree;
  Form2 = nullptr;
}

void TForm2::ShowRecordPicture() {
  String path = ADOTable1->Active() ? ADOTable1->FieldByName(L"RESIM")->AsString() : String();
  if (!path.empty() && rtl::FileExists(path)) {
    try {
      Image1->Picture()->LoadFromFile(path);
      return;
    } catch (...) {
      // Whatever this student's file holds, the photograph of the student seen before must not stay in its place.
      Image1->Picture()->Assign(nullptr);
      throw;
    }
  }
  // No picture of its own, or its file is gone: the default one, never the previous student's photograph. Should
  // the default be missing too, the frame stays empty and the file error reaches the error box.
  Image1->Picture()->Assign(nullptr);
  Image1->Picture()->LoadFromFile(DefaultPictureFile());
}

void TForm2::sBitBtn1Click(rtl::TObject*) {
  ADOTable1->Insert();
  ShowRecordPicture();
}

void TForm2::sBitBtn2Click(rtl::TObject*) {
  ADOTable1->Post();
  ADOTable1->Refresh();
}

void TForm2::sBitBtn3Click(rtl::TObject*) { ADOTable1->Edit(); }

void TForm2::sBitBtn4Click(rtl::TObject*) {
  if (vcl::Application->MessageBox(kDeleteQuestion, L"Uyari", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  ADOTable1->Delete();
  ShowRecordPicture();
}

void TForm2::sBitBtn5Click(rtl::TObject*) {
  ADOTable1->Prior();
  ShowRecordPicture();
}

void TForm2::sBitBtn6Click(rtl::TObject*) {
  ADOTable1->Next();
  ShowRecordPicture();
}

void TForm2::PrintSheet(const String& narrow) {
  // The sheet walks the table from its first record to its last; the user's filter and record come back after.
  struct TRestore {
    TForm2* form;
    String filter;
    bool filtered;
    db::TBookmark record;
    ~TRestore() {
      try {
        db::TADOTable* table = form->ADOTable1;
        if (table->Filter() != filter || table->Filtered() != filtered) {
          table->SetFiltered(false);
          table->SetFilter(filter);
          table->SetFiltered(filtered);
        }
        if (!record.empty() && table->Active() && table->BookmarkValid(record)) table->GotoBookmark(record);
        form->ShowRecordPicture();
      } catch (...) {
        if (vcl::Application) vcl::Application->HandleException(form);
      }
    }
  } restore{this, ADOTable1->Filter(), ADOTable1->Filtered(),
            ADOTable1->Active() && !ADOTable1->IsEmpty() ? ADOTable1->GetBookmark() : db::TBookmark()};
  if (!narrow.empty()) {
    ADOTable1->SetFiltered(false);
    ADOTable1->SetFilter(narrow);
    ADOTable1->SetFiltered(true);
  }
  qvxReport1->ShowReport(true);
}

// Every record the table shows, as the search box filters it.
void TForm2::sBitBtn7Click(rtl::TObject*) { PrintSheet(String()); }

void TForm2::sBitBtn8Click(rtl::TObject*) {
  // The record itself, by its own key: a school number shared by two students would print both.
  if (!ADOTable1->Active()) return;
  // A record being typed is posted first, as leaving it would; it has its key only then.
  ADOTable1->CheckBrowseMode();
  if (ADOTable1->IsEmpty()) return;
  PrintSheet(L"sirano=" + rtl::IntToStr(ADOTable1->FieldByName(L"sirano")->AsInteger()));
}

void TForm2::sDBGrid1CellClick(db::TColumn*) { ShowRecordPicture(); }

void TForm2::sEdit1Change(rtl::TObject*) {
  String text = sEdit1->Text();
  if (rtl::Trim(text).empty()) {
    ADOTable1->SetFiltered(false);
  } else {
    ADOTable1->SetFiltered(false);
    ADOTable1->SetFilter(L"okulno=" + rtl::QuotedStr(text));
    ADOTable1->SetFiltered(true);
    ADOTable1->Open();
  }
  // The filter may have moved to another student (or to none).
  ShowRecordPicture();
}

void TForm2::Button1Click(rtl::TObject*) {
  if (!OpenDialog1->Execute()) return;
  AttachPicture(OpenDialog1->FileName());
}

void TForm2::AttachPicture(const String& fileName) {
  // Refused before anything changes: the column could not take the path, and posting would fail later.
  if (fileName.size() > kPicturePathLimit)
    db::DatabaseError(L"Resim dosyasının yolu en fazla " + rtl::IntToStr(static_cast<int>(kPicturePathLimit)) +
                      L" karakter olabilir: " + fileName);
  ADOTable1->Edit();
  // Raises the loader's error for a file that is no picture; the record keeps its old path then.
  Image1->Picture()->LoadFromFile(fileName);
  resimyol = fileName;
  sDBMemo1->SetText(resimyol);
}

VCL_REGISTER(TForm2) {
  cls.Field(L"sPanel1", &TForm2::sPanel1);
  cls.Field(L"sPageControl1", &TForm2::sPageControl1);
  cls.Field(L"sTabSheet1", &TForm2::sTabSheet1);
  cls.Field(L"sLabel1", &TForm2::sLabel1);
  cls.Field(L"sDBEdit1", &TForm2::sDBEdit1);
  cls.Field(L"sLabel2", &TForm2::sLabel2);
  cls.Field(L"sDBEdit2", &TForm2::sDBEdit2);
  cls.Field(L"sLabel3", &TForm2::sLabel3);
  cls.Field(L"sDBEdit3", &TForm2::sDBEdit3);
  cls.Field(L"sLabel4", &TForm2::sLabel4);
  cls.Field(L"sDBComboBox1", &TForm2::sDBComboBox1);
  cls.Field(L"sLabel5", &TForm2::sLabel5);
  cls.Field(L"sDBComboBox2", &TForm2::sDBComboBox2);
  cls.Field(L"sLabel6", &TForm2::sLabel6);
  cls.Field(L"sDBEdit4", &TForm2::sDBEdit4);
  cls.Field(L"sLabel7", &TForm2::sLabel7);
  cls.Field(L"sDBEdit5", &TForm2::sDBEdit5);
  cls.Field(L"sLabel8", &TForm2::sLabel8);
  cls.Field(L"sDBRichEdit1", &TForm2::sDBRichEdit1);
  cls.Field(L"Image1", &TForm2::Image1);
  cls.Field(L"Button1", &TForm2::Button1);
  cls.Field(L"sDBMemo1", &TForm2::sDBMemo1);
  cls.Field(L"sTabSheet2", &TForm2::sTabSheet2);
  cls.Field(L"sLabel9", &TForm2::sLabel9);
  cls.Field(L"sDBComboBox3", &TForm2::sDBComboBox3);
  cls.Field(L"sLabel10", &TForm2::sLabel10);
  cls.Field(L"sDBComboBox4", &TForm2::sDBComboBox4);
  cls.Field(L"sLabel11", &TForm2::sLabel11);
  cls.Field(L"sDBComboBox5", &TForm2::sDBComboBox5);
  cls.Field(L"sLabel12", &TForm2::sLabel12);
  cls.Field(L"sDBComboBox6", &TForm2::sDBComboBox6);
  cls.Field(L"sLabel13", &TForm2::sLabel13);
  cls.Field(L"sDBComboBox7", &TForm2::sDBComboBox7);
  cls.Field(L"sLabel14", &TForm2::sLabel14);
  cls.Field(L"sDBEdit6", &TForm2::sDBEdit6);
  cls.Field(L"sLabel15", &TForm2::sLabel15);
  cls.Field(L"sDBEdit7", &TForm2::sDBEdit7);
  cls.Field(L"sLabel16", &TForm2::sLabel16);
  cls.Field(L"sDBEdit8", &TForm2::sDBEdit8);
  cls.Field(L"sLabel17", &TForm2::sLabel17);
  cls.Field(L"sDBEdit9", &TForm2::sDBEdit9);
  cls.Field(L"sLabel18", &TForm2::sLabel18);
  cls.Field(L"sDBEdit10", &TForm2::sDBEdit10);
  cls.Field(L"sLabel19", &TForm2::sLabel19);
  cls.Field(L"sDBEdit11", &TForm2::sDBEdit11);
  cls.Field(L"sLabel20", &TForm2::sLabel20);
  cls.Field(L"sDBEdit12", &TForm2::sDBEdit12);
  cls.Field(L"sLabel21", &TForm2::sLabel21);
  cls.Field(L"sDBEdit13", &TForm2::sDBEdit13);
  cls.Field(L"sLabel22", &TForm2::sLabel22);
  cls.Field(L"sDBEdit14", &TForm2::sDBEdit14);
  cls.Field(L"sLabel23", &TForm2::sLabel23);
  cls.Field(L"sDBEdit15", &TForm2::sDBEdit15);
  cls.Field(L"sLabel24", &TForm2::sLabel24);
  cls.Field(L"sDBEdit16", &TForm2::sDBEdit16);
  cls.Field(L"sDBCheckBox1", &TForm2::sDBCheckBox1);
  cls.Field(L"sDBCheckBox2", &TForm2::sDBCheckBox2);
  cls.Field(L"sDBCheckBox3", &TForm2::sDBCheckBox3);
  cls.Field(L"sDBCheckBox4", &TForm2::sDBCheckBox4);
  cls.Field(L"sLabel25", &TForm2::sLabel25);
  cls.Field(L"sDBEdit17", &TForm2::sDBEdit17);
  cls.Field(L"sTabSheet3", &TForm2::sTabSheet3);
  cls.Field(L"sLabel26", &TForm2::sLabel26);
  cls.Field(L"sDBEdit18", &TForm2::sDBEdit18);
  cls.Field(L"sLabel27", &TForm2::sLabel27);
  cls.Field(L"sDBEdit19", &TForm2::sDBEdit19);
  cls.Field(L"sLabel28", &TForm2::sLabel28);
  cls.Field(L"sDBEdit20", &TForm2::sDBEdit20);
  cls.Field(L"sLabel29", &TForm2::sLabel29);
  cls.Field(L"sDBEdit21", &TForm2::sDBEdit21);
  cls.Field(L"sLabel30", &TForm2::sLabel30);
  cls.Field(L"sDBEdit22", &TForm2::sDBEdit22);
  cls.Field(L"sLabel31", &TForm2::sLabel31);
  cls.Field(L"sDBEdit23", &TForm2::sDBEdit23);
  cls.Field(L"sLabel32", &TForm2::sLabel32);
  cls.Field(L"sDBComboBox8", &TForm2::sDBComboBox8);
  cls.Field(L"sLabel33", &TForm2::sLabel33);
  cls.Field(L"sDBComboBox9", &TForm2::sDBComboBox9);
  cls.Field(L"sLabel34", &TForm2::sLabel34);
  cls.Field(L"sDBEdit24", &TForm2::sDBEdit24);
  cls.Field(L"sLabel35", &TForm2::sLabel35);
  cls.Field(L"sDBEdit25", &TForm2::sDBEdit25);
  cls.Field(L"sLabel36", &TForm2::sLabel36);
  cls.Field(L"sDBEdit26", &TForm2::sDBEdit26);
  cls.Field(L"sLabel37", &TForm2::sLabel37);
  cls.Field(L"sDBEdit27", &TForm2::sDBEdit27);
  cls.Field(L"sLabel38", &TForm2::sLabel38);
  cls.Field(L"sDBEdit28", &TForm2::sDBEdit28);
  cls.Field(L"sLabel39", &TForm2::sLabel39);
  cls.Field(L"sDBEdit29", &TForm2::sDBEdit29);
  cls.Field(L"sLabel40", &TForm2::sLabel40);
  cls.Field(L"sDBEdit30", &TForm2::sDBEdit30);
  cls.Field(L"sLabel41", &TForm2::sLabel41);
  cls.Field(L"sDBComboBox10", &TForm2::sDBComboBox10);
  cls.Field(L"sLabel42", &TForm2::sLabel42);
  cls.Field(L"sDBComboBox11", &TForm2::sDBComboBox11);
  cls.Field(L"sLabel43", &TForm2::sLabel43);
  cls.Field(L"sDBEdit31", &TForm2::sDBEdit31);
  cls.Field(L"sBitBtn1", &TForm2::sBitBtn1);
  cls.Field(L"sBitBtn2", &TForm2::sBitBtn2);
  cls.Field(L"sBitBtn3", &TForm2::sBitBtn3);
  cls.Field(L"sBitBtn4", &TForm2::sBitBtn4);
  cls.Field(L"sBitBtn5", &TForm2::sBitBtn5);
  cls.Field(L"sBitBtn6", &TForm2::sBitBtn6);
  cls.Field(L"sBitBtn7", &TForm2::sBitBtn7);
  cls.Field(L"sBitBtn8", &TForm2::sBitBtn8);
  cls.Field(L"sLabel44", &TForm2::sLabel44);
  cls.Field(L"sEdit1", &TForm2::sEdit1);
  cls.Field(L"sDBGrid1", &TForm2::sDBGrid1);
  cls.Field(L"ADOTable1", &TForm2::ADOTable1);
  cls.Field(L"ADOTable1sirano", &TForm2::ADOTable1sirano);
  cls.Field(L"ADOTable1okulno", &TForm2::ADOTable1okulno);
  cls.Field(L"ADOTable1tcno", &TForm2::ADOTable1tcno);
  cls.Field(L"ADOTable1adisoyadi", &TForm2::ADOTable1adisoyadi);
  cls.Field(L"ADOTable1sinif", &TForm2::ADOTable1sinif);
  cls.Field(L"ADOTable1sube", &TForm2::ADOTable1sube);
  cls.Field(L"ADOTable1velicep", &TForm2::ADOTable1velicep);
  cls.Field(L"ADOTable1veliev", &TForm2::ADOTable1veliev);
  cls.Field(L"ADOTable1adres", &TForm2::ADOTable1adres);
  cls.Field(L"ADOTable1kimleoturuyor", &TForm2::ADOTable1kimleoturuyor);
  cls.Field(L"ADOTable1evkirami", &TForm2::ADOTable1evkirami);
  cls.Field(L"ADOTable1odasivar", &TForm2::ADOTable1odasivar);
  cls.Field(L"ADOTable1okulnasilgeliyor", &TForm2::ADOTable1okulnasilgeliyor);
  cls.Field(L"ADOTable1calisiyormu", &TForm2::ADOTable1calisiyormu);
  cls.Field(L"ADOTable1gecir_kaza", &TForm2::ADOTable1gecir_kaza);
  cls.Field(L"ADOTable1gecir_ameliyat", &TForm2::ADOTable1gecir_ameliyat);
  cls.Field(L"ADOTable1k_cihaz", &TForm2::ADOTable1k_cihaz);
  cls.Field(L"ADOTable1g_hastalik", &TForm2::ADOTable1g_hastalik);
  cls.Field(L"ADOTable1s_hastalik", &TForm2::ADOTable1s_hastalik);
  cls.Field(L"ADOTable1k_ilac", &TForm2::ADOTable1k_ilac);
  cls.Field(L"ADOTable1kardes_sayi", &TForm2::ADOTable1kardes_sayi);
  cls.Field(L"ADOTable1boy", &TForm2::ADOTable1boy);
  cls.Field(L"ADOTable1kilo", &TForm2::ADOTable1kilo);
  cls.Field(L"ADOTable1hanedekisi", &TForm2::ADOTable1hanedekisi);
  cls.Field(L"ADOTable1hane_gelir", &TForm2::ADOTable1hane_gelir);
  cls.Field(L"ADOTable1sehitcocuk", &TForm2::ADOTable1sehitcocuk);
  cls.Field(L"ADOTable1yurtdisigeldi", &TForm2::ADOTable1yurtdisigeldi);
  cls.Field(L"ADOTable1burslu", &TForm2::ADOTable1burslu);
  cls.Field(L"ADOTable12828veya5395", &TForm2::ADOTable12828veya5395);
  cls.Field(L"ADOTable1ozelegt_durum", &TForm2::ADOTable1ozelegt_durum);
  cls.Field(L"ADOTable1babaad", &TForm2::ADOTable1babaad);
  cls.Field(L"ADOTable1baba_dtarih", &TForm2::ADOTable1baba_dtarih);
  cls.Field(L"ADOTable1baba_meslek", &TForm2::ADOTable1baba_meslek);
  cls.Field(L"ADOTable1baba_ogrnm", &TForm2::ADOTable1baba_ogrnm);
  cls.Field(L"ADOTable1baba_s_hastalik", &TForm2::ADOTable1baba_s_hastalik);
  cls.Field(L"ADOTable1baba_engel", &TForm2::ADOTable1baba_engel);
  cls.Field(L"ADOTable1baba_s_olu", &TForm2::ADOTable1baba_s_olu);
  cls.Field(L"ADOTable1baba_birlikte", &TForm2::ADOTable1baba_birlikte);
  cls.Field(L"ADOTable1baba_tel", &TForm2::ADOTable1baba_tel);
  cls.Field(L"ADOTable1anne_ad", &TForm2::ADOTable1anne_ad);
  cls.Field(L"ADOTable1anne_dtarih", &TForm2::ADOTable1anne_dtarih);
  cls.Field(L"ADOTable1anne_meslek", &TForm2::ADOTable1anne_meslek);
  cls.Field(L"ADOTable1anne_ogrenim", &TForm2::ADOTable1anne_ogrenim);
  cls.Field(L"ADOTable1anne_s_hastalik", &TForm2::ADOTable1anne_s_hastalik);
  cls.Field(L"ADOTable1anne_engel", &TForm2::ADOTable1anne_engel);
  cls.Field(L"ADOTable1anne_s_olu", &TForm2::ADOTable1anne_s_olu);
  cls.Field(L"ADOTable1anne_birlikte", &TForm2::ADOTable1anne_birlikte);
  cls.Field(L"ADOTable1anne_tel", &TForm2::ADOTable1anne_tel);
  cls.Field(L"ADOTable1resim", &TForm2::ADOTable1resim);
  cls.Field(L"DataSource1", &TForm2::DataSource1);
  cls.Field(L"OpenDialog1", &TForm2::OpenDialog1);
  cls.Field(L"qvxDBDataset1", &TForm2::qvxDBDataset1);
  cls.Field(L"qvxReport1", &TForm2::qvxReport1);
  cls.Method(L"FormCreate", &TForm2::FormCreate);
  cls.Method(L"FormClose", &TForm2::FormClose);
  cls.Method(L"FormCloseQuery", &TForm2::FormCloseQuery);
  cls.Method(L"sBitBtn1Click", &TForm2::sBitBtn1Click);
  cls.Method(L"sBitBtn2Click", &TForm2::sBitBtn2Click);
  cls.Method(L"sBitBtn3Click", &TForm2::sBitBtn3Click);
  cls.Method(L"sBitBtn4Click", &TForm2::sBitBtn4Click);
  cls.Method(L"sBitBtn5Click", &TForm2::sBitBtn5Click);
  cls.Method(L"sBitBtn6Click", &TForm2::sBitBtn6Click);
  cls.Method(L"sBitBtn7Click", &TForm2::sBitBtn7Click);
  cls.Method(L"sBitBtn8Click", &TForm2::sBitBtn8Click);
  cls.Method(L"sDBGrid1CellClick", &TForm2::sDBGrid1CellClick);
  cls.Method(L"sEdit1Change", &TForm2::sEdit1Change);
  cls.Method(L"Button1Click", &TForm2::Button1Click);
}
