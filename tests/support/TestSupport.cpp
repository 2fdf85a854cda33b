#include "TestSupport.h"

#include "platform/Config.h"
#include "platform/Database.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "tools/DatabaseCreator.h"
#include "tools/SchemaSetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QPixmap>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QWidget>

namespace TestSupport {

TestDb::TestDb(bool withDataModule) : TestDb(Backend::Sqlite, withDataModule) {}

TestDb::TestDb(Backend backend, bool withDataModule) : m_backend(backend)
{
    Database::close(TdmData::connectionName());
    QString error;
    if (backend == Backend::Sqlite) {
        m_settings.baseDir = m_dir.path();
        m_settings.database = QStringLiteral("Brenmoor");
    } else {
        if (backend != Backend::Psql || !psqlTestServer(&m_settings))
            qFatal("no test server for %s", qPrintable(SqlDialect::backendName(backend)));
        static int serial = 0;
        m_settings.database = QStringLiteral("kelmor_t%1_%2_%3")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(++serial)
                                  .arg(QDateTime::currentMSecsSinceEpoch() % 100000);
        if (!DatabaseCreator::createServerDatabase(m_settings, &error))
            qFatal("cannot create test database %s: %s", qPrintable(m_settings.database), qPrintable(error));
    }
    if (!Database::openRaw(TdmData::connectionName(), m_settings, &error))
        qFatal("cannot open test database: %s", qPrintable(error));
    if (!SchemaSetup::createSchema(Database::connection(TdmData::connectionName()), &error))
        qFatal("cannot create schema: %s", qPrintable(error));
    Database::setDefaultConnectionName(TdmData::connectionName());
    if (backend == Backend::Sqlite) {
        QFile cfg(configPath());
        cfg.open(QIODevice::WriteOnly);
        cfg.close();
    } else {
        DatabaseCreator::writeConfig(configPath(), m_settings);
    }
    Config::openShared(configPath());
    if (withDataModule) {
        m_dm = std::make_unique<TdmData>();
        m_dm->UseOpenConnection();
    }
}

TestDb::~TestDb()
{
    m_dm.reset();
    Database::close(TdmData::connectionName());
    if (m_backend != Backend::Sqlite) {
        QString error;
        if (!DatabaseCreator::dropServerDatabase(m_settings, &error))
            qWarning("cannot drop test database %s: %s", qPrintable(m_settings.database), qPrintable(error));
    }
}

QString TestDb::dbFile() const
{
    return m_backend == Backend::Sqlite ? QDir(m_dir.path()).filePath(QStringLiteral("Brenmoor.db")) : QString();
}
QString TestDb::configPath() const { return QDir(m_dir.path()).filePath(QStringLiteral("Config.ini")); }
QSqlDatabase TestDb::db() const { return Database::connection(TdmData::connectionName()); }

bool TestDb::exec(const QString &sql, const QVariantMap &params) const
{
    QString error;
    const bool ok = Sql::execOn(db(), sql, params, &error);
    if (!ok)
        qWarning("exec failed: %s: %s", qPrintable(sql), qPrintable(error));
    return ok;
}

QVariant TestDb::scalar(const QString &sql, const QVariantMap &params) const
{
    QSqlQuery q(db());
    if (!Sql::exec(q, sql, params)) {
        qWarning("scalar failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return QVariant();
    }
    return q.next() ? q.value(0) : QVariant();
}

int TestDb::count(const QString &table, const QString &where, const QVariantMap &params) const
{
    return scalar(QStringLiteral("select count(*) from %1 where %2").arg(table, where), params).toInt();
}

qint64 TestDb::insert(const QString &table, const QVariantMap &values) const
{
    QString error;
    const qint64 id = Sql::insertRow(db(), table, values, QStringLiteral("F_ID"), &error);
    if (id < 0)
        qWarning("insert into %s failed: %s", qPrintable(table), qPrintable(error));
    return id;
}

void useHome(const QString &dir)
{
    qputenv("HOME", dir.toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DOCUMENTS_DIR");
}

// ------------------------------------------------------------------ Script

Script::Script()
{
    Messages::setHandler([this](const QString &text, int kind) {
        m_messages.append({text, kind});
        if (!isQuestion(kind))
            return 0;
        if (m_answers.isEmpty()) {
            failures.append(QStringLiteral("unanswered question: ") + text);
            return 2;
        }
        return m_answers.dequeue();
    });
    Modal::setHandler([this](QDialog *dialog) {
        m_dialogs.append(dialog->objectName());
        if (m_modals.isEmpty()) {
            failures.append(QStringLiteral("unexpected modal dialog: %1 (%2)").arg(dialog->objectName(), dialog->windowTitle()));
            return int(QDialog::Rejected);
        }
        // the dialog is shown (not modal) while the script acts on it
        dialog->show();
        QApplication::processEvents();
        const int r = m_modals.dequeue()(dialog);
        dialog->hide();
        return r;
    });
    Modal::setFileHandler([this](Modal::FileKind, const QString &caption, const QString &, const QString &) {
        if (m_files.isEmpty()) {
            failures.append(QStringLiteral("unexpected file dialog: ") + caption);
            return QString();
        }
        return m_files.dequeue();
    });
    Shell::setUrlHandler([this](const QUrl &url) {
        urls.append(url);
        return urlResult;
    });
    Shell::setProgramHandler([this](const QString &program, const QStringList &args) {
        programs.append({program, args});
        return programResult;
    });
}

Script::~Script()
{
    Messages::setHandler({});
    Modal::setHandler({});
    Modal::setFileHandler({});
    Shell::setUrlHandler({});
    Shell::setProgramHandler({});
    QStringList problems = failures;
    if (!m_answers.isEmpty())
        problems.append(QStringLiteral("%1 queued answer(s) not used").arg(m_answers.size()));
    if (!m_modals.isEmpty())
        problems.append(QStringLiteral("%1 queued dialog script(s) not used").arg(m_modals.size()));
    if (!allowLeftoverMessages)
        for (const Message &m : std::as_const(m_messages))
            problems.append(QStringLiteral("message not checked: [%1] %2").arg(m.kind).arg(m.text));
    if (!problems.isEmpty())
        QTest::qFail(qPrintable(problems.join(QLatin1Char('\n'))), __FILE__, __LINE__);
}

void Script::answer(int yesOrNo) { m_answers.enqueue(yesOrNo); }
void Script::answers(std::initializer_list<int> list)
{
    for (int a : list)
        m_answers.enqueue(a);
}
void Script::enqueueModal(ModalAction action) { m_modals.enqueue(std::move(action)); }
void Script::onFile(const QString &path) { m_files.enqueue(path); }

QList<Script::Message> Script::takeMessages()
{
    QList<Message> out;
    out.swap(m_messages);
    return out;
}

QStringList Script::takeTexts()
{
    QStringList out;
    for (const Message &m : takeMessages())
        out.append(m.text);
    return out;
}

// ------------------------------------------------------------------ helpers

void typeText(QWidget *widget, const QString &text)
{
    if (!widget)
        return;
    widget->setFocus();
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(widget, &e);
}

void click(QObject *root, const QString &name)
{
    auto *b = child<QAbstractButton>(root, name);
    if (b)
        b->click();
}

QString screenshotDir() { return qEnvironmentVariable("KELMOR_SCREENSHOTS"); }

bool screenshot(QWidget *widget, const QString &name)
{
    const QString dir = screenshotDir();
    if (dir.isEmpty())
        return true;
    if (!widget)
        return false;
    if (!QDir().mkpath(dir)) {
        qWarning("cannot make the screenshot folder %s", qPrintable(dir));
        return false;
    }
    const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(file)) {
        qWarning("cannot save %s", qPrintable(file));
        return false;
    }
    return true;
}

QString psqlTestSettings() { return qEnvironmentVariable("KELMOR_TEST_PSQL"); }

bool psqlTestServer(DbSettings *settings)
{
    const QString server = psqlTestSettings().trimmed();
    if (server.isEmpty())
        return false;
    settings->driver = QStringLiteral("psql");
    settings->server = server;
    settings->login = QStringLiteral("sa");
    settings->password = qEnvironmentVariable("KELMOR_TEST_PSQL_PASSWORD");
    settings->database.clear();
    settings->baseDir.clear();
    return true;
}

QList<Backend> testBackends() { return {Backend::Sqlite, Backend::Psql}; }

void addBackendRows()
{
    QTest::addColumn<QString>("backend");
    for (Backend b : testBackends()) {
        const QString name = SqlDialect::backendName(b);
        QTest::newRow(qPrintable(name)) << name;
    }
}

Backend fetchBackend()
{
    QFETCH(QString, backend);
    return SqlDialect::backendFromName(backend);
}

QString backendUnavailable(Backend backend)
{
    switch (backend) {
    case Backend::Sqlite:
        return QString();
    case Backend::Psql:
        return psqlTestSettings().trimmed().isEmpty() ? QStringLiteral("no PostgreSQL test server (KELMOR_TEST_PSQL)") : QString();
    case Backend::Mssql:
        break;
    }
    return QStringLiteral("SQL Server cannot run here");
}

} // namespace TestSupport
