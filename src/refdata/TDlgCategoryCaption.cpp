#include "TDlgCategoryCaption.h"

#include "CategoryTree.h"
#include "app/AppConst.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/OkCancelButtons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TDlgCategoryCaption::TDlgCategoryCaption(const QString &title, const QString &initial, Check check, QWidget *parent)
    : QDialog(parent), m_check(std::move(check))
{
    setObjectName(QStringLiteral("TDlgCategoryCaption"));
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_label = new QLabel(QStringLiteral("类别名称(&N)："), this);
    m_edit = new QLineEdit(initial.trimmed(), this);
    m_edit->setObjectName(QStringLiteral("edtCurValue"));
    m_edit->setMaxLength(CategoryTree::kMaxNameLength);
    m_edit->setMinimumWidth(260);
    m_edit->selectAll();
    SetChineseInput(m_edit);
    m_label->setBuddy(m_edit);

    // 确定 runs the check in accept()
    const OkCancelButtons buttons = addOkCancelButtons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    auto *row = new QHBoxLayout;
    row->addWidget(m_label);
    row->addWidget(m_edit, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_edit->setFocus();
}

QString TDlgCategoryCaption::value() const { return m_edit->text().trimmed(); }

void TDlgCategoryCaption::accept()
{
    const QString c = value();
    if (!c.isEmpty() && m_check) {
        const QString problem = m_check(c);
        if (!problem.isEmpty()) {
            ShowMess(problem, MessWarning);
            m_edit->setFocus();
            m_edit->selectAll();
            return;
        }
    }
    QDialog::accept();
}

QString TDlgCategoryCaption::ask(QWidget *parent, const QString &title, const QString &initial, Check check)
{
    TDlgCategoryCaption dlg(title, initial, std::move(check), parent);
    if (execModal(&dlg) != QDialog::Accepted)
        return QString();
    return dlg.value();
}
