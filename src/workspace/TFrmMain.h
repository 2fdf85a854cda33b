#pragma once

#include <QMainWindow>

// The application's main window: the customer workspace and the home of every
// command.
class TFrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
};
