// Forms and the application over real windows: errors of creation handlers reach the error box and the form still
// shows; an MDI child that frees itself on close is freed after its handler cleared its global; bit buttons click on
// Space only while enabled; modal showing ends with the modal result.
#include "platform/vcl/forms.h"

#include <gtest/gtest.h>

#include "platform/vcl/application.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/stdctrls.h"
#include "tests/common/dialogs.h"

using namespace vcl;

namespace vcl {

class TTestFrame : public TForm {
  VCL_CLASS(TTestFrame, TForm)
 public:
  explicit TTestFrame(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetText(L"Ana sayfa");
    SetBounds(0, 0, 640, 480);
  }
};

class TTestChild;
TTestChild* TestChild = nullptr;
int g_child_destroyed = 0;

class TTestChild : public TForm {
  VCL_CLASS(TTestChild, TForm)
 public:
  explicit TTestChild(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIChild);
    SetText(L"Öğrenci Kayıt");
    OnClose.Bind(this, &TTestChild::FormClose);
  }
  ~TTestChild() override { ++g_child_destroyed; }
  void FormClose(rtl::TObject*, TCloseAction& action) {
    action = caFree;
    TestChild = nullptr;
  }
};

class TFailingForm : public TForm {
  VCL_CLASS(TFailingForm, TForm)
 public:
  explicit TFailingForm(TComponent* owner) : TForm(owner) {
    OnCreate.Bind(this, &TFailingForm::FormCreate);
    SetVisible(true);
  }
  void FormCreate(rtl::TObject*) { throw rtl::Exception(L"Veritabanı dosyası bulunamadı"); }
};

VCL_REGISTER(TTestFrame) {}
VCL_REGISTER(TTestChild) {}
VCL_REGISTER(TFailingForm) {}

}  // namespace vcl

namespace {

using testutil::DialogAnswer;

TEST(Forms, ExceptionInCreationHandlerGoesToTheErrorBoxAndTheFormStillShows) {
  Application->Initialize();
  Application->SetTitle(L"DERVANLİ ZEZ");
  DialogAnswer watch(IDOK);
  TFailingForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(watch.seen, 1);
  EXPECT_EQ(watch.caption, L"DERVANLİ ZEZ");
  EXPECT_EQ(watch.text, L"Veritabanı dosyası bulunamadı");
  Application->ProcessMessages();
  EXPECT_TRUE(form->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  form->Free();
  Application->SetMainForm(nullptr);
}

TEST(Forms, ShowMessageIsCaptionedWithTheTitle) {
  Application->SetTitle(L"DERVANLİ ZEZ");
  DialogAnswer watch(IDOK);
  ShowMessage(L"Yanlış Kullanıcı Adı veya Şifre girdiniz..");
  EXPECT_EQ(watch.caption, L"DERVANLİ ZEZ");
  EXPECT_EQ(watch.text, L"Yanlış Kullanıcı Adı veya Şifre girdiniz..");
}

TEST(Forms, MdiChildWithCaFreeIsFreedAfterItsHandlerClearedThePointer) {
  Application->Initialize();
  TTestFrame* frame = nullptr;
  Application->SetMainForm(nullptr);
  Application->CreateForm(frame);
  ASSERT_EQ(Application->MainForm(), frame);
  frame->Show();
  Application->ProcessMessages();
  ASSERT_NE(frame->ClientHandle(), nullptr);

  g_child_destroyed = 0;
  Application->CreateForm(TestChild);
  ASSERT_NE(TestChild, nullptr);
  Application->ProcessMessages();
  ASSERT_TRUE(TestChild->HandleAllocated());
  EXPECT_EQ(GetParent(TestChild->Handle()), frame->ClientHandle());
  EXPECT_TRUE(IsWindowVisible(TestChild->Handle()));
  EXPECT_EQ(frame->MDIChildCount(), 1);

  HWND childWnd = TestChild->Handle();
  SendMessageW(childWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(TestChild, nullptr);
  EXPECT_EQ(g_child_destroyed, 0);  // freed only after the handler has returned
  Application->ProcessMessages();
  EXPECT_EQ(g_child_destroyed, 1);
  EXPECT_FALSE(IsWindow(childWnd));
  EXPECT_EQ(frame->MDIChildCount(), 0);

  // A second menu click makes a fresh instance.
  Application->CreateForm(TestChild);
  ASSERT_NE(TestChild, nullptr);
  TestChild->Close();
  Application->ProcessMessages();
  EXPECT_EQ(TestChild, nullptr);
  EXPECT_EQ(g_child_destroyed, 2);
  frame->Free();
  Application->SetMainForm(nullptr);
}

class BitButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 300, 200);
    button = new TBitBtn(form);
    button->SetParent(form);
    button->SetText(L"Giriş");
    button->OnClick = [this](rtl::TObject*) { ++clicks; };
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { delete form; }
  void PressSpace() {
    SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    Application->ProcessMessages();
  }
  TForm* form = nullptr;
  TBitBtn* button = nullptr;
  int clicks = 0;
};

TEST_F(BitButtons, SpaceClicks) {
  button->SetFocus();
  Application->ProcessMessages();
  PressSpace();
  EXPECT_EQ(clicks, 1);
}

TEST_F(BitButtons, DisabledButtonIgnoresSpaceAndMouse) {
  button->SetEnabled(false);
  PressSpace();
  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  button->Click();
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(IsWindowEnabled(button->Handle()));
}

TEST_F(BitButtons, DisabledCaptionIsGreyed) {
  button->SetEnabled(false);
  button->Font()->SetColor(clBlack);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, button->Width(), button->Height());
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  button->PaintTo(dc, 0, 0);
  int black = 0;
  for (int y = 0; y < button->Height(); ++y)
    for (int x = 0; x < button->Width(); ++x)
      if (GetPixel(dc, x, y) == RGB(0, 0, 0)) ++black;
  // Only the outer frame may be black; the caption is not.
  EXPECT_LT(black, 2 * (button->Width() + button->Height()) + 8);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(Forms, ShowModalEndsWithTheButtonsModalResult) {
  Application->Initialize();
  auto* dlg = new TForm(nullptr);
  dlg->SetPosition(poScreenCenter);
  auto* ok = new TButton(dlg);
  ok->SetParent(dlg);
  ok->SetModalResult(mrOk);
  dlg->OnShow = [&](rtl::TObject*) { PostMessageW(ok->Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_FALSE(dlg->Visible());
  delete dlg;
}

TEST(Forms, EditChangeFiresForTypedAndProgramText) {
  Application->Initialize();
  auto* form = new TForm(nullptr);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  int changes = 0;
  edit->OnChange = [&](rtl::TObject*) { ++changes; };
  edit->SetText(L"ilk");  // no window yet
  EXPECT_EQ(changes, 1);
  form->Show();
  Application->ProcessMessages();
  edit->SetText(L"İSTANBUL");
  EXPECT_EQ(changes, 2);
  SendMessageW(edit->Handle(), EM_SETSEL, 100, 100);
  SendMessageW(edit->Handle(), WM_CHAR, L'ş', 1);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(edit->Text(), L"İSTANBULş");
  delete form;
}

}  // namespace
