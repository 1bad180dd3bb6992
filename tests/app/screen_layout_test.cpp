// What a user sees of each records screen before touching it: the client size the screen is designed for, opened
// centred in the main window's workspace, and nothing cut off: every control inside its parent, every button wide
// enough for its glyph and caption, every grid column in view.
#include <cmath>
#include <iterator>

#include "app/Unit11.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "app/Unit6.h"
#include "app/Unit7.h"
#include "app/Unit8.h"
#include "app/Unit9.h"
#include "platform/db/dbgrids.h"
#include "platform/rtl/files.h"
#include "platform/vcl/canvas.h"
#include "tests/app/screenfixture.h"

using rtl::String;
using namespace screentest;

namespace {

struct Screen {
  const char* name;
  vcl::TCustomForm* (*open)();
  void (*forget)();
  int clientWidth, clientHeight;
  bool centred = true;  // the screens of the "Ayarlar" menu open where the workspace puts them
  bool gridScrolls = false;  // the student screen's grid shows every column of the table, so it scrolls sideways
};

template <class F>
vcl::TCustomForm* OpenWith(F*& ref) {
  vcl::Application->CreateForm(ref);
  return ref;
}

const Screen kScreens[] = {
    {"students", [] { return OpenWith(Form2); }, [] { Form2 = nullptr; }, 798, 518, true, true},
    {"counselling_clients", [] { return OpenWith(Form3); }, [] { Form3 = nullptr; }, 840, 571},
    {"student_interviews", [] { return OpenWith(Form4); }, [] { Form4 = nullptr; }, 783, 430},
    {"teacher_interviews", [] { return OpenWith(Form8); }, [] { Form8 = nullptr; }, 752, 533},
    {"parent_interviews", [] { return OpenWith(Form11); }, [] { Form11 = nullptr; }, 840, 571},
    {"settings", [] { return OpenWith(Form9); }, [] { Form9 = nullptr; }, 465, 186, false},
    {"import", [] { return OpenWith(Form6); }, [] { Form6 = nullptr; }, 333, 133, false},
    {"statistics", [] { return OpenWith(Form7); }, [] { Form7 = nullptr; }, 672, 271, false},
};

class ScreenLayout : public ScreenFixture, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    // The student screen shows the default picture from the program's folder.
    String logo = rtl::ExeFolder() + L"vaku_logo.png";
    if (!rtl::FileExists(logo)) {
      std::string bytes = testutil::ReadFile(testutil::SourceFile("app/res/main_logo.png"));
      ASSERT_FALSE(bytes.empty());
      ASSERT_TRUE(testutil::WriteFile(logo, bytes));
    }
  }
  void CloseScreen() override {
    delete screen_;
    screen_ = nullptr;
    kScreens[GetParam()].forget();
  }
  vcl::TCustomForm* screen_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(EachScreen, ScreenLayout, ::testing::Range(0, static_cast<int>(std::size(kScreens))),
                         [](const auto& info) { return std::string(kScreens[info.param].name); });

// Every control at any depth, with the path of names that leads to it.
void EachControl(vcl::TWinControl* parent, const std::function<void(vcl::TControl*, vcl::TWinControl*)>& visit) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    vcl::TControl* c = parent->Controls(i);
    visit(c, parent);
    if (auto* w = dynamic_cast<vcl::TWinControl*>(c)) EachControl(w, visit);
  }
}

// How wide a caption is in the control's font.
int TextWidth(vcl::TFont* font, const String& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  vcl::TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Font()->Assign(font);
  int w = canvas.TextWidth(text);
  canvas.SetHandle(nullptr);
  DeleteDC(dc);
  return w;
}

TEST_P(ScreenLayout, OpensCentredAtItsSizeWithNothingCutOff) {
  const Screen& s = kScreens[GetParam()];
  MakeDatabaseAndFrame("insert into sabit(okuladi, rehber1, kadi, sifre) values ('Okul', 'Rehber', 'a', 'b');");
  {
    BoxAnswers boxes;
    screen_ = s.open();
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Texts();
  }
  ASSERT_NE(screen_, nullptr);
  EXPECT_EQ(screen_->ClientWidth(), s.clientWidth);
  EXPECT_EQ(screen_->ClientHeight(), s.clientHeight);

  // Centred in the workspace of the main window.
  if (s.centred) {
    RECT inner, window;
    GetClientRect(frame_->ClientHandle(), &inner);
    MapWindowPoints(frame_->ClientHandle(), nullptr, reinterpret_cast<POINT*>(&inner), 2);
    GetWindowRect(screen_->Handle(), &window);
    EXPECT_NEAR((window.left + window.right) / 2.0, (inner.left + inner.right) / 2.0, 1.5);
    EXPECT_NEAR((window.top + window.bottom) / 2.0, (inner.top + inner.bottom) / 2.0, 1.5);
  }

  EachControl(screen_, [&](vcl::TControl* c, vcl::TWinControl* parent) {
    if (!c->Visible()) return;
    vcl::TRect area = parent->ClientRect();
    vcl::TRect r = c->BoundsRect();
    std::string where = Utf8(parent->Name() + L"." + c->Name());
    EXPECT_GE(r.Left, area.Left) << where;
    EXPECT_GE(r.Top, area.Top) << where;
    EXPECT_LE(r.Right, area.Right) << where << " ends at " << r.Right << " of " << area.Right;
    EXPECT_LE(r.Bottom, area.Bottom) << where << " ends at " << r.Bottom << " of " << area.Bottom;
    if (auto* b = dynamic_cast<TsBitBtn*>(c)) {
      // The glyph, the gap after it, the caption and a margin on each side.
      int glyph = b->Glyph()->Empty() ? 0 : b->Glyph()->Width() + 4;
      EXPECT_LE(glyph + TextWidth(b->Font(), b->Caption()) + 2 * 6, b->Width()) << where;
    } else if (auto* g = dynamic_cast<db::TDBGrid*>(c); g && !s.gridScrolls) {
      // Every column of the grid in view at once, without scrolling sideways.
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_RANGE | SIF_PAGE;
      GetScrollInfo(g->Handle(), SB_HORZ, &si);
      EXPECT_GT(static_cast<int>(si.nPage), si.nMax) << where << ": " << g->VisibleColumnCount() << " columns";
    } else if (auto* b = dynamic_cast<vcl::TButton*>(c)) {
      EXPECT_LE(TextWidth(b->Font(), b->Caption()) + 2 * 6, b->Width()) << where;
    }
  });
}

}  // namespace
