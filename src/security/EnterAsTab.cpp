#include "EnterAsTab.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

EnterAsTab::EnterAsTab(QWidget *window) : QObject(window), m_window(window) {}

void EnterAsTab::install(QWidget *window)
{
    if (!window)
        return;
    // one application-wide filter per window, acting only on its own controls
    qApp->installEventFilter(new EnterAsTab(window));
}

bool EnterAsTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter)
        return false;
    if (ke->modifiers() & ~(Qt::KeypadModifier))
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w != QApplication::focusWidget() || w->window() != m_window)
        return false;
    for (QWidget *p = w; p && p != m_window; p = p->parentWidget())
        if (qobject_cast<QPushButton *>(p) || qobject_cast<QToolButton *>(p) || qobject_cast<QTextEdit *>(p)
            || qobject_cast<QPlainTextEdit *>(p) || qobject_cast<QAbstractItemView *>(p))
            return false;
    for (QWidget *next = w->nextInFocusChain(); next && next != w; next = next->nextInFocusChain()) {
        if (next->window() == m_window && !next->focusProxy() && (next->focusPolicy() & Qt::TabFocus) && next->isVisible()
            && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return true;
}
