#include "app/AppState.h"
#include "platform/DataGrid.h"
#include "platform/DatePicker.h"
#include "platform/Format.h"
#include "SaveAsWindow.h"
#include "support/TestSupport.h"
#include "workspace/ClientEditor.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/TfrmCltEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

using namespace TestSupport;

namespace {
SqlStatement all() { return {QStringLiteral("select * from t_client where (1=1)  order by F_ID"), {}}; }

QString today() { return QDate::currentDate().toString(QStringLiteral("yyyyMMdd")); }

void setAutoCode(bool on)
{
    AppState st = appState();
    st.AutoCustomerCode = on;
    replaceAppState(st);
}

template <typename T>
T *w(QObject *root, const char *name)
{
    return root->findChild<T *>(QString::fromLatin1(name));
}

bool activate(QDialog *d)
{
    d->activateWindow();
    return QTest::qWaitForWindowActive(d);
}

// Types a value into the grid's current cell and leaves it with Tab.
void typeCell(DataGrid *g, const QString &text)
{
    g->setFocus();
    typeText(g, text);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && g->viewport()->isAncestorOf(editor));
    QTest::keyClick(editor, Qt::Key_Tab);
}

void ctrlS(QDialog *d)
{
    QWidget *f = QApplication::focusWidget();
    QTest::keyClick(f ? f : d, Qt::Key_S, Qt::ControlModifier);
}

QVariant field(const TestDb &t, const QString &column, const QString &name)
{
    return t.scalar(QStringLiteral("select %1 from t_client where F_name = :n").arg(column), {{"n", name}});
}
} // namespace

class TestCustomerEdit : public QObject
{
    Q_OBJECT

private slots:
    void init() { setAutoCode(false); }

    // A new operator adds a customer with two contacts and a product, then a
    // second one without closing the window, then closes it.
    void addCustomersWithContactsAndProducts()
    {
        TestDb t;
        t.insert("t_goods", {{"F_code", "P01"}, {"F_name", QStringLiteral("螺丝")}, {"F_type", QStringLiteral("五金")},
                             {"F_spec", "M6"}, {"F_unit", QStringLiteral("个")}, {"F_price", 2.5}});
        t.insert("t_client", {{"F_cltID", 7}, {"F_code", "OLD"}, {"F_name", QStringLiteral("老客户")}});
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            if (!activate(d))
                return 0;
            [&] { QCOMPARE(d->windowTitle(), QStringLiteral("客户档案 - 新增")); }();
            auto *check = w<QCheckBox>(d, "CheckBox1");
            [&] { QVERIFY(check->isVisible() && check->isChecked()); }();
            [&] { QVERIFY(!w<QWidget>(d, "DBNavigator1")->isVisible()); }();
            [&] { QCOMPARE(win.SaveCltID(), 0); }(); // given by the save
            typeText(w<QLineEdit>(d, "edtName"), QStringLiteral("  华东机电 "));
            QTest::keyClicks(w<QLineEdit>(d, "edtcode"), "HD01");
            w<QComboBox>(d, "cbbtype")->setEditText(QStringLiteral("重点客户"));
            typeText(w<QLineEdit>(d, "edtcity"), QStringLiteral("上海"));
            typeText(w<QPlainTextEdit>(d, "Mem"), QStringLiteral("第一行\n第二行"));
            // contacts
            auto *pages = w<QTabWidget>(d, "PageControl1");
            [&] { QVERIFY(!w<QPushButton>(d, "Button6")->isVisible()); }();
            pages->setCurrentIndex(2);
            [&] { QVERIFY(w<QPushButton>(d, "Button6")->isVisible()); }();
            auto *contacts = w<DataGrid>(d, "DBGridEh1");
            click(d, "Button6");
            typeCell(contacts, QStringLiteral("张三"));
            click(d, "Button6");
            typeCell(contacts, QStringLiteral("李四"));
            // no more than the column holds
            click(d, "Button6");
            typeCell(contacts, QString(60, QChar(0x738B)));
            [&] { QCOMPARE(ws.detail(2)->value(2, "F_name").toString().size(), 50); }();
            ws.detail(2)->deleteCurrent();
            click(d, "Button6"); // a row left empty is dropped
            // a product by its code
            pages->setCurrentIndex(3);
            auto *products = w<DataGrid>(d, "DBGridEh2");
            click(d, "Button6");
            products->setFocus();
            QTest::keyClick(products, Qt::Key_P);
            QTest::keyClicks(QApplication::focusWidget(), "01");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            [&] {
                QCOMPARE(ws.detail(8)->value(0, "F_GDname").toString(), QStringLiteral("螺丝"));
                QCOMPARE(ws.detail(8)->value(0, "F_price").toDouble(), 2.5);
                QCOMPARE(products->dataSet()->currentRow(), 0);
                QCOMPARE(products->column(products->currentIndex().column()).fieldName, QString("F_price"));
            }();
            ctrlS(d);
            // continuous add: the window stays for the next customer
            [&] {
                QVERIFY(d->isVisible());
                QCOMPARE(w<QLineEdit>(d, "edtName")->text(), QString());
                QCOMPARE(win.SaveCltID(), 0);
                QCOMPARE(ws.detail(2)->recordCount(), 0);
            }();
            typeText(w<QLineEdit>(d, "edtName"), QStringLiteral("华南贸易"));
            click(d, "Button1");
            QTest::keyClick(w<QLineEdit>(d, "edtName"), Qt::Key_Escape);
            return d->result();
        });
        win.ShowRecord(0);
        QVERIFY(s.takeMessages().isEmpty());

        QCOMPARE(field(t, "F_cltID", QStringLiteral("华东机电")).toInt(), 8);
        QCOMPARE(field(t, "F_code", QStringLiteral("华东机电")).toString(), QString("HD01"));
        QCOMPARE(field(t, "F_city", QStringLiteral("华东机电")).toString(), QStringLiteral("上海"));
        QCOMPARE(field(t, "F_type", QStringLiteral("华东机电")).toString(), QStringLiteral("重点客户"));
        QCOMPARE(field(t, "F_mem", QStringLiteral("华东机电")).toString(), QStringLiteral("第一行\n第二行"));
        QCOMPARE(field(t, "F_cltID", QStringLiteral("华南贸易")).toInt(), 9);
        QCOMPARE(t.count("t_linkman", "F_cltID = 8"), 2);
        QCOMPARE(t.count("t_linkman"), 2);
        QCOMPARE(t.count("t_GooDrec", "F_cltID = 8 and F_GDcode = 'P01' and F_unit = :u", {{"u", QStringLiteral("个")}}), 1);
        QCOMPARE(t.count("t_GooDrec"), 1);
        // the list is on the last saved customer; contacts follow the list again
        QCOMPARE(ws.QryMain->text("F_name"), QStringLiteral("华南贸易"));
        QCOMPARE(ws.QryMain->recordCount(), 3);
        QVERIFY(ws.detail(2)->isLinked());
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(t.scalar("select F_ID from t_client where F_cltID = 8").toLongLong()));
        QCOMPARE(ws.detail(2)->recordCount(), 2);
        QCOMPARE(ws.detail(8)->recordCount(), 1);
    }

    void copyProposesEverythingButCodeAndNumber()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 3}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲公司")}, {"F_city", QStringLiteral("北京")},
                              {"F_LXRname", QStringLiteral("王五")}, {"F_ZF1", "x"}, {"F_SZ2", 12.5}, {"F_RQ1", "2024-05-06"},
                              {"F_RQ2", "1900-08-14"}, {"F_useFlag", 1}});
        t.insert("t_linkman", {{"F_cltID", 3}, {"F_name", QStringLiteral("联系人甲")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("客户档案 - 新增"));
                QCOMPARE(w<QLineEdit>(d, "edtName")->text(), QStringLiteral("甲公司"));
                QCOMPARE(w<QLineEdit>(d, "edtcode")->text(), QString());
                QCOMPARE(w<QLineEdit>(d, "edtLXRname")->text(), QStringLiteral("王五"));
                QCOMPARE(w<QDoubleSpinBox>(d, "rceSZ2")->value(), 12.5);
                QCOMPARE(w<QDoubleSpinBox>(d, "rceSZ2")->text(), QString("12.5")); // as the list shows it
                w<QDoubleSpinBox>(d, "rceSZ3")->setValue(317);
                QCOMPARE(w<QDoubleSpinBox>(d, "rceSZ3")->text(), QString("317"));
                QVERIFY(w<DatePicker>(d, "dtpRQ1")->isChecked());
                QCOMPARE(w<DatePicker>(d, "dtpRQ1")->date(), QDate(2024, 5, 6));
                QVERIFY(!w<DatePicker>(d, "dtpRQ2")->isChecked());
                QVERIFY(w<QCheckBox>(d, "CheckBox2")->isChecked());
                QCOMPARE(ws.detail(2)->recordCount(), 0); // contacts are not copied
                QCOMPARE(win.SaveCltID(), 0);
            }();
            QTest::keyClicks(w<QLineEdit>(d, "edtcode"), "A2");
            w<QCheckBox>(d, "CheckBox1")->setChecked(false);
            s.answer(2); // the same name: keep it
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(2);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("客户名称重复，重新输入吗？")});
        QCOMPARE(t.count("t_client"), 2);
        QSqlQuery q(t.db());
        QVERIFY(q.exec("select F_cltID, F_city, F_LXRname, F_ZF1, F_SZ2, F_RQ1, F_RQ2, F_useFlag from t_client where F_code = 'A2'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 4);
        QCOMPARE(q.value(1).toString(), QStringLiteral("北京"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("王五"));
        QCOMPARE(q.value(3).toString(), QString("x"));
        QCOMPARE(q.value(4).toDouble(), 12.5);
        QVERIFY(q.value(5).toString().startsWith("2024-05-06"));
        QVERIFY(q.value(6).toString().startsWith("1900-08-14"));
        QCOMPARE(q.value(7).toBool(), true);
        QCOMPARE(t.count("t_linkman"), 1);
        QCOMPARE(ws.QryMain->text("F_code"), QString("A2"));
    }

    void editKeepsHiddenColumnsAndRefusesTakenCodes()
    {
        TestDb t;
        setAutoCode(true); // even with automatic codes an existing customer keeps its code
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲公司")}, {"F_QQ", "12345"},
                              {"F_movephone", "13900000000"}, {"F_date", "2023-01-02"}});
        t.insert("t_client", {{"F_cltID", 2}, {"F_code", "B1"}, {"F_name", QStringLiteral("乙公司")}});
        t.insert("t_client", {{"F_cltID", 3}, {"F_code", "C1"}, {"F_name", QStringLiteral("丙公司")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        ws.QryMain->setCurrentRow(0);
        const qint64 key = ws.QryMain->keyOf(0);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("客户档案 - 修改"));
                QVERIFY(!w<QCheckBox>(d, "CheckBox1")->isVisible());
                QVERIFY(w<QWidget>(d, "DBNavigator1")->isVisible());
                QVERIFY(!w<QLineEdit>(d, "edtcode")->isReadOnly());
                QVERIFY(w<DatePicker>(d, "dtpeditdate")->isChecked()); // no stored date: today
                QCOMPARE(w<DatePicker>(d, "dtpeditdate")->date(), QDate::currentDate());
            }();
            auto *code = w<QLineEdit>(d, "edtcode");
            code->setText("B1");
            click(d, "Button1");
            [&] {
                QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("客户助记码重复，请重新输入！")});
                QVERIFY(d->isVisible());
                QCOMPARE(code->text(), QString("B1"));
            }();
            code->setText("A9");
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("甲公司新名"));
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(1);
        QCOMPARE(win.result(), int(QDialog::Accepted));
        QSqlQuery q(t.db());
        QVERIFY(q.exec("select F_code, F_name, F_QQ, F_movephone, F_date, F_cltID from t_client where F_cltID = 1"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("A9"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("甲公司新名"));
        QCOMPARE(q.value(2).toString(), QString("12345"));
        QCOMPARE(q.value(3).toString(), QString("13900000000"));
        QVERIFY(q.value(4).toString().startsWith("2023-01-02"));
        QCOMPARE(q.value(5).toInt(), 1);
        QCOMPARE(ws.QryMain->keyOf(ws.QryMain->currentRow()), key);
        QCOMPARE(t.count("t_client"), 3);
    }

    void navigatorMovesAndReloads()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲")}});
        t.insert("t_client", {{"F_cltID", 2}, {"F_code", "B1"}, {"F_name", QStringLiteral("乙")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("改了不存"));
            click(d, "nbNext");
            [&] { QCOMPARE(w<QLineEdit>(d, "edtName")->text(), QStringLiteral("乙")); }();
            w<QLineEdit>(d, "edtcity")->setText(QStringLiteral("杭州"));
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(1);
        QCOMPARE(field(t, "F_city", QStringLiteral("乙")).toString(), QStringLiteral("杭州"));
        QCOMPARE(t.count("t_client", "F_name = :n", {{"n", QStringLiteral("甲")}}), 1);
        QCOMPARE(ws.QryMain->text("F_name"), QStringLiteral("乙"));
    }

    void cancelLeavesNoContactsOrProducts()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲")}});
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("原联系人")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        for (int mode : {0, 1}) {
            Script s;
            TfrmCltEdit win(&ws, 2);
            s.onModal([&](QDialog *d) {
                w<QTabWidget>(d, "PageControl1")->setCurrentIndex(2);
                click(d, "Button6");
                ws.detail(2)->setValue("F_name", QStringLiteral("临时"));
                ws.detail(2)->post();
                w<QTabWidget>(d, "PageControl1")->setCurrentIndex(3);
                click(d, "Button6");
                ws.detail(8)->setValue("F_GDcode", "X");
                click(d, "Button2");
                return d->result();
            });
            win.ShowRecord(mode);
            QCOMPARE(t.count("t_linkman"), 1);
            QCOMPARE(t.count("t_GooDrec"), 0);
            QVERIFY(!ws.detail(2)->hasPendingUpdates());
            QVERIFY(!ws.detail(8)->hasPendingUpdates());
            QCOMPARE(ws.detail(2)->recordCount(), 1); // the customer's own contact again
        }
    }

    void customDatesAndCaptions()
    {
        TestDb t;
        AppState st = appState();
        st.CustomSettings[0] = QStringLiteral("客户级别");
        st.CustomSettings[8] = QStringLiteral("成立日期");
        replaceAppState(st);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            [&] {
                QCOMPARE(w<QLabel>(d, "lblZF1")->text(), QStringLiteral("客户级别："));
                QCOMPARE(w<QLabel>(d, "lblRQ1")->text(), QStringLiteral("成立日期："));
                QCOMPARE(w<QLabel>(d, "lblRQ1")->buddy(), w<QWidget>(d, "dtpRQ1"));
                QVERIFY(!w<DatePicker>(d, "dtpRQ1")->isChecked());
                QCOMPARE(w<QLineEdit>(d, "edtName")->maxLength(), 100);
                QCOMPARE(w<QComboBox>(d, "cbbtype")->lineEdit()->maxLength(), 100);
                QCOMPARE(w<QLineEdit>(d, "edtLXRphone")->maxLength(), 255);
            }();
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("日期客户"));
            w<DatePicker>(d, "dtpRQ2")->setDate(QDate(2025, 3, 4));
            w<DatePicker>(d, "dtpRQ2")->setChecked(true);
            w<QCheckBox>(d, "CheckBox1")->setChecked(false);
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(0);
        QVERIFY(field(t, "F_RQ1", QStringLiteral("日期客户")).toString().startsWith("1900-08-14"));
        QVERIFY(field(t, "F_RQ2", QStringLiteral("日期客户")).toString().startsWith("2025-03-04"));
        QVERIFY(field(t, "F_editdate", QStringLiteral("日期客户")).toString().startsWith(QDate::currentDate().toString("yyyy-MM-dd")));
        const int row = ws.QryMain->currentRow();
        QCOMPARE(ws.QryMain->displayText(row, ws.QryMain->fieldIndex("F_RQ1")), QString());
        QCOMPARE(ws.QryMain->displayText(row, ws.QryMain->fieldIndex("F_RQ2")).left(10), QString("2025-03-04"));
    }

    void duplicateNameQuestion()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲公司")}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            [&] { QVERIFY(activate(d)); }();
            w<QCheckBox>(d, "CheckBox1")->setChecked(false);
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral(" 甲公司 "));
            w<QLineEdit>(d, "edtcity")->setFocus();
            s.answer(1); // yes: back to the name
            click(d, "Button1");
            [&] {
                QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("客户名称重复，重新输入吗？")});
                QVERIFY(d->isVisible());
                QCOMPARE(QApplication::focusWidget(), w<QWidget>(d, "edtName"));
                QCOMPARE(t.count("t_client"), 1);
            }();
            w<QLineEdit>(d, "edtName")->setText(QString());
            click(d, "Button1");
            [&] { QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("当前客户名称不能为空！")}); }();
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("甲公司"));
            s.answer(2); // no: saved with the same name
            click(d, "Button1");
            [&] { QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("客户名称重复，重新输入吗？")}); }();
            return d->result();
        });
        win.ShowRecord(0);
        QCOMPARE(t.count("t_client", "F_name = :n", {{"n", QStringLiteral("甲公司")}}), 2);
    }

    void automaticCodes()
    {
        TestDb t;
        setAutoCode(true);
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            auto *code = w<QLineEdit>(d, "edtcode");
            [&] {
                QCOMPARE(code->text(), today() + "001");
                QVERIFY(code->isReadOnly());
                QCOMPARE(code->palette().color(QPalette::Base), QColor(163, 149, 242));
                QVERIFY(!(code->focusPolicy() & Qt::TabFocus));
            }();
            // another workstation takes the code meanwhile
            t.insert("t_client", {{"F_cltID", 50}, {"F_code", today() + "001"}, {"F_name", QStringLiteral("别处")}});
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("自动编号"));
            click(d, "Button1");
            [&] {
                QCOMPARE(code->text(), today() + "003");
                QVERIFY(code->isReadOnly());
            }();
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("第二个"));
            w<QCheckBox>(d, "CheckBox1")->setChecked(false);
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(0);
        QCOMPARE(field(t, "F_code", QStringLiteral("自动编号")).toString(), today() + "002");
        QCOMPARE(field(t, "F_cltID", QStringLiteral("自动编号")).toInt(), 51); // above every number in use
        QCOMPARE(field(t, "F_code", QStringLiteral("第二个")).toString(), today() + "003");
    }

    void twoWorkstationsNeverShareANumber()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 4}, {"F_code", "A"}, {"F_name", QStringLiteral("已有")}});
        const QString second = QStringLiteral("second");
        QVERIFY(Database::open(second, t.settings()));
        {
            ClientWorkspace ws1;
            ClientWorkspace ws2;
            ws2.QryMain->setConnectionName(second);
            ws2.QryDetail51->setConnectionName(second);
            for (int n = 1; n <= 9; ++n)
                ws2.detail(n)->setConnectionName(second);
            ws1.RefreshClientList(all(), 2);
            ws2.RefreshClientList(all(), 2);
            ClientEditor a(&ws1, 2);
            ClientEditor b(&ws2, 2, second);
            a.begin(EditMode::New);
            b.begin(EditMode::New);
            QCOMPARE(a.saveCltID(), 0); // given at the save, not before
            ws2.detail(2)->append();
            ws2.detail(2)->setValue("F_name", QStringLiteral("乙的联系人"));
            QVariantMap fa = ClientEditor::emptyFields();
            fa["F_name"] = QStringLiteral("工作站甲");
            QVariantMap fb = ClientEditor::emptyFields();
            fb["F_name"] = QStringLiteral("工作站乙");
            QCOMPARE(saveAsWindow(a, fa), SaveResult::Saved);
            QCOMPARE(saveAsWindow(b, fb), SaveResult::Saved);
            QCOMPARE(field(t, "F_cltID", QStringLiteral("工作站甲")).toInt(), 5);
            QCOMPARE(field(t, "F_cltID", QStringLiteral("工作站乙")).toInt(), 6);
            QCOMPARE(t.count("t_linkman", "F_cltID = 6"), 1);
            a.end(true);
            b.end(true);

            // a number taken between the check and the insert: the next one
            QVERIFY(t.exec("CREATE TRIGGER taken BEFORE INSERT ON t_client WHEN NEW.F_cltID = 7 "
                           "BEGIN SELECT RAISE(ABORT, 'UNIQUE constraint failed: t_client.F_cltID'); END"));
            Script s;
            a.begin(EditMode::New);
            fa["F_name"] = QStringLiteral("重试");
            QCOMPARE(saveAsWindow(a, fa), SaveResult::Saved);
            QCOMPARE(field(t, "F_cltID", QStringLiteral("重试")).toInt(), 8);
            a.end(true);
        }
        Database::close(second);
    }

    void failedSaveRollsBackAndKeepsTheFields()
    {
        TestDb t;
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        QVERIFY(t.exec("CREATE TRIGGER broken BEFORE INSERT ON t_client BEGIN SELECT RAISE(ABORT, 'disk gone'); END"));
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            w<QLineEdit>(d, "edtName")->setText(QStringLiteral("保存失败"));
            w<QLineEdit>(d, "edtPhone")->setText("021-1234");
            w<QCheckBox>(d, "CheckBox1")->setChecked(false);
            ws.detail(2)->append();
            ws.detail(2)->setValue("F_name", QStringLiteral("联系人"));
            ws.detail(8)->append();
            ws.detail(8)->setValue("F_GDname", QStringLiteral("产品"));
            click(d, "Button1");
            [&] {
                QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("保存失败，请检测数据库连接！")});
                QVERIFY(d->isVisible());
                QCOMPARE(w<QLineEdit>(d, "edtPhone")->text(), QString("021-1234"));
                QCOMPARE(t.count("t_client"), 0);
                QCOMPARE(t.count("t_linkman"), 0);
                QCOMPARE(t.count("t_GooDrec"), 0);
            }();
            t.exec("DROP TRIGGER broken");
            click(d, "Button1");
            return d->result();
        });
        win.ShowRecord(0);
        QCOMPARE(win.result(), int(QDialog::Accepted));
        QCOMPARE(t.count("t_client"), 1);
        QCOMPARE(t.count("t_linkman", "F_cltID = 1"), 1);
        QCOMPARE(t.count("t_GooDrec", "F_cltID = 1"), 1);
    }

    void refreshFailureIsNotASaveFailure()
    {
        TestDb t;
        QVERIFY(t.exec("CREATE VIEW v_clients AS SELECT * FROM t_client"));
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList({QStringLiteral("select * from v_clients where (1=1)  order by F_ID"), {}}, 2));
        QVERIFY(t.exec("DROP VIEW v_clients"));
        Script s;
        ClientEditor e(&ws, 2);
        e.begin(EditMode::New);
        QVariantMap f = ClientEditor::emptyFields();
        f["F_name"] = QStringLiteral("已保存");
        QCOMPARE(saveAsWindow(e, f), SaveResult::SavedRefreshFailed);
        const QStringList texts = s.takeTexts();
        QVERIFY(!texts.contains(QStringLiteral("保存失败，请检测数据库连接！")));
        QVERIFY(texts.last().startsWith(QStringLiteral("客户资料已保存")));
        QCOMPARE(t.count("t_client"), 1);
        e.end(true);
    }

    void unnumberedCustomersGetANumber()
    {
        TestDb t;
        const qint64 own = t.insert("t_client", {{"F_cltID", 0}, {"F_code", "N1"}, {"F_name", QStringLiteral("未编号一")}});
        t.insert("t_client", {{"F_cltID", int(own) + 1}, {"F_code", "X"}, {"F_name", QStringLiteral("占号")}});
        const qint64 other = t.insert("t_client", {{"F_cltID", 0}, {"F_code", "N2"}, {"F_name", QStringLiteral("未编号二")}});
        QVERIFY(t.exec("update t_client set F_cltID = :n where F_name = :x", {{"n", int(other)}, {"x", QStringLiteral("占号")}}));
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        for (qint64 key : {own, other}) {
            ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(key));
            QCOMPARE(ws.detail(2)->recordCount(), 0);
            ClientEditor e(&ws, 2);
            e.begin(EditMode::Edit);
            QVariantMap f = e.currentFields();
            QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
            e.end(true);
        }
        // its own key when free; otherwise the next number
        QCOMPARE(t.scalar("select F_cltID from t_client where F_ID = :k", {{"k", own}}).toLongLong(), own);
        QCOMPARE(t.scalar("select F_cltID from t_client where F_ID = :k", {{"k", other}}).toLongLong(), other + 1);
    }

    void mailWebAndIndustryButtons()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A"}, {"F_name", QStringLiteral("甲")}, {"F_email", "boss@jia.cn"},
                              {"F_LXRemail", "li@jia.cn"}, {"F_homepage", "www.jia.cn"}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            [&] { QVERIFY(activate(d)); }();
            click(d, "Button4");
            click(d, "Button5");
            click(d, "Button3");
            w<QLineEdit>(d, "edtLXRemail")->setText("nobody");
            click(d, "Button5");
            [&] {
                QCOMPARE(s.takeMessages().size(), 1);
                QCOMPARE(QApplication::focusWidget(), w<QWidget>(d, "edtLXRemail"));
            }();
            s.onModal([](QDialog *) { return int(QDialog::Rejected); });
            click(d, "SpeedButton3");
            click(d, "Button2");
            return d->result();
        });
        win.ShowRecord(1);
        QCOMPARE(s.urls.size(), 3);
        QCOMPARE(s.urls.at(0).toString(), QString("mailto:boss@jia.cn?subject"));
        QCOMPARE(s.urls.at(1).toString(), QString("mailto:li@jia.cn?subject"));
        QCOMPARE(s.urls.at(2).host(), QString("www.jia.cn"));
        QCOMPARE(s.dialogsShown().last(), QString("TFrmTreeCodeMan"));
    }

    // The save itself on every database the program runs on.
    void editorOnEveryBackend_data() { addBackendRows(); }
    void editorOnEveryBackend()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const qint64 first = t.insert("t_client", {{"F_cltID", 1}, {"F_code", "A1"}, {"F_name", QStringLiteral("甲")}, {"F_QQ", "123"}});
        ClientWorkspace ws;
        QVERIFY(ws.RefreshClientList(all(), 2));
        ClientEditor e(&ws, 2);
        e.begin(EditMode::New);
        ws.detail(2)->append();
        ws.detail(2)->setValue("F_name", QStringLiteral("联系人"));
        ws.detail(8)->append();
        ws.detail(8)->setValue("F_GDcode", "P1");
        ws.detail(8)->setValue("F_price", 2.5);
        QVariantMap f = ClientEditor::emptyFields();
        f["F_name"] = QStringLiteral("乙'公司");
        f["F_code"] = "a1"; // codes compare without regard to case
        QCOMPARE(saveAsWindow(e, f), SaveResult::Invalid);
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("客户助记码重复，请重新输入！")});
        QCOMPARE(lastFocus(), QString("F_code"));
        f["F_code"] = "B1";
        f["F_RQ1"] = QDate(2024, 5, 6);
        f["F_SZ1"] = 3.25;
        f["F_useFlag"] = true;
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        e.end(true);
        QCOMPARE(t.count("t_client", "F_cltID = 2 and F_code = 'B1'"), 1);
        QCOMPARE(t.scalar("select F_RQ1 from t_client where F_cltID = 2").toDate(), QDate(2024, 5, 6));
        QCOMPARE(t.scalar("select F_RQ2 from t_client where F_cltID = 2").toDate(), QDate(1900, 8, 14));
        QCOMPARE(t.scalar("select F_SZ1 from t_client where F_cltID = 2").toDouble(), 3.25);
        QCOMPARE(t.count("t_linkman", "F_cltID = 2"), 1);
        QCOMPARE(t.count("t_GooDrec", "F_cltID = 2"), 1);
        QCOMPARE(ws.QryMain->text("F_code"), QString("B1"));
        // an edit writes the window's columns only
        ws.QryMain->setCurrentRow(ws.QryMain->rowOfKey(first));
        e.begin(EditMode::Edit);
        f = e.currentFields();
        f["F_city"] = QStringLiteral("苏州");
        QCOMPARE(saveAsWindow(e, f), SaveResult::Saved);
        e.end(true);
        QCOMPARE(t.scalar("select F_QQ from t_client where F_ID = :k", {{"k", first}}).toString(), QString("123"));
        QCOMPARE(t.scalar("select F_city from t_client where F_ID = :k", {{"k", first}}).toString(), QStringLiteral("苏州"));
        QCOMPARE(ws.QryMain->keyOf(ws.QryMain->currentRow()), first);
    }

    void everyPageInEveryMode()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "HD001"}, {"F_name", QStringLiteral("华东精密机电设备有限公司")},
                              {"F_type", QStringLiteral("重点客户")}, {"F_hangye", QStringLiteral("\\制造业\\机械设备")},
                              {"F_city", QStringLiteral("上海")}, {"F_address", QStringLiteral("浦东新区张江路 88 号")},
                              {"F_phone", "021-55550000"}, {"F_email", "sales@hd.cn"}, {"F_homepage", "www.hd.cn"},
                              {"F_LXRname", QStringLiteral("王经理")}, {"F_mem", QStringLiteral("年度框架协议客户")}});
        t.insert("t_linkman", {{"F_cltID", 1}, {"F_name", QStringLiteral("王经理")}, {"F_IFkey", 1}, {"F_dept", QStringLiteral("采购部")},
                               {"F_officePhone", "021-55550001"}, {"F_birthday", "1900-08-14"}});
        t.insert("t_GooDrec", {{"F_cltID", 1}, {"F_GDcode", "P01"}, {"F_GDname", QStringLiteral("伺服电机")}, {"F_price", 1280.5},
                               {"F_editdate", "2024-03-01"}});
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        const struct
        {
            int mode;
            const char *title;
        } modes[] = {{0, "客户档案 - 新增"}, {1, "客户档案 - 修改"}, {2, "客户档案 - 新增"}};
        for (const auto &m : modes) {
            Script s;
            TfrmCltEdit win(&ws, 2);
            s.onModal([&](QDialog *d) {
                [&] { QCOMPARE(d->windowTitle(), QString::fromUtf8(m.title)); }();
                auto *pages = w<QTabWidget>(d, "PageControl1");
                [&] {
                    QCOMPARE(pages->count(), 5);
                    QCOMPARE(pages->tabText(1), QStringLiteral(" 主联系人 "));
                }();
                for (int i = 0; i < pages->count(); ++i) {
                    pages->setCurrentIndex(i);
                    QApplication::processEvents();
                    screenshot(d, QStringLiteral("cltedit-mode%1-page%2").arg(m.mode).arg(i));
                }
                click(d, "Button2");
                return d->result();
            });
            win.ShowRecord(m.mode);
        }
        QCOMPARE(t.count("t_client"), 1);
    }

    void unknownGoodsCode()
    {
        TestDb t;
        ClientWorkspace ws;
        ws.RefreshClientList(all(), 2);
        Script s;
        TfrmCltEdit win(&ws, 2);
        s.onModal([&](QDialog *d) {
            [&] { QVERIFY(activate(d)); }();
            w<QTabWidget>(d, "PageControl1")->setCurrentIndex(3);
            auto *g = w<DataGrid>(d, "DBGridEh2");
            click(d, "Button6");
            g->setFocus();
            QTest::keyClick(g, Qt::Key_N);
            QTest::keyClicks(QApplication::focusWidget(), "ope");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            [&] {
                QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("商品\"nope\"不存在，请检查输入？")});
                QCOMPARE(g->currentIndex().column(), 0);
                // no goods picker yet: no ellipsis in the name column
                QVERIFY(!g->column(g->columnOfField("F_GDname")).alwaysShowEditButton);
            }();
            click(d, "Button2");
            return d->result();
        });
        win.ShowRecord(0);
        QCOMPARE(t.count("t_GooDrec"), 0);
    }
};

QTEST_MAIN(TestCustomerEdit)
#include "tst_customeredit.moc"
