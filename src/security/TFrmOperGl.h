#pragma once

#include <QDialog>

class QAction;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

// The administration of operators (page 1) and roles (page 2).
class TFrmOperGl : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmOperGl(QWidget *parent = nullptr);

    int currentPage() const { return m_page; }
    void setPage(int page);
    void RefreshLists();

public slots:
    void btnNewClick();
    void btnEditClick();
    void btnDeleteClick();

private:
    QTreeWidget *currentList() const;
    void selectCode(QTreeWidget *list, const QString &code);

    int m_page = 1;
    QPushButton *btnPage1;
    QPushButton *btnPage2;
    QStackedWidget *PageControl1;
    QTreeWidget *lvOperList;
    QTreeWidget *lvPartList;
    QPushButton *btnNew;
    QPushButton *btnEdit;
    QPushButton *btnDelete;
    QPushButton *btnClose;
    QMenu *PopupMenu1;
    QAction *actDelete;
};
