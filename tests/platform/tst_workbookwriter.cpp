#include "platform/WorkbookWriter.h"
#include "support/ReadBack.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class TestWorkbookWriter : public QObject
{
    Q_OBJECT

private slots:
    void sheetNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("chinese") << QStringLiteral("客户档案资料") << QStringLiteral("客户档案资料");
        QTest::newRow("forbidden") << QStringLiteral("a[b]c:d*e?f/g\\h") << QStringLiteral("a_b_c_d_e_f_g_h");
        QTest::newRow("too long") << QString(40, QChar(u'长')) << QString(31, QChar(u'长'));
        QTest::newRow("quotes") << QStringLiteral("'报价'") << QStringLiteral("报价");
        QTest::newRow("inner quote") << QStringLiteral("O'Neil") << QStringLiteral("O'Neil");
        QTest::newRow("empty") << QString() << QStringLiteral("Sheet1");
        QTest::newRow("blank") << QStringLiteral("   ") << QStringLiteral("Sheet1");
        QTest::newRow("only quotes") << QStringLiteral("'''") << QStringLiteral("Sheet1");
        QTest::newRow("reserved") << QStringLiteral("history") << QStringLiteral("history1");
        QTest::newRow("quote at cut") << (QString(30, QChar('x')) + QStringLiteral("'yz")) << QString(30, QChar('x'));
        QTest::newRow("control") << QStringLiteral("a\tb") << QStringLiteral("a_b");
    }

    void sheetNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, sheet);
        QCOMPARE(WorkbookWriter::validSheetName(title), sheet);
        // and a workbook takes it
        QTemporaryDir dir;
        const QString path = dir.filePath("s.xlsx");
        WorkbookWriter w(path);
        QVERIFY(w.addSheet(title));
        w.writeText(0, 0, "x");
        QVERIFY(w.close());
        const QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(book.value("sheets").toArray().first().toString(), sheet);
    }

    void cellsReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("cells.xlsx");
        WorkbookWriter w(path);
        QVERIFY(w.addSheet(QStringLiteral("数据")));
        w.setColumnWidth(0, 20);
        w.writeText(0, 0, QStringLiteral("标题"), true);
        w.writeText(1, 0, QStringLiteral("00123"));
        w.writeNumber(1, 1, 1234.5, QStringLiteral("￥#,##0.00"));
        w.writeNumber(1, 2, 7);
        w.writeText(1, 3, QString());
        w.writeText(2, 0, QStringLiteral("第二行"));
        QVERIFY(w.close());
        const QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(ReadBack::cell(book, "A1").value("v").toString(), QStringLiteral("标题"));
        const QJsonObject a2 = ReadBack::cell(book, "A2");
        QCOMPARE(a2.value("v").toString(), QString("00123"));
        QCOMPARE(a2.value("t").toString(), QString("s"));
        QCOMPARE(a2.value("f").toString(), QString("@"));
        const QJsonObject b2 = ReadBack::cell(book, "B2");
        QCOMPARE(b2.value("v").toDouble(), 1234.5);
        QCOMPARE(b2.value("t").toString(), QString("n"));
        QCOMPARE(b2.value("f").toString(), QStringLiteral("￥#,##0.00"));
        QCOMPARE(ReadBack::cell(book, "C2").value("f").toString(), QString("General"));
        QVERIFY(ReadBack::cell(book, "D2").isEmpty());
        QCOMPARE(ReadBack::cell(book, "A3").value("v").toString(), QStringLiteral("第二行"));
        // the workbook adds the font's padding to a width
        QVERIFY(qAbs(book.value("widths").toObject().value("A").toDouble() - 20.0) < 1.0);
    }

    void failuresSayWhy()
    {
        // a folder that is not there
        {
            WorkbookWriter w("/nonexistent-folder/x.xlsx");
            QVERIFY(w.addSheet("a"));
            w.writeText(0, 0, "x");
            QString error;
            QVERIFY(!w.close(&error));
            QVERIFY2(error.contains(QStringLiteral("无法创建文件")), qPrintable(error));
        }
        // a text longer than a cell holds: the file is not left half right
        QTemporaryDir dir;
        const QString path = dir.filePath("long.xlsx");
        {
            WorkbookWriter w(path);
            QVERIFY(w.addSheet("a"));
            w.writeText(0, 0, QString(40000, QChar('x')));
            QString error;
            QVERIFY(!w.close(&error));
            QCOMPARE(error, QStringLiteral("单元格文字超过 32767 个字符"));
        }
        QVERIFY(!QFile::exists(path));
        // a writer dropped without closing leaves nothing
        {
            WorkbookWriter w(path);
            QVERIFY(w.addSheet("a"));
            w.writeText(0, 0, "x");
        }
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestWorkbookWriter)
#include "tst_workbookwriter.moc"
