#include "platform/DataGrid.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/DetailPanel.h"
#include "workspace/TFrmMain.h"
#include "security/LoginService.h"
#include "workspace/ClientListPanel.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QJsonArray>
#include <QTest>
#include <QToolBar>

using namespace TestSupport;

namespace {
SqlStatement all() { return {QStringLiteral("select * from t_client where (1=1)  order by F_ID"), {}}; }

// Customers 1 and 2, each with records in every tab (1 two contacts).
void addData(const TestDb &t)
{
    t.insert("t_client", {{"F_cltID", 1}, {"F_code", "C1"}, {"F_name", QStringLiteral("甲公司")}});
    t.insert("t_client", {{"F_cltID", 2}, {"F_code", "C2"}, {"F_name", QStringLiteral("乙公司")}});
    for (int clt : {1, 2}) {
        t.insert("t_LXrec", {{"F_cltID", clt}, {"F_date", "2024-01-02"}, {"F_caption", QStringLiteral("拜访")}});
        t.insert("t_linkman", {{"F_cltID", clt}, {"F_name", QStringLiteral("联系人%1").arg(clt)}, {"F_birthday", "1900-08-14"}});
        t.insert("t_BJrec", {{"F_cltID", clt}, {"F_date", "2024-01-03"}, {"F_GDname", QStringLiteral("螺丝")}, {"F_amount", 2},
                             {"F_price", 1.5}, {"F_totalprice", 3}});
        t.insert("t_HTrec", {{"F_cltID", clt}, {"F_date", "2024-01-04"}, {"F_HTname", QStringLiteral("合同")}, {"F_HTprice", 1000.5},
                             {"F_YFprice", 200}});
        t.insert("t_HTrec", {{"F_cltID", clt}, {"F_date", "2024-01-05"}, {"F_HTname", QStringLiteral("合同二")}, {"F_HTprice", 1000}});
        t.insert("t_XSrec", {{"F_cltID", clt}, {"F_code", QString("XS%1").arg(clt)}, {"F_totalPrice", 88}});
        t.insert("t_HFrec", {{"F_cltID", clt}, {"F_date", "2024-01-06"}});
        t.insert("t_TSrec", {{"F_cltID", clt}, {"F_date", "2024-01-07"}});
        t.insert("t_GooDrec", {{"F_cltID", clt}, {"F_GDcode", "P1"}, {"F_GDname", QStringLiteral("产品")}, {"F_price", 1.123456}});
        t.insert("t_TXrec", {{"F_cltID", clt}, {"F_editDate", "2024-01-08"}});
    }
    t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("第二联系人")}});
}

QStringList listEntries(const DetailPanel &p)
{
    QStringList out;
    for (int i = 0; i < p.detailList()->count(); ++i)
        out.append(p.detailList()->item(i)->text());
    return out;
}
} // namespace

class TestDetailPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void listFollowsPermissionsAndTabsFollowTheCustomer()
    {
        TestDb t;
        addData(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 0);
        DetailPanel p(&ws);
        p.setActionVisibility([](const QString &a) { return a != "Action211" && a != "Action212"; });
        p.BuildDetailList();
        QCOMPARE(listEntries(p), (QStringList{QStringLiteral("联 系 人"), QStringLiteral("合同管理"), QStringLiteral("销售管理"),
                                              QStringLiteral("售后回访"), QStringLiteral("投诉反馈"), QStringLiteral("客户产品"),
                                              QStringLiteral("事务提醒")}));
        QCOMPARE(p.CurrentTab(), 0);
        p.ShowFirstTab();
        QCOMPARE(p.CurrentTab(), 2);
        QVERIFY(p.pages()->tabBar()->isHidden());
        QCOMPARE(p.pages()->currentWidget()->objectName(), QString("TabSheet2"));
        QVERIFY(!ws.detail(4)->isOpen());
        // every tab shows the current customer's records
        const int expected[] = {0, 1, 2, 1, 2, 1, 1, 1, 1, 1};
        for (int row = 0; row < p.detailList()->count(); ++row) {
            p.detailList()->setCurrentRow(row);
            const int tab = p.CurrentTab();
            QCOMPARE(p.pages()->currentWidget()->objectName(), QString("TabSheet%1").arg(tab));
            QVERIFY2(ws.detail(tab)->isOpen(), qPrintable(QString::number(tab)));
            QCOMPARE(p.grid(tab)->objectName(), QString("DBGridEh%1").arg(tab + 1));
            QCOMPARE(p.grid(tab)->dataSet(), ws.detail(tab));
            QVERIFY(p.grid(tab)->isReadOnly());
            ws.QryMain->setCurrentRow(0);
            QCOMPARE(ws.detail(tab)->recordCount(), expected[tab]);
            ws.QryMain->setCurrentRow(1);
            QCOMPARE(ws.detail(tab)->recordCount(), tab == 4 ? 2 : 1);
            ws.QryMain->setCurrentRow(0);
        }
        QVERIFY(ws.QryDetail51->isOpen());
        if (!screenshotDir().isEmpty()) {
            p.resize(900, 320);
            p.show();
            for (int row = 0; row < p.detailList()->count(); ++row) {
                p.detailList()->setCurrentRow(row);
                QApplication::processEvents();
                screenshot(&p, QString("detailpanel-tab%1").arg(p.CurrentTab()));
            }
        }
        // footers: sums of amounts, blank empty dates
        p.chooseTab(4);
        DataGrid *g = p.grid(4);
        QCOMPARE(g->footerText(0), QStringLiteral("合计"));
        QCOMPARE(g->footerText(g->columnOfField("F_HTprice")), QString("2,000.50"));
        QCOMPARE(p.grid(8)->cellText(0, p.grid(8)->columnOfField("F_price")), QString("1.123456"));
        QVERIFY(!p.grid(8)->hasFooter());
        QCOMPARE(p.grid(2)->cellText(0, p.grid(2)->columnOfField("F_birthday")), QString());
    }

    void commandsOnTheTabInFront()
    {
        TestDb t;
        addData(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 0);
        DetailPanel p(&ws);
        p.resize(700, 300);
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        bool editVisible = true;
        p.setActionVisibility([&](const QString &a) { return a != "Action202" || editVisible; });
        p.BuildDetailList();
        Script s;
        // before any tab was chosen
        p.action("Action903")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("请点击一下相关的表格。")});
        p.ShowFirstTab();
        QCOMPARE(p.CurrentTab(), 1);
        // activities have no edit window here yet: new and edit are off
        QVERIFY(!p.action("Action901")->isEnabled());
        QVERIFY(!p.action("Action902")->isEnabled());
        p.chooseTab(2);
        QVERIFY(p.action("Action901")->isEnabled() && p.action("Action902")->isEnabled());
        // new and edit open the contact window
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->windowTitle(), QStringLiteral("联系人档案 - 新增")); }();
            d->findChild<QLineEdit *>("edtName")->setText(QStringLiteral("新联系人"));
            click(d, "Button1"); // continuous add: stays
            click(d, "Button2");
            return d->result();
        });
        p.action("Action901")->trigger();
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 3);
        QCOMPARE(ws.detail(2)->text("F_name"), QStringLiteral("新联系人"));
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->findChild<QLineEdit *>("edtName")->text(), QStringLiteral("新联系人")); }();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(p.grid(2)->viewport(), Qt::LeftButton, {}, p.grid(2)->visualRect(p.grid(2)->model()->index(2, 0)).center());
        QTest::mouseDClick(p.grid(2)->viewport(), Qt::LeftButton, {}, p.grid(2)->visualRect(p.grid(2)->model()->index(2, 0)).center());
        QCOMPARE(s.dialogsShown(), (QStringList{"TfrmEmpEdit", "TfrmEmpEdit"}));
        // without the customer edit permission edit does nothing at all
        editVisible = false;
        p.action("Action902")->trigger();
        QCOMPARE(s.dialogsShown().size(), 2);
        editVisible = true;
        // delete: the question, then the row is gone; no keeps it
        p.grid(2)->setFocus();
        ws.detail(2)->first();
        s.answer(2);
        QTest::keyClick(p.grid(2), Qt::Key_Delete);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前联系人联系人1吗？")});
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 3);
        s.answer(1);
        p.action("Action903")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前联系人联系人1吗？")});
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 2);
        QCOMPARE(ws.detail(2)->recordCount(), 2);
        // a tab with nothing to edit
        ws.QryMain->setCurrentRow(1);
        ws.detail(2)->first();
        s.answer(1);
        p.action("Action903")->trigger();
        s.takeTexts();
        p.action("Action902")->trigger();
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("此表为空，没有联系人记录需要修改！"));
        QCOMPARE(m.first().kind, 3);
        // the tool bar and the pop-up menu carry the commands
        QCOMPARE(p.findChild<QToolBar *>("ToolBar2")->actions().size(), 5);
        QCOMPARE(p.findChild<QMenu *>("PopupMenu4")->actions().size(), 7);
    }

    void newWithoutCustomers()
    {
        TestDb t;
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 0);
        DetailPanel p(&ws);
        int focused = 0;
        p.setCustomerGridFocus([&] { ++focused; });
        p.BuildDetailList();
        p.ShowFirstTab();
        p.chooseTab(2);
        Script s;
        p.action("Action901")->trigger();
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("请先选择要增加联系人的客户！"));
        QCOMPARE(m.first().kind, 0);
        QCOMPARE(focused, 1);
        QVERIFY(s.dialogsShown().isEmpty());
    }

    // The panel in the main window: the tabs follow the customer list, and the
    // customer commands open the customer window.
    void inTheMainWindow()
    {
        TestDb t;
        addData(t);
        Script s;
        TFrmMain w;
        QVERIFY(LoginService::LoadLoginState("000", QStringLiteral("系统管理员"), &w));
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DetailPanel *p = w.detailPanel();
        QVERIFY(p && w.isAncestorOf(p));
        QCOMPARE(p->detailList()->count(), 9);
        QCOMPARE(w.CurrentTab(), 1);
        QVERIFY(w.workspace()->detail(1)->isOpen());
        QCOMPARE(w.QryMain()->recordCount(), 2);
        for (int row = 0; row < 9; ++row) {
            p->detailList()->setCurrentRow(row);
            QCOMPARE(w.CurrentTab(), row + 1);
            QVERIFY(w.workspace()->detail(row + 1)->isOpen());
            screenshot(&w, QString("mainwindow-tab%1").arg(row + 1));
        }
        p->chooseTab(2);
        QCOMPARE(w.workspace()->detail(2)->recordCount(), 2);
        w.QryMain()->setCurrentRow(1);
        QCOMPARE(w.workspace()->detail(2)->recordCount(), 1);

        // Ctrl+A: a new customer, saved and current, the count follows
        s.onModal([&](QDialog *d) {
            [&] { QCOMPARE(d->windowTitle(), QStringLiteral("客户档案 - 新增")); }();
            d->findChild<QLineEdit *>("edtName")->setText(QStringLiteral("丙公司"));
            d->findChild<QCheckBox *>("CheckBox1")->setChecked(false);
            click(d, "Button1");
            return d->result();
        });
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.DBGridEh1()->setFocus();
        QTest::keyClick(w.DBGridEh1(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(t.count("t_client"), 3);
        QCOMPARE(w.QryMain()->text("F_name"), QStringLiteral("丙公司"));
        QCOMPARE(w.QryMain()->text("F_cltID"), QString("3"));
        QCOMPARE(w.findChild<QLabel *>("lblCLTnum")->text(), QStringLiteral("客户总数： 3 个"));
        QCOMPARE(w.workspace()->detail(2)->recordCount(), 0);
        // Ctrl+E and the copy
        w.QryMain()->setCurrentRow(0);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.DBGridEh1()->setFocus();
        s.onModal([&](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("客户档案 - 修改"));
                QCOMPARE(d->findChild<QLineEdit *>("edtName")->text(), QStringLiteral("甲公司"));
            }();
            click(d, "Button2");
            return d->result();
        });
        QTest::keyClick(w.DBGridEh1(), Qt::Key_E, Qt::ControlModifier);
        s.onModal([&](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("客户档案 - 新增"));
                QCOMPARE(d->findChild<QLineEdit *>("edtName")->text(), QStringLiteral("甲公司"));
                QCOMPARE(d->findChild<QLineEdit *>("edtcode")->text(), QString());
            }();
            click(d, "Button2");
            return d->result();
        });
        w.action("207")->trigger();
        QCOMPARE(s.dialogsShown().size(), 3);
        QCOMPARE(w.workspace()->detail(2)->recordCount(), 2); // the customer's contacts again
        // Delete in a detail grid deletes the contact; in the customer grid it does not
        DataGrid *contacts = p->grid(2);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        contacts->setFocus();
        s.answer(2);
        QTest::keyClick(contacts, Qt::Key_Delete);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前联系人联系人1吗？")});
        w.DBGridEh1()->setFocus();
        QTest::keyClick(w.DBGridEh1(), Qt::Key_Delete);
        QVERIFY(!s.hasMessages());
        // the commands of a tab whose edit window comes later are off
        p->chooseTab(5);
        QVERIFY(!w.action("901")->isEnabled());
        p->chooseTab(2);
        QVERIFY(w.action("901")->isEnabled());
    }

    void editWithAnEmptyList()
    {
        TestDb t;
        Script s;
        TFrmMain w;
        QVERIFY(LoginService::LoadLoginState("000", QStringLiteral("系统管理员"), &w));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.action("202")->trigger();
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("此表为空，没有客户记录需要修改！"));
        QCOMPARE(m.first().kind, 3);
        w.detailPanel()->chooseTab(2);
        w.action("901")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("请先选择要增加联系人的客户！")});
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.DBGridEh1()));
    }

    void sortLayoutAndExport()
    {
        TestDb t;
        addData(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 0);
        DetailPanel p(&ws);
        p.BuildDetailList();
        p.ShowFirstTab();
        p.chooseTab(4);
        Script s;
        // sort by the dialog
        s.onModal([](QDialog *d) {
            auto *vle = d->findChild<QTableWidget *>("vle1");
            if (!vle)
                return int(QDialog::Rejected);
            for (int r = 0; r < vle->rowCount(); ++r)
                if (vle->item(r, 0) && vle->item(r, 0)->text() == QStringLiteral("合同金额"))
                    vle->item(r, 1)->setText(QStringLiteral("升序"));
            click(d, "btnOk");
            return d->result();
        });
        p.action("Action904")->trigger();
        QCOMPARE(ws.detail(4)->sortText().toLower(), QString("f_htprice asc,"));
        QCOMPARE(ws.detail(4)->value(0, "F_HTname").toString(), QStringLiteral("合同二"));
        // the layout is saved only on yes
        p.grid(4)->setColumnVisible(1, false);
        s.answer(2);
        p.action("Action906")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要保存当前网格设置吗？")});
        QCOMPARE(t.count("cfg_Grid", "F_name = 'detail5' and F_Visible = 0"), 0);
        s.answer(1);
        p.action("Action906")->trigger();
        s.takeTexts();
        QCOMPARE(t.count("cfg_Grid", "F_name = 'detail5' and F_FieldName = 'F_HTcode' and F_Visible = 0"), 1);
        // the stored layout comes back
        DetailPanel q(&ws);
        q.LoadGridLayouts();
        QVERIFY(!q.grid(4)->column(q.grid(4)->columnOfField("F_HTcode")).visible);
        QCOMPARE(q.grid(4)->column(0).footerValue, QStringLiteral("合计"));
        QCOMPARE(q.grid(4)->column(q.grid(4)->columnOfField("F_HTprice")).footerType, DataGridColumn::FooterType::Sum);
        for (int n = 1; n <= 9; ++n)
            QVERIFY2(t.count("cfg_Grid", "F_name = :n", {{"n", QString("detail%1").arg(n + 1)}}) > 0, qPrintable(QString::number(n)));
        // export with the tab's title
        p.action("Action31")->trigger();
        QCOMPARE(s.urls.size(), 1);
        const QString path = s.urls.first().toLocalFile();
        const QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(book.value("sheets").toArray().first().toString(), QStringLiteral("合同管理记录"));
        QCOMPARE(book.value("maxRow").toInt() >= 3, true);
        QFile::remove(path);
    }
};

QTEST_MAIN(TestDetailPanel)
#include "tst_detailpanel.moc"
