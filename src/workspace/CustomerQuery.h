#pragma once

#include <QDate>
#include <QString>
#include <QVariantMap>

// The statements of the customer list: the ordinary filters of the main
// window and the advanced search. Every value is bound; typed text is matched
// literally (LIKE wildcards in it are escaped).
struct SqlStatement
{
    QString sql;
    QVariantMap params;
};

// The main window's filter controls.
struct CustomerFilter
{
    // The search bar: the chosen field (-1 none, 0..11 in the order of the
    // field list) and the typed text.
    int searchField = -1;
    QString searchText;
    // The industry chosen in the navigation tree; empty for the root.
    QString industryPath;
    bool includeStopped = false;
    // The value list: its kind (0 customer type, 1 source, 2 country,
    // 3 province, 4 needs, 5 salesperson) and the chosen value; no condition
    // while `valueChosen` is false (the row "全部").
    int valueKind = 0;
    bool valueChosen = false;
    QString value;

    static QStringList searchFieldCaptions();
    static QStringList valueKindCaptions();
    // The code list (t_code.F_type) behind each value-list kind.
    static QString valueKindCodeList(int kind);

    // "select * from t_client where (1=1) ... order by F_ID" with the
    // operator's salesperson scope.
    SqlStatement statement() const;
};

// The advanced search dialog's conditions.
struct CustomerSearch
{
    QString name, code, type, industry, source, country, province, city, postcode, address, phone, goods, salesperson,
        needs, memo;
    QString contactName, contactDept, contactDuty, contactPhone, contactQQ, contactEmail;
    QString custom[5];
    // 0 all, 1 in use, 2 no longer used
    int useState = 1;

    struct DateRange
    {
        bool enabled = false;
        bool fromChecked = true;
        QDate from;
        bool toChecked = true;
        QDate to;
    };
    DateRange deal, followUp, customDate[3];

    // The complete statement without an ordering clause.
    SqlStatement statement() const;
};
