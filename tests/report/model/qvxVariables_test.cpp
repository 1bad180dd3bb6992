// Report variables: categories, lookup, XML storage, the shared list and the script-side array.
#include "report/model/qvxVariables.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"

namespace {

using rtl::String;
using rtl::Variant;

std::vector<String> Lines(const rtl::TStrings& list) {
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

// Totals: Tax, Net; Dates: Start.
class VariablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Add(L" Totals", Variant::Null());
    Add(L"Tax", Variant(18));
    Add(L"Net", Variant(String(L"[Sum] - [Tax]")));
    Add(L" Dates", Variant::Null());
    Add(L"Start", Variant(2.5));
  }
  void Add(const String& name, const Variant& value) {
    TqvxVariable* v = vars_.Add();
    v->SetName(name);
    v->SetValue(value);
  }
  std::vector<String> Names() const {
    std::vector<String> out;
    for (int i = 0; i < vars_.Count(); ++i) out.push_back(vars_.Items(i)->Name());
    return out;
  }
  TqvxVariables vars_;
};

TEST_F(VariablesTest, CategoriesAndTheirVariables) {
  rtl::TStringList list;
  list.Add(L"stale");
  vars_.GetCategoriesList(&list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Totals", L"Dates"}));
  vars_.GetCategoriesList(&list, false);
  EXPECT_EQ(list.Count(), 4);

  vars_.GetVariablesList(L"totals", &list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Tax", L"Net"}));
  vars_.GetVariablesList(L"Dates", &list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Start"}));
  // The list begins with a heading, so nothing is outside a category.
  vars_.GetVariablesList(L"", &list);
  EXPECT_EQ(list.Count(), 0);
  vars_.GetVariablesList(L"Missing", &list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(VariablesTest, VariablesBeforeTheFirstHeadingHaveNoCategory) {
  vars_.Insert(0)->SetName(L"Loose");
  rtl::TStringList list;
  vars_.GetVariablesList(L"", &list);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Loose"}));
}

TEST_F(VariablesTest, DeleteCategoryTakesItsVariablesOnly) {
  vars_.DeleteCategory(L"Totals");
  EXPECT_EQ(Names(), (std::vector<String>{L" Dates", L"Start"}));
  vars_.DeleteCategory(L"Nothing");
  EXPECT_EQ(vars_.Count(), 2);
}

TEST_F(VariablesTest, AddVariableGoesToTheEndOfItsCategory) {
  vars_.AddVariable(L"Totals", L"Rate", Variant(5));
  EXPECT_EQ(Names(), (std::vector<String>{L" Totals", L"Tax", L"Net", L"Rate", L" Dates", L"Start"}));
  EXPECT_EQ(vars_.GetVariable(L"Rate"), Variant(5));

  // Present elsewhere: only the value changes, and it stays where it is.
  vars_.AddVariable(L"Dates", L"Tax", Variant(1));
  EXPECT_EQ(vars_.IndexOf(L"Tax"), 1);
  EXPECT_EQ(vars_.GetVariable(L"Tax"), Variant(1));

  vars_.AddVariable(L"Dates", L"End", Variant(3));
  EXPECT_EQ(Names().back(), L"End");

  const int before = vars_.Count();
  vars_.AddVariable(L"NoSuch", L"Lost", Variant(1));
  EXPECT_EQ(vars_.Count(), before);
  EXPECT_EQ(vars_.IndexOf(L"Lost"), -1);
}

TEST_F(VariablesTest, LookupIgnoresCaseAndMissingNamesAreNull) {
  EXPECT_EQ(vars_.IndexOf(L"tax"), 1);
  EXPECT_EQ(vars_.IndexOf(L"TAX"), 1);
  EXPECT_EQ(vars_.IndexOf(L" dates"), 3);
  EXPECT_TRUE(vars_.GetVariable(L"Absent").IsNull());
  EXPECT_TRUE(vars_[L"Absent"].IsNull());
  vars_.SetVariable(L"Absent", Variant(String(L"x")));
  EXPECT_EQ(Names().back(), L"Absent");
  vars_.SetVariable(L"START", Variant(7));
  EXPECT_EQ(vars_.GetVariable(L"Start"), Variant(7));
  vars_.DeleteVariable(L"start");
  EXPECT_EQ(vars_.IndexOf(L"Start"), -1);
  vars_.DeleteVariable(L"start");
}

// Names are identifiers: the ASCII letters I and i match whatever the user's locale, Turkish letters in the locale.
TEST(Variables, NamesMatchIgnoringCaseUnderAnyLocale) {
  TqvxVariables vars;
  vars.SetVariable(L"isim", Variant(1));
  vars.SetVariable(L"çağ", Variant(2));
  EXPECT_EQ(vars.GetVariable(L"ISIM"), Variant(1));
  EXPECT_EQ(vars.GetVariable(L"ÇAĞ"), Variant(2));
  vars.SetVariable(L"IsIm", Variant(3));
  EXPECT_EQ(vars.Count(), 2);
  EXPECT_EQ(vars.GetVariable(L"isim"), Variant(3));
}

TEST(Variables, NewVariableHoldsNull) {
  TqvxVariables vars;
  EXPECT_TRUE(vars.Add()->Value().IsNull());
}

TEST_F(VariablesTest, StreamRoundTripKeepsNamesValuesAndOrder) {
  rtl::TMemoryStream stream;
  vars_.SaveToStream(stream);
  TqvxVariables back;
  back.Add()->SetName(L"old");
  stream.SetPosition(0);
  back.LoadFromStream(stream);
  ASSERT_EQ(back.Count(), vars_.Count());
  for (int i = 0; i < vars_.Count(); ++i) {
    EXPECT_EQ(back.Items(i)->Name(), vars_.Items(i)->Name()) << i;
    EXPECT_EQ(back.Items(i)->Value().IsNull(), vars_.Items(i)->Value().IsNull()) << i;
    if (!vars_.Items(i)->Value().IsNull()) {
      EXPECT_EQ(rtl::VarToStr(back.Items(i)->Value()), rtl::VarToStr(vars_.Items(i)->Value())) << i;
    }
  }
  EXPECT_EQ(rtl::VarToStr(back.GetVariable(L"Tax")), L"18");
  EXPECT_TRUE(back.GetVariable(L" Totals").IsNull());
}

TEST_F(VariablesTest, FileHasTheVariablesRootAndOneItemPerVariable) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const String file = String(tmp) + L"qvx_vars_" + std::to_wstring(GetCurrentProcessId()) + L".xml";
  vars_.SaveToFile(file);
  rtl::TStringList lines;
  lines.LoadFromFile(file);
  ASSERT_EQ(lines.Count(), 2 + vars_.Count() + 1);
  EXPECT_EQ(lines.Strings(0).rfind(L"<?xml", 0), 0u);
  EXPECT_EQ(lines.Strings(1), L"<variables>");
  // Children are indented as the XML writer indents every level.
  EXPECT_EQ(lines.Strings(2).rfind(L" ", 0), 0u) << lines.Strings(2);
  EXPECT_EQ(rtl::TrimLeft(lines.Strings(2)).rfind(L"<item ", 0), 0u) << lines.Strings(2);
  EXPECT_NE(lines.Strings(2).find(L"Name=\" Totals\""), String::npos) << lines.Strings(2);
  EXPECT_EQ(lines.Strings(lines.Count() - 1), L"</variables>");

  TqvxVariables back;
  back.LoadFromFile(file);
  EXPECT_EQ(back.Count(), vars_.Count());
  EXPECT_EQ(back.GetVariable(L"Net"), Variant(String(L"[Sum] - [Tax]")));
  DeleteFileW(file.c_str());
}

TEST(Variables, OtherRootLoadsNothingAndUnknownChildrenAreSkipped) {
  TqvxVariables vars;
  vars.SetVariable(L"Kept", Variant(1));
  rtl::TStringStream other(String(L"<?xml version=\"1.0\"?><style><item Name=\"A\"/></style>"));
  vars.LoadFromStream(other);
  EXPECT_EQ(vars.Count(), 0);

  rtl::TStringStream mixed(
      String(L"<?xml version=\"1.0\"?><Variables><item Name=\"A\"/><note Name=\"B\"/>"
             L"<ITEM Name=\"C\"/></Variables>"));
  vars.LoadFromStream(mixed);
  ASSERT_EQ(vars.Count(), 2);
  EXPECT_EQ(vars.Items(0)->Name(), L"A");
  EXPECT_EQ(vars.Items(1)->Name(), L"C");
}

TEST(Variables, MissingFileRaisesAndLeavesTheListAlone) {
  TqvxVariables vars;
  vars.SetVariable(L"Kept", Variant(1));
  EXPECT_ANY_THROW(vars.LoadFromFile(L"C:\\no\\such\\folder\\vars.xml"));
  EXPECT_EQ(vars.Count(), 1);
}

TEST(Variables, AssignCopiesNameValueAndInheritedFlag) {
  TqvxVariables vars;
  TqvxVariable* a = vars.Add();
  a->SetName(L"A");
  a->SetValue(Variant(3));
  a->IsInherited = true;
  TqvxVariable* b = vars.Add();
  b->InheritedName = L"keep";
  b->Assign(a);
  EXPECT_EQ(b->Name(), L"A");
  EXPECT_EQ(b->Value(), Variant(3));
  EXPECT_TRUE(b->IsInherited);
  EXPECT_EQ(b->GetInheritedName(), L"A");
  b->SetName(L"");
  EXPECT_EQ(b->GetInheritedName(), L"keep");
}

TEST(Variables, GlobalListIsOneForTheProcess) {
  qvxGlobalVariables().SetVariable(L"Okul", Variant(String(L"Atatürk Lisesi")));
  EXPECT_EQ(&qvxGlobalVariables(), &qvxGlobalVariables());
  EXPECT_EQ(qvxGlobalVariables().GetVariable(L"okul"), Variant(String(L"Atatürk Lisesi")));
  qvxGlobalVariables().DeleteVariable(L"Okul");
}

TEST(Array, KeysCompareAsText) {
  TqvxArray arr;
  arr.SetVariable(Variant(1), Variant(String(L"one")));
  EXPECT_EQ(arr.GetVariable(Variant(String(L"1"))), Variant(String(L"one")));
  arr.SetVariable(Variant(String(L"1")), Variant(2));
  EXPECT_EQ(arr.Count(), 1);
  EXPECT_EQ(arr[Variant(1)], Variant(2));
  EXPECT_TRUE(arr.GetVariable(Variant(String(L"x"))).IsNull());
  arr.SetVariable(Variant::Null(), Variant(5));
  EXPECT_EQ(arr.GetVariable(Variant(String())), Variant(5));
}

}  // namespace
