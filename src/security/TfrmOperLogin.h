#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The login window: the first login at start-up (mode 0) and the operator
// switch from the main window (mode 1).
class TfrmOperLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmOperLogin(QWidget *mainWindow = nullptr);

    void setMode(int mode) { m_mode = mode; }
    int mode() const { return m_mode; }
    int wrongCount() const { return m_wrongCount; }
    // A refused or cancelled first login: the program ends.
    bool terminateRequested() const { return m_terminate; }

    // four wrong passwords end the attempt
    static constexpr int kMaxAttempts = 4;

public slots:
    void btnOkClick();
    void btnCancelClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void lookUpName();
    void finish(int result);

    QWidget *m_mainWindow;
    int m_mode = 0;
    int m_wrongCount = 0;
    bool m_terminate = false;
    bool m_finishing = false;
    QLabel *Label5;
    QLineEdit *edtOperCode;
    QLineEdit *edtOperName;
    QLineEdit *edtPassWord;
    QPushButton *btnOk;
    QPushButton *btnCancel;
};

// Shows the login window modally. Mode 0: the first login; false means the
// program ends. Mode 1: the operator switch; false leaves the previous
// operator's state in force. True after a successful login.
bool RunLogin(int mode, QWidget *mainWindow);
