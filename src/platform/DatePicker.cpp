#include "DatePicker.h"

#include "Format.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>

namespace {
// One Tab leaves the date, as it leaves any field; the arrow keys and typing
// move between year, month and day.
class DateEdit : public QDateTimeEdit
{
public:
    using QDateTimeEdit::QDateTimeEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};
} // namespace

DatePicker::DatePicker(QWidget *parent) : QWidget(parent)
{
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("checkBox"));
    m_check->setChecked(true);
    m_check->hide();
    m_edit = new DateEdit(QDate::currentDate(), this);
    m_edit->setObjectName(QStringLiteral("edit"));
    m_edit->setCalendarPopup(true);
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    lay->addWidget(m_check);
    lay->addWidget(m_edit, 1);
    setFocusProxy(m_edit);
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        m_edit->setEnabled(on);
        emit changed();
    });
    connect(m_edit, &QDateTimeEdit::dateTimeChanged, this, &DatePicker::changed);
}

void DatePicker::setShowCheckBox(bool show)
{
    m_check->setVisible(show);
    if (!show)
        setChecked(true);
}

bool DatePicker::showCheckBox() const { return !m_check->isHidden(); }
bool DatePicker::isChecked() const { return m_check->isHidden() || m_check->isChecked(); }

void DatePicker::setChecked(bool checked)
{
    m_check->setChecked(checked);
    m_edit->setEnabled(checked);
}

QDate DatePicker::date() const { return m_edit->date(); }
void DatePicker::setDate(const QDate &date) { m_edit->setDate(date); }
QDateTime DatePicker::dateTime() const { return m_edit->dateTime(); }
void DatePicker::setDateTime(const QDateTime &dateTime) { m_edit->setDateTime(dateTime); }
void DatePicker::setDisplayFormat(const QString &format) { m_edit->setDisplayFormat(format); }

QString DatePicker::storedText() const
{
    return isChecked() ? date().toString(QStringLiteral("yyyy-MM-dd")) : Format::emptyDateText();
}

void DatePicker::setStoredValue(const QVariant &value, const QDate &fallback)
{
    if (Format::isEmptyDate(value)) {
        setDate(fallback);
        setChecked(false);
        return;
    }
    const auto dt = Format::parseDateTime(Format::plainText(value));
    setDate(dt ? dt->date() : fallback);
    setChecked(true);
}
