#include "script/wz_designators.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "script/wz_expressions.h"
#include "script/wz_iconst.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

TwzScript* FindMainProg(TwzScript* program) {
  for (TwzScript* p = program; p; p = p->Parent())
    if (p->MainProg()) return p;
  return program;
}

// Argument values of one step, kept on the machine stack for the usual handful.
class ArgValues {
public:
  explicit ArgValues(int count) {
    if (count > kInline) heap_.resize(static_cast<size_t>(count));
    data_ = count > kInline ? heap_.data() : inline_;
  }
  Variant& operator[](int i) { return data_[i]; }

private:
  static constexpr int kInline = 4;
  Variant inline_[kInline];
  std::vector<Variant> heap_;
  Variant* data_;
};

// Restores a recursive call's caller's locals whatever happens.
struct LocalsGuard {
  TwzProcVariable* proc = nullptr;
  TwzProcVariable::LocalsMark mark;
  ~LocalsGuard() {
    if (proc) proc->RestoreLocals(mark);
  }
};

}  // namespace

TwzCustomExpression* TwzDesignatorItem::Items(int index) const {
  return static_cast<TwzCustomExpression*>(GetItem(index));
}

TwzDesignator::TwzDesignator(TwzScript* program)
    : TwzCustomVariable(String(), fvtVariant, String()), FMainProg(FindMainProg(program)), FProgram(program) {
  FItemKind |= wzkDesignator;
  if (FProgram && FMainProg) FProgram->SetUseClassLateBinding(FMainProg->UseClassLateBinding());
}

void TwzDesignator::Finalize() {
  if (Count() == 0) return;
  TwzCustomVariable* last = Items(Count() - 1)->Ref();
  if (!last) return;
  FTyp = last->Typ();
  FTypeName = last->TypeName();
  if (FTyp == fvtConstructor) {
    FTyp = fvtClass;
    if (Count() >= 2 && Items(Count() - 2)->Ref()) FTypeName = Items(Count() - 2)->Ref()->TypeName();
  }
  FIsReadOnly = last->IsReadOnly();

  FKind = dkOther;
  TwzCustomVariable* first = Items(0)->Ref();
  if (Count() == 1 && dynamic_cast<TwzVariable*>(first)) {
    FKind = dkVariable;
    FRefItem = first;
  } else if (Count() == 2 && dynamic_cast<TwzStringVariable*>(first) && Items(1)->Count() > 0) {
    FKind = dkStringArray;
    FRefItem = first;
    FRef1 = Items(1)->Items(0);
  } else if (Count() == 2 && dynamic_cast<TwzVariable*>(first) && first->Typ() == fvtArray && first->RefItem()) {
    FKind = dkArray;
    FRefItem = first;
    FRef1 = first->RefItem();
    FRef2 = Items(1);
  }
}

void TwzDesignator::Borrow(TwzDesignator* designator) {
  FItems.swap(designator->FItems);
  FKind = designator->FKind;
  FRef1 = designator->FRef1;
  FRef2 = designator->FRef2;
  FTyp = designator->FTyp;
  FTypeName = designator->FTypeName;
  FIsReadOnly = designator->FIsReadOnly;
  FRefItem = designator->FRefItem;
}

void TwzDesignator::CheckLateBinding() {
  if (!FLateBindingXmlSource) return;
  // Resolution is attempted once, whatever its outcome.
  TwzLateBindingSource source = std::move(FLateBindingXmlSource);
  FLateBindingXmlSource = nullptr;
  TwzDesignator* resolved = source(FProgram);
  if (!resolved) return;
  Borrow(resolved);
  delete resolved;
}

Variant TwzDesignator::GetValue() {
  if (FLateBindingXmlSource) CheckLateBinding();
  return DoCalc(Variant::Null(), false);
}

void TwzDesignator::SetValue(const Variant& value) {
  if (FLateBindingXmlSource) CheckLateBinding();
  DoCalc(value, true);
}

Variant TwzDesignator::DoCalc(const Variant& value, bool assigning) {
  Variant running = Variant::Null();
  TwzCustomVariable* previous = nullptr;
  const int count = Count();
  for (int stepIndex = 0; stepIndex < count; ++stepIndex) {
    auto* step = static_cast<TwzDesignatorItem*>(FItems[static_cast<size_t>(stepIndex)]);
    TwzCustomVariable* item = step->Ref();
    if (!item) throw EwzScriptError(L"Undeclared identifier");
    const bool isLast = stepIndex == count - 1;

    if (item->IsKind(wzkDesignator)) {
      running = item->GetValue();
      previous = item;
      continue;
    }

    LocalsGuard locals;
    if (item->IsKind(wzkProc)) {
      auto* proc = static_cast<TwzProcVariable*>(item);
      if (proc->Executing()) {
        locals.mark = proc->SaveLocals();
        locals.proc = proc;
      }
    }

    const int paramCount = item->Count();
    const int argCount = std::min(paramCount, step->Count());
    if (paramCount > 0) {
      // All arguments first: one of them may read the very parameters a recursive call is about to overwrite.
      ArgValues args(argCount);
      for (int i = 0; i < argCount; ++i) {
        TwzCustomExpression* arg = step->Items(i);
        if (item->IsMacro()) {
          auto* e = dynamic_cast<TwzExpression*>(arg);
          args[i] = Variant(e ? e->Source() : String());
        } else if (arg) {
          args[i] = arg->GetValue();
        } else {
          args[i] = Variant::Null();
        }
      }
      for (int i = 0; i < argCount; ++i) wzSetParam(item->ParamAt(i), args[i]);
    }

    if (item->IsKind(wzkHelper)) {
      auto* helper = static_cast<TwzCustomHelper*>(item);
      helper->SetParentRef(previous);
      helper->SetParentValue(running);
      helper->SetProg(FProgram);
    }
    previous = item;

    if (assigning && isLast) {
      item->SetValue(value);
    } else {
      item->SetNeedResult(!(isLast && !FNeedResult));
      running = item->GetValue();
    }

    // Var parameters go back to their arguments once the caller's locals are back: a recursive level that passes
    // its own parameter on must receive what the call left in it, not have it overwritten by the restore.
    bool anyVar = false;
    for (int i = 0; i < argCount; ++i) anyVar = anyVar || item->ParamAt(i)->IsVarParam();
    if (anyVar) {
      ArgValues results(argCount);
      for (int i = 0; i < argCount; ++i)
        if (item->ParamAt(i)->IsVarParam()) results[i] = item->ParamAt(i)->GetValue();
      if (locals.proc) {
        locals.proc->RestoreLocals(locals.mark);
        locals.proc = nullptr;
      }
      for (int i = 0; i < argCount; ++i)
        if (item->ParamAt(i)->IsVarParam() && step->Items(i)) step->Items(i)->SetValue(results[i]);
    }
  }
  return running;
}

// --- specialised designators ---

Variant TwzVariableDesignator::GetValue() { return FRefItem->GetValue(); }

void TwzVariableDesignator::SetValue(const Variant& value) { FRefItem->SetValue(value); }

Variant TwzStringDesignator::GetValue() {
  const rtl::Int64 i = FRef1->GetValue().AsInt64();
  auto* var = static_cast<TwzStringVariable*>(FRefItem);
  wzCheckStringIndex(var->Text(), i);
  return Variant(var->Text()[static_cast<size_t>(i - 1)]);
}

void TwzStringDesignator::SetValue(const Variant& value) {
  const rtl::Int64 i = FRef1->GetValue().AsInt64();
  auto* var = static_cast<TwzStringVariable*>(FRefItem);
  wzCheckStringIndex(var->Text(), i);
  const String v = value.AsString();
  if (v.empty()) throw EwzScriptError(L"Cannot assign an empty string to a character");
  var->Str()[static_cast<size_t>(i - 1)] = v[0];
}

TwzCustomHelper* TwzArrayDesignator::PrepareHelper() {
  if (!FRef1 || !FRef1->IsKind(wzkHelper) || !FRef2) throw EwzScriptError(SArrayRequired);
  auto* helper = static_cast<TwzCustomHelper*>(FRef1);
  helper->SetParentRef(FRefItem);
  helper->SetParentValue(Variant::Null());
  const int n = std::min(helper->Count(), FRef2->Count());
  ArgValues indexes(n);
  for (int i = 0; i < n; ++i) indexes[i] = FRef2->Items(i)->GetValue();
  for (int i = 0; i < n; ++i) wzSetParam(helper->ParamAt(i), indexes[i]);
  return helper;
}

Variant TwzArrayDesignator::GetValue() { return PrepareHelper()->GetValue(); }

void TwzArrayDesignator::SetValue(const Variant& value) { PrepareHelper()->SetValue(value); }

TwzCustomVariable* wzDirectItem(TwzDesignator* designator) {
  if (!designator) return nullptr;
  if (dynamic_cast<TwzVariableDesignator*>(designator) && designator->RefItem()) return designator->RefItem();
  if (designator->Count() == 1 && !designator->HasLateBindingSource()) {
    TwzDesignatorItem* step = designator->Items(0);
    if (step->Ref() && step->Ref()->IsKind(wzkParam) && step->Ref()->Count() == 0 && step->Count() == 0)
      return step->Ref();
  }
  return designator;
}

TwzDesignator* wzSpecializeDesignator(TwzDesignator* designator) {
  TwzDesignator* result;
  switch (designator->Kind()) {
    case dkVariable: result = new TwzVariableDesignator(designator->Program()); break;
    case dkStringArray: result = new TwzStringDesignator(designator->Program()); break;
    case dkArray: result = new TwzArrayDesignator(designator->Program()); break;
    default: return designator;
  }
  result->Borrow(designator);
  result->SetNeedResult(designator->NeedResult());
  result->SetSourcePos(designator->SourcePos());
  delete designator;
  return result;
}
