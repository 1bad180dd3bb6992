// String-list properties in form resources: "Items.Strings = ( ... )" read through the property's setter and
// written back, lists held without a setter filled in place, malformed lists reported with their line.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/component.h"
#include "platform/vcl/filer.h"

namespace sltest {

using rtl::String;
using rtl::TStringList;
using rtl::TStrings;
using namespace vcl;

// Items has a setter that assigns (and counts its calls); Lines is held without a setter, as a memo's lines are.
class TListHolder : public TComponent {
  VCL_CLASS(TListHolder, TComponent)
public:
  explicit TListHolder(TComponent* owner) : TComponent(owner) {}
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) {
    ++setItemsCalls;
    items_->Assign(v);
  }
  TStrings* Lines() const { return lines_.get(); }
  TStringList* Sorted() const { return sorted_.get(); }
  void SetSorted(TStringList* v) { sorted_->Assign(v); }
  int setItemsCalls = 0;

private:
  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
  std::unique_ptr<TStringList> sorted_ = std::make_unique<TStringList>();
};

class TListForm : public TComponent {
  VCL_CLASS(TListForm, TComponent)
public:
  explicit TListForm(TComponent* owner) : TComponent(owner) {}
  TListHolder* Holder1 = nullptr;
};

VCL_REGISTER(TListHolder) {
  cls.Prop(L"Items", &TListHolder::Items, &TListHolder::SetItems);
  cls.Prop(L"Lines", &TListHolder::Lines);
  cls.Prop(L"Sorted", &TListHolder::Sorted, &TListHolder::SetSorted);
}

VCL_REGISTER(TListForm) { cls.Field(L"Holder1", &TListForm::Holder1); }

}  // namespace sltest

using namespace sltest;

namespace {

const std::vector<String> kTricky = {
    L"Öğrenci İşleri",  // Turkish letters, dotted capital I
    L"ılık ŞÇĞÜ",
    L"",                // empty line in the middle
    L"'tırnak' ve ''çift''",
    L"  baştaki ve sondaki boşluk  ",
    L"",  // empty last line
};

std::vector<String> Lines(const TStrings* s) { return s->ToVector(); }

TListHolder* MakeHolder(TListForm& form) {
  form.SetName(L"Form1");
  auto* h = new TListHolder(&form);
  h->SetName(L"Holder1");
  return h;
}

}  // namespace

TEST(StringListProperty, RegistryKnowsStringListTypes) {
  const TPropInfo* items = TListHolder::StaticClass()->FindProperty(L"Items");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->TypeName(), L"TStrings");
  EXPECT_TRUE(IsStringsProp(items));
  EXPECT_TRUE(items->IsSubObject());
  EXPECT_EQ(TListHolder::StaticClass()->FindProperty(L"Sorted")->TypeName(), L"TStringList");
  ASSERT_NE(GetClass(L"TStringList"), nullptr);
  EXPECT_TRUE(GetClass(L"TStringList")->InheritsFrom(GetClass(L"TStrings")));
  TStringList list;
  EXPECT_EQ(ClassOf(&list), GetClass(L"TStringList"));
}

TEST(StringListProperty, RoundTripKeepsTurkishTextQuotesAndEmptyLines) {
  TListForm form(nullptr);
  TListHolder* h = MakeHolder(form);
  h->Items()->AddStrings(kTricky);
  h->Lines()->Add(L"SELECT * FROM OGRENCI");
  h->Lines()->Add(L"WHERE AD = 'Ayşe'");
  String text = WriteComponentText(&form);
  EXPECT_NE(text.find(L"Items.Strings = ("), String::npos) << text;
  EXPECT_NE(text.find(L"Lines.Strings = ("), String::npos);

  TListForm copy(nullptr);
  ReadComponentText(text, &copy, L"ROUNDTRIP");
  ASSERT_NE(copy.Holder1, nullptr);
  EXPECT_EQ(Lines(copy.Holder1->Items()), kTricky);
  EXPECT_EQ(Lines(copy.Holder1->Lines()), (std::vector<String>{L"SELECT * FROM OGRENCI", L"WHERE AD = 'Ayşe'"}));
  // The whole list goes through the setter once, not line by line.
  EXPECT_EQ(copy.Holder1->setItemsCalls, 1);
  EXPECT_EQ(WriteComponentText(&copy), text);
}

TEST(StringListProperty, SingleLineAndOnlyEmptyLineSurvive) {
  for (const std::vector<String>& lines : {std::vector<String>{L"tek"}, std::vector<String>{L""}}) {
    TListForm form(nullptr);
    MakeHolder(form)->Items()->AddStrings(lines);
    String text = WriteComponentText(&form);
    TListForm copy(nullptr);
    ReadComponentText(text, &copy, L"ONE");
    EXPECT_EQ(Lines(copy.Holder1->Items()), lines) << text;
  }
}

TEST(StringListProperty, EmptyListIsNotWritten) {
  TListForm form(nullptr);
  MakeHolder(form);
  String text = WriteComponentText(&form);
  EXPECT_EQ(text.find(L"Items"), String::npos) << text;
  EXPECT_EQ(text.find(L"Strings"), String::npos) << text;
}

TEST(StringListProperty, ReadsTheClassicFormAndReplacesWhatWasThere) {
  const String text =
      L"object Form1: TListForm\r\n"
      L"  object Holder1: TListHolder\r\n"
      L"    Items.Strings = (\r\n"
      L"      'Erkek'\r\n"
      L"      'K' + 'ız'\r\n"
      L"      'satır'#13#10'iki')\r\n"
      L"    Sorted.Strings = (\r\n"
      L"      'b'\r\n"
      L"      'a')\r\n"
      L"    Lines.Strings = ()\r\n"
      L"  end\r\n"
      L"end\r\n";
  TListForm form(nullptr);
  TListHolder* h = MakeHolder(form);
  h->Items()->Add(L"eski");
  h->Lines()->Add(L"eski satır");
  ReadComponentText(text, &form, L"CLASSIC");
  EXPECT_EQ(Lines(h->Items()), (std::vector<String>{L"Erkek", L"Kız", L"satır\r\niki"}));
  EXPECT_EQ(Lines(h->Sorted()), (std::vector<String>{L"b", L"a"}));
  EXPECT_TRUE(Lines(h->Lines()).empty());
}

TEST(StringListProperty, MalformedListFailsNamingTheLine) {
  struct Case {
    const wchar_t* value;  // what follows "Items.Strings = " on line 3
    int line;              // the line the error must name
  };
  const Case cases[] = {
      {L"'tek başına'", 3},          // not a list
      {L"(\r\n  'a'\r\n  12)", 5},   // a number among the strings
      {L"(\r\n  'a'\r\n  Kız)", 5},  // an identifier
      {L"(\r\n  'a'\r\n  ('iç'))", 5},
  };
  for (const Case& c : cases) {
    const String text = String(L"object Form1: TListForm\r\n  object Holder1: TListHolder\r\n    Items.Strings = ") +
                        c.value + L"\r\n  end\r\nend\r\n";
    TListForm form(nullptr);
    try {
      ReadComponentText(text, &form, L"BROKEN");
      ADD_FAILURE() << "no error for " << c.value;
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Line(), c.line) << e.Message();
      EXPECT_NE(e.Message().find(L"BROKEN"), String::npos) << e.Message();
      EXPECT_NE(e.Detail().find(L"Items.Strings"), String::npos) << e.Message();
    }
  }
}

TEST(StringListProperty, UnclosedListFailsNamingItsLine) {
  const String text =
      L"object Form1: TListForm\r\n"
      L"  object Holder1: TListHolder\r\n"
      L"    Items.Strings = (\r\n"
      L"      'a'\r\n";
  TListForm form(nullptr);
  try {
    ReadComponentText(text, &form, L"UNCLOSED");
    ADD_FAILURE() << "no error";
  } catch (const EFormError& e) {
    EXPECT_GE(e.Line(), 3) << e.Message();
    EXPECT_NE(e.Detail().find(L"Items"), String::npos) << e.Message();
  }
}

TEST(StringListProperty, PropertyTextIsTheListText) {
  TListForm form(nullptr);
  TListHolder* h = MakeHolder(form);
  SetPropText(h, L"Items", L"bir\r\niki\r\nüç");
  EXPECT_EQ(Lines(h->Items()), (std::vector<String>{L"bir", L"iki", L"üç"}));
  EXPECT_EQ(h->setItemsCalls, 1);
  EXPECT_EQ(GetPropText(h, L"Items"), L"bir\r\niki\r\nüç\r\n");
  SetPropText(h, L"Lines", L"tek");
  EXPECT_EQ(Lines(h->Lines()), (std::vector<String>{L"tek"}));
}

TEST(StringListProperty, StandaloneListStoresItsLines) {
  TStringList list;
  list.AddStrings(kTricky);
  std::vector<Byte> data = WriteDefinedProperties(&list, nullptr);
  ASSERT_FALSE(data.empty());
  TStringList copy;
  copy.Add(L"eski");
  ReadDefinedProperties(&copy, data, nullptr);
  EXPECT_EQ(Lines(&copy), kTricky);
  TStringList empty;
  EXPECT_TRUE(WriteDefinedProperties(&empty, nullptr).empty());
}
