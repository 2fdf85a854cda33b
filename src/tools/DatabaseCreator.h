#pragma once

#include "platform/Database.h"

#include <QDate>
#include <QString>

#include <functional>

// What the setup tool is asked to do.
struct SetupOptions
{
    // Where: driver, server, database name, password. For SQLite the file is
    // <baseDir>/<database>.db.
    DbSettings settings;
    int demoCustomers = 0;
    quint32 seed = 20260101;
    // The day demo dates lead up to; the current date when not set.
    QDate today;
    // Replace an existing database instead of refusing to touch it.
    bool force = false;
    // Write [DBconn] of <baseDir>/Config.ini so the program finds the database.
    bool writeConfig = false;
};

// Creates a database for the program: the SQLite file, or the database on a
// PostgreSQL or SQL Server server (made through the server's maintenance
// database), then the tables, the seed rows and, when asked, the demo data.
// An existing database is never touched without `force`. The new database is
// built under a temporary name (<file>.new, NAME_new_<stamp>) and takes the
// name only when it is complete, so a run that fails or is killed leaves the
// old database as it was; the replaced one is removed after the swap.
class DatabaseCreator
{
public:
    // text for the operator, and the share done so far (0..100)
    using Progress = std::function<void(const QString &text, int percent)>;

    explicit DatabaseCreator(SetupOptions options);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    const SetupOptions &options() const { return m_options; }

    // Whether the target already exists (the file, or the database on the
    // server); *holdsTables tells whether it already has tables.
    bool targetExists(bool *holdsTables, QString *error) const;
    // Does everything; *error tells the operator why it failed.
    bool run(QString *error);
    // Where the result is, for the closing message.
    QString targetText() const;

    // --- server databases (also used by the tests)
    // A name the tool will put into CREATE DATABASE: letters, digits, _ and -.
    static bool validDatabaseName(const QString &name);
    static QString quoteIdentifier(Backend backend, const QString &name);
    // The same server and login, on its maintenance database (postgres, master).
    static DbSettings maintenanceSettings(const DbSettings &settings);
    static bool serverDatabaseExists(const DbSettings &settings, bool *exists, QString *error);
    static bool createServerDatabase(const DbSettings &settings, QString *error);
    static bool dropServerDatabase(const DbSettings &settings, QString *error);
    // Number of tables in an open database (-1 on failure).
    static int tableCount(const QSqlDatabase &db);

    // Writes [DBconn] of the Config.ini at `configPath` (password coded).
    static bool writeConfig(const QString &configPath, const DbSettings &settings);

private:
    bool runSqlite(QString *error);
    bool runServer(QString *error);
    // Drops what runs that were killed left on the server under temporary names.
    void dropLeftovers(const DbSettings &settings);
    // Schema, seed and demo data in an open, empty database.
    bool fill(const QString &connection, QString *error);
    void report(const QString &text, int percent) const;

    SetupOptions m_options;
    Progress m_progress;
};
