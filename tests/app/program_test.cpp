// The whole program as a user meets it: started from another folder with its database beside it (or without one),
// the login dialog over the main window, the menu's one-screen rule, the About box, and nothing typed lost when a
// screen or the main window closes. The program runs in a process of its own (tests/common/programrun.h) and the
// user is played from a second thread there (tests/common/driver.h). Checks that need the same state share one
// start: the login, the menu and the About box are parts of one session.
#include "app/Program.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>

#include "app/About.h"
#include "app/PendingEdits.h"
#include "app/Unit1.h"
#include "app/Unit12.h"
#include "platform/vcl/application.h"
#include "tests/common/database.h"
#include "tests/common/driver.h"
#include "tests/common/programrun.h"
#include "tests/common/tempdir.h"

using namespace testutil;

namespace {

const std::wstring kTitle = L"DERVANLİ ZEZ";
const std::wstring kMain = L"Ana sayfa";
const std::wstring kLogin = L"Giriş - K Adı ve Şifrenizi Giriniz...";
const std::wstring kWrong = L"Yanlış Kullanıcı Adı veya Şifre girdiniz..";
const std::wstring kUser = L"Rehber";
const std::wstring kPassword = L"Şifre1";
// Only the first record holds the login; the second one's pair is refused.
const std::string kSabit =
    "insert into sabit values ('Deneme Lisesi', 'Ayşe Öğretmen', 'Rehber', 'Şifre1');"
    "insert into sabit values ('İkinci Okul', 'Mehmet', 'İkinci', 'İkinci');";
// A database in the folder the program is started from; the program must not read it.
const std::string kDecoySabit = "insert into sabit values ('Başka Okul', 'Başka', 'Rehber', 'Başka');";
const std::wstring kEditingCaption = L"Deneme Kayıt";
const std::string kTypedName = "Çağla Işık";

}  // namespace

// A screen with a record being typed, closed under the same rule as the records screens.
class TEditingScreen;
TEditingScreen* EditingScreen = nullptr;

class TEditingScreen : public vcl::TForm {
  VCL_CLASS(TEditingScreen, vcl::TForm)
  explicit TEditingScreen(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetFormStyle(vcl::fsMDIChild);
    SetText(kEditingCaption);
    OnClose.Bind(this, &TEditingScreen::FormClose);
    OnCloseQuery.Bind(this, &TEditingScreen::FormCloseQuery);
  }
  void StartTyping() {
    auto* table = new db::TADOTable(this);
    table->SetConnection(Form1->ADOBaglan);
    table->SetTableName(L"ogrencibilgi");
    table->Open();
    table->Append();
    table->FieldByName(L"adisoyadi")->SetAsString(L"Çağla Işık");
  }
  void FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
    Action = vcl::caFree;
    EditingScreen = nullptr;
  }
  void FormCloseQuery(rtl::TObject*, bool& CanClose) { CanClose = ConfirmPendingEdits(this); }
};

VCL_REGISTER(TEditingScreen) {}

namespace {

// ---- the user's side, run on the second thread of the program's process ----

HWND LogIn(const std::wstring& user, const std::wstring& password) {
  HWND login = WaitTop(kLogin);
  if (!login) return nullptr;
  auto edits = Edits(login);
  if (edits.size() != 2) return nullptr;
  Type(edits[0], user);
  Type(edits[1], password);
  Click(FindChild(login, L"Giriş"));
  return login;
}

HWND LogInAndWaitForMain() {
  HWND login = LogIn(kUser, kPassword);
  EXPECT_NE(login, nullptr) << "no login dialog";
  HWND main = FindTop(kMain);
  EXPECT_TRUE(WaitUntil([&] { return main && IsWindowEnabled(main) && !IsWindowVisible(login); }))
      << "the right pair did not open the main window";
  return main;
}

void LoginScenario() {
  HWND login = WaitTop(kLogin);
  ASSERT_NE(login, nullptr);
  HWND main = FindTop(kMain);
  ASSERT_NE(main, nullptr) << "the login appears over the main window";
  EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits for the login";
  EXPECT_TRUE(GetWindowLongW(login, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(login, GWL_STYLE) & WS_SYSMENU) << "no system menu, no close button";
  RECT lr, mr, lc, mc;
  GetWindowRect(login, &lr);
  GetWindowRect(main, &mr);
  GetClientRect(login, &lc);
  GetClientRect(main, &mc);
  EXPECT_NEAR((lr.left + lr.right) / 2, (mr.left + mr.right) / 2, 2) << "centred on the main window";
  EXPECT_NEAR((lr.top + lr.bottom) / 2, (mr.top + mr.bottom) / 2, 2) << "centred on the main window";
  EXPECT_EQ(lc.right, 413);
  EXPECT_EQ(lc.bottom, 133);
  EXPECT_EQ(mc.right, 944);
  EXPECT_EQ(mc.bottom, 621);

  struct Pair {
    std::wstring user, password;
  };
  const Pair refused[] = {{L"rehber", kPassword},  {L"REHBER", kPassword}, {L"Rehber ", kPassword},
                          {L" Rehber", kPassword}, {kUser, L"şifre1"},     {kUser, L"ŞİFRE1"},
                          {kUser, L"Şifre1 "},     {kUser, L"Başka"},      {L"", L""},
                          {L"İkinci", L"İkinci"}};
  // Stored state the screens rely on: an inactive skin manager, the dialog's tab order, no default or cancel
  // button, so Escape does nothing.
  EXPECT_FALSE(Form1->sSkinManager1->Active());
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), L"Elegant");
  EXPECT_EQ(Form12->sBitBtn1->TabOrder(), 0);
  EXPECT_EQ(Form12->sBitBtn2->TabOrder(), 1);
  EXPECT_EQ(Form12->sEdit1->TabOrder(), 2);
  EXPECT_EQ(Form12->sEdit2->TabOrder(), 3);
  EXPECT_FALSE(Form12->sBitBtn1->Default());
  EXPECT_FALSE(Form12->sBitBtn2->Cancel());
  HWND giris = FindChild(login, L"Giriş");
  PostMessageW(giris, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(giris, WM_KEYUP, VK_ESCAPE, 0);
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(IsWindowVisible(login)) << "Escape is bound to no button";

  auto edits = Edits(login);
  ASSERT_EQ(edits.size(), 2u);
  for (const Pair& p : refused) {
    Type(edits[0], p.user);
    Type(edits[1], p.password);
    Click(FindChild(login, L"Giriş"));
    HWND box = WaitBox();
    ASSERT_NE(box, nullptr) << Utf8(p.user) << " / " << Utf8(p.password) << " was not refused";
    EXPECT_EQ(BoxText(box), kWrong);
    EXPECT_EQ(Text(box), kTitle);
    Answer(box, IDOK);
    EXPECT_TRUE(IsWindowVisible(login));
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(Text(edits[0]), p.user) << "the typed texts stay";
    EXPECT_EQ(Text(edits[1]), p.password);
  }
  Type(edits[0], kUser);
  Type(edits[1], kPassword);
  Click(FindChild(login, L"Giriş"));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && !IsWindowVisible(login); }));
  EXPECT_EQ(FindBox(), nullptr);
}

void CancelScenario() {
  HWND login = WaitTop(kLogin);
  ASSERT_NE(login, nullptr);
  HWND main = FindTop(kMain);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main));
  Click(FindChild(login, L"İptal"));
  // The program ends: the scenario's runner checks the message loop returned.
}

void MissingDatabaseScenario() {
  for (int i = 0; i < 2; ++i) {
    HWND box = WaitBox();
    ASSERT_NE(box, nullptr) << "error box " << i + 1 << " missing";
    EXPECT_EQ(Text(box), kTitle);
    EXPECT_NE(BoxText(box).find(L"tavrel"), std::wstring::npos) << Utf8(BoxText(box));
    Answer(box, IDOK);
  }
  HWND login = WaitTop(kLogin);
  ASSERT_NE(login, nullptr) << "the login follows the two error boxes";
  EXPECT_EQ(FindBox(), nullptr);
  // An unreadable settings table reads as empty texts: the empty pair logs in.
  HWND main = FindTop(kMain);
  Click(FindChild(login, L"Giriş"));
  EXPECT_TRUE(WaitUntil([&] { return main && IsWindowEnabled(main); }));
  EXPECT_EQ(FindBox(), nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
}

// What is on screen, for a failure message.
std::string Describe(HWND main) {
  std::string out = "screens:";
  for (HWND w : MdiChildren(main)) out += " [" + Utf8(Text(w)) + "]";
  if (HWND box = FindBox()) out += " box: " + Utf8(BoxText(box));
  return out;
}

struct MenuCase {
  std::initializer_list<int> path;
  std::wstring item;
  std::wstring screen;
};

// On the logged-in main window.
void MenuPart() {
  HWND main = FindTop(kMain);
  ASSERT_NE(main, nullptr);
  const MenuCase cases[] = {
      {{0}, L"Öğrenci Kayıt", L"Öğrenci Kayıt"},
      {{1}, L"Danışan Kayıt", L"Danışan Kayıt"},
      {{2}, L"Öğrenci Görüşme Form", L"Öğrenci Görüşme formu"},
      {{3}, L"Öğretmen Görüşme", L"Öğretmen Görüşme Formu"},
      {{4}, L"Veli Görüşme", L"Veli Görüşme"},
      {{5, 0}, L"Sabit Bilgi", L"Sabit Bilgiler"},
      {{5, 1}, L"Excel'den liste aktar", L"Excelden Bilgi Aktar"},
      {{5, 2}, L"İstatistikler", L"İstatistikler"},
      {{6}, L"Hakkında", L"Program Hakkında"},
  };
  EXPECT_EQ(Form1->S1->Caption(), L"Ayarlar");
  vcl::TMenuItem* const items[] = {Form1->N1, Form1->D1, Form1->N2, Form1->N3, Form1->V1,
                                   Form1->S2, Form1->E1, Form1->N4, Form1->H1};
  int index = 0;
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(Utf8(c.item));
    EXPECT_EQ(items[index++]->Caption(), c.item);
    ASSERT_TRUE(ChooseMenu(main, c.path));
    ASSERT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, c.screen).size() == 1; })) << Describe(main);
    HWND first = MdiChildrenCaptioned(main, c.screen)[0];
    ASSERT_EQ(FindBox(), nullptr) << Utf8(BoxText(FindBox()));
    ASSERT_TRUE(ChooseMenu(main, c.path));
    ASSERT_TRUE(Settle());
    auto again = MdiChildrenCaptioned(main, c.screen);
    ASSERT_EQ(again.size(), 1u) << "a second choice opens no second screen";
    EXPECT_EQ(again[0], first);

    PostMessageW(first, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, c.screen).empty(); }));
    ASSERT_TRUE(ChooseMenu(main, c.path));
    ASSERT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, c.screen).size() == 1; }));
    HWND fresh = MdiChildrenCaptioned(main, c.screen)[0];
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(first); })) << "the closed screen was freed";
    EXPECT_NE(fresh, first);
    PostMessageW(fresh, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, c.screen).empty(); }));
  }
}

// On the logged-in main window.
void AboutPart() {
  HWND main = FindTop(kMain);
  ASSERT_NE(main, nullptr);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(ChooseMenu(main, {6}));
    ASSERT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, L"Program Hakkında").size() == 1; }));
    HWND about = MdiChildrenCaptioned(main, L"Program Hakkında")[0];
    RECT rc;
    GetClientRect(about, &rc);
    EXPECT_EQ(rc.right, 448);
    EXPECT_EQ(rc.bottom, 387);
    RECT ar, wr;
    GetWindowRect(about, &ar);
    GetWindowRect(FindWindowExW(main, nullptr, L"MDICLIENT", nullptr), &wr);
    EXPECT_NEAR((ar.left + ar.right) / 2, (wr.left + wr.right) / 2, 3) << "centred on the main window";
    EXPECT_NEAR((ar.top + ar.bottom) / 2, (wr.top + wr.bottom) / 2, 3) << "centred on the main window";
    ASSERT_NE(AboutBox, nullptr);
    EXPECT_EQ(AboutBox->Version->Caption(), L"Version 1.0");
    HWND ok = FindChild(about, L"OK");
    ASSERT_NE(ok, nullptr);
    Click(ok);
    ASSERT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, L"Program Hakkında").empty(); }))
        << "round " << round;
    // Gone from the workspace first, destroyed a moment later.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "round " << round;
  }
}

// The number of failed checks of the running test so far.
int FailureCount() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result->total_part_count(); ++i)
    if (result->GetTestPartResult(i).failed()) ++failed;
  return failed;
}

// Runs the parts one after the other in one program, each reported on a line of its own ("[part menu passed]") for
// the test that checks it.
void Session(std::initializer_list<std::pair<const char*, void (*)()>> parts) {
  for (auto& [name, part] : parts) {
    int before = FailureCount();
    part();
    std::printf("[part %s %s]\n", name, FailureCount() == before ? "passed" : "FAILED");
    std::fflush(stdout);
  }
  if (HWND main = FindTop(kMain)) PostMessageW(main, WM_CLOSE, 0, 0);
}

void MenuScenario() {
  ASSERT_NE(LogInAndWaitForMain(), nullptr);
  MenuPart();
  PostMessageW(FindTop(kMain), WM_CLOSE, 0, 0);
}

void AboutScenario() {
  ASSERT_NE(LogInAndWaitForMain(), nullptr);
  AboutPart();
  PostMessageW(FindTop(kMain), WM_CLOSE, 0, 0);
}

HWND OpenEditingScreen() {
  HWND main = LogInAndWaitForMain();
  if (!main) return nullptr;
  vcl::Application->Post([] {
    vcl::Application->CreateForm(EditingScreen);
    EditingScreen->Show();
    EditingScreen->StartTyping();
  });
  EXPECT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, kEditingCaption).size() == 1; }));
  return main;
}

// Closing the main window asks once per screen with a changed record; the answers in turn, re-closing after a
// Cancel (which keeps the program open).
void ClosingMainWithPendingEdits(std::initializer_list<int> answers) {
  HWND main = OpenEditingScreen();
  ASSERT_NE(main, nullptr);
  for (int answer : answers) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = WaitBox();
    ASSERT_NE(box, nullptr) << "no question before closing";
    EXPECT_EQ(Text(box), L"Uyari");
    EXPECT_EQ(BoxText(box), PendingEditsQuestion(kEditingCaption));
    Answer(box, answer);
    if (answer == IDCANCEL) {
      ASSERT_TRUE(Settle());
      EXPECT_TRUE(IsWindowVisible(main)) << "Cancel keeps the program open";
      EXPECT_EQ(MdiChildrenCaptioned(main, kEditingCaption).size(), 1u);
    }
  }
}

// Saving fails (the table went away under the screen): the error is shown, nothing closes, and the user can
// still decide to drop the record.
void ClosingWhenSavingFails() {
  HWND main = OpenEditingScreen();
  ASSERT_NE(main, nullptr);
  vcl::Application->Post([] { Form1->ADOBaglan->Execute(L"alter table ogrencibilgi rename to ogrencibilgi_eski"); });
  ASSERT_TRUE(Settle());
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND box = WaitBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(box), L"Uyari");
  Answer(box, IDYES);
  HWND error = WaitBox();
  ASSERT_NE(error, nullptr) << "the failed save is reported";
  EXPECT_EQ(Text(error), kTitle);
  Answer(error, IDOK);
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(IsWindowVisible(main)) << "the program stays open";
  EXPECT_EQ(MdiChildrenCaptioned(main, kEditingCaption).size(), 1u);
  PostMessageW(main, WM_CLOSE, 0, 0);
  box = WaitBox();
  ASSERT_NE(box, nullptr) << "the record is still waiting";
  EXPECT_EQ(Text(box), L"Uyari");
  Answer(box, IDNO);
}

void ClosingScreenWithPendingEdits() {
  HWND main = OpenEditingScreen();
  ASSERT_NE(main, nullptr);
  HWND screen = MdiChildrenCaptioned(main, kEditingCaption)[0];
  PostMessageW(screen, WM_CLOSE, 0, 0);
  HWND box = WaitBox();
  ASSERT_NE(box, nullptr);
  Answer(box, IDYES);
  EXPECT_TRUE(WaitUntil([&] { return MdiChildrenCaptioned(main, kEditingCaption).empty(); }));
  EXPECT_TRUE(IsWindowVisible(main));
  // Saved once: closing the program now asks nothing more.
  PostMessageW(main, WM_CLOSE, 0, 0);
}

// For looking at the program: pauses at the login, the main window and the About box until the file named
// "<step>.done" appears in the current folder, after writing "<step>.ready". Not started by any test.
void Pause(const wchar_t* step) {
  std::wstring ready = std::wstring(step) + L".ready", done = std::wstring(step) + L".done";
  CloseHandle(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 120000);
}

void ScreenshotScenario() {
  ASSERT_NE(WaitTop(kLogin), nullptr);
  Pause(L"login");
  HWND main = LogInAndWaitForMain();
  ASSERT_NE(main, nullptr);
  Pause(L"main");
  ChooseMenu(main, {6});
  WaitUntil([&] { return MdiChildrenCaptioned(main, L"Program Hakkında").size() == 1; });
  Pause(L"about");
  PostMessageW(main, WM_CLOSE, 0, 0);
}

// The settings screen changes the login's pair: "Düzenle", the new user name and password typed over the old,
// "Kaydet".
const std::wstring kNewUser = L"Yeni Rehber";
const std::wstring kNewPassword = L"çğıİöşü 9";

void TypeKeys(HWND edit, const std::wstring& text) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &r);
  SendMessageTimeoutW(edit, WM_CHAR, VK_BACK, 1, SMTO_ABORTIFHUNG, 5000, &r);
  for (wchar_t ch : text) SendMessageTimeoutW(edit, WM_CHAR, ch, 1, SMTO_ABORTIFHUNG, 5000, &r);
}

void ChangeLoginScenario() {
  HWND main = LogInAndWaitForMain();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(ChooseMenu(main, {5, 0}));
  HWND settings = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    auto found = MdiChildrenCaptioned(main, L"Sabit Bilgiler");
    return !found.empty() && (settings = found[0]) != nullptr;
  }));
  auto edits = Edits(settings);
  ASSERT_EQ(edits.size(), 4u);
  EXPECT_EQ(Text(edits[2]), kUser);
  EXPECT_FALSE(IsWindowEnabled(edits[2])) << "read-only until Düzenle";
  Click(FindChild(settings, L"Düzenle"));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(edits[3]); }));
  TypeKeys(edits[2], kNewUser);
  TypeKeys(edits[3], kNewPassword);
  Click(FindChild(settings, L"Kaydet"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(edits[3]); })) << "saved, the edits are read-only again";
  EXPECT_EQ(FindBox(), nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
}

// Started again: the old pair is refused, the new one logs in.
void NewLoginScenario() {
  HWND login = LogIn(kUser, kPassword);
  ASSERT_NE(login, nullptr);
  HWND box = WaitBox();
  ASSERT_NE(box, nullptr) << "the old pair was taken";
  EXPECT_EQ(BoxText(box), kWrong);
  Answer(box, IDOK);
  LogIn(kNewUser, kNewPassword);
  HWND main = FindTop(kMain);
  EXPECT_TRUE(WaitUntil([&] { return main && IsWindowEnabled(main) && !IsWindowVisible(login); }))
      << "the new pair did not log in";
  EXPECT_EQ(FindBox(), nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
}

const std::map<std::string, std::function<void()>>& Scenarios() {
  static const std::map<std::string, std::function<void()>> all = {
      {"login",
       [] {
         LoginScenario();
         if (HWND main = FindTop(kMain)) PostMessageW(main, WM_CLOSE, 0, 0);
       }},
      {"session",
       [] {
         Session({{"login", LoginScenario}, {"menu", MenuPart}, {"about", AboutPart}});
       }},
      {"cancel", CancelScenario},
      {"missing_db", MissingDatabaseScenario},
      {"menu", MenuScenario},
      {"about", AboutScenario},
      {"pending_yes", [] { ClosingMainWithPendingEdits({IDYES}); }},
      {"pending_cancel_no",
       [] {
         ClosingMainWithPendingEdits({IDCANCEL, IDNO});
       }},
      {"pending_screen", ClosingScreenWithPendingEdits},
      {"pending_save_fails", ClosingWhenSavingFails},
      {"screenshot", ScreenshotScenario},
      {"change_login", ChangeLoginScenario},
      {"new_login", NewLoginScenario},
  };
  return all;
}

}  // namespace

// Runs inside the program's own process only (started by the tests below).
TEST(ProgramScenario, Run) {
  const char* name = std::getenv("TAVREL_SCENARIO");
  if (!name) GTEST_SKIP() << "runs only as a started program";
  auto it = Scenarios().find(name);
  ASSERT_NE(it, Scenarios().end()) << name;
  std::atomic<bool> ended{false};
  std::thread user([&] {
    it->second();
    if (!WaitUntil([&] { return ended.load(); }, 20000)) {
      ADD_FAILURE() << "the program did not end";
      std::fflush(stdout);
      ExitProcess(3);
    }
  });
  RunProgram();
  ended = true;
  user.join();
  EXPECT_EQ(FindBox(), nullptr);
}

namespace {

// The program's folder (as installed) and the folder it is started from, which holds a decoy database.
struct Installation {
  TempFolder program{L"app_program"};
  TempFolder elsewhere{L"app_elsewhere"};
  std::string error;
  Installation() { CreateDatabase(elsewhere.File(L"tavrel.db"), kDecoySabit, &error); }
  std::wstring Database() const { return program.File(L"tavrel.db"); }
  // As installed: the database and the student screen's default picture beside the program.
  bool WithDatabase() {
    DeleteFileW(Database().c_str());
    return CreateDatabase(Database(), kSabit, &error) &&
           CopyFileW(SourceFile("app/res/main_logo.png").c_str(), program.File(L"vaku_logo.png").c_str(), FALSE);
  }
  ProgramRun Run(const wchar_t* scenario) { return RunScenario(scenario, program.Path(), elsewhere.Path()); }
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(install_.error.empty()) << install_.error; }
  void WithDatabase() { ASSERT_TRUE(install_.WithDatabase()) << install_.error; }
  std::wstring Database() const { return install_.Database(); }
  ProgramRun Run(const wchar_t* scenario) { return install_.Run(scenario); }
  static void ExpectPassed(const ProgramRun& run) {
    EXPECT_TRUE(run.finished) << "the program did not end\n" << run.output;
    EXPECT_EQ(run.exitCode, 0u) << run.output;
  }

  // One program started for the login, the menu and the About box; each test checks its own part.
  static const ProgramRun& Session() {
    static Installation install;
    static ProgramRun run = install.WithDatabase() ? install.Run(L"session") : ProgramRun{false, 0, install.error};
    return run;
  }
  static void ExpectPart(const ProgramRun& run, const std::string& part) {
    EXPECT_TRUE(run.finished) << "the program did not end\n" << run.output;
    EXPECT_NE(run.output.find("[part " + part + " passed]"), std::string::npos) << run.output;
    // A failure outside every part (the program not ending cleanly) fails them all.
    if (run.output.find(" FAILED]") == std::string::npos) {
      EXPECT_EQ(run.exitCode, 0u) << run.output;
    }
  }

  Installation install_;
};

TEST_F(ProgramTest, LoginOverTheMainWindowTakesOnlyTheExactStoredPair) { ExpectPart(Session(), "login"); }

TEST_F(ProgramTest, CancelAtTheLoginEndsTheProgram) {
  WithDatabase();
  ExpectPassed(Run(L"cancel"));
}

TEST_F(ProgramTest, WithoutItsDatabaseTwoErrorBoxesThenStillTheLogin) { ExpectPassed(Run(L"missing_db")); }

TEST_F(ProgramTest, EachMenuItemOpensOneScreenAndAFreshOneAfterClosing) { ExpectPart(Session(), "menu"); }

TEST_F(ProgramTest, AboutBoxClosesWithOkAndOpensAgain) { ExpectPart(Session(), "about"); }

TEST_F(ProgramTest, ClosingWithATypedRecordAsksAndKeepsWhatTheUserChose) {
  struct Case {
    const wchar_t* scenario;
    const char* table;
    const char* rows;
  };
  for (const Case& c :
       {Case{L"pending_yes", "ogrencibilgi", "1"}, Case{L"pending_cancel_no", "ogrencibilgi", "0"},
        Case{L"pending_screen", "ogrencibilgi", "1"}, Case{L"pending_save_fails", "ogrencibilgi_eski", "0"}}) {
    SCOPED_TRACE(Utf8(c.scenario));
    WithDatabase();
    ExpectPassed(Run(c.scenario));
    EXPECT_EQ(QueryText(Database(),
                        std::string("select count(*) from ") + c.table + " where adisoyadi = '" + kTypedName + "'"),
              c.rows);
  }
}

TEST_F(ProgramTest, TheSettingsScreenChangesTheLoginsPair) {
  WithDatabase();
  ExpectPassed(Run(L"change_login"));
  EXPECT_EQ(QueryText(Database(), "select kadi || '/' || sifre from sabit order by rowid limit 1"),
            Utf8(kNewUser + L"/" + kNewPassword));
  EXPECT_EQ(QueryText(Database(), "select count(*) from sabit"), "2");
  ExpectPassed(Run(L"new_login"));
}

}  // namespace
