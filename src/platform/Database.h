#pragma once

#include "SqlDialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QSqlQuery;

// Where the database is: the [DBconn] settings of Config.ini.
struct DbSettings
{
    QString driver = QStringLiteral("sqlite"); // sqlite, psql or mssql
    QString server = QStringLiteral("(Local)");
    QString database = QStringLiteral("Brenmoor");
    QString login = QStringLiteral("sa");
    QString password; // clear text
    QString baseDir;  // folder of the SQLite file; the program's folder
    int timeoutSeconds = 5;

    Backend backend() const { return SqlDialect::backendFromName(driver); }
    // Brenmoor -> <baseDir>/Brenmoor.db; a name with a suffix or a path is kept.
    QString sqliteFile() const;
    // host and port for server backends; "(Local)" is this machine.
    QString host() const;
    int port(int def) const;
    // The ODBC connection string for SQL Server through FreeTDS.
    QString odbcConnectionString() const;
};

namespace Database {
// The connection every window uses.
QString defaultConnectionName();
void setDefaultConnectionName(const QString &name);
QSqlDatabase connection(const QString &name = {});

// Opens (or re-opens) a named connection. A missing SQLite file is an error,
// never a new empty database; a server that does not answer fails after the
// timeout. The database must hold this program's tables.
bool open(const QString &name, const DbSettings &settings, QString *error = nullptr);
// Opens without checking for the tables (the setup tool creates them).
bool openRaw(const QString &name, const DbSettings &settings, QString *error = nullptr);
void close(const QString &name);

const SqlDialect &dialect(const QString &name = {});
const SqlDialect &dialectOf(const QSqlDatabase &db);
} // namespace Database

// Statements with named parameters. ":name" markers are matched to the values
// without regard to case and bound by position, so no value ever becomes SQL
// text. A marker without a value is bound as NULL.
namespace Sql {
bool prepare(QSqlQuery &query, const QString &sql, const QVariantMap &params = {});
bool exec(QSqlQuery &query, const QString &sql, const QVariantMap &params = {});
// Runs one statement on the connection; the error text when it fails.
bool execOn(const QSqlDatabase &db, const QString &sql, const QVariantMap &params = {}, QString *error = nullptr);
// Splits a script on semicolons outside literals and comments.
QStringList splitStatements(const QString &script);
// Runs the statements one at a time (inside the caller's transaction, if any).
bool execBatch(const QSqlDatabase &db, const QStringList &statements, QString *error = nullptr);

// Inserts one row (column -> value) and gives its new key, -1 on failure.
qint64 insertRow(const QSqlDatabase &db, const QString &table, const QVariantMap &values,
                 const QString &keyField = QStringLiteral("F_ID"), QString *error = nullptr);

// Rewrites ":name" markers to "?" and lists the names in order.
QString positional(const QString &sql, QStringList *names);
} // namespace Sql

// A transaction that commits only when told to and rolls back when it goes out
// of scope uncommitted.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db = Database::connection());
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit(QString *error = nullptr);
    void rollback();

private:
    QSqlDatabase m_db;
    bool m_active = false;
};
