// Hands the report model what this layer makes for every report: its calculator and its engine, and the run.
// Linked into every program that uses the layer, so a report finds it without being told.
#include "report/engine/qvxEngine.h"
#include "report/engine/qvxExpressions.h"
#include "report/engine/qvxReportRun.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxReport.h"

namespace {

class TqvxEngineLayer : public TqvxEngineLink {
 public:
  TqvxCustomEngine* CreateEngine(TqvxReport* report) override { return new TqvxEngine(report); }
  TqvxCustomCalculator* CreateCalculator(TqvxReport* report) override { return new TqvxCalculator(report); }
  bool PrepareReport(TqvxReport* report, bool clearLastReport) override {
    return qvxPrepareReport(report, clearLastReport);
  }
  void ShowReport(TqvxReport* report, bool clearLastReport) override { qvxShowReport(report, clearLastReport); }
  void ShowPreparedReport(TqvxReport* report) override { qvxShowPreparedReport(report); }
  void OnTimer(TqvxReport* report) override { qvxReportTimer(report); }
  bool PrepareScript(TqvxReport* report, TqvxReport* activeReport) override {
    return qvxPrepareScript(report, activeReport);
  }
  void AddFunction(TqvxReport* report, const rtl::String& funcName, const rtl::String& category,
                   const rtl::String& description) override {
    qvxAddFunction(report, funcName, category, description);
  }
};

const bool linked = [] {
  static TqvxEngineLayer layer;
  qvxSetEngineLink(&layer);
  return true;
}();

}  // namespace
