// The main window's lower half: the detail tabs of the current customer with
// their record commands (DetailPanel), and the customer edit window.
#include "TFrmMain.h"

#include "ClientListPanel.h"
#include "ClientWorkspace.h"
#include "DetailPanel.h"
#include "TfrmCltEdit.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"

#include <QAction>
#include <QVBoxLayout>

DetailPanel *TFrmMain::detailPanel() const { return m_detailPanel; }

void TFrmMain::CreateDetails()
{
    QHash<QString, QAction *> actions;
    for (const char *name : {"Action901", "Action902", "Action903", "Action904", "Action905", "Action906", "Action31", "Action301"})
        actions.insert(QString::fromLatin1(name), action(QString::fromLatin1(name)));
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

    const auto on = [this](const char *code, void (TFrmMain::*slot)()) {
        QAction *a = action(QString::fromLatin1(code));
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, slot);
    };
    on("201", &TFrmMain::Action201Execute);
    on("202", &TFrmMain::Action202Execute);
    on("207", &TFrmMain::Action207Execute);
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

void TFrmMain::Action201Execute()
{
    TfrmCltEdit window(m_workspace, CurrentTab(), this);
    window.ShowRecord(int(EditMode::New));
}

void TFrmMain::Action202Execute()
{
    if (QryMain()->isEmpty()) {
        ShowMess(QStringLiteral("此表为空，没有客户记录需要修改！"), MessError);
        return;
    }
    TfrmCltEdit window(m_workspace, CurrentTab(), this);
    window.ShowRecord(int(EditMode::Edit));
}

void TFrmMain::Action207Execute()
{
    TfrmCltEdit window(m_workspace, CurrentTab(), this);
    window.ShowRecord(int(EditMode::Copy));
}
