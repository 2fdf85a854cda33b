#include "ClientEditor.h"

#include "ClientWorkspace.h"
#include "app/CodeNumbering.h"
#include "app/CustomerNumbers.h"
#include "platform/Database.h"
#include "platform/Format.h"

#include <QDate>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>

namespace {
const QString kName = QStringLiteral("F_name");
const QString kCode = QStringLiteral("F_code");
const QString kCltID = QStringLiteral("F_cltID");
const QString kCodeTaken = QStringLiteral("客户助记码重复，请重新输入！");


const RecordKindInfo &customers() { return RecordCatalogue::info(RecordKind::Customer); }
} // namespace

ClientEditor::ClientEditor(ClientWorkspace *workspace, int currentTab, const QString &connection)
    : RecordEditor(customers(), connection), m_ws(workspace), m_tab(currentTab)
{
}

const QStringList &ClientEditor::columns()
{
    static const QStringList list = [] {
        QStringList l;
        for (const RecordField &f : customers().fields)
            l.append(QString::fromLatin1(f.column));
        return l;
    }();
    return list;
}

int ClientEditor::maxLength(const QString &column) { return customers().maxLength(column); }

QVariantMap ClientEditor::emptyFields()
{
    QVariantMap f = RecordEditor::emptyFields(customers());
    f.insert(QStringLiteral("F_editdate"), QDate::currentDate());
    return f;
}

int ClientEditor::queryInt(const QString &sql, const QVariantMap &params, bool *ok) const
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    const bool done = Sql::exec(q, sql, params);
    if (ok)
        *ok = done;
    if (!done) {
        qWarning("customer query failed: %s", qPrintable(q.lastError().text()));
        return 0;
    }
    return q.next() ? int(q.value(0).toLongLong()) : 0;
}

QString ClientEditor::nextClientCode() const
{
    const QString day = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    return CodeNumbering::nextDated(database(),
                                    QStringLiteral("select max(F_code) from t_client where F_code like :p") + SqlDialect::likeEscapeClause(),
                                    QString(), 3, {{QStringLiteral("p"), SqlDialect::escapeLike(day) + QLatin1Char('%')}});
}

QVariantMap ClientEditor::currentFields() const
{
    const DataSet *m = m_ws->QryMain;
    if (m->currentRow() < 0)
        return emptyFields();
    return fieldsFrom([m](const QString &column) { return m->value(column); });
}

ClientWorkspace::Outcome ClientEditor::begin(EditMode mode)
{
    setMode(mode);
    forget();
    if (mode == EditMode::Edit) {
        const DataSet *m = m_ws->QryMain;
        m_saveCltID = int(m->value(kCltID).toLongLong());
        if (m->currentRow() >= 0) {
            QVariantMap stored{{kCltID, m->value(kCltID)}};
            for (const QString &c : columns())
                stored.insert(c, m->value(c));
            remember(m->keyOf(m->currentRow()), stored);
        }
        return {};
    }
    return startNew();
}

ClientWorkspace::Outcome ClientEditor::beginNext()
{
    setMode(EditMode::New);
    return startNew();
}

ClientWorkspace::Outcome ClientEditor::startNew()
{
    forget();
    m_saveCltID = 0;
    m_minNumber = 0;
    return m_ws->BindDetailsToNewClient();
}

ClientWorkspace::Outcome ClientEditor::end(bool ok)
{
    if (!ok) {
        m_ws->detail(RecordKind::Contact)->cancelUpdates();
        m_ws->detail(RecordKind::CustomerProduct)->cancelUpdates();
    }
    return isEditMode() ? ClientWorkspace::Outcome() : m_ws->RelinkClientDetails();
}

bool ClientEditor::codeTaken(const QString &code) const
{
    // new and copied customers are another one than every stored customer;
    // F_ID is never 0
    const qint64 self = isEditMode() ? loadedKey() : 0;
    return !code.isEmpty()
           && queryInt(QStringLiteral("select F_ID from t_client where F_code = :code and F_ID <> :id"),
                       {{QStringLiteral("code"), code}, {QStringLiteral("id"), self}})
                  > 0;
}

std::optional<SaveResult> ClientEditor::check(QVariantMap &fields, const QStringList &answeredNo)
{
    const QString name = fields.value(kName).toString().trimmed();
    if (name.isEmpty())
        return SaveResult::invalid(QStringLiteral("当前客户名称不能为空！"), kName);
    const qint64 self = isEditMode() ? loadedKey() : 0;
    // checked again inside the save; here so that the operator is told
    // before the question about the name
    if (codeTaken(fields.value(kCode).toString().trimmed())) {
        // an existing customer keeps the code it is known by
        const QString fresh = !isEditMode() && m_autoCode ? nextClientCode() : QString();
        if (fresh.isEmpty())
            return SaveResult::invalid(kCodeTaken, kCode);
        fields.insert(kCode, fresh);
    }
    const QString duplicateName = QStringLiteral("客户名称重复，重新输入吗？");
    if (!answeredNo.contains(duplicateName)
        && queryInt(QStringLiteral("select F_ID from t_client where F_name = :name and F_ID <> :id"),
                    {{QStringLiteral("name"), name}, {QStringLiteral("id"), self}})
               > 0)
        return SaveResult::question(duplicateName, kName);
    m_minNumber = 0;
    return std::nullopt;
}

SaveResult ClientEditor::write(QSqlDatabase &db, QVariantMap &fields, int)
{
    QString error;
    // From here until the commit no other workstation adds or changes a
    // customer, so the code and number checked below are still free when they
    // are written.
    if (!CustomerNumbers::lockForNewCustomer(db, &error))
        return SaveResult::failed(error);
    if (isEditMode())
        if (std::optional<SaveResult> stop = checkUnchanged(db))
            return *stop;
    if (codeTaken(fields.value(kCode).toString().trimmed())) {
        const QString fresh = !isEditMode() && m_autoCode ? nextClientCode() : QString();
        if (fresh.isEmpty())
            return SaveResult::invalid(kCodeTaken, kCode);
        fields.insert(kCode, fresh);
    }
    int cltID = m_saveCltID;
    if (!isEditMode()) {
        cltID = CustomerNumbers::next(db, &error);
        if (cltID > 0)
            cltID = qMax(cltID, m_minNumber);
    } else if (cltID <= 0) {
        cltID = CustomerNumbers::forUnnumbered(db, loadedKey(), &error);
    }
    if (cltID <= 0)
        return SaveResult::failed(error);
    m_pendingNumber = cltID;

    prepareDetailRows(cltID);
    if (!m_ws->detail(RecordKind::Contact)->applyUpdates(&error) || !m_ws->detail(RecordKind::CustomerProduct)->applyUpdates(&error))
        return SaveResult::failed(error);

    QVariantMap values = storedValues(fields);
    values.insert(kCltID, cltID);
    if (isEditMode()) {
        if (!Sql::updateRow(db, kind().tableName(), values, QStringLiteral("F_ID"), loadedKey(), &error))
            return SaveResult::failed(error);
        return SaveResult::done(loadedKey());
    }
    const qint64 key = Sql::insertRow(db, kind().tableName(), values, QStringLiteral("F_ID"), &error);
    return key > 0 ? SaveResult::done(key) : SaveResult::failed(error);
}

bool ClientEditor::retry(const SaveResult &failed, int)
{
    // another workstation took the number in the meantime: a later one
    if (isEditMode() || !Sql::isUniqueViolation(failed.error))
        return false;
    m_minNumber = m_pendingNumber + 1;
    return true;
}

void ClientEditor::committed(qint64)
{
    m_ws->detail(RecordKind::Contact)->commitUpdates();
    m_ws->detail(RecordKind::CustomerProduct)->commitUpdates();
    m_saveCltID = m_pendingNumber;
}

bool ClientEditor::refresh(qint64 key)
{
    DataSet *list = m_ws->QryMain;
    if (!m_ws->ReopenClientList(m_tab))
        return false;
    const int row = list->rowOfKey(key);
    if (row >= 0)
        list->setCurrentRow(row);
    else if (!isEditMode())
        list->last();
    return true;
}

QString ClientEditor::refreshFailedMessage() const
{
    return QStringLiteral("客户资料已保存，但客户列表未能刷新，请检查数据连接后重新查询。");
}

// Contacts and products go with the customer: the row being typed is kept
// when it says something, new rows that say nothing are dropped, and every
// row carries the customer's number.
void ClientEditor::prepareDetailRows(int cltID)
{
    const auto blank = [](const DataSet *d, int row, const char *field) {
        return d->value(row, QString::fromLatin1(field)).toString().trimmed().isEmpty();
    };
    DataSet *contacts = m_ws->detail(RecordKind::Contact);
    DataSet *products = m_ws->detail(RecordKind::CustomerProduct);
    if (contacts->isEditing()) {
        if (!blank(contacts, contacts->currentRow(), "F_name"))
            contacts->post();
        else
            contacts->cancel();
    }
    if (products->isEditing()) {
        const int r = products->currentRow();
        if (!blank(products, r, "F_GDcode") || !blank(products, r, "F_GDname"))
            products->post();
        else
            products->cancel();
    }
    for (int r = contacts->recordCount() - 1; r >= 0; --r)
        if (contacts->keyOf(r) == 0 && blank(contacts, r, "F_name"))
            contacts->deleteRow(r);
    for (int r = products->recordCount() - 1; r >= 0; --r)
        if (products->keyOf(r) == 0 && blank(products, r, "F_GDcode") && blank(products, r, "F_GDname"))
            products->deleteRow(r);
    const int today = products->fieldIndex(QStringLiteral("F_editdate"));
    for (DataSet *d : {contacts, products}) {
        const int col = d->fieldIndex(kCltID);
        for (int r = 0; r < d->recordCount(); ++r) {
            bool changed = false;
            if (d->value(r, col).toLongLong() != cltID) {
                d->setValue(r, col, cltID);
                changed = true;
            }
            if (d == products && today >= 0 && d->keyOf(r) == 0 && d->value(r, today).isNull()) {
                d->setValue(r, today, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
                changed = true;
            }
            if (changed)
                d->post();
        }
    }
}

ClientEditor::GoodsLookup ClientEditor::fillProductFromGoods(int row)
{
    DataSet *products = m_ws->detail(RecordKind::CustomerProduct);
    if (row < 0 || row >= products->recordCount())
        return GoodsLookup::NoCode;
    if (products->isEditing() && products->currentRow() == row)
        products->post();
    const QString code = products->value(row, QStringLiteral("F_GDcode")).toString().trimmed();
    if (code.isEmpty())
        return GoodsLookup::NoCode;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!Sql::exec(q, QStringLiteral("select F_code,f_name,f_type,f_spec,f_unit,f_price,f_price1,f_price2 from t_goods where f_code = :code"),
                   {{QStringLiteral("code"), code}})) {
        qWarning("goods lookup failed: %s", qPrintable(q.lastError().text()));
        return GoodsLookup::Failed;
    }
    if (!q.next())
        return GoodsLookup::NotFound;
    static const char *fields[][2] = {{"F_GDname", "f_name"}, {"F_type", "f_type"}, {"F_spec", "f_spec"}, {"F_unit", "f_unit"}, {"F_price", "f_price"}};
    for (const auto &f : fields)
        products->setValue(row, products->fieldIndex(QString::fromLatin1(f[0])), q.value(QString::fromLatin1(f[1])));
    products->post();
    return GoodsLookup::Filled;
}

