#include "platform/Config.h"
#include "platform/Format.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"
#include "tools/ConnectionSettings.h"
#include "tools/DatabaseCreator.h"
#include "tools/DemoData.h"
#include "tools/SchemaSetup.h"
#include "tools/SetupCommandLine.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <csignal>

#include <sys/resource.h>

using namespace TestSupport;

namespace {
const QStringList kLinkedTables = {"t_linkman", "t_LXrec", "t_BJrec", "t_HTrec", "t_XSrec", "t_HFrec",
                                   "t_TSrec", "t_GooDrec", "t_TXrec", "LdCltRec", "t_CJrec"};

// A database the test makes with the setup tool: an SQLite file in a
// temporary folder, or a database on the PostgreSQL test server that is
// dropped at the end.
struct Target
{
    explicit Target(Backend backend)
    {
        options.settings.baseDir = dir.path();
        options.settings.database = QStringLiteral("Setup");
        options.today = QDate(2026, 3, 15);
        if (backend == Backend::Psql) {
            psqlTestServer(&options.settings);
            options.settings.baseDir = dir.path();
            static int serial = 0;
            options.settings.database = QStringLiteral("kelmor_setup%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
        }
    }
    ~Target()
    {
        Database::close(QStringLiteral("check"));
        if (options.settings.backend() != Backend::Sqlite) {
            QStringList names = leftovers();
            names.append(options.settings.database);
            for (const QString &name : names) {
                DbSettings s = admin();
                s.database = name;
                QString ignored;
                DatabaseCreator::dropServerDatabase(s, &ignored);
            }
        }
    }
    // The test server's own login, whatever login the test runs the tool with.
    DbSettings admin() const
    {
        DbSettings s = options.settings;
        psqlTestServer(&s);
        s.database = options.settings.database;
        return s;
    }
    // What runs of the tool left beside the database: <file>.new and its
    // journals, or server databases named after it.
    QStringList leftovers() const
    {
        if (options.settings.backend() == Backend::Sqlite) {
            const QFileInfo file(options.settings.sqliteFile());
            return file.dir().entryList({file.fileName() + "*"}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                .filter(QRegularExpression("\\.new"));
        }
        QStringList out;
        const QString conn = QStringLiteral("leftovers");
        {
            QString error;
            if (!Database::openRaw(conn, DatabaseCreator::maintenanceSettings(admin()), &error))
                qWarning("cannot open the server: %s", qPrintable(error));
            QSqlQuery q(Database::connection(conn));
            q.exec("select datname from pg_database");
            while (q.next())
                if (q.value(0).toString().startsWith(options.settings.database + "_"))
                    out.append(q.value(0).toString());
        }
        Database::close(conn);
        out.sort();
        return out;
    }
    QByteArray fileBytes() const
    {
        QFile f(options.settings.sqliteFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool create(QString *error = nullptr)
    {
        QString e;
        const bool ok = DatabaseCreator(options).run(&e);
        if (error)
            *error = e;
        else if (!ok)
            qWarning("setup failed: %s", qPrintable(e));
        return ok;
    }
    QSqlDatabase open()
    {
        QString error;
        if (!Database::open(QStringLiteral("check"), options.settings, &error))
            qWarning("cannot open: %s", qPrintable(error));
        return Database::connection(QStringLiteral("check"));
    }
    int count(const QString &sql, const QVariantMap &params = {})
    {
        QSqlQuery q(Database::connection(QStringLiteral("check")));
        if (!Sql::exec(q, sql, params) || !q.next()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return -1;
        }
        return q.value(0).toInt();
    }
    QTemporaryDir dir;
    SetupOptions options;
};

// table -> its columns, all in lower case, as the driver reports them
QMap<QString, QStringList> columnsOf(const QSqlDatabase &db)
{
    QMap<QString, QStringList> out;
    for (const QString &table : db.tables(QSql::Tables)) {
        if (table.startsWith(QLatin1String("sqlite_")))
            continue;
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("select * from %1 where 1=0").arg(table)))
            continue;
        QStringList cols;
        for (int i = 0; i < q.record().count(); ++i)
            cols.append(q.record().fieldName(i).toLower());
        out.insert(table.toLower(), cols);
    }
    return out;
}

// The reference: the SQLite schema script in a database of its own.
QMap<QString, QStringList> referenceColumns()
{
    const QString name = QStringLiteral("reference");
    QMap<QString, QStringList> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        for (const QString &s : Sql::splitStatements(SchemaSetup::schemaScript(Backend::Sqlite)))
            QSqlQuery(db).exec(s);
        out = columnsOf(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

QStringList referenceIndexes()
{
    QStringList out;
    static const QRegularExpression re(QStringLiteral(R"(CREATE (?:UNIQUE )?INDEX (\w+))"));
    auto it = re.globalMatch(SchemaSetup::schemaScript(Backend::Sqlite));
    while (it.hasNext())
        out.append(it.next().captured(1).toLower());
    out.sort();
    return out;
}

QString setupProgram()
{
    const QString exe = QDir(qEnvironmentVariable("KELMOR_BIN_DIR")).filePath("Qelsetup");
    return QFile::exists(exe) ? exe : QString();
}

// The command line that makes the built tool work on the same database.
QStringList toolArguments(const SetupOptions &o)
{
    QStringList args{"--driver", o.settings.driver, "--database", o.settings.database, "--dir", o.settings.baseDir};
    if (o.settings.backend() != Backend::Sqlite)
        args << "--server" << o.settings.server << "--password" << o.settings.password;
    if (o.force)
        args << "--force";
    args << "--demo" << QString::number(o.demoCustomers);
    return args;
}
} // namespace

class TestSetupTool : public QObject
{
    Q_OBJECT
private slots:
    void createsEveryTableColumnAndSeedRow_data() { addBackendRows(); }
    void createsEveryTableColumnAndSeedRow()
    {
        KELMOR_FETCH_BACKEND(backend);
        Target t(backend);
        QVERIFY(t.create());
        QSqlDatabase db = t.open();
        QVERIFY(db.isOpen());

        const auto reference = referenceColumns();
        QCOMPARE(reference.size(), 27);
        const auto actual = columnsOf(db);
        QCOMPARE(actual.keys(), reference.keys());
        for (auto it = reference.cbegin(); it != reference.cend(); ++it)
            QCOMPARE(actual.value(it.key()), it.value());

        // the indexes, the unique customer number among them
        QSqlQuery q(db);
        QVERIFY(q.exec(backend == Backend::Psql
                           ? QStringLiteral("select indexname from pg_indexes where schemaname = current_schema() and indexname like 'ix!_%' escape '!'")
                           : QStringLiteral("select name from sqlite_master where type = 'index' and name like 'ix!_%' escape '!'")));
        QStringList indexes;
        while (q.next())
            indexes.append(q.value(0).toString().toLower());
        indexes.sort();
        QCOMPARE(indexes, referenceIndexes());

        // seed rows
        QCOMPARE(t.count("select count(*) from SysInfo"), 1);
        QCOMPARE(t.count("select count(*) from KeyValue"), 15);
        QCOMPARE(t.count("select count(*) from Limits"), 56);
        QCOMPARE(t.count("select count(distinct F_Code) from Limits where F_Code >= '101' and F_Code <= '906'"), 56);
        QCOMPARE(t.count("select count(*) from Limits where F_Code in ('101','906')"), 2);
        QCOMPARE(t.count("select count(*) from OperList where F_Code = '000' and COALESCE(F_PassWord,'') = ''"), 1);
        QCOMPARE(t.count("select count(*) from OperList"), 1);
        QCOMPARE(t.count("select count(*) from cfg_import where F_tablename = 't_client' and F_iFlag = 1"), 29);
        QCOMPARE(t.count("select count(*) from t_code where F_type = 'unit'"), 9);
        QVERIFY(t.count("select count(distinct F_type) from t_code") >= 18);
        QCOMPARE(t.count("select count(*) from t_treecode where F_flag = 'hangyetype'"), 23);
        QCOMPARE(t.count("select count(*) from t_treecode where F_likecode = :p", {{"p", QStringLiteral("\\\\制造业\\电子设备")}}), 1);
        QCOMPARE(t.count("select count(*) from t_client"), 0);
        QCOMPARE(t.count("select count(*) from KeyValue where F_Value = :v", {{"v", QStringLiteral("客户级别")}}), 1);
    }

    void serverTypesAndLimits()
    {
        if (!backendUnavailable(Backend::Psql).isEmpty())
            QSKIP("no PostgreSQL test server");
        Target t(Backend::Psql);
        QVERIFY(t.create());
        QSqlDatabase db = t.open();
        // smallint is used for the yes/no columns and nothing else
        QSqlQuery q(db);
        QVERIFY(q.exec("select table_name, column_name from information_schema.columns "
                       "where table_schema = current_schema() and data_type = 'smallint' order by 1, 2"));
        QStringList smallints;
        while (q.next())
            smallints.append(q.value(0).toString() + "." + q.value(1).toString());
        QStringList bits;
        static const QRegularExpression table(QStringLiteral(R"(CREATE TABLE (\w+))")), bit(QStringLiteral(R"(^\s+(\w+) BOOLEAN)"));
        QString current;
        for (const QString &line : SchemaSetup::schemaScript(Backend::Sqlite).split('\n')) {
            if (const auto m = table.match(line); m.hasMatch())
                current = m.captured(1).toLower();
            if (const auto m = bit.match(line); m.hasMatch())
                bits.append(current + "." + m.captured(1).toLower());
        }
        bits.sort();
        smallints.sort();
        QCOMPARE(smallints, bits);

        // over-long text is refused, not cut
        QString error;
        QVERIFY(Sql::execOn(db, "insert into t_client(F_cltID, F_name) values(1, :n)", {{"n", QString(100, QChar(u'客'))}}, &error));
        QVERIFY(!Sql::execOn(db, "insert into t_client(F_cltID, F_name) values(2, :n)", {{"n", QString(101, QChar(u'客'))}}, &error));
        QVERIFY(!Sql::execOn(db, "insert into OperList(F_Code) values(:c)", {{"c", QString(51, 'x')}}, &error));
        QCOMPARE(t.count("select count(*) from t_client"), 1);
        // text compares without regard to case, everywhere
        QVERIFY(Sql::execOn(db, "insert into t_goods(F_code, F_name) values('A01', 'Pen')"));
        QCOMPARE(t.count("select count(*) from t_goods where F_name = 'PEN' and F_code like 'a%'"), 1);
        QCOMPARE(t.count("select count(*) from t_goods where F_name in ('pEn')"), 1);
        // the unique customer number leaves 0 (not yet numbered) free
        QVERIFY(!Sql::execOn(db, "insert into t_client(F_cltID) values(1)"));
        QVERIFY(Sql::execOn(db, "insert into t_client(F_cltID) values(0)"));
        QVERIFY(Sql::execOn(db, "insert into t_client(F_cltID) values(0)"));
    }

    void demoDataIsConsistent_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("customers");
        QTest::newRow("sqlite") << "sqlite" << 400;
        QTest::newRow("psql") << "psql" << 150;
    }
    void demoDataIsConsistent()
    {
        KELMOR_FETCH_BACKEND(backend);
        QFETCH(int, customers);
        Target t(backend);
        t.options.demoCustomers = customers;
        QVERIFY(t.create());
        QVERIFY(t.open().isOpen());
        const int n = customers;
        const QDate today = t.options.today;

        // customers numbered 1..N with unique dated codes
        QCOMPARE(t.count("select count(*) from t_client"), n);
        QCOMPARE(t.count("select min(F_cltID) from t_client"), 1);
        QCOMPARE(t.count("select max(F_cltID) from t_client"), n);
        QCOMPARE(t.count("select count(distinct F_cltID) from t_client"), n);
        QCOMPARE(t.count("select count(distinct F_code) from t_client"), n);
        QSqlQuery q(Database::connection("check"));
        QVERIFY(q.exec("select F_code, F_editdate, F_name, F_province, F_city, F_address from t_client"));
        while (q.next()) {
            const QString code = q.value(0).toString();
            QVERIFY2(QRegularExpression("^\\d{11}$").match(code).hasMatch(), qPrintable(code));
            const QDate d = QDate::fromString(code.left(8), "yyyyMMdd");
            QVERIFY(d.isValid() && d <= today && d > today.addYears(-2));
            QCOMPARE(Format::plainText(q.value(1)).left(10), d.toString("yyyy-MM-dd"));
            QVERIFY(!q.value(2).toString().isEmpty());
            // the address lies in the customer's province and city
            QVERIFY2(q.value(5).toString().contains(q.value(4).toString()), qPrintable(q.value(5).toString()));
            QVERIFY(q.value(5).toString().startsWith(q.value(3).toString()));
        }
        // reference values come from the code lists, the tree and the employees
        QCOMPARE(t.count("select count(*) from t_client where F_province not in (select F_name from t_code where F_type = 'province')"), 0);
        QCOMPARE(t.count("select count(*) from t_client where F_type not in (select F_name from t_code where F_type = 'clttype')"), 0);
        QCOMPARE(t.count("select count(*) from t_client where F_hangye not in (select F_likecode from t_treecode where F_flag = 'hangyetype')"), 0);
        QCOMPARE(t.count("select count(*) from t_client where F_empName not in (select F_name from t_employee where COALESCE(F_flag,0) = 0)"), 0);
        QVERIFY(t.count("select count(distinct F_empName) from t_client") > 3);
        QVERIFY(t.count("select count(distinct F_hangye) from t_client") > 5);
        const int stopped = t.count("select count(*) from t_client where COALESCE(F_useFlag,0) = 1");
        QVERIFY(stopped > 0 && stopped < n / 4);
        // empty optional dates are the sentinel, never NULL
        QCOMPARE(t.count("select count(*) from t_client where F_RQ2 is null or F_RQ3 is null"), 0);
        QVERIFY(t.count("select count(*) from t_client where F_RQ2 = '1900-08-14'") > 0);
        QVERIFY(t.count("select count(*) from t_linkman where F_birthday = '1900-08-14'") > 0);

        // every linked row names a customer
        for (const QString &table : kLinkedTables) {
            QVERIFY2(t.count(QString("select count(*) from %1").arg(table)) > 0, qPrintable(table));
            QCOMPARE(t.count(QString("select count(*) from %1 where F_cltID not in (select F_cltID from t_client)").arg(table)), 0);
        }
        // one main contact per customer, copied into the customer
        QCOMPARE(t.count("select count(*) from t_client c where (select count(*) from t_linkman l where l.F_cltID = c.F_cltID and l.F_IFkey = 1) <> 1"), 0);
        QCOMPARE(t.count("select count(*) from t_client c, t_linkman l where l.F_cltID = c.F_cltID and l.F_IFkey = 1 "
                         "and (c.F_LXRname <> l.F_name or c.F_LXRphone <> l.F_officePhone or c.F_LXRdept <> l.F_dept)"), 0);

        // sales bills: numbered per day, lines that add up
        QCOMPARE(t.count("select count(*) from t_XSdetail d where not exists (select 1 from t_XSrec x where x.F_code = d.F_code)"), 0);
        QCOMPARE(t.count("select count(*) from t_XSrec x where not exists (select 1 from t_XSdetail d where d.F_code = x.F_code)"), 0);
        QCOMPARE(t.count("select count(*) from t_XSrec"), t.count("select count(distinct F_code) from t_XSrec"));
        QCOMPARE(t.count("select count(*) from t_XSrec x where abs(x.F_totalPrice - (select sum(d.F_totalPrice) from t_XSdetail d where d.F_code = x.F_code)) > 0.0001"), 0);
        QVERIFY(q.exec("select F_code, F_date from t_XSrec"));
        while (q.next()) {
            const QString code = q.value(0).toString();
            QCOMPARE(code.left(10), "XS" + QDate::fromString(Format::plainText(q.value(1)).left(10), "yyyy-MM-dd").toString("yyyyMMdd"));
            QVERIFY(QRegularExpression("^XS\\d{11}$").match(code).hasMatch());
        }
        QVERIFY(q.exec("select F_price, F_amount, F_rate, F_totalPrice, F_GDcode from t_XSdetail"));
        while (q.next()) {
            const double expected = std::nearbyint(q.value(0).toDouble() * q.value(1).toDouble() * q.value(2).toDouble() * 10000) / 10000;
            QVERIFY(std::abs(q.value(3).toDouble() - expected) < 1e-6);
        }
        QCOMPARE(t.count("select count(*) from t_XSdetail where F_GDcode not in (select F_code from t_goods)"), 0);
        QCOMPARE(t.count("select count(*) from t_CJrec"), t.count("select count(*) from t_XSrec"));

        // goods and employees numbered 000001.. and 001..
        const int goods = t.count("select count(*) from t_goods");
        QVERIFY(goods > 50);
        QCOMPARE(t.count("select count(distinct F_code) from t_goods"), goods);
        QCOMPARE(t.count("select count(*) from t_goods where F_code in ('000001', :last)", {{"last", QString("%1").arg(goods, 6, 10, QChar('0'))}}), 2);
        QCOMPARE(t.count("select count(*) from t_goods where F_type not in (select F_name from t_code where F_type = 'gdtype')"), 0);
        QCOMPARE(t.count("select count(*) from t_goods where F_unit not in (select F_name from t_code where F_type = 'unit')"), 0);
        const int employees = t.count("select count(*) from t_employee");
        QCOMPARE(t.count("select count(*) from t_employee where F_code in ('001', :last)", {{"last", QString("%1").arg(employees, 3, 10, QChar('0'))}}), 2);
        // reminders around the day, activities within the two years
        QCOMPARE(t.count("select count(*) from t_LXrec where F_date > :d or F_date < :f", {{"d", today}, {"f", today.addYears(-2)}}), 0);
        QVERIFY(t.count("select count(*) from t_TXrec where F_AwokeDate >= :d", {{"d", today}}) > 0);
    }

    void demoDataIsDeterministic()
    {
        auto fingerprint = [](quint32 seed) {
            Target t(Backend::Sqlite);
            t.options.demoCustomers = 60;
            t.options.seed = seed;
            if (!t.create())
                return QString();
            t.open();
            QString all;
            QSqlQuery q(Database::connection("check"));
            q.exec("select F_code, F_name, F_empName, F_LXRname from t_client order by F_cltID");
            while (q.next())
                all += q.value(0).toString() + q.value(1).toString() + q.value(2).toString() + q.value(3).toString();
            q.exec("select F_code, F_totalPrice from t_XSrec order by F_ID");
            while (q.next())
                all += q.value(0).toString() + q.value(1).toString();
            return all;
        };
        const QString a = fingerprint(7);
        QVERIFY(!a.isEmpty());
        QCOMPARE(fingerprint(7), a);
        QVERIFY(fingerprint(8) != a);
    }

    void existingDatabaseIsRefusedWithoutForce_data() { addBackendRows(); }
    void existingDatabaseIsRefusedWithoutForce()
    {
        KELMOR_FETCH_BACKEND(backend);
        Target t(backend);
        QVERIFY(t.create());
        QVERIFY(t.open().isOpen());
        QVERIFY(Sql::execOn(Database::connection("check"), "insert into t_code(F_type, F_name) values('marker', 'x')"));
        Database::close("check");

        QString error;
        QVERIFY(!t.create(&error));
        QVERIFY2(error.contains(QStringLiteral("已经存在")), qPrintable(error));
        bool holdsTables = false;
        QVERIFY(DatabaseCreator(t.options).targetExists(&holdsTables, &error));
        QVERIFY(holdsTables);
        t.open();
        QCOMPARE(t.count("select count(*) from t_code where F_type = 'marker'"), 1);
        Database::close("check");

        t.options.force = true;
        QVERIFY(t.create(&error));
        t.open();
        QCOMPARE(t.count("select count(*) from t_code where F_type = 'marker'"), 0);
        QCOMPARE(t.count("select count(*) from Limits"), 56);
    }

    void failedCreationLeavesNothingBehind()
    {
        Target t(Backend::Sqlite);
        QVERIFY(t.create());
        const QString file = t.options.settings.sqliteFile();
        const QByteArray before = [&] { QFile f(file); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        // a database name the server refuses goes no further
        SetupOptions bad = t.options;
        bad.settings.driver = "psql";
        bad.settings.database = "x\"; drop database postgres; --";
        QString error;
        QVERIFY(!DatabaseCreator(bad).run(&error));
        QVERIFY(error.contains(QStringLiteral("数据库名称")));
        // a forced SQLite run that fails keeps the old file
        SetupOptions forced = t.options;
        forced.force = true;
        forced.demoCustomers = -1;
        QVERIFY(!DatabaseCreator(forced).run(&error));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(!QFile::exists(file + ".new"));
    }

    void forcedRunReplacesTheDatabase_data() { addBackendRows(); }
    void forcedRunReplacesTheDatabase()
    {
        KELMOR_FETCH_BACKEND(backend);
        Target t(backend);
        t.options.demoCustomers = 30;
        QVERIFY(t.create());
        QVERIFY(t.open().isOpen());
        QVERIFY(Sql::execOn(Database::connection("check"), "insert into t_code(F_type, F_name) values('marker', 'x')"));

        // what a killed run leaves, and a database of the administrator's that only looks like it
        const QString name = t.options.settings.database;
        QString error;
        if (backend == Backend::Sqlite) {
            for (const char *suffix : {".new", ".new-journal"}) {
                QFile f(t.options.settings.sqliteFile() + suffix);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("left by a killed run");
            }
        } else {
            for (const QString &other : {name + "_new_20250101093000123", name + "_new_backup"}) {
                DbSettings s = t.admin();
                s.database = other;
                QVERIFY2(DatabaseCreator::createServerDatabase(s, &error), qPrintable(error));
            }
        }
        // the "check" session stays open: the swap sends it away

        t.options.demoCustomers = 0;
        t.options.force = true;
        QVERIFY(t.create(&error));
        QVERIFY(t.open().isOpen());
        QCOMPARE(t.count("select count(*) from t_code where F_type = 'marker'"), 0);
        QCOMPARE(t.count("select count(*) from t_client"), 0);
        QCOMPARE(t.count("select count(*) from Limits"), 56);
        QCOMPARE(t.leftovers(), backend == Backend::Sqlite ? QStringList() : QStringList{name + "_new_backup"});
    }

    // A forced run that fails after the old database exists, in ways that
    // happen: the disk fills up, the connection to the server drops, another
    // login keeps the database open.
    void failedForcedRunKeepsTheOldDatabase_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("sqlite, disk full") << "sqlite" << "disk full" << QStringLiteral("演示数据生成失败");
        QTest::newRow("sqlite, folder in the way") << "sqlite" << "folder" << QStringLiteral("无法删除上次留下的临时文件");
        QTest::newRow("psql, connection lost") << "psql" << "connection lost" << QStringLiteral("演示数据生成失败");
        QTest::newRow("psql, database in use") << "psql" << "in use" << QStringLiteral("正在被其他连接使用");
    }
    void failedForcedRunKeepsTheOldDatabase()
    {
        KELMOR_FETCH_BACKEND(backend);
        QFETCH(QString, failure);
        QFETCH(QString, message);
        const QString role = QStringLiteral("kelmor_setup_owner%1").arg(QCoreApplication::applicationPid());
        const QString rolePassword = QStringLiteral("owner's password");
        // the test's own session on the server's maintenance database
        DbSettings server;
        if (backend == Backend::Psql) {
            QVERIFY(psqlTestServer(&server));
            server.database = "postgres";
            QString error;
            QVERIFY2(Database::openRaw("server", server, &error), qPrintable(error));
        }
        const auto closeServer = qScopeGuard([&] {
            if (failure == "in use")
                Sql::execOn(Database::connection("server"), QString("drop role if exists %1").arg(role));
            Database::close("server");
        });
        if (failure == "in use") {
            // a login that owns its database but may not end an administrator's session
            QString error;
            QVERIFY2(Sql::execOn(Database::connection("server"),
                                 QString("create role %1 login createdb password %2").arg(role, SqlDialect::quote(rolePassword)), {}, &error),
                     qPrintable(error));
        }
        {
            Target t(backend);
            if (failure == "in use") {
                t.options.settings.login = role;
                t.options.settings.password = rolePassword;
            }
            t.options.demoCustomers = 30;
            QVERIFY(t.create());
            QVERIFY(t.open().isOpen());
            QVERIFY(Sql::execOn(Database::connection("check"), "insert into t_code(F_type, F_name) values('marker', 'x')"));
            Database::close("check");
            const QByteArray before = backend == Backend::Sqlite ? t.fileBytes() : QByteArray();
            const QString temp = t.options.settings.sqliteFile() + ".new";
            const QString name = t.options.settings.database;

            SetupOptions forced = t.options;
            forced.force = true;
            forced.demoCustomers = 600;
            QString error;
            if (failure == "disk full") {
                // the built tool, allowed files of 1 MB only
                const QString exe = setupProgram();
                if (exe.isEmpty())
                    QSKIP("Qelsetup not built");
                QProcess p;
                p.setChildProcessModifier([] {
                    ::signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit{1 << 20, 1 << 20};
                    ::setrlimit(RLIMIT_FSIZE, &limit);
                });
                forced.demoCustomers = 3000;
                p.start(exe, toolArguments(forced));
                QVERIFY(p.waitForFinished(120000));
                QCOMPARE(p.exitCode(), 1);
                error = QString::fromUtf8(p.readAllStandardError());
            } else if (failure == "folder") {
                QVERIFY(QDir().mkdir(temp));
                QVERIFY(!DatabaseCreator(forced).run(&error));
            } else if (failure == "connection lost") {
                // the server ends the session that fills the new database
                QStringList ended;
                DatabaseCreator creator(forced);
                creator.setProgress([&](const QString &text, int) {
                    if (!ended.isEmpty() || !text.startsWith(QStringLiteral("正在生成演示数据：")))
                        return;
                    QSqlQuery q(Database::connection("server"));
                    Sql::exec(q, "select datname, pg_terminate_backend(pid) from pg_stat_activity where starts_with(datname, :p)",
                              {{"p", name + "_new_"}});
                    while (q.next())
                        ended.append(q.value(0).toString());
                });
                QVERIFY(!creator.run(&error));
                QCOMPARE(ended.size(), 1);
            } else if (failure == "in use") {
                // an administrator's session on the old database, which the tool's login cannot end
                QVERIFY(Database::openRaw("holder", t.admin(), &error));
                QVERIFY(!DatabaseCreator(forced).run(&error));
                QVERIFY(Sql::execOn(Database::connection("holder"), "select 1"));
                Database::close("holder");
            }
            QVERIFY2(error.contains(message), qPrintable(error));

            // the old database as it was, and nothing of the failed run beside it
            if (backend == Backend::Sqlite)
                QCOMPARE(t.fileBytes(), before);
            QVERIFY(t.open().isOpen());
            QCOMPARE(t.count("select count(*) from t_client"), 30);
            QCOMPARE(t.count("select count(*) from t_code where F_type = 'marker'"), 1);
            Database::close("check");
            if (failure == "folder") {
                QVERIFY(QFileInfo(temp).isDir());
                QVERIFY(QDir().rmdir(temp));
            }
            QCOMPARE(t.leftovers(), QStringList());
        }
    }

    // The built tool killed while it writes the demo data into the new database.
    void killedForcedRunKeepsTheOldDatabase_data() { addBackendRows(); }
    void killedForcedRunKeepsTheOldDatabase()
    {
        KELMOR_FETCH_BACKEND(backend);
        const QString exe = setupProgram();
        if (exe.isEmpty())
            QSKIP("Qelsetup not built");
        Target t(backend);
        t.options.demoCustomers = 40;
        QVERIFY(t.create());
        const QByteArray before = backend == Backend::Sqlite ? t.fileBytes() : QByteArray();

        SetupOptions forced = t.options;
        forced.force = true;
        forced.demoCustomers = 1000000;
        QProcess p;
        p.start(exe, toolArguments(forced));
        // killed once the new database has its tables and the customers are being written
        QString out;
        while (!out.contains(QStringLiteral("正在生成演示数据")) && p.waitForReadyRead(60000))
            out += QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("正在生成演示数据")), qPrintable(out + p.readAllStandardError()));
        p.kill();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        // the half-made new database is there, under its temporary name only
        QCOMPARE(t.leftovers().size(), 1);

        if (backend == Backend::Sqlite)
            QCOMPARE(t.fileBytes(), before);
        QVERIFY(t.open().isOpen());
        QCOMPARE(t.count("select count(*) from t_client"), 40);
        Database::close("check");

        // the next run clears it away
        t.options.force = true;
        t.options.demoCustomers = 5;
        QVERIFY(t.create());
        QCOMPARE(t.leftovers(), QStringList());
        QVERIFY(t.open().isOpen());
        QCOMPARE(t.count("select count(*) from t_client"), 5);
    }

    void existingEmptyServerDatabaseIsUsed()
    {
        if (!backendUnavailable(Backend::Psql).isEmpty())
            QSKIP("no PostgreSQL test server");
        Target t(Backend::Psql);
        QString error;
        QVERIFY2(DatabaseCreator::createServerDatabase(t.options.settings, &error), qPrintable(error));
        bool holdsTables = true;
        QVERIFY(DatabaseCreator(t.options).targetExists(&holdsTables, &error));
        QVERIFY(!holdsTables);
        QVERIFY(t.create(&error));
        t.open();
        QCOMPARE(t.count("select count(*) from SysInfo"), 1);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected"); // driver|server|database|password|dir|demo|seed|force|config
        QTest::newRow("defaults") << QStringList{} << true << "sqlite|(Local)|Brenmoor||/base|0|20260101|0|0";
        QTest::newRow("run.sh") << QStringList{"--driver", "sqlite", "--database", "Brenmoor", "--dir", "/x/bin", "--demo", "5000"}
                                << true << "sqlite|(Local)|Brenmoor||/x/bin|5000|20260101|0|0";
        QTest::newRow("server") << QStringList{"--driver=psql", "--server", "db1:5433", "--database", "crm", "--password", "p w",
                                               "--force", "--write-config", "--seed", "9"}
                                << true << "psql|db1:5433|crm|p w|/base|0|9|1|1";
        QTest::newRow("bad driver") << QStringList{"--driver", "oracle"} << false << QStringLiteral("未知的数据库类型");
        QTest::newRow("bad count") << QStringList{"--demo", "-5"} << false << QStringLiteral("取值不正确");
        QTest::newRow("not a number") << QStringList{"--demo", "many"} << false << QStringLiteral("取值不正确");
        QTest::newRow("missing value") << QStringList{"--database"} << false << QStringLiteral("缺少取值");
        QTest::newRow("unknown") << QStringList{"--fast"} << false << QStringLiteral("未知的选项");
        QTest::newRow("empty name") << QStringList{"--database", " "} << false << QStringLiteral("数据库名称");
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        SetupOptions o;
        bool help = false;
        QString error;
        QCOMPARE(SetupCommandLine::parse(args, "/base", &o, &help, &error), ok);
        if (!ok) {
            QVERIFY2(error.contains(expected), qPrintable(error));
            return;
        }
        const QString got = QStringList{o.settings.driver, o.settings.server, o.settings.database, o.settings.password,
                                        o.settings.baseDir, QString::number(o.demoCustomers), QString::number(o.seed),
                                        QString::number(o.force), QString::number(o.writeConfig)}
                                .join('|');
        QCOMPARE(got, expected);
        QVERIFY(!help);
    }

    void commandLineRunWritesTheConfig()
    {
        QTemporaryDir dir;
        SetupOptions o;
        bool help;
        QString error;
        QVERIFY(SetupCommandLine::parse({"--dir", dir.path(), "--database", "Crm", "--demo", "20", "--write-config"}, "/none", &o, &help, &error));
        QString out, err;
        QTextStream os(&out), es(&err);
        QCOMPARE(SetupCommandLine::run(o, os, es), 0);
        QVERIFY2(out.contains(QStringLiteral("完成")), qPrintable(out));
        QVERIFY(QFile::exists(dir.filePath("Crm.db")));
        // the program finds the database through the Config.ini written beside it
        const DbSettings s = ConnectionSettings::load(dir.filePath("Config.ini"));
        QCOMPARE(s.driver, QString("sqlite"));
        QCOMPARE(s.database, QString("Crm"));
        QVERIFY(ConnectionSettings::test(s, &error));
        // a second run refuses
        out.clear();
        QCOMPARE(SetupCommandLine::run(o, os, es), 1);
        QVERIFY(err.contains(QStringLiteral("已经存在")));
    }

    void serverPasswordIsStoredCoded()
    {
        QTemporaryDir dir;
        DbSettings s;
        s.driver = "mssql";
        s.server = "db.example:1500";
        s.database = "Brenmoor";
        s.password = "p;w}d 密";
        const QString cfg = dir.filePath("Config.ini");
        QVERIFY(DatabaseCreator::writeConfig(cfg, s));
        Config c(cfg);
        QCOMPARE(c.readString("DBconn", "password"), SavePass(s.password));
        QVERIFY(c.readString("DBconn", "password") != s.password);
        // the SQL Server connection string as the program builds it from [DBconn]
        const DbSettings back = ConnectionSettings::load(cfg);
        QCOMPARE(back.password, s.password);
        QCOMPARE(back.backend(), Backend::Mssql);
        const QString odbc = back.odbcConnectionString();
        QVERIFY2(odbc.contains("SERVER={db.example};PORT=1500;DATABASE={Brenmoor};UID={sa};PWD={p;w}}d 密};"), qPrintable(odbc));
        QVERIFY(odbc.startsWith("DRIVER="));
        QVERIFY(odbc.contains("ClientCharset=UTF-8"));
    }

    void sqlServerScriptUsesItsTypes()
    {
        const QStringList statements = Sql::splitStatements(SchemaSetup::schemaScript(Backend::Mssql));
        QVERIFY(statements.size() > 27);
        static const QRegularExpression createTable(QStringLiteral(R"(^CREATE TABLE (\w+) \((.*)\)$)"),
                                                    QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression column(QStringLiteral(
            R"(^(\w+) (int IDENTITY\(1,1\) PRIMARY KEY|int|nvarchar\(\d+\)|nvarchar\(max\)|varchar\(\d+\)|float|money|datetime|bit|varbinary\(max\))( DEFAULT \d+)?$)"));
        const auto reference = referenceColumns();
        QMap<QString, QStringList> actual;
        for (const QString &s : statements) {
            if (s.startsWith("CREATE INDEX") || s.startsWith("CREATE UNIQUE INDEX")) {
                QVERIFY(!s.contains("max"));
                continue;
            }
            const auto m = createTable.match(s);
            QVERIFY2(m.hasMatch(), qPrintable(s));
            const QString table = m.captured(1);
            QStringList cols;
            for (const QString &part : m.captured(2).split(QRegularExpression(",\\s*\\n"))) {
                const auto c = column.match(part.trimmed());
                QVERIFY2(c.hasMatch(), qPrintable(table + ": " + part.trimmed()));
                // single-byte text only for the goods
                QVERIFY2(!c.captured(2).startsWith("varchar") || table == "t_goods", qPrintable(part));
                cols.append(c.captured(1).toLower());
            }
            actual.insert(table.toLower(), cols);
        }
        QCOMPARE(actual, reference);
        QVERIFY(SchemaSetup::schemaScript(Backend::Mssql).contains("CREATE UNIQUE INDEX ix_client_cltid ON t_client(F_cltID) WHERE F_cltID > 0"));
        // seed literals reach nvarchar columns as Unicode
        const QStringList all = SchemaSetup::statements(Backend::Mssql);
        QVERIFY(all.contains(QStringLiteral("INSERT INTO t_code(F_type,F_name) VALUES (N'unit',N'千克')")));
    }

    void unreachableServerFailsFast_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<bool>("silent");
        QTest::newRow("mssql, nothing listens") << "mssql" << false;
        QTest::newRow("psql, nothing listens") << "psql" << false;
        QTest::newRow("mssql, never answers") << "mssql" << true;
        QTest::newRow("psql, never answers") << "psql" << true;
    }
    void unreachableServerFailsFast()
    {
        QFETCH(QString, driver);
        QFETCH(bool, silent);
        // a server that takes the connection and then says nothing
        QTcpServer mute;
        if (silent)
            QVERIFY(mute.listen(QHostAddress::LocalHost));
        DbSettings s;
        s.driver = driver;
        s.server = silent ? QString("127.0.0.1:%1").arg(mute.serverPort()) : QString("127.0.0.1:1"); // nothing listens on 1
        s.database = "Brenmoor";
        QElapsedTimer timer;
        timer.start();
        QString error;
        QVERIFY(!ConnectionSettings::test(s, &error, 2));
        QVERIFY(!error.isEmpty());
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
        if (silent)
            return;
        SetupOptions o;
        o.settings = s;
        QVERIFY(!DatabaseCreator(o).run(&error));
        QVERIFY2(error.contains(QStringLiteral("无法连接服务器")), qPrintable(error));
    }

    void theProgramRunsFromTheCommandLine()
    {
        // as scripts/run.sh calls it on the first run
        const QString exe = setupProgram();
        if (exe.isEmpty())
            QSKIP("Qelsetup not built");
        QTemporaryDir dir;
        QProcess p;
        p.start(exe, {"--driver", "sqlite", "--database", "Brenmoor", "--dir", dir.path(), "--demo", "30"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("完成")));
        DbSettings s;
        s.baseDir = dir.path();
        QString error;
        QVERIFY2(ConnectionSettings::test(s, &error), qPrintable(error));
        p.start(exe, {"--demo", "x"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("用法")));
    }
};

QTEST_GUILESS_MAIN(TestSetupTool)
#include "tst_setuptool.moc"
