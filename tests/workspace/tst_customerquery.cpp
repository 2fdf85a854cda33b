#include "app/AppState.h"
#include "platform/DataSet.h"
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
