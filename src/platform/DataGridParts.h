#pragma once

#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QWidget>

class DataGrid;
#include <QLineEdit>

// Draws yes/no cells as centred check boxes and the ellipsis buttons, and
// makes the cell editors (numbers take only numbers).
class DataGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit DataGridDelegate(DataGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The editor opened last (while it is open).
    QLineEdit *currentEditor() const { return m_editor; }

    static QRect checkRect(const QRect &cell, const QWidget *widget);
    static QRect buttonRect(const QRect &cell);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    DataGrid *m_grid;
    mutable QPointer<QLineEdit> m_editor;
};

// Column titles, centred, with a sort marker where a window set one.
class DataGridHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit DataGridHeader(DataGrid *grid);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    DataGrid *m_grid;
};

// The footer row: stays under the rows, lined up with the columns.
class DataGridFooter : public QWidget
{
    Q_OBJECT
public:
    explicit DataGridFooter(DataGrid *grid);
    void invalidate();
    QString text(int column) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void compute() const;

    DataGrid *m_grid;
    mutable QStringList m_texts;
    mutable bool m_dirty = true;
};
