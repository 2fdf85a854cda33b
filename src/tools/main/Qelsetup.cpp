// The setup tool: creates the program's database (an SQLite file beside it, or
// a database on a PostgreSQL or SQL Server server), with seed rows and, when
// asked, demo data. With arguments it works on the command line; without, it
// shows its window.
#include "app/Startup.h"
#include "tools/ConnectionSettings.h"
#include "tools/SetupCommandLine.h"
#include "tools/SetupWindow.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        SetupOptions options;
        bool help = false;
        QString error;
        if (!SetupCommandLine::parse(app.arguments().mid(1), QCoreApplication::applicationDirPath(), &options, &help, &error)) {
            err << error << Qt::endl << Qt::endl << SetupCommandLine::usage();
            return 2;
        }
        if (help) {
            out << SetupCommandLine::usage();
            return 0;
        }
        return SetupCommandLine::run(options, out, err);
    }
    QApplication app(argc, argv);
    PrepareApplication(app);
    // started by the program after a failed connection: offer what Config.ini names
    SetupOptions defaults;
    defaults.settings = ConnectionSettings::load(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Config.ini")));
    defaults.settings.baseDir = QCoreApplication::applicationDirPath();
    SetupWindow window(defaults);
    window.show();
    return QApplication::exec();
}
