// Window and control animations on real windows: the blend and clearing routines under them, layering switched on
// and off, a form shown through a cover window in its steps, a hide animation fading on the 10 ms timer (and one
// started over it), a control cross-fading (and blurring) from its old look to its new one under the output
// window, and a wrapped system dialog shown and hidden.
#include <gtest/gtest.h>

#include <memory>

#include "painttest.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sSkinProvider.h"
#include "tests/common/wait.h"

using namespace painttest;

namespace {

// A windowed control that paints itself in one colour.
class TColourBox : public vcl::TWinControl {
 public:
  explicit TColourBox(vcl::TComponent* owner) : vcl::TWinControl(owner) {}
  void WndProc(vcl::TMessage& m) override {
    if (m.Msg == WM_PAINT && HandleAllocated()) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Fill(dc);
      EndPaint(Handle(), &ps);
      m.Result = 0;
      return;
    }
    if (m.Msg == WM_PRINT || m.Msg == WM_PRINTCLIENT) {
      Fill(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    }
    if (m.Msg == WM_ERASEBKGND) {
      m.Result = 1;
      return;
    }
    vcl::TWinControl::WndProc(m);
  }
  void Fill(HDC dc) {
    HBRUSH brush = CreateSolidBrush(Colour);
    RECT r{0, 0, Width(), Height()};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  COLORREF Colour = RGB(255, 0, 0);
};

COLORREF ScreenPixel(HWND wnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(wnd, &p);
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, p.x, p.y);
  ReleaseDC(nullptr, dc);
  return c;
}

class Animations : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    form = std::make_unique<vcl::TForm>(nullptr);
    form->SetBounds(200, 150, 320, 220);
    box = new TColourBox(form.get());
    box->SetParent(form.get());
    box->SetBounds(30, 30, 80, 50);
    form->Show();
    SetForegroundWindow(form->Handle());
    testutil::PumpUntil([&] { return ScreenPixel(box->Handle(), 40, 25) == RGB(255, 0, 0); });
  }
  void TearDown() override {
    if (lvHideTimer) lvHideTimer->Form.reset();
    form.reset();
  }
  std::unique_ptr<vcl::TForm> form;
  TColourBox* box = nullptr;
};

}  // namespace

TEST(AnimationPixels, SumBmpRect32BlendsBySourceAlphaWithinBothBitmaps) {
  struct Case {
    const char* name;
    std::uint32_t src;
    int alpha;
    vcl::TRect dstRect;
    vcl::TPoint srcPos;
    int x, y;  // a pixel of dst to read
    std::uint32_t expected;
  } cases[] = {
      // k = (A x alpha) >> 8; each channel ((255 - k) x dst + k x src) >> 8; dst's own alpha stays.
      {"opaque, full weight", 0xFF0000FFu, 256, vcl::Rect(0, 0, 8, 8), {0, 0}, 3, 3, 0x400000FEu},
      {"opaque, half weight", 0xFF0000FFu, 128, vcl::Rect(0, 0, 8, 8), {0, 0}, 3, 3, 0x4000007Eu},
      {"half alpha, full weight", 0x800000FFu, 256, vcl::Rect(0, 0, 8, 8), {0, 0}, 3, 3, 0x4000007Fu},
      {"zero alpha: untouched", 0x00FFFFFFu, 256, vcl::Rect(0, 0, 8, 8), {0, 0}, 3, 3, 0x40000000u},
      {"outside the rectangle", 0xFF0000FFu, 256, vcl::Rect(4, 4, 8, 8), {0, 0}, 3, 3, 0x40000000u},
      {"inside a moved rectangle", 0xFF0000FFu, 256, vcl::Rect(4, 4, 8, 8), {0, 0}, 4, 4, 0x400000FEu},
      {"rectangle past dst's edge", 0xFF0000FFu, 256, vcl::Rect(6, 6, 20, 20), {0, 0}, 7, 7, 0x400000FEu},
      {"negative source position", 0xFF0000FFu, 256, vcl::Rect(0, 0, 8, 8), {-5, -5}, 4, 4, 0x40000000u},
      {"negative source position, moved", 0xFF0000FFu, 256, vcl::Rect(0, 0, 8, 8), {-5, -5}, 5, 5, 0x400000FEu},
  };
  for (const Case& c : cases) {
    auto dst = Filled(8, 8, 0x40000000u);
    auto src = Filled(4, 4, c.src);
    SumBmpRect32(dst.get(), c.dstRect, src.get(), c.alpha, c.srcPos);
    EXPECT_EQ(Px(dst.get(), c.x, c.y), c.expected) << c.name;
  }
  // A source smaller than the rectangle blends only where it has pixels.
  auto dst = Filled(8, 8, 0x40000000u);
  auto src = Filled(4, 4, 0xFF0000FFu);
  SumBmpRect32(dst.get(), vcl::Rect(2, 2, 8, 8), src.get(), 256, {1, 1});
  EXPECT_EQ(Px(dst.get(), 4, 4), 0x400000FEu);
  EXPECT_EQ(Px(dst.get(), 5, 5), 0x40000000u);
}

TEST(AnimationPixels, CleanPixelsByArORClearsOnlyInsideTheBitmap) {
  auto bmp = Filled(10, 10, 0xFF123456u);
  CleanPixelsByArOR({vcl::Rect(-5, -5, 2, 2), vcl::Rect(8, 8, 30, 30), vcl::Rect(4, 4, 4, 9)}, bmp.get());
  EXPECT_EQ(Px(bmp.get(), 0, 0), 0u);
  EXPECT_EQ(Px(bmp.get(), 1, 1), 0u);
  EXPECT_EQ(Px(bmp.get(), 2, 2), 0xFF123456u);
  EXPECT_EQ(Px(bmp.get(), 9, 9), 0u);
  EXPECT_EQ(Px(bmp.get(), 4, 5), 0xFF123456u);  // an empty rectangle clears nothing
}

TEST_F(Animations, DoLayeredSwitchesLayeringAndHidesFromTheStyle) {
  HWND wnd = form->Handle();
  ASSERT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(DoLayered(wnd, true, 100));
  EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags);
  EXPECT_EQ(alpha, 100);
  EXPECT_FALSE(DoLayered(wnd, true, 200));  // already layered
  EXPECT_FALSE(DoLayered(wnd, false));
  EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Animations, AFormIsShownThroughACoverInItsStepsAndTheEventFollows) {
  auto* provider = new TsCustomSkinProvider(form.get());
  vcl::TBitmap* cache = provider->FCommonData->CacheBmp();
  cache->SetSize(form->Width(), form->Height());
  int shown = 0;
  provider->OnAfterAnimation = [&](rtl::TObject*, TlvAnimEvent e) { shown += e == aeShowing; };
  // 20 ms: frames i = 0, 1, 2; then the form is itself again, unlayered, and animations are over.
  AnimShowForm(provider, 20, 255, atFading);
  EXPECT_EQ(lvLastAnimFrames, 3);
  EXPECT_FALSE(InAnimationProcess);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  AnimShowForm(provider, 40, 255, atAero);
  EXPECT_EQ(lvLastAnimFrames, 5);
  // Below one step the end state shows at once.
  AnimShowForm(provider, 5, 255, atFading);
  EXPECT_EQ(lvLastAnimFrames, 1);
  EXPECT_EQ(shown, 3);
  delete provider;
}

TEST_F(Animations, HideFadesOnTheTimerAndANewOneFreesTheOldCover) {
  // Too short to show: the cover and the picture go at once.
  auto cover = std::make_unique<TlvCoverWindow>();
  HWND first = cover->Handle();
  HideAnimForm(std::move(cover), Filled(60, 40, 0xFF0000FFu), 5, 255, atFading, nullptr);
  EXPECT_FALSE(IsWindow(first));

  cover = std::make_unique<TlvCoverWindow>();
  HWND second = cover->Handle();
  HideAnimForm(std::move(cover), Filled(60, 40, 0xFF0000FFu), 100, 255, atAero, nullptr);
  ASSERT_TRUE(lvHideTimer);
  EXPECT_TRUE(IsWindowVisible(second));
  EXPECT_EQ(lvHideTimer->i, 1);  // the first step at once
  EXPECT_DOUBLE_EQ(lvHideTimer->dx, -60.0 / 80);
  EXPECT_TRUE(testutil::PumpUntil([] { return lvHideTimer->i >= 4; }));
  EXPECT_LT(lvHideTimer->Trans, 255);

  // Started over the running one: its cover is freed at once, the new one runs to its end.
  cover = std::make_unique<TlvCoverWindow>();
  HWND third = cover->Handle();
  HideAnimForm(std::move(cover), Filled(60, 40, 0xFF00FF00u), 50, 200, atFading, nullptr);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_TRUE(IsWindow(third));
  ASSERT_TRUE(testutil::PumpUntil([] { return !lvHideTimer->Form; }));
  EXPECT_FALSE(IsWindow(third));
  EXPECT_EQ(lvHideTimer->i, 6);  // steps 0..5 shown, then the end
  EXPECT_EQ(lvHideTimer->Trans, 0);
  EXPECT_FALSE(lvHideTimer->SrcBmp);
}

TEST_F(Animations, AControlCrossFadesToItsNewLookUnderTheOutputWindow) {
  PrepareForAnimation(box, atcFade);
  ASSERT_TRUE(ow);
  ASSERT_TRUE(lvAnimBmp);
  EXPECT_EQ(Rgb(Px(lvAnimBmp.get(), 40, 25)), 0xFF0000u);  // the "before" picture: red
  EXPECT_TRUE(IsWindowVisible(ow->Handle()));
  EXPECT_EQ(GetParent(ow->Handle()), form->Handle());

  box->Colour = RGB(0, 0, 255);
  AnimShowControl(box, 30, 255, atcFade);
  EXPECT_EQ(lvLastAnimFrames, 4);
  EXPECT_FALSE(InAnimationProcess);
  EXPECT_FALSE(ow);
  EXPECT_FALSE(lvAnimBmp);
  EXPECT_TRUE(testutil::PumpUntil([&] { return ScreenPixel(box->Handle(), 40, 25) == RGB(0, 0, 255); }));

  // Without a prepared snapshot the control prepares one itself; no time: no frames, the new look at once.
  box->Colour = RGB(0, 255, 0);
  AnimShowControl(box, 0, 255, atcFade);
  EXPECT_EQ(lvLastAnimFrames, 0);
  EXPECT_FALSE(ow);
  EXPECT_TRUE(testutil::PumpUntil([&] { return ScreenPixel(box->Handle(), 40, 25) == RGB(0, 255, 0); }));
}

TEST_F(Animations, ABlurredChangeEndsOnTheNewLook) {
  PrepareForAnimation(box, atcBlur);
  ASSERT_TRUE(lvAnimBmp2);
  box->Colour = RGB(255, 255, 0);
  AnimShowControl(box, 20, 255, atcBlur);
  EXPECT_EQ(lvLastAnimFrames, 3);
  EXPECT_FALSE(ow);
  EXPECT_FALSE(lvAnimBmp2);
  EXPECT_TRUE(lvCtrlRects1.empty());
  EXPECT_TRUE(testutil::PumpUntil([&] { return ScreenPixel(box->Handle(), 40, 25) == RGB(255, 255, 0); }));
}

TEST_F(Animations, AWrappedDialogIsShownAndHiddenThroughACover) {
  HWND dialog = CreateWindowExW(0, L"#32770", L"Soru", WS_POPUP | WS_CAPTION | WS_VISIBLE, 300, 200, 200, 120, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  auto wrapper = std::make_unique<TlvCustomDialogWnd>(dialog, nullptr);
  // The dialog's own frames plus one: alpha steps of MaxTransparency / (steps + 1).
  AnimShowDlg(wrapper.get(), 30, 255, atAero);
  EXPECT_EQ(lvLastAnimFrames, 4);
  EXPECT_FALSE(InAnimationProcess);
  EXPECT_EQ(wrapper->SkinData->CacheBmp()->Width(), 200);
  EXPECT_TRUE(IsWindowVisible(dialog));
  // No manager: no hide time, nothing left behind.
  AnimHideDlg(wrapper.get());
  EXPECT_FALSE(InAnimationProcess);
  EXPECT_TRUE(!lvHideTimer || !lvHideTimer->Form);
  wrapper.reset();
  DestroyWindow(dialog);
}
