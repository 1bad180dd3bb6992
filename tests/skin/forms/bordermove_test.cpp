// A skinned form with extended borders (test skin Kum: a 6-pixel frame, a 30-pixel title, a 10-pixel shadow) moved
// and sized as a whole: a caption drag that ends with the pointer on the top edge of the work area maximises it,
// and a size change keeps the border window around it with its client hole matching the form's client area.
// Shots: $TAVREL_SHOTS/exborder_dropped_top.png.
#include <gtest/gtest.h>

#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sBorderForm.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;
using formtest::WaitFor;

namespace {

constexpr int kShadow = 10, kFrame = 6, kTitle = 30;

RECT RectOf(HWND w) { return formtest::WindowRectOf(w); }

RECT ClientOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

class BorderMoves : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    dir.AddFolder(L"Kum");
    manager = Create<TsSkinManager>(Application);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(dir.Path());
    manager->SetExtendedBorders(true);
    form = Create<TForm>(Application);
    form->SetBounds(160, 220, 420, 300);
    form->SetCaption(L"Görüşme planı");
    form->HandleNeeded();
    provider = Create<TsSkinProvider>(form);
    form->Show();
    SetForegroundWindow(W());
    Application->ProcessMessages();
    manager->SetSkinName(L"Kum");
    manager->SetActive(true);
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    if (form) form->Free();
    if (manager) manager->Free();
  }
  HWND W() { return form->Handle(); }
  TlvBorderForm* Border() { return static_cast<TlvBorderForm*>(provider->BorderForm); }
  HWND BW() { return Border() && Border()->AForm ? Border()->AForm->Handle() : nullptr; }
  // The border window lies around the form's client area by the skin's frame, title and shadow.
  bool AroundTheClient() {
    if (!BW() || !IsWindowVisible(BW())) return false;
    const RECT b = RectOf(BW()), c = ClientOnScreen(W());
    return c.left - b.left == kShadow + kFrame && c.top - b.top == kShadow + kTitle &&
           b.right - c.right == kShadow + kFrame && b.bottom - c.bottom == kShadow + kFrame;
  }
  std::string Where() {
    return "border " + (BW() ? Text(RectOf(BW())) : std::string("none")) + " client " + Text(ClientOnScreen(W())) +
           " form " + Text(RectOf(W()));
  }

  TempSkinDir dir;
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  TsSkinProvider* provider = nullptr;
};

// The system's move loop, driven from a timer of this thread (it runs inside the loop): the pointer goes to the
// target, and once the border window has followed it (or after a bound) the button is released.
struct DragRun {
  HWND Border = nullptr;
  POINT Target{};
  RECT Start{};
  int Step = 0;
  DWORD Begun = 0;
  bool InLoop = false, Followed = false;
};
DragRun* gDrag = nullptr;

void CALLBACK DriveDrag(HWND, UINT, UINT_PTR id, DWORD) {
  DragRun& r = *gDrag;
  r.InLoop = true;
  if (r.Step == 0) {
    SetCursorPos(r.Target.x, r.Target.y);
    r.Step = 1;
    return;
  }
  const RECT b = RectOf(r.Border);
  r.Followed = b.left != r.Start.left || b.top != r.Start.top;
  if (r.Followed || GetTickCount() - r.Begun > 4000) {
    KillTimer(nullptr, id);
    PostMessageW(r.Border, WM_LBUTTONUP, 0, 0);
  }
}

}  // namespace

// A caption drag through the system's move loop (the form fading as it moves): dropped with the pointer on the top
// edge of the work area, a sizeable form with a maximise button is maximised, and restoring it gives back the size
// it had before the drag; dropped lower, or without a maximise button, it stays where it was dropped.
TEST_F(BorderMoves, DroppingTheFormOnTheTopEdgeMaximisesIt) {
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  TlvBlendOnMoving* blend = manager->AnimEffects()->BlendOnMoving();
  blend->SetActive(true);
  blend->SetBlendValue(170);
  blend->SetTime(10);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  struct Case {
    const char* Name;
    int Below;  // the drop's distance below the work area's top edge
    bool MaxButton, Maximised;
  };
  const Case cases[] = {{"without a maximise button", 0, false, false},
                        {"40 pixels lower", 40, true, false},
                        {"on the top edge", 0, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const TBorderIcons icons =
        c.MaxButton ? TBorderIcons{biSystemMenu, biMinimize, biMaximize} : TBorderIcons{biSystemMenu, biMinimize};
    if (form->BorderIcons() != icons) {
      // Set while the form is hidden: a change makes the form's window anew.
      form->Hide();
      form->SetBorderIcons(icons);
      form->Show();
      SetForegroundWindow(W());
    }
    form->SetBounds(160, 220, 420, 300);
    ASSERT_TRUE(WaitFor([&] { return AroundTheClient() && RectOf(W()).left == 160; })) << Where();
    const RECT before = RectOf(W());
    const RECT b = RectOf(BW());
    // The press on the caption, in the middle of the title band.
    const POINT press{(b.left + b.right) / 2 - 40, b.top + kShadow + kTitle / 2};
    SetCursorPos(press.x, press.y);
    // The move loop measures the drag from the position of the last message taken: the pointer's own move there.
    ASSERT_TRUE(WaitFor([&] { return GetMessagePos() == static_cast<DWORD>(MAKELONG(press.x, press.y)); }));
    DragRun run;
    run.Border = BW();
    run.Target = POINT{press.x + 30, work.top + c.Below};
    run.Start = b;
    run.Begun = GetTickCount();
    gDrag = &run;
    SetTimer(nullptr, 0, 20, &DriveDrag);
    SendMessageW(BW(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x, press.y));
    gDrag = nullptr;
    // The loop has returned.
    EXPECT_TRUE(run.InLoop);
    EXPECT_TRUE(run.Followed);
    EXPECT_FALSE(provider->FormState & FS_BLENDMOVING);
    if (c.Maximised) {
      ASSERT_TRUE(WaitFor([&] { return IsZoomed(W()) != 0; })) << Where();
      // Not left see-through by the fade of the move.
      EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
      // The window reaches past the screen's edges when maximised: the shot takes the screen's part of it.
      RedrawWindow(W(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Application->ProcessMessages();
      const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, whole = RectOf(W());
      RECT shown{};
      IntersectRect(&shown, &screen, &whole);
      formtest::SaveScreenRect(shown, "exborder_dropped_top");
      SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
      EXPECT_TRUE(WaitFor([&] {
        const RECT r = RectOf(W());
        return !IsZoomed(W()) && r.right - r.left == before.right - before.left &&
               r.bottom - r.top == before.bottom - before.top && AroundTheClient();
      })) << Where();
    } else {
      EXPECT_FALSE(WaitFor([&] { return IsZoomed(W()) != 0; }, 300));
      const RECT r = RectOf(W());
      EXPECT_EQ(r.right - r.left, before.right - before.left);
      EXPECT_EQ(r.bottom - r.top, before.bottom - before.top);
      EXPECT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
    }
  }
}

namespace {

// What the border window's region holds at the moment the form learns of its new size, before the form's own
// handling of it: the first pixel outside the new client area (right and below) and the client's last pixel.
struct SizeWatch {
  HWND Form = nullptr, Border = nullptr;
  bool Seen = false, CoversRight = false, CoversBelow = false, HoleAtClient = false;
};
SizeWatch* gSize = nullptr;

LRESULT CALLBACK WatchSize(int code, WPARAM wParam, LPARAM lParam) {
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && gSize && cwp->hwnd == gSize->Form && cwp->message == WM_WINDOWPOSCHANGED && !gSize->Seen &&
      !(reinterpret_cast<const WINDOWPOS*>(cwp->lParam)->flags & SWP_NOSIZE)) {
    SizeWatch& w = *gSize;
    w.Seen = true;
    const RECT b = RectOf(w.Border), c = ClientOnScreen(w.Form);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(w.Border, rgn) != ERROR) {
      const int midY = (c.top + c.bottom) / 2 - b.top, midX = (c.left + c.right) / 2 - b.left;
      w.CoversRight = PtInRegion(rgn, c.right + 2 - b.left, midY);
      w.CoversBelow = PtInRegion(rgn, midX, c.bottom + 2 - b.top);
      w.HoleAtClient = !PtInRegion(rgn, c.right - 1 - b.left, c.bottom - 1 - b.top);
    }
    DeleteObject(rgn);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// Sizing the form: when it shrinks, the border window's client hole is made the coming client area before the form
// changes, so the frame covers the strip the form gives up (nothing behind shows through it); after any size change
// the border window lies around the form again and its hole is exactly the client area.
TEST_F(BorderMoves, SizingKeepsTheBorderWindowAroundTheFormAndItsHoleOnTheClient) {
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  struct Case {
    const char* Name;
    int Width, Height;
    bool Shrinks;
  };
  const Case cases[] = {{"smaller", 360, 240, true}, {"narrower only", 300, 240, true}, {"larger", 480, 330, false}};
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &WatchSize, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(hook);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SizeWatch watch;
    watch.Form = W();
    watch.Border = BW();
    gSize = &watch;
    const RECT r = RectOf(W());
    // A change that moves and sizes without activating, as the system's sizing makes.
    SetWindowPos(W(), nullptr, r.left, r.top, c.Width, c.Height, SWP_NOACTIVATE | SWP_NOZORDER);
    gSize = nullptr;
    ASSERT_TRUE(watch.Seen);
    if (c.Shrinks) {
      EXPECT_TRUE(watch.HoleAtClient);
      EXPECT_TRUE(watch.CoversRight);
      EXPECT_TRUE(watch.CoversBelow);
    }
    EXPECT_FALSE(provider->FormState & FS_SIZING);
    EXPECT_TRUE(WaitFor([&] {
      if (!AroundTheClient()) return false;
      const RECT b = RectOf(BW()), cl = ClientOnScreen(W());
      HRGN rgn = CreateRectRgn(0, 0, 0, 0);
      const bool ok = GetWindowRgn(BW(), rgn) != ERROR && !PtInRegion(rgn, cl.left - b.left, cl.top - b.top) &&
                      !PtInRegion(rgn, cl.right - 1 - b.left, cl.bottom - 1 - b.top) &&
                      PtInRegion(rgn, cl.right - b.left, cl.bottom - 1 - b.top) &&
                      PtInRegion(rgn, cl.right - 1 - b.left, cl.bottom - b.top) &&
                      PtInRegion(rgn, cl.left - 1 - b.left, cl.top - b.top);
      DeleteObject(rgn);
      return ok;
    })) << Where();
  }
  UnhookWindowsHookEx(hook);
}
