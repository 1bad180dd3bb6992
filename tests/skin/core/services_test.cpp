// The window wrappers the skin core relies on: a wrapper sits in front of a real window's procedure, answers for
// it, follows its scroll bars and gives the window back exactly (also when the window goes first, or another
// subclass came on top); dialogs are adopted by class; child windows render into a bitmap in Z order.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/render/sGraphUtils.h"

namespace {

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // A window that paints itself in the colour kept in its user data.
  if (msg == WM_PRINT || msg == WM_PRINTCLIENT || msg == WM_PAINT) {
    PAINTSTRUCT ps{};
    HDC dc = msg == WM_PAINT ? BeginPaint(wnd, &ps) : reinterpret_cast<HDC>(wParam);
    RECT r;
    GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(wnd, GWLP_USERDATA)));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    if (msg == WM_PAINT) EndPaint(wnd, &ps);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// Registers a window class of that name painting in its colour.
void RegisterPlain(const wchar_t* name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

HWND Plain(HWND parent, const wchar_t* cls, RECT r, COLORREF colour, DWORD style = 0) {
  HWND w = CreateWindowExW(0, cls, L"", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(w, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
  return w;
}

LRESULT CALLBACK OnTopProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace

TEST(WindowWrappers, AWrapperAnswersForItsWindowAndGivesItBackExactly) {
  vcl::Application->Initialize();
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VSCROLL, 0, 0, 100, 60, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  const LONG_PTR ownProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  TlvScrollWnd* sw = new TlvScrollWnd(edit, TlvSkinParams{L"EDIT", nullptr}, nullptr, nullptr);
  EXPECT_NE(GetWindowLongPtrW(edit, GWLP_WNDPROC), ownProc);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(edit), sw);
  EXPECT_EQ(SendMessageW(edit, SM_LUMICMD, MakeLumiWParam(LVC_GETLISTSW), 0), reinterpret_cast<LRESULT>(sw));
  // The window still behaves as itself.
  SetWindowTextW(edit, L"Iğdır");
  wchar_t text[16] = {};
  GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"Iğdır");
  // Its scroll bars are followed as its style changes.
  EXPECT_EQ(sw->sBarVert->fScrollVisible, 1);
  EXPECT_EQ(sw->sBarHorz->fScrollVisible, 0);
  SetWindowLongPtrW(edit, GWL_STYLE, GetWindowLongPtrW(edit, GWL_STYLE) | WS_HSCROLL);
  EXPECT_EQ(sw->sBarHorz->fScrollVisible, 1);
  EXPECT_EQ(GetScrollMetric(sw->sBarVert.get(), SM_SCROLLWIDTH), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(GetScrollMetric(sw->sBarHorz.get(), SM_SCROLLWIDTH), GetSystemMetrics(SM_CYHSCROLL));
  // A second wrapper of the same window takes nothing over.
  {
    TlvScrollWnd other(edit, TlvSkinParams{L"EDIT", nullptr}, nullptr, nullptr);
    EXPECT_EQ(Lv_GetScrollWndFromHwnd(edit), sw);
  }
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(edit), sw);

  UninitializeACScroll(edit, true, false, sw);
  EXPECT_EQ(sw, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), ownProc);
  EXPECT_EQ(Lv_GetScrollWndFromHwnd(edit), nullptr);
  EXPECT_EQ(SendMessageW(edit, SM_LUMICMD, MakeLumiWParam(LVC_GETLISTSW), 0), 0);
  UninitializeACScroll(edit, true, false, sw);  // nothing to do

  // Another subclass on top of the wrapper stays where it is; the window's going ends the wrapper's hold.
  sw = new TlvScrollWnd(edit, TlvSkinParams{L"EDIT", nullptr}, nullptr, nullptr);
  const LONG_PTR wrapperProc = SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnTopProc));
  sw->Detach();
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OnTopProc));
  SetWindowLongPtrW(edit, GWLP_WNDPROC, wrapperProc);
  delete sw;
  sw = new TlvScrollWnd(edit, TlvSkinParams{L"EDIT", nullptr}, nullptr, nullptr);
  DestroyWindow(edit);
  EXPECT_TRUE(sw->Destroyed);
  EXPECT_EQ(sw->CtrlHandle, nullptr);
  UninitializeACScroll(edit, true, true, sw);
  EXPECT_EQ(sw, nullptr);
}

TEST(WindowWrappers, DialogsAreAdoptedByClassAndNeverFromTheSkipList) {
  vcl::Application->Initialize();
  RegisterPlain(L"TfcPopup");
  RegisterPlain(L"tfcpopup");
  ASSERT_FALSE(lvSupportedList);
  EXPECT_FALSE(AddSupportedForm(nullptr));
  lvSupportedList = std::make_unique<std::vector<std::unique_ptr<TlvScrollWnd>>>();
  HWND dialog =
      CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND skipped = Plain(nullptr, L"TfcPopup", {0, 0, 10, 10}, 0);
  HWND otherCase = Plain(nullptr, L"tfcpopup", {0, 0, 10, 10}, 0);
  EXPECT_FALSE(AddSupportedForm(skipped));
  EXPECT_FALSE(AddSupportedForm(otherCase));  // compared exactly, but only dialogs are adopted here
  EXPECT_TRUE(AddSupportedForm(dialog));
  EXPECT_FALSE(AddSupportedForm(dialog));  // once
  ASSERT_EQ(lvSupportedList->size(), 1u);
  auto* wrapper = dynamic_cast<TlvDialogWnd*>((*lvSupportedList)[0].get());
  ASSERT_TRUE(wrapper);
  EXPECT_EQ(wrapper->CtrlHandle, dialog);
  RECT wr, cr;
  GetWindowRect(dialog, &wr);
  GetClientRect(dialog, &cr);
  wrapper->PaintAll();
  EXPECT_EQ(wrapper->SkinData->CacheBmp()->Width(), wr.right - wr.left);
  EXPECT_EQ(wrapper->OffsetX(), 0);  // a bare popup: the client area starts at the window's corner
  DestroyWindow(dialog);
  EXPECT_EQ(wrapper->CtrlHandle, nullptr);
  lvSupportedList.reset();
  DestroyWindow(skipped);
  DestroyWindow(otherCase);
  EXPECT_EQ(lvTabSides[0], asTop);  // tpTop, tpBottom, tpLeft, tpRight
  EXPECT_EQ(lvTabSides[1], asBottom);
  EXPECT_EQ(lvTabSides[2], asLeft);
  EXPECT_EQ(lvTabSides[3], asRight);
}

TEST(WindowWrappers, ChildWindowsRenderInZOrderAtTheirPlaces) {
  vcl::Application->Initialize();
  RegisterPlain(L"lvTestPlain");
  HWND parent = Plain(nullptr, L"lvTestPlain", {100, 100, 200, 180}, RGB(255, 255, 255));
  HWND lower = Plain(parent, L"lvTestPlain", {10, 10, 30, 30}, RGB(255, 0, 0));
  HWND upper = Plain(parent, L"lvTestPlain", {20, 20, 40, 40}, RGB(0, 0, 255));
  HWND hidden = Plain(parent, L"lvTestPlain", {0, 0, 8, 8}, RGB(0, 255, 0));
  ShowWindow(hidden, SW_HIDE);
  SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  auto bmp = CreateBmp32(60, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] = 0x00808080;
  TlvProvider::PrintHwndControls(parent, bmp->Canvas()->Handle());
  auto px = [&](int x, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] & 0xFFFFFF; };
  EXPECT_EQ(px(12, 12), 0xFF0000u);
  EXPECT_EQ(px(25, 25), 0x0000FFu);  // the upper one paints last
  EXPECT_EQ(px(38, 38), 0x0000FFu);
  EXPECT_EQ(px(4, 4), 0x808080u);  // hidden: not rendered
  EXPECT_EQ(px(50, 50), 0x808080u);

  HWND parentOut;
  vcl::TRect wndRect, parentRect;
  vcl::TSize size;
  vcl::TPoint pos;
  InitCtrlData(upper, parentOut, wndRect, parentRect, size, pos);
  EXPECT_EQ(parentOut, parent);
  EXPECT_EQ(pos, vcl::TPoint(20, 20));
  EXPECT_EQ(size, vcl::TSize(20, 20));
  EXPECT_EQ(wndRect.Left - parentRect.Left, 20);
  DestroyWindow(parent);
  (void)lower;
}
