#include "DetailPanel.h"

#include "ClientWorkspace.h"
#include "ReportOutcome.h"
#include "WorkspaceRecords.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString kChooseTab = QStringLiteral("请点击一下相关的表格。");

QIcon listIcon(const QWidget *w, int page)
{
    static const QStyle::StandardPixmap icons[] = {QStyle::SP_FileDialogDetailedView, QStyle::SP_DirHomeIcon,
                                                   QStyle::SP_FileDialogListView,     QStyle::SP_FileIcon,
                                                   QStyle::SP_DriveNetIcon,           QStyle::SP_DialogYesButton,
                                                   QStyle::SP_MessageBoxWarning,      QStyle::SP_DriveHDIcon,
                                                   QStyle::SP_MessageBoxInformation};
    return w->style()->standardIcon(icons[qBound(0, page, 8)]);
}
} // namespace

QVector<DataGridColumn> DetailPanel::designedColumns(int tab)
{
    const RecordKindInfo *kind = RecordCatalogue::ofTab(tab);
    return kind ? kind->gridColumns() : QVector<DataGridColumn>();
}

QAction *DetailPanel::ensureAction(const QHash<QString, QAction *> &given, const QString &name, const QString &caption)
{
    QAction *a = given.value(name);
    if (!a) {
        a = new QAction(caption, this);
        a->setObjectName(name);
    }
    m_actions.insert(name, a);
    return a;
}

DetailPanel::DetailPanel(ClientWorkspace *workspace, const QHash<QString, QAction *> &actions, QWidget *parent)
    : QWidget(parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("DetailPanel"));
    QAction *a901 = ensureAction(actions, QStringLiteral("Action901"), QStringLiteral("新增"));
    QAction *a902 = ensureAction(actions, QStringLiteral("Action902"), QStringLiteral("修改"));
    QAction *a903 = ensureAction(actions, QStringLiteral("Action903"), QStringLiteral("删除"));
    QAction *a904 = ensureAction(actions, QStringLiteral("Action904"), QStringLiteral("排序..."));
    QAction *a905 = ensureAction(actions, QStringLiteral("Action905"), QStringLiteral("显示字段选择"));
    QAction *a906 = ensureAction(actions, QStringLiteral("Action906"), QStringLiteral("保存当前网格"));
    QAction *a31 = ensureAction(actions, QStringLiteral("Action31"), QStringLiteral("导出"));
    QAction *a301 = actions.value(QStringLiteral("Action301"));
    if (a301)
        m_actions.insert(QStringLiteral("Action301"), a301);
    connect(a901, &QAction::triggered, this, &DetailPanel::Action901Execute);
    connect(a902, &QAction::triggered, this, &DetailPanel::Action902Execute);
    connect(a903, &QAction::triggered, this, &DetailPanel::Action903Execute);
    connect(a904, &QAction::triggered, this, &DetailPanel::Action904Execute);
    connect(a905, &QAction::triggered, this, &DetailPanel::Action905Execute);
    connect(a906, &QAction::triggered, this, &DetailPanel::Action906Execute);
    connect(a31, &QAction::triggered, this, &DetailPanel::Action31Execute);

    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setViewMode(QListView::ListMode);
    m_list->setIconSize(QSize(16, 16));
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFixedWidth(104);
    lay->addWidget(m_list);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &DetailPanel::ListView1SelectItem);

    auto *right = new QWidget(this);
    auto *rlay = new QVBoxLayout(right);
    rlay->setContentsMargins(0, 0, 0, 0);
    rlay->setSpacing(0);
    m_toolBar = new QToolBar(right);
    m_toolBar->setObjectName(QStringLiteral("ToolBar2"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setIconSize(QSize(16, 16));
    for (QAction *a : {a901, a902, a903, a904, a31})
        m_toolBar->addAction(a);
    rlay->addWidget(m_toolBar);

    m_pages = new QTabWidget(right);
    m_pages->setObjectName(QStringLiteral("rpcList"));
    m_pages->setDocumentMode(true);
    m_pages->setContextMenuPolicy(Qt::CustomContextMenu);
    rlay->addWidget(m_pages, 1);
    lay->addWidget(right, 1);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu4"));
    for (QAction *a : {a901, a902, a903, a904})
        m_popupMenu->addAction(a);
    if (a301)
        m_popupMenu->addAction(a301);
    m_popupMenu->addSeparator();
    m_popupMenu->addAction(a905);
    m_popupMenu->addAction(a906);
    connect(m_pages, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popupMenu->popup(m_pages->mapToGlobal(pos)); });

    for (int n = 1; n <= ClientWorkspace::kTabs; ++n) {
        auto *page = new QWidget(m_pages);
        page->setObjectName(QStringLiteral("TabSheet%1").arg(n));
        auto *pl = new QVBoxLayout(page);
        pl->setContentsMargins(0, 0, 0, 0);
        auto *g = new DataGrid(page);
        g->setObjectName(QStringLiteral("DBGridEh%1").arg(n + 1));
        g->setDataSet(m_ws->detail(n));
        g->setColumns(designedColumns(n));
        g->setReadOnly(true);
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint &pos) { m_popupMenu->popup(g->viewport()->mapToGlobal(pos)); });
        connect(g, &QAbstractItemView::doubleClicked, this, [this] {
            QAction *edit = action(QStringLiteral("Action902"));
            if (visible(QStringLiteral("Action902")) && edit->isEnabled())
                edit->trigger();
        });
        g->installEventFilter(this);
        pl->addWidget(g);
        m_grids[n] = g;
        m_pages->addTab(page, QString::fromUtf8(RecordCatalogue::ofTab(n)->tabCaption));
    }
    m_pages->tabBar()->hide();

    registerWorkspaceEditWindows();
    updateActions();
}

DetailPanel::~DetailPanel() = default;

DataGrid *DetailPanel::grid(int tab) const { return tab >= 1 && tab <= ClientWorkspace::kTabs ? m_grids[tab] : nullptr; }

bool DetailPanel::hasRecordEditor(int tab) const
{
    const RecordKindInfo *kind = RecordCatalogue::ofTab(tab);
    return kind && bool(RecordCatalogue::editWindow(kind->kind));
}

void DetailPanel::openEditor(int tab, int mode)
{
    if (const RecordKindInfo *kind = RecordCatalogue::ofTab(tab))
        if (const EditWindowFactory &open = RecordCatalogue::editWindow(kind->kind))
            open({window(), m_ws, tab, mode});
}

// ------------------------------------------------------------- tabs

void DetailPanel::BuildDetailList()
{
    m_list->blockSignals(true);
    m_list->clear();
    for (int page = 0; page < ClientWorkspace::kTabs; ++page) {
        const RecordKindInfo &kind = *RecordCatalogue::ofTab(page + 1);
        const QString permission = QString::fromLatin1(kind.permission);
        if (!permission.isEmpty() && !visible(permission))
            continue;
        auto *item = new QListWidgetItem(listIcon(this, page), QString::fromUtf8(kind.listCaption), m_list);
        item->setData(Qt::UserRole, page); // the page it shows
    }
    m_list->blockSignals(false);
}

void DetailPanel::ShowFirstTab()
{
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    m_pages->tabBar()->hide();
    if (m_list->count() == 0)
        m_pages->setCurrentIndex(0);
}

void DetailPanel::chooseTab(int tab)
{
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->data(Qt::UserRole).toInt() == tab - 1) {
            m_list->setCurrentRow(i);
            return;
        }
}

void DetailPanel::ListView1SelectItem()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    const int page = selected.isEmpty() ? 0 : selected.first()->data(Qt::UserRole).toInt();
    m_pages->setCurrentIndex(page);
    m_currentTab = page + 1;
    reportOutcome(m_ws->OpenDetailQueries(false, m_currentTab));
    if (DataGrid *g = grid(m_currentTab))
        g->viewport()->update();
    updateActions();
    emit tabChanged(m_currentTab);
}

void DetailPanel::LoadGridLayouts()
{
    for (int n = 1; n <= ClientWorkspace::kTabs; ++n)
        dmData->LoadGridLayout(m_grids[n], QString::fromLatin1(RecordCatalogue::ofTab(n)->detailLayout));
}

void DetailPanel::updateActions()
{
    // new and edit only where the tab's edit window exists
    const bool tabShown = m_currentTab >= 1 && m_currentTab <= ClientWorkspace::kTabs;
    const bool editable = !tabShown || hasRecordEditor(m_currentTab);
    for (const char *name : {"Action901", "Action902"}) {
        QAction *a = action(QString::fromLatin1(name));
        a->setEnabled(editable);
        a->setToolTip(editable ? a->text() : a->text() + QStringLiteral("（此表的编辑窗口暂未提供）"));
    }
}

// ------------------------------------------------------------- commands

void DetailPanel::Action901Execute()
{
    const int tab = m_currentTab;
    if (tab < 1 || tab > ClientWorkspace::kTabs) {
        ShowMess(kChooseTab, MessInfo);
        return;
    }
    if (m_ws->QryMain->isEmpty()) {
        ShowMess(QString::fromUtf8(RecordCatalogue::ofTab(tab)->messages.noCustomer), MessInfo);
        if (m_focusCustomers)
            m_focusCustomers();
        return;
    }
    openEditor(tab, 0);
}

void DetailPanel::Action902Execute()
{
    if (!visible(QStringLiteral("Action202")))
        return;
    const int tab = m_currentTab;
    if (tab < 1 || tab > ClientWorkspace::kTabs) {
        ShowMess(kChooseTab, MessInfo);
        return;
    }
    DataSet *d = m_ws->detail(tab);
    if (!d->isOpen() || d->isEmpty()) {
        ShowMess(QString::fromUtf8(RecordCatalogue::ofTab(tab)->messages.nothingToEdit), MessError);
        return;
    }
    openEditor(tab, 1);
}

void DetailPanel::Action903Execute()
{
    const int tab = m_currentTab;
    if (tab < 1 || tab > ClientWorkspace::kTabs) {
        ShowMess(kChooseTab, MessInfo);
        return;
    }
    const QString question = m_ws->deleteQuestion(tab);
    if (question.isEmpty())
        return;
    if (ShowMess(question, MessDestructive) == 2)
        return;
    reportOutcome(m_ws->deleteRecord(tab));
}

void DetailPanel::Action904Execute()
{
    DataGrid *g = grid(m_currentTab);
    if (!g) {
        ShowMess(kChooseTab, MessInfo);
        return;
    }
    const QString sort = dmData->ShowSortDialog(g);
    if (g->dataSet()->isOpen())
        g->dataSet()->setSortText(sort);
}

void DetailPanel::Action905Execute()
{
    if (DataGrid *g = grid(m_currentTab))
        dmData->ChooseGridColumns(g);
    else
        ShowMess(kChooseTab, MessInfo);
}

void DetailPanel::Action906Execute()
{
    DataGrid *g = grid(m_currentTab);
    if (!g) {
        ShowMess(kChooseTab, MessInfo);
        return;
    }
    if (ShowMess(QStringLiteral("真的要保存当前网格设置吗？"), MessQuestion) == 1)
        dmData->SaveGridLayout(g, QString::fromLatin1(RecordCatalogue::ofTab(m_currentTab)->detailLayout));
}

void DetailPanel::Action31Execute()
{
    if (DataGrid *g = grid(m_currentTab))
        dmData->ExportGridToExcel(g, QString::fromUtf8(RecordCatalogue::ofTab(m_currentTab)->exportTitle));
    else
        ShowMess(kChooseTab, MessInfo);
}

bool DetailPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Delete removes the tab's record only while a detail grid has the focus
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        QAction *del = action(QStringLiteral("Action903"));
        if (visible(QStringLiteral("Action903")) && del->isEnabled())
            del->trigger();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
