// Prepared pages drawn into bitmaps (saved as PNG beside the test to look at), the mouse over them (the object
// under a point, its events, cursor, hint, hyperlinks of every kind, drill-down) and their export to a filter.
#include "report/print/qvxPageOutput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "printfixture.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxPlugins.h"
#include "report/print/qvxPreviewActions.h"

using printtest::Ink;
using printtest::TPrintReport;
using rtl::String;

namespace {

// ---------------------------------------------------------------------------------------------------------------
// Drawing

TEST(DrawPage, APageDrawnAtTwoScales) {
  TPrintReport t;
  t.Run(2);
  const int margin = static_cast<int>(10 * qv01cm);  // 37 pixels at scale 1
  auto one = printtest::WhiteBitmap(800, 1130);
  t.Pages()->DrawPage(0, one->Canvas(), 1, 1, 0, 0);
  printtest::SavePng(*one, L"drawpage_scale1.png");
  auto two = printtest::WhiteBitmap(1600, 2260);
  t.Pages()->DrawPage(0, two->Canvas(), 2, 2, 0, 0);
  printtest::SavePng(*two, L"drawpage_scale2.png");

  // The text stands inside the margins, at twice the size at scale 2; the margins stay empty.
  const int ink1 = Ink(*one, margin, margin, margin + 600, margin + 30);
  const int ink2 = Ink(*two, 2 * margin, 2 * margin, 2 * (margin + 600), 2 * (margin + 30));
  EXPECT_GT(ink1, 300);
  EXPECT_GT(ink2, 3 * ink1);
  EXPECT_LT(ink2, 6 * ink1);
  EXPECT_EQ(Ink(*one, 0, 0, 800, margin - 2), 0);
  EXPECT_EQ(Ink(*one, 0, 0, margin - 2, 1130), 0);
  EXPECT_EQ(Ink(*two, 0, 0, 1600, 2 * margin - 4), 0);
  // Nothing below the text line.
  EXPECT_EQ(Ink(*one, 0, margin + 40, 800, 1130), 0);

  // An offset moves the whole page.
  auto moved = printtest::WhiteBitmap(800, 1130);
  t.Pages()->DrawPage(0, moved->Canvas(), 1, 1, 100, 50);
  EXPECT_EQ(Ink(*moved, 0, 0, 100 + margin - 2, 1130), 0);
  EXPECT_NEAR(Ink(*moved, 100 + margin, 50 + margin, 100 + margin + 600, 50 + margin + 30), ink1, ink1 / 10);

  // No page there: nothing drawn, nothing raised.
  auto none = printtest::WhiteBitmap(100, 100);
  t.Pages()->DrawPage(5, none->Canvas(), 1, 1, 0, 0);
  t.Pages()->DrawPage(-1, none->Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(Ink(*none, 0, 0, 100, 100), 0);
}

TEST(DrawPage, ObjectsStayOnTheirPaperAndPrintOnlyObjectsAreNotPreviewed) {
  TPrintReport t;
  // A black block reaching past the paper's right edge, and a block meant for paper only.
  auto* band = dynamic_cast<TqvxBand*>(t.portrait->FindObject(L"Page1Band"));
  auto* wide = new TqvxMemoView(band);
  wide->SetName(L"Wide");
  wide->SetBounds(680, 0, 300, 30);
  wide->SetColor(vcl::clBlack);
  auto* paperOnly = new TqvxMemoView(band);
  paperOnly->SetName(L"PaperOnly");
  paperOnly->SetBounds(0, 32, 200, 8);
  paperOnly->SetColor(vcl::clBlack);
  paperOnly->Visibility = TqvxVisibilityTypes{vsPrint, vsExport};
  t.Run(1);
  auto bmp = printtest::WhiteBitmap(1100, 1130);
  t.Pages()->DrawPage(0, bmp->Canvas(), 1, 1, 0, 0);
  printtest::SavePng(*bmp, L"drawpage_clipped.png");
  const int paperRight = static_cast<int>(210 * qv01cm);  // 793
  const int top = static_cast<int>(10 * qv01cm);
  EXPECT_GT(Ink(*bmp, paperRight - 40, top, paperRight - 1, top + 30), 30 * 30);
  EXPECT_EQ(Ink(*bmp, paperRight + 1, 0, 1100, 1130), 0) << "drawn past the paper";
  EXPECT_EQ(Ink(*bmp, top, top + 32, top + 200, top + 40), 0) << "an object for paper only in the preview";
}

TEST(DrawPage, MirroredMarginsSwapOnEvenPages) {
  TPrintReport t;
  t.portrait->MirrorMargins = true;
  t.portrait->LeftMargin = 40;
  t.portrait->RightMargin = 10;
  t.Run(2);
  auto first = printtest::WhiteBitmap(800, 300);
  auto second = printtest::WhiteBitmap(800, 300);
  t.Pages()->DrawPage(0, first->Canvas(), 1, 1, 0, 0);
  t.Pages()->DrawPage(1, second->Canvas(), 1, 1, 0, 0);
  const int wide = static_cast<int>(40 * qv01cm), narrow = static_cast<int>(10 * qv01cm);
  EXPECT_EQ(Ink(*first, 0, 0, wide - 2, 300), 0) << "page 1 keeps its wide left margin";
  EXPECT_GT(Ink(*second, narrow, 0, wide - 2, 300), 100) << "page 2 starts at the narrow margin";
  // The page keeps its own margins afterwards.
  TqvxReportPage* page = t.Pages()->GetPage(1);
  EXPECT_EQ(page->LeftMargin, 40);
  EXPECT_EQ(page->RightMargin, 10);
}

// ---------------------------------------------------------------------------------------------------------------
// The mouse

// A preview as the preview side will make it: the report's preview control with the actions the mouse asks for.
class TTestPreview : public TqvxCustomPreview, public TqvxPreviewActions {
 public:
  TTestPreview() : TqvxCustomPreview(nullptr) {}
  bool Init(TqvxReport*, TqvxCustomPreviewPages*) override { return true; }
  void UnInit(TqvxCustomPreviewPages*) override {}
  void Lock() override { ++locks; }
  void Unlock() override {}
  void RefreshReport() override { ++refreshes; }
  void InternalOnProgressStart(TqvxReport*, TqvxProgressType, rtl::Integer) override {}
  void InternalOnProgress(TqvxReport*, TqvxProgressType, rtl::Integer) override {}
  void InternalOnProgressStop(TqvxReport*, TqvxProgressType, rtl::Integer) override {}

  void GotoPage(rtl::Integer page, rtl::Integer top) override {
    gotoPage = page;
    gotoTop = top;
  }
  void ShowReportHint(const String& hint, bool show, int, int) override {
    this->hint = show ? hint : String();
  }
  void InvalidateWorkspace() override { ++invalidated; }
  bool SwitchToTab(const String& name) override {
    switched = name;
    return tabs.count(name) > 0;
  }
  void AddTab(TqvxReport* report, const String& name, const String& caption) override {
    tabs[name] = caption;
    tabReport = report;
  }
  void AddDetailPageTab(TqvxReport*, TqvxPage* page, const String& name, const String& caption) override {
    tabs[name] = caption;
    detailPage = page;
  }

  int locks = 0, refreshes = 0, invalidated = 0;
  rtl::Integer gotoPage = 0, gotoTop = -1;
  String hint, switched;
  std::map<String, String> tabs;
  TqvxReport* tabReport = nullptr;
  TqvxPage* detailPage = nullptr;
};

// A page with objects to point at: each link kind on a memo of its own, 40 pixels apart in a second band.
class MouseOver : public ::testing::Test {
 protected:
  void SetUp() override {
    band_ = new TqvxMasterData(t_.portrait);
    band_->SetName(L"Links");
    band_->SetBounds(0, 100, 700, 300);
    struct {
      const wchar_t* name;
      TqvxHyperlinkKind kind;
      const wchar_t* value;
    } links[] = {{L"Url", hkURL, L"https://okul.example/öğrenci?no=7"},
                 {L"Anchor", hkAnchor, L"Bölüm 2"},
                 {L"PageNo", hkPageNumber, L"3"},
                 {L"Detail", hkDetailReport, L"Karne"},
                 {L"DetailPage", hkDetailPage, L"Ayrıntı"},
                 {L"Custom", hkCustom, L"özel"}};
    int y = 0;
    for (const auto& l : links) {
      auto* memo = new TqvxMemoView(band_);
      memo->SetName(l.name);
      memo->SetBounds(0, y, 300, 30);
      memo->SetText(l.name);
      memo->Hyperlink()->Kind = l.kind;
      memo->Hyperlink()->Value = l.value;
      memo->Hyperlink()->DetailReport = L"karne.qvx";
      memo->Hyperlink()->DetailPage = L"Detay";
      memo->Hyperlink()->ReportVariable = L"Numara";
      memo->Hyperlink()->TabCaption = String(L"Sekme ") + l.name;
      y += 40;
    }
    auto* hinted = new TqvxMemoView(band_);
    hinted->SetName(L"Hinted");
    hinted->SetBounds(400, 0, 200, 30);
    hinted->Hint = L"Kısa|Uzun açıklama";
    hinted->ShowHint = true;
    hinted->Cursor = static_cast<std::int16_t>(vcl::crHelp);
    auto* detail = new TqvxReportPage(t_.Report());
    detail->SetName(L"Detay");
    t_.OnWritePage = [this](int n) {
      if (n == 2) t_.Pages()->AddAnchor(L"Bölüm 2");
    };
    t_.Run(3);
    t_.Report()->SetPreview(&preview_);
    preview_.SetUseReportHints(true);
    qvxSetOpenURL([this](const String& url) { opened_.push_back(url); });
  }
  void TearDown() override {
    qvxSetOpenURL(nullptr);
    t_.Report()->SetPreview(nullptr);
  }

  // The canvas point over the named memo of the links band on page 1 (scale 1, paper corner at 0, 0).
  POINT At(const String& name, int dx = 5, int dy = 5) {
    auto* memo = dynamic_cast<TqvxView*>(t_.portrait->FindObject(name));
    const int margin = static_cast<int>(std::lround(10 * qv01cm));
    return POINT{margin + static_cast<int>(memo->Left() + band_->Left()) + dx,
                 margin + static_cast<int>(memo->Top() + band_->Top()) + dy};
  }
  rtl::TObject* Over(POINT p, TqvxMouseIntEvents event, vcl::TMouseButton button = vcl::mbLeft, int page = 0) {
    cursor_ = vcl::crDefault;
    return t_.Pages()->ObjectOver(page, p.x, p.y, button, vcl::TShiftState(), 1, 0, 0, cursor_, event);
  }

  TPrintReport t_;
  TqvxMasterData* band_ = nullptr;
  TTestPreview preview_;
  std::vector<String> opened_;
  vcl::TCursor cursor_ = vcl::crDefault;
};

TEST_F(MouseOver, FindsTheObjectUnderThePointWithItsCursorAndHint) {
  auto* found = dynamic_cast<TqvxView*>(Over(At(L"PageNo"), meMouseMove));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Name(), L"PageNo");
  EXPECT_EQ(cursor_, vcl::crHandPoint) << "a link shows the hand";
  EXPECT_EQ(Over(At(L"PageNo", 299, 29), meMouseMove), found) << "the far corner is still the object";
  EXPECT_EQ(Over(At(L"PageNo", 5, 35), meMouseMove), nullptr) << "between two objects";
  EXPECT_EQ(cursor_, vcl::crDefault);

  auto* hinted = dynamic_cast<TqvxView*>(Over(At(L"Hinted"), meMouseMove));
  ASSERT_NE(hinted, nullptr);
  EXPECT_EQ(cursor_, vcl::crHelp) << "the object's own cursor";
  EXPECT_EQ(preview_.hint, L"Kısa");
  // Moving off a hinted object takes the hint away.
  Over(At(L"Url"), meMouseMove);
  EXPECT_EQ(preview_.hint, L"");

  // Outside the pages, and while the engine runs, nothing answers.
  EXPECT_EQ(Over(At(L"Url"), meMouseMove, vcl::mbLeft, 7), nullptr);
  EXPECT_EQ(Over(At(L"Url"), meMouseMove, vcl::mbLeft, -1), nullptr);
}

TEST_F(MouseOver, EnterAndLeaveFollowTheMouse) {
  std::vector<String> events;
  t_.Report()->OnMouseEnter = [&](TqvxView* v) { events.push_back(L"enter " + v->Name()); };
  t_.Report()->OnMouseLeave = [&](TqvxView* v) { events.push_back(L"leave " + v->Name()); };
  Over(At(L"Url"), meMouseMove);
  Over(At(L"Url", 8, 8), meMouseMove);
  Over(At(L"Anchor"), meMouseMove);
  Over(At(L"Anchor", 5, 35), meMouseMove);
  Over(At(L"Anchor", 6, 36), meMouseMove);
  EXPECT_EQ(events, (std::vector<String>{L"enter Url", L"leave Url", L"enter Anchor", L"leave Anchor"}));
}

TEST_F(MouseOver, HyperlinksOfEveryKindResolveOnAClick) {
  // A move only shows the link in the status; a click follows it.
  Over(At(L"Url"), meMouseMove);
  EXPECT_TRUE(opened_.empty());
  Over(At(L"Url"), meClick);
  EXPECT_EQ(opened_, std::vector<String>{L"https://okul.example/öğrenci?no=7"});

  Over(At(L"Anchor"), meClick);
  EXPECT_EQ(preview_.gotoPage, 2) << "the anchor stands on the second page";
  EXPECT_EQ(preview_.gotoTop, 0);

  Over(At(L"PageNo"), meClick);
  EXPECT_EQ(preview_.gotoPage, 3);

  // A detail report: the report loads it through its event, sets the variable and opens it in a tab.
  TqvxReport* loaded = nullptr;
  t_.Report()->OnLoadDetailTemplate = [&](TqvxReport* report, const String& name, TqvxHyperlink* link) {
    EXPECT_EQ(name, L"karne.qvx");
    EXPECT_EQ(link->Value, L"Karne");
    auto* page = new TqvxReportPage(report);
    page->SetName(L"Page1");
    page->SetDefaults();
    auto* title = new TqvxReportTitle(page);
    title->SetName(L"Baslik");
    title->SetBounds(0, 0, 500, 30);
    auto* memo = new TqvxMemoView(title);
    memo->SetName(L"BaslikMemo");
    memo->SetBounds(0, 0, 300, 20);
    memo->SetText(L"Karne sayfası");
    report->Variables()->SetVariable(L"Numara", rtl::Variant(String(L"0")));
    report->EngineOptions()->NewSilentMode = simSilent;
    report->ShowProgress = false;
    loaded = report;
    return true;
  };
  Over(At(L"Detail"), meClick);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(preview_.tabReport, loaded);
  EXPECT_EQ(preview_.tabs[L"Karne"], L"Sekme Detail");
  EXPECT_EQ(rtl::VarToStr(loaded->Variables()->GetVariable(L"Numara")), L"Karne");
  ASSERT_NE(loaded->PreviewPages(), nullptr);
  EXPECT_EQ(loaded->PreviewPages()->GetCount(), 1) << "the detail report was prepared";
  EXPECT_EQ(dynamic_cast<vcl::TComponent*>(&preview_), loaded->Owner()) << "the preview owns it";
  // A second click switches to the tab already open.
  loaded = nullptr;
  Over(At(L"Detail"), meClick);
  EXPECT_EQ(loaded, nullptr);
  EXPECT_EQ(preview_.switched, L"Karne");

  t_.Report()->Variables()->SetVariable(L"Numara", rtl::Variant(String(L"0")));
  Over(At(L"DetailPage"), meClick);
  ASSERT_NE(preview_.detailPage, nullptr);
  EXPECT_EQ(preview_.detailPage->Name(), L"Detay");
  EXPECT_EQ(preview_.tabs[L"Ayrıntı"], L"Sekme DetailPage");
  EXPECT_EQ(rtl::VarToStr(t_.Report()->Variables()->GetVariable(L"Numara")), L"Ayrıntı");

  // A custom link is the program's own: nothing happens here.
  const size_t tabs = preview_.tabs.size();
  Over(At(L"Custom"), meClick);
  EXPECT_EQ(preview_.tabs.size(), tabs);
  EXPECT_EQ(opened_.size(), 1u);
}

TEST_F(MouseOver, APageNumberLinkThatIsNoNumberRaises) {
  auto* memo = dynamic_cast<TqvxView*>(t_.portrait->FindObject(L"PageNo"));
  memo->Hyperlink()->Value = L"üç";
  t_.Run(3);
  EXPECT_THROW(Over(At(L"PageNo"), meClick), rtl::EConvertError);
}

TEST(MouseOverDrillDown, AClickInADrillDownHeaderOpensAndClosesIt) {
  TPrintReport t;
  auto* header = new TqvxGroupHeader(t.portrait);
  header->SetName(L"Grup");
  header->SetBounds(0, 60, 700, 30);
  header->DrillDown = true;
  header->DrillName = L"Grup.9-A";
  auto* memo = new TqvxMemoView(header);
  memo->SetName(L"SinifAdi");
  memo->SetBounds(0, 0, 200, 30);
  memo->SetText(L"9-A şubesi");
  t.Run(1);
  TTestPreview preview;
  t.Report()->SetPreview(&preview);
  const int margin = static_cast<int>(std::lround(10 * qv01cm));
  vcl::TCursor cursor = vcl::crDefault;
  auto click = [&](vcl::TMouseButton button) {
    return t.Pages()->ObjectOver(0, margin + 10, margin + 70, button, vcl::TShiftState(), 1, 0, 0, cursor, meClick);
  };
  click(vcl::mbLeft);
  EXPECT_EQ(cursor, vcl::crHandPoint);
  EXPECT_EQ(t.Report()->DrillState()->IndexOf(L"Grup.9-A"), 0);
  EXPECT_EQ(preview.refreshes, 1) << "the report is prepared again";
  click(vcl::mbRight);
  EXPECT_EQ(t.Report()->DrillState()->Count(), 1) << "the right button does not toggle";
  EXPECT_EQ(preview.refreshes, 1);
  click(vcl::mbLeft);
  EXPECT_EQ(t.Report()->DrillState()->Count(), 0);
  EXPECT_EQ(preview.refreshes, 2);
  t.Report()->SetPreview(nullptr);
}

// ---------------------------------------------------------------------------------------------------------------
// Export

class TRecordingFilter : public TqvxCustomExportFilter {
 public:
  TRecordingFilter() { ShowDialog = false; ShowProgress = false; }
  bool Start() override {
    ++starts;
    return true;
  }
  void StartPage(TqvxReportPage*, rtl::Integer index) override { lines.push_back(L"page " + rtl::IntToStr(index)); }
  void ExportObject(TqvxComponent* c) override {
    if (throwAt == c->Name()) throw rtl::Exception(L"disk dolu");
    lines.push_back(c->Name());
    if (stopAt == c->Name()) report->SetTerminated(true);
  }
  void FinishPage(TqvxReportPage*, rtl::Integer index) override { lines.push_back(L"end " + rtl::IntToStr(index)); }
  void Finish() override { ++finishes; }

  std::vector<String> lines;
  String throwAt, stopAt;
  TqvxReport* report = nullptr;
  int starts = 0, finishes = 0;
};

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* header = new TqvxPageHeader(t_.portrait);
    header->SetName(L"Ust");
    header->SetBounds(0, 0, 700, 20);
    auto* footer = new TqvxPageFooter(t_.portrait);
    footer->SetName(L"Alt");
    footer->SetBounds(0, 1000, 700, 20);
    t_.Run(3);
    filter_.report = t_.Report();
  }
  std::vector<String> Objects() const {
    std::vector<String> names;
    for (const String& l : filter_.lines)
      if (l != L"_pagebackground") names.push_back(l);
    return names;
  }
  TPrintReport t_;
  TRecordingFilter filter_;
};

TEST_F(Export, EveryPageObjectByObjectWithHeadersAndFootersSuppressed) {
  filter_.SuppressPageHeadersFooters = true;
  ASSERT_TRUE(t_.Report()->Export(&filter_));
  EXPECT_EQ(filter_.starts, 1);
  EXPECT_EQ(filter_.finishes, 1);
  const std::vector<String> expected{
      L"page 0", L"Page1Band", L"Page1Text", L"Ust", L"end 0",  //
      L"page 1", L"Page1Band", L"Page1Text", L"end 1",           //
      L"page 2", L"Page1Band", L"Page1Text", L"Alt", L"end 2"};
  EXPECT_EQ(Objects(), expected);
  // The page's background goes first on every page.
  EXPECT_EQ(filter_.lines[1], L"_pagebackground");
}

TEST_F(Export, PageNumbersDataOnlyCancelAndFailure) {
  filter_.PageNumbers = L"2";
  ASSERT_TRUE(t_.Report()->Export(&filter_));
  EXPECT_EQ(Objects(), (std::vector<String>{L"page 1", L"Page1Band", L"Page1Text", L"Ust", L"Alt", L"end 1"}));

  // Only what stands in data bands.
  filter_.lines.clear();
  filter_.PageNumbers = L"3";
  filter_.DataOnly = true;
  ASSERT_TRUE(t_.Report()->Export(&filter_));
  EXPECT_EQ(filter_.lines, (std::vector<String>{L"page 2", L"Page1Text", L"end 2"}));
  filter_.DataOnly = false;

  // Cancelling ends the export quietly, still finishing the page and the filter.
  filter_.lines.clear();
  filter_.PageNumbers.clear();
  filter_.stopAt = L"Page1Text";
  EXPECT_TRUE(t_.Report()->Export(&filter_));
  EXPECT_EQ(Objects(), (std::vector<String>{L"page 0", L"Page1Band", L"Page1Text", L"end 0"}));
  EXPECT_EQ(filter_.finishes, 3);

  // A failing filter: false, and the report's errors say why.
  filter_.lines.clear();
  filter_.stopAt.clear();
  filter_.throwAt = L"Page1Band";
  EXPECT_FALSE(t_.Report()->Export(&filter_));
  EXPECT_GE(t_.Report()->Errors()->IndexOf(L"disk dolu"), 0);

  // Page numbers that are no numbers fail the same way instead of escaping.
  filter_.throwAt.clear();
  filter_.PageNumbers = L"iki";
  EXPECT_FALSE(t_.Report()->Export(&filter_));
}

}  // namespace
