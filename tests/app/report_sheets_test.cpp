// The five report sheets printed as a user prints them: the screen opened over a database of a few hundred students
// and interviews with Turkish names, the print button pressed, the modal preview played from the thread's timer
// until the sheet is prepared, then closed (or printed on the PDF queue first). The prepared pages' objects are
// checked for the values in their places; each sheet's first page is drawn into a PNG beside the executable, to look
// at; the PDFs of the queue are listed with the texts they must hold for check_sheet_pdf.sh.
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>

#include "app/Unit11.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "app/Unit8.h"
#include "platform/rtl/files.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/jpeg.h"
#include "platform/vcl/png.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxEngineIntf.h"
#include "report/pages/qvxPreviewPages.h"
#include "report/preview/qvxPreviewForm.h"
#include "report/print/qvxPrinters.h"
#include "tests/app/screenfixture.h"
#include "tests/common/wait.h"

using rtl::String;
using namespace screentest;

namespace {

const char* const kFirst[] = {"Ahmet", "Ayşe",  "Çağla", "Şükrü", "İrem",  "Ömer",  "Gülşen", "Işık",  "Yiğit", "Özge",
                              "Ümit",  "Ebru",  "Barış", "Cemre", "Doğan", "Fırat", "Gözde",  "Hüseyin", "İlknur", "Süreyya"};
const char* const kLast[] = {"Yılmaz", "Öztürk", "Çelik",  "Şahin",    "Doğanay", "Kılıç", "Aslan",    "Çınar",
                             "Güneş",  "Işıklı", "Erdoğdu", "Karaağaç", "Özdemir", "Ünal",  "Bayraktar", "Söğüt", "Ağaoğlu"};

constexpr int kStudents = 300;
constexpr int kFirstNumber = 1001;
// The student with three records of every kind, the one with a picture, and the one whose picture file is gone.
constexpr int kBusy = 1007;
constexpr int kWithPicture = 1042;
constexpr int kPictureGone = 1043;
// Students 1001 to 1200 have records; the rest have none.
constexpr int kWithRecords = 200;

std::string Name(int number) {
  int i = number - kFirstNumber;
  return std::string(kFirst[i % 20]) + " " + kLast[(i * 7 + i / 20) % 17];
}
String WName(int number) { return Wide(Name(number)); }
std::string Num(int n) { return std::to_string(n); }
std::string Q(const std::string& s) { return "'" + s + "'"; }

// Days from 30.12.1899 of a day in 2024 (the table stores them as the exact double).
double Day(int dayOfYear) { return 45292.0 + dayOfYear; }  // 01.01.2024 + n

std::string Rows(const std::wstring& picture) {
  std::string sql = "insert into sabit(okuladi, rehber1, kadi, sifre) values ('Atatürk Lisesi', 'Gülşen Yılmaz', 'a', 'b');";
  sql += "insert into ogrencibilgi(okulno, tcno, adisoyadi, sinif, sube, velicep, veliev, adres, kimleoturuyor, "
         "babaad, anne_ad, baba_meslek, anne_meslek, kardes_sayi, sehitcocuk, resim) values ";
  const char* branches[] = {"A", "B", "Ç", "D", "E", "Ş"};
  for (int n = kFirstNumber; n < kFirstNumber + kStudents; ++n) {
    int i = n - kFirstNumber;
    std::string resim = n == kWithPicture ? Utf8(picture) : n == kPictureGone ? "C:\\yok\\kayip_resim.jpg" : "";
    sql += std::string(n == kFirstNumber ? "" : ",") + "(" + Q(Num(n)) + "," + Q(std::to_string(12345678900LL + i * 11)) + "," +
           Q(Name(n)) + "," + Q(Num(9 + i % 4)) + "," + Q(branches[i % 6]) + "," + Q("0532 555 " + Num(1000 + i)) +
           "," + Q("0216 444 " + Num(2000 + i)) + "," + Q("Atatürk Cad. No:" + Num(i + 1) + " Üsküdar/İSTANBUL") + "," +
           Q(i % 2 ? "Annesiyle" : "Ailesiyle") + "," + Q(std::string(kFirst[(i + 3) % 20]) + " Baba") + "," +
           Q(std::string(kFirst[(i + 5) % 20]) + " Anne") + ",'Öğretmen','Hemşire'," + Q(Num(i % 5)) + "," +
           Num(i % 9 == 0) + "," + Q(resim) + ")";
  }
  sql += ";";
  for (int n = kFirstNumber; n < kFirstNumber + kWithRecords; ++n) {
    int copies = n == kBusy ? 3 : 1;
    for (int k = 1; k <= copies; ++k) {
      std::string tag = Num(n) + "-" + Num(k);
      double day = Day((n - kFirstNumber) % 300 + k);
      sql += "insert into danisankayit(okulno, gorusmetarihi, gelisnedeni, yapilancalisma, calismaozeti, "
             "yonlendirilenkurum, gorusmeyiyapan) values (" +
             Num(n) + "," + std::to_string(day) + "," + Q("Sınav kaygısı " + tag) + "," + Q("Gevşeme çalışması " + tag) +
             "," + Q("Öğrenci rahatladı " + tag) + ",'Rehberlik ve Araştırma Merkezi','Gülşen Yılmaz');";
      sql += "insert into ogrencigorusme(okulno, adisoyadi, gorusmeturu, pdralani, gorusmekonusu, yapilancalisma, "
             "sorunalani, calismayapan, gorusmetarihi) values (" +
             Num(n) + "," + Q(Name(n)) + ",'Bireysel','Kişisel-Sosyal Rehberlik'," + Q("Arkadaş ilişkileri " + tag) +
             "," + Q("Aileyle görüşülecek " + tag) + ",'Uyum','Gülşen Yılmaz'," + std::to_string(day) + ");";
      if (k <= 2)
        sql += "insert into ogretmengorusme(ogretmenadi, gorusulenogrenci, gorusmenedeni, gorusmeicerigi, "
               "yapilacakcalismalar, gorusmeyapan, tarih, okulno) values ('Şükrü Öztürk'," +
               Q(Name(n)) + "," + Q("Derse katılmıyor " + tag) + "," + Q("Sınıfta sessiz " + tag) + "," +
               Q("Velisiyle görüşülecek " + tag) + ",'Gülşen Yılmaz'," + std::to_string(day) + "," + Q(Num(n)) + ");";
      sql += "insert into veligorusme(okulno, veliadisoyadi, velitelefon, gorusmetarihi, gorusmekonusu, gorusmeozeti, "
             "yapilancalisma, yonlendirilenkurum, gorusmeyiyapan, sonuconeri) values (" +
             Q(Num(n)) + "," + Q(std::string(kFirst[(n + 5) % 20]) + " Anne") + ",'0533 222 11 00'," +
             std::to_string(day) + "," + Q("Devamsızlık " + tag) + "," + Q("Veli bilgilendirildi " + tag) + "," +
             Q("Takip çizelgesi " + tag) + ",'Okul Aile Birliği','Gülşen Yılmaz'," + Q("Takip edilecek " + tag) + ");";
    }
  }
  return sql;
}

// A text object of a prepared page: its band, its text and where it stands on the page.
struct TText {
  String band, text;
  Extended left = 0, top = 0, bandTop = 0;
};

std::vector<TText> TextsOf(TqvxReportPage* page) {
  std::vector<TText> list;
  if (!page) return list;
  for (TqvxComponent* obj : page->Objects()) {
    auto* band = dynamic_cast<TqvxBand*>(obj);
    if (!band) continue;
    for (TqvxComponent* child : band->Objects())
      if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(child))
        list.push_back({band->Name(), rtl::TrimRight(memo->Text()), child->Left(), child->Top(), band->Top()});
  }
  return list;
}

// The objects of a text on the page (several when the text repeats).
std::vector<TText> Find(const std::vector<TText>& texts, const String& text) {
  std::vector<TText> found;
  for (const TText& t : texts)
    if (t.text == text) found.push_back(t);
  return found;
}

std::vector<TqvxPictureView*> PicturesOf(TqvxReportPage* page) {
  std::vector<TqvxPictureView*> list;
  for (TqvxComponent* obj : page->GetAllObjects())
    if (auto* p = dynamic_cast<TqvxPictureView*>(obj)) list.push_back(p);
  return list;
}

// Where the printing jobs go: the folder the test script names (check_sheet_pdf.sh reads it afterwards).
std::wstring OutFolder() {
  const wchar_t* named = _wgetenv(L"TAVREL_PRINT_OUT");
  std::wstring folder = named && *named ? std::wstring(named) : rtl::ExeFolder();
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// A picture file of a student, as a camera would leave it.
void WritePhoto(const String& file) {
  vcl::TBitmap bmp;
  bmp.SetSize(120, 160);
  bmp.Canvas()->Brush()->SetColor(0x00A0C0);
  bmp.Canvas()->FillRect(vcl::TRect(0, 0, 120, 160));
  bmp.Canvas()->Brush()->SetColor(0x4060E0);
  bmp.Canvas()->Ellipse(30, 20, 90, 100);
  vcl::TJPEGImage img;
  img.Assign(&bmp);
  img.SaveToFile(file);
}

class ReportSheets : public ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    // The student screen shows the default picture from the program's folder, as the build leaves it there.
    const String logo = rtl::ExeFolder() + L"vaku_logo.png";
    if (!rtl::FileExists(logo)) {
      const std::string bytes = testutil::ReadFile(testutil::SourceFile("app/res/main_logo.png"));
      ASSERT_FALSE(bytes.empty());
      ASSERT_TRUE(testutil::WriteFile(logo, bytes));
    }
    photo_ = folder_->File(L"öğrenci_resmi.jpg");
    WritePhoto(photo_);
    MakeDatabaseAndFrame(Rows(photo_));
  }
  void CloseScreen() override {
    if (screen_) delete screen_;
    screen_ = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form8 = nullptr;
    Form11 = nullptr;
  }

  template <class F>
  F* OpenScreen(F*& global) {
    vcl::Application->CreateForm(global);
    vcl::Application->ProcessMessages();
    screen_ = global;
    return global;
  }

  // Presses the print button and plays the modal preview: once the sheet is prepared, inPreview runs (on the
  // preview's own loop), then the preview is closed. False when no sheet was prepared within the bound.
  bool PrintThroughPreview(TqvxReport* report, vcl::TWinControl* button,
                           const std::function<void(TqvxPreviewForm*)>& inPreview = nullptr) {
    bool ended = false, handled = false;
    report->OnEndDoc = [&](rtl::TObject*) { ended = true; };
    const auto start = std::chrono::steady_clock::now();
    testutil::EveryTick tick(
        [&] {
          if (handled) return;
          auto* form = dynamic_cast<TqvxPreviewForm*>(report->PreviewForm());
          if (!form) return;
          const bool late = std::chrono::steady_clock::now() - start > std::chrono::milliseconds(testutil::kWaitMs * 4);
          if (!late && (!ended || (report->Engine() && report->Engine()->Running))) return;
          handled = true;
          if (!late && inPreview) inPreview(form);
          if (late) ended = false;
          form->Close();
        },
        50);
    BoxAnswers boxes;
    ClickButton(button);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Texts();
    report->OnEndDoc = nullptr;
    return handled && ended;
  }

  static TqvxPreviewPages* Pages(TqvxReport* report) { return dynamic_cast<TqvxPreviewPages*>(report->PreviewPages()); }

  // The first page drawn as the preview draws it, into a PNG beside the executable.
  static void Screenshot(TqvxReport* report, const String& name) {
    TqvxPreviewPages* pages = Pages(report);
    ASSERT_NE(pages, nullptr);
    const TqvxPoint size = pages->GetPageSize(0);
    vcl::TBitmap bmp;
    bmp.SetSize(static_cast<int>(size.X), static_cast<int>(size.Y));
    bmp.Canvas()->Brush()->SetColor(vcl::clWhite);
    bmp.Canvas()->FillRect(vcl::TRect(0, 0, bmp.Width(), bmp.Height()));
    pages->DrawPage(0, bmp.Canvas(), 1, 1, 0, 0);
    vcl::TPngImage png;
    png.Assign(&bmp);
    png.SaveToFile(rtl::ExeFolder() + name + L".png");
    // Something was drawn: the sheet is not blank.
    int ink = 0;
    for (int y = 0; y < bmp.Height(); y += 2)
      for (int x = 0; x < bmp.Width(); x += 2)
        if ((bmp.Canvas()->Pixels(x, y) & 0xFF) < 128) ++ink;
    EXPECT_GT(ink, 500) << Utf8(name);
  }

  // Inside the preview: prints the prepared sheet on the PDF queue as the print button does, without the dialog,
  // waits for cups-pdf's file and lists it with the texts it must hold.
  static void PrintToPdf(TqvxPreviewForm* form, const String& name, const std::vector<String>& texts) {
    const wchar_t* dir = _wgetenv(L"TAVREL_PDF_DIR");
    if (!dir || !*dir || qvxPrinters().IndexOf(L"PDF") < 0) return;  // no queue: the test script said so
    TqvxReport* report = form->Report();
    const String title = L"tavrel_" + name + L"_" + rtl::IntToStr(static_cast<int>(GetCurrentProcessId()));
    auto find = [&]() -> std::wstring {
      WIN32_FIND_DATAW fd;
      HANDLE h = FindFirstFileW((std::wstring(dir) + L"\\" + title + L"*.pdf").c_str(), &fd);
      if (h == INVALID_HANDLE_VALUE) return std::wstring();
      FindClose(h);
      return std::wstring(dir) + L"\\" + fd.cFileName;
    };
    for (std::wstring old = find(); !old.empty(); old = find()) DeleteFileW(old.c_str());
    report->ReportOptions()->Name = title;
    report->PrintOptions()->Printer = L"PDF";
    report->PrintOptions()->ShowDialog = false;
    form->PrintB->Click();
    std::string bytes;
    std::wstring pdf;
    const bool written = testutil::PumpUntil(
        [&] {
          pdf = find();
          if (pdf.empty()) return false;
          std::ifstream in(pdf.c_str(), std::ios::binary);
          bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
          return bytes.size() > 100 && bytes.find("%%EOF", bytes.size() - 64) != std::string::npos;
        },
        90000);
    ASSERT_TRUE(written) << "no complete " << Utf8(title) << "*.pdf";
    const std::wstring copy = OutFolder() + L"\\sheet_" + name + L".pdf";
    ASSERT_TRUE(CopyFileW(pdf.c_str(), copy.c_str(), FALSE));
    DeleteFileW(pdf.c_str());
    std::ofstream manifest((OutFolder() + L"\\sheets.txt").c_str(), std::ios::app);
    manifest << "sheet_" << Utf8(name) << ".pdf";
    for (const String& t : texts) manifest << "|" << Utf8(t);
    manifest << "\n";
  }

  // Moves the dataset to the first record whose column holds the text.
  static void GoTo(db::TDataSet* ds, const String& column, const String& value) {
    ds->First();
    while (!ds->Eof() && ds->FieldByName(column)->AsString() != value) ds->Next();
    ASSERT_FALSE(ds->Eof()) << Utf8(value);
  }

  vcl::TForm* screen_ = nullptr;
  String photo_;
};

// "Tüm Kayıtlar": a page per student of the table, each with the student's values in their cells; afterwards the
// screen is on the student it was on.
TEST_F(ReportSheets, StudentSheetForEveryStudentAPageEachAndTheScreenStaysOnItsRecord) {
  TForm2* s = OpenScreen(Form2);
  ASSERT_EQ(s->ADOTable1->RecordCount(), kStudents);
  GoTo(s->ADOTable1, L"okulno", L"1057");
  TqvxReport* report = s->qvxReport1;
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->DataSets()->Count(), 1);
  EXPECT_EQ(report->DataSets()->Items(0)->DataSet(), s->qvxDBDataset1);
  EXPECT_EQ(s->qvxDBDataset1->GetDataSet(), s->ADOTable1);
  ASSERT_TRUE(PrintThroughPreview(report, s->sBitBtn7, [&](TqvxPreviewForm* form) {
    PrintToPdf(form, L"ogrenci_tum", {L"Öğrenci Bilgi Fişi", WName(kFirstNumber), L"1001", WName(1300), L"Page 300"});
  })) << Utf8(report->Errors()->Text());
  TqvxPreviewPages* pages = Pages(report);
  ASSERT_EQ(pages->GetCount(), kStudents);
  for (int index : {0, 6, kStudents - 1}) {
    const int number = kFirstNumber + index;
    const std::vector<TText> texts = TextsOf(pages->GetPage(index));
    SCOPED_TRACE(number);
    auto title = Find(texts, L"Öğrenci Bilgi Fişi");
    ASSERT_EQ(title.size(), index == 0 ? 1u : 0u) << "the title prints once, at the start";
    auto name = Find(texts, WName(number));
    ASSERT_EQ(name.size(), 1u);
    EXPECT_EQ(name[0].band, L"MasterData1");
    EXPECT_NEAR(name[0].left, 141.02, 0.01);
    EXPECT_NEAR(name[0].top, 45.35, 0.01);
    auto no = Find(texts, Wide(Num(number)));
    ASSERT_EQ(no.size(), 1u);
    EXPECT_NEAR(no[0].left, 141.02, 0.01);
    EXPECT_NEAR(no[0].top, 0, 0.01);
    EXPECT_EQ(Find(texts, L"Atatürk Cad. No:" + Wide(Num(index + 1)) + L" Üsküdar/İSTANBUL").size(), 1u);
    // The father's and mother's columns side by side.
    auto father = Find(texts, Wide(std::string(kFirst[(index + 3) % 20]) + " Baba"));
    auto mother = Find(texts, Wide(std::string(kFirst[(index + 5) % 20]) + " Anne"));
    ASSERT_EQ(father.size(), 1u);
    ASSERT_EQ(mother.size(), 1u);
    EXPECT_NEAR(father[0].left, 141.02, 0.01);
    EXPECT_NEAR(mother[0].left, 507.63, 0.01);
    EXPECT_NEAR(father[0].top, 502.68, 0.01);
    auto page = Find(texts, L"Page " + Wide(Num(index + 1)));
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].band, L"PageFooter1");
  }
  Screenshot(report, L"sheet_ogrenci");
  // The screen is back on the student the user was on, with every student shown.
  EXPECT_EQ(s->ADOTable1->FieldByName(L"okulno")->AsString(), L"1057");
  EXPECT_FALSE(s->ADOTable1->Filtered());
  EXPECT_EQ(s->ADOTable1->RecordCount(), kStudents);
}

// "Tüm Kayıtlar" with the search box holding a school number prints that student alone; the filter stays.
TEST_F(ReportSheets, StudentSheetPrintsOnlyWhatTheSearchBoxLetsThrough) {
  TForm2* s = OpenScreen(Form2);
  Retype(s->sEdit1, L"1123");
  ASSERT_EQ(s->ADOTable1->RecordCount(), 1);
  ASSERT_TRUE(PrintThroughPreview(s->qvxReport1, s->sBitBtn7));
  TqvxPreviewPages* pages = Pages(s->qvxReport1);
  ASSERT_EQ(pages->GetCount(), 1);
  EXPECT_EQ(Find(TextsOf(pages->GetPage(0)), WName(1123)).size(), 1u);
  EXPECT_TRUE(s->ADOTable1->Filtered());
  EXPECT_EQ(s->ADOTable1->Filter(), L"okulno='1123'");
  EXPECT_EQ(s->ADOTable1->RecordCount(), 1);
}

// "Seçili Kaydı Yazdır": the chosen student alone, with the picture the record names; a record whose picture file is
// gone prints without one. The screen keeps the search box's filter and its record.
TEST_F(ReportSheets, SelectedStudentSheetHoldsThatStudentAndTheirPicture) {
  TForm2* s = OpenScreen(Form2);
  GoTo(s->ADOTable1, L"okulno", Wide(Num(kWithPicture)));
  ASSERT_TRUE(PrintThroughPreview(s->qvxReport1, s->sBitBtn8, [&](TqvxPreviewForm* form) {
    PrintToPdf(form, L"ogrenci_secili", {L"Öğrenci Bilgi Fişi", WName(kWithPicture), Wide(Num(kWithPicture)), L"Page 1"});
  })) << Utf8(s->qvxReport1->Errors()->Text());
  TqvxPreviewPages* pages = Pages(s->qvxReport1);
  ASSERT_EQ(pages->GetCount(), 1);
  const std::vector<TText> texts = TextsOf(pages->GetPage(0));
  EXPECT_EQ(Find(texts, WName(kWithPicture)).size(), 1u);
  EXPECT_EQ(Find(texts, WName(kWithPicture + 1)).size(), 0u);
  std::vector<TqvxPictureView*> pictures = PicturesOf(pages->GetPage(0));
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0]->Picture()->Width(), 120);
  EXPECT_EQ(pictures[0]->Picture()->Height(), 160);
  EXPECT_NEAR(pictures[0]->Left(), 593.39, 0.01);
  Screenshot(s->qvxReport1, L"sheet_ogrenci_secili");
  EXPECT_EQ(s->ADOTable1->FieldByName(L"okulno")->AsString(), Wide(Num(kWithPicture)));
  EXPECT_FALSE(s->ADOTable1->Filtered());
  EXPECT_EQ(s->ADOTable1->RecordCount(), kStudents);

  // With the search box's filter on, and a student whose picture file is gone.
  Retype(s->sEdit1, Wide(Num(kPictureGone)));
  ASSERT_EQ(s->ADOTable1->RecordCount(), 1);
  ASSERT_TRUE(PrintThroughPreview(s->qvxReport1, s->sBitBtn8));
  ASSERT_EQ(pages->GetCount(), 1);
  EXPECT_EQ(Find(TextsOf(pages->GetPage(0)), WName(kPictureGone)).size(), 1u);
  pictures = PicturesOf(pages->GetPage(0));
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0]->Picture()->Width(), 0) << "no picture for a file that is gone";
  EXPECT_TRUE(s->ADOTable1->Filtered());
  EXPECT_EQ(s->ADOTable1->Filter(), L"okulno=" + db::SqlQuoted(Wide(Num(kPictureGone))));
  EXPECT_EQ(s->ADOTable1->FieldByName(L"okulno")->AsString(), Wide(Num(kPictureGone)));
}

// One interview screen's sheet: how the screen is set to the busy student, what the sheet must show.
struct SheetCase {
  const char* name;
  std::function<TInterviewScreen*(ReportSheets*)> open;
  int pages;             // of the busy student's sheet
  int masterCopies;      // how often the student's identity prints
  const wchar_t* detail; // a detail value of the busy student's first record, with where it stands
  Extended detailLeft, detailTop;
  const wchar_t* title;
  const wchar_t* pdfName;
};

class InterviewSheets : public ReportSheets, public ::testing::WithParamInterface<int> {
 public:
  TInterviewScreen* Open3() { return OpenScreen(Form3); }
  TInterviewScreen* Open4() { return OpenScreen(Form4); }
  TInterviewScreen* Open8() { return OpenScreen(Form8); }
  TInterviewScreen* Open11() { return OpenScreen(Form11); }
};

const SheetCase kSheets[] = {
    {"counselling_clients", [](ReportSheets* f) { return static_cast<InterviewSheets*>(f)->Open3(); }, 2, 1,
     L"Sınav kaygısı 1007-1", 162.52, 60.47, L"Danışan Kayıt Formu", L"danisan"},
    {"student_interviews", [](ReportSheets* f) { return static_cast<InterviewSheets*>(f)->Open4(); }, 2, 1,
     L"Arkadaş ilişkileri 1007-1", 188.98, 68.03, L"Öğrenci Görüşme Formu", L"ogrenci_gorusme"},
    {"teacher_interviews", [](ReportSheets* f) { return static_cast<InterviewSheets*>(f)->Open8(); }, 2, 2,
     L"Derse katılmıyor 1007-1", 177.64, 124.72, L"Öğretmen Görüşme Formu", L"ogretmen_gorusme"},
    {"parent_interviews", [](ReportSheets* f) { return static_cast<InterviewSheets*>(f)->Open11(); }, 3, 1,
     L"Devamsızlık 1007-1", 162.52, 117.17, L"Veli Görüşme Formu", L"veli_gorusme"},
};

INSTANTIATE_TEST_SUITE_P(EachScreen, InterviewSheets, ::testing::Range(0, 4),
                         [](const auto& info) { return std::string(kSheets[info.param].name); });

// "Rapor" on the busy student's last record: the sheet holds the student's identity and every record of the
// student, nobody else's; afterwards the screen has the filter the user had and is on the same record.
TEST_P(InterviewSheets, RaporPrintsTheStudentsRecordsAndTheScreenStaysAsTheUserLeftIt) {
  const SheetCase& c = kSheets[GetParam()];
  TInterviewScreen* s = c.open(this);
  ASSERT_NE(s, nullptr);
  db::TDataSet* shown = s->ShownDataSet();
  if (TsEdit* box = s->SearchBox()) {
    Retype(box, L"1007");
    ASSERT_TRUE(shown->Filtered());
  }
  // The busy student's last record is the current one.
  GoTo(shown, L"okulno", L"1007");
  while (true) {
    shown->Next();
    if (shown->Eof() || shown->FieldByName(L"okulno")->AsString() != L"1007") {
      shown->Prior();
      if (shown->FieldByName(L"okulno")->AsString() != L"1007") shown->Next();
      break;
    }
  }
  ASSERT_EQ(shown->FieldByName(L"okulno")->AsString(), L"1007");
  const db::TBookmark record = shown->GetBookmark();
  const String filter = s->ADOTable1->Filter();
  const bool filtered = s->ADOTable1->Filtered();

  ASSERT_TRUE(PrintThroughPreview(s->qvxReport1, s->sBitBtn7, [&](TqvxPreviewForm* form) {
    PrintToPdf(form, c.pdfName, {c.title, WName(kBusy), c.detail});
  })) << Utf8(s->qvxReport1->Errors()->Text());
  TqvxPreviewPages* pages = Pages(s->qvxReport1);
  ASSERT_EQ(pages->GetCount(), c.pages);
  int identity = 0, titles = 0;
  std::vector<String> details;
  for (int i = 0; i < pages->GetCount(); ++i) {
    const std::vector<TText> texts = TextsOf(pages->GetPage(i));
    identity += static_cast<int>(Find(texts, WName(kBusy)).size());
    titles += static_cast<int>(Find(texts, c.title).size());
    for (const TText& t : texts) {
      if (t.text.find(L"1007-") != String::npos) details.push_back(t.text);
      EXPECT_EQ(t.text.find(L"1008-"), String::npos) << "another student's record: " << Utf8(t.text);
      EXPECT_NE(t.text, WName(1008));
    }
    if (i == 0) {
      auto d = Find(texts, c.detail);
      ASSERT_EQ(d.size(), 1u);
      EXPECT_NEAR(d[0].left, c.detailLeft, 0.01);
      EXPECT_NEAR(d[0].top, c.detailTop, 0.01);
    }
    EXPECT_EQ(Find(texts, L"Page " + Wide(Num(i + 1))).size(), 1u);
  }
  EXPECT_EQ(identity, c.masterCopies);
  EXPECT_GE(titles, 1);
  // Every record of the student, each once per column that names it.
  const int records = GetParam() == 2 ? 2 : 3;
  for (int k = 1; k <= records; ++k)
    EXPECT_GE(std::count_if(details.begin(), details.end(),
                            [&](const String& t) { return t.find(L"1007-" + Wide(Num(k))) != String::npos; }),
              1)
        << k;
  Screenshot(s->qvxReport1, L"sheet_" + Wide(c.name));

  EXPECT_EQ(s->ADOTable1->Filter(), filter);
  EXPECT_EQ(s->ADOTable1->Filtered(), filtered);
  EXPECT_EQ(shown->CompareBookmarks(shown->GetBookmark(), record), 0) << "the screen is on the record it was on";
  EXPECT_TRUE(s->ADOQuery1->Active());
}

}  // namespace
