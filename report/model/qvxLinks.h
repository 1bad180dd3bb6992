#pragma once
// What a report needs of the layers built on the model: the engine and the values of expressions
// (report/engine), the prepared-pages store (report/pages), the printer list (report/print) and the preview
// windows and dialogs (report/preview). Each layer implements its link class in full (the compiler checks that
// nothing is left out) and registers one instance at start-up; a report that needs a layer which is not linked
// into the program raises EqvxNotLinked naming it, rather than quietly doing nothing.
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

using Extended = long double;

class TqvxReport;
class TqvxCustomEngine;
class TqvxCustomCalculator;
class TqvxCustomPreviewPages;
class TqvxCustomPreviewForm;
class TqvxCustomProgress;
class TqvxDataSet;
class TwzScript;
enum TPrinterOrientation : int;
enum TqvxInheriteMode : int;

class EqvxNotLinked : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"EqvxNotLinked"; }
};

// The values of expressions: the report's calculator (one per report, created with it).
class TqvxCustomCalculator {
 public:
  virtual ~TqvxCustomCalculator() = default;
  // The value of expr: system values, dataset fields and variables directly, anything else compiled once into a
  // function of the report's script language. script nullptr: the report's script; (TwzScript*)1: the report's
  // script in script-call mode. Errors go to the report's Errors and raise.
  virtual rtl::Variant Calc(const rtl::String& expr, TwzScript* script) = 0;
  // Calc(expr, nullptr) put into value, which a dataset field's value may fill in place.
  virtual void CalcInto(const rtl::String& expr, rtl::Variant& value) { value = Calc(expr, nullptr); }
  // The fast path without compiling; False (value Null) when nothing answers expr.
  virtual bool DoGetValue(const rtl::String& expr, rtl::Variant& value) = 0;
  // Forgets every compiled expression (each preparation starts afresh).
  virtual void Clear() = 0;
  virtual bool CaseSensitive() const = 0;
  virtual void SetCaseSensitive(bool value) = 0;
  // The handlers of the script functions Get, Set and the macro functions IIF, SUM, AVG, MIN, MAX, COUNT.
  virtual rtl::Variant GetScriptValue(rtl::TObject* instance, const rtl::String& methodName, rtl::Variant& params) = 0;
  virtual rtl::Variant SetScriptValue(rtl::TObject* instance, const rtl::String& methodName, rtl::Variant& params) = 0;
  virtual rtl::Variant CallMethod(rtl::TObject* instance, const rtl::String& methodName, rtl::Variant& params) = 0;
};

// report/engine: the engine, the calculator and the run of a report.
class TqvxEngineLink {
 public:
  virtual ~TqvxEngineLink() = default;
  virtual TqvxCustomEngine* CreateEngine(TqvxReport* report) = 0;
  virtual TqvxCustomCalculator* CreateCalculator(TqvxReport* report) = 0;
  virtual bool PrepareReport(TqvxReport* report, bool clearLastReport) = 0;
  virtual void ShowReport(TqvxReport* report, bool clearLastReport) = 0;
  virtual void ShowPreparedReport(TqvxReport* report) = 0;
  // The report's timer fired: the preparation starts.
  virtual void OnTimer(TqvxReport* report) = 0;
  // Registers the report's names on its script program (activeReport nullptr: the report itself).
  virtual bool PrepareScript(TqvxReport* report, TqvxReport* activeReport) = 0;
  virtual void AddFunction(TqvxReport* report, const rtl::String& funcName, const rtl::String& category,
                           const rtl::String& description) = 0;
};

// report/pages: the prepared-pages store of a report.
class TqvxPagesLink {
 public:
  virtual ~TqvxPagesLink() = default;
  virtual TqvxCustomPreviewPages* CreatePreviewPages(TqvxReport* report) = 0;
};

// report/print: the installed printers.
class TqvxPrintLink {
 public:
  virtual ~TqvxPrintLink() = default;
  // The position of the installed printer named name (ignoring case), -1 when none.
  virtual rtl::Integer PrinterIndexOf(const rtl::String& name) = 0;
  // Makes the printer at index current (and initialises it) when index is valid.
  virtual void SetPrinterIndex(rtl::Integer index) = 0;
  // The current printer's default paper code, size (mm) and orientation.
  virtual void GetPrinterDefaults(rtl::Integer& paperSize, Extended& width, Extended& height,
                                  TPrinterOrientation& orientation) = 0;
};

// report/preview: the windows and dialogs a report shows.
class TqvxPreviewLink {
 public:
  virtual ~TqvxPreviewLink() = default;
  // A preview window owned by the application object, with its preview control.
  virtual TqvxCustomPreviewForm* CreatePreviewForm(TqvxReport* report) = 0;
  // A progress window without owner.
  virtual TqvxCustomProgress* CreateProgress() = 0;
  // The modal password dialog: True and the typed text when the user pressed OK.
  virtual bool AskPassword(rtl::String& password) = 0;
  // The dialog for objects of the same name in a report and the template it inherits from: True with imDelete or
  // imRename when the user pressed OK, False when cancelled.
  virtual bool AskInheritMode(TqvxInheriteMode& mode) = 0;
};

// Registration (each layer once at start-up; a test may put its own in and take it out again with nullptr).
void qvxSetEngineLink(TqvxEngineLink* link);
void qvxSetPagesLink(TqvxPagesLink* link);
void qvxSetPrintLink(TqvxPrintLink* link);
void qvxSetPreviewLink(TqvxPreviewLink* link);
// The registered link, or nullptr.
TqvxEngineLink* qvxFindEngineLink();
TqvxPagesLink* qvxFindPagesLink();
TqvxPrintLink* qvxFindPrintLink();
TqvxPreviewLink* qvxFindPreviewLink();
// The registered link; raises EqvxNotLinked when its layer is not part of the program.
TqvxEngineLink& qvxEngineLink();
TqvxPagesLink& qvxPagesLink();
TqvxPrintLink& qvxPrintLink();
TqvxPreviewLink& qvxPreviewLink();
// The layers whose link is not registered ("report/engine", "report/pages", "report/print", "report/preview"):
// empty in a program that links the whole report library.
std::vector<rtl::String> qvxMissingLinks();
