#include "DataSet.h"

#include "Database.h"
#include "Format.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

#include <algorithm>
#include <limits>

namespace {
bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool an = a.isNull() || !a.isValid();
    const bool bn = b.isNull() || !b.isValid();
    if (an || bn)
        return an == bn;
    return a == b && a.toString() == b.toString();
}

bool isNumberType(int t)
{
    switch (t) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

// Orders two values: NULL first, numbers by value, text by the Chinese
// collation (pinyin), other values by their text.
int compareValues(const QVariant &a, const QVariant &b, const QCollator &collator)
{
    const bool an = a.isNull() || !a.isValid();
    const bool bn = b.isNull() || !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    if (isNumberType(a.typeId()) && isNumberType(b.typeId())) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return collator.compare(a.toString(), b.toString());
}

QCollator makeCollator()
{
    QCollator c(QLocale(QLocale::Chinese, QLocale::China));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

QString errorText(const QSqlQuery &q)
{
    const QString t = q.lastError().text().trimmed();
    return t.isEmpty() ? QStringLiteral("unknown error") : t;
}
} // namespace

DataSet::DataSet(QObject *parent) : QAbstractTableModel(parent) {}

DataSet::~DataSet() = default;

QSqlDatabase DataSet::database() const { return Database::connection(m_connection); }

void DataSet::setSql(const QString &sql)
{
    m_sql = sql;
    if (m_updateTableAuto)
        m_updateTable.clear();
    m_tableColumns.clear();
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    for (auto it = m_params.begin(); it != m_params.end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
            it.value() = value;
            return;
        }
    }
    m_params.insert(name, value);
}

QVariant DataSet::param(const QString &name) const
{
    for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return QVariant();
}

// ---------------------------------------------------------------- open, close

bool DataSet::parseSimpleSelect(QString *table, QString *rest) const
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(\s.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(m_sql);
    if (!m.hasMatch())
        return false;
    const QString r = m.captured(2);
    static const QRegularExpression tail(QStringLiteral(R"(^\s*((where|order\s+by)\b.*)?$)"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    if (!tail.match(r).hasMatch())
        return false;
    // outside literals, no grouping, union or joins
    QString bare;
    bool inString = false;
    for (const QChar c : r) {
        if (c == QLatin1Char('\''))
            inString = !inString;
        else if (!inString)
            bare += c.toLower();
    }
    static const QRegularExpression forbidden(QStringLiteral(R"(\b(group\s+by|union|join|having|limit|top)\b)"));
    if (forbidden.match(bare).hasMatch())
        return false;
    *table = m.captured(1);
    *rest = r;
    return true;
}

bool DataSet::tableHasKey(const QString &table) const
{
    auto it = m_tableRecords.find(table.toLower());
    if (it == m_tableRecords.end()) {
        QSqlQuery q(database());
        QSqlRecord rec;
        if (q.exec(QStringLiteral("select * from %1 where 1=0").arg(table)))
            rec = q.record();
        it = m_tableRecords.insert(table.toLower(), rec);
    }
    return it->indexOf(m_keyField) >= 0 || [&] {
        for (int i = 0; i < it->count(); ++i)
            if (it->fieldName(i).compare(m_keyField, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }();
}

void DataSet::readFields(const QSqlRecord &record)
{
    m_fields.clear();
    m_fieldIndex.clear();
    const SqlDialect &dialect = Database::dialectOf(database());
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField f = record.field(i);
        Field field;
        field.name = f.name();
        field.typeId = f.metaType().id();
        field.boolean = dialect.isBooleanField(f);
        field.hook = m_hooks.value(field.name.toLower());
        m_fieldIndex.insert(field.name.toLower(), int(m_fields.size()));
        m_fields.append(field);
    }
}

QVariant DataSet::normalized(const QVariant &v) const
{
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.isNull() ? QVariant() : QVariant(Format::dateTimeText(v.toDateTime()));
    case QMetaType::QDate:
        return v.isNull() ? QVariant() : QVariant(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    default:
        return v;
    }
}

bool DataSet::openFull()
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!Sql::exec(q, m_sql, m_params)) {
        m_lastError = errorText(q);
        return false;
    }
    readFields(q.record());
    const int n = fieldCount();
    const int keyCol = keyColumn();
    while (q.next()) {
        Row r;
        r.values.resize(n);
        for (int i = 0; i < n; ++i)
            r.values[i] = normalized(q.value(i));
        if (keyCol >= 0)
            r.key = r.values.at(keyCol).toLongLong();
        m_rows.append(std::move(r));
    }
    return true;
}

bool DataSet::openKeyed(const QString &table, const QString &rest)
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!Sql::exec(q, QStringLiteral("select %1 from %2%3").arg(m_keyField, table, rest), m_params)) {
        m_lastError = errorText(q);
        return false;
    }
    QVector<qint64> keys;
    while (q.next())
        keys.append(q.value(0).toLongLong());
    q.finish();
    readFields(m_tableRecords.value(table.toLower()));
    m_rows.resize(keys.size());
    for (int i = 0; i < keys.size(); ++i)
        m_rows[i].key = keys.at(i);
    m_keyed = true;
    m_keyTable = table;
    m_keyRest = rest;
    return true;
}

bool DataSet::open()
{
    if (m_open)
        return true;
    m_lastError.clear();
    if (m_master && m_linked)
        setParam(m_masterParam, masterValue());
    beginResetModel();
    m_rows.clear();
    m_view.clear();
    m_viewPos.clear();
    m_keyed = false;
    m_keyToStorage.clear();
    m_loadOrder.clear();
    m_columnCache.clear();
    m_appliedKeys.clear();
    m_sortText.clear();
    m_sortKeys.clear();
    m_editStorage = -1;
    m_editBuffer.clear();
    m_fields.clear();
    m_fieldIndex.clear();

    QString table, rest;
    const bool simple = parseSimpleSelect(&table, &rest);
    if (simple && m_updateTableAuto)
        m_updateTable = table;
    bool ok;
    if (simple && tableHasKey(table))
        ok = openKeyed(table, rest);
    else
        ok = openFull();
    if (!ok) {
        m_rows.clear();
        m_fields.clear();
        m_fieldIndex.clear();
        endResetModel();
        m_current = -1;
        emit currentRowChanged(-1);
        return false;
    }
    m_open = true;
    buildView();
    endResetModel();
    setCurrentInternal(m_view.isEmpty() ? -1 : 0, true);
    emit opened();
    return true;
}

void DataSet::close()
{
    if (!m_open && m_rows.isEmpty())
        return;
    beginResetModel();
    m_open = false;
    m_rows.clear();
    m_view.clear();
    m_viewPos.clear();
    m_keyToStorage.clear();
    m_loadOrder.clear();
    m_columnCache.clear();
    m_appliedKeys.clear();
    m_editStorage = -1;
    m_editBuffer.clear();
    m_keyed = false;
    endResetModel();
    m_current = -1;
    emit currentRowChanged(-1);
    emit closed();
}

bool DataSet::reopen()
{
    const qint64 key = m_current >= 0 ? keyOf(m_current) : 0;
    const int oldRow = m_current;
    close();
    if (!open())
        return false;
    int row = key > 0 ? rowOfKey(key) : -1;
    if (row < 0 && oldRow >= 0 && !m_view.isEmpty())
        row = qMin(oldRow, recordCount() - 1);
    if (row > 0)
        setCurrentRow(row);
    return true;
}

// ------------------------------------------------------------------ reading

int DataSet::keyColumn() const { return fieldIndex(m_keyField); }

void DataSet::trimLoaded() const
{
    if (int(m_loadOrder.size()) <= kMaxLoadedRows)
        return;
    const int keep = kMaxLoadedRows * 3 / 4;
    const int currentStorage = storageOf(m_current);
    while (int(m_loadOrder.size()) > keep) {
        const int s = m_loadOrder.front();
        m_loadOrder.pop_front();
        if (s < 0 || s >= m_rows.size())
            continue;
        Row &r = m_rows[s];
        if (r.status != Unchanged || s == m_editStorage || s == currentStorage)
            continue;
        r.values = QVector<QVariant>();
    }
}

void DataSet::loadPage(const QVector<int> &storages) const
{
    if (storages.isEmpty())
        return;
    QHash<qint64, int> wanted;
    qint64 low = std::numeric_limits<qint64>::max(), high = std::numeric_limits<qint64>::min();
    for (int i = 0; i < storages.size(); ++i) {
        const qint64 key = m_rows.at(storages.at(i)).key;
        wanted.insert(key, storages.at(i));
        low = qMin(low, key);
        high = qMax(high, key);
    }
    QString sql;
    QVariantMap params;
    if (high - low < qint64(storages.size()) * 2) {
        // keys close together (the usual "order by F_ID" list) are read as one
        // range of the key's index, about twice as fast as a lookup per key;
        // rows of the range that are not wanted are passed over
        sql = QStringLiteral("select * from %1 where %2 >= :klow and %2 <= :khigh").arg(m_keyTable, m_keyField);
        params.insert(QStringLiteral("klow"), low);
        params.insert(QStringLiteral("khigh"), high);
    } else {
        QStringList marks;
        for (int i = 0; i < storages.size(); ++i) {
            marks.append(QStringLiteral(":k%1").arg(i));
            params.insert(QStringLiteral("k%1").arg(i), m_rows.at(storages.at(i)).key);
        }
        sql = QStringLiteral("select * from %1 where %2 in (%3)").arg(m_keyTable, m_keyField, marks.join(QLatin1Char(',')));
    }
    QSqlQuery q(database());
    q.setForwardOnly(true);
    const int n = fieldCount();
    const int keyCol = keyColumn();
    if (Sql::exec(q, sql, params)) {
        while (q.next()) {
            const qint64 key = q.value(keyCol).toLongLong();
            const auto it = wanted.find(key);
            if (it == wanted.end())
                continue;
            Row &r = m_rows[it.value()];
            r.values.resize(n);
            for (int i = 0; i < n; ++i)
                r.values[i] = normalized(q.value(i));
            m_loadOrder.push_back(it.value());
            wanted.erase(it);
        }
    }
    // rows gone since the keys were read show empty, and are not asked for again
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        Row &r = m_rows[it.value()];
        r.values = QVector<QVariant>(n);
        if (keyCol >= 0)
            r.values[keyCol] = it.key();
        m_loadOrder.push_back(it.value());
    }
}

void DataSet::ensureLoaded(int storage) const
{
    if (storage < 0 || storage >= m_rows.size() || !m_rows.at(storage).values.isEmpty() || fieldCount() == 0)
        return;
    trimLoaded();
    QVector<int> page;
    const int pos = storage < m_viewPos.size() ? m_viewPos.at(storage) : -1;
    if (pos < 0) {
        page.append(storage);
    } else {
        const int from = qMax(0, pos - kPageSize / 4);
        const int to = qMin(int(m_view.size()), from + kPageSize);
        for (int i = from; i < to; ++i)
            if (m_rows.at(m_view.at(i)).values.isEmpty())
                page.append(m_view.at(i));
    }
    loadPage(page);
}

const QVector<QVariant> &DataSet::rowValues(int storage) const
{
    ensureLoaded(storage);
    return m_rows.at(storage).values;
}

QVariant DataSet::storageValue(int storage, int column) const
{
    if (storage < 0 || storage >= m_rows.size() || column < 0 || column >= fieldCount())
        return QVariant();
    if (storage == m_editStorage)
        return m_editBuffer.value(column);
    const Row &r = m_rows.at(storage);
    if (!r.values.isEmpty())
        return r.values.value(column);
    if (m_keyed)
        return columnCache(column).value(storage);
    return QVariant();
}

const QVector<QVariant> &DataSet::columnCache(int column) const
{
    auto it = m_columnCache.find(column);
    if (it != m_columnCache.end())
        return *it;
    QVector<QVariant> values(m_rows.size());
    if (m_keyToStorage.isEmpty())
        for (int i = 0; i < m_rows.size(); ++i)
            if (m_rows.at(i).key > 0)
                m_keyToStorage.insert(m_rows.at(i).key, i);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (Sql::exec(q, QStringLiteral("select %1, %2 from %3%4").arg(m_keyField, fieldName(column), m_keyTable, m_keyRest),
                  m_params)) {
        while (q.next()) {
            const int s = m_keyToStorage.value(q.value(0).toLongLong(), -1);
            if (s >= 0)
                values[s] = normalized(q.value(1));
        }
    }
    return *m_columnCache.insert(column, values);
}

QString DataSet::fieldName(int column) const
{
    return column >= 0 && column < m_fields.size() ? m_fields.at(column).name : QString();
}

int DataSet::fieldIndex(const QString &name) const { return m_fieldIndex.value(name.toLower(), -1); }

bool DataSet::isBooleanField(int column) const
{
    return column >= 0 && column < m_fields.size() && m_fields.at(column).boolean;
}

bool DataSet::isNumericField(int column) const
{
    return column >= 0 && column < m_fields.size() && isNumberType(m_fields.at(column).typeId)
           && !m_fields.at(column).boolean;
}

QVariant DataSet::value(const QString &field) const { return value(m_current, fieldIndex(field)); }

QVariant DataSet::value(int row, const QString &field) const { return value(row, fieldIndex(field)); }

QVariant DataSet::value(int row, int column) const
{
    const int s = storageOf(row);
    if (s < 0 || column < 0 || column >= fieldCount())
        return QVariant();
    if (s == m_editStorage)
        return m_editBuffer.value(column);
    return rowValues(s).value(column);
}

QString DataSet::text(const QString &field) const { return Format::plainText(value(field)); }

QString DataSet::displayText(int row, int column) const
{
    const QVariant v = value(row, column);
    if (column >= 0 && column < m_fields.size() && m_fields.at(column).hook)
        return m_fields.at(column).hook(v);
    return Format::plainText(v);
}

QVariantMap DataSet::currentRecord() const
{
    QVariantMap out;
    if (m_current < 0)
        return out;
    for (int i = 0; i < fieldCount(); ++i)
        out.insert(fieldName(i), value(m_current, i));
    return out;
}

qint64 DataSet::keyOf(int row) const
{
    const int s = storageOf(row);
    if (s < 0)
        return 0;
    if (m_rows.at(s).key != 0 || m_keyed)
        return m_rows.at(s).key;
    const int kc = keyColumn();
    return kc >= 0 ? value(row, kc).toLongLong() : 0;
}

int DataSet::rowOfKey(qint64 key) const
{
    if (key == 0)
        return -1;
    if (m_keyToStorage.isEmpty())
        for (int i = 0; i < m_rows.size(); ++i)
            if (m_rows.at(i).key != 0)
                m_keyToStorage.insert(m_rows.at(i).key, i);
    const int s = m_keyToStorage.value(key, -1);
    if (s >= 0 && s < m_viewPos.size())
        return m_viewPos.at(s);
    return -1;
}

void DataSet::setDisplayHook(const QString &field, DisplayHook hook)
{
    const int column = fieldIndex(field);
    if (column >= 0)
        m_fields[column].hook = hook;
    m_hooks.insert(field.toLower(), std::move(hook));
    if (!m_view.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void DataSet::setEmptyDateFields(const QStringList &fields)
{
    for (const QString &f : fields)
        setDisplayHook(f, Format::emptyDateHook);
}

// ----------------------------------------------------------------- position

bool DataSet::setCurrentRow(int row)
{
    if (row < 0 || row >= recordCount())
        return false;
    setCurrentInternal(row, false);
    return m_current == row;
}

void DataSet::setCurrentInternal(int row, bool force)
{
    if (row == m_current && !force)
        return;
    if (m_editStorage >= 0 && storageOf(row) != m_editStorage && m_open) {
        if (!post())
            return;
        // posting may have removed rows
        if (row >= recordCount())
            row = recordCount() - 1;
    }
    m_current = row;
    emit currentRowChanged(row);
}

void DataSet::first()
{
    if (!isEmpty())
        setCurrentRow(0);
}

void DataSet::prior()
{
    if (m_current > 0)
        setCurrentRow(m_current - 1);
}

void DataSet::next()
{
    if (m_current >= 0 && m_current < recordCount() - 1)
        setCurrentRow(m_current + 1);
}

void DataSet::last()
{
    if (!isEmpty())
        setCurrentRow(recordCount() - 1);
}

bool DataSet::locate(const QString &field, const QVariant &value, Qt::CaseSensitivity cs)
{
    const int col = fieldIndex(field);
    if (col < 0)
        return false;
    const bool number = isNumberType(value.typeId());
    const QString text = value.toString();
    for (int row = 0; row < recordCount(); ++row) {
        const QVariant v = storageValue(m_view.at(row), col);
        bool match;
        if (v.isNull() || !v.isValid())
            match = value.isNull() || !value.isValid();
        else if (number && isNumberType(v.typeId()))
            match = v.toDouble() == value.toDouble();
        else
            match = v.toString().compare(text, cs) == 0;
        if (match) {
            setCurrentRow(row);
            return m_current == row;
        }
    }
    return false;
}

// -------------------------------------------------------------------- order

void DataSet::rebuildViewPos()
{
    m_viewPos.fill(-1, m_rows.size());
    for (int i = 0; i < m_view.size(); ++i)
        m_viewPos[m_view.at(i)] = i;
}

void DataSet::buildView()
{
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).status != Deleted)
            m_view.append(i);
    applySort();
}

void DataSet::applySort()
{
    if (!m_sortKeys.isEmpty()) {
        const QCollator collator = makeCollator();
        // one pass per key column: the values, with collation keys for text
        struct KeyCol
        {
            QVector<QVariant> values;
            bool desc;
        };
        QVector<KeyCol> cols;
        for (const auto &[col, desc] : std::as_const(m_sortKeys)) {
            KeyCol kc;
            kc.desc = desc;
            kc.values.resize(m_rows.size());
            for (int s : std::as_const(m_view))
                kc.values[s] = storageValue(s, col);
            cols.append(std::move(kc));
        }
        std::stable_sort(m_view.begin(), m_view.end(), [&](int a, int b) {
            for (const KeyCol &kc : cols) {
                const int c = compareValues(kc.values.at(a), kc.values.at(b), collator);
                if (c != 0)
                    return kc.desc ? c > 0 : c < 0;
            }
            return false;
        });
    }
    rebuildViewPos();
}

void DataSet::setSortText(const QString &sortText)
{
    if (m_editStorage >= 0)
        post();
    m_sortText = sortText;
    m_sortKeys.clear();
    const auto parts = sortText.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        if (words.isEmpty())
            continue;
        const int col = fieldIndex(words.first());
        if (col < 0)
            continue;
        const bool desc = words.size() > 1 && words.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        m_sortKeys.append({col, desc});
    }
    if (!m_open)
        return;
    const int currentStorage = storageOf(m_current);
    emit layoutAboutToBeChanged();
    buildView();
    emit layoutChanged();
    if (currentStorage >= 0) {
        m_current = m_viewPos.value(currentStorage, -1);
        emit currentRowChanged(m_current);
    }
}

double DataSet::columnSum(const QString &field) const
{
    const int col = fieldIndex(field);
    if (col < 0)
        return 0;
    double sum = 0;
    for (int s : m_view)
        sum += storageValue(s, col).toDouble();
    return sum;
}

// ------------------------------------------------------------------- master

void DataSet::setMaster(DataSet *master, const QString &param, const QString &masterField, MasterValueFilter valueFilter)
{
    m_masterFilter = std::move(valueFilter);
    if (m_masterConn)
        disconnect(m_masterConn);
    m_master = master;
    m_masterParam = param;
    m_masterField = masterField.isEmpty() ? param : masterField;
    m_linked = master != nullptr;
    if (master)
        m_masterConn = connect(master, &DataSet::currentRowChanged, this, &DataSet::onMasterChanged);
}

void DataSet::detachMaster() { m_linked = false; }

QVariant DataSet::masterValue() const
{
    const QVariant v = m_master ? m_master->value(m_masterField) : QVariant();
    return m_masterFilter ? m_masterFilter(v) : v;
}

void DataSet::attachMaster()
{
    if (!m_master)
        return;
    m_linked = true;
    setParam(m_masterParam, masterValue());
}

void DataSet::onMasterChanged()
{
    if (!m_linked || !m_master)
        return;
    setParam(m_masterParam, masterValue());
    if (m_open) {
        close();
        open();
    }
}

// ------------------------------------------------------------------ editing

void DataSet::setUpdateTable(const QString &table, const QString &keyField)
{
    m_updateTable = table;
    m_updateTableAuto = table.isEmpty();
    m_keyField = keyField;
    m_tableColumns.clear();
}

QStringList DataSet::tableColumns() const
{
    if (m_tableColumns.isEmpty() && !m_updateTable.isEmpty()) {
        // the columns as a statement sees them: PostgreSQL folds an unquoted
        // name such as t_GooDrec, which the driver's table lookup does not
        QSqlQuery q(database());
        QSqlRecord rec;
        if (q.exec(QStringLiteral("select * from %1 where 1=0").arg(m_updateTable)))
            rec = q.record();
        for (int i = 0; i < rec.count(); ++i)
            m_tableColumns.append(rec.fieldName(i).toLower());
    }
    return m_tableColumns;
}

bool DataSet::append()
{
    if (!m_open)
        return false;
    if (m_editStorage >= 0 && !post())
        return false;
    Row r;
    r.values = QVector<QVariant>(fieldCount());
    r.status = Inserted;
    const int storage = int(m_rows.size());
    const int row = int(m_view.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(r);
    m_view.append(storage);
    m_viewPos.append(row);
    endInsertRows();
    m_editStorage = storage;
    m_editState = State::Insert;
    m_editBuffer = r.values;
    m_current = row;
    emit currentRowChanged(row);
    return true;
}

bool DataSet::setValue(const QString &field, const QVariant &value)
{
    const int col = fieldIndex(field);
    if (col < 0 || m_current < 0)
        return false;
    return setValue(m_current, col, value);
}

bool DataSet::setValue(int row, int column, const QVariant &value)
{
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return false;
    if (row != m_current) {
        setCurrentInternal(row, false);
        if (m_current != row)
            return false;
    }
    const int s = m_view.at(row);
    if (m_editStorage < 0) {
        m_editStorage = s;
        m_editState = m_rows.at(s).status == Inserted ? State::Insert : State::Edit;
        m_editBuffer = rowValues(s);
        if (m_editBuffer.size() != fieldCount())
            m_editBuffer.resize(fieldCount());
    }
    m_editBuffer[column] = value;
    m_columnCache.remove(column);
    emit dataChanged(index(row, column), index(row, column));
    if (m_fieldChangeHook && !m_inFieldHook) {
        m_inFieldHook = true;
        m_fieldChangeHook(*this, row, fieldName(column));
        m_inFieldHook = false;
    }
    return true;
}

void DataSet::finishEdit()
{
    m_editStorage = -1;
    m_editState = State::Browse;
    m_editBuffer.clear();
}

bool DataSet::post()
{
    if (m_editStorage < 0)
        return true;
    const int s = m_editStorage;
    Row &r = m_rows[s];
    if (m_cached) {
        if (r.status == Unchanged) {
            r.original = rowValues(s);
            r.status = Modified;
        }
        r.values = m_editBuffer;
        finishEdit();
        emit dataEdited();
        return true;
    }
    QString error;
    if (!writeRow(s, &error)) {
        m_lastError = error;
        return false;
    }
    finishEdit();
    m_columnCache.clear();
    const int row = m_viewPos.value(s, -1);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, qMax(0, columnCount() - 1)));
    emit dataEdited();
    return true;
}

bool DataSet::writeRow(int storage, QString *error)
{
    Row &r = m_rows[storage];
    if (m_updateTable.isEmpty()) {
        *error = QStringLiteral("没有可以更新的数据表");
        return false;
    }
    if (m_editState == State::Insert || r.status == Inserted) {
        qint64 key = 0;
        if (!writeInsert(r, m_editBuffer, error, &key))
            return false;
        r.key = key;
        r.status = Unchanged;
        r.values = m_editBuffer;
        const int kc = keyColumn();
        if (kc >= 0)
            r.values[kc] = key;
        m_keyToStorage.clear();
        if (key > 0)
            reloadRow(storage);
        return true;
    }
    if (!writeUpdate(r, m_editBuffer, rowValues(storage), error))
        return false;
    r.values = m_editBuffer;
    return true;
}

bool DataSet::reloadRow(int storage)
{
    Row &r = m_rows[storage];
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!Sql::exec(q, QStringLiteral("select * from %1 where %2 = :k").arg(m_updateTable, m_keyField), {{QStringLiteral("k"), r.key}})
        || !q.next())
        return false;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < fieldCount(); ++i) {
        const int j = rec.indexOf(fieldName(i));
        if (j >= 0)
            r.values[i] = normalized(q.value(j));
    }
    return true;
}

bool DataSet::writeInsert(Row &, const QVector<QVariant> &values, QString *error, qint64 *newKey) const
{
    const QStringList cols = tableColumns();
    QVariantMap map;
    for (int i = 0; i < fieldCount(); ++i) {
        const QString name = fieldName(i);
        if (name.compare(m_keyField, Qt::CaseInsensitive) == 0 || !cols.contains(name.toLower()))
            continue;
        const QVariant v = values.value(i);
        if (v.isNull() || !v.isValid())
            continue;
        map.insert(name, v);
    }
    const qint64 key = Sql::insertRow(database(), m_updateTable, map, m_keyField, error);
    if (key < 0)
        return false;
    *newKey = key;
    return true;
}

bool DataSet::writeUpdate(const Row &row, const QVector<QVariant> &values, const QVector<QVariant> &original,
                          QString *error) const
{
    const QStringList cols = tableColumns();
    QStringList sets;
    QVariantMap params;
    for (int i = 0; i < fieldCount(); ++i) {
        const QString name = fieldName(i);
        if (name.compare(m_keyField, Qt::CaseInsensitive) == 0 || !cols.contains(name.toLower()))
            continue;
        if (sameValue(values.value(i), original.value(i)))
            continue;
        const QString p = QStringLiteral("v%1").arg(i);
        sets.append(name + QStringLiteral(" = :") + p);
        params.insert(p, values.value(i));
    }
    if (sets.isEmpty())
        return true;
    if (row.key == 0) {
        *error = QStringLiteral("记录没有主键，不能更新");
        return false;
    }
    params.insert(QStringLiteral("kelmorkey"), row.key);
    return Sql::execOn(database(),
                       QStringLiteral("update %1 set %2 where %3 = :kelmorkey").arg(m_updateTable, sets.join(QLatin1Char(',')), m_keyField),
                       params, error);
}

bool DataSet::writeDelete(qint64 key, QString *error) const
{
    if (m_updateTable.isEmpty()) {
        *error = QStringLiteral("没有可以更新的数据表");
        return false;
    }
    return Sql::execOn(database(), QStringLiteral("delete from %1 where %2 = :k").arg(m_updateTable, m_keyField),
                       {{QStringLiteral("k"), key}}, error);
}

void DataSet::cancel()
{
    if (m_editStorage < 0)
        return;
    const int s = m_editStorage;
    const Row &r = m_rows.at(s);
    // an appended row that was never posted goes away
    const bool neverPosted = m_editState == State::Insert && r.status == Inserted
                             && std::all_of(r.values.cbegin(), r.values.cend(), [](const QVariant &v) { return v.isNull(); });
    finishEdit();
    if (neverPosted) {
        m_rows[s].status = Deleted;
        m_rows[s].key = 0;
        removeFromView(s);
        return;
    }
    const int row = m_viewPos.value(s, -1);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, qMax(0, columnCount() - 1)));
}

void DataSet::removeFromView(int storage)
{
    const int row = m_viewPos.value(storage, -1);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_view.removeAt(row);
    rebuildViewPos();
    endRemoveRows();
    int next = m_current;
    if (next >= recordCount())
        next = recordCount() - 1;
    m_current = -2; // force the signal
    setCurrentInternal(next, true);
}

bool DataSet::deleteRow(int row)
{
    const int s = storageOf(row);
    if (s < 0)
        return false;
    if (s == m_editStorage) {
        const bool inserted = m_rows.at(s).status == Inserted;
        finishEdit();
        if (inserted) {
            m_rows[s].status = Deleted;
            m_rows[s].key = 0;
            removeFromView(s);
            emit dataEdited();
            return true;
        }
    } else if (m_editStorage >= 0 && !post()) {
        return false;
    }
    Row &r = m_rows[s];
    if (!m_cached) {
        QString error;
        if (r.key != 0 && !writeDelete(r.key, &error)) {
            m_lastError = error;
            return false;
        }
        r.key = 0;
    } else if (r.status == Inserted) {
        r.key = 0;
    } else if (r.status == Modified) {
        r.values = r.original;
    }
    r.status = Deleted;
    m_columnCache.clear();
    removeFromView(s);
    emit dataEdited();
    return true;
}

bool DataSet::applyUpdates(QString *error)
{
    if (m_editStorage >= 0 && !post()) {
        if (error)
            *error = m_lastError;
        return false;
    }
    m_appliedKeys.clear();
    QString err;
    for (int s = 0; s < m_rows.size(); ++s) {
        Row &r = m_rows[s];
        bool ok = true;
        switch (r.status) {
        case Deleted:
            if (r.key != 0)
                ok = writeDelete(r.key, &err);
            break;
        case Modified:
            ok = writeUpdate(r, r.values, r.original, &err);
            break;
        case Inserted: {
            qint64 key = 0;
            ok = writeInsert(r, r.values, &err, &key);
            if (ok)
                m_appliedKeys.insert(s, key);
            break;
        }
        case Unchanged:
            break;
        }
        if (!ok) {
            m_appliedKeys.clear();
            m_lastError = err;
            if (error)
                *error = err;
            return false;
        }
    }
    return true;
}

void DataSet::commitUpdates()
{
    const int kc = keyColumn();
    for (int s = 0; s < m_rows.size(); ++s) {
        Row &r = m_rows[s];
        switch (r.status) {
        case Deleted:
            r.key = 0;
            break;
        case Modified:
            r.status = Unchanged;
            r.original.clear();
            break;
        case Inserted:
            r.status = Unchanged;
            r.key = m_appliedKeys.value(s, 0);
            if (kc >= 0 && kc < r.values.size())
                r.values[kc] = r.key;
            break;
        case Unchanged:
            break;
        }
    }
    m_appliedKeys.clear();
    m_keyToStorage.clear();
    emit dataEdited();
}

void DataSet::cancelUpdates()
{
    finishEdit();
    beginResetModel();
    for (Row &r : m_rows) {
        switch (r.status) {
        case Modified:
            r.values = r.original;
            r.original.clear();
            r.status = Unchanged;
            break;
        case Inserted:
            r.status = Deleted;
            r.key = 0;
            break;
        case Deleted:
            if (r.key != 0)
                r.status = Unchanged;
            break;
        case Unchanged:
            break;
        }
    }
    m_appliedKeys.clear();
    m_columnCache.clear();
    buildView();
    endResetModel();
    const int old = m_current;
    setCurrentInternal(m_view.isEmpty() ? -1 : qBound(0, old, recordCount() - 1), true);
}

bool DataSet::hasPendingUpdates() const
{
    if (m_editStorage >= 0)
        return true;
    for (const Row &r : m_rows) {
        if (r.status == Modified || r.status == Inserted || (r.status == Deleted && r.key != 0))
            return true;
    }
    return false;
}

// -------------------------------------------------------------------- model

int DataSet::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : recordCount(); }

int DataSet::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : fieldCount(); }

QVariant DataSet::data(const QModelIndex &idx, int role) const
{
    if (!idx.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(idx.row(), idx.column());
    case Qt::EditRole:
        return value(idx.row(), idx.column());
    default:
        return QVariant();
    }
}

bool DataSet::setData(const QModelIndex &idx, const QVariant &value, int role)
{
    if (!idx.isValid() || m_readOnly || role != Qt::EditRole)
        return false;
    return setValue(idx.row(), idx.column(), value);
}

QVariant DataSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return fieldName(section);
    return section + 1;
}

Qt::ItemFlags DataSet::flags(const QModelIndex &idx) const
{
    if (!idx.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!m_readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}
