#include "SetupWindow.h"

#include "platform/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
QLabel *buddyLabel(const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}
} // namespace

SetupWindow::SetupWindow(const SetupOptions &defaults, QWidget *parent) : QDialog(parent), m_defaults(defaults)
{
    setObjectName(QStringLiteral("SetupWindow"));
    setWindowTitle(QStringLiteral("Kelmor客户管理软件 - 创建数据库"));

    m_driver = new QComboBox;
    m_driver->setObjectName(QStringLiteral("cbbDriver"));
    m_driver->addItem(QStringLiteral("本机数据库文件 (SQLite)"), QStringLiteral("sqlite"));
    m_driver->addItem(QStringLiteral("PostgreSQL 数据库服务器"), QStringLiteral("psql"));
    m_driver->addItem(QStringLiteral("SQL Server 数据库服务器"), QStringLiteral("mssql"));
    m_server = new QLineEdit(defaults.settings.server);
    m_server->setObjectName(QStringLiteral("edtServer"));
    m_server->setPlaceholderText(QStringLiteral("主机名或地址[:端口]"));
    m_database = new QLineEdit(defaults.settings.database);
    m_database->setObjectName(QStringLiteral("edtDatabase"));
    m_database->setMaxLength(100);
    m_password = new QLineEdit(defaults.settings.password);
    m_password->setObjectName(QStringLiteral("edtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_demo = new QSpinBox;
    m_demo->setObjectName(QStringLiteral("spnDemo"));
    m_demo->setRange(0, 1000000);
    m_demo->setSingleStep(1000);
    m_demo->setValue(defaults.demoCustomers);
    m_writeConfig = new QCheckBox(QStringLiteral("创建后写入本机配置文件 Config.ini"));
    m_writeConfig->setObjectName(QStringLiteral("chkWriteConfig"));
    m_writeConfig->setChecked(true);

    auto *form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("数据库类型(&T)："), m_driver), m_driver);
    form->addRow(buddyLabel(QStringLiteral("服务器(&S)："), m_server), m_server);
    form->addRow(buddyLabel(QStringLiteral("数据库名称(&N)："), m_database), m_database);
    form->addRow(buddyLabel(QStringLiteral("密码(&P)："), m_password), m_password);
    form->addRow(buddyLabel(QStringLiteral("演示客户数(&D)："), m_demo), m_demo);
    form->addRow(QString(), m_writeConfig);

    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_log = new QPlainTextEdit;
    m_log->setObjectName(QStringLiteral("memLog"));
    m_log->setReadOnly(true);
    m_log->setMinimumHeight(110);
    m_log->setPlainText(QStringLiteral("本机数据库文件保存在：%1").arg(QDir::toNativeSeparators(defaults.settings.baseDir)));

    m_create = new QPushButton(QStringLiteral("创建数据库"));
    m_create->setObjectName(QStringLiteral("btnCreate"));
    m_create->setDefault(true);
    m_close = new QPushButton(QStringLiteral("关闭"));
    m_close->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_create);
    buttons->addWidget(m_close);

    auto *main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addWidget(m_progress);
    main->addWidget(m_log);
    main->addLayout(buttons);
    resize(480, 380);

    const int index = m_driver->findData(SqlDialect::backendName(defaults.settings.backend()));
    m_driver->setCurrentIndex(index < 0 ? 0 : index);
    connect(m_driver, &QComboBox::currentIndexChanged, this, &SetupWindow::driverChanged);
    connect(m_create, &QPushButton::clicked, this, &SetupWindow::createDatabase);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    driverChanged();
}

void SetupWindow::driverChanged()
{
    const bool server = m_driver->currentData().toString() != QLatin1String("sqlite");
    m_server->setEnabled(server);
    m_password->setEnabled(server);
}

SetupOptions SetupWindow::options() const
{
    SetupOptions o = m_defaults;
    o.settings.driver = m_driver->currentData().toString();
    o.settings.server = m_server->text().trimmed();
    if (o.settings.server.isEmpty())
        o.settings.server = QStringLiteral("(Local)");
    o.settings.database = m_database->text().trimmed();
    o.settings.password = m_password->text();
    o.demoCustomers = m_demo->value();
    o.writeConfig = m_writeConfig->isChecked();
    o.force = false;
    return o;
}

void SetupWindow::log(const QString &text, int percent)
{
    m_progress->setValue(percent);
    // the demo data reports often: keep one line for it
    QString all = m_log->toPlainText();
    const QString demo = QStringLiteral("正在生成演示数据：");
    if (text.startsWith(demo)) {
        const int at = all.lastIndexOf(QLatin1Char('\n'));
        if (all.mid(at + 1).startsWith(demo)) {
            all = all.left(qMax(0, at));
            m_log->setPlainText(all);
        }
    }
    m_log->appendPlainText(text);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool SetupWindow::createDatabase()
{
    SetupOptions o = options();
    if (o.settings.database.isEmpty()) {
        ShowMess(QStringLiteral("请输入数据库名称！"), MessWarning);
        m_database->setFocus();
        return false;
    }
    if (o.settings.backend() != Backend::Sqlite && !DatabaseCreator::validDatabaseName(o.settings.database)) {
        ShowMess(QStringLiteral("数据库名称只能由字母、数字、下划线和减号组成！"), MessWarning);
        m_database->setFocus();
        return false;
    }
    m_create->setEnabled(false);
    m_close->setEnabled(false);
    m_progress->setValue(0);
    m_log->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // an existing database is replaced only when the operator says so
    QString error;
    bool holdsTables = false;
    const bool exists = DatabaseCreator(o).targetExists(&holdsTables, &error);
    bool go = error.isEmpty();
    if (go && exists && holdsTables) {
        QApplication::restoreOverrideCursor();
        go = ShowMess(QStringLiteral("数据库“%1”已经存在，是否删除原有数据库并重新创建？").arg(DatabaseCreator(o).targetText()),
                      MessDestructive) == 1;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        o.force = true;
    }
    DatabaseCreator creator(o);
    creator.setProgress([this](const QString &text, int percent) { log(text, percent); });
    QElapsedTimer timer;
    timer.start();
    const bool ok = go && creator.run(&error);
    QApplication::restoreOverrideCursor();
    m_create->setEnabled(true);
    m_close->setEnabled(true);
    if (ok) {
        log(QStringLiteral("完成，用时 %1 秒").arg(timer.elapsed() / 1000.0, 0, 'f', 1), 100);
        ShowMess(QStringLiteral("数据库创建成功！\n%1").arg(creator.targetText()), MessInfo);
    } else if (!error.isEmpty()) {
        log(QStringLiteral("错误：") + error, 0);
        ShowMess(QStringLiteral("数据库创建失败：\n%1").arg(error), MessError);
    } else {
        log(QStringLiteral("已取消，原有数据库没有改动。"), 0);
    }
    return ok;
}
