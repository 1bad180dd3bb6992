#include "report/model/qvxCollections.h"

#include <gtest/gtest.h>

#include "platform/rtl/strings.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxClass.h"
#include "report/model/qvxXML.h"
#include "report/model/qvxXMLSerializer.h"

using rtl::String;

class TTestVar : public TqvxCollectionItem {
  VCL_CLASS(TTestVar, TqvxCollectionItem)
public:
  explicit TTestVar(vcl::TCollection* collection) : TqvxCollectionItem(collection) {}
  String Expr;
  String Old;
  rtl::Variant Value;
  int Level = 0;
};

VCL_REGISTER(TTestVar) {
  cls.Prop(L"Expr", &TTestVar::Expr);
  cls.Prop(L"Old", &TTestVar::Old).Kind(vcl::tkWString);
  cls.Prop(L"Value", &TTestVar::Value);
  cls.Prop(L"Level", &TTestVar::Level).Default(0);
}

// Keeps a collection as a stored property of its own, as the report keeps its variables.
class TTestHolder : public TqvxReportComponent {
  VCL_CLASS(TTestHolder, TqvxReportComponent)
public:
  explicit TTestHolder(vcl::TComponent* owner)
      : TqvxReportComponent(owner), Vars(new TqvxCollection(TTestVar::StaticClass(), this)) {}
  ~TTestHolder() override { delete Vars; }
  void Draw(vcl::TCanvas*, Extended, Extended, Extended, Extended) override {}
  void DefineProperties(vcl::TFiler* filer) override {
    filer->DefineProperty(
        L"Vars", [this](vcl::TReader& r) { qvxReadCollection(Vars, r, this); },
        [this](vcl::TWriter& w) { qvxWriteCollection(Vars, w, this); }, true);
  }
  TqvxCollection* Vars;
};

VCL_REGISTER(TTestHolder) {}

// Keeps its collection as a child element of its own, as the report does with its variables.
class TTestNested : public TTestHolder {
  VCL_CLASS(TTestNested, TTestHolder)
public:
  explicit TTestNested(vcl::TComponent* owner) : TTestHolder(owner) { FqvComponentStyle += csHandlesNestedProperties; }
  void WriteNestedProperties(TqvxXMLItem* item) override {
    if (Vars->Count() > 0) qvxWriteCollection(Vars, L"Variables", item, this, nullptr);
  }
  bool ReadNestedProperty(TqvxXMLItem* item) override {
    if (!rtl::SameText(item->Name(), L"Variables")) return false;
    Vars->Clear();
    qvxReadCollection(Vars, item, this, nullptr);
    return true;
  }
};

VCL_REGISTER(TTestNested) {}

namespace {

TTestVar* AddVar(TqvxCollection* c, const String& expr = String()) {
  auto* v = c->Add<TTestVar>();
  v->Expr = expr;
  return v;
}

class CollectionTest : public ::testing::Test {
protected:
  void TearDown() override {
    a->Free();
    b->Free();
  }
  TTestHolder* a = new TTestHolder(nullptr);
  TTestHolder* b = new TTestHolder(nullptr);
};

TEST_F(CollectionTest, ItemsGetTheFirstFreeName) {
  for (int i = 0; i < 3; ++i) AddVar(a->Vars);
  EXPECT_EQ(a->Vars->Items<TTestVar>(0)->InheritedName, L"TTestVar1");
  EXPECT_EQ(a->Vars->Items<TTestVar>(2)->InheritedName, L"TTestVar3");
  a->Vars->Delete(1);
  EXPECT_EQ(AddVar(a->Vars)->InheritedName, L"TTestVar2");
  EXPECT_EQ(AddVar(a->Vars)->InheritedName, L"TTestVar4");

  EXPECT_EQ(a->Vars->FindByName(L"TTestVar1"), a->Vars->Items(0));
  EXPECT_EQ(a->Vars->FindByName(L"ttestvar1"), nullptr);
}

TEST_F(CollectionTest, InheritedNameIsNeverAnOrdinaryAttribute) {
  TTestVar* v = AddVar(a->Vars, L"x");
  TqvxXMLSerializer s(nullptr);
  EXPECT_EQ(s.ObjToXML(v), L" Expr=\"x\" Value=\"\"");
}

TEST_F(CollectionTest, XmlRoundTrip) {
  AddVar(a->Vars, L"1+1")->Level = 2;
  AddVar(a->Vars, L"<b>");
  TqvxXMLItem root(L"TTestHolder");
  qvxWriteCollection(a->Vars, L"Variables", &root, a, nullptr);
  ASSERT_EQ(root.Count(), 1);
  EXPECT_EQ(root.Items(0)->Name(), L"Variables");
  EXPECT_EQ(root.Items(0)->Count(), 2);

  AddVar(b->Vars, L"old");
  b->Vars->Clear();
  qvxReadCollection(b->Vars, root.Items(0), b, nullptr);
  ASSERT_EQ(b->Vars->Count(), 2);
  EXPECT_EQ(b->Vars->Items<TTestVar>(0)->Expr, L"1+1");
  EXPECT_EQ(b->Vars->Items<TTestVar>(0)->Level, 2);
  EXPECT_EQ(b->Vars->Items<TTestVar>(1)->Expr, L"<b>");

  // An empty collection still gets its element.
  TqvxXMLItem empty(L"x");
  b->Vars->Clear();
  qvxWriteCollection(b->Vars, L"Styles", &empty, b, nullptr);
  ASSERT_EQ(empty.Count(), 1);
  EXPECT_EQ(empty.Items(0)->Count(), 0);
}

TEST_F(CollectionTest, InheritedItemsMatchTheirParentsByName) {
  // a plays the parent report's collection, b the inherited report's.
  AddVar(a->Vars, L"p1");
  AddVar(a->Vars, L"p2");
  AddVar(b->Vars, L"p1");
  AddVar(b->Vars, L"changed");
  AddVar(b->Vars, L"own");
  TqvxXMLItem root(L"r");
  qvxWriteCollection(b->Vars, L"Variables", &root, b, a->Vars);
  TqvxXMLItem* vars = root.Items(0);
  ASSERT_EQ(vars->Count(), 3);
  EXPECT_EQ(vars->Items(0)->Text(), L" InheritedName=\"TTestVar1\"");
  EXPECT_EQ(vars->Items(1)->Text(), L" InheritedName=\"TTestVar2\" Expr=\"changed\"");
  EXPECT_EQ(vars->Items(2)->Text(), L" Expr=\"own\" Value=\"\"");
  TqvxXMLItem* stray = vars->Add(L"item");
  stray->SetText(L" InheritedName=\"TTestVar9\" Expr=\"lost\"");

  // Reading into an object that came from the parent: the parent's items are already there.
  TTestHolder* c = new TTestHolder(nullptr);
  c->SetAncestorFlag(true);
  AddVar(c->Vars, L"p1");
  AddVar(c->Vars, L"p2");
  qvxReadCollection(c->Vars, vars, c, a->Vars);
  ASSERT_EQ(c->Vars->Count(), 3);
  EXPECT_EQ(c->Vars->Items<TTestVar>(1)->Expr, L"changed");
  EXPECT_TRUE(c->Vars->Items<TTestVar>(1)->IsInherited);
  EXPECT_EQ(c->Vars->Items<TTestVar>(2)->Expr, L"own");
  EXPECT_FALSE(c->Vars->Items<TTestVar>(2)->IsInherited);
  c->Free();
}

TEST_F(CollectionTest, ComponentStreamInBothForms) {
  for (bool asXml : {false, true}) {
    a->Vars->Clear();
    b->Vars->Clear();
    AddVar(a->Vars, L"e1")->Value = rtl::Variant(String(L"v"));
    AddVar(a->Vars, L"e2");
    a->SetIsWriting(asXml);
    const std::vector<rtl::Byte> data = vcl::WriteDefinedProperties(a, nullptr);
    a->SetIsWriting(false);
    AddVar(b->Vars, L"gone");
    vcl::ReadDefinedProperties(b, data, nullptr);
    ASSERT_EQ(b->Vars->Count(), 2) << asXml;
    EXPECT_EQ(b->Vars->Items<TTestVar>(0)->Expr, L"e1") << asXml;
    EXPECT_EQ(rtl::VarToStr(b->Vars->Items<TTestVar>(0)->Value), L"v") << asXml;
    EXPECT_EQ(b->Vars->Items<TTestVar>(1)->Expr, L"e2") << asXml;

    // Empty collections come back empty.
    a->Vars->Clear();
    a->SetIsWriting(asXml);
    const std::vector<rtl::Byte> none = vcl::WriteDefinedProperties(a, nullptr);
    a->SetIsWriting(false);
    vcl::ReadDefinedProperties(b, none, nullptr);
    EXPECT_EQ(b->Vars->Count(), 0) << asXml;
  }
}

TEST_F(CollectionTest, OldHighCharacterPairsAreDecodedFromTheStandardForm) {
  TTestVar* v = AddVar(a->Vars, String(L"\x01"
                                       L"A"));
  v->Old = String(
      L"x\x01"
      L"A\x01");
  v->Value =
      rtl::Variant(String(L"\x01"
                          L"A"));
  const std::vector<rtl::Byte> data = vcl::WriteDefinedProperties(a, nullptr);
  vcl::ReadDefinedProperties(b, data, nullptr);
  ASSERT_EQ(b->Vars->Count(), 1);
  TTestVar* r = b->Vars->Items<TTestVar>(0);
  EXPECT_EQ(rtl::VarToStr(r->Value), String(1, wchar_t(193)));
  EXPECT_EQ(r->Old, String(L"x") + wchar_t(193) + L"\x01");
  // UTF-16 strings are taken as they are.
  EXPECT_EQ(r->Expr, String(L"\x01"
                            L"A"));
}

TEST_F(CollectionTest, NestedElementsInsteadOfStoredData) {
  TTestNested* n = new TTestNested(nullptr);
  TTestHolder* child = new TTestHolder(n);
  child->SetName(L"Child");
  AddVar(n->Vars, L"a");
  AddVar(n->Vars, L"b");
  rtl::TStringStream stream;
  n->SaveToStream(stream);
  const String xml = stream.DataString();
  const size_t rootTag = xml.find(L"<TTestNested");
  ASSERT_NE(rootTag, String::npos) << xml;
  const String rootText = xml.substr(rootTag, xml.find(L'>', rootTag) - rootTag);
  EXPECT_EQ(rootText.find(L"PropData"), String::npos) << rootText;
  EXPECT_NE(xml.find(L"<Variables>"), String::npos) << xml;

  TTestNested* back = new TTestNested(nullptr);
  stream.SetPosition(0);
  TqvxXMLSerializer s(&stream);
  s.HandleNestedProperties = true;
  s.ReadRootComponent(back);
  EXPECT_EQ(s.Errors().Count(), 0);
  ASSERT_EQ(back->Vars->Count(), 2);
  EXPECT_EQ(back->Vars->Items<TTestVar>(1)->Expr, L"b");
  ASSERT_EQ(back->Objects().size(), 1u);
  EXPECT_EQ(back->Objects()[0]->Name(), L"Child");
  n->Free();
  back->Free();
}

}  // namespace
