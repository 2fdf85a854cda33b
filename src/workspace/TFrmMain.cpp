#include "TFrmMain.h"
#include "ui_TFrmMain.h"

#include "ClientListPanel.h"
#include "app/AppConst.h"
#include "app/AppState.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "security/TFrmOperGl.h"
#include "security/TfrmModPass.h"
#include "security/TfrmOperLogin.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace {
QString clockText() { return QLatin1Char(' ') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }
const QString kContactLine = QStringLiteral("  技术支持：Kelmor软件 ");
} // namespace

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent), ui(new Ui::TFrmMain)
{
    ui->setupUi(this);
    setWindowTitle(AppName() + AppVersion());
    resize(1100, 720);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePopupMenu();
    CreateStatusBar();
    WireCommands();
    CreateWorkspace();
    WireWorkspaceCommands();
    CreateDetails();

    qApp->installEventFilter(this);
}

TFrmMain::~TFrmMain()
{
    qApp->removeEventFilter(this);
    delete ui;
}

QAction *TFrmMain::action(const QString &name) const
{
    const bool code = !name.isEmpty() && name.at(0).isDigit();
    return findChild<QAction *>(code ? QStringLiteral("Action") + name : name, Qt::FindDirectChildrenOnly);
}

QWidget *TFrmMain::workspaceArea() const { return ui->pnlWorkspace; }

void TFrmMain::CreateStatusBar()
{
    static const struct
    {
        int width;
        const char *text;
    } panels[] = {{60, " 当前用户"}, {80, ""}, {100, " 当前日期时间"}, {140, ""}, {0, ""}};
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(QString::fromUtf8(panels[i].text), ui->StatusBar1);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        if (panels[i].width > 0) {
            l->setFixedWidth(panels[i].width);
            ui->StatusBar1->addWidget(l);
        } else {
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setText(AppTitle() + kContactLine);
            ui->StatusBar1->addWidget(l, 1);
        }
        m_panels[i] = l;
    }
    ui->StatusBar1->setSizeGripEnabled(true);
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &TFrmMain::Timer1Timer);
    m_timer1->start();
}

void TFrmMain::Timer1Timer() { m_panels[3]->setText(clockText()); }

void TFrmMain::WireCommands()
{
    auto on = [this](const QString &name, auto slot) {
        QAction *a = action(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, slot);
    };
    on(QStringLiteral("102"), &TFrmMain::Action102Execute);
    on(QStringLiteral("103"), &TFrmMain::Action103Execute);
    on(QStringLiteral("N43"), &TFrmMain::ReLogin);
    on(QStringLiteral("N5"), [this] { close(); });
    on(QStringLiteral("actClose"), [this] { close(); });
    on(QStringLiteral("N24"), [this] { startProgram({QStringLiteral("calc.exe"), QStringLiteral("gnome-calculator"),
                                                     QStringLiteral("kcalc"), QStringLiteral("galculator"),
                                                     QStringLiteral("mate-calc"), QStringLiteral("xcalc")},
                                                    QStringLiteral("计算器")); });
    on(QStringLiteral("N25"), [this] { startProgram({QStringLiteral("NotePad.exe"), QStringLiteral("gedit"),
                                                     QStringLiteral("gnome-text-editor"), QStringLiteral("kate"),
                                                     QStringLiteral("mousepad"), QStringLiteral("pluma"),
                                                     QStringLiteral("xed"), QStringLiteral("leafpad")},
                                                    QStringLiteral("笔记本")); });
    on(QStringLiteral("N8"), [this] {
        // the compiled help where it was installed, else the help page shipped with the program
        const QDir dir(QApplication::applicationDirPath());
        const bool chm = QFileInfo::exists(dir.filePath(QStringLiteral("help.CHM")));
        openBesideProgram(chm || !QFileInfo::exists(dir.filePath(QStringLiteral("help.html"))) ? QStringLiteral("help.CHM")
                                                                                                : QStringLiteral("help.html"));
    });
    on(QStringLiteral("N7"), [this] { openBesideProgram(QStringLiteral("readme.txt")); });
    on(QStringLiteral("N41"), [this] { openBesideProgram(QStringLiteral("whatisnew.txt")); });
    on(QStringLiteral("N27"), [] {
        if (!Shell::openUrl(QUrl(QStringLiteral("https://www.kelmor.cn/"))))
            ShowMess(QStringLiteral("无法打开网站，请检查浏览器设置！"), MessWarning);
    });

    connect(action(QStringLiteral("nshitu1")), &QAction::toggled, ui->CoolBar1, &QWidget::setVisible);
    // the navigation panel of the customer workspace
    connect(action(QStringLiteral("nshitu2")), &QAction::toggled, this, [this](bool on) { m_clientList->setNavigationVisible(on); });
    connect(action(QStringLiteral("nshitu3")), &QAction::toggled, ui->StatusBar1, &QWidget::setVisible);
}

void TFrmMain::startProgram(const QStringList &candidates, const QString &what)
{
    QString program = candidates.first();
    for (const QString &c : candidates) {
        if (!Shell::findProgram(c).isEmpty()) {
            program = c;
            break;
        }
    }
    if (!Shell::startProgram(program))
        ShowMess(QStringLiteral("无法启动") + what + QStringLiteral("！"), MessWarning);
}

void TFrmMain::openBesideProgram(const QString &fileName)
{
    const QString path = QDir(QApplication::applicationDirPath()).filePath(fileName);
    if (!Shell::openFile(QFileInfo::exists(path) ? path : fileName))
        ShowMess(QStringLiteral("无法打开文件“") + fileName + QStringLiteral("”！"), MessWarning);
}

void TFrmMain::RefreshClientList() { m_clientList->RefreshClientList(); }

void TFrmMain::FillListPanel(int kind) { m_clientList->FillListPanel(kind); }

void TFrmMain::ReLogin()
{
    if (RunLogin(1, this))
        RefreshClientList();
}

void TFrmMain::Action102Execute()
{
    TfrmModPass dlg(this);
    execModal(&dlg);
}

void TFrmMain::Action103Execute()
{
    TFrmOperGl dlg(this);
    // centred on the main window
    dlg.move(geometry().center() - QRect(QPoint(), dlg.size()).center());
    execModal(&dlg);
}

void TFrmMain::closeWithoutAsking()
{
    m_exitConfirmed = true;
    close();
}

void TFrmMain::BeforeClose() {}

void TFrmMain::ShowStartReminders() {}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (!m_exitConfirmed) {
        if (ShowMess(QStringLiteral("真的要退出“") + AppName() + QStringLiteral("”软件吗？"), MessQuestion) != 1) {
            event->ignore();
            return;
        }
        m_exitConfirmed = true;
        BeforeClose();
    }
    event->accept();
}

void TFrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    setWindowTitle(AppName() + AppVersion());
    m_panels[1]->setText(QLatin1Char(' ') + appState().OperName);
    m_panels[3]->setText(clockText());
    FormFirstShow();
}

QAction *TFrmMain::previewedAction(const QKeySequence &keys) const
{
    for (const char *code : {"201", "202", "203"}) {
        QAction *a = action(QString::fromLatin1(code));
        if (a && a->shortcut() == keys && a->isVisible() && a->isEnabled())
            return a;
    }
    return nullptr;
}

bool TFrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees its keys before the control with the focus: Ctrl+A,
    // Ctrl+E and Ctrl+S run their commands even in a text box, while the
    // command is available; Esc closes the window.
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w->window() == this) {
            auto *ke = static_cast<QKeyEvent *>(event);
            const QKeySequence seq(ke->keyCombination());
            if (event->type() == QEvent::ShortcutOverride && ke->key() == Qt::Key_Delete && ke->modifiers() == Qt::NoModifier) {
                // Delete is the detail delete only in a detail grid; in a text
                // box it deletes characters, elsewhere it does nothing
                if (deleteKeyRunsDetailDelete(QApplication::focusWidget()))
                    event->ignore();
                else
                    event->accept();
                return true;
            }
            if (event->type() == QEvent::ShortcutOverride) {
                if (previewedAction(seq)) {
                    // not taken by the text box: the window's shortcut runs
                    event->ignore();
                    return true;
                }
            } else if (QAction *a = previewedAction(seq)) {
                // the shortcut did not fire (the window is not the active one,
                // for instance right after the login): the key is still the
                // window's, never a grid's select-all
                a->trigger();
                return true;
            } else if (ke->key() == Qt::Key_Escape && ke->modifiers() == Qt::NoModifier
                       && (w == QApplication::focusWidget() || (w == this && !QApplication::focusWidget()))) {
                close();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
