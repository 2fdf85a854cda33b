#pragma once

#include "CategoryTree.h"

#include <QDialog>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The industry category window. Mode 1 maintains the tree; mode 2 is the
// picker of the industry boxes and returns the chosen category's path.
class TFrmTreeCodeMan : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmTreeCodeMan(int mode, QWidget *parent = nullptr);

    int mode() const { return m_mode; }
    QTreeWidget *tvTree() const { return m_tree; }
    CategoryTree &categories() { return m_categories; }

    // Picker: the box's text; the node with that path is selected.
    void setCurrentPath(const QString &path);
    QString currentPath() const { return m_currentPath; }
    // Picker: the chosen path, or the box's text when cancelled.
    QString resultPath() const { return m_result; }

    // The node the commands act on: the current one, else the root.
    QTreeWidgetItem *selectedNode() const;

public slots:
    void btnAddClick();
    void btnAddChildClick();
    void btnDeleteClick();
    void Button1Click();
    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void addNode(bool child);
    void applyPaths(QTreeWidgetItem *top, const QVector<TreeNode> &changed);
    void reportFailure(const TreeResult &r, const QString &text);

    int m_mode;
    CategoryTree m_categories;
    QString m_currentPath;
    QString m_result;

    QTreeWidget *m_tree;
    QLabel *m_hint;
    QPushButton *m_btnAdd;
    QPushButton *m_btnAddChild;
    QPushButton *m_btnDelete;
    QPushButton *m_btnEdit;
    QWidget *m_panel4;
    QPushButton *m_btnOk;
    QPushButton *m_btnCancel;
    QMenu *m_popup;
};

// The main window's "行业类别" command: the window in management mode, shown
// modally. The caller reloads its own tree afterwards.
void ShowTreeCodeManager(QWidget *parent);
