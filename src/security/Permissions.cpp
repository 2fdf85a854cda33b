#include "Permissions.h"

#include "app/TdmData.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

namespace Permissions {
namespace {
QList<Entry> buildTable()
{
    struct Raw
    {
        const char *code;
        const char *category;
        const char *caption;
    };
    // clang-format off
    static const Raw raw[] = {
        {"101", "文件", "公司信息"}, {"102", "文件", "更改密码"}, {"103", "文件", "用户权限"},
        {"104", "文件", "选项..."}, {"105", "文件", "行业类别"}, {"106", "文件", "自定义设置"},
        {"201", "编辑", "新增"}, {"202", "编辑", "修改"}, {"203", "编辑", "删除"},
        {"204", "编辑", "排序..."}, {"205", "编辑", "显示字段选择"}, {"206", "编辑", "保存当前网格"},
        {"207", "编辑", "复制"}, {"208", "编辑", "更改所选当前客户类型"}, {"209", "编辑", "货品资料"},
        {"210", "编辑", "职员档案"}, {"211", "编辑", "业务活动"}, {"212", "编辑", "商品报价"},
        {"213", "编辑", "合同管理"}, {"214", "编辑", "销售管理"}, {"215", "编辑", "售后回访"},
        {"216", "编辑", "投诉反馈"}, {"217", "编辑", "来电管理"}, {"218", "编辑", "更改所选客户业务人员"},
        {"301", "输出", "导出"}, {"302", "输出", "报表设计"}, {"303", "输出", "当前客户详细报表"},
        {"304", "输出", "当前客户业务活动"}, {"305", "输出", "当前客户商品报价"}, {"306", "输出", "当前客户合同管理"},
        {"307", "输出", "当前客户销售管理"}, {"308", "输出", "当前客户售后回访"}, {"309", "输出", "当前客户投诉反馈"},
        {"310", "输出", "当前客户统计列表"}, {"311", "输出", "当前客户信封打印"}, {"312", "输出", "客户信封标签打印"},
        {"313", "输出", "导出客户电子信箱"},
        {"401", "统计", "统计"}, {"402", "统计", "业务提醒"}, {"403", "统计", "业务活动统计列表"},
        {"404", "统计", "商品报价统计列表"}, {"405", "统计", "合同管理统计列表"}, {"406", "统计", "销售管理统计列表"},
        {"407", "统计", "售后回访统计列表"}, {"408", "统计", "投诉反馈统计列表"},
        {"501", "数据", "导入客户资料"}, {"502", "数据", "系统数据清理"}, {"503", "数据", "数据备份恢复"},
        {"504", "数据", "压缩修复数据库"}, {"505", "数据", "连接网络数据库"},
        {"901", "主编辑", "新增"}, {"902", "主编辑", "修改"}, {"903", "主编辑", "删除"},
        {"904", "主编辑", "排序..."}, {"905", "主编辑", "显示字段选择"}, {"906", "主编辑", "保存当前网格"},
    };
    // clang-format on
    QList<Entry> out;
    for (const Raw &r : raw)
        out.append({QString::fromUtf8(r.code), QString::fromUtf8(r.category), QString::fromUtf8(r.caption)});
    return out;
}

QAction *toolBarActionOf(QWidget *w)
{
    auto *bar = qobject_cast<QToolBar *>(w->parentWidget());
    if (!bar)
        return nullptr;
    for (QAction *a : bar->actions())
        if (bar->widgetForAction(a) == w)
            return a;
    return nullptr;
}

// A top menu is shown when any coded command in it is.
void followMenu(QWidget *mainWindow, const QString &menuName)
{
    auto *menu = mainWindow->findChild<QMenu *>(menuName);
    if (!menu)
        return;
    bool any = false;
    for (QAction *a : menu->actions()) {
        const QString name = a->objectName();
        if (name.startsWith(QLatin1String("Action")) && find(name.mid(6)) && a->isVisible())
            any = true;
    }
    menu->menuAction()->setVisible(any);
}

void follow(QWidget *mainWindow, const QString &target, const QString &source)
{
    setObjectVisible(mainWindow->findChild<QObject *>(target),
                     isObjectVisible(mainWindow->findChild<QAction *>(source)));
}
} // namespace

const QList<Entry> &table()
{
    static const QList<Entry> t = buildTable();
    return t;
}

const Entry *find(const QString &code)
{
    for (const Entry &e : table())
        if (e.code == code)
            return &e;
    return nullptr;
}

QString actionName(const QString &code) { return QStringLiteral("Action") + code; }

QString categoryOf(const QString &code)
{
    switch (code.isEmpty() ? 0 : code.at(0).unicode()) {
    case '1':
        return QStringLiteral("文件");
    case '2':
        return QStringLiteral("编辑");
    case '3':
        return QStringLiteral("输出");
    case '4':
        return QStringLiteral("统计");
    case '5':
        return QStringLiteral("数据");
    case '9':
        return QStringLiteral("主编辑");
    default:
        return QString();
    }
}

void setObjectVisible(QObject *object, bool visible)
{
    if (!object)
        return;
    if (auto *a = qobject_cast<QAction *>(object)) {
        a->setVisible(visible);
    } else if (auto *m = qobject_cast<QMenu *>(object)) {
        m->menuAction()->setVisible(visible);
    } else if (auto *w = qobject_cast<QWidget *>(object)) {
        if (QAction *a = toolBarActionOf(w))
            a->setVisible(visible);
        else
            w->setVisible(visible);
    }
}

bool isObjectVisible(const QObject *object)
{
    if (!object)
        return false;
    if (auto *a = qobject_cast<const QAction *>(object))
        return a->isVisible();
    if (auto *m = qobject_cast<const QMenu *>(object))
        return m->menuAction()->isVisible();
    if (auto *w = qobject_cast<const QWidget *>(object)) {
        if (QAction *a = toolBarActionOf(const_cast<QWidget *>(w)))
            return a->isVisible();
        return !w->isHidden();
    }
    return false;
}

void SetLimits(QWidget *mainWindow, const QString &operCode)
{
    if (!mainWindow)
        return;
    const bool all = operCode.trimmed() == QLatin1String("000");
    for (const Entry &e : table()) {
        QAction *a = mainWindow->findChild<QAction *>(actionName(e.code));
        if (!a)
            continue;
        a->setVisible(all || (dmData && dmData->HasPermission(e.code)));
    }
    follow(mainWindow, QStringLiteral("Action31"), QStringLiteral("Action301"));
    for (const char *menu : {"mi100", "mi200", "mi300", "mi400", "mi500"})
        followMenu(mainWindow, QString::fromLatin1(menu));
    follow(mainWindow, QStringLiteral("tbLDsj"), QStringLiteral("Action217"));
    follow(mainWindow, QStringLiteral("tbXSgl"), QStringLiteral("Action214"));
}
} // namespace Permissions
