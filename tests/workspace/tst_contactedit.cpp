#include "platform/DatePicker.h"
#include "SaveAsWindow.h"
#include "support/TestSupport.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/ContactEditor.h"
#include "workspace/TfrmEmpEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QTest>

using namespace TestSupport;

namespace {
SqlStatement all() { return {QStringLiteral("select * from t_client where (1=1)  order by F_ID"), {}}; }

template <typename T>
T *w(QObject *root, const char *name)
{
    return root->findChild<T *>(QString::fromLatin1(name));
}

QVariant clientField(const TestDb &t, const char *column, int cltID)
{
    return t.scalar(QStringLiteral("select %1 from t_client where F_cltID = :n").arg(QString::fromLatin1(column)), {{"n", cltID}});
}

// 甲 (number 1) with a main contact on record, 乙 (number 2).
void addCustomers(const TestDb &t)
{
    t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲公司")}, {"F_LXRname", QStringLiteral("旧联系人")},
                          {"F_LXRdept", QStringLiteral("原部门")}, {"F_LXRduty", QStringLiteral("原职务")}, {"F_LXRphone", "000"},
                          {"F_QQ", "55555"}, {"F_mem", QStringLiteral("甲的备注")}});
    t.insert("t_client", {{"F_cltID", 2}, {"F_code", "B1"}, {"F_name", QStringLiteral("乙公司")}});
}
} // namespace

class TestContactEdit : public QObject
{
    Q_OBJECT

private slots:
    void addMainContactsInARow()
    {
        TestDb t;
        addCustomers(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmEmpEdit win(&ws);
        s.onModal([&](QDialog *d) {
            d->activateWindow();
            [&] {
                QVERIFY(QTest::qWaitForWindowActive(d));
                QCOMPARE(d->windowTitle(), QStringLiteral("联系人档案 - 新增"));
                QVERIFY(w<QCheckBox>(d, "CheckBox1")->isVisible() && w<QCheckBox>(d, "CheckBox1")->isChecked());
                QVERIFY(!w<QWidget>(d, "DBNavigator1")->isVisible());
                QCOMPARE(w<QPlainTextEdit>(d, "Memo2")->toPlainText(), ws.ClientSummary());
                QVERIFY(w<QPlainTextEdit>(d, "Memo2")->toPlainText().endsWith(QStringLiteral("  备注信息:甲的备注")));
                QVERIFY(!w<DatePicker>(d, "dtpBirthday")->isChecked());
                QCOMPARE(w<QLineEdit>(d, "edtName")->maxLength(), 50);
            }();
            screenshot(d, "contactedit-new");
            // empty name
            QTest::keyClick(w<QLineEdit>(d, "edtName"), Qt::Key_S, Qt::ControlModifier);
            [&] { QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("联系人姓名不能为空！")}); }();
            typeText(w<QLineEdit>(d, "edtName"), QStringLiteral(" 张三 "));
            // Enter moves on as Tab does
            QTest::keyClick(w<QLineEdit>(d, "edtName"), Qt::Key_Return);
            [&] { QCOMPARE(QApplication::focusWidget(), w<QWidget>(d, "cbbdept")); }();
            w<QComboBox>(d, "cbbduty")->setEditText(QStringLiteral("经理"));
            w<QLineEdit>(d, "edtofficephone")->setText(" 021-1 ");
            w<QCheckBox>(d, "CheckBox2")->setChecked(true);
            QTest::keyClick(w<QLineEdit>(d, "edtName"), Qt::Key_S, Qt::ControlModifier);
            // the window stays for the next contact of the same customer
            [&] {
                QVERIFY(d->isVisible());
                QCOMPARE(w<QLineEdit>(d, "edtName")->text(), QString());
                QVERIFY(!w<QCheckBox>(d, "CheckBox2")->isChecked());
            }();
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("O'Neil \"小李\""));
            w<QComboBox>(d, "cbbdept")->setEditText(QStringLiteral("销售'部"));
            w<DatePicker>(d, "dtpBirthday")->setDate(QDate(1990, 1, 2));
            w<DatePicker>(d, "dtpBirthday")->setChecked(true);
            w<QCheckBox>(d, "CheckBox2")->setChecked(true);
            QTest::keyClick(w<QLineEdit>(d, "edtName"), Qt::Key_S, Qt::ControlModifier);
            QTest::keyClick(w<QLineEdit>(d, "edtName"), Qt::Key_Escape);
            return d->result();
        });
        win.ShowRecord(0);
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 2);
        QCOMPARE(t.count("t_linkman", "F_cltID = 1 and F_IFkey = 1"), 2); // the first stays marked
        QVERIFY(t.scalar("select F_birthday from t_linkman where F_name = :n", {{"n", QStringLiteral("张三")}}).toString().startsWith("1900-08-14"));
        QVERIFY(t.scalar("select F_birthday from t_linkman where F_dept = :n", {{"n", QStringLiteral("销售'部")}}).toString().startsWith("1990-01-02"));
        QCOMPARE(t.scalar("select F_officePhone from t_linkman where F_name = :n", {{"n", QStringLiteral("张三")}}).toString(), QString("021-1"));
        // the customer holds the last main contact; empty values left what was there
        QCOMPARE(clientField(t, "F_LXRname", 1).toString(), QStringLiteral("O'Neil \"小李\""));
        QCOMPARE(clientField(t, "F_LXRdept", 1).toString(), QStringLiteral("销售'部"));
        QCOMPARE(clientField(t, "F_LXRduty", 1).toString(), QStringLiteral("经理"));
        QCOMPARE(clientField(t, "F_LXRphone", 1).toString(), QString("021-1"));
        QCOMPARE(clientField(t, "F_QQ", 1).toString(), QString("55555"));
        QCOMPARE(clientField(t, "F_LXRname", 2).toString(), QString());
        // the contacts tab shows the saved contact, its birthday blank when empty
        DataSet *d2 = ws.detail(2);
        QCOMPARE(d2->recordCount(), 2);
        QCOMPARE(d2->text("F_dept"), QStringLiteral("销售'部"));
        const int zhang = d2->locate("F_name", QStringLiteral("张三")) ? d2->currentRow() : -1;
        QCOMPARE(d2->displayText(zhang, d2->fieldIndex("F_birthday")), QString());
    }

    void editKeepsWhatTheWindowDoesNotShow()
    {
        TestDb t;
        addCustomers(t);
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("一号")}});
        const qint64 key = t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("二号")}, {"F_QQ", "777"}, {"F_IFkey", 1},
                                                  {"F_birthday", "1980-02-03"}, {"F_code", "K2"}, {"F_dept", QStringLiteral("技术部")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        ws.detail(2)->setCurrentRow(ws.detail(2)->rowOfKey(key));
        Script s;
        TfrmEmpEdit win(&ws);
        s.onModal([&](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("联系人档案 - 修改"));
                QVERIFY(!w<QCheckBox>(d, "CheckBox1")->isVisible());
                QVERIFY(w<QWidget>(d, "DBNavigator1")->isVisible());
                QCOMPARE(w<QLineEdit>(d, "edtName")->text(), QStringLiteral("二号"));
                QCOMPARE(w<QComboBox>(d, "cbbdept")->currentText(), QStringLiteral("技术部"));
                QVERIFY(w<QCheckBox>(d, "CheckBox2")->isChecked());
                QVERIFY(w<DatePicker>(d, "dtpBirthday")->isChecked());
                QCOMPARE(w<DatePicker>(d, "dtpBirthday")->date(), QDate(1980, 2, 3));
            }();
            screenshot(d, "contactedit-edit");
            click(d, "nbFirst");
            [&] { QCOMPARE(w<QLineEdit>(d, "edtName")->text(), QStringLiteral("一号")); }();
            click(d, "nbLast");
            w<QLineEdit>(d, "edthandphone")->setText("139");
            // unmarking keeps the customer's main contact as it is
            w<QCheckBox>(d, "CheckBox2")->setChecked(false);
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(1);
        QCOMPARE(win.result(), int(QDialog::Accepted));
        QSqlQuery q(t.db());
        QVERIFY(q.exec(QStringLiteral("select F_handPhone, F_QQ, F_code, F_IFkey, F_cltID from t_linkman where F_ID = %1").arg(key)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("139"));
        QCOMPARE(q.value(1).toString(), QString("777"));
        QCOMPARE(q.value(2).toString(), QString("K2"));
        QCOMPARE(q.value(3).toBool(), false);
        QCOMPARE(q.value(4).toInt(), 1);
        QCOMPARE(clientField(t, "F_LXRname", 1).toString(), QStringLiteral("旧联系人"));
        QCOMPARE(ws.detail(2)->keyOf(ws.detail(2)->currentRow()), key);
    }

    void failedSaveRollsBackTheContactToo()
    {
        TestDb t;
        addCustomers(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        QVERIFY(t.exec("CREATE TRIGGER broken BEFORE UPDATE ON t_client BEGIN SELECT RAISE(ABORT, 'gone'); END"));
        Script s;
        ContactEditor e(&ws);
        QVariantMap f = ContactEditor::emptyFields();
        f["F_name"] = QStringLiteral("回滚");
        f["F_IFkey"] = true;
        QCOMPARE(saveAsWindow(e, f), SaveResult::Failed);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("保存失败，请检测数据库连接！")});
        QCOMPARE(t.count("t_linkman"), 0);
        // without the main-contact mark nothing touches the customer
        f["F_IFkey"] = false;
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 1);
    }

    void contactOfAnUnnumberedCustomer()
    {
        TestDb t;
        const qint64 id = t.insert("t_client", {{"F_cltID", 0}, {"F_name", QStringLiteral("导入客户")}});
        t.insert("t_client", {{"F_cltID", 0}, {"F_name", QStringLiteral("另一个导入客户")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(id));
        Script s;
        ContactEditor e(&ws);
        QVariantMap f = ContactEditor::emptyFields();
        f["F_name"] = QStringLiteral("赵六");
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        QCOMPARE(t.scalar("select F_cltID from t_client where F_ID = :id", {{"id", id}}).toLongLong(), id);
        QCOMPARE(t.count("t_linkman", "F_cltID = :n", {{"n", id}}), 1);
        QCOMPARE(ws.QryMain->keyOf(ws.QryMain->currentRow()), id);
        QCOMPARE(ws.detail(2)->recordCount(), 1);
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(id + 1));
        QCOMPARE(ws.detail(2)->recordCount(), 0);
    }

    void saveOnEveryBackend_data() { addBackendRows(); }
    void saveOnEveryBackend()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addCustomers(t);
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        Script s;
        ContactEditor e(&ws);
        QVariantMap f = ContactEditor::emptyFields();
        f["F_name"] = QStringLiteral("O'Neil");
        f["F_duty"] = QStringLiteral("总'监");
        f["F_IFkey"] = true;
        f["F_birthday"] = QDate(1985, 6, 7);
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        QCOMPARE(clientField(t, "F_LXRname", 1).toString(), QStringLiteral("O'Neil"));
        QCOMPARE(clientField(t, "F_LXRduty", 1).toString(), QStringLiteral("总'监"));
        QCOMPARE(clientField(t, "F_LXRdept", 1).toString(), QStringLiteral("原部门"));
        QCOMPARE(clientField(t, "F_QQ", 1).toString(), QString("55555"));
        QCOMPARE(t.scalar("select F_birthday from t_linkman where F_cltID = 1").toDate(), QDate(1985, 6, 7));
        QVERIFY(t.exec("update t_linkman set F_QQ = '888'"));
        QCOMPARE(ws.detail(2)->recordCount(), 1);
        e.setEditMode(true);
        f = e.currentFields();
        QCOMPARE(f.value("F_name").toString(), QStringLiteral("O'Neil"));
        f["F_birthday"] = QDate();
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        QCOMPARE(t.scalar("select F_QQ from t_linkman where F_cltID = 1").toString(), QString("888"));
        QCOMPARE(t.scalar("select F_birthday from t_linkman where F_cltID = 1").toDate(), QDate(1900, 8, 14));
        QCOMPARE(t.count("t_linkman"), 1);
    }

    void mailButton()
    {
        TestDb t;
        addCustomers(t);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmEmpEdit win(&ws);
        s.onModal([&](QDialog *d) {
            w<QLineEdit>(d, "edtEmail")->setText(" li@jia.cn ");
            click(d, "Button4");
            w<QLineEdit>(d, "edtEmail")->setText("li.jia.cn");
            click(d, "Button4");
            [&] {
                const auto m = s.takeMessages();
                QCOMPARE(m.size(), 1);
                QCOMPARE(m.first().text, QStringLiteral("非法电子邮箱！"));
                QCOMPARE(m.first().kind, 3);
            }();
            click(d, "Button2");
            return d->result();
        });
        win.ShowRecord(0);
        QCOMPARE(s.urls.size(), 1);
        QCOMPARE(s.urls.first().toString(), QString("mailto:li@jia.cn?subject"));
        QCOMPARE(t.count("t_linkman"), 0);
    }
};

QTEST_MAIN(TestContactEdit)
#include "tst_contactedit.moc"
