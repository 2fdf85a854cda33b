#include "ConnectionSettings.h"

#include "DatabaseCreator.h"
#include "platform/Config.h"
#include "platform/Messages.h"

#include <QFileInfo>

namespace ConnectionSettings {
DbSettings load(const QString &configPath)
{
    Config cfg(configPath);
    const QString section = QStringLiteral("DBconn");
    DbSettings s;
    s.baseDir = QFileInfo(configPath).absolutePath();
    s.driver = SqlDialect::backendName(SqlDialect::backendFromName(cfg.readString(section, QStringLiteral("driver"), s.driver)));
    s.server = cfg.readString(section, QStringLiteral("server"), s.server);
    s.database = cfg.readString(section, QStringLiteral("Database"), s.database);
    s.password = GetPass(cfg.readString(section, QStringLiteral("password")));
    return s;
}

bool save(const QString &configPath, const DbSettings &settings)
{
    return DatabaseCreator::writeConfig(configPath, settings);
}

bool test(const DbSettings &settings, QString *error, int timeoutSeconds)
{
    DbSettings s = settings;
    s.timeoutSeconds = timeoutSeconds;
    const QString name = QStringLiteral("qelconn_test");
    const bool ok = Database::open(name, s, error);
    Database::close(name);
    return ok;
}
} // namespace ConnectionSettings
