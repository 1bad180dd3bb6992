#pragma once
// A records screen opened in this process as the menu opens it: a database file made from the program's schema in
// a folder of its own, an MDI main window named Form1 holding the shared connection ADOBaglan to it, and the screen
// created through the application object. The user is played with window messages on this thread; message boxes
// are answered from the thread's timer, which runs while a box's own loop waits.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"

namespace screentest {

using rtl::String;

inline std::string Utf8(const std::wstring& s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, out.data(), n);
  return out;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string SourceFile(const std::string& relative) {
  const char* dir = std::getenv("TAVREL_TEST_DATA");
  return std::string(dir ? dir : ".") + "/../../" + relative;
}

// The rows of a statement, each a map from column name to its text ("<null>" for a null).
using Row = std::map<std::string, std::wstring>;
inline std::vector<Row> Query(const std::wstring& file, const std::string& sql) {
  std::vector<Row> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Utf8(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << Utf8(file);
    sqlite3_close(db);
    return rows;
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
    sqlite3_close(db);
    return rows;
  }
  while (sqlite3_step(st) == SQLITE_ROW) {
    Row r;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      r[sqlite3_column_name(st, i)] = t ? Wide(reinterpret_cast<const char*>(t)) : L"<null>";
    }
    rows.push_back(r);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

// Answers every system dialog of the thread (message boxes) with one button while it lives, and keeps the caption
// and text of each in the order they came.
class BoxAnswers {
 public:
  struct Box {
    String caption, text;
  };
  explicit BoxAnswers(int button = IDOK) {
    Current() = this;
    button_ = button;
    timer_ = SetTimer(nullptr, 0, 100, &Tick);
  }
  ~BoxAnswers() {
    KillTimer(nullptr, timer_);
    Current() = nullptr;
  }
  BoxAnswers(const BoxAnswers&) = delete;
  BoxAnswers& operator=(const BoxAnswers&) = delete;
  const std::vector<Box>& Boxes() const { return boxes_; }
  // The texts, joined for a failure message.
  std::string Texts() const {
    std::string out;
    for (const Box& b : boxes_) out += "[" + Utf8(b.caption) + ": " + Utf8(b.text) + "] ";
    return out;
  }

 private:
  static BoxAnswers*& Current() {
    static BoxAnswers* current = nullptr;
    return current;
  }
  static BOOL CALLBACK Find(HWND wnd, LPARAM) {
    BoxAnswers* self = Current();
    wchar_t cls[32];
    GetClassNameW(wnd, cls, 32);
    if (!self || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
    // A box is answered once; its window may linger for a moment after the press.
    for (HWND seen : self->answered_)
      if (seen == wnd) return TRUE;
    wchar_t buf[1024];
    GetWindowTextW(wnd, buf, 1024);
    Box box{buf, L""};
    GetDlgItemTextW(wnd, 0xFFFF, buf, 1024);
    box.text = buf;
    self->boxes_.push_back(box);
    self->answered_.push_back(wnd);
    if (HWND b = GetDlgItem(wnd, self->button_))
      PostMessageW(b, BM_CLICK, 0, 0);
    else
      PostMessageW(wnd, WM_COMMAND, static_cast<WPARAM>(self->button_), 0);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &Find, 0); }

  UINT_PTR timer_ = 0;
  int button_ = IDOK;
  std::vector<Box> boxes_;
  std::vector<HWND> answered_;
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
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    folder_ = std::wstring(tmp) + L"tavrel_screens_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++Serial());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    file_ = folder_ + L"\\tavrel.db";
  }

  void TearDown() override {
    CloseScreen();
    vcl::Application->ProcessMessages();
    if (connection_) connection_->Close();
    for (const String& name : rtl::ListFiles(folder_)) rtl::DeleteFile(folder_ + L"\\" + name);
    rtl::RemoveDir(folder_);
  }

  // Frees the open screen, if any, without its close handlers (as the test ends).
  virtual void CloseScreen() {}

  // The database with the schema and the given statements, and the main window's connection to it.
  void MakeDatabaseAndFrame(const std::string& rows) {
    std::string schema = ReadFile(SourceFile("app/tavrel.sql"));
    ASSERT_FALSE(schema.empty());
    Exec(schema + rows);
    connection_->Close();
    connection_->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" +
                                     folder_ + L"\\tavrel.mdb");
    connection_->Open();
  }

  // Statements run straight on the file, as another program would.
  void Exec(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(Utf8(file_).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
  }

  static int& Serial() {
    static int serial = 0;
    return serial;
  }

  std::wstring folder_, file_;
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
