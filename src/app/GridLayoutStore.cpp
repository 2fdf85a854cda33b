#include "GridLayoutStore.h"

#include "platform/Database.h"

#include <QSqlError>
#include <QSqlQuery>

#include <utility>

namespace {
// Codes as cfg_Grid stores them, shared with installations that read the same table.
QVariant alignmentCode(DataGridColumn::Align a)
{
    switch (a) {
    case DataGridColumn::Align::Left:
        return 0;
    case DataGridColumn::Align::Center:
        return 1;
    case DataGridColumn::Align::Right:
        return 2;
    case DataGridColumn::Align::Default:
        break;
    }
    // read back as Default: the grid decides again
    return QVariant(QMetaType(QMetaType::Int));
}

DataGridColumn::Align alignmentOf(const QVariant &code)
{
    if (code.isNull())
        return DataGridColumn::Align::Default;
    switch (code.toInt()) {
    case 0:
        return DataGridColumn::Align::Left;
    case 1:
        return DataGridColumn::Align::Center;
    case 2:
        return DataGridColumn::Align::Right;
    default:
        return DataGridColumn::Align::Default;
    }
}

int footerCode(DataGridColumn::FooterType t)
{
    switch (t) {
    case DataGridColumn::FooterType::Text:
        return 1;
    case DataGridColumn::FooterType::Sum:
        return 2;
    case DataGridColumn::FooterType::None:
        break;
    }
    return 0;
}

DataGridColumn::FooterType footerOf(int code)
{
    switch (code) {
    case 1:
        return DataGridColumn::FooterType::Text;
    case 2:
        return DataGridColumn::FooterType::Sum;
    default:
        return DataGridColumn::FooterType::None;
    }
}
} // namespace

GridLayoutStore::GridLayoutStore(QString connection) : m_connection(std::move(connection)) {}

QSqlDatabase GridLayoutStore::database() const { return Database::connection(m_connection); }

GridLayoutRead GridLayoutStore::load(const QString &name) const
{
    GridLayoutRead out;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!Sql::exec(q,
                   QStringLiteral("Select F_FieldName, F_Caption, F_Width, F_Visible, F_ReadOnly, F_DisplayFormat, "
                                  "F_FooterValue, F_FooterType, F_Alignment from cfg_Grid "
                                  "Where (F_name = :name and F_FieldName <> '') order by F_Order, F_ID"),
                   {{QStringLiteral("name"), name}})) {
        out.error = Sql::errorText(q.lastError());
        return out;
    }
    out.ok = true;
    while (q.next()) {
        const QString field = q.value(0).toString().trimmed();
        if (field.isEmpty())
            continue;
        DataGridColumn c;
        c.fieldName = field;
        c.title = q.value(1).toString();
        const int width = q.value(2).toInt();
        c.width = width > 0 ? width : 80;
        c.visible = q.value(3).toBool();
        c.readOnly = q.value(4).toBool();
        c.displayFormat = q.value(5).toString();
        c.footerFormat = c.displayFormat;
        c.footerValue = q.value(6).toString();
        c.footerType = footerOf(q.value(7).toInt());
        c.alignment = alignmentOf(q.value(8));
        out.columns.append(c);
    }
    return out;
}

GridLayoutWrite GridLayoutStore::save(const QString &name, const QVector<DataGridColumn> &columns) const
{
    GridLayoutWrite out;
    const QString sql = QStringLiteral(
        "update cfg_Grid set F_Caption = :caption, F_Width = :width, F_ReadOnly = :readOnly, F_Visible = :visible, "
        "F_Order = :ord, F_Alignment = :align, F_DisplayFormat = :format, F_FooterValue = :footerValue, "
        "F_FooterType = :footerType where (F_name = :name and F_FieldName = :field)");
    const QSqlDatabase db = database();
    const QString lowerName = name.toLower();
    // one statement per column, so that a failing column does not stop the others
    for (int i = 0; i < columns.size(); ++i) {
        const DataGridColumn &c = columns.at(i);
        QString error;
        const bool ok = Sql::execOn(db, sql,
                                    {{QStringLiteral("caption"), c.title},
                                     {QStringLiteral("width"), c.width},
                                     {QStringLiteral("readOnly"), c.readOnly},
                                     {QStringLiteral("visible"), c.visible},
                                     {QStringLiteral("ord"), i},
                                     {QStringLiteral("align"), alignmentCode(c.alignment)},
                                     {QStringLiteral("format"), c.displayFormat},
                                     {QStringLiteral("footerValue"), c.footerValue},
                                     {QStringLiteral("footerType"), footerCode(c.footerType)},
                                     {QStringLiteral("name"), lowerName},
                                     {QStringLiteral("field"), c.fieldName}},
                                    &error);
        if (!ok && out.failed++ == 0) {
            out.firstField = c.fieldName;
            out.error = error;
        }
    }
    return out;
}
