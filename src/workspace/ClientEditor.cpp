#include "ClientEditor.h"

#include "ClientWorkspace.h"
#include "app/CustomerNumbers.h"
#include "app/TdmData.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "platform/Messages.h"

#include <QDate>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>

namespace {
const QString kName = QStringLiteral("F_name");
const QString kCode = QStringLiteral("F_code");
const QString kCltID = QStringLiteral("F_cltID");

// Column sizes of t_client; the edit boxes take no more than this.
const QHash<QString, int> &lengths()
{
    static const QHash<QString, int> map = [] {
        QHash<QString, int> m;
        for (const char *c : {"F_code", "F_laiyuan", "F_country", "F_province", "F_city", "F_postcode", "F_phone", "F_fax",
                              "F_homepage", "F_email", "F_enrol", "F_shuihao", "F_khbank", "F_bankcode", "F_empName", "F_ZF1",
                              "F_ZF2", "F_ZF3", "F_ZF4", "F_ZF5", "F_LXRname", "F_LXRdept", "F_LXRduty", "F_LXRqq", "F_LXRemail"})
            m.insert(QString::fromLatin1(c).toLower(), 50);
        for (const char *c : {"F_name", "F_type"})
            m.insert(QString::fromLatin1(c).toLower(), 100);
        for (const char *c : {"F_hangye", "F_address", "F_good", "F_xuqiu", "F_LXRphone"})
            m.insert(QString::fromLatin1(c).toLower(), 255);
        return m;
    }();
    return map;
}

// The customer's own texts are saved trimmed; the main contact and the
// custom texts as typed, and the memo as typed.
bool savedTrimmed(const QString &column)
{
    const QString c = column.toLower();
    return !c.startsWith(QLatin1String("f_lxr")) && !c.startsWith(QLatin1String("f_zf")) && c != QLatin1String("f_mem");
}

} // namespace

ClientEditor::ClientEditor(ClientWorkspace *workspace, int currentTab, const QString &connection)
    : m_ws(workspace), m_tab(currentTab), m_connection(connection)
{
}

const QStringList &ClientEditor::columns()
{
    static const QStringList list = {
        QStringLiteral("F_code"),     QStringLiteral("F_name"),     QStringLiteral("F_type"),     QStringLiteral("F_hangye"),
        QStringLiteral("F_laiyuan"),  QStringLiteral("F_country"),  QStringLiteral("F_province"), QStringLiteral("F_city"),
        QStringLiteral("F_postcode"), QStringLiteral("F_address"),  QStringLiteral("F_phone"),    QStringLiteral("F_fax"),
        QStringLiteral("F_homepage"), QStringLiteral("F_email"),    QStringLiteral("F_enrol"),    QStringLiteral("F_shuihao"),
        QStringLiteral("F_khbank"),   QStringLiteral("F_bankcode"), QStringLiteral("F_good"),     QStringLiteral("F_xuqiu"),
        QStringLiteral("F_mem"),      QStringLiteral("F_useFlag"),  QStringLiteral("F_empName"),  QStringLiteral("F_editdate"),
        QStringLiteral("F_ZF1"),      QStringLiteral("F_ZF2"),      QStringLiteral("F_ZF3"),      QStringLiteral("F_ZF4"),
        QStringLiteral("F_ZF5"),      QStringLiteral("F_SZ1"),      QStringLiteral("F_SZ2"),      QStringLiteral("F_SZ3"),
        QStringLiteral("F_RQ1"),      QStringLiteral("F_RQ2"),      QStringLiteral("F_RQ3"),      QStringLiteral("F_LXRname"),
        QStringLiteral("F_LXRdept"),  QStringLiteral("F_LXRduty"),  QStringLiteral("F_LXRphone"), QStringLiteral("F_LXRqq"),
        QStringLiteral("F_LXRemail")};
    return list;
}

int ClientEditor::maxLength(const QString &column) { return lengths().value(column.toLower(), 0); }

bool ClientEditor::isDateColumn(const QString &column)
{
    const QString c = column.toLower();
    return c == QLatin1String("f_editdate") || c.startsWith(QLatin1String("f_rq"));
}

bool ClientEditor::isNumberColumn(const QString &column) { return column.toLower().startsWith(QLatin1String("f_sz")); }

int ClientEditor::queryInt(const QString &sql, const QVariantMap &params, bool *ok) const
{
    QSqlQuery q(Database::connection(m_connection));
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
    return dmData->NextDatedCode(QStringLiteral("select max(F_code) from t_client where F_code like :p") + SqlDialect::likeEscapeClause(),
                                 QString(), 3, {{QStringLiteral("p"), SqlDialect::escapeLike(day) + QLatin1Char('%')}});
}

QVariantMap ClientEditor::emptyFields()
{
    QVariantMap f;
    for (const QString &c : columns()) {
        if (isDateColumn(c))
            f.insert(c, QDate());
        else if (isNumberColumn(c))
            f.insert(c, 0.0);
        else if (c == QLatin1String("F_useFlag"))
            f.insert(c, false);
        else
            f.insert(c, QString());
    }
    f.insert(QStringLiteral("F_editdate"), QDate::currentDate());
    return f;
}

QVariantMap ClientEditor::currentFields() const
{
    QVariantMap f = emptyFields();
    const DataSet *m = m_ws->QryMain;
    if (m->currentRow() < 0)
        return f;
    for (const QString &c : columns()) {
        const QVariant v = m->value(c);
        if (isDateColumn(c)) {
            QDate d;
            if (!Format::isEmptyDate(v)) {
                const auto dt = Format::parseDateTime(Format::plainText(v));
                if (dt)
                    d = dt->date();
            }
            f.insert(c, d);
        } else if (isNumberColumn(c)) {
            f.insert(c, v.toDouble());
        } else if (c == QLatin1String("F_useFlag")) {
            f.insert(c, v.toBool());
        } else {
            f.insert(c, m->text(c));
        }
    }
    return f;
}

void ClientEditor::begin(int mode)
{
    m_mode = mode == Edit ? Edit : (mode == Copy ? Copy : New);
    m_focus.clear();
    m_loaded.clear();
    if (m_mode == Edit) {
        const DataSet *m = m_ws->QryMain;
        m_saveCltID = int(m->value(kCltID).toLongLong());
        m_editID = m->currentRow() >= 0 ? m->keyOf(m->currentRow()) : 0;
        if (m->currentRow() >= 0) {
            m_loaded.insert(kCltID, m->value(kCltID));
            for (const QString &c : columns())
                m_loaded.insert(c, m->value(c));
        }
        return;
    }
    startNew();
}

void ClientEditor::beginNext()
{
    m_mode = New;
    startNew();
}

void ClientEditor::startNew()
{
    m_editID = 0;
    m_saveCltID = 0;
    m_loaded.clear();
    m_ws->BindDetailsToNewClient();
}

void ClientEditor::end(bool ok)
{
    if (!ok) {
        m_ws->detail(2)->cancelUpdates();
        m_ws->detail(8)->cancelUpdates();
    }
    if (m_mode != Edit)
        m_ws->RelinkClientDetails();
}

// Contacts and products go with the customer: the row being typed is kept
// when it says something, new rows that say nothing are dropped, and every
// row carries the customer's number.
void ClientEditor::prepareDetailRows(int cltID)
{
    const auto blank = [](const DataSet *d, int row, const char *field) {
        return d->value(row, QString::fromLatin1(field)).toString().trimmed().isEmpty();
    };
    DataSet *contacts = m_ws->detail(2);
    DataSet *products = m_ws->detail(8);
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

bool ClientEditor::codeTaken(const QString &code) const
{
    // in modes 0 and 2 every customer is another one; F_ID is never 0
    const qint64 self = m_mode == Edit ? m_editID : 0;
    return !code.isEmpty()
           && queryInt(QStringLiteral("select F_ID from t_client where F_code = :code and F_ID <> :id"),
                       {{QStringLiteral("code"), code}, {QStringLiteral("id"), self}})
                  > 0;
}

ClientEditor::Outcome ClientEditor::saveOnce(QVariantMap &fields, bool autoCode, int minNumber, int *number, QString *error)
{
    QSqlDatabase db = Database::connection(m_connection);
    const SqlDialect &dialect = Database::dialectOf(db);
    Transaction tr(db);
    if (!tr.isActive()) {
        *error = tr.error();
        return Outcome::Failed;
    }
    // From here until the commit no other workstation adds or changes a
    // customer, so the code and number checked below are still free when they
    // are written.
    if (!CustomerNumbers::lockForNewCustomer(db, error))
        return Outcome::Failed;
    if (m_mode == Edit) {
        switch (Sql::lockAndCompareRow(db, QStringLiteral("t_client"), QStringLiteral("F_ID"), m_editID, m_loaded, error)) {
        case Sql::RowState::Unchanged:
            break;
        case Sql::RowState::Changed:
        case Sql::RowState::Gone:
            return Outcome::Changed;
        case Sql::RowState::Failed:
            return Outcome::Failed;
        }
    }
    const QString code = fields.value(kCode).toString().trimmed();
    if (codeTaken(code)) {
        const QString fresh = m_mode != Edit && autoCode ? nextClientCode() : QString();
        if (fresh.isEmpty())
            return Outcome::CodeTaken;
        fields.insert(kCode, fresh);
    }
    int cltID = m_saveCltID;
    if (m_mode != Edit) {
        cltID = CustomerNumbers::next(db, error);
        if (cltID > 0)
            cltID = qMax(cltID, minNumber);
    } else if (cltID <= 0)
        cltID = CustomerNumbers::forUnnumbered(db, m_editID, error);
    if (cltID <= 0)
        return Outcome::Failed;
    *number = cltID;

    prepareDetailRows(cltID);
    if (!m_ws->detail(2)->applyUpdates(error) || !m_ws->detail(8)->applyUpdates(error))
        return Outcome::Failed;

    QVariantMap values;
    values.insert(kCltID, cltID);
    for (const QString &c : columns()) {
        const QVariant v = fields.value(c);
        if (isDateColumn(c)) {
            const QDate d = v.toDate();
            values.insert(c, dialect.dateValue(d.isValid() ? d : QDate(1900, 8, 14)));
        } else if (isNumberColumn(c)) {
            values.insert(c, v.toDouble());
        } else if (c == QLatin1String("F_useFlag")) {
            values.insert(c, v.toBool());
        } else {
            values.insert(c, savedTrimmed(c) ? v.toString().trimmed() : v.toString());
        }
    }
    qint64 key = m_editID;
    bool written = false;
    if (m_mode == Edit) {
        QStringList sets;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            sets.append(it.key() + QStringLiteral(" = :") + it.key());
        QVariantMap params = values;
        params.insert(QStringLiteral("RowKey"), m_editID);
        written = Sql::execOn(db, QStringLiteral("update t_client set ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" where F_ID = :RowKey"),
                              params, error);
    } else {
        key = Sql::insertRow(db, QStringLiteral("t_client"), values, QStringLiteral("F_ID"), error);
        written = key > 0;
    }
    if (!written)
        return Sql::isUniqueViolation(*error) ? Outcome::NumberTaken : Outcome::Failed;
    if (!tr.commit(error))
        return Outcome::Failed;
    m_ws->detail(2)->commitUpdates();
    m_ws->detail(8)->commitUpdates();
    m_saveCltID = cltID;
    m_savedKey = key;
    return Outcome::Saved;
}

ClientEditor::GoodsLookup ClientEditor::fillProductFromGoods(int row)
{
    DataSet *products = m_ws->detail(8);
    if (row < 0 || row >= products->recordCount())
        return GoodsLookup::NoCode;
    if (products->isEditing() && products->currentRow() == row)
        products->post();
    const QString code = products->value(row, QStringLiteral("F_GDcode")).toString().trimmed();
    if (code.isEmpty())
        return GoodsLookup::NoCode;
    QSqlQuery q(Database::connection(m_connection));
    q.setForwardOnly(true);
    if (!Sql::exec(q, QStringLiteral("select F_code,f_name,f_type,f_spec,f_unit,f_price,f_price1,f_price2 from t_goods where f_code = :code"),
                   {{QStringLiteral("code"), code}})) {
        qWarning("goods lookup failed: %s", qPrintable(q.lastError().text()));
        ShowMess(Msg::OperationFailed(), MessError);
        return GoodsLookup::NotFound;
    }
    if (!q.next())
        return GoodsLookup::NotFound;
    static const char *fields[][2] = {{"F_GDname", "f_name"}, {"F_type", "f_type"}, {"F_spec", "f_spec"}, {"F_unit", "f_unit"}, {"F_price", "f_price"}};
    for (const auto &f : fields)
        products->setValue(row, products->fieldIndex(QString::fromLatin1(f[0])), q.value(QString::fromLatin1(f[1])));
    products->post();
    return GoodsLookup::Filled;
}

ClientEditor::Result ClientEditor::save(QVariantMap &fields, bool autoCode)
{
    m_focus.clear();
    const QString name = fields.value(kName).toString().trimmed();
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("当前客户名称不能为空！"), MessInfo);
        m_focus = kName;
        return Result::Invalid;
    }
    // in modes 0 and 2 every customer is another one; F_ID is never 0
    const qint64 self = m_mode == Edit ? m_editID : 0;
    const QString code = fields.value(kCode).toString().trimmed();
    // checked again inside the save; here so that the operator is told
    // before the question about the name
    if (codeTaken(code)) {
        // an existing customer keeps the code it is known by
        const QString fresh = m_mode != Edit && autoCode ? nextClientCode() : QString();
        if (fresh.isEmpty()) {
            ShowMess(QStringLiteral("客户助记码重复，请重新输入！"), MessInfo);
            m_focus = kCode;
            return Result::Invalid;
        }
        fields.insert(kCode, fresh);
    }
    if (queryInt(QStringLiteral("select F_ID from t_client where F_name = :name and F_ID <> :id"),
                 {{QStringLiteral("name"), name}, {QStringLiteral("id"), self}})
            > 0
        && ShowMess(QStringLiteral("客户名称重复，重新输入吗？"), MessQuestion) == 1) {
        m_focus = kName;
        return Result::Invalid;
    }

    QString error;
    Outcome outcome = Outcome::Failed;
    int minNumber = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        int number = 0;
        error.clear();
        outcome = saveOnce(fields, autoCode, minNumber, &number, &error);
        if (outcome != Outcome::NumberTaken || m_mode == Edit)
            break;
        // another workstation took the number in the meantime: a later one
        minNumber = number + 1;
    }
    switch (outcome) {
    case Outcome::Saved:
        break;
    case Outcome::CodeTaken:
        ShowMess(QStringLiteral("客户助记码重复，请重新输入！"), MessInfo);
        m_focus = kCode;
        return Result::Invalid;
    case Outcome::Changed:
        ShowMess(Msg::RecordChanged(), MessWarning);
        return Result::Conflict;
    case Outcome::NumberTaken:
    case Outcome::Failed:
        qWarning("customer save failed: %s", qPrintable(error));
        ShowMess(Msg::SaveFailedFor(error), MessError);
        return Result::Failed;
    }

    // the save is done; what follows only shows it
    DataSet *list = m_ws->QryMain;
    if (!m_ws->ReopenClientList(m_tab)) {
        ShowMess(QStringLiteral("客户资料已保存，但客户列表未能刷新，请检查数据连接后重新查询。"), MessWarning);
        return Result::SavedRefreshFailed;
    }
    const int row = list->rowOfKey(m_savedKey);
    if (row >= 0)
        list->setCurrentRow(row);
    else if (m_mode != Edit)
        list->last();
    return Result::Saved;
}
