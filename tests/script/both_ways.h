#pragma once
// The script test programs run every test twice: first through the lower form compiling makes, then through the
// statement and expression trees themselves. Both ways must give the same results, errors and line hooks.
#include <gtest/gtest.h>

#include <cstdio>

#include "script/wz_lowered.h"

namespace wztest {

class BothWays : public ::testing::EmptyTestEventListener {
  void OnTestIterationStart(const ::testing::UnitTest&, int iteration) override {
    const bool lowered = iteration % 2 == 0;
    wzSetLoweringEnabled(lowered);
    std::printf("[ script   ] programs run %s\n", lowered ? "through the lower form" : "through the trees");
    std::fflush(stdout);
  }
};

// Two rounds unless the command line asks for another count.
inline int RunBothWays(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(repeat) == 1) GTEST_FLAG_SET(repeat, 2);
  ::testing::UnitTest::GetInstance()->listeners().Append(new BothWays);
  return RUN_ALL_TESTS();
}

}  // namespace wztest
