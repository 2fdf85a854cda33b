#include "platform/Messages.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

class TestMessages : public QObject
{
    Q_OBJECT
private slots:
    void passwordRoundTrip_data()
    {
        QTest::addColumn<QString>("clear");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QString("secret123");
        QTest::newRow("blanks") << QString("  two  blanks ");
        QTest::newRow("chinese") << QStringLiteral("密码 一二三");
        QTest::newRow("quotes") << QString("it's \"quoted\";=[x]");
        QTest::newRow("long") << QString(60, QChar(0x6587));
    }
    void passwordRoundTrip()
    {
        QFETCH(QString, clear);
        const QString stored = SavePass(clear);
        QCOMPARE(GetPass(stored), clear);
        // coded text fits an INI value and a 255-character column
        for (const QChar c : stored)
            QVERIFY(c.unicode() > 32 && c.unicode() < 127 && c != QLatin1Char(';') && c != QLatin1Char('='));
        QVERIFY(stored.size() <= 255);
        if (!clear.isEmpty())
            QVERIFY(!stored.contains(clear));
    }

    void passwordTypedByHandIsKept() { QCOMPARE(GetPass("plainpass"), QString("plainpass")); }

    void scriptedAnswersAreOneOrTwo()
    {
        QList<int> kinds;
        Messages::setHandler([&](const QString &, int kind) {
            kinds.append(kind);
            return 7; // anything but yes counts as no
        });
        QCOMPARE(ShowMess("q?", MessQuestion), 2);
        QCOMPARE(ShowMess("info", MessInfo), 0);
        Messages::setHandler([](const QString &, int) { return 1; });
        QCOMPARE(ShowMess("q?", MessQuestion), 1);
        QCOMPARE(ShowMess("err", MessError), 0);
        Messages::setHandler({});
        QCOMPARE(kinds, (QList<int>{MessQuestion, MessInfo}));
    }

    void realBoxIsChineseAndClosingMeansNo()
    {
        QString title, yesText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton *b : box->buttons())
                if (box->buttonRole(b) == QMessageBox::YesRole)
                    yesText = b->text();
            box->reject(); // the close box
        });
        QCOMPARE(ShowMess(QStringLiteral("真的要退出吗？"), MessQuestion), 2);
        QCOMPARE(title, QStringLiteral("确认"));
        QCOMPARE(yesText, QStringLiteral("是(&Y)"));
    }

    // Enter answers the box's default button: yes for an ordinary question,
    // no for one that destroys something.
    void enterNeverDestroys_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("answer");
        QTest::newRow("question") << int(MessQuestion) << 1;
        QTest::newRow("destructive") << int(MessDestructive) << 2;
    }
    void enterNeverDestroys()
    {
        QFETCH(int, kind);
        QFETCH(int, answer);
        QTimer::singleShot(0, [] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(ShowMess(QStringLiteral("真的要删除当前联系人吗？"), kind), answer);
    }

    void windowsArePlacedOnTheScreen()
    {
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        for (int mode : {0, 1, 2}) {
            QDialog d;
            d.resize(400, 300);
            DispFormPos(&d, mode);
            QVERIFY(avail.contains(QRect(d.pos(), d.size())));
            if (mode != 1)
                QVERIFY(d.width() > avail.width() / 2);
            else
                QCOMPARE(d.size(), QSize(400, 300));
        }
    }
};

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
