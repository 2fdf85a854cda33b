#include "platform/Format.h"

#include <QTest>

class TestFormat : public QObject
{
    Q_OBJECT
private slots:
    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("qty whole") << 3.0 << "0.##" << "3";
        QTest::newRow("qty frac") << 3.456 << "0.##" << "3.46";
        QTest::newRow("no decimals") << 1234567.0 << "0." << "1234567";
        QTest::newRow("half up") << 0.5 << "0." << "1";
        QTest::newRow("money") << 1234.5 << "￥,0.00" << "￥1,234.50";
        QTest::newRow("money negative") << -1234.5 << "￥,0.00" << "-￥1,234.50";
        QTest::newRow("money small") << 7.0 << "￥,0.00" << "￥7.00";
        QTest::newRow("money 4") << 1234.5678 << "￥,0.00##" << "￥1,234.5678";
        QTest::newRow("money 4 short") << 1234.5 << "￥,0.00##" << "￥1,234.50";
        QTest::newRow("price 1 decimal") << 2.25 << "￥,0.0" << "￥2.3";
        QTest::newRow("many") << 0.123456789 << "0.########" << "0.12345679";
        QTest::newRow("binary half") << 2.675 << "0.00" << "2.68";
        QTest::newRow("millions") << 1000000.0 << ",0" << "1,000,000";
        QTest::newRow("negative to zero") << -0.001 << "0.00" << "0.00";
        QTest::newRow("negative section") << -5.0 << "0.00;(0.00)" << "(5.00)";
        QTest::newRow("zero section") << 0.0 << "0.00;-0.00;零" << "零";
        QTest::newRow("rounding carries") << 9.999 << "0.00" << "10.00";
        QTest::newRow("big") << 123456789012.0 << "￥,0.00" << "￥123,456,789,012.00";
    }
    void numbers()
    {
        QFETCH(double, value);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(Format::formatNumber(value, format), text);
    }

    void dates()
    {
        const QDateTime dt(QDate(2026, 3, 5), QTime(14, 7, 9));
        QCOMPARE(Format::formatDateTime(dt, "yyyy-mm-dd hh:nn:ss"), QString("2026-03-05 14:07:09"));
        QCOMPARE(Format::formatDateTime(dt, "yyyy-MM-dd"), QString("2026-03-05"));
        QCOMPARE(Format::formatDateTime(dt, QStringLiteral("yyyy年MM月dd日")), QStringLiteral("2026年03月05日"));
        QCOMPARE(Format::formatDateTime(dt, "hh:mm"), QString("14:07"));
        QCOMPARE(Format::formatValue(QString("2026-03-05 14:07:09"), "yyyy-mm-dd"), QString("2026-03-05"));
        QCOMPARE(Format::formatValue(QString("2026-03-05"), QStringLiteral("yyyy年MM月dd日")), QStringLiteral("2026年03月05日"));
    }

    void plainValues()
    {
        QCOMPARE(Format::plainText(QVariant()), QString());
        QCOMPARE(Format::plainText(3.5), QString("3.5"));
        QCOMPARE(Format::plainText(100.0), QString("100"));
        QCOMPARE(Format::plainText(QDateTime(QDate(2026, 1, 2), QTime(0, 0))), QString("2026-01-02"));
        QCOMPARE(Format::plainText(QDateTime(QDate(2026, 1, 2), QTime(8, 30))), QString("2026-01-02 08:30:00"));
        // numbers stored as text still take a number format; other text stays
        QCOMPARE(Format::formatValue(QString("12.5"), "￥,0.00"), QStringLiteral("￥12.50"));
        QCOMPARE(Format::formatValue(QString("abc"), "0.00"), QString("abc"));
        QCOMPARE(Format::formatValue(qlonglong(42), "0.00"), QString("42.00"));
    }

    void emptyDate_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("empty");
        QTest::newRow("null") << QVariant() << true;
        QTest::newRow("sentinel") << QVariant(QString("1900-08-14")) << true;
        QTest::newRow("sentinel with time") << QVariant(QString("1900-08-14 00:00:00")) << true;
        QTest::newRow("day before") << QVariant(QString("1901-08-13")) << true;
        QTest::newRow("limit") << QVariant(QString("1901-08-14")) << false;
        QTest::newRow("today") << QVariant(QString("2026-12-11")) << false;
        QTest::newRow("datetime") << QVariant(QDateTime(QDate(1900, 8, 14), QTime(0, 0))) << true;
    }
    void emptyDate()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, empty);
        QCOMPARE(Format::isEmptyDate(value), empty);
        QCOMPARE(Format::emptyDateHook(value).isEmpty(), empty);
    }

    void workbookFormats()
    {
        QCOMPARE(Format::toWorkbookFormat("￥,0.00"), QStringLiteral("￥#,##0.00"));
        QCOMPARE(Format::toWorkbookFormat("￥,0.00##"), QStringLiteral("￥#,##0.00##"));
        QCOMPARE(Format::toWorkbookFormat("0.##"), QString("0.##"));
        QCOMPARE(Format::toWorkbookFormat("0.########"), QString("0.########"));
        QCOMPARE(Format::toWorkbookFormat("yyyy-mm-dd hh:nn:ss"), QString("yyyy-mm-dd hh:mm:ss"));
        QCOMPARE(Format::toWorkbookFormat(QStringLiteral("0.00元")), QStringLiteral("0.00\"元\""));
        QCOMPARE(Format::toWorkbookFormat(""), QString());
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
