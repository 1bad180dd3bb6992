// What the skin core keeps of the skinning of standard windows: dialogs are adopted by class (the window wrappers
// themselves are tested with skin/windows); child windows render into a bitmap in Z order.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/vcl/application.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
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

}  // namespace

TEST(WindowWrappers, DialogsAreAdoptedByClassAndNeverFromTheSkipList) {
  vcl::Application->Initialize();
  RegisterPlain(L"TfcPopup");
  RegisterPlain(L"tfcpopup");
  ASSERT_FALSE(lvSupportedList);
  EXPECT_FALSE(AddSupportedForm(nullptr));
  lvSupportedList = std::make_unique<std::vector<std::unique_ptr<TlvCustomDialogWnd>>>();
  HWND dialog =
      CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND skipped = Plain(nullptr, L"TfcPopup", {0, 0, 10, 10}, 0);
  HWND otherCase = Plain(nullptr, L"tfcpopup", {0, 0, 10, 10}, 0);
  EXPECT_FALSE(AddSupportedForm(skipped));
  EXPECT_FALSE(AddSupportedForm(otherCase));  // compared exactly, but only dialogs are adopted here
  EXPECT_TRUE(AddSupportedForm(dialog));
  EXPECT_FALSE(AddSupportedForm(dialog));  // once
  ASSERT_EQ(lvSupportedList->size(), 1u);
  auto* wrapper = (*lvSupportedList)[0].get();
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
}

// The manager's OnSysDlgInit sees each dialog before it is adopted and may keep it as the system draws it.
TEST(WindowWrappers, OnSysDlgInitMayKeepADialogUnskinned) {
  vcl::Application->Initialize();
  vcl::TComponent owner(nullptr);
  auto* manager = vcl::Create<TsSkinManager>(&owner);
  manager->SetIsDefault(true);
  ASSERT_EQ(DefaultManager, manager);
  lvSupportedList = std::make_unique<std::vector<std::unique_ptr<TlvCustomDialogWnd>>>();
  HWND kept =
      CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND adopted =
      CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  std::vector<HWND> asked;
  manager->OnSysDlgInit = [&](TlvSysDlgData& data, bool& allow) {
    asked.push_back(data.WindowHandle);
    EXPECT_TRUE(allow);
    allow = data.WindowHandle != kept;
  };
  EXPECT_FALSE(AddSupportedForm(kept));
  EXPECT_FALSE(WndIsWrapped(kept));
  EXPECT_TRUE(AddSupportedForm(adopted));
  EXPECT_TRUE(WndIsWrapped(adopted));
  EXPECT_EQ(asked, (std::vector<HWND>{kept, adopted}));
  EXPECT_EQ(lvSupportedList->size(), 1u);
  DestroyWindow(kept);
  DestroyWindow(adopted);
  lvSupportedList.reset();
  manager->OnSysDlgInit = nullptr;
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
  TlvCustomProvider::PrintHwndControls(parent, bmp->Canvas()->Handle());
  auto px = [&](int x, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] & 0xFFFFFF; };
  EXPECT_EQ(px(12, 12), 0xFF0000u);
  EXPECT_EQ(px(25, 25), 0x0000FFu);  // the upper one paints last
  EXPECT_EQ(px(38, 38), 0x0000FFu);
  EXPECT_EQ(px(4, 4), 0x808080u);  // hidden: not rendered
  EXPECT_EQ(px(50, 50), 0x808080u);
  DestroyWindow(parent);
  (void)lower;
}
