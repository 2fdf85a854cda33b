#include "TDLGenterCaption.h"

#include "SalespersonScope.h"
#include "platform/Messages.h"
#include "platform/OkCancelButtons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// t_client.F_hangye and F_empName
constexpr int kIndustryLength = 255;
constexpr int kSalespersonLength = 50;
} // namespace

TDLGenterCaption::TDLGenterCaption(const QString &caption, AskValueMode mode, TdmData::TreePicker picker, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_picker(std::move(picker))
{
    setObjectName(QStringLiteral("DLGenterCaption"));
    setWindowTitle(caption);
    // a single border: no resizing
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(caption + QStringLiteral("："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    edtCurValue = new QLineEdit(this);
    edtCurValue->setObjectName(QStringLiteral("edtCurValue"));
    edtCurValue->setMaxLength(kIndustryLength);
    sbtype = new QToolButton(this);
    sbtype->setObjectName(QStringLiteral("sbtype"));
    sbtype->setText(QStringLiteral("..."));
    sbtype->setToolTip(QStringLiteral("从行业类别中选择"));
    sbtype->setEnabled(bool(m_picker));
    cbbEmpname = new QComboBox(this);
    cbbEmpname->setObjectName(QStringLiteral("cbbEmpname"));
    cbbEmpname->setMaxVisibleItems(20);
    cbbEmpname->setMinimumContentsLength(kSalespersonLength / 3);
    const OkCancelButtons buttons = addOkCancelButtons(this, {.okAccepts = false});
    btnOk = buttons.ok;
    btnCancel = buttons.cancel;

    const bool industry = mode == AskValueMode::Industry;
    edtCurValue->setVisible(industry);
    sbtype->setVisible(industry);
    cbbEmpname->setVisible(!industry);
    Label1->setBuddy(industry ? static_cast<QWidget *>(edtCurValue) : cbbEmpname);

    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(edtCurValue, 1);
    row->addWidget(sbtype);
    row->addWidget(cbbEmpname, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
    setMinimumWidth(340);

    if (!industry)
        SalespersonScope::fillComboBox(cbbEmpname);

    connect(sbtype, &QToolButton::clicked, this, [this] {
        if (!m_picker)
            return;
        const QString picked = m_picker(this);
        if (!picked.isEmpty())
            edtCurValue->setText(picked.left(kIndustryLength));
        edtCurValue->setFocus();
    });
    connect(btnOk, &QPushButton::clicked, this, &TDLGenterCaption::okClick);
}

void TDLGenterCaption::setValue(const QString &value)
{
    if (m_mode == AskValueMode::Industry) {
        edtCurValue->setText(value);
    } else if (!value.isEmpty() && cbbEmpname->isEnabled()) {
        const int i = cbbEmpname->findText(value);
        if (i >= 0)
            cbbEmpname->setCurrentIndex(i);
    }
}

QString TDLGenterCaption::value() const
{
    return m_mode == AskValueMode::Industry ? edtCurValue->text() : cbbEmpname->currentText();
}

QString TDLGenterCaption::checkValue(AskValueMode mode, const QString &value)
{
    if (!value.trimmed().isEmpty())
        return QString();
    return mode == AskValueMode::Industry ? QStringLiteral("行业类别名称不能为空！") : QStringLiteral("业务员姓名不能为空！");
}

void TDLGenterCaption::okClick()
{
    const QString message = checkValue(m_mode, value());
    if (!message.isEmpty()) {
        ShowMess(message, MessInfo);
        if (m_mode == AskValueMode::Industry)
            edtCurValue->setFocus();
        else
            cbbEmpname->setFocus();
        return;
    }
    accept();
}
