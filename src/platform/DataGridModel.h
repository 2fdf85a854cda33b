#pragma once

#include "DataGrid.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QVector>

class DataSet;

// What a DataGrid's view sees: the grid's columns over the rows of its
// DataSet. Cells are read from the DataSet only when the view asks for them,
// so a keyed DataSet keeps reading its rows page by page.
class DataGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataGridModel(DataGrid *grid);

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_ds; }

    void setColumns(const QVector<DataGridColumn> &columns, bool designed);
    const QVector<DataGridColumn> &columns() const { return m_columns; }
    DataGridColumn &columnRef(int column) { return m_columns[column]; }
    bool designed() const { return m_designed; }
    void moveColumn(int from, int to);
    int fieldIndex(int column) const { return m_fieldIdx.value(column, -1); }

    QString cellText(int row, int column) const;
    QVariant cellValue(int row, int column) const;
    bool isBoolean(int column) const;
    bool isNumeric(int column) const;
    bool isEditable(int row, int column) const;
    Qt::Alignment alignment(int column) const;
    DataGridColumn::Align effectiveAlignment(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Esc in a cell editor drops the edit of the row.
    void revert() override;

private:
    void resolveFields();
    void autoColumns();
    void onAboutToReset();
    void onReset();

    DataGrid *m_grid;
    QPointer<DataSet> m_ds;
    QVector<DataGridColumn> m_columns;
    QVector<int> m_fieldIdx;
    bool m_designed = false;
    int m_rows = 0;
    QVector<QMetaObject::Connection> m_conns;
};
