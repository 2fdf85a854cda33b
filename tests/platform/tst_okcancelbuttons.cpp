#include "platform/OkCancelButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {
// A small dialog as the program builds them: a field, then the buttons, and an
// accept() that may refuse.
class SmallDialog : public QDialog
{
public:
    explicit SmallDialog(const OkCancelOptions &options)
    {
        edit = new QLineEdit(this);
        buttons = addOkCancelButtons(this, options);
        after = new QLineEdit(this);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(after);
        layout->addLayout(buttons.row);
    }
    void accept() override
    {
        ++acceptCalls;
        if (!refuse)
            QDialog::accept();
    }

    QLineEdit *edit;
    QLineEdit *after;
    OkCancelButtons buttons;
    bool refuse = false;
    int acceptCalls = 0;
};

enum Action { ClickOk, ClickCancel, EnterInField, Escape };
} // namespace

class TestOkCancelButtons : public QObject
{
    Q_OBJECT
private slots:
    void namesTextsAndPlace_data()
    {
        QTest::addColumn<bool>("mnemonics");
        QTest::addColumn<QString>("okText");
        QTest::addColumn<QString>("cancelText");
        QTest::newRow("plain") << false << QStringLiteral("确定") << QStringLiteral("取消");
        QTest::newRow("mnemonics") << true << QStringLiteral("确定(&O)") << QStringLiteral("取消(&C)");
    }
    void namesTextsAndPlace()
    {
        QFETCH(bool, mnemonics);
        QFETCH(QString, okText);
        QFETCH(QString, cancelText);
        SmallDialog d({.mnemonics = mnemonics});
        QCOMPARE(d.findChild<QPushButton *>("btnOk"), d.buttons.ok);
        QCOMPARE(d.findChild<QPushButton *>("btnCancel"), d.buttons.cancel);
        QCOMPARE(d.buttons.ok->text(), okText);
        QCOMPARE(d.buttons.cancel->text(), cancelText);
        // right-aligned, 确定 before 取消
        QCOMPARE(d.buttons.row->count(), 3);
        QVERIFY(d.buttons.row->itemAt(0)->spacerItem());
        QCOMPARE(d.buttons.row->itemAt(1)->widget(), d.buttons.ok);
        QCOMPARE(d.buttons.row->itemAt(2)->widget(), d.buttons.cancel);
        // tab order is the order of creation
        QCOMPARE(d.edit->nextInFocusChain(), d.buttons.ok);
        QCOMPARE(d.buttons.ok->nextInFocusChain(), d.buttons.cancel);
        QCOMPARE(d.buttons.cancel->nextInFocusChain(), d.after);
    }

    void keysAndClicks_data()
    {
        QTest::addColumn<bool>("okIsDefault");
        QTest::addColumn<bool>("okAccepts");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("acceptCalls");
        QTest::addColumn<int>("result"); // -1: still open
        QTest::newRow("ok accepts") << true << true << false << int(ClickOk) << 1 << int(QDialog::Accepted);
        QTest::newRow("ok runs the dialog's own check") << true << true << true << int(ClickOk) << 1 << -1;
        QTest::newRow("ok left to the dialog") << true << false << false << int(ClickOk) << 0 << -1;
        QTest::newRow("enter presses the default ok")
            << true << true << false << int(EnterInField) << 1 << int(QDialog::Accepted);
        QTest::newRow("ok without being the default") << false << true << false << int(ClickOk) << 1 << int(QDialog::Accepted);
        QTest::newRow("cancel rejects") << true << true << false << int(ClickCancel) << 0 << int(QDialog::Rejected);
        QTest::newRow("cancel rejects, ok left to the dialog")
            << false << false << false << int(ClickCancel) << 0 << int(QDialog::Rejected);
        QTest::newRow("esc rejects") << true << true << false << int(Escape) << 0 << int(QDialog::Rejected);
    }
    void keysAndClicks()
    {
        QFETCH(bool, okIsDefault);
        QFETCH(bool, okAccepts);
        QFETCH(bool, refuse);
        QFETCH(int, action);
        QFETCH(int, acceptCalls);
        QFETCH(int, result);
        SmallDialog d({.okIsDefault = okIsDefault, .okAccepts = okAccepts});
        d.refuse = refuse;
        QCOMPARE(d.buttons.ok->isDefault(), okIsDefault);
        QVERIFY(!d.buttons.cancel->isDefault());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.edit->setFocus();
        switch (Action(action)) {
        case ClickOk:
            QTest::mouseClick(d.buttons.ok, Qt::LeftButton);
            break;
        case ClickCancel:
            QTest::mouseClick(d.buttons.cancel, Qt::LeftButton);
            break;
        case EnterInField:
            QTest::keyClick(d.edit, Qt::Key_Return);
            break;
        case Escape:
            QTest::keyClick(d.edit, Qt::Key_Escape);
            break;
        }
        QCOMPARE(d.acceptCalls, acceptCalls);
        if (result < 0) {
            QVERIFY(d.isVisible());
        } else {
            QVERIFY(!d.isVisible());
            QCOMPARE(d.result(), result);
        }
    }
};

QTEST_MAIN(TestOkCancelButtons)
#include "tst_okcancelbuttons.moc"
