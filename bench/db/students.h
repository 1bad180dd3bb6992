#pragma once
// The benchmark's database: the program's schema with 10,000 students whose 48 written columns are all filled,
// in a temporary folder removed afterwards.
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/db/ado.h"
#include "platform/rtl/types.h"

struct Student {
  std::vector<rtl::String> values;  // one per column of StudentColumns(), yes/no columns as "0" or "1"
};

// The columns a student screen writes: every column of ogrencibilgi but the auto-number, in the table's order.
const std::vector<rtl::String>& StudentColumns();
bool IsYesNoColumn(size_t column);
// The n-th student: school number n + 1, Turkish texts of the lengths such records have.
Student MakeStudent(int n);

class StudentFile {
 public:
  explicit StudentFile(int students);
  ~StudentFile();
  StudentFile(const StudentFile&) = delete;
  StudentFile& operator=(const StudentFile&) = delete;

  // A connection of the data layer, opened.
  std::unique_ptr<db::TADOConnection> Connect() const;
  // A connection of SQLite's own (sqlite3_close it).
  sqlite3* OpenRaw() const;

 private:
  std::wstring folder_, file_;
};
