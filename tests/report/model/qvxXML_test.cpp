#include "report/model/qvxXML.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"

using rtl::String;

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

std::string Save(TqvxXMLDocument& doc) {
  rtl::TMemoryStream s;
  doc.SaveToStream(s);
  s.SetPosition(0);
  return s.ReadBytes(static_cast<rtl::Integer>(s.Size()));
}

void Load(TqvxXMLDocument& doc, const std::string& bytes) {
  rtl::TMemoryStream s;
  s.WriteBytes(bytes);
  s.SetPosition(0);
  doc.LoadFromStream(s);
}

// The document the tests below share: a (b="1") holding c.
void Fill(TqvxXMLDocument& doc) {
  doc.Root()->SetName(L"a");
  doc.Root()->SetProp(L"b", L"1");
  doc.Root()->Add(L"c");
}

}  // namespace

TEST(QvxXMLWrite, AutoIndentPutsEachTagOnItsOwnLine) {
  TqvxXMLDocument doc;
  Fill(doc);
  doc.SetAutoIndent(true);
  EXPECT_EQ(Save(doc), kHeader + "\r\n<a b=\"1\">\r\n  <c/>\r\n</a>\r\n");
}

TEST(QvxXMLWrite, WithoutAutoIndentTheDocumentIsOneLine) {
  TqvxXMLDocument doc;
  Fill(doc);
  EXPECT_EQ(Save(doc), kHeader + "<a b=\"1\"><c/></a>");
}

TEST(QvxXMLWrite, ValuesAndTextAreUtf8AndAttributesEscaped) {
  TqvxXMLDocument doc;
  doc.Root()->SetName(L"r");
  TqvxXMLItem* v = doc.Root()->Add(L"v");
  v->SetProp(L"Text", L"Şeker \"&\" <ığ>\r\n");
  v->SetValue(L"çöü");
  EXPECT_EQ(Save(doc), kHeader +
                           "<r><v Text=\"\xC5\x9E" "eker &#34;&#38;&#34; &#60;\xC4\xB1\xC4\x9F&#62;&#13;&#10;\">"
                           "\xC3\xA7\xC3\xB6\xC3\xBC</v></r>");
  TqvxXMLDocument back;
  Load(back, Save(doc));
  ASSERT_EQ(back.Root()->Count(), 1);
  EXPECT_EQ(back.Root()->Items(0)->Prop(L"Text"), L"Şeker \"&\" <ığ>\r\n");
  EXPECT_EQ(back.Root()->Items(0)->Value(), L"");  // character content is not read
}

TEST(QvxXMLRead, ByteForByteRoundTrip) {
  const std::string text = kHeader + "<report Name=\"x\" Left=\"1,5\"><page ld=\"0\"><m Text=\"a&#38;b\"/></page>"
                                     "<page Name=\"p2\" ld=\"0\"><m/></page><empty/></report>";
  TqvxXMLDocument doc;
  Load(doc, text);
  // Without partial loading the marks are consumed and the elements are ordinary ones.
  EXPECT_EQ(doc.Root()->Items(0)->Text(), L"");
  EXPECT_EQ(doc.Root()->Items(1)->Text(), L"Name=\"p2\"");
  EXPECT_FALSE(doc.Root()->Items(1)->Unloadable());
  doc.Root()->Items(0)->SetUnloadable(true);
  doc.Root()->Items(1)->SetUnloadable(true);
  EXPECT_EQ(Save(doc), text);
}

TEST(QvxXMLRead, TagForms) {
  struct Case {
    std::string body;
    int children;
  } cases[] = {{"<a></a>", 0}, {"<a/>", 0}, {"<a />", 0}, {"<a x=\"1\"/>", 0}, {"<a><b></a>", -1},
               {"<a><b>", 1},  {"<a><!-- <b> -- - --><c/></a>", 1}, {"<a><b/></A>", 1}, {"<a><b/></x>", -1},
               {"<a><b<c/></a>", -1}, {"<a><b", -1}};
  for (const Case& c : cases) {
    TqvxXMLDocument doc;
    if (c.children < 0) {
      EXPECT_THROW(Load(doc, kHeader + c.body), TqvxInvalidXMLException) << c.body;
      continue;
    }
    Load(doc, kHeader + c.body);
    EXPECT_EQ(doc.Root()->Name(), L"a") << c.body;
    EXPECT_EQ(doc.Root()->Count(), c.children) << c.body;
  }
}

TEST(QvxXMLRead, CommentSkippedAndElementNamedAfterIt) {
  TqvxXMLDocument doc;
  Load(doc, kHeader + "<a><!-- x>y --><c k=\"v\"/></a>");
  ASSERT_EQ(doc.Root()->Count(), 1);
  EXPECT_EQ(doc.Root()->Items(0)->Name(), L"c");
  EXPECT_EQ(doc.Root()->Items(0)->Prop(L"K"), L"v");
}

TEST(QvxXMLRead, HeaderRules) {
  TqvxXMLDocument doc;
  EXPECT_THROW(Load(doc, ""), TqvxInvalidXMLException);
  EXPECT_THROW(Load(doc, "<a/>"), TqvxInvalidXMLException);

  Load(doc, "\xEF\xBB\xBF" + kHeader + "<a t=\"\xC4\xB1\"/>");
  EXPECT_FALSE(doc.OldVersion());
  EXPECT_EQ(doc.Root()->Prop(L"t"), L"ı");

  // The older header: attribute texts are ANSI. 0xFD is dotless i in the Turkish code page, y-acute elsewhere.
  TqvxXMLDocument old;
  Load(old, "<?xml version=\"1.0\"?><a t=\"\xE7\"/>");
  EXPECT_TRUE(old.OldVersion());
  EXPECT_EQ(old.Root()->Prop(L"t"), rtl::AnsiToString("\xE7"));
  EXPECT_EQ(old.Root()->Prop(L"t"), L"ç");
}

// Elements nested past 1024 levels below the first are refused as an invalid format (a deep file overflowed the
// stack); the depth the library allows still reads, closed or cut short.
TEST(QvxXMLRead, DeepNestingIsAnInvalidFormatNotACrash) {
  auto nested = [](int levels, bool closed) {
    std::string s = kHeader;
    for (int i = 0; i <= levels; ++i) s += "<a>";
    for (int i = 0; closed && i <= levels; ++i) s += "</a>";
    return s;
  };
  for (bool closed : {true, false}) {
    SCOPED_TRACE(closed ? "closed" : "cut short");
    TqvxXMLDocument doc;
    Load(doc, nested(1024, closed));
    int depth = 0;
    for (TqvxXMLItem* item = doc.Root(); item->Count() > 0; item = item->Items(0)) ++depth;
    EXPECT_EQ(depth, 1024);
    TqvxXMLDocument deeper;
    EXPECT_THROW(Load(deeper, nested(1025, closed)), TqvxInvalidXMLException);
    EXPECT_THROW(Load(deeper, nested(200000, closed)), TqvxInvalidXMLException);
  }
}

TEST(QvxXMLRead, SecondLoadKeepsTheRootNameAndChecksItsEndTag) {
  TqvxXMLDocument doc;
  Load(doc, kHeader + "<first x=\"1\"><c/></first>");
  Load(doc, kHeader + "<second><d/><e/></first>");
  EXPECT_EQ(doc.Root()->Name(), L"first");
  EXPECT_EQ(doc.Root()->Text(), L"x=\"1\"");
  EXPECT_EQ(doc.Root()->Count(), 2);
  EXPECT_THROW(Load(doc, kHeader + "<second><d/></second>"), TqvxInvalidXMLException);
}

TEST(QvxXMLEscape, Table) {
  struct Case {
    String plain, escaped;
  } cases[] = {{L"a&\"<", L"a&#38;&#34;&#60;"},
               {L"x>y'\t", L"x&#62;y'\t"},
               {L"\r\n", L"&#13;&#10;"},
               {L"", L""}};
  for (const Case& c : cases) {
    EXPECT_EQ(qvxStrToXML(c.plain), c.escaped);
    EXPECT_EQ(qvxXMLToStr(c.escaped), c.plain);
  }
  EXPECT_EQ(qvxStrToXML(L"&quot;"), L"&#34;");
  EXPECT_EQ(qvxXMLToStr(qvxStrToXML(L"&quot;")), L"\"");
  EXPECT_EQ(qvxStrToXML(String(L"a\0b", 3)), L"a b");
  EXPECT_EQ(qvxXMLToStr(L"&unknown;"), L"&unknown;");
  EXPECT_EQ(qvxXMLToStr(L"&amp;lt;"), L"&lt;");
  EXPECT_EQ(qvxXMLToStr(L"&quot;&amp;&lt;&gt;"), L"\"&<>");
  EXPECT_EQ(qvxXMLToStr(L"&#287;"), L"ğ");
  EXPECT_EQ(qvxXMLToStr(L"a&#12"), L"a&#12");  // no ";": the scan stops at the end
  EXPECT_EQ(qvxXMLToStr(L"a&"), L"a&");
  EXPECT_THROW(qvxXMLToStr(L"&#xy;"), rtl::EConvertError);
}

TEST(QvxXMLEscape, ValueToXML) {
  EXPECT_EQ(qvxValueToXML(rtl::Variant(42)), L"42");
  EXPECT_EQ(qvxValueToXML(rtl::Variant(true)), L"1");
  EXPECT_EQ(qvxValueToXML(rtl::Variant(false)), L"0");
  EXPECT_EQ(qvxValueToXML(rtl::Variant(String(L"<a>"))), L"&#60;a&#62;");
  EXPECT_EQ(qvxValueToXML(rtl::Variant()), L"");
  EXPECT_EQ(qvxValueToXML(rtl::Variant(static_cast<rtl::Int64>(5))), L"");
}

TEST(QvxXMLItem, AttributesKeepTheirPlace) {
  TqvxXMLItem item;
  item.SetText(L"Name=\"n\" Left=\"1\" Top=\"2\"");
  item.SetProp(L"Left", L"5");
  EXPECT_EQ(item.Text(), L"Name=\"n\" Left=\"5\" Top=\"2\"");
  item.SetProp(L"LEFT", L"6");  // names ignore case, the caller's spelling is written
  EXPECT_EQ(item.Text(), L"Name=\"n\" LEFT=\"6\" Top=\"2\"");
  EXPECT_EQ(item.Prop(L"left"), L"6");
  EXPECT_EQ(item.Prop(L"Missing"), L"");
  EXPECT_FALSE(item.PropExists(L"eft"));  // only whole names match

  TqvxXMLItem empty;
  empty.SetProp(L"Left", L"5");
  EXPECT_EQ(empty.Text(), L"Left=\"5\"");

  TqvxXMLItem one;
  one.SetText(L"Name=\"n\"");
  one.SetProp(L"Left", L"5");
  EXPECT_EQ(one.Text(), L"Name=\"n\" Left=\"5\"");

  item.DeleteProp(L"Name");
  EXPECT_EQ(item.Text(), L"LEFT=\"6\" Top=\"2\"");
  item.DeleteProp(L"Top");
  EXPECT_EQ(item.Text(), L"LEFT=\"6\"");
  item.DeleteProp(L"LEFT");
  EXPECT_EQ(item.Text(), L"");

  // Turkish case rules must not split identifiers: "ID" and "id" are one name.
  TqvxXMLItem id;
  id.SetProp(L"id", L"1");
  EXPECT_EQ(id.Prop(L"ID"), L"1");
}

TEST(QvxXMLItem, TreeOperations) {
  TqvxXMLItem root(L"root");
  TqvxXMLItem* a = root.Add(L"a");
  TqvxXMLItem* b = root.Add(L"b");
  TqvxXMLItem* c = root.Add(L"c");
  EXPECT_EQ(root.Find(L"B"), 1);
  EXPECT_EQ(root.Find(L"i"), -1);
  EXPECT_EQ(root.FindItem(L"C"), c);
  TqvxXMLItem* made = root.FindItem(L"new");
  EXPECT_EQ(root.Count(), 4);
  EXPECT_EQ(root.IndexOf(made), 3);

  root.AddItem(a);  // moving within the same parent puts it last
  EXPECT_EQ(root.IndexOf(a), 3);
  EXPECT_EQ(root.Count(), 4);

  c->AddItem(b);
  EXPECT_EQ(b->Parent(), c);
  EXPECT_EQ(root.IndexOf(b), -1);
  EXPECT_EQ(b->Root(), &root);

  root.InsertItem(0, b);
  EXPECT_EQ(root.Items(0), b);
  EXPECT_EQ(c->Count(), 0);

  delete a;  // leaves the parent's list
  EXPECT_EQ(root.IndexOf(a), -1);
  EXPECT_THROW(root.Items(10), rtl::EListError);

  TqvxXMLItem leaf;
  EXPECT_EQ(leaf.Count(), 0);
  EXPECT_EQ(leaf.IndexOf(b), -1);
  leaf.SetOffset(0x12'3456'789A);
  EXPECT_EQ(leaf.HiOffset(), 0x12);
  EXPECT_EQ(leaf.LoOffset(), 0x3456'789Au);
  EXPECT_EQ(leaf.Offset(), 0x12'3456'789A);
}

// Elements come and go by the hundred thousand while pages are prepared: a made element starts empty whatever the
// freed one held, a child taken from the middle leaves the others in order, and the room of freed elements is used
// again rather than the heap growing with every element ever made.
TEST(QvxXMLItem, ElementsMadeAgainStartEmptyAndReuseFreedRoom) {
  std::set<const void*> firstRound;
  {
    TqvxXMLItem root(L"pages");
    for (int i = 0; i < 1000; ++i) {
      TqvxXMLItem* page = root.Add(L"page" + rtl::IntToStr(i));
      page->SetText(L"a=\"" + String(40, L'x') + L"\"");
      page->SetValue(L"v");
      page->SetUnloadable(true);
      page->Data = page;
      page->Reserve(3);
      for (int j = 0; j < 3; ++j) page->Add(L"m" + rtl::IntToStr(j));
      firstRound.insert(page);
      for (int j = 0; j < 3; ++j) firstRound.insert(page->Items(j));
    }
    TqvxXMLItem* middle = root.Items(500);
    delete middle;
    ASSERT_EQ(root.Count(), 999);
    EXPECT_EQ(root.Items(499)->Name(), L"page499");
    EXPECT_EQ(root.Items(500)->Name(), L"page501");
    EXPECT_EQ(root.Items(998)->Name(), L"page999");
  }
  TqvxXMLItem root(L"pages");
  int reused = 0;
  for (int i = 0; i < 4000; ++i) {
    TqvxXMLItem* item = root.Add();
    EXPECT_TRUE(item->Name().empty());
    EXPECT_TRUE(item->Text().empty());
    EXPECT_TRUE(item->Value().empty());
    EXPECT_EQ(item->Count(), 0);
    EXPECT_EQ(item->Parent(), &root);
    EXPECT_EQ(item->Data, nullptr);
    EXPECT_TRUE(item->Loaded());
    EXPECT_FALSE(item->Unloadable());
    EXPECT_EQ(item->Offset(), 0);
    reused += firstRound.count(item) ? 1 : 0;
  }
  EXPECT_EQ(reused, 4000);
  auto owned = std::make_unique<TqvxXMLItem>(L"alone");
  EXPECT_EQ(owned->Name(), L"alone");
}

// ---------------------------------------------------------------------------------------------------------------
// Unloading.

class QvxXMLUnload : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = rtl::GetTempPath();
    file_ = rtl::GetTempFileName(L"qvt");
  }
  void TearDown() override {
    rtl::DeleteFile(file_);
    rtl::DeleteFile(file_ + L".tmp");
  }
  String folder_, file_;
};

TEST_F(QvxXMLUnload, UnloadedSubTreeComesBackFromTheTemporaryFile) {
  TqvxXMLDocument doc;
  doc.SetTempDir(folder_);
  doc.Root()->SetName(L"preparedreport");
  TqvxXMLItem* pages = doc.Root()->Add(L"previewpages");
  for (int i = 0; i < 3; ++i) {
    TqvxXMLItem* page = pages->Add(L"page" + rtl::IntToStr(i));
    page->SetProp(L"x", rtl::IntToStr(i));
    page->Add(L"m")->SetProp(L"Text", L"İçerik " + rtl::IntToStr(i));
    page->SetUnloadable(true);
  }
  const std::string before = Save(doc);
  doc.UnloadItem(pages->Items(1));
  doc.UnloadItem(pages->Items(0));
  EXPECT_TRUE(doc.TempFileCreated());
  EXPECT_TRUE(rtl::StartsText(L"qv", rtl::ExtractFileName(doc.TempFile())));
  EXPECT_TRUE(rtl::SameText(rtl::ExtractFilePath(doc.TempFile()), rtl::IncludeTrailingPathDelimiter(folder_)));
  EXPECT_FALSE(pages->Items(1)->Loaded());
  EXPECT_EQ(pages->Items(1)->Count(), 0);
  EXPECT_GT(pages->Items(0)->Offset(), pages->Items(1)->Offset());

  // Saving writes the moved-out pages from the temporary file, and leaves them out of memory.
  EXPECT_EQ(Save(doc), before);
  EXPECT_FALSE(pages->Items(1)->Loaded());

  doc.LoadItem(pages->Items(1));
  EXPECT_TRUE(pages->Items(1)->Loaded());
  ASSERT_EQ(pages->Items(1)->Count(), 1);
  EXPECT_EQ(pages->Items(1)->Items(0)->Prop(L"Text"), L"İçerik 1");
  EXPECT_EQ(pages->Items(1)->Text(), L"x=\"1\"");

  const String temp = doc.TempFile();
  doc.Clear();
  EXPECT_FALSE(rtl::FileExists(temp));
}

TEST_F(QvxXMLUnload, PartialLoadingLeavesMarkedElementsInTheFile) {
  {
    TqvxXMLDocument doc;
    doc.Root()->SetName(L"r");
    TqvxXMLItem* p = doc.Root()->Add(L"p");
    p->SetProp(L"x", L"1");
    p->Add(L"m");
    p->SetUnloadable(true);
    TqvxXMLItem* q = doc.Root()->Add(L"q");  // no other attributes
    q->Add(L"m");
    q->Add(L"n");
    q->SetUnloadable(true);
    doc.SaveToFile(file_);
    EXPECT_FALSE(rtl::FileExists(file_ + L".tmp"));
  }
  TqvxXMLDocument doc;
  doc.LoadFromFile(file_);
  TqvxXMLItem* p = doc.Root()->Items(0);
  TqvxXMLItem* q = doc.Root()->Items(1);
  EXPECT_TRUE(p->Unloadable());
  EXPECT_FALSE(p->Loaded());
  EXPECT_EQ(p->Count(), 0);
  EXPECT_EQ(p->Text(), L"x=\"1\"");
  EXPECT_EQ(q->Text(), L"");
  EXPECT_FALSE(q->Loaded());

  // Moving another element out must not lose those still in the source file.
  doc.LoadItem(q);
  EXPECT_EQ(q->Count(), 2);
  doc.UnloadItem(q);
  doc.LoadItem(p);
  ASSERT_EQ(p->Count(), 1);
  EXPECT_EQ(p->Items(0)->Name(), L"m");
  doc.LoadItem(q);
  EXPECT_EQ(q->Count(), 2);

  // Saving over the file it was loaded from.
  p->SetProp(L"y", L"2");
  doc.UnloadItem(p);
  doc.SaveToFile(file_);
  EXPECT_FALSE(doc.Root()->Items(0)->Loaded());
  doc.LoadItem(doc.Root()->Items(0));
  EXPECT_EQ(doc.Root()->Items(0)->Prop(L"y"), L"2");
  EXPECT_EQ(doc.Root()->Items(0)->Count(), 1);
}
