#include "PasswordChange.h"

#include "app/TdmData.h"
#include "platform/Messages.h"

#include <QSqlQuery>

namespace PasswordChange {
Result Change(const QString &operCode, const QString &oldPass, const QString &newPass, const QString &repeatPass)
{
    QSqlQuery q(dmData->ADOcnn());
    if (!Sql::exec(q, QStringLiteral("Select F_ID,F_PassWord From OperList Where (F_Code = :code)"), {{QStringLiteral("code"), operCode}}))
        return Result::Failed;
    if (!q.next())
        return Result::NoOperator;
    const qint64 id = q.value(0).toLongLong();
    if (GetPass(q.value(1).toString()) != oldPass)
        return Result::OldWrong;
    if (newPass.trimmed() != repeatPass.trimmed())
        return Result::NewMismatch;
    QString error;
    if (!Sql::execOn(dmData->ADOcnn(), QStringLiteral("Update OperList Set F_PassWord = :pw Where F_ID = :id"),
                     {{QStringLiteral("pw"), SavePass(newPass)}, {QStringLiteral("id"), id}}, &error))
        return Result::Failed;
    return Result::Changed;
}

QString MessageOf(Result result)
{
    switch (result) {
    case Result::OldWrong:
        return QStringLiteral("旧口令输入错误，不能更改！");
    case Result::NewMismatch:
        return QStringLiteral("新口令错误，不能更改！");
    case Result::Changed:
        return QStringLiteral("更改口令成功！");
    case Result::Failed:
        return Msg::SaveFailed();
    case Result::NoOperator:
        break;
    }
    return QString();
}

int KindOf(Result result)
{
    switch (result) {
    case Result::OldWrong:
        return MessWarning;
    case Result::Failed:
        return MessError;
    default:
        return MessInfo;
    }
}
} // namespace PasswordChange
