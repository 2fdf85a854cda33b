#include "app/AppState.h"
#include "app/GridLayoutStore.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "platform/PrintPreview.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {
struct LayoutRow
{
    QString field;
    QString caption;
    int width;
    bool visible;
    bool readOnly;
    QString format;
    QString footerValue;
    int footerType;
    int alignment;
    int order;
};

void addLayout(const TestDb &t, const QString &name, const QList<LayoutRow> &rows)
{
    // the test's rows alone, whatever a fresh database holds under the name
    t.exec("delete from cfg_Grid where F_name = :n", {{"n", name}});
    for (const LayoutRow &r : rows)
        t.insert("cfg_Grid", {{"F_name", name},
                              {"F_FieldName", r.field},
                              {"F_Caption", r.caption},
                              {"F_Width", r.width},
                              {"F_Visible", r.visible},
                              {"F_ReadOnly", r.readOnly},
                              {"F_DisplayFormat", r.format},
                              {"F_FooterValue", r.footerValue},
                              {"F_FooterType", r.footerType},
                              {"F_Alignment", r.alignment},
                              {"F_Order", r.order}});
}

QList<LayoutRow> activityLayout()
{
    return {{"F_code", QStringLiteral("客户编号"), 90, true, false, "", QStringLiteral("合计"), 1, 0, 0},
            {"F_name", QStringLiteral("客户名称"), 150, true, true, "", "", 0, 1, 1},
            {"F_SZ1", QStringLiteral("数值"), 70, true, false, "0.00", "", 2, 2, 2},
            {"F_editdate", QStringLiteral("录入日期"), 100, false, false, "yyyy-mm-dd", "", 0, 0, 3},
            {"", QStringLiteral("空字段"), 50, true, false, "", "", 0, 0, 4}};
}

// Refuses updates of the F_name row of any layout, as a column the server will not take.
bool refuseNameColumn(const TestDb &t)
{
    if (t.backend() == Backend::Sqlite)
        return t.exec("CREATE TRIGGER refuse BEFORE UPDATE ON cfg_Grid WHEN NEW.F_FieldName = 'F_name' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    return t.exec("CREATE FUNCTION refuse_name() RETURNS trigger AS $$ BEGIN "
                  "IF NEW.F_FieldName = 'F_name' THEN RAISE EXCEPTION 'refused'; END IF; RETURN NEW; END $$ "
                  "LANGUAGE plpgsql")
           && t.exec("CREATE TRIGGER refuse BEFORE UPDATE ON cfg_Grid FOR EACH ROW EXECUTE FUNCTION refuse_name()");
}

QVariant stored(const TestDb &t, const QString &name, const QString &field, const QString &column)
{
    return t.scalar(QStringLiteral("select %1 from cfg_Grid where F_name = :n and F_FieldName = :f").arg(column),
                    {{"n", name}, {"f", field}});
}

void addClients(const TestDb &t)
{
    Transaction tr(t.db());
    const QStringList names = {QStringLiteral("甲公司"), QStringLiteral("乙公司"), QStringLiteral("丙公司")};
    for (int i = 0; i < 3; ++i)
        t.insert("t_client", {{"F_cltID", i + 1},
                              {"F_code", QString("00%1").arg(i + 1)},
                              {"F_name", names.at(i)},
                              {"F_SZ1", 1000.5 * (i + 1)},
                              {"F_SZ2", i + 1},
                              {"F_useFlag", i == 1},
                              {"F_QQ", QString("qq%1").arg(i)},
                              {"F_editdate", i == 2 ? Format::emptyDateText() : QString("2026-03-0%1").arg(i + 1)},
                              {"F_RQ1", Format::emptyDateText()}});
    tr.commit();
}

struct GridFixture
{
    DataSet ds;
    DataGrid grid;
    explicit GridFixture(const QString &sql = "select * from t_client order by F_ID")
    {
        ds.setSql(sql);
        ds.open();
        grid.setDataSet(&ds);
    }
};

void trigger(QWidget *root, const QString &name)
{
    if (auto *a = root->findChild<QAction *>(name))
        a->trigger();
    else
        QTest::qFail(qPrintable("no action " + name), __FILE__, __LINE__);
}
} // namespace

class TestGridServices : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        useHome(m_home.path());
    }

    void layoutLoads_data() { addBackendRows(); }
    void layoutLoads()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addClients(t);
        addLayout(t, "ActivityMan", activityLayout());
        GridFixture f;
        f.grid.setColumns({DataGridColumn("F_name", QStringLiteral("设计的列"))});
        // names are matched without regard to case
        t.dm()->LoadGridLayout(&f.grid, "activityman");
        QCOMPARE(f.grid.columnCount(), 4);
        const DataGridColumn code = f.grid.column(0);
        QCOMPARE(code.fieldName, QString("F_code"));
        QCOMPARE(code.title, QStringLiteral("客户编号"));
        QCOMPARE(code.width, 90);
        QCOMPARE(code.footerType, DataGridColumn::FooterType::Text);
        QCOMPARE(code.footerValue, QStringLiteral("合计"));
        QCOMPARE(code.alignment, DataGridColumn::Align::Left);
        const DataGridColumn name = f.grid.column(1);
        QVERIFY(name.readOnly);
        QCOMPARE(name.alignment, DataGridColumn::Align::Center);
        const DataGridColumn sum = f.grid.column(2);
        QCOMPARE(sum.displayFormat, QString("0.00"));
        QCOMPARE(sum.footerFormat, QString("0.00"));
        QCOMPARE(sum.footerType, DataGridColumn::FooterType::Sum);
        QCOMPARE(sum.alignment, DataGridColumn::Align::Right);
        QVERIFY(!f.grid.column(3).visible);
        QCOMPARE(f.grid.footerText(2), QString("6003.00"));
        QCOMPARE(f.grid.footerText(0), QStringLiteral("合计"));
        QCOMPARE(f.grid.horizontalHeader()->sectionSize(1), 150);
    }

    void layoutsWithoutRowsKeepTheDesign_data() { addBackendRows(); }
    void layoutsWithoutRowsKeepTheDesign()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addLayout(t, "empties", {{"", "a", 50, true, false, "", "", 0, 0, 0}, {"", "b", 50, true, false, "", "", 0, 0, 1}});
        GridFixture f;
        const QVector<DataGridColumn> designed = {DataGridColumn("F_name", QStringLiteral("设计的列")),
                                                  DataGridColumn("F_code", QStringLiteral("编号"))};
        f.grid.setColumns(designed);
        for (const QString &name : {QString("nothing"), QString("empties"), QString()}) {
            t.dm()->LoadGridLayout(&f.grid, name);
            QCOMPARE(f.grid.columns(), designed);
        }
        // a failing select is reported and the grid stays as it was
        QVERIFY(t.exec("drop table cfg_Grid"));
        t.dm()->LoadGridLayout(&f.grid, "ActivityMan");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("操作失败，请检查数据连接... ")});
        QCOMPARE(f.grid.columns(), designed);
    }

    void missingLayoutTableIsReportedOnce_data() { addBackendRows(); }
    void missingLayoutTableIsReportedOnce()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addLayout(t, "ActivityMan", activityLayout());
        GridFixture f;
        const QVector<DataGridColumn> designed = {DataGridColumn("F_name", QStringLiteral("设计的列"))};
        const QStringList failed = {QStringLiteral("操作失败，请检查数据连接... ")};
        QVERIFY(t.exec("alter table cfg_Grid rename to cfg_Grid_away"));
        // a window reads the layouts of all its grids: one message for them
        // all, and each grid keeps its designed columns
        for (const char *name : {"ActivityMan", "clientmain", "ActivityMan", "QuoteMan"}) {
            f.grid.setColumns(designed);
            t.dm()->LoadGridLayout(&f.grid, name);
            QCOMPARE(f.grid.columns(), designed);
        }
        QCOMPARE(s.takeTexts(), failed);
        // once a read works again, a new failure is news
        QVERIFY(t.exec("alter table cfg_Grid_away rename to cfg_Grid"));
        t.dm()->LoadGridLayout(&f.grid, "ActivityMan");
        QCOMPARE(f.grid.columnCount(), 4);
        QVERIFY(!s.hasMessages());
        QVERIFY(t.exec("alter table cfg_Grid rename to cfg_Grid_away"));
        t.dm()->LoadGridLayout(&f.grid, "ActivityMan");
        t.dm()->LoadGridLayout(&f.grid, "clientmain");
        QCOMPARE(s.takeTexts(), failed);
        // a save that fails for every column says so once
        t.dm()->SaveGridLayout(&f.grid, "ActivityMan");
        QCOMPARE(s.takeTexts(), failed);
    }

    void layoutSavesAndLoadsBack_data() { addBackendRows(); }
    void layoutSavesAndLoadsBack()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addLayout(t, "ActivityMan", activityLayout());
        GridFixture f;
        t.dm()->LoadGridLayout(&f.grid, "ActivityMan");
        // the operator hides, moves, resizes and retitles
        f.grid.setColumnVisible(1, false);
        f.grid.moveColumn(0, 2); // F_name, F_SZ1, F_code, F_editdate
        f.grid.setColumnVisible(3, true);
        f.grid.horizontalHeader()->resizeSection(1, 111);
        DataGridColumn c = f.grid.column(2);
        c.title = QStringLiteral("客户'编号");
        c.footerValue = QStringLiteral("合'计");
        c.displayFormat = QStringLiteral("0'号'");
        c.readOnly = true;
        f.grid.setColumn(2, c);
        const QVector<DataGridColumn> saved = f.grid.columns();
        // the save matches the lower-cased name; the server ignores case anyway
        t.dm()->SaveGridLayout(&f.grid, "ACTIVITYMAN");
        QVERIFY(!s.hasMessages());

        QCOMPARE(t.scalar("select F_Order from cfg_Grid where F_name = 'ActivityMan' and F_FieldName = 'F_name'").toInt(), 0);
        QCOMPARE(t.scalar("select F_Visible from cfg_Grid where F_name = 'ActivityMan' and F_FieldName = 'F_name'").toInt(), 0);
        QCOMPARE(t.scalar("select F_Order from cfg_Grid where F_name = 'ActivityMan' and F_FieldName = 'F_code'").toInt(), 2);
        QCOMPARE(t.scalar("select F_Caption from cfg_Grid where F_name = 'ActivityMan' and F_FieldName = 'F_code'").toString(), QStringLiteral("客户'编号"));
        QCOMPARE(t.scalar("select F_Width from cfg_Grid where F_name = 'ActivityMan' and F_FieldName = 'F_SZ1'").toInt(), 111);

        GridFixture g;
        t.dm()->LoadGridLayout(&g.grid, "activityMAN");
        QCOMPARE(g.grid.columnCount(), saved.size());
        for (int i = 0; i < saved.size(); ++i) {
            const DataGridColumn a = saved.at(i), b = g.grid.column(i);
            QCOMPARE(b.fieldName, a.fieldName);
            QCOMPARE(b.title, a.title);
            QCOMPARE(b.width, a.width);
            QCOMPARE(b.visible, a.visible);
            QCOMPARE(b.readOnly, a.readOnly);
            QCOMPARE(b.displayFormat, a.displayFormat);
            QCOMPARE(b.footerType, a.footerType);
            QCOMPARE(b.footerValue, a.footerValue);
            QCOMPARE(g.grid.effectiveAlignment(i), f.grid.effectiveAlignment(i));
        }
        // a column whose field has no row is no failure to report
        auto cols = f.grid.columns();
        cols.append(DataGridColumn("F_QQ", "QQ"));
        f.grid.setColumns(cols);
        t.dm()->SaveGridLayout(&f.grid, "ActivityMan");
        QVERIFY(!s.hasMessages());
    }

    // Columns the window designed leave their alignment to the grid: the
    // layout stores the alignment shown, as other installations read it.
    void savedAlignmentIsTheOneShown_data() { addBackendRows(); }
    void savedAlignmentIsTheOneShown()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addClients(t);
        addLayout(t, "ActivityMan", activityLayout());
        GridFixture f;
        f.grid.setColumns({DataGridColumn("F_name", "n"), DataGridColumn("F_SZ1", "s"), DataGridColumn("F_code", "c")});
        DataGridColumn code = f.grid.column(2);
        code.alignment = DataGridColumn::Align::Center;
        f.grid.setColumn(2, code);
        t.dm()->SaveGridLayout(&f.grid, "ActivityMan");
        QVERIFY(!s.hasMessages());
        QCOMPARE(stored(t, "ActivityMan", "F_name", "F_Alignment").toInt(), 0);
        QCOMPARE(stored(t, "ActivityMan", "F_SZ1", "F_Alignment").toInt(), 2);
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_Alignment").toInt(), 1);
        QVERIFY(!stored(t, "ActivityMan", "F_name", "F_Alignment").isNull());
    }

    void aFailingColumnIsReportedOnce_data() { addBackendRows(); }
    void aFailingColumnIsReportedOnce()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addLayout(t, "detail2", activityLayout());
        QVERIFY(refuseNameColumn(t));
        GridFixture f;
        t.dm()->LoadGridLayout(&f.grid, "detail2");
        f.grid.moveColumn(3, 0);
        t.dm()->SaveGridLayout(&f.grid, "detail2");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).text, QStringLiteral("操作失败，请检查数据连接... "));
        QCOMPARE(m.at(0).kind, 3);
        // the columns after the refused one were saved all the same
        QCOMPARE(stored(t, "detail2", "F_SZ1", "F_Order").toInt(), 3);
    }

    // ------------------------------------------------------------ the store

    void storeReadsColumnsInStoredOrder_data() { addBackendRows(); }
    void storeReadsColumnsInStoredOrder()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        // rows in another order than their positions; equal positions keep the order they were added in
        addLayout(t, "Orders", {{"F_b", "b", 0, true, false, "", "", 0, 0, 2},
                                {"", QStringLiteral("空字段"), 50, true, false, "", "", 0, 0, 0},
                                {"  F_a ", "a", -5, false, true, "0.00", "", 2, 1, 1},
                                {"F_c", "c", 60, true, false, "", "", 0, 2, 2}});
        addLayout(t, "Others", {{"F_x", "x", 70, true, false, "", "", 0, 0, 0}});
        QVERIFY(t.exec("update cfg_Grid set F_Alignment = NULL where F_name = 'Orders' and F_FieldName = 'F_c'"));
        const GridLayoutRead r = GridLayoutStore().load("ORDERS");
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.columns.size(), 3);
        QCOMPARE(r.columns.at(0).fieldName, QString("F_a")); // trimmed
        QCOMPARE(r.columns.at(1).fieldName, QString("F_b"));
        QCOMPARE(r.columns.at(2).fieldName, QString("F_c"));
        const DataGridColumn a = r.columns.at(0);
        QCOMPARE(a.title, QString("a"));
        QCOMPARE(a.width, 80); // no usable width: the default
        QCOMPARE(r.columns.at(1).width, 80);
        QCOMPARE(r.columns.at(2).width, 60);
        QVERIFY(!a.visible);
        QVERIFY(a.readOnly);
        QCOMPARE(a.displayFormat, QString("0.00"));
        QCOMPARE(a.footerFormat, QString("0.00"));
        QCOMPARE(r.columns.at(2).alignment, DataGridColumn::Align::Default); // no alignment stored

        const GridLayoutRead none = GridLayoutStore().load("nothing");
        QVERIFY(none.ok);
        QVERIFY(none.columns.isEmpty());
    }

    // The codes cfg_Grid stores for footers and alignments, read and written.
    void storeCodes_data() { addBackendRows(); }
    void storeCodes()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        struct Case
        {
            const char *field;
            int footerCode;
            DataGridColumn::FooterType footer;
            int alignCode;
            DataGridColumn::Align align;
            int writtenFooter;
            QVariant writtenAlign;
        };
        using F = DataGridColumn::FooterType;
        using A = DataGridColumn::Align;
        const QList<Case> cases = {
            {"F_none", 0, F::None, 0, A::Left, 0, 0},
            {"F_text", 1, F::Text, 1, A::Center, 1, 1},
            {"F_sum", 2, F::Sum, 2, A::Right, 2, 2},
            // codes nobody writes read as no footer and the grid's own alignment
            {"F_odd", 7, F::None, 7, A::Default, 0, QVariant()},
        };
        QList<LayoutRow> rows;
        for (int i = 0; i < cases.size(); ++i)
            rows.append({cases.at(i).field, "t", 80, true, false, "", "", cases.at(i).footerCode, cases.at(i).alignCode, i});
        addLayout(t, "codes", rows);

        GridLayoutStore store;
        const GridLayoutRead r = store.load("codes");
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.columns.size(), cases.size());
        for (int i = 0; i < cases.size(); ++i) {
            QCOMPARE(r.columns.at(i).footerType, cases.at(i).footer);
            QCOMPARE(r.columns.at(i).alignment, cases.at(i).align);
        }
        QVERIFY(store.save("codes", r.columns).ok());
        for (const Case &c : cases) {
            QCOMPARE(stored(t, "codes", c.field, "F_FooterType").toInt(), c.writtenFooter);
            const QVariant align = stored(t, "codes", c.field, "F_Alignment");
            QCOMPARE(align.isNull(), c.writtenAlign.isNull());
            if (!align.isNull())
                QCOMPARE(align.toInt(), c.writtenAlign.toInt());
        }
    }

    void storeSavesTheRowsThatExist_data() { addBackendRows(); }
    void storeSavesTheRowsThatExist()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addLayout(t, "ActivityMan", activityLayout());
        addLayout(t, "QuoteMan", activityLayout());
        GridLayoutStore store;
        QVector<DataGridColumn> cols = store.load("ActivityMan").columns;
        QCOMPARE(cols.size(), 4);
        std::swap(cols[0], cols[2]); // F_SZ1, F_name, F_code, F_editdate
        DataGridColumn &code = cols[2];
        code.title = QStringLiteral("客户'编号");
        code.footerValue = QStringLiteral("合'计");
        code.displayFormat = QStringLiteral("0'号'");
        code.footerFormat = code.displayFormat;
        code.width = 111;
        code.readOnly = true;
        cols[3].visible = true;
        cols.append(DataGridColumn("F_QQ", "QQ")); // no row of its own
        // the name is written lower-cased; the server ignores case anyway
        const GridLayoutWrite w = store.save("ACTIVITYMAN", cols);
        QVERIFY2(w.ok(), qPrintable(w.error));

        QCOMPARE(stored(t, "ActivityMan", "F_SZ1", "F_Order").toInt(), 0);
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_Order").toInt(), 2);
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_Caption").toString(), QStringLiteral("客户'编号"));
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_FooterValue").toString(), QStringLiteral("合'计"));
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_DisplayFormat").toString(), QStringLiteral("0'号'"));
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_Width").toInt(), 111);
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_ReadOnly").toInt(), 1);
        QCOMPARE(stored(t, "ActivityMan", "F_editdate", "F_Visible").toInt(), 1);
        // the row without a field is left alone, and no row is added
        QCOMPARE(stored(t, "ActivityMan", "", "F_Order").toInt(), 4);
        QCOMPARE(t.count("cfg_Grid", "F_name = 'ActivityMan'"), 5);
        QCOMPARE(t.count("cfg_Grid", "F_FieldName = 'F_QQ'"), 0);
        // another layout with the same fields keeps its own settings
        QCOMPARE(stored(t, "QuoteMan", "F_code", "F_Order").toInt(), 0);
        QCOMPARE(stored(t, "QuoteMan", "F_code", "F_Caption").toString(), QStringLiteral("客户编号"));

        const GridLayoutRead back = store.load("activityman");
        QVERIFY(back.ok);
        cols.removeLast();
        QCOMPARE(back.columns, cols);
    }

    void storeReportsFailures_data() { addBackendRows(); }
    void storeReportsFailures()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addLayout(t, "detail2", activityLayout());
        GridLayoutStore store;
        QVector<DataGridColumn> cols = store.load("detail2").columns;
        QCOMPARE(cols.size(), 4);

        // one column refused: the others are still written
        QVERIFY(refuseNameColumn(t));
        std::rotate(cols.begin(), cols.begin() + 3, cols.end()); // F_editdate, F_code, F_name, F_SZ1
        GridLayoutWrite w = store.save("detail2", cols);
        QCOMPARE(w.failed, 1);
        QCOMPARE(w.firstField, QString("F_name"));
        QVERIFY2(w.error.contains("refused"), qPrintable(w.error));
        QCOMPARE(stored(t, "detail2", "F_editdate", "F_Order").toInt(), 0);
        QCOMPARE(stored(t, "detail2", "F_name", "F_Order").toInt(), 1);
        QCOMPARE(stored(t, "detail2", "F_SZ1", "F_Order").toInt(), 3);

        // no table: the read says why, the save counts every column
        QVERIFY(t.exec("drop table cfg_Grid"));
        const GridLayoutRead r = store.load("detail2");
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(r.columns.isEmpty());
        w = store.save("detail2", cols);
        QCOMPARE(w.failed, cols.size());
        QCOMPARE(w.firstField, QString("F_editdate"));
        QVERIFY(!w.error.isEmpty());
    }

    void storeUsesItsOwnConnection_data() { addBackendRows(); }
    void storeUsesItsOwnConnection()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        addLayout(t, "ActivityMan", activityLayout());
        QString error;
        QVERIFY2(Database::open("layouts", t.settings(), &error), qPrintable(error));
        GridLayoutStore store("layouts");
        QCOMPARE(store.database().connectionName(), QString("layouts"));
        QVector<DataGridColumn> cols = store.load("ActivityMan").columns;
        QCOMPARE(cols.size(), 4);
        cols[0].width = 123;
        QVERIFY(store.save("ActivityMan", cols).ok());
        Database::close("layouts");
        QCOMPARE(stored(t, "ActivityMan", "F_code", "F_Width").toInt(), 123);

        // a connection that is not open fails the way a broken one does
        GridLayoutStore closed("layouts");
        QVERIFY(!closed.load("ActivityMan").ok);
        QCOMPARE(closed.save("ActivityMan", cols).failed, cols.size());
        QCOMPARE(GridLayoutStore().database().connectionName(), TdmData::connectionName());
    }

    // ------------------------------------------------------- formats, columns

    void columnFormatsAndCaptions()
    {
        TestDb t;
        AppState st = appState();
        st.MoneyFormat = QStringLiteral("￥,0.00");
        st.UnitPriceFormat = QStringLiteral("￥,0.0000");
        st.QtyFormat = QStringLiteral("0.##");
        for (int i = 0; i < 11; ++i)
            st.CustomSettings[i] = QStringLiteral("自定义%1").arg(i + 1);
        replaceAppState(st);
        GridFixture f;
        const QStringList fields = {"F_price", "F_totalprice", "F_spprice", "F_amount", "F_ZF1", "F_zf5", "F_SZ1",
                                    "F_SZ3", "F_RQ1", "F_RQ3", "F_name", "F_priceamount"};
        QVector<DataGridColumn> cols;
        for (const QString &fld : fields)
            cols.append(DataGridColumn(fld, fld));
        f.grid.setColumns(cols);
        t.dm()->ApplyColumnFormats(&f.grid);
        const auto col = [&](const QString &fld) { return f.grid.column(f.grid.columnOfField(fld)); };
        QCOMPARE(col("F_price").displayFormat, QStringLiteral("￥,0.00"));
        QCOMPARE(col("F_price").footerFormat, QStringLiteral("￥,0.00"));
        QCOMPARE(col("F_totalprice").displayFormat, QStringLiteral("￥,0.00"));
        QCOMPARE(col("F_spprice").displayFormat, QStringLiteral("￥,0.0000"));
        QCOMPARE(col("F_amount").displayFormat, QStringLiteral("0.##"));
        QCOMPARE(col("F_priceamount").displayFormat, QStringLiteral("0.##")); // the later test wins
        QCOMPARE(col("F_name").displayFormat, QString());
        QCOMPARE(col("F_name").title, QString("F_name"));
        QCOMPARE(col("F_ZF1").title, QStringLiteral("自定义1"));
        QCOMPARE(col("F_zf5").title, QStringLiteral("自定义5"));
        QCOMPARE(col("F_SZ1").title, QStringLiteral("自定义6"));
        QCOMPARE(col("F_SZ3").title, QStringLiteral("自定义8"));
        QCOMPARE(col("F_RQ1").title, QStringLiteral("自定义9"));
        QCOMPARE(col("F_RQ3").title, QStringLiteral("自定义11"));
        replaceAppState(AppState());
    }

    void goodsColumns()
    {
        TestDb t;
        GridFixture f("select * from t_XSdetail order by F_ID");
        const QStringList fields = {"F_GDcode", "F_GDname", "F_type", "F_unit", "F_amount", "F_price"}; // no F_spec
        QVector<DataGridColumn> cols;
        for (const QString &fld : fields) {
            DataGridColumn c(fld, fld);
            c.readOnly = true;
            cols.append(c);
        }
        f.grid.setColumns(cols);
        t.dm()->PrepareGoodsColumns(&f.grid);
        QVERIFY(!f.grid.isReadOnly());
        for (int i = 0; i < f.grid.columnCount(); ++i) {
            const DataGridColumn c = f.grid.column(i);
            const bool fixed = QStringList{"F_GDname", "F_type", "F_unit"}.contains(c.fieldName);
            QCOMPARE(c.readOnly, fixed);
            QCOMPARE(c.alwaysShowEditButton, c.fieldName == "F_GDname");
        }
    }

    void exportsWhatTheGridShows_data() { addBackendRows(); }
    void exportsWhatTheGridShows()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addClients(t);
        GridFixture f;
        f.ds.setEmptyDateFields({"F_editdate"});
        DataGridColumn money("F_SZ1", QStringLiteral("金额"), 100);
        money.displayFormat = QStringLiteral("￥,0.00");
        DataGridColumn hidden("F_QQ", "QQ");
        hidden.visible = false;
        f.grid.setColumns({DataGridColumn("F_code", QStringLiteral("客户编号"), 70), DataGridColumn("F_name", QStringLiteral("客户名称")),
                           hidden, money, DataGridColumn("F_SZ2", QStringLiteral("数量")),
                           DataGridColumn("F_useFlag", QStringLiteral("停用")), DataGridColumn("F_editdate", QStringLiteral("录入日期")),
                           DataGridColumn("F_RQ1", QStringLiteral("日期一"))});
        f.ds.last();
        const QString path = t.dm()->ExportGridToExcel(&f.grid, QStringLiteral("客户档案资料"));
        const QString docs = QDir(m_home.path()).filePath("Documents");
        QCOMPARE(QFileInfo(path).absolutePath(), docs);
        QVERIFY2(QRegularExpression(QStringLiteral("^客户档案资料_\\d{8}_\\d{6}(_\\d+)?\\.xlsx$")).match(QFileInfo(path).fileName()).hasMatch(),
                 qPrintable(path));
        QCOMPARE(s.urls.size(), 1);
        QCOMPARE(s.urls.at(0).toLocalFile(), path);
        QCOMPARE(f.ds.currentRow(), 0); // the first record afterwards

        const QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(book.value("sheets").toArray(), QJsonArray{QStringLiteral("客户档案资料")});
        QCOMPARE(book.value("maxRow").toInt(), 4);
        const auto cell = [&](const char *ref) { return ReadBack::cell(book, ref); };
        QCOMPARE(cell("A1").value("v").toString(), QStringLiteral("客户编号"));
        QCOMPARE(cell("B1").value("v").toString(), QStringLiteral("客户名称"));
        QVERIFY(cell("C1").isEmpty()); // the hidden column leaves its place empty
        QVERIFY(cell("C2").isEmpty());
        QCOMPARE(cell("D1").value("v").toString(), QStringLiteral("金额"));
        QCOMPARE(cell("H1").value("v").toString(), QStringLiteral("日期一"));
        // text stays text, leading zeros and all
        QCOMPARE(cell("A2").value("v").toString(), QString("001"));
        QCOMPARE(cell("A2").value("t").toString(), QString("s"));
        QCOMPARE(cell("A2").value("f").toString(), QString("@"));
        QCOMPARE(cell("B3").value("v").toString(), QStringLiteral("乙公司"));
        // numbers are numbers with the column's format in the workbook's notation
        QCOMPARE(cell("D3").value("t").toString(), QString("n"));
        QCOMPARE(cell("D3").value("v").toDouble(), 2001.0);
        QCOMPARE(cell("D3").value("f").toString(), QStringLiteral("￥#,##0.00"));
        QCOMPARE(cell("E4").value("v").toDouble(), 3.0);
        QCOMPARE(cell("E4").value("f").toString(), QString("General"));
        // yes/no and dates
        QCOMPARE(cell("F3").value("v").toString(), QStringLiteral("是"));
        QCOMPARE(cell("F2").value("v").toString(), QStringLiteral("否"));
        QCOMPARE(cell("G2").value("v").toString(), QString("2026-03-01"));
        QCOMPARE(cell("G2").value("t").toString(), QString("s"));
        QVERIFY(cell("G4").isEmpty()); // the empty date, through the display hook
        QVERIFY(cell("H2").isEmpty()); // the empty date as stored text
        QVERIFY(book.value("widths").toObject().value("D").toDouble() > book.value("widths").toObject().value("A").toDouble());
        QVERIFY(!s.hasMessages());
    }

    void exportEdgeCases()
    {
        TestDb t;
        Script s;
        GridFixture f;
        f.grid.setColumns({DataGridColumn("F_code", QStringLiteral("客户编号")), DataGridColumn("F_name", QStringLiteral("客户名称"))});
        // an empty list gives the titles alone; a title no sheet may carry is mended
        const QString path = t.dm()->ExportGridToExcel(&f.grid, QStringLiteral("客户/名单:[2026]"));
        QVERIFY(QFileInfo(path).fileName().startsWith(QStringLiteral("客户_名单_[2026]_")));
        QJsonObject book = ReadBack::workbook(path);
        QCOMPARE(book.value("sheets").toArray(), QJsonArray{QStringLiteral("客户_名单__2026_")});
        QCOMPARE(book.value("maxRow").toInt(), 1);
        QCOMPARE(ReadBack::cell(book, "B1").value("v").toString(), QStringLiteral("客户名称"));

        // no program for workbooks: the operator is told where the file is
        s.urlResult = false;
        const QString second = t.dm()->ExportGridToExcel(&f.grid, QStringLiteral("客户档案资料"));
        QVERIFY(QFileInfo::exists(second));
        auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, 0);
        QVERIFY2(m.at(0).text.contains(second), qPrintable(m.at(0).text));
        // the same second gives a second name, not the first file overwritten
        const QString third = t.dm()->ExportGridToExcel(&f.grid, QStringLiteral("客户档案资料"));
        s.takeMessages();
        QVERIFY(third != second);
        QVERIFY(QFileInfo::exists(second) && QFileInfo::exists(third));
        s.urlResult = true;

        // a cell that no workbook holds: reported with the reason, no file left
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "X"}, {"F_name", QString(40000, QChar('x'))}});
        QVERIFY(f.ds.reopen());
        const int before = QDir(QDir(m_home.path()).filePath("Documents")).entryList(QDir::Files).size();
        QVERIFY(t.dm()->ExportGridToExcel(&f.grid, QStringLiteral("超长")).isEmpty());
        m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, 3);
        QVERIFY2(m.at(0).text.contains(QStringLiteral("单元格文字超过 32767 个字符")), qPrintable(m.at(0).text));
        QCOMPARE(QDir(QDir(m_home.path()).filePath("Documents")).entryList(QDir::Files).size(), before);

        // a documents folder that cannot be made
        QTemporaryDir other;
        QFile blocker(QDir(other.path()).filePath("Documents"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("HOME", other.path().toUtf8());
        QVERIFY(t.dm()->ExportGridToExcel(&f.grid, QStringLiteral("客户档案资料")).isEmpty());
        qputenv("HOME", m_home.path().toUtf8());
        m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, 3);
        QVERIFY(m.at(0).text.contains(QStringLiteral("数据没有导出")));
    }

    void printsThroughThePreview()
    {
        TestDb t;
        Script s;
        addClients(t);
        GridFixture f;
        DataGridColumn code("F_code", QStringLiteral("客户编号"));
        code.footerType = DataGridColumn::FooterType::Text;
        code.footerValue = QStringLiteral("合计");
        DataGridColumn sum("F_SZ1", QStringLiteral("金额"));
        sum.footerType = DataGridColumn::FooterType::Sum;
        sum.displayFormat = "0.00";
        f.grid.setColumns({code, DataGridColumn("F_name", QStringLiteral("客户名称")), sum});
        QTemporaryDir dir;
        const QString pdf = dir.filePath("list.pdf");
        s.onModal([&](QDialog *d) {
            auto *preview = qobject_cast<PrintPreview *>(d);
            if (!preview)
                return int(QDialog::Rejected);
            s.onFile(pdf);
            trigger(preview, "actExportPdf");
            trigger(preview, "actClose");
            return d->result();
        });
        t.dm()->PrintGrid(&f.grid, QStringLiteral("代码列表"), 1, QStringLiteral("制表 date"), QStringLiteral("某某公司"));
        QCOMPARE(s.dialogsShown(), QStringList{"PrintPreview"});
        const QString text = ReadBack::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("代码列表")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("某某公司")));
        QVERIFY(text.contains(QStringLiteral("制表 打印日期：") + QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日"))));
        QVERIFY(text.contains(QStringLiteral("丙公司")));
        QVERIFY(text.contains(QStringLiteral("合计")));
        QVERIFY(text.contains("6003.00"));

        // blank header and footer texts print nothing of their own
        const QString plain = dir.filePath("plain.pdf");
        s.onModal([&](QDialog *d) {
            s.onFile(plain);
            trigger(d, "actExportPdf");
            return int(QDialog::Rejected);
        });
        t.dm()->PrintGrid(&f.grid, QStringLiteral("代码列表"), 0, QStringLiteral("  "), QString());
        const QString plainText = ReadBack::pdfText(plain);
        QVERIFY(plainText.contains(QStringLiteral("丙公司")));
        QVERIFY(!plainText.contains(QStringLiteral("打印日期")));
    }
};

QTEST_MAIN(TestGridServices)
#include "tst_gridservices.moc"
