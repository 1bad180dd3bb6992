// Script items: typed assignment, helpers for strings and arrays, procedures with their local scope.
#include <gtest/gtest.h>

#include "platform/rtl/strings.h"
#include "runtime_builders.h"

using rtl::Variant;
using namespace wztest;

TEST(ScriptItems, IntegerVariableConvertsByItsType) {
  TwzVariable v(L"i", fvtInt, L"");
  EXPECT_TRUE(v.GetValue().IsNull());
  v.SetValue(Variant(L"12"));
  EXPECT_EQ(v.GetValue().VarType(), rtl::varInteger);
  EXPECT_EQ(v.GetValue().AsInteger(), 12);
  EXPECT_THROW(v.SetValue(Variant(L"twelve")), rtl::Exception);
  EXPECT_EQ(v.GetValue().AsInteger(), 12);
}

TEST(ScriptItems, StringAndInt64AndBooleanVariables) {
  TwzVariable s(L"s", fvtString, L"");
  s.SetValue(Variant(12));
  EXPECT_EQ(s.GetValue().VarType(), rtl::varUString);
  EXPECT_EQ(s.GetValue().AsString(), L"12");

  TwzVariable big(L"b", fvtInt64, L"");
  big.SetValue(Variant(L"4294967296"));
  EXPECT_EQ(big.GetValue().VarType(), rtl::varInt64);
  EXPECT_EQ(big.GetValue().AsInt64(), 4294967296LL);

  TwzVariable flag(L"f", fvtBool, L"");
  flag.SetValue(Variant(1));
  EXPECT_EQ(flag.GetValue().VarType(), rtl::varBoolean);
  EXPECT_TRUE(flag.GetValue().AsBoolean());
}

TEST(ScriptItems, FloatVariableKeepsDateTimes) {
  TwzVariable f(L"f", fvtFloat, L"");
  f.SetValue(Variant::FromDate(45000.5));
  EXPECT_EQ(f.GetValue().VarType(), rtl::varDate);
  f.SetValue(Variant(3));
  EXPECT_EQ(f.GetValue().VarType(), rtl::varDouble);
  EXPECT_DOUBLE_EQ(f.GetValue().AsDouble(), 3.0);
}

TEST(ScriptItems, ReadOnlyItemsIgnoreAssignment) {
  TwzVariable c(L"c", fvtInt, L"");
  c.SetValue(Variant(5));
  c.SetIsReadOnly(true);
  c.SetValue(Variant(6));
  EXPECT_EQ(c.GetValue().AsInteger(), 5);
}

TEST(ScriptItems, GetVarValueHookWinsUnlessNull) {
  TwzVariable v(L"v", fvtVariant, L"");
  v.SetValue(Variant(1));
  v.SetOnGetVarValue([](const rtl::String& name, TwzVarType, const Variant& old) {
    return name == L"v" && old.AsInteger() == 1 ? Variant(L"hooked") : Variant::Null();
  });
  EXPECT_EQ(v.GetValue().AsString(), L"hooked");
  v.SetValue(Variant(2));
  EXPECT_EQ(v.GetValue().AsInteger(), 2);
}

TEST(ScriptItems, UpperCaseNameIgnoresTheTurkishLocale) {
  TwzVariable v(L"Items", fvtVariant, L"");
  EXPECT_EQ(v.UppercaseName(), L"ITEMS");
  EXPECT_TRUE(wzSameName(L"Items", L"ITEMS"));
  EXPECT_TRUE(wzSameName(L"index", L"INDEX"));
}

TEST(ScriptItems, FullTypeNames) {
  EXPECT_EQ(TwzVariable(L"a", fvtFloat, L"").GetFullTypeName(), L"Extended");
  EXPECT_EQ(TwzVariable(L"a", fvtClass, L"TButton").GetFullTypeName(), L"TButton");
  EXPECT_EQ(TwzVariable(L"a", fvtConstructor, L"").GetFullTypeName(), L"Variant");
  EXPECT_EQ(TwzVariable(L"a", fvtInt64, L"").GetFullTypeName(), L"Int64");
}

TEST(ScriptItems, StringHelperReadsAndWritesOneCharacter) {
  TwzStringVariable s(L"s", fvtString, L"");
  s.SetValue(Variant(L"abcd"));
  TwzStringHelper h;
  h.SetParentRef(&s);
  h.SetParentValue(s.GetValue());
  h.Params(0)->SetValue(Variant(2));
  EXPECT_EQ(h.GetValue().AsString(), L"b");
  h.SetValue(Variant(L"xy"));
  EXPECT_EQ(s.GetValue().AsString(), L"axcd");
}

TEST(ScriptItems, StringHelperRejectsIndexesOutsideTheText) {
  TwzStringVariable s(L"s", fvtString, L"");
  s.SetValue(Variant(L"abc"));
  TwzStringHelper h;
  h.SetParentRef(&s);
  h.SetParentValue(s.GetValue());
  for (int index : {0, 4, -1}) {
    h.Params(0)->SetValue(Variant(index));
    EXPECT_THROW(h.GetValue(), EwzScriptError) << index;
    EXPECT_THROW(h.SetValue(Variant(L"z")), EwzScriptError) << index;
  }
  EXPECT_EQ(s.GetValue().AsString(), L"abc");
  h.SetParentValue(Variant(L""));
  h.Params(0)->SetValue(Variant(1));
  EXPECT_THROW(h.GetValue(), EwzScriptError);
}

TEST(ScriptItems, ArrayHelperOfTheStandardFunctions) {
  TwzArrayHelper helper(L"__ArrayHelper", -1, fvtVariant, L"");
  EXPECT_EQ(helper.Count(), 3);
  EXPECT_EQ(helper.GetNumberOfRequiredParams(), 1);

  TwzVariable a(L"a", fvtVariant, L"");
  a.SetValue(rtl::VarArrayCreate({0, 2, 1, 3}, rtl::varVariant));
  helper.SetParentRef(&a);
  helper.Params(0)->SetValue(Variant(2));
  helper.Params(1)->SetValue(Variant(3));
  helper.SetValue(Variant(L"x"));
  EXPECT_EQ(a.GetValue().Element({2, 3}).AsString(), L"x");
  EXPECT_EQ(helper.GetValue().AsString(), L"x");
  helper.Params(0)->SetValue(Variant(5));
  EXPECT_THROW(helper.GetValue(), rtl::EVariantError);
  EXPECT_THROW(helper.SetValue(Variant(1)), rtl::EVariantError);
}

TEST(ScriptItems, ArrayHelperOnANonArrayIsAScriptError) {
  TwzArrayHelper helper(L"__ArrayHelper", -1, fvtVariant, L"");
  TwzVariable a(L"a", fvtVariant, L"");
  a.SetValue(Variant(7));
  helper.SetParentRef(&a);
  helper.SetParentValue(Variant(7));
  helper.Params(0)->SetValue(Variant(0));
  EXPECT_THROW(helper.GetValue(), rtl::Exception);
}

namespace {

// function Fact(n: Integer): Integer; begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1) end;
TwzProcVariable* BuildFactorial(TwzScript& script) {
  auto* fact = new TwzProcVariable(L"Fact", fvtInt, L"", &script, true);
  script.Add(L"Fact", fact);
  auto* n = new TwzParamItem(L"n", fvtInt, L"", false, false);
  fact->AddParam(n);
  TwzScript* local = fact->Prog();
  auto* result = fact->RefItem();

  auto* ifs = new TwzIfStmt(local, L"", L"2:1");
  ifs->SetCondition(Expr(local, {Designator(local, n), Op{L"<="}, Variant(1)}));
  ifs->Add(Assign(local, Designator(local, result), Const(local, Variant(1))));
  auto* call = Designator(local, {{fact, {Expr(local, {Designator(local, n), Op{L"-"}, Variant(1)})}}});
  ifs->ElseStmt()->Add(Assign(local, Designator(local, result), Expr(local, {Designator(local, n), Op{L"*"}, call})));
  local->Statement()->Add(ifs);
  return fact;
}

}  // namespace

TEST(ScriptItems, RecursiveFunctionKeepsEachLevelsParameter) {
  TwzScript script;
  TwzProcVariable* fact = BuildFactorial(script);
  for (auto [n, expected] : {std::pair{1, 1}, {3, 6}, {5, 120}, {10, 3628800}}) {
    fact->Params(0)->SetValue(Variant(n));
    EXPECT_EQ(fact->GetValue().AsInteger(), expected) << n;
    EXPECT_FALSE(fact->Executing());
  }
}

TEST(ScriptItems, FunctionWithoutResultAssignmentAndProcedureResults) {
  TwzScript script;
  TwzProcVariable f(L"f", fvtVariant, L"", &script, true);
  f.RefItem()->SetValue(Variant(42));  // a value left over from an earlier call
  EXPECT_TRUE(f.GetValue().IsEmpty());

  TwzProcVariable g(L"g", fvtInt, L"", &script, true);
  EXPECT_EQ(g.GetValue().AsInteger(), 0);

  TwzProcVariable p(L"p", fvtVariant, L"", &script, false);
  EXPECT_TRUE(p.GetValue().IsNull());
  EXPECT_TRUE(p.IsReadOnly());
}

TEST(ScriptItems, ProcedureRunsInItsLocalScopeAndRestoresProgRunning) {
  TwzScript script;
  script.SetMainProg(true);
  TwzScript* running = nullptr;
  TwzScript* sender = nullptr;
  script.SetOnRunLine([&](TwzScript* s, const rtl::String&, const rtl::String&) {
    running = script.ProgRunning();
    sender = s;
  });
  TwzProcVariable p(L"p", fvtVariant, L"", &script, false);
  p.Prog()->Statement()->Add(new TwzExitStmt(p.Prog(), L"", L"3:1"));
  p.GetValue();
  EXPECT_EQ(running, p.Prog());
  EXPECT_EQ(sender, p.Prog());
  EXPECT_EQ(script.ProgRunning(), nullptr);
  EXPECT_FALSE(p.Prog()->ExitCalled);
  EXPECT_FALSE(p.Prog()->IsRunning());
}

TEST(ScriptItems, ProcedureParametersAreFoundInTheLocalScopeAndFreedOnce) {
  TwzScript script;
  auto* p = new TwzProcVariable(L"p", fvtVariant, L"", &script, false);
  script.Add(L"p", p);
  p->AddParam(new TwzParamItem(L"x", fvtInt, L"", false, false));
  EXPECT_EQ(p->Prog()->FindLocal(L"X"), p->Params(0));
  EXPECT_EQ(p->Prog()->Find(L"p"), p);  // through the parent
  // Destroying the program destroys the procedure, its parameters and its local program exactly once.
}

TEST(ScriptItems, RegistryFindsNamesWithOrdinalCaseRulesAndNewestFirst) {
  TwzScript script;
  const wchar_t* names[] = {L"ax", L"_x", L"Zeta", L"Çarşı", L"item", L"Items", L"ÖZEL"};
  for (const wchar_t* n : names) script.Add(n, new TwzVariable(n, fvtVariant, L""));
  for (const wchar_t* n : names) {
    ASSERT_NE(script.FindLocal(n), nullptr) << n;
    EXPECT_EQ(script.FindLocal(n)->Name(), n);
  }
  auto found = [&](const wchar_t* n) {
    TwzCustomVariable* v = script.FindLocal(n);
    return v ? v->Name() : rtl::String(L"<none>");
  };
  EXPECT_EQ(found(L"ITEMS"), L"Items");
  EXPECT_EQ(found(L"ITEM"), L"item");
  EXPECT_EQ(found(L"çARŞı"), L"Çarşı");
  EXPECT_EQ(found(L"özel"), L"ÖZEL");
  // Dotless and dotted i are different letters under the ordinal rules, whatever the user's locale.
  EXPECT_EQ(found(L"ÇARŞI"), L"<none>");
  EXPECT_EQ(script.FindLocal(L"missing"), nullptr);

  auto* newer = new TwzVariable(L"AX", fvtInt, L"");
  script.Add(L"AX", newer);
  EXPECT_EQ(script.FindLocal(L"ax"), newer);

  TwzScript child;
  child.SetParent(&script);
  EXPECT_EQ(child.Find(L"zeta")->Name(), L"Zeta");
  EXPECT_TRUE(child.GetVariable(L"nothing").IsNull());
  child.SetVariable(L"fresh", Variant(7));
  EXPECT_EQ(child.FindLocal(L"FRESH")->GetValue().AsInteger(), 7);
  EXPECT_EQ(script.FindLocal(L"fresh"), nullptr);
}

// A registry filled in bulk, as the binding modules fill one, reads as one filled entry by entry: in name order, the
// newest of equal names first, whether it came in the same run of registrations or long after the older one.
TEST(ScriptItems, RegistryFilledInBulkKeepsNameOrderAndNewestFirst) {
  TwzScript script;
  auto add = [&](const rtl::String& n) {
    auto* v = new TwzVariable(n, fvtVariant, L"");
    script.Add(n, v);
    return v;
  };
  TwzVariable* oldest = add(L"Dup");
  for (int i = 0; i < 300; ++i) add(L"n" + rtl::IntToStr((i * 7919) % 300));
  TwzVariable* again = add(L"DUP");
  EXPECT_EQ(script.FindLocal(L"dup"), again);
  TwzVariable* third = add(L"dUp");
  for (int i = 0; i < 200; ++i) add(L"m" + rtl::IntToStr(i));
  EXPECT_EQ(script.FindLocal(L"DUP"), third);
  TwzVariable* last = nullptr;
  for (int i = 0; i < 3; ++i) last = add(L"dup");
  EXPECT_EQ(script.FindLocal(L"Dup"), last);
  ASSERT_EQ(script.Count(), 1 + 300 + 2 + 200 + 3);
  for (int i = 0; i + 1 < script.Count(); ++i)
    ASSERT_LE(wzCompareNames(script.ItemName(i), script.ItemName(i + 1)), 0) << i;
  std::vector<rtl::TObject*> dups;
  for (int i = 0; i < script.Count(); ++i)
    if (wzSameName(script.ItemName(i), L"dup")) dups.push_back(script.Items(i));
  ASSERT_EQ(dups.size(), 6u);
  EXPECT_EQ(dups.front(), last);
  EXPECT_EQ(dups[3], third);
  EXPECT_EQ(dups[4], again);
  EXPECT_EQ(dups.back(), oldest);
  for (int i = 0; i < 300; ++i) ASSERT_NE(script.FindLocal(L"N" + rtl::IntToStr(i)), nullptr) << i;
}

// The comparison stops at the first difference; texts beyond ASCII fall back to the invariant rules whole.
TEST(ScriptItems, NameComparisonOrdersAsciiAndBeyond) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
  } cases[] = {
      {L"abc", L"ABC", 0},   {L"abc", L"abd", -1}, {L"abd", L"ABC", 1},   {L"ab", L"abc", -1},
      {L"abc", L"ab", 1},    {L"", L"", 0},        {L"a_", L"A_", 0},     {L"a[", L"A{", -1},
      {L"Ça", L"çA", 0},     {L"xÇ", L"xD", 1},    {L"Az", L"bÇ", -1},    {L"özel", L"ÖZEL", 0},
      {L"ab", L"abÇ", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wzCompareNames(c.a, c.b), c.expected) << rtl::String(c.a) << L" / " << c.b;
    EXPECT_EQ(wzCompareNames(c.b, c.a), -c.expected) << rtl::String(c.b) << L" / " << c.a;
    EXPECT_EQ(wzSameName(c.a, c.b), c.expected == 0);
  }
}
