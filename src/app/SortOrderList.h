#pragma once

#include <QString>
#include <QVector>

class DataGrid;

// What the sort dialog edits: one entry per grid column, in the grid's order,
// each with a direction; the entries' order is the sort's priority.
class SortOrderList
{
public:
    enum class Direction { None, Ascending, Descending };
    struct Entry
    {
        QString title;
        QString field;
        Direction direction = Direction::None;
    };

    SortOrderList() = default;
    explicit SortOrderList(const QVector<Entry> &entries) : m_entries(entries) {}
    static SortOrderList fromGrid(const DataGrid &grid);

    int size() const { return int(m_entries.size()); }
    const Entry &at(int row) const { return m_entries.at(row); }
    void setDirection(int row, Direction direction);
    // none -> 升序 -> 降序 -> none
    void cycle(int row);
    // Swap with the neighbour; false at the top or bottom.
    bool moveUp(int row);
    bool moveDown(int row);

    // "f_name ASC,f_code DESC,": the entries with a direction, from the top,
    // each by its own column's field in lower case.
    QString sortText() const;

    static QString directionText(Direction direction);
    static Direction directionOf(const QString &text);

private:
    QVector<Entry> m_entries;
};
