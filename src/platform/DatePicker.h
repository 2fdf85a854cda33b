#pragma once

#include <QDate>
#include <QDateTime>
#include <QWidget>

class QCheckBox;
class QDateTimeEdit;

// A date (or date and time) picker with an optional check box of its own, as
// the windows use for optional dates: an unticked picker means "no date".
class DatePicker : public QWidget
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    void setShowCheckBox(bool show);
    bool showCheckBox() const;
    bool isChecked() const;
    void setChecked(bool checked);

    QDate date() const;
    void setDate(const QDate &date);
    QDateTime dateTime() const;
    void setDateTime(const QDateTime &dateTime);
    void setDisplayFormat(const QString &format);

    // The date as stored: "yyyy-MM-dd", or the empty date when unticked.
    QString storedText() const;
    // Takes a stored value: an empty date unticks the picker and shows `fallback`.
    void setStoredValue(const QVariant &value, const QDate &fallback = QDate::currentDate());

    QDateTimeEdit *editor() const { return m_edit; }
    QCheckBox *checkBox() const { return m_check; }

signals:
    void changed();

private:
    QCheckBox *m_check;
    QDateTimeEdit *m_edit;
};
