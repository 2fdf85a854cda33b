#pragma once

#include "AppMessages.h"
#include "platform/Database.h"
#include "platform/DataSet.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

class QComboBox;
class QWidget;
class DataGrid;
class DatePicker;
class TfrmSplash;

// What the value dialog asks for: a salesperson from the scope's list, or an
// industry category typed or picked from the category tree.
enum class AskValueMode { Salesperson, Industry };

// The data module: the one connection ADOcnn and the services every window
// uses instead of talking to the connection directly. Each service reports a
// database failure itself, once, and hands its caller a neutral result.
class TdmData : public QObject
{
    Q_OBJECT
public:
    explicit TdmData(QObject *parent = nullptr);
    ~TdmData() override;

    // The connection procedure of start-up: reads [DBconn] of the shared
    // Config.ini, connects, and on failure asks whether to start the setup
    // tool. Sets IsConnected.
    bool ConnectFromConfig(TfrmSplash *splash = nullptr);
    // Uses a connection already opened under Database's default name.
    void UseOpenConnection();

    static QString connectionName() { return QStringLiteral("ADOcnn"); }
    QSqlDatabase ADOcnn() const;
    const SqlDialect &dialect() const;

    bool IsConnected = false;
    DataSet *QryPub = nullptr;
    DataSet *QryTemp = nullptr;

    // --- services
    bool DeleteById(const QString &table, qint64 id);
    bool ExecSql(const QString &sql, const QVariantMap &params = {});
    QString QueryString(const QString &sql, const QVariantMap &params = {});
    double QueryFloat(const QString &sql, const QVariantMap &params = {});
    int QueryInt(const QString &sql, const QVariantMap &params = {});
    bool OpenQuery(const QString &sql, DataSet *query, const QVariantMap &params = {});
    void FillComboBox(const QString &sql, QComboBox *combo, const QVariantMap &params = {});
    void WriteLog(const QString &operType);
    // Next record numbers. Empty when none can be given (the day's or the
    // sequence's numbers are used up, the last number is not a number, or the
    // database failed); *error then says why.
    QString NextDatedCode(const QString &sql, const QString &prefix, int width, const QVariantMap &params = {},
                          QString *error = nullptr);
    QString NextCode(const QString &sql, int width, const QVariantMap &params = {}, QString *error = nullptr);
    bool HasPermission(const QString &code);
    static QString MakeNumberFormat(int decimals, int kind);
    static QString DateRangeCaption(const DatePicker *from, const DatePicker *to);

    // The code list statement most drop-downs are filled from.
    static QString codeListSql() { return QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = :type"); }
    void FillCodeList(const QString &type, QComboBox *combo) { FillComboBox(codeListSql(), combo, {{QStringLiteral("type"), type}}); }

    // The first column of every row, for lists.
    QStringList QueryList(const QString &sql, const QVariantMap &params = {}, bool *ok = nullptr);

    // --- grids: stored layouts (cfg_Grid, through GridLayoutStore), formats,
    // printing, export and the column dialogs (TdmDataGrid.cpp)
    void LoadGridLayout(DataGrid *grid, const QString &name);
    void SaveGridLayout(DataGrid *grid, const QString &name);
    void ApplyColumnFormats(DataGrid *grid);
    void PrepareGoodsColumns(DataGrid *grid);
    void PrintGrid(DataGrid *grid, const QString &title, int fitMode = 1, const QString &footer = QStringLiteral("date"),
                   const QString &header = {});
    // The workbook's path, empty when none was written.
    QString ExportGridToExcel(DataGrid *grid, const QString &title);
    void ChooseGridColumns(DataGrid *grid);
    // The sort text chosen ("f_name ASC,f_code DESC,"), empty when cancelled.
    QString ShowSortDialog(DataGrid *grid);
    // Picks a category path from the industry tree; empty when cancelled.
    using TreePicker = std::function<QString(QWidget *parent)>;
    // True on 确定 with the value entered; on 取消 the value stays as it was.
    bool AskValue(const QString &caption, AskValueMode mode, QString &value, const TreePicker &picker = {});
    bool AskColumnValue(QString &value);

private:
    bool querySingle(const QString &sql, const QVariantMap &params, QVariant *value);

    // A window reads the layouts of all its grids at once: when they fail
    // (no cfg_Grid), the operator hears of it once, until a read works again.
    bool m_layoutReadFailed = false;
};

// The data module of the process.
extern TdmData *dmData;

