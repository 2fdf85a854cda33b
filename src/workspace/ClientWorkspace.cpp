#include "ClientWorkspace.h"

#include "app/AppMessages.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "refdata/CategoryTree.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// A customer without a number has no records: its details match nothing.
QVariant customerNumber(const QVariant &v) { return v.toLongLong() > 0 ? v : QVariant(); }

const QString kSaleLinesSql = QStringLiteral("select * from t_XSdetail where F_code = :F_code order by F_ID");
const QString kFailed = QStringLiteral("操作失败，请检查连接...");
} // namespace

// The kind of a detail tab; every tab 1..9 has one.
const RecordKindInfo &kindOf(int tab) { return *RecordCatalogue::ofTab(tab); }

ClientWorkspace::ClientWorkspace(QObject *parent) : QObject(parent)
{
    QryMain = new DataSet(this);
    QryMain->setObjectName(QStringLiteral("QryMain"));
    QryMain->setEmptyDateFields({QStringLiteral("F_editdate"), QStringLiteral("F_date"), QStringLiteral("F_RQ1"),
                                 QStringLiteral("F_RQ2"), QStringLiteral("F_RQ3")});
    // the industry path shows without its stored leading backslashes
    QryMain->setDisplayHook(QStringLiteral("F_hangye"), [](const QVariant &v) { return CategoryTree::shownPath(v.toString()); });
    for (int n = 1; n <= kTabs; ++n) {
        auto *ds = new DataSet(this);
        ds->setObjectName(QStringLiteral("QryDetail%1").arg(n));
        ds->setSql(kindOf(n).linkedSql());
        ds->setEmptyDateFields(kindOf(n).emptyDates());
        ds->setMaster(QryMain, QStringLiteral("F_cltID"), QStringLiteral("F_cltID"), customerNumber);
        m_details[n] = ds;
    }
    // contacts and products are edited in the customer window and saved with it
    detail(RecordKind::Contact)->setCachedUpdates(true);
    detail(RecordKind::CustomerProduct)->setCachedUpdates(true);

    QryDetail51 = new DataSet(this);
    QryDetail51->setObjectName(QStringLiteral("QryDetail51"));
    QryDetail51->setSql(kSaleLinesSql);
    QryDetail51->setMaster(detail(RecordKind::SalesBill), QStringLiteral("F_code"));
    QryDetail51->setFieldChangeHook([](DataSet &d, int row, const QString &field) {
        const QString f = field.toLower();
        if (f == QLatin1String("f_rate") || f == QLatin1String("f_price") || f == QLatin1String("f_amount"))
            d.setValue(row, d.fieldIndex(QStringLiteral("F_totalPrice")),
                       d.value(row, QStringLiteral("F_amount")).toDouble() * d.value(row, QStringLiteral("F_price")).toDouble()
                           * d.value(row, QStringLiteral("F_rate")).toDouble());
    });
}

DataSet *ClientWorkspace::detail(int tab) const { return tab >= 1 && tab <= kTabs ? m_details[tab] : nullptr; }

DataSet *ClientWorkspace::detail(RecordKind kind) const { return detail(RecordCatalogue::info(kind).detailTab); }

QSqlDatabase ClientWorkspace::database() const { return QryMain->database(); }

ClientWorkspace::Outcome ClientWorkspace::opened(DataSet *d)
{
    if (d->isOpen() ? d->reopen() : d->open())
        return {};
    qWarning("%s failed: %s", qPrintable(d->objectName()), qPrintable(d->lastError()));
    return Outcome::failed(Msg::OpenFailed(), d->lastError());
}

// ------------------------------------------------------------- the list

ClientWorkspace::Outcome ClientWorkspace::RefreshClientList(const SqlStatement &statement, int currentTab)
{
    m_statement = statement;
    QryMain->close();
    QryMain->setSql(statement.sql);
    QryMain->clearParams();
    for (auto it = statement.params.cbegin(); it != statement.params.cend(); ++it)
        QryMain->setParam(it.key(), it.value());
    Outcome result = opened(QryMain);
    for (RecordKind kind : {RecordKind::Contact, RecordKind::CustomerProduct}) {
        DataSet *d = detail(kind);
        d->close();
        d->setSql(RecordCatalogue::info(kind).linkedSql());
        d->attachMaster();
        const Outcome r = opened(d);
        if (result && !r)
            result = r;
    }
    const Outcome details = OpenDetailQueries(false, currentTab);
    if (result && !details)
        result = details;
    emit listRefreshed();
    return result;
}

ClientWorkspace::Outcome ClientWorkspace::ReopenClientList(int currentTab)
{
    const qint64 key = QryMain->currentRow() >= 0 ? QryMain->keyOf(QryMain->currentRow()) : 0;
    const Outcome result = RefreshClientList(m_statement, currentTab);
    if (result && key > 0) {
        const int row = QryMain->rowOfKey(key);
        if (row >= 0)
            QryMain->setCurrentRow(row);
    }
    return result;
}

QString ClientWorkspace::countCaption() const
{
    return QStringLiteral("客户总数： ") + QString::number(QryMain->recordCount()) + QStringLiteral(" 个");
}

// ------------------------------------------------------------- details

ClientWorkspace::Outcome ClientWorkspace::openDetail(int n)
{
    DataSet *d = m_details[n];
    if (d->isOpen())
        return {};
    d->setSql(kindOf(n).linkedSql());
    return opened(d);
}

ClientWorkspace::Outcome ClientWorkspace::OpenDetailQueries(bool all, int currentTab)
{
    const int bills = RecordCatalogue::info(RecordKind::SalesBill).detailTab;
    const auto openBills = [&] {
        Outcome r = openDetail(bills);
        if (r && QryDetail51->isLinked() && !QryDetail51->isOpen()) {
            QryDetail51->setSql(kSaleLinesSql);
            r = opened(QryDetail51);
        }
        return r;
    };
    // contacts and products are open whenever the list is
    const auto followsList = [](int n) {
        const RecordKind k = kindOf(n).kind;
        return k == RecordKind::Contact || k == RecordKind::CustomerProduct;
    };
    Outcome result;
    if (all) {
        for (int n = 1; n <= kTabs; ++n) {
            if (followsList(n) || n == bills)
                continue;
            const Outcome r = openDetail(n);
            if (result && !r)
                result = r;
        }
        const Outcome r = openBills();
        return result ? r : result;
    }
    if (currentTab < 1 || currentTab > kTabs || followsList(currentTab))
        return result;
    if (currentTab == bills)
        return m_details[bills]->isOpen() ? result : openBills();
    return openDetail(currentTab);
}

QString ClientWorkspace::ClientSummary() const
{
    static const char *lines[][2] = {{"  客户编号:", "F_code"},     {"  客户名称:", "F_name"},   {"  客户类型:", "F_type"},
                                     {"  行业类别:", "F_hangye"},   {"  客户来源:", "F_laiyuan"}, {"  国    家:", "F_country"},
                                     {"  省    份:", "F_province"}, {"  城    市:", "F_city"},    {"  邮    编:", "F_postcode"},
                                     {"  地    址:", "F_address"},  {"  电    话:", "F_phone"},   {"  传    真:", "F_fax"},
                                     {"  网    址:", "F_homepage"}, {"  电子信箱:", "F_email"},   {"  法人代表:", "F_enrol"},
                                     {"  主营产品:", "F_good"},     {"  客户需求:", "F_xuqiu"},   {"  业 务 员:", "F_empName"},
                                     {"  备注信息:", "F_mem"}};
    QStringList out{QString()};
    for (const auto &l : lines) {
        const QString field = QString::fromLatin1(l[1]);
        const int column = QryMain->fieldIndex(field);
        out.append(QString::fromUtf8(l[0])
                   + (QryMain->currentRow() >= 0 && column >= 0 ? QryMain->displayText(QryMain->currentRow(), column) : QryMain->text(field)));
    }
    return out.join(QLatin1Char('\n'));
}

ClientWorkspace::Outcome ClientWorkspace::BindDetailsToNewClient()
{
    Outcome result;
    for (RecordKind kind : {RecordKind::Contact, RecordKind::CustomerProduct}) {
        DataSet *d = detail(kind);
        d->detachMaster();
        d->close();
        d->setSql(RecordCatalogue::info(kind).linkedSql());
        // no number yet: NULL matches no row, not even a stray one that
        // already carries the number this customer will get
        d->setParam(QStringLiteral("F_cltID"), QVariant());
        const Outcome r = opened(d);
        if (result && !r)
            result = r;
    }
    return result;
}

ClientWorkspace::Outcome ClientWorkspace::RelinkClientDetails()
{
    Outcome result;
    for (RecordKind kind : {RecordKind::Contact, RecordKind::CustomerProduct}) {
        DataSet *d = detail(kind);
        d->cancelUpdates();
        d->close();
        d->setSql(RecordCatalogue::info(kind).linkedSql());
        d->attachMaster();
        const Outcome r = opened(d);
        if (result && !r)
            result = r;
    }
    return result;
}

ClientWorkspace::Outcome ClientWorkspace::PrepareSaleLines(bool currentBill)
{
    QryDetail51->detachMaster();
    QryDetail51->close();
    QryDetail51->setSql(kSaleLinesSql);
    // no bill: a code no bill has
    QryDetail51->setParam(QStringLiteral("F_code"),
                          currentBill ? detail(RecordKind::SalesBill)->value(QStringLiteral("F_code")) : QVariant());
    return opened(QryDetail51);
}

ClientWorkspace::Outcome ClientWorkspace::RelinkSaleLines()
{
    QryDetail51->cancelUpdates();
    QryDetail51->close();
    QryDetail51->setSql(kSaleLinesSql);
    QryDetail51->attachMaster();
    return detail(RecordKind::SalesBill)->isOpen() ? opened(QryDetail51) : Outcome();
}

// ------------------------------------------------------------- deletes

QString ClientWorkspace::deleteQuestion(int n) const
{
    const DataSet *d = detail(n);
    if (!d || d->isEmpty() || d->currentRow() < 0)
        return QString();
    return RecordKindInfo::fill(kindOf(n).messages.deleteQuestion, [d](const QString &field) { return d->text(field); });
}

ClientWorkspace::Outcome ClientWorkspace::deleteRecord(int n)
{
    DataSet *d = detail(n);
    if (!d || d->isEmpty() || d->currentRow() < 0)
        return Outcome::failed(QString(), QString());
    const qint64 id = d->keyOf(d->currentRow());
    QSqlDatabase db = database();
    QString error;
    if (kindOf(n).kind != RecordKind::SalesBill) {
        if (!Sql::execOn(db, QStringLiteral("delete from %1 where F_ID = :id").arg(kindOf(n).tableName()), {{QStringLiteral("id"), id}},
                         &error)) {
            qWarning("delete failed: %s", qPrintable(error));
            return Outcome::failed(Msg::DeleteFailedFor(error), error);
        }
        return opened(d);
    }
    // a sales bill goes with its lines, or not at all
    const QString code = d->text(QStringLiteral("F_code"));
    Transaction tr(db);
    bool ok = tr.isActive();
    if (!ok)
        error = tr.error();
    int sameCode = 0;
    if (ok) {
        QSqlQuery q(db);
        ok = Sql::exec(q, QStringLiteral("select count(*) from t_XSrec where F_code = :c"), {{QStringLiteral("c"), code}}) && q.next();
        if (ok)
            sameCode = q.value(0).toInt();
        else
            error = Sql::errorText(q.lastError());
    }
    // lines belong to a bill number; when another bill shares it, they stay with that bill
    if (ok && sameCode <= 1)
        ok = Sql::execOn(db, QStringLiteral("delete from t_XSdetail where F_code = :c"), {{QStringLiteral("c"), code}}, &error);
    if (ok)
        ok = Sql::execOn(db, QStringLiteral("delete from t_XSrec where F_ID = :id"), {{QStringLiteral("id"), id}}, &error);
    if (ok)
        ok = tr.commit(&error);
    if (!ok) {
        tr.rollback();
        qWarning("sales bill delete failed: %s", qPrintable(error));
        return Outcome::failed(Sql::isBusyError(error) ? Msg::DatabaseBusy() : kFailed, error);
    }
    Outcome result = opened(d);
    if (QryDetail51->isOpen()) {
        const Outcome lines = opened(QryDetail51);
        if (result && !lines)
            result = lines;
    }
    return result;
}

QString ClientWorkspace::deleteCustomerQuestion() const
{
    return QStringLiteral("删除当前客户，将删除当前客户所有相关记录，\n真的要删除当前客户") + QryMain->text(QStringLiteral("F_Name"))
           + QStringLiteral("吗？");
}

ClientWorkspace::Outcome ClientWorkspace::deleteCustomer(int currentTab)
{
    if (QryMain->isEmpty() || QryMain->currentRow() < 0)
        return Outcome::failed(QString(), QString());
    const qint64 cltID = QryMain->value(QStringLiteral("F_cltID")).toLongLong();
    const qint64 id = QryMain->keyOf(QryMain->currentRow());
    QSqlDatabase db = database();
    QStringList statements;
    if (cltID > 0)
        for (const char *table : {"t_linkman", "t_LXrec", "t_BJrec", "t_HTrec", "t_HFrec", "t_TSrec", "t_GooDrec", "t_TXrec"})
            statements.append(QStringLiteral("delete from %1 where F_cltID = :n").arg(QString::fromLatin1(table)));
    statements.append(QStringLiteral("delete from t_client where F_ID = :id"));
    Transaction tr(db);
    bool ok = tr.isActive();
    QString error = tr.error();
    for (const QString &s : std::as_const(statements)) {
        if (!ok)
            break;
        ok = Sql::execOn(db, s, {{QStringLiteral("n"), cltID}, {QStringLiteral("id"), id}}, &error);
    }
    if (ok)
        ok = tr.commit(&error);
    if (!ok) {
        tr.rollback();
        qWarning("customer delete failed: %s", qPrintable(error));
        return Outcome::failed(Sql::isBusyError(error) ? Msg::DatabaseBusy() : kFailed, error);
    }
    const int row = QryMain->currentRow();
    const Outcome result = RefreshClientList(m_statement, currentTab);
    if (!QryMain->isEmpty())
        QryMain->setCurrentRow(qMin(row, QryMain->recordCount() - 1));
    return result;
}

int ClientWorkspace::bulkSet(const QList<int> &rows, const QString &field, const QVariant &value)
{
    // the details need not follow each row on the way
    QList<DataSet *> linked;
    for (int n = 1; n <= kTabs; ++n)
        if (m_details[n]->isLinked()) {
            m_details[n]->detachMaster();
            linked.append(m_details[n]);
        }
    const int current = QryMain->currentRow();
    int failed = 0;
    for (int row : rows) {
        if (!QryMain->setCurrentRow(row) || !QryMain->setValue(field, value) || !QryMain->post()) {
            QryMain->cancel();
            ++failed;
        }
    }
    if (current >= 0)
        QryMain->setCurrentRow(current);
    for (DataSet *d : linked) {
        d->attachMaster();
        if (d->isOpen())
            d->reopen();
    }
    return failed;
}

ClientWorkspace::Outcome ClientWorkspace::deleteEmptyCustomers(int *removed)
{
    QString related;
    for (const char *table : {"t_linkman", "t_LXrec", "t_BJrec", "t_HTrec", "t_XSrec", "t_HFrec", "t_TSrec", "t_GooDrec",
                              "t_TXrec", "LdCltRec", "t_CJrec"})
        related += QStringLiteral(" and not exists (select 1 from %1 x where x.F_cltID = t_client.F_cltID)").arg(QString::fromLatin1(table));
    const QString where = QStringLiteral("COALESCE(F_code,'') = '' and COALESCE(F_name,'') = '' and (COALESCE(F_cltID,0) <= 0 or (1=1")
                          + related + QStringLiteral("))");
    QSqlDatabase db = database();
    QString error;
    QSqlQuery q(db);
    int n = 0;
    if (Sql::exec(q, QStringLiteral("select count(*) from t_client where ") + where) && q.next())
        n = q.value(0).toInt();
    else
        error = Sql::errorText(q.lastError());
    if (!error.isEmpty() || !Sql::execOn(db, QStringLiteral("delete from t_client where ") + where, {}, &error)) {
        qWarning("empty customers delete failed: %s", qPrintable(error));
        return Outcome::failed(Sql::isBusyError(error) ? Msg::DatabaseBusy() : Msg::OperationFailed(), error);
    }
    if (removed)
        *removed = n;
    return {};
}
