#pragma once
// The report root for the model's own tests. The values of expressions belong to the engine layer, which these
// tests do not link: a test report answers Calc from a table the test fills, and remembers what it was asked.
#include <functional>
#include <map>
#include <vector>

#include "platform/rtl/variant.h"
#include "report/model/qvxReport.h"

class TqvxTestReport : public TqvxReport {
  VCL_CLASS(TqvxTestReport, TqvxReport)
 public:
  explicit TqvxTestReport(vcl::TComponent* owner) : TqvxReport(owner) {}

  rtl::Variant Calc(const rtl::String& expr, TwzScript* script = nullptr) override {
    Asked.push_back(expr);
    if (OnCalc) OnCalc(expr);
    auto it = Values.find(expr);
    return it == Values.end() ? Missing : it->second;
  }
  void SetSelfValue(TqvxView* value) override {
    Self = value;
    TqvxReport::SetSelfValue(value);
  }

  // The report's script dispatchers run nothing; a test may watch what reaches them.
  void DoNotifyEvent(rtl::TObject* obj, const rtl::String& eventName, bool) override {
    if (OnNotify) OnNotify(obj, eventName);
  }
  void DoParamEvent(const rtl::String& eventName, rtl::Variant& params, bool) override {
    if (OnParam) OnParam(eventName, params);
  }

  std::function<void(rtl::TObject* obj, const rtl::String& eventName)> OnNotify;
  std::function<void(const rtl::String& eventName, rtl::Variant& params)> OnParam;
  // Called with each expression before the table answers it.
  std::function<void(const rtl::String& expr)> OnCalc;
  std::map<rtl::String, rtl::Variant> Values;
  // What an expression the table does not have gives.
  rtl::Variant Missing = rtl::Variant::Null();
  std::vector<rtl::String> Asked;
  TqvxView* Self = nullptr;
};
