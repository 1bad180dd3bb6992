#pragma once
// What the skinned-form tests share: the two test skins (Lale with rounded corners, Deniz with square ones), each
// given a form border, a two-state title and caption-button images; waiting with a bound; reading the screen and
// pixels; and the fixture of a secondary form under a default skin manager (the host form is the application's
// main form). For menus: a bitmap of the test's own to paint items into, and the open popup's window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sGraphUtils.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"

namespace formtest {

struct SkinCase {
  const wchar_t* Name;
  vcl::TColor TitleActive, TitleInactive;  // colour values as the option file writes them ($00BBGGRR)
};
inline const SkinCase kSkins[] = {{L"Lale", 0x6E1E96, 0xB48CC8}, {L"Deniz", 0x8C4614, 0xC8A07A}};

inline std::string Narrow(const std::wstring& s) {
  std::string r;
  for (wchar_t c : s) r.push_back(c < 128 ? static_cast<char>(c) : '?');
  return r;
}

inline std::string Hex(vcl::TColor v) { return "$" + Narrow(rtl::IntToHex(v, 6)); }

// The test's additions to a skin: the form's border from the button frames (rounded in Lale), a two-state title,
// and maximise, minimise and restore images beside the skin's own close image.
inline std::string Extend(std::string options, const SkinCase& c) {
  auto insertAfter = [&](const std::string& header, const std::string& text) {
    const size_t at = options.find(header);
    if (at != std::string::npos) options.insert(at + header.size(), text);
  };
  insertAfter("[GLOBALINFO]\r\n",
              "BICONMAX=@0080,0000,0128,0016,3,0\r\nBICONNORM=@0080,0000,0128,0016,3,0\r\n"
              "BICONMIN=@0092,0020,0108,0036,1,0\r\n");
  insertAfter("[FORM]\r\n", "BORDERSMASK=^0000,0000,0060,0020,0005,0005,0005,0005,3,0,0,0\r\n");
  options += "\r\n[FORMTITLE]\r\nSTATES=2\r\nCOLOR=" + Hex(c.TitleInactive) + "\r\nHOTCOLOR=" + Hex(c.TitleActive) +
             "\r\nFONTCOLOR=$FFFFFF\r\nHOTFONTCOLOR=$FFFFFF\r\nTRANSPARENCY=0\r\n";
  return options;
}

// Polls cond, handling the thread's messages meanwhile; false when boundMs passed first.
inline bool WaitFor(const std::function<bool()>& cond, unsigned boundMs = 5000) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > boundMs) return false;
    vcl::Application->ProcessMessages();
    Sleep(5);
  }
  return true;
}

inline RECT WindowRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

inline LPARAM ScreenPoint(HWND w, int x, int y) {
  const RECT r = WindowRectOf(w);
  return MAKELPARAM(r.left + x, r.top + y);
}

inline vcl::TPoint Centre(const vcl::TRect& r) { return vcl::TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

// The whole window as it is on the screen (outside its region: what lies behind).
inline std::unique_ptr<vcl::TBitmap> ScreenShot(HWND w) {
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  vcl::Application->ProcessMessages();
  const RECT r = WindowRectOf(w);
  auto b = CreateBmp32(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(b->Canvas()->Handle(), 0, 0, b->Width(), b->Height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return b;
}

inline std::uint32_t Px(vcl::TBitmap* b, int x, int y) {
  return static_cast<std::uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF;
}
inline std::uint32_t Rgb(vcl::TColor c) {
  return SwapRedBlue(static_cast<std::uint32_t>(vcl::ColorToRGB(c))) & 0xFFFFFF;
}
inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 8) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  return true;
}

// The screen's rectangle r, written to $TAVREL_SHOTS/<name>.png when the variable is set (nothing is redrawn first).
inline void SaveScreenRect(const RECT& r, const std::string& name) {
  const char* dir = std::getenv("TAVREL_SHOTS");
  if (!dir) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  auto bmp = CreateBmp32(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  vcl::TPngPixels out;
  out.Width = w;
  out.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.Pixels.push_back(static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] | 0xFF000000u);
  CreateDirectoryW(testutil::WindowsPath(dir).c_str(), nullptr);
  vcl::WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name + ".png"), vcl::EncodePng(out));
}

// A bitmap's colours, opaque, written to $TAVREL_SHOTS/<name>.png when the variable is set.
inline void SaveOpaque(vcl::TBitmap* b, const std::string& name) {
  const char* dir = std::getenv("TAVREL_SHOTS");
  if (!dir) return;
  vcl::TPngPixels out;
  out.Width = b->Width();
  out.Height = b->Height();
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x) out.Pixels.push_back(static_cast<std::uint32_t*>(b->ScanLine(y))[x] | 0xFF000000u);
  CreateDirectoryW(testutil::WindowsPath(dir).c_str(), nullptr);
  vcl::WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name + ".png"), vcl::EncodePng(out));
}

// The screen under a window as it is now, without a redraw (a shot taken inside a loop the system runs).
inline void SaveScreenAsIs(HWND wnd, const std::string& name) { SaveScreenRect(WindowRectOf(wnd), name); }

// The screen under a window, redrawn first, written to $TAVREL_SHOTS/<name>.png when the variable is set.
inline void SaveScreen(HWND wnd, const std::string& name) {
  if (!std::getenv("TAVREL_SHOTS")) return;
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  vcl::Application->ProcessMessages();
  SaveScreenRect(WindowRectOf(wnd), name);
}

// The skins of cases written into a folder of the test's own, with the test's additions (and more(case) after
// them, where a test adds sections of its own).
inline void WriteSkins(skintest::TempSkinDir& dir, std::initializer_list<SkinCase> cases,
                       const std::function<std::string(const SkinCase&)>& more = nullptr) {
  for (const SkinCase& c : cases) {
    dir.AddFolder(c.Name);
    auto bytes = skintest::SourceBytes(std::wstring(c.Name) + L"\\Options.dat");
    std::string options = Extend(std::string(bytes.begin(), bytes.end()), c);
    if (more) options += more(c);
    dir.Write(std::wstring(c.Name) + L"\\Options.dat", options);
  }
}

// A default skin manager on host, off, reading the skins of skinFolder.
inline TsSkinManager* NewManager(vcl::TComponent* host, const std::wstring& skinFolder) {
  auto* manager = vcl::Create<TsSkinManager>(host);
  manager->SetIsDefault(true);
  manager->SetActive(false);
  manager->SetSkinDirectory(skinFolder);
  return manager;
}

// A secondary form of the application's, its window made.
inline vcl::TForm* NewSecondaryForm(int x, int y, int w, int h, const wchar_t* caption) {
  auto* form = vcl::Create<vcl::TForm>(vcl::Application);
  form->SetBounds(x, y, w, h);
  form->SetCaption(caption);
  form->HandleNeeded();
  return form;
}

// An MDI frame made the application's main form (the test frees it and takes it back as the main form).
inline vcl::TForm* NewMDIFrame(int x, int y, int w, int h, const wchar_t* caption) {
  auto* frame = new vcl::TForm(nullptr);
  frame->SetFormStyle(vcl::fsMDIForm);
  frame->SetBounds(x, y, w, h);
  frame->SetCaption(caption);
  vcl::Application->SetMainForm(frame);
  return frame;
}

inline vcl::TForm* NewMDIChild(vcl::TForm* frame, const wchar_t* caption, int x, int y, int w, int h) {
  auto* child = new vcl::TForm(frame);
  child->SetFormStyle(vcl::fsMDIChild);
  child->SetCaption(caption);
  child->SetBounds(x, y, w, h);
  return child;
}

// The menu line "&Dosya", "Düzen", "Yardım" set on f, each opening one item "Aç".
inline void SetFileMenuLine(vcl::TForm* f) {
  auto* menu = new vcl::TMainMenu(f);
  for (const wchar_t* caption : {L"&Dosya", L"D\u00fczen", L"Yard\u0131m"}) {
    auto* top = new vcl::TMenuItem(f);
    top->SetCaption(caption);
    auto* sub = new vcl::TMenuItem(f);
    sub->SetCaption(L"A\u00e7");
    top->Add(sub);
    menu->Items()->Add(top);
  }
  f->SetMenu(menu);
}

// The menu line of one window menu "Pencere" (holding "Döşe") set on frame; the window menu is answered.
inline vcl::TMenuItem* SetWindowMenuLine(vcl::TForm* frame) {
  auto* menu = new vcl::TMainMenu(frame);
  auto* window = new vcl::TMenuItem(frame);
  window->SetCaption(L"Pencere");
  auto* tile = new vcl::TMenuItem(frame);
  tile->SetCaption(L"D\u00f6\u015fe");
  window->Add(tile);
  menu->Items()->Add(window);
  frame->SetMenu(menu);
  return window;
}

// A secondary form (120, 90, 420 x 300) under a default manager that knows both test skins and is off; the test
// puts a provider on the form and calls Show and Activate.
class SkinnedFormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    WriteSkins(dir, {kSkins[0], kSkins[1]});
    // The host comes first: it is the application's main form, the skinned one a secondary form.
    host = vcl::Create<vcl::TForm>(vcl::Application);
    manager = NewManager(host, dir.Path());
    form = NewSecondaryForm(120, 90, 420, 300, L"Öğrenci kaydı");
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    if (form) form->Free();
    if (host) host->Free();
  }
  HWND W() { return form->Handle(); }
  void Show() {
    form->Show();
    SetForegroundWindow(W());
    SetActiveWindow(W());
    vcl::Application->ProcessMessages();
  }
  void Activate(const SkinCase& c) {
    manager->SetSkinName(c.Name);
    manager->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return provider->SkinData()->Skinned(true) && provider->SystemMenu; }));
    const bool painted = WaitFor([&] {
      vcl::TBitmap* cache = provider->SkinData()->CacheBmp();
      return cache && cache->Width() == form->Width() && !provider->SkinData()->BGChanged;
    });
    vcl::TBitmap* cache = provider->SkinData()->CacheBmp();
    ASSERT_TRUE(painted) << "cache " << (cache ? cache->Width() : -1) << " form " << form->Width() << " changed "
                         << provider->SkinData()->BGChanged << " state " << provider->SkinData()->CtrlSkinState
                         << " updating " << provider->SkinData()->Updating() << " visible " << IsWindowVisible(W());
  }
  LRESULT HitTest(int x, int y) { return SendMessageW(W(), WM_NCHITTEST, 0, ScreenPoint(W(), x, y)); }
  // Move, press and release over a caption element, as the mouse would.
  void Click(int code, const vcl::TRect& r) {
    const vcl::TPoint c = Centre(r);
    SendMessageW(W(), WM_NCMOUSEMOVE, code, ScreenPoint(W(), c.X, c.Y));
    SendMessageW(W(), WM_NCLBUTTONDOWN, code, ScreenPoint(W(), c.X, c.Y));
    SendMessageW(W(), WM_NCLBUTTONUP, code, ScreenPoint(W(), c.X, c.Y));
  }

  skintest::TempSkinDir dir;
  vcl::TForm* host = nullptr;
  vcl::TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  TsSkinProvider* provider = nullptr;
};

// Forms of the test's own (each freed after the test) under a default manager, owned by a host form, that is off
// with Lale chosen from a skin folder; the test skins a form with Skin and switches the skin on with Activate.
class FormsUnderAManager : public ::testing::Test {
 protected:
  void StartManager(const std::wstring& skinFolder) {
    host = vcl::Create<vcl::TForm>(vcl::Application);
    manager = NewManager(host, skinFolder);
    manager->SetSkinName(L"Lale");
  }
  void TearDown() override {
    if (manager) manager->SetActive(false);
    for (vcl::TForm* f : forms) f->Free();
    if (host) host->Free();
  }
  template <class F = vcl::TForm>
  F* NewForm(int x, int y, int w, int h, const wchar_t* name = nullptr) {
    F* f = vcl::Create<F>(vcl::Application);
    if (name) f->SetName(name);
    f->SetBounds(x, y, w, h);
    f->SetCaption(L"\u00c7izelge");
    f->HandleNeeded();
    forms.push_back(f);
    return f;
  }
  TsSkinProvider* Skin(vcl::TForm* f) {
    auto* sp = vcl::Create<TsSkinProvider>(f);
    f->Show();
    SetForegroundWindow(f->Handle());
    SetActiveWindow(f->Handle());
    return sp;
  }
  // Whole windows take their time here: a longer bound than a single form's.
  void Activate(std::vector<TsSkinProvider*> providers) {
    manager->SetActive(true);
    for (TsSkinProvider* sp : providers)
      ASSERT_TRUE(WaitFor(
          [&] {
            vcl::TBitmap* cache = sp->SkinData()->CacheBmp();
            return sp->SkinData()->Skinned(true) && sp->SystemMenu && cache && cache->Width() == sp->Form->Width() &&
                   !sp->SkinData()->BGChanged;
          },
          10000));
  }

  vcl::TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
  std::vector<vcl::TForm*> forms;
};

// Pixels read out of a bitmap of the test's own, top-down BGRA, answered as GDI colours.
struct Pixels {
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
  COLORREF At(int x, int y) const {
    const std::uint32_t v = px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
};

// A black 32-bit top-down DIB selected into a memory DC: what WM_DRAWITEM paints into.
class OwnBitmap {
 public:
  OwnBitmap(int w, int h) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
    RECT r{0, 0, w, h};
    FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  OwnBitmap(const OwnBitmap&) = delete;
  OwnBitmap& operator=(const OwnBitmap&) = delete;
  ~OwnBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC DC() const { return dc_; }
  Pixels Read() const {
    GdiFlush();
    Pixels p;
    p.w = w_;
    p.h = h_;
    const auto* s = static_cast<const std::uint32_t*>(bits_);
    p.px.assign(s, s + static_cast<size_t>(w_) * static_cast<size_t>(h_));
    return p;
  }

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// The sum of the channel differences of two GDI colours.
inline int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// An owner-drawn menu item measured by the window that owns its menu, as the system asks it.
inline MEASUREITEMSTRUCT MeasureMenuItem(HWND owner, vcl::TMenuItem* item) {
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = item->Command();
  mis.itemData = reinterpret_cast<ULONG_PTR>(item);
  SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  return mis;
}

// The item painted alone by the window that owns its menu into a bitmap of its measured height (menu: the handle
// the request names, where given).
inline Pixels DrawMenuItem(HWND owner, vcl::TMenuItem* item, UINT state, int width, HMENU menu = nullptr) {
  const MEASUREITEMSTRUCT mis = MeasureMenuItem(owner, item);
  OwnBitmap bmp(width, static_cast<int>(mis.itemHeight));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = item->Command();
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = state;
  dis.hwndItem = reinterpret_cast<HWND>(menu);
  dis.hDC = bmp.DC();
  dis.rcItem = RECT{0, 0, width, static_cast<LONG>(mis.itemHeight)};
  dis.itemData = reinterpret_cast<ULONG_PTR>(item);
  SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  return bmp.Read();
}

// An open popup menu's window: the last visible one (a sub-menu comes after its parent), or the first where asked.
inline HWND VisiblePopup(bool first = false) {
  HWND popup = nullptr;
  for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
    if (IsWindowVisible(w) && !(first && popup)) popup = w;
  return popup;
}

// The window a caption element's hover look shows in, over the element r of a form whose window lies at wr: shown,
// layered, never active, letting clicks through, a tool window, at the element's place and width.
inline void ExpectHoverWindow(HWND fw, const RECT& wr, const vcl::TRect& r) {
  EXPECT_TRUE(IsWindowVisible(fw));
  const LONG_PTR ex = GetWindowLongPtrW(fw, GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW),
            WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW);
  const RECT fr = WindowRectOf(fw);
  EXPECT_EQ(fr.left, wr.left + r.Left);
  EXPECT_EQ(fr.top, wr.top + r.Top);
  EXPECT_EQ(fr.right - fr.left, r.Width());
  EXPECT_NE(GetForegroundWindow(), fw);
}

// For a timer that a popup's modal loop dispatches: past its deadline, the run is marked failed and the menu closed.
template <class Run>
bool Overdue(Run& run) {
  if (std::chrono::steady_clock::now() <= run.deadline) return false;
  run.failed = true;
  EndMenu();
  return true;
}

}  // namespace formtest
