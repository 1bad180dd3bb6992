#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"

using namespace rtl;

TEST(Exceptions, ClassNameFollowsTheMostDerivedClass) {
  try {
    throw EFOpenError(L"Dosya açılamıyor");
  } catch (const Exception& e) {
    EXPECT_EQ(e.ClassName(), L"EFOpenError");
    EXPECT_EQ(e.Message(), L"Dosya açılamıyor");
    EXPECT_STREQ(e.what(), "Dosya a\xC3\xA7\xC4\xB1lam\xC4\xB1yor");
  }
}
