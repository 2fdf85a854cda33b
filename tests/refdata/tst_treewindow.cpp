#include "refdata/TFrmTreeCodeMan.h"
#include "refdata/TreeServices.h"
#include "app/TdmData.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace TestSupport;

namespace {
QString P(const QStringList &captions) { return QStringLiteral("\\\\") + captions.join(QLatin1Char('\\')); }

QTreeWidgetItem *itemOf(QTreeWidget *tree, const QString &code)
{
    std::function<QTreeWidgetItem *(QTreeWidgetItem *)> find = [&](QTreeWidgetItem *i) -> QTreeWidgetItem * {
        if (i->data(0, TreeRole::Code).toString() == code)
            return i;
        for (int k = 0; k < i->childCount(); ++k)
            if (QTreeWidgetItem *hit = find(i->child(k)))
                return hit;
        return nullptr;
    };
    return tree->topLevelItem(0) ? find(tree->topLevelItem(0)) : nullptr;
}

void select(TFrmTreeCodeMan &w, const QString &code)
{
    QTreeWidgetItem *item = itemOf(w.tvTree(), code);
    QVERIFY2(item, qPrintable(code));
    w.tvTree()->setCurrentItem(item);
}

QPair<int, int> images(QTreeWidgetItem *item)
{
    return {item->data(0, TreeRole::Image).toInt(), item->data(0, TreeRole::SelectedImage).toInt()};
}

// The operator types a caption into the caption box and presses 确定.
void answerCaption(Script &s, const QString &caption, QString *title = nullptr, QString *prefilled = nullptr)
{
    s.onModal([=](QDialog *d) {
        if (title)
            *title = d->windowTitle();
        auto *edit = child<QLineEdit>(d, "edtCurValue");
        if (prefilled)
            *prefilled = edit->text();
        edit->clear();
        typeText(edit, caption);
        click(d, "btnOk");
        return d->result();
    });
}

QString hangyeOf(TestDb &t, const QString &customer)
{
    return t.scalar("select F_hangye from t_client where F_name = :n", {{"n", customer}}).toString();
}

bool activate(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}
} // namespace

class TestTreeWindow : public QObject
{
    Q_OBJECT

private slots:
    void loadsTheTree()
    {
        TestDb t;
        Script s;
        TFrmTreeCodeMan w(1);
        QCOMPARE(w.windowTitle(), QStringLiteral("客户行业类别资料"));
        QVERIFY(child<QWidget>(&w, "Panel4")->isHidden());
        QCOMPARE(child<QPushButton>(&w, "btnAdd")->text(), QStringLiteral("添加同类(&A)"));
        QCOMPARE(child<QPushButton>(&w, "btnAddChild")->text(), QStringLiteral("添加子类(&C)"));
        QCOMPARE(child<QPushButton>(&w, "btnDelete")->text(), QStringLiteral("删除(包含子类)"));
        QCOMPARE(child<QPushButton>(&w, "Button1")->text(), QStringLiteral("修    改(&E)"));
        QCOMPARE(child<QLabel>(&w, "Label1")->text(),
                 QStringLiteral("    增加节点，需先在左边框里选中节点（选中的节点显示为蓝色），然后才能选择增加同级节点或子节点"));
        QStringList menu;
        for (QAction *a : child<QMenu>(&w, "PopupMenu1")->actions())
            menu << a->text();
        QCOMPARE(menu, (QStringList{"添加同类(&A)", "添加子类(&C)", "删除(包含子类)", "修    改(&E)"}));

        QTreeWidget *tree = w.tvTree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("客户行业类别"));
        const TreeNode r = TreeNodeOf(root);
        QCOMPARE(r.code, QString("000"));
        QCOMPARE(r.path, QString("\\\\"));
        QCOMPARE(r.codeLength, 0);
        QVERIFY(root->isExpanded());
        QCOMPARE(tree->currentItem(), root);
        QCOMPARE(root->childCount(), 10);
        QTreeWidgetItem *n001 = itemOf(tree, "001");
        QCOMPARE(n001->childCount(), 4);
        QVERIFY(n001->isExpanded());
        const TreeNode n = TreeNodeOf(itemOf(tree, "001002"));
        QCOMPARE(n.codeLength, 6);
        QCOMPARE(n.name, QStringLiteral("机械设备"));
        QCOMPARE(n.path, P({"制造业", "机械设备"}));
        QCOMPARE(itemOf(tree, "001002")->parent(), n001);

        // images: root 0/0, top level with children 1/1, without 2/3, deeper 2/3
        QCOMPARE(images(root), qMakePair(0, 0));
        QCOMPARE(images(n001), qMakePair(1, 1));
        QCOMPARE(images(itemOf(tree, "005")), qMakePair(2, 3));
        QCOMPARE(images(itemOf(tree, "001002")), qMakePair(2, 3));
        QVERIFY(!root->icon(0).isNull());

        QCOMPARE(TreePathOf(itemOf(tree, "001002"), 1), P({"制造业", "机械设备"}));
        QCOMPARE(TreePathOf(itemOf(tree, "001002"), 2), P({"制造业"}));
        QCOMPARE(TreePathOf(n001, 1), P({"制造业"}));
    }

    void entryShowsTheManagementWindow()
    {
        TestDb t;
        Script s;
        bool panelHidden = false;
        s.onModal([&](QDialog *d) -> int {
            panelHidden = child<QWidget>(d, "Panel4")->isHidden();
            QTest::keyClick(d, Qt::Key_Escape);
            return d->result();
        });
        ShowTreeCodeManager(nullptr);
        QCOMPARE(s.dialogsShown(), QStringList{"TFrmTreeCodeMan"});
        QVERIFY(panelHidden);
    }

    void loadsForTheMainWindowAndReportsAFailedRead()
    {
        TestDb t;
        Script s;
        QTreeWidget tree;
        t.insert("t_treecode", {{"F_code", "001"}, {"F_name", "x"}, {"F_likecode", P({"x"})}, {"F_flag", "other"}});
        QVERIFY(LoadCodeTree(&tree, "行业类别", "hangyetype"));
        QCOMPARE(tree.topLevelItem(0)->text(0), QStringLiteral("行业类别"));
        QCOMPARE(tree.topLevelItem(0)->childCount(), 10);
        QVERIFY(LoadCodeTree(&tree, "其他", "other"));
        QCOMPARE(tree.topLevelItem(0)->childCount(), 1);
        QVERIFY(t.exec("drop table t_treecode"));
        QVERIFY(!LoadCodeTree(&tree, "行业类别", "hangyetype"));
        QCOMPARE(tree.topLevelItemCount(), 1);
        QCOMPARE(tree.topLevelItem(0)->childCount(), 0);
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].text, QStringLiteral("打开操作失败，请检查数据连接... "));
        QCOMPARE(m[0].kind, 3);
    }

    void addsSiblingsAndChildren()
    {
        TestDb t;
        Script s;
        TFrmTreeCodeMan w(1);
        QTreeWidget *tree = w.tvTree();
        QString title;

        select(w, "001001");
        answerCaption(s, "光电", &title);
        click(&w, "btnAdd");
        QCOMPARE(title, QStringLiteral("添加 001001 电子设备 同类"));
        QTreeWidgetItem *n001 = itemOf(tree, "001");
        QCOMPARE(n001->childCount(), 5);
        TreeNode added = TreeNodeOf(n001->child(4));
        QCOMPARE(added.code, QString("001005"));
        QCOMPARE(added.path, P({"制造业", "光电"}));
        QCOMPARE(t.count("t_treecode", "F_code = '001005' and F_likecode = :p", {{"p", P({"制造业", "光电"})}}), 1);
        QCOMPARE(tree->currentItem(), itemOf(tree, "001001"));

        // the first child of a leaf turns it into a node with children
        select(w, "005");
        answerCaption(s, "银行", &title);
        click(&w, "btnAddChild");
        QCOMPARE(title, QStringLiteral("添加 005 金融保险 子类"));
        QTreeWidgetItem *n005 = itemOf(tree, "005");
        QCOMPARE(n005->childCount(), 1);
        QCOMPARE(TreeNodeOf(n005->child(0)).path, P({"金融保险", "银行"}));
        QCOMPARE(TreeNodeOf(n005->child(0)).code, QString("005001"));
        QCOMPARE(images(n005), qMakePair(1, 1));
        QCOMPARE(images(n005->child(0)), qMakePair(2, 3));

        // a third level, added from the pop-up menu
        select(w, "005001");
        answerCaption(s, "国有银行");
        child<QAction>(&w, "N2")->trigger();
        QCOMPARE(TreeNodeOf(itemOf(tree, "005001001")).path, P({"金融保险", "银行", "国有银行"}));

        // under the root
        select(w, "000");
        answerCaption(s, "新行业", &title);
        click(&w, "btnAddChild");
        QCOMPARE(title, QStringLiteral("添加 000 客户行业类别 子类"));
        QCOMPARE(TreeNodeOf(itemOf(tree, "011")).path, P({"新行业"}));
        QCOMPARE(images(itemOf(tree, "011")), qMakePair(2, 3));

        // no sibling for the root
        click(&w, "btnAdd");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].text, QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"));
        QCOMPARE(m[0].kind, 0);
        QCOMPARE(t.count("t_treecode"), 23 + 4);
    }

    void captionBoxRefusesBadCaptions()
    {
        TestDb t;
        Script s;
        TFrmTreeCodeMan w(1);
        select(w, "001");
        QStringList seen;
        int maxLength = 0;
        s.onModal([&](QDialog *d) -> int {
            auto *edit = child<QLineEdit>(d, "edtCurValue");
            maxLength = edit->maxLength();
            for (const QString bad : {"电子\\芯片", "机械设备"}) {
                edit->clear();
                typeText(edit, bad);
                click(d, "btnOk");
                if (d->isVisible())
                    seen << edit->text();
            }
            click(d, "btnCancel");
            return d->result();
        });
        click(&w, "btnAddChild");
        QCOMPARE(maxLength, 100);
        QCOMPARE(seen, (QStringList{"电子\\芯片", "机械设备"}));
        QCOMPARE(s.takeTexts(), (QStringList{QStringLiteral("类别名称不能包含反斜杠“\\”，它用来分隔类别的各级名称！"),
                                             QStringLiteral("同一类别下已有名为“机械设备”的类别，请换一个名称！")}));
        // a blank answer ends the command
        answerCaption(s, "   ");
        click(&w, "btnAddChild");
        QCOMPARE(t.count("t_treecode"), 23);
        QCOMPARE(itemOf(w.tvTree(), "001")->childCount(), 4);
    }

    void renameMovesCustomersOnceConfirmed()
    {
        TestDb t;
        Script s;
        t.insert("t_client", {{"F_name", "a"}, {"F_hangye", P({"制造业"})}});
        t.insert("t_client", {{"F_name", "b"}, {"F_hangye", P({"制造业", "机械设备"})}});
        t.insert("t_client", {{"F_name", "c"}, {"F_hangye", P({"制造业", "机械设备"})}});
        t.insert("t_client", {{"F_name", "d"}, {"F_hangye", P({"信息技术"})}});
        TFrmTreeCodeMan w(1);
        QTreeWidget *tree = w.tvTree();
        QVERIFY(activate(&w));

        // the root is not renamed
        select(w, "000");
        click(&w, "Button1");

        select(w, "001");
        QString title, prefilled;
        answerCaption(s, "工业", &title, &prefilled);
        s.answer(2);
        click(&w, "Button1");
        QCOMPARE(title, QStringLiteral("修改类别 001 制造业 子类"));
        QCOMPARE(prefilled, QStringLiteral("制造业"));
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].kind, 1);
        QVERIFY(m[0].text.contains("3 个客户"));
        QCOMPARE(t.scalar("select F_name from t_treecode where F_code = '001'").toString(), QStringLiteral("制造业"));
        QCOMPARE(hangyeOf(t, "a"), P({"制造业"}));
        QCOMPARE(itemOf(tree, "001")->text(0), QStringLiteral("制造业"));

        // Ctrl+S renames too
        QVERIFY(activate(&w));
        answerCaption(s, "工业");
        s.answer(1);
        QTest::keyClick(tree, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(s.takeTexts().value(0).contains("3 个客户"));
        QCOMPARE(itemOf(tree, "001")->text(0), QStringLiteral("工业"));
        QCOMPARE(TreeNodeOf(itemOf(tree, "001")).path, P({"工业"}));
        QCOMPARE(TreeNodeOf(itemOf(tree, "001002")).path, P({"工业", "机械设备"}));
        QCOMPARE(t.scalar("select F_likecode from t_treecode where F_code = '001002'").toString(), P({"工业", "机械设备"}));
        QCOMPARE(hangyeOf(t, "a"), P({"工业"}));
        QCOMPARE(hangyeOf(t, "b"), P({"工业", "机械设备"}));
        QCOMPARE(hangyeOf(t, "d"), P({"信息技术"}));
        // the picker's path follows
        QCOMPARE(TreePathOf(itemOf(tree, "001002"), 1), P({"工业", "机械设备"}));

        // a node without customers is renamed without a question; letter case counts
        select(w, "001002");
        answerCaption(s, "机械设备ABC");
        s.answer(1);
        click(&w, "Button1");
        QVERIFY(s.takeTexts().value(0).contains("2 个客户"));
        answerCaption(s, "机械设备abc");
        s.answer(1);
        click(&w, "Button1");
        s.takeTexts();
        QCOMPARE(itemOf(tree, "001002")->text(0), QStringLiteral("机械设备abc"));
        QCOMPARE(hangyeOf(t, "b"), P({"工业", "机械设备abc"}));
        select(w, "006");
        answerCaption(s, "教育");
        click(&w, "Button1");
        QCOMPARE(itemOf(tree, "006")->text(0), QStringLiteral("教育"));
    }

    void deleteAsksAndKeepsCustomers()
    {
        TestDb t;
        Script s;
        t.insert("t_client", {{"F_name", "a"}, {"F_hangye", P({"制造业", "电子设备"})}});
        TFrmTreeCodeMan w(1);
        QTreeWidget *tree = w.tvTree();
        QVERIFY(activate(&w));

        select(w, "001001");
        s.answer(2);
        click(&w, "btnDelete");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前节点 “001001电子设备” 吗？\n"
                                                           "有 1 个客户的行业类别属于此类别或其子类别，删除后这些客户仍保留原来的行业类别。")});
        QVERIFY(itemOf(tree, "001001"));

        // the Delete key
        s.answer(1);
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(s.takeMessages().size(), 1);
        QVERIFY(!itemOf(tree, "001001"));
        QCOMPARE(t.count("t_treecode", "F_code = '001001'"), 0);
        QCOMPARE(hangyeOf(t, "a"), P({"制造业", "电子设备"}));

        select(w, "002");
        s.answer(1);
        click(&w, "btnDelete");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？")});
        QVERIFY(!itemOf(tree, "002"));
        QCOMPARE(t.count("t_treecode", "F_code like '002%'"), 0);

        // a top-level node that loses its last child gets the leaf images
        for (const QString code : {"007001", "007002"}) {
            select(w, code);
            s.answer(1);
            click(&w, "btnDelete");
            s.takeMessages();
        }
        QCOMPARE(images(itemOf(tree, "007")), qMakePair(2, 3));

        select(w, "000");
        click(&w, "btnDelete");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].text, QStringLiteral("不能删除根节点！"));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(t.count("t_treecode"), 23 - 1 - 4 - 2);
    }

    void failuresLeaveTheViewAsItWas()
    {
        TestDb t;
        Script s;
        TFrmTreeCodeMan w(1);
        QTreeWidget *tree = w.tvTree();
        QVERIFY(t.exec("create trigger noins before insert on t_treecode begin select raise(abort, 'boom'); end"));
        QVERIFY(t.exec("create trigger noupd before update on t_treecode begin select raise(abort, 'boom'); end"));
        QVERIFY(t.exec("create trigger nodel before delete on t_treecode begin select raise(abort, 'boom'); end"));

        select(w, "001");
        answerCaption(s, "新的");
        click(&w, "btnAddChild");
        answerCaption(s, "工业");
        click(&w, "Button1");
        s.answer(1);
        click(&w, "btnDelete");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 4);
        QCOMPARE(m[0].text, QStringLiteral("数据连接失败，请与作者联系... "));
        QCOMPARE(m[0].kind, 3);
        QCOMPARE(m[1].text, QStringLiteral("数据连接失败，请与作者联系... "));
        QCOMPARE(m[1].kind, 3);
        QCOMPARE(m[2].kind, int(MessDestructive)); // the delete question
        QCOMPARE(m[3].text, QStringLiteral("操作失败，请检查数据连接... "));
        QCOMPARE(m[3].kind, 3);
        QCOMPARE(itemOf(tree, "001")->childCount(), 4);
        QCOMPARE(itemOf(tree, "001")->text(0), QStringLiteral("制造业"));
        QCOMPARE(TreeNodeOf(itemOf(tree, "001")).path, P({"制造业"}));
        QCOMPARE(t.count("t_treecode"), 23);
    }

    void fullLevelIsRefusedBeforeAsking()
    {
        TestDb t;
        Script s;
        {
            Transaction tr(t.db());
            for (int i = 1; i <= 999; ++i) {
                const QString tail = QString::number(i).rightJustified(3, '0');
                t.insert("t_treecode", {{"F_code", "005" + tail}, {"F_name", "n" + tail}, {"F_likecode", P({"金融保险", "n" + tail})}, {"F_flag", "hangyetype"}});
            }
            QVERIFY(tr.commit());
        }
        TFrmTreeCodeMan w(1);
        select(w, "005");
        click(&w, "btnAddChild");
        select(w, "005999");
        click(&w, "btnAdd");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 2);
        for (const auto &msg : m) {
            QCOMPARE(msg.text, QStringLiteral("该级类别的编号 001～999 已全部用完，不能再增加类别！"));
            QCOMPARE(msg.kind, 2);
        }
        QVERIFY(s.dialogsShown().isEmpty());
        QCOMPARE(itemOf(w.tvTree(), "005")->childCount(), 999);
    }

    void pickerReturnsThePath_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("result");
        const QString machine = P({"制造业", "机械设备"});
        QTest::newRow("ok") << machine << "ok" << machine;
        QTest::newRow("double-click") << machine << "dclick" << machine;
        QTest::newRow("enter") << machine << "enter" << machine;
        QTest::newRow("other node") << machine << "other" << P({"信息技术", "软件开发"});
        QTest::newRow("cancel") << machine << "cancel" << machine;
        QTest::newRow("esc") << "随手写的" << "esc" << "随手写的";
        QTest::newRow("root refused, then cancel") << "随手写的" << "root" << "随手写的";
    }

    void pickerReturnsThePath()
    {
        QFETCH(QString, current);
        QFETCH(QString, how);
        QFETCH(QString, result);
        TestDb t;
        Script s;
        QString selected;
        bool panel = false;
        s.onModal([&](QDialog *d) {
            auto *w = qobject_cast<TFrmTreeCodeMan *>(d);
            if (!w)
                return 0;
            panel = child<QWidget>(d, "Panel4")->isVisible();
            QTreeWidget *tree = w->tvTree();
            selected = TreeNodeOf(tree->currentItem()).path;
            if (how == "ok") {
                click(d, "btnOk");
            } else if (how == "dclick") {
                QTreeWidgetItem *item = tree->currentItem();
                tree->scrollToItem(item);
                const QRect r = tree->visualItemRect(item);
                QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, r.center());
            } else if (how == "enter") {
                tree->setFocus();
                QTest::keyClick(tree, Qt::Key_Return);
            } else if (how == "other") {
                tree->setCurrentItem(itemOf(tree, "002001"));
                click(d, "btnOk");
            } else if (how == "cancel") {
                click(d, "btnCancel");
            } else if (how == "esc") {
                QTest::keyClick(d, Qt::Key_Escape);
            } else if (how == "root") {
                tree->setCurrentItem(tree->topLevelItem(0));
                click(d, "btnOk");
                if (!d->isVisible())
                    return d->result();
                emit tree->itemDoubleClicked(tree->topLevelItem(0), 0);
                if (!d->isVisible())
                    return d->result();
                click(d, "btnCancel");
            }
            return d->result();
        });
        QCOMPARE(PickTreePath(nullptr, current), result);
        QVERIFY(panel);
        if (current == P({"制造业", "机械设备"}))
            QCOMPARE(selected, current);
        else
            QCOMPARE(selected, QString("\\\\")); // no node has that path: the root stays current
        if (how == "root") {
            const auto m = s.takeMessages();
            QCOMPARE(m.size(), 2);
            QCOMPARE(m[0].text, QStringLiteral("不能选择根节点！"));
            QCOMPARE(m[0].kind, 0);
        }
    }

    // The value dialog's industry mode with the picker the main window passes.
    void askValuePicksAnIndustry_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("choose"); // code chosen in the tree; empty: 取消
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<QString>("result");
        const QString machine = P({"制造业", "机械设备"});
        QTest::newRow("from the box's category") << machine << "007001" << machine << P({"医疗卫生", "医院"});
        QTest::newRow("empty box") << "" << "002003" << "\\\\" << P({"信息技术", "互联网服务"});
        QTest::newRow("picker cancelled") << machine << "" << machine << machine;
        QTest::newRow("typed text kept") << "自己写的" << "" << "\\\\" << "自己写的";
    }

    void askValuePicksAnIndustry()
    {
        QFETCH(QString, start);
        QFETCH(QString, choose);
        QFETCH(QString, preselected);
        QFETCH(QString, result);
        TestDb t;
        Script s;
        QString seenInTree, boxAfterPick;
        bool buttonShown = false;
        s.onModal([&](QDialog *d) -> int {
            buttonShown = child<QWidget>(d, "sbtype")->isVisible();
            click(d, "sbtype"); // opens the picker below
            boxAfterPick = child<QLineEdit>(d, "edtCurValue")->text();
            click(d, "btnOk");
            return d->result();
        });
        s.onModal([&](QDialog *d) -> int {
            auto *w = qobject_cast<TFrmTreeCodeMan *>(d);
            if (!w)
                return 0;
            seenInTree = TreeNodeOf(w->tvTree()->currentItem()).path;
            if (choose.isEmpty()) {
                click(d, "btnCancel");
            } else {
                w->tvTree()->setCurrentItem(itemOf(w->tvTree(), choose));
                click(d, "btnOk");
            }
            return d->result();
        });
        QString value = start;
        QVERIFY(t.dm()->AskValue(QStringLiteral("行业类型名称"), AskValueMode::Industry, value, IndustryPicker()));
        QVERIFY(buttonShown);
        QCOMPARE(seenInTree, preselected);
        QCOMPARE(boxAfterPick, result);
        QCOMPARE(value, result);
        QCOMPARE(s.dialogsShown(), (QStringList{"DLGenterCaption", "TFrmTreeCodeMan"}));
    }

    // Pictures of the window for a person to look at.
    void screenshots()
    {
        if (screenshotDir().isEmpty())
            QSKIP("screenshots only on request (KELMOR_SCREENSHOTS)");
        TestDb t;
        Script s;
        TFrmTreeCodeMan manage(1);
        manage.show();
        select(manage, "001002");
        QTest::qWait(200);
        QVERIFY(screenshot(&manage, "tree-manage"));
        TFrmTreeCodeMan pick(2);
        pick.setCurrentPath(P({"信息技术", "系统集成"}));
        pick.show();
        QTest::qWait(200);
        QVERIFY(screenshot(&pick, "tree-pick"));
        s.onModal([&](QDialog *d) {
            QTest::qWait(100);
            QVERIFY(screenshot(d, "tree-caption"));
            click(d, "btnCancel");
        });
        manage.Button1Click();
    }
};

QTEST_MAIN(TestTreeWindow)
#include "tst_treewindow.moc"
