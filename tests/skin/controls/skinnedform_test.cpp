// A test form with each test skin active and with none: page controls with tabs on each side and close buttons,
// labels and a markup label with a link. Screenshots are saved (Z:\tmp\skin26b_form_<skin>.bmp) and looked at;
// chosen pixels are checked against the skin's sections; the page control is driven by messages (Ctrl+Tab, a
// close button, a click on a tab).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPageControl.h"
#include "skin/core/sMessages.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using namespace skintest;

namespace {

using ctltest::Narrow;
using ctltest::Near;
using ctltest::Rgb;
using ctltest::TabSections;
using ctltest::WaitFor;
using ctltest::kDenizTabs;
using ctltest::kLaleTabs;

std::uint32_t& Px(TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x]; }

// The form's client area as it is on the screen.
std::unique_ptr<TBitmap> Shot(TForm* f) {
  Application->ProcessMessages();
  RedrawWindow(f->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Application->ProcessMessages();
  return ctltest::ScreenClient(f->Handle());
}

class SkinnedForm : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    dir.AddFolder(L"Lale");
    dir.AddFolder(L"Deniz");
    for (auto [name, colours] : {std::pair{L"Lale", kLaleTabs}, std::pair{L"Deniz", kDenizTabs}})
      ctltest::AppendToOptions(dir, name, TabSections(colours));
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 700, 520);
    form->SetCaption(L"Sınama");
    host = Create<TForm>(Application);
    manager = Create<TsSkinManager>(host);
    manager->SetIsDefault(true);
    manager->SetActive(false);
    manager->SetSkinDirectory(dir.Path());
    const TTabPosition sides[4] = {tpTop, tpBottom, tpLeft, tpRight};
    for (int k = 0; k < 4; ++k) {
      auto* pc = Create<TsPageControl>(form);
      pc->SetParent(form);
      pc->SetTabPosition(sides[k]);
      pc->SetBounds(10 + (k % 2) * 340, 10 + (k / 2) * 200, 320, 180);
      for (int i = 0; i < 3; ++i) {
        auto* sheet = Create<TsTabSheet>(form);
        sheet->SetPageControl(pc);
        sheet->SetCaption(i == 0 ? L"Öğrenci" : i == 1 ? L"Veli" : L"Görüşme");
        sheet->SetHint(L"Sayfa " + rtl::IntToStr(i));
      }
      pc->SetActivePageIndex(0);
      pc->SetShowCloseBtns(k == 0);
      pages[k] = pc;
    }
    label = Create<TsLabel>(form);
    label->SetParent(pages[0]->Pages(0));
    label->SetBounds(10, 10, 200, 20);
    label->SetCaption(L"Öğrenci numarası: İĞÜŞÖÇ");
    label->Font()->SetSize(11);
    label->Font()->SetStyle(TFontStyles{fsBold});
    plain = Create<TsLabel>(form);
    plain->SetParent(form);
    plain->SetBounds(10, 420, 300, 20);
    plain->SetCaption(L"Okul adı");
    html = Create<TsHTMLLabel>(form);
    html->SetParent(form);
    html->SetBounds(10, 450, 400, 24);
    html->SetCaption(L"<b>Kılavuz:</b> <a href=\"http://example.org/kilavuz\">bağlantı</a> &copy; 2026");
    html->Font()->SetSize(11);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    if (form) form->Free();
    if (host) host->Free();
  }
  void Activate(const wchar_t* skin) {
    manager->SetSkinName(skin);
    manager->SetActive(true);
    Application->ProcessMessages();
  }

  TempSkinDir dir;
  TForm* form = nullptr;
  TForm* host = nullptr;
  TsSkinManager* manager = nullptr;
  TsPageControl* pages[4] = {};
  TsLabel* label = nullptr;
  TsLabel* plain = nullptr;
  TsHTMLLabel* html = nullptr;
};

void Save(TBitmap* b, const std::wstring& name) { ctltest::SaveOpaque(b, "skinnedform_" + ctltest::Narrow(name)); }

}  // namespace

TEST_F(SkinnedForm, EachSkinPaintsTabsBodyLabelsAndLinkFromItsSections) {
  for (auto [skin, colours] : {std::pair{L"Lale", kLaleTabs}, std::pair{L"Deniz", kDenizTabs}}) {
    SCOPED_TRACE(Narrow(skin));
    Activate(skin);
    ASSERT_TRUE(manager->CommonSkinData->Active);
    for (TsPageControl* pc : pages) ASSERT_TRUE(pc->Skinned());
    // Whichever control holds the focus, no focus rectangle crosses the checked points.
    for (TsPageControl* pc : pages) pc->SetShowFocus(false);
    auto shot = Shot(form);
    Save(shot.get(), std::wstring(L"form_") + skin);
    for (int k = 0; k < 4; ++k) {
      TsPageControl* pc = pages[k];
      SCOPED_TRACE(k);
      TBitmap* cache = pc->SkinData()->CacheBmp();
      ASSERT_EQ(cache->Width(), pc->Width());
      // An inactive tab: its section's normal colour just inside its corner; the active tab: the active colour.
      const TRect t2 = pc->SkinTabRect(2, false);
      ASSERT_GT(t2.Width(), 6);
      EXPECT_EQ(Px(cache, t2.Left + 2, t2.Top + 2) & 0xFFFFFF, Rgb(colours.Normal));
      const TRect t0 = pc->SkinTabRect(0, true);
      EXPECT_EQ(Px(cache, t0.Left + 2, t0.Top + 2) & 0xFFFFFF, Rgb(colours.Active));
      // The same points on the screen.
      const TPoint o = pc->ClientToScreen(TPoint(0, 0));
      const TPoint f = form->ClientToScreen(TPoint(0, 0));
      EXPECT_EQ(Px(shot.get(), o.X - f.X + t2.Left + 2, o.Y - f.Y + t2.Top + 2) & 0xFFFFFF, Rgb(colours.Normal));
      // The page body: what the control's section paints there.
      const TRect body = pc->PageRect();
      auto ref = CreateBmp32(pc->Width(), pc->Height());
      PaintItem(pc->SkinData()->SkinIndex, EmptyCI, true, 0, body, TPoint(0, 0), ref.get(), manager);
      const int bx = body.Left + 1, by = body.Top + body.Height() / 2;
      EXPECT_EQ(Px(cache, bx, by) & 0xFFFFFF, Px(ref.get(), bx, by) & 0xFFFFFF);
    }
    // Close buttons on the top control: the skin's close glyph is drawn right in each tab.
    const TRect b = pages[0]->CloseBtnRect(1);
    ASSERT_FALSE(b.Width() <= 0);
    EXPECT_NE(Px(pages[0]->SkinData()->CacheBmp(), b.Left + b.Width() / 2, b.Top + b.Height() / 2) & 0xFFFFFF,
              Rgb(colours.Normal));
    // Labels: the caption in the skin's label colour (some pixels near it where the text is).
    auto countNear = [&](TControl* c, TColor colour, int tol) {
      const TPoint o = c->Parent()->ClientToScreen(TPoint(c->Left(), c->Top()));
      const TPoint f = form->ClientToScreen(TPoint(0, 0));
      int n = 0;
      for (int y = 0; y < c->Height(); ++y)
        for (int x = 0; x < c->Width(); ++x)
          if (Near(Px(shot.get(), o.X - f.X + x, o.Y - f.Y + y), Rgb(colour), tol)) ++n;
      return n;
    };
    EXPECT_EQ(label->TextColor(), manager->Palette[pcLabelText]);
    EXPECT_GT(countNear(label, manager->Palette[pcLabelText], 24), 20);
    EXPECT_GT(countNear(plain, manager->Palette[pcLabelText], 24), 10);
    // The link in the palette's web-text colour.
    ASSERT_EQ(html->Links.size(), 1u);
    EXPECT_EQ(html->Links[0].URL, L"http://example.org/kilavuz");
    EXPECT_GT(countNear(html, manager->Palette[pcWebText], 24), 10);
    // A disabled label: 40 % of its colour over the parent's.
    plain->SetEnabled(false);
    EXPECT_EQ(plain->TextColor(), MixColors(manager->Palette[pcLabelText], ColorToRGB(form->Color()), 0.4));
    plain->SetEnabled(true);
  }
  // Removing the skin: the platform's look again.
  manager->SetActive(false);
  Application->ProcessMessages();
  for (TsPageControl* pc : pages) EXPECT_FALSE(pc->Skinned());
  EXPECT_EQ(label->TextColor(), label->Font()->Color());
  auto shot = Shot(form);
  Save(shot.get(), L"form_none");
}

TEST_F(SkinnedForm, CtrlTabSwitchesPagesAndAButtonClosesItsPage) {
  for (const wchar_t* skin : {L"Lale", L"Deniz", static_cast<const wchar_t*>(nullptr)}) {
    SCOPED_TRACE(skin ? Narrow(skin) : std::string("none"));
    if (skin) Activate(skin);
    else {
      manager->SetActive(false);
      Application->ProcessMessages();
    }
    TsPageControl* pc = pages[0];
    if (pc->PageCount() < 3) {
      auto* sheet = Create<TsTabSheet>(form);
      sheet->SetPageControl(pc);
      sheet->SetCaption(L"Yeni");
    }
    pc->SetActivePageIndex(0);
    pc->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return pc->Focused(); }, 5000));
    // Ctrl held while Tab goes to the focused page control: the next page, and from the last back to the first.
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(held));
    held[VK_CONTROL] = 0x80;
    SetKeyboardState(held);
    int changes = 0;
    pc->OnChange = [&](rtl::TObject*) { ++changes; };
    for (int expected : {1, 2, 0}) {
      PostMessageW(pc->Handle(), WM_KEYDOWN, VK_TAB, 0);
      EXPECT_TRUE(WaitFor([&] { return pc->ActivePageIndex() == expected; }, 5000)) << expected;
    }
    SetKeyboardState(keys);
    EXPECT_EQ(changes, 3);
    // Tab without Ctrl leaves the pages alone.
    // A page that may not become active stops Ctrl+Tab.
    pc->OnPageChanging = [](rtl::TObject*, TsTabSheet*, bool& allow) { allow = false; };
    SetKeyboardState(held);
    PostMessageW(pc->Handle(), WM_KEYDOWN, VK_TAB, 0);
    WaitFor([] { return false; }, 200);
    SetKeyboardState(keys);
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    pc->OnPageChanging = nullptr;

    // The close button of the second tab: press and release on it closes that page; the shown page stays.
    int closed = -1;
    pc->OnCloseBtnClick = [&](rtl::TObject*, int index, bool& canClose, TlvCloseAction& action) {
      closed = index;
      canClose = true;
      action = acaFree;
    };
    const int before = pc->PageCount();
    const TRect b = pc->CloseBtnRect(1);
    ASSERT_GT(b.Width(), 0);
    const LPARAM at = MAKELPARAM(b.Left + b.Width() / 2, b.Top + b.Height() / 2);
    SendMessageW(pc->Handle(), WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(pc->HoveredBtnIndex(), 1);
    SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(pc->PressedBtnIndex(), 1);
    SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(pc->PageCount(), before - 1);
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    // A release on a button without a press on one closes nothing; a refusing handler keeps the page.
    closed = -1;
    const TRect b1 = pc->CloseBtnRect(1);
    const LPARAM at1 = MAKELPARAM(b1.Left + b1.Width() / 2, b1.Top + b1.Height() / 2);
    SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, at1);
    EXPECT_EQ(closed, -1);
    pc->OnCloseBtnClick = [&](rtl::TObject*, int index, bool& canClose, TlvCloseAction&) {
      closed = index;
      canClose = false;
    };
    SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at1);
    SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, at1);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(pc->PageCount(), before - 1);
    // Closing the shown page with acaHide: its tab goes and a neighbour is shown.
    pc->OnCloseBtnClick = [&](rtl::TObject*, int, bool& canClose, TlvCloseAction& action) {
      canClose = true;
      action = acaHide;
    };
    const TRect b0 = pc->CloseBtnRect(0);
    const LPARAM at0 = MAKELPARAM(b0.Left + b0.Width() / 2, b0.Top + b0.Height() / 2);
    SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at0);
    SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, at0);
    EXPECT_FALSE(pc->Pages(0)->TabVisible());
    EXPECT_EQ(pc->ActivePageIndex(), 1);
    pc->Pages(0)->SetTabVisible(true);
    pc->OnCloseBtnClick = nullptr;
    pc->OnChange = nullptr;
    auto shot = Shot(form);
    Save(shot.get(), std::wstring(L"closed_") + (skin ? skin : L"none"));
  }
}

TEST_F(SkinnedForm, TheMarkupLabelsLinkTurnsHotAndOpensWhatWasPressed) {
  Activate(L"Deniz");
  html->SetCaption(L"<a href=\"first\">birinci</a> ve <a href=\"second\">ikinci</a>");
  html->Repaint();
  Application->ProcessMessages();
  ASSERT_EQ(html->Links.size(), 2u);
  std::vector<std::wstring> opened;
  auto keep = lvShellOpen;
  lvShellOpen = [&](const rtl::String& url, int) { opened.push_back(url); };
  auto centre = [&](int i) {
    const TRect& r = html->Links[static_cast<size_t>(i)].Bounds;
    return MAKELPARAM(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  };
  html->Perform(WM_MOUSEMOVE, 0, centre(0));
  EXPECT_EQ(html->HotLink, 0);
  EXPECT_EQ(html->Cursor(), crHandPoint);
  html->Perform(WM_LBUTTONDOWN, MK_LBUTTON, centre(0));
  EXPECT_EQ(html->PressedLink, 0);
  html->Perform(WM_MOUSEMOVE, MK_LBUTTON, centre(1));
  EXPECT_EQ(html->HotLink, 1);
  html->Perform(WM_LBUTTONUP, 0, centre(1));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], L"first");
  EXPECT_EQ(html->PressedLink, -1);
  html->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(html->HotLink, -1);
  EXPECT_EQ(html->Cursor(), crDefault);
  lvShellOpen = keep;
  EXPECT_EQ(html->PlainCaption(), L"birinci ve ikinci");
}
