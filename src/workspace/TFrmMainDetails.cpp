// The main window's lower half: the detail tabs of the current customer with
// their record commands (DetailPanel), and the customer edit window.
#include "TFrmMain.h"

#include "ClientListPanel.h"
#include "ClientWorkspace.h"
#include "DetailPanel.h"
#include "TfrmCltEdit.h"
#include "WorkspaceCommands.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"

#include <QAction>
#include <QVBoxLayout>

DetailPanel *TFrmMain::detailPanel() const { return m_detailPanel; }

const QStringList &TFrmMain::detailPanelActions()
{
    static const QStringList names = {QStringLiteral("Action901"), QStringLiteral("Action902"), QStringLiteral("Action903"),
                                      QStringLiteral("Action904"), QStringLiteral("Action905"), QStringLiteral("Action906"),
                                      QStringLiteral("Action31")};
    return names;
}

void TFrmMain::CreateDetails()
{
    QHash<QString, QAction *> actions;
    for (const QString &name : detailPanelActions())
        actions.insert(name, action(name));
    // for its pop-up menu; the command itself is the customer list's
    actions.insert(QStringLiteral("Action301"), action(QStringLiteral("301")));
    // the panel fills the place the customer list keeps for it
    QWidget *area = m_clientList->detailsArea();
    auto *layout = area->layout() ? area->layout() : new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_detailPanel = new DetailPanel(m_workspace, actions, area);
    layout->addWidget(m_detailPanel);
    // an action hidden by the permissions is not run from the panel either
    m_detailPanel->setActionVisibility([this](const QString &name) {
        const QAction *a = action(name);
        return !a || a->isVisible();
    });
    m_detailPanel->setCustomerGridFocus([this] { DBGridEh1()->setFocus(); });
    connect(m_detailPanel, &DetailPanel::tabChanged, this, &TFrmMain::setCurrentTab);
    for (const char *name : {"Action903", "Action904", "Action905", "Action906", "Action31"})
        action(QString::fromLatin1(name))->setEnabled(true);
}

// At the first show, after the login: the list of tabs the operator may use,
// the stored grid layouts, and the first tab in front.
void TFrmMain::FirstShowDetails()
{
    if (!m_detailPanel)
        return;
    m_detailPanel->BuildDetailList();
    m_detailPanel->LoadGridLayouts();
    m_detailPanel->ShowFirstTab();
}

namespace {
using WorkspaceCommands::mainWindow;

void Action201Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    TfrmCltEdit window(w->workspace(), w->CurrentTab(), w);
    window.ShowRecord(int(EditMode::New));
}

void Action202Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    if (w->QryMain()->isEmpty()) {
        ShowMess(QStringLiteral("此表为空，没有客户记录需要修改！"), MessError);
        return;
    }
    TfrmCltEdit window(w->workspace(), w->CurrentTab(), w);
    window.ShowRecord(int(EditMode::Edit));
}

void Action207Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    TfrmCltEdit window(w->workspace(), w->CurrentTab(), w);
    window.ShowRecord(int(EditMode::Copy));
}
} // namespace

void WorkspaceCommands::registerClientEditCommands(CommandRegistry &r)
{
    r.add(QStringLiteral("201"), Action201Execute);
    r.add(QStringLiteral("202"), Action202Execute);
    r.add(QStringLiteral("207"), Action207Execute);
}
