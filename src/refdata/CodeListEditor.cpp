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

CodeListEditor::CodeListEditor(DataSet *table) : m_table(table), m_session(table, QStringLiteral("t_code")) {}

bool CodeListEditor::open(const QString &type)
{
    m_type = type;
    m_session.cancel();
    return dmData && dmData->OpenQuery(listSql(), m_table, {{QStringLiteral("type"), type}});
}

bool CodeListEditor::refresh()
{
    m_table->close();
    return open(m_type);
}

bool CodeListEditor::beginInsert() { return m_session.beginInsert(); }

QString CodeListEditor::beginEdit() { return m_session.beginEdit(QStringLiteral("此表为空，没有记录需要修改！")); }

void CodeListEditor::cancel() { m_session.cancel(); }

QString CodeListEditor::checkRows(DataSet &rows, int *refused) const
{
    const QString name = QStringLiteral("F_name");
    const QString type = QStringLiteral("F_type");
    // From the end, so that dropping a row leaves the rows still to be seen in place.
    for (int row = rows.recordCount() - 1; row >= 0; --row) {
        const QString value = rows.value(row, name).toString();
        const QString trimmed = value.trimmed();
        const bool stored = rows.keyOf(row) != 0;
        if (trimmed.isEmpty()) {
            if (!stored) {
                // a new line left empty: a blank value would never be offered
                rows.deleteRow(row);
                continue;
            }
            *refused = row;
            return QStringLiteral("选项值不能为空！如果不再需要这一项，请取消修改后用“删除”删去。");
        }
        if (trimmed.size() > kMaxValueLength) {
            *refused = row;
            return QStringLiteral("选项值不能超过 %1 个字符！").arg(kMaxValueLength);
        }
        if (trimmed != value)
            rows.setValue(row, rows.fieldIndex(name), trimmed);
        if (rows.value(row, type).toString().compare(m_type, Qt::CaseInsensitive) != 0)
            rows.setValue(row, rows.fieldIndex(type), m_type);
        rows.post();
    }
    return QString();
}

CodeListEditor::SaveResult CodeListEditor::save()
{
    return m_session.save([this](DataSet &rows, int *row) { return checkRows(rows, row); });
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
    if (m_session.apply(&err))
        return true;
    // the row comes back
    m_table->cancelUpdates();
    m_table->setCurrentRow(qMin(row, m_table->recordCount() - 1));
    if (error)
        *error = err;
    return false;
}
