#include "TfrmRowArrangeGl.h"

#include "platform/Messages.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// The direction is chosen from a drop-down: empty, 升序, 降序.
class DirectionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("cbbDirection"));
        box->addItems({QString(), SortOrderList::directionText(SortOrderList::Direction::Ascending),
                       SortOrderList::directionText(SortOrderList::Direction::Descending)});
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            box->setCurrentIndex(qMax(0, box->findText(index.data().toString())));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            model->setData(index, box->currentText());
    }
};
} // namespace

TfrmRowArrangeGl::TfrmRowArrangeGl(const SortOrderList &list, QWidget *parent) : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("frmRowArrangeGl"));
    setWindowTitle(QStringLiteral("排序对话框"));

    vle1 = new QTableWidget(m_list.size(), 2, this);
    vle1->setObjectName(QStringLiteral("vle1"));
    vle1->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("排序方式")});
    vle1->verticalHeader()->hide();
    vle1->horizontalHeader()->setStretchLastSection(true);
    vle1->horizontalHeader()->setHighlightSections(false);
    vle1->setColumnWidth(0, 170);
    vle1->setSelectionMode(QAbstractItemView::SingleSelection);
    vle1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    vle1->setItemDelegateForColumn(1, new DirectionDelegate(vle1));
    Label1 = new QLabel(QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    btnUp = new QPushButton(QStringLiteral("上移"), this);
    btnUp->setObjectName(QStringLiteral("btnUp"));
    btnDown = new QPushButton(QStringLiteral("下移"), this);
    btnDown->setObjectName(QStringLiteral("btnDown"));
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *side = new QVBoxLayout;
    side->addWidget(btnUp);
    side->addWidget(btnDown);
    side->addStretch();
    side->addWidget(btnOk);
    side->addWidget(btnCancel);
    auto *top = new QHBoxLayout;
    top->addWidget(vle1, 1);
    top->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(Label1);
    resize(420, 460);

    for (int r = 0; r < m_list.size(); ++r)
        showRow(r);
    if (m_list.size() > 0)
        vle1->setCurrentCell(0, 1);

    connect(vle1, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        m_list.cycle(row);
        showRow(row);
    });
    connect(vle1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (m_updating || item->column() != 1)
            return;
        m_list.setDirection(item->row(), SortOrderList::directionOf(item->text()));
        showRow(item->row());
    });
    connect(btnUp, &QPushButton::clicked, this, [this] { moveRow(-1); });
    connect(btnDown, &QPushButton::clicked, this, [this] { moveRow(1); });
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmRowArrangeGl::showRow(int row)
{
    m_updating = true;
    const SortOrderList::Entry &e = m_list.at(row);
    auto *key = new QTableWidgetItem(e.title);
    key->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    vle1->setItem(row, 0, key);
    auto *value = new QTableWidgetItem(SortOrderList::directionText(e.direction));
    value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    vle1->setItem(row, 1, value);
    m_updating = false;
}

void TfrmRowArrangeGl::moveRow(int step)
{
    const int row = vle1->currentRow();
    if (row < 0)
        return;
    const bool moved = step < 0 ? m_list.moveUp(row) : m_list.moveDown(row);
    if (!moved)
        return;
    showRow(row);
    showRow(row + step);
    vle1->setCurrentCell(row + step, qMax(0, vle1->currentColumn()));
}

void TfrmRowArrangeGl::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // centred on the main window
    if (QWidget *main = Messages::mainWindow(); main && main->isVisible()) {
        QRect r = frameGeometry();
        r.moveCenter(main->frameGeometry().center());
        move(r.topLeft());
    }
}
