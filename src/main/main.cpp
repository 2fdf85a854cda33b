#include "app/Startup.h"
#include "workspace/TFrmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PrepareApplication(app);
    StartupParts parts;
    parts.createMainWindow = [] { return new TFrmMain; };
    return RunProgram(app, parts);
}
