// The title buttons of a skinned system dialog fade like a skinned form's caption buttons: under the test skin Kum,
// whose close button has a glow image (24 x 24: the 16 x 16 button and a 4-pixel margin), the hot close button shows
// that glow in a layered window laid over it, which fades away when the pointer leaves and goes at once with the
// skin; repeated hovers leave the process's GDI objects as they were. Shot: $TAVREL_SHOTS/dialog_glow.png.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/core/sSkinOptions.h"
#include "skin/forms/sSBAnimation.h"
#include "skin/windows/lvDialogWnd.h"
#include "tests/skin/forms/formtest.h"

using namespace formtest;

namespace {

constexpr int kGlowMargin = 4, kGlowSize = 24;  // Kum's (tests/skin/skins/make_skins.py)

INT_PTR CALLBACK PlainDlgProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

// A modeless dialog of the system's class with a title and a close button, no owner (so the dialog hook skins it).
HWND ModelessDialog(const wchar_t* caption) {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
  d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  d->cdit = 0;
  d->cx = 200;
  d->cy = 100;
  t.push_back(0);  // no menu
  t.push_back(0);  // the dialog class
  for (const wchar_t* c = caption; *c; ++c) t.push_back(static_cast<WORD>(*c));
  t.push_back(0);
  HWND h = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
                                      PlainDlgProc, 0);
  if (h) SetWindowPos(h, HWND_TOP, 300, 200, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  return h;
}

class DialogGlow : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    // Dialogs are skinned by the skin's dialog sections.
    dir.AddFolder(L"Kum");
    auto options = skintest::SourceBytes(L"Kum\\Options.dat");
    const std::string dialogSections =
        "\r\n[DIALOG]\r\nSTATES=1\r\nCOLOR=$B4DCF0\r\nFONTCOLOR=$000000\r\n\r\n[DIALOGTITLE]\r\nSTATES=1\r\n"
        "COLOR=$5A9AC8\r\nFONTCOLOR=$FFFFFF\r\n\r\n";
    options.insert(options.end(), dialogSections.begin(), dialogSections.end());
    dir.Write(L"Kum\\Options.dat", options);
    host = vcl::Create<vcl::TForm>(vcl::Application);
    manager = vcl::Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetExtendedBorders(false);
    manager->SetSkinDirectory(dir.Path());
    manager->SetSkinName(L"Kum");
    manager->SetActive(true);
    SetCursorPos(5, 1000);
  }
  void TearDown() override {
    if (dlg) DestroyWindow(dlg);
    manager->SetActive(false);
    host->Free();
  }
  TlvDialogWnd* Wrapper() { return FindFormInList(dlg); }
  POINT CloseCentre() {
    RECT wr = WindowRectOf(dlg);
    const vcl::TRect r = Wrapper()->ButtonClose.Rect;
    return POINT{wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2};
  }
  // The pointer goes onto the close button and the dialog's frame hears of it.
  void Hover() {
    const POINT p = CloseCentre();
    SetCursorPos(p.x, p.y);
    SendMessageW(dlg, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
  HWND FadeWindow() {
    TlvSBAnimation* t = Wrapper() ? Wrapper()->ButtonClose.Timer : nullptr;
    return t && t->AForm && t->AForm->HandleAllocated() && IsWindowVisible(t->AForm->Handle()) ? t->AForm->Handle()
                                                                                               : nullptr;
  }

  skintest::TempSkinDir dir;
  vcl::TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
  HWND dlg = nullptr;
};

}  // namespace

TEST_F(DialogGlow, AHotCloseButtonGlowsInAWindowOfItsOwnThatGoesOnLeaveAndWithTheSkin) {
  manager->Effects()->SetAllowAnimation(true);
  ASSERT_TRUE(manager->Effects()->AllowGlowing());
  dlg = ModelessDialog(L"Par\u0131lt\u0131");
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(WaitFor([&] { return Wrapper() != nullptr; }));
  ASSERT_TRUE(WaitFor([&] {
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return Wrapper()->ButtonClose.Rect.Width() > 0;
  }));
  TlvDialogWnd* w = Wrapper();
  EXPECT_EQ(w->BorderForm, nullptr);

  // Hover: the glow window lies over the button, grown by the glow's margin, with the skin's glow image; it fades in
  // to 255 and never activates.
  Hover();
  EXPECT_EQ(w->ButtonClose.State, 1);
  ASSERT_TRUE(WaitFor([&] { return FadeWindow() != nullptr; }));
  TlvSBAnimation* t = w->ButtonClose.Timer;
  ASSERT_TRUE(WaitFor([&] { return t->MaxIterations == -1; }, 10000));
  EXPECT_EQ(t->LastBlend, 255);
  const HWND fw = FadeWindow();
  ASSERT_TRUE(fw);
  const RECT wr = WindowRectOf(dlg), fr = WindowRectOf(fw);
  EXPECT_EQ(fr.left, wr.left + w->ButtonClose.Rect.Left - kGlowMargin);
  EXPECT_EQ(fr.top, wr.top + w->ButtonClose.Rect.Top - kGlowMargin);
  EXPECT_EQ(fr.right - fr.left, kGlowSize);
  EXPECT_EQ(fr.bottom - fr.top, kGlowSize);
  EXPECT_EQ(GetWindowLongPtrW(fw, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT),
            WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
  EXPECT_NE(GetForegroundWindow(), fw);
  // The image is the glow: its corner (outside the button) is partly opaque, its centre more so.
  ASSERT_TRUE(t->ABmp);
  const auto alphaAt = [&](int x, int y) { return static_cast<std::uint32_t*>(t->ABmp->ScanLine(y))[x] >> 24; };
  EXPECT_GT(alphaAt(2, kGlowSize / 2), 0u);
  EXPECT_GT(alphaAt(kGlowSize / 2, kGlowSize / 2), alphaAt(1, kGlowSize / 2));
  RECT around = fr;
  InflateRect(&around, 24, 12);
  SaveScreenRect(around, "dialog_glow");

  // The pointer leaves: the dialog hears of it from the fade, the button goes normal and the window fades away.
  SetCursorPos(wr.left + 40, wr.bottom - 20);
  ASSERT_TRUE(WaitFor([&] { return w->ButtonClose.State == 0; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return t->CurrentState == -1 && !t->AForm; }, 10000));
  EXPECT_FALSE(IsWindow(fw));

  // Hovered again, then the skin goes: the fade and its window go at once.
  Hover();
  ASSERT_TRUE(WaitFor([&] { return FadeWindow() != nullptr; }));
  const HWND again = FadeWindow();
  manager->SetActive(false);
  EXPECT_EQ(w->ButtonClose.Timer, nullptr);
  EXPECT_FALSE(IsWindow(again));
}

TEST_F(DialogGlow, RepeatedHoversLeaveTheGdiObjectsAsTheyWere) {
  manager->Effects()->SetAllowAnimation(false);
  dlg = ModelessDialog(L"Say\u0131m");
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(WaitFor([&] { return Wrapper() != nullptr; }));
  ASSERT_TRUE(WaitFor([&] {
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return Wrapper()->ButtonClose.Rect.Width() > 0;
  }));
  TlvDialogWnd* w = Wrapper();
  const RECT wr = WindowRectOf(dlg);
  // Without animation a hover shows the glow at once and runs no timer: the leave comes from the system.
  auto round = [&] {
    Hover();
    if (!WaitFor([&] { return FadeWindow() != nullptr; })) return false;
    SetCursorPos(wr.left + 40, wr.bottom - 20);
    SendMessageW(dlg, WM_MOUSELEAVE, 0, 0);
    return WaitFor([&] { return w->ButtonClose.State == 0 && FadeWindow() == nullptr; });
  };
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(round());
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(round()) << "round " << i;
  const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  EXPECT_EQ(after, before);
}

// With extended borders the title buttons are on the dialog's border window: the glow is placed by that window and
// goes when the pointer leaves.
TEST_F(DialogGlow, OnADialogWithABorderWindowTheGlowLiesOverTheBorderWindowsButton) {
  manager->Effects()->SetAllowAnimation(true);
  manager->SetExtendedBorders(true);
  dlg = ModelessDialog(L"Kenarl\u0131");
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(WaitFor([&] { return Wrapper() != nullptr && Wrapper()->BorderForm && Wrapper()->BorderForm->AForm; }));
  TlvDialogWnd* w = Wrapper();
  const HWND bw = w->BorderForm->AForm->Handle();
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(bw) && w->ButtonClose.Rect.Width() > 0; }));
  const RECT br = WindowRectOf(bw);
  const vcl::TRect r = w->ButtonClose.Rect;
  const POINT p{br.left + (r.Left + r.Right) / 2, br.top + (r.Top + r.Bottom) / 2};
  SetCursorPos(p.x, p.y);
  SendMessageW(bw, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(w->ButtonClose.State, 1);
  ASSERT_TRUE(WaitFor([&] { return FadeWindow() != nullptr; }));
  TlvSBAnimation* t = w->ButtonClose.Timer;
  ASSERT_TRUE(WaitFor([&] { return t->MaxIterations == -1; }, 10000));
  const RECT fr = WindowRectOf(FadeWindow());
  EXPECT_EQ(fr.left, br.left + r.Left - kGlowMargin);
  EXPECT_EQ(fr.top, br.top + r.Top - kGlowMargin);
  EXPECT_EQ(fr.right - fr.left, kGlowSize);
  RECT around = fr;
  InflateRect(&around, 24, 12);
  SaveScreenRect(around, "dialog_glow_border");
  const RECT wr = WindowRectOf(dlg);
  SetCursorPos(wr.left + 40, wr.bottom - 20);
  ASSERT_TRUE(WaitFor([&] { return w->ButtonClose.State == 0; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return t->CurrentState == -1 && !t->AForm; }, 10000));
}
