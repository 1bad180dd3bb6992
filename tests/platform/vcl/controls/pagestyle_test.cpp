// The page control's tab style and hot tracking: read from form text into the window's own styles, kept across
// changes made at run time, and left out of written forms while at their defaults (forms without them read and
// look as before).
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/win.h"
#include <commctrl.h>

#include "platform/vcl/application.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"

using namespace vcl;

namespace {

String PagesText(const wchar_t* extra) {
  return String(L"object PageStyleForm: TForm\r\n"
                L"  Width = 420\r\n"
                L"  Height = 260\r\n"
                L"  object Pages: TPageControl\r\n"
                L"    Left = 0\r\n"
                L"    Top = 0\r\n"
                L"    Width = 400\r\n"
                L"    Height = 220\r\n") +
         extra +
         L"    object Sheet1: TTabSheet\r\n"
         L"      Caption = 'Okul Bilgiler'\r\n"
         L"    end\r\n"
         L"    object Sheet2: TTabSheet\r\n"
         L"      Caption = 'Genel Bilgi'\r\n"
         L"    end\r\n"
         L"  end\r\n"
         L"end\r\n";
}

struct StyleCase {
  const wchar_t* text;  // property lines added to the page control
  TTabStyle style;
  bool hotTrack;
  LONG_PTR want, notWant;  // window styles that must be (and must not be) set
};

TEST(PageStyle, TabStyleAndHotTrackReachTheWindowAndStayOutOfDefaultForms) {
  Application->Initialize();
  const StyleCase cases[] = {
      {L"", tsTabs, false, TCS_TABS, TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK},
      {L"    Style = tsButtons\r\n", tsButtons, false, TCS_BUTTONS, TCS_FLATBUTTONS | TCS_HOTTRACK},
      {L"    Style = tsFlatButtons\r\n    HotTrack = True\r\n", tsFlatButtons, true,
       TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK, 0},
      {L"    HotTrack = True\r\n", tsTabs, true, TCS_HOTTRACK, TCS_BUTTONS},
  };
  for (const StyleCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style) * 2 + (c.hotTrack ? 1 : 0));
    std::unique_ptr<TForm> form(new TForm(nullptr));
    ReadComponentText(PagesText(c.text), form.get(), L"TPAGESTYLEFORM");
    auto* pages = dynamic_cast<TPageControl*>(form->FindComponent(L"Pages"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->Style(), c.style);
    EXPECT_EQ(pages->HotTrack(), c.hotTrack);
    form->Show();
    const LONG_PTR ws = GetWindowLongPtrW(pages->Handle(), GWL_STYLE);
    EXPECT_EQ(ws & c.want, c.want);
    EXPECT_EQ(ws & c.notWant, 0);
    // Written back: only what differs from the defaults.
    const String written = WriteComponentText(form.get());
    EXPECT_EQ(written.find(L"Style = ") != String::npos, c.style != tsTabs);
    EXPECT_EQ(written.find(L"HotTrack") != String::npos, c.hotTrack);
    // Both tabs are still there and the pages still lie inside the control.
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_GT(pages->Pages(0)->Top(), 0);
  }
}

TEST(PageStyle, ChangingTheStyleAtRunTimeKeepsTabsSelectionAndPages) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  ReadComponentText(PagesText(L""), form.get(), L"TPAGESTYLEFORM");
  auto* pages = dynamic_cast<TPageControl*>(form->FindComponent(L"Pages"));
  ASSERT_NE(pages, nullptr);
  form->Show();
  pages->SetActivePageIndex(1);
  for (TTabStyle s : {tsButtons, tsFlatButtons, tsTabs}) {
    pages->SetStyle(s);
    pages->SetHotTrack(s != tsTabs);
    const LONG_PTR ws = GetWindowLongPtrW(pages->Handle(), GWL_STYLE);
    EXPECT_EQ((ws & TCS_BUTTONS) != 0, s != tsTabs);
    EXPECT_EQ((ws & TCS_FLATBUTTONS) != 0, s == tsFlatButtons);
    EXPECT_EQ((ws & TCS_HOTTRACK) != 0, s != tsTabs);
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_TRUE(pages->Pages(1)->Visible());
  }
}

}  // namespace
