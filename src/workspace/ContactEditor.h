#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

class ClientWorkspace;

// What the contact edit window decides: the check and the save of one
// contact of the current customer (one transaction, with the customer's
// main-contact columns when the contact is marked as main contact), then the
// refresh of the contacts tab on the saved row.
//
// Field maps are keyed by the t_linkman column names of columns(); the
// birthday is a QDate (invalid: no birthday) and F_IFkey a bool.
class ContactEditor
{
public:
    // Conflict: another workstation changed or deleted the contact since it
    // was loaded; nothing was written.
    enum class Result { Saved, Invalid, Failed, Conflict, SavedRefreshFailed };

    explicit ContactEditor(ClientWorkspace *workspace, int currentTab = 2, const QString &connection = {});

    // The columns the window shows and writes; nothing else is touched.
    static const QStringList &columns();
    static int maxLength(const QString &column);
    static QVariantMap emptyFields();

    void setEditMode(bool edit) { m_edit = edit; }
    bool isEditMode() const { return m_edit; }
    // The current contact of the contacts tab as a field map. The stored
    // values are remembered, to tell another workstation's change at the save.
    QVariantMap currentFields();

    Result save(const QVariantMap &fields);
    QString focusField() const { return m_focus; }
    qint64 savedKey() const { return m_savedKey; }

private:
    ClientWorkspace *m_ws;
    int m_tab;
    QString m_connection;
    bool m_edit = false;
    QString m_focus;
    qint64 m_savedKey = 0;
    qint64 m_loadedKey = 0;
    QVariantMap m_loaded;
};
