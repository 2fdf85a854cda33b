#include "RecordTestData.h"
#include "app/AppState.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/DatePicker.h"
#include "platform/PrintPreview.h"
#include "records/RecordListWindow.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace TestSupport;
using namespace RecordTest;

namespace {
// --- a member: the activities of all customers

constexpr SearchField kActivitySearch[] = {
    {"活动描述", "lx.F_mem"},
    {"活动总结", "lx.F_ZJmem"},
    {"联系主题", "lx.F_caption", TextMatch::Prefix},
    {"主题或描述", "lx.F_caption,lx.F_mem"},
};
constexpr ValueListKind kActivityValues[] = {
    {"联系主题", "lx.F_caption", "caption"},
    {"跟 进 人", "lx.F_empName", "empName"},
    {"洽谈方式", "lx.F_mode", "", "", "select distinct F_mode from t_LXrec where (F_mode <> '') order by F_mode"},
};
constexpr RecordColumn kActivityColumns[] = {
    {"F_code", "客户编号"},  {"F_name", "客户名称", 120}, {"c_empName", "业务员"},       {"F_date", "联系日期", 130},
    {"F_caption", "联系主题", 120}, {"F_empName", "跟进人"}, {"F_mode", "洽谈方式"}, {"F_mem", "活动描述", 160},
};

const char *const kActivityBase =
    "select c.F_code,c.F_name,c.F_type,c.F_hangYe,c.F_city,c.F_address,c.F_phone,c.F_good, c.F_empName as c_empName, "
    "lx.F_ID,lx.F_cltID,lx.F_date,lx.F_caption,lx.F_empName,lx.F_mode,lx.F_mem,lx.F_ZJmem "
    "FROM t_LXrec as lx Left join t_client as c on lx.F_cltID = c.F_cltID where (1=1) ";

struct EditCall
{
    int mode;
    qint64 key;
};

RecordListConfig activityConfig(QList<EditCall> *calls = nullptr)
{
    RecordListConfig c{.kind = RecordKind::Activity,
                       .name = "TestActivityList",
                       .caption = "客户联系活动管理",
                       .baseSql = kActivityBase,
                       .orderBy = "lx.F_date",
                       .dateColumn = "lx.F_date",
                       .dateCaption = "联系日期：自",
                       .searchFields = kActivitySearch,
                       .valueKinds = kActivityValues,
                       .columns = kActivityColumns,
                       .loadLayout = "TestActMan",
                       .saveLayout = "testactman",
                       .exportTitle = "客户联系活动列表",
                       .deleteQuestion = "真的要删除联系主题为 {F_caption}的业务联系记录吗？"};
    if (calls)
        c.openEditor = [calls](RecordListWindow &w, int mode) {
            calls->append({mode, mode == 1 ? w.QryTable()->keyOf(w.QryTable()->currentRow()) : 0});
        };
    return c;
}

// --- a member edited in its grid: the employees

constexpr const char *kSexes[] = {"男", "女"};
constexpr ValueListKind kEmployeeValues[] = {
    {"性    别", "F_sex", "", "", "select distinct F_name from t_code where (1<>1) ", kSexes},
    {"部    门", "F_dept", "dept"},
};
constexpr SearchField kEmployeeSearch[] = {{"姓    名", "F_name"}, {"编    号", "F_code", TextMatch::Prefix}};
constexpr RecordColumn kEmployeeColumns[] = {{"F_code", "编号"}, {"F_name", "姓名"}, {"F_sex", "性别"}, {"F_dept", "部门"}};

RecordListConfig employeeConfig()
{
    RecordListConfig c{.kind = RecordKind::Employee,
                       .name = "TestEmployeeList",
                       .caption = "职员档案",
                       .baseSql = "select * from t_employee where (1=1) ",
                       .orderBy = "F_code",
                       .customerFields = false,
                       .searchFields = kEmployeeSearch,
                       .valueKinds = kEmployeeValues,
                       .columns = kEmployeeColumns,
                       .deleteQuestion = "真的要删除员工 \"{F_Name}\" 的资料吗？",
                       .askBeforeExit = true,
                       .gridEdit = true};
    c.checkRows = [](const DataSet &rows, int *row) -> QString {
        for (int r = 0; r < rows.recordCount(); ++r)
            if (rows.value(r, "F_name").toString().trimmed().isEmpty()) {
                *row = r;
                return QStringLiteral("姓名不能为空！");
            }
        return QString();
    };
    c.initNewRow = [](DataSet &rows) { rows.setValue("F_sex", QStringLiteral("男")); };
    return c;
}

QStringList captions(const DataSet *q, const QString &field = "F_caption")
{
    QStringList out;
    for (int r = 0; r < q->recordCount(); ++r)
        out << q->value(r, field).toString();
    return out;
}

bool enabled(QWidget *w, const char *name) { return child<QToolButton>(w, name)->isEnabled(); }

bool activate(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

// Clicks a row of the value list as the operator does.
void clickValue(QTableWidget *list, const QString &value)
{
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 1)->text() == value) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(r, 1)).center());
            return;
        }
    QTest::qFail(qPrintable("no value " + value), __FILE__, __LINE__);
}

QStringList valueRows(QTableWidget *list)
{
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r)
        out << list->item(r, 0)->text() + ":" + list->item(r, 1)->text();
    return out;
}
} // namespace

class TestRecordListWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        useHome(m_home.path());
    }

    void init() { replaceAppState(AppState()); }

    // The filter as a value: which rows its statement finds, around 17 March.
    void filterFindsTheRows_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("dates"); // 0 none, 1 from, 2 to, 3 both
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("searchField");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<int>("valueKind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("expected");
        const QDate first(2026, 3, 1), today(2026, 3, 17);
        const QStringList all{"无日期", "旧记录", "初次拜访", "孤儿记录", "报价跟进"};
        backendRows([&](auto row) {
            row("everything") << 0 << QDate() << QDate() << -1 << "" << -1 << "" << all;
            row("this month up to today, late rows included") << 3 << first << today << -1 << "" << -1 << ""
                                                               << QStringList{"初次拜访", "孤儿记录", "报价跟进"};
            row("up to yesterday") << 2 << QDate() << today.addDays(-1) << -1 << "" << -1 << ""
                                   << QStringList{"无日期", "旧记录", "初次拜访"};
            row("from today") << 1 << today << QDate() << -1 << "" << -1 << "" << QStringList{"孤儿记录", "报价跟进"};
            row("a search field without text") << 0 << QDate() << QDate() << 0 << "  " << -1 << "" << all;
            row("customer name anywhere") << 0 << QDate() << QDate() << 0 << " 公司 " << -1 << ""
                                          << QStringList{"无日期", "旧记录", "初次拜访"};
            row("a percent sign is a percent sign") << 0 << QDate() << QDate() << 0 << "%" << -1 << ""
                                                    << QStringList{"旧记录"};
            row("an underscore is an underscore") << 0 << QDate() << QDate() << 0 << "_" << -1 << "" << QStringList{};
            row("a quote is a quote") << 0 << QDate() << QDate() << 0 << "甲'" << -1 << "" << QStringList{};
            row("the member's memo field") << 0 << QDate() << QDate() << 6 << "100%" << -1 << ""
                                           << QStringList{"报价跟进"};
            row("a prefix field matches the beginning") << 0 << QDate() << QDate() << 8 << "报价" << -1 << ""
                                                        << QStringList{"报价跟进"};
            row("and not the middle") << 0 << QDate() << QDate() << 8 << "跟进" << -1 << "" << QStringList{};
            row("either of two columns") << 0 << QDate() << QDate() << 9 << "拜访" << -1 << ""
                                         << QStringList{"旧记录", "初次拜访"};
            row("salesperson, case ignored") << 0 << QDate() << QDate() << -1 << "" << 5 << "LISI"
                                             << QStringList{"报价跟进"};
            row("the member's value kind") << 0 << QDate() << QDate() << -1 << "" << 8 << "上门" << QStringList{"报价跟进"};
            row("dates, search and value together") << 3 << first << today << 0 << "甲" << 0 << "重要客户"
                                                    << QStringList{"初次拜访"};
        });
    }

    void filterFindsTheRows()
    {
        QFETCH(int, dates);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, searchField);
        QFETCH(QString, searchText);
        QFETCH(int, valueKind);
        QFETCH(QString, value);
        QFETCH(QStringList, expected);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addCustomers(t);
        addActivities(t, QDate(2026, 3, 17));
        RecordListFilter f;
        f.dates = {bool(dates & 1), from, bool(dates & 2), to};
        f.searchField = searchField;
        f.searchText = searchText;
        f.valueKind = valueKind;
        f.valueChosen = valueKind >= 0;
        f.value = value;
        const BoundStatement st = f.statement(activityConfig());
        // typed values never become statement text
        if (searchText.trimmed().size() > 1)
            QVERIFY(!st.sql.contains(searchText.trimmed()));
        QCOMPARE(column(t.db(), st, "F_caption"), expected);
    }

    // The salesperson scope, where a list applies it: own customers (1) or
    // those of the listed salespeople (2).
    void salespersonScope_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QStringList>("expected");
        backendRows([](auto row) {
            row("all") << 0 << QStringList{"无日期", "旧记录", "初次拜访", "孤儿记录", "报价跟进"};
            row("own") << 1 << QStringList{"无日期", "初次拜访"};
            row("listed") << 2 << QStringList{"旧记录", "报价跟进"};
        });
    }

    void salespersonScope()
    {
        QFETCH(int, scope);
        QFETCH(QStringList, expected);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addCustomers(t);
        addActivities(t, QDate(2026, 3, 17));
        AppState st;
        st.OperName = QStringLiteral("张三");
        st.EmpScopeFlag = scope;
        st.EmpScopeNames = QStringLiteral("'王五','lisi'");
        replaceAppState(st);
        RecordListConfig c = activityConfig();
        QCOMPARE(column(t.db(), RecordListFilter().statement(c), "F_caption").size(), 5); // no scope column, no scope
        c.scopeColumn = "c.F_empName";
        QCOMPARE(column(t.db(), RecordListFilter().statement(c), "F_caption"), expected);
    }

    // The window: what it shows when it opens, and the controls reaching the filter.
    void opensOnThisMonth_data() { addBackendRows(); }
    void opensOnThisMonth()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        RecordListWindow w(activityConfig());
        QCOMPARE(w.objectName(), QString("TestActivityList"));
        QCOMPARE(w.windowTitle(), QStringLiteral("客户联系活动管理"));
        QVERIFY(!w.QryTable()->isOpen()); // nothing read before it is shown
        w.show();
        QVERIFY(w.isPrepared());

        const QDate today = QDate::currentDate();
        auto *from = child<DatePicker>(&w, "dtpFromDate");
        auto *to = child<DatePicker>(&w, "dtpToDate");
        QVERIFY(from->isChecked() && to->isChecked());
        QCOMPARE(from->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(to->date(), today);
        QCOMPARE(child<QLabel>(&w, "lblFromDate")->text(), QStringLiteral("联系日期：自"));
        QCOMPARE(captions(w.QryTable()), (QStringList{"初次拜访", "孤儿记录", "报价跟进"}));
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QStringLiteral("记录数：3"));
        QCOMPARE(child<QLabel>(&w, "StatusPanel3")->text(), QStringLiteral("Kelmor软件  "));
        // the customer of a record that lost it shows empty
        QCOMPARE(w.QryTable()->value(1, "F_name").toString(), QString());
        QCOMPARE(w.grid()->column(0).title, QStringLiteral("客户编号"));

        // the value list: the first list type, "全部" chosen
        auto *list = child<QTableWidget>(&w, "vleList");
        auto *types = child<QComboBox>(&w, "cbbListType");
        QCOMPARE(types->currentIndex(), 0);
        QCOMPARE(types->count(), 9);
        QCOMPARE(types->itemText(5), QStringLiteral("业 务 员"));
        QCOMPARE(types->itemText(8), QStringLiteral("洽谈方式"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("全部"));
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("客户类型"));
        QCOMPARE(list->rowCount(), 7); // "全部" and the six customer types
        QCOMPARE(list->item(1, 0)->text(), QString("1"));

        // both dates unticked: every record
        from->setChecked(false);
        to->setChecked(false);
        QCOMPARE(captions(w.QryTable()), (QStringList{"无日期", "旧记录", "初次拜访", "孤儿记录", "报价跟进"}));
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QStringLiteral("记录数：5"));
        // the empty date shows blank
        QCOMPARE(w.grid()->cellText(0, w.grid()->columnOfField("F_date")), QString());

        // a search field, then text typed into it: every keystroke filters
        auto *field = child<QComboBox>(&w, "ComboBox1");
        auto *text = child<QLineEdit>(&w, "Edit1");
        QCOMPARE(field->currentIndex(), -1);
        QCOMPARE(field->count(), 10);
        field->setCurrentIndex(0);
        typeText(text, QStringLiteral("甲"));
        QCOMPARE(captions(w.QryTable()), (QStringList{"无日期", "初次拜访"}));
        typeText(text, QStringLiteral("乙"));
        QCOMPARE(captions(w.QryTable()), QStringList{});
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QStringLiteral("记录数：0"));
        // another search field empties the text and lifts the search
        field->setCurrentIndex(6);
        QCOMPARE(text->text(), QString());
        QCOMPARE(w.QryTable()->recordCount(), 5);
        typeText(text, QStringLiteral("100%"));
        QCOMPARE(captions(w.QryTable()), QStringList{"报价跟进"});
        text->clear();

        // the value list: salespeople, then one chosen, then "全部" again
        types->setCurrentIndex(5);
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("业 务 员"));
        QCOMPARE(list->currentRow(), 0);
        t.insert("t_code", {{"F_type", "empName"}, {"F_name", "Lisi"}});
        click(&w, "Button1");
        clickValue(list, "Lisi");
        QCOMPARE(captions(w.QryTable()), QStringList{"报价跟进"});
        QCOMPARE(w.filter().value, QString("Lisi"));
        clickValue(list, QStringLiteral("全部"));
        QCOMPARE(w.QryTable()->recordCount(), 5);
        // a list of the member's own: the modes that occur in the records
        types->setCurrentIndex(8);
        QCOMPARE(list->rowCount(), 4);
        QStringList modes;
        for (int r = 1; r < 4; ++r)
            modes << list->item(r, 1)->text();
        modes.sort();
        QCOMPARE(modes, (QStringList{"上门", "电话", "邮件"}));
        clickValue(list, QStringLiteral("电话"));
        QCOMPARE(captions(w.QryTable()), (QStringList{"无日期", "旧记录", "初次拜访"}));
        // "查询" runs the same filter again and sees new rows
        t.insert("t_LXrec", {{"F_cltID", 2}, {"F_date", at(today, "12:00:00")}, {"F_caption", "新电话"}, {"F_mode", "电话"}});
        QCOMPARE(w.QryTable()->recordCount(), 3);
        click(&w, "SpeedButton1");
        QCOMPARE(captions(w.QryTable()), (QStringList{"无日期", "旧记录", "初次拜访", "新电话"}));
        QCOMPARE(w.lastStatement().sql, w.filter().statement(w.config()).sql);

        // the panel hides and the grid takes its room
        const int before = w.grid()->width();
        click(&w, "SpeedButton2");
        QApplication::processEvents();
        QVERIFY(child<QWidget>(&w, "Panel3")->isHidden());
        QVERIFY(w.grid()->width() > before);
        click(&w, "SpeedButton2");
        QVERIFY(!child<QWidget>(&w, "Panel3")->isHidden());
    }

    void toolbarAndTitleSort()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        RecordListWindow w(activityConfig());
        const QStringList names{"tbNew", "tbEdit", "tbDel", "tbFirst", "tbPrior", "tbNext", "tbLast",
                                "tbPrint", "tbset", "tbExport", "tbExit"};
        const QStringList texts{"新增", "修改", "删除", "首项", "前项", "后项", "末项", "打印", "设置", "导出", "退出"};
        for (int i = 0; i < names.size(); ++i) {
            auto *b = child<QToolButton>(&w, names[i]);
            QCOMPARE(b->text(), texts[i]);
            QCOMPARE(b->isEnabled(), names[i] != "tbset");
        }
        // no report designer yet: the button says so
        QVERIFY(!child<QToolButton>(&w, "tbset")->toolTip().isEmpty());
        QVERIFY(!w.findChild<QToolButton *>("tbSave"));
        w.show();
        child<DatePicker>(&w, "dtpFromDate")->setChecked(false);
        child<DatePicker>(&w, "dtpToDate")->setChecked(false);

        DataGrid *g = w.grid();
        const int date = g->columnOfField("F_date");
        const int mem = g->columnOfField("F_mem");
        const int name = g->columnOfField("F_code");
        // the first click sorts ascending, the next descending
        emit g->titleClicked(name);
        QCOMPARE(g->column(name).sortMarker, DataGridColumn::SortMarker::Ascending);
        QCOMPARE(captions(w.QryTable(), "F_code"), (QStringList{"", "C001", "C001", "C002", "X100"}));
        emit g->titleClicked(name);
        QCOMPARE(g->column(name).sortMarker, DataGridColumn::SortMarker::Descending);
        QCOMPARE(captions(w.QryTable(), "F_code"), (QStringList{"X100", "C002", "C001", "C001", ""}));
        emit g->titleClicked(date);
        QCOMPARE(captions(w.QryTable()), (QStringList{"无日期", "旧记录", "初次拜访", "孤儿记录", "报价跟进"}));
        emit g->titleClicked(date);
        QCOMPARE(captions(w.QryTable()), (QStringList{"报价跟进", "孤儿记录", "初次拜访", "旧记录", "无日期"}));
        // the other column keeps its marker
        QCOMPARE(g->column(name).sortMarker, DataGridColumn::SortMarker::Descending);
        // a memo column only changes its marker
        emit g->titleClicked(mem);
        QCOMPARE(g->column(mem).sortMarker, DataGridColumn::SortMarker::Ascending);
        QCOMPARE(captions(w.QryTable()).first(), QStringLiteral("报价跟进"));
        // a new filter brings the statement's order and no marker
        click(&w, "SpeedButton1");
        QCOMPARE(g->column(date).sortMarker, DataGridColumn::SortMarker::None);
        QCOMPARE(captions(w.QryTable()).first(), QStringLiteral("无日期"));

        // the sort dialog of the grid menu
        s.onModal([](QDialog *d) {
            auto *vle1 = child<QTableWidget>(d, "vle1");
            for (int r = 0; r < vle1->rowCount(); ++r)
                if (vle1->item(r, 0)->text() == QStringLiteral("客户编号"))
                    vle1->item(r, 1)->setText(QStringLiteral("降序"));
            click(d, "btnOk");
            return d->result();
        });
        w.gridMenu()->findChild<QAction *>("N3")->trigger();
        QCOMPARE(captions(w.QryTable(), "F_code"), (QStringList{"X100", "C002", "C001", "C001", ""}));
        QCOMPARE(g->column(name).sortMarker, DataGridColumn::SortMarker::Descending);
        QCOMPARE(g->column(date).sortMarker, DataGridColumn::SortMarker::None);
    }

    // 首项, 前项, 后项, 末项 move through the list and disable where there is no further.
    void navigation()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        RecordListWindow w(activityConfig());
        w.show();
        DataSet *q = w.QryTable();
        QCOMPARE(q->recordCount(), 3);
        QCOMPARE(q->currentRow(), 0);
        for (const char *b : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
            QVERIFY(enabled(&w, b));
        click(&w, "tbNext");
        QCOMPARE(q->currentRow(), 1);
        QCOMPARE(w.grid()->currentIndex().row(), 1);
        click(&w, "tbLast");
        QCOMPARE(q->currentRow(), 2);
        QVERIFY(!enabled(&w, "tbNext") && !enabled(&w, "tbLast") && enabled(&w, "tbFirst") && enabled(&w, "tbPrior"));
        click(&w, "tbPrior");
        QCOMPARE(q->currentRow(), 1);
        QVERIFY(enabled(&w, "tbNext") && enabled(&w, "tbLast"));
        click(&w, "tbPrior");
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(enabled(&w, "tbPrior"));
        // at the first row already: 前项 has nothing before it
        click(&w, "tbPrior");
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(!enabled(&w, "tbFirst") && !enabled(&w, "tbPrior"));
        click(&w, "tbNext");
        click(&w, "tbNext");
        QCOMPARE(q->currentRow(), 2);
        QVERIFY(enabled(&w, "tbFirst") && enabled(&w, "tbPrior") && enabled(&w, "tbNext"));
        click(&w, "tbNext");
        QCOMPARE(q->currentRow(), 2);
        QVERIFY(!enabled(&w, "tbNext") && !enabled(&w, "tbLast"));
        click(&w, "tbFirst");
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(!enabled(&w, "tbFirst") && !enabled(&w, "tbPrior") && enabled(&w, "tbNext") && enabled(&w, "tbLast"));
        // selecting a row in the grid does not change them; a new filter enables all four
        w.grid()->selectRow(2);
        QCOMPARE(q->currentRow(), 2);
        QVERIFY(!enabled(&w, "tbFirst"));
        click(&w, "SpeedButton1");
        for (const char *b : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
            QVERIFY(enabled(&w, b));
    }

    // 新增 and 修改 open the kind's edit window through the hook; 删除 asks first.
    void newEditDelete_data() { addBackendRows(); }
    void newEditDelete()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        QList<EditCall> calls;
        RecordListWindow w(activityConfig(&calls));
        w.show();
        DataSet *q = w.QryTable();
        click(&w, "tbNew");
        q->setCurrentRow(2);
        click(&w, "tbEdit");
        // a double click comes after a click, as from a real mouse
        const QPoint cell = w.grid()->visualRect(w.grid()->model()->index(1, 1)).center();
        QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[0].mode, 0);
        QCOMPARE(calls[1].mode, 1);
        QCOMPARE(calls[1].key, q->keyOf(2));
        QCOMPARE(calls[2].mode, 1);
        QCOMPARE(calls[2].key, q->keyOf(1));
        QVERIFY(!s.hasMessages());

        // an edit window that saved re-opens the list on its record
        const qint64 added = t.insert("t_LXrec", {{"F_cltID", 2}, {"F_date", at(QDate::currentDate(), "12:00:00")}, {"F_caption", "新增的"}});
        w.ReopenAt(added);
        QCOMPARE(q->recordCount(), 4);
        QCOMPARE(q->text("F_caption"), QStringLiteral("新增的"));

        // delete: no, and the box closed, keep the record
        const int rows = t.count("t_LXrec");
        q->setCurrentRow(q->rowOfKey(added));
        s.answers({2, 0});
        click(&w, "tbDel");
        click(&w, "tbDel");
        const QStringList asked = s.takeTexts();
        QCOMPARE(asked, QStringList(2, QStringLiteral("真的要删除联系主题为 新增的的业务联系记录吗？")));
        QCOMPARE(t.count("t_LXrec"), rows);
        QCOMPARE(q->recordCount(), 4);
        QCOMPARE(q->text("F_caption"), QStringLiteral("新增的"));
        // yes: gone, the list read again with the same filter, on its first row
        s.answer(1);
        click(&w, "tbDel");
        s.takeTexts();
        QCOMPARE(t.count("t_LXrec"), rows - 1);
        QCOMPARE(t.count("t_LXrec", "F_ID = :id", {{"id", added}}), 0);
        QCOMPARE(captions(q), (QStringList{"初次拜访", "孤儿记录", "报价跟进"}));
        QCOMPARE(q->currentRow(), 0);

        // a delete the database refuses is reported; the list stays
        failOn(t, "t_LXrec", "delete");
        q->setCurrentRow(1);
        s.answer(1);
        click(&w, "tbDel");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 2);
        QCOMPARE(m[1].text, QStringLiteral("删除操作失败，请检查数据连接... "));
        QCOMPARE(m[1].kind, 3);
        QCOMPARE(t.count("t_LXrec"), rows - 1);
        QCOMPARE(q->currentRow(), 1);
        stopFailing(t, "t_LXrec");

        // an empty list: 修改 says so, 删除 and 打印 do nothing, 新增 works
        typeText(child<QLineEdit>(&w, "Edit1"), QStringLiteral("没有这样的"));
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(0);
        typeText(child<QLineEdit>(&w, "Edit1"), QStringLiteral("没有这样的"));
        QVERIFY(q->isEmpty());
        click(&w, "tbEdit");
        const auto e = s.takeMessages();
        QCOMPARE(e.size(), 1);
        QCOMPARE(e[0].text, QStringLiteral("此表为空，没有记录需要修改！"));
        QCOMPARE(e[0].kind, 3);
        click(&w, "tbDel");
        click(&w, "tbPrint");
        click(&w, "tbNew");
        QCOMPARE(calls.size(), 4);
        QCOMPARE(calls.last().mode, 0);
        QVERIFY(s.dialogsShown().isEmpty());
    }

    // Keys: Ctrl+A and Ctrl+E wherever the focus is; Delete, Home, End,
    // Page Up and Page Down act on the list only outside text boxes.
    void keys()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        QList<EditCall> calls;
        RecordListWindow w(activityConfig(&calls));
        QVERIFY(activate(&w));
        DataSet *q = w.QryTable();
        DataGrid *g = w.grid();
        auto *text = child<QLineEdit>(&w, "Edit1");

        g->setFocus();
        QTest::keyClick(g, Qt::Key_PageDown);
        QCOMPARE(q->currentRow(), 1);
        QTest::keyClick(g, Qt::Key_End);
        QCOMPARE(q->currentRow(), 2);
        QTest::keyClick(g, Qt::Key_PageUp);
        QCOMPARE(q->currentRow(), 1);
        QTest::keyClick(g, Qt::Key_Home);
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(!enabled(&w, "tbFirst"));
        QTest::keyClick(g, Qt::Key_PageDown, Qt::KeypadModifier);
        QCOMPARE(q->currentRow(), 1);
        s.answer(2);
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(s.takeTexts().size(), 1);
        QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(g, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].key, q->keyOf(1));

        // in the search box the keys are the box's
        text->setFocus();
        typeText(text, QStringLiteral("ab"));
        QCOMPARE(QApplication::focusWidget(), text);
        q->setCurrentRow(0);
        text->setCursorPosition(2);
        QTest::keyClick(text, Qt::Key_Home);
        QCOMPARE(text->cursorPosition(), 0);
        QTest::keyClick(text, Qt::Key_Delete);
        QCOMPARE(text->text(), QString("b"));
        QTest::keyClick(text, Qt::Key_End);
        QCOMPARE(text->cursorPosition(), 1);
        QTest::keyClick(text, Qt::Key_PageDown);
        QTest::keyClick(text, Qt::Key_PageUp);
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(enabled(&w, "tbFirst") && enabled(&w, "tbLast"));
        QVERIFY(!s.hasMessages()); // no delete question
        // also in a date box
        auto *dateEdit = child<DatePicker>(&w, "dtpToDate")->editor();
        dateEdit->setFocus();
        QTest::keyClick(dateEdit, Qt::Key_End);
        QCOMPARE(q->currentRow(), 0);
        // Ctrl+A and Ctrl+E are the window's even there
        text->setFocus();
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(calls.size(), 4);
        QCOMPARE(calls[2].mode, 0);
        QCOMPARE(calls[3].mode, 1);
        text->clear();
        // Enter moves on to the next control
        child<QComboBox>(&w, "ComboBox1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), text);
        // Esc closes the window
        g->setFocus();
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }

    void exportsPrintsAndSavesTheLayout()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        // a stored layout: two columns, in its own order
        for (const auto &[field, title, width, order] : {std::tuple{"F_caption", "主题", 130, 0}, std::tuple{"F_name", "客户", 110, 1}})
            t.insert("cfg_Grid", {{"F_name", "TestActMan"}, {"F_FieldName", field}, {"F_Caption", QString::fromUtf8(title)},
                                  {"F_Width", width}, {"F_Visible", true}, {"F_ReadOnly", true}, {"F_Order", order}});
        RecordListWindow w(activityConfig());
        w.show();
        QCOMPARE(w.grid()->columnCount(), 2);
        QCOMPARE(w.grid()->column(0).title, QStringLiteral("主题"));

        click(&w, "tbExport");
        QCOMPARE(s.urls.size(), 1);
        const QString path = s.urls.at(0).toLocalFile();
        const QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(book.value("sheets").toArray(), QJsonArray{QStringLiteral("客户联系活动列表")});
        QCOMPARE(book.value("maxRow").toInt(), 4);
        QCOMPARE(ReadBack::cell(book, "A1").value("v").toString(), QStringLiteral("主题"));
        QCOMPARE(ReadBack::cell(book, "B1").value("v").toString(), QStringLiteral("客户"));
        QCOMPARE(ReadBack::cell(book, "A2").value("v").toString(), QStringLiteral("初次拜访"));
        QCOMPARE(ReadBack::cell(book, "B2").value("v").toString(), QStringLiteral("甲公司"));
        QCOMPARE(ReadBack::cell(book, "A4").value("v").toString(), QStringLiteral("报价跟进"));

        // printing: the list under its title with the date caption
        QTemporaryDir dir;
        const QString pdf = dir.filePath("list.pdf");
        s.onModal([&](QDialog *d) {
            auto *preview = qobject_cast<PrintPreview *>(d);
            if (preview)
                preview->writePdf(pdf);
            return int(QDialog::Rejected);
        });
        click(&w, "tbPrint");
        QCOMPARE(s.dialogsShown(), QStringList{"PrintPreview"});
        const QString printed = ReadBack::pdfText(pdf);
        const QDate today = QDate::currentDate();
        QVERIFY2(printed.contains(QStringLiteral("客户联系活动列表")), qPrintable(printed));
        QVERIFY2(printed.contains(QStringLiteral("统计日期：自 ") + QDate(today.year(), today.month(), 1).toString("yyyy年MM月dd日")
                                  + QStringLiteral(" 至 ") + today.toString("yyyy年MM月dd日")),
                 qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("报价跟进")));

        // the layout is saved only on yes
        DataGridColumn c = w.grid()->column(0);
        c.width = 222;
        w.grid()->setColumn(0, c);
        QAction *save = w.gridMenu()->findChild<QAction *>("N2");
        const auto width = [&] {
            return t.scalar("select F_Width from cfg_Grid where F_name = 'TestActMan' and F_FieldName = 'F_caption'").toInt();
        };
        s.answers({2, 0});
        save->trigger();
        save->trigger();
        QCOMPARE(s.takeTexts(), QStringList(2, QStringLiteral("真的要保存当前网格设置吗？")));
        QCOMPARE(width(), 130);
        s.answer(1);
        save->trigger();
        s.takeTexts();
        QCOMPARE(width(), 222);

        // the grid's own menu
        emit w.grid()->customContextMenuRequested(QPoint(10, 10));
        QTRY_VERIFY(w.gridMenu()->isVisible());
        w.gridMenu()->hide();

        // the column chooser hides a column
        s.onModal([](QDialog *d) {
            child<QListWidget>(d, "CheckListBox1")->item(1)->setCheckState(Qt::Unchecked);
            click(d, "btnOk");
            return d->result();
        });
        w.gridMenu()->findChild<QAction *>("N1")->trigger();
        QVERIFY(!w.grid()->column(1).visible);
    }

    // The grid-edit option: browse and edit states with cached edits.
    void gridEditStates_data() { addBackendRows(); }
    void gridEditStates()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        t.insert("t_employee", {{"F_code", "E01"}, {"F_name", "赵一"}, {"F_sex", "男"}, {"F_dept", "销售部"}});
        t.insert("t_employee", {{"F_code", "E02"}, {"F_name", "钱二"}, {"F_sex", "女"}, {"F_dept", "财务部"}});
        const auto names = [&] {
            QStringList out;
            QSqlQuery q(t.db());
            q.exec("select F_name from t_employee order by F_code");
            while (q.next())
                out << q.value(0).toString();
            return out;
        };
        RecordListWindow w(employeeConfig());
        QVERIFY(activate(&w));
        DataSet *q = w.QryTable();
        DataGrid *g = w.grid();
        auto *list = child<QTableWidget>(&w, "vleList");
        QCOMPARE(captions(q, "F_name"), (QStringList{"赵一", "钱二"}));
        QVERIFY(!w.findChild<DatePicker *>("dtpFromDate"));
        // fixed values of a list type
        QCOMPARE(valueRows(list), (QStringList{"0:全部", "1:男", "2:女"}));
        clickValue(list, QStringLiteral("女"));
        QCOMPARE(captions(q, "F_name"), QStringList{"钱二"});
        clickValue(list, QStringLiteral("全部"));

        QVERIFY(enabled(&w, "tbNew") && !enabled(&w, "tbSave") && !enabled(&w, "tbCancel"));
        QVERIFY(g->isReadOnly());
        // 新增: a row in the grid, the edit state
        click(&w, "tbNew");
        QVERIFY(w.isEditing());
        QVERIFY(!enabled(&w, "tbNew") && !enabled(&w, "tbDel") && !enabled(&w, "tbExit") && enabled(&w, "tbSave")
                && enabled(&w, "tbCancel"));
        QVERIFY(!child<QWidget>(&w, "Panel1")->isEnabled() && !child<QWidget>(&w, "Panel3")->isEnabled());
        QVERIFY(!g->isReadOnly());
        QCOMPARE(q->recordCount(), 3);
        QCOMPARE(q->currentRow(), 2);
        QCOMPARE(q->text("F_sex"), QStringLiteral("男")); // the member's defaults
        // the filter does not throw the new row away
        w.RefreshList();
        QCOMPARE(q->recordCount(), 3);
        // a row the member refuses: told, still editing, nothing written
        click(&w, "tbSave");
        const auto refused = s.takeMessages();
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused[0].text, QStringLiteral("姓名不能为空！"));
        QCOMPARE(refused[0].kind, 2);
        QVERIFY(w.isEditing());
        QCOMPARE(names(), (QStringList{"赵一", "钱二"}));
        // typed into the grid, saved with the cell still open
        g->setFocus();
        q->setValue("F_code", "E03");
        g->setCurrentIndex(g->model()->index(2, 1));
        typeText(g, QStringLiteral("孙三"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.isEditing());
        QVERIFY(g->isReadOnly() && enabled(&w, "tbNew"));
        QCOMPARE(names(), (QStringList{"赵一", "钱二", "孙三"}));
        QCOMPARE(t.scalar("select F_sex from t_employee where F_code = 'E03'").toString(), QStringLiteral("男"));

        // 修改 then 取消 drops the edits
        q->setCurrentRow(0);
        click(&w, "tbEdit");
        QVERIFY(w.isEditing());
        g->setFocus();
        g->setCurrentIndex(g->model()->index(0, 1));
        typeText(g, QStringLiteral("不要的"));
        click(&w, "tbCancel");
        QVERIFY(!w.isEditing());
        QCOMPARE(q->value(0, "F_name").toString(), QStringLiteral("赵一"));
        QCOMPARE(names(), (QStringList{"赵一", "钱二", "孙三"}));

        // a failed save keeps the edits and the edit state; the window stays open
        failOn(t, "t_employee", "update");
        click(&w, "tbEdit");
        g->setCurrentIndex(g->model()->index(1, 1));
        typeText(g, QStringLiteral("钱二改"));
        click(&w, "tbSave");
        const auto failed = s.takeMessages();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0].text, QStringLiteral("保存失败，请检测数据库连接！"));
        QCOMPARE(failed[0].kind, 3);
        QVERIFY(w.isEditing());
        QCOMPARE(q->value(1, "F_name").toString(), QStringLiteral("钱二改"));
        QCOMPARE(names(), (QStringList{"赵一", "钱二", "孙三"}));
        w.close();
        QVERIFY(w.isVisible() && w.isEditing());
        stopFailing(t, "t_employee");
        click(&w, "tbSave");
        QVERIFY(!w.isEditing());
        QCOMPARE(names(), (QStringList{"赵一", "钱二改", "孙三"}));

        // Esc while editing: 取消 (a first Esc leaves the grid's row edit)
        click(&w, "tbNew");
        g->setFocus();
        QTest::keyClick(g, Qt::Key_Escape);
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!w.isEditing());
        QCOMPARE(q->recordCount(), 3);
        QVERIFY(w.isVisible());

        // an empty list: nothing to change
        child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(1);
        typeText(child<QLineEdit>(&w, "Edit1"), "X");
        QVERIFY(q->isEmpty());
        click(&w, "tbEdit");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("此表为空，没有记录需要修改！")});
        QVERIFY(!w.isEditing());
        child<QLineEdit>(&w, "Edit1")->clear();

        // delete asks with the member's question
        q->setCurrentRow(q->rowOfKey(q->keyOf(2)));
        s.answer(1);
        click(&w, "tbDel");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除员工 \"孙三\" 的资料吗？")});
        QCOMPARE(names(), (QStringList{"赵一", "钱二改"}));

        // leaving asks first; 退出 does not
        g->setFocus();
        s.answer(2);
        QTest::keyClick(g, Qt::Key_Escape);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要退 \"职员档案\" 操作界面吗？")});
        QVERIFY(w.isVisible());
        click(&w, "tbExit");
        QVERIFY(!w.isVisible());
    }

    void screenshots()
    {
        if (screenshotDir().isEmpty())
            QSKIP("KELMOR_SCREENSHOTS not set");
        TestDb t;
        Script s;
        addCustomers(t);
        addActivities(t, QDate::currentDate());
        {
            RecordListWindow w(activityConfig());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(0);
            QTest::qWait(100);
            QVERIFY(screenshot(&w, "recordlist"));
            w.resize(900, 520);
            QTest::qWait(100);
            QVERIFY(screenshot(&w, "recordlist-small"));
        }
        {
            t.insert("t_employee", {{"F_code", "E01"}, {"F_name", "赵一"}, {"F_sex", "男"}, {"F_dept", "销售部"}});
            RecordListWindow w(employeeConfig());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            click(&w, "tbNew");
            QTest::qWait(100);
            QVERIFY(screenshot(&w, "recordlist-gridedit"));
            click(&w, "tbCancel");
        }
    }
};

QTEST_MAIN(TestRecordListWindow)
#include "tst_recordlistwindow.moc"
