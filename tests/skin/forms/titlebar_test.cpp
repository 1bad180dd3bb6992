// Title-bar items on a skinned form under each test skin (given a form border, a title section and sections for
// title-bar buttons and tabs for this test; menu buttons have none, so they take the built-in image): the layout in
// the caption, hit codes at chosen points, clicks by non-client mouse messages firing the items' events, tab
// groups, painting in the window image and in bitmaps of the test's own, the hover window, and the platform's own
// frame back once the skin is removed. Shots are saved to Z:\tmp\titlebar28_<skin>.bmp and looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/stdctrls.h"
#include "skin/core/sMessages.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sTitleBar.h"
#include "skin/render/sGraphUtils.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace vcl;
using namespace skintest;
using formtest::Centre;
using formtest::kSkins;
using formtest::Narrow;
using formtest::Near;
using formtest::Px;
using formtest::Rgb;
using formtest::ScreenShot;
using formtest::SkinCase;
using formtest::WaitFor;

namespace {

// The test sections' colours: a button's hot and pressed looks (its normal look is see-through) and the tab.
constexpr TColor kBtnHot = 0x00C0FF, kBtnPressed = 0x0060C0, kTab = 0x578B2E;

// The title-bar sections added after the form tests' own additions.
std::string TitleBarSections(const SkinCase& c) {
  using formtest::Hex;
  std::string options =
      "\r\n[TB_BTN]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=$808080\r\nTRANSPARENCY=100\r\nHOTCOLOR=" + Hex(kBtnHot) +
      "\r\nHOTTRANSPARENCY=0\r\nCOLOR2=" + Hex(kBtnPressed) +
      "\r\nTRANSPARENCY2=0\r\nFONTCOLOR=$000000\r\nHOTFONTCOLOR=$000000\r\nFONTCOLOR2=$FFFFFF\r\n";
  options += "\r\n[FORMHEADER]\r\nSTATES=2\r\nCOLOR=" + Hex(c.TitleInactive) + "\r\nHOTCOLOR=" + Hex(c.TitleActive) +
             "\r\nTRANSPARENCY=0\r\n";
  options += "\r\n[TB_TAB]\r\nSTATES=1\r\nCOLOR=" + Hex(kTab) + "\r\nFONTCOLOR=$FFFFFF\r\nTRANSPARENCY=0\r\n";
  return options;
}

std::uint32_t Pixel(TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x]; }
std::string HexPx(std::uint32_t v) { return Narrow(rtl::IntToHex(v, 8)); }

std::unique_ptr<TBitmap> Filled(int w, int h, std::uint32_t argb) {
  auto b = CreateBmp32(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<std::uint32_t*>(b->ScanLine(y))[x] = argb;
  return b;
}

// Puts itself in front of a control's window method and notes the header-band notices it gets.
struct NoticeRecorder : rtl::TObject {
  TControl* Ctrl = nullptr;
  TWndMethod Old;
  std::vector<WORD> Seen;
  void Attach(TControl* c) {
    Ctrl = c;
    Old = c->WindowProc;
    c->WindowProc = MakeWndMethod(this, &NoticeRecorder::Proc);
  }
  ~NoticeRecorder() override {
    if (Ctrl) Ctrl->WindowProc = Old;
  }
  void Proc(TMessage& m) {
    if (m.Msg == SM_LUMICMD && m.WParamLo() == 1 && m.LParam == 0 &&
        (m.WParamHi() == LVC_UPDATING || m.WParamHi() == LVC_SETBGCHANGED))
      Seen.push_back(m.WParamHi());
    Old(m);
  }
};

class TitleBarForm : public formtest::SkinnedFormFixture {
 protected:
  void SetUp() override {
    Application->Initialize();
    formtest::WriteSkins(dir, {kSkins[0], kSkins[1]}, TitleBarSections);
    host = Create<TForm>(Application);
    manager = formtest::NewManager(host, dir.Path());
    manager->Effects()->SetAllowAnimation(false);
    form = formtest::NewSecondaryForm(120, 90, 560, 300, L"Görüşme kayıtları");
    provider = Create<TsSkinProvider>(form);
    bar = Create<TsTitleBar>(form);
  }
  // The skin on and the window image rebuilt for the form's size.
  void Activate(const SkinCase& c) {
    manager->SetSkinName(c.Name);
    manager->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return provider->SkinData()->Skinned(true) && provider->SystemMenu; }));
    Rebuilt();
  }
  void Rebuilt() {
    ASSERT_TRUE(WaitFor([&] {
      TBitmap* cache = provider->SkinData()->CacheBmp();
      return cache && cache->Width() == form->Width() && !provider->SkinData()->BGChanged;
    }));
  }
  // The caption laid out again and repainted (as after any change of the items).
  void Relayout() {
    SendMessageW(W(), SM_LUMICMD, MakeLumiWParam(LVC_NCPAINT), 1);
    Rebuilt();
  }
  TlvTitleBarItem* Item(TlvBtnStyle style, TlvItemAlign align, int width, int height, const wchar_t* name) {
    TlvTitleBarItem* item = bar->Items()->Add();
    item->SetAutoSize(false);
    item->SetStyle(style);
    item->SetAlign(align);
    item->SetWidth(width);
    item->SetHeight(height);
    item->SetName(name);
    return item;
  }
  LPARAM ScreenPoint(int x, int y) { return formtest::ScreenPoint(W(), x, y); }
  LRESULT HitTest(vcl::TPoint p) { return SendMessageW(W(), WM_NCHITTEST, 0, ScreenPoint(p.X, p.Y)); }
  // Press and release with a given code (a press on the caption would start the system's move loop).
  void Press(int code, vcl::TPoint p) {
    SendMessageW(W(), WM_NCLBUTTONDOWN, code, ScreenPoint(p.X, p.Y));
    SendMessageW(W(), WM_NCLBUTTONUP, code, ScreenPoint(p.X, p.Y));
  }
  // Move, press and release over a point of the caption, each message with the code the hit test gives.
  void Click(vcl::TPoint p) {
    const LPARAM at = ScreenPoint(p.X, p.Y);
    SendMessageW(W(), WM_NCMOUSEMOVE, HitTest(p), at);
    SendMessageW(W(), WM_NCLBUTTONDOWN, HitTest(p), at);
    SendMessageW(W(), WM_NCLBUTTONUP, HitTest(p), at);
  }

  TsTitleBar* bar = nullptr;
  // The items' events as they come (a member: the events also come while the skin goes after the test).
  std::vector<std::wstring> log;
};

}  // namespace

// Left items start at the bar's left and touch; a right item ends at the bar's right; a centred one is centred on
// the whole title, one centred in the space between the groups is centred there; buttons are centred on the bar's
// middle, menus hang from its top and tabs stand on its bottom. Each item answers 2000 + its index in its rectangle
// (a disabled item, a spacer, an info label and a pressed tab answer no item code), and the bar stops short of the
// caption buttons.
TEST_F(TitleBarForm, ItemsAreLaidOutInTheirGroupsAndHitTested) {
  EXPECT_EQ(provider->TitleBar(), bar);
  TlvTitleBarItem* left1 = Item(bsButton, tbaLeft, 22, 18, L"Geri");
  TlvTitleBarItem* left2 = Item(bsMenu, tbaLeft, 30, 18, L"Menü");
  TlvTitleBarItem* right = Item(bsButton, tbaRight, 40, 16, L"Sağ");
  TlvTitleBarItem* centre = Item(bsButton, tbaCenter, 24, 16, L"Orta");
  TlvTitleBarItem* space = Item(bsSpacing, tbaRight, 10, 16, L"Boşluk");
  TlvTitleBarItem* tab = Item(bsTab, tbaCenterInSpace, 50, 30, L"Sekme");
  TlvTitleBarItem* info = Item(bsInfo, tbaLeft, 26, 16, L"Bilgi");
  TlvTitleBarItem* off = Item(bsButton, tbaLeft, 20, 16, L"Kapalı");
  off->SetEnabled(false);
  TlvTitleBarItem* hidden = Item(bsButton, tbaLeft, 20, 16, L"Gizli");
  hidden->SetVisible(false);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    Relayout();
    const vcl::TRect b = bar->BarRect();
    ASSERT_GT(b.Width(), 300);
    EXPECT_EQ(b.Left, provider->FIconRect.Right + 6);
    EXPECT_EQ(b.Bottom, provider->BorderHeight(true) + provider->CaptionHeight(true));
    EXPECT_LE(b.Right, provider->ButtonMin.Rect.Left - 6);
    EXPECT_EQ(bar->LeftWidth(), 22 + 30 + 26 + 20);
    EXPECT_EQ(bar->RightWidth(), 50);
    // Horizontal places.
    EXPECT_EQ(left1->Rect.Left, b.Left);
    EXPECT_EQ(left1->Rect.Right, b.Left + 22);
    EXPECT_EQ(left2->Rect.Left, b.Left + 22);
    EXPECT_EQ(info->Rect.Left, b.Left + 52);
    EXPECT_EQ(off->Rect.Left, b.Left + 78);
    EXPECT_EQ(right->Rect.Left, b.Right - 50);
    EXPECT_EQ(space->Rect.Right, b.Right);
    EXPECT_EQ(centre->Rect.Left, b.Left + (bar->FFullRight - b.Left - 24) / 2);
    EXPECT_EQ(tab->Rect.Left, b.Left + 98 + (b.Width() - 50 - 98 - 50) / 2);
    // Vertical places.
    EXPECT_EQ(left1->Rect.Top, bar->FBarVCenter - 9);
    EXPECT_EQ(right->Rect.Top, bar->FBarVCenter - 8);
    EXPECT_EQ(left2->Rect.Top, b.Top);
    EXPECT_EQ(tab->Rect.Bottom, b.Bottom);
    EXPECT_EQ(tab->Rect.Height(), 30);
    // Hit codes.
    struct Case {
      TlvTitleBarItem* It;
      LRESULT Code;
    };
    const Case cases[] = {{left1, HTITEM + 0}, {left2, HTITEM + 1}, {right, HTITEM + 2}, {centre, HTITEM + 3},
                          {space, HTCAPTION},  {tab, HTITEM + 5},   {info, HTCAPTION},   {off, HTCAPTION}};
    for (const Case& k : cases) {
      SCOPED_TRACE(Narrow(k.It->Name()));
      // A point of the item outside the centred one (the two groups may overlap; the first item wins there).
      vcl::TPoint p = Centre(k.It->Rect);
      if (k.It != centre && centre->Rect.Contains(p))
        p.X = centre->Rect.Contains(vcl::TPoint(k.It->Rect.Left + 1, p.Y)) ? k.It->Rect.Right - 2 : k.It->Rect.Left + 1;
      ASSERT_TRUE(k.It == centre || !centre->Rect.Contains(p));
      EXPECT_EQ(HitTest(p), k.Code);
    }
    // Between items and beside the bar: the caption.
    EXPECT_EQ(HitTest(vcl::TPoint(left1->Rect.Left - 2, Centre(left1->Rect).Y)), HTCAPTION);
    EXPECT_EQ(HitTest(vcl::TPoint(right->Rect.Left - 3, Centre(right->Rect).Y)), HTCAPTION);
    // A pressed tab is no target; the caption buttons keep theirs.
    tab->SetDown(true);
    EXPECT_EQ(HitTest(vcl::TPoint(tab->Rect.Left + 1, Centre(tab->Rect).Y)), HTCAPTION);
    tab->SetDown(false);
    EXPECT_EQ(HitTest(Centre(provider->ButtonClose.Rect)), HTCLOSE);
  }
}

// An AutoSize button with a 16 x 16 image and no caption becomes 22 x 22 (margins 3); a caption adds its width
// and the spacing; a tab adds 4 to the width and 1 to the height; a menu button with a drop-down menu adds its inner
// margins, a gap and the arrow.
TEST_F(TitleBarForm, AutoSizeMeasuresImageCaptionAndArrow) {
  auto* images = Create<TImageList>(form);
  images->SetSize(16, 16);
  auto glyph = Filled(16, 16, 0xFF3060A0);
  images->Add(glyph.get(), nullptr);
  bar->SetImages(images);
  TlvTitleBarItem* button = bar->Items()->Add();
  button->SetImageIndexValue(0);
  EXPECT_EQ(button->Width(), 22);
  EXPECT_EQ(button->Height(), 22);
  button->SetCaption(L"Kayıt İşlemleri");
  button->InitFont();
  const vcl::TSize cs = GetStringSize(button->FontData()->UsedFont->Handle(), L"Kayıt İşlemleri");
  ASSERT_GT(cs.cx, 40);
  EXPECT_EQ(button->Width(), 6 + 16 + 4 + cs.cx);
  EXPECT_EQ(button->Height(), std::max(16, 6 + std::max(16, static_cast<int>(cs.cy))));
  button->SetSpacing(10);
  EXPECT_EQ(button->Width(), 6 + 16 + 10 + cs.cx);
  TlvTitleBarItem* tab = bar->Items()->Add();
  tab->SetStyle(bsTab);
  tab->SetCaption(L"Kayıt İşlemleri");
  EXPECT_EQ(tab->Width(), 6 + cs.cx + 4);
  EXPECT_EQ(tab->Height(), 6 + cs.cy + 1);
  auto* menu = Create<TPopupMenu>(form);
  TlvTitleBarItem* menuBtn = bar->Items()->Add();
  menuBtn->SetDropdownMenu(menu);
  menuBtn->SetStyle(bsMenu);
  menuBtn->SetCaption(L"Kayıt İşlemleri");
  TFont marlett;
  marlett.Assign(menuBtn->FontData()->UsedFont.get());
  marlett.SetName(L"Marlett");
  marlett.SetCharset(DEFAULT_CHARSET);
  const int arrow = GetStringSize(marlett.Handle(), L"u").cx;
  ASSERT_GT(arrow, 0);
  EXPECT_EQ(menuBtn->Width(), 2 * (4 + 3) + cs.cx + 4 + arrow);
  // A spacer keeps the width given; an invisible item is not measured; the list's removal leaves the glyph.
  TlvTitleBarItem* space = bar->Items()->Add();
  space->SetStyle(bsSpacing);
  space->SetWidth(7);
  space->SetCaption(L"x");
  EXPECT_EQ(space->Width(), 7);
  images->Free();
  EXPECT_EQ(bar->Images(), nullptr);
  // An item placed on something other than a form is refused.
  EXPECT_THROW(new TsTitleBar(Application), rtl::EAbort);
}

// Clicks by mouse messages: a button's events fire in order with exactly one click; a disabled one fires nothing;
// a menu button with an empty drop-down menu clicks on release like a plain button; a menu button with items drops
// its menu (dropped down meanwhile) and clicks once it closes; tabs of a group release each other and leave other
// groups alone; pressing a tab that is down does nothing; hovering enters and leaves.
TEST_F(TitleBarForm, ClicksFireItemEventsAndTabsFormGroups) {
  // The events but leaves (the system also reports the pointer leaving when a menu opens or a window appears).
  auto noLeaves = [&] {
    std::vector<std::wstring> r;
    for (const std::wstring& e : log)
      if (e.find(L"leave") == std::wstring::npos) r.push_back(e);
    return r;
  };
  auto record = [&](TlvTitleBarItem* it) {
    it->OnClick = [&, it](rtl::TObject*) { log.push_back(it->Name() + L" click"); };
    it->OnMouseDown = [&, it](rtl::TObject*, TMouseButton, TShiftState, int, int) {
      log.push_back(it->Name() + L" down");
    };
    it->OnMouseUp = [&, it](rtl::TObject*, TMouseButton, TShiftState, int, int) { log.push_back(it->Name() + L" up"); };
    it->OnMouseEnter = [&, it](rtl::TObject*) { log.push_back(it->Name() + L" enter"); };
    it->OnMouseLeave = [&, it](rtl::TObject*) { log.push_back(it->Name() + L" leave"); };
  };
  TlvTitleBarItem* button = Item(bsButton, tbaLeft, 24, 18, L"b");
  TlvTitleBarItem* off = Item(bsButton, tbaLeft, 24, 18, L"off");
  off->SetEnabled(false);
  TlvTitleBarItem* emptyMenu = Item(bsMenu, tbaLeft, 30, 18, L"m0");
  auto* empty = Create<TPopupMenu>(form);
  emptyMenu->SetDropdownMenu(empty);
  TlvTitleBarItem* menuBtn = Item(bsMenu, tbaLeft, 30, 18, L"m1");
  auto* menu = Create<TPopupMenu>(form);
  auto* entry = new TMenuItem(form);
  entry->SetCaption(L"Öğrenci");
  menu->Items()->Add(entry);
  menuBtn->SetDropdownMenu(menu);
  TlvTitleBarItem* tabs[4];
  for (int i = 0; i < 4; ++i) {
    tabs[i] = Item(bsTab, tbaRight, 40, 20, i < 2 ? L"t1" : L"t2");
    tabs[i]->SetGroupIndex(i < 2 ? 1 : 2);
  }
  for (TlvTitleBarItem* it : {button, off, emptyMenu, menuBtn, tabs[0]}) record(it);
  tabs[1]->SetDown(true);
  tabs[3]->SetDown(true);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    Relayout();
    log.clear();
    Click(Centre(button->Rect));
    EXPECT_EQ(noLeaves(), (std::vector<std::wstring>{L"b enter", L"b down", L"b up", L"b click"}));
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(biClicked);
    // Moving off the item makes it leave.
    log.clear();
    SendMessageW(W(), WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(button->Rect.Left - 3, Centre(button->Rect).Y));
    EXPECT_EQ(log, std::vector<std::wstring>{L"b leave"});
    EXPECT_EQ(button->State(), 0);
    // A disabled item is no target; a press and release carrying its code (sent before it was disabled) do nothing.
    log.clear();
    EXPECT_EQ(HitTest(Centre(off->Rect)), HTCAPTION);
    Press(HTITEM + 1, Centre(off->Rect));
    EXPECT_TRUE(log.empty());
    log.clear();
    Click(Centre(emptyMenu->Rect));
    EXPECT_EQ(noLeaves(), (std::vector<std::wstring>{L"m0 enter", L"m0 down", L"m0 up", L"m0 click"}));
    // The menu with an item: it is open (the item dropped down) until the test closes it.
    log.clear();
    bool droppedWhileOpen = false;
    static TlvTitleBarItem* watched;
    static bool* seen;
    watched = menuBtn;
    seen = &droppedWhileOpen;
    static DWORD deadline;
    deadline = GetTickCount() + 20000;
    // The popup's own modal loop dispatches this timer; the menu is closed once it shows (or at the deadline).
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
      HWND popup = nullptr;
      for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
        if (IsWindowVisible(w)) popup = w;
      if (!popup && GetTickCount() < deadline) return;
      *seen = popup && watched->DroppedDown() && watched->State() == 2;
      EndMenu();
    });
    const vcl::TPoint mp = Centre(menuBtn->Rect);
    SendMessageW(W(), WM_NCMOUSEMOVE, HitTest(mp), ScreenPoint(mp.X, mp.Y));
    SendMessageW(W(), WM_NCLBUTTONDOWN, HitTest(mp), ScreenPoint(mp.X, mp.Y));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(droppedWhileOpen);
    EXPECT_FALSE(menuBtn->DroppedDown());
    EXPECT_EQ(noLeaves(), (std::vector<std::wstring>{L"m1 enter", L"m1 down", L"m1 click"}));
    // The release that ended the menu's loop clicks nothing more.
    SendMessageW(W(), WM_NCLBUTTONUP, HitTest(mp), ScreenPoint(mp.X, mp.Y));
    EXPECT_EQ(std::count(log.begin(), log.end(), L"m1 click"), 1);
    // Tabs: pressing tab 0 of group 1 releases tab 1, leaves group 2's pressed tab; pressing it again does nothing.
    log.clear();
    tabs[0]->SetDown(false);
    tabs[1]->SetDown(true);
    Relayout();
    Click(Centre(tabs[0]->Rect));
    // A tab clicks on the press; it is never held, so no release reaches it.
    EXPECT_EQ(noLeaves(), (std::vector<std::wstring>{L"t1 enter", L"t1 down", L"t1 click"}));
    EXPECT_TRUE(tabs[0]->Down());
    EXPECT_FALSE(tabs[1]->Down());
    EXPECT_FALSE(tabs[2]->Down());
    EXPECT_TRUE(tabs[3]->Down());
    EXPECT_EQ(tabs[0]->State(), 2);
    log.clear();
    EXPECT_EQ(HitTest(Centre(tabs[0]->Rect)), HTCAPTION);
    Press(HTITEM + 4, Centre(tabs[0]->Rect));
    EXPECT_TRUE(tabs[0]->Down());
    EXPECT_FALSE(tabs[1]->Down());
    EXPECT_EQ(noLeaves(), std::vector<std::wstring>{});
  }
}

// The window image: a tab shows its section's colour, standing on the bar's bottom and cut to the bar's height less
// 2; a normal button shows the title through it; a menu button without a section shows the built-in image; the
// screen shows the image. In a bitmap of the test's own a pressed button shows its pressed colour (the area cleared
// to transparent first), a hot one its hot colour, a disabled one is blended half over what was there. Without
// ShowCaption the form's caption is not drawn.
TEST_F(TitleBarForm, ItemsArePaintedFromTheirSections) {
  TlvTitleBarItem* button = Item(bsButton, tbaLeft, 26, 18, L"b");
  TlvTitleBarItem* menuBtn = Item(bsMenu, tbaLeft, 40, 18, L"m");
  TlvTitleBarItem* tab = Item(bsTab, tbaRight, 60, 40, L"t");
  tab->SetCaption(L"Şube");
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    bar->SetShowCaption(true);
    Activate(c);
    Relayout();
    ASSERT_TRUE(WaitFor([&] { return provider->FormActive; }));
    Relayout();
    TBitmap* cache = provider->SkinData()->CacheBmp();
    const std::uint32_t title = Rgb(c.TitleActive);
    const vcl::TRect b = bar->BarRect();
    // The tab: a 60 x 40 item in a shorter bar is painted (bar height - 2) high from the bottom, 2 less when up.
    ASSERT_LT(b.Height(), 40);
    const int tabTop = b.Bottom - (b.Height() - 2) + 2;
    EXPECT_EQ(Px(cache, tab->Rect.Left + 2, b.Bottom - 2), Rgb(kTab));
    EXPECT_EQ(Px(cache, tab->Rect.Left + 2, tabTop), Rgb(kTab));
    EXPECT_NE(Px(cache, tab->Rect.Left + 2, tabTop - 1), Rgb(kTab));
    // Its caption in white somewhere over it.
    int white = 0;
    for (int y = tabTop; y < b.Bottom; ++y)
      for (int x = tab->Rect.Left; x < tab->Rect.Right; ++x) white += Near(Px(cache, x, y), 0xFFFFFF, 40);
    EXPECT_GT(white, 5);
    // A pressed tab keeps its full height (bar height - 2) and its one-state section's colour.
    tab->SetDown(true);
    Rebuilt();
    EXPECT_EQ(Px(provider->SkinData()->CacheBmp(), tab->Rect.Left + 2, tabTop - 2), Rgb(kTab));
    EXPECT_EQ(Px(provider->SkinData()->CacheBmp(), tab->Rect.Left + 2, b.Bottom - 2), Rgb(kTab));
    tab->SetDown(false);
    Rebuilt();
    cache = provider->SkinData()->CacheBmp();
    // The button in its normal state: the title's colour.
    EXPECT_EQ(Px(cache, button->Rect.Left + 2, Centre(button->Rect).Y), title);
    // The menu button: the built-in image's normal frame (its face, premultiplied at full alpha).
    TBitmap* builtIn = bar->FDefaultMenuBtn.get();
    ASSERT_FALSE(builtIn->Empty());
    EXPECT_EQ(builtIn->Width(), 78);
    const std::uint32_t face = Px(builtIn, 13, 14);
    EXPECT_EQ(Pixel(builtIn, 13, 14) >> 24, 255u);
    EXPECT_TRUE(Near(Px(cache, Centre(menuBtn->Rect).X, menuBtn->Rect.Top + 12), face, 12))
        << HexPx(Px(cache, Centre(menuBtn->Rect).X, menuBtn->Rect.Top + 12)) << " " << HexPx(face);
    // The screen shows the image.
    auto shot = ScreenShot(W());
    formtest::SaveOpaque(shot.get(), "titlebar_" + Narrow(c.Name));
    for (vcl::TPoint p : {vcl::TPoint(tab->Rect.Left + 2, b.Bottom - 2), Centre(menuBtn->Rect),
                          vcl::TPoint(button->Rect.Left + 2, Centre(button->Rect).Y)}) {
      SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
      EXPECT_TRUE(Near(Px(shot.get(), p.X, p.Y), Px(cache, p.X, p.Y)));
    }
    // The form's caption between the groups: drawn with ShowCaption, not without.
    auto captionPixels = [&] {
      TBitmap* img = provider->SkinData()->CacheBmp();
      int n = 0;
      for (int y = b.Top + 2; y < b.Bottom - 1; ++y)
        for (int x = b.Left + bar->LeftWidth() + 8; x < tab->Rect.Left - 8; ++x) n += Px(img, x, y) != title;
      return n;
    };
    EXPECT_GT(captionPixels(), 10);
    bar->SetShowCaption(false);
    Rebuilt();
    EXPECT_EQ(captionPixels(), 0);
    // Bitmaps of the test's own.
    auto own = Filled(30, 20, 0xFF102030);
    button->SetState(2);
    provider->PaintTitleItem(button, vcl::TRect(0, 0, 30, 20), own.get());
    EXPECT_TRUE(Near(Px(own.get(), 2, 2), Rgb(kBtnPressed), 2)) << HexPx(Px(own.get(), 2, 2));
    button->SetState(1);
    provider->PaintTitleItem(button, vcl::TRect(0, 0, 30, 20), own.get());
    EXPECT_TRUE(Near(Px(own.get(), 2, 2), Rgb(kBtnHot), 2)) << HexPx(Px(own.get(), 2, 2));
    button->SetState(0);
    own = Filled(30, 20, 0xFF102030);
    provider->PaintTitleItem(button, vcl::TRect(0, 0, 30, 20), own.get());
    EXPECT_EQ(Pixel(own.get(), 2, 2), 0u);  // see-through: the cleared area stays
    own = Filled(30, 20, 0xFF000000);
    button->SetEnabled(false);
    button->SetState(2);
    provider->PaintTitleItem(button, vcl::TRect(0, 0, 30, 20), own.get());
    const std::uint32_t pressed = Rgb(kBtnPressed);
    const std::uint32_t half =
        (((pressed >> 16) & 0xFF) / 2 << 16) | (((pressed >> 8) & 0xFF) / 2 << 8) | ((pressed & 0xFF) / 2);
    EXPECT_TRUE(Near(Px(own.get(), 2, 2), half, 4)) << HexPx(Px(own.get(), 2, 2)) << " " << HexPx(half);
    button->SetEnabled(true);
    button->SetState(0);
  }
}

// Hovering a button under the real pointer shows its hot look in a layered window over it: never active, clicks
// passing through, at full opacity at once with the manager's animation off; when the pointer leaves, the item goes
// normal and the window goes.
TEST_F(TitleBarForm, HoverShowsTheItemInALayeredWindow) {
  TlvTitleBarItem* button = Item(bsButton, tbaLeft, 30, 18, L"b");
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    Relayout();
    RECT wr;
    GetWindowRect(W(), &wr);
    const vcl::TPoint p = Centre(button->Rect);
    SetCursorPos(wr.left + p.X, wr.top + p.Y);
    SendMessageW(W(), WM_NCMOUSEMOVE, HitTest(p), ScreenPoint(p.X, p.Y));
    ASSERT_NE(button->Timer, nullptr);
    TlvItemAnimation* t = button->Timer;
    ASSERT_TRUE(t->AForm);
    EXPECT_EQ(t->LastBlend, 255);
    const HWND fw = t->AForm->Handle();
    formtest::ExpectHoverWindow(fw, wr, button->Rect);
    const RECT fr = formtest::WindowRectOf(fw);
    EXPECT_EQ(fr.bottom - fr.top, button->Rect.Height());
    // Its image is the item's hot look.
    ASSERT_TRUE(t->NewBmp);
    EXPECT_TRUE(Near(Px(t->NewBmp.get(), 2, 2), Rgb(kBtnHot), 2)) << HexPx(Px(t->NewBmp.get(), 2, 2));
    EXPECT_EQ(Pixel(t->NewBmp.get(), 2, 2) >> 24, 255u);  // opaque in the layered window
    EXPECT_EQ(HitTest(p), HTITEM);
    if (c.Name == std::wstring(L"Lale")) {
      // The screen as it is once the system has shown the window (no repaint asked).
      const DWORD start = GetTickCount();
      WaitFor([&] { return GetTickCount() - start > 200; });
      auto shot = CreateBmp32(wr.right - wr.left, 60);
      HDC screen = GetDC(nullptr);
      BitBlt(shot->Canvas()->Handle(), 0, 0, shot->Width(), shot->Height(), screen, wr.left, wr.top, SRCCOPY);
      ReleaseDC(nullptr, screen);
      GdiFlush();
      formtest::SaveOpaque(shot.get(), "titlebar_hover");
    }
    // The pointer leaves: the item goes normal and the window goes away.
    SetCursorPos(wr.left + form->Width() / 2, wr.top + form->Height() / 2);
    ASSERT_TRUE(WaitFor([&] { return button->State() == 0; }));
    ASSERT_TRUE(WaitFor([&] { return !button->Timer || !button->Timer->AForm; }));
  }
}

// With the skin removed the form has its own frame back (styles, no region, the platform's hit test and pixels),
// the items are not targets any more and clicks on their places fire nothing.
TEST_F(TitleBarForm, RemovingTheSkinGivesTheFormItsOwnFrame) {
  TlvTitleBarItem* button = Item(bsButton, tbaLeft, 26, 18, L"b");
  int clicks = 0;
  button->OnClick = [&](rtl::TObject*) { ++clicks; };
  Show();
  const LONG_PTR style = GetWindowLongPtrW(W(), GWL_STYLE);
  auto before = ScreenShot(W());
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    Relayout();
    const vcl::TPoint p = Centre(button->Rect);
    Click(p);
    EXPECT_EQ(clicks, 1);
    manager->SetActive(false);
    Application->ProcessMessages();
    EXPECT_EQ(GetWindowLongPtrW(W(), GWL_STYLE), style);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(W(), rgn), ERROR);
    DeleteObject(rgn);
    EXPECT_EQ(HitTest(p), HTCAPTION);
    // A press and release carrying the item's code reach the system, not the item.
    Press(HTITEM, p);
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    clicks = 0;
  }
  // The system repaints its own frame when it gets to it: on a busy machine that can be after the skin has gone.
  int differing = -1;
  const bool same = WaitFor([&] {
    auto shot = ScreenShot(W());
    if (shot->Width() != before->Width() || shot->Height() != before->Height()) return false;
    differing = 0;
    for (int y = 0; y < shot->Height(); ++y)
      for (int x = 0; x < shot->Width(); ++x) differing += Px(shot.get(), x, y) != Px(before.get(), x, y);
    if (differing == 0) formtest::SaveOpaque(shot.get(), "titlebar_removed");
    return differing == 0;
  });
  EXPECT_TRUE(same) << differing << " pixels differ from the form before the skin";
  // The title bar goes before the provider: the provider lets go of it.
  bar->Free();
  bar = nullptr;
  EXPECT_EQ(provider->TitleBar(), nullptr);
}

// The built-in image's helpers: inverted alpha turned round and premultiplied (the key colour left alone); a
// rectangle copied without key pixels and clipped at both bitmaps' edges; a nine-slice copy keeping corners and
// stretching the rest.
TEST(TitleBarBitmaps, AlphaCopyAndNineSlice) {
  auto b = Filled(3, 1, 0);
  auto* row = static_cast<std::uint32_t*>(b->ScanLine(0));
  row[0] = 0x00804020;  // alpha 0 stored: opaque
  row[1] = 0xFFFF00FF;  // the key colour
  row[2] = 0x80FFFFFF;  // half
  UpdateAlphaTitle(b.get());
  EXPECT_EQ(row[0], 0xFF7F3F1Fu);
  EXPECT_EQ(row[1], 0xFFFF00FFu);
  EXPECT_EQ(row[2], 0x7F7E7E7Eu);

  auto src = Filled(4, 4, 0xFF112233);
  static_cast<std::uint32_t*>(src->ScanLine(1))[1] = 0xFFFF00FF;
  auto dst = Filled(4, 4, 0xFF000000);
  CopyTransRect(dst.get(), src.get(), 2, 2, vcl::TRect(0, 0, 9, 9));  // clipped to the source and the target
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      const bool copied = x >= 2 && y >= 2 && !(x == 3 && y == 3);
      EXPECT_EQ(Pixel(dst.get(), x, y), copied ? 0xFF112233u : 0xFF000000u);
    }

  // A 6 x 6 source: corners 2 x 2 of their own colours, the rest grey; into 20 x 10.
  auto nine = Filled(6, 6, 0xFF808080);
  const std::uint32_t corners[4] = {0xFF0000AA, 0xFF00AA00, 0xFFAA0000, 0xFFAAAA00};
  for (int k = 0; k < 4; ++k)
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x)
        static_cast<std::uint32_t*>(nine->ScanLine((k / 2) * 4 + y))[(k % 2) * 4 + x] = corners[k];
  auto out = Filled(24, 14, 0xFF000000);
  PaintItemNoAlpha(out.get(), nine.get(), vcl::TRect(2, 2, 22, 12), vcl::TRect(2, 2, 2, 2), vcl::TRect(0, 0, 6, 6));
  EXPECT_EQ(Px(out.get(), 2, 2), corners[0] & 0xFFFFFF);
  EXPECT_EQ(Px(out.get(), 21, 2), corners[1] & 0xFFFFFF);
  EXPECT_EQ(Px(out.get(), 2, 11), corners[2] & 0xFFFFFF);
  EXPECT_EQ(Px(out.get(), 21, 11), corners[3] & 0xFFFFFF);
  EXPECT_EQ(Px(out.get(), 12, 7), 0x808080u);
  EXPECT_EQ(Px(out.get(), 12, 2), 0x808080u);
  EXPECT_EQ(Px(out.get(), 1, 1), 0u);
  EXPECT_EQ(Px(out.get(), 22, 12), 0u);
}

// Plain labels of a skinned form take the skin's font colour and lose their opaque style; a label with Tag bit $100
// is left alone; with the skin removed each gets its own colour (or its parent's) and style back. A label freed
// while its colour is kept is forgotten.
TEST_F(TitleBarForm, LabelsTakeTheSkinFontColourAndGiveTheirOwnBack) {
  auto label = [&](TColor colour, rtl::Int64 tag) {
    auto* l = Create<TLabel>(form);
    l->SetParent(form);
    l->SetCaption(L"Öğrenci");
    if (colour != clNone) l->Font()->SetColor(colour);
    l->SetTag(tag);
    return l;
  };
  TLabel* plain = label(clRed, 0);
  TLabel* inherits = label(clNone, 0);
  TLabel* kept = label(clGreen, 0x100);
  const TColor formColour = form->Font()->Color();
  ASSERT_NE(formColour, clRed);
  const bool inheritsAtFirst = inherits->ParentFont();
  // The skin first, then the form shows (its controls are adapted then); later the skin changes on a shown form.
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    manager->SetSkinName(c.Name);
    manager->SetActive(true);
    Show();
    const TColor global = manager->GetGlobalFontColor();
    ASSERT_TRUE(WaitFor([&] { return plain->Font()->Color() == global; }));
    EXPECT_EQ(inherits->Font()->Color(), global);
    EXPECT_EQ(kept->Font()->Color(), clGreen);
    EXPECT_FALSE(plain->ControlStyle().Contains(csOpaque));
    manager->SetActive(false);
    Application->ProcessMessages();
    EXPECT_EQ(plain->Font()->Color(), clRed);
    EXPECT_EQ(inherits->Font()->Color(), formColour);
    EXPECT_EQ(inherits->ParentFont(), inheritsAtFirst);
    EXPECT_EQ(kept->Font()->Color(), clGreen);
    EXPECT_TRUE(plain->ControlStyle().Contains(csOpaque));
  }
  manager->SetActive(true);
  ASSERT_TRUE(WaitFor([&] { return plain->Font()->Color() == manager->GetGlobalFontColor(); }));
  plain->Free();
  manager->SetActive(false);
  Application->ProcessMessages();
  EXPECT_EQ(inherits->Font()->Color(), formColour);
  EXPECT_TRUE(provider->SavedLabelColors.empty());
}

// With a header band under the title, an activation change tells every control of the form (windowed ones by a
// sent message, others through their window method) that what lies behind them changed: updating, then a new
// background. Without a header band nothing is sent.
TEST_F(TitleBarForm, ActivationTellsTheHeaderBandControlsOfTheirNewBackground) {
  auto* panel = Create<TPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(4, 4, 120, 30);
  auto* label = Create<TLabel>(panel);
  label->SetParent(panel);
  NoticeRecorder onPanel, onLabel;
  onPanel.Attach(panel);
  onLabel.Attach(label);
  Show();
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(Narrow(c.Name));
    Activate(c);
    const std::vector<WORD> expected{LVC_UPDATING, LVC_SETBGCHANGED};
    provider->FormHeader()->SetAdditionalHeight(0);
    onPanel.Seen.clear();
    onLabel.Seen.clear();
    SendMessageW(W(), WM_NCACTIVATE, 0, 0);
    EXPECT_TRUE(onPanel.Seen.empty());
    EXPECT_TRUE(onLabel.Seen.empty());
    provider->FormHeader()->SetAdditionalHeight(20);
    ASSERT_TRUE(provider->HeaderUsed());
    SendMessageW(W(), WM_NCACTIVATE, 1, 0);
    EXPECT_EQ(onPanel.Seen, expected);
    EXPECT_EQ(onLabel.Seen, expected);
    provider->FormHeader()->SetAdditionalHeight(0);
  }
}

// A caption's own glow (UseSysGlowing off) is drawn around its text in the glow colour; with size 0 none is.
TEST_F(TitleBarForm, OwnGlowIsDrawnAroundTheCaption) {
  TlvTitleBarItem* button = Item(bsButton, tbaLeft, 70, 22, L"b");
  button->SetCaption(L"Şube");
  Show();
  Activate(kSkins[0]);
  Relayout();
  button->SetState(2);  // the pressed look: an opaque brown face behind the text
  auto paint = [&] {
    auto b = Filled(70, 22, 0xFF000000);
    provider->PaintTitleItem(button, vcl::TRect(0, 0, 70, 22), b.get());
    return b;
  };
  button->FontData()->SetUseSysGlowing(false);
  button->FontData()->SetGlowSize(0);
  auto plain = paint();
  button->FontData()->SetGlowColor(clLime);
  button->FontData()->SetGlowSize(4);
  auto glowing = paint();
  int greener = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 70; ++x) {
      const int g0 = (Px(plain.get(), x, y) >> 8) & 0xFF, g1 = (Px(glowing.get(), x, y) >> 8) & 0xFF;
      greener += g1 > g0 + 20;
    }
  EXPECT_GT(greener, 10);
  button->SetState(0);
}
