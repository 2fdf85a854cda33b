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

    void valuesNeverChangeAStatement()
    {
        TestDb t;
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

    void transactionRollsBackWhenNotCommitted()
    {
        TestDb t;
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

    void insertRowGivesTheNewKey()
    {
        TestDb t;
        const qint64 a = Sql::insertRow(t.db(), "t_code", {{"F_type", "k"}, {"F_name", QStringLiteral("值")}});
        const qint64 b = Sql::insertRow(t.db(), "t_code", {{"F_type", "k"}});
        QVERIFY(a > 0);
        QCOMPARE(b, a + 1);
        QCOMPARE(t.scalar("select F_name from t_code where F_ID = :id", {{"id", a}}).toString(), QStringLiteral("值"));
        QString error;
        QCOMPARE(Sql::insertRow(t.db(), "no_such_table", {{"x", 1}}, "F_ID", &error), qint64(-1));
        QVERIFY(!error.isEmpty());
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
