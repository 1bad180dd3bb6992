// The skinned controls with no active skin manager behave as their platform counterparts, over real windows: bit
// buttons click on Space only while enabled, edits report every change, labels size to their caption and show
// their own colour, images draw centred and in proportion. The skin state picks its section as the screens need.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sImage.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sSkinManager.h"

using namespace vcl;

namespace {

// A 32-bit memory bitmap that a control paints into; pixels read back as colour values.
class Snapshot {
public:
  Snapshot(int w, int h) : w_(w) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
  }
  ~Snapshot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const {
    GdiFlush();
    DWORD v = bits_[y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

private:
  int w_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

class SkinnedControls : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    form.reset(new TForm(nullptr));
    form->SetBounds(100, 100, 400, 300);
    // The main window keeps its manager stored inactive: nothing is skinned.
    manager = new TsSkinManager(form.get());
    manager->SetActive(false);
  }
  void Show() {
    form->Show();
    Application->ProcessMessages();
  }
  std::unique_ptr<TForm> form;
  TsSkinManager* manager = nullptr;
};

void PressSpace(HWND wnd) {
  SendMessageW(wnd, WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(wnd, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  Application->ProcessMessages();
}

TEST_F(SkinnedControls, BitButtonClicksOnSpaceAndIsInertWhileDisabled) {
  auto* button = new TsBitBtn(form.get());
  button->SetParent(form.get());
  button->SetCaption(L"Giriş");
  button->SetTabOrder(0);
  int clicks = 0;
  button->OnClick = [&](rtl::TObject*) { ++clicks; };
  Show();
  EXPECT_FALSE(button->SkinData()->Skinned());
  button->SetFocus();
  Application->ProcessMessages();
  PressSpace(button->Handle());
  EXPECT_EQ(clicks, 1);

  button->SetEnabled(false);
  PressSpace(button->Handle());
  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(IsWindowEnabled(button->Handle()));
}

TEST_F(SkinnedControls, BitButtonFirstInTheTabOrderHoldsTheFocusWhenTheFormOpens) {
  auto* edit = new TsEdit(form.get());
  edit->SetParent(form.get());
  auto* button = new TsBitBtn(form.get());
  button->SetParent(form.get());
  button->SetTop(40);
  button->SetTabOrder(0);
  Show();
  EXPECT_EQ(GetFocus(), button->Handle());
}

TEST_F(SkinnedControls, EditReportsEveryChangeTypedOrSet) {
  auto* edit = new TsEdit(form.get());
  edit->SetParent(form.get());
  int changes = 0;
  edit->OnChange = [&](rtl::TObject*) { ++changes; };
  Show();
  edit->SetText(L"123");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit->Text(), L"123");
  edit->SetFocus();
  SendMessageW(edit->Handle(), EM_SETSEL, 3, 3);
  SendMessageW(edit->Handle(), WM_CHAR, L'4', 0);
  Application->ProcessMessages();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit->Text(), L"1234");
  EXPECT_EQ(edit->PasswordChar(), 0);

  // A disabled edit refuses input.
  edit->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
}

TEST_F(SkinnedControls, LabelIsSizedToItsCaptionAndShowsItsOwnColour) {
  auto* panel = new TsPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 300, 100);
  panel->SetColor(clWhite);
  auto* label = new TsLabel(form.get());
  label->SetParent(panel);
  label->SetBounds(10, 10, 5, 5);
  label->SetCaption(L"Kullanıcı Adı");
  int width = label->Width();
  EXPECT_GT(width, 30);
  EXPECT_GT(label->Height(), 5);
  label->SetCaption(L"Kullanıcı Adı ve Şifre");
  EXPECT_GT(label->Width(), width);

  label->SetColor(clRed);
  EXPECT_FALSE(label->ParentColor());
  label->SetCaption(L".");
  Show();
  Snapshot shot(300, 100);
  panel->PaintTo(shot.dc(), 0, 0);
  EXPECT_EQ(shot.at(10 + label->Width() - 1, 10 + label->Height() - 1), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(10 + label->Width() + 1, 10), RGB(255, 255, 255));
  // Following the parent's colour, the transparent label shows what lies behind it.
  label->SetParentColor(true);
  panel->PaintTo(shot.dc(), 0, 0);
  EXPECT_EQ(shot.at(10 + label->Width() - 1, 10 + label->Height() - 1), RGB(255, 255, 255));
}

TEST_F(SkinnedControls, ImageDrawsCentredAndInProportion) {
  auto* panel = new TsPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 100, 100);
  panel->SetColor(clWhite);
  auto* image = new TsImage(form.get());
  image->SetParent(panel);
  image->SetBounds(0, 0, 100, 100);
  image->SetCenter(true);
  image->SetStretch(true);
  image->SetProportional(true);
  TBitmap pic(40, 20, pf32bit);
  pic.Canvas()->Brush()->SetColor(clRed);
  pic.Canvas()->FillRect(Rect(0, 0, 40, 20));
  image->Picture()->SetGraphic(&pic);
  Show();
  Snapshot shot(100, 100);
  panel->PaintTo(shot.dc(), 0, 0);
  EXPECT_EQ(shot.at(50, 20), RGB(255, 255, 255));
  EXPECT_EQ(shot.at(50, 27), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(2, 50), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(97, 72), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(50, 80), RGB(255, 255, 255));
}

TEST_F(SkinnedControls, ComboBoxKeepsItsInitialTextAndReportsAChoice) {
  auto* combo = new TsComboBox(form.get());
  combo->SetParent(form.get());
  combo->Items()->Add(L"Bireysel");
  combo->Items()->Add(L"Grup");
  combo->SetText(L"Seçiniz");
  int changes = 0;
  combo->OnChange = [&](rtl::TObject*) { ++changes; };
  Show();
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), L"Seçiniz");
  SendMessageW(combo->Handle(), CB_SETCURSEL, 1, 0);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo->Handle()));
  Application->ProcessMessages();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(combo->Text(), L"Grup");
}

TEST_F(SkinnedControls, ReadOnlyCheckBoxIgnoresClicks) {
  auto* check = new TsCheckBox(form.get());
  check->SetParent(form.get());
  check->SetCaption(L"Burslu");
  Show();
  SendMessageW(check->Handle(), BM_CLICK, 0, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(check->Checked());
  check->SetReadOnly(true);
  SendMessageW(check->Handle(), BM_CLICK, 0, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(check->Checked());
}

TEST(SkinState, SectionRules) {
  Application->Initialize();
  TForm form(nullptr);
  // Kinds the skin state names a section for itself.
  auto* image = new TsImage(&form);
  image->AfterConstruction();
  EXPECT_EQ(image->SkinData()->SkinSection(), L"CHECKBOX");
  // Kinds that ask their control keep no name of their own.
  auto* edit = new TsEdit(&form);
  edit->AfterConstruction();
  EXPECT_EQ(edit->SkinData()->SkinSection(), L"");
  EXPECT_EQ(edit->SkinData()->SkinIndex, -1);
  // Names are kept upper-cased, with ASCII rules whatever the user's locale ("i" must not become a dotted capital).
  edit->SkinData()->SetSkinSection(L"edit_light");
  EXPECT_EQ(edit->SkinData()->SkinSection(), L"EDIT_LIGHT");
  // A kind the skin state does not know takes the owner's class name.
  TsCommonData custom(&form, false);
  custom.COC = COC_Unknown;
  custom.Loaded();
  EXPECT_EQ(custom.SkinSection(), L"TFORM");
}

TEST(SkinState, ManagerFollowsTheDefaultAndForgetsAFreedOne) {
  Application->Initialize();
  TForm form(nullptr);
  auto* first = new TsSkinManager(&form);
  auto* edit = new TsEdit(&form);
  edit->AfterConstruction();
  EXPECT_EQ(edit->SkinData()->SkinManager(), DefaultManager);
  edit->SkinData()->SetSkinManager(DefaultManager);
  EXPECT_FALSE(edit->SkinData()->IsSkinManagerStored());
  auto* own = new TsSkinManager(&form);
  edit->SkinData()->SetSkinManager(own);
  EXPECT_EQ(edit->SkinData()->SkinManager(), own);
  EXPECT_TRUE(edit->SkinData()->IsSkinManagerStored());
  delete own;
  EXPECT_EQ(edit->SkinData()->SkinManager(), DefaultManager);
  EXPECT_FALSE(edit->SkinData()->Skinned());
  (void)first;
}

TEST(SkinState, EndUpdateResumesPaintingAtOnce) {
  TsCommonData data(nullptr, true);
  data.Loaded();
  data.BeginUpdate();
  data.BeginUpdate();
  EXPECT_TRUE(data.Updating());
  EXPECT_TRUE(data.CtrlSkinState & LVCS_LOCKED);
  data.EndUpdate();
  EXPECT_FALSE(data.Updating());
  EXPECT_FALSE(data.CtrlSkinState & LVCS_LOCKED);
}

}  // namespace
