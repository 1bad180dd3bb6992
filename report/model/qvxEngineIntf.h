#pragma once
// The engine as the report and the script bindings see it: the position on the page being built, the pass, the
// line numbers and dates that system variables report, and the operations that place bands. The engine itself
// (report/engine) implements every abstract operation; a report creates one through the engine link.
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/events.h"
#include "report/model/qvxClass.h"

class TqvxReport;
class TqvxCustomPreviewPages;
class TqvxBand;
class TqvxPage;

class TqvxCustomEngine : public rtl::TPersistent {
  VCL_CLASS(TqvxCustomEngine, rtl::TPersistent)
 public:
  explicit TqvxCustomEngine(TqvxReport* report) : FReport(report) {}

  // The printable height of the current page (the base: PageHeight).
  virtual Extended GetPageHeight() { return PageHeight; }
  virtual void EndPage() = 0;
  // Gives up every keep-together in progress (the base keeps none).
  virtual void BreakAllKeep() {}
  virtual void NewColumn() = 0;
  virtual void NewPage() = 0;
  virtual void ShowBand(TqvxBand* band) = 0;
  virtual void ShowBand(const vcl::TClassInfo* bandClass) = 0;
  virtual Extended HeaderHeight() = 0;
  virtual Extended FooterHeight() = 0;
  virtual Extended FreeSpace() = 0;
  // The value an aggregate (SUM, AVG, MIN, MAX, COUNT) collected while band printed.
  virtual rtl::Variant GetAggregateValue(const rtl::String& name, const rtl::String& expression, TqvxBand* band,
                                         rtl::Integer flags) = 0;
  // Builds the prepared pages: every page of the report, or only page when it is given.
  virtual bool Run(bool runDialogs, bool clearLast = true, TqvxPage* page = nullptr) = 0;

  // Shows the report object of that name through ShowBand (nothing for a name that is not a band).
  void ShowBandByName(const rtl::String& name);
  // Asks the run to stop (the report's Terminated).
  void StopReport();
  // The report's EngineOptions.DoublePass.
  bool DoublePass() const;

  TqvxReport* Report() const { return FReport; }
  TqvxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TqvxCustomPreviewPages* value) { FPreviewPages = value; }

  rtl::Integer CurColumn = 0;
  rtl::Integer CurVColumn = 0;
  rtl::Integer CurLine = 0, CurLineThrough = 0;
  Extended CurX = 0, CurY = 0;
  bool FinalPass = false;
  // Report objects that hear of each printed data band (not owned).
  std::vector<TqvxComponent*> NotifyList;
  Extended PageHeight = 0, PageWidth = 0;
  bool Running = false;
  rtl::TDateTime StartDate = 0, StartTime = 0;
  // The page count of the first pass (0 in a single-pass run).
  rtl::Integer TotalPages = 0;
  vcl::TNotifyEvent OnRunDialog;
  bool SecondScriptCall = false;

 protected:
  TqvxReport* FReport;
  TqvxCustomPreviewPages* FPreviewPages = nullptr;
};
