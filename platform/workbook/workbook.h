#pragma once
// Reading workbooks without a spreadsheet program: the zipped XML kind (.xlsx) and the older binary kind (.xls),
// told apart by their content, not their name. A workbook is read whole when it is opened; afterwards it answers
// its sheets, their used ranges and the values of their cells.
//
// Everything read from the file is bounded: a file that is no workbook, a damaged or truncated one, a
// password-protected one or a sheet beyond kMaxRows rows raises EWorkbookError with a Turkish message for the
// user; nothing half-read is ever answered.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/variant.h"

namespace workbook {

using rtl::String;
using rtl::Variant;

class EWorkbookError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  String ClassName() const override { return L"EWorkbookError"; }
};

// A sheet may hold at most this many rows (and this many columns); a file claiming more is refused.
inline constexpr int kMaxRows = 1000000;
inline constexpr int kMaxColumns = 16384;
// At most this many cells in a whole workbook, and this many bytes in one of its parts once unpacked: what a
// school's lists need many times over, and far below what would exhaust the memory.
inline constexpr int64_t kMaxCells = 20000000;
inline constexpr int64_t kMaxPartBytes = 512ll * 1024 * 1024;

// Rows and columns are counted from 1, as the user sees them.
struct TCellRange {
  int FirstRow = 0, FirstColumn = 0, LastRow = 0, LastColumn = 0;  // all 0 for an empty sheet
  bool IsEmpty() const { return LastRow == 0; }
  int RowCount() const { return IsEmpty() ? 0 : LastRow - FirstRow + 1; }
  int ColumnCount() const { return IsEmpty() ? 0 : LastColumn - FirstColumn + 1; }
};

// One value the file records for a cell. A cell the file records without a value (a formatted blank) is present
// and Empty.
class TWorksheet {
 public:
  const String& Name() const { return name_; }
  bool IsChart() const { return chart_; }
  // The rows and columns from the first to the last cell the file records, whatever the sheet's own declared
  // dimension says.
  TCellRange UsedRange() const { return range_; }
  // The cell's value: a double for numbers, a date (varDate) for numbers in a date or time format, a text, a
  // Boolean, an error value (varError) for cached error results, Empty for a blank or absent cell.
  Variant Cell(int row, int column) const;
  // How many cells the file records.
  size_t CellCount() const { return cells_.size(); }

 private:
  friend class TSheetBuilder;
  enum class Kind : uint8_t { Blank, Number, Date, Text, Boolean, Error };
  struct TCell {
    uint32_t row;
    uint16_t column;
    Kind kind;
    uint32_t text;  // index into texts_ for Text, the error code for Error, 0/1 for Boolean
    double number;
  };
  const TCell* Find(int row, int column) const;

  String name_;
  bool chart_ = false;
  TCellRange range_;
  std::vector<TCell> cells_;  // ordered by row, then column; one per position
  std::shared_ptr<const std::vector<String>> texts_;
};

class TWorkbook {
 public:
  // Reads the file; EWorkbookError for anything that is not a readable workbook, EFOpenError when the file
  // cannot be opened at all.
  static std::unique_ptr<TWorkbook> Open(const String& fileName);
  // The same from bytes already read; fileName only names the workbook in messages.
  static std::unique_ptr<TWorkbook> Read(std::vector<uint8_t> bytes, const String& fileName);

  // All sheets in the workbook's order (chart sheets included, flagged).
  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  const TWorksheet& Sheet(int index) const { return sheets_.at(static_cast<size_t>(index)); }
  // The index of the sheet shown when the workbook was saved.
  int ActiveSheet() const { return active_; }
  // The worksheets alone (no chart sheets), counted from 1 as the automation interface counts them; nil when
  // there is no such worksheet.
  const TWorksheet* Worksheet(int number) const;
  int WorksheetCount() const;
  const String& FileName() const { return fileName_; }

 private:
  friend class TWorkbookBuilder;
  String fileName_;
  std::vector<TWorksheet> sheets_;
  int active_ = 0;
};

}  // namespace workbook
