#include "DataGrid.h"

#include "DataGridModel.h"
#include "DataGridParts.h"
#include "DataSet.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

DataGrid::DataGrid(QWidget *parent) : QTableView(parent)
{
    m_model = new DataGridModel(this);
    auto *header = new DataGridHeader(this);
    setHorizontalHeader(header);
    setModel(m_model);
    m_delegate = new DataGridDelegate(this);
    setItemDelegate(m_delegate);
    m_footer = new DataGridFooter(this);
    m_footer->hide();

    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    verticalHeader()->hide();
    // one height for every row, so that 100,000 rows cost nothing to lay out
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setMinimumSectionSize(8);
    // the selection stays visible when the grid loses the focus
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    connect(header, &QHeaderView::sectionClicked, this,
            [this](int logical) { emit titleClicked(horizontalHeader()->visualIndex(logical)); });
    connect(header, &QHeaderView::sectionMoved, this, &DataGrid::onSectionMoved);
    connect(header, &QHeaderView::sectionResized, this, &DataGrid::onSectionResized);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::onModelReset);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &DataGrid::onLayoutChanged);
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { onRowsInserted(first, last); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { onRowsRemoved(first, last); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, &DataGrid::invalidateFooter);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DataGrid::onGridRowChanged);
    updateEditTriggers();
}

DataGrid::~DataGrid()
{
    for (const auto &c : std::as_const(m_dsConns))
        disconnect(c);
}

// ----------------------------------------------------------------- data set

void DataGrid::setDataSet(DataSet *dataSet)
{
    for (const auto &c : std::as_const(m_dsConns))
        disconnect(c);
    m_dsConns.clear();
    m_model->setDataSet(dataSet);
    if (dataSet) {
        m_dsConns << connect(dataSet, &DataSet::currentRowChanged, this, &DataGrid::onDataSetRowChanged);
        m_dsConns << connect(dataSet, &DataSet::dataEdited, this, &DataGrid::invalidateFooter);
    }
}

DataSet *DataGrid::dataSet() const { return m_model->dataSet(); }

// ------------------------------------------------------------------ columns

void DataGrid::setColumns(const QVector<DataGridColumn> &columns)
{
    m_model->setColumns(columns, true);
    emit columnsChanged();
}

QVector<DataGridColumn> DataGrid::columns() const { return m_model->columns(); }

bool DataGrid::hasDesignedColumns() const { return m_model->designed(); }

int DataGrid::columnCount() const { return int(m_model->columns().size()); }

DataGridColumn DataGrid::column(int pos) const { return m_model->columns().value(pos); }

void DataGrid::setColumn(int pos, const DataGridColumn &column)
{
    if (pos < 0 || pos >= columnCount())
        return;
    if (column.fieldName.compare(m_model->columns().at(pos).fieldName, Qt::CaseInsensitive) != 0) {
        QVector<DataGridColumn> cols = columns();
        cols[pos] = column;
        setColumns(cols);
        return;
    }
    m_model->columnRef(pos) = column;
    applyHeader();
    invalidateFooter();
    viewport()->update();
    horizontalHeader()->viewport()->update();
    emit columnsChanged();
}

void DataGrid::setColumnVisible(int pos, bool visible)
{
    if (pos < 0 || pos >= columnCount())
        return;
    m_model->columnRef(pos).visible = visible;
    applyHeader();
    emit columnsChanged();
}

void DataGrid::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= columnCount() || to >= columnCount())
        return;
    const QVector<int> selected = selectedRows();
    if (!m_model->designed())
        m_model->setColumns(columns(), true);
    m_model->moveColumn(from, to);
    if (selected.size() > 1)
        selectRows(selected);
    emit columnsChanged();
}

int DataGrid::columnOfField(const QString &field) const
{
    const auto &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols.at(i).fieldName.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataGrid::fieldIndexOf(int pos) const { return m_model->fieldIndex(pos); }
bool DataGrid::isBooleanColumn(int pos) const { return m_model->isBoolean(pos); }
bool DataGrid::isNumericColumn(int pos) const { return m_model->isNumeric(pos); }
QString DataGrid::cellText(int row, int pos) const { return m_model->cellText(row, pos); }
Qt::Alignment DataGrid::cellAlignment(int pos) const { return m_model->alignment(pos); }

DataGridColumn::Align DataGrid::effectiveAlignment(int pos) const
{
    return pos >= 0 && pos < columnCount() ? m_model->effectiveAlignment(pos) : DataGridColumn::Align::Left;
}

bool DataGrid::hasFooter() const
{
    for (const DataGridColumn &c : m_model->columns())
        if (c.visible && c.footerType != DataGridColumn::FooterType::None)
            return true;
    return false;
}

QString DataGrid::footerText(int pos) const { return m_footer->text(pos); }

Qt::Alignment DataGrid::footerAlignment(int pos) const
{
    if (pos < 0 || pos >= columnCount())
        return Qt::AlignLeft | Qt::AlignVCenter;
    switch (column(pos).footerAlignment) {
    case DataGridColumn::Align::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case DataGridColumn::Align::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case DataGridColumn::Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case DataGridColumn::Align::Default:
        break;
    }
    return cellAlignment(pos);
}

QWidget *DataGrid::footerWidget() const { return m_footer; }

void DataGrid::invalidateFooter() { m_footer->invalidate(); }

// The header shows what the columns say: widths and hidden columns. The
// header's order is always the columns' order (a dragged column is moved in
// the columns themselves).
void DataGrid::applyHeader()
{
    m_applyingHeader = true;
    QHeaderView *h = horizontalHeader();
    // a reset keeps the header's own order; the columns' order is the one
    for (int i = 0; i < h->count(); ++i)
        if (h->visualIndex(i) != i)
            h->moveSection(h->visualIndex(i), i);
    const auto &cols = m_model->columns();
    for (int i = 0; i < cols.size() && i < h->count(); ++i) {
        h->resizeSection(i, qMax(h->minimumSectionSize(), cols.at(i).width));
        h->setSectionHidden(i, !cols.at(i).visible);
    }
    m_applyingHeader = false;
    invalidateFooter();
    updateGeometries();
}

void DataGrid::onSectionResized(int logical, int, int newSize)
{
    m_footer->update();
    if (m_applyingHeader || newSize <= 0 || logical < 0 || logical >= columnCount()
        || horizontalHeader()->isSectionHidden(logical))
        return;
    m_model->columnRef(logical).width = newSize;
    emit columnsChanged();
}

void DataGrid::onSectionMoved(int, int, int)
{
    if (m_applyingHeader || m_movePending)
        return;
    // the header is left alone while it finishes the drag
    m_movePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_movePending = false;
            QHeaderView *h = horizontalHeader();
            QVector<DataGridColumn> cols;
            const auto &old = m_model->columns();
            for (int v = 0; v < h->count(); ++v)
                cols.append(old.value(h->logicalIndex(v)));
            const QVector<int> selected = selectedRows();
            m_model->setColumns(cols, true);
            if (selected.size() > 1)
                selectRows(selected);
            emit columnsChanged();
        },
        Qt::QueuedConnection);
}

// ------------------------------------------------------------ model changes

void DataGrid::onModelReset()
{
    applyHeader();
    m_selOrder.clear();
    m_selSet.clear();
    syncCurrentFromDataSet();
}

void DataGrid::onLayoutChanged()
{
    // the rows changed places (a sort): the selection shrinks to the current row
    m_selOrder.clear();
    m_selSet.clear();
    selectionModel()->clearSelection();
    invalidateFooter();
    syncCurrentFromDataSet();
}

void DataGrid::onRowsInserted(int first, int last)
{
    const int n = last - first + 1;
    for (int &r : m_selOrder)
        if (r >= first)
            r += n;
    m_selSet = QSet<int>(m_selOrder.cbegin(), m_selOrder.cend());
    invalidateFooter();
}

void DataGrid::onRowsRemoved(int first, int last)
{
    const int n = last - first + 1;
    QVector<int> kept;
    for (int r : std::as_const(m_selOrder)) {
        if (r < first)
            kept.append(r);
        else if (r > last)
            kept.append(r - n);
    }
    m_selOrder = kept;
    m_selSet = QSet<int>(m_selOrder.cbegin(), m_selOrder.cend());
    invalidateFooter();
}

// ------------------------------------------------------------- current row

int DataGrid::firstVisibleColumn() const { return nextVisibleColumn(-1, 1); }

int DataGrid::nextVisibleColumn(int pos, int step) const
{
    for (int i = pos + step; i >= 0 && i < columnCount(); i += step)
        if (!horizontalHeader()->isSectionHidden(i))
            return i;
    return -1;
}

void DataGrid::syncCurrentFromDataSet()
{
    DataSet *ds = dataSet();
    if (!ds)
        return;
    const int row = ds->currentRow();
    if (row < 0 || row >= m_model->rowCount())
        return;
    int col = currentIndex().isValid() ? currentIndex().column() : -1;
    if (col < 0 || horizontalHeader()->isSectionHidden(col))
        col = firstVisibleColumn();
    if (col < 0)
        col = 0;
    const QModelIndex idx = m_model->index(row, col);
    if (!idx.isValid())
        return;
    m_syncing = true;
    // a selection of several rows stays while the DataSet moves through it
    const bool keep = m_selOrder.size() > 1;
    selectionModel()->setCurrentIndex(idx, keep ? QItemSelectionModel::NoUpdate
                                                : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
    m_syncing = false;
}

void DataGrid::onDataSetRowChanged(int)
{
    if (!m_syncing)
        syncCurrentFromDataSet();
}

void DataGrid::onGridRowChanged(const QModelIndex &current)
{
    DataSet *ds = dataSet();
    if (m_syncing || !ds || !current.isValid() || ds->currentRow() == current.row())
        return;
    m_syncing = true;
    ds->setCurrentRow(current.row());
    m_syncing = false;
    // the DataSet refused to leave its row (a post failed): go back to it
    if (ds->currentRow() != current.row())
        QMetaObject::invokeMethod(this, &DataGrid::syncCurrentFromDataSet, Qt::QueuedConnection);
}

// --------------------------------------------------------------- selection

void DataGrid::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTableView::selectionChanged(selected, deselected);
    if (!deselected.isEmpty() && !m_selOrder.isEmpty()) {
        QItemSelectionModel *sm = selectionModel();
        const auto gone = [&](int r) {
            for (const QItemSelectionRange &rg : deselected)
                if (r >= rg.top() && r <= rg.bottom())
                    return !sm->isRowSelected(r, QModelIndex());
            return false;
        };
        m_selOrder.erase(std::remove_if(m_selOrder.begin(), m_selOrder.end(), gone), m_selOrder.end());
        m_selSet = QSet<int>(m_selOrder.cbegin(), m_selOrder.cend());
    }
    for (const QItemSelectionRange &rg : selected) {
        for (int r = rg.top(); r <= rg.bottom(); ++r) {
            if (!m_selSet.contains(r)) {
                m_selSet.insert(r);
                m_selOrder.append(r);
            }
        }
    }
}

void DataGrid::rebuildSelectionOrder()
{
    m_selOrder.clear();
    for (const QModelIndex &i : selectionModel()->selectedRows())
        m_selOrder.append(i.row());
    std::sort(m_selOrder.begin(), m_selOrder.end());
    m_selSet = QSet<int>(m_selOrder.cbegin(), m_selOrder.cend());
}

QVector<int> DataGrid::selectedRows() const
{
    QVector<int> out;
    out.reserve(m_selOrder.size());
    for (int r : m_selOrder)
        if (r >= 0 && r < m_model->rowCount())
            out.append(r);
    return out;
}

void DataGrid::selectRows(const QVector<int> &rows)
{
    QItemSelectionModel *sm = selectionModel();
    sm->clearSelection();
    m_selOrder.clear();
    m_selSet.clear();
    for (int r : rows) {
        const QModelIndex i = m_model->index(r, 0);
        if (i.isValid())
            sm->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// ----------------------------------------------------------------- looks

void DataGrid::setRowColorHook(RowColorHook hook)
{
    m_rowColorHook = std::move(hook);
    viewport()->update();
}

DataGrid::RowColors DataGrid::rowColors(int row) const { return m_rowColorHook ? m_rowColorHook(row) : RowColors{}; }

void DataGrid::setSortMarker(int pos, DataGridColumn::SortMarker marker)
{
    if (pos < 0 || pos >= columnCount())
        return;
    m_model->columnRef(pos).sortMarker = marker;
    horizontalHeader()->viewport()->update();
}

void DataGrid::clearSortMarkers()
{
    for (int i = 0; i < columnCount(); ++i)
        m_model->columnRef(i).sortMarker = DataGridColumn::SortMarker::None;
    horizontalHeader()->viewport()->update();
}

QRect DataGrid::editButtonRect(int row, int pos) const
{
    return DataGridDelegate::buttonRect(visualRect(m_model->index(row, pos)));
}

void DataGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!m_footer)
        return; // still being built
    // the footer row takes the bottom of the viewport's place, above the
    // horizontal scroll bar
    const bool show = hasFooter();
    const int fh = show ? m_footer->sizeHint().height() : 0;
    QMargins m = viewportMargins();
    if (m.bottom() != fh) {
        m.setBottom(fh);
        setViewportMargins(m);
    }
    if (show) {
        const QRect vg = viewport()->geometry();
        m_footer->setGeometry(vg.left(), vg.bottom() + 1, vg.width(), fh);
        m_footer->show();
        m_footer->raise();
    } else {
        m_footer->hide();
    }
}

// ----------------------------------------------------------------- editing

void DataGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    updateEditTriggers();
    viewport()->update();
}

void DataGrid::updateEditTriggers()
{
    setEditTriggers(m_readOnly ? NoEditTriggers : (DoubleClicked | EditKeyPressed | AnyKeyPressed));
    setTabKeyNavigation(!m_readOnly);
}

bool DataGrid::isCellEditable(int row, int pos) const { return m_model->isEditable(row, pos); }

bool DataGrid::startEditing(const QModelIndex &index)
{
    if (!index.isValid() || !isCellEditable(index.row(), index.column()) || isBooleanColumn(index.column()))
        return false;
    return edit(index, AllEditTriggers, nullptr);
}

void DataGrid::moveCurrent(Move move)
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return;
    int row = cur.row(), col = cur.column();
    switch (move) {
    case Move::Up:
        row = qMax(0, row - 1);
        break;
    case Move::Down:
        row = qMin(m_model->rowCount() - 1, row + 1);
        break;
    case Move::Right: {
        const int next = nextVisibleColumn(col, 1);
        if (next >= 0) {
            col = next;
        } else if (row + 1 < m_model->rowCount()) {
            ++row;
            col = qMax(0, firstVisibleColumn());
        }
        break;
    }
    case Move::Left: {
        const int prev = nextVisibleColumn(col, -1);
        if (prev >= 0) {
            col = prev;
        } else if (row > 0) {
            --row;
            const int last = nextVisibleColumn(columnCount(), -1);
            col = last >= 0 ? last : col;
        }
        break;
    }
    case Move::None:
        return;
    }
    setCurrentIndex(m_model->index(row, col));
}

void DataGrid::finishEditing(QWidget *editor, Move move)
{
    commitData(editor);
    QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    moveCurrent(move);
}

bool DataGrid::editorKey(QWidget *editor, int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_enterHook) {
            const QModelIndex cur = currentIndex();
            commitData(editor);
            QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            if (!m_enterHook(cur.row(), cur.column()))
                moveCurrent(Move::Down);
            return true;
        }
        finishEditing(editor, Move::Down);
        return true;
    case Qt::Key_Tab:
        finishEditing(editor, Move::Right);
        return true;
    case Qt::Key_Backtab:
        finishEditing(editor, Move::Left);
        return true;
    case Qt::Key_Up:
        finishEditing(editor, Move::Up);
        return true;
    case Qt::Key_Down:
        finishEditing(editor, Move::Down);
        return true;
    case Qt::Key_Escape:
        // drops the cell and everything typed into the row since it was entered
        QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        return true;
    default:
        Q_UNUSED(modifiers);
        return false;
    }
}

bool DataGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
    const QRect cell = visualRect(index);
    // the cell's margins take a few pixels of its width
    if (!text.isEmpty() && viewport()->fontMetrics().horizontalAdvance(text) + 8 > cell.width())
        QToolTip::showText(help->globalPos(), text, viewport(), cell);
    else
        QToolTip::hideText();
    return true;
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex cur = currentIndex();
    const bool editing = state() == EditingState;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!editing && event->modifiers() == Qt::NoModifier && cur.isValid() && m_enterHook && m_enterHook(cur.row(), cur.column()))
            return;
        if (!editing && event->modifiers() == Qt::NoModifier && startEditing(cur))
            return;
        break;
    case Qt::Key_Escape:
        if (!editing && dataSet() && dataSet()->isEditing()) {
            dataSet()->cancel();
            return;
        }
        if (!editing) {
            event->ignore(); // the window's Esc
            return;
        }
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!editing && !m_readOnly) {
            moveCurrent(event->key() == Qt::Key_Tab ? Move::Right : Move::Left);
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::inputMethodEvent(QInputMethodEvent *event)
{
    // an input method's text starts editing the cell, as a typed key does
    const QModelIndex cur = currentIndex();
    const bool hasText = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (state() != EditingState && hasText && startEditing(cur)) {
        if (QLineEdit *e = m_delegate->currentEditor()) {
            e->clear();
            QCoreApplication::sendEvent(e, event);
            return;
        }
    }
    QTableView::inputMethodEvent(event);
}

void DataGrid::keyboardSearch(const QString &)
{
    // searching by typed letters would read every row of a large list
}

void DataGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex idx = indexAt(pos);
    if (idx.isValid() && event->button() == Qt::LeftButton && column(idx.column()).alwaysShowEditButton
        && editButtonRect(idx.row(), idx.column()).contains(pos)) {
        if (state() == EditingState) {
            if (QLineEdit *e = m_delegate->currentEditor()) {
                commitData(e);
                QAbstractItemView::closeEditor(e, QAbstractItemDelegate::NoHint);
            }
        }
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        event->accept();
        emit editButtonClicked(idx.row(), idx.column());
        return;
    }
    QTableView::mousePressEvent(event);
}
