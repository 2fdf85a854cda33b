#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

// Inserts many rows into one table quickly: several rows per statement, each
// statement prepared once and run again with new bound values. Values are
// always bound. Runs inside the caller's transaction.
class BatchInserter
{
public:
    BatchInserter(const QSqlDatabase &db, const QString &table, const QStringList &columns);
    ~BatchInserter();

    // Adds a row (values in column order); writes a full batch when one is ready.
    bool add(const QVariantList &row);
    // Writes the rows still held.
    bool flush();

    QString error() const { return m_error; }
    qint64 rowsWritten() const { return m_written; }
    int rowsPerStatement() const { return m_rowsPerStatement; }

private:
    QString statement(int rows) const;
    bool write(int rows);

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    int m_rowsPerStatement = 1;
    QVariantList m_pending;
    std::unique_ptr<QSqlQuery> m_full;
    QString m_error;
    qint64 m_written = 0;
};
