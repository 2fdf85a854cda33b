// The main window's commands: every action with its caption and name, the
// menu bar, the tool bar and the customer grid's pop-up menu.
#include "TFrmMain.h"
#include "ui_TFrmMain.h"

#include "security/Permissions.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

namespace {
// A tool bar picture: a rounded tile in the command's colour with the first
// character of its meaning.
QIcon tileIcon(const QString &glyph, const QColor &color)
{
    const int s = 64;
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, color.lighter(125));
    g.setColorAt(1, color);
    p.setPen(QPen(color.darker(130), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3, 3, s - 6, s - 6), 12, 12);
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(34);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, s, s - 2), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

// One line of a menu: an action name, or "-" for a separator.
struct MenuDef
{
    const char *name;
    const char *title;
    std::initializer_list<const char *> items;
};
} // namespace

QAction *TFrmMain::newAction(const QString &name, const QString &caption)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    // the window's own keys work whichever control has the focus
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    return a;
}

void TFrmMain::CreateActions()
{
    // one action per permission code, and the named commands; each stays
    // disabled until BindCommands finds its handler in the registry (the
    // detail panel enables its own)
    for (const Permissions::Entry &e : Permissions::table())
        newAction(Permissions::actionName(e.code), e.caption);
    newAction(QStringLiteral("Action31"), QStringLiteral("导出"));

    newAction(QStringLiteral("N43"), QStringLiteral("重新登录"));
    newAction(QStringLiteral("N5"), QStringLiteral("退出系统"));
    newAction(QStringLiteral("N24"), QStringLiteral("计算器"));
    newAction(QStringLiteral("N25"), QStringLiteral("笔记本"));
    newAction(QStringLiteral("N82"), QStringLiteral("清除客户空行"));
    newAction(QStringLiteral("N8"), QStringLiteral("帮助文件"));
    newAction(QStringLiteral("N9"), QStringLiteral("每日一贴"))->setVisible(false);
    newAction(QStringLiteral("N10"), QStringLiteral("常见问题"));
    newAction(QStringLiteral("N7"), QStringLiteral("自述文件"));
    newAction(QStringLiteral("N41"), QStringLiteral("最新功能"));
    newAction(QStringLiteral("N3"), QStringLiteral("关于我们"));
    newAction(QStringLiteral("N27"), QStringLiteral("浏览作者的网站"));
    newAction(QStringLiteral("N96"), QStringLiteral("来电速记"));
    newAction(QStringLiteral("actXSgl"), QStringLiteral("销售管理"));
    newAction(QStringLiteral("actClose"), QStringLiteral("关闭"));
    for (QAction *a : actions())
        a->setEnabled(false);
    // the view switches are no commands: always available
    for (const auto &[name, caption] : {std::pair{"nshitu1", "工具栏"}, std::pair{"nshitu2", "导航树"}, std::pair{"nshitu3", "状态栏"}}) {
        QAction *a = newAction(QString::fromLatin1(name), QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(true);
    }

    action(QStringLiteral("201"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    action(QStringLiteral("202"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    action(QStringLiteral("203"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action(QStringLiteral("903"))->setShortcut(QKeySequence(Qt::Key_Delete));

    const struct
    {
        const char *name;
        const char *glyph;
        QRgb color;
    } icons[] = {{"N43", "登", 0x1565c0},      {"Action209", "货", 0x00897b}, {"Action210", "职", 0x3949ab},
                 {"N96", "电", 0xef6c00},      {"Action211", "业", 0x2e7d32}, {"Action213", "合", 0x6d4c41},
                 {"actXSgl", "销", 0x7b1fa2},  {"Action201", "新", 0x43a047}, {"Action207", "复", 0x0097a7},
                 {"Action202", "改", 0xf29d00}, {"Action203", "删", 0xe53935}, {"actClose", "关", 0x546e7a}};
    for (const auto &i : icons)
        action(QString::fromLatin1(i.name))->setIcon(tileIcon(QString::fromUtf8(i.glyph), QColor(i.color)));
}

void TFrmMain::CreateMenus()
{
    static const MenuDef menus[] = {
        {"mi100", "文件(&F)", {"Action101", "Action102", "Action103", "-", "Action104", "Action105", "Action106", "-", "N43", "N5"}},
        {"mi200", "编辑(&E)", {"Action201", "Action207", "Action202", "Action203", "Action204", "-", "Action209", "Action210",
                           "Action217", "-", "Action211", "Action212", "Action213", "Action214", "Action215", "Action216", "-",
                           "Action205", "Action206"}},
        {"mi300", "输出(&O)", {"Action301", "Action302", "-", "Action303", "Action304", "Action305", "Action306", "Action307",
                           "Action308", "Action309", "-", "Action310", "Action311", "Action312", "Action313"}},
        {"mi400", "统计(&S)", {"Action401", "Action402", "-", "Action403", "Action404", "Action405", "Action406", "Action407",
                           "Action408"}},
        {"mi500", "数据(&D)", {"Action501", "N82", "Action502", "Action503", "-", "Action504", "Action505"}},
        {"mi600", "视图(&V)", {"nshitu1", "nshitu2", "nshitu3"}},
        {"mi700", "工具(&T)", {"N24", "N25"}},
        {"mi800", "帮助(&H)", {"N8", "N9", "N10", "-", "N7", "N41", "-", "N3", "N27"}},
    };
    for (const MenuDef &def : menus) {
        QMenu *menu = ui->MainMenu1->addMenu(QString::fromUtf8(def.title));
        menu->setObjectName(QString::fromLatin1(def.name));
        for (const char *item : def.items) {
            if (qstrcmp(item, "-") == 0)
                menu->addSeparator();
            else
                menu->addAction(action(QString::fromLatin1(item)));
        }
    }
    // F10 opens the menu bar at its first menu, as desktop programs do
    auto *f10 = new QAction(this);
    f10->setObjectName(QStringLiteral("actMenuBar"));
    f10->setShortcut(QKeySequence(Qt::Key_F10));
    f10->setShortcutContext(Qt::WindowShortcut);
    connect(f10, &QAction::triggered, this, [this] {
        for (QAction *m : ui->MainMenu1->actions())
            if (m->isVisible() && m->isEnabled()) {
                ui->MainMenu1->setFocus(Qt::MenuBarFocusReason);
                ui->MainMenu1->setActiveAction(m);
                return;
            }
    });
    addAction(f10);
}

void TFrmMain::CreateToolBar()
{
    m_toolBar1 = new QToolBar(ui->CoolBar1);
    m_toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar1->setIconSize(QSize(30, 30));
    m_toolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar1->setMovable(false);
    m_toolBar1->setFloatable(false);
    m_toolBar1->setStyleSheet(QStringLiteral("QToolBar { border: none; spacing: 2px; } "
                                             "QToolButton { min-width: 55px; min-height: 49px; padding: 1px 3px; }"));
    ui->layCoolBar->addWidget(m_toolBar1);
    ui->layCoolBar->addStretch();

    static const struct
    {
        const char *action;
        const char *button;
    } buttons[] = {{"N43", "ToolButton9"},       {"-", nullptr},
                   {"Action209", "ToolButton1"}, {"Action210", "ToolButton2"}, {"N96", "tbLDsj"},
                   {"-", nullptr},
                   {"Action211", "ToolButton3"}, {"Action213", "ToolButton4"}, {"actXSgl", "tbXSgl"},
                   {"-", nullptr},
                   {"Action201", "ToolButton5"}, {"Action207", "ToolButton6"}, {"Action202", "ToolButton7"},
                   {"Action203", "ToolButton8"},
                   {"-", nullptr},
                   {"actClose", "ToolButton10"}};
    for (const auto &b : buttons) {
        if (!b.button) {
            m_toolBar1->addSeparator();
            continue;
        }
        QAction *a = action(QString::fromLatin1(b.action));
        m_toolBar1->addAction(a);
        QWidget *w = m_toolBar1->widgetForAction(a);
        w->setObjectName(QString::fromLatin1(b.button));
    }
    for (QAction *a : m_toolBar1->actions()) {
        if (a->isSeparator())
            continue;
        connect(a, &QAction::visibleChanged, this, &TFrmMain::TidyToolBar);
        // the tip names the command and its key, whenever the key is given
        QWidget *button = m_toolBar1->widgetForAction(a);
        const auto tip = [a, button] {
            QString text = a->text();
            if (!a->shortcut().isEmpty())
                text += QStringLiteral("（") + a->shortcut().toString(QKeySequence::NativeText) + QStringLiteral("）");
            button->setToolTip(text);
        };
        tip();
        connect(a, &QAction::changed, button, tip);
    }

    // 来电速记 drops down to the quick entry and the call log
    auto *drop = new QMenu(this);
    drop->setObjectName(QStringLiteral("PopupMenuLDsj"));
    drop->addAction(action(QStringLiteral("N96")));
    drop->addAction(action(QStringLiteral("Action217")));
    if (auto *tb = qobject_cast<QToolButton *>(m_toolBar1->findChild<QWidget *>(QStringLiteral("tbLDsj")))) {
        tb->setMenu(drop);
        tb->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

// A separator shows only between two groups that both have a visible button,
// so that hidden commands leave no doubled bars behind.
void TFrmMain::TidyToolBar()
{
    const QList<QAction *> all = m_toolBar1->actions();
    bool before = false;
    for (int i = 0; i < all.size(); ++i) {
        QAction *a = all.at(i);
        if (!a->isSeparator()) {
            before = before || a->isVisible();
            continue;
        }
        bool after = false;
        for (int j = i + 1; j < all.size() && !all.at(j)->isSeparator(); ++j)
            after = after || all.at(j)->isVisible();
        a->setVisible(before && after);
    }
}

void TFrmMain::CreatePopupMenu()
{
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const char *item : {"Action201", "Action207", "Action202", "Action203", "Action204", "Action301", "-", "Action210",
                             "Action211", "Action212", "Action213", "Action214", "Action215", "-", "Action205", "Action206",
                             "Action208", "Action218"}) {
        if (qstrcmp(item, "-") == 0)
            m_popupMenu1->addSeparator();
        else
            m_popupMenu1->addAction(action(QString::fromLatin1(item)));
    }
}
