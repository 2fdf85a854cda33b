#include "SortOrderList.h"

#include "platform/DataGrid.h"

SortOrderList SortOrderList::fromGrid(const DataGrid &grid)
{
    QVector<Entry> entries;
    for (const DataGridColumn &c : grid.columns())
        entries.append({c.title, c.fieldName, Direction::None});
    return SortOrderList(entries);
}

void SortOrderList::setDirection(int row, Direction direction)
{
    if (row >= 0 && row < size())
        m_entries[row].direction = direction;
}

void SortOrderList::cycle(int row)
{
    if (row < 0 || row >= size())
        return;
    Direction &d = m_entries[row].direction;
    d = d == Direction::None ? Direction::Ascending : d == Direction::Ascending ? Direction::Descending : Direction::None;
}

bool SortOrderList::moveUp(int row)
{
    if (row <= 0 || row >= size())
        return false;
    m_entries.swapItemsAt(row, row - 1);
    return true;
}

bool SortOrderList::moveDown(int row)
{
    if (row < 0 || row >= size() - 1)
        return false;
    m_entries.swapItemsAt(row, row + 1);
    return true;
}

QString SortOrderList::sortText() const
{
    QString out;
    for (const Entry &e : m_entries) {
        if (e.direction == Direction::None || e.field.isEmpty())
            continue;
        out += e.field.toLower() + (e.direction == Direction::Ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))
               + QLatin1Char(',');
    }
    return out;
}

QString SortOrderList::directionText(Direction direction)
{
    switch (direction) {
    case Direction::Ascending:
        return QStringLiteral("升序");
    case Direction::Descending:
        return QStringLiteral("降序");
    case Direction::None:
        break;
    }
    return QString();
}

SortOrderList::Direction SortOrderList::directionOf(const QString &text)
{
    if (text == QStringLiteral("升序"))
        return Direction::Ascending;
    if (text == QStringLiteral("降序"))
        return Direction::Descending;
    return Direction::None;
}
