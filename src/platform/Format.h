#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

// Display formats of the program, rendered the same way in grids, footers,
// exports and reports. Number formats use 0 # . , and up to three sections
// "positive;negative;zero"; date formats use y m d h n s (m after h is minutes).
namespace Format {
// The stored form of an empty optional date, and the rule that shows such a
// date (or NULL, or any date before 14 August 1901) as blank.
inline QString emptyDateText() { return QStringLiteral("1900-08-14"); }
bool isEmptyDate(const QVariant &value);
QString emptyDateHook(const QVariant &value);

bool isDateFormat(const QString &format);
QString formatNumber(double value, const QString &format);
QString formatDateTime(const QDateTime &value, const QString &format);
// The value's text under a display format; without one, its plain text.
QString formatValue(const QVariant &value, const QString &format = {});
// Plain text of a value: numbers with up to 15 significant digits, dates as
// "yyyy-MM-dd" (with the time when it is not midnight).
QString plainText(const QVariant &value);
// Reads "yyyy-MM-dd", "yyyy-MM-dd hh:mm[:ss[.zzz]]" and the ISO "T" form.
std::optional<QDateTime> parseDateTime(const QString &text);
// Dates and times from the database as the program's text form.
QString dateTimeText(const QDateTime &value);

// A display format in the notation of workbooks ("￥,0.00" -> "￥#,##0.00").
QString toWorkbookFormat(const QString &format);
} // namespace Format
