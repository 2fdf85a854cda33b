#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QString>
#include <QVector>

#include <functional>
#include <span>

class DataGrid;
class DataSet;
class DatePicker;
class QAction;
class QIcon;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class QVBoxLayout;
struct DataGridColumn;
struct RecordColumn;


// What the record list windows and the statistics windows share: the list
// query QryTable in the grid DBGridEh1, a toolbar whose navigation, print,
// design and export commands act on it, the grid's layout menu, title-click
// sorting, a status bar with the row count, and the keys the window sees
// before its controls.
class GridWindow : public QDialog
{
    Q_OBJECT
public:
    ~GridWindow() override;

    DataSet *QryTable() const { return m_table; }
    DataGrid *grid() const { return m_grid; }
    // Status panels 1 to 4.
    QLabel *statusPanel(int number) const;
    // A toolbar command by its object name (the tool button has the same name).
    QAction *tool(const QString &name) const;
    QMenu *gridMenu() const { return m_gridMenu; }
    // The date pair, null when the window has none.
    DatePicker *fromDate() const { return m_from; }
    DatePicker *toDate() const { return m_to; }
    // "统计日期：自 … 至 …" of the date pair; empty without one.
    QString dateRangeCaption() const;
    // Whether the first show has prepared the window.
    bool isPrepared() const { return m_prepared; }

public slots:
    void tbFirstClick();
    void tbPriorClick();
    void tbNextClick();
    void tbLastClick();
    void tbPrintClick();
    void tbDesignClick();
    void tbExportClick();
    // The grid menu: columns shown, sort order, save the layout.
    void N1Click();
    void N3Click();
    void N2Click();
    void DBGridEh1TitleClick(int pos);

protected:
    // `placeMode`: DispFormPos mode of the first show.
    GridWindow(int placeMode, QWidget *parent);

    // --- building the window (constructors of the windows)
    QAction *addTool(const QString &name, const QString &text, const QIcon &icon, const std::function<void()> &slot,
                     const QString &keyHint = {});
    void addToolSeparator();
    // 首项, 前项, 后项, 末项 (tbFirst ... tbLast).
    void addNavigationTools();
    // 打印, 设置 (the report design), 导出 under the given object names.
    void addOutputTools(const QString &printName, const QString &designName, const QString &exportName);
    QToolBar *toolBar() const { return m_toolBar; }
    // Between the toolbar and the status bar.
    QVBoxLayout *body() const { return m_body; }
    // The date pair dtpFromDate / dtpToDate, children of `parent`.
    void createDatePair(QWidget *parent, bool ticked);
    // A key the window handles before the control with the focus, when the
    // command is enabled. `outsideTextBoxes`: not while a text box has the
    // focus (the key is the text box's then).
    void bindKey(const QKeySequence &key, QAction *action, bool outsideTextBoxes);

    enum class TitleSort {
        MemoColumnsMarkOnly, // columns with "mem" in the name only change their marker
        EveryColumn,
    };
    void setTitleSort(TitleSort sort) { m_titleSort = sort; }
    void setLayoutNames(const QString &load, const QString &save);
    void setExportTitle(const QString &title) { m_exportTitle = title; }
    void setPrintTitle(const QString &title) { m_printTitle = title; }
    void setCountPrefix(const QString &prefix) { m_countPrefix = prefix; }
    QString exportTitle() const { return m_exportTitle; }
    QString printTitle() const { return m_printTitle; }
    void loadLayout();

    // The four navigation commands enabled (after the list was opened anew).
    void resetNavigation();
    // Keeps the design command disabled while there is no report designer.
    void updateDesignTool();

    // Where the list is printed. For now the grid as it shows, under the
    // print title, with the date caption at the page's head; the report
    // templates take this place.
    virtual void printList();
    // Whether a report designer is there to open.
    virtual bool canDesign() const { return false; }
    virtual void designReport() {}
    // The first show, once, after the window was placed.
    virtual void FormShow() {}

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    static bool isTextBox(const QWidget *w);
    static bool isMemo(const QWidget *w);

private:
    void updateCount();
    void applySortText(const QString &sortText);

    struct KeyBinding
    {
        QKeySequence key;
        QAction *action;
        bool outsideTextBoxes;
    };

    int m_placeMode;
    bool m_prepared = false;
    DataSet *m_table;
    DataGrid *m_grid;
    QToolBar *m_toolBar;
    QVBoxLayout *m_body;
    QStatusBar *m_status;
    QVector<QLabel *> m_panels;
    QMenu *m_gridMenu;
    DatePicker *m_from = nullptr;
    DatePicker *m_to = nullptr;
    QAction *m_design = nullptr;
    QVector<KeyBinding> m_keys;
    TitleSort m_titleSort = TitleSort::MemoColumnsMarkOnly;
    QString m_loadLayout;
    QString m_saveLayout;
    QString m_exportTitle;
    QString m_printTitle;
    QString m_countPrefix = QStringLiteral("记录数：");
};
