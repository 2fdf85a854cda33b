#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The column-fill dialog (批量修改当前列): one value for a whole column.
class TDLGeditCurList : public QDialog
{
    Q_OBJECT
public:
    explicit TDLGeditCurList(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *edtCurValue = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
};
