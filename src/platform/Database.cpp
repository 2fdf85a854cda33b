#include "Database.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

#include <map>
#include <memory>

namespace {
QString g_defaultName = QStringLiteral("ADOcnn");
std::map<QString, std::unique_ptr<SqlDialect>> g_dialects;

QString resolveName(const QString &name) { return name.isEmpty() ? g_defaultName : name; }

QString lastErrorText(const QSqlError &e) { return Sql::errorText(e); }

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
    for (const QString &statement : dialect->sessionSetup(s.lockWaitMs())) {
        QSqlQuery q(db);
        if (!q.exec(statement))
            qWarning("session setup '%s' failed: %s", qPrintable(statement), qPrintable(lastErrorText(q.lastError())));
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
        // a file another program holds locked has its tables all the same
        const QString why = lastErrorText(q.lastError());
        if (error)
            *error = Sql::isBusyError(why) ? QStringLiteral("数据库正忙：%1").arg(why)
                                           : QStringLiteral("数据库中没有本系统的数据表：%1").arg(why);
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
// Control characters other than tab and line breaks never reach the
// database: a NUL matches everything on one backend and fails on another.
QString withoutControls(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto isControl = [](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0x7f;
    };
    while (i < n && !isControl(text.at(i)))
        ++i;
    if (i == n)
        return text;
    QString out = text.left(i);
    for (; i < n; ++i)
        if (!isControl(text.at(i)))
            out += text.at(i);
    return out;
}

// Values as every backend reads them: yes/no as 1/0, dates as text.
QVariant bindable(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return withoutControls(v.toString());
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

bool updateRow(const QSqlDatabase &db, const QString &table, const QVariantMap &values, const QString &keyField, qint64 key,
               QString *error, int *rows)
{
    QStringList sets;
    QVariantMap params;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString p = QStringLiteral("p%1").arg(sets.size());
        sets.append(it.key() + QStringLiteral(" = :") + p);
        params.insert(p, it.value());
    }
    params.insert(QStringLiteral("RowKey"), key);
    QSqlQuery q(db);
    if (!exec(q, QStringLiteral("update %1 set %2 where %3 = :RowKey").arg(table, sets.join(QStringLiteral(", ")), keyField), params)) {
        if (error)
            *error = lastErrorText(q.lastError());
        return false;
    }
    if (rows)
        *rows = q.numRowsAffected();
    return true;
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

bool scalar(const QSqlDatabase &db, const QString &sql, const QVariantMap &params, QVariant *value, QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!exec(q, sql, params)) {
        if (error)
            *error = lastErrorText(q.lastError());
        return false;
    }
    *value = q.next() ? q.value(0) : QVariant();
    return true;
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

QString errorText(const QSqlError &e)
{
    QString t = e.text().trimmed();
    if (t.isEmpty())
        t = QStringLiteral("unknown error");
    const QString code = e.nativeErrorCode().trimmed();
    if (!code.isEmpty())
        t += QStringLiteral(" [") + code + QLatin1Char(']');
    return t;
}

bool isBusyError(const QString &error)
{
    // SQLite: busy or locked; PostgreSQL: lock not available, deadlock,
    // statement cancelled by the lock wait; SQL Server: lock request time-out
    // and deadlock victim
    static const char *const markers[] = {"database is locked", "database table is locked", "[5]", "[6]",
                                          "[55P03]", "[40P01]", "lock timeout", "[1222]", "[1205]"};
    for (const char *m : markers)
        if (error.contains(QLatin1String(m), Qt::CaseInsensitive))
            return true;
    return false;
}

bool isUniqueViolation(const QString &error)
{
    static const char *const markers[] = {"unique", "duplicate", "[23505]", "[2067]", "[1555]", "[2627]", "[2601]"};
    for (const char *m : markers)
        if (error.contains(QLatin1String(m), Qt::CaseInsensitive))
            return true;
    return false;
}

bool sameStoredValue(const QVariant &a, const QVariant &b)
{
    const auto blank = [](const QVariant &v) { return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()); };
    if (blank(a) || blank(b))
        return blank(a) && blank(b);
    const auto numeric = [](const QVariant &v) {
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Double: case QMetaType::Float: case QMetaType::Bool: case QMetaType::Short: case QMetaType::UShort:
            return true;
        default:
            return false;
        }
    };
    if (numeric(a) || numeric(b)) {
        bool okA = false, okB = false;
        const double x = a.toDouble(&okA), y = b.toDouble(&okB);
        if (okA && okB)
            return qAbs(x - y) <= 1e-9 * qMax(1.0, qMax(qAbs(x), qAbs(y)));
    }
    const auto text = [](const QVariant &v) {
        switch (v.typeId()) {
        case QMetaType::QDate:
            return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                            : dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        }
        default:
            return v.toString();
        }
    };
    QString x = text(a), y = text(b);
    // a date stored as text reads back as "yyyy-MM-dd" or with a midnight time
    for (QString *t : {&x, &y})
        if (t->size() == 19 && t->endsWith(QLatin1String(" 00:00:00")) && t->at(4) == QLatin1Char('-'))
            t->chop(9);
    return x == y;
}

RowState lockAndCompareRow(const QSqlDatabase &db, const QString &table, const QString &keyField, qint64 key,
                           const QVariantMap &loaded, QString *error)
{
    if (loaded.isEmpty())
        return RowState::Unchanged;
    const QStringList columns = loaded.keys();
    QSqlQuery lock(db);
    if (!exec(lock, QStringLiteral("update %1 set %2 = %2 where %3 = :RowKey").arg(table, columns.first(), keyField),
              {{QStringLiteral("RowKey"), key}})) {
        if (error)
            *error = lastErrorText(lock.lastError());
        return RowState::Failed;
    }
    if (lock.numRowsAffected() == 0)
        return RowState::Gone;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!exec(q, QStringLiteral("select %1 from %2 where %3 = :RowKey").arg(columns.join(QLatin1Char(',')), table, keyField),
              {{QStringLiteral("RowKey"), key}})) {
        if (error)
            *error = lastErrorText(q.lastError());
        return RowState::Failed;
    }
    if (!q.next())
        return RowState::Gone;
    for (int i = 0; i < columns.size(); ++i)
        if (!sameStoredValue(q.value(i), loaded.value(columns.at(i))))
            return RowState::Changed;
    return RowState::Unchanged;
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
    if (!m_db.isOpen()) {
        m_error = QStringLiteral("数据库连接没有打开");
        return;
    }
    m_active = Database::dialectOf(m_db).beginTransaction(m_db, &m_error);
    if (!m_active && m_error.isEmpty())
        m_error = QStringLiteral("unknown error");
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
