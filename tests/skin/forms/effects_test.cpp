// Window effects of a skinned form: the hover fade of a caption button (a small layered window over the button
// whose alpha climbs in steps and falls again when the pointer leaves), and the translucent cover over a disabled
// form. Each under the test skins of the frame tests; a shot of a faded-in button is saved to Z:\tmp and looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/forms/sDwmEffects.h"
#include "skin/forms/sSBAnimation.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;
using namespace formtest;

namespace {

class EffectsFrame : public formtest::SkinnedFormFixture {};

}  // namespace

// Hover: the fade window lies over the button, never activates nor takes the mouse, climbs 25, 50, … 225 and ends
// at 255 while the pointer stays; when the pointer leaves the timer tells the form, and the fade runs down until the
// window is gone. With the manager's animation off a hover shows at 255 at once, with no timer running.
TEST_F(EffectsFrame, CaptionButtonHoverFadesInAndOutInALayeredWindow) {
  provider = Create<TsSkinProvider>(form);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    manager->Effects()->SetAllowAnimation(true);
    Activate(c);
    const vcl::TPoint p = Centre(provider->ButtonClose.Rect);
    RECT wr;
    GetWindowRect(W(), &wr);
    // The pointer rests in the client area first and the system's messages for it are handled, so that none of them
    // lands mid-fade; then it goes onto the close button (the system's own move reaches the frame, and so does ours).
    auto settle = [&] {
      const DWORD start = GetTickCount();
      WaitFor([&] { return GetTickCount() - start > 300; });
    };
    SetCursorPos(wr.left + form->Width() / 2, wr.top + form->Height() / 2);
    settle();
    provider->KillAnimations();
    SetCursorPos(wr.left + p.X, wr.top + p.Y);
    SendMessageW(W(), WM_NCMOUSEMOVE, HTCLOSE, ScreenPoint(W(), p.X, p.Y));
    ASSERT_TRUE(WaitFor([&] { return provider->ButtonClose.Timer != nullptr; }));
    TlvSBAnimation* t = provider->ButtonClose.Timer;
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->AForm);
    const HWND fw = t->AForm->Handle();
    formtest::ExpectHoverWindow(fw, wr, provider->ButtonClose.Rect);
    // The frame still answers under the fade window.
    EXPECT_EQ(HitTest(p.X, p.Y), HTCLOSE);
    ASSERT_TRUE(WaitFor([&] { return t->Shown.size() >= 10 || t->CurrentState == -1; }, 10000));
    if (c.Name == std::wstring(L"Lale")) SaveOpaque(ScreenShot(W()).get(), "effects_fade");
    // The pointer leaves: the form hears of it, the button goes normal and the window fades away.
    SetCursorPos(wr.left + form->Width() / 2, wr.top + form->Height() / 2);
    ASSERT_TRUE(WaitFor([&] { return provider->ButtonClose.State == 0; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return provider->ButtonClose.Timer && t->CurrentState == -1; }, 10000));
    EXPECT_FALSE(t->AForm);
    EXPECT_FALSE(t->Enabled());
    // The fade climbs by 25 from 25, to 255 when it completes, and runs down by 25 to 25. (Under the test's display
    // the system may report the pointer's leave from the frame while the fade window appears over it; the fade then
    // turns round from the full step count, 250, before completing.)
    const std::vector<int>& v = t->Shown;
    ASSERT_GE(v.size(), 3u);
    size_t i = 0;
    while (i + 1 < v.size() && v[i + 1] > v[i]) ++i;
    const size_t peak = i;
    for (size_t k = 0; k < peak; ++k) EXPECT_EQ(v[k], static_cast<int>(25 * (k + 1))) << "frame " << k;
    EXPECT_TRUE(v[peak] == 255 || v[peak] == 250) << v[peak];
    int expect = 250;
    for (size_t k = peak + 1; k < v.size(); ++k, expect -= 25) {
      if (k == peak + 1 && v[peak] == 250) expect = 225;
      EXPECT_EQ(v[k], expect) << "frame " << k;
    }
    EXPECT_EQ(v.back(), 25);

    // Without animation: one step, shown at once, nothing left running.
    provider->KillAnimations();
    EXPECT_EQ(provider->ButtonClose.Timer, nullptr);
    manager->Effects()->SetAllowAnimation(false);
    const vcl::TPoint q = Centre(provider->ButtonMin.Rect);
    SetCursorPos(wr.left + q.X, wr.top + q.Y);
    SendMessageW(W(), WM_NCMOUSEMOVE, HTMINBUTTON, ScreenPoint(W(), q.X, q.Y));
    ASSERT_TRUE(WaitFor([&] { return provider->ButtonMin.Timer != nullptr; }));
    TlvSBAnimation* u = provider->ButtonMin.Timer;
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->MaxIterations, 1);
    EXPECT_EQ(u->Shown, std::vector<int>{255});
    EXPECT_FALSE(u->Enabled());
    SetCursorPos(wr.left + form->Width() / 2, wr.top + form->Height() / 2);
    ASSERT_TRUE(WaitFor([&] { return provider->ButtonMin.State == 0; }, 10000));
    settle();
    provider->KillAnimations();
    manager->Effects()->SetAllowAnimation(true);
  }
}

// A disabled form is covered by a black window at 255 - DisabledBlendValue (128 gives 127), which never activates
// and lies over the form's white client area (the test display has no compositor, so the system shows the cover's
// black without blending it: the check is that the white is covered); enabling the form removes the cover.
TEST_F(EffectsFrame, ADisabledFormIsCoveredAtItsDisabledBlendValue) {
  provider = Create<TsSkinProvider>(form);
  Show();
  Activate(kSkins[0]);
  provider->SetDisabledBlendValue(128);
  EXPECT_FALSE(provider->LayerForm);
  EnableWindow(W(), FALSE);
  ASSERT_TRUE(WaitFor([&] { return provider->LayerForm && IsWindowVisible(provider->LayerForm->Handle()); }));
  const HWND lw = provider->LayerForm->Handle();
  EXPECT_TRUE(provider->FormState & FS_DISABLED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(lw, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 127);
  EXPECT_TRUE(flags & LWA_ALPHA);
  EXPECT_TRUE(GetWindowLongPtrW(lw, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  EXPECT_EQ(GetWindow(lw, GW_OWNER), W());
  RECT fr, lr;
  GetWindowRect(W(), &fr);
  GetWindowRect(lw, &lr);
  EXPECT_TRUE(EqualRect(&fr, &lr));
  EXPECT_NE(GetForegroundWindow(), lw);
  // On the screen: the white client area is covered.
  const int cx = form->Width() / 2, cy = form->Height() / 2;
  std::uint32_t px = 0;
  EXPECT_TRUE(WaitFor([&] {
    auto shot = CreateBmp32(1, 1);
    HDC screen = GetDC(nullptr);
    BitBlt(shot->Canvas()->Handle(), 0, 0, 1, 1, screen, fr.left + cx, fr.top + cy, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    px = Px(shot.get(), 0, 0);
    return !Near(px, 0xFFFFFF, 12);
  })) << std::hex << px;
  RECT shotRect = fr;
  {
    auto shot = CreateBmp32(shotRect.right - shotRect.left, shotRect.bottom - shotRect.top);
    HDC screen = GetDC(nullptr);
    BitBlt(shot->Canvas()->Handle(), 0, 0, shot->Width(), shot->Height(), screen, fr.left, fr.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    SaveOpaque(shot.get(), "effects_disabled");
  }
  // A new blend value takes effect on the cover at once.
  provider->SetDisabledBlendValue(255);
  ASSERT_TRUE(GetLayeredWindowAttributes(lw, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 0);
  EnableWindow(W(), TRUE);
  ASSERT_TRUE(WaitFor([&] { return !provider->LayerForm; }));
  EXPECT_FALSE(provider->FormState & FS_DISABLED);
}

// The blur behind a window goes through dwmapi bound by name: the given region is always deleted afterwards, and a
// system without composition (the test's) answers composition off.
TEST_F(EffectsFrame, BlurBehindIsBoundByNameAndFreesItsRegion) {
  form->HandleNeeded();
  EXPECT_FALSE(AeroIsEnabled());
  HRGN rgn = CreateRectRgn(0, 0, 10, 10);
  const HRESULT hr = SetBlurBehindWindow(W(), true, rgn);
  EXPECT_EQ(GetObjectType(rgn), 0u);
  // Composition off: the system refuses (or the entry is missing, "not implemented"); either way a failure.
  EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
  EXPECT_EQ(InitDwmApi(), InitDwmApi());
  SetBlurBehindWindow(W(), false, nullptr);
}

// With the default DisabledBlendValue (255: nothing to dim) a disabled form gets no cover: a window at alpha 0 would
// show here as a black window over the form (no compositor), e.g. over every form behind a modal dialog. Its state
// still follows: disabled, then enabled again, nothing left.
TEST_F(EffectsFrame, ADisabledFormWithTheDefaultBlendValueIsLeftUncovered) {
  provider = Create<TsSkinProvider>(form);
  Show();
  Activate(kSkins[0]);
  ASSERT_EQ(provider->DisabledBlendValue(), 255);
  auto visibleWindows = [] {
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
          if (IsWindowVisible(w)) ++*reinterpret_cast<int*>(p);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
  };
  const int windowsBefore = visibleWindows();
  EnableWindow(W(), FALSE);
  Application->ProcessMessages();
  EXPECT_FALSE(provider->LayerForm);
  // The white client area stays in sight.
  RECT fr;
  GetWindowRect(W(), &fr);
  EXPECT_TRUE(WaitFor([&] {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, (fr.left + fr.right) / 2, (fr.top + fr.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return Near(c & 0xFFFFFF, 0xFFFFFF, 12);
  }));
  EnableWindow(W(), TRUE);
  Application->ProcessMessages();
  EXPECT_FALSE(provider->LayerForm);
  EXPECT_FALSE(provider->FormState & FS_DISABLED);
  EXPECT_EQ(visibleWindows(), windowsBefore);
}
