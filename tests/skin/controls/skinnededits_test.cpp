// The skinned edits, check boxes and message box, with each test skin active and without a skin ("plain"): edits
// and check boxes in each state against their section painted alone, the space key and the mouse on check boxes,
// the data-aware check box, edit, memo and rich edit storing their values in a real SQLite file and reading them
// back, the skin commands of the data-aware edits, and the message box shown and answered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/sCalcUnit.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sDBCheckBox.h"
#include "skin/controls/sDBEdit.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sDBRichEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sAnimTimer.h"
#include "skin/core/sCommonPaint.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/windows/lvSBUtils.h"
#include "skin/core/services/sDialogs.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sMaskPaint.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "tests/common/dialogs.h"
#include "tests/common/paths.h"
#include "tests/common/text.h"
#include "tests/common/wait.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/skin/controls/controlstest.h"
#include "tests/skin/core/skintest.h"

using namespace vcl;
using rtl::String;

namespace {

using namespace ctltest;

class SkinnedEdits : public SkinnedFormTest {
 protected:
  SkinnedEdits() : SkinnedFormTest(560, 420) {}
};

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedEdits,
                         ::testing::Values(SkinCase{L"Lale", "lale"}, SkinCase{L"Deniz", "deniz"},
                                           SkinCase{nullptr, "plain"}),
                         [](const auto& info) { return std::string(info.param.file); });

void PressSpace(HWND wnd) {
  SendMessageW(wnd, WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(wnd, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
}

void ClickAt(HWND wnd, int x, int y) {
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST_P(SkinnedEdits, EditsPaintFromTheEditSectionInEachState) {
  HotEdits hotEdits;
  auto* normal = Put<TsEdit>(form, 10, 10, 160, 22);
  normal->SetText(L"Ankara");
  auto* hot = Put<TsEdit>(form, 10, 40, 160, 22);
  hot->SetText(L"İzmir");
  auto* focused = Put<TsEdit>(form, 10, 70, 160, 22);
  focused->SetText(L"Iğdır");
  auto* off = Put<TsEdit>(form, 10, 100, 160, 22);
  off->SetText(L"Kapalı");
  off->SetEnabled(false);
  auto* hint = Put<TsEdit>(form, 10, 130, 160, 22);
  hint->SetTextHint(L"Okul no");
  auto* password = Put<TsEdit>(form, 200, 10, 160, 22);
  password->SetPasswordChar(L'*');
  password->SetText(L"gizli");
  auto* circles = Put<TsEdit>(form, 200, 40, 160, 22);
  circles->SetText(String(5, L'\x25CF'));
  auto* hashes = Put<TsEdit>(form, 200, 70, 160, 22);
  hashes->SetPasswordChar(L'#');
  hashes->SetText(L"gizli");
  auto* hashText = Put<TsEdit>(form, 200, 100, 160, 22);
  hashText->SetText(L"#####");
  Show();
  hot->Perform(CM_MOUSEENTER, 0, 0);
  focused->SetFocus();
  Settle();
  Shot shot(form->Handle());
  shot.Save(Name("edits"));
  if (!Skinned()) {
    // The platform's edit, as the records screens have it.
    EXPECT_FALSE(normal->SkinData()->Skinned());
    EXPECT_EQ(shot.at(normal->Left() + 150, normal->Top() + 11),
              sctrl::PixelOf(static_cast<std::int32_t>(GetSysColor(COLOR_WINDOW))));
    return;
  }
  ASSERT_TRUE(normal->SkinData()->Skinned());
  struct Check {
    TsEdit* e;
    int state;
  } checks[] = {{normal, 0}, {hot, 1}};
  for (const Check& c : checks) {
    SCOPED_TRACE(c.state);
    auto want = Expected(c.e, c.e->SkinData(), c.state);
    for (TPoint p : {TPoint(0, 0), TPoint(1, 11), TPoint(150, 11), TPoint(80, 20), TPoint(159, 21)})
      EXPECT_EQ(shot.at(c.e->Left() + p.X, c.e->Top() + p.Y), Pixel(want.get(), p.X, p.Y)) << p.X << "," << p.Y;
  }
  // Focused: the frame still comes from the skin (active state), the inside is the platform edit's.
  auto border = Expected(focused, focused->SkinData(), 1);
  EXPECT_EQ(shot.at(focused->Left() + 1, focused->Top() + 11), Pixel(border.get(), 1, 11));
  auto offNormal = Expected(off, off->SkinData(), 0);
  EXPECT_NE(shot.at(off->Left() + 150, off->Top() + 11), Pixel(offNormal.get(), 150, 11));
  // The hint is written in 65 % of the font colour and 35 % of the background.
  const std::uint32_t ink =
      sctrl::PixelOf(MixColors(ColorToRGB(hint->Font()->Color()), ColorToRGB(hint->Color()), 0.65));
  bool hintInk = false;
  for (int x = 2; x < 80 && !hintInk; ++x)
    for (int y = 2; y < 20 && !hintInk; ++y) hintInk = shot.at(hint->Left() + x, hint->Top() + y) == ink;
  EXPECT_TRUE(hintInk);
  // '*' is shown as black circles, any other password character as itself.
  struct Same {
    TsEdit* a;
    TsEdit* b;
  } same[] = {{password, circles}, {hashes, hashText}};
  for (const Same& s : same) {
    bool inked = false;
    for (int y = 3; y < 19; ++y)
      for (int x = 3; x < 150; ++x) {
        const std::uint32_t pa = shot.at(s.a->Left() + x, s.a->Top() + y);
        ASSERT_EQ(pa, shot.at(s.b->Left() + x, s.b->Top() + y)) << x << "," << y;
        inked = inked || pa != shot.at(s.a->Left() + 150, s.a->Top() + 11);
      }
    EXPECT_TRUE(inked);
  }
}

TEST_P(SkinnedEdits, CheckBoxesShowTheSkinsBoxInEachState) {
  struct Row {
    const wchar_t* caption;
    TCheckBoxState state;
    bool enabled;
  } rows[] = {{L"Şehit çocuğu", cbUnchecked, true},  {L"Yurt dışından geldi", cbChecked, true},
              {L"Belirsiz", cbGrayed, true},         {L"Kapalı işaretli", cbChecked, false},
              {L"Odakta", cbChecked, true}};
  std::vector<TsCheckBox*> boxes;
  for (size_t i = 0; i < std::size(rows); ++i) {
    auto* b = Put<TsCheckBox>(form, 10, 10 + static_cast<int>(i) * 30, 200, 20);
    b->SetCaption(rows[i].caption);
    b->SetAllowGrayed(true);
    b->SetState(rows[i].state);
    b->SetEnabled(rows[i].enabled);
    boxes.push_back(b);
  }
  Show();
  boxes[4]->SetFocus();
  Settle();
  Shot shot(form->Handle());
  shot.Save(Name("checkboxes"));
  if (!Skinned()) {
    // The platform's check box keeps the size the form gives it.
    for (TsCheckBox* b : boxes) {
      EXPECT_FALSE(b->SkinData()->Skinned());
      EXPECT_EQ(b->Width(), 200);
      EXPECT_EQ(b->Height(), 20);
    }
    return;
  }
  for (size_t i = 0; i < boxes.size(); ++i) {
    SCOPED_TRACE(i);
    TsCheckBox* b = boxes[i];
    ASSERT_TRUE(b->SkinData()->Skinned());
    const int mask = b->GlyphMaskIndex(static_cast<int>(rows[i].state));
    ASSERT_GE(mask, 0);
    // The section in the control's state (1 while focused) with the skin's box of that state painted alone at
    // the box's place.
    auto want = Expected(b, b->SkinData(), b->PaintCtrlState());
    const TRect box = b->SkinCheckRect(mask);
    DrawSkinGlyph(want.get(), TPoint(box.Left, box.Top), 0, 1, manager->ma[static_cast<size_t>(mask)],
                  MakeCacheInfo(want.get()));
    int differing = 0;
    for (int y = box.Top; y < box.Bottom; ++y)
      for (int x = box.Left; x < box.Right; ++x)
        differing += shot.at(b->Left() + x, b->Top() + y) != Pixel(want.get(), x, y) ? 1 : 0;
    if (rows[i].enabled)
      EXPECT_EQ(differing, 0);
    else
      EXPECT_GT(differing, 0);  // blended with what lies behind it
  }
  // The box sizes itself to the box and the caption; the focused one shows a dotted frame in the font colour.
  EXPECT_LT(boxes[2]->Width(), 200);
  const std::uint32_t ink = sctrl::PixelOf(sctrl::SectionFontColor(manager, boxes[4]->SkinData()->SkinIndex, 2, 0));
  int dots = 0;
  for (int y = 0; y < boxes[4]->Height(); ++y) {
    int row = 0;  // ink, gap, ink: the dotted line of the frame
    for (int x = 18; x + 2 < boxes[4]->Width(); ++x) {
      const int fx = boxes[4]->Left() + x, fy = boxes[4]->Top() + y;
      row += shot.at(fx, fy) == ink && shot.at(fx + 1, fy) != ink && shot.at(fx + 2, fy) == ink;
    }
    dots = std::max(dots, row);
  }
  EXPECT_GT(dots, 5);
}

TEST_P(SkinnedEdits, SpaceAndTheMouseToggleTheBoxUnlessReadOnly) {
  struct Row {
    bool allowGrayed, readOnly, mouse;
    std::vector<TCheckBoxState> after;  // the state after each press
  } rows[] = {
      {false, false, false, {cbChecked, cbUnchecked, cbChecked}},
      {true, false, false, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
      {false, true, false, {cbUnchecked, cbUnchecked}},
      {false, false, true, {cbChecked, cbUnchecked}},
      {true, false, true, {cbGrayed, cbChecked, cbUnchecked}},
      {false, true, true, {cbUnchecked}},
  };
  auto* b = Put<TsCheckBox>(form, 10, 10, 200, 20);
  b->SetCaption(L"Evet");
  int valueChanged = 0, clicks = 0;
  b->OnValueChanged = [&](rtl::TObject*) { ++valueChanged; };
  b->OnClick = [&](rtl::TObject*) { ++clicks; };
  Show();
  b->SetFocus();
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    b->SetReadOnly(false);
    b->SetState(cbUnchecked);
    b->SetAllowGrayed(rows[i].allowGrayed);
    b->SetReadOnly(rows[i].readOnly);
    for (TCheckBoxState want : rows[i].after) {
      if (rows[i].mouse)
        ClickAt(b->Handle(), 8, b->Height() / 2);
      else
        PressSpace(b->Handle());
      EXPECT_TRUE(testutil::PumpUntil([&] { return b->State() == want; }, 5000)) << int(b->State());
      EXPECT_FALSE(b->Pressed());
    }
  }
  // Presses change State directly: only assigning Checked tells OnValueChanged.
  EXPECT_EQ(valueChanged, 0);
  EXPECT_GT(clicks, 0);
  b->SetState(cbUnchecked);
  b->SetChecked(true);
  b->SetChecked(true);
  EXPECT_EQ(valueChanged, 1);
  if (!Skinned()) return;
  // A press that leaves the control before the release does not toggle; while down, the pressed look is painted.
  b->SetReadOnly(false);
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(b->PaintCtrlState(), 2);
  b->Perform(CM_MOUSEENTER, 0, 0);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 8));
  Settle(b->SkinData());
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(b->State(), cbChecked);
}

TEST_P(SkinnedEdits, BoundControlsStoreTheirValuesInTheFileAndReadThemBack) {
  const std::wstring file = dbtest::TempFolder() + L"\\tavrel.db";
  ASSERT_TRUE(dbtest::CreateDatabase(
      file, "insert into ogrencigorusme(okulno, adisoyadi, gorusmeturu) values (1, 'Ayşe Yılmaz', 'evet');"));
  auto* conn = Create<db::TADOConnection>(form);
  conn->SetConnectionString(L"Data Source=" + file);
  conn->SetLoginPrompt(false);
  auto* table = Create<db::TADOTable>(form);
  table->SetConnection(conn);
  table->SetTableName(L"ogrencigorusme");
  auto* source = Create<db::TDataSource>(form);
  source->SetDataSet(table);
  auto* box = Put<TsDBCheckBox>(form, 10, 10, 240, 20);
  box->SetCaption(L"Görüşme yapıldı");
  box->SetValueChecked(L"Evet;E");
  box->SetValueUnchecked(L"Hayır");
  box->SetDataSource(source);
  box->SetDataField(L"gorusmeturu");
  auto* name = Put<TsDBEdit>(form, 10, 40, 200, 22);
  name->SetDataSource(source);
  name->SetDataField(L"adisoyadi");
  auto* memo = Put<TsDBMemo>(form, 10, 70, 300, 80);
  memo->SetDataSource(source);
  memo->SetDataField(L"yapilancalisma");
  auto* rich = Put<TsDBRichEdit>(form, 10, 160, 300, 60);
  rich->SetDataSource(source);
  rich->SetDataField(L"gorusmekonusu");
  table->Open();
  Show();
  ASSERT_EQ(box->State(), cbChecked);  // 'evet' matches 'Evet' without regard to case
  EXPECT_EQ(name->Text(), L"Ayşe Yılmaz");
  box->SetFocus();
  PressSpace(box->Handle());
  ASSERT_TRUE(testutil::PumpUntil([&] { return box->State() == cbUnchecked; }, 5000));
  EXPECT_EQ(table->State(), db::dsEdit);
  name->SetText(L"İsmail Işık");
  memo->SetText(L"Aile ile görüşüldü.\r\nİkinci satır");
  rich->SetText(L"Sınav kaygısı");
  Shot(form->Handle()).Save(Name("bound"));
  table->Post();
  auto rows = testutil::Query(file, "select * from ogrencigorusme where okulno = 1");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["gorusmeturu"], L"Hayır");
  EXPECT_EQ(rows[0]["adisoyadi"], L"İsmail Işık");
  EXPECT_EQ(rows[0]["yapilancalisma"], L"Aile ile görüşüldü.\r\nİkinci satır");
  EXPECT_EQ(rows[0]["gorusmekonusu"], L"Sınav kaygısı");
  // Read back from the file; checking again writes the first item of the checked list.
  table->Close();
  table->Open();
  Settle();
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(name->Text(), L"İsmail Işık");
  EXPECT_EQ(memo->Text(), L"Aile ile görüşüldü.\r\nİkinci satır");
  EXPECT_EQ(rich->Text(), L"Sınav kaygısı");
  box->SetFocus();
  ClickAt(box->Handle(), 8, box->Height() / 2);
  ASSERT_TRUE(testutil::PumpUntil([&] { return box->State() == cbChecked; }, 5000));
  table->Post();
  EXPECT_EQ(testutil::QueryText(file, "select gorusmeturu from ogrencigorusme where okulno = 1"), "Evet");
  // A skinned copy for a replicating container paints the record's value, whatever the control shows.
  if (Skinned()) {
    box->SetState(cbUnchecked);
    auto copy = CreateBmp32(box->Width(), box->Height());
    {
      TControlState st = box->ControlState();
      st += csPaintCopy;
      box->SetControlState(st);
    }
    box->Perform(WM_PAINT, reinterpret_cast<WPARAM>(copy->Canvas()->Handle()), 0);
    {
      TControlState st = box->ControlState();
      st -= csPaintCopy;
      box->SetControlState(st);
    }
    auto checkedLook = CreateBmp32(box->Width(), box->Height());
    box->SetState(cbChecked);
    box->SkinData()->CtrlSkinState |= LVCS_PRINTING;
    box->Perform(WM_PAINT, reinterpret_cast<WPARAM>(checkedLook->Canvas()->Handle()), 0);
    box->SkinData()->CtrlSkinState &= static_cast<unsigned short>(~LVCS_PRINTING);
    const TRect r = box->CheckRect();
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) ASSERT_EQ(Pixel(copy.get(), x, y), Pixel(checkedLook.get(), x, y));
    // Removing the skin gives the bound edit a new window, in which editing goes on.
    HWND before = name->Handle();
    name->Perform(SM_LUMICMD, MakeLumiWParam(LVC_REMOVESKIN), reinterpret_cast<LPARAM>(manager));
    EXPECT_NE(name->Handle(), before);
    EXPECT_EQ(name->Text(), L"İsmail Işık");
    SetFocus(name->Handle());
    const int end = static_cast<int>(name->Text().size());
    SendMessageW(name->Handle(), EM_SETSEL, end, end);
    SendMessageW(name->Handle(), WM_CHAR, L'a', 1);
    Application->ProcessMessages();
    EXPECT_EQ(name->Text(), L"İsmail Işıka");
    table->Post();
    EXPECT_EQ(testutil::QueryText(file, "select adisoyadi from ogrencigorusme where okulno = 1"), "İsmail Işıka");
  }
}

TEST_P(SkinnedEdits, BoundEditsAnswerTheSkinCommandsAndKeepTheirLabels) {
  auto* name = Put<TsDBEdit>(form, 100, 10, 200, 22);
  auto* memo = Put<TsDBMemo>(form, 100, 40, 200, 80);
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  auto* rich = Put<TsDBRichEdit>(form, 100, 130, 200, 60);
  auto* edit = Put<TsEdit>(form, 100, 200, 200, 22);
  edit->BoundLabel()->SetCaption(L"Adı soyadı");
  edit->BoundLabel()->SetActive(true);
  Show();
  for (TWinControl* c : std::vector<TWinControl*>{name, memo, rich})
    EXPECT_EQ(SendMessageW(c->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_CTRLHANDLED), 0), 1);
  int vertical = 0;
  memo->FOnVScroll = [&](rtl::TObject*) { ++vertical; };
  memo->SetText(String(L"satır\r\n") + String(L"satır\r\nsatır\r\nsatır\r\nsatır\r\nsatır\r\nsatır\r\nsatır"));
  SendMessageW(memo->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(vertical, 0);
  SendMessageW(memo->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(vertical, 1);
  // The bound label follows the edit's visibility and stays beside it.
  ASSERT_NE(edit->BoundLabel()->TheLabel(), nullptr);
  EXPECT_TRUE(edit->BoundLabel()->TheLabel()->Visible());
  edit->SetVisible(false);
  EXPECT_FALSE(edit->BoundLabel()->TheLabel()->Visible());
  edit->SetVisible(true);
  EXPECT_TRUE(edit->BoundLabel()->TheLabel()->Visible());
  EXPECT_LT(edit->BoundLabel()->TheLabel()->Left() + edit->BoundLabel()->TheLabel()->Width(), edit->Left() + 1);
  if (!Skinned()) return;
  // A refresh recolours the rich edit's default text to the section's font colour without touching its text.
  int changes = 0;
  rich->OnChange = [&](rtl::TObject*) { ++changes; };
  rich->SetText(L"Not");
  changes = 0;
  rich->Perform(SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), reinterpret_cast<LPARAM>(manager));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(ColorToRGB(rich->DefaultTextColor()),
            ColorToRGB(sctrl::SectionFontColor(manager, rich->SkinData()->SkinIndex, 0, clBlack)));
}

// While a skin is active each bound edit keeps a live window wrapper for its frame and scroll bars; removing the
// skin frees it, and typing in every one of them still reaches the file.
TEST_P(SkinnedEdits, BoundEditsKeepAWindowWrapperOnlyWhileSkinned) {
  const std::wstring file = dbtest::TempFolder() + L"\\tavrel.db";
  ASSERT_TRUE(dbtest::CreateDatabase(
      file, "insert into ogrencigorusme(okulno, adisoyadi, gorusmeturu) values (1, 'Ayşe Yılmaz', 'evet');"));
  auto* conn = Create<db::TADOConnection>(form);
  conn->SetConnectionString(L"Data Source=" + file);
  conn->SetLoginPrompt(false);
  auto* table = Create<db::TADOTable>(form);
  table->SetConnection(conn);
  table->SetTableName(L"ogrencigorusme");
  auto* source = Create<db::TDataSource>(form);
  source->SetDataSet(table);
  auto* name = Put<TsDBEdit>(form, 10, 10, 200, 22);
  name->SetDataField(L"adisoyadi");
  auto* memo = Put<TsDBMemo>(form, 10, 40, 300, 80);
  memo->SetScrollBars(ssVertical);
  memo->SetDataField(L"yapilancalisma");
  auto* rich = Put<TsDBRichEdit>(form, 10, 130, 300, 60);
  rich->SetDataField(L"gorusmekonusu");
  name->SetDataSource(source);
  memo->SetDataSource(source);
  rich->SetDataSource(source);
  table->Open();
  Show();
  struct Bound {
    TWinControl* control;
    TlvScrollWnd** wrapper;
    const char* field;
  };
  const std::vector<Bound> bound{{name, &name->ListSW, "adisoyadi"},
                                 {memo, &memo->ListSW, "yapilancalisma"},
                                 {rich, &rich->ListSW, "gorusmekonusu"}};
  auto type = [&](TWinControl* c, const String& text) {
    c->SetFocus();
    SendMessageW(c->Handle(), EM_SETSEL, 0, -1);
    for (wchar_t ch : text) SendMessageW(c->Handle(), WM_CHAR, ch, 1);
    Application->ProcessMessages();
  };
  auto typeAndStore = [&](const String& text) {
    for (const Bound& b : bound) type(b.control, text);
    table->Post();
    for (const Bound& b : bound)
      EXPECT_EQ(String(testutil::Wide(testutil::QueryText(
                    file, std::string("select ") + b.field + " from ogrencigorusme where okulno = 1"))),
                text)
          << b.field;
  };
  auto live = [&] {
    return std::all_of(bound.begin(), bound.end(), [](const Bound& b) { return *b.wrapper != nullptr; });
  };
  auto none = [&] {
    return std::all_of(bound.begin(), bound.end(), [](const Bound& b) { return *b.wrapper == nullptr; });
  };
  if (Skinned()) {
    ASSERT_TRUE(testutil::PumpUntil(live, 5000));
    for (const Bound& b : bound) EXPECT_FALSE((*b.wrapper)->Destroyed) << b.field;
    typeAndStore(L"Şükrü Ilgın");
    // Hiding and showing again keeps one live wrapper.
    TlvScrollWnd* before = memo->ListSW;
    memo->SetVisible(false);
    memo->SetVisible(true);
    Settle();
    EXPECT_EQ(memo->ListSW, before);
    manager->SetActive(false);
    EXPECT_TRUE(testutil::PumpUntil(none, 5000));
    Settle();
  } else {
    EXPECT_TRUE(none());
  }
  typeAndStore(L"Gülay Öğüt");
  EXPECT_TRUE(none());
}

struct BoxCase {
  TMsgDlgType type;
  TMsgDlgButtons buttons;
  int press;
  const wchar_t* caption;
  unsigned style;
};

TEST_P(SkinnedEdits, TheMessageBoxAnswersTheButtonPressed) {
  auto* edit = Put<TsEdit>(form, 10, 10, 200, 22);
  Show();
  const BoxCase cases[] = {
      {mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel}, IDNO, L"Confirm", MB_ICONQUESTION | MB_YESNOCANCEL},
      {mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, IDYES, L"Confirm", MB_ICONQUESTION | MB_YESNO},
      {mtWarning, TMsgDlgButtons{mbOK, mbCancel}, IDCANCEL, L"Warning", MB_ICONWARNING | MB_OKCANCEL},
      {mtError, TMsgDlgButtons{mbRetry, mbCancel}, IDRETRY, L"Error", MB_ICONERROR | MB_RETRYCANCEL},
      {mtInformation, TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}, IDIGNORE, L"Information",
       MB_ICONINFORMATION | MB_ABORTRETRYIGNORE},
      {mtCustom, TMsgDlgButtons{mbOK}, IDOK, L"", MB_OK},
      {mtCustom, TMsgDlgButtons{mbHelp}, IDOK, L"", MB_OK | MB_HELP},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(testutil::Utf8(c.caption) + " " + std::to_string(c.press));
    EXPECT_EQ(sMessageDlgStyle(c.type, c.buttons), c.style);
    edit->SetFocus();
    testutil::DialogAnswer answer(c.press);
    EXPECT_EQ(sMessageDlg(L"Kaydedilsin mi?", c.type, c.buttons, 0), c.press);
    EXPECT_EQ(answer.seen, 1);
    EXPECT_EQ(answer.caption, c.caption);
    EXPECT_EQ(answer.text, L"Kaydedilsin mi?");
    EXPECT_EQ(DlgLeft, -1);
    EXPECT_EQ(DlgTop, -1);
    EXPECT_TRUE(testutil::PumpUntil([&] { return GetActiveWindow() == form->Handle(); }, 10000));
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  }
  // Placed where asked; the Help button calls the application's help with the box's context.
  std::vector<int> helped;
  sApplicationHelpContext = [&](int id) { helped.push_back(id); };
  RECT where{};
  int seenLeft = 0, phase = 0, ticks = 0;
  testutil::EveryTick tick([&] {
    HWND box = FindWindowW(L"#32770", L"Konum");
    if (!box || !IsWindowVisible(box)) return;
    ++ticks;
    if (phase == 0) {
      GetWindowRect(box, &where);
      seenLeft = DlgLeft;
      phase = 1;
      PostMessageW(GetDlgItem(box, IDHELP), BM_CLICK, 0, 0);
    } else if (phase == 1 && (!helped.empty() || ticks > 600)) {
      // Answered once the help came (or, should it never come, after a bound so the test cannot hang).
      phase = 2;
      PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    } else if (phase == 1 && ticks == 40) {
      // F1 in the box asks for help the same way when the button does not.
      HELPINFO hi{};
      hi.cbSize = sizeof(hi);
      hi.iContextType = HELPINFO_WINDOW;
      hi.hItemHandle = box;
      SendMessageW(box, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    }
  });
  EXPECT_EQ(sMessageDlgPosHelp(L"Konum", L"Yardım ister misiniz?", mtInformation, TMsgDlgButtons{mbOK, mbHelp}, 4711,
                               123, 77, L"yok.hlp"),
            IDOK);
  sApplicationHelpContext = nullptr;
  EXPECT_EQ(where.left, 123);
  EXPECT_EQ(where.top, 77);
  EXPECT_EQ(seenLeft, 123);
  ASSERT_EQ(helped.size(), 1u);
  EXPECT_EQ(helped[0], 4711);
  EXPECT_EQ(DlgLeft, -1);
}

TEST(ControlUnitDefaults, TheCaptionsAndTheSystemWordsAreThere) {
  // The box's caption by kind.
  EXPECT_EQ(sDialogCaption(mtWarning), L"Warning");
  EXPECT_EQ(sDialogCaption(mtError), L"Error");
  EXPECT_EQ(sDialogCaption(mtInformation), L"Information");
  EXPECT_EQ(sDialogCaption(mtConfirmation), L"Confirm");
  EXPECT_EQ(sDialogCaption(mtCustom), L"");
  EXPECT_EQ(DlgLeft, -1);
  EXPECT_EQ(DlgTop, -1);
  // The words for Close and Minimize are the system's own, copied whole.
  HMODULE user = LoadLibraryW(L"User32");
  ASSERT_NE(user, nullptr);
  wchar_t buf[256] = {};
  LoadStringW(user, 905, buf, 256);
  EXPECT_EQ(s_Close(), buf);
  LoadStringW(user, 900, buf, 256);
  EXPECT_EQ(s_Minimize(), buf);
  FreeLibrary(user);
  EXPECT_TRUE(ArOR().empty());
}

}  // namespace
