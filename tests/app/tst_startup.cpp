#include "app/AppConst.h"
#include "app/AppState.h"
#include "platform/Messages.h"
#include "app/Startup.h"
#include "app/TdmData.h"
#include "platform/Config.h"
#include "platform/Database.h"
#include "support/TestSupport.h"
#include "tools/SchemaSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TestStartup : public QObject
{
    Q_OBJECT

    static void makeDatabase(const QString &dir, const QString &name = "Brenmoor")
    {
        DbSettings s;
        s.baseDir = dir;
        s.database = name;
        QVERIFY(Database::openRaw("setup", s));
        QVERIFY(SchemaSetup::createSchema(Database::connection("setup")));
        Database::close("setup");
    }
    static void writeConfig(const QString &dir, const QByteArray &text)
    {
        QFile f(dir + "/Config.ini");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static StartupParts parts(const QString &dir)
    {
        StartupParts p;
        p.programDir = dir;
        p.createMainWindow = [] {
            auto *w = new QWidget;
            w->setObjectName("FrmMain");
            return w;
        };
        return p;
    }

private slots:
    void withoutConfigConnectsToTheDefaultDatabase()
    {
        QTemporaryDir dir;
        makeDatabase(dir.path());
        Script s;
        const StartupResult r = StartProgram(parts(dir.path()));
        QVERIFY(r.mainWindow);
        QVERIFY(r.mainWindow->isVisible());
        QVERIFY(dmData && dmData->IsConnected);
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Kelmor客户管理软件(网络版)"));
        QCOMPARE(r.splashHistory, (QStringList{QStringLiteral("系统正在启动，请稍候 ....."), QStringLiteral("正在连接数据库 ....."),
                                               QStringLiteral("连接成功，正在登录 ..."), QStringLiteral("连接成功，正在登录 ....."),
                                               QStringLiteral("连接成功，正在登录 ..."), QStringLiteral("连接成功，正在登录 .....")}));
        QCOMPARE(dmData->QueryInt("select count(*) from OperList"), 1);
        QVERIFY(!QFile::exists(dir.path() + "/Config.ini")); // nothing was written
        delete r.mainWindow;
    }

    void blankDatabaseAsksWithoutConnecting()
    {
        QTemporaryDir dir;
        writeConfig(dir.path(), "[DBconn]\nDatabase=   \n");
        Script s;
        s.answer(1);
        const StartupResult r = StartProgram(parts(dir.path()));
        QVERIFY(!r.mainWindow);
        QVERIFY(!dmData->IsConnected);
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("数据连接失败，是否要安装配置数据库？"));
        QCOMPARE(m.first().kind, 1);
        QVERIFY(!r.splashHistory.contains(QStringLiteral("正在连接数据库 .....")));
        QCOMPARE(s.programs.size(), 1);
        QCOMPARE(s.programs.first().first, QString("Qelsetup"));
    }

    void missingDatabaseFileAsksAndNoStartsNothing()
    {
        QTemporaryDir dir;
        writeConfig(dir.path(), "[DBconn]\nDatabase=Nowhere\n");
        Script s;
        s.answer(2);
        QVERIFY(!StartProgram(parts(dir.path())).mainWindow);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("数据连接失败，是否要安装配置数据库？")});
        QVERIFY(s.programs.isEmpty());
        QVERIFY(!QFile::exists(dir.path() + "/Nowhere.db"));
    }

    void brokenConfigWarns()
    {
        QTemporaryDir dir;
        makeDatabase(dir.path());
        writeConfig(dir.path(), QByteArray("[DBconn]\0\0garbage", 17));
        Script s;
        QVERIFY(!StartProgram(parts(dir.path())).mainWindow);
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("配置文件不存在或出错，请先配置系统！"));
        QCOMPARE(m.first().kind, 2);
    }

    void namedDatabaseAndStoredPassword()
    {
        QTemporaryDir dir;
        makeDatabase(dir.path(), "Other");
        writeConfig(dir.path(), "[DBconn]\ndriver=sqlite\nDatabase=Other\npassword=" + SavePass("x").toLatin1() + "\n");
        Script s;
        const StartupResult r = StartProgram(parts(dir.path()));
        QVERIFY(r.mainWindow);
        QCOMPARE(appState().DbName, QString("Other"));
        delete r.mainWindow;
    }

    void silentServerFailsAfterTheTimeout()
    {
        // accepts the connection and never answers
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QTemporaryDir dir;
        writeConfig(dir.path(), QString("[DBconn]\ndriver=psql\nserver=127.0.0.1:%1\nDatabase=Brenmoor\n").arg(server.serverPort()).toLatin1());
        Script s;
        s.answer(2);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!StartProgram(parts(dir.path())).mainWindow);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("数据连接失败，是否要安装配置数据库？")});
        qInfo("silent server gave up after %lld ms", timer.elapsed());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
