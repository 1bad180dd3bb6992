#include "report/model/qvxXMLSerializer.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxClass.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxUnicodeUtils.h"
#include "report/model/qvxXML.h"

using rtl::String;

VCL_ENUM(TTestKind, tkFirst, tkSecond, tkThird)

// A printable object with one published property of every kind the serializer handles.
class TTestBox : public TqvxReportComponent {
  VCL_CLASS(TTestBox, TqvxReportComponent)
public:
  explicit TTestBox(vcl::TComponent* owner) : TqvxReportComponent(owner), Lines(new rtl::TStringList()) {}
  ~TTestBox() override { delete Lines; }
  void Draw(vcl::TCanvas*, Extended, Extended, Extended, Extended) override {}

  int Count() const { return FCount; }
  void SetCount(int v) {
    if (v < 0) throw rtl::EConvertError(L"Count must not be negative");
    FCount = v;
  }
  rtl::TStringList* GetLines() const { return Lines; }
  void SetLines(rtl::TStringList* v) { Lines->Assign(v); }
  bool IsFontStored() const { return !ParentFont(); }

  int FCount = 5;
  bool Flag = false;
  TTestKind Kind = tkFirst;
  String Caption;
  double Ratio = 0;
  rtl::Variant Value;
  TTestBox* Link = nullptr;
  rtl::TStringList* Lines;
  vcl::TFontStyles Styles;
  String Extra;  // kept through DefineProperties, not published

  void DefineProperties(vcl::TFiler* filer) override {
    TqvxReportComponent::DefineProperties(filer);
    filer->DefineProperty(
        L"Extra", [this](vcl::TReader& r) { Extra = r.ReadString(); },
        [this](vcl::TWriter& w) { w.WriteString(Extra); }, !Extra.empty());
  }
};

VCL_REGISTER(TTestBox) {
  cls.Prop(L"Left", &TqvxComponent::Left, &TqvxComponent::SetLeft);
  cls.Prop(L"Top", &TqvxComponent::Top, &TqvxComponent::SetTop);
  cls.Prop(L"Width", &TqvxComponent::Width, &TqvxComponent::SetWidth);
  cls.Prop(L"Height", &TqvxComponent::Height, &TqvxComponent::SetHeight);
  cls.Prop(L"Font", &TqvxComponent::Font, &TqvxComponent::SetFont).Stored(&TTestBox::IsFontStored);
  cls.Prop(L"ParentFont", &TqvxComponent::ParentFont, &TqvxComponent::SetParentFont).Default(true);
  cls.Prop(L"Count", &TTestBox::Count, &TTestBox::SetCount).Default(5);
  cls.Prop(L"Flag", &TTestBox::Flag);
  cls.Prop(L"Kind", &TTestBox::Kind).Default(tkFirst);
  cls.Prop(L"Caption", &TTestBox::Caption);
  cls.Prop(L"Ratio", &TTestBox::Ratio);
  cls.Prop(L"Value", &TTestBox::Value);
  cls.Prop(L"Link", &TTestBox::Link);
  cls.Prop(L"Lines", &TTestBox::GetLines, &TTestBox::SetLines);
  cls.Prop(L"Styles", &TTestBox::Styles).Default(vcl::TFontStyles{});
}

namespace {

String Save(TqvxComponent* root) {
  rtl::TStringStream stream;
  root->SaveToStream(stream);
  return stream.DataString();
}

void Load(TqvxComponent* root, const String& xml) {
  rtl::TStringStream stream(xml);
  root->LoadFromStream(stream);
}

class SerializerTest : public ::testing::Test {
protected:
  void SetUp() override {
    saved = rtl::FormatSettings.DecimalSeparator;
    rtl::FormatSettings.DecimalSeparator = L'.';
  }
  wchar_t saved = L'.';
  void TearDown() override {
    rtl::FormatSettings.DecimalSeparator = saved;
    if (root) root->Free();
    if (copy) copy->Free();
  }
  TTestBox* root = new TTestBox(nullptr);
  TTestBox* copy = new TTestBox(nullptr);
};

TEST_F(SerializerTest, TreeWrittenAndReadBackEqual) {
  auto* a = new TTestBox(root);
  a->SetName(L"A");
  a->SetBounds(10, 20.5, 30, 40);
  a->SetCount(7);
  a->Flag = true;
  a->Kind = tkThird;
  a->Caption = L"Öğrenci <\"x\"> & ı";
  a->Ratio = 1.25;
  a->Value = rtl::Variant(String(L"v"));
  a->Lines->SetText(L"one\r\ntwo\r\n");
  a->Styles = vcl::TFontStyles{vcl::fsBold, vcl::fsUnderline};
  a->Extra = L"stored data";
  auto* b = new TTestBox(a);
  b->SetName(L"B");
  b->Font()->SetSize(14);
  b->Link = a;
  auto* c = new TTestBox(root);
  c->SetName(L"C");

  const String xml = Save(root);
  Load(copy, xml);
  EXPECT_EQ(Save(copy), xml);

  ASSERT_EQ(copy->Objects().size(), 2u);
  auto* a2 = dynamic_cast<TTestBox*>(copy->Objects()[0]);
  ASSERT_NE(a2, nullptr);
  EXPECT_EQ(a2->Name(), L"A");
  EXPECT_DOUBLE_EQ(static_cast<double>(a2->Top()), 20.5);
  EXPECT_EQ(a2->Count(), 7);
  EXPECT_TRUE(a2->Flag);
  EXPECT_EQ(a2->Kind, tkThird);
  EXPECT_EQ(a2->Caption, a->Caption);
  EXPECT_EQ(a2->Lines->Text(), L"one\r\ntwo\r\n");
  EXPECT_EQ(a2->Styles, a->Styles);
  EXPECT_EQ(a2->Extra, L"stored data");
  ASSERT_EQ(a2->Objects().size(), 1u);
  auto* b2 = dynamic_cast<TTestBox*>(a2->Objects()[0]);
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(b2->Font()->Size(), 14);
  EXPECT_FALSE(b2->ParentFont());
  // The reference points into the new tree, not the old one.
  EXPECT_EQ(b2->Link, a2);
}

TEST_F(SerializerTest, TreeWrittenWithCommaSeparatorReadsBack) {
  rtl::FormatSettings.DecimalSeparator = L',';
  auto* a = new TTestBox(root);
  a->SetName(L"A");
  a->SetBounds(1.5, 2.25, 3, 4);
  a->Ratio = 0.125;
  const String xml = Save(root);
  EXPECT_NE(xml.find(L"Left=\"1,5\""), String::npos) << xml;
  Load(copy, xml);
  ASSERT_EQ(copy->Objects().size(), 1u);
  EXPECT_DOUBLE_EQ(static_cast<double>(copy->Objects()[0]->Top()), 2.25);
  EXPECT_DOUBLE_EQ(dynamic_cast<TTestBox*>(copy->Objects()[0])->Ratio, 0.125);
}

TEST_F(SerializerTest, DefaultsAreNotWritten) {
  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(root);
  // Floats, ordinals without a default and non-empty strings always go; defaults, empty strings, Name do not.
  EXPECT_NE(text.find(L" Left=\"0\""), String::npos) << text;
  EXPECT_NE(text.find(L" Flag=\"False\""), String::npos) << text;
  EXPECT_NE(text.find(L" Lines.Text=\"\""), String::npos) << text;
  for (const wchar_t* absent : {L"Count=", L"Kind=", L"Caption=", L"Tag=", L"Name=", L"Font.", L"ParentFont=",
                                L"Styles=", L"PropData=", L"Link=", L"Description="})
    EXPECT_EQ(text.find(absent), String::npos) << absent << " in " << text;

  s.SerializeDefaultValues = true;
  const String all = s.ObjToXML(root);
  EXPECT_NE(all.find(L" Count=\"5\""), String::npos) << all;
  EXPECT_NE(all.find(L" Kind=\"tkFirst\""), String::npos) << all;
}

TEST_F(SerializerTest, SubObjectsSetsAndStoredData) {
  root->SetParentFont(false);
  root->Font()->SetName(L"Tahoma");
  root->Styles = vcl::TFontStyles{vcl::fsItalic};
  root->Extra = L"x";
  root->Lines->SetText(L"a\r\nb\r\n\r\n");
  TqvxXMLSerializer s(nullptr);
  const String text = s.ObjToXML(root);
  EXPECT_NE(text.find(L" Font.Name=\"Tahoma\""), String::npos) << text;
  EXPECT_NE(text.find(L" Styles=\"2\""), String::npos) << text;
  // Two line breaks at the end lose only the last one.
  EXPECT_NE(text.find(L" Lines.Text=\"a&#13;&#10;b&#13;&#10;\""), String::npos) << text;
  EXPECT_NE(text.find(L" PropData=\""), String::npos) << text;
}

TEST_F(SerializerTest, ReadingAttributes) {
  TqvxXMLSerializer s(nullptr);
  s.XMLToObj(L" Font.Name=\"Courier New\" Nothing.Name=\"x\" Kind=\"1\" Caption=\"a&amp;b\" Styles=\"3\"", root);
  EXPECT_EQ(root->Font()->Name(), L"Courier New");
  EXPECT_EQ(root->Kind, tkSecond);
  EXPECT_EQ(root->Caption, L"a&b");
  EXPECT_TRUE(root->Styles.Contains(vcl::fsBold) && root->Styles.Contains(vcl::fsItalic));
  s.XMLToObj(L"Kind=\"tkThird\"", root);
  EXPECT_EQ(root->Kind, tkThird);
  EXPECT_EQ(s.Errors().Count(), 0);

  // An unknown value name leaves the property as it was and says so.
  s.XMLToObj(L"Kind=\"tkNone\"", root);
  EXPECT_EQ(root->Kind, tkThird);
  EXPECT_EQ(s.Errors().Count(), 1);

  // A leading part that is not a sub-object ends the walk: the attribute is ignored.
  s.XMLToObj(L"Caption.Length=\"3\" Count=\"8\"", root);
  EXPECT_EQ(root->Caption, L"a&b");
  EXPECT_EQ(root->Count(), 8);
}

TEST_F(SerializerTest, FloatsReadWithEitherSeparatorInAnyLocale) {
  struct Case {
    wchar_t separator;
    const wchar_t* text;
  } cases[] = {
      {L'.', L"l=\"1,5\" Top=\"2.5\""},
      {L'.', L"Left=\"1.5\" t=\"2,5\""},
      {L',', L"l=\"1.5\" Top=\"2,5\""},
      {L',', L"Left=\"1,5\" t=\"2.5\""},
  };
  for (const Case& c : cases) {
    rtl::FormatSettings.DecimalSeparator = c.separator;
    TqvxXMLSerializer s(nullptr);
    s.XMLToObj(c.text, root);
    EXPECT_DOUBLE_EQ(static_cast<double>(root->Left()), 1.5) << c.text;
    EXPECT_DOUBLE_EQ(static_cast<double>(root->Top()), 2.5) << c.text;
  }
}

TEST_F(SerializerTest, SetterErrorsAreCollectedAndReadingGoesOn) {
  TqvxXMLSerializer s(nullptr);
  s.XMLToObj(L"Count=\"-1\" Caption=\"after\" Flag=\"x1\"", root);
  EXPECT_EQ(root->Count(), 5);
  EXPECT_EQ(root->Caption, L"after");
  ASSERT_GE(s.Errors().Count(), 1);
  EXPECT_NE(s.Errors().Text().find(L"Count must not be negative"), String::npos);
}

TEST_F(SerializerTest, UnregisteredClassIsReportedAndItsSubTreeSkipped) {
  const String xml =
      L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"
      L"<TTestBox Caption=\"root\">"
      L"<TNoSuchBox Name=\"X\"><TTestBox Name=\"Inner\"/></TNoSuchBox>"
      L"<TTestBox Name=\"Kept\" Count=\"9\"/>"
      L"</TTestBox>";
  rtl::TStringStream stream(xml);
  TqvxXMLSerializer s(&stream);
  s.ReadRootComponent(copy);
  EXPECT_EQ(copy->Caption, L"root");
  ASSERT_EQ(copy->Objects().size(), 1u);
  EXPECT_EQ(copy->Objects()[0]->Name(), L"Kept");
  EXPECT_EQ(dynamic_cast<TTestBox*>(copy->Objects()[0])->Count(), 9);
  ASSERT_EQ(s.Errors().Count(), 1);
  EXPECT_EQ(s.Errors().Get(0), L"Cannot find class TNoSuchBox");
}

// A stored tree nested deeper than the XML reader takes is refused whole; a deep tree it takes reads back.
TEST_F(SerializerTest, DeepTreesReadOrAreRefusedNeverOverflow) {
  auto nested = [](int levels) {
    String xml = L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TTestBox>";
    for (int i = 0; i < levels; ++i) xml += L"<TTestBox Name=\"B" + rtl::IntToStr(i) + L"\">";
    for (int i = 0; i < levels; ++i) xml += L"</TTestBox>";
    return xml + L"</TTestBox>";
  };
  Load(copy, nested(1000));
  int depth = 0;
  for (TqvxComponent* c = copy; !c->Objects().empty(); c = c->Objects()[0]) ++depth;
  EXPECT_EQ(depth, 1000);
  EXPECT_THROW(Load(copy, nested(100000)), TqvxInvalidXMLException);
}

TEST_F(SerializerTest, MissingReferenceLeavesPropertyAndAddsNoError) {
  auto* a = new TTestBox(copy);
  a->SetName(L"A");
  a->Link = a;
  TqvxXMLSerializer s(nullptr);
  s.ReadPersistentStr(copy, a, L"Link=\"Nowhere\"");
  EXPECT_EQ(a->Link, a);
  EXPECT_EQ(s.Errors().Count(), 0);
  s.ReadPersistentStr(copy, a, L"Link=\"nil\"");
  EXPECT_EQ(a->Link, nullptr);
}

TEST_F(SerializerTest, AgainstAnAncestorOnlyDifferencesAreWritten) {
  auto* target = new TTestBox(root);
  target->SetName(L"T");
  auto* anc = new TTestBox(root);
  anc->SetName(L"Anc");
  auto* obj = new TTestBox(root);
  obj->SetName(L"Obj");
  anc->SetBounds(1, 2, 3, 4);
  obj->SetBounds(1, 2, 3, 4);
  anc->Caption = obj->Caption = L"same";
  anc->Flag = obj->Flag = true;
  TqvxXMLSerializer s(nullptr);
  s.SetOwner(root);
  EXPECT_EQ(s.ObjToXML(obj, String(), anc), L"");

  anc->Link = target;
  EXPECT_EQ(s.ObjToXML(obj, String(), anc), L" Link=\"nil\"");
  // Read back over the ancestor's values, the reference is cleared.
  copy->Link = target;
  s.ReadPersistentStr(root, copy, s.ObjToXML(obj, String(), anc));
  EXPECT_EQ(copy->Link, nullptr);

  obj->Link = target;
  obj->Caption = L"other";
  EXPECT_EQ(s.ObjToXML(obj, String(), anc), L" Caption=\"other\"");
}

TEST_F(SerializerTest, TreeAgainstAncestorWritesOnlyNames) {
  auto* a = new TTestBox(root);
  a->SetName(L"A");
  a->SetBounds(5, 6, 7, 8);
  TTestBox* ancestorRoot = new TTestBox(nullptr);
  auto* a0 = new TTestBox(ancestorRoot);
  a0->SetName(L"A");
  a0->SetBounds(5, 6, 7, 8);
  rtl::TStringStream stream;
  TqvxXMLSerializer s(&stream);
  s.OnGetAncestor = [&](const String& name, rtl::TPersistent*& ancestor) {
    if (!name.empty()) ancestor = ancestorRoot->FindObject(name);
  };
  TqvxXMLItem item;
  s.WriteRootComponent(root, true, &item);
  ASSERT_EQ(item.Count(), 1);
  EXPECT_EQ(item.Items(0)->Text(), L" Name=\"A\"");
  ancestorRoot->Free();
}

TEST_F(SerializerTest, InheritedElements) {
  auto* a = new TTestBox(root);
  a->SetName(L"A");
  a->SetAncestorFlag(true);
  a->Caption = L"mine";
  auto* b = new TTestBox(root);
  b->SetName(L"B");
  const String xml = Save(root);
  EXPECT_NE(xml.find(L"<inherited Name=\"A\""), String::npos) << xml;

  // Streaming (a copy of the tree) keeps the class names.
  rtl::TStringStream streamed;
  root->SaveToStream(streamed, true, false, true);
  EXPECT_EQ(streamed.DataString().find(L"inherited"), String::npos);

  // An inherited element updates the object of that name, and is dropped where there is none.
  auto* a2 = new TTestBox(copy);
  a2->SetName(L"A");
  copy->SetAncestorOnlyStream(true);
  Load(copy, xml);
  EXPECT_EQ(a2->Caption, L"mine");
  ASSERT_EQ(copy->Objects().size(), 2u);
  TTestBox* fresh = new TTestBox(nullptr);
  Load(fresh, xml);
  ASSERT_EQ(fresh->Objects().size(), 1u);
  EXPECT_EQ(fresh->Objects()[0]->Name(), L"B");
  fresh->Free();
}

TEST_F(SerializerTest, SaveAncestorOnlyWritesTheAncestorsValues) {
  auto* anc = new TTestBox(nullptr);
  anc->Caption = L"parent";
  root->Caption = L"child";
  TqvxXMLSerializer s(nullptr);
  s.SaveAncestorOnly = true;
  const String text = s.ObjToXML(root, String(), anc);
  EXPECT_NE(text.find(L" Caption=\"parent\""), String::npos) << text;
  EXPECT_EQ(text.find(L"child"), String::npos) << text;
  anc->Free();
}

TEST_F(SerializerTest, SingleComponentLines) {
  root->Caption = L"c";
  TqvxXMLSerializer s(nullptr);
  const String line = s.WriteComponentStr(root);
  EXPECT_EQ(line.rfind(L"TTestBox ", 0), 0u) << line;

  TqvxXMLSerializer r(nullptr);
  TqvxComponent* made = r.ReadComponentStr(copy, line);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Parent(), copy);
  EXPECT_EQ(dynamic_cast<TTestBox*>(made)->Caption, L"c");
  EXPECT_FALSE(made->IsLoading());
  EXPECT_EQ(r.ReadComponentStr(copy, L"   "), nullptr);
  EXPECT_THROW(r.ReadComponentStr(copy, L"TNoSuchBox Left=\"1\""), rtl::EClassNotFound);

  rtl::TStringStream stream;
  TqvxXMLSerializer w(&stream);
  w.WriteComponent(root);
  EXPECT_EQ(stream.DataString(), L"<" + line + L"/>");
  stream.SetPosition(0);
  TqvxXMLSerializer r2(&stream);
  TqvxComponent* again = r2.ReadComponent(copy);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(dynamic_cast<TTestBox*>(again)->Caption, L"c");
}

TEST_F(SerializerTest, CustomDataElement) {
  rtl::TStringStream stream;
  TqvxXMLSerializer w(&stream);
  w.OnSaveCustomDataEvent = [](TqvxXMLItem* item) { item->SetProp(L"Mine", L"42"); };
  w.WriteRootComponent(root);
  stream.SetPosition(0);
  TqvxXMLSerializer r(&stream);
  String seen;
  r.OnGetCustomDataEvent = [&](TqvxXMLItem* item) { seen = item->Prop(L"Mine"); };
  r.ReadRootComponent(copy);
  EXPECT_EQ(seen, L"42");
  EXPECT_TRUE(copy->Objects().empty());
  EXPECT_EQ(r.Errors().Count(), 0);
}

}  // namespace

namespace {

TEST(SerializerMemo, TextWrittenWithoutItsLastLineBreak) {
  struct Case {
    const wchar_t* text;
    const wchar_t* written;
  } cases[] = {
      {L"a\r\nb\r\n", L" Text=\"a&#13;&#10;b\""},
      {L"a\r\n\r\n", L" Text=\"a&#13;&#10;\""},
      {L"", L" Text=\"\""},
  };
  TqvxMemoView memo(nullptr);
  for (const Case& c : cases) {
    memo.Memo()->SetText(c.text);
    TqvxXMLSerializer s(nullptr);
    const String text = s.ObjToXML(&memo);
    EXPECT_EQ(text.substr(text.find(L" Text=")), c.written) << text;
    EXPECT_EQ(text.find(L"Memo"), String::npos) << text;
  }
  // Against an ancestor with the same text nothing is written.
  TqvxMemoView other(nullptr);
  other.Memo()->SetText(L"");
  TqvxXMLSerializer s(nullptr);
  EXPECT_EQ(s.ObjToXML(&memo, String(), &other), L"");
}

TEST(SerializerMemo, TextReadByItsNamesAndForms) {
  TqvxMemoView memo(nullptr);
  TqvxXMLSerializer s(nullptr);
  s.XMLToObj(L"x=\"one&#13;&#10;two\"", &memo);
  EXPECT_EQ(memo.Memo()->Count(), 2);
  EXPECT_EQ(memo.Memo()->Get(1), L"two");
  s.XMLToObj(L"Text=\"t\"", &memo);
  EXPECT_EQ(memo.Memo()->Text(), L"t\r\n");
  s.XMLToObj(L"u=\"\u011f\"", &memo);
  EXPECT_EQ(memo.Memo()->Get(0), L"\u011f");
  // The older format kept UTF-8 bytes one per character.
  s.OldFormat = true;
  s.XMLToObj(L"u=\"\u00c4\u009f\"", &memo);
  EXPECT_EQ(memo.Memo()->Get(0), L"\u011f");
}

TEST(SerializerMemo, AutoWidthTextObjectsNeverWriteTheirWidth) {
  TqvxMemoView tmpl(nullptr), printed(nullptr);
  printed.SetWidth(50);
  EXPECT_EQ(printed.InternalDiff(&tmpl), L" w=\"50\"");
  printed.AutoWidth = true;
  EXPECT_EQ(printed.InternalDiff(&tmpl), L"");
}

}  // namespace
