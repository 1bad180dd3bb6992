// The small window helpers shared by the skinned controls, forms and wrappers: class names, client areas in
// window coordinates, the room taken by aligned children, monitor work areas, redraw switching, the cursor, the
// visual-style and shell entries, and a skin state letting go of its owner.
#include <gtest/gtest.h>
#include <windows.h>
#include <uxtheme.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sWndUtils.h"

namespace {
WPARAM lastRedraw = 0xBAD;
int redrawCount = 0;

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETREDRAW) {
    lastRedraw = wp;
    ++redrawCount;
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

ATOM RegisterNamed(const std::wstring& name) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name.c_str();
  return RegisterClassW(&wc);
}

HWND MakeWindow(const std::wstring& cls, DWORD style, int w, int h) {
  return CreateWindowExW(0, cls.c_str(), L"", style, 10, 20, w, h, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}
}  // namespace

TEST(SkinWndUtils, ClassNamesComeBackWholeUpTo127Characters) {
  const std::wstring turkish = L"İçDüğümIı";
  const std::wstring longName(150, L'k');
  ASSERT_NE(RegisterNamed(turkish), 0);
  ASSERT_NE(RegisterNamed(longName), 0);
  HWND a = MakeWindow(turkish, WS_POPUP, 50, 50);
  HWND b = MakeWindow(longName, WS_POPUP, 50, 50);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(GetWndClassName(a), turkish);
  EXPECT_EQ(GetWndClassName(b), std::wstring(127, L'k'));
  EXPECT_EQ(GetWndClassName(nullptr), L"");
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(SkinWndUtils, ClientRectInWindowCoordinatesAndRedrawSwitch) {
  const std::wstring cls = L"SvcRedrawProbe";
  ASSERT_NE(RegisterNamed(cls), 0);
  struct Case {
    DWORD style;
    int edgeX, edgeY;
  };
  const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
  for (const Case& c : std::vector<Case>{{WS_POPUP, 0, 0}, {WS_POPUP | WS_BORDER, bx, by}}) {
    SCOPED_TRACE(c.style);
    HWND w = MakeWindow(cls, c.style, 120, 80);
    ASSERT_TRUE(w);
    EXPECT_EQ(lvClientRect(w), vcl::TRect(c.edgeX, c.edgeY, 120 - c.edgeX, 80 - c.edgeY));
    DestroyWindow(w);
  }
  // A captioned window: the client area lies below the caption, inside the frame.
  HWND w = MakeWindow(cls, WS_OVERLAPPEDWINDOW, 200, 150);
  vcl::TRect r = lvClientRect(w);
  RECT cr{};
  GetClientRect(w, &cr);
  EXPECT_GT(r.Top, r.Left);
  EXPECT_EQ(r.Width(), cr.right);
  EXPECT_EQ(r.Height(), cr.bottom);
  EXPECT_LE(r.Right, 200);
  EXPECT_LE(r.Bottom, 150);
  EXPECT_EQ(lvClientRect(nullptr), vcl::TRect());

  redrawCount = 0;
  SetRedraw(w);
  EXPECT_EQ(redrawCount, 1);
  EXPECT_EQ(lastRedraw, 0u);
  SetRedraw(w, 1);
  EXPECT_EQ(redrawCount, 2);
  EXPECT_EQ(lastRedraw, 1u);
  DestroyWindow(w);
}

TEST(SkinWndUtils, AlignShiftSumsTheVisibleChildrenOfOneAlign) {
  vcl::Application->Initialize();
  vcl::TForm* form = vcl::Create<vcl::TForm>(nullptr);
  form->SetBounds(0, 0, 400, 300);
  auto panel = [&](vcl::TAlign align, int w, int h, bool visible) {
    vcl::TPanel* p = vcl::Create<vcl::TPanel>(form);
    p->SetBounds(0, 0, w, h);
    p->SetVisible(visible);
    p->SetParent(form);
    p->SetAlign(align);
    return p;
  };
  panel(vcl::alTop, 50, 20, true);
  panel(vcl::alTop, 50, 30, true);
  panel(vcl::alTop, 50, 70, false);  // hidden: takes no room
  panel(vcl::alBottom, 50, 11, true);
  panel(vcl::alLeft, 40, 10, true);
  panel(vcl::alRight, 25, 10, true);
  vcl::TImage* image = vcl::Create<vcl::TImage>(form);
  image->SetBounds(0, 0, 10, 7);
  image->SetParent(form);
  image->SetAlign(vcl::alTop);

  struct Case {
    vcl::TAlign align;
    bool graphToo;
    int sum;
  };
  for (const Case& c : std::vector<Case>{{vcl::alTop, false, 50},
                                         {vcl::alTop, true, 57},
                                         {vcl::alBottom, false, 11},
                                         {vcl::alLeft, false, 40},
                                         {vcl::alRight, true, 25},
                                         {vcl::alClient, true, 0},
                                         {vcl::alNone, true, 0}}) {
    SCOPED_TRACE(static_cast<int>(c.align));
    EXPECT_EQ(GetAlignShift(form, c.align, c.graphToo), c.sum);
  }
  EXPECT_EQ(GetAlignShift(nullptr, vcl::alTop), 0);
  delete form;
}

TEST(SkinWndUtils, WorkAreaOfTheMonitorHoldingAPoint) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  const vcl::TRect primary(work);
  EXPECT_EQ(lvWorkRect(vcl::TPoint((work.left + work.right) / 2, (work.top + work.bottom) / 2)), primary);
  EXPECT_EQ(lvWorkRect(vcl::TPoint(work.left, work.top)), primary);
  EXPECT_EQ(lvWorkRect(vcl::TPoint(-100000, -100000)), vcl::TRect(0, 0, 0, 0));

  vcl::Application->Initialize();
  vcl::TForm* form = vcl::Create<vcl::TForm>(nullptr);
  form->SetBounds(work.left + 10, work.top + 10, 200, 100);
  form->HandleNeeded();
  EXPECT_EQ(lvWorkRect(form), primary);
  delete form;
}

TEST(SkinWndUtils, CursorStylesAndShellEntry) {
  // The cursor: wait (bounded) for the move to be seen, then the helper reports the same place.
  SetCursorPos(37, 41);
  POINT p{};
  for (int i = 0; i < 200; ++i) {
    GetCursorPos(&p);
    if (p.x == 37 && p.y == 41) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  GetCursorPos(&p);
  EXPECT_EQ(lvMousePos(), vcl::TPoint(p.x, p.y));

  const bool themed = IsThemeActive() && IsAppThemed();
  EXPECT_EQ(lvThemesEnabled(), themed);
  EXPECT_EQ(lvThemesEnabled(), themed);

  // The visual-style entry was bound at start-up.
  ASSERT_NE(uxthemeLib, nullptr);
  ASSERT_NE(Lv_SetWindowTheme, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  // Bound to the library's own entry: it answers as the entry linked directly does.
  EXPECT_EQ(Lv_SetWindowTheme(edit, nullptr, nullptr), SetWindowTheme(edit, nullptr, nullptr));
  DestroyWindow(edit);

  // The shell entry was taken at start-up; asking again keeps it, and it answers about a real file.
  ASSERT_NE(lvSHGetFileInfo, nullptr);
  TSHGetFileInfoW before = lvSHGetFileInfo;
  InitSysProc();
  EXPECT_EQ(lvSHGetFileInfo, before);
  wchar_t exe[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  SHFILEINFOW info{};
  EXPECT_NE(lvSHGetFileInfo(exe, 0, &info, sizeof(info), SHGFI_ATTRIBUTES), 0u);
}

TEST(SkinWndUtils, SkinStateLetsGoOfItsOwner) {
  vcl::Application->Initialize();
  vcl::TForm* form = vcl::Create<vcl::TForm>(nullptr);
  {
    TsCommonData data(form, false);
    EXPECT_EQ(data.OwnerControl(), form);
    EXPECT_EQ(data.OwnerObject(), form);
    data.FSWHandle = reinterpret_cast<HWND>(static_cast<intptr_t>(0x1234));
    data.ClearLinks();
    EXPECT_EQ(data.OwnerControl(), nullptr);
    EXPECT_EQ(data.OwnerObject(), nullptr);
    EXPECT_EQ(data.FSWHandle, nullptr);
  }
  delete form;
}
