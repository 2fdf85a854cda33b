#pragma once

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

// Realistic demo data for a freshly seeded database: employees, goods and
// customers (Chinese companies in matching provinces and cities, industries
// from the industry tree), each with contacts, activities, quotations,
// contracts, sales bills with lines, visits, complaints, products, reminders,
// calls and deals. The same seed and day give the same data.
class DemoData
{
public:
    struct Options
    {
        int customers = 0;
        quint32 seed = 20260101;
        // The day the data leads up to (dates spread over the two years
        // before it); the current date when not set.
        QDate today;
    };

    struct Counts
    {
        int employees = 0;
        int goods = 0;
        int customers = 0;
        int contacts = 0;
        int activities = 0;
        int quotations = 0;
        int contracts = 0;
        int bills = 0;
        int billLines = 0;
        int visits = 0;
        int complaints = 0;
        int products = 0;
        int reminders = 0;
        int calls = 0;
        int deals = 0;
    };

    DemoData(const QSqlDatabase &db, Options options);

    // called now and then with the customers written so far
    void setProgress(std::function<void(int done, int total)> progress) { m_progress = std::move(progress); }
    // Writes everything inside one transaction; nothing is left when it fails.
    bool generate(QString *error);
    const Counts &counts() const { return m_counts; }

private:
    quint32 next();
    int below(int n);
    bool chance(int percent) { return below(100) < percent; }
    double uniform(double lo, double hi);
    template <typename T>
    const T &pick(const QList<T> &list)
    {
        return list.at(below(int(list.size())));
    }
    QString personName();
    QString digits(int n);
    QString mobile();
    QDate dayBetween(const QDate &from, const QDate &to);

    bool loadReferenceData(QString *error);
    bool writeEmployees(QString *error);
    bool writeGoods(QString *error);
    bool writeCustomers(QString *error);

    QSqlDatabase m_db;
    Options m_options;
    quint32 m_state[4] = {};
    std::function<void(int, int)> m_progress;
    Counts m_counts;

    // code lists by lower-case type, industry leaves (path, name)
    QHash<QString, QStringList> m_codes;
    QList<QPair<QString, QString>> m_industries;
    QStringList m_salespeople;
    QStringList m_staff;
    struct Goods
    {
        QString code, name, type, standard, unit;
        double price;
    };
    QList<Goods> m_goods;
};
