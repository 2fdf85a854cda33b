#include "TDLGselectEmpSTR.h"

#include "CheckColumnList.h"
#include "app/SalespersonScope.h"
#include "app/TdmData.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/OkCancelButtons.h"

#include <QLabel>
#include <QVBoxLayout>

TDLGselectEmpSTR::TDLGselectEmpSTR(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DLGselectEmpSTR"));
    setWindowTitle(QStringLiteral("业务员选择 "));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *label = new QLabel(QStringLiteral("请从以下列表中勾选所需项目："), this);
    auto *list = new CheckColumnList(this);
    list->setColumns(2);
    clbItemList = list;
    clbItemList->setObjectName(QStringLiteral("clbItemList"));
    label->setBuddy(clbItemList);
    const OkCancelButtons buttons = addOkCancelButtons(this, {.okIsDefault = false});
    btnOk = buttons.ok;
    btnCancel = buttons.cancel;
    auto *top = new QVBoxLayout(this);
    top->addWidget(label);
    top->addWidget(clbItemList, 1);
    top->addLayout(buttons.row);
    resize(380, 320);
}

void TDLGselectEmpSTR::setItems(const QStringList &names, const QString &current)
{
    const QStringList ticked = SalespersonScope::parseNames(current);
    clbItemList->clear();
    for (const QString &n : names) {
        clbItemList->addCheckItem(n, n, ticked.contains(n));
    }
}

QStringList TDLGselectEmpSTR::checkedNames() const
{
    QStringList out;
    for (const QListWidgetItem *item : clbItemList->checkedItems())
        out.append(item->text());
    return out;
}

QString TDLGselectEmpSTR::result() const { return SalespersonScope::joinNames(checkedNames()); }

QStringList SalespersonCandidates()
{
    QStringList out;
    for (const QString &n : dmData->QueryList(QStringLiteral("select F_name from t_employee where F_name <> '' order by F_ID")))
        if (!n.trimmed().isEmpty() && !out.contains(n))
            out.append(n);
    return out;
}

QString SelectSalespersons(const QString &current, QWidget *parent)
{
    const QStringList names = SalespersonCandidates();
    if (names.isEmpty()) {
        ShowMess(QStringLiteral("没有项目选择！"), MessInfo);
        return current;
    }
    TDLGselectEmpSTR dlg(parent);
    dlg.setItems(names, current);
    if (execModal(&dlg) != QDialog::Accepted)
        return current;
    return dlg.result();
}
