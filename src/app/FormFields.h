#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariantMap>

#include <functional>

class QWidget;

// The edit controls of a window bound to table columns by the controls'
// object names: line edits, combo boxes, memos, number boxes, check boxes and
// date pickers. Edit windows show a record through it and collect what the
// operator typed.
class FormFields
{
public:
    using Binding = QPair<const char *, const char *>; // column, control
    FormFields(QWidget *form, QList<Binding> bindings);

    // No text box takes more than its column holds (0: no limit).
    void setMaxLengths(const std::function<int(const QString &column)> &maxLength) const;
    void show(const QVariantMap &values) const;
    // Column -> value; an unticked date picker gives a null date.
    QVariantMap collect() const;
    QWidget *control(const QString &column) const;
    // Focuses the column's control, bringing its tab page to the front.
    void focus(const QString &column) const;

    static void setValue(QWidget *control, const QVariant &value);
    static QVariant value(const QWidget *control);

private:
    QWidget *m_form;
    QList<Binding> m_bindings;
};
