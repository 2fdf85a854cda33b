#include "app/AppConst.h"
#include "app/AppState.h"
#include "platform/Messages.h"
#include "security/LoginService.h"
#include "security/Permissions.h"
#include "support/TestSupport.h"
#include "workspace/TFrmMain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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

    void menuTree()
    {
        TestDb t;
        TFrmMain w;
        auto *bar = child<QMenuBar>(&w, "MainMenu1");
        QStringList titles;
        for (QAction *a : bar->actions())
            titles.append(a->text());
        QCOMPARE(titles, QStringList({"文件", "编辑", "输出", "统计", "数据", "视图", "工具", "帮助"}));
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

    void keysRunVisibleCommandsOnly()
    {
        TestDb t;
        TFrmMain w;
        QCOMPARE(w.action("201")->shortcut(), QKeySequence("Ctrl+A"));
        QCOMPARE(w.action("202")->shortcut(), QKeySequence("Ctrl+E"));
        QCOMPARE(w.action("203")->shortcut(), QKeySequence("Ctrl+S"));
        auto *edit = new QLineEdit(w.workspaceArea());
        w.workspaceArea()->layout()->addWidget(edit);
        int fired = 0;
        // the key, not the command, is looked at here
        QObject::disconnect(w.action("201"), &QAction::triggered, nullptr, nullptr);
        w.action("201")->setEnabled(true);
        connect(w.action("201"), &QAction::triggered, [&fired] { ++fired; });
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
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要退出“") + AppName() + QStringLiteral("”软件吗？")});
        QVERIFY(w.isVisible());
        // Esc asks the same
        w.activateWindow();
        s.answer(2);
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要退出“") + AppName() + QStringLiteral("”软件吗？")});
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
