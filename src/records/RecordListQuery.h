#pragma once

#include "RecordCatalogue.h"
#include "RecordFilter.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>

class DataSet;
class RecordListWindow;

// A search field of a list window: its caption in the search drop-down and
// the column(s) the typed text is looked for in ("a,b": in either).
struct SearchField
{
    const char *caption;
    const char *columns;
    TextMatch match = TextMatch::Anywhere;
};

// A kind of the value list: its caption in the list-type drop-down, the
// column a chosen value must equal, and where the values come from: a code
// list (t_code.F_type), a statement of the window's own whose first column
// is the value, and fixed values offered before either.
struct ValueListKind
{
    const char *caption;
    const char *column;
    const char *codeList = "";
    const char *title = "";     // the value column's title; the caption when empty
    const char *sourceSql = ""; // instead of the code list
    std::span<const char *const> fixedValues = {};

    QString valueTitle() const { return QString::fromUtf8(*title ? title : caption); }
    // The statement of the values after the fixed ones; empty when there is none.
    BoundStatement sourceStatement() const;
};

// Everything that differs between the list windows of the record kinds:
// one constant of this type per window.
struct RecordListConfig
{
    RecordKind kind;
    const char *name;    // the window's object name (its class name)
    const char *caption; // window caption
    // "select ... where (1=1) " with the joins the columns need
    const char *baseSql;
    const char *orderBy = "";
    // The column of the date pair ("lx.F_date"); no date pair when empty.
    const char *dateColumn = "";
    const char *dateCaption = "日期：自";
    bool datesTickedAtStart = true;
    // The six customer search fields and value kinds come first.
    bool customerFields = true;
    std::span<const SearchField> searchFields = {};
    std::span<const ValueListKind> valueKinds = {};
    std::span<const RecordColumn> columns = {};          // empty: the kind's columns
    std::span<const char *const> emptyDateFields = {};   // shown blank when empty
    const char *scopeColumn = ""; // the salesperson scope applies to this column
    const char *loadLayout = "";  // empty: the kind's list layout
    const char *saveLayout = "";  // empty: the load layout
    const char *exportTitle = ""; // empty: the kind's export title
    // The delete question, "{field}" taken from the current row.
    const char *deleteQuestion = "真的要删除当前记录吗？";
    const char *nothingToEdit = "此表为空，没有记录需要修改！";
    // Esc and the close button ask before the window closes.
    bool askBeforeExit = false;

    // Grid editing: 新增 and 修改 edit the rows in the grid, kept until
    // 保存 writes them together (or 取消 drops them).
    bool gridEdit = false;

    // 新增 (mode 0) and 修改 (mode 1) open the kind's list edit window.
    std::function<void(RecordListWindow &list, int mode)> openEditor = {};
    // Grid editing: why the rows cannot be saved (empty when they can), and
    // the row that is about.
    std::function<QString(const DataSet &rows, int *row)> checkRows = {};
    // Grid editing: the values of a new row.
    std::function<void(DataSet &rows)> initNewRow = {};

    const RecordKindInfo &info() const { return RecordCatalogue::info(kind); }
    int searchFieldCount() const;
    SearchField searchField(int index) const;
    QStringList searchCaptions() const;
    int valueKindCount() const;
    ValueListKind valueKind(int index) const;
    QStringList valueKindCaptions() const;
    QString layoutToLoad() const;
    QString layoutToSave() const;
    QString listExportTitle() const;
    QStringList emptyDates() const;
};

namespace RecordLists {
// The six search fields and value kinds every list of customer records has.
std::span<const SearchField> customerSearchFields();
std::span<const ValueListKind> customerValueKinds();
} // namespace RecordLists

// What the filter controls of a list window hold.
struct RecordListFilter
{
    DateRange dates;
    int searchField = -1; // -1: none chosen
    QString searchText;
    int valueKind = 0;
    bool valueChosen = false; // false: the row "全部"
    QString value;

    BoundStatement statement(const RecordListConfig &config) const;
};
