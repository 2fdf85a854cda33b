#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

// Opening files, web addresses and mailto: links with the desktop's programs,
// and starting other programs without waiting for them. Tests replace both.
namespace Shell {
bool openUrl(const QUrl &url);
bool openFile(const QString &path);

// A bare program name is looked for beside this program first, then on PATH.
bool startProgram(const QString &program, const QStringList &args = {});
QString findProgram(const QString &program);

using UrlHandler = std::function<bool(const QUrl &url)>;
using ProgramHandler = std::function<bool(const QString &program, const QStringList &args)>;
void setUrlHandler(UrlHandler handler);
void setProgramHandler(ProgramHandler handler);
} // namespace Shell
