#include "support/TestSupport.h"
#include "workspace/ClientWorkspace.h"

#include <QTest>

using namespace TestSupport;

namespace {
// Customers 1 and 2 with a record in every linked table, a customer without
// a number, and records that belong to no numbered customer.
void addData(const TestDb &t)
{
    t.insert("t_client", {{"F_cltID", 1}, {"F_code", "C1"}, {"F_name", QStringLiteral("甲公司")}, {"F_mem", QStringLiteral("备注甲")}});
    t.insert("t_client", {{"F_cltID", 2}, {"F_code", "C2"}, {"F_name", QStringLiteral("乙公司")}});
    t.insert("t_client", {{"F_cltID", 0}, {"F_code", "C0"}, {"F_name", QStringLiteral("未编号")}});
    for (int clt : {1, 2, 0}) {
        for (const char *table : {"t_linkman", "t_LXrec", "t_BJrec", "t_HTrec", "t_HFrec", "t_TSrec", "t_GooDrec", "t_TXrec"})
            t.insert(table, {{"F_cltID", clt}});
        t.insert("t_XSrec", {{"F_cltID", clt}, {"F_code", QString("XS%1").arg(clt)}});
        t.insert("t_XSdetail", {{"F_code", QString("XS%1").arg(clt)}, {"F_amount", 1}});
        t.insert("t_XSdetail", {{"F_code", QString("XS%1").arg(clt)}, {"F_amount", 2}});
    }
}

SqlStatement all() { return {QStringLiteral("select * from t_client where (1=1)  order by F_ID"), {}}; }
} // namespace

class TestClientWorkspace : public QObject
{
    Q_OBJECT
private slots:
    void detailsFollowTheCurrentCustomer()
    {
        TestDb t;
        addData(t);
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 1));
        QCOMPARE(ws.countCaption(), QStringLiteral("客户总数： 3 个"));
        QVERIFY(ws.detail(1)->isOpen());  // the current tab
        QVERIFY(ws.detail(2)->isOpen() && ws.detail(8)->isOpen());
        QVERIFY(!ws.detail(3)->isOpen()); // opened when its tab comes to the front
        QCOMPARE(ws.detail(2)->recordCount(), 1);
        ws.OpenDetailQueries(true, 1);
        for (int n = 1; n <= 9; ++n)
            QVERIFY2(ws.detail(n)->isOpen(), qPrintable(QString::number(n)));
        QVERIFY(ws.QryDetail51->isOpen());
        QCOMPARE(ws.QryDetail51->recordCount(), 2);
        ws.QryMain->setCurrentRow(2); // the customer without a number shows nobody's records
        for (int n = 1; n <= 9; ++n)
            QCOMPARE(ws.detail(n)->recordCount(), 0);
        QCOMPARE(ws.QryDetail51->recordCount(), 0);
        ws.QryMain->setCurrentRow(0);
        QCOMPARE(ws.detail(4)->recordCount(), 1);
        // the industry shows without the stored leading backslashes, and is kept as stored
        t.exec("update t_client set F_hangye = :h where F_cltID = 1", {{"h", "\\\\制造业\\电子"}});
        QVERIFY(ws.ReopenClientList(1));
        ws.QryMain->setCurrentRow(0);
        QCOMPARE(ws.QryMain->displayText(0, ws.QryMain->fieldIndex("F_hangye")), QStringLiteral("制造业\\电子"));
        QVERIFY(ws.ClientSummary().contains(QStringLiteral("  行业类别:制造业\\电子\n")));
        QCOMPARE(ws.QryMain->value("F_hangye").toString(), QStringLiteral("\\\\制造业\\电子"));
        const QStringList summary = ws.ClientSummary().split('\n');
        QCOMPARE(summary.first(), QString());
        QCOMPARE(summary.at(1), QStringLiteral("  客户编号:C1"));
        QCOMPARE(summary.last(), QStringLiteral("  备注信息:备注甲"));
    }

    void newCustomerDetailsAndSaleLines()
    {
        TestDb t;
        addData(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 5);
        // a stray contact that already carries the next number is not adopted
        const int next = t.scalar("select max(F_cltID) from t_client").toInt() + 1;
        t.insert("t_linkman", {{"F_cltID", next}, {"F_name", "stray"}});
        ws.BindDetailsToNewClient();
        QCOMPARE(ws.detail(2)->recordCount(), 0);
        ws.QryMain->setCurrentRow(1); // no longer follows the list
        QCOMPARE(ws.detail(2)->recordCount(), 0);
        ws.detail(2)->append();
        ws.detail(2)->setValue("F_name", "x");
        ws.RelinkClientDetails(); // drops what was not saved
        QCOMPARE(ws.detail(2)->recordCount(), 1);
        ws.QryMain->setCurrentRow(0);
        QCOMPARE(ws.detail(2)->recordCount(), 1);
        QVERIFY(!t.count("t_linkman", "F_name='x'"));

        ws.PrepareSaleLines(true);
        QCOMPARE(ws.QryDetail51->recordCount(), 2);
        ws.QryDetail51->setCachedUpdates(true);
        ws.QryDetail51->setValue("F_rate", 0.5);
        ws.QryDetail51->setValue("F_price", 8.0);
        QCOMPARE(ws.QryDetail51->value("F_totalPrice").toDouble(), 4.0); // 1 x 8 x 0.5
        ws.PrepareSaleLines(false);
        QCOMPARE(ws.QryDetail51->recordCount(), 0);
        ws.RelinkSaleLines();
        QCOMPARE(ws.QryDetail51->recordCount(), 2);
        ws.QryMain->setCurrentRow(1);
        QCOMPARE(ws.QryDetail51->text("F_code"), QString("XS2"));
    }

    void deletingACustomerTakesItsRecordsButNotItsBills()
    {
        TestDb t;
        addData(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 1);
        QCOMPARE(ws.deleteCustomerQuestion(), QStringLiteral("删除当前客户，将删除当前客户所有相关记录，\n真的要删除当前客户甲公司吗？"));
        QVERIFY(ws.deleteCustomer(1));
        QCOMPARE(ws.QryMain->recordCount(), 2);
        for (const char *table : {"t_linkman", "t_LXrec", "t_BJrec", "t_HTrec", "t_HFrec", "t_TSrec", "t_GooDrec", "t_TXrec"}) {
            QCOMPARE(t.count(table, "F_cltID = 1"), 0);
            QCOMPARE(t.count(table, "F_cltID = 2"), 1);
            QCOMPARE(t.count(table, "F_cltID = 0"), 1);
        }
        QCOMPARE(t.count("t_XSrec", "F_cltID = 1"), 1);
        // a customer without a number goes alone; records of number 0 stay
        ws.QryMain->setCurrentRow(1);
        QCOMPARE(ws.QryMain->text("F_code"), QString("C0"));
        QVERIFY(ws.deleteCustomer(1));
        QCOMPARE(t.count("t_client"), 1);
        QCOMPARE(t.count("t_linkman", "F_cltID = 0"), 1);
    }

    void deletingASalesBillIsAllOrNothing()
    {
        TestDb t;
        addData(t);
        Script s;
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 5);
        QCOMPARE(ws.deleteQuestion(5), QStringLiteral("真的要删除销售单号为 XS1 的销售记录吗？"));
        t.exec("create trigger no_bill_delete before delete on t_XSrec begin select raise(abort, 'refused'); end");
        const ClientWorkspace::Outcome refused = ws.deleteRecord(5);
        QVERIFY(!refused);
        QCOMPARE(refused.message, QStringLiteral("操作失败，请检查连接..."));
        QCOMPARE(t.count("t_XSdetail", "F_code = 'XS1'"), 2);
        t.exec("drop trigger no_bill_delete");
        QVERIFY(ws.deleteRecord(5));
        QCOMPARE(t.count("t_XSdetail", "F_code = 'XS1'"), 0);
        QCOMPARE(t.count("t_XSrec", "F_code = 'XS1'"), 0);
        QCOMPARE(t.count("t_XSdetail"), 4);
        QCOMPARE(ws.detail(5)->recordCount(), 0);
        QCOMPARE(ws.deleteQuestion(5), QString());
    }

    void deletingOtherRecords()
    {
        TestDb t;
        addData(t);
        t.exec("update t_linkman set F_name = '王五'");
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        QCOMPARE(ws.deleteQuestion(2), QStringLiteral("真的要删除当前联系人王五吗？"));
        QVERIFY(ws.deleteRecord(2));
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 0);
        QCOMPARE(ws.detail(2)->recordCount(), 0);
    }

    void bulkChangesCountWhatFailed()
    {
        TestDb t;
        addData(t);
        Script s;
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 1);
        t.exec("create trigger no_change before update of F_empName on t_client when new.F_cltID = 2 "
               "begin select raise(abort, 'refused'); end");
        QCOMPARE(ws.bulkSet({0, 1, 2}, "F_empName", QStringLiteral("张伟")), 1);
        QCOMPARE(t.count("t_client", "F_empName = :n", {{"n", QStringLiteral("张伟")}}), 2);
        QCOMPARE(ws.QryMain->value(0, "F_empName").toString(), QStringLiteral("张伟"));
        QCOMPARE(ws.QryMain->currentRow(), 0);
        QCOMPARE(ws.detail(2)->recordCount(), 1); // details follow again
    }

    void emptyCustomersWithRecordsStay()
    {
        TestDb t;
        addData(t);
        t.insert("t_client", {{"F_cltID", 7}, {"F_code", ""}, {"F_name", ""}});
        t.insert("t_client", {{"F_cltID", 8}, {"F_code", ""}});
        t.insert("t_client", {{"F_cltID", 9}, {"F_code", ""}, {"F_name", ""}});
        t.insert("t_linkman", {{"F_cltID", 9}, {"F_name", "still here"}});
        ClientWorkspace ws;
        int removed = -1;
        QVERIFY(ws.deleteEmptyCustomers(&removed));
        QCOMPARE(removed, 2);
        QCOMPARE(t.count("t_client", "F_cltID in (7, 8)"), 0);
        QCOMPARE(t.count("t_client", "F_cltID = 9"), 1);
        QCOMPARE(t.count("t_client"), 4);
    }
};

QTEST_MAIN(TestClientWorkspace)
#include "tst_clientworkspace.moc"
