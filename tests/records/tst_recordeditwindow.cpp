// The edit-window base with a small member of its own: a code-list value
// edited in a form (t_code).
#include "platform/DataSet.h"
#include "records/RecordEditWindow.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace TestSupport;

namespace {
constexpr RecordField kFields[] = {
    {"F_name", "edtName", FieldType::Text, 255},
    {"F_type", "cbbType", FieldType::Text, 50, true, "dept"},
};
const RecordKindInfo kValues{.kind = RecordKind::Employee, .table = "t_code", .customerLink = "", .editCaption = "选项",
                             .fields = kFields};
// The same with a control the form does not have.
constexpr RecordField kBrokenFields[] = {{"F_name", "edtMissing", FieldType::Text, 255}};
const RecordKindInfo kBroken{.kind = RecordKind::Employee, .table = "t_code", .customerLink = "", .fields = kBrokenFields};

class ValueEditor : public RecordEditor
{
public:
    ValueEditor(const RecordKindInfo &kind, DataSet *list) : RecordEditor(kind), m_list(list) {}
    QVariantMap current()
    {
        forget();
        if (m_list->currentRow() < 0)
            return emptyFields();
        const auto value = [this](const QString &c) { return m_list->value(c); };
        remember(m_list->keyOf(m_list->currentRow()), storedValues(fieldsFrom(value)));
        return fieldsFrom(value);
    }

protected:
    std::optional<SaveResult> check(QVariantMap &fields, const QStringList &) override
    {
        if (fields.value("F_name").toString().trimmed().isEmpty())
            return SaveResult::invalid(QStringLiteral("选项值不能为空！"), "F_name");
        return std::nullopt;
    }
    SaveResult write(QSqlDatabase &db, QVariantMap &fields, int) override
    {
        QString error;
        if (isEditMode()) {
            if (auto stop = checkUnchanged(db))
                return *stop;
            return Sql::updateRow(db, "t_code", storedValues(fields), "F_ID", loadedKey(), &error) ? SaveResult::done(loadedKey())
                                                                                                 : SaveResult::failed(error);
        }
        const qint64 key = Sql::insertRow(db, "t_code", storedValues(fields), "F_ID", &error);
        return key > 0 ? SaveResult::done(key) : SaveResult::failed(error);
    }
    bool refresh(qint64 key) override
    {
        if (!m_list->reopen())
            return false;
        m_list->setCurrentRow(m_list->rowOfKey(key));
        return true;
    }

private:
    DataSet *m_list;
};

class ValueWindow : public RecordEditWindow
{
public:
    ValueWindow(const RecordKindInfo &kind, DataSet *list) : RecordEditWindow(kind), m_editor(kind, list)
    {
        setObjectName("ValueWindow");
        auto *l = new QVBoxLayout(this);
        for (const char *name : {"edtName"}) {
            auto *e = new QLineEdit(this);
            e->setObjectName(name);
            l->addWidget(e);
        }
        auto *type = new QComboBox(this);
        type->setObjectName("cbbType");
        type->setEditable(true);
        l->addWidget(type);
        auto *more = new QCheckBox(QStringLiteral("连续新增"), this);
        more->setObjectName("CheckBox1");
        auto *ok = new QPushButton(QStringLiteral("确定"), this);
        ok->setObjectName("Button1");
        auto *cancel = new QPushButton(QStringLiteral("取消"), this);
        cancel->setObjectName("Button2");
        for (QWidget *w : std::initializer_list<QWidget *>{more, ok, cancel})
            l->addWidget(w);
        setUpBase({ok, cancel, more, nullptr});
    }
    ValueEditor &editor() override { return m_editor; }

protected:
    QVariantMap currentFields() override { return m_editor.current(); }

private:
    ValueEditor m_editor;
};

QLineEdit *nameBox(QDialog *d) { return d->findChild<QLineEdit *>("edtName"); }
} // namespace

class TestRecordEditWindow : public QObject
{
    Q_OBJECT
private slots:
    // New values with continuous add and Ctrl+S, the checks, Enter as Tab and
    // the code list filled when its box is entered.
    void addWithTheKeyboard()
    {
        TestDb t;
        DataSet list;
        list.setSql("select * from t_code where F_type = 'x' order by F_ID");
        QVERIFY(list.open());
        Script s;
        ValueWindow w(kValues, &list);
        s.onModal([&](QDialog *d) {
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            QCOMPARE(d->windowTitle(), QStringLiteral("选项 - 新增"));
            QVERIFY(d->findChild<QCheckBox *>("CheckBox1")->isVisible());
            QCOMPARE(nameBox(d)->maxLength(), 255);
            nameBox(d)->setFocus();
            QTest::keyClick(nameBox(d), Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("选项值不能为空！")});
            QTest::keyClicks(nameBox(d), "  first ");
            QTest::keyClick(nameBox(d), Qt::Key_Return); // on to the next field, which reads its list
            auto *type = d->findChild<QComboBox *>("cbbType");
            QCOMPARE(QApplication::focusWidget(), type);
            QVERIFY(type->findText(QStringLiteral("销售部")) >= 0);
            type->setEditText("x");
            QTest::keyClick(type, Qt::Key_S, Qt::ControlModifier);
            // saved; the window stays for the next one
            QVERIFY(d->isVisible());
            QCOMPARE(nameBox(d)->text(), QString());
            d->findChild<QCheckBox *>("CheckBox1")->setChecked(false);
            nameBox(d)->setText("second");
            type->setEditText("x");
            click(d, "Button1");
        });
        w.ShowRecord(0);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(t.count("t_code", "F_type = 'x'"), 2);
        QCOMPARE(t.count("t_code", "F_name = 'first'"), 1); // trimmed as the field says
        QCOMPARE(list.text("F_name"), QString("second"));   // the caller's list on the saved row
    }

    // An edit is refused when another workstation changed the row meanwhile,
    // and Esc closes the window without a save.
    void editSeesOtherWorkstations()
    {
        TestDb t;
        const qint64 key = t.insert("t_code", {{"F_type", "x"}, {"F_name", "old"}});
        DataSet list;
        list.setSql("select * from t_code where F_type = 'x' order by F_ID");
        QVERIFY(list.open());
        Script s;
        ValueWindow w(kValues, &list);
        s.onModal([&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("选项 - 修改"));
            QVERIFY(!d->findChild<QCheckBox *>("CheckBox1")->isVisible());
            QCOMPARE(nameBox(d)->text(), QString("old"));
            nameBox(d)->setText("mine");
            t.exec("update t_code set F_name = 'theirs' where F_ID = :k", {{"k", key}});
            click(d, "Button1");
            QCOMPARE(s.takeTexts(), QStringList{QStringLiteral("该记录已被其他用户修改，请刷新后再修改！")});
            QVERIFY(d->isVisible());
            QCOMPARE(nameBox(d)->text(), QString("mine"));
            QTest::keyClick(nameBox(d), Qt::Key_Escape);
        });
        w.ShowRecord(1);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(t.scalar("select F_name from t_code where F_ID = :k", {{"k", key}}).toString(), QString("theirs"));
    }

    // A form without a control its kind names stops the tests.
    void missingControlStops()
    {
        if (qEnvironmentVariableIsSet("KELMOR_MISSING_CONTROL_CHILD")) {
            DataSet list;
            ValueWindow w(kBroken, &list);
            return;
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KELMOR_MISSING_CONTROL_CHILD", "1");
        env.insert("KELMOR_STRICT_FORMS", "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels); // the test log carries the fatal message
        child.start(QCoreApplication::applicationFilePath(), {"missingControlStops"});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0);
        QVERIFY(child.readAll().contains("ValueWindow has no control edtMissing"));
    }
};

QTEST_MAIN(TestRecordEditWindow)
#include "tst_recordeditwindow.moc"
