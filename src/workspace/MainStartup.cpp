#include "MainStartup.h"

#include "platform/WindowMemory.h"

#include "TFrmMain.h"
#include "WorkspaceCommands.h"
#include "security/TfrmOperLogin.h"

CommandRegistry ProgramCommands()
{
    CommandRegistry commands;
    registerWorkspaceCommands(commands);
    return commands;
}

StartupParts MainStartupParts(const QString &programDir)
{
    StartupParts parts;
    parts.programDir = programDir;
    parts.createMainWindow = [] { return new TFrmMain(ProgramCommands()); };
    parts.firstLogin = [](QWidget *main) {
        if (!RunLogin(0, main))
            return false;
        if (main) {
            // where it was left on this workstation; maximised the first time
            if (WindowMemory::restore(main))
                main->show();
            else
                main->showMaximized();
            main->raise();
            main->activateWindow();
        }
        return true;
    };
    return parts;
}
