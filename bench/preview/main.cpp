// bench_preview: a prepared report of 2,000 pages shown in the preview window (under Xvfb), scrolled from the first
// page to the last and back, as the keyboard does it: page by page at 100 % (Ctrl+PgDn, Ctrl+PgUp) and in the
// scroll bar's big steps at 25 %, where four pages share a row (PgDn, PgUp). Each step is painted at once; the
// time of every page drawn and of every whole step is kept. Printed: the time per painted page and per step (min,
// median, max), the pages drawn per step, and the process's private memory before scrolling, at the last page and
// back at the first. Pages out of view are not kept drawn, so the memory must stay level whatever the report's
// length. No peer runs here: nothing else on the machine shows these pages.
//
//   build-release/bench/bench_preview.exe [runs]      (default 2 runs in one process)
//   TAVREL_BENCH_PROFILE=samples.txt wine build-release/bench/bench_preview.exe 1
//   python3 bench/script/profile.py build-release/bench/bench_preview.exe samples.txt "100 %"
// The second line samples the scrolling (one section per zoom); the third sums the samples per function.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPreviewPages.h"
#include "report/preview/qvxPagePainter.h"
#include "report/preview/qvxPreview.h"
#include "report/preview/qvxPreviewForm.h"
#include "report/preview/qvxPreviewWorkspace.h"
#include "sampler.h"

using Clock = std::chrono::steady_clock;
using rtl::String;

#include "measure.h"

namespace {

using bench::Duration;
using bench::PrivateBytes;

constexpr int kPages = 2000;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string Megabytes(long long bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f MB", bytes / 1048576.0);
  return buf;
}

// The store's own drawing, each page's time kept.
class TTimingPainter : public TqvxPagePainter {
 public:
  void DrawPage(TqvxCustomPreviewPages* pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX,
                Extended scaleY, Extended offsetX, Extended offsetY) override {
    const auto start = Clock::now();
    if (pages) pages->DrawPage(index, canvas, scaleX, scaleY, offsetX, offsetY);
    Times.push_back(Since(start));
  }
  std::vector<double> Times;
};

// One row per page, each row a page of its own: a header with Turkish text, the row, a footer with the number.
class TLongReport {
 public:
  TLongReport() {
    report_ = new TqvxReport(nullptr);
    report_->SetName(L"Uzun");
    report_->ReportOptions()->Name = L"Öğrenci Listesi";
    report_->EngineOptions()->NewSilentMode = simSilent;
    report_->PreviewOptions()->Modal = false;
    report_->PreviewOptions()->Maximized = false;
    auto* page = new TqvxReportPage(report_);
    page->SetName(L"Page1");
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    auto* header = new TqvxPageHeader(page);
    header->SetName(L"PageHeader1");
    header->SetHeight(30);
    Memo(header, L"Baslik", L"Öğrenci Listesi — İSTANBUL Işık Lisesi", 0, 500, 20);
    auto* master = new TqvxMasterData(page);
    master->SetName(L"MasterData1");
    master->SetTop(40);
    master->SetHeight(900);
    master->SetRowCount(kPages);
    Memo(master, L"Satir", L"Satır [Line#] — Çağla Şükrü Gülşen İpek Ömer", 0, 500, 20);
    auto* footer = new TqvxPageFooter(page);
    footer->SetName(L"PageFooter1");
    footer->SetTop(100);
    footer->SetHeight(20);
    Memo(footer, L"SayfaNo", L"Sayfa [Page#]", 500, 200, 18);
    page->OutlineText = L"Page#";
  }
  ~TLongReport() { report_->Free(); }
  TqvxReport* Report() const { return report_; }

 private:
  static void Memo(TqvxBand* band, const wchar_t* name, const wchar_t* text, int left, int width, int height) {
    auto* memo = new TqvxMemoView(band);
    memo->SetName(name);
    memo->SetText(text);
    memo->SetBounds(left, 0, width, height);
  }
  TqvxReport* report_;
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A key pressed and released on the page area, with Ctrl held when asked.
void Key(HWND wnd, WORD vk, bool ctrl) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(state);
  SendMessageW(wnd, WM_KEYDOWN, vk, 1);
  SendMessageW(wnd, WM_KEYUP, vk, 0xC0000001);
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
}

struct TFigures {
  std::vector<double> Step, Key, Paint;
  std::vector<int> Drawn;
};

std::string Spread(std::vector<double> v) {
  if (v.empty()) return "-";
  std::sort(v.begin(), v.end());
  return "min " + Duration(v.front()) + ", median " + Duration(v[v.size() / 2]) + ", max " + Duration(v.back());
}

// Presses vk until done() holds (bounded by limit steps), painting each step at once.
void Scroll(HWND ws, TqvxPreviewWorkspace* workspace, WORD vk, bool ctrl, int limit, const std::function<bool()>& done,
            TFigures& figures) {
  for (int i = 0; i < limit && !done(); ++i) {
    const auto start = Clock::now();
    Key(ws, vk, ctrl);
    const auto painting = Clock::now();
    UpdateWindow(ws);
    figures.Key.push_back(std::chrono::duration<double>(painting - start).count());
    figures.Paint.push_back(Since(painting));
    figures.Step.push_back(Since(start));
    figures.Drawn.push_back(workspace->PagesDrawn());
    Pump();
  }
}

bool Run(int run) {
  TTimingPainter painter;
  TLongReport list;
  TqvxReport* report = list.Report();
  auto start = Clock::now();
  if (!report->PrepareReport(true) || report->PreviewPages()->GetCount() != kPages) {
    std::printf("run %d: the report was not prepared (%d pages)\n", run,
                report->PreviewPages() ? static_cast<int>(report->PreviewPages()->GetCount()) : 0);
    return false;
  }
  const double prepare = Since(start);
  report->ShowPreparedReport();
  auto* form = dynamic_cast<TqvxPreviewForm*>(report->PreviewForm());
  if (!form) {
    std::printf("run %d: no preview window\n", run);
    return false;
  }
  form->FreeOnClose = false;
  TqvxPreview* preview = form->PreviewControl();
  TqvxPreviewWorkspace* workspace = preview->Workspace();
  for (int i = 0; i < 200 && !IsWindowVisible(form->Handle()); ++i) {
    Pump();
    Sleep(10);
  }
  Pump();
  HWND ws = workspace->Handle();
  auto* store = dynamic_cast<TqvxPreviewPages*>(report->PreviewPages());
  std::printf("run %d: %d pages prepared in %s; window %dx%d, page area %dx%d\n", run, kPages,
              Duration(prepare).c_str(), form->Width(), form->Height(), workspace->ClientWidth(),
              workspace->ClientHeight());

  qvxSetPagePainter(&painter);
  struct TZoom {
    const char* Name;
    double Zoom;
    WORD Down, Up;
    bool Ctrl;
  } zooms[] = {{"100 %, page by page (Ctrl+PgDn, Ctrl+PgUp)", 1.0, VK_NEXT, VK_PRIOR, true},
               {"25 %, several pages a row, big steps (PgDn, PgUp)", 0.25, VK_NEXT, VK_PRIOR, false}};
  benchscript::Sampler sampler;
  bool ok = true;
  for (const TZoom& z : zooms) {
    preview->SetZoom(z.Zoom);
    preview->SetPageNo(1);
    Pump();
    UpdateWindow(ws);
    const long long before = PrivateBytes();
    painter.Times.clear();
    TFigures down, up;
    // Bounds far past what the scrolling needs: a broken step ends the run instead of hanging it.
    // Bounds past what the scrolling needs: a broken step ends the run instead of hanging it. Page by page ends on
    // the last page; big steps end at the bottom of the range (the last row never reaches the top of the view, so
    // the current page stays a row or two above it).
    auto atEnd = [&] {
      return z.Ctrl ? preview->PageNo() == kPages
                    : workspace->VertPosition() >= workspace->VertRange() - workspace->VertPage();
    };
    sampler.Begin(z.Zoom == 1.0 ? "100 %" : "25 %");
    Scroll(ws, workspace, z.Down, z.Ctrl, 3 * kPages, atEnd, down);
    const bool reachedEnd = atEnd();
    const long long memoryAtEnd = PrivateBytes();
    const size_t cachedAtEnd = store ? store->CachedPages().size() : 0;
    auto atStart = [&] { return workspace->VertPosition() == 0 && (!z.Ctrl || preview->PageNo() == 1); };
    Scroll(ws, workspace, z.Up, z.Ctrl, 3 * kPages, atStart, up);
    sampler.End();
    const bool reachedStart = atStart();
    const long long back = PrivateBytes();
    ok = ok && reachedEnd && reachedStart;

    std::vector<double> steps = down.Step;
    steps.insert(steps.end(), up.Step.begin(), up.Step.end());
    std::vector<double> keys = down.Key, paints = down.Paint;
    keys.insert(keys.end(), up.Key.begin(), up.Key.end());
    paints.insert(paints.end(), up.Paint.begin(), up.Paint.end());
    std::vector<int> drawn = down.Drawn;
    drawn.insert(drawn.end(), up.Drawn.begin(), up.Drawn.end());
    double total = 0;
    for (double t : steps) total += t;
    const int mostDrawn = drawn.empty() ? 0 : *std::max_element(drawn.begin(), drawn.end());
    int perRow = 0;
    for (int i = 0; i < workspace->PageList().Count(); ++i)
      if (workspace->PageList().Items(i).OffsetY == workspace->PageList().Items(0).OffsetY) ++perRow;
    std::printf("  %s: %d page(s) a row\n", z.Name, perRow);
    std::printf("    steps %zu down%s, %zu up%s, %s in all\n", down.Step.size(), reachedEnd ? "" : " (END NOT REACHED)",
                up.Step.size(), reachedStart ? "" : " (START NOT REACHED)", Duration(total).c_str());
    std::printf("    time per painted page  %s  (%zu pages painted)\n", Spread(painter.Times).c_str(),
                painter.Times.size());
    std::printf("    time per step          %s  (key to painted; at most %d pages drawn in one step)\n",
                Spread(steps).c_str(), mostDrawn);
    std::printf("      of which the key   %s  (page number, scroll position, status and page box)\n",
                Spread(keys).c_str());
    std::printf("      and the paint      %s  (the uncovered part of the page area drawn)\n", Spread(paints).c_str());
    std::printf("    private memory         before %s, at the last page %s (%+.1f MB), back at the first %s (%+.1f MB)"
                "; %zu pages rebuilt and held at the end (cache %d)\n",
                Megabytes(before).c_str(), Megabytes(memoryAtEnd).c_str(), (memoryAtEnd - before) / 1048576.0,
                Megabytes(back).c_str(), (back - before) / 1048576.0, cachedAtEnd,
                static_cast<int>(report->PreviewOptions()->PagesInCache));
  }
  qvxSetPagePainter(nullptr);
  report->SetPreviewForm(nullptr);
  report->SetPreview(nullptr);
  delete form;
  Pump();
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 2;
  std::printf("Preview of a %d-page prepared report, scrolled to the last page and back (no peer: nothing else on "
              "the machine shows these pages; the figures stand alone)\n",
              kPages);
  bool ok = true;
  for (int run = 1; run <= runs; ++run) ok = Run(run) && ok;
  return ok ? 0 : 1;
}
