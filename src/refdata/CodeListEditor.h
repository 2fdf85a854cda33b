#pragma once

#include "platform/CachedEditSession.h"

#include <QString>
#include <QVector>

class DataSet;

// One list of drop-down values in t_code: the page that edits it and the
// list name (F_type) the readers ask for.
struct CodeListPage
{
    QString page;    // page name: "t" + the list name
    QString caption; // page caption, blanks included
    QString type;    // F_type
};

// The eighteen lists, in page order.
const QVector<CodeListPage> &CodeListPages();

// The editing of one code list: the rows of t_code of one F_type in a data
// set whose changes are cached until saved together. Browse and edit states
// as the code-list window shows them.
class CodeListEditor
{
public:
    static constexpr int kMaxValueLength = 255; // t_code.F_name

    // The data set is the window's; the editor sets it up for cached editing.
    explicit CodeListEditor(DataSet *table);

    static QString listSql() { return QStringLiteral("Select * From t_code where F_type = :type "); }

    DataSet *table() const { return m_table; }
    QString type() const { return m_type; }
    bool isEditing() const { return m_session.isEditing(); }

    // Opens the list (reported through OpenQuery when it fails).
    bool open(const QString &type);
    bool refresh();

    // 新增: edit state with an empty row appended.
    bool beginInsert();
    // 修改: edit state; the message when there is nothing to change.
    QString beginEdit();
    // 取消: back to browse, every pending change dropped.
    void cancel();

    using SaveResult = CachedEditSession::SaveResult;
    // 保存: posts the row being edited, drops new rows left blank, trims the
    // values, gives new rows the list's F_type and writes every change in one
    // transaction. A refused or failed save keeps the edits and the edit state.
    SaveResult save();

    // 删除: the question for the current row, and the delete itself, written
    // at once. A failed delete keeps the row.
    QString deleteQuestion(const QString &pageCaption) const;
    bool deleteCurrent(QString *error = nullptr);

private:
    // Tidies the rows for a save: the refusal, or empty.
    QString checkRows(DataSet &rows, int *row) const;

    DataSet *m_table;
    QString m_type;
    CachedEditSession m_session;
};
