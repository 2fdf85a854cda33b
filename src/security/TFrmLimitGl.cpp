#include "TFrmLimitGl.h"
#include "ui_TFrmLimitGl.h"

#include "platform/EnterAsTab.h"
#include "OperatorAdmin.h"
#include "TDLGselectEmpSTR.h"
#include "app/AppState.h"
#include "platform/Messages.h"
#include "platform/Modal.h"

#include <QAction>
#include <QStyle>

namespace {
const int kMemLength = 255;

// A memo box takes no more than its column holds.
void limitLength(QPlainTextEdit *edit, int max)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, max] {
        const QString text = edit->toPlainText();
        if (text.size() <= max)
            return;
        QTextCursor c = edit->textCursor();
        const int pos = c.position();
        QSignalBlocker block(edit);
        edit->setPlainText(text.left(max));
        c = edit->textCursor();
        c.setPosition(qMin(pos, max));
        edit->setTextCursor(c);
    });
}
} // namespace

TFrmLimitGl::TFrmLimitGl(QWidget *parent) : QDialog(parent), ui(new Ui::TFrmLimitGl)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->clbPartLimit->setColumns(4);
    ui->cbbName->lineEdit()->setMaxLength(50);
    limitLength(ui->Mem1, kMemLength);
    limitLength(ui->Mem2, kMemLength);

    QAction *pick = ui->cbeEmpName->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QLineEdit::TrailingPosition);
    pick->setObjectName(QStringLiteral("actSelectEmp"));
    pick->setToolTip(QStringLiteral("选择业务员"));
    connect(pick, &QAction::triggered, this, &TFrmLimitGl::selectEmpNames);

    connect(ui->btnSave, &QPushButton::clicked, this, &TFrmLimitGl::btnSaveClick);
    connect(ui->btnExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->btnAll, &QPushButton::clicked, this, [this] { ui->clbPartLimit->setAllChecked(true); });
    connect(ui->btnNone, &QPushButton::clicked, this, [this] { ui->clbPartLimit->setAllChecked(false); });
    for (QRadioButton *rb : {ui->rbEmpFlag0, ui->rbEmpFlag1, ui->rbEmpFlag2})
        connect(rb, &QRadioButton::toggled, this, &TFrmLimitGl::updateEmpNameVisibility);
    EnterAsTab::install(this);
    updateEmpNameVisibility();
}

TFrmLimitGl::~TFrmLimitGl() { delete ui; }

bool TFrmLimitGl::openOperator(const QString &code, bool edit)
{
    m_role = false;
    setWindowTitle(QStringLiteral("用户权限"));
    ui->CheckBox1->setText(QStringLiteral("用户禁用"));
    ui->pcLimit->setTabVisible(ui->pcLimit->indexOf(ui->tsOper), true);
    ui->pcLimit->setTabVisible(ui->pcLimit->indexOf(ui->tsPart), false);
    ui->pcLimit->setTabVisible(ui->pcLimit->indexOf(ui->tsLimits), false);
    ui->pcLimit->setCurrentWidget(ui->tsOper);
    resize(560, 420);

    ui->cbbName->clear();
    ui->cbbName->addItems(OperatorAdmin::employeeNames());
    ui->cbbPart->clear();
    for (const auto &role : OperatorAdmin::activeRoles())
        ui->cbbPart->addItem(role.second, role.first);
    clearFields();
    if (edit) {
        OperatorAdmin::OperatorRecord rec;
        if (!OperatorAdmin::loadOperator(code, &rec))
            return false;
        ui->edtCode->setText(rec.code);
        ui->cbbName->setEditText(rec.name);
        ui->edtPassWord->setText(rec.password);
        ui->cbbPart->setCurrentIndex(ui->cbbPart->findData(rec.roleCode, Qt::UserRole, Qt::MatchFixedString));
        ui->Mem1->setPlainText(rec.mem);
        ui->CheckBox1->setChecked(rec.disabled);
        setEditing(rec.code);
    } else {
        setEditing(QString());
    }
    ui->edtCode->isEnabled() ? ui->edtCode->setFocus() : ui->cbbName->setFocus();
    return true;
}

bool TFrmLimitGl::openRole(const QString &code, bool edit)
{
    m_role = true;
    setWindowTitle(QStringLiteral("角色权限"));
    ui->CheckBox1->setText(QStringLiteral("角色禁用"));
    ui->pcLimit->setTabVisible(ui->pcLimit->indexOf(ui->tsOper), false);
    ui->pcLimit->setTabVisible(ui->pcLimit->indexOf(ui->tsPart), true);
    ui->pcLimit->setTabVisible(ui->pcLimit->indexOf(ui->tsLimits), true);
    ui->pcLimit->setCurrentWidget(ui->tsPart);
    resize(820, 500);
    fillLimits();
    clearFields();
    if (edit) {
        OperatorAdmin::RoleRecord rec;
        if (!OperatorAdmin::loadRole(code, &rec))
            return false;
        ui->edtPartCode->setText(rec.code);
        ui->edtPartName->setText(rec.name);
        ui->Mem2->setPlainText(rec.mem);
        ui->CheckBox1->setChecked(rec.disabled);
        setEmpFlag(rec.empFlag);
        if (rec.empFlag == 2)
            ui->cbeEmpName->setText(rec.empNames);
        for (int i = 0; i < ui->clbPartLimit->count(); ++i) {
            QListWidgetItem *item = ui->clbPartLimit->item(i);
            item->setCheckState(rec.limitCodes.contains(item->data(Qt::UserRole).toString()) ? Qt::Checked : Qt::Unchecked);
        }
        setEditing(rec.code);
    } else {
        setEditing(QString());
    }
    ui->edtPartCode->isEnabled() ? ui->edtPartCode->setFocus() : ui->edtPartName->setFocus();
    return true;
}

void TFrmLimitGl::fillLimits()
{
    ui->clbPartLimit->clear();
    for (const OperatorAdmin::LimitEntry &e : OperatorAdmin::limitCatalogue()) {
        QListWidgetItem *item = ui->clbPartLimit->addCheckItem(e.label, e.code);
        item->setToolTip(QStringLiteral("%1（权限编号 %2）").arg(e.label, e.code));
    }
}

void TFrmLimitGl::clearFields()
{
    ui->edtCode->clear();
    ui->cbbName->setCurrentIndex(-1);
    ui->cbbName->setEditText(QString());
    ui->edtPassWord->clear();
    ui->cbbPart->setCurrentIndex(-1);
    ui->Mem1->clear();
    ui->edtPartCode->clear();
    ui->edtPartName->clear();
    ui->Mem2->clear();
    ui->cbeEmpName->clear();
    setEmpFlag(0);
    ui->clbPartLimit->setAllChecked(false);
    ui->CheckBox1->setChecked(false);
}

void TFrmLimitGl::setEditing(const QString &code)
{
    m_editedCode = code;
    const bool editing = !code.isEmpty();
    // the code of an existing row cannot change
    for (QLineEdit *e : {ui->edtCode, ui->edtPartCode}) {
        e->setEnabled(!editing);
        e->setStyleSheet(editing ? QStringLiteral("QLineEdit { background-color: #cfe8fc; color: #333333; }") : QString());
    }
}

int TFrmLimitGl::empFlag() const
{
    if (ui->rbEmpFlag1->isChecked())
        return 1;
    if (ui->rbEmpFlag2->isChecked())
        return 2;
    return 0;
}

void TFrmLimitGl::setEmpFlag(int flag)
{
    (flag == 1 ? ui->rbEmpFlag1 : flag == 2 ? ui->rbEmpFlag2 : ui->rbEmpFlag0)->setChecked(true);
    updateEmpNameVisibility();
}

void TFrmLimitGl::updateEmpNameVisibility() { ui->cbeEmpName->setVisible(empFlag() == 2); }

void TFrmLimitGl::selectEmpNames() { ui->cbeEmpName->setText(SelectSalespersons(ui->cbeEmpName->text(), this)); }

void TFrmLimitGl::btnSaveClick()
{
    OperatorAdmin::SaveResult r;
    if (m_role) {
        OperatorAdmin::RoleRecord rec;
        rec.code = ui->edtPartCode->text();
        rec.name = ui->edtPartName->text();
        rec.mem = ui->Mem2->toPlainText();
        rec.disabled = ui->CheckBox1->isChecked();
        rec.empFlag = empFlag();
        rec.empNames = ui->cbeEmpName->text().trimmed();
        for (const QListWidgetItem *item : ui->clbPartLimit->checkedItems())
            rec.limitCodes.append(item->data(Qt::UserRole).toString());
        r = OperatorAdmin::saveRole(rec, m_editedCode, appState().OperName);
    } else {
        OperatorAdmin::OperatorRecord rec;
        rec.code = ui->edtCode->text();
        rec.name = ui->cbbName->currentText();
        rec.password = ui->edtPassWord->text();
        rec.roleName = ui->cbbPart->currentText();
        rec.roleCode = ui->cbbPart->currentIndex() >= 0 ? ui->cbbPart->currentData().toString() : QString();
        rec.mem = ui->Mem1->toPlainText();
        rec.disabled = ui->CheckBox1->isChecked();
        r = OperatorAdmin::saveOperator(rec, m_editedCode);
    }
    if (!r.ok) {
        ShowMess(r.message, r.kind);
        if (QWidget *w = r.field.isEmpty() ? nullptr : findChild<QWidget *>(r.field)) {
            if (w->isEnabled()) {
                ui->pcLimit->setCurrentWidget(m_role ? ui->tsPart : ui->tsOper);
                w->setFocus();
            }
        }
        return;
    }
    m_lastSaved = r.savedCode;
    if (isEditing()) {
        accept();
        return;
    }
    // ready for the next one
    clearFields();
    (m_role ? ui->edtPartCode : ui->edtCode)->setFocus();
    if (m_role)
        ui->pcLimit->setCurrentWidget(ui->tsPart);
}

namespace {
QString runEditor(bool role, const QString &code, bool edit, QWidget *parent)
{
    TFrmLimitGl dlg(parent);
    const bool opened = role ? dlg.openRole(code, edit) : dlg.openOperator(code, edit);
    if (!opened) {
        ShowMess(QStringLiteral("请选择要修改的行！"), MessError);
        return code;
    }
    execModal(&dlg);
    return dlg.lastSavedCode().isEmpty() ? code : dlg.lastSavedCode();
}
} // namespace

QString EditOperator(const QString &code, bool edit, QWidget *parent) { return runEditor(false, code, edit, parent); }
QString EditRole(const QString &code, bool edit, QWidget *parent) { return runEditor(true, code, edit, parent); }
