#include "app/AppState.h"
#include "app/SalespersonScope.h"
#include "platform/Messages.h"
#include "security/OperatorAdmin.h"
#include "security/PasswordChange.h"
#include "security/TDLGselectEmpSTR.h"
#include "security/TFrmLimitGl.h"
#include "security/TFrmOperGl.h"
#include "security/TfrmModPass.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

using namespace TestSupport;
using namespace OperatorAdmin;

namespace {
void addRole(const TestDb &t, const QString &code, const QString &name, const QStringList &limits = {}, bool disabled = false)
{
    t.insert("PartList", {{"F_Code", code}, {"F_Name", name}, {"F_Mem", ""}, {"F_Flag", disabled ? 1 : 0}, {"F_EmpFlag", 0}, {"F_EmpName", ""}});
    for (const QString &l : limits)
        t.insert("PartLimit", {{"F_PartCode", code}, {"F_LmtCode", l}});
}

void addOperator(const TestDb &t, const QString &code, const QString &name, const QString &role, bool disabled = false,
                 const QString &password = {})
{
    t.insert("OperList", {{"F_Code", code}, {"F_Name", name}, {"F_PassWord", SavePass(password)}, {"F_PartCode", role},
                          {"F_Mem", ""}, {"F_Flag", disabled ? 1 : 0}});
}

QStringList limitsOf(const TestDb &t, const QString &role)
{
    QStringList out;
    QSqlQuery q(t.db());
    Sql::exec(q, "select F_LmtCode from PartLimit where F_PartCode = :r order by F_LmtCode", {{"r", role}});
    while (q.next())
        out.append(q.value(0).toString());
    return out;
}

void loginAs(const QString &code, const QString &name)
{
    AppState st;
    st.OperCode = code;
    st.OperName = name;
    replaceAppState(st);
}

OperatorRecord oper(const QString &code, const QString &name, const QString &role)
{
    OperatorRecord r;
    r.code = code;
    r.name = name;
    r.roleName = role;
    return r;
}
} // namespace

class TestOperAdmin : public QObject
{
    Q_OBJECT

private slots:
    void init() { loginAs("000", QStringLiteral("系统管理员")); }

    // ---------------------------------------------------------------- operators

    void operatorChecks_data() { addBackendRows(); }
    void operatorChecks()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addRole(t, "01", QStringLiteral("业务员"));
        const struct
        {
            const char *code, *name, *role, *message, *field;
        } cases[] = {
            {"007", "  ", "业务员", "操作员姓名不能为空，请选择！", "cbbName"},
            {"007", "张三", "", "角色不能为空，请选择！", "cbbPart"},
            {" ", "张三", "业务员", "操作员编号不能为空！", "edtCode"},
            {" 000 ", "张三", "业务员", "操作员编号重复!", "edtCode"},
            {"007", "系统管理员", "业务员", "操作员姓名重复，请修改!", "cbbName"},
        };
        for (const auto &c : cases) {
            const SaveResult r = saveOperator(oper(QString::fromUtf8(c.code), QString::fromUtf8(c.name), QString::fromUtf8(c.role)), QString());
            QVERIFY(!r.ok);
            QCOMPARE(r.message, QString::fromUtf8(c.message));
            QCOMPARE(r.kind, 0);
            QCOMPARE(r.field, QString::fromUtf8(c.field));
        }
        QCOMPARE(t.count("OperList"), 1);
    }

    void operatorSaveAndEdit_data() { addBackendRows(); }
    void operatorSaveAndEdit()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addRole(t, "01", QStringLiteral("业务员"));
        addOperator(t, "008", QStringLiteral("李四"), "01");
        OperatorRecord rec = oper(" 007 ", QStringLiteral(" 张三 "), QStringLiteral("业务员"));
        rec.password = QStringLiteral(" 密'码 ");
        rec.mem = "  note  ";
        rec.disabled = true;
        SaveResult r = saveOperator(rec, QString());
        QVERIFY(r.ok);
        QCOMPARE(r.savedCode, QString("007"));
        QSqlQuery q(t.db());
        QVERIFY(Sql::exec(q, "select F_Code,F_Name,F_PassWord,F_PartCode,F_Mem,F_Flag from OperList where F_Code = '007'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), QStringLiteral("张三"));
        QCOMPARE(GetPass(q.value(2).toString()), QStringLiteral(" 密'码 ")); // stored as typed
        QCOMPARE(q.value(3).toString(), QString("01"));
        QCOMPARE(q.value(4).toString(), QString("note"));
        QCOMPARE(q.value(5).toInt(), 1);

        OperatorRecord loaded;
        QVERIFY(loadOperator("007", &loaded));
        QCOMPARE(loaded.password, QStringLiteral(" 密'码 "));
        QCOMPARE(loaded.roleName, QStringLiteral("业务员"));
        QVERIFY(loaded.disabled);

        // editing without changing the code keeps the row
        const qint64 id = t.scalar("select F_ID from OperList where F_Code = '007'").toLongLong();
        loaded.mem = "changed";
        loaded.disabled = false;
        QVERIFY(saveOperator(loaded, "007").ok);
        QCOMPARE(t.scalar("select F_ID from OperList where F_Mem = 'changed'").toLongLong(), id);
        QCOMPARE(t.count("OperList"), 3);
        // ... but another operator's name is refused
        loaded.name = QStringLiteral("李四");
        r = saveOperator(loaded, "007");
        QCOMPARE(r.message, QStringLiteral("操作员姓名重复，请修改!"));
        // the administrator's row is never edited
        r = saveOperator(oper("000", QStringLiteral("新名字"), QStringLiteral("业务员")), "000");
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("此用户为系统专用用户，不能被编辑！"));
        QCOMPARE(t.scalar("select F_Name from OperList where F_Code = '000'").toString(), QStringLiteral("系统管理员"));
    }

    void deletes_data() { addBackendRows(); }
    void deletes()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addRole(t, "01", QStringLiteral("业务员"), {"101", "102"});
        addOperator(t, "007", QStringLiteral("张三"), "01");
        QString message;
        QVERIFY(!deleteOperator("000", &message));
        QCOMPARE(message, QStringLiteral("此用户为系统专用用户，不能被删除！"));
        QVERIFY(!deleteOperator(" 000", &message));
        QCOMPARE(t.count("OperList", "F_Code = '000'"), 1);
        QVERIFY(deleteRole("01", &message));
        QCOMPARE(t.count("PartList"), 0);
        QCOMPARE(t.count("PartLimit"), 0);
        // operators of a deleted role keep its code
        QCOMPARE(t.scalar("select F_PartCode from OperList where F_Code = '007'").toString(), QString("01"));
        QVERIFY(deleteOperator("007", &message));
        QCOMPARE(t.count("OperList"), 1);
    }

    // ---------------------------------------------------------------- roles

    void catalogueTellsEqualCaptionsApart_data() { addBackendRows(); }
    void catalogueTellsEqualCaptionsApart()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const QList<LimitEntry> all = limitCatalogue();
        QCOMPARE(all.size(), 56);
        QHash<QString, QString> label;
        for (const LimitEntry &e : all)
            label.insert(e.code, e.label);
        QCOMPARE(label.value("101"), QStringLiteral("公司信息"));
        QCOMPARE(label.value("201"), QStringLiteral("新增（编辑）"));
        QCOMPARE(label.value("901"), QStringLiteral("新增（主编辑）"));
        QCOMPARE(label.value("301"), QStringLiteral("导出"));
        QSet<QString> labels;
        for (const LimitEntry &e : all)
            labels.insert(e.label);
        QCOMPARE(labels.size(), all.size());
    }

    void roleChecks_data() { addBackendRows(); }
    void roleChecks()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addRole(t, "01", QStringLiteral("业务员"));
        RoleRecord rec;
        rec.code = " ";
        rec.name = "x";
        QCOMPARE(saveRole(rec, {}, "op").message, QStringLiteral("角色编号不能为空！"));
        rec.code = "01";
        QCOMPARE(saveRole(rec, {}, "op").message, QStringLiteral("角色编号重复!"));
        rec.code = "02";
        rec.name = "  ";
        QCOMPARE(saveRole(rec, {}, "op").field, QString("edtPartName"));
        QCOMPARE(saveRole(rec, {}, "op").message, QStringLiteral("角色名称不能为空！"));
        rec.name = QStringLiteral("业务员");
        QCOMPARE(saveRole(rec, {}, "op").message, QStringLiteral("角色名称重复，请修改!"));
        QCOMPARE(t.count("PartList"), 1);
    }

    void roleScopeStorage_data() { addBackendRows(); }
    void roleScopeStorage()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        const struct
        {
            int flag;
            const char *names, *stored;
        } cases[] = {
            {0, "'张三'", ""},
            {1, "'张三'", "经理甲"},
            {2, " '张三','李四' ", "'张三','李四'"},
            {2, "张三，李四", "'张三','李四'"}, // typed by hand
            {2, "", ""},
            {2, "'O''Brien'", "'O''Brien'"},
        };
        int n = 0;
        for (const auto &c : cases) {
            RoleRecord rec;
            rec.code = QString::number(++n);
            rec.name = QStringLiteral("角色%1").arg(n);
            rec.empFlag = c.flag;
            rec.empNames = QString::fromUtf8(c.names);
            QVERIFY(saveRole(rec, {}, QStringLiteral("经理甲")).ok);
            QCOMPARE(t.scalar("select F_EmpFlag from PartList where F_Code = :c", {{"c", rec.code}}).toInt(), c.flag);
            QCOMPARE(t.scalar("select F_EmpName from PartList where F_Code = :c", {{"c", rec.code}}).toString(), QString::fromUtf8(c.stored));
        }
    }

    void rolePermissionsAreRewrittenAsAWholeByCode_data() { addBackendRows(); }
    void rolePermissionsAreRewrittenAsAWholeByCode()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        RoleRecord rec;
        rec.code = "01";
        rec.name = QStringLiteral("业务员");
        rec.limitCodes = {"201", "901", "102"};
        QVERIFY(saveRole(rec, {}, "op").ok);
        // 901 (新增 of the detail tabs) is granted as itself, not as 201
        QCOMPARE(limitsOf(t, "01"), QStringList({"102", "201", "901"}));
        RoleRecord loaded;
        QVERIFY(loadRole("01", &loaded));
        QCOMPARE(loaded.limitCodes, QStringList({"102", "201", "901"}));

        loaded.limitCodes = {"902", "301"};
        QVERIFY(saveRole(loaded, "01", "op").ok);
        QCOMPARE(limitsOf(t, "01"), QStringList({"301", "902"}));
        loaded.limitCodes.clear();
        QVERIFY(saveRole(loaded, "01", "op").ok);
        QCOMPARE(limitsOf(t, "01"), QStringList());
        QCOMPARE(t.count("PartList"), 1);
    }

    void failingRoleSaveLeavesEverythingAsItWas_data() { addBackendRows(); }
    void failingRoleSaveLeavesEverythingAsItWas()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        addRole(t, "01", QStringLiteral("业务员"), {"101", "102"});
        // a permission written twice (codes compare without regard to case)
        // breaks the save halfway
        QVERIFY(t.exec("CREATE UNIQUE INDEX ux_partlimit ON PartLimit(F_PartCode, F_LmtCode)"));
        RoleRecord rec;
        QVERIFY(loadRole("01", &rec));
        rec.name = QStringLiteral("改名");
        rec.limitCodes = {"201", "x1", "X1"};
        const SaveResult r = saveRole(rec, "01", "op");
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("保存失败，请检测数据库连接！"));
        QCOMPARE(r.kind, 3);
        QCOMPARE(t.scalar("select F_Name from PartList where F_Code = '01'").toString(), QStringLiteral("业务员"));
        QCOMPARE(limitsOf(t, "01"), QStringList({"101", "102"}));
    }

    // ---------------------------------------------------------------- selector

    void selectorTicksExactNames()
    {
        TestDb t;
        for (const QString &n : {QStringLiteral("张"), QStringLiteral("张三"), QStringLiteral("O'Brien"), QStringLiteral("李四")})
            t.insert("t_employee", {{"F_code", n}, {"F_name", n}});
        Script s;
        s.onModal([](QDialog *d) {
            auto *list = child<QListWidget>(d, "clbItemList");
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("业务员选择 "));
                QCOMPARE(list->count(), 4);
                QCOMPARE(list->item(0)->checkState(), Qt::Unchecked); // 张 is not 张三
                QCOMPARE(list->item(1)->checkState(), Qt::Checked);
                QCOMPARE(list->item(3)->checkState(), Qt::Checked);
            }();
            list->item(2)->setCheckState(Qt::Checked);
            list->item(3)->setCheckState(Qt::Unchecked);
            click(d, "btnOk");
            return d->result();
        });
        const QString result = SelectSalespersons(QStringLiteral("'张三'，'李四'"));
        QCOMPARE(result, QStringLiteral("'张三','O''Brien'"));
        QCOMPARE(SalespersonScope::parseNames(result), QStringList({QStringLiteral("张三"), QStringLiteral("O'Brien")}));

        s.onModal([](QDialog *d) {
            child<QListWidget>(d, "clbItemList")->item(0)->setCheckState(Qt::Checked);
            click(d, "btnCancel");
            return d->result();
        });
        QCOMPARE(SelectSalespersons("'x'"), QString("'x'"));

        s.onModal([](QDialog *d) {
            click(d, "btnOk");
            return d->result();
        });
        QCOMPARE(SelectSalespersons(""), QString());
    }

    void selectorWithoutEmployees()
    {
        TestDb t;
        t.exec("delete from t_employee");
        Script s;
        QCOMPARE(SelectSalespersons("'a'"), QString("'a'"));
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("没有项目选择！")});
    }

    // ---------------------------------------------------------------- windows

    void administrationWindowLists()
    {
        TestDb t;
        Script s;
        addRole(t, "01", QStringLiteral("业务员"));
        addRole(t, "02", QStringLiteral("停用角色"), {}, true);
        addOperator(t, "007", QStringLiteral("张三"), "01", true);
        TFrmOperGl w;
        QCOMPARE(w.windowTitle(), QStringLiteral("操作员管理"));
        auto *opers = child<QTreeWidget>(&w, "lvOperList");
        auto *parts = child<QTreeWidget>(&w, "lvPartList");
        QCOMPARE(opers->headerItem()->text(0), QStringLiteral("序"));
        QCOMPARE(opers->headerItem()->text(3), QStringLiteral("角色"));
        QCOMPARE(opers->headerItem()->text(4), QStringLiteral("用户描述"));
        QCOMPARE(parts->headerItem()->text(2), QStringLiteral("角色名称"));
        QCOMPARE(opers->topLevelItemCount(), 2);
        QTreeWidgetItem *zs = opers->topLevelItem(1);
        QCOMPARE(zs->text(0), QString("2"));
        QCOMPARE(zs->text(1), QString("007"));
        QCOMPARE(zs->text(3), QStringLiteral("业务员"));
        QVERIFY(zs->icon(0).pixmap(16).toImage() != opers->topLevelItem(0)->icon(0).pixmap(16).toImage());
        QCOMPARE(parts->topLevelItemCount(), 2);
        QCOMPARE(child<QPushButton>(&w, "btnPage1")->text(), QStringLiteral(" 用户列表 "));
        QCOMPARE(child<QPushButton>(&w, "btnPage2")->text(), QStringLiteral(" 角色列表 "));
        QVERIFY(!child<QPushButton>(&w, "btnDelete")->isHidden());
        click(&w, "btnPage2");
        QCOMPARE(w.currentPage(), 2);

        // someone else does not delete, neither by button nor by pop-up menu
        loginAs("007", QStringLiteral("张三"));
        TFrmOperGl other;
        QVERIFY(child<QPushButton>(&other, "btnDelete")->isHidden());
        QVERIFY(!child<QAction>(&other, "actDelete")->isVisible());
    }

    void administrationWindowCommands()
    {
        TestDb t;
        Script s;
        addRole(t, "01", QStringLiteral("业务员"));
        addOperator(t, "007", QStringLiteral("张三"), "01");
        TFrmOperGl w;
        auto *opers = child<QTreeWidget>(&w, "lvOperList");

        // the administrator is neither edited nor deleted
        opers->setCurrentItem(opers->topLevelItem(0));
        click(&w, "btnEdit");
        click(&w, "btnDelete");
        QCOMPARE(s.takeTexts(), QStringList({QStringLiteral("此用户为系统专用用户，不能被编辑！"),
                                             QStringLiteral("此用户为系统专用用户，不能被删除！")}));

        // double click edits
        opers->setCurrentItem(opers->topLevelItem(1));
        s.onModal([](QDialog *d) {
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("用户权限"));
                auto *code = child<QLineEdit>(d, "edtCode");
                QVERIFY(!code->isEnabled());
                QVERIFY(code->styleSheet().contains("background"));
                QCOMPARE(code->text(), QString("007"));
                QCOMPARE(child<QComboBox>(d, "cbbPart")->currentText(), QStringLiteral("业务员"));
                auto *tabs = child<QTabWidget>(d, "pcLimit");
                QVERIFY(tabs->isTabVisible(0));
                QVERIFY(!tabs->isTabVisible(1));
                QVERIFY(!tabs->isTabVisible(2));
                QCOMPARE(child<QCheckBox>(d, "CheckBox1")->text(), QStringLiteral("用户禁用"));
            }();
            child<QPlainTextEdit>(d, "Mem1")->setPlainText(QStringLiteral("销售一部"));
            click(d, "btnSave");
            return d->result();
        });
        emit opers->itemDoubleClicked(opers->topLevelItem(1), 0);
        QCOMPARE(t.scalar("select F_Mem from OperList where F_Code = '007'").toString(), QStringLiteral("销售一部"));
        QCOMPARE(opers->topLevelItem(1)->text(4), QStringLiteral("销售一部"));

        // delete asks; no keeps the row
        opers->setCurrentItem(opers->topLevelItem(1));
        s.answer(2);
        click(&w, "btnDelete");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前用户张三吗？")});
        QCOMPARE(t.count("OperList"), 2);
        s.answer(1);
        click(&w, "btnDelete");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前用户张三吗？")});
        QCOMPARE(t.count("OperList"), 1);
        QCOMPARE(opers->topLevelItemCount(), 1);

        // a role goes with its permissions
        click(&w, "btnPage2");
        auto *parts = child<QTreeWidget>(&w, "lvPartList");
        parts->setCurrentItem(parts->topLevelItem(0));
        s.answer(1);
        click(&w, "btnDelete");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("真的要删除当前角色业务员吗？")});
        QCOMPARE(t.count("PartList"), 0);
        QCOMPARE(parts->topLevelItemCount(), 0);
        click(&w, "btnEdit"); // nothing selected: nothing happens
    }

    void newOperatorThroughTheEditor()
    {
        TestDb t;
        Script s;
        addRole(t, "01", QStringLiteral("业务员"));
        addRole(t, "02", QStringLiteral("停用角色"), {}, true);
        t.insert("t_employee", {{"F_code", "001"}, {"F_name", QStringLiteral("张三")}});
        TFrmOperGl w;
        s.onModal([&s](QDialog *d) {
            auto *part = child<QComboBox>(d, "cbbPart");
            [&] {
                QCOMPARE(part->count(), 1); // disabled roles are not offered
                QCOMPARE(child<QComboBox>(d, "cbbName")->count(), 1);
                QVERIFY(child<QLineEdit>(d, "edtCode")->isEnabled());
            }();
            child<QLineEdit>(d, "edtCode")->setText("007");
            child<QComboBox>(d, "cbbName")->setCurrentIndex(0);
            click(d, "btnSave");
            [&] {
                QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("角色不能为空，请选择！")});
                QCOMPARE(QApplication::focusWidget(), part);
            }();
            part->setCurrentIndex(0);
            child<QLineEdit>(d, "edtPassWord")->setText("pw");
            click(d, "btnSave");
            // saved; the fields are empty for the next one
            [&] {
                QVERIFY(s.takeTexts().isEmpty());
                QVERIFY(child<QLineEdit>(d, "edtCode")->text().isEmpty());
                QVERIFY(d->isVisible());
            }();
            click(d, "btnExit");
            return d->result();
        });
        click(&w, "btnNew");
        QCOMPARE(GetPass(t.scalar("select F_PassWord from OperList where F_Code = '007'").toString()), QString("pw"));
        auto *opers = child<QTreeWidget>(&w, "lvOperList");
        QCOMPARE(opers->topLevelItemCount(), 2);
        QCOMPARE(opers->currentItem()->text(1), QString("007"));
    }

    void roleEditor()
    {
        TestDb t;
        Script s;
        addRole(t, "01", QStringLiteral("业务员"), {"201", "902"});
        t.insert("t_employee", {{"F_code", "001"}, {"F_name", QStringLiteral("张三")}});
        t.insert("t_employee", {{"F_code", "002"}, {"F_name", QStringLiteral("李四")}});
        s.onModal([&s](QDialog *d) {
            auto *list = child<QListWidget>(d, "clbPartLimit");
            auto *emp = child<QLineEdit>(d, "cbeEmpName");
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("角色权限"));
                QCOMPARE(child<QCheckBox>(d, "CheckBox1")->text(), QStringLiteral("角色禁用"));
                auto *tabs = child<QTabWidget>(d, "pcLimit");
                QVERIFY(!tabs->isTabVisible(0));
                QVERIFY(tabs->isTabVisible(1) && tabs->isTabVisible(2));
                QVERIFY(!child<QLineEdit>(d, "edtPartCode")->isEnabled());
                QCOMPARE(list->count(), 56);
                QStringList ticked;
                for (int i = 0; i < list->count(); ++i)
                    if (list->item(i)->checkState() == Qt::Checked)
                        ticked.append(list->item(i)->data(Qt::UserRole).toString());
                QCOMPARE(ticked, QStringList({"201", "902"}));
                QVERIFY(emp->isHidden());
            }();
            click(d, "btnAll");
            [&] { QCOMPARE(static_cast<QListWidget *>(list)->findItems("*", Qt::MatchWildcard).size(), 56); }();
            click(d, "btnNone");
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->data(Qt::UserRole).toString() == "903")
                    list->item(i)->setCheckState(Qt::Checked);
            child<QRadioButton>(d, "rbEmpFlag2")->setChecked(true);
            [&] { QVERIFY(!emp->isHidden()); }();
            // the button of the box opens the selector
            s.onModal([](QDialog *sel) {
                child<QListWidget>(sel, "clbItemList")->item(1)->setCheckState(Qt::Checked);
                click(sel, "btnOk");
                return sel->result();
            });
            child<QAction>(d, "actSelectEmp")->trigger();
            [&] { QCOMPARE(emp->text(), QStringLiteral("'李四'")); }();
            click(d, "btnSave");
            return d->result();
        });
        QCOMPARE(EditRole("01", true), QString("01"));
        QCOMPARE(limitsOf(t, "01"), QStringList{"903"});
        QCOMPARE(t.scalar("select F_EmpName from PartList").toString(), QStringLiteral("'李四'"));
        QCOMPARE(t.scalar("select F_EmpFlag from PartList").toInt(), 2);

        // a role that went away meanwhile
        QCOMPARE(EditRole("77", true), QString("77"));
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("请选择要修改的行！")});
    }

    void enterMovesThroughTheEditor()
    {
        TestDb t;
        Script s;
        TFrmLimitGl d;
        QVERIFY(d.openOperator({}, false));
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        child<QLineEdit>(&d, "edtCode")->setFocus();
        QStringList path;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            path.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(path, QStringList({"cbbName", "edtPassWord", "cbbPart", "Mem1"}));
        // a memo box keeps Enter for its lines
        QTest::keyClicks(QApplication::focusWidget(), "a");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Mem1"));
        QCOMPARE(child<QPlainTextEdit>(&d, "Mem1")->toPlainText(), QString("a\n"));

        QVERIFY(d.openRole({}, false));
        child<QRadioButton>(&d, "rbEmpFlag0")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(QApplication::focusWidget()->objectName() != "rbEmpFlag0");
    }

    // ---------------------------------------------------------------- password

    void changePassword_data() { addBackendRows(); }
    void changePassword()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb t(backend);
        Script s;
        using R = PasswordChange::Result;
        const struct
        {
            const char *stored, *oldPass, *newPass, *repeat;
            R result;
            const char *after;
        } cases[] = {
            {"abc", "abc", "xyz", "xyz", R::Changed, "xyz"},
            {" abc", "abc", "xyz", "xyz", R::OldWrong, " abc"}, // the old password is not trimmed
            {" abc", " abc", "xyz", "xyz", R::Changed, "xyz"},
            {"", "", "新 密码 ", " 新 密码", R::Changed, "新 密码 "}, // compared trimmed, stored as typed
            {"abc", "abc", "x", "y", R::NewMismatch, "abc"},
            {"a'b", "a'b", "c\"d'", "c\"d'", R::Changed, "c\"d'"},
        };
        addOperator(t, "007", QStringLiteral("张三"), "");
        for (const auto &c : cases) {
            QVERIFY(t.exec("update OperList set F_PassWord = :p where F_Code = '007'", {{"p", SavePass(QString::fromUtf8(c.stored))}}));
            QCOMPARE(PasswordChange::Change("007", QString::fromUtf8(c.oldPass), QString::fromUtf8(c.newPass), QString::fromUtf8(c.repeat)),
                     c.result);
            QCOMPARE(GetPass(t.scalar("select F_PassWord from OperList where F_Code = '007'").toString()), QString::fromUtf8(c.after));
        }
        QCOMPARE(PasswordChange::Change("nobody", "", "", ""), R::NoOperator);
    }

    void changePasswordWindow()
    {
        TestDb t;
        Script s;
        addOperator(t, "007", QStringLiteral("张三"), "", false, "old");
        loginAs("007", QStringLiteral("张三"));
        TfrmModPass w;
        QCOMPARE(w.windowTitle(), QStringLiteral("更改密码"));
        QCOMPARE(child<QLabel>(&w, "lblOper")->text(), QStringLiteral("当前操作员：张三"));
        QCOMPARE(child<QPushButton>(&w, "btnOk")->text(), QStringLiteral("确定(&O)"));
        QCOMPARE(child<QPushButton>(&w, "btnCancel")->text(), QStringLiteral("取消(&C)"));
        for (const char *n : {"edtOldPass", "edtNewPass", "edtAdjustPass"})
            QCOMPARE(child<QLineEdit>(&w, n)->echoMode(), QLineEdit::Password);
        w.show();
        child<QLineEdit>(&w, "edtOldPass")->setText("old");
        child<QLineEdit>(&w, "edtNewPass")->setText("a");
        child<QLineEdit>(&w, "edtAdjustPass")->setText("b");
        click(&w, "btnOk");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.first().text, QStringLiteral("新口令错误，不能更改！"));
        QCOMPARE(m.first().kind, 0);
        QVERIFY(child<QLineEdit>(&w, "edtNewPass")->text().isEmpty());
        QVERIFY(!w.isVisible()); // closed whatever the outcome

        TfrmModPass w2;
        w2.show();
        child<QLineEdit>(&w2, "edtOldPass")->setText("wrong");
        click(&w2, "btnOk");
        const auto m2 = s.takeMessages();
        QCOMPARE(m2.first().text, QStringLiteral("旧口令输入错误，不能更改！"));
        QCOMPARE(m2.first().kind, 2);
        QVERIFY(!w2.isVisible());

        TfrmModPass w3;
        w3.show();
        child<QLineEdit>(&w3, "edtOldPass")->setText("old");
        child<QLineEdit>(&w3, "edtNewPass")->setText("new");
        child<QLineEdit>(&w3, "edtAdjustPass")->setText("new");
        click(&w3, "btnOk");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("更改口令成功！")});
        QCOMPARE(GetPass(t.scalar("select F_PassWord from OperList where F_Code = '007'").toString()), QString("new"));
    }
};

QTEST_MAIN(TestOperAdmin)
#include "tst_operadmin.moc"
