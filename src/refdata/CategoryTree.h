#pragma once

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// One stored category (a row of t_treecode), or the root, which is not stored.
struct TreeNode
{
    int codeLength = 0;
    QString code;
    QString name;
    QString path; // F_likecode
};

// What a change to the tree did or why it did not happen.
struct TreeResult
{
    enum Status { Done, NoChange, Refused, Failed };
    Status status = Failed;
    QString message;        // Refused: the text for the operator; Failed: the database's error
    TreeNode node;          // the added or renamed node
    QVector<TreeNode> changed; // every stored node whose path changed (a rename)
    int customers = 0;      // customers moved (rename) or still using the deleted categories
    int nodes = 0;          // rows deleted
    bool ok() const { return status == Done || status == NoChange; }
};

// A category tree of t_treecode (F_flag = tree name): its codes, paths and the
// statements that add, rename and delete categories. Codes grow by three-digit
// segments; a path is two backslashes followed by the captions from the top
// level down, separated by single backslashes; customers store the path of
// their industry in t_client.F_hangye.
class CategoryTree
{
public:
    explicit CategoryTree(QString treeName, QString connection = {});

    static constexpr int kSegment = 3;
    static constexpr int kMaxNameLength = 100;  // t_treecode.F_name
    static constexpr int kMaxPathLength = 255;  // F_likecode and t_client.F_hangye
    static QString rootCode() { return QStringLiteral("000"); }
    static QString rootPath() { return QStringLiteral("\\\\"); }
    static bool isRootCode(const QString &code) { return code.isEmpty() || code == rootCode(); }

    // A parent path and a caption joined; three backslashes in a row become two.
    static QString joinPath(const QString &parentPath, const QString &caption);
    static QString normalizePath(QString path);
    // A stored path as the lists show it: without the leading backslashes
    // ("\\制造业\电子" shows as "制造业\电子").
    static QString shownPath(const QString &stored);

    QString treeName() const { return m_treeName; }
    QSqlDatabase database() const;

    // Every node in code order; false (and *error) when the database fails.
    bool readAll(QVector<TreeNode> *nodes, QString *error = nullptr) const;
    // One node by code; false when it is not stored (*error empty) or the read failed.
    bool readNode(const QString &code, TreeNode *node, QString *error = nullptr) const;

    // The next free code for a new node: kind 1 a sibling of `code`, kind 2 a
    // child of it (the root passes an empty code or "000"). Empty when the
    // level is full or the database failed; *error says which.
    QString nextCode(const QString &code, int kind, QString *error = nullptr, bool *dbFailed = nullptr) const;

    // Whether a caption may name a child of `parentCode` (empty: acceptable;
    // otherwise the message). `exceptCode` is the node being renamed.
    QString checkCaption(const QString &parentCode, const QString &caption, const QString &exceptCode = {}) const;

    // New child of `parentCode` ("" or "000" for the root), in one transaction.
    TreeResult addChild(const QString &parentCode, const QString &caption);
    // New sibling of `code`.
    TreeResult addSibling(const QString &code, const QString &caption);

    // What renaming would do, without writing: the node's new path, every
    // path of its sub-tree rewritten, and the customers that move with it.
    struct RenamePlan
    {
        TreeResult check;                  // Done when it can go ahead
        QVector<TreeNode> rows;            // stored nodes whose name or path change (new values)
        QMap<QString, QString> customerValues; // F_hangye old -> new
        int customers = 0;
    };
    RenamePlan planRename(const QString &code, const QString &caption) const;
    // Renames and rewrites the sub-tree's paths and its customers' industry
    // in one transaction.
    TreeResult rename(const QString &code, const QString &caption);

    // What deleting a node would remove: its sub-tree's size and the number of
    // customers whose industry lies in it.
    struct DeletePlan
    {
        TreeResult check;
        int descendants = 0;
        int customers = 0;
    };
    DeletePlan planDelete(const QString &code) const;
    // Deletes the node and its sub-tree. Customers keep their industry text.
    TreeResult remove(const QString &code);

    // Customers whose industry lies in the sub-tree of `node`, by stored value.
    bool customerValuesUnder(const TreeNode &node, const QVector<TreeNode> &subtree, QMap<QString, int> *values,
                             QString *error) const;

private:
    bool readSubtree(const QString &code, QVector<TreeNode> *nodes, QString *error) const;
    // The nodes of this tree meeting the condition (" and ..."), in code order.
    bool readNodes(const QString &condition, QVariantMap params, QVector<TreeNode> *nodes, QString *error) const;
    QString parentPath(const QString &code, bool *ok, QString *error) const;
    RenamePlan planRenameIn(const QString &code, const QString &caption) const;
    TreeResult addChildIn(const QString &parentCode, const QString &caption);

    QString m_treeName;
    QString m_connection;
};
