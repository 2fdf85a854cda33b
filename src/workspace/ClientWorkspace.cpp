#include "ClientWorkspace.h"

#include "app/TdmData.h"
#include "platform/Database.h"
#include "platform/Format.h"
#include "platform/Messages.h"

namespace {
using Columns = QList<QPair<QString, QString>>;

QString linked(const QString &table, const QString &order)
{
    return QStringLiteral("select * from %1 where F_cltID = :F_cltID order by %2").arg(table, order);
}

QVector<ClientWorkspace::Tab> makeTabs()
{
    QVector<ClientWorkspace::Tab> tabs(ClientWorkspace::kTabs + 1);
    auto set = [&](int n, const char *caption, const char *list, const char *table, const char *order, const char *exportTitle,
                   const char *permission, const char *newMsg, const char *editMsg, QStringList dates, Columns columns) {
        ClientWorkspace::Tab &t = tabs[n];
        t.number = n;
        t.caption = QString::fromUtf8(caption);
        t.listCaption = QString::fromUtf8(list);
        t.table = QString::fromLatin1(table);
        t.sql = linked(t.table, QString::fromLatin1(order));
        t.layout = QStringLiteral("detail%1").arg(n + 1);
        t.exportTitle = QString::fromUtf8(exportTitle);
        t.permission = QString::fromLatin1(permission);
        t.newMessage = QString::fromUtf8(newMsg);
        t.emptyEditMessage = QString::fromUtf8(editMsg);
        t.emptyDateFields = std::move(dates);
        t.columns = std::move(columns);
    };
    const auto c = [](const char *field, const char *title) { return qMakePair(QString::fromLatin1(field), QString::fromUtf8(title)); };
    set(1, " 业务活动 ", "业务活动", "t_LXrec", "F_date", "业务联系记录", "Action211", "请先选择要增加业务活动记录的客户！",
        "此表为空，没有业务活动记录需要修改！", {QStringLiteral("F_awokeDate")},
        {c("F_date", "日期"), c("F_caption", "主题"), c("F_EmpName", "跟进人"), c("f_Mode", "洽谈方式"), c("F_mem", "活动描述"),
         c("F_ZJmem", "活动总结"), c("F_IFgj", "是否再次跟进")});
    set(2, " 联 系 人 ", "联 系 人", "t_linkman", "F_ID", "联系人", "", "请先选择要增加联系人的客户！",
        "此表为空，没有联系人记录需要修改！", {QStringLiteral("F_birthday")},
        {c("F_name", "姓名"), c("F_IFkey", "主联系人"), c("F_dept", "部门"), c("F_duty", "职务"), c("F_officePhone", "办公电话"),
         c("F_handPhone", "移动电话"), c("F_homePhone", "家里电话"), c("F_Email", "电子信箱"), c("F_Fax", "传真"),
         c("F_Address", "家庭地址"), c("F_birthday", "出生日期"), c("F_mem", "备注")});
    set(3, " 商品报价 ", "商品报价", "t_BJrec", "F_date", "商品报价记录", "Action212", "请先选择要增加商品报价记录的客户！",
        "此表为空，没有商品报价记录需要修改！", {},
        {c("F_date", "报价日期"), c("F_GDcode", "货品编号"), c("F_GDname", "货品名称"), c("F_type", "类型"), c("F_spec", "规格"),
         c("F_unit", "单位"), c("F_amount", "数量"), c("F_price", "单价"), c("F_totalPrice", "金额"), c("F_mem", "备注"),
         c("F_billcode", "报价单号"), c("F_filepath", "报价文件路径"), c("F_OperName", "录入人员")});
    set(4, " 合同管理 ", "合同管理", "t_HTrec", "F_date", "合同管理记录", "Action213", "请先选择要增加合同档案的客户！",
        "此表为空，没有合同记录需要修改！", {QStringLiteral("F_date")},
        {c("F_date", "签订日期"), c("F_HTcode", "合同编号"), c("F_HTname", "合同名称"), c("F_empName", "经手人"),
         c("F_HTprice", "合同金额"), c("F_YFprice", "已付金额"), c("F_HTstatus", "合同状态"), c("F_filePath", "文件路径"),
         c("F_HTmem", "主要内容"), c("F_mem", "备注"), c("F_operName", "录入人员")});
    set(5, " 销售管理 ", "销售管理", "t_XSrec", "F_ID", "销售管理记录", "Action214", "请先选择要增加销售管理记录的客户！",
        "此表为空，没有销售管理记录需要修改！", {QStringLiteral("F_FHdate"), QStringLiteral("F_SHdate")},
        {c("F_code", "销售单号"), c("F_oldcode", "原始单号"), c("F_FHemp", "发货人"), c("F_FHdate", "发货日期"),
         c("F_SHemp", "收货人"), c("F_SHdate", "收货日期"), c("F_SHphone", "收货电话"), c("F_SHaddress", "收货地址"),
         c("F_FHfilePath", "文件路径"), c("F_totalprice", "金额"), c("F_memo1", "备注"), c("F_makedate", "制单日期"),
         c("F_operName", "制单人")});
    set(6, " 售后回访 ", "售后回访", "t_HFrec", "F_date", "售后回访记录", "Action215", "请先选择要增加售后回访记录的客户！",
        "此表为空，没有售后回访记录需要修改！", {},
        {c("F_date", "回访日期"), c("F_empname", "回访人员"), c("F_mem1", "回访内容"), c("F_mem2", "回访成果")});
    set(7, " 投诉反馈 ", "投诉反馈", "t_TSrec", "F_ID", "投诉反馈记录", "Action216", "请先选择要增加投诉记录的客户！",
        "此表为空，没有客户投诉记录需要修改！", {QStringLiteral("F_date"), QStringLiteral("F_CLdate")},
        {c("F_date", "投诉日期"), c("F_mem1", "投诉内容"), c("F_mem2", "处理结果"), c("F_empname", "接待人员"),
         c("F_CLempname", "处理人员"), c("F_CLdate", "处理日期")});
    set(8, " 客户产品 ", "客户产品", "t_GooDrec", "F_ID", "客户产品记录", "", "请先选择要增加产品记录的客户！",
        "此表为空，没有客户产品记录需要修改！", {QStringLiteral("F_editdate")},
        {c("F_GDcode", "编号"), c("F_GDname", "名称"), c("F_type", "类型"), c("F_spec", "规格"), c("F_unit", "单位"),
         c("F_price", "单价"), c("F_buildAmount", "生产能力(年)"), c("F_enterAmount", "年进货量"), c("F_mem", "备注"),
         c("F_editdate", "日期")});
    set(9, " 事务提醒 ", "事务提醒", "t_TXrec", "F_editDate", "事务提醒记录", "", "请先选择要增加成交记录的客户！",
        "此表为空，没有事务提醒记录需要修改！", {QStringLiteral("F_awokeDate")},
        {c("F_awokeDate", "提醒日期"), c("F_awokeTime", "提醒时间"), c("F_caption", "事务主题"), c("F_mem1", "详细描述"),
         c("F_editDate", "录入日期"), c("F_operName", "录入人员")});
    return tabs;
}

// A customer without a number has no records: its details match nothing.
QVariant customerNumber(const QVariant &v) { return v.toLongLong() > 0 ? v : QVariant(); }

const QString kSaleLinesSql = QStringLiteral("select * from t_XSdetail where F_code = :F_code order by F_ID");
const QString kFailed = QStringLiteral("操作失败，请检查连接...");
} // namespace

const ClientWorkspace::Tab &ClientWorkspace::tab(int number)
{
    static const QVector<Tab> tabs = makeTabs();
    return tabs.at(number >= 1 && number <= kTabs ? number : 0);
}

ClientWorkspace::ClientWorkspace(QObject *parent) : QObject(parent)
{
    QryMain = new DataSet(this);
    QryMain->setObjectName(QStringLiteral("QryMain"));
    QryMain->setEmptyDateFields({QStringLiteral("F_editdate"), QStringLiteral("F_date"), QStringLiteral("F_RQ1"),
                                 QStringLiteral("F_RQ2"), QStringLiteral("F_RQ3")});
    for (int n = 1; n <= kTabs; ++n) {
        auto *ds = new DataSet(this);
        ds->setObjectName(QStringLiteral("QryDetail%1").arg(n));
        ds->setSql(tab(n).sql);
        ds->setEmptyDateFields(tab(n).emptyDateFields);
        ds->setMaster(QryMain, QStringLiteral("F_cltID"), QStringLiteral("F_cltID"), customerNumber);
        m_details[n] = ds;
    }
    // contacts and products are edited in the customer window and saved with it
    m_details[2]->setCachedUpdates(true);
    m_details[8]->setCachedUpdates(true);

    QryDetail51 = new DataSet(this);
    QryDetail51->setObjectName(QStringLiteral("QryDetail51"));
    QryDetail51->setSql(kSaleLinesSql);
    QryDetail51->setMaster(m_details[5], QStringLiteral("F_code"));
    QryDetail51->setFieldChangeHook([](DataSet &d, int row, const QString &field) {
        const QString f = field.toLower();
        if (f == QLatin1String("f_rate") || f == QLatin1String("f_price") || f == QLatin1String("f_amount"))
            d.setValue(row, d.fieldIndex(QStringLiteral("F_totalPrice")),
                       d.value(row, QStringLiteral("F_amount")).toDouble() * d.value(row, QStringLiteral("F_price")).toDouble()
                           * d.value(row, QStringLiteral("F_rate")).toDouble());
    });
}

DataSet *ClientWorkspace::detail(int tab) const { return tab >= 1 && tab <= kTabs ? m_details[tab] : nullptr; }

// ------------------------------------------------------------- the list

bool ClientWorkspace::RefreshClientList(const SqlStatement &statement, int currentTab)
{
    m_statement = statement;
    const bool ok = dmData->OpenQuery(statement.sql, QryMain, statement.params);
    for (int n : {2, 8}) {
        DataSet *d = m_details[n];
        d->close();
        d->setSql(tab(n).sql);
        d->attachMaster();
        if (!d->open())
            ShowMess(Msg::OpenFailed(), MessError);
    }
    OpenDetailQueries(false, currentTab);
    emit listRefreshed();
    return ok;
}

bool ClientWorkspace::ReopenClientList(int currentTab)
{
    const qint64 key = QryMain->currentRow() >= 0 ? QryMain->keyOf(QryMain->currentRow()) : 0;
    const bool ok = RefreshClientList(m_statement, currentTab);
    if (ok && key > 0) {
        const int row = QryMain->rowOfKey(key);
        if (row >= 0)
            QryMain->setCurrentRow(row);
    }
    return ok;
}

QString ClientWorkspace::countCaption() const
{
    return QStringLiteral("客户总数： ") + QString::number(QryMain->recordCount()) + QStringLiteral(" 个");
}

// ------------------------------------------------------------- details

bool ClientWorkspace::openDetail(int n)
{
    DataSet *d = m_details[n];
    if (d->isOpen())
        return true;
    return dmData->OpenQuery(tab(n).sql, d);
}

void ClientWorkspace::OpenDetailQueries(bool all, int currentTab)
{
    const auto openBills = [this] {
        openDetail(5);
        if (m_details[5]->isOpen() && QryDetail51->isLinked() && !QryDetail51->isOpen())
            dmData->OpenQuery(kSaleLinesSql, QryDetail51);
    };
    if (all) {
        for (int n : {1, 3, 4, 6, 7, 9})
            openDetail(n);
        openBills();
        return;
    }
    switch (currentTab) {
    case 1:
    case 3:
    case 4:
    case 6:
    case 7:
    case 9:
        openDetail(currentTab);
        break;
    case 5:
        if (!m_details[5]->isOpen())
            openBills();
        break;
    default:
        break;
    }
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
    for (const auto &l : lines)
        out.append(QString::fromUtf8(l[0]) + QryMain->text(QString::fromLatin1(l[1])));
    return out.join(QLatin1Char('\n'));
}

void ClientWorkspace::BindDetailsToNewClient()
{
    for (int n : {2, 8}) {
        DataSet *d = m_details[n];
        d->detachMaster();
        d->close();
        d->setSql(tab(n).sql);
        // no number yet: NULL matches no row, not even a stray one that
        // already carries the number this customer will get
        d->setParam(QStringLiteral("F_cltID"), QVariant());
        if (!d->open())
            ShowMess(Msg::OpenFailed(), MessError);
    }
}

void ClientWorkspace::RelinkClientDetails()
{
    for (int n : {2, 8}) {
        DataSet *d = m_details[n];
        d->cancelUpdates();
        d->close();
        d->setSql(tab(n).sql);
        d->attachMaster();
        if (!d->open())
            ShowMess(Msg::OpenFailed(), MessError);
    }
}

void ClientWorkspace::PrepareSaleLines(bool currentBill)
{
    QryDetail51->detachMaster();
    QryDetail51->close();
    QryDetail51->setSql(kSaleLinesSql);
    // no bill: a code no bill has
    QryDetail51->setParam(QStringLiteral("F_code"), currentBill ? m_details[5]->value(QStringLiteral("F_code")) : QVariant());
    if (!QryDetail51->open())
        ShowMess(Msg::OpenFailed(), MessError);
}

void ClientWorkspace::RelinkSaleLines()
{
    QryDetail51->cancelUpdates();
    QryDetail51->close();
    QryDetail51->setSql(kSaleLinesSql);
    QryDetail51->attachMaster();
    if (m_details[5]->isOpen() && !QryDetail51->open())
        ShowMess(Msg::OpenFailed(), MessError);
}

// ------------------------------------------------------------- deletes

QString ClientWorkspace::deleteQuestion(int n) const
{
    const DataSet *d = detail(n);
    if (!d || d->isEmpty() || d->currentRow() < 0)
        return QString();
    const auto f = [d](const char *field) { return d->text(QString::fromLatin1(field)); };
    switch (n) {
    case 1: return QStringLiteral("真的要删除当前") + f("F_date") + QStringLiteral("日的业务联系记录吗？");
    case 2: return QStringLiteral("真的要删除当前联系人") + f("F_Name") + QStringLiteral("吗？");
    case 3: return QStringLiteral("真的要删除当前商品") + f("F_GDname") + QStringLiteral("的") + f("F_date") + QStringLiteral("日报价记录吗？");
    case 4: return QStringLiteral("真的要删除当前合同 ") + f("F_HTname") + QStringLiteral(" 吗？");
    case 5: return QStringLiteral("真的要删除销售单号为 ") + f("F_code") + QStringLiteral(" 的销售记录吗？");
    case 6: return QStringLiteral("真的要删除当前") + f("F_date") + QStringLiteral("日的售后回访记录吗？");
    case 7: return QStringLiteral("真的要删除当前") + f("F_date") + QStringLiteral("日的用户投诉记录吗？");
    case 8: return QStringLiteral("真的要删除当前") + f("F_GDname") + QStringLiteral("日的客户商品记录吗？");
    case 9: return QStringLiteral("真的要删除当前") + f("F_editdate") + QStringLiteral("日的事务提醒记录吗？");
    default: return QString();
    }
}

bool ClientWorkspace::deleteRecord(int n)
{
    DataSet *d = detail(n);
    if (!d || d->isEmpty() || d->currentRow() < 0)
        return false;
    const qint64 id = d->keyOf(d->currentRow());
    if (n != 5) {
        if (!dmData->DeleteById(tab(n).table, id))
            return false;
        d->reopen();
        return true;
    }
    // a sales bill goes with its lines, or not at all
    const QString code = d->text(QStringLiteral("F_code"));
    QSqlDatabase db = dmData->ADOcnn();
    Transaction tr(db);
    QString error;
    const int sameCode = dmData->QueryInt(QStringLiteral("select count(*) from t_XSrec where F_code = :c"), {{QStringLiteral("c"), code}});
    bool ok = tr.isActive();
    if (!ok)
        error = tr.error();
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
        ShowMess(Sql::isBusyError(error) ? Msg::DatabaseBusy() : kFailed, MessError);
        return false;
    }
    d->reopen();
    if (QryDetail51->isOpen())
        QryDetail51->reopen();
    return true;
}

QString ClientWorkspace::deleteCustomerQuestion() const
{
    return QStringLiteral("删除当前客户，将删除当前客户所有相关记录，\n真的要删除当前客户") + QryMain->text(QStringLiteral("F_Name"))
           + QStringLiteral("吗？");
}

bool ClientWorkspace::deleteCustomer(int currentTab)
{
    if (QryMain->isEmpty() || QryMain->currentRow() < 0)
        return false;
    const qint64 cltID = QryMain->value(QStringLiteral("F_cltID")).toLongLong();
    const qint64 id = QryMain->keyOf(QryMain->currentRow());
    QSqlDatabase db = dmData->ADOcnn();
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
        ShowMess(Sql::isBusyError(error) ? Msg::DatabaseBusy() : kFailed, MessError);
        return false;
    }
    const int row = QryMain->currentRow();
    RefreshClientList(m_statement, currentTab);
    if (!QryMain->isEmpty())
        QryMain->setCurrentRow(qMin(row, QryMain->recordCount() - 1));
    return true;
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

bool ClientWorkspace::deleteEmptyCustomers(int *removed)
{
    QString related;
    for (const char *table : {"t_linkman", "t_LXrec", "t_BJrec", "t_HTrec", "t_XSrec", "t_HFrec", "t_TSrec", "t_GooDrec",
                              "t_TXrec", "LdCltRec", "t_CJrec"})
        related += QStringLiteral(" and not exists (select 1 from %1 x where x.F_cltID = t_client.F_cltID)").arg(QString::fromLatin1(table));
    const QString where = QStringLiteral("COALESCE(F_code,'') = '' and COALESCE(F_name,'') = '' and (COALESCE(F_cltID,0) <= 0 or (1=1")
                          + related + QStringLiteral("))");
    const int n = dmData->QueryInt(QStringLiteral("select count(*) from t_client where ") + where);
    if (!dmData->ExecSql(QStringLiteral("delete from t_client where ") + where))
        return false;
    if (removed)
        *removed = n;
    return true;
}
