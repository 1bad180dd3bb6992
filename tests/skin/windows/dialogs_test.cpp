// The system's dialogs under a skin: the manager's thread hook gives a message box and the open-file dialog a
// skinned frame and skinned controls; removing the skin gives them their platform look back; a dialog that goes
// while wrapped, or whose wrapper goes first, keeps working; repainting and skin changes leave no GDI objects
// behind. Modal dialogs are driven from a timer of this thread (it runs inside their modal loop), and a watchdog
// thread closes whatever is still open after a bound, so nothing waits forever.
#include <gtest/gtest.h>


#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "skin/core/sAnimations.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/windows/lvDialogWnd.h"
#include "skin/windows/lvDials.h"
#include "tests/common/tempdir.h"
#include "tests/common/threadwindows.h"
#include "wintest.h"

#include <commdlg.h>

using namespace vcl;
using namespace wintest;

namespace {

// The test skins' dialog sections: a plain title and a plain client colour, distinct per skin.
struct DialogColours {
  Rgb title, client, titleText;
};
const DialogColours kLaleDlg{{30, 150, 90}, {236, 226, 160}, {255, 255, 255}};
const DialogColours kDenizDlg{{150, 40, 40}, {170, 210, 240}, {255, 255, 0}};

std::string DialogSections(const DialogColours& c) {
  return "\r\n[DIALOG]\r\nSTATES=1\r\nCOLOR=" + Cv(c.client) + "\r\nFONTCOLOR=$000000\r\n\r\n[DIALOGTITLE]\r\nSTATES=1\r\n"
         "COLOR=" + Cv(c.title) + "\r\nFONTCOLOR=" + Cv(c.titleText) + "\r\n\r\n";
}

class DialogSkins {
 public:
  DialogSkins() {
    Add(L"Lale", kLale, kLaleDlg);
    Add(L"Deniz", kDeniz, kDenizDlg);
  }
  const std::wstring& Path() const { return dir_.Path(); }

 private:
  void Add(const std::wstring& name, const ScrollColours& s, const DialogColours& d) {
    dir_.AddFolder(name);
    auto bytes = skintest::SourceBytes(name + L"\\Options.dat");
    const std::string extra = ScrollSections(s) + DialogSections(d);
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    dir_.Write(name + L"\\Options.dat", bytes);
  }
  skintest::TempSkinDir dir_;
};

// A dialog template in memory: a caption and the listed controls (class atom or name, style, text).
struct Item {
  const wchar_t* cls;
  DWORD style;
  const wchar_t* text;
  short x, y, cx, cy;
};

class Template {
 public:
  Template(const wchar_t* caption, DWORD style, short cx, short cy, const std::vector<Item>& items) {
    Align(4);
    DLGTEMPLATE t{};
    t.style = style;
    t.cdit = static_cast<WORD>(items.size());
    t.cx = cx;
    t.cy = cy;
    Put(&t, sizeof t);
    Word(0);  // no menu
    Word(0);  // the dialog class
    Str(caption);
    for (const Item& it : items) {
      Align(4);
      DLGITEMTEMPLATE i{};
      i.style = it.style | WS_CHILD | WS_VISIBLE;
      i.x = it.x;
      i.y = it.y;
      i.cx = it.cx;
      i.cy = it.cy;
      i.id = static_cast<WORD>(100 + (&it - items.data()));
      Put(&i, sizeof i);
      Str(it.cls);
      Str(it.text);
      Word(0);
    }
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void Align(size_t n) {
    while (bytes_.size() % n) bytes_.push_back(0);
  }
  void Put(const void* p, size_t n) {
    auto* b = static_cast<const unsigned char*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, sizeof w); }
  void Str(const wchar_t* s) { Put(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
  std::vector<unsigned char> bytes_;
};

// Counts the cancels the dialogs get (SC_CLOSE ends as IDCANCEL).
int gCancels = 0;
INT_PTR CALLBACK PlainDlgProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ++gCancels;
  return msg == WM_INITDIALOG;
}

const std::vector<Item> kControls = {
    {L"Edit", WS_BORDER | ES_AUTOHSCROLL, L"metin", 8, 8, 120, 14},
    {L"ListBox", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, L"", 8, 28, 120, 60},
    {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL, L"", 8, 94, 120, 80},
    {L"Button", BS_PUSHBUTTON, L"Tamam", 140, 8, 50, 14},
};

HWND ModelessDialog(const wchar_t* caption, HWND owner = nullptr) {
  Template t(caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 200, 120, kControls);
  HWND d = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, PlainDlgProc, 0);
  if (d) SetWindowPos(d, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  return d;
}

TlvDialogWnd* WrapperOf(HWND dlg) { return FindFormInList(dlg); }

// A point of the title strip away from the icon, the text and the buttons, in screen coordinates.
POINT TitlePoint(HWND dlg) {
  RECT wr;
  GetWindowRect(dlg, &wr);
  POINT c{0, 0};
  ClientToScreen(dlg, &c);
  const int bw = c.x - wr.left;
  return POINT{wr.left + (wr.right - wr.left) * 7 / 10, wr.top + bw + (c.y - wr.top - 2 * bw) / 2};
}

// Closes every top-level dialog of this process still open after the bound (the watchdog of a modal test).
class Watchdog {
 public:
  explicit Watchdog(const wchar_t* caption, unsigned boundMs = 90000)
      : thread_([this, caption, boundMs] {
          const ULONGLONG end = GetTickCount64() + boundMs;
          while (!done_ && GetTickCount64() < end) Sleep(20);
          while (!done_) {
            if (HWND d = FindWindowW(L"#32770", caption)) PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
            fired_ = true;
            Sleep(200);
          }
        }) {}
  ~Watchdog() {
    done_ = true;
    thread_.join();
  }
  bool Fired() const { return fired_; }

 private:
  std::atomic<bool> done_{false}, fired_{false};
  std::thread thread_;
};

class Dialogs : public UnderLale<DialogSkins> {};

// What the timer saw of a modal dialog: skinned, then given back when the skin went.
struct ModalRun {
  const wchar_t* caption;
  std::string shotName;
  int step = 0;
  ULONGLONG deadline = 0;
  HWND dlg = nullptr;
  bool wrapped = false, titleSkinned = false, clientSkinned = false, controlsWrapped = false;
  size_t wrappedControls = 0;
  bool givenBack = false, sysMenuBack = false, titleNotSkinned = false;
  COLORREF skinnedTitle = 0, plainTitle = 0;
  int settled = 0;  // ticks with the platform look, so the controls have painted before the shot
  TsSkinManager* manager = nullptr;
};
ModalRun* gRun = nullptr;

void CALLBACK DriveModal(HWND, UINT, UINT_PTR id, DWORD) {
  ModalRun& r = *gRun;
  const ULONGLONG now = GetTickCount64();
  switch (r.step) {
    case 0:  // find the dialog, and move it where the whole of it is on the screen
      r.dlg = FindWindowW(L"#32770", r.caption);
      if (r.dlg && IsWindowVisible(r.dlg)) {
        SetWindowPos(r.dlg, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r.step = 1;
        r.deadline = now + 20000;
      } else if (now > r.deadline) {
        r.step = 9;
      }
      return;
    case 1: {  // wait for the skinned frame and client
      TlvDialogWnd* w = WrapperOf(r.dlg);
      r.wrapped = w != nullptr;
      if (w) {
        RedrawWindow(r.dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        const POINT t = TitlePoint(r.dlg);
        r.skinnedTitle = ScreenPixel(t.x, t.y);
        r.titleSkinned = Near(r.skinnedTitle, kLaleDlg.title.ref());
        POINT c{3, 3};
        ClientToScreen(r.dlg, &c);
        r.clientSkinned = Near(ScreenPixel(c.x, c.y), kLaleDlg.client.ref());
        r.wrappedControls = w->Provider ? w->Provider->lvSkinnedCtrls.size() : 0;
        r.controlsWrapped = r.wrappedControls > 0;
      }
      if ((r.titleSkinned && r.clientSkinned) || now > r.deadline) {
        SaveShot(r.dlg, r.shotName + "_skinned");

        r.manager->SetActive(false);
        r.step = 2;
        r.deadline = now + 20000;
      }
      return;
    }
    case 2: {  // the skin is gone: the platform's look
      if (r.settled == 0)
        RedrawWindow(r.dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      r.givenBack = !WndIsWrapped(r.dlg) && !WrapperOf(r.dlg);
      r.sysMenuBack = (GetWindowLongPtrW(r.dlg, GWL_STYLE) & WS_SYSMENU) != 0;
      const POINT t = TitlePoint(r.dlg);
      r.plainTitle = ScreenPixel(t.x, t.y);
      r.titleNotSkinned = !Near(r.plainTitle, kLaleDlg.title.ref());
      ++r.settled;
      if ((r.givenBack && r.sysMenuBack && r.titleNotSkinned && r.settled > 5) || now > r.deadline) {
        SaveShot(r.dlg, r.shotName + "_plain");
        r.step = 9;
      }
      return;
    }
    default:
      KillTimer(nullptr, id);
      if (r.dlg && IsWindow(r.dlg)) PostMessageW(r.dlg, WM_COMMAND, IDCANCEL, 0);
      return;
  }
}

void RunModal(ModalRun& run, const std::function<void()>& open) {
  gRun = &run;
  run.deadline = GetTickCount64() + 20000;
  Watchdog dog(run.caption);
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &DriveModal);
  open();
  KillTimer(nullptr, timer);
  gRun = nullptr;
  EXPECT_FALSE(dog.Fired()) << "the dialog had to be closed by the watchdog";
}

void ExpectSkinnedThenPlain(const ModalRun& run) {
  ASSERT_TRUE(run.dlg) << "no dialog appeared";
  EXPECT_TRUE(run.wrapped);
  EXPECT_TRUE(run.titleSkinned) << std::hex << run.skinnedTitle;
  EXPECT_TRUE(run.clientSkinned);
  EXPECT_TRUE(run.givenBack);
  EXPECT_TRUE(run.sysMenuBack);
  EXPECT_TRUE(run.titleNotSkinned) << std::hex << run.plainTitle;
}

}  // namespace

TEST_F(Dialogs, AMessageBoxIsSkinnedByTheHookAndGetsItsPlatformLookBackWithoutTheSkin) {
  ASSERT_TRUE(HookCallback);
  ModalRun run{L"Sına kutusu", "win29c_msgbox"};
  run.manager = manager;
  RunModal(run, [] { MessageBoxW(nullptr, L"Kayıt tamamlandı.", L"Sına kutusu", MB_OKCANCEL | MB_ICONINFORMATION); });
  ExpectSkinnedThenPlain(run);
}

TEST_F(Dialogs, TheOpenFileDialogIsSkinnedWithItsControlsAndGetsItsPlatformLookBack) {
  testutil::TempFolder folder(L"opendlg");
  for (const wchar_t* n : {L"\\birinci.txt", L"\\ikinci.txt"}) {
    const std::vector<rtl::Byte> bytes{'x'};
    vcl::WriteWholeFile(folder.Path() + n, bytes);
  }
  ModalRun run{L"Dosya Seç", "win29c_openfile"};
  run.manager = manager;
  RunModal(run, [&] {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Dosya Seç";
    ofn.lpstrFilter = L"Metin\0*.txt\0Tümü\0*.*\0";
    ofn.lpstrInitialDir = folder.Path().c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    GetOpenFileNameW(&ofn);
  });
  ExpectSkinnedThenPlain(run);
  EXPECT_TRUE(run.controlsWrapped);  // its edit and combo boxes
}

TEST_F(Dialogs, ADialogWithAnOwnerStaysUnskinnedAndOneWithoutIsWrappedWithItsControls) {
  HWND owner = Host(20, 20, 200, 100);
  HWND owned = ModelessDialog(L"Sahipli", owner);
  HWND free = ModelessDialog(L"Sahipsiz");
  ASSERT_TRUE(owned && free);
  ASSERT_TRUE(PumpUntil([&] { return WrapperOf(free) != nullptr; }));
  EXPECT_EQ(WrapperOf(owned), nullptr);
  EXPECT_FALSE(WndIsWrapped(owned));
  TlvDialogWnd* w = WrapperOf(free);
  // Its edit, list and combo box get their wrappers when the dialog first paints.
  EXPECT_TRUE(PumpUntil([&] { return w->Provider && w->Provider->lvSkinnedCtrls.size() >= 3; }));
  EXPECT_TRUE(WndIsWrapped(GetDlgItem(free, 100)));
  EXPECT_TRUE(WndIsWrapped(GetDlgItem(free, 101)));
  EXPECT_TRUE(WndIsWrapped(GetDlgItem(free, 102)));
  // The system draws no title buttons of its own while the skin draws them.
  EXPECT_FALSE(GetWindowLongPtrW(free, GWL_STYLE) & WS_SYSMENU);
  // Controls that ask for the dialog's brush paint on the skin's colour; one brush per colour.
  const auto brush = SendMessageW(free, WM_CTLCOLORDLG, 0, 0);
  EXPECT_EQ(brush, SendMessageW(free, WM_CTLCOLORDLG, 0, 0));
  LOGBRUSH lb{};
  GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(ColorToRGB(manager->GetGlobalColor())));
  // The skin's title and client colours reach the screen.
  EXPECT_TRUE(PumpUntil([&] {
    RedrawWindow(free, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    const POINT t = TitlePoint(free);
    return Near(ScreenPixel(t.x, t.y), kLaleDlg.title.ref());
  }));
  SaveShot(free, "win29c_modeless_Lale");
  // A skin change paints the new skin.
  manager->SetSkinName(L"Deniz");
  EXPECT_TRUE(PumpUntil([&] {
    RedrawWindow(free, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    const POINT t = TitlePoint(free);
    return Near(ScreenPixel(t.x, t.y), kDenizDlg.title.ref());
  }));
  SaveShot(free, "win29c_modeless_Deniz");
  DestroyWindow(free);
  DestroyWindow(owned);
  DestroyWindow(owner);
}

TEST_F(Dialogs, TheHitTestAnswersTheTitleButtonsAndTheCloseButtonSendsClose) {
  HWND d = ModelessDialog(L"Düğmeler");
  ASSERT_TRUE(PumpUntil([&] { return WrapperOf(d) != nullptr; }));
  TlvDialogWnd* w = WrapperOf(d);
  ASSERT_TRUE(PumpUntil([&] {
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return w->ButtonClose.Rect.Width() > 0;
  }));
  RECT wr;
  GetWindowRect(d, &wr);
  const vcl::TRect cb = w->ButtonClose.Rect;
  const LPARAM onClose = MAKELPARAM(wr.left + (cb.Left + cb.Right) / 2, wr.top + (cb.Top + cb.Bottom) / 2);
  EXPECT_EQ(SendMessageW(d, WM_NCHITTEST, 0, onClose), HTCLOSE);
  const vcl::TRect ir = w->IconRect();
  EXPECT_EQ(SendMessageW(d, WM_NCHITTEST, 0, MAKELPARAM(wr.left + ir.Left + 2, wr.top + (cb.Top + cb.Bottom) / 2)),
            HTSYSMENU);
  EXPECT_EQ(SendMessageW(d, WM_NCHITTEST, 0, MAKELPARAM(wr.left + (wr.right - wr.left) / 2, wr.top + (cb.Top + cb.Bottom) / 2)),
            HTCAPTION);
  // Pressed on the close button and released elsewhere: nothing closes.
  gCancels = 0;
  SendMessageW(d, WM_NCLBUTTONDOWN, HTCLOSE, onClose);
  EXPECT_EQ(w->ButtonClose.State, 2);
  SendMessageW(d, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 30, wr.top + 8));
  PumpFor(200);
  EXPECT_EQ(gCancels, 0);
  // Pressed and released on it: the dialog gets SC_CLOSE, which a dialog turns into IDCANCEL.
  SendMessageW(d, WM_NCLBUTTONDOWN, HTCLOSE, onClose);
  SendMessageW(d, WM_NCLBUTTONUP, HTCLOSE, onClose);
  EXPECT_TRUE(PumpUntil([] { return gCancels == 1; }));  // the dialog posts its cancel
  EXPECT_FALSE(lvdials::biClicked);
  DestroyWindow(d);
}

TEST_F(Dialogs, ADialogDestroyedWhileWrappedAndOneWhoseWrapperGoesFirstKeepWorking) {
  // Destroyed while wrapped: the wrapper lets go and is swept at the next adoption.
  HWND gone = ModelessDialog(L"Gidecek");
  ASSERT_TRUE(PumpUntil([&] { return WrapperOf(gone) != nullptr; }));
  TlvDialogWnd* w = WrapperOf(gone);
  EXPECT_TRUE(PumpUntil([&] { return w->Provider && !w->Provider->lvSkinnedCtrls.empty(); }));
  DestroyWindow(gone);
  EXPECT_TRUE(w->TlvCustomDialogWnd::Destroyed);
  EXPECT_EQ(w->TlvCustomDialogWnd::CtrlHandle, nullptr);
  HWND next = ModelessDialog(L"Sonraki");
  ASSERT_TRUE(PumpUntil([&] { return WrapperOf(next) != nullptr; }));
  // The gone dialog's wrapper was freed (its memory may serve the new one): no entry holds a gone dialog.
  for (const auto& e : *lvSupportedList)
    if (e) EXPECT_FALSE(e->Destroyed);

  // The wrapper goes first: the dialog and its controls get their procedures back and keep working.
  TlvDialogWnd* nw = WrapperOf(next);
  EXPECT_TRUE(PumpUntil([&] { return nw->Provider && nw->Provider->lvSkinnedCtrls.size() >= 3; }));
  HWND edit = GetDlgItem(next, 100);
  for (auto& e : *lvSupportedList)
    if (e.get() == nw) e.reset();
  EXPECT_FALSE(WndIsWrapped(next));
  EXPECT_FALSE(WndIsWrapped(edit));
  EXPECT_TRUE(GetWindowLongPtrW(next, GWL_STYLE) & WS_SYSMENU);
  SetWindowTextW(edit, L"yeni metin");
  wchar_t text[32] = {};
  GetWindowTextW(edit, text, 32);
  EXPECT_STREQ(text, L"yeni metin");
  SetWindowTextW(next, L"Başlık");
  RedrawWindow(next, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  EXPECT_TRUE(DestroyWindow(next));
}

TEST_F(Dialogs, GdiObjectsStayFlatOverRepaintsSkinChangesAndDialogsComingAndGoing) {
  if (GdiObjectCount() < 0) GTEST_SKIP() << "no way to count GDI objects here";
  auto cycle = [&](int i) {
    HWND d = ModelessDialog(L"Sayım");
    PumpUntil([&] { return WrapperOf(d) && WrapperOf(d)->Initialized; }, 5000);
    for (int k = 0; k < 5; ++k) {
      RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      SendMessageW(d, WM_NCACTIVATE, k % 2, 0);
      SendMessageW(d, WM_CTLCOLORDLG, 0, 0);
    }
    if (i % 10 == 9) manager->SetSkinName(manager->SkinName() == L"Lale" ? L"Deniz" : L"Lale");
    DestroyWindow(d);
    Pump();
  };
  for (int i = 0; i < 3; ++i) cycle(i);
  // The last destroyed dialog is swept at the next adoption: count with one made and gone.
  const long before = GdiObjectCount();
  for (int i = 0; i < 60; ++i) cycle(i);
  const long after = GdiObjectCount();
  std::printf("GDI objects over 60 dialogs: %ld -> %ld\n", before, after);
  EXPECT_LE(after, before + 4) << before << " -> " << after;
}

TEST(DialogControlMap, EachClassAndStyleGetsItsRow) {
  Application->Initialize();
  HWND host = Host(10, 10, 300, 200);
  struct Case {
    const wchar_t* cls;
    DWORD style;
    DWORD exStyle;
    int height;
    TlvDlgCtrlKind kind;
    const wchar_t* section;
  };
  const Case cases[] = {
      {L"Static", SS_BLACKFRAME, 0, 20, dckIcon, L""},
      {L"Static", SS_ICON, WS_EX_STATICEDGE, 20, dckEdge, L"EDIT"},
      {L"Static", SS_ETCHEDHORZ, 0, 20, dckStatic, L""},
      {L"Static", SS_OWNERDRAW, 0, 20, dckCount, L""},
      {L"Static", SS_GRAYRECT, 0, 20, dckCount, L""},
      {L"Static", SS_LEFT, 0, 20, dckStatic, L""},
      {L"Button", BS_OWNERDRAW, 0, 20, dckCount, L""},
      {L"Button", BS_GROUPBOX, 0, 20, dckGroupBox, L"GROUPBOX"},
      {L"Button", BS_AUTOCHECKBOX, 0, 20, dckCheckBox, L""},
      {L"Button", BS_PUSHBUTTON, 0, 20, dckBtn, L""},
      {L"Edit", 0, 0, 20, dckEdit, L"EDIT"},
      {L"ListBox", 0, 0, 40, dckEdit, L"EDIT"},
      {L"ComboBox", CBS_DROPDOWN, 0, 80, dckComboBox, L"COMBOBOX"},
      {L"ScrollBar", SBS_SIZEGRIP, 0, 16, dckSizer, L""},
      {L"ScrollBar", SBS_VERT, 0, 40, dckCount, L""},
      {L"msctls_trackbar32", 0, 0, 20, dckTrack, L"TRACKBAR"},
      {L"DirectUIHWND", 0, 0, 24, dckSearch, L""},
      {L"DirectUIHWND", 0, 0, 25, dckCount, L""},
  };
  for (const Case& c : cases) {
    HWND w = CreateWindowExW(c.exStyle, c.cls, L"", WS_CHILD | WS_VISIBLE | c.style, 0, 0, 100, c.height, host,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!w) {
      // A class this system does not register (e.g. the shell's): made as a plain window of that name.
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = c.cls;
      RegisterClassExW(&wc);
      w = CreateWindowExW(c.exStyle, c.cls, L"", WS_CHILD | WS_VISIBLE | c.style, 0, 0, 100, c.height, host, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
    }
    ASSERT_TRUE(w) << static_cast<const void*>(c.cls);
    const TlvCtrlMapRow row = ControlMapRow(w);
    char where[64];
    std::snprintf(where, sizeof where, "%ls style %lx height %d", c.cls, c.style, c.height);
    EXPECT_EQ(row.Kind, c.kind) << where;
    if (c.kind != dckCount) EXPECT_STREQ(row.Section, c.section) << where;
    DestroyWindow(w);
  }
  // An invisible edit gets no wrapper, but lifts the dialog's paint ban all the same.
  HWND hidden = CreateWindowExW(0, L"Edit", L"", WS_CHILD, 0, 0, 50, 20, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  const TlvCtrlMapRow row = ControlMapRow(hidden);
  EXPECT_EQ(row.Kind, dckCount);
  EXPECT_TRUE(row.LiftPaintBan);
  DestroyWindow(hidden);
  DestroyWindow(host);
}

namespace {
struct MenuRun {
  bool seen = false, wrapped = false;
  size_t records = 0;
  ULONGLONG deadline = 0;
};
MenuRun* gMenu = nullptr;
void CALLBACK DriveMenu(HWND, UINT, UINT_PTR id, DWORD) {
  MenuRun& r = *gMenu;
  HWND m = FindWindowW(L"#32768", nullptr);
  if (m && IsWindowVisible(m)) {
    r.seen = true;
    r.wrapped = WndIsWrapped(m);
    r.records = MnuArray.size();
    RedrawWindow(m, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    SaveShot(m, "win29c_popup");
  }
  if (r.seen || GetTickCount64() > r.deadline) {
    KillTimer(nullptr, id);
    EndMenu();
  }
}
MenuRun OpenMenu(HWND owner) {
  MenuRun run;
  run.deadline = GetTickCount64() + 15000;
  gMenu = &run;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Birinci");
  AppendMenuW(menu, MF_STRING, 2, L"İkinci");
  SetForegroundWindow(owner);
  const UINT_PTR t = SetTimer(nullptr, 0, 50, &DriveMenu);
  TrackPopupMenu(menu, TPM_RETURNCMD, 200, 200, 0, owner, nullptr);
  KillTimer(nullptr, t);
  DestroyMenu(menu);
  gMenu = nullptr;
  return run;
}
}  // namespace

TEST_F(Dialogs, APopupMenuWindowIsWrappedOnlyWhileSkinnedPopupsAreOn) {
  HWND owner = Host(20, 20, 200, 100);
  const MenuRun on = OpenMenu(owner);
  ASSERT_TRUE(on.seen);
  EXPECT_TRUE(on.wrapped);
  EXPECT_GE(on.records, 1u);
  manager->SetSkinnedPopups(false);
  const MenuRun off = OpenMenu(owner);
  ASSERT_TRUE(off.seen);
  EXPECT_FALSE(off.wrapped);
  manager->SetSkinnedPopups(true);
  DestroyWindow(owner);
}

namespace {

using testutil::LayeredAlpha;
using testutil::VisibleWindowsOfThread;

}  // namespace

// Shown with the dialog show animation on, the dialog comes through a cover in its time's frames (40 ms: four steps
// and the last frame); hidden with the hide animation on, a layered cover with its picture fades out on the timer,
// its alpha falling at every step, and goes. Neither leaves a window behind nor the dialog layered. With both
// times 0 nothing is animated. A cancel that does not close the dialog drops the cover it prepared.
TEST_F(Dialogs, ADialogFadesInWhenShownAndOutWhenHidden) {
  manager->Effects()->SetAllowAnimation(true);
  HWND d = ModelessDialog(L"Geçişli");
  ASSERT_TRUE(PumpUntil([&] { return WrapperOf(d) != nullptr; }));
  ShowWindow(d, SW_HIDE);
  Pump();
  const int windowsHidden = VisibleWindowsOfThread();
  manager->AnimEffects()->DialogShow()->SetTime(40);
  manager->AnimEffects()->DialogHide()->SetTime(300);
  lvLastAnimFrames = -1;
  ShowWindow(d, SW_SHOWNOACTIVATE);
  EXPECT_EQ(lvLastAnimFrames, 5);
  EXPECT_TRUE(IsWindowVisible(d));
  EXPECT_FALSE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsHidden + 1);

  // A cancel the dialog does not close on: its cover goes at once.
  SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(IsWindowVisible(d));
  EXPECT_EQ(WrapperOf(d)->TlvCustomDialogWnd::CoverForm, nullptr);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsHidden + 1);

  ShowWindow(d, SW_HIDE);
  ASSERT_TRUE(lvHideTimer && lvHideTimer->Form);
  const HWND cover = lvHideTimer->Form->Handle();
  EXPECT_TRUE(IsWindowVisible(cover));
  EXPECT_TRUE(GetWindowLongPtrW(cover, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(IsWindowVisible(d));
  {
    // The fading picture has the controls in it (the dialog is hidden by now: they are printed, not copied from
    // the screen, where their places would have stayed black).
    TlvDialogWnd* w = WrapperOf(d);
    ASSERT_TRUE(w && lvHideTimer->SrcBmp);
    RECT lr;
    GetWindowRect(GetDlgItem(d, 101), &lr);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&lr), 2);
    const int x = w->OffsetX() + (lr.left + lr.right) / 2, y = w->OffsetY() + (lr.top + lr.bottom) / 2;
    ASSERT_LT(y, lvHideTimer->SrcBmp->Height());
    const std::uint32_t px = static_cast<std::uint32_t*>(lvHideTimer->SrcBmp->ScanLine(y))[x] & 0xFFFFFF;
    EXPECT_TRUE(Near(RGB(px >> 16, (px >> 8) & 0xFF, px & 0xFF), GetSysColor(COLOR_WINDOW), 16)) << std::hex << px;
  }
  // Ten steps are run here one by one and each one's alpha read (a busy machine could run many steps in one round
  // of messages); the timer then runs the rest by itself.
  lvHideTimer->SetEnabled(false);
  std::vector<int> alphas{lvHideTimer->FBlend.SourceConstantAlpha};
  for (int k = 0; k < 10 && lvHideTimer->Form; ++k) {
    lvHideTimer->OnTimerProc(lvHideTimer);
    alphas.push_back(lvHideTimer->FBlend.SourceConstantAlpha);
  }
  SaveShot(cover, "win29c_dialog_hiding");
  ASSERT_EQ(alphas.size(), 11u);
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_NEAR(alphas[i], alphas[i - 1] - 8.5, 1.0) << "step " << i;
  lvHideTimer->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return !lvHideTimer || !lvHideTimer->Form; }));
  // Every one of the 30 steps ran before the cover went.
  ASSERT_TRUE(lvHideTimer);
  EXPECT_EQ(lvHideTimer->StepCount, 30);
  EXPECT_EQ(lvHideTimer->i, 31);
  EXPECT_FALSE(IsWindow(cover));
  EXPECT_FALSE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsHidden);

  // Animations off: shown and hidden at once.
  manager->AnimEffects()->DialogShow()->SetTime(0);
  manager->AnimEffects()->DialogHide()->SetTime(0);
  lvLastAnimFrames = -1;
  ShowWindow(d, SW_SHOWNOACTIVATE);
  EXPECT_EQ(lvLastAnimFrames, -1);
  EXPECT_TRUE(IsWindowVisible(d));
  ShowWindow(d, SW_HIDE);
  EXPECT_TRUE(!lvHideTimer || !lvHideTimer->Form);
  EXPECT_EQ(VisibleWindowsOfThread(), windowsHidden);
  DestroyWindow(d);
}

namespace {

// The dialog's alpha at each tick of a timer inside the system's move loop, until it reached the target (or the
// bound passed); then the loop is ended as a release of the button would.
struct TDialogMove {
  HWND Dlg = nullptr;
  int Target = 0;
  ULONGLONG Start = 0;
  bool Shot = false;
  std::vector<int> Alphas;
};
TDialogMove* gMove = nullptr;

void CALLBACK WatchDialogMove(HWND, UINT, UINT_PTR id, DWORD) {
  TDialogMove& m = *gMove;
  const int a = LayeredAlpha(m.Dlg);
  if (m.Alphas.size() < 1000) m.Alphas.push_back(a);
  if (a == m.Target && !m.Shot) {
    m.Shot = true;
    SaveShot(m.Dlg, "win29c_dialog_moving");
  }
  if (a == m.Target || GetTickCount64() - m.Start > 8000) {
    KillTimer(nullptr, id);
    PostMessageW(m.Dlg, WM_LBUTTONUP, 0, 0);
  }
}

}  // namespace

// A title drag with blend-on-moving: inside the move loop the dialog is layered and fades to the blend value in
// steps of (255 - value) / 30 (170: by 2; 250: by 1, where the whole division gives 0 and it would never fade);
// after the loop it is opaque and unlayered, and the fade's timer is gone.
TEST_F(Dialogs, DraggingTheTitleWithBlendOnMovingFadesTheDialog) {
  HWND d = ModelessDialog(L"Taşınan");
  ASSERT_TRUE(PumpUntil([&] { return WrapperOf(d) != nullptr; }));
  TlvDialogWnd* w = WrapperOf(d);
  TlvBlendOnMoving* blend = manager->AnimEffects()->BlendOnMoving();
  blend->SetActive(true);
  for (int value : {170, 250}) {
    SCOPED_TRACE(value);
    blend->SetBlendValue(static_cast<std::uint8_t>(value));
    TDialogMove watch;
    watch.Dlg = d;
    watch.Target = value;
    watch.Start = GetTickCount64();
    gMove = &watch;
    SetTimer(nullptr, 0, 15, &WatchDialogMove);
    const POINT t = TitlePoint(d);
    ASSERT_EQ(SendMessageW(d, WM_NCHITTEST, 0, MAKELPARAM(t.x, t.y)), HTCAPTION);
    SendMessageW(d, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(t.x, t.y));
    ASSERT_FALSE(watch.Alphas.empty());
    EXPECT_EQ(watch.Alphas.back(), value);
    EXPECT_GT(watch.Alphas.size(), 3u);
    for (size_t i = 1; i < watch.Alphas.size(); ++i) EXPECT_LE(watch.Alphas[i], watch.Alphas[i - 1]) << "tick " << i;
    EXPECT_FALSE(w->FormState & 0x80);
    EXPECT_EQ(w->MoveTimer, nullptr);
    EXPECT_FALSE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(d));
    gMove = nullptr;
  }
  blend->SetActive(false);
  DestroyWindow(d);
}
