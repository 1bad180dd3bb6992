#include "script/wz_xml.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/win.h"
#include "platform/rtl/textconv.h"

using rtl::String;

namespace {

std::string Utf8(const String& s) { return rtl::StringToUTF8(s); }

void ExpectInvalid(const std::string& bytes) {
  TwzXMLDocument doc;
  try {
    doc.LoadFromBytes(bytes);
    FAIL() << "no error for " << bytes;
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Invalid file format") << bytes;
  }
}

}  // namespace

TEST(WzXmlText, EscapingAndUnescaping) {
  struct Case {
    String plain, escaped;
  } cases[] = {
      {L"a<b", L"a&#60;b"},
      {L"say \"hi\"", L"say &#34;hi&#34;"},
      {L"x>y\r\n", L"x&#62;y&#13;&#10;"},
      {L"fish & chips", L"fish & chips"},
      {L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToXML(c.plain), c.escaped) << c.plain;
    EXPECT_EQ(XMLToStr(c.escaped), c.plain) << c.escaped;
  }
  EXPECT_EQ(StrToXML(L"&quot;"), L"&#34;");
  EXPECT_EQ(XMLToStr(L"&#65;&#66;"), L"AB");
  EXPECT_EQ(XMLToStr(L"&quot;x&quot;"), L"\"x\"");
  EXPECT_EQ(XMLToStr(L"&#305;"), L"\x0131");
  // Codes are cut to 16 bits instead of failing on a long number.
  EXPECT_EQ(XMLToStr(L"&#65601;"), L"A");
}

TEST(WzXmlText, MalformedReferences) {
  EXPECT_THROW(XMLToStr(L"&#x41;"), rtl::EConvertError);
  EXPECT_THROW(XMLToStr(L"&#;zz"), rtl::EConvertError);
  // Without its ';' (or too short to hold one) a reference is left as it stands, never read past the end.
  EXPECT_EQ(XMLToStr(L"&#65"), L"&#65");
  EXPECT_EQ(XMLToStr(L"a&#6"), L"a&#6");
  EXPECT_EQ(XMLToStr(L"&#"), L"&#");
  EXPECT_EQ(XMLToStr(L"&"), L"&");
  EXPECT_EQ(XMLToStr(L"&quot"), L"&quot");
}

TEST(WzXmlDocument, ReadsAndWritesItsOwnDocumentsByteForByte) {
  const std::string flat =
      "<?xml version=\"1.0\"?><language text=\"ZuvizaVuruze\"><parser><commentblock1 text=\"{,}\"/>"
      "<errors><err20 text=\"'&#62;' expected\"/></errors></parser><types/><expr pos=\"1:2\" pos1=\"1:5\">"
      "<op text=\"&#60;&#62;\" pos=\"1:4\"/></expr></language>";
  TwzXMLDocument doc;
  doc.LoadFromBytes(flat);
  EXPECT_EQ(doc.SaveToBytes(), flat);
  EXPECT_EQ(doc.Root()->Name(), L"language");
  EXPECT_EQ(doc.Root()->Prop(L"text"), L"ZuvizaVuruze");

  const std::string indented =
      "<?xml version=\"1.0\"?>\r\n"
      "<language text=\"ZuvizaVuruze\">\r\n"
      "  <parser>\r\n"
      "    <commentblock1 text=\"{,}\"/>\r\n"
      "    <errors>\r\n"
      "      <err20 text=\"'&#62;' expected\"/>\r\n"
      "    </errors>\r\n"
      "  </parser>\r\n"
      "  <types/>\r\n"
      "  <expr pos=\"1:2\" pos1=\"1:5\">\r\n"
      "    <op text=\"&#60;&#62;\" pos=\"1:4\"/>\r\n"
      "  </expr>\r\n"
      "</language>\r\n";
  doc.AutoIndent = true;
  EXPECT_EQ(doc.SaveToBytes(), indented);
  TwzXMLDocument again;
  again.AutoIndent = true;
  again.LoadFromBytes(indented);
  EXPECT_EQ(again.SaveToBytes(), indented);
  EXPECT_EQ(again.Root()->FindItem(L"parser")->FindItem(L"errors")->Items(0)->Prop(L"text"), L"'>' expected");
}

TEST(WzXmlDocument, AttributeTextIsUtf8AndLongDocumentsSurviveTheBuffers) {
  TwzXMLDocument doc;
  doc.Root()->SetName(L"program");
  for (int i = 0; i < 2000; ++i) {
    TwzXMLItem* item = doc.Root()->Add();
    item->SetName(L"item");
    item->SetProp(L"text", L"\x00D6\x011F" L"renci \x0131\x015F\x0131k " + std::to_wstring(i));
  }
  const std::string bytes = doc.SaveToBytes();
  EXPECT_NE(bytes.find(Utf8(L"\x00D6\x011F" L"renci")), std::string::npos);
  TwzXMLDocument again;
  again.LoadFromBytes(bytes);
  ASSERT_EQ(again.Root()->Count(), 2000);
  EXPECT_EQ(again.Root()->Items(1999)->Prop(L"text"), L"\x00D6\x011F" L"renci \x0131\x015F\x0131k 1999");
  EXPECT_EQ(again.SaveToBytes(), bytes);
}

TEST(WzXmlDocument, FormatErrors) {
  ExpectInvalid("<root/>");
  ExpectInvalid("<?xml version=\"1.0\"?><a><b</a>");
  ExpectInvalid("<?xml version=\"1.0\"?><a><b text=\"x");
  ExpectInvalid("<?xml version=\"1.0\"?><a><b></c></a>");
  // Nesting beyond what the engine ever writes is refused instead of exhausting the stack.
  std::string deep = "<?xml version=\"1.0\"?>";
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  ExpectInvalid(deep);
}

TEST(WzXmlDocument, LenientForms) {
  TwzXMLDocument doc;
  // Unclosed elements at the end of the stream keep what was read; the end tag may differ in case.
  doc.LoadFromBytes("<?xml version=\"1.0\"?><a><b><c/>");
  ASSERT_EQ(doc.Root()->Count(), 1);
  EXPECT_EQ(doc.Root()->Items(0)->Count(), 1);

  doc.LoadFromBytes(
      "<?xml version=\"1.0\"?><a>text is ignored<b/><c x=\"1\"/><d x=\"2\" /><e >here too</E>"
      "<!-- a ---><z/> --><f/></A>");
  TwzXMLItem* a = doc.Root();
  ASSERT_EQ(a->Count(), 5);
  EXPECT_EQ(a->Items(0)->Name(), L"b");
  EXPECT_EQ(a->Items(1)->Text(), L"x=\"1\"");
  EXPECT_EQ(a->Items(2)->Text(), L"x=\"2\" ");
  EXPECT_EQ(a->Items(2)->Prop(L"x"), L"2");
  EXPECT_EQ(a->Items(3)->Name(), L"e");
  EXPECT_EQ(a->Items(3)->Count(), 0);
  EXPECT_EQ(a->Items(4)->Name(), L"f");
}

TEST(WzXmlDocument, StreamStandsAfterTheDocument) {
  const std::string doc = "<?xml version=\"1.0\"?><a><b/></a>";
  rtl::TStringStream stream(doc + "TRAILING DATA");
  TwzXMLDocument d;
  d.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), static_cast<rtl::Int64>(doc.size()));

  const std::string early = "<?xml version=\"1.0\"?><a><b/>   ";
  rtl::TStringStream stream2(early);
  d.LoadFromStream(stream2);
  EXPECT_EQ(stream2.Position(), static_cast<rtl::Int64>(early.size()));

  // Starting in the middle of a stream counts from there.
  rtl::TStringStream stream3("JUNK" + doc + "MORE");
  stream3.SetPosition(4);
  d.LoadFromStream(stream3);
  EXPECT_EQ(stream3.Position(), static_cast<rtl::Int64>(4 + doc.size()));
}

TEST(WzXmlDocument, Files) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const String name = String(folder) + L"wz_xml_test.xml";
  TwzXMLDocument doc;
  doc.Root()->SetName(L"program");
  doc.Root()->Add()->SetName(L"types");
  doc.SaveToFile(name);
  TwzXMLDocument again;
  again.LoadFromFile(name);
  EXPECT_EQ(again.SaveToBytes(), "<?xml version=\"1.0\"?><program><types/></program>");
  DeleteFileW(name.c_str());
  EXPECT_THROW(again.LoadFromFile(name), rtl::EFOpenError);
}

TEST(WzXmlItem, DeepTreesBuiltInCode) {
  auto* root = new TwzXMLItem();
  root->SetName(L"r");
  TwzXMLItem* item = root;
  for (int i = 0; i < 200000; ++i) {
    item = item->Add();
    item->SetName(L"n");
  }
  TwzXMLItem copy;
  copy.Assign(root);
  TwzXMLDocument doc;
  doc.Root()->Assign(root);
  const std::string bytes = doc.SaveToBytes();
  EXPECT_EQ(bytes.size(), std::string("<?xml version=\"1.0\"?><r></r>").size() + 200000 * 7 - 3);
  delete root;
  EXPECT_EQ(copy.Count(), 1);
}

TEST(WzXmlItem, Properties) {
  TwzXMLItem item;
  item.SetProp(L"text", L"a<b");
  EXPECT_EQ(item.Text(), L"text=\"a&#60;b\"");
  item.SetProp(L"pos", L"1:2");
  EXPECT_EQ(item.Text(), L"text=\"a&#60;b\" pos=\"1:2\"");
  EXPECT_EQ(item.Prop(L"TEXT"), L"a<b");
  EXPECT_TRUE(item.PropExists(L"Pos"));
  EXPECT_FALSE(item.PropExists(L"os"));
  EXPECT_EQ(item.Prop(L"missing"), L"");
  // Replacing keeps the place of the attribute.
  item.SetProp(L"TEXT", L"new");
  EXPECT_EQ(item.Text(), L"TEXT=\"new\" pos=\"1:2\"");
  item.SetProp(L"pos", L"3:4");
  EXPECT_EQ(item.Text(), L"TEXT=\"new\" pos=\"3:4\"");
  // Keys compare with the ordinal rules, whatever the user's locale.
  TwzXMLItem turkish;
  turkish.SetText(L"id=\"7\"");
  EXPECT_EQ(turkish.Prop(L"ID"), L"7");
}

TEST(WzXmlItem, Tree) {
  TwzXMLItem root;
  root.SetName(L"program");
  TwzXMLItem* a = root.Add();
  a->SetName(L"Alpha");
  a->SetData(42);
  a->Add()->SetName(L"inner");
  EXPECT_EQ(root.Find(L"ALPHA"), 0);
  EXPECT_EQ(root.Find(L"beta"), -1);
  TwzXMLItem* b = root.FindItem(L"beta");
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(b->Name(), L"beta");
  EXPECT_EQ(b->Parent(), &root);
  EXPECT_EQ(a->Items(0)->Root(), &root);
  EXPECT_THROW(root.Items(2), rtl::EListError);
  EXPECT_THROW(b->Items(0), rtl::EListError);

  // Moving an item takes it out of its former parent.
  b->AddItem(a->Items(0));
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(b->Count(), 1);
  root.InsertItem(0, b->Items(0));
  EXPECT_EQ(root.IndexOf(b), 2);
  EXPECT_EQ(root.Items(0)->Name(), L"inner");

  TwzXMLItem copy;
  copy.Assign(&root);
  EXPECT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy.Items(1)->Data(), 42);
  EXPECT_NE(copy.Items(1), a);
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Count(), 0);

  // An item may take over a copy of its own descendant.
  TwzXMLItem outer;
  TwzXMLItem* middle = outer.Add();
  middle->SetName(L"middle");
  middle->Add()->SetName(L"leaf");
  outer.Assign(middle);
  EXPECT_EQ(outer.Name(), L"middle");
  ASSERT_EQ(outer.Count(), 1);
  EXPECT_EQ(outer.Items(0)->Name(), L"leaf");
  outer.Assign(&outer);
  EXPECT_EQ(outer.Count(), 1);

  delete a;  // leaves its parent
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(root.IndexOf(b), 1);
}
