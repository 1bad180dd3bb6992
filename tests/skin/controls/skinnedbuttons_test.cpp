// The first group of skinned controls with each test skin active, on a real form under Xvfb: bit buttons, speed
// buttons, panels, a drag bar, mask edits and combo boxes in each of their states paint from the skin's sections
// (checked at chosen pixels against the section painted alone over the same background, and saved as PNGs beside
// the build for a person to look at); keys and mouse, sent as messages, click buttons, switch a speed-button group
// and pick an item from the combo's skinned list; the wheel over a closed combo box leaves its value alone.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sMaskEdit.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
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

class SkinnedForm : public SkinnedFormTest {
 protected:
  SkinnedForm() : SkinnedFormTest(520, 380) {}
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
    // The corners too: a rounded skin lets the form show through them.
    for (TPoint p : {TPoint(6, 14), TPoint(104, 8), TPoint(55, 1), TPoint(2, 14), TPoint(0, 0), TPoint(109, 27)})
      EXPECT_EQ(shot.at(b->Left() + p.X, b->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  // The disabled button is blended with what lies behind it: not its normal look.
  auto normal = Expected(buttons[4], buttons[4]->SkinData(), 0);
  EXPECT_NE(shot.at(buttons[4]->Left() + 6, buttons[4]->Top() + 14), Pixel(normal.get(), 6, 14));
}

// A key as the message loop delivers it (through the application's key handling).
void PostKey(HWND wnd, WPARAM key) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), 0);
  PostMessageW(wnd, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(wnd, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

TEST_P(SkinnedForm, BitButtonsClickOnSpaceAndEnter) {
  auto* first = Put<TsBitBtn>(form, 10, 10, 100, 28);
  first->SetCaption(L"Kaydet");
  auto* second = Put<TsBitBtn>(form, 10, 50, 100, 28);
  second->SetCaption(L"İptal");
  int clicks[2] = {0, 0};
  first->OnClick = [&](rtl::TObject*) { ++clicks[0]; };
  second->OnClick = [&](rtl::TObject*) { ++clicks[1]; };
  Show();
  ASSERT_TRUE(first->SkinData()->Skinned());
  second->SetFocus();
  PostKey(second->Handle(), VK_SPACE);
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks[1] == 1; }));
  PostKey(second->Handle(), VK_RETURN);
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks[1] == 2; }));
  // No hint pops up while a button is held down.
  Application->SetShowHint(true);
  SendMessageW(first->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  EXPECT_FALSE(Application->ShowHint());
  SendMessageW(first->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks[0] == 1; }));
  // The mouse: press and release over the button.
  PostMessageW(first->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  PostMessageW(first->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks[0] == 2; }));
  EXPECT_EQ(clicks[1], 2);
  // Disabled, neither key nor mouse clicks it.
  second->SetEnabled(false);
  PostKey(second->Handle(), VK_SPACE);
  PostMessageW(second->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  PostMessageW(second->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  Settle();
  EXPECT_EQ(clicks[1], 2);
}

TEST_P(SkinnedForm, SpeedButtonsPaintTheirStatesAndAGroupKeepsOneDown) {
  std::vector<TsSpeedButton*> group;
  for (int i = 0; i < 3; ++i) {
    auto* b = Put<TsSpeedButton>(form, 10 + i * 80, 10, 74, 26);
    b->SetCaption(std::wstring(L"Sayfa ") + std::to_wstring(i + 1));
    b->SetGroupIndex(1);
    group.push_back(b);
  }
  group[0]->SetDown(true);
  auto* hot = Put<TsSpeedButton>(form, 10, 50, 74, 26);
  hot->SetCaption(L"Sıcak");
  auto* off = Put<TsSpeedButton>(form, 90, 50, 74, 26);
  off->SetCaption(L"Kapalı");
  off->SetEnabled(false);
  auto* drop = Put<TsSpeedButton>(form, 170, 50, 74, 26);
  drop->SetCaption(L"Liste");
  drop->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(drop->Width(), 90);  // widened for its arrow strip
  Show();
  for (TsSpeedButton* b : group) ASSERT_TRUE(b->SkinData()->Skinned());
  hot->Perform(CM_MOUSEENTER, 0, 0);
  Settle(hot->SkinData());
  EXPECT_EQ(hot->CurrentState(), 1);
  EXPECT_EQ(group[0]->CurrentState(), 2);
  EXPECT_EQ(group[1]->CurrentState(), 0);
  Shot shot(form->Handle());
  shot.Save(Name("speedbuttons"));
  struct Check {
    TsSpeedButton* b;
    int state;
  } checks[] = {{group[0], 2}, {group[1], 0}, {hot, 1}};
  for (const Check& c : checks) {
    SCOPED_TRACE(c.state);
    auto want = Expected(c.b, c.b->SkinData(), c.state);
    for (TPoint p : {TPoint(4, 13), TPoint(70, 5), TPoint(37, 1)})
      EXPECT_EQ(shot.at(c.b->Left() + p.X, c.b->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  auto normal = Expected(off, off->SkinData(), 0);
  EXPECT_NE(shot.at(off->Left() + 4, off->Top() + 13), Pixel(normal.get(), 4, 13));

  // A click on the third button of the group puts it down and the first up.
  int clicks = 0;
  group[2]->OnClick = [&](rtl::TObject*) { ++clicks; };
  const LPARAM at = MAKELPARAM(group[2]->Left() + 20, group[2]->Top() + 10);
  PostMessageW(form->Handle(), WM_MOUSEMOVE, 0, at);
  PostMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(form->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks == 1; }));
  Settle(group[2]->SkinData());
  EXPECT_TRUE(group[2]->Down());
  EXPECT_FALSE(group[0]->Down());
  EXPECT_EQ(group[0]->CurrentState(), 0);
  EXPECT_EQ(group[2]->CurrentState(), 2);
  Shot after(form->Handle());
  after.Save(Name("speedbuttons-switched"));
  auto down = Expected(group[2], group[2]->SkinData(), 2);
  auto up = Expected(group[0], group[0]->SkinData(), 0);
  EXPECT_EQ(after.at(group[2]->Left() + 4, group[2]->Top() + 13), Pixel(down.get(), 4, 13));
  EXPECT_EQ(after.at(group[0]->Left() + 4, group[0]->Top() + 13), Pixel(up.get(), 4, 13));
}

TEST_P(SkinnedForm, PanelsPaintTheirBevelsSectionAndChildrenSeeThem) {
  auto* raised = Put<TsPanel>(form, 10, 10, 200, 120);
  raised->SetCaption(L"Öğrenci");
  raised->SetTop(30);
  auto* lowered = Put<TsPanel>(form, 230, 10, 200, 120);
  lowered->SetBevelOuter(bvLowered);
  lowered->SetTop(30);
  auto* inside = Put<TsBitBtn>(raised, 20, 80, 90, 26);
  inside->SetCaption(L"İçeride");
  auto* bar = Create<TsDragBar>(form);
  bar->SetParent(form);
  bar->SetCaption(L"Taşı");
  Show();
  ASSERT_TRUE(raised->SkinData()->Skinned());
  ASSERT_TRUE(lowered->SkinData()->Skinned());
  EXPECT_EQ(manager->gd[static_cast<size_t>(raised->SkinData()->SkinIndex)].ClassName, L"PANEL");
  EXPECT_EQ(manager->gd[static_cast<size_t>(lowered->SkinData()->SkinIndex)].ClassName, L"PANEL_LOW");
  // The test skins have no drag-bar section: the bar stays the platform's caption-coloured bar.
  EXPECT_FALSE(bar->SkinData()->Skinned());
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->Height(), 20);
  EXPECT_EQ(bar->Top(), 0);
  Shot shot(form->Handle());
  shot.Save(Name("panels"));
  for (TsPanel* p : {raised, lowered}) {
    auto want = Expected(p, p->SkinData(), 0);
    for (TPoint q : {TPoint(1, 1), TPoint(5, 60), TPoint(190, 110), TPoint(100, 2)})
      EXPECT_EQ(shot.at(p->Left() + q.X, p->Top() + q.Y), Pixel(want.get(), q.X, q.Y)) << q.X << "," << q.Y;
  }
  // A button on the panel is painted over the panel's own background.
  TCacheInfo ci;
  ASSERT_TRUE(sctrl::ParentCI(inside, ci));
  EXPECT_TRUE(ci.Ready);
  EXPECT_EQ(ci.Bmp, raised->SkinData()->CacheBmp());
}

TEST_P(SkinnedForm, MaskEditsPaintFromTheEditSectionWhenNotFocused) {
  HotEdits hotEdits;
  auto* normal = Put<TsMaskEdit>(form, 10, 10, 160, 22);
  normal->SetText(L"Ankara");
  auto* hot = Put<TsMaskEdit>(form, 10, 40, 160, 22);
  hot->SetText(L"İzmir");
  auto* focused = Put<TsMaskEdit>(form, 10, 70, 160, 22);
  focused->SetText(L"Iğdır");
  auto* off = Put<TsMaskEdit>(form, 10, 100, 160, 22);
  off->SetText(L"Kapalı");
  off->SetEnabled(false);
  auto* hint = Put<TsMaskEdit>(form, 10, 130, 160, 22);
  hint->SetTextHint(L"Okul no");
  Show();
  ASSERT_TRUE(normal->SkinData()->Skinned());
  hot->Perform(CM_MOUSEENTER, 0, 0);
  focused->SetFocus();
  Settle();
  Shot shot(form->Handle());
  shot.Save(Name("maskedits"));
  struct Check {
    TsMaskEdit* e;
    int state;
  } checks[] = {{normal, 0}, {hot, 1}};
  for (const Check& c : checks) {
    SCOPED_TRACE(c.state);
    auto want = Expected(c.e, c.e->SkinData(), c.state);
    for (TPoint p : {TPoint(0, 0), TPoint(1, 11), TPoint(150, 11), TPoint(80, 20)})
      EXPECT_EQ(shot.at(c.e->Left() + p.X, c.e->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  // Focused, the border still comes from the skin (the edit paints its own inside).
  auto border = Expected(focused, focused->SkinData(), 1);
  EXPECT_EQ(shot.at(focused->Left() + 1, focused->Top() + 11), Pixel(border.get(), 1, 11));
  auto offNormal = Expected(off, off->SkinData(), 0);
  EXPECT_NE(shot.at(off->Left() + 150, off->Top() + 11), Pixel(offNormal.get(), 150, 11));
  // The hint shows in a colour between the font's and the edit's.
  bool hintInk = false;
  const std::uint32_t plain = shot.at(hint->Left() + 150, hint->Top() + 11);
  for (int x = 3; x < 60 && !hintInk; ++x)
    for (int y = 4; y < 18 && !hintInk; ++y) hintInk = shot.at(hint->Left() + x, hint->Top() + y) != plain;
  EXPECT_TRUE(hintInk);
}

TEST_P(SkinnedForm, ComboBoxesPaintTheirStatesAndTheSkinnedListPicksByArrowKeys) {
  HotEdits hotEdits;
  auto make = [&](int top, TComboBoxStyle style) {
    auto* c = Put<TsComboBox>(form, 10, top, 170, 22);
    c->SetStyle(style);
    for (const wchar_t* s : {L"Adana", L"Bursa", L"Çorum", L"Iğdır", L"İzmir"}) c->Items()->Add(s);
    return c;
  };
  auto* normal = make(10, csDropDown);
  normal->SetItemIndex(4);
  auto* hot = make(40, csDropDown);
  auto* focused = make(70, csDropDown);
  auto* off = make(100, csDropDown);
  off->SetEnabled(false);
  auto* list = make(130, csDropDownList);
  list->SetItemIndex(0);
  auto* dropped = make(200, csDropDownList);
  dropped->SetItemIndex(1);
  Show();
  ASSERT_TRUE(normal->SkinData()->Skinned());
  EXPECT_TRUE(list->OwnerDrawn());
  EXPECT_EQ(manager->gd[static_cast<size_t>(normal->SkinData()->SkinIndex)].ClassName, L"COMBOBOX");
  EXPECT_EQ(manager->gd[static_cast<size_t>(list->SkinData()->SkinIndex)].ClassName, L"BUTTON");
  // The real cursor over it too: the manager's hot-control check lets go of a control the cursor is not over.
  POINT centre{hot->Left() + 60, hot->Top() + 10};
  ClientToScreen(form->Handle(), &centre);
  SetCursorPos(centre.x, centre.y);
  hot->Perform(CM_MOUSEENTER, 0, 0);
  focused->SetFocus();
  Settle();
  Shot shot(form->Handle());
  shot.Save(Name("comboboxes"));
  struct Check {
    TsComboBox* c;
    int state;
  } checks[] = {{normal, 0}, {hot, 1}, {focused, 1}, {list, 0}};
  for (const Check& c : checks) {
    SCOPED_TRACE(c.state);
    auto want = Expected(c.c, c.c->SkinData(), c.state);
    for (TPoint p : {TPoint(1, 11), TPoint(60, 1), TPoint(60, 20)})
      EXPECT_EQ(shot.at(c.c->Left() + p.X, c.c->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  auto offNormal = Expected(off, off->SkinData(), 0);
  EXPECT_NE(shot.at(off->Left() + 1, off->Top() + 11), Pixel(offNormal.get(), 1, 11));

  // Dropped down: the list window is handed to the list wrapper; arrow keys move the choice, Enter takes it.
  dropped->SetFocus();
  dropped->SetDroppedDown(true);
  ASSERT_TRUE(testutil::PumpUntil([&] { return dropped->DroppedDown() && dropped->ListHandle() != nullptr; }));
  Settle();
  Shot open(form->Handle(), 120);
  open.Save(Name("combobox-dropped"));
  int changes = 0;
  dropped->OnChange = [&](rtl::TObject*) { ++changes; };
  PostKey(dropped->Handle(), VK_DOWN);
  PostKey(dropped->Handle(), VK_DOWN);
  PostKey(dropped->Handle(), VK_RETURN);
  EXPECT_TRUE(testutil::PumpUntil([&] { return !dropped->DroppedDown() && dropped->ItemIndex() == 3; }));
  EXPECT_EQ(dropped->Text(), L"Iğdır");
  EXPECT_GE(changes, 1);
}

// The test skins have no drag-bar or tool-button sections: a copy of each gets them, as a skin author would add them.
TEST_P(SkinnedForm, DragBarAndFlatSpeedButtonsPaintFromTheirOwnSections) {
  skintest::TempSkinDir dir;
  dir.AddFolder(GetParam().name);
  std::vector<rtl::Byte> options = skintest::SourceBytes(std::wstring(GetParam().name) + L"\\Options.dat");
  const std::string extra = "\r\n[DRAGBAR]\r\nPARENTCLASS=BUTTON\r\n\r\n[TOOLBUTTON]\r\nPARENTCLASS=SPEEDBUTTON\r\n";
  options.insert(options.end(), extra.begin(), extra.end());
  dir.Write(std::wstring(GetParam().name) + L"\\Options.dat", options);
  manager->SetActive(false);
  manager->SetSkinDirectory(dir.Path());
  manager->SetSkinName(GetParam().name);
  manager->SetActive(true);
  ASSERT_TRUE(manager->CommonSkinData->Active);
  ASSERT_GE(manager->GetSkinIndex(L"DRAGBAR"), 0);

  auto* bar = Create<TsDragBar>(form);
  bar->SetParent(form);
  bar->SetCaption(L"Öğrenci bilgileri");
  // As a form resource leaves it: a font of its own, then Loaded.
  bar->SetParentFont(false);
  bar->Loaded();
  auto* flat = Put<TsSpeedButton>(form, 10, 40, 80, 26);
  flat->SetFlat(true);
  flat->SetCaption(L"Araç");
  auto* plain = Put<TsSpeedButton>(form, 100, 40, 80, 26);
  plain->SetCaption(L"Düğme");
  Show();
  ASSERT_TRUE(bar->SkinData()->Skinned());
  EXPECT_EQ(manager->gd[static_cast<size_t>(bar->SkinData()->SkinIndex)].ClassName, L"DRAGBAR");
  EXPECT_EQ(manager->gd[static_cast<size_t>(flat->SkinData()->SkinIndex)].ClassName, L"TOOLBUTTON");
  EXPECT_EQ(manager->gd[static_cast<size_t>(plain->SkinData()->SkinIndex)].ClassName, L"SPEEDBUTTON");
  EXPECT_EQ(bar->DraggedControl(), form);
  EXPECT_TRUE(bar->Font()->Style().Contains(fsBold));
  Shot shot(form->Handle());
  shot.Save(Name("dragbar"));
  auto want = Expected(bar, bar->SkinData(), 0);
  for (TPoint p : {TPoint(1, 1), TPoint(4, 10), TPoint(bar->Width() - 4, 10), TPoint(bar->Width() / 2, 18)})
    EXPECT_EQ(shot.at(bar->Left() + p.X, bar->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  auto flatWant = Expected(flat, flat->SkinData(), 0);
  EXPECT_EQ(shot.at(flat->Left() + 4, flat->Top() + 13), Pixel(flatWant.get(), 4, 13));

  // A press on the bar hands the form to the system's move loop (ended here by Esc) and then counts as a click.
  int clicks = 0;
  bar->OnClick = [&](rtl::TObject*) { ++clicks; };
  std::atomic<bool> done{false};
  HWND formWnd = form->Handle();
  std::thread ender([&] {
    for (int i = 0; i < 600 && !done; ++i) {
      PostMessageW(formWnd, WM_KEYDOWN, VK_ESCAPE, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  PostMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 8));
  const bool clicked = testutil::PumpUntil([&] { return clicks == 1; });
  done = true;
  ender.join();
  EXPECT_TRUE(clicked);
  Settle();
}

TEST_P(SkinnedForm, TheWheelOverAClosedComboBoxLeavesItsValue) {
  auto* combo = Put<TsComboBox>(form, 10, 10, 170, 22);
  for (const wchar_t* s : {L"Adana", L"Bursa", L"Çorum"}) combo->Items()->Add(s);
  combo->SetItemIndex(1);
  Show();
  combo->SetFocus();
  Settle();
  HWND edit = FindWindowExW(combo->Handle(), nullptr, L"Edit", nullptr);
  for (HWND target : {combo->Handle(), edit}) {
    if (!target) continue;
    for (int delta : {-WHEEL_DELTA, WHEEL_DELTA, -3 * WHEEL_DELTA}) {
      PostMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(20, 20));
      Settle();
      EXPECT_EQ(combo->ItemIndex(), 1);
      EXPECT_EQ(combo->Text(), L"Bursa");
    }
  }
}

// The same with no active skin: the combo box is the platform's and keeps the mend.
TEST(UnskinnedComboBox, TheWheelOverItWhileClosedLeavesItsValue) {
  Application->Initialize();
  auto* form = Create<TForm>(Application);
  form->SetBounds(40, 40, 300, 200);
  auto* combo = Create<TsComboBox>(form);
  combo->SetParent(form);
  combo->SetBounds(10, 10, 170, 22);
  for (const wchar_t* s : {L"Adana", L"Bursa", L"Çorum"}) combo->Items()->Add(s);
  combo->SetItemIndex(1);
  form->Show();
  combo->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(combo->SkinData()->Skinned());
  EXPECT_FALSE(combo->OwnerDrawn());
  PostMessageW(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(20, 20));
  testutil::PumpUntil([] {
    MSG msg;
    return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  });
  EXPECT_EQ(combo->ItemIndex(), 1);
  form->Free();
}

}  // namespace

namespace {

// Unskinned, a mask edit that fails its mask on validation lets its handler reword the message; with CheckOnExit
// off it is not checked at all. A read-only combo box ignores the keys that would change or open it.
class PlainForm : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = Create<TForm>(Application);
    form->SetBounds(40, 40, 300, 200);
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
};

TEST_F(PlainForm, MaskEditValidationMessagesCanBeReworded) {
  auto* edit = Create<TsMaskEdit>(form);
  edit->SetParent(form);
  edit->SetEditMask(L"00000;1;_");
  form->Show();
  edit->SetText(L"12");
  edit->SetModified(true);
  edit->OnValidateError = [](rtl::TObject*, rtl::String& error) { error = L"Okul numarası beş haneli olmalı"; };
  try {
    edit->ValidateEdit();
    ADD_FAILURE() << "an incomplete text passed the mask";
  } catch (const rtl::EDBEditError& e) {
    EXPECT_EQ(e.Message(), L"Okul numarası beş haneli olmalı");
  }
  edit->SetCheckOnExit(false);
  EXPECT_NO_THROW(edit->ValidateEdit());
}

TEST_F(PlainForm, MaskEditsAndComboBoxesTakeTheirBoundLabelsAlong) {
  auto* edit = Create<TsMaskEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(100, 20, 120, 22);
  auto* combo = Create<TsComboBox>(form);
  combo->SetParent(form);
  combo->SetBounds(100, 60, 120, 22);
  form->Show();
  for (TsBoundLabel* b : {edit->BoundLabel(), combo->BoundLabel()}) {
    b->SetCaption(L"Şube");
    b->SetLayout(sclTopLeft);
    b->SetActive(true);
    ASSERT_NE(b->TheLabel(), nullptr);
  }
  edit->SetBounds(30, 120, 120, 22);
  combo->SetBounds(160, 120, 120, 22);
  Application->ProcessMessages();
  EXPECT_EQ(edit->BoundLabel()->TheLabel()->Left(), 30);
  EXPECT_EQ(combo->BoundLabel()->TheLabel()->Left(), 160);
  EXPECT_LT(edit->BoundLabel()->TheLabel()->Top(), 120);
  edit->SetVisible(false);
  Application->ProcessMessages();
  EXPECT_FALSE(edit->BoundLabel()->TheLabel()->Visible());
}

TEST_F(PlainForm, ReadOnlyComboBoxKeepsItsValueAndStaysClosed) {
  auto* combo = Create<TsComboBox>(form);
  combo->SetParent(form);
  combo->SetStyle(csDropDownList);
  for (const wchar_t* s : {L"Adana", L"Bursa", L"Çorum"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  combo->SetReadOnly(true);
  form->Show();
  combo->SetFocus();
  for (WPARAM key : {WPARAM(VK_DOWN), WPARAM(VK_END), WPARAM('C'), WPARAM(VK_F4)}) {
    PostKey(combo->Handle(), key);
    testutil::PumpUntil([] {
      MSG msg;
      return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
    EXPECT_EQ(combo->ItemIndex(), 0) << key;
    EXPECT_FALSE(combo->DroppedDown()) << key;
  }
  combo->SetReadOnly(false);
  PostKey(combo->Handle(), VK_DOWN);
  EXPECT_TRUE(testutil::PumpUntil([&] { return combo->ItemIndex() == 1; }));
}

}  // namespace
