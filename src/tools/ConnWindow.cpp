#include "ConnWindow.h"

#include "ConnectionSettings.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *buddyLabel(const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}
} // namespace

ConnWindow::ConnWindow(const QString &configPath, QWidget *parent)
    : QDialog(parent), m_configPath(configPath), m_loaded(ConnectionSettings::load(configPath))
{
    setObjectName(QStringLiteral("ConnWindow"));
    setWindowTitle(QStringLiteral("连接网络数据库"));

    m_driver = new QComboBox;
    m_driver->setObjectName(QStringLiteral("cbbDriver"));
    m_driver->addItem(QStringLiteral("本机数据库文件 (SQLite)"), QStringLiteral("sqlite"));
    m_driver->addItem(QStringLiteral("PostgreSQL 数据库服务器"), QStringLiteral("psql"));
    m_driver->addItem(QStringLiteral("SQL Server 数据库服务器"), QStringLiteral("mssql"));
    m_server = new QLineEdit(m_loaded.server);
    m_server->setObjectName(QStringLiteral("edtServer"));
    m_server->setPlaceholderText(QStringLiteral("主机名或地址[:端口]"));
    m_database = new QLineEdit(m_loaded.database);
    m_database->setObjectName(QStringLiteral("edtDatabase"));
    m_database->setMaxLength(100);
    m_password = new QLineEdit(m_loaded.password);
    m_password->setObjectName(QStringLiteral("edtPassword"));
    m_password->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("数据库类型(&T)："), m_driver), m_driver);
    form->addRow(buddyLabel(QStringLiteral("服务器(&S)："), m_server), m_server);
    form->addRow(buddyLabel(QStringLiteral("数据库名称(&N)："), m_database), m_database);
    form->addRow(buddyLabel(QStringLiteral("密码(&P)："), m_password), m_password);
    auto *note = new QLabel(QStringLiteral("登录用户为 sa；密码加密保存在 %1。")
                                .arg(QDir::toNativeSeparators(m_configPath)));
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);

    m_test = new QPushButton(QStringLiteral("测试连接"));
    m_test->setObjectName(QStringLiteral("btnTest"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_save->setObjectName(QStringLiteral("btnSave"));
    m_save->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_test);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto *main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addWidget(note);
    main->addStretch();
    main->addLayout(buttons);
    resize(440, 230);

    const int index = m_driver->findData(m_loaded.driver);
    m_driver->setCurrentIndex(index < 0 ? 0 : index);
    connect(m_driver, &QComboBox::currentIndexChanged, this, &ConnWindow::driverChanged);
    connect(m_test, &QPushButton::clicked, this, &ConnWindow::testConnection);
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (saveSettings())
            accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    driverChanged();
}

void ConnWindow::driverChanged()
{
    const bool server = m_driver->currentData().toString() != QLatin1String("sqlite");
    m_server->setEnabled(server);
    m_password->setEnabled(server);
}

DbSettings ConnWindow::settings() const
{
    DbSettings s = m_loaded;
    s.driver = m_driver->currentData().toString();
    s.server = m_server->text().trimmed();
    if (s.server.isEmpty())
        s.server = QStringLiteral("(Local)");
    s.database = m_database->text().trimmed();
    s.password = m_password->text();
    return s;
}

bool ConnWindow::testConnection()
{
    const DbSettings s = settings();
    if (s.database.isEmpty()) {
        ShowMess(QStringLiteral("请输入数据库名称！"), MessWarning);
        m_database->setFocus();
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool ok = ConnectionSettings::test(s, &error);
    QApplication::restoreOverrideCursor();
    if (ok)
        ShowMess(QStringLiteral("数据库连接成功！"), MessInfo);
    else
        ShowMess(QStringLiteral("数据库连接失败：\n%1").arg(error), MessError);
    return ok;
}

bool ConnWindow::saveSettings()
{
    const DbSettings s = settings();
    if (s.database.isEmpty()) {
        ShowMess(QStringLiteral("请输入数据库名称！"), MessWarning);
        m_database->setFocus();
        return false;
    }
    if (!ConnectionSettings::save(m_configPath, s)) {
        ShowMess(QStringLiteral("配置文件保存失败：%1").arg(QDir::toNativeSeparators(m_configPath)), MessError);
        return false;
    }
    ShowMess(QStringLiteral("连接设置已保存，重新启动程序后生效。"), MessInfo);
    return true;
}
