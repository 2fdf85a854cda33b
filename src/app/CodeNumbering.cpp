#include "CodeNumbering.h"

#include "platform/Database.h"

#include <QDate>

namespace CodeNumbering {
namespace {
bool highest(const QSqlDatabase &db, const QString &sql, const QVariantMap &params, QString *top, QString *error)
{
    QVariant v;
    if (!Sql::scalar(db, sql, params, &v, error))
        return false;
    *top = v.isNull() ? QString() : v.toString();
    return true;
}
} // namespace

QString nextFrom(const QString &top, const QString &headWhenEmpty, int width, QString *error)
{
    QString head, tail;
    if (!top.isEmpty()) {
        head = top.left(qMax(0, top.size() - width));
        tail = top.right(width);
    } else {
        head = headWhenEmpty;
        tail = QString(width, QLatin1Char('0'));
    }
    bool ok = true;
    for (const QChar c : tail)
        ok = ok && c.isDigit() && c.unicode() < 128;
    if (!ok || tail.size() < width) {
        if (error)
            *error = QStringLiteral("编号“%1”的末%2位不是数字，无法生成新编号！").arg(top).arg(width);
        return QString();
    }
    if (tail == QString(width, QLatin1Char('9'))) {
        if (error)
            *error = QStringLiteral("编号已经用完（已到 %1），无法再生成新编号！").arg(top);
        return QString();
    }
    const qlonglong n = (QStringLiteral("1") + tail).toLongLong() + 1;
    return head + QString::number(n).mid(1, width);
}

QString nextDated(const QSqlDatabase &db, const QString &sql, const QString &prefix, int width, const QVariantMap &params,
                  QString *error)
{
    QString top;
    if (!highest(db, sql, params, &top, error))
        return QString();
    return nextFrom(top, prefix + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")), width, error);
}

QString next(const QSqlDatabase &db, const QString &sql, int width, const QVariantMap &params, QString *error)
{
    QString top;
    if (!highest(db, sql, params, &top, error))
        return QString();
    return nextFrom(top, QString(), width, error);
}
} // namespace CodeNumbering
