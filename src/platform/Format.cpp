#include "Format.h"

#include <QStringList>

#include <cmath>
#include <cstdio>

namespace {
// Splits a format into sections at ";" outside quotes.
QStringList sections(const QString &format)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            cur += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            out.append(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.append(cur);
    return out;
}

// Decimal digits of |value| rounded half away from zero at `decimals`, read
// from 15 significant digits as the Windows runtime does (2.675 -> 2.68).
QString roundedDigits(double value, int decimals, QString *intPart)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.dddddddddddddde[+-]xx
    QString mant;
    mant += QLatin1Char(buf[0]);
    for (int i = 2; i < 16; ++i)
        mant += QLatin1Char(buf[i]);
    int exp = std::atoi(buf + 17);
    // number = 0.mant * 10^(exp+1); integer digits count = exp + 1
    int intDigits = exp + 1;
    QString digits = mant;
    if (intDigits <= 0) {
        digits = QString(-intDigits, QLatin1Char('0')) + digits;
        intDigits = 0;
    }
    while (digits.size() < intDigits + decimals + 1)
        digits += QLatin1Char('0');
    const int keep = intDigits + decimals;
    const bool roundUp = digits.at(keep).unicode() >= '5';
    QString kept = digits.left(keep);
    if (roundUp) {
        int i = kept.size() - 1;
        for (; i >= 0; --i) {
            if (kept.at(i) == QLatin1Char('9')) {
                kept[i] = QLatin1Char('0');
            } else {
                kept[i] = QChar(kept.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            kept.prepend(QLatin1Char('1'));
            ++intDigits;
        }
    }
    *intPart = kept.left(intDigits);
    return kept.mid(intDigits);
}

QString formatSection(double absValue, const QString &fmt)
{
    // Find the digit placeholders: prefix literal, number pattern, suffix literal.
    int first = -1, last = -1;
    bool thousands = false;
    QChar quote;
    for (int i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (c == QLatin1Char(','))
                thousands = true;
            if (first < 0)
                first = i;
            last = i;
        }
    }
    auto literal = [](const QString &s) {
        QString out;
        QChar q;
        for (const QChar c : s) {
            if (!q.isNull()) {
                if (c == q)
                    q = QChar();
                else
                    out += c;
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                q = c;
            } else {
                out += c;
            }
        }
        return out;
    };
    if (first < 0)
        return literal(fmt);
    const QString pattern = fmt.mid(first, last - first + 1);
    const int dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPat = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPat = dot < 0 ? QString() : pattern.mid(dot + 1);
    int minFrac = 0, maxFrac = 0;
    for (const QChar c : fracPat) {
        if (c == QLatin1Char('0')) {
            ++maxFrac;
            minFrac = maxFrac;
        } else if (c == QLatin1Char('#')) {
            ++maxFrac;
        }
    }
    int minInt = 0;
    for (const QChar c : intPat)
        if (c == QLatin1Char('0'))
            ++minInt;

    QString intDigits;
    QString frac = roundedDigits(absValue, maxFrac, &intDigits);
    while (frac.size() > minFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    while (intDigits.size() > 1 && intDigits.startsWith(QLatin1Char('0')))
        intDigits.remove(0, 1);
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(QLatin1Char('0'));
    if (thousands && intDigits.size() > 3) {
        QString grouped;
        const int n = intDigits.size();
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += QLatin1Char(',');
            grouped += intDigits.at(i);
        }
        intDigits = grouped;
    }
    QString number = intDigits;
    if (!frac.isEmpty())
        number += QLatin1Char('.') + frac;
    if (number.isEmpty())
        number = QStringLiteral("0");
    return literal(fmt.left(first)) + number + literal(fmt.mid(last + 1));
}

bool isZeroAt(double v, const QString &fmt)
{
    // zero after rounding to the section's decimals
    int decimals = 0;
    const int dot = fmt.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        for (int i = dot + 1; i < fmt.size(); ++i)
            if (fmt.at(i) == QLatin1Char('0') || fmt.at(i) == QLatin1Char('#'))
                ++decimals;
    QString intPart;
    const QString frac = roundedDigits(v, decimals, &intPart);
    for (const QChar c : intPart + frac)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}
} // namespace

namespace Format {
bool isEmptyDate(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return true;
    QString text;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        text = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd"));
        break;
    case QMetaType::QDate:
        text = value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        break;
    default:
        text = value.toString();
    }
    return text < QLatin1String("1901-08-14");
}

QString emptyDateHook(const QVariant &value) { return isEmptyDate(value) ? QString() : plainText(value); }

bool isDateFormat(const QString &format)
{
    bool date = false;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        const QChar l = c.toLower();
        if (l == QLatin1Char('0') || l == QLatin1Char('#'))
            return false;
        if (l == QLatin1Char('y') || l == QLatin1Char('d') || l == QLatin1Char('h') || l == QLatin1Char('n')
            || l == QLatin1Char('s') || l == QLatin1Char('m'))
            date = true;
    }
    return date;
}

QString formatNumber(double value, const QString &format)
{
    if (format.trimmed().isEmpty() || !std::isfinite(value))
        return plainText(value);
    const QStringList secs = sections(format);
    const QString &pos = secs.at(0);
    if (secs.size() >= 3 && !secs.at(2).isEmpty() && isZeroAt(value, pos))
        return formatSection(0, secs.at(2));
    if (value < 0) {
        if (secs.size() >= 2 && !secs.at(1).isEmpty())
            return formatSection(-value, secs.at(1));
        if (isZeroAt(value, pos))
            return formatSection(0, pos);
        return QLatin1Char('-') + formatSection(-value, pos);
    }
    return formatSection(value, pos);
}

QString formatDateTime(const QDateTime &dt, const QString &format)
{
    QString out;
    const int n = format.size();
    bool lastWasHour = false;
    auto run = [&](int i) {
        int j = i;
        while (j < n && format.at(j).toLower() == format.at(i).toLower())
            ++j;
        return j - i;
    };
    const QDate d = dt.date();
    const QTime t = dt.time();
    for (int i = 0; i < n;) {
        const QChar c = format.at(i);
        const QChar l = c.toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int j = i + 1;
            while (j < n && format.at(j) != c)
                out += format.at(j++);
            i = j + 1;
            continue;
        }
        const int k = run(i);
        if (l == QLatin1Char('y')) {
            out += k <= 2 ? QStringLiteral("%1").arg(d.year() % 100, 2, 10, QLatin1Char('0'))
                          : QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            lastWasHour = false;
        } else if (l == QLatin1Char('m')) {
            if (lastWasHour && k <= 2)
                out += k == 1 ? QString::number(t.minute()) : QStringLiteral("%1").arg(t.minute(), 2, 10, QLatin1Char('0'));
            else if (k == 1)
                out += QString::number(d.month());
            else if (k == 2)
                out += QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0'));
            else
                out += QString::number(d.month()) + QStringLiteral("月");
            lastWasHour = false;
        } else if (l == QLatin1Char('d')) {
            out += k == 1 ? QString::number(d.day()) : QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0'));
            lastWasHour = false;
        } else if (l == QLatin1Char('h')) {
            out += k == 1 ? QString::number(t.hour()) : QStringLiteral("%1").arg(t.hour(), 2, 10, QLatin1Char('0'));
            lastWasHour = true;
        } else if (l == QLatin1Char('n')) {
            out += k == 1 ? QString::number(t.minute()) : QStringLiteral("%1").arg(t.minute(), 2, 10, QLatin1Char('0'));
            lastWasHour = false;
        } else if (l == QLatin1Char('s')) {
            out += k == 1 ? QString::number(t.second()) : QStringLiteral("%1").arg(t.second(), 2, 10, QLatin1Char('0'));
            lastWasHour = false;
        } else if (l == QLatin1Char('z')) {
            out += k >= 3 ? QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0')) : QString::number(t.msec());
        } else {
            out += QString(k, c);
        }
        i += k;
    }
    return out;
}

std::optional<QDateTime> parseDateTime(const QString &text)
{
    const QString s = text.trimmed();
    if (s.size() < 8)
        return std::nullopt;
    static const QString formats[] = {QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"), QStringLiteral("yyyy-MM-dd hh:mm:ss"),
                                      QStringLiteral("yyyy-MM-dd hh:mm"),         QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz"),
                                      QStringLiteral("yyyy-MM-ddThh:mm:ss"),      QStringLiteral("yyyy-MM-dd"),
                                      QStringLiteral("yyyy/M/d"),                 QStringLiteral("yyyy-M-d"),
                                      QStringLiteral("yyyy/M/d h:mm:ss")};
    for (const QString &f : formats) {
        const QDateTime dt = QDateTime::fromString(s, f);
        if (dt.isValid())
            return dt;
        if (!f.contains(QLatin1Char('h'))) {
            const QDate d = QDate::fromString(s, f);
            if (d.isValid())
                return QDateTime(d, QTime(0, 0));
        }
    }
    return std::nullopt;
}

QString dateTimeText(const QDateTime &value)
{
    if (!value.isValid())
        return QString();
    if (value.time() == QTime(0, 0))
        return value.toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString plainText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double v = value.toDouble();
        if (v == 0)
            return QStringLiteral("0");
        return QString::number(v, 'g', 15);
    }
    case QMetaType::QDateTime:
        return dateTimeText(value.toDateTime());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

QString formatValue(const QVariant &value, const QString &format)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (format.trimmed().isEmpty())
        return plainText(value);
    if (isDateFormat(format)) {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = QDateTime(value.toDate(), QTime(0, 0));
        else if (auto p = parseDateTime(value.toString()))
            dt = *p;
        return dt.isValid() ? formatDateTime(dt, format) : plainText(value);
    }
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || value.typeId() == QMetaType::QString) {
        // text that is a number still takes the format, other text stays
        bool textOk = false;
        const double tv = value.toString().trimmed().toDouble(&textOk);
        if (!textOk)
            return plainText(value);
        return formatNumber(tv, format);
    }
    return formatNumber(v, format);
}

QString toWorkbookFormat(const QString &format)
{
    if (format.trimmed().isEmpty())
        return QString();
    if (isDateFormat(format)) {
        QString f = format;
        // minutes are "mm" after hours in workbooks as well; "nn" is ours only
        f.replace(QLatin1String("nn"), QLatin1String("mm"), Qt::CaseInsensitive);
        return f;
    }
    QStringList out;
    for (const QString &sec : sections(format)) {
        int first = -1, last = -1;
        bool thousands = false;
        for (int i = 0; i < sec.size(); ++i) {
            const QChar c = sec.at(i);
            if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',')) {
                if (c == QLatin1Char(','))
                    thousands = true;
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        if (first < 0) {
            out.append(QLatin1Char('"') + sec + QLatin1Char('"'));
            continue;
        }
        QString pattern = sec.mid(first, last - first + 1);
        pattern.remove(QLatin1Char(','));
        const int dot = pattern.indexOf(QLatin1Char('.'));
        QString intPat = dot < 0 ? pattern : pattern.left(dot);
        QString fracPat = dot < 0 ? QString() : pattern.mid(dot + 1);
        if (!intPat.contains(QLatin1Char('0')))
            intPat += QLatin1Char('0');
        if (thousands) {
            while (intPat.size() < 4)
                intPat.prepend(QLatin1Char('#'));
            intPat.insert(intPat.size() - 3, QLatin1Char(','));
        }
        QString number = intPat;
        if (!fracPat.isEmpty())
            number += QLatin1Char('.') + fracPat;
        // currency signs and a few marks stand as they are; other text is quoted
        auto lit = [](const QString &s) {
            static const QString plain = QStringLiteral("￥¥$€£ -+()/:");
            bool bare = true;
            for (const QChar c : s)
                bare = bare && plain.contains(c);
            return s.isEmpty() || bare ? s : QLatin1Char('"') + s + QLatin1Char('"');
        };
        out.append(lit(sec.left(first)) + number + lit(sec.mid(last + 1)));
    }
    return out.join(QLatin1Char(';'));
}
} // namespace Format
