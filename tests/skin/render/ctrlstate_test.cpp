// A control's skin state beside its painting: outer shadows painted into the parent's cache, the cache copied to
// a window around the children, the window property that leads from a window to its skin state, the background
// kind of a section and the colours a control takes from it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "painttest.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sCtrlCache.h"
#include "skin/core/sMessages.h"
#include "skin/core/sOuterEffects.h"
#include "skin/render/sGradient.h"

using namespace painttest;

namespace {

// A windowed control whose skin state answers the skin commands, as every skinned control's does.
class TStateControl : public vcl::TWinControl {
 public:
  TStateControl(vcl::TComponent* owner, TsSkinManager* manager, int section) : vcl::TWinControl(owner) {
    SkinData = std::make_unique<TsCommonData>(this, true);
    SkinData->SetSkinManager(manager);
    SkinData->Loading = false;
    SkinData->SkinIndex = section;
  }
  ~TStateControl() override { SkinData.reset(); }
  void WndProc(vcl::TMessage& m) override {
    if (SkinData && CommonWndProc(m, SkinData.get())) return;
    vcl::TWinControl::WndProc(m);
  }
  std::unique_ptr<TsCommonData> SkinData;
};

constexpr std::uint32_t kBase = 0xFF204060u;

// Full opacity mixes with the weight 255 of 256: a channel may fall a few steps short of the mask's.
bool Near(std::uint32_t px, std::uint32_t rgb) {
  for (int shift : {0, 8, 16}) {
    int a = static_cast<int>((px >> shift) & 0xFF), b = static_cast<int>((rgb >> shift) & 0xFF);
    if (std::abs(a - b) > 3) return false;
  }
  return true;
}

class ControlState : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    auto& t = static_cast<TsSkinTables&>(*skin.manager);
    // The shadow section: the masked border (4-pixel margins, red corners, blue sides) as outer mask, 3 pixels
    // outside each side.
    TsGeneralData shadow = t.gd[kPlain];
    shadow.OuterMask = kMaskedBorder;
    shadow.OuterOffset = vcl::TRect(3, 3, 3, 3);
    shadow.OuterOpacity = 255;
    t.gd.push_back(shadow);
    shadowSection = static_cast<int>(t.gd.size()) - 1;
    skin->Effects()->SetAllowOuterEffects(true);
    form = std::make_unique<vcl::TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    container = new TStateControl(form.get(), skin.Get(), kPlain);
    container->SetParent(form.get());
    container->SetBounds(0, 0, 200, 120);
    child = new TStateControl(form.get(), skin.Get(), shadowSection);
    child->SetParent(container);
    child->SetBounds(40, 30, 60, 40);
    form->Show();
    vcl::Application->ProcessMessages();
    child->SkinData->OuterEffects()->SetVisibility(ovAlways);
    ResetCache();
  }
  void TearDown() override { form.reset(); }
  void ResetCache() {
    TsCommonData* sd = container->SkinData.get();
    sd->InitCacheBmp();
    for (int y = 0; y < sd->CacheBmp()->Height(); ++y)
      for (int x = 0; x < sd->CacheBmp()->Width(); ++x) Px(sd->CacheBmp(), x, y) = kBase;
  }
  vcl::TBitmap* Cache() { return container->SkinData->CacheBmp(); }

  TestSkin skin;
  int shadowSection = -1;
  std::unique_ptr<vcl::TForm> form;
  TStateControl* container = nullptr;
  TStateControl* child = nullptr;
};

}  // namespace

TEST_F(ControlState, OuterShadowPaintsAroundTheChildOnlyAndRepaintsWithoutDarkening) {
  PaintOuterEffects(container->SkinData.get(), container, vcl::TPoint(0, 0));
  // The shadow spans the child's rectangle grown by 3: (37,27)-(103,73): full 4-pixel corners, sides 3 pixels
  // thick, no middle.
  EXPECT_PRED2(Near, Px(Cache(), 37, 27), 0xFF0000u);
  EXPECT_PRED2(Near, Px(Cache(), 40, 30), 0xFF0000u);
  EXPECT_PRED2(Near, Px(Cache(), 39, 50), 0x0000FFu);
  EXPECT_EQ(Px(Cache(), 40, 50), kBase);
  EXPECT_PRED2(Near, Px(Cache(), 70, 72), 0x0000FFu);
  EXPECT_EQ(Px(Cache(), 70, 50), kBase);
  EXPECT_EQ(Px(Cache(), 36, 50), kBase);
  EXPECT_EQ(Px(Cache(), 103, 50), kBase);
  // What lay under the shadow is kept, the size of the shadow.
  ASSERT_TRUE(child->SkinData->FOuterCache);
  EXPECT_EQ(child->SkinData->FOuterCache->Width(), 66);
  EXPECT_EQ(Px(child->SkinData->FOuterCache.get(), 1, 1), kBase);

  // Repainting over the kept background twice gives the same pixels as the first time.
  std::vector<std::uint32_t> first;
  for (int x = 30; x < 110; ++x) first.push_back(Px(Cache(), x, 50));
  for (int round = 0; round < 2; ++round) {
    TlvBGInfo info;
    info.Bmp = Cache();
    info.BgType = btCache;
    child->Perform(SM_LUMICMD, MakeLumiWParam(LVC_PAINTOUTER, lvOuterRepaint), reinterpret_cast<LPARAM>(&info));
  }
  for (int x = 30; x < 110; ++x) EXPECT_EQ(Px(Cache(), x, 50), first[static_cast<size_t>(x - 30)]) << x;
}

TEST_F(ControlState, NoShadowWithoutMaskModeVisibilityOrPermission) {
  auto& g = skin->gd[static_cast<size_t>(shadowSection)];
  struct Case {
    const char* name;
    int outerMask;
    int outerMode;
    TlvOuterVisibility visibility;
    bool allowed;
  } cases[] = {
      {"no mask, no mode", -1, 0, ovAlways, true},
      {"no mask, mode with an empty entry", -1, 1, ovAlways, true},
      {"mode past the table", -1, 7, ovAlways, true},
      {"visibility none", kMaskedBorder, 0, ovNone, true},
      {"outer effects not allowed", kMaskedBorder, 0, ovAlways, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g.OuterMask = c.outerMask;
    g.OuterMode = c.outerMode;
    child->SkinData->OuterEffects()->SetVisibility(c.visibility);
    skin->Effects()->SetAllowOuterEffects(c.allowed);
    ResetCache();
    PaintOuterEffects(container->SkinData.get(), container, vcl::TPoint(0, 0));
    EXPECT_EQ(Px(Cache(), 37, 27), kBase);
    EXPECT_EQ(Px(Cache(), 38, 50), kBase);
  }
}

TEST_F(ControlState, ShadowFromTheSkinsOuterEffectTableMovedByTheOffset) {
  auto& g = skin->gd[static_cast<size_t>(shadowSection)];
  g.OuterMask = -1;
  g.OuterMode = 2;
  TlvOutEffData& e = skin->oe[1];
  e.Mask = kMaskedBorder;
  e.OffsetL = e.OffsetT = e.OffsetR = e.OffsetB = 3;
  e.Opacity = 255;
  e.Source = 2;
  PaintOuterEffects(container->SkinData.get(), container, vcl::TPoint(10, 5));
  EXPECT_PRED2(Near, Px(Cache(), 47, 32), 0xFF0000u);
  EXPECT_PRED2(Near, Px(Cache(), 48, 55), 0x0000FFu);
  EXPECT_EQ(Px(Cache(), 38, 50), kBase);
}

TEST_F(ControlState, TheWindowCarriesItsSkinStateWhileItLives) {
  ASSERT_TRUE(child->HandleAllocated());
  // Made after the window: the state puts itself on it and takes itself off when freed.
  auto late = std::make_unique<TsCommonData>(child, false);
  EXPECT_EQ(GetCommonData(child->Handle()), late.get());
  late.reset();
  EXPECT_EQ(GetCommonData(child->Handle()), nullptr);
  EXPECT_EQ(GetCommonData(nullptr), nullptr);
}

TEST_F(ControlState, CacheCopiedAroundGraphicAndOpaqueChildren) {
  TsCommonData* sd = container->SkinData.get();
  auto* label = new vcl::TLabel(form.get());
  label->SetParent(container);
  label->SetBounds(120, 10, 30, 20);
  child->SetControlStyle(child->ControlStyle() - vcl::csOpaque);
  auto target = Filled(200, 120, 0xFF000000u);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) Px(Cache(), x, y) = 0xFFFF0000u;
  CopyWinControlCache(container, sd, vcl::Rect(0, 0, 200, 120), vcl::Rect(0, 0, 200, 120), target->Canvas()->Handle(),
                      false);
  target->Dormant();
  EXPECT_EQ(Rgb(Px(target.get(), 5, 5)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(target.get(), 130, 20)), 0u);        // the label paints itself there
  EXPECT_EQ(Rgb(Px(target.get(), 50, 40)), 0xFF0000u);  // a windowed child that is not opaque gets the cache
  child->SetControlStyle(child->ControlStyle() + vcl::csOpaque);
  auto second = Filled(200, 120, 0xFF000000u);
  CopyWinControlCache(container, sd, vcl::Rect(0, 0, 200, 120), vcl::Rect(0, 0, 200, 120), second->Canvas()->Handle(),
                      false);
  second->Dormant();
  EXPECT_EQ(Rgb(Px(second.get(), 50, 40)), 0u);
  // An empty cache copies nothing.
  sd->CacheBmp()->SetWidth(0);
  auto third = Filled(20, 20, 0xFF000000u);
  CopyWinControlCache(container, sd, vcl::Rect(0, 0, 20, 20), vcl::Rect(0, 0, 20, 20), third->Canvas()->Handle(),
                      false);
  EXPECT_EQ(Rgb(Px(third.get(), 5, 5)), 0u);
}

TEST_F(ControlState, BackgroundKindOfTheNormalState) {
  TsCommonData* sd = child->SkinData.get();
  auto& t = static_cast<TsSkinTables&>(*skin.manager);
  struct Case {
    int section;
    int drawMode;
    int gradientMode;
    unsigned expected;
  } cases[] = {
      {kPlain, 0, -1, BGT_NONE},
      {kTextured, fmTiled, -1, BGT_TEXTURELEFT | BGT_TEXTURERIGHT | BGT_TEXTURETOP | BGT_TEXTUREBOTTOM},
      {kTextured, fmStretched, -1,
       BGT_STRETCH | BGT_TEXTURELEFT | BGT_TEXTURERIGHT | BGT_TEXTURETOP | BGT_TEXTUREBOTTOM},
      {kTextured, fmTiledHorz, -1, BGT_TEXTURETOP},
      {kTextured, fmStretchVertRight, -1, BGT_STRETCH | BGT_TEXTURERIGHT},
      {kTextured, fmTileHorBtm, -1, BGT_TEXTUREBOTTOM},
      {kGradient, 0, 0, BGT_GRADIENTVERT},
      {kGradient, 0, 1, BGT_GRADIENTHORZ},
      {kGradient, 0, 2, BGT_GRADIENTVERT | BGT_GRADIENTHORZ},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "section " << c.section << " mode " << c.drawMode << "/" << c.gradientMode);
    t.ma[kTexture].DrawMode = static_cast<std::int16_t>(c.drawMode);
    if (c.gradientMode >= 0) t.gd[kGradient].Props[0].GradientArray[0].Mode1 = c.gradientMode;
    sd->SkinIndex = c.section;
    sd->InitBGType();
    EXPECT_EQ(sd->BGType, c.expected);
  }
  t.ma[kTexture].DrawMode = 0;
}

TEST_F(ControlState, ColoursOfTheCurrentStateAndTonedImages) {
  TsCommonData* sd = child->SkinData.get();
  sd->SkinIndex = kPlain;
  child->SetColor(vcl::clWhite);
  UpdateControlColors(sd, false);
  EXPECT_EQ(child->Color(), 0x0000FF);
  EXPECT_EQ(child->Font()->Color(), 0x000000);
  sd->SetCustomColor(true);
  child->SetColor(vcl::clWhite);
  UpdateControlColors(sd, true);
  EXPECT_EQ(child->Color(), vcl::clWhite);

  // A hue turn of 120 degrees makes red green; the key colour is left alone.
  auto bmp = Filled(2, 1, 0xFFFF0000u);
  Px(bmp.get(), 1, 0) = 0x00FF00FFu;
  sd->FHUEOffset = 120;
  UpdateBmpColors(bmp.get(), sd, false, 0);
  EXPECT_EQ(Rgb(Px(bmp.get(), 0, 0)), 0x00FF00u);
  EXPECT_EQ(Px(bmp.get(), 1, 0), 0x00FF00FFu);
  sd->FHUEOffset = 0;
}
