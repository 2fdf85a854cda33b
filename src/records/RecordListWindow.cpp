#include "RecordListWindow.h"

#include "app/TdmData.h"
#include "platform/ToolIcons.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/DatePicker.h"
#include "platform/Format.h"
#include "platform/Messages.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

RecordListWindow::RecordListWindow(const RecordListConfig &config, QWidget *parent)
    : GridWindow(2, parent), m_config(config)
{
    setObjectName(QString::fromLatin1(config.name));
    setWindowTitle(QString::fromUtf8(config.caption));
    setLayoutNames(config.layoutToLoad(), config.layoutToSave());
    setExportTitle(config.listExportTitle());
    setPrintTitle(config.listExportTitle());
    setTitleSort(TitleSort::MemoColumnsMarkOnly);

    DataSet *q = QryTable();
    q->setEmptyDateFields(config.emptyDates());
    if (config.gridEdit) {
        q->setReadOnly(false);
        m_session = std::make_unique<CachedEditSession>(q, config.info().tableName(), QString::fromLatin1(config.info().key));
    }
    const auto designed = config.columns.empty() ? config.info().gridColumns() : designedGridColumns(config.columns, false);
    if (!designed.isEmpty())
        grid()->setColumns(designed);

    // --- the toolbar
    QStyle *st = style();
    bindKey(QKeySequence(Qt::CTRL | Qt::Key_A),
            addTool(QStringLiteral("tbNew"), QStringLiteral("新增"), st->standardIcon(QStyle::SP_FileIcon),
                    [this] { tbNewClick(); }, QStringLiteral("Ctrl+A")),
            false);
    bindKey(QKeySequence(Qt::CTRL | Qt::Key_E),
            addTool(QStringLiteral("tbEdit"), QStringLiteral("修改"), st->standardIcon(QStyle::SP_FileDialogDetailedView),
                    [this] { tbEditClick(); }, QStringLiteral("Ctrl+E")),
            false);
    bindKey(QKeySequence(Qt::Key_Delete),
            addTool(QStringLiteral("tbDel"), QStringLiteral("删除"), st->standardIcon(QStyle::SP_TrashIcon),
                    [this] { tbDelClick(); }, QStringLiteral("Delete")),
            true);
    if (m_session) {
        addToolSeparator();
        bindKey(QKeySequence(Qt::CTRL | Qt::Key_S),
                addTool(QStringLiteral("tbSave"), QStringLiteral("保存"), st->standardIcon(QStyle::SP_DialogSaveButton),
                        [this] { tbSaveClick(); }, QStringLiteral("Ctrl+S")),
                false);
        addTool(QStringLiteral("tbCancel"), QStringLiteral("取消"), st->standardIcon(QStyle::SP_DialogCancelButton),
                [this] { tbCancelClick(); }, QStringLiteral("Esc"));
    }
    addToolSeparator();
    addNavigationTools();
    addToolSeparator();
    addOutputTools(QStringLiteral("tbPrint"), QStringLiteral("tbset"), QStringLiteral("tbExport"));
    addToolSeparator();
    addTool(QStringLiteral("tbExit"), QStringLiteral("退出"), st->standardIcon(QStyle::SP_DialogCloseButton),
            [this] { tbExitClick(); }, QStringLiteral("Esc"));

    buildFilterBar();
    buildValueList();
    auto *middle = new QHBoxLayout;
    middle->setSpacing(4);
    middle->addWidget(m_listPanel);
    middle->addWidget(grid(), 1);
    body()->addWidget(m_filterBar);
    body()->addLayout(middle, 1);

    connect(grid(), &QAbstractItemView::doubleClicked, this, [this] {
        if (!isEditing())
            tbEditClick();
    });
    setEditState(false);
}

RecordListWindow::~RecordListWindow() = default;

void RecordListWindow::buildFilterBar()
{
    m_filterBar = new QWidget(this);
    m_filterBar->setObjectName(QStringLiteral("Panel1"));
    auto *row = new QHBoxLayout(m_filterBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);

    auto *fieldLabel = new QLabel(QStringLiteral("查询类型："), m_filterBar);
    m_searchField = new QComboBox(m_filterBar);
    m_searchField->setObjectName(QStringLiteral("ComboBox1"));
    m_searchField->addItems(m_config.searchCaptions());
    m_searchField->setCurrentIndex(-1);
    m_searchField->setMinimumWidth(110);
    fieldLabel->setBuddy(m_searchField);
    auto *textLabel = new QLabel(QStringLiteral("查询内容："), m_filterBar);
    m_searchText = new QLineEdit(m_filterBar);
    m_searchText->setObjectName(QStringLiteral("Edit1"));
    m_searchText->setMinimumWidth(120);
    m_searchText->setClearButtonEnabled(true);
    textLabel->setBuddy(m_searchText);
    row->addWidget(fieldLabel);
    row->addWidget(m_searchField);
    row->addSpacing(6);
    row->addWidget(textLabel);
    row->addWidget(m_searchText, 1);

    if (*m_config.dateColumn) {
        createDatePair(m_filterBar, m_config.datesTickedAtStart);
        auto *fromLabel = new QLabel(QString::fromUtf8(m_config.dateCaption), m_filterBar);
        fromLabel->setObjectName(QStringLiteral("lblFromDate"));
        fromLabel->setBuddy(fromDate());
        auto *toLabel = new QLabel(QStringLiteral("至"), m_filterBar);
        toLabel->setBuddy(toDate());
        row->addSpacing(6);
        row->addWidget(fromLabel);
        row->addWidget(fromDate());
        row->addWidget(toLabel);
        row->addWidget(toDate());
        for (DatePicker *p : {fromDate(), toDate()})
            connect(p, &DatePicker::changed, this, [this] {
                if (isPrepared())
                    RefreshList();
            });
    }

    m_query = new QPushButton(ToolIcons::query(), QStringLiteral("查询"), m_filterBar);
    m_query->setObjectName(QStringLiteral("SpeedButton1"));
    m_query->setAutoDefault(false);
    m_togglePanel = new QToolButton(m_filterBar);
    m_togglePanel->setObjectName(QStringLiteral("SpeedButton2"));
    m_togglePanel->setCheckable(true);
    m_togglePanel->setChecked(true);
    m_togglePanel->setArrowType(Qt::LeftArrow);
    m_togglePanel->setToolTip(QStringLiteral("隐藏值列表"));
    row->addSpacing(6);
    row->addWidget(m_query);
    row->addWidget(m_togglePanel);

    connect(m_searchText, &QLineEdit::textChanged, this, [this] {
        if (isPrepared())
            RefreshList();
    });
    connect(m_searchField, &QComboBox::currentIndexChanged, this, &RecordListWindow::ComboBox1Change);
    connect(m_query, &QPushButton::clicked, this, &RecordListWindow::RefreshList);
    connect(m_togglePanel, &QToolButton::clicked, this, &RecordListWindow::SpeedButton2Click);
}

void RecordListWindow::buildValueList()
{
    m_listPanel = new QWidget(this);
    m_listPanel->setObjectName(QStringLiteral("Panel3"));
    m_listPanel->setFixedWidth(210);
    auto *col = new QVBoxLayout(m_listPanel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(4);

    m_valueList = new QTableWidget(0, 2, m_listPanel);
    m_valueList->setObjectName(QStringLiteral("vleList"));
    m_valueList->verticalHeader()->hide();
    m_valueList->verticalHeader()->setDefaultSectionSize(22);
    m_valueList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_valueList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_valueList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView *h = m_valueList->horizontalHeader();
    h->setSectionResizeMode(0, QHeaderView::Fixed);
    h->resizeSection(0, 36);
    h->setSectionResizeMode(1, QHeaderView::Stretch);
    connect(m_valueList, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
        if (m_listClickAttached && row != previousRow && isPrepared())
            RefreshList();
    });

    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(4);
    m_listTypeBox = new QComboBox(m_listPanel);
    m_listTypeBox->setObjectName(QStringLiteral("cbbListType"));
    m_listTypeBox->addItems(m_config.valueKindCaptions());
    m_listTypeBox->setCurrentIndex(m_listTypeBox->count() ? 0 : -1);
    m_refillList = new QPushButton(QStringLiteral("刷新列表"), m_listPanel);
    m_refillList->setObjectName(QStringLiteral("Button1"));
    m_refillList->setAutoDefault(false);
    bottom->addWidget(m_listTypeBox, 1);
    bottom->addWidget(m_refillList);
    col->addWidget(m_valueList, 1);
    col->addLayout(bottom);

    connect(m_listTypeBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            FillListPanel(index + 1);
    });
    connect(m_refillList, &QPushButton::clicked, this,
            [this] { FillListPanel(qMax(0, m_listTypeBox->currentIndex()) + 1); });
    // a list without value kinds has no panel
    if (m_config.valueKindCount() == 0) {
        m_listPanel->hide();
        m_togglePanel->hide();
    }
}

void RecordListWindow::FormShow()
{
    loadLayout();
    if (m_config.valueKindCount() > 0) {
        {
            const QSignalBlocker block(m_listTypeBox);
            m_listTypeBox->setCurrentIndex(0);
        }
        FillListPanel(1);
    } else {
        RefreshList();
    }
}

// ------------------------------------------------------------------ the list

RecordListFilter RecordListWindow::filter() const
{
    RecordListFilter f;
    if (DatePicker *from = fromDate()) {
        f.dates.fromChecked = from->isChecked();
        f.dates.from = from->date();
        f.dates.toChecked = toDate()->isChecked();
        f.dates.to = toDate()->date();
    }
    f.searchField = m_searchField->currentIndex();
    f.searchText = m_searchText->text();
    f.valueKind = m_listType - 1;
    const int row = m_valueList->currentRow();
    if (row > 0) {
        f.valueChosen = true;
        if (const QTableWidgetItem *v = m_valueList->item(row, 1))
            f.value = v->text();
    }
    return f;
}

void RecordListWindow::RefreshList()
{
    // the rows being edited are never thrown away by a filter
    if (isEditing())
        return;
    openStatement(filter().statement(m_config));
}

void RecordListWindow::openStatement(const BoundStatement &statement)
{
    m_last = statement;
    // the new rows come in the statement's order: no marker stays behind
    grid()->clearSortMarkers();
    if (dmData)
        dmData->OpenQuery(statement.sql, QryTable(), statement.params);
    resetNavigation();
}

void RecordListWindow::ReopenAt(qint64 key)
{
    if (isEditing())
        return;
    openStatement(m_last);
    const int row = key > 0 ? QryTable()->rowOfKey(key) : -1;
    if (row >= 0)
        QryTable()->setCurrentRow(row);
}

void RecordListWindow::FillListPanel(int listType)
{
    if (listType < 1 || listType > m_config.valueKindCount() || isEditing())
        return;
    const ValueListKind kind = m_config.valueKind(listType - 1);
    QStringList values;
    for (const char *v : kind.fixedValues)
        values.append(QString::fromUtf8(v));
    const BoundStatement source = kind.sourceStatement();
    if (!source.sql.isEmpty() && dmData) {
        for (const QString &v : dmData->QueryList(source.sql, source.params))
            if (!v.trimmed().isEmpty() && !values.contains(v))
                values.append(v);
    }
    m_listType = listType;

    m_listClickAttached = false;
    m_valueList->setRowCount(0);
    const auto addRow = [this](const QString &number, const QString &value) {
        const int r = m_valueList->rowCount();
        m_valueList->insertRow(r);
        auto *n = new QTableWidgetItem(number);
        n->setTextAlignment(Qt::AlignCenter);
        m_valueList->setItem(r, 0, n);
        m_valueList->setItem(r, 1, new QTableWidgetItem(value));
    };
    addRow(QStringLiteral("0"), QStringLiteral("全部"));
    m_valueList->setCurrentCell(0, 1);
    m_valueList->setHorizontalHeaderLabels({QString(), kind.valueTitle()});
    for (int i = 0; i < values.size(); ++i)
        addRow(QString::number(i + 1), values.at(i));
    m_listClickAttached = true;
    // once, without a value chosen
    RefreshList();
}

void RecordListWindow::ComboBox1Change()
{
    {
        const QSignalBlocker block(m_searchText);
        m_searchText->clear();
    }
    if (isPrepared())
        RefreshList();
}

void RecordListWindow::SpeedButton2Click()
{
    const bool show = m_togglePanel->isChecked();
    m_listPanel->setVisible(show);
    m_togglePanel->setArrowType(show ? Qt::LeftArrow : Qt::RightArrow);
    m_togglePanel->setToolTip(show ? QStringLiteral("隐藏值列表") : QStringLiteral("显示值列表"));
}

// ------------------------------------------------------------------ commands

void RecordListWindow::openEditWindow(int mode)
{
    if (m_config.openEditor)
        m_config.openEditor(*this, mode);
}

void RecordListWindow::tbNewClick()
{
    QAction *a = tool(QStringLiteral("tbNew"));
    if (!a || !a->isEnabled())
        return;
    if (!m_session) {
        openEditWindow(0);
        return;
    }
    if (!m_session->beginInsert(m_config.initNewRow))
        return;
    setEditState(true);
    grid()->setFocus();
    grid()->setCurrentIndex(grid()->model()->index(QryTable()->currentRow(), 0));
}

void RecordListWindow::tbEditClick()
{
    QAction *a = tool(QStringLiteral("tbEdit"));
    if (!a || !a->isEnabled())
        return;
    const QString nothing = QString::fromUtf8(m_config.nothingToEdit);
    if (m_session) {
        const QString problem = m_session->beginEdit(nothing);
        if (!problem.isEmpty()) {
            ShowMess(problem, MessError);
            return;
        }
        setEditState(true);
        grid()->setFocus();
        return;
    }
    if (!QryTable()->isOpen() || QryTable()->isEmpty()) {
        ShowMess(nothing, MessError);
        return;
    }
    openEditWindow(1);
}

QString RecordListWindow::deleteQuestion() const
{
    const DataSet *q = QryTable();
    return fillFieldTemplate(QString::fromUtf8(m_config.deleteQuestion), [q](const QString &field) {
        return Format::plainText(q->value(field));
    });
}

bool RecordListWindow::deleteCurrent()
{
    const qint64 key = QryTable()->keyOf(QryTable()->currentRow());
    return dmData && key > 0 && dmData->DeleteById(m_config.info().tableName(), key);
}

void RecordListWindow::tbDelClick()
{
    QAction *a = tool(QStringLiteral("tbDel"));
    if (!a || !a->isEnabled() || !QryTable()->isOpen() || QryTable()->isEmpty())
        return;
    // anything but yes keeps the record, the box closed included
    if (ShowMess(deleteQuestion(), MessDestructive) != 1)
        return;
    if (!deleteCurrent())
        return;
    openStatement(m_last);
}

void RecordListWindow::postGridEditor()
{
    // a cell still being typed in counts as typed
    for (QLineEdit *e : grid()->viewport()->findChildren<QLineEdit *>(QStringLiteral("DataGridEditor"))) {
        if (!e->isVisible())
            continue;
        emit grid()->itemDelegate()->commitData(e);
        emit grid()->itemDelegate()->closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void RecordListWindow::tbSaveClick()
{
    QAction *a = tool(QStringLiteral("tbSave"));
    if (!m_session || !a || !a->isEnabled())
        return;
    postGridEditor();
    const CachedEditSession::SaveResult r = m_session->save(m_config.checkRows);
    switch (r.status) {
    case CachedEditSession::SaveResult::Saved:
        setEditState(false);
        break;
    case CachedEditSession::SaveResult::Refused:
        ShowMess(r.message, MessWarning);
        if (r.row >= 0)
            QryTable()->setCurrentRow(r.row);
        grid()->setFocus();
        break;
    case CachedEditSession::SaveResult::Failed:
        qWarning("list save failed: %s", qPrintable(r.message));
        ShowMess(Msg::SaveFailedFor(r.message), MessError);
        break;
    }
}

void RecordListWindow::tbCancelClick()
{
    QAction *a = tool(QStringLiteral("tbCancel"));
    if (!m_session || !a || !a->isEnabled())
        return;
    postGridEditor();
    m_session->cancel();
    setEditState(false);
}

void RecordListWindow::setEditState(bool editing)
{
    for (const char *name : {"tbNew", "tbEdit", "tbDel", "tbExit", "tbPrint", "tbExport"})
        if (QAction *a = tool(QString::fromLatin1(name)))
            a->setEnabled(!editing);
    for (const char *name : {"tbSave", "tbCancel"})
        if (QAction *a = tool(QString::fromLatin1(name)))
            a->setEnabled(editing);
    updateDesignTool();
    m_filterBar->setEnabled(!editing);
    m_listPanel->setEnabled(!editing);
    grid()->setReadOnly(!editing);
}

void RecordListWindow::tbExitClick()
{
    QAction *a = tool(QStringLiteral("tbExit"));
    if (a && a->isEnabled())
        QDialog::reject();
}

void RecordListWindow::reject()
{
    // Esc: 取消 while rows are edited
    if (isEditing()) {
        tbCancelClick();
        return;
    }
    if (m_config.askBeforeExit
        && ShowMess(QStringLiteral("真的要退 \"%1\" 操作界面吗？").arg(windowTitle()), MessQuestion) != 1)
        return;
    QDialog::reject();
}

void RecordListWindow::closeEvent(QCloseEvent *event)
{
    // edits pending in the grid keep the window open
    if (isEditing()) {
        event->ignore();
        return;
    }
    GridWindow::closeEvent(event);
}
