#pragma once

// Helpers of the reference data tests: statements made to fail on purpose, on
// every backend, and data rows per backend.

#include "support/TestSupport.h"

#include <QTest>

namespace RefdataTest {

// Makes statements on a table fail, as a broken connection or a constraint would.
inline void failOn(TestSupport::TestDb &t, const QString &table, const QString &event, const QString &when = {})
{
    if (t.backend() == Backend::Sqlite) {
        QVERIFY(t.exec(QStringLiteral("create trigger boom before %1 on %2 %3 begin select raise(abort, 'boom'); end")
                           .arg(event, table, when.isEmpty() ? QString() : "when " + when)));
    } else {
        QVERIFY(t.exec("create function boom_f() returns trigger language plpgsql as $$ begin raise exception 'boom'; end $$"));
        QVERIFY(t.exec(QStringLiteral("create trigger boom before %1 on %2 for each row %3 execute function boom_f()")
                           .arg(event, table, when.isEmpty() ? QString() : "when (" + when + ")")));
    }
}

inline void stopFailing(TestSupport::TestDb &t, const QString &table)
{
    QVERIFY(t.exec(t.backend() == Backend::Sqlite ? QStringLiteral("drop trigger boom") : QStringLiteral("drop trigger boom on ") + table));
}

// Rows "backend/case" for a data-driven test that runs on every backend.
template <typename AddCases>
void backendRows(AddCases addCases)
{
    for (Backend b : TestSupport::testBackends()) {
        const QString name = SqlDialect::backendName(b);
        addCases([name](const QString &tag) -> QTestData & { return QTest::newRow(qPrintable(name + "/" + tag)) << name; });
    }
}

} // namespace RefdataTest
