// More of the first group of skinned controls, with each test skin active and without a skin: Alt+the caption's
// marked letter clicks a bit button; a press released before its fade ends still shows the pressed look; a
// transparent speed button on a plain parent shows the parent's own pixels; a rescaled combo box keeps its factors
// and works on; a panel painting directly (not through its cache) shows its section's colour inside its border.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
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
#include "skin/core/sCommonPaint.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sSectionPaint.h"
#include "tests/common/paths.h"
#include "tests/common/wait.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;

namespace {

using namespace ctltest;

class SkinnedExtras : public SkinnedFormTest {
 protected:
  SkinnedExtras() : SkinnedFormTest(520, 380) {}
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

TEST_P(SkinnedExtras, AButtonStyleComboGlowsWhileHotAndFadesBack) {
  if (!Skinned()) GTEST_SKIP() << "glows belong to the skin";
  // The test skins' buttons have no glow: a copy of the skin gets one, shaped as the button's border.
  skintest::TempSkinDir dir;
  dir.AddFolder(GetParam().name);
  std::vector<rtl::Byte> options = skintest::SourceBytes(std::wstring(GetParam().name) + L"\\Options.dat");
  const std::string head = "[BUTTON]\r\n";
  const std::string glow = "GLOW=1\r\nGLOWMARGIN=0\r\nGLOW0=^0000,0000,0060,0020,0005,0005,0005,0005,3,0,0,0\r\n";
  auto at = std::search(options.begin(), options.end(), head.begin(), head.end());
  ASSERT_NE(at, options.end());
  options.insert(at + static_cast<std::ptrdiff_t>(head.size()), glow.begin(), glow.end());
  dir.Write(std::wstring(GetParam().name) + L"\\Options.dat", options);
  manager->SetActive(false);
  manager->SetSkinDirectory(dir.Path());
  manager->SetSkinName(GetParam().name);
  manager->SetActive(true);
  ASSERT_TRUE(manager->CommonSkinData->Active);

  auto* combo = Put<TsComboBox>(form, 60, 60, 160, 24);
  combo->SetStyle(csDropDownList);
  for (const wchar_t* s : {L"Ankara", L"İzmir", L"Iğdır"}) combo->Items()->Add(s);
  combo->SetItemIndex(1);
  Show();
  TsCommonData* sd = combo->SkinData();
  ASSERT_TRUE(sd->Skinned());
  ASSERT_TRUE(combo->AllowBtnStyle());
  Shot before(form->Handle());
  // The real cursor over the combo (left of its button), as a hovering mouse leaves it.
  const bool savedHotEdits = lv_AllowHotEdits;
  lv_AllowHotEdits = true;
  POINT centre{20, combo->Height() / 2};
  ClientToScreen(combo->Handle(), &centre);
  SetCursorPos(centre.x, centre.y);
  combo->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_GE(sd->GlowID, 0);
  Settle(sd);
  EXPECT_GE(sd->GlowID, 0);  // the glow stays while the combo is hot
  Shot hot(form->Handle());
  hot.Save(Name("combo-glow"));
  // The glow lies around the combo, over the form beside it.
  EXPECT_NE(hot.at(combo->Left() - 2, combo->Top() + 12), before.at(combo->Left() - 2, combo->Top() + 12));
  // The fade ended on the hot look: a fresh painting shows the same.
  EXPECT_EQ(combo->MouseState(), 0);
  sd->BGChanged = true;
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Shot again(form->Handle());
  for (TPoint p : {TPoint(8, 4), TPoint(80, 12), TPoint(2, 22)})
    EXPECT_EQ(again.at(combo->Left() + p.X, combo->Top() + p.Y), hot.at(combo->Left() + p.X, combo->Top() + p.Y))
        << p.X << "," << p.Y;

  SetCursorPos(1200, 1000);
  combo->Perform(CM_MOUSELEAVE, 0, 0);
  lv_AllowHotEdits = savedHotEdits;
  Settle(sd);
  EXPECT_TRUE(testutil::PumpUntil([&] { return sd->GlowID < 0 && !TimerIsActive(sd); }));
  Settle();
  Shot after(form->Handle());
  for (TPoint p : {TPoint(-2, 12), TPoint(8, 4), TPoint(80, 12)})
    EXPECT_EQ(after.at(combo->Left() + p.X, combo->Top() + p.Y), before.at(combo->Left() + p.X, combo->Top() + p.Y))
        << p.X << "," << p.Y;
}

TEST_P(SkinnedExtras, ARescaledComboKeepsItsFactorsAndWorksOn) {
  auto* combo = Put<TsComboBox>(form, 10, 20, 120, 24);
  combo->SetParentFont(false);
  combo->Font()->SetHeight(-12);
  for (const wchar_t* s : {L"Ankara", L"İzmir", L"Iğdır"}) combo->Items()->Add(s);
  int changes = 0;
  combo->OnChange = [&](rtl::TObject*) { ++changes; };
  Show();
  HWND first = combo->Handle();
  combo->ChangeScale(3, 2);
  EXPECT_EQ(combo->ActM(), 3);
  EXPECT_EQ(combo->ActD(), 2);
  EXPECT_EQ(combo->Left(), 15);
  EXPECT_EQ(combo->Top(), 30);
  EXPECT_EQ(combo->Width(), 180);
  EXPECT_EQ(combo->Font()->Height(), -18);
  HWND second = combo->Handle();
  EXPECT_NE(second, first);  // made anew for the new size
  combo->ChangeScale(2, 2);  // a factor of 1 keeps the window
  EXPECT_EQ(combo->Handle(), second);
  EXPECT_EQ(combo->ActM(), 3);
  EXPECT_EQ(combo->ActD(), 2);
  combo->ChangeScale(2, 3);  // back to the start: the factors cancel
  EXPECT_EQ(combo->ActM(), 1);
  EXPECT_EQ(combo->ActD(), 1);
  EXPECT_EQ(combo->Width(), 120);
  // Items and choice survive the new windows.
  Settle();
  ASSERT_EQ(combo->Items()->Count(), 3);
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), L"Iğdır");
  if (Skinned()) EXPECT_TRUE(combo->SkinData()->Skinned());
  Shot shot(form->Handle());
  shot.Save(Name("combo-rescaled"));
}

// Stripes of two colours, 4 pixels wide each, with their left edge at x = 0.
std::unique_ptr<TBitmap> Stripes(int w, int h) {
  auto bmp = CreateBmp32(w, h);
  for (int x = 0; x < w; x += 4) {
    RECT r{x, 0, std::min(x + 4, w), h};
    HBRUSH b = CreateSolidBrush((x / 4) % 2 ? RGB(0x20, 0xA0, 0x30) : RGB(0xF0, 0xE0, 0x10));
    FillRect(bmp->Canvas()->Handle(), &r, b);
    DeleteObject(b);
  }
  return bmp;
}

TEST_P(SkinnedExtras, ATransparentSpeedButtonOnAPlainParentShowsTheParentsPixels) {
  if (!Skinned()) GTEST_SKIP() << "the platform's speed button paints itself";
  auto* plain = Put<TPanel>(form, 20, 20, 300, 120);
  plain->SetBevelOuter(bvNone);
  auto* picture = Put<TImage>(plain, 0, 0, 300, 120);
  auto stripes = Stripes(300, 120);
  picture->Picture()->Bitmap()->Assign(stripes.get());
  auto* clear = Put<TsSpeedButton>(plain, 20, 30, 90, 30);
  clear->SetCaption(L"Saydam");
  auto* opaque = Put<TsSpeedButton>(plain, 150, 30, 90, 30);
  opaque->SetCaption(L"Dolu");
  opaque->SetTransparent(false);
  Show();
  Settle();
  ASSERT_TRUE(clear->SkinData()->Skinned());
  EXPECT_TRUE(clear->StdParent());
  EXPECT_FALSE(clear->ControlStyle().Contains(csOpaque));
  EXPECT_TRUE(opaque->ControlStyle().Contains(csOpaque));
  Shot shot(form->Handle());
  shot.Save(Name("speedbutton-transparent"));
  struct Row {
    TsSpeedButton* b;
    bool stripes;  // what lies behind it: the parent's pixels, or its colour
  } rows[] = {{clear, true}, {opaque, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stripes);
    TsSpeedButton* b = row.b;
    TCacheInfo ci;
    if (row.stripes) {
      ci.Bmp = stripes.get();
      ci.Ready = true;
    } else {
      ci.FillColor = ColorToRGB(plain->Color());
    }
    auto want = CreateBmp32(b->Width(), b->Height());
    PaintItem(b->SkinData()->SkinIndex, ci, true, 0, Rect(0, 0, b->Width(), b->Height()), TPoint(b->Left(), b->Top()),
              want.get(), b->SkinData()->SkinManager());
    for (TPoint p : {TPoint(0, 0), TPoint(1, 0), TPoint(0, 1), TPoint(89, 29), TPoint(88, 29), TPoint(4, 15)})
      EXPECT_EQ(shot.at(plain->Left() + b->Left() + p.X, plain->Top() + b->Top() + p.Y), Pixel(want.get(), p.X, p.Y))
          << p.X << "," << p.Y;
  }
  // Hovered and left again (a repaint outside the parent's painting), the stripes stay behind it.
  clear->Perform(CM_MOUSEENTER, 0, 0);
  Settle(clear->SkinData());
  clear->Perform(CM_MOUSELEAVE, 0, 0);
  Settle(clear->SkinData());
  clear->SkinData()->BGChanged = true;
  clear->GraphRepaint();
  GdiFlush();
  Shot again(form->Handle());
  for (TPoint p : {TPoint(0, 0), TPoint(89, 29), TPoint(4, 15)}) {
    const int x = plain->Left() + clear->Left() + p.X, y = plain->Top() + clear->Top() + p.Y;
    EXPECT_EQ(again.at(x, y), shot.at(x, y)) << p.X << "," << p.Y;
  }
}

TEST_P(SkinnedExtras, APlainSectionPanelPaintsStraightIntoItsWindow) {
  if (!Skinned()) GTEST_SKIP() << "the platform's panel paints itself";
  // A wholly transparent section ("GROUPBOX") over a parent without a skin: nothing to keep in a cache.
  auto* plain = Put<TPanel>(form, 20, 20, 300, 200);
  plain->SetBevelOuter(bvNone);
  plain->SetColor(static_cast<TColor>(0x80E0C0));
  auto* panel = Put<TsPanel>(plain, 20, 20, 200, 120);
  panel->SetBevelOuter(bvSpace);
  panel->SetCaption(L"Grup");
  auto* inner = Put<TsBitBtn>(panel, 20, 70, 90, 28);
  inner->SetCaption(L"İçeride");
  Show();
  TsCommonData* sd = panel->SkinData();
  ASSERT_TRUE(sd->Skinned());
  EXPECT_EQ(manager->gd[static_cast<size_t>(sd->SkinIndex)].ClassName, L"GROUPBOX");
  EXPECT_FALSE(IsCached(sd));
  Shot shot(form->Handle());
  shot.Save(Name("panel-direct"));
  const int x0 = plain->Left() + panel->Left(), y0 = plain->Top() + panel->Top();
  // Inside: the parent's colour; the border: the section's mask over that colour.
  TCacheInfo ci;
  ci.FillColor = ColorToRGB(plain->Color());
  auto want = CreateBmp32(panel->Width(), panel->Height());
  PaintItem(sd->SkinIndex, ci, true, 0, Rect(0, 0, panel->Width(), panel->Height()), TPoint(panel->Left(), panel->Top()),
            want.get(), sd->SkinManager());
  for (TPoint p : {TPoint(0, 0), TPoint(1, 1), TPoint(100, 0), TPoint(199, 119), TPoint(0, 60), TPoint(10, 100),
                   TPoint(180, 30)})
    EXPECT_EQ(shot.at(x0 + p.X, y0 + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  const std::uint32_t c = static_cast<std::uint32_t>(ColorToRGB(plain->Color()));
  EXPECT_EQ(shot.at(x0 + 10, y0 + 100), ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
  // The caption in the section's font colour, the button over the panel as on any skinned parent.
  EXPECT_TRUE(inner->SkinData()->Skinned());
  bool text = false;
  for (int x = 0; x < panel->Width() && !text; ++x)
    for (int y = 4; y < 60 && !text; ++y) text = shot.at(x0 + x, y0 + y) != shot.at(x0 + 10, y0 + 100);
  EXPECT_TRUE(text);
}

}  // namespace
