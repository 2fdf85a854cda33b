#include "RecordEditor.h"

#include "app/AppMessages.h"
#include "platform/Database.h"
#include "platform/Format.h"

#include <QDate>

SaveResult SaveResult::failed(const QString &error)
{
    qWarning("save failed: %s", qPrintable(error));
    return {Failed, Msg::SaveFailedFor(error), 3, {}, error, 0};
}

SaveResult SaveResult::conflict() { return {Conflict, Msg::RecordChanged(), 2, {}, {}, 0}; }

RecordEditor::RecordEditor(const RecordKindInfo &kind, QString connection) : m_kind(kind), m_connection(std::move(connection)) {}

QSqlDatabase RecordEditor::database() const { return Database::connection(m_connection); }

QVariantMap RecordEditor::emptyFields(const RecordKindInfo &kind)
{
    QVariantMap f;
    for (const RecordField &field : kind.fields) {
        const QString c = QString::fromLatin1(field.column);
        switch (field.type) {
        case FieldType::Date:
            f.insert(c, QDate());
            break;
        case FieldType::Number:
            f.insert(c, 0.0);
            break;
        case FieldType::Flag:
            f.insert(c, false);
            break;
        case FieldType::Text:
        case FieldType::Memo:
            f.insert(c, QString());
            break;
        }
    }
    return f;
}

QVariantMap RecordEditor::fieldsFrom(const std::function<QVariant(const QString &column)> &value) const
{
    QVariantMap f;
    for (const RecordField &field : m_kind.fields) {
        const QString c = QString::fromLatin1(field.column);
        const QVariant v = value(c);
        switch (field.type) {
        case FieldType::Date: {
            QDate d;
            if (!Format::isEmptyDate(v))
                if (const auto dt = Format::parseDateTime(Format::plainText(v)))
                    d = dt->date();
            f.insert(c, d);
            break;
        }
        case FieldType::Number:
            f.insert(c, v.toDouble());
            break;
        case FieldType::Flag:
            f.insert(c, v.toBool());
            break;
        case FieldType::Text:
        case FieldType::Memo:
            f.insert(c, v.isNull() ? QString() : Format::plainText(v));
            break;
        }
    }
    return f;
}

QVariant RecordEditor::storedValue(const QString &column, const QVariant &value) const
{
    const RecordField *field = m_kind.field(column);
    if (!field)
        return value;
    switch (field->type) {
    case FieldType::Date: {
        const QDate d = value.toDate();
        return Database::dialectOf(database()).dateValue(d.isValid() ? d : emptyDate());
    }
    case FieldType::Number:
        return value.toDouble();
    case FieldType::Flag:
        return value.toBool();
    case FieldType::Text:
    case FieldType::Memo:
        return field->trimmed ? value.toString().trimmed() : value.toString();
    }
    return value;
}

QVariantMap RecordEditor::storedValues(const QVariantMap &fields) const
{
    QVariantMap out;
    for (const RecordField &field : m_kind.fields) {
        const QString c = QString::fromLatin1(field.column);
        if (fields.contains(c))
            out.insert(c, storedValue(c, fields.value(c)));
    }
    return out;
}

void RecordEditor::remember(qint64 key, const QVariantMap &stored)
{
    m_loadedKey = key;
    m_loaded = stored;
}

void RecordEditor::forget()
{
    m_loadedKey = 0;
    m_loaded.clear();
}

std::optional<SaveResult> RecordEditor::checkUnchanged(QSqlDatabase &db) const
{
    QString error;
    switch (Sql::lockAndCompareRow(db, m_kind.tableName(), QString::fromLatin1(m_kind.key), m_loadedKey, m_loaded, &error)) {
    case Sql::RowState::Unchanged:
        return std::nullopt;
    case Sql::RowState::Changed:
    case Sql::RowState::Gone:
        return SaveResult::conflict();
    case Sql::RowState::Failed:
        break;
    }
    return SaveResult::failed(error);
}

std::optional<SaveResult> RecordEditor::check(QVariantMap &, const QStringList &) { return std::nullopt; }

bool RecordEditor::retry(const SaveResult &, int) { return false; }

void RecordEditor::committed(qint64) {}

bool RecordEditor::refresh(qint64) { return true; }

QString RecordEditor::refreshFailedMessage() const
{
    return QStringLiteral("资料已保存，但列表未能刷新，请检查数据连接后重新查询。");
}

SaveResult RecordEditor::save(QVariantMap &fields, const QStringList &answeredNo)
{
    if (std::optional<SaveResult> stop = check(fields, answeredNo))
        return *stop;
    SaveResult result;
    for (int attempt = 0;; ++attempt) {
        QSqlDatabase db = database();
        Transaction tr(db);
        if (!tr.isActive())
            return SaveResult::failed(tr.error());
        result = write(db, fields, attempt);
        if (result.status == SaveResult::Saved) {
            QString error;
            if (tr.commit(&error))
                break;
            result = SaveResult::failed(error);
        }
        if (result.status != SaveResult::Failed || attempt >= 2 || !retry(result, attempt))
            return result;
    }
    // the save is done; what follows only shows it
    m_savedKey = result.key;
    committed(result.key);
    if (!refresh(result.key))
        return {SaveResult::SavedRefreshFailed, refreshFailedMessage(), 2, {}, {}, result.key};
    return result;
}
