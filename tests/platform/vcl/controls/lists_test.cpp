// Combo boxes, list boxes, memos and radio buttons over their system windows: the combo's OnChange follows typing
// and choosing and its initial text stays with no item chosen; a memo's Lines and Text stay in step with and
// without a window; lists survive the window being made again; one radio button of a parent is checked.
#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace vcl {

class TListsForm : public TForm {
  VCL_CLASS(TListsForm, TForm)
public:
  explicit TListsForm(TComponent* owner) : TForm(owner) {}
  TComboBox* sComboBox2 = nullptr;
  int changes = 0;
  String last_text;
  void sComboBox2Change(rtl::TObject*) {
    ++changes;
    last_text = sComboBox2->Text();
  }
};

VCL_REGISTER(TListsForm) {
  cls.Field(L"sComboBox2", &TListsForm::sComboBox2);
  cls.Method(L"sComboBox2Change", &TListsForm::sComboBox2Change);
}

}  // namespace vcl

namespace {

const wchar_t* kComboForm =
    L"object ListsForm: TListsForm\r\n"
    L"  Left = 10\r\n"
    L"  Top = 10\r\n"
    L"  Width = 400\r\n"
    L"  Height = 300\r\n"
    L"  object sComboBox2: TComboBox\r\n"
    L"    Left = 8\r\n"
    L"    Top = 8\r\n"
    L"    Width = 200\r\n"
    L"    Height = 21\r\n"
    L"    ItemIndex = -1\r\n"
    L"    Text = 'PDR alan\x0131'\r\n"
    L"    OnChange = sComboBox2Change\r\n"
    L"    Items.Strings = (\r\n"
    L"      'Psikolojik Dan\x0131\x015Fma'\r\n"
    L"      'Mesleki Rehberlik'\r\n"
    L"      'E\x011Fitsel Rehberlik')\r\n"
    L"  end\r\n"
    L"end\r\n";

HWND EditOf(TComboBox* combo) { return FindWindowExW(combo->Handle(), nullptr, L"Edit", nullptr); }

TEST(ComboBox, InitialTextStaysWithNoItemChosenAndOnChangeFollowsTypingAndChoosing) {
  Application->Initialize();
  auto* form = new TListsForm(nullptr);
  ReadComponentText(kComboForm, form, L"TLISTSFORM");
  TComboBox* combo = form->sComboBox2;
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->Text(), L"PDR alanı");
  form->Show();
  Application->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), L"PDR alanı");
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(form->changes, 0);

  // Typing in the edit part.
  HWND edit = EditOf(combo);
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, L'M', 1);
  EXPECT_EQ(form->changes, 1);
  EXPECT_EQ(form->last_text, L"M");

  // Choosing an item with the keyboard: the handler already reads the chosen item.
  SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 1);
  Application->ProcessMessages();
  EXPECT_GE(form->changes, 2);
  int chosen = combo->ItemIndex();
  ASSERT_GE(chosen, 0);
  EXPECT_EQ(form->last_text, combo->Items()->Get(chosen));
  EXPECT_EQ(combo->Text(), combo->Items()->Get(chosen));

  // Set by the program: no OnChange.
  int before = form->changes;
  combo->SetItemIndex(2);
  combo->SetText(L"Serbest metin");
  EXPECT_EQ(form->changes, before);
  EXPECT_EQ(combo->Text(), L"Serbest metin");
  delete form;
}

TEST(ComboBox, ItemsItemIndexAndTextSurviveANewWindow) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* combo = new TComboBox(form);
  combo->SetParent(form);
  combo->Items()->Add(L"Sağ");
  combo->Items()->Add(L"Ölü");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), L"Ölü");
  form->Show();
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), L"Ölü");
  combo->SetStyle(csDropDownList);  // makes the window again
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
  combo->Items()->Delete(0);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 1);
  combo->SetText(L"Ölü");
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->SetText(L"yok");  // a list-only combo shows only its items
  EXPECT_EQ(combo->ItemIndex(), -1);
  delete form;
}

TEST(ComboBox, OpenListShowsDropDownCountItemsAfterAResize) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* combo = new TComboBox(form);
  combo->SetParent(form);
  for (int i = 1; i <= 12; ++i) combo->Items()->Add(std::to_wstring(i));
  form->Show();
  combo->SetBounds(10, 10, 120, 21);
  combo->SetWidth(90);
  EXPECT_LT(combo->Height(), 40);  // the closed height
  RECT r;
  SendMessageW(combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
  int item = static_cast<int>(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(r.bottom - r.top, combo->Height() + 7 * item) << r.bottom - r.top;
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
  delete form;
}

TEST(Memo, LinesAndTextStayInStep) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  for (bool windowed : {false, true}) {
    if (windowed) form->Show();
    EXPECT_EQ(memo->HandleAllocated(), windowed);
    memo->Lines()->Clear();
    EXPECT_EQ(memo->Text(), L"");
    memo->Lines()->Add(L"Geliş nedeni");
    memo->Lines()->Add(L"İkinci satır");
    EXPECT_EQ(memo->Text(), L"Geliş nedeni\r\nİkinci satır\r\n");
    memo->SetText(L"bir\r\niki\nüç");
    ASSERT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Get(2), L"üç");
    memo->Lines()->Put(1, L"İKİ");
    EXPECT_EQ(memo->Text(), L"bir\r\nİKİ\r\nüç\r\n");
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Lines()->Text(), memo->Text());
    rtl::TStringList many;
    for (int i = 0; i < 50; ++i) many.Add(L"satır " + std::to_wstring(i));
    memo->Lines()->Assign(&many);
    EXPECT_EQ(memo->Lines()->Count(), 50);
    EXPECT_EQ(memo->Lines()->Get(49), L"satır 49");
    EXPECT_THROW(memo->Lines()->Get(50), rtl::Exception);
  }
  // The window holds every line.
  EXPECT_EQ(SendMessageW(memo->Handle(), EM_GETLINECOUNT, 0, 0), 51);
  delete form;
}

TEST(Memo, TypedTextReachesLinesAndOnChange) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  int changes = 0;
  memo->OnChange = [&](rtl::TObject*) { ++changes; };
  form->Show();
  SendMessageW(memo->Handle(), WM_CHAR, L'a', 1);
  SendMessageW(memo->Handle(), WM_CHAR, VK_RETURN, 1);
  SendMessageW(memo->Handle(), WM_CHAR, L'ş', 1);
  EXPECT_EQ(changes, 3);
  ASSERT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(memo->Lines()->Get(1), L"ş");
  delete form;
}

TEST(ListBox, ClickFollowsSelectionAndItemsSurviveANewWindow) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* list = new TListBox(form);
  list->SetParent(form);
  list->SetSorted(true);
  for (const wchar_t* s : {L"Grup", L"Bireysel", L"Aile"}) list->Items()->Add(s);
  EXPECT_EQ(list->Items()->Get(0), L"Aile");
  int clicks = 0;
  list->OnClick = [&](rtl::TObject*) { ++clicks; };
  form->Show();
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  list->SetItemIndex(1);
  EXPECT_EQ(clicks, 0);
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->ItemIndex(), 2);
  list->SetMultiSelect(true);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_TRUE(list->Selected(2));
  delete form;
}

TEST(RadioButton, CheckingOneUnchecksTheOthersOfItsParent) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* group = new TGroupBox(form);
  group->SetParent(form);
  group->SetCaption(L"Cinsiyet");
  TRadioButton* r[3];
  for (int i = 0; i < 3; ++i) {
    r[i] = new TRadioButton(form);
    r[i]->SetParent(i < 2 ? static_cast<TWinControl*>(group) : form);
    r[i]->SetTop(20 * i + 20);
  }
  r[2]->SetChecked(true);
  form->Show();
  r[0]->SetChecked(true);
  SendMessageW(r[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(r[0]->Checked());
  EXPECT_TRUE(r[1]->Checked());
  EXPECT_TRUE(r[2]->Checked());  // another parent
  EXPECT_EQ(SendMessageW(r[0]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(r[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // The group box's caption band is not part of its children's area.
  TRect client = group->ClientRect();
  group->AdjustClientRect(client);
  EXPECT_GT(client.Top, 0);
  delete form;
}

}  // namespace
