#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Customer numbers (t_client.F_cltID), which every customer-linked table
// carries. A number is given inside the caller's write transaction, after
// lockForNewCustomer(), and is never one that any row still carries: a
// deleted customer's sales bills keep its number, and a stray row that already
// holds a number must not be adopted by a new customer.
namespace CustomerNumbers {
// The tables besides t_client that refer to customers by number.
const QStringList &linkedTables();
// Keeps other workstations from adding or changing customers until the
// caller's transaction ends, so that a number or code checked now is still
// free when it is written.
bool lockForNewCustomer(QSqlDatabase &db, QString *error = nullptr);
// The next number: above every number in use anywhere. 0 on failure.
int next(const QSqlDatabase &db, QString *error = nullptr);
// A number for an existing customer that has none: its own F_ID when no row
// anywhere carries it, otherwise next(). 0 on failure.
int forUnnumbered(const QSqlDatabase &db, qint64 id, QString *error = nullptr);
} // namespace CustomerNumbers
