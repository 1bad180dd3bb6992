#include "report/model/qvxRes.h"

#include <gtest/gtest.h>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"

using rtl::String;

TEST(QvxResources, BuiltInTable) {
  TqvxResources& res = qvxResources();
  struct Case {
    String key, value;
  } cases[] = {
      {L"mbError", L"Error"},
      {L"MBERROR", L"Error"},
      {L"207", L"Other"},
      {L"211", L"Order"},
      {L"poDirect", L"Direct (1-9)"},
      {L"clDSNotExist", L"Dataset \"%s\" does not exist"},
      {L"SIdRedeclared", L"Identifier redeclared: "},
      {L"clFirstPass", L"First pass: page "},
      {L"Code39 Extended", L"Code 39 Extended"},
      {L"obText", L"obText"},
      {L"!missing", L"missing"},
      {L"Invalid password", L"Invalid password"},
  };
  for (const Case& c : cases) EXPECT_EQ(res.Get(c.key), c.value) << c.key;
  EXPECT_EQ(qvxGet(1), L"OK");
  EXPECT_EQ(qvxGet(9), L"Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
  EXPECT_EQ(res.CodePage(), 1252u);
}

TEST(QvxResources, AddingAndReplacing) {
  TqvxResources res;
  res.AddW(L"key", L"one");
  res.AddW(L"KEY", L"two");
  EXPECT_EQ(res.Get(L"key"), L"two");
  res.AddStrings(L"a=1\r\n=2\r\nb=\r\nc\r\nd=x=y");
  EXPECT_EQ(res.Get(L"a"), L"1");
  EXPECT_EQ(res.Get(L"b"), L"b");
  EXPECT_EQ(res.Get(L"c"), L"c");
  EXPECT_EQ(res.Get(L"d"), L"x=y");
  res.Clear();
  EXPECT_EQ(res.Get(L"a"), L"a");
}

TEST(QvxResources, LanguageDocuments) {
  TqvxResources res;
  res.AddW(L"mbError", L"Error");
  // A language file overrides key by key; its values are decoded twice.
  res.AddXML("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1254\">"
             "<StrRes Name=\"mbError\" Text=\"Hata\"/><StrRes Name=\"q\" Text=\"&#38;#34;\xC4\xB1&#38;#34;\"/>"
             "<Other Name=\"x\" Text=\"y\"/></Resources>");
  EXPECT_EQ(res.Get(L"mbError"), L"Hata");
  EXPECT_EQ(res.Get(L"q"), L"\"ı\"");
  EXPECT_EQ(res.Get(L"x"), L"x");
  EXPECT_EQ(res.CodePage(), 1254u);

  // Older documents hold UTF-8 bytes as ANSI characters.
  res.AddXML("<?xml version=\"1.0\"?><Resources CodePage=\"1254\"><StrRes Name=\"o\" Text=\"\xC4\xB1\"/></Resources>");
  EXPECT_EQ(res.Get(L"o"), L"ı");

  // Another root loads nothing; a missing code page is an error.
  res.AddXML("<?xml version=\"1.1\"?><Strings CodePage=\"1\"><StrRes Name=\"z\" Text=\"1\"/></Strings>");
  EXPECT_EQ(res.Get(L"z"), L"z");
  EXPECT_THROW(res.AddXML("<?xml version=\"1.1\"?><Resources><StrRes Name=\"z\" Text=\"1\"/></Resources>"),
               rtl::EConvertError);

  res.LoadFromFile(rtl::GetTempPath() + L"no such language.qvc");
  EXPECT_EQ(res.Get(L"mbError"), L"Hata");
}

namespace {
class TqvxDesignerForm : public rtl::TObject {
public:
  String ClassName() const override { return L"TqvxDesignerForm"; }
};
}  // namespace

TEST(QvxResources, HelpPaths) {
  TqvxResources res;
  TqvxDesignerForm designer;
  rtl::TObject other;
  EXPECT_EQ(res.HelpPath(&designer), rtl::ExeFolder() + L"QVUser.chm::/Designer.htm");
  EXPECT_EQ(res.HelpPath(&other), rtl::ExeFolder() + L"QVUser.chm");
  EXPECT_EQ(res.HelpPath(nullptr), rtl::ExeFolder() + L"QVUser.chm");
  res.SetHelpFile(L"x.chm");
  EXPECT_EQ(res.HelpPath(nullptr), rtl::ExeFolder() + L"x.chm");
}

TEST(QvxResources, LanguageFilesListedByName) {
  const String a = rtl::ExeFolder() + L"TURKCE.QVC";
  const String b = rtl::ExeFolder() + L"deutsch.qvc";
  { rtl::TFileStream f(a, rtl::fmCreate); }
  { rtl::TFileStream f(b, rtl::fmCreate); }
  TqvxResources res;
  rtl::DeleteFile(a);
  rtl::DeleteFile(b);
  EXPECT_EQ(res.Languages().ToVector(), (std::vector<String>{L"Deutsch", L"Turkce"}));
}
