// Hands the report model what this layer makes for every report: its calculator (and, once it exists, its
// engine). Linked into every program that uses the layer, so a report finds it without being told.
#include "report/engine/qvxExpressions.h"
#include "report/model/qvxLinks.h"
#include "report/model/qvxReport.h"

namespace {

// The run of a report (showing, preparing, printing through the preview) is built on the engine, which does
// not exist yet; until then these answer with the error a missing layer gives.
[[noreturn]] void RunNotBuilt() { throw EqvxNotLinked(L"The report engine is not built into this program yet"); }

class TqvxEngineLayer : public TqvxEngineLink {
 public:
  TqvxCustomEngine* CreateEngine(TqvxReport*) override { return nullptr; }
  TqvxCustomCalculator* CreateCalculator(TqvxReport* report) override { return new TqvxCalculator(report); }
  bool PrepareReport(TqvxReport*, bool) override { RunNotBuilt(); }
  void ShowReport(TqvxReport*, bool) override { RunNotBuilt(); }
  void ShowPreparedReport(TqvxReport*) override { RunNotBuilt(); }
  void OnTimer(TqvxReport*) override { RunNotBuilt(); }
  bool PrepareScript(TqvxReport*, TqvxReport*) override { RunNotBuilt(); }
  void AddFunction(TqvxReport*, const rtl::String&, const rtl::String&, const rtl::String&) override { RunNotBuilt(); }
};

const bool linked = [] {
  static TqvxEngineLayer layer;
  qvxSetEngineLink(&layer);
  return true;
}();

}  // namespace
