#include "platform/DataGrid.h"
#include "refdata/CodeListEditor.h"
#include "refdata/TFrmCodeMan.h"
#include "platform/PrintPreview.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"
#include "FailingStatements.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QLabel>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

using namespace TestSupport;
using namespace RefdataTest;

namespace {
QStringList values(TestDb &t, const QString &type)
{
    QStringList out;
    QSqlQuery q(t.db());
    Sql::exec(q, "select F_name from t_code where F_type = :t order by F_ID", {{"t", type}});
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList shown(TFrmCodeMan &w)
{
    QStringList out;
    for (int r = 0; r < w.QryTable()->recordCount(); ++r)
        out << w.QryTable()->value(r, "F_name").toString();
    return out;
}

QStringList offered(TestDb &t, const QString &type)
{
    QComboBox combo;
    t.dm()->FillCodeList(type, &combo);
    QStringList out;
    for (int i = 0; i < combo.count(); ++i)
        out << combo.itemText(i);
    return out;
}

// Types into the grid's current cell, as the operator does.
void typeCell(TFrmCodeMan &w, int row, const QString &text)
{
    DataGrid *g = w.grid();
    if (!w.isVisible()) {
        w.show();
        (void)QTest::qWaitForWindowExposed(&w);
    }
    g->setFocus();
    g->setCurrentIndex(g->model()->index(row, 0));
    typeText(g, text);
}

bool enabled(TFrmCodeMan &w, const QString &button) { return child<QToolButton>(&w, button)->isEnabled(); }

bool activate(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}
} // namespace

class TestCodeMan : public QObject
{
    Q_OBJECT

private slots:
    void windowAndPages()
    {
        TestDb t;
        Script s;
        TFrmCodeMan w;
        QCOMPARE(w.windowTitle(), QStringLiteral("选项设置..."));
        const QStringList names{"tbNew", "tbEdit", "tbDel", "tbSave", "tbCancel", "tbPrint", "tbRefresh", "tbExit"};
        const QStringList texts{"新增", "修改", "删除", "保存", "取消", "打印", "刷新", "退出"};
        for (int i = 0; i < names.size(); ++i) {
            auto *b = child<QToolButton>(&w, names[i]);
            QCOMPARE(b->text(), texts[i]);
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QCOMPARE(b->isEnabled(), names[i] != "tbSave" && names[i] != "tbCancel");
        }
        const auto &pages = CodeListPages();
        QCOMPARE(pages.size(), 18);
        QCOMPARE(pages.first().page, QString("tclttype"));
        QCOMPARE(pages.last().page, QString("tcltype"));
        for (const CodeListPage &p : pages) {
            QCOMPARE(p.type, p.page.mid(1));
            QCOMPARE(child<QToolButton>(child<QWidget>(&w, "PageControl1"), p.page)->text(), p.caption);
        }
        QCOMPARE(pages[2].caption, QStringLiteral(" 国    家 "));
        QVERIFY(child<QToolButton>(&w, "tclttype")->isChecked());
        QCOMPARE(w.grid()->columnCount(), 1);
        QCOMPARE(w.grid()->column(0).fieldName, QString("F_Name"));
        QCOMPARE(w.grid()->column(0).title, QStringLiteral("客户类型"));
        QCOMPARE(w.editor().type(), QString("clttype"));
        QCOMPARE(shown(w), values(t, "clttype"));
        QVERIFY(w.grid()->isReadOnly());
        QCOMPARE(child<QLabel>(&w, "StatusPanel3")->text(), QStringLiteral("Kelmor软件  "));
        QCOMPARE(w.QryTable()->objectName(), QString("QryTable"));
    }

    void entryShowsTheWindowModally()
    {
        TestDb t;
        Script s;
        QString title;
        s.onModal([&](QDialog *d) {
            title = d->windowTitle();
            click(d, "tbExit");
            return d->result();
        });
        ShowCodeManager(nullptr);
        QCOMPARE(title, QStringLiteral("选项设置..."));
        QCOMPARE(s.dialogsShown(), QStringList{"TFrmCodeMan"});
    }

    // Every list: a value typed on its page is saved under its F_type and
    // then offered by the drop-downs that read the list.
    void editsAndSavesEachList_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("page");
        backendRows([](auto row) {
            for (int i = 0; i < CodeListPages().size(); ++i)
                row(CodeListPages()[i].page) << i;
        });
    }

    void editsAndSavesEachList()
    {
        QFETCH(int, page);
        const CodeListPage p = CodeListPages()[page];
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        TFrmCodeMan w;
        click(&w, p.page);
        QCOMPARE(w.currentPage(), page);
        QCOMPARE(w.editor().type(), p.type);
        QCOMPARE(w.grid()->column(0).title, p.caption.trimmed());
        const QStringList before = values(t, p.type);
        QCOMPARE(shown(w), before);

        click(&w, "tbNew");
        QVERIFY(w.isEditing());
        QVERIFY(!enabled(w, "tbNew") && enabled(w, "tbSave") && enabled(w, "tbCancel"));
        QVERIFY(!child<QWidget>(&w, "PageControl1")->isEnabled());
        QCOMPARE(w.QryTable()->recordCount(), before.size() + 1);
        const QString value = QStringLiteral("新值'") + p.type;
        typeCell(w, before.size(), value);
        click(&w, "tbSave");
        QVERIFY(!w.isEditing());
        QVERIFY(enabled(w, "tbNew") && !enabled(w, "tbSave"));
        QCOMPARE(values(t, p.type), before + QStringList{value});
        QVERIFY(offered(t, p.type).contains(value));
        QCOMPARE(t.count("t_code", "F_name = :v", {{"v", value}}), 1);

        // changing a value
        if (!before.isEmpty()) {
            click(&w, "tbEdit");
            typeCell(w, 0, QStringLiteral("改过的"));
            click(&w, "tbSave");
            QCOMPARE(values(t, p.type).first(), QStringLiteral("改过的"));
            QVERIFY(offered(t, p.type).contains(QStringLiteral("改过的")));
            QVERIFY(!offered(t, p.type).contains(before.first()));
        }
    }

    void blankAndLongValues()
    {
        TestDb t;
        Script s;
        TFrmCodeMan w;
        const QStringList before = values(t, "clttype");
        click(&w, "tbNew");
        typeCell(w, before.size(), QStringLiteral("  两边有空格  "));
        w.QryTable()->append(); // a second new line, left empty
        QCOMPARE(w.QryTable()->recordCount(), before.size() + 2);
        click(&w, "tbSave");
        QVERIFY(!w.isEditing());
        // the empty line is dropped, the value is trimmed
        QCOMPARE(values(t, "clttype"), before + QStringList{QStringLiteral("两边有空格")});
        QCOMPARE(w.QryTable()->recordCount(), before.size() + 1);
        QVERIFY(!s.hasMessages());

        // a stored value emptied is refused, and nothing is lost
        click(&w, "tbEdit");
        typeCell(w, 1, QStringLiteral(" "));
        typeCell(w, 2, QStringLiteral("第三个"));
        click(&w, "tbSave");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].kind, 2);
        QCOMPARE(m[0].text, QStringLiteral("选项值不能为空！如果不再需要这一项，请取消修改后用“删除”删去。"));
        QVERIFY(w.isEditing());
        QCOMPARE(w.QryTable()->currentRow(), 1);
        QCOMPARE(w.QryTable()->value(2, "F_name").toString(), QStringLiteral("第三个"));
        QCOMPARE(values(t, "clttype"), before + QStringList{QStringLiteral("两边有空格")});
        typeCell(w, 1, QString(256, QChar(0x5B57)));
        click(&w, "tbSave");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("选项值不能超过 255 个字符！")});
        QVERIFY(w.isEditing());
        typeCell(w, 1, QString(255, QChar(0x5B57)));
        click(&w, "tbSave");
        QVERIFY(!w.isEditing());
        QCOMPARE(values(t, "clttype").at(1), QString(255, QChar(0x5B57)));
        QCOMPARE(values(t, "clttype").at(2), QStringLiteral("第三个"));
    }

    void failedSaveKeepsEditsAndEditState_data() { addBackendRows(); }
    void failedSaveKeepsEditsAndEditState()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        TFrmCodeMan w;
        const QStringList before = values(t, "clttype");
        failOn(t, "t_code", "insert");
        click(&w, "tbNew");
        typeCell(w, before.size(), QStringLiteral("新的"));
        typeCell(w, 0, QStringLiteral("先改一个"));
        click(&w, "tbSave");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].text, QStringLiteral("保存失败，请检测数据库连接！"));
        QCOMPARE(m[0].kind, 3);
        QVERIFY(w.isEditing());
        QVERIFY(enabled(w, "tbSave") && enabled(w, "tbCancel") && !enabled(w, "tbExit"));
        QVERIFY(!w.grid()->isReadOnly());
        QCOMPARE(shown(w).first(), QStringLiteral("先改一个"));
        QCOMPARE(shown(w).last(), QStringLiteral("新的"));
        // nothing of the failed save reached the table
        QCOMPARE(values(t, "clttype"), before);
        // the window does not close while the edits are pending
        w.close();
        QVERIFY(w.isEditing());
        // once the database accepts it, the same save goes through once
        stopFailing(t, "t_code");
        click(&w, "tbSave");
        QVERIFY(!w.isEditing());
        QStringList expect = before;
        expect[0] = QStringLiteral("先改一个");
        expect << QStringLiteral("新的");
        QCOMPARE(values(t, "clttype"), expect);
    }

    void cancelDropsEveryEdit()
    {
        TestDb t;
        Script s;
        TFrmCodeMan w;
        const QStringList before = values(t, "clttype");
        click(&w, "tbNew");
        typeCell(w, before.size(), QStringLiteral("也不要"));
        typeCell(w, 0, QStringLiteral("不要了"));
        click(&w, "tbCancel");
        QVERIFY(!w.isEditing());
        QCOMPARE(shown(w), before);
        QCOMPARE(values(t, "clttype"), before);
    }

    void deleteAsksAndApplies_data() { addBackendRows(); }
    void deleteAsksAndApplies()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        TFrmCodeMan w;
        const QStringList before = values(t, "clttype");
        w.QryTable()->setCurrentRow(1);
        s.answer(2);
        click(&w, "tbDel");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除 \" 客户类型 \"") + before[1] + QStringLiteral("吗？")});
        QCOMPARE(values(t, "clttype"), before);
        s.answer(1);
        click(&w, "tbDel");
        s.takeTexts();
        QStringList after = before;
        after.removeAt(1);
        QCOMPARE(values(t, "clttype"), after);
        QCOMPARE(shown(w), after);
        QVERIFY(!w.isEditing());

        // a delete the database refuses keeps the row
        failOn(t, "t_code", "delete");
        w.QryTable()->setCurrentRow(0);
        s.answer(1);
        click(&w, "tbDel");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 2);
        QCOMPARE(m[1].text, QStringLiteral("删除操作失败，请检查数据连接... "));
        QCOMPARE(m[1].kind, 3);
        QCOMPARE(shown(w), after);
        QCOMPARE(values(t, "clttype"), after);
        stopFailing(t, "t_code");

        // an empty list
        QVERIFY(t.exec("delete from t_code where F_type = 'unit'"));
        click(&w, "tunit");
        click(&w, "tbDel");
        click(&w, "tbEdit");
        const auto e = s.takeMessages();
        QCOMPARE(e.size(), 2);
        QCOMPARE(e[0].text, QStringLiteral("此表是空表，不需要删除！"));
        QCOMPARE(e[0].kind, 0);
        QCOMPARE(e[1].text, QStringLiteral("此表为空，没有记录需要修改！"));
        QCOMPARE(e[1].kind, 3);
        QVERIFY(!w.isEditing());
    }

    void keysAndStates()
    {
        TestDb t;
        Script s;
        TFrmCodeMan w;
        QVERIFY(activate(&w));
        const QStringList before = values(t, "clttype");
        DataGrid *g = w.grid();
        g->setFocus();

        QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(w.isEditing());
        QCOMPARE(w.QryTable()->recordCount(), before.size() + 1);
        // pages do not change while editing
        click(&w, "tmode");
        QCOMPARE(w.currentPage(), 0);
        QVERIFY(child<QToolButton>(&w, "tclttype")->isChecked());
        // Esc outside a cell: 取消
        QTest::keyClick(g, Qt::Key_Escape);
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!w.isEditing());
        QCOMPARE(w.QryTable()->recordCount(), before.size());
        QVERIFY(w.isVisible());

        QTest::keyClick(g, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(w.isEditing());
        typeCell(w, 0, QStringLiteral("按键保存"));
        // Ctrl+S saves, even with the cell still open
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.isEditing());
        QCOMPARE(values(t, "clttype").first(), QStringLiteral("按键保存"));

        g->setFocus();
        w.QryTable()->setCurrentRow(0);
        s.answer(2);
        QTest::keyClick(g, Qt::Key_Delete);
        QVERIFY(s.takeTexts().value(0).startsWith(QStringLiteral("真的要删除 ")));

        // a page change opens its list
        click(&w, "tmode");
        QCOMPARE(shown(w), values(t, "mode"));
        QCOMPARE(w.grid()->column(0).title, QStringLiteral("洽谈方式"));
        // refresh shows what another workstation stored
        t.insert("t_code", {{"F_type", "mode"}, {"F_name", "别处加的"}});
        click(&w, "tbRefresh");
        QCOMPARE(shown(w), values(t, "mode"));

        // Esc in the browse state: 退出
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void newRowsTakeTheListName()
    {
        TestDb t;
        Script s;
        QVERIFY(t.exec("update t_code set F_type = 'empName' where F_type = 'empname'"));
        TFrmCodeMan w;
        click(&w, "tempname");
        const QStringList before = values(t, "empname");
        QCOMPARE(shown(w), before);
        click(&w, "tbNew");
        typeCell(w, before.size(), QStringLiteral("新业务员"));
        click(&w, "tbSave");
        QCOMPARE(t.scalar("select F_type from t_code where F_name = '新业务员'").toString(), QString("empname"));
        // rows spelled otherwise by older readers are left alone
        QCOMPARE(t.scalar("select count(*) from t_code where F_type = 'empName' collate binary").toInt(), before.size());
    }

    void printsTheList()
    {
        TestDb t;
        Script s;
        QTemporaryDir dir;
        TFrmCodeMan w;
        click(&w, "tmode");
        const QString pdf = dir.filePath("mode.pdf");
        QString name;
        s.onModal([&](QDialog *d) -> int {
            auto *preview = qobject_cast<PrintPreview *>(d);
            if (!preview)
                return 0;
            name = preview->documentName();
            preview->writePdf(pdf);
            return int(QDialog::Rejected);
        });
        click(&w, "tbPrint");
        QCOMPARE(s.dialogsShown(), QStringList{"PrintPreview"});
        QCOMPARE(name, QStringLiteral("洽谈方式设置"));
        const QString text = ReadBack::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("洽谈方式设置")), qPrintable(text));
        for (const QString &v : values(t, "mode"))
            QVERIFY2(text.contains(v), qPrintable(v));
        QVERIFY(text.contains(QStringLiteral("打印日期：") + QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日"))));
        // not while editing
        click(&w, "tbNew");
        click(&w, "tbPrint");
        QCOMPARE(s.dialogsShown().size(), 1);
        click(&w, "tbCancel");
    }

    void screenshots()
    {
        if (screenshotDir().isEmpty())
            QSKIP("screenshots only on request (KELMOR_SCREENSHOTS)");
        TestDb t;
        Script s;
        TFrmCodeMan w;
        w.show();
        click(&w, "tprovince");
        QTest::qWait(200);
        QVERIFY(screenshot(&w, "codeman-browse"));
        click(&w, "tbNew");
        typeText(w.grid(), QStringLiteral("新的省份"));
        QTest::qWait(200);
        QVERIFY(screenshot(&w, "codeman-edit"));
        click(&w, "tbCancel");
    }
};

QTEST_MAIN(TestCodeMan)
#include "tst_codeman.moc"
