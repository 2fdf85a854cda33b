#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class ClientWorkspace;

// What the customer edit window decides: the customer number and code, the
// checks before a save, and the save itself (the customer row, its contacts
// and its products in one transaction), then the refresh of the list. The
// window only moves values between its controls and a field map.
//
// Field maps are keyed by the t_client column names of columns(); dates are
// QDate values (an invalid QDate is the empty date), numbers doubles and the
// stopped flag a bool.
class ClientEditor
{
public:
    enum Mode { New = 0, Edit = 1, Copy = 2 };
    // Conflict: another workstation changed or deleted the customer since the
    // window loaded it; nothing was written and the window keeps its edits.
    enum class Result { Saved, Invalid, Failed, Conflict, SavedRefreshFailed };

    explicit ClientEditor(ClientWorkspace *workspace, int currentTab = 0, const QString &connection = {});

    // The columns of t_client the window shows and writes; nothing else is
    // ever written (F_QQ, F_movephone, F_date stay as they are).
    static const QStringList &columns();
    // The size of a text column, 0 for other columns.
    static int maxLength(const QString &column);
    static bool isDateColumn(const QString &column);
    static bool isNumberColumn(const QString &column);

    // Prepares a new (0), edited (1) or copied (2) customer. In modes 0 and 2
    // the contacts and products grids start empty; their rows get the
    // customer's number when it is given, inside the save. In mode 1 the
    // customer's stored values are remembered, to tell another workstation's
    // change at the save.
    void begin(int mode);
    // The window closed: modes 0 and 2 follow the list again; without OK the
    // pending contact and product edits are dropped.
    void end(bool ok);
    // After a save with continuous add: the next new customer.
    void beginNext();

    int mode() const { return m_mode; }
    bool isEditMode() const { return m_mode == Edit; }
    // The customer's number: the edited one's, or the number the last save gave
    // (0 for a new customer not saved yet).
    int saveCltID() const { return m_saveCltID; }

    // Today's next customer code (yyyymmdd + 3 digits); empty when none.
    QString nextClientCode() const;
    // The current customer of the list as a field map (all columns()).
    QVariantMap currentFields() const;
    // An empty customer: every text empty, dates empty, edit date today.
    static QVariantMap emptyFields();

    // Checks and saves. On Invalid the message was shown and focusField names
    // the control's column; on Failed the rollback was reported and nothing
    // changed. `fields` may be changed by the save (a fresh automatic code).
    Result save(QVariantMap &fields, bool autoCode);
    QString focusField() const { return m_focus; }
    // The key (F_ID) of the row written by the last save.
    qint64 savedKey() const { return m_savedKey; }

    // The products grid's code lookup: the row of the products query takes
    // name, type, standard, unit and price of the goods with its code, and is
    // posted into the cache.
    enum class GoodsLookup { NoCode, NotFound, Filled };
    GoodsLookup fillProductFromGoods(int row);

private:
    void startNew();
    enum class Outcome { Saved, Failed, NumberTaken, CodeTaken, Changed };
    Outcome saveOnce(QVariantMap &fields, bool autoCode, int minNumber, int *number, QString *error);
    // The code is another customer's: true when it could be replaced by a
    // fresh automatic one.
    bool codeTaken(const QString &code) const;
    void prepareDetailRows(int cltID);
    int queryInt(const QString &sql, const QVariantMap &params = {}, bool *ok = nullptr) const;

    ClientWorkspace *m_ws;
    int m_tab;
    QString m_connection;
    int m_mode = New;
    int m_saveCltID = 0;
    qint64 m_editID = 0;
    qint64 m_savedKey = 0;
    QString m_focus;
    // In edit mode: the written columns as the window loaded them.
    QVariantMap m_loaded;
};
