// The main window's customer list driven as the operator does: typing in the
// search bar, the industry tree, the value list, the advanced search, the
// commands on the list and the keys.
#include "app/AppConst.h"
#include "app/AppState.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/DatePicker.h"
#include "security/LoginService.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"
#include "workspace/ClientListPanel.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/TDlgCltCx.h"
#include "workspace/TFrmMain.h"
#include "workspace/WorkspaceCommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace TestSupport;

namespace {
struct Customer
{
    int cltID;
    const char *code, *name, *city, *address, *phone, *fax, *postcode, *enrol, *shuihao, *good, *hangye, *type, *laiyuan,
        *province, *xuqiu, *empName;
    bool stopped;
};

// Six customers; C004 is stopped; C005 sits in a category that merely starts
// like 制造业; C005 and C006 carry LIKE wildcards and a quote in their names.
const Customer kCustomers[] = {
    {1, "C001", "甲科技有限公司", "北京", "北京市海淀区中关村", "010-8888", "010-6666", "100080", "王伟", "110101", "软件开发",
     "\\\\信息技术\\软件开发", "重要客户", "展会", "北京", "软件", "张三", false},
    {2, "C002", "乙电子设备厂", "上海", "上海市浦东新区", "021-5555", "021-4444", "200120", "李强", "310101", "电子元件",
     "\\\\制造业\\电子设备", "普通客户", "网络推广", "上海", "设备", "李四", false},
    {3, "C003", "丙科技贸易公司", "广州", "广州市天河区", "020-3333", "020-2222", "510620", "陈静", "440101", "日用百货",
     "\\\\批发零售\\商贸公司", "重要客户", "展会", "广东", "贸易", "", false},
    {4, "C004", "丁制造集团", "北京", "北京市朝阳区", "010-7777", "010-1111", "100020", "王强", "110105", "机床",
     "\\\\制造业", "普通客户", "展会", "北京", "设备", "张三", true},
    {5, "C005", "戊100%纯净水公司", "杭州", "杭州市西湖区", "0571-888", "0571-999", "310012", "周洁", "330101", "饮用水",
     "\\\\制造业设备", "潜在客户", "老客户", "浙江", "饮品", "王五", false},
    {6, "C006", "己_O'Brien贸易", "深圳", "深圳市南山区", "0755-666", "0755-777", "518000", "吴昊", "440301", "进出口",
     "\\\\批发零售", "代理商", "展会", "广东", "贸易", "李四", false},
};

void addCustomers(const TestDb &t)
{
    for (const Customer &c : kCustomers) {
        const auto u = [](const char *s) { return QString::fromUtf8(s); };
        t.insert("t_client", {{"F_cltID", c.cltID}, {"F_code", u(c.code)}, {"F_name", u(c.name)}, {"F_city", u(c.city)},
                              {"F_address", u(c.address)}, {"F_phone", u(c.phone)}, {"F_fax", u(c.fax)},
                              {"F_postcode", u(c.postcode)}, {"F_enrol", u(c.enrol)}, {"F_shuihao", u(c.shuihao)},
                              {"F_good", u(c.good)}, {"F_hangye", u(c.hangye)}, {"F_type", u(c.type)},
                              {"F_laiyuan", u(c.laiyuan)}, {"F_country", QStringLiteral("中国")}, {"F_province", u(c.province)},
                              {"F_xuqiu", u(c.xuqiu)}, {"F_empName", u(c.empName)}, {"F_useFlag", c.stopped ? 1 : 0},
                              {"F_mem", QStringLiteral("备注%1").arg(7 - c.cltID)}, {"F_editdate", "2024-05-0" + QString::number(c.cltID)}});
    }
    t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("赵六")}});
    t.insert("t_linkman", {{"F_cltID", 2}, {"F_name", QStringLiteral("孙七")}});
    t.insert("t_GooDrec", {{"F_cltID", 2}, {"F_GDname", QStringLiteral("激光打印机")}});
    for (const char *n : {"张三", "李四", "王五"})
        t.insert("t_employee", {{"F_name", QString::fromUtf8(n)}});
}

// Operators: 001 sees own customers (scope 1), 002 those of 李四 and 王五 (scope 2).
void addScopedOperators(const TestDb &t)
{
    t.insert("PartList", {{"F_Code", "R1"}, {"F_Name", QStringLiteral("业务员")}, {"F_EmpFlag", 1}, {"F_EmpName", ""}});
    t.insert("PartList", {{"F_Code", "R2"}, {"F_Name", QStringLiteral("主管")}, {"F_EmpFlag", 2},
                          {"F_EmpName", QStringLiteral("'李四','王五'")}});
    t.insert("OperList", {{"F_Code", "001"}, {"F_Name", QStringLiteral("张三")}, {"F_PassWord", ""}, {"F_PartCode", "R1"}});
    t.insert("OperList", {{"F_Code", "002"}, {"F_Name", QStringLiteral("赵敏")}, {"F_PassWord", ""}, {"F_PartCode", "R2"}});
}

// The window after the login, shown.
void start(TFrmMain &w, const QString &code = QStringLiteral("000"), const QString &name = QStringLiteral("系统管理员"))
{
    QVERIFY(LoginService::LoadLoginState(code, name, &w));
    w.show();
}

QStringList codes(TFrmMain &w)
{
    QStringList out;
    DataSet *q = w.QryMain();
    for (int r = 0; r < q->recordCount(); ++r)
        out.append(q->value(r, "F_code").toString());
    return out;
}

QString countText(TFrmMain &w) { return child<QLabel>(&w, "lblCLTnum")->text(); }
QString countOf(int n) { return QStringLiteral("客户总数： %1 个").arg(n); }

// The count label always tells the rows shown.
#define CHECK_COUNT(w) QCOMPARE(countText(w), countOf((w).QryMain()->recordCount()))

QTreeWidgetItem *treeItem(TFrmMain &w, const QString &caption)
{
    const auto found = child<QTreeWidget>(&w, "tvTree")->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

int listRow(TFrmMain &w, const QString &value)
{
    auto *list = child<QTableWidget>(&w, "vleList");
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 1) && list->item(r, 1)->text() == value)
            return r;
    return -1;
}

QColor buttonTextColor(QWidget *b) { return b->palette().color(QPalette::ButtonText); }
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        useHome(m_home.path());
    }

    void startUpShowsTheWholeList()
    {
        TestDb t;
        addCustomers(t);
        t.exec("update cfg_Grid set F_Caption = :c, F_Width = 120 where F_name = 'clientmain' and F_FieldName = 'F_code'",
               {{"c", QStringLiteral("编号")}});
        Script s;
        TFrmMain w;
        start(w);

        QCOMPARE(codes(w), QStringList({"C001", "C002", "C003", "C005", "C006"}));
        QCOMPARE(countText(w), countOf(5));
        auto *tree = child<QTreeWidget>(&w, "tvTree");
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("行业类别"));
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QVERIFY(tree->editTriggers() == QAbstractItemView::NoEditTriggers);

        auto *rpc = child<QTabWidget>(&w, "rpcCrm");
        QCOMPARE(rpc->tabText(0), QStringLiteral(" 行业类别  "));
        QCOMPARE(rpc->tabText(1), QStringLiteral(" 项    目 "));
        auto *field = child<QComboBox>(&w, "ComboBox1");
        QCOMPARE(field->count(), 12);
        QCOMPARE(field->itemText(0), QStringLiteral("客户名称"));
        QCOMPARE(field->itemText(11), QStringLiteral("品    名"));
        QCOMPARE(field->currentIndex(), -1);
        QCOMPARE(child<QLabel>(&w, "lblSearchField")->buddy(), field);
        QCOMPARE(child<QLabel>(&w, "lblSearchValue")->buddy(), child<QLineEdit>(&w, "Edit1"));
        QVERIFY(!child<QCheckBox>(&w, "CheckBox1")->isChecked());
        QCOMPARE(child<QCheckBox>(&w, "CheckBox1")->text(), QStringLiteral("包含已停用"));
        QCOMPARE(child<QPushButton>(&w, "BitBtn1")->text(), QStringLiteral("查找(F3)"));
        QCOMPARE(child<QToolButton>(&w, "SpeedButton2")->text(), QStringLiteral("高级查找..."));
        QCOMPARE(child<QPushButton>(&w, "Button1")->text(), QStringLiteral("刷新列表"));

        auto *kind = child<QComboBox>(&w, "cbbListType");
        QCOMPARE(kind->count(), 6);
        QCOMPARE(kind->currentIndex(), 0);
        QCOMPARE(kind->itemText(5), QStringLiteral("业 务 员"));
        auto *list = child<QTableWidget>(&w, "vleList");
        QCOMPARE(list->columnCount(), 2);
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("0"));
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("全部"));
        QCOMPARE(list->rowCount(), 7); // 全部 and the six customer types
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("1"));
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("客户类型"));

        // the stored layout over the designed columns, custom titles from the state
        DataGrid *grid = w.DBGridEh1();
        QCOMPARE(grid->columnCount(), 40);
        QCOMPARE(grid->column(0).title, QStringLiteral("编号"));
        QCOMPARE(grid->column(0).width, 120);
        const int zf1 = grid->columnOfField("F_ZF1");
        QCOMPARE(grid->column(zf1).title, appState().custom(1));
        QCOMPARE(grid->column(grid->columnOfField("F_RQ3")).title, appState().custom(11));
        QCOMPARE(grid->column(grid->columnOfField("F_enrol")).title, QStringLiteral("法人代表"));
        QCOMPARE(grid->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(child<QLabel>(&w, "StatusPanel1")->text(), QStringLiteral(" 系统管理员"));
        // room for the detail tabs below the list
        auto *split = child<QSplitter>(&w, "splDetails");
        QCOMPARE(split->orientation(), Qt::Vertical);
        QCOMPARE(split->widget(1), w.clientList()->detailsArea());
    }

    void designedColumnsWithoutAStoredLayout()
    {
        TestDb t;
        t.exec("delete from cfg_Grid where F_name = 'clientmain'");
        Script s;
        TFrmMain w;
        start(w);
        DataGrid *grid = w.DBGridEh1();
        QCOMPARE(grid->columnCount(), 40);
        QCOMPARE(grid->column(0).fieldName, QString("F_code"));
        QCOMPARE(grid->column(0).title, QStringLiteral("客户编号"));
        QCOMPARE(grid->column(28).title, QStringLiteral("编辑日期"));
        for (const DataGridColumn &c : grid->columns())
            QCOMPARE(c.width, 80);
        QCOMPARE(grid->column(grid->columnOfField("F_SZ1")).title, appState().custom(6));
    }

    void missingLayoutTableIsReportedOnce()
    {
        TestDb t;
        addCustomers(t);
        QVERIFY(t.exec("drop table cfg_Grid"));
        Script s;
        TFrmMain w;
        start(w);
        // the list and every detail grid read a layout; the operator hears of it once
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("操作失败，请检查数据连接... ")});
        DataGrid *grid = w.DBGridEh1();
        QCOMPARE(grid->columnCount(), 40);
        QCOMPARE(grid->column(0).title, QStringLiteral("客户编号"));
        QCOMPARE(codes(w), QStringList({"C001", "C002", "C003", "C005", "C006"}));
    }

    void typingFiltersTheList_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("name anywhere") << 0 << QStringLiteral("科技") << QStringList{"C001", "C003"};
        QTest::newRow("code prefix") << 1 << QStringLiteral("C00") << QStringList{"C001", "C002", "C003", "C005", "C006"};
        QTest::newRow("code not inside") << 1 << QStringLiteral("002") << QStringList{};
        QTest::newRow("city prefix, stopped left out") << 2 << QStringLiteral("北") << QStringList{"C001"};
        QTest::newRow("address anywhere") << 3 << QStringLiteral("浦东") << QStringList{"C002"};
        QTest::newRow("phone prefix") << 4 << QStringLiteral("021") << QStringList{"C002"};
        QTest::newRow("phone not inside") << 4 << QStringLiteral("5555") << QStringList{};
        QTest::newRow("fax prefix") << 5 << QStringLiteral("0571") << QStringList{"C005"};
        QTest::newRow("postcode prefix") << 6 << QStringLiteral("5") << QStringList{"C003", "C006"};
        QTest::newRow("legal representative") << 7 << QStringLiteral("李") << QStringList{"C002"};
        QTest::newRow("tax number") << 8 << QStringLiteral("4403") << QStringList{"C006"};
        QTest::newRow("main products anywhere") << 9 << QStringLiteral("元件") << QStringList{"C002"};
        QTest::newRow("contact prefix") << 10 << QStringLiteral("赵") << QStringList{"C001"};
        QTest::newRow("product used") << 11 << QStringLiteral("打印") << QStringList{"C002"};
        QTest::newRow("case ignored") << 1 << QStringLiteral("c006") << QStringList{"C006"};
        QTest::newRow("blanks around") << 0 << QStringLiteral("  科技  ") << QStringList{"C001", "C003"};
    }

    void typingFiltersTheList()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(field);
        typeText(child<QLineEdit>(&w, "Edit1"), text);
        QCOMPARE(codes(w), expected);
        CHECK_COUNT(w);
    }

    void eachKeystrokeRefreshes()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *edit = child<QLineEdit>(&w, "Edit1");
        // no field chosen: typing refreshes but restricts nothing
        typeText(edit, QStringLiteral("科"));
        QCOMPARE(codes(w).size(), 5);
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(1);
        QVERIFY(edit->text().isEmpty()); // a new field starts with an empty box
        QCOMPARE(codes(w).size(), 5);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_C);
        QCOMPARE(codes(w).size(), 5);
        QTest::keyClicks(edit, "003");
        QCOMPARE(codes(w), QStringList{"C003"});
        CHECK_COUNT(w);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(codes(w).size(), 5);
        CHECK_COUNT(w);
        // the list may change underneath: 查找 and F3 read it again
        t.insert("t_client", {{"F_cltID", 7}, {"F_code", "C007"}, {"F_name", QStringLiteral("庚公司")}});
        child<QPushButton>(&w, "BitBtn1")->click();
        QCOMPARE(codes(w).size(), 6);
        t.exec("delete from t_client where F_code = 'C007'");
        QTest::keyClick(edit, Qt::Key_F3);
        QCOMPARE(codes(w).size(), 5);
        CHECK_COUNT(w);
    }

    void wildcardsAndQuotesAreTypedLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("percent") << QStringLiteral("%") << QStringList{"C005"};
        QTest::newRow("percent inside") << QStringLiteral("100%纯") << QStringList{"C005"};
        QTest::newRow("underscore") << QStringLiteral("_") << QStringList{"C006"};
        QTest::newRow("quote") << QStringLiteral("O'Brien") << QStringList{"C006"};
        QTest::newRow("bracket") << QStringLiteral("[") << QStringList{};
        QTest::newRow("statement in a box") << QStringLiteral("' or 1=1 --") << QStringList{};
    }

    void wildcardsAndQuotesAreTypedLiterally()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(0);
        typeText(child<QLineEdit>(&w, "Edit1"), text);
        QCOMPARE(codes(w), expected);
        QVERIFY(!s.hasMessages());
        QCOMPARE(t.count("t_client"), 6);
    }

    void industryTreeTakesInTheSubTree()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        auto *tree = child<QTreeWidget>(&w, "tvTree");
        QTreeWidgetItem *manufacturing = treeItem(w, QStringLiteral("制造业"));
        QVERIFY(manufacturing);
        // a click on the category
        tree->scrollToItem(manufacturing);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(manufacturing).center());
        QCOMPARE(tree->currentItem(), manufacturing);
        // its sub-category 电子设备, not the namesake 制造业设备, not the stopped C004
        QCOMPARE(codes(w), QStringList{"C002"});
        CHECK_COUNT(w);
        child<QCheckBox>(&w, "CheckBox1")->click();
        QCOMPARE(codes(w), QStringList({"C002", "C004"}));
        tree->setCurrentItem(treeItem(w, QStringLiteral("电子设备")));
        QCOMPARE(codes(w), QStringList{"C002"});
        tree->setCurrentItem(treeItem(w, QStringLiteral("批发零售")));
        QCOMPARE(codes(w), QStringList({"C003", "C006"}));
        // the root: no industry condition
        tree->setCurrentItem(tree->topLevelItem(0));
        QCOMPARE(codes(w).size(), 6);
        CHECK_COUNT(w);
    }

    void treeMenuReloadsTheTree()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        auto *menu = child<QMenu>(&w, "PopupMenu5");
        QStringList items;
        for (QAction *a : menu->actions())
            items.append(a->text());
        QCOMPARE(items, QStringList({QStringLiteral("行业类别"), QStringLiteral("刷        新")}));
        QCOMPARE(menu->actions().at(0), w.action("105"));
        child<QTreeWidget>(&w, "tvTree")->setCurrentItem(treeItem(w, QStringLiteral("制造业")));
        t.insert("t_treecode", {{"F_code", "011"}, {"F_name", QStringLiteral("农林牧渔")}, {"F_likecode", QStringLiteral("\\\\农林牧渔")},
                                {"F_flag", "hangyetype"}});
        child<QAction>(menu, "miTreeRefresh")->trigger();
        QVERIFY(treeItem(w, QStringLiteral("农林牧渔")));
        auto *tree = child<QTreeWidget>(&w, "tvTree");
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QCOMPARE(codes(w).size(), 5);

        // the category window: the tree is read again afterwards
        s.onModal([&t](QDialog *d) {
            [&] { QCOMPARE(d->objectName(), QString("TFrmTreeCodeMan")); }();
            t.insert("t_treecode", {{"F_code", "012"}, {"F_name", QStringLiteral("文化传媒")},
                                    {"F_likecode", QStringLiteral("\\\\文化传媒")}, {"F_flag", "hangyetype"}});
            return int(QDialog::Rejected);
        });
        w.action("105")->trigger();
        QVERIFY(treeItem(w, QStringLiteral("文化传媒")));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QVERIFY(tree->topLevelItem(0)->isExpanded());
    }

    void valueListFilters()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        auto *list = child<QTableWidget>(&w, "vleList");
        const int important = listRow(w, QStringLiteral("重要客户"));
        QVERIFY(important > 0);
        QCOMPARE(list->item(important, 0)->text(), QString::number(important));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(important, 1)).center());
        QCOMPARE(codes(w), QStringList({"C001", "C003"}));
        CHECK_COUNT(w);
        // 全部 removes the condition
        list->setCurrentCell(0, 1);
        QCOMPARE(codes(w).size(), 5);

        // another kind: the list is filled again and the customers unfiltered
        list->setCurrentCell(important, 1);
        auto *kind = child<QComboBox>(&w, "cbbListType");
        kind->setCurrentIndex(3);
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("省    份"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(codes(w).size(), 5);
        list->setCurrentCell(listRow(w, QStringLiteral("广东")), 1);
        QCOMPARE(codes(w), QStringList({"C003", "C006"}));
        kind->setCurrentIndex(1);
        list->setCurrentCell(listRow(w, QStringLiteral("老客户")), 1);
        QCOMPARE(codes(w), QStringList({"C005"}));
        kind->setCurrentIndex(4);
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("客户需求"));
        kind->setCurrentIndex(5);
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("业 务 员"));
        t.insert("t_code", {{"F_type", "empname"}, {"F_name", QStringLiteral("李四")}});
        child<QPushButton>(&w, "Button1")->click();
        QVERIFY(listRow(w, QStringLiteral("李四")) > 0);
        list->setCurrentCell(listRow(w, QStringLiteral("李四")), 1);
        QCOMPARE(codes(w), QStringList({"C002", "C006"}));
        kind->setCurrentIndex(2);
        list->setCurrentCell(listRow(w, QStringLiteral("中国")), 1);
        QCOMPARE(codes(w).size(), 5);
        CHECK_COUNT(w);
    }

    void filtersCombine()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(0);
        typeText(child<QLineEdit>(&w, "Edit1"), QStringLiteral("科技"));
        QCOMPARE(codes(w), QStringList({"C001", "C003"}));
        child<QTableWidget>(&w, "vleList")->setCurrentCell(listRow(w, QStringLiteral("重要客户")), 1);
        QCOMPARE(codes(w), QStringList({"C001", "C003"}));
        child<QTreeWidget>(&w, "tvTree")->setCurrentItem(treeItem(w, QStringLiteral("信息技术")));
        QCOMPARE(codes(w), QStringList({"C001"}));
        child<QTableWidget>(&w, "vleList")->setCurrentCell(listRow(w, QStringLiteral("普通客户")), 1);
        QCOMPARE(codes(w), QStringList());
        QCOMPARE(countText(w), countOf(0));
    }

    void stoppedCustomersInRed()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        QTest::mouseClick(child<QCheckBox>(&w, "CheckBox1"), Qt::LeftButton);
        QCOMPARE(codes(w).size(), 6);
        CHECK_COUNT(w);
        DataGrid *grid = w.DBGridEh1();
        const int stopped = codes(w).indexOf("C004");
        QCOMPARE(grid->rowColors(stopped).text, QColor(255, 0, 0));
        QCOMPARE(grid->rowColors(stopped).background, QApplication::palette().color(QPalette::Button));
        QVERIFY(!grid->rowColors(0).text.isValid());
        QVERIFY(!grid->rowColors(0).background.isValid());
        QTest::mouseClick(child<QCheckBox>(&w, "CheckBox1"), Qt::LeftButton);
        QCOMPARE(codes(w).size(), 5);
    }

    void advancedSearch()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        auto *button = child<QToolButton>(&w, "SpeedButton2");
        QVERIFY(button->isCheckable());

        // confirmed: the button stays down and red
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->objectName(), QString("DlgCltCx")); }();
            child<QLineEdit>(d, "edtName")->setText(QStringLiteral("科技"));
            click(d, "Button1");
            return d->result();
        });
        button->click();
        QCOMPARE(codes(w), QStringList({"C001", "C003"}));
        CHECK_COUNT(w);
        QVERIFY(button->isChecked());
        QCOMPARE(buttonTextColor(button), QColor(255, 0, 0));
        // the next keystroke returns to the ordinary filters
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(1);
        QVERIFY(!button->isChecked());
        QCOMPARE(buttonTextColor(button), QColor(Qt::black));
        QCOMPARE(codes(w).size(), 5);

        // stopped customers only, industry from the tree picker
        s.onModal([](QDialog *d) {
            child<QRadioButton>(d, "rbUseOff")->setChecked(true);
            click(d, "Button1");
            return d->result();
        });
        button->click();
        QCOMPARE(codes(w), QStringList({"C004"}));
        QTest::keyClick(child<QLineEdit>(&w, "Edit1"), Qt::Key_C);
        QVERIFY(!button->isChecked());
        QCOMPARE(codes(w).size(), 5);

        // releasing the button returns to the ordinary filters too
        s.onModal([](QDialog *d) {
            child<QRadioButton>(d, "rbUseAll")->setChecked(true);
            click(d, "Button1");
            return d->result();
        });
        button->click();
        QCOMPARE(codes(w).size(), 6);
        button->click();
        QVERIFY(!button->isChecked());
        QCOMPARE(buttonTextColor(button), QColor(Qt::black));
        QCOMPARE(codes(w).size(), 5);

        // cancelled by 关闭 or Esc: released, the list as it was
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(0);
        typeText(child<QLineEdit>(&w, "Edit1"), QStringLiteral("科技"));
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtName")->setText(QStringLiteral("乙"));
            click(d, "Button2");
            return d->result();
        });
        button->click();
        QVERIFY(!button->isChecked());
        QCOMPARE(buttonTextColor(button), QColor(Qt::black));
        QCOMPARE(codes(w), QStringList({"C001", "C003"}));
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtName")->setText(QStringLiteral("乙"));
            QTest::keyClick(child<QLineEdit>(d, "edtName"), Qt::Key_Escape);
            return d->result();
        });
        button->click();
        QVERIFY(!button->isChecked());
        QCOMPARE(codes(w), QStringList({"C001", "C003"}));
        QVERIFY(w.isVisible()); // Esc in the dialog is not the main window's Esc
    }

    void advancedSearchDialog()
    {
        TestDb t;
        addCustomers(t);
        t.insert("t_CJrec", {{"F_cltID", 3}, {"F_date", "2024-03-10"}});
        t.insert("t_LXrec", {{"F_cltID", 2}, {"F_date", QDate::currentDate().toString("yyyy-MM-dd")}});
        Script s;
        TFrmMain w;
        start(w);
        TDlgCltCx d(&w);
        QCOMPARE(d.windowTitle(), QStringLiteral("客户查询对话框"));
        d.show();
        auto *pages = child<QTabWidget>(&d, "PageControl1");
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), QStringLiteral(" 备注信息 "));
        QCOMPARE(pages->tabText(1), QStringLiteral(" 主联系人 "));
        QCOMPARE(pages->tabText(2), QStringLiteral("自定义项 "));
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(child<QRadioButton>(&d, "rbUseOn")->isChecked());
        QCOMPARE(child<QRadioButton>(&d, "rbUseAll")->text(), QStringLiteral("全    部"));
        QCOMPARE(child<QLabel>(&d, "lblZF1")->text(), appState().custom(1) + QStringLiteral("："));
        QCOMPARE(child<QLabel>(&d, "lblZF1")->buddy(), child<QLineEdit>(&d, "edtZF1"));
        QCOMPARE(child<QLabel>(&d, "lblName")->buddy(), child<QLineEdit>(&d, "edtName"));
        QCOMPARE(child<QCheckBox>(&d, "CheckBox1")->text(), QStringLiteral("成交日期：自"));
        QCOMPARE(child<QCheckBox>(&d, "CheckBox3")->text(), appState().custom(9) + QStringLiteral("：自"));
        QCOMPARE(child<QCheckBox>(&d, "CheckBox5")->text(), appState().custom(11) + QStringLiteral("：自"));
        QCOMPARE(child<QComboBox>(&d, "cbbcountry")->itemText(0), QStringLiteral("中国")); // code list order
        QVERIFY(child<QComboBox>(&d, "cbblaiyuan")->count() > 0);
        QCOMPARE(child<QComboBox>(&d, "cbbEmpname")->count(), 3);
        const QDate today = QDate::currentDate();
        QCOMPARE(child<DatePicker>(&d, "dtpfromDate")->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(child<DatePicker>(&d, "dtpfromDate2")->date(), QDate(2005, 5, 1));
        QCOMPARE(child<DatePicker>(&d, "dtptoDate4")->date(), today);
        for (const char *p : {"dtpfromDate", "dtptoDate", "dtpfromDate1", "dtptoDate4"}) {
            QVERIFY2(!child<DatePicker>(&d, p)->isEnabled(), p);
            QVERIFY2(child<DatePicker>(&d, p)->isChecked(), p);
            QVERIFY2(child<DatePicker>(&d, p)->showCheckBox(), p);
        }
        child<QCheckBox>(&d, "CheckBox2")->setChecked(true);
        QVERIFY(child<DatePicker>(&d, "dtpfromDate1")->isEnabled());
        QVERIFY(child<DatePicker>(&d, "dtptoDate1")->isEnabled());
        QVERIFY(!child<DatePicker>(&d, "dtpfromDate")->isEnabled());

        // entering a list reads it; the typed text stays
        auto *type = child<QComboBox>(&d, "cbbtype");
        QCOMPARE(type->count(), 0);
        type->setEditText(QStringLiteral("重要"));
        type->setFocus();
        QApplication::processEvents();
        QCOMPARE(type->count(), 6);
        QCOMPARE(type->currentText(), QStringLiteral("重要"));
        QVERIFY(type->lineEdit()->maxLength() == 100);
        QCOMPARE(child<QLineEdit>(&d, "edtName")->maxLength(), 100);

        // follow-ups this month
        type->setEditText(QString());
        SqlStatement st = d.search().statement();
        st.sql += " order by F_ID";
        w.workspace()->RefreshClientList(st, 0);
        QCOMPARE(codes(w), QStringList{"C002"});
        // a deal at any date: both bounds unticked
        child<QCheckBox>(&d, "CheckBox2")->setChecked(false);
        child<QCheckBox>(&d, "CheckBox1")->setChecked(true);
        w.workspace()->RefreshClientList(d.search().statement(), 0);
        QCOMPARE(codes(w), QStringList());
        child<DatePicker>(&d, "dtpfromDate")->setChecked(false);
        child<DatePicker>(&d, "dtptoDate")->setChecked(false);
        w.workspace()->RefreshClientList(d.search().statement(), 0);
        QCOMPARE(codes(w), QStringList{"C003"});

        // the industry picker puts the chosen path into the box
        s.onModal([](QDialog *picker) {
            [&] { QCOMPARE(picker->objectName(), QString("TFrmTreeCodeMan")); }();
            auto *tree = child<QTreeWidget>(picker, "tvTree");
            tree->setCurrentItem(tree->findItems(QStringLiteral("电子设备"), Qt::MatchExactly | Qt::MatchRecursive).value(0));
            click(picker, "btnOk");
            return picker->result();
        });
        click(&d, "SpeedButton3");
        QCOMPARE(child<QLineEdit>(&d, "edthangye")->text(), QStringLiteral("\\\\制造业\\电子设备"));

        // Enter moves on in boxes, not in the memo
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto *name = child<QLineEdit>(&d, "edtName");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&d, "edtcode"));
        QVERIFY(d.isVisible());
        auto *memo = child<QPlainTextEdit>(&d, "Mem");
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(memo->toPlainText(), QString("\n"));
        // Ctrl+S confirms
        QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void advancedSearchUnderScopeOne()
    {
        TestDb t;
        addCustomers(t);
        addScopedOperators(t);
        Script s;
        TFrmMain w;
        start(w, "001", QStringLiteral("张三"));
        QCOMPARE(codes(w), QStringList{"C001"});
        s.onModal([](QDialog *d) {
            auto *emp = child<QComboBox>(d, "cbbEmpname");
            [&] {
                QVERIFY(!emp->isEnabled());
                QCOMPARE(emp->currentText(), QStringLiteral("张三"));
            }();
            child<QRadioButton>(d, "rbUseAll")->setChecked(true);
            click(d, "Button1");
            return d->result();
        });
        child<QToolButton>(&w, "SpeedButton2")->click();
        QCOMPARE(codes(w), QStringList({"C001", "C004"}));
    }

    void salespersonScope()
    {
        TestDb t;
        addCustomers(t);
        addScopedOperators(t);
        {
            Script s;
            TFrmMain w;
            start(w, "001", QStringLiteral("张三"));
            // own customers only; customers without a salesperson are hidden
            QCOMPARE(codes(w), QStringList{"C001"});
            QTest::mouseClick(child<QCheckBox>(&w, "CheckBox1"), Qt::LeftButton);
            QCOMPARE(codes(w), QStringList({"C001", "C004"}));
            CHECK_COUNT(w);
        }
        {
            Script s;
            TFrmMain w;
            start(w, "002", QStringLiteral("赵敏"));
            QCOMPARE(codes(w), QStringList({"C002", "C005", "C006"}));
            child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(0);
            typeText(child<QLineEdit>(&w, "Edit1"), QStringLiteral("贸易"));
            QCOMPARE(codes(w), QStringList{"C006"});
        }
    }

    void reLoginRefreshesUnderTheNewScope()
    {
        TestDb t;
        addCustomers(t);
        addScopedOperators(t);
        Script s;
        TFrmMain w;
        start(w);
        QCOMPARE(codes(w).size(), 5);
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtOperCode")->setText("001");
            click(d, "btnOk");
            return d->result();
        });
        child<QAction>(&w, "N43")->trigger();
        QCOMPARE(appState().OperName, QStringLiteral("张三"));
        QCOMPARE(codes(w), QStringList{"C001"});
        CHECK_COUNT(w);
        // a cancelled switch leaves the list alone
        s.onModal([](QDialog *d) {
            click(d, "btnCancel");
            return d->result();
        });
        child<QAction>(&w, "N43")->trigger();
        QCOMPARE(codes(w), QStringList{"C001"});
    }

    void titleClickSorts()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        DataGrid *grid = w.DBGridEh1();
        QHeaderView *header = grid->horizontalHeader();
        const auto clickTitle = [&](const QString &field) {
            const int pos = grid->columnOfField(field);
            const int logical = header->logicalIndex(pos);
            grid->scrollTo(grid->model()->index(0, logical));
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(logical) + 10, header->height() / 2));
            return pos;
        };
        const int code = clickTitle("F_code");
        QCOMPARE(grid->column(code).sortMarker, DataGridColumn::SortMarker::Ascending);
        QCOMPARE(codes(w), QStringList({"C001", "C002", "C003", "C005", "C006"}));
        clickTitle("F_code");
        QCOMPARE(grid->column(code).sortMarker, DataGridColumn::SortMarker::Descending);
        QCOMPARE(codes(w), QStringList({"C006", "C005", "C003", "C002", "C001"}));
        clickTitle("F_code");
        QCOMPARE(grid->column(code).sortMarker, DataGridColumn::SortMarker::Ascending);
        QCOMPARE(codes(w).first(), QString("C001"));
        clickTitle("F_code");
        // a memo column: only its marker moves
        const int memo = clickTitle("F_mem");
        QCOMPARE(grid->column(memo).sortMarker, DataGridColumn::SortMarker::Ascending);
        QCOMPARE(codes(w).first(), QString("C006"));
        // the next refresh is in F_ID order without markers
        child<QPushButton>(&w, "BitBtn1")->click();
        QCOMPARE(codes(w), QStringList({"C001", "C002", "C003", "C005", "C006"}));
        QCOMPARE(grid->column(code).sortMarker, DataGridColumn::SortMarker::None);
        QCOMPARE(grid->column(memo).sortMarker, DataGridColumn::SortMarker::None);

        // the sort dialog: its text becomes the sort; cancelled, no sort
        clickTitle("F_code");
        clickTitle("F_code");
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->objectName(), QString("frmRowArrangeGl")); }();
            return int(QDialog::Rejected);
        });
        w.action("204")->trigger();
        QCOMPARE(w.QryMain()->sortText(), QString());
        QCOMPARE(grid->column(code).sortMarker, DataGridColumn::SortMarker::None);
    }

    void bulkChangeOfIndustry()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        DataGrid *grid = w.DBGridEh1();
        const QString question = QStringLiteral("真的要改变当前所选客户的行业类型吗？");
        const QString path = QStringLiteral("\\\\信息技术\\系统集成");

        // declined: nothing asked further
        s.answer(2);
        w.action("208")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{question});

        grid->selectRows({0, 1});
        s.answer(1);
        s.onModal([&path](QDialog *d) {
            [&] {
                QCOMPARE(d->objectName(), QString("DLGenterCaption"));
                QCOMPARE(d->windowTitle(), QStringLiteral("行业类型名称"));
                QVERIFY(child<QWidget>(d, "sbtype")->isVisibleTo(d));
            }();
            child<QLineEdit>(d, "edtCurValue")->setText(path);
            click(d, "btnOk");
            return d->result();
        });
        w.action("208")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{question});
        QCOMPARE(t.count("t_client", "F_hangye = :p", {{"p", path}}), 2);
        QCOMPARE(t.count("t_client", "F_hangye = :p and F_code in ('C001', 'C002')", {{"p", path}}), 2);
        // shown at once, without a refresh
        QCOMPARE(w.QryMain()->value(1, "F_hangye").toString(), path);
        QCOMPARE(codes(w).size(), 5);

        // one row refused: the operator is told how many were not changed
        t.exec("create trigger no_change before update of F_hangye on t_client when new.F_cltID = 3 "
               "begin select raise(abort, 'refused'); end");
        grid->selectRows({0, 1, 2});
        s.answer(1);
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtCurValue")->setText(QStringLiteral("\\\\金融保险"));
            click(d, "btnOk");
            return d->result();
        });
        w.action("208")->trigger();
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 2);
        QCOMPARE(m.at(1).text, QStringLiteral("所选的 3 个客户中有 1 个的行业类型没有更改成功，请检查数据连接后再试一次！"));
        QCOMPARE(m.at(1).kind, 3);
        QCOMPARE(t.count("t_client", "F_hangye = :p", {{"p", QStringLiteral("\\\\金融保险")}}), 2);
        QCOMPARE(w.QryMain()->value(2, "F_hangye").toString(), QStringLiteral("\\\\批发零售\\商贸公司"));

        // nothing selected
        grid->clearSelection();
        s.answer(1);
        s.onModal([](QDialog *d) {
            child<QLineEdit>(d, "edtCurValue")->setText(QStringLiteral("\\\\金融保险"));
            click(d, "btnOk");
            return d->result();
        });
        w.action("208")->trigger();
        QCOMPARE(s.takeMessages().last().text, QStringLiteral("请选择需要更改行业类型的客户资料！"));
        // cancelled value dialog
        grid->selectRows({0});
        s.answer(1);
        s.onModal([](QDialog *d) {
            click(d, "btnCancel");
            return d->result();
        });
        w.action("208")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{question});
        QCOMPARE(t.count("t_client", "F_hangye = :p", {{"p", QStringLiteral("\\\\金融保险")}}), 2);
    }

    void bulkChangeOfSalesperson()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        w.DBGridEh1()->selectRows({2, 4});
        s.answer(1);
        s.onModal([](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("业务员名称"));
                QVERIFY(!child<QWidget>(d, "sbtype")->isVisibleTo(d));
            }();
            auto *emp = child<QComboBox>(d, "cbbEmpname");
            emp->setCurrentIndex(emp->findText(QStringLiteral("王五")));
            click(d, "btnOk");
            return d->result();
        });
        w.action("218")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要改变当前所选客户的业务员吗？")});
        QCOMPARE(t.count("t_client", "F_empName = :n", {{"n", QStringLiteral("王五")}}), 3);
        QCOMPARE(w.QryMain()->value(2, "F_empName").toString(), QStringLiteral("王五"));

        t.exec("create trigger no_change before update of F_empName on t_client begin select raise(abort, 'refused'); end");
        w.DBGridEh1()->selectRows({0, 1});
        s.answer(1);
        s.onModal([](QDialog *d) {
            auto *emp = child<QComboBox>(d, "cbbEmpname");
            emp->setCurrentIndex(emp->findText(QStringLiteral("王五")));
            click(d, "btnOk");
            return d->result();
        });
        w.action("218")->trigger();
        QCOMPARE(s.takeMessages().last().text, QStringLiteral("所选的 2 个客户中有 2 个的业务员没有更改成功，请检查数据连接后再试一次！"));
        w.DBGridEh1()->clearSelection();
        s.answer(1);
        s.onModal([](QDialog *d) {
            auto *emp = child<QComboBox>(d, "cbbEmpname");
            emp->setCurrentIndex(0);
            click(d, "btnOk");
            return d->result();
        });
        w.action("218")->trigger();
        QCOMPARE(s.takeMessages().last().text, QStringLiteral("请选择需要更改业务员的客户资料！"));
    }

    void customerDelete()
    {
        TestDb t;
        addCustomers(t);
        t.insert("t_LXrec", {{"F_cltID", 2}, {"F_caption", "x"}});
        t.insert("t_XSrec", {{"F_cltID", 2}, {"F_code", "XS1"}});
        Script s;
        TFrmMain w;
        start(w);
        w.QryMain()->setCurrentRow(1);
        const QString question = QStringLiteral("删除当前客户，将删除当前客户所有相关记录，\n真的要删除当前客户乙电子设备厂吗？");
        s.answer(2);
        w.action("203")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{question});
        QCOMPARE(codes(w).size(), 5);

        s.answer(1);
        w.action("203")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{question});
        QCOMPARE(codes(w), QStringList({"C001", "C003", "C005", "C006"}));
        CHECK_COUNT(w);
        QCOMPARE(t.count("t_client", "F_cltID = 2"), 0);
        QCOMPARE(t.count("t_linkman", "F_cltID = 2"), 0);
        QCOMPARE(t.count("t_LXrec", "F_cltID = 2"), 0);
        QCOMPARE(t.count("t_XSrec", "F_cltID = 2"), 1); // sales bills stay
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 1);

        // Ctrl+S is the delete key of the list
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.DBGridEh1()->setFocus();
        w.QryMain()->setCurrentRow(0);
        s.answer(2);
        QTest::keyClick(w.DBGridEh1(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(s.takeTexts().size(), 1);
    }

    void clearEmptyRows()
    {
        TestDb t;
        addCustomers(t);
        t.insert("t_client", {{"F_cltID", 8}, {"F_code", ""}, {"F_name", ""}});
        t.insert("t_client", {{"F_cltID", 0}, {"F_code", ""}, {"F_name", ""}});
        Script s;
        TFrmMain w;
        start(w);
        QCOMPARE(codes(w).size(), 7);
        QVERIFY(child<QAction>(&w, "N82")->isEnabled());
        child<QAction>(&w, "N82")->trigger();
        QVERIFY(!s.hasMessages()); // without asking
        QCOMPARE(codes(w).size(), 5);
        CHECK_COUNT(w);
        QCOMPARE(t.count("t_client"), 6);
    }

    void exportWritesAWorkbook()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        w.action("301")->trigger();
        QCOMPARE(s.urls.size(), 1);
        const QString path = s.urls.at(0).toLocalFile();
        QVERIFY(path.startsWith(QDir(m_home.path()).filePath("Documents")));
        const QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(book.value("sheets").toArray(), QJsonArray{QStringLiteral("客户档案资料")});
        QCOMPARE(book.value("maxRow").toInt(), 6);
        QCOMPARE(ReadBack::cell(book, "A1").value("v").toString(), QStringLiteral("客户编号"));
        QCOMPARE(ReadBack::cell(book, "B1").value("v").toString(), QStringLiteral("客户名称"));
        QCOMPARE(ReadBack::cell(book, "B2").value("v").toString(), QStringLiteral("甲科技有限公司"));
        QCOMPARE(ReadBack::cell(book, "A6").value("v").toString(), QStringLiteral("C006"));
    }

    void layoutCommands()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        TFrmMain w;
        start(w);
        DataGrid *grid = w.DBGridEh1();
        // the column chooser
        s.onModal([](QDialog *d) {
            [&] { QCOMPARE(d->objectName(), QString("FrmDispFieldXZ")); }();
            return int(QDialog::Rejected);
        });
        w.action("205")->trigger();
        // the layout is saved after the question
        grid->setColumnVisible(grid->columnOfField("F_fax"), false);
        s.answer(2);
        w.action("206")->trigger();
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要保存当前网格设置吗？")});
        QCOMPARE(t.scalar("select F_Visible from cfg_Grid where F_name = 'clientmain' and F_FieldName = 'F_fax'").toInt(), 1);
        s.answer(1);
        w.action("206")->trigger();
        s.takeTexts();
        QCOMPARE(t.scalar("select F_Visible from cfg_Grid where F_name = 'clientmain' and F_FieldName = 'F_fax'").toInt(), 0);
        QCOMPARE(t.scalar("select F_Visible from cfg_Grid where F_name = 'clientmain' and F_FieldName = 'F_name'").toInt(), 1);
    }

    void keysAndDoubleClick()
    {
        TestDb t;
        addCustomers(t);
        Script s;
        // only the key routing is looked at here, not the commands themselves:
        // a stand-in edits the customer, and the detail delete is counted
        int edits = 0;
        CommandRegistry commands;
        registerWorkspaceCommands(commands);
        commands.replace("202", [&edits](CommandContext &) { ++edits; });
        TFrmMain w(commands);
        start(w);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // a detail grid in the lower half takes Delete for the detail delete
        auto *details = new QWidget;
        auto *detailGrid = new DataGrid(details);
        w.clientList()->setDetailsWidget(details);
        QCOMPARE(w.clientList()->detailsArea(), details);
        QObject::disconnect(w.action("903"), &QAction::triggered, nullptr, nullptr);
        int detailDeletes = 0;
        w.action("903")->setEnabled(true);
        w.action("903")->setVisible(true);
        connect(w.action("903"), &QAction::triggered, [&detailDeletes] { ++detailDeletes; });

        auto *edit = child<QLineEdit>(&w, "Edit1");
        edit->setFocus();
        edit->setText("abc");
        edit->setCursorPosition(0);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QString("bc"));
        QCOMPARE(detailDeletes, 0);
        w.DBGridEh1()->setFocus();
        QTest::keyClick(w.DBGridEh1(), Qt::Key_Delete);
        QCOMPARE(detailDeletes, 0);
        detailGrid->setFocus();
        QTest::keyClick(detailGrid, Qt::Key_Delete);
        QCOMPARE(detailDeletes, 1);
        w.action("903")->setVisible(false);
        QTest::keyClick(detailGrid, Qt::Key_Delete);
        QCOMPARE(detailDeletes, 1);

        // a double click on the list edits the customer, when that is offered
        QCOMPARE(edits, 0);

        // Ctrl+E that reaches the grid itself (the shortcut did not fire,
        // as when the window is not yet the active one) is still the window's
        w.action("202")->setEnabled(true);
        QKeyEvent ctrlE(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier);
        QCoreApplication::sendEvent(w.DBGridEh1(), &ctrlE);
        QCOMPARE(edits, 1);
        QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        w.action("201")->setEnabled(false); // not available: the key is the grid's again
        QCoreApplication::sendEvent(w.DBGridEh1(), &ctrlA);
        QCOMPARE(w.DBGridEh1()->selectedRows().size(), w.QryMain()->recordCount());
        edits = 0;
        DataGrid *grid = w.DBGridEh1();
        const QRect cell = grid->visualRect(grid->model()->index(0, grid->columnOfField("F_name")));
        w.action("202")->setEnabled(false);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(edits, 0); // not available
        w.action("202")->setEnabled(true);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(edits, 1);
        w.action("202")->setVisible(false);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(edits, 1);

        // the navigation button and the view menu agree
        auto *nav = child<QWidget>(&w, "rpcCrm");
        child<QToolButton>(&w, "SpeedButton1")->click();
        QVERIFY(!nav->isVisible());
        QVERIFY(!child<QAction>(&w, "nshitu2")->isChecked());
        child<QAction>(&w, "nshitu2")->trigger();
        QVERIFY(nav->isVisible());

        // Esc asks before closing
        edit->setFocus();
        s.answer(2);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要退出“Kelmor客户管理软件”软件吗？")});
        QVERIFY(w.isVisible());
        s.answer(1);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Escape);
        s.takeTexts();
        QVERIFY(!w.isVisible());
    }

    void connectionToolTakesOver()
    {
        TestDb t;
        Script s;
        TFrmMain w;
        start(w);
        w.action("505")->trigger();
        QCOMPARE(s.programs.size(), 1);
        QCOMPARE(s.programs.at(0).first, QString("Qelconn"));
        QVERIFY(!w.isVisible()); // no exit question
        // when it cannot be started the program stays
        TFrmMain w2;
        start(w2);
        s.programResult = false;
        w2.action("505")->trigger();
        QCOMPARE(s.takeMessages().value(0).kind, 3);
        QVERIFY(w2.isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
