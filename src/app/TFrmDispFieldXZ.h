#pragma once

#include <QDialog>
#include <QStringList>
#include <QVector>

class QListWidget;
class QPushButton;

// The column chooser (字段列表): every column of a grid by its title, ticked
// where the column is shown.
class TFrmDispFieldXZ : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmDispFieldXZ(QWidget *parent = nullptr);

    void setColumns(const QStringList &titles, const QVector<bool> &visible);
    QVector<bool> visibleFlags() const;

    QListWidget *CheckListBox1 = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
};
