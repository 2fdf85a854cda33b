// The connection tool: edits [DBconn] of the Config.ini beside the program.
#include "app/Startup.h"
#include "tools/ConnWindow.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PrepareApplication(app);
    ConnWindow window(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Config.ini")));
    window.show();
    return QApplication::exec();
}
