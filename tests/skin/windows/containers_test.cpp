// Wrappers of windows whose background belongs to someone else: a scrolling container of another library painted
// as a panel (client first, then frame and bars), a container that paints itself, and the MDI client's answers to
// the scroll code; a panel whose new text shows at once and whose skin commands reach its children.
#include <gtest/gtest.h>

#include <vector>

#include "platform/vcl/scrollbox.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/windows/lvMDIWnd.h"
#include "skin/windows/lvTrackWnd.h"
#include "wintest.h"

using namespace vcl;
using namespace wintest;

namespace {

const Rgb kPanelLow{0xE2, 0xB4, 0xC2};  // Lale's PANEL_LOW ($C2B4E2)

class Containers : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    SetCursorPos(1270, 1010);
    form = Create<TForm>(Application);
    form->SetBounds(60, 60, 420, 320);
    manager = LaleManager(form, skins.Path());
    manager->SetActive(true);
  }
  void TearDown() override {
    form->Free();
    Pump();
  }
  ScrollSkins skins;
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
};

}  // namespace

TEST_F(Containers, AScrollBoxIsPaintedAsAPanelAndPrintsItsClientThenItsFrame) {
  auto* box = Create<TScrollBox>(form);
  box->SetParent(form);
  box->SetBounds(20, 20, 200, 150);
  auto* inner = Create<TEdit>(box);
  inner->SetParent(box);
  inner->SetBounds(10, 400, 80, 22);  // beyond the bottom: the box gets its vertical bar
  form->Show();
  Pump();
  TlvSkinParams params;
  params.Control = box;
  auto* w = NewWrapper<TlvScrollBoxWnd>(box->Handle(), nullptr, manager, params, true);
  EXPECT_EQ(w->SkinData->SkinSection(), L"PANEL_LOW");
  EXPECT_EQ(SendMessageW(box->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 1);
  // On the screen: the client from the section.
  EXPECT_TRUE(PumpUntil([&] {
    RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    POINT p{30, 8};
    ClientToScreen(box->Handle(), &p);
    return Near(ScreenPixel(p.x, p.y), kPanelLow.ref());
  }));
  SaveShot(box->Handle(), "win29c_scrollbox_Lale");
  // Printed: the client, and the frame and bars after it.
  RECT wr;
  GetWindowRect(box->Handle(), &wr);
  auto bmp = CreateBmp32(wr.right - wr.left, wr.bottom - wr.top);
  SendMessageW(box->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()),
               PRF_CLIENT | PRF_NONCLIENT);
  GdiFlush();
  const COLORREF printed = GetPixel(bmp->Canvas()->Handle(), 30, 8);
  EXPECT_TRUE(Near(printed, kPanelLow.ref())) << std::hex << printed;
  // Freed: the box has its own procedure and look again.
  TlvMainWnd* m = w;
  UninitializeLVWnd(box->Handle(), true, true, m);
  EXPECT_FALSE(GetPropW(box->Handle(), L"LVSBSC"));
  RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  Pump();
}

TEST_F(Containers, TheWrapperTableMakesScrollBoxAndNativePaintWrappers) {
  EXPECT_EQ(WndTypes[18], &CreateWrapper<TlvScrollBoxWnd>);
  EXPECT_EQ(WndTypes[22], &CreateWrapper<TlvNativePaint>);
  auto* box = Create<TScrollBox>(form);
  box->SetParent(form);
  box->SetBounds(20, 20, 120, 90);
  form->Show();
  Pump();
  TlvSkinParams params;
  params.Control = box;
  TlvMainWnd* w = WndTypes[22](box->Handle(), nullptr, manager, params, true);
  EXPECT_EQ(w->SkinData->SkinSection(), L"TRANSPARENT");
  // It paints its own client: the platform's background stays.
  RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  UninitializeLVWnd(box->Handle(), true, true, w);
  EXPECT_EQ(w, nullptr);
}

TEST_F(Containers, TheMdiClientAnswersTheScrollCodesAndWorksWithoutAProvider) {
  HWND host = Host(30, 30, 300, 200);
  CLIENTCREATESTRUCT ccs{};
  HWND client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 280, 180, host, nullptr, GetModuleHandleW(nullptr), &ccs);
  ASSERT_TRUE(client);
  TlvSkinParams params;
  auto* w = NewWrapper<TlvMDIWnd>(client, nullptr, manager, params, true);
  struct Case {
    int code;
    LRESULT answer;
  };
  for (const Case c : {Case{SB_THUMBPOSITION, 1}, Case{SB_THUMBTRACK, 1}, Case{SB_LINEDOWN, 0}, Case{SB_PAGEUP, 0}})
    EXPECT_EQ(SendMessageW(client, SM_LUMICMD, MakeLumiWParam(LVC_BEFORESCROLL), MAKELPARAM(c.code, 0)), c.answer)
        << c.code;
  // Without the provider's skin data it paints nothing of its own and the client keeps working.
  RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  SendMessageW(client, WM_VSCROLL, SB_THUMBTRACK, 0);
  Pump();
  delete w;
  EXPECT_FALSE(GetPropW(client, L"LVSBSC"));
  DestroyWindow(host);
}

TEST_F(Containers, APanelsNewTextShowsAtOnceAndTheSkinCommandsReachItsChildren) {
  auto* panel = Create<TPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(20, 20, 240, 120);
  panel->SetCaption(L"Birinci");
  auto* inner = Create<TPanel>(panel);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 60, 30);
  form->Show();
  Pump();
  TlvSkinParams params;
  params.Control = panel;
  auto* w = NewWrapper<TlvPanelWnd>(panel->Handle(), nullptr, manager, params, true);
  EXPECT_EQ(SendMessageW(panel->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 1);
  EXPECT_EQ(SendMessageW(panel->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_GETAPPLICATION), 0),
            reinterpret_cast<LRESULT>(Application));
  // The middle of the panel, where the caption stands, printed into a bitmap of ours.
  auto middle = [&] {
    auto bmp = CreateBmp32(240, 120);
    SendMessageW(panel->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), PRF_CLIENT);
    GdiFlush();
    std::vector<COLORREF> px;
    for (int y = 50; y < 70; ++y)
      for (int x = 90; x < 150; ++x) px.push_back(GetPixel(bmp->Canvas()->Handle(), x, y));
    return px;
  };
  const auto first = middle();
  // A new text: the caption follows and the picture changes with it, without any other repaint asked for.
  SendMessageW(panel->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"İkinci başlık"));
  EXPECT_EQ(w->Caption, L"İkinci başlık");
  EXPECT_NE(middle(), first);
  // A new skin goes on to the panel's children.
  auto* iw = NewWrapper<TlvPanelWnd>(inner->Handle(), nullptr, manager, TlvSkinParams{.Control = inner}, true);
  iw->SkinData->BGChanged = false;
  SendMessageW(panel->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(manager));
  EXPECT_TRUE(iw->SkinData->BGChanged);
  SaveShot(panel->Handle(), "win29_panel_Lale");
  delete iw;
  delete w;
}
