// Character sets in form text: read by name or by number, written by name (by number only where a set has no name),
// and the same value after a round trip; a name that is no character set is an error that names the property.
#include <gtest/gtest.h>

#include "platform/rtl/textconv.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicsobjects.h"

using namespace vcl;

namespace {

String FormWithCharset(const String& value) {
  return L"object Form1: TForm\n  Caption = 'Öğrenci Kayıt'\n  Font.Charset = " + value +
         L"\n  Font.Name = 'Tahoma'\n  Color = clBtnFace\nend\n";
}

TEST(CharsetFormText, ReadsNamesAndNumbersAndWritesNames) {
  struct Case {
    const wchar_t* text;
    int charset;
    const wchar_t* written;
  };
  const Case cases[] = {
      {L"DEFAULT_CHARSET", DEFAULT_CHARSET, L"DEFAULT_CHARSET"},
      {L"TURKISH_CHARSET", TURKISH_CHARSET, L"TURKISH_CHARSET"},
      {L"turkish_charset", TURKISH_CHARSET, L"TURKISH_CHARSET"},  // identifiers ignore ASCII case
      {L"ANSI_CHARSET", ANSI_CHARSET, L"ANSI_CHARSET"},
      {L"162", TURKISH_CHARSET, L"TURKISH_CHARSET"},
      {L"3", 3, L"3"},  // no set has this number: it stays a number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.text));
    TForm form(nullptr);
    ReadComponentText(FormWithCharset(c.text), &form, L"CHARSET");
    EXPECT_EQ(form.Font()->Charset(), c.charset);
    EXPECT_EQ(form.Font()->Name(), L"Tahoma");

    const String line = String(L"  Font.Charset = ") + c.written + L"\r\n";
    String written = WriteComponentText(&form);
    EXPECT_NE(written.find(line), String::npos) << rtl::UTF8Encode(written);

    TForm copy(nullptr);
    ReadComponentText(written, &copy, L"CHARSET2");
    EXPECT_EQ(copy.Font()->Charset(), c.charset);
    EXPECT_NE(WriteComponentText(&copy).find(line), String::npos);
  }
}

TEST(CharsetFormText, UnknownNameIsAnErrorNamingTheProperty) {
  TForm form(nullptr);
  try {
    ReadComponentText(FormWithCharset(L"KLINGON_CHARSET"), &form, L"CHARSET");
    FAIL() << "no error";
  } catch (const rtl::Exception& e) {
    EXPECT_NE(e.Message().find(L"Font.Charset"), String::npos);
    EXPECT_NE(e.Message().find(L"KLINGON_CHARSET"), String::npos);
  }
}

TEST(CharsetFormText, PropertyTextTakesCharsetAndColourNames) {
  TForm form(nullptr);
  SetPropText(&form, L"Font.Charset", L"TURKISH_CHARSET");
  EXPECT_EQ(form.Font()->Charset(), TURKISH_CHARSET);
  SetPropText(&form, L"Font.Charset", L"1");
  EXPECT_EQ(form.Font()->Charset(), DEFAULT_CHARSET);
  SetPropText(&form, L"Font.Color", L"clWindowText");
  EXPECT_EQ(form.Font()->Color(), clWindowText);
  SetPropText(&form, L"Color", L"clRed");
  EXPECT_EQ(form.Color(), clRed);
  EXPECT_THROW(SetPropText(&form, L"Font.Charset", L"KLINGON_CHARSET"), EPropertyConvertError);
  EXPECT_THROW(SetPropText(&form, L"Font.Size", L"clRed"), EPropertyConvertError);
}

}  // namespace
