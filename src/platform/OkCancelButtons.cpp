#include "OkCancelButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

OkCancelButtons addOkCancelButtons(QDialog *dialog, const OkCancelOptions &options)
{
    OkCancelButtons b;
    b.ok = new QPushButton(options.mnemonics ? QStringLiteral("确定(&O)") : QStringLiteral("确定"), dialog);
    b.ok->setObjectName(QStringLiteral("btnOk"));
    if (options.okIsDefault)
        b.ok->setDefault(true);
    b.cancel = new QPushButton(options.mnemonics ? QStringLiteral("取消(&C)") : QStringLiteral("取消"), dialog);
    b.cancel->setObjectName(QStringLiteral("btnCancel"));

    b.row = new QHBoxLayout;
    b.row->addStretch();
    b.row->addWidget(b.ok);
    b.row->addWidget(b.cancel);

    if (options.okAccepts)
        QObject::connect(b.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}
