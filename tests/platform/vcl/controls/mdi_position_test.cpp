// Where an MDI child opens and how big it is: asked to open centred it opens in the middle of the frame's
// workspace (never above or left of it), a designed position stays, and a form that sizes itself to its controls
// takes their extent and keeps it when the user drags its border.
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace {

class MdiPosition : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    frame_ = new TForm(nullptr);
    frame_->SetFormStyle(fsMDIForm);
    frame_->SetBounds(0, 0, 900, 700);
    Application->SetMainForm(frame_);
    frame_->Show();
    Application->ProcessMessages();
    ASSERT_NE(frame_->ClientHandle(), nullptr);
  }
  void TearDown() override {
    Application->SetMainForm(nullptr);
    delete frame_;
  }
  TForm* Child(TPosition position, int width, int height) {
    auto* child = new TForm(frame_);
    child->SetPosition(position);
    child->SetBounds(5, 7, width, height);
    child->SetFormStyle(fsMDIChild);
    child->Show();
    Application->ProcessMessages();
    return child;
  }
  // The child's window in the workspace's coordinates.
  RECT InWorkspace(TForm* child) {
    RECT r;
    GetWindowRect(child->Handle(), &r);
    MapWindowPoints(nullptr, frame_->ClientHandle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  TForm* frame_ = nullptr;
};

TEST_F(MdiPosition, CentredKindsOpenInTheMiddleOfTheWorkspace) {
  RECT area;
  GetClientRect(frame_->ClientHandle(), &area);
  for (TPosition p : {poMainFormCenter, poOwnerFormCenter, poScreenCenter, poDesktopCenter}) {
    SCOPED_TRACE(static_cast<int>(p));
    TForm* child = Child(p, 400, 300);
    RECT r = InWorkspace(child);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_NEAR((r.left + r.right) / 2.0, area.right / 2.0, 1.0);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, area.bottom / 2.0, 1.0);
    delete child;
  }
}

TEST_F(MdiPosition, AChildLargerThanTheWorkspaceStartsAtItsTopLeft) {
  TForm* child = Child(poMainFormCenter, 1200, 1000);
  RECT r = InWorkspace(child);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  delete child;
}

TEST_F(MdiPosition, ADesignedPositionStays) {
  TForm* child = Child(poDesigned, 400, 300);
  RECT r = InWorkspace(child);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  delete child;
}

TEST_F(MdiPosition, AnAutoSizedFormTakesItsControlsExtentAndKeepsIt) {
  auto* child = new TForm(frame_);
  auto* a = new TButton(child);
  a->SetParent(child);
  a->SetBounds(10, 10, 90, 25);
  auto* b = new TEdit(child);
  b->SetParent(child);
  b->SetBounds(200, 150, 120, 21);
  // An aligned control follows the client area and does not size it.
  auto* bar = new TButton(child);
  bar->SetParent(child);
  bar->SetAlign(alTop);
  child->SetAutoSize(true);
  child->SetFormStyle(fsMDIChild);
  child->Show();
  Application->ProcessMessages();
  EXPECT_EQ(child->ClientWidth(), 320);
  EXPECT_EQ(child->ClientHeight(), 171);
  // Dragging the border gives the window a new size; it keeps the one its controls gave it.
  RECT before;
  GetWindowRect(child->Handle(), &before);
  SetWindowPos(child->Handle(), nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
  Application->ProcessMessages();
  EXPECT_EQ(child->ClientWidth(), 320);
  EXPECT_EQ(child->ClientHeight(), 171);
  delete child;
}

}  // namespace
