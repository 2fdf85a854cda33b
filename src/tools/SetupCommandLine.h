#pragma once

#include "DatabaseCreator.h"

#include <QStringList>

class QTextStream;

// The setup tool's command line:
//   Qelsetup [--driver sqlite|psql|mssql] [--server HOST[:PORT]] [--database NAME]
//            [--password P] [--dir DIR] [--demo N] [--seed N] [--force] [--write-config]
namespace SetupCommandLine {
QString usage();
// Reads the arguments (without the program name) over the defaults: SQLite,
// database Brenmoor, the folder `defaultDir`. *help when help was asked for.
bool parse(const QStringList &args, const QString &defaultDir, SetupOptions *options, bool *help, QString *error);
// Creates the database, telling progress on `out` and failure on `err`;
// gives the process exit code.
int run(const SetupOptions &options, QTextStream &out, QTextStream &err);
} // namespace SetupCommandLine
