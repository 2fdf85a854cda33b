#pragma once

#include "platform/DataSet.h"
#include "records/RecordCatalogue.h"
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
    static constexpr int kTabs = RecordCatalogue::kDetailTabs;

    // What an operation did. On failure `message` is the text for the
    // operator and `error` the database's reason; the caller shows the text.
    struct Outcome
    {
        bool ok = true;
        QString message;
        QString error;
        explicit operator bool() const { return ok; }
        static Outcome failed(const QString &message, const QString &error)
        {
            return {false, message, error};
        }
    };

    explicit ClientWorkspace(QObject *parent = nullptr);

    DataSet *QryMain = nullptr;
    DataSet *QryDetail51 = nullptr;
    // The detail query of a tab (1..9), or of a kind shown in a tab.
    DataSet *detail(int tab) const;
    DataSet *detail(RecordKind kind) const;

    // --- the customer list
    // Opens QryMain with the statement, re-opens contacts and products, and
    // opens the current tab's query when it is closed.
    Outcome RefreshClientList(const SqlStatement &statement, int currentTab);
    // Re-runs the list's current statement, keeping the current customer.
    Outcome ReopenClientList(int currentTab);
    SqlStatement currentStatement() const { return m_statement; }
    QString countCaption() const;

    // --- the detail queries
    Outcome OpenDetailQueries(bool all, int currentTab);
    // The current customer as the lines of the summary memo.
    QString ClientSummary() const;
    // Contacts and products of a customer being added: empty grids that hold
    // only the rows typed for it.
    Outcome BindDetailsToNewClient();
    Outcome RelinkClientDetails();
    Outcome PrepareSaleLines(bool currentBill);
    Outcome RelinkSaleLines();

    // --- deletes
    // The question asked before deleting the tab's current record; empty when
    // the tab's query has no row.
    QString deleteQuestion(int tab) const;
    // Deletes the tab's current record (a sales bill with its lines in one
    // transaction) and re-opens the tab.
    Outcome deleteRecord(int tab);
    QString deleteCustomerQuestion() const;
    // Deletes the current customer with its contacts, activities, quotations,
    // contracts, visits, complaints, products and reminders in one
    // transaction; sales bills stay. A customer without a number (F_cltID not
    // above 0) is deleted by its key alone.
    Outcome deleteCustomer(int currentTab);

    // --- bulk changes of the selected customers (rows of QryMain)
    // Sets the field on each row; returns how many rows could not be changed.
    int bulkSet(const QList<int> &rows, const QString &field, const QVariant &value);
    // Deletes customers without code and name that have no related records.
    Outcome deleteEmptyCustomers(int *removed = nullptr);

signals:
    // After the list was re-opened (the count caption changed).
    void listRefreshed();

private:
    Outcome openDetail(int tab);
    // Opens the query, or reads an open one again.
    static Outcome opened(DataSet *d);
    QSqlDatabase database() const;
    DataSet *m_details[kTabs + 1] = {};
    SqlStatement m_statement;
};
