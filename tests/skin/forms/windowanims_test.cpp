// Window animations of a skinned form: minimising and restoring through a layered snapshot cover that shrinks and
// fades toward the taskbar and back (the alphas it is given read frame by frame), the immediate change when the
// animation is off or cannot run, the fade while the form is dragged by its caption (its alpha read inside the
// system's move loop), the snapshots the animations use, and the taskbar thumbnail and live preview, which this
// system (no desktop composition) takes without showing. Shots: $TAVREL_SHOTS/anims_minimising.png,
// anims_restoring.png, anims_moving.png.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sCoverForms.h"
#include "skin/forms/sDwmEffects.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnims.h"
#include "tests/common/paths.h"
#include "tests/common/threadwindows.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace formtest;

namespace {

class WindowAnims : public SkinnedFormFixture {
 protected:
  void TearDown() override {
    if (tray) DestroyWindow(tray);
    SkinnedFormFixture::TearDown();
  }
  // A taskbar along the screen's bottom edge (the test's display has none): minimising heads for its edge.
  void MakeTaskbar() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&wc);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    tray = CreateWindowExW(WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0, h - 30, w, 30, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  void Prepare() {
    provider = Create<TsSkinProvider>(form);
    Show();
    Activate(kSkins[0]);
    manager->Effects()->SetAllowAnimation(true);
  }
  TlvMinTimer* MinTimer() { return dynamic_cast<TlvMinTimer*>(provider->FormTimer.get()); }
  HWND tray = nullptr;
};

// The system before desktop composition, where a minimise animates without it (on a later system without
// composition, as this one reports, no minimise animation runs).
struct TOlderSystem {
  int saved = lvWinVer;
  TOlderSystem() { lvWinVer = 5; }
  ~TOlderSystem() { lvWinVer = saved; }
};

using testutil::LayeredAlpha;
using testutil::VisibleWindowsOfThread;

RECT Around(const RECT& r) {
  return RECT{std::max(0L, r.left - 60), std::max(0L, r.top - 60), r.right + 60, r.bottom + 60};
}

}  // namespace

// Minimise: the form turns fully transparent and is minimised at once; a layered cover with its snapshot shrinks
// toward the taskbar's edge while its alpha falls from a quarter (63) in equal steps to nothing, then hides. Restore
// plays it back: the cover grows from the taskbar with rising alpha while the restored form stays transparent,
// and at the end the form is itself again, where it was, opaque, and the cover is gone.
TEST_F(WindowAnims, MinimiseAndRestoreRunThroughALayeredSnapshotCover) {
  TOlderSystem older;
  MakeTaskbar();
  Prepare();
  manager->AnimEffects()->Minimizing()->SetActive(true);
  manager->AnimEffects()->Minimizing()->SetTime(240);  // 24 steps: long enough to look at one frame midway
  const RECT before = WindowRectOf(W());
  const int windowsBefore = VisibleWindowsOfThread();

  SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  TlvMinTimer* t = MinTimer();
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(IsIconic(W()));
  EXPECT_EQ(t->StepCount, 24);
  EXPECT_EQ(t->AlphaOrigin, 63);
  ASSERT_NE(t->AnimForm, nullptr);
  const HWND cover = t->AnimForm->Handle();
  EXPECT_TRUE(IsWindowVisible(cover));
  EXPECT_EQ(GetWindowLongPtrW(cover, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW),
            WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
  EXPECT_NE(GetForegroundWindow(), cover);
  // The snapshot is the whole form's image; the target is the taskbar's top edge below the form's centre.
  ASSERT_TRUE(t->SavedImage);
  EXPECT_EQ(t->SavedImage->Width(), before.right - before.left);
  EXPECT_EQ(t->TBPosition, 8u);
  EXPECT_EQ(t->RectTo.Top, WindowRectOf(tray).top);
  EXPECT_EQ(t->RectTo.Left, (before.left + before.right) / 2);
  if (provider->FormState & FS_ANIMMINIMIZING) {
    EXPECT_EQ(LayeredAlpha(W()), 0);  // the form itself is not seen meanwhile
    // The shrinking picture heads for the taskbar, out of the form's old place: the whole screen is taken.
    if (WaitFor([&] { return t->Shown.size() >= 10 || !(provider->FormState & FS_ANIMMINIMIZING); }))
      SaveScreenRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, "anims_minimising");
  }
  ASSERT_TRUE(WaitFor([&] { return !(provider->FormState & FS_ANIMMINIMIZING); }));
  EXPECT_TRUE(t->Minimized);
  EXPECT_FALSE(t->Enabled());
  EXPECT_FALSE(IsWindowVisible(cover));
  EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsIconic(W()));
  // 63 over 23 steps: each frame about 2.74 lower, down to nothing.
  std::vector<int> down = t->Shown;
  ASSERT_GE(down.size(), 22u);
  ASSERT_LE(down.size(), 24u);
  for (size_t i = 0; i < down.size(); ++i) {
    const double want = 63 - 63.0 / 23 * static_cast<double>(i + 1);
    EXPECT_NEAR(down[i], want, 1.0) << "frame " << i;
  }

  SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(W()));
  ASSERT_EQ(MinTimer(), t);
  if (provider->FormState & FS_ANIMRESTORING) {
    EXPECT_EQ(LayeredAlpha(W()), 0);
    if (WaitFor([&] { return t->Shown.size() >= 10 || !(provider->FormState & FS_ANIMRESTORING); }))
      SaveScreenRect(Around(before), "anims_restoring");
  }
  ASSERT_TRUE(WaitFor([&] { return !(provider->FormState & FS_ANIMRESTORING); }));
  std::vector<int> up = t->Shown;
  ASSERT_GE(up.size(), 20u);
  for (size_t i = 1; i < up.size(); ++i) EXPECT_GT(up[i], up[i - 1]) << "frame " << i;
  EXPECT_LT(up.back(), 63);
  EXPECT_FALSE(t->Minimized);
  EXPECT_EQ(t->AnimForm, nullptr);
  EXPECT_FALSE(IsWindow(cover));
  EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(W()));
  const RECT after = WindowRectOf(W());
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_FALSE(provider->fAnimating);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsBefore);
}

// A minimise asked for again while it runs is not started twice; a restore asked for midway turns the running
// animation round from the alpha it had reached.
TEST_F(WindowAnims, ARestoreMidwayTurnsTheMinimiseRound) {
  TOlderSystem older;
  Prepare();
  manager->AnimEffects()->Minimizing()->SetTime(400);
  SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  TlvMinTimer* t = MinTimer();
  ASSERT_NE(t, nullptr);
  // The steps up to the turn are run here, one by one: a busy machine could run the whole animation in one round of
  // messages before the test gets to the restore.
  t->SetEnabled(false);
  while (t->Shown.size() < 8) t->TimeHandler();
  EXPECT_TRUE(StartMinimizing(provider));  // already running: nothing new
  ASSERT_EQ(MinTimer(), t);
  SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
  const std::vector<int> shown = [&] {
    EXPECT_TRUE(WaitFor([&] { return !(provider->FormState & (FS_ANIMRESTORING | FS_ANIMMINIMIZING)); }, 10000));
    return t->Shown;
  }();
  // Down, then up again from where it stood; never through nothing.
  size_t low = 0;
  for (size_t i = 1; i < shown.size(); ++i)
    if (shown[i] < shown[low]) low = i;
  std::string seen;
  for (int a : shown) seen += std::to_string(a) + " ";
  SCOPED_TRACE("alphas " + seen);
  EXPECT_EQ(low, 7u);
  ASSERT_LT(low + 3, shown.size());
  EXPECT_GT(shown[low], 0);
  for (size_t i = 1; i <= low; ++i) EXPECT_LT(shown[i], shown[i - 1]);
  for (size_t i = low + 1; i < shown.size(); ++i) EXPECT_GT(shown[i], shown[i - 1]);
  EXPECT_FALSE(IsIconic(W()));
  EXPECT_TRUE(IsWindowVisible(W()));
  EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// Without the animation, or on a later system without composition (this one, as it is), minimising and restoring
// happen at once: no timer, no cover, the form never layered.
TEST_F(WindowAnims, WithoutTheAnimationMinimiseAndRestoreAreImmediate) {
  Prepare();
  struct Case {
    const char* Name;
    bool Active;
    int WinVer;
  };
  const Case cases[] = {{"animation off", false, 5}, {"no composition", true, lvWinVer}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const int saved = lvWinVer;
    lvWinVer = c.WinVer;
    manager->AnimEffects()->Minimizing()->SetActive(c.Active);
    const int windowsBefore = VisibleWindowsOfThread();
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(W()));
    EXPECT_EQ(provider->FormTimer, nullptr);
    EXPECT_FALSE(provider->FormState & FS_ANIMMINIMIZING);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(W()));
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_FALSE(provider->FormState & FS_ANIMRESTORING);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(VisibleWindowsOfThread(), windowsBefore);
    lvWinVer = saved;
  }
}

namespace {

// What a timer saw inside the system's move loop: the form's alpha at each tick until it reached the target (or
// the bound passed); then the loop is ended as a release of the button would.
struct TMoveWatch {
  HWND Form = nullptr;     // the window moved (its loop is ended)
  HWND Watched = nullptr;  // the window whose alpha is read: the form itself unless set
  int Target = 0;
  DWORD Start = 0;
  bool InLoop = false, Shot = false;
  unsigned Blending = 0;
  std::vector<int> Alphas;
};
TMoveWatch* gWatch = nullptr;

void CALLBACK WatchMove(HWND, UINT, UINT_PTR id, DWORD) {
  TMoveWatch& w = *gWatch;
  w.InLoop = true;
  const int a = LayeredAlpha(w.Watched ? w.Watched : w.Form);
  if (w.Alphas.size() < 1000) w.Alphas.push_back(a);
  if (a == w.Target && !w.Shot) {
    w.Shot = true;
    SaveScreenRect(Around(WindowRectOf(w.Form)), "anims_moving");
  }
  if (a == w.Target || GetTickCount() - w.Start > 8000) {
    KillTimer(nullptr, id);
    PostMessageW(w.Form, WM_LBUTTONUP, 0, 0);
  }
}

}  // namespace

// A drag with blend-on-moving: inside the move loop the form is layered and its alpha falls to the blend value
// (170 by 0.85 a step over a second; 200 at once when the time is 10 ms or less); once the loop ends the form is
// opaque and unlayered again, and the fade's timer is gone. A form that does not allow it is moved plainly from
// its caption (never layered), and kept at 255 when the fade is started for it all the same (as the border window
// does).
TEST_F(WindowAnims, MovingWithBlendOnMovingFadesTheFormAndRestoresItAfter) {
  Prepare();
  TlvBlendOnMoving* blend = manager->AnimEffects()->BlendOnMoving();
  struct Case {
    const char* Name;
    int Value, Time;
    bool Allowed, ByCaption;
    int Want;  // the alpha the fade ends at; -1: never layered
  };
  const Case cases[] = {{"170 over a second", 170, 1000, true, true, 170},
                        {"200 at once", 200, 10, true, true, 200},
                        {"not allowed, by the caption", 170, 100, false, true, -1},
                        {"not allowed, started directly", 170, 100, false, false, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    blend->SetActive(true);
    blend->SetBlendValue(static_cast<std::uint8_t>(c.Value));
    blend->SetTime(static_cast<std::uint16_t>(c.Time));
    provider->SetAllowBlendOnMoving(c.Allowed);
    TMoveWatch watch;
    watch.Form = W();
    watch.Target = c.Want;
    watch.Start = GetTickCount();
    gWatch = &watch;
    SetTimer(nullptr, 0, 15, &WatchMove);
    if (c.ByCaption) {
      const vcl::TPoint p(form->Width() / 2, provider->BorderHeight(true) + provider->CaptionHeight(true) / 2);
      ASSERT_EQ(HitTest(p.X, p.Y), HTCAPTION);
      SendMessageW(W(), WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(W(), p.X, p.Y));
    } else {
      StartBlendOnMoving(provider, true);
    }
    // The loop has returned: its watch ran inside it and saw the fade reach its end, never below it.
    EXPECT_TRUE(WaitFor([&] { return watch.InLoop; }));
    ASSERT_FALSE(watch.Alphas.empty());
    EXPECT_EQ(watch.Alphas.back(), c.Want);
    for (size_t i = 0; i < watch.Alphas.size(); ++i) {
      EXPECT_GE(watch.Alphas[i], c.Want) << "tick " << i;
      if (i) {
        EXPECT_LE(watch.Alphas[i], watch.Alphas[i - 1]) << "tick " << i;
      }
    }
    if (c.Time > 100) {
      EXPECT_GT(watch.Alphas.size(), 3u);  // a fade, not a jump
    }
    EXPECT_FALSE(provider->FormState & FS_BLENDMOVING);
    EXPECT_EQ(provider->FormTimer, nullptr);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(W()));
    gWatch = nullptr;
  }
  // With the effect off nothing fades.
  blend->SetActive(false);
  StartBlendOnMoving(provider, false);
  EXPECT_FALSE(provider->FormState & FS_BLENDMOVING);
  EXPECT_EQ(provider->FormTimer, nullptr);
}

// The snapshots: the whole form's image is the cache's size, opaque, and shows the frame as the screen does; a
// cover over a window lies exactly over it, topmost, layered, never active, and leaves nothing when freed.
TEST_F(WindowAnims, SnapshotsAndCoversShowTheFormAsItIs) {
  Prepare();
  auto image = GetFormImage(provider, false);
  ASSERT_TRUE(image);
  TBitmap* cache = provider->SkinData()->CacheBmp();
  EXPECT_EQ(image->Width(), cache->Width());
  EXPECT_EQ(image->Height(), cache->Height());
  auto shot = ScreenShot(W());
  const vcl::TPoint title(provider->ButtonMin.Rect.Left - 8, provider->BorderWidth(true) + 2);
  for (vcl::TPoint p :
       {title, Centre(provider->ButtonClose.Rect), vcl::TPoint(form->Width() / 2, form->Height() / 2)}) {
    SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
    EXPECT_TRUE(Near(Px(image.get(), p.X, p.Y), Px(shot.get(), p.X, p.Y), 12))
        << std::hex << Px(image.get(), p.X, p.Y) << " " << Px(shot.get(), p.X, p.Y) << " "
        << Px(provider->SkinData()->CacheBmp(), p.X, p.Y);
    EXPECT_EQ(static_cast<std::uint32_t*>(image->ScanLine(p.Y))[p.X] >> 24, 255u);
  }
  const int windowsBefore = VisibleWindowsOfThread();
  {
    std::unique_ptr<TForm> cover = MakeCoverForm(W());
    ASSERT_TRUE(cover);
    const HWND cw = cover->Handle();
    const RECT fr = WindowRectOf(W()), cr = WindowRectOf(cw);
    EXPECT_TRUE(EqualRect(&fr, &cr));
    EXPECT_TRUE(IsWindowVisible(cw));
    EXPECT_EQ(
        GetWindowLongPtrW(cw, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
        WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(cover->Tag(), 256);
    EXPECT_NE(GetForegroundWindow(), cw);
    EXPECT_EQ(VisibleWindowsOfThread(), windowsBefore + 1);
  }
  EXPECT_EQ(VisibleWindowsOfThread(), windowsBefore);
  EXPECT_EQ(MakeCoverForm(nullptr), nullptr);
  // Without a cache there is no image to take.
  cache->SetSize(0, 0);
  EXPECT_FALSE(GetFormImage(provider, false));
}

// The taskbar thumbnail and live preview go through the composition library bound by name. This system has the
// entry points and takes the pictures (it composes nothing with them); the thumbnail flag is set only while one is
// made. Requests without a size, or for a form without a picture, are refused before the library is asked.
TEST_F(WindowAnims, ThumbnailAndPreviewAreHandedToTheCompositionLibrary) {
  Prepare();
  ASSERT_FALSE(AeroIsEnabled());
  struct Case {
    int W, H, Want;
  };
  for (const Case& c : {Case{200, 120, 1}, Case{0, 120, 0}, Case{200, 0, 0}, Case{1, 1, 1}}) {
    SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H));
    EXPECT_EQ(SetThumbIcon(W(), provider, c.W, c.H), c.Want);
    EXPECT_FALSE(provider->FormState & FS_THUMBDRAWING);
  }
  EXPECT_TRUE(SetPreviewBmp(W(), provider));
  EXPECT_FALSE(provider->FormState & FS_THUMBDRAWING);
  // Through the core's calls, as the application window's hook makes them.
  EXPECT_TRUE(SetThumbIcon(W(), static_cast<TsCustomSkinProvider*>(provider), 200, 120));
  EXPECT_TRUE(SetPreviewBmp(W(), static_cast<TsCustomSkinProvider*>(provider)));
  // The system's own requests to the form, answered while the library is asked to change the previews.
  const bool saved = lv_ChangeThumbPreviews;
  lv_ChangeThumbPreviews = true;
  EXPECT_EQ(SendMessageW(W(), 0x323, 0, MAKELPARAM(120, 200)), 1);
  EXPECT_EQ(SendMessageW(W(), 0x323, 0, MAKELPARAM(0, 200)), 0);
  EXPECT_EQ(SendMessageW(W(), 0x326, 0, 0), 1);
  EXPECT_FALSE(provider->FormState & FS_THUMBDRAWING);
  lv_ChangeThumbPreviews = false;
  EXPECT_EQ(SendMessageW(W(), 0x323, 0, MAKELPARAM(120, 200)), 0);
  lv_ChangeThumbPreviews = saved;
  provider->SkinData()->CacheBmp()->SetSize(0, 0);
  EXPECT_EQ(SetThumbIcon(W(), provider, 200, 120), 0);
  EXPECT_FALSE(SetPreviewBmp(W(), provider));
  EXPECT_FALSE(provider->FormState & FS_THUMBDRAWING);
}

// Hidden with the form-hide animation on, a layered cover with the whole form's picture (its skinned title too)
// fades on the timer, 8.5 lower each of its 30 steps, and goes; shown with the form-show animation on, the form
// comes through a cover in its time's frames and ends opaque. With both times 0 nothing is animated. No extra window
// is left either way.
TEST_F(WindowAnims, ShowingAndHidingFadeThroughACover) {
  Prepare();
  TlvAnimEffects* fx = manager->AnimEffects();
  fx->FormShow()->SetTime(40);
  fx->FormHide()->SetTime(300);
  const int windowsShown = VisibleWindowsOfThread();
  const vcl::TPoint title(provider->ButtonMin.Rect.Left - 8, provider->BorderWidth(true) + 2);
  form->Hide();
  EXPECT_FALSE(IsWindowVisible(W()));
  ASSERT_TRUE(lvHideTimer && lvHideTimer->Form && lvHideTimer->SrcBmp);
  const HWND cover = lvHideTimer->Form->Handle();
  EXPECT_TRUE(IsWindowVisible(cover));
  EXPECT_TRUE(GetWindowLongPtrW(cover, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(Px(lvHideTimer->SrcBmp.get(), title.X, title.Y), Rgb(kSkins[0].TitleActive));
  // Ten steps run here one by one (a busy machine could run many in one round of messages), the rest by the timer.
  lvHideTimer->SetEnabled(false);
  std::vector<int> alphas{lvHideTimer->FBlend.SourceConstantAlpha};
  for (int k = 0; k < 10 && lvHideTimer->Form; ++k) {
    lvHideTimer->OnTimerProc(lvHideTimer);
    alphas.push_back(lvHideTimer->FBlend.SourceConstantAlpha);
  }
  SaveScreenRect(Around(WindowRectOf(cover)), "anims_hiding");
  ASSERT_EQ(alphas.size(), 11u);
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_NEAR(alphas[i], alphas[i - 1] - 8.5, 1.0) << "step " << i;
  lvHideTimer->SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return !lvHideTimer || !lvHideTimer->Form; }));
  ASSERT_TRUE(lvHideTimer);
  EXPECT_EQ(lvHideTimer->i, 31);
  EXPECT_FALSE(IsWindow(cover));
  EXPECT_FALSE(provider->FormState & FS_ANIMCLOSING);
  EXPECT_EQ(provider->CoverForm, nullptr);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsShown - 1);

  lvLastAnimFrames = -1;
  form->Show();
  EXPECT_EQ(lvLastAnimFrames, 5);
  EXPECT_TRUE(IsWindowVisible(W()));
  EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsShown);

  fx->FormShow()->SetTime(0);
  fx->FormHide()->SetTime(0);
  form->Hide();
  EXPECT_TRUE(!lvHideTimer || !lvHideTimer->Form);
  EXPECT_EQ(provider->CoverForm, nullptr);
  lvLastAnimFrames = -1;
  form->Show();
  EXPECT_EQ(lvLastAnimFrames, -1);
  EXPECT_TRUE(IsWindowVisible(W()));
  EXPECT_EQ(VisibleWindowsOfThread(), windowsShown);
}

// A form glued to the dragged one fades with it: the master's fade tells its slave each alpha (170 at once here),
// and the slave is opaque and unlayered again when the move ends.
TEST_F(WindowAnims, AGluedFormFadesWithItsMasterWhileItMoves) {
  Prepare();
  auto* slave = Create<TForm>(Application);
  slave->SetName(L"Yardimci");
  slave->SetBounds(120, 390, 420, 160);
  slave->SetCaption(L"Yardımcı");
  auto* sp = Create<TsSkinProvider>(slave);
  slave->Show();
  ASSERT_TRUE(WaitFor([&] { return sp->SkinData()->Skinned(true) && IsWindowVisible(slave->Handle()); }));
  provider->GluedForms()->Add(L"Yardimci");
  TlvBlendOnMoving* blend = manager->AnimEffects()->BlendOnMoving();
  blend->SetActive(true);
  blend->SetBlendValue(170);
  blend->SetTime(10);
  TMoveWatch watch;
  watch.Form = W();
  watch.Watched = slave->Handle();
  watch.Target = 170;
  watch.Start = GetTickCount();
  gWatch = &watch;
  SetTimer(nullptr, 0, 15, &WatchMove);
  const vcl::TPoint p(form->Width() / 2, provider->BorderHeight(true) + provider->CaptionHeight(true) / 2);
  SendMessageW(W(), WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(W(), p.X, p.Y));
  gWatch = nullptr;
  ASSERT_FALSE(watch.Alphas.empty());
  EXPECT_EQ(watch.Alphas.back(), 170);
  EXPECT_FALSE(GetWindowLongPtrW(slave->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(slave->Handle()));
  blend->SetActive(false);
  slave->Free();
}

// The work area changes while a form is minimised (its taskbar moved to the screen's top): the way back starts from
// the taskbar's new edge, the timer's rectangle at the new target at once.
TEST_F(WindowAnims, AMovedTaskbarGivesAMinimisedFormItsNewWayBack) {
  TOlderSystem older;
  MakeTaskbar();
  Prepare();
  manager->AnimEffects()->Minimizing()->SetActive(true);
  manager->AnimEffects()->Minimizing()->SetTime(100);
  const RECT before = WindowRectOf(W());
  SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  TlvMinTimer* t = MinTimer();
  ASSERT_NE(t, nullptr);
  ASSERT_TRUE(WaitFor([&] { return !(provider->FormState & FS_ANIMMINIMIZING); }));
  EXPECT_EQ(t->TBPosition, 8u);
  const int w = GetSystemMetrics(SM_CXSCREEN);
  SetWindowPos(tray, nullptr, 0, 0, w, 30, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(W(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(t->TBPosition, 2u);
  const vcl::TRect want = vcl::Rect((before.left + before.right) / 2, 30, (before.left + before.right) / 2, 30);
  EXPECT_EQ(t->RectTo, want);
  EXPECT_DOUBLE_EQ(t->CurLeft, want.Left);
  EXPECT_DOUBLE_EQ(t->CurTop, want.Top);
  EXPECT_DOUBLE_EQ(t->CurRight, want.Right);
  EXPECT_DOUBLE_EQ(t->CurBottom, want.Bottom);
  // The restore grows from there back to the form's place.
  SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitFor([&] { return !(provider->FormState & FS_ANIMRESTORING); }));
  const RECT after = WindowRectOf(W());
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
}
