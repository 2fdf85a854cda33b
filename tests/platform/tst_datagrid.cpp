#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using TestSupport::TestDb;

namespace {
void addClients(const TestDb &t, int n)
{
    Transaction tr(t.db());
    for (int i = 1; i <= n; ++i)
        t.insert("t_client", {{"F_cltID", i},
                              {"F_code", QString("C%1").arg(i, 3, 10, QChar('0'))},
                              {"F_name", QStringLiteral("客户%1").arg(i)},
                              {"F_SZ1", i * 1.5},
                              {"F_useFlag", i % 3 == 0},
                              {"F_editdate", i % 2 ? QString("2026-01-%1").arg(i, 2, 10, QChar('0')) : Format::emptyDateText()}});
    tr.commit();
}

QVector<DataGridColumn> clientColumns()
{
    DataGridColumn sum("F_SZ1", QStringLiteral("数值"), 90);
    sum.displayFormat = "0.00";
    sum.footerType = DataGridColumn::FooterType::Sum;
    DataGridColumn code("F_code", QStringLiteral("编号"), 70);
    code.footerType = DataGridColumn::FooterType::Text;
    code.footerValue = QStringLiteral("合计");
    return {code, DataGridColumn("F_name", QStringLiteral("名称"), 120), sum,
            DataGridColumn("F_useFlag", QStringLiteral("停用"), 50), DataGridColumn("F_editdate", QStringLiteral("日期"), 100)};
}

QPoint cellCentre(DataGrid &g, int row, int col) { return g.visualRect(g.model()->index(row, col)).center(); }

void clickRow(DataGrid &g, int row, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseClick(g.viewport(), Qt::LeftButton, mods, cellCentre(g, row, 1));
}

// the open cell editor (closed ones linger hidden until deleted)
QLineEdit *editor(DataGrid &g)
{
    for (QLineEdit *e : g.findChildren<QLineEdit *>("DataGridEditor"))
        if (e->isVisible())
            return e;
    return nullptr;
}
} // namespace

class TestDataGrid : public QObject
{
    Q_OBJECT

private slots:
    // A cut-off cell shows its whole text as a tip; a double-click on the
    // border of its title fits the column to its data.
    void cutOffCellsAndFittingColumns()
    {
        TestDb t;
        t.insert("t_client", {{"F_cltID", 1}, {"F_code", "C1"}, {"F_name", QStringLiteral("上海浦东新区张江高科技园区机电设备有限公司")}});
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns({DataGridColumn("F_code", QStringLiteral("编号"), 80), DataGridColumn("F_name", QStringLiteral("名称"), 60)});
        g.resize(600, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        const auto tipAt = [&](int col) {
            QToolTip::hideText();
            const QPoint pos = cellCentre(g, 0, col);
            QHelpEvent help(QEvent::ToolTip, pos, g.viewport()->mapToGlobal(pos));
            QApplication::sendEvent(g.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(0), QString()); // "C1" fits
        QCOMPARE(tipAt(1), QStringLiteral("上海浦东新区张江高科技园区机电设备有限公司"));
        QHeaderView *h = g.horizontalHeader();
        const QPoint border(h->sectionViewportPosition(1) + h->sectionSize(1) - 1, h->height() / 2);
        QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, border);
        QVERIFY(h->sectionSize(1) > g.fontMetrics().horizontalAdvance(QStringLiteral("上海浦东新区张江高科技园区机电设备有限公司")));
        QCOMPARE(g.column(1).width, h->sectionSize(1)); // the layout keeps the fitted width
    }

    void defaultAndDesignedColumns()
    {
        TestDb t;
        addClients(t, 3);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        // nothing designed: every field
        QVERIFY(!g.hasDesignedColumns());
        QCOMPARE(g.columnCount(), ds.fieldCount());
        QCOMPARE(g.column(2).fieldName, QString("F_code"));
        g.setColumns(clientColumns());
        QVERIFY(g.hasDesignedColumns());
        QCOMPARE(g.columnCount(), 5);
        QCOMPARE(g.horizontalHeader()->sectionSize(1), 120);
        QCOMPARE(g.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
        QCOMPARE(g.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::Alignment(Qt::AlignCenter));
        // re-opening keeps the designed columns
        ds.close();
        QVERIFY(ds.open());
        QCOMPARE(g.columnCount(), 5);
        QCOMPARE(g.horizontalHeader()->sectionSize(1), 120);
        QCOMPARE(g.columnOfField("f_NAME"), 1);
        QCOMPARE(g.columnOfField("F_none"), -1);
        // a column of a field the DataSet lacks shows nothing
        auto cols = clientColumns();
        cols.append(DataGridColumn("F_missing", "x"));
        g.setColumns(cols);
        QCOMPARE(g.fieldIndexOf(5), -1);
        QCOMPARE(g.cellText(0, 5), QString());
    }

    void cellTextsAndAlignment()
    {
        TestDb t;
        addClients(t, 4);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        ds.setEmptyDateFields({"F_editdate"});
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns(clientColumns());
        QCOMPARE(g.cellText(0, 2), QString("1.50"));
        QCOMPARE(g.cellText(2, 3), QStringLiteral("是"));
        QCOMPARE(g.cellText(1, 3), QStringLiteral("否"));
        QCOMPARE(g.cellText(0, 4), QString("2026-01-01"));
        QCOMPARE(g.cellText(1, 4), QString()); // the empty date
        QCOMPARE(g.model()->data(g.model()->index(2, 3), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(g.model()->data(g.model()->index(2, 3)).toString(), QString());
        // numbers to the right unless a column says otherwise
        QCOMPARE(g.effectiveAlignment(2), DataGridColumn::Align::Right);
        QCOMPARE(g.effectiveAlignment(1), DataGridColumn::Align::Left);
        auto c = g.column(1);
        c.alignment = DataGridColumn::Align::Center;
        g.setColumn(1, c);
        QVERIFY(g.cellAlignment(1) & Qt::AlignHCenter);
        QVERIFY(g.footerAlignment(1) & Qt::AlignHCenter);
        // formats change what a number shows
        c = g.column(2);
        c.displayFormat = QStringLiteral("￥,0.00");
        g.setColumn(2, c);
        QCOMPARE(g.cellText(3, 2), QStringLiteral("￥6.00"));
        // row colours
        g.setRowColorHook([&](int row) {
            DataGrid::RowColors rc;
            if (ds.value(row, "F_useFlag").toBool())
                rc.text = Qt::red;
            return rc;
        });
        QCOMPARE(g.model()->data(g.model()->index(2, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!g.model()->data(g.model()->index(1, 0), Qt::ForegroundRole).isValid());
    }

    void footerRow()
    {
        TestDb t;
        addClients(t, 4);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        ds.setCachedUpdates(true);
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        auto cols = clientColumns();
        for (auto &c : cols)
            c.footerType = DataGridColumn::FooterType::None;
        g.setColumns(cols);
        g.resize(500, 300);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QVERIFY(!g.hasFooter());
        QVERIFY(!g.footerWidget()->isVisible());
        g.setColumns(clientColumns());
        QVERIFY(g.hasFooter());
        QApplication::processEvents();
        QVERIFY(g.footerWidget()->isVisible());
        QCOMPARE(g.footerText(0), QStringLiteral("合计"));
        QCOMPARE(g.footerText(2), QString("15.00"));
        QCOMPARE(g.footerText(1), QString());
        // under the rows, as wide as the viewport
        QCOMPARE(g.footerWidget()->geometry().top(), g.viewport()->geometry().bottom() + 1);
        QCOMPARE(g.footerWidget()->width(), g.viewport()->width());
        // sums follow edits
        QVERIFY(ds.setValue(1, ds.fieldIndex("F_SZ1"), 10.0));
        QCOMPARE(g.footerText(2), QString("22.00"));
        ds.cancel();
        QCOMPARE(g.footerText(2), QString("15.00"));
        QVERIFY(ds.deleteRow(3));
        QCOMPARE(g.footerText(2), QString("9.00"));
        // a footer format of its own
        auto c = g.column(2);
        c.footerFormat = "0.0";
        g.setColumn(2, c);
        QCOMPARE(g.footerText(2), QString("9.0"));
        // hiding the only footer columns hides the row
        g.setColumnVisible(0, false);
        g.setColumnVisible(2, false);
        QVERIFY(!g.hasFooter());
        QApplication::processEvents();
        QVERIFY(!g.footerWidget()->isVisible());
    }

    void currentRowFollowsBothWays()
    {
        TestDb t;
        addClients(t, 30);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns(clientColumns());
        g.resize(500, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QCOMPARE(g.currentIndex().row(), 0);
        clickRow(g, 2);
        QCOMPARE(ds.currentRow(), 2);
        QTest::keyClick(&g, Qt::Key_Down);
        QCOMPARE(ds.currentRow(), 3);
        QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(ds.currentRow(), 29);
        // the DataSet moves the grid and scrolls it
        ds.first();
        QCOMPARE(g.currentIndex().row(), 0);
        QCOMPARE(g.verticalScrollBar()->value(), 0);
        ds.last();
        QCOMPARE(g.currentIndex().row(), 29);
        QVERIFY(g.verticalScrollBar()->value() > 0);
        QCOMPARE(g.selectedRows(), QVector<int>{29});
        QVERIFY(ds.locate("F_code", "C010"));
        QCOMPARE(g.currentIndex().row(), 9);
        QCOMPARE(g.selectedRows(), QVector<int>{9});
        // a sort keeps the current record and leaves it selected alone
        ds.setSortText("f_code DESC,");
        QCOMPARE(ds.text("F_code"), QString("C010"));
        QCOMPARE(g.currentIndex().row(), ds.currentRow());
        QCOMPARE(g.selectedRows(), QVector<int>{ds.currentRow()});
        // re-opening starts at the top again
        QVERIFY(ds.reopen());
        QCOMPARE(g.currentIndex().row(), ds.currentRow());
    }

    void multiSelectionInOrder()
    {
        TestDb t;
        addClients(t, 10);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns(clientColumns());
        g.resize(500, 400);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        clickRow(g, 5);
        clickRow(g, 1, Qt::ControlModifier);
        clickRow(g, 7, Qt::ControlModifier);
        QCOMPARE(g.selectedRows(), (QVector<int>{5, 1, 7}));
        QCOMPARE(ds.currentRow(), 7);
        // Ctrl on a selected row takes it out
        clickRow(g, 1, Qt::ControlModifier);
        QCOMPARE(g.selectedRows(), (QVector<int>{5, 7}));
        // the DataSet moving through the selection leaves it alone
        for (int r : g.selectedRows())
            ds.setCurrentRow(r);
        QCOMPARE(g.selectedRows(), (QVector<int>{5, 7}));
        // Shift makes a range from the anchor
        clickRow(g, 2);
        clickRow(g, 4, Qt::ShiftModifier);
        QCOMPARE(g.selectedRows(), (QVector<int>{2, 3, 4}));
        // a plain click starts again
        clickRow(g, 8);
        QCOMPARE(g.selectedRows(), QVector<int>{8});
        g.selectRows({6, 0, 3});
        QCOMPARE(g.selectedRows(), (QVector<int>{6, 0, 3}));
        // rows removed before selected ones shift them
        ds.setCachedUpdates(true);
        QVERIFY(ds.deleteRow(1));
        QCOMPARE(g.selectedRows(), (QVector<int>{5, 0, 2}));
    }

    void titlesMarkersAndMoves()
    {
        TestDb t;
        addClients(t, 3);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns(clientColumns());
        g.resize(600, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QSignalSpy titles(&g, &DataGrid::titleClicked);
        QHeaderView *h = g.horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(1) + 20, h->height() / 2));
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.at(0).at(0).toInt(), 1);
        g.setSortMarker(1, DataGridColumn::SortMarker::Descending);
        QCOMPARE(g.column(1).sortMarker, DataGridColumn::SortMarker::Descending);
        g.clearSortMarkers();
        QCOMPARE(g.column(1).sortMarker, DataGridColumn::SortMarker::None);
        // dragging a title moves the column itself: the order is the columns' order
        QSignalSpy changed(&g, &DataGrid::columnsChanged);
        h->moveSection(0, 3);
        QTRY_COMPARE(g.column(3).fieldName, QString("F_code"));
        QCOMPARE(g.column(0).fieldName, QString("F_name"));
        QCOMPARE(h->visualIndex(3), 3);
        QCOMPARE(g.cellText(0, 3), QString("C001"));
        QVERIFY(changed.size() > 0);
        // the operator's widths are kept
        h->resizeSection(0, 150);
        QCOMPARE(g.column(0).width, 150);
        g.setColumnVisible(0, false);
        QCOMPARE(g.column(0).width, 150);
        QVERIFY(h->isSectionHidden(0));
        g.moveColumn(3, 0);
        QCOMPARE(g.column(0).fieldName, QString("F_code"));
        QVERIFY(h->isSectionHidden(1));
    }

    void editingLikeASpreadsheet()
    {
        TestDb t;
        addClients(t, 5);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        ds.setCachedUpdates(true);
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns(clientColumns());
        g.resize(600, 300);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setFocus();
        g.setCurrentIndex(g.model()->index(0, 1));
        // read-only until a window allows editing
        QTest::keyClick(&g, Qt::Key_X);
        QTest::keyClick(&g, Qt::Key_F2);
        QVERIFY(!editor(g));
        g.setReadOnly(false);
        // typing starts editing with the typed key
        QTest::keyClick(&g, Qt::Key_X);
        QLineEdit *e = editor(g);
        QVERIFY(e);
        QTest::keyClicks(e, "yz");
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(ds.value(0, "F_name").toString(), QString("xyz"));
        QCOMPARE(g.currentIndex().row(), 1); // Enter went down
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(ds.hasPendingUpdates());
        QCOMPARE(ds.state(), DataSet::State::Browse); // row 0 posted into the cache
        // Chinese through an input method
        TestSupport::typeText(&g, QStringLiteral("张三"));
        e = editor(g);
        QVERIFY(e);
        QCOMPARE(e->text(), QStringLiteral("张三"));
        QTest::keyClick(e, Qt::Key_Tab);
        QCOMPARE(ds.value(1, "F_name").toString(), QStringLiteral("张三"));
        QCOMPARE(g.currentIndex().column(), 2); // Tab went right
        // numbers take only numbers; the sum follows
        QTest::keyClick(&g, Qt::Key_F2);
        e = editor(g);
        QVERIFY(e);
        QCOMPARE(e->text(), QString("3")); // the value, not its formatted text
        e->selectAll();
        QTest::keyClicks(e, "a1b2.5");
        QCOMPARE(e->text(), QString("12.5"));
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(ds.value(1, "F_SZ1").toDouble(), 12.5);
        QCOMPARE(g.footerText(2), QString("32.00"));
        // Enter on a cell starts editing; Esc drops the row's edit
        g.setCurrentIndex(g.model()->index(2, 1));
        QTest::keyClick(&g, Qt::Key_Return);
        e = editor(g);
        QVERIFY(e);
        QTest::keyClicks(e, "gone");
        QTest::keyClick(e, Qt::Key_Tab);
        QCOMPARE(ds.value(2, "F_name").toString(), QString("gone"));
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QTest::keyClick(&g, Qt::Key_Return);
        e = editor(g);
        QVERIFY(e);
        QTest::keyClick(e, Qt::Key_Escape);
        QCOMPARE(ds.value(2, "F_name").toString(), QStringLiteral("客户3"));
        QCOMPARE(ds.state(), DataSet::State::Browse);
        // Esc outside an editor drops the row's edit as well
        g.setCurrentIndex(g.model()->index(3, 1));
        QTest::keyClick(&g, Qt::Key_Q);
        QTest::keyClick(editor(g), Qt::Key_Tab);
        QCOMPARE(ds.value(3, "F_name").toString(), QString("q"));
        QTest::keyClick(&g, Qt::Key_Escape);
        QCOMPARE(ds.value(3, "F_name").toString(), QStringLiteral("客户4"));
        // read-only columns stay as they are
        auto c = g.column(0);
        c.readOnly = true;
        g.setColumn(0, c);
        g.setCurrentIndex(g.model()->index(3, 0));
        QTest::keyClick(&g, Qt::Key_Return);
        QVERIFY(!editor(g));
        QVERIFY(!g.isCellEditable(3, 0));
        // yes/no fields toggle by click or space
        g.setCurrentIndex(g.model()->index(0, 3));
        QCOMPARE(ds.value(0, "F_useFlag").toBool(), false);
        QTest::keyClick(&g, Qt::Key_Space);
        QCOMPARE(ds.value(0, "F_useFlag").toBool(), true);
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 0, 3));
        QCOMPARE(ds.value(0, "F_useFlag").toBool(), false);
        // a read-only DataSet edits nothing
        ds.setReadOnly(true);
        g.setCurrentIndex(g.model()->index(4, 1));
        QTest::keyClick(&g, Qt::Key_Return);
        QVERIFY(!editor(g));
    }

    void ellipsisButton()
    {
        TestDb t;
        addClients(t, 3);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        auto cols = clientColumns();
        cols[1].alwaysShowEditButton = true;
        cols[1].readOnly = true;
        g.setColumns(cols);
        g.resize(600, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QSignalSpy clicks(&g, &DataGrid::editButtonClicked);
        // a click beside the button only selects
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(1, 1)).topLeft() + QPoint(5, 5));
        QCOMPARE(clicks.size(), 0);
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.editButtonRect(2, 1).center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), 2);
        QCOMPARE(clicks.at(0).at(1).toInt(), 1);
        QCOMPARE(ds.currentRow(), 2);
    }

    void largeListReadsOnlyWhatIsShown()
    {
        TestDb t;
        QVERIFY(t.exec("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 100000) "
                       "INSERT INTO t_client(F_cltID, F_code, F_name, F_SZ1) SELECT x, 'C' || x, 'N' || x, x FROM c"));
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QSet<QString> shown;
        ds.setDisplayHook("F_name", [&](const QVariant &v) {
            shown.insert(v.toString());
            return v.toString();
        });
        QVERIFY(ds.open());
        QVERIFY(ds.isKeyed());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns(clientColumns());
        g.resize(600, 400);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.grab();
        QCOMPARE(g.model()->rowCount(), 100000);
        QVERIFY2(shown.size() < 100, qPrintable(QString::number(shown.size())));
        shown.clear();
        ds.last();
        g.grab();
        QVERIFY(shown.contains("N100000"));
        QVERIFY2(shown.size() < 100, qPrintable(QString::number(shown.size())));
        QCOMPARE(g.footerText(2), QString("5000050000.00"));
    }

    void screenshot()
    {
        if (TestSupport::screenshotDir().isEmpty())
            QSKIP("screenshots only on request (KELMOR_SCREENSHOTS)");
        TestDb t;
        addClients(t, 40);
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        ds.setEmptyDateFields({"F_editdate"});
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        auto cols = clientColumns();
        cols[1].alwaysShowEditButton = true;
        cols.append(DataGridColumn("F_QQ", "QQ", 200));
        cols.append(DataGridColumn("F_mem", QStringLiteral("备注信息"), 200));
        g.setColumns(cols);
        g.setSortMarker(1, DataGridColumn::SortMarker::Ascending);
        g.setSortMarker(2, DataGridColumn::SortMarker::Descending);
        g.setRowColorHook([&](int row) {
            DataGrid::RowColors rc;
            if (ds.value(row, "F_useFlag").toBool()) {
                rc.text = QColor(255, 0, 0);
                rc.background = g.palette().color(QPalette::Button);
            }
            return rc;
        });
        g.resize(560, 360);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        clickRow(g, 1);
        clickRow(g, 4, Qt::ControlModifier);
        QVERIFY(TestSupport::screenshot(&g, "datagrid"));
        g.horizontalScrollBar()->setValue(g.horizontalScrollBar()->maximum());
        ds.last();
        QApplication::processEvents();
        QVERIFY(TestSupport::screenshot(&g, "datagrid-scrolled"));
    }
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
