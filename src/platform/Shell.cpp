#include "Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
Shell::UrlHandler g_urlHandler;
Shell::ProgramHandler g_programHandler;
} // namespace

namespace Shell {
bool openUrl(const QUrl &url)
{
    if (g_urlHandler)
        return g_urlHandler(url);
    return QDesktopServices::openUrl(url);
}

bool openFile(const QString &path) { return openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())); }

QString findProgram(const QString &program)
{
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo fi(program);
        return fi.isExecutable() ? fi.absoluteFilePath() : QString();
    }
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(program));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(program);
}

bool startProgram(const QString &program, const QStringList &args)
{
    if (g_programHandler)
        return g_programHandler(program, args);
    const QString path = findProgram(program);
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(path, args, QFileInfo(path).absolutePath());
}

void setUrlHandler(UrlHandler handler) { g_urlHandler = std::move(handler); }
void setProgramHandler(ProgramHandler handler) { g_programHandler = std::move(handler); }
} // namespace Shell
