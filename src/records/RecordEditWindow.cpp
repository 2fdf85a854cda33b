#include "RecordEditWindow.h"

#include "app/TdmData.h"
#include "platform/DataNavigator.h"
#include "platform/EnterAsTab.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QUrl>

namespace {
QList<FormFields::Binding> bindingsOf(const RecordKindInfo &kind)
{
    QList<FormFields::Binding> out;
    for (const RecordField &f : kind.fields)
        if (*f.control)
            out.append(FormFields::Binding(f.column, f.control));
    return out;
}

// A form without a control its kind names is a programming error: it stops
// a debug build and the tests, and is logged otherwise.
void missingControl(const char *window, const char *control)
{
#ifdef NDEBUG
    if (!qEnvironmentVariableIsSet("KELMOR_STRICT_FORMS")) {
        qCritical("%s has no control %s", window, control);
        return;
    }
#endif
    qFatal("%s has no control %s", window, control);
}

const char *kComboField = "kelmorCodeListField";
} // namespace

RecordEditWindow::RecordEditWindow(const RecordKindInfo &kind, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_fields(std::make_unique<FormFields>(this, bindingsOf(kind)))
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

RecordEditWindow::~RecordEditWindow() = default;

void RecordEditWindow::setUpBase(const Controls &controls)
{
    m_controls = controls;
    const QByteArray name = objectName().toLatin1();
    for (const RecordField &f : m_kind.fields) {
        if (!*f.control)
            continue;
        QWidget *w = findChild<QWidget *>(QString::fromLatin1(f.control));
        if (!w) {
            missingControl(name.constData(), f.control);
            continue;
        }
        if (*f.codeList)
            if (auto *box = qobject_cast<QComboBox *>(w)) {
                box->setProperty(kComboField, QByteArray(f.column));
                box->installEventFilter(this);
            }
    }
    // nothing typed is cut off at the database
    m_fields->setMaxLengths([this](const QString &column) { return m_kind.maxLength(column); });

    if (controls.ok)
        connect(controls.ok, &QAbstractButton::clicked, this, &RecordEditWindow::Button1Click);
    if (controls.cancel)
        connect(controls.cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    if (controls.continuous)
        controls.continuous->setChecked(true);
    if (controls.navigator)
        connect(controls.navigator, &DataNavigator::moved, this, &RecordEditWindow::navigated);
    // the window's own keys, whichever of its controls has the focus
    m_saveAction = new QAction(this);
    m_saveAction->setObjectName(QStringLiteral("actSave"));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_saveAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_saveAction, &QAction::triggered, this, [this] {
        if (m_controls.ok && m_controls.ok->isEnabled() && m_controls.ok->isVisible())
            m_controls.ok->click();
    });
    addAction(m_saveAction);
    EnterAsTab::install(this);
}

void RecordEditWindow::SetEditMode(bool edit)
{
    if (m_controls.continuous)
        m_controls.continuous->setVisible(!edit);
    if (m_controls.navigator)
        m_controls.navigator->setVisible(edit);
    setWindowTitle(QString::fromUtf8(m_kind.editCaption) + (edit ? QStringLiteral(" - 修改") : QStringLiteral(" - 新增")));
}

void RecordEditWindow::ShowRecord(int mode)
{
    m_mode = mode == 1 ? EditMode::Edit : mode == 2 ? EditMode::Copy : EditMode::New;
    SetEditMode(m_mode == EditMode::Edit);
    prepare(m_mode);
    const int result = execModal(this);
    finish(result == QDialog::Accepted);
}

void RecordEditWindow::prepare(EditMode mode)
{
    editor().setMode(mode);
    showFields(mode == EditMode::New ? editor().emptyFields() : currentFields());
}

void RecordEditWindow::finish(bool) {}

void RecordEditWindow::nextRecord() { showFields(editor().emptyFields()); }

void RecordEditWindow::navigated()
{
    // moving drops what was typed for the previous record
    showFields(currentFields());
}

void RecordEditWindow::showFields(const QVariantMap &values) { m_fields->show(values); }

SaveResult RecordEditWindow::runSave(RecordEditor &editor, QVariantMap &fields,
                                     const std::function<void(const QString &column)> &focus)
{
    QStringList answeredNo;
    for (;;) {
        const SaveResult r = editor.save(fields, answeredNo);
        if (r.status == SaveResult::Question) {
            if (ShowMess(r.message, MessQuestion) == 2 && !answeredNo.contains(r.message)) {
                answeredNo.append(r.message);
                continue;
            }
            if (focus && !r.focusField.isEmpty())
                focus(r.focusField);
            return {SaveResult::Invalid, r.message, r.messageKind, r.focusField, {}, 0};
        }
        if (!r.message.isEmpty() && r.status != SaveResult::Saved)
            ShowMess(r.message, r.messageKind);
        if (r.status == SaveResult::Invalid && focus && !r.focusField.isEmpty())
            focus(r.focusField);
        return r;
    }
}

void RecordEditWindow::Button1Click()
{
    beforeSave();
    const QVariantMap typed = collectFields();
    QVariantMap values = typed;
    const SaveResult r = runSave(editor(), values, [this](const QString &column) { m_fields->focus(column); });
    // a fresh automatic code, or another change the save made, shows
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (it.value() != typed.value(it.key()))
            if (QWidget *control = m_fields->control(it.key()))
                FormFields::setValue(control, it.value());
    if (!r.saved())
        return;
    if (m_mode == EditMode::Edit || !m_controls.continuous || !m_controls.continuous->isChecked()) {
        accept();
        return;
    }
    // continuous add: the next record
    m_mode = EditMode::New;
    editor().setMode(EditMode::New);
    SetEditMode(false);
    nextRecord();
}

void RecordEditWindow::sendMail(QLineEdit *box, const QString &column)
{
    const QString address = box->text().trimmed();
    if (!address.contains(QLatin1Char('@'))) {
        ShowMess(QStringLiteral("非法电子邮箱！"), MessError);
        m_fields->focus(column);
        return;
    }
    Shell::openUrl(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject")));
}

void RecordEditWindow::openWeb(QLineEdit *box)
{
    const QString address = box->text().trimmed();
    if (!address.isEmpty())
        Shell::openUrl(QUrl::fromUserInput(address));
}

void RecordEditWindow::fillCodeList(QComboBox *box, const RecordField &field)
{
    const QString text = box->currentText();
    if (field.codeListInOrder)
        dmData->FillComboBox(QStringLiteral("select F_name from t_code where (F_name <> '') and F_type = :type order by F_ID"), box,
                             {{QStringLiteral("type"), QString::fromLatin1(field.codeList)}});
    else
        dmData->FillCodeList(QString::fromLatin1(field.codeList), box);
    box->setEditText(text);
}

bool RecordEditWindow::eventFilter(QObject *watched, QEvent *event)
{
    // drop-down lists are read when a box is entered
    if (event->type() == QEvent::FocusIn)
        if (auto *box = qobject_cast<QComboBox *>(watched))
            if (const RecordField *f = m_kind.field(QString::fromLatin1(box->property(kComboField).toByteArray())))
                fillCodeList(box, *f);
    return QDialog::eventFilter(watched, event);
}
