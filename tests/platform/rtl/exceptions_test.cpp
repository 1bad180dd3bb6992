#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

#include "platform/rtl/win.h"

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

TEST(Exceptions, HierarchyCatchesByBaseClass) {
  EXPECT_THROW(throw EClassNotFound(L"x"), EFilerError);
  EXPECT_THROW(throw EReadError(L"x"), EStreamError);
  EXPECT_THROW(throw EDivByZero(L"x"), EIntError);
  EXPECT_THROW(Abort(), EAbort);
  try {
    throw EListError(L"List index out of bounds (5)");
  } catch (const Exception& e) {
    EXPECT_EQ(e.ClassName(), L"EListError");
  }
}

TEST(Exceptions, OsErrorsCarryTheCode) {
  try {
    RaiseLastOSError(ERROR_FILE_NOT_FOUND);
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), 2u);
    EXPECT_EQ(e.Message().rfind(L"System Error.  Code: 2.\r\n", 0), 0u);
    EXPECT_FALSE(SysErrorMessage(2).empty());
    EXPECT_NE(SysErrorMessage(2).back(), L'\n');
  }
}
