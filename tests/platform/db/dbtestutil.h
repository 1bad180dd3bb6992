#pragma once
// A fresh database file made from the program's schema, in a folder of its own (tests/common holds the helpers;
// these names stay for the data-access tests).
#include <memory>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/db/datasource.h"
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

// A table of the database file in folder, through a connection and a data source, all owned by owner (closed).
struct TableOnFile {
  db::TADOConnection* conn;
  db::TADOTable* table;
  db::TDataSource* source;
};
inline TableOnFile TableOn(vcl::TComponent* owner, const std::wstring& folder, const wchar_t* name) {
  TableOnFile t{new db::TADOConnection(owner), new db::TADOTable(owner), new db::TDataSource(owner)};
  t.conn->SetConnectionString(L"Data Source=" + folder + L"\\tavrel.mdb");
  t.conn->SetLoginPrompt(false);
  t.table->SetConnection(t.conn);
  t.table->SetTableName(name);
  t.source->SetDataSet(t.table);
  return t;
}

}  // namespace dbtest
