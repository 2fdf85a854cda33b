#include "TDLGeditCurList.h"

#include "platform/OkCancelButtons.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TDLGeditCurList::TDLGeditCurList(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DLGeditCurList"));
    setWindowTitle(QStringLiteral("批量修改当前列"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("请输入要填写的字段值："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    edtCurValue = new QLineEdit(this);
    edtCurValue->setObjectName(QStringLiteral("edtCurValue"));
    Label1->setBuddy(edtCurValue);
    const OkCancelButtons buttons = addOkCancelButtons(this);
    btnOk = buttons.ok;
    btnCancel = buttons.cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(edtCurValue);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
    setMinimumWidth(320);
}
