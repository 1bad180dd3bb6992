// The data-aware grid with more columns than fit: the horizontal scroll bar, scrolling by the bar, the keyboard
// and shift with the wheel, the titles and the indicator in step with the cells, and sizing a column by dragging
// its title's right border; a cell of several lines shows them on one. Painted pixels come from a bitmap the grid
// paints its client area into.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dbtestutil.h"
#include "platform/db/dbgrids.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"

namespace db {
namespace {

// The grid's client area painted into a 32-bit bitmap.
class ClientShot {
public:
  explicit ClientShot(TDBGrid* grid) : w_(grid->ClientWidth()), h_(grid->ClientHeight()) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w_;
    bi.bmiHeader.biHeight = -h_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
    grid->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_));
    grid->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    GdiFlush();
  }
  ~ClientShot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  DWORD at(int x, int y) const { return bits_[y * w_ + x] & 0xFFFFFF; }
  // Pixels in the rectangle dark enough to be text.
  int Ink(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(h_, bottom); ++y)
      for (int x = std::max(0, left); x < std::min(w_, right); ++x) {
        DWORD v = at(x, y);
        if (((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF) < 3 * 100) ++n;
      }
    return n;
  }
  std::vector<DWORD> Strip(int left, int right) const {
    std::vector<DWORD> px;
    for (int y = 0; y < h_; ++y)
      for (int x = left; x < right; ++x) px.push_back(at(x, y));
    return px;
  }

private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

constexpr int kIndicator = 11;
constexpr int kRowHeight = 18;
// The column whose title and text the tests look for once it is scrolled to the left edge.
constexpr int kMarked = 5;

class DBGridScrollTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::wstring dir = dbtest::TempFolder();
    // The second record has text in the marked column (velicep) and nothing in the first (okulno).
    ASSERT_TRUE(dbtest::CreateDatabase(dir + L"\\tavrel.db",
                                       "insert into ogrencibilgi(okulno, adisoyadi) values ('1', 'Ali');"
                                       "insert into ogrencibilgi(okulno, velicep) values (NULL, 'MMMMMM');"
                                       "insert into ogrencibilgi(okulno, adisoyadi) values ('3', 'Veli');"));
    vcl::Application->Initialize();
    form_ = new vcl::TForm(nullptr);
    form_->SetBounds(20, 20, 700, 400);
    conn_ = new TADOConnection(form_);
    conn_->SetConnectionString(L"Data Source=" + dir + L"\\tavrel.mdb");
    conn_->SetLoginPrompt(false);
    table_ = new TADOTable(form_);
    table_->SetConnection(conn_);
    table_->SetTableName(L"ogrencibilgi");
    source_ = new TDataSource(form_);
    source_->SetDataSet(table_);
    table_->Open();
    grid_ = new TDBGrid(form_);
    grid_->SetParent(form_);
    grid_->SetBounds(10, 10, 600, 200);
    grid_->SetDataSource(source_);
    // As on the student screen: one column of width 55 for each field but the key, 48 in all.
    for (TField* f : table_->Fields()->Items()) {
      if (f->FieldName() == L"sirano") continue;
      TColumn* c = grid_->Columns()->AddColumn();
      c->SetFieldName(f->FieldName());
      c->SetWidth(55);
      c->Title()->SetCaption(grid_->Columns()->Count() - 1 == kMarked ? L"WWWWWW" : L" ");
    }
    grid_->OnTitleClick = [this](TColumn*) { ++titleClicks_; };
    form_->Show();
    vcl::Application->ProcessMessages();
  }
  void TearDown() override {
    delete form_;
    vcl::Application->ProcessMessages();
  }
  bool HasHorzBar() const { return (GetWindowLongPtrW(grid_->Handle(), GWL_STYLE) & WS_HSCROLL) != 0; }
  int BarPos() const { return GetScrollPos(grid_->Handle(), SB_HORZ); }
  void Key(WORD vk) {
    SendMessageW(grid_->Handle(), WM_KEYDOWN, vk, 1);
    SendMessageW(grid_->Handle(), WM_KEYUP, vk, 0xC0000001);
  }
  void Scroll(int code) { SendMessageW(grid_->Handle(), WM_HSCROLL, MAKEWPARAM(code, 0), 0); }
  void Wheel(int delta, WORD keys) {
    POINT p{100, 60};
    ClientToScreen(grid_->Handle(), &p);
    SendMessageW(grid_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), MAKELPARAM(p.x, p.y));
  }
  int ColumnAt(int x, int y) {
    int col = -1, row = -1;
    return grid_->CellAt(x, y, col, row) ? col : -1;
  }
  // The inside of the first data column's title and of its cell in the second record's row.
  int FirstTitleInk(const ClientShot& s) const { return s.Ink(kIndicator + 2, 2, kIndicator + 52, kRowHeight - 2); }
  int FirstCellInk(const ClientShot& s) const {
    return s.Ink(kIndicator + 2, 2 * kRowHeight + 2, kIndicator + 52, 3 * kRowHeight - 2);
  }

  vcl::TForm* form_ = nullptr;
  TADOConnection* conn_ = nullptr;
  TADOTable* table_ = nullptr;
  TDataSource* source_ = nullptr;
  TDBGrid* grid_ = nullptr;
  int titleClicks_ = 0;
};

TEST_F(DBGridScrollTest, TooManyColumnsGiveAHorizontalBarAndFewNone) {
  ASSERT_EQ(grid_->VisibleColumnCount(), 48);
  EXPECT_TRUE(HasHorzBar());
  EXPECT_EQ(grid_->LeftCol(), 0);
  EXPECT_EQ(BarPos(), 0);
  // The vertical bar stays, and the rows that show are those that fit above the horizontal one.
  EXPECT_TRUE(GetWindowLongPtrW(grid_->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(grid_->DataLink()->BufferCount(), (grid_->ClientHeight() - kRowHeight) / kRowHeight);

  // Narrow columns that all fit: no bar, nothing to scroll.
  for (int i = 0; i < grid_->Columns()->Count(); ++i) (*grid_->Columns())[i]->SetVisible(i < 3);
  vcl::Application->ProcessMessages();
  EXPECT_FALSE(HasHorzBar());
  Scroll(SB_LINERIGHT);
  EXPECT_EQ(grid_->LeftCol(), 0);

  // Widening one of them past the client area brings the bar back.
  (*grid_->Columns())[1]->SetWidth(700);
  EXPECT_TRUE(HasHorzBar());
}

TEST_F(DBGridScrollTest, ScrollingShowsALaterColumnsTitleAndTextWhereTheFirstWas) {
  ClientShot before(grid_);
  EXPECT_EQ(FirstTitleInk(before), 0);
  EXPECT_EQ(FirstCellInk(before), 0);
  EXPECT_EQ(ColumnAt(kIndicator + 20, 2 * kRowHeight + 5), 0);

  for (int i = 0; i < kMarked; ++i) Scroll(SB_LINERIGHT);
  EXPECT_EQ(grid_->LeftCol(), kMarked);
  EXPECT_EQ(BarPos(), kMarked);
  EXPECT_EQ(ColumnAt(kIndicator + 20, 2 * kRowHeight + 5), kMarked);
  EXPECT_EQ(ColumnAt(kIndicator + 20, 5), kMarked);  // the title row too
  EXPECT_EQ(ColumnAt(kIndicator - 3, 2 * kRowHeight + 5), -1);
  ClientShot after(grid_);
  EXPECT_GT(FirstTitleInk(after), 20);
  EXPECT_GT(FirstCellInk(after), 20);
  // The indicator does not move: its pixels are the same as before the scroll.
  EXPECT_EQ(before.Strip(0, kIndicator), after.Strip(0, kIndicator));

  Scroll(SB_LINELEFT);
  EXPECT_EQ(grid_->LeftCol(), kMarked - 1);
  Scroll(SB_LEFT);
  EXPECT_EQ(grid_->LeftCol(), 0);
}

TEST_F(DBGridScrollTest, TheBarScrollsByLinePageAndToTheEnd) {
  int perPage = (grid_->ClientWidth() - kIndicator) / 55;
  Scroll(SB_PAGERIGHT);
  EXPECT_EQ(grid_->LeftCol(), perPage);
  Scroll(SB_PAGELEFT);
  EXPECT_EQ(grid_->LeftCol(), 0);
  Scroll(SB_RIGHT);
  // At the far end the last column ends inside the client area and no further scrolling is possible.
  int last = grid_->LeftCol();
  EXPECT_EQ(last, 48 - perPage);
  EXPECT_EQ(BarPos(), last);
  EXPECT_EQ(ColumnAt(kIndicator + perPage * 55 - 1, 5), 47);
  EXPECT_EQ(ColumnAt(kIndicator + perPage * 55 + 1, 5), -1);
  Scroll(SB_LINERIGHT);
  Scroll(SB_PAGERIGHT);
  EXPECT_EQ(grid_->LeftCol(), last);
  // Narrowing the grid keeps the position in range; widening it to show everything brings it back to 0.
  grid_->SetBounds(10, 10, 48 * 55 + 80, 200);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(grid_->LeftCol(), 0);
  EXPECT_FALSE(HasHorzBar());
}

TEST_F(DBGridScrollTest, MovingTheSelectionOutOfViewScrollsItIn) {
  grid_->SetFocus();
  Key(VK_END);
  EXPECT_EQ(grid_->SelectedIndex(), 47);
  EXPECT_GT(grid_->LeftCol(), 0);
  EXPECT_EQ(BarPos(), grid_->LeftCol());
  // The selected column is wholly in view at the right edge.
  int perPage = (grid_->ClientWidth() - kIndicator) / 55;
  EXPECT_EQ(grid_->LeftCol(), 48 - perPage);
  EXPECT_EQ(ColumnAt(kIndicator + perPage * 55 - 1, 5), 47);
  Key(VK_HOME);
  EXPECT_EQ(grid_->SelectedIndex(), 0);
  EXPECT_EQ(grid_->LeftCol(), 0);
  // Step by step to the right: the view follows as soon as the selection leaves it.
  for (int i = 0; i < perPage; ++i) Key(VK_RIGHT);
  EXPECT_EQ(grid_->SelectedIndex(), perPage);
  EXPECT_EQ(grid_->LeftCol(), 1);
  for (int i = 0; i < perPage; ++i) Key(VK_LEFT);
  EXPECT_EQ(grid_->SelectedIndex(), 0);
  EXPECT_EQ(grid_->LeftCol(), 0);
}

TEST_F(DBGridScrollTest, ShiftWheelScrollsColumnsAndThePlainWheelOnlyMovesTheRecord) {
  Wheel(-120, MK_SHIFT);
  Wheel(-120, MK_SHIFT);
  EXPECT_EQ(grid_->LeftCol(), 2);
  EXPECT_EQ(table_->RecNo(), 1);
  Wheel(120, MK_SHIFT);
  EXPECT_EQ(grid_->LeftCol(), 1);
  Wheel(-120, 0);
  Wheel(-120, 0);
  Wheel(-120, 0);
  Wheel(-120, 0);
  EXPECT_EQ(grid_->LeftCol(), 1);
  EXPECT_EQ(table_->RecNo(), 3);
  EXPECT_EQ(table_->RecordCount(), 3);
  EXPECT_EQ(table_->State(), dsBrowse);
}

TEST_F(DBGridScrollTest, DraggingATitlesRightBorderSetsTheColumnsWidth) {
  HWND h = grid_->Handle();
  TColumn* first = (*grid_->Columns())[0];
  int border = kIndicator + 55;
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border - 1, 8));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(border + 10, 8));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(border + 29, 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(border + 29, 8));
  EXPECT_EQ(first->Width(), 85);
  EXPECT_EQ(titleClicks_, 0);
  EXPECT_EQ(ColumnAt(kIndicator + 80, 2 * kRowHeight + 5), 0);
  EXPECT_EQ(ColumnAt(kIndicator + 90, 2 * kRowHeight + 5), 1);
  // Moving the mouse after the button is up changes nothing.
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(border + 60, 8));
  EXPECT_EQ(first->Width(), 85);

  // Dragged far to the left the column keeps a width that can still be grabbed.
  border = kIndicator + 85;
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border, 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(0, 8));
  EXPECT_GE(first->Width(), 4);
  EXPECT_LT(first->Width(), 20);

  // A column scrolled in from the right is sized the same way.
  Scroll(SB_LINERIGHT);
  Scroll(SB_LINERIGHT);
  TColumn* third = (*grid_->Columns())[2];
  border = kIndicator + 55;
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border + 1, 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(border - 14, 8));
  EXPECT_EQ(third->Width(), 40);

  // A press inside a title is a title click, not a drag.
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kIndicator + 20, 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(kIndicator + 60, 8));
  EXPECT_EQ(third->Width(), 40);
  EXPECT_EQ(titleClicks_, 1);

  // Without dgColumnResize the border is just part of the title.
  TDBGridOptions o = grid_->Options();
  o -= dgColumnResize;
  grid_->SetOptions(o);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border - 1, 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(border + 30, 8));
  EXPECT_EQ(third->Width(), 40);
  EXPECT_EQ(titleClicks_, 2);
}

TEST_F(DBGridScrollTest, TheEditorGoesAlongWithItsCellAndKeepsWhatWasTypedWhenTheCellScrollsAway) {
  grid_->SetFocus();
  Key(VK_RIGHT);
  Key(VK_F2);
  ASSERT_TRUE(grid_->EditorMode());
  HWND editor = grid_->InplaceEditor()->Handle();
  SendMessageW(editor, EM_SETSEL, 0, -1);
  for (wchar_t ch : String(L"12345")) SendMessageW(editor, WM_CHAR, ch, 1);
  // One column to the right: the edited column is now the first one, and the editor sits over it.
  Scroll(SB_LINERIGHT);
  ASSERT_TRUE(grid_->EditorMode());
  EXPECT_EQ(grid_->InplaceEditor()->Left(), kIndicator);
  // Another: the edited column leaves the view, the editor closes, the text is in the field.
  Scroll(SB_LINERIGHT);
  EXPECT_FALSE(grid_->EditorMode());
  EXPECT_EQ(table_->State(), dsEdit);
  EXPECT_EQ(table_->FieldByName(L"tcno")->AsString(), L"12345");
}

TEST_F(DBGridScrollTest, ADraggedWidthOfAFieldColumnSurvivesMovingThroughTheRecords) {
  // No declared columns: one per field, made by the grid.
  grid_->Columns()->Clear();
  ASSERT_EQ(grid_->VisibleColumnCount(), 49);
  int before = grid_->VisibleColumn(0)->Width();
  int border = kIndicator + before;
  HWND h = grid_->Handle();
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border - 1, 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(border + 19, 8));
  EXPECT_EQ(grid_->VisibleColumn(0)->Width(), before + 20);
  table_->Next();
  table_->Last();
  table_->First();
  EXPECT_EQ(grid_->VisibleColumn(0)->Width(), before + 20);
}

// A memo's text in a cell: its line breaks are blanks, not the font's boxes for control characters.
TEST_F(DBGridScrollTest, ACellShowsSeveralLinesOnOne) {
  EXPECT_EQ(TDBGrid::OneLine(L"Gevşeme\r\nİkinci\ngün\rsonra\tbitti"), L"Gevşeme İkinci gün sonra bitti");
  table_->Next();  // the second record's first column is empty
  table_->Edit();
  table_->FieldByName(L"okulno")->SetAsString(L"\r\n\t\r\n");
  table_->Post();
  table_->First();
  ClientShot shot(grid_);
  EXPECT_EQ(FirstCellInk(shot), 0);
}

}  // namespace
}  // namespace db
