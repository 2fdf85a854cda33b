#include "TFrmMain.h"
#include "platform/WindowMemory.h"
#include "ui_TFrmMain.h"

#include "ClientListPanel.h"
#include "ClientWorkspace.h"
#include "WorkspaceCommands.h"
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
CommandRegistry workspaceCommands()
{
    CommandRegistry commands;
    registerWorkspaceCommands(commands);
    return commands;
}

QString clockText() { return QLatin1Char(' ') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }
const QString kContactLine = QStringLiteral("  技术支持：Kelmor软件 ");
} // namespace

TFrmMain::TFrmMain(QWidget *parent) : TFrmMain(workspaceCommands(), parent) {}

TFrmMain::TFrmMain(const CommandRegistry &commands, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::TFrmMain), m_commands(commands)
{
    ui->setupUi(this);
    setWindowTitle(AppName() + AppVersion());
    resize(1100, 720);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePopupMenu();
    CreateStatusBar();
    WireViewToggles();
    CreateWorkspace();
    CreateDetails();
    BindCommands();

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

QObject *TFrmMain::customerWorkspace() const { return m_workspace; }

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

void TFrmMain::WireViewToggles()
{
    connect(action(QStringLiteral("nshitu1")), &QAction::toggled, ui->CoolBar1, &QWidget::setVisible);
    // the navigation panel of the customer workspace
    connect(action(QStringLiteral("nshitu2")), &QAction::toggled, this, [this](bool on) { m_clientList->setNavigationVisible(on); });
    connect(action(QStringLiteral("nshitu3")), &QAction::toggled, ui->StatusBar1, &QWidget::setVisible);
}

void TFrmMain::BindCommands()
{
    for (const QString &code : m_commands.codes()) {
        QAction *a = action(code);
        if (!a) {
            qWarning("TFrmMain: command %s has no action in the main window", qPrintable(code));
            continue;
        }
        if (detailPanelActions().contains(a->objectName())) {
            qWarning("TFrmMain: %s is run by the detail panel, not by the registry", qPrintable(a->objectName()));
            continue;
        }
        // the permissions only show or hide the action; a hidden action is
        // disabled with it, and a disabled one runs nothing even when
        // triggered from code, so a handler runs only for an operator who
        // holds its code
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, [this, a, code] {
            if (a->isEnabled())
                RunCommand(code);
        });
    }
}

void TFrmMain::RunCommand(const QString &code)
{
    CommandContext context{code, this, this};
    m_commands.run(context);
}

void TFrmMain::RefreshClientList() { m_clientList->RefreshClientList(); }

void TFrmMain::FillListPanel(int kind) { m_clientList->FillListPanel(kind); }

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
        if (ShowMess(QStringLiteral("真的要退出“") + AppName().trimmed() + QStringLiteral("”软件吗？"), MessQuestion) != 1) {
            event->ignore();
            return;
        }
        m_exitConfirmed = true;
        BeforeClose();
    }
    WindowMemory::save(this);
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

// ------------------------------------------------------------- commands

namespace {
void startProgram(const QStringList &candidates, const QString &what)
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

void openBesideProgram(const QString &fileName)
{
    const QString path = QDir(QApplication::applicationDirPath()).filePath(fileName);
    if (!Shell::openFile(QFileInfo::exists(path) ? path : fileName))
        ShowMess(QStringLiteral("无法打开文件“") + fileName + QStringLiteral("”！"), MessWarning);
}

void ReLogin(CommandContext &c)
{
    if (RunLogin(1, c.parent) && c.host)
        c.host->refreshCustomerList();
}

void Action102Execute(CommandContext &c)
{
    TfrmModPass dlg(c.parent);
    execModal(&dlg);
}

void Action103Execute(CommandContext &c)
{
    TFrmOperGl dlg(c.parent);
    // centred on the main window
    if (c.parent)
        dlg.move(c.parent->geometry().center() - QRect(QPoint(), dlg.size()).center());
    execModal(&dlg);
}
} // namespace

TFrmMain *WorkspaceCommands::mainWindow(const CommandContext &context) { return qobject_cast<TFrmMain *>(context.parent); }

void WorkspaceCommands::registerWindowCommands(CommandRegistry &r)
{
    r.add(QStringLiteral("102"), Action102Execute);
    r.add(QStringLiteral("103"), Action103Execute);
    r.add(QStringLiteral("N43"), ReLogin);
    const auto closeWindow = [](CommandContext &c) {
        if (c.parent)
            c.parent->close();
    };
    r.add(QStringLiteral("N5"), closeWindow);
    r.add(QStringLiteral("actClose"), closeWindow);
    r.add(QStringLiteral("N24"), [](CommandContext &) {
        startProgram({QStringLiteral("calc.exe"), QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                      QStringLiteral("galculator"), QStringLiteral("mate-calc"), QStringLiteral("xcalc")},
                     QStringLiteral("计算器"));
    });
    r.add(QStringLiteral("N25"), [](CommandContext &) {
        startProgram({QStringLiteral("NotePad.exe"), QStringLiteral("gedit"), QStringLiteral("gnome-text-editor"),
                      QStringLiteral("kate"), QStringLiteral("mousepad"), QStringLiteral("pluma"), QStringLiteral("xed"),
                      QStringLiteral("leafpad")},
                     QStringLiteral("笔记本"));
    });
    r.add(QStringLiteral("N8"), [](CommandContext &) {
        // the compiled help where it was installed, else the help page shipped with the program
        const QDir dir(QApplication::applicationDirPath());
        const bool chm = QFileInfo::exists(dir.filePath(QStringLiteral("help.CHM")));
        openBesideProgram(chm || !QFileInfo::exists(dir.filePath(QStringLiteral("help.html"))) ? QStringLiteral("help.CHM")
                                                                                                : QStringLiteral("help.html"));
    });
    r.add(QStringLiteral("N7"), [](CommandContext &) { openBesideProgram(QStringLiteral("readme.txt")); });
    r.add(QStringLiteral("N41"), [](CommandContext &) { openBesideProgram(QStringLiteral("whatisnew.txt")); });
    r.add(QStringLiteral("N27"), [](CommandContext &) {
        if (!Shell::openUrl(QUrl(QStringLiteral("https://www.kelmor.cn/"))))
            ShowMess(QStringLiteral("无法打开网站，请检查浏览器设置！"), MessWarning);
    });
}

void registerWorkspaceCommands(CommandRegistry &registry)
{
    WorkspaceCommands::registerWindowCommands(registry);
    WorkspaceCommands::registerClientListCommands(registry);
    WorkspaceCommands::registerClientEditCommands(registry);
}
