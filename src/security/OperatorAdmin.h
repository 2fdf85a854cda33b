#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Operators and roles: the lists, the loads and saves behind the
// administration window and its editor, with their checks.
namespace OperatorAdmin {

struct OperatorRow
{
    QString code, name, roleName, mem;
    bool disabled = false;
};
struct RoleRow
{
    QString code, name, mem;
    bool disabled = false;
};

// An operator as the editor shows it; the password in clear text.
struct OperatorRecord
{
    QString code, name, password, roleCode, roleName, mem;
    bool disabled = false;
};
// A role with its scope and the codes of its permissions.
struct RoleRecord
{
    QString code, name, mem;
    bool disabled = false;
    int empFlag = 0;     // 0 all, 1 own customers, 2 listed salespersons
    QString empNames;    // '张三','李四'
    QStringList limitCodes;
};

// One permission the role window offers.
struct LimitEntry
{
    QString code;
    QString name;
    // the caption shown: the catalogue's name, with its menu category where
    // the same name stands for more than one code ("新增（主编辑）")
    QString label;
};

// Where a save stopped: the message for the operator (empty when it went
// through) and the field to put the focus into.
struct SaveResult
{
    bool ok = false;
    QString message;
    int kind = 0;       // ShowMess kind of the message
    QString field;      // objectName of the field at fault
    QString savedCode;  // the code saved
};

QString operatorListSql();
QString roleListSql();
QList<OperatorRow> operators(bool *ok = nullptr);
QList<RoleRow> roles(bool *ok = nullptr);
// Roles an operator may be given (not disabled): code and name.
QList<QPair<QString, QString>> activeRoles();
// Employee names offered as operator names.
QStringList employeeNames();

bool loadOperator(const QString &code, OperatorRecord *out);
bool loadRole(const QString &code, RoleRecord *out);
// The catalogue of permissions offered in the role window, by code.
QList<LimitEntry> limitCatalogue();
QStringList roleLimitCodes(const QString &roleCode);

// The built-in administrator can be neither edited nor deleted.
bool isSystemOperator(const QString &code);
QString cannotEditSystemOperator();
QString cannotDeleteSystemOperator();

// Saves an operator: a new one when editedCode is empty, otherwise the row of
// editedCode. Checks in the order the window reports them.
SaveResult saveOperator(const OperatorRecord &rec, const QString &editedCode);
// Saves a role with its scope and, in the same transaction, the whole set of
// its permissions. operName is the logged-in operator (stored for scope 1).
SaveResult saveRole(const RoleRecord &rec, const QString &editedCode, const QString &operName);

// Deletes; false with the message when refused or failed.
bool deleteOperator(const QString &code, QString *message);
bool deleteRole(const QString &code, QString *message);
} // namespace OperatorAdmin
