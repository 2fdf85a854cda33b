#pragma once

#include "CodeListEditor.h"

#include <QDialog>
#include <QString>
#include <QVector>

class DataGrid;
class DataSet;
class QAction;
class QButtonGroup;
class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;

// The code lists window ("选项设置..."): one page per list of drop-down
// values; the values of the page in front are added, changed and deleted in
// the grid and saved together.
class TFrmCodeMan : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmCodeMan(QWidget *parent = nullptr);

    DataGrid *grid() const { return m_grid; }
    DataSet *QryTable() const { return m_table; }
    CodeListEditor &editor() { return m_editor; }
    int currentPage() const { return m_page; }
    // Switches to a page (only in the browse state).
    void setCurrentPage(int index);
    bool isEditing() const { return m_editor.isEditing(); }

public slots:
    void tbNewClick();
    void tbEditClick();
    void tbDelClick();
    void tbSaveClick();
    void tbCancelClick();
    void tbPrintClick();
    void tbRefreshClick();
    void tbExitClick();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setEditState(bool editing);
    // Ends a cell edit still open in the grid, keeping what was typed.
    void postGridEditor();
    QString columnTitle() const;

    DataSet *m_table;
    CodeListEditor m_editor;
    int m_page = 0;
    bool m_placed = false;

    QToolBar *m_toolBar;
    QAction *m_actNew;
    QAction *m_actEdit;
    QAction *m_actDel;
    QAction *m_actSave;
    QAction *m_actCancel;
    QAction *m_actPrint;
    QAction *m_actRefresh;
    QAction *m_actExit;
    QWidget *m_pages;
    QButtonGroup *m_pageButtons;
    DataGrid *m_grid;
    QStatusBar *m_status;
    QVector<QLabel *> m_panels;
};

// The main window's "选项..." command: the window, shown modally.
void ShowCodeManager(QWidget *parent);
