// The system header comes first on purpose: our names must still mean our functions afterwards.
// clang-format off
#include <windows.h>
#include <shellapi.h>

#include "platform/rtl/files.h"
// clang-format on

#include <gtest/gtest.h>

#include "platform/rtl/strings.h"

TEST(WinMacros, OurNamesSurviveTheSystemHeaders) {
  rtl::String name = rtl::GetTempFileName(L"win");
  // With the system macro still active this would be DeleteFileW taking a pointer, and would not compile.
  EXPECT_TRUE(rtl::DeleteFile(name));
  EXPECT_FALSE(rtl::FileExists(name));
  EXPECT_TRUE(rtl::StartsStr(rtl::GetTempPath(), name));
  // The wide system functions stay reachable by their explicit names.
  EXPECT_EQ(DeleteFileW(name.c_str()), FALSE);
}
