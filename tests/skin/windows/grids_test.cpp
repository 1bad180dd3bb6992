// Grid wrappers over grids of other makers: the colour properties a grid publishes (found by name, also through
// sub-objects) get the skin's colours, the standard ones come back when the skin goes or the wrapper is freed, and
// a grid publishing none of them keeps its look.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/colors.h"
#include "platform/vcl/typinfo.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/render/sGraphUtils.h"
#include "skin/windows/lvGridWnd.h"
#include "wintest.h"

namespace gridtest {

using namespace vcl;

// The line colours of an extended grid, as a sub-object.
class TLineParams : public rtl::TPersistent {
  VCL_CLASS(TLineParams, rtl::TPersistent)
 public:
  TColor DarkColor = clGray;
  TColor BrightColor = clSilver;
};

// A grid of another maker: a windowed control publishing some of the colour properties the wrapper knows.
class TOtherGrid : public TCustomControl {
  VCL_CLASS(TOtherGrid, TCustomControl)
 public:
  explicit TOtherGrid(TComponent* owner) : TCustomControl(owner) {}
  TColor FixedColor = clBtnFace;
  TColor FooterColor = clInfoBk;
  TFont* TitleFont() const { return titleFont_.get(); }
  TColor EvenRowColor = clWindow;
  TColor OddRowColor = clWindow;
  TLineParams* GridLineParams() const { return lines_.get(); }

 private:
  std::unique_ptr<TFont> titleFont_ = std::make_unique<TFont>();
  std::unique_ptr<TLineParams> lines_ = std::make_unique<TLineParams>();
};

// One publishing nothing the wrapper knows.
class TPlainGrid : public TCustomControl {
  VCL_CLASS(TPlainGrid, TCustomControl)
 public:
  explicit TPlainGrid(TComponent* owner) : TCustomControl(owner) {}
};

VCL_REGISTER(TLineParams) {
  cls.Prop(L"DarkColor", &TLineParams::DarkColor);
  cls.Prop(L"BrightColor", &TLineParams::BrightColor);
}

VCL_REGISTER(TOtherGrid) {
  cls.Prop(L"FixedColor", &TOtherGrid::FixedColor);
  cls.Prop(L"FooterColor", &TOtherGrid::FooterColor);
  cls.Prop(L"TitleFont", &TOtherGrid::TitleFont);
  cls.Prop(L"EvenRowColor", &TOtherGrid::EvenRowColor);
  cls.Prop(L"OddRowColor", &TOtherGrid::OddRowColor);
  cls.Prop(L"GridLineParams", &TOtherGrid::GridLineParams);
}

VCL_REGISTER(TPlainGrid) {}

}  // namespace gridtest

using namespace vcl;
using namespace wintest;
using namespace gridtest;

namespace {

class Grids : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = Create<TForm>(Application);
    manager = LaleManager(form, skins.Path());
    manager->SetActive(true);
    form->SetBounds(40, 40, 400, 300);
    form->Show();
  }
  void TearDown() override {
    form->Free();
    Pump();
  }
  ScrollSkins skins;
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
};

}  // namespace

TEST_F(Grids, PublishedColoursTakeTheSkinAndComeBack) {
  auto* grid = new TOtherGrid(form);
  grid->SetParent(form);
  grid->SetBounds(10, 10, 200, 150);
  grid->TitleFont()->SetColor(clMaroon);
  grid->OddRowColor = clYellow;  // striped on purpose
  Pump();
  auto data = std::make_unique<TsScrollWndData>(grid, true);
  data->SetSkinSection(L"EDIT");
  data->SetSkinManager(manager);
  auto* w = NewWrapper<TlvGridEhWnd>(grid->Handle(), data.get(), manager, TlvSkinParams(), true);
  w->SetSkinParams();
  const TColor main = manager->Palette[pcMainColor];
  EXPECT_EQ(grid->FixedColor, main);
  EXPECT_EQ(grid->TitleFont()->Color(), manager->Palette[pcLabelText]);
  EXPECT_EQ(grid->EvenRowColor, manager->Palette[pcEditBG_EvenRow]);
  EXPECT_EQ(grid->OddRowColor, manager->Palette[pcEditBG_OddRow]);
  EXPECT_EQ(grid->GridLineParams()->DarkColor, MixColors(clBlack, main, 0.3));
  EXPECT_EQ(grid->GridLineParams()->BrightColor, MixColors(clWhite, manager->Palette[pcEditBG], 0.2));
  // Freed: every saved colour is back.
  delete w;
  EXPECT_EQ(grid->FixedColor, ColorToRGB(clBtnFace));
  EXPECT_EQ(grid->FooterColor, ColorToRGB(clInfoBk));
  EXPECT_EQ(grid->TitleFont()->Color(), ColorToRGB(clMaroon));
  EXPECT_EQ(grid->OddRowColor, ColorToRGB(clYellow));
  EXPECT_EQ(grid->GridLineParams()->DarkColor, ColorToRGB(clGray));

  // Rows of one colour stay of one colour.
  grid->OddRowColor = grid->EvenRowColor;
  w = NewWrapper<TlvGridEhWnd>(grid->Handle(), data.get(), manager, TlvSkinParams(), true);
  w->SetSkinParams();
  EXPECT_EQ(grid->EvenRowColor, grid->OddRowColor);
  EXPECT_NE(grid->OddRowColor, manager->Palette[pcEditBG_OddRow]);
  delete w;
  data.reset();
}

TEST_F(Grids, AGridPublishingNoneOfTheColoursKeepsItsLook) {
  auto* grid = new TPlainGrid(form);
  grid->SetParent(form);
  grid->SetBounds(10, 10, 200, 150);
  grid->SetColor(clAqua);
  Pump();
  auto* w = NewWrapper<TlvGridWnd>(grid->Handle(), nullptr, manager, TlvSkinParams(), true);
  w->SetSkinParams();
  RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(grid->Color(), clAqua);  // a bare wrapper (no control object) touches no property
  delete w;
  EXPECT_EQ(grid->Color(), clAqua);
}
