#include "TFrmDispFieldXZ.h"

#include "platform/OkCancelButtons.h"

#include <QListWidget>
#include <QVBoxLayout>

TFrmDispFieldXZ::TFrmDispFieldXZ(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDispFieldXZ"));
    setWindowTitle(QStringLiteral("字段列表"));
    // a caption without title-bar buttons
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    const OkCancelButtons buttons = addOkCancelButtons(this);
    btnOk = buttons.ok;
    btnCancel = buttons.cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CheckListBox1, 1);
    layout->addLayout(buttons.row);
    resize(300, 420);
}

void TFrmDispFieldXZ::setColumns(const QStringList &titles, const QVector<bool> &visible)
{
    CheckListBox1->clear();
    for (int i = 0; i < titles.size(); ++i) {
        auto *item = new QListWidgetItem(titles.at(i), CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(visible.value(i, true) ? Qt::Checked : Qt::Unchecked);
    }
    if (CheckListBox1->count() > 0)
        CheckListBox1->setCurrentRow(0);
}

QVector<bool> TFrmDispFieldXZ::visibleFlags() const
{
    QVector<bool> out;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        out.append(CheckListBox1->item(i)->checkState() == Qt::Checked);
    return out;
}
