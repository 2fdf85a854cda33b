#include "MainStartup.h"

#include "TFrmMain.h"
#include "security/TfrmOperLogin.h"

StartupParts MainStartupParts(const QString &programDir)
{
    StartupParts parts;
    parts.programDir = programDir;
    parts.createMainWindow = [] { return new TFrmMain; };
    parts.firstLogin = [](QWidget *main) {
        if (!RunLogin(0, main))
            return false;
        if (main) {
            main->showMaximized();
            main->raise();
            main->activateWindow();
        }
        return true;
    };
    return parts;
}
