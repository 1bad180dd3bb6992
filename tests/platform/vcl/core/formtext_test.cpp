#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/strings.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/resources.h"
#include "testclasses.h"

using namespace vcl;
using namespace coretest;

namespace {

// A tree with nested properties, a collection, a string list of our own, binary data, an event handler, a
// reference and custom stored properties.
void Populate(TTestForm& form) {
  form.SetName(L"Form1");
  auto* b1 = new TTestButton(&form);
  b1->SetName(L"Button1");
  b1->SetCaption(L"Öğrenci 'kaydı'\r\nikinci satır");
  b1->SetAlign(altClient);
  b1->SetStyle({tsBold, tsUnderline});
  b1->SetWidth(120);
  b1->ratio = 1.5;
  b1->big = 1LL << 40;
  b1->value = rtl::Variant(L"değer");
  b1->letter = L'ş';
  b1->Font()->SetName(L"Tahoma");
  b1->Font()->SetStyles({tsItalic});
  b1->OnClick.Bind(&form, &TTestForm::Button1Click);
  auto* grid = new TTestGrid(&form);
  grid->SetName(L"Grid1");
  auto* c = grid->Columns()->Add<TTestColumn>();
  c->SetFieldName(L"AD");
  c->Title()->SetName(L"Ad");
  grid->Columns()->Add<TTestColumn>()->SetWidth(10);
  grid->data = {0x00, 0x01, 0xFE, 0xFF, 0x42};
  grid->variables = {{L"Okul", L"'Atatürk'"}, {L"Yıl", L"2024"}};
  grid->pLeft = 12.25;
  auto* b2 = new TTestButton(&form);
  b2->SetName(L"Button2");
  b2->SetLink(grid);
  b2->SetEnabled(false);
}

}  // namespace

TEST(FormText, RoundTripWritesReadsAndComparesEqual) {
  TTestForm form(nullptr);
  Populate(form);
  String text = WriteComponentText(&form);

  TTestForm copy(nullptr);
  ReadComponentText(text, &copy, L"ROUNDTRIP");
  EXPECT_EQ(copy.Name(), L"Form1");
  ASSERT_NE(copy.Button1, nullptr);
  ASSERT_NE(copy.Button2, nullptr);
  EXPECT_EQ(copy.Button1->Caption(), L"Öğrenci 'kaydı'\r\nikinci satır");
  EXPECT_EQ(copy.Button1->Align(), altClient);
  EXPECT_EQ(copy.Button1->Style(), (TTestStyles{tsBold, tsUnderline}));
  EXPECT_EQ(copy.Button1->Width(), 120);
  EXPECT_DOUBLE_EQ(copy.Button1->ratio, 1.5);
  EXPECT_EQ(copy.Button1->big, 1LL << 40);
  EXPECT_EQ(copy.Button1->value, rtl::Variant(L"değer"));
  EXPECT_EQ(copy.Button1->letter, L'ş');
  EXPECT_EQ(copy.Button1->Font()->Name(), L"Tahoma");
  EXPECT_EQ(copy.Button1->Font()->Styles(), TTestStyles{tsItalic});
  copy.Button1->OnClick(copy.Button1);
  EXPECT_EQ(copy.clicks, 1);
  auto* grid = dynamic_cast<TTestGrid*>(copy.FindComponent(L"Grid1"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(copy.Button2->Link(), grid);
  EXPECT_FALSE(copy.Button2->Enabled());
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(grid->Columns()->Items<TTestColumn>(0)->FieldName(), L"AD");
  EXPECT_EQ(grid->Columns()->Items<TTestColumn>(0)->Title()->Name(), L"Ad");
  EXPECT_EQ(grid->Columns()->Items<TTestColumn>(1)->Width(), 10);
  EXPECT_EQ(grid->data, (std::vector<unsigned char>{0x00, 0x01, 0xFE, 0xFF, 0x42}));
  EXPECT_EQ(grid->variables, (std::vector<std::pair<String, String>>{{L"Okul", L"'Atatürk'"}, {L"Yıl", L"2024"}}));
  EXPECT_DOUBLE_EQ(grid->pLeft, 12.25);
  // Loaded ran once per component, in creation order.
  EXPECT_EQ(copy.loadedOrder, (std::vector<String>{L"Button1", L"Button2"}));
  EXPECT_FALSE(copy.Button1->ComponentState().Contains(csLoading));

  // Writing the copy gives the same text.
  EXPECT_EQ(WriteComponentText(&copy), text);
}

TEST(FormText, DefaultsAreNotWritten) {
  TTestForm form(nullptr);
  form.SetName(L"Form1");
  auto* b = new TTestButton(&form);
  b->SetName(L"Button1");
  b->ratio = 0.25;  // its stored test says no
  String text = WriteComponentText(&form);
  EXPECT_EQ(text, L"object Form1: TTestForm\r\n  object Button1: TTestButton\r\n    Font.Name = 'MS Sans Serif'\r\n"
                  L"  end\r\nend\r\n");
}

TEST(FormText, PropertiesApplyInStreamOrder) {
  const String widthFirst = L"object Form1: TTestForm\n object Button1: TTestButton\n  Width = 33\n  Caption = 'x'\n end\nend\n";
  const String captionFirst = L"object Form1: TTestForm\n object Button1: TTestButton\n  Caption = 'x'\n  Width = 33\n end\nend\n";
  TTestForm a(nullptr), b(nullptr);
  ReadComponentText(widthFirst, &a, L"A");
  ReadComponentText(captionFirst, &b, L"B");
  EXPECT_EQ(a.Button1->widthWhenCaptionSet, 33);
  EXPECT_EQ(b.Button1->widthWhenCaptionSet, 75);
}

TEST(FormText, HandEditedTextReads) {
  const String text =
      L"// a screen\n"
      L"object Form1: TTestForm\n"
      L"  object Button1: TTestButton\n"
      L"    Caption = 'Kay' + \n      'det'#33\n"
      L"    Style = [tsBold, tsItalic]\n"
      L"    Enabled = False\n"
      L"    Align = 2\n"
      L"    Width = $10\n"
      L"    Ratio = -2.5e1\n"
      L"    OnClick = button1click\n"
      L"    Link = Form1\n"
      L"  end\n"
      L"end\n";
  TTestForm form(nullptr);
  ReadComponentText(text, &form, L"HAND");
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Caption(), L"Kaydet!");
  EXPECT_EQ(form.Button1->Style(), (TTestStyles{tsBold, tsItalic}));
  EXPECT_FALSE(form.Button1->Enabled());
  EXPECT_EQ(form.Button1->Align(), altBottom);
  EXPECT_EQ(form.Button1->Width(), 16);
  EXPECT_DOUBLE_EQ(form.Button1->ratio, -25.0);
  EXPECT_EQ(form.Button1->Link(), &form);
}

TEST(FormText, MalformedResourcesNameTheLine) {
  struct Case {
    const wchar_t* text;
    int line;
    const wchar_t* mentions;
  };
  const Case cases[] = {
      {L"object Form1: TTestForm\n  object X: TNoSuchClass\n  end\nend\n", 2, L"TNoSuchClass"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n\n    Captoin = 'x'\n  end\nend\n", 4, L"Captoin"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Width = 'wide'\n  end\nend\n", 3, L"Width"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Align = alSideways\n  end\nend\n", 3, L"Align"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Style = [tsBold, tsNope]\n  end\nend\n", 3, L"tsNope"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Width = 1\n", 2, L"Button1"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Caption = 'open\n  end\nend\n", 3, L"string"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    OnClick = Missing\n  end\nend\n", 3, L"Missing"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    OnClick = KeyHandler\n  end\nend\n", 3, L"KeyHandler"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Link = Nobody\n  end\nend\n", 3, L"Nobody"},
      {L"object Form1: TTestForm\n  object Button1: TTestButton\n    Font.Nothing = 1\n  end\nend\n", 3, L"Font.Nothing"},
      {L"object Form1: TTestForm\n  object Button1: TTestGrid\n  end\nend\n", 2, L"Button1"},
      {L"object Form1: TTestForm\n  object Grid1: TTestGrid\n    Data = {0A0}\n  end\nend\n", 3, L"binary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TTestForm form(nullptr);
    try {
      ReadComponentText(c.text, &form, L"TFORM1");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Line(), c.line) << e.what();
      EXPECT_EQ(e.Source(), L"TFORM1");
      EXPECT_NE(e.Message().find(c.mentions), String::npos) << e.what();
      EXPECT_EQ(e.Message().rfind(L"TFORM1(" + rtl::IntToStr(c.line) + L"): ", 0), 0u) << e.what();
    }
    // Nothing stays flagged as loading after a failure.
    for (int i = 0; i < form.ComponentCount(); ++i) EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csLoading));
  }
}

// Objects, lists and collections nested more than 256 levels deep are refused at the line where the 257th level
// opens (they overflowed the stack); 256 levels still read.
TEST(FormText, DeepNestingIsRefusedNamingTheLine) {
  struct Shape {
    const wchar_t* what;
    String head;  // levels it opens itself, one per line
    int headLevels;
    String open;  // one level per line
    String middle;
    String close;
  };
  const Shape shapes[] = {
      {L"objects", L"object Form1: TTestForm\n", 1, L"object TTestButton\n", L"", L"end\n"},
      {L"lists", L"object Form1: TTestForm\n  Caption =\n", 1, L"(\n", L"'x'\n", L")\n"},
      {L"collections", L"object Form1: TTestForm\n  object Grid1: TTestGrid\n    Columns =\n", 2, L"<item Columns =\n",
       L"1\n", L"end>\n"},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.what);
    auto text = [&](int levels) {
      String t = s.head;
      for (int i = 0; i < levels - s.headLevels; ++i) t += s.open;
      t += s.middle;
      for (int i = 0; i < levels - s.headLevels; ++i) t += s.close;
      for (int i = 0; i < s.headLevels; ++i) t += L"end\n";
      return t;
    };
    EXPECT_NO_THROW(ParseFormText(text(256), L"DEEP"));
    for (int levels : {257, 20000}) {
      try {
        ParseFormText(text(levels), L"DEEP");
        ADD_FAILURE() << levels << " levels read";
      } catch (const EFormError& e) {
        // The head's lines, then one opening per line: level 257 opens on the (257 - headLevels)th of them.
        const int headLines = static_cast<int>(std::count(s.head.begin(), s.head.end(), L'\n'));
        EXPECT_EQ(e.Line(), headLines + 257 - s.headLevels) << e.what();
        EXPECT_NE(e.Message().find(L"Nesting too deep"), String::npos) << e.what();
      }
    }
  }
}

// A value of the wrong kind is quoted as a short excerpt, however large or deep it is.
TEST(FormText, InvalidValuesAreQuotedAsAnExcerpt) {
  const String wide(100000, L'x');
  String deep = L"(";
  for (int i = 0; i < 250; ++i) deep += L"(";
  deep += L"'" + wide + L"'";
  for (int i = 0; i < 251; ++i) deep += L")";
  for (const String& value : {L"'" + wide + L"'", deep}) {
    TTestForm form(nullptr);
    try {
      ReadComponentText(L"object Form1: TTestForm\n  object B: TTestButton\n    Width = " + value + L"\n  end\nend\n",
                        &form, L"TFORM1");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Line(), 3);
      EXPECT_LT(e.Message().size(), 300u) << e.what();
      EXPECT_NE(e.Message().find(L"..."), String::npos) << e.what();
      EXPECT_NE(e.Message().find(L"Width"), String::npos) << e.what();
    }
  }
  // Short values stay whole.
  vcl::TFormValue list;
  list.Kind = vcl::TFormValueKind::List;
  list.List = {vcl::TFormValue::FromString(L"a"), vcl::TFormValue::FromInt(2)};
  EXPECT_EQ(FormatFormValue(list), L"('a' 2)");
}

TEST(FormText, CreateFromTextUsesTheRegisteredFactory) {
  TTestComponent owner(nullptr);
  TComponent* c = CreateComponentFromText(L"object Form9: TTestForm\n object Button1: TTestButton\n end\nend", &owner, L"X");
  auto* form = dynamic_cast<TTestForm*>(c);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Owner(), &owner);
  ASSERT_NE(form->Button1, nullptr);
  EXPECT_TRUE(form->Button1->constructed);
  EXPECT_TRUE(form->Button1->afterConstruction);
}

TEST(FormText, DefinedPropertiesInBinaryEncodingRoundTrip) {
  TTestForm form(nullptr);
  auto* grid = new TTestGrid(&form);
  grid->data = {1, 2, 3};
  grid->variables = {{L"a", L"b"}};
  grid->pLeft = -3.75;
  std::vector<rtl::Byte> bytes = WriteDefinedProperties(grid, &form);
  ASSERT_FALSE(bytes.empty());
  TTestGrid other(nullptr);
  ReadDefinedProperties(&other, bytes, &form);
  EXPECT_EQ(other.data, grid->data);
  EXPECT_EQ(other.variables, grid->variables);
  EXPECT_DOUBLE_EQ(other.pLeft, -3.75);
  bytes.pop_back();
  EXPECT_THROW(ReadDefinedProperties(&other, bytes, &form), EFormError);
  TTestGrid empty(nullptr);
  EXPECT_TRUE(WriteDefinedProperties(&empty, &form).empty());
}

TEST(FormText, ResourceCompiledIntoTheExecutable) {
  ASSERT_TRUE(ResourceExists(L"TTESTFORM"));
  TTestForm form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&form));
  EXPECT_EQ(form.Name(), L"ResForm");
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Caption(), L"Çıkış");
  EXPECT_THROW(LoadResourceText(L"NOSUCHFORM"), EResNotFound);
}
