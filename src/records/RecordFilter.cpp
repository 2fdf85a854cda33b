#include "RecordFilter.h"

#include "app/SalespersonScope.h"
#include "platform/SqlDialect.h"

#include <QRegularExpression>

FilterBuilder::FilterBuilder(const QString &base) : m_sql(base)
{
    if (!m_sql.endsWith(QLatin1Char(' ')))
        m_sql += QLatin1Char(' ');
}

QString FilterBuilder::nextParam() { return QStringLiteral("f%1").arg(m_next++); }

void FilterBuilder::addText(const QStringList &columns, const QString &value, TextMatch match)
{
    const QString v = value.trimmed();
    if (v.isEmpty() || columns.isEmpty())
        return;
    const QString p = nextParam();
    QStringList tests;
    if (match == TextMatch::Equal) {
        for (const QString &c : columns)
            tests.append(SqlDialect::textEquals(c, p, v, &m_params));
    } else {
        for (const QString &c : columns)
            tests.append(QStringLiteral("COALESCE(%1,'') like :%2%3").arg(c, p, SqlDialect::likeEscapeClause()));
        const QString escaped = SqlDialect::escapeLike(v);
        m_params.insert(p, match == TextMatch::Anywhere ? QLatin1Char('%') + escaped + QLatin1Char('%')
                                                        : escaped + QLatin1Char('%'));
    }
    m_sql += QStringLiteral("and (%1) ").arg(tests.join(QStringLiteral(" or ")));
}

void FilterBuilder::addDateRange(const QString &column, const DateRange &range)
{
    if (range.fromChecked && range.from.isValid()) {
        const QString p = nextParam();
        m_sql += QStringLiteral("and %1 >= :%2 ").arg(column, p);
        m_params.insert(p, range.from.toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (range.toChecked && range.to.isValid()) {
        // before the next day: rows stored with a time of day stay in
        const QString p = nextParam();
        m_sql += QStringLiteral("and %1 < :%2 ").arg(column, p);
        m_params.insert(p, range.to.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    }
}

void FilterBuilder::addSalespersonScope(const QString &column)
{
    if (!column.isEmpty())
        m_sql += SalespersonScope::whereFragment(column, &m_params);
}

BoundStatement FilterBuilder::statement(const QString &orderBy) const
{
    BoundStatement st{m_sql, m_params};
    if (!orderBy.trimmed().isEmpty())
        st.sql += QStringLiteral("order by ") + orderBy;
    return st;
}

QString fillFieldTemplate(const QString &text, const std::function<QString(const QString &field)> &value)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{([A-Za-z_][A-Za-z0-9_]*)\\}"));
    QString out;
    qsizetype last = 0;
    auto it = placeholder.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        out += value ? value(m.captured(1)) : QString();
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}
