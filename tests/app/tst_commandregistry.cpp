#include "app/CommandRegistry.h"

#include <QTest>
#include <QWidget>

// The registry alone; the main window's use of it is in tst_mainchrome.
class TestCommandRegistry : public QObject
{
    Q_OBJECT

private slots:
    void registrationAndRuns()
    {
        CommandRegistry r;
        QStringList ran;
        const auto handler = [&ran](const QString &tag) { return [&ran, tag](CommandContext &c) { ran.append(tag + ':' + c.code); }; };
        QVERIFY(r.isEmpty());
        QVERIFY(r.add("211", handler("records")));
        QVERIFY(r.add("N82", handler("workspace")));
        QVERIFY(r.add("104", handler("refdata")));
        QCOMPARE(r.codes(), QStringList({"211", "N82", "104"}));
        // a second subsystem claiming a command does not take it over
        QTest::ignoreMessage(QtWarningMsg, "CommandRegistry: command 211 is registered twice; the first handler stays");
        QVERIFY(!r.add("211", handler("sales")));
        // nothing to run is no registration
        QVERIFY(!r.add("212", CommandHandler()));
        QVERIFY(!r.add(QString(), handler("none")));
        QVERIFY(!r.contains("212"));

        CommandContext c{"211"};
        QVERIFY(r.run(c));
        c.code = "N82";
        QVERIFY(r.run(c));
        c.code = "212";
        QVERIFY(!r.run(c));
        QCOMPARE(ran, QStringList({"records:211", "workspace:N82"}));

        // a stand-in replaces the real handler and keeps its place
        ran.clear();
        r.replace("211", handler("stand-in"));
        r.replace("213", handler("new"));
        QCOMPARE(r.codes(), QStringList({"211", "N82", "104", "213"}));
        for (const char *code : {"211", "213"}) {
            c.code = code;
            QVERIFY(r.run(c));
        }
        QCOMPARE(ran, QStringList({"stand-in:211", "new:213"}));
        // replacing with nothing removes
        r.replace("213", CommandHandler());
        r.remove("104");
        r.remove("999");
        QCOMPARE(r.codes(), QStringList({"211", "N82"}));
        c.code = "104";
        QVERIFY(!r.run(c));
    }

    void theHandlerGetsTheContextAndMayDropTheRegistry()
    {
        QWidget parent;
        auto *r = new CommandRegistry;
        CommandContext seen;
        r->add("505", [&](CommandContext &c) {
            seen = c;
            // the window holding the registry goes while its command runs
            delete r;
            r = nullptr;
        });
        CommandContext c{"505", &parent, nullptr};
        QVERIFY(r->run(c));
        QVERIFY(!r);
        QCOMPARE(seen.code, QString("505"));
        QCOMPARE(seen.parent, &parent);
        QCOMPARE(seen.host, nullptr);
    }
};

QTEST_MAIN(TestCommandRegistry)
#include "tst_commandregistry.moc"
