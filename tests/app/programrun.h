#pragma once
// Running the program in a process of its own now lives in tests/common; this name stays for the tests that
// include it.
#include <string>

#include "tests/common/database.h"
#include "tests/common/paths.h"
#include "tests/common/programrun.h"
#include "tests/common/tempdir.h"
#include "tests/common/text.h"

namespace apptest {
using namespace testutil;

// A new empty folder under the temporary folder (left for the test to remove).
inline std::wstring NewFolder(const std::wstring& name) { return NewTempFolder(L"app_" + name); }

}  // namespace apptest
