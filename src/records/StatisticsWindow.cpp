#include "StatisticsWindow.h"

#include "app/AppConst.h"
#include "app/AppState.h"
#include "app/SalespersonScope.h"
#include "app/TdmData.h"
#include "platform/ToolIcons.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/DatePicker.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace {
// label and control pairs in a row of the conditions panel
constexpr int kPairsPerRow = 4;

QString sessionFormat(SessionFormat f)
{
    const AppState &st = appState();
    switch (f) {
    case SessionFormat::Quantity:
        return st.QtyFormat;
    case SessionFormat::UnitPrice:
        return st.UnitPriceFormat;
    case SessionFormat::Money:
        return st.MoneyFormat;
    }
    return QString();
}
} // namespace

StatisticsWindow::StatisticsWindow(const StatisticsConfig &config, QWidget *parent)
    : GridWindow(0, parent), m_config(config)
{
    setObjectName(QString::fromLatin1(config.name));
    setWindowTitle(QString::fromUtf8(config.caption));
    const QString layout = QString::fromLatin1(config.layout);
    setLayoutNames(layout, layout);
    setExportTitle(QString::fromUtf8(config.exportTitle));
    setPrintTitle(QString::fromUtf8(*config.exportTitle ? config.exportTitle : config.caption));
    setTitleSort(TitleSort::EveryColumn);
    setCountPrefix(QStringLiteral("记录数/"));
    QryTable()->setEmptyDateFields(config.emptyDates());
    bool sums = false;
    for (const RecordColumn &c : config.columns)
        sums = sums || c.sum;
    if (!config.columns.empty())
        grid()->setColumns(designedGridColumns(config.columns, sums));

    // --- the toolbar
    QStyle *st = style();
    bindKey(QKeySequence(Qt::CTRL | Qt::Key_Q),
            addTool(QStringLiteral("tbQuery"), QStringLiteral("查询"), ToolIcons::query(), [this] { tbQueryClick(); },
                    QStringLiteral("Ctrl+Q")),
            false);
    addToolSeparator();
    addNavigationTools();
    addToolSeparator();
    addOutputTools(QStringLiteral("tbPrint"), QStringLiteral("tbSet"), QStringLiteral("tbExpert"));
    addToolSeparator();
    addTool(QStringLiteral("tbExit"), QStringLiteral("退出"), st->standardIcon(QStyle::SP_DialogCloseButton),
            [this] { tbExitClick(); }, QStringLiteral("Esc"));

    // --- the conditions: the date pair first, then the member's
    auto *box = new QGroupBox(QStringLiteral("查询条件"), this);
    box->setObjectName(QStringLiteral("gbConditions"));
    m_conditions = box;
    m_conditionGrid = new QGridLayout(box);
    m_conditionGrid->setContentsMargins(8, 4, 8, 6);
    m_conditionGrid->setHorizontalSpacing(6);
    m_conditionGrid->setVerticalSpacing(4);
    for (int i = 0; i < kPairsPerRow; ++i)
        m_conditionGrid->setColumnStretch(i * 2 + 1, 1);
    createDatePair(box, false);
    placeCondition(QString::fromUtf8(config.dateCaption) + QStringLiteral("  自："), fromDate(), fromDate());
    placeCondition(QStringLiteral("至："), toDate(), toDate());

    body()->addWidget(box);
    body()->addWidget(grid(), 1);

    EnableNavButtons(this, false);
    updateDesignTool();
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::placeCondition(const QString &label, QWidget *control, QWidget *buddy)
{
    const int row = m_placed / kPairsPerRow;
    const int col = (m_placed % kPairsPerRow) * 2;
    auto *l = new QLabel(label, m_conditions);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (buddy)
        l->setBuddy(buddy);
    control->setParent(m_conditions);
    control->setMinimumWidth(qMax(control->minimumWidth(), 120));
    m_conditionGrid->addWidget(l, row, col);
    m_conditionGrid->addWidget(control, row, col + 1);
    ++m_placed;
}

void StatisticsWindow::addCondition(const QString &label, QWidget *control, QWidget *buddy, const QString &column,
                                    TextMatch match, std::function<QString()> text)
{
    placeCondition(label, control, buddy ? buddy : control);
    m_conditionList.append({column, match, std::move(text)});
}

QLineEdit *StatisticsWindow::addEditCondition(const QString &name, const QString &label, const QString &column,
                                              TextMatch match)
{
    auto *e = new QLineEdit(m_conditions);
    e->setObjectName(name);
    addCondition(label, e, e, column, match, [e] { return e->text(); });
    return e;
}

QComboBox *StatisticsWindow::addCodeListCondition(const QString &name, const QString &label, const QString &column,
                                                  TextMatch match, const QString &codeList)
{
    auto *c = new QComboBox(m_conditions);
    c->setObjectName(name);
    c->setEditable(true);
    addCondition(label, c, c, column, match, [c] { return c->currentText(); });
    m_codeLists.append({c, codeList});
    return c;
}

QComboBox *StatisticsWindow::addSalespersonCondition(const QString &name, const QString &label, const QString &column,
                                                     TextMatch match)
{
    auto *c = new QComboBox(m_conditions);
    c->setObjectName(name);
    c->setEditable(true);
    addCondition(label, c, c, column, match, [c] { return c->currentText(); });
    m_salespersonBoxes.append(c);
    return c;
}

void StatisticsWindow::FormShow()
{
    EnableNavButtons(this, false);
    updateDesignTool();
    if (dmData) {
        for (const auto &[box, list] : std::as_const(m_codeLists))
            dmData->FillCodeList(list, box);
    }
    for (QComboBox *box : std::as_const(m_salespersonBoxes))
        SalespersonScope::fillComboBox(box);
    loadLayout();
    // the session's number formats on the member's columns
    for (const ColumnFormat &f : m_config.formats) {
        const QString format = sessionFormat(f.format);
        const int pos = grid()->columnOfField(QString::fromLatin1(f.field));
        if (format.isEmpty() || pos < 0)
            continue;
        DataGridColumn c = grid()->column(pos);
        c.displayFormat = format;
        c.footerFormat = format;
        grid()->setColumn(pos, c);
    }
}

StatisticsFilter StatisticsWindow::filter() const
{
    StatisticsFilter f;
    f.dates.fromChecked = fromDate()->isChecked();
    f.dates.from = fromDate()->date();
    f.dates.toChecked = toDate()->isChecked();
    f.dates.to = toDate()->date();
    for (const Condition &c : m_conditionList)
        f.conditions.append({c.column, c.match, c.text ? c.text() : QString()});
    return f;
}

void StatisticsWindow::tbQueryClick()
{
    EnableNavButtons(this, true);
    updateDesignTool();
    m_last = filter().statement(m_config);
    grid()->clearSortMarkers();
    if (dmData)
        dmData->OpenQuery(m_last.sql, QryTable(), m_last.params);
}

void StatisticsWindow::tbExitClick() { reject(); }
