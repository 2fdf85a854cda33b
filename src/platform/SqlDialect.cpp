#include "SqlDialect.h"

#include "Database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

namespace {
class SqliteDialect : public SqlDialect
{
public:
    Backend backend() const override { return Backend::Sqlite; }
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString len(const QString &expr) const override { return QStringLiteral("length(%1)").arg(expr); }
    QString dateDiffDays(const QString &from, const QString &to) const override
    {
        return QStringLiteral("CAST(julianday(date(%2)) - julianday(date(%1)) AS INTEGER)").arg(from, to);
    }
    QString now() const override { return QStringLiteral("datetime('now','localtime')"); }
    bool beginTransaction(QSqlDatabase &db, QString *error) const override
    {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return true;
        if (error)
            *error = Sql::errorText(q.lastError());
        return false;
    }
    // BEGIN IMMEDIATE holds the file's write lock already
    bool lockTableForWrite(QSqlDatabase &, const QString &, QString *) const override { return true; }
    QStringList sessionSetup(int) const override { return {QStringLiteral("PRAGMA foreign_keys=OFF")}; }
};

class PsqlDialect : public SqlDialect
{
public:
    Backend backend() const override { return Backend::Psql; }
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    QString len(const QString &expr) const override { return QStringLiteral("length(rtrim(%1))").arg(expr); }
    QString dateDiffDays(const QString &from, const QString &to) const override
    {
        return QStringLiteral("(CAST(%2 AS date) - CAST(%1 AS date))").arg(from, to);
    }
    QString now() const override { return QStringLiteral("LOCALTIMESTAMP"); }
    bool lockTableForWrite(QSqlDatabase &db, const QString &table, QString *error) const override
    {
        // conflicts with every writer of the table and with itself, not with readers
        return run(db, QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table), error);
    }
    QStringList sessionSetup(int lockWaitMs) const override
    {
        return {QStringLiteral("SET lock_timeout = %1").arg(lockWaitMs)};
    }
    bool isBooleanField(const QSqlField &field) const override
    {
        // bit columns are smallint here, the only smallint columns of the schema
        return field.typeID() == 21 || SqlDialect::isBooleanField(field);
    }
};

class MssqlDialect : public SqlDialect
{
public:
    Backend backend() const override { return Backend::Mssql; }
    QString driverName() const override { return QStringLiteral("QODBC"); }
    QString len(const QString &expr) const override { return QStringLiteral("LEN(%1)").arg(expr); }
    QString dateDiffDays(const QString &from, const QString &to) const override
    {
        return QStringLiteral("DATEDIFF(day, %1, %2)").arg(from, to);
    }
    QString now() const override { return QStringLiteral("GETDATE()"); }
    QVariant dateValue(const QDate &date) const override { return date.toString(QStringLiteral("yyyyMMdd")); }
    bool lockTableForWrite(QSqlDatabase &db, const QString &table, QString *error) const override
    {
        // a table-level update lock: other writers wait, readers do not
        return run(db, QStringLiteral("select count(*) from %1 with (tablock, updlock, holdlock) where F_ID < 0").arg(table),
                   error);
    }
    QStringList sessionSetup(int lockWaitMs) const override
    {
        // 'yyyy-MM-dd' texts (filters, the empty date) must read the same
        // whatever the login's language is
        return {QStringLiteral("SET DATEFORMAT ymd"), QStringLiteral("SET LOCK_TIMEOUT %1").arg(lockWaitMs)};
    }
    QVariant dateTimeValue(const QDateTime &dt) const override
    {
        return dt.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
    }
    QString adaptScriptStatement(const QString &statement) const override
    {
        // Literals become N'...' so that Chinese text survives into nvarchar columns.
        QString out;
        out.reserve(statement.size() + 16);
        bool inString = false;
        for (int i = 0; i < statement.size(); ++i) {
            const QChar c = statement.at(i);
            if (c == QLatin1Char('\'')) {
                if (!inString) {
                    const QChar prev = i > 0 ? statement.at(i - 1) : QChar();
                    if (!prev.isLetterOrNumber() && prev != QLatin1Char('_'))
                        out += QLatin1Char('N');
                    inString = true;
                } else if (i + 1 < statement.size() && statement.at(i + 1) == QLatin1Char('\'')) {
                    out += QLatin1String("''");
                    ++i;
                    continue;
                } else {
                    inString = false;
                }
            }
            out += c;
        }
        return out;
    }
};
} // namespace

std::unique_ptr<SqlDialect> SqlDialect::create(Backend backend)
{
    switch (backend) {
    case Backend::Psql:
        return std::make_unique<PsqlDialect>();
    case Backend::Mssql:
        return std::make_unique<MssqlDialect>();
    case Backend::Sqlite:
        break;
    }
    return std::make_unique<SqliteDialect>();
}

Backend SqlDialect::backendFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("psql") || n == QLatin1String("postgresql") || n == QLatin1String("postgres"))
        return Backend::Psql;
    if (n == QLatin1String("mssql") || n == QLatin1String("sqlserver"))
        return Backend::Mssql;
    return Backend::Sqlite;
}

QString SqlDialect::backendName(Backend backend)
{
    switch (backend) {
    case Backend::Psql:
        return QStringLiteral("psql");
    case Backend::Mssql:
        return QStringLiteral("mssql");
    case Backend::Sqlite:
        break;
    }
    return QStringLiteral("sqlite");
}

QVariant SqlDialect::dateValue(const QDate &date) const { return date.toString(QStringLiteral("yyyy-MM-dd")); }

QVariant SqlDialect::dateTimeValue(const QDateTime &dt) const
{
    return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString SqlDialect::insertStatement(const QString &table, const QStringList &columns, const QString &keyField,
                                   bool *returnsRow) const
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral(":p%1").arg(i));
    const QString cols = columns.join(QLatin1Char(','));
    const QString vals = marks.join(QLatin1Char(','));
    *returnsRow = backend() != Backend::Sqlite;
    switch (backend()) {
    case Backend::Psql:
        return columns.isEmpty()
                   ? QStringLiteral("insert into %1 default values returning %2").arg(table, keyField)
                   : QStringLiteral("insert into %1 (%2) values (%3) returning %4").arg(table, cols, vals, keyField);
    case Backend::Mssql:
        return columns.isEmpty()
                   ? QStringLiteral("insert into %1 output inserted.%2 default values").arg(table, keyField)
                   : QStringLiteral("insert into %1 (%2) output inserted.%4 values (%3)").arg(table, cols, vals, keyField);
    case Backend::Sqlite:
        break;
    }
    return columns.isEmpty() ? QStringLiteral("insert into %1 default values").arg(table)
                             : QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols, vals);
}

bool SqlDialect::isBooleanField(const QSqlField &field) const { return field.metaType().id() == QMetaType::Bool; }

bool SqlDialect::beginTransaction(QSqlDatabase &db, QString *error) const
{
    if (db.transaction())
        return true;
    if (error)
        *error = Sql::errorText(db.lastError());
    return false;
}

bool SqlDialect::lockTableForWrite(QSqlDatabase &, const QString &, QString *) const { return true; }

QStringList SqlDialect::sessionSetup(int) const { return {}; }

bool SqlDialect::run(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = Sql::errorText(q.lastError());
    return false;
}

QString SqlDialect::escapeLike(const QString &text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('['))
            out += QLatin1Char('!');
        out += c;
    }
    return out;
}

QString SqlDialect::quote(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString SqlDialect::textEquals(const QString &column, const QString &param, const QString &value, QVariantMap *params)
{
    params->insert(param, value);
    return (value.isEmpty() ? QStringLiteral("COALESCE(%1,'') = :%2") : QStringLiteral("%1 = :%2")).arg(column, param);
}

QString SqlDialect::textIn(const QString &column, const QString &param, const QStringList &values, QVariantMap *params)
{
    if (values.isEmpty())
        return QStringLiteral("(1=0)");
    QStringList marks;
    bool anyEmpty = false;
    for (int i = 0; i < values.size(); ++i) {
        const QString p = param + QString::number(i);
        marks.append(QLatin1Char(':') + p);
        params->insert(p, values.at(i));
        anyEmpty = anyEmpty || values.at(i).isEmpty();
    }
    return (anyEmpty ? QStringLiteral("COALESCE(%1,'') in (%2)") : QStringLiteral("%1 in (%2)"))
        .arg(column, marks.join(QLatin1Char(',')));
}
