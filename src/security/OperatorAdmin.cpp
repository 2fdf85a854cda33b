#include "OperatorAdmin.h"

#include "Permissions.h"
#include "app/SalespersonScope.h"
#include "app/TdmData.h"
#include "platform/Database.h"
#include "platform/Messages.h"

#include <QHash>
#include <QSqlQuery>

namespace OperatorAdmin {
namespace {
QSqlDatabase db() { return dmData->ADOcnn(); }

// The key of the row a statement finds, 0 for none; false when it failed.
bool findId(const QString &sql, const QString &value, qint64 *id)
{
    QSqlQuery q(db());
    if (!Sql::exec(q, sql, {{QStringLiteral("v"), value}}))
        return false;
    *id = q.next() ? q.value(0).toLongLong() : 0;
    return true;
}

SaveResult refuse(const QString &message, const QString &field, int kind = MessInfo)
{
    SaveResult r;
    r.message = message;
    r.field = field;
    r.kind = kind;
    return r;
}

SaveResult saveFailed() { return refuse(Msg::SaveFailed(), QString(), MessError); }

int flag(bool b) { return b ? 1 : 0; }
} // namespace

QString operatorListSql()
{
    return QStringLiteral("Select O.*,P.F_Name As P_Name from OperList O Left Join PartList P On O.F_PartCode = P.F_Code "
                          "order by O.F_ID");
}

QString roleListSql() { return QStringLiteral("Select * from PartList order by F_ID"); }

QList<OperatorRow> operators(bool *ok)
{
    QList<OperatorRow> out;
    QSqlQuery q(db());
    const bool good = Sql::exec(q, operatorListSql());
    if (ok)
        *ok = good;
    while (good && q.next()) {
        OperatorRow r;
        r.code = q.value(QStringLiteral("F_Code")).toString();
        r.name = q.value(QStringLiteral("F_Name")).toString();
        r.roleName = q.value(QStringLiteral("P_Name")).toString();
        r.mem = q.value(QStringLiteral("F_Mem")).toString();
        r.disabled = q.value(QStringLiteral("F_Flag")).toBool();
        out.append(r);
    }
    return out;
}

QList<RoleRow> roles(bool *ok)
{
    QList<RoleRow> out;
    QSqlQuery q(db());
    const bool good = Sql::exec(q, roleListSql());
    if (ok)
        *ok = good;
    while (good && q.next()) {
        RoleRow r;
        r.code = q.value(QStringLiteral("F_Code")).toString();
        r.name = q.value(QStringLiteral("F_Name")).toString();
        r.mem = q.value(QStringLiteral("F_Mem")).toString();
        r.disabled = q.value(QStringLiteral("F_Flag")).toBool();
        out.append(r);
    }
    return out;
}

QList<QPair<QString, QString>> activeRoles()
{
    QList<QPair<QString, QString>> out;
    QSqlQuery q(db());
    if (!Sql::exec(q, QStringLiteral("Select F_Code,F_Name From PartList Where COALESCE(F_Flag,0) = 0 order by F_ID")))
        return out;
    while (q.next())
        out.append({q.value(0).toString(), q.value(1).toString()});
    return out;
}

QStringList employeeNames()
{
    return dmData->QueryList(QStringLiteral("select distinct F_name from t_employee where (F_name <> '') order by F_name"));
}

bool loadOperator(const QString &code, OperatorRecord *out)
{
    QSqlQuery q(db());
    if (!Sql::exec(q,
                   QStringLiteral("Select O.*,P.F_Name As P_Name from OperList O Left Join PartList P On O.F_PartCode = P.F_Code "
                                  "Where O.F_Code = :code"),
                   {{QStringLiteral("code"), code}})
        || !q.next())
        return false;
    out->code = q.value(QStringLiteral("F_Code")).toString();
    out->name = q.value(QStringLiteral("F_Name")).toString();
    out->password = GetPass(q.value(QStringLiteral("F_PassWord")).toString());
    out->roleCode = q.value(QStringLiteral("F_PartCode")).toString();
    out->roleName = q.value(QStringLiteral("P_Name")).toString();
    out->mem = q.value(QStringLiteral("F_Mem")).toString();
    out->disabled = q.value(QStringLiteral("F_Flag")).toBool();
    return true;
}

bool loadRole(const QString &code, RoleRecord *out)
{
    QSqlQuery q(db());
    if (!Sql::exec(q, QStringLiteral("Select * from PartList Where F_Code = :code"), {{QStringLiteral("code"), code}}) || !q.next())
        return false;
    out->code = q.value(QStringLiteral("F_Code")).toString();
    out->name = q.value(QStringLiteral("F_Name")).toString();
    out->mem = q.value(QStringLiteral("F_Mem")).toString();
    out->disabled = q.value(QStringLiteral("F_Flag")).toBool();
    out->empFlag = q.value(QStringLiteral("F_EmpFlag")).toInt();
    out->empNames = q.value(QStringLiteral("F_EmpName")).toString();
    out->limitCodes = roleLimitCodes(out->code);
    return true;
}

QList<LimitEntry> limitCatalogue()
{
    QList<LimitEntry> out;
    QSqlQuery q(db());
    if (!Sql::exec(q, QStringLiteral("Select F_Code,F_Name from Limits where COALESCE(F_Flag,0) = 1 Order by F_Code")))
        return out;
    QHash<QString, int> uses;
    while (q.next()) {
        LimitEntry e;
        e.code = q.value(0).toString();
        e.name = q.value(1).toString();
        ++uses[e.name];
        out.append(e);
    }
    // the same caption for two codes (新增 of the customer list and of the
    // detail tabs) is told apart by its menu category
    for (LimitEntry &e : out) {
        e.label = e.name;
        if (uses.value(e.name) > 1) {
            const QString cat = Permissions::categoryOf(e.code);
            e.label += QStringLiteral("（%1）").arg(cat.isEmpty() ? e.code : cat);
        }
    }
    return out;
}

QStringList roleLimitCodes(const QString &roleCode)
{
    return dmData->QueryList(QStringLiteral("Select F_LmtCode from PartLimit Where (F_PartCode = :code) order by F_LmtCode"),
                             {{QStringLiteral("code"), roleCode}});
}

bool isSystemOperator(const QString &code) { return code.trimmed() == QLatin1String("000"); }
QString cannotEditSystemOperator() { return QStringLiteral("此用户为系统专用用户，不能被编辑！"); }
QString cannotDeleteSystemOperator() { return QStringLiteral("此用户为系统专用用户，不能被删除！"); }

SaveResult saveOperator(const OperatorRecord &rec, const QString &editedCode)
{
    const bool editing = !editedCode.isEmpty();
    const QString code = editing ? editedCode.trimmed() : rec.code.trimmed();
    const QString name = rec.name.trimmed();
    if (name.isEmpty())
        return refuse(QStringLiteral("操作员姓名不能为空，请选择！"), QStringLiteral("cbbName"));
    if (rec.roleCode.trimmed().isEmpty() && rec.roleName.trimmed().isEmpty())
        return refuse(QStringLiteral("角色不能为空，请选择！"), QStringLiteral("cbbPart"));
    if (editing && isSystemOperator(code))
        return refuse(cannotEditSystemOperator(), QStringLiteral("edtCode"), MessWarning);

    qint64 editedId = 0;
    if (editing) {
        if (!findId(QStringLiteral("Select F_ID from OperList Where F_Code = :v"), code, &editedId))
            return saveFailed();
        if (editedId == 0)
            return refuse(QStringLiteral("此操作员已被删除，不能保存！"), QStringLiteral("edtCode"), MessWarning);
    }
    if (code.isEmpty())
        return refuse(QStringLiteral("操作员编号不能为空！"), QStringLiteral("edtCode"));
    qint64 other = 0;
    if (!findId(QStringLiteral("Select F_ID from OperList Where F_Code = :v"), code, &other))
        return saveFailed();
    if (other != 0 && other != editedId)
        return refuse(QStringLiteral("操作员编号重复!"), QStringLiteral("edtCode"));
    if (!findId(QStringLiteral("Select F_ID from OperList Where F_name = :v"), name, &other))
        return saveFailed();
    if (other != 0 && other != editedId)
        return refuse(QStringLiteral("操作员姓名重复，请修改!"), QStringLiteral("cbbName"));

    QString roleCode = rec.roleCode.trimmed();
    if (roleCode.isEmpty()) {
        QSqlQuery q(db());
        if (!Sql::exec(q, QStringLiteral("select F_Code from PartList Where F_Name = :name"), {{QStringLiteral("name"), rec.roleName}}))
            return saveFailed();
        roleCode = q.next() ? q.value(0).toString() : QString();
    }

    QVariantMap p{{QStringLiteral("Name"), name},
                  {QStringLiteral("PassWord"), SavePass(rec.password)},
                  {QStringLiteral("PartCode"), roleCode},
                  {QStringLiteral("Mem"), rec.mem.trimmed()},
                  {QStringLiteral("Flag"), flag(rec.disabled)}};
    Transaction tx(db());
    bool ok = tx.isActive();
    if (editing) {
        p.insert(QStringLiteral("ID"), editedId);
        ok = ok
             && Sql::execOn(db(),
                            QStringLiteral("Update OperList Set F_Name = :Name,F_PassWord = :PassWord, F_PartCode = :PartCode,"
                                           "F_Mem = :Mem,F_Flag = :Flag Where F_ID = :ID"),
                            p);
    } else {
        p.insert(QStringLiteral("Code"), code);
        ok = ok
             && Sql::execOn(db(),
                            QStringLiteral("Insert Into OperList(F_Code,F_Name,F_PassWord,F_PartCode,F_Mem,F_Flag) "
                                           "Values(:Code,:Name,:PassWord,:PartCode,:Mem,:Flag)"),
                            p);
    }
    if (!ok || !tx.commit())
        return saveFailed();
    SaveResult r;
    r.ok = true;
    r.savedCode = code;
    return r;
}

SaveResult saveRole(const RoleRecord &rec, const QString &editedCode, const QString &operName)
{
    const bool editing = !editedCode.isEmpty();
    const QString code = editing ? editedCode.trimmed() : rec.code.trimmed();
    const QString name = rec.name.trimmed();
    qint64 editedId = 0;
    if (editing) {
        if (!findId(QStringLiteral("Select F_ID from PartList Where F_Code = :v"), code, &editedId))
            return saveFailed();
        if (editedId == 0)
            return refuse(QStringLiteral("此角色已被删除，不能保存！"), QStringLiteral("edtPartCode"), MessWarning);
    }
    if (code.isEmpty())
        return refuse(QStringLiteral("角色编号不能为空！"), QStringLiteral("edtPartCode"));
    qint64 other = 0;
    if (!findId(QStringLiteral("Select F_ID from PartList Where F_Code = :v"), code, &other))
        return saveFailed();
    if (other != 0 && other != editedId)
        return refuse(QStringLiteral("角色编号重复!"), QStringLiteral("edtPartCode"));
    if (name.isEmpty())
        return refuse(QStringLiteral("角色名称不能为空！"), QStringLiteral("edtPartName"));
    if (!findId(QStringLiteral("Select F_ID from PartList Where F_name = :v"), name, &other))
        return saveFailed();
    if (other != 0 && other != editedId)
        return refuse(QStringLiteral("角色名称重复，请修改!"), QStringLiteral("edtPartName"));

    const int empFlag = qBound(0, rec.empFlag, 2);
    QString empName;
    if (empFlag == 1)
        empName = operName;
    else if (empFlag == 2)
        empName = SalespersonScope::joinNames(SalespersonScope::parseNames(rec.empNames));

    QVariantMap p{{QStringLiteral("Name"), name},
                  {QStringLiteral("Mem"), rec.mem.trimmed()},
                  {QStringLiteral("Flag"), flag(rec.disabled)},
                  {QStringLiteral("empName"), empName},
                  {QStringLiteral("empFlag"), empFlag}};
    Transaction tx(db());
    bool ok = tx.isActive();
    if (editing) {
        p.insert(QStringLiteral("ID"), editedId);
        ok = ok
             && Sql::execOn(db(),
                            QStringLiteral("Update PartList Set F_Name = :Name,F_Mem = :Mem,F_Flag = :Flag, F_empName = :empName,"
                                           "F_empFlag = :empFlag Where F_ID = :ID"),
                            p);
    } else {
        p.insert(QStringLiteral("Code"), code);
        ok = ok
             && Sql::execOn(db(),
                            QStringLiteral("Insert Into PartList(F_Code,F_Name,F_Mem,F_Flag,F_empName, F_empFlag) "
                                           "Values(:Code,:Name,:Mem,:Flag,:empName,:empFlag)"),
                            p);
    }
    // the role's permissions are replaced as a whole
    ok = ok && Sql::execOn(db(), QStringLiteral("Delete From PartLimit Where F_PartCode = :code"), {{QStringLiteral("code"), code}});
    QStringList done;
    for (const QString &lmt : rec.limitCodes) {
        if (!ok)
            break;
        if (lmt.isEmpty() || done.contains(lmt))
            continue;
        done.append(lmt);
        ok = Sql::execOn(db(), QStringLiteral("Insert into PartLimit(F_PartCode,F_LmtCode)Values(:PartCode, :LmtCode)"),
                         {{QStringLiteral("PartCode"), code}, {QStringLiteral("LmtCode"), lmt}});
    }
    if (!ok || !tx.commit())
        return saveFailed();
    SaveResult r;
    r.ok = true;
    r.savedCode = code;
    return r;
}

bool deleteOperator(const QString &code, QString *message)
{
    if (isSystemOperator(code)) {
        *message = cannotDeleteSystemOperator();
        return false;
    }
    if (!Sql::execOn(db(), QStringLiteral("Delete from OperList Where F_Code = :code"), {{QStringLiteral("code"), code}})) {
        *message = Msg::OperationFailed();
        return false;
    }
    return true;
}

bool deleteRole(const QString &code, QString *message)
{
    Transaction tx(db());
    const QVariantMap p{{QStringLiteral("code"), code}};
    const bool ok = tx.isActive() && Sql::execOn(db(), QStringLiteral("Delete from PartList Where F_Code = :code"), p)
                    && Sql::execOn(db(), QStringLiteral("Delete From PartLimit where F_PartCode = :code"), p) && tx.commit();
    if (!ok)
        *message = Msg::OperationFailed();
    return ok;
}
} // namespace OperatorAdmin
