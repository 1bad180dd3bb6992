// The progress window, a preparation cancelled from the preview window, and the small dialogs' looks.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/forms.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxRes.h"
#include "report/preview/qvxProgress.h"
#include "report/preview/qvxReportDialogs.h"
#include "report/preview/qvxSearchDialog.h"
#include "previewfixture.h"
#include "tests/common/dialogs.h"
#include "tests/common/driver.h"

using namespace previewtest;
using namespace vcl;

TEST(Progress, ExecuteShowsWhatItIsAskedForAndCancelTerminates) {
  std::unique_ptr<TForm> owner(new TForm(nullptr));
  owner->SetCaption(L"Kayıtlar");
  owner->Show();
  PUMP_UNTIL(IsWindowVisible(owner->Handle()));
  SetForegroundWindow(owner->Handle());
  PUMP_UNTIL(Screen->ActiveForm() == owner.get());
  std::unique_ptr<TqvxProgress> progress(new TqvxProgress(nullptr));
  EXPECT_FALSE(owner->Enabled()) << "the form worked in takes no input meanwhile";
  progress->Execute(0, L"", true, false);
  EXPECT_TRUE(progress->Visible());
  EXPECT_FALSE(progress->Bar->Visible());
  EXPECT_EQ(progress->LMessage->Top(), 35);
  EXPECT_TRUE(progress->CancelB->Visible());
  EXPECT_EQ(progress->CancelB->Caption(), qvxGet(2));
  progress->SetMessage(L"Sayfa 3 hazırlanıyor");
  EXPECT_EQ(progress->LMessage->Caption(), L"Sayfa 3 hazırlanıyor");
  Drain();
  Screenshot(progress->Handle(), L"preview_dialog_progress.bmp");
  // The borderless window is dragged by its body.
  RECT r;
  GetWindowRect(progress->Handle(), &r);
  EXPECT_EQ(SendMessageW(progress->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 5, r.top + 5)), HTCAPTION);

  progress->Execute(3, L"Yazdırılıyor", false, true);
  EXPECT_TRUE(progress->Bar->Visible());
  EXPECT_EQ(progress->LMessage->Top(), 15);
  EXPECT_FALSE(progress->CancelB->Visible());
  for (int i = 0; i < 5; ++i) progress->Tick();
  EXPECT_EQ(progress->Position(), 3) << "a tick at the maximum leaves it there";
  progress->SetPosition(-1);
  progress->Tick();
  EXPECT_EQ(progress->Position(), -1) << "a tick below the minimum does nothing";

  progress->Execute(0, L"", true, false);
  SendMessageW(progress->CancelB->Handle(), BM_CLICK, 0, 0);
  PUMP_UNTIL(!progress->Visible());
  EXPECT_TRUE(progress->Terminated);
  EXPECT_TRUE(owner->Enabled());
}

TEST(Progress, CancellingAPreparationLeavesAUsablePreviewOfThePagesMade) {
  TListReport list(400);
  TqvxReport* report = list.Report();
  report->PreviewOptions()->Maximized = false;
  // The window as the report binds it before a preparation: shown, with no pages yet.
  auto* form = new TqvxPreviewForm(Application);
  TqvxPreview* preview = form->PreviewControl();
  preview->SetReport(report);
  preview->SetPreviewPages(report->PreviewPages());
  report->SetPreview(preview);
  report->SetPreviewForm(form);
  form->Init();
  form->Show();
  PUMP_UNTIL(IsWindowVisible(form->Handle()));
  HWND ws = preview->Workspace()->Handle();

  bool sawCancelCaption = false;
  bool commandsOff = false;
  {
    testutil::EveryTick cancel([&] {
      if (!preview->Running()) return;
      sawCancelCaption = sawCancelCaption || form->CancelB->Caption() == qvxResources().Get(L"clCancel");
      commandsOff = commandsOff || !form->PrintB->Enabled();
      if (preview->PageCount() >= 5) Key(ws, VK_ESCAPE);
    });
    report->PrepareReport(true);
  }
  EXPECT_TRUE(sawCancelCaption);
  EXPECT_TRUE(commandsOff);
  EXPECT_FALSE(preview->Running());
  const int made = preview->PageCount();
  EXPECT_GE(made, 5);
  EXPECT_LT(made, 400);
  EXPECT_EQ(form->CancelB->Caption(), qvxResources().Get(L"clClose"));
  EXPECT_TRUE(form->PrintB->Enabled());
  EXPECT_EQ(preview->Workspace()->PageList().Count(), made);
  Key(ws, VK_END);
  PUMP_UNTIL(preview->PageNo() == made);
  EXPECT_TRUE(IsWindowVisible(form->Handle())) << "Escape cancelled; it did not close";

  report->SetPreviewForm(nullptr);
  report->SetPreview(nullptr);
  delete form;
  Drain();
}

TEST(Dialogs, TheSmallDialogsShowTheirTexts) {
  {
    std::unique_ptr<TqvxSearchDialog> d(new TqvxSearchDialog(Application));
    qvxSearchLastText() = L"Işık";
    d->Show();
    PUMP_UNTIL(IsWindowVisible(d->Handle()));
    EXPECT_EQ(d->Caption(), qvxGet(300));
    EXPECT_EQ(d->TextE->Text(), L"Işık");
    EXPECT_EQ(d->TopCB->Caption(), qvxGet(304));
    Drain();
    Screenshot(d->Handle(), L"preview_dialog_find.bmp");
  }
  {
    std::unique_ptr<TqvxPasswordForm> d(new TqvxPasswordForm(Application));
    d->Show();
    PUMP_UNTIL(IsWindowVisible(d->Handle()));
    EXPECT_EQ(d->PasswordE->PasswordChar(), L'*');
    Drain();
    Screenshot(d->Handle(), L"preview_dialog_password.bmp");
  }
  {
    std::unique_ptr<TqvxInheritErrorForm> d(new TqvxInheritErrorForm(nullptr));
    d->Show();
    PUMP_UNTIL(IsWindowVisible(d->Handle()));
    EXPECT_TRUE(d->DeleteRB->Checked());
    Drain();
    Screenshot(d->Handle(), L"preview_dialog_inherit.bmp");
  }
}

TEST(Dialogs, ThePasswordAndInheritQuestionsAnswerThroughTheReportLink) {
  TqvxPreviewLink& link = qvxPreviewLink();
  {
    testutil::EveryTick type([&] {
      HWND w = testutil::FindTop(L"Password");
      if (!w) return;
      auto* form = dynamic_cast<TqvxPasswordForm*>(TWinControl::FindControl(w));
      if (!form) return;
      form->PasswordE->SetText(L"gizli");
      PostMessageW(form->OkB->Handle(), BM_CLICK, 0, 0);
    });
    rtl::String password;
    EXPECT_TRUE(link.AskPassword(password));
    EXPECT_EQ(password, L"gizli");
  }
  {
    testutil::EveryTick choose([&] {
      HWND w = testutil::FindTop(L"Error");
      if (!w) return;
      auto* form = dynamic_cast<TqvxInheritErrorForm*>(TWinControl::FindControl(w));
      if (!form) return;
      SendMessageW(form->RenameRB->Handle(), BM_CLICK, 0, 0);
      PostMessageW(form->OkB->Handle(), BM_CLICK, 0, 0);
    });
    TqvxInheriteMode mode = imDefault;
    EXPECT_TRUE(link.AskInheritMode(mode));
    EXPECT_EQ(mode, imRename);
  }
}
