#include "TfrmOperLogin.h"

#include "platform/EnterAsTab.h"
#include "LoginService.h"
#include "app/TdmData.h"
#include "platform/Config.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/OkCancelButtons.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
QLabel *caption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}
} // namespace

TfrmOperLogin::TfrmOperLogin(QWidget *mainWindow) : QDialog(nullptr), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmOperLogin"));
    setWindowTitle(QStringLiteral("登录窗口"));
    // a fixed window without title-bar buttons
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);

    Label5 = new QLabel(QStringLiteral("请输入正确的操作员编号及密码，系统超级用户编号“000”，系统初始密码为空："), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setWordWrap(true);

    edtOperCode = new QLineEdit(this);
    edtOperCode->setObjectName(QStringLiteral("edtOperCode"));
    edtOperCode->setMaxLength(50);
    edtOperName = new QLineEdit(this);
    edtOperName->setObjectName(QStringLiteral("edtOperName"));
    edtOperName->setReadOnly(true);
    edtOperName->setStyleSheet(QStringLiteral("QLineEdit { background-color: #f0f0f0; }"));
    edtPassWord = new QLineEdit(this);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);
    edtPassWord->setMaxLength(50);

    // 取消 calls reject(), which is btnCancelClick here
    const OkCancelButtons buttons = addOkCancelButtons(this, {.okIsDefault = false, .okAccepts = false});
    btnOk = buttons.ok;
    btnCancel = buttons.cancel;
    btnOk->setAutoDefault(true);
    btnCancel->setAutoDefault(true);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(caption(QStringLiteral("编  号(&U):"), edtOperCode, this), 0, 0);
    grid->addWidget(edtOperCode, 0, 1);
    grid->addWidget(caption(QStringLiteral("姓  名:"), edtOperName, this), 1, 0);
    grid->addWidget(edtOperName, 1, 1);
    grid->addWidget(caption(QStringLiteral("密  码(&P):"), edtPassWord, this), 2, 0);
    grid->addWidget(edtPassWord, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(18, 16, 18, 14);
    top->setSpacing(12);
    top->addWidget(Label5);
    top->addLayout(grid);
    top->addWidget(line);
    top->addLayout(buttons.row);
    setFixedWidth(400);
    setFixedHeight(sizeHint().height());

    connect(btnOk, &QPushButton::clicked, this, &TfrmOperLogin::btnOkClick);
    connect(edtOperCode, &QLineEdit::editingFinished, this, &TfrmOperLogin::lookUpName);
    connect(edtOperName, &QLineEdit::editingFinished, this, &TfrmOperLogin::lookUpName);
    EnterAsTab::install(this);

    // the last operator of this workstation
    edtOperCode->setText(Config::shared().readString(QStringLiteral("Config"), QStringLiteral("CurOperCode")));
    lookUpName();
    if (edtOperCode->text().trimmed().isEmpty())
        edtOperCode->setFocus();
    else
        edtPassWord->setFocus();

    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QRect(QPoint(), size()).center());
    }
}

void TfrmOperLogin::lookUpName() { edtOperName->setText(LoginService::OperatorName(edtOperCode->text())); }

void TfrmOperLogin::btnOkClick()
{
    const QString code = edtOperCode->text().trimmed();
    if (code.isEmpty()) {
        ShowMess(QStringLiteral("请选择用户！"), MessInfo);
        edtOperCode->setFocus();
        return;
    }
    // the name always belongs to the code now in the box
    lookUpName();
    if (edtOperName->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("此操作员并不存在，请重新选择操作员！"), MessInfo);
        edtOperCode->setFocus();
        return;
    }
    if (LoginService::PasswordMatches(code, edtPassWord->text())) {
        if (LoginService::LoadLoginState(code, edtOperName->text(), m_mainWindow))
            finish(QDialog::Accepted);
        return;
    }
    ++m_wrongCount;
    if (m_wrongCount < kMaxAttempts) {
        ShowMess(QStringLiteral("用户名或密码不正确，请重新输入！"), MessInfo);
        edtPassWord->setFocus();
        edtPassWord->selectAll();
        return;
    }
    if (m_mode == 0) {
        dmData->WriteLog(QStringLiteral("登录失败！"));
        ShowMess(QStringLiteral("非法操作员!"), MessError);
        m_terminate = true;
    } else {
        dmData->WriteLog(QStringLiteral("更换操作员失败！"));
        ShowMess(QStringLiteral("更换操作员失败!"), MessError);
    }
    finish(QDialog::Rejected);
}

void TfrmOperLogin::btnCancelClick()
{
    if (m_mode == 0)
        m_terminate = true;
    finish(QDialog::Rejected);
}

// Esc is the cancel button
void TfrmOperLogin::reject() { btnCancelClick(); }

void TfrmOperLogin::finish(int result)
{
    m_finishing = true;
    done(result);
    m_finishing = false;
}

void TfrmOperLogin::closeEvent(QCloseEvent *event)
{
    // Alt+F4 and the window manager cannot close the window; only its buttons do
    if (m_finishing)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void TfrmOperLogin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool RunLogin(int mode, QWidget *mainWindow)
{
    TfrmOperLogin dlg(mainWindow);
    dlg.setMode(mode);
    const int r = execModal(&dlg);
    return r == QDialog::Accepted && !dlg.terminateRequested();
}
