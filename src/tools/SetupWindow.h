#pragma once

#include "DatabaseCreator.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

// The setup tool's window: the same as its command line, for the operator.
class SetupWindow : public QDialog
{
    Q_OBJECT
public:
    // `defaults` gives the folder of the SQLite file and Config.ini and the
    // starting values.
    explicit SetupWindow(const SetupOptions &defaults, QWidget *parent = nullptr);

    // What the fields ask for now.
    SetupOptions options() const;
    // Creates the database; true when it was made.
    bool createDatabase();

private:
    void driverChanged();
    void log(const QString &text, int percent);

    SetupOptions m_defaults;
    QComboBox *m_driver;
    QLineEdit *m_server;
    QLineEdit *m_database;
    QLineEdit *m_password;
    QSpinBox *m_demo;
    QCheckBox *m_writeConfig;
    QProgressBar *m_progress;
    QPlainTextEdit *m_log;
    QPushButton *m_create;
    QPushButton *m_close;
};
