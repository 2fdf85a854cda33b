#include "CustomerQuery.h"

#include "app/SalespersonScope.h"
#include "platform/Format.h"
#include "platform/SqlDialect.h"

#include <QStringList>

namespace {
enum class Match { Anywhere, Prefix, Equal };

// Appends "and COALESCE(column,'') like :p" (or "column = :p") for a non-empty value.
void addText(QString &sql, QVariantMap &params, const QString &column, const QString &value, Match match)
{
    const QString v = value.trimmed();
    if (v.isEmpty())
        return;
    const QString p = QStringLiteral("p%1").arg(params.size());
    if (match == Match::Equal) {
        sql += QStringLiteral("and %1 ").arg(SqlDialect::textEquals(column, p, v, &params));
        return;
    }
    sql += QStringLiteral("and COALESCE(%1,'') like :%2%3 ").arg(column, p, SqlDialect::likeEscapeClause());
    const QString escaped = SqlDialect::escapeLike(v);
    params.insert(p, match == Match::Anywhere ? QLatin1Char('%') + escaped + QLatin1Char('%') : escaped + QLatin1Char('%'));
}

// Bounds on a date column; the upper bound takes in the whole of its day.
void addDateBounds(QString &sql, QVariantMap &params, const QString &column, const CustomerSearch::DateRange &r)
{
    if (r.fromChecked) {
        const QString p = QStringLiteral("p%1").arg(params.size());
        sql += QStringLiteral("and %1 >= :%2 ").arg(column, p);
        params.insert(p, r.from.toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (r.toChecked) {
        const QString p = QStringLiteral("p%1").arg(params.size());
        sql += QStringLiteral("and %1 < :%2 ").arg(column, p);
        params.insert(p, r.to.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    }
}
} // namespace

QStringList CustomerFilter::searchFieldCaptions()
{
    return {QStringLiteral("客户名称"), QStringLiteral("客户编号"), QStringLiteral("城    市"), QStringLiteral("地    址"),
            QStringLiteral("电    话"), QStringLiteral("传    真"), QStringLiteral("邮    编"), QStringLiteral("法人代表"),
            QStringLiteral("税    号"), QStringLiteral("主营产品"), QStringLiteral("主联系人"), QStringLiteral("品    名")};
}

QStringList CustomerFilter::valueKindCaptions()
{
    return {QStringLiteral("客户类型"), QStringLiteral("客户来源"), QStringLiteral("国    家"),
            QStringLiteral("省    份"), QStringLiteral("客户需求"), QStringLiteral("业 务 员")};
}

QString CustomerFilter::valueKindCodeList(int kind)
{
    static const char *lists[] = {"clttype", "laiyuan", "country", "province", "xuqiu", "empName"};
    return kind >= 0 && kind < 6 ? QString::fromLatin1(lists[kind]) : QString();
}

SqlStatement CustomerFilter::statement() const
{
    SqlStatement st;
    QString &sql = st.sql;
    QVariantMap &params = st.params;
    sql = QStringLiteral("select * from t_client where (1=1) ");
    sql += SalespersonScope::whereFragment(QStringLiteral("F_empName"), &params);

    const QString t = searchText.trimmed();
    if (!t.isEmpty()) {
        switch (searchField) {
        case 0: addText(sql, params, QStringLiteral("f_name"), t, Match::Anywhere); break;
        case 1: addText(sql, params, QStringLiteral("f_code"), t, Match::Prefix); break;
        case 2: addText(sql, params, QStringLiteral("f_city"), t, Match::Prefix); break;
        case 3: addText(sql, params, QStringLiteral("f_address"), t, Match::Anywhere); break;
        case 4: addText(sql, params, QStringLiteral("f_phone"), t, Match::Prefix); break;
        case 5: addText(sql, params, QStringLiteral("f_fax"), t, Match::Prefix); break;
        case 6: addText(sql, params, QStringLiteral("f_postcode"), t, Match::Prefix); break;
        case 7: addText(sql, params, QStringLiteral("f_enrol"), t, Match::Prefix); break;
        case 8: addText(sql, params, QStringLiteral("f_shuihao"), t, Match::Prefix); break;
        case 9: addText(sql, params, QStringLiteral("f_good"), t, Match::Anywhere); break;
        case 10: // customers with a contact whose name begins with the text
            sql += QStringLiteral("and f_cltID in (select F_cltID from t_linkman where COALESCE(F_name,'') like :contact%1) ")
                       .arg(SqlDialect::likeEscapeClause());
            params.insert(QStringLiteral("contact"), SqlDialect::escapeLike(t) + QLatin1Char('%'));
            break;
        case 11: // customers using a product of that name
            sql += QStringLiteral("and f_cltID in (select F_cltID from t_GooDrec where COALESCE(F_GDname,'') like :goods%1) ")
                       .arg(SqlDialect::likeEscapeClause());
            params.insert(QStringLiteral("goods"), QLatin1Char('%') + SqlDialect::escapeLike(t) + QLatin1Char('%'));
            break;
        default:
            break;
        }
    }

    // A category takes in its sub-categories, not its namesakes
    // (a category "电子" must not take in a sibling "电子设备").
    if (!industryPath.isEmpty() && industryPath != QLatin1String("\\\\")) {
        const QString equal = SqlDialect::textEquals(QStringLiteral("f_hangye"), QStringLiteral("industry"), industryPath, &params);
        sql += QStringLiteral("and (%1 or COALESCE(f_hangye,'') like :industrySub%2) ").arg(equal, SqlDialect::likeEscapeClause());
        params.insert(QStringLiteral("industrySub"), SqlDialect::escapeLike(industryPath + QLatin1Char('\\')) + QLatin1Char('%'));
    }
    if (!includeStopped)
        sql += QStringLiteral("and COALESCE(F_useFlag,0) = 0 ");
    if (valueChosen) {
        static const char *columns[] = {"F_type", "F_laiyuan", "F_country", "F_province", "F_xuqiu", "F_empName"};
        if (valueKind >= 0 && valueKind < 6) {
            sql += QStringLiteral("and %1 ").arg(SqlDialect::textEquals(QString::fromLatin1(columns[valueKind]),
                                                                        QStringLiteral("listValue"), value, &params));
        }
    }
    sql += QStringLiteral(" order by F_ID");
    return st;
}

SqlStatement CustomerSearch::statement() const
{
    SqlStatement st;
    QString &sql = st.sql;
    QVariantMap &params = st.params;
    sql = QStringLiteral("select * from t_client where (1=1) ");
    sql += SalespersonScope::whereFragment(QStringLiteral("F_empName"), &params);

    addText(sql, params, QStringLiteral("F_name"), name, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_code"), code, Match::Prefix);
    addText(sql, params, QStringLiteral("F_type"), type, Match::Equal);
    addText(sql, params, QStringLiteral("F_hangye"), industry, Match::Prefix);
    addText(sql, params, QStringLiteral("F_laiyuan"), source, Match::Equal);
    addText(sql, params, QStringLiteral("F_country"), country, Match::Equal);
    addText(sql, params, QStringLiteral("F_province"), province, Match::Equal);
    addText(sql, params, QStringLiteral("F_city"), city, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_postcode"), postcode, Match::Prefix);
    addText(sql, params, QStringLiteral("F_address"), address, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_phone"), phone, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_good"), goods, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_empName"), salesperson, Match::Equal);
    addText(sql, params, QStringLiteral("F_xuqiu"), needs, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_mem"), memo, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_LXRname"), contactName, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_LXRdept"), contactDept, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_LXRduty"), contactDuty, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_LXRphone"), contactPhone, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_LXRqq"), contactQQ, Match::Anywhere);
    addText(sql, params, QStringLiteral("F_LXRemail"), contactEmail, Match::Anywhere);
    for (int i = 0; i < 5; ++i)
        addText(sql, params, QStringLiteral("F_ZF%1").arg(i + 1), custom[i], Match::Anywhere);

    if (useState == 1)
        sql += QStringLiteral("and COALESCE(F_useFlag,0) = 0 ");
    else if (useState == 2)
        sql += QStringLiteral("and COALESCE(F_useFlag,0) = 1 ");

    const struct
    {
        const DateRange &range;
        const char *table;
    } related[] = {{deal, "t_CJrec"}, {followUp, "t_LXrec"}};
    for (const auto &r : related) {
        if (!r.range.enabled)
            continue;
        sql += QStringLiteral("and F_cltID in (select F_cltID from %1 where (1=1) ").arg(QString::fromLatin1(r.table));
        addDateBounds(sql, params, QStringLiteral("F_date"), r.range);
        sql += QStringLiteral(") ");
    }
    for (int i = 0; i < 3; ++i) {
        const DateRange &r = customDate[i];
        if (!r.enabled || (!r.fromChecked && !r.toChecked))
            continue;
        const QString column = QStringLiteral("F_RQ%1").arg(i + 1);
        // an empty custom date is no date: it never lies in a range
        const QString p = QStringLiteral("p%1").arg(params.size());
        sql += QStringLiteral("and %1 >= :%2 ").arg(column, p);
        params.insert(p, QStringLiteral("1901-08-14"));
        addDateBounds(sql, params, column, r);
    }
    return st;
}
