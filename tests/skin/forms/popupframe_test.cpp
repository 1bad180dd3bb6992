// Which popup windows get the skinned frame: a popup whose items the skinned menus draw is framed in the skin's
// popup colour with its items on it; a plain popup of the same form and an edit control's own context menu (items
// the system draws) are left to the system, so their texts can be read. Real popups, driven from a timer inside the
// menu's own loop with a bound; each waits for the look it expects. (Under this display the system's painting of a
// plain popup's items happens to cover a wrongly painted skinned background; the window wrapper's own record of its
// skinned paint tells the rows apart as well.) Shots: $TAVREL_SHOTS/popupframe_*.png.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/vcl/menus.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/windows/lvDials.h"
#include "tests/skin/forms/formtest.h"

using namespace formtest;

namespace {

// The popup section's colour: far from every colour of the test skins and of the system's menus.
constexpr std::uint32_t kPopupFrame = 0x14AAC8;  // as the screen reads it: $RRGGBB

std::string PopupSection(const SkinCase&) { return "\r\n[MAINMENU]\r\nSTATES=1\r\nCOLOR=$C8AA14\r\n\r\n"; }

std::uint32_t ScreenPx(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

int Distance(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift : {0, 8, 16})
    d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
  return d;
}

struct Look {
  bool seen = false;          // an open popup was found and painted
  bool framed = false;        // its frame is the skin's popup colour
  int textPixels = 0;         // pixels of its first item far from that item's background
  bool skinnedPaint = false;  // its window wrapper painted the skinned frame
};

struct PopupRun {
  bool expectFramed = false;
  std::string shot;
  Look look;
  ULONGLONG deadline = 0;
} gRun;

HWND OpenPopup() {
  for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
    if (IsWindowVisible(w)) return w;
  return nullptr;
}

// Reads the open popup; ends the menu once it shows the expected look, or at the bound.
void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  PopupRun& r = gRun;
  const bool late = GetTickCount64() > r.deadline;
  HWND popup = OpenPopup();
  if (popup) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    RECT wr{}, item{};
    GetWindowRect(popup, &wr);
    // Painted again whole, as when it is uncovered: the frame and the items both come again.
    RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    if (menu && GetMenuItemRect(nullptr, menu, 0, &item) && item.right - item.left > 8) {
      r.look.seen = true;
      r.look.framed = Distance(ScreenPx(wr.left + 1, wr.top + 1), kPopupFrame) <= 24 &&
                      Distance(ScreenPx(wr.right - 2, wr.bottom - 2), kPopupFrame) <= 24;
      // The item's background at its right end, where no text reaches.
      const std::uint32_t back = ScreenPx(item.right - 3, (item.top + item.bottom) / 2);
      int text = 0;
      for (int y = item.top + 1; y < item.bottom - 1; ++y)
        for (int x = item.left + 1; x < item.right - 4; ++x)
          if (Distance(ScreenPx(x, y), back) > 120) ++text;
      r.look.textPixels = text;
      r.look.skinnedPaint = false;
      for (TlvMnuWnd* w : MnuArray)
        if (w && w->CtrlHandle == popup && w->Shown) r.look.skinnedPaint = true;
      if ((r.look.framed == r.expectFramed && r.look.skinnedPaint == r.expectFramed && text >= 10) || late) {
        SaveScreenAsIs(popup, r.shot);
        KillTimer(nullptr, id);
        EndMenu();
      }
      return;
    }
  }
  if (late) {
    KillTimer(nullptr, id);
    EndMenu();
  }
}

class PopupFrames : public SkinnedFormFixture {
 protected:
  Look Run(bool expectFramed, const std::string& shot, const std::function<void()>& open) {
    gRun = PopupRun{};
    gRun.expectFramed = expectFramed;
    gRun.shot = shot;
    gRun.deadline = GetTickCount64() + 15000;
    SetForegroundWindow(W());
    const UINT_PTR t = SetTimer(nullptr, 0, 50, &Drive);
    open();
    KillTimer(nullptr, t);
    WaitFor([] { return OpenPopup() == nullptr; });
    return gRun.look;
  }
};

}  // namespace

TEST_F(PopupFrames, OnlyPopupsWhoseItemsTheSkinnedMenusDrawGetTheSkinnedFrame) {
  WriteSkins(dir, {kSkins[0]}, &PopupSection);
  provider = vcl::Create<TsSkinProvider>(form);
  Show();
  Activate(kSkins[0]);
  ASSERT_TRUE(manager->SkinnedPopups());

  // A popup menu of the form: its items are the skinned menus' (owner drawn and hooked).
  auto* skinned = vcl::Create<vcl::TPopupMenu>(form);
  for (const wchar_t* caption : {L"Birinci kay\u0131t", L"\u0130kinci kay\u0131t"}) {
    auto* item = vcl::Create<vcl::TMenuItem>(form);
    item->SetCaption(caption);
    skinned->Items()->Add(item);
  }
  manager->SkinableMenus()->HookPopupMenu(skinned, true);
  // A plain popup of the same form: items of text that the system draws.
  HMENU plain = CreatePopupMenu();
  AppendMenuW(plain, MF_STRING, 1, L"Birinci kay\u0131t");
  AppendMenuW(plain, MF_STRING, 2, L"\u0130kinci kay\u0131t");
  // An edit control of the form, whose context menu is the system's own.
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"metin", WS_CHILD | WS_VISIBLE, 10, 10, 160, 24, W(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(edit);
  RECT fr = WindowRectOf(W());
  const int x = fr.left + 60, y = fr.top + 80;

  struct Case {
    const char* name;
    bool framed;
    std::function<void()> open;
  };
  const Case cases[] = {
      {"skinned", true, [&] { skinned->Popup(x, y); }},
      {"plain", false, [&] { TrackPopupMenu(plain, TPM_RETURNCMD, x, y, 0, W(), nullptr); }},
      {"skinned again", true, [&] { skinned->Popup(x, y); }},
      {"edit", false, [&] { SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(x, y)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Look look = Run(c.framed, std::string("popupframe_") + c.name, c.open);
    ASSERT_TRUE(look.seen);
    EXPECT_EQ(look.framed, c.framed);
    EXPECT_EQ(look.skinnedPaint, c.framed);
    // The first item's text is on the screen: its pixels stand apart from the item's background.
    EXPECT_GE(look.textPixels, 10);
    // Whatever opens next says afresh who draws its items.
    EXPECT_FALSE(lvCanHookMenu);
  }
  DestroyMenu(plain);
  DestroyWindow(edit);
}
