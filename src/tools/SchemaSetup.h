#pragma once

#include "platform/SqlDialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Creates this program's tables and seed rows in an empty database, from the
// scripts under db/ (built into the program).
namespace SchemaSetup {
QString schemaScript(Backend backend);
QString seedScript();
// Statements of schema and seed, adapted to the backend.
QStringList statements(Backend backend);
// Runs them in one transaction; nothing is left behind when one fails.
bool createSchema(const QSqlDatabase &db, QString *error = nullptr);
// Whether the database already holds the program's tables.
bool hasSchema(const QSqlDatabase &db);
} // namespace SchemaSetup
