#pragma once

#include <QDialog>
#include <QStringList>

class CheckColumnList;
class QPushButton;

// Ticks the salespersons of a role's list among the employees.
class TDLGselectEmpSTR : public QDialog
{
    Q_OBJECT
public:
    explicit TDLGselectEmpSTR(QWidget *parent = nullptr);

    // The employees offered, the names of `current` ticked (exact names).
    void setItems(const QStringList &names, const QString &current);
    QStringList checkedNames() const;
    // The ticked names in the stored form ('张三','李四'); empty when none.
    QString result() const;

private:
    CheckColumnList *clbItemList;
    QPushButton *btnOk;
    QPushButton *btnCancel;
};

// The employees who can be listed, in entry order, each name once.
QStringList SalespersonCandidates();
// The selector: the new list on "确定", `current` on "取消" or when there is
// no employee to choose ("没有项目选择！").
QString SelectSalespersons(const QString &current, QWidget *parent = nullptr);
