#include "script/wz_statements.h"

#include <exception>

#include "script/wz_designators.h"
#include "script/wz_expressions.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

bool IsTrue(TwzCustomExpression* condition) {
  if (!condition) return true;
  const Variant v = condition->GetValue();
  return v.AsBoolean();
}

}  // namespace

// --- TwzStatement ---

TwzStatement::TwzStatement(TwzScript* aProgram, const String& unitName, const String& sourcePos)
    : FProgram(aProgram), FSourcePos(sourcePos), FUnitName(unitName) {}

void TwzStatement::Execute() {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FProgram->Terminated) return;
    static_cast<TwzStatement*>(FItems[i])->Execute();
    if (FProgram->BreakCalled || FProgram->ContinueCalled || FProgram->ExitCalled) return;
  }
}

void TwzStatement::RunLine() { FProgram->RunLine(FUnitName, FSourcePos); }

bool TwzStatement::HookAndTerminated() {
  RunLine();
  return FProgram->Terminated;
}

bool TwzStatement::LoopShouldLeave() {
  if (FProgram->BreakCalled || FProgram->ExitCalled) return true;
  FProgram->ContinueCalled = false;
  return false;
}

// --- assignments ---

TwzAssignmentStmt::~TwzAssignmentStmt() {
  delete FDesignator;
  delete FExpression;
}

void TwzAssignmentStmt::Optimize() {
  FVar = wzDirectItem(FDesignator);
  FExpr = FExpression;
  if (auto* e = dynamic_cast<TwzExpression*>(FExpression))
    if (TwzCustomVariable* single = e->SingleItem()) FExpr = single;
}

TwzCustomVariable* TwzAssignmentStmt::Target() const { return FVar ? FVar : FDesignator; }

TwzCustomVariable* TwzAssignmentStmt::Source() const { return FExpr ? FExpr : FExpression; }

void TwzAssignmentStmt::Execute() {
  if (HookAndTerminated()) return;
  const Variant value = Source()->GetValue();
  Target()->SetValue(value);
}

void TwzCompoundAssignmentStmt::Execute() {
  if (HookAndTerminated()) return;
  ExecuteGeneral(Target());
}

void TwzCompoundAssignmentStmt::ExecuteGeneral(TwzCustomVariable* target) {
  const Variant v = target->GetValue();
  const Variant e = Source()->GetValue();
  target->SetValue(Combine(v, e));
}

Variant TwzAssignPlusStmt::Combine(const Variant& v, const Variant& e) const { return v + e; }

// The general rule reads the variable, then the operand, and writes the sum. Appending in place gives the same text
// when the variable is a plain one (no value handler) that still holds what it held before the operand was
// evaluated, and both are texts.
void TwzAssignPlusStmt::Execute() {
  if (HookAndTerminated()) return;
  Perform();
}

void TwzAssignPlusStmt::Perform() {
  TwzCustomVariable* target = Target();
  if (!target->IsKind(wzkVariable) || target->OnGetVarValue()) {
    TwzCompoundAssignmentStmt::ExecuteGeneral(target);
    return;
  }
  if (target->IsKind(wzkStringVariable)) {
    auto* var = static_cast<TwzStringVariable*>(target);
    if (var->AppendPending()) {
      ExecuteGeneral(target);
      return;
    }
    var->BeginAppend();
    struct End {
      TwzStringVariable* var;
      String before;
      bool changed = false;
      bool done = false;
      void Finish() {
        changed = var->EndAppend(before);
        done = true;
      }
      ~End() {
        if (!done) Finish();
      }
    } end{var, String()};
    const Variant e = Source()->GetValue();
    end.Finish();
    if (!end.changed && e.IsString()) {
      var->Append(e.AsString());
      return;
    }
    // The general rule, with the text the variable had before the operand was evaluated.
    const Variant v = end.changed ? Variant(std::move(end.before)) : target->GetValue();
    target->SetValue(Combine(v, e));
    return;
  }
  Variant v = *target->PValue();
  const Variant e = Source()->GetValue();
  Variant* stored = target->PValue();
  if (v.VarType() == rtl::varUString && e.VarType() == rtl::varUString && stored->SharesTextWith(v) &&
      !target->IsReadOnly()) {
    // v shares the stored text; once it lets go, the stored variant owns the text alone and appends in place.
    v.Clear();
    stored->AppendText(e.AsString());
    return;
  }
  target->SetValue(Combine(v, e));
}
Variant TwzAssignMinusStmt::Combine(const Variant& v, const Variant& e) const { return v - e; }
Variant TwzAssignMulStmt::Combine(const Variant& v, const Variant& e) const { return v * e; }
Variant TwzAssignDivStmt::Combine(const Variant& v, const Variant& e) const { return v / e; }

// --- call ---

TwzCallStmt::~TwzCallStmt() { delete FDesignator; }

void TwzCallStmt::Execute() {
  if (HookAndTerminated()) return;
  if (FModificator.empty()) {
    FDesignator->SetNeedResult(false);
    FDesignator->GetValue();
  } else if (FModificator == L"+") {
    FDesignator->SetValue(FDesignator->GetValue() + Variant(1));
  } else if (FModificator == L"-") {
    FDesignator->SetValue(FDesignator->GetValue() - Variant(1));
  }
}

// --- if and case ---

TwzIfStmt::TwzIfStmt(TwzScript* aProgram, const String& unitName, const String& sourcePos)
    : TwzStatement(aProgram, unitName, sourcePos), FElseStmt(new TwzStatement(aProgram, unitName, sourcePos)) {}

TwzIfStmt::~TwzIfStmt() {
  delete FCondition;
  delete FElseStmt;
}

void TwzIfStmt::Execute() {
  if (HookAndTerminated()) return;
  if (IsTrue(FCondition))
    TwzStatement::Execute();
  else
    FElseStmt->Execute();
}

TwzCaseSelector::~TwzCaseSelector() { delete FSetExpression; }

bool TwzCaseSelector::Check(const Variant& value) const { return FSetExpression && FSetExpression->Check(value); }

TwzCaseStmt::TwzCaseStmt(TwzScript* aProgram, const String& unitName, const String& sourcePos)
    : TwzStatement(aProgram, unitName, sourcePos), FElseStmt(new TwzStatement(aProgram, unitName, sourcePos)) {}

TwzCaseStmt::~TwzCaseStmt() {
  delete FCondition;
  delete FElseStmt;
}

void TwzCaseStmt::Execute() {
  const Variant value = FCondition ? FCondition->GetValue() : Variant::Null();
  if (HookAndTerminated()) return;
  for (int i = 0; i < Count(); ++i) {
    auto* selector = dynamic_cast<TwzCaseSelector*>(Items(i));
    if (selector && selector->Check(value)) {
      selector->Execute();
      return;
    }
  }
  FElseStmt->Execute();
}

// --- loops ---

TwzRepeatStmt::~TwzRepeatStmt() { delete FCondition; }

void TwzRepeatStmt::Execute() {
  if (HookAndTerminated()) return;
  for (;;) {
    TwzStatement::Execute();
    if (LoopShouldLeave()) break;
    const bool c = IsTrue(FCondition);
    if (c != FInverseCondition) break;
  }
  FProgram->BreakCalled = false;
}

TwzWhileStmt::~TwzWhileStmt() { delete FCondition; }

void TwzWhileStmt::Execute() {
  if (HookAndTerminated()) return;
  while (IsTrue(FCondition)) {
    TwzStatement::Execute();
    if (LoopShouldLeave()) break;
  }
  FProgram->BreakCalled = false;
}

TwzForStmt::~TwzForStmt() {
  delete FBeginValue;
  delete FEndValue;
}

void TwzForStmt::Execute() {
  const rtl::Int64 first = FBeginValue->GetValue().AsInteger();
  const rtl::Int64 last = FEndValue->GetValue().AsInteger();
  if (HookAndTerminated()) return;
  Variant* counter = FVariable->PValue();
  // The counter runs in 64 bits so that a bound at the edge of the integer range cannot wrap around.
  if (!FDown) {
    for (rtl::Int64 i = first; i <= last; ++i) {
      *counter = Variant(static_cast<int>(i));
      TwzStatement::Execute();
      if (LoopShouldLeave()) break;
    }
  } else {
    for (rtl::Int64 i = first; i >= last; --i) {
      *counter = Variant(static_cast<int>(i));
      TwzStatement::Execute();
      if (LoopShouldLeave()) break;
    }
  }
  FProgram->BreakCalled = false;
}

TwzVbForStmt::~TwzVbForStmt() {
  delete FBeginValue;
  delete FEndValue;
  delete FStep;
}

void TwzVbForStmt::Execute() {
  Variant i = FBeginValue->GetValue();
  const Variant last = FEndValue->GetValue();
  const Variant step = FStep ? FStep->GetValue() : Variant(1);
  const bool negative = step < Variant(0);
  if (HookAndTerminated()) return;
  Variant* target = FVariable->PValue();
  while (negative ? i >= last : i <= last) {
    *target = i;
    TwzStatement::Execute();
    if (LoopShouldLeave()) break;
    i = i + step;
  }
  FProgram->BreakCalled = false;
}

TwzCppForStmt::TwzCppForStmt(TwzScript* aProgram, const String& unitName, const String& sourcePos)
    : TwzStatement(aProgram, unitName, sourcePos),
      FFirstStmt(new TwzStatement(aProgram, unitName, sourcePos)),
      FSecondStmt(new TwzStatement(aProgram, unitName, sourcePos)) {}

TwzCppForStmt::~TwzCppForStmt() {
  delete FFirstStmt;
  delete FExpression;
  delete FSecondStmt;
}

void TwzCppForStmt::Execute() {
  if (HookAndTerminated()) return;
  FFirstStmt->Execute();
  if (FProgram->Terminated) return;
  while (IsTrue(FExpression)) {
    TwzStatement::Execute();
    if (LoopShouldLeave()) break;
    FSecondStmt->Execute();
  }
  FProgram->BreakCalled = false;
}

// --- try ---

TwzTryStmt::TwzTryStmt(TwzScript* aProgram, const String& unitName, const String& sourcePos)
    : TwzStatement(aProgram, unitName, sourcePos), FExceptStmt(new TwzStatement(aProgram, unitName, sourcePos)) {}

TwzTryStmt::~TwzTryStmt() { delete FExceptStmt; }

void TwzTryStmt::Execute() {
  if (HookAndTerminated()) return;
  if (FIsExcept) {
    bool caught = false;
    try {
      TwzStatement::Execute();
    } catch (const rtl::Exception& e) {
      FProgram->SetVariable(L"ExceptionClassName", Variant(e.ClassName()));
      FProgram->SetVariable(L"ExceptionMessage", Variant(e.Message()));
      caught = true;
    }
    // The except part runs outside the handler, so an exception it raises propagates on its own.
    if (caught) FExceptStmt->Execute();
    return;
  }
  std::exception_ptr pending;
  try {
    TwzStatement::Execute();
  } catch (...) {
    pending = std::current_exception();
  }
  const bool exitCalled = FProgram->ExitCalled;
  FProgram->ExitCalled = false;
  FExceptStmt->Execute();
  FProgram->ExitCalled = exitCalled;
  if (pending) std::rethrow_exception(pending);
}

// --- jumps ---

void TwzBreakStmt::Execute() { FProgram->BreakCalled = true; }

void TwzContinueStmt::Execute() { FProgram->ContinueCalled = true; }

void TwzExitStmt::Execute() {
  RunLine();
  FProgram->ExitCalled = true;
}

// --- with ---

TwzWithStmt::~TwzWithStmt() { delete FDesignator; }

void TwzWithStmt::Execute() {
  TwzStatement::Execute();
  if (FDesignator && FVariable) FVariable->SetValue(FDesignator->GetValue());
}
