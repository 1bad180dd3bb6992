#include "report/model/qvxUnicodeUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "platform/vcl/filer.h"

using rtl::String;

namespace {

const String kTurkish = L"Öğrenci İşleri ıüşç";

std::string Bytes(rtl::TMemoryStream& s) {
  s.SetPosition(0);
  return s.ReadBytes(static_cast<rtl::Integer>(s.Size()));
}

std::vector<String> Lines(const TqvxWideStrings& list) { return list.ToVector(); }

rtl::TObject* Tag(intptr_t n) { return reinterpret_cast<rtl::TObject*>(n); }

}  // namespace

TEST(QvxWideStrings, TextForms) {
  struct Case {
    String text;
    std::vector<String> lines;
  } cases[] = {
      {L"a\r\nb\r\n", {L"a", L"b"}},
      {L"a\r\n", {L"a"}},
      {L"a\n\rb", {L"a", L"", L"b"}},
      {L"a\x2028" L"b", {L"a", L"b"}},
      {L"a\r\n\x2028" L"b", {L"a", L"b"}},
      {L"a\rb\nc", {L"a", L"b", L"c"}},
      {L"\r\n", {L""}},
      {L"", {}},
      {String(L"a\0b", 3), {L"a"}},
  };
  TqvxWideStrings list;
  for (const Case& c : cases) {
    list.SetTextStr(c.text);
    EXPECT_EQ(Lines(list), c.lines);
  }
  list.SetTextStr(L"a\r\nb");
  EXPECT_EQ(list.Text(), L"a\r\nb\r\n");
  list.SetTextStr(list.Text());
  EXPECT_EQ(list.Count(), 2);
  list.Clear();
  EXPECT_EQ(list.Text(), L"");
}

TEST(QvxWideStrings, InsertReplacesAndOutOfRangeIsQuietOrRaises) {
  TqvxWideStrings list;
  list.AddObject(L"a", Tag(7));
  list.Insert(0, L"new");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Get(0), L"new");
  EXPECT_EQ(list.GetObject(0), Tag(7));
  list.Insert(1, L"b");  // at Count: appended
  list.Put(1, L"c");
  EXPECT_EQ(Lines(list), (std::vector<String>{L"new", L"c"}));
  EXPECT_THROW(list.Insert(3, L"x"), rtl::Exception);
  EXPECT_THROW(list.Insert(-1, L"x"), rtl::Exception);
  try {
    list.Put(5, L"x");
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), L"Wide String Out of Bounds");
  }
  EXPECT_EQ(list.Count(), 2);

  EXPECT_EQ(list.Get(9), L"");
  EXPECT_EQ(list.GetObject(-1), nullptr);
  list.PutObject(9, Tag(1));
  EXPECT_THROW(list.Delete(2), rtl::EStringListError);
  list.Delete(0);
  EXPECT_EQ(Lines(list), std::vector<String>{L"c"});
  EXPECT_EQ(list.IndexOf(L"C"), -1);  // exact
  EXPECT_EQ(list.IndexOf(L"c"), 0);
}

TEST(QvxWideStrings, AssignBetweenListKinds) {
  TqvxWideStrings wide;
  wide.AddObject(kTurkish, Tag(3));
  wide.Add(L"ikinci");
  rtl::TStringList plain;
  plain.Add(L"eski");
  plain.Assign(&wide);  // goes through AssignTo
  EXPECT_EQ(plain.ToVector(), (std::vector<String>{kTurkish, L"ikinci"}));
  EXPECT_EQ(plain.Objects(0), Tag(3));

  TqvxWideStrings copy;
  copy.Add(L"gone");
  copy.Assign(&plain);
  EXPECT_EQ(Lines(copy), Lines(wide));
  EXPECT_EQ(copy.GetObject(0), Tag(3));

  TqvxWideStrings again;
  again.Assign(&copy);
  EXPECT_EQ(Lines(again), Lines(wide));
}

TEST(QvxWideStrings, StreamForms) {
  TqvxWideStrings list;
  list.Add(kTurkish);
  list.Add(L"ş");

  // Saved: UTF-16LE without a byte-order mark.
  rtl::TMemoryStream saved;
  list.SaveToStream(saved);
  const String text = kTurkish + L"\r\nş\r\n";
  EXPECT_EQ(Bytes(saved), std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));

  // Read back as wide text.
  TqvxWideStrings wide;
  saved.SetPosition(0);
  wide.LoadFromWStream(saved);
  EXPECT_EQ(Lines(wide), Lines(list));

  // With a byte-order mark in front.
  rtl::TMemoryStream marked;
  marked.WriteBytes("\xFF\xFE");
  marked.WriteBytes(Bytes(saved));
  marked.WriteBytes("\x41");  // an odd last byte is ignored
  marked.SetPosition(0);
  TqvxWideStrings fromMarked;
  fromMarked.LoadFromStream(marked);
  EXPECT_EQ(Lines(fromMarked), Lines(list));

  // Without one, the bytes are ANSI text (these letters exist in both the Western and the Turkish code page).
  rtl::TMemoryStream ansi;
  ansi.WriteBytes(rtl::StringToAnsi(L"çöü\r\nab"));
  ansi.SetPosition(0);
  TqvxWideStrings fromAnsi;
  fromAnsi.LoadFromStream(ansi);
  EXPECT_EQ(Lines(fromAnsi), (std::vector<String>{L"çöü", L"ab"}));

  // Exactly FF FE is no mark: two ANSI characters.
  rtl::TMemoryStream two;
  two.WriteBytes("\xFF\xFE");
  two.SetPosition(0);
  TqvxWideStrings fromTwo;
  fromTwo.LoadFromStream(two);
  EXPECT_EQ(Lines(fromTwo), std::vector<String>{rtl::AnsiToString("\xFF\xFE")});

  // What SaveToStream wrote has no mark, so LoadFromStream takes it as ANSI bytes.
  saved.SetPosition(0);
  TqvxWideStrings misread;
  misread.LoadFromStream(saved);
  EXPECT_NE(Lines(misread), Lines(list));
}

TEST(QvxWideStrings, FormResourceForms) {
  TqvxWideStrings list;
  const std::vector<vcl::TFormProp> none = vcl::WriteProperties(&list, nullptr);
  EXPECT_TRUE(std::none_of(none.begin(), none.end(), [](const vcl::TFormProp& p) { return p.Name == L"UTF8W"; }));
  list.Add(kTurkish);
  list.Add(L"");
  const std::vector<vcl::TFormProp> props = vcl::WriteProperties(&list, nullptr);
  auto utf8w = std::find_if(props.begin(), props.end(), [](const vcl::TFormProp& p) { return p.Name == L"UTF8W"; });
  ASSERT_NE(utf8w, props.end());

  TqvxWideStrings back;
  back.Add(L"old");
  vcl::ReadProperties(&back, {*utf8w}, nullptr, L"test");
  EXPECT_EQ(Lines(back), Lines(list));

  // The older UTF-8 form: characters that are the bytes of UTF-8 text.
  const std::string utf8 = rtl::StringToUTF8(kTurkish);
  String chars;
  for (unsigned char b : utf8) chars += static_cast<wchar_t>(b);
  vcl::TFormProp old{L"UTF8", {}};
  old.Value.Kind = vcl::TFormValueKind::List;
  old.Value.List = {vcl::TFormValue::FromString(chars)};
  vcl::ReadProperties(&back, {old}, nullptr, L"test");
  EXPECT_EQ(Lines(back), std::vector<String>{kTurkish});

  vcl::TFormProp strings{L"Strings", {}};
  strings.Value.Kind = vcl::TFormValueKind::List;
  strings.Value.List = {vcl::TFormValue::FromString(L"x"), vcl::TFormValue::FromString(L"y")};
  vcl::ReadProperties(&back, {strings}, nullptr, L"test");
  EXPECT_EQ(Lines(back), (std::vector<String>{L"x", L"y"}));
}

TEST(QvxCharsets, Conversions) {
  EXPECT_EQ(CharSetToCodePage(DEFAULT_CHARSET), GetACP());
  EXPECT_EQ(CharSetToCodePage(TURKISH_CHARSET), 1254u);
  EXPECT_EQ(CharSetToCodePage(OEM_CHARSET), static_cast<unsigned>(CP_OEMCP));
  EXPECT_EQ(AnsiToUnicode("", TURKISH_CHARSET), L"");
  EXPECT_EQ(AnsiToUnicode("\xFD\xDE\xF0", TURKISH_CHARSET), L"ıŞğ");
  EXPECT_EQ(AnsiToUnicode("\xFD", 0, 1252), L"ý");
  EXPECT_EQ(_UnicodeToAnsi(L"ıŞğ", TURKISH_CHARSET), "\xFD\xDE\xF0");
  EXPECT_EQ(_UnicodeToAnsi(L"", TURKISH_CHARSET), "");
  EXPECT_EQ(GetLocalByCharSet(TURKISH_CHARSET), 0x041Fu);
  EXPECT_EQ(GetLocalByCharSet(ARABIC_CHARSET), 0x3401u);
  EXPECT_EQ(GetLocalByCharSet(ANSI_CHARSET), GetThreadLocale());
}
