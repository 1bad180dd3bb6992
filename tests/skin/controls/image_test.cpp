// The skinned image: where a picture is placed and at what size for the combinations of Stretch, Proportional,
// Center, Reflected and UseFullSize; what counts as empty; and, with a test skin, the picture composed into the
// control's cache with its alpha, grey tint and fade.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/picture.h"
#include "skin/controls/sImage.h"
#include "skin/core/sSkinManager.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

namespace {

using namespace ctltest;

// A 32-bit picture of one colour with full alpha.
std::unique_ptr<vcl::TBitmap> Picture(int w, int h, std::uint32_t bgr) {
  auto bmp = std::make_unique<vcl::TBitmap>(w, h, vcl::pf32bit);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<std::uint32_t*>(bmp->ScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = bgr | 0xFF000000u;
  }
  return bmp;
}

std::uint32_t Pixel(vcl::TBitmap* bmp, int x, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] & 0xFFFFFF; }

// Each channel within a step of rounding.
class ImageForm : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    form_ = new vcl::TForm(nullptr);
    form_->SetBounds(40, 40, 600, 560);
    image_ = new TsImage(form_);
    image_->SetParent(form_);
  }
  void TearDown() override { delete form_; }
  void Put(int pw, int ph, int w, int h, bool stretch, bool proportional, bool center) {
    auto pic = Picture(pw, ph, 0x0000FF);
    image_->Picture()->SetGraphic(pic.get());
    image_->SetBounds(0, 0, w, h);
    image_->SetStretch(stretch);
    image_->SetProportional(proportional);
    image_->SetCenter(center);
  }
  vcl::TForm* form_ = nullptr;
  TsImage* image_ = nullptr;
};

TEST_F(ImageForm, SizeAndPlaceOfThePicture) {
  struct Case {
    int pw, ph, w, h;
    bool stretch, proportional, center, reflected, fullSize;
    int cx, cy, x, y;
  };
  const Case cases[] = {
      // The main window's picture: 545 x 545 into 450 x 450.
      {545, 545, 450, 450, true, true, true, false, false, 450, 450, 0, 0},
      {200, 100, 100, 100, true, true, false, false, false, 100, 50, 0, 0},
      {200, 100, 100, 100, true, true, true, false, false, 100, 50, 0, 25},
      {100, 200, 100, 100, true, true, true, false, false, 50, 100, 25, 0},
      // Reflected: the picture takes at most two thirds of the height.
      {200, 200, 100, 150, true, true, true, true, false, 100, 100, 0, 25},
      {200, 200, 100, 150, true, true, true, true, true, 100, 100, 0, 0},
      // Stretched without proportions: the whole control, placed at the corner.
      {30, 10, 100, 60, true, false, true, false, false, 100, 60, 0, 0},
      // Not stretched: its own size, centred or not.
      {30, 10, 100, 60, false, false, true, false, false, 30, 10, 35, 25},
      {30, 10, 100, 60, false, false, false, false, false, 30, 10, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.pw) + "x" + std::to_string(c.ph) + " in " + std::to_string(c.w) + "x" +
                 std::to_string(c.h));
    Put(c.pw, c.ph, c.w, c.h, c.stretch, c.proportional, c.center);
    image_->SetReflected(c.reflected);
    image_->SetUseFullSize(c.fullSize);
    vcl::TSize s = image_->GetSrcSize(c.stretch);
    EXPECT_EQ(s.cx, c.cx);
    EXPECT_EQ(s.cy, c.cy);
    vcl::TPoint p = image_->ImageOffset(s);
    EXPECT_EQ(p.X, c.x);
    EXPECT_EQ(p.Y, c.y);
    EXPECT_EQ(image_->GetSrcSize(false).cx, c.pw);
  }
}

TEST_F(ImageForm, AutoSizeAndEmptiness) {
  EXPECT_TRUE(image_->Empty());
  Put(40, 30, 10, 10, false, false, false);
  EXPECT_FALSE(image_->Empty());
  int w = 0, h = 0;
  EXPECT_TRUE(image_->CanAutoSize(w, h));
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 30);
  image_->SetReflected(true);
  image_->SetUseFullSize(true);
  image_->CanAutoSize(w, h);
  EXPECT_EQ(h, 45);
  // A list without a chosen image: the picture is what shows.
  auto* list = new vcl::TImageList(form_);
  list->SetWidth(16);
  list->SetHeight(16);
  image_->SetImages(list);
  EXPECT_EQ(image_->ImageIndex(), -1);
  EXPECT_FALSE(image_->Empty());
  image_->SetImageIndex(3);  // beyond the list's images: still the picture
  EXPECT_FALSE(image_->Empty());
  image_->Picture()->SetGraphic(nullptr);
  EXPECT_TRUE(image_->Empty());
  delete list;
  EXPECT_EQ(image_->Images(), nullptr);
}

TEST_F(ImageForm, WithASkinThePictureIsComposedIntoTheCache) {
  auto* manager = new TsSkinManager(form_);
  manager->SetIsDefault(true);
  manager->SetSkinDirectory(skintest::SkinsSource());
  manager->SetSkinName(L"Deniz");
  manager->SetActive(true);
  ASSERT_TRUE(manager->CommonSkinData->Active);
  image_->SkinData()->SetSkinSection(L"CHECKBOX");
  image_->SkinData()->UpdateIndexes(true);
  ASSERT_TRUE(image_->SkinData()->Skinned());
  Put(40, 40, 80, 80, false, false, true);
  ASSERT_TRUE(image_->PrepareCache(nullptr));
  vcl::TBitmap* cache = image_->SkinData()->CacheBmp();
  ASSERT_NE(cache, nullptr);
  EXPECT_TRUE(Near(Pixel(cache, 40, 40), 0x0000FFu)) << std::hex << Pixel(cache, 40, 40);  // the picture, centred
  const std::uint32_t outside = Pixel(cache, 5, 5);
  EXPECT_FALSE(Near(outside, 0x0000FFu));  // the section's background around it
  // Grey: the channels even out; faded: between the picture and the background.
  image_->SetGrayed(true);
  image_->PrepareCache(nullptr);
  std::uint32_t grey = Pixel(cache, 40, 40);
  EXPECT_FALSE(Near(grey, 0x0000FFu));
  image_->SetGrayed(false);
  image_->SetBlend(50);
  image_->PrepareCache(nullptr);
  std::uint32_t faded = Pixel(cache, 40, 40);
  EXPECT_FALSE(Near(faded, 0x0000FFu));
  EXPECT_FALSE(Near(faded, outside));
  form_->Show();
  vcl::Application->ProcessMessages();
}

}  // namespace
