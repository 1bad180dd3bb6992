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

using namespace vcl;
using namespace skintest;

namespace {

struct SkinCase {
  const wchar_t* Name;
  TColor TitleActive, TitleInactive;  // colour values as the option file writes them ($00BBGGRR)
};
const SkinCase kSkins[] = {{L"Lale", 0x6E1E96, 0xB48CC8}, {L"Deniz", 0x8C4614, 0xC8A07A}};

std::string Narrow(const std::wstring& s) {
  std::string r;
  for (wchar_t c : s) r.push_back(c < 128 ? static_cast<char>(c) : '?');
  return r;
}

std::string Hex(TColor v) { return "$" + Narrow(rtl::IntToHex(v, 6)); }

// The test's additions to a skin: the form's border from the button frames (rounded in Lale), a two-state title,
// and maximise, minimise and restore images beside the skin's own close image.
std::string Extend(std::string options, const SkinCase& c) {
  auto insertAfter = [&](const std::string& header, const std::string& text) {
    const size_t at = options.find(header);
    if (at != std::string::npos) options.insert(at + header.size(), text);
  };
  insertAfter("[GLOBALINFO]\r\n",
              "BICONMAX=@0080,0000,0128,0016,3,0\r\nBICONNORM=@0080,0000,0128,0016,3,0\r\n"
              "BICONMIN=@0092,0020,0108,0036,1,0\r\n");
  insertAfter("[FORM]\r\n", "BORDERSMASK=^0000,0000,0060,0020,0005,0005,0005,0005,3,0,0,0\r\n");
  options += "\r\n[FORMTITLE]\r\nSTATES=2\r\nCOLOR=" + Hex(c.TitleInactive) + "\r\nHOTCOLOR=" + Hex(c.TitleActive) +
             "\r\nFONTCOLOR=$FFFFFF\r\nHOTFONTCOLOR=$FFFFFF\r\nTRANSPARENCY=0\r\n";
  return options;
}

bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 5000) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > boundMs) return false;
    Application->ProcessMessages();
    Sleep(5);
  }
  return true;
}

LPARAM ScreenPoint(HWND w, int x, int y) {
  RECT r;
  GetWindowRect(w, &r);
  return MAKELPARAM(r.left + x, r.top + y);
}

vcl::TPoint Centre(const vcl::TRect& r) { return vcl::TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

// The whole window as it is on the screen (outside its region: what lies behind).
std::unique_ptr<TBitmap> ScreenShot(HWND w) {
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Application->ProcessMessages();
  RECT r;
  GetWindowRect(w, &r);
  auto b = CreateBmp32(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(b->Canvas()->Handle(), 0, 0, b->Width(), b->Height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return b;
}

std::uint32_t Px(TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF; }
std::uint32_t Rgb(TColor c) { return SwapRedBlue(static_cast<std::uint32_t>(ColorToRGB(c))) & 0xFFFFFF; }
bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 8) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  return true;
}

class SkinnedFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    for (const SkinCase& c : kSkins) {
      dir.AddFolder(c.Name);
      auto bytes = SourceBytes(std::wstring(c.Name) + L"\\Options.dat");
      dir.Write(std::wstring(c.Name) + L"\\Options.dat", Extend(std::string(bytes.begin(), bytes.end()), c));
    }
    // The host comes first: it is the application's main form, the skinned one a secondary form.
    host = Create<TForm>(Application);
    manager = Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(dir.Path());
    form = Create<TForm>(Application);
    form->SetBounds(120, 90, 420, 300);
    form->SetCaption(L"Öğrenci kaydı");
    form->HandleNeeded();
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    if (form) form->Free();
    if (host) host->Free();
  }
  HWND W() { return form->Handle(); }
  void Show() {
    form->Show();
    SetForegroundWindow(W());
    SetActiveWindow(W());
    Application->ProcessMessages();
  }
  void Activate(const SkinCase& c) {
    manager->SetSkinName(c.Name);
    manager->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return provider->SkinData()->Skinned(true) && provider->SystemMenu; }));
    const bool painted = WaitFor([&] {
      TBitmap* cache = provider->SkinData()->CacheBmp();
      return cache && cache->Width() == form->Width() && !provider->SkinData()->BGChanged;
    });
    TBitmap* cache = provider->SkinData()->CacheBmp();
    ASSERT_TRUE(painted) << "cache " << (cache ? cache->Width() : -1) << " form " << form->Width() << " changed "
                         << provider->SkinData()->BGChanged << " state " << provider->SkinData()->CtrlSkinState
                         << " updating " << provider->SkinData()->Updating() << " visible " << IsWindowVisible(W());
  }
  LRESULT HitTest(int x, int y) { return SendMessageW(W(), WM_NCHITTEST, 0, ScreenPoint(W(), x, y)); }
  // Move, press and release over a caption element, as the mouse would.
  void Click(int code, const vcl::TRect& r) {
    const vcl::TPoint c = Centre(r);
    SendMessageW(W(), WM_NCMOUSEMOVE, code, ScreenPoint(W(), c.X, c.Y));
    SendMessageW(W(), WM_NCLBUTTONDOWN, code, ScreenPoint(W(), c.X, c.Y));
    SendMessageW(W(), WM_NCLBUTTONUP, code, ScreenPoint(W(), c.X, c.Y));
  }

  TempSkinDir dir;
  TForm* host = nullptr;
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  TsSkinProvider* provider = nullptr;
};

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
    shot->SaveToFile(L"Z:\\tmp\\forms28_" + std::wstring(c.Name) + L".bmp");
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
  before->SaveToFile(L"Z:\\tmp\\forms28_before.bmp");
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
  shot->SaveToFile(L"Z:\\tmp\\forms28_removed.bmp");
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
