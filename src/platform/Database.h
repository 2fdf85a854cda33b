#pragma once

#include "SqlDialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QSqlError;
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

    // How long a statement waits for another workstation's lock before it
    // fails as busy; the same on every backend.
    int lockWaitMs() const { return qMax(1, timeoutSeconds) * 2000; }

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
// The first column of the first row (null when there is none); false and
// *error when the statement fails.
bool scalar(const QSqlDatabase &db, const QString &sql, const QVariantMap &params, QVariant *value, QString *error = nullptr);
// Runs one statement on the connection; the error text when it fails.
bool execOn(const QSqlDatabase &db, const QString &sql, const QVariantMap &params = {}, QString *error = nullptr);
// Splits a script on semicolons outside literals and comments.
QStringList splitStatements(const QString &script);
// Runs the statements one at a time (inside the caller's transaction, if any).
bool execBatch(const QSqlDatabase &db, const QStringList &statements, QString *error = nullptr);

// Inserts one row (column -> value) and gives its new key, -1 on failure.
qint64 insertRow(const QSqlDatabase &db, const QString &table, const QVariantMap &values,
                 const QString &keyField = QStringLiteral("F_ID"), QString *error = nullptr);

// Updates the named columns of the row with the key. False (and *error) when
// the statement fails; a row that is not there is no failure (*rows says 0).
bool updateRow(const QSqlDatabase &db, const QString &table, const QVariantMap &values, const QString &keyField,
               qint64 key, QString *error = nullptr, int *rows = nullptr);

// Rewrites ":name" markers to "?" and lists the names in order.
QString positional(const QString &sql, QStringList *names);

// The text of a failed statement, with the backend's own error code in
// brackets ("... [55P03]") so that callers can tell what kind of failure it was.
QString errorText(const QSqlError &error);
// Whether a failure was a lock wait that ran out (another workstation held the
// rows or the file): the work can be tried again later, nothing is broken.
bool isBusyError(const QString &error);
// Whether a failure was a unique index refusing a row.
bool isUniqueViolation(const QString &error);

// Whether another workstation changed a row since it was read. The row is
// locked first (an update that writes nothing new), so that the answer stays
// true until the caller's transaction ends. `loaded` maps columns to the
// values read then; NULL and the empty text are one value.
enum class RowState { Unchanged, Changed, Gone, Failed };
RowState lockAndCompareRow(const QSqlDatabase &db, const QString &table, const QString &keyField, qint64 key,
                           const QVariantMap &loaded, QString *error = nullptr);
// Whether two stored values are the same: NULL equals the empty text, numbers
// compare by value, dates by their text.
bool sameStoredValue(const QVariant &a, const QVariant &b);
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
    // Why the transaction could not start (empty when it did).
    QString error() const { return m_error; }
    bool commit(QString *error = nullptr);
    void rollback();

private:
    QSqlDatabase m_db;
    bool m_active = false;
    QString m_error;
};
