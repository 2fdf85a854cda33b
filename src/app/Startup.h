#pragma once

#include <QString>

#include <functional>

class QApplication;
class QWidget;

// What start-up needs from the windows above the data layer.
struct StartupParts
{
    // Creates the main window (hidden).
    std::function<QWidget *()> createMainWindow;
    // The first login; false ends the program. Without it the main window is
    // shown at once.
    std::function<bool(QWidget *mainWindow)> firstLogin;
    // Where Config.ini (and the embedded database) are; the program's folder
    // when empty.
    QString programDir;
};

// Settings of the application object: names, the Chinese translation of Qt's
// own buttons, the program's font.
void PrepareApplication(QApplication &app);

#include <QStringList>

struct StartupResult
{
    QWidget *mainWindow = nullptr; // null: the program ends
    QStringList splashHistory;     // every text the splash line showed
};

// The start-up sequence up to the message loop: splash, Config.ini beside the
// program, connection, main window, first login.
StartupResult StartProgram(const StartupParts &parts);

// StartProgram, then the message loop. Returns the process exit code.
int RunProgram(QApplication &app, const StartupParts &parts);
