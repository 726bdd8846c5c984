// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/formatting.h"

#include "ext/text.h"

#include <QLatin1StringView>

namespace {

constexpr QLatin1StringView kConversions("@diuxXfgeEsc");
constexpr QLatin1StringView kFlagsAndLengths("-+ #0123456789lqhzjLt");

// Reads a marker starting after its "%". Returns its end, the 1-based
// position it names (0: the next one) and its precision (-1: none); the
// end is the start when the text there is no marker.
struct Marker {
    qsizetype end = 0;
    int position = 0;
    int precision = -1;
    QChar conversion;
};

Marker readMarker(const QString& format, qsizetype start) {
    Marker marker;
    qsizetype i = start;
    qsizetype digitsEnd = i;
    while (digitsEnd < format.size() && format.at(digitsEnd).isDigit()) {
        ++digitsEnd;
    }
    if (digitsEnd > i && digitsEnd < format.size() && format.at(digitsEnd) == QLatin1Char('$')) {
        marker.position = format.mid(i, digitsEnd - i).toInt();
        i = digitsEnd + 1;
    }
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('.')) {
            qsizetype j = i + 1;
            while (j < format.size() && format.at(j).isDigit()) {
                ++j;
            }
            marker.precision = format.mid(i + 1, j - i - 1).toInt();
            i = j;
            continue;
        }
        if (kConversions.contains(c)) {
            marker.conversion = c;
            marker.end = i + 1;
            return marker;
        }
        if (!kFlagsAndLengths.contains(c)) {
            break;
        }
        ++i;
    }
    marker.end = start;
    return marker;
}

QString applyPrecision(const QString& argument, const Marker& marker) {
    const char c = marker.conversion.toLatin1();
    if (marker.precision < 0 || (c != 'f' && c != 'g' && c != 'e' && c != 'E')) {
        return argument;
    }
    bool ok = false;
    const double value = argument.toDouble(&ok);
    return ok ? QString::number(value, c, marker.precision) : argument;
}

}  // namespace

QString fill_format(const QString& format, const QStringList& arguments) {
    QString out;
    out.reserve(format.size());
    int next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format.at(i + 1) == QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        const Marker marker = readMarker(format, i + 1);
        if (marker.end == i + 1) {
            out += c;
            continue;
        }
        const int index = marker.position > 0 ? marker.position - 1 : next++;
        if (index < 0 || index >= arguments.size()) {
            out += format.mid(i, marker.end - i);
        } else {
            out += applyPrecision(arguments.at(index), marker);
        }
        i = marker.end - 1;
    }
    return out;
}

QString localized_format(const QString& formatKey, const QStringList& arguments) {
    return fill_format(localized(formatKey), arguments);
}
