#include "platform/DataSet.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTest>

using TestSupport::TestDb;

class TestDataSet : public QObject
{
    Q_OBJECT

    static void addClients(const TestDb &t, int n)
    {
        Transaction tr(t.db());
        for (int i = 1; i <= n; ++i)
            t.insert("t_client", {{"F_cltID", i},
                                  {"F_code", QString("C%1").arg(i, 5, 10, QChar('0'))},
                                  {"F_name", QStringLiteral("客户%1").arg(i)},
                                  {"F_SZ1", i * 1.5},
                                  {"F_useFlag", i % 10 == 0},
                                  {"F_QQ", QString("qq%1").arg(i)},
                                  {"F_editdate", i % 2 ? QString("2026-01-%1").arg(i % 28 + 1, 2, 10, QChar('0')) : Format::emptyDateText()}});
        tr.commit();
    }

private slots:
    void readsMovesAndShows_data() { TestSupport::addBackendRows(); }
    void readsMovesAndShows()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 5);
        DataSet ds;
        ds.setSql("select * from t_client where F_cltID >= :from order by F_ID");
        ds.setParam("FROM", 2);
        QVERIFY(ds.open());
        QCOMPARE(ds.recordCount(), 4);
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(ds.value("f_CODE").toString(), QString("C00002"));
        ds.last();
        QVERIFY(ds.eof());
        QCOMPARE(ds.text("F_name"), QStringLiteral("客户5"));
        ds.prior();
        QCOMPARE(ds.value("F_cltID").toInt(), 4);
        QVERIFY(ds.locate("F_code", "c00003", Qt::CaseInsensitive));
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(!ds.locate("F_code", "nope"));
        QVERIFY(ds.isBooleanField(ds.fieldIndex("F_useFlag")));
        QVERIFY(!ds.isBooleanField(ds.fieldIndex("F_cltID")));
        QVERIFY(ds.isNumericField(ds.fieldIndex("F_SZ1")));
        QVERIFY(!ds.isNumericField(ds.fieldIndex("F_name")));
        QCOMPARE(ds.currentRow(), 1);
        // the empty date shows blank, a real date as it is
        ds.setEmptyDateFields({"F_editdate"});
        const int col = ds.fieldIndex("F_editdate");
        QCOMPARE(ds.displayText(0, col), QString()); // customer 2: sentinel
        QCOMPARE(ds.displayText(1, col), QString("2026-01-04"));
        QCOMPARE(ds.value(0, col).toString(), Format::emptyDateText());
        // hooks are found without regard to case, set before or after opening
        ds.setDisplayHook("f_NAME", [](const QVariant &v) { return "<" + v.toString() + ">"; });
        QCOMPARE(ds.displayText(0, ds.fieldIndex("F_name")), QStringLiteral("<客户2>"));
        DataSet other;
        other.setSql("select * from t_client order by F_ID");
        other.setDisplayHook("F_Code", [](const QVariant &v) { return v.toString().toLower(); });
        QVERIFY(other.open());
        QCOMPARE(other.displayText(0, other.fieldIndex("F_code")), QString("c00001"));
        QCOMPARE(other.displayText(0, other.fieldIndex("F_name")), QStringLiteral("客户1"));
        // re-open keeps the row by key
        ds.setCurrentRow(2);
        QVERIFY(ds.reopen());
        QCOMPARE(ds.value("F_cltID").toInt(), 4);
    }

    void failedOpenLeavesItClosed_data() { TestSupport::addBackendRows(); }
    void failedOpenLeavesItClosed()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        DataSet ds;
        ds.setSql("select * from no_such_table");
        QVERIFY(!ds.open());
        QVERIFY(!ds.isOpen());
        QVERIFY(!ds.lastError().isEmpty());
        QCOMPARE(ds.recordCount(), 0);
        QCOMPARE(ds.currentRow(), -1);
    }

    void largeListsReadKeysAndPages_data() { TestSupport::addBackendRows(); }
    void largeListsReadKeysAndPages()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 3000);
        DataSet ds;
        ds.setSql("select * from t_client where (1=1) and COALESCE(F_useFlag,0) = 0 order by F_ID");
        QVERIFY(ds.open());
        QVERIFY(ds.isKeyed());
        QCOMPARE(ds.recordCount(), 2700);
        QCOMPARE(ds.value(0, "F_name").toString(), QStringLiteral("客户1"));
        QCOMPARE(ds.value(2699, "F_name").toString(), QStringLiteral("客户2999"));
        QCOMPARE(ds.value(1500, "F_code").toString(), QString("C01667"));
        // reading every row evicts old pages but values stay right
        for (int r = 0; r < ds.recordCount(); r += 7)
            QCOMPARE(ds.value(r, "F_cltID").toInt(), r + r / 9 + 1);
        QCOMPARE(ds.columnSum("F_SZ1"), 1.5 * (3000 * 3001 / 2 - 10 * (300 * 301 / 2)));
        // a joined statement is read whole
        DataSet joined;
        joined.setSql("select c.F_name, l.F_name as lname from t_client c left join t_linkman l on l.F_cltID = c.F_cltID");
        QVERIFY(joined.open());
        QVERIFY(!joined.isKeyed());
        QCOMPARE(joined.recordCount(), 3000);
        // a row deleted after the keys were read shows empty; its neighbours do not
        DataSet late;
        late.setSql("select * from t_client where F_cltID > 2000 order by F_ID");
        QVERIFY(late.open());
        QVERIFY(t.exec("delete from t_client where F_cltID = 2005"));
        QCOMPARE(late.value(3, "F_cltID").toInt(), 2004);
        QVERIFY(late.value(4, "F_name").isNull());
        QCOMPARE(late.value(5, "F_cltID").toInt(), 2006);
        // rows read in the order of another field: keys far apart
        DataSet byName;
        byName.setSql("select * from t_client order by F_name");
        QVERIFY(byName.open());
        QVERIFY(byName.isKeyed());
        QCOMPARE(byName.value(0, "F_name").toString(), QStringLiteral("客户1"));
        QCOMPARE(byName.value(1, "F_name").toString(), QStringLiteral("客户10"));
        QCOMPARE(byName.value(2, "F_name").toString(), QStringLiteral("客户100"));
    }

    void sortsOnTheClient_data() { TestSupport::addBackendRows(); }
    void sortsOnTheClient()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 300);
        for (bool keyed : {true, false}) {
            DataSet ds;
            ds.setSql(keyed ? "select * from t_client order by F_ID" : "select F_ID, F_cltID, F_useFlag, F_SZ1, F_name from t_client order by F_ID");
            QVERIFY(ds.open());
            QCOMPARE(ds.isKeyed(), keyed);
            ds.setCurrentRow(4); // customer 5
            ds.setSortText("f_useflag DESC,F_SZ1 ASC,");
            QCOMPARE(ds.value(0, "F_cltID").toInt(), 10);
            QCOMPARE(ds.value(29, "F_cltID").toInt(), 300);
            QCOMPARE(ds.value(30, "F_cltID").toInt(), 1);
            QCOMPARE(ds.value("F_cltID").toInt(), 5); // still on the same row
            ds.setSortText("");
            QCOMPARE(ds.value(0, "F_cltID").toInt(), 1);
            ds.setSortText("F_name DESC");
            QCOMPARE(ds.value(0, "F_name").toString(), QStringLiteral("客户99"));
        }
    }

    void detailFollowsItsMaster_data() { TestSupport::addBackendRows(); }
    void detailFollowsItsMaster()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 3);
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", "a"}});
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", "b"}});
        t.insert("t_linkman", {{"F_cltID", 3}, {"F_name", "c"}});
        DataSet master, detail;
        master.setSql("select * from t_client order by F_ID");
        detail.setSql("select * from t_linkman where F_cltID = :F_cltID order by F_ID");
        detail.setMaster(&master, "F_cltID");
        QVERIFY(master.open());
        QVERIFY(detail.open());
        QCOMPARE(detail.recordCount(), 2);
        master.next();
        QCOMPARE(detail.recordCount(), 0);
        master.next();
        QCOMPARE(detail.recordCount(), 1);
        QCOMPARE(detail.text("F_name"), QString("c"));
        detail.detachMaster();
        master.first();
        QCOMPARE(detail.text("F_name"), QString("c"));
        detail.attachMaster();
        master.next();
        master.first();
        QCOMPARE(detail.recordCount(), 2);
        // a closed detail stays closed
        detail.close();
        master.last();
        QVERIFY(!detail.isOpen());

        // a filter turns an unusable master value into one that matches nothing
        t.exec("update t_client set F_cltID = 0 where F_cltID = 2");
        t.insert("t_linkman", {{"F_cltID", 0}, {"F_name", "orphan"}});
        QVERIFY(master.reopen());
        detail.setMaster(&master, "F_cltID", "F_cltID",
                         [](const QVariant &v) { return v.toInt() > 0 ? v : QVariant(); });
        QVERIFY(detail.open());
        master.first();
        master.next(); // the customer without a number
        QCOMPARE(master.value("F_cltID").toInt(), 0);
        QCOMPARE(detail.recordCount(), 0);
    }

    void cachedEditsApplyInsideTheCallersTransaction_data() { TestSupport::addBackendRows(); }
    void cachedEditsApplyInsideTheCallersTransaction()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 1);
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", "keep"}, {"F_QQ", "123"}});
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", "gone"}});
        DataSet ds;
        ds.setCachedUpdates(true);
        ds.setSql("select * from t_linkman where F_cltID = 1 order by F_ID");
        QVERIFY(ds.open());
        QCOMPARE(ds.updateTable(), QString("t_linkman"));
        QVERIFY(ds.setValue("F_dept", QStringLiteral("销售部")));
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QVERIFY(ds.post());
        QVERIFY(ds.deleteRow(1));
        QVERIFY(ds.append());
        QCOMPARE(ds.state(), DataSet::State::Insert);
        ds.setValue("F_cltID", 1);
        ds.setValue("F_name", QStringLiteral("新人"));
        QVERIFY(ds.hasPendingUpdates());
        QCOMPARE(ds.recordCount(), 2);

        {   // applied, then rolled back: the table is as it was, the cache too
            Transaction tr(t.db());
            QString error;
            QVERIFY2(ds.applyUpdates(&error), qPrintable(error));
            QCOMPARE(t.count("t_linkman"), 2);
        }
        QCOMPARE(t.count("t_linkman"), 2);
        QCOMPARE(t.count("t_linkman", "F_name='gone'"), 1);
        QCOMPARE(t.count("t_linkman", "F_dept is not null"), 0);
        QVERIFY(ds.hasPendingUpdates());

        {   // the same save again, committed
            Transaction tr(t.db());
            QVERIFY(ds.applyUpdates());
            QVERIFY(tr.commit());
            ds.commitUpdates();
        }
        QVERIFY(!ds.hasPendingUpdates());
        QCOMPARE(t.count("t_linkman"), 2);
        QCOMPARE(t.count("t_linkman", "F_name='gone'"), 0);
        QCOMPARE(t.count("t_linkman", "F_name=:n", {{"n", QStringLiteral("新人")}}), 1);
        // an edit writes only what changed: the QQ number no window shows survives
        QCOMPARE(t.scalar("select F_QQ from t_linkman where F_name='keep'").toString(), QString("123"));
        QCOMPARE(t.scalar("select F_dept from t_linkman where F_name='keep'").toString(), QStringLiteral("销售部"));
        // the inserted row knows its key now; a second apply writes nothing
        QVERIFY(ds.keyOf(1) > 0);
        QVERIFY(ds.applyUpdates());
        QCOMPARE(t.count("t_linkman"), 2);
    }

    // PostgreSQL folds the unquoted name t_GooDrec; the cached row must still
    // reach its columns, not arrive as an empty row.
    void cachedRowsReachAMixedCaseTable_data() { TestSupport::addBackendRows(); }
    void cachedRowsReachAMixedCaseTable()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        DataSet ds;
        ds.setCachedUpdates(true);
        ds.setSql("select * from t_GooDrec where F_cltID = 7 order by F_ID");
        QVERIFY(ds.open());
        QVERIFY(ds.append());
        ds.setValue("F_cltID", 7);
        ds.setValue("F_GDcode", "P1");
        ds.setValue("F_price", 2.5);
        Transaction tr(t.db());
        QString error;
        QVERIFY2(ds.applyUpdates(&error), qPrintable(error));
        QVERIFY(tr.commit());
        ds.commitUpdates();
        QCOMPARE(t.count("t_GooDrec", "F_cltID = 7 and F_GDcode = 'P1' and F_price = 2.5"), 1);
    }

    void cancelDropsEdits_data() { TestSupport::addBackendRows(); }
    void cancelDropsEdits()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", "a"}});
        DataSet ds;
        ds.setCachedUpdates(true);
        ds.setSql("select * from t_linkman order by F_ID");
        QVERIFY(ds.open());
        ds.append();
        ds.cancel(); // an appended row never posted goes away
        QCOMPARE(ds.recordCount(), 1);
        ds.setValue("F_name", "b");
        ds.post();
        ds.append();
        ds.setValue("F_name", "c");
        ds.post();
        ds.deleteRow(0);
        QCOMPARE(ds.recordCount(), 1);
        ds.cancelUpdates();
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.value(0, "F_name").toString(), QString("a"));
        QVERIFY(!ds.hasPendingUpdates());
    }

    void postWritesAtOnceWhenNotCached_data() { TestSupport::addBackendRows(); }
    void postWritesAtOnceWhenNotCached()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 50);
        DataSet ds;
        ds.setSql("select * from t_client where (1=1) order by F_ID");
        QVERIFY(ds.open());
        QVERIFY(ds.isKeyed());
        ds.setCurrentRow(40);
        QVERIFY(ds.setValue("F_hangye", QStringLiteral("\\\\制造业\\电子设备")));
        QVERIFY(ds.post());
        QCOMPARE(t.scalar("select F_hangye from t_client where F_cltID = 41").toString(), QStringLiteral("\\\\制造业\\电子设备"));
        QCOMPARE(t.scalar("select F_QQ from t_client where F_cltID = 41").toString(), QString("qq41"));
        QVERIFY(ds.append());
        ds.setValue("F_name", QStringLiteral("新客户"));
        QVERIFY(ds.post());
        QVERIFY(ds.keyOf(50) > 0);
        QCOMPARE(t.count("t_client"), 51);
        QVERIFY(ds.deleteRow(50));
        QCOMPARE(t.count("t_client"), 50);
    }

    void fieldChangeHookComputesTotals_data() { TestSupport::addBackendRows(); }
    void fieldChangeHookComputesTotals()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        DataSet ds;
        ds.setCachedUpdates(true);
        ds.setSql("select * from t_XSdetail where F_code = :F_code order by F_ID");
        ds.setParam("F_code", "XS1");
        QVERIFY(ds.open());
        ds.setFieldChangeHook([](DataSet &d, int row, const QString &field) {
            const QString f = field.toLower();
            if (f == "f_rate" || f == "f_price" || f == "f_amount")
                d.setValue(row, d.fieldIndex("F_totalPrice"),
                           d.value(row, "F_amount").toDouble() * d.value(row, "F_price").toDouble() * d.value(row, "F_rate").toDouble());
        });
        ds.append();
        ds.setValue("F_rate", 0.9);
        ds.setValue("F_price", 10.0);
        ds.setValue("F_amount", 3.0);
        QCOMPARE(ds.value("F_totalPrice").toDouble(), 27.0);
        ds.setValue("F_amount", 4.0);
        QCOMPARE(ds.value("F_totalPrice").toDouble(), 36.0);
        QCOMPARE(ds.columnSum("F_totalPrice"), 36.0);
    }

    void modelSignalsFollowTheRows_data() { TestSupport::addBackendRows(); }
    void modelSignalsFollowTheRows()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addClients(t, 3);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QSignalSpy reset(&ds, &QAbstractItemModel::modelReset);
        QSignalSpy current(&ds, &DataSet::currentRowChanged);
        QVERIFY(ds.open());
        QCOMPARE(reset.count(), 1);
        QCOMPARE(ds.rowCount(), 3);
        QCOMPARE(ds.data(ds.index(1, ds.fieldIndex("F_name"))).toString(), QStringLiteral("客户2"));
        QVERIFY(current.count() >= 1);
        ds.close();
        QCOMPARE(ds.rowCount(), 0);
        QCOMPARE(ds.currentRow(), -1);
    }
};

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
