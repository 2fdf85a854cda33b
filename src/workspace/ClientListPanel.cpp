#include "ClientListPanel.h"
#include "ReportOutcome.h"
#include "ui_ClientListPanel.h"

#include "ClientWorkspace.h"
#include "TDlgCltCx.h"
#include "app/AppState.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "refdata/TreeServices.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidgetItem>

namespace {
const QString kLayoutName = QStringLiteral("clientmain");

// The customer grid as designed; the stored layout "clientmain" replaces it.
QVector<DataGridColumn> designedColumns()
{
    static const char *const fields[][2] = {
        {"F_code", "客户编号"},    {"F_name", "客户名称"},     {"F_type", "客户类型"},     {"F_hangye", "行业类别"},
        {"F_laiyuan", "客户来源"}, {"F_country", "国家"},      {"F_province", "省份"},     {"F_city", "城市"},
        {"F_address", "地址"},     {"F_postcode", "邮编"},     {"F_phone", "电话"},        {"F_fax", "传真"},
        {"F_homepage", "网址"},    {"F_email", "电子信箱"},    {"F_enrol", "法人代表"},    {"F_khbank", "开户银行"},
        {"F_bankcode", "银行帐号"}, {"F_good", "主营产品"},    {"F_xuqiu", "客户需求"},    {"F_shuihao", "税号"},
        {"F_mem", "备注信息"},     {"F_empName", "业务员"},    {"F_LXRname", "主联系人"},  {"F_LXRdept", "联系部门"},
        {"F_LXRduty", "联系人职务"}, {"F_LXRphone", "联系电话"}, {"F_LXRqq", "联系QQ"},      {"F_LXRemail", "联系信箱"},
        {"F_editdate", "编辑日期"}};
    QVector<DataGridColumn> columns;
    for (const auto &f : fields)
        columns.append(DataGridColumn(QString::fromLatin1(f[0]), QString::fromUtf8(f[1]), 80));
    // the custom fields: titled by the application state's captions
    const AppState &st = appState();
    const char *const custom[] = {"F_ZF1", "F_ZF2", "F_ZF3", "F_ZF4", "F_ZF5", "F_SZ1",
                                  "F_SZ2", "F_SZ3", "F_RQ1", "F_RQ2", "F_RQ3"};
    for (int i = 0; i < 11; ++i) {
        const QString field = QString::fromLatin1(custom[i]);
        const QString title = st.custom(i + 1).trimmed();
        columns.append(DataGridColumn(field, title.isEmpty() ? field : title, 80));
    }
    return columns;
}

QString valueListSql()
{
    return QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = :type order by F_name");
}
} // namespace

ClientListPanel::ClientListPanel(ClientWorkspace *workspace, QWidget *parent)
    : QWidget(parent), ui(new Ui::ClientListPanel), m_ws(workspace)
{
    ui->setupUi(this);
    m_details = ui->pnlDetails;
    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({190, 900});
    ui->splDetails->setStretchFactor(0, 3);
    ui->splDetails->setStretchFactor(1, 2);
    ui->splDetails->setSizes({360, 240});

    // --- the grid
    DataGrid *grid = ui->DBGridEh1;
    grid->setDataSet(m_ws->QryMain);
    grid->setColumns(designedColumns());
    grid->setFrameShape(QFrame::NoFrame);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(grid, &DataGrid::titleClicked, this, &ClientListPanel::sortByTitle);
    connect(grid, &QAbstractItemView::doubleClicked, this, [this] { emit gridDoubleClicked(); });
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this, grid](const QPoint &pos) { emit gridMenuRequested(grid->viewport()->mapToGlobal(pos)); });
    // stopped customers in red on the button face
    grid->setRowColorHook([this](int row) -> DataGrid::RowColors {
        DataSet *q = m_ws->QryMain;
        if (m_useFlagColumn < 0 || !q->value(row, m_useFlagColumn).toBool())
            return {};
        return {QColor(255, 0, 0), QApplication::palette().color(QPalette::Button)};
    });

    // the count label follows the rows, whatever changed them
    DataSet *q = m_ws->QryMain;
    connect(q, &QAbstractItemModel::modelReset, this, &ClientListPanel::updateCount);
    connect(q, &QAbstractItemModel::rowsInserted, this, &ClientListPanel::updateCount);
    connect(q, &QAbstractItemModel::rowsRemoved, this, &ClientListPanel::updateCount);
    connect(q, &DataSet::opened, this, [this] { m_useFlagColumn = m_ws->QryMain->fieldIndex(QStringLiteral("F_useFlag")); });

    // --- the search bar
    FillSearchFields();
    connect(ui->Edit1, &QLineEdit::textChanged, this, &ClientListPanel::RefreshClientList);
    connect(ui->ComboBox1, &QComboBox::currentIndexChanged, this, &ClientListPanel::ComboBox1Change);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &ClientListPanel::RefreshClientList);
    connect(ui->CheckBox1, &QCheckBox::clicked, this, &ClientListPanel::RefreshClientList);
    connect(ui->SpeedButton2, &QToolButton::clicked, this, &ClientListPanel::SpeedButton2Click);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &ClientListPanel::navigationToggleRequested);
    auto *f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    f3->setObjectName(QStringLiteral("scFind"));
    f3->setContext(Qt::WindowShortcut);
    connect(f3, &QShortcut::activated, ui->BitBtn1, &QPushButton::click);

    // --- the navigation panel
    ui->tvTree->setIconSize(QSize(16, 16));
    connect(ui->tvTree, &QTreeWidget::currentItemChanged, this, &ClientListPanel::treeCurrentChanged);
    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("PopupMenu5"));
    auto *reload = m_treeMenu->addAction(QStringLiteral("刷        新"));
    reload->setObjectName(QStringLiteral("miTreeRefresh"));
    connect(reload, &QAction::triggered, this, &ClientListPanel::ReloadTree);
    connect(ui->tvTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_treeMenu->popup(ui->tvTree->viewport()->mapToGlobal(pos)); });

    ui->cbbListType->addItems(CustomerFilter::valueKindCaptions());
    connect(ui->cbbListType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            FillListPanel(index + 1);
    });
    connect(ui->Button1, &QPushButton::clicked, this, [this] { FillListPanel(qMax(0, ui->cbbListType->currentIndex()) + 1); });
    QHeaderView *h = ui->vleList->horizontalHeader();
    h->setSectionResizeMode(0, QHeaderView::Fixed);
    h->resizeSection(0, 36);
    ui->vleList->verticalHeader()->setDefaultSectionSize(22);
    connect(ui->vleList, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
        if (m_listClickAttached && row != previousRow)
            RefreshClientList();
    });
}

ClientListPanel::~ClientListPanel() { delete ui; }

DataGrid *ClientListPanel::grid() const { return ui->DBGridEh1; }
QLabel *ClientListPanel::countLabel() const { return ui->lblCLTnum; }
QWidget *ClientListPanel::navigationPanel() const { return ui->rpcCrm; }

void ClientListPanel::setDetailsWidget(QWidget *details)
{
    if (!details || details == m_details)
        return;
    const QList<int> sizes = ui->splDetails->sizes();
    QWidget *old = ui->splDetails->replaceWidget(1, details);
    delete old;
    m_details = details;
    ui->splDetails->setSizes(sizes);
}

void ClientListPanel::setTreeMaintenanceAction(QAction *action)
{
    if (action)
        m_treeMenu->insertAction(m_treeMenu->actions().value(0), action);
}

// ------------------------------------------------------------- start-up

void ClientListPanel::LoadTree()
{
    const QSignalBlocker block(ui->tvTree);
    LoadCodeTree(ui->tvTree, QStringLiteral("行业类别"), IndustryTreeName());
    if (QTreeWidgetItem *root = ui->tvTree->topLevelItem(0)) {
        root->setExpanded(true);
        ui->tvTree->setCurrentItem(root);
    }
}

void ClientListPanel::LoadLayout()
{
    dmData->LoadGridLayout(ui->DBGridEh1, kLayoutName);
    dmData->ApplyColumnFormats(ui->DBGridEh1);
}

void ClientListPanel::FillSearchFields()
{
    const QSignalBlocker block(ui->ComboBox1);
    ui->ComboBox1->clear();
    ui->ComboBox1->addItems(CustomerFilter::searchFieldCaptions());
    ui->ComboBox1->setCurrentIndex(-1);
}

// ------------------------------------------------------------- the list

CustomerFilter ClientListPanel::filter() const
{
    CustomerFilter f;
    f.searchField = ui->ComboBox1->currentIndex();
    f.searchText = ui->Edit1->text();
    if (const QTreeWidgetItem *item = ui->tvTree->currentItem(); item && !IsTreeRoot(item))
        f.industryPath = TreeNodeOf(item).path;
    f.includeStopped = ui->CheckBox1->isChecked();
    f.valueKind = m_listKind - 1;
    const int row = ui->vleList->currentRow();
    if (row > 0) {
        f.valueChosen = true;
        if (const QTableWidgetItem *v = ui->vleList->item(row, 1))
            f.value = v->text();
    }
    return f;
}

void ClientListPanel::RefreshClientList()
{
    // any ordinary refresh ends an advanced search
    if (ui->SpeedButton2->isChecked()) {
        const QSignalBlocker block(ui->SpeedButton2);
        ui->SpeedButton2->setChecked(false);
    }
    setAdvancedLook(false);
    openStatement(filter().statement());
}

void ClientListPanel::openStatement(const SqlStatement &statement)
{
    // the new rows come in F_ID order: no marker stays behind
    ui->DBGridEh1->clearSortMarkers();
    reportOutcome(m_ws->RefreshClientList(statement, currentTab()));
    updateCount();
}

void ClientListPanel::updateCount() { ui->lblCLTnum->setText(m_ws->countCaption()); }

void ClientListPanel::ReloadTree()
{
    LoadTree();
    RefreshClientList();
}

void ClientListPanel::treeCurrentChanged(QTreeWidgetItem *current)
{
    if (current)
        RefreshClientList();
}

void ClientListPanel::ComboBox1Change()
{
    {
        const QSignalBlocker block(ui->Edit1);
        ui->Edit1->clear();
    }
    RefreshClientList();
}

void ClientListPanel::FillListPanel(int kind)
{
    if (kind < 1 || kind > 6)
        return;
    QTableWidget *list = ui->vleList;
    m_listClickAttached = false;
    list->setRowCount(0);
    bool ok = false;
    const QStringList values =
        dmData->QueryList(valueListSql(), {{QStringLiteral("type"), CustomerFilter::valueKindCodeList(kind - 1)}}, &ok);
    m_listKind = kind;

    const auto addRow = [list](const QString &key, const QString &value) {
        const int r = list->rowCount();
        list->insertRow(r);
        auto *k = new QTableWidgetItem(key);
        k->setTextAlignment(Qt::AlignCenter);
        list->setItem(r, 0, k);
        list->setItem(r, 1, new QTableWidgetItem(value));
    };
    addRow(QStringLiteral("0"), QStringLiteral("全部"));
    list->setCurrentCell(0, 1);
    // once, unfiltered, while the list is not listening
    RefreshClientList();
    m_listClickAttached = true;

    list->setHorizontalHeaderLabels({QString(), CustomerFilter::valueKindCaptions().value(kind - 1)});
    for (int r = 0; r < values.size(); ++r)
        addRow(QString::number(r + 1), values.at(r));
}

// ------------------------------------------------------------- advanced search

bool ClientListPanel::advancedSearchInForce() const { return ui->SpeedButton2->isChecked(); }

void ClientListPanel::setAdvancedLook(bool inForce)
{
    QPalette p = ui->SpeedButton2->palette();
    p.setColor(QPalette::ButtonText, inForce ? QColor(255, 0, 0) : QColor(Qt::black));
    ui->SpeedButton2->setPalette(p);
}

void ClientListPanel::SpeedButton2Click(bool down)
{
    if (!down) {
        RefreshClientList();
        return;
    }
    std::optional<SqlStatement> statement;
    {
        TDlgCltCx dialog(window());
        statement = dialog.AskSearchStatement();
    }
    if (!statement) {
        const QSignalBlocker block(ui->SpeedButton2);
        ui->SpeedButton2->setChecked(false);
        setAdvancedLook(false);
        return;
    }
    setAdvancedLook(true);
    statement->sql += QStringLiteral(" order by F_ID");
    openStatement(*statement);
}

// ------------------------------------------------------------- sorting

void ClientListPanel::sortByTitle(int pos)
{
    DataGrid *grid = ui->DBGridEh1;
    DataSet *q = m_ws->QryMain;
    if (!q->isOpen() || pos < 0 || pos >= grid->columnCount())
        return;
    const DataGridColumn c = grid->column(pos);
    const bool ascending = c.sortMarker != DataGridColumn::SortMarker::Ascending;
    const auto marker = ascending ? DataGridColumn::SortMarker::Ascending : DataGridColumn::SortMarker::Descending;
    // memo columns are not sorted: only their marker moves
    if (c.fieldName.toLower().contains(QLatin1String("mem"))) {
        grid->setSortMarker(pos, marker);
        return;
    }
    grid->clearSortMarkers();
    grid->setSortMarker(pos, marker);
    q->setSortText(c.fieldName + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
}

void ClientListPanel::applySortText(const QString &sortText)
{
    DataGrid *grid = ui->DBGridEh1;
    m_ws->QryMain->setSortText(sortText);
    grid->clearSortMarkers();
    for (const QString &part : sortText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        const int pos = grid->columnOfField(words.value(0));
        if (pos >= 0)
            grid->setSortMarker(pos, words.value(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0
                                         ? DataGridColumn::SortMarker::Descending
                                         : DataGridColumn::SortMarker::Ascending);
    }
}

void ClientListPanel::setNavigationVisible(bool visible)
{
    ui->rpcCrm->setVisible(visible);
    ui->SpeedButton1->setArrowType(visible ? Qt::LeftArrow : Qt::RightArrow);
    ui->SpeedButton1->setToolTip(visible ? QStringLiteral("隐藏导航树") : QStringLiteral("显示导航树"));
}
