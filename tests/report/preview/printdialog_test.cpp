// Printing from the preview window through the print dialog, and the preview answering what the printing layer's
// mouse handling asks of it (page moves of hyperlinks). The report is prepared by the real engine and printed to
// a file through the real PDF queue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "report/model/qvxRes.h"
#include "report/print/qvxPrinters.h"
#include "report/preview/qvxPrintDialog.h"
#include "previewfixture.h"
#include "tests/common/dialogs.h"
#include "tests/common/driver.h"
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

// Printing shows the dialog only with a printer installed (else it answers "no printers" in a box).
bool HavePrinter() { return qvxPrinters().HasPhysicalPrinters(); }

// What the timer does once the print dialog is up: the user's choices, made through the dialog's controls.
struct TDialogScript {
  std::function<void(TqvxPrintDialog*)> Act;
  bool Done = false;
  String Caption;
  // A box shown instead of the dialog (answered, so that the test fails instead of waiting in it).
  std::wstring UnexpectedBox;
};
TDialogScript* gScript = nullptr;

BOOL CALLBACK CloseUnexpectedBox(HWND wnd, LPARAM) {
  if (!gScript || !testutil::IsSystemDialog(wnd) || !IsWindowVisible(wnd)) return TRUE;
  HWND label = GetDlgItem(wnd, 0xFFFF);
  gScript->UnexpectedBox = testutil::WindowText(wnd) + L": " + (label ? testutil::WindowText(label) : std::wstring());
  PostMessageW(wnd, WM_COMMAND, IDOK, 0);
  PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
  return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!gScript || gScript->Done) return;
  EnumThreadWindows(GetCurrentThreadId(), &CloseUnexpectedBox, 0);
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
    EXPECT_EQ(script.UnexpectedBox, L"") << "a box came instead of the print dialog";
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
  if (!HavePrinter()) GTEST_SKIP() << "no printer installed: printing answers with a box, not the dialog";
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

namespace {

// What the tab row shows now, read back from the screen (the window is on top).
struct TRowPicture {
  explicit TRowPicture(HWND row) {
    RECT r;
    GetClientRect(row, &r);
    width = r.right;
    height = r.bottom;
    bitmap.SetSize(width, height);
    RedrawWindow(row, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(row);
    BitBlt(bitmap.Canvas()->Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ReleaseDC(row, dc);
  }
  // Pixels of the close glyph's ink (the library's dark grey, 40, 40, 40; the captions are black) inside rect.
  int InkIn(const RECT& rect) {
    int n = 0;
    for (int y = std::max<int>(rect.top, 0); y < std::min<int>(rect.bottom, height); ++y)
      for (int x = std::max<int>(rect.left, 0); x < std::min<int>(rect.right, width); ++x) {
        const TColor c = bitmap.Canvas()->Pixels(x, y);
        if ((c & 0xFFFFFF) == RGB(40, 40, 40)) ++n;
      }
    return n;
  }
  TBitmap bitmap;
  int width = 0, height = 0;
};

// A click of the left button at (x, y) of a window, as the mouse makes it.
void Click(HWND wnd, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  SendMessageW(wnd, WM_MOUSEMOVE, 0, at);
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(wnd, WM_LBUTTONUP, 0, at);
}

}  // namespace

TEST_F(PrintFromPreview, ADetailTabClosesByAClickOnItsGlyphAndTheReportsTabStays) {
  TqvxReport* report = list_->Report();
  auto* actions = dynamic_cast<TqvxPreviewActions*>(report->Preview());
  ASSERT_NE(actions, nullptr);
  TqvxCustomPreviewPages* shown = report->PreviewPages();
  auto* page = dynamic_cast<TqvxPage*>(report->FindObject(L"Page1"));
  ASSERT_NE(page, nullptr);
  actions->AddDetailPageTab(report, page, L"ayrinti1", L"Ayrıntı 1");
  PUMP_UNTIL(preview_->TabItems()->Count() == 2);
  actions->AddDetailPageTab(report, page, L"ayrinti2", L"Ayrıntı 2");
  PUMP_UNTIL(preview_->TabItems()->Count() == 3);
  TqvxPreviewTabRow* row = preview_->Tabs();
  PUMP_UNTIL(row->Visible() && row->HandleAllocated() && IsWindowVisible(row->Handle()));
  HWND rowWnd = row->Handle();
  // Each tab shows a close glyph of its own, from the row's image list.
  EXPECT_GE(preview_->TabImages()->Count(), 3);
  EXPECT_EQ(SendMessageW(rowWnd, TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(preview_->TabImages()->Handle()));
  for (int i = 0; i < 3; ++i) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    ASSERT_TRUE(SendMessageW(rowWnd, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, i);
  }
  // The glyph is drawn where a click closes the tab.
  auto glyphArea = [&](int tab) {
    const RECT r = row->TabRect(tab);
    return RECT{r.left + 8, 6, r.left + 19, 19};
  };
  PUMP_UNTIL(TRowPicture(rowWnd).InkIn(glyphArea(2)) >= 16);
  for (int tab = 0; tab < 3; ++tab) EXPECT_GE(TRowPicture(rowWnd).InkIn(glyphArea(tab)), 16) << "tab " << tab;
  Screenshot(form_->Handle(), L"preview_tabs.bmp");
  {
    TRowPicture picture(rowWnd);
    picture.bitmap.SaveToFile(L"preview_tab_row.bmp");
  }

  // The report's own tab keeps its glyph but does not close.
  RECT first = row->TabRect(0);
  Click(rowWnd, first.left + 12, 12);
  PUMP_UNTIL(row->TabIndex() == 0 && preview_->PreviewPages() == shown);
  Drain();
  EXPECT_EQ(preview_->TabItems()->Count(), 3);
  // A click on a detail tab's caption only switches to it.
  RECT last = row->TabRect(2);
  Click(rowWnd, last.right - 6, 12);
  PUMP_UNTIL(row->TabIndex() == 2 && preview_->TabItems()->CurTab() == 2);
  EXPECT_NE(preview_->PreviewPages(), shown);
  EXPECT_EQ(preview_->TabItems()->Count(), 3);
  // Its glyph closes it: the tab before it becomes current.
  last = row->TabRect(2);
  Click(rowWnd, last.left + 12, 12);
  PUMP_UNTIL(preview_->TabItems()->Count() == 2);
  EXPECT_EQ(preview_->TabItems()->Items(1).Name, L"ayrinti1");
  EXPECT_EQ(row->PageCount(), 2);
  PUMP_UNTIL(row->TabIndex() == 1 && preview_->TabItems()->CurTab() == 1);
  // The other detail tab's glyph: selected by the press, closed by the release; the report's pages come back and
  // the row hides with one tab left.
  RECT second = row->TabRect(1);
  Click(rowWnd, second.left + 12, 12);
  PUMP_UNTIL(preview_->TabItems()->Count() == 1);
  PUMP_UNTIL(!row->Visible());
  EXPECT_EQ(preview_->PreviewPages(), shown);
  EXPECT_EQ(report->PreviewPages(), shown);
  EXPECT_EQ(preview_->PageCount(), 6);
  EXPECT_EQ(shown->GetCount(), 6);
}

namespace {

bool Exists(const std::wstring& file) { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Head(const std::wstring& file, size_t n) {
  std::ifstream in(std::filesystem::path(file), std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), static_cast<std::streamsize>(n));
  s.resize(static_cast<size_t>(in.gcount()));
  return s;
}

}  // namespace

// "Print to file": the save dialog asks for the name; the job goes into that file with the ".prn" extension, as
// the printer's own data. A cancelled save dialog cancels the print and leaves the printer that was current.
TEST_F(PrintFromPreview, PrintToFileAsksForTheNameAndWritesThePrinterFile) {
  if (!HavePrinter()) GTEST_SKIP() << "no printer installed: printing answers with a box, not the dialog";
  TqvxReport* report = list_->Report();
  const bool queue = HavePdfQueue() && qvxPrinters().IndexOf(L"PDF") >= 0;
  if (queue) report->PrintOptions()->Printer = L"PDF";
  struct TCase {
    int Answer;  // the save dialog's button
    bool NeedsQueue;
  } cases[] = {{IDCANCEL, false}, {IDOK, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Answer == IDOK ? "saved" : "cancelled");
    if (c.NeedsQueue && !queue) continue;
    testutil::TempFolder folder(L"printfile");
    // The extension typed is replaced by the printer file's own.
    const std::wstring typed = folder.Path() + L"\\çıktı.ps", written = folder.Path() + L"\\çıktı.prn";
    std::vector<int> printed;
    report->OnPrintPage = [&](TqvxReportPage* page, rtl::Integer) { printed.push_back(FooterNumber(page)); };
    const rtl::Integer before = qvxPrinters().PrinterIndex();
    testutil::DialogAnswer save(c.Answer, typed);
    TDialogScript script;
    String fileTitle;
    script.Act = [&](TqvxPrintDialog* d) {
      fileTitle = d->FileDlg->Title();
      // On cancel another printer is chosen first when there is one: the cancel must put the first one back.
      if (c.Answer == IDCANCEL && d->PrintersCB->Items()->Count() > 1) {
        d->PrintersCB->SetItemIndex(d->PrintersCB->ItemIndex() == 0 ? 1 : 0);
        d->PrinterChanged();
      }
      SendMessageW(d->FileCB->Handle(), BM_CLICK, 0, 0);
      EXPECT_TRUE(d->FileCB->Checked());
      SendMessageW(d->OkB->Handle(), BM_CLICK, 0, 0);
    };
    PrintWithDialog(script);
    ASSERT_TRUE(script.Done) << "no print dialog was shown";
    EXPECT_EQ(fileTitle, qvxGet(507));
    EXPECT_EQ(save.seen, 1) << "the save dialog asks for the file";
    EXPECT_EQ(save.caption, qvxGet(507));
    if (c.Answer == IDOK) {
      EXPECT_EQ(printed, (std::vector<int>{1, 2, 3, 4, 5, 6}));
      PUMP_UNTIL(SheetsIn(written) == 6);
      EXPECT_EQ(Head(written, 4), "%!PS") << "the printer's own data (PostScript for this queue)";
      EXPECT_FALSE(Exists(typed));
      // The file was for that job only.
      EXPECT_TRUE(qvxPrinters().Printer()->FileName.empty());
    } else {
      EXPECT_TRUE(printed.empty());
      EXPECT_FALSE(Exists(written));
      EXPECT_FALSE(Exists(typed));
      EXPECT_EQ(qvxPrinters().PrinterIndex(), before);
    }
    EXPECT_FALSE(preview_->Locked());
  }
}

// Properties opens the current printer's own settings (Wine's printer driver shows its property sheet) and the
// dialog goes on working after it, with either answer; nothing is printed until OK.
TEST_F(PrintFromPreview, PropertiesOpensThePrintersSettingsAndTheDialogGoesOn) {
  if (!HavePrinter()) GTEST_SKIP() << "no printer installed: printing answers with a box, not the dialog";
  TqvxReport* report = list_->Report();
  int printed = 0;
  report->OnPrintPage = [&](TqvxReportPage*, rtl::Integer) { ++printed; };
  for (int answer : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
    // The printer's settings window, looked at (a picture beside the test), then answered as a person does.
    int seen = 0;
    std::wstring caption;
    std::set<HWND> answered;
    testutil::EveryTick properties([&] {
      for (HWND w : testutil::TopWindows()) {
        if (!testutil::IsSystemDialog(w) || !IsWindowVisible(w) || answered.count(w)) continue;
        answered.insert(w);
        ++seen;
        caption = testutil::WindowText(w);
        if (answer == IDOK) Screenshot(w, L"printer_properties.bmp");
        if (HWND b = GetDlgItem(w, answer))
          PostMessageW(b, BM_CLICK, 0, 0);
        else
          PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(answer), 0);
      }
    });
    TDialogScript script;
    String printerName;
    int seenAfter = -1, duplexAfter = -1;
    bool stillShown = false;
    script.Act = [&](TqvxPrintDialog* d) {
      printerName = d->PrintersCB->Items()->Strings(d->PrintersCB->ItemIndex());
      SendMessageW(d->PropButton->Handle(), BM_CLICK, 0, 0);
      seenAfter = seen;
      Drain();
      stillShown = IsWindowVisible(d->Handle()) && Application->ModalForm() == d;
      duplexAfter = d->DuplexCB->ItemIndex();
      SendMessageW(d->CancelB->Handle(), BM_CLICK, 0, 0);
    };
    PrintWithDialog(script);
    ASSERT_TRUE(script.Done) << "no print dialog was shown";
    EXPECT_TRUE(stillShown) << "the print dialog is still up after the printer's settings";
    EXPECT_GE(duplexAfter, 0);
    EXPECT_LE(duplexAfter, 3);
    TqvxCustomPrinter* printer = qvxPrinters().Printer();
    ASSERT_NE(printer, nullptr);
    if (dynamic_cast<TqvxPrinter*>(printer) && printer->Name == printerName) {
      // A real printer: its driver's settings were shown (and answered) while the button's click ran.
      EXPECT_EQ(seenAfter, 1) << rtl::StringToUTF8(printerName);
      EXPECT_FALSE(caption.empty());
    } else {
      EXPECT_EQ(seenAfter, 0) << "the stand-in printer has no settings to show";
    }
    EXPECT_TRUE(printer->Initialized);
  }
  EXPECT_EQ(printed, 0);
}

// The printer and print-mode lists draw their entries with pictures; the copies picture follows the collate box.
TEST_F(PrintFromPreview, ListsShowTheirPicturesAndTheCopiesPictureFollowsCollate) {
  if (!HavePrinter()) GTEST_SKIP() << "no printer installed: printing answers with a box, not the dialog";
  TDialogScript script;
  bool collatedShown = false, separateShown = false;
  script.Act = [&](TqvxPrintDialog* d) {
    EXPECT_EQ(SendMessageW(d->PrintersCB->Handle(), CB_GETITEMHEIGHT, 0, 0), 16);
    EXPECT_EQ(SendMessageW(d->PrintModeCB->Handle(), CB_GETITEMHEIGHT, 0, 0), 34);
    EXPECT_EQ(d->PrintModeIL->Count(), 4);
    EXPECT_EQ(d->PrintModeIL->Width(), 64);
    auto same = [](TBitmap* a, TBitmap* b) {
      if (a->Width() != b->Width() || a->Height() != b->Height()) return false;
      for (int y = 0; y < a->Height(); y += 3)
        for (int x = 0; x < a->Width(); x += 3)
          if (a->Canvas()->Pixels(x, y) != b->Canvas()->Pixels(x, y)) return false;
      return true;
    };
    EXPECT_FALSE(same(d->CollateImg, d->NonCollateImg));
    const bool was = d->CollateCB->Checked();
    SendMessageW(d->CollateCB->Handle(), BM_CLICK, 0, 0);
    (d->CollateCB->Checked() ? collatedShown : separateShown) =
        same(d->CopiesPB->Picture()->Bitmap(), d->CollateCB->Checked() ? d->CollateImg : d->NonCollateImg);
    SendMessageW(d->CollateCB->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(d->CollateCB->Checked(), was);
    (d->CollateCB->Checked() ? collatedShown : separateShown) =
        same(d->CopiesPB->Picture()->Bitmap(), d->CollateCB->Checked() ? d->CollateImg : d->NonCollateImg);
    // The print modes' list open, to look at.
    SendMessageW(d->PrintModeCB->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    Drain();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(d->PrintModeCB->Handle(), &info);
    RECT list{};
    GetWindowRect(info.hwndList, &list);
    EXPECT_GE(list.bottom - list.top, 4 * 34) << "four entries of 34 pixels";
    {
      // The open list drawn into a picture by the list itself (its entries drawn by the dialog), to look at.
      RECT client{};
      GetClientRect(info.hwndList, &client);
      TBitmap shot;
      shot.SetSize(client.right, client.bottom);
      SendMessageW(info.hwndList, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.Canvas()->Handle()),
                   PRF_CLIENT | PRF_ERASEBKGND);
      shot.SaveToFile(L"printdialog_modes.bmp");
    }
    SendMessageW(d->PrintModeCB->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    SendMessageW(d->CancelB->Handle(), BM_CLICK, 0, 0);
  };
  PrintWithDialog(script);
  ASSERT_TRUE(script.Done) << "no print dialog was shown";
  EXPECT_TRUE(collatedShown);
  EXPECT_TRUE(separateShown);
}
