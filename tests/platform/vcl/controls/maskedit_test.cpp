// The masked edit over a real EDIT window, typed into key by key: places refuse what they do not take, literals
// are stepped over, Text and EditText differ as the mask's sections say, and leaving a changed edit validates it.
#include <gtest/gtest.h>

#include "platform/rtl/formatsettings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/mask.h"

using namespace vcl;

namespace {

class MaskEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = rtl::FormatSettings;
    rtl::FormatSettings.DateSeparator = L'.';  // the Turkish separator, whatever the machine says
    rtl::FormatSettings.TimeSeparator = L':';
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetBounds(40, 40, 300, 160);
    edit = new TMaskEdit(form);
    edit->SetParent(form);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetTop(40);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    delete form;
    Application->ProcessMessages();
    rtl::FormatSettings = saved_;
  }
  void Type(const String& keys) {
    for (wchar_t k : keys) edit->Perform(WM_CHAR, k, 1);
  }
  rtl::TFormatSettings saved_;
  TForm* form = nullptr;
  TMaskEdit* edit = nullptr;
  TEdit* other = nullptr;
};

TEST_F(MaskEdit, TheDateMaskShowsBlanksAndLocaleSeparators) {
  edit->SetEditMask(L"!99/99/0000;1;_");
  EXPECT_EQ(edit->EditText(), L"__.__.____");
  EXPECT_EQ(edit->Text(), L"  .  .    ");
  EXPECT_EQ(edit->MaxLength(), 10);
}

TEST_F(MaskEdit, TypingKeyByKeyFillsPlacesAndStepsOverLiterals) {
  edit->SetEditMask(L"!99/99/0000;1;_");
  edit->SetFocus();
  edit->SetSelStart(0);
  struct Step {
    wchar_t key;
    const wchar_t* edit_text;
    int caret;
  };
  const Step steps[] = {
      {L'1', L"1_.__.____", 1},    {L'x', L"1_.__.____", 1},  // a letter is refused where a digit goes
      {L'2', L"12.__.____", 3},                               // the caret jumps over the separator
      {L'.', L"12.__.____", 3},    {L'0', L"12.0_.____", 4},  {L'5', L"12.05.____", 6},
      {L'2', L"12.05.2___", 7},    {L'0', L"12.05.20__", 8},  {L'2', L"12.05.202_", 9},
      {L'4', L"12.05.2024", 10},   {L'9', L"12.05.2024", 10},  // no place left
      {VK_BACK, L"12.05.202_", 9},
  };
  for (const Step& s : steps) {
    Type(String(1, s.key));
    EXPECT_EQ(edit->EditText(), s.edit_text) << "after key " << static_cast<int>(s.key);
    EXPECT_EQ(edit->SelStart(), s.caret) << "after key " << static_cast<int>(s.key);
  }
  EXPECT_TRUE(edit->Modified());
}

TEST_F(MaskEdit, BackspaceAndDeleteBlankPlacesButKeepLiterals) {
  edit->SetEditMask(L"!99/99/0000;1;_");
  edit->SetText(L"12.05.2024");
  EXPECT_EQ(edit->EditText(), L"12.05.2024");
  edit->SetSelStart(3);
  Type(String(1, wchar_t(VK_BACK)));  // the place before the separator
  EXPECT_EQ(edit->EditText(), L"1_.05.2024");
  EXPECT_EQ(edit->SelStart(), 1);
  edit->SetSelStart(0);
  edit->SetSelLength(5);
  edit->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(edit->EditText(), L"__.__.2024");
  EXPECT_EQ(edit->Text(), L"  .  .2024");
}

TEST_F(MaskEdit, CutPasteAndClearKeepTheMasksShape) {
  edit->SetEditMask(L"!99/99/0000;1;_");
  edit->SetText(L"12.05.2024");
  edit->SetFocus();
  edit->SetSelStart(0);
  edit->SetSelLength(5);
  Type(String(1, wchar_t(0x18)));  // Ctrl+X
  EXPECT_EQ(edit->EditText(), L"__.__.2024");
  edit->SetSelStart(0);
  edit->SetSelLength(0);
  edit->Perform(WM_PASTE);  // the cut "12.05" typed back through the mask
  EXPECT_EQ(edit->EditText(), L"12.05.2024");
  edit->SetSelStart(6);
  edit->SetSelLength(4);
  edit->Perform(WM_CLEAR);
  EXPECT_EQ(edit->EditText(), L"12.05.____");
}

TEST_F(MaskEdit, LiteralsLeaveTextWhenNotSavedAndCaseFollowsTheMask) {
  edit->SetEditMask(L">LL-000;0;*");
  EXPECT_EQ(edit->EditText(), L"**-***");
  edit->SetFocus();
  edit->SetSelStart(0);
  Type(L"ab1-23x4");
  EXPECT_EQ(edit->EditText(), L"AB-123");
  EXPECT_EQ(edit->Text(), L"AB123");
  edit->SetText(L"cd456");
  EXPECT_EQ(edit->EditText(), L"CD-456");
  // Turkish letters are letters; upper-casing follows the user's locale.
  edit->SetText(L"");
  edit->SetSelStart(0);
  Type(L"şğ");
  EXPECT_EQ(edit->EditText().substr(0, 2), L"ŞĞ");
}

TEST_F(MaskEdit, ValidationRefusesEmptyRequiredPlacesOnlyAfterAChange) {
  edit->SetEditMask(L"!99/99/0000;1;_");
  edit->ValidateEdit();  // untouched: nothing to check
  edit->SetFocus();
  edit->SetSelStart(0);
  Type(L"1205202");
  try {
    edit->ValidateEdit();
    FAIL() << "an incomplete year passed";
  } catch (const rtl::EDBEditError& e) {
    EXPECT_EQ(e.Message(), L"Invalid input value.  Use escape key to abandon changes");
  }
  EXPECT_EQ(edit->SelStart(), 9) << "the caret goes to the first empty required place";
  Type(L"4");
  EXPECT_NO_THROW(edit->ValidateEdit());
  // Optional day and month may stay empty.
  edit->SetEditText(L"__.__.2024");
  edit->SetModified(true);
  EXPECT_NO_THROW(edit->ValidateEdit());
}

TEST_F(MaskEdit, LeavingAnInvalidEditShowsTheErrorAndEscapeAbandonsTheChange) {
  edit->SetEditMask(L"!99/99/0000;1;_");
  edit->SetText(L"01.01.2020");
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetSelStart(6);
  edit->SetSelLength(4);
  Type(String(1, wchar_t(VK_BACK)));
  EXPECT_EQ(edit->EditText(), L"01.01.____");
  std::vector<String> shown;
  Application->OnException = [&](rtl::TObject*, const rtl::Exception& e) { shown.push_back(e.Message()); };
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], L"Invalid input value.  Use escape key to abandon changes");
  EXPECT_TRUE(edit->Focused()) << "the focus comes back to the edit";
  Type(String(1, wchar_t(VK_ESCAPE)));
  EXPECT_EQ(edit->EditText(), L"01.01.2020");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(MaskEdit, WithoutAMaskItIsAPlainEdit) {
  edit->SetText(L"serbest");
  Type(L"!");
  EXPECT_EQ(edit->Text().size(), 8u);
  EXPECT_EQ(edit->EditText(), edit->Text());
}

}  // namespace
