#pragma once
// The driver now lives in tests/common/driver.h; this name stays for the tests that include it.
#include "tests/common/driver.h"

namespace apptest {
using namespace testutil;
}  // namespace apptest
