#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>

// Record numbers that count on from the highest one in use: the statement
// gives that number (max of a column), the next one keeps its head and adds 1
// to its last `width` digits. Empty when none can be given (the digits are
// used up, the last number does not end in digits, or the database failed);
// *error then says why.
namespace CodeNumbering {
// head + the next `width` digits after `top`; `headWhenEmpty` + 00..01 when
// there is no number yet.
QString nextFrom(const QString &top, const QString &headWhenEmpty, int width, QString *error = nullptr);
// Numbers of the day: prefix + yyyymmdd + digits.
QString nextDated(const QSqlDatabase &db, const QString &sql, const QString &prefix, int width, const QVariantMap &params = {},
                  QString *error = nullptr);
QString next(const QSqlDatabase &db, const QString &sql, int width, const QVariantMap &params = {}, QString *error = nullptr);
} // namespace CodeNumbering
