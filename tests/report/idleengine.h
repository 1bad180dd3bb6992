#pragma once
// An engine that runs nothing: the prepared pages read its fields (Running, FinalPass, CurY, TotalPages), which the
// tests set themselves when they write pages the way the engine would.
#include "report/model/qvxEngineIntf.h"

namespace reporttest {

class TIdleEngine : public TqvxCustomEngine {
 public:
  using TqvxCustomEngine::TqvxCustomEngine;
  void EndPage() override {}
  void NewColumn() override {}
  void NewPage() override {}
  void ShowBand(TqvxBand*) override {}
  void ShowBand(const vcl::TClassInfo*) override {}
  Extended HeaderHeight() override { return 0; }
  Extended FooterHeight() override { return 0; }
  Extended FreeSpace() override { return 0; }
  rtl::Variant GetAggregateValue(const rtl::String&, const rtl::String&, TqvxBand*, rtl::Integer) override {
    return rtl::Variant();
  }
  bool Run(bool, bool, TqvxPage*) override { return false; }
};

}  // namespace reporttest
