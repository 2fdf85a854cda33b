#pragma once

#include "platform/CachedEditSession.h"
#include "GridWindow.h"
#include "RecordListQuery.h"

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

// The list window of a record kind over all customers: the records joined
// with their customers, filtered by a date pair, a search field and the
// value list; from it records are added, changed and deleted (in the kind's
// list edit window, or in the grid), printed and exported. One class for
// every kind: a RecordListConfig says what differs.
class RecordListWindow : public GridWindow
{
    Q_OBJECT
public:
    explicit RecordListWindow(const RecordListConfig &config, QWidget *parent = nullptr);
    ~RecordListWindow() override;

    const RecordListConfig &config() const { return m_config; }
    // What the filter controls hold now.
    RecordListFilter filter() const;
    // The statement RefreshList ran last; later re-opens run it again.
    BoundStatement lastStatement() const { return m_last; }
    // The value-list type shown, 1-based.
    int listType() const { return m_listType; }
    // Grid editing: whether rows are being edited.
    bool isEditing() const { return m_session && m_session->isEditing(); }
    CachedEditSession *editSession() const { return m_session.get(); }

    // Runs the last statement again and moves to the row of `key` (the
    // first row when it is gone): after an edit window saved.
    void ReopenAt(qint64 key);

public slots:
    // Assembles the filter of the controls and opens the list with it.
    void RefreshList();
    // Fills the value list with the values of list type 1.. and opens the
    // list once with "全部" chosen.
    void FillListPanel(int listType);

    void tbNewClick();
    void tbEditClick();
    void tbDelClick();
    void tbSaveClick();
    void tbCancelClick();
    void tbExitClick();
    void SpeedButton2Click();
    void reject() override;

protected:
    void FormShow() override;
    void closeEvent(QCloseEvent *event) override;

    // 新增 (mode 0) and 修改 (mode 1): the list edit window of the kind.
    virtual void openEditWindow(int mode);
    // The question before a delete, built from the current row.
    virtual QString deleteQuestion() const;
    // Deletes the current record; false (reported) when it failed.
    virtual bool deleteCurrent();

private:
    void buildFilterBar();
    void buildValueList();
    void openStatement(const BoundStatement &statement);
    void setEditState(bool editing);
    void postGridEditor();
    void ComboBox1Change();

    RecordListConfig m_config;
    std::unique_ptr<CachedEditSession> m_session;
    BoundStatement m_last;
    int m_listType = 1;
    bool m_listClickAttached = true;

    QWidget *m_filterBar = nullptr;
    QComboBox *m_searchField = nullptr;
    QLineEdit *m_searchText = nullptr;
    QPushButton *m_query = nullptr;
    QToolButton *m_togglePanel = nullptr;
    QWidget *m_listPanel = nullptr;
    QTableWidget *m_valueList = nullptr;
    QComboBox *m_listTypeBox = nullptr;
    QPushButton *m_refillList = nullptr;
};
