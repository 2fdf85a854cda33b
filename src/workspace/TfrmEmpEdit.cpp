#include "TfrmEmpEdit.h"
#include "ui_TfrmEmpEdit.h"

#include "ClientWorkspace.h"
#include "app/AppConst.h"

TfrmEmpEdit::TfrmEmpEdit(ClientWorkspace *workspace, QWidget *parent)
    : RecordEditWindow(RecordCatalogue::info(RecordKind::Contact), parent), ui(new Ui::TfrmEmpEdit), m_ws(workspace),
      m_editor(workspace)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("TfrmEmpEdit"));
    ui->dtpBirthday->setShowCheckBox(true);
    ui->DBNavigator1->setDataSet(m_ws->detail(RecordKind::Contact));
    setUpBase({ui->Button1, ui->Button2, ui->CheckBox1, ui->DBNavigator1});
    connect(ui->Button4, &QPushButton::clicked, this, [this] { sendMail(ui->edtEmail, QStringLiteral("F_Email")); });
}

TfrmEmpEdit::~TfrmEmpEdit() { delete ui; }

void TfrmEmpEdit::prepare(EditMode mode)
{
    RecordEditWindow::prepare(mode);
    ApplyPreferredIme(this);
    ui->edtName->setFocus();
}

void TfrmEmpEdit::showFields(const QVariantMap &values)
{
    ui->Memo2->setPlainText(m_ws->ClientSummary());
    RecordEditWindow::showFields(values);
    ui->edtName->setFocus();
}
