#include "TdmData.h"

#include "CodeNumbering.h"

#include "AppConst.h"
#include "AppState.h"
#include "TfrmSplash.h"
#include "platform/Config.h"
#include "platform/DatePicker.h"
#include "platform/Format.h"
#include "platform/Messages.h"
#include "platform/Shell.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

TdmData *dmData = nullptr;

TdmData::TdmData(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dmData"));
    QryPub = new DataSet(this);
    QryPub->setObjectName(QStringLiteral("QryPub"));
    QryTemp = new DataSet(this);
    QryTemp->setObjectName(QStringLiteral("QryTemp"));
    dmData = this;
}

TdmData::~TdmData()
{
    if (dmData == this)
        dmData = nullptr;
}

QSqlDatabase TdmData::ADOcnn() const { return Database::connection(connectionName()); }
const SqlDialect &TdmData::dialect() const { return Database::dialect(connectionName()); }

void TdmData::UseOpenConnection()
{
    Database::setDefaultConnectionName(connectionName());
    IsConnected = ADOcnn().isOpen();
}

bool TdmData::ConnectFromConfig(TfrmSplash *splash)
{
    Database::setDefaultConnectionName(connectionName());
    Config &cfg = Config::shared();
    DbSettings s;
    // the embedded database lies beside Config.ini, that is beside the program
    s.baseDir = QFileInfo(cfg.path()).absolutePath();
    s.password = GetPass(cfg.readString(QStringLiteral("DBconn"), QStringLiteral("password")));
    bool readFailed = cfg.lastReadFailed();
    s.database = cfg.readString(QStringLiteral("DBconn"), QStringLiteral("Database"), QStringLiteral("Brenmoor"));
    readFailed = readFailed || cfg.lastReadFailed();
    s.server = cfg.readString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("(Local)"));
    s.driver = cfg.readString(QStringLiteral("DBconn"), QStringLiteral("driver"), QStringLiteral("sqlite"));
    s.timeoutSeconds = qBound(1, cfg.readInteger(QStringLiteral("DBconn"), QStringLiteral("timeout"), s.timeoutSeconds), 600);
    readFailed = readFailed || cfg.lastReadFailed();
    AppState st = appState();
    st.DbName = s.database;
    appState() = st;
    if (readFailed) {
        ShowMess(Msg::ConfigBroken(), MessWarning);
        IsConnected = false;
        return false;
    }
    if (splash)
        splash->repaintLabel();

    QString error;
    bool ok = false;
    if (!s.database.trimmed().isEmpty()) {
        if (splash) {
            splash->repaintLabel();
            splash->setLabel(QStringLiteral("正在连接数据库 ....."));
        }
        ok = Database::open(connectionName(), s, &error);
        if (ok && splash)
            splash->setLabel(QStringLiteral("连接成功，正在登录 ..."));
    }
    IsConnected = ok;
    if (!ok) {
        if (!error.isEmpty())
            qWarning("connection failed: %s", qPrintable(error));
        if (splash)
            splash->close();
        // a database that is there but locked needs waiting, not installing
        if (Sql::isBusyError(error))
            ShowMess(Msg::DatabaseBusyAtStart(), MessWarning);
        else if (ShowMess(Msg::ConnectFailed(), MessQuestion) == 1)
            Shell::startProgram(SetupToolName());
    }
    return ok;
}

// ------------------------------------------------------------------ services

bool TdmData::DeleteById(const QString &table, qint64 id)
{
    QString error;
    if (!Sql::execOn(ADOcnn(), QStringLiteral("delete from %1 where F_ID = :id").arg(table), {{QStringLiteral("id"), id}},
                     &error)) {
        qWarning("DeleteById failed: %s", qPrintable(error));
        ShowMess(Msg::DeleteFailedFor(error), MessError);
        return false;
    }
    return true;
}

bool TdmData::ExecSql(const QString &sql, const QVariantMap &params)
{
    QString error;
    if (!Sql::execOn(ADOcnn(), sql, params, &error)) {
        qWarning("ExecSql failed: %s", qPrintable(error));
        ShowMess(Sql::isBusyError(error) ? Msg::DatabaseBusy() : Msg::OperationFailed(), MessError);
        return false;
    }
    return true;
}

bool TdmData::querySingle(const QString &sql, const QVariantMap &params, QVariant *value)
{
    QSqlQuery q(ADOcnn());
    q.setForwardOnly(true);
    if (!Sql::exec(q, sql, params)) {
        qWarning("query failed: %s", qPrintable(q.lastError().text()));
        ShowMess(Msg::OperationFailed(), MessError);
        return false;
    }
    if (q.next())
        *value = q.value(0);
    return true;
}

QString TdmData::QueryString(const QString &sql, const QVariantMap &params)
{
    QVariant v;
    querySingle(sql, params, &v);
    if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate)
        return Format::plainText(v);
    return v.isNull() ? QString() : v.toString();
}

double TdmData::QueryFloat(const QString &sql, const QVariantMap &params)
{
    QVariant v;
    querySingle(sql, params, &v);
    return v.isNull() ? 0.0 : v.toDouble();
}

int TdmData::QueryInt(const QString &sql, const QVariantMap &params)
{
    QVariant v;
    querySingle(sql, params, &v);
    return v.isNull() ? 0 : int(v.toLongLong());
}

QStringList TdmData::QueryList(const QString &sql, const QVariantMap &params, bool *ok)
{
    QStringList out;
    QSqlQuery q(ADOcnn());
    q.setForwardOnly(true);
    if (!Sql::exec(q, sql, params)) {
        qWarning("query failed: %s", qPrintable(q.lastError().text()));
        ShowMess(Msg::OperationFailed(), MessError);
        if (ok)
            *ok = false;
        return out;
    }
    while (q.next())
        out.append(q.value(0).isNull() ? QString() : q.value(0).toString());
    if (ok)
        *ok = true;
    return out;
}

bool TdmData::OpenQuery(const QString &sql, DataSet *query, const QVariantMap &params)
{
    if (!query)
        return false;
    query->close();
    query->setSql(sql);
    query->clearParams();
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        query->setParam(it.key(), it.value());
    if (!query->open()) {
        qWarning("OpenQuery failed: %s", qPrintable(query->lastError()));
        ShowMess(Msg::OpenFailed(), MessError);
        return false;
    }
    return true;
}

void TdmData::FillComboBox(const QString &sql, QComboBox *combo, const QVariantMap &params)
{
    if (!combo)
        return;
    bool ok = false;
    const QStringList values = QueryList(sql, params, &ok);
    if (!ok)
        return;
    combo->clear();
    if (combo->isEditable())
        combo->setEditText(QString());
    for (const QString &v : values)
        if (!v.trimmed().isEmpty())
            combo->addItem(v);
    combo->setCurrentIndex(-1);
}

void TdmData::WriteLog(const QString &operType)
{
    QString error;
    Sql::execOn(ADOcnn(),
                QStringLiteral("insert into LogRec(F_EmpName,F_OperType,F_OperDate,F_OperTime) values(:EmpName,:OperType,:OperDate,:OperTime)"),
                {{QStringLiteral("EmpName"), appState().OperName},
                 {QStringLiteral("OperType"), operType},
                 {QStringLiteral("OperDate"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))},
                 {QStringLiteral("OperTime"), QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))}},
                &error);
}

QString TdmData::NextDatedCode(const QString &sql, const QString &prefix, int width, const QVariantMap &params,
                               QString *error)
{
    return CodeNumbering::nextDated(ADOcnn(), sql, prefix, width, params, error);
}

QString TdmData::NextCode(const QString &sql, int width, const QVariantMap &params, QString *error)
{
    return CodeNumbering::next(ADOcnn(), sql, width, params, error);
}

bool TdmData::HasPermission(const QString &code)
{
    return QueryInt(QStringLiteral("Select F_ID from PartLimit Where (F_PartCode = :role) And (F_LmtCode = :code)"),
                    {{QStringLiteral("role"), appState().RoleCode}, {QStringLiteral("code"), code}})
           > 0;
}

QString TdmData::MakeNumberFormat(int decimals, int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("0.") + QString(qMax(0, decimals), QLatin1Char('#'));
    case 2:
    case 3: {
        QString f = QStringLiteral("￥,0.");
        for (int i = 0; i < decimals; ++i)
            f += i < 2 ? QLatin1Char('0') : QLatin1Char('#');
        return f;
    }
    default:
        return QString();
    }
}

QString TdmData::DateRangeCaption(const DatePicker *from, const DatePicker *to)
{
    const QString fmt = QStringLiteral("yyyy年MM月dd日");
    const QString f = from && from->isChecked() ? from->date().toString(fmt) : QStringLiteral("启用系统");
    const QString t = to && to->isChecked() ? to->date().toString(fmt) : QStringLiteral("记帐最后一天");
    return QStringLiteral("统计日期：自 ") + f + QStringLiteral(" 至 ") + t;
}
