#include "Database.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <map>
#include <memory>

namespace {
QString g_defaultName = QStringLiteral("ADOcnn");
std::map<QString, std::unique_ptr<SqlDialect>> g_dialects;

QString resolveName(const QString &name) { return name.isEmpty() ? g_defaultName : name; }

QString lastErrorText(const QSqlError &e)
{
    QString t = e.text().trimmed();
    return t.isEmpty() ? QStringLiteral("unknown error") : t;
}

QString odbcBrace(const QString &v)
{
    QString s = v;
    s.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + s + QLatin1Char('}');
}
} // namespace

QString DbSettings::sqliteFile() const
{
    QString name = database.trimmed();
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1String(".db");
    if (QDir::isAbsolutePath(name) || baseDir.isEmpty())
        return name;
    return QDir(baseDir).filePath(name);
}

QString DbSettings::host() const
{
    QString h = server.trimmed();
    if (h.isEmpty() || h.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0 || h == QLatin1String("."))
        return QStringLiteral("localhost");
    const int colon = h.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && !h.contains(QLatin1Char(']')))
        h = h.left(colon);
    const int comma = h.lastIndexOf(QLatin1Char(','));
    if (comma > 0)
        h = h.left(comma);
    return h;
}

int DbSettings::port(int def) const
{
    const QString h = server.trimmed();
    int sep = h.lastIndexOf(QLatin1Char(':'));
    if (sep < 0)
        sep = h.lastIndexOf(QLatin1Char(','));
    if (sep < 0)
        return def;
    bool ok = false;
    const int p = h.mid(sep + 1).toInt(&ok);
    return ok && p > 0 ? p : def;
}

QString DbSettings::odbcConnectionString() const
{
    QString driverSpec = QStringLiteral("FreeTDS");
    for (const char *candidate : {"/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libtdsodbc.so"}) {
        if (QFileInfo::exists(QString::fromLatin1(candidate))) {
            driverSpec = QString::fromLatin1(candidate);
            break;
        }
    }
    return QStringLiteral("DRIVER=%1;SERVER=%2;PORT=%3;DATABASE=%4;UID=%5;PWD=%6;TDS_Version=7.4;ClientCharset=UTF-8;")
        .arg(odbcBrace(driverSpec), odbcBrace(host()), QString::number(port(1433)), odbcBrace(database.trimmed()),
             odbcBrace(login), odbcBrace(password));
}

namespace Database {
QString defaultConnectionName() { return g_defaultName; }
void setDefaultConnectionName(const QString &name) { g_defaultName = name; }

QSqlDatabase connection(const QString &name) { return QSqlDatabase::database(resolveName(name), false); }

bool openRaw(const QString &name, const DbSettings &s, QString *error)
{
    const QString conn = resolveName(name);
    close(conn);
    auto dialect = SqlDialect::create(s.backend());
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect->driverName(), conn);
    if (!db.isValid()) {
        if (error)
            *error = QStringLiteral("数据库驱动 %1 不可用").arg(dialect->driverName());
        return false;
    }
    const QString timeout = QString::number(qMax(1, s.timeoutSeconds));
    switch (s.backend()) {
    case Backend::Sqlite:
        db.setDatabaseName(s.sqliteFile());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(s.timeoutSeconds * 2000));
        break;
    case Backend::Psql:
        db.setHostName(s.host());
        db.setPort(s.port(5432));
        db.setDatabaseName(s.database.trimmed());
        db.setUserName(s.login);
        db.setPassword(s.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(timeout));
        break;
    case Backend::Mssql:
        db.setDatabaseName(s.odbcConnectionString());
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(timeout));
        break;
    }
    db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!db.open()) {
        if (error)
            *error = lastErrorText(db.lastError());
        return false;
    }
    if (s.backend() == Backend::Sqlite) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
    } else if (s.backend() == Backend::Mssql) {
        // 'yyyy-MM-dd' texts (filters, the empty date) must read the same
        // whatever the login's language is
        QSqlQuery q(db);
        q.exec(QStringLiteral("SET DATEFORMAT ymd"));
    }
    g_dialects[conn] = std::move(dialect);
    return true;
}

bool open(const QString &name, const DbSettings &s, QString *error)
{
    if (s.database.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("没有指定数据库");
        return false;
    }
    if (s.backend() == Backend::Sqlite && !QFileInfo(s.sqliteFile()).isFile()) {
        if (error)
            *error = QStringLiteral("数据库文件不存在：%1").arg(s.sqliteFile());
        return false;
    }
    if (!openRaw(name, s, error))
        return false;
    QSqlQuery q(connection(name));
    if (!q.exec(QStringLiteral("select count(*) from SysInfo"))) {
        if (error)
            *error = QStringLiteral("数据库中没有本系统的数据表：%1").arg(lastErrorText(q.lastError()));
        q = QSqlQuery();
        close(name);
        return false;
    }
    return true;
}

void close(const QString &name)
{
    const QString conn = resolveName(name);
    if (QSqlDatabase::contains(conn)) {
        {
            QSqlDatabase db = QSqlDatabase::database(conn, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(conn);
    }
    g_dialects.erase(conn);
}

const SqlDialect &dialect(const QString &name)
{
    auto it = g_dialects.find(resolveName(name));
    if (it != g_dialects.end())
        return *it->second;
    static const std::unique_ptr<SqlDialect> fallback = SqlDialect::create(Backend::Sqlite);
    return *fallback;
}

const SqlDialect &dialectOf(const QSqlDatabase &db) { return dialect(db.connectionName()); }
} // namespace Database

namespace Sql {
QString positional(const QString &sql, QStringList *names)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // copy the literal (or quoted name) through, '' and "" stay inside
            out += c;
            int j = i + 1;
            for (; j < n; ++j) {
                out += sql.at(j);
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        out += sql.at(++j);
                        continue;
                    }
                    break;
                }
            }
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const int eol = sql.indexOf(QLatin1Char('\n'), i);
            const int end = eol < 0 ? n : eol;
            out += sql.mid(i, end - i);
            i = end - 1;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n) {
            const QChar next = sql.at(i + 1);
            const QChar prev = i > 0 ? sql.at(i - 1) : QChar();
            if ((next.isLetter() || next == QLatin1Char('_')) && prev != QLatin1Char(':')) {
                int j = i + 1;
                while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_')))
                    ++j;
                names->append(sql.mid(i + 1, j - i - 1));
                out += QLatin1Char('?');
                i = j - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

namespace {
// Values as every backend reads them: yes/no as 1/0, dates as text.
QVariant bindable(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    default:
        return v;
    }
}
} // namespace

bool prepare(QSqlQuery &query, const QString &sql, const QVariantMap &params)
{
    QStringList names;
    const QString text = positional(sql, &names);
    if (!query.prepare(text))
        return false;
    if (names.isEmpty())
        return true;
    QHash<QString, QVariant> lower;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        lower.insert(it.key().toLower(), it.value());
    for (const QString &name : std::as_const(names))
        query.addBindValue(bindable(lower.value(name.toLower())));
    return true;
}

qint64 insertRow(const QSqlDatabase &db, const QString &table, const QVariantMap &values, const QString &keyField,
                 QString *error)
{
    QStringList columns;
    QVariantMap params;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        params.insert(QStringLiteral("p%1").arg(columns.size()), it.value());
        columns.append(it.key());
    }
    bool returnsRow = false;
    const QString sql = Database::dialectOf(db).insertStatement(table, columns, keyField, &returnsRow);
    QSqlQuery q(db);
    if (!exec(q, sql, params)) {
        if (error)
            *error = lastErrorText(q.lastError());
        return -1;
    }
    if (returnsRow)
        return q.next() ? q.value(0).toLongLong() : -1;
    return q.lastInsertId().toLongLong();
}

bool exec(QSqlQuery &query, const QString &sql, const QVariantMap &params)
{
    // A statement with nothing to bind runs as it is: PostgreSQL prepares
    // only queries and data changes, not CREATE and the like.
    QStringList names;
    positional(sql, &names);
    if (names.isEmpty())
        return query.exec(sql);
    if (!prepare(query, sql, params))
        return false;
    return query.exec();
}

bool execOn(const QSqlDatabase &db, const QString &sql, const QVariantMap &params, QString *error)
{
    QSqlQuery q(db);
    if (!exec(q, sql, params)) {
        if (error)
            *error = lastErrorText(q.lastError());
        return false;
    }
    return true;
}

QStringList splitStatements(const QString &script)
{
    QStringList out;
    QString cur;
    const int n = script.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            cur += c;
            int j = i + 1;
            for (; j < n; ++j) {
                cur += script.at(j);
                if (script.at(j) == c) {
                    if (j + 1 < n && script.at(j + 1) == c) {
                        cur += script.at(++j);
                        continue;
                    }
                    break;
                }
            }
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            const int eol = script.indexOf(QLatin1Char('\n'), i);
            i = (eol < 0 ? n : eol) - 1;
            continue;
        }
        if (c == QLatin1Char(';')) {
            if (!cur.trimmed().isEmpty())
                out.append(cur.trimmed());
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty())
        out.append(cur.trimmed());
    return out;
}

bool execBatch(const QSqlDatabase &db, const QStringList &statements, QString *error)
{
    for (const QString &s : statements) {
        QString err;
        if (!execOn(db, s, {}, &err)) {
            if (error)
                *error = err + QStringLiteral("\n") + s.left(200);
            return false;
        }
    }
    return true;
}
} // namespace Sql

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    m_active = m_db.isOpen() && Database::dialectOf(m_db).beginTransaction(m_db);
}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

bool Transaction::commit(QString *error)
{
    if (!m_active) {
        if (error)
            *error = QStringLiteral("事务没有开始");
        return false;
    }
    if (!m_db.commit()) {
        if (error)
            *error = lastErrorText(m_db.lastError());
        rollback();
        return false;
    }
    m_active = false;
    return true;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_db.rollback();
    m_active = false;
}
