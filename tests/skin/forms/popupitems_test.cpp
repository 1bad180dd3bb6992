// Skinned popup items beyond plain text: round marks of radio items, item pictures (the item's bitmap or its menu's
// image list), the application's font per item, the extra line down the popup's left side with its own section,
// text and query, and popups of several columns; the last two also in a real open popup (shot:
// $TAVREL_SHOTS/popup_columns.png).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/png.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "tests/common/paths.h"
#include "tests/skin/core/skintest.h"
#include "tests/skin/forms/formtest.h"

using namespace skintest;

namespace {

using formtest::Distance;
using formtest::Pixels;
using formtest::SaveScreenRect;

// The extra line's section and a round mark (the master bitmap's grey box, unlike its tick) added to the test skin.
constexpr COLORREF kExtraColor = RGB(0x10, 0xA0, 0x30);
constexpr COLORREF kExtraText = RGB(0xFF, 0xFF, 0x00);
std::string Extend(const std::vector<rtl::Byte>& bytes) {
  std::string options(bytes.begin(), bytes.end());
  const std::string header = "[GLOBALINFO]\r\n";
  options.insert(options.find(header) + header.size(), "RADIOCHECKED=@0112,0000,0128,0016,1,0\r\n");
  return options + "\r\n[EXTRALINE]\r\nCOLOR=$30A010\r\nFONTCOLOR=$00FFFF\r\nTRANSPARENCY=0\r\n";
}

class PopupItems : public ::testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    dir.AddFolder(L"Lale");
    dir.Write(L"Lale\\Options.dat", Extend(SourceBytes(L"Lale\\Options.dat")));
    form_ = new vcl::TForm(vcl::Application);
    form_->SetBounds(200, 60, 360, 240);
    manager_ = new TsSkinManager(form_);
    manager_->SetIsDefault(true);
    manager_->SetSkinDirectory(dir.Path());
    manager_->SetSkinName(L"Lale");
    menu_ = new vcl::TPopupMenu(form_);
    form_->Show();
    manager_->SetActive(true);
    ASSERT_TRUE(manager_->CommonSkinData->Active);
    menus_ = dynamic_cast<TsSkinMenus*>(manager_->SkinableMenus());
    ASSERT_NE(menus_, nullptr);
    section_ = manager_->GetSkinIndex(L"MENUITEM");
    ASSERT_TRUE(manager_->IsValidSkinIndex(section_));
  }
  void TearDown() override { delete form_; }

  vcl::TMenuItem* Add(const wchar_t* caption, vcl::TMenuItem* parent = nullptr) {
    auto* item = new vcl::TMenuItem(form_);
    item->SetCaption(caption);
    item->OnClick = [this](rtl::TObject* s) { clicked_ = dynamic_cast<vcl::TMenuItem*>(s); };
    (parent ? parent : menu_->Items())->Add(item);
    return item;
  }
  void Hook() { menus_->HookPopupMenu(menu_, true); }
  COLORREF SectionColor(int state) const {
    return vcl::ColorToGdi(manager_->gd[static_cast<size_t>(section_)].Props[static_cast<size_t>(state)].Color);
  }
  MEASUREITEMSTRUCT Measure(vcl::TMenuItem* item) { return formtest::MeasureMenuItem(form_->Handle(), item); }
  Pixels Draw(vcl::TMenuItem* item, UINT state, int width = 200) {
    return formtest::DrawMenuItem(form_->Handle(), item, state, width);
  }
  // Pixels of the image column (left of the text) farther than 40 from bg.
  int ColumnInk(const Pixels& p, COLORREF bg, int from = 0) const {
    int n = 0;
    for (int y = 0; y < p.h; ++y)
      for (int x = from; x < from + 16 + 2 * menus_->Margin(); ++x) n += Distance(p.At(x, y), bg) > 40;
    return n;
  }

  TempSkinDir dir;
  vcl::TForm* form_ = nullptr;
  TsSkinManager* manager_ = nullptr;
  TsSkinMenus* menus_ = nullptr;
  vcl::TPopupMenu* menu_ = nullptr;
  vcl::TMenuItem* clicked_ = nullptr;
  int section_ = -1;
};

}  // namespace

TEST_F(PopupItems, RadioMarksPicturesAndTheApplicationsFont) {
  auto* tick = Add(L"Kal\u0131n");
  tick->SetChecked(true);
  auto* round = Add(L"\u0130talik");
  round->SetRadioItem(true);
  round->SetChecked(true);
  auto* roundOff = Add(L"D\u00fcz");
  roundOff->SetRadioItem(true);
  // A picture from the menu's image list and one of the item's own.
  vcl::TImageList images(form_);
  images.SetSize(16, 16);
  {
    vcl::TBitmap red;
    red.SetPixelFormat(vcl::pf24bit);
    red.SetSize(16, 16);
    red.Canvas()->Brush()->SetColor(vcl::clRed);
    red.Canvas()->FillRect(vcl::Rect(0, 0, 16, 16));
    images.Add(&red, nullptr);
  }
  menu_->SetImages(&images);
  auto* listed = Add(L"Kaydet");
  listed->SetImageIndex(0);
  auto* own = Add(L"Yazd\u0131r");
  own->Bitmap()->SetPixelFormat(vcl::pf24bit);
  own->Bitmap()->SetSize(24, 24);
  own->Bitmap()->Canvas()->Brush()->SetColor(vcl::clBlue);
  own->Bitmap()->Canvas()->FillRect(vcl::Rect(0, 0, 24, 24));
  // The bottom-left pixel is the picture's transparent colour.
  SetPixel(own->Bitmap()->Canvas()->Handle(), 0, 23, RGB(255, 255, 255));
  auto* outOfRange = Add(L"Yok");
  outOfRange->SetImageIndex(5);
  // The application's font for one item: its own colour and boldness.
  std::vector<std::pair<vcl::TMenuItem*, unsigned>> asked;
  manager_->OnGetPopupItemData = [&](vcl::TMenuItem* item, unsigned state, vcl::TFont* font) {
    asked.emplace_back(item, state);
    if (item == own) {
      font->SetColor(vcl::clRed);
      font->SetStyle(vcl::TFontStyles{vcl::fsBold});
    }
  };
  Hook();

  // Radio: a round mark, not the tick; an unchecked radio item shows none.
  const Pixels t = Draw(tick, 0), r = Draw(round, 0);
  EXPECT_GT(ColumnInk(t, SectionColor(0)), 4);
  EXPECT_GT(ColumnInk(r, SectionColor(0)), 4);
  int differ = 0;
  for (int y = 0; y < t.h; ++y)
    for (int x = 0; x < 16 + 2 * menus_->Margin(); ++x) differ += Distance(t.At(x, y), r.At(x, y)) > 40;
  EXPECT_GT(differ, 4);
  EXPECT_EQ(ColumnInk(Draw(roundOff, 0), SectionColor(0)), 0);

  // Pictures: the list's entry and the item's own bitmap, centred vertically 3 pixels from the left; an index
  // beyond the list draws nothing.
  const Pixels l = Draw(listed, 0);
  EXPECT_EQ(l.At(3 + 8, l.h / 2), RGB(255, 0, 0));
  const MEASUREITEMSTRUCT ownSize = Measure(own);
  EXPECT_GE(ownSize.itemHeight, static_cast<UINT>(24 + 2 * menus_->Margin() + 2));
  EXPECT_GT(ownSize.itemWidth, Measure(listed).itemWidth);  // the wider picture takes room twice
  const Pixels o = Draw(own, 0);
  EXPECT_EQ(o.At(3 + 12, o.h / 2), RGB(0, 0, 255));
  EXPECT_EQ(ColumnInk(Draw(outOfRange, 0), SectionColor(0)), 0);

  // The font: asked when measuring (state 0) and when drawing (the draw's state); red text only on that item.
  asked.clear();
  const Pixels sel = Draw(own, ODS_SELECTED);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front().second, 0u);
  EXPECT_EQ(asked.back().first, own);
  EXPECT_EQ(asked.back().second, static_cast<unsigned>(ODS_SELECTED));
  auto redInk = [&](const Pixels& p) {
    int n = 0;
    for (int y = 0; y < p.h; ++y)
      for (int x = 40; x < p.w; ++x) n += Distance(p.At(x, y), RGB(255, 0, 0)) < 60;
    return n;
  };
  EXPECT_GT(redInk(sel), 10);
  EXPECT_EQ(redInk(Draw(listed, 0)), 0);
}

TEST_F(PopupItems, TheExtraLineWidensTheFirstColumnAndShowsItsSection) {
  auto* a = Add(L"A\u00e7");
  auto* b = Add(L"Kapat");
  Hook();
  const UINT plainA = Measure(a).itemWidth, plain = Measure(b).itemWidth;
  manager_->MenuSupport()->SetUseExtraLine(true);
  menus_->ClearCache();
  // Without a handler every popup has one, as wide as the setting, in the extra line's section.
  EXPECT_EQ(Measure(a).itemWidth, plainA + 32u);
  const Pixels p = Draw(b, 0);
  EXPECT_EQ(p.At(16, p.h / 2), kExtraColor);
  EXPECT_LE(Distance(p.At(p.w - 4, 1), SectionColor(0)), 6);

  // The handler is asked with the popup's first item; it may refuse the line or give its text and section.
  struct Case {
    bool have;
    const wchar_t* section;
    UINT widthAdded;
  };
  for (const Case c : {Case{false, L"EXTRALINE", 0}, Case{true, L"EXTRALINE", 32}, Case{true, L"YOK", 32}}) {
    vcl::TMenuItem* askedWith = nullptr;
    manager_->OnGetMenuExtraLineData = [&](vcl::TMenuItem* first, rtl::String& section, bool& have, vcl::TBitmap*&,
                                           rtl::String& caption) {
      askedWith = first;
      EXPECT_EQ(section, L"EXTRALINE");
      EXPECT_EQ(caption, L"Use OnGetExtraLineData event");
      section = c.section;
      have = c.have;
      caption = L"&Kay\u0131t";
    };
    menus_->ClearCache();
    EXPECT_EQ(Measure(b).itemWidth, plain + c.widthAdded) << c.have;
    EXPECT_EQ(askedWith, a);
    const Pixels q = Draw(b, 0);
    // A section the skin lacks leaves the line in the popup's background.
    EXPECT_EQ(q.At(16, q.h / 2) == kExtraColor, c.have && std::wstring(c.section) == L"EXTRALINE") << c.have;
  }

  // The skin-selection popup never has one and is never asked about.
  a->SetName(L"SkinSelectItem");
  bool askedAgain = false;
  manager_->OnGetMenuExtraLineData = [&](vcl::TMenuItem*, rtl::String&, bool&, vcl::TBitmap*&, rtl::String&) {
    askedAgain = true;
  };
  menus_->ClearCache();
  EXPECT_EQ(Measure(b).itemWidth, plain);
  EXPECT_FALSE(askedAgain);
}

TEST_F(PopupItems, AnOpenPopupShowsItsColumnsAndItsExtraLine) {
  std::vector<vcl::TMenuItem*> items;
  for (const wchar_t* c : {L"Bir", L"\u0130ki", L"\u00dc\u00e7", L"D\u00f6rt", L"Be\u015f"}) items.push_back(Add(c));
  items[3]->SetBreak(vcl::mbBarBreak);
  manager_->MenuSupport()->SetUseExtraLine(true);
  manager_->OnGetMenuExtraLineData = [](vcl::TMenuItem*, rtl::String&, bool&, vcl::TBitmap*&, rtl::String& caption) {
    caption = L"\u00d6\u011frenci";
  };
  Hook();
  const COLORREF lineColor = vcl::ColorToGdi(manager_->gd[static_cast<size_t>(section_)].Props[0].FontColor.Color);

  static struct Run {
    bool failed = false, seen = false;
    RECT first{}, fourth{}, window{};
    int extraText = 0, barInk = 0, extraInSecond = 0;
    COLORREF lineColor = 0;
    std::chrono::steady_clock::time_point deadline;
  } run;
  run = Run{};
  run.lineColor = lineColor;
  run.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  // The popup's own modal loop dispatches this timer; it waits until both columns are painted, then reads them.
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    if (formtest::Overdue(run)) return;
    HWND popup = formtest::VisiblePopup();
    if (!popup) return;
    HMENU m = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (!m || !GetMenuItemRect(nullptr, m, 0, &run.first) || !GetMenuItemRect(nullptr, m, 3, &run.fourth)) return;
    HDC screen = GetDC(nullptr);
    const bool painted = GetPixel(screen, run.first.left + 16, (run.first.top + run.first.bottom) / 2) == kExtraColor &&
                         GetPixel(screen, run.fourth.right - 4, run.fourth.top + 1) != kExtraColor &&
                         GetPixel(screen, run.fourth.right - 4, run.fourth.top + 1) != 0;
    if (painted) {
      GetWindowRect(popup, &run.window);
      // The extra line's text, in its section's font colour, somewhere down the strip.
      for (int y = run.window.top; y < run.window.bottom; ++y)
        for (int x = run.first.left; x < run.first.left + 32; ++x)
          run.extraText += Distance(GetPixel(screen, x, y), kExtraText) < 60;
      // The bar between the columns, and no extra strip in the second column.
      for (int x = run.fourth.left - 4; x < run.fourth.left; ++x)
        run.barInk += Distance(GetPixel(screen, x, (run.fourth.top + run.fourth.bottom) / 2), run.lineColor) < 30;
      for (int x = run.fourth.left; x < run.fourth.left + 32; ++x)
        run.extraInSecond += GetPixel(screen, x, (run.fourth.top + run.fourth.bottom) / 2) == kExtraColor;
      run.seen = true;
    }
    ReleaseDC(nullptr, screen);
    if (!run.seen) return;
    SaveScreenRect(run.window, "popup_columns");
    EndMenu();
  });
  menu_->Popup(240, 90);
  KillTimer(nullptr, timer);
  ASSERT_FALSE(run.failed);
  ASSERT_TRUE(run.seen);
  // The fourth item starts a second column beside the first.
  EXPECT_GE(run.fourth.left, run.first.right);
  EXPECT_EQ(run.fourth.top, run.first.top);
  EXPECT_GT(run.extraText, 10);
  EXPECT_GT(run.barInk, 0);
  EXPECT_EQ(run.extraInSecond, 0);
  EXPECT_EQ(clicked_, nullptr);
}
