#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace Ui {
class TFrmMain;
}

// The application's main window: the customer workspace and the home of every
// command. The chrome (actions, menus, tool bar, status bar, keys) is built
// here and in TFrmMainActions.cpp; the customer workspace fills pnlWorkspace.
class TFrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
    ~TFrmMain() override;

    // The action of a permission code ("201" -> Action201), or of a name.
    QAction *action(const QString &name) const;
    // The area under the tool bar where the customer workspace lives.
    QWidget *workspaceArea() const;
    QMenu *gridPopupMenu() const { return m_popupMenu1; }

    // Re-reads the customer list under the current operator's scope; called
    // after an operator switch. The customer workspace overrides it.
    virtual void RefreshClientList();

    // Ends the program without the exit question (the connection tool takes
    // over).
    void closeWithoutAsking();

public slots:
    void ReLogin();
    void Action102Execute();
    void Action103Execute();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Runs once the exit is confirmed, before the window goes (the close-time
    // backup belongs here).
    virtual void BeforeClose();

private:
    // TFrmMainActions.cpp
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePopupMenu();
    void TidyToolBar();
    QAction *newAction(const QString &name, const QString &caption);

    void CreateStatusBar();
    void WireCommands();
    void Timer1Timer();
    void startProgram(const QStringList &candidates, const QString &what);
    void openBesideProgram(const QString &fileName);

    Ui::TFrmMain *ui;
    QToolBar *m_toolBar1 = nullptr;
    QMenu *m_popupMenu1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QLabel *m_panels[5] = {};
    bool m_firstShow = true;
    bool m_exitConfirmed = false;
};
