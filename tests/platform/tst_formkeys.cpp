// The keys of a form: Enter and Tab move through the fields, a memo keeps
// Enter but not Tab, a date is left with one Tab, and a box that only shows
// a value is passed by.
#include "platform/DatePicker.h"
#include "platform/EnterAsTab.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

class TestFormKeys : public QObject
{
    Q_OBJECT
private slots:
    void tabAndEnterThroughTheFields()
    {
        QDialog d;
        auto *l = new QVBoxLayout(&d);
        const auto add = [&](QWidget *w, const char *name) {
            w->setObjectName(name);
            l->addWidget(w);
            return w;
        };
        auto *code = static_cast<QLineEdit *>(add(new QLineEdit(&d), "code"));
        auto *name = static_cast<QLineEdit *>(add(new QLineEdit(&d), "name"));
        name->setReadOnly(true);
        auto *memo = static_cast<QPlainTextEdit *>(add(new QPlainTextEdit(&d), "memo"));
        add(new DatePicker(&d), "date");
        add(new QLineEdit(&d), "after");
        EnterAsTab::install(&d);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const auto focused = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };

        code->setFocus();
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(focused(), QString("memo")); // past the read-only name
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(focused(), QString("memo")); // a new line
        QTest::keyClick(memo, Qt::Key_Tab);
        QCOMPARE(memo->toPlainText(), QString("\n")); // no tab character
        QCOMPARE(focused(), QString("edit"));        // the date's own box
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focused(), QString("after"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focused(), QString("edit"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focused(), QString("memo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focused(), QString("code"));
        QVERIFY(name->focusPolicy() & Qt::ClickFocus); // a click still selects its text
    }
};

QTEST_MAIN(TestFormKeys)
#include "tst_formkeys.moc"
