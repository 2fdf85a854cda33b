#include "RecordCatalogue.h"

#include "platform/DataGrid.h"

#include <array>
#include <map>

namespace {
constexpr int kWide = 160;
constexpr int kNarrow = 90;
constexpr const char *kMoney = ",0.00";

// --- the grid columns of each kind, as designed

constexpr RecordColumn kActivityColumns[] = {
    {"F_date", "日期", kNarrow},          {"F_caption", "主题", kWide},     {"F_EmpName", "跟进人", kNarrow},
    {"f_Mode", "洽谈方式", kNarrow},      {"F_mem", "活动描述", kWide},     {"F_ZJmem", "活动总结", kWide},
    {"F_IFgj", "是否再次跟进", kNarrow},
};
constexpr RecordColumn kContactColumns[] = {
    {"F_name", "姓名", kNarrow},        {"F_IFkey", "主联系人", kNarrow},  {"F_dept", "部门", kNarrow},
    {"F_duty", "职务", kNarrow},        {"F_officePhone", "办公电话", kNarrow}, {"F_handPhone", "移动电话", kNarrow},
    {"F_homePhone", "家里电话", kNarrow}, {"F_Email", "电子信箱", kNarrow},  {"F_Fax", "传真", kNarrow},
    {"F_Address", "家庭地址", kWide},   {"F_birthday", "出生日期", kNarrow}, {"F_mem", "备注", kWide},
};
constexpr RecordColumn kQuotationColumns[] = {
    {"F_date", "报价日期", kNarrow},  {"F_GDcode", "货品编号", kNarrow},        {"F_GDname", "货品名称", kNarrow},
    {"F_type", "类型", kNarrow},      {"F_spec", "规格", kNarrow},              {"F_unit", "单位", kNarrow},
    {"F_amount", "数量", kNarrow, "", true}, {"F_price", "单价", kNarrow, kMoney}, {"F_totalPrice", "金额", kNarrow, kMoney, true},
    {"F_mem", "备注", kWide},         {"F_billcode", "报价单号", kNarrow},      {"F_filepath", "报价文件路径", kNarrow},
    {"F_OperName", "录入人员", kNarrow},
};
constexpr RecordColumn kContractColumns[] = {
    {"F_date", "签订日期", kNarrow},   {"F_HTcode", "合同编号", kNarrow},  {"F_HTname", "合同名称", kNarrow},
    {"F_empName", "经手人", kNarrow},  {"F_HTprice", "合同金额", kNarrow, kMoney, true},
    {"F_YFprice", "已付金额", kNarrow, kMoney, true}, {"F_HTstatus", "合同状态", kNarrow},
    {"F_filePath", "文件路径", kNarrow}, {"F_HTmem", "主要内容", kWide}, {"F_mem", "备注", kWide},
    {"F_operName", "录入人员", kNarrow},
};
constexpr RecordColumn kSalesBillColumns[] = {
    {"F_code", "销售单号", kNarrow},   {"F_oldcode", "原始单号", kNarrow},   {"F_FHemp", "发货人", kNarrow},
    {"F_FHdate", "发货日期", kNarrow}, {"F_SHemp", "收货人", kNarrow},       {"F_SHdate", "收货日期", kNarrow},
    {"F_SHphone", "收货电话", kNarrow}, {"F_SHaddress", "收货地址", kWide},  {"F_FHfilePath", "文件路径", kNarrow},
    {"F_totalprice", "金额", kNarrow, kMoney, true}, {"F_memo1", "备注", kWide}, {"F_makedate", "制单日期", kNarrow},
    {"F_operName", "制单人", kNarrow},
};
constexpr RecordColumn kVisitColumns[] = {
    {"F_date", "回访日期", kNarrow}, {"F_empname", "回访人员", kNarrow}, {"F_mem1", "回访内容", kWide}, {"F_mem2", "回访成果", kWide},
};
constexpr RecordColumn kComplaintColumns[] = {
    {"F_date", "投诉日期", kNarrow},    {"F_mem1", "投诉内容", kWide},        {"F_mem2", "处理结果", kWide},
    {"F_empname", "接待人员", kNarrow}, {"F_CLempname", "处理人员", kNarrow}, {"F_CLdate", "处理日期", kNarrow},
};
constexpr RecordColumn kProductColumns[] = {
    {"F_GDcode", "编号", kNarrow},  {"F_GDname", "名称", kNarrow}, {"F_type", "类型", kNarrow},
    {"F_spec", "规格", kNarrow},    {"F_unit", "单位", kNarrow},   {"F_price", "单价", kNarrow, "0.########"},
    {"F_buildAmount", "生产能力(年)", kNarrow}, {"F_enterAmount", "年进货量", kNarrow}, {"F_mem", "备注", kWide},
    {"F_editdate", "日期", kNarrow},
};
constexpr RecordColumn kReminderColumns[] = {
    {"F_awokeDate", "提醒日期", kNarrow}, {"F_awokeTime", "提醒时间", kNarrow}, {"F_caption", "事务主题", kWide},
    {"F_mem1", "详细描述", kWide},        {"F_editDate", "录入日期", kNarrow},  {"F_operName", "录入人员", kNarrow},
};

// --- the fields of the edit windows

constexpr RecordField kCustomerFields[] = {
    {"F_code", "edtcode", FieldType::Text, 50},
    {"F_name", "edtName", FieldType::Text, 100},
    {"F_type", "cbbtype", FieldType::Text, 100, true, "clttype"},
    {"F_hangye", "edthangye", FieldType::Text, 255},
    {"F_laiyuan", "cbblaiyuan", FieldType::Text, 50, true, "laiyuan"},
    {"F_country", "cbbcountry", FieldType::Text, 50, true, "country", true},
    {"F_province", "cbbprovince", FieldType::Text, 50, true, "province"},
    {"F_city", "edtcity", FieldType::Text, 50},
    {"F_postcode", "edtPostcode", FieldType::Text, 50},
    {"F_address", "edtaddress", FieldType::Text, 255},
    {"F_phone", "edtPhone", FieldType::Text, 50},
    {"F_fax", "edtFax", FieldType::Text, 50},
    {"F_homepage", "edthomepage", FieldType::Text, 50},
    {"F_email", "edtEmail", FieldType::Text, 50},
    {"F_enrol", "edtEnrol", FieldType::Text, 50},
    {"F_shuihao", "edtshuihao", FieldType::Text, 50},
    {"F_khbank", "edtkhbank", FieldType::Text, 50},
    {"F_bankcode", "edtbankcode", FieldType::Text, 50},
    {"F_good", "edtgood", FieldType::Text, 255},
    {"F_xuqiu", "cbbxuqiu", FieldType::Text, 255, true, "xuqiu"},
    {"F_empName", "cbbEmpname", FieldType::Text, 50},
    {"F_editdate", "dtpeditdate", FieldType::Date},
    {"F_useFlag", "CheckBox2", FieldType::Flag},
    {"F_mem", "Mem", FieldType::Memo, 0, false},
    {"F_LXRname", "edtLXRname", FieldType::Text, 50, false},
    {"F_LXRdept", "cbbLXRdept", FieldType::Text, 50, false, "dept"},
    {"F_LXRduty", "cbbLXRduty", FieldType::Text, 50, false, "duty"},
    {"F_LXRphone", "edtLXRphone", FieldType::Text, 255, false},
    {"F_LXRqq", "edtLXRqq", FieldType::Text, 50, false},
    {"F_LXRemail", "edtLXRemail", FieldType::Text, 50, false},
    {"F_ZF1", "edtZF1", FieldType::Text, 50, false},
    {"F_ZF2", "edtZF2", FieldType::Text, 50, false},
    {"F_ZF3", "edtZF3", FieldType::Text, 50, false},
    {"F_ZF4", "edtZF4", FieldType::Text, 50, false},
    {"F_ZF5", "edtZF5", FieldType::Text, 50, false},
    {"F_SZ1", "rceSZ1", FieldType::Number},
    {"F_SZ2", "rceSZ2", FieldType::Number},
    {"F_SZ3", "rceSZ3", FieldType::Number},
    {"F_RQ1", "dtpRQ1", FieldType::Date},
    {"F_RQ2", "dtpRQ2", FieldType::Date},
    {"F_RQ3", "dtpRQ3", FieldType::Date},
};
constexpr RecordField kContactFields[] = {
    {"F_name", "edtName", FieldType::Text, 50},
    {"F_dept", "cbbdept", FieldType::Text, 50, true, "dept"},
    {"F_duty", "cbbduty", FieldType::Text, 50, true, "duty"},
    {"F_officePhone", "edtofficephone", FieldType::Text, 50},
    {"F_handPhone", "edthandphone", FieldType::Text, 50},
    {"F_homePhone", "edthomephone", FieldType::Text, 50},
    {"F_Fax", "edtfax", FieldType::Text, 50},
    {"F_Email", "edtEmail", FieldType::Text, 50},
    {"F_Address", "edtAddress", FieldType::Text, 50},
    {"F_shihao", "edtShihao", FieldType::Text, 255},
    {"F_mem", "Mem", FieldType::Memo, 0, false},
    {"F_IFkey", "CheckBox2", FieldType::Flag},
    {"F_birthday", "dtpBirthday", FieldType::Date},
};

// products are typed into a grid of the customer window
constexpr RecordField kProductFields[] = {
    {"F_GDcode", "", FieldType::Text, 50},        {"F_GDname", "", FieldType::Text, 50},
    {"F_type", "", FieldType::Text, 255},         {"F_spec", "", FieldType::Text, 50},
    {"F_unit", "", FieldType::Text, 50},          {"F_price", "", FieldType::Number},
    {"F_buildAmount", "", FieldType::Text, 50},   {"F_enterAmount", "", FieldType::Text, 50},
    {"F_mem", "", FieldType::Memo, 0, false},     {"F_editdate", "", FieldType::Date},
};

constexpr const char *kActivityDates[] = {"F_awokeDate"};
constexpr const char *kContactDates[] = {"F_birthday"};
constexpr const char *kContractDates[] = {"F_date"};
constexpr const char *kSalesDates[] = {"F_FHdate", "F_SHdate"};
constexpr const char *kComplaintDates[] = {"F_date", "F_CLdate"};
constexpr const char *kProductDates[] = {"F_editdate"};
constexpr const char *kReminderDates[] = {"F_awokeDate"};
constexpr const char *kCustomerDates[] = {"F_editdate", "F_date", "F_RQ1", "F_RQ2", "F_RQ3"};

const RecordKindInfo kKinds[] = {
    {.kind = RecordKind::Customer,
     .table = "t_client",
     .customerLink = "",
     .exportTitle = "客户资料",
     .editCaption = "客户档案",
     .fields = kCustomerFields,
     .emptyDateFields = kCustomerDates},
    {.kind = RecordKind::Contact,
     .table = "t_linkman",
     .detailTab = 2,
     .tabCaption = " 联 系 人 ",
     .listCaption = "联 系 人",
     .detailLayout = "detail3",
     .exportTitle = "联系人",
     .editCaption = "联系人档案",
     .messages = {"请先选择要增加联系人的客户！", "此表为空，没有联系人记录需要修改！", "真的要删除当前联系人{F_Name}吗？"},
     .columns = kContactColumns,
     .fields = kContactFields,
     .emptyDateFields = kContactDates},
    {.kind = RecordKind::Activity,
     .table = "t_LXrec",
     .order = "F_date",
     .detailTab = 1,
     .tabCaption = " 业务活动 ",
     .listCaption = "业务活动",
     .detailLayout = "detail2",
     .listLayout = "ActivityMan",
     .exportTitle = "业务联系记录",
     .permission = "Action211",
     .messages = {"请先选择要增加业务活动记录的客户！", "此表为空，没有业务活动记录需要修改！", "真的要删除当前{F_date}日的业务联系记录吗？"},
     .columns = kActivityColumns,
     .emptyDateFields = kActivityDates},
    {.kind = RecordKind::Quotation,
     .table = "t_BJrec",
     .order = "F_date",
     .detailTab = 3,
     .tabCaption = " 商品报价 ",
     .listCaption = "商品报价",
     .detailLayout = "detail4",
     .listLayout = "BaoJiaMan",
     .exportTitle = "商品报价记录",
     .permission = "Action212",
     .messages = {"请先选择要增加商品报价记录的客户！", "此表为空，没有商品报价记录需要修改！", "真的要删除当前商品{F_GDname}的{F_date}日报价记录吗？"},
     .columns = kQuotationColumns},
    {.kind = RecordKind::Contract,
     .table = "t_HTrec",
     .order = "F_date",
     .detailTab = 4,
     .tabCaption = " 合同管理 ",
     .listCaption = "合同管理",
     .detailLayout = "detail5",
     .listLayout = "HeTongMan",
     .exportTitle = "合同管理记录",
     .permission = "Action213",
     .messages = {"请先选择要增加合同档案的客户！", "此表为空，没有合同记录需要修改！", "真的要删除当前合同 {F_HTname} 吗？"},
     .columns = kContractColumns,
     .emptyDateFields = kContractDates},
    {.kind = RecordKind::SalesBill,
     .table = "t_XSrec",
     .detailTab = 5,
     .tabCaption = " 销售管理 ",
     .listCaption = "销售管理",
     .detailLayout = "detail6",
     .listLayout = "outxiaoshoudeptgl",
     .exportTitle = "销售管理记录",
     .permission = "Action214",
     .messages = {"请先选择要增加销售管理记录的客户！", "此表为空，没有销售管理记录需要修改！", "真的要删除销售单号为 {F_code} 的销售记录吗？"},
     .columns = kSalesBillColumns,
     .emptyDateFields = kSalesDates},
    {.kind = RecordKind::Visit,
     .table = "t_HFrec",
     .order = "F_date",
     .detailTab = 6,
     .tabCaption = " 售后回访 ",
     .listCaption = "售后回访",
     .detailLayout = "detail7",
     .listLayout = "HuiFangMan",
     .exportTitle = "售后回访记录",
     .permission = "Action215",
     .messages = {"请先选择要增加售后回访记录的客户！", "此表为空，没有售后回访记录需要修改！", "真的要删除当前{F_date}日的售后回访记录吗？"},
     .columns = kVisitColumns},
    {.kind = RecordKind::Complaint,
     .table = "t_TSrec",
     .detailTab = 7,
     .tabCaption = " 投诉反馈 ",
     .listCaption = "投诉反馈",
     .detailLayout = "detail8",
     .listLayout = "TouSuMan",
     .exportTitle = "投诉反馈记录",
     .permission = "Action216",
     .messages = {"请先选择要增加投诉记录的客户！", "此表为空，没有客户投诉记录需要修改！", "真的要删除当前{F_date}日的用户投诉记录吗？"},
     .columns = kComplaintColumns,
     .emptyDateFields = kComplaintDates},
    {.kind = RecordKind::CustomerProduct,
     .table = "t_GooDrec",
     .detailTab = 8,
     .tabCaption = " 客户产品 ",
     .listCaption = "客户产品",
     .detailLayout = "detail9",
     .exportTitle = "客户产品记录",
     .totalsRow = false,
     .messages = {"请先选择要增加产品记录的客户！", "此表为空，没有客户产品记录需要修改！", "真的要删除当前{F_GDname}日的客户商品记录吗？"},
     .columns = kProductColumns,
     .fields = kProductFields,
     .emptyDateFields = kProductDates},
    {.kind = RecordKind::Reminder,
     .table = "t_TXrec",
     .order = "F_editDate",
     .detailTab = 9,
     .tabCaption = " 事务提醒 ",
     .listCaption = "事务提醒",
     .detailLayout = "detail10",
     .listLayout = "awokegl1",
     .exportTitle = "事务提醒记录",
     .messages = {"请先选择要增加成交记录的客户！", "此表为空，没有事务提醒记录需要修改！", "真的要删除当前{F_editdate}日的事务提醒记录吗？"},
     .columns = kReminderColumns,
     .emptyDateFields = kReminderDates},
    {.kind = RecordKind::Goods, .table = "t_goods", .order = "F_code", .customerLink = "", .listLayout = "GoodSet",
     .exportTitle = "货品资料", .permission = "Action209"},
    {.kind = RecordKind::Employee, .table = "t_employee", .order = "F_code", .customerLink = "", .listLayout = "empman",
     .exportTitle = "职员档案", .permission = "Action210"},
    {.kind = RecordKind::Call, .table = "LdCltRec", .order = "F_LDdate", .listLayout = "CltLDrecGL", .exportTitle = "来电记录",
     .permission = "Action217"},
};

std::map<RecordKind, EditWindowFactory> &factories()
{
    static std::map<RecordKind, EditWindowFactory> map;
    return map;
}
} // namespace

QVector<DataGridColumn> designedGridColumns(std::span<const RecordColumn> columns, bool totals)
{
    QVector<DataGridColumn> cols;
    for (const RecordColumn &c : columns) {
        DataGridColumn col(QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width);
        col.displayFormat = QString::fromLatin1(c.format);
        if (c.sum && totals) {
            col.footerType = DataGridColumn::FooterType::Sum;
            col.footerFormat = col.displayFormat;
        }
        cols.append(col);
    }
    if (totals && !cols.isEmpty() && cols[0].footerType == DataGridColumn::FooterType::None) {
        cols[0].footerType = DataGridColumn::FooterType::Text;
        cols[0].footerValue = QStringLiteral("合计");
    }
    return cols;
}

QString RecordKindInfo::linkedSql() const
{
    return QStringLiteral("select * from %1 where %2 = :F_cltID order by %3")
        .arg(QString::fromLatin1(table), QString::fromLatin1(customerLink), QString::fromLatin1(order));
}

QStringList RecordKindInfo::emptyDates() const
{
    QStringList out;
    for (const char *f : emptyDateFields)
        out.append(QString::fromLatin1(f));
    return out;
}

QVector<DataGridColumn> RecordKindInfo::gridColumns() const { return designedGridColumns(columns, totalsRow); }

QString RecordKindInfo::fill(const char *pattern, const std::function<QString(const QString &field)> &text)
{
    const QString p = QString::fromUtf8(pattern);
    QString out;
    int i = 0;
    while (i < p.size()) {
        const int open = p.indexOf(QLatin1Char('{'), i);
        const int close = open < 0 ? -1 : p.indexOf(QLatin1Char('}'), open);
        if (close < 0) {
            out += p.mid(i);
            break;
        }
        out += p.mid(i, open - i) + text(p.mid(open + 1, close - open - 1));
        i = close + 1;
    }
    return out;
}

const RecordField *RecordKindInfo::field(const QString &column) const
{
    for (const RecordField &f : fields)
        if (column.compare(QLatin1String(f.column), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

int RecordKindInfo::maxLength(const QString &column) const
{
    const RecordField *f = field(column);
    return f && (f->type == FieldType::Text) ? f->maxLength : 0;
}

namespace RecordCatalogue {
std::span<const RecordKindInfo> all() { return kKinds; }

const RecordKindInfo &info(RecordKind kind)
{
    for (const RecordKindInfo &k : kKinds)
        if (k.kind == kind)
            return k;
    Q_UNREACHABLE();
}

const RecordKindInfo *ofTab(int tab)
{
    if (tab < 1 || tab > kDetailTabs)
        return nullptr;
    for (const RecordKindInfo &k : kKinds)
        if (k.detailTab == tab)
            return &k;
    return nullptr;
}

void setEditWindow(RecordKind kind, EditWindowFactory factory) { factories()[kind] = std::move(factory); }

const EditWindowFactory &editWindow(RecordKind kind)
{
    static const EditWindowFactory none;
    const auto it = factories().find(kind);
    return it == factories().end() ? none : it->second;
}
} // namespace RecordCatalogue
