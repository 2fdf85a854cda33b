#include "app/AppConst.h"
#include "app/AppState.h"
#include "app/TdmData.h"
#include "platform/DatePicker.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace TestSupport;

class TestDataModule : public QObject
{
    Q_OBJECT
    static QString today() { return QDate::currentDate().toString("yyyyMMdd"); }

private slots:
    void singleValues_data() { TestSupport::addBackendRows(); }
    void singleValues()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        TdmData *dm = t.dm();
        QCOMPARE(dm->QueryString("select F_name from t_code where F_type = :t", {{"t", "none"}}), QString());
        QCOMPARE(dm->QueryString("select NULL"), QString());
        QCOMPARE(dm->QueryInt("select count(*) from Limits"), 56);
        QCOMPARE(dm->QueryInt("select F_ID from t_code where 1=0"), 0);
        QCOMPARE(dm->QueryFloat("select 2.5"), 2.5);
        QCOMPARE(dm->QueryString("select F_Value from KeyValue order by F_ID"), QStringLiteral("客户级别"));
        // a failing statement is reported once and gives the neutral value
        QCOMPARE(dm->QueryInt("select nonsense from nowhere"), 0);
        QCOMPARE(dm->QueryString("select nonsense from nowhere"), QString());
        QVERIFY(!dm->ExecSql("update nowhere set x = 1"));
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 3);
        for (const auto &msg : m) {
            QCOMPARE(msg.text, QStringLiteral("操作失败，请检查数据连接... "));
            QCOMPARE(msg.kind, 3);
        }
    }

    void deletesAndQueries_data() { TestSupport::addBackendRows(); }
    void deletesAndQueries()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const qint64 id = t.insert("t_code", {{"F_type", "x"}, {"F_name", "a"}});
        QVERIFY(t.dm()->DeleteById("t_code", id));
        QCOMPARE(t.count("t_code", "F_type='x'"), 0);
        QVERIFY(!t.dm()->DeleteById("no_table", 1));
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("删除操作失败，请检查数据连接... ")});
        DataSet q;
        QVERIFY(t.dm()->OpenQuery("select * from t_code where F_type = :t", &q, {{"t", "dept"}}));
        QCOMPARE(q.recordCount(), 8);
        QVERIFY(!t.dm()->OpenQuery("select * from nowhere", &q));
        QVERIFY(!q.isOpen());
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("打开操作失败，请检查数据连接... ")});
    }

    void comboBoxesSkipBlankValues_data() { TestSupport::addBackendRows(); }
    void comboBoxesSkipBlankValues()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        for (const QString &v : {QString("A"), QString(""), QString(" "), QString("B"), QString("A")})
            t.insert("t_code", {{"F_type", "x"}, {"F_name", v}});
        QComboBox combo;
        combo.setEditable(true);
        combo.setEditText("old");
        t.dm()->FillComboBox("select F_name from t_code where F_type = 'x' order by F_ID", &combo);
        QStringList items;
        for (int i = 0; i < combo.count(); ++i)
            items << combo.itemText(i);
        QCOMPARE(items, (QStringList{"A", "B", "A"}));
        QCOMPARE(combo.currentText(), QString());
        t.dm()->FillComboBox("select F_name from nowhere", &combo);
        QCOMPARE(combo.count(), 3);
        QCOMPARE(s.takeTexts().size(), 1);
    }

    void logRows_data() { TestSupport::addBackendRows(); }
    void logRows()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        appState().OperName = QStringLiteral("张三");
        t.dm()->WriteLog(QStringLiteral("登录成功！"));
        QCOMPARE(t.count("LogRec", "F_EmpName = :n and F_OperType = :t and F_OperDate = :d",
                         {{"n", QStringLiteral("张三")}, {"t", QStringLiteral("登录成功！")}, {"d", QDate::currentDate().toString("yyyy-MM-dd")}}),
                 1);
        QCOMPARE(t.scalar("select F_OperTime from LogRec").toString().size(), 8);
    }

    void datedCodes_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("expected");
        for (Backend b : testBackends()) {
            const QString be = SqlDialect::backendName(b);
            auto row = [&](const char *name) -> QTestData & { return QTest::newRow(qPrintable(be + ": " + name)) << be; };
            row("first of the day") << QString() << "XS" + today() + "001";
            row("next") << "XS" + today() + "004" << "XS" + today() + "005";
            row("carry") << "XS" + today() + "099" << "XS" + today() + "100";
            row("used up") << "XS" + today() + "999" << QString();
            row("not digits") << "XS" + today() + "0A1" << QString();
            row("lower case") << "xs" + today() + "007" << "xs" + today() + "008";
        }
    }
    void datedCodes()
    {
        KELMOR_FETCH_BACKEND(backend);
        QFETCH(QString, top);
        QFETCH(QString, expected);
        TestDb t(backend);
        if (!top.isEmpty())
            t.insert("t_XSrec", {{"F_code", top}});
        QString error;
        const QString code = t.dm()->NextDatedCode("select max(F_code) from t_XSrec where F_code like :p",
                                                   "XS", 3, {{"p", "XS" + today() + "%"}}, &error);
        QCOMPARE(code, expected);
        QCOMPARE(error.isEmpty(), !expected.isEmpty());
    }

    void sequenceCodes_data() { TestSupport::addBackendRows(); }
    void sequenceCodes()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        const QString sql = "select max(F_code) from t_goods ";
        QCOMPARE(t.dm()->NextCode(sql, 6), QString("000001"));
        QCOMPARE(t.dm()->NextCode("select max(F_code) from t_employee ", 3), QString("001"));
        t.insert("t_goods", {{"F_code", "000041"}});
        QCOMPARE(t.dm()->NextCode(sql, 6), QString("000042"));
        t.insert("t_goods", {{"F_code", "9000041"}});
        QCOMPARE(t.dm()->NextCode(sql, 6), QString("9000042"));
        t.insert("t_goods", {{"F_code", "999999"}});
        t.exec("delete from t_goods where F_code = '9000041'");
        QString error;
        QCOMPARE(t.dm()->NextCode(sql, 6, {}, &error), QString());
        QVERIFY(error.contains(QStringLiteral("用完")));
    }

    void permissions_data() { TestSupport::addBackendRows(); }
    void permissions()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        appState().RoleCode = "R1";
        QVERIFY(!t.dm()->HasPermission("101"));
        t.insert("PartLimit", {{"F_PartCode", "R1"}, {"F_LmtCode", "101"}});
        QVERIFY(t.dm()->HasPermission("101"));
        QVERIFY(!t.dm()->HasPermission("102"));
        appState().RoleCode = "' or '1'='1";
        QVERIFY(!t.dm()->HasPermission("101"));
        appState().RoleCode.clear();
    }

    void numberFormats()
    {
        QCOMPARE(TdmData::MakeNumberFormat(2, 1), QString("0.##"));
        QCOMPARE(TdmData::MakeNumberFormat(2, 3), QStringLiteral("￥,0.00"));
        QCOMPARE(TdmData::MakeNumberFormat(4, 3), QStringLiteral("￥,0.00##"));
        QCOMPARE(TdmData::MakeNumberFormat(1, 2), QStringLiteral("￥,0.0"));
        QCOMPARE(TdmData::MakeNumberFormat(0, 1), QString("0."));
        QCOMPARE(TdmData::MakeNumberFormat(0, 2), QStringLiteral("￥,0."));
        QCOMPARE(TdmData::MakeNumberFormat(2, 7), QString());
    }

    void dateRangeCaption()
    {
        DatePicker from, to;
        from.setShowCheckBox(true);
        to.setShowCheckBox(true);
        from.setDate(QDate(2026, 1, 5));
        to.setDate(QDate(2026, 12, 31));
        QCOMPARE(TdmData::DateRangeCaption(&from, &to), QStringLiteral("统计日期：自 2026年01月05日 至 2026年12月31日"));
        from.setChecked(false);
        to.setChecked(false);
        QCOMPARE(TdmData::DateRangeCaption(&from, &to), QStringLiteral("统计日期：自 启用系统 至 记帐最后一天"));
    }

    void imageKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("bmp") << "a.bmp" << 1;
        QTest::newRow("JPEG upper") << "photo.JPEG" << 2;
        QTest::newRow("jpg") << "/x/y.jpg" << 2;
        QTest::newRow("gif") << "z.GIF" << 3;
        QTest::newRow("png") << "a.png" << 0;
        QTest::newRow("none") << "README" << 0;
    }
    void imageKinds()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QCOMPARE(ImageKindOfFile(name), kind);
    }

    void formRoutines()
    {
        QWidget form;
        auto *lay = new QVBoxLayout(&form);
        auto *first = new QPushButton(&form);
        first->setObjectName("tbFirst");
        lay->addWidget(first);
        auto *print = new QAction(&form);
        print->setObjectName("tbPrint");
        form.addAction(print);
        EnableNavButtons(&form, false);
        QVERIFY(!first->isEnabled());
        QVERIFY(!print->isEnabled());
        EnableNavButtons(&form, true);
        QVERIFY(first->isEnabled() && print->isEnabled());

        auto *name = new QLineEdit(&form);
        auto *memo = new QTextEdit(&form);
        SetChineseInput(name);
        appState().PreferredIme.clear();
        ApplyPreferredIme(&form);
        QCOMPARE(name->property("imeMode").toString(), QString("dontcare"));
        QCOMPARE(memo->property("imeMode").toString(), QString("dontcare"));
        SetChineseInput(name);
        appState().PreferredIme = QStringLiteral("中文(简体) - 微软拼音 ");
        ApplyPreferredIme(&form);
        QCOMPARE(name->property("imeName").toString(), appState().PreferredIme);
        QCOMPARE(memo->property("imeMode").toString(), QString("dontcare"));
        appState().PreferredIme.clear();
    }
};

QTEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
