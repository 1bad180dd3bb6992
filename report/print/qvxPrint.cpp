// Printing the prepared pages of a report on the current printer, by the report's print options: page selection,
// copies and collation, reverse order, odd or even pages, bins, duplex and the four modes (one page per sheet,
// each page scaled to a sheet, a large page split over several sheets, several pages joined on one sheet).
//
// A job either prints or tells why not: a printer that refuses the job or a page, an error while drawing and a
// cancelled dialog or job answer false, and the reason goes to the report's errors and its error handler (an
// error box unless the report is silent).
#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/application.h"
#include "report/model/qvxDsgnIntf.h"
#include "report/model/qvxEngineIntf.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "report/print/qvxPageOutput.h"
#include "report/print/qvxPreviewActions.h"
#include "report/print/qvxPrinters.h"

using rtl::Integer;
using rtl::String;

namespace {

int R(Extended x) { return static_cast<int>(std::nearbyint(x)); }

// How many sheets of length s a length x takes: a length that passes a whole number of sheets by less than 11 mm
// takes no extra sheet. Never less than one: a page shorter than 11 mm still gets its sheet.
Integer SplitCount(Extended x, Extended s) {
  if (s <= 0) return 1;
  const Extended q = x / s;
  const Extended whole = std::trunc(q);
  const Integer n = std::fabs(whole * s - x) < 11 ? static_cast<Integer>(std::nearbyint(q))
                                                  : static_cast<Integer>(whole) + 1;
  return std::max<Integer>(n, 1);
}

struct TSplit {
  Integer Columns = 1, Rows = 1;
  bool Turned = false;
};

// Sheets of c x d for a page of a x b; turned (the sheet in the other orientation) only when that takes fewer.
TSplit SplitPage(Extended a, Extended b, Extended c, Extended d) {
  TSplit s{SplitCount(a, c), SplitCount(b, d), false};
  const TSplit t{SplitCount(a, d), SplitCount(b, c), true};
  if (t.Columns * t.Rows < s.Columns * s.Rows) s = t;
  return s;
}

// How many pages of c x d fit side by side and one under another on a sheet of a x b (at least one each way), the
// sheet turned when that holds more.
TSplit JoinPages(Extended a, Extended b, Extended c, Extended d) {
  auto fit = [](Extended sheet, Extended page) {
    if (page <= 0) return Integer(1);
    // Pages come out of the same paper sizes as sheets: a hair's difference of rounding still fits.
    return std::max<Integer>(static_cast<Integer>(std::floor(sheet / page + 0.001L)), 1);
  };
  TSplit s{fit(a, c), fit(b, d), false};
  const TSplit t{fit(b, c), fit(a, d), true};
  if (t.Columns * t.Rows > s.Columns * s.Rows) s = t;
  return s;
}

class TPrintJob {
 public:
  TPrintJob(TqvxPreviewPages& pages, TqvxCustomPrinter* printer)
      : pages_(pages), report_(pages.Report()), options_(report_->PrintOptions()), printer_(printer) {}

  // False when the job was cancelled.
  bool Run(Integer dialogDuplex) {
    dialogDuplex_ = dialogDuplex;
    report_->SetTerminated(false);
    report_->InternalOnProgressStart(ptPrinting);
    try {
      printer_->Title = report_->ReportOptions()->Name.empty() ? report_->FileName : report_->ReportOptions()->Name;
      if (options_->Copies < 1) options_->Copies = 1;
      docBegun_ = false;
      lastDuplex_ = 0;
      oddSide_ = false;
      if (options_->Collate) {
        for (Integer copy = 1; copy <= options_->Copies; ++copy) {
          currentCopy_ = copy;
          if (!PrintByMode()) break;
          if (oddSide_ && docBegun_) {
            oddSide_ = false;
            printer_->BeginPage();
            printer_->EndPage();
          }
          if (report_->Terminated()) break;
        }
      } else {
        currentCopy_ = 1;
        PrintByMode();
      }
      if (docBegun_ && !cancelled_) printer_->EndDoc();
      docBegun_ = false;
    } catch (...) {
      if (printer_->Printing) {
        try {
          printer_->Abort();
        } catch (...) {
        }
      }
      report_->InternalOnProgressStop(ptPrinting);
      throw;
    }
    report_->InternalOnProgressStop(ptPrinting);
    return !cancelled_ && !report_->Terminated();
  }

  rtl::TStringList PageList;
  Extended SheetWidth = 0, SheetHeight = 0;
  Integer Splicing = 0;

 private:
  bool PrintByMode() {
    switch (options_->PrintMode) {
      case pmSplit:
        return PrintPages(true);
      case pmJoin:
        return PrintJoinedPages();
      default:
        return PrintPages(false);
    }
  }

  Integer PageCount() const { return PageList.Count() > 0 ? PageList.Count() : pages_.GetCount(); }

  Integer GetPageIndex(Integer position) const {
    const Integer count = pages_.GetCount();
    if (PageList.Count() > 0 && position < PageList.Count()) {
      Integer n = 0;
      if (!rtl::TryStrToInt(PageList[position], n)) return -1;
      return n - 1 >= 0 && n - 1 < count ? n - 1 : -1;
    }
    return position >= 0 && position < count ? position : -1;
  }

  // The pages to print in their order (odd or even, reversed), for the modes that place pages themselves.
  std::vector<Integer> Sequence() const {
    std::vector<Integer> list;
    const Integer n = PageCount();
    for (Integer k = 0; k < n; ++k) {
      const Integer p = GetPageIndex(options_->Reverse ? n - 1 - k : k);
      if (p < 0 || !Selected(p)) continue;
      list.push_back(p);
    }
    return list;
  }

  bool Selected(Integer p) const {
    if (options_->PrintPages == ppOdd && (p + 1) % 2 == 0) return false;
    if (options_->PrintPages == ppEven && (p + 1) % 2 == 1) return false;
    return true;
  }

  void ProcessMessages() {
    if (!report_->EngineOptions()->EnableThreadSafe && vcl::Application) vcl::Application->ProcessMessages();
  }

  // Ends the job when the report was terminated; false then.
  bool CheckTerminated() {
    if (!report_->Terminated()) return true;
    if (docBegun_) printer_->Abort();
    docBegun_ = false;
    cancelled_ = true;
    return false;
  }

  bool PrintPages(bool split) {
    printed_ = 0;
    const Integer n = PageCount();
    for (Integer k = 0; k < n; ++k) {
      const Integer position = options_->Reverse ? n - 1 - k : k;
      if (!(split ? PrintSplittedPage(position) : PrintPage(position))) return false;
    }
    return true;
  }

  Integer BinFor(TqvxReportPage* page) {
    if (std::find(binsUsed_.begin(), binsUsed_.end(), page->Bin) == binsUsed_.end()) {
      binsUsed_.push_back(page->Bin);
      return page->Bin;
    }
    return page->BinOtherPages;
  }

  Integer DuplexFor(TqvxReportPage* page) const {
    return dialogDuplex_ != 0 ? dialogDuplex_ : static_cast<Integer>(page->Duplex);
  }

  // The page of position after the checks every mode shares; nullptr to skip it. Sets copies and CopyNo.
  TqvxReportPage* TakePage(Integer position, Integer& p, Integer& copies, bool& go) {
    go = true;
    p = GetPageIndex(position);
    if (p < 0 || p >= pages_.GetCount()) return nullptr;
    if (!Selected(p)) return nullptr;
    if (!CheckTerminated()) {
      go = false;
      return nullptr;
    }
    TqvxReportPage* page = pages_.GetPage(p);
    if (!page) return nullptr;
    if (options_->Collate) {
      copies = 1;
      pages_.CopyNo = currentCopy_;
    } else {
      copies = options_->Copies;
      pages_.CopyNo = 1;
    }
    if (report_->OnPrintPage.Assigned()) report_->OnPrintPage(page, pages_.CopyNo);
    return page;
  }

  bool PrintPage(Integer position) {
    Integer p = 0, copies = 1;
    bool go = true;
    TqvxReportPage* page = TakePage(position, p, copies, go);
    if (!page) return go;

    const Integer bin = BinFor(page);
    const Integer duplex = DuplexFor(page);
    if (duplex != lastDuplex_) oddSide_ = false;
    if (duplex == dmVertical || duplex == dmHorizontal) oddSide_ = !oddSide_;

    Extended kx = 1, ky = 1;
    const Integer width = R(page->PaperWidth()), height = R(page->PaperHeight());
    if (options_->PrintMode == pmScale) {
      if (!docBegun_ || bin != lastBin_ || page->Orientation() != lastOrientation_ || duplex != lastDuplex_) {
        printer_->SetPrintParams(SheetCode(), SheetWidth, SheetHeight, page->Orientation(), bin, duplex, copies);
        SheetWidth = printer_->PaperWidth;
        SheetHeight = printer_->PaperHeight;
      }
      kx = page->PaperWidth() > 0 ? SheetWidth / page->PaperWidth() : 1;
      ky = page->PaperHeight() > 0 ? SheetHeight / page->PaperHeight() : 1;
      pages_.PrintScale = std::min(kx, ky);
    } else if (!docBegun_ || page->PaperSize() != lastPaper_ || width != lastWidth_ || height != lastHeight_ ||
               bin != lastBin_ || page->Orientation() != lastOrientation_ || duplex != lastDuplex_) {
      printer_->SetPrintParams(page->PaperSize(), page->PaperWidth(), page->PaperHeight(), page->Orientation(), bin,
                               duplex, copies);
    }

    if (!docBegun_) {
      printer_->BeginDoc();
      docBegun_ = true;
    }
    printer_->BeginPage();
    const Extended dpiX = printer_->DPI.x, dpiY = printer_->DPI.y;
    qvxDrawPage(pages_, p, printer_->Canvas.get(), dpiX / 96 * kx, dpiY / 96 * ky,
                -printer_->LeftMargin * dpiX / 25.4L, -printer_->TopMargin * dpiY / 25.4L);
    report_->InternalOnProgress(ptPrinting, p + 1);
    printer_->EndPage();
    ProcessMessages();

    ++printed_;
    lastPaper_ = page->PaperSize();
    lastWidth_ = width;
    lastHeight_ = height;
    lastBin_ = bin;
    lastOrientation_ = page->Orientation();
    lastDuplex_ = duplex;
    pages_.ClearPageCache();
    return true;
  }

  Integer SheetCode() const { return options_->PrintOnSheet; }

  bool PrintSplittedPage(Integer position) {
    Integer p = 0, copies = 1;
    bool go = true;
    TqvxReportPage* page = TakePage(position, p, copies, go);
    if (!page) return go;
    const Integer bin = p == 0 ? page->Bin : page->BinOtherPages;
    const Extended pageWidth = page->PaperWidth(), pageHeight = page->PaperHeight();

    TSplit split = SplitPage(pageWidth, pageHeight, SheetWidth, SheetHeight);
    Extended overlapH = split.Columns > 1 ? Splicing + printer_->TopMargin + printer_->BottomMargin : 0;
    Extended overlapV = split.Rows > 1 ? Splicing + printer_->LeftMargin + printer_->RightMargin : 0;
    if (split.Turned) std::swap(overlapH, overlapV);
    split = SplitPage(pageWidth, pageHeight, SheetWidth - overlapH, SheetHeight - overlapV);

    const TPrinterOrientation orientation = split.Turned ? poLandscape : poPortrait;
    const Integer duplex = DuplexFor(page);
    if (!docBegun_ || orientation != lastOrientation_)
      printer_->SetPrintParams(SheetCode(), SheetWidth, SheetHeight, orientation, bin, duplex, copies);
    if (!docBegun_) {
      printer_->BeginDoc();
      docBegun_ = true;
    }

    const Extended dpiX = printer_->DPI.x, dpiY = printer_->DPI.y;
    const Extended L = printer_->LeftMargin, T = printer_->TopMargin;
    const Extended Rm = printer_->RightMargin, B = printer_->BottomMargin;
    const Extended wpx = dpiX / 25.4L * (split.Turned ? SheetHeight : SheetWidth);
    const Extended hpx = dpiY / 25.4L * (split.Turned ? SheetWidth : SheetHeight);
    Extended offsetY = -T * dpiY / 25.4L, overlapY = 0;
    for (Integer row = 0; row < split.Rows; ++row) {
      Extended offsetX = -L * dpiX / 25.4L, overlapX = 0;
      for (Integer column = 0; column < split.Columns; ++column) {
        printer_->BeginPage();
        HDC dc = printer_->Canvas->Handle();
        const int state = SaveDC(dc);
        HRGN clip = CreateRectRgn(R(dpiX * L / 25.4L + overlapX), R(dpiY * T / 25.4L + overlapY),
                                  R(pageWidth * qv01cm * dpiX / 96 - dpiX * Rm / 25.4L) - 1,
                                  R(pageHeight * qv01cm * dpiY / 96 - dpiY * B / 25.4L) - 1);
        try {
          SelectClipRgn(dc, clip);
          SetMetaRgn(dc);
          qvxDrawPage(pages_, p, printer_->Canvas.get(), dpiX / 96, dpiY / 96, offsetX, offsetY);
        } catch (...) {
          printer_->Canvas->Refresh();
          RestoreDC(dc, state);
          DeleteObject(clip);
          throw;
        }
        printer_->Canvas->Refresh();
        RestoreDC(dc, state);
        DeleteObject(clip);
        printer_->EndPage();
        overlapX = dpiX * Splicing / 25.4L;
        offsetX -= wpx - dpiX * L / 25.4L - dpiX * Rm / 25.4L - overlapX;
      }
      overlapY = dpiY * Splicing / 25.4L;
      offsetY -= hpx - dpiY * T / 25.4L - dpiY * B / 25.4L - overlapY;
    }
    report_->InternalOnProgress(ptPrinting, p + 1);
    ProcessMessages();
    ++printed_;
    lastOrientation_ = orientation;
    pages_.ClearPageCache();
    return true;
  }

  // Several pages per sheet. Every page selected is placed exactly once per copy: without collation each page
  // `Copies` times in a row, with collation each pass of the copy loop once, starting on a new sheet.
  bool PrintJoinedPages() {
    printed_ = 0;
    const std::vector<Integer> sequence = Sequence();
    if (sequence.empty()) return true;
    TqvxReportPage* first = pages_.GetPage(sequence.front());
    if (!first) return true;
    const Extended cellWidth = first->PaperWidth(), cellHeight = first->PaperHeight();
    const TSplit fit = JoinPages(SheetWidth, SheetHeight, cellWidth, cellHeight);
    const Integer duplex = DuplexFor(first);
    const Integer bin = first->Bin;
    if (!docBegun_) {
      printer_->SetPrintParams(SheetCode(), SheetWidth, SheetHeight, fit.Turned ? poLandscape : poPortrait, bin,
                               duplex, 1);
      printer_->BeginDoc();
      docBegun_ = true;
    }
    const Integer repeat = options_->Collate ? 1 : options_->Copies;
    size_t next = 0;
    Integer placedOfPage = 0;
    const Extended dpiX = printer_->DPI.x, dpiY = printer_->DPI.y;
    while (next < sequence.size()) {
      if (!CheckTerminated()) return false;
      printer_->BeginPage();
      Integer last = sequence[next];
      for (Integer row = 0; row < fit.Rows && next < sequence.size(); ++row)
        for (Integer column = 0; column < fit.Columns && next < sequence.size(); ++column) {
          const Integer p = sequence[next];
          pages_.CopyNo = options_->Collate ? currentCopy_ : placedOfPage + 1;
          pages_.ClearPageCache();
          if (TqvxReportPage* page = pages_.GetPage(p)) {
            if (report_->OnPrintPage.Assigned()) report_->OnPrintPage(page, pages_.CopyNo);
            qvxDrawPage(pages_, p, printer_->Canvas.get(), dpiX / 96, dpiY / 96,
                        -printer_->LeftMargin * dpiX / 25.4L + column * dpiX / 25.4L * cellWidth,
                        -printer_->TopMargin * dpiY / 25.4L + row * dpiY / 25.4L * cellHeight);
          }
          last = p;
          if (++placedOfPage >= repeat) {
            placedOfPage = 0;
            ++next;
          }
        }
      printer_->EndPage();
      report_->InternalOnProgress(ptPrinting, last);
      ProcessMessages();
      ++printed_;
      pages_.ClearPageCache();
    }
    return true;
  }

  TqvxPreviewPages& pages_;
  TqvxReport* report_;
  TqvxPrintOptions* options_;
  TqvxCustomPrinter* printer_;
  Integer dialogDuplex_ = 0;
  std::vector<Integer> binsUsed_;
  Integer currentCopy_ = 1;
  bool docBegun_ = false;
  bool cancelled_ = false;
  Integer printed_ = 0;
  Integer lastPaper_ = 0, lastWidth_ = 0, lastHeight_ = 0, lastBin_ = 0, lastDuplex_ = 0;
  TPrinterOrientation lastOrientation_ = poPortrait;
  bool oddSide_ = false;
};

// The print options of the report as they were before the job: the dialog's changes and the corrections of the
// job last for one job only.
class TSavedOptions {
 public:
  explicit TSavedOptions(TqvxPrintOptions* options) : options_(options) {
    saved_.Assign(options);
    CopyRest(*options, saved_);
  }
  ~TSavedOptions() {
    options_->Assign(&saved_);
    CopyRest(saved_, *options_);
  }
  TSavedOptions(const TSavedOptions&) = delete;
  TSavedOptions& operator=(const TSavedOptions&) = delete;

 private:
  static void CopyRest(const TqvxPrintOptions& from, TqvxPrintOptions& to) {
    to.PagesOnSheet = from.PagesOnSheet;
    to.SwapPageSize = from.SwapPageSize;
    to.PrnOutFileName = from.PrnOutFileName;
    to.Duplex = from.Duplex;
  }
  TqvxPrintOptions* options_;
  TqvxPrintOptions saved_;
};

}  // namespace

bool qvxPrintPages(TqvxPreviewPages& pages) {
  TqvxReport* report = pages.Report();
  if (!report) return false;
  if (!qvxPrinters().HasPhysicalPrinters()) {
    qvxErrorMsg(qvxResources().Get(L"clNoPrinters"));
    return false;
  }
  pages.PrintScale = 1;
  TqvxPrintOptions* options = report->PrintOptions();

  if (report->DotMatrixReport && qvxDotMatrixExport) {
    report->SelectPrinter();
    qvxDotMatrixExport->ShowDialog = options->ShowDialog;
    qvxDotMatrixExport->PageNumbers = options->PageNumbers;
    return qvxExportPages(pages, qvxDotMatrixExport);
  }

  String failure;
  bool result = false;
  TqvxCustomPrinter* printer = nullptr;
  {
    TSavedOptions saved(options);
    Integer dialogDuplex = options->Duplex;
    report->SelectPrinter();
    printer = qvxPrinters().GetCurrentPrinter();
    if (options->ShowDialog) {
      if (!qvxShowPrintDialog(report, dialogDuplex)) {
        pages.CopyNo = 0;
        return false;
      }
      options->Duplex = static_cast<TqvxDuplexMode>(dialogDuplex);
      printer = qvxPrinters().GetCurrentPrinter();
    }
    if (!printer) {
      qvxErrorMsg(qvxResources().Get(L"clNoPrinters"));
      return false;
    }
    // The file the dialog chose wins over the one the options name; with neither the job goes to the printer.
    if (printer->FileName.empty()) printer->FileName = options->PrnOutFileName;

    try {
      TPrintJob job(pages, printer);
      if (options->PrintMode != pmDefault) {
        // No sheet named: the printer's current paper.
        if (options->PrintOnSheet == qvxCustomPaper || options->PrintOnSheet <= 0)
          printer->SetViewParams(qvxCustomPaper, printer->PaperWidth, printer->PaperHeight, poPortrait);
        else
          printer->SetViewParams(options->PrintOnSheet, 0, 0, poPortrait);
        job.SheetWidth = printer->PaperWidth;
        job.SheetHeight = printer->PaperHeight;
        job.Splicing = options->SplicingLine;
      }
      if (report->OnPrintReport.Assigned()) report->OnPrintReport(report);
      report->DoNotifyEvent(report, report->OnReportPrint);
      if (TqvxCustomPreview* preview = report->Preview()) {
        preview->Lock();
        preview->Invalidate();
      }
      if (printer->Initialized) {
        qvxParsePageNumbers(options->PageNumbers, job.PageList, pages.GetCount());
        pages.ClearPageCache();
        result = job.Run(dialogDuplex);
      } else {
        failure = L"Printer selected is not valid";
      }
    } catch (const rtl::Exception& e) {
      failure = e.Message();
    } catch (const std::exception& e) {
      failure = rtl::UTF8ToString(e.what());
    }
    try {
      if (report->OnAfterPrintReport.Assigned()) report->OnAfterPrintReport(report);
    } catch (const rtl::Exception& e) {
      if (failure.empty()) failure = e.Message();
    }
    pages.CopyNo = 0;
    pages.ClearPageCache();
    // A file chosen for this job is not the target of the next one.
    printer->FileName.clear();
  }
  if (!failure.empty()) {
    report->Errors()->Add(failure);
    qvxCommonErrorHandler(report, failure);
    return false;
  }
  return result;
}
