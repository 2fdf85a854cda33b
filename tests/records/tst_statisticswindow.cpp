#include "RecordTestData.h"
#include "app/AppState.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/DatePicker.h"
#include "platform/PrintPreview.h"
#include "records/StatisticsWindow.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace TestSupport;
using namespace RecordTest;

namespace {
// --- a member: the quotations of all customers

constexpr RecordColumn kQuotationColumns[] = {
    {"F_code", "客户编号"},       {"F_name", "客户名称", 110},   {"c_type", "客户类型"},
    {"c_empName", "业务员"},      {"F_date", "报价日期", 130},    {"F_billcode", "报价单号"},
    {"F_GDname", "商品名称"},     {"F_type", "类型"},            {"F_price", "单价"},
    {"F_amount", "数量", 80, "", true}, {"F_totalprice", "金额", 90, ",0.00", true}, {"F_mem", "备注", 120},
};
constexpr ColumnFormat kQuotationFormats[] = {
    {"F_price", SessionFormat::UnitPrice},
    {"F_amount", SessionFormat::Quantity},
    {"F_totalprice", SessionFormat::Money},
};

StatisticsConfig quotationConfig()
{
    return {.name = "TestQuotationStats",
            .caption = "客户商品报价统计列表",
            .baseSql = "select c.F_code,c.F_name,c.F_type as c_type,c.F_hangYe,c.F_empName as c_empName, "
                       "bj.F_ID,bj.F_cltID,bj.F_date,bj.F_billcode,bj.F_GDname,bj.F_type,bj.F_price,bj.F_amount,"
                       "bj.F_totalprice,bj.F_mem FROM t_BJrec as bj Left join t_client as c on bj.F_cltID = c.F_cltID "
                       "Where (1=1) ",
            .dateColumn = "bj.F_date",
            .dateCaption = "报价日期",
            .orderBy = "bj.F_date",
            .layout = "testbjtj",
            .exportTitle = "客户商品报价查询统计列表",
            .columns = kQuotationColumns,
            .formats = kQuotationFormats};
}

// The member's conditions, in the order they apply.
class QuotationStats : public StatisticsWindow
{
public:
    explicit QuotationStats(const StatisticsConfig &config = quotationConfig()) : StatisticsWindow(config)
    {
        addEditCondition("edtcode", QStringLiteral("客户编号："), "c.F_code", TextMatch::Anywhere);
        addEditCondition("edtName", QStringLiteral("客户名称："), "c.F_name", TextMatch::Anywhere);
        addCodeListCondition("cbbtype", QStringLiteral("客户类型："), "c.F_type", TextMatch::Prefix, "clttype");
        // a box with a button of its own
        auto *industry = new QWidget;
        auto *row = new QHBoxLayout(industry);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        auto *edit = new QLineEdit(industry);
        edit->setObjectName("edtHangye");
        auto *pick = new QToolButton(industry);
        pick->setObjectName("SpeedButton3");
        pick->setText("...");
        row->addWidget(edit, 1);
        row->addWidget(pick);
        addCondition(QStringLiteral("行业类别："), industry, edit, "c.F_hangye", TextMatch::Prefix, [edit] { return edit->text(); });
        addSalespersonCondition("cbbEmpname", QStringLiteral("业 务 员："), "c.F_empName", TextMatch::Prefix);
        addEditCondition("edtBillCode", QStringLiteral("报价单号："), "bj.F_billCode", TextMatch::Anywhere);
        addEditCondition("edtGDname", QStringLiteral("品    名："), "bj.F_GDname", TextMatch::Anywhere);
        addCodeListCondition("cbbGDtype", QStringLiteral("类    型："), "bj.F_type", TextMatch::Anywhere, "gdtype");
    }
};

// Quotations around `today`: BJ003 (the month before), BJ001 (the first),
// BJ004 (today early, customer gone), BJ002 (today late) in date order.
void addQuotations(const TestDb &t, const QDate &today)
{
    const QDate first(today.year(), today.month(), 1);
    struct Q
    {
        int clt;
        QString date;
        const char *bill, *goods, *type, *mem;
        double price, amount, total;
    } const rows[] = {
        {1, at(first, "10:00:00"), "BJ001", "螺丝", "五金", "m2", 2.5, 100, 250},
        {2, at(today, "18:00:00"), "BJ002", "轴承", "机械", "m1", 30, 10, 300},
        {3, at(first.addDays(-5), "10:00:00"), "BJ003", "螺丝", "五金", "m3", 2, 50, 100},
        {99, at(today, "09:00:00"), "BJ004", "齿轮", "机械", "m0", 5, 4, 20},
    };
    for (const Q &q : rows)
        QVERIFY(t.insert("t_BJrec", {{"F_cltID", q.clt},
                                     {"F_date", q.date},
                                     {"F_billcode", q.bill},
                                     {"F_GDname", QString::fromUtf8(q.goods)},
                                     {"F_type", QString::fromUtf8(q.type)},
                                     {"F_mem", q.mem},
                                     {"F_price", q.price},
                                     {"F_amount", q.amount},
                                     {"F_totalprice", q.total}})
                > 0);
}

QStringList bills(const DataSet *q)
{
    QStringList out;
    for (int r = 0; r < q->recordCount(); ++r)
        out << q->value(r, "F_billcode").toString();
    return out;
}

bool enabled(QWidget *w, const char *name) { return child<QToolButton>(w, name)->isEnabled(); }

bool activate(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

QStringList items(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}
} // namespace

class TestStatisticsWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {

        useHome(m_home.path());
    }

    void init() { replaceAppState(AppState()); }

    // The conditions as a value: which quotations the statement finds.
    void filterFindsTheRows_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("dates");
        QTest::addColumn<int>("condition"); // index into the member's conditions, -1 none
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        backendRows([](auto row) {
            row("everything, oldest first") << false << -1 << "" << QStringList{"BJ003", "BJ001", "BJ004", "BJ002"};
            row("this month to the end of today") << true << -1 << "" << QStringList{"BJ001", "BJ004", "BJ002"};
            row("blank text is no condition") << false << 1 << "   " << QStringList{"BJ003", "BJ001", "BJ004", "BJ002"};
            row("customer code anywhere") << false << 0 << "00" << QStringList{"BJ003", "BJ001", "BJ002"};
            row("customer code, case ignored") << false << 0 << "c0" << QStringList{"BJ001", "BJ002"};
            row("customer type at the beginning") << false << 2 << "重要" << QStringList{"BJ003", "BJ001"};
            row("and not in the middle") << false << 2 << "客户" << QStringList{};
            row("an industry takes in its sub-categories") << false << 3 << "\\制造业" << QStringList{"BJ003", "BJ001"};
            row("an industry is no pattern") << false << 3 << "%" << QStringList{};
            row("salesperson, case ignored") << false << 4 << "li" << QStringList{"BJ002"};
            row("goods name anywhere") << false << 6 << "螺" << QStringList{"BJ003", "BJ001"};
            row("a quote matches nothing and breaks nothing") << false << 5 << "BJ'" << QStringList{};
        });
    }

    void filterFindsTheRows()
    {
        QFETCH(bool, dates);
        QFETCH(int, condition);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addCustomers(t);
        addQuotations(t, QDate(2026, 3, 17));
        static const struct
        {
            const char *column;
            TextMatch match;
        } conditions[] = {{"c.F_code", TextMatch::Anywhere},  {"c.F_name", TextMatch::Anywhere},
                          {"c.F_type", TextMatch::Prefix},    {"c.F_hangye", TextMatch::Prefix},
                          {"c.F_empName", TextMatch::Prefix}, {"bj.F_billCode", TextMatch::Anywhere},
                          {"bj.F_GDname", TextMatch::Anywhere}};
        StatisticsFilter f;
        f.dates = {dates, QDate(2026, 3, 1), dates, QDate(2026, 3, 17)};
        for (int i = 0; i < int(std::size(conditions)); ++i)
            f.conditions.append({conditions[i].column, conditions[i].match, i == condition ? text : QString()});
        QCOMPARE(column(t.db(), f.statement(quotationConfig()), "F_billcode"), expected);
    }

    void salespersonScope_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QStringList>("expected");
        backendRows([](auto row) {
            row("all") << 0 << QStringList{"BJ003", "BJ001", "BJ004", "BJ002"};
            row("own") << 1 << QStringList{"BJ001"};
            row("listed") << 2 << QStringList{"BJ003", "BJ002"};
        });
    }

    void salespersonScope()
    {
        QFETCH(int, scope);
        QFETCH(QStringList, expected);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addCustomers(t);
        addQuotations(t, QDate(2026, 3, 17));
        AppState st;
        st.OperName = QStringLiteral("张三");
        st.EmpScopeFlag = scope;
        st.EmpScopeNames = QStringLiteral("'王五','LISI'");
        replaceAppState(st);
        StatisticsConfig c = quotationConfig();
        QCOMPARE(column(t.db(), StatisticsFilter().statement(c), "F_billcode").size(), 4);
        c.scopeColumn = "c.F_empName";
        QCOMPARE(column(t.db(), StatisticsFilter().statement(c), "F_billcode"), expected);
    }

    // The window opens empty; "查询" runs the conditions the panel holds.
    void queryWithTheConditions_data() { addBackendRows(); }
    void queryWithTheConditions()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addCustomers(t);
        addQuotations(t, QDate::currentDate());
        t.insert("t_employee", {{"F_code", "E1"}, {"F_name", "张三"}});
        t.insert("t_employee", {{"F_code", "E2"}, {"F_name", "Lisi"}});
        AppState st;
        st.QtyFormat = "0.##";
        st.MoneyFormat = QStringLiteral("￥,0.00");
        st.UnitPriceFormat = "0.00";
        replaceAppState(st);

        QuotationStats w;
        QCOMPARE(w.objectName(), QString("TestQuotationStats"));
        QCOMPARE(w.windowTitle(), QStringLiteral("客户商品报价统计列表"));
        w.show();
        QVERIFY(!w.QryTable()->isOpen());
        const QStringList names{"tbQuery", "tbFirst", "tbPrior", "tbNext", "tbLast", "tbPrint", "tbSet", "tbExpert", "tbExit"};
        const QStringList texts{"查询", "首项", "前项", "后项", "末项", "打印", "设置", "导出", "退出"};
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(child<QToolButton>(&w, names[i])->text(), texts[i]);
            QCOMPARE(enabled(&w, qPrintable(names[i])), names[i] == "tbQuery" || names[i] == "tbExit");
        }
        auto *from = child<DatePicker>(&w, "dtpFromDate");
        auto *to = child<DatePicker>(&w, "dtpToDate");
        const QDate today = QDate::currentDate();
        QVERIFY(!from->isChecked() && !to->isChecked());
        QCOMPARE(from->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(to->date(), today);
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QString());
        QCOMPARE(child<QLabel>(&w, "StatusPanel3")->text(), QStringLiteral("Kelmor软件  "));
        // the lists are filled when the window is shown
        QCOMPARE(items(child<QComboBox>(&w, "cbbtype")).size(), 6);
        QCOMPARE(child<QComboBox>(&w, "cbbtype")->currentText(), QString());
        QCOMPARE(items(child<QComboBox>(&w, "cbbEmpname")).size(), 2);
        // printing and exporting need a query first
        click(&w, "tbPrint");
        QVERIFY(s.dialogsShown().isEmpty());

        click(&w, "tbQuery");
        QCOMPARE(bills(w.QryTable()), (QStringList{"BJ003", "BJ001", "BJ004", "BJ002"}));
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QStringLiteral("记录数/4"));
        for (const char *b : {"tbFirst", "tbPrior", "tbNext", "tbLast", "tbPrint", "tbExpert"})
            QVERIFY2(enabled(&w, b), b);
        // no report designer yet: 设置 stays disabled and says why
        QVERIFY(!enabled(&w, "tbSet"));
        QVERIFY(!child<QToolButton>(&w, "tbSet")->toolTip().isEmpty());
        // the footer sums in the session's formats; "合计" under the first column
        DataGrid *g = w.grid();
        QCOMPARE(g->footerText(0), QStringLiteral("合计"));
        QCOMPARE(g->footerText(g->columnOfField("F_amount")), QString("164"));
        QCOMPARE(g->footerText(g->columnOfField("F_totalprice")), QStringLiteral("￥670.00"));
        QCOMPARE(g->cellText(1, g->columnOfField("F_price")), QString("2.50"));
        // a record whose customer is gone still counts, with empty customer columns
        QCOMPARE(w.QryTable()->value(2, "F_name").toString(), QString());

        // conditions typed into the panel
        typeText(child<QLineEdit>(&w, "edtName"), QStringLiteral("公司"));
        click(&w, "tbQuery");
        QCOMPARE(bills(w.QryTable()), (QStringList{"BJ003", "BJ001"}));
        QCOMPARE(g->footerText(g->columnOfField("F_totalprice")), QStringLiteral("￥350.00"));
        typeText(child<QLineEdit>(&w, "edtHangye"), QStringLiteral("\\制造业\\"));
        click(&w, "tbQuery");
        QCOMPARE(bills(w.QryTable()), QStringList{"BJ001"});
        child<QLineEdit>(&w, "edtName")->clear();
        child<QLineEdit>(&w, "edtHangye")->clear();
        child<QComboBox>(&w, "cbbEmpname")->setEditText("Li");
        click(&w, "tbQuery");
        QCOMPARE(bills(w.QryTable()), QStringList{"BJ002"});
        child<QComboBox>(&w, "cbbEmpname")->setEditText("");
        // the date pair: this month up to the end of today
        from->setChecked(true);
        to->setChecked(true);
        click(&w, "tbQuery");
        QCOMPARE(bills(w.QryTable()), (QStringList{"BJ001", "BJ004", "BJ002"}));
        QCOMPARE(child<QLabel>(&w, "StatusPanel2")->text(), QStringLiteral("记录数/3"));
        // a query that finds nothing: printing does nothing
        typeText(child<QLineEdit>(&w, "edtBillCode"), QStringLiteral("没有"));
        click(&w, "tbQuery");
        QVERIFY(w.QryTable()->isEmpty());
        click(&w, "tbPrint");
        QVERIFY(s.dialogsShown().isEmpty());
        QCOMPARE(g->footerText(g->columnOfField("F_totalprice")), QStringLiteral("￥0.00"));
    }

    // Scope 1: the salesperson box holds the operator, fixed.
    void salespersonBoxByScope()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addQuotations(t, QDate::currentDate());
        AppState st;
        st.OperName = QStringLiteral("张三");
        st.EmpScopeFlag = 1;
        replaceAppState(st);
        QuotationStats w;
        w.show();
        auto *box = child<QComboBox>(&w, "cbbEmpname");
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->currentText(), QStringLiteral("张三"));
        click(&w, "tbQuery");
        QCOMPARE(bills(w.QryTable()), QStringList{"BJ001"});
    }

    void sortNavigateAndKeys()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addQuotations(t, QDate::currentDate());
        QuotationStats w;
        QVERIFY(activate(&w));
        DataGrid *g = w.grid();
        DataSet *q = w.QryTable();
        const int mem = g->columnOfField("F_mem");
        // before a query a title click does nothing
        emit g->titleClicked(mem);
        QCOMPARE(g->column(mem).sortMarker, DataGridColumn::SortMarker::None);

        // Ctrl+Q runs the query even from a text box
        auto *code = child<QLineEdit>(&w, "edtcode");
        code->setFocus();
        QTest::keyClick(code, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(q->recordCount(), 4);
        // memo columns sort too
        emit g->titleClicked(mem);
        QCOMPARE(g->column(mem).sortMarker, DataGridColumn::SortMarker::Ascending);
        QCOMPARE(bills(q), (QStringList{"BJ004", "BJ002", "BJ001", "BJ003"}));
        emit g->titleClicked(mem);
        QCOMPARE(bills(q), (QStringList{"BJ003", "BJ001", "BJ002", "BJ004"}));

        // navigation, and the keys in the grid
        click(&w, "tbLast");
        QCOMPARE(q->currentRow(), 3);
        QVERIFY(!enabled(&w, "tbNext") && !enabled(&w, "tbLast"));
        g->setFocus();
        QTest::keyClick(g, Qt::Key_PageUp);
        QCOMPARE(q->currentRow(), 2);
        QTest::keyClick(g, Qt::Key_Home);
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(!enabled(&w, "tbFirst") && !enabled(&w, "tbPrior"));
        QTest::keyClick(g, Qt::Key_PageUp); // disabled: nothing
        QCOMPARE(q->currentRow(), 0);
        QTest::keyClick(g, Qt::Key_End);
        QCOMPARE(q->currentRow(), 3);
        // a new query enables them all again
        QTest::keyClick(g, Qt::Key_Q, Qt::ControlModifier);
        for (const char *b : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
            QVERIFY(enabled(&w, b));
        QCOMPARE(g->column(mem).sortMarker, DataGridColumn::SortMarker::None);

        // in a text box, Home, End and the page keys are the box's
        code->setFocus();
        typeText(code, "C0");
        QTest::keyClick(code, Qt::Key_Home);
        QCOMPARE(code->cursorPosition(), 0);
        QTest::keyClick(code, Qt::Key_End);
        QTest::keyClick(code, Qt::Key_PageDown);
        QCOMPARE(q->currentRow(), 0);
        // Enter moves on to the next condition
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "edtName"));
        // Esc closes
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void printsAndExports()
    {
        TestDb t;
        Script s;
        addCustomers(t);
        addQuotations(t, QDate::currentDate());
        QuotationStats w;
        w.show();
        click(&w, "tbQuery");

        QTemporaryDir dir;
        const QString pdf = dir.filePath("stats.pdf");
        const auto printTo = [&](const QString &path) {
            s.onModal([path](QDialog *d) {
                if (auto *preview = qobject_cast<PrintPreview *>(d))
                    preview->writePdf(path);
                return int(QDialog::Rejected);
            });
            click(&w, "tbPrint");
            return ReadBack::pdfText(path);
        };
        // without dates: the whole period
        QString text = printTo(pdf);
        QVERIFY2(text.contains(QStringLiteral("客户商品报价查询统计列表")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("统计日期：自 启用系统 至 记帐最后一天")), qPrintable(text));
        QVERIFY(text.contains("BJ003") && text.contains(QStringLiteral("合计")));
        // with the dates ticked, they head the page
        child<DatePicker>(&w, "dtpFromDate")->setDate(QDate(2020, 1, 2));
        child<DatePicker>(&w, "dtpFromDate")->setChecked(true);
        click(&w, "tbQuery");
        text = printTo(dir.filePath("dated.pdf"));
        QVERIFY2(text.contains(QStringLiteral("统计日期：自 2020年01月02日 至 记帐最后一天")), qPrintable(text));

        click(&w, "tbExpert");
        QCOMPARE(s.urls.size(), 1);
        const QJsonObject book = ReadBack::workbook(s.urls.at(0).toLocalFile());
        QCOMPARE(book.value("sheets").toArray(), QJsonArray{QStringLiteral("客户商品报价查询统计列表")});
        QCOMPARE(book.value("maxRow").toInt(), 5);
        QCOMPARE(ReadBack::cell(book, "A1").value("v").toString(), QStringLiteral("客户编号"));
        QCOMPARE(ReadBack::cell(book, "F2").value("v").toString(), QString("BJ003"));
        QCOMPARE(ReadBack::cell(book, "K2").value("t").toString(), QString("n"));
        QCOMPARE(ReadBack::cell(book, "K2").value("v").toDouble(), 100.0);
        QCOMPARE(s.dialogsShown(), (QStringList{"PrintPreview", "PrintPreview"}));
    }

    void screenshots()
    {
        if (screenshotDir().isEmpty())
            QSKIP("KELMOR_SCREENSHOTS not set");
        TestDb t;
        Script s;
        addCustomers(t);
        addQuotations(t, QDate::currentDate());
        QuotationStats w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        click(&w, "tbQuery");
        QTest::qWait(100);
        QVERIFY(screenshot(&w, "statistics"));
        w.resize(900, 520);
        QTest::qWait(100);
        QVERIFY(screenshot(&w, "statistics-small"));
    }
};

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
