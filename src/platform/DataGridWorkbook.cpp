#include "DataGridWorkbook.h"

#include "DataGrid.h"
#include "DataSet.h"
#include "Format.h"
#include "WorkbookWriter.h"

#include <QVector>

namespace DataGridWorkbook {

namespace {
struct Column
{
    int pos = 0;
    int field = -1;
    bool boolean = false;
    bool numeric = false;
    bool dateFormat = false;
    bool numberFormat = false;
    QString workbookFormat;
};

// "1900-08-14", also with a time after it
bool isEmptyDateText(QStringView text)
{
    static const QString sentinel = Format::emptyDateText();
    text = text.trimmed();
    return text.startsWith(sentinel) && (text.size() == sentinel.size() || text.at(sentinel.size()) == QLatin1Char(' '));
}
} // namespace

bool write(const DataGrid &grid, const QString &path, const QString &sheetName, QString *error)
{
    const DataSet *ds = grid.dataSet();
    const int rows = ds && ds->isOpen() ? ds->recordCount() : 0;
    if (rows > kMaxRows) {
        if (error)
            *error = QStringLiteral("共有 %1 条记录，超过一个工作表能容纳的 %2 行").arg(rows).arg(kMaxRows);
        return false;
    }
    WorkbookWriter out(path);
    if (!out.addSheet(sheetName)) {
        if (error)
            *error = out.lastError();
        out.close();
        return false;
    }

    QVector<Column> cols;
    const QVector<DataGridColumn> gridCols = grid.columns();
    for (int pos = 0; pos < gridCols.size(); ++pos) {
        const DataGridColumn &gc = gridCols.at(pos);
        if (!gc.visible)
            continue;
        Column c;
        c.pos = pos;
        c.field = grid.fieldIndexOf(pos);
        c.boolean = grid.isBooleanColumn(pos);
        c.numeric = grid.isNumericColumn(pos);
        const QString format = gc.displayFormat.trimmed();
        c.dateFormat = !format.isEmpty() && Format::isDateFormat(format);
        c.numberFormat = !format.isEmpty() && !c.dateFormat;
        if (c.numberFormat)
            c.workbookFormat = Format::toWorkbookFormat(format);
        cols.append(c);
        // a pixel of the grid is about a seventh of a workbook character
        out.setColumnWidth(pos, qBound(2.0, gc.width / 7.0, 100.0));
        out.writeText(0, pos, gc.title, true);
    }

    for (int r = 0; r < rows; ++r) {
        for (const Column &c : std::as_const(cols)) {
            if (c.field < 0)
                continue;
            // text columns read their cell once, as the grid shows it
            if (!c.boolean && !c.numeric && !c.dateFormat && !c.numberFormat) {
                const QString text = grid.cellText(r, c.pos);
                if (!text.isEmpty() && !isEmptyDateText(text))
                    out.writeText(r + 1, c.pos, text);
                continue;
            }
            const QVariant v = ds->value(r, c.field);
            if (v.isNull() || !v.isValid())
                continue;
            if (c.boolean) {
                out.writeText(r + 1, c.pos, v.toBool() ? QStringLiteral("是") : QStringLiteral("否"));
                continue;
            }
            bool ok = false;
            if (c.numeric || c.numberFormat) {
                // text holding a number takes the column's number format too
                const double d = c.numeric ? v.toDouble(&ok) : v.toString().trimmed().toDouble(&ok);
                if (ok) {
                    out.writeNumber(r + 1, c.pos, d, c.workbookFormat);
                    continue;
                }
            }
            if (c.dateFormat && Format::isEmptyDate(v))
                continue;
            const QString text = grid.cellText(r, c.pos);
            if (!text.isEmpty() && !isEmptyDateText(text))
                out.writeText(r + 1, c.pos, text);
        }
    }
    QString reason;
    if (!out.close(&reason)) {
        if (error)
            *error = reason;
        return false;
    }
    return true;
}

} // namespace DataGridWorkbook
