#include "script/wz_itools.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "wz_frontend_host.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_iconst.h"
#include "script/wz_ipascal.h"

using rtl::String;

TEST(WzLanguages, Registry) {
  const String grammar = wzGetLanguage(L"ZUVIZAVURUZE");
  EXPECT_EQ(grammar.rfind(L"<?xml version=\"1.0\"?>", 0), 0u);
  EXPECT_NE(grammar.find(L"<language text=\"ZuvizaVuruze\">"), String::npos);

  wzRegisterLanguage(L"TestLang", L"first");
  wzRegisterLanguage(L"TESTLANG", L"second");
  EXPECT_EQ(wzGetLanguage(L"testlang"), L"second");
  int entries = 0;
  for (const String& name : wzLanguageNames())
    if (rtl::SameText(name, L"testlang")) {
      ++entries;
      EXPECT_EQ(name, L"TESTLANG");
    }
  EXPECT_EQ(entries, 1);

  try {
    wzGetLanguage(L"Klingon");
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Language 'Klingon' not found");
  }
}

TEST(WzLanguages, LanguageComponentIsRegistered) {
  EXPECT_EQ(vcl::GetClass(L"TwzPascal"), TwzPascal::StaticClass());
  TwzPascal language(nullptr);
  EXPECT_EQ(language.ClassName(), L"TwzPascal");
}

TEST(WzLanguages, Messages) {
  EXPECT_EQ(SIdRedeclared, L"Identifier redeclared: ");
  EXPECT_EQ(SStringError, L"Strings doesn't have properties or methods");
  EXPECT_EQ(SEventError, L"Event handler must be a procedure");
}

TEST(WzTypeRules, Compatibility) {
  TestCompilerHost host;
  host.Classes = {{L"TOBJECT", L""}, {L"TCOMPONENT", L"TObject"}, {L"TBUTTON", L"TComponent"}};
  const TwzTypePair integer{fvtInt, L""}, floating{fvtFloat, L""}, text{fvtString, L""}, ch{fvtChar, L""},
      boolean{fvtBool, L""}, variant{fvtVariant, L""}, int64{fvtInt64, L""}, array{fvtArray, L""},
      color{fvtEnum, L"TColor"}, align{fvtEnum, L"TAlign"}, component{fvtClass, L"TComponent"},
      button{fvtClass, L"TButton"}, object{fvtClass, L"TObject"}, constructor{fvtConstructor, L""};
  struct Case {
    TwzTypePair target, source;
    bool compatible;
  } cases[] = {
      {integer, floating, true},   {integer, color, true},      {integer, text, false},    {int64, integer, true},
      {floating, integer, true},   {floating, color, false},    {boolean, integer, false}, {boolean, variant, true},
      {text, ch, true},            {ch, text, true},            {text, integer, false},    {array, variant, true},
      {array, text, false},        {variant, button, true},     {color, integer, true},    {color, color, true},
      {color, {fvtEnum, L"TCOLOR"}, true},                      {color, align, false},     {color, floating, false},
      {component, button, true},   {component, object, false},  {component, variant, true},
      {component, {fvtClass, L"TUnknown"}, false},              {constructor, variant, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TypesCompatible(c.target, c.source, &host), c.compatible)
        << int(c.target.Typ) << " " << c.target.TypeName << " <- " << int(c.source.Typ) << " " << c.source.TypeName;
  // An integer operand takes a float; an integer variable is not assigned one.
  EXPECT_FALSE(AssignCompatible(integer, floating, &host));
  EXPECT_TRUE(AssignCompatible(floating, integer, &host));
  EXPECT_TRUE(AssignCompatible(int64, floating, &host));
  EXPECT_FALSE(TypesCompatible(component, button, nullptr));
}

TEST(WzTypeRules, TypeNames) {
  TestCompilerHost host;
  host.Types = {{L"INTEGER", fvtInt}, {L"STRING", fvtString}};
  EXPECT_EQ(StrToVarType(L"integer", &host), fvtInt);
  EXPECT_EQ(StrToVarType(L"String", &host), fvtString);
  EXPECT_EQ(StrToVarType(L"TForm", &host), fvtClass);
  EXPECT_EQ(StrToVarType(L"Integer", nullptr), fvtClass);
}

TEST(WzLiterals, ParserStringToVariant) {
  EXPECT_TRUE(ParserStringToVariant(L"").IsNull());
  EXPECT_EQ(ParserStringToVariant(L"''").VarType(), rtl::varUString);
  EXPECT_EQ(ParserStringToVariant(L"''").AsString(), L"");
  EXPECT_EQ(ParserStringToVariant(L"'it's'").AsString(), L"it's");
  struct Case {
    const wchar_t* text;
    rtl::TVarType type;
    rtl::Int64 value;
  } integers[] = {
      {L"2147483647", rtl::varInteger, 2147483647},
      {L"4294967295", rtl::varInt64, 4294967295LL},
      {L"$FF", rtl::varInteger, 255},
      {L"$FFFFFFFF", rtl::varInt64, 4294967295LL},
      {L"0", rtl::varInteger, 0},
  };
  for (const auto& c : integers) {
    const rtl::Variant v = ParserStringToVariant(c.text);
    EXPECT_EQ(v.VarType(), c.type) << c.text;
    EXPECT_EQ(v.AsInt64(), c.value) << c.text;
  }
  // Reals are written with a full stop whatever the user's decimal separator.
  const rtl::Variant real = ParserStringToVariant(L"1.5e3");
  EXPECT_EQ(real.VarType(), rtl::varDouble);
  EXPECT_DOUBLE_EQ(real.AsDouble(), 1500.0);
  EXPECT_DOUBLE_EQ(ParserStringToVariant(L"0.25").AsDouble(), 0.25);
  EXPECT_THROW(ParserStringToVariant(L"1.2.3x"), rtl::EConvertError);
}

TEST(WzLiterals, OpenArguments) {
  EXPECT_EQ(VarRecToVariant(rtl::TVarRec(7)).VarType(), rtl::varInteger);
  EXPECT_EQ(VarRecToVariant(rtl::TVarRec(7LL << 40)).AsInt64(), 7LL << 40);
  EXPECT_DOUBLE_EQ(VarRecToVariant(rtl::TVarRec(2.5)).AsDouble(), 2.5);
  EXPECT_EQ(VarRecToVariant(rtl::TVarRec(L'x')).AsString(), L"x");
  EXPECT_EQ(VarRecToVariant(rtl::TVarRec(String(L"\x0130stanbul"))).AsString(), L"\x0130stanbul");
  EXPECT_TRUE(VarRecToVariant(rtl::TVarRec(true)).AsBoolean());
  EXPECT_TRUE(VarRecToVariant(rtl::TVarRec(nullptr)).IsNull());

  const String longText(300, L'\x015F');
  const rtl::Variant args = rtl::VarArrayOf({rtl::Variant(5), rtl::Variant(1.25), rtl::Variant(longText),
                                             rtl::Variant(true), rtl::Variant(1LL << 40), rtl::Variant::Null()});
  std::vector<rtl::TVarRec> recs = VariantToVarRec(args);
  ASSERT_EQ(recs.size(), 6u);
  EXPECT_EQ(recs[0].kind(), rtl::TVarRec::Kind::Integer);
  EXPECT_EQ(recs[1].kind(), rtl::TVarRec::Kind::Float);
  // Texts are not cut to the length or the code page of old short strings.
  EXPECT_EQ(recs[2].AsString(), longText);
  EXPECT_EQ(recs[3].kind(), rtl::TVarRec::Kind::Boolean);
  EXPECT_EQ(recs[4].AsInt64(), 1LL << 40);
  EXPECT_EQ(recs[5].kind(), rtl::TVarRec::Kind::Integer);
  EXPECT_EQ(rtl::Format(L"%d-%d", {recs[0], recs[5]}), L"5-0");
  ClearVarRec(recs);
  EXPECT_TRUE(recs.empty());
  EXPECT_TRUE(VariantToVarRec(rtl::Variant(3)).empty());
}

TEST(WzPositions, PosToPoint) {
  TwzPoint p = wzPosToPoint(L"3:14");
  EXPECT_EQ(p.Y, 3);
  EXPECT_EQ(p.X, 14);
  p = wzPosToPoint(L"");
  EXPECT_EQ(p.X, 0);
  EXPECT_EQ(p.Y, 0);
  EXPECT_THROW(wzPosToPoint(L"3"), rtl::EConvertError);
  EXPECT_THROW(wzPosToPoint(L"x:1"), rtl::EConvertError);
}
