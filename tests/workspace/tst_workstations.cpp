// Several workstations on one database: numbers, codes, lock waits and edits
// that cross. Each case runs on SQLite and on the PostgreSQL test server.
#include "app/AppState.h"
#include "platform/Config.h"
#include "platform/Messages.h"
#include "SaveAsWindow.h"
#include "support/TestSupport.h"
#include "workspace/ClientEditor.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/ContactEditor.h"
#include "workspace/CustomerQuery.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

using namespace TestSupport;

namespace {
SqlStatement all() { return {QStringLiteral("select * from t_client where (1=1)  order by F_ID"), {}}; }

// A second workstation: its own connection and its own customer list.
struct Station
{
    QString name;
    ClientWorkspace ws;

    Station(const TestDb &t, const QString &connection, int timeoutSeconds = 5) : name(connection)
    {
        DbSettings s = t.settings();
        s.timeoutSeconds = timeoutSeconds;
        QString error;
        if (!Database::open(name, s, &error))
            qWarning("cannot open %s: %s", qPrintable(name), qPrintable(error));
        ws.QryMain->setConnectionName(name);
        ws.QryDetail51->setConnectionName(name);
        for (int n = 1; n <= ClientWorkspace::kTabs; ++n)
            ws.detail(n)->setConnectionName(name);
        ws.RefreshClientList(all(), 2);
    }
    ~Station() { Database::close(name); }
    QSqlDatabase db() const { return Database::connection(name); }
    bool exec(const QString &sql, const QVariantMap &params = {}) const
    {
        QString error;
        const bool ok = Sql::execOn(db(), sql, params, &error);
        if (!ok)
            qWarning("%s: %s", qPrintable(sql), qPrintable(error));
        return ok;
    }
    void go(qint64 key) { ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(key)); }
};

QVariantMap named(const QString &name, const QString &code = {})
{
    QVariantMap f = ClientEditor::emptyFields();
    f["F_name"] = name;
    f["F_code"] = code;
    return f;
}

int numberOf(const TestDb &t, const QString &name)
{
    return t.scalar("select F_cltID from t_client where F_name = :n", {{"n", name}}).toInt();
}

// Answers every question with no, after running `between` once: what another
// workstation does while this one waits for the operator.
struct Interleave
{
    QStringList texts;
    Interleave(std::function<void()> between)
    {
        Messages::setHandler([this, between](const QString &text, int kind) {
            texts.append(text);
            if (kind == MessQuestion && between)
                between();
            return kind == MessQuestion ? 2 : 0;
        });
    }
    ~Interleave() { Messages::setHandler([](const QString &, int) { return 0; }); }
};
} // namespace

class TestWorkstations : public QObject
{
    Q_OBJECT

private slots:
    void init() { replaceAppState(AppState()); }

    // A new customer's grids hold only what is typed for it; its number lies
    // above every number any row carries, and a deleted customer's number is
    // never given again.
    void numbersAndStrayRows_data() { addBackendRows(); }
    void numbersAndStrayRows()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        t.insert("t_client", {{"F_cltID", 4}, {"F_name", QStringLiteral("已有")}});
        // rows that already carry the next number, left by an older client
        t.insert("t_linkman", {{"F_cltID", 5}, {"F_name", QStringLiteral("孤儿联系人")}});
        t.insert("t_GooDrec", {{"F_cltID", 5}, {"F_GDname", QStringLiteral("孤儿产品")}});

        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        ClientEditor a(&ws, 2);
        a.begin(EditMode::New);
        QCOMPARE(ws.detail(2)->recordCount(), 0);
        QCOMPARE(ws.detail(8)->recordCount(), 0);

        {
            // meanwhile another workstation adds a customer with a contact
            Station other(t, "other");
            ClientEditor b(&other.ws, 2, other.name);
            b.begin(EditMode::New);
            other.ws.detail(2)->append();
            other.ws.detail(2)->setValue("F_name", QStringLiteral("乙的联系人"));
            QVariantMap fb = named(QStringLiteral("乙"));
            QCOMPARE(saveAsWindow(b, fb), SaveResult::Saved);
            b.end(true);
        }
        QCOMPARE(numberOf(t, QStringLiteral("乙")), 6);
        QCOMPARE(ws.detail(2)->recordCount(), 0);

        ws.detail(2)->append();
        ws.detail(2)->setValue("F_name", QStringLiteral("甲的联系人"));
        ws.detail(8)->append();
        ws.detail(8)->setValue("F_GDname", QStringLiteral("甲的产品"));
        QVariantMap fa = named(QStringLiteral("甲"));
        QCOMPARE(saveAsWindow(a, fa), SaveResult::Saved);
        a.end(true);
        QCOMPARE(numberOf(t, QStringLiteral("甲")), 7);
        QCOMPARE(a.saveCltID(), 7);
        const auto owner = [&](const char *table, const char *column, const QString &name) {
            return t.scalar(QStringLiteral("select F_cltID from %1 where %2 = :n").arg(table, column), {{"n", name}}).toInt();
        };
        QCOMPARE(owner("t_linkman", "F_name", QStringLiteral("甲的联系人")), 7);
        QCOMPARE(owner("t_GooDrec", "F_GDname", QStringLiteral("甲的产品")), 7);
        QCOMPARE(owner("t_linkman", "F_name", QStringLiteral("乙的联系人")), 6);
        QCOMPARE(owner("t_linkman", "F_name", QStringLiteral("孤儿联系人")), 5);
        QCOMPARE(owner("t_GooDrec", "F_GDname", QStringLiteral("孤儿产品")), 5);

        // the highest customer goes; its sales bill and deal stay behind
        t.insert("t_XSrec", {{"F_cltID", 7}, {"F_code", "XS1"}});
        t.insert("t_CJrec", {{"F_cltID", 7}});
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(t.scalar("select F_ID from t_client where F_cltID = 7").toLongLong()));
        QVERIFY(ws.deleteCustomer(2));
        QCOMPARE(t.count("t_client", "F_cltID = 7"), 0);
        a.begin(EditMode::New);
        QVariantMap fc = named(QStringLiteral("丙"));
        QCOMPARE(saveAsWindow(a, fc), SaveResult::Saved);
        a.end(true);
        QCOMPARE(numberOf(t, QStringLiteral("丙")), 8);
        QCOMPARE(t.count("t_XSrec", "F_cltID = 8"), 0);
    }

    // The code is checked again inside the save: a workstation that took the
    // code while this one was asking about the name wins.
    void codeTakenMeanwhile_data() { addBackendRows(); }
    void codeTakenMeanwhile()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "X"}, {"F_name", QStringLiteral("同名")}});
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        Station other(t, "other");
        int taken = 0;
        const auto take = [&](const QString &code) {
            return [&, code] {
                other.exec("insert into t_client (F_cltID, F_code, F_name) values (:n, :c, :name)",
                           {{"n", 100 + ++taken}, {"c", code}, {"name", QStringLiteral("抢先")}});
            };
        };
        ClientEditor e(&ws, 2);
        {
            Interleave i(take("NEW1"));
            e.begin(EditMode::New);
            QVariantMap f = named(QStringLiteral("同名"), "NEW1");
            QCOMPARE(saveAsWindow(e, f), SaveResult::Invalid);
            QCOMPARE(i.texts, (QStringList{QStringLiteral("客户名称重复，重新输入吗？"), QStringLiteral("客户助记码重复，请重新输入！")}));
            QCOMPARE(lastFocus(), QString("F_code"));
            e.end(false);
        }
        QCOMPARE(t.count("t_client", "F_code = 'NEW1'"), 1);

        // an automatic code taken meanwhile is replaced by the next one
        const QString day = QDate::currentDate().toString("yyyyMMdd");
        {
            Interleave i(take(day + "001"));
            e.begin(EditMode::New);
            QVariantMap f = named(QStringLiteral("同名"), day + "001");
            QCOMPARE((e.setAutoCode(true), saveAsWindow(e, f)), SaveResult::Saved);
            QCOMPARE(f.value("F_code").toString(), day + "002");
            e.end(true);
        }
        QCOMPARE(t.scalar("select count(*) from (select F_code from t_client group by F_code having count(*) > 1) d").toInt(), 0);
    }

    // Two operators edit one customer (or contact): the second save is
    // refused and keeps its edits; after a refresh it goes through.
    void noLostEdits_data() { addBackendRows(); }
    void noLostEdits()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const qint64 key = t.insert("t_client", {{"F_cltID", 1}, {"F_code", "C1"}, {"F_name", QStringLiteral("客户")},
                                                 {"F_RQ1", "2024-05-06"}, {"F_editdate", "2024-01-02"}, {"F_SZ1", 3.25},
                                                 {"F_useFlag", false}, {"F_city", QStringLiteral("南京")}});
        const qint64 contact = t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("联系人")}, {"F_birthday", "1980-02-03"},
                                                      {"F_IFkey", true}});
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(key));

        // nobody else wrote: dates, numbers, flags and NULLs read back as loaded
        ClientEditor a(&ws, 2);
        a.begin(EditMode::Edit);
        QVariantMap mine = a.currentFields();
        QCOMPARE(saveAsWindow(a, mine), SaveResult::Saved);
        a.end(true);

        a.begin(EditMode::Edit);
        mine = a.currentFields();
        mine["F_city"] = QStringLiteral("苏州");
        {
            Station other(t, "other");
            other.go(key);
            ClientEditor b(&other.ws, 2, other.name);
            b.begin(EditMode::Edit);
            QVariantMap theirs = b.currentFields();
            theirs["F_phone"] = "025-1111";
            QCOMPARE(saveAsWindow(b, theirs), SaveResult::Saved);
            b.end(true);
        }
        QCOMPARE(saveAsWindow(a, mine), SaveResult::Conflict);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("该记录已被其他用户修改，请刷新后再修改！")});
        QCOMPARE(mine.value("F_city").toString(), QStringLiteral("苏州"));
        QCOMPARE(t.scalar("select F_city from t_client where F_ID = :k", {{"k", key}}).toString(), QStringLiteral("南京"));
        QCOMPARE(t.scalar("select F_phone from t_client where F_ID = :k", {{"k", key}}).toString(), QString("025-1111"));
        a.end(false);

        // after a refresh the operator's change goes on top of the other one
        QVERIFY(ws.ReopenClientList(2));
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(key));
        a.begin(EditMode::Edit);
        mine = a.currentFields();
        mine["F_city"] = QStringLiteral("苏州");
        QCOMPARE(saveAsWindow(a, mine), SaveResult::Saved);
        a.end(true);
        QCOMPARE(t.scalar("select F_phone from t_client where F_ID = :k", {{"k", key}}).toString(), QString("025-1111"));
        QCOMPARE(t.scalar("select F_city from t_client where F_ID = :k", {{"k", key}}).toString(), QStringLiteral("苏州"));

        // a customer deleted meanwhile is not written back
        a.begin(EditMode::Edit);
        mine = a.currentFields();
        QVERIFY(t.exec("delete from t_client where F_ID = :k", {{"k", key}}));
        QCOMPARE(saveAsWindow(a, mine), SaveResult::Conflict);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("该记录已被其他用户修改，请刷新后再修改！")});
        QCOMPARE(t.count("t_client"), 0);
        a.end(false);

        // the contact window the same way
        t.insert("t_client", {{"F_cltID", 1}, {"F_name", QStringLiteral("客户")}});
        QVERIFY(ws.ReopenClientList(2));
        ws.QryMain->first();
        ws.detail(2)->setCurrentRow(ws.detail(2)->rowOfKey(contact));
        ContactEditor c(&ws, 2);
        c.setEditMode(true);
        QVariantMap f = c.currentFields();
        QCOMPARE(saveAsWindow(c, f), SaveResult::Saved); // unchanged values compare equal
        f = c.currentFields();
        f["F_dept"] = QStringLiteral("销售部");
        QVERIFY(t.exec("update t_linkman set F_handPhone = '13900000000' where F_ID = :k", {{"k", contact}}));
        QCOMPARE(saveAsWindow(c, f), SaveResult::Conflict);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("该记录已被其他用户修改，请刷新后再修改！")});
        QCOMPARE(t.scalar("select F_dept from t_linkman where F_ID = :k", {{"k", contact}}).toString(), QString());
    }

    // A workstation that holds its write lock too long: the save ends after
    // the lock wait with the busy message, and nothing is written.
    void lockWaitEndsBusy_data() { addBackendRows(); }
    void lockWaitEndsBusy()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const qint64 key = t.insert("t_client", {{"F_cltID", 1}, {"F_name", QStringLiteral("客户")}});
        Station holder(t, "holder");
        Station waiting(t, "waiting", 1);
        if (backend == Backend::Psql) {
            QSqlQuery q(waiting.db());
            QVERIFY(q.exec("show lock_timeout") && q.next());
            QCOMPARE(q.value(0).toString(), QString("2s"));
        }
        QVERIFY(holder.db().transaction());
        QVERIFY(holder.exec("update t_client set F_phone = '1' where F_ID = :k", {{"k", key}}));
        if (backend == Backend::Sqlite) {
            // the write lock is taken at the first write; a transaction
            // start that cannot have it says why
            Transaction tr(waiting.db());
            QVERIFY(!tr.isActive());
            QVERIFY2(Sql::isBusyError(tr.error()), qPrintable(tr.error()));
        }

        waiting.go(key);
        ClientEditor e(&waiting.ws, 2, waiting.name);
        e.begin(EditMode::Edit);
        QVariantMap f = e.currentFields();
        f["F_city"] = QStringLiteral("苏州");
        QCOMPARE(saveAsWindow(e, f), SaveResult::Failed);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("数据库正忙，其他用户正在写入，请稍后再试！")});
        e.begin(EditMode::New);
        QVariantMap n = named(QStringLiteral("新客户"));
        QCOMPARE(saveAsWindow(e, n), SaveResult::Failed);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("数据库正忙，其他用户正在写入，请稍后再试！")});
        e.end(false);

        QVERIFY(holder.db().rollback());
        QCOMPARE(t.count("t_client"), 1);
        QCOMPARE(t.scalar("select F_city from t_client where F_ID = :k", {{"k", key}}).toString(), QString());
        // once the lock is gone the same save goes through
        e.begin(EditMode::Edit);
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        e.end(true);
    }

    // A database file another program holds locked at start-up is busy, not
    // a database without tables, and no installation is offered.
    void lockedFileAtStartUp()
    {
        TestDb t(false);
        Database::close(TdmData::connectionName());
        Config::shared().writeInteger("DBconn", "timeout", 1);
        DbSettings s = t.settings();
        QVERIFY(Database::open("holder", s));
        QSqlQuery q(Database::connection("holder"));
        QVERIFY(q.exec("BEGIN EXCLUSIVE"));
        QVERIFY(q.exec("insert into t_code (F_type, F_name) values ('x', 'y')"));
        {
            Script script;
            TdmData dm;
            QVERIFY(!dm.ConnectFromConfig());
            const QList<Script::Message> shown = script.takeMessages();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.first().text, QStringLiteral("数据库正忙，被其他程序锁定，请稍后再启动本系统！"));
            QCOMPARE(shown.first().kind, int(MessWarning));
            QVERIFY(script.programs.isEmpty());
        }
        QVERIFY(q.exec("ROLLBACK"));
        q = QSqlQuery();
        Database::close("holder");
        {
            Script script;
            TdmData dm;
            QVERIFY(dm.ConnectFromConfig());
        }
    }

    // Control characters in typed text are dropped before it is saved or
    // searched; tabs and line breaks stay.
    void controlCharacters_data() { addBackendRows(); }
    void controlCharacters()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        t.insert("t_client", {{"F_cltID", 1}, {"F_name", QStringLiteral("其他公司")}});
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        ClientEditor e(&ws, 2);
        e.begin(EditMode::New);
        QVariantMap f = named(QString(QStringLiteral("科技")) + QChar(0) + QStringLiteral("公司") + QChar(1));
        f["F_mem"] = QStringLiteral("第一行\n\t第二行\u001b");
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        e.end(true);
        QCOMPARE(t.count("t_client", "F_name = :n", {{"n", QStringLiteral("科技公司")}}), 1);
        QCOMPARE(t.scalar("select F_mem from t_client where F_cltID = 2").toString(), QStringLiteral("第一行\n\t第二行"));

        CustomerFilter filter;
        filter.searchField = 0;
        filter.searchText = QStringLiteral("科") + QChar(0) + QStringLiteral("技");
        const SqlStatement st = filter.statement();
        QSqlQuery q(t.db());
        QVERIFY(Sql::exec(q, st.sql, st.params));
        QStringList found;
        while (q.next())
            found.append(q.value("F_name").toString());
        QCOMPARE(found, QStringList{QStringLiteral("科技公司")});
    }

    // Three workstations as three processes adding customers with contacts,
    // products and a few contested codes at once.
    void threeProcessesAddAtOnce_data() { addBackendRows(); }
    void threeProcessesAddAtOnce()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend, false);
        t.insert("t_client", {{"F_cltID", 1}, {"F_name", QStringLiteral("已有")}});
        t.insert("t_linkman", {{"F_cltID", 2}, {"F_name", QStringLiteral("孤儿")}});
        const QString worker = QCoreApplication::applicationDirPath() + "/workstation_worker";
        QVERIFY(QFileInfo::exists(worker));
        const int each = 30;
        QList<QProcess *> procs;
        for (const char *tag : {"A", "B", "C"}) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(worker, {t.configPath(), QString::number(each), QString::fromLatin1(tag)});
            procs.append(p);
        }
        int saved = 0;
        for (QProcess *p : procs) {
            QVERIFY(p->waitForFinished(240000));
            QCOMPARE(p->exitCode(), 0);
            const QStringList words = QString::fromUtf8(p->readAllStandardOutput()).split(' ');
            QCOMPARE(words.value(5).trimmed(), QString("0")); // no failed save
            saved += words.value(1).toInt();
            delete p;
        }
        QCOMPARE(t.count("t_client") - 1, saved);
        // every customer without a code, and one for each of the four codes
        QCOMPARE(saved, 3 * (each - each / 3) + 4);
        // each contact and product belongs to the customer it was typed for
        QCOMPARE(t.scalar("select count(*) from t_linkman l join t_client c on c.F_cltID = l.F_cltID where l.F_name = c.F_name").toInt(),
                 saved);
        QCOMPARE(t.scalar("select count(*) from t_GooDrec g join t_client c on c.F_cltID = g.F_cltID where g.F_GDname = c.F_name").toInt(),
                 saved);
        QCOMPARE(t.count("t_linkman"), saved + 1);
        QCOMPARE(t.count("t_client", "F_cltID = 2"), 0);
        QCOMPARE(t.scalar("select count(distinct F_cltID) from t_client").toInt(), saved + 1);
        QCOMPARE(t.scalar("select count(*) from (select F_code from t_client where F_code <> '' group by F_code having count(*) > 1) d").toInt(), 0);
        QCOMPARE(t.count("t_client", "F_code <> ''"), 4);
    }
};

QTEST_MAIN(TestWorkstations)
#include "tst_workstations.moc"
