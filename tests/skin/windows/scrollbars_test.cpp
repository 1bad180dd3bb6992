// Skinned scroll bars of real wrapped windows (an edit, a list box, a combo box's list): they take the skin's
// thickness out of the client area, paint the skin's sections at their places, and scroll their window by arrow
// presses (repeated on the delay and repeat timers while held), page presses, thumb drags and the wheel.
// Screenshots: $TAVREL_SHOTS/wrap27_*.png.
#include <gtest/gtest.h>

#include "skin/render/sPixels.h"
#include "skin/windows/lvComboWnd.h"
#include "skin/windows/lvEditWnd.h"
#include "wintest.h"

using namespace vcl;
using namespace wintest;

namespace {

class ScrollBars : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = StartUnderLale(hostForm, skins.Path());
    manager->ScrollsOptions()->SetScrollSize(18);
    manager->SetActive(true);
    ASSERT_GE(manager->GetSkinIndex(L"SCROLLBAR1V"), 0);
    host = Host(40, 40, 460, 360);
  }
  void TearDown() override {
    delete sw;
    sw = nullptr;
    if (host) DestroyWindow(host);
    hostForm->Free();
    Pump();
  }

  HWND Edit(int x, int y, int w, int h, DWORD extra = 0) {
    HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                             WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | extra, x, y, w, h,
                             host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowTextW(e, Lines(200).c_str());
    return e;
  }
  TlvEditWnd* Wrap(HWND wnd) {
    TlvSkinParams params;
    params.SkinSection = L"EDIT";
    auto* w = NewWrapper<TlvEditWnd>(wnd, nullptr, manager, params, true);
    sw = w;
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    return w;
  }
  RECT VBar(HWND wnd) {
    RECT r;
    lv_GetVScrollRect(static_cast<TlvScrollWnd*>(sw), wnd, r);
    return r;
  }
  int Button() { return GetScrollMetric(static_cast<TlvScrollWnd*>(sw)->sBarVert.get(), SM_BTNSIZE); }
  // The thumb's start and length on the screen.
  std::pair<int, int> Thumb(HWND wnd) {
    auto* s = static_cast<TlvScrollWnd*>(sw);
    s->sBarVert->ReadInfo(wnd);
    int size = 0, pos = 0;
    Lv_CalcThumbSize(s->sBarVert.get(), VBar(wnd), size, pos);
    return {pos, size};
  }
  void PressAt(HWND wnd, int x, int y) {
    SetCursorPos(x, y);
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y));
  }
  void ReleaseAt(HWND wnd, int x, int y) {
    POINT p{x, y};
    ScreenToClient(wnd, &p);
    SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    SetCursorPos(1270, 1010);
  }

  ScrollSkins skins;
  TForm* hostForm = nullptr;
  TsSkinManager* manager = nullptr;
  HWND host = nullptr;
  TlvMainWnd* sw = nullptr;
};

}  // namespace

TEST_F(ScrollBars, TakeTheSkinThicknessAndPaintTheSkinSections) {
  HWND plain = Edit(10, 10, 200, 150);
  HWND edit = Edit(230, 10, 200, 150);
  RECT before;
  GetClientRect(edit, &before);
  Wrap(edit);
  RECT plainClient, client, wr;
  GetClientRect(plain, &plainClient);
  GetClientRect(edit, &client);
  GetWindowRect(edit, &wr);
  auto* s = static_cast<TlvScrollWnd*>(sw);
  // The frame as the edit computes it, less exactly the skin's bar thickness on the right.
  EXPECT_EQ((wr.right - wr.left) - client.right - s->cxLeftEdge - s->cxRightEdge, 18);
  EXPECT_EQ(client.bottom, plainClient.bottom);
  EXPECT_TRUE(s->sBarVert->fScrollVisible);
  EXPECT_FALSE(s->sBarHorz->fScrollVisible);

  const RECT vr = VBar(edit);
  EXPECT_EQ(vr.right - vr.left, 18);
  const int b = Button();
  EXPECT_EQ(b, 18);  // square buttons of the bar's thickness
  auto [tp, ts] = Thumb(edit);
  EXPECT_EQ(tp, vr.top + b);  // at the top
  EXPECT_GE(ts, 16);
  struct Probe {
    const char* what;
    int x, y;
    Rgb colour;
  };
  const Probe probes[] = {
      {"up arrow button", vr.left + 2, vr.top + 2, kLale.button},
      {"down arrow button", vr.left + 2, vr.bottom - 3, kLale.button},
      {"thumb", vr.left + 9, tp + ts / 2, kLale.slider},
      {"track after the thumb", vr.left + 9, (tp + ts + vr.bottom - b) / 2, kLale.track2},
      {"arrow glyph", vr.left + 9, vr.top + 9, kLale.arrow},
      {"frame from the edit section's border", wr.left, wr.top + 30, {150, 40, 80}},
  };
  for (const Probe& p : probes)
    EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(p.x, p.y), p.colour.ref()); }))
        << p.what << " " << std::hex << ScreenPixel(p.x, p.y);
  SaveShot(host, "wrap27_edit_Lale_top");

  // In the middle the track before the thumb shows the first track section.
  SendMessageW(edit, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 90), 0);
  UpdateScrolls(s, true);
  std::tie(tp, ts) = Thumb(edit);
  EXPECT_GT(tp, vr.top + b + 10);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 9, (vr.top + b + tp) / 2), kLale.track1.ref()); }));
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 9, tp + ts / 2), kLale.slider.ref()); }));
  // The system's own bar never shows over the skinned one after a repaint of the frame.
  RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));
  SaveShot(host, "wrap27_edit_Lale_middle");

  // Another skin: its own colours.
  manager->SetSkinName(L"Deniz");
  RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kDeniz.button.ref()); }));
  std::tie(tp, ts) = Thumb(edit);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 9, tp + ts / 2), kDeniz.slider.ref()); }));
  SaveShot(host, "wrap27_edit_Deniz_middle");
}

TEST_F(ScrollBars, ArrowPressStepsAtOnceThenRepeatsOnTheTimersUntilReleased) {
  HWND edit = Edit(10, 10, 220, 160);
  Wrap(edit);
  const RECT vr = VBar(edit);
  const int x = vr.left + 9, y = vr.bottom - 5;  // on the down arrow
  ASSERT_EQ(VPos(edit), 0);
  PressAt(edit, x, y);
  // One step at once, before any timer.
  EXPECT_EQ(VPos(edit), 1);
  EXPECT_EQ(uCurrentScrollPortion, HTSCROLL_DOWN);
  EXPECT_EQ(uScrollTimerId, COOLSB_TIMERID1);
  EXPECT_EQ(GetCapture(), edit);
  // The arrow shows pressed.
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.bottom - 3), kLale.buttonHot.ref()); }));
  // After the delay, one step per repeat tick while the cursor stays on the arrow.
  EXPECT_TRUE(PumpUntil([&] { return VPos(edit) >= 5; }));
  EXPECT_EQ(uScrollTimerId, COOLSB_TIMERID2);
  // Off the arrow the steps pause.
  SetCursorPos(vr.left - 60, vr.top + 20);
  POINT off{vr.left - 60, vr.top + 20};
  ScreenToClient(edit, &off);
  SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(off.x, off.y));
  EXPECT_TRUE(PumpUntil([&] { return uScrollTimerPortion == -1; }));
  const int paused = VPos(edit);
  PumpFor(250);
  EXPECT_EQ(VPos(edit), paused);
  ReleaseAt(edit, vr.left - 60, vr.top + 20);
  EXPECT_EQ(uCurrentScrollPortion, -1);
  EXPECT_EQ(uScrollTimerId, 0u);
  EXPECT_NE(GetCapture(), edit);
  const int released = VPos(edit);
  PumpFor(250);
  EXPECT_EQ(VPos(edit), released);
  // The released arrow is drawn normal again.
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.bottom - 3), kLale.button.ref()); }));

  // The up arrow goes back.
  PressAt(edit, x, vr.top + 4);
  EXPECT_EQ(VPos(edit), released - 1);
  ReleaseAt(edit, x, vr.top + 4);
  EXPECT_EQ(VPos(edit), released - 1);
}

TEST_F(ScrollBars, PagePressesAndThumbDragsScrollByPagesAndPositions) {
  HWND edit = Edit(10, 10, 220, 160);
  Wrap(edit);
  const RECT vr = VBar(edit);
  const int b = Button();
  const SCROLLINFO si = Info(edit);
  ASSERT_GT(si.nPage, 1u);
  auto [tp, ts] = Thumb(edit);
  // A press on the track after the thumb: one page down.
  PressAt(edit, vr.left + 9, (tp + ts + vr.bottom - b) / 2);
  EXPECT_EQ(uCurrentScrollPortion, HTSCROLL_PAGEDOWN);
  EXPECT_EQ(VPos(edit), static_cast<int>(si.nPage));
  ReleaseAt(edit, vr.left + 9, (tp + ts + vr.bottom - b) / 2);
  EXPECT_EQ(VPos(edit), static_cast<int>(si.nPage));

  // Dragging the thumb: its place follows the cursor and the window's position follows the thumb.
  std::tie(tp, ts) = Thumb(edit);
  const int grabY = tp + ts / 2;
  PressAt(edit, vr.left + 9, grabY);
  EXPECT_EQ(uCurrentScrollPortion, HTSCROLL_THUMB);
  auto* s = static_cast<TlvScrollWnd*>(sw);
  EXPECT_TRUE(s->fThumbTracking);
  const int track = (vr.bottom - b) - (vr.top + b);
  const int dy = 40;
  // The cursor goes there too: the system's own mouse moves under capture say where it is.
  SetCursorPos(vr.left + 9, grabY + dy);
  POINT p{vr.left + 9, grabY + dy};
  ScreenToClient(edit, &p);
  SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  const SCROLLINFO now = Info(edit);
  const int expected =
      MulDiv(tp + dy - (vr.top + b), now.nMax - now.nMin - static_cast<int>(now.nPage) + 1, track - ts);
  EXPECT_EQ(nLastSBPos, expected);
  EXPECT_NEAR(VPos(edit), expected, 1);
  // The thumb shows pressed where the cursor put it.
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 9, tp + dy + ts / 2), kLale.slider.ref()); }));
  SaveShot(host, "wrap27_edit_Lale_drag");
  // The same position again sends nothing new; the release ends the drag at the last position.
  SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  ReleaseAt(edit, vr.left + 9, grabY + dy);
  EXPECT_FALSE(s->fThumbTracking);
  EXPECT_NEAR(VPos(edit), expected, 1);
  // Dragged past the end: the last position.
  std::tie(tp, ts) = Thumb(edit);
  PressAt(edit, vr.left + 9, tp + ts / 2);
  SetCursorPos(vr.left + 9, vr.bottom + 200);
  p = POINT{vr.left + 9, vr.bottom + 200};
  ScreenToClient(edit, &p);
  SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  ReleaseAt(edit, vr.left + 9, vr.bottom + 200);
  const SCROLLINFO end = Info(edit);
  EXPECT_EQ(end.nPos, end.nMax - static_cast<int>(end.nPage) + 1);
}

TEST_F(ScrollBars, TheWheelScrollsAndTheBarFollows) {
  HWND edit = Edit(10, 10, 220, 160);
  Wrap(edit);
  const RECT vr = VBar(edit);
  RECT wr;
  GetWindowRect(edit, &wr);
  SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA * 4)),
               MAKELPARAM(wr.left + 20, wr.top + 20));
  EXPECT_GT(VPos(edit), 0);
  auto [tp, ts] = Thumb(edit);
  EXPECT_GT(tp, vr.top + Button());
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 9, tp + ts / 2), kLale.slider.ref()); }));
  SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * 40)),
               MAKELPARAM(wr.left + 20, wr.top + 20));
  EXPECT_EQ(VPos(edit), 0);
}

TEST_F(ScrollBars, AListBoxScrollsByItsSkinnedBar) {
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                              10, 10, 200, 160, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 80; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Öğrenci ıİ"));
  Wrap(list);
  const RECT vr = VBar(list);
  PressAt(list, vr.left + 9, vr.bottom - 4);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(list, LB_GETTOPINDEX, 0, 0) >= 4; }));
  ReleaseAt(list, vr.left + 9, vr.bottom - 4);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  EXPECT_EQ(VPos(list), top);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));
  SaveShot(host, "wrap27_listbox_Lale");
  // A right click on the bar is swallowed (no context menu, no scroll).
  EXPECT_EQ(SendMessageW(list, WM_NCRBUTTONDOWN, HTVSCROLL, MAKELPARAM(vr.left + 9, vr.bottom - 4)), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), top);
  // An empty list box answers its top index with -1 while skinned.
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);  // a bare list box has no item list of its own to ask
}

TEST_F(ScrollBars, AComboBoxListGetsItsOwnSkinnedBarAndFrame) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10, 200,
                               300, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 60; ++i) {
    const std::wstring item = L"Şube " + std::to_wstring(i);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  TlvSkinParams params;
  params.SkinSection = L"COMBOBOX";
  auto* cw = NewWrapper<TlvComboBoxWnd>(combo, nullptr, manager, params, true);
  sw = cw;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  HWND list = info.hwndList;
  RECT before;
  GetWindowRect(list, &before);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(list) && cw->ListSW != nullptr; }));
  EXPECT_EQ(cw->FListHandle, list);
  TlvComboListWnd* lw = cw->ListSW;
  ASSERT_TRUE(lw->sBarVert);
  RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT vr;
  lv_GetVScrollRect(lw, list, vr);
  ASSERT_TRUE(lw->sBarVert->fScrollVisible);
  // The list's skinned bar scrolls it.
  const LRESULT top0 = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  SetCursorPos(vr.left + 5, vr.bottom - 4);
  SendMessageW(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(vr.left + 5, vr.bottom - 4));
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), top0 + 1);
  POINT p{vr.left + 5, vr.bottom - 4};
  ScreenToClient(list, &p);
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  SetCursorPos(1270, 1010);
  EXPECT_EQ(uCurrentScrollPortion, -1);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()); }));
  // A one-pixel frame in the skin's border colour.
  RECT lr;
  GetWindowRect(list, &lr);
  const COLORREF border = vcl::ColorToRGB(manager->Palette[pcBorder]);
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(lr.left, lr.top + 20), border); }))
      << std::hex << ScreenPixel(lr.left, lr.top + 20) << " " << border;
  SaveShot(list, "wrap27_combolist_Lale");
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  PumpUntil([&] { return !IsWindowVisible(list); });
}

TEST_F(ScrollBars, HoveringAnArrowLightsItUntilTheCursorLeavesTheBar) {
  HWND edit = Edit(10, 10, 220, 160);
  Wrap(edit);
  const RECT vr = VBar(edit);
  const int x = vr.left + 9, y = vr.bottom - 5;
  SetCursorPos(x, y);
  SendMessageW(edit, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(x, y));
  EXPECT_EQ(uMouseOverScrollbar, SB_VERT);
  EXPECT_NE(uMouseOverId, 0u);
  // The hover tick finds the part under the cursor and lights it.
  EXPECT_TRUE(PumpUntil([&] { return uHitTestPortion == HTSCROLL_DOWN; }));
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.bottom - 3), kLale.buttonHot.ref()); }));
  EXPECT_TRUE(Near(ScreenPixel(vr.left + 2, vr.top + 2), kLale.button.ref()));
  // Away from the bar: the timer stops and the arrow is normal again.
  SetCursorPos(1270, 1010);
  EXPECT_TRUE(PumpUntil([&] { return uMouseOverId == 0 && uMouseOverScrollbar == -1; }));
  EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(vr.left + 2, vr.bottom - 3), kLale.button.ref()); }));
}

TEST_F(ScrollBars, PrintingPutsTheFrameAndBarsIntoTheDeviceContextUnlessOnlyTheClientIsAsked) {
  HWND edit = Edit(10, 10, 220, 160);
  Wrap(edit);
  auto* s = static_cast<TlvScrollWnd*>(sw);
  RECT wr;
  GetWindowRect(edit, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  auto whole = CreateBmp32(w, h);
  auto client = CreateBmp32(w, h);
  FillRect32(whole.get(), vcl::Rect(0, 0, w, h), RGB(1, 2, 3), 255);
  FillRect32(client.get(), vcl::Rect(0, 0, w, h), RGB(1, 2, 3), 255);
  SendMessageW(edit, WM_PRINT, reinterpret_cast<WPARAM>(whole->Canvas()->Handle()),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  SendMessageW(edit, WM_PRINT, reinterpret_cast<WPARAM>(client->Canvas()->Handle()), PRF_CLIENT);
  GdiFlush();
  auto px = [](vcl::TBitmap* b, int x, int y) {
    const std::uint32_t v = static_cast<const std::uint32_t*>(b->ScanLine(y))[x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  };
  const int barX = w - s->cxRightEdge - 9;
  EXPECT_TRUE(Near(px(whole.get(), barX, s->cyTopEdge + 2), kLale.button.ref()))
      << std::hex << px(whole.get(), barX, s->cyTopEdge + 2);
  EXPECT_TRUE(Near(px(whole.get(), 0, h / 2), RGB(150, 40, 80)));  // the frame from the skin
  // Client only: no bar, no frame where they would be.
  EXPECT_FALSE(Near(px(client.get(), barX, s->cyTopEdge + 2), kLale.button.ref()));
  EXPECT_FALSE(Near(px(client.get(), 0, h / 2), RGB(150, 40, 80)));
}
