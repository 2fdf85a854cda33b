#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class QSqlDatabase;
class QSqlField;

enum class Backend { Sqlite, Psql, Mssql };

// The only code that knows which database the program talks to. Statements
// are written in the subset the three backends share; the few things that
// differ come from here.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    static std::unique_ptr<SqlDialect> create(Backend backend);
    // "sqlite" (also empty or unknown), "psql", "mssql"
    static Backend backendFromName(const QString &name);
    static QString backendName(Backend backend);

    virtual Backend backend() const = 0;
    virtual QString driverName() const = 0;

    // Expressions.
    virtual QString len(const QString &expr) const = 0;
    // Whole days from `from` to `to` (positive when `to` is later).
    virtual QString dateDiffDays(const QString &from, const QString &to) const = 0;
    // The current date and time.
    virtual QString now() const = 0;

    // Values for date parameters, in the form the backend reads without regard
    // to its language settings.
    virtual QVariant dateValue(const QDate &date) const;
    virtual QVariant dateTimeValue(const QDateTime &dateTime) const;

    // Whether a field of a result is a bit (yes/no) column.
    virtual bool isBooleanField(const QSqlField &field) const;

    // Starts a transaction meant to write. SQLite takes the write lock at once,
    // so that two workstations that read-then-insert are serialised.
    virtual bool beginTransaction(QSqlDatabase &db, QString *error = nullptr) const;
    // Inside a write transaction: keeps other workstations from writing the
    // table until it ends, so that a check and the write that depends on it
    // (a unique code, the next number) are one step. Readers are not held up.
    virtual bool lockTableForWrite(QSqlDatabase &db, const QString &table, QString *error = nullptr) const;
    // Run once on a new connection: bounds every wait for a lock.
    virtual QStringList sessionSetup(int lockWaitMs) const;

    // An insert of the named columns (":p0", ":p1", ... in order) that gives
    // back the new key: as a result row when *returnsRow, else through the
    // driver's last-insert id.
    virtual QString insertStatement(const QString &table, const QStringList &columns, const QString &keyField,
                                    bool *returnsRow) const;

    // A script statement adapted to the backend (Unicode literals on SQL Server).
    virtual QString adaptScriptStatement(const QString &statement) const { return statement; }

    // LIKE: patterns escape their wildcards with this character; every
    // statement that binds an escaped pattern writes likeEscapeClause() after it.
    static QString escapeLike(const QString &text);
    static QString likeEscapeClause() { return QStringLiteral(" ESCAPE '!'"); }
    // The one quoting helper for the rare fragment that must stay text.
    static QString quote(const QString &text);

    // "column equals the value", ignoring case on every backend as the text
    // columns do. The value is bound as :param into *params. The column stands
    // bare whenever the value is not empty (NULL never equals such a value), so
    // that it keeps its collation and its index: SQLite compares an expression
    // such as COALESCE(column,'') case-sensitively. An empty value also takes
    // in NULL.
    static QString textEquals(const QString &column, const QString &param, const QString &value, QVariantMap *params);
    // The same for "one of the values", bound as :param0, :param1, ...; no
    // values match nothing.
    static QString textIn(const QString &column, const QString &param, const QStringList &values, QVariantMap *params);

protected:
    static bool run(QSqlDatabase &db, const QString &sql, QString *error);
};
