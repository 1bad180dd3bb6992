#pragma once
// A fresh database file made from the program's schema, in a folder of its own (tests/common holds the helpers;
// these names stay for the data-access tests).
#include <memory>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/textconv.h"
#include "tests/common/database.h"
#include "tests/common/tempdir.h"
#include "tests/common/text.h"

namespace dbtest {

using testutil::CreateDatabase;
using testutil::ReadSchema;
using testutil::Utf8;

// A new empty folder of this process, removed with its content when the process ends.
inline std::wstring TempFolder() {
  static std::vector<std::unique_ptr<testutil::TempFolder>> folders;
  folders.push_back(std::make_unique<testutil::TempFolder>(L"db"));
  return folders.back()->Path();
}

}  // namespace dbtest
