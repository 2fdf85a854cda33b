#include "FormFields.h"

#include "platform/DatePicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>

FormFields::FormFields(QWidget *form, QList<Binding> bindings) : m_form(form), m_bindings(std::move(bindings)) {}

QWidget *FormFields::control(const QString &column) const
{
    for (const Binding &b : m_bindings)
        if (column.compare(QString::fromLatin1(b.first), Qt::CaseInsensitive) == 0)
            return m_form->findChild<QWidget *>(QString::fromLatin1(b.second));
    return nullptr;
}

void FormFields::setMaxLengths(const std::function<int(const QString &column)> &maxLength) const
{
    for (const Binding &b : m_bindings) {
        const int len = maxLength(QString::fromLatin1(b.first));
        if (len <= 0)
            continue;
        QWidget *w = m_form->findChild<QWidget *>(QString::fromLatin1(b.second));
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setMaxLength(len);
        else if (auto *cb = qobject_cast<QComboBox *>(w); cb && cb->lineEdit())
            cb->lineEdit()->setMaxLength(len);
    }
}

void FormFields::setValue(QWidget *w, const QVariant &v)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(v.toString());
    else if (auto *cb = qobject_cast<QComboBox *>(w))
        cb->setEditText(v.toString());
    else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
        m->setPlainText(v.toString());
    else if (auto *s = qobject_cast<QDoubleSpinBox *>(w))
        s->setValue(v.toDouble());
    else if (auto *ch = qobject_cast<QCheckBox *>(w))
        ch->setChecked(v.toBool());
    else if (auto *d = qobject_cast<DatePicker *>(w)) {
        const QDate date = v.toDate();
        d->setDate(date.isValid() ? date : QDate::currentDate());
        // a picker without its check box always holds a date
        d->setChecked(date.isValid() || !d->showCheckBox());
    }
}

QVariant FormFields::value(const QWidget *w)
{
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *cb = qobject_cast<const QComboBox *>(w))
        return cb->currentText();
    if (auto *m = qobject_cast<const QPlainTextEdit *>(w))
        return m->toPlainText();
    if (auto *s = qobject_cast<const QDoubleSpinBox *>(w))
        return s->value();
    if (auto *ch = qobject_cast<const QCheckBox *>(w))
        return ch->isChecked();
    if (auto *d = qobject_cast<const DatePicker *>(w))
        return d->isChecked() ? d->date() : QDate();
    return QVariant();
}

void FormFields::show(const QVariantMap &values) const
{
    for (const Binding &b : m_bindings)
        setValue(m_form->findChild<QWidget *>(QString::fromLatin1(b.second)), values.value(QString::fromLatin1(b.first)));
}

QVariantMap FormFields::collect() const
{
    QVariantMap out;
    for (const Binding &b : m_bindings)
        if (const QWidget *w = m_form->findChild<QWidget *>(QString::fromLatin1(b.second)))
            out.insert(QString::fromLatin1(b.first), value(w));
    return out;
}

void FormFields::focus(const QString &column) const
{
    QWidget *w = control(column);
    if (!w)
        return;
    // a control on a page of a tab widget: that page comes to the front
    for (QWidget *p = w; p && p != m_form; p = p->parentWidget())
        if (auto *stack = qobject_cast<QStackedWidget *>(p->parentWidget()))
            if (auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget()))
                tabs->setCurrentWidget(p);
    w->setFocus();
}
