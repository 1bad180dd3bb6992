// A bound label's label is a markup label whose markup stays off until the bound label asks for it: captions with
// "<", ">" or "&" show as written, skinned or not, and are measured as plain text; UseHTML turns the markup on and
// off again. A label freed on its own leaves its bound label inactive.
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sHtmlParse.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

class BoundMarkup : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 480, 300);
    if (GetParam()) {
      manager = new TsSkinManager(form.get());
      manager->SetIsDefault(true);
      manager->SetSkinDirectory(skintest::SkinsSource());
      manager->SetSkinName(GetParam());
      manager->SetActive(true);
    }
    edit = new TsEdit(form.get());
    edit->SetName(L"EditAdi");
    edit->SetParent(form.get());
    edit->SetBounds(300, 100, 120, 24);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { form.reset(); }
  // The caption measured as the platform label measures plain text ("&" marks the next letter).
  int PlainWidth(TsEditLabel* l) {
    auto bmp = CreateBmp32(1, 1);
    HDC dc = bmp->Canvas()->Handle();
    SelectObject(dc, l->Font()->Handle());
    RECT r{0, 0, 9999, 0};
    const rtl::String text = l->Caption();
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return r.right;
  }
  int MarkupWidth(TsEditLabel* l) {
    auto bmp = CreateBmp32(1, 1);
    bmp->Canvas()->Font()->Assign(l->Font());
    TsHtml html;
    html.Init(bmp.get(), l->Caption(), -1, -1, Rect(0, 0, 0, 0));
    TlvLinks links;
    return html.HTMLText(links, true).Right;
  }
  std::unique_ptr<TForm> form;
  TsSkinManager* manager = nullptr;
  TsEdit* edit = nullptr;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Skins, BoundMarkup, ::testing::Values(L"Lale", nullptr),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                           return std::string(info.param ? "Lale" : "plain");
                         });

TEST_P(BoundMarkup, ABoundCaptionShowsAsWrittenUntilMarkupIsAskedFor) {
  TsBoundLabel* b = edit->BoundLabel();
  b->SetCaption(L"<b>Adı</b> & Soyadı");
  b->SetActive(true);
  TsEditLabel* l = b->TheLabel();
  ASSERT_NE(l, nullptr);
  // A markup label underneath, with its markup off.
  EXPECT_NE(dynamic_cast<TsHTMLLabel*>(l), nullptr);
  EXPECT_EQ(l->BoundLabel(), b);
  EXPECT_FALSE(l->UseHTML());
  const int plain = PlainWidth(l);
  const int markup = MarkupWidth(l);
  ASSERT_GT(plain, markup + 10);
  // Measured, placed and shown as plain text: the tags are part of the caption.
  EXPECT_NEAR(l->Width(), plain, 2);
  EXPECT_EQ(l->Left() + l->Width(), edit->Left() - 4 - b->Indent()) << "beside the edit";
  Application->ProcessMessages();
  b->SetUseHTML(true);
  EXPECT_TRUE(l->UseHTML());
  EXPECT_NEAR(l->Width(), markup, 2);
  b->SetUseHTML(false);
  EXPECT_FALSE(l->UseHTML());
  EXPECT_NEAR(l->Width(), plain, 2);
  EXPECT_TRUE(l->Links.empty());
}

TEST_P(BoundMarkup, AnAskedForMarkupHoldsFromTheLabelsFirstMoment) {
  TsBoundLabel* b = edit->BoundLabel();
  b->SetUseHTML(true);
  b->SetCaption(L"<b>Adı</b>");
  edit->SetVisible(false);
  b->SetActive(true);
  // Hidden with its edit (and so not aligned yet), the label already knows its markup is wanted.
  ASSERT_NE(b->TheLabel(), nullptr);
  EXPECT_TRUE(b->TheLabel()->UseHTML());
  edit->SetVisible(true);
  Application->ProcessMessages();
  EXPECT_NEAR(b->TheLabel()->Width(), MarkupWidth(b->TheLabel()), 2);
}

TEST_P(BoundMarkup, ALabelFreedOnItsOwnLeavesItsBoundLabelInactive) {
  TsBoundLabel* b = edit->BoundLabel();
  b->SetActive(true);
  ASSERT_TRUE(b->Active());
  delete b->TheLabel();
  EXPECT_EQ(b->TheLabel(), nullptr);
  EXPECT_FALSE(b->Active());
  // Asked again, it makes a new one.
  b->SetActive(true);
  EXPECT_NE(b->TheLabel(), nullptr);
  EXPECT_TRUE(b->Active());
}
