// The skin library's small helpers at their edges (hexadecimal text, folders, ranges, rectangles, words, INI text
// held in memory), the forward-only inflate stream that packed skins are read through, and the list of forms that
// carry a skin provider.
#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvZLibEx.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sSkinBroadcast.h"

using rtl::String;

TEST(SkinHelpers, HexadecimalTextAndFolders) {
  struct Hex {
    const wchar_t* text;
    rtl::Int64 value;
  };
  for (const Hex& c : std::vector<Hex>{
           {L"1fh", 31},
           {L"1F", 31},
           {L"ffH", 255},
           {L"$1F", 0},  // prefixes are not hexadecimal digits
           {L"0x1F", 0},
           {L"", 0},
           {L"H", 0},
           {L"1G", 0},
           {L"FFFFFFFFFF", 0xFFFFFFFFFFLL},  // wider than 32 bits
       }) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(HexToInt(c.text), c.value);
  }
  struct Dir {
    const wchar_t* in;
    const wchar_t* out;
  };
  for (const Dir& c : std::vector<Dir>{
           {L"C", L"C:\\"},
           {L"", L""},
           {L"c:/skins/", L"c:/skins\\"},  // only the last separator changes
           {L"c:\\skins\\", L"c:\\skins\\"},
           {L"skins", L"skins\\"},
       }) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(NormalDir(c.in), c.out);
  }
}

TEST(SkinHelpers, RangesAndRectangles) {
  EXPECT_TRUE(Between(5, 10, 1, true));
  EXPECT_FALSE(Between(5, 10, 1, false));
  EXPECT_TRUE(Between(10, 1, 10, false));
  EXPECT_FALSE(Between(11, 1, 10, true));
  EXPECT_EQ(LimitIt(-5, 0, 10), 0);
  EXPECT_EQ(LimitIt(15, 0, 10), 10);
  EXPECT_EQ(LimitIt(5, 10, 0), 10);  // the minimum wins when the value is below it

  const vcl::TRect backwards(10, 10, 4, 2);
  EXPECT_EQ(WidthOf(backwards), -6);
  EXPECT_EQ(HeightOf(backwards), -8);
  EXPECT_EQ(WidthOf(backwards, true), 0);
  EXPECT_EQ(MkSize(backwards).cx, 0);

  // MkRect places its arguments, it does not add them.
  const vcl::TRect r = MkRect(10, 20, 3, 4);
  EXPECT_EQ(r.Left, 3);
  EXPECT_EQ(r.Top, 4);
  EXPECT_EQ(r.Right, 10);
  EXPECT_EQ(r.Bottom, 20);

  const vcl::TRect parent(0, 0, 100, 50);
  EXPECT_TRUE(RectIsVisible(parent, vcl::TRect(90, 40, 110, 60)));
  EXPECT_FALSE(RectIsVisible(parent, vcl::TRect(100, 0, 120, 10)));  // touching is no overlap
  EXPECT_FALSE(RectIsVisible(parent, vcl::TRect(10, 10, 10, 20)));   // empty
  EXPECT_TRUE(RectInRect(parent, vcl::TRect(0, 0, 100, 50)));        // the right and bottom edges count
  EXPECT_FALSE(RectInRect(parent, vcl::TRect(0, 0, 101, 50)));
  const vcl::TRect both = RectsAnd(vcl::TRect(0, 0, 10, 10), vcl::TRect(20, 5, 30, 15));
  EXPECT_EQ(both.Left, 20);  // no emptiness check
  EXPECT_EQ(both.Right, 10);
  const TCacheInfo ci = MakeCacheInfo(nullptr, 3, 4);
  EXPECT_TRUE(ci.Ready);
  EXPECT_EQ(ci.FillColor, 0xFF00FF);
  EXPECT_EQ(ci.X, 3);
}

TEST(SkinHelpers, WordsAndStrings) {
  const TSysCharSet delims{L' ', L','};
  const String text = L"  ab,,cd ef";
  EXPECT_EQ(lvWordCount(text, delims), 3);
  EXPECT_EQ(lvWordPosition(1, text, delims), 3);
  EXPECT_EQ(lvWordPosition(2, text, delims), 7);
  EXPECT_EQ(lvWordPosition(4, text, delims), 0);
  EXPECT_EQ(lvExtractWord(2, text, delims), L"cd");
  EXPECT_EQ(lvExtractWord(4, text, delims), L"");
  EXPECT_EQ(lvWordCount(L"", delims), 0);
  EXPECT_EQ(lvWordCount(L" ,, ", delims), 0);
  // A character above 255 is never a delimiter, whatever its low byte.
  const TSysCharSet space{L' '};
  EXPECT_EQ(lvWordCount(String(L"a") + wchar_t(0x0120) + L"b", space), 1);
  EXPECT_FALSE(lvCharIn(wchar_t(0x0120), space));

  EXPECT_EQ(ReplaceStr(L"aaa", L"a", L"aa"), L"aaaaaa");  // inserted text is not scanned again
  EXPECT_EQ(ReplaceStr(L"şeker şeker", L"şeker", L"bal"), L"bal bal");
  EXPECT_EQ(ReplaceStr(L"abc", L"", L"x"), L"abc");
  EXPECT_EQ(MakeStr(L'-', 3), L"---");
  EXPECT_EQ(MakeStr(L'-', -1), L"");
  String filled = L"eski";
  lvFillString(filled, 0, L'x');
  EXPECT_EQ(filled, L"");
  EXPECT_EQ(DelChars(L"1.234.567", L'.'), L"1234567");
  EXPECT_TRUE(IsEmptyStr(L"", space));
  EXPECT_TRUE(IsEmptyStr(L"   ", space));
  EXPECT_FALSE(IsEmptyStr(L" x ", space));
}

TEST(SkinHelpers, IniTextHeldInMemory) {
  rtl::TStringList ini;
  ini.SetText(
      L"ORPHAN=1\r\n"
      L"[]\r\n"
      L"BOS=evet\r\n"
      L"; a comment\r\n"
      L"\r\n"
      L"[GENEL]\r\n"
      L"HEX=0x10\r\n"
      L"ONLYPREFIX=0x\r\n"
      L"DOLLAR=$1F\r\n"
      L"TEXT=a=b\r\n"
      L"WORD=on\r\n");
  rtl::TStringList sections;
  sections.SetCaseSensitive(true);
  GetIniSections(&ini, &sections);
  ASSERT_EQ(sections.Count(), 2);
  EXPECT_EQ(sections.Get(0), L"");  // two brackets with nothing between them name a section too
  EXPECT_EQ(sections.Get(1), L"GENEL");
  EXPECT_EQ(ReadIniString(&ini, &sections, L"", L"BOS", L"-"), L"evet");
  EXPECT_EQ(ReadIniString(&ini, &sections, L"", L"ORPHAN", L"-"), L"-");  // lines before the first section drop
  EXPECT_EQ(ReadIniString(&ini, &sections, L"GENEL", L"TEXT", L"-"), L"a=b");
  EXPECT_EQ(ReadIniString(&ini, &sections, L"genel", L"TEXT", L"-"), L"-");  // the lists are case-sensitive
  EXPECT_EQ(ReadIniString(&ini, &sections, L"YOK", L"TEXT", L"-"), L"-");
  EXPECT_EQ(ReadIniInteger(&ini, &sections, L"GENEL", L"HEX", -1), 16);
  EXPECT_EQ(ReadIniInteger(&ini, &sections, L"GENEL", L"ONLYPREFIX", -1), -1);
  EXPECT_EQ(ReadIniInteger(&ini, &sections, L"GENEL", L"DOLLAR", -1), 31);
  EXPECT_EQ(ReadIniInteger(&ini, &sections, L"GENEL", L"WORD", 7), 7);
  EXPECT_EQ(ReadIniInteger(&ini, &sections, L"GENEL", L"MISSING", 7), 7);
  // A second call starts afresh.
  GetIniSections(&ini, &sections);
  EXPECT_EQ(sections.Count(), 2);
  FreeIniSections(&sections);
  EXPECT_EQ(sections.Count(), 0);
}

namespace {

std::vector<rtl::Byte> Deflated(const std::vector<rtl::Byte>& plain) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  std::vector<rtl::Byte> out(size);
  EXPECT_EQ(compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9), Z_OK);
  out.resize(size);
  return out;
}

std::vector<rtl::Byte> Pattern(size_t n) {
  std::vector<rtl::Byte> b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<rtl::Byte>((i * 7 + i / 251) & 0xFF);
  return b;
}

}  // namespace

TEST(SkinInflateStream, ReadsItsStreamAndLeavesTheSourceRightAfterIt) {
  const std::vector<rtl::Byte> plain = Pattern(300000);  // more than one input buffer of compressed data
  std::vector<rtl::Byte> source = Deflated(plain);
  const size_t streamEnd = source.size();
  for (rtl::Byte b : {'S', 'O', 'N'}) source.push_back(b);
  rtl::TBytesStream src(source);
  lvZLibEx::TZDecompressionStream z(src);
  int refills = 0;
  z.OnProgress = [&](rtl::TObject*) { ++refills; };
  std::vector<rtl::Byte> got(plain.size() + 10);
  size_t have = 0;
  // Odd-sized reads cross the input buffer's edges.
  while (true) {
    rtl::Integer n = z.Read(got.data() + have, static_cast<rtl::Integer>(std::min<size_t>(9973, got.size() - have)));
    if (n <= 0) break;
    have += static_cast<size_t>(n);
  }
  got.resize(have);
  EXPECT_EQ(got, plain);
  EXPECT_TRUE(z.StreamEnded());
  EXPECT_GE(refills, 1);
  EXPECT_EQ(src.Position(), static_cast<rtl::Int64>(streamEnd));
  rtl::Byte next = 0;
  EXPECT_EQ(src.Read(&next, 1), 1);
  EXPECT_EQ(next, 'S');
}

TEST(SkinInflateStream, PositionsOnlyForwardOrBackToTheStart) {
  const std::vector<rtl::Byte> plain = Pattern(50000);
  rtl::TBytesStream src(Deflated(plain));
  lvZLibEx::TZDecompressionStream z(src);

  EXPECT_EQ(z.Seek(1000, rtl::soCurrent), 1000);  // skips forward
  rtl::Byte b = 0;
  ASSERT_EQ(z.Read(&b, 1), 1);
  EXPECT_EQ(b, plain[1000]);
  EXPECT_EQ(z.Seek(40000, rtl::soBeginning), 40000);  // past what was produced: skips the difference
  ASSERT_EQ(z.Read(&b, 1), 1);
  EXPECT_EQ(b, plain[40000]);

  EXPECT_THROW(z.Seek(100, rtl::soBeginning), lvZLibEx::EZDecompressionError);    // backwards
  EXPECT_THROW(z.Seek(40001, rtl::soBeginning), lvZLibEx::EZDecompressionError);  // exactly where it is
  EXPECT_THROW(z.Seek(-1, rtl::soCurrent), lvZLibEx::EZDecompressionError);
  EXPECT_THROW(z.Seek(5, rtl::soEnd), lvZLibEx::EZDecompressionError);
  try {
    z.Write(&b, 1);
    ADD_FAILURE() << "writing into an inflate stream must raise";
  } catch (const lvZLibEx::EZDecompressionError& e) {
    EXPECT_EQ(e.Message(), L"Invalid ZStream operation!");
  }

  // Back to the start: the source is read again from its beginning.
  EXPECT_EQ(z.Seek(0, rtl::soBeginning), 0);
  ASSERT_EQ(z.Read(&b, 1), 1);
  EXPECT_EQ(b, plain[0]);
  // To the end: everything is read, the answer is the whole length.
  EXPECT_EQ(z.Seek(0, rtl::soEnd), static_cast<rtl::Int64>(plain.size()));
  EXPECT_EQ(z.Read(&b, 1), 0);
}

TEST(SkinInflateStream, DamagedDataRaisesAndACutStreamEndsShort) {
  std::vector<rtl::Byte> data = Deflated(Pattern(20000));
  {
    std::vector<rtl::Byte> damaged = data;
    for (size_t i = 2; i < 40 && i < damaged.size(); ++i) damaged[i] ^= 0xA5;
    rtl::TBytesStream src(damaged);
    lvZLibEx::TZDecompressionStream z(src);
    std::vector<rtl::Byte> out(30000);
    EXPECT_THROW(z.Read(out.data(), static_cast<rtl::Integer>(out.size())), lvZLibEx::EZDecompressionError);
  }
  {
    std::vector<rtl::Byte> cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(data.size() / 2));
    rtl::TBytesStream src(cut);
    lvZLibEx::TZDecompressionStream z(src);
    std::vector<rtl::Byte> out(30000);
    rtl::Integer n = z.Read(out.data(), static_cast<rtl::Integer>(out.size()));
    EXPECT_LT(n, 20000);
    EXPECT_FALSE(z.StreamEnded());
  }
  {
    rtl::TBytesStream src(std::vector<rtl::Byte>{0x78});  // a header cut after one byte
    lvZLibEx::TZDecompressionStream z(src);
    rtl::Byte b = 0;
    EXPECT_EQ(z.Read(&b, 1), 0);
  }
}

TEST(SkinFormLists, RemovingAFormMovesTheLastIntoItsPlace) {
  vcl::Application->Initialize();
  const std::vector<vcl::TCustomForm*> saved = HookedComponents;
  HookedComponents.clear();
  vcl::TComponent owner(nullptr);
  std::vector<vcl::TCustomForm*> f;
  for (int i = 0; i < 4; ++i) f.push_back(vcl::Create<vcl::TForm>(&owner));
  for (vcl::TCustomForm* form : f) IntSkinForm(form);
  ASSERT_EQ(HookedComponents, f);

  IntUnSkinForm(f[1]);
  EXPECT_EQ(HookedComponents, (std::vector<vcl::TCustomForm*>{f[0], f[3], f[2]}));
  IntUnSkinForm(f[2]);  // the last one: the list shrinks
  EXPECT_EQ(HookedComponents, (std::vector<vcl::TCustomForm*>{f[0], f[3]}));
  IntUnSkinForm(f[1]);  // no longer listed: nothing changes
  EXPECT_EQ(HookedComponents, (std::vector<vcl::TCustomForm*>{f[0], f[3]}));
  IntUnSkinForm(f[0]);
  IntUnSkinForm(f[3]);
  EXPECT_TRUE(HookedComponents.empty());
  HookedComponents = saved;
}
