#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The logged-in operator changes his own password.
class TfrmModPass : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmModPass(QWidget *parent = nullptr);

public slots:
    void btnOkClick();

private:
    QLabel *lblOper;
    QLineEdit *edtOldPass;
    QLineEdit *edtNewPass;
    QLineEdit *edtAdjustPass;
    QPushButton *btnOk;
    QPushButton *btnCancel;
};
