#include "BatchInserter.h"

#include <QSqlError>

namespace {
// Within what every backend accepts in one statement: SQLite's default of 999
// variables, SQL Server's 2100 parameters and 1000 rows of VALUES.
constexpr int kMaxParams = 999;
constexpr int kMaxRows = 200;
} // namespace

BatchInserter::BatchInserter(const QSqlDatabase &db, const QString &table, const QStringList &columns)
    : m_db(db), m_table(table), m_columns(columns)
{
    m_rowsPerStatement = qBound(1, kMaxParams / qMax(1, int(columns.size())), kMaxRows);
    m_pending.reserve(m_rowsPerStatement * columns.size());
}

BatchInserter::~BatchInserter() = default;

QString BatchInserter::statement(int rows) const
{
    QString marks = QStringLiteral("(");
    for (int i = 0; i < m_columns.size(); ++i)
        marks += i ? QStringLiteral(",?") : QStringLiteral("?");
    marks += QLatin1Char(')');
    QStringList all;
    all.reserve(rows);
    for (int r = 0; r < rows; ++r)
        all.append(marks);
    return QStringLiteral("insert into %1 (%2) values %3").arg(m_table, m_columns.join(QLatin1Char(',')), all.join(QLatin1Char(',')));
}

bool BatchInserter::write(int rows)
{
    if (rows == 0)
        return true;
    QSqlQuery partial(m_db);
    QSqlQuery *q = &partial;
    if (rows == m_rowsPerStatement) {
        if (!m_full) {
            m_full = std::make_unique<QSqlQuery>(m_db);
            if (!m_full->prepare(statement(rows))) {
                m_error = m_full->lastError().text();
                m_full.reset();
                return false;
            }
        }
        q = m_full.get();
    } else if (!partial.prepare(statement(rows))) {
        m_error = partial.lastError().text();
        return false;
    }
    const int n = rows * int(m_columns.size());
    for (int i = 0; i < n; ++i)
        q->bindValue(i, m_pending.at(i));
    if (!q->exec()) {
        m_error = QStringLiteral("%1: %2").arg(m_table, q->lastError().text());
        return false;
    }
    m_written += rows;
    m_pending.clear();
    return true;
}

bool BatchInserter::add(const QVariantList &row)
{
    if (row.size() != m_columns.size()) {
        m_error = QStringLiteral("%1: %2 values for %3 columns").arg(m_table).arg(row.size()).arg(m_columns.size());
        return false;
    }
    m_pending.append(row);
    if (m_pending.size() >= m_rowsPerStatement * m_columns.size())
        return write(m_rowsPerStatement);
    return true;
}

bool BatchInserter::flush()
{
    const int rows = int(m_pending.size() / qMax(1, int(m_columns.size())));
    return write(rows);
}
