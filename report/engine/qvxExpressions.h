#pragma once
// The values a report prints: one calculator per report. Plain references (system values, dataset fields written
// alias."field", report and global variables, hook values) are answered directly; any other expression is
// compiled once into a small function of the report's script language, kept by the expression cache for the rest
// of the preparation under the expression's text.
#include <memory>
#include <set>
#include <unordered_map>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "report/model/qvxLinks.h"

class TqvxDataSet;
class TqvxReport;
class TwzScript;

// Compiled expressions, keyed by their text (ignoring case unless CaseSensitive).
class TqvxExpressionCache : public rtl::TObject {
 public:
  // mainScript: the report's script program, the scope the functions see.
  explicit TqvxExpressionCache(TwzScript* mainScript);
  ~TqvxExpressionCache() override;
  rtl::String ClassName() const override { return L"TqvxExpressionCache"; }

  // Forgets every compiled function.
  void Clear();
  // The value of expression, compiled on first use as function "qv3f<n>" in ScriptLanguage and run with script as
  // its parent scope. Failures do not raise: errorMsg tells, and the result is Null (a failed compile) or what
  // the run left.
  rtl::Variant Calc(const rtl::String& expression, rtl::String& errorMsg, TwzScript* script);

  bool CaseSensitive() const;
  void SetCaseSensitive(bool value);
  const rtl::String& ScriptLanguage() const { return FScriptLanguage; }
  void SetScriptLanguage(const rtl::String& value) { FScriptLanguage = value; }
  // How many functions are compiled.
  int Count() const { return FExpressions->Count(); }
  TwzScript* Script() const { return FScript.get(); }

 private:
  std::unique_ptr<rtl::TStringList> FExpressions;
  TwzScript* FMainScript;
  std::unique_ptr<TwzScript> FScript;
  rtl::String FScriptLanguage = L"ZuvizaVuruze";
};

class TqvxCalculator : public TqvxCustomCalculator {
 public:
  explicit TqvxCalculator(TqvxReport* report);
  ~TqvxCalculator() override;

  rtl::Variant Calc(const rtl::String& expr, TwzScript* script) override;
  void CalcInto(const rtl::String& expr, rtl::Variant& value) override;
  bool DoGetValue(const rtl::String& expr, rtl::Variant& value) override;
  void Clear() override;
  bool CaseSensitive() const override { return FCache->CaseSensitive(); }
  void SetCaseSensitive(bool value) override { FCache->SetCaseSensitive(value); }
  rtl::Variant GetScriptValue(rtl::TObject* instance, const rtl::String& methodName, rtl::Variant& params) override;
  rtl::Variant SetScriptValue(rtl::TObject* instance, const rtl::String& methodName, rtl::Variant& params) override;
  rtl::Variant CallMethod(rtl::TObject* instance, const rtl::String& methodName, rtl::Variant& params) override;

  // Registers Get, Set and the macro functions IIF, SUM, AVG, MIN, MAX and COUNT on script (the report's, by
  // default), handled by this calculator.
  void RegisterFunctions(TwzScript* script = nullptr);
  TqvxExpressionCache* Cache() const { return FCache.get(); }

 private:
  // Records msg in the report's Errors (after the name of the object being printed) and raises it.
  [[noreturn]] void Fail(const rtl::String& msg, bool scriptCall);

  TqvxReport* FReport;
  std::unique_ptr<TqvxExpressionCache> FCache;
  // Report variables whose text is being evaluated now: one that refers back to itself has no value.
  std::set<rtl::String> FEvaluating;
  // The dataset and field each text names (none: not a field), found during the current run.
  struct TFieldRef {
    TqvxDataSet* DataSet;
    rtl::String Field;
  };
  std::unordered_map<rtl::String, TFieldRef> FFieldRefs;
  // The dataset field expr names while a run goes on (found once); nullptr when it names none or no run goes on.
  const TFieldRef* RunFieldRef(const rtl::String& expr);

 public:
  // A run starts: datasets may have been made anew since the last one.
  void ForgetFields() { FFieldRefs.clear(); }
};

// The script-call marker of Calc: the report's script, with errors worded for a script's Report.Calc.
inline TwzScript* const qvxScriptCall = reinterpret_cast<TwzScript*>(1);
