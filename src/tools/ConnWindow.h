#pragma once

#include "platform/Database.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The connection tool's window: edits [DBconn] of the Config.ini beside the
// program, tests the connection the way the program opens it.
class ConnWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ConnWindow(const QString &configPath, QWidget *parent = nullptr);

    // What the fields say now.
    DbSettings settings() const;
    bool testConnection();
    bool saveSettings();

private:
    void driverChanged();

    QString m_configPath;
    DbSettings m_loaded;
    QComboBox *m_driver;
    QLineEdit *m_server;
    QLineEdit *m_database;
    QLineEdit *m_password;
    QPushButton *m_test;
    QPushButton *m_save;
    QPushButton *m_cancel;
};
