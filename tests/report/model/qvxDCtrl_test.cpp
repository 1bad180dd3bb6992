// Dialog components, dialog controls and dialog pages: creation, names, storage, the designer picture and the
// window of a page.
#include "report/model/qvxDCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/rtl/win.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/stdctrls.h"
#include "report/model/qvxDialogPage.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxXMLSerializer.h"
#include "testreport.h"

namespace {

using rtl::String;

class TqvxTestEditControl : public TqvxDialogControl {
  VCL_CLASS(TqvxTestEditControl, TqvxDialogControl)
 public:
  explicit TqvxTestEditControl(vcl::TComponent* owner) : TqvxDialogControl(owner) {
    SetControl(new vcl::TEdit(nullptr));
    FControl->SetParent(qvxParentForm());
  }
  vcl::TEdit* Edit() const { return static_cast<vcl::TEdit*>(FControl); }
};
VCL_REGISTER(TqvxTestEditControl) {}

TEST(DialogComponent, NeverPreviewedAndAlwaysAnIcon) {
  TqvxDialogComponent c(nullptr);
  EXPECT_FALSE(c.qvComponentStyle().Contains(csPreviewVisible));
  EXPECT_EQ(c.Width(), 28);
  EXPECT_EQ(c.Height(), 28);
}

TEST(DialogComponent, PositionIsStoredOnlyInAReport) {
  TqvxTestReport report(nullptr);
  auto* c = new TqvxDialogComponent(&report);
  c->SetLeft(10.5);  // halves round to even
  c->SetTop(21.5);
  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(c);
  auto* back = new TqvxDialogComponent(&report);
  s.XMLToObj(text, back);
  EXPECT_EQ(back->Left(), 10);
  EXPECT_EQ(back->Top(), 22);

  TqvxDialogComponent loose(nullptr);
  loose.SetLeft(40);
  EXPECT_EQ(s.ObjToXML(&loose).find(L"PropData"), String::npos);
}

TEST(DialogComponent, IconIsARaisedSquareAtItsPositionWithTheNameBelow) {
  vcl::TBitmap bmp;
  bmp.SetSize(120, 80);
  bmp.Canvas()->Brush()->SetColor(vcl::clWhite);
  bmp.Canvas()->FillRect(vcl::TRect(0, 0, 120, 80));
  TqvxDialogComponent c(nullptr);
  c.SetName(L"Veri");
  c.SetLeft(40);
  c.SetTop(10);
  c.Draw(bmp.Canvas(), 2, 2, 100, 100);  // scale and offset do not apply to the icon
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  HDC dc = bmp.Canvas()->Handle();
  EXPECT_EQ(GetPixel(dc, 54, 24), face);
  EXPECT_EQ(GetPixel(dc, 39, 24), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 69, 24), RGB(255, 255, 255));
  EXPECT_NE(GetPixel(dc, 40, 24), face);  // the edge
  bool text = false;
  for (int y = 42; y < 60 && !text; ++y)
    for (int x = 30; x < 80 && !text; ++x) text = GetPixel(dc, x, y) == RGB(0, 0, 0);
  EXPECT_TRUE(text);
}

TEST(DialogControl, BaseNameDropsThePrefixAndControl) {
  TqvxTestEditControl c(nullptr);
  EXPECT_EQ(c.BaseName(), L"TestEdit");
}

TEST(DialogControl, RenameCarriesACaptionThatFollowedTheName) {
  TqvxTestEditControl c(nullptr);
  c.SetName(L"Edit1");
  c.SetCaption(L"Edit1");
  c.SetName(L"Adi");
  EXPECT_EQ(c.Caption(), L"Adi");
  c.SetCaption(L"Ayşe");
  c.SetName(L"Soyadi");
  EXPECT_EQ(c.Caption(), L"Ayşe");

  c.SetCaption(L"Soyadi");
  c.SetIsLoading(true);
  c.SetName(L"Okul");
  c.SetIsLoading(false);
  EXPECT_EQ(c.Caption(), L"Soyadi");
}

TEST(DialogControl, GeometryAndStateReachTheControl) {
  TqvxTestEditControl c(nullptr);
  c.SetLeft(10.5);
  c.SetTop(11.5);
  c.SetWidth(100.4);
  c.SetHeight(20.6);
  EXPECT_EQ(c.Edit()->Left(), 10);
  EXPECT_EQ(c.Edit()->Top(), 12);
  EXPECT_EQ(c.Edit()->Width(), 100);
  EXPECT_EQ(c.Edit()->Height(), 21);
  c.SetVisible(false);
  EXPECT_FALSE(c.Edit()->Visible());
  c.SetEnabled(false);
  EXPECT_FALSE(c.Edit()->Enabled());
  EXPECT_FALSE(c.Enabled());
  c.SetHint(L"ipucu");
  EXPECT_EQ(c.Edit()->Hint(), L"ipucu");
  c.SetTabStop(false);
  EXPECT_FALSE(c.TabStop());
  c.SetParentFont(false);
  c.Font()->SetSize(14);
  EXPECT_EQ(c.Edit()->Font()->Size(), 14);
}

TEST(DialogControl, LivesInThePageWindowOrTheHiddenForm) {
  TqvxTestReport report(nullptr);
  auto* page = new TqvxDialogPage(&report);
  auto* c = new TqvxTestEditControl(&report);
  EXPECT_EQ(c->Edit()->Parent(), qvxParentForm());
  c->SetParent(page);
  EXPECT_EQ(c->Edit()->Parent(), page->DialogForm());
  c->SetParent(nullptr);
  EXPECT_EQ(c->Edit()->Parent(), qvxParentForm());
  delete c;
  EmptyParentForm();
  EXPECT_EQ(qvxParentForm()->ControlCount(), 0);
}

TEST(DialogControl, ControlsInsideAPageAndAControlGoWithTheReport) {
  auto* report = new TqvxTestReport(nullptr);
  auto* page = new TqvxDialogPage(report);
  auto* outer = new TqvxTestEditControl(report);
  outer->SetParent(page);
  auto* inner = new TqvxTestEditControl(report);
  inner->SetParent(outer);
  EXPECT_EQ(inner->Edit()->Parent(), outer->Edit());
  delete report;
  EXPECT_EQ(qvxParentForm()->ControlCount(), 0);
}

TEST(DialogPage, DefaultsAndWindow) {
  TqvxTestReport report(nullptr);
  auto* page = new TqvxDialogPage(&report);
  ASSERT_NE(page->DialogForm(), nullptr);
  EXPECT_TRUE(page->DialogForm()->KeyPreview());
  EXPECT_FALSE(page->DialogForm()->ThreadSafe);
  EXPECT_EQ(page->BorderStyle(), vcl::bsSizeable);
  EXPECT_EQ(page->Position(), vcl::poScreenCenter);
  EXPECT_EQ(page->WindowState(), vcl::wsNormal);
  EXPECT_EQ(page->Color(), vcl::clBtnFace);
  EXPECT_EQ(page->Font()->Name(), L"Tahoma");
  EXPECT_EQ(page->Font()->Size(), 8);
  EXPECT_EQ(page->GetDescription(), qvxResources().Get(L"obDlgPage"));
  page->SetCaption(L"Öğrenci seçimi");
  EXPECT_EQ(page->DialogForm()->Text(), L"Öğrenci seçimi");
  page->SetLeft(30.5);
  EXPECT_EQ(page->DialogForm()->Left(), 30);
  page->SetWidth(400);
  EXPECT_EQ(page->DialogForm()->Width(), 400);
}

TEST(DialogPage, StoredClientSizeWinsOverTheStoredSizeInEitherOrder) {
  for (bool clientFirst : {true, false}) {
    TqvxTestReport report(nullptr);
    auto* page = new TqvxDialogPage(&report);
    page->SetIsLoading(true);
    if (clientFirst) {
      page->SetClientWidth(300);
      page->SetWidth(316);
    } else {
      page->SetWidth(316);
      page->SetClientWidth(300);
    }
    page->SetIsLoading(false);
    EXPECT_EQ(page->DialogForm()->ClientWidth(), 300) << clientFirst;
    EXPECT_EQ(page->ClientWidth(), 300) << clientFirst;
  }
}

TEST(DialogPage, PublishedPropertiesGoThroughTheSerializer) {
  TqvxTestReport report(nullptr);
  auto* page = new TqvxDialogPage(&report);
  page->SetCaption(L"Seçim");
  page->SetBorderStyle(vcl::bsDialog);
  page->OnShow = L"PageShow";
  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(page);
  EXPECT_NE(text.find(L"BorderStyle=\"bsDialog\""), String::npos) << text;
  EXPECT_EQ(text.find(L"Position="), String::npos) << text;  // default
  auto* back = new TqvxDialogPage(&report);
  s.XMLToObj(text, back);
  EXPECT_EQ(back->Caption(), L"Seçim");
  EXPECT_EQ(back->BorderStyle(), vcl::bsDialog);
  EXPECT_EQ(back->OnShow, L"PageShow");
}

struct Dispatched {
  std::vector<String> notified;
  std::vector<String> params;
  rtl::Variant reply;
  bool replace = false;
};
Dispatched* dispatched = nullptr;

class DialogPageEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    dispatched = &log_;
    report_.OnNotify = [](rtl::TObject*, const String& name) { dispatched->notified.push_back(name); };
    report_.OnParam = [](const String& name, rtl::Variant& params) {
      dispatched->params.push_back(name);
      if (dispatched->replace) params.PutElement({1}, dispatched->reply);
    };
    page_ = new TqvxDialogPage(&report_);
  }
  void TearDown() override { dispatched = nullptr; }
  Dispatched log_;
  TqvxTestReport report_{nullptr};
  TqvxDialogPage* page_ = nullptr;
};

TEST_F(DialogPageEvents, KeyPressReadsBackTheFirstCharacterOrNothing) {
  page_->OnKeyPress = L"Tus";
  wchar_t key = L'a';
  page_->DoOnKeyPress(page_->DialogForm(), key);
  EXPECT_EQ(key, L'a');
  log_.replace = true;
  log_.reply = rtl::Variant(String(L"ğx"));
  page_->DoOnKeyPress(page_->DialogForm(), key);
  EXPECT_EQ(key, L'ğ');
  log_.reply = rtl::Variant(String());
  page_->DoOnKeyPress(page_->DialogForm(), key);
  EXPECT_EQ(key, L'\0');
  EXPECT_EQ(log_.params, (std::vector<String>{L"Tus", L"Tus", L"Tus"}));
}

TEST_F(DialogPageEvents, CloseQueryAndKeysComeBackFromTheDispatcher) {
  bool canClose = true;
  log_.replace = true;
  log_.reply = rtl::Variant(false);
  page_->DoOnCloseQuery(page_->DialogForm(), canClose);
  EXPECT_FALSE(canClose);
  rtl::Word key = VK_F2;
  log_.reply = rtl::Variant(0);
  page_->DoOnKeyDown(page_->DialogForm(), key, vcl::TShiftState{});
  EXPECT_EQ(key, 0);
}

TEST_F(DialogPageEvents, WithoutAReportValuesPassUnchanged) {
  TqvxDialogPage loose(nullptr);
  log_.replace = true;
  log_.reply = rtl::Variant(String());
  wchar_t key = L'k';
  loose.DoOnKeyPress(loose.DialogForm(), key);
  bool canClose = true;
  loose.DoOnCloseQuery(loose.DialogForm(), canClose);
  loose.DoOnClick(nullptr);
  EXPECT_EQ(key, L'k');
  EXPECT_TRUE(canClose);
  EXPECT_TRUE(log_.params.empty());
  EXPECT_TRUE(log_.notified.empty());
}

TEST_F(DialogPageEvents, ShowModalRunsTheShowEventAndAnswersTheModalResult) {
  page_->OnShow = L"Goster";
  page_->SetClientWidth(200);
  page_->SetClientHeight(100);
  static TqvxDialogPage* current = nullptr;
  current = page_;
  report_.OnNotify = [](rtl::TObject*, const String& name) {
    dispatched->notified.push_back(name);
    if (name == L"Goster") current->SetModalResult(vcl::mrOk);
  };
  EXPECT_EQ(page_->ShowModal(), vcl::mrOk);
  EXPECT_FALSE(page_->DialogForm()->Visible());
  EXPECT_EQ(page_->DialogForm()->FormStyle(), vcl::fsStayOnTop);
  ASSERT_FALSE(log_.notified.empty());
  EXPECT_NE(std::find(log_.notified.begin(), log_.notified.end(), L"Goster"), log_.notified.end());
}

}  // namespace
