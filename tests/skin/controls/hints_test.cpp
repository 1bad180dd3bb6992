// The hint component: the template file and its damaged forms, the choice of template, the balloon's picture and
// its corner near the screen's edge, and a hint that appears over a control after its pause and hides on time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/controls/lvAlphaHints.h"
#include "skin/core/services/sDialogs.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/common/tempdir.h"
#include "tests/skin/core/skintest.h"

namespace {

using namespace ctltest;

using Bytes = std::vector<rtl::Byte>;

Bytes Saved(TsAlphaHints& hints) {
  rtl::TBytesStream out;
  hints.SaveToStream(out);
  return out.Bytes();
}

// One image record: 5 mode bytes, 12 widths, the kind and the length, then the picture.
size_t ImageRecordSize(const Bytes& file, size_t at) {
  std::int32_t length;
  std::memcpy(&length, file.data() + at + 5 + 48 + 1, 4);
  return 5 + 48 + 1 + 4 + static_cast<size_t>(length);
}

void PutInt(Bytes& b, size_t at, std::int32_t v) { std::memcpy(b.data() + at, &v, 4); }

class Hints : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    sMessageDlgHandler = [this](const rtl::String& text, vcl::TMsgDlgType, vcl::TMsgDlgButtons) {
      boxes.push_back(text);
      return 1;
    };
  }
  void TearDown() override { sMessageDlgHandler = nullptr; }
  std::vector<rtl::String> boxes;
};

}  // namespace

TEST_F(Hints, TheDefaultTemplateIsTheBuiltInBalloon) {
  TlvHintTemplate* t = DefaultTemplate();
  ASSERT_TRUE(t->ImageDefault()->HasPicture());
  EXPECT_EQ(t->ImageDefault()->ImageWidth(), 27);
  EXPECT_EQ(t->ImageDefault()->ImageHeight(), 27);
  const TlvBordersSizes* b = t->ImageDefault()->BordersWidths();
  EXPECT_EQ(vcl::TRect(b->Left(), b->Top(), b->Right(), b->Bottom()), vcl::TRect(11, 10, 14, 15));
  EXPECT_EQ(t->ImageDefault()->ShadowSizes()->AsRect(), vcl::TRect(6, 5, 7, 8));
  EXPECT_EQ(t->ImageDefault()->ClientMargins()->AsRect(), vcl::TRect(11, 8, 16, 15));
  EXPECT_TRUE(t->UsesSingleImage());
}

TEST_F(Hints, ATemplateFileRoundTripsAndHoldsOneImageForASingleImageTemplate) {
  TsAlphaHints hints(nullptr);
  hints.SetActive(false);
  const Bytes file = Saved(hints);
  ASSERT_GT(file.size(), 18u);
  EXPECT_EQ(std::memcmp(file.data(), "LShh", 4), 0);
  EXPECT_EQ(file[4], '1');
  std::int32_t n;
  std::memcpy(&n, file.data() + 14, 4);
  EXPECT_EQ(file.size(), 18 + static_cast<size_t>(n) + ImageRecordSize(file, 18 + static_cast<size_t>(n)));

  rtl::TBytesStream in(file);
  TlvHintTemplate* t = hints.LoadFromStream(in);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(hints.Templates()->Count(), 1);
  EXPECT_EQ(t->ImageDefault()->BordersWidths()->AsRect(), vcl::TRect(11, 10, 14, 15));
  EXPECT_EQ(t->ImageDefault()->ShadowSizes()->AsRect(), vcl::TRect(6, 5, 7, 8));
  EXPECT_EQ(t->ImageDefault()->ImageWidth(), 27);
  EXPECT_TRUE(t->UsesSingleImage());

  // Four images, a font of its own: saved from the collection and read back the same.
  t->SetName(L"BLUE");
  t->Img_LeftBottom()->Assign(t->ImageDefault());
  t->Img_RightTop()->Assign(t->ImageDefault());
  t->Img_RightBottom()->Assign(t->ImageDefault());
  t->Img_RightBottom()->BordersWidths()->SetValues(3, 4, 5, 6);
  t->Font()->SetName(L"Tahoma");
  t->Font()->SetSize(12);
  t->Font()->SetColor(0x123456);
  t->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold, vcl::fsUnderline});
  hints.SetTemplateName(L"Blue");  // names match without regard to case
  EXPECT_EQ(hints.TemplateIndex(), 0);
  const Bytes four = Saved(hints);
  rtl::TBytesStream in2(four);
  TlvHintTemplate* u = hints.LoadFromStream(in2);
  ASSERT_NE(u, nullptr);
  EXPECT_FALSE(u->UsesSingleImage());
  EXPECT_EQ(u->Img_RightBottom()->BordersWidths()->AsRect(), vcl::TRect(3, 4, 5, 6));
  EXPECT_EQ(u->Font()->Name(), L"Tahoma");
  EXPECT_EQ(u->Font()->Size(), 12);
  EXPECT_EQ(u->Font()->Color(), 0x123456);
  EXPECT_TRUE(u->Font()->Style().Contains(vcl::fsBold));
  EXPECT_TRUE(u->Font()->Style().Contains(vcl::fsUnderline));
  hints.SetTemplateName(L"none such");
  EXPECT_EQ(hints.TemplateIndex(), -1);
  hints.InitTemplate();
  EXPECT_EQ(hints.CurrentTemplate(), DefaultTemplate());

  // A file whose flag promises more images but which ends after the default one loads as a single-image template.
  Bytes cut = four;
  const size_t nameEnd = 18 + static_cast<size_t>(u->Font()->Name().size());
  cut.resize(nameEnd + ImageRecordSize(cut, nameEnd));
  rtl::TBytesStream in3(cut);
  TlvHintTemplate* v = hints.LoadFromStream(in3);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->UsesSingleImage());
}

TEST_F(Hints, FilesAreSavedAndNamedAfterTheFile) {
  testutil::TempFolder folder(L"hints");
  TsAlphaHints hints(nullptr);
  hints.SetActive(false);
  const rtl::String file = folder.Path() + L"\\Sea.Blue.lshh";
  hints.SaveToFile(file);
  hints.SaveToFile(file);  // an existing file is replaced
  TlvHintTemplate* t = hints.LoadFromFile(file);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Name(), L"Sea");
}

TEST_F(Hints, DamagedFilesAreRefusedAndAddNothing) {
  TsAlphaHints hints(nullptr);
  hints.SetActive(false);
  const Bytes good = Saved(hints);
  std::int32_t n;
  std::memcpy(&n, good.data() + 14, 4);
  const size_t image = 18 + static_cast<size_t>(n);
  struct Damage {
    const char* What;
    std::function<void(Bytes&)> Apply;
  };
  const Damage damages[] = {
      {"name length 64", [](Bytes& b) { PutInt(b, 14, 64); }},
      {"name length -1", [](Bytes& b) { PutInt(b, 14, -1); }},
      {"name length huge", [](Bytes& b) { PutInt(b, 14, 0x7FFFFFFF); }},
      {"font size huge", [](Bytes& b) { PutInt(b, 9, 0x40000000); }},
      {"flag byte", [](Bytes& b) { b[4] = 'x'; }},
      {"draw mode 7", [&](Bytes& b) { b[image] = 7; }},
      {"border width huge", [&](Bytes& b) { PutInt(b, image + 5, 0x7FFFFFF0); }},
      {"shadow negative huge", [&](Bytes& b) { PutInt(b, image + 5 + 40, -0x7FFFFFF0); }},
      {"picture kind", [&](Bytes& b) { b[image + 53] = '7'; }},
      {"picture length beyond the file", [&](Bytes& b) { PutInt(b, image + 54, 0x7FFFFFFF); }},
      {"picture length negative", [&](Bytes& b) { PutInt(b, image + 54, -5); }},
      {"picture bytes no PNG", [&](Bytes& b) { b[image + 58 + 1] ^= 0xFF; }},
  };
  for (const Damage& d : damages) {
    Bytes bad = good;
    d.Apply(bad);
    rtl::TBytesStream in(bad);
    EXPECT_THROW(hints.LoadFromStream(in), rtl::Exception) << d.What;
    EXPECT_EQ(hints.Templates()->Count(), 0) << d.What;
  }
  // Every truncation: refused with the reader's error (or, before the magic is whole, as another format).
  for (size_t len = 0; len < good.size(); ++len) {
    Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len));
    rtl::TBytesStream in(cut);
    TlvHintTemplate* t = nullptr;
    try {
      t = hints.LoadFromStream(in);
    } catch (const rtl::EReadError&) {
    } catch (const rtl::EInvalidGraphic&) {
    }
    EXPECT_EQ(t, nullptr) << len;
    EXPECT_EQ(hints.Templates()->Count(), 0) << len;
  }
  // A wrong magic: the message box, no template.
  boxes.clear();
  Bytes other = good;
  other[0] = 'X';
  rtl::TBytesStream in(other);
  EXPECT_EQ(hints.LoadFromStream(in), nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], L"Unknown file format");
}

TEST_F(Hints, TheBalloonIsTheTemplatePictureInNinePartsWithTheText) {
  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci numarası", 0);
  ASSERT_TRUE(hints.HintVisible());
  vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  ASSERT_GT(b->Width(), 27);
  vcl::TBitmap shot(b->Width(), b->Height(), vcl::pf24bit);
  RECT all{0, 0, b->Width(), b->Height()};
  FillRect(shot.Canvas()->Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(shot.Canvas()->Handle(), 0, 0, b->Width(), b->Height(), b->Canvas()->Handle(), 0, 0, b->Width(),
             b->Height(), bf);
  SaveOpaque(&shot, "hint_balloon");
  // Corners outside the rounded body are clear; the body centre is the pale fill, opaque; the edge is grey.
  EXPECT_EQ(Argb(b, 0, 0) >> 24, 0u);
  const std::uint32_t mid = Argb(b, 12, b->Height() / 2);
  EXPECT_EQ(mid >> 24, 255u);
  // The shadow band at the bottom right is partly transparent.
  const std::uint32_t shadow = Argb(b, b->Width() - 4, b->Height() - 5);
  EXPECT_LT(shadow >> 24, 255u);
  // Text pixels keep the balloon's opacity and differ from the fill.
  int dark = 0;
  for (int y = 8; y < b->Height() - 15; ++y)
    for (int x = 11; x < b->Width() - 16; ++x)
      if ((Argb(b, x, y) & 0xFF) < 0x80 && (Argb(b, x, y) >> 24) == 255) ++dark;
  EXPECT_GT(dark, 10);
}

TEST_F(Hints, ABalloonNearTheScreensCornerPointsFromItsOtherCorner) {
  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  hints.ShowHint(vcl::TPoint(sw - 5, sh - 5), L"Near the corner of the screen", 0);
  ASSERT_TRUE(hints.HintVisible());
  TlvPngHintWindow* w = hints.HintWindow();
  // The single-image default template moves by the overflow and keeps its image.
  EXPECT_EQ(w->MousePos(), mpRightBottom);
  RECT wr;
  GetWindowRect(w->Handle(), &wr);
  EXPECT_LE(wr.right, sw + 7);
  EXPECT_LE(wr.bottom, sh + 8);
  hints.HideAll();
  EXPECT_FALSE(hints.HintVisible());
  hints.ShowHint(vcl::TPoint(100, 100), L"Away from the edges", 0);
  EXPECT_EQ(hints.HintWindow()->MousePos(), mpLeftTop);
  GetWindowRect(hints.HintWindow()->Handle(), &wr);
  // The balloon's top-left is the anchor less the shadow.
  EXPECT_EQ(wr.left, 100 - 6);
  EXPECT_EQ(wr.top, 100 - 5);
}

TEST_F(Hints, AHintAppearsOverAControlAfterItsPauseAndHidesOnTime) {
  auto form = std::make_unique<vcl::TForm>(nullptr);
  form->SetBounds(200, 200, 300, 200);
  auto* panel = new vcl::TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(20, 20, 200, 100);
  panel->SetHint(L"Öğrencinin okul numarası");
  panel->SetShowHint(true);
  TsAlphaHints hints(nullptr);
  hints.SetPauseHide(1500);
  vcl::Application->SetHintPause(400);
  int hidden = 0;
  hints.OnHideHint = [&](rtl::TObject*) { ++hidden; };
  form->Show();
  vcl::Application->ProcessMessages();
  ASSERT_EQ(Manager, &hints);
  SetCursorPos(5, 5);  // off the form
  WaitFor([] { return false; }, 150);
  POINT over{0, 0};
  ClientToScreen(panel->Handle(), &over);
  const unsigned moved = GetTickCount();
  SetCursorPos(over.x + 100, over.y + 50);
  ASSERT_TRUE(WaitFor([&] { return hints.HintVisible(); }, 15000)) << "no hint within 15 s";
  const unsigned shown = GetTickCount();
  EXPECT_GE(shown - moved, 400u - 20u);  // the tick count is coarse
  EXPECT_EQ(hints.HintWindow()->Text(), L"Öğrencinin okul numarası");
  // The balloon fades in and ends fully opaque.
  ASSERT_TRUE(WaitFor([&] { return hints.HintWindow()->Blend() == 255; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return !hints.HintVisible(); }, 20000)) << "the hint stayed";
  EXPECT_GE(GetTickCount() - shown, 1500u - 20u);
  EXPECT_EQ(hidden, 1);
  // Resting on the same control shows no second hint; leaving and coming back does.
  WaitFor([] { return false; }, 700);
  EXPECT_FALSE(hints.HintVisible());
  SetCursorPos(5, 5);
  WaitFor([] { return false; }, 200);
  SetCursorPos(over.x + 90, over.y + 40);
  ASSERT_TRUE(WaitFor([&] { return hints.HintVisible(); }, 15000));
  // Leaving the control hides it at once.
  SetCursorPos(5, 5);
  ASSERT_TRUE(WaitFor([&] { return !hints.HintVisible(); }, 10000));
  vcl::Application->SetHintPause(500);
}

TEST_F(Hints, ASkinnedBalloonIsClearWhereItsSectionsMaskLeavesTheKeyColour) {
  ActiveLale lale;
  TsSkinManager* manager = lale.manager;
  ASSERT_TRUE(manager->Active());
  const int idx = manager->GetSkinIndex(L"BUTTON");
  ASSERT_GE(idx, 0);
  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  hints.SetUseSkinData(true);
  hints.SetSkinSection(L"BUTTON");
  ASSERT_TRUE(hints.Skinned());
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci numarası", 0);
  ASSERT_TRUE(hints.HintVisible());
  vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  ASSERT_GT(b->Width(), 20);
  // The reference: the section with its mask over the key colour.
  auto ref = CreateBmp32(b->Width(), b->Height());
  TCacheInfo ci = EmptyCI;
  ci.FillColor = 0xFF00FF;
  PaintItem(idx, ci, true, 0, vcl::Rect(0, 0, b->Width(), b->Height()), vcl::TPoint(0, 0), ref.get(), manager);
  int clear = 0, keyed = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) {
      const bool key = (Argb(ref.get(), x, y) & 0xFFFFFF) == 0xFF00FF;
      keyed += key ? 1 : 0;
      if (key) {
        EXPECT_EQ(Argb(b, x, y), 0u) << x << "," << y;
        ++clear;
      } else {
        ASSERT_EQ(Argb(b, x, y) >> 24, 255u) << x << "," << y;
      }
    }
  EXPECT_EQ(clear, keyed);
  EXPECT_GT(keyed, 0);  // the mask's corners
  // Inside, off the text, the section's own colour (premultiplied at full opacity: within a step).
  const std::uint32_t in = Argb(b, 3, b->Height() / 2), want = Argb(ref.get(), 3, b->Height() / 2);
  for (int shift : {0, 8, 16})
    EXPECT_LE(std::abs(static_cast<int>((in >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF)), 2);
  vcl::TBitmap shot(b->Width(), b->Height(), vcl::pf24bit);
  RECT all{0, 0, b->Width(), b->Height()};
  FillRect(shot.Canvas()->Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(shot.Canvas()->Handle(), 0, 0, b->Width(), b->Height(), b->Canvas()->Handle(), 0, 0, b->Width(),
             b->Height(), bf);
  SaveOpaque(&shot, "hint_balloon_Lale");
  hints.HideAll();
  manager->SetActive(false);
}
