#pragma once

#include <QString>

class DataGrid;

// What a grid shows, written as a workbook: one worksheet named by the sheet
// name; row 1 the titles of the visible columns at their column numbers
// (hidden columns leave empty sheet columns); one row per record in the
// grid's order. Numbers stay numbers with the column's display format in the
// workbook's notation; everything else is text ("@"); yes/no fields are
// "是"/"否"; the empty date is an empty cell.
namespace DataGridWorkbook {
bool write(const DataGrid &grid, const QString &path, const QString &sheetName, QString *error = nullptr);
// Rows a worksheet holds below its title row.
constexpr int kMaxRows = 1048575;
} // namespace DataGridWorkbook
