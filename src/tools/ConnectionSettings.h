#pragma once

#include "platform/Database.h"

#include <QString>

// The [DBconn] section of a workstation's Config.ini, as the connection tool
// edits it, and the connection test that uses the program's own code.
namespace ConnectionSettings {
// Reads [DBconn] of the file (defaults where keys are missing); the password
// comes back in clear. The SQLite file lies beside the Config.ini.
DbSettings load(const QString &configPath);
// Writes driver, server, Database and the coded password.
bool save(const QString &configPath, const DbSettings &settings);
// Opens the connection as the program does at start-up, with a short time
// limit, and closes it again; *error tells why it failed.
bool test(const DbSettings &settings, QString *error, int timeoutSeconds = 5);
} // namespace ConnectionSettings
