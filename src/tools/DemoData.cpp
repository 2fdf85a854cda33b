#include "DemoData.h"

#include "BatchInserter.h"
#include "platform/Database.h"
#include "platform/Format.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace {
struct City
{
    const char16_t *name;
    const char16_t *areaCode;
    const char16_t *postcode;
};

struct Province
{
    const char16_t *name;      // as in the province code list
    const char16_t *addressHead; // how an address starts ("" for the cities that are provinces)
    int weight;
    QList<City> cities;
};

const QList<Province> &provinces()
{
    static const QList<Province> list = {
        {u"北京", u"", 8, {{u"北京市", u"010", u"100000"}}},
        {u"上海", u"", 8, {{u"上海市", u"021", u"200000"}}},
        {u"天津", u"", 3, {{u"天津市", u"022", u"300000"}}},
        {u"重庆", u"", 3, {{u"重庆市", u"023", u"400000"}}},
        {u"广东", u"广东省", 12, {{u"广州市", u"020", u"510000"}, {u"深圳市", u"0755", u"518000"}, {u"东莞市", u"0769", u"523000"}, {u"佛山市", u"0757", u"528000"}, {u"珠海市", u"0756", u"519000"}}},
        {u"江苏", u"江苏省", 10, {{u"南京市", u"025", u"210000"}, {u"苏州市", u"0512", u"215000"}, {u"无锡市", u"0510", u"214000"}, {u"常州市", u"0519", u"213000"}}},
        {u"浙江", u"浙江省", 10, {{u"杭州市", u"0571", u"310000"}, {u"宁波市", u"0574", u"315000"}, {u"温州市", u"0577", u"325000"}, {u"绍兴市", u"0575", u"312000"}}},
        {u"山东", u"山东省", 6, {{u"济南市", u"0531", u"250000"}, {u"青岛市", u"0532", u"266000"}, {u"烟台市", u"0535", u"264000"}}},
        {u"福建", u"福建省", 5, {{u"福州市", u"0591", u"350000"}, {u"厦门市", u"0592", u"361000"}, {u"泉州市", u"0595", u"362000"}}},
        {u"四川", u"四川省", 4, {{u"成都市", u"028", u"610000"}, {u"绵阳市", u"0816", u"621000"}}},
        {u"湖北", u"湖北省", 4, {{u"武汉市", u"027", u"430000"}, {u"宜昌市", u"0717", u"443000"}}},
        {u"湖南", u"湖南省", 3, {{u"长沙市", u"0731", u"410000"}, {u"株洲市", u"0731", u"412000"}}},
        {u"河南", u"河南省", 3, {{u"郑州市", u"0371", u"450000"}, {u"洛阳市", u"0379", u"471000"}}},
        {u"河北", u"河北省", 2, {{u"石家庄市", u"0311", u"050000"}, {u"唐山市", u"0315", u"063000"}}},
        {u"安徽", u"安徽省", 3, {{u"合肥市", u"0551", u"230000"}, {u"芜湖市", u"0553", u"241000"}}},
        {u"辽宁", u"辽宁省", 2, {{u"沈阳市", u"024", u"110000"}, {u"大连市", u"0411", u"116000"}}},
        {u"陕西", u"陕西省", 2, {{u"西安市", u"029", u"710000"}}},
        {u"江西", u"江西省", 1, {{u"南昌市", u"0791", u"330000"}}},
        {u"广西", u"广西壮族自治区", 1, {{u"南宁市", u"0771", u"530000"}}},
        {u"云南", u"云南省", 1, {{u"昆明市", u"0871", u"650000"}}},
        {u"吉林", u"吉林省", 1, {{u"长春市", u"0431", u"130000"}}},
        {u"黑龙江", u"黑龙江省", 1, {{u"哈尔滨市", u"0451", u"150000"}}},
    };
    return list;
}

struct Brand
{
    const char16_t *name;
    const char *pinyin;
};

const QList<Brand> &brands()
{
    static const QList<Brand> list = {
        {u"恒达", "hengda"}, {u"华信", "huaxin"}, {u"金源", "jinyuan"}, {u"宏图", "hongtu"}, {u"鑫盛", "xinsheng"},
        {u"博远", "boyuan"}, {u"瑞丰", "ruifeng"}, {u"中科", "zhongke"}, {u"天成", "tiancheng"}, {u"永利", "yongli"},
        {u"东方", "dongfang"}, {u"联创", "lianchuang"}, {u"汇通", "huitong"}, {u"卓越", "zhuoyue"}, {u"嘉禾", "jiahe"},
        {u"安捷", "anjie"}, {u"佳美", "jiamei"}, {u"正泰", "zhengtai"}, {u"国信", "guoxin"}, {u"新元", "xinyuan"},
        {u"长城", "changcheng"}, {u"万通", "wantong"}, {u"金桥", "jinqiao"}, {u"海纳", "haina"}, {u"伟业", "weiye"},
        {u"启明", "qiming"}, {u"同创", "tongchuang"}, {u"富华", "fuhua"}, {u"信达", "xinda"}, {u"远航", "yuanhang"},
        {u"明辉", "minghui"}, {u"泰和", "taihe"}, {u"盛世", "shengshi"}, {u"华阳", "huayang"}, {u"德信", "dexin"},
        {u"新锐", "xinrui"}, {u"晨光", "chenguang"}, {u"凯达", "kaida"}, {u"百川", "baichuan"}, {u"宝丰", "baofeng"},
        {u"兴业", "xingye"}, {u"润发", "runfa"}, {u"天诚", "tiancheng"}, {u"众合", "zhonghe"}, {u"光明", "guangming"},
        {u"精诚", "jingcheng"}, {u"和泰", "hetai"}, {u"弘毅", "hongyi"}, {u"立信", "lixin"}, {u"广源", "guangyuan"},
    };
    return list;
}

struct Industry
{
    const char16_t *leaf;
    QList<const char16_t *> words;
    QList<const char16_t *> products;
};

const QList<Industry> &industries()
{
    static const QList<Industry> list = {
        {u"电子设备", {u"电子科技", u"光电科技", u"电子"}, {u"电子元器件、电路板", u"工控主板、传感器", u"LED显示屏"}},
        {u"机械设备", {u"机械制造", u"精密机械", u"重工"}, {u"数控机床、传动设备", u"包装机械", u"液压设备"}},
        {u"化工材料", {u"化工", u"新材料", u"精细化工"}, {u"工业涂料、树脂", u"塑料粒子", u"胶粘剂"}},
        {u"纺织服装", {u"纺织", u"服饰", u"制衣"}, {u"棉纺面料", u"职业工装", u"针织成衣"}},
        {u"软件开发", {u"软件", u"信息技术", u"网络科技"}, {u"管理软件、定制开发", u"移动应用开发", u"数据分析平台"}},
        {u"系统集成", {u"系统集成", u"智能科技", u"信息工程"}, {u"网络工程、弱电集成", u"安防监控系统", u"机房建设"}},
        {u"互联网服务", {u"网络科技", u"互联网", u"数字科技"}, {u"电商平台运营", u"云服务、网站建设", u"网络推广"}},
        {u"商贸公司", {u"商贸", u"贸易", u"进出口"}, {u"办公用品、日用百货", u"五金建材", u"电子产品批发"}},
        {u"连锁超市", {u"超市", u"商业连锁", u"百货"}, {u"日用百货、生鲜食品", u"粮油副食", u"家居用品"}},
        {u"建筑施工", {u"建筑工程", u"建设", u"建工"}, {u"土建施工、装饰工程", u"钢结构工程", u"市政工程"}},
        {u"房地产开发", {u"房地产开发", u"置业", u"地产"}, {u"住宅开发", u"商业地产", u"物业管理"}},
        {u"金融保险", {u"投资", u"金融服务", u"保险代理"}, {u"理财产品", u"保险服务", u"融资租赁"}},
        {u"教育培训", {u"教育科技", u"培训", u"文化传播"}, {u"职业培训、在线课程", u"企业内训", u"教学设备"}},
        {u"医院", {u"医疗管理", u"健康管理", u"医疗"}, {u"医疗服务", u"体检服务", u"康复理疗"}},
        {u"医药公司", {u"医药", u"生物科技", u"药业"}, {u"药品批发、医疗器械", u"保健品", u"诊断试剂"}},
        {u"交通物流", {u"物流", u"运输", u"供应链"}, {u"仓储物流、货运代理", u"冷链运输", u"城市配送"}},
        {u"餐饮酒店", {u"餐饮管理", u"酒店管理", u"食品"}, {u"餐饮服务", u"酒店用品", u"团餐配送"}},
    };
    return list;
}

const QList<const char16_t *> kRoads = {u"人民路", u"中山路", u"解放路", u"建设路", u"和平路", u"新华路", u"长江路",
                                        u"黄河路", u"科技路", u"创业大道", u"工业大道", u"高新路", u"滨江路", u"世纪大道",
                                        u"学府路", u"东风路", u"迎宾大道", u"文化路"};
const QList<const char16_t *> kBuildings = {u"国际大厦", u"科技大厦", u"商务中心", u"创业园", u"工业园", u"金融大厦", u"广场"};
const QList<const char16_t *> kBanks = {u"中国工商银行", u"中国建设银行", u"中国农业银行", u"中国银行", u"交通银行",
                                        u"招商银行", u"浦发银行", u"兴业银行"};
const QList<const char16_t *> kBranches = {u"城南支行", u"高新支行", u"开发区支行", u"营业部", u"中山路支行", u"城东支行"};
const QList<const char16_t *> kGovernment = {u"市场监督管理局", u"住房和城乡建设局", u"教育局", u"交通运输局", u"卫生健康委员会", u"工业和信息化局"};

struct Surname
{
    const char16_t *name;
    const char *pinyin;
};
const QList<Surname> kSurnames = {
    {u"王", "wang"}, {u"李", "li"}, {u"张", "zhang"}, {u"刘", "liu"}, {u"陈", "chen"}, {u"杨", "yang"}, {u"黄", "huang"},
    {u"赵", "zhao"}, {u"吴", "wu"}, {u"周", "zhou"}, {u"徐", "xu"}, {u"孙", "sun"}, {u"马", "ma"}, {u"朱", "zhu"},
    {u"胡", "hu"}, {u"郭", "guo"}, {u"何", "he"}, {u"高", "gao"}, {u"林", "lin"}, {u"罗", "luo"}, {u"郑", "zheng"},
    {u"梁", "liang"}, {u"谢", "xie"}, {u"宋", "song"}, {u"唐", "tang"}, {u"许", "xu"}, {u"韩", "han"}, {u"冯", "feng"},
    {u"邓", "deng"}, {u"曹", "cao"}, {u"彭", "peng"}, {u"曾", "zeng"}, {u"萧", "xiao"}, {u"田", "tian"}, {u"董", "dong"},
    {u"潘", "pan"}, {u"袁", "yuan"}, {u"蔡", "cai"}, {u"蒋", "jiang"}, {u"余", "yu"}};
const QString kGivenChars = QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华建国志红玉兰文斌宇浩然欣怡子涵梓轩思远晓东海燕春梅立新雪琴家豪俊凯丹婷");

const QList<const char16_t *> kHobbies = {u"篮球", u"羽毛球", u"读书", u"钓鱼", u"登山", u"摄影", u"书法", u"旅游", u"围棋", u"茶艺", u"跑步", u"音乐"};
const QList<const char16_t *> kActivityNotes = {u"客户对产品功能比较满意，关注价格和交货期。", u"介绍了新产品方案，客户要求提供详细报价。",
                                                u"双方就合作方式进行了初步洽谈。", u"客户反馈上次供货质量良好，有追加采购意向。",
                                                u"客户预算尚未确定，约定下月再沟通。", u"技术人员现场演示，客户提出若干改进需求。"};
const QList<const char16_t *> kActivitySummaries = {u"有意向，待报价", u"继续跟进", u"已确认需求", u"暂无需求", u"等待客户答复", u"约定再次拜访"};
const QList<const char16_t *> kVisitNotes = {u"回访产品使用情况", u"了解售后服务满意度", u"节日问候并了解新需求", u"确认设备运行状况"};
const QList<const char16_t *> kVisitResults = {u"客户满意，无其他问题", u"客户提出培训需求，已安排", u"设备运行正常", u"有新的采购计划，转业务员跟进"};
const QList<const char16_t *> kComplaints = {u"到货时间比约定晚三天", u"部分产品包装破损", u"发票信息有误", u"售后响应不及时", u"产品规格与订单不符"};
const QList<const char16_t *> kComplaintResults = {u"已补发并致歉", u"已重新开具发票", u"已安排技术人员上门处理", u"已退换货", u"已与客户沟通达成一致"};
const QList<const char16_t *> kCallNotes = {u"咨询产品价格和供货周期", u"询问订单发货进度", u"反映设备故障需要维修", u"要求寄送产品资料", u"咨询代理合作政策"};
const QList<const char16_t *> kProductNames = {u"主力产品", u"配套产品", u"新品系列", u"出口型号", u"定制产品"};

struct GoodsBase
{
    const char16_t *name;
    const char16_t *type;
    const char16_t *unit;
    double price;
    const char *model;
};
const QList<GoodsBase> kGoods = {
    {u"工业平板电脑", u"电子产品", u"台", 4800, "IPC"}, {u"触摸显示器", u"电子产品", u"台", 1650, "TM"},
    {u"无线路由器", u"电子产品", u"台", 320, "WR"}, {u"千兆交换机", u"电子产品", u"台", 980, "SW"},
    {u"机架式服务器", u"电子产品", u"台", 18500, "SR"}, {u"笔记本电脑", u"电子产品", u"台", 5600, "NB"},
    {u"扫码枪", u"电子产品", u"个", 260, "SC"}, {u"监控摄像头", u"电子产品", u"个", 450, "CAM"},
    {u"激光打印机", u"办公设备", u"台", 1380, "LP"}, {u"数码复印机", u"办公设备", u"台", 12800, "DC"},
    {u"投影仪", u"办公设备", u"台", 3900, "PJ"}, {u"碎纸机", u"办公设备", u"台", 680, "SH"},
    {u"考勤机", u"办公设备", u"台", 560, "KQ"}, {u"办公桌椅", u"办公设备", u"套", 1200, "BZ"},
    {u"客户管理软件", u"软件产品", u"套", 6800, "CRM"}, {u"进销存软件", u"软件产品", u"套", 3800, "JXC"},
    {u"财务软件", u"软件产品", u"套", 5200, "CW"}, {u"防病毒软件", u"软件产品", u"套", 480, "AV"},
    {u"硒鼓", u"耗材配件", u"个", 260, "XG"}, {u"墨盒", u"耗材配件", u"个", 95, "MH"},
    {u"A4复印纸", u"耗材配件", u"箱", 125, "A4"}, {u"超五类网线", u"耗材配件", u"箱", 380, "WX"},
    {u"固态硬盘", u"耗材配件", u"个", 420, "SSD"}, {u"键盘鼠标套装", u"耗材配件", u"套", 150, "KM"},
    {u"上门安装", u"技术服务", u"次", 300, "AZ"}, {u"系统维护", u"技术服务", u"年", 3600, "WH"},
    {u"技术培训", u"技术服务", u"次", 1500, "PX"}, {u"网络布线", u"技术服务", u"米", 12, "BX"},
};

QString s(const char16_t *text) { return QString::fromUtf16(text); }

// Optional text left empty is written as '' (as the edit windows do), not NULL.
const QString kBlank = QStringLiteral("");

double round4(double v) { return std::nearbyint(v * 10000.0) / 10000.0; }
double round2(double v) { return std::nearbyint(v * 100.0) / 100.0; }

QString dateText(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }
QString ymd(const QDate &d) { return d.toString(QStringLiteral("yyyyMMdd")); }

// Unified social credit code: 18 characters, as printed on Chinese business licences.
const QString kCreditChars = QStringLiteral("0123456789ABCDEFGHJKLMNPQRTUWXY");
} // namespace

DemoData::DemoData(const QSqlDatabase &db, Options options) : m_db(db), m_options(std::move(options))
{
    if (!m_options.today.isValid())
        m_options.today = QDate::currentDate();
    // xoshiro128** seeded through splitmix32: the same numbers on every platform
    quint32 x = m_options.seed;
    for (quint32 &st : m_state) {
        x += 0x9E3779B9u;
        quint32 z = x;
        z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
        z = (z ^ (z >> 13)) * 0xC2B2AE35u;
        st = z ^ (z >> 16);
    }
    if (!(m_state[0] | m_state[1] | m_state[2] | m_state[3]))
        m_state[0] = 1;
}

quint32 DemoData::next()
{
    auto rotl = [](quint32 v, int k) { return (v << k) | (v >> (32 - k)); };
    const quint32 result = rotl(m_state[1] * 5, 7) * 9;
    const quint32 t = m_state[1] << 9;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = rotl(m_state[3], 11);
    return result;
}

int DemoData::below(int n) { return n <= 1 ? 0 : int((quint64(next()) * quint64(n)) >> 32); }

double DemoData::uniform(double lo, double hi) { return lo + (hi - lo) * (next() / 4294967296.0); }

QString DemoData::personName()
{
    QString name = s(pick(kSurnames).name);
    name += kGivenChars.at(below(int(kGivenChars.size())));
    if (chance(70))
        name += kGivenChars.at(below(int(kGivenChars.size())));
    return name;
}

QString DemoData::digits(int n)
{
    QString out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out += QChar(u'0' + below(10));
    return out;
}

QString DemoData::mobile()
{
    static const QStringList heads = {"130", "133", "135", "136", "138", "139", "150", "151", "158", "159", "177", "186", "188", "189"};
    return pick(heads) + digits(8);
}

QDate DemoData::dayBetween(const QDate &from, const QDate &to)
{
    const qint64 span = from.daysTo(to);
    return span <= 0 ? from : from.addDays(below(int(span) + 1));
}

bool DemoData::loadReferenceData(QString *error)
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("select F_type, F_name from t_code where F_name <> '' order by F_ID"))) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next())
        m_codes[q.value(0).toString().toLower()].append(q.value(1).toString());
    // industries: the leaves of the industry tree, with their paths
    if (!q.exec(QStringLiteral("select F_code, F_name, F_likecode from t_treecode where F_flag = 'hangyetype' order by F_code"))) {
        *error = q.lastError().text();
        return false;
    }
    QList<std::tuple<QString, QString, QString>> nodes;
    while (q.next())
        nodes.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    for (int i = 0; i < nodes.size(); ++i) {
        const QString code = std::get<0>(nodes.at(i));
        const bool hasChild = i + 1 < nodes.size() && std::get<0>(nodes.at(i + 1)).startsWith(code)
                              && std::get<0>(nodes.at(i + 1)).size() > code.size();
        if (!hasChild)
            m_industries.append({std::get<2>(nodes.at(i)), std::get<1>(nodes.at(i))});
    }
    if (m_industries.isEmpty())
        m_industries.append({QString(), QString()});
    return true;
}

bool DemoData::writeEmployees(QString *error)
{
    BatchInserter ins(m_db, QStringLiteral("t_employee"),
                      {"F_code", "F_name", "F_sex", "F_dept", "F_duty", "F_xueLI", "F_phone", "F_birthday", "F_SFZcode",
                       "F_address", "F_email", "F_ZZmm", "F_memo1", "F_flag", "F_imagepath"});
    // the salespeople first: the names of the code list, then more
    QStringList names = m_codes.value(QStringLiteral("empname"));
    const int salesCount = qMax(12, int(names.size()));
    const int total = salesCount + 8;
    QSet<QString> used(names.cbegin(), names.cend());
    while (names.size() < total) {
        const QString n = personName();
        if (!used.contains(n)) {
            used.insert(n);
            names.append(n);
        }
    }
    static const QList<QPair<const char16_t *, const char16_t *>> others = {
        {u"总经办", u"总经理"}, {u"财务部", u"会计"}, {u"技术部", u"工程师"}, {u"技术部", u"工程师"},
        {u"客服部", u"文员"}, {u"客服部", u"文员"}, {u"采购部", u"采购员"}, {u"行政部", u"文员"}};
    static const QStringList politics = {QStringLiteral("群众"), QStringLiteral("中共党员"), QStringLiteral("共青团员")};
    const QStringList xueli = m_codes.value(QStringLiteral("xueli"), {kBlank});
    for (int i = 0; i < total; ++i) {
        const bool sales = i < salesCount;
        const QString dept = sales ? QStringLiteral("销售部") : s(others.at((i - salesCount) % others.size()).first);
        const QString duty = sales ? (i % 5 == 0 ? QStringLiteral("主管") : QStringLiteral("业务员"))
                                   : s(others.at((i - salesCount) % others.size()).second);
        const QDate birthday(1970 + below(30), 1 + below(12), 1 + below(28));
        const Province &p = provinces().at(below(int(provinces().size())));
        const City &c = p.cities.at(below(int(p.cities.size())));
        // 18-digit identity number with its ISO 7064 check character
        QString id = s(c.postcode).left(2) + digits(4) + ymd(birthday) + digits(3);
        static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
        int sum = 0;
        for (int k = 0; k < 17; ++k)
            sum += id.at(k).digitValue() * weights[k];
        id += QStringLiteral("10X98765432").at(sum % 11);
        const bool left = !sales && i == total - 1;
        if (sales && !left)
            m_salespeople.append(names.at(i));
        m_staff.append(names.at(i));
        if (!ins.add({QString("%1").arg(i + 1, 3, 10, QChar('0')), names.at(i), chance(55) ? QStringLiteral("男") : QStringLiteral("女"),
                      dept, duty, pick(xueli), mobile(), dateText(birthday), id,
                      s(p.addressHead) + s(c.name) + s(pick(kRoads)) + QString::number(1 + below(300)) + QStringLiteral("号"),
                      QStringLiteral("emp%1@kelmor.cn").arg(i + 1, 3, 10, QChar('0')), pick(politics),
                      left ? QStringLiteral("已离职") : kBlank, left ? 1 : 0, kBlank})) {
            *error = ins.error();
            return false;
        }
    }
    if (!ins.flush()) {
        *error = ins.error();
        return false;
    }
    m_counts.employees = total;
    return true;
}

bool DemoData::writeGoods(QString *error)
{
    BatchInserter ins(m_db, QStringLiteral("t_goods"),
                      {"F_code", "F_name", "F_type", "F_spec", "F_unit", "F_price", "F_price1", "F_price2", "F_memo1", "F_Flag"});
    const QStringList types = m_codes.value(QStringLiteral("gdtype"), {kBlank});
    const QStringList units = m_codes.value(QStringLiteral("unit"), {kBlank});
    int code = 0;
    for (const GoodsBase &g : kGoods) {
        const int variants = 3 + below(3);
        for (int v = 0; v < variants; ++v) {
            Goods item;
            item.code = QString("%1").arg(++code, 6, 10, QChar('0'));
            item.name = s(g.name);
            item.type = types.contains(s(g.type)) ? s(g.type) : pick(types);
            item.unit = units.contains(s(g.unit)) ? s(g.unit) : pick(units);
            item.standard = QStringLiteral("%1-%2").arg(QLatin1String(g.model)).arg(100 * (v + 1) + below(10) * 10);
            item.price = round2(g.price * (1.0 + 0.35 * v) * uniform(0.95, 1.05));
            const bool stopped = v == variants - 1 && chance(15);
            if (!ins.add({item.code, item.name, item.type, item.standard, item.unit, item.price, round2(item.price * 0.85),
                          round2(item.price * 0.95), stopped ? QStringLiteral("已停产") : kBlank, stopped ? 1 : 0})) {
                *error = ins.error();
                return false;
            }
            if (!stopped)
                m_goods.append(item);
        }
    }
    if (!ins.flush()) {
        *error = ins.error();
        return false;
    }
    m_counts.goods = code;
    return true;
}

bool DemoData::writeCustomers(QString *error)
{
    const int n = m_options.customers;
    const QDate today = m_options.today;
    // entry dates run evenly over the last two years (longer when a day
    // would need more than 900 customer numbers)
    const int days = qMax(730, (n + 899) / 900);
    const QDate first = today.addDays(-days + 1);
    const QString empty = Format::emptyDateText();
    const QString oper = QStringLiteral("系统管理员");

    BatchInserter clients(m_db, QStringLiteral("t_client"),
                          {"F_cltID", "F_code", "F_name", "F_type", "F_hangye", "F_laiyuan", "F_country", "F_province",
                           "F_city", "F_address", "F_postcode", "F_phone", "F_fax", "F_homepage", "F_email", "F_enrol",
                           "F_khbank", "F_bankcode", "F_good", "F_xuqiu", "F_shuihao", "F_mem", "F_useFlag", "F_empName",
                           "F_editdate", "F_movephone", "F_date", "F_QQ", "F_ZF1", "F_ZF2", "F_ZF3", "F_ZF4", "F_ZF5",
                           "F_SZ1", "F_SZ2", "F_SZ3", "F_RQ1", "F_RQ2", "F_RQ3", "F_LXRname", "F_LXRdept", "F_LXRduty",
                           "F_LXRphone", "F_LXRqq", "F_LXRemail"});
    BatchInserter contacts(m_db, QStringLiteral("t_linkman"),
                           {"F_cltID", "F_code", "F_name", "F_IFkey", "F_dept", "F_duty", "F_officePhone", "F_homePhone",
                            "F_handPhone", "F_Fax", "F_Email", "F_Address", "F_birthday", "F_shihao", "F_mem", "F_QQ"});
    BatchInserter activities(m_db, QStringLiteral("t_LXrec"),
                             {"F_cltID", "F_date", "F_caption", "F_EmpName", "F_mode", "F_mem", "F_OperName", "F_ZJmem",
                              "F_IFgj", "F_awokeDate"});
    BatchInserter quotations(m_db, QStringLiteral("t_BJrec"),
                             {"F_cltID", "F_date", "F_billcode", "F_GDcode", "F_GDname", "F_name", "F_type", "F_spec",
                              "F_unit", "F_price", "F_amount", "F_totalprice", "F_filepath", "F_mem", "F_OperName",
                              "F_awokeDate"});
    BatchInserter contracts(m_db, QStringLiteral("t_HTrec"),
                            {"F_cltID", "F_date", "F_empName", "F_HTcode", "F_HTname", "F_HTprice", "F_YFprice",
                             "F_HTstatus", "F_filepath", "F_HTmem", "F_mem", "F_OperName"});
    BatchInserter bills(m_db, QStringLiteral("t_XSrec"),
                        {"F_cltID", "F_code", "F_date", "F_OLDcode", "F_makedate", "F_operName", "F_totalPrice",
                         "F_memo1", "F_FHemp", "F_FHdate", "F_SHemp", "F_SHdate", "F_SHphone", "F_SHaddress",
                         "F_FHfilePath"});
    BatchInserter lines(m_db, QStringLiteral("t_XSdetail"),
                        {"F_code", "F_GDcode", "F_GDname", "F_type", "F_spec", "F_unit", "F_rate", "F_price",
                         "F_amount", "F_totalPrice", "F_memo1"});
    BatchInserter visits(m_db, QStringLiteral("t_HFrec"), {"F_cltID", "F_date", "F_EmpName", "F_mem1", "F_mem2"});
    BatchInserter complaints(m_db, QStringLiteral("t_TSrec"),
                             {"F_cltID", "F_date", "F_EmpName", "F_mem1", "F_mem2", "F_CLempName", "F_CLdate"});
    BatchInserter products(m_db, QStringLiteral("t_GooDrec"),
                           {"F_cltID", "F_editdate", "F_GDcode", "F_GDname", "F_name", "F_type", "F_spec", "F_unit",
                            "F_price", "F_BuildAmount", "F_EnterAmount", "F_mem"});
    BatchInserter reminders(m_db, QStringLiteral("t_TXrec"),
                            {"F_cltID", "F_AwokeDate", "F_AwokeTime", "F_Caption", "F_mem1", "F_OperName", "F_editDate"});
    BatchInserter calls(m_db, QStringLiteral("LdCltRec"),
                        {"F_cltID", "F_date", "F_LDmem", "F_LDtype", "F_LDdate", "F_mem", "F_CLtype", "F_operName",
                         "F_CLTcode", "F_CLTname"});
    BatchInserter deals(m_db, QStringLiteral("t_CJrec"), {"F_cltID", "F_date"});
    QList<BatchInserter *> all = {&clients, &contacts, &activities, &quotations, &contracts, &bills, &lines,
                                  &visits, &complaints, &products, &reminders, &calls, &deals};

    auto list = [this](const char *type) { return m_codes.value(QString::fromLatin1(type), {kBlank}); };
    const QStringList cltTypes = list("clttype"), sources = list("laiyuan"), needs = list("xuqiu"), depts = list("dept"),
                      duties = list("duty"), captions = list("caption"), modes = list("mode"), htStatus = list("htstatus"),
                      txCaptions = list("txcaption"), awokeTimes = list("awoketime"), ldTypes = list("ldtype"),
                      clTypes = list("cltype");
    const QString china = m_codes.value(QStringLiteral("country")).contains(QStringLiteral("中国")) ? QStringLiteral("中国")
                                                                                                 : pick(list("country"));
    // provinces drawn by weight
    QList<int> provinceDraw;
    for (int i = 0; i < provinces().size(); ++i)
        for (int w = 0; w < provinces().at(i).weight; ++w)
            provinceDraw.append(i);
    static const QList<const char16_t *> suffixes = {u"有限公司", u"有限公司", u"有限公司", u"有限公司", u"有限公司",
                                                     u"股份有限公司", u"集团有限公司", u"有限责任公司"};
    static const QStringList levels = {"A级", "B级", "B级", "C级", "C级", "D级"};
    static const QStringList credits = {"AAA", "AA", "AA", "A", "A", "BBB"};
    static const QList<double> rates = {1, 1, 1, 1, 0.95, 0.9, 0.9, 0.85, 0.8};

    QHash<qint64, int> billsOfDay;
    QHash<qint64, int> quotesOfDay;
    int contractNo = 0;
    int dayIndex = -1;
    int seqOfDay = 0;
    auto failed = [&] {
        for (BatchInserter *b : all)
            if (!b->error().isEmpty()) {
                *error = b->error();
                break;
            }
        return false;
    };
    // one customer with everything that belongs to it
    auto writeOne = [&](int i) -> bool {
        const int cltID = i + 1;
        // Older customers have more records: a record is made with a chance
        // in proportion to the customer's time with us, so each day carries
        // records of the customers known by then.
        const double life = double(days - int(qint64(i) * days / qMax(1, n))) / days;
        auto lifeChance = [&](int percent) { return uniform(0, 1) < qMin(1.0, percent / 100.0 * 2.0 * life); };
        const int day = int(qint64(i) * days / qMax(1, n));
        if (day != dayIndex) {
            dayIndex = day;
            seqOfDay = 0;
        }
        const QDate entry = first.addDays(day);
        const QString code = ymd(entry) + QString("%1").arg(++seqOfDay, 3, 10, QChar('0'));

        const Province &prov = provinces().at(pick(provinceDraw));
        const City &city = prov.cities.at(below(int(prov.cities.size())));
        const QString cityName = s(city.name);
        const QString cityShort = cityName.endsWith(QStringLiteral("市")) ? cityName.chopped(1) : cityName;
        const auto &industry = pick(m_industries);
        const Industry *known = nullptr;
        for (const Industry &ind : industries())
            if (s(ind.leaf) == industry.second)
                known = &ind;
        const Brand &brand = pick(brands());
        QString name;
        QString goodText;
        if (industry.second == QStringLiteral("政府机关")) {
            name = cityShort + s(pick(kGovernment));
            goodText = QStringLiteral("公共服务");
        } else {
            const QString word = known ? s(pick(known->words)) : QStringLiteral("实业");
            name = cityShort + s(brand.name) + word + s(pick(suffixes));
            goodText = known ? s(pick(known->products)) : QStringLiteral("综合业务");
        }
        const QString area = s(city.areaCode);
        const QString domain = QStringLiteral("%1%2.com").arg(QLatin1String(brand.pinyin)).arg(cltID);
        const QString phone = area + QLatin1Char('-') + QString::number(5 + below(4)) + digits(7);
        const QString address = s(prov.addressHead) + cityName + s(pick(kRoads)) + QString::number(1 + below(500))
                                + QStringLiteral("号") + (chance(50) ? s(pick(kBuildings)) + QString::number(1 + below(30)) + QStringLiteral("楼") : kBlank);
        const QString sales = pick(m_salespeople);
        const bool stopped = chance(6);

        // contacts, the first is the main contact
        const int contactCount = 1 + below(3);
        QString mainName, mainDept, mainDuty, mainPhone, mainQQ, mainEmail;
        for (int k = 0; k < contactCount; ++k) {
            const Surname &sur = pick(kSurnames);
            QString person = s(sur.name) + kGivenChars.at(below(int(kGivenChars.size())));
            if (chance(70))
                person += kGivenChars.at(below(int(kGivenChars.size())));
            const QString dept = pick(depts), duty = pick(duties);
            const QString office = phone.left(phone.size() - 2) + digits(2);
            const QString email = QStringLiteral("%1%2@%3").arg(QLatin1String(sur.pinyin)).arg(below(1000)).arg(domain);
            const QString qq = QString::number(1 + below(9)) + digits(5 + below(5));
            if (k == 0) {
                mainName = person;
                mainDept = dept;
                mainDuty = duty;
                mainPhone = office;
                mainQQ = qq;
                mainEmail = email;
            }
            const QString birthday = chance(40) ? dateText(QDate(1965 + below(35), 1 + below(12), 1 + below(28))) : empty;
            if (!contacts.add({cltID, kBlank, person, k == 0 ? 1 : 0, dept, duty, office, chance(30) ? area + QLatin1Char('-') + digits(8) : kBlank,
                               mobile(), chance(50) ? phone.left(phone.size() - 1) + QLatin1Char('9') : kBlank, email,
                               cityName + s(pick(kRoads)) + QString::number(1 + below(300)) + QStringLiteral("号"),
                               birthday, chance(60) ? s(pick(kHobbies)) : kBlank, kBlank, qq}))
                return false;
            ++m_counts.contacts;
        }
        {
            const QString credit = QStringLiteral("91") + s(city.postcode).left(4) + QStringLiteral("00");
            QString tail;
            for (int k = 0; k < 10; ++k)
                tail += kCreditChars.at(below(int(kCreditChars.size())));
            const QDate founded = entry.addDays(-365 * (2 + below(25)) - below(365));
            const QDate signedOn = chance(60) ? dayBetween(entry, today) : QDate();
            if (!clients.add({cltID, code, name, pick(cltTypes), industry.first, pick(sources), china, s(prov.name), cityName,
                              address, s(city.postcode), phone, chance(60) ? area + QLatin1Char('-') + digits(8) : kBlank,
                              QStringLiteral("www.") + domain, QStringLiteral("info@") + domain, personName(),
                              s(pick(kBanks)) + cityShort + s(pick(kBranches)), digits(19), goodText, pick(needs),
                              credit + tail, chance(20) ? QStringLiteral("重点跟进客户") : kBlank, stopped ? 1 : 0, sales,
                              dateText(entry), mobile(), dateText(entry), QString::number(1 + below(9)) + digits(5 + below(5)),
                              pick(levels), pick(credits), name.size() <= 50 ? name : kBlank,
                              chance(50) ? QStringLiteral("wx_%1%2").arg(QLatin1String(brand.pinyin)).arg(below(100000)) : kBlank,
                              kBlank, double(50 * (1 + below(200))), double(100 * (1 + below(5000))), double(5 + below(2000)),
                              dateText(founded), signedOn.isValid() ? dateText(signedOn) : empty,
                              signedOn.isValid() ? dateText(signedOn.addYears(1 + below(3))) : empty,
                              mainName, mainDept, mainDuty, mainPhone, mainQQ, mainEmail}))
                return false;
            ++m_counts.customers;
        }

        // activities
        for (int k = 0; k < 3; ++k) {
            if (!lifeChance(50))
                continue;
            const QDate d = dayBetween(entry, today);
            const bool again = chance(35);
            if (!activities.add({cltID, dateText(d), pick(captions), sales, pick(modes), s(pick(kActivityNotes)), oper,
                                 s(pick(kActivitySummaries)), again ? 1 : 0, again ? dateText(d.addDays(3 + below(25))) : empty}))
                return false;
            ++m_counts.activities;
        }
        // quotations
        if (lifeChance(35)) {
            for (int k = 1 + below(2); k > 0; --k) {
                const QDate d = dayBetween(entry, today);
                const Goods &g = pick(m_goods);
                const double amount = 1 + below(20);
                const QString billcode = QStringLiteral("BJ") + ymd(d) + QString("%1").arg(++quotesOfDay[d.toJulianDay()], 3, 10, QChar('0'));
                if (!quotations.add({cltID, dateText(d), billcode, g.code, g.name, g.name, g.type, g.standard, g.unit, g.price, amount,
                                     round2(g.price * amount), kBlank, QStringLiteral("报价有效期30天"), oper,
                                     chance(50) ? dateText(d.addDays(7)) : empty}))
                    return false;
                ++m_counts.quotations;
            }
        }
        // contracts
        if (lifeChance(25)) {
            const QDate d = dayBetween(entry, today);
            const double price = round2(uniform(5000, 500000));
            const QString status = pick(htStatus);
            const double paid = status == QStringLiteral("已完成") ? price : round2(price * below(11) / 10.0);
            if (!contracts.add({cltID, dateText(d), sales, QStringLiteral("HT%1%2").arg(d.year()).arg(++contractNo, 6, 10, QChar('0')),
                                cityShort + s(brand.name) + QStringLiteral("采购合同"), price, paid, status, kBlank,
                                QStringLiteral("供货、安装及售后服务"), kBlank, oper}))
                return false;
            ++m_counts.contracts;
        }
        // sales bills with their lines, and the deals they close
        for (int k = 0; k < 3; ++k) {
            if (!lifeChance(35))
                continue;
            {
                QDate d = dayBetween(entry, today);
                // at most 999 bills a day: move to a later (or earlier) day when full
                auto full = [&](const QDate &day) { return billsOfDay.value(day.toJulianDay()) >= 999; };
                while (full(d) && d < today)
                    d = d.addDays(1);
                while (full(d) && d > first)
                    d = d.addDays(-1);
                if (full(d))
                    break;
                const QString billCode = QStringLiteral("XS") + ymd(d)
                                         + QString("%1").arg(++billsOfDay[d.toJulianDay()], 3, 10, QChar('0'));
                double total = 0;
                for (int l = 1 + below(4); l > 0; --l) {
                    const Goods &g = pick(m_goods);
                    const double amount = 1 + below(g.price > 5000 ? 5 : 50);
                    const double rate = pick(rates);
                    const double lineTotal = round4(round4(g.price) * amount * rate);
                    total += lineTotal;
                    if (!lines.add({billCode, g.code, g.name, g.type, g.standard, g.unit, rate, g.price, amount, lineTotal, kBlank}))
                        return false;
                    ++m_counts.billLines;
                }
                const QDate shipped = d.addDays(below(3));
                const bool received = shipped.addDays(3) <= today && chance(85);
                const QString made = dateText(d) + QStringLiteral(" %1:%2:%3")
                                                       .arg(8 + below(10), 2, 10, QChar('0'))
                                                       .arg(below(60), 2, 10, QChar('0'))
                                                       .arg(below(60), 2, 10, QChar('0'));
                if (!bills.add({cltID, billCode, dateText(d), chance(30) ? QStringLiteral("PO") + digits(8) : kBlank, made, oper,
                                round4(total), kBlank, pick(m_staff), dateText(shipped), mainName,
                                received ? dateText(shipped.addDays(1 + below(3))) : empty, mainPhone, address, kBlank}))
                    return false;
                ++m_counts.bills;
                if (!deals.add({cltID, dateText(d)}))
                    return false;
                ++m_counts.deals;
            }
        }
        // after-sales visits
        if (lifeChance(30)) {
            if (!visits.add({cltID, dateText(dayBetween(entry, today)), pick(m_staff), s(pick(kVisitNotes)), s(pick(kVisitResults))}))
                return false;
            ++m_counts.visits;
        }
        // complaints, most of them handled
        if (lifeChance(12)) {
            const QDate d = dayBetween(entry, today);
            const bool handled = chance(75);
            if (!complaints.add({cltID, dateText(d), pick(m_staff), s(pick(kComplaints)), handled ? s(pick(kComplaintResults)) : kBlank,
                                 handled ? pick(m_staff) : kBlank, handled ? dateText(qMin(today, d.addDays(1 + below(5)))) : empty}))
                return false;
            ++m_counts.complaints;
        }
        // products the customer makes or uses
        if (lifeChance(25)) {
            for (int k = 1 + below(2); k > 0; --k) {
                const QString pname = (known ? s(pick(known->words)) : kBlank) + s(pick(kProductNames));
                if (!products.add({cltID, dateText(dayBetween(entry, today)), QStringLiteral("P") + digits(5), pname.left(50), pname,
                                   goodText.left(255), QStringLiteral("标准型"), pick(list("unit")), round2(uniform(10, 5000)),
                                   QStringLiteral("年产%1万件").arg(1 + below(500)), QStringLiteral("%1万元").arg(10 + below(990)),
                                   kBlank}))
                    return false;
                ++m_counts.products;
            }
        }
        // reminders around today
        if (chance(30)) {
            const QDate d = today.addDays(-30 + below(91));
            if (!reminders.add({cltID, dateText(d), pick(awokeTimes), pick(txCaptions),
                                QStringLiteral("联系%1，%2").arg(mainName, s(pick(kActivitySummaries))), oper,
                                dateText(qMin(today, qMax(entry, d.addDays(-below(20)))))}))
                return false;
            ++m_counts.reminders;
        }
        // incoming calls
        if (lifeChance(20)) {
            const QDate d = dayBetween(entry, today);
            if (!calls.add({cltID, dateText(d), s(pick(kCallNotes)), pick(ldTypes), dateText(d), kBlank, pick(clTypes),
                            oper, code, name}))
                return false;
            ++m_counts.calls;
        }

        return true;
    };
    for (int i = 0; i < n; ++i) {
        if (!writeOne(i))
            return failed();
        if (m_progress && ((i + 1) % 500 == 0 || i + 1 == n))
            m_progress(i + 1, n);
    }
    for (BatchInserter *b : all)
        if (!b->flush())
            return failed();
    return true;
}

bool DemoData::generate(QString *error)
{
    QString err;
    m_counts = Counts();
    if (m_options.customers <= 0)
        return true;
    Transaction tr(m_db);
    const bool ok = loadReferenceData(&err) && writeEmployees(&err) && writeGoods(&err) && writeCustomers(&err)
                    && tr.commit(&err);
    if (!ok && error)
        *error = QStringLiteral("演示数据生成失败：%1").arg(err);
    return ok;
}
