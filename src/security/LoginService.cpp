#include "LoginService.h"

#include "Permissions.h"
#include "app/TdmData.h"
#include "platform/Config.h"
#include "platform/Messages.h"

#include <QDateTime>
#include <QLabel>
#include <QSqlQuery>
#include <QWidget>

namespace LoginService {
namespace {
const QString kCode = QStringLiteral("code");
}

QString OperatorName(const QString &code)
{
    if (!dmData)
        return QString();
    return dmData->QueryString(QStringLiteral("select F_Name from OperList Where F_Code = :code"), {{kCode, code.trimmed()}});
}

bool PasswordMatches(const QString &code, const QString &typed)
{
    if (!dmData)
        return false;
    const QString stored =
        dmData->QueryString(QStringLiteral("select f_PassWord from OperList Where F_Code = :code"), {{kCode, code.trimmed()}});
    return GetPass(stored).trimmed() == typed.trimmed();
}

bool ParseDecimals(const QString &text, int *decimals)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok && decimals)
        *decimals = v;
    return ok;
}

QString BadSettingsMessage()
{
    return QStringLiteral("数据库中的数量、单价、金额小数位数设置（KeyValue 第12～14行）不是整数，登录未完成！"
                          "请系统管理员改正这些设置后再登录。");
}

bool BuildLoginState(const QString &code, const QString &name, AppState *state, QString *error)
{
    AppState st;
    st.DbName = appState().DbName;
    st.PreferredIme = appState().PreferredIme;
    st.OperCode = code.trimmed();
    st.OperName = name;
    QSqlDatabase db = dmData->ADOcnn();

    QSqlQuery q(db);
    if (!Sql::exec(q, QStringLiteral("select f_code from SysInfo"))) {
        *error = Msg::OpenFailed();
        return false;
    }
    if (q.next())
        st.CompanyName = q.value(0).toString();

    if (!Sql::exec(q,
                   QStringLiteral("select o.F_code,o.F_name,o.F_partCode,p.F_EmpFlag,p.F_EmpName from (OperList o Left join "
                                  "PartList p on o.F_PartCode = p.F_code) where o.F_code = :code order by o.F_ID"),
                   {{kCode, st.OperCode}})) {
        *error = Msg::OpenFailed();
        return false;
    }
    if (q.next()) {
        st.RoleCode = q.value(2).toString();
        st.EmpScopeFlag = q.value(3).isNull() ? 0 : q.value(3).toInt();
        st.EmpScopeNames = q.value(4).toString();
    }

    if (!Sql::exec(q, QStringLiteral("select F_Value from KeyValue order by F_ID"))) {
        *error = Msg::OpenFailed();
        return false;
    }
    // rows past the fifteenth have no slot
    for (int r = 0; q.next() && r < st.CustomSettings.size(); ++r)
        st.CustomSettings[r] = q.value(0).toString();

    int qty = 0, price = 0, money = 0;
    if (!ParseDecimals(st.custom(12), &qty) || !ParseDecimals(st.custom(13), &price) || !ParseDecimals(st.custom(14), &money)) {
        *error = BadSettingsMessage();
        return false;
    }
    st.QtyFormat = TdmData::MakeNumberFormat(qty, 1);
    st.UnitPriceFormat = TdmData::MakeNumberFormat(price, 2);
    st.MoneyFormat = TdmData::MakeNumberFormat(money, 3);

    Config &cfg = Config::shared();
    st.AutoCustomerCode = cfg.readBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), false);
    st.PrintRowsPerPage = cfg.readInteger(QStringLiteral("sys"), QStringLiteral("iPrintNum"), 10);
    st.AutoBackupRule = cfg.readInteger(QStringLiteral("config"), QStringLiteral("ibak"), 0);
    st.RemindAtStart = cfg.readBool(QStringLiteral("set"), QStringLiteral("awokeflag"), false);
    *state = st;
    return true;
}

bool LoadLoginState(const QString &code, const QString &name, QWidget *mainWindow)
{
    AppState st;
    QString error;
    if (!dmData || !BuildLoginState(code, name, &st, &error)) {
        ShowMess(error.isEmpty() ? Msg::OpenFailed() : error, MessError);
        return false;
    }
    Config::shared().writeString(QStringLiteral("Config"), QStringLiteral("CurOperCode"), st.OperCode);
    replaceAppState(st);
    dmData->WriteLog(QStringLiteral("登录成功！"));
    Permissions::SetLimits(mainWindow, st.OperCode);
    if (mainWindow) {
        if (auto *p1 = mainWindow->findChild<QLabel *>(QStringLiteral("StatusPanel1")))
            p1->setText(QLatin1Char(' ') + name);
        if (auto *p3 = mainWindow->findChild<QLabel *>(QStringLiteral("StatusPanel3")))
            p3->setText(QLatin1Char(' ') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    }
    return true;
}
} // namespace LoginService
