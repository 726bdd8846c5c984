// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/date.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// One run of a Unicode pattern letter in the pattern language of QLocale.
QString qtField(QChar letter, qsizetype run) {
    const auto repeat = [&](char c, qsizetype n) { return QString(n, QLatin1Char(c)); };
    switch (letter.toLatin1()) {
        case 'y':
        case 'Y':
        case 'u':
            return run == 2 ? repeat('y', 2) : repeat('y', 4);
        case 'M':
        case 'L':
            return repeat('M', std::min<qsizetype>(run, 4));
        case 'd':
            return repeat('d', std::min<qsizetype>(run, 2));
        case 'E':
        case 'c':
        case 'e':
            return run >= 4 ? repeat('d', 4) : repeat('d', 3);
        case 'a':
            return QStringLiteral("AP");
        case 'H':
        case 'k':
            return repeat('H', std::min<qsizetype>(run, 2));
        case 'h':
        case 'K':
            return repeat('h', std::min<qsizetype>(run, 2));
        case 'm':
            return repeat('m', std::min<qsizetype>(run, 2));
        case 's':
            return repeat('s', std::min<qsizetype>(run, 2));
        case 'S':
            return QStringLiteral("zzz");
        case 'z':
        case 'Z':
        case 'v':
        case 'V':
        case 'O':
        case 'x':
        case 'X':
            return QStringLiteral("t");
        default:
            return {};
    }
}

QString quotedLiteral(const QString& text) {
    QString copy = text;
    return QLatin1Char('\'') + copy.replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

QString qtPattern(const QString& pattern) {
    QString out;
    QString literal;  // text to copy, emitted as one quoted run before the next field
    const auto flush = [&] {
        if (!literal.isEmpty()) {
            out += quotedLiteral(literal);
            literal.clear();
        }
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            if (i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('\'')) {
                literal += c;
                i += 2;
                continue;
            }
            // A quoted run; "''" inside it is one quote.
            qsizetype j = i + 1;
            while (j < pattern.size()) {
                if (pattern.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < pattern.size() && pattern.at(j + 1) == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                literal += pattern.at(j++);
            }
            i = j + 1;
            continue;
        }
        const bool isLetter = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                              (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        if (!isLetter) {
            literal += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run) == c) {
            ++run;
        }
        flush();
        out += qtField(c, run);
        i += run;
    }
    flush();
    return out;
}

// Qt knows short and long formats; the medium and long styles of the date
// are the long format without the weekday, medium with abbreviated months.
QString dateFormat(const QLocale& locale, DateStyle style) {
    if (style == DateStyle::Short) {
        return locale.dateFormat(QLocale::ShortFormat);
    }
    QString format = locale.dateFormat(QLocale::LongFormat);
    if (style == DateStyle::Full) {
        return format;
    }
    static const QRegularExpression weekday(QStringLiteral("d{4}[,\\s]*|[,\\s]*d{4}"));
    format.remove(weekday);
    if (style == DateStyle::Medium) {
        format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    }
    return format.trimmed();
}

QString timeFormat(const QLocale& locale, DateStyle style) {
    if (style == DateStyle::Short) {
        return locale.timeFormat(QLocale::ShortFormat);
    }
    QString format = locale.timeFormat(QLocale::LongFormat);
    if (style == DateStyle::Medium) {
        static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
        format.remove(zone);
    }
    return format.trimmed();
}

}  // namespace

QString stringUsingFormat(const QDateTime& date, const QString& pattern) {
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(date.toLocalTime(), qtPattern(pattern));
}

QString stringUsingDateStyle(const QDateTime& date, DateStyle dateStyle, DateStyle timeStyle) {
    const QLocale locale;
    const QDateTime local = date.toLocalTime();
    QStringList parts;
    if (dateStyle != DateStyle::None) {
        parts.append(locale.toString(local.date(), dateFormat(locale, dateStyle)));
    }
    if (timeStyle != DateStyle::None) {
        parts.append(locale.toString(local, timeFormat(locale, timeStyle)));
    }
    return parts.join(QStringLiteral(", "));
}

QString shortDateString(const QDateTime& date) {
    return stringUsingDateStyle(date, DateStyle::Short, DateStyle::None);
}

QString shortDateAndTimeString(const QDateTime& date) {
    return stringUsingDateStyle(date, DateStyle::Short, DateStyle::Short);
}
