#pragma once

#include <QColor>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTableView>
#include <QVector>

#include <functional>

class DataSet;
class DataGridModel;
class DataGridFooter;
class DataGridDelegate;

// One column of a data grid: which field it shows and how.
struct DataGridColumn
{
    enum class Align { Default, Left, Center, Right };
    enum class FooterType { None, Text, Sum };
    enum class SortMarker { None, Ascending, Descending };

    DataGridColumn() = default;
    DataGridColumn(const QString &field, const QString &columnTitle, int columnWidth = 80)
        : fieldName(field), title(columnTitle), width(columnWidth)
    {
    }

    QString fieldName;
    QString title;            // always shown centred
    int width = 80;           // pixels; kept while the column is hidden
    bool visible = true;
    bool readOnly = false;
    Align alignment = Align::Default;       // Default: numbers right, the rest left
    Align footerAlignment = Align::Default; // Default: as the cells
    QString displayFormat;                  // Format::formatValue notation
    QString footerFormat;                   // empty: the cells' format
    FooterType footerType = FooterType::None;
    QString footerValue;                    // the text of a Text footer
    bool alwaysShowEditButton = false;      // an ellipsis button in every cell
    int maxLength = 0;                      // longest text a cell editor takes; 0: no limit
    SortMarker sortMarker = SortMarker::None;

    bool operator==(const DataGridColumn &o) const = default;
};

// The program's data-aware grid: a table view over a DataSet. Its columns map
// to fields by name; rows are whole-row selected (Ctrl and Shift add to the
// selection); the grid's current row and the DataSet's current row follow
// each other. A footer row under the rows shows fixed texts or column sums.
// Where a window allows it, cells are edited like a spreadsheet through
// DataSet::setValue.
//
// Column positions in this interface are the positions shown, from the left.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    struct RowColors
    {
        QColor text;       // invalid: the usual colour
        QColor background; // invalid: the usual colour
    };
    using RowColorHook = std::function<RowColors(int row)>;

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const;

    // The columns a window designs. Until it does (or a layout is loaded),
    // the grid shows every field of its DataSet.
    void setColumns(const QVector<DataGridColumn> &columns);
    QVector<DataGridColumn> columns() const;
    bool hasDesignedColumns() const;
    int columnCount() const;
    DataGridColumn column(int pos) const;
    void setColumn(int pos, const DataGridColumn &column);
    void setColumnVisible(int pos, bool visible);
    // Moves a column as dragging its title does.
    void moveColumn(int from, int to);
    // Position of the first column of the field (case ignored), -1 when none.
    int columnOfField(const QString &field) const;
    // The DataSet field the column shows, -1 when the DataSet has no such field.
    int fieldIndexOf(int pos) const;
    bool isBooleanColumn(int pos) const;
    bool isNumericColumn(int pos) const;

    // A cell as the grid shows it: the display hook, the display format;
    // yes/no fields as "是"/"否".
    QString cellText(int row, int pos) const;
    Qt::Alignment cellAlignment(int pos) const;
    // Left, centre or right as the column resolves it (never Default).
    DataGridColumn::Align effectiveAlignment(int pos) const;
    // The footer row: shown when some column has a footer.
    bool hasFooter() const;
    QString footerText(int pos) const;
    Qt::Alignment footerAlignment(int pos) const;
    QWidget *footerWidget() const;

    // Editing: a grid is read-only until a window allows editing; then the
    // columns that are not read-only are edited (when the DataSet allows it).
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    bool isCellEditable(int row, int pos) const;

    // Colours of whole rows (stopped customers in red, for example).
    void setRowColorHook(RowColorHook hook);
    RowColors rowColors(int row) const;

    void setSortMarker(int pos, DataGridColumn::SortMarker marker);
    void clearSortMarkers();

    // Selected rows, in the order the operator selected them.
    QVector<int> selectedRows() const;
    void selectRows(const QVector<int> &rows);

    // Where the ellipsis button of a cell is drawn (viewport coordinates).
    QRect editButtonRect(int row, int pos) const;

    // Enter on a cell, typed into or not (a typed value is taken into the row
    // first): a hook that returns true has used the key, and the grid does
    // nothing more with it (a code looked up, the focus moved on).
    using EnterHook = std::function<bool(int row, int column)>;
    void setEnterHook(EnterHook hook) { m_enterHook = std::move(hook); }

signals:
    void titleClicked(int pos);
    void editButtonClicked(int row, int pos);
    // After columns were set, moved, shown, hidden or resized by the operator.
    void columnsChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // A cell cut off by its column shows its whole text as a tool tip.
    bool viewportEvent(QEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void updateGeometries() override;
    void keyboardSearch(const QString &search) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    friend class DataGridDelegate;
    enum class Move { None, Up, Down, Right, Left };

    void applyHeader();
    void onModelReset();
    void onLayoutChanged();
    void onRowsInserted(int first, int last);
    void onRowsRemoved(int first, int last);
    void onDataSetRowChanged(int row);
    void onGridRowChanged(const QModelIndex &current);
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int oldSize, int newSize);
    void syncCurrentFromDataSet();
    void rebuildSelectionOrder();
    void invalidateFooter();
    void updateEditTriggers();
    int firstVisibleColumn() const;
    int nextVisibleColumn(int pos, int step) const;
    bool startEditing(const QModelIndex &index);
    void finishEditing(QWidget *editor, Move move);
    void moveCurrent(Move move);
    // Called by the delegate for keys typed into a cell editor.
    bool editorKey(QWidget *editor, int key, Qt::KeyboardModifiers modifiers);

    DataGridModel *m_model = nullptr;
    DataGridDelegate *m_delegate = nullptr;
    DataGridFooter *m_footer = nullptr;
    RowColorHook m_rowColorHook;
    EnterHook m_enterHook;
    bool m_readOnly = true;
    bool m_syncing = false;
    bool m_applyingHeader = false;
    bool m_movePending = false;
    QVector<QMetaObject::Connection> m_dsConns;
    QVector<int> m_selOrder;
    QSet<int> m_selSet;
};
