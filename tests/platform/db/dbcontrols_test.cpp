// Data-aware controls on a real form, bound to tables of a real file, driven by window messages.
#include <gtest/gtest.h>

#include "dbtestutil.h"
#include "platform/db/dbctrls.h"
#include "platform/db/dbgrids.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"

namespace db {
namespace {

String WindowText(HWND wnd) {
  wchar_t buf[512] = {};
  GetWindowTextW(wnd, buf, 512);
  return buf;
}

class DBControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::wstring dir = dbtest::TempFolder();
    ASSERT_TRUE(dbtest::CreateDatabase(
        dir + L"\\tavrel.db",
        "insert into ogrencigorusme(okulno, adisoyadi, gorusmeturu) values (12, 'Ali', 'Bireysel');"
        "insert into ogrencigorusme(okulno, adisoyadi, gorusmeturu) values (123, 'Veli', 'Bireysel');"
        "insert into ogrencigorusme(okulno, adisoyadi, gorusmeturu) values (7, 'Zeynep', 'Grup');"
        "insert into ogrencibilgi(okulno, adisoyadi, burslu) values ('5', 'Ece', 0);"));
    vcl::Application->Initialize();
    form_ = new vcl::TForm(nullptr);
    form_->SetBounds(20, 20, 700, 500);
    conn_ = new TADOConnection(form_);
    conn_->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.mdb");
    conn_->SetLoginPrompt(false);
    table_ = new TADOTable(form_);
    table_->SetConnection(conn_);
    table_->SetTableName(L"ogrencigorusme");
    source_ = new TDataSource(form_);
    source_->SetDataSet(table_);
    students_ = new TADOTable(form_);
    students_->SetConnection(conn_);
    students_->SetTableName(L"ogrencibilgi");
    studentSource_ = new TDataSource(form_);
    studentSource_->SetDataSet(students_);

    name_ = Place(new TDBEdit(form_), 10, 10, L"adisoyadi", source_);
    number_ = Place(new TDBEdit(form_), 10, 40, L"okulno", source_);
    memo_ = Place(new TDBMemo(form_), 10, 70, L"yapilancalisma", source_);
    combo_ = Place(new TDBComboBox(form_), 10, 170, L"gorusmeturu", source_);
    combo_->Items()->Add(L"Bireysel");
    combo_->Items()->Add(L"Grup");
    check_ = Place(new TDBCheckBox(form_), 10, 210, L"burslu", studentSource_);
    grid_ = new TDBGrid(form_);
    grid_->SetParent(form_);
    grid_->SetBounds(250, 10, 400, 200);
    grid_->SetDataSource(source_);
    TColumn* c1 = grid_->Columns()->AddColumn();
    c1->SetFieldName(L"adisoyadi");
    c1->Title()->SetCaption(L"Adı Soyadı");
    c1->SetWidth(120);
    TColumn* c2 = grid_->Columns()->AddColumn();
    c2->SetFieldName(L"okulno");

    table_->Open();
    students_->Open();
    form_->Show();
    vcl::Application->ProcessMessages();
  }
  void TearDown() override {
    delete form_;
    vcl::Application->ProcessMessages();
  }
  template <class C>
  C* Place(C* c, int x, int y, const String& field, TDataSource* source) {
    c->SetParent(form_);
    c->SetBounds(x, y, 200, c->Height());
    c->SetDataSource(source);
    c->SetDataField(field);
    return c;
  }
  void TypeInto(HWND wnd, const String& text) {
    SetFocus(wnd);
    int len = GetWindowTextLengthW(wnd);
    SendMessageW(wnd, EM_SETSEL, static_cast<WPARAM>(len), len);
    for (wchar_t ch : text) SendMessageW(wnd, WM_CHAR, ch, 1);
  }
  // What the file holds, read through a fresh dataset.
  String Stored(const String& table, int recNo, const String& field) {
    TADOTable t(nullptr);
    t.SetConnection(conn_);
    t.SetTableName(table);
    t.Open();
    t.SetRecNo(recNo);
    return t.FieldByName(field)->AsString();
  }

  vcl::TForm* form_ = nullptr;
  TADOConnection* conn_ = nullptr;
  TADOTable* table_ = nullptr;
  TADOTable* students_ = nullptr;
  TDataSource* source_ = nullptr;
  TDataSource* studentSource_ = nullptr;
  TDBEdit* name_ = nullptr;
  TDBEdit* number_ = nullptr;
  TDBMemo* memo_ = nullptr;
  TDBComboBox* combo_ = nullptr;
  TDBCheckBox* check_ = nullptr;
  TDBGrid* grid_ = nullptr;
};

TEST_F(DBControlsTest, ControlsShowTheCurrentRecord) {
  EXPECT_EQ(WindowText(name_->Handle()), L"Ali");
  EXPECT_EQ(WindowText(number_->Handle()), L"12");
  EXPECT_EQ(WindowText(combo_->Handle()), L"Bireysel");
  EXPECT_EQ(check_->State(), vcl::cbUnchecked);
  table_->Next();
  EXPECT_EQ(WindowText(name_->Handle()), L"Veli");
  EXPECT_EQ(WindowText(number_->Handle()), L"123");
  // The declared size of the column limits what the edit takes.
  EXPECT_EQ(SendMessageW(name_->Handle(), EM_GETLIMITTEXT, 0, 0), 255);
}

TEST_F(DBControlsTest, TypingStartsAnEditAndPostWritesTheText) {
  table_->Next();
  EXPECT_EQ(table_->State(), dsBrowse);
  TypeInto(name_->Handle(), L" Çelik");
  EXPECT_EQ(table_->State(), dsEdit);
  EXPECT_EQ(WindowText(name_->Handle()), L"Veli Çelik");
  table_->Post();
  EXPECT_EQ(table_->FieldByName(L"adisoyadi")->AsString(), L"Veli Çelik");
  EXPECT_EQ(Stored(L"ogrencigorusme", 2, L"adisoyadi"), L"Veli Çelik");
}

TEST_F(DBControlsTest, EscapeThrowsTheTypingAway) {
  TypeInto(name_->Handle(), L"xyz");
  SendMessageW(name_->Handle(), WM_CHAR, 27, 1);
  EXPECT_EQ(WindowText(name_->Handle()), L"Ali");
  table_->Cancel();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"adisoyadi"), L"Ali");
}

TEST_F(DBControlsTest, IntegerEditTakesOnlyDigitsAndASign) {
  TypeInto(number_->Handle(), L"a4b-");
  EXPECT_EQ(WindowText(number_->Handle()), L"124-");
  // "124-" does not convert: the post fails, nothing is written, the record stays in edit.
  EXPECT_THROW(table_->Post(), rtl::EConvertError);
  EXPECT_EQ(table_->State(), dsEdit);
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"okulno"), L"12");
  SendMessageW(number_->Handle(), WM_CHAR, 8, 1);  // backspace
  table_->Post();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"okulno"), L"124");
}

TEST_F(DBControlsTest, TextSetByTheProgramWhileInsertingReachesTheField) {
  table_->Insert();
  name_->SetText(L"Program Yazdı");
  number_->SetText(L"99");
  table_->Post();
  EXPECT_EQ(table_->FieldByName(L"adisoyadi")->AsString(), L"Program Yazdı");
  EXPECT_EQ(table_->RecordCount(), 4);
}

TEST_F(DBControlsTest, AnInvisibleMemoStillHandsItsTextToTheField) {
  memo_->SetVisible(false);
  vcl::Application->ProcessMessages();
  table_->Edit();
  memo_->SetText(L"satır 1\r\nsatır 2");
  table_->Post();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"yapilancalisma"), L"satır 1\r\nsatır 2");
}

TEST_F(DBControlsTest, MemoTypingEditsAndPosts) {
  TypeInto(memo_->Handle(), L"not");
  EXPECT_EQ(table_->State(), dsEdit);
  table_->Post();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"yapilancalisma"), L"not");
}

TEST_F(DBControlsTest, ComboChoiceEditsAndTheWheelOverItDoesNot) {
  SendMessageW(combo_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(table_->State(), dsBrowse);
  EXPECT_EQ(WindowText(combo_->Handle()), L"Bireysel");
  // The user picks "Grup" from the list.
  SendMessageW(combo_->Handle(), CB_SETCURSEL, 1, 0);
  SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo_->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo_->Handle()));
  EXPECT_EQ(table_->State(), dsEdit);
  table_->Post();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"gorusmeturu"), L"Grup");
}

TEST_F(DBControlsTest, CheckBoxClickEditsAndPostsTheBoolean) {
  SendMessageW(check_->Handle(), BM_CLICK, 0, 0);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(students_->State(), dsEdit);
  EXPECT_EQ(check_->State(), vcl::cbChecked);
  students_->Post();
  EXPECT_EQ(Stored(L"ogrencibilgi", 1, L"burslu"), L"True");
}

TEST_F(DBControlsTest, GridClickMakesTheRecordCurrentBeforeOnCellClick) {
  String seen;
  TColumn* clicked = nullptr;
  grid_->OnCellClick = [&](TColumn* c) {
    clicked = c;
    seen = table_->FieldByName(L"adisoyadi")->AsString();
  };
  int y = grid_->DefaultRowHeight() * 3 + grid_->DefaultRowHeight() / 2;  // title, then the third record
  SendMessageW(grid_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y));
  SendMessageW(grid_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, y));
  EXPECT_EQ(seen, L"Zeynep");
  EXPECT_EQ(clicked, grid_->Columns()->Items<TColumn>(0));
  EXPECT_EQ(table_->RecNo(), 3);
}

TEST_F(DBControlsTest, GridWheelMovesButNeverAppends) {
  table_->Last();
  SendMessageW(grid_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(table_->RecordCount(), 3);
  EXPECT_EQ(table_->State(), dsBrowse);
  SendMessageW(grid_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(table_->RecNo(), 2);
}

TEST_F(DBControlsTest, GridTitlesAndPaintedSelection) {
  EXPECT_EQ(grid_->Columns()->Items<TColumn>(0)->TitleText(), L"Adı Soyadı");
  // A column without a caption is titled with its field name.
  EXPECT_EQ(grid_->Columns()->Items<TColumn>(1)->TitleText(), L"okulno");
  table_->Next();
  int w = grid_->Width(), h = grid_->Height();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  grid_->PaintTo(dc, 0, 0);
  GdiFlush();
  auto pixel = [&](int x, int y) { return static_cast<const DWORD*>(bits)[y * w + x] & 0xFFFFFF; };
  DWORD hl = GetSysColor(COLOR_HIGHLIGHT);
  DWORD hlBgr = ((hl & 0xFF) << 16) | (hl & 0xFF00) | ((hl >> 16) & 0xFF);
  int rh = grid_->DefaultRowHeight();
  int border = GetSystemMetrics(SM_CXEDGE);
  // The current record's first cell (row 2) is highlighted near its right edge; the first row is not.
  EXPECT_EQ(pixel(border + 11 + 115, border + rh * 2 + 2), hlBgr);
  EXPECT_NE(pixel(border + 11 + 115, border + rh * 1 + 2), hlBgr);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

}  // namespace
}  // namespace db

namespace db {
namespace {

TEST_F(DBControlsTest, GridScrollBarFollowsAndMovesTheRecord) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  table_->Last();
  GetScrollInfo(grid_->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 2);
  EXPECT_EQ(si.nPos, 2);
  SendMessageW(grid_->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
  EXPECT_EQ(table_->RecNo(), 2);
  SendMessageW(grid_->Handle(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  EXPECT_EQ(table_->RecNo(), 1);
  SendMessageW(grid_->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  SendMessageW(grid_->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  SendMessageW(grid_->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(table_->RecNo(), 3);
  EXPECT_EQ(table_->RecordCount(), 3);
}

TEST_F(DBControlsTest, DefaultColumnsFollowTheFields) {
  TDBGrid* g = new TDBGrid(form_);
  g->SetParent(form_);
  g->SetDataSource(source_);
  EXPECT_EQ(g->VisibleColumnCount(), table_->FieldCount());
  EXPECT_EQ(g->VisibleColumn(0)->TitleText(), L"okulno");
  table_->FieldByName(L"okulno")->SetDisplayLabel(L"Okul No");
  EXPECT_EQ(g->VisibleColumn(0)->TitleText(), L"Okul No");
}

}  // namespace
}  // namespace db

namespace db {
namespace {

TEST_F(DBControlsTest, FocusControlFocusesTheEditOfTheField) {
  SetFocus(name_->Handle());
  table_->FieldByName(L"okulno")->FocusControl();
  EXPECT_EQ(GetFocus(), number_->Handle());
}

}  // namespace
}  // namespace db

namespace db {
namespace {

TEST_F(DBControlsTest, TypingIntoTheComboEditsAndPostsTheText) {
  HWND edit = FindWindowExW(combo_->Handle(), nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(table_->State(), dsBrowse);
  TypeInto(edit, L" ek");
  EXPECT_EQ(table_->State(), dsEdit);
  table_->Post();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"gorusmeturu"), L"Bireysel ek");
}

TEST_F(DBControlsTest, AutoEditOffRefusesTyping) {
  source_->SetAutoEdit(false);
  TypeInto(name_->Handle(), L"zz");
  EXPECT_EQ(table_->State(), dsBrowse);
  EXPECT_EQ(WindowText(name_->Handle()), L"Ali");
}

}  // namespace
}  // namespace db

namespace db {
namespace {

TEST_F(DBControlsTest, OwnerDrawnCellsGetEveryDataCellWithItsState) {
  grid_->SetDefaultDrawing(false);
  int calls = 0, selected = 0;
  std::vector<String> texts;
  grid_->OnDrawColumnCell = [&](rtl::TObject*, const vcl::TRect&, int dataCol, TColumn* column, TGridDrawState st) {
    ++calls;
    if (st.Contains(gdSelected)) ++selected;
    if (dataCol == 0) texts.push_back(column->Field()->AsString());
  };
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), grid_->Width(), grid_->Height());
  HGDIOBJ old = SelectObject(dc, bmp);
  grid_->PaintTo(dc, 0, 0);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  EXPECT_EQ(calls, 3 * 2);
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(texts, (std::vector<String>{L"Ali", L"Veli", L"Zeynep"}));
}

}  // namespace
}  // namespace db

namespace db {
namespace {

TEST_F(DBControlsTest, GridCellEditorTypesIntoTheSelectedField) {
  grid_->SetOptions(grid_->Options() + dgEditing);
  SetFocus(grid_->Handle());
  SendMessageW(grid_->Handle(), WM_CHAR, L'Ö', 1);
  ASSERT_TRUE(grid_->EditorMode());
  EXPECT_EQ(table_->State(), dsEdit);
  HWND ed = grid_->InplaceEditor()->Handle();
  SendMessageW(ed, WM_CHAR, L'z', 1);
  EXPECT_EQ(WindowText(ed), L"Öz");
  SendMessageW(ed, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_FALSE(grid_->EditorMode());
  EXPECT_EQ(table_->FieldByName(L"adisoyadi")->AsString(), L"Öz");
  table_->Post();
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"adisoyadi"), L"Öz");
}

TEST_F(DBControlsTest, GridCellEditorRefusesLettersInANumberAndPostTakesItsText) {
  grid_->SetOptions(grid_->Options() + dgEditing);
  SetFocus(grid_->Handle());
  SendMessageW(grid_->Handle(), WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(grid_->SelectedField()->FieldName(), L"okulno");
  SendMessageW(grid_->Handle(), WM_CHAR, L'x', 1);
  EXPECT_FALSE(grid_->EditorMode());
  SendMessageW(grid_->Handle(), WM_CHAR, L'4', 1);
  ASSERT_TRUE(grid_->EditorMode());
  SendMessageW(grid_->InplaceEditor()->Handle(), WM_CHAR, L'2', 1);
  table_->Post();  // the open editor's text reaches the field
  EXPECT_EQ(Stored(L"ogrencigorusme", 1, L"okulno"), L"42");
}

TEST_F(DBControlsTest, GridCellEditorEscapeCancels) {
  grid_->SetOptions(grid_->Options() + dgEditing);
  SetFocus(grid_->Handle());
  SendMessageW(grid_->Handle(), WM_CHAR, L'q', 1);
  ASSERT_TRUE(grid_->EditorMode());
  SendMessageW(grid_->InplaceEditor()->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(grid_->EditorMode());
  EXPECT_EQ(table_->State(), dsBrowse);
  EXPECT_EQ(table_->FieldByName(L"adisoyadi")->AsString(), L"Ali");
}

}  // namespace
}  // namespace db

namespace db {
namespace {

TEST_F(DBControlsTest, RichEditShowsAndPostsPlainText) {
  auto* rich = Place(new TDBRichEdit(form_), 10, 250, L"adisoyadi", studentSource_);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(WindowText(rich->Handle()), L"Ece");
  TypeInto(rich->Handle(), L" Şahin");
  EXPECT_EQ(students_->State(), dsEdit);
  students_->Post();
  EXPECT_EQ(Stored(L"ogrencibilgi", 1, L"adisoyadi"), L"Ece Şahin");
}

}  // namespace
}  // namespace db
