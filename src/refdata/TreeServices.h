#pragma once

#include "CategoryTree.h"
#include "app/TdmData.h"

#include <QIcon>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The category tree services the windows share: loading a tree into a tree
// view, a node's path, the next free code, and the industry picker.

// What every tree-view node carries (item data roles of column 0).
namespace TreeRole {
enum : int {
    CodeLength = Qt::UserRole + 1,
    Code,
    Name,
    Path,
    Image,         // image index of the node (0..3)
    SelectedImage, // image index when selected
};
}

// The industry tree of customers.
inline QString IndustryTreeName() { return QStringLiteral("hangyetype"); }

TreeNode TreeNodeOf(const QTreeWidgetItem *item);
void SetTreeNode(QTreeWidgetItem *item, const TreeNode &node);
bool IsTreeRoot(const QTreeWidgetItem *item);

// The four tree images: 0 root, 1 category with sub-categories, 2 category,
// 3 selected category.
QIcon TreeImage(int index);
// Sets a node's image and selected image by its place in the tree: root 0/0;
// a top-level node with children 1/1, without 2/3; deeper nodes 2/3.
void ApplyTreeImages(QTreeWidgetItem *item);

// Rebuilds the view: the root (code "000", the caption given, path "\\"),
// then the tree's stored nodes below it in code order; top-level nodes are
// expanded. A failed read is reported and leaves the root alone. The root is
// the current item afterwards.
bool LoadCodeTree(QTreeWidget *tree, const QString &rootCaption, const QString &treeName);

// Mode 1: the node's own path; any other mode: its parent's path. Built from
// the captions of the nodes up to the top level.
QString TreePathOf(const QTreeWidgetItem *item, int mode);

// Kind 1: the code for a new sibling of `code`; kind 2: for a new child (the
// root passes an empty code). Empty when no code can be given; *error says why.
QString NextTreeCode(const QString &code, const QString &treeName, int kind, QString *error = nullptr);

// The industry picker: the category window in picker mode, starting on the
// node whose path is `currentPath`. Returns the chosen path, or `currentPath`
// unchanged when the operator cancels.
QString PickTreePath(QWidget *parent, const QString &currentPath);

// The industry picker in the form the value dialog (AskValue) takes: it starts
// on the dialog's current text and gives the chosen path, or an empty text
// when the operator cancels.
TdmData::TreePicker IndustryPicker();
