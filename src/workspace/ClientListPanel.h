#pragma once

#include "workspace/CustomerQuery.h"

#include <QWidget>

#include <functional>
#include <optional>

class ClientWorkspace;
class DataGrid;
class QAction;
class QLabel;
class QMenu;
class QTreeWidgetItem;

namespace Ui {
class ClientListPanel;
}

// The customer list of the main window with everything that filters it: the
// navigation panel on the left (industry tree, value list), the search bar,
// the advanced search, the grid with its count label. The lower half of the
// workspace (the detail tabs) is put into detailsArea() by the main window.
//
// Every filter control reads into one CustomerFilter; a refresh re-opens
// QryMain with its statement and nothing else (no layouts, trees or value
// lists are read again), so that the list follows the typing.
class ClientListPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ClientListPanel(ClientWorkspace *workspace, QWidget *parent = nullptr);
    ~ClientListPanel() override;

    DataGrid *grid() const;
    QLabel *countLabel() const;
    QWidget *navigationPanel() const;
    // The lower half: an empty placeholder (pnlDetails) until a widget is set.
    QWidget *detailsArea() const { return m_details; }
    // Puts the detail tabs in place of the placeholder (which is deleted).
    void setDetailsWidget(QWidget *details);

    // Where the detail queries stand (the tab in front, 0 when none).
    void setCurrentTabSource(std::function<int()> source) { m_currentTab = std::move(source); }
    // The command of the tree's pop-up menu that maintains the categories.
    void setTreeMaintenanceAction(QAction *action);

    // --- start-up pieces, in the order the main window calls them
    // Reloads the industry tree; the root is expanded and current. No refresh.
    void LoadTree();
    // The stored layout "clientmain" over the designed columns, then the
    // formats and custom-field titles of the application state.
    void LoadLayout();
    // The twelve search fields, none chosen.
    void FillSearchFields();

    // The filter the controls hold now.
    CustomerFilter filter() const;
    // Re-opens the list by the controls (an advanced search in force ends).
    void RefreshClientList();
    // Reloads the tree, then refreshes (after the categories were maintained).
    void ReloadTree();
    // Fills the value list with the values of kind 1..6 (customer type,
    // source, country, province, needs, salesperson) and refreshes once,
    // unfiltered.
    void FillListPanel(int kind);
    int listKind() const { return m_listKind; }

    bool advancedSearchInForce() const;
    void setNavigationVisible(bool visible);

    // The sort marker cycle of a title click (none/descending -> ascending ->
    // descending); memo columns only move the marker.
    void sortByTitle(int pos);
    // Applies a sort text ("f_name ASC,f_code DESC,") to the list and shows
    // its markers.
    void applySortText(const QString &sortText);

signals:
    // SpeedButton1: the operator wants the navigation panel shown or hidden.
    void navigationToggleRequested();
    void gridDoubleClicked();
    void gridMenuRequested(const QPoint &globalPos);

private:
    void SpeedButton2Click(bool down);
    void setAdvancedLook(bool inForce);
    void treeCurrentChanged(QTreeWidgetItem *current);
    void ComboBox1Change();
    void updateCount();
    int currentTab() const { return m_currentTab ? m_currentTab() : 0; }
    void openStatement(const SqlStatement &statement);

    Ui::ClientListPanel *ui;
    ClientWorkspace *m_ws;
    QWidget *m_details = nullptr;
    QMenu *m_treeMenu = nullptr;
    std::function<int()> m_currentTab;
    int m_listKind = 1;
    int m_useFlagColumn = -1;
    bool m_listClickAttached = true;
};
