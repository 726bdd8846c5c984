// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// Line and number helpers for the text forms the program reads.
namespace text_lines {

// A newline: line feed, vertical tab, form feed, carriage return, next line,
// and the Unicode line and paragraph separators.
constexpr bool isNewline(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Calls f(line) for every line; "\r\n" yields an extra empty line, as every
// newline character ends a line.
template <typename F>
void forEachLine(QStringView text, F&& f) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isNewline(text[i].unicode())) {
            f(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    f(text.sliced(start));
}

// Leading-digits rule: leading white space, an optional sign, then decimal
// digits up to the first other character; no digits gives 0. Saturates at
// the 32-bit limits.
qint32 leadingInt32(QStringView field);

}  // namespace text_lines
