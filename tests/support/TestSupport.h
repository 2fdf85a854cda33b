#pragma once

#include "app/TdmData.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <QQueue>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

class QWidget;

namespace TestSupport {

// A fresh database made by the project's own schema and seed scripts, open as
// the program's connection, with a data module over it, and a temporary folder
// with a Config.ini. SQLite: the file Brenmoor.db in that folder, the
// Config.ini empty. PostgreSQL: a new database on the test server, dropped
// again at the end; the Config.ini's [DBconn] names it.
class TestDb
{
public:
    explicit TestDb(bool withDataModule = true);
    explicit TestDb(Backend backend, bool withDataModule = true);
    ~TestDb();

    Backend backend() const { return m_backend; }
    const DbSettings &settings() const { return m_settings; }
    QString dir() const { return m_dir.path(); }
    QString dbFile() const;
    QString configPath() const;
    QSqlDatabase db() const;
    TdmData *dm() const { return m_dm.get(); }

    bool exec(const QString &sql, const QVariantMap &params = {}) const;
    QVariant scalar(const QString &sql, const QVariantMap &params = {}) const;
    int count(const QString &table, const QString &where = QStringLiteral("1=1"), const QVariantMap &params = {}) const;
    // Inserts a row and gives its F_ID.
    qint64 insert(const QString &table, const QVariantMap &values) const;

private:
    QTemporaryDir m_dir;
    Backend m_backend = Backend::Sqlite;
    DbSettings m_settings;
    std::unique_ptr<TdmData> m_dm;
};

// Stands in for the operator: records every message, answers questions from a
// queue, runs a queued script on each modal dialog, answers file dialogs, and
// records addresses and programs the program tried to open. Anything that
// arrives without a queued answer fails the test.
class Script
{
public:
    struct Message
    {
        QString text;
        int kind;
    };
    using ModalAction = std::function<int(QDialog *)>;

    Script();
    ~Script();

    // Answers for the next questions (1 yes, 2 no), in order.
    void answer(int yesOrNo);
    void answers(std::initializer_list<int> list);
    // A script for the next modal dialog. It returns the dialog's result, or
    // nothing: then the result is the one the script left on the dialog, and
    // QCOMPARE and QVERIFY work in it as in a test function (a failed check
    // fails the test and ends the script).
    template <typename Action>
    void onModal(Action &&action);
    // The path the next file dialog returns (empty: cancelled).
    void onFile(const QString &path);

    // Messages shown since the last take, consumed.
    QList<Message> takeMessages();
    QStringList takeTexts();
    bool hasMessages() const { return !m_messages.isEmpty(); }
    QStringList dialogsShown() const { return m_dialogs; }

    QList<QUrl> urls;
    QList<QPair<QString, QStringList>> programs;
    bool urlResult = true;
    bool programResult = true;
    // Unexpected things; checked when the script ends.
    QStringList failures;
    // Unconsumed messages are a failure at the end, unless allowed.
    bool allowLeftoverMessages = false;

private:
    void enqueueModal(ModalAction action);

    QList<Message> m_messages;
    QQueue<int> m_answers;
    QQueue<ModalAction> m_modals;
    QQueue<QString> m_files;
    QStringList m_dialogs;
};

// Makes `dir` the operator's home, so that exported workbooks land in a
// documents folder of the test's own.
void useHome(const QString &dir);

// Types text (Chinese included) into a widget as an input method commits it.
void typeText(QWidget *widget, const QString &text);
// Finds a child by object name; fails the test (and returns null) if absent.
template <typename T>
T *child(QObject *root, const QString &name);
// Clicks a button found by object name.
void click(QObject *root, const QString &name);

// Pictures of windows for a person to look at: the folder that
// KELMOR_SCREENSHOTS names, empty when pictures are not wanted.
QString screenshotDir();
// Saves the widget as NAME.png there; false only when a wanted picture could
// not be saved.
bool screenshot(QWidget *widget, const QString &name);

// Directory of the PostgreSQL test server connection, empty when none.
QString psqlTestSettings();
// The PostgreSQL test server (KELMOR_TEST_PSQL = host:port, the password in
// KELMOR_TEST_PSQL_PASSWORD) as settings without a database; false when none.
bool psqlTestServer(DbSettings *settings);

// Database tests run on every backend available here: a data column
// "backend" with one row per backend, and the fetch that skips the row when
// its backend cannot be tested on this machine.
QList<Backend> testBackends();
void addBackendRows();
Backend fetchBackend();
// Why a backend cannot be tested here; empty when it can.
QString backendUnavailable(Backend backend);

} // namespace TestSupport

// const Backend name = the row's backend; skips the row when it is not available.
#define KELMOR_FETCH_BACKEND(name)                                                                                     \
    const Backend name = TestSupport::fetchBackend();                                                                  \
    do {                                                                                                               \
        const QString why_ = TestSupport::backendUnavailable(name);                                                    \
        if (!why_.isEmpty())                                                                                           \
            QSKIP(qPrintable(why_));                                                                                   \
    } while (false)

#include <QTest>

template <typename Action>
void TestSupport::Script::onModal(Action &&action)
{
    if constexpr (std::is_void_v<std::invoke_result_t<Action &, QDialog *>>)
        enqueueModal([action = std::forward<Action>(action)](QDialog *d) mutable {
            action(d);
            return d->result();
        });
    else
        enqueueModal(ModalAction(std::forward<Action>(action)));
}

template <typename T>
T *TestSupport::child(QObject *root, const QString &name)
{
    T *w = root ? root->findChild<T *>(name) : nullptr;
    if (!w)
        QTest::qFail(qPrintable(QStringLiteral("no child '%1'").arg(name)), __FILE__, __LINE__);
    return w;
}
