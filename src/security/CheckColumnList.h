#pragma once

#include <QListWidget>

// A check list laid out in a fixed number of columns, whatever its width.
class CheckColumnList : public QListWidget
{
    Q_OBJECT
public:
    explicit CheckColumnList(QWidget *parent = nullptr);

    void setColumns(int columns);
    int columns() const { return m_columns; }

    // Adds a checkable entry; `data` goes in Qt::UserRole.
    QListWidgetItem *addCheckItem(const QString &text, const QVariant &data = {}, bool checked = false);
    void setAllChecked(bool checked);
    QList<QListWidgetItem *> checkedItems() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QSize cellSize() const;
    void updateGrid();
    int m_columns = 1;
};
