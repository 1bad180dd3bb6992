// Images of small buttons: a tool button's image drawn for its tool bar's look (placed for captions and drop-down
// arrows, moved while pressed), and the combo edit's button taking its image, width and hint from the edit's glyph
// settings (normal, hot and pressed images), without a skin and with each test skin.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/toolbar.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/core/sButtonGlyphs.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

std::uint32_t Pixel(TBitmap* bmp, int x, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] & 0xFFFFFF; }

// A list of 16 x 16 images, each one colour ($RRGGBB).
TImageList* SolidImages(TComponent* owner, std::initializer_list<std::uint32_t> colours) {
  auto* list = new TImageList(owner);
  list->SetSize(16, 16);
  for (std::uint32_t c : colours) {
    auto image = CreateBmp32(16, 16);
    FillDC(image->Canvas()->Handle(), TRect(0, 0, 16, 16),
           static_cast<TColor>(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF)));
    list->Add(image.get(), nullptr);
  }
  return list;
}

// The bounding box of the pixels of one colour in a bitmap (empty when none).
TRect Box(TBitmap* bmp, std::uint32_t colour) {
  TRect r(bmp->Width(), bmp->Height(), 0, 0);
  for (int y = 0; y < bmp->Height(); ++y)
    for (int x = 0; x < bmp->Width(); ++x)
      if (Pixel(bmp, x, y) == colour) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

class ToolButtonImages : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 300, 200);
    bar = new TToolBar(form);
    bar->SetParent(form);
    bar->SetImages(SolidImages(form, {kRed}));
    button = new TToolButton(form);
    button->SetParent(bar);
    button->SetImageIndex(0);
  }
  void TearDown() override { form->Free(); }
  // The red image's place in a white picture of the button.
  TRect Drawn(TCustomDrawState state) {
    auto bmp = CreateBmp32(button->Width(), button->Height());
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, button->Width(), button->Height()), clWhite);
    CopyToolBtnGlyph(bar, button, state, bmp.get());
    GdiFlush();
    return Box(bmp.get(), kRed);
  }
  TForm* form = nullptr;
  TToolBar* bar = nullptr;
  TToolButton* button = nullptr;
};

// Centred at rest and hot; one pixel down and right while selected or checked; a drop-down button leaves the arrow
// its 8 pixels; shown captions take their line below the image.
TEST_F(ToolButtonImages, TheImageIsPlacedForTheButtonsLook) {
  form->Show();
  ASSERT_EQ(button->Width(), 23);
  ASSERT_EQ(button->Height(), 22);
  const int x = (23 - 16) / 2 + 1, y = (22 - 16) / 2;
  struct Case {
    const char* name;
    TCustomDrawState state;
    int dx;
  } cases[] = {{"rest", {}, 0},
               {"hot", {cdsHot}, 0},
               {"selected", {cdsSelected}, 1},
               {"checked", {cdsChecked}, 1},
               {"hot and selected", {cdsHot, cdsSelected}, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Drawn(c.state), TRect(x + c.dx, y + c.dx, x + c.dx + 16, y + c.dx + 16));
  }
  bar->SetButtonWidth(40);
  button->SetStyle(tbsDropDown);
  ASSERT_EQ(button->Width(), 40);
  EXPECT_EQ(Drawn({}).Left, (40 - 16) / 2 - 8 + 1);
  button->SetStyle(tbsButton);
  bar->SetShowCaptions(true);
  bar->SetButtonHeight(40);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bar->Font()->Handle());
  SIZE a{};
  GetTextExtentPoint32W(dc, L"A", 1, &a);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(Drawn({}).Top, (button->Height() - 16 - (a.cy + 3)) / 2);
  // No image list, no image.
  bar->SetImages(nullptr);
  EXPECT_TRUE(Drawn({}).IsEmpty());
}

struct SkinCase {
  const wchar_t* name;  // nullptr: no skin at all
  const char* file;
};

class ComboEditImages : public ::testing::TestWithParam<SkinCase> {
 protected:
  void SetUp() override {
    Application->Initialize();
    SetCursorPos(1200, 1000);
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 300, 200);
    manager = skintest::ActiveTestSkin(form, GetParam().name);
    if (manager) ASSERT_TRUE(manager->CommonSkinData->Active);
    edit = Create<TsCustomComboEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(20, 20, 160, 24);
  }
  void TearDown() override {
    form->Free();
    Application->ProcessMessages();
  }
  // The button as it paints itself, into a bitmap of its size.
  std::unique_ptr<TBitmap> Painted() {
    TsEditButton* b = edit->Button();
    auto bmp = CreateBmp32(b->Width(), b->Height());
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, b->Width(), b->Height()), clFuchsia);
    SendMessageW(b->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
    GdiFlush();
    return bmp;
  }
  std::uint32_t Centre() {
    auto bmp = Painted();
    return Pixel(bmp.get(), bmp->Width() / 2, bmp->Height() / 2);
  }
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  TsCustomComboEdit* edit = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Skins, ComboEditImages,
                         ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"},
                                           SkinCase{nullptr, "plain"}),
                         [](const auto& info) { return std::string(info.param.file); });

// Without images the button keeps its arrow and width; given an image list and an index it shows the image (hot and
// pressed ones in those states, the normal one where the list lacks them) and grows to the image's width + 2; the
// hint is the button's; a freed list gives the arrow back.
TEST_P(ComboEditImages, TheButtonShowsTheGlyphSettingsImages) {
  form->Show();
  TsEditButton* b = edit->Button();
  TsGlyphMode* mode = edit->GlyphMode();
  ASSERT_EQ(mode->Btn, b);
  EXPECT_EQ(b->Width(), 17);
  EXPECT_EQ(b->ImageIndexFor(0), -1);
  const std::uint32_t arrowCentre = Centre();
  TImageList* list = SolidImages(form, {kRed, kGreen, kBlue});
  mode->SetImages(list);
  EXPECT_EQ(b->Width(), 17) << "an index is needed too";
  mode->SetImageIndex(0);
  EXPECT_EQ(b->Width(), 18);
  EXPECT_EQ(b->NumGlyphs(), 1);
  EXPECT_EQ(b->Left() + b->Width(), edit->ClientWidth());
  EXPECT_EQ(Centre(), kRed);
  // Hot and pressed: their own images; an index the list lacks falls back to the normal one.
  mode->SetImageIndexHot(1);
  mode->SetImageIndexPressed(7);
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_EQ(b->CurrentState(), 1);
  EXPECT_EQ(Centre(), kGreen);
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ASSERT_EQ(b->CurrentState(), 2);
  EXPECT_EQ(Centre(), kRed);
  mode->SetImageIndexPressed(2);
  EXPECT_EQ(Centre(), kBlue);
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Centre(), kRed);
  // The image is placed in the middle: the picture's edges are not the image.
  auto bmp = Painted();
  EXPECT_NE(Pixel(bmp.get(), 0, 0), kRed);
  // The hint is the button's own.
  mode->SetHint(L"Tarih seçin (İ/ı)");
  EXPECT_EQ(b->Hint(), rtl::String(L"Tarih seçin (İ/ı)"));
  EXPECT_EQ(mode->Hint(), b->Hint());
  // Blend and Grayed pass to the button.
  mode->SetBlend(30);
  EXPECT_EQ(b->Blend(), 30);
  mode->SetGrayed(true);
  EXPECT_TRUE(b->Grayed());
  mode->SetGrayed(false);
  mode->SetBlend(0);
  // A freed list: the arrow and its width again.
  delete list;
  EXPECT_EQ(mode->Images(), nullptr);
  EXPECT_EQ(b->Width(), 17);
  EXPECT_EQ(Centre(), arrowCentre);
}

}  // namespace
