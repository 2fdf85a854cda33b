#include "SchemaSetup.h"

#include "platform/Database.h"

#include <QFile>
#include <QSqlQuery>

namespace {
QString readResource(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}
} // namespace

namespace SchemaSetup {
QString schemaScript(Backend backend)
{
    return readResource(QStringLiteral(":/db/%1/schema.sql").arg(SqlDialect::backendName(backend)));
}

QString seedScript() { return readResource(QStringLiteral(":/db/seed.sql")); }

QStringList statements(Backend backend)
{
    const auto dialect = SqlDialect::create(backend);
    QStringList out = Sql::splitStatements(schemaScript(backend));
    for (const QString &s : Sql::splitStatements(seedScript()))
        out.append(dialect->adaptScriptStatement(s));
    return out;
}

bool createSchema(const QSqlDatabase &db, QString *error)
{
    const QStringList list = statements(Database::dialectOf(db).backend());
    if (list.isEmpty()) {
        if (error)
            *error = QStringLiteral("没有找到建库脚本");
        return false;
    }
    Transaction t(db);
    if (!Sql::execBatch(db, list, error))
        return false;
    return t.commit(error);
}

bool hasSchema(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("select count(*) from SysInfo"));
}
} // namespace SchemaSetup
