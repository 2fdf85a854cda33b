#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <span>

class QObject;
class QWidget;
struct DataGridColumn;

// The kinds of record the program keeps besides the customers themselves.
enum class RecordKind {
    Customer,
    Contact,
    Activity,
    Quotation,
    Contract,
    SalesBill,
    Visit,
    Complaint,
    CustomerProduct,
    Reminder,
    Goods,
    Employee,
    Call,
};

// How a field is edited and stored.
enum class FieldType { Text, Memo, Date, Number, Flag };

// A grid column as designed (a stored layout overrides it).
struct RecordColumn
{
    const char *field;
    const char *title;
    int width = 80;
    const char *format = "";
    bool sum = false; // footer: the column's sum
};

// A field of the edit window: the column, its control and how it is stored.
struct RecordField
{
    const char *column;
    const char *control = ""; // objectName of the edit control
    FieldType type = FieldType::Text;
    int maxLength = 0;        // the column's size; 0: no limit
    bool trimmed = true;      // saved without surrounding blanks
    const char *codeList = ""; // t_code.F_type of the control's drop-down
    bool codeListInOrder = false; // the list as stored, not sorted and distinct
};

// The fixed texts of a kind.
struct RecordMessages
{
    const char *noCustomer = "";     // new without a current customer
    const char *nothingToEdit = "";  // edit on an empty list
    const char *deleteQuestion = ""; // "{F_date}" stands for the current row's text of F_date
};

// Everything that differs between record kinds; one entry per kind, in
// RecordCatalogue.cpp.
struct RecordKindInfo
{
    RecordKind kind;
    const char *table;
    const char *key = "F_ID";
    const char *order = "F_ID";
    const char *customerLink = "F_cltID"; // "" when not linked to a customer
    int detailTab = 0;                    // the main window's detail tab 1..9; 0 none
    const char *tabCaption = "";          // page caption, e.g. " 业务活动 "
    const char *listCaption = "";         // entry of the detail list, e.g. "业务活动"
    const char *detailLayout = "";        // grid layout of the detail tab, "detail2" ...
    const char *listLayout = "";          // grid layout of the record list window
    const char *exportTitle = "";
    const char *editCaption = "";         // edit window title before " - 新增"
    const char *permission = "";          // action that lists the tab and opens the list window
    bool totalsRow = true;                // a footer row ("合计" and the sums) under the grid
    RecordMessages messages = {};
    std::span<const RecordColumn> columns = {};
    std::span<const RecordField> fields = {};
    std::span<const char *const> emptyDateFields = {};
    std::span<const char *const> templates = {}; // report templates in Qr/

    QString tableName() const { return QString::fromLatin1(table); }
    // "select * from <table> where F_cltID = :F_cltID order by <order>".
    QString linkedSql() const;
    QStringList emptyDates() const;
    QVector<DataGridColumn> gridColumns() const;
    const RecordField *field(const QString &column) const;
    // A message with "{field}" replaced by the field's text.
    static QString fill(const char *pattern, const std::function<QString(const QString &field)> &text);
    // The column's size, 0 when it has none (dates, numbers, memos).
    int maxLength(const QString &column) const;
};

// Opens a kind's edit window in mode 0 (new), 1 (edit) or 2 (copy). The
// subsystem that owns the window registers it; `workspace` is the caller's
// customer workspace (the main window's, or null).
struct EditRequest
{
    QWidget *parent = nullptr;
    QObject *workspace = nullptr;
    int currentTab = 0;
    int mode = 0;
};
using EditWindowFactory = std::function<void(const EditRequest &)>;

// The columns of a grid as designed: with totals, "合计" under the first
// column and the sums under the columns that have them.
QVector<DataGridColumn> designedGridColumns(std::span<const RecordColumn> columns, bool totals);

namespace RecordCatalogue {
const RecordKindInfo &info(RecordKind kind);
std::span<const RecordKindInfo> all();
// The kind behind the main window's detail tab 1..9; null for another number.
const RecordKindInfo *ofTab(int tab);
constexpr int kDetailTabs = 9;

void setEditWindow(RecordKind kind, EditWindowFactory factory);
// Null when no subsystem registered a window for the kind.
const EditWindowFactory &editWindow(RecordKind kind);
} // namespace RecordCatalogue
