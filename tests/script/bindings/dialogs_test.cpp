// The dialog bindings as scripts use them: message dialogs answering the modal result of the button pressed, input
// boxes and queries confirmed or cancelled, and the common dialogs' Execute, each answered by a watcher on the
// thread's timer as a person would press the buttons (tests/common/dialogs.h).
#include "tests/common/dialogs.h"

#include "fixture.h"
#include "platform/vcl/application.h"
#include "platform/vcl/controls.h"

using rtl::String;

namespace {

using testutil::DialogAnswer;

// Types into the edit of the library's own dialog form the thread shows (unless typed is nil) and presses its button
// with the caption given, once.
class FormAnswer {
 public:
  FormAnswer(const wchar_t* caption, const wchar_t* typed)
      : caption_(caption), typed_(typed), timer_([this] {
          if (!done_) EnumThreadWindows(GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(this));
        }) {}

 private:
  static BOOL CALLBACK Find(HWND wnd, LPARAM self) {
    auto* me = reinterpret_cast<FormAnswer*>(self);
    if (!IsWindowVisible(wnd) || !vcl::TWinControl::FindControl(wnd)) return TRUE;
    me->done_ = true;
    for (HWND c = GetWindow(wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[64], text[64];
      GetClassNameW(c, cls, 64);
      GetWindowTextW(c, text, 64);
      if (me->typed_ && wcsstr(cls, L"Edit")) SetWindowTextW(c, me->typed_);
      if (wcscmp(text, me->caption_) == 0) PostMessageW(c, BM_CLICK, 0, 0);
    }
    return FALSE;
  }

  const wchar_t* caption_;
  const wchar_t* typed_;
  bool done_ = false;
  testutil::EveryTick timer_;
};

class DialogBindings : public BindingsFixture {
 protected:
  DialogBindings() { vcl::Application->Initialize(); }
};

TEST_F(DialogBindings, MessageDlgAnswersTheButtonPressed) {
  const struct {
    int pressed;
    const wchar_t* printed;
  } cases[] = {{IDYES, L"6;True;"}, {IDNO, L"7;False;"}};
  for (const auto& c : cases) {
    DialogAnswer press(c.pressed);
    EXPECT_EQ(RunCatching(L"var r: Integer; begin r := MessageDlg('Kayıt silinsin mi?', mtConfirmation, mbYes + mbNo, "
                          L"0); Print(r); Print(r = mrYes) end."),
              c.printed);
    EXPECT_EQ(press.seen, 1);
    EXPECT_EQ(press.text, L"Kayıt silinsin mi?");
  }
}

TEST_F(DialogBindings, InputBoxAndInputQuery) {
  {
    FormAnswer press(L"OK", L"Ankara");
    EXPECT_EQ(RunCatching(L"var v: String; begin v := 'eski'; Print(InputQuery('Şehir', 'Ad:', v)); Print(v) end."),
              L"True;Ankara;");
  }
  {
    FormAnswer press(L"Cancel", L"Bursa");
    EXPECT_EQ(RunCatching(L"var v: String; begin v := 'eski'; Print(InputQuery('Şehir', 'Ad:', v)); Print(v) end."),
              L"False;eski;");
  }
  {
    FormAnswer press(L"Cancel", nullptr);
    EXPECT_EQ(RunCatching(L"begin Print(InputBox('Şehir', 'Ad:', 'İzmir')) end."), L"İzmir;");
  }
  {
    FormAnswer press(L"OK", L"Van");
    EXPECT_EQ(RunCatching(L"Print(InputBox(\"Şehir\", \"Ad:\", \"İzmir\"));", L"JScript"), L"Van;");
  }
}

TEST_F(DialogBindings, CommonDialogsRunTheirOwnExecute) {
  {
    DialogAnswer press(IDOK);
    EXPECT_EQ(RunCatching(L"var d: TColorDialog; begin d := TColorDialog.Create(nil); d.Color := clRed; "
                          L"Print(d.Execute); Print(d.Color = clRed); d.Free end."),
              L"True;True;");
  }
  {
    DialogAnswer press(IDCANCEL);
    EXPECT_EQ(RunCatching(L"var d: TCommonDialog; begin d := TColorDialog.Create(nil); Print(d.Execute); d.Free end."),
              L"False;");
  }
  {
    DialogAnswer press(IDCANCEL);
    EXPECT_EQ(RunCatching(L"var d: TOpenDialog; begin d := TOpenDialog.Create(nil); d.FileName := 'kalsin.txt'; "
                          L"d.Options := ofHideReadOnly + ofFileMustExist; Print(d.Execute); Print(d.FileName); "
                          L"d.Free end."),
              L"False;kalsin.txt;");
  }
  {
    DialogAnswer press(IDOK);
    EXPECT_EQ(RunCatching(L"var d: TFontDialog; begin d := TFontDialog.Create(nil); d.Font.Name := 'Tahoma'; "
                          L"d.Font.Size := 14; Print(d.Execute); Print(d.Font.Size); d.Free end."),
              L"True;14;");
  }
}

}  // namespace
