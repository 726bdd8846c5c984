// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/single_line_text.h"

#include <algorithm>
#include <cstdio>

QString singleLineText(const QString& text) {
    const auto special = [](char16_t c) {
        return (c < 0x20 && c != u'\t') || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
    };
    if (std::none_of(text.cbegin(), text.cend(), [&](QChar c) { return special(c.unicode()); })) {
        return text;
    }
    QString result;
    result.reserve(text.size() + 16);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (!special(c)) {
            result += qc;
        } else if (c == u'\n') {
            result += QLatin1String("\\n");
        } else if (c == u'\r') {
            result += QLatin1String("\\r");
        } else {
            char escape[8];
            if (c <= 0x7f) {
                std::snprintf(escape, sizeof(escape), "\\x%02x", unsigned(c));
            } else {
                std::snprintf(escape, sizeof(escape), "\\u%04x", unsigned(c));
            }
            result += QLatin1StringView(escape);
        }
    }
    return result;
}
