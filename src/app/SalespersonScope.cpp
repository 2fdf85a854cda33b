#include "SalespersonScope.h"

#include "AppState.h"
#include "TdmData.h"
#include "platform/SqlDialect.h"

#include <QComboBox>
#include <QRegularExpression>

namespace SalespersonScope {
QStringList parseNames(const QString &stored)
{
    QStringList out;
    // names are quoted; a name may itself hold a comma of either width, so read
    // quote to quote in the text as stored
    static const QRegularExpression quoted(QStringLiteral("'((?:[^']|'')*)'"));
    auto it = quoted.globalMatch(stored);
    bool any = false;
    while (it.hasNext()) {
        any = true;
        const QString name = it.next().captured(1).replace(QStringLiteral("''"), QStringLiteral("'")).trimmed();
        if (!name.isEmpty() && !out.contains(name))
            out.append(name);
    }
    if (!any) {
        static const QRegularExpression commas(QStringLiteral("[,，]"));
        for (const QString &part : stored.split(commas, Qt::SkipEmptyParts)) {
            const QString name = part.trimmed();
            if (!name.isEmpty() && !out.contains(name))
                out.append(name);
        }
    }
    return out;
}

QString joinNames(const QStringList &names)
{
    QStringList quoted;
    for (QString n : names)
        quoted.append(QLatin1Char('\'') + n.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''));
    return quoted.join(QLatin1Char(','));
}

QString whereFragment(const QString &column, QVariantMap *params)
{
    const AppState &st = appState();
    switch (st.EmpScopeFlag) {
    case 1:
        return QStringLiteral("and (%1) ").arg(SqlDialect::textEquals(column, QStringLiteral("scopeOper"), st.OperName, params));
    case 2:
        return QStringLiteral("and (%1) ")
            .arg(SqlDialect::textIn(column, QStringLiteral("scopeName"), parseNames(st.EmpScopeNames), params));
    default:
        return QString();
    }
}

void fillComboBox(QComboBox *box)
{
    if (!box || !dmData)
        return;
    const AppState &st = appState();
    if (st.EmpScopeFlag == 1) {
        box->clear();
        if (box->isEditable())
            box->setEditText(st.OperName);
        else {
            box->addItem(st.OperName);
            box->setCurrentIndex(0);
        }
        box->setEnabled(false);
        box->setStyleSheet(QStringLiteral("QComboBox { background-color: aqua; }"));
        return;
    }
    box->setEnabled(true);
    box->setStyleSheet(QString());
    if (st.EmpScopeFlag == 2) {
        QVariantMap params;
        const QString where = whereFragment(QStringLiteral("F_name"), &params);
        dmData->FillComboBox(QStringLiteral("select distinct F_name from t_employee where (F_name <> '') ") + where
                                 + QStringLiteral("group by F_name "),
                             box, params);
        return;
    }
    dmData->FillComboBox(QStringLiteral("select distinct F_name from t_employee where (F_name <> '')  group by F_name "), box);
}
} // namespace SalespersonScope
