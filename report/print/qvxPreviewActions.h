#pragma once
// What page drawing, the mouse over pages and printing ask of the preview side (report/preview), which is built on
// this layer and so cannot be called by name from here:
//   - the preview control of a report implements TqvxPreviewActions beside TqvxCustomPreview; the mouse handling
//     finds it through the report's Preview and moves pages, shows hints and opens tabs through it;
//   - the preview side registers the print dialog (qvxSetPrintDialog); printing with ShowDialog on needs it;
//   - hyperlinks to addresses open through qvxOpenURL, which a program may replace (a test does, to see the
//     address without starting a browser).
#include <functional>

#include "platform/rtl/types.h"
#include "report/model/qvxLinks.h"

class TqvxReport;
class TqvxPage;
class TqvxHyperlink;

class TqvxPreviewActions {
 public:
  virtual ~TqvxPreviewActions() = default;
  // Shows page (1-based) with top (report units) at the top of the view.
  virtual void GotoPage(rtl::Integer page, rtl::Integer top) = 0;
  // The status or hint text while the mouse is over an object (report hints): shows hint (the short part) at
  // (x, y), or hides it when show is false.
  virtual void ShowReportHint(const rtl::String& hint, bool show, int x, int y) = 0;
  // Repaints the page area.
  virtual void InvalidateWorkspace() = 0;
  // Switches to the tab named name; false when there is none.
  virtual bool SwitchToTab(const rtl::String& name) = 0;
  // Adds a tab showing the prepared pages of report (which the preview owns from then on when it owns the report).
  virtual void AddTab(TqvxReport* report, const rtl::String& name, const rtl::String& caption) = 0;
  // A page of the shown report prepared alone into pages of its own, in a new tab: the preview keeps the pages
  // it shows now for their tab.
  virtual void AddDetailPageTab(TqvxReport* report, TqvxPage* page, const rtl::String& name,
                                const rtl::String& caption) = 0;
};

// The print dialog: shows the report's print options for editing, with duplex the report's duplex mode in and out;
// true when closed with OK. The current printer's FileName is set when the user chose a file.
using TqvxPrintDialogFunc = std::function<bool(TqvxReport* report, rtl::Integer& duplex)>;
void qvxSetPrintDialog(TqvxPrintDialogFunc dialog);
// Shows the registered dialog; raises EqvxNotLinked naming report/preview when none is registered.
bool qvxShowPrintDialog(TqvxReport* report, rtl::Integer& duplex);

// Opens a hyperlink's address (by default the shell's "open" of the address).
using TqvxOpenURLFunc = std::function<void(const rtl::String& url)>;
void qvxSetOpenURL(TqvxOpenURLFunc open);
void qvxOpenURL(const rtl::String& url);
