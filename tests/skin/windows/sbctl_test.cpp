// Skinned scroll-bar controls (the system's "ScrollBar" windows): every part painted from the skin at the place
// the geometry gives it, the part states following the mouse, and the control's own scrolling (arrow and page
// presses repeated on its timers, thumb drags) still reaching the parent, with the picture following.
// Screenshots: $TAVREL_SHOTS/win29_sb_*.png.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/windows/lvSBWnd.h"
#include "wintest.h"

using namespace vcl;
using namespace wintest;

namespace {

// What the parent heard from its scroll bars.
std::vector<int> gCodes;

// A parent that moves its scroll-bar controls as the system's own parents do.
LRESULT CALLBACK ScrollHostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if ((msg == WM_VSCROLL || msg == WM_HSCROLL) && lParam) {
    const auto bar = reinterpret_cast<HWND>(lParam);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &si);
    int pos = si.nPos;
    const int code = LOWORD(wParam);
    gCodes.push_back(code);
    switch (code) {
      case SB_LINEUP:
        --pos;
        break;
      case SB_LINEDOWN:
        ++pos;
        break;
      case SB_PAGEUP:
        pos -= static_cast<int>(si.nPage);
        break;
      case SB_PAGEDOWN:
        pos += static_cast<int>(si.nPage);
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        pos = HIWORD(wParam);
        break;
      default:
        return 0;
    }
    SetScrollPos(bar, SB_CTL, pos, TRUE);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND ScrollHost(int x, int y, int w, int h) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ScrollHostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"wrapScrollHost";
    RegisterClassExW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, L"wrapScrollHost", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

size_t CountOf(int code) {
  size_t n = 0;
  for (int c : gCodes) n += c == code;
  return n;
}

int Pos(HWND bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(bar, SB_CTL, &si);
  return si.nPos;
}

// While the control's own press loop runs (it has the mouse until the button comes up), a thread timer lets the
// button go once cond holds, or after a bound.
struct Releaser {
  static inline HWND bar = nullptr;
  static inline std::function<bool()> cond;
  static inline POINT at{};
  static inline ULONGLONG end = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if ((cond && cond()) || GetTickCount64() >= end) {
      KillTimer(nullptr, id);
      PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
  }
  // Presses at p (client coordinates) and returns when the control's loop has ended.
  static void PressUntil(HWND b, POINT p, std::function<bool()> c, unsigned boundMs = 20000) {
    bar = b;
    cond = std::move(c);
    at = p;
    end = GetTickCount64() + boundMs;
    POINT s = p;
    ClientToScreen(b, &s);
    SetCursorPos(s.x, s.y);
    SetTimer(nullptr, 0, 15, &Tick);
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
};

class ScrollBarControls : public ::testing::Test {
 protected:
  void SetUp() override {
    gCodes.clear();
    manager = StartUnderLale(hostForm, skins.Path());
    manager->ScrollsOptions()->SetScrollSize(18);
    manager->SetActive(true);
    host = ScrollHost(40, 40, 460, 360);
  }
  void TearDown() override {
    delete sb;
    sb = nullptr;
    if (host) DestroyWindow(host);
    hostForm->Free();
    Pump();
    SetCursorPos(1270, 1010);
  }
  HWND Bar(int x, int y, int w, int h, bool vertical, int max = 100, int page = 10, int pos = 0) {
    HWND b = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ), x, y, w,
                             h, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = max;
    si.nPage = static_cast<UINT>(page);
    si.nPos = pos;
    SetScrollInfo(b, SB_CTL, &si, TRUE);
    return b;
  }
  TlvSBWnd* Wrap(HWND b) {
    sb = NewWrapper<TlvSBWnd>(b, nullptr, manager, TlvSkinParams(), true);
    RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    return sb;
  }
  // A point of the control in screen coordinates.
  static POINT Screen(HWND b, int x, int y) {
    POINT p{x, y};
    ClientToScreen(b, &p);
    return p;
  }
  bool PixelIs(HWND b, int x, int y, Rgb c) {
    const POINT p = Screen(b, x, y);
    return PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), c.ref()); });
  }
  void Broadcast(HWND b, WORD cmd) {
    SendMessageW(b, SM_LUMICMD, MakeLumiWParam(cmd), reinterpret_cast<LPARAM>(manager));
  }

  ScrollSkins skins;
  TForm* hostForm = nullptr;
  TsSkinManager* manager = nullptr;
  HWND host = nullptr;
  TlvSBWnd* sb = nullptr;
};

}  // namespace

TEST_F(ScrollBarControls, EveryPartIsPaintedFromTheSkinWhereTheGeometryPutsIt) {
  struct Case {
    const wchar_t* skin;
    const ScrollColours* colours;
    bool vertical;
  };
  const Case cases[] = {{L"Lale", &kLale, true}, {L"Deniz", &kDeniz, true}, {L"Lale", &kLale, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.vertical ? "vertical " : "horizontal ") << c.skin);
    if (manager->SkinName() != c.skin) manager->SetSkinName(c.skin);
    HWND b = c.vertical ? Bar(10, 10, 20, 220, true) : Bar(40, 10, 300, 20, false);
    Wrap(b);
    const Rgb button = c.colours->button, slider = c.colours->slider;
    // Geometry: buttons as long as the skin's bar is thick; thumb length from the page.
    EXPECT_EQ(sb->SysBtnSize(), 18);
    const int l = c.vertical ? 220 : 300;
    EXPECT_EQ(sb->WorkSize(), l - 36);
    EXPECT_EQ(sb->SliderSize(), std::max(static_cast<int>(std::lrint((l - 36) / 101.0 * 10)), 16));
    const TRect b1 = sb->Btn1Rect(), b2 = sb->Btn2Rect();
    TRect s = sb->SliderRect();
    EXPECT_EQ(c.vertical ? s.Top : s.Left, 18);  // at the start, right after the first button
    auto mid = [](const TRect& r) { return std::pair{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; };
    auto [x1, y1] = mid(b1);
    auto [x2, y2] = mid(b2);
    EXPECT_TRUE(PixelIs(b, b1.Left + 2, b1.Top + 2, button));
    EXPECT_TRUE(PixelIs(b, b2.Right - 3, b2.Bottom - 3, button));
    EXPECT_TRUE(PixelIs(b, x1, y1, c.colours->arrow)) << "arrow glyph";
    EXPECT_TRUE(PixelIs(b, (s.Left + s.Right) / 2, (s.Top + s.Bottom) / 2, slider));
    // The bar after the thumb.
    if (c.vertical)
      EXPECT_TRUE(PixelIs(b, 10, (s.Bottom + b2.Top) / 2, c.colours->track2));
    else
      EXPECT_TRUE(PixelIs(b, (s.Right + b2.Left) / 2, 10, c.colours->track2));
    (void)x2, (void)y2;
    // In the middle the bar before the thumb shows too; the drawn thumb centre is PositionToCoord.
    SetScrollPos(b, SB_CTL, 45, TRUE);
    EXPECT_EQ(sb->FSI.nPos, 45);
    EXPECT_EQ(sb->FCurrPos, 45);
    s = sb->SliderRect();
    const int centre = sb->PositionToCoord();
    EXPECT_EQ(centre, 18 + sb->SliderSize() / 2 +
                          static_cast<int>(std::lrint(double(l - 36 - sb->SliderSize()) / (100 - 9) * 45)));
    EXPECT_NEAR((c.vertical ? s.Top + s.Bottom : s.Left + s.Right) / 2, centre, 1);
    if (c.vertical)
      EXPECT_TRUE(PixelIs(b, 10, (18 + s.Top) / 2, c.colours->track1));
    else
      EXPECT_TRUE(PixelIs(b, (18 + s.Left) / 2, 10, c.colours->track1));
    EXPECT_TRUE(PixelIs(b, (s.Left + s.Right) / 2, (s.Top + s.Bottom) / 2, slider));
    SaveShot(host, std::string("win29_sb_") + (c.vertical ? "v_" : "h_") + (c.skin[0] == L'L' ? "Lale" : "Deniz"));
    // The last position: a vertical thumb touches the second button.
    SetScrollPos(b, SB_CTL, 91, TRUE);
    EXPECT_EQ(sb->FSI.nPos, 91);
    if (c.vertical) {
      EXPECT_EQ(sb->SliderRect().Bottom, sb->Btn2Rect().Top);
    }
    delete sb;
    sb = nullptr;
    DestroyWindow(b);
  }
}

TEST_F(ScrollBarControls, EdgeCasesOfTheGeometryAndTheCopiedScrollInformation) {
  // Page 0: the thumb is exactly the minimum; a page over the whole range puts its centre in the middle.
  HWND b = Bar(10, 10, 20, 200, true, 100, 0, 0);
  Wrap(b);
  EXPECT_EQ(sb->SliderSize(), lvMinThumbSize);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_PAGE | SIF_RANGE;
  si.nMin = 0;
  si.nMax = 9;
  si.nPage = 10;
  SetScrollInfo(b, SB_CTL, &si, TRUE);
  EXPECT_EQ(sb->PositionToCoord(), 100);
  // An inverted range is kept as 0..0; a position past the end as the last one.
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 50;
  si.nMax = 10;
  si.nPage = 5;
  SendMessageW(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  EXPECT_EQ(sb->FSI.nMin, 0);
  EXPECT_EQ(sb->FSI.nMax, 0);
  EXPECT_EQ(sb->FSI.nPage, 1u);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 100;
  si.nPage = 10;
  si.nPos = 500;
  SendMessageW(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  EXPECT_EQ(sb->FSI.nPos, 91);
  // The control's own drawing was off for the change and is on again (the lock is balanced).
  EXPECT_EQ(sb->FLockCount, 0);
  EXPECT_TRUE(IsWindowVisible(b));
  delete sb;
  sb = nullptr;
  DestroyWindow(b);

  // Shorter than two buttons: each cut to half the length, no thumb.
  b = Bar(60, 10, 20, 30, true);
  Wrap(b);
  EXPECT_EQ(sb->Btn1Rect().Bottom, 15);
  EXPECT_EQ(sb->Btn2Rect().Top, 15);
  EXPECT_TRUE(PixelIs(b, 10, 7, kLale.arrow) || PixelIs(b, 2, 2, kLale.button));
  EXPECT_FALSE(Near(ScreenPixel(Screen(b, 10, 15).x, Screen(b, 10, 15).y), kLale.slider.ref()));
  delete sb;
  sb = nullptr;
  DestroyWindow(b);

  // A square control (the corner between two bars) is one flat colour.
  b = Bar(100, 10, 20, 20, true);
  Wrap(b);
  EXPECT_TRUE(PixelIs(b, 10, 10, kLale.track1));
  EXPECT_TRUE(PixelIs(b, 1, 1, kLale.track1));
}

TEST_F(ScrollBarControls, PartStatesFollowTheMouse) {
  HWND b = Bar(10, 10, 20, 220, true, 100, 10, 45);
  Wrap(b);
  const TRect s = sb->SliderRect();
  auto hit = [&](int x, int y) {
    const POINT p = Screen(b, x, y);
    SendMessageW(b, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  };
  hit(10, 5);  // first button hot, both bars hot
  EXPECT_EQ(sb->FBtn1State, 1);
  EXPECT_EQ(sb->FBar1State, 1);
  EXPECT_EQ(sb->FBar2State, 1);
  EXPECT_TRUE(PixelIs(b, 2, 2, kLale.buttonHot));
  hit(10, (s.Top + s.Bottom) / 2);  // the thumb hot, the buttons normal
  EXPECT_EQ(sb->FSliderState, 1);
  EXPECT_EQ(sb->FBtn1State, 0);
  EXPECT_TRUE(PixelIs(b, 2, 2, kLale.button));
  // A press on the bar before the thumb: that bar pressed, the other hot only when the control is active.
  SendMessageW(b, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(Screen(b, 10, 40).x, Screen(b, 10, 40).y));
  EXPECT_EQ(sb->FBar1State, 2);
  EXPECT_EQ(sb->FBar2State, 0);
  EXPECT_EQ(sb->ScrollCode, 2);
  SendMessageW(b, WM_NCLBUTTONUP, HTCLIENT, MAKELPARAM(Screen(b, 10, 40).x, Screen(b, 10, 40).y));
  EXPECT_EQ(sb->FBar1State, 0);
  EXPECT_EQ(sb->ScrollCode, 8);
  // The mouse leaves: everything normal.
  hit(10, 5);
  SendMessageW(b, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(sb->FBtn1State + sb->FBtn2State + sb->FBar1State + sb->FBar2State + sb->FSliderState, 0);
}

TEST_F(ScrollBarControls, ArrowAndPagePressesScrollOnTheControlsOwnTimers) {
  HWND b = Bar(10, 10, 20, 220, true, 100, 10, 0);
  Wrap(b);
  // Held on the second arrow: one step at once, then more on the control's repeat timer until released.
  Releaser::PressUntil(b, {10, 212}, [] { return CountOf(SB_LINEDOWN) >= 4; });
  EXPECT_GE(CountOf(SB_LINEDOWN), 4u);
  const int pos = Pos(b);
  EXPECT_EQ(pos, static_cast<int>(CountOf(SB_LINEDOWN)));
  EXPECT_EQ(sb->FSI.nPos, pos);
  EXPECT_EQ(sb->FCurrPos, pos);
  EXPECT_NE(sb->FBtn2State, 2);  // released
  EXPECT_EQ(sb->ScrollCode, 8);
  // The picture is the skin's again after the control's own press loop.
  EXPECT_TRUE(PixelIs(b, 2, 2, kLale.button));
  const TRect s = sb->SliderRect();
  EXPECT_TRUE(PixelIs(b, 10, (s.Top + s.Bottom) / 2, kLale.slider));
  EXPECT_EQ(sb->FLockCount, 0);
  PumpFor(200);
  EXPECT_EQ(Pos(b), pos);  // nothing more after the release

  // A press on the bar after the thumb: a page.
  gCodes.clear();
  Releaser::PressUntil(b, {10, 180}, [] { return CountOf(SB_PAGEDOWN) >= 1; });
  EXPECT_GE(CountOf(SB_PAGEDOWN), 1u);
  EXPECT_EQ(Pos(b), std::min(pos + 10 * static_cast<int>(CountOf(SB_PAGEDOWN)), 91));
  EXPECT_EQ(sb->FSI.nPos, Pos(b));
  // The first arrow goes back.
  gCodes.clear();
  const int before = Pos(b);
  Releaser::PressUntil(b, {10, 5}, [] { return CountOf(SB_LINEUP) >= 1; });
  EXPECT_EQ(Pos(b), before - static_cast<int>(CountOf(SB_LINEUP)));
  SaveShot(host, "win29_sb_after_presses");
}

TEST_F(ScrollBarControls, ThumbDragsMoveThePositionAndThePictureFollows) {
  HWND b = Bar(10, 10, 20, 220, true, 100, 10, 0);
  Wrap(b);
  TRect s = sb->SliderRect();
  const int grab = (s.Top + s.Bottom) / 2;
  // The control's own drag (its press loop sees the moves): the parent hears THUMBTRACK and sets the position.
  bool moved = false;
  Releaser::PressUntil(b, {10, grab}, [&] {
    if (!moved) {
      // Inside the press loop: the move, and the release where the move went.
      PostMessageW(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, grab + 60));
      Releaser::at = POINT{10, grab + 60};
      moved = true;
      return false;
    }
    return CountOf(SB_THUMBTRACK) >= 1;
  });
  EXPECT_GE(CountOf(SB_THUMBTRACK), 1u);
  const int dragged = Pos(b);
  EXPECT_GT(dragged, 20);
  EXPECT_LT(dragged, 50);
  EXPECT_EQ(sb->FSI.nPos, dragged);
  s = sb->SliderRect();
  EXPECT_TRUE(PixelIs(b, 10, (s.Top + s.Bottom) / 2, kLale.slider));
  EXPECT_TRUE(PixelIs(b, 10, (18 + s.Top) / 2, kLale.track1));

  // The wrapper's own drag: the thumb pressed, the position following the hit tests, the drawn centre kept.
  gCodes.clear();
  const int grab2 = (s.Top + s.Bottom) / 2;
  SendMessageW(b, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(Screen(b, 10, grab2).x, Screen(b, 10, grab2).y));
  EXPECT_EQ(sb->ScrollCode, 5);
  EXPECT_EQ(sb->FSliderState, 2);
  const int kept = sb->FCurrPos;
  POINT to = Screen(b, 10, grab2 + 40);
  SetCursorPos(to.x, to.y);
  SendMessageW(b, WM_NCHITTEST, 0, MAKELPARAM(to.x, to.y));
  const int expected = dragged + static_cast<int>(std::lrint(91.0 * 40 / (220 - 36 - sb->SliderSize())));
  EXPECT_NEAR(Pos(b), expected, 1);
  EXPECT_GE(CountOf(SB_THUMBTRACK), 1u);
  EXPECT_EQ(sb->FCurrPos, kept);  // the copied information does not move the drawn centre during the drag
  // Off the thumb the drag goes on while the button is held.
  to = Screen(b, 60, grab2 + 60);
  SendMessageW(b, WM_NCHITTEST, 0, MAKELPARAM(to.x, to.y));
  EXPECT_GT(Pos(b), expected);
  // Losing the mouse ends the drag as a release at the cursor.
  SendMessageW(b, WM_CAPTURECHANGED, 0, 0);
  EXPECT_EQ(sb->ScrollCode, 8);
  EXPECT_NE(sb->FSliderState, 2);
  EXPECT_EQ(sb->FCurrPos, Pos(b));
  s = sb->SliderRect();
  EXPECT_TRUE(PixelIs(b, 10, (s.Top + s.Bottom) / 2, kLale.slider));
  SaveShot(host, "win29_sb_after_drag");
}

TEST_F(ScrollBarControls, WithoutASkinAndWhenTheSkinGoesMidDragTheControlIsItsOwn) {
  HWND b = Bar(10, 10, 20, 220, true, 100, 10, 0);
  Wrap(b);
  TRect s = sb->SliderRect();
  const int grab = (s.Top + s.Bottom) / 2;
  SendMessageW(b, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(Screen(b, 10, grab).x, Screen(b, 10, grab).y));
  ASSERT_EQ(sb->FSliderState, 2);
  // The skin goes in the middle of the drag.
  manager->SetActive(false);
  Broadcast(b, LVC_REMOVESKIN);
  EXPECT_EQ(sb->FSliderState, 0);
  EXPECT_EQ(sb->FLockCount, 0);
  EXPECT_TRUE(IsWindowVisible(b));
  const POINT to = Screen(b, 10, grab + 40);
  SendMessageW(b, WM_NCHITTEST, 0, MAKELPARAM(to.x, to.y));
  EXPECT_EQ(Pos(b), 0);  // the wrapper no longer drags
  // The control paints and scrolls as the system's own.
  // The system's repaint reaches the screen after the removal: waited for, with a bound.
  EXPECT_TRUE(PumpUntil([&] { return !Near(ScreenPixel(Screen(b, 2, 2).x, Screen(b, 2, 2).y), kLale.button.ref()); }));
  gCodes.clear();
  Releaser::PressUntil(b, {10, 212}, [] { return CountOf(SB_LINEDOWN) >= 2; });
  EXPECT_EQ(Pos(b), static_cast<int>(CountOf(SB_LINEDOWN)));
  SetScrollPos(b, SB_CTL, 30, TRUE);
  EXPECT_EQ(Pos(b), 30);
  SaveShot(host, "win29_sb_noskin");
  // The skin comes back: the copy of the scroll information is taken again.
  manager->SetActive(true);
  Broadcast(b, LVC_SETNEWSKIN);
  EXPECT_EQ(sb->FSI.nPos, 30);
  s = sb->SliderRect();
  EXPECT_TRUE(PixelIs(b, 10, (s.Top + s.Bottom) / 2, kLale.slider));
  EXPECT_TRUE(PixelIs(b, 2, 2, kLale.button));
}

TEST_F(ScrollBarControls, DestroyedWhileWrappedOrFreedFirstTheControlKeepsWorking) {
  // Freed first: the control gets its procedure back and paints and scrolls as its own.
  HWND b = Bar(10, 10, 20, 220, true);
  const LONG_PTR own = GetWindowLongPtrW(b, GWLP_WNDPROC);
  Wrap(b);
  EXPECT_NE(GetWindowLongPtrW(b, GWLP_WNDPROC), own);
  delete sb;
  sb = nullptr;
  EXPECT_EQ(GetWindowLongPtrW(b, GWLP_WNDPROC), own);
  SetScrollPos(b, SB_CTL, 40, TRUE);
  EXPECT_EQ(Pos(b), 40);
  EXPECT_TRUE(PumpUntil([&] {
    return !Near(ScreenPixel(Screen(b, 2, 2).x, Screen(b, 2, 2).y), kLale.button.ref());
  }));
  DestroyWindow(b);
  // Destroyed while wrapped: the wrapper outlives it and frees without touching it.
  b = Bar(10, 10, 20, 220, true);
  Wrap(b);
  DestroyWindow(b);
  EXPECT_TRUE(sb->Destroyed);
  delete sb;
  sb = nullptr;
}
