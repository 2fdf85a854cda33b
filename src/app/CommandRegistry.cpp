#include "CommandRegistry.h"

#include <QDebug>

bool CommandRegistry::add(const QString &code, CommandHandler handler)
{
    if (code.isEmpty() || !handler)
        return false;
    if (m_handlers.contains(code)) {
        qWarning("CommandRegistry: command %s is registered twice; the first handler stays", qPrintable(code));
        return false;
    }
    m_handlers.insert(code, std::move(handler));
    m_order.append(code);
    return true;
}

void CommandRegistry::replace(const QString &code, CommandHandler handler)
{
    if (!handler) {
        remove(code);
        return;
    }
    if (!m_handlers.contains(code))
        m_order.append(code);
    m_handlers.insert(code, std::move(handler));
}

void CommandRegistry::remove(const QString &code)
{
    if (m_handlers.remove(code) > 0)
        m_order.removeAll(code);
}

bool CommandRegistry::run(CommandContext &context) const
{
    const auto it = m_handlers.constFind(context.code);
    if (it == m_handlers.constEnd())
        return false;
    // a copy: the handler may close the window that holds this registry
    const CommandHandler handler = it.value();
    handler(context);
    return true;
}
