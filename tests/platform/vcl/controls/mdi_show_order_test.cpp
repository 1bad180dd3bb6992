// An MDI child made in code shows whatever the order of its set-up: made a child after construction it shows at
// once (as one from a resource does), Show() and Visible work however it was made, and a child that could not show
// for want of a frame shows once one exists.
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace {

class MdiShowOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->SetMainForm(nullptr);
  }
  void TearDown() override {
    Application->SetMainForm(nullptr);
    delete frame_;
  }
  void MakeFrame() {
    frame_ = new TForm(nullptr);
    frame_->SetFormStyle(fsMDIForm);
    frame_->SetBounds(0, 0, 640, 480);
    Application->SetMainForm(frame_);
    frame_->Show();
    Application->ProcessMessages();
    ASSERT_NE(frame_->ClientHandle(), nullptr);
  }
  // A child shows when its window is an MDI child of the frame, visible, with its controls made.
  void ExpectShown(TForm* child, TButton* button) {
    Application->ProcessMessages();
    ASSERT_TRUE(child->HandleAllocated());
    EXPECT_EQ(GetParent(child->Handle()), frame_->ClientHandle());
    EXPECT_TRUE(IsWindowVisible(child->Handle()));
    EXPECT_TRUE(child->Showing());
    ASSERT_TRUE(button->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(button->Handle()));
    EXPECT_EQ(frame_->MDIChildCount(), 1);
  }
  TButton* AddButton(TForm* child) {
    auto* b = new TButton(child);
    b->SetParent(child);
    b->SetBounds(8, 8, 90, 25);
    b->SetCaption(L"Kaydet");
    return b;
  }
  TForm* frame_ = nullptr;
};

TEST_F(MdiShowOrder, ChildMadeInCodeShowsInEveryOrder) {
  // kCreated: made through Create (constructor and AfterConstruction) and then made a child, which shows it at once.
  // The others: made with new alone, set up, then shown one way or another.
  enum Order { kCreated, kStyleThenShow, kStyleThenVisible, kStyleLast, kStyleHideShow };
  for (Order order : {kCreated, kStyleThenShow, kStyleThenVisible, kStyleLast, kStyleHideShow}) {
    SCOPED_TRACE(static_cast<int>(order));
    MakeFrame();
    TForm* child = order == kCreated ? Create<TForm>(frame_) : new TForm(frame_);
    if (order != kStyleLast) child->SetFormStyle(fsMDIChild);
    if (order == kCreated) {
      Application->ProcessMessages();
      EXPECT_TRUE(child->HandleAllocated() && IsWindowVisible(child->Handle()));
    }
    child->SetCaption(L"Öğrenci Kayıt");
    child->SetBounds(10, 10, 400, 300);
    TButton* button = AddButton(child);
    switch (order) {
      case kCreated:
        break;
      case kStyleThenShow:
        child->Show();
        break;
      case kStyleThenVisible:
        child->SetVisible(true);
        break;
      case kStyleLast:
        child->SetFormStyle(fsMDIChild);
        child->Show();
        break;
      case kStyleHideShow:
        child->Show();
        child->Hide();
        Application->ProcessMessages();
        EXPECT_FALSE(IsWindowVisible(child->Handle()));
        child->Show();
        break;
    }
    ExpectShown(child, button);
    wchar_t caption[64] = {};
    GetWindowTextW(child->Handle(), caption, 64);
    EXPECT_STREQ(caption, L"Öğrenci Kayıt");
    Application->SetMainForm(nullptr);
    delete frame_;
    frame_ = nullptr;
  }
}

TEST_F(MdiShowOrder, ChildWithoutAFrameFailsClearlyAndShowsOnceAFrameExists) {
  auto* child = Create<TForm>(nullptr);
  EXPECT_THROW(child->SetFormStyle(fsMDIChild), rtl::EInvalidOperation);
  EXPECT_EQ(child->FormStyle(), fsMDIChild);
  EXPECT_FALSE(child->Visible());
  EXPECT_FALSE(child->HandleAllocated());
  TButton* button = AddButton(child);

  MakeFrame();
  child->SetVisible(true);
  ExpectShown(child, button);
  delete child;
  EXPECT_EQ(frame_->MDIChildCount(), 0);
}

TEST_F(MdiShowOrder, ChildSetUpInItsConstructorShowsWhenConstructionEnds) {
  MakeFrame();
  struct TChild : TForm {
    bool shown_in_constructor = true;
    explicit TChild(TComponent* owner) : TForm(owner) {
      SetFormStyle(fsMDIChild);
      shown_in_constructor = HandleAllocated();
    }
  };
  auto* child = Create<TChild>(frame_);
  EXPECT_FALSE(child->shown_in_constructor);
  EXPECT_TRUE(child->HandleAllocated() && IsWindowVisible(child->Handle()));
}

// A screen that asks for the system menu alone gets no minimise or maximise box from the MDI client.
TEST_F(MdiShowOrder, ChildKeepsItsBorderIcons) {
  MakeFrame();
  TForm* plain = Create<TForm>(frame_);
  plain->SetFormStyle(fsMDIChild);
  TForm* dialog = new TForm(frame_);
  dialog->SetBorderIcons(TBorderIcons{biSystemMenu});
  dialog->SetFormStyle(fsMDIChild);
  dialog->Show();
  Application->ProcessMessages();
  ASSERT_TRUE(plain->HandleAllocated() && dialog->HandleAllocated());
  LONG_PTR plainStyle = GetWindowLongPtrW(plain->Handle(), GWL_STYLE);
  LONG_PTR dialogStyle = GetWindowLongPtrW(dialog->Handle(), GWL_STYLE);
  EXPECT_TRUE(plainStyle & WS_MAXIMIZEBOX);
  EXPECT_TRUE(plainStyle & WS_MINIMIZEBOX);
  EXPECT_TRUE(dialogStyle & WS_SYSMENU);
  EXPECT_FALSE(dialogStyle & WS_MAXIMIZEBOX);
  EXPECT_FALSE(dialogStyle & WS_MINIMIZEBOX);
}

}  // namespace
