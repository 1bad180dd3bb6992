// Printing from the preview window through the print dialog, and the preview answering what the printing layer's
// mouse handling asks of it (page moves of hyperlinks). The report is prepared by the real engine and printed to
// a file through the real PDF queue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/rtl/strings.h"
#include "report/model/qvxRes.h"
#include "report/print/qvxPrinters.h"
#include "report/preview/qvxPrintDialog.h"
#include "previewfixture.h"
#include "tests/common/tempdir.h"

using namespace previewtest;
using namespace vcl;
using rtl::String;

namespace {

bool HavePdfQueue() {
  const char* v = std::getenv("TAVREL_CUPS_PDF");
  return v && std::string(v) == "1";
}

// The page number the footer of a prepared page says ("Sayfa <n>").
int FooterNumber(TqvxReportPage* page) {
  for (TqvxComponent* c : page->GetAllObjects())
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(c)) {
      const String text = rtl::Trim(memo->Text());
      rtl::Integer n = 0;
      if (text.rfind(L"Sayfa ", 0) == 0 && rtl::TryStrToInt(text.substr(6), n)) return n;
    }
  return 0;
}

int SheetsIn(const std::wstring& file) {
  std::ifstream in(file.c_str(), std::ios::binary);
  std::string line;
  int sheets = 0;
  while (std::getline(in, line))
    if (line.rfind("%%Page:", 0) == 0) ++sheets;
  return sheets;
}

// What the timer does once the print dialog is up: the user's choices, made through the dialog's controls.
struct TDialogScript {
  std::function<void(TqvxPrintDialog*)> Act;
  bool Done = false;
  String Caption;
};
TDialogScript* gScript = nullptr;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!gScript || gScript->Done) return;
  auto* dialog = dynamic_cast<TqvxPrintDialog*>(Application->ModalForm());
  if (!dialog || !dialog->HandleAllocated() || !IsWindowVisible(dialog->Handle())) return;
  gScript->Done = true;
  KillTimer(nullptr, id);
  gScript->Caption = dialog->Caption();
  gScript->Act(dialog);
}

class PrintFromPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = std::make_unique<TListReport>(6);
    TqvxReport* report = list_->Report();
    report->PreviewOptions()->Modal = false;
    report->PreviewOptions()->Maximized = false;
    ASSERT_TRUE(report->PrepareReport(true));
    ASSERT_EQ(report->PreviewPages()->GetCount(), 6);
    report->ShowPreparedReport();
    form_ = dynamic_cast<TqvxPreviewForm*>(report->PreviewForm());
    ASSERT_NE(form_, nullptr);
    form_->FreeOnClose = false;
    preview_ = form_->PreviewControl();
    PUMP_UNTIL(form_->HandleAllocated() && IsWindowVisible(form_->Handle()));
    ws_ = preview_->Workspace()->Handle();
  }
  void TearDown() override {
    gScript = nullptr;
    if (form_) {
      list_->Report()->SetPreviewForm(nullptr);
      list_->Report()->SetPreview(nullptr);
      delete form_;
    }
    list_.reset();
    Drain();
  }

  // Presses Ctrl+P in the page area; script acts in the dialog once it is shown.
  void PrintWithDialog(TDialogScript& script) {
    gScript = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
    Key(ws_, 'P', true);
    KillTimer(nullptr, timer);
  }

  std::unique_ptr<TListReport> list_;
  TqvxPreviewForm* form_ = nullptr;
  TqvxPreview* preview_ = nullptr;
  HWND ws_ = nullptr;
};

}  // namespace

TEST_F(PrintFromPreview, CtrlPOpensThePrintDialogAndPrintsTheChosenPages) {
  if (!HavePdfQueue()) GTEST_SKIP() << "no PDF queue set up";
  TqvxReport* report = list_->Report();
  ASSERT_GE(qvxPrinters().IndexOf(L"PDF"), 0);
  report->PrintOptions()->Printer = L"PDF";
  testutil::TempFolder folder(L"printdlg");
  const std::wstring file = folder.Path() + L"\\secili.ps";
  report->PrintOptions()->PrnOutFileName = file;
  std::vector<int> printed;
  report->OnPrintPage = [&](TqvxReportPage* page, rtl::Integer) { printed.push_back(FooterNumber(page)); };

  TDialogScript script;
  // Beside the test, to look at.
  const std::wstring shot = L"printdialog.bmp";
  script.Act = [&](TqvxPrintDialog* d) {
    EXPECT_TRUE(d->AllRB->Checked());
    EXPECT_EQ(d->PrintersCB->Items()->Strings(d->PrintersCB->ItemIndex()), L"PDF");
    EXPECT_FALSE(d->PagPageSizeCB->Enabled());
    SendMessageW(d->PageNumbersRB->Handle(), BM_CLICK, 0, 0);
    SendMessageW(d->PageNumbersE->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2,4-5"));
    Drain();
    EXPECT_TRUE(d->PageNumbersRB->Checked());
    Screenshot(d->Handle(), shot);
    SendMessageW(d->OkB->Handle(), BM_CLICK, 0, 0);
  };
  PrintWithDialog(script);
  ASSERT_TRUE(script.Done) << "no print dialog was shown";
  EXPECT_EQ(script.Caption, qvxGet(200));
  EXPECT_EQ(printed, (std::vector<int>{2, 4, 5}));
  PUMP_UNTIL(SheetsIn(file) == 3);
  EXPECT_FALSE(preview_->Locked());
}

TEST_F(PrintFromPreview, CancellingTheDialogPrintsNothingAndKeepsThePrinter) {
  TqvxReport* report = list_->Report();
  int printed = 0;
  report->OnPrintPage = [&](TqvxReportPage*, rtl::Integer) { ++printed; };
  const rtl::Integer before = qvxPrinters().PrinterIndex();
  TDialogScript script;
  script.Act = [&](TqvxPrintDialog* d) {
    // The current page, another printer when there is one, then Cancel.
    SendMessageW(d->CurPageRB->Handle(), BM_CLICK, 0, 0);
    if (d->PrintersCB->Items()->Count() > 1) {
      d->PrintersCB->SetItemIndex(d->PrintersCB->ItemIndex() == 0 ? 1 : 0);
      d->PrinterChanged();
    }
    SendMessageW(d->CancelB->Handle(), BM_CLICK, 0, 0);
  };
  PrintWithDialog(script);
  ASSERT_TRUE(script.Done);
  EXPECT_EQ(printed, 0);
  EXPECT_EQ(qvxPrinters().PrinterIndex(), before);
  EXPECT_TRUE(report->PrintOptions()->PageNumbers.empty());
}

TEST_F(PrintFromPreview, CurrentPageAndOptionsAreWrittenBack) {
  if (!HavePdfQueue()) GTEST_SKIP() << "no PDF queue set up";
  TqvxReport* report = list_->Report();
  report->PrintOptions()->Printer = L"PDF";
  testutil::TempFolder folder(L"printdlg");
  const std::wstring file = folder.Path() + L"\\olcekli.ps";
  report->PrintOptions()->PrnOutFileName = file;
  std::vector<int> printed;
  // The options the job runs with (printing puts the report's own back afterwards).
  TqvxPrintOptions o;
  report->OnPrintPage = [&](TqvxReportPage* page, rtl::Integer) {
    printed.push_back(FooterNumber(page));
    o.Assign(report->PrintOptions());
  };
  Key(ws_, VK_END, true);
  PUMP_UNTIL(preview_->PageNo() == 6);
  report->PrintOptions()->PageNumbers = L"2-4";
  TDialogScript script;
  script.Act = [&](TqvxPrintDialog* d) {
    // Opens with the report's range.
    EXPECT_TRUE(d->PageNumbersRB->Checked());
    EXPECT_EQ(d->PageNumbersE->Text(), L"2-4");
    SendMessageW(d->CurPageRB->Handle(), BM_CLICK, 0, 0);
    SendMessageW(d->CopiesE->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    d->OrderCB->SetItemIndex(1);
    d->PrintPagesCB->SetItemIndex(2);
    d->PrintModeCB->SetItemIndex(3);
    d->PrintModeChanged();
    EXPECT_TRUE(d->PagPageSizeCB->Enabled());
    SendMessageW(d->OkB->Handle(), BM_CLICK, 0, 0);
  };
  PrintWithDialog(script);
  ASSERT_TRUE(script.Done);
  EXPECT_EQ(o.PageNumbers, L"6");
  EXPECT_EQ(o.Copies, 1);
  EXPECT_TRUE(o.Reverse);
  EXPECT_EQ(o.PrintPages, ppEven);
  EXPECT_EQ(o.PrintMode, pmScale);
  EXPECT_EQ(o.PrintOnSheet, 9);
  // Page 6 alone (even, current), scaled onto an A4 sheet.
  EXPECT_EQ(printed, (std::vector<int>{6}));
  PUMP_UNTIL(SheetsIn(file) == 1);
}

TEST_F(PrintFromPreview, APageNumberLinkMovesThePreview) {
  // The printing layer's mouse handling reaches the preview through its actions.
  auto* actions = dynamic_cast<TqvxPreviewActions*>(list_->Report()->Preview());
  ASSERT_NE(actions, nullptr);
  actions->GotoPage(4, 0);
  PUMP_UNTIL(preview_->PageNo() == 4);
  EXPECT_FALSE(actions->SwitchToTab(L"yok"));
  actions->ShowReportHint(L"İpucu", true, 0, 0);
  EXPECT_EQ(preview_->Workspace()->Hint(), L"İpucu");
  actions->ShowReportHint(String(), false, 0, 0);
  EXPECT_TRUE(preview_->Workspace()->Hint().empty());
}

TEST_F(PrintFromPreview, ADetailPageOpensInATabOfItsOwnAndTheShownPagesStay) {
  // What a detail-page hyperlink asks: the report's page prepared alone into a store of its own, in a new tab; the
  // first tab keeps the pages shown before, and switching between the tabs frees neither store.
  TqvxReport* report = list_->Report();
  auto* actions = dynamic_cast<TqvxPreviewActions*>(report->Preview());
  ASSERT_NE(actions, nullptr);
  TqvxCustomPreviewPages* shown = report->PreviewPages();
  auto* page = dynamic_cast<TqvxPage*>(report->FindObject(L"Page1"));
  ASSERT_NE(page, nullptr);
  actions->AddDetailPageTab(report, page, L"ayrinti", L"Ayrıntı");
  PUMP_UNTIL(preview_->TabItems()->Count() == 2);
  TqvxCustomPreviewPages* detail = report->PreviewPages();
  ASSERT_NE(detail, shown);
  EXPECT_GT(detail->GetCount(), 0);
  EXPECT_EQ(preview_->PreviewPages(), detail);
  EXPECT_TRUE(actions->SwitchToTab(L"ayrinti"));
  preview_->TabItems()->SetCurrentTab(0);
  PUMP_UNTIL(preview_->PreviewPages() == shown && report->PreviewPages() == shown);
  EXPECT_EQ(preview_->PageCount(), 6);
  preview_->TabItems()->SetCurrentTab(1);
  PUMP_UNTIL(preview_->PreviewPages() == detail && report->PreviewPages() == detail);
  preview_->TabItems()->RemoveTab(1);
  PUMP_UNTIL(preview_->TabItems()->Count() == 1 && report->PreviewPages() == shown);
  EXPECT_EQ(shown->GetCount(), 6);
  EXPECT_EQ(preview_->PageCount(), 6);
}
