// Extended borders: under the test skin Kum (a 6-pixel skinned frame, a 30-pixel title and a 10-pixel translucent
// shadow from its EXBORDER image) a skinned form's frame and shadow live in a layered border window laid around the
// form. Where it lies, what it shows (the pixels of the image it is given), its region, that it follows the form
// and is never active, its hit tests, and that the form is as before once the skin goes.
// Shots: $TAVREL_SHOTS/exborder_active.png, exborder_inactive.png.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sBorderForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/windows/lvDialogWnd.h"
#include "skin/windows/lvDials.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;

namespace {

// Kum's values (tests/skin/skins/make_skins.py).
constexpr int kShadow = 10, kFrame = 6, kTitle = 30;

using formtest::WaitFor;

RECT RectOf(HWND w) { return formtest::WindowRectOf(w); }

// The client area on the screen.
RECT ClientOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::uint8_t Alpha(TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x] >> 24; }

// The screen around a window, written to $TAVREL_SHOTS/<name>.png when the variable is set.
void SaveScreen(HWND form, const RECT& r, const std::string& name) {
  if (!std::getenv("TAVREL_SHOTS")) return;
  RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const DWORD start = GetTickCount();
  WaitFor([&] { return GetTickCount() - start > 300; });
  formtest::SaveScreenRect(r, name);
}

class ExtendedBorders : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    dir.AddFolder(L"Kum");
    dir.AddFolder(L"Deniz");
    host = Create<TForm>(Application);
    host->SetBounds(600, 400, 200, 120);
    manager = formtest::NewManager(host, dir.Path());
    manager->SetExtendedBorders(true);
    form = formtest::NewSecondaryForm(120, 90, 420, 300, L"Öğrenci kaydı");
    provider = Create<TsSkinProvider>(form);
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    if (form) form->Free();
    if (host) host->Free();
  }
  HWND W() { return form->Handle(); }
  TlvBorderForm* Border() { return static_cast<TlvBorderForm*>(provider->BorderForm); }
  HWND BW() { return Border() && Border()->AForm ? Border()->AForm->Handle() : nullptr; }
  void Show() {
    host->Show();
    form->Show();
    SetForegroundWindow(W());
    SetActiveWindow(W());
    Application->ProcessMessages();
  }
  void Activate(const wchar_t* skin = L"Kum") {
    manager->SetSkinName(skin);
    manager->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return BW() && IsWindowVisible(BW()); }));
  }
  // The border window lies around the form's client area by the skin's frame, title and shadow.
  bool AroundTheClient() {
    if (!BW() || !IsWindowVisible(BW())) return false;
    const RECT b = RectOf(BW()), c = ClientOnScreen(W());
    return c.left - b.left == kShadow + kFrame && c.top - b.top == kShadow + kTitle &&
           b.right - c.right == kShadow + kFrame && b.bottom - c.bottom == kShadow + kFrame;
  }
  std::string Where() {
    const RECT b = BW() ? RectOf(BW()) : RECT{}, c = ClientOnScreen(W()), f = RectOf(W());
    char s[200];
    snprintf(s, sizeof s, "border (%ld,%ld,%ld,%ld) client (%ld,%ld,%ld,%ld) form (%ld,%ld,%ld,%ld)", b.left, b.top,
             b.right, b.bottom, c.left, c.top, c.right, c.bottom, f.left, f.top, f.right, f.bottom);
    return s;
  }
  // The windows above the form, up to the border window.
  std::string Chain() {
    std::string r;
    for (HWND w = GetWindow(W(), GW_HWNDPREV); w && r.size() < 400; w = GetWindow(w, GW_HWNDPREV)) {
      char name[64] = {};
      GetClassNameA(w, name, sizeof name);
      r += std::string(name) + (IsWindowVisible(w) ? "+ " : "- ");
      if (w == BW()) break;
    }
    return r;
  }
  bool NeverActive() {
    const HWND b = BW();
    return !b || (GetForegroundWindow() != b && GetActiveWindow() != b && GetFocus() != b);
  }
  // The border window's hit code for a point in its own coordinates.
  int HitAt(int x, int y) {
    const RECT b = RectOf(BW());
    TMessage m;
    m.Msg = WM_NCHITTEST;
    m.LParam = MAKELPARAM(static_cast<WORD>(b.left + x), static_cast<WORD>(b.top + y));
    return Border()->Ex_WMNCHitTest(m);
  }

  TempSkinDir dir;
  TForm* host = nullptr;
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  TsSkinProvider* provider = nullptr;
};

}  // namespace

// The window: layered, never activated, a tool window owned by the form, the library's own (Tag 256), no system
// shadow, placed around the client area by the skin's sizes; the image it shows is the form's whole frame with the
// shadow: alpha rising from the outer edge towards the frame, opaque on the frame, halved while the form is inactive.
TEST_F(ExtendedBorders, TheBorderWindowLiesAroundTheFormAndShowsFrameAndShadow) {
  Show();
  Activate();
  const vcl::TRect sh = manager->FormShadowSize;
  EXPECT_EQ(sh, vcl::TRect(kShadow, kShadow, kShadow, kShadow));
  const HWND b = BW();
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(b, GWL_EXSTYLE)), 0x08080080u);
  EXPECT_EQ(GetWindow(b, GW_OWNER), W());
  EXPECT_FALSE(GetClassLongPtrW(b, GCL_STYLE) & CS_DROPSHADOW);
  EXPECT_EQ(Border()->AForm->Tag(), 256);
  EXPECT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  EXPECT_TRUE(NeverActive());
  // The border window is the form's neighbour in the Z order (an owned window stays above its owner, so the system
  // keeps it right in front; the client hole shows the form).
  EXPECT_TRUE(GetWindow(W(), GW_HWNDPREV) == b || GetWindow(W(), GW_HWNDNEXT) == b) << Chain();

  TBitmap* image = provider->SkinData()->CacheBmp();
  ASSERT_TRUE(image);
  const RECT br = RectOf(b);
  EXPECT_EQ(image->Width(), br.right - br.left);
  EXPECT_EQ(image->Height(), br.bottom - br.top);
  const int midY = image->Height() / 2, midX = image->Width() / 2;
  // Across the left shadow (and the top one): the outermost pixel faintest, rising towards the frame.
  struct Probe {
    int x, y;
  };
  for (const Probe& p : {Probe{0, midY}, Probe{midX, 0}}) {
    int last = -1;
    for (int d = 0; d < kShadow; ++d) {
      const int a = p.x == 0 ? Alpha(image, d, p.y) : Alpha(image, p.x, d);
      EXPECT_GT(a, last) << "step " << d;
      EXPECT_LT(a, 255);
      last = a;
    }
  }
  const int activeEdge = Alpha(image, kShadow - 1, midY);
  EXPECT_EQ(Alpha(image, kShadow + 1, midY), 255);  // the frame
  EXPECT_EQ(Alpha(image, midX, kShadow + kTitle / 2), 255);  // the title
  // The title in the skin's active title colour (196, 150, 80).
  auto rgb = [&](int x, int y) { return static_cast<std::uint32_t*>(image->ScanLine(y))[x] & 0xFFFFFF; };
  EXPECT_EQ(rgb(midX, kShadow + 3), 0xC49650u);
  SaveScreen(W(), br, "exborder_active");

  // Inactive: the inactive shadow image, fainter.
  SetForegroundWindow(host->Handle());
  SetActiveWindow(host->Handle());
  ASSERT_TRUE(WaitFor([&] {
    TBitmap* i = provider->SkinData()->CacheBmp();
    return !provider->FormActive && i && Alpha(i, kShadow - 1, i->Height() / 2) < activeEdge;
  }));
  image = provider->SkinData()->CacheBmp();
  EXPECT_NEAR(Alpha(image, kShadow - 1, midY), activeEdge / 2, 2);
  EXPECT_EQ(static_cast<std::uint32_t*>(image->ScanLine(kShadow + 3))[midX] & 0xFFFFFF, 0xE1CAA7u);  // inactive title
  EXPECT_TRUE(NeverActive());
  SaveScreen(W(), RectOf(BW()), "exborder_inactive");
}

// The regions: the border window has the form's client area cut out of it (the form's own window shows there),
// keeps frame and shadow; the form keeps only its client area.
TEST_F(ExtendedBorders, RegionsCutTheClientHoleAndTheFormsOwnFrame) {
  Show();
  Activate();
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(BW(), rgn), ERROR);
  const RECT br = RectOf(BW());
  const int w = br.right - br.left, h = br.bottom - br.top;
  EXPECT_TRUE(PtInRegion(rgn, 2, h / 2));                           // shadow
  EXPECT_TRUE(PtInRegion(rgn, w / 2, kShadow + 3));                 // title
  EXPECT_TRUE(PtInRegion(rgn, kShadow + 2, h / 2));                 // frame
  EXPECT_FALSE(PtInRegion(rgn, w / 2, h / 2));                      // client
  EXPECT_FALSE(PtInRegion(rgn, kShadow + kFrame, kShadow + kTitle));  // client's first pixel
  const RECT f = RectOf(W()), c = ClientOnScreen(W());
  ASSERT_NE(GetWindowRgn(W(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, (f.right - f.left) / 2, 3));  // the system's caption
  EXPECT_TRUE(PtInRegion(rgn, c.left - f.left, c.top - f.top));
  EXPECT_TRUE(PtInRegion(rgn, c.right - f.left - 1, c.bottom - f.top - 1));
  DeleteObject(rgn);
}

// The border window follows the form: moved, resized, maximised (the shadow cut away, the frame kept), restored,
// minimised (hidden) and restored again (back in place); it never becomes active on the way.
TEST_F(ExtendedBorders, TheBorderWindowFollowsMovesSizesAndWindowStates) {
  Show();
  Activate();
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  form->SetBounds(200, 150, 500, 350);
  EXPECT_TRUE(WaitFor([&] { return AroundTheClient() && RectOf(W()).left == 200; })) << Where();
  SetWindowPos(W(), nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitFor([&] { return AroundTheClient() && RectOf(W()).left == 60; })) << Where();
  SetWindowPos(W(), nullptr, 0, 0, 380, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitFor([&] { return AroundTheClient() && RectOf(W()).right - RectOf(W()).left == 380; })) << Where();
  EXPECT_TRUE(NeverActive());

  ShowWindow(W(), SW_MAXIMIZE);
  ASSERT_TRUE(WaitFor([&] {
    if (!IsZoomed(W()) || !BW() || !IsWindowVisible(BW())) return false;
    const RECT b = RectOf(BW()), c = ClientOnScreen(W());
    return b.left < c.left && b.right > c.right && b.bottom > c.bottom && b.top < c.top;
  })) << Where();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return GetWindowRgn(BW(), rgn) != ERROR && !PtInRegion(rgn, 2, 2); }));
  const RECT mb = RectOf(BW());
  EXPECT_FALSE(PtInRegion(rgn, 2, (mb.bottom - mb.top) / 2));
  EXPECT_TRUE(PtInRegion(rgn, (mb.right - mb.left) / 2, kShadow + 8));
  DeleteObject(rgn);
  EXPECT_TRUE(NeverActive());

  ShowWindow(W(), SW_RESTORE);
  EXPECT_TRUE(WaitFor([&] { return !IsZoomed(W()) && AroundTheClient(); })) << Where();
  ShowWindow(W(), SW_MINIMIZE);
  EXPECT_TRUE(WaitFor([&] { return IsIconic(W()) && (!BW() || !IsWindowVisible(BW())); })) << Where();
  ShowWindow(W(), SW_RESTORE);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(W()) && AroundTheClient(); })) << Where();
  EXPECT_TRUE(NeverActive());
  // Hidden with the form, back with it.
  form->Hide();
  EXPECT_TRUE(WaitFor([&] { return !BW() || !IsWindowVisible(BW()); }));
  form->Show();
  EXPECT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
}

// Activation and focus: a mouse press answers "no activation" and brings the form forward; the focus given to the
// border window goes to the form; a real click on its frame leaves the form active.
TEST_F(ExtendedBorders, TheBorderWindowIsNeverActivatedNorFocused) {
  Show();
  Activate();
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  EXPECT_EQ(SendMessageW(BW(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(W()), MAKELPARAM(HTOBJECT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  SetFocus(BW());
  Application->ProcessMessages();
  EXPECT_TRUE(WaitFor([&] { return GetFocus() != BW() && (GetFocus() == W() || IsChild(W(), GetFocus())); }));
  // A real click on the left frame band, away from the edges that size.
  const RECT b = RectOf(BW());
  SetForegroundWindow(host->Handle());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == host->Handle(); }));
  SetCursorPos(b.left + kShadow + kFrame / 2 + 8, b.top + kShadow + kTitle / 2);
  const RECT before = RectOf(W());
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == W(); })) << GetForegroundWindow();
  EXPECT_TRUE(NeverActive());
  const RECT after = RectOf(W());
  EXPECT_TRUE(EqualRect(&before, &after));
}

// Hit codes of the border window for the form: caption buttons, caption, sizing bands outside the frame (at least
// 6 pixels), the shadow beyond them; the window answers the system with HTOBJECT over the frame so that it gets the
// non-client mouse, and the ordinary answer over the shadow so that the mouse goes through.
TEST_F(ExtendedBorders, HitTestsForTheFrameAndThroughTheShadow) {
  Show();
  Activate();
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  const RECT b = RectOf(BW());
  const int w = b.right - b.left, h = b.bottom - b.top;
  const vcl::TRect close = provider->ButtonClose.Rect;
  ASSERT_FALSE(close.IsEmpty());
  struct Case {
    int x, y, code;
  } cases[] = {
      {(close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2, HTCLOSE},
      {w / 2 - 40, kShadow + kTitle / 2, HTCAPTION},
      {kShadow - 3, h / 2, HTLEFT},
      {w - kShadow + 3, h / 2, HTRIGHT},
      {w / 2, kShadow - 3, HTTOP},
      {w / 2, h - kShadow + 3, HTBOTTOM},
      {kShadow - 3, kShadow - 3, HTTOPLEFT},
      {w - kShadow + 2, h - kShadow + 2, HTBOTTOMRIGHT},
  };
  for (const Case& c : cases) EXPECT_EQ(HitAt(c.x, c.y), c.code) << c.x << "," << c.y;
  auto systemHit = [&](int x, int y) {
    return SendMessageW(BW(), WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(b.left + x), static_cast<WORD>(b.top + y)));
  };
  EXPECT_EQ(systemHit(w / 2 - 40, kShadow + kTitle / 2), HTOBJECT);
  EXPECT_NE(systemHit(0, h / 2), HTOBJECT);
  // A press over the shadow is let through that one pixel: the region gets a hole there, and the next test mends it.
  const LPARAM shadow = MAKELPARAM(0, static_cast<WORD>(h / 2));
  SendMessageW(BW(), WM_LBUTTONDOWN, MK_LBUTTON, shadow);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(BW(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 0, h / 2));
  EXPECT_TRUE(PtInRegion(rgn, 0, h / 2 + 1));
  systemHit(w / 2 - 40, kShadow + kTitle / 2);
  ASSERT_NE(GetWindowRgn(BW(), rgn), ERROR);
  EXPECT_TRUE(PtInRegion(rgn, 0, h / 2));
  DeleteObject(rgn);
}

// Removal: switching extended borders off frees the window and gives the form its skinned frame (no client-only
// region); removing the skin leaves the form exactly as before it was skinned: styles, rectangles, no region.
TEST_F(ExtendedBorders, OffAndSkinRemovalGiveTheFormBackAsBefore) {
  Show();
  const LONG_PTR style = GetWindowLongPtrW(W(), GWL_STYLE), exStyle = GetWindowLongPtrW(W(), GWL_EXSTYLE);
  const RECT rect = RectOf(W()), client = ClientOnScreen(W());
  Activate();
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  const HWND b = BW();
  manager->SetExtendedBorders(false);
  EXPECT_TRUE(WaitFor([&] { return !provider->BorderForm && !IsWindow(b); }));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  // The skin's own frame is drawn on the form again: its caption is inside the region.
  EXPECT_TRUE(WaitFor([&] {
    return GetWindowRgn(W(), rgn) != ERROR && PtInRegion(rgn, (rect.right - rect.left) / 2, 5);
  }));
  manager->SetExtendedBorders(true);
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  const HWND b2 = BW();
  manager->SetActive(false);
  EXPECT_TRUE(WaitFor([&] { return !provider->BorderForm && !IsWindow(b2); }));
  EXPECT_EQ(GetWindowRgn(W(), rgn), ERROR);
  DeleteObject(rgn);
  EXPECT_EQ(GetWindowLongPtrW(W(), GWL_STYLE), style);
  EXPECT_EQ(GetWindowLongPtrW(W(), GWL_EXSTYLE), exStyle);
  const RECT rect2 = RectOf(W()), client2 = ClientOnScreen(W());
  EXPECT_TRUE(EqualRect(&rect, &rect2));
  EXPECT_TRUE(EqualRect(&client, &client2));
  // A skin without extended-border data still gets the border window (the built-in shadow) and loses it again.
  Activate(L"Deniz");
  EXPECT_EQ(manager->FormShadowSize, vcl::TRect(9, 9, 9, 9));
  manager->SetActive(false);
  EXPECT_TRUE(WaitFor([&] { return !provider->BorderForm; }));
}

namespace {

// A skinned message box, driven from a timer of this thread (it runs inside the box's modal loop).
struct DialogRun {
  TsSkinManager* manager = nullptr;
  int step = 0;
  ULONGLONG deadline = 0;
  HWND dlg = nullptr, border = nullptr;
  bool around = false, regionIsClient = false, shadowTranslucent = false, frameOpaque = false, neverActive = true;
  bool buttonShows = false;
  int closeHit = 0;
  std::string where;
  bool borderGone = false, regionGone = false, sysMenuBack = false;
};
DialogRun* gDialog = nullptr;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  // Taking the screen shot pumps messages, and with them this timer: a nested call would start the step again.
  static bool busy = false;
  if (busy) return;
  busy = true;
  struct Release {
    ~Release() { busy = false; }
  } release;
  DialogRun& r = *gDialog;
  const ULONGLONG now = GetTickCount64();
  switch (r.step) {
    case 0:
      r.dlg = FindWindowW(L"#32770", L"Uzantı kutusu");
      if (r.dlg && IsWindowVisible(r.dlg)) {
        SetWindowPos(r.dlg, nullptr, 80, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r.step = 1;
        r.deadline = now + 15000;
      } else if (now > r.deadline) {
        r.step = 9;
      }
      return;
    case 1: {
      TlvDialogWnd* w = FindFormInList(r.dlg);
      auto* bf = w ? static_cast<TlvBorderForm*>(w->BorderForm) : nullptr;
      r.border = bf && bf->AForm && bf->AForm->HandleAllocated() ? bf->AForm->Handle() : nullptr;
      if (r.border && IsWindowVisible(r.border)) {
        const RECT b = RectOf(r.border), c = ClientOnScreen(r.dlg), d = RectOf(r.dlg);
        r.around = c.left - b.left == kShadow + kFrame && c.top - b.top == kShadow + kTitle &&
                   b.right - c.right == kShadow + kFrame && b.bottom - c.bottom == kShadow + kFrame;
        char text[160];
        snprintf(text, sizeof text, "border (%ld,%ld,%ld,%ld) client (%ld,%ld,%ld,%ld)", b.left, b.top, b.right,
                 b.bottom, c.left, c.top, c.right, c.bottom);
        r.where = text;
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        r.regionIsClient = GetWindowRgn(r.dlg, rgn) != ERROR && !PtInRegion(rgn, (d.right - d.left) / 2, 3) &&
                           PtInRegion(rgn, c.left - d.left, c.top - d.top);
        DeleteObject(rgn);
        TBitmap* image = w->SkinData->CacheBmp();
        if (image && image->Width() == b.right - b.left) {
          const int a = Alpha(image, 2, image->Height() / 2);
          r.shadowTranslucent = a > 0 && a < 255;
          r.frameOpaque = Alpha(image, image->Width() / 2, kShadow + 2) == 255;
        }
        const vcl::TRect close = w->ButtonClose.Rect;
        TMessage m;
        m.Msg = WM_NCHITTEST;
        m.LParam = MAKELPARAM(static_cast<WORD>(b.left + (close.Left + close.Right) / 2),
                              static_cast<WORD>(b.top + (close.Top + close.Bottom) / 2));
        r.closeHit = bf->Ex_WMNCHitTest(m);
        r.neverActive = GetForegroundWindow() != r.border && GetActiveWindow() != r.border;
        // The dialog's own controls show through the border window's client hole.
        if (HWND button = FindWindowExW(r.dlg, nullptr, L"Button", nullptr)) {
          const RECT br = RectOf(button);
          r.buttonShows = WindowFromPoint(POINT{(br.left + br.right) / 2, (br.top + br.bottom) / 2}) == button;
        }
      }
      if ((r.around && r.regionIsClient && r.shadowTranslucent && r.frameOpaque && r.buttonShows) ||
          now > r.deadline) {
        SaveScreen(r.dlg, r.border ? RectOf(r.border) : RectOf(r.dlg), "exborder_dialog");
        r.manager->SetActive(false);
        r.step = 2;
        r.deadline = now + 15000;
      }
      return;
    }
    case 2: {
      r.borderGone = !IsWindow(r.border) && !FindFormInList(r.dlg);
      HRGN rgn = CreateRectRgn(0, 0, 0, 0);
      r.regionGone = GetWindowRgn(r.dlg, rgn) == ERROR;
      DeleteObject(rgn);
      r.sysMenuBack = (GetWindowLongPtrW(r.dlg, GWL_STYLE) & WS_SYSMENU) != 0;
      if ((r.borderGone && r.regionGone && r.sysMenuBack) || now > r.deadline) r.step = 9;
      return;
    }
    default:
      KillTimer(nullptr, id);
      if (r.dlg && IsWindow(r.dlg)) PostMessageW(r.dlg, WM_COMMAND, IDCANCEL, 0);
      return;
  }
}

}  // namespace

// A system dialog under Kum: its frame and shadow are on a border window around it (its own region is its client
// area), the close button answers there; with the skin removed the border window is gone and the dialog has its
// own frame, region and system menu back.
TEST_F(ExtendedBorders, ASkinnedDialogGetsTheBorderWindowAndLosesItWithTheSkin) {
  // Dialogs are skinned by the skin's dialog sections.
  auto options = SourceBytes(L"Kum\\Options.dat");
  const std::string dialogSections =
      "\r\n[DIALOG]\r\nSTATES=1\r\nCOLOR=$B4DCF0\r\nFONTCOLOR=$000000\r\n\r\n[DIALOGTITLE]\r\nSTATES=1\r\n"
      "COLOR=$5A9AC8\r\nFONTCOLOR=$FFFFFF\r\n\r\n";
  options.insert(options.end(), dialogSections.begin(), dialogSections.end());
  dir.Write(L"Kum\\Options.dat", options);
  Show();
  manager->SetSkinName(L"Kum");
  manager->SetActive(true);
  ASSERT_TRUE(WaitFor([&] { return BW() != nullptr; }));
  DialogRun run;
  run.manager = manager;
  run.deadline = GetTickCount64() + 15000;
  gDialog = &run;
  std::atomic<bool> done{false};
  std::thread watchdog([&] {
    const ULONGLONG end = GetTickCount64() + 60000;
    while (!done && GetTickCount64() < end) Sleep(20);
    while (!done) {
      if (HWND d = FindWindowW(L"#32770", L"Uzantı kutusu")) PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
      Sleep(200);
    }
  });
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &DriveDialog);
  MessageBoxW(nullptr, L"Kayıt tamamlandı.", L"Uzantı kutusu", MB_OKCANCEL | MB_ICONINFORMATION);
  KillTimer(nullptr, timer);
  done = true;
  watchdog.join();
  gDialog = nullptr;
  ASSERT_TRUE(run.dlg) << "no dialog appeared";
  EXPECT_TRUE(run.border);
  EXPECT_TRUE(run.around) << run.where;
  EXPECT_TRUE(run.regionIsClient);
  EXPECT_TRUE(run.shadowTranslucent);
  EXPECT_TRUE(run.frameOpaque);
  EXPECT_TRUE(run.buttonShows);
  EXPECT_EQ(run.closeHit, HTCLOSE);
  EXPECT_TRUE(run.neverActive);
  EXPECT_TRUE(run.borderGone);
  EXPECT_TRUE(run.regionGone);
  EXPECT_TRUE(run.sysMenuBack);
}

// While the form's border is dragged (WM_SIZING) the border window is put back around the form at once.
TEST_F(ExtendedBorders, TheBorderWindowIsPlacedAgainWhileTheFormIsSized) {
  Show();
  Activate();
  ASSERT_TRUE(WaitFor([&] { return AroundTheClient(); })) << Where();
  SetWindowPos(BW(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_FALSE(AroundTheClient());
  RECT r = RectOf(W());
  SendMessageW(W(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
  EXPECT_TRUE(AroundTheClient()) << Where();
}
