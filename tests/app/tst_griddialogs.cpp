#include "app/AppState.h"
#include "app/SortOrderList.h"
#include "app/TDLGeditCurList.h"
#include "app/TDLGenterCaption.h"
#include "app/TFrmDispFieldXZ.h"
#include "app/TdmData.h"
#include "app/TfrmRowArrangeGl.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace TestSupport;
using Direction = SortOrderList::Direction;

namespace {
QVector<DataGridColumn> columns(const QStringList &fieldsAndTitles)
{
    QVector<DataGridColumn> out;
    for (int i = 0; i + 1 < fieldsAndTitles.size(); i += 2)
        out.append(DataGridColumn(fieldsAndTitles.at(i), fieldsAndTitles.at(i + 1)));
    return out;
}

void doubleClickRow(QTableWidget *table, int row)
{
    const QRect r = table->visualItemRect(table->item(row, 0));
    // a widget's double click comes after a click, as from a real mouse
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, r.center());
}
} // namespace

class TestGridDialogs : public QObject
{
    Q_OBJECT

private slots:
    void sortList()
    {
        SortOrderList l({{QStringLiteral("客户名称"), "F_name"},
                         {QStringLiteral("客户编号"), "F_Code"},
                         {QStringLiteral("名称"), "F_a"},
                         {QStringLiteral("名称"), "F_b"}});
        QCOMPARE(l.sortText(), QString());
        l.cycle(0);
        l.cycle(1);
        l.cycle(1);
        QCOMPARE(l.sortText(), QString("f_name ASC,f_code DESC,"));
        // a third double click takes the direction away again
        l.cycle(1);
        QCOMPARE(l.at(1).direction, Direction::None);
        QCOMPARE(l.sortText(), QString("f_name ASC,"));
        // two columns with one title each sort by their own field
        l.cycle(3);
        l.cycle(2);
        l.cycle(2);
        QCOMPARE(l.sortText(), QString("f_name ASC,f_a DESC,f_b ASC,"));
        // priority follows the order
        QVERIFY(l.moveDown(0));
        QVERIFY(l.moveUp(3));
        QCOMPARE(l.sortText(), QString("f_name ASC,f_b ASC,f_a DESC,"));
        QVERIFY(!l.moveUp(0));
        QVERIFY(!l.moveDown(3));
        QCOMPARE(SortOrderList::directionOf(QStringLiteral("降序")), Direction::Descending);
        QCOMPARE(SortOrderList::directionOf(QString()), Direction::None);
    }

    void sortDialog()
    {
        TestDb t;
        Script s;
        DataGrid grid;
        grid.setColumns(columns({"F_code", QStringLiteral("客户编号"), "F_name", QStringLiteral("客户名称"), "F_A",
                                 QStringLiteral("名称"), "F_B", QStringLiteral("名称")}));
        s.onModal([&](QDialog *d) {
            auto *dlg = qobject_cast<TfrmRowArrangeGl *>(d);
            auto *vle1 = child<QTableWidget>(d, "vle1");
            QCOMPARE(d->windowTitle(), QStringLiteral("排序对话框"));
            QCOMPARE(vle1->rowCount(), 4);
            QCOMPARE(vle1->item(1, 0)->text(), QStringLiteral("客户名称"));
            QVERIFY(child<QLabel>(d, "Label1")->text().startsWith(QStringLiteral("提示：双击空白处切换排序方式")));
            QVERIFY(screenshot(d, "sortdialog-empty"));
            doubleClickRow(vle1, 1);
            QCOMPARE(vle1->item(1, 1)->text(), QStringLiteral("升序"));
            doubleClickRow(vle1, 0);
            doubleClickRow(vle1, 0);
            QCOMPARE(vle1->item(0, 1)->text(), QStringLiteral("降序"));
            // 客户名称 first: select it and move it up
            vle1->setCurrentCell(1, 0);
            click(d, "btnUp");
            QCOMPARE(vle1->item(0, 0)->text(), QStringLiteral("客户名称"));
            QCOMPARE(vle1->currentRow(), 0);
            click(d, "btnUp"); // at the top: nothing
            QCOMPARE(vle1->item(0, 0)->text(), QStringLiteral("客户名称"));
            // the drop-down of the value column
            vle1->item(3, 1)->setText(QStringLiteral("降序"));
            doubleClickRow(vle1, 2); // 名称 (F_A): 升序
            vle1->setCurrentCell(3, 0);
            click(d, "btnDown"); // at the bottom: nothing
            QCOMPARE(dlg->sortText(), QString("f_name ASC,f_code DESC,f_a ASC,f_b DESC,"));
            QVERIFY(screenshot(d, "sortdialog"));
            click(d, "btnOk");
        });
        QCOMPARE(t.dm()->ShowSortDialog(&grid), QString("f_name ASC,f_code DESC,f_a ASC,f_b DESC,"));
        // a direction cycled back to none is left out; cancel gives nothing
        s.onModal([&](QDialog *d) {
            auto *vle1 = child<QTableWidget>(d, "vle1");
            for (int i = 0; i < 3; ++i)
                doubleClickRow(vle1, 0);
            doubleClickRow(vle1, 1);
            QCOMPARE(qobject_cast<TfrmRowArrangeGl *>(d)->sortText(), QString("f_name ASC,"));
            click(d, "btnOk");
        });
        QCOMPARE(t.dm()->ShowSortDialog(&grid), QString("f_name ASC,"));
        s.onModal([&](QDialog *d) {
            doubleClickRow(child<QTableWidget>(d, "vle1"), 0);
            click(d, "btnCancel");
        });
        QCOMPARE(t.dm()->ShowSortDialog(&grid), QString());
    }

    void columnChooser()
    {
        TestDb t;
        Script s;
        DataGrid grid;
        auto cols = columns({"F_code", QStringLiteral("客户编号"), "F_name", QStringLiteral("客户名称"), "F_QQ", "QQ"});
        cols[2].visible = false;
        grid.setColumns(cols);
        s.onModal([&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("字段列表"));
            QVERIFY(!(d->windowFlags() & Qt::WindowCloseButtonHint));
            auto *list = child<QListWidget>(d, "CheckListBox1");
            QCOMPARE(list->count(), 3);
            QCOMPARE(list->item(1)->text(), QStringLiteral("客户名称"));
            QCOMPARE(list->item(0)->checkState(), Qt::Checked);
            QCOMPARE(list->item(2)->checkState(), Qt::Unchecked);
            list->item(0)->setCheckState(Qt::Unchecked);
            list->item(2)->setCheckState(Qt::Checked);
            QVERIFY(screenshot(d, "columnchooser"));
            click(d, "btnOk");
        });
        t.dm()->ChooseGridColumns(&grid);
        QVERIFY(!grid.column(0).visible);
        QVERIFY(grid.column(1).visible);
        QVERIFY(grid.column(2).visible);
        QVERIFY(grid.horizontalHeader()->isSectionHidden(0));
        // cancel changes nothing
        s.onModal([&](QDialog *d) {
            child<QListWidget>(d, "CheckListBox1")->item(1)->setCheckState(Qt::Unchecked);
            click(d, "btnCancel");
        });
        t.dm()->ChooseGridColumns(&grid);
        QVERIFY(grid.column(1).visible);
    }

    void askIndustry()
    {
        TestDb t;
        Script s;
        int picks = 0;
        const TdmData::TreePicker picker = [&](QWidget *) {
            ++picks;
            return QStringLiteral("001002");
        };
        s.onModal([&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("行业类型名称"));
            auto *edit = child<QLineEdit>(d, "edtCurValue");
            QVERIFY(edit->isVisible());
            QVERIFY(child<QToolButton>(d, "sbtype")->isVisible());
            QVERIFY(!child<QComboBox>(d, "cbbEmpname")->isVisible());
            QCOMPARE(edit->maxLength(), 255);
            // blank is refused and the dialog stays
            typeText(edit, QStringLiteral("   "));
            click(d, "btnOk");
            const auto m = s.takeMessages();
            QCOMPARE(m.size(), 1);
            QCOMPARE(m.at(0).text, QStringLiteral("行业类别名称不能为空！"));
            QCOMPARE(m.at(0).kind, 0);
            QVERIFY(d->isVisible());
            QVERIFY(d->result() != QDialog::Accepted);
            // the tree picker fills the box
            click(d, "sbtype");
            QCOMPARE(edit->text(), QStringLiteral("001002"));
            edit->clear();
            typeText(edit, QStringLiteral(" 机械制造 "));
            QVERIFY(screenshot(d, "askvalue-industry"));
            click(d, "btnOk");
        });
        QString value;
        QVERIFY(t.dm()->AskValue(QStringLiteral("行业类型名称"), AskValueMode::Industry, value, picker));
        QCOMPARE(value, QStringLiteral(" 机械制造 ")); // untrimmed
        QCOMPARE(picks, 1);
        // cancel leaves the caller's value
        s.onModal([&](QDialog *d) {
            typeText(child<QLineEdit>(d, "edtCurValue"), QStringLiteral("别的"));
            click(d, "btnCancel");
        });
        QVERIFY(!t.dm()->AskValue(QStringLiteral("行业类型名称"), AskValueMode::Industry, value, picker));
        QCOMPARE(value, QStringLiteral(" 机械制造 "));
    }

    void askSalesperson()
    {
        TestDb t;
        Script s;
        for (const QString &n : {QStringLiteral("张三"), QStringLiteral("李四")})
            t.insert("t_employee", {{"F_name", n}});
        AppState st;
        st.OperName = QStringLiteral("王五");
        replaceAppState(st);
        s.onModal([&](QDialog *d) {
            auto *box = child<QComboBox>(d, "cbbEmpname");
            QVERIFY(box->isVisible());
            QVERIFY(!child<QLineEdit>(d, "edtCurValue")->isVisible());
            QVERIFY(!child<QToolButton>(d, "sbtype")->isVisible());
            QCOMPARE(box->count(), 2);
            click(d, "btnOk"); // nothing chosen yet
            QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("业务员姓名不能为空！")});
            box->setCurrentIndex(box->findText(QStringLiteral("李四")));
            QVERIFY(screenshot(d, "askvalue-salesperson"));
            click(d, "btnOk");
        });
        QString value;
        QVERIFY(t.dm()->AskValue(QStringLiteral("业务员"), AskValueMode::Salesperson, value));
        QCOMPARE(value, QStringLiteral("李四"));
        // the operator's own customers only: the box holds the operator
        st.EmpScopeFlag = 1;
        replaceAppState(st);
        s.onModal([&](QDialog *d) {
            auto *box = child<QComboBox>(d, "cbbEmpname");
            QVERIFY(!box->isEnabled());
            QCOMPARE(box->currentText(), QStringLiteral("王五"));
            click(d, "btnOk");
        });
        QVERIFY(t.dm()->AskValue(QStringLiteral("业务员"), AskValueMode::Salesperson, value));
        QCOMPARE(value, QStringLiteral("王五"));
        replaceAppState(AppState());
        QCOMPARE(TDLGenterCaption::checkValue(AskValueMode::Salesperson, QStringLiteral(" 张 ")), QString());
        QCOMPARE(TDLGenterCaption::checkValue(AskValueMode::Industry, QString()), QStringLiteral("行业类别名称不能为空！"));
    }

    void askColumnValue()
    {
        TestDb t;
        Script s;
        s.onModal([&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("批量修改当前列"));
            QCOMPARE(child<QLabel>(d, "Label1")->text(), QStringLiteral("请输入要填写的字段值："));
            typeText(child<QLineEdit>(d, "edtCurValue"), QStringLiteral("北京"));
            QVERIFY(screenshot(d, "askcolumnvalue"));
            click(d, "btnOk");
        });
        QString value = "old";
        QVERIFY(t.dm()->AskColumnValue(value));
        QCOMPARE(value, QStringLiteral("北京"));
        s.onModal([&](QDialog *d) {
            typeText(child<QLineEdit>(d, "edtCurValue"), QStringLiteral("上海"));
            click(d, "btnCancel");
        });
        QVERIFY(!t.dm()->AskColumnValue(value));
        QCOMPARE(value, QStringLiteral("北京"));
    }
};

QTEST_MAIN(TestGridDialogs)
#include "tst_griddialogs.moc"
