#include "CheckColumnList.h"

#include <QResizeEvent>
#include <QStyle>

CheckColumnList::CheckColumnList(QWidget *parent) : QListWidget(parent)
{
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void CheckColumnList::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    updateGrid();
}

QListWidgetItem *CheckColumnList::addCheckItem(const QString &text, const QVariant &data, bool checked)
{
    auto *item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setData(Qt::UserRole, data);
    item->setToolTip(text);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    item->setSizeHint(cellSize() - QSize(2, 0));
    return item;
}

void CheckColumnList::setAllChecked(bool checked)
{
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QList<QListWidgetItem *> CheckColumnList::checkedItems() const
{
    QList<QListWidgetItem *> out;
    for (int i = 0; i < count(); ++i)
        if (item(i)->checkState() == Qt::Checked)
            out.append(item(i));
    return out;
}

void CheckColumnList::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    updateGrid();
}

QSize CheckColumnList::cellSize() const
{
    // the view lays items out as if a vertical scroll bar were shown
    const int w = viewport()->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 4;
    return QSize(qMax(40, w / m_columns), fontMetrics().height() + 8);
}

void CheckColumnList::updateGrid()
{
    // every entry fills its cell; a caption longer than the cell is elided
    // and its tool tip shows it whole
    const QSize cell = cellSize();
    setGridSize(cell);
    for (int i = 0; i < count(); ++i)
        item(i)->setSizeHint(cell - QSize(2, 0));
}
