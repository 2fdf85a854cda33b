// The main window's customer workspace: the customer list with its filters
// (ClientListPanel over ClientWorkspace), the start-up of the window, and the
// commands that act on the list.
#include "TFrmMain.h"
#include "ReportOutcome.h"
#include "ui_TFrmMain.h"

#include "ClientListPanel.h"
#include "ClientWorkspace.h"
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

void TFrmMain::WireWorkspaceCommands()
{
    auto on = [this](const QString &name, auto slot) {
        QAction *a = action(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, slot);
    };
    on(QStringLiteral("104"), &TFrmMain::Action104Execute);
    on(QStringLiteral("105"), &TFrmMain::Action105Execute);
    on(QStringLiteral("203"), &TFrmMain::Action203Execute);
    on(QStringLiteral("204"), &TFrmMain::Action204Execute);
    on(QStringLiteral("205"), &TFrmMain::Action205Execute);
    on(QStringLiteral("206"), &TFrmMain::Action206Execute);
    on(QStringLiteral("208"), &TFrmMain::Action208Execute);
    on(QStringLiteral("218"), &TFrmMain::Action218Execute);
    on(QStringLiteral("301"), &TFrmMain::Action301Execute);
    on(QStringLiteral("505"), &TFrmMain::Action505Execute);
    on(QStringLiteral("N82"), &TFrmMain::N82Click);
}

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

void TFrmMain::Action104Execute() { ShowCodeManager(this); }

void TFrmMain::Action105Execute()
{
    ShowTreeCodeManager(this);
    m_clientList->ReloadTree();
}

void TFrmMain::Action203Execute()
{
    if (QryMain()->isEmpty() || QryMain()->currentRow() < 0)
        return;
    if (ShowMess(m_workspace->deleteCustomerQuestion(), MessQuestion) == 2)
        return;
    reportOutcome(m_workspace->deleteCustomer(CurrentTab()));
}

void TFrmMain::Action204Execute()
{
    // an empty text (also the dialog's cancel) removes the sort
    m_clientList->applySortText(dmData->ShowSortDialog(DBGridEh1()));
}

void TFrmMain::Action205Execute() { dmData->ChooseGridColumns(DBGridEh1()); }

void TFrmMain::Action206Execute()
{
    if (ShowMess(QStringLiteral("真的要保存当前网格设置吗？"), MessQuestion) == 1)
        dmData->SaveGridLayout(DBGridEh1(), kLayoutName);
}

void TFrmMain::Action208Execute() { BulkChange(AskValueMode::Industry); }
void TFrmMain::Action218Execute() { BulkChange(AskValueMode::Salesperson); }

void TFrmMain::BulkChange(AskValueMode mode)
{
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
    const QVector<int> selected = DBGridEh1()->selectedRows();
    if (selected.isEmpty()) {
        ShowMess(industry ? QStringLiteral("请选择需要更改行业类型的客户资料！") : QStringLiteral("请选择需要更改业务员的客户资料！"),
                 MessInfo);
        return;
    }
    const int failed = m_workspace->bulkSet(QList<int>(selected.cbegin(), selected.cend()),
                                            industry ? QStringLiteral("F_hangye") : QStringLiteral("F_empName"), value);
    if (failed > 0)
        ShowMess(QStringLiteral("所选的 %1 个客户中有 %2 个的%3没有更改成功，请检查数据连接后再试一次！")
                     .arg(selected.size())
                     .arg(failed)
                     .arg(industry ? QStringLiteral("行业类型") : QStringLiteral("业务员")),
                 MessError);
}

void TFrmMain::Action301Execute() { dmData->ExportGridToExcel(DBGridEh1(), QStringLiteral("客户档案资料")); }

void TFrmMain::Action505Execute()
{
    // the connection tool takes over; when it cannot be started the program
    // stays, so that the operator is not left with nothing
    if (!Shell::startProgram(QStringLiteral("Qelconn"))) {
        ShowMess(QStringLiteral("无法启动数据库连接设置程序 Qelconn！"), MessError);
        return;
    }
    closeWithoutAsking();
}

void TFrmMain::N82Click()
{
    if (reportOutcome(m_workspace->deleteEmptyCustomers()))
        reportOutcome(m_workspace->ReopenClientList(CurrentTab()));
}
