#include "ContactEditor.h"

#include "app/CustomerNumbers.h"
#include "platform/Database.h"

#include <QDate>

namespace {
const QString kName = QStringLiteral("F_name");
const QString kKey = QStringLiteral("F_IFkey");

const RecordKindInfo &contacts() { return RecordCatalogue::info(RecordKind::Contact); }
} // namespace

ContactEditor::ContactEditor(ClientWorkspace *workspace, int currentTab, const QString &connection)
    : RecordEditor(contacts(), connection), m_ws(workspace), m_tab(currentTab)
{
}

const QStringList &ContactEditor::columns()
{
    static const QStringList list = [] {
        QStringList l;
        for (const RecordField &f : contacts().fields)
            l.append(QString::fromLatin1(f.column));
        return l;
    }();
    return list;
}

int ContactEditor::maxLength(const QString &column) { return contacts().maxLength(column); }

QVariantMap ContactEditor::emptyFields() { return RecordEditor::emptyFields(contacts()); }

QVariantMap ContactEditor::currentFields()
{
    const DataSet *d = m_ws->detail(RecordKind::Contact);
    forget();
    if (!d || d->currentRow() < 0)
        return emptyFields();
    QVariantMap stored;
    for (const QString &c : columns())
        stored.insert(c, d->value(c));
    remember(d->keyOf(d->currentRow()), stored);
    return fieldsFrom([d](const QString &column) { return d->value(column); });
}

std::optional<SaveResult> ContactEditor::check(QVariantMap &fields, const QStringList &)
{
    if (fields.value(kName).toString().trimmed().isEmpty())
        return SaveResult::invalid(QStringLiteral("联系人姓名不能为空！"), kName);
    const DataSet *list = m_ws->QryMain;
    if (list->currentRow() < 0)
        return SaveResult::invalid(QString(), QString());
    if (isEditMode() && loadedKey() <= 0) {
        const DataSet *d = m_ws->detail(RecordKind::Contact);
        if (d->currentRow() >= 0)
            remember(d->keyOf(d->currentRow()), {});
    }
    m_customer = list->keyOf(list->currentRow());
    m_cltID = int(list->value(QStringLiteral("F_cltID")).toLongLong());
    m_numbered = false;
    return std::nullopt;
}

SaveResult ContactEditor::write(QSqlDatabase &db, QVariantMap &fields, int)
{
    QString error;
    QVariantMap values = storedValues(fields);
    qint64 key = loadedKey();
    if (isEditMode()) {
        if (std::optional<SaveResult> stop = checkUnchanged(db))
            return *stop;
        if (!Sql::updateRow(db, kind().tableName(), values, QStringLiteral("F_ID"), key, &error))
            return SaveResult::failed(error);
    } else {
        // a customer without a number gets one first, or its contact would
        // belong to every customer without a number
        if (m_cltID <= 0) {
            if (!CustomerNumbers::lockForNewCustomer(db, &error))
                return SaveResult::failed(error);
            m_cltID = CustomerNumbers::forUnnumbered(db, m_customer, &error);
            if (m_cltID <= 0
                || !Sql::execOn(db, QStringLiteral("update t_client set F_cltID = :n where F_ID = :id"),
                                {{QStringLiteral("n"), m_cltID}, {QStringLiteral("id"), m_customer}}, &error))
                return SaveResult::failed(error);
            m_numbered = true;
        }
        values.insert(QStringLiteral("F_cltID"), m_cltID);
        key = Sql::insertRow(db, kind().tableName(), values, QStringLiteral("F_ID"), &error);
        if (key <= 0)
            return SaveResult::failed(error);
    }
    if (fields.value(kKey).toBool()) {
        // only what was typed replaces the customer's main contact
        static const char *pairs[][2] = {{"F_LXRname", "F_name"}, {"F_LXRdept", "F_dept"}, {"F_LXRduty", "F_duty"}, {"F_LXRphone", "F_officePhone"}};
        QVariantMap main;
        for (const auto &p : pairs) {
            const QString v = fields.value(QString::fromLatin1(p[1])).toString().trimmed();
            if (!v.isEmpty())
                main.insert(QString::fromLatin1(p[0]), v);
        }
        if (!main.isEmpty() && !Sql::updateRow(db, QStringLiteral("t_client"), main, QStringLiteral("F_ID"), m_customer, &error))
            return SaveResult::failed(error);
    }
    return SaveResult::done(key);
}

bool ContactEditor::refresh(qint64 key)
{
    DataSet *list = m_ws->detail(RecordKind::Contact);
    if (m_numbered) {
        if (!m_ws->ReopenClientList(m_tab))
            return false;
    } else {
        list->cancelUpdates();
        list->setSql(contacts().linkedSql());
        if (!list->reopen())
            return false;
    }
    const int row = list->rowOfKey(key);
    if (row >= 0)
        list->setCurrentRow(row);
    return true;
}

QString ContactEditor::refreshFailedMessage() const
{
    return QStringLiteral("联系人资料已保存，但联系人列表未能刷新，请检查数据连接后重新查询。");
}
