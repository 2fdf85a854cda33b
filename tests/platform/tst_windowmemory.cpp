#include "platform/Config.h"
#include "platform/Modal.h"
#include "platform/WindowMemory.h"

#include <QDialog>
#include <QLabel>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {
// A window with a splitter, as the program's windows have them.
struct Window : QDialog
{
    QSplitter *splitter;
    Window()
    {
        setObjectName("TfrmSample");
        auto *l = new QVBoxLayout(this);
        splitter = new QSplitter(this);
        splitter->setObjectName("Splitter1");
        splitter->addWidget(new QLabel("left"));
        splitter->addWidget(new QLabel("right"));
        l->addWidget(splitter);
    }
};
} // namespace

class TestWindowMemory : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("Config.ini"));
        Config::openShared(m_dir.filePath("Config.ini"));
    }

    // A window comes back where it was left, splitter included; one never
    // left anywhere stays as it is.
    void comesBackAsLeft()
    {
        {
            Window w;
            QVERIFY(!WindowMemory::restore(&w));
            w.show();
            w.move(40, 30);
            w.resize(420, 300);
            w.splitter->setSizes({120, 280});
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            const QList<int> sizes = w.splitter->sizes();
            WindowMemory::save(&w);
            Window again;
            QVERIFY(WindowMemory::restore(&again));
            QCOMPARE(again.size(), QSize(420, 300));
            QCOMPARE(again.pos(), w.pos());
            again.show();
            QVERIFY(QTest::qWaitForWindowExposed(&again));
            QCOMPARE(again.splitter->sizes(), sizes);
        }
        // a place on a screen that is gone is not used
        Config::shared().writeString("Windows", "TfrmSample", "-9000,-9000,420,300,0");
        Window lost;
        const QSize before = lost.size();
        QVERIFY(!WindowMemory::restore(&lost));
        QCOMPARE(lost.size(), before);
    }

    // Every modal window goes through the memory on its way.
    void modalWindowsAreRemembered()
    {
        Modal::setHandler([](QDialog *d) {
            d->resize(333, 222);
            return int(QDialog::Accepted);
        });
        Window w;
        w.setWindowFlag(Qt::WindowMaximizeButtonHint);
        execModal(&w);
        QVERIFY(Config::shared().readString("Windows", "TfrmSample").contains("333,222"));
        // a modal window has a close button and no minimise or maximise buttons
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        Window again;
        Modal::setHandler([](QDialog *d) { return d->size() == QSize(333, 222) ? int(QDialog::Accepted) : int(QDialog::Rejected); });
        QCOMPARE(execModal(&again), int(QDialog::Accepted));
        Modal::setHandler({});
    }
};

QTEST_MAIN(TestWindowMemory)
#include "tst_windowmemory.moc"
