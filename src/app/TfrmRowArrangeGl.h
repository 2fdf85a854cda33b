#pragma once

#include "SortOrderList.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// The sort dialog (排序对话框): the grid's columns with a direction each,
// in the order of priority.
class TfrmRowArrangeGl : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmRowArrangeGl(const SortOrderList &list, QWidget *parent = nullptr);

    const SortOrderList &list() const { return m_list; }
    QString sortText() const { return m_list.sortText(); }

    QTableWidget *vle1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *btnUp = nullptr;
    QPushButton *btnDown = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showRow(int row);
    void moveRow(int step);

    SortOrderList m_list;
    bool m_updating = false;
};
