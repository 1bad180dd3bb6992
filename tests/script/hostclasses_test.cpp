// Host classes: published properties through the class registry, handler members, index properties,
// constructors, casts, and the declaration parser they are registered with.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/typinfo.h"
#include "runtime_builders.h"
#include "script/wz_hostclasses.h"
#include "script/wz_hostclasses_syntax.h"

using rtl::String;
using rtl::Variant;
using namespace wztest;

namespace wzhosttest {

class TProbe : public rtl::TPersistent {
  VCL_CLASS(TProbe, rtl::TPersistent)
public:
  bool Active = false;
  int Count = 0;
  String Caption;
  double Ratio = 0;
  vcl::TNotifyEvent OnChange;
};

class TProbeChild : public TProbe {
  VCL_CLASS(TProbeChild, TProbe)
public:
  rtl::Int64 Big = 0;
};

class TOther : public rtl::TPersistent {
  VCL_CLASS(TOther, rtl::TPersistent)
};

VCL_REGISTER(TProbe) {
  cls.Prop(L"Active", &TProbe::Active);
  cls.Prop(L"Count", &TProbe::Count);
  cls.Prop(L"Caption", &TProbe::Caption);
  cls.Prop(L"Ratio", &TProbe::Ratio);
  cls.Prop(L"OnChange", &TProbe::OnChange);
}

VCL_REGISTER(TProbeChild) { cls.Prop(L"Big", &TProbeChild::Big); }

VCL_REGISTER(TOther) {}

}  // namespace wzhosttest

using wzhosttest::TOther;
using wzhosttest::TProbe;
using wzhosttest::TProbeChild;

namespace {

// A notify-event adapter as the binding modules provide them: Sender goes into parameter 0.
class TTestNotifyAdapter : public TwzCustomEvent {
public:
  using TwzCustomEvent::TwzCustomEvent;
  bool Hook(vcl::TEventBase& event) override {
    auto* e = dynamic_cast<vcl::TNotifyEvent*>(&event);
    if (!e) return false;
    e->Bind(this, &TTestNotifyAdapter::DoEvent);
    return true;
  }
  void DoEvent(rtl::TObject* sender) {
    FHandler->Params(0)->SetValue(Variant::FromObject(sender));
    FHandler->GetValue();
  }
};

class ScriptHostClasses : public ::testing::Test {
protected:
  ScriptHostClasses() {
    for (auto [name, typ] : {std::pair{L"Integer", fvtInt},
                             {L"String", fvtString},
                             {L"Variant", fvtVariant},
                             {L"Boolean", fvtBool},
                             {L"Int64", fvtInt64},
                             {L"Constructor", fvtConstructor}})
      script.Add(name, new TwzTypeVariable(name, typ));
    probeClass = new TwzClassVariable(TProbe::StaticClass(), L"TPersistent");
    probeClass->SetProgram(&script);
    script.Add(probeClass->Name(), probeClass);
    childClass = new TwzClassVariable(TProbeChild::StaticClass(), L"TProbe");
    childClass->SetProgram(&script);
    script.Add(childClass->Name(), childClass);
  }

  // obj.<member> as a designator over a variable holding the object.
  TwzDesignator* Member(TwzVariable* objVar, TwzCustomVariable* member, std::vector<TwzCustomExpression*> args = {}) {
    return Designator(&script, {{objVar}, {member, args}});
  }

  TwzScript script;
  TwzClassVariable* probeClass;
  TwzClassVariable* childClass;
};

}  // namespace

TEST_F(ScriptHostClasses, PublishedPropertiesAreListedSortedWithTheirTypes) {
  std::vector<String> names;
  for (int i = 0; i < probeClass->MembersCount(); ++i) names.push_back(probeClass->Members(i)->Name());
  EXPECT_EQ(names, (std::vector<String>{L"Active", L"Caption", L"Count", L"Ratio"}));
  EXPECT_EQ(probeClass->Find(L"ACTIVE")->Typ(), fvtBool);
  EXPECT_EQ(probeClass->Find(L"caption")->Typ(), fvtString);
  EXPECT_EQ(probeClass->Find(L"Ratio")->Typ(), fvtFloat);
  EXPECT_EQ(childClass->Find(L"Big")->Typ(), fvtInt64);
  // Inherited through the ancestor's class item.
  EXPECT_NE(childClass->Find(L"Count"), nullptr);
  EXPECT_EQ(childClass->Find(L"Nothing"), nullptr);
}

TEST_F(ScriptHostClasses, PublishedPropertiesReadAndWriteThroughTheRegistry) {
  TProbe probe;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&probe));

  std::unique_ptr<TwzDesignator> active(Member(obj, probeClass->Find(L"Active")));
  EXPECT_EQ(active->GetValue().VarType(), rtl::varBoolean);
  EXPECT_FALSE(active->GetValue().AsBoolean());
  active->SetValue(Variant(true));
  EXPECT_TRUE(probe.Active);
  EXPECT_TRUE(active->GetValue().AsBoolean());
  active->SetValue(Variant(5));  // only True stores 1
  EXPECT_FALSE(probe.Active);

  std::unique_ptr<TwzDesignator> count(Member(obj, probeClass->Find(L"Count")));
  count->SetValue(Variant(L"17"));
  EXPECT_EQ(probe.Count, 17);
  std::unique_ptr<TwzDesignator> caption(Member(obj, probeClass->Find(L"Caption")));
  caption->SetValue(Variant(L"İstanbul"));
  EXPECT_EQ(caption->GetValue().AsString(), L"İstanbul");
  std::unique_ptr<TwzDesignator> ratio(Member(obj, probeClass->Find(L"Ratio")));
  ratio->SetValue(Variant(2));
  EXPECT_DOUBLE_EQ(probe.Ratio, 2.0);
}

TEST_F(ScriptHostClasses, PropertyTheActualClassLacksReadsNullAndIsNotWritten) {
  TOther other;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&other));
  std::unique_ptr<TwzDesignator> count(Member(obj, probeClass->Find(L"Count")));
  EXPECT_TRUE(count->GetValue().IsNull());
  EXPECT_NO_THROW(count->SetValue(Variant(3)));
}

TEST_F(ScriptHostClasses, NilObjectsAreScriptErrorsOrNull) {
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(nullptr));
  std::unique_ptr<TwzDesignator> count(Member(obj, probeClass->Find(L"Count")));
  EXPECT_TRUE(count->GetValue().IsNull());
  EXPECT_THROW(count->SetValue(Variant(3)), EwzScriptError);
}

TEST_F(ScriptHostClasses, ObjectReferencesKeepAll64Bits) {
  TProbe probe;
  const Variant v = Variant::FromObject(&probe);
  EXPECT_EQ(v.VarType(), rtl::varInt64);
  EXPECT_EQ(v.AsObject(), &probe);
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(v);
  EXPECT_EQ(obj->GetValue().AsObject(), &probe);
}

TEST_F(ScriptHostClasses, HandlerPropertiesGetUpperCasedNamesAndReadOnlyWithoutSetter) {
  String seenName;
  const vcl::TClassInfo* seenClass = nullptr;
  rtl::TObject* seenInstance = nullptr;
  TwzPropertyHelper* p = probeClass->AddProperty(
      L"Items", L"Integer", [&](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name) {
        seenInstance = instance;
        seenClass = cls;
        seenName = name;
        return Variant(9);
      });
  EXPECT_TRUE(p->IsReadOnly());
  EXPECT_EQ(p->Typ(), fvtInt);
  TProbe probe;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&probe));
  std::unique_ptr<TwzDesignator> d(Member(obj, p));
  EXPECT_TRUE(d->IsReadOnly());
  EXPECT_EQ(d->GetValue().AsInteger(), 9);
  EXPECT_EQ(seenName, L"ITEMS");  // also under the Turkish locale
  EXPECT_EQ(seenClass, TProbe::StaticClass());
  EXPECT_EQ(seenInstance, &probe);
  d->SetValue(Variant(1));  // ignored
}

TEST_F(ScriptHostClasses, DefaultIndexPropertyCallsTheHandlerWithGetAndSet) {
  String lastName;
  Variant lastParams;
  TwzMethodHelper* items = probeClass->AddDefaultProperty(
      L"Items", L"Integer", L"Variant",
      [&](rtl::TObject*, const vcl::TClassInfo*, const String& name, Variant& params) {
        lastName = name;
        lastParams = params;
        return Variant(L"item");
      },
      false);
  EXPECT_EQ(probeClass->DefProperty(), items);
  EXPECT_EQ(items->Name(), L"Items");
  ASSERT_EQ(items->Count(), 1);
  EXPECT_EQ(items->Params(0)->Name(), L"p0");
  EXPECT_EQ(items->Params(0)->Typ(), fvtInt);
  EXPECT_TRUE(items->IndexMethod());
  EXPECT_FALSE(items->IsReadOnly());

  TProbe probe;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&probe));
  std::unique_ptr<TwzDesignator> d(Member(obj, items, {Const(&script, Variant(3))}));
  EXPECT_EQ(d->GetValue().AsString(), L"item");
  EXPECT_EQ(lastName, L"ITEMS.GET");
  EXPECT_EQ(lastParams.Element({0}).AsInteger(), 3);

  d->SetValue(Variant(L"x"));
  EXPECT_EQ(lastName, L"ITEMS.SET");
  ASSERT_EQ(lastParams.HighBound(1), 1);
  EXPECT_EQ(lastParams.Element({0}).AsInteger(), 3);
  EXPECT_EQ(lastParams.Element({1}).AsString(), L"x");
}

TEST_F(ScriptHostClasses, SecondHandlerFormReadsArgumentsAndTheAssignedValue) {
  Variant assigned;
  TwzMethodHelper* items = probeClass->AddIndexProperty(
      L"Cells", L"Integer,Integer", L"String",
      [&](rtl::TObject*, const vcl::TClassInfo*, const String& name, TwzMethodHelper* caller) {
        if (name == L"CELLS.SET") assigned = caller->GetVParam(caller->Count());
        return Variant(caller->GetVParam(0).AsInteger() * 10 + caller->GetVParam(1).AsInteger());
      });
  ASSERT_EQ(items->Count(), 2);
  EXPECT_EQ(items->Params(1)->Name(), L"p1");
  TProbe probe;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&probe));
  std::unique_ptr<TwzDesignator> d(Member(obj, items, {Const(&script, Variant(4)), Const(&script, Variant(2))}));
  EXPECT_EQ(d->GetValue().AsInteger(), 42);
  d->SetValue(Variant(L"v"));
  EXPECT_EQ(assigned.AsString(), L"v");
}

TEST_F(ScriptHostClasses, MethodVarParametersComeBackToTheCaller) {
  TwzMethodHelper* m = probeClass->AddMethod(L"procedure Swap(var a, b: Integer)",
                                             [](rtl::TObject*, const vcl::TClassInfo*, const String&, Variant& params) {
                                               Variant a = params.Element({0});
                                               params.PutElement({0}, params.Element({1}));
                                               params.PutElement({1}, a);
                                               return Variant::Null();
                                             });
  ASSERT_EQ(m->Count(), 2);
  EXPECT_TRUE(m->Params(0)->IsVarParam());
  auto* x = AddVar(script, L"x", fvtInt);
  auto* y = AddVar(script, L"y", fvtInt);
  x->SetValue(Variant(1));
  y->SetValue(Variant(2));
  TProbe probe;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&probe));
  std::unique_ptr<TwzDesignator> d(
      Member(obj, m, {Expr(&script, {Designator(&script, x)}), Expr(&script, {Designator(&script, y)})}));
  d->GetValue();
  EXPECT_EQ(x->GetValue().AsInteger(), 2);
  EXPECT_EQ(y->GetValue().AsInteger(), 1);
}

TEST_F(ScriptHostClasses, ConstructorReceivesAnInstanceFromTheRegistryFactory) {
  TwzMethodHelper* create = probeClass->AddConstructor(
      L"constructor Create", [](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name, Variant&) {
        EXPECT_NE(dynamic_cast<TProbe*>(instance), nullptr);
        EXPECT_EQ(cls, TProbe::StaticClass());
        EXPECT_EQ(name, L"CREATE");
        return Variant::FromObject(instance);
      });
  EXPECT_EQ(create->Typ(), fvtConstructor);
  std::unique_ptr<TwzDesignator> d(Designator(&script, {{probeClass}, {create}}));
  EXPECT_EQ(d->Typ(), fvtClass);
  EXPECT_EQ(d->TypeName(), L"TProbe");
  std::unique_ptr<rtl::TObject> made(d->GetValue().AsObject());
  ASSERT_NE(made, nullptr);
  EXPECT_NE(dynamic_cast<TProbe*>(made.get()), nullptr);
}

TEST_F(ScriptHostClasses, CastReturnsTheValueAndResetsForTheNextUse) {
  TProbe probe;
  std::unique_ptr<TwzDesignator> cast(
      Designator(&script, {{probeClass, {Const(&script, Variant::FromObject(&probe))}}}));
  EXPECT_EQ(cast->GetValue().AsObject(), &probe);
  EXPECT_TRUE(probeClass->Params(0)->GetValue().IsNull());
  EXPECT_EQ(probeClass->GetValue().AsObject(), nullptr);
}

TEST_F(ScriptHostClasses, IsOperatorFollowsTheClassRegistry) {
  TProbeChild child;
  TOther other;
  auto* x = AddVar(script, L"x", fvtClass, L"TProbe");
  for (auto [obj, expected] : {std::pair<rtl::TObject*, bool>{&child, true}, {&other, false}, {nullptr, false}}) {
    x->SetValue(Variant::FromObject(obj));
    std::unique_ptr<TwzExpression> e(
        Expr(&script, {Designator(&script, x), Op{L"is"}, Designator(&script, {{probeClass}})}));
    EXPECT_EQ(e->GetValue().AsBoolean(), expected);
  }
}

TEST_F(ScriptHostClasses, ClassCompatibilityFollowsAncestorNames) {
  EXPECT_TRUE(script.ClassInherits(L"TProbeChild", L"TProbe"));
  EXPECT_TRUE(script.ClassInherits(L"TProbe", L"TProbe"));
  EXPECT_FALSE(script.ClassInherits(L"TProbe", L"TProbeChild"));
  EXPECT_FALSE(script.ClassInherits(L"TNowhere", L"TProbe"));
}

TEST_F(ScriptHostClasses, EventMemberBindsAndUnhooksAScriptProcedure) {
  // procedure Changed(Sender: TObject); begin hits := hits + 1; last := Sender end;
  auto* hits = AddVar(script, L"hits", fvtInt);
  hits->SetValue(Variant(0));
  auto* last = AddVar(script, L"last", fvtVariant);
  auto* proc = new TwzProcVariable(L"Changed", fvtVariant, L"", &script, false);
  script.Add(L"Changed", proc);
  auto* sender = new TwzParamItem(L"Sender", fvtVariant, L"", false, false);
  proc->AddParam(sender);
  TwzScript* local = proc->Prog();
  local->Statement()->Add(
      Assign(local, Designator(local, hits), Expr(local, {Designator(local, hits), Op{L"+"}, Variant(1)})));
  local->Statement()->Add(Assign(local, Designator(local, last), Expr(local, {Designator(local, {{sender}})})));

  TwzEventHelper* onChange = probeClass->AddEvent(L"OnChange", &wzCreateEventAdapter<TTestNotifyAdapter>);
  EXPECT_EQ(onChange->Typ(), fvtString);
  TProbe probe;
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(&probe));
  std::unique_ptr<TwzDesignator> d(Member(obj, onChange));
  EXPECT_EQ(d->GetValue().AsString(), L"");

  d->SetValue(Variant(L"changed"));
  ASSERT_TRUE(probe.OnChange.Assigned());
  probe.OnChange(&probe);
  probe.OnChange(&probe);
  EXPECT_EQ(hits->GetValue().AsInteger(), 2);
  EXPECT_EQ(last->GetValue().AsObject(), &probe);

  try {
    d->SetValue(Variant(L"hits"));
    FAIL() << "a variable is no handler";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Event handler must be a procedure");
  }
  d->SetValue(Variant(L"0"));
  EXPECT_FALSE(probe.OnChange.Assigned());

  obj->SetValue(Variant::FromObject(nullptr));
  EXPECT_THROW(d->SetValue(Variant(L"Changed")), EwzScriptError);
}

TEST(ScriptMethodSyntax, DeclarationsWithGroupsDefaultsAndMacros) {
  TwzScript script;
  for (auto [name, typ] :
       {std::pair{L"Integer", fvtInt}, {L"String", fvtString}, {L"Variant", fvtVariant}, {L"Boolean", fvtBool}})
    script.Add(name, new TwzTypeVariable(name, typ));
  auto* k = new TwzVariable(L"DefaultWidth", fvtInt, L"");
  k->SetValue(Variant(80));
  script.Add(L"DefaultWidth", k);

  std::unique_ptr<TwzCustomVariable> f(
      ParseMethodSyntax(L"function Format(Fmt: String; Args: array): String", &script));
  EXPECT_EQ(f->Name(), L"Format");
  EXPECT_EQ(f->Typ(), fvtString);
  ASSERT_EQ(f->Count(), 2);
  EXPECT_EQ(f->Params(1)->TypeName(), L"array");

  std::unique_ptr<TwzCustomVariable> m(
      ParseMethodSyntax(L"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", &script));
  EXPECT_TRUE(m->IsMacro());
  EXPECT_EQ(m->Name(), L"IIF");
  EXPECT_EQ(m->GetNumberOfRequiredParams(), 3);

  std::unique_ptr<TwzCustomVariable> d(ParseMethodSyntax(
      L"procedure Pad(var s: String; a, b: Integer = 5; c: Integer = -2; w: Integer = DefaultWidth; t: String = 'x')",
      &script));
  EXPECT_EQ(d->Typ(), fvtVariant);
  EXPECT_TRUE(d->TypeName().empty());
  ASSERT_EQ(d->Count(), 6);
  EXPECT_TRUE(d->Params(0)->IsVarParam());
  EXPECT_FALSE(d->Params(1)->IsOptional());
  EXPECT_TRUE(d->Params(2)->IsOptional());
  EXPECT_EQ(d->Params(2)->DefValue().AsInteger(), 5);
  EXPECT_EQ(d->Params(3)->DefValue().AsInteger(), -2);
  EXPECT_EQ(d->Params(4)->DefValue().AsInteger(), 80);
  EXPECT_EQ(d->Params(5)->DefValue().AsString(), L"x");
  EXPECT_EQ(d->GetNumberOfRequiredParams(), 2);

  std::unique_ptr<TwzCustomVariable> none(ParseMethodSyntax(L"function Items(): TCollectionItem", &script));
  EXPECT_EQ(none->Count(), 0);
  EXPECT_EQ(none->Typ(), fvtClass);
  EXPECT_EQ(none->TypeName(), L"TCollectionItem");

  // Broken declarations end without hanging or reading past the text.
  for (const wchar_t* bad :
       {L"function", L"procedure P(a: Integer", L"procedure P(a, b", L"procedure P(;;;", L"procedure P(a: Integer = "})
    EXPECT_NO_THROW(std::unique_ptr<TwzCustomVariable>(ParseMethodSyntax(bad, &script))) << bad;
}

TEST_F(ScriptHostClasses, MembersOfNilObjectsAreScriptErrors) {
  int calls = 0;
  auto handler = [&](rtl::TObject*, const vcl::TClassInfo*, const String&, Variant&) {
    ++calls;
    return Variant(1);
  };
  TwzMethodHelper* method = probeClass->AddMethod(L"function Sum: Integer", handler);
  TwzMethodHelper* freeIt = probeClass->AddMethod(L"procedure Free", handler);
  TwzMethodHelper* cells = probeClass->AddIndexProperty(L"Cells", L"Integer", L"Integer", handler);
  TwzPropertyHelper* prop = probeClass->AddProperty(
      L"Size", L"Integer", [&](rtl::TObject*, const vcl::TClassInfo*, const String&) { return Variant(++calls); },
      [&](rtl::TObject*, const vcl::TClassInfo*, const String&, const Variant&) { ++calls; });
  auto* obj = AddVar(script, L"obj", fvtClass, L"TProbe");
  obj->SetValue(Variant::FromObject(nullptr));
  std::unique_ptr<TwzDesignator> m(Member(obj, method));
  EXPECT_THROW(m->GetValue(), EwzScriptError);
  std::unique_ptr<TwzDesignator> c(Member(obj, cells, {Const(&script, Variant(1))}));
  EXPECT_THROW(c->GetValue(), EwzScriptError);
  EXPECT_THROW(c->SetValue(Variant(2)), EwzScriptError);
  std::unique_ptr<TwzDesignator> p(Member(obj, prop));
  EXPECT_THROW(p->GetValue(), EwzScriptError);
  EXPECT_THROW(p->SetValue(Variant(2)), EwzScriptError);
  std::unique_ptr<TwzDesignator> f(Member(obj, freeIt));
  EXPECT_NO_THROW(f->GetValue());
  EXPECT_EQ(calls, 0);
}
