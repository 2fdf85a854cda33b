#pragma once

#include "RecordCatalogue.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <optional>

enum class EditMode { New = 0, Edit = 1, Copy = 2 };

// What a save did, and what the window has to tell the operator.
struct SaveResult
{
    enum Status {
        Saved,              // written and shown
        SavedRefreshFailed, // written; the caller's list could not be re-read (message: a warning)
        Invalid,            // refused before writing (message, focusField)
        Question,           // a yes/no question first (message); yes puts the focus on focusField,
                            // no saves again with the question answered
        Conflict,           // another workstation changed or deleted the record; nothing written
        Failed,             // the database failed; nothing written (message, error)
    };
    Status status = Failed;
    QString message;
    int messageKind = 0; // kind of ShowMess
    QString focusField;
    QString error;
    qint64 key = 0;

    bool saved() const { return status == Saved || status == SavedRefreshFailed; }
    static SaveResult done(qint64 key) { return {Saved, {}, 0, {}, {}, key}; }
    static SaveResult invalid(const QString &message, const QString &field, int kind = 0)
    {
        return {Invalid, message, kind, field, {}, 0};
    }
    static SaveResult question(const QString &message, const QString &field) { return {Question, message, 1, field, {}, 0}; }
    // A database failure; a lock wait that ran out says the database is busy.
    static SaveResult failed(const QString &error);
    static SaveResult conflict();
};

// What every record edit window decides without widgets: the stored form of
// its fields, the record it loaded (to tell another workstation's change at
// the save) and one save flow: the checks, one write transaction (tried again
// when the write asks for it), the commit, and the refresh of the caller's
// list. Members say what is their own: the checks, the write and the refresh.
//
// Field maps are keyed by the kind's field columns; dates are QDate values
// (an invalid QDate is the empty date), numbers doubles, flags bools, the
// rest texts.
class RecordEditor
{
public:
    explicit RecordEditor(const RecordKindInfo &kind, QString connection = {});
    virtual ~RecordEditor() = default;

    const RecordKindInfo &kind() const { return m_kind; }
    QSqlDatabase database() const;
    QString connectionName() const { return m_connection; }
    EditMode mode() const { return m_mode; }
    bool isEditMode() const { return m_mode == EditMode::Edit; }
    void setMode(EditMode mode) { m_mode = mode; }

    // --- the stored form
    // Every field of the kind empty: texts empty, dates empty, numbers 0.
    QVariantMap emptyFields() const { return emptyFields(m_kind); }
    static QVariantMap emptyFields(const RecordKindInfo &kind);
    // A field map from a stored row (`value` gives a column's stored value).
    QVariantMap fieldsFrom(const std::function<QVariant(const QString &column)> &value) const;
    // The value a field is written with: texts trimmed where the field says
    // so, the empty date for an invalid date, flags as 1/0.
    QVariant storedValue(const QString &column, const QVariant &value) const;
    // storedValue of every field of the map that belongs to the kind.
    QVariantMap storedValues(const QVariantMap &fields) const;
    static QDate emptyDate() { return QDate(1900, 8, 14); }

    // --- the record loaded into the window
    // The key and the stored values of the columns the window writes, as the
    // window loaded them.
    void remember(qint64 key, const QVariantMap &stored);
    void forget();
    qint64 loadedKey() const { return m_loadedKey; }

    // --- the save
    // Checks, writes in one transaction and refreshes. A question comes back
    // as SaveResult::Question; the caller asks it, and on "no" calls save
    // again with the question's text in `answeredNo`. `fields` may be changed
    // by the save (a fresh automatic code).
    SaveResult save(QVariantMap &fields, const QStringList &answeredNo = {});
    qint64 savedKey() const { return m_savedKey; }

protected:
    // Before the transaction: a result stops the save.
    virtual std::optional<SaveResult> check(QVariantMap &fields, const QStringList &answeredNo);
    // Inside the transaction; `attempt` counts from 0. Saved (with the key)
    // lets the transaction commit.
    virtual SaveResult write(QSqlDatabase &db, QVariantMap &fields, int attempt) = 0;
    // Whether a failed write is worth another attempt (a number another
    // workstation took in the meantime); may prepare the next attempt.
    virtual bool retry(const SaveResult &failed, int attempt);
    // After the commit, before the refresh.
    virtual void committed(qint64 key);
    // The caller's list shows the saved row; false: SavedRefreshFailed with
    // refreshFailedMessage().
    virtual bool refresh(qint64 key);
    virtual QString refreshFailedMessage() const;

    // In edit mode, inside the transaction: the loaded row is locked and
    // still as loaded (nullopt), or the result to stop with.
    std::optional<SaveResult> checkUnchanged(QSqlDatabase &db) const;

private:
    const RecordKindInfo &m_kind;
    QString m_connection;
    EditMode m_mode = EditMode::New;
    qint64 m_loadedKey = 0;
    QVariantMap m_loaded;
    qint64 m_savedKey = 0;
};
