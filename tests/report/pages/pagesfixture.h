#pragma once
// A report whose prepared pages the tests write the way the engine does (the engine layer is not linked into
// these tests): Initialize, AddSourcePage, BeginPass, then per page AddPage and AddObject for each printed band,
// Finish. The layout is small but has what the store treats apart: bands, text objects, a picture, a line, a
// page footer, and an object the prepared pages never show.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxReport.h"
#include "report/pages/qvxPreviewPages.h"
#include "tests/report/idleengine.h"

namespace pagestest {

using TTestEngine = reporttest::TIdleEngine;

// A report with one page: a title (text, picture), a data band (text, line) and a page footer (text), plus a
// subreport object, which prepared pages never show.
class TTestReport {
 public:
  TTestReport();
  ~TTestReport();
  TTestReport(const TTestReport&) = delete;
  TTestReport& operator=(const TTestReport&) = delete;

  TqvxReport* Report() const { return report_; }
  TqvxPreviewPages* Pages() const;
  TTestEngine& Engine() { return *engine_; }

  // The engine's side of a run of pageCount pages with rowsPerPage data rows each (text "Satır <page>.<row>").
  void Run(int pageCount, int rowsPerPage);
  // The parts of a run, for tests that go their own way through it.
  void Start();
  void WritePage(int page, int rowsPerPage);
  void Stop();

  TqvxReportPage* page = nullptr;
  TqvxReportTitle* title = nullptr;
  TqvxMemoView* heading = nullptr;
  TqvxPictureView* picture = nullptr;
  TqvxMasterData* master = nullptr;
  TqvxMemoView* row = nullptr;
  TqvxLineView* line = nullptr;
  TqvxPageFooter* footer = nullptr;
  TqvxMemoView* pageNo = nullptr;
  TqvxSubreport* subreport = nullptr;

 private:
  TqvxReport* report_;
  std::unique_ptr<TTestEngine> engine_;
};

// A picture of w x h pixels: red with a blue top-left pixel.
std::unique_ptr<vcl::TBitmap> SmallPicture(int w, int h);

// A rebuilt page as the report serializer writes it (every object, every stored property, pictures included).
rtl::String PageXml(TqvxReportPage* page);
// One line per object: class, name, position and text, for assertions a reader can follow.
std::vector<rtl::String> PageSummary(TqvxReportPage* page);
// The text objects' texts of a page in tree order.
std::vector<rtl::String> Texts(TqvxReportPage* page);

std::string Bytes(rtl::TStream& stream);
std::string Saved(TqvxPreviewPages* pages);
void Load(TqvxPreviewPages* pages, const std::string& bytes, bool partial = false);
// Files whose names start with prefix in folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& prefix);

}  // namespace pagestest
