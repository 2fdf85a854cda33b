// Opening the customer list: a DataSet against raw SQLite stepping through the
// same statement with the C API, on a database of generated customers.
//
//   bench_customer_list [path/to/database.db]
//
// The database defaults to build/bench/bench.db, which scripts/bench.sh makes
// with "Qelsetup --demo 100000".

#include "BenchUtil.h"
#include "app/TdmData.h"
#include "platform/DataSet.h"
#include "platform/Database.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sqlite3.h>

namespace {
// The baseline keeps its connection (and so its page cache) open, as the
// program does.
double rawStep(const QString &file, const QString &sql, const QByteArray &param)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const double ms = Bench::medianMs(7, [&] {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
        if (!param.isEmpty())
            sqlite3_bind_text(st, 1, param.constData(), -1, SQLITE_TRANSIENT);
        long n = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            ++n;
        sqlite3_finalize(st);
        if (n < 0)
            std::printf("?");
    });
    sqlite3_close(db);
    return ms;
}

double dataSetOpen(const QString &sql, const QVariantMap &params, int *count)
{
    return Bench::medianMs(7, [&] {
        DataSet ds;
        ds.setSql(sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            ds.setParam(it.key(), it.value());
        ds.open();
        *count = ds.recordCount();
        QString sink;
        for (int r = 0; r < qMin(50, ds.recordCount()); ++r)
            for (int c = 0; c < ds.fieldCount(); ++c)
                sink += ds.displayText(r, c).left(1);
        if (sink.isEmpty() && *count > 0)
            std::printf("?");
    });
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString file = argc > 1 ? QString::fromLocal8Bit(argv[1])
                            : QCoreApplication::applicationDirPath() + QStringLiteral("/bench.db");
    if (!QFileInfo::exists(file)) {
        std::fprintf(stderr, "no database %s (make one with: Qelsetup --demo 100000)\n", qPrintable(file));
        return 2;
    }
    const long emptyKb = Bench::residentKb();
    DbSettings s;
    s.database = QFileInfo(file).absoluteFilePath();
    QString error;
    if (!Database::open(TdmData::connectionName(), s, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(file), qPrintable(error));
        return 2;
    }
    Database::setDefaultConnectionName(TdmData::connectionName());

    const QString listSql = QStringLiteral("select * from t_client where (1=1) and COALESCE(F_useFlag,0) = 0  order by F_ID");
    const QString searchSql = QStringLiteral(
        "select * from t_client where (1=1) and COALESCE(f_name,'') like :p ESCAPE '!' and COALESCE(F_useFlag,0) = 0  order by F_ID");
    const QString rawSearch = QString(searchSql).replace(QStringLiteral(":p"), QStringLiteral("?"));

    std::printf("database: %s\n", qPrintable(file));
    int n = 0;
    const double base1 = rawStep(s.database, listSql, {});
    const double ds1 = dataSetOpen(listSql, {}, &n);
    std::printf("customer list rows: %d\n", n);
    Bench::report("customer list: count known, first 50 rows read", ds1, base1, 1.5);

    const double base2 = rawStep(s.database, rawSearch, QStringLiteral("%科技%").toUtf8());
    const double ds2 = dataSetOpen(searchSql, {{QStringLiteral("p"), QStringLiteral("%科技%")}}, &n);
    std::printf("name search rows: %d\n", n);
    Bench::report("name search '%科技%': count known, first 50 rows", ds2, base2, 1.5);

    DataSet held;
    held.setSql(QStringLiteral("select * from t_client where (1=1) order by F_ID"));
    held.open();
    for (int r = 0; r < 50; ++r)
        held.value(r, 0);
    const long openKb = Bench::residentKb();
    std::printf("resident memory: empty %ld KB, with %d customers open %ld KB, difference %.1f MB (target < 60 MB) %s\n",
                emptyKb, held.recordCount(), openKb, (openKb - emptyKb) / 1024.0, (openKb - emptyKb) < 60 * 1024 ? "ok" : "OVER TARGET");
    return 0;
}
