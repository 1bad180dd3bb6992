// The preview window with a real prepared report, driven as a user drives it: keys, the wheel, the tool bar, the
// zoom box and the page box, the side panel, finding text, saving and opening a prepared-report file, page
// settings and full screen. Every step waits for what it checks.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/rtl/format.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxPlugins.h"
#include "report/pages/qvxPreviewPages.h"
#include "report/preview/qvxPageSettings.h"
#include "report/preview/qvxSearchDialog.h"
#include "previewfixture.h"
#include "tests/common/dialogs.h"
#include "tests/common/driver.h"
#include "tests/common/tempdir.h"

using namespace previewtest;
using namespace vcl;

namespace {

class PreviewWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = std::make_unique<TListReport>(50);
    TqvxReport* report = list_->Report();
    report->PreviewOptions()->Modal = false;
    report->PreviewOptions()->Maximized = false;
    ASSERT_TRUE(report->PrepareReport(true));
    ASSERT_EQ(report->PreviewPages()->GetCount(), 50);
    report->ShowPreparedReport();
    form_ = dynamic_cast<TqvxPreviewForm*>(report->PreviewForm());
    ASSERT_NE(form_, nullptr);
    // The test frees the window itself.
    form_->FreeOnClose = false;
    preview_ = form_->PreviewControl();
    ASSERT_TRUE(testutil::PumpUntil([&] { return form_->HandleAllocated() && IsWindowVisible(form_->Handle()); }));
    ws_ = preview_->Workspace()->Handle();
  }
  void TearDown() override {
    if (form_) {
      list_->Report()->SetPreviewForm(nullptr);
      list_->Report()->SetPreview(nullptr);
      delete form_;
    }
    list_.reset();
    Drain();
  }

  String Panel0() { return form_->StatusBar->Panels()->Items(0)->Text(); }

  std::unique_ptr<TListReport> list_;
  TqvxPreviewForm* form_ = nullptr;
  TqvxPreview* preview_ = nullptr;
  HWND ws_ = nullptr;
};

}  // namespace

TEST_F(PreviewWindow, OpensOnTheFirstPageWithTheStatusAndTheButtonsOfTheOptions) {
  EXPECT_EQ(preview_->PageNo(), 1);
  EXPECT_EQ(Panel0(), rtl::Format(qvxResources().Get(L"clPageOf"), {1, 50}));
  EXPECT_EQ(form_->PageE->Text(), L"1");
  PUMP_UNTIL(form_->ZoomCB->Text() == L"100%");
  EXPECT_EQ(form_->Caption(), L"Öğrenci Listesi");
  EXPECT_EQ(form_->CancelB->Caption(), qvxResources().Get(L"clClose"));
  for (TControl* c : std::initializer_list<TControl*>{form_->PrintB, form_->OpenB, form_->SaveB, form_->FindB,
                                                     form_->ZoomPlusB, form_->ZoomMinusB, form_->OutlineB,
                                                     form_->ThumbB, form_->PageSettingsB, form_->FirstB,
                                                     form_->LastB, form_->CancelB})
    EXPECT_TRUE(c->Visible()) << c->Name();
  const struct {
    TToolButton* button;
    int image, hint;
  } buttons[] = {{form_->PrintB, 2, 102},   {form_->OpenB, 0, 104},         {form_->SaveB, 1, 106},
                 {form_->FindB, 4, 110},    {form_->ZoomPlusB, 15, 125},    {form_->ZoomMinusB, 16, 127},
                 {form_->FullScreenBtn, 22, 150}, {form_->OutlineB, 12, 129}, {form_->ThumbB, 5, 131},
                 {form_->PageSettingsB, 7, 121}, {form_->DesignerB, 21, 133}, {form_->FirstB, 8, 135},
                 {form_->PriorB, 9, 137},   {form_->NextB, 10, 139},        {form_->LastB, 11, 141}};
  for (const auto& b : buttons) {
    EXPECT_EQ(b.button->ImageIndex(), b.image) << b.button->Name();
    EXPECT_EQ(b.button->Hint(), qvxGet(b.hint)) << b.button->Name();
    EXPECT_FALSE(b.button->Hint().empty());
  }
  // The right-click menu mirrors the tool bar up to its second separator.
  TMenuItem* menu = form_->RightMenu->Items();
  ASSERT_GE(menu->Count(), 9);
  EXPECT_EQ(menu->Items(3)->Caption(), qvxGet(102));
  ASSERT_EQ(menu->Items(5)->Count(), 2) << "Save lists the export menu: the prepared-report file and a separator";
  EXPECT_EQ(menu->Items(5)->Items(0)->Caption(), qvxResources().Get(L"clQP3files") + L"...");
  EXPECT_FALSE(form_->PdfB->Visible());
  EXPECT_FALSE(form_->EmailB->Visible());
  EXPECT_TRUE(form_->PrintB->Enabled());
  Drain();
  Screenshot(form_->Handle(), L"preview_window_100.bmp");
}

TEST_F(PreviewWindow, KeysAndTheWheelMoveThroughThePages) {
  Key(ws_, VK_NEXT, true);
  PUMP_UNTIL(preview_->PageNo() == 2);
  EXPECT_EQ(Panel0(), rtl::Format(qvxResources().Get(L"clPageOf"), {2, 50}));
  Key(ws_, VK_END);
  PUMP_UNTIL(preview_->PageNo() == 50);
  EXPECT_EQ(form_->PageE->Text(), L"50");
  Key(ws_, VK_HOME);
  PUMP_UNTIL(preview_->PageNo() == 1);
  const int top = preview_->Workspace()->VertPosition();
  EXPECT_EQ(top, 0);
  Key(ws_, VK_DOWN);
  EXPECT_EQ(preview_->Workspace()->VertPosition(), 8);
  Key(ws_, VK_NEXT);
  EXPECT_EQ(preview_->Workspace()->VertPosition(), 308);
  // A wheel notch scrolls 20 pixels, whatever its size.
  SendMessageW(ws_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(preview_->Workspace()->VertPosition(), 328);
  SendMessageW(ws_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), 0);
  EXPECT_EQ(preview_->Workspace()->VertPosition(), 348);
  SendMessageW(ws_, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(preview_->Workspace()->VertPosition(), 328);
  // With Ctrl the wheel zooms by a tenth.
  const Extended zoom = preview_->Zoom();
  SendMessageW(ws_, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), 0);
  EXPECT_NEAR(static_cast<double>(preview_->Zoom()), static_cast<double>(zoom + 0.1L), 1e-9);
  // Scrolling far down makes a later page current.
  preview_->Workspace()->SetVertPosition(preview_->Workspace()->VertRange());
  PUMP_UNTIL(preview_->PageNo() == 50);
}

TEST_F(PreviewWindow, ThePageBoxGoesToThePageTypedAndPastTheLastToTheLast) {
  HWND edit = form_->PageE->Handle();
  const struct {
    const wchar_t* text;
    int page;
  } cases[] = {{L"7", 7}, {L"999", 50}, {L"0", 1}, {L"99999999999", 50}};
  for (const auto& c : cases) {
    ::SetFocus(edit);
    SetWindowTextW(edit, c.text);
    Char(edit, L'\r');
    PUMP_UNTIL(preview_->PageNo() == c.page);
    EXPECT_EQ(form_->PageE->Text(), rtl::IntToStr(c.page)) << c.text;
  }
}

TEST_F(PreviewWindow, TheZoomBoxTakesTypedPercentagesWithinBounds) {
  HWND edit = form_->ZoomCB->EditHandle();
  ASSERT_NE(edit, nullptr);
  const struct {
    const wchar_t* text;
    double zoom;
    const wchar_t* shown;
  } cases[] = {{L"150 %", 1.5, L"150%"}, {L"10", 0.25, L"25%"}, {L"0", 0.25, L"25%"}, {L"100000", 20, L"2000%"},
               {L"75", 0.75, L"75%"}};
  for (const auto& c : cases) {
    ::SetFocus(edit);
    SetWindowTextW(edit, c.text);
    Char(edit, L'\r');
    PUMP_UNTIL(std::fabs(static_cast<double>(preview_->Zoom()) - c.zoom) < 1e-9);
    PUMP_UNTIL(form_->ZoomCB->Text() == c.shown);
  }
  Drain();
  Screenshot(form_->Handle(), L"preview_window_75.bmp");
  // Picking "Page width" from the list fits the page's width into the page area.
  HWND box = form_->ZoomCB->Handle();
  SendMessageW(box, CB_SETCURSEL, 6, 0);
  SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
  PUMP_UNTIL(preview_->ZoomMode() == zmPageWidth);
  const double w = static_cast<double>(preview_->PreviewPages()->GetPageSize(0).X);
  const double expected = (preview_->Workspace()->Width() - GetSystemMetrics(SM_CXVSCROLL) - 26) / w;
  EXPECT_NEAR(static_cast<double>(preview_->Zoom()), expected, 1e-6);
  PUMP_UNTIL(form_->ZoomCB->Text() == rtl::IntToStr(std::llround(expected * 100)) + L"%");
  // "Whole page": a portrait page in a wide window fits its height.
  SendMessageW(box, CB_SETCURSEL, 7, 0);
  SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
  PUMP_UNTIL(preview_->ZoomMode() == zmWholePage);
  const double h = static_cast<double>(preview_->PreviewPages()->GetPageSize(0).Y);
  EXPECT_NEAR(static_cast<double>(preview_->Zoom()), (preview_->Workspace()->Height() - 26) / h, 1e-6);
  // The tool bar's buttons step a quarter.
  preview_->SetZoom(1);
  form_->ZoomPlusB->Click();
  EXPECT_NEAR(static_cast<double>(preview_->Zoom()), 1.25, 1e-9);
  for (int i = 0; i < 8; ++i) form_->ZoomMinusB->Click();
  EXPECT_NEAR(static_cast<double>(preview_->Zoom()), 0.25, 1e-9);
}

TEST_F(PreviewWindow, OutlineAndThumbnailsShareTheSideAndMoveToTheirPages) {
  form_->ThumbB->Click();
  PUMP_UNTIL(preview_->ThumbnailVisible());
  EXPECT_FALSE(preview_->OutlineVisible());
  EXPECT_TRUE(form_->ThumbB->Down());
  EXPECT_EQ(preview_->Thumbnail()->PageList().Count(), 50);
  // A click on the third thumbnail shows page 3.
  const TqvxPageItem& third = preview_->Thumbnail()->PageList().Items(2);
  const int x = third.OffsetX + 5 - preview_->Thumbnail()->HorzPosition();
  const int y = third.OffsetY + 5 - preview_->Thumbnail()->VertPosition();
  HWND thumbs = preview_->Thumbnail()->Handle();
  SendMessageW(thumbs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(thumbs, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  PUMP_UNTIL(preview_->PageNo() == 3);
  Drain();
  Screenshot(form_->Handle(), L"preview_window_thumbnails.bmp");

  form_->OutlineB->Click();
  PUMP_UNTIL(preview_->OutlineVisible());
  EXPECT_FALSE(preview_->ThumbnailVisible());
  TTreeView* tree = preview_->OutlineTree();
  ASSERT_EQ(tree->Items()->Count(), 50);
  EXPECT_EQ(tree->Items()->Item(9)->Text(), L"10");
  tree->SetSelected(tree->Items()->Item(9));
  PUMP_UNTIL(preview_->PageNo() == 10);
}

TEST_F(PreviewWindow, FindHighlightsEachMatchInTurnIgnoringTurkishCase) {
  // "ışık" is written "Işık" on every page, "istanbul" as "İSTANBUL".
  {
    testutil::EveryTick fill([&] {
      HWND dialog = testutil::FindTop(qvxGet(300));
      if (!dialog) return;
      auto* form = dynamic_cast<TqvxSearchDialog*>(TWinControl::FindControl(dialog));
      if (!form || !form->Visible()) return;
      form->TextE->SetText(L"istanbul");
      form->TopCB->SetChecked(true);
      PostMessageW(form->OkB->Handle(), BM_CLICK, 0, 0);
    });
    Key(ws_, 'F', true);
  }
  EXPECT_TRUE(preview_->FindTextFound());
  EXPECT_EQ(preview_->Workspace()->LastFoundPage(), 0);
  EXPECT_EQ(qvxSearchLastText(), L"istanbul");
  Key(ws_, VK_F3);
  EXPECT_TRUE(preview_->FindTextFound());
  EXPECT_EQ(preview_->Workspace()->LastFoundPage(), 1);
  Key(ws_, VK_F3, true);
  EXPECT_EQ(preview_->Workspace()->LastFoundPage(), 2);
  EXPECT_TRUE(preview_->FindText(L"SATIR 1000", true, false));
  EXPECT_EQ(preview_->Workspace()->LastFoundPage(), 999 / kRowsPerPage);
  for (const wchar_t* missing : {L"satır 1000", L"yok böyle bir metin"}) {
    testutil::DialogAnswer ok(IDOK);
    EXPECT_FALSE(preview_->FindText(missing, true, missing[0] == L's'));
    EXPECT_EQ(ok.seen, 1);
    EXPECT_EQ(ok.text, qvxResources().Get(L"clStrNotFound"));
  }
}

TEST_F(PreviewWindow, APreparedReportIsSavedAndOpenedAgainAndADamagedFileKeepsTheShownOne) {
  testutil::TempFolder folder(L"preview");
  const std::wstring file = folder.File(L"liste.qp3");
  {
    testutil::DialogAnswer save(IDOK, folder.File(L"liste"));
    Key(ws_, 'S', true);
    EXPECT_EQ(save.seen, 1);
  }
  ASSERT_EQ(GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES, true);
  preview_->Clear();
  EXPECT_EQ(preview_->PageCount(), 0);
  {
    testutil::DialogAnswer open(IDOK, file);
    Key(ws_, 'O', true);
    EXPECT_EQ(open.seen, 1);
  }
  PUMP_UNTIL(preview_->PageCount() == 50);
  EXPECT_EQ(preview_->PageNo(), 1);
  EXPECT_EQ(preview_->OutlineTree()->Items()->Count(), 50);

  const std::wstring bad = folder.File(L"bozuk.qp3");
  {
    std::ofstream out(std::filesystem::path(bad), std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><preparedreport><previewpages><page99999";
  }
  {
    testutil::DialogAnswer answers(IDOK, bad);
    // A click on the tool bar's Open button, as the mouse makes it.
    HWND bar = form_->ToolBar->Handle();
    const LPARAM at = MAKELPARAM(form_->OpenB->Left() + 5, form_->OpenB->Top() + 5);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(answers.seen, 2) << "the open dialog, then the error";
  }
  EXPECT_EQ(preview_->PageCount(), 50);
  EXPECT_FALSE(preview_->Locked());
  EXPECT_FALSE(preview_->MessagePanel()->Visible());
}

TEST_F(PreviewWindow, PageSettingsForAllPagesPrepareTheReportAgain) {
  const TqvxPoint before = preview_->PreviewPages()->GetPageSize(0);
  ASSERT_LT(before.X, before.Y);
  {
    testutil::EveryTick answer([&] {
      HWND dialog = testutil::FindTop(qvxGet(400));
      if (!dialog) return;
      auto* form = dynamic_cast<TqvxPageSettingsForm*>(TWinControl::FindControl(dialog));
      if (!form || !form->Visible() || form->LandscapeRB->Checked()) return;
      const rtl::String a4Height = qvxFloatToStr(29.7);
      EXPECT_EQ(form->WidthE->Text(), L"21");
      EXPECT_EQ(form->HeightE->Text(), a4Height);
      Screenshot(dialog, L"preview_dialog_page_settings.bmp");
      SendMessageW(form->LandscapeRB->Handle(), BM_CLICK, 0, 0);
      EXPECT_EQ(form->WidthE->Text(), a4Height);
      EXPECT_EQ(form->HeightE->Text(), L"21");
      SendMessageW(form->ApplyToAllRB->Handle(), BM_CLICK, 0, 0);
      PostMessageW(form->OKB->Handle(), BM_CLICK, 0, 0);
    });
    form_->PageSettingsB->Click();
  }
  const TqvxPoint after = preview_->PreviewPages()->GetPageSize(0);
  EXPECT_GT(after.X, after.Y);
  EXPECT_GT(preview_->PageCount(), 50) << "a landscape page holds fewer rows";
  EXPECT_EQ(preview_->Workspace()->PageList().Count(), preview_->PageCount());
}

TEST_F(PreviewWindow, FullScreenAndBack) {
  Key(ws_, VK_F11);
  PUMP_UNTIL(form_->FullScreen());
  EXPECT_FALSE(form_->ToolBar->Visible());
  EXPECT_FALSE(form_->StatusBar->Visible());
  EXPECT_EQ(form_->BorderStyle(), bsNone);
  // A double click in the page area leaves it (the window was made anew without its border).
  ws_ = preview_->Workspace()->Handle();
  SendMessageW(ws_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
  SendMessageW(ws_, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
  PUMP_UNTIL(!form_->FullScreen());
  EXPECT_TRUE(form_->ToolBar->Visible());
  EXPECT_TRUE(form_->StatusBar->Visible());
  EXPECT_EQ(form_->BorderStyle(), bsSizeable);
}

TEST_F(PreviewWindow, ComingBackToTheProgramRestoresItsMinimisedMainWindow) {
  std::unique_ptr<TForm> main(new TForm(nullptr));
  main->SetCaption(L"Ana pencere");
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  Application->SetMainForm(main.get());
  ShowWindow(main->Handle(), SW_MINIMIZE);
  PUMP_UNTIL(IsIconic(main->Handle()));
  // Another program's window was active; the user comes back to this one through the preview.
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(IsIconic(main->Handle())) << "leaving the program changes nothing";
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  const bool restored = testutil::PumpUntil([&] { return !IsIconic(main->Handle()); });
  Application->SetMainForm(nullptr);
  EXPECT_TRUE(restored);
  EXPECT_EQ(GetActiveWindow(), form_->Handle());
  main.reset();
  Drain();
}

TEST_F(PreviewWindow, TheStatusBarKeepsItsTextsThroughAChangeOfTheSystemColours) {
  form_->SetMessageText(L"Hazır");
  const String page = Panel0();
  ASSERT_FALSE(page.empty());
  SendMessageW(form_->StatusBar->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  Drain();
  EXPECT_EQ(Panel0(), page);
  EXPECT_EQ(form_->StatusBar->Panels()->Items(1)->Text(), L"Hazır");
  EXPECT_TRUE(IsWindowVisible(form_->StatusBar->Handle()));
}

TEST_F(PreviewWindow, EscapeClosesTheWindow) {
  HWND wnd = form_->Handle();
  Key(ws_, VK_ESCAPE);
  PUMP_UNTIL(!IsWindowVisible(wnd));
}

TEST(LongPreview, ScrollingTwoThousandPagesToTheEndAndBackDrawsOnlyWhatIsSeen) {
  TListReport list(2000, 1);
  TqvxReport* report = list.Report();
  report->PreviewOptions()->Modal = false;
  report->PreviewOptions()->Maximized = false;
  ASSERT_TRUE(report->PrepareReport(true));
  ASSERT_EQ(report->PreviewPages()->GetCount(), 2000);
  report->ShowPreparedReport();
  auto* form = dynamic_cast<TqvxPreviewForm*>(report->PreviewForm());
  ASSERT_NE(form, nullptr);
  form->FreeOnClose = false;
  TqvxPreview* preview = form->PreviewControl();
  PUMP_UNTIL(IsWindowVisible(form->Handle()));
  TqvxPreviewWorkspace* ws = preview->Workspace();
  EXPECT_GT(ws->VertRange(), 2000 * 1000) << "far past 16-bit scroll positions";
  auto* store = dynamic_cast<TqvxPreviewPages*>(report->PreviewPages());
  ASSERT_NE(store, nullptr);
  size_t mostCached = 0;
  // Page by page down with the keyboard's big steps, then straight to the end and back to the top.
  for (int step = 0; step < 200; ++step) {
    Key(ws->Handle(), VK_NEXT);
    UpdateWindow(ws->Handle());
    EXPECT_LE(ws->PagesDrawn(), 3);
    mostCached = std::max(mostCached, store->CachedPages().size());
  }
  Key(ws->Handle(), VK_END);
  PUMP_UNTIL(preview->PageNo() == 2000);
  UpdateWindow(ws->Handle());
  EXPECT_LE(ws->PagesDrawn(), 3);
  EXPECT_GE(ws->VertPosition(), ws->VertRange() - ws->VertPage() - 1200);
  Key(ws->Handle(), VK_HOME);
  PUMP_UNTIL(preview->PageNo() == 1 && ws->VertPosition() == 0);
  UpdateWindow(ws->Handle());
  mostCached = std::max(mostCached, store->CachedPages().size());
  EXPECT_LE(mostCached, static_cast<size_t>(report->PreviewOptions()->PagesInCache)) << "rebuilt pages stay bounded";
  report->SetPreviewForm(nullptr);
  report->SetPreview(nullptr);
  delete form;
  Drain();
}

TEST(PreviewTabs, AReportPerTabKeepsEachViewAndTheRowShowsFromTwoTabs) {
  TListReport first(3), second(5);
  for (TListReport* l : {&first, &second}) {
    l->Report()->PreviewOptions()->Modal = false;
    l->Report()->PreviewOptions()->Maximized = false;
    ASSERT_TRUE(l->Report()->PrepareReport(true));
  }
  first.Report()->ShowPreparedReport();
  auto* form = dynamic_cast<TqvxPreviewForm*>(first.Report()->PreviewForm());
  ASSERT_NE(form, nullptr);
  form->FreeOnClose = false;
  TqvxPreview* preview = form->PreviewControl();
  PUMP_UNTIL(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(preview->Tabs()->Visible());
  preview->SetPageNo(3);
  preview->SetEachReportInTab(true);
  EXPECT_FALSE(preview->Init(second.Report(), second.Report()->PreviewPages()));
  EXPECT_EQ(preview->TabItems()->Count(), 2);
  EXPECT_TRUE(preview->Tabs()->Visible());
  EXPECT_EQ(preview->PageCount(), 5);
  EXPECT_EQ(preview->PageNo(), 1);
  preview->SetPageNo(4);
  preview->TabItems()->SwitchToTab(first.Report());
  EXPECT_EQ(preview->PageCount(), 3);
  EXPECT_EQ(preview->PageNo(), 3) << "the first tab's page comes back";
  preview->TabItems()->SwitchToTab(second.Report());
  EXPECT_EQ(preview->PageNo(), 4);
  // Closing the second tab shows the first with the closed tab's view state, clamped to its pages.
  preview->TabItems()->RemoveTab(1);
  EXPECT_EQ(preview->TabItems()->Count(), 1);
  EXPECT_FALSE(preview->Tabs()->Visible());
  EXPECT_EQ(preview->PageCount(), 3);
  EXPECT_EQ(preview->PageNo(), 3);
  first.Report()->SetPreviewForm(nullptr);
  first.Report()->SetPreview(nullptr);
  delete form;
  Drain();
}

namespace {

// An export filter as a plug-in would register one; it never runs here.
class TTestExport : public TqvxCustomExportFilter {
 public:
  TTestExport(const wchar_t* cls, const wchar_t* description) : cls_(cls), description_(description) {
    qvxExportFilters().Register(this);
  }
  ~TTestExport() override { qvxExportFilters().Unregister(this); }
  rtl::String ClassName() const override { return cls_; }
  rtl::String GetDescription() override { return description_; }
  void ExportObject(TqvxComponent*) override {}

 private:
  rtl::String cls_, description_;
};

}  // namespace

TEST_F(PreviewWindow, RegisteredExportFiltersFillTheExportMenuAndTheQuickButtons) {
  TTestExport pdf(L"TqvxPDFExport", L"PDF dosyası");
  TTestExport mail(L"TqvxMailExport", L"E-posta");
  TqvxReport* report = list_->Report();
  report->PreviewOptions()->Buttons += pbExportQuick;
  form_->Init();
  TMenuItem* menu = form_->ExportPopup->Items();
  ASSERT_EQ(menu->Count(), 3) << "the prepared-report file, a separator and the PDF filter (mail is a button only)";
  EXPECT_EQ(menu->Items(2)->Caption(), L"PDF dosyası...");
  EXPECT_TRUE(form_->PdfB->Visible());
  EXPECT_TRUE(form_->EmailB->Visible());
  report->PreviewOptions()->Buttons += pbNoEmail;
  form_->Init();
  EXPECT_FALSE(form_->EmailB->Visible());
  form_->UpdateControls();
}
