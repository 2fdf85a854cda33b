#include "CustomerNumbers.h"

#include "platform/Database.h"


#include <limits>

namespace CustomerNumbers {
namespace {
bool queryValue(const QSqlDatabase &db, const QString &sql, const QVariantMap &params, qint64 *value, QString *error)
{
    QVariant v;
    if (!Sql::scalar(db, sql, params, &v, error))
        return false;
    *value = v.toLongLong();
    return true;
}

// Every table with F_cltID, the customers first.
QStringList allTables() { return QStringList{QStringLiteral("t_client")} + linkedTables(); }
} // namespace

const QStringList &linkedTables()
{
    static const QStringList tables = {QStringLiteral("t_linkman"), QStringLiteral("t_LXrec"), QStringLiteral("t_BJrec"),
                                       QStringLiteral("t_HTrec"),   QStringLiteral("t_XSrec"), QStringLiteral("t_HFrec"),
                                       QStringLiteral("t_TSrec"),   QStringLiteral("t_GooDrec"), QStringLiteral("t_TXrec"),
                                       QStringLiteral("t_CJrec"),   QStringLiteral("LdCltRec")};
    return tables;
}

bool lockForNewCustomer(QSqlDatabase &db, QString *error)
{
    return Database::dialectOf(db).lockTableForWrite(db, QStringLiteral("t_client"), error);
}

int next(const QSqlDatabase &db, QString *error)
{
    // one index look-up per table
    QStringList parts;
    for (const QString &t : allTables())
        parts.append(QStringLiteral("select max(F_cltID) as n from %1").arg(t));
    qint64 top = 0;
    if (!queryValue(db, QStringLiteral("select max(n) from (%1) m").arg(parts.join(QStringLiteral(" union all "))), {}, &top,
                    error))
        return 0;
    if (top >= std::numeric_limits<int>::max()) {
        if (error)
            *error = QStringLiteral("客户编号已用完");
        return 0;
    }
    return int(qMax<qint64>(top, 0) + 1);
}

int forUnnumbered(const QSqlDatabase &db, qint64 id, QString *error)
{
    if (id > 0 && id < std::numeric_limits<int>::max()) {
        QStringList parts;
        for (const QString &t : allTables())
            parts.append(QStringLiteral("select count(*) as n from %1 where F_cltID = :id").arg(t));
        qint64 used = 0;
        if (!queryValue(db, QStringLiteral("select sum(n) from (%1) m").arg(parts.join(QStringLiteral(" union all "))),
                        {{QStringLiteral("id"), id}}, &used, error))
            return 0;
        if (used == 0)
            return int(id);
    }
    return next(db, error);
}
} // namespace CustomerNumbers
