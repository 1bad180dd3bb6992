// A drop-down speed button opens its menu as a real popup: under a skin its items are drawn by the skinned menus
// (owner-drawn, in the menu item section's colours), with the skin off by the platform. The popup's modal loop is
// driven from a timer, with a bound. Screenshot: $TAVREL_SHOTS/speedmenu_<skin>.png.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

namespace {

using formtest::Distance;

// The popup and the form's corner with the button beside it.
void SaveScreenAround(HWND wnd, const std::string& name) {
  if (!wnd) return;
  RECT r = formtest::WindowRectOf(wnd);
  r.left -= 120;
  r.top -= 60;
  r.right += 16;
  r.bottom += 16;
  formtest::SaveScreenRect(r, name);
}

// A form of the application's (where the menu skinning looks for menus), with the cursor out of its way.
vcl::TForm* NewForm() {
  vcl::Application->Initialize();
  SetCursorPos(1200, 1000);
  auto* form = new vcl::TForm(vcl::Application);
  form->SetBounds(200, 80, 360, 220);
  return form;
}

// The three items each test's menu holds.
vcl::TPopupMenu* NewMenu(vcl::TForm* form) {
  auto* menu = new vcl::TPopupMenu(form);
  for (const wchar_t* caption : {L"Yeni kay\u0131t", L"Kopyala", L"Sil"}) {
    auto* item = new vcl::TMenuItem(form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  return menu;
}

struct MenuCase {
  const wchar_t* skin;
  const char* file;
  bool active;
};

class SpeedButtonMenu : public ::testing::TestWithParam<MenuCase> {};

// What the timer saw while the popup was open.
struct Seen {
  bool failed = false, open = false, ownerDrawn = false, itemInSkinColour = false, pressedLook = false;
  bool tempControl = false;
  vcl::TButtonState state = vcl::bsDisabled;
  COLORREF normal = 0;
  TsSpeedButton* button = nullptr;
  std::string shot;
  std::chrono::steady_clock::time_point deadline;
};
Seen seen;

TEST_P(SpeedButtonMenu, TheDropDownOpensAPopupDrawnByTheSkinInForce) {
  auto* form = NewForm();
  auto* manager = new TsSkinManager(form);
  manager->SetIsDefault(true);
  manager->SetSkinDirectory(skintest::SkinsSource());
  manager->SetSkinName(GetParam().skin);
  auto* button = new TsSpeedButton(form);
  button->SetParent(form);
  button->SetBounds(20, 20, 120, 30);
  button->SetCaption(L"\u0130\u015flemler");
  button->SetButtonStyle(tbsDropDown);
  form->Show();
  manager->SetActive(GetParam().active);
  ASSERT_EQ(manager->CommonSkinData->Active, GetParam().active);
  // Made after the skin is set, so only the button hands it to the skinned menus.
  auto* menu = NewMenu(form);
  vcl::TMenuItem* first = menu->Items()->Items(0);
  button->SetDropdownMenu(menu);
  EXPECT_EQ(first->DrawHandlersOwner(), nullptr);
  ASSERT_NE(dynamic_cast<TsSkinMenus*>(manager->SkinableMenus()), nullptr);
  const int section = manager->GetSkinIndex(L"MENUITEM");
  seen = Seen{};
  seen.button = button;
  seen.shot = std::string("speedmenu_") + GetParam().file;
  if (GetParam().active) {
    ASSERT_TRUE(manager->IsValidSkinIndex(section));
    seen.normal = vcl::ColorToGdi(manager->gd[static_cast<size_t>(section)].Props[0].Color);
  }
  seen.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);

  // The popup's own modal loop dispatches this timer.
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    if (formtest::Overdue(seen)) return;
    HWND popup = formtest::VisiblePopup();
    if (!popup) return;
    HMENU m = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (!m || GetMenuItemCount(m) != 3) return;
    seen.open = true;
    seen.tempControl = TempControl == seen.button;
    seen.pressedLook = seen.button->CurrentState() == 2;
    seen.state = seen.button->State();
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    seen.ownerDrawn = GetMenuItemInfoW(m, 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW);
    RECT ir{};
    if (seen.ownerDrawn && GetMenuItemRect(nullptr, m, 0, &ir)) {
      // The item's right end holds no text: the section's normal colour once the popup has been painted.
      HDC screen = GetDC(nullptr);
      seen.itemInSkinColour = Distance(GetPixel(screen, ir.right - 6, ir.top + 2), seen.normal) <= 12;
      ReleaseDC(nullptr, screen);
      if (!seen.itemInSkinColour) return;
    }
    SaveScreenAround(popup, seen.shot);
    EndMenu();
  });
  // A press anywhere on a drop-down button without OnClick opens the menu; the popup is modal, so the message
  // returns once it has closed.
  SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 35));
  KillTimer(nullptr, timer);
  SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 35));

  EXPECT_FALSE(seen.failed);
  EXPECT_TRUE(seen.open);
  EXPECT_TRUE(seen.tempControl);
  EXPECT_TRUE(seen.pressedLook);
  // The whole button is the menu's (no OnClick): it is down while the menu is open.
  EXPECT_EQ(seen.state, vcl::bsDown);
  EXPECT_EQ(seen.ownerDrawn, GetParam().active);
  if (GetParam().active) EXPECT_TRUE(seen.itemInSkinColour);
  EXPECT_EQ(first->DrawHandlersOwner() != nullptr, GetParam().active);
  // Closed again: the button is up, and the library's temporary control is free.
  EXPECT_EQ(TempControl, nullptr);
  EXPECT_NE(button->CurrentState(), 2);
  EXPECT_EQ(button->State(), vcl::bsUp);
  delete form;
}

INSTANTIATE_TEST_SUITE_P(Skins, SpeedButtonMenu,
                         ::testing::Values(MenuCase{L"Lale", "lale", true}, MenuCase{L"Deniz", "deniz", true},
                                           MenuCase{L"Lale", "plain", false}),
                         [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.file); });

// A split button (OnClick set) opens its menu only from the arrow strip, and its main part stays up meanwhile; a
// press beside the strip is a click and opens nothing.
TEST(SpeedButtonSplitMenu, TheArrowStripOpensTheMenuWhileTheButtonStaysUp) {
  auto* form = NewForm();
  auto* button = new TsSpeedButton(form);
  button->SetParent(form);
  // The style first: switching to a drop-down widens the button by its arrow strip.
  button->SetButtonStyle(tbsDropDown);
  button->SetBounds(20, 20, 120, 30);
  button->SetCaption(L"Kaydet");
  int clicks = 0;
  button->OnClick = [&](rtl::TObject*) { ++clicks; };
  button->SetDropdownMenu(NewMenu(form));
  form->Show();
  seen = Seen{};
  seen.button = button;
  seen.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    if (formtest::Overdue(seen)) return;
    for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
      HMENU m = IsWindowVisible(w) ? reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0)) : nullptr;
      if (!m || GetMenuItemCount(m) != 3) continue;
      seen.open = true;
      seen.tempControl = TempControl == seen.button;
      seen.state = seen.button->State();
      EndMenu();
      return;
    }
  });
  // The arrow strip: the button's rightmost 16 pixels.
  SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20 + 120 - 8, 35));
  SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20 + 120 - 8, 35));
  EXPECT_FALSE(seen.failed);
  EXPECT_TRUE(seen.open);
  EXPECT_TRUE(seen.tempControl);
  EXPECT_EQ(seen.state, vcl::bsUp);
  EXPECT_EQ(clicks, 0);
  // Beside the strip: the button's own click, no menu.
  seen.open = false;
  SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 35));
  SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 35));
  KillTimer(nullptr, timer);
  EXPECT_FALSE(seen.open);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->State(), vcl::bsUp);
  EXPECT_EQ(TempControl, nullptr);
  delete form;
}

}  // namespace
