#pragma once
// Reports whose prepared pages the tests write the way the engine does (Initialize, AddSourcePage, BeginPass, per
// page AddPage and AddObject for each band, Finish), so that each page's text says which page it is: "Sayfa <n>"
// and a line of Turkish letters. Two source pages: A4 portrait and A4 landscape; tests add their own objects to
// them before a run.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/vcl/bitmap.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPreviewPages.h"
#include "tests/report/idleengine.h"

namespace printtest {

using TTestEngine = reporttest::TIdleEngine;

// The Turkish line every page carries.
inline const wchar_t* const kTurkish = L"Öğrenci Işık Çağla Şükrü Gülşen İpek Ömer";

class TPrintReport {
 public:
  TPrintReport();
  ~TPrintReport();
  TPrintReport(const TPrintReport&) = delete;
  TPrintReport& operator=(const TPrintReport&) = delete;

  TqvxReport* Report() const { return report_; }
  TqvxPreviewPages* Pages() const;

  // A page of the given paper (code, mm) and orientation, with a band holding the page's text memo.
  TqvxReportPage* AddSource(const rtl::String& name, rtl::Integer paper, Extended width, Extended height,
                            TPrinterOrientation orientation);
  // Writes one prepared page per entry, made from that source page; page n (1-based) says "Sayfa <n>".
  void Run(const std::vector<TqvxReportPage*>& sources);
  void Run(int count) { Run(std::vector<TqvxReportPage*>(static_cast<size_t>(count), portrait)); }
  // Called while page n (1-based) is written, after its text is set, before its bands are added.
  std::function<void(int n)> OnWritePage;

  // The text memo of a source page.
  TqvxMemoView* TextOf(TqvxReportPage* page) const;

  TqvxReportPage* portrait = nullptr;
  TqvxReportPage* landscape = nullptr;

 private:
  TqvxReport* report_;
  std::unique_ptr<TTestEngine> engine_;
  std::vector<TqvxReportPage*> sources_;
};

// The page number a prepared page says ("Sayfa <n>"), 0 when it says none.
int PageNumberOf(TqvxReportPage* page);

// The text the test's pages carry: "Sayfa <n> <Turkish line>".
rtl::String PageText(int n);

// Dark pixels (each channel below 128) inside the rectangle.
int Ink(vcl::TBitmap& bitmap, int x0, int y0, int x1, int y1);
// A white bitmap of that size.
std::unique_ptr<vcl::TBitmap> WhiteBitmap(int width, int height);
// Saves a bitmap as PNG beside the test executable (to look at).
void SavePng(vcl::TBitmap& bitmap, const rtl::String& name);

}  // namespace printtest
