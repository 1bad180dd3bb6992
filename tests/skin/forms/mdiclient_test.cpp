// The MDI client of a skinned MDI main form: wrapped while the form is skinned (its background then comes from the
// form's image, where the skin's MDI area is painted), unwrapped with the system's look back when the skin goes, and
// wrapped anew when a skin comes back or changes; tiling, cascading and a new frame menu reach the form (shots:
// $TAVREL_SHOTS/mdi_client_skinned.png, mdi_client_unskinned.png).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sCtrlAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "skin/windows/lvMDIWnd.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;

namespace {

constexpr COLORREF kAreaColor = RGB(0x20, 0x90, 0x40);

// MDI changes take their time here: a longer bound than the form tests'.
bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 15000) { return formtest::WaitFor(cond, boundMs); }

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

using formtest::SaveScreenAsIs;

// The test skin with an MDI area of a colour of its own, under two names (a skin change swaps them).
std::string WithMDIArea(const std::vector<rtl::Byte>& bytes) {
  std::string options(bytes.begin(), bytes.end());
  return options + "\r\n[MDIAREA]\r\nCOLOR=$409020\r\nTRANSPARENCY=0\r\n";
}

class MDIClient : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    for (const wchar_t* name : {L"Lale", L"Deniz"}) {
      dir.AddFolder(name);
      dir.Write(std::wstring(name) + L"\\Options.dat", WithMDIArea(SourceBytes(std::wstring(name) + L"\\Options.dat")));
    }
    host = Create<TForm>(Application);
    manager = formtest::NewManager(host, dir.Path());
    manager->SetSkinName(L"Lale");
    frame = formtest::NewMDIFrame(80, 50, 520, 380, L"Kay\u0131tlar");
    provider = Create<TsSkinProvider>(frame);
    frame->Show();
    ASSERT_TRUE(WaitFor([&] { return frame->ClientHandle() != nullptr && IsWindowVisible(frame->Handle()); }));
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    Application->SetMainForm(nullptr);
    delete frame;
    if (host) host->Free();
  }
  HWND Client() const { return frame->ClientHandle(); }
  bool Wrapped() const {
    return GetPropW(Client(), L"LVSBSC") != nullptr && provider->MDIForm && provider->MDIForm->ListSW &&
           !provider->MDIForm->ListSW->Destroyed;
  }
  // A point well inside the client window, on the screen.
  POINT Inside() const {
    RECT r{};
    GetWindowRect(Client(), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  bool ShowsArea() const {
    const POINT p = Inside();
    return ScreenPixel(p.x, p.y) == kAreaColor;
  }

  TempSkinDir dir;
  TForm* host = nullptr;
  TForm* frame = nullptr;
  TsSkinManager* manager = nullptr;
  TsSkinProvider* provider = nullptr;
};

}  // namespace

TEST_F(MDIClient, IsWrappedWhileTheMainFormIsSkinnedAndGivenBackWhenTheSkinGoes) {
  // Unskinned: no wrapper, the client's own colour.
  EXPECT_EQ(GetPropW(Client(), L"LVSBSC"), nullptr);
  RedrawWindow(Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  Application->ProcessMessages();
  const COLORREF own = ScreenPixel(Inside().x, Inside().y);
  ASSERT_NE(own, kAreaColor);

  manager->SetActive(true);
  ASSERT_TRUE(WaitFor([&] { return Wrapped(); }));
  auto* w = dynamic_cast<TlvMDIWnd*>(provider->MDIForm->ListSW);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->FForm, frame);
  EXPECT_EQ(w->MDISkinData, provider->SkinData());
  EXPECT_EQ(static_cast<TsCustomSkinProvider*>(provider), w->SkinProvider);
  // The client shows the skin's MDI area, copied from the form's image.
  RedrawWindow(Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(WaitFor([&] { return ShowsArea(); }));
  SaveScreenAsIs(frame->Handle(), "mdi_client_skinned");

  // Tiling, cascading and a new frame menu make the main form lay its menu line out again.
  for (const UINT msg : {WM_MDITILE, WM_MDICASCADE, WM_MDISETMENU}) {
    SCOPED_TRACE(msg);
    provider->FLinesCount = 7;
    provider->MenuChanged = false;
    SendMessageW(Client(), msg, 0, 0);
    EXPECT_EQ(provider->FLinesCount, -1);
    EXPECT_EQ(provider->MenuChanged, msg == WM_MDISETMENU);
  }

  // A skin change gives the client a wrapper for the new skin.
  manager->SetSkinName(L"Deniz");
  ASSERT_TRUE(manager->CommonSkinData->Active);
  EXPECT_TRUE(WaitFor([&] { return Wrapped(); }));
  RedrawWindow(Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(WaitFor([&] { return ShowsArea(); }));

  // Removed: the wrapper goes and the system paints the client again.
  manager->SetActive(false);
  EXPECT_TRUE(WaitFor([&] { return GetPropW(Client(), L"LVSBSC") == nullptr; }));
  EXPECT_EQ(provider->MDIForm->ListSW, nullptr);
  RedrawWindow(Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(WaitFor([&] {
    const POINT p = Inside();
    return ScreenPixel(p.x, p.y) == own;
  }));
  SaveScreenAsIs(frame->Handle(), "mdi_client_unskinned");

  // And back.
  manager->SetActive(true);
  EXPECT_TRUE(WaitFor([&] { return Wrapped(); }));
  // A child still opens and closes inside the wrapped client.
  auto* child = formtest::NewMDIChild(frame, L"\u00d6\u011frenci", 10, 10, 200, 140);
  child->Show();
  EXPECT_TRUE(WaitFor([&] { return frame->ActiveMDIChild() == child; }));
  delete child;
  EXPECT_TRUE(WaitFor([&] { return frame->MDIChildCount() == 0; }));
  EXPECT_TRUE(Wrapped());
}

// The frame's window menu, about to open under the skin, lists each visible child once after a single separator,
// the active one checked, drawn by the skinned menus; a click on an entry activates that child.
TEST_F(MDIClient, TheWindowMenuListsTheChildrenOnce) {
  TMenuItem* window = formtest::SetWindowMenuLine(frame);
  frame->SetWindowMenu(window);
  manager->SetActive(true);
  ASSERT_TRUE(WaitFor([&] { return Wrapped(); }));
  std::vector<TForm*> children;
  for (const wchar_t* caption : {L"Ali", L"Ay\u015fe", L"Gizli"}) {
    auto* child = formtest::NewMDIChild(frame, caption, 10 + 20 * static_cast<int>(children.size()), 10, 200, 140);
    child->Show();
    children.push_back(child);
  }
  children[2]->Hide();
  ASSERT_TRUE(WaitFor([&] { return frame->ActiveMDIChild() == children[1]; }));
  auto opened = [&] {
    SendMessageW(frame->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(window->Handle()), MAKELPARAM(0, FALSE));
    std::vector<std::wstring> captions;
    for (int i = 0; i < window->Count(); ++i)
      captions.push_back(window->Items(i)->Caption() + (window->Items(i)->Checked() ? L"*" : L""));
    return captions;
  };
  // The client is told of the window menu and adds its own entries for the children.
  SendMessageW(Client(), WM_MDISETMENU, reinterpret_cast<WPARAM>(frame->Menu()->Handle()),
               reinterpret_cast<LPARAM>(window->Handle()));
  SendMessageW(Client(), WM_MDIREFRESHMENU, 0, 0);
  EXPECT_GT(GetMenuItemCount(window->Handle()), 1);
  const std::vector<std::wstring> expected{L"D\u00f6\u015fe", L"-", L"Ali", L"Ay\u015fe*"};
  for (int round = 0; round < 2; ++round) EXPECT_EQ(opened(), expected) << round;
  // Only our items are in the popup (the system's own entries for the children are gone), each skinned.
  HMENU h = window->Handle();
  ASSERT_EQ(GetMenuItemCount(h), 4);
  for (int i = 0; i < 4; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(h, static_cast<UINT>(i), TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
  }
  window->Items(2)->Click();
  EXPECT_TRUE(WaitFor([&] { return frame->ActiveMDIChild() == children[0]; }));
  EXPECT_EQ(opened(), (std::vector<std::wstring>{L"D\u00f6\u015fe", L"-", L"Ali*", L"Ay\u015fe"}));
  for (TForm* c : children) delete c;
  ASSERT_TRUE(WaitFor([&] { return frame->MDIChildCount() == 0; }));
  // Without children the list goes and nothing is added.
  EXPECT_EQ(opened(), (std::vector<std::wstring>{L"D\u00f6\u015fe", L"-"}));
}
