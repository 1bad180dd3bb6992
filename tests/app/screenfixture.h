#pragma once
// A records screen opened in this process as the menu opens it: a database file made from the program's schema in
// a folder of its own, an MDI main window named Form1 holding the shared connection ADOBaglan to it, and the screen
// created through the application object. The user is played with window messages on this thread; message boxes
// are answered from the thread's timer, which runs while a box's own loop waits.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "tests/common/database.h"
#include "tests/common/dialogs.h"
#include "tests/common/paths.h"
#include "tests/common/tempdir.h"
#include "tests/common/text.h"

namespace screentest {

using rtl::String;
using testutil::Query;
using testutil::Utf8;
using testutil::Wide;

// Answers every system dialog of the thread (message boxes) with one button while it lives, and keeps the caption
// and text of each in the order they came.
class BoxAnswers {
 public:
  struct Box {
    String caption, text;
  };
  explicit BoxAnswers(int button = IDOK)
      : button_(button),
        timer_([this] { EnumThreadWindows(GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(this)); }) {}
  const std::vector<Box>& Boxes() const { return boxes_; }
  // The texts, joined for a failure message.
  std::string Texts() const {
    std::string out;
    for (const Box& b : boxes_) out += "[" + Utf8(b.caption) + ": " + Utf8(b.text) + "] ";
    return out;
  }

 private:
  static BOOL CALLBACK Find(HWND wnd, LPARAM self) {
    auto* me = reinterpret_cast<BoxAnswers*>(self);
    if (!testutil::IsSystemDialog(wnd) || !IsWindowVisible(wnd)) return TRUE;
    // A box is answered once; its window may linger for a moment after the press.
    for (HWND seen : me->answered_)
      if (seen == wnd) return TRUE;
    HWND label = GetDlgItem(wnd, 0xFFFF);
    me->boxes_.push_back(Box{testutil::WindowText(wnd), label ? testutil::WindowText(label) : String()});
    me->answered_.push_back(wnd);
    if (HWND b = GetDlgItem(wnd, me->button_))
      PostMessageW(b, BM_CLICK, 0, 0);
    else
      PostMessageW(wnd, WM_COMMAND, static_cast<WPARAM>(me->button_), 0);
    return FALSE;
  }

  int button_;
  std::vector<Box> boxes_;
  std::vector<HWND> answered_;
  testutil::EveryTick timer_;
};

// One main window serves every test of a suite (making and freeing a top-level window under Xvfb takes seconds);
// each test gets a database file of its own, which the main window's connection is pointed at.
class ScreenFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    vcl::Application->Initialize();
    frame_ = new vcl::TForm(nullptr);
    frame_->SetName(L"Form1");
    frame_->SetFormStyle(vcl::fsMDIForm);
    frame_->SetBounds(0, 0, 1100, 900);
    frame_->SetCaption(L"Ana sayfa");
    connection_ = new db::TADOConnection(frame_);
    connection_->SetName(L"ADOBaglan");
    connection_->SetLoginPrompt(false);
    vcl::AddGlobalComponent(frame_);
    vcl::Application->SetMainForm(frame_);
    frame_->Show();
    vcl::Application->ProcessMessages();
  }
  static void TearDownTestSuite() {
    vcl::RemoveGlobalComponent(frame_);
    vcl::Application->SetMainForm(nullptr);
    delete frame_;
    frame_ = nullptr;
    connection_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(frame_, nullptr);
    folder_ = std::make_unique<testutil::TempFolder>(L"screens");
    file_ = folder_->File(L"tavrel.db");
  }

  void TearDown() override {
    CloseScreen();
    vcl::Application->ProcessMessages();
    if (connection_) connection_->Close();
    folder_.reset();
  }

  // Frees the open screen, if any, without its close handlers (as the test ends).
  virtual void CloseScreen() {}

  // The database with the schema and the given statements, and the main window's connection to it.
  void MakeDatabaseAndFrame(const std::string& rows) {
    std::string error;
    ASSERT_TRUE(testutil::CreateDatabase(file_, rows, &error)) << error;
    connection_->Close();
    connection_->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" +
                                     folder_->File(L"tavrel.mdb"));
    connection_->Open();
  }

  // Statements run straight on the file, as another program would.
  void Exec(const std::string& sql) {
    std::string error;
    ASSERT_TRUE(testutil::Exec(file_, sql, &error)) << error;
  }

  std::unique_ptr<testutil::TempFolder> folder_;
  std::wstring file_;
  static inline vcl::TForm* frame_ = nullptr;
  static inline db::TADOConnection* connection_ = nullptr;
};

// Keys as the keyboard sends them: the focus goes to the control, then one character message per key.
inline void TypeKeys(vcl::TWinControl* control, const String& text) {
  ASSERT_NE(control, nullptr);
  control->SetFocus();
  HWND target = control->Handle();
  if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) target = edit;
  for (wchar_t ch : text) SendMessageW(target, WM_CHAR, ch, 1);
  vcl::Application->ProcessMessages();
}

// Everything the control holds selected, then the keys: what is typed replaces it.
inline void Retype(vcl::TWinControl* control, const String& text) {
  ASSERT_NE(control, nullptr);
  control->SetFocus();
  HWND target = control->Handle();
  if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) target = edit;
  SendMessageW(target, EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageW(target, WM_CHAR, VK_BACK, 1);
  for (wchar_t ch : text) SendMessageW(target, WM_CHAR, ch, 1);
  vcl::Application->ProcessMessages();
}

inline void ClickButton(vcl::TWinControl* button) {
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  vcl::Application->ProcessMessages();
}

}  // namespace screentest
