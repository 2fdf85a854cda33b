#include "app/AppConst.h"
#include "app/AppState.h"
#include "platform/DataGrid.h"
#include "platform/Messages.h"
#include "security/LoginService.h"
#include "security/Permissions.h"
#include "support/TestSupport.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/TFrmMain.h"
#include "workspace/WorkspaceCommands.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace TestSupport;

namespace {
// The items of a menu as captions, "-" for a separator.
QStringList itemsOf(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions())
        out.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class CountingMain : public TFrmMain
{
public:
    int refreshes = 0;
    void RefreshClientList() override { ++refreshes; }
};
} // namespace

class TestMainChrome : public QObject
{
    Q_OBJECT

private slots:
    void actionsHaveTheirNamesAndCaptions()
    {
        TestDb t;
        TFrmMain w;
        QCOMPARE(w.objectName(), QString("FrmMain"));
        for (const Permissions::Entry &e : Permissions::table()) {
            QAction *a = w.findChild<QAction *>("Action" + e.code);
            QVERIFY2(a, qPrintable(e.code));
            QCOMPARE(a->text(), e.caption);
        }
        QCOMPARE(child<QAction>(&w, "Action31")->text(), QStringLiteral("导出"));
        const QList<QPair<const char *, QString>> named = {
            {"N43", QStringLiteral("重新登录")}, {"N5", QStringLiteral("退出系统")}, {"N24", QStringLiteral("计算器")},
            {"N25", QStringLiteral("笔记本")}, {"N82", QStringLiteral("清除客户空行")}, {"N8", QStringLiteral("帮助文件")},
            {"N7", QStringLiteral("自述文件")}, {"N41", QStringLiteral("最新功能")}, {"N3", QStringLiteral("关于我们")},
            {"N27", QStringLiteral("浏览作者的网站")}, {"N96", QStringLiteral("来电速记")}, {"nshitu1", QStringLiteral("工具栏")},
            {"nshitu2", QStringLiteral("导航树")}, {"nshitu3", QStringLiteral("状态栏")}};
        for (const auto &[name, caption] : named)
            QCOMPARE(child<QAction>(&w, name)->text(), caption);
        for (const char *v : {"nshitu1", "nshitu2", "nshitu3"})
            QVERIFY(child<QAction>(&w, v)->isChecked());
    }

    // F10 opens the menu bar, and the tool bar's tips name the key of their
    // command.
    void menusAndTipsFromTheKeyboard()
    {
        TestDb t;
        TFrmMain w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *bar = child<QMenuBar>(&w, "MainMenu1");
        QTest::keyClick(&w, Qt::Key_F10);
        QVERIFY(bar->activeAction());
        QCOMPARE(bar->activeAction()->text(), QStringLiteral("文件(&F)"));
        QCOMPARE(child<QWidget>(&w, "ToolButton5")->toolTip(), QStringLiteral("新增（Ctrl+A）"));
        QCOMPARE(child<QWidget>(&w, "ToolButton10")->toolTip(), child<QAction>(&w, "actClose")->text());
    }

    void menuTree()
    {
        TestDb t;
        TFrmMain w;
        auto *bar = child<QMenuBar>(&w, "MainMenu1");
        QStringList titles;
        for (QAction *a : bar->actions())
            titles.append(a->text());
        QCOMPARE(titles, QStringList({"文件(&F)", "编辑(&E)", "输出(&O)", "统计(&S)", "数据(&D)", "视图(&V)", "工具(&T)", "帮助(&H)"}));
        const QList<QPair<const char *, QString>> menus = {
            {"mi100", "公司信息 更改密码 用户权限 - 选项... 行业类别 自定义设置 - 重新登录 退出系统"},
            {"mi200", "新增 复制 修改 删除 排序... - 货品资料 职员档案 来电管理 - 业务活动 商品报价 合同管理 销售管理 售后回访 "
                      "投诉反馈 - 显示字段选择 保存当前网格"},
            {"mi300", "导出 报表设计 - 当前客户详细报表 当前客户业务活动 当前客户商品报价 当前客户合同管理 当前客户销售管理 "
                      "当前客户售后回访 当前客户投诉反馈 - 当前客户统计列表 当前客户信封打印 客户信封标签打印 导出客户电子信箱"},
            {"mi400", "统计 业务提醒 - 业务活动统计列表 商品报价统计列表 合同管理统计列表 销售管理统计列表 售后回访统计列表 "
                      "投诉反馈统计列表"},
            {"mi500", "导入客户资料 清除客户空行 系统数据清理 数据备份恢复 - 压缩修复数据库 连接网络数据库"},
            {"mi600", "工具栏 导航树 状态栏"},
            {"mi700", "计算器 笔记本"},
            {"mi800", "帮助文件 每日一贴 常见问题 - 自述文件 最新功能 - 关于我们 浏览作者的网站"}};
        for (const auto &[name, items] : menus)
            QCOMPARE(itemsOf(child<QMenu>(&w, name)).join(' '), items);
        QVERIFY(!child<QAction>(&w, "N9")->isVisible()); // 每日一贴 is hidden
        QCOMPARE(itemsOf(w.gridPopupMenu()).join(' '),
                 QStringLiteral("新增 复制 修改 删除 排序... 导出 - 职员档案 业务活动 商品报价 合同管理 销售管理 售后回访 - "
                                "显示字段选择 保存当前网格 更改所选当前客户类型 更改所选客户业务人员"));
    }

    void toolBar()
    {
        TestDb t;
        TFrmMain w;
        auto *bar = child<QToolBar>(child<QWidget>(&w, "CoolBar1"), "ToolBar1");
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(bar->iconSize(), QSize(30, 30));
        QStringList items;
        for (QAction *a : bar->actions()) {
            if (a->isSeparator()) {
                items.append("-");
                continue;
            }
            QWidget *b = bar->widgetForAction(a);
            items.append(b->objectName() + ":" + a->text());
            QVERIFY(!a->icon().isNull());
        }
        QCOMPARE(items, QStringList({"ToolButton9:重新登录", "-", "ToolButton1:货品资料", "ToolButton2:职员档案", "tbLDsj:来电速记", "-",
                                     "ToolButton3:业务活动", "ToolButton4:合同管理", "tbXSgl:销售管理", "-", "ToolButton5:新增",
                                     "ToolButton6:复制", "ToolButton7:修改", "ToolButton8:删除", "-", "ToolButton10:关闭"}));
        auto *ld = child<QToolButton>(&w, "tbLDsj");
        QVERIFY(ld->menu());
        QCOMPARE(itemsOf(ld->menu()), QStringList({"来电速记", "来电管理"}));
    }

    void toolBarSeparatorsFollowTheButtons()
    {
        TestDb t;
        TFrmMain w;
        auto *bar = child<QToolBar>(&w, "ToolBar1");
        auto shown = [bar] {
            QStringList out;
            for (QAction *a : bar->actions())
                if (a->isVisible())
                    out.append(a->isSeparator() ? QStringLiteral("-") : a->text());
            return out.join(' ');
        };
        for (const char *n : {"Action209", "Action210", "N96"})
            child<QAction>(&w, n)->setVisible(false);
        QCOMPARE(shown(), QStringLiteral("重新登录 - 业务活动 合同管理 销售管理 - 新增 复制 修改 删除 - 关闭"));
        for (const char *n : {"Action201", "Action207", "Action202", "Action203"})
            child<QAction>(&w, n)->setVisible(false);
        QCOMPARE(shown(), QStringLiteral("重新登录 - 业务活动 合同管理 销售管理 - 关闭"));
        child<QAction>(&w, "Action209")->setVisible(true);
        QCOMPARE(shown(), QStringLiteral("重新登录 - 货品资料 - 业务活动 合同管理 销售管理 - 关闭"));
    }

    void statusBarAndClock()
    {
        TestDb t;
        AppState st;
        st.OperName = QStringLiteral("张三");
        replaceAppState(st);
        TFrmMain w;
        w.show();
        const int widths[] = {60, 80, 100, 140};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(child<QLabel>(&w, QString("StatusPanel%1").arg(i))->width(), widths[i]);
        QCOMPARE(child<QLabel>(&w, "StatusPanel0")->text(), QStringLiteral(" 当前用户"));
        QCOMPARE(child<QLabel>(&w, "StatusPanel1")->text(), QStringLiteral(" 张三"));
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QStringLiteral(" 当前日期时间"));
        auto *p4 = child<QLabel>(&w, "StatusPanel4");
        QVERIFY(p4->text().startsWith(AppTitle()));
        QVERIFY(p4->alignment() & Qt::AlignRight);
        auto *timer = child<QTimer>(&w, "Timer1");
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(timer->isActive());
        auto *p3 = child<QLabel>(&w, "StatusPanel3");
        p3->clear();
        QTRY_VERIFY_WITH_TIMEOUT(!p3->text().isEmpty(), 3000);
        QVERIFY(QDateTime::fromString(p3->text().mid(1), "yyyy-MM-dd hh:mm:ss").isValid());
        QCOMPARE(w.windowTitle(), AppName() + AppVersion());
    }

    void laterCommandsAreDisabled()
    {
        TestDb t;
        TFrmMain w;
        QStringList enabled;
        for (const Permissions::Entry &e : Permissions::table())
            if (w.action(e.code)->isEnabled())
                enabled.append(e.code);
        QCOMPARE(enabled, QStringList({"102", "103", "104", "105", "201", "202", "203", "204", "205", "206", "207", "208", "218",
                                       "301", "505", "901", "902", "903", "904", "905", "906"}));
        QVERIFY(child<QAction>(&w, "Action31")->isEnabled());
        for (const char *n : {"N3", "N96", "actXSgl", "N10"})
            QVERIFY2(!child<QAction>(&w, n)->isEnabled(), n);
        for (const char *n : {"N43", "N5", "N24", "N25", "N82", "N8", "N7", "N41", "N27", "actClose"})
            QVERIFY2(child<QAction>(&w, n)->isEnabled(), n);
    }

    // A command's action is enabled when a handler is registered for its code
    // and the operator holds the code; the menu entry, the tool button and
    // the key then run the handler with the window as its host.
    void registeredCommandsRunWhereThePermissionsAllow()
    {
        TestDb t;
        t.insert("PartList", {{"F_Code", "R1"}, {"F_Name", QStringLiteral("业务员")}, {"F_EmpFlag", 0}, {"F_EmpName", ""}});
        for (const char *code : {"201", "211", "212"})
            t.insert("PartLimit", {{"F_PartCode", "R1"}, {"F_LmtCode", code}});
        t.insert("OperList", {{"F_Code", "001"}, {"F_Name", QStringLiteral("张三")}, {"F_PassWord", ""}, {"F_PartCode", "R1"}});

        QList<CommandContext> runs;
        const auto record = [&runs](CommandContext &c) { runs.append(c); };
        const auto ranCodes = [&runs] {
            QStringList out;
            for (const CommandContext &c : runs)
                out.append(c.code);
            runs.clear();
            return out;
        };
        CommandRegistry commands;
        registerWorkspaceCommands(commands);
        QVERIFY(!commands.contains("211") && !commands.contains("212") && !commands.contains("N96"));
        QVERIFY(commands.add("211", record)); // 业务活动: edit menu and tool bar
        QVERIFY(commands.add("N96", record)); // a named command
        commands.replace("201", record);      // over the customer window: Ctrl+A
        Script s;
        TFrmMain w(commands);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(LoginService::LoadLoginState("000", QStringLiteral("系统管理员"), &w));

        // by registration: 212 and 213 have no handler yet
        for (const char *code : {"211", "N96", "201"})
            QVERIFY2(w.action(code)->isEnabled(), code);
        for (const char *code : {"212", "213"})
            QVERIFY2(w.action(code)->isVisible() && !w.action(code)->isEnabled(), code);

        // the menu entry as the operator picks it
        QMenu *edit = child<QMenu>(&w, "mi200");
        QVERIFY(edit->actions().contains(w.action("211")));
        const auto pick = [&w](QMenu *menu, QAction *a) {
            w.menuBar()->setActiveAction(menu->menuAction());
            QTRY_VERIFY(menu->isVisible());
            menu->setActiveAction(a);
            QTest::keyClick(menu, Qt::Key_Return);
            QTRY_VERIFY(!menu->isVisible());
        };
        pick(edit, w.action("211"));
        QCOMPARE(ranCodes(), QStringList{"211"});
        child<QToolButton>(&w, "ToolButton3")->click();
        child<QToolButton>(&w, "tbLDsj")->click();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.DBGridEh1()->setFocus();
        QTest::keyClick(w.DBGridEh1(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(ranCodes(), QStringList({"211", "N96", "201"}));
        // a menu entry without a handler does nothing
        w.action("212")->trigger();
        QVERIFY(runs.isEmpty());

        // what the handler gets from its host
        w.action("211")->trigger();
        QCOMPARE(runs.size(), 1);
        const CommandContext c = runs.takeFirst();
        QCOMPARE(c.parent, static_cast<QWidget *>(&w));
        QCOMPARE(c.host, static_cast<CommandHost *>(&w));
        QCOMPARE(c.host->customerWorkspace(), static_cast<QObject *>(w.workspace()));
        QCOMPARE(c.host->customerList(), w.QryMain());
        w.setCurrentTab(3);
        QCOMPARE(c.host->currentDetailTab(), 3);

        // by permission: 001 holds 201, 211 and 212 but not 217, which the
        // quick call entry follows
        QVERIFY(LoginService::LoadLoginState("001", QStringLiteral("张三"), &w));
        for (const char *code : {"211", "201"})
            QVERIFY2(w.action(code)->isVisible() && w.action(code)->isEnabled(), code);
        QVERIFY(w.action("212")->isVisible() && !w.action("212")->isEnabled());
        QVERIFY(!w.action("N96")->isVisible() && !w.action("N96")->isEnabled());
        pick(edit, w.action("211"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.DBGridEh1()->setFocus();
        QTest::keyClick(w.DBGridEh1(), Qt::Key_A, Qt::ControlModifier);
        w.action("N96")->trigger();
        QCOMPARE(ranCodes(), QStringList({"211", "201"}));

        // the codes taken away: hidden, disabled, and neither entry nor key runs
        QVERIFY(t.exec("delete from PartLimit where F_PartCode = 'R1' and F_LmtCode in ('201', '211')"));
        Permissions::SetLimits(&w, "001");
        for (const char *code : {"211", "201"})
            QVERIFY2(!w.action(code)->isVisible() && !w.action(code)->isEnabled(), code);
        w.action("211")->trigger();
        w.DBGridEh1()->setFocus();
        QTest::keyClick(w.DBGridEh1(), Qt::Key_A, Qt::ControlModifier);
        QVERIFY(runs.isEmpty());
        // and given back: enabled again, since the handler is still there
        QVERIFY(t.exec("insert into PartLimit(F_PartCode, F_LmtCode) values('R1', '211')"));
        Permissions::SetLimits(&w, "001");
        QVERIFY(w.action("211")->isEnabled());
        w.action("211")->trigger();
        QCOMPARE(ranCodes(), QStringList{"211"});
    }

    // Without a registration no command runs; the view switches and the
    // detail panel's own actions do not come from the registry.
    void nothingRegisteredNothingEnabled()
    {
        TestDb t;
        Script s;
        CommandRegistry commands;
        QVERIFY(commands.add("999", [](CommandContext &) { QFAIL("no action has this code"); }));
        QVERIFY(commands.add("903", [](CommandContext &) { QFAIL("the detail panel runs its delete itself"); }));
        QTest::ignoreMessage(QtWarningMsg, "TFrmMain: command 999 has no action in the main window");
        QTest::ignoreMessage(QtWarningMsg, "TFrmMain: Action903 is run by the detail panel, not by the registry");
        TFrmMain w(commands);
        QStringList enabled;
        for (QAction *a : w.actions())
            if (a->isEnabled())
                enabled.append(a->objectName());
        enabled.sort();
        QCOMPARE(enabled, QStringList({"Action31", "Action901", "Action902", "Action903", "Action904", "Action905", "Action906",
                                       "actMenuBar", "nshitu1", "nshitu2", "nshitu3"}));
        // not even the exit: no question comes
        child<QAction>(&w, "N5")->trigger();
        QVERIFY(!s.hasMessages());
    }

    void keysRunVisibleCommandsOnly()
    {
        TestDb t;
        // the key, not the command, is looked at here
        int fired = 0;
        CommandRegistry commands;
        registerWorkspaceCommands(commands);
        commands.replace("201", [&fired](CommandContext &) { ++fired; });
        TFrmMain w(commands);
        QCOMPARE(w.action("201")->shortcut(), QKeySequence("Ctrl+A"));
        QCOMPARE(w.action("202")->shortcut(), QKeySequence("Ctrl+E"));
        QCOMPARE(w.action("203")->shortcut(), QKeySequence("Ctrl+S"));
        auto *edit = new QLineEdit(w.workspaceArea());
        w.workspaceArea()->layout()->addWidget(edit);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit->setText("abc");
        edit->setFocus();
        edit->deselect();
        // the window sees Ctrl+A before the text box
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 1);
        QVERIFY(!edit->hasSelectedText());
        // hidden: the key is the text box's again
        w.action("201")->setVisible(false);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 1);
        QVERIFY(edit->hasSelectedText());
    }

    void exitAsks()
    {
        TestDb t;
        Script s;
        TFrmMain w;
        w.show();
        s.answer(2);
        child<QAction>(&w, "N5")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要退出“Kelmor客户管理软件”软件吗？")});
        QVERIFY(w.isVisible());
        // Esc asks the same
        w.activateWindow();
        s.answer(2);
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要退出“Kelmor客户管理软件”软件吗？")});
        QVERIFY(w.isVisible());
        s.answer(1);
        child<QAction>(&w, "actClose")->trigger();
        QCOMPARE(s.takeMessages().first().kind, 1);
        QVERIFY(!w.isVisible());
    }

    void viewToggles()
    {
        TestDb t;
        TFrmMain w;
        w.show();
        auto *nav = child<QWidget>(&w, "rpcCrm");
        child<QAction>(&w, "nshitu1")->trigger();
        QVERIFY(!child<QWidget>(&w, "CoolBar1")->isVisible());
        child<QAction>(&w, "nshitu2")->trigger();
        QVERIFY(!nav->isVisible());
        child<QAction>(&w, "nshitu3")->trigger();
        QVERIFY(!child<QStatusBar>(&w, "StatusBar1")->isVisible());
        for (const char *n : {"nshitu1", "nshitu2", "nshitu3"}) {
            QVERIFY(!child<QAction>(&w, n)->isChecked());
            child<QAction>(&w, n)->trigger();
        }
        QVERIFY(child<QWidget>(&w, "CoolBar1")->isVisible());
        QVERIFY(nav->isVisible());
        QVERIFY(child<QStatusBar>(&w, "StatusBar1")->isVisible());
    }

    void commandsOpenTheirWindows()
    {
        TestDb t;
        Script s;
        CountingMain w;
        w.show();
        const int atStart = w.refreshes; // the list is read at the first show
        QVERIFY(LoginService::LoadLoginState("000", QStringLiteral("系统管理员"), &w));
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->objectName(), QString("frmModPass")); }();
            return int(QDialog::Rejected);
        });
        w.action("102")->trigger();
        s.onModal([&w](QDialog *d) {
            [&] {
                QCOMPARE(d->objectName(), QString("FrmOperGl"));
                QVERIFY((d->geometry().center() - w.geometry().center()).manhattanLength() < 40);
            }();
            return int(QDialog::Rejected);
        });
        w.action("103")->trigger();

        // re-login: the list is refreshed after a successful switch only
        s.onModal([](QDialog *d) {
            click(d, "btnCancel");
            return d->result();
        });
        child<QAction>(&w, "N43")->trigger();
        QCOMPARE(w.refreshes, atStart);
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->objectName(), QString("frmOperLogin")); }();
            child<QLineEdit>(d, "edtOperCode")->setText("000");
            click(d, "btnOk");
            return d->result();
        });
        child<QToolButton>(&w, "ToolButton9")->click();
        QCOMPARE(w.refreshes, atStart + 1);

        child<QAction>(&w, "N24")->trigger();
        child<QAction>(&w, "N25")->trigger();
        QCOMPARE(s.programs.size(), 2);
        child<QAction>(&w, "N7")->trigger();
        child<QAction>(&w, "N27")->trigger();
        QCOMPARE(s.urls.size(), 2);
        QVERIFY(s.urls.first().toLocalFile().endsWith("readme.txt"));
        QVERIFY(s.urls.last().scheme().startsWith("http"));
    }
};

QTEST_MAIN(TestMainChrome)
#include "tst_mainchrome.moc"
