// Printing prepared reports on the real PDF queue. Most jobs go to a file (PostScript, complete when the job
// ends): the sheets and their sizes are read from it here, and the test script's check turns the files listed in
// the folder's manifest into PDF and compares their pages, sizes and Turkish text (check_pdf.sh). One job goes
// through the queue to cups-pdf, which writes the PDF itself once the job has left the program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "printfixture.h"
#include "report/print/qvxPrinters.h"
#include "tests/common/dialogs.h"
#include "tests/common/tempdir.h"
#include "tests/common/wait.h"

using printtest::TPrintReport;
using rtl::String;

namespace printtest {
bool HavePdfQueue();
}

namespace {

// Where the jobs' files go: the folder the test script names (its check reads them), else a folder of the test's.
std::wstring OutFolder() {
  static std::wstring folder;
  if (folder.empty()) {
    const wchar_t* named = _wgetenv(L"TAVREL_PRINT_OUT");
    folder = named && *named ? std::wstring(named) : testutil::NewTempFolder(L"print");
    CreateDirectoryW(folder.c_str(), nullptr);
  }
  return folder;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct TSheet {
  int Width = 0, Height = 0;  // points, of the paper
  bool Turned = false;        // the drawing turned a quarter: a landscape page on the sheet
};

// The sheets of a PostScript file: one per page comment, each of the paper size last set up, turned when the
// page's setup rotates the drawing by a quarter.
std::vector<TSheet> SheetsOf(const std::string& ps) {
  std::vector<TSheet> sheets;
  std::istringstream in(ps);
  std::string line;
  TSheet paper;
  bool inPageSetup = false;
  const std::regex size(R"(/PageSize\s*\[\s*([0-9.]+)\s+([0-9.]+)\s*\])");
  const std::regex rotate(R"(^\s*(-?[0-9]+)\s+rotate\s*$)");
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch m;
    if (line.rfind("%%Page:", 0) == 0) {
      sheets.push_back(paper);
      inPageSetup = true;
    } else if (line.rfind("%%EndPageSetup", 0) == 0) {
      inPageSetup = false;
    } else if (std::regex_search(line, m, size)) {
      paper.Width = static_cast<int>(std::lround(std::stod(m[1])));
      paper.Height = static_cast<int>(std::lround(std::stod(m[2])));
      if (inPageSetup && !sheets.empty()) sheets.back() = paper;
    } else if (inPageSetup && !sheets.empty() && std::regex_search(line, m, rotate)) {
      const int angle = std::abs(std::stoi(m[1])) % 180;
      sheets.back().Turned = angle == 90;
    }
  }
  return sheets;
}

constexpr int kA4W = 595, kA4H = 842;

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!printtest::HavePdfQueue()) GTEST_SKIP() << "no PDF queue set up";
    ASSERT_GE(qvxPrinters().IndexOf(L"PDF"), 0);
    options()->Printer = L"PDF";
    t_.Report()->OnPrintPage = [this](TqvxReportPage* page, rtl::Integer copy) {
      printed_.push_back(printtest::PageNumberOf(page));
      copies_.push_back(copy);
      if (failAt_ && printtest::PageNumberOf(page) == failAt_) throw rtl::Exception(L"Sayfa çizilemedi");
      if (cancelAt_ && printtest::PageNumberOf(page) == cancelAt_) t_.Report()->SetTerminated(true);
    };
  }

  TqvxPrintOptions* options() { return t_.Report()->PrintOptions(); }

  // Prints to <name>.ps in the output folder; the sheets of the file.
  std::vector<TSheet> PrintToFile(const std::wstring& name, bool expectResult = true) {
    printed_.clear();
    copies_.clear();
    file_ = OutFolder() + L"\\" + name + L".ps";
    DeleteFileW(file_.c_str());
    options()->PrnOutFileName = file_;
    result_ = t_.Report()->Print();
    EXPECT_EQ(result_, expectResult) << rtl::StringToUTF8(t_.Report()->Errors()->Text());
    return SheetsOf(ReadFile(file_));
  }

  // Tells the test script's check what the file must hold: its sheets' sizes (points) and each sheet's text.
  void Expect(const std::wstring& name, const std::vector<TSheet>& sheets, const std::vector<std::vector<int>>& text) {
    std::ostringstream line;
    line << rtl::StringToUTF8(name) << ".ps|" << sheets.size() << "|";
    for (size_t i = 0; i < sheets.size(); ++i)
      line << (i ? "," : "") << sheets[i].Width << "x" << sheets[i].Height << "="
           << [&] {
                std::string pages;
                for (int n : text[i]) pages += (pages.empty() ? "" : "+") + std::to_string(n);
                return pages;
              }();
    std::ofstream out((OutFolder() + L"\\manifest.txt").c_str(), std::ios::app);
    out << line.str() << "\n";
  }

  TPrintReport t_;
  std::vector<int> printed_, copies_;
  int failAt_ = 0, cancelAt_ = 0;
  std::wstring file_;
  bool result_ = false;
};

TEST_F(Printing, ThreePagesPortraitAndLandscapeWithTheirTurkishText) {
  t_.Run({t_.portrait, t_.landscape, t_.portrait});
  const auto sheets = PrintToFile(L"portrait_landscape");
  EXPECT_EQ(printed_, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(copies_, (std::vector<int>{1, 1, 1}));
  ASSERT_EQ(sheets.size(), 3u);
  EXPECT_EQ(sheets[0].Width, kA4W);
  EXPECT_EQ(sheets[0].Height, kA4H);
  EXPECT_EQ(sheets[1].Width, kA4W);
  EXPECT_TRUE(sheets[1].Turned) << "the landscape page";
  EXPECT_FALSE(sheets[0].Turned);
  EXPECT_EQ(sheets[2].Width, kA4W);
  Expect(L"portrait_landscape", sheets, {{1}, {2}, {3}});
  // The options are those of before the job; the printer's file is not the next job's.
  EXPECT_EQ(options()->PrnOutFileName, file_);
  EXPECT_TRUE(qvxPrinters().GetCurrentPrinter()->FileName.empty());
  EXPECT_EQ(t_.Pages()->CopyNo, 0);
}

struct TSelection {
  const wchar_t* Name;
  const wchar_t* PageNumbers;
  int Copies;
  bool Collate, Reverse;
  TqvxPrintPages Pages;
  std::vector<int> Printed, CopyNo;
  size_t Sheets;
};

TEST_F(Printing, PageRangesCopiesCollationOrderAndOddEvenPages) {
  t_.Run(7);
  const std::vector<TSelection> cases{
      {L"range", L"2,5-", 1, true, false, ppAll, {2, 5, 6, 7}, {1, 1, 1, 1}, 4},
      {L"beyond9", L"9", 1, true, false, ppAll, {}, {}, 0},
      {L"beyond8", L"8", 1, true, false, ppAll, {}, {}, 0},
      {L"collated", L"1-3", 2, true, false, ppAll, {1, 2, 3, 1, 2, 3}, {1, 1, 1, 2, 2, 2}, 6},
      {L"uncollated", L"1-3", 2, false, false, ppAll, {1, 2, 3}, {1, 1, 1}, 3},
      {L"even_reverse", L"", 1, true, true, ppEven, {6, 4, 2}, {1, 1, 1}, 3},
      {L"odd", L"", 1, true, false, ppOdd, {1, 3, 5, 7}, {1, 1, 1, 1}, 4},
      {L"reverse_range", L"1,3-4", 1, true, true, ppAll, {4, 3, 1}, {1, 1, 1}, 3},
  };
  for (const TSelection& c : cases) {
    SCOPED_TRACE(rtl::StringToUTF8(c.Name));
    options()->PageNumbers = c.PageNumbers;
    options()->Copies = c.Copies;
    options()->Collate = c.Collate;
    options()->Reverse = c.Reverse;
    options()->PrintPages = c.Pages;
    const auto sheets = PrintToFile(c.Name);
    EXPECT_EQ(printed_, c.Printed);
    EXPECT_EQ(copies_, c.CopyNo);
    EXPECT_EQ(sheets.size(), c.Sheets);
    if (!c.Printed.empty()) {
      std::vector<std::vector<int>> text;
      for (size_t i = 0; i < sheets.size(); ++i) text.push_back({c.Printed[i]});
      Expect(c.Name, sheets, text);
    }
    // The options are as before the job.
    EXPECT_EQ(options()->Copies, c.Copies);
  }
  // No copy at all prints one; the options keep their 0.
  options()->PageNumbers = L"1";
  options()->Copies = 0;
  EXPECT_EQ(PrintToFile(L"nocopies").size(), 1u);
  EXPECT_EQ(options()->Copies, 0);
}

TEST_F(Printing, CollatedDuplexCopiesGetABlankBackAfterEachCopy) {
  t_.portrait->Duplex = dmVertical;
  t_.Run(3);
  options()->Copies = 2;
  const auto sheets = PrintToFile(L"duplex_collated");
  EXPECT_EQ(printed_, (std::vector<int>{1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(sheets.size(), 8u) << "three pages and a blank back side, twice";
  Expect(L"duplex_collated", sheets, {{1}, {2}, {3}, {}, {1}, {2}, {3}, {}});
}

TEST_F(Printing, ScaleSplitAndJoinModes) {
  // An A3 page scaled onto A4.
  TqvxReportPage* a3 = t_.AddSource(L"Page3", 8, 297, 420, poPortrait);
  t_.Run({a3});
  options()->PrintMode = pmScale;
  options()->PrintOnSheet = 9;
  auto sheets = PrintToFile(L"scale");
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].Width, kA4W);
  EXPECT_EQ(sheets[0].Height, kA4H);
  Expect(L"scale", sheets, {{1}});

  // A 420 x 297 page over A4 sheets without overlap on a printer without unprintable margins: two columns, one row,
  // the sheets not turned.
  ASSERT_EQ(qvxPrinters().GetCurrentPrinter()->LeftMargin, 0);
  TqvxReportPage* wide = t_.AddSource(L"Page4", 8, 297, 420, poLandscape);
  t_.Run({wide, wide});
  options()->PrintMode = pmSplit;
  options()->SplicingLine = 0;
  sheets = PrintToFile(L"split");
  EXPECT_EQ(printed_, (std::vector<int>{1, 2}));
  ASSERT_EQ(sheets.size(), 4u);
  for (const TSheet& s : sheets) {
    EXPECT_EQ(s.Width, kA4W);
    EXPECT_FALSE(s.Turned);
  }
  Expect(L"split", sheets, {{1}, {}, {2}, {}});

  // A5 pages joined on A4: the sheet turns to landscape and takes two pages side by side; every page once.
  TqvxReportPage* a5 = t_.AddSource(L"Page5", 11, 148, 210, poPortrait);
  t_.Run(std::vector<TqvxReportPage*>(5, a5));
  options()->PrintMode = pmJoin;
  sheets = PrintToFile(L"join");
  EXPECT_EQ(printed_, (std::vector<int>{1, 2, 3, 4, 5}));
  ASSERT_EQ(sheets.size(), 3u);
  for (const TSheet& s : sheets) EXPECT_TRUE(s.Turned);
  Expect(L"join", sheets, {{1, 2}, {3, 4}, {5}});
  // Two copies without collation: each page twice in a row, still every page.
  options()->Copies = 2;
  options()->Collate = false;
  sheets = PrintToFile(L"join_copies");
  EXPECT_EQ(printed_, (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5}));
  EXPECT_EQ(copies_, (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(sheets.size(), 5u);
  // Collated: each copy on sheets of its own.
  options()->Collate = true;
  sheets = PrintToFile(L"join_collated");
  EXPECT_EQ(printed_, (std::vector<int>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
  EXPECT_EQ(sheets.size(), 6u);
  // A single page is printed too.
  t_.Run({a5});
  options()->Copies = 1;
  sheets = PrintToFile(L"join_single");
  EXPECT_EQ(printed_, (std::vector<int>{1}));
  EXPECT_EQ(sheets.size(), 1u);
}

TEST_F(Printing, AFailedOrCancelledJobAnswersFalseAndSaysWhy) {
  t_.Run(4);
  // An error while a page is drawn: the job ends, the user is told.
  t_.Report()->EngineOptions()->NewSilentMode = simMessageBoxes;
  failAt_ = 2;
  {
    testutil::DialogAnswer box(IDOK);
    PrintToFile(L"failed", false);
    EXPECT_EQ(box.seen, 1);
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_EQ(box.text, L"Sayfa çizilemedi");
  }
  EXPECT_EQ(printed_, (std::vector<int>{1, 2}));
  EXPECT_GE(t_.Report()->Errors()->IndexOf(L"Sayfa çizilemedi"), 0);
  EXPECT_FALSE(qvxPrinters().GetCurrentPrinter()->Printing) << "the job was ended";
  failAt_ = 0;
  t_.Report()->EngineOptions()->NewSilentMode = simSilent;

  // Cancelled after the second page: no more pages, false.
  cancelAt_ = 2;
  PrintToFile(L"cancelled", false);
  EXPECT_EQ(printed_, (std::vector<int>{1, 2}));
  cancelAt_ = 0;

  // A page range that is no range.
  options()->PageNumbers = L"bir-iki";
  PrintToFile(L"badrange", false);
  EXPECT_TRUE(printed_.empty());
  options()->PageNumbers.clear();

  // Afterwards the printer prints again.
  EXPECT_EQ(PrintToFile(L"after_failures").size(), 4u);
}

TEST_F(Printing, ThroughTheQueueToAPdf) {
  const wchar_t* dir = _wgetenv(L"TAVREL_PDF_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "the test script names no folder of cups-pdf";
  t_.Run({t_.portrait, t_.landscape});
  const String title = L"tavrel_queue_" + rtl::IntToStr(GetCurrentProcessId());
  t_.Report()->ReportOptions()->Name = title;
  // cups-pdf names the file after the title (what it adds after it is its own) and writes it after the job has
  // left the program: wait until it is there and complete.
  auto find = [&]() -> std::wstring {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((std::wstring(dir) + L"\\" + title + L"*.pdf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return std::wstring();
    FindClose(h);
    return std::wstring(dir) + L"\\" + fd.cFileName;
  };
  for (std::wstring old = find(); !old.empty(); old = find()) DeleteFileW(old.c_str());
  options()->PrnOutFileName.clear();
  ASSERT_TRUE(t_.Report()->Print()) << rtl::StringToUTF8(t_.Report()->Errors()->Text());
  std::string bytes;
  std::wstring pdf;
  ASSERT_TRUE(testutil::WaitUntil(
      [&] {
        pdf = find();
        bytes = pdf.empty() ? std::string() : ReadFile(pdf);
        return bytes.size() > 100 && bytes.find("%%EOF", bytes.size() - 64) != std::string::npos;
      },
      90000))
      << "no complete " << rtl::StringToUTF8(title) << "*.pdf";
  EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
  ASSERT_TRUE(CopyFileW(pdf.c_str(), (OutFolder() + L"\\queue.pdf").c_str(), FALSE));
  DeleteFileW(pdf.c_str());
  std::ofstream((OutFolder() + L"\\manifest.txt").c_str(), std::ios::app)
      << "queue.pdf|2|595x842=1,595x842=2\n";
}

}  // namespace
