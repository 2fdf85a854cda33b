#include "TDlgCategoryCaption.h"

#include "CategoryTree.h"
#include "app/AppConst.h"
#include "platform/Messages.h"
#include "platform/Modal.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("btnOk"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(m_ok, &QPushButton::clicked, this, &TDlgCategoryCaption::accept);
    connect(m_cancel, &QPushButton::clicked, this, &TDlgCategoryCaption::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(m_label);
    row->addWidget(m_edit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addLayout(buttons);
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
