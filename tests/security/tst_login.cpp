#include "app/AppConst.h"
#include "app/AppState.h"
#include "app/SalespersonScope.h"
#include "app/Startup.h"
#include "platform/Config.h"
#include "platform/Database.h"
#include "platform/Messages.h"
#include "security/LoginService.h"
#include "security/Permissions.h"
#include "security/TfrmOperLogin.h"
#include "support/TestSupport.h"
#include "tools/SchemaSetup.h"
#include "workspace/MainStartup.h"
#include "workspace/TFrmMain.h"
#include "workspace/WorkspaceCommands.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace TestSupport;

namespace {
const QString kWrong = QStringLiteral("用户名或密码不正确，请重新输入！");

// Fills the login window and presses 确定; the window's result so far.
int tryLogin(QDialog *d, const QString &code, const QString &password)
{
    child<QLineEdit>(d, "edtOperCode")->setText(code);
    child<QLineEdit>(d, "edtPassWord")->setText(password);
    click(d, "btnOk");
    return d->result();
}

QString configValue(const QString &path, const QString &key)
{
    Config c(path);
    const QStringList parts = key.split('/');
    return c.readString(parts.at(0), parts.at(1));
}

void addRole(const TestDb &t, const QString &code, const QString &name, int empFlag, const QString &empNames,
             const QStringList &limits)
{
    t.insert("PartList", {{"F_Code", code}, {"F_Name", name}, {"F_Mem", ""}, {"F_Flag", 0}, {"F_EmpFlag", empFlag}, {"F_EmpName", empNames}});
    for (const QString &l : limits)
        t.insert("PartLimit", {{"F_PartCode", code}, {"F_LmtCode", l}});
}

void addOperator(const TestDb &t, const QString &code, const QString &name, const QString &clearPassword, const QString &role)
{
    t.insert("OperList", {{"F_Code", code}, {"F_Name", name}, {"F_PassWord", SavePass(clearPassword)}, {"F_PartCode", role},
                          {"F_Mem", ""}, {"F_Flag", 0}});
}

bool visible(QObject *root, const QString &name) { return Permissions::isObjectVisible(root->findChild<QObject *>(name)); }
} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

    static void makeDatabase(const QString &dir)
    {
        DbSettings s;
        s.baseDir = dir;
        s.database = "Brenmoor";
        QVERIFY(Database::openRaw("setup", s));
        QVERIFY(SchemaSetup::createSchema(Database::connection("setup")));
        Database::close("setup");
    }

private slots:
    void init() { replaceAppState(AppState()); }

    // ---------------------------------------------------------------- start-up

    void firstLoginAsAdministratorShowsTheMainWindow()
    {
        QTemporaryDir dir;
        makeDatabase(dir.path());
        Script s;
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->windowTitle(), QStringLiteral("登录窗口")); }();
            // nobody logged in on this workstation yet
            [&] { QCOMPARE(child<QLineEdit>(d, "edtOperCode")->text(), QString()); }();
            [&] { QVERIFY(child<QLineEdit>(d, "edtOperName")->isReadOnly()); }();
            [&] { QCOMPARE(child<QLineEdit>(d, "edtPassWord")->echoMode(), QLineEdit::Password); }();
            return tryLogin(d, "000", "");
        });
        const StartupResult r = StartProgram(MainStartupParts(dir.path()));
        QVERIFY(r.mainWindow);
        auto *main = qobject_cast<TFrmMain *>(r.mainWindow);
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QVERIFY(main->isMaximized() || main->width() >= 800);
        QCOMPARE(main->windowTitle(), AppName() + AppVersion());
        for (const char *m : {"mi100", "mi200", "mi300", "mi400", "mi500"})
            QVERIFY2(visible(main, m), m);
        for (const Permissions::Entry &e : Permissions::table())
            QVERIFY(main->action(e.code)->isVisible());
        QVERIFY(main->action("Action31")->isVisible());
        QVERIFY(visible(main, "tbLDsj"));
        QVERIFY(visible(main, "tbXSgl"));

        const AppState &st = appState();
        QCOMPARE(st.OperCode, QString("000"));
        QCOMPARE(st.OperName, QStringLiteral("系统管理员"));
        QCOMPARE(st.CompanyName, QStringLiteral("Kelmor示范公司"));
        QCOMPARE(configValue(dir.path() + "/Config.ini", "Config/CurOperCode"), QString("000"));
        QCOMPARE(dmData->QueryInt("select count(*) from LogRec where F_OperType = :t and F_EmpName = :n",
                                  {{"t", QStringLiteral("登录成功！")}, {"n", QStringLiteral("系统管理员")}}),
                 1);
        QCOMPARE(main->findChild<QLabel *>("StatusPanel1")->text(), QStringLiteral(" 系统管理员"));
        delete r.mainWindow;
    }

    void fourthWrongPasswordEndsTheFirstLogin()
    {
        QTemporaryDir dir;
        makeDatabase(dir.path());
        Script s;
        s.onModal([&s](QDialog *d) {
            for (int i = 0; i < 3; ++i) {
                tryLogin(d, "000", "wrong");
                if (!d->isVisible() || s.takeTexts() != QStringList{kWrong})
                    return 99;
            }
            return tryLogin(d, "000", "wrong");
        });
        const StartupResult r = StartProgram(MainStartupParts(dir.path()));
        QVERIFY(!r.mainWindow);
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("非法操作员!"));
        QCOMPARE(m.first().kind, 3);
        QCOMPARE(dmData->QueryInt("select count(*) from LogRec where F_OperType = :t", {{"t", QStringLiteral("登录失败！")}}), 1);
        QCOMPARE(dmData->QueryInt("select count(*) from LogRec where F_OperType = :t", {{"t", QStringLiteral("登录成功！")}}), 0);
        QVERIFY(configValue(dir.path() + "/Config.ini", "Config/CurOperCode").isEmpty());
    }

    void cancelledFirstLoginEndsTheProgram()
    {
        QTemporaryDir dir;
        makeDatabase(dir.path());
        Script s;
        s.onModal([](QDialog *d) {
            click(d, "btnCancel");
            return d->result();
        });
        QVERIFY(!StartProgram(MainStartupParts(dir.path())).mainWindow);
    }

    // ---------------------------------------------------------------- the window

    void codeAndNameChecks()
    {
        TestDb t;
        Script s;
        s.onModal([&s](QDialog *d) {
            tryLogin(d, "   ", "");
            QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("请选择用户！")});
            // typed text never reaches the statement
            tryLogin(d, "' or '1'='1", "");
            QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("此操作员并不存在，请重新选择操作员！")});
            QCOMPARE(child<QLineEdit>(d, "edtOperName")->text(), QString());
            tryLogin(d, "000' --", "' or '1'='1");
            QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("此操作员并不存在，请重新选择操作员！")});
            // a password made to break a statement is only a wrong password
            tryLogin(d, "000", "' or '1'='1");
            QCOMPARE(s.takeTexts(), QStringList{kWrong});
            QVERIFY(d->isVisible());
            click(d, "btnCancel");
        });
        QVERIFY(!RunLogin(0, nullptr));
        QVERIFY(appState().OperCode.isEmpty());
    }

    void nameFollowsTheCodeAndTheLastOperatorIsOffered()
    {
        TestDb t;
        addRole(t, "01", "业务员", 0, "", {});
        addOperator(t, "007", "张三", "", "01");
        Config::shared().writeString("Config", "CurOperCode", "007");
        Script s;
        s.onModal([](QDialog *d) {
            auto *code = child<QLineEdit>(d, "edtOperCode");
            auto *name = child<QLineEdit>(d, "edtOperName");
            QCOMPARE(code->text(), QString("007"));
            QCOMPARE(name->text(), QStringLiteral("张三"));
            code->setFocus();
            code->setText("000");
            // leaving the code box looks the name up again
            QTest::keyClick(code, Qt::Key_Tab);
            QApplication::processEvents();
            QCOMPARE(name->text(), QStringLiteral("系统管理员"));
            click(d, "btnCancel");
        });
        QVERIFY(!RunLogin(1, nullptr));
    }

    void enterMovesOnAndAltF4IsSwallowed()
    {
        TestDb t;
        Script s;
        s.onModal([](QDialog *d) {
            auto *code = child<QLineEdit>(d, "edtOperCode");
            d->activateWindow();
            code->setFocus();
            // the name only shows: Enter and Tab pass it by
            QTest::keyClick(code, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString("edtPassWord"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString("edtOperCode"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString("edtPassWord"));
            QTest::keyClick(d, Qt::Key_F4, Qt::AltModifier);
            d->close();
            QVERIFY(d->isVisible());
            click(d, "btnCancel");
        });
        QVERIFY(!RunLogin(1, nullptr));
    }

    void passwordsAreTrimmedAtLogin_data() { TestSupport::addBackendRows(); }
    void passwordsAreTrimmedAtLogin()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const struct
        {
            const char *stored, *typed;
            bool ok;
        } cases[] = {
            {"abc", "abc", true},
            {"abc", "  abc ", true},
            {" abc  ", "abc", true},
            {"abc", "ABC", false}, // case matters
            {"密码 一二三", " 密码 一二三", true},
            {"密码 一二三", "密码一二三", false}, // an inner blank counts
            {"it's \"x\"", "it's \"x\"", true},
            {"", "   ", true},
            {"abc", "", false},
        };
        addOperator(t, "007", "张三", "", "");
        for (const auto &c : cases) {
            QVERIFY(t.exec("update OperList set F_PassWord = :p where F_Code = '007'", {{"p", SavePass(QString::fromUtf8(c.stored))}}));
            QVERIFY2(LoginService::PasswordMatches("007", QString::fromUtf8(c.typed)) == c.ok, c.typed);
        }
    }

    void chinesePasswordThroughTheWindow()
    {
        TestDb t;
        addRole(t, "01", "业务员", 0, "", {"102"});
        addOperator(t, "007", "张三", QStringLiteral("芝麻'开门"), "01");
        TFrmMain main;
        Script s;
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtOperCode")->setText("007");
            typeText(child<QLineEdit>(d, "edtPassWord"), QStringLiteral(" 芝麻'开门 "));
            click(d, "btnOk");
            return d->result();
        });
        QVERIFY(RunLogin(0, &main));
        QCOMPARE(appState().OperName, QStringLiteral("张三"));
        QCOMPARE(appState().RoleCode, QString("01"));
    }

    // ---------------------------------------------------------------- switching

    void operatorSwitchRefusedKeepsTheOldState()
    {
        TestDb t;
        addRole(t, "01", "业务员", 1, "", {"102"});
        addOperator(t, "007", "张三", "secret", "01");
        TFrmMain main;
        Script s;
        s.onModal([](QDialog *d) { return tryLogin(d, "000", ""); });
        QVERIFY(RunLogin(0, &main));
        QVERIFY(main.action("101")->isVisible());

        s.onModal([&s](QDialog *d) {
            for (int i = 0; i < 3; ++i)
                tryLogin(d, "007", "nope");
            [&] { QCOMPARE(s.takeTexts(), QStringList({kWrong, kWrong, kWrong})); }();
            return tryLogin(d, "007", "nope");
        });
        QVERIFY(!RunLogin(1, &main));
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("更换操作员失败!"));
        QCOMPARE(m.first().kind, 3);
        QCOMPARE(appState().OperCode, QString("000"));
        QCOMPARE(appState().EmpScopeFlag, 0);
        QVERIFY(main.action("101")->isVisible());
        QCOMPARE(t.count("LogRec", "F_OperType = :t and F_EmpName = :n",
                         {{"t", QStringLiteral("更换操作员失败！")}, {"n", QStringLiteral("系统管理员")}}),
                 1);

        // cancelled: nothing changes either
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtOperCode")->setText("007");
            click(d, "btnCancel");
            return d->result();
        });
        QVERIFY(!RunLogin(1, &main));
        QCOMPARE(appState().OperCode, QString("000"));

        // a successful switch replaces state, permissions and status bar
        s.onModal([](QDialog *d) { return tryLogin(d, "007", "secret"); });
        QVERIFY(RunLogin(1, &main));
        QCOMPARE(appState().OperCode, QString("007"));
        QCOMPARE(appState().EmpScopeFlag, 1);
        QVERIFY(!main.action("101")->isVisible());
        QVERIFY(main.action("102")->isVisible());
        QCOMPARE(main.findChild<QLabel *>("StatusPanel1")->text(), QStringLiteral(" 张三"));
        QCOMPARE(Config::shared().readString("Config", "CurOperCode"), QString("007"));
    }

    // ---------------------------------------------------------------- state

    void loginStateIsCompleteAndReplacedAsAWhole_data() { TestSupport::addBackendRows(); }
    void loginStateIsCompleteAndReplacedAsAWhole()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addRole(t, "02", "区域经理", 2, "'张三','李四'", {});
        addOperator(t, "008", "王五", "", "02");
        t.exec("update KeyValue set F_Value = '3' where F_ID = 12");
        t.exec("update KeyValue set F_Value = '4' where F_ID = 14");
        Config &c = Config::shared();
        c.writeBool("sys", "bZDcode", true);
        c.writeInteger("sys", "iPrintNum", 20);
        c.writeInteger("config", "ibak", 2);
        c.writeBool("set", "awokeflag", true);
        AppState old;
        old.DbName = "Brenmoor";
        old.PreferredIme = "pinyin";
        old.OperCode = "000";
        replaceAppState(old);

        Script s;
        QVERIFY(LoginService::LoadLoginState("008", QStringLiteral("王五"), nullptr));
        const AppState &st = appState();
        QCOMPARE(st.OperCode, QString("008"));
        QCOMPARE(st.OperName, QStringLiteral("王五"));
        QCOMPARE(st.RoleCode, QString("02"));
        QCOMPARE(st.EmpScopeFlag, 2);
        QCOMPARE(st.EmpScopeNames, QStringLiteral("'张三','李四'"));
        QCOMPARE(st.CompanyName, QStringLiteral("Kelmor示范公司"));
        QCOMPARE(st.DbName, QString("Brenmoor"));
        QCOMPARE(st.CustomSettings.size(), 15);
        QCOMPARE(st.custom(1), QStringLiteral("客户级别"));
        QCOMPARE(st.custom(11), QStringLiteral("到期日期"));
        QCOMPARE(st.QtyFormat, QString("0.###"));
        QCOMPARE(st.UnitPriceFormat, QStringLiteral("￥,0.00"));
        QCOMPARE(st.MoneyFormat, QStringLiteral("￥,0.00##"));
        QVERIFY(st.AutoCustomerCode);
        QCOMPARE(st.PrintRowsPerPage, 20);
        QCOMPARE(st.AutoBackupRule, 2);
        QVERIFY(st.RemindAtStart);
    }

    void operatorWithoutRoleGetsScopeZero_data() { TestSupport::addBackendRows(); }
    void operatorWithoutRoleGetsScopeZero()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addOperator(t, "009", QStringLiteral("赵六"), "", "nosuchrole");
        Script s;
        QVERIFY(LoginService::LoadLoginState("009", QStringLiteral("赵六"), nullptr));
        QCOMPARE(appState().RoleCode, QString("nosuchrole"));
        QCOMPARE(appState().EmpScopeFlag, 0);
        QVERIFY(appState().EmpScopeNames.isEmpty());
    }

    void brokenDecimalSettingsStopTheLoginCleanly()
    {
        TestDb t;
        t.exec("update KeyValue set F_Value = 'abc' where F_ID = 13");
        TFrmMain main;
        Script s;
        s.onModal([&s](QDialog *d) {
            tryLogin(d, "000", "");
            const auto m = s.takeMessages();
            [&] {
                QCOMPARE(m.size(), 1);
                QCOMPARE(m.first().text, LoginService::BadSettingsMessage());
                QCOMPARE(m.first().kind, 3);
                QVERIFY(d->isVisible());
            }();
            click(d, "btnCancel");
            return d->result();
        });
        QVERIFY(!RunLogin(0, &main));
        QVERIFY(appState().OperCode.isEmpty());
        QVERIFY(Config::shared().readString("Config", "CurOperCode").isEmpty());
        QCOMPARE(t.count("LogRec"), 0);

        // fewer than fourteen rows is the same fault
        t.exec("update KeyValue set F_Value = '2' where F_ID = 13");
        t.exec("delete from KeyValue where F_ID >= 14");
        AppState st;
        QString error;
        QVERIFY(!LoginService::BuildLoginState("000", "x", &st, &error));
        QCOMPARE(error, LoginService::BadSettingsMessage());
    }

    // ---------------------------------------------------------------- permissions

    void administratorSeesEverythingWhateverPartLimitHolds()
    {
        TestDb t;
        t.exec("update OperList set F_PartCode = '05' where F_Code = '000'");
        addRole(t, "05", "空角色", 0, "", {});
        TFrmMain main;
        Script s;
        QVERIFY(LoginService::LoadLoginState("000", QStringLiteral("系统管理员"), &main));
        for (const Permissions::Entry &e : Permissions::table())
            QVERIFY(main.action(e.code)->isVisible());
    }

    void roleWithSomePermissions()
    {
        TestDb t;
        addRole(t, "01", "业务员", 0, "", {"102", "217", "303", "408"});
        addOperator(t, "007", "张三", "", "01");
        TFrmMain main;
        Script s;
        QVERIFY(LoginService::LoadLoginState("007", QStringLiteral("张三"), &main));
        QStringList shown;
        for (const Permissions::Entry &e : Permissions::table())
            if (main.action(e.code)->isVisible())
                shown.append(e.code);
        QCOMPARE(shown, QStringList({"102", "217", "303", "408"}));
        QVERIFY(visible(&main, "mi100"));
        QVERIFY(visible(&main, "mi200")); // 来电管理 is in the edit menu
        QVERIFY(visible(&main, "mi300"));
        QVERIFY(visible(&main, "mi400")); // a visible command never sits in a hidden menu
        QVERIFY(!visible(&main, "mi500"));
        QVERIFY(!main.action("Action31")->isVisible());
        QVERIFY(visible(&main, "tbLDsj"));
        QVERIFY(!visible(&main, "tbXSgl"));
        // the other menus do not depend on permissions
        QVERIFY(visible(&main, "mi600") && visible(&main, "mi700") && visible(&main, "mi800"));

        t.exec("insert into PartLimit(F_PartCode,F_LmtCode) values('01','301')");
        t.exec("insert into PartLimit(F_PartCode,F_LmtCode) values('01','214')");
        t.exec("delete from PartLimit where F_LmtCode = '217'");
        Permissions::SetLimits(&main, "007");
        QVERIFY(main.action("Action31")->isVisible());
        QVERIFY(!visible(&main, "tbLDsj"));
        QVERIFY(visible(&main, "tbXSgl"));
    }

    void roleWithoutRowsSeesNoCommandAndKeysDoNotFire()
    {
        TestDb t;
        addRole(t, "03", "访客", 0, "", {});
        addOperator(t, "010", "访客", "", "03");
        // stand-ins for the customer commands, so that a key that got through shows
        int fired = 0;
        CommandRegistry commands;
        registerWorkspaceCommands(commands);
        for (const char *code : {"201", "202", "203"})
            commands.replace(code, [&fired](CommandContext &) { ++fired; });
        TFrmMain main(commands);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        Script s;
        QVERIFY(LoginService::LoadLoginState("000", QStringLiteral("系统管理员"), &main));
        QTest::keyClick(&main, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 1);

        QVERIFY(LoginService::LoadLoginState("010", QStringLiteral("访客"), &main));
        for (const Permissions::Entry &e : Permissions::table())
            QVERIFY2(!main.action(e.code)->isVisible(), qPrintable(e.code));
        for (const char *m : {"mi100", "mi200", "mi300", "mi400", "mi500", "tbLDsj", "tbXSgl"})
            QVERIFY2(!visible(&main, m), m);
        for (auto key : {Qt::Key_A, Qt::Key_E, Qt::Key_S})
            QTest::keyClick(&main, key, Qt::ControlModifier);
        QCOMPARE(fired, 1);
    }

    void scopeTwoWithAnEmptyListShowsNoCustomer_data() { TestSupport::addBackendRows(); }
    void scopeTwoWithAnEmptyListShowsNoCustomer()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addRole(t, "04", "空名单", 2, "", {});
        addOperator(t, "011", "钱七", "", "04");
        t.insert("t_client", {{"F_cltID", 1}, {"F_name", "A"}, {"F_empName", ""}});
        t.insert("t_client", {{"F_cltID", 2}, {"F_name", "B"}, {"F_empName", QStringLiteral("张三")}});
        t.insert("t_employee", {{"F_code", "001"}, {"F_name", QStringLiteral("张三")}});
        Script s;
        QVERIFY(LoginService::LoadLoginState("011", QStringLiteral("钱七"), nullptr));
        QCOMPARE(appState().EmpScopeFlag, 2);
        QVariantMap p;
        const QString where = SalespersonScope::whereFragment("c.F_empName", &p);
        // the statement stays valid and simply finds nobody
        QCOMPARE(t.dm()->QueryInt("select count(*) from t_client c where (1=1) " + where, p), 0);
        QComboBox box;
        SalespersonScope::fillComboBox(&box);
        QCOMPARE(box.count(), 0);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
