#pragma once

#include "app/CommandRegistry.h"

#include <QMainWindow>
#include <QPointer>

class ClientListPanel;
class ClientWorkspace;
class DetailPanel;
class DataGrid;
class DataSet;
class QAction;
class QKeySequence;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace Ui {
class TFrmMain;
}

// The application's main window: the customer workspace and the home of every
// command. The chrome (actions, menus, tool bar, status bar, keys) is built
// here and in TFrmMainActions.cpp; the customer workspace (TFrmMainCommands.cpp)
// fills pnlWorkspace. What a command does comes from the command registry:
// an action is enabled when its code has a handler there, and triggering it
// runs that handler with this window as host.
class TFrmMain : public QMainWindow, public CommandHost
{
    Q_OBJECT
public:
    // With the commands of the window and its customer workspace
    // (registerWorkspaceCommands).
    explicit TFrmMain(QWidget *parent = nullptr);
    // With the commands given: every subsystem's in the program, stand-ins
    // in tests.
    explicit TFrmMain(const CommandRegistry &commands, QWidget *parent = nullptr);
    ~TFrmMain() override;

    // The action of a permission code ("201" -> Action201), or of a name.
    QAction *action(const QString &name) const;
    // The area under the tool bar where the customer workspace lives.
    QWidget *workspaceArea() const;
    QMenu *gridPopupMenu() const { return m_popupMenu1; }

    // The customer workspace: the list QryMain with its detail queries, and
    // the upper half of the window that shows and filters it. The detail tabs
    // go into clientList()->setDetailsWidget().
    ClientWorkspace *workspace() const { return m_workspace; }
    ClientListPanel *clientList() const { return m_clientList; }
    // The lower half: the detail tabs of the current customer.
    DetailPanel *detailPanel() const;
    DataSet *QryMain() const;
    DataGrid *DBGridEh1() const;

    // The detail tab in front (1..9), 0 before the first is chosen.
    int CurrentTab() const { return m_currentTab; }
    void setCurrentTab(int tab) { m_currentTab = tab; }

    // Re-reads the customer list from the filter controls under the current
    // operator's scope (an advanced search in force ends).
    virtual void RefreshClientList();
    // Fills the value list with the values of kind 1..6 and refreshes once.
    void FillListPanel(int kind);

    // Ends the program without the exit question (the connection tool takes
    // over).
    void closeWithoutAsking();

    // CommandHost
    QObject *customerWorkspace() const override;
    DataSet *customerList() const override { return QryMain(); }
    int currentDetailTab() const override { return CurrentTab(); }
    void refreshCustomerList() override { RefreshClientList(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Ctrl+A, Ctrl+E or Ctrl+S while their command can run.
    QAction *previewedAction(const QKeySequence &keys) const;
    // Runs once the exit is confirmed, before the window goes (the close-time
    // backup belongs here).
    virtual void BeforeClose();
    // At the first show when the operator wants the due reminders at start:
    // the reminder list opens here, modeless and on top.
    virtual void ShowStartReminders();

private:
    // TFrmMainActions.cpp: the actions, menus and bars
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePopupMenu();
    void TidyToolBar();
    QAction *newAction(const QString &name, const QString &caption);

    void CreateStatusBar();
    void WireViewToggles();
    // Enables the actions whose commands have handlers and runs the handler
    // when one is triggered.
    void BindCommands();
    void RunCommand(const QString &code);
    void Timer1Timer();
    // TFrmMainCommands.cpp: the customer workspace
    void CreateWorkspace();
    void FormFirstShow();
    // Whether the Delete key belongs to the detail delete: a detail grid has
    // the focus and the command is available.
    bool deleteKeyRunsDetailDelete(const QWidget *focus) const;
    // TFrmMainDetails.cpp: the detail tabs and the record commands
    void CreateDetails();
    void FirstShowDetails();
    // The actions the detail panel runs itself, outside the registry.
    static const QStringList &detailPanelActions();

    Ui::TFrmMain *ui;
    CommandRegistry m_commands;
    ClientWorkspace *m_workspace = nullptr;
    ClientListPanel *m_clientList = nullptr;
    QPointer<DetailPanel> m_detailPanel;
    int m_currentTab = 0;
    QToolBar *m_toolBar1 = nullptr;
    QMenu *m_popupMenu1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QLabel *m_panels[5] = {};
    bool m_firstShow = true;
    bool m_exitConfirmed = false;
};
