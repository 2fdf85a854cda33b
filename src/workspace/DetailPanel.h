#pragma once

#include <QHash>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>

class ClientWorkspace;
class DataGrid;
struct DataGridColumn;
class QAction;
class QListWidget;
class QMenu;
class QTabWidget;
class QToolBar;

// The lower half of the main window: the records of the current customer in
// nine tabs (activities, contacts, quotations, contracts, sales bills,
// visits, complaints, products, reminders), the list that chooses the tab,
// and the record commands on the tab in front.
//
// The commands are the host's actions (Action901..906, Action31 and the
// customer-list export Action301) when it passes them; the panel creates
// its own otherwise. New and edit open the tab's edit window; a tab whose
// edit window is not there yet has new and edit disabled while it is in front.
class DetailPanel : public QWidget
{
    Q_OBJECT
public:
    explicit DetailPanel(ClientWorkspace *workspace, const QHash<QString, QAction *> &actions = {}, QWidget *parent = nullptr);
    ~DetailPanel() override;

    // Whether an action of the host is visible (the permissions); without a
    // host every action is.
    using VisibleFn = std::function<bool(const QString &action)>;
    void setActionVisibility(VisibleFn visible) { m_visible = std::move(visible); }
    // Gives the focus to the customer list (new record without a customer).
    void setCustomerGridFocus(std::function<void()> focus) { m_focusCustomers = std::move(focus); }
    // Whether the tab's kind has an edit window (registered in the record
    // catalogue by the subsystem that owns it).
    bool hasRecordEditor(int tab) const;

    QAction *action(const QString &name) const { return m_actions.value(name); }
    DataGrid *grid(int tab) const;
    QListWidget *detailList() const { return m_list; }
    QTabWidget *pages() const { return m_pages; }

    // The grid columns of a tab as designed (the stored layout overrides).
    static QVector<DataGridColumn> designedColumns(int tab);

    // Fills the detail list by the visible actions (Action211..216).
    void BuildDetailList();
    // First show: the first entry of the list, the first page in front.
    void ShowFirstTab();
    void LoadGridLayouts();
    // 1..9, the tab in front; 0 before a tab was chosen.
    int CurrentTab() const { return m_currentTab; }
    // Puts the tab in front as choosing its list entry does.
    void chooseTab(int tab);

    void Action901Execute();
    void Action902Execute();
    void Action903Execute();
    void Action904Execute();
    void Action905Execute();
    void Action906Execute();
    void Action31Execute();

signals:
    // After the tab in front changed.
    void tabChanged(int tab);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *ensureAction(const QHash<QString, QAction *> &given, const QString &name, const QString &caption);
    void ListView1SelectItem();
    void updateActions();
    bool visible(const QString &action) const { return !m_visible || m_visible(action); }

    ClientWorkspace *m_ws;
    QHash<QString, QAction *> m_actions;
    QListWidget *m_list = nullptr;
    QTabWidget *m_pages = nullptr;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_popupMenu = nullptr;
    void openEditor(int tab, int mode);

    DataGrid *m_grids[10] = {};
    VisibleFn m_visible;
    std::function<void()> m_focusCustomers;
    int m_currentTab = 0;
};
