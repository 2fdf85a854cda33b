#include "WindowMemory.h"

#include "Config.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStringList>
#include <QWidget>

namespace {
const QString kSection = QStringLiteral("Windows");

QString keyOf(const QWidget *window) { return window ? window->objectName() : QString(); }

// Enough of the window's title bar lies on a screen to grab it.
bool onAScreen(const QRect &frame)
{
    for (const QScreen *s : QGuiApplication::screens()) {
        const QRect common = s->availableGeometry().intersected(frame);
        if (common.width() >= 100 && common.height() >= 40)
            return true;
    }
    return false;
}
} // namespace

namespace WindowMemory {
bool restore(QWidget *window)
{
    const QString key = keyOf(window);
    if (key.isEmpty() || !Config::hasShared())
        return false;
    Config &cfg = Config::shared();
    const QStringList parts = cfg.readString(kSection, key).split(QLatin1Char(','));
    if (parts.size() < 5)
        return false;
    bool ok[4] = {};
    const QRect rect(parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]), parts[2].toInt(&ok[2]), parts[3].toInt(&ok[3]));
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || rect.width() <= 0 || rect.height() <= 0 || !onAScreen(rect))
        return false;
    window->resize(rect.size().expandedTo(window->minimumSize()));
    window->move(rect.topLeft());
    if (parts[4] == QLatin1String("1"))
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    for (QSplitter *s : window->findChildren<QSplitter *>()) {
        const QString state = cfg.readString(kSection, key + QLatin1Char('.') + s->objectName());
        if (!s->objectName().isEmpty() && !state.isEmpty())
            s->restoreState(QByteArray::fromBase64(state.toLatin1()));
    }
    return true;
}

void save(const QWidget *window)
{
    const QString key = keyOf(window);
    if (key.isEmpty() || !Config::hasShared())
        return;
    Config &cfg = Config::shared();
    const bool maximised = window->isMaximized();
    // the place to come back to from a maximised window is its normal one
    const QRect r = maximised ? window->normalGeometry() : QRect(window->pos(), window->size());
    cfg.writeString(kSection, key,
                    QStringLiteral("%1,%2,%3,%4,%5").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).arg(maximised ? 1 : 0));
    for (const QSplitter *s : window->findChildren<QSplitter *>())
        if (!s->objectName().isEmpty())
            cfg.writeString(kSection, key + QLatin1Char('.') + s->objectName(), QString::fromLatin1(s->saveState().toBase64()));
}
} // namespace WindowMemory
