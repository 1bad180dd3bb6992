#pragma once
// The spreadsheet program's automation object, answered by reading the workbook file itself: the import reaches
// it by late binding under the program identifier "excel.application" as it would reach the program, and needs no
// spreadsheet program on the machine.
//
// Members: the application's Visible, DisplayAlerts, Workbooks, ActiveWorkbook, ActiveSheet, Worksheets, Cells and
// Quit; the workbook list's Open, Count and Item; a workbook's Worksheets (the list, or one sheet by number or
// name), Sheets, ActiveSheet, Name and Close; a worksheet's Name, UsedRange and Cells(row, column); a range's Rows,
// Columns, Count, Row, Column, Cells and, for one cell, Value. Worksheets are numbered from 1, chart sheets left out.
// A workbook that cannot be read fails Open with the reader's Turkish message.
namespace workbook {

// Registers the object under "excel.application"; answers true, so a unit can do it while it is initialised.
bool RegisterExcelAutomation();

}  // namespace workbook
