// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/numeric_text.h"

#include <QLocale>

#include <limits>

namespace numeric_text {
namespace {

qsizetype skipBlanks(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    return i;
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

qint64 leadingInt64(QStringView text) {
    qsizetype i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Accumulated as a negative number: its range holds the minimum too.
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    bool overflow = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i].unicode() - '0';
        if (value < (kMin + digit) / 10) {
            overflow = true;
            continue;
        }
        value = value * 10 - digit;
    }
    if (overflow) {
        return negative ? kMin : std::numeric_limits<qint64>::max();
    }
    if (negative) {
        return value;
    }
    return value == kMin ? std::numeric_limits<qint64>::max() : -value;
}

qint32 leadingInt32(QStringView text) {
    const qint64 value = leadingInt64(text);
    constexpr qint64 kMin = std::numeric_limits<qint32>::min();
    constexpr qint64 kMax = std::numeric_limits<qint32>::max();
    return qint32(value < kMin ? kMin : value > kMax ? kMax : value);
}

double leadingDouble(QStringView text) {
    const qsizetype start = skipBlanks(text);
    qsizetype i = start;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
    }
    if (i == digitsStart || (i == digitsStart + 1 && text[digitsStart] == QLatin1Char('.'))) {
        return 0;
    }
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+'))) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, i - start), &ok);
    if (ok) {
        return value;
    }
    // Out of range: the C locale reports infinity as a failure.
    return text[start] == QLatin1Char('-') ? -std::numeric_limits<double>::infinity()
                                           : std::numeric_limits<double>::infinity();
}

}  // namespace numeric_text
