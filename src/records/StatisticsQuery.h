#pragma once

#include "RecordCatalogue.h"
#include "RecordFilter.h"

#include <QString>
#include <QVector>

#include <span>

// A number format of the session that a statistics column takes.
enum class SessionFormat { Quantity, UnitPrice, Money };

struct ColumnFormat
{
    const char *field;
    SessionFormat format;
};

// Everything that differs between the statistics windows: one constant of
// this type per window. The conditions panel is the member's own.
struct StatisticsConfig
{
    const char *name;    // the window's object name (its class name)
    const char *caption; // window caption
    // "select ... Where (1=1) " with the record joined to its customer
    const char *baseSql;
    const char *dateColumn;           // "lx.F_date"
    const char *dateCaption = "日期"; // before "自"
    const char *orderBy = "";
    const char *layout = "";
    const char *exportTitle = "";
    std::span<const RecordColumn> columns = {}; // as designed; sums make the footer
    std::span<const char *const> emptyDateFields = {};
    std::span<const ColumnFormat> formats = {};
    const char *scopeColumn = ""; // the salesperson scope applies to this column

    QStringList emptyDates() const;
};

// One condition as the panel holds it: the column, how it matches, the text.
struct ConditionValue
{
    QString column;
    TextMatch match = TextMatch::Anywhere;
    QString text;
};

// What the conditions panel of a statistics window holds.
struct StatisticsFilter
{
    DateRange dates;
    QVector<ConditionValue> conditions; // in the member's order

    BoundStatement statement(const StatisticsConfig &config) const;
};
