#include "ContactEditor.h"

#include "ClientWorkspace.h"
#include "app/CustomerNumbers.h"
#include "app/TdmData.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "platform/Messages.h"

#include <QDate>
#include <QSqlError>

namespace {
const QString kName = QStringLiteral("F_name");
const QString kBirthday = QStringLiteral("F_birthday");
const QString kKey = QStringLiteral("F_IFkey");
} // namespace

ContactEditor::ContactEditor(ClientWorkspace *workspace, int currentTab, const QString &connection)
    : m_ws(workspace), m_tab(currentTab), m_connection(connection)
{
}

const QStringList &ContactEditor::columns()
{
    static const QStringList list = {QStringLiteral("F_name"),        QStringLiteral("F_IFkey"),    QStringLiteral("F_dept"),
                                     QStringLiteral("F_duty"),        QStringLiteral("F_officePhone"), QStringLiteral("F_homePhone"),
                                     QStringLiteral("F_handPhone"),   QStringLiteral("F_Fax"),      QStringLiteral("F_birthday"),
                                     QStringLiteral("F_Address"),     QStringLiteral("F_Email"),    QStringLiteral("F_shihao"),
                                     QStringLiteral("F_mem")};
    return list;
}

int ContactEditor::maxLength(const QString &column)
{
    const QString c = column.toLower();
    if (c == QLatin1String("f_shihao"))
        return 255;
    if (c == QLatin1String("f_mem") || c == QLatin1String("f_birthday") || c == QLatin1String("f_ifkey"))
        return 0;
    return 50;
}

QVariantMap ContactEditor::emptyFields()
{
    QVariantMap f;
    for (const QString &c : columns())
        f.insert(c, QString());
    f.insert(kKey, false);
    f.insert(kBirthday, QDate());
    return f;
}

QVariantMap ContactEditor::currentFields()
{
    QVariantMap f = emptyFields();
    const DataSet *d = m_ws->detail(2);
    m_loaded.clear();
    m_loadedKey = 0;
    if (!d || d->currentRow() < 0)
        return f;
    m_loadedKey = d->keyOf(d->currentRow());
    for (const QString &c : columns())
        m_loaded.insert(c, d->value(c));
    for (const QString &c : columns())
        f.insert(c, d->text(c));
    f.insert(kKey, d->value(kKey).toBool());
    const QVariant b = d->value(kBirthday);
    QDate date;
    if (!Format::isEmptyDate(b))
        if (const auto dt = Format::parseDateTime(Format::plainText(b)))
            date = dt->date();
    f.insert(kBirthday, date);
    return f;
}

ContactEditor::Result ContactEditor::save(const QVariantMap &fields)
{
    m_focus.clear();
    DataSet *contacts = m_ws->detail(2);
    DataSet *list = m_ws->QryMain;
    const qint64 editID = !m_edit ? 0 : m_loadedKey > 0 ? m_loadedKey : contacts->currentRow() >= 0 ? contacts->keyOf(contacts->currentRow()) : 0;
    const QString name = fields.value(kName).toString().trimmed();
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("联系人姓名不能为空！"), MessInfo);
        m_focus = kName;
        return Result::Invalid;
    }
    if (list->currentRow() < 0)
        return Result::Invalid;
    const qint64 customer = list->keyOf(list->currentRow());
    int cltID = int(list->value(QStringLiteral("F_cltID")).toLongLong());

    QSqlDatabase db = Database::connection(m_connection);
    const SqlDialect &dialect = Database::dialectOf(db);
    QVariantMap values;
    for (const QString &c : columns()) {
        const QVariant v = fields.value(c);
        if (c == kBirthday) {
            const QDate d = v.toDate();
            values.insert(c, dialect.dateValue(d.isValid() ? d : QDate(1900, 8, 14)));
        } else if (c == kKey) {
            values.insert(c, v.toBool());
        } else {
            values.insert(c, c == QLatin1String("F_mem") ? v.toString() : v.toString().trimmed());
        }
    }

    QString error;
    bool numbered = false;
    bool changed = false;
    qint64 key = editID;
    bool ok = false;
    {
        Transaction tr(db);
        ok = tr.isActive();
        if (!ok)
            error = tr.error();
        if (ok && m_edit) {
            switch (Sql::lockAndCompareRow(db, QStringLiteral("t_linkman"), QStringLiteral("F_ID"), editID, m_loaded, &error)) {
            case Sql::RowState::Unchanged:
                break;
            case Sql::RowState::Changed:
            case Sql::RowState::Gone:
                changed = true;
                ok = false;
                break;
            case Sql::RowState::Failed:
                ok = false;
                break;
            }
        }
        // a customer without a number gets one first, or its contact would
        // belong to every customer without a number
        if (ok && !m_edit && cltID <= 0) {
            ok = CustomerNumbers::lockForNewCustomer(db, &error);
            cltID = ok ? CustomerNumbers::forUnnumbered(db, customer, &error) : 0;
            ok = cltID > 0
                 && Sql::execOn(db, QStringLiteral("update t_client set F_cltID = :n where F_ID = :id"),
                                {{QStringLiteral("n"), cltID}, {QStringLiteral("id"), customer}}, &error);
            numbered = ok;
        }
        if (ok && m_edit) {
            QStringList sets;
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                sets.append(it.key() + QStringLiteral(" = :") + it.key());
            QVariantMap params = values;
            params.insert(QStringLiteral("RowKey"), editID);
            ok = Sql::execOn(db, QStringLiteral("update t_linkman set ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" where F_ID = :RowKey"),
                             params, &error);
        } else if (ok) {
            QVariantMap row = values;
            row.insert(QStringLiteral("F_cltID"), cltID);
            key = Sql::insertRow(db, QStringLiteral("t_linkman"), row, QStringLiteral("F_ID"), &error);
            ok = key > 0;
        }
        if (ok && fields.value(kKey).toBool()) {
            // only what was typed replaces the customer's main contact
            static const char *pairs[][2] = {{"F_LXRname", "F_name"}, {"F_LXRdept", "F_dept"}, {"F_LXRduty", "F_duty"}, {"F_LXRphone", "F_officePhone"}};
            QStringList sets;
            QVariantMap params;
            for (const auto &p : pairs) {
                const QString v = fields.value(QString::fromLatin1(p[1])).toString().trimmed();
                if (v.isEmpty())
                    continue;
                sets.append(QString::fromLatin1(p[0]) + QStringLiteral(" = :") + QString::fromLatin1(p[0]));
                params.insert(QString::fromLatin1(p[0]), v);
            }
            if (!sets.isEmpty()) {
                params.insert(QStringLiteral("RowKey"), customer);
                ok = Sql::execOn(db, QStringLiteral("update t_client set ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" where F_ID = :RowKey"),
                                 params, &error);
            }
        }
        if (ok)
            ok = tr.commit(&error);
    }
    if (changed) {
        ShowMess(Msg::RecordChanged(), MessWarning);
        return Result::Conflict;
    }
    if (!ok) {
        qWarning("contact save failed: %s", qPrintable(error));
        ShowMess(Msg::SaveFailedFor(error), MessError);
        return Result::Failed;
    }
    m_savedKey = key;

    bool shown = true;
    if (numbered) {
        shown = m_ws->ReopenClientList(m_tab);
    } else {
        contacts->cancelUpdates();
        shown = contacts->isOpen() ? contacts->reopen() : dmData->OpenQuery(ClientWorkspace::tab(2).sql, contacts);
    }
    if (!shown) {
        ShowMess(QStringLiteral("联系人资料已保存，但联系人列表未能刷新，请检查数据连接后重新查询。"), MessWarning);
        return Result::SavedRefreshFailed;
    }
    const int row = contacts->rowOfKey(key);
    if (row >= 0)
        contacts->setCurrentRow(row);
    return Result::Saved;
}
