#include "Messages.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {
Messages::Handler g_handler;
QPointer<QWidget> g_mainWindow;

int showBox(const QString &text, int kind)
{
    QMessageBox box(Messages::mainWindow() ? Messages::mainWindow() : QApplication::activeWindow());
    box.setText(text);
    switch (kind) {
    case MessQuestion:
    case MessDestructive: {
        box.setWindowTitle(QStringLiteral("确认"));
        box.setIcon(QMessageBox::Question);
        QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(kind == MessDestructive ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? 1 : 2;
    }
    case MessWarning:
        box.setWindowTitle(QStringLiteral("警告"));
        box.setIcon(QMessageBox::Warning);
        break;
    case MessError:
        box.setWindowTitle(QStringLiteral("错误"));
        box.setIcon(QMessageBox::Critical);
        break;
    default:
        box.setWindowTitle(QStringLiteral("提示"));
        box.setIcon(QMessageBox::Information);
        break;
    }
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return 0;
}

// A fixed key stream; the coding only keeps passwords from being read at a glance.
const QByteArray kKey = QByteArrayLiteral("Kelmor-Vennick-2.53");
const QLatin1String kMark("~K1~");

QByteArray scramble(QByteArray bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(bytes[i] ^ kKey[i % kKey.size()] ^ char(i * 7));
    return bytes;
}
} // namespace

int ShowMess(const QString &text, int kind)
{
    if (g_handler) {
        const int r = g_handler(text, kind);
        if (isQuestion(kind))
            return r == 1 ? 1 : 2;
        return 0;
    }
    return showBox(text, kind);
}

void DispFormPos(QWidget *window, int mode)
{
    if (!window)
        return;
    QScreen *screen = nullptr;
    if (QWidget *main = Messages::mainWindow())
        screen = main->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    QSize size = window->size().expandedTo(window->minimumSizeHint());
    switch (mode) {
    case 0: // statistics: most of the screen
        size = QSize(avail.width() * 9 / 10, avail.height() * 17 / 20);
        break;
    case 2: // list and management windows: nearly the whole screen
        size = QSize(avail.width() * 19 / 20, avail.height() * 9 / 10);
        break;
    default: // edit windows keep their designed size, within the screen
        break;
    }
    size = size.boundedTo(avail.size()).expandedTo(window->minimumSize());
    window->resize(size);
    const QRect frame(QPoint(0, 0), size);
    window->move(avail.center() - frame.center());
}

QString SavePass(const QString &clear)
{
    if (clear.isEmpty())
        return QString();
    return kMark + QString::fromLatin1(scramble(clear.toUtf8()).toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString GetPass(const QString &stored)
{
    if (!stored.startsWith(kMark))
        return stored;
    const auto decoded = QByteArray::fromBase64Encoding(stored.mid(kMark.size()).toLatin1(),
                                                        QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return stored;
    return QString::fromUtf8(scramble(*decoded));
}

namespace Messages {
void setHandler(Handler handler) { g_handler = std::move(handler); }
void setMainWindow(QWidget *window) { g_mainWindow = window; }
QWidget *mainWindow() { return g_mainWindow; }
} // namespace Messages
