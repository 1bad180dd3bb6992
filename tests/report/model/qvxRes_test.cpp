#include "report/model/qvxRes.h"

#include <gtest/gtest.h>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/imagelist.h"
#include "script/wz_iconst.h"
#include "script/wz_script.h"

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
  res.AddXML(
      "<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1254\">"
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

TEST(QvxResources, PreviewButtonImagesFromTheProgramsStrip) {
  vcl::TImageList* images = qvxResources().GetPreviewButtonImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 25);
  EXPECT_EQ(images->Width(), 16);
  EXPECT_EQ(images->Height(), 16);
  EXPECT_EQ(qvxResources().GetPreviewButtonImages(), images) << "filled once";
  EXPECT_EQ(images->Count(), 25);
  // Each glyph the preview uses draws something on its transparent ground, and leaves the ground alone.
  for (int index : {0, 1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24}) {
    vcl::TBitmap target(16, 16, vcl::pf24bit);
    target.Canvas()->Brush()->SetColor(0x00FF00);
    target.Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
    images->Draw(target.Canvas(), 0, 0, index);
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (target.Canvas()->Pixels(x, y) != 0x00FF00) ++drawn;
    EXPECT_GT(drawn, 10) << index;
    EXPECT_LT(drawn, 256) << index;
  }
}

TEST(QvxResources, StripsTheProgramDoesNotCarry) {
  TqvxResources res;
  EXPECT_THROW(res.GetMainButtonImages(), rtl::EResNotFound);
  EXPECT_THROW(res.GetObjectImages(), rtl::EResNotFound);
  EXPECT_THROW(res.GetWizardImages(), rtl::EResNotFound);
  // A strip handed in fills the list; main buttons get their grey copies.
  vcl::TBitmap strip(48, 16, vcl::pf24bit);
  strip.Canvas()->Brush()->SetColor(0xFFFFFF);
  strip.Canvas()->FillRect(vcl::TRect(0, 0, 48, 16));
  res.SetButtonImages(&strip);
  EXPECT_EQ(res.GetMainButtonImages()->Count(), 3);
  EXPECT_EQ(res.DisabledButtonImages()->Count(), 3);
  res.SetButtonImages(&strip, true);
  EXPECT_EQ(res.GetMainButtonImages()->Count(), 3);
  vcl::TBitmap wizard(64, 32, vcl::pf24bit);
  res.SetWizardImages(&wizard);
  EXPECT_EQ(res.GetWizardImages()->Count(), 2);
}

TEST(QvxResources, SetGlyphGivesTwoStates) {
  TqvxResources res;
  // One button image: a red square on white.
  vcl::TBitmap strip(16, 16, vcl::pf24bit);
  strip.Canvas()->Brush()->SetColor(0xFFFFFF);
  strip.Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
  strip.Canvas()->Brush()->SetColor(0x0000FF);
  strip.Canvas()->FillRect(vcl::TRect(4, 4, 12, 12));
  res.SetButtonImages(&strip);
  vcl::TSpeedButton button(nullptr);
  res.SetGlyph(&button, 0);
  vcl::TBitmap* glyph = button.Glyph();
  ASSERT_EQ(glyph->Width(), 32);
  ASSERT_EQ(glyph->Height(), 16);
  vcl::TCanvas* c = glyph->Canvas();
  EXPECT_EQ(c->Pixels(0, 15), 0x008080) << "the glyph's transparent colour";
  EXPECT_EQ(c->Pixels(8, 8), 0x0000FF);
  EXPECT_EQ(c->Pixels(24, 8), static_cast<vcl::TColor>(RGB(178, 178, 178))) << "the disabled image beside it";
  EXPECT_EQ(c->Pixels(17, 1), 0x008080);
}

TEST(QvxResources, LanguageFilesTranslateTheScriptCompiler) {
  TqvxResources& res = qvxResources();
  const String original = res.Get(L"SIdUndeclared");
  res.AddXML(
      "<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1254\">"
      "<StrRes Name=\"SIdUndeclared\" Text=\"Tan\xC4\xB1mlanmam\xC4\xB1\xC5\x9F ad: \"/></Resources>");
  TwzScript script(nullptr);
  script.Lines().SetText(L"begin x := 1 end.");
  script.SetSyntaxType(L"ZuvizaVuruze");
  const bool compiled = script.Compile();
  res.AddW(L"SIdUndeclared", original);
  res.UpdateFSResources();
  EXPECT_FALSE(compiled);
  EXPECT_NE(script.ErrorMsg().find(L"Tanımlanmamış ad: 'x'"), String::npos) << rtl::StringToUTF8(script.ErrorMsg());
  EXPECT_EQ(SIdUndeclared, original);
}
