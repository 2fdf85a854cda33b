#include "CachedEditSession.h"

#include "DataSet.h"
#include "Database.h"

CachedEditSession::CachedEditSession(DataSet *rows, const QString &table, const QString &keyField) : m_rows(rows)
{
    m_rows->setUpdateTable(table, keyField);
    m_rows->setCachedUpdates(true);
}

bool CachedEditSession::beginInsert(const RowInit &init)
{
    if (!m_rows->isOpen() || !m_rows->append())
        return false;
    m_editing = true;
    if (init)
        init(*m_rows);
    return true;
}

QString CachedEditSession::beginEdit(const QString &nothingToEdit)
{
    if (m_rows->isEmpty())
        return nothingToEdit;
    m_editing = true;
    return QString();
}

void CachedEditSession::cancel()
{
    m_rows->cancelUpdates();
    m_editing = false;
}

CachedEditSession::SaveResult CachedEditSession::save(const RowCheck &check)
{
    SaveResult r;
    if (m_rows->isEditing() && !m_rows->post()) {
        r.message = m_rows->lastError();
        return r;
    }
    if (check) {
        int row = -1;
        const QString problem = check(*m_rows, &row);
        if (!problem.isEmpty()) {
            r.status = SaveResult::Refused;
            r.message = problem;
            r.row = row;
            return r;
        }
    }
    if (!apply(&r.message))
        return r;
    m_editing = false;
    r.status = SaveResult::Saved;
    r.message.clear();
    return r;
}

bool CachedEditSession::apply(QString *error)
{
    Transaction t(m_rows->database());
    if (!t.isActive()) {
        *error = t.error();
        return false;
    }
    if (!m_rows->applyUpdates(error) || !t.commit(error))
        return false;
    m_rows->commitUpdates();
    return true;
}
