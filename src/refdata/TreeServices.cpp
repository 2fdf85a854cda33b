#include "TreeServices.h"

#include "TFrmTreeCodeMan.h"
#include "app/TDLGenterCaption.h"
#include "app/TdmData.h"
#include "platform/Messages.h"
#include "platform/Modal.h"

#include <QHash>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidget>

TreeNode TreeNodeOf(const QTreeWidgetItem *item)
{
    TreeNode n;
    if (!item)
        return n;
    n.codeLength = item->data(0, TreeRole::CodeLength).toInt();
    n.code = item->data(0, TreeRole::Code).toString();
    n.name = item->data(0, TreeRole::Name).toString();
    n.path = item->data(0, TreeRole::Path).toString();
    return n;
}

void SetTreeNode(QTreeWidgetItem *item, const TreeNode &node)
{
    item->setText(0, node.name);
    item->setData(0, TreeRole::CodeLength, node.codeLength);
    item->setData(0, TreeRole::Code, node.code);
    item->setData(0, TreeRole::Name, node.name);
    item->setData(0, TreeRole::Path, node.path);
}

bool IsTreeRoot(const QTreeWidgetItem *item) { return item && !item->parent(); }

// ------------------------------------------------------------------ images

namespace {
void drawFolder(QPainter &p, const QRectF &r, const QColor &fill, bool open)
{
    const qreal w = r.width(), h = r.height();
    const QColor edge = fill.darker(160);
    p.setPen(QPen(edge, w / 16.0));
    // back with its tab
    QPainterPath back;
    back.moveTo(r.left(), r.top() + h * 0.2);
    back.lineTo(r.left() + w * 0.38, r.top() + h * 0.2);
    back.lineTo(r.left() + w * 0.46, r.top() + h * 0.3);
    back.lineTo(r.right(), r.top() + h * 0.3);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setBrush(fill.darker(112));
    p.drawPath(back);
    if (open) {
        // a sheet in the folder and the front flap tilted forward
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + w * 0.16, r.top() + h * 0.36, w * 0.68, h * 0.4));
        QPainterPath front;
        front.moveTo(r.left() + w * 0.14, r.top() + h * 0.5);
        front.lineTo(r.right(), r.top() + h * 0.5);
        front.lineTo(r.right() - w * 0.14, r.bottom());
        front.lineTo(r.left(), r.bottom());
        front.closeSubpath();
        p.setBrush(fill);
        p.drawPath(front);
    } else {
        p.setBrush(fill);
        p.drawRect(QRectF(r.left(), r.top() + h * 0.4, w, h * 0.6));
    }
}

QPixmap drawImage(int index, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QColor yellow(0xF2, 0xC1, 0x4E);
    switch (index) {
    case 0: { // the root: a bound register
        const QRectF book(s * 0.16, s * 0.08, s * 0.68, s * 0.84);
        p.setPen(QPen(QColor(0x1F, 0x3F, 0x7A), s / 16.0));
        p.setBrush(QColor(0x3A, 0x6E, 0xC8));
        p.drawRoundedRect(book, s * 0.06, s * 0.06);
        p.setBrush(QColor(0x1F, 0x3F, 0x7A));
        p.drawRect(QRectF(book.left(), book.top(), s * 0.14, book.height()));
        p.setPen(QPen(Qt::white, s / 14.0));
        for (int i = 0; i < 3; ++i) {
            const qreal y = book.top() + book.height() * (0.3 + 0.2 * i);
            p.drawLine(QPointF(book.left() + s * 0.24, y), QPointF(book.right() - s * 0.1, y));
        }
        break;
    }
    case 1: // a category with sub-categories: two folders, one behind the other
        drawFolder(p, QRectF(s * 0.22, s * 0.04, s * 0.74, s * 0.62), yellow.darker(115), false);
        drawFolder(p, QRectF(s * 0.04, s * 0.3, s * 0.74, s * 0.64), yellow, false);
        break;
    case 2: // a category
        drawFolder(p, QRectF(s * 0.06, s * 0.1, s * 0.88, s * 0.8), yellow, false);
        break;
    default: // the selected category: the folder open
        drawFolder(p, QRectF(s * 0.06, s * 0.1, s * 0.88, s * 0.8), yellow.lighter(110), true);
        break;
    }
    return pm;
}
} // namespace

QIcon TreeImage(int index)
{
    static QHash<int, QIcon> cache;
    index = qBound(0, index, 3);
    auto it = cache.find(index);
    if (it == cache.end()) {
        QIcon icon;
        for (int size : {16, 24, 32})
            icon.addPixmap(drawImage(index, size));
        it = cache.insert(index, icon);
    }
    return it.value();
}

void ApplyTreeImages(QTreeWidgetItem *item)
{
    if (!item)
        return;
    int image = 2, selected = 3;
    if (IsTreeRoot(item)) {
        image = selected = 0;
    } else if (IsTreeRoot(item->parent()) && item->childCount() > 0) {
        image = selected = 1;
    }
    item->setData(0, TreeRole::Image, image);
    item->setData(0, TreeRole::SelectedImage, selected);
    QIcon icon;
    const QIcon normal = TreeImage(image), sel = TreeImage(selected);
    for (int size : {16, 24, 32}) {
        icon.addPixmap(normal.pixmap(size), QIcon::Normal);
        icon.addPixmap(sel.pixmap(size), QIcon::Selected);
    }
    item->setIcon(0, icon);
}

// ------------------------------------------------------------------ services

bool LoadCodeTree(QTreeWidget *tree, const QString &rootCaption, const QString &treeName)
{
    if (!tree)
        return false;
    tree->clear();
    auto *root = new QTreeWidgetItem(tree);
    SetTreeNode(root, {0, CategoryTree::rootCode(), rootCaption, CategoryTree::rootPath()});
    tree->setCurrentItem(root);

    QVector<TreeNode> nodes;
    QString error;
    const bool ok = CategoryTree(treeName).readAll(&nodes, &error);
    if (!ok) {
        qWarning("LoadCodeTree failed: %s", qPrintable(error));
        ShowMess(Msg::OpenFailed(), MessError);
    }
    QHash<QString, QTreeWidgetItem *> byCode;
    QList<QTreeWidgetItem *> topLevel;
    for (const TreeNode &n : std::as_const(nodes)) {
        // the parent is the node whose code is this one's without its last
        // segment; the code order puts it first
        QTreeWidgetItem *parent = root;
        QString pc = n.code.left(n.codeLength - CategoryTree::kSegment);
        while (!pc.isEmpty()) {
            if (QTreeWidgetItem *p = byCode.value(pc)) {
                parent = p;
                break;
            }
            pc.chop(CategoryTree::kSegment);
        }
        auto *item = new QTreeWidgetItem(parent);
        SetTreeNode(item, n);
        byCode.insert(n.code, item);
        if (parent == root)
            topLevel.append(item);
    }
    std::function<void(QTreeWidgetItem *)> images = [&](QTreeWidgetItem *item) {
        ApplyTreeImages(item);
        for (int i = 0; i < item->childCount(); ++i)
            images(item->child(i));
    };
    images(root);
    for (QTreeWidgetItem *item : std::as_const(topLevel))
        item->setExpanded(true);
    tree->setCurrentItem(root);
    return ok;
}

QString TreePathOf(const QTreeWidgetItem *item, int mode)
{
    const QTreeWidgetItem *node = mode == 1 ? item : (item ? item->parent() : nullptr);
    if (!node || IsTreeRoot(node))
        return CategoryTree::rootPath();
    QString path = QLatin1Char('\\') + node->text(0);
    while (node->parent() && !IsTreeRoot(node->parent())) {
        node = node->parent();
        path.prepend(QLatin1Char('\\') + node->text(0));
    }
    return CategoryTree::normalizePath(QLatin1Char('\\') + path);
}

QString NextTreeCode(const QString &code, const QString &treeName, int kind, QString *error)
{
    return CategoryTree(treeName).nextCode(code, kind, error);
}

QString PickTreePath(QWidget *parent, const QString &currentPath)
{
    TFrmTreeCodeMan window(2, parent);
    window.setCurrentPath(currentPath);
    if (execModal(&window) == QDialog::Accepted)
        return window.resultPath();
    return currentPath;
}

TdmData::TreePicker IndustryPicker()
{
    return [](QWidget *parent) {
        QString current;
        if (auto *dialog = qobject_cast<TDLGenterCaption *>(parent))
            current = dialog->edtCurValue->text();
        TFrmTreeCodeMan window(2, parent);
        window.setCurrentPath(current);
        return execModal(&window) == QDialog::Accepted ? window.resultPath() : QString();
    };
}
