// Expression trees: shape by operator priority, typing, evaluation over variants, sets, compound assignment.
#include <gtest/gtest.h>

#include <memory>

#include "runtime_builders.h"

using rtl::Variant;
using namespace wztest;

namespace {

class ScriptExpressions : public ::testing::Test {
protected:
  Variant Eval(std::initializer_list<Token> tokens) {
    std::unique_ptr<TwzExpression> e(Expr(&script, tokens));
    return e->GetValue();
  }
  rtl::String ErrorOf(std::initializer_list<Token> tokens) {
    rtl::String pos;
    std::unique_ptr<TwzExpression> e(Expr(&script, tokens, &pos));
    return pos;
  }

  TwzScript script;
};

}  // namespace

TEST_F(ScriptExpressions, PrioritiesAndBrackets) {
  const Op plus{L"+"}, minus{L"-"}, mul{L"*"}, open{L"("}, close{L")"};
  EXPECT_EQ(Eval({Variant(2), plus, Variant(3), mul, Variant(4)}).AsInteger(), 14);
  EXPECT_EQ(Eval({open, Variant(2), plus, Variant(3), close, mul, Variant(4)}).AsInteger(), 20);
  EXPECT_EQ(Eval({Variant(10), minus, Variant(4), minus, Variant(3)}).AsInteger(), 3);
  EXPECT_EQ(Eval({Variant(2), mul, open, Variant(3), plus, Variant(4), close, minus, Variant(1)}).AsInteger(), 13);
  EXPECT_EQ(Eval({Variant(2), mul, Variant(3), plus, Variant(4)}).AsInteger(), 10);
  EXPECT_EQ(Eval({open, open, Variant(7), close, close}).AsInteger(), 7);
  EXPECT_EQ(Eval({Op{L"unminus"}, Variant(2), plus, Variant(5)}).AsInteger(), 3);
  EXPECT_EQ(Eval({Variant(1), Op{L"="}, Variant(3), minus, Variant(2)}).AsBoolean(), true);
  // not binds tighter than and: (not False) and False
  EXPECT_FALSE(Eval({Op{L"not"}, Variant(false), Op{L"and"}, Variant(false)}).AsBoolean());
}

TEST_F(ScriptExpressions, ArithmeticOperators) {
  struct Case {
    const wchar_t* op;
    int a, b;
    double expected;
  } cases[] = {{L"div", 7, 2, 3}, {L"/", 7, 2, 3.5}, {L"mod", 7, 2, 1}, {L"shl", 1, 4, 16}, {L"shr", 16, 2, 4},
               {L"xor", 6, 3, 5}, {L"and", 6, 3, 2}, {L"or", 6, 3, 7},  {L"-", 2, 5, -3}};
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(Eval({Variant(c.a), Op{c.op}, Variant(c.b)}).AsDouble(), c.expected) << c.op;
}

TEST_F(ScriptExpressions, StaticTypes) {
  auto* i = AddVar(script, L"i", fvtInt);
  auto* j = AddVar(script, L"j", fvtInt);
  auto* big = AddVar(script, L"big", fvtInt64);
  std::unique_ptr<TwzExpression> div(Expr(&script, {Designator(&script, i), Op{L"/"}, Designator(&script, j)}));
  EXPECT_EQ(div->Typ(), fvtFloat);
  std::unique_ptr<TwzExpression> div64(Expr(&script, {Designator(&script, big), Op{L"/"}, Designator(&script, i)}));
  EXPECT_EQ(div64->Typ(), fvtFloat);
  std::unique_ptr<TwzExpression> idiv(Expr(&script, {Designator(&script, i), Op{L"div"}, Designator(&script, j)}));
  EXPECT_EQ(idiv->Typ(), fvtInt);
  std::unique_ptr<TwzExpression> mixed(Expr(&script, {Designator(&script, i), Op{L"+"}, Variant(1.5)}));
  EXPECT_EQ(mixed->Typ(), fvtFloat);
  std::unique_ptr<TwzExpression> cmp(Expr(&script, {Designator(&script, i), Op{L"<"}, Variant(1.5)}));
  EXPECT_EQ(cmp->Typ(), fvtBool);
}

TEST_F(ScriptExpressions, TypeErrorsAreLocatedAtTheOperator) {
  // 'abc' - 1: the operator is the second token.
  EXPECT_EQ(ErrorOf({Variant(L"abc"), Op{L"-"}, Variant(1)}), L"1:2");
  EXPECT_EQ(ErrorOf({Variant(true), Op{L"+"}, Variant(1)}), L"1:2");
  EXPECT_EQ(ErrorOf({Variant(1), Op{L"+"}, Variant(2), Op{L"*"}, Variant(L"x")}), L"1:4");
  EXPECT_EQ(ErrorOf({Variant(L"a"), Op{L"+"}, Variant(L"b")}), L"");

  auto* obj = AddVar(script, L"obj", fvtClass, L"TObject");
  auto* nil = AddVar(script, L"nil", fvtVariant);
  EXPECT_EQ(ErrorOf({Designator(&script, obj), Op{L"="}, Designator(&script, nil)}), L"");
  EXPECT_EQ(ErrorOf({Designator(&script, obj), Op{L">"}, Designator(&script, nil)}), L"1:2");
}

TEST_F(ScriptExpressions, StrCatConcatenatesOnlyAfterAString) {
  EXPECT_EQ(Eval({Variant(L"a"), Op{L"strcat"}, Variant(1)}).AsString(), L"a1");
  EXPECT_EQ(Eval({Variant(1), Op{L"strcat"}, Variant(2)}).AsInteger(), 3);
}

TEST_F(ScriptExpressions, SetMembershipWithRanges) {
  const Variant one(1), three(3), five(5), nine(9);
  for (auto [value, expected] : {std::pair{7, true}, {4, false}, {9, true}, {5, true}, {1, true}, {10, false}}) {
    std::unique_ptr<TwzExpression> e(
        Expr(&script, {Variant(value), Op{L"in"}, Set(&script, {&one, &three, &five, nullptr, &nine})}));
    EXPECT_EQ(e->GetValue().AsBoolean(), expected) << value;
  }
}

TEST_F(ScriptExpressions, InOverAVariantArraySet) {
  auto* s = AddVar(script, L"s", fvtVariant);
  const Variant one(1), five(5), nine(9);
  std::unique_ptr<TwzSetExpression> set(Set(&script, {&one, &five, nullptr, &nine}));
  s->SetValue(set->GetValue());
  EXPECT_TRUE(s->GetValue().Element({2}).IsNull());
  for (auto [value, expected] : {std::pair{6, true}, {1, true}, {3, false}, {10, false}}) {
    std::unique_ptr<TwzExpression> e(Expr(&script, {Variant(value), Op{L"in"}, Designator(&script, s)}));
    EXPECT_EQ(e->GetValue().AsBoolean(), expected) << value;
  }
}

TEST_F(ScriptExpressions, BooleanShortCircuitOnlyWhenBothSidesAreBoolean) {
  const Op div{L"div"}, open{L"("}, close{L")"}, eq{L"="};
  // False and (1 div 0 = 0): both sides statically Boolean, the right side is never evaluated.
  EXPECT_FALSE(
      Eval({Variant(false), Op{L"and"}, open, Variant(1), div, Variant(0), eq, Variant(0), close}).AsBoolean());
  EXPECT_TRUE(Eval({Variant(true), Op{L"or"}, open, Variant(1), div, Variant(0), eq, Variant(0), close}).AsBoolean());
  // With a Variant on the left both sides are evaluated, and the division fails.
  auto* v = AddVar(script, L"v", fvtVariant);
  v->SetValue(Variant(false));
  EXPECT_THROW(Eval({Designator(&script, v), Op{L"and"}, open, Variant(1), div, Variant(0), eq, Variant(0), close}),
               rtl::Exception);
}

TEST_F(ScriptExpressions, DivisionByZeroIsAnError) {
  EXPECT_THROW(Eval({Variant(1), Op{L"div"}, Variant(0)}), rtl::Exception);
  EXPECT_THROW(Eval({Variant(1), Op{L"mod"}, Variant(0)}), rtl::Exception);
  EXPECT_THROW(Eval({Variant(1), Op{L"/"}, Variant(0)}), rtl::Exception);
}

TEST_F(ScriptExpressions, NullComparisons) {
  EXPECT_TRUE(Eval({Variant::Null(), Op{L"<"}, Variant(1)}).AsBoolean());
  EXPECT_FALSE(Eval({Variant::Null(), Op{L"<"}, Variant::Null()}).AsBoolean());
  EXPECT_TRUE(Eval({Variant::Null(), Op{L"="}, Variant::Null()}).AsBoolean());
  EXPECT_TRUE(Eval({Variant::Null(), Op{L"<>"}, Variant(0)}).AsBoolean());
}

TEST_F(ScriptExpressions, MalformedBuildsRaiseInsteadOfCrashing) {
  TwzExpression e(&script);
  e.AddConst(Variant(1));
  EXPECT_THROW(e.AddOperator(L")"), EwzScriptError);
  EXPECT_THROW(e.AddOperator(L"?"), EwzScriptError);
  TwzExpression empty(&script);
  EXPECT_EQ(empty.Finalize(), L"");
  EXPECT_TRUE(empty.GetValue().IsNull());
}

TEST_F(ScriptExpressions, CompoundAssignmentRewrite) {
  auto* x = AddVar(script, L"x", fvtInt);
  auto* s = AddVar<TwzStringVariable>(script, L"s", fvtString);
  auto* x2 = Designator(&script, x);
  {  // x := x + 1
    std::unique_ptr<TwzExpression> e(Expr(&script, {Designator(&script, x), Op{L"+"}, Variant(1)}));
    EXPECT_EQ(e->Optimize(x2), L'+');
    EXPECT_EQ(e->GetValue().AsInteger(), 1);
  }
  {  // x := 2 * x
    std::unique_ptr<TwzExpression> e(Expr(&script, {Variant(2), Op{L"*"}, Designator(&script, x)}));
    EXPECT_EQ(e->Optimize(x2), L'*');
  }
  {  // x := 5 - x stays
    std::unique_ptr<TwzExpression> e(Expr(&script, {Variant(5), Op{L"-"}, Designator(&script, x)}));
    EXPECT_EQ(e->Optimize(x2), L' ');
  }
  {  // s := 'a' + s stays
    auto* s2 = Designator(&script, s);
    std::unique_ptr<TwzExpression> e(Expr(&script, {Variant(L"a"), Op{L"+"}, Designator(&script, s)}));
    EXPECT_EQ(e->Optimize(s2), L' ');
    delete s2;
  }
  delete x2;
}

TEST_F(ScriptExpressions, SingleItemAndWriteThrough) {
  auto* x = AddVar(script, L"x", fvtInt);
  std::unique_ptr<TwzExpression> e(Expr(&script, {Designator(&script, x)}));
  EXPECT_EQ(e->SingleItem(), x);
  EXPECT_FALSE(e->IsReadOnly());
  e->SetValue(Variant(L"8"));
  EXPECT_EQ(x->GetValue().AsInteger(), 8);

  std::unique_ptr<TwzExpression> c(Expr(&script, {Variant(3)}));
  ASSERT_NE(c->SingleItem(), nullptr);
  EXPECT_EQ(c->SingleItem()->GetValue().AsInteger(), 3);
  EXPECT_TRUE(c->IsReadOnly());
  std::unique_ptr<TwzExpression> sum(Expr(&script, {Variant(3), Op{L"+"}, Variant(4)}));
  EXPECT_EQ(sum->SingleItem(), nullptr);
}

TEST_F(ScriptExpressions, UnclosedBracketStandsForItsContents) {
  EXPECT_EQ(Eval({Op{L"("}, Variant(1), Op{L"+"}, Variant(2)}).AsInteger(), 3);
  EXPECT_EQ(ErrorOf({Op{L"("}, Variant(1), Op{L"+"}, Variant(2)}), L"");
}
