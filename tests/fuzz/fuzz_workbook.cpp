// Workbooks (.xlsx and .xls) as the student-list import reads them: every sheet, its used range and its cells.
#include <algorithm>

#include "mutate.h"
#include "platform/workbook/workbook.h"

namespace {

const bool workbooks = fuzz::Join({
    .name = "workbook",
    .fixtures =
        [] {
          return fuzz::DataFiles(
              {"platform/workbook/fixtures/gnumeric_saved.xlsx", "platform/workbook/fixtures/gnumeric_saved.xls"});
        },
    .read =
        [](const fuzz::Bytes& input) {
          const auto book = workbook::TWorkbook::Read(input, L"fuzz");
          for (int s = 0; s < book->SheetCount(); ++s) {
            const workbook::TWorksheet& sheet = book->Sheet(s);
            const workbook::TCellRange range = sheet.UsedRange();
            // A damaged file may claim a vast range over a few cells: the corner that holds them is enough.
            for (int r = range.FirstRow; r <= std::min(range.LastRow, range.FirstRow + 100); ++r)
              for (int c = range.FirstColumn; c <= std::min(range.LastColumn, range.FirstColumn + 30); ++c)
                sheet.Cell(r, c);
          }
          book->Worksheet(1);
        },
    .refuses = fuzz::ErrorOf<workbook::EWorkbookError>,
    .rounds = 600,
});

}  // namespace
