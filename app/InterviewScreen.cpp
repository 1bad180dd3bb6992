#include "app/InterviewScreen.h"

#include "app/PendingEdits.h"
#include "platform/db/dberrors.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"

using rtl::String;

const wchar_t* const TInterviewScreen::kAllStudents = L"SELECT * FROM ogrencibilgi";
const wchar_t* const kDeleteRecordQuestion = L"Seçilen kaydı silmek istediginizden Emin misiniz ?";
const wchar_t* const kSchoolNumberNotFound = L"Okul No bulunamadı";

String SchoolNumberForStatement(const String& text) {
  if (rtl::Trim(text).empty()) throw rtl::Exception(L"Okul No boş: önce öğrencinin okul numarasını yazınız.");
  try {
    return db::SqlNumber(text);
  } catch (const db::EDatabaseError&) {
    throw rtl::Exception(L"\"" + text + L"\" bir okul numarası değil: Okul No yalnızca rakamlardan oluşur.");
  }
}

void TInterviewScreen::OpenInOrder(std::initializer_list<db::TDataSet*> dataSets) {
  for (db::TDataSet* ds : dataSets) ds->Open();
}

void TInterviewScreen::FormCloseQuery(rtl::TObject*, bool& CanClose) {
  // Typed text still sitting in its control counts as a change once the field has it; a text the field refuses
  // (a date that is no date) keeps the screen open with the reason shown.
  db::TDataSet* shown = ShownDataSet();
  if (shown && (shown->State() == db::dsEdit || shown->State() == db::dsInsert)) {
    try {
      shown->UpdateRecord();
    } catch (const rtl::Exception&) {
      vcl::Application->HandleException(this);
      CanClose = false;
      return;
    }
  }
  CanClose = ConfirmPendingEdits(this);
}

void TInterviewScreen::sBitBtn1Click(rtl::TObject*) {
  ShownDataSet()->Insert();
  // The counsellor is the one the settings name; an empty or unreadable settings table names nobody.
  db::TDataSet* settings = SettingsTable();
  String counsellor;
  if (settings && settings->Active() && !settings->IsEmpty())
    counsellor = settings->FieldByName(L"rehber1")->AsString();
  CounsellorEdit()->SetText(counsellor);
}

void TInterviewScreen::sBitBtn2Click(rtl::TObject*) {
  db::TDataSet* shown = ShownDataSet();
  shown->Post();
  if (Rules().refreshAfterSave) shown->Refresh();
}

void TInterviewScreen::sBitBtn3Click(rtl::TObject*) { ShownDataSet()->Edit(); }

void TInterviewScreen::sBitBtn4Click(rtl::TObject*) {
  // Every member asks: a record deleted by one click next to "Düzenle" could not be brought back.
  if (vcl::Application->MessageBox(kDeleteRecordQuestion, L"Uyari", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  ShownDataSet()->Delete();
}

void TInterviewScreen::MovePrior() { ShownDataSet()->Prior(); }

void TInterviewScreen::MoveNext() { ShownDataSet()->Next(); }

void TInterviewScreen::SetStudentStatement(const String& sql) {
  ADOQuery1->Close();
  ADOQuery1->SQL()->Clear();
  ADOQuery1->SQL()->Add(sql);
  ADOQuery1->Open();
}

void TInterviewScreen::LookUpStudent() {
  const TInterviewRules& rules = Rules();
  String typed = LookupBox()->Text();
  // A number that is no number is refused before anything changes.
  String number = rules.lookupByNumber ? SchoolNumberForStatement(typed) : String();
  String value = rules.lookupByNumber ? number : db::SqlQuoted(typed);
  SetStudentStatement(L"SELECT * FROM ogrencibilgi WHERE okulno LIke " + value);
  if (rules.lookupRequeriesShown) {
    db::TCustomADODataSet* shown = ShownDataSet();
    // A record being typed is posted first, as leaving it would; closing the query must not drop it.
    if (shown->Active()) shown->CheckBrowseMode();
    auto* query = static_cast<db::TADOQuery*>(shown);
    query->Close();
    query->SQL()->Clear();
    query->SQL()->Add(L"SELECT * FROM ogrencigorusme WHERE okulno LIke " + db::SqlQuoted(typed));
    query->Open();
  }
  if (ADOQuery1->RecordCount() <= 0) {
    vcl::ShowMessage(kSchoolNumberNotFound);
    return;
  }
  ADOQuery1->First();
  sEdit1->SetText(ADOQuery1->FieldByName(L"tcno")->AsString());
  sEdit2->SetText(ADOQuery1->FieldByName(L"adisoyadi")->AsString());
  sEdit4->SetText(ADOQuery1->FieldByName(L"sinif")->AsString());
  sEdit5->SetText(ADOQuery1->FieldByName(L"sube")->AsString());
  if (rules.lookupFiltersShown) {
    db::TDataSet* shown = ShownDataSet();
    shown->SetFilter(L"okulno like " + db::SqlQuoted(rules.lookupByNumber ? number : typed));
    shown->SetFiltered(true);
  }
}

void TInterviewScreen::SearchBoxChanged() {
  TsEdit* box = SearchBox();
  db::TDataSet* filtered = ShownDataSet();
  String text = box->Text();
  filtered->SetFiltered(false);
  if (rtl::Trim(text).empty()) return;
  filtered->SetFilter(L"okulno=" + db::SqlQuoted(text));
  filtered->SetFiltered(true);
  filtered->Open();
}

void TInterviewScreen::sBitBtn7Click(rtl::TObject*) {
  const TInterviewRules& rules = Rules();
  String number =
      rules.reportNumberFromEdit ? SchoolNumberEdit()->Text() : ShownDataSet()->FieldByName(L"okulno")->AsString();
  // Checked before anything changes, so a record without a usable number leaves the screen as it was.
  if (rules.reportStudent == TInterviewRules::kStudentByNumber) number = SchoolNumberForStatement(number);
  if (rules.reportStudent == TInterviewRules::kStudentByText)
    SetStudentStatement(L"SELECT * FROM ogrencibilgi WHERE okulno like " + db::SqlQuoted(number));
  else if (rules.reportStudent == TInterviewRules::kStudentByNumber)
    SetStudentStatement(L"SELECT * FROM ogrencibilgi WHERE okulno LIke " + number);
  // Whatever the report does, the screen comes back as the user left it: the table with the filter the search box
  // or the last lookup had set, on the record the user was on, and the student query over every student again.
  struct TRestore {
    TInterviewScreen* screen;
    bool student;
    String filter;
    bool filtered;
    db::TBookmark record;
    ~TRestore() {
      try {
        db::TADOTable* table = screen->ADOTable1;
        table->SetFiltered(false);
        table->SetFilter(filter);
        table->SetFiltered(filtered);
        if (student) screen->SetStudentStatement(kAllStudents);
        if (!record.empty() && table->Active() && table->BookmarkValid(record)) table->GotoBookmark(record);
      } catch (...) {
        if (vcl::Application) vcl::Application->HandleException(screen);
      }
    }
  } restore{this, rules.reportStudent != TInterviewRules::kNoStudentQuery, ADOTable1->Filter(), ADOTable1->Filtered(),
            ADOTable1->Active() && !ADOTable1->IsEmpty() ? ADOTable1->GetBookmark() : db::TBookmark()};
  ADOTable1->SetFilter(L"okulno like " + db::SqlQuoted(number));
  ADOTable1->SetFiltered(true);
  ShowReport();
}

void TInterviewScreen::ShowReport() { qvxReport1->ShowReport(true); }

VCL_REGISTER(TInterviewScreen) {
  cls.Field(L"ADOTable1", &TInterviewScreen::ADOTable1);
  cls.Field(L"ADOQuery1", &TInterviewScreen::ADOQuery1);
  cls.Field(L"DataSource1", &TInterviewScreen::DataSource1);
  cls.Field(L"sPanel1", &TInterviewScreen::sPanel1);
  cls.Field(L"sPanel2", &TInterviewScreen::sPanel2);
  cls.Field(L"sEdit1", &TInterviewScreen::sEdit1);
  cls.Field(L"sEdit2", &TInterviewScreen::sEdit2);
  cls.Field(L"sEdit4", &TInterviewScreen::sEdit4);
  cls.Field(L"sEdit5", &TInterviewScreen::sEdit5);
  cls.Field(L"sBitBtn1", &TInterviewScreen::sBitBtn1);
  cls.Field(L"sBitBtn2", &TInterviewScreen::sBitBtn2);
  cls.Field(L"sBitBtn3", &TInterviewScreen::sBitBtn3);
  cls.Field(L"sBitBtn4", &TInterviewScreen::sBitBtn4);
  cls.Field(L"sBitBtn7", &TInterviewScreen::sBitBtn7);
  cls.Field(L"sDBGrid1", &TInterviewScreen::sDBGrid1);
  cls.Field(L"qvxReport1", &TInterviewScreen::qvxReport1);
  cls.Method(L"FormCloseQuery", &TInterviewScreen::FormCloseQuery);
  cls.Method(L"sBitBtn1Click", &TInterviewScreen::sBitBtn1Click);
  cls.Method(L"sBitBtn2Click", &TInterviewScreen::sBitBtn2Click);
  cls.Method(L"sBitBtn3Click", &TInterviewScreen::sBitBtn3Click);
  cls.Method(L"sBitBtn4Click", &TInterviewScreen::sBitBtn4Click);
  cls.Method(L"sBitBtn7Click", &TInterviewScreen::sBitBtn7Click);
}
