#pragma once

#include "platform/DataGrid.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

// A layout read from cfg_Grid: its columns in stored order, or why the read failed.
struct GridLayoutRead
{
    bool ok = false;
    QVector<DataGridColumn> columns; // empty: nothing stored under the name
    QString error;                   // the database's error when !ok
};

// What a layout save did: each column is written on its own, so some may
// have failed while the others went through.
struct GridLayoutWrite
{
    int failed = 0;     // columns whose update failed
    QString firstField; // the first of them
    QString error;      // the database's error for it
    bool ok() const { return failed == 0; }
};

// The stored grid layouts (cfg_Grid): one row per grid name and field with its
// caption, width, visibility, order, format, footer and alignment. Rows are
// made by the set-up scripts; a save only updates the rows that exist.
class GridLayoutStore
{
public:
    explicit GridLayoutStore(QString connection = {});

    QSqlDatabase database() const;

    // The columns stored under `name` (matched without regard to case), in
    // their stored order; rows without a field are no columns.
    GridLayoutRead load(const QString &name) const;

    // Writes each column's settings and its position in `columns` to the row
    // of its field. A column without a row changes nothing and is no failure.
    // The alignment written is the column's own: callers pass the alignment
    // the grid shows (DataGrid::effectiveAlignment); Default is stored as NULL.
    GridLayoutWrite save(const QString &name, const QVector<DataGridColumn> &columns) const;

private:
    QString m_connection;
};
