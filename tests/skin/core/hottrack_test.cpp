// The control under the mouse: the manager tells a window when the mouse enters and leaves it, keeps a graphic
// control hot while its skin state still has the mouse above it, and lets go of a window the cursor has left on its
// 100 ms check. And the start-up switch that tells the library's version.
#include <gtest/gtest.h>

#include <vector>

#include "platform/vcl/application.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skintest.h"
#include "tests/common/wait.h"

using namespace skintest;

namespace {

struct Heard {
  HWND wnd;
  WORD cmd;
  LPARAM lParam;
  bool operator==(const Heard&) const = default;
};
std::vector<Heard> heard;

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SM_LUMICMD) {
    heard.push_back({wnd, HIWORD(wParam), lParam});
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// A plain window far outside every screen, so the cursor is never above it.
HWND FarWindow() {
  static const ATOM cls = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkinHotTrackProbe";
    return RegisterClassW(&wc);
  }();
  return CreateWindowExW(0, MAKEINTATOM(cls), L"", WS_POPUP, -20000, -20000, 50, 20, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// A graphic control whose skin state says whether the mouse is above it.
class TProbeGraphic : public vcl::TGraphicControl {
 public:
  explicit TProbeGraphic(vcl::TComponent* owner) : vcl::TGraphicControl(owner), data_(this, false) {}
  void SetMouseAbove(bool value) { data_.FMouseAbove = value; }
  int leaves = 0;

 protected:
  void WndProc(vcl::TMessage& m) override {
    if (m.Msg == SM_LUMICMD && m.WParamHi() == LVC_GETSKINDATA) {
      m.Result = reinterpret_cast<LRESULT>(&data_);
      return;
    }
    if (m.Msg == SM_LUMICMD && m.WParamHi() == LVC_MOUSELEAVE) ++leaves;
    vcl::TGraphicControl::WndProc(m);
  }

 private:
  TsCommonData data_;
};

}  // namespace

TEST(SkinHotControl, WindowsHearTheMouseEnterAndLeave) {
  vcl::Application->Initialize();
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  const LPARAM self = reinterpret_cast<LPARAM>(m);
  HWND a = FarWindow(), b = FarWindow();
  heard.clear();

  m->SetActiveControl(a);
  m->SetActiveControl(a);  // the same window again: nothing
  m->SetActiveControl(b);
  m->SetActiveControl(nullptr);
  EXPECT_EQ(
      heard,
      (std::vector<Heard>{
          {a, LVC_MOUSEENTER, self}, {a, LVC_MOUSELEAVE, self}, {b, LVC_MOUSEENTER, self}, {b, LVC_MOUSELEAVE, self}}));
  EXPECT_EQ(m->ActiveControl(), nullptr);

  // A graphic control stays hot while its skin state has the mouse above it; a window coming in then changes
  // nothing.
  TProbeGraphic g(nullptr);
  g.SetMouseAbove(true);
  m->SetActiveGraphControl(&g);
  m->SetActiveGraphControl(nullptr);
  EXPECT_EQ(m->ActiveGraphControl(), &g);
  heard.clear();
  m->SetActiveControl(a);
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(m->ActiveControl(), nullptr);
  EXPECT_EQ(g.leaves, 0);
  // Once the mouse is no longer above it, it lets go and hears so; the window then gets the mouse.
  g.SetMouseAbove(false);
  m->SetActiveControl(a);
  EXPECT_EQ(m->ActiveGraphControl(), nullptr);
  EXPECT_EQ(g.leaves, 1);
  EXPECT_EQ(heard, (std::vector<Heard>{{a, LVC_MOUSEENTER, self}}));
  m->SetActiveControl(nullptr);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(SkinHotControl, AWindowTheCursorHasLeftIsLetGoOnTheCheck) {
  vcl::Application->Initialize();
  TempSkinDir dir;
  dir.AddFolder(L"Lale");
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  m->SetSkinDirectory(dir.Path());
  BoxCatcher boxes;
  m->SetSkinName(L"Lale");  // a skin in force starts the check
  ASSERT_TRUE(m->CommonSkinData->Active);
  HWND a = FarWindow();
  heard.clear();
  m->SetActiveControl(a);
  EXPECT_TRUE(testutil::PumpUntil([&] { return m->ActiveControl() == nullptr; }));
  EXPECT_EQ(heard, (std::vector<Heard>{{a, LVC_MOUSEENTER, reinterpret_cast<LPARAM>(m)},
                                       {a, LVC_MOUSELEAVE, reinterpret_cast<LPARAM>(m)}}));
  DestroyWindow(a);
}

TEST(SkinVersionSwitch, OnlyTheVersionParameterAsksForIt) {
  EXPECT_TRUE(AsksForLibraryVersion({L"/lvver"}));
  EXPECT_TRUE(AsksForLibraryVersion({L"rapor.qp3", L"/LVVER"}));
  EXPECT_TRUE(AsksForLibraryVersion({L"/LvVer"}));
  EXPECT_FALSE(AsksForLibraryVersion({}));
  EXPECT_FALSE(AsksForLibraryVersion({L"/lvver2", L"lvver", L"/lvpreview"}));
  EXPECT_EQ(LibraryVersionText(), L"Lumivex v10.24");
}
