#pragma once
// What the two file readers share: building sheets cell by cell under the workbook's bounds, the user's messages
// for a file that cannot be read, and telling date formats from others.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/workbook/workbook.h"

namespace workbook {

// The messages of the error box. Each names the file by its name alone.
[[noreturn]] void FailNotWorkbook(const String& fileName);
// detail says in a few words what was wrong, for whoever looks into the file.
[[noreturn]] void FailDamaged(const String& fileName, const String& detail);
[[noreturn]] void FailPassword(const String& fileName);
[[noreturn]] void FailTooManyRows(const String& fileName, const String& sheet);
[[noreturn]] void FailTooLarge(const String& fileName);
[[noreturn]] void FailUnsupported(const String& fileName, const String& what);

// Collects one sheet's cells in any order; Finish orders them and works out the used range. Rows and columns
// from 1; a row past kMaxRows or a column past kMaxColumns is refused, as is a cell past the workbook's budget.
class TSheetBuilder {
 public:
  TSheetBuilder(const String& fileName, const String& sheetName, bool chart, std::shared_ptr<std::vector<String>> texts,
                int64_t& cellBudget);
  void Blank(int64_t row, int64_t column);
  void Number(int64_t row, int64_t column, double value, bool date);
  void Text(int64_t row, int64_t column, String text);
  void SharedText(int64_t row, int64_t column, uint32_t index);  // an index the caller has checked
  void Boolean(int64_t row, int64_t column, bool value);
  void Error(int64_t row, int64_t column, int code);  // the file's error code (7 for a division by zero...)
  TWorksheet Finish();

 private:
  TWorksheet::TCell& Add(int64_t row, int64_t column);
  const String& fileName_;
  TWorksheet sheet_;
  std::shared_ptr<std::vector<String>> texts_;
  int64_t& budget_;
};

class TWorkbookBuilder {
 public:
  explicit TWorkbookBuilder(const String& fileName);
  void AddSheet(TWorksheet sheet) { book_->sheets_.push_back(std::move(sheet)); }
  // An index outside the sheets falls back to the first, as a spreadsheet program opens it.
  void SetActive(int64_t index);
  std::unique_ptr<TWorkbook> Finish();

 private:
  std::unique_ptr<TWorkbook> book_;
};

// Built-in number formats 14-22 and 45-47 are dates and times.
bool IsBuiltInDateFormat(int id);
// A format code shows a date or time when, outside quoted text, escapes and [colour] brackets, it uses d, m, y,
// h or s (or a [h]/[mm]/[ss] elapsed-time bracket).
bool IsDateFormatCode(const String& code);
// A serial day number of the file to the platform's date (the 1904 system moves it by 1,462 days; the 1900
// system's fictitious 29 February 1900 shifts the first two months by one).
double SerialToDate(double serial, bool date1904);

std::unique_ptr<TWorkbook> ReadXlsx(const std::vector<uint8_t>& bytes, const String& fileName);
std::unique_ptr<TWorkbook> ReadXls(const std::vector<uint8_t>& bytes, const String& fileName);

}  // namespace workbook
