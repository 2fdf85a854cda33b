#include "app/AppState.h"
#include "app/SalespersonScope.h"
#include "platform/DataSet.h"
#include "platform/SqlDialect.h"
#include "support/TestSupport.h"
#include "workspace/CustomerQuery.h"

#include <QTest>

using namespace TestSupport;

namespace {
// A few customers that tell the filters apart.
void addCustomers(const TestDb &t)
{
    struct C
    {
        int id;
        const char *name, *code, *city, *hangye, *emp, *type;
        bool stopped;
    } rows[] = {
        {1, "广州科技有限公司", "20260101001", "广州", "\\\\制造业\\电子", "张伟", "重要客户", false},
        {2, "上海100%科技", "20260101002", "上海", "\\\\制造业\\电子设备", "王芳", "普通客户", false},
        {3, "北京a_b贸易", "20260102001", "北京", "\\\\制造业", "张伟", "普通客户", true},
        {4, "O'Neil 商贸", "X-1", "广州市", "\\\\信息技术\\软件开发", "", "重要客户", false},
        {5, "深圳电子", "20260103001", "深圳", "", "李娜", "", false},
    };
    for (const C &c : rows)
        t.insert("t_client", {{"F_cltID", c.id}, {"F_name", QString::fromUtf8(c.name)}, {"F_code", c.code},
                              {"F_city", QString::fromUtf8(c.city)}, {"F_hangye", QString::fromUtf8(c.hangye)},
                              {"F_empName", QString::fromUtf8(c.emp)}, {"F_type", QString::fromUtf8(c.type)},
                              {"F_useFlag", c.stopped}});
    t.insert("t_linkman", {{"F_cltID", 5}, {"F_name", QStringLiteral("刘洋")}});
    t.insert("t_GooDrec", {{"F_cltID", 2}, {"F_GDname", QStringLiteral("激光打印机")}});
    t.insert("t_CJrec", {{"F_cltID", 1}, {"F_date", "2026-03-10 15:30:00"}});
    t.insert("t_LXrec", {{"F_cltID", 2}, {"F_date", "2026-04-01"}});
    t.exec("update t_client set F_RQ1 = '1900-08-14' where F_cltID <> 4");
    t.exec("update t_client set F_RQ1 = '2026-05-05' where F_cltID = 4");
}

// Latin names in mixed case, for the equality filters that must ignore case
// as the server does. Customer 7 has no type, source, country and so on.
void addLatinCustomers(const TestDb &t)
{
    t.insert("t_client", {{"F_cltID", 6}, {"F_name", "Acme"}, {"F_type", "VIP"}, {"F_laiyuan", "Web"},
                          {"F_country", "China"}, {"F_province", "GD"}, {"F_xuqiu", "ERP"}, {"F_empName", "Tom"},
                          {"F_hangye", "\\\\IT\\Software"}, {"F_useFlag", false}});
    t.insert("t_client", {{"F_cltID", 7}, {"F_name", "Bolt"}, {"F_empName", "TOM"},
                          {"F_hangye", "\\\\it\\software\\Cloud"}, {"F_useFlag", false}});
}

QList<int> ids(const SqlStatement &st)
{
    DataSet ds;
    ds.setSql(st.sql);
    for (auto it = st.params.cbegin(); it != st.params.cend(); ++it)
        ds.setParam(it.key(), it.value());
    if (!ds.open())
        qWarning("%s: %s", qPrintable(st.sql), qPrintable(ds.lastError()));
    QList<int> out;
    for (int r = 0; r < ds.recordCount(); ++r)
        out.append(ds.value(r, "F_cltID").toInt());
    std::sort(out.begin(), out.end());
    return out;
}
} // namespace

class TestCustomerQuery : public QObject
{
    Q_OBJECT
private slots:
    void init() { replaceAppState(AppState()); }

    void filters_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("industry");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("expected");
        using L = QList<int>;
        QTest::newRow("nothing: stopped hidden") << -1 << "" << "" << false << -1 << "" << L{1, 2, 4, 5};
        QTest::newRow("include stopped") << -1 << "" << "" << true << -1 << "" << L{1, 2, 3, 4, 5};
        QTest::newRow("no field: text ignored") << -1 << "科技" << "" << false << -1 << "" << L{1, 2, 4, 5};
        QTest::newRow("field, empty text") << 0 << "  " << "" << false << -1 << "" << L{1, 2, 4, 5};
        QTest::newRow("name anywhere") << 0 << QStringLiteral("科技") << "" << false << -1 << "" << L{1, 2};
        QTest::newRow("percent literal") << 0 << "100%" << "" << true << -1 << "" << L{2};
        QTest::newRow("underscore literal") << 0 << "a_b" << "" << true << -1 << "" << L{3};
        QTest::newRow("quote literal") << 0 << "O'Neil" << "" << false << -1 << "" << L{4};
        QTest::newRow("injection finds nothing") << 0 << "' or '1'='1" << "" << true << -1 << "" << L{};
        QTest::newRow("code prefix") << 1 << "20260101" << "" << false << -1 << "" << L{1, 2};
        QTest::newRow("code is a prefix, not anywhere") << 1 << "0101" << "" << false << -1 << "" << L{};
        QTest::newRow("city prefix") << 2 << QStringLiteral("广州") << "" << false << -1 << "" << L{1, 4};
        QTest::newRow("main contact") << 10 << QStringLiteral("刘") << "" << false << -1 << "" << L{5};
        QTest::newRow("product name") << 11 << QStringLiteral("打印") << "" << false << -1 << "" << L{2};
        QTest::newRow("category with sub-tree") << -1 << "" << QStringLiteral("\\\\制造业") << true << -1 << "" << L{1, 2, 3};
        QTest::newRow("category, not its namesake") << -1 << "" << QStringLiteral("\\\\制造业\\电子") << false << -1 << "" << L{1};
        QTest::newRow("root") << -1 << "" << QStringLiteral("\\\\") << false << -1 << "" << L{1, 2, 4, 5};
        QTest::newRow("value list") << -1 << "" << "" << false << 0 << QStringLiteral("重要客户") << L{1, 4};
        QTest::newRow("value list salesperson") << -1 << "" << "" << true << 5 << QStringLiteral("张伟") << L{1, 3};
        QTest::newRow("combined") << 0 << QStringLiteral("科技") << QStringLiteral("\\\\制造业") << false << 5 << QStringLiteral("王芳") << L{2};
    }
    void filters()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, industry);
        QFETCH(bool, stopped);
        QFETCH(int, kind);
        QFETCH(QString, value);
        QFETCH(QList<int>, expected);
        TestDb t;
        addCustomers(t);
        CustomerFilter f;
        f.searchField = field;
        f.searchText = text;
        f.industryPath = industry;
        f.includeStopped = stopped;
        f.valueChosen = kind >= 0;
        f.valueKind = qMax(0, kind);
        f.value = value;
        const SqlStatement st = f.statement();
        QVERIFY(st.sql.startsWith("select * from t_client where (1=1) "));
        QVERIFY(st.sql.endsWith(" order by F_ID"));
        QVERIFY(!st.sql.contains(text.trimmed()) || text.trimmed().isEmpty() || field < 0);
        QCOMPARE(ids(st), expected);
    }

    void salespersonListsParse_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("names");
        using N = QStringList;
        QTest::newRow("empty") << "" << N{};
        QTest::newRow("quoted, commas") << QStringLiteral("'张三','李四'") << N{QStringLiteral("张三"), QStringLiteral("李四")};
        QTest::newRow("quoted, full-width comma and blanks")
            << QStringLiteral(" '张三' ， '李四' '王五'") << N{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};
        QTest::newRow("full-width comma inside a name")
            << QStringLiteral("'张，三','李四'") << N{QStringLiteral("张，三"), QStringLiteral("李四")};
        QTest::newRow("comma inside a name") << QStringLiteral("'张,三'，'李四'") << N{QStringLiteral("张,三"), QStringLiteral("李四")};
        QTest::newRow("doubled quote") << "'O''Brien','x'" << N{"O'Brien", "x"};
        QTest::newRow("blank and repeated names")
            << QStringLiteral("'  ','张三',' 张三 '") << N{QStringLiteral("张三")};
        QTest::newRow("bare, both commas")
            << QStringLiteral("张三，李四, 王五,,，") << N{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};
    }
    void salespersonListsParse()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, names);
        QCOMPARE(SalespersonScope::parseNames(stored), names);
        // what is stored again reads back the same
        QCOMPARE(SalespersonScope::parseNames(SalespersonScope::joinNames(names)), names);
    }

    void salespersonScope()
    {
        TestDb t;
        addCustomers(t);
        AppState st;
        st.OperName = QStringLiteral("张伟");
        st.EmpScopeFlag = 1;
        replaceAppState(st);
        CustomerFilter f;
        f.includeStopped = true;
        QCOMPARE(ids(f.statement()), (QList<int>{1, 3}));
        st.EmpScopeFlag = 2;
        st.EmpScopeNames = QStringLiteral("'王芳','李娜'");
        replaceAppState(st);
        QCOMPARE(ids(f.statement()), (QList<int>{2, 5}));
        st.EmpScopeNames.clear(); // an empty list matches nobody
        replaceAppState(st);
        QCOMPARE(ids(f.statement()), QList<int>{});
        CustomerSearch s;
        s.useState = 0;
        QCOMPARE(ids(s.statement()), QList<int>{});
    }

    // Every equality filter on a chosen or typed value finds what the server
    // would find: case does not matter, on any backend.
    void equalityFiltersIgnoreCase_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("expected");
        using L = QList<int>;
        const struct
        {
            const char *name, *filter;
            int kind;
            QString value;
            L expected;
        } rows[] = {
            {"value list type", "list", 0, "vip", {6}},
            {"value list source", "list", 1, "WEB", {6}},
            {"value list country", "list", 2, "china", {6}},
            {"value list province", "list", 3, "gd", {6}},
            {"value list needs", "list", 4, "Erp", {6}},
            {"value list salesperson", "list", 5, "tom", {6, 7}},
            {"value list blank finds blank and missing", "list", 0, "", {5, 7}},
            {"industry", "tree", 0, "\\\\it\\SOFTWARE", {6, 7}},
            {"industry leaf", "tree", 0, "\\\\IT\\software\\cloud", {7}},
            {"search type", "search", 0, "vip", {6}},
            {"search source", "search", 1, "web", {6}},
            {"search country", "search", 2, "CHINA", {6}},
            {"search province", "search", 3, "Gd", {6}},
            {"search salesperson", "search", 4, "tom", {6, 7}},
            {"scope of the operator", "scope1", 0, "tom", {6, 7}},
            {"scope list, quoted", "scope2", 0, QStringLiteral("'TOM'，'李娜'"), {5, 6, 7}},
            {"scope list, bare", "scope2", 0, QStringLiteral("tom,王芳"), {2, 6, 7}},
        };
        for (Backend b : testBackends()) {
            const QString backend = SqlDialect::backendName(b);
            for (const auto &r : rows)
                QTest::newRow(qPrintable(backend + ": " + r.name)) << backend << r.filter << r.kind << r.value << r.expected;
        }
    }
    void equalityFiltersIgnoreCase()
    {
        KELMOR_FETCH_BACKEND(backend);
        QFETCH(QString, filter);
        QFETCH(int, kind);
        QFETCH(QString, value);
        QFETCH(QList<int>, expected);
        TestDb t(backend);
        addCustomers(t);
        addLatinCustomers(t);
        SqlStatement st;
        if (filter == "search") {
            CustomerSearch s;
            QString *fields[] = {&s.type, &s.source, &s.country, &s.province, &s.salesperson};
            *fields[kind] = value;
            st = s.statement();
        } else {
            CustomerFilter f;
            if (filter == "list") {
                f.valueChosen = true;
                f.valueKind = kind;
                f.value = value;
            } else if (filter == "tree") {
                f.industryPath = value;
            } else {
                AppState a;
                a.EmpScopeFlag = filter == "scope1" ? 1 : 2;
                (filter == "scope1" ? a.OperName : a.EmpScopeNames) = value;
                replaceAppState(a);
                f.includeStopped = true;
            }
            st = f.statement();
        }
        QCOMPARE(ids(st), expected);
    }

    void advancedSearch()
    {
        TestDb t;
        addCustomers(t);
        CustomerSearch s;
        QCOMPARE(ids(s.statement()), (QList<int>{1, 2, 4, 5})); // in use only, as it opens
        QVERIFY(!s.statement().sql.contains("order by"));
        s.useState = 2;
        QCOMPARE(ids(s.statement()), QList<int>{3});
        s.useState = 0;
        s.name = QStringLiteral("  科技 ");
        QCOMPARE(ids(s.statement()), (QList<int>{1, 2}));
        s.name.clear();
        s.industry = QStringLiteral("\\\\制造业\\电子"); // typed or picked: a prefix
        QCOMPARE(ids(s.statement()), (QList<int>{1, 2}));
        s.industry.clear();
        s.type = QStringLiteral("普通客户");
        QCOMPARE(ids(s.statement()), (QList<int>{2, 3}));
        s.type.clear();

        // a deal on the 10th at 15:30 lies in a range ending on the 10th
        s.deal.enabled = true;
        s.deal.from = QDate(2026, 3, 1);
        s.deal.to = QDate(2026, 3, 10);
        QCOMPARE(ids(s.statement()), QList<int>{1});
        s.deal.to = QDate(2026, 3, 9);
        QCOMPARE(ids(s.statement()), QList<int>{});
        // both bounds unticked: every customer with a deal at all
        s.deal.fromChecked = s.deal.toChecked = false;
        QCOMPARE(ids(s.statement()), QList<int>{1});
        s.deal.enabled = false;
        s.followUp.enabled = true;
        s.followUp.from = QDate(2026, 4, 1);
        s.followUp.to = QDate(2026, 4, 1);
        QCOMPARE(ids(s.statement()), QList<int>{2});
        s.followUp.enabled = false;
        // custom dates: an empty date is in no range
        s.customDate[0].enabled = true;
        s.customDate[0].fromChecked = false;
        s.customDate[0].to = QDate(2026, 12, 31);
        QCOMPARE(ids(s.statement()), QList<int>{4});
        s.customDate[0].toChecked = false; // no bound at all adds nothing
        QCOMPARE(ids(s.statement()), (QList<int>{1, 2, 3, 4, 5}));
    }
};

QTEST_GUILESS_MAIN(TestCustomerQuery)
#include "tst_customerquery.moc"
