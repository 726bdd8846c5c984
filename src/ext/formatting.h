// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <type_traits>

// The localized format text filled with the arguments. The format uses the
// printf-style markers our English texts are written with: "%@", "%d", "%i",
// "%u", "%s", "%f" (with an optional precision such as "%.1f"), length
// modifiers ("%ld", "%lu", "%lld"), positions ("%2$@") and "%%". Each marker
// takes the next argument as text; a marker without an argument stays as it
// is, and an argument is never read as a marker.
QString localized_format(const QString& formatKey, const QStringList& arguments = {});

// The same with arguments of any type that QString::arg takes; floating-point
// arguments keep their full precision until a marker's precision applies.
template <typename T>
QString format_argument(const T& argument) {
    if constexpr (std::is_floating_point_v<T>) {
        return QString::number(argument, 'g', QLocale::FloatingPointShortest);
    } else {
        return QStringLiteral("%1").arg(argument);
    }
}

template <typename... Args>
QString localized_format(const QString& formatKey, const Args&... arguments) {
    return localized_format(formatKey, QStringList{format_argument(arguments)...});
}

// Fills a format text without looking it up (for texts that are not shown
// to the user, such as log lines).
QString fill_format(const QString& format, const QStringList& arguments);
