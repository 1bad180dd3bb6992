// bench_pages: the prepared-pages store on a report of 1,000 pages (a title, 30 data rows and a page footer on each
// page, a picture): writing the pages as the engine does, saving them to a .qp3 file and loading it back, and
// rebuilding a random page from the store, from memory and from the temporary file past the memory limit.
// Beside the load, expat parsing the same file without building anything; beside the save, the same bytes written
// to a file in one piece.
#include <expat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPagesOutput.h"
#include "report/pages/qvxPreviewPages.h"

using rtl::String;
using Clock = std::chrono::steady_clock;

#include "measure.h"

namespace {

using bench::Duration;

constexpr int kPages = 1000;
constexpr int kRows = 30;
constexpr int kRebuilds = 500;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The machine is shared: the best of a few runs.
double Best(int runs, const std::function<double()>& fn) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) best = std::min(best, fn());
  return best;
}

class TBenchEngine : public TqvxCustomEngine {
 public:
  using TqvxCustomEngine::TqvxCustomEngine;
  void EndPage() override {}
  void NewColumn() override {}
  void NewPage() override {}
  void ShowBand(TqvxBand*) override {}
  void ShowBand(const vcl::TClassInfo*) override {}
  Extended HeaderHeight() override { return 0; }
  Extended FooterHeight() override { return 0; }
  Extended FreeSpace() override { return 0; }
  rtl::Variant GetAggregateValue(const String&, const String&, TqvxBand*, rtl::Integer) override {
    return rtl::Variant();
  }
  bool Run(bool, bool, TqvxPage*) override { return false; }
};

// A report and its layout; Prepare writes the pages as the engine does.
struct TReport {
  TqvxReport* report = new TqvxReport(nullptr);
  TBenchEngine engine{report};
  TqvxReportPage* page = new TqvxReportPage(report);
  TqvxReportTitle* title = new TqvxReportTitle(page);
  TqvxMasterData* master = new TqvxMasterData(page);
  TqvxMemoView* name = new TqvxMemoView(master);
  TqvxMemoView* note = new TqvxMemoView(master);
  TqvxPageFooter* footer = new TqvxPageFooter(page);
  TqvxMemoView* pageNo = new TqvxMemoView(footer);

  TReport() {
    Pages()->SetEngine(&engine);
    page->SetName(L"Page1");
    title->SetName(L"ReportTitle1");
    title->SetBounds(0, 0, 718, 60);
    auto* heading = new TqvxMemoView(title);
    heading->SetName(L"Memo1");
    heading->SetBounds(10, 5, 400, 24);
    heading->SetText(L"Öğrenci Görüşme Formu");
    auto* picture = new TqvxPictureView(title);
    picture->SetName(L"Picture1");
    picture->SetBounds(600, 2, 50, 50);
    vcl::TBitmap logo(48, 48, vcl::pf24bit);
    logo.Canvas()->Brush()->SetColor(0x3366CC);
    logo.Canvas()->FillRect(vcl::TRect(0, 0, 48, 48));
    picture->Picture()->SetGraphic(&logo);
    master->SetName(L"MasterData1");
    master->SetBounds(0, 70, 718, 30);
    name->SetName(L"Memo2");
    name->SetBounds(0, 0, 200, 18);
    note->SetName(L"Memo3");
    note->SetBounds(210, 0, 500, 28);
    footer->SetName(L"PageFooter1");
    footer->SetBounds(0, 1000, 718, 20);
    pageNo->SetName(L"Memo4");
    pageNo->SetBounds(600, 0, 100, 18);
  }
  ~TReport() {
    Pages()->SetEngine(nullptr);
    report->Free();
  }
  TqvxPreviewPages* Pages() const { return dynamic_cast<TqvxPreviewPages*>(report->PreviewPages()); }

  void Prepare() {
    TqvxPreviewPages* pages = Pages();
    pages->Clear();
    pages->Initialize();
    pages->AddPageAction = apAdd;
    pages->AddSourcePage(page);
    pages->BeginPass();
    engine.Running = engine.FinalPass = true;
    for (int p = 0; p < kPages; ++p) {
      pages->AddPage(page);
      if (p == 0) pages->AddObject(title);
      for (int r = 0; r < kRows; ++r) {
        master->SetTop(70 + 30 * r);
        name->SetText(L"Öğrenci " + rtl::IntToStr(p * kRows + r));
        note->SetText(L"Görüşme notu " + rtl::IntToStr(r) + L": veli bilgilendirildi, izlem sürecek.");
        pages->AddObject(master);
      }
      pageNo->SetText(L"Sayfa " + rtl::IntToStr(p + 1));
      pages->AddObject(footer);
    }
    pages->Finish();
    engine.Running = false;
  }
};

std::string ReadFile(const String& name) {
  rtl::TFileStream f(name, rtl::fmOpenRead);
  return f.ReadBytes(static_cast<rtl::Integer>(f.Size()));
}

double ExpatParse(const std::string& bytes, long& elements) {
  auto start = Clock::now();
  XML_Parser parser = XML_ParserCreate("UTF-8");
  elements = 0;
  XML_SetUserData(parser, &elements);
  XML_SetStartElementHandler(parser,
                             [](void* data, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(data); });
  XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), 1);
  XML_ParserFree(parser);
  return Since(start);
}

double RandomRebuilds(TqvxPreviewPages* pages, unsigned seed) {
  std::mt19937 random(seed);
  auto start = Clock::now();
  for (int i = 0; i < kRebuilds; ++i) {
    pages->ClearPageCache();
    if (!pages->GetPage(static_cast<rtl::Integer>(random() % kPages))) std::printf("(no page)\n");
  }
  return Since(start) / kRebuilds;
}

}  // namespace

int wmain() {
  qvxRegisterPagesLink();
  const String folder = rtl::IncludeTrailingPathDelimiter(rtl::GetTempPath());
  const String file = folder + L"bench_pages.qp3";
  const String copy = folder + L"bench_pages_plain.bin";

  TReport source;
  const double prepare = Best(3, [&] {
    auto start = Clock::now();
    source.Prepare();
    return Since(start);
  });
  std::printf("%d pages of %d rows written as the engine does          %10s  (%s a page)\n", kPages, kRows,
              Duration(prepare).c_str(), Duration(prepare / kPages).c_str());

  const double save = Best(5, [&] {
    auto start = Clock::now();
    source.Pages()->SaveToFile(file);
    return Since(start);
  });
  const std::string bytes = ReadFile(file);
  const double plainWrite = Best(5, [&] {
    auto start = Clock::now();
    rtl::TFileStream out(copy, rtl::fmCreate);
    out.WriteBytes(bytes);
    return Since(start);
  });
  std::printf("save %d pages to .qp3 (%zu KB)                     ours %10s   one write of the bytes %10s\n", kPages,
              bytes.size() / 1024, Duration(save).c_str(), Duration(plainWrite).c_str());

  TReport loaded;
  const double load = Best(5, [&] {
    auto start = Clock::now();
    loaded.Pages()->LoadFromFile(file, true);
    return Since(start);
  });
  // With partial loading the pages from the third on stay in the file until they are shown.
  TReport partial;
  auto partialFile = std::make_unique<rtl::TFileStream>(file, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  const double loadPartial = Best(5, [&] {
    partialFile->SetPosition(0);
    auto start = Clock::now();
    partial.Pages()->LoadFromStream(*partialFile, true);
    return Since(start);
  });
  long elements = 0;
  const double expat = Best(5, [&] { return ExpatParse(bytes, elements); });
  std::printf("load %d pages from .qp3 (%ld elements)             ours %10s   expat parse %10s   ratio %.2f\n",
              loaded.Pages()->GetCount(), elements, Duration(load).c_str(), Duration(expat).c_str(), load / expat);
  std::printf("load %d pages from .qp3, partial loading                   ours %10s\n", partial.Pages()->GetCount(),
              Duration(loadPartial).c_str());

  const double fromMemory = Best(3, [&] { return RandomRebuilds(source.Pages(), 1); });
  const double fromFile = Best(3, [&] { return RandomRebuilds(loaded.Pages(), 2); });
  const double fromPartial = Best(3, [&] { return RandomRebuilds(partial.Pages(), 4); });
  TReport spilled;
  spilled.report->EngineOptions()->UseFileCache = true;
  spilled.report->EngineOptions()->MaxMemSize = 1;
  spilled.Prepare();
  const double fromTemp = Best(3, [&] { return RandomRebuilds(spilled.Pages(), 3); });
  std::printf("rebuild a random page (%d objects), store in memory          %10s\n", 3 * kRows + 2,
              Duration(fromMemory).c_str());
  std::printf("rebuild a random page, store loaded from the file            %10s\n", Duration(fromFile).c_str());
  std::printf("rebuild a random page, partly loaded file (read on demand)   %10s\n", Duration(fromPartial).c_str());
  std::printf("rebuild a random page, pages in the temporary file (1 MB)    %10s\n", Duration(fromTemp).c_str());
  // The partly loaded store reads from the file until it is cleared.
  partial.Pages()->Clear();
  partialFile.reset();
  rtl::DeleteFile(file);
  rtl::DeleteFile(copy);
  return 0;
}
