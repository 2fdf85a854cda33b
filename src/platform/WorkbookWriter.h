#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringEncoder>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Writes one .xlsx workbook with libxlsxwriter: worksheets, text and number
// cells with their number formats, column widths. Rows and columns count from
// 0. Nothing is on disk until close() succeeded.
class WorkbookWriter
{
public:
    explicit WorkbookWriter(const QString &path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter &) = delete;
    WorkbookWriter &operator=(const WorkbookWriter &) = delete;

    // A name a workbook accepts for a sheet: at most 31 characters, none of
    // []:*?/\ , not empty, no apostrophe at either end, not "History".
    static QString validSheetName(const QString &name);

    // Adds a worksheet (its name made valid) and makes it the one written to.
    bool addSheet(const QString &name);
    QString sheetName() const { return m_sheetName; }

    // Width in characters of the default font.
    void setColumnWidth(int col, double width);
    // Text cells carry the text format "@", so that a workbook leaves them text.
    void writeText(int row, int col, const QString &text, bool bold = false);
    // A number with a workbook number format ("#,##0.00"); empty: General.
    void writeNumber(int row, int col, double value, const QString &numberFormat = {});

    // Writes the file. False with the reason when it cannot be written.
    bool close(QString *error = nullptr);
    QString lastError() const { return m_error; }

private:
    lxw_format *textFormat(bool bold);
    lxw_format *numberFormat(const QString &format);
    void remember(int code);

    QString m_path;
    QByteArray m_pathBytes;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QString m_sheetName;
    lxw_format *m_text = nullptr;
    lxw_format *m_textBold = nullptr;
    QHash<QString, lxw_format *> m_numberFormats;
    QString m_error;
    bool m_closed = false;
    QByteArray m_buffer;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};
