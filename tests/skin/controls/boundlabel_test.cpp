// The caption label an edit keeps beside itself: made when activated (named after the edit, its text the edit's
// name when no caption is given), placed by its layout and kept there as the edit moves, shown, hidden, enabled and
// disabled with it; clicking it clicks the edit when asked.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sEdit.h"

using namespace vcl;

namespace {

class BoundLabels : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 400, 300);
    edit = new TsEdit(form.get());
    edit->SetName(L"EditAdi");
    edit->SetParent(form.get());
    edit->SetBounds(150, 100, 120, 24);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { form.reset(); }
  std::unique_ptr<TForm> form;
  TsEdit* edit = nullptr;
};

}  // namespace

TEST_F(BoundLabels, ActivatingMakesALabelNamedAfterTheEdit) {
  TsBoundLabel* b = edit->BoundLabel();
  // A font given before the label exists is not taken by the label made later.
  TFont big;
  big.SetSize(30);
  b->SetFont(&big);
  EXPECT_EQ(b->TheLabel(), nullptr);
  b->SetActive(true);
  TsEditLabel* l = b->TheLabel();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Name(), L"EditAdiLabel");
  EXPECT_EQ(l->Caption(), L"EditAdi");
  EXPECT_EQ(b->Caption(), L"EditAdi");
  EXPECT_EQ(l->Parent(), form.get());
  EXPECT_EQ(l->FocusControl(), edit);
  EXPECT_NE(l->Font()->Size(), 30);
  EXPECT_TRUE(l->Visible());
  EXPECT_EQ(l->Alignment(), taRightJustify);
  b->SetCaption(L"Adı Soyadı");
  EXPECT_EQ(l->Caption(), L"Adı Soyadı");
  b->SetActive(false);
  EXPECT_EQ(b->TheLabel(), nullptr);
}

TEST_F(BoundLabels, EveryLayoutPlacesTheLabelBesideTheEdit) {
  TsBoundLabel* b = edit->BoundLabel();
  b->SetCaption(L"Okul No");
  b->SetIndent(2);
  b->SetActive(true);
  TsEditLabel* l = b->TheLabel();
  ASSERT_NE(l, nullptr);
  const int w = l->Width(), h = l->Height();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  struct Case {
    TsCaptionLayout layout;
    int left, top;
    TAlignment alignment;
  } cases[] = {
      {sclLeft, 150 - w - 2 - 4, 100 + (24 - h) / 2, taRightJustify},
      {sclTopLeft, 150, 100 - h - 2, taLeftJustify},
      {sclTopCenter, 150 + (120 - w) / 2, 100 - h - 2, taCenter},
      {sclTopRight, 150 + 120 - w, 100 - h - 2, taRightJustify},
      {sclLeftTop, 150 - w - 2 - 4, 103, taLeftJustify},
      {sclBottomLeft, 150, 126, taLeftJustify},
      {sclBottomCenter, 150 + (120 - w) / 2, 126, taCenter},
      {sclBottomRight, 150 + 120 - w, 126, taRightJustify},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.layout));
    b->SetLayout(c.layout);
    EXPECT_EQ(l->Left(), c.left);
    EXPECT_EQ(l->Top(), c.top);
    EXPECT_EQ(l->Alignment(), c.alignment);
  }
  // Moving the edit takes the label along.
  b->SetLayout(sclTopLeft);
  edit->SetBounds(60, 200, 120, 24);
  Application->ProcessMessages();
  EXPECT_EQ(l->Left(), 60);
  EXPECT_EQ(l->Top(), 200 - h - 2);
}

TEST_F(BoundLabels, VisibilityEnablingMaxWidthAndClicks) {
  TsBoundLabel* b = edit->BoundLabel();
  b->SetCaption(L"Velisinin açık adresi ve telefon numarası");
  b->SetActive(true);
  TsEditLabel* l = b->TheLabel();
  ASSERT_NE(l, nullptr);
  const int natural = l->Width();
  b->SetMaxWidth(60);
  EXPECT_LE(l->Width(), 60);
  EXPECT_GT(l->Height(), 0);
  b->SetMaxWidth(0);
  EXPECT_EQ(l->Width(), natural);

  edit->SetVisible(false);
  EXPECT_FALSE(l->Visible());
  edit->SetVisible(true);
  EXPECT_TRUE(l->Visible());
  edit->SetEnabled(false);
  EXPECT_FALSE(l->Enabled());
  b->SetEnabledAlways(true);
  EXPECT_TRUE(l->Enabled());
  edit->SetEnabled(true);

  int clicks = 0;
  edit->OnClick = [&](rtl::TObject*) { ++clicks; };
  b->SetAllowClick(true);
  l->Click();
  EXPECT_EQ(clicks, 1);
  b->SetAllowClick(false);
  l->Click();
  EXPECT_EQ(clicks, 1);
}

TEST_F(BoundLabels, TheLabelFreedWithItsParentIsForgotten) {
  edit->BoundLabel()->SetActive(true);
  ASSERT_NE(edit->BoundLabel()->TheLabel(), nullptr);
  delete edit->BoundLabel()->TheLabel();
  EXPECT_EQ(edit->BoundLabel()->TheLabel(), nullptr);
  // Freeing the form (labels and edit in any order) leaves nothing dangling.
  form.reset();
}
