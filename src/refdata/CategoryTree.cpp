#include "CategoryTree.h"

#include "platform/Database.h"
#include "platform/SqlDialect.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <utility>

namespace {
QString vanished() { return QStringLiteral("该类别已不存在（可能已被其他工作站删除），请关闭窗口后重新打开！"); }

QString likePrefix(const QString &text) { return SqlDialect::escapeLike(text) + QLatin1Char('%'); }

bool isDigits(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return !s.isEmpty();
}

// True when `value` is `path` itself or lies below it (case as the server compares).
bool underPath(const QString &value, const QString &path)
{
    return value.compare(path, Qt::CaseInsensitive) == 0
           || value.startsWith(path + QLatin1Char('\\'), Qt::CaseInsensitive);
}

// A stored path that could match customers: not empty and not the bare root.
bool usablePath(const QString &path)
{
    const QString p = CategoryTree::normalizePath(path);
    return !p.isEmpty() && p != CategoryTree::rootPath();
}
} // namespace

CategoryTree::CategoryTree(QString treeName, QString connection)
    : m_treeName(std::move(treeName)), m_connection(std::move(connection))
{
}

QSqlDatabase CategoryTree::database() const { return Database::connection(m_connection); }

QString CategoryTree::shownPath(const QString &stored)
{
    qsizetype n = 0;
    while (n < stored.size() && stored.at(n) == QLatin1Char('\\'))
        ++n;
    return stored.mid(n);
}

QString CategoryTree::normalizePath(QString path)
{
    const QString three = QStringLiteral("\\\\\\");
    while (path.contains(three))
        path.replace(three, rootPath());
    return path;
}

QString CategoryTree::joinPath(const QString &parentPath, const QString &caption)
{
    return normalizePath(parentPath + QLatin1Char('\\') + caption);
}

bool CategoryTree::readNodes(const QString &condition, QVariantMap params, QVector<TreeNode> *nodes, QString *error) const
{
    nodes->clear();
    QSqlQuery q(database());
    q.setForwardOnly(true);
    params.insert(QStringLiteral("flag"), m_treeName);
    if (!Sql::exec(q,
                   QStringLiteral("select F_code,F_name,F_likecode from t_treecode where F_flag = :flag") + condition
                       + QStringLiteral(" order by F_code"),
                   params)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        TreeNode n;
        n.code = q.value(0).toString();
        n.codeLength = int(n.code.size());
        n.name = q.value(1).toString();
        n.path = q.value(2).toString();
        nodes->append(n);
    }
    return true;
}

bool CategoryTree::readAll(QVector<TreeNode> *nodes, QString *error) const { return readNodes(QString(), {}, nodes, error); }

bool CategoryTree::readNode(const QString &code, TreeNode *node, QString *error) const
{
    if (error)
        error->clear();
    QVector<TreeNode> found;
    if (!readNodes(QStringLiteral(" and F_code = :code"), {{QStringLiteral("code"), code}}, &found, error) || found.isEmpty())
        return false;
    *node = found.first();
    return true;
}

bool CategoryTree::readSubtree(const QString &code, QVector<TreeNode> *nodes, QString *error) const
{
    return readNodes(QStringLiteral(" and F_code like :pat") + SqlDialect::likeEscapeClause(),
                     {{QStringLiteral("pat"), likePrefix(code)}}, nodes, error);
}

QString CategoryTree::parentPath(const QString &code, bool *ok, QString *error) const
{
    *ok = true;
    const QString parent = code.left(qMax(0, int(code.size()) - kSegment));
    if (isRootCode(parent))
        return rootPath();
    TreeNode p;
    if (!readNode(parent, &p, error)) {
        *ok = false;
        return QString();
    }
    return p.path;
}

QString CategoryTree::nextCode(const QString &code, int kind, QString *error, bool *dbFailed) const
{
    if (error)
        error->clear();
    if (dbFailed)
        *dbFailed = false;
    QString base;
    if (kind == 1) {
        if (isRootCode(code)) {
            if (error)
                *error = QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！");
            return QString();
        }
        base = code.left(qMax(0, int(code.size()) - kSegment));
    } else {
        base = isRootCode(code) ? QString() : code;
    }
    const SqlDialect &d = Database::dialectOf(database());
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!Sql::exec(q,
                   QStringLiteral("select F_code from t_treecode where F_code like :pat") + SqlDialect::likeEscapeClause()
                       + QStringLiteral(" and F_flag = :flag and ") + d.len(QStringLiteral("F_code")) + QStringLiteral(" = :n"),
                   {{QStringLiteral("pat"), likePrefix(base)},
                    {QStringLiteral("flag"), m_treeName},
                    {QStringLiteral("n"), int(base.size()) + kSegment}})) {
        if (error)
            *error = q.lastError().text();
        if (dbFailed)
            *dbFailed = true;
        return QString();
    }
    QSet<int> used;
    int top = 0;
    while (q.next()) {
        const QString tail = q.value(0).toString().right(kSegment);
        if (!isDigits(tail))
            continue;
        const int n = tail.toInt();
        used.insert(n);
        top = qMax(top, n);
    }
    int next = top + 1;
    // Past 999 the numbers freed by deleted categories are given out again.
    if (next > 999) {
        next = 0;
        for (int n = 1; n <= 999 && !next; ++n)
            if (!used.contains(n))
                next = n;
    }
    if (!next) {
        if (error)
            *error = QStringLiteral("该级类别的编号 001～999 已全部用完，不能再增加类别！");
        return QString();
    }
    return base + QString::number(next).rightJustified(kSegment, QLatin1Char('0'));
}

QString CategoryTree::checkCaption(const QString &parentCode, const QString &caption, const QString &exceptCode) const
{
    const QString c = caption.trimmed();
    if (c.isEmpty())
        return QStringLiteral("类别名称不能为空！");
    if (c.contains(QLatin1Char('\\')))
        return QStringLiteral("类别名称不能包含反斜杠“\\”，它用来分隔类别的各级名称！");
    if (c.size() > kMaxNameLength)
        return QStringLiteral("类别名称不能超过 %1 个字符！").arg(kMaxNameLength);
    const QString base = isRootCode(parentCode) ? QString() : parentCode;
    const SqlDialect &d = Database::dialectOf(database());
    QSqlQuery q(database());
    q.setForwardOnly(true);
    // a failed read is no refusal: the write that follows reports it
    if (Sql::exec(q,
                  QStringLiteral("select F_code from t_treecode where F_flag = :flag and F_name = :name and F_code like :pat")
                      + SqlDialect::likeEscapeClause() + QStringLiteral(" and ") + d.len(QStringLiteral("F_code"))
                      + QStringLiteral(" = :n and F_code <> :except"),
                  {{QStringLiteral("flag"), m_treeName},
                   {QStringLiteral("name"), c},
                   {QStringLiteral("pat"), likePrefix(base)},
                   {QStringLiteral("n"), int(base.size()) + kSegment},
                   // never a code: an unbound (NULL) value would match nothing
                   {QStringLiteral("except"), exceptCode.isEmpty() ? QStringLiteral("-") : exceptCode}})
        && q.next())
        return QStringLiteral("同一类别下已有名为“%1”的类别，请换一个名称！").arg(c);
    return QString();
}

TreeResult CategoryTree::addChildIn(const QString &parentCode, const QString &caption)
{
    TreeResult r;
    const QString c = caption.trimmed();
    r.message = checkCaption(parentCode, c);
    if (!r.message.isEmpty()) {
        r.status = TreeResult::Refused;
        return r;
    }
    QString parentPath = rootPath();
    if (!isRootCode(parentCode)) {
        TreeNode parent;
        if (!readNode(parentCode, &parent, &r.message)) {
            if (r.message.isEmpty()) {
                r.status = TreeResult::Refused;
                r.message = vanished();
            }
            return r;
        }
        parentPath = parent.path;
    }
    bool dbFailed = false;
    const QString code = nextCode(parentCode, 2, &r.message, &dbFailed);
    if (code.isEmpty()) {
        r.status = dbFailed ? TreeResult::Failed : TreeResult::Refused;
        return r;
    }
    const QString path = joinPath(parentPath, c);
    if (path.size() > kMaxPathLength) {
        r.status = TreeResult::Refused;
        r.message = QStringLiteral("类别路径超过 %1 个字符，请使用较短的名称！").arg(kMaxPathLength);
        return r;
    }
    if (!Sql::execOn(database(),
                     QStringLiteral("insert into t_treecode(F_code,F_name,F_likecode,F_flag)values(:code,:name,:path,:flag)"),
                     {{QStringLiteral("code"), code},
                      {QStringLiteral("name"), c},
                      {QStringLiteral("path"), path},
                      {QStringLiteral("flag"), m_treeName}},
                     &r.message))
        return r;
    r.status = TreeResult::Done;
    r.message.clear();
    r.node = {int(code.size()), code, c, path};
    return r;
}

TreeResult CategoryTree::addChild(const QString &parentCode, const QString &caption)
{
    Transaction t(database());
    if (!t.isActive()) {
        TreeResult r;
        r.message = database().lastError().text();
        return r;
    }
    TreeResult r = addChildIn(parentCode, caption);
    if (r.status == TreeResult::Done && !t.commit(&r.message)) {
        r.status = TreeResult::Failed;
        r.node = {};
    }
    return r;
}

TreeResult CategoryTree::addSibling(const QString &code, const QString &caption)
{
    if (isRootCode(code)) {
        TreeResult r;
        r.status = TreeResult::Refused;
        r.message = QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！");
        return r;
    }
    return addChild(code.left(int(code.size()) - kSegment), caption);
}

bool CategoryTree::customerValuesUnder(const TreeNode &node, const QVector<TreeNode> &subtree, QMap<QString, int> *values,
                                       QString *error) const
{
    values->clear();
    // The node's own path takes in its sub-tree; a sub-category whose stored
    // path does not lie below it (left behind by an older rename) is asked
    // for by its own path.
    QStringList paths;
    if (usablePath(node.path))
        paths << node.path;
    for (const TreeNode &n : subtree)
        if (usablePath(n.path) && !(usablePath(node.path) && underPath(n.path, node.path))) {
            bool seen = false;
            for (const QString &p : std::as_const(paths))
                seen = seen || underPath(n.path, p);
            if (!seen)
                paths << n.path;
        }
    for (const QString &p : std::as_const(paths)) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        if (!Sql::exec(q,
                       QStringLiteral("select F_hangye,count(*) from t_client where F_hangye = :path or F_hangye like :pat")
                           + SqlDialect::likeEscapeClause() + QStringLiteral(" group by F_hangye"),
                       {{QStringLiteral("path"), p}, {QStringLiteral("pat"), likePrefix(p + QLatin1Char('\\'))}})) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
        while (q.next()) {
            const QString v = q.value(0).toString();
            if (!values->contains(v))
                values->insert(v, q.value(1).toInt());
        }
    }
    return true;
}

CategoryTree::RenamePlan CategoryTree::planRename(const QString &code, const QString &caption) const
{
    return planRenameIn(code, caption);
}

CategoryTree::RenamePlan CategoryTree::planRenameIn(const QString &code, const QString &caption) const
{
    RenamePlan plan;
    TreeResult &r = plan.check;
    if (isRootCode(code)) {
        r.status = TreeResult::Refused;
        r.message = QStringLiteral("不能修改根节点！");
        return plan;
    }
    const QString c = caption.trimmed();
    TreeNode node;
    if (!readNode(code, &node, &r.message)) {
        if (r.message.isEmpty()) {
            r.status = TreeResult::Refused;
            r.message = vanished();
        }
        return plan;
    }
    const QString parentCode = code.left(int(code.size()) - kSegment);
    r.message = checkCaption(parentCode, c, code);
    if (!r.message.isEmpty()) {
        r.status = TreeResult::Refused;
        return plan;
    }
    bool ok = true;
    const QString base = parentPath(code, &ok, &r.message);
    if (!ok) {
        if (r.message.isEmpty()) {
            r.status = TreeResult::Refused;
            r.message = vanished();
        }
        return plan;
    }
    QVector<TreeNode> subtree;
    if (!readSubtree(code, &subtree, &r.message))
        return plan;

    // New paths from the captions down, so that every sub-category lies below
    // its parent again.
    QHash<QString, QString> newPath;
    newPath.insert(code, joinPath(base, c));
    for (const TreeNode &n : std::as_const(subtree)) {
        if (n.code == code)
            continue;
        QString parent = n.code.left(n.codeLength - kSegment);
        while (parent.size() > code.size() && !newPath.contains(parent))
            parent.chop(kSegment);
        newPath.insert(n.code, joinPath(newPath.value(parent, newPath.value(code)), n.name));
    }
    for (const TreeNode &n : std::as_const(subtree)) {
        TreeNode changed = n;
        if (n.code == code)
            changed.name = c;
        changed.path = newPath.value(n.code);
        if (changed.path.size() > kMaxPathLength) {
            r.status = TreeResult::Refused;
            r.message = QStringLiteral("改名后类别“%1”的路径超过 %2 个字符，请使用较短的名称！").arg(n.name).arg(kMaxPathLength);
            return plan;
        }
        if (changed.name != n.name || changed.path != n.path)
            plan.rows.append(changed);
        if (n.code == code)
            r.node = changed;
    }

    QMap<QString, int> values;
    if (!customerValuesUnder(node, subtree, &values, &r.message))
        return plan;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        // the deepest category the value lies in decides its new path
        const TreeNode *best = nullptr;
        for (const TreeNode &n : std::as_const(subtree))
            if (usablePath(n.path) && underPath(it.key(), n.path) && (!best || n.path.size() > best->path.size()))
                best = &n;
        if (!best)
            continue;
        const QString moved = newPath.value(best->code) + it.key().mid(best->path.size());
        if (moved == it.key())
            continue;
        if (moved.size() > kMaxPathLength) {
            r.status = TreeResult::Refused;
            r.message = QStringLiteral("改名后有客户的行业类别超过 %1 个字符，请使用较短的名称！").arg(kMaxPathLength);
            return plan;
        }
        plan.customerValues.insert(it.key(), moved);
        plan.customers += it.value();
    }
    r.status = plan.rows.isEmpty() && plan.customerValues.isEmpty() ? TreeResult::NoChange : TreeResult::Done;
    r.message.clear();
    r.customers = plan.customers;
    r.changed = plan.rows;
    return plan;
}

TreeResult CategoryTree::rename(const QString &code, const QString &caption)
{
    Transaction t(database());
    if (!t.isActive()) {
        TreeResult r;
        r.message = database().lastError().text();
        return r;
    }
    RenamePlan plan = planRenameIn(code, caption);
    TreeResult r = plan.check;
    if (r.status != TreeResult::Done)
        return r;
    r.status = TreeResult::Failed;
    for (const TreeNode &n : std::as_const(plan.rows))
        if (!Sql::execOn(database(),
                         QStringLiteral("update t_treecode set F_name = :name,F_likeCode = :path where (F_code = :code and F_flag = :flag) "),
                         {{QStringLiteral("name"), n.name},
                          {QStringLiteral("path"), n.path},
                          {QStringLiteral("code"), n.code},
                          {QStringLiteral("flag"), m_treeName}},
                         &r.message))
            return r;
    for (auto it = plan.customerValues.cbegin(); it != plan.customerValues.cend(); ++it)
        if (!Sql::execOn(database(), QStringLiteral("update t_client set F_hangye = :new where F_hangye = :old"),
                         {{QStringLiteral("new"), it.value()}, {QStringLiteral("old"), it.key()}}, &r.message))
            return r;
    if (!t.commit(&r.message))
        return r;
    r.status = TreeResult::Done;
    r.message.clear();
    return r;
}

CategoryTree::DeletePlan CategoryTree::planDelete(const QString &code) const
{
    DeletePlan plan;
    TreeResult &r = plan.check;
    if (isRootCode(code)) {
        r.status = TreeResult::Refused;
        r.message = QStringLiteral("不能删除根节点！");
        return plan;
    }
    TreeNode node;
    if (!readNode(code, &node, &r.message)) {
        if (r.message.isEmpty()) {
            r.status = TreeResult::Refused;
            r.message = vanished();
        }
        return plan;
    }
    QVector<TreeNode> subtree;
    if (!readSubtree(code, &subtree, &r.message))
        return plan;
    QMap<QString, int> values;
    if (!customerValuesUnder(node, subtree, &values, &r.message))
        return plan;
    plan.descendants = int(subtree.size()) - 1;
    for (int n : std::as_const(values))
        plan.customers += n;
    r.status = TreeResult::Done;
    r.node = node;
    r.customers = plan.customers;
    return plan;
}

TreeResult CategoryTree::remove(const QString &code)
{
    TreeResult r;
    if (isRootCode(code)) {
        r.status = TreeResult::Refused;
        r.message = QStringLiteral("不能删除根节点！");
        return r;
    }
    Transaction t(database());
    if (!t.isActive()) {
        r.message = database().lastError().text();
        return r;
    }
    QSqlQuery q(database());
    if (!Sql::exec(q,
                   QStringLiteral("delete from t_treecode where F_code like :pat") + SqlDialect::likeEscapeClause()
                       + QStringLiteral(" and F_flag = :flag "),
                   {{QStringLiteral("pat"), likePrefix(code)}, {QStringLiteral("flag"), m_treeName}})) {
        r.message = q.lastError().text();
        return r;
    }
    r.nodes = q.numRowsAffected();
    if (!t.commit(&r.message))
        return r;
    r.status = TreeResult::Done;
    return r;
}
