// A form skinned by a provider under each test skin (Lale with rounded corners, Deniz with square ones), each skin
// given a form border, a title section and caption-button images for this test: hit codes at chosen points of the
// frame, caption buttons clicked by non-client mouse messages, frame pixels against the skin's sections (on the
// screen and in the window image; shots saved to Z:\tmp\forms28_<skin>.bmp and looked at), and the platform's own
// frame, region, styles and window procedure back once the skin is removed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;
using namespace formtest;

namespace {

class SkinnedFrame : public formtest::SkinnedFormFixture {};

}  // namespace

TEST_F(SkinnedFrame, HitTestAnswersTheFrameCodes) {
  provider = Create<TsSkinProvider>(form);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    const int w = form->Width(), h = form->Height();
    const int capt = provider->CaptionHeight(true), b = provider->BorderWidth(true);
    // Buttons from the right: close, maximise, minimise; the icon at the left.
    ASSERT_GT(provider->ButtonClose.Rect.Width(), 0);
    EXPECT_LT(provider->ButtonMax.Rect.Right, provider->ButtonClose.Rect.Left + 1);
    EXPECT_LT(provider->ButtonMin.Rect.Right, provider->ButtonMax.Rect.Left + 1);
    struct Case {
      vcl::TPoint P;
      LRESULT Code;
    };
    const Case cases[] = {
        {Centre(provider->ButtonClose.Rect), HTCLOSE},
        {Centre(provider->ButtonMax.Rect), HTMAXBUTTON},
        {Centre(provider->ButtonMin.Rect), HTMINBUTTON},
        {Centre(provider->FIconRect), HTSYSMENU},
        {{w / 2, b + capt / 2}, HTCAPTION},
        {{provider->ButtonMin.Rect.Left - 12, b + capt / 2}, HTCAPTION},
        {{1, h / 2}, HTLEFT},
        {{w - 2, h / 2}, HTRIGHT},
        {{w / 2, 1}, HTTOP},
        {{w / 2, h - 2}, HTBOTTOM},
        {{1, 1}, HTTOPLEFT},
        {{w - 2, 1}, HTTOPRIGHT},
        {{1, h - 2}, HTBOTTOMLEFT},
        {{w - 2, h - 2}, HTBOTTOMRIGHT},
        {{w / 2, h / 2}, HTCLIENT},
    };
    for (const Case& k : cases) {
      SCOPED_TRACE(std::to_string(k.P.X) + "," + std::to_string(k.P.Y));
      EXPECT_EQ(HitTest(k.P.X, k.P.Y), k.Code);
    }
    // Hovering a button makes it hot, and only it; leaving the frame makes it normal again.
    const vcl::TPoint m = Centre(provider->ButtonMax.Rect);
    SendMessageW(W(), WM_NCMOUSEMOVE, HTMAXBUTTON, ScreenPoint(W(), m.X, m.Y));
    EXPECT_EQ(provider->ButtonMax.State, 1);
    EXPECT_EQ(provider->ButtonClose.State, 0);
    EXPECT_EQ(provider->CurrentHT, HTMAXBUTTON);
    SendMessageW(W(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(provider->ButtonMax.State, 0);
  }
}

TEST_F(SkinnedFrame, ClickingCaptionButtonsMaximisesRestoresMinimisesAndCloses) {
  provider = Create<TsSkinProvider>(form);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    // A press makes the button pressed; the release over it maximises.
    const vcl::TPoint m = Centre(provider->ButtonMax.Rect);
    SendMessageW(W(), WM_NCMOUSEMOVE, HTMAXBUTTON, ScreenPoint(W(), m.X, m.Y));
    SendMessageW(W(), WM_NCLBUTTONDOWN, HTMAXBUTTON, ScreenPoint(W(), m.X, m.Y));
    EXPECT_EQ(provider->ButtonMax.State, 2);
    EXPECT_TRUE(biClicked);
    SendMessageW(W(), WM_NCLBUTTONUP, HTMAXBUTTON, ScreenPoint(W(), m.X, m.Y));
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(W()) != 0; }));
    EXPECT_FALSE(biClicked);
    // The frame follows the new size; the same button now restores.
    ASSERT_TRUE(WaitFor([&] {
      return provider->SkinData()->CacheBmp()->Width() == form->Width() && !provider->SkinData()->BGChanged;
    }));
    EXPECT_EQ(HitTest(Centre(provider->ButtonMax.Rect).X, Centre(provider->ButtonMax.Rect).Y), HTMAXBUTTON);
    Click(HTMAXBUTTON, provider->ButtonMax.Rect);
    ASSERT_TRUE(WaitFor([&] { return !IsZoomed(W()); }));
    ASSERT_TRUE(WaitFor([&] { return form->Width() == 420 && !provider->SkinData()->BGChanged; }));
    // Minimise, then the minimise button of the iconic form restores it.
    Click(HTMINBUTTON, provider->ButtonMin.Rect);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(W()) != 0; }));
    Click(HTMINBUTTON, provider->ButtonMin.Rect);
    ASSERT_TRUE(WaitFor([&] { return !IsIconic(W()); }));
    ASSERT_TRUE(WaitFor([&] { return form->Width() == 420; }));
    // A release away from the pressed button does nothing.
    const vcl::TPoint n = Centre(provider->ButtonMin.Rect);
    SendMessageW(W(), WM_NCLBUTTONDOWN, HTMINBUTTON, ScreenPoint(W(), n.X, n.Y));
    SendMessageW(W(), WM_NCLBUTTONUP, HTMINBUTTON, ScreenPoint(W(), 3, form->Height() / 2));
    Application->ProcessMessages();
    EXPECT_FALSE(IsIconic(W()));
  }
  // Close: the form hides (a secondary form closes to hidden).
  Click(HTCLOSE, provider->ButtonClose.Rect);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(W()); }));
}

TEST_F(SkinnedFrame, FramePixelsComeFromTheSkinSectionsAndTheRegionCutsRoundCorners) {
  provider = Create<TsSkinProvider>(form);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    ASSERT_TRUE(WaitFor([&] { return provider->FormActive; }));
    TBitmap* cache = provider->SkinData()->CacheBmp();
    const int w = form->Width(), h = form->Height();
    const int s = provider->FormActive ? 1 : 0;
    const int b = provider->BorderWidth(true), capt = provider->CaptionHeight(true);
    // The title: the title section's colour of the active state, between the caption text and the buttons.
    const int titleY = b + 2;
    const int titleX = provider->ButtonMin.Rect.Left - 8;
    EXPECT_EQ(Px(cache, titleX, titleY), Rgb(s ? c.TitleActive : c.TitleInactive));
    // The left, right and bottom border: the border mask's frame of that state, from the skin's master image.
    const TsMaskData& mask = manager->ma[provider->SkinData()->BorderIndex];
    const int frameW = mask.R.Width() / mask.ImageCount;
    const TColor edge = manager->MasterBitmap->Canvas()->Pixels(mask.R.Left + s * frameW, mask.R.Top + 10);
    EXPECT_EQ(Px(cache, 0, h / 2), Rgb(edge));
    EXPECT_EQ(Px(cache, w - 1, h / 2), Rgb(edge));
    EXPECT_EQ(Px(cache, w / 2, h - 1), Rgb(edge));
    // Caption buttons carry their glyphs (the close glyph's centre is not the title colour).
    EXPECT_NE(Px(cache, Centre(provider->ButtonClose.Rect).X, Centre(provider->ButtonClose.Rect).Y),
              Rgb(s ? c.TitleActive : c.TitleInactive));
    // The screen shows the image.
    auto shot = ScreenShot(W());
    SaveOpaque(shot.get(), "provider_" + Narrow(c.Name));
    for (vcl::TPoint p : {vcl::TPoint(titleX, titleY), vcl::TPoint(0, h / 2), vcl::TPoint(w - 1, h / 2),
                          vcl::TPoint(w / 2, h - 1), Centre(provider->ButtonClose.Rect),
                          Centre(provider->ButtonMax.Rect)}) {
      SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
      EXPECT_TRUE(Near(Px(shot.get(), p.X, p.Y), Px(cache, p.X, p.Y)));
    }
    // The client area shows the form section's background from the image.
    EXPECT_TRUE(Near(Px(shot.get(), provider->OffsetX() + 40, provider->OffsetY() + 40),
                     Px(cache, provider->OffsetX() + 40, provider->OffsetY() + 40)));
    EXPECT_GT(capt, 0);
    // The region: Lale's rounded mask cuts the corners, Deniz's square one keeps them.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(W(), rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, w / 2, h / 2));
    EXPECT_TRUE(PtInRegion(rgn, w / 2, 0));
    EXPECT_EQ(PtInRegion(rgn, 0, 0) != 0, std::wstring(c.Name) == L"Deniz");
    EXPECT_EQ(PtInRegion(rgn, w - 1, h - 1) != 0, std::wstring(c.Name) == L"Deniz");
    DeleteObject(rgn);
  }
}

TEST_F(SkinnedFrame, RemovingTheSkinGivesBackThePlatformFrameRegionStylesAndProcedure) {
  const TWndMethod formProc = form->WindowProc;
  const LONG_PTR wndProc = GetWindowLongPtrW(W(), GWLP_WNDPROC);
  provider = Create<TsSkinProvider>(form);
  Show();
  const LONG_PTR style = GetWindowLongPtrW(W(), GWL_STYLE), exStyle = GetWindowLongPtrW(W(), GWL_EXSTYLE);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const int regionBefore = GetWindowRgn(W(), rgn);
  EXPECT_EQ(regionBefore, ERROR);  // the platform's window has no region
  // Idle without an active skin: the platform answers, the provider still answers for itself.
  EXPECT_EQ(SendMessageW(W(), WM_NCHITTEST, 0, ScreenPoint(W(), form->Width() / 2, 8)), HTCAPTION);
  EXPECT_EQ(SendMessageW(W(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0),
            reinterpret_cast<LRESULT>(static_cast<TsCustomSkinProvider*>(provider)));
  EXPECT_EQ(SendMessageW(W(), SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 1);
  auto before = ScreenShot(W());
  SaveOpaque(before.get(), "provider_before");
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_STYLE) & WS_SYSMENU);  // the provider draws the buttons itself
    EXPECT_NE(GetWindowRgn(W(), rgn), ERROR);
    manager->SetActive(false);
    Application->ProcessMessages();
    EXPECT_EQ(GetWindowLongPtrW(W(), GWL_STYLE), style);
    EXPECT_EQ(GetWindowLongPtrW(W(), GWL_EXSTYLE), exStyle);
    EXPECT_EQ(GetWindowRgn(W(), rgn), ERROR);
    EXPECT_EQ(GetWindowLongPtrW(W(), GWLP_WNDPROC), wndProc);
    EXPECT_EQ(SendMessageW(W(), WM_NCHITTEST, 0, ScreenPoint(W(), form->Width() / 2, 8)), HTCAPTION);
  }
  // The platform's frame is back pixel for pixel.
  auto shot = ScreenShot(W());
  SaveOpaque(shot.get(), "provider_removed");
  ASSERT_EQ(shot->Width(), before->Width());
  ASSERT_EQ(shot->Height(), before->Height());
  int differing = 0;
  for (int y = 0; y < shot->Height(); ++y)
    for (int x = 0; x < shot->Width(); ++x) differing += Px(shot.get(), x, y) != Px(before.get(), x, y);
  EXPECT_EQ(differing, 0);
  delete provider;
  provider = nullptr;
  EXPECT_TRUE(form->WindowProc == formProc);
  EXPECT_EQ(GetWindowLongPtrW(W(), GWLP_WNDPROC), wndProc);
  EXPECT_EQ(SendMessageW(W(), SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0), 0);
  DeleteObject(rgn);
}

TEST_F(SkinnedFrame, AProviderOnSomethingOtherThanAFormIsRefused) {
  EXPECT_THROW(new TsSkinProvider(host->Owner()), rtl::EAbort);
  EXPECT_FALSE(AeroIsEnabled());  // no composition here: the drawn frame takes the no-composition path
}
