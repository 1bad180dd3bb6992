// The wrappers of the small standard controls, tab controls, spins, track bars and bars: real windows of the
// system's classes under each test skin and with none, driven by messages; the pixels show the skin's sections,
// the controls keep working, the wrappers let go cleanly and leave no GDI objects behind.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/windows/lvBarWnd.h"
#include "skin/windows/lvBtnWnd.h"
#include "skin/windows/lvSpinWnd.h"
#include "skin/windows/lvTabWnd.h"
#include "skin/windows/lvTrackWnd.h"
#include "wintest.h"

using namespace vcl;
using namespace wintest;

namespace {

// Plain, distinct colours of the sections the tests add to each skin.
struct ControlColours {
  Rgb button, buttonHot, buttonPressed, trans, page, tab, tabHot, tabActive, updown, updownHot, updownPressed, track,
      bar, toolButton, status, text;
};
const ControlColours kLaleC{{200, 30, 30},  {30, 200, 30},  {30, 30, 200}, {250, 240, 160}, {160, 220, 250},
                            {230, 120, 40}, {240, 170, 90}, {90, 40, 160}, {20, 130, 130},  {60, 190, 190},
                            {10, 60, 60},   {180, 180, 60}, {120, 160, 90}, {200, 100, 200}, {90, 110, 200},
                            {10, 10, 10}};
const ControlColours kDenizC{{150, 60, 20},  {60, 150, 20},  {20, 60, 150}, {220, 220, 250}, {250, 200, 160},
                             {40, 120, 230}, {90, 170, 240}, {160, 40, 90}, {130, 130, 20}, {190, 190, 60},
                             {60, 60, 10},   {60, 180, 180}, {90, 160, 120}, {100, 200, 100}, {200, 110, 90},
                             {250, 250, 250}};

std::string Sec(const char* name, int states, Rgb c, Rgb hot, Rgb third, Rgb font, bool mask) {
  std::string s = std::string("[") + name + "]\r\nSTATES=" + std::to_string(states) + "\r\nUSESTATE2=1\r\nCOLOR=" + Cv(c) +
                  "\r\nHOTCOLOR=" + Cv(hot) + "\r\nCOLOR2=" + Cv(third) + "\r\nFONTCOLOR=" + Cv(font) +
                  "\r\nHOTFONTCOLOR=" + Cv(font) + "\r\nFONTCOLOR2=" + Cv(font) + "\r\n";
  if (mask) s += "BORDERSMASK=^0060,0000,0080,0020,0002,0002,0002,0002,1,0,0,0\r\n";
  return s + "\r\n";
}

std::string ControlSections(const ControlColours& c) {
  std::string s = "\r\n";
  s += Sec("TESTBTN", 3, c.button, c.buttonHot, c.buttonPressed, c.text, false);
  s += Sec("TRANSPARENT", 1, c.trans, c.trans, c.trans, c.text, false);
  s += Sec("TESTPAGE", 1, c.page, c.page, c.page, c.text, false);
  s += Sec("TABTOP", 3, c.tab, c.tabHot, c.tabActive, c.text, true);
  s += Sec("UPDOWNBTN", 3, c.updown, c.updownHot, c.updownPressed, c.text, false);
  s += Sec("TRACKBAR", 2, c.track, c.track, c.track, c.text, false);
  s += Sec("TOOLBAR", 1, c.bar, c.bar, c.bar, c.text, false);
  s += Sec("TOOLBUTTON", 3, c.toolButton, c.toolButton, c.toolButton, c.text, false);
  s += Sec("STATUSBAR", 1, c.status, c.status, c.status, c.text, false);
  s += Sec("DIVIDER", 1, c.text, c.text, c.text, c.text, true);
  return s;
}

class ControlSkins {
 public:
  ControlSkins() {
    Add(L"Lale", kLale, kLaleC);
    Add(L"Deniz", kDeniz, kDenizC);
  }
  const std::wstring& Path() const { return dir_.Path(); }

 private:
  void Add(const std::wstring& name, const ScrollColours& sc, const ControlColours& cc) {
    dir_.AddFolder(name);
    auto bytes = skintest::SourceBytes(name + L"\\Options.dat");
    const std::string extra = ScrollSections(sc) + ControlSections(cc);
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    dir_.Write(name + L"\\Options.dat", bytes);
  }
  skintest::TempSkinDir dir_;
};

COLORREF WndPixel(HWND w, int x, int y) {
  POINT p{x, y};
  ClientToScreen(w, &p);
  return ScreenPixel(p.x, p.y);
}

bool WaitPixel(HWND w, int x, int y, Rgb c, unsigned bound = 20000) {
  return PumpUntil([&] { return Near(WndPixel(w, x, y), c.ref()); }, bound);
}

std::string Hex(COLORREF c) {
  char b[16];
  std::snprintf(b, sizeof b, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return b;
}

HWND Make(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent,
          DWORD ex = 0) {
  return CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void AddTabs(HWND tab, int n) {
  for (int i = 0; i < n; ++i) {
    std::wstring t = L"Sekme " + std::to_wstring(i + 1);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = t.data();
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

void AddToolButtons(HWND tb) {
  SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  static const wchar_t* const texts[] = {L"Aç", L"Kayıt Defteri", L"Yeni Sekmede Aç"};
  std::vector<TBBUTTON> buttons(4);
  for (int i = 0; i < 4; ++i) {
    TBBUTTON& b = buttons[static_cast<size_t>(i)];
    b.iBitmap = I_IMAGENONE;
    b.idCommand = 100 + i;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = i == 1 ? BTNS_SEP : BTNS_BUTTON | BTNS_SHOWTEXT;
    b.iString = i == 1 ? 0 : reinterpret_cast<INT_PTR>(texts[i == 0 ? 0 : i - 1]);
  }
  SendMessageW(tb, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(tb, TB_AUTOSIZE, 0, 0);
}

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                              ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    SetCursorPos(1270, 1010);
    hostForm = Create<TForm>(Application);
    manager = LaleManager(hostForm, skins.Path());
    manager->Effects()->SetAllowAnimation(false);
    manager->SetActive(true);
    host = Host(20, 20, 640, 420);
  }
  void TearDown() override {
    for (TlvMainWnd* w : wrappers) delete w;
    wrappers.clear();
    if (host) DestroyWindow(host);
    hostForm->Free();
    Pump();
  }
  template <class T>
  T* Wrap(HWND h, const wchar_t* section = L"") {
    TlvSkinParams p;
    p.SkinSection = section;
    T* w = NewWrapper<T>(h, nullptr, manager, p, true);
    wrappers.push_back(w);
    return w;
  }
  void Redraw(HWND h) { RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN); }
  void Refresh(const std::vector<HWND>& all) {
    for (HWND h : all) SendMessageW(h, SM_LUMICMD, MakeLumiWParam(LVC_SETNEWSKIN), reinterpret_cast<LPARAM>(manager));
    Redraw(host);
    Pump();
  }

  ControlSkins skins;
  TForm* hostForm = nullptr;
  TsSkinManager* manager = nullptr;
  HWND host = nullptr;
  std::vector<TlvMainWnd*> wrappers;
};

// The windows of the board: one of each class and style.
struct Board {
  HWND push, def, check, radio, tri, group, label, edge, link, tab, updown, track, toolbar, status;
  std::vector<HWND> All() const {
    return {push, def, check, radio, tri, group, label, edge, link, tab, updown, track, toolbar, status};
  }
};

Board MakeBoard(HWND host) {
  Board b{};
  b.push = Make(L"BUTTON", L"Tamam", BS_PUSHBUTTON, 10, 10, 100, 30, host);
  b.def = Make(L"BUTTON", L"Vazgeç", BS_DEFPUSHBUTTON, 120, 10, 100, 30, host);
  b.check = Make(L"BUTTON", L"İşaretli", BS_AUTOCHECKBOX, 10, 50, 120, 22, host);
  b.radio = Make(L"BUTTON", L"Seçenek", BS_AUTORADIOBUTTON, 140, 50, 120, 22, host);
  b.tri = Make(L"BUTTON", L"Üç durum", BS_AUTO3STATE, 270, 50, 120, 22, host);
  b.group = Make(L"BUTTON", L"Grup", BS_GROUPBOX, 10, 80, 180, 90, host);
  b.label = Make(L"STATIC", L"Etiket ığüşöç", SS_LEFT, 200, 90, 140, 20, host);
  b.edge = Make(L"STATIC", L"", SS_ETCHEDFRAME, 200, 120, 140, 40, host);
  b.link = Make(L"SysLink", L"Bir <A>bağlantı</A> burada", 0, 350, 90, 200, 20, host);
  b.tab = Make(L"SysTabControl32", L"", WS_CLIPSIBLINGS, 10, 180, 300, 120, host);
  AddTabs(b.tab, 3);
  b.updown = Make(L"msctls_updown32", L"", 0, 320, 180, 20, 40, host);
  SendMessageW(b.updown, UDM_SETRANGE32, 0, 100);
  b.track = Make(L"msctls_trackbar32", L"", TBS_AUTOTICKS | WS_TABSTOP, 350, 180, 200, 40, host);
  SendMessageW(b.track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  b.toolbar = Make(L"ToolbarWindow32", L"", TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER,
                   10, 310, 400, 40, host);
  AddToolButtons(b.toolbar);
  b.status = Make(L"msctls_statusbar32", L"Hazır", CCS_NOPARENTALIGN | CCS_NORESIZE, 10, 370, 500, 24, host);
  int parts[3] = {150, 300, -1};
  SendMessageW(b.status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  SendMessageW(b.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Hazır"));
  return b;
}

}  // namespace

TEST_F(Controls, EveryStandardClassPaintsFromTheSkinUnderEachSkinAndAsItselfWithout) {
  Board b = MakeBoard(host);
  // Twins nobody wraps: what the system paints.
  HWND plainBtn = Make(L"BUTTON", L"Tamam", BS_PUSHBUTTON, 530, 10, 100, 30, host);
  HWND plainTrack = Make(L"msctls_trackbar32", L"", TBS_AUTOTICKS, 420, 240, 200, 40, host);
  SendMessageW(plainTrack, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  Wrap<TlvBtnWnd>(b.push, L"TESTBTN");
  Wrap<TlvBtnWnd>(b.def, L"TESTBTN");
  Wrap<TlvCheckBoxWnd>(b.check);
  Wrap<TlvCheckBoxWnd>(b.radio);
  Wrap<TlvCheckBoxWnd>(b.tri);
  Wrap<TlvGroupBoxWnd>(b.group);
  Wrap<TlvStaticWnd>(b.label);
  Wrap<TlvEdgeWnd>(b.edge);
  Wrap<TlvLinkWnd>(b.link);
  Wrap<TlvTabControlWnd>(b.tab, L"TESTPAGE");
  Wrap<TlvSpinWnd>(b.updown);
  Wrap<TlvTrackWnd>(b.track);
  Wrap<TlvToolBarWnd>(b.toolbar, L"TOOLBAR");
  Wrap<TlvStatusBarWnd>(b.status);

  struct Case {
    const wchar_t* skin;
    const ControlColours* c;
  };
  for (const Case& k : {Case{L"Lale", &kLaleC}, Case{L"Deniz", &kDenizC}}) {
    SCOPED_TRACE(std::string(k.skin == std::wstring(L"Lale") ? "Lale" : "Deniz"));
    manager->SetSkinName(k.skin);
    Refresh(b.All());
    const ControlColours& c = *k.c;
    EXPECT_TRUE(WaitPixel(b.push, 3, 3, c.button)) << Hex(WndPixel(b.push, 3, 3));
    // A system dialog's default button: state 3, shown hot in a section of three states.
    EXPECT_TRUE(WaitPixel(b.def, 3, 3, c.buttonHot)) << Hex(WndPixel(b.def, 3, 3));
    EXPECT_TRUE(WaitPixel(b.label, 1, 1, c.trans)) << Hex(WndPixel(b.label, 1, 1));
    RECT tr;
    GetClientRect(b.tab, &tr);
    EXPECT_TRUE(WaitPixel(b.tab, tr.right / 2, tr.bottom - 10, c.page)) << Hex(WndPixel(b.tab, tr.right / 2, tr.bottom - 10));
    RECT t1;
    SendMessageW(b.tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&t1));
    EXPECT_TRUE(WaitPixel(b.tab, t1.left + 3, t1.top + 4, c.tab)) << Hex(WndPixel(b.tab, t1.left + 3, t1.top + 4));
    EXPECT_TRUE(WaitPixel(b.updown, 10, 5, c.updown)) << Hex(WndPixel(b.updown, 10, 5));
    EXPECT_TRUE(WaitPixel(b.updown, 10, 35, c.updown)) << Hex(WndPixel(b.updown, 10, 35));
    EXPECT_TRUE(WaitPixel(b.track, 1, 1, c.track)) << Hex(WndPixel(b.track, 1, 1));
    RECT sep;
    SendMessageW(b.toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&sep));
    EXPECT_TRUE(WaitPixel(b.toolbar, sep.left + 1, sep.top + 1, c.toolButton)) << Hex(WndPixel(b.toolbar, sep.left + 1, sep.top + 1));
    EXPECT_TRUE(WaitPixel(b.toolbar, 395, 35, c.bar)) << Hex(WndPixel(b.toolbar, 395, 35));
    EXPECT_TRUE(WaitPixel(b.status, 200, 3, c.status)) << Hex(WndPixel(b.status, 200, 3));
    SaveShot(host, std::string("win29b_controls_") + (k.skin == std::wstring(L"Lale") ? "Lale" : "Deniz"));
  }

  // No active skin: the wrapped windows paint as the system's own.
  manager->SetActive(false);
  Redraw(host);
  EXPECT_TRUE(PumpUntil([&] { return WndPixel(b.push, 3, 3) == WndPixel(plainBtn, 3, 3); }))
      << Hex(WndPixel(b.push, 3, 3)) << " vs " << Hex(WndPixel(plainBtn, 3, 3));
  EXPECT_TRUE(PumpUntil([&] { return WndPixel(b.track, 1, 1) == WndPixel(plainTrack, 1, 1); }));
  EXPECT_FALSE(Near(WndPixel(b.status, 200, 3), kDenizC.status.ref(), 4));
  SaveShot(host, "win29b_controls_none");
}

TEST_F(Controls, ButtonsFollowHoverPressAndTheirOwnStateMessages) {
  HWND push = Make(L"BUTTON", L"Tamam", BS_PUSHBUTTON, 10, 10, 120, 32, host);
  HWND check = Make(L"BUTTON", L"İşaretli", BS_AUTOCHECKBOX, 10, 60, 150, 22, host);
  HWND radio = Make(L"BUTTON", L"Seçenek", BS_AUTORADIOBUTTON, 180, 60, 150, 22, host);
  Wrap<TlvBtnWnd>(push, L"TESTBTN");
  auto* cw = Wrap<TlvCheckBoxWnd>(check);
  auto* rw = Wrap<TlvCheckBoxWnd>(radio);
  Redraw(host);
  ASSERT_TRUE(WaitPixel(push, 3, 3, kLaleC.button));
  // Hover: the cursor over the button and a move reported to it.
  POINT p{60, 16};
  ClientToScreen(push, &p);
  SetCursorPos(p.x, p.y);
  SendMessageW(push, WM_MOUSEMOVE, 0, MAKELPARAM(60, 16));
  EXPECT_TRUE(WaitPixel(push, 3, 3, kLaleC.buttonHot)) << Hex(WndPixel(push, 3, 3));
  // Pressed, as the window's own state says.
  SendMessageW(push, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(WaitPixel(push, 3, 3, kLaleC.buttonPressed)) << Hex(WndPixel(push, 3, 3));
  SendMessageW(push, BM_SETSTATE, FALSE, 0);
  // Away: back to normal.
  SetCursorPos(1270, 1010);
  SendMessageW(push, WM_MOUSEMOVE, 0, MAKELPARAM(500, 500));
  SendMessageW(push, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(WaitPixel(push, 3, 3, kLaleC.button)) << Hex(WndPixel(push, 3, 3));
  // A click still reaches the parent as a command.
  SendMessageW(push, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  SendMessageW(push, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  // The check box keeps counting: a click checks it, the space key unchecks it.
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  EXPECT_EQ(cw->State(), 1);
  SetFocus(check);
  SendMessageW(check, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(check, WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
  // The box is the skin's own glyph (16 pixels wide in this skin); a radio button never takes the box glyphs.
  EXPECT_EQ(cw->CheckRect().Width(), 16);
  EXPECT_EQ(cw->GlyphMaskIndex(1), manager->ConstData.CheckBox[1]);
  EXPECT_EQ(rw->GlyphMaskIndex(1), manager->ConstData.RadioButton[1]);
  EXPECT_EQ(rw->GlyphMaskIndex(2), manager->ConstData.RadioButton[0]);
  SaveShot(host, "win29b_buttons_Lale");
}

TEST_F(Controls, TabsSpinsAndTrackBarsKeepWorkingUnderTheSkin) {
  HWND tab = Make(L"SysTabControl32", L"", WS_CLIPSIBLINGS, 10, 10, 200, 120, host);
  AddTabs(tab, 12);  // more than fit: the strip gets its scroller
  HWND updown = Make(L"msctls_updown32", L"", 0, 230, 10, 20, 40, host);
  SendMessageW(updown, UDM_SETRANGE32, 0, 100);
  HWND track = Make(L"msctls_trackbar32", L"", TBS_AUTOTICKS | WS_TABSTOP, 260, 10, 200, 40, host);
  SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  auto* tw = Wrap<TlvTabControlWnd>(tab, L"TESTPAGE");
  Wrap<TlvSpinWnd>(updown);
  Wrap<TlvTrackWnd>(track);
  Redraw(host);
  // The strip's scroller gets its own spin wrapper.
  EXPECT_TRUE(PumpUntil([&] {
    Redraw(tab);
    return tw->BtnSW != nullptr;
  }));
  // A new selection shows as the active tab.
  SendMessageW(tab, TCM_SETCURSEL, 1, 0);
  RECT t1;
  SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&t1));
  EXPECT_TRUE(WaitPixel(tab, t1.left + 4, t1.top + 2, kLaleC.tabActive)) << Hex(WndPixel(tab, t1.left + 4, t1.top + 2));
  EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
  // The up-down counts on a press of its upper half and shows the press while held.
  POINT p{10, 8};
  ClientToScreen(updown, &p);
  SetCursorPos(p.x, p.y);
  const LRESULT before = SendMessageW(updown, UDM_GETPOS32, 0, 0);
  SendMessageW(updown, WM_MOUSEMOVE, 0, MAKELPARAM(10, 8));  // the control picks its arrow on a move
  SendMessageW(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 8));
  EXPECT_TRUE(WaitPixel(updown, 2, 2, kLaleC.updownPressed)) << Hex(WndPixel(updown, 2, 2));
  SendMessageW(updown, WM_LBUTTONUP, 0, MAKELPARAM(10, 8));
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(updown, UDM_GETPOS32, 0, 0) == before + 1; }));
  EXPECT_TRUE(WaitPixel(updown, 2, 2, kLaleC.updownHot)) << Hex(WndPixel(updown, 2, 2));
  SetCursorPos(1270, 1010);
  // The track bar moves on keys; its ticks are drawn when the skin has no tick image.
  SendMessageW(track, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageW(track, WM_KEYUP, VK_RIGHT, 0xC0000001);
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(track, TBM_GETPOS, 0, 0) == 1; }));
  EXPECT_TRUE(WaitPixel(track, 1, 1, kLaleC.track));
  SaveShot(host, "win29b_tabs_Lale");
}

TEST_F(Controls, AWindowDestroyedWhileWrappedAndAWrapperFreedFirstEachLeaveTheWindowWorking) {
  using Factory = TlvMainWnd* (*)(HWND, TsCommonData*, TsSkinManager*, const TlvSkinParams&, bool);
  struct Case {
    const wchar_t* cls;
    DWORD style;
    Factory make;
  };
  const Case cases[] = {
      {L"BUTTON", BS_PUSHBUTTON, &CreateWrapper<TlvBtnWnd>},
      {L"BUTTON", BS_AUTOCHECKBOX, &CreateWrapper<TlvCheckBoxWnd>},
      {L"BUTTON", BS_GROUPBOX, &CreateWrapper<TlvGroupBoxWnd>},
      {L"STATIC", SS_LEFT, &CreateWrapper<TlvStaticWnd>},
      {L"SysLink", 0, &CreateWrapper<TlvLinkWnd>},
      {L"SysTabControl32", 0, &CreateWrapper<TlvTabControlWnd>},
      {L"msctls_updown32", 0, &CreateWrapper<TlvSpinWnd>},
      {L"msctls_trackbar32", 0, &CreateWrapper<TlvTrackWnd>},
      {L"ToolbarWindow32", CCS_NOPARENTALIGN | CCS_NORESIZE, &CreateWrapper<TlvToolBarWnd>},
      {L"msctls_statusbar32", CCS_NOPARENTALIGN | CCS_NORESIZE, &CreateWrapper<TlvStatusBarWnd>},
  };
  TlvSkinParams params;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.cls, c.cls + wcslen(c.cls)) << " " << c.style);
    // Destroyed while wrapped: the wrapper lets go and lives on.
    HWND w = Make(c.cls, L"Şişli", c.style, 10, 10, 200, 60, host);
    ASSERT_TRUE(w);
    TlvMainWnd* wr = c.make(w, nullptr, manager, params, true);
    Redraw(w);
    Pump();
    DestroyWindow(w);
    EXPECT_TRUE(wr->Destroyed);
    EXPECT_FALSE(IsWindow(w));
    delete wr;
    // Freed first: the window gets its own procedure back and keeps answering.
    w = Make(c.cls, L"Şişli", c.style, 10, 10, 200, 60, host);
    const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
    wr = c.make(w, nullptr, manager, params, true);
    EXPECT_NE(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
    Redraw(w);
    Pump();
    delete wr;
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
    EXPECT_EQ(GetPropW(w, L"LVSBSC"), nullptr);
    SetWindowTextW(w, L"Üsküdar");
    wchar_t text[16] = {};
    GetWindowTextW(w, text, 16);
    EXPECT_STREQ(text, L"Üsküdar");
    Redraw(w);
    Pump();
    DestroyWindow(w);
  }
}

TEST_F(Controls, GdiObjectsStayFlatOverAThousandRepaintsAndSkinChanges) {
  Board b = MakeBoard(host);
  Wrap<TlvBtnWnd>(b.push, L"TESTBTN");
  Wrap<TlvBtnWnd>(b.def);
  Wrap<TlvCheckBoxWnd>(b.check);
  Wrap<TlvCheckBoxWnd>(b.radio);
  Wrap<TlvCheckBoxWnd>(b.tri);
  Wrap<TlvGroupBoxWnd>(b.group);
  Wrap<TlvStaticWnd>(b.label);
  Wrap<TlvEdgeWnd>(b.edge);
  Wrap<TlvLinkWnd>(b.link);
  Wrap<TlvTabControlWnd>(b.tab);
  Wrap<TlvSpinWnd>(b.updown);
  Wrap<TlvTrackWnd>(b.track);
  Wrap<TlvToolBarWnd>(b.toolbar, L"TOOLBAR");
  Wrap<TlvStatusBarWnd>(b.status);
  const std::vector<HWND> all = b.All();
  auto cycle = [&](int i) {
    for (HWND h : all) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    SendMessageW(b.push, BM_SETSTATE, i % 2, 0);
    SendMessageW(b.check, BM_SETCHECK, i % 3 == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(b.tab, TCM_SETCURSEL, static_cast<WPARAM>(i % 3), 0);
    if (i % 100 == 0) {
      manager->SetSkinName(i % 200 ? L"Deniz" : L"Lale");
      Refresh(all);
    }
    Pump();
  };
  for (int i = 0; i < 120; ++i) cycle(i);  // caches and fonts made once
  const long before = GdiObjectCount();
  ASSERT_GT(before, 0) << "no way to count the process's GDI objects here";
  for (int i = 0; i < 1000; ++i) cycle(i);
  const long after = GdiObjectCount();
  EXPECT_LE(after, before + 4) << before << " -> " << after;
  std::printf("GDI objects over 1000 repaints and skin changes: %ld -> %ld\n", before, after);
}

TEST_F(Controls, CaptionRulesOfLinksAndToolButtons) {
  // Only the upper-case tags are the control's own; lower-case ones are text.
  EXPECT_EQ(TlvLinkWnd::StripTags(L"Bir <A>bağlantı</A> burada"), L"Bir bağlantı burada");
  EXPECT_EQ(TlvLinkWnd::StripTags(L"<a>küçük</a>"), L"<a>küçük</a>");
  rtl::String first, second;
  EXPECT_FALSE(TlvToolBarWnd::SplitCaption(L"Kayıt Defteri", first, second));
  ASSERT_TRUE(TlvToolBarWnd::SplitCaption(L"Yeni Sekmede Aç", first, second));
  EXPECT_EQ(first, L"Yeni");
  EXPECT_EQ(second, L"Sekmede Aç");
  ASSERT_TRUE(TlvToolBarWnd::SplitCaption(L"Bir İki Üç Dört", first, second));
  EXPECT_EQ(first, L"Bir İki");
  EXPECT_EQ(second, L"Üç Dört");
}

TEST_F(Controls, TrackBarTicksFollowTheStyleSideTabsPaintAndAGripAnswersItsCorner) {
  struct Case {
    DWORD style;
    bool above, below;
  };
  const Case cases[] = {{TBS_NOTICKS, false, false}, {0, false, true}, {TBS_TOP, true, false}, {TBS_BOTH, true, true}};
  int y0 = 10;
  std::vector<std::pair<HWND, TlvTrackWnd*>> tracks;
  for (const Case& c : cases) {
    HWND t = Make(L"msctls_trackbar32", L"", TBS_AUTOTICKS | c.style, 10, y0, 220, 46, host);
    SendMessageW(t, TBM_SETRANGE, TRUE, MAKELPARAM(0, 4));
    tracks.emplace_back(t, Wrap<TlvTrackWnd>(t));
    y0 += 56;
  }
  HWND tab = Make(L"SysTabControl32", L"", TCS_VERTICAL | TCS_MULTILINE | WS_CLIPSIBLINGS, 260, 10, 220, 160, host);
  AddTabs(tab, 3);
  Wrap<TlvTabControlWnd>(tab, L"TESTPAGE");
  HWND grip = Make(L"STATIC", L"", 0, 500, 10, 16, 16, host);
  Wrap<TlvSizerWnd>(grip);
  Redraw(host);
  for (size_t i = 0; i < tracks.size(); ++i) {
    SCOPED_TRACE(i);
    auto [h, w] = tracks[i];
    ASSERT_TRUE(WaitPixel(h, 1, 1, kLaleC.track));
    const std::vector<vcl::TPoint> ticks = w->TicksArray();
    if (cases[i].style == TBS_NOTICKS) {
      EXPECT_EQ(w->TickStyle(), TlvTrackWnd::tsNone);
      continue;
    }
    ASSERT_EQ(ticks.size(), 5u);  // the first and the last tick count too
    const vcl::TRect ch = w->ChannelRect(), th = w->ThumbRect();
    const int d = (th.Height() - ch.Height()) / 2 + 2;
    const int above = ch.Top - d - w->TickHeight + 1, below = ch.Bottom + d + 1;
    RECT wr;
    GetClientRect(h, &wr);
    auto tickAt = [&](int x, int y) {
      return y >= 0 && y < wr.bottom && !Near(WndPixel(h, x, y), kLaleC.track.ref(), 4);
    };
    for (const vcl::TPoint& p : ticks) {
      EXPECT_EQ(tickAt(p.X, above), cases[i].above) << p.X << " " << above;
      EXPECT_EQ(tickAt(p.X, below), cases[i].below) << p.X << " " << below;
    }
  }
  // Tabs on the left: the page keeps its section, the strip shows rotated captions.
  RECT cr;
  GetClientRect(tab, &cr);
  EXPECT_TRUE(WaitPixel(tab, cr.right - 10, cr.bottom / 2, kLaleC.page)) << Hex(WndPixel(tab, cr.right - 10, cr.bottom / 2));
  // A grip without the skin's grip image leaves its window unpainted but still answers as the corner.
  EXPECT_EQ(SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(505, 15)), HTBOTTOMRIGHT);
  SaveShot(host, "win29b_ticks_Lale");
}

TEST_F(Controls, ContainerSearchAndToolBarWindowsPaintTheirClientEdgeFromTheSkin) {
  struct Case {
    const char* name;
    const wchar_t* cls;
    TlvWndClass make;
    const wchar_t* section;
    Rgb ControlColours::*colour;
  };
  const Case cases[] = {
      {"container", L"STATIC", &CreateWrapper<TlvContainerWnd>, L"TESTPAGE", &ControlColours::page},
      {"search", L"STATIC", &CreateWrapper<TlvSearchWnd>, L"TESTPAGE", &ControlColours::page},
      {"tool bar", L"ToolbarWindow32", &CreateWrapper<TlvToolBarWnd>, L"TOOLBAR", &ControlColours::bar},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND h = Make(c.cls, L"", c.cls[0] == L'T' ? CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER : 0, 20, 20, 240, 60,
                  host, WS_EX_CLIENTEDGE);
    TlvSkinParams p;
    p.SkinSection = c.section;
    wrappers.push_back(c.make(h, nullptr, manager, p, true));
    const Rgb want = kLaleC.*c.colour;
    // The client edge: the section's band round the client area, on the screen.
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_TRUE(PumpUntil([&] {
      Redraw(h);
      return Near(ScreenPixel(wr.left + 1, wr.top + 1), want.ref());
    })) << Hex(ScreenPixel(wr.left + 1, wr.top + 1));
    if (c.make == &CreateWrapper<TlvContainerWnd>) {
      // Its client, printed into a bitmap of ours.
      RECT cr;
      GetClientRect(h, &cr);
      auto bmp = CreateBmp32(cr.right, cr.bottom);
      SendMessageW(h, WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), PRF_CLIENT);
      GdiFlush();
      EXPECT_TRUE(Near(GetPixel(bmp->Canvas()->Handle(), cr.right / 2, cr.bottom / 2), want.ref()));
    }
    SaveShot(h, std::string("win29_edge_") + c.name);
    DestroyWindow(h);
  }
}
