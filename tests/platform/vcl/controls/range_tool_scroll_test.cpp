// Progress bar, track bar and up-down keep their numbers in range and in step with their windows; the up-down
// drives its associate edit; tool bars lay out their buttons and group check buttons; the splitter resizes its
// neighbour within limits; the scroll box scrolls its children.
#include <gtest/gtest.h>

#include "platform/rtl/formatsettings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/rangectrls.h"
#include "platform/vcl/scrollbox.h"
#include "platform/vcl/splitter.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/toolbar.h"

#include <commctrl.h>

using namespace vcl;

namespace {

class Shown : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetBounds(40, 40, 400, 300);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    Application->ProcessMessages();
  }
  template <class T>
  T* Add() {
    auto* c = new T(form);
    c->SetParent(form);
    return c;
  }
  TForm* form = nullptr;
};

using RangeControls = Shown;

TEST_F(RangeControls, TheProgressBarStaysInRangeAndTellsItsWindow) {
  auto* pb = Add<TProgressBar>();
  pb->SetMax(50);
  pb->SetStep(20);
  pb->StepIt();
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 40);
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 50) << "clamped at Max";
  EXPECT_EQ(SendMessageW(pb->Handle(), PBM_GETPOS, 0, 0), 50);
  pb->SetMax(30);
  EXPECT_EQ(pb->Position(), 30);
  pb->SetPosition(-5);
  EXPECT_EQ(pb->Position(), 0);
}

TEST_F(RangeControls, TheTrackBarReportsChangesFromProgramAndKeyboard) {
  auto* tb = Add<TTrackBar>();
  int changes = 0;
  tb->OnChange = [&](rtl::TObject*) { ++changes; };
  tb->SetPosition(4);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(SendMessageW(tb->Handle(), TBM_GETPOS, 0, 0), 4);
  tb->SetPosition(99);
  EXPECT_EQ(tb->Position(), 10);
  tb->SetFocus();
  tb->Perform(WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(tb->Position(), 9);
  EXPECT_EQ(changes, 3);
}

TEST_F(RangeControls, TheUpDownStepsItsAssociateAndWrapsWhenAsked) {
  auto* edit = Add<TEdit>();
  edit->SetBounds(20, 20, 80, 21);
  auto* ud = Add<TUpDown>();
  ud->SetMin(0);
  ud->SetMax(2000);
  ud->SetIncrement(600);
  ud->SetAssociate(edit);
  EXPECT_EQ(ud->Left(), 100) << "beside the edit";
  EXPECT_EQ(ud->Height(), 21);
  EXPECT_EQ(edit->Text(), L"0");
  std::vector<TUDBtnType> clicks;
  ud->OnClick = [&](rtl::TObject*, TUDBtnType b) { clicks.push_back(b); };
  // The window asks before a step, as when the user clicks the upper arrow.
  NMUPDOWN nm{};
  nm.hdr.hwndFrom = ud->Handle();
  nm.hdr.code = UDN_DELTAPOS;
  nm.iDelta = 1;
  for (int i = 0; i < 2; ++i) SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(ud->Position(), 1200);
  EXPECT_EQ(edit->Text(), L"1" + String(1, rtl::FormatSettings.ThousandSeparator) + L"200");
  ud->Click(btNext);
  ud->Click(btNext);
  EXPECT_EQ(ud->Position(), 2000) << "stops at Max";
  ud->SetWrap(true);
  ud->Click(btNext);
  EXPECT_EQ(ud->Position(), 0) << "wraps to Min";
  EXPECT_EQ(clicks.size(), 5u);
  // What the user typed counts; what is not a number does not.
  edit->SetText(L"700");
  EXPECT_EQ(ud->Position(), 700);
  edit->SetText(L"yedi");
  EXPECT_EQ(ud->Position(), 700);
  // The associate going away leaves nothing dangling.
  delete edit;
  EXPECT_EQ(ud->Associate(), nullptr);
  ud->Click(btPrev);
}

using ToolBars = Shown;

TEST_F(ToolBars, ButtonsLineUpAndGroupedCheckButtonsActAsOneChoice) {
  auto* bar = Add<TToolBar>();
  auto add = [&](TToolButtonStyle style) {
    auto* b = new TToolButton(form);
    b->SetStyle(style);
    b->SetParent(bar);
    return b;
  };
  TToolButton* plain = add(tbsButton);
  add(tbsSeparator);
  TToolButton* left = add(tbsCheck);
  TToolButton* right = add(tbsCheck);
  left->SetGrouped(true);
  right->SetGrouped(true);
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(plain->Left(), 2);
  EXPECT_EQ(left->Left(), 2 + 23 + 8);
  EXPECT_EQ(right->Left(), 2 + 23 + 8 + 23);
  int clicks = 0;
  plain->OnClick = [&](rtl::TObject*) { ++clicks; };
  auto click = [&](TToolButton* b) {
    int x = b->Left() + 5, y = b->Top() + 5;
    bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  };
  click(plain);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(plain->Down());
  click(left);
  EXPECT_TRUE(left->Down());
  click(right);
  EXPECT_TRUE(right->Down());
  EXPECT_FALSE(left->Down());
  click(right);
  EXPECT_TRUE(right->Down()) << "a grouped choice stays made";
  // Captions widen every button to the widest caption.
  plain->SetCaption(L"Öğrenci Kayıt");
  bar->SetShowCaptions(true);
  EXPECT_GT(plain->Width(), 60);
  EXPECT_EQ(left->Width(), plain->Width());
}

using Layout = Shown;

TEST_F(Layout, TheSplitterResizesItsNeighbourWithinLimits) {
  auto* side = Add<TEdit>();
  side->SetAlign(alLeft);
  side->SetWidth(100);
  auto* sp = Add<TSplitter>();
  sp->SetLeft(150);  // placed after the side control
  sp->SetAlign(alLeft);
  auto* rest = Add<TEdit>();
  rest->SetAlign(alClient);
  ASSERT_EQ(sp->Left(), 100);
  EXPECT_EQ(sp->FindResizeControl(), side);
  int moved = 0;
  sp->OnMoved = [&](rtl::TObject*) { ++moved; };
  auto drag = [&](int toX) {
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(101, 50));
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 50));
    form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(toX, 50));
  };
  drag(161);
  EXPECT_EQ(side->Width(), 160);
  EXPECT_EQ(sp->Left(), 160);
  EXPECT_EQ(rest->Left(), 163);
  EXPECT_EQ(moved, 1);
  // Neither side gets smaller than MinSize.
  form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(161, 50));
  form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, 50));
  form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(0, 50));
  EXPECT_EQ(side->Width(), 30);
  form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(31, 50));
  form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2000, 50));
  form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2000, 50));
  EXPECT_EQ(side->Width(), form->ClientWidth() - 3 - 30);
}

TEST_F(Layout, TheScrollBoxScrollsChildrenIntoView) {
  auto* box = Add<TScrollBox>();
  box->SetBounds(10, 10, 200, 150);
  auto* far_edit = new TEdit(form);
  far_edit->SetParent(box);
  far_edit->SetBounds(20, 400, 100, 21);
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(box->VertScrollBar()->Range(), 421);
  box->ScrollInView(far_edit);
  int page = box->ClientHeight();
  EXPECT_EQ(far_edit->Top() + far_edit->Height(), page) << "just shown at the bottom";
  EXPECT_EQ(box->VertScrollBar()->Position(), 421 - page);
  EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), 421 - page);
  box->Perform(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(far_edit->Top(), 400);
  box->VertScrollBar()->SetPosition(100000);
  EXPECT_EQ(box->VertScrollBar()->Position(), 421 - page) << "not past the end";
}

}  // namespace
