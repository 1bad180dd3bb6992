// The skinned bound grid over many interview records (a memo column among them), with each test skin and without
// one: the current memo cell's button, pressed by the mouse and released (the record stays unedited, the editor
// stays shut); the skinned vertical thumb dragged by the mouse over hundreds of records, the current record following
// it to the last one; a print of a grid whose records all fit painting every pixel of the window.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/db/ado.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sDBGrid.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "skin/windows/lvSBUtils.h"
#include "tests/common/paths.h"
#include "tests/common/text.h"
#include "tests/common/wait.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using rtl::String;

namespace {

constexpr int kRecords = 400;

using ctltest::Pixel;
using ctltest::SaveOpaque;
using ctltest::SkinCase;

class GridMemo : public ctltest::SkinnedFormTest {
 protected:
  GridMemo() : SkinnedFormTest(560, 400) {}
  void SetUp() override {
    dir_ = dbtest::TempFolder();
    file_ = dir_ + L"\\tavrel.db";
    // Interviews numbered 1..kRecords, each with a few lines of notes.
    std::string sql = "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                      std::to_string(kRecords) +
                      ") insert into ogrencigorusme(okulno, adisoyadi, yapilancalisma) "
                      "select i, 'Öğrenci ' || i, 'Görüşme notu ' || i || char(13, 10) || 'İkinci satır' from n;";
    std::string error;
    ASSERT_TRUE(dbtest::CreateDatabase(file_, sql, &error)) << error;
    SkinnedFormTest::SetUp();
    if (HasFatalFailure()) return;
    const dbtest::TableOnFile t = dbtest::TableOn(form, dir_, L"ogrencigorusme");
    table = t.table;
    source = t.source;
  }
  // Number, name and notes (the memo), the notes column current.
  TsDBGrid* MakeGrid(int height) {
    grid = Create<TsDBGrid>(form);
    grid->SetParent(form);
    grid->SetBounds(10, 10, 520, height);
    const struct {
      const wchar_t* field;
      int width;
    } cols[] = {{L"okulno", 60}, {L"adisoyadi", 150}, {L"yapilancalisma", 200}};
    for (const auto& c : cols) {
      auto* col = static_cast<TlvDBColumn*>(grid->Columns()->AddColumn());
      col->SetFieldName(c.field);
      col->SetWidth(c.width);
    }
    grid->SetDataSource(source);
    return grid;
  }
  // The grid's window as WM_PRINT paints it into a bitmap first filled with magenta.
  std::unique_ptr<TBitmap> Print() {
    const int w = grid->Width(), h = grid->Height();
    auto bmp = CreateBmp32(w, h);
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, w, h), clFuchsia);
    SendMessageW(grid->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    GdiFlush();
    return bmp;
  }
  // The whole window as the screen shows it, copied into a bitmap.
  std::unique_ptr<TBitmap> Screen() {
    RECT wr;
    GetWindowRect(grid->Handle(), &wr);
    return ctltest::ScreenPixels(wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top);
  }
  // The screen's pixel at a client point of the grid.
  std::uint32_t Shown(int x, int y) {
    POINT p{x, y};
    ClientToScreen(grid->Handle(), &p);
    RECT wr;
    GetWindowRect(grid->Handle(), &wr);
    return Pixel(Screen().get(), p.x - wr.left, p.y - wr.top);
  }
  // Waits (with a bound) until the screen shows colour at a client point, or no longer shows it.
  bool Shows(int x, int y, std::uint32_t colour, bool equal = true) {
    return testutil::PumpUntil([&] { return (Shown(x, y) == colour) == equal; }, 5000);
  }
  LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

  std::wstring dir_, file_;
  db::TADOTable* table = nullptr;
  db::TDataSource* source = nullptr;
  TsDBGrid* grid = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Skins, GridMemo,
                         ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"},
                                           SkinCase{nullptr, "plain"}),
                         [](const auto& info) { return std::string(info.param.file); });

// The current memo cell shows its button; a press shows it pressed while the mouse is over it, raised when it
// leaves; the release edits nothing and opens no editor. Other cells, a memo column with the button switched off and
// a cell narrower than its height + 5 show none.
TEST_P(GridMemo, TheCurrentMemoCellShowsItsButtonPressedWhileHeld) {
  MakeGrid(200);
  table->Open();
  Show();
  grid->SetFocus();
  grid->SetSelectedIndex(2);
  table->MoveBy(2);
  Settle();
  const int rh = grid->DefaultRowHeight();
  const int top = grid->TitleHeight() + 2 * rh;
  const int right = 11 + 60 + 150 + 200;
  const TRect cell(right - 200, top, right, top + rh);
  const TRect button = TsDBGrid::GetButtonRect(cell);
  ASSERT_EQ(button, TRect(right - rh + 1, top + 1, right - 1, top + rh - 1));
  EXPECT_TRUE(grid->IsOnButton(button.Left + 2, button.Top + 2));
  EXPECT_FALSE(grid->IsOnButton(button.Left - 3, button.Top + 2));
  // Only the current cell: the memo cell of the row above has none.
  EXPECT_FALSE(grid->IsOnButton(button.Left + 2, button.Top + 2 - rh));
  // A face pixel of the button (right of the dots, inside the edges) and one of the middle dot.
  const int faceX = button.Right - 3, faceY = button.Top + 3;
  const int d = button.Height() / 7;
  const int dotX = button.Left + 2 * d - 1 + 2 * d + d / 2, dotY = button.Top + (button.Height() - d) / 2 + d / 2;
  const std::uint32_t face = ColorToRGB(clBtnFace) & 0xFFFFFF;
  EXPECT_TRUE(Shows(faceX, faceY, face));
  EXPECT_TRUE(Shows(dotX, dotY, 0u));
  // The row above shows its text, no button there.
  EXPECT_NE(Shown(faceX, faceY - rh), face);
  SaveOpaque(Screen().get(), Name("memo-button"));
  // The top-left edge: the raised edge's light, the sunken edge's shade while pressed.
  const int edgeX = button.Left, edgeY = button.Top + 4;
  const std::uint32_t raised = Shown(edgeX, edgeY);
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(button.Left + 3, button.Top + 3));
  EXPECT_TRUE(grid->CellButtonPressed());
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_TRUE(Shows(edgeX, edgeY, raised, false));
  // Pressed, the dots move one pixel down and right.
  EXPECT_TRUE(Shows(dotX + 1, dotY + 1, 0u));
  SaveOpaque(Screen().get(), Name("memo-button-pressed"));
  // The mouse leaves the button: raised again; back over it: pressed.
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(button.Left - 40, button.Top + 3));
  EXPECT_FALSE(grid->CellButtonPressed());
  EXPECT_TRUE(Shows(edgeX, edgeY, raised));
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(button.Left + 3, button.Top + 3));
  EXPECT_TRUE(grid->CellButtonPressed());
  EXPECT_TRUE(Shows(edgeX, edgeY, raised, false));
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, At(button.Left + 3, button.Top + 3));
  EXPECT_FALSE(grid->CellButtonPressed());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Shows(edgeX, edgeY, raised));
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(table->State(), db::dsBrowse);
  EXPECT_EQ(table->RecNo(), 3);
  EXPECT_EQ(testutil::Wide(testutil::QueryText(file_, "select yapilancalisma from ogrencigorusme where okulno = 3")),
            String(L"Görüşme notu 3\r\nİkinci satır"));
  // Switched off for the column: no button, the text runs to the cell's end.
  auto* memo = grid->Columns()->Items(2);
  memo->SetShowMemoBtn(false);
  grid->Invalidate();
  EXPECT_FALSE(grid->IsOnButton(button.Left + 2, button.Top + 2));
  EXPECT_TRUE(Shows(faceX, faceY, face, false));
  memo->SetShowMemoBtn(true);
  // Narrower than the row height + 5: none.
  memo->SetWidth(rh + 4);
  EXPECT_TRUE(TsDBGrid::GetButtonRect(TRect(0, 0, rh + 4, rh)).IsEmpty());
  EXPECT_FALSE(TsDBGrid::GetButtonRect(TRect(0, 0, rh + 5, rh)).IsEmpty());
  EXPECT_FALSE(grid->IsOnButton(right - 200 + rh + 2, button.Top + 2));
}

// The skinned vertical thumb dragged by the mouse in steps over 400 records: the current record follows the thumb
// at every step (position n shows record n + 1) and reaches the last record at the bottom; released, the record and
// the bar stay there. Without a skin the system's bar does the same through the same messages.
TEST_P(GridMemo, DraggingTheThumbOverManyRecordsMovesTheRecordWithIt) {
  if (!Skinned()) GTEST_SKIP() << "the thumb drag is the skinned bar's";
  MakeGrid(200);
  table->Open();
  Show();
  ASSERT_TRUE(testutil::PumpUntil([&] { return grid->ListSW != nullptr; }, 5000));
  auto* sw = grid->ListSW;
  HWND h = grid->Handle();
  RECT vr;
  lv_GetVScrollRect(sw, h, vr);
  auto thumb = [&] {
    sw->sBarVert->ReadInfo(h);
    int size = 0, pos = 0;
    Lv_CalcThumbSize(sw->sBarVert.get(), vr, size, pos);
    return std::pair<int, int>(pos, size);
  };
  auto [tp, ts] = thumb();
  ASSERT_GT(ts, 0);
  const int x = (vr.left + vr.right) / 2;
  int y = tp + ts / 2;
  SetCursorPos(x, y);
  SendMessageW(h, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y));
  ASSERT_EQ(uCurrentScrollPortion, HTSCROLL_THUMB);
  int last = 0;
  int steps = 0;
  for (; y < vr.bottom + 20; y += 7, ++steps) {
    SetCursorPos(x, y);
    POINT p{x, y};
    ScreenToClient(h, &p);
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    const int tracked = nLastSBPos;
    EXPECT_GE(tracked, last);
    last = tracked;
    ASSERT_TRUE(testutil::PumpUntil([&] { return table->RecNo() == std::min(tracked + 1, kRecords); }, 5000))
        << "step " << steps << ": thumb at " << tracked << ", record " << table->RecNo();
  }
  EXPECT_GT(steps, 10);
  EXPECT_EQ(table->RecNo(), kRecords);
  POINT p{x, y};
  ScreenToClient(h, &p);
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  SetCursorPos(1200, 1000);
  Settle();
  EXPECT_EQ(table->RecNo(), kRecords);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, SB_VERT, &si);
  EXPECT_EQ(si.nPos, kRecords - 1);
  // The thumb is at the bottom of its track, on the screen and in a print alike.
  std::tie(tp, ts) = thumb();
  const int btn = GetScrollMetric(sw->sBarVert.get(), SM_BTNSIZE);
  EXPECT_GE(tp + ts, vr.bottom - btn - 1);
  RECT wr;
  GetWindowRect(h, &wr);
  auto print = Print();
  SaveOpaque(print.get(), Name("thumb-bottom-printed"));
  auto screen = Screen();
  SaveOpaque(screen.get(), Name("thumb-bottom-screen"));
  int differ = 0;
  for (int y = vr.top; y < vr.bottom; ++y)
    for (int bx = vr.left; bx < vr.right; ++bx)
      differ += Pixel(print.get(), bx - wr.left, y - wr.top) != Pixel(screen.get(), bx - wr.left, y - wr.top);
  EXPECT_LT(differ, (vr.right - vr.left) * 4) << differ;
  // The last record's row is in view, with its number.
  EXPECT_EQ(grid->DataLink()->ActiveRecord(), grid->DataLink()->RecordCount() - 1);
}

// A grid whose records all fit: its print paints every pixel of the window, the vertical bar's strip too, as on
// the screen.
TEST_P(GridMemo, APrintOfAGridWhoseRecordsAllFitPaintsEveryPixel) {
  // Without a skin no wrapper prints the grid's frame and bars; the print is the platform's client picture.
  if (!Skinned()) GTEST_SKIP() << "printing frame and bars is the wrapper's";
  table->SetFilter(L"okulno <= 3");
  table->SetFiltered(true);
  MakeGrid(200);
  table->Open();
  ASSERT_EQ(table->RecordCount(), 3);
  Show();
  const int w = grid->Width(), h = grid->Height();
  auto print = Print();
  SaveOpaque(print.get(), Name("fit-printed"));
  int unprinted = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Pixel(print.get(), x, y) == 0xFF00FFu) {
        if (!unprinted) firstX = x, firstY = y;
        ++unprinted;
      }
  EXPECT_EQ(unprinted, 0) << "first at " << firstX << ", " << firstY;
  // As on the screen: the whole window, bar strip included, within a few pixels.
  RECT wr;
  GetWindowRect(grid->Handle(), &wr);
  auto screen = ctltest::ScreenPixels(wr.left, wr.top, w, h);
  SaveOpaque(screen.get(), Name("fit-screen"));
  int differ = 0;
  for (int y = 0; y < h; ++y)
    for (int x = w - 30; x < w; ++x) differ += Pixel(print.get(), x, y) != Pixel(screen.get(), x, y);
  EXPECT_LT(differ, h) << differ;
}

}  // namespace
