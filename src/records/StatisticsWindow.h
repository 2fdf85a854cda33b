#pragma once

#include "GridWindow.h"
#include "StatisticsQuery.h"

#include <functional>

class QComboBox;
class QGridLayout;
class QLineEdit;

// A statistics window: the records of one kind over all customers, joined
// with their customers, filtered by a date pair and the conditions of the
// member's panel, with footer sums, printing and export. Read-only; nothing
// is queried until "查询". One class for every kind: a StatisticsConfig says
// what differs, and the member adds its conditions in its constructor.
class StatisticsWindow : public GridWindow
{
    Q_OBJECT
public:
    explicit StatisticsWindow(const StatisticsConfig &config, QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    const StatisticsConfig &config() const { return m_config; }
    // What the date pair and the conditions hold now.
    StatisticsFilter filter() const;
    BoundStatement lastStatement() const { return m_last; }
    QWidget *conditionsPanel() const { return m_conditions; }

public slots:
    void tbQueryClick();
    void tbExitClick();

protected:
    // --- the member's conditions, in the order they apply; the panel lays
    // them out in rows
    QLineEdit *addEditCondition(const QString &name, const QString &label, const QString &column, TextMatch match);
    // A drop-down filled with a code list (t_code.F_type) when the window is shown.
    QComboBox *addCodeListCondition(const QString &name, const QString &label, const QString &column, TextMatch match,
                                    const QString &codeList);
    // A drop-down of salespeople, filled by the operator's scope when shown.
    QComboBox *addSalespersonCondition(const QString &name, const QString &label, const QString &column, TextMatch match);
    // Any control (a box with a button, say); `text` reads its condition.
    void addCondition(const QString &label, QWidget *control, QWidget *buddy, const QString &column, TextMatch match,
                      std::function<QString()> text);

    void FormShow() override;

private:
    void placeCondition(const QString &label, QWidget *control, QWidget *buddy);

    struct Condition
    {
        QString column;
        TextMatch match;
        std::function<QString()> text;
    };

    StatisticsConfig m_config;
    BoundStatement m_last;
    QWidget *m_conditions = nullptr;
    QGridLayout *m_conditionGrid = nullptr;
    int m_placed = 0;
    QVector<Condition> m_conditionList;
    QVector<QPair<QComboBox *, QString>> m_codeLists;
    QVector<QComboBox *> m_salespersonBoxes;
};
