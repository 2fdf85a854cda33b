#include "TFrmOperGl.h"

#include "platform/EnterAsTab.h"
#include "OperatorAdmin.h"
#include "TFrmLimitGl.h"
#include "app/AppState.h"
#include "platform/Messages.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Image 0: an ordinary row; image 1: a disabled one.
QIcon rowIcon(bool disabled)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = disabled ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x2e, 0x7d, 0x32);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    p.drawRoundedRect(QRectF(2.5, 8.5, 11, 6.5), 3, 3);
    if (disabled) {
        p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 2));
        p.drawLine(QPointF(2, 14), QPointF(14, 2));
    }
    return QIcon(pm);
}

QTreeWidget *makeList(const QString &name, const QStringList &titles, QWidget *parent)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setHeaderLabels(titles);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->header()->setStretchLastSection(true);
    list->setColumnWidth(0, 56);
    list->setColumnWidth(1, 90);
    list->setColumnWidth(2, 120);
    if (titles.size() > 4)
        list->setColumnWidth(3, 110);
    return list;
}

QPushButton *pageButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setCheckable(true);
    b->setAutoDefault(false);
    b->setMinimumWidth(96);
    return b;
}
} // namespace

TFrmOperGl::TFrmOperGl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmOperGl"));
    setWindowTitle(QStringLiteral("操作员管理"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto *hint = new QLabel(QStringLiteral("增加用户权限时，应该先增加角色(指的是同一类权限的用户)，然后再选择用户所属的角色，就可以了"), this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("QLabel { background-color: #fff8dc; border: 1px solid #e0c97a; padding: 6px; color: #5a4500; }"));

    btnPage1 = pageButton(QStringLiteral(" 用户列表 "), QStringLiteral("btnPage1"), this);
    btnPage2 = pageButton(QStringLiteral(" 角色列表 "), QStringLiteral("btnPage2"), this);
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    group->addButton(btnPage1, 1);
    group->addButton(btnPage2, 2);
    auto *pages = new QHBoxLayout;
    pages->setSpacing(4);
    pages->addWidget(btnPage1);
    pages->addWidget(btnPage2);
    pages->addStretch();

    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    lvOperList = makeList(QStringLiteral("lvOperList"),
                          {QStringLiteral("序"), QStringLiteral("编号"), QStringLiteral("用户名称"), QStringLiteral("角色"),
                           QStringLiteral("用户描述")},
                          PageControl1);
    lvPartList = makeList(QStringLiteral("lvPartList"),
                          {QStringLiteral("序"), QStringLiteral("编号"), QStringLiteral("角色名称"), QStringLiteral("角色描述")},
                          PageControl1);
    PageControl1->addWidget(lvOperList);
    PageControl1->addWidget(lvPartList);

    btnNew = new QPushButton(QStringLiteral("新增"), this);
    btnNew->setObjectName(QStringLiteral("btnNew"));
    btnEdit = new QPushButton(QStringLiteral("修改"), this);
    btnEdit->setObjectName(QStringLiteral("btnEdit"));
    btnDelete = new QPushButton(QStringLiteral("删除"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnClose = new QPushButton(QStringLiteral("关闭"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {btnNew, btnEdit, btnDelete, btnClose}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(80);
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto *body = new QHBoxLayout;
    body->addWidget(PageControl1, 1);
    body->addLayout(buttons);

    auto *top = new QVBoxLayout(this);
    top->addWidget(hint);
    top->addLayout(pages);
    top->addLayout(body, 1);
    resize(640, 420);

    // only the built-in administrator deletes operators and roles
    const bool mayDelete = appState().OperCode == QLatin1String("000");
    btnDelete->setVisible(mayDelete);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *actNew = PopupMenu1->addAction(QStringLiteral("新增"), this, &TFrmOperGl::btnNewClick);
    actNew->setObjectName(QStringLiteral("actNew"));
    QAction *actEdit = PopupMenu1->addAction(QStringLiteral("修改"), this, &TFrmOperGl::btnEditClick);
    actEdit->setObjectName(QStringLiteral("actEdit"));
    actDelete = PopupMenu1->addAction(QStringLiteral("删除"), this, &TFrmOperGl::btnDeleteClick);
    actDelete->setObjectName(QStringLiteral("actDelete"));
    actDelete->setVisible(mayDelete);
    PopupMenu1->addSeparator();
    QAction *actClose = PopupMenu1->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    actClose->setObjectName(QStringLiteral("actClose"));

    for (QTreeWidget *list : {lvOperList, lvPartList}) {
        connect(list, &QTreeWidget::customContextMenuRequested, this,
                [this, list](const QPoint &pos) { PopupMenu1->popup(list->viewport()->mapToGlobal(pos)); });
        connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { btnEditClick(); });
    }
    connect(group, &QButtonGroup::idClicked, this, &TFrmOperGl::setPage);
    connect(btnNew, &QPushButton::clicked, this, &TFrmOperGl::btnNewClick);
    connect(btnEdit, &QPushButton::clicked, this, &TFrmOperGl::btnEditClick);
    connect(btnDelete, &QPushButton::clicked, this, &TFrmOperGl::btnDeleteClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    EnterAsTab::install(this);
    RefreshLists();
    setPage(1);
}

void TFrmOperGl::setPage(int page)
{
    m_page = page == 2 ? 2 : 1;
    PageControl1->setCurrentWidget(m_page == 1 ? lvOperList : lvPartList);
    btnPage1->setChecked(m_page == 1);
    btnPage2->setChecked(m_page == 2);
}

void TFrmOperGl::RefreshLists()
{
    auto keep = [](QTreeWidget *list) { return list->currentItem() ? list->currentItem()->data(1, Qt::UserRole).toString() : QString(); };
    const QString oper = keep(lvOperList);
    const QString part = keep(lvPartList);

    lvOperList->clear();
    int n = 0;
    for (const OperatorAdmin::OperatorRow &r : OperatorAdmin::operators()) {
        auto *item = new QTreeWidgetItem(lvOperList, {QString::number(++n), r.code, r.name, r.roleName, r.mem});
        item->setIcon(0, rowIcon(r.disabled));
        item->setData(1, Qt::UserRole, r.code);
        item->setData(2, Qt::UserRole, r.name);
    }
    lvPartList->clear();
    n = 0;
    for (const OperatorAdmin::RoleRow &r : OperatorAdmin::roles()) {
        auto *item = new QTreeWidgetItem(lvPartList, {QString::number(++n), r.code, r.name, r.mem});
        item->setIcon(0, rowIcon(r.disabled));
        item->setData(1, Qt::UserRole, r.code);
        item->setData(2, Qt::UserRole, r.name);
    }
    selectCode(lvOperList, oper);
    selectCode(lvPartList, part);
}

void TFrmOperGl::selectCode(QTreeWidget *list, const QString &code)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        if (!code.isEmpty() && item->data(1, Qt::UserRole).toString() == code) {
            list->setCurrentItem(item);
            return;
        }
    }
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
}

QTreeWidget *TFrmOperGl::currentList() const { return m_page == 1 ? lvOperList : lvPartList; }

void TFrmOperGl::btnNewClick()
{
    const QString code = m_page == 1 ? EditOperator(QString(), false, this) : EditRole(QString(), false, this);
    RefreshLists();
    if (!code.isEmpty())
        selectCode(currentList(), code);
}

void TFrmOperGl::btnEditClick()
{
    QTreeWidgetItem *item = currentList()->currentItem();
    if (!item)
        return;
    const QString code = item->data(1, Qt::UserRole).toString();
    if (m_page == 1) {
        if (OperatorAdmin::isSystemOperator(code)) {
            ShowMess(OperatorAdmin::cannotEditSystemOperator(), MessWarning);
            return;
        }
        EditOperator(code, true, this);
    } else {
        EditRole(code, true, this);
    }
    RefreshLists();
}

void TFrmOperGl::btnDeleteClick()
{
    QTreeWidgetItem *item = currentList()->currentItem();
    if (!item || !actDelete->isVisible())
        return;
    const QString code = item->data(1, Qt::UserRole).toString();
    const QString name = item->data(2, Qt::UserRole).toString();
    QString message;
    if (m_page == 1) {
        if (OperatorAdmin::isSystemOperator(code)) {
            ShowMess(OperatorAdmin::cannotDeleteSystemOperator(), MessWarning);
            return;
        }
        if (ShowMess(QStringLiteral("真的要删除当前用户") + name + QStringLiteral("吗？"), MessDestructive) == 2)
            return;
        if (!OperatorAdmin::deleteOperator(code, &message))
            ShowMess(message, MessError);
    } else {
        if (ShowMess(QStringLiteral("真的要删除当前角色") + name + QStringLiteral("吗？"), MessDestructive) == 2)
            return;
        if (!OperatorAdmin::deleteRole(code, &message))
            ShowMess(message, MessError);
    }
    RefreshLists();
}
