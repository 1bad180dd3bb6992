// Speed buttons (groups act like radio buttons, clicks only inside) and the style service (unknown names refused
// with the error box's message, the "Sky" palette reaching what forms, panels and buttons paint).
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/styles.h"

using namespace vcl;

namespace {

// Paints a windowed control into a memory bitmap and reads pixels from it.
class Snapshot {
 public:
  Snapshot(TWinControl* control, int w, int h) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    control->PaintTo(dc_, 0, 0);
    // Pixels are read by client coordinates: skip the frame and caption.
    RECT wr;
    GetWindowRect(control->Handle(), &wr);
    POINT co{0, 0};
    ClientToScreen(control->Handle(), &co);
    fx_ = co.x - wr.left;
    fy_ = co.y - wr.top;
  }
  ~Snapshot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x + fx_, y + fy_); }

 private:
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  int fx_ = 0, fy_ = 0;
};

class WithForm : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetBounds(40, 40, 320, 200);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    TStyleManager::SetStyle(TStyleManager::kSystemStyleName);
    delete form;
    Application->ProcessMessages();
  }
  TSpeedButton* AddButton(int left, int group) {
    auto* b = new TSpeedButton(form);
    b->SetParent(form);
    b->SetBounds(left, 10, 40, 24);
    b->SetGroupIndex(group);
    b->OnClick = [this](rtl::TObject* sender) { clicked.push_back(sender); };
    return b;
  }
  // A full click at a point of the form's client area, routed by the form to the graphic child under it.
  void ClickAt(int x, int y, int upX, int upY) {
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(upX, upY));
    form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(upX, upY));
  }
  TForm* form = nullptr;
  std::vector<rtl::TObject*> clicked;
};

using SpeedButtons = WithForm;

TEST_F(SpeedButtons, AButtonOutsideAGroupClicksButNeverStaysDown) {
  TSpeedButton* b = AddButton(10, 0);
  ClickAt(20, 20, 20, 20);
  EXPECT_EQ(clicked, std::vector<rtl::TObject*>{b});
  EXPECT_FALSE(b->Down());
  b->SetDown(true);
  EXPECT_FALSE(b->Down());
  // Released away from the button: no click.
  ClickAt(20, 20, 200, 150);
  EXPECT_EQ(clicked.size(), 1u);
  EXPECT_EQ(b->State(), bsUp);
}

TEST_F(SpeedButtons, PressingOneButtonOfAGroupRaisesTheOthers) {
  TSpeedButton* a = AddButton(10, 1);
  TSpeedButton* b = AddButton(60, 1);
  TSpeedButton* other = AddButton(110, 2);
  other->SetDown(true);
  a->SetDown(true);
  ClickAt(70, 20, 70, 20);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(other->Down()) << "another group is left alone";
  EXPECT_EQ(clicked, std::vector<rtl::TObject*>{b});
  // Without AllowAllUp the last button down stays down, by mouse and by program.
  ClickAt(70, 20, 70, 20);
  EXPECT_TRUE(b->Down());
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
}

TEST_F(SpeedButtons, AllowAllUpLetsTheGroupBeAllUpAndIsShared) {
  TSpeedButton* a = AddButton(10, 3);
  TSpeedButton* b = AddButton(60, 3);
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  ClickAt(20, 20, 20, 20);
  EXPECT_TRUE(a->Down());
  ClickAt(20, 20, 20, 20);
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtons, ADisabledButtonIgnoresTheMouse) {
  TSpeedButton* b = AddButton(10, 4);
  b->SetEnabled(false);
  ClickAt(20, 20, 20, 20);
  EXPECT_TRUE(clicked.empty());
  EXPECT_FALSE(b->Down());
}

using Styles = WithForm;

TEST_F(Styles, TheBuiltInStylesAreKnownAndTheSystemStyleIsTheDefault) {
  EXPECT_EQ(TStyleManager::ActiveStyle().Name(), L"Windows");
  EXPECT_FALSE(StyleServices().Enabled());
  std::vector<String> names = TStyleManager::StyleNames();
  EXPECT_EQ(names, (std::vector<String>{L"Windows", L"Sky", L"COBALTXEMEDIA"}));
  EXPECT_TRUE(TStyleManager::IsValidStyle(L"sky"));
  EXPECT_TRUE(TStyleManager::IsValidStyle(L"cobaltxemedia")) << "ASCII case rules, also under a Turkish locale";
}

TEST_F(Styles, AnUnknownStyleIsRefusedWithItsMessageAndTheLookStays) {
  std::vector<String> shown;
  Application->OnException = [&](rtl::TObject*, const rtl::Exception& e) { shown.push_back(e.Message()); };
  EXPECT_FALSE(TStyleManager::TrySetStyle(L"Bulut", true));
  EXPECT_EQ(shown, std::vector<String>{L"Style 'Bulut' not found"});
  EXPECT_FALSE(TStyleManager::TrySetStyle(L"Bulut", false));
  EXPECT_EQ(shown.size(), 1u) << "no box when not asked for";
  EXPECT_EQ(StyleServices().Name(), L"Windows");
  EXPECT_THROW(TStyleManager::SetStyle(L""), EStyleEngineException);
  Application->OnException = nullptr;
}

TEST_F(Styles, SkyColoursReachFormsPanelsAndButtons) {
  COLORREF system_face = GetSysColor(COLOR_BTNFACE);
  ASSERT_TRUE(TStyleManager::TrySetStyle(L"Sky", true));
  EXPECT_EQ(TStyleManager::ActiveStyle().Name(), L"Sky");
  TColor sky_face = StyleServices().GetSystemColor(clBtnFace);
  EXPECT_NE(static_cast<COLORREF>(sky_face), system_face);
  EXPECT_EQ(ColorToRGB(clBtnFace), sky_face);
  // Blue-sky: blue is the strongest channel of the face, the title and the tabs.
  for (TColor c : {sky_face, StyleServices().GetStyleColor(scGridTitle), StyleServices().GetStyleColor(scTabInactive),
                   StyleServices().GetStyleColor(scPanel), StyleServices().GetStyleColor(scMenuBar)}) {
    EXPECT_GT((c >> 16) & 0xFF, c & 0xFF);
  }
  // A plain colour is never restyled.
  EXPECT_EQ(StyleServices().GetSystemColor(clRed), clRed);

  form->SetColor(clBtnFace);
  auto* b = new TSpeedButton(form);
  b->SetParent(form);
  b->SetBounds(100, 100, 60, 24);
  Snapshot shot(form, 320, 200);
  EXPECT_EQ(shot.At(159, 123), static_cast<COLORREF>(ColorToRGB(cl3DDkShadow))) << "raised edge";
  EXPECT_EQ(shot.At(10, 150), static_cast<COLORREF>(sky_face)) << "form background";
  EXPECT_EQ(shot.At(130, 104), static_cast<COLORREF>(StyleServices().GetStyleColor(scButtonNormal))) << "button face";

  // Back to the system's look.
  TStyleManager::SetStyle(L"Windows");
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(clBtnFace)), system_face);
  Snapshot plain(form, 320, 200);
  EXPECT_EQ(plain.At(10, 150), system_face);
}

TEST(StyledFrame, TheMdiWorkspaceTakesTheStylesColour) {
  Application->Initialize();
  TStyleManager::SetStyle(L"Sky");
  auto* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(20, 20, 400, 300);
  frame->Show();
  Application->ProcessMessages();
  HWND client = FindWindowExW(frame->Handle(), nullptr, L"MDICLIENT", nullptr);
  ASSERT_TRUE(client);
  RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(client);
  COLORREF shown = GetPixel(dc, 50, 50);
  ReleaseDC(client, dc);
  COLORREF sky = static_cast<COLORREF>(ColorToRGB(clAppWorkSpace));
  TStyleManager::SetStyle(L"Windows");
  delete frame;
  Application->ProcessMessages();
  EXPECT_EQ(shown, sky);
}

TEST_F(Styles, TheSecondStyleIsDarkButNeverTheDefault) {
  ASSERT_TRUE(TStyleManager::TrySetStyle(L"COBALTXEMEDIA", false));
  TColor face = ColorToRGB(clBtnFace);
  TColor text = ColorToRGB(clBtnText);
  auto lum = [](TColor c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
  EXPECT_LT(lum(face), lum(text));
}

}  // namespace
