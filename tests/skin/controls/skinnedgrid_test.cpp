// The skinned bound grid, bound combo box and combo edit over a real database file with Turkish text, with each test
// skin active and without a skin: the grid's titles of several levels (groups spanning their columns, a one-level
// caption running down over both rows), the skinned cells and indicator, the unskinned grid looking exactly as the
// platform's; arrow keys moving the grid's record and the wheel storing nothing; the combo box picking with keys and
// storing to the field, read back from the file; the combo edit's button and its click key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sDBComboBox.h"
#include "skin/controls/sDBGrid.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/windows/lvSBUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/paths.h"
#include "tests/common/text.h"
#include "tests/common/wait.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using rtl::String;

namespace {

using ctltest::Pixel;
using ctltest::Shot;
using ctltest::SkinCase;

void PostKey(HWND wnd, WPARAM key) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), 0);
  PostMessageW(wnd, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(wnd, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

// The wheel turned one notch over a window (delta 120 up, -120 down), the cursor at its centre.
void Wheel(HWND wnd, int delta) {
  RECT r;
  GetWindowRect(wnd, &r);
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), at);
}


class SkinnedGrid : public ctltest::SkinnedFormTest {
 protected:
  SkinnedGrid() : SkinnedFormTest(560, 400) {}
  void SetUp() override {
    dir_ = dbtest::TempFolder();
    file_ = dir_ + L"\\tavrel.db";
    std::string error;
    ASSERT_TRUE(dbtest::CreateDatabase(
        file_,
        "insert into ogrencibilgi(okulno, adisoyadi, sinif, sube) values ('1', 'Ayşe Çelik', '9', 'A');"
        "insert into ogrencibilgi(okulno, adisoyadi, sinif, sube) values ('2', 'İsmail Işık', '10', 'Ç');"
        "insert into ogrencibilgi(okulno, adisoyadi, sinif, sube) values ('3', 'Gülşen Öztürk', '11', 'Ş');"
        "insert into ogrencibilgi(okulno, adisoyadi, sinif, sube) values ('4', 'Ümit Ağaoğlu', '12', 'Ğ');"
        "insert into ogrencibilgi(okulno, adisoyadi, sinif, sube) values ('5', 'Irmak Ilıcak', '9', 'B');",
        &error))
        << error;
    SkinnedFormTest::SetUp();
    if (HasFatalFailure()) return;
    const dbtest::TableOnFile t = dbtest::TableOn(form, dir_, L"ogrencibilgi");
    conn = t.conn;
    table = t.table;
    source = t.source;
  }
  template <class T>
  T* Put(int left, int top, int width, int height) {
    auto* c = Create<T>(form);
    c->SetParent(form);
    c->SetBounds(left, top, width, height);
    return c;
  }
  // A grid with two title levels: "Öğrenci" over number and name, "Sınıf" one level over both rows, "Şube|Ad".
  TsDBGrid* MakeGrid(int top) {
    auto* g = Put<TsDBGrid>(10, top, 520, 150);
    struct Col {
      const wchar_t* field;
      const wchar_t* caption;
      int width;
    } cols[] = {{L"okulno", L"Öğrenci|No", 50},
                {L"adisoyadi", L"Öğrenci|Adı Soyadı", 150},
                {L"sinif", L"Sınıf", 60},
                {L"sube", L"Şube|Ad", 60}};
    for (const Col& c : cols) {
      auto* col = static_cast<TlvDBColumn*>(g->Columns()->AddColumn());
      col->SetFieldName(c.field);
      col->Title()->SetCaption(c.caption);
      col->SetWidth(c.width);
    }
    g->SetDataSource(source);
    return g;
  }
  String Stored(const std::string& sql) { return testutil::Wide(testutil::QueryText(file_, sql)); }

  std::wstring dir_, file_;
  db::TADOConnection* conn = nullptr;
  db::TADOTable* table = nullptr;
  db::TDataSource* source = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedGrid,
                         ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"},
                                           SkinCase{nullptr, "plain"}),
                         [](const auto& info) { return std::string(info.param.file); });

TEST_P(SkinnedGrid, TitlesOfTwoLevelsGroupTheirColumns) {
  TsDBGrid* grid = MakeGrid(10);
  table->Open();
  Show();
  ASSERT_EQ(grid->SkinData()->Skinned(), Skinned());
  EXPECT_EQ(grid->HeaderHeight(), 2);
  const int rh = grid->DefaultRowHeight();
  // "Öğrenci" spans number and name at level 0; below, each column is a cell of its own.
  EXPECT_EQ(grid->GetRightColIndex(0, 0), 1);
  EXPECT_EQ(grid->GetRightColIndex(0, 1), 0);
  EXPECT_EQ(grid->GetRightColIndex(2, 0), 2);
  EXPECT_EQ(grid->GetTitleLevel(1).Top, rh + 1);

  Shot shot(grid->Handle());
  shot.Save(Name("grid-titles"));
  const int nameLeft = 11 + 50;  // indicator + first column
  const int mid0 = rh / 2;
  // No border between the two columns of the group in the upper row: the pixel on the columns' border is the
  // group's own background, as a little to its right; in the lower row the border is there.
  const std::uint32_t groupBg = shot.at(nameLeft + 100, mid0 + 3);
  EXPECT_EQ(shot.at(nameLeft - 1, mid0 + 3), groupBg);
  EXPECT_EQ(shot.at(nameLeft + 2, mid0 + 3), groupBg);
  // The group's text is written once, from its first column; the one-level "Sınıf" runs down over both rows.
  EXPECT_FALSE(shot.RowsPlain(TRect(14, 2, 60, rh - 2)));
  EXPECT_TRUE(shot.RowsPlain(TRect(nameLeft + 60, 2, nameLeft + 140, rh - 2)));
  const int classLeft = nameLeft + 150;
  EXPECT_TRUE(shot.Ink(TRect(classLeft + 2, 2, classLeft + 50, rh), shot.at(classLeft + 55, rh + 5)));
  const std::uint32_t classBg = shot.at(classLeft + 55, rh / 2);
  if (Skinned()) {
    // The title groups come from the column-header section, painted alone over the group's rectangle.
    int section = manager->ConstData.Sections[ssColHeader];
    if (!manager->IsValidSkinIndex(section)) section = manager->ConstData.Sections[ssButton];
    ASSERT_TRUE(manager->IsValidSkinIndex(section));
    const int gw = 50 + 150 + 1, gh = rh + 1;
    auto want = CreateBmp32(gw, gh);
    TCacheInfo ci;
    ci.FillColor = ColorToRGB(grid->Color());
    PaintItem(section, ci, true, 0, Rect(0, 0, gw, gh), TPoint(0, 0), want.get(), manager);
    for (TPoint p : {TPoint(gw - 20, gh / 2), TPoint(gw / 2 + 30, 3)})
      EXPECT_EQ(shot.at(11 + p.X, p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
    // The cells take the skin's edit colour; the current row's cell is highlighted.
    const int row2 = grid->TitleHeight() + rh + rh / 2;
    EXPECT_EQ(shot.at(classLeft + 55, row2), sctrl::PixelOf(grid->Color()));
    const int row1 = grid->TitleHeight() + rh / 2;
    EXPECT_NE(shot.at(nameLeft - 3, row1), shot.at(nameLeft - 3, row2));
    // The indicator marks the current record.
    EXPECT_TRUE(shot.Ink(TRect(1, grid->TitleHeight() + 2, 10, grid->TitleHeight() + rh - 2),
                         shot.at(1, grid->TitleHeight() + rh + 2)));
  } else {
    EXPECT_EQ(classBg, sctrl::PixelOf(ColorToRGB(clBtnFace)));
  }
}

TEST_P(SkinnedGrid, CaptionLevelsAndTheirGroupsFollowTheRules) {
  EXPECT_EQ(GetCaptionDepth(L"", L'|'), 0);
  EXPECT_EQ(GetCaptionDepth(L"A||B", L'|'), 3);
  EXPECT_EQ(GetCaptionLevel(L"Öğrenci|Adı", 1, L'|'), L"Adı");
  EXPECT_EQ(GetCaptionLevel(L"A||B", 1, L'|'), L"");
  EXPECT_EQ(GetCaptionLevel(L"A||B", 2, L'|'), L"B");
  EXPECT_EQ(GetCaptionLevel(L"A", 1, L'|'), L"");
  struct Case {
    const wchar_t* left;
    const wchar_t* right;
    bool grouped;
  } cases[] = {{L"A|X", L"A|Y", true},  {L"A|X", L"a|Y", true}, {L"Ä|X", L"ä|Y", false}, {L"İ|X", L"i|Y", false},
               {L"I|X", L"ı|Y", false}, {L"A", L"A|Y", false},  {L"A|X", L"B|X", false}, {L"Öğr|X", L"ÖĞR|Y", false}};
  auto* grid = Put<TsDBGrid>(10, 10, 300, 100);
  auto* a = static_cast<TlvDBColumn*>(grid->Columns()->AddColumn());
  auto* b = static_cast<TlvDBColumn*>(grid->Columns()->AddColumn());
  a->SetFieldName(L"okulno");
  b->SetFieldName(L"adisoyadi");
  for (const Case& c : cases) {
    a->Title()->SetCaption(c.left);
    b->Title()->SetCaption(c.right);
    EXPECT_EQ(grid->GetRightColIndex(0, 0) == 1, c.grouped) << String(c.left) << " " << String(c.right);
    EXPECT_EQ(grid->HeaderHeight(), 2);
  }
  // A field's own name as the caption is one level; so is a changed delimiter until the next layout change.
  a->Title()->SetCaption(L"okulno");
  b->Title()->SetCaption(L"adisoyadi");
  EXPECT_EQ(grid->HeaderHeight(), 1);
  EXPECT_EQ(grid->TitleHeight(), grid->DefaultRowHeight());
  b->Title()->SetCaption(L"Öğrenci/Adı");
  EXPECT_EQ(grid->HeaderHeight(), 1);
  grid->SetLevelDelimiterChar(L'/');
  EXPECT_EQ(grid->HeaderHeight(), 1);
  b->Title()->SetCaption(L"Öğrenci/Adı/Soyadı");
  EXPECT_EQ(grid->HeaderHeight(), 3);
  EXPECT_EQ(grid->TitleHeight(), (grid->DefaultRowHeight() + 1) * 3 - 1);
  // A column's width never goes below its minimum.
  a->SetMinWidth(40);
  a->SetWidth(10);
  EXPECT_EQ(a->Width(), 40);
}

// Without a skin, or once the skin is taken away, a grid of one-level titles is pixel for pixel the platform's.
TEST_P(SkinnedGrid, WithoutASkinOneLevelTitlesLookAsThePlatformGrid) {
  auto* ours = Put<TsDBGrid>(10, 10, 420, 150);
  auto* theirs = Put<db::TDBGrid>(10, 200, 420, 150);
  for (db::TDBGrid* g : {static_cast<db::TDBGrid*>(ours), theirs}) {
    for (const wchar_t* f : {L"okulno", L"adisoyadi", L"sinif"}) {
      db::TColumn* c = g->Columns()->AddColumn();
      c->SetFieldName(f);
      c->Title()->SetCaption(f);
      c->SetWidth(100);
    }
    g->SetDataSource(source);
    g->SetColor(clWhite);
  }
  table->Open();
  table->SetRecNo(3);
  Show();
  auto differing = [&](const Shot& a, const Shot& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += a.at(x, y) != b.at(x, y);
    return n;
  };
  if (Skinned()) {
    EXPECT_GT(differing(Shot(ours->Handle()), Shot(theirs->Handle())), 0);
    manager->SetActive(false);
    ours->SetColor(clWhite);
    Settle();
    EXPECT_FALSE(ours->SkinData()->Skinned());
  }
  Shot a(ours->Handle()), b(theirs->Handle());
  a.Save(Name("grid-platform-look"));
  ASSERT_EQ(a.Width(), b.Width());
  EXPECT_EQ(differing(a, b), 0);
}

TEST_P(SkinnedGrid, CellEventsChangeTheTextAndTheBackground) {
  TsDBGrid* grid = MakeGrid(10);
  std::vector<String> asked;
  grid->OnGetCellText = [&](rtl::TObject*, db::TField* f, String& text) {
    if (f->FieldName() == L"sube") text = L"Şube " + text;
  };
  grid->OnGetCellParams = [&](rtl::TObject*, db::TField* f, TFont* font, TColor& background, db::TGridDrawState,
                              TGridDrawStateEx) {
    if (f->FieldName() == L"sinif" && f->AsString() == L"12") {
      background = clYellow;
      font->SetColor(clRed);
    }
  };
  table->Open();
  Show();
  Shot shot(grid->Handle());
  shot.Save(Name("grid-cell-events"));
  const int rh = grid->DefaultRowHeight();
  const int classLeft = 11 + 50 + 150;
  const int row4 = grid->TitleHeight() + 3 * rh;  // Ümit Ağaoğlu, class 12
  EXPECT_EQ(shot.at(classLeft + 50, row4 + rh / 2), sctrl::PixelOf(ColorToRGB(clYellow)));
  EXPECT_NE(shot.at(classLeft + 50, row4 - rh / 2), sctrl::PixelOf(ColorToRGB(clYellow)));
  // Red text on the yellow cell; the branch column carries its longer text.
  bool red = false;
  for (int x = classLeft + 2; x < classLeft + 20 && !red; ++x)
    for (int y = row4 + 2; y < row4 + rh - 2 && !red; ++y) red = shot.at(x, y) == sctrl::PixelOf(ColorToRGB(clRed));
  EXPECT_TRUE(red);
  const int branchLeft = classLeft + 60;
  EXPECT_FALSE(shot.RowsPlain(TRect(branchLeft + 30, row4 + 2, branchLeft + 55, row4 + rh - 3)));
}

TEST_P(SkinnedGrid, DoubleClickOnATitleBorderFitsTheColumnToItsTexts) {
  TsDBGrid* grid = MakeGrid(10);
  table->Open();
  Show();
  // The widest name of the records in view, in the grid's font.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, grid->Font()->Handle());
  int widest = 0;
  for (const wchar_t* name : {L"Ayşe Çelik", L"İsmail Işık", L"Gülşen Öztürk", L"Ümit Ağaoğlu", L"Irmak Ilıcak"}) {
    SIZE size{};
    GetTextExtentPoint32W(dc, name, static_cast<int>(wcslen(name)), &size);
    widest = std::max<int>(widest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  table->SetRecNo(4);
  const int border = 11 + 50 + 150;  // the name column's right edge
  const LPARAM at = MAKELPARAM(border, grid->DefaultRowHeight() + 4);
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, at);
  SendMessageW(grid->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, at);
  Application->ProcessMessages();
  EXPECT_TRUE(grid->ColumnFitted());
  EXPECT_EQ(grid->Columns()->Items(1)->Width(), widest + 4);
  // The record the user was on stays current, and the other columns keep their widths.
  EXPECT_EQ(table->RecNo(), 4);
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 50);
  EXPECT_EQ(grid->Columns()->Items(2)->Width(), 60);
}

// While a skin is active the grid keeps a live window wrapper for its frame and scroll bars; removing the skin
// frees it, and a cell typed into still reaches the file.
TEST_P(SkinnedGrid, KeepsAWindowWrapperOnlyWhileSkinnedAndStillEdits) {
  TsDBGrid* grid = MakeGrid(10);
  table->Open();
  Show();
  auto typeName = [&](const String& text) {
    table->First();
    grid->SetFocus();
    grid->SetSelectedIndex(1);
    SendMessageW(grid->Handle(), WM_KEYDOWN, VK_F2, 1);
    SendMessageW(grid->Handle(), WM_KEYUP, VK_F2, 0xC0000001);
    ASSERT_TRUE(grid->EditorMode());
    HWND editor = grid->InplaceEditor()->Handle();
    SendMessageW(editor, EM_SETSEL, 0, -1);
    for (wchar_t ch : text) SendMessageW(editor, WM_CHAR, ch, 1);
    table->Post();
    EXPECT_EQ(Stored("select adisoyadi from ogrencibilgi where okulno = '1'"), text);
  };
  if (Skinned()) {
    ASSERT_TRUE(testutil::PumpUntil([&] { return grid->ListSW != nullptr; }, 5000));
    EXPECT_FALSE(grid->ListSW->Destroyed);
    // Hidden and shown again, the grid keeps its one wrapper.
    TlvScrollWnd* before = grid->ListSW;
    grid->SetVisible(false);
    grid->SetVisible(true);
    Settle();
    EXPECT_EQ(grid->ListSW, before);
    typeName(L"Şükrü Ilgın");
    manager->SetActive(false);
    EXPECT_TRUE(testutil::PumpUntil([&] { return grid->ListSW == nullptr; }, 5000));
    Settle();
    EXPECT_EQ(ColorToRGB(grid->Color()), ColorToRGB(clWindow));
  }
  EXPECT_EQ(grid->ListSW, nullptr);
  typeName(L"Gülay Öğüt");
  EXPECT_EQ(grid->ListSW, nullptr);
}

// The scroll bars report their use (1 vertical, 0 horizontal) and the rows report moving with the dataset.
TEST_P(SkinnedGrid, ScrollBarsAndRecordMovesRaiseTheScrollEvents) {
  TsDBGrid* grid = MakeGrid(10);
  std::vector<unsigned> bars;
  int moved = 0;
  grid->OnAfterScroll = [&](TObject* sender, unsigned bar) {
    EXPECT_EQ(sender, grid);
    bars.push_back(bar);
  };
  grid->OnScrollData = [&](TObject* sender) {
    EXPECT_EQ(sender, grid);
    ++moved;
  };
  table->Open();
  Show();
  moved = 0;
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(table->RecNo(), 2);
  EXPECT_EQ(bars, std::vector<unsigned>{1});
  EXPECT_GE(moved, 1);
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(table->RecNo(), 5);
  SendMessageW(grid->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(bars, (std::vector<unsigned>{1, 1, 0}));
  const int before = moved;
  table->First();
  EXPECT_GT(moved, before);
  EXPECT_EQ(table->State(), db::dsBrowse);
}

// WM_PRINT of a skinned grid goes through its window wrapper (made for it when the grid has none yet): the print
// carries the skinned frame as the screen shows it, and the rows.
TEST_P(SkinnedGrid, PrintingGoesThroughTheWrapperWithItsFrame) {
  TsDBGrid* grid = MakeGrid(10);
  table->Open();
  // A window that was never shown has no wrapper yet.
  grid->HandleNeeded();
  EXPECT_EQ(grid->ListSW, nullptr);
  const int w = grid->Width(), h = grid->Height();
  auto print = [&] {
    auto bmp = CreateBmp32(w, h);
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, w, h), clFuchsia);
    SendMessageW(grid->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    GdiFlush();
    return bmp;
  };
  auto first = print();
  EXPECT_EQ(grid->ListSW != nullptr, Skinned());
  Show();
  const Shot printed(print());
  printed.Save(Name("grid-printed"));
  // The screen's picture of the whole window.
  RECT wr;
  GetWindowRect(grid->Handle(), &wr);
  const Shot screen(ctltest::ScreenPixels(wr.left, wr.top, w, h));
  // All five records fit: the vertical bar has nothing to scroll. Its strip (at most 24 pixels inside the right
  // edge) is left to the wrapper's bar painting, which does not paint a bar without range into a print.
  int differ = 0, unprinted = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w - 24; ++x) {
      differ += printed.at(x, y) != screen.at(x, y);
      unprinted += printed.at(x, y) == 0xFF00FFu;
    }
  if (Skinned()) {
    // The frame too: nothing else left unpainted, and the frame's ring as on the screen.
    EXPECT_EQ(unprinted, 0);
    int ring = 0;
    for (int x = 0; x < w; ++x) ring += printed.at(x, 0) != screen.at(x, 0);
    for (int y = 0; y < h; ++y) ring += printed.at(0, y) != screen.at(0, y);
    EXPECT_LE(ring, 4);
    EXPECT_LT(differ, w * h / 20) << differ;
    // The first print, made before the grid was shown, painted the frame as well.
    int firstUnprinted = 0;
    for (int x = 0; x < w; ++x) firstUnprinted += Pixel(first.get(), x, 0) == 0xFF00FFu;
    EXPECT_EQ(firstUnprinted, 0);
  }
  // The rows are in the print: the first name's row has ink in the name column, on the rows' background.
  const int rowTop = grid->TitleHeight() + 4;
  EXPECT_TRUE(printed.Ink(TRect(60, rowTop, 200, rowTop + 10), printed.at(w - 40, h - 30)));
}

TEST_P(SkinnedGrid, ArrowKeysMoveTheRecordAndTheWheelStoresNothing) {
  TsDBGrid* grid = MakeGrid(10);
  table->Open();
  Show();
  const String before = Stored("select group_concat(okulno || adisoyadi || sinif || sube, ';') from ogrencibilgi");
  grid->SetFocus();
  PostKey(grid->Handle(), VK_DOWN);
  PostKey(grid->Handle(), VK_DOWN);
  EXPECT_TRUE(testutil::PumpUntil([&] { return table->RecNo() == 3; })) << table->RecNo();
  PostKey(grid->Handle(), VK_UP);
  EXPECT_TRUE(testutil::PumpUntil([&] { return table->RecNo() == 2; })) << table->RecNo();
  // The wheel moves one record a notch and never puts the table into editing.
  Wheel(grid->Handle(), -120);
  Application->ProcessMessages();
  EXPECT_EQ(table->RecNo(), 3);
  Wheel(grid->Handle(), 120);
  Wheel(grid->Handle(), 120);
  Application->ProcessMessages();
  EXPECT_EQ(table->RecNo(), 1);
  EXPECT_EQ(table->State(), db::dsBrowse);
  Settle();
  Shot shot(grid->Handle());
  shot.Save(Name("grid-moved"));
  EXPECT_EQ(Stored("select group_concat(okulno || adisoyadi || sinif || sube, ';') from ogrencibilgi"), before);
}

TEST_P(SkinnedGrid, ComboBoxPicksWithKeysStoresToTheFieldAndIgnoresTheWheel) {
  auto* combo = Put<TsDBComboBox>(10, 10, 120, 21);
  for (const wchar_t* s : {L"9", L"10", L"11", L"12", L"Hazırlık"}) combo->Items()->Add(s);
  combo->SetDataSource(source);
  combo->SetDataField(L"sinif");
  auto* other = Put<TsDBComboBox>(200, 10, 120, 21);
  other->Items()->Add(L"Ş");
  other->SetDataSource(source);
  other->SetDataField(L"sube");
  table->Open();
  table->SetRecNo(2);
  Show();
  ASSERT_EQ(combo->SkinData()->Skinned(), Skinned());
  EXPECT_EQ(combo->OwnerDrawn(), Skinned());
  EXPECT_EQ(combo->Text(), L"10");

  // The wheel over the closed combo, and over its edit part, changes neither the text nor the record.
  HWND edit = FindWindowExW(combo->Handle(), nullptr, L"Edit", nullptr);
  for (HWND w : {combo->Handle(), edit})
    for (int delta : {-120, 120, -120}) Wheel(w, delta);
  Application->ProcessMessages();
  EXPECT_EQ(combo->Text(), L"10");
  EXPECT_EQ(table->State(), db::dsBrowse);

  Shot closed(form->Handle());
  closed.Save(Name("dbcombo-closed"));
  if (Skinned()) {
    // The frame comes from the combo's section painted over the form.
    EXPECT_EQ(manager->gd[static_cast<size_t>(combo->SkinData()->SkinIndex)].ClassName, L"COMBOBOX");
    TCacheInfo ci;
    ASSERT_TRUE(sctrl::ParentCI(combo, ci));
    auto want = CreateBmp32(combo->Width(), combo->Height());
    PaintItem(combo->SkinData()->SkinIndex, ci, true, 0, Rect(0, 0, combo->Width(), combo->Height()),
              TPoint(combo->Left(), combo->Top()), want.get(), manager);
    for (TPoint p : {TPoint(1, 10), TPoint(40, 1), TPoint(40, 19)})
      EXPECT_EQ(closed.at(other->Left() + p.X, other->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  // The button shows an arrow: ink in the button's middle.
  const TRect br = combo->ButtonRect();
  EXPECT_TRUE(
      closed.Ink(TRect(combo->Left() + br.Left + 2, combo->Top() + 6, combo->Left() + br.Right - 2, combo->Top() + 15),
                 closed.at(combo->Left() + br.Left + 2, combo->Top() + 4)));

  // Dropped down, arrow keys move the choice and Enter takes it; the record stores it.
  combo->SetFocus();
  combo->SetDroppedDown(true);
  ASSERT_TRUE(testutil::PumpUntil([&] { return combo->DroppedDown(); }));
  if (Skinned()) {
    EXPECT_TRUE(testutil::PumpUntil([&] { return combo->ListHandle() != nullptr; }));
  }
  Settle();
  Shot open(form->Handle());
  open.Save(Name("dbcombo-dropped"));
  PostKey(edit, VK_DOWN);
  PostKey(edit, VK_DOWN);
  PostKey(edit, VK_RETURN);
  EXPECT_TRUE(testutil::PumpUntil([&] { return !combo->DroppedDown() && combo->Text() == L"12"; })) << combo->Text();
  EXPECT_EQ(table->State(), db::dsEdit);
  table->Post();
  EXPECT_EQ(Stored("select sinif from ogrencibilgi where okulno = '2'"), L"12");
  // Reloaded from the file, the choice is still there.
  table->Close();
  table->Open();
  table->SetRecNo(2);
  Application->ProcessMessages();
  EXPECT_EQ(combo->Text(), L"12");
  EXPECT_EQ(other->Text(), L"Ç");
}

TEST_P(SkinnedGrid, LongItemTextsAreReadWhole) {
  auto* combo = Put<TsDBComboBox>(10, 10, 160, 21);
  combo->SetStyle(csDropDownList);
  const String longText = String(5000, L'ş') + L"son";
  combo->Items()->Add(L"kısa");
  combo->Items()->Add(longText);
  Show();
  EXPECT_EQ(combo->ItemText(1), longText);
  EXPECT_EQ(combo->ItemText(0), L"kısa");
  EXPECT_EQ(combo->ItemText(7), L"");
  // Shown in the edit area and in the open list without harm.
  combo->SetItemIndex(1);
  combo->SetDroppedDown(true);
  ASSERT_TRUE(testutil::PumpUntil([&] { return combo->DroppedDown(); }));
  Settle();
  combo->SetDroppedDown(false);
  Settle();
  EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_P(SkinnedGrid, ComboBoxRescaledKeepsItsFieldAndRemakesItsWindowOncePerFactor) {
  auto* combo = Put<TsDBComboBox>(10, 10, 120, 21);
  for (const wchar_t* s : {L"9", L"10", L"11", L"12"}) combo->Items()->Add(s);
  combo->SetDataSource(source);
  combo->SetDataField(L"sinif");
  table->Open();
  table->SetRecNo(3);
  Show();
  HWND first = combo->Handle();
  combo->ChangeScale(3, 2);
  EXPECT_TRUE(testutil::PumpUntil([&] { return combo->Handle() != first && combo->Text() == L"11"; }));
  EXPECT_EQ(combo->Width(), 180);
  EXPECT_EQ(combo->ActM(), 3);
  EXPECT_EQ(combo->ActD(), 2);
  // The same pair again scales the bounds but keeps the window.
  HWND second = combo->Handle();
  combo->ChangeScale(3, 2);
  Settle();
  EXPECT_EQ(combo->Handle(), second);
  EXPECT_EQ(combo->Width(), 270);
  EXPECT_EQ(combo->OwnerDrawn(), Skinned());
  // Still bound: the next record shows its class.
  table->Next();
  EXPECT_TRUE(testutil::PumpUntil([&] { return combo->Text() == L"12"; })) << combo->Text();
}

// A combo edit whose popup is a small window of its own.
class PopupComboEdit : public TsCustomComboEdit {
 public:
  explicit PopupComboEdit(TComponent* owner) : TsCustomComboEdit(owner) {
    popup = new TForm(this);
    popup->SetBorderStyle(bsNone);
    popup->SetBounds(0, 0, PopupWidth(), 60);
  }
  void PopupWindowShow() override {
    if (!DroppedDown() && !ReadOnly()) ShowPopupAt(popup);
  }
  TForm* popup;
};

TEST_P(SkinnedGrid, ComboEditButtonDropsThePopupByClickKeyUnlessReadOnly) {
  auto* edit = Put<PopupComboEdit>(10, 10, 160, 21);
  edit->SetText(L"Çarşamba");
  auto* off = Put<PopupComboEdit>(10, 50, 160, 21);
  off->SetText(L"Perşembe");
  off->SetEnabled(false);
  auto* idle = Put<PopupComboEdit>(10, 90, 160, 21);
  idle->SetText(L"Cuma");
  int clicks = 0;
  edit->OnButtonClick = [&](rtl::TObject*) { ++clicks; };
  Show();
  ASSERT_EQ(edit->SkinData()->Skinned(), Skinned());
  Shot shot(form->Handle());
  shot.Save(Name("comboedit"));
  TsEditButton* b = edit->Button();
  ASSERT_TRUE(b->Visible());
  POINT origin{0, 0};
  MapWindowPoints(b->Handle(), form->Handle(), &origin, 1);
  // The arrow sits in the button's middle: ink there against its edge.
  EXPECT_TRUE(shot.Ink(TRect(origin.x + 3, origin.y + 5, origin.x + b->Width() - 3, origin.y + b->Height() - 5),
                       shot.at(origin.x + 1, origin.y + 2)));
  if (Skinned()) {
    // An edit nobody touched shows its section's frame; the disabled one is blended with the form.
    for (PopupComboEdit* e : {idle, off}) {
      TCacheInfo ci;
      ASSERT_TRUE(sctrl::ParentCI(e, ci));
      auto want = CreateBmp32(e->Width(), e->Height());
      PaintItem(e->SkinData()->SkinIndex, ci, true, 0, Rect(0, 0, e->Width(), e->Height()), TPoint(e->Left(), e->Top()),
                want.get(), manager);
      const bool same = shot.at(e->Left() + 60, e->Top()) == Pixel(want.get(), 60, 0) &&
                        shot.at(e->Left() + 1, e->Top() + 10) == Pixel(want.get(), 1, 10);
      EXPECT_EQ(same, e == idle);
    }
  }

  // Alt+Down drops the popup and closes it again, with OnButtonClick each time.
  edit->SetFocus();
  const LPARAM alt = static_cast<LPARAM>(1 | (MapVirtualKeyW(VK_DOWN, 0) << 16) | (1u << 29));
  PostMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, alt);
  EXPECT_TRUE(testutil::PumpUntil([&] { return edit->DroppedDown(); }));
  Settle();
  Shot dropped(form->Handle());
  dropped.Save(Name("comboedit-dropped"));
  PostMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, alt);
  EXPECT_TRUE(testutil::PumpUntil([&] { return !edit->DroppedDown(); }));
  EXPECT_EQ(clicks, 2);
  // A press on the button does the same.
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_TRUE(testutil::PumpUntil([&] { return edit->DroppedDown(); }));
  edit->PopupWindowClose();
  EXPECT_EQ(clicks, 3);
  // Read-only: neither the key nor the button does anything, and no paste reaches the text.
  edit->SetReadOnly(true);
  PostMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, alt);
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  Settle();
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(clicks, 3);
  SendMessageW(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), L"Çarşamba");
  // Without direct input the text cannot be typed, but the button works.
  edit->SetReadOnly(false);
  edit->SetDirectInput(false);
  SendMessageW(edit->Handle(), WM_CHAR, L'x', 1);
  EXPECT_EQ(edit->Text(), L"Çarşamba");
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_TRUE(testutil::PumpUntil([&] { return edit->DroppedDown(); }));
  edit->PopupWindowClose();
}

}  // namespace
