#include "CheckColumnList.h"

#include <QResizeEvent>

CheckColumnList::CheckColumnList(QWidget *parent) : QListWidget(parent)
{
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
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
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
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

void CheckColumnList::updateGrid()
{
    const int w = viewport()->width() - 2;
    setGridSize(QSize(qMax(40, w / m_columns), fontMetrics().height() + 8));
}
