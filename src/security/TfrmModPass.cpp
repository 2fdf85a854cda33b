#include "TfrmModPass.h"

#include "platform/EnterAsTab.h"
#include "PasswordChange.h"
#include "app/AppState.h"
#include "app/TdmData.h"
#include "platform/Messages.h"
#include "platform/OkCancelButtons.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmModPass::TfrmModPass(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmModPass"));
    setWindowTitle(QStringLiteral("更改密码"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setStyleSheet(QStringLiteral("#Panel1 { background-color: #e8f0fa; }"));
    const QString name = dmData->QueryString(QStringLiteral("Select F_Name From OperList Where F_Code = :code"),
                                             {{QStringLiteral("code"), appState().OperCode}});
    lblOper = new QLabel(QStringLiteral("当前操作员：") + name, panel);
    lblOper->setObjectName(QStringLiteral("lblOper"));
    auto *pl = new QHBoxLayout(panel);
    pl->setContentsMargins(10, 8, 10, 8);
    pl->addWidget(lblOper);

    auto masked = [this](const char *objectName) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(objectName));
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(50);
        return e;
    };
    edtOldPass = masked("edtOldPass");
    edtNewPass = masked("edtNewPass");
    edtAdjustPass = masked("edtAdjustPass");

    auto *form = new QFormLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(10);
    form->addRow(QStringLiteral("旧密码(&L):"), edtOldPass);
    form->addRow(QStringLiteral("新密码(&N):"), edtNewPass);
    form->addRow(QStringLiteral("再输一遍(&R):"), edtAdjustPass);

    const OkCancelButtons buttons = addOkCancelButtons(this, {.okIsDefault = false, .okAccepts = false, .mnemonics = true});
    btnOk = buttons.ok;
    btnCancel = buttons.cancel;

    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(12, 12, 12, 12);
    top->setSpacing(12);
    top->addWidget(panel);
    top->addLayout(form);
    top->addLayout(buttons.row);
    setFixedSize(340, sizeHint().height());

    connect(btnOk, &QPushButton::clicked, this, &TfrmModPass::btnOkClick);
    EnterAsTab::install(this);
    edtOldPass->setFocus();
}

void TfrmModPass::btnOkClick()
{
    const PasswordChange::Result r =
        PasswordChange::Change(appState().OperCode, edtOldPass->text(), edtNewPass->text(), edtAdjustPass->text());
    if (r == PasswordChange::Result::NewMismatch) {
        edtNewPass->clear();
        edtAdjustPass->clear();
    }
    if (r != PasswordChange::Result::NoOperator)
        ShowMess(PasswordChange::MessageOf(r), PasswordChange::KindOf(r));
    // the window closes whatever the outcome
    accept();
}
