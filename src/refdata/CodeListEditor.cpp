#include "CodeListEditor.h"

#include "app/TdmData.h"
#include "platform/DataSet.h"
#include "platform/Database.h"

const QVector<CodeListPage> &CodeListPages()
{
    static const QVector<CodeListPage> pages = {
        {QStringLiteral("tclttype"), QStringLiteral(" 客户类型 "), QStringLiteral("clttype")},
        {QStringLiteral("tlaiyuan"), QStringLiteral(" 客户来源 "), QStringLiteral("laiyuan")},
        {QStringLiteral("tcountry"), QStringLiteral(" 国    家 "), QStringLiteral("country")},
        {QStringLiteral("tprovince"), QStringLiteral(" 省    份 "), QStringLiteral("province")},
        {QStringLiteral("tempname"), QStringLiteral(" 业 务 员 "), QStringLiteral("empname")},
        {QStringLiteral("tcaption"), QStringLiteral(" 联系主题 "), QStringLiteral("caption")},
        {QStringLiteral("tmode"), QStringLiteral(" 洽谈方式 "), QStringLiteral("mode")},
        {QStringLiteral("tdept"), QStringLiteral(" 部    门 "), QStringLiteral("dept")},
        {QStringLiteral("tduty"), QStringLiteral(" 职    务 "), QStringLiteral("duty")},
        {QStringLiteral("txueli"), QStringLiteral(" 学    历 "), QStringLiteral("xueli")},
        {QStringLiteral("txuqiu"), QStringLiteral(" 客户需求 "), QStringLiteral("xuqiu")},
        {QStringLiteral("ttxcaption"), QStringLiteral(" 提醒主题 "), QStringLiteral("txcaption")},
        {QStringLiteral("tawoketime"), QStringLiteral(" 提醒时间 "), QStringLiteral("awoketime")},
        {QStringLiteral("thtstatus"), QStringLiteral(" 合同状态 "), QStringLiteral("htstatus")},
        {QStringLiteral("tgdtype"), QStringLiteral(" 货品类型 "), QStringLiteral("gdtype")},
        {QStringLiteral("tunit"), QStringLiteral(" 货品单位 "), QStringLiteral("unit")},
        {QStringLiteral("tldtype"), QStringLiteral(" 来电方式 "), QStringLiteral("ldtype")},
        {QStringLiteral("tcltype"), QStringLiteral(" 处理方式 "), QStringLiteral("cltype")},
    };
    return pages;
}

CodeListEditor::CodeListEditor(DataSet *table) : m_table(table)
{
    m_table->setUpdateTable(QStringLiteral("t_code"));
    m_table->setCachedUpdates(true);
}

bool CodeListEditor::open(const QString &type)
{
    m_type = type;
    m_editing = false;
    return dmData && dmData->OpenQuery(listSql(), m_table, {{QStringLiteral("type"), type}});
}

bool CodeListEditor::refresh()
{
    m_table->close();
    return open(m_type);
}

bool CodeListEditor::beginInsert()
{
    if (!m_table->isOpen())
        return false;
    m_editing = true;
    return m_table->append();
}

QString CodeListEditor::beginEdit()
{
    if (m_table->isEmpty())
        return QStringLiteral("此表为空，没有记录需要修改！");
    m_editing = true;
    return QString();
}

void CodeListEditor::cancel()
{
    m_table->cancelUpdates();
    m_editing = false;
}

bool CodeListEditor::applyInTransaction(QString *error)
{
    Transaction t(m_table->database());
    if (!t.isActive()) {
        *error = QStringLiteral("事务没有开始");
        return false;
    }
    if (!m_table->applyUpdates(error) || !t.commit(error))
        return false;
    m_table->commitUpdates();
    return true;
}

CodeListEditor::SaveResult CodeListEditor::save()
{
    SaveResult r;
    if (!m_table->post()) {
        r.message = m_table->lastError();
        return r;
    }
    const QString name = QStringLiteral("F_name");
    const QString type = QStringLiteral("F_type");
    // From the end, so that dropping a row leaves the rows still to be seen in place.
    for (int row = m_table->recordCount() - 1; row >= 0; --row) {
        const QString value = m_table->value(row, name).toString();
        const QString trimmed = value.trimmed();
        const bool stored = m_table->keyOf(row) != 0;
        if (trimmed.isEmpty()) {
            if (!stored) {
                // a new line left empty: a blank value would never be offered
                m_table->deleteRow(row);
                continue;
            }
            r.status = SaveResult::Refused;
            r.message = QStringLiteral("选项值不能为空！如果不再需要这一项，请取消修改后用“删除”删去。");
            r.row = row;
            return r;
        }
        if (trimmed.size() > kMaxValueLength) {
            r.status = SaveResult::Refused;
            r.message = QStringLiteral("选项值不能超过 %1 个字符！").arg(kMaxValueLength);
            r.row = row;
            return r;
        }
        if (trimmed != value)
            m_table->setValue(row, m_table->fieldIndex(name), trimmed);
        if (m_table->value(row, type).toString().compare(m_type, Qt::CaseInsensitive) != 0)
            m_table->setValue(row, m_table->fieldIndex(type), m_type);
        m_table->post();
    }
    if (!applyInTransaction(&r.message))
        return r;
    r.status = SaveResult::Saved;
    r.message.clear();
    m_editing = false;
    return r;
}

QString CodeListEditor::deleteQuestion(const QString &pageCaption) const
{
    return QStringLiteral("真的要删除 \"") + pageCaption + QStringLiteral("\"") + m_table->text(QStringLiteral("F_name"))
           + QStringLiteral("吗？");
}

bool CodeListEditor::deleteCurrent(QString *error)
{
    QString err;
    const int row = m_table->currentRow();
    if (row < 0 || !m_table->deleteRow(row)) {
        if (error)
            *error = m_table->lastError();
        return false;
    }
    if (applyInTransaction(&err))
        return true;
    // the row comes back
    m_table->cancelUpdates();
    m_table->setCurrentRow(qMin(row, m_table->recordCount() - 1));
    if (error)
        *error = err;
    return false;
}
