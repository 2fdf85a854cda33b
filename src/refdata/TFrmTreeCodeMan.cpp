#include "TFrmTreeCodeMan.h"

#include "TDlgCategoryCaption.h"
#include "TreeServices.h"
#include "app/TdmData.h"
#include "platform/Messages.h"
#include "platform/Modal.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString connectionFailed() { return QStringLiteral("数据连接失败，请与作者联系... "); }

QTreeWidgetItem *findCode(QTreeWidgetItem *top, const QString &code)
{
    if (!top)
        return nullptr;
    if (top->data(0, TreeRole::Code).toString() == code)
        return top;
    for (int i = 0; i < top->childCount(); ++i)
        if (QTreeWidgetItem *hit = findCode(top->child(i), code))
            return hit;
    return nullptr;
}
} // namespace

TFrmTreeCodeMan::TFrmTreeCodeMan(int mode, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_categories(IndustryTreeName())
{
    setObjectName(QStringLiteral("TFrmTreeCodeMan"));
    setWindowTitle(QStringLiteral("客户行业类别资料"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(560, mode == 2 ? 500 : 460);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setIconSize(QSize(16, 16));

    m_hint = new QLabel(QStringLiteral("    增加节点，需先在左边框里选中节点（选中的节点显示为蓝色），然后才能选择增加同级节点或子节点"), this);
    m_hint->setObjectName(QStringLiteral("Label1"));
    m_hint->setWordWrap(true);

    auto makeButton = [this](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        // Enter in the tree must not run a command
        b->setAutoDefault(false);
        return b;
    };
    m_btnAdd = makeButton(QStringLiteral("btnAdd"), QStringLiteral("添加同类(&A)"));
    m_btnAddChild = makeButton(QStringLiteral("btnAddChild"), QStringLiteral("添加子类(&C)"));
    m_btnDelete = makeButton(QStringLiteral("btnDelete"), QStringLiteral("删除(包含子类)"));
    m_btnEdit = makeButton(QStringLiteral("Button1"), QStringLiteral("修    改(&E)"));
    connect(m_btnAdd, &QPushButton::clicked, this, &TFrmTreeCodeMan::btnAddClick);
    connect(m_btnAddChild, &QPushButton::clicked, this, &TFrmTreeCodeMan::btnAddChildClick);
    connect(m_btnDelete, &QPushButton::clicked, this, &TFrmTreeCodeMan::btnDeleteClick);
    connect(m_btnEdit, &QPushButton::clicked, this, &TFrmTreeCodeMan::Button1Click);

    // The pop-up menu holds the same commands; its actions also carry the keys.
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    auto makeAction = [this](const QString &name, const QString &text, const QKeySequence &key, void (TFrmTreeCodeMan::*slot)()) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        m_popup->addAction(a);
        addAction(a);
        return a;
    };
    makeAction(QStringLiteral("N1"), QStringLiteral("添加同类(&A)"), {}, &TFrmTreeCodeMan::btnAddClick);
    makeAction(QStringLiteral("N2"), QStringLiteral("添加子类(&C)"), {}, &TFrmTreeCodeMan::btnAddChildClick);
    makeAction(QStringLiteral("N3"), QStringLiteral("删除(包含子类)"), QKeySequence(Qt::Key_Delete), &TFrmTreeCodeMan::btnDeleteClick);
    makeAction(QStringLiteral("N4"), QStringLiteral("修    改(&E)"), QKeySequence(Qt::CTRL | Qt::Key_S), &TFrmTreeCodeMan::Button1Click);
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QTreeWidgetItem *item = m_tree->itemAt(pos))
            m_tree->setCurrentItem(item);
        m_popup->popup(m_tree->viewport()->mapToGlobal(pos));
    });

    auto *side = new QVBoxLayout;
    side->addWidget(m_hint);
    side->addSpacing(12);
    side->addWidget(m_btnAdd);
    side->addWidget(m_btnAddChild);
    side->addWidget(m_btnDelete);
    side->addWidget(m_btnEdit);
    side->addStretch(1);
    auto *sidePanel = new QWidget(this);
    sidePanel->setObjectName(QStringLiteral("Panel2"));
    sidePanel->setLayout(side);
    sidePanel->setFixedWidth(170);

    auto *body = new QHBoxLayout;
    body->addWidget(m_tree, 1);
    body->addWidget(sidePanel);

    m_panel4 = new QWidget(this);
    m_panel4->setObjectName(QStringLiteral("Panel4"));
    m_btnOk = new QPushButton(QStringLiteral("确定"), m_panel4);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnCancel = new QPushButton(QStringLiteral("取消"), m_panel4);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setAutoDefault(false);
    auto *bottom = new QHBoxLayout(m_panel4);
    bottom->setContentsMargins(0, 4, 0, 0);
    bottom->addStretch(1);
    bottom->addWidget(m_btnOk);
    bottom->addWidget(m_btnCancel);
    connect(m_btnOk, &QPushButton::clicked, this, &TFrmTreeCodeMan::btnOkClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TFrmTreeCodeMan::btnCancelClick);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_panel4);

    if (m_mode == 2) {
        // Enter and a double-click choose; Esc (reject) keeps the box's text
        m_btnOk->setDefault(true);
        m_tree->setExpandsOnDoubleClick(false);
        connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
            m_tree->setCurrentItem(item);
            btnOkClick();
        });
    } else {
        m_btnOk->setAutoDefault(false);
        m_panel4->hide();
    }

    LoadCodeTree(m_tree, QStringLiteral("客户行业类别"), m_categories.treeName());
    if (QTreeWidgetItem *root = m_tree->topLevelItem(0))
        root->setExpanded(true);
}

QTreeWidgetItem *TFrmTreeCodeMan::selectedNode() const
{
    QTreeWidgetItem *item = m_tree->currentItem();
    return item ? item : m_tree->topLevelItem(0);
}

void TFrmTreeCodeMan::setCurrentPath(const QString &path)
{
    m_currentPath = path;
    m_result = path;
    if (path.isEmpty())
        return;
    QTreeWidgetItem *first = nullptr;
    std::function<void(QTreeWidgetItem *)> visit = [&](QTreeWidgetItem *item) {
        if (!IsTreeRoot(item) && item->data(0, TreeRole::Path).toString().compare(path, Qt::CaseInsensitive) == 0) {
            for (QTreeWidgetItem *p = item; p; p = p->parent())
                p->setExpanded(true);
            if (!first)
                first = item;
        }
        for (int i = 0; i < item->childCount(); ++i)
            visit(item->child(i));
    };
    if (QTreeWidgetItem *root = m_tree->topLevelItem(0))
        visit(root);
    if (first)
        m_tree->setCurrentItem(first);
}

void TFrmTreeCodeMan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QTreeWidgetItem *item = m_tree->currentItem())
        m_tree->scrollToItem(item);
    m_tree->setFocus();
}

void TFrmTreeCodeMan::reportFailure(const TreeResult &r, const QString &text)
{
    if (r.status == TreeResult::Refused) {
        ShowMess(r.message, MessWarning);
        return;
    }
    qWarning("category tree: %s", qPrintable(r.message));
    ShowMess(text, MessError);
}

void TFrmTreeCodeMan::btnAddClick() { addNode(false); }
void TFrmTreeCodeMan::btnAddChildClick() { addNode(true); }

void TFrmTreeCodeMan::addNode(bool child)
{
    QTreeWidgetItem *sel = selectedNode();
    if (!sel)
        return;
    const TreeNode node = TreeNodeOf(sel);
    if (!child && IsTreeRoot(sel)) {
        ShowMess(QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"), MessInfo);
        return;
    }
    // A full level is refused before the operator types a caption.
    const QString code = IsTreeRoot(sel) ? QString() : node.code;
    QString problem;
    bool dbFailed = false;
    if (m_categories.nextCode(code, child ? 2 : 1, &problem, &dbFailed).isEmpty()) {
        TreeResult r;
        r.status = dbFailed ? TreeResult::Failed : TreeResult::Refused;
        r.message = problem;
        reportFailure(r, connectionFailed());
        return;
    }
    const QString parentCode = child ? code : code.left(code.size() - CategoryTree::kSegment);
    const QString title = QStringLiteral("添加 ") + node.code + QLatin1Char(' ') + node.name
                          + (child ? QStringLiteral(" 子类") : QStringLiteral(" 同类"));
    const QString caption = TDlgCategoryCaption::ask(this, title, QString(), [this, parentCode](const QString &c) {
        return m_categories.checkCaption(parentCode, c);
    });
    if (caption.isEmpty())
        return;
    const TreeResult r = child ? m_categories.addChild(code, caption) : m_categories.addSibling(code, caption);
    if (r.status != TreeResult::Done) {
        reportFailure(r, connectionFailed());
        return;
    }
    QTreeWidgetItem *parent = child ? sel : sel->parent();
    auto *item = new QTreeWidgetItem(parent);
    SetTreeNode(item, r.node);
    ApplyTreeImages(item);
    ApplyTreeImages(parent);
    parent->setExpanded(true);
    m_tree->scrollToItem(item);
}

void TFrmTreeCodeMan::Button1Click()
{
    QTreeWidgetItem *sel = selectedNode();
    if (!sel || IsTreeRoot(sel))
        return;
    const TreeNode node = TreeNodeOf(sel);
    const QString parentCode = node.code.left(node.code.size() - CategoryTree::kSegment);
    const QString title = QStringLiteral("修改类别 ") + node.code + QLatin1Char(' ') + node.name + QStringLiteral(" 子类");
    const QString caption = TDlgCategoryCaption::ask(this, title, node.name, [this, parentCode, node](const QString &c) {
        return m_categories.checkCaption(parentCode, c, node.code);
    });
    if (caption.isEmpty())
        return;
    const CategoryTree::RenamePlan plan = m_categories.planRename(node.code, caption);
    if (plan.check.status == TreeResult::NoChange)
        return;
    if (plan.check.status != TreeResult::Done) {
        reportFailure(plan.check, connectionFailed());
        return;
    }
    // Customers follow their category, or the main window's tree would no
    // longer find them; the operator is told how many before anything moves.
    if (plan.customers > 0
        && ShowMess(QStringLiteral("类别“%1”改名为“%2”后，属于此类别及其子类别的 %3 个客户的行业类别将随之改为新的名称。\n"
                                   "真的要修改吗？")
                        .arg(node.name, caption.trimmed())
                        .arg(plan.customers),
                    MessQuestion)
               != 1)
        return;
    const TreeResult r = m_categories.rename(node.code, caption);
    if (r.status == TreeResult::NoChange)
        return;
    if (r.status != TreeResult::Done) {
        reportFailure(r, connectionFailed());
        return;
    }
    applyPaths(sel, r.changed);
}

void TFrmTreeCodeMan::applyPaths(QTreeWidgetItem *top, const QVector<TreeNode> &changed)
{
    for (const TreeNode &n : changed)
        if (QTreeWidgetItem *item = findCode(top, n.code)) {
            TreeNode shown = TreeNodeOf(item);
            shown.name = n.name;
            shown.path = n.path;
            SetTreeNode(item, shown);
        }
}

void TFrmTreeCodeMan::btnDeleteClick()
{
    QTreeWidgetItem *sel = selectedNode();
    if (!sel)
        return;
    if (IsTreeRoot(sel)) {
        ShowMess(QStringLiteral("不能删除根节点！"), MessInfo);
        return;
    }
    const TreeNode node = TreeNodeOf(sel);
    const CategoryTree::DeletePlan plan = m_categories.planDelete(node.code);
    if (plan.check.status != TreeResult::Done) {
        reportFailure(plan.check, Msg::OperationFailed());
        return;
    }
    QString question = sel->childCount() > 0 || plan.descendants > 0
                           ? QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？")
                           : QStringLiteral("真的要删除当前节点 “") + node.code + node.name + QStringLiteral("” 吗？");
    // Customers keep their industry text; the operator should know they exist.
    if (plan.customers > 0)
        question += QStringLiteral("\n有 %1 个客户的行业类别属于此类别或其子类别，删除后这些客户仍保留原来的行业类别。")
                        .arg(plan.customers);
    if (ShowMess(question, MessDestructive) == 2)
        return;
    const TreeResult r = m_categories.remove(node.code);
    if (r.status != TreeResult::Done) {
        reportFailure(r, Msg::OperationFailed());
        return;
    }
    QTreeWidgetItem *parent = sel->parent();
    delete sel;
    ApplyTreeImages(parent);
    m_tree->setCurrentItem(parent);
}

void TFrmTreeCodeMan::btnOkClick()
{
    if (m_mode != 2)
        return;
    QTreeWidgetItem *sel = selectedNode();
    if (!sel || IsTreeRoot(sel)) {
        ShowMess(QStringLiteral("不能选择根节点！"), MessInfo);
        return;
    }
    m_result = sel->data(0, TreeRole::Path).toString();
    accept();
}

void TFrmTreeCodeMan::btnCancelClick()
{
    m_result = m_currentPath;
    reject();
}

void ShowTreeCodeManager(QWidget *parent)
{
    TFrmTreeCodeMan window(1, parent);
    execModal(&window);
}
