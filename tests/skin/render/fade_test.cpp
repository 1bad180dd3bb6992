// State fades on a real window: a skinned test control whose state changes cross-fades its cache bitmap on the
// 10 ms timer, frame by frame, to the new look; a control freed in the middle of a fade stops it cleanly.
#include <gtest/gtest.h>

#include <memory>

#include "painttest.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sMessages.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/wait.h"

using namespace painttest;

namespace {

int gFrames = 0;
bool CountingStep(rtl::TObject* data, int iteration) {
  ++gFrames;
  return UpdateWindow_CB(data, iteration);
}

// A windowed control painted from section kBordered in its current state through its cache bitmap.
class TFadeControl : public vcl::TWinControl {
 public:
  TFadeControl(vcl::TComponent* owner, TsSkinManager* manager) : vcl::TWinControl(owner) {
    SkinData = std::make_unique<TsCommonData>(this, true);
    SkinData->SetSkinManager(manager);
    SkinData->Loading = false;
    SkinData->SkinIndex = kBordered;
    SkinData->BorderIndex = kMaskedBorder;
  }
  void WndProc(vcl::TMessage& m) override {
    if (m.Msg == SM_LUMICMD && HIWORD(m.WParam) == LVC_PREPARECACHE) {
      PaintCache();
      m.Result = 0;
      return;
    }
    if (m.Msg == WM_PAINT && HandleAllocated()) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      if (SkinData->BGChanged) PaintCache();
      vcl::TBitmap* cache = SkinData->CacheBmp();
      BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
      EndPaint(Handle(), &ps);
      m.Result = 0;
      return;
    }
    if (m.Msg == WM_ERASEBKGND) {
      m.Result = 1;
      return;
    }
    vcl::TWinControl::WndProc(m);
  }
  void PaintCache() {
    SkinData->InitCacheBmp();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    PaintItem(SkinData.get(), EmptyCI, true, State, vcl::Rect(0, 0, cache->Width(), cache->Height()), vcl::TPoint(),
              cache, false);
    SkinData->BGChanged = false;
  }
  // The window's own pixel, as the screen shows it.
  std::uint32_t WindowPixel(int x, int y) {
    HDC dc = GetDC(Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(Handle(), dc);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  int State = 0;
  std::unique_ptr<TsCommonData> SkinData;
};

class Fades : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    form = std::make_unique<vcl::TForm>(nullptr);
    form->SetBounds(120, 120, 300, 200);
    control = new TFadeControl(form.get(), skin.Get());
    control->SetParent(form.get());
    control->SetBounds(20, 20, 60, 40);
    form->Show();
    vcl::Application->ProcessMessages();
    control->PaintCache();
    control->Repaint();
    vcl::Application->ProcessMessages();
    gFrames = 0;
  }
  void TearDown() override { form.reset(); }
  TestSkin skin;
  std::unique_ptr<vcl::TForm> form;
  TFadeControl* control = nullptr;
};

}  // namespace

TEST_F(Fades, HotAndBackStepThroughTheirFramesOnTheTimer) {
  TsCommonData* sd = control->SkinData.get();
  ASSERT_TRUE(sd->Skinned());
  const std::uint32_t normalCentre = Rgb(Px(sd->CacheBmp(), 30, 20));
  EXPECT_EQ(control->WindowPixel(30, 20), normalCentre);
  control->State = 1;
  DoChangePaint(sd, 1, CountingStep, true, false, false);
  ASSERT_TRUE(sd->AnimTimer);
  EXPECT_EQ(gFrames, 1);  // the first step runs at once
  ASSERT_TRUE(testutil::PumpUntil([&] { return !TimerIsActive(sd); }));
  // Ten steps of 10 ms after the first: 11 frames, ending on the new look.
  EXPECT_EQ(gFrames, 11);
  const std::uint32_t hotCentre = Rgb(Px(sd->CacheBmp(), 30, 20));
  EXPECT_NE(hotCentre, normalCentre);
  EXPECT_EQ(Rgb(Px(sd->AnimTimer->BmpOut.get(), 30, 20)), hotCentre);
  EXPECT_EQ(Rgb(Px(sd->AnimTimer->BmpOut.get(), 0, 0)), CornerColour(1));
  EXPECT_EQ(control->WindowPixel(30, 20), hotCentre);
  EXPECT_EQ(sd->AnimTimer->State, 1);

  // Back to normal takes twice the steps: 21 frames, then the timer stops and lets its pictures go.
  gFrames = 0;
  control->State = 0;
  DoChangePaint(sd, 0, CountingStep, true, false, false);
  ASSERT_TRUE(testutil::PumpUntil([&] { return !TimerIsActive(sd); }));
  EXPECT_EQ(gFrames, 21);
  EXPECT_EQ(sd->AnimTimer->State, -1);
  EXPECT_FALSE(sd->AnimTimer->BmpOut);
  EXPECT_EQ(control->WindowPixel(30, 20), normalCentre);
  EXPECT_EQ(control->WindowPixel(0, 0), CornerColour(0));
}

TEST_F(Fades, AControlFreedMidFadeStopsItsTimer) {
  TsCommonData* sd = control->SkinData.get();
  control->State = 1;
  DoChangePaint(sd, 1, CountingStep, true, false, false);
  ASSERT_TRUE(testutil::PumpUntil([&] { return gFrames >= 3; }));
  ASSERT_TRUE(TimerIsActive(sd));
  delete control;
  control = nullptr;
  const int framesAtFree = gFrames;
  // A while of timer messages: none reaches the freed control.
  testutil::PumpUntil([] { return false; }, 200);
  EXPECT_EQ(gFrames, framesAtFree);
}

TEST_F(Fades, ASecondChangeWhileFadingContinuesFromTheCurrentLevel) {
  TsCommonData* sd = control->SkinData.get();
  control->State = 1;
  DoChangePaint(sd, 1, CountingStep, true, false, false);
  ASSERT_TRUE(testutil::PumpUntil([&] { return gFrames >= 5; }));
  const double level = sd->AnimTimer->Glow;
  EXPECT_GT(level, 0);
  EXPECT_LT(level, 255);
  // Leaving starts from where the fade is: part of the way back is already done.
  control->State = 0;
  DoChangePaint(sd, 0, CountingStep, true, false, false);
  EXPECT_EQ(sd->AnimTimer->State, 0);
  EXPECT_GT(sd->AnimTimer->Iteration, 0);
  ASSERT_TRUE(testutil::PumpUntil([&] { return !TimerIsActive(sd); }));
  EXPECT_EQ(Rgb(Px(sd->CacheBmp(), 0, 0)), CornerColour(0));
}

TEST(AnimTimer, StepsStillToGo) {
  TlvThreadedTimer* timer = nullptr;
  EXPECT_EQ(GetNewTimer(timer, nullptr, 0), 0);
  ASSERT_TRUE(timer);
  EXPECT_EQ(timer->Glow, 255);
  timer->State = 0;
  timer->Iteration = 15;
  EXPECT_EQ(GetNewTimer(timer, nullptr, 0), 5);
  timer->State = 1;
  EXPECT_EQ(GetNewTimer(timer, nullptr, 0), 0);
  delete timer;
}
