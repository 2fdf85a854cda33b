#include "platform/Config.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class TestConfig : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) { return m_dir.filePath(name); }
    static QByteArray read(const QString &p)
    {
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void write(const QString &p, const QByteArray &bytes)
    {
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

private slots:
    void missingFileGivesDefaultsAndFirstWriteCreatesIt()
    {
        Config cfg(path("none.ini"));
        QCOMPARE(cfg.readString("DBconn", "Database", "Brenmoor"), QString("Brenmoor"));
        QCOMPARE(cfg.readInteger("sys", "iPrintNum", 10), 10);
        QCOMPARE(cfg.readBool("set", "awokeflag", false), false);
        QVERIFY(!cfg.lastReadFailed());
        QVERIFY(!QFile::exists(path("none.ini")));
        QVERIFY(cfg.writeString("Config", "CurOperCode", "000"));
        QVERIFY(QFile::exists(path("none.ini")));
        QCOMPARE(cfg.readString("config", "curopercode"), QString("000"));
    }

    void sectionsAndKeysIgnoreCaseAndWritesGoThrough()
    {
        const QString p = path("case.ini");
        write(p, "[Config]\nCurOperCode=001\n\n[DBconn]\nserver=db1\n");
        Config a(p), b(p);
        QCOMPARE(a.readString("config", "CUROPERCODE"), QString("001"));
        QVERIFY(a.writeInteger("config", "ibak", 2)); // joins the [Config] section
        QCOMPARE(b.readInteger("Config", "ibak"), 2);  // the other object sees it at once
        QVERIFY(a.writeString("dbconn", "SERVER", "db2"));
        QCOMPARE(b.readString("DBconn", "server"), QString("db2"));
        const QString text = QString::fromUtf8(read(p));
        QCOMPARE(text.count("[Config]", Qt::CaseInsensitive), 1);
        QCOMPARE(text.count("server=", Qt::CaseInsensitive), 1);
    }

    void booleansAreOneAndZero()
    {
        const QString p = path("bool.ini");
        Config cfg(p);
        cfg.writeBool("sys", "bZDcode", true);
        cfg.writeBool("set", "awokeflag", false);
        const QString text = QString::fromUtf8(read(p));
        QVERIFY(text.contains("bZDcode=1"));
        QVERIFY(text.contains("awokeflag=0"));
        QCOMPARE(cfg.readBool("sys", "bzdcode"), true);
        QCOMPARE(cfg.readBool("set", "awokeflag", true), false);
    }

    void chineseValuesAndOldGbkFiles()
    {
        const QString p = path("gbk.ini");
        QStringEncoder gbk("GB18030");
        write(p, QByteArray(gbk(QStringLiteral("[Config]\nCurImeName=微软拼音\n"))));
        Config cfg(p);
        QCOMPARE(cfg.readString("Config", "CurImeName"), QStringLiteral("微软拼音"));
        // a write keeps the value and makes the file UTF-8
        cfg.writeString("Config", "CurOperCode", QStringLiteral("张三"));
        QCOMPARE(cfg.readString("Config", "CurImeName"), QStringLiteral("微软拼音"));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(read(p));
        QVERIFY(!utf8.hasError());
        QVERIFY(text.contains(QStringLiteral("张三")));
    }

    void unreadableFileIsAnError()
    {
        const QString p = path("broken.ini");
        write(p, QByteArray("[DBconn]\nDatabase=x\0\0\x01", 22));
        Config cfg(p);
        QCOMPARE(cfg.readString("DBconn", "Database", "Brenmoor"), QString("Brenmoor"));
        QVERIFY(cfg.lastReadFailed());
        QDir().mkpath(path("dir.ini"));
        Config dir(path("dir.ini"));
        dir.readString("a", "b");
        QVERIFY(dir.lastReadFailed());
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
