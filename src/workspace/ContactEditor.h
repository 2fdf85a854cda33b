#pragma once

#include "ClientWorkspace.h"
#include "records/RecordEditor.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

// What the contact edit window decides: the check and the save of one
// contact of the current customer (one transaction, with the customer's
// main-contact columns when the contact is marked as main contact), then the
// refresh of the contacts tab on the saved row.
class ContactEditor : public RecordEditor
{
public:
    explicit ContactEditor(ClientWorkspace *workspace, int currentTab = 2, const QString &connection = {});

    // The columns the window shows and writes; nothing else is touched.
    static const QStringList &columns();
    static int maxLength(const QString &column);
    static QVariantMap emptyFields();

    void setEditMode(bool edit) { setMode(edit ? EditMode::Edit : EditMode::New); }
    // The current contact of the contacts tab as a field map. The stored
    // values are remembered, to tell another workstation's change at the save.
    QVariantMap currentFields();

protected:
    std::optional<SaveResult> check(QVariantMap &fields, const QStringList &answeredNo) override;
    SaveResult write(QSqlDatabase &db, QVariantMap &fields, int attempt) override;
    bool refresh(qint64 key) override;
    QString refreshFailedMessage() const override;

private:
    ClientWorkspace *m_ws;
    int m_tab;
    qint64 m_customer = 0;  // the customer's F_ID
    int m_cltID = 0;        // its number
    bool m_numbered = false; // the save gave the customer its number
};
