// Faults found by running the engine from outside, each kept out: arrays of String and Char, R++Aradod void
// functions, constructors reached through an ancestor's Create, paths that start at a function result, the evaluation
// cache after the objects or items it was bound to change, the empty field reference, SetLength on a
// two-dimensional array, Boolean properties holding Null, and writing Variables for a name nobody registered.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/component.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_hostclasses.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace wzfaulttest {

class TFaultTally : public rtl::TPersistent {
  VCL_CLASS(TFaultTally, rtl::TPersistent)
 public:
  int Count = 0;
};
VCL_REGISTER(TFaultTally) { cls.Prop(L"Count", &TFaultTally::Count); }

class TMarker : public rtl::TPersistent {
  VCL_CLASS(TMarker, rtl::TPersistent)
 public:
  String Text = L"marker";
};
VCL_REGISTER(TMarker) { cls.Prop(L"Text", &TMarker::Text); }

// A component whose constructor is registered once, on the base; the derived classes have none of their own.
class TThing : public vcl::TComponent {
  VCL_CLASS(TThing, vcl::TComponent)
 public:
  explicit TThing(vcl::TComponent* owner) : vcl::TComponent(owner) {}
  String Made = L"thing";
};
VCL_REGISTER(TThing) { cls.Prop(L"Made", &TThing::Made); }

class TSpecialThing : public TThing {
  VCL_CLASS(TSpecialThing, TThing)
 public:
  explicit TSpecialThing(vcl::TComponent* owner) : TThing(owner) { Made = L"special"; }
};
VCL_REGISTER(TSpecialThing) {}

}  // namespace wzfaulttest

using namespace wzfaulttest;

namespace {

const wchar_t* const kPascal = L"ZuvizaVuruze";
const wchar_t* const kCpp = L"R++Aradod";
const wchar_t* const kBasic = L"DizizOzazoz";
const wchar_t* const kJs = L"JScript";

class RuntimeFaults : public ::testing::Test {
 protected:
  RuntimeFaults() {
    script.AddRTTI();
    script.SetAddedBy(this);
    script.AddMethod(L"procedure Print(v: Variant)",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                       return Variant::Null();
                     });
    script.AddMethod(L"function MakeTally: Variant",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                       ++made;
                       return Variant::FromObject(&tally);
                     });
    script.AddMethod(L"function Get(Name: String): Variant",
                     [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       return Variant(L"[" + caller->GetVParam(0).AsString() + L"]");
                     });
    tallyClass = script.AddClass(TFaultTally::StaticClass(), L"TPersistent");
    tallyClass->AddMethod(L"function Describe: String",
                          [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                            return Variant(L"tally " + rtl::IntToStr(static_cast<TFaultTally*>(instance)->Count));
                          });
    tallyClass->AddDefaultProperty(
        L"Times", L"Integer", L"Integer",
        [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
          return Variant(static_cast<TFaultTally*>(instance)->Count * caller->GetVParam(0).AsInteger());
        },
        true);
    tallyClass->AddProperty(L"Flag", L"Boolean",
                            [this](rtl::TObject*, const vcl::TClassInfo*, const String&) { return flagValue; });
    TwzClassVariable* markerClass = script.AddClass(TMarker::StaticClass(), L"TPersistent");
    markerClass->AddMethod(L"function Describe: String",
                           [](rtl::TObject* instance, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                             return Variant(L"marker " + static_cast<TMarker*>(instance)->Text);
                           });
    script.AddObject(L"Tally", &tally);
    script.AddVariable(L"V", L"Variant", Variant::FromObject(&tally));
    script.SetAddedBy(nullptr);
  }

  String Run(const wchar_t* language, const String& text) {
    out.clear();
    script.ClearItems(nullptr);
    script.SetSyntaxType(language);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg() + L" at " + script.ErrorPos();
    script.Execute();
    return out;
  }

  TFaultTally tally;
  TMarker marker;
  TwzScript script;
  TwzClassVariable* tallyClass = nullptr;
  Variant flagValue = Variant(0);
  String out;
  int made = 0;
};

struct Case {
  const wchar_t* language;
  const wchar_t* source;
  const wchar_t* result;
};

TEST_F(RuntimeFaults, ArraysOfStringAndCharAreArrays) {
  const Case cases[] = {
      {kPascal,
       L"var a: array[1..2] of String; begin a[1] := 'x'; a[2] := 'yz'; Print(a[1] + a[2]); Print(a[2][2]) "
       L"end.",
       L"xyz;z;"},
      {kPascal,
       L"var c: array[0..2] of Char; i: Integer; begin for i := 0 to 2 do c[i] := Chr(65 + i); "
       L"Print(c[0] + c[1] + c[2]) end.",
       L"ABC;"},
      {kPascal, L"var m: array[1..2, 1..2] of String; begin m[2, 1] := 'two-one'; Print(m[2, 1]) end.", L"two-one;"},
      // A plain String variable still indexes its characters.
      {kPascal, L"var s: String; begin s := 'abc'; Print(s[2]) end.", L"b;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.language, c.source), c.result) << c.source;
}

TEST_F(RuntimeFaults, VoidFunctionsOfRppAradodAreProcedures) {
  const Case cases[] = {
      {kCpp, L"void P() { Print(1); } { P(); }", L"1;"},
      // A procedure has no Result of its own, so a local may take the name.
      {kCpp, L"void P() { int Result; Result = 3; Print(Result); } { P(); }", L"3;"},
      {kCpp, L"void P() { return 5; } { P(); }", L"compile error: Undeclared identifier: 'Result' at 1:19"},
      {kCpp, L"VOID P() { Print(2); } { P(); }", L"2;"},
      // Other result types still make functions, through the aliases.
      {kCpp, L"int F() { return 5; } { Print(F()); }", L"5;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.language, c.source), c.result) << c.source;
}

TEST_F(RuntimeFaults, ConstructorThroughAnAncestorBuildsTheClassTheScriptNamed) {
  const vcl::TClassInfo* seen = nullptr;
  rtl::TObject* seenInstance = nullptr;
  vcl::TComponent owner(nullptr);
  script.SetAddedBy(this);
  // Known already when the class bindings are registered.
  script.AddClass(vcl::TComponent::StaticClass(), L"TPersistent");
  TwzClassVariable* thing = script.AddClass(TThing::StaticClass(), L"TComponent");
  ASSERT_NE(thing, nullptr);
  thing->AddConstructor(
      L"constructor Create(AOwner: TComponent)",
      [&](rtl::TObject* instance, const vcl::TClassInfo* cls, const String&, TwzMethodHelper* caller) {
        seen = caller->ConstructedClass();
        seenInstance = instance;
        EXPECT_EQ(cls, TThing::StaticClass());
        if (auto* o = dynamic_cast<vcl::TComponent*>(caller->GetVParam(0).AsObject()))
          o->InsertComponent(static_cast<vcl::TComponent*>(instance));
        return Variant::FromObject(instance);
      });
  script.AddClass(TSpecialThing::StaticClass(), L"TThing");
  script.AddObject(L"Owner", &owner);
  script.AddVariable(L"Made", L"Variant", Variant(0));
  script.SetAddedBy(nullptr);

  EXPECT_EQ(Run(kPascal, L"begin Made := TSpecialThing.Create(Owner); Print(TSpecialThing(Made).Made) end."),
            L"special;");
  EXPECT_EQ(seen, TSpecialThing::StaticClass());
  ASSERT_NE(dynamic_cast<TSpecialThing*>(seenInstance), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), seenInstance);

  // The class the constructor is registered on still builds itself.
  EXPECT_EQ(Run(kJs, L"Made = new TThing(Owner); Print(Made.Made);"), L"thing;");
  EXPECT_EQ(seen, TThing::StaticClass());
  EXPECT_EQ(owner.ComponentCount(), 2);
}

// A handler that builds its own object (or fails) leaves the instance it was given unused: nothing leaks, nothing
// half-made stays behind.
TEST_F(RuntimeFaults, ConstructorHandlerThatBuildsItsOwnOrFailsFreesTheGivenInstance) {
  script.SetAddedBy(this);
  TwzClassVariable* thing = script.AddClass(TThing::StaticClass(), L"TComponent");
  thing->AddConstructor(L"constructor Create(Fail: Boolean)",
                        [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) -> Variant {
                          if (caller->GetVParam(0).AsBoolean()) throw rtl::EConvertError(L"refused");
                          return Variant::FromObject(new TThing(nullptr));
                        });
  script.AddVariable(L"Made", L"Variant", Variant(0));
  script.SetAddedBy(nullptr);
  EXPECT_EQ(Run(kPascal, L"begin Made := TThing.Create(False); Print(TThing(Made).Made) end."), L"thing;");
  std::unique_ptr<rtl::TObject> own(script.GetVariable(L"Made").AsObject());
  EXPECT_EQ(Run(kPascal, L"begin try TThing.Create(True) except Print(ExceptionMessage) end end."), L"refused;");
}

TEST_F(RuntimeFaults, PathsStartingAtAFunctionResultRun) {
  tally.Count = 4;
  const Case cases[] = {
      {kPascal,
       L"begin Print(MakeTally.Count); MakeTally.Count := 6; Print(Tally.Count); Print(MakeTally.Describe); "
       L"Print(MakeTally[2]) end.",
       L"4;6;tally 6;12;"},
      {kPascal, L"function Make: Variant; begin Result := Tally end; begin Print(Make.Describe) end.", L"tally 6;"},
      {kJs, L"Print(MakeTally().Count + 1);", L"7;"},
      {kBasic, L"Print(MakeTally().Describe)", L"tally 6;"},
      {kCpp, L"{ Print(MakeTally().Count); }", L"6;"},
      {kPascal,
       L"function Nothing: Variant; begin Result := nil end; begin try Print(Nothing.Count) except "
       L"Print(ExceptionClassName) end end.",
       L"EwzScriptError;"},
      {kPascal, L"begin try Print(MakeTally.Missing) except Print(ExceptionMessage) end end.",
       L"Undeclared identifier: 'Missing';"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.language, c.source), c.result) << c.source;
  // The function runs once per use of the path, never at compile time.
  made = 0;
  EXPECT_EQ(Run(kPascal, L"begin Print(MakeTally.Count) end."), L"6;");
  EXPECT_EQ(made, 1);
}

TEST_F(RuntimeFaults, PathsStartingAtAnAutomationResultRun) {
  EXPECT_EQ(Run(kPascal, L"begin Print(CreateOleObject('Scripting.Dictionary').Count) end."), L"0;");
  EXPECT_EQ(Run(kJs, L"CreateOleObject(\"Scripting.Dictionary\").Add(\"a\", 1); Print(\"done\");"), L"done;");
}

TEST_F(RuntimeFaults, EvaluationFollowsTheClassOfWhatAVariantHolds) {
  tally.Count = 2;
  EXPECT_EQ(script.Evaluate(L"V.Describe").AsString(), L"tally 2");
  script.SetVariable(L"V", Variant::FromObject(&marker));
  EXPECT_EQ(script.Evaluate(L"V.Describe").AsString(), L"marker marker");
  TFaultTally other;
  other.Count = 9;
  script.SetVariable(L"V", Variant::FromObject(&other));
  EXPECT_EQ(script.Evaluate(L"V.Describe").AsString(), L"tally 9");
  // A value of another kind altogether: a text is indexed.
  script.SetVariable(L"V", Variant(L"xyz"));
  EXPECT_EQ(script.Evaluate(L"V[2]").AsString(), L"y");
}

TEST_F(RuntimeFaults, EvaluationDropsCodeBoundToFreedParentItems) {
  TwzScript parent;
  parent.AddRTTI();
  const int owner = 0;
  parent.SetAddedBy(&owner);
  parent.AddVariable(L"n", L"Integer", Variant(5));
  parent.SetAddedBy(nullptr);
  TwzScript child;
  child.SetParent(&parent);
  EXPECT_EQ(child.Evaluate(L"n").AsInteger(), 5);
  EXPECT_EQ(child.Evaluate(L"n").AsInteger(), 5);
  // The parent frees the variable the kept code reads and registers another of that name.
  parent.RemoveItems(&owner);
  parent.AddVariable(L"n", L"String", Variant(L"abc"));
  EXPECT_EQ(child.Evaluate(L"n").AsString(), L"abc");
  // A parent chain that changes is a different scope too.
  TwzScript other;
  other.AddRTTI();
  other.AddVariable(L"n", L"Integer", Variant(40));
  child.SetParent(&other);
  EXPECT_EQ(child.Evaluate(L"n").AsInteger(), 40);
}

TEST_F(RuntimeFaults, EmptyFieldReferenceIsGetOfTheEmptyText) {
  const Case cases[] = {
      // A quote inside the reference stays part of the text Get receives.
      {kPascal, L"begin Print(<>); Print(<ds.name>); Print(<ds.\"it's\">) end.", L"[];[ds.name];[ds.\"it's\"];"},
      {kCpp, L"{ Print(<>); Print(<a>); }", L"[];[a];"},
      {kBasic, L"Print(<>)\r\nPrint(<b>)", L"[];[b];"},
      {kJs, L"Print(<>); Print(<c>);", L"[];[c];"},
      // The comparison operator is untouched.
      {kPascal, L"begin Print(1 <> 2) end.", L"True;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.language, c.source), c.result) << c.source;
}

TEST_F(RuntimeFaults, SetLengthChangesTheFirstDimension) {
  EXPECT_EQ(Run(kPascal,
                L"var a: Variant; begin a := VarArrayCreate([0, 1, 0, 2], varVariant); a[1, 2] := 'k'; "
                L"SetLength(a, 4); Print(Length(a)); Print(a[1, 2]); a[3, 2] := 'z'; Print(a[3, 2]); "
                L"SetLength(a, 1); Print(Length(a)) end."),
            L"4;k;z;1;");
}

TEST_F(RuntimeFaults, BooleanPropertyHoldingNullReadsAsDifferentFromZero) {
  const struct {
    Variant value;
    const wchar_t* printed;
  } cases[] = {{Variant::Null(), L"True;"},
               {Variant(0), L"False;"},
               {Variant(2), L"True;"},
               {Variant(false), L"False;"},
               {Variant::Unassigned(), L"False;"}};
  for (const auto& c : cases) {
    flagValue = c.value;
    EXPECT_EQ(Run(kPascal, L"begin Print(Tally.Flag) end."), c.printed);
  }
}

class TRecordingScript : public TwzScript {
 public:
  void AddVariable(const String& name, const String& typ, const Variant& value) override {
    added += name + L":" + typ + L";";
    TwzScript::AddVariable(name, typ, value);
  }
  String added;
};

TEST(RuntimeFaultsRegistration, WritingAnUnknownVariableGoesThroughAddVariable) {
  TRecordingScript script;
  script.AddRTTI();
  script.added.clear();
  script.SetVariable(L"Fresh", Variant(7));
  EXPECT_EQ(script.added, L"Fresh:Variant;");
  EXPECT_EQ(script.GetVariable(L"Fresh").AsInteger(), 7);
  script.SetVariable(L"Fresh", Variant(L"x"));
  EXPECT_EQ(script.added, L"Fresh:Variant;");
  EXPECT_EQ(script.GetVariable(L"fresh").AsString(), L"x");
}

}  // namespace
