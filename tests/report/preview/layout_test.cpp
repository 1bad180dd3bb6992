// The page layout, the scroll window and the small controls, without a report.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/forms.h"
#include "report/preview/qvxCtrls.h"
#include "report/preview/qvxPreviewWorkspace.h"

using namespace vcl;

TEST(PageList, PagesOfARowAreCentredWithTenPixelGaps) {
  TqvxPageList list;
  for (int i = 0; i < 3; ++i) list.AddPage(100, 150, 1);
  list.CalcBounds(350);
  EXPECT_EQ(list.Items(0).OffsetX, 25);
  EXPECT_EQ(list.Items(1).OffsetX, 135);
  EXPECT_EQ(list.Items(2).OffsetX, 245);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.Items(i).OffsetY, 10);
  EXPECT_EQ(list.MaxWidth(), 330);
  EXPECT_EQ(list.GetMaxBounds().X + 10, 340);
}

TEST(PageList, APageWiderThanTheWidthGetsARowOfItsOwn) {
  TqvxPageList list;
  list.AddPage(100, 100, 1);
  list.AddPage(500, 100, 1);
  list.AddPage(100, 100, 1);
  list.CalcBounds(300);
  EXPECT_EQ(list.Items(1).OffsetX, 10);
  EXPECT_EQ(list.Items(0).OffsetY, 10);
  EXPECT_EQ(list.Items(1).OffsetY, 120);
  EXPECT_EQ(list.Items(2).OffsetY, 230);
}

TEST(PageList, ZoomScalesThePagesAsTheyAreAdded) {
  TqvxPageList list;
  list.AddPage(794, 1123, 0.5L);
  EXPECT_EQ(list.Items(0).Width, 397);
  EXPECT_EQ(list.Items(0).Height, 562);
}

TEST(PageList, FindPageToleratesAFifthOfAPage) {
  TqvxPageList list;
  list.AddPage(100, 500, 1);
  list.AddPage(100, 500, 1);
  list.CalcBounds(100);
  ASSERT_EQ(list.Items(1).OffsetY, 520);
  const struct {
    int y, page;
  } cases[] = {{-100, -1}, {0, 0}, {419, 0}, {420, 1}, {5000, 1}};
  for (const auto& c : cases) EXPECT_EQ(list.FindPage(c.y), c.page) << c.y;
  // A point finds the page that holds it.
  EXPECT_EQ(list.FindPage(600, 50), 1);
  EXPECT_EQ(TqvxPageList().FindPage(10), -1);
}

TEST(PageList, AnIndexOutsideTheListGivesAnA4Rectangle) {
  TqvxPageList list;
  const TRect r = list.GetPageBounds(5, 1000, false, 1);
  EXPECT_EQ(r.Left, 103);
  EXPECT_EQ(r.Top, 10);
  EXPECT_EQ(r.Width(), 794);
  EXPECT_EQ(r.Height(), 1123);
  EXPECT_EQ(list.GetPageBounds(-1, 500, false, 1).Left, 10);
}

TEST(Ctrls, BlendMixesByPercentOrPerMille) {
  EXPECT_EQ(Blend(0xFF0000, 0xFFFFFF, 30), static_cast<TColor>(0xFFB3B3));
  EXPECT_EQ(Blend(0x000000, 0xFFFFFF, 500), static_cast<TColor>(0x808080));
  EXPECT_EQ(Blend(0x0000FF, 0x000000, 0), static_cast<TColor>(0));
}

namespace {

// A scroll window whose hooks count their calls.
class TCountingScrollWin : public TqvxScrollWin {
 public:
  using TqvxScrollWin::TqvxScrollWin;
  int vChanges = 0;

 protected:
  void OnVScrollChange() override { ++vChanges; }
};

}  // namespace

TEST(ScrollWin, PositionsAreClampedToRangeLessPage) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* w = new TCountingScrollWin(form.get());
  w->SetParent(form.get());
  w->SetBounds(0, 0, 200, 200);
  w->HandleNeeded();
  w->SetVertPage(300);
  w->SetVertRange(100);
  w->SetVertPosition(50);
  EXPECT_EQ(w->VertPosition(), 0);
  EXPECT_EQ(w->vChanges, 0);
  w->SetVertPage(100);
  w->SetVertRange(1000);
  w->SetVertPosition(5000);
  EXPECT_EQ(w->VertPosition(), 900);
  EXPECT_EQ(w->vChanges, 1);
  w->SetVertPosition(-5);
  EXPECT_EQ(w->VertPosition(), 0);
}

TEST(ScrollWin, ScrollMessagesMoveByTheirStepsAndReachPastSixteenBits) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* w = new TqvxScrollWin(form.get());
  w->SetParent(form.get());
  w->SetBounds(0, 0, 200, 200);
  HWND wnd = w->Handle();
  w->SetSmallChange(8);
  w->SetLargeChange(300);
  w->SetVertPage(200);
  w->SetVertRange(2000000);
  const struct {
    WORD code;
    int expected;
  } steps[] = {{SB_LINEDOWN, 8}, {SB_PAGEDOWN, 308}, {SB_LINEUP, 300}, {SB_PAGEUP, 0},
               {SB_BOTTOM, 1999800}, {SB_ENDSCROLL, 1999800}, {SB_TOP, 0}};
  for (const auto& s : steps) {
    SendMessageW(wnd, WM_VSCROLL, s.code, 0);
    EXPECT_EQ(w->VertPosition(), s.expected) << s.code;
  }
  SendMessageW(wnd, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(GetScrollPos(wnd, SB_VERT), 1999800) << "the bar holds the 32-bit position";
  EXPECT_EQ(SendMessageW(wnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
}

TEST(Ctrls, TheComboListIsAsHighAsTheItemsItShows) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* box = new TqvxComboBox(form.get());
  box->SetParent(form.get());
  box->HandleNeeded();
  const int itemHeight = static_cast<int>(SendMessageW(box->Handle(), CB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(box->GetListHeight(), itemHeight + 2);
  for (int i = 0; i < 20; ++i) box->Items()->Add(L"x");
  EXPECT_EQ(box->GetListHeight(), itemHeight * 8 + 2);
  box->SetListWidth(100);
  EXPECT_EQ(SendMessageW(box->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 100);
}

TEST(Ctrls, AToolBarPanelFollowsTheDirectionOfItsDock) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* dock = new TPanel(form.get());
  dock->SetParent(form.get());
  dock->SetAlign(alLeft);
  auto* holder = new TPanel(form.get());
  holder->SetParent(dock);
  auto* panel = new TqvxTBPanel(form.get());
  EXPECT_EQ(panel->Align(), alLeft);
  panel->SetParent(holder);
  EXPECT_EQ(panel->Align(), alTop);
}
