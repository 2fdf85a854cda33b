#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class DataSet;
class QObject;
class QWidget;

// What a command may ask of the window that runs it. Subsystems below the
// main window reach the customer workspace through this, without including
// the window's own headers.
class CommandHost
{
public:
    // The customer workspace: the customer list and the detail queries of
    // the current customer.
    virtual QObject *customerWorkspace() const = 0;
    // The customer list; its current row is the current customer.
    virtual DataSet *customerList() const = 0;
    // The detail tab in front (1..9), 0 before the first is chosen.
    virtual int currentDetailTab() const = 0;
    // Re-reads the customer list, after a command changed customers.
    virtual void refreshCustomerList() = 0;

protected:
    ~CommandHost() = default;
};

// One run of a command.
struct CommandContext
{
    QString code;                // "211", or a named command such as "N82"
    QWidget *parent = nullptr;   // the window the command's windows belong to
    CommandHost *host = nullptr; // null when no main window runs it
};

using CommandHandler = std::function<void(CommandContext &)>;

// The main window's commands by permission code or name. Each subsystem adds
// its own through one register function; the main window enables the actions
// that have a handler and runs the handler when one is triggered.
class CommandRegistry
{
public:
    // Registers the handler of a code. A code already taken keeps its
    // handler (two subsystems claiming one command is a mistake) and false
    // is returned.
    bool add(const QString &code, CommandHandler handler);
    // Registers the handler whether or not the code is taken: stand-ins over
    // the real handlers.
    void replace(const QString &code, CommandHandler handler);
    void remove(const QString &code);

    bool contains(const QString &code) const { return m_handlers.contains(code); }
    bool isEmpty() const { return m_handlers.isEmpty(); }
    // The codes in the order they were registered.
    QStringList codes() const { return m_order; }

    // Runs the handler of context.code; false when the code has none.
    bool run(CommandContext &context) const;

private:
    QHash<QString, CommandHandler> m_handlers;
    QStringList m_order;
};
