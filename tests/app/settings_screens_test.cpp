// The three screens of the "Ayarlar" menu driven as a user drives them, against a database file made from the
// program's schema: the settings record edited and saved, student lists imported from workbooks written by other
// programs (chosen in the real open dialog), and the statistics counted. What the screens stored is read back from
// the file with SQLite itself.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Unit2.h"
#include "app/Unit6.h"
#include "app/Unit7.h"
#include "app/Unit9.h"
#include "platform/db/dberrors.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "tests/common/database.h"
#include "tests/common/dialogs.h"
#include "tests/common/paths.h"
#include "tests/common/tempdir.h"
#include "tests/common/wait.h"

using rtl::String;

namespace {

using testutil::DialogAnswer;
using testutil::Utf8;

std::string FixtureUnix(const std::string& name) {
  const char* dir = std::getenv("TAVREL_FIXTURES");
  return std::string(dir ? dir : ".") + "/" + name;
}

// A workbook written by another program (tests/platform/workbook/fixtures), as a Windows path.
String Fixture(const std::string& name) { return testutil::WindowsPath(FixtureUnix(name)); }

std::string ReadFixture(const std::string& name) { return testutil::ReadFile(Fixture(name)); }

// The rows of a statement, the columns' texts in the order named ("" for a null).
std::vector<std::vector<String>> Query(const std::wstring& file, const std::string& sql,
                                       const std::vector<std::string>& columns) {
  std::vector<std::vector<String>> rows;
  for (auto& r : testutil::Query(file, sql)) {
    std::vector<String> row;
    for (const auto& c : columns) row.push_back(r[c] == L"<null>" ? String() : String(r[c]));
    rows.push_back(row);
  }
  return rows;
}

// What openpyxl or xlrd read from a fixture (the .cells file beside it): row, column -> kind and value.
struct CellText {
  char kind;
  std::string value;
};
std::map<std::pair<int, int>, CellText> ExpectedCells(const std::string& name, int sheet = 0) {
  std::map<std::pair<int, int>, CellText> cells;
  std::istringstream in(ReadFixture(name + ".cells"));
  std::string line;
  int current = -1;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string word;
    ls >> word;
    if (word == "sheet") {
      ls >> current;
    } else if (word == "cell" && current == sheet) {
      int r, c;
      char kind;
      ls >> r >> c >> kind;
      std::string rest;
      std::getline(ls, rest);
      cells[{r, c}] = CellText{kind, rest.empty() ? rest : rest.substr(1)};
    }
  }
  return cells;
}

// The text the import stores for a cell: numbers in the user's locale, a whole number without a decimal part.
String StoredText(const std::map<std::pair<int, int>, CellText>& cells, int row, int column) {
  auto it = cells.find({row, column});
  if (it == cells.end() || it->second.kind == '-') return String();
  if (it->second.kind == 'n') return rtl::FloatToStr(std::stod(it->second.value));
  return rtl::UTF8ToString(it->second.value);
}

class AyarlarScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    folder_ = std::make_unique<testutil::TempFolder>(L"ayarlar");
    file_ = folder_->File(L"tavrel.db");
  }

  void TearDown() override {
    for (vcl::TForm* f : {static_cast<vcl::TForm*>(Form2), static_cast<vcl::TForm*>(Form6),
                          static_cast<vcl::TForm*>(Form7), static_cast<vcl::TForm*>(Form9)})
      delete f;
    Form2 = nullptr;
    Form6 = nullptr;
    Form7 = nullptr;
    Form9 = nullptr;
    delete other_;
    other_ = nullptr;
    if (frame_) {
      vcl::RemoveGlobalComponent(frame_);
      vcl::Application->SetMainForm(nullptr);
      delete frame_;
      frame_ = nullptr;
    }
    folder_.reset();
  }

  // The database with the schema and the given rows, and the main window holding the shared connection to it.
  void Database(const std::string& rows = std::string()) {
    std::string error;
    ASSERT_TRUE(testutil::CreateDatabase(file_, rows, &error)) << error;
    frame_ = new vcl::TForm(nullptr);
    frame_->SetName(L"Form1");
    frame_->SetFormStyle(vcl::fsMDIForm);
    frame_->SetBounds(0, 0, 1024, 720);
    frame_->SetCaption(L"Ana sayfa");
    auto* connection = new db::TADOConnection(frame_);
    connection->SetName(L"ADOBaglan");
    connection->SetLoginPrompt(false);
    connection->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" +
                                    folder_->File(L"tavrel.mdb"));
    connection->Open();
    vcl::AddGlobalComponent(frame_);
    vcl::Application->SetMainForm(frame_);
    frame_->Show();
    vcl::Application->ProcessMessages();
  }

  // A screen opened as the menu opens it.
  template <class T>
  T* OpenScreen(T*& ref) {
    vcl::Application->CreateForm(ref);
    vcl::Application->ProcessMessages();
    return ref;
  }

  void Click(vcl::TWinControl* button) {
    SendMessageW(button->Handle(), BM_CLICK, 0, 0);
    vcl::Application->ProcessMessages();
  }

  // Keys as the keyboard sends them, after the control's text is selected and so replaced.
  void TypeOver(vcl::TWinControl* control, const String& text) {
    control->SetFocus();
    HWND target = control->Handle();
    if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) target = edit;
    SendMessageW(target, EM_SETSEL, 0, -1);
    SendMessageW(target, WM_CHAR, VK_BACK, 1);
    for (wchar_t ch : text) SendMessageW(target, WM_CHAR, ch, 1);
    vcl::Application->ProcessMessages();
  }

  // Chooses the file in the open dialog of "Excel dosyasından verileri al..." and answers the box that follows.
  void ImportThroughTheOpenDialog(const String& file) {
    DialogAnswer answer(IDOK, file);
    Click(Form6->Button1);
    EXPECT_EQ(answer.seen, 2) << "the open dialog, then one box";
    lastCaption_ = answer.caption;
    lastText_ = answer.text;
  }

  std::vector<std::vector<String>> Students() {
    return Query(file_, "select * from ogrencibilgi order by sirano",
                 {"okulno", "tcno", "adisoyadi", "sinif", "sube", "velicep", "veliev", "adres"});
  }

  std::unique_ptr<testutil::TempFolder> folder_;
  std::wstring file_;
  String lastCaption_, lastText_;
  vcl::TForm* frame_ = nullptr;
  vcl::TForm* other_ = nullptr;
};

// ---- the settings screen

const std::string kTwoSettings =
    "insert into sabit values ('Deneme Lisesi', 'Ayşe Öğretmen', 'Rehber', 'Şifre1');"
    "insert into sabit values ('İkinci Okul', 'Mehmet', 'İkinci', 'İkinci');";

TEST_F(AyarlarScreens, SettingsShowTheFirstRecordReadOnlyUntilDuzenle) {
  Database(kTwoSettings);
  TForm9* s = OpenScreen(Form9);
  EXPECT_EQ(s->Caption(), L"Sabit Bilgiler");
  EXPECT_EQ(s->FormStyle(), vcl::fsMDIChild);
  EXPECT_EQ(s->ClientWidth(), 465);
  EXPECT_EQ(s->ClientHeight(), 186);
  const wchar_t* captions[] = {L"Okul Adı", L"Rehber Öğretmen Adı", L"Kullanıcı adı", L"Şifre"};
  TsLabel* labels[] = {s->sLabel1, s->sLabel2, s->sLabel3, s->sLabel4};
  TsDBEdit* edits[] = {s->sDBEdit1, s->sDBEdit2, s->sDBEdit3, s->sDBEdit4};
  const wchar_t* shown[] = {L"Deneme Lisesi", L"Ayşe Öğretmen", L"Rehber", L"Şifre1"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(labels[i]->Caption(), captions[i]);
    EXPECT_EQ(edits[i]->Text(), shown[i]) << "the password too is shown as typed";
    EXPECT_FALSE(edits[i]->Enabled());
  }
  EXPECT_EQ(s->sBitBtn3->Caption(), L"Düzenle");
  EXPECT_EQ(s->sBitBtn2->Caption(), L"Kaydet");
  EXPECT_FALSE(s->sBitBtn2->Enabled());
  EXPECT_FALSE(s->sBitBtn2->Glyph()->Empty());
  EXPECT_FALSE(s->sBitBtn3->Glyph()->Empty());

  Click(s->sBitBtn3);  // "Düzenle"
  EXPECT_EQ(s->ADOsabit->State(), db::dsEdit);
  EXPECT_TRUE(s->sBitBtn2->Enabled());
  for (TsDBEdit* e : edits) EXPECT_TRUE(e->Enabled());
  TypeOver(s->sDBEdit3, L"YeniKullanıcı");
  TypeOver(s->sDBEdit4, L"Yeni Şifre");
  Click(s->sBitBtn2);  // "Kaydet"
  EXPECT_EQ(s->ADOsabit->State(), db::dsBrowse);
  for (TsDBEdit* e : edits) EXPECT_FALSE(e->Enabled());
  EXPECT_TRUE(s->sBitBtn2->Enabled()) << "Kaydet stays enabled";
  auto rows = Query(file_, "select * from sabit order by rowid", {"okuladi", "rehber1", "kadi", "sifre"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<String>{L"Deneme Lisesi", L"Ayşe Öğretmen", L"YeniKullanıcı", L"Yeni Şifre"}));
  EXPECT_EQ(rows[1], (std::vector<String>{L"İkinci Okul", L"Mehmet", L"İkinci", L"İkinci"}));

  // Saved, and not in edit: "Kaydet" again is the platform's error, and nothing changes.
  EXPECT_THROW(s->sBitBtn2Click(s->sBitBtn2), db::EDatabaseError);
  EXPECT_EQ(testutil::QueryText(file_, "select count(*) from sabit"), "2");
}

TEST_F(AyarlarScreens, SwitchingToAnotherScreenAndBackEndsTheEditSavingAChange) {
  Database(kTwoSettings);
  TForm9* s = OpenScreen(Form9);
  other_ = new vcl::TForm(nullptr);
  other_->SetFormStyle(vcl::fsMDIChild);
  other_->SetCaption(L"Başka ekran");
  other_->Show();
  s->BringToFront();
  ASSERT_TRUE(testutil::PumpUntil([&] { return frame_->ActiveMDIChild() == s; }));

  Click(s->sBitBtn3);
  TypeOver(s->sDBEdit2, L"Gülşen Hoca");
  other_->BringToFront();
  ASSERT_TRUE(testutil::PumpUntil([&] { return frame_->ActiveMDIChild() == other_; }));
  s->BringToFront();
  ASSERT_TRUE(
      testutil::PumpUntil([&] { return frame_->ActiveMDIChild() == s && s->ADOsabit->State() == db::dsBrowse; }));
  EXPECT_FALSE(s->sDBEdit2->Enabled());
  EXPECT_EQ(testutil::QueryText(file_, "select rehber1 from sabit order by rowid"), Utf8(L"Gülşen Hoca"));

  // Unchanged, the edit is only dropped.
  Click(s->sBitBtn3);
  other_->BringToFront();
  ASSERT_TRUE(testutil::PumpUntil([&] { return frame_->ActiveMDIChild() == other_; }));
  s->BringToFront();
  ASSERT_TRUE(testutil::PumpUntil([&] { return s->ADOsabit->State() == db::dsBrowse; }));
  EXPECT_EQ(testutil::QueryText(file_, "select count(*) from sabit"), "2");
}

TEST_F(AyarlarScreens, AnEmptySettingsTableGetsItsFirstRecord) {
  Database();
  TForm9* s = OpenScreen(Form9);
  Click(s->sBitBtn3);
  EXPECT_EQ(s->ADOsabit->State(), db::dsInsert);
  TypeOver(s->sDBEdit1, L"Işıklar Ortaokulu");
  TypeOver(s->sDBEdit3, L"admin");
  Click(s->sBitBtn2);
  auto rows = Query(file_, "select * from sabit", {"okuladi", "kadi", "sifre"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], L"Işıklar Ortaokulu");
  EXPECT_EQ(rows[0][1], L"admin");
}

// ---- the import

struct ImportCase {
  const char* fixture;
};

TEST_F(AyarlarScreens, ImportsA500RowListThroughTheOpenDialogAndTheStudentScreenShowsIt) {
  for (const char* name : {"openpyxl_students_500.xlsx", "xlwt_students_500.xls"}) {
    SCOPED_TRACE(name);
    TearDown();
    SetUp();
    Database("insert into ogrencibilgi(okulno, adisoyadi) values ('1', 'Önceden Kayıtlı');");
    TForm6* s = OpenScreen(Form6);
    EXPECT_EQ(s->Caption(), L"Excelden Bilgi Aktar");
    EXPECT_EQ(s->ClientWidth(), 333);
    EXPECT_EQ(s->ClientHeight(), 133);
    EXPECT_EQ(s->Button1->Caption(), L"Excel dosyasından verileri al...");
    ImportThroughTheOpenDialog(Fixture(name));
    EXPECT_EQ(lastText_, L"AKTARMA İŞLEMİ TAMAMLANDI.");
    EXPECT_EQ(lastCaption_, vcl::Application->Title());
    EXPECT_EQ(KACSATIR, 501);
    EXPECT_TRUE(EXCELDOSYASI.IsEmpty()) << "the automation object is let go";

    // The heading row is not a student; every other row is, cell for cell as the writer's own reader sees it.
    auto cells = ExpectedCells(name);
    auto rows = Students();
    ASSERT_EQ(rows.size(), 501u);
    EXPECT_EQ(rows[0][2], L"Önceden Kayıtlı");
    for (int r = 2; r <= 501; ++r) {
      std::vector<String> want;
      for (int c = 1; c <= 7; ++c) want.push_back(StoredText(cells, r, c));
      want.push_back(String());  // the address is not in the list
      ASSERT_EQ(rows[static_cast<size_t>(r - 1)], want) << "row " << r;
    }
    EXPECT_EQ(rows[1][0], L"1001");
    EXPECT_EQ(rows[1][2], L"Çağrı Aydın");
    EXPECT_EQ(rows[1][3], L"10");
    EXPECT_EQ(rows[5][1], L"") << "an empty cell stays empty";

    TForm2* students = OpenScreen(Form2);
    EXPECT_EQ(students->ADOTable1->RecordCount(), 501);
    students->ADOTable1->Last();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(students->sDBEdit3->Text(), rows[500][2].substr(0, 20));
    EXPECT_EQ(students->sDBEdit1->Text(), L"1500");
  }
}

TEST_F(AyarlarScreens, ReadsTheFirstWorksheetsUsedRangeWhicheverSheetWasShown) {
  Database();
  OpenScreen(Form6);
  ImportThroughTheOpenDialog(Fixture("openpyxl_offset_list.xlsx"));
  EXPECT_EQ(lastText_, L"AKTARMA İŞLEMİ TAMAMLANDI.");
  EXPECT_EQ(ILKSATIR, 3);
  EXPECT_EQ(KACSATIR, 6);
  auto rows = Students();
  // Rows 4 to 8 of the first sheet: the heading on row 3 is left out, nothing of the shown sheet "Notlar" comes in.
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0][0], L"1001");
  EXPECT_EQ(rows[4][0], L"1005");
  EXPECT_EQ(rows[1][6], rtl::FloatToStr(2.5)) << "a number with a fraction in the user's locale";
  EXPECT_EQ(testutil::QueryText(file_,
                                "select count(*) from ogrencibilgi where okulno in ('Okul No', "
                                "'Bu sayfa aktarılmaz', '424242')"),
            "0");
}

TEST_F(AyarlarScreens, AFailingRowIsNamedAndTheRowsBeforeItStay) {
  // Row 10 holds a division by zero, which has no text.
  Database();
  TForm6* s = OpenScreen(Form6);
  ImportThroughTheOpenDialog(Fixture("gnumeric_saved.xls"));
  EXPECT_NE(lastText_.find(L"10. satırı aktarılamadı"), String::npos) << Utf8(lastText_);
  EXPECT_EQ(lastText_.find(L"TAMAMLANDI"), String::npos);
  auto rows = Students();
  ASSERT_EQ(rows.size(), 8u) << "rows 2 to 9";
  // Columns 1 to 7 of the sheet go to okulno to veliev whatever the sheet's own headings say.
  EXPECT_EQ(rows[0][0], L"102");
  EXPECT_EQ(rows[0][1], L"Ayşe Yılmaz");
  EXPECT_EQ(rows[0][2], L"11");
  EXPECT_EQ(rows[0][6], L"başarılı Ayşe Yılmaz") << "a formula's text result";
  EXPECT_EQ(rows[6][0], L"") << "rows 8 and 9 are empty";
  EXPECT_EQ(s->Table1->State(), db::dsBrowse) << "no half-made record waits to be saved";
  EXPECT_TRUE(EXCELDOSYASI.IsEmpty());
}

TEST_F(AyarlarScreens, AFileThatCannotBeReadImportsNothingAndSaysWhy) {
  struct Case {
    const char* what;
    std::string bytes;
    const wchar_t* message;
  };
  std::string xlsx = ReadFixture("openpyxl_students_500.xlsx");
  std::string xls = ReadFixture("xlwt_students_500.xls");
  const Case cases[] = {
      {"a text file", "Okul No;Adı\n1;Ali\n", L"bir Excel çalışma kitabı değil"},
      {"a cut .xlsx", xlsx.substr(0, xlsx.size() / 2), L"bozuk ya da eksik"},
      {"a cut .xls", xls.substr(0, xls.size() / 3), L"bozuk ya da eksik"},
      {"a million rows", ReadFixture("openpyxl_too_many_rows.xlsx"), L"bir milyondan fazla satır"},
      {"a password", ReadFixture("libreoffice_password.xls"), L"parolayla korunuyor"},
  };
  Database();
  OpenScreen(Form6);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    String file = folder_->File(L"liste.xlsx");
    ASSERT_TRUE(testutil::WriteFile(file, c.bytes));
    ImportThroughTheOpenDialog(file);
    EXPECT_NE(lastText_.find(c.message), String::npos) << Utf8(lastText_);
    EXPECT_NE(lastText_.find(L"liste.xlsx"), String::npos);
    EXPECT_EQ(Students().size(), 0u);
    EXPECT_TRUE(EXCELDOSYASI.IsEmpty());
  }
}

TEST_F(AyarlarScreens, CancellingTheOpenDialogDoesNothing) {
  Database();
  OpenScreen(Form6);
  DialogAnswer answer(IDCANCEL);
  Click(Form6->Button1);
  EXPECT_EQ(answer.seen, 1);
  EXPECT_EQ(Students().size(), 0u);
}

// ---- the statistics

const std::string kInterviews =
    "insert into danisankayit(okulno) values (5);"
    "insert into danisankayit(okulno) values (5);"
    "insert into danisankayit(okulno) values (7);"
    "insert into danisankayit(okulno) values (9);"
    "insert into ogrencigorusme(okulno, gorusmeturu, pdralani, sorunalani) values "
    "(1, 'Bireysel', 'Psikolojik Danışma', 'Sağlık Sorunları'),"
    "(1, 'Bireysel', 'Mesleki Rehberlik', 'Kişisel Sorunlar'),"
    "(2, 'Grup', 'Eğitsel Rehberlik', 'Okulla ilgili sorunlar'),"
    "(3, 'Grup', 'Kişisel-Sosyal Rehberlik', 'Arkadaşlık ilişkilerine dayalı sorunlar'),"
    "(3, 'Bireysel', 'Psikolojik Danışma', 'Aile''nin sorunları'),"
    "(4, NULL, NULL, NULL);"
    "insert into ogretmengorusme(ogretmenadi) values ('A'), ('B');"
    "insert into veligorusme(okulno) values ('1'), ('2'), ('3');";

TEST_F(AyarlarScreens, StatisticsCountTheTablesWhenTheScreenOpens) {
  Database(kInterviews);
  TForm7* s = OpenScreen(Form7);
  EXPECT_EQ(s->Caption(), L"İstatistikler");
  EXPECT_EQ(s->ClientWidth(), 672);
  EXPECT_EQ(s->ClientHeight(), 271);
  struct Count {
    TsLabel* caption;
    const wchar_t* text;
    TsLabel* value;
    const wchar_t* count;
  };
  const Count counts[] = {
      {s->sLabel2, L"Danışan Kayıt: Görüşülen Öğrenci Sayısı", s->sLabel1, L"3"},  // 5 twice, 7, 9
      {s->sLabel3, L"Danışan Kayıt: Görüşülen Toplam Sayı", s->sLabel4, L"4"},
      {s->sLabel5, L"Öğrenci Görüşme Formu: Görüşülen Toplam Sayı", s->sLabel6, L"6"},
      {s->sLabel7, L"Öğrenci Görüşme Formu: Görüşülen Öğrenci Sayısı", s->sLabel8, L"4"},
      {s->sLabel14, L"Öğretmen Görüşme Formu: Görüşülen Toplam Sayı", s->sLabel15, L"2"},
      {s->sLabel16, L"Veli Görüşme Formu: Görüşülen Toplam Sayı", s->sLabel17, L"3"},
  };
  for (const Count& c : counts) {
    EXPECT_EQ(c.caption->Caption(), c.text);
    EXPECT_EQ(c.value->Caption(), c.count) << Utf8(c.text);
  }
  EXPECT_FALSE(s->Button1->Visible());
  EXPECT_EQ(s->Button1->Caption(), L"Hesapla ");
  // The combos show their first texts, nothing chosen, and their counts are empty until a text changes.
  EXPECT_EQ(s->sComboBox1->Text(), L"Bireysel");
  EXPECT_EQ(s->sComboBox2->Text(), L"PDR alanı");
  EXPECT_EQ(s->sComboBox3->Text(), L"Sorun Alanı");
  EXPECT_EQ(s->sComboBox1->ItemIndex(), -1);
  EXPECT_EQ(s->sComboBox2->Items()->Count(), 4);
  EXPECT_EQ(s->sComboBox3->Items()->Count(), 6);
  EXPECT_EQ(s->sLabel10->Caption(), L"");
}

TEST_F(AyarlarScreens, CombosCountTheInterviewsContainingTheTypedText) {
  Database(kInterviews);
  TForm7* s = OpenScreen(Form7);
  struct Step {
    TsComboBox* combo;
    const wchar_t* typed;
    TsLabel* value;
    const wchar_t* count;
  };
  const Step steps[] = {
      {s->sComboBox1, L"Bireysel", s->sLabel10, L"3"},
      {s->sComboBox1, L"bire", s->sLabel10, L"3"},  // a part, in other letter case
      {s->sComboBox1, L"up", s->sLabel10, L"2"},
      {s->sComboBox1, L"", s->sLabel10, L"5"},  // every interview with a kind; the one without none
      {s->sComboBox2, L"Rehberlik", s->sLabel12, L"3"},
      {s->sComboBox2, L"Danışma", s->sLabel12, L"2"},
      {s->sComboBox3, L"sorunlar", s->sLabel13, L"5"},
      {s->sComboBox3, L"Aile'nin", s->sLabel13, L"1"},  // a quote in the text is part of the pattern
      {s->sComboBox3, L"'", s->sLabel13, L"1"},
      {s->sComboBox3, L"x' or '1'='1", s->sLabel13, L"0"},
  };
  for (const Step& st : steps) {
    TypeOver(st.combo, st.typed);
    EXPECT_EQ(st.value->Caption(), st.count) << Utf8(st.typed);
  }
  // Choosing an item counts it too.
  s->sComboBox2->SetItemIndex(1);
  HWND combo = s->sComboBox2->Handle();
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  vcl::Application->ProcessMessages();
  EXPECT_EQ(s->sLabel12->Caption(), L"1");
}

TEST_F(AyarlarScreens, AMissingTableIsReportedAndTheOtherCountsStayUnfilled) {
  Database("drop table ogretmengorusme;");
  DialogAnswer answer(IDOK);
  TForm7* s = OpenScreen(Form7);
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(testutil::PumpUntil([&] { return answer.seen >= 1; }));
  EXPECT_NE(answer.text.find(L"ogretmengorusme"), String::npos) << Utf8(answer.text);
  EXPECT_EQ(s->sLabel8->Caption(), L"0");
  EXPECT_EQ(s->sLabel15->Caption(), L"sLabel1");
  EXPECT_EQ(s->sLabel17->Caption(), L"sLabel1");
}

}  // namespace

namespace {

// Holds the three screens open for a screenshot taken from outside (TAVREL_HOLD_SECONDS).
TEST_F(AyarlarScreens, HoldForScreenshot) {
  const char* hold = std::getenv("TAVREL_HOLD_SECONDS");
  if (!hold) GTEST_SKIP() << "set TAVREL_HOLD_SECONDS to hold the screens open";
  Database(kTwoSettings + kInterviews);
  TForm9* settings = OpenScreen(Form9);
  TForm6* import = OpenScreen(Form6);
  TForm7* stats = OpenScreen(Form7);
  TypeOver(stats->sComboBox1, L"Bir");
  settings->SetBounds(4, 4, settings->Width(), settings->Height());
  import->SetBounds(480, 4, import->Width(), import->Height());
  stats->SetBounds(4, 250, stats->Width(), stats->Height());
  DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(hold)) * 1000;
  while (GetTickCount() < until) {
    vcl::Application->ProcessMessages();
    Sleep(20);
  }
}

}  // namespace
