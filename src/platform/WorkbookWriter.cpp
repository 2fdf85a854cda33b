#include "WorkbookWriter.h"

#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>

namespace {
QString reasonOf(lxw_error code)
{
    switch (code) {
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("无法创建文件（没有写入权限、磁盘已满或文件夹不存在）");
    case LXW_ERROR_CREATING_TMPFILE:
        return QStringLiteral("无法创建临时文件");
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("单元格文字超过 32767 个字符");
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return QStringLiteral("超出工作表的行列范围");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("内存不足");
    default:
        return QString::fromUtf8(lxw_strerror(code));
    }
}
} // namespace

WorkbookWriter::WorkbookWriter(const QString &path) : m_path(path)
{
    m_pathBytes = QFileInfo(path).absoluteFilePath().toLocal8Bit();
    lxw_workbook_options options{};
    // rows go to a temporary file as they are written, so that a list of
    // 100,000 rows does not have to fit in memory
    options.constant_memory = LXW_TRUE;
    m_book = workbook_new_opt(m_pathBytes.constData(), &options);
    if (!m_book)
        m_error = QStringLiteral("无法创建工作簿");
}

WorkbookWriter::~WorkbookWriter()
{
    if (!m_closed && m_book) {
        // nothing of an unfinished workbook is left behind
        workbook_close(m_book);
        QFile::remove(m_path);
    }
}

QString WorkbookWriter::validSheetName(const QString &name)
{
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    QString n = name;
    for (QChar &c : n)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    n = n.trimmed();
    const auto stripQuotes = [](QString &s) {
        while (s.startsWith(QLatin1Char('\'')))
            s.remove(0, 1);
        while (s.endsWith(QLatin1Char('\'')))
            s.chop(1);
        s = s.trimmed();
    };
    stripQuotes(n);
    if (n.size() > 31) {
        n.truncate(31);
        if (n.at(30).isHighSurrogate())
            n.chop(1);
        stripQuotes(n);
    }
    if (n.isEmpty())
        n = QStringLiteral("Sheet1");
    if (n.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        n += QLatin1Char('1');
    return n;
}

bool WorkbookWriter::addSheet(const QString &name)
{
    if (!m_book)
        return false;
    QString n = validSheetName(name);
    QByteArray bytes = n.toUtf8();
    // a second sheet of the same name
    for (int i = 2; workbook_validate_sheet_name(m_book, bytes.constData()) != LXW_NO_ERROR && i < 1000; ++i) {
        n = validSheetName(n.left(26) + QStringLiteral("_%1").arg(i));
        bytes = n.toUtf8();
    }
    m_sheet = workbook_add_worksheet(m_book, bytes.constData());
    if (!m_sheet) {
        m_error = QStringLiteral("无法添加工作表“%1”").arg(n);
        return false;
    }
    m_sheetName = n;
    return true;
}

void WorkbookWriter::remember(int code)
{
    if (code != LXW_NO_ERROR && m_error.isEmpty())
        m_error = reasonOf(lxw_error(code));
}

lxw_format *WorkbookWriter::textFormat(bool bold)
{
    lxw_format *&f = bold ? m_textBold : m_text;
    if (!f && m_book) {
        f = workbook_add_format(m_book);
        format_set_num_format(f, "@");
        if (bold)
            format_set_bold(f);
    }
    return f;
}

lxw_format *WorkbookWriter::numberFormat(const QString &format)
{
    if (format.isEmpty() || !m_book)
        return nullptr;
    auto it = m_numberFormats.find(format);
    if (it != m_numberFormats.end())
        return *it;
    lxw_format *f = workbook_add_format(m_book);
    format_set_num_format(f, format.toUtf8().constData());
    m_numberFormats.insert(format, f);
    return f;
}

void WorkbookWriter::setColumnWidth(int col, double width)
{
    if (m_sheet)
        remember(worksheet_set_column(m_sheet, lxw_col_t(col), lxw_col_t(col), width, nullptr));
}

void WorkbookWriter::writeText(int row, int col, const QString &text, bool bold)
{
    if (!m_sheet)
        return;
    if (text.isEmpty()) {
        remember(worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(col), textFormat(bold)));
        return;
    }
    // one buffer for every cell instead of a new byte array each
    const qsizetype need = text.size() * 3 + 1;
    if (m_buffer.size() < need)
        m_buffer.resize(need);
    char *end = m_encoder.appendToBuffer(m_buffer.data(), text);
    *end = '\0';
    remember(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col), m_buffer.constData(), textFormat(bold)));
}

void WorkbookWriter::writeNumber(int row, int col, double value, const QString &format)
{
    if (m_sheet)
        remember(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), value, numberFormat(format)));
}

bool WorkbookWriter::close(QString *error)
{
    if (m_closed)
        return m_error.isEmpty();
    m_closed = true;
    if (!m_book) {
        if (error)
            *error = m_error;
        return false;
    }
    errno = 0;
    const lxw_error rc = workbook_close(m_book);
    m_book = nullptr;
    if (rc != LXW_NO_ERROR) {
        QString reason = reasonOf(rc);
        if (errno != 0)
            reason += QStringLiteral("：") + QString::fromLocal8Bit(std::strerror(errno));
        m_error = reason;
        QFile::remove(m_path);
    } else if (!m_error.isEmpty()) {
        QFile::remove(m_path);
    }
    if (error)
        *error = m_error;
    return m_error.isEmpty();
}
