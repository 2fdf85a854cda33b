#pragma once

// Reads the program's output files back the way a person would see them:
// workbooks through openpyxl (Debian's python3-openpyxl, seen only by
// /usr/bin/python3), PDF files through pdftotext.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace ReadBack {

// {"sheets": [...], "maxRow": n, "maxCol": n,
//  "cells": {"A1": {"v": value, "t": "s"|"n"|..., "f": number format}},
//  "widths": {"A": width}} of the first worksheet; empty on failure.
inline QJsonObject workbook(const QString &path)
{
    static const char *script = R"PY(
import json, sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
cells = {}
for row in ws.iter_rows():
    for c in row:
        if c.value is None:
            continue
        v = c.value
        if isinstance(v, (datetime.date, datetime.datetime)):
            v = str(v)
        cells[c.coordinate] = {"v": v, "t": c.data_type, "f": c.number_format}
widths = {k: d.width for k, d in ws.column_dimensions.items()}
print(json.dumps({"sheets": wb.sheetnames, "maxRow": ws.max_row, "maxCol": ws.max_column,
                  "cells": cells, "widths": widths}, ensure_ascii=False))
)PY";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("openpyxl failed: %s", p.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

inline QJsonObject cell(const QJsonObject &book, const QString &ref)
{
    return book.value(QStringLiteral("cells")).toObject().value(ref).toObject();
}

// The text of a PDF file, pages separated by form feeds.
inline QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pdfPages(const QString &path) { return int(pdfText(path).count(QLatin1Char('\f'))); }

} // namespace ReadBack
