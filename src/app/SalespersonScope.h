#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

class QComboBox;

// The role's salesperson scope: which customers an operator sees, and which
// salespeople the salesperson boxes offer. Scope 0: all; 1: the customers
// whose salesperson is the operator; 2: those of the listed salespeople.
namespace SalespersonScope {
// The listed salespeople of a stored list ('张三','李四'); commas, full-width
// commas and blanks between the names are allowed. A list without quotes is
// split at either comma.
QStringList parseNames(const QString &stored);
// The stored form of a list of names: each in single quotes, joined by commas.
QString joinNames(const QStringList &names);

// The condition on the customer's salesperson for the current operator, to
// append to a WHERE clause ("and (...) "), with its values added to *params.
// `column` is the salesperson column, e.g. "F_empName" or "c.F_empName".
// Empty for scope 0. Scope 2 with an empty list matches no customer.
QString whereFragment(const QString &column, QVariantMap *params);

// Fills a salesperson box by the scope: all employees (0), the operator alone
// with the box disabled and aqua (1), the listed employees (2).
void fillComboBox(QComboBox *box);
} // namespace SalespersonScope
