#include "refdata/CategoryTree.h"
#include "refdata/TreeServices.h"
#include "FailingStatements.h"
#include "support/TestSupport.h"

#include <QSqlQuery>
#include <QTest>

using namespace TestSupport;
using namespace RefdataTest;

namespace {
const QString kTree = QStringLiteral("hangyetype");

// Two backslashes, then the captions separated by single backslashes.
QString P(const QStringList &captions) { return QStringLiteral("\\\\") + captions.join(QLatin1Char('\\')); }

void clearTree(TestDb &t) { QVERIFY(t.exec("delete from t_treecode where F_flag = :f", {{"f", kTree}})); }

void addCustomer(TestDb &t, const QString &name, const QString &hangye)
{
    t.insert("t_client", {{"F_name", name}, {"F_hangye", hangye}});
}

QString pathOf(TestDb &t, const QString &code)
{
    return t.scalar("select F_likecode from t_treecode where F_flag = :f and F_code = :c", {{"f", kTree}, {"c", code}}).toString();
}

QString nameOf(TestDb &t, const QString &code)
{
    return t.scalar("select F_name from t_treecode where F_flag = :f and F_code = :c", {{"f", kTree}, {"c", code}}).toString();
}

QString hangyeOf(TestDb &t, const QString &customer)
{
    return t.scalar("select F_hangye from t_client where F_name = :n", {{"n", customer}}).toString();
}

// Customers the main window's tree finds under a category: F_hangye like path%.
int customersUnder(TestDb &t, const QString &path)
{
    return t.scalar(QStringLiteral("select count(*) from t_client where COALESCE(F_hangye,'') like :p") + SqlDialect::likeEscapeClause(),
                    {{"p", SqlDialect::escapeLike(path) + "%"}})
        .toInt();
}

int nodesUnder(TestDb &t, const QString &path)
{
    return t.scalar(QStringLiteral("select count(*) from t_treecode where F_flag = :f and F_likecode like :p") + SqlDialect::likeEscapeClause(),
                    {{"f", kTree}, {"p", SqlDialect::escapeLike(path) + "%"}})
        .toInt();
}
} // namespace

class TestCategoryTree : public QObject
{
    Q_OBJECT

private slots:
    void pathsJoin()
    {
        QCOMPARE(CategoryTree::joinPath(CategoryTree::rootPath(), "制造业"), P({"制造业"}));
        QCOMPARE(CategoryTree::joinPath(P({"制造业"}), "电子"), P({"制造业", "电子"}));
        QCOMPARE(CategoryTree::normalizePath("\\\\\\\\a"), QString("\\\\a"));
    }

    void codesAndPathsAtThreeLevels_data() { addBackendRows(); }
    void codesAndPathsAtThreeLevels()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        clearTree(t);
        CategoryTree tree(kTree);
        // the first node of an empty tree
        QCOMPARE(tree.nextCode(QString(), 2), QString("001"));
        QCOMPARE(tree.nextCode("000", 2), QString("001"));
        TreeResult r = tree.addChild(QString(), "制造业");
        QCOMPARE(int(r.status), int(TreeResult::Done));
        QCOMPARE(r.node.code, QString("001"));
        QCOMPARE(r.node.path, P({"制造业"}));
        for (const QString c : {"信息技术", "批发零售", "建筑房产"})
            QCOMPARE(int(tree.addSibling("001", c).status), int(TreeResult::Done));
        // a sibling after 001..004 is 005; its path is the root's
        r = tree.addSibling("002", "金融保险");
        QCOMPARE(r.node.code, QString("005"));
        QCOMPARE(r.node.path, P({"金融保险"}));
        // the first child of the leaf 005
        QCOMPARE(NextTreeCode("005", kTree, 2), QString("005001"));
        r = tree.addChild("005", "银行");
        QCOMPARE(r.node.code, QString("005001"));
        QCOMPARE(r.node.path, P({"金融保险", "银行"}));
        for (const QString c : {"保险", "证券", "基金"})
            QCOMPARE(int(tree.addSibling("005001", c).status), int(TreeResult::Done));
        // a sibling of a child when 001..004 exist
        QCOMPARE(NextTreeCode("005001", kTree, 1), QString("005005"));
        r = tree.addSibling("005003", "信托");
        QCOMPARE(r.node.code, QString("005005"));
        QCOMPARE(r.node.path, P({"金融保险", "信托"}));
        // third level
        r = tree.addChild("005001", "国有银行");
        QCOMPARE(r.node.code, QString("005001001"));
        QCOMPARE(r.node.path, P({"金融保险", "银行", "国有银行"}));
        r = tree.addSibling("005001001", "商业银行");
        QCOMPARE(r.node.code, QString("005001002"));
        QCOMPARE(r.node.path, P({"金融保险", "银行", "商业银行"}));
        QCOMPARE(pathOf(t, "005001002"), P({"金融保险", "银行", "商业银行"}));
        // a gap is not filled while higher codes are free
        QVERIFY(t.exec("delete from t_treecode where F_code = '003'"));
        QCOMPARE(tree.nextCode("001", 1), QString("006"));
        // another tree is another numbering
        t.insert("t_treecode", {{"F_code", "001"}, {"F_name", "x"}, {"F_likecode", P({"x"})}, {"F_flag", "other"}});
        QCOMPARE(CategoryTree("other").nextCode(QString(), 2), QString("002"));
        QCOMPARE(tree.addChild(QString(), "other").node.code, QString("006"));
        QVERIFY(!s.hasMessages());
    }

    void fullLevelIsRefused_data() { addBackendRows(); }
    void fullLevelIsRefused()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        clearTree(t);
        CategoryTree tree(kTree);
        QVERIFY(tree.addChild(QString(), "大类").ok());
        {
            Transaction tr(t.db());
            for (int i = 1; i <= 999; ++i) {
                const QString tail = QString::number(i).rightJustified(3, '0');
                t.insert("t_treecode", {{"F_code", "001" + tail}, {"F_name", "n" + tail}, {"F_likecode", P({"大类", "n" + tail})}, {"F_flag", kTree}});
            }
            QVERIFY(tr.commit());
        }
        QString error;
        QCOMPARE(tree.nextCode("001", 2, &error), QString());
        QCOMPARE(error, QStringLiteral("该级类别的编号 001～999 已全部用完，不能再增加类别！"));
        QCOMPARE(NextTreeCode("001500", kTree, 1, &error), QString());
        TreeResult r = tree.addChild("001", "再一个");
        QCOMPARE(int(r.status), int(TreeResult::Refused));
        QCOMPARE(r.message, error);
        QCOMPARE(t.count("t_treecode", "F_code like '001%'"), 1000);
        // nothing wrapped round to 000
        QCOMPARE(t.count("t_treecode", "F_code = '001000'"), 0);
        // a number freed by a delete is given out again once 999 is taken
        QVERIFY(tree.remove("001500").ok());
        QCOMPARE(tree.nextCode("001", 2), QString("001500"));
        QCOMPARE(tree.addChild("001", "补上").node.code, QString("001500"));
    }

    void captionsAreChecked_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("message");
        backendRows([](auto row) {
            row("blank") << "" << "   " << QStringLiteral("类别名称不能为空！");
            row("backslash") << "001" << "电子\\芯片" << QStringLiteral("类别名称不能包含反斜杠“\\”，它用来分隔类别的各级名称！");
            row("sibling") << "001" << "机械设备" << QStringLiteral("同一类别下已有名为“机械设备”的类别，请换一个名称！");
            row("sibling with blanks") << "" << " 制造业 " << QStringLiteral("同一类别下已有名为“制造业”的类别，请换一个名称！");
            row("sibling latin case") << "" << "abc" << QStringLiteral("同一类别下已有名为“abc”的类别，请换一个名称！");
            row("too long") << "" << QString(101, QChar(0x6728)) << QStringLiteral("类别名称不能超过 100 个字符！");
            row("same name elsewhere") << "002" << "机械设备" << QString();
            row("quotes") << "" << "O'Neil \"重工\"" << QString();
        });
    }

    void captionsAreChecked()
    {
        QFETCH(QString, parent);
        QFETCH(QString, caption);
        QFETCH(QString, message);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        CategoryTree tree(kTree);
        QVERIFY(tree.addChild(QString(), "ABC").ok());
        QCOMPARE(tree.checkCaption(parent, caption), message);
        const int before = t.count("t_treecode");
        const TreeResult r = tree.addChild(parent, caption);
        if (message.isEmpty()) {
            QCOMPARE(int(r.status), int(TreeResult::Done));
            QCOMPARE(nameOf(t, r.node.code), caption.trimmed());
        } else {
            QCOMPARE(int(r.status), int(TreeResult::Refused));
            QCOMPARE(r.message, message);
            QCOMPARE(t.count("t_treecode"), before);
        }
    }

    void quotesAndWildcardsAreLiteral_data() { addBackendRows(); }
    void quotesAndWildcardsAreLiteral()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        clearTree(t);
        CategoryTree tree(kTree);
        const QString odd = QStringLiteral("O'Brien \"50%_股份\"");
        TreeResult r = tree.addChild(QString(), odd);
        QVERIFY(r.ok());
        QCOMPARE(pathOf(t, "001"), P({odd}));
        QVERIFY(tree.addChild("001", "子'类").ok());
        QCOMPARE(pathOf(t, "001001"), P({odd, "子'类"}));
        // a name that the wildcards of the odd one would match
        QVERIFY(tree.addChild(QString(), QStringLiteral("O'Brien \"50XY股份\"")).ok());
        addCustomer(t, "甲", P({odd}));
        addCustomer(t, "乙", P({odd, "子'类"}));
        addCustomer(t, "丙", P({QStringLiteral("O'Brien \"50XY股份\"")}));
        const CategoryTree::RenamePlan plan = tree.planRename("001", "新'名\"");
        QCOMPARE(plan.customers, 2);
        r = tree.rename("001", "新'名\"");
        QCOMPARE(int(r.status), int(TreeResult::Done));
        QCOMPARE(hangyeOf(t, "甲"), P({"新'名\""}));
        QCOMPARE(hangyeOf(t, "乙"), P({"新'名\"", "子'类"}));
        QCOMPARE(hangyeOf(t, "丙"), P({QStringLiteral("O'Brien \"50XY股份\"")}));
        QCOMPARE(pathOf(t, "001001"), P({"新'名\"", "子'类"}));
        // the delete counts and removes only its own sub-tree
        const CategoryTree::DeletePlan del = tree.planDelete("002");
        QCOMPARE(del.customers, 1);
        QCOMPARE(del.descendants, 0);
        QVERIFY(tree.remove("002").ok());
        QCOMPARE(t.count("t_treecode", "F_flag = 'hangyetype'"), 2);
    }

    // Renaming at each level rewrites the sub-tree and moves its customers,
    // so that "like path%" still finds every one of them.
    void renameKeepsSubtreeFindable_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("oldPath");
        QTest::addColumn<QString>("newPath");
        QTest::addColumn<int>("nodes");     // nodes in the sub-tree
        QTest::addColumn<int>("customers"); // customers in the sub-tree
        backendRows([](auto row) {
            row("level 1") << "001" << "工业" << P({"制造业"}) << P({"工业"}) << 7 << 7;
            row("level 2") << "001001" << "电子电器" << P({"制造业", "电子设备"}) << P({"制造业", "电子电器"}) << 3 << 4;
            row("level 3") << "001001001" << "集成电路" << P({"制造业", "电子设备", "芯片"}) << P({"制造业", "电子设备", "集成电路"}) << 2 << 2;
            row("case only") << "001001001" << "芯片IC" << P({"制造业", "电子设备", "芯片"}) << P({"制造业", "电子设备", "芯片IC"}) << 2 << 2;
        });
    }

    void renameKeepsSubtreeFindable()
    {
        QFETCH(QString, code);
        QFETCH(QString, caption);
        QFETCH(QString, oldPath);
        QFETCH(QString, newPath);
        QFETCH(int, nodes);
        QFETCH(int, customers);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        CategoryTree tree(kTree);
        QVERIFY(tree.addChild("001001", "芯片").ok());          // 001001001
        QVERIFY(tree.addChild("001001001", "存储").ok());      // 001001001001
        addCustomer(t, "c1", P({"制造业"}));
        addCustomer(t, "c2", P({"制造业"}));
        addCustomer(t, "c3", P({"制造业", "电子设备"}));
        addCustomer(t, "c4", P({"制造业", "电子设备"}));
        addCustomer(t, "c5", P({"制造业", "电子设备", "芯片"}));
        addCustomer(t, "c6", P({"制造业", "电子设备", "芯片", "存储"}));
        addCustomer(t, "c7", P({"制造业", "机械设备"}));
        addCustomer(t, "other1", P({"制造业外包"}));           // shares the text, not the category
        addCustomer(t, "other2", P({"信息技术"}));
        addCustomer(t, "other3", QString());
        if (QString::fromLatin1(QTest::currentDataTag()).endsWith("case only")) {
            // "芯片IC" first, then only its letter case changes
            QVERIFY(tree.rename(code, caption).ok());
            oldPath = newPath;
            caption = "芯片ic";
            newPath = P({"制造业", "电子设备", "芯片ic"});
        }
        const QString oldNode = nameOf(t, code);
        const int othersBefore = customersUnder(t, P({"信息技术"})) + customersUnder(t, P({"制造业外包"}));
        QCOMPARE(nodesUnder(t, oldPath), nodes);
        QCOMPARE(customersUnder(t, oldPath), customers + (oldPath == P({"制造业"}) ? 1 : 0)); // "制造业外包" is like "制造业%"

        const CategoryTree::RenamePlan plan = tree.planRename(code, caption);
        QCOMPARE(int(plan.check.status), int(TreeResult::Done));
        QCOMPARE(plan.customers, customers);
        const TreeResult r = tree.rename(code, caption);
        QCOMPARE(int(r.status), int(TreeResult::Done));
        QCOMPARE(r.node.path, newPath);
        QCOMPARE(r.changed.size(), nodes);
        QCOMPARE(nameOf(t, code), caption);
        QCOMPARE(pathOf(t, code), newPath);
        QCOMPARE(nodesUnder(t, newPath), nodes);
        QCOMPARE(customersUnder(t, newPath), customers);
        if (oldPath.compare(newPath, Qt::CaseInsensitive) != 0) {
            QCOMPARE(nodesUnder(t, oldPath + "\\"), 0);
            QCOMPARE(t.count("t_client", "F_hangye = :p", {{"p", oldPath}}), 0);
        }
        // every stored path is its parent's path and its own caption
        QSqlQuery q(t.db());
        QVERIFY(q.exec("select F_code,F_name,F_likecode from t_treecode where F_flag = 'hangyetype' order by F_code"));
        QHash<QString, QString> paths;
        while (q.next()) {
            const QString c = q.value(0).toString();
            const QString parent = c.left(c.size() - 3);
            const QString expect = CategoryTree::joinPath(parent.isEmpty() ? CategoryTree::rootPath() : paths.value(parent), q.value(1).toString());
            QCOMPARE(q.value(2).toString(), expect);
            paths.insert(c, expect);
        }
        // customers elsewhere stay as they were
        QCOMPARE(customersUnder(t, P({"信息技术"})) + customersUnder(t, P({"制造业外包"})), othersBefore);
        QCOMPARE(hangyeOf(t, "other1"), P({"制造业外包"}));
        QCOMPARE(hangyeOf(t, "other3"), QString());
        Q_UNUSED(oldNode);
    }

    void renameWithoutChangeDoesNothing_data() { addBackendRows(); }
    void renameWithoutChangeDoesNothing()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        CategoryTree tree(kTree);
        QCOMPARE(int(tree.planRename("001", "制造业").check.status), int(TreeResult::NoChange));
        QCOMPARE(int(tree.rename("001", " 制造业 ").status), int(TreeResult::NoChange));
        const TreeResult r = tree.rename("001", "信息技术");
        QCOMPARE(int(r.status), int(TreeResult::Refused));
        QCOMPARE(r.message, QStringLiteral("同一类别下已有名为“信息技术”的类别，请换一个名称！"));
        QCOMPARE(int(tree.rename("001", "a\\b").status), int(TreeResult::Refused));
        QCOMPARE(int(tree.rename("000", "x").status), int(TreeResult::Refused));
        QCOMPARE(int(tree.rename("099", "x").status), int(TreeResult::Refused));
        QCOMPARE(nameOf(t, "001"), QString("制造业"));
    }

    // Sub-categories left with old paths by an earlier rename get paths built
    // from the captions again, and so do their customers.
    void renameMendsStalePaths_data() { addBackendRows(); }
    void renameMendsStalePaths()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        QVERIFY(t.exec("update t_treecode set F_name = '制造', F_likecode = :p where F_code = '001'", {{"p", P({"制造"})}}));
        addCustomer(t, "a", P({"制造业", "电子设备"}));
        addCustomer(t, "b", P({"制造"}));
        CategoryTree tree(kTree);
        const CategoryTree::RenamePlan plan = tree.planRename("001", "工业");
        QCOMPARE(plan.customers, 2);
        QVERIFY(tree.rename("001", "工业").ok());
        QCOMPARE(pathOf(t, "001002"), P({"工业", "机械设备"}));
        QCOMPARE(hangyeOf(t, "a"), P({"工业", "电子设备"}));
        QCOMPARE(hangyeOf(t, "b"), P({"工业"}));
    }

    void renameRollsBackWhenAStatementFails_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        backendRows([](auto row) {
            row("a sub-category") << "t_treecode" << "new.F_code = '001002'";
            row("a customer") << "t_client" << "";
        });
    }

    void renameRollsBackWhenAStatementFails()
    {
        QFETCH(QString, table);
        QFETCH(QString, when);
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addCustomer(t, "a", P({"制造业", "电子设备"}));
        addCustomer(t, "b", P({"制造业"}));
        failOn(t, table, "update", when);
        CategoryTree tree(kTree);
        const TreeResult r = tree.rename("001", "工业");
        QCOMPARE(int(r.status), int(TreeResult::Failed));
        QVERIFY2(r.message.contains("boom"), qPrintable(r.message));
        QCOMPARE(nameOf(t, "001"), QString("制造业"));
        QCOMPARE(nodesUnder(t, P({"制造业"})), 5);
        QCOMPARE(nodesUnder(t, P({"工业"})), 0);
        QCOMPARE(hangyeOf(t, "a"), P({"制造业", "电子设备"}));
        QCOMPARE(hangyeOf(t, "b"), P({"制造业"}));
        // the connection is usable afterwards
        stopFailing(t, table);
        QVERIFY(tree.rename("001", "工业").ok());
        QCOMPARE(hangyeOf(t, "a"), P({"工业", "电子设备"}));
    }

    void pathsStayWithinTheColumn_data() { addBackendRows(); }
    void pathsStayWithinTheColumn()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        clearTree(t);
        CategoryTree tree(kTree);
        const QString a(100, QChar(0x4E00)), b(100, QChar(0x4E01)), c(60, QChar(0x4E02));
        QVERIFY(tree.addChild(QString(), a).ok());
        QVERIFY(tree.addChild("001", b).ok());
        TreeResult r = tree.addChild("001001", c);
        QCOMPARE(int(r.status), int(TreeResult::Refused));
        QCOMPARE(r.message, QStringLiteral("类别路径超过 255 个字符，请使用较短的名称！"));
        QVERIFY(tree.addChild("001001", QString(40, QChar(0x4E02))).ok()); // 2+100+1+100+1+40 = 244
        // a longer top-level name would push the deepest path past the column
        r = tree.rename("001", QString(100, QChar(0x4E03)));
        QVERIFY(r.ok());
        r = tree.rename("001001", QString(100, QChar(0x4E04)));
        QVERIFY(r.ok());
        r = tree.rename("001001001", QString(52, QChar(0x4E05)));
        QCOMPARE(int(r.status), int(TreeResult::Refused));
        QVERIFY(r.message.contains("255"));
    }

    void deleteTakesTheSubtreeAndKeepsCustomers_data() { addBackendRows(); }
    void deleteTakesTheSubtreeAndKeepsCustomers()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        CategoryTree tree(kTree);
        addCustomer(t, "a", P({"制造业", "电子设备"}));
        addCustomer(t, "b", P({"制造业"}));
        addCustomer(t, "c", P({"信息技术"}));
        CategoryTree::DeletePlan plan = tree.planDelete("001");
        QCOMPARE(plan.descendants, 4);
        QCOMPARE(plan.customers, 2);
        plan = tree.planDelete("001001");
        QCOMPARE(plan.descendants, 0);
        QCOMPARE(plan.customers, 1);
        const int others = t.count("t_treecode", "F_code not like '001%'");
        const TreeResult r = tree.remove("001");
        QCOMPARE(int(r.status), int(TreeResult::Done));
        QCOMPARE(r.nodes, 5);
        QCOMPARE(t.count("t_treecode", "F_code like '001%'"), 0);
        QCOMPARE(t.count("t_treecode"), others);
        QCOMPARE(hangyeOf(t, "a"), P({"制造业", "电子设备"}));
        QCOMPARE(int(tree.planDelete("000").check.status), int(TreeResult::Refused));
        QCOMPARE(tree.remove("000").message, QStringLiteral("不能删除根节点！"));
        QCOMPARE(t.count("t_treecode"), others);
    }
};

QTEST_MAIN(TestCategoryTree)
#include "tst_categorytree.moc"
