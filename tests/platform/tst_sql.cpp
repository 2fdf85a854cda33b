#include "platform/Database.h"
#include "support/TestSupport.h"

#include <QSqlQuery>
#include <QTest>

using TestSupport::TestDb;

class TestSql : public QObject
{
    Q_OBJECT
private slots:
    void namedMarkersBecomePositional()
    {
        QStringList names;
        const QString sql = Sql::positional(
            "select ':x', \"a:b\" from t where a = :cltID and b = :Name -- :c\n and d::text = :cltid", &names);
        QCOMPARE(names, (QStringList{"cltID", "Name", "cltid"}));
        QCOMPARE(sql, QString("select ':x', \"a:b\" from t where a = ? and b = ? -- :c\n and d::text = ?"));
    }

    void scriptsSplitOutsideLiterals()
    {
        const QStringList s = Sql::splitStatements("create table a(x int);\n-- note; here\ninsert into a values('x;y''z');;\n");
        QCOMPARE(s, (QStringList{"create table a(x int)", "insert into a values('x;y''z')"}));
    }

    void likeEscaping()
    {
        QCOMPARE(SqlDialect::escapeLike("50%_[a]!"), QString("50!%!_![a]!!"));
        QCOMPARE(SqlDialect::quote("it's"), QString("'it''s'"));
    }

    void valuesNeverChangeAStatement_data() { TestSupport::addBackendRows(); }
    void valuesNeverChangeAStatement()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        for (const QString &name : {QStringLiteral("O'Brien 贸易"), QStringLiteral("100% 科技"), QStringLiteral("a_b 公司"),
                                    QStringLiteral("[x] 公司"), QStringLiteral("abc")})
            t.insert("t_client", {{"F_name", name}, {"F_cltID", t.count("t_client") + 1}});
        auto like = [&](const QString &typed) {
            QSqlQuery q(t.db());
            Sql::exec(q, "select count(*) from t_client where COALESCE(F_name,'') like :p" + SqlDialect::likeEscapeClause(),
                      {{"P", "%" + SqlDialect::escapeLike(typed) + "%"}});
            return q.next() ? q.value(0).toInt() : -1;
        };
        QCOMPARE(like("'"), 1);
        QCOMPARE(like("%"), 1);
        QCOMPARE(like("_"), 1);
        QCOMPARE(like("["), 1);
        QCOMPARE(like("' or '1'='1"), 0);
        QCOMPARE(like(""), 5);
        // text compares without regard to case
        QCOMPARE(t.count("t_client", "F_name = :n", {{"n", "ABC"}}), 1);
    }

    void transactionRollsBackWhenNotCommitted_data() { TestSupport::addBackendRows(); }
    void transactionRollsBackWhenNotCommitted()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        {
            Transaction tr(t.db());
            QVERIFY(tr.isActive());
            QVERIFY(t.exec("insert into t_code(F_type,F_name) values('x','1')"));
        }
        QCOMPARE(t.count("t_code", "F_type='x'"), 0);
        {
            Transaction tr(t.db());
            QVERIFY(t.exec("insert into t_code(F_type,F_name) values('x','2')"));
            QVERIFY(tr.commit());
        }
        QCOMPARE(t.count("t_code", "F_type='x'"), 1);
    }

    void insertRowGivesTheNewKey_data() { TestSupport::addBackendRows(); }
    void insertRowGivesTheNewKey()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        const qint64 a = Sql::insertRow(t.db(), "t_code", {{"F_type", "k"}, {"F_name", QStringLiteral("值")}});
        const qint64 b = Sql::insertRow(t.db(), "t_code", {{"F_type", "k"}});
        QVERIFY(a > 0);
        QCOMPARE(b, a + 1);
        QCOMPARE(t.scalar("select F_name from t_code where F_ID = :id", {{"id", a}}).toString(), QStringLiteral("值"));
        QString error;
        QCOMPARE(Sql::insertRow(t.db(), "no_such_table", {{"x", 1}}, "F_ID", &error), qint64(-1));
        QVERIFY(!error.isEmpty());
    }

    void datesBitsAndTextCompareAlike_data() { TestSupport::addBackendRows(); }
    void datesBitsAndTextCompareAlike()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        t.insert("t_client", {{"F_cltID", 1}, {"F_name", "a"}, {"F_useFlag", true}, {"F_editdate", "2026-01-05"}});
        t.insert("t_client", {{"F_cltID", 2}, {"F_name", "b"}, {"F_useFlag", false}, {"F_editdate", "1900-08-14"}});
        t.insert("t_client", {{"F_cltID", 3}, {"F_name", "c"}, {"F_editdate", "2025-12-31 23:59:59"}});
        // dates as 'yyyy-MM-dd' texts, literal or bound
        QCOMPARE(t.count("t_client", "F_editdate >= '2026-01-01'"), 1);
        QCOMPARE(t.count("t_client", "F_editdate >= :d and F_editdate < :e", {{"d", "2025-12-31"}, {"e", QDate(2026, 1, 6)}}), 2);
        // bits: written as yes/no, tested with COALESCE
        QCOMPARE(t.count("t_client", "COALESCE(F_useFlag,0) = 0"), 2);
        QCOMPARE(t.count("t_client", "COALESCE(F_useFlag,0) = :f", {{"f", true}}), 1);
        QCOMPARE(t.scalar("select F_name from t_client where F_useFlag = 1").toString(), QString("a"));
        // text compares without regard to case, max() and LIKE too
        t.insert("t_client", {{"F_cltID", 4}, {"F_code", "XS20260105007"}});
        t.insert("t_client", {{"F_cltID", 5}, {"F_code", "xs20260105009"}});
        QCOMPARE(t.scalar("select max(F_code) from t_client where F_code like :p" + SqlDialect::likeEscapeClause(),
                          {{"p", "XS20260105%"}}).toString(), QString("xs20260105009"));
        QCOMPARE(t.count("t_client", "F_code = 'xs20260105007'"), 1);
        // an empty result and a missing value
        QVERIFY(t.scalar("select max(F_code) from t_client where F_code like 'none%'").isNull());
    }

    void connectionRules()
    {
        QTemporaryDir dir;
        DbSettings s;
        s.baseDir = dir.path();
        QString error;
        // a missing SQLite file is a failed connection, never a new database
        QVERIFY(!Database::open("probe", s, &error));
        QVERIFY(!QFile::exists(s.sqliteFile()));
        QCOMPARE(QFileInfo(s.sqliteFile()).fileName(), QString("Brenmoor.db"));
        s.database = "   ";
        QVERIFY(!Database::open("probe", s, &error));
        // a file that is not one of ours is refused too
        s.database = "other";
        QFile f(s.sqliteFile());
        f.open(QIODevice::WriteOnly);
        f.write("not a database at all");
        f.close();
        QVERIFY(!Database::open("probe", s, &error));
    }

    void serverSettings()
    {
        DbSettings s;
        s.driver = "mssql";
        s.server = "(Local)";
        QCOMPARE(s.host(), QString("localhost"));
        s.server = "db.example:1500";
        QCOMPARE(s.host(), QString("db.example"));
        QCOMPARE(s.port(1433), 1500);
        s.password = "a;b}c";
        s.database = "Brenmoor";
        const QString odbc = s.odbcConnectionString();
        QVERIFY(odbc.contains("PWD={a;b}}c};"));
        QVERIFY(odbc.contains("DATABASE={Brenmoor};"));
        QVERIFY(odbc.contains("UID={sa};"));
    }
};

QTEST_GUILESS_MAIN(TestSql)
#include "tst_sql.moc"
