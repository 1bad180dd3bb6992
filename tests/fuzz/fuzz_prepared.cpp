// Prepared reports (.qp3) as the preview opens them: whole, and with partial loading, where the pages past the
// second stay in the file until they are shown. Whatever loads is used as the preview and printing would use it
// (every page rebuilt and measured, outline, anchors and page numbers read) and saved again.
#include <memory>
#include <stdexcept>

#include "mutate.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxClassViews.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxXML.h"
#include "report/pages/qvxPreviewPages.h"

namespace {

struct TReportDeleter {
  void operator()(TqvxReport* report) const { report->Free(); }
};
using TOwnedReport = std::unique_ptr<TqvxReport, TReportDeleter>;

TqvxPreviewPages* PagesOf(TqvxReport* report) { return dynamic_cast<TqvxPreviewPages*>(report->PreviewPages()); }

// Three pages written as the engine writes them: a title with a text and a picture on the first, two data rows
// (text and line) and a footer on each, an outline entry with a child, an anchor and numbering in two groups.
fuzz::Input WrittenReport() {
  TOwnedReport report(new TqvxReport(nullptr));
  auto* page = new TqvxReportPage(report.get());
  page->SetName(L"Page1");
  auto* title = new TqvxReportTitle(page);
  title->SetName(L"ReportTitle1");
  title->SetBounds(0, 0, 718, 40);
  auto* heading = new TqvxMemoView(title);
  heading->SetName(L"Memo1");
  heading->SetBounds(10, 5, 300, 20);
  heading->SetText(L"Öğrenci Görüşme Formu");
  auto* picture = new TqvxPictureView(title);
  picture->SetName(L"Picture1");
  picture->SetBounds(600, 2, 30, 30);
  vcl::TBitmap bitmap(3, 2, vcl::pf24bit);
  bitmap.Canvas()->SetPixels(1, 1, vcl::clRed);
  picture->Picture()->SetGraphic(&bitmap);
  auto* master = new TqvxMasterData(page);
  master->SetName(L"MasterData1");
  master->SetBounds(0, 50, 718, 20);
  auto* row = new TqvxMemoView(master);
  row->SetName(L"Memo2");
  row->SetBounds(0, 0, 400, 18);
  auto* line = new TqvxLineView(master);
  line->SetName(L"Line1");
  line->SetBounds(0, 19, 700, 0);
  auto* footer = new TqvxPageFooter(page);
  footer->SetName(L"PageFooter1");
  footer->SetBounds(0, 1000, 718, 20);
  auto* pageNo = new TqvxMemoView(footer);
  pageNo->SetName(L"Memo3");
  pageNo->SetBounds(600, 0, 100, 18);

  TqvxPreviewPages* pages = PagesOf(report.get());
  pages->Initialize();
  pages->AddPageAction = apAdd;
  pages->AddSourcePage(page);
  pages->BeginPass();
  for (int p = 0; p < 3; ++p) {
    pages->AddPage(page);
    if (p == 0) {
      pages->AddObject(title);
      pages->AddPicture(picture);
    }
    for (int r = 0; r < 2; ++r) {
      master->SetTop(50 + 20 * r);
      row->SetText(L"Satır " + rtl::IntToStr(p) + L"." + rtl::IntToStr(r));
      pages->AddObject(master);
    }
    pageNo->SetText(L"Sayfa " + rtl::IntToStr(p + 1));
    pages->AddObject(footer);
    pages->Outline()->AddItem(L"Bölüm " + rtl::IntToStr(p), 5);
    pages->Outline()->AddItem(L"Alt", 9);
    pages->Outline()->LevelUp();
    pages->Outline()->LevelUp();
    pages->AddAnchor(L"a" + rtl::IntToStr(p));
    if (p == 1) pages->ResetLogicalPageNumber();
  }
  pages->ResetLogicalPageNumber();
  pages->Finish();
  rtl::TBytesStream stream;
  pages->SaveToStream(stream);
  fuzz::Bytes bytes = stream.Bytes();
  bytes.resize(static_cast<std::size_t>(stream.Size()));
  return {"report.qp3", bytes};
}

void WalkOutline(TqvxCustomOutline* outline, int depth) {
  for (rtl::Integer i = 0; i < outline->GetCount(); ++i) {
    rtl::String text;
    rtl::Integer page = 0, top = 0;
    outline->GetItem(i, text, page, top);
    if (depth < 50) {
      outline->LevelDown(i);
      WalkOutline(outline, depth + 1);
      outline->LevelUp();
    }
  }
}

// What the preview does with an opened file, then saving it again.
void Use(TqvxPreviewPages* pages) {
  for (rtl::Integer i = 0; i < pages->GetCount(); ++i) {
    pages->GetPageSize(i);
    TqvxReportPage* page = pages->GetPage(i);
    if (!page) throw std::logic_error("a page of the file did not rebuild");
    for (TqvxComponent* c : page->GetAllObjects())
      if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(c)) memo->Text();
    pages->CurPage = i;
    pages->GetLogicalPageNo();
    pages->GetLogicalTotalPages();
  }
  pages->CurPage = -1;
  pages->Outline()->LevelRoot();
  WalkOutline(pages->Outline(), 0);
  pages->GetAnchorPage(L"a1");
  rtl::TBytesStream out;
  pages->SaveToStream(out);
}

const bool preparedReports = fuzz::Join({
    .name = "prepared report (.qp3)",
    .fixtures = [] { return std::vector<fuzz::Input>{WrittenReport()}; },
    .read =
        [](const fuzz::Bytes& input) {
          // One report for every input (making a report costs more than most inputs): a refused file leaves its
          // store as it was, which the next input finds. It lives as long as the process, like the stream below.
          static TqvxReport* const report = new TqvxReport(nullptr);
          TqvxPreviewPages* pages = PagesOf(report);
          {
            rtl::TBytesStream stream(input);
            pages->LoadFromStream(stream, false);
            Use(pages);
          }
          // Partial loading reads the later pages from the stream as they are asked for: a stream stays while the
          // store may read from it, that is until another file has loaded.
          static auto* const kept = new std::unique_ptr<rtl::TBytesStream>();
          auto stream = std::make_unique<rtl::TBytesStream>(input);
          pages->LoadFromStream(*stream, true);
          *kept = std::move(stream);
          Use(pages);
        },
    .refuses = fuzz::ErrorOf<TqvxInvalidXMLException>,
    .generated =
        [] {
          std::vector<fuzz::Input> made;
          const std::string head =
              "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><preparedreport><previewpages>";
          for (int depth : {1000, 100000}) {
            const std::string n = std::to_string(depth);
            made.push_back({"page objects " + n,
                            fuzz::Nest(head + "<TqvxReportPage>", "<TqvxMemoView>", depth, "", "</TqvxMemoView>",
                                       "</TqvxReportPage></previewpages></preparedreport>")});
            made.push_back({"outline " + n, fuzz::Nest("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"
                                                       "<preparedreport><outline>",
                                                       "<item text=\"x\" page=\"0\" top=\"0\">", depth, "", "</item>",
                                                       "</outline></preparedreport>")});
          }
          made.push_back({"many pages", fuzz::Nest(head, "<page0/>", 3000, "", "",
                                                   "</previewpages><sourcepages><TqvxReportPage/></sourcepages>"
                                                   "</preparedreport>")});
          made.push_back({"huge picture", fuzz::Nest("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"
                                                     "<preparedreport><picturecache><item stream=\"424DFFFFFF7F",
                                                     "00", 1000000, "", "", "\"/></picturecache></preparedreport>")});
          return made;
        },
    .text = true,
    .rounds = 300,
});

}  // namespace
