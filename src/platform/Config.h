#pragma once

#include <QString>

// The workstation's settings file (Config.ini beside the program).
// Every read goes to the file as it is now and every write goes through at
// once, so two windows (or two processes) never see stale values. Section and
// key names match without regard to case. The file is written as UTF-8; a file
// left by older installations in GBK is read as GBK.
class Config
{
public:
    explicit Config(QString path);

    // The one object opened at start-up and shared by every window.
    static Config &shared();
    static void openShared(const QString &path);
    static bool hasShared();

    QString path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def = 0) const;
    bool readBool(const QString &section, const QString &key, bool def = false) const;

    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value);

    // True when the last read found a file that exists but cannot be read or
    // is not an INI file. A missing file is not an error.
    bool lastReadFailed() const { return m_readFailed; }

private:
    bool loadLines(QStringList *lines) const;

    QString m_path;
    mutable bool m_readFailed = false;
};
