#include "EnterAsTab.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

EnterAsTab::EnterAsTab(QWidget *window) : QObject(window), m_window(window) {}

void EnterAsTab::install(QWidget *window)
{
    if (!window)
        return;
    // A control that does not use Enter itself passes the key on to its
    // parents, up to the window: its filter sees it there.
    window->installEventFilter(new EnterAsTab(window));
    // Tab leaves a memo (a memo takes no tab characters), and boxes that
    // only show a value are passed by Tab and Enter (a click still selects).
    for (QPlainTextEdit *memo : window->findChildren<QPlainTextEdit *>())
        memo->setTabChangesFocus(true);
    for (QTextEdit *memo : window->findChildren<QTextEdit *>())
        memo->setTabChangesFocus(true);
    for (QLineEdit *box : window->findChildren<QLineEdit *>())
        if (box->isReadOnly() && (box->focusPolicy() & Qt::TabFocus))
            box->setFocusPolicy(Qt::ClickFocus);
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
    if (watched != m_window)
        return false;
    QWidget *w = QApplication::focusWidget();
    if (!w || w->window() != m_window)
        return false;
    for (QWidget *p = w; p && p != m_window; p = p->parentWidget()) {
        // a grid that did not use Enter presses no default button either
        if (qobject_cast<QAbstractItemView *>(p))
            return true;
        if (qobject_cast<QPushButton *>(p) || qobject_cast<QToolButton *>(p) || qobject_cast<QTextEdit *>(p)
            || qobject_cast<QPlainTextEdit *>(p))
            return false;
    }
    for (QWidget *next = w->nextInFocusChain(); next && next != w; next = next->nextInFocusChain()) {
        if (next->window() == m_window && !next->focusProxy() && (next->focusPolicy() & Qt::TabFocus) && next->isVisible()
            && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return true;
}
