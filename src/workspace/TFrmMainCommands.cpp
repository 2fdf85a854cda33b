// The main window's customer workspace: the customer list with its filters
// (ClientListPanel over ClientWorkspace), the start-up of the window, and the
// commands that act on the list.
#include "TFrmMain.h"
#include "ReportOutcome.h"
#include "ui_TFrmMain.h"

#include "ClientListPanel.h"
#include "ClientWorkspace.h"
#include "WorkspaceCommands.h"
#include "app/AppState.h"
#include "app/TdmData.h"
#include "platform/Config.h"
#include "platform/DataGrid.h"
#include "platform/Messages.h"
#include "platform/Shell.h"
#include "refdata/TFrmCodeMan.h"
#include "refdata/TFrmTreeCodeMan.h"
#include "refdata/TreeServices.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {
const QString kLayoutName = QStringLiteral("clientmain");
} // namespace

void TFrmMain::CreateWorkspace()
{
    m_workspace = new ClientWorkspace(this);
    m_clientList = new ClientListPanel(m_workspace, ui->pnlWorkspace);
    ui->layWorkspace->addWidget(m_clientList);
    m_clientList->setCurrentTabSource([this] { return CurrentTab(); });
    m_clientList->setTreeMaintenanceAction(action(QStringLiteral("105")));

    connect(m_clientList, &ClientListPanel::navigationToggleRequested, action(QStringLiteral("nshitu2")), &QAction::trigger);
    connect(m_clientList, &ClientListPanel::gridMenuRequested, this, [this](const QPoint &pos) { m_popupMenu1->popup(pos); });
    connect(m_clientList, &ClientListPanel::gridDoubleClicked, this, [this] {
        QAction *edit = action(QStringLiteral("202"));
        if (edit->isVisible() && edit->isEnabled())
            edit->trigger();
    });
}

DataSet *TFrmMain::QryMain() const { return m_workspace->QryMain; }
DataGrid *TFrmMain::DBGridEh1() const { return m_clientList->grid(); }

// The steps of the first show, after the login.
void TFrmMain::FormFirstShow()
{
    // Dates are shown "yyyy-MM-dd" by the program's own formats; the
    // desktop's regional settings are the operator's and stay as they are.
    AppState &st = appState();
    st.AutoBackupRule = Config::shared().readInteger(QStringLiteral("config"), QStringLiteral("ibak"), 0);
    m_clientList->LoadTree();
    RefreshClientList();
    m_clientList->LoadLayout();
    FirstShowDetails();
    m_clientList->FillListPanel(1);
    st.RemindAtStart = Config::shared().readBool(QStringLiteral("set"), QStringLiteral("awokeflag"), false);
    if (st.RemindAtStart)
        ShowStartReminders();
    m_clientList->FillSearchFields();
    DBGridEh1()->setFocus();
}

bool TFrmMain::deleteKeyRunsDetailDelete(const QWidget *focus) const
{
    const QAction *del = action(QStringLiteral("903"));
    if (!del->isVisible() || !del->isEnabled() || !focus)
        return false;
    const QWidget *details = m_clientList->detailsArea();
    for (const QWidget *w = focus; w; w = w->parentWidget()) {
        if (w == details)
            return qobject_cast<const DataGrid *>(focus) != nullptr;
    }
    return false;
}

// ------------------------------------------------------------- commands

namespace {
using WorkspaceCommands::mainWindow;

void Action104Execute(CommandContext &c) { ShowCodeManager(c.parent); }

void Action105Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    ShowTreeCodeManager(w);
    w->clientList()->ReloadTree();
}

void Action203Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w || w->QryMain()->isEmpty() || w->QryMain()->currentRow() < 0)
        return;
    if (ShowMess(w->workspace()->deleteCustomerQuestion(), MessDestructive) == 2)
        return;
    reportOutcome(w->workspace()->deleteCustomer(w->CurrentTab()));
}

void Action204Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    // an empty text (also the dialog's cancel) removes the sort
    w->clientList()->applySortText(dmData->ShowSortDialog(w->DBGridEh1()));
}

void Action205Execute(CommandContext &c)
{
    if (TFrmMain *w = mainWindow(c))
        dmData->ChooseGridColumns(w->DBGridEh1());
}

void Action206Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    if (ShowMess(QStringLiteral("真的要保存当前网格设置吗？"), MessQuestion) == 1)
        dmData->SaveGridLayout(w->DBGridEh1(), kLayoutName);
}

// The bulk changes of the selected customers (industry, salesperson).
void BulkChange(TFrmMain *w, AskValueMode mode)
{
    if (!w)
        return;
    const bool industry = mode == AskValueMode::Industry;
    if (ShowMess(industry ? QStringLiteral("真的要改变当前所选客户的行业类型吗？") : QStringLiteral("真的要改变当前所选客户的业务员吗？"),
                 MessQuestion)
        != 1)
        return;
    QString value;
    if (!dmData->AskValue(industry ? QStringLiteral("行业类型名称") : QStringLiteral("业务员名称"), mode, value,
                          industry ? IndustryPicker() : TdmData::TreePicker()))
        return;
    // blanks around a category or a name would keep it from matching
    value = value.trimmed();
    if (value.isEmpty())
        return;
    const QVector<int> selected = w->DBGridEh1()->selectedRows();
    if (selected.isEmpty()) {
        ShowMess(industry ? QStringLiteral("请选择需要更改行业类型的客户资料！") : QStringLiteral("请选择需要更改业务员的客户资料！"),
                 MessInfo);
        return;
    }
    const int failed = w->workspace()->bulkSet(QList<int>(selected.cbegin(), selected.cend()),
                                               industry ? QStringLiteral("F_hangye") : QStringLiteral("F_empName"), value);
    if (failed > 0)
        ShowMess(QStringLiteral("所选的 %1 个客户中有 %2 个的%3没有更改成功，请检查数据连接后再试一次！")
                     .arg(selected.size())
                     .arg(failed)
                     .arg(industry ? QStringLiteral("行业类型") : QStringLiteral("业务员")),
                 MessError);
}

void Action208Execute(CommandContext &c) { BulkChange(mainWindow(c), AskValueMode::Industry); }
void Action218Execute(CommandContext &c) { BulkChange(mainWindow(c), AskValueMode::Salesperson); }

void Action301Execute(CommandContext &c)
{
    if (TFrmMain *w = mainWindow(c))
        dmData->ExportGridToExcel(w->DBGridEh1(), QStringLiteral("客户档案资料"));
}

void Action505Execute(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (!w)
        return;
    // the connection tool takes over; when it cannot be started the program
    // stays, so that the operator is not left with nothing
    if (!Shell::startProgram(QStringLiteral("Qelconn"))) {
        ShowMess(QStringLiteral("无法启动数据库连接设置程序 Qelconn！"), MessError);
        return;
    }
    w->closeWithoutAsking();
}

void N82Click(CommandContext &c)
{
    TFrmMain *w = mainWindow(c);
    if (w && reportOutcome(w->workspace()->deleteEmptyCustomers()))
        reportOutcome(w->workspace()->ReopenClientList(w->CurrentTab()));
}
} // namespace

void WorkspaceCommands::registerClientListCommands(CommandRegistry &r)
{
    r.add(QStringLiteral("104"), Action104Execute);
    r.add(QStringLiteral("105"), Action105Execute);
    r.add(QStringLiteral("203"), Action203Execute);
    r.add(QStringLiteral("204"), Action204Execute);
    r.add(QStringLiteral("205"), Action205Execute);
    r.add(QStringLiteral("206"), Action206Execute);
    r.add(QStringLiteral("208"), Action208Execute);
    r.add(QStringLiteral("218"), Action218Execute);
    r.add(QStringLiteral("301"), Action301Execute);
    r.add(QStringLiteral("505"), Action505Execute);
    r.add(QStringLiteral("N82"), N82Click);
}
