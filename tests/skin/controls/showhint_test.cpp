// One-off hints at a screen point (lvShowHintWnd): without an active hint component through the platform's hint
// window (text on the info colour, where asked, within the width, inside the work area, never active), with one
// through its skinned balloon (hidden after the application's hide pause).
// Screenshot: $TAVREL_SHOTS/showhint_plain.png (the platform window as the screen shows it).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "skin/controls/lvAlphaHints.h"
#include "skin/core/sHintWnd.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sWndUtils.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

namespace {

using namespace ctltest;

// A shown, active form with a focused edit: the hint must leave both as they are.
struct ActiveForm {
  ActiveForm() : form(std::make_unique<vcl::TForm>(nullptr)) {
    form->SetBounds(40, 40, 300, 200);
    edit = new vcl::TEdit(form.get());
    edit->SetParent(form.get());
    form->Show();
    SetForegroundWindow(form->Handle());
    edit->SetFocus();
    WaitFor([&] { return GetActiveWindow() == form->Handle() && GetFocus() == edit->Handle(); });
  }
  bool Unchanged() const { return GetActiveWindow() == form->Handle() && GetFocus() == edit->Handle(); }
  std::unique_ptr<vcl::TForm> form;
  vcl::TEdit* edit = nullptr;
};

vcl::TRect WindowBounds(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return vcl::TRect(r);
}

std::wstring WindowText(HWND h) {
  wchar_t buf[1024] = {};
  GetWindowTextW(h, buf, 1024);
  return buf;
}

class ShowHint : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    ASSERT_EQ(Manager, nullptr);
  }
};

}  // namespace

TEST_F(ShowHint, APlatformWindowShowsTheTextWhereAskedWithoutTakingTheActivation) {
  ActiveForm host;
  ASSERT_TRUE(host.Unchanged());
  const vcl::TRect work = lvWorkRect(vcl::TPoint(400, 300));
  ASSERT_FALSE(work.IsEmpty());
  const vcl::TPoint pos(work.Left + 100, work.Top + 100);
  const std::wstring text = L"Görüşme notu: İlk görüşme ısıtma";

  EXPECT_EQ(lvShowHintWnd(L"", pos), nullptr);
  EXPECT_FALSE(lvHintsManaged());

  std::unique_ptr<vcl::THintWindow> hint = lvShowHintWnd(text, pos);
  ASSERT_NE(hint, nullptr);
  const HWND h = hint->Handle();
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(h) != FALSE; }));
  EXPECT_TRUE(hint->HintShowing());
  EXPECT_EQ(WindowText(h), text);
  // At the point asked plus (8, 16); its measured size, 4 pixels taller.
  const vcl::TRect calc = hint->CalcHintRect(800, text);
  const vcl::TRect b = WindowBounds(h);
  EXPECT_EQ(b, vcl::Bounds(pos.X + 8, pos.Y + 16, calc.Width(), calc.Height() + 4));
  EXPECT_LE(b.Width(), 800);
  // A popup of its own, top-most and never activated: the form keeps the activation and its edit the focus.
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE), ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
  EXPECT_EQ(GetWindow(h, GW_OWNER), vcl::Application->Handle());
  EXPECT_TRUE(host.Unchanged());
  EXPECT_NE(GetForegroundWindow(), h);
  EXPECT_NE(GetFocus(), h);
  // The mouse passes through it.
  EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(b.Left + 3, b.Top + 3)), HTTRANSPARENT);

  // Its own painting, in a bitmap of the test's: the info colour with the text's darker pixels in it. (Read from the
  // screen instead, the picture under a fresh top-most window on this display sometimes stays another window's.)
  const std::uint32_t info = Rgb(vcl::ColorToRGB(vcl::clInfoBk));
  RECT cr{};
  GetClientRect(h, &cr);
  auto own = CreateBmp32(cr.right + 2, cr.bottom + 2);  // the window with its one-pixel border
  int textPixels = 0;
  const bool painted = WaitFor([&] {
    if (GetUpdateRect(h, nullptr, FALSE)) return false;  // its paint is still to come
    hint->PaintTo(own->Canvas()->Handle(), 0, 0);
    GdiFlush();
    textPixels = 0;
    for (int y = 1; y < own->Height() - 1; ++y)
      for (int x = 1; x < own->Width() - 1; ++x)
        if (!Near(Pixel(own.get(), x, y), info, 8)) ++textPixels;
    return Near(Pixel(own.get(), own->Width() - 3, own->Height() - 3), info, 2) &&
           Near(Pixel(own.get(), 1, own->Height() / 2), info, 2) && textPixels > 30;
  });
  SaveOpaque(own.get(), "showhint_plain");
  SaveScreenAround({h}, "showhint_plain_screen");
  ASSERT_TRUE(painted) << textPixels;

  // Hidden on demand: released, then freed.
  hint->ReleaseHandle();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(hint->HintShowing());
  hint.reset();
  EXPECT_TRUE(host.Unchanged());
}

TEST_F(ShowHint, ALongTextWrapsWithinTheWidthAndTheWindowStaysInTheWorkArea) {
  const vcl::TRect work = lvWorkRect(vcl::TPoint(400, 300));
  ASSERT_FALSE(work.IsEmpty());
  std::wstring longText;
  for (int i = 0; i < 60; ++i) longText += L"öğrenci ";
  struct Case {
    const char* name;
    vcl::TPoint pos;
    const std::wstring text;
  };
  const Case cases[] = {
      {"long, top left", vcl::TPoint(work.Left + 10, work.Top + 10), longText},
      {"short, bottom right corner", vcl::TPoint(work.Right - 5, work.Bottom - 5), L"Şube"},
      {"long, bottom right corner", vcl::TPoint(work.Right - 5, work.Bottom - 5), longText},
  };
  vcl::THintWindow probe(nullptr);
  const int oneLine = probe.CalcHintRect(800, L"Şube").Height();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<vcl::THintWindow> hint = lvShowHintWnd(c.text, c.pos);
    ASSERT_NE(hint, nullptr);
    const HWND h = hint->Handle();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(h) != FALSE; }));
    const vcl::TRect b = WindowBounds(h);
    EXPECT_LE(b.Width(), 800);
    EXPECT_LE(b.Right, work.Right);
    EXPECT_LE(b.Bottom, work.Bottom);
    if (c.text.size() > 100) {
      EXPECT_GT(b.Height(), 2 * oneLine);  // wrapped onto several lines
    }
    if (c.pos.X + 8 + b.Width() > work.Right) {
      EXPECT_EQ(b.Right, work.Right);
    } else {
      EXPECT_EQ(b.Left, c.pos.X + 8);
    }
    if (c.pos.Y + 16 + b.Height() > work.Bottom) {
      EXPECT_EQ(b.Bottom, work.Bottom);
    } else {
      EXPECT_EQ(b.Top, c.pos.Y + 16);
    }
  }
  // A word wider than the room keeps the window within the width.
  EXPECT_LE(probe.CalcHintRect(60, L"Rehberlikservisiöğrencigörüşmesi").Width(), 60);
}

TEST_F(ShowHint, WithAnActiveHintComponentTheSkinnedBalloonShowsItAndHidesAfterThePause) {
  ActiveLale lale;
  TsSkinManager* manager = lale.manager;
  ASSERT_TRUE(manager->Active());
  const int idx = manager->GetSkinIndex(L"BUTTON");
  ASSERT_GE(idx, 0);
  ActiveForm host;
  auto hints = std::make_unique<TsAlphaHints>(nullptr);
  hints->SetAnimated(false);
  hints->SetUseSkinData(true);
  hints->SetSkinSection(L"BUTTON");
  ASSERT_EQ(Manager, hints.get());
  ASSERT_TRUE(hints->Skinned());
  EXPECT_TRUE(lvHintsManaged());
  const vcl::TPoint pos(300, 300);
  const std::wstring text = L"Öğrenci numarası";

  // Where the component itself puts a balloon for that point.
  hints->ShowHint(pos, text, 0);
  ASSERT_TRUE(hints->HintVisible());
  const vcl::TRect direct = hints->HintWindow()->Bounds();
  hints->HideAll();
  ASSERT_FALSE(hints->HintVisible());

  const int hidePause = vcl::Application->HintHidePause();
  vcl::Application->SetHintHidePause(400);
  EXPECT_EQ(lvShowHintWnd(text, pos), nullptr);  // the component keeps its balloon
  ASSERT_TRUE(hints->HintVisible());
  TlvPngHintWindow* balloon = hints->HintWindow();
  EXPECT_EQ(balloon->Text(), text);
  EXPECT_EQ(balloon->Bounds(), direct);
  EXPECT_TRUE(GetWindowLongPtrW(balloon->Handle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  EXPECT_TRUE(host.Unchanged());
  // Painted from the section: off the text, the section's own colour.
  vcl::TBitmap* b = balloon->AlphaBmp();
  ASSERT_NE(b, nullptr);
  auto ref = CreateBmp32(b->Width(), b->Height());
  TCacheInfo ci = EmptyCI;
  ci.FillColor = 0xFF00FF;
  PaintItem(idx, ci, true, 0, vcl::Rect(0, 0, b->Width(), b->Height()), vcl::TPoint(0, 0), ref.get(), manager);
  const std::uint32_t in = Argb(b, 3, b->Height() / 2), want = Argb(ref.get(), 3, b->Height() / 2);
  EXPECT_TRUE(Near(in & 0xFFFFFF, want & 0xFFFFFF, 2)) << std::hex << in << " " << want;
  // Gone after the application's hide pause.
  EXPECT_TRUE(WaitFor([&] { return !hints->HintVisible(); }, 10000));
  vcl::Application->SetHintHidePause(hidePause);

  // An inactive component leaves the hint to the platform's window again.
  hints->SetActive(false);
  EXPECT_FALSE(lvHintsManaged());
  std::unique_ptr<vcl::THintWindow> plain = lvShowHintWnd(text, pos);
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(hints->HintVisible());
  plain.reset();
  hints.reset();
  EXPECT_FALSE(lvHintsManaged());
  manager->SetActive(false);
}
