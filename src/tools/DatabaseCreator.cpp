#include "DatabaseCreator.h"

#include "DemoData.h"
#include "SchemaSetup.h"
#include "platform/Config.h"
#include "platform/Messages.h"

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

void removeSqliteFiles(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
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
    // leaves the old database (or nothing) in place.
    const QString temp = path + QStringLiteral(".new");
    removeSqliteFiles(temp);
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
                q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
                q.exec(QStringLiteral("ANALYZE"));
            }
        }
    }
    if (!ok) {
        removeSqliteFiles(temp);
        return false;
    }
    removeSqliteFiles(path);
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        removeSqliteFiles(temp);
        *error = QStringLiteral("无法写入数据库文件：%1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

bool DatabaseCreator::runServer(QString *error)
{
    const DbSettings &s = m_options.settings;
    QString err;
    if (!validDatabaseName(s.database.trimmed())) {
        *error = QStringLiteral("数据库名称只能由字母、数字、下划线和减号组成：%1").arg(s.database.trimmed());
        return false;
    }
    report(QStringLiteral("正在连接服务器 %1 ...").arg(s.server), 1);
    bool exists = false;
    if (!serverDatabaseExists(s, &exists, &err)) {
        *error = QStringLiteral("无法连接服务器：%1").arg(err);
        return false;
    }
    bool created = false;
    if (exists) {
        int tables = -1;
        {
            ScopedConnection probe(QStringLiteral("qelsetup_probe"), s, &err);
            if (probe.isOpen())
                tables = tableCount(probe.db());
        }
        if (tables != 0) {
            if (!m_options.force) {
                *error = QStringLiteral("数据库 %1 已经存在并且有数据表，未做任何改动。").arg(s.database.trimmed());
                return false;
            }
            report(QStringLiteral("正在删除原有数据库 %1 ...").arg(s.database.trimmed()), 2);
            if (!dropServerDatabase(s, &err)) {
                *error = QStringLiteral("无法删除原有数据库：%1").arg(err);
                return false;
            }
            exists = false;
        }
    }
    if (!exists) {
        report(QStringLiteral("正在创建数据库 %1 ...").arg(s.database.trimmed()), 3);
        if (!createServerDatabase(s, &err)) {
            *error = QStringLiteral("创建数据库失败：%1").arg(err);
            return false;
        }
        created = true;
    }
    bool ok;
    {
        const QString conn = QStringLiteral("qelsetup_target");
        ScopedConnection target(conn, s, &err);
        ok = target.isOpen() && fill(conn, &err);
    }
    if (!ok) {
        // a database made by this run goes again; one that was there stays as it was
        QString ignored;
        if (created)
            dropServerDatabase(s, &ignored);
        *error = err;
        return false;
    }
    return true;
}
