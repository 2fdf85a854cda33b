#include "Config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include <memory>

namespace {
std::unique_ptr<Config> g_shared;

bool isSectionLine(const QString &t) { return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')); }
QString sectionName(const QString &t) { return t.mid(1, t.size() - 2).trimmed(); }

// Finds key in section; returns the line index of the key, and sets *sectionEnd
// to the index after the section's last line (or -1 when the section is absent).
int findKey(const QStringList &lines, const QString &section, const QString &key, int *sectionEnd)
{
    int found = -1;
    *sectionEnd = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString t = lines.at(i).trimmed();
        if (isSectionLine(t)) {
            if (inSection)
                return found;
            inSection = sectionName(t).compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                *sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!t.isEmpty())
            *sectionEnd = i + 1;
        if (found >= 0 || t.isEmpty() || t.startsWith(QLatin1Char(';')))
            continue;
        const int eq = t.indexOf(QLatin1Char('='));
        if (eq > 0 && t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    }
    return found;
}
} // namespace

Config::Config(QString path) : m_path(std::move(path)) {}

Config &Config::shared()
{
    // beside the program, whatever the working folder
    if (!g_shared)
        g_shared = std::make_unique<Config>(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Config.ini")));
    return *g_shared;
}

void Config::openShared(const QString &path) { g_shared = std::make_unique<Config>(path); }
bool Config::hasShared() { return g_shared != nullptr; }

bool Config::loadLines(QStringList *lines) const
{
    m_readFailed = false;
    lines->clear();
    QFileInfo info(m_path);
    if (!info.exists())
        return true;
    QFile f(m_path);
    if (info.isDir() || !f.open(QIODevice::ReadOnly)) {
        m_readFailed = true;
        return false;
    }
    QByteArray bytes = f.readAll();
    if (bytes.contains('\0')) {
        m_readFailed = true;
        return false;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        QStringDecoder gbk("GB18030");
        text = gbk.isValid() ? gbk(bytes) : QString::fromLatin1(bytes);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    *lines = text.split(QLatin1Char('\n'));
    return true;
}

QString Config::readString(const QString &section, const QString &key, const QString &def) const
{
    QStringList lines;
    if (!loadLines(&lines))
        return def;
    int end = -1;
    const int i = findKey(lines, section, key, &end);
    if (i < 0)
        return def;
    const QString t = lines.at(i).trimmed();
    return t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int Config::readInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int v = readString(section, key).toInt(&ok);
    return ok ? v : def;
}

bool Config::readBool(const QString &section, const QString &key, bool def) const
{
    const QString v = readString(section, key);
    if (v.isEmpty())
        return def;
    if (v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (v == QLatin1String("0") || v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n != 0 : def;
}

bool Config::writeString(const QString &section, const QString &key, const QString &value)
{
    QStringList lines;
    if (!loadLines(&lines))
        return false;
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    int end = -1;
    const int i = findKey(lines, section, key, &end);
    const QString line = key + QLatin1Char('=') + value;
    if (i >= 0) {
        const QString old = lines.at(i);
        const QString oldKey = old.left(old.indexOf(QLatin1Char('='))).trimmed();
        lines[i] = oldKey + QLatin1Char('=') + value;
    } else if (end >= 0) {
        lines.insert(end, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(line);
    }
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write((lines.join(QLatin1String("\n")) + QLatin1Char('\n')).toUtf8());
    return f.commit();
}

bool Config::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool Config::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
