#include "DataGridModel.h"

#include "DataSet.h"
#include "Format.h"

DataGridModel::DataGridModel(DataGrid *grid) : QAbstractTableModel(grid), m_grid(grid) {}

void DataGridModel::setDataSet(DataSet *dataSet)
{
    if (dataSet == m_ds)
        return;
    beginResetModel();
    for (const auto &c : std::as_const(m_conns))
        disconnect(c);
    m_conns.clear();
    m_ds = dataSet;
    if (m_ds) {
        m_conns << connect(m_ds, &QAbstractItemModel::modelAboutToBeReset, this, &DataGridModel::onAboutToReset);
        m_conns << connect(m_ds, &QAbstractItemModel::modelReset, this, &DataGridModel::onReset);
        m_conns << connect(m_ds, &QAbstractItemModel::rowsAboutToBeInserted, this,
                           [this](const QModelIndex &, int first, int last) { beginInsertRows({}, first, last); });
        m_conns << connect(m_ds, &QAbstractItemModel::rowsInserted, this, [this] {
            m_rows = m_ds->rowCount();
            endInsertRows();
        });
        m_conns << connect(m_ds, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                           [this](const QModelIndex &, int first, int last) { beginRemoveRows({}, first, last); });
        m_conns << connect(m_ds, &QAbstractItemModel::rowsRemoved, this, [this] {
            m_rows = m_ds->rowCount();
            endRemoveRows();
        });
        m_conns << connect(m_ds, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { emit layoutAboutToBeChanged(); });
        m_conns << connect(m_ds, &QAbstractItemModel::layoutChanged, this, [this] {
            m_rows = m_ds->rowCount();
            emit layoutChanged();
        });
        m_conns << connect(m_ds, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &tl, const QModelIndex &br) {
            if (m_columns.isEmpty() || !tl.isValid() || !br.isValid())
                return;
            const int last = qMin(br.row(), m_rows - 1);
            if (tl.row() > last)
                return;
            emit dataChanged(index(tl.row(), 0), index(last, int(m_columns.size()) - 1));
        });
        m_conns << connect(m_ds, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_ds = nullptr;
            for (const auto &c : std::as_const(m_conns))
                disconnect(c);
            m_conns.clear();
            m_rows = 0;
            endResetModel();
        });
    }
    if (!m_designed)
        autoColumns();
    resolveFields();
    m_rows = m_ds ? m_ds->rowCount() : 0;
    endResetModel();
}

void DataGridModel::onAboutToReset() { beginResetModel(); }

void DataGridModel::onReset()
{
    if (!m_designed)
        autoColumns();
    resolveFields();
    m_rows = m_ds ? m_ds->rowCount() : 0;
    endResetModel();
}

void DataGridModel::autoColumns()
{
    if (!m_ds || m_ds->fieldCount() == 0)
        return; // keep what was shown until there are fields again
    QVector<DataGridColumn> cols;
    for (int i = 0; i < m_ds->fieldCount(); ++i) {
        const QString name = m_ds->fieldName(i);
        // the same fields as before keep what the operator did to them
        bool kept = false;
        for (const DataGridColumn &c : std::as_const(m_columns)) {
            if (c.fieldName.compare(name, Qt::CaseInsensitive) == 0) {
                cols.append(c);
                kept = true;
                break;
            }
        }
        if (!kept)
            cols.append(DataGridColumn(name, name));
    }
    m_columns = cols;
}

void DataGridModel::resolveFields()
{
    m_fieldIdx.resize(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        m_fieldIdx[i] = m_ds ? m_ds->fieldIndex(m_columns.at(i).fieldName) : -1;
}

void DataGridModel::setColumns(const QVector<DataGridColumn> &columns, bool designed)
{
    beginResetModel();
    m_columns = columns;
    m_designed = designed;
    if (!m_designed)
        autoColumns();
    resolveFields();
    m_rows = m_ds ? m_ds->rowCount() : 0;
    endResetModel();
}

void DataGridModel::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_columns.size() || to >= m_columns.size())
        return;
    beginResetModel();
    m_columns.move(from, to);
    m_fieldIdx.move(from, to);
    endResetModel();
}

bool DataGridModel::isBoolean(int column) const
{
    return m_ds && m_ds->isBooleanField(fieldIndex(column));
}

bool DataGridModel::isNumeric(int column) const
{
    return m_ds && m_ds->isNumericField(fieldIndex(column));
}

QVariant DataGridModel::cellValue(int row, int column) const
{
    const int f = fieldIndex(column);
    if (!m_ds || f < 0 || row < 0 || row >= m_rows)
        return QVariant();
    return m_ds->value(row, f);
}

QString DataGridModel::cellText(int row, int column) const
{
    const int f = fieldIndex(column);
    if (!m_ds || f < 0 || row < 0 || row >= m_rows)
        return QString();
    if (m_ds->isBooleanField(f)) {
        const QVariant v = m_ds->value(row, f);
        if (v.isNull() || !v.isValid())
            return QString();
        return v.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    }
    // the DataSet's display hook decides what is blank (the empty date);
    // the column's format shapes the rest
    const QString shown = m_ds->displayText(row, f);
    const QString &format = m_columns.at(column).displayFormat;
    if (format.trimmed().isEmpty() || shown.isEmpty())
        return shown;
    return Format::formatValue(m_ds->value(row, f), format);
}

DataGridColumn::Align DataGridModel::effectiveAlignment(int column) const
{
    const DataGridColumn::Align a = m_columns.at(column).alignment;
    if (a != DataGridColumn::Align::Default)
        return a;
    return isNumeric(column) ? DataGridColumn::Align::Right : DataGridColumn::Align::Left;
}

Qt::Alignment DataGridModel::alignment(int column) const
{
    switch (effectiveAlignment(column)) {
    case DataGridColumn::Align::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case DataGridColumn::Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

bool DataGridModel::isEditable(int row, int column) const
{
    if (!m_ds || m_grid->isReadOnly() || m_ds->isReadOnly() || column < 0 || column >= m_columns.size())
        return false;
    if (m_columns.at(column).readOnly || fieldIndex(column) < 0)
        return false;
    return row >= 0 && row < m_rows;
}

int DataGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows; }

int DataGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant DataGridModel::data(const QModelIndex &idx, int role) const
{
    if (!idx.isValid() || idx.row() >= m_rows || idx.column() >= m_columns.size())
        return QVariant();
    const int row = idx.row(), col = idx.column();
    switch (role) {
    case Qt::DisplayRole:
        return isBoolean(col) ? QVariant() : QVariant(cellText(row, col));
    case Qt::EditRole:
        return cellValue(row, col);
    case Qt::CheckStateRole:
        if (!isBoolean(col))
            return QVariant();
        return cellValue(row, col).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(col));
    case Qt::ForegroundRole: {
        const QColor c = m_grid->rowColors(row).text;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::BackgroundRole: {
        const QColor c = m_grid->rowColors(row).background;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return QVariant();
    }
}

bool DataGridModel::setData(const QModelIndex &idx, const QVariant &value, int role)
{
    if (!idx.isValid() || !isEditable(idx.row(), idx.column()))
        return false;
    const int f = fieldIndex(idx.column());
    if (role == Qt::CheckStateRole) {
        if (!isBoolean(idx.column()))
            return false;
        return m_ds->setValue(idx.row(), f, value.toInt() == Qt::Checked);
    }
    if (role != Qt::EditRole)
        return false;
    return m_ds->setValue(idx.row(), f, value);
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        if (role == Qt::DisplayRole)
            return m_columns.at(section).title;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return QVariant();
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return QVariant();
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex &idx) const
{
    if (!idx.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (isEditable(idx.row(), idx.column()))
        f |= isBoolean(idx.column()) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}

void DataGridModel::revert()
{
    if (m_ds)
        m_ds->cancel();
}
