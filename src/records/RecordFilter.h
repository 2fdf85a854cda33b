#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

// A statement with the values of its ":name" markers.
struct BoundStatement
{
    QString sql;
    QVariantMap params;
};

// How a typed value matches a column: anywhere in it, at its beginning, or
// the whole of it.
enum class TextMatch { Anywhere, Prefix, Equal };

// An optional date range as the date pickers of a list give it.
struct DateRange
{
    bool fromChecked = false;
    QDate from;
    bool toChecked = false;
    QDate to;
};

// Assembles a filtered statement piece by piece for the list and statistics
// windows. Every value is bound; typed text matches literally (LIKE wildcards
// in it are escaped) and ignores case on every backend.
class FilterBuilder
{
public:
    // `base` ends in "where (1=1) " or the like: pieces start with "and".
    explicit FilterBuilder(const QString &base);

    // Nothing for a value that is empty once trimmed. With several columns,
    // a row matches when any of them does.
    void addText(const QStringList &columns, const QString &value, TextMatch match);
    void addText(const QString &column, const QString &value, TextMatch match)
    {
        addText(QStringList{column}, value, match);
    }
    // The ticked bounds of a range; the upper bound takes in the whole of its
    // day, whatever time the rows of that day carry.
    void addDateRange(const QString &column, const DateRange &range);
    // The operator's salesperson scope on the given column (nothing for scope 0).
    void addSalespersonScope(const QString &column);

    BoundStatement statement(const QString &orderBy = {}) const;

private:
    QString nextParam();

    QString m_sql;
    QVariantMap m_params;
    int m_next = 0;
};

// A text with "{field}" placeholders filled from a row (questions built from
// the current record).
QString fillFieldTemplate(const QString &text, const std::function<QString(const QString &field)> &value);
