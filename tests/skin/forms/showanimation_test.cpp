// The show animation of a skinned form keeps the form and its children from the screen while it runs: the
// children draw nothing on the screen (neither their background nor themselves) before the animation's last frame,
// a watcher on another thread never sees them ahead of the cover's picture, and once it has ended they are
// painted and take clicks. Shot: $TAVREL_SHOTS/anims_shown.png.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sAnimations.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace formtest;

namespace {

// Colours as the system gives them ($00BBGGRR).
constexpr std::uint32_t kBackground = 0x0000FF;  // the probe's own background (red)
constexpr std::uint32_t kDrawn = 0x00FF00;       // what it draws on the screen (green)
constexpr std::uint32_t kPrinted = 0xFF0000;     // what it draws into a picture of it (blue)

// A child that tells what it drew on the screen (a paint, or a background erased on a window's own DC) and when:
// the show animation's frames shown so far and whether an animation was running.
class TPaintProbe : public TCustomControl {
 public:
  struct Drawn {
    UINT Msg;
    int Frames;
    bool Animating;
  };
  explicit TPaintProbe(TComponent* owner) : TCustomControl(owner) { SetColor(static_cast<TColor>(kBackground)); }
  std::vector<Drawn> OnScreen;

 protected:
  void WndProc(TMessage& m) override {
    const bool printing = m.Msg == WM_PRINT || m.Msg == WM_PRINTCLIENT ||
                          (m.Msg == WM_ERASEBKGND && GetObjectType(reinterpret_cast<HDC>(m.WParam)) == OBJ_MEMDC) ||
                          (m.Msg == WM_PAINT && m.WParam);
    if ((m.Msg == WM_PAINT || m.Msg == WM_ERASEBKGND) && !printing)
      OnScreen.push_back({m.Msg, lvLastAnimFrames, InAnimationProcess});
    const bool was = printing_;
    printing_ = printing_ || printing;
    TCustomControl::WndProc(m);
    printing_ = was;
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(static_cast<TColor>(printing_ ? kPrinted : kDrawn));
    Canvas()->FillRect(ClientRect());
  }

 private:
  bool printing_ = false;
};

// The screen's colour at a point, read on a thread of its own every millisecond or two while the form is being
// shown (the show animation holds the form's thread for its whole length); each change is kept.
class TScreenWatch {
 public:
  explicit TScreenWatch(POINT at) : at_(at), thread_([this] { Run(); }) {}
  ~TScreenWatch() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::vector<std::uint32_t> Seen;

 private:
  void Run() {
    HDC screen = GetDC(nullptr);
    while (!stop_) {
      const std::uint32_t c = GetPixel(screen, at_.x, at_.y) & 0xFFFFFF;
      if (Seen.empty() || Seen.back() != c) Seen.push_back(c);
      Sleep(1);
    }
    ReleaseDC(nullptr, screen);
  }
  POINT at_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The cover's picture of the probe fading in: blue over black, no red or green in it.
bool CoverBlue(std::uint32_t c) { return (c & 0xFFFF) == 0 && c != 0; }

std::string Hex6(std::uint32_t c) {
  char b[8];
  snprintf(b, sizeof b, "%06x", static_cast<unsigned>(c));
  return b;
}

class ShowAnimation : public SkinnedFormFixture {};

}  // namespace

TEST_F(ShowAnimation, HoldsTheFormAndItsChildrenFromTheScreenUntilItsEnd) {
  provider = Create<TsSkinProvider>(form);
  auto* probe = new TPaintProbe(form);
  probe->SetParent(form);
  probe->SetBounds(20, 20, 160, 80);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(200, 40, 120, 32);
  button->SetCaption(L"Kaydet");
  int clicks = 0;
  button->OnClick = [&](rtl::TObject*) { ++clicks; };
  Show();
  Activate(kSkins[0]);
  manager->Effects()->SetAllowAnimation(true);
  TlvAnimEffects* fx = manager->AnimEffects();
  fx->FormShow()->SetActive(true);
  fx->FormShow()->SetMode(atFading);
  fx->FormShow()->SetTime(300);  // 30 steps of 10 ms: long enough for the watcher to see many frames
  fx->FormHide()->SetTime(0);
  form->Hide();
  ASSERT_FALSE(IsWindowVisible(W()));
  probe->OnScreen.clear();

  RECT pr;
  GetWindowRect(probe->Handle(), &pr);
  TScreenWatch watch(POINT{(pr.left + pr.right) / 2, (pr.top + pr.bottom) / 2});
  lvLastAnimFrames = -1;
  form->Show();
  watch.Stop();
  EXPECT_EQ(lvLastAnimFrames, 31);

  // On the screen the probe drew only after the animation's last frame, once it had ended.
  ASSERT_FALSE(probe->OnScreen.empty());
  for (const auto& d : probe->OnScreen) {
    SCOPED_TRACE("message " + std::to_string(d.Msg));
    EXPECT_EQ(d.Frames, 31);
    EXPECT_FALSE(d.Animating);
  }
  // The watcher saw the cover's picture of the probe; its own background never, its drawing only after the cover.
  std::string seen;
  for (std::uint32_t c : watch.Seen) seen += Hex6(c) + " ";
  SCOPED_TRACE("seen " + seen);
  int lastCover = -1, firstDrawn = -1;
  for (int i = 0; i < static_cast<int>(watch.Seen.size()); ++i) {
    const std::uint32_t c = watch.Seen[i];
    EXPECT_FALSE(Near(c, kBackground, 24));
    if (CoverBlue(c)) lastCover = i;
    if (firstDrawn < 0 && Near(c, kDrawn, 8)) firstDrawn = i;
  }
  EXPECT_GE(lastCover, 0);
  if (firstDrawn >= 0) {
    EXPECT_GT(firstDrawn, lastCover);
  }

  // Afterwards: the form is no longer held or transparent, the probe is on the screen, the button takes a click.
  EXPECT_TRUE(IsWindowVisible(W()));
  EXPECT_TRUE(IsWindowVisible(probe->Handle()));
  EXPECT_EQ(provider->LockCount, 0);
  EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
  HDC screen = GetDC(nullptr);
  EXPECT_TRUE(WaitFor(
      [&] { return Near(GetPixel(screen, (pr.left + pr.right) / 2, (pr.top + pr.bottom) / 2) & 0xFFFFFF, kDrawn); }));
  ReleaseDC(nullptr, screen);
  SaveScreen(W(), "anims_shown");
  const LPARAM at = MAKELPARAM(button->Width() / 2, button->Height() / 2);
  PostMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(button->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(WaitFor([&] { return clicks == 1; }));
}
