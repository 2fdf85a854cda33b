#pragma once

#include <QString>

#include <functional>

class DataSet;

// The browse and edit states of a list edited in its grid: rows added and
// changed stay in the data set until they are saved together in one
// transaction, or dropped. A refused or failed save keeps every edit and the
// edit state, so that nothing typed is lost.
class CachedEditSession
{
public:
    // Why the rows cannot be saved (empty when they can) and the row that is
    // about; it may tidy the rows first (drop blank new rows, trim values).
    using RowCheck = std::function<QString(DataSet &rows, int *row)>;
    using RowInit = std::function<void(DataSet &rows)>;

    // The data set is the window's; the session sets it up for cached editing
    // of `table`.
    CachedEditSession(DataSet *rows, const QString &table, const QString &keyField = QStringLiteral("F_ID"));

    bool isEditing() const { return m_editing; }

    // 新增: the edit state with an empty row appended (and made current).
    bool beginInsert(const RowInit &init = {});
    // 修改: the edit state; `nothingToEdit` comes back when the list is empty.
    QString beginEdit(const QString &nothingToEdit);
    // 取消: back to browsing, every pending change dropped.
    void cancel();

    struct SaveResult
    {
        enum Status { Saved, Refused, Failed };
        Status status = Failed;
        QString message; // Refused: for the operator; Failed: the database's error
        int row = -1;    // the row a refusal is about
    };
    // 保存: posts the row being edited, asks `check`, writes every change in
    // one transaction and returns to browsing.
    SaveResult save(const RowCheck &check = {});
    // Writes the pending changes in one transaction; on failure they stay
    // pending and *error says why.
    bool apply(QString *error);

private:
    DataSet *m_rows;
    bool m_editing = false;
};
