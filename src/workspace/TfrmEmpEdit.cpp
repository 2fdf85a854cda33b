#include "TfrmEmpEdit.h"
#include "ui_TfrmEmpEdit.h"

#include "ClientWorkspace.h"
#include "app/AppConst.h"
#include "app/TdmData.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "security/EnterAsTab.h"

#include <QApplication>
#include <QKeyEvent>
#include <QUrl>

namespace {
// Control of each column the window edits.
const QList<FormFields::Binding> &controlNames()
{
    static const QList<FormFields::Binding> names = {
        {"F_name", "edtName"},         {"F_dept", "cbbdept"},         {"F_duty", "cbbduty"},     {"F_officePhone", "edtofficephone"},
        {"F_handPhone", "edthandphone"}, {"F_homePhone", "edthomephone"}, {"F_Fax", "edtfax"},    {"F_Email", "edtEmail"},
        {"F_Address", "edtAddress"},   {"F_shihao", "edtShihao"},     {"F_mem", "Mem"},          {"F_IFkey", "CheckBox2"},
        {"F_birthday", "dtpBirthday"}};
    return names;
}
} // namespace

TfrmEmpEdit::TfrmEmpEdit(ClientWorkspace *workspace, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmEmpEdit), m_ws(workspace), m_editor(workspace),
      m_fields(this, controlNames())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("TfrmEmpEdit"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_fields.setMaxLengths(ContactEditor::maxLength);
    ui->dtpBirthday->setShowCheckBox(true);
    ui->CheckBox1->setChecked(true);
    ui->DBNavigator1->setDataSet(m_ws->detail(2));
    connect(ui->DBNavigator1, &DataNavigator::moved, this, &TfrmEmpEdit::loadFields);
    connect(ui->Button1, &QPushButton::clicked, this, &TfrmEmpEdit::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button4, &QPushButton::clicked, this, &TfrmEmpEdit::Button4Click);
    EnterAsTab::install(this);
    qApp->installEventFilter(this);
}

TfrmEmpEdit::~TfrmEmpEdit()
{
    qApp->removeEventFilter(this);
    delete ui;
}

void TfrmEmpEdit::SetEditMode(bool edit)
{
    m_editor.setEditMode(edit);
    setWindowTitle(edit ? QStringLiteral("联系人档案 - 修改") : QStringLiteral("联系人档案 - 新增"));
    ui->CheckBox1->setVisible(!edit);
    ui->DBNavigator1->setVisible(edit);
}

void TfrmEmpEdit::ShowRecord(int mode)
{
    SetEditMode(mode == 1);
    if (mode == 1)
        loadFields();
    else
        clearFields();
    ApplyPreferredIme(this);
    ui->edtName->setFocus();
    execModal(this);
}

void TfrmEmpEdit::clearFields()
{
    showFields(ContactEditor::emptyFields());
}

void TfrmEmpEdit::loadFields()
{
    showFields(m_editor.currentFields());
}

void TfrmEmpEdit::showFields(const QVariantMap &f)
{
    ui->Memo2->setPlainText(m_ws->ClientSummary());
    m_fields.show(f);
}

void TfrmEmpEdit::Button1Click()
{
    const ContactEditor::Result r = m_editor.save(m_fields.collect());
    if (r == ContactEditor::Result::Invalid) {
        ui->edtName->setFocus();
        return;
    }
    if (r == ContactEditor::Result::Failed || r == ContactEditor::Result::Conflict)
        return;
    if (m_editor.isEditMode() || !ui->CheckBox1->isChecked()) {
        SetEditMode(false);
        accept();
        return;
    }
    // continuous add: the next contact of the same customer
    clearFields();
    SetEditMode(false);
    ui->edtName->setFocus();
}

void TfrmEmpEdit::Button4Click()
{
    const QString address = ui->edtEmail->text().trimmed();
    if (!address.contains(QLatin1Char('@'))) {
        ShowMess(QStringLiteral("非法电子邮箱！"), MessError);
        ui->edtEmail->setFocus();
        return;
    }
    Shell::openUrl(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject")));
}

bool TfrmEmpEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // the department and duty lists are read when the box is entered
        if (watched == ui->cbbdept || watched == ui->cbbduty) {
            auto *cb = static_cast<QComboBox *>(watched);
            const QString text = cb->currentText();
            dmData->FillCodeList(cb == ui->cbbdept ? QStringLiteral("dept") : QStringLiteral("duty"), cb);
            cb->setEditText(text);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress || !isVisible())
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() == Qt::Key_S && ke->modifiers() == Qt::ControlModifier) {
        if (ui->Button1->isEnabled())
            ui->Button1->click();
        return true;
    }
    if (ke->key() == Qt::Key_Escape && ke->modifiers() == Qt::NoModifier) {
        if (ui->Button2->isEnabled())
            ui->Button2->click();
        return true;
    }
    return false;
}
