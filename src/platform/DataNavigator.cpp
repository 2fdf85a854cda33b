#include "DataNavigator.h"

#include "platform/DataSet.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

DataNavigator::DataNavigator(QWidget *parent) : QWidget(parent)
{
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    static const struct
    {
        const char *name;
        const char *tip;
        QStyle::StandardPixmap icon;
    } buttons[] = {{"nbFirst", "第一条", QStyle::SP_MediaSkipBackward},
                   {"nbPrior", "上一条", QStyle::SP_MediaSeekBackward},
                   {"nbNext", "下一条", QStyle::SP_MediaSeekForward},
                   {"nbLast", "最后一条", QStyle::SP_MediaSkipForward}};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(buttons[i].name));
        b->setToolTip(QString::fromUtf8(buttons[i].tip));
        b->setIcon(style()->standardIcon(buttons[i].icon));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        lay->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, i] { go(i); });
        m_buttons[i] = b;
    }
    updateButtons();
}

void DataNavigator::setDataSet(DataSet *dataSet)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (m_dataSet) {
        connect(m_dataSet, &DataSet::currentRowChanged, this, &DataNavigator::updateButtons);
        connect(m_dataSet, &DataSet::opened, this, &DataNavigator::updateButtons);
    }
    updateButtons();
}

void DataNavigator::go(int where)
{
    if (!m_dataSet)
        return;
    switch (where) {
    case 0: m_dataSet->first(); break;
    case 1: m_dataSet->prior(); break;
    case 2: m_dataSet->next(); break;
    default: m_dataSet->last(); break;
    }
    updateButtons();
    emit moved();
}

void DataNavigator::updateButtons()
{
    const bool any = m_dataSet && !m_dataSet->isEmpty();
    const bool atFirst = !any || m_dataSet->bof();
    const bool atLast = !any || m_dataSet->eof();
    m_buttons[0]->setEnabled(!atFirst);
    m_buttons[1]->setEnabled(!atFirst);
    m_buttons[2]->setEnabled(!atLast);
    m_buttons[3]->setEnabled(!atLast);
}
