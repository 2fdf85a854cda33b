#include "StatisticsQuery.h"

QStringList StatisticsConfig::emptyDates() const
{
    QStringList out;
    for (const char *f : emptyDateFields)
        out.append(QString::fromLatin1(f));
    const QString dateField = QString::fromLatin1(dateColumn).section(QLatin1Char('.'), -1);
    if (!dateField.isEmpty() && !out.contains(dateField, Qt::CaseInsensitive))
        out.append(dateField);
    return out;
}

BoundStatement StatisticsFilter::statement(const StatisticsConfig &config) const
{
    FilterBuilder b(QString::fromUtf8(config.baseSql));
    b.addSalespersonScope(QString::fromLatin1(config.scopeColumn));
    b.addDateRange(QString::fromLatin1(config.dateColumn), dates);
    for (const ConditionValue &c : conditions) {
        QStringList columns;
        for (const QString &col : c.column.split(QLatin1Char(','), Qt::SkipEmptyParts))
            columns.append(col.trimmed());
        b.addText(columns, c.text, c.match);
    }
    return b.statement(QString::fromLatin1(config.orderBy));
}
