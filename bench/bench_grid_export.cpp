// Exporting the customer grid to a workbook: 10,000 customers with all 50
// columns of t_client written through the grid export (DataSet, DataGrid,
// DataGridWorkbook, WorkbookWriter) against the same cells written with
// libxlsxwriter directly from raw SQLite, in the same run.
//
//   bench_grid_export [path/to/database.db]
//
// Without a database the customers are made in a temporary one built by the
// project's own schema scripts. With one, its first 10,000 customers are used.

#include "BenchUtil.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataGridWorkbook.h"
#include "platform/DataSet.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "platform/WorkbookWriter.h"
#include "tools/SchemaSetup.h"

#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QPair>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {
constexpr int kCustomers = 10000;
constexpr int kRuns = 5;

// Medians of runs taken in turns, so that a busy machine slows both sides alike.
QPair<double, double> pairedMedians(int runs, const std::function<void()> &ours, const std::function<void()> &base)
{
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        b.push_back(Bench::medianMs(1, base));
        a.push_back(Bench::medianMs(1, ours));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

void makeCustomers()
{
    QSqlDatabase db = Database::connection(TdmData::connectionName());
    const QStringList cols = [&] {
        QStringList out;
        const QSqlRecord rec = db.record(QStringLiteral("t_client"));
        for (int i = 0; i < rec.count(); ++i)
            if (rec.fieldName(i).compare(QLatin1String("F_ID"), Qt::CaseInsensitive) != 0)
                out.append(rec.fieldName(i));
        return out;
    }();
    db.transaction();
    QSqlQuery q(db);
    QStringList marks;
    for (int i = 0; i < cols.size(); ++i)
        marks.append(QStringLiteral("?"));
    q.prepare(QStringLiteral("insert into t_client(%1) values(%2)").arg(cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (int n = 1; n <= kCustomers; ++n) {
        for (const QString &c : cols) {
            const QString l = c.toLower();
            QVariant v;
            if (l == QLatin1String("f_cltid"))
                v = n;
            else if (l == QLatin1String("f_useflag"))
                v = n % 17 == 0 ? 1 : 0;
            else if (l.startsWith(QLatin1String("f_sz")))
                v = n * 1.25;
            else if (l == QLatin1String("f_editdate") || l == QLatin1String("f_date") || l.startsWith(QLatin1String("f_rq")))
                v = n % 5 == 0 ? Format::emptyDateText() : QStringLiteral("2026-%1-%2").arg(n % 12 + 1, 2, 10, QChar('0')).arg(n % 28 + 1, 2, 10, QChar('0'));
            else if (l == QLatin1String("f_code"))
                v = QStringLiteral("20260101%1").arg(n, 5, 10, QChar('0'));
            else if (l == QLatin1String("f_mem"))
                v = QStringLiteral("客户%1的备注信息，主要经营机械设备与配件。").arg(n);
            else
                v = QStringLiteral("%1%2").arg(c.mid(2), QStringLiteral("值%1").arg(n));
            q.addBindValue(v);
        }
        q.exec();
    }
    db.commit();
}

// The raw side: the same cells, decided the same way (numbers with the
// columns' formats, yes/no as 是/否, the empty date blank, the rest text).
void rawExport(sqlite3 *db, const QString &sql, const QStringList &titles, const QVector<int> &kinds,
               const QVector<QByteArray> &formats, const QString &out)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(out.toUtf8().constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, "客户档案资料");
    lxw_format *text = workbook_add_format(book);
    format_set_num_format(text, "@");
    lxw_format *bold = workbook_add_format(book);
    format_set_num_format(bold, "@");
    format_set_bold(bold);
    QVector<lxw_format *> numberFormats;
    for (const QByteArray &f : formats) {
        lxw_format *nf = nullptr;
        if (!f.isEmpty()) {
            nf = workbook_add_format(book);
            format_set_num_format(nf, f.constData());
        }
        numberFormats.append(nf);
    }
    for (int c = 0; c < titles.size(); ++c) {
        worksheet_set_column(sheet, c, c, 80 / 7.0, nullptr);
        worksheet_write_string(sheet, 0, c, titles.at(c).toUtf8().constData(), bold);
    }
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    const char *yes = "是";
    const char *no = "否";
    lxw_row_t row = 1;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < titles.size(); ++c) {
            const int type = sqlite3_column_type(st, c);
            if (type == SQLITE_NULL)
                continue;
            switch (kinds.at(c)) {
            case 1: // yes/no
                worksheet_write_string(sheet, row, c, sqlite3_column_int(st, c) ? yes : no, text);
                break;
            case 2: // number
                worksheet_write_number(sheet, row, c, sqlite3_column_double(st, c), numberFormats.at(c));
                break;
            default: {
                const char *t = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                if (!*t || std::strncmp(t, "1900-08-14", 10) == 0)
                    break;
                worksheet_write_string(sheet, row, c, t, text);
            }
            }
        }
        ++row;
    }
    sqlite3_finalize(st);
    workbook_close(book);
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    DbSettings s;
    QString error;
    if (argc > 1) {
        s.database = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
        if (!QFileInfo::exists(s.database) || !Database::open(TdmData::connectionName(), s, &error)) {
            std::fprintf(stderr, "cannot open %s %s\n", argv[1], qPrintable(error));
            return 2;
        }
    } else {
        s.baseDir = tmp.path();
        s.database = QStringLiteral("bench");
        if (!Database::openRaw(TdmData::connectionName(), s, &error)
            || !SchemaSetup::createSchema(Database::connection(TdmData::connectionName()), &error)) {
            std::fprintf(stderr, "cannot create the database: %s\n", qPrintable(error));
            return 2;
        }
        makeCustomers();
    }
    Database::setDefaultConnectionName(TdmData::connectionName());
    const QString dbFile = Database::connection(TdmData::connectionName()).databaseName();

    // the first 10,000 customers
    QSqlQuery top(Database::connection(TdmData::connectionName()));
    top.exec(QStringLiteral("select F_ID from t_client order by F_ID limit 1 offset %1").arg(kCustomers - 1));
    const qint64 lastId = top.next() ? top.value(0).toLongLong() : std::numeric_limits<qint64>::max();
    top.finish();
    const QString sql = QStringLiteral("select * from t_client where F_ID <= %1 order by F_ID").arg(lastId);

    DataSet ds;
    ds.setSql(sql);
    ds.setEmptyDateFields({"F_editdate", "F_date", "F_RQ1", "F_RQ2", "F_RQ3"});
    if (!ds.open()) {
        std::fprintf(stderr, "cannot open the customers: %s\n", qPrintable(ds.lastError()));
        return 2;
    }
    DataGrid grid;
    grid.setDataSet(&ds);
    QVector<DataGridColumn> cols;
    QStringList titles;
    QVector<int> kinds;
    QVector<QByteArray> formats;
    for (int i = 0; i < ds.fieldCount(); ++i) {
        DataGridColumn c(ds.fieldName(i), ds.fieldName(i));
        if (c.fieldName.startsWith(QLatin1String("F_SZ"), Qt::CaseInsensitive))
            c.displayFormat = QStringLiteral("￥,0.00");
        cols.append(c);
        titles.append(c.title);
        kinds.append(ds.isBooleanField(i) ? 1 : ds.isNumericField(i) ? 2 : 0);
        formats.append(Format::toWorkbookFormat(c.displayFormat).toUtf8());
    }
    grid.setColumns(cols);

    const QString ours = tmp.filePath(QStringLiteral("grid.xlsx"));
    const QString raw = tmp.filePath(QStringLiteral("raw.xlsx"));
    std::printf("database: %s\ncustomers: %d, columns: %d\n", qPrintable(dbFile), ds.recordCount(), int(cols.size()));
    // the baseline keeps its connection (and so its page cache) open, as the program does
    sqlite3 *rawDb = nullptr;
    sqlite3_open_v2(dbFile.toUtf8().constData(), &rawDb, SQLITE_OPEN_READONLY, nullptr);
    const auto [ms, base] = pairedMedians(
        kRuns,
        [&] {
            QString err;
            if (!DataGridWorkbook::write(grid, ours, QStringLiteral("客户档案资料"), &err))
                std::fprintf(stderr, "export failed: %s\n", qPrintable(err));
        },
        [&] { rawExport(rawDb, sql, titles, kinds, formats, raw); });
    sqlite3_close(rawDb);
    Bench::report(qPrintable(QStringLiteral("grid export to .xlsx (%1 x %2)").arg(ds.recordCount()).arg(cols.size())), ms,
                  base, 1.5);

    // the writer alone: the cells the export wrote, from memory
    struct Cell
    {
        int row;
        int col;
        bool number;
        double value;
        QString text;
        QByteArray utf8;
        QString format;
        QByteArray formatUtf8;
    };
    QVector<Cell> cells;
    {
        const QVector<DataGridColumn> gc = grid.columns();
        for (int r = 0; r < ds.recordCount(); ++r)
            for (int c = 0; c < gc.size(); ++c) {
                const QString t = grid.cellText(r, c);
                if (t.isEmpty())
                    continue;
                Cell cell{r + 1, c, kinds.at(c) == 2, ds.value(r, c).toDouble(), t, t.toUtf8(),
                          Format::toWorkbookFormat(gc.at(c).displayFormat), {}};
                cell.formatUtf8 = cell.format.toUtf8();
                cells.append(cell);
            }
    }
    const QString rawCells = tmp.filePath(QStringLiteral("rawcells.xlsx"));
    const auto writeRaw = [&] {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *book = workbook_new_opt(rawCells.toUtf8().constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
        lxw_format *text = workbook_add_format(book);
        format_set_num_format(text, "@");
        QHash<QByteArray, lxw_format *> numberFormats;
        for (const Cell &c : std::as_const(cells)) {
            if (!c.number) {
                worksheet_write_string(sheet, c.row, c.col, c.utf8.constData(), text);
                continue;
            }
            lxw_format *f = nullptr;
            if (!c.formatUtf8.isEmpty()) {
                f = numberFormats.value(c.formatUtf8);
                if (!f) {
                    f = workbook_add_format(book);
                    format_set_num_format(f, c.formatUtf8.constData());
                    numberFormats.insert(c.formatUtf8, f);
                }
            }
            worksheet_write_number(sheet, c.row, c.col, c.value, f);
        }
        workbook_close(book);
    };
    const QString ourCells = tmp.filePath(QStringLiteral("cells.xlsx"));
    const auto writeOurs = [&] {
        WorkbookWriter w(ourCells);
        w.addSheet(QStringLiteral("Sheet1"));
        for (const Cell &c : std::as_const(cells)) {
            if (c.number)
                w.writeNumber(c.row, c.col, c.value, c.format);
            else
                w.writeText(c.row, c.col, c.text);
        }
        w.close();
    };
    const auto [writer, writerBase] = pairedMedians(kRuns, writeOurs, writeRaw);
    Bench::report(qPrintable(QStringLiteral("WorkbookWriter alone, %1 cells from memory").arg(cells.size())), writer,
                  writerBase, 1.5);
    std::printf("file sizes: grid export %lld bytes, libxlsxwriter directly %lld bytes\n", QFileInfo(ours).size(),
                QFileInfo(raw).size());
    return 0;
}
