#include "GridWindow.h"

#include "RecordCatalogue.h"
#include "app/AppConst.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/DatePicker.h"
#include "platform/Messages.h"
#include "platform/ToolIcons.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>




GridWindow::GridWindow(int placeMode, QWidget *parent)
    : QDialog(parent), m_placeMode(placeMode), m_table(new DataSet(this))
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);
    resize(960, 600);
    m_table->setObjectName(QStringLiteral("QryTable"));
    m_table->setReadOnly(true);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setMovable(false);

    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_grid->setDataSet(m_table);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &DataGrid::titleClicked, this, &GridWindow::DBGridEh1TitleClick);

    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const auto addMenu = [this](const char *name, const QString &text, void (GridWindow::*slot)()) {
        QAction *a = m_gridMenu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
    };
    addMenu("N1", QStringLiteral("显示字段列表"), &GridWindow::N1Click);
    addMenu("N3", QStringLiteral("排序..."), &GridWindow::N3Click);
    m_gridMenu->addSeparator();
    addMenu("N2", QStringLiteral("保存当前设置"), &GridWindow::N2Click);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(pos)); });

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(m_status);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        l->setMinimumWidth(i == 3 ? 40 : 140);
        if (i == 2) {
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_status->addPermanentWidget(l);
        } else if (i == 3) {
            m_status->addPermanentWidget(l);
        } else {
            m_status->addWidget(l, i == 1 ? 1 : 0);
        }
        m_panels.append(l);
    }
    m_panels[2]->setText(VendorCaption() + QStringLiteral("  "));

    // the count follows the rows, whatever changed them
    connect(m_table, &QAbstractItemModel::modelReset, this, &GridWindow::updateCount);
    connect(m_table, &QAbstractItemModel::rowsInserted, this, &GridWindow::updateCount);
    connect(m_table, &QAbstractItemModel::rowsRemoved, this, &GridWindow::updateCount);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolBar);
    m_body = new QVBoxLayout;
    m_body->setSpacing(4);
    layout->addLayout(m_body, 1);
    layout->addWidget(m_status);

    // the window sees its keys before its controls
    qApp->installEventFilter(this);
}

GridWindow::~GridWindow() = default;

QLabel *GridWindow::statusPanel(int number) const { return m_panels.value(number - 1); }

QAction *GridWindow::tool(const QString &name) const
{
    for (QAction *a : m_toolBar->actions())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

QAction *GridWindow::addTool(const QString &name, const QString &text, const QIcon &icon, const std::function<void()> &slot,
                             const QString &keyHint)
{
    auto *a = new QAction(icon, text, this);
    // the command and its button share the name, so that either is found by it
    a->setObjectName(name);
    if (!keyHint.isEmpty())
        a->setToolTip(QStringLiteral("%1 (%2)").arg(text, keyHint));
    connect(a, &QAction::triggered, this, [slot] { slot(); });
    m_toolBar->addAction(a);
    if (QWidget *w = m_toolBar->widgetForAction(a))
        w->setObjectName(name);
    return a;
}

void GridWindow::addToolSeparator() { m_toolBar->addSeparator(); }

void GridWindow::addNavigationTools()
{
    QStyle *st = style();
    bindKey(QKeySequence(Qt::Key_Home),
            addTool(QStringLiteral("tbFirst"), QStringLiteral("首项"), st->standardIcon(QStyle::SP_MediaSkipBackward),
                    [this] { tbFirstClick(); }, QStringLiteral("Home")),
            true);
    bindKey(QKeySequence(Qt::Key_PageUp),
            addTool(QStringLiteral("tbPrior"), QStringLiteral("前项"), st->standardIcon(QStyle::SP_MediaSeekBackward),
                    [this] { tbPriorClick(); }, QStringLiteral("PgUp")),
            true);
    bindKey(QKeySequence(Qt::Key_PageDown),
            addTool(QStringLiteral("tbNext"), QStringLiteral("后项"), st->standardIcon(QStyle::SP_MediaSeekForward),
                    [this] { tbNextClick(); }, QStringLiteral("PgDn")),
            true);
    bindKey(QKeySequence(Qt::Key_End),
            addTool(QStringLiteral("tbLast"), QStringLiteral("末项"), st->standardIcon(QStyle::SP_MediaSkipForward),
                    [this] { tbLastClick(); }, QStringLiteral("End")),
            true);
}

void GridWindow::addOutputTools(const QString &printName, const QString &designName, const QString &exportName)
{
    addTool(printName, QStringLiteral("打印"), ToolIcons::print(), [this] { tbPrintClick(); });
    m_design = addTool(designName, QStringLiteral("设置"), ToolIcons::design(), [this] { tbDesignClick(); });
    addTool(exportName, QStringLiteral("导出"), ToolIcons::workbook(), [this] { tbExportClick(); });
    updateDesignTool();
}

void GridWindow::updateDesignTool()
{
    if (!m_design || canDesign())
        return;
    m_design->setEnabled(false);
    m_design->setToolTip(QStringLiteral("报表设计暂不可用：打印按网格当前显示的列输出"));
    if (QWidget *w = m_toolBar->widgetForAction(m_design))
        w->setToolTip(m_design->toolTip());
}

void GridWindow::createDatePair(QWidget *parent, bool ticked)
{
    m_from = new DatePicker(parent);
    m_from->setObjectName(QStringLiteral("dtpFromDate"));
    m_to = new DatePicker(parent);
    m_to->setObjectName(QStringLiteral("dtpToDate"));
    for (DatePicker *p : {m_from, m_to}) {
        p->setShowCheckBox(true);
        p->setChecked(ticked);
        p->setMinimumWidth(130);
    }
    // the first of this month up to today
    m_from->setDate(QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1));
    m_to->setDateTime(QDateTime::currentDateTime());
}

QString GridWindow::dateRangeCaption() const
{
    return m_from && m_to ? TdmData::DateRangeCaption(m_from, m_to) : QString();
}

void GridWindow::bindKey(const QKeySequence &key, QAction *action, bool outsideTextBoxes)
{
    if (action)
        m_keys.append({key, action, outsideTextBoxes});
}

void GridWindow::setLayoutNames(const QString &load, const QString &save)
{
    m_loadLayout = load;
    m_saveLayout = save.isEmpty() ? load : save;
}

void GridWindow::loadLayout()
{
    if (dmData)
        dmData->LoadGridLayout(m_grid, m_loadLayout);
}

void GridWindow::updateCount()
{
    m_panels[1]->setText(m_table->isOpen() ? m_countPrefix + QString::number(m_table->recordCount()) : QString());
}

void GridWindow::resetNavigation()
{
    for (const char *name : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
        if (QAction *a = tool(QString::fromLatin1(name)))
            a->setEnabled(true);
}

// ------------------------------------------------------------------ commands

namespace {
void enableTools(const GridWindow *w, std::initializer_list<const char *> names, bool enabled)
{
    for (const char *n : names)
        if (QAction *a = w->tool(QString::fromLatin1(n)))
            a->setEnabled(enabled);
}
} // namespace

void GridWindow::tbFirstClick()
{
    m_table->first();
    enableTools(this, {"tbFirst", "tbPrior"}, false);
    enableTools(this, {"tbNext", "tbLast"}, true);
}

void GridWindow::tbPriorClick()
{
    // at the beginning already: there is nothing before
    if (m_table->bof())
        enableTools(this, {"tbFirst", "tbPrior"}, false);
    else
        m_table->prior();
    enableTools(this, {"tbNext", "tbLast"}, true);
}

void GridWindow::tbNextClick()
{
    if (m_table->eof())
        enableTools(this, {"tbNext", "tbLast"}, false);
    else
        m_table->next();
    enableTools(this, {"tbFirst", "tbPrior"}, true);
}

void GridWindow::tbLastClick()
{
    m_table->last();
    enableTools(this, {"tbFirst", "tbPrior"}, true);
    enableTools(this, {"tbNext", "tbLast"}, false);
}

void GridWindow::tbPrintClick()
{
    if (!m_table->isOpen() || m_table->isEmpty())
        return;
    printList();
}

void GridWindow::printList()
{
    if (dmData)
        dmData->PrintGrid(m_grid, m_printTitle, 1, QStringLiteral("date"), dateRangeCaption());
}

void GridWindow::tbDesignClick()
{
    if (canDesign())
        designReport();
}

void GridWindow::tbExportClick()
{
    if (dmData)
        dmData->ExportGridToExcel(m_grid, m_exportTitle);
}

void GridWindow::N1Click()
{
    if (dmData)
        dmData->ChooseGridColumns(m_grid);
}

void GridWindow::N3Click()
{
    if (!dmData || !m_table->isOpen())
        return;
    const QString sortText = dmData->ShowSortDialog(m_grid);
    if (!sortText.isEmpty())
        applySortText(sortText);
}

void GridWindow::applySortText(const QString &sortText)
{
    m_table->setSortText(sortText);
    m_grid->clearSortMarkers();
    for (const QString &part : sortText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        const int pos = m_grid->columnOfField(words.value(0));
        if (pos >= 0)
            m_grid->setSortMarker(pos, words.value(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0
                                           ? DataGridColumn::SortMarker::Descending
                                           : DataGridColumn::SortMarker::Ascending);
    }
}

void GridWindow::N2Click()
{
    if (ShowMess(QStringLiteral("真的要保存当前网格设置吗？"), MessQuestion) != 1)
        return;
    if (dmData)
        dmData->SaveGridLayout(m_grid, m_saveLayout);
}

void GridWindow::DBGridEh1TitleClick(int pos)
{
    if (!m_table->isOpen() || pos < 0 || pos >= m_grid->columnCount())
        return;
    const DataGridColumn c = m_grid->column(pos);
    const bool ascending = c.sortMarker != DataGridColumn::SortMarker::Ascending;
    m_grid->setSortMarker(pos, ascending ? DataGridColumn::SortMarker::Ascending : DataGridColumn::SortMarker::Descending);
    // memo texts are not worth an order: their marker moves, the rows stay
    if (m_titleSort == TitleSort::MemoColumnsMarkOnly && c.fieldName.toLower().contains(QLatin1String("mem")))
        return;
    m_table->setSortText(c.fieldName + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
}

// ------------------------------------------------------------------ events

void GridWindow::showEvent(QShowEvent *event)
{
    if (!m_prepared) {
        m_prepared = true;
        DispFormPos(this, m_placeMode);
        FormShow();
    }
    QDialog::showEvent(event);
}

bool GridWindow::isTextBox(const QWidget *w)
{
    return w
           && (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
               || qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w));
}

bool GridWindow::isMemo(const QWidget *w)
{
    return w && (qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w));
}

bool GridWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    auto *w = static_cast<QWidget *>(watched);
    if (w->window() != this || !isVisible())
        return QDialog::eventFilter(watched, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    QWidget *focus = QApplication::focusWidget();
    const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence seq(QKeyCombination(mods, Qt::Key(ke->key())));
    for (const KeyBinding &k : std::as_const(m_keys)) {
        if (k.key != seq)
            continue;
        if (k.outsideTextBoxes && isTextBox(focus))
            break; // the text box's key
        if (!k.action->isEnabled() || !k.action->isVisible())
            break;
        k.action->trigger();
        return true;
    }
    // Enter moves on to the next control, except in a memo and in the grid
    if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && mods == Qt::NoModifier && focus
        && focus->window() == this && !isMemo(focus) && focus != m_grid && !m_grid->isAncestorOf(focus)) {
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
