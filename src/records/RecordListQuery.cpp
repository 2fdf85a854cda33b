#include "RecordListQuery.h"

namespace {
constexpr SearchField kCustomerSearch[] = {
    {"客户名称", "c.F_name"},    {"客户编号", "c.F_code"},    {"城    市", "c.F_city"},
    {"地    址", "c.F_address"}, {"电    话", "c.F_phone"},   {"主营产品", "c.F_good"},
};
constexpr ValueListKind kCustomerValues[] = {
    {"客户类型", "c.F_type", "clttype"},   {"客户来源", "c.F_laiyuan", "laiyuan"},
    {"国    家", "c.F_country", "country"}, {"省    份", "c.F_province", "province"},
    {"客户需求", "c.F_xuqiu", "xuqiu"},    {"业 务 员", "c.F_empName", "empName"},
};

QStringList splitColumns(const char *columns)
{
    QStringList out;
    for (const QString &c : QString::fromLatin1(columns).split(QLatin1Char(','), Qt::SkipEmptyParts))
        out.append(c.trimmed());
    return out;
}
} // namespace

namespace RecordLists {
std::span<const SearchField> customerSearchFields() { return kCustomerSearch; }
std::span<const ValueListKind> customerValueKinds() { return kCustomerValues; }
} // namespace RecordLists

BoundStatement ValueListKind::sourceStatement() const
{
    if (*sourceSql)
        return {QString::fromUtf8(sourceSql), {}};
    if (*codeList)
        return {QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = :type order by F_name"),
                {{QStringLiteral("type"), QString::fromLatin1(codeList)}}};
    return {};
}

int RecordListConfig::searchFieldCount() const
{
    return int(searchFields.size()) + (customerFields ? int(std::size(kCustomerSearch)) : 0);
}

SearchField RecordListConfig::searchField(int index) const
{
    const int common = customerFields ? int(std::size(kCustomerSearch)) : 0;
    if (index < 0 || index >= searchFieldCount())
        return {"", ""};
    return index < common ? kCustomerSearch[index] : searchFields[index - common];
}

QStringList RecordListConfig::searchCaptions() const
{
    QStringList out;
    for (int i = 0; i < searchFieldCount(); ++i)
        out.append(QString::fromUtf8(searchField(i).caption));
    return out;
}

int RecordListConfig::valueKindCount() const
{
    return int(valueKinds.size()) + (customerFields ? int(std::size(kCustomerValues)) : 0);
}

ValueListKind RecordListConfig::valueKind(int index) const
{
    const int common = customerFields ? int(std::size(kCustomerValues)) : 0;
    if (index < 0 || index >= valueKindCount())
        return {"", ""};
    return index < common ? kCustomerValues[index] : valueKinds[index - common];
}

QStringList RecordListConfig::valueKindCaptions() const
{
    QStringList out;
    for (int i = 0; i < valueKindCount(); ++i)
        out.append(QString::fromUtf8(valueKind(i).caption));
    return out;
}

QString RecordListConfig::layoutToLoad() const
{
    return QString::fromLatin1(*loadLayout ? loadLayout : info().listLayout);
}

QString RecordListConfig::layoutToSave() const { return *saveLayout ? QString::fromLatin1(saveLayout) : layoutToLoad(); }

QString RecordListConfig::listExportTitle() const
{
    return QString::fromUtf8(*exportTitle ? exportTitle : info().exportTitle);
}

QStringList RecordListConfig::emptyDates() const
{
    QStringList out = info().emptyDates();
    for (const char *f : emptyDateFields)
        if (!out.contains(QString::fromLatin1(f), Qt::CaseInsensitive))
            out.append(QString::fromLatin1(f));
    // the date the list is filtered on is a record date that may be empty
    const QString dateField = QString::fromLatin1(dateColumn).section(QLatin1Char('.'), -1);
    if (!dateField.isEmpty() && !out.contains(dateField, Qt::CaseInsensitive))
        out.append(dateField);
    return out;
}

BoundStatement RecordListFilter::statement(const RecordListConfig &config) const
{
    FilterBuilder b(QString::fromUtf8(config.baseSql));
    b.addSalespersonScope(QString::fromLatin1(config.scopeColumn));
    if (*config.dateColumn)
        b.addDateRange(QString::fromLatin1(config.dateColumn), dates);
    if (searchField >= 0 && searchField < config.searchFieldCount()) {
        const SearchField f = config.searchField(searchField);
        b.addText(splitColumns(f.columns), searchText, f.match);
    }
    if (valueChosen && valueKind >= 0 && valueKind < config.valueKindCount()) {
        const ValueListKind k = config.valueKind(valueKind);
        b.addText(QString::fromLatin1(k.column), value, TextMatch::Equal);
    }
    return b.statement(QString::fromLatin1(config.orderBy));
}
