#pragma once

#include "ClientWorkspace.h"
#include "records/RecordEditor.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>


// What the customer edit window decides: the customer number and code, the
// checks before a save, and the save itself (the customer row, its contacts
// and its products in one transaction), then the refresh of the list. The
// window only moves values between its controls and a field map.
class ClientEditor : public RecordEditor
{
public:
    explicit ClientEditor(ClientWorkspace *workspace, int currentTab = 0, const QString &connection = {});

    // The columns of t_client the window shows and writes; nothing else is
    // ever written (F_QQ, F_movephone, F_date stay as they are).
    static const QStringList &columns();
    // The size of a text column, 0 for other columns.
    static int maxLength(const QString &column);
    // An empty customer: every text empty, dates empty, edit date today.
    static QVariantMap emptyFields();

    // Prepares a new, edited or copied customer. For a new or copied one the
    // contacts and products grids start empty; their rows get the customer's
    // number when it is given, inside the save. An edited customer's stored
    // values are remembered, to tell another workstation's change at the save.
    ClientWorkspace::Outcome begin(EditMode mode);
    // The window closed: a new or copied customer's grids follow the list
    // again; without OK the pending contact and product edits are dropped.
    ClientWorkspace::Outcome end(bool ok);
    // After a save with continuous add: the next new customer.
    ClientWorkspace::Outcome beginNext();

    // Replace a code another customer took by today's next one (new and
    // copied customers only).
    void setAutoCode(bool on) { m_autoCode = on; }
    // The customer's number: the edited one's, or the number the last save
    // gave (0 for a new customer not saved yet).
    int saveCltID() const { return m_saveCltID; }
    // Today's next customer code (yyyymmdd + 3 digits); empty when none.
    QString nextClientCode() const;
    // The current customer of the list as a field map (all columns()).
    QVariantMap currentFields() const;

    // The products grid's code lookup: the row of the products query takes
    // name, type, standard, unit and price of the goods with its code, and is
    // posted into the cache.
    enum class GoodsLookup { NoCode, NotFound, Filled, Failed };
    GoodsLookup fillProductFromGoods(int row);

protected:
    std::optional<SaveResult> check(QVariantMap &fields, const QStringList &answeredNo) override;
    SaveResult write(QSqlDatabase &db, QVariantMap &fields, int attempt) override;
    bool retry(const SaveResult &failed, int attempt) override;
    void committed(qint64 key) override;
    bool refresh(qint64 key) override;
    QString refreshFailedMessage() const override;

private:
    ClientWorkspace::Outcome startNew();
    // Whether another customer has the code.
    bool codeTaken(const QString &code) const;
    void prepareDetailRows(int cltID);
    int queryInt(const QString &sql, const QVariantMap &params = {}, bool *ok = nullptr) const;

    ClientWorkspace *m_ws;
    int m_tab;
    bool m_autoCode = false;
    int m_saveCltID = 0;
    int m_pendingNumber = 0; // the number the current write gives
    int m_minNumber = 0;     // after a number taken meanwhile: at least this
};
