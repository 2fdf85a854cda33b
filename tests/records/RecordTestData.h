#pragma once

// Rows the list and statistics tests share: a few customers, one of them gone,
// and records of theirs around a given day.

#include "platform/Database.h"
#include "records/RecordFilter.h"
#include "support/TestSupport.h"

#include <QDate>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTest>

namespace RecordTest {

inline QString at(const QDate &d, const char *time) { return d.toString("yyyy-MM-dd") + " " + time; }

// Customers 1 to 3; records may also point at customer 99, who is gone.
inline void addCustomers(const TestSupport::TestDb &t)
{
    struct C
    {
        int id;
        const char *code, *name, *type, *emp, *city, *hangye;
    } const rows[] = {
        {1, "C001", "甲公司", "重要客户", "张三", "北京", "\\制造业\\机械"},
        {2, "C002", "乙贸易", "普通客户", "Lisi", "上海", "\\商业"},
        {3, "X100", "丙100%公司", "重要客户", "王五", "广州", "\\制造业"},
    };
    for (const C &c : rows)
        QVERIFY(t.insert("t_client", {{"F_cltID", c.id},
                                      {"F_code", c.code},
                                      {"F_name", QString::fromUtf8(c.name)},
                                      {"F_type", QString::fromUtf8(c.type)},
                                      {"F_empName", QString::fromUtf8(c.emp)},
                                      {"F_city", QString::fromUtf8(c.city)},
                                      {"F_hangye", QString::fromUtf8(c.hangye)}})
                > 0);
}

// Activities around `today` (the first of its month, today early and late,
// the month before, and the empty date), with their captions:
// 无日期, 旧记录, 初次拜访, 孤儿记录, 报价跟进 in date order.
inline void addActivities(const TestSupport::TestDb &t, const QDate &today)
{
    const QDate first(today.year(), today.month(), 1);
    struct A
    {
        int clt;
        QString date;
        const char *caption, *emp, *mode, *mem;
    } const rows[] = {
        {1, at(first, "00:00:00"), "初次拜访", "张三", "电话", "介绍产品"},
        {2, at(today, "23:30:00"), "报价跟进", "李四", "上门", "商谈100%预付"},
        {3, at(first.addDays(-5), "10:00:00"), "旧记录", "王五", "电话", "拜访老客户"},
        {99, at(today, "08:00:00"), "孤儿记录", "张三", "邮件", ""},
        {1, "1900-08-14 00:00:00", "无日期", "张三", "电话", ""},
    };
    for (const A &a : rows)
        QVERIFY(t.insert("t_LXrec", {{"F_cltID", a.clt},
                                     {"F_date", a.date},
                                     {"F_caption", QString::fromUtf8(a.caption)},
                                     {"F_EmpName", QString::fromUtf8(a.emp)},
                                     {"F_mode", QString::fromUtf8(a.mode)},
                                     {"F_mem", QString::fromUtf8(a.mem)},
                                     {"F_IFgj", 0}})
                > 0);
}

// One column of every row a statement finds, in its order.
inline QStringList column(const QSqlDatabase &db, const BoundStatement &st, const QString &field)
{
    QStringList out;
    QSqlQuery q(db);
    if (!Sql::exec(q, st.sql, st.params)) {
        QTest::qFail(qPrintable("statement failed: " + st.sql), __FILE__, __LINE__);
        return out;
    }
    while (q.next())
        out.append(q.value(field).toString());
    return out;
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

// Makes statements on a table fail, as a broken connection would.
inline void failOn(const TestSupport::TestDb &t, const QString &table, const QString &event)
{
    if (t.backend() == Backend::Sqlite) {
        QVERIFY(t.exec(QStringLiteral("create trigger boom before %1 on %2 begin select raise(abort, 'boom'); end").arg(event, table)));
    } else {
        QVERIFY(t.exec("create function boom_f() returns trigger language plpgsql as $$ begin raise exception 'boom'; end $$"));
        QVERIFY(t.exec(QStringLiteral("create trigger boom before %1 on %2 for each row execute function boom_f()").arg(event, table)));
    }
}

inline void stopFailing(const TestSupport::TestDb &t, const QString &table)
{
    QVERIFY(t.exec(t.backend() == Backend::Sqlite ? QStringLiteral("drop trigger boom") : QStringLiteral("drop trigger boom on ") + table));
}

} // namespace RecordTest
