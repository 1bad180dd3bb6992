// Designators: kinds, the general walk with arguments, var parameters, recursion and late binding.
#include <gtest/gtest.h>

#include <memory>

#include "runtime_builders.h"

using rtl::Variant;
using namespace wztest;

namespace {

// Records what the walk gave it.
class ProbeItem : public TwzCustomVariable {
public:
  ProbeItem() : TwzCustomVariable(L"Probe", fvtVariant, L"") {
    Add(new TwzParamItem(L"a", fvtVariant, L"", false, false));
    Add(new TwzParamItem(L"b", fvtVariant, L"", false, false));
  }
  Variant GetValue() override {
    ++calls;
    needResult = FNeedResult;
    a = Params(0)->GetValue();
    b = Params(1)->GetValue();
    return Variant(L"probe");
  }
  int calls = 0;
  bool needResult = true;
  Variant a, b;
};

}  // namespace

TEST(ScriptDesignators, PlainVariableBecomesAVariableDesignator) {
  TwzScript script;
  auto* x = AddVar(script, L"x", fvtInt);
  std::unique_ptr<TwzDesignator> d(Designator(&script, x));
  EXPECT_EQ(d->Kind(), dkVariable);
  EXPECT_NE(dynamic_cast<TwzVariableDesignator*>(d.get()), nullptr);
  EXPECT_EQ(d->Typ(), fvtInt);
  d->SetValue(Variant(L"41"));
  EXPECT_EQ(x->GetValue().VarType(), rtl::varInteger);
  EXPECT_EQ(d->GetValue().AsInteger(), 41);
}

TEST(ScriptDesignators, CharacterOfAStringVariable) {
  TwzScript script;
  auto* s = AddVar<TwzStringVariable>(script, L"s", fvtString);
  s->SetValue(Variant(L"hello"));
  auto* index = AddVar(script, L"k", fvtInt);
  TwzStringHelper helper;  // the front end routes s[k] through the string helper step
  std::unique_ptr<TwzDesignator> d(
      Designator(&script, {{s}, {&helper, {Expr(&script, {Designator(&script, index)})}}}));
  ASSERT_EQ(d->Kind(), dkStringArray);
  index->SetValue(Variant(3));
  EXPECT_EQ(d->GetValue().AsString(), L"l");
  d->SetValue(Variant(L"LX"));
  EXPECT_EQ(s->GetValue().AsString(), L"heLlo");
  for (int bad : {0, 6}) {
    index->SetValue(Variant(bad));
    EXPECT_THROW(d->GetValue(), EwzScriptError);
    EXPECT_THROW(d->SetValue(Variant(L"z")), EwzScriptError);
  }
  EXPECT_EQ(s->GetValue().AsString(), L"heLlo");
}

TEST(ScriptDesignators, ElementOfADeclaredTwoDimensionalArray) {
  TwzScript script;
  auto* a = AddVar(script, L"a", fvtArray);
  auto* helper = new TwzArrayHelper(L"", 2, fvtVariant, L"");
  script.Add(L"", helper);
  a->SetRefItem(helper);
  a->SetValue(rtl::VarArrayCreate({0, 3, 0, 3}, rtl::varVariant));
  std::unique_ptr<TwzDesignator> d(
      Designator(&script, {{a}, {helper, {Const(&script, Variant(1)), Const(&script, Variant(2))}}}));
  ASSERT_EQ(d->Kind(), dkArray);
  d->SetValue(Variant(L"x"));
  EXPECT_EQ(a->GetValue().Element({1, 2}).AsString(), L"x");
  EXPECT_EQ(d->GetValue().AsString(), L"x");
  EXPECT_TRUE(a->GetValue().Element({2, 1}).IsEmpty());

  std::unique_ptr<TwzDesignator> outside(
      Designator(&script, {{a}, {helper, {Const(&script, Variant(9)), Const(&script, Variant(0))}}}));
  EXPECT_THROW(outside->GetValue(), rtl::EVariantError);
}

TEST(ScriptDesignators, ArgumentsAreEvaluatedBeforeAnyParameterChanges) {
  TwzScript script;
  ProbeItem probe;
  probe.Params(0)->SetValue(Variant(1));
  probe.Params(1)->SetValue(Variant(2));
  // Probe(b, a): each argument reads the other parameter as it was before the call.
  auto readParam = [&](int i) { return Expr(&script, {Designator(&script, {{probe.Params(i)}})}); };
  std::unique_ptr<TwzDesignator> d(Designator(&script, {{&probe, {readParam(1), readParam(0)}}}));
  EXPECT_EQ(d->GetValue().AsString(), L"probe");
  EXPECT_EQ(probe.a.AsInteger(), 2);
  EXPECT_EQ(probe.b.AsInteger(), 1);
}

TEST(ScriptDesignators, MacroArgumentsArriveAsSourceText) {
  TwzScript script;
  ProbeItem probe;
  probe.SetIsMacro(true);
  TwzExpression* a = Expr(&script, {Variant(1), Op{L"+"}, Variant(2)});
  a->SetSource(L"1 + 2");
  TwzExpression* b = Expr(&script, {Variant(L"x")});
  b->SetSource(L"'x'");
  std::unique_ptr<TwzDesignator> d(Designator(&script, {{&probe, {a, b}}}));
  d->GetValue();
  EXPECT_EQ(probe.a.AsString(), L"1 + 2");
  EXPECT_EQ(probe.b.AsString(), L"'x'");
}

TEST(ScriptDesignators, CallWhoseResultIsDiscardedAsksForNone) {
  TwzScript script;
  ProbeItem probe;
  std::unique_ptr<TwzDesignator> d(
      Designator(&script, {{&probe, {Const(&script, Variant(1)), Const(&script, Variant(2))}}}));
  d->GetValue();
  EXPECT_TRUE(probe.needResult);
  auto* call = new TwzCallStmt(&script, L"", L"1:1");
  call->SetDesignator(d.release());
  script.Statement()->Add(call);
  script.Execute();
  EXPECT_EQ(probe.calls, 2);
  EXPECT_FALSE(probe.needResult);
}

TEST(ScriptDesignators, VarParameterWritesBackToTheCallersVariable) {
  // procedure Twice(var v: Integer); begin v := v * 2 end;  Twice(x);
  TwzScript script;
  auto* x = AddVar(script, L"x", fvtInt);
  x->SetValue(Variant(21));
  auto* proc = new TwzProcVariable(L"Twice", fvtVariant, L"", &script, false);
  script.Add(L"Twice", proc);
  auto* v = new TwzParamItem(L"v", fvtInt, L"", false, true);
  proc->AddParam(v);
  TwzScript* local = proc->Prog();
  local->Statement()->Add(
      Assign(local, Designator(local, {{v}}), Expr(local, {Designator(local, {{v}}), Op{L"*"}, Variant(2)})));
  std::unique_ptr<TwzDesignator> call(Designator(&script, {{proc, {Expr(&script, {Designator(&script, x)})}}}));
  call->GetValue();
  EXPECT_EQ(x->GetValue().AsInteger(), 42);
}

TEST(ScriptDesignators, RecursiveFibonacciSeesItsOwnParameterAtEveryLevel) {
  // function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) end;
  TwzScript script;
  auto* fib = new TwzProcVariable(L"Fib", fvtInt, L"", &script, true);
  script.Add(L"Fib", fib);
  auto* n = new TwzParamItem(L"n", fvtInt, L"", false, false);
  fib->AddParam(n);
  TwzScript* local = fib->Prog();
  auto* local1 = new TwzVariable(L"tmp", fvtInt, L"");  // an unassigned local survives the save and restore
  local->Add(L"tmp", local1);
  auto* ifs = new TwzIfStmt(local, L"", L"1:1");
  ifs->SetCondition(Expr(local, {Designator(local, {{n}}), Op{L"<"}, Variant(2)}));
  ifs->Add(Assign(local, Designator(local, fib->RefItem()), Expr(local, {Designator(local, {{n}})})));
  auto call = [&](int minus) {
    return Designator(local, {{fib, {Expr(local, {Designator(local, {{n}}), Op{L"-"}, Variant(minus)})}}});
  };
  ifs->ElseStmt()->Add(Assign(local, Designator(local, fib->RefItem()), Expr(local, {call(1), Op{L"+"}, call(2)})));
  local->Statement()->Add(ifs);

  std::unique_ptr<TwzDesignator> top(Designator(&script, {{fib, {Const(&script, Variant(10))}}}));
  EXPECT_EQ(top->GetValue().AsInteger(), 55);
  EXPECT_EQ(n->GetValue().AsInteger(), 10);
  EXPECT_TRUE(local1->GetValue().IsNull());
}

TEST(ScriptDesignators, FailedRecursiveCallRestoresTheCallersLocals) {
  // function F(n: Integer): Integer; begin if n = 0 then Result := 1 div n else Result := F(n - 1) end;
  TwzScript script;
  auto* f = new TwzProcVariable(L"F", fvtInt, L"", &script, true);
  script.Add(L"F", f);
  auto* n = new TwzParamItem(L"n", fvtInt, L"", false, false);
  f->AddParam(n);
  TwzScript* local = f->Prog();
  auto* ifs = new TwzIfStmt(local, L"", L"1:1");
  ifs->SetCondition(Expr(local, {Designator(local, {{n}}), Op{L"="}, Variant(0)}));
  ifs->Add(
      Assign(local, Designator(local, f->RefItem()), Expr(local, {Variant(1), Op{L"div"}, Designator(local, {{n}})})));
  ifs->ElseStmt()->Add(
      Assign(local, Designator(local, f->RefItem()),
             Expr(local, {Designator(local, {{f, {Expr(local, {Designator(local, {{n}}), Op{L"-"}, Variant(1)})}}})})));
  local->Statement()->Add(ifs);
  std::unique_ptr<TwzDesignator> top(Designator(&script, {{f, {Const(&script, Variant(3))}}}));
  EXPECT_THROW(top->GetValue(), rtl::Exception);
  EXPECT_EQ(n->GetValue().AsInteger(), 3);
  EXPECT_FALSE(f->Executing());
  EXPECT_FALSE(local->IsRunning());
}

TEST(ScriptDesignators, LateBindingIsResolvedOnceAtFirstUse) {
  TwzScript script;
  auto* x = AddVar(script, L"x", fvtInt);
  x->SetValue(Variant(5));
  TwzDesignator d(&script);
  int resolutions = 0;
  d.SetLateBindingXmlSource([&](TwzScript* program) -> TwzDesignator* {
    ++resolutions;
    return Designator(program, {{x}});
  });
  EXPECT_EQ(d.GetValue().AsInteger(), 5);
  EXPECT_EQ(d.GetValue().AsInteger(), 5);
  EXPECT_EQ(resolutions, 1);
  EXPECT_FALSE(d.HasLateBindingSource());

  TwzDesignator failing(&script);
  failing.SetLateBindingXmlSource([&](TwzScript*) -> TwzDesignator* {
    ++resolutions;
    throw rtl::Exception(L"Undeclared identifier: 'Foo'");
  });
  EXPECT_THROW(failing.GetValue(), rtl::Exception);
  EXPECT_FALSE(failing.HasLateBindingSource());
  EXPECT_EQ(resolutions, 2);
}

TEST(ScriptDesignators, RunawayRecursionIsAScriptErrorNotACrash) {
  // function R(n: Integer): Integer; begin Result := R(n + 1) end;
  TwzScript script;
  auto* r = new TwzProcVariable(L"R", fvtInt, L"", &script, true);
  script.Add(L"R", r);
  auto* n = new TwzParamItem(L"n", fvtInt, L"", false, false);
  r->AddParam(n);
  TwzScript* local = r->Prog();
  local->Statement()->Add(
      Assign(local, Designator(local, r->RefItem()),
             Expr(local, {Designator(local, {{r, {Expr(local, {Designator(local, {{n}}), Op{L"+"}, Variant(1)})}}})})));
  std::unique_ptr<TwzDesignator> top(Designator(&script, {{r, {Const(&script, Variant(0))}}}));
  EXPECT_THROW(top->GetValue(), EwzScriptError);
  EXPECT_EQ(n->GetValue().AsInteger(), 0);
  EXPECT_FALSE(r->Executing());
  // The program is usable again afterwards.
  EXPECT_THROW(top->GetValue(), EwzScriptError);
}
