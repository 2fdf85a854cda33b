#include "DatabaseCreator.h"

#include "DemoData.h"
#include "SchemaSetup.h"
#include "platform/Config.h"
#include "platform/Messages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cstdio>

namespace {
const QString kAdminConnection = QStringLiteral("qelsetup_admin");

QString errorOf(const QSqlQuery &q)
{
    const QString t = q.lastError().text().trimmed();
    return t.isEmpty() ? QStringLiteral("unknown error") : t;
}

// A connection opened for one task and closed when it ends.
class ScopedConnection
{
public:
    ScopedConnection(const QString &name, const DbSettings &settings, QString *error) : m_name(name)
    {
        m_open = Database::openRaw(name, settings, error);
    }
    ~ScopedConnection() { Database::close(m_name); }
    bool isOpen() const { return m_open; }
    QSqlDatabase db() const { return Database::connection(m_name); }

private:
    QString m_name;
    bool m_open = false;
};

// The journals SQLite keeps beside a database file.
void removeSqliteJournals(const QString &path)
{
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// False when the file stays (a folder of that name, no rights to remove it).
bool removeSqliteFiles(const QString &path)
{
    removeSqliteJournals(path);
    QFile::remove(path);
    return !QFileInfo::exists(path);
}

// A server database is built as NAME_new_<stamp> and the one it replaces
// becomes NAME_old_<stamp> until it is dropped: a run killed half-way never
// leaves NAME half-made.
constexpr int kStampDigits = 17;

QString stampNow() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")); }

// NAME, shortened where NAME_new_<stamp> would exceed the server's longest
// name (PostgreSQL cuts names at 63 bytes, SQL Server takes 128 characters).
QString sidePrefix(Backend backend, const QString &name)
{
    const bool bytes = backend != Backend::Mssql;
    const int room = (bytes ? 63 : 128) - 5 - kStampDigits;
    QString prefix = name;
    while (!prefix.isEmpty() && (bytes ? int(prefix.toUtf8().size()) : int(prefix.size())) > room)
        prefix.chop(1);
    return prefix;
}

QString sideName(Backend backend, const QString &name, const QString &tag, const QString &stamp)
{
    return sidePrefix(backend, name) + QLatin1Char('_') + tag + QLatin1Char('_') + stamp;
}

bool isSideName(Backend backend, const QString &name, const QString &tag, const QString &candidate)
{
    const QString head = sidePrefix(backend, name) + QLatin1Char('_') + tag + QLatin1Char('_');
    if (!candidate.startsWith(head) || candidate.size() != head.size() + kStampDigits)
        return false;
    for (const QChar c : candidate.mid(head.size()))
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Other sessions on a database stop its rename: they are sent away first, as
// DROP DATABASE ... WITH (FORCE) does. One at a time, so that one the login
// may not end does not spare the others.
void terminatePsqlSessions(const QSqlDatabase &admin, const QString &name)
{
    QSqlQuery q(admin);
    if (!Sql::exec(q, QStringLiteral("select pid from pg_stat_activity where datname = :name and pid <> pg_backend_pid()"),
                   {{QStringLiteral("name"), name}}))
        return;
    QList<qint64> pids;
    while (q.next())
        pids.append(q.value(0).toLongLong());
    for (const qint64 pid : pids) {
        QSqlQuery kill(admin);
        Sql::exec(kill, QStringLiteral("select pg_terminate_backend(:pid)"), {{QStringLiteral("pid"), pid}});
    }
}

QString renameError(const QString &name, bool replacing, const QSqlError &e)
{
    // 55006: PostgreSQL's "being accessed by other users"; 5030: SQL Server could not lock it
    const QString code = e.nativeErrorCode();
    if (replacing && (code == QLatin1String("55006") || code == QLatin1String("5030")))
        return QStringLiteral("数据库 %1 正在被其他连接使用，无法替换，原有数据库没有改动。请关闭所有使用该数据库的程序后重试。").arg(name);
    const QString text = e.text().trimmed().isEmpty() ? QStringLiteral("unknown error") : e.text().trimmed();
    return replacing ? QStringLiteral("无法替换原有数据库 %1，原有数据库没有改动：%2").arg(name, text)
                     : QStringLiteral("创建数据库失败：%1").arg(text);
}

// Gives database `from` the name of `settings`. With `replacedAs`, the
// database of that name is renamed to it first; on PostgreSQL both renames
// are one transaction, so the name always stands for a whole database. SQL
// Server renames only outside a transaction: a failed second rename puts the
// old name back.
bool moveServerDatabase(const DbSettings &settings, const QString &from, const QString &replacedAs, QString *error)
{
    ScopedConnection admin(kAdminConnection, DatabaseCreator::maintenanceSettings(settings), error);
    if (!admin.isOpen())
        return false;
    const Backend backend = settings.backend();
    const QString name = settings.database.trimmed();
    const bool replacing = !replacedAs.isEmpty();
    const QString qName = DatabaseCreator::quoteIdentifier(backend, name);
    const QString qFrom = DatabaseCreator::quoteIdentifier(backend, from);
    const QString qOld = DatabaseCreator::quoteIdentifier(backend, replacedAs);
    QSqlDatabase db = admin.db();
    QSqlQuery q(db);
    if (backend == Backend::Psql) {
        if (replacing)
            terminatePsqlSessions(db, name);
        Transaction t(db);
        bool ok = t.isActive();
        if (ok && replacing)
            ok = q.exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(qName, qOld));
        if (ok)
            ok = q.exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(qFrom, qName));
        if (!ok) {
            *error = renameError(name, replacing, q.lastError().isValid() ? q.lastError() : db.lastError());
            return false;
        }
        QString commitError;
        if (!t.commit(&commitError)) {
            *error = renameError(name, replacing, QSqlError(commitError, QString(), QSqlError::TransactionError));
            return false;
        }
        return true;
    }
    if (replacing) {
        q.exec(QStringLiteral("ALTER DATABASE %1 SET SINGLE_USER WITH ROLLBACK IMMEDIATE").arg(qName));
        if (!q.exec(QStringLiteral("ALTER DATABASE %1 MODIFY NAME = %2").arg(qName, qOld))) {
            *error = renameError(name, replacing, q.lastError());
            QSqlQuery(db).exec(QStringLiteral("ALTER DATABASE %1 SET MULTI_USER").arg(qName));
            return false;
        }
    }
    if (!q.exec(QStringLiteral("ALTER DATABASE %1 MODIFY NAME = %2").arg(qFrom, qName))) {
        *error = renameError(name, replacing, q.lastError());
        if (replacing) {
            QSqlQuery back(db);
            back.exec(QStringLiteral("ALTER DATABASE %1 MODIFY NAME = %2").arg(qOld, qName));
            back.exec(QStringLiteral("ALTER DATABASE %1 SET MULTI_USER").arg(qName));
        }
        return false;
    }
    return true;
}
} // namespace

DatabaseCreator::DatabaseCreator(SetupOptions options) : m_options(std::move(options)) {}

void DatabaseCreator::report(const QString &text, int percent) const
{
    if (m_progress)
        m_progress(text, percent);
}

bool DatabaseCreator::validDatabaseName(const QString &name)
{
    if (name.isEmpty() || name.size() > 100)
        return false;
    for (const QChar c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-'))
            return false;
    return true;
}

QString DatabaseCreator::quoteIdentifier(Backend backend, const QString &name)
{
    if (backend == Backend::Mssql) {
        QString n = name;
        n.replace(QLatin1Char(']'), QLatin1String("]]"));
        return QLatin1Char('[') + n + QLatin1Char(']');
    }
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

DbSettings DatabaseCreator::maintenanceSettings(const DbSettings &settings)
{
    DbSettings s = settings;
    s.database = settings.backend() == Backend::Mssql ? QStringLiteral("master") : QStringLiteral("postgres");
    return s;
}

bool DatabaseCreator::serverDatabaseExists(const DbSettings &settings, bool *exists, QString *error)
{
    ScopedConnection admin(kAdminConnection, maintenanceSettings(settings), error);
    if (!admin.isOpen())
        return false;
    QSqlQuery q(admin.db());
    const QString sql = settings.backend() == Backend::Mssql
                            ? QStringLiteral("select count(*) from sys.databases where name = :name")
                            : QStringLiteral("select count(*) from pg_database where datname = :name");
    if (!Sql::exec(q, sql, {{QStringLiteral("name"), settings.database.trimmed()}}) || !q.next()) {
        if (error)
            *error = errorOf(q);
        return false;
    }
    *exists = q.value(0).toInt() > 0;
    return true;
}

bool DatabaseCreator::createServerDatabase(const DbSettings &settings, QString *error)
{
    const QString name = settings.database.trimmed();
    if (!validDatabaseName(name)) {
        if (error)
            *error = QStringLiteral("数据库名称只能由字母、数字、下划线和减号组成：%1").arg(name);
        return false;
    }
    ScopedConnection admin(kAdminConnection, maintenanceSettings(settings), error);
    if (!admin.isOpen())
        return false;
    QSqlQuery q(admin.db());
    const QString quoted = quoteIdentifier(settings.backend(), name);
    bool ok;
    if (settings.backend() == Backend::Mssql) {
        // case-insensitive comparisons, and GBK for the single-byte columns
        ok = q.exec(QStringLiteral("CREATE DATABASE %1 COLLATE Chinese_PRC_CI_AS").arg(quoted));
    } else {
        ok = q.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(quoted));
        // a server whose default locale does not fit UTF-8 refuses that; take its defaults then
        if (!ok)
            ok = q.exec(QStringLiteral("CREATE DATABASE %1").arg(quoted));
    }
    if (!ok && error)
        *error = errorOf(q);
    return ok;
}

bool DatabaseCreator::dropServerDatabase(const DbSettings &settings, QString *error)
{
    const QString name = settings.database.trimmed();
    if (!validDatabaseName(name)) {
        if (error)
            *error = QStringLiteral("数据库名称不正确：%1").arg(name);
        return false;
    }
    ScopedConnection admin(kAdminConnection, maintenanceSettings(settings), error);
    if (!admin.isOpen())
        return false;
    QSqlQuery q(admin.db());
    const QString quoted = quoteIdentifier(settings.backend(), name);
    bool ok;
    if (settings.backend() == Backend::Mssql) {
        // other workstations still connected are sent away first
        q.exec(QStringLiteral("ALTER DATABASE %1 SET SINGLE_USER WITH ROLLBACK IMMEDIATE").arg(quoted));
        ok = q.exec(QStringLiteral("DROP DATABASE %1").arg(quoted));
    } else {
        ok = q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted));
        // servers before PostgreSQL 13 know no FORCE
        if (!ok)
            ok = q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quoted));
    }
    if (!ok && error)
        *error = errorOf(q);
    return ok;
}

int DatabaseCreator::tableCount(const QSqlDatabase &db)
{
    QString sql;
    switch (Database::dialectOf(db).backend()) {
    case Backend::Sqlite:
        sql = QStringLiteral("select count(*) from sqlite_master where type = 'table' and name not like 'sqlite!_%' escape '!'");
        break;
    case Backend::Psql:
        sql = QStringLiteral("select count(*) from information_schema.tables where table_schema = current_schema() "
                             "and table_type = 'BASE TABLE'");
        break;
    case Backend::Mssql:
        sql = QStringLiteral("select count(*) from sys.tables");
        break;
    }
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

bool DatabaseCreator::writeConfig(const QString &configPath, const DbSettings &settings)
{
    Config cfg(configPath);
    const QString section = QStringLiteral("DBconn");
    return cfg.writeString(section, QStringLiteral("driver"), SqlDialect::backendName(settings.backend()))
           && cfg.writeString(section, QStringLiteral("server"), settings.server)
           && cfg.writeString(section, QStringLiteral("Database"), settings.database.trimmed())
           && cfg.writeString(section, QStringLiteral("password"), SavePass(settings.password));
}

QString DatabaseCreator::targetText() const
{
    const DbSettings &s = m_options.settings;
    if (s.backend() == Backend::Sqlite)
        return QDir::toNativeSeparators(QFileInfo(s.sqliteFile()).absoluteFilePath());
    return QStringLiteral("%1 / %2").arg(s.server, s.database.trimmed());
}

bool DatabaseCreator::targetExists(bool *holdsTables, QString *error) const
{
    const DbSettings &s = m_options.settings;
    *holdsTables = false;
    if (s.backend() == Backend::Sqlite) {
        const bool exists = QFileInfo::exists(s.sqliteFile());
        *holdsTables = exists;
        return exists;
    }
    bool exists = false;
    if (!serverDatabaseExists(s, &exists, error) || !exists)
        return false;
    ScopedConnection target(QStringLiteral("qelsetup_probe"), s, error);
    *holdsTables = !target.isOpen() || tableCount(target.db()) != 0;
    return true;
}

bool DatabaseCreator::fill(const QString &connection, QString *error)
{
    QSqlDatabase db = Database::connection(connection);
    report(QStringLiteral("正在创建数据表和初始数据 ..."), 5);
    QString err;
    if (!SchemaSetup::createSchema(db, &err)) {
        *error = QStringLiteral("创建数据表失败：%1").arg(err);
        return false;
    }
    if (m_options.demoCustomers > 0) {
        DemoData::Options o;
        o.customers = m_options.demoCustomers;
        o.seed = m_options.seed;
        o.today = m_options.today;
        DemoData demo(db, o);
        demo.setProgress([this](int done, int total) {
            report(QStringLiteral("正在生成演示数据：%1 / %2 个客户").arg(done).arg(total), 10 + int(85.0 * done / qMax(1, total)));
        });
        report(QStringLiteral("正在生成演示数据 ..."), 10);
        if (!demo.generate(error))
            return false;
    }
    return true;
}

bool DatabaseCreator::run(QString *error)
{
    QString err;
    const DbSettings &s = m_options.settings;
    if (s.database.trimmed().isEmpty()) {
        err = QStringLiteral("请输入数据库名称！");
    } else if (m_options.demoCustomers < 0) {
        err = QStringLiteral("演示客户数不能小于0！");
    } else {
        const bool ok = s.backend() == Backend::Sqlite ? runSqlite(&err) : runServer(&err);
        if (ok && m_options.writeConfig) {
            const QString cfg = QDir(s.baseDir.isEmpty() ? QDir::currentPath() : s.baseDir).filePath(QStringLiteral("Config.ini"));
            if (!QDir().mkpath(QFileInfo(cfg).absolutePath()) || !writeConfig(cfg, s))
                err = QStringLiteral("数据库已创建，但配置文件写入失败：%1").arg(QDir::toNativeSeparators(cfg));
            else
                report(QStringLiteral("已写入配置文件 %1").arg(QDir::toNativeSeparators(cfg)), 100);
        }
        if (ok && err.isEmpty()) {
            report(QStringLiteral("数据库创建完成：%1").arg(targetText()), 100);
            return true;
        }
    }
    if (error)
        *error = err;
    return false;
}

bool DatabaseCreator::runSqlite(QString *error)
{
    const DbSettings &s = m_options.settings;
    const QString path = QFileInfo(s.sqliteFile()).absoluteFilePath();
    if (QFileInfo::exists(path) && !m_options.force) {
        *error = QStringLiteral("数据库文件已经存在：%1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("无法创建文件夹：%1").arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        return false;
    }
    // Built beside the target and moved over it at the end, so a failed run
    // leaves the old database (or nothing) in place. A file there already is
    // what a killed run left.
    const QString temp = path + QStringLiteral(".new");
    if (!removeSqliteFiles(temp)) {
        *error = QStringLiteral("无法删除上次留下的临时文件：%1").arg(QDir::toNativeSeparators(temp));
        return false;
    }
    DbSettings ts = s;
    ts.database = temp;
    const QString conn = QStringLiteral("qelsetup_target");
    bool ok;
    {
        ScopedConnection target(conn, ts, error);
        ok = target.isOpen();
        if (ok) {
            QSqlQuery q(target.db());
            // a file nobody uses yet: no need to survive a power cut half-way
            q.exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
            q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
            ok = fill(conn, error);
            if (ok) {
                // but on disk before it replaces the old file
                q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
                q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
                q.exec(QStringLiteral("ANALYZE"));
            }
        }
    }
    if (!ok) {
        removeSqliteFiles(temp);
        return false;
    }
    // rename() puts the new file in place of the old one in a single step:
    // until it succeeds the old file is untouched
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        removeSqliteFiles(temp);
        *error = QStringLiteral("无法写入数据库文件：%1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    // journals of the replaced file would be played into the new one
    removeSqliteJournals(path);
    return true;
}

void DatabaseCreator::dropLeftovers(const DbSettings &settings)
{
    const Backend backend = settings.backend();
    const QString name = settings.database.trimmed();
    QString err;
    ScopedConnection admin(kAdminConnection, maintenanceSettings(settings), &err);
    if (!admin.isOpen())
        return;
    QSqlQuery q(admin.db());
    if (!q.exec(backend == Backend::Mssql ? QStringLiteral("select name from sys.databases")
                                          : QStringLiteral("select datname from pg_database")))
        return;
    QStringList leftovers;
    while (q.next())
        if (isSideName(backend, name, QStringLiteral("new"), q.value(0).toString()))
            leftovers.append(q.value(0).toString());
    for (const QString &leftover : leftovers) {
        report(QStringLiteral("正在删除上次未完成的临时数据库 %1 ...").arg(leftover), 2);
        // without FORCE: one still in use belongs to a run that is still going,
        // and its name differs from ours anyway
        QSqlQuery drop(admin.db());
        drop.exec(backend == Backend::Mssql ? QStringLiteral("DROP DATABASE %1").arg(quoteIdentifier(backend, leftover))
                                            : QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quoteIdentifier(backend, leftover)));
    }
}

bool DatabaseCreator::runServer(QString *error)
{
    const DbSettings &s = m_options.settings;
    const Backend backend = s.backend();
    const QString name = s.database.trimmed();
    QString err;
    if (!validDatabaseName(name)) {
        *error = QStringLiteral("数据库名称只能由字母、数字、下划线和减号组成：%1").arg(name);
        return false;
    }
    report(QStringLiteral("正在连接服务器 %1 ...").arg(s.server), 1);
    bool exists = false;
    if (!serverDatabaseExists(s, &exists, &err)) {
        *error = QStringLiteral("无法连接服务器：%1").arg(err);
        return false;
    }
    if (exists) {
        int tables = -1;
        {
            ScopedConnection probe(QStringLiteral("qelsetup_probe"), s, &err);
            if (probe.isOpen())
                tables = tableCount(probe.db());
        }
        if (tables == 0) {
            // an empty database made for us (by the server's administrator, say) is used as it is
            const QString conn = QStringLiteral("qelsetup_target");
            ScopedConnection target(conn, s, &err);
            if (!target.isOpen() || !fill(conn, &err)) {
                *error = err;
                return false;
            }
            return true;
        }
        if (!m_options.force) {
            *error = QStringLiteral("数据库 %1 已经存在并且有数据表，未做任何改动。").arg(name);
            return false;
        }
    }
    const bool replacing = exists;
    dropLeftovers(s);

    // built under a name of its own; NAME is not touched until it is complete
    const QString stamp = stampNow();
    DbSettings temp = s;
    temp.database = sideName(backend, name, QStringLiteral("new"), stamp);
    report(QStringLiteral("正在创建数据库 %1 ...").arg(name), 3);
    if (!createServerDatabase(temp, &err)) {
        *error = QStringLiteral("创建数据库失败：%1").arg(err);
        return false;
    }
    bool ok;
    {
        const QString conn = QStringLiteral("qelsetup_target");
        ScopedConnection target(conn, temp, &err);
        ok = target.isOpen() && fill(conn, &err);
    }
    DbSettings old = s;
    old.database = replacing ? sideName(backend, name, QStringLiteral("old"), stamp) : QString();
    if (ok) {
        if (replacing)
            report(QStringLiteral("正在用新数据库替换原有数据库 %1 ...").arg(name), 96);
        ok = moveServerDatabase(s, temp.database, old.database, &err);
    }
    if (!ok) {
        QString ignored;
        dropServerDatabase(temp, &ignored);
        *error = err;
        return false;
    }
    if (replacing) {
        report(QStringLiteral("正在删除原有数据库 %1 ...").arg(old.database), 98);
        if (!dropServerDatabase(old, &err))
            report(QStringLiteral("新数据库已启用；原有数据库已改名为 %1，但无法删除，可以以后手动删除：%2").arg(old.database, err), 100);
    }
    return true;
}
