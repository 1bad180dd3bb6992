#include <gtest/gtest.h>

#include "platform/rtl/list.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/win.h"

using namespace rtl;

namespace {

std::vector<String> Lines(const TStrings& s) { return s.ToVector(); }

String TempFile(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return String(dir) + name;
}

// Counts live instances so ownership can be checked.
class Tracked : public TObject {
public:
  static inline int alive = 0;
  Tracked() { ++alive; }
  ~Tracked() override { --alive; }
};

}  // namespace

// ---- TList

TEST(List, EditingOperationsAndIndexes) {
  int a = 1, b = 2, c = 3;
  TList list;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  list.Insert(0, &c);  // c a b
  EXPECT_EQ(list.IndexOf(&a), 1);
  EXPECT_EQ(list.First(), &c);
  EXPECT_EQ(list.Last(), &b);
  list.Exchange(0, 2);  // b a c
  EXPECT_EQ(list[0], &b);
  list.Move(0, 2);  // a c b
  EXPECT_EQ(list[2], &b);
  EXPECT_EQ(list.Remove(&c), 1);
  EXPECT_EQ(list.Remove(&c), -1);
  EXPECT_EQ(list.Extract(&a), &a);
  EXPECT_EQ(list.Extract(&a), nullptr);
  EXPECT_EQ(list.Count(), 1);
  list.Add(nullptr);
  list.Add(&a);
  list.Pack();
  EXPECT_EQ(list.Count(), 2);
  list.SetCount(4);
  EXPECT_EQ(list[3], nullptr);
  list.SetCapacity(100);
  EXPECT_GE(list.Capacity(), 100);
  EXPECT_THROW(list.SetCapacity(1), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(List, IndexErrorsNameTheIndex) {
  TList list;
  try {
    list.Delete(5);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), L"List index out of bounds (5)");
  }
  EXPECT_THROW(list.First(), EListError);
  EXPECT_THROW(list.Last(), EListError);
  EXPECT_THROW(list.Insert(1, nullptr), EListError);
  int x = 0;
  list.Insert(0, &x);
  EXPECT_THROW(list.Items(-1), EListError);
}

TEST(List, SortIsStable) {
  struct P {
    int key, seq;
  };
  P items[] = {{2, 0}, {1, 1}, {2, 2}, {1, 3}};
  TList list;
  for (P& p : items) list.Add(&p);
  list.Sort([](void* a, void* b) { return static_cast<P*>(a)->key - static_cast<P*>(b)->key; });
  int expectedSeq[] = {1, 3, 0, 2};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<P*>(list[i])->seq, expectedSeq[i]);
}

TEST(List, ObjectListFreesWhatItOwns) {
  Tracked::alive = 0;
  {
    TObjectList list;
    list.Add(new Tracked);
    list.Add(new Tracked);
    auto* kept = new Tracked;
    list.Add(kept);
    EXPECT_EQ(Tracked::alive, 3);
    list.Delete(0);
    EXPECT_EQ(Tracked::alive, 2);
    EXPECT_EQ(list.Extract(kept), kept);  // extracted, not freed
    delete kept;
    EXPECT_EQ(Tracked::alive, 1);
  }
  EXPECT_EQ(Tracked::alive, 0);
}

// ---- TStringList

TEST(StringList, DelimitedTextQuotingRoundTrips) {
  struct Case {
    std::vector<String> lines;
    wchar_t delimiter;
    bool strict;
    String text;
  };
  const Case cases[] = {
      {{L"a", L"b c", L"d,e", L"f\"g", L""}, L',', false, L"a,\"b c\",\"d,e\",\"f\"\"g\","},
      {{L""}, L',', false, L"\"\""},
      {{L"", L""}, L',', false, L","},
      {{L"", L"x", L""}, L',', false, L",x,"},
      {{L"tek"}, L',', false, L"tek"},
      {{L" lead", L"tab\there"}, L',', false, L"\" lead\",\"tab\there\""},
      {{L"a b", L"c;d", L" e", L"\"q\""}, L';', true, L"a b;\"c;d\"; e;\"\"\"q\"\"\""},
      {{L"Öğrenci No", L"Şube"}, L'|', false, L"\"Öğrenci No\"|Şube"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text.begin(), c.text.end())));
    TStringList list;
    list.SetDelimiter(c.delimiter);
    list.SetStrictDelimiter(c.strict);
    list.AddStrings(c.lines);
    EXPECT_EQ(list.DelimitedText(), c.text);
    TStringList back;
    back.SetDelimiter(c.delimiter);
    back.SetStrictDelimiter(c.strict);
    back.SetDelimitedText(c.text);
    EXPECT_EQ(Lines(back), c.lines);
  }
}

TEST(StringList, ParsingDelimitedText) {
  TStringList list;
  list.SetCommaText(L"a b, \"x\"\"y\" ,c");
  EXPECT_EQ(Lines(list), (std::vector<String>{L"a", L"b", L"x\"y", L"c"}));  // blanks separate unless strict
  EXPECT_EQ(list.CommaText(), L"a,b,\"x\"\"y\",c");
  list.SetStrictDelimiter(true);
  list.SetDelimitedText(L"a b, c");
  EXPECT_EQ(Lines(list), (std::vector<String>{L"a b", L" c"}));
  list.SetCommaText(L"");
  EXPECT_EQ(list.Count(), 0);
  list.SetCommaText(L"a,,b");
  EXPECT_EQ(Lines(list), (std::vector<String>{L"a", L"", L"b"}));
}

TEST(StringList, SortedListsAndDuplicates) {
  TStringList list;
  list.AddStrings({L"pear", L"apple", L"fig"});
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"apple", L"fig", L"pear"}));
  EXPECT_EQ(list.Add(L"banana"), 1);

  // dupIgnore (the default) keeps the first and answers its index.
  EXPECT_EQ(list.Add(L"FIG"), 2);
  EXPECT_EQ(list.Count(), 4);

  list.SetDuplicates(dupError);
  try {
    list.Add(L"fig");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), L"String list does not allow duplicates");
  }
  list.SetDuplicates(dupAccept);
  EXPECT_EQ(list.Add(L"Fig"), 3);
  EXPECT_EQ(list.Count(), 5);

  EXPECT_THROW(list.Insert(0, L"x"), EStringListError);
  EXPECT_THROW(list.Put(0, L"x"), EStringListError);
  Integer index = -1;
  EXPECT_FALSE(list.Find(L"cherry", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_TRUE(list.Find(L"APPLE", index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(list.IndexOf(L"pear"), 4);
}

TEST(StringList, CaseRulesAreOrdinalUnlessTheLocaleIsAsked) {
  TStringList list;
  list.AddStrings({L"Line", L"if", L"istanbul"});
  // Identifiers match under every locale: the Turkish dotted/dotless i plays no part.
  EXPECT_EQ(list.IndexOf(L"LINE"), 0);
  EXPECT_EQ(list.IndexOf(L"IF"), 1);
  EXPECT_EQ(list.IndexOf(L"İSTANBUL"), -1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(L"IF"), -1);
  EXPECT_EQ(list.IndexOf(L"if"), 1);

  TStringList names;
  names.AddStrings({L"Zeynep", L"Çiğdem", L"Can"});
  names.SetSorted(true);
  EXPECT_EQ(names[2], L"Çiğdem");  // ordinal: after Z
  names.SetUseLocale(true);
  EXPECT_EQ(Lines(names), (std::vector<String>{L"Can", L"Çiğdem", L"Zeynep"}));
}

TEST(StringList, NameValuePairs) {
  TStringList list;
  list.AddStrings({L"Server=db1", L"no separator", L"Port=1433", L"Empty="});
  EXPECT_EQ(list.Values(L"server"), L"db1");
  EXPECT_EQ(list.Values(L"missing"), L"");
  EXPECT_EQ(list.Names(0), L"Server");
  EXPECT_EQ(list.Names(1), L"");
  EXPECT_EQ(list.ValueFromIndex(1), L"");  // not the line without its first character
  EXPECT_EQ(list.ValueFromIndex(2), L"1433");
  EXPECT_EQ(list.IndexOfName(L"PORT"), 2);
  list.SetValues(L"Port", L"5000");
  EXPECT_EQ(list[2], L"Port=5000");
  list.SetValues(L"User", L"admin");
  EXPECT_EQ(list[4], L"User=admin");
  list.SetValues(L"Server", L"");  // an empty value removes the line
  EXPECT_EQ(list.IndexOfName(L"Server"), -1);
  EXPECT_EQ(list.Values(L"a=b"), L"");
  list.SetValueFromIndex(0, L"x");
  EXPECT_EQ(list[0], L"=x");

  TStringList colon;
  colon.SetNameValueSeparator(L':');
  colon.Add(L"Ad:Ayşe=1");
  EXPECT_EQ(colon.Values(L"Ad"), L"Ayşe=1");
}

TEST(StringList, TextSplitsOnEveryLineBreakKind) {
  struct Case {
    String text;
    std::vector<String> lines;
  };
  const Case cases[] = {
      {L"a\r\nb\nc\rd\r\n", {L"a", L"b", L"c", L"d"}},
      {L"a\r\n\r\n", {L"a", L""}},
      {L"a\n\rb", {L"a", L"", L"b"}},
      {L"", {}},
      {L"\r\n", {L""}},
      {L"son", {L"son"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines);
  }
  TStringList list;
  list.SetText(L"a\nb");
  EXPECT_EQ(list.Text(), L"a\r\nb\r\n");
  list.SetLineBreak(L"\n");
  EXPECT_EQ(list.Text(), L"a\nb\n");
}

TEST(StringList, ChangeEventsFireOncePerUpdate) {
  TStringList list;
  int changes = 0, changings = 0;
  list.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.OnChanging = [&](TObject*) { ++changings; };
  list.Add(L"a");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(changings, 1);
  list.BeginUpdate();
  list.Add(L"b");
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changes, 1);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(changings, 2);
  list.SetCommaText(L"x,y,z");
  EXPECT_EQ(changes, 3);
}

TEST(StringList, ObjectsOwnershipAssignAndEquality) {
  Tracked::alive = 0;
  {
    TStringList owner(true);
    owner.AddObject(L"b", new Tracked);
    owner.AddObject(L"a", new Tracked);
    owner.Add(L"c");
    EXPECT_EQ(owner.IndexOfObject(owner.Objects(1)), 1);
    owner.Delete(0);
    EXPECT_EQ(Tracked::alive, 1);

    TStringList copy;
    copy.SetSorted(false);
    owner.SetSorted(true);
    copy.Assign(&owner);
    EXPECT_TRUE(copy.Sorted());
    EXPECT_TRUE(copy.Equals(owner));
    EXPECT_EQ(copy.Objects(0), owner.Objects(0));
    EXPECT_FALSE(copy.OwnsObjects());  // the copy does not free what the original owns
    copy.Clear();
    EXPECT_EQ(Tracked::alive, 1);
    copy.Add(L"A");
    EXPECT_FALSE(copy.Equals(owner));
  }
  EXPECT_EQ(Tracked::alive, 0);
}

TEST(StringList, ExchangeMoveAndCustomSort) {
  TStringList list;
  list.AddStrings({L"ccc", L"a", L"bb"});
  list.Exchange(0, 2);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"bb", L"a", L"ccc"}));
  list.Move(2, 0);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"ccc", L"bb", L"a"}));
  list.CustomSort([](TStringList& l, Integer a, Integer b) {
    return static_cast<int>(l[a].size()) - static_cast<int>(l[b].size());
  });
  EXPECT_EQ(Lines(list), (std::vector<String>{L"a", L"bb", L"ccc"}));
  list.SetSorted(true);
  EXPECT_THROW(list.Move(0, 1), EStringListError);
  EXPECT_THROW(list[3], EStringListError);
}

TEST(StringList, TurkishTextSurvivesAFileRoundTrip) {
  const String path = TempFile(L"tavrel_stringlist_test.txt");
  const std::vector<String> lines = {L"Öğrenci: Şükrü Işık", L"İlçe: Çağlayan", L"ğüşıöç ĞÜŞİÖÇ"};
  for (TTextEncoding encoding : {tfUTF8, tfUTF8NoBOM, tfUTF16}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    TStringList list;
    list.AddStrings(lines);
    list.SaveToFile(path, encoding);
    TMemoryStream raw;
    raw.LoadFromFile(path);
    const auto* bytes = static_cast<const unsigned char*>(raw.Memory());
    const unsigned char first[] = {0, 0xEF, static_cast<unsigned char>("Ö"[0]), 0xFF};
    EXPECT_EQ(bytes[0], first[encoding]);
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(Lines(back), lines);
    EXPECT_EQ(back.Encoding(), encoding);
  }
  DeleteFileW(path.c_str());
}

TEST(StringList, ReadingDetectsTheEncoding) {
  // Bytes that are no UTF-8 are read in the ANSI code page (these three letters are the same in 1252 and 1254).
  TStringStream ansi(std::string("\xC7\xF6\xFC\r\nx"));
  TStringList list;
  list.LoadFromStream(ansi);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"Çöü", L"x"}));
  EXPECT_EQ(list.Encoding(), tfAnsi);

  TStringStream bigEndian(std::string("\xFE\xFF\x01\x5F\x00\x0A\x00\x61", 8));
  list.LoadFromStream(bigEndian);
  EXPECT_EQ(Lines(list), (std::vector<String>{L"ş", L"a"}));

  // Saving without an explicit encoding writes UTF-8 with a byte-order mark, also for a list read otherwise.
  TMemoryStream out;
  list.SaveToStream(out);
  EXPECT_EQ(out.Size(), 3 + 2 + 2 + 1 + 2);
  TMemoryStream wide;
  list.SaveToStream(wide, tfUTF16);
  EXPECT_EQ(wide.Size(), 2 + 2 * 6);

  TStringList fresh;
  fresh.Add(L"ı");
  TMemoryStream utf8;
  fresh.SaveToStream(utf8);
  EXPECT_EQ(utf8.Size(), 3 + 2 + 2);  // BOM, two bytes for ı, CR LF
  EXPECT_THROW(fresh.LoadFromFile(TempFile(L"tavrel_no_such_file.txt")), EFOpenError);
}
