#include "Startup.h"

#include "AppConst.h"
#include "TdmData.h"
#include "TfrmSplash.h"
#include "platform/Config.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QThread>
#include <QTranslator>

void PrepareApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Kelmor"));
    QApplication::setOrganizationName(QStringLiteral("Kelmor"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
    QFont f = QApplication::font();
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    f.setPointSize(10);
    QApplication::setFont(f);
}

StartupResult StartProgram(const StartupParts &parts)
{
    StartupResult result;
    auto *splash = new TfrmSplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    // The application's title; not a display name, which X11 would append to
    // every window caption.
    QApplication::setApplicationName(AppTitle());

    const QString dir = parts.programDir.isEmpty() ? QApplication::applicationDirPath() : parts.programDir;
    Config::openShared(QDir(dir).filePath(QStringLiteral("Config.ini")));
    if (!dmData)
        new TdmData(qApp);
    if (!dmData->ConnectFromConfig(splash)) {
        result.splashHistory = splash->history();
        delete splash;
        return result;
    }
    splash->setLabel(QStringLiteral("连接成功，正在登录 ....."));

    QWidget *main = parts.createMainWindow ? parts.createMainWindow() : nullptr;
    if (main)
        Messages::setMainWindow(main);

    splash->setLabel(QStringLiteral("连接成功，正在登录 ..."));
    QThread::msleep(20);
    splash->setLabel(QStringLiteral("连接成功，正在登录 ....."));
    result.splashHistory = splash->history();
    delete splash;

    if (parts.firstLogin) {
        if (!parts.firstLogin(main)) {
            delete main;
            return result;
        }
    } else if (main) {
        main->show();
    }
    result.mainWindow = main;
    return result;
}

int RunProgram(QApplication &app, const StartupParts &parts)
{
    const StartupResult r = StartProgram(parts);
    if (!r.mainWindow)
        return 1;
    const int rc = app.exec();
    delete r.mainWindow;
    return rc;
}
