#pragma once
// Helpers the skinned-control tests share: colours compared within a tolerance, bounded waits, the screen's pixels
// of a window, pictures saved for a person to look at, the hot-edit switch, a section painted alone for
// comparison, and a form with one of the test skins active (or none).
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/format.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

namespace ctltest {

// ASCII of a name, for test and file names ('?' for anything else).
inline std::string Narrow(const std::wstring& s) {
  std::string r;
  for (wchar_t c : s) r.push_back(c < 128 ? static_cast<char>(c) : '?');
  return r;
}

// A colour value as the $00RRGGBB of a 32-bit pixel.
inline std::uint32_t Rgb(vcl::TColor c) { return SwapRedBlue(static_cast<std::uint32_t>(c)) & 0xFFFFFF; }

// Each of the three colour bytes within tolerance.
inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 2) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  return true;
}

// Adds text (sections) to the options of a skin copied into dir.
inline void AppendToOptions(skintest::TempSkinDir& dir, const std::wstring& skin, const std::string& text) {
  auto options = skintest::SourceBytes(skin + L"\\Options.dat");
  options.insert(options.end(), text.begin(), text.end());
  dir.Write(skin + L"\\Options.dat", options);
}

// The default manager, owned by host, with the skin of folder active (waited for with a bound; the caller
// asserts Active()).
inline TsSkinManager* ActiveManager(vcl::TComponent* host, const std::wstring& folder, const wchar_t* skin) {
  auto* manager = new TsSkinManager(host);
  manager->SetIsDefault(true);
  manager->SetSkinDirectory(folder);
  manager->SetSkinName(skin);
  manager->SetActive(true);
  testutil::PumpUntil([&] { return manager->Active(); });
  return manager;
}

// Lale copied into a folder of the test's own (sections appended to its options where given) and switched on by
// the default manager of a host form of the test's own; the caller asserts manager->Active().
struct ActiveLale {
  explicit ActiveLale(const std::string& sections = std::string()) {
    dir.AddFolder(L"Lale");
    if (!sections.empty()) AppendToOptions(dir, L"Lale", sections);
    manager = ActiveManager(host.get(), dir.Path(), L"Lale");
  }
  skintest::TempSkinDir dir;
  std::unique_ptr<vcl::TForm> host = std::make_unique<vcl::TForm>(nullptr);
  TsSkinManager* manager = nullptr;
};

// Tab sections added to a test skin: plain colours for normal, hot and active tabs on every side.
struct TabColours {
  vcl::TColor Normal, Hot, Active, Font;
};
inline constexpr TabColours kLaleTabs{0xD8B4F0, 0xE8D2FA, 0xFFFFFF, 0x28144A};
inline constexpr TabColours kDenizTabs{0xF0D2B4, 0xFAE6D2, 0xFFFFF8, 0x46280A};
inline std::string TabSections(const TabColours& c) {
  auto hex = [](vcl::TColor v) { return "$" + Narrow(rtl::IntToHex(v, 6)); };
  std::string s = "\r\n[TABTOP]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=" + hex(c.Normal) + "\r\nHOTCOLOR=" + hex(c.Hot) +
                  "\r\nCOLOR2=" + hex(c.Active) + "\r\nFONTCOLOR=" + hex(c.Font) + "\r\nHOTFONTCOLOR=" +
                  hex(c.Font) + "\r\nFONTCOLOR2=" + hex(c.Font) + "\r\nTRANSPARENCY=0\r\n";
  for (const char* side : {"TABBOTTOM", "TABLEFT", "TABRIGHT"})
    s += std::string("\r\n[") + side + "]\r\nPARENTCLASS=TABTOP\r\n";
  return s;
}

// A pixel of a 32-bit bitmap: with its alpha (Argb), or its colour alone (Pixel).
inline std::uint32_t Argb(vcl::TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x]; }
inline std::uint32_t Pixel(vcl::TBitmap* b, int x, int y) { return Argb(b, x, y) & 0xFFFFFFu; }

// Polls cond, handling the application's messages, until it holds; false after boundMs.
inline bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 15000) {
  const unsigned start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > boundMs) return false;
    vcl::Application->ProcessMessages();
    Sleep(5);
  }
  return true;
}

// Pixels as $AARRGGBB written to $TAVREL_SHOTS/<name>.png when the variable is set.
inline void SavePng(const std::string& name, int width, int height, const std::function<std::uint32_t(int, int)>& at) {
  const char* dir = std::getenv("TAVREL_SHOTS");
  if (!dir) return;
  CreateDirectoryW(testutil::WindowsPath(dir).c_str(), nullptr);
  vcl::TPngPixels out;
  out.Width = width;
  out.Height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.Pixels.push_back(at(x, y));
  vcl::WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name + ".png"), vcl::EncodePng(out));
}

// A bitmap's colours, opaque, written to $TAVREL_SHOTS/<name>.png when the variable is set.
inline void SaveOpaque(vcl::TBitmap* b, const std::string& name) {
  SavePng(name, b->Width(), b->Height(), [&](int x, int y) { return Pixel(b, x, y) | 0xFF000000u; });
}

// A premultiplied picture (a balloon) as it shows over white.
inline void SaveOverWhite(vcl::TBitmap* b, const std::string& name) {
  SavePng(name, b->Width(), b->Height(), [&](int x, int y) {
    const std::uint32_t p = Argb(b, x, y), a = p >> 24;
    std::uint32_t c = 0xFF000000u;
    for (int shift : {0, 8, 16}) c |= std::min<std::uint32_t>(255, ((p >> shift) & 0xFF) + (255 - a)) << shift;
    return c;
  });
}

// The screen's pixels of width x height from (x, y) on, into a bitmap (at least 1 x 1).
inline std::unique_ptr<vcl::TBitmap> ScreenPixels(int x, int y, int width, int height) {
  auto b = CreateBmp32(std::max(1, width), std::max(1, height));
  HDC screen = GetDC(nullptr);
  BitBlt(b->Canvas()->Handle(), 0, 0, b->Width(), b->Height(), screen, x, y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return b;
}

// A window's client area as the screen shows it (and extraHeight more below it).
inline std::unique_ptr<vcl::TBitmap> ScreenClient(HWND wnd, int extraHeight = 0) {
  RECT cr;
  GetClientRect(wnd, &cr);
  POINT o{0, 0};
  ClientToScreen(wnd, &o);
  return ScreenPixels(o.x, o.y, cr.right, cr.bottom + extraHeight);
}

// The screen under the union of some windows and 8 pixels around it, written to $TAVREL_SHOTS/<name>.png when the
// variable is set.
inline void SaveScreenAround(std::initializer_list<HWND> windows, const std::string& name) {
  if (!std::getenv("TAVREL_SHOTS")) return;
  RECT r{};
  for (HWND w : windows) {
    RECT wr{};
    GetWindowRect(w, &wr);
    if (IsRectEmpty(&r))
      r = wr;
    else
      UnionRect(&r, &r, &wr);
  }
  InflateRect(&r, 8, 8);
  auto b = ScreenPixels(r.left, r.top, r.right - r.left, r.bottom - r.top);
  SaveOpaque(b.get(), name);
}

// Every posted message handled (and the fade of fading finished), then every window of wnd painted.
inline void Settle(HWND wnd, TsCommonData* fading = nullptr) {
  testutil::PumpUntil([&] {
    MSG msg;
    return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && (!fading || !TimerIsActive(fading));
  });
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  vcl::Application->ProcessMessages();
}

// Keys typed into a window as characters, the window focused first.
inline void Type(HWND wnd, const rtl::String& keys) {
  SetFocus(wnd);
  for (wchar_t ch : keys) SendMessageW(wnd, WM_CHAR, ch, 1);
  vcl::Application->ProcessMessages();
}

// The screen's pixels of a window's client area (and extraHeight more below it), as $00RRGGBB. From the screen,
// so that popups over the window (a dropped-down list) show too.
class Shot {
 public:
  explicit Shot(HWND wnd, int extraHeight = 0) : bmp_(ScreenClient(wnd, extraHeight)) {}
  // A picture made elsewhere (a print).
  explicit Shot(std::unique_ptr<vcl::TBitmap> bmp) : bmp_(std::move(bmp)) {}
  std::uint32_t at(int x, int y) const { return Pixel(bmp_.get(), x, y); }
  int Width() const { return bmp_->Width(); }
  int Height() const { return bmp_->Height(); }
  // A digest of the pixels of r: tells looks apart.
  std::uint64_t Digest(const vcl::TRect& r) const {
    std::uint64_t h = 1469598103934665603ull;
    for (int y = std::max(0, r.Top); y < std::min(Height(), r.Bottom); ++y)
      for (int x = std::max(0, r.Left); x < std::min(Width(), r.Right); ++x) h = (h ^ at(x, y)) * 1099511628211ull;
    return h;
  }
  // The bounds of the pixels of one colour inside r, and their count.
  int Count(const vcl::TRect& r, std::uint32_t rgb, vcl::TRect* bounds = nullptr) const {
    int n = 0;
    vcl::TRect b(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = std::max(0, r.Top); y < std::min(Height(), r.Bottom); ++y)
      for (int x = std::max(0, r.Left); x < std::min(Width(), r.Right); ++x)
        if (at(x, y) == rgb) {
          ++n;
          b = vcl::TRect(std::min(b.Left, x), std::min(b.Top, y), std::max(b.Right, x + 1), std::max(b.Bottom, y + 1));
        }
    if (bounds) *bounds = b;
    return n;
  }
  // Some pixel of r differs from background (text or a marker is drawn there).
  bool Ink(const vcl::TRect& r, std::uint32_t background) const {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (at(x, y) != background) return true;
    return false;
  }
  // Every row of r is one colour (no text there; a section's gradient runs from top to bottom).
  bool RowsPlain(const vcl::TRect& r) const {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (at(x, y) != at(r.Left, y)) return false;
    return true;
  }
  void Save(const std::string& name) const { SaveOpaque(bmp_.get(), name); }

 private:
  std::unique_ptr<vcl::TBitmap> bmp_;
};

// An opaque graphic control of one colour.
class Block : public vcl::TGraphicControl {
 public:
  explicit Block(vcl::TComponent* owner) : vcl::TGraphicControl(owner) { control_style_ += vcl::csOpaque; }
  vcl::TColor Colour = vcl::clRed;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetStyle(vcl::bsSolid);
    Canvas()->Brush()->SetColor(Colour);
    Canvas()->FillRect(vcl::Rect(0, 0, Width(), Height()));
  }
};

// Edits and combo boxes show a hot look under the mouse only while the library's switch allows it.
class HotEdits {
 public:
  HotEdits() : saved_(lv_AllowHotEdits) { lv_AllowHotEdits = true; }
  ~HotEdits() { lv_AllowHotEdits = saved_; }
  HotEdits(const HotEdits&) = delete;
  HotEdits& operator=(const HotEdits&) = delete;

 private:
  bool saved_;
};

// The section of a control painted alone in state over the background the control's parent gives it.
inline std::unique_ptr<vcl::TBitmap> Expected(vcl::TControl* control, TsCommonData* sd, int state) {
  TCacheInfo ci;
  EXPECT_TRUE(sctrl::ParentCI(control, ci));
  auto bmp = CreateBmp32(control->Width(), control->Height());
  PaintItem(sd->SkinIndex, ci, true, state, vcl::Rect(0, 0, control->Width(), control->Height()),
            vcl::TPoint(control->Left(), control->Top()), bmp.get(), sd->SkinManager());
  return bmp;
}

struct SkinCase {
  const wchar_t* name;  // nullptr: no skin at all
  const char* file;
};

// A form at (40, 40) of formWidth x formHeight with the test skin of the case active (none for a null name).
class SkinnedFormTest : public ::testing::TestWithParam<SkinCase> {
 protected:
  SkinnedFormTest(int width, int height) : formWidth(width), formHeight(height) {}
  void SetUp() override {
    vcl::Application->Initialize();
    // The real cursor away from the form: only the tests that hover something put it there.
    SetCursorPos(1200, 1000);
    form = vcl::Create<vcl::TForm>(vcl::Application);
    form->SetBounds(40, 40, formWidth, formHeight);
    if (GetParam().name) {
      manager = vcl::Create<TsSkinManager>(form);
      manager->SetIsDefault(true);
      manager->SetSkinDirectory(skintest::SkinsSource());
      manager->SetSkinName(GetParam().name);
      manager->SetActive(true);
      ASSERT_TRUE(manager->CommonSkinData->Active);
    }
  }
  void TearDown() override {
    form->Free();
    vcl::Application->ProcessMessages();
  }
  bool Skinned() const { return manager != nullptr; }
  template <class T>
  T* Put(vcl::TWinControl* parent, int left, int top, int width, int height) {
    auto* c = vcl::Create<T>(form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  void Show() {
    form->Show();
    Settle();
  }
  // Every posted message handled, every fade finished and every window painted.
  void Settle(TsCommonData* fading = nullptr) { ctltest::Settle(form->Handle(), fading); }
  std::string Name(const std::string& what) { return std::string(GetParam().file) + "-" + what; }
  const int formWidth, formHeight;
  vcl::TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
};

// A form beside a host form that owns the default manager, not yet active; its skin folder holds copies of Lale
// and Deniz with sections of the test's own appended to their option files. The case names the skin Activate
// switches on (null: none, the platform's look).
class ExtraSectionsTest : public ::testing::TestWithParam<const wchar_t*> {
 public:
  static std::string CaseName(const ::testing::TestParamInfo<const wchar_t*>& info) {
    return info.param ? Narrow(info.param) : std::string("plain");
  }

 protected:
  // extra(skin name) is appended to that skin's options.
  void MakeSkinsAndForm(const std::function<std::string(const std::wstring&)>& extra, int width, int height) {
    vcl::Application->Initialize();
    for (const wchar_t* name : {L"Lale", L"Deniz"}) {
      dir.AddFolder(name);
      AppendToOptions(dir, name, extra(name));
    }
    form = vcl::Create<vcl::TForm>(vcl::Application);
    form->SetBounds(40, 40, width, height);
    host = vcl::Create<vcl::TForm>(vcl::Application);
    manager = vcl::Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(dir.Path());
  }
  void TearDown() override {
    if (form) form->Free();
    if (host) host->Free();
  }
  bool Skinned() const { return GetParam() != nullptr; }
  std::string Name() const { return Skinned() ? Narrow(GetParam()) : "plain"; }
  bool IsLale() const { return std::wstring(GetParam()) == L"Lale"; }
  void Activate() {
    if (!Skinned()) return;
    manager->SetSkinName(GetParam());
    manager->SetActive(true);
    ASSERT_TRUE(manager->CommonSkinData->Active);
    vcl::Application->ProcessMessages();
  }
  skintest::TempSkinDir dir;
  vcl::TForm* form = nullptr;
  vcl::TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
};

}  // namespace ctltest
