#pragma once

#include "platform/DataSet.h"
#include "workspace/CustomerQuery.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The data behind the customer workspace: the customer list QryMain, whose
// current row is the current customer of every window, the nine detail
// queries that follow it, and the sales lines of the current bill. It holds
// what the main window and the edit windows decide about them (statements,
// links, deletes, bulk changes); the windows only show and ask.
class ClientWorkspace : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTabs = 9;

    // What differs between the detail tabs.
    struct Tab
    {
        int number = 0;           // 1..9
        QString caption;          // page caption, e.g. " 业务活动 "
        QString listCaption;      // entry of the detail list, e.g. "业务活动"
        QString table;
        QString sql;              // linked statement with :F_cltID
        QString layout;           // grid layout name, "detail2" ...
        QString exportTitle;
        QString permission;       // action whose visibility lists the tab; empty: always
        QString newMessage;       // no customer to add a record to
        QString emptyEditMessage; // nothing to edit
        QStringList emptyDateFields;
        // Grid columns as designed: field and title.
        QList<QPair<QString, QString>> columns;
    };
    static const Tab &tab(int number);

    explicit ClientWorkspace(QObject *parent = nullptr);

    DataSet *QryMain = nullptr;
    DataSet *QryDetail51 = nullptr;
    DataSet *detail(int tab) const;

    // --- the customer list
    // Opens QryMain with the statement (a failure is reported by the data
    // module), re-opens contacts and products, and opens the current tab's
    // query when it is closed.
    bool RefreshClientList(const SqlStatement &statement, int currentTab);
    // Re-runs the list's current statement, keeping the current customer.
    bool ReopenClientList(int currentTab);
    SqlStatement currentStatement() const { return m_statement; }
    QString countCaption() const;

    // --- the detail queries
    void OpenDetailQueries(bool all, int currentTab);
    // The current customer as the lines of the summary memo.
    QString ClientSummary() const;
    // Contacts and products of a customer being added: empty grids that hold
    // only the rows typed for it.
    void BindDetailsToNewClient();
    void RelinkClientDetails();
    void PrepareSaleLines(bool currentBill);
    void RelinkSaleLines();

    // --- deletes
    // The question asked before deleting the tab's current record; empty when
    // the tab's query has no row.
    QString deleteQuestion(int tab) const;
    // Deletes the tab's current record (a sales bill with its lines in one
    // transaction) and re-opens the tab. Reports failures itself.
    bool deleteRecord(int tab);
    QString deleteCustomerQuestion() const;
    // Deletes the current customer with its contacts, activities, quotations,
    // contracts, visits, complaints, products and reminders in one
    // transaction; sales bills stay. A customer without a number (F_cltID not
    // above 0) is deleted by its key alone. Reports failures itself.
    bool deleteCustomer(int currentTab);

    // --- bulk changes of the selected customers (rows of QryMain)
    // Sets the field on each row; returns how many rows could not be changed.
    int bulkSet(const QList<int> &rows, const QString &field, const QVariant &value);
    // Deletes customers without code and name that have no related records.
    bool deleteEmptyCustomers(int *removed = nullptr);

signals:
    // After the list was re-opened (the count caption changed).
    void listRefreshed();

private:
    bool openDetail(int tab);
    DataSet *m_details[kTabs + 1] = {};
    SqlStatement m_statement;
};
