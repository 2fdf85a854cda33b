#include "platform/Config.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"
#include "tools/ConnWindow.h"
#include "tools/ConnectionSettings.h"
#include "tools/SetupWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace TestSupport;

namespace {
void setText(QWidget *root, const QString &name, const QString &text)
{
    auto *e = child<QLineEdit>(root, name);
    e->clear();
    typeText(e, text);
}

void chooseDriver(QWidget *root, const QString &driver)
{
    auto *c = child<QComboBox>(root, "cbbDriver");
    c->setCurrentIndex(c->findData(driver));
}
} // namespace

class TestToolWindows : public QObject
{
    Q_OBJECT
private slots:
    void setupWindowCreatesAndAsksBeforeReplacing()
    {
        QTemporaryDir dir;
        SetupOptions defaults;
        defaults.settings.baseDir = dir.path();
        SetupWindow w(defaults);
        w.show();
        // captions by their fields
        for (const auto &[caption, field] : {std::pair{"数据库类型(&T)：", "cbbDriver"}, {"服务器(&S)：", "edtServer"},
                                             {"数据库名称(&N)：", "edtDatabase"}, {"密码(&P)：", "edtPassword"},
                                             {"演示客户数(&D)：", "spnDemo"}}) {
            bool found = false;
            for (QLabel *l : w.findChildren<QLabel *>())
                if (l->text() == QString::fromUtf8(caption)) {
                    QCOMPARE(l->buddy()->objectName(), QString(field));
                    found = true;
                }
            QVERIFY2(found, caption);
        }
        QCOMPARE(child<QPushButton>(&w, "btnCreate")->text(), QStringLiteral("创建数据库"));
        QCOMPARE(child<QPushButton>(&w, "btnClose")->text(), QStringLiteral("关闭"));
        // a file database needs no server or password
        QVERIFY(!child<QLineEdit>(&w, "edtServer")->isEnabled());
        chooseDriver(&w, "psql");
        QVERIFY(child<QLineEdit>(&w, "edtServer")->isEnabled());
        chooseDriver(&w, "sqlite");

        Script s;
        setText(&w, "edtDatabase", "");
        click(&w, "btnCreate");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("请输入数据库名称！")});

        setText(&w, "edtDatabase", QStringLiteral("演示"));
        child<QSpinBox>(&w, "spnDemo")->setValue(25);
        click(&w, "btnCreate");
        auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, int(MessInfo));
        QVERIFY(m.at(0).text.startsWith(QStringLiteral("数据库创建成功！")));
        const QString file = QDir(dir.path()).filePath(QStringLiteral("演示.db"));
        QVERIFY(QFile::exists(file));
        QVERIFY(child<QPlainTextEdit>(&w, "memLog")->toPlainText().contains(QStringLiteral("完成")));
        // the workstation is pointed at it
        const DbSettings written = ConnectionSettings::load(QDir(dir.path()).filePath("Config.ini"));
        QCOMPARE(written.database, QStringLiteral("演示"));
        QString error;
        QVERIFY2(ConnectionSettings::test(written, &error), qPrintable(error));
        QCOMPARE(Database::connection("qelconn_test").isValid(), false);

        // again: asked first; "no" leaves it as it was
        const qint64 size = QFileInfo(file).size();
        child<QSpinBox>(&w, "spnDemo")->setValue(0);
        s.answer(2);
        click(&w, "btnCreate");
        m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, int(MessDestructive)); // 否 by default: Enter keeps the database
        QVERIFY(m.at(0).text.contains(QStringLiteral("已经存在")));
        QCOMPARE(QFileInfo(file).size(), size);
        QVERIFY(child<QPlainTextEdit>(&w, "memLog")->toPlainText().contains(QStringLiteral("已取消")));
        // "yes" replaces it
        s.answer(1);
        click(&w, "btnCreate");
        m = s.takeMessages();
        QCOMPARE(m.size(), 2);
        QCOMPARE(m.at(1).kind, int(MessInfo));
        QVERIFY(QFileInfo(file).size() < size);
    }

    void setupWindowReportsFailures()
    {
        QTemporaryDir dir;
        SetupOptions defaults;
        defaults.settings.baseDir = dir.path();
        SetupWindow w(defaults);
        Script s;
        chooseDriver(&w, "psql");
        setText(&w, "edtDatabase", "a b");
        click(&w, "btnCreate");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("数据库名称只能由字母、数字、下划线和减号组成！")});
        setText(&w, "edtDatabase", "crm");
        setText(&w, "edtServer", "127.0.0.1:1");
        click(&w, "btnCreate");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, int(MessError));
        QVERIFY2(m.at(0).text.startsWith(QStringLiteral("数据库创建失败")), qPrintable(m.at(0).text));
        QVERIFY(child<QPushButton>(&w, "btnCreate")->isEnabled());
    }

    void connWindowEditsTheConfig_data() { addBackendRows(); }
    void connWindowEditsTheConfig()
    {
        KELMOR_FETCH_BACKEND(backend);
        TestDb db(backend, false);
        QTemporaryDir dir;
        const QString cfg = QDir(dir.path()).filePath("Config.ini");
        {
            Config c(cfg);
            c.writeString("DBconn", "driver", "mssql");
            c.writeString("DBconn", "server", "old-server");
            c.writeString("DBconn", "Database", "Old");
            c.writeString("DBconn", "password", SavePass("secret"));
            c.writeString("Config", "CurOperCode", "000");
        }
        ConnWindow w(cfg);
        w.show();
        auto *driver = child<QComboBox>(&w, "cbbDriver");
        QCOMPARE(driver->currentText(), QStringLiteral("SQL Server 数据库服务器"));
        QCOMPARE(driver->itemText(0), QStringLiteral("本机数据库文件 (SQLite)"));
        QCOMPARE(child<QLineEdit>(&w, "edtServer")->text(), QString("old-server"));
        QCOMPARE(child<QLineEdit>(&w, "edtPassword")->text(), QString("secret"));
        QCOMPARE(child<QLineEdit>(&w, "edtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QPushButton>(&w, "btnTest")->text(), QStringLiteral("测试连接"));

        Script s;
        // the test database: the SQLite file is looked for beside the Config.ini
        const DbSettings target = db.settings();
        chooseDriver(&w, SqlDialect::backendName(backend));
        if (backend == Backend::Sqlite) {
            QFile::copy(db.dbFile(), QDir(dir.path()).filePath("Copy.db"));
            setText(&w, "edtDatabase", "Copy");
        } else {
            setText(&w, "edtServer", target.server);
            setText(&w, "edtPassword", target.password);
            setText(&w, "edtDatabase", target.database);
        }
        click(&w, "btnTest");
        QCOMPARE(s.takeMessages().at(0).text, QStringLiteral("数据库连接成功！"));
        // a database that is not there
        setText(&w, "edtDatabase", "Missing");
        click(&w, "btnTest");
        auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, int(MessError));
        QVERIFY(m.at(0).text.startsWith(QStringLiteral("数据库连接失败")));

        // save writes [DBconn] only, with the password coded
        setText(&w, "edtDatabase", backend == Backend::Sqlite ? QString("Copy") : target.database);
        setText(&w, "edtPassword", QStringLiteral("新密码"));
        click(&w, "btnSave");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("连接设置已保存，重新启动程序后生效。")});
        QCOMPARE(w.result(), int(QDialog::Accepted));
        Config c(cfg);
        QCOMPARE(c.readString("DBconn", "driver"), SqlDialect::backendName(backend));
        QCOMPARE(c.readString("DBconn", "Database"), backend == Backend::Sqlite ? QString("Copy") : target.database);
        QCOMPARE(c.readString("DBconn", "password"), SavePass(QStringLiteral("新密码")));
        QCOMPARE(GetPass(c.readString("DBconn", "password")), QStringLiteral("新密码"));
        QCOMPARE(c.readString("Config", "CurOperCode"), QString("000"));
    }

    void connWindowCancelLeavesTheFile()
    {
        QTemporaryDir dir;
        const QString cfg = QDir(dir.path()).filePath("Config.ini");
        ConnWindow w(cfg);
        // no file: the program's defaults
        QCOMPARE(child<QComboBox>(&w, "cbbDriver")->currentData().toString(), QString("sqlite"));
        QCOMPARE(child<QLineEdit>(&w, "edtDatabase")->text(), QString("Brenmoor"));
        QCOMPARE(child<QLineEdit>(&w, "edtServer")->text(), QString("(Local)"));
        Script s;
        setText(&w, "edtDatabase", "");
        click(&w, "btnSave");
        QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("请输入数据库名称！")});
        setText(&w, "edtDatabase", "Other");
        click(&w, "btnCancel");
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(cfg));
    }
};

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
