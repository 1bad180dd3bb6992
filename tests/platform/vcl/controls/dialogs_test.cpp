// Message boxes and file dialogs answered by a watcher on the thread's timer (tests/common/dialogs.h), so no test waits
// for a person: the Yes/No box acts on the button pressed, MessageDlg answers with the mr* value of the button, and an
// open dialog cancelled from a timer answers false and leaves the file name alone.
#include "platform/vcl/dialogs.h"

#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "tests/common/dialogs.h"

using namespace vcl;

namespace {

using testutil::DialogAnswer;

// Remembers where the next dialog stood, then closes it.
struct Where {
  static inline RECT r{};
  static BOOL CALLBACK Find(HWND wnd, LPARAM) {
    wchar_t cls[32];
    GetClassNameW(wnd, cls, 32);
    if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
    GetWindowRect(wnd, &r);
    PostMessageW(wnd, WM_COMMAND, IDOK, 0);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &Find, 0); }
};

// Types into the edit of the next form of the thread and presses its button with the given caption.
struct Press {
  static inline const wchar_t* caption = L"";
  static BOOL CALLBACK Find(HWND wnd, LPARAM) {
    if (!IsWindowVisible(wnd)) return TRUE;
    TWinControl* form = TWinControl::FindControl(wnd);
    if (!form) return TRUE;
    // The edit: type into it; then press the button with the caption asked for.
    HWND edit = FindWindowExW(wnd, nullptr, nullptr, nullptr);
    for (HWND c = edit; c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[64], text[64];
      GetClassNameW(c, cls, 64);
      GetWindowTextW(c, text, 64);
      if (wcsstr(cls, L"Edit")) SetWindowTextW(c, L"12A");
      if (wcscmp(text, caption) == 0) PostMessageW(c, BM_CLICK, 0, 0);
    }
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &Find, 0); }
};

const wchar_t* kDeleteQuestion = L"Seçilen kişiyi silmek istediginizden Emin misiniz ?";

TEST(Dialogs, YesNoBoxActsOnlyOnYes) {
  Application->Initialize();
  struct Case {
    int pressed;
    int deleted;
  };
  for (Case c : {Case{IDYES, 1}, Case{IDNO, 0}}) {
    DialogAnswer press(c.pressed);
    int deleted = 0;
    if (Application->MessageBox(kDeleteQuestion, L"Uyari", MB_YESNO | MB_ICONQUESTION) == IDYES) ++deleted;
    EXPECT_EQ(press.seen, 1);
    EXPECT_EQ(press.caption, L"Uyari");
    EXPECT_EQ(press.text, kDeleteQuestion);
    EXPECT_EQ(deleted, c.deleted) << c.pressed;
  }
}

TEST(Dialogs, MessageDlgAnswersWithTheButtonPressed) {
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    int pressed;
    int answer;
    const wchar_t* caption;
  };
  const Case cases[] = {
      {mtConfirmation, mbYesNo, IDYES, mrYes, L"Confirmation"},
      {mtConfirmation, mbYesNoCancel, IDCANCEL, mrCancel, L"Confirmation"},
      {mtWarning, mbOKCancel, IDOK, mrOk, L"Warning"},
      {mtError, TMsgDlgButtons{mbOK}, IDOK, mrOk, L"Error"},
      {mtInformation, mbAbortRetryIgnore, IDRETRY, mrRetry, L"Information"},
  };
  for (const Case& c : cases) {
    DialogAnswer press(c.pressed);
    EXPECT_EQ(MessageDlg(L"Kayıt silinsin mi?", c.type, c.buttons, 0), c.answer) << c.caption;
    EXPECT_EQ(press.caption, c.caption);
    EXPECT_EQ(press.text, L"Kayıt silinsin mi?");
  }
}

TEST(Dialogs, MessageDlgFlagsCoverTheButtonsAskedFor) {
  EXPECT_EQ(MessageDlgFlags(mtCustom, mbYesNo), static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(MessageDlgFlags(mtCustom, mbYesNoCancel), static_cast<UINT>(MB_YESNOCANCEL));
  EXPECT_EQ(MessageDlgFlags(mtCustom, TMsgDlgButtons{mbYes, mbYesToAll, mbNo}), static_cast<UINT>(MB_YESNOCANCEL));
  EXPECT_EQ(MessageDlgFlags(mtCustom, TMsgDlgButtons{mbRetry, mbCancel}), static_cast<UINT>(MB_RETRYCANCEL));
  EXPECT_EQ(MessageDlgFlags(mtCustom, TMsgDlgButtons{mbOK}), static_cast<UINT>(MB_OK));
  EXPECT_EQ(MessageDlgFlags(mtError, TMsgDlgButtons{mbOK}), static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST(Dialogs, MessageDlgPosPutsTheBoxThere) {
  UINT_PTR timer = SetTimer(nullptr, 0, 100, &Where::Tick);
  MessageDlgPos(L"Yer", mtInformation, TMsgDlgButtons{mbOK}, 0, 40, 60);
  KillTimer(nullptr, timer);
  EXPECT_EQ(Where::r.left, 40);
  EXPECT_EQ(Where::r.top, 60);
}

TEST(Dialogs, OpenDialogCancelledFromATimerAnswersFalse) {
  Application->Initialize();
  auto* dlg = new TOpenDialog(nullptr);
  dlg->SetFilter(L"Resimler|*.jpg;*.png");
  dlg->SetTitle(L"Resim Seç");
  dlg->SetFileName(L"eski.png");
  DialogAnswer press(IDCANCEL, L"", L"Resim Seç");
  EXPECT_FALSE(dlg->Execute());
  EXPECT_EQ(press.seen, 1);
  EXPECT_EQ(dlg->FileName(), L"eski.png");
  delete dlg;
}

TEST(Dialogs, FilterBecomesZeroSeparatedPairs) {
  // The string's own terminator ends the list.
  EXPECT_EQ(TOpenDialog::SystemFilter(L"Resimler|*.jpg;*.png"), String(L"Resimler\0*.jpg;*.png\0", 21));
  // A description without its pattern still makes a whole pair.
  EXPECT_EQ(TOpenDialog::SystemFilter(L"Hepsi"), String(L"Hepsi\0\0", 7));
  EXPECT_EQ(TOpenDialog::SystemFilter(L""), String());
}

TEST(Dialogs, OpenDialogPropertiesAreRegistered) {
  const TClassInfo* cls = TOpenDialog::StaticClass();
  for (const wchar_t* name :
       {L"Filter", L"FileName", L"InitialDir", L"Title", L"Options", L"DefaultExt", L"FilterIndex"})
    EXPECT_NE(cls->FindProperty(name), nullptr) << name;
  EXPECT_TRUE(TSaveDialog::StaticClass()->InheritsFrom(cls));
}

TEST(Dialogs, InputQueryKeepsTheValueOnCancelAndTakesTheEditOnOk) {
  Application->Initialize();
  String value = L"9B";
  Press::caption = L"Cancel";
  UINT_PTR t = SetTimer(nullptr, 0, 100, &Press::Tick);
  EXPECT_FALSE(InputQuery(L"Sınıf", L"Sınıfı yazınız", value));
  EXPECT_EQ(value, L"9B");
  Press::caption = L"OK";
  EXPECT_TRUE(InputQuery(L"Sınıf", L"Sınıfı yazınız", value));
  EXPECT_EQ(value, L"12A");
  KillTimer(nullptr, t);
}

}  // namespace
