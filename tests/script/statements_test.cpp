// Statements: every kind, with break, continue, exit and termination carried by the program's flags.
#include <gtest/gtest.h>

#include <stdexcept>

#include "runtime_builders.h"

using rtl::Variant;
using namespace wztest;

namespace {

class ScriptStatements : public ::testing::Test {
protected:
  ScriptStatements() {
    i = AddVar(script, L"i", fvtInt);
    count = AddVar(script, L"count", fvtInt);
    count->SetValue(Variant(0));
    sum = AddVar(script, L"sum", fvtVariant);
    sum->SetValue(Variant(0));
  }

  // target += value
  TwzStatement* Increase(TwzScript* prog, TwzCustomVariable* target, TwzCustomExpression* value) {
    auto* s = new TwzAssignPlusStmt(prog, L"", L"1:1");
    s->SetDesignator(Designator(prog, target));
    s->SetExpression(value);
    s->Optimize();
    return s;
  }
  TwzStatement* CountUp(TwzScript* prog = nullptr) {
    prog = prog ? prog : &script;
    return Increase(prog, count, Const(prog, Variant(1)));
  }
  // if var = value then <stmt>
  TwzIfStmt* IfEquals(TwzCustomVariable* var, int value, TwzStatement* then) {
    auto* s = new TwzIfStmt(&script, L"", L"1:1");
    s->SetCondition(Expr(&script, {Designator(&script, var), Op{L"="}, Variant(value)}));
    s->Add(then);
    return s;
  }
  TwzForStmt* For(int first, int last, bool down) {
    auto* f = new TwzForStmt(&script, L"", L"1:1");
    f->SetBeginValue(Const(&script, Variant(first)));
    f->SetEndValue(Const(&script, Variant(last)));
    f->SetDown(down);
    f->SetVariable(i);
    return f;
  }
  void Run(TwzStatement* s) {
    script.Statement()->Add(s);
    script.Execute();
  }

  TwzScript script;
  TwzVariable* i;
  TwzVariable* count;
  TwzVariable* sum;
};

}  // namespace

TEST_F(ScriptStatements, ForLoopCounts) {
  struct Case {
    int first, last;
    bool down;
    int breakAt;
    int runs;
    Variant iAfter;
  } cases[] = {
      {1, 0, false, 0, 0, Variant(-7)},  // no iteration, i unchanged
      {3, 1, true, 0, 3, Variant(1)},    // downto leaves the last value, not one beyond
      {1, 5, false, 3, 3, Variant(3)},   // break at 3 leaves 3
      {1, 4, false, 0, 4, Variant(4)},
  };
  for (const Case& c : cases) {
    script.Clear();
    script.Add(L"i", i = new TwzVariable(L"i", fvtInt, L""));
    script.Add(L"count", count = new TwzVariable(L"count", fvtInt, L""));
    i->SetValue(Variant(-7));
    count->SetValue(Variant(0));
    TwzForStmt* f = For(c.first, c.last, c.down);
    f->Add(CountUp());
    if (c.breakAt) f->Add(IfEquals(i, c.breakAt, new TwzBreakStmt(&script, L"", L"")));
    Run(f);
    EXPECT_EQ(count->GetValue().AsInteger(), c.runs) << c.first << ".." << c.last;
    EXPECT_EQ(i->GetValue().AsInteger(), c.iAfter.AsInteger()) << c.first << ".." << c.last;
    EXPECT_FALSE(script.BreakCalled);
  }
}

TEST_F(ScriptStatements, ForLoopBoundsAreConvertedToIntegersOnce) {
  auto* f = new TwzForStmt(&script, L"", L"1:1");
  f->SetBeginValue(Const(&script, Variant(1.6)));
  f->SetEndValue(Const(&script, Variant(3.4)));
  f->SetVariable(i);
  f->Add(Increase(&script, sum, Expr(&script, {Designator(&script, i)})));
  Run(f);
  EXPECT_EQ(sum->GetValue().AsInteger(), 2 + 3);
}

TEST_F(ScriptStatements, VbForLoopWithFractionalAndNegativeSteps) {
  struct Case {
    Variant first, last, step;
    double sum;
    int runs;
  } cases[] = {{Variant(1), Variant(2), Variant(0.5), 4.5, 3}, {Variant(5), Variant(1), Variant(-2), 9, 3}};
  for (const Case& c : cases) {
    sum->SetValue(Variant(0));
    count->SetValue(Variant(0));
    auto* loopVar = AddVar(script, L"v", fvtVariant);
    auto* f = new TwzVbForStmt(&script, L"", L"1:1");
    f->SetBeginValue(Const(&script, c.first));
    f->SetEndValue(Const(&script, c.last));
    f->SetStep(Const(&script, c.step));
    f->SetVariable(loopVar);
    f->Add(Increase(&script, sum, Expr(&script, {Designator(&script, loopVar)})));
    f->Add(CountUp());
    script.Statement()->Clear();
    Run(f);
    EXPECT_DOUBLE_EQ(sum->GetValue().AsDouble(), c.sum);
    EXPECT_EQ(count->GetValue().AsInteger(), c.runs);
  }
}

TEST_F(ScriptStatements, RepeatAndDoWhileRunTheBodyOnce) {
  auto* r = new TwzRepeatStmt(&script, L"", L"1:1");
  r->SetCondition(Const(&script, Variant(true)));
  r->Add(CountUp());
  auto* d = new TwzRepeatStmt(&script, L"", L"2:1");
  d->SetCondition(Const(&script, Variant(false)));
  d->SetInverseCondition(true);
  d->Add(CountUp());
  script.Statement()->Add(r);
  Run(d);
  EXPECT_EQ(count->GetValue().AsInteger(), 2);
}

TEST_F(ScriptStatements, WhileLoopWithContinueAndBreak) {
  // while True do begin i := i + 1; if i = 2 then continue; if i = 4 then break; count := count + 1 end
  i->SetValue(Variant(0));
  auto* w = new TwzWhileStmt(&script, L"", L"1:1");
  w->SetCondition(Const(&script, Variant(true)));
  w->Add(Increase(&script, i, Const(&script, Variant(1))));
  w->Add(IfEquals(i, 2, new TwzContinueStmt(&script, L"", L"")));
  w->Add(IfEquals(i, 4, new TwzBreakStmt(&script, L"", L"")));
  w->Add(CountUp());
  Run(w);
  EXPECT_EQ(count->GetValue().AsInteger(), 2);  // i = 1 and 3
  EXPECT_EQ(i->GetValue().AsInteger(), 4);
  EXPECT_FALSE(script.BreakCalled);
  EXPECT_FALSE(script.ContinueCalled);
}

TEST_F(ScriptStatements, ContinueInACppForStillRunsTheIncrement) {
  // for (i = 0; i < 5; i++) { if (i == 2) continue; count++; }
  auto* f = new TwzCppForStmt(&script, L"", L"1:1");
  f->FirstStmt()->Add(Assign(&script, Designator(&script, i), Const(&script, Variant(0))));
  f->SetExpression(Expr(&script, {Designator(&script, i), Op{L"<"}, Variant(5)}));
  auto* inc = new TwzCallStmt(&script, L"", L"1:1");
  inc->SetDesignator(Designator(&script, i));
  inc->SetModificator(L"+");
  f->SecondStmt()->Add(inc);
  f->Add(IfEquals(i, 2, new TwzContinueStmt(&script, L"", L"")));
  f->Add(CountUp());
  Run(f);
  EXPECT_EQ(count->GetValue().AsInteger(), 4);
  EXPECT_EQ(i->GetValue().AsInteger(), 5);
}

TEST_F(ScriptStatements, CaseRunsOnlyTheFirstMatchingSelectorOrElse) {
  const Variant one(1), five(5), three(3), nine(9);
  for (auto [value, expected] : {std::pair{3, 10}, {7, 20}, {42, 30}}) {
    script.Statement()->Clear();
    sum->SetValue(Variant(0));
    auto* c = new TwzCaseStmt(&script, L"", L"1:1");
    c->SetCondition(Const(&script, Variant(value)));
    auto* first = new TwzCaseSelector(&script, L"", L"2:1");
    first->SetSetExpression(Set(&script, {&one, nullptr, &five}));
    first->Add(Increase(&script, sum, Const(&script, Variant(10))));
    auto* second = new TwzCaseSelector(&script, L"", L"3:1");
    second->SetSetExpression(Set(&script, {&three, nullptr, &nine}));
    second->Add(Increase(&script, sum, Const(&script, Variant(20))));
    c->Add(first);
    c->Add(second);
    c->ElseStmt()->Add(Increase(&script, sum, Const(&script, Variant(30))));
    Run(c);
    EXPECT_EQ(sum->GetValue().AsInteger(), expected) << value;
  }
}

TEST_F(ScriptStatements, TryExceptCatchesRuntimeErrorsAndGoesOn) {
  auto* t = new TwzTryStmt(&script, L"", L"1:1");
  t->SetIsExcept(true);
  t->Add(Assign(&script, Designator(&script, i), Expr(&script, {Variant(1), Op{L"div"}, Variant(0)})));
  t->Add(CountUp());  // never reached
  t->ExceptStmt()->Add(Increase(&script, sum, Const(&script, Variant(5))));
  script.Statement()->Add(t);
  script.Statement()->Add(Increase(&script, sum, Const(&script, Variant(1))));
  script.Execute();
  EXPECT_EQ(count->GetValue().AsInteger(), 0);
  EXPECT_EQ(sum->GetValue().AsInteger(), 6);
  EXPECT_FALSE(script.GetVariable(L"ExceptionClassName").AsString().empty());
  EXPECT_FALSE(script.GetVariable(L"ExceptionMessage").AsString().empty());
}

TEST_F(ScriptStatements, ExceptionFromTheExceptPartPropagates) {
  auto* t = new TwzTryStmt(&script, L"", L"1:1");
  t->SetIsExcept(true);
  t->Add(Assign(&script, Designator(&script, i), Expr(&script, {Variant(1), Op{L"div"}, Variant(0)})));
  t->ExceptStmt()->Add(Assign(&script, Designator(&script, i), Const(&script, Variant(L"not a number"))));
  script.Statement()->Add(t);
  EXPECT_THROW(script.Execute(), rtl::Exception);
  EXPECT_FALSE(script.IsRunning());
}

TEST_F(ScriptStatements, TryFinallyRunsOnErrorAndRethrows) {
  auto* t = new TwzTryStmt(&script, L"", L"1:1");
  t->Add(Assign(&script, Designator(&script, i), Expr(&script, {Variant(1), Op{L"div"}, Variant(0)})));
  t->ExceptStmt()->Add(CountUp());
  script.Statement()->Add(t);
  EXPECT_THROW(script.Execute(), rtl::Exception);
  EXPECT_EQ(count->GetValue().AsInteger(), 1);
}

TEST_F(ScriptStatements, ExitInTryFinallyRunsTheFinallyPartAndLeavesTheProcedureOnly) {
  // procedure P; begin try Exit finally count := count + 1 end; sum := 100 end;
  // for i := 1 to 3 do P;
  auto* p = new TwzProcVariable(L"P", fvtVariant, L"", &script, false);
  script.Add(L"P", p);
  TwzScript* local = p->Prog();
  auto* t = new TwzTryStmt(local, L"", L"2:1");
  t->Add(new TwzExitStmt(local, L"", L"2:5"));
  t->ExceptStmt()->Add(CountUp(local));
  local->Statement()->Add(t);
  local->Statement()->Add(Assign(local, Designator(local, sum), Const(local, Variant(100))));
  TwzForStmt* f = For(1, 3, false);
  auto* call = new TwzCallStmt(&script, L"", L"5:1");
  call->SetDesignator(Designator(&script, {{p}}));
  f->Add(call);
  Run(f);
  EXPECT_EQ(count->GetValue().AsInteger(), 3);
  EXPECT_EQ(sum->GetValue().AsInteger(), 0);
  EXPECT_EQ(i->GetValue().AsInteger(), 3);
  EXPECT_FALSE(local->ExitCalled);
}

TEST_F(ScriptStatements, TerminateFromTheLineHookStopsBeforeThatStatement) {
  script.SetOnRunLine([this](TwzScript*, const rtl::String&, const rtl::String& pos) {
    if (pos == L"3:1") script.Terminate();
  });
  auto* s1 = CountUp();
  auto* w = new TwzWhileStmt(&script, L"", L"2:1");
  w->SetCondition(Const(&script, Variant(true)));
  auto* inner = new TwzAssignPlusStmt(&script, L"", L"3:1");
  inner->SetDesignator(Designator(&script, sum));
  inner->SetExpression(Const(&script, Variant(1)));
  inner->Optimize();
  w->Add(inner);
  script.Statement()->Add(s1);
  script.Statement()->Add(w);
  script.Statement()->Add(CountUp());
  script.Execute();
  EXPECT_EQ(count->GetValue().AsInteger(), 1);
  EXPECT_EQ(sum->GetValue().AsInteger(), 0);
  EXPECT_FALSE(script.Terminated);
  EXPECT_FALSE(script.IsRunning());
}

TEST_F(ScriptStatements, WithEvaluatesItsObjectOnce) {
  auto* hidden = AddVar(script, L"__with", fvtVariant);
  auto* w = new TwzWithStmt(&script, L"", L"1:1");
  // The designator reads count, which the statement after it changes.
  w->SetDesignator(Designator(&script, count));
  w->SetVariable(hidden);
  count->SetValue(Variant(7));
  script.Statement()->Add(w);
  Run(CountUp());
  EXPECT_EQ(hidden->GetValue().AsInteger(), 7);
  EXPECT_EQ(count->GetValue().AsInteger(), 8);
}

TEST_F(ScriptStatements, IncrementAndDecrementStatements) {
  i->SetValue(Variant(5));
  for (const wchar_t* m : {L"+", L"+", L"-", L"*"}) {
    auto* c = new TwzCallStmt(&script, L"", L"1:1");
    c->SetDesignator(Designator(&script, i));
    c->SetModificator(m);
    script.Statement()->Add(c);
  }
  script.Execute();
  EXPECT_EQ(i->GetValue().AsInteger(), 6);
}

namespace {

// A host call that fails the way a binding handler would.
class FailingItem : public TwzCustomVariable {
public:
  explicit FailingItem(bool platformError) : TwzCustomVariable(L"Fail", fvtVariant, L""), platform(platformError) {}
  Variant GetValue() override {
    if (platform) throw rtl::EConvertError(L"'abc' is not a valid integer value");
    throw std::runtime_error("not a platform exception");
  }
  bool platform;
};

}  // namespace

TEST_F(ScriptStatements, TryExceptNamesTheHostsExceptionAndLetsForeignOnesPass) {
  FailingItem platformFailure(true), foreignFailure(false);
  for (FailingItem* item : {&platformFailure, &foreignFailure}) {
    script.Statement()->Clear();
    count->SetValue(Variant(0));
    auto* t = new TwzTryStmt(&script, L"", L"1:1");
    t->SetIsExcept(true);
    auto* call = new TwzCallStmt(&script, L"", L"2:1");
    call->SetDesignator(Designator(&script, {{item}}));
    t->Add(call);
    t->ExceptStmt()->Add(CountUp());
    script.Statement()->Add(t);
    if (item->platform) {
      script.Execute();
      EXPECT_EQ(count->GetValue().AsInteger(), 1);
      EXPECT_EQ(script.GetVariable(L"ExceptionClassName").AsString(), L"EConvertError");
      EXPECT_EQ(script.GetVariable(L"ExceptionMessage").AsString(), L"'abc' is not a valid integer value");
    } else {
      EXPECT_THROW(script.Execute(), std::runtime_error);
      EXPECT_EQ(count->GetValue().AsInteger(), 0);
    }
  }
}
