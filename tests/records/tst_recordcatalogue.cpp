#include "records/RecordCatalogue.h"
#include "platform/DataGrid.h"
#include "support/TestSupport.h"

#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace TestSupport;

class TestRecordCatalogue : public QObject
{
    Q_OBJECT
private slots:
    // One entry per kind; the nine detail tabs each have their kind.
    void entriesAndTabs()
    {
        QSet<int> kinds;
        QSet<int> tabs;
        for (const RecordKindInfo &k : RecordCatalogue::all()) {
            QVERIFY2(!kinds.contains(int(k.kind)), k.table);
            kinds.insert(int(k.kind));
            QCOMPARE(&RecordCatalogue::info(k.kind), &k);
            if (k.detailTab) {
                QVERIFY(!tabs.contains(k.detailTab));
                tabs.insert(k.detailTab);
                QCOMPARE(RecordCatalogue::ofTab(k.detailTab), &k);
                QCOMPARE(QString::fromLatin1(k.detailLayout), QStringLiteral("detail%1").arg(k.detailTab + 1));
                QVERIFY(!k.columns.empty());
                QVERIFY(*k.messages.noCustomer && *k.messages.nothingToEdit);
            }
        }
        QCOMPARE(kinds.size(), int(RecordKind::Call) + 1);
        QCOMPARE(tabs.size(), RecordCatalogue::kDetailTabs);
        QVERIFY(!RecordCatalogue::ofTab(0) && !RecordCatalogue::ofTab(10));
        QCOMPARE(RecordCatalogue::info(RecordKind::SalesBill).linkedSql(),
                 QString("select * from t_XSrec where F_cltID = :F_cltID order by F_ID"));
        // the products grid has no totals row; the others sum their amounts
        QCOMPARE(RecordCatalogue::info(RecordKind::CustomerProduct).gridColumns().first().footerType, DataGridColumn::FooterType::None);
        const QVector<DataGridColumn> bill = RecordCatalogue::info(RecordKind::SalesBill).gridColumns();
        QCOMPARE(bill.first().footerValue, QStringLiteral("合计"));
        QVERIFY(std::any_of(bill.begin(), bill.end(), [](const DataGridColumn &c) {
            return c.fieldName == "F_totalprice" && c.footerType == DataGridColumn::FooterType::Sum && c.displayFormat == ",0.00";
        }));
    }

    // Every column and field the catalogue names exists in its table, and
    // every text field's size is the column's.
    void namesMatchTheSchema()
    {
        TestDb t;
        for (const RecordKindInfo &k : RecordCatalogue::all()) {
            const QSqlRecord rec = t.db().record(k.tableName());
            QVERIFY2(!rec.isEmpty(), k.table);
            const auto has = [&](const char *column) {
                for (int i = 0; i < rec.count(); ++i)
                    if (rec.fieldName(i).compare(QLatin1String(column), Qt::CaseInsensitive) == 0)
                        return true;
                return false;
            };
            QVERIFY2(has(k.key), k.table);
            if (*k.customerLink)
                QVERIFY2(has(k.customerLink), k.table);
            for (const RecordColumn &c : k.columns)
                QVERIFY2(has(c.field), qPrintable(QStringLiteral("%1.%2").arg(k.table, c.field)));
            QHash<QString, int> sizes;
            QSqlQuery q(t.db());
            QVERIFY(q.exec(QStringLiteral("pragma table_info(%1)").arg(k.tableName())));
            while (q.next()) {
                const QString type = q.value("type").toString();
                if (type.startsWith("VARCHAR("))
                    sizes.insert(q.value("name").toString().toLower(), type.mid(8).chopped(1).toInt());
            }
            for (const RecordField &f : k.fields) {
                QVERIFY2(has(f.column), qPrintable(QStringLiteral("%1.%2").arg(k.table, f.column)));
                if (f.type == FieldType::Text)
                    QVERIFY2(sizes.value(QString::fromLatin1(f.column).toLower()) == f.maxLength,
                             qPrintable(QStringLiteral("%1.%2").arg(k.table, f.column)));
            }
            for (const char *d : k.emptyDateFields)
                QVERIFY2(has(d), qPrintable(QStringLiteral("%1.%2").arg(k.table, d)));
        }
    }
};

QTEST_MAIN(TestRecordCatalogue)
#include "tst_recordcatalogue.moc"
