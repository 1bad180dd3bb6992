#include "platform/db/filter.h"

#include <gtest/gtest.h>

#include "platform/db/dberrors.h"
#include "platform/rtl/textconv.h"

namespace db {
namespace {

struct LikeCase {
  const wchar_t* text;
  const wchar_t* pattern;
  bool match;
};

TEST(FilterLike, WildcardsOfTheProvider) {
  const LikeCase cases[] = {
      {L"123", L"12*", true},  {L"123", L"12%", true}, {L"123", L"*3", true},  {L"123", L"%2%", true},
      {L"123", L"12", false},  {L"123", L"123", true}, {L"abc", L"ABC", true}, {L"a_c", L"a_c", true},
      {L"abc", L"a_c", false}, {L"", L"*", true},      {L"x", L"", false},     {L"aXbXc", L"a*c", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FilterLikeMatch(c.text, c.pattern), c.match)
        << rtl::StringToUTF8(c.text) << " like " << rtl::StringToUTF8(c.pattern);
}

struct ExprCase {
  const wchar_t* filter;
  bool match;
};

TEST(FilterExpression, TextAndIntegerColumns) {
  // okulno text "O'12", sinif integer 9, ad null.
  auto resolve = [](const String& col, FieldValue& v, TFieldType& t) {
    if (col == L"okulno")
      v = FieldValue::Text(L"O'12"), t = ftWideString;
    else if (col == L"sinif")
      v = FieldValue::Integer(9), t = ftInteger;
    else if (col == L"ad")
      v = FieldValue(), t = ftWideString;
    else
      return false;
    return true;
  };
  const ExprCase cases[] = {
      {L"okulno='O''12'", true},
      {L"okulno='o''12'", true},
      {L"okulno='12'", false},
      {L"okulno like 'O*'", true},
      {L"sinif='9'", true},
      {L"sinif=9", true},
      {L"sinif='09'", true},
      {L"sinif='abc'", false},
      {L"sinif like '9'", true},
      {L"sinif like '1*'", false},
      {L"sinif>5 and okulno like '*2'", true},
      {L"sinif<5 or sinif>8", true},
      {L"not sinif=9", false},
      {L"(sinif=1 or sinif=9) and okulno<>'x'", true},
      {L"ad='x'", false},
      {L"ad = null", true},
      {L"[sinif] <= 9", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FilterExpression(c.filter).Matches(resolve), c.match) << rtl::StringToUTF8(c.filter);
  EXPECT_THROW(FilterExpression(L"yok='1'").Matches(resolve), EDatabaseError);
}

TEST(FilterExpression, MalformedTextIsRefused) {
  for (const wchar_t* bad : {L"okulno=", L"okulno='abc", L"okulno 'a'", L"= 'a'", L"okulno='a' extra"})
    EXPECT_THROW(FilterExpression{bad}, EDatabaseError) << rtl::StringToUTF8(bad);
}

}  // namespace
}  // namespace db
