// The shell unit's context-menu interfaces: its shutdown gives back the ones it holds, exactly once each, while OLE
// is still up, and the unit starts again on its next use.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "platform/rtl/win.h"
#include "skin/controls/lvShellCtrls.h"

namespace {

// A context menu that only counts its references and records whether OLE was up at its last release.
class TCountingMenu : public IContextMenu2 {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IContextMenu) || IsEqualIID(riid, IID_IContextMenu2)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    ++releases;
    // S_FALSE: COM is still initialised on this thread (the unit's OLE reference, when it is the thread's only one,
    // is what keeps it).
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    oleUpAtRelease = hr == S_FALSE;
    if (SUCCEEDED(hr)) CoUninitialize();
    return static_cast<ULONG>(--refs);
  }
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }

  int refs = 1;
  int releases = 0;
  bool oleUpAtRelease = false;
};

TEST(ShellContextMenus, TheShutdownReleasesTheHeldInterfacesOnceWhileOleIsUp) {
  ASSERT_NE(DesktopFolder(), nullptr);
  TCountingMenu menu, menu2;
  ICM = &menu;
  ICM2 = &menu2;
  lvShellDone();
  EXPECT_EQ(ICM, nullptr);
  EXPECT_EQ(ICM2, nullptr);
  EXPECT_EQ(menu.releases, 1);
  EXPECT_EQ(menu2.releases, 1);
  EXPECT_EQ(menu.refs, 0);
  EXPECT_TRUE(menu.oleUpAtRelease);
  EXPECT_TRUE(menu2.oleUpAtRelease);
  // A second shutdown touches nothing; the next use starts the unit again.
  lvShellDone();
  EXPECT_EQ(menu.releases, 1);
  EXPECT_NE(DesktopFolder(), nullptr);
  EXPECT_NE(SysSmallImages(), nullptr);
  // Nothing held: the shutdown has nothing to give back.
  lvShellDone();
  EXPECT_NE(DesktopFolder(), nullptr);
}

}  // namespace
