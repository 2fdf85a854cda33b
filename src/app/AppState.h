#pragma once

#include <QString>
#include <QStringList>

// What every window reads about the session: who is logged in, the role's
// salesperson scope, the company, the formats and captions of this database
// and two workstation settings. A successful login replaces it as a whole.
struct AppState
{
    QString OperCode;
    QString OperName;
    QString RoleCode;
    int EmpScopeFlag = 0;     // 0 all customers, 1 own customers, 2 listed salespersons
    QString EmpScopeNames;    // '张三','李四'
    QString CompanyName;
    QString DbName;
    QStringList CustomSettings = QStringList(15); // KeyValue rows 1..15 in slots 0..14
    QString QtyFormat;
    QString UnitPriceFormat;
    QString MoneyFormat;
    bool AutoCustomerCode = false;
    int PrintRowsPerPage = 10;
    int AutoBackupRule = 0;
    bool RemindAtStart = false;
    QString PreferredIme;

    // CustomSettings by the 1-based row number of KeyValue.
    QString custom(int row) const { return row >= 1 && row <= CustomSettings.size() ? CustomSettings.at(row - 1) : QString(); }
};

AppState &appState();
// Replaces the whole state (a login); DbName stays, it belongs to the connection.
void replaceAppState(const AppState &state);
