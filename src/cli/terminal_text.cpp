// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/terminal_text.h"

#include <algorithm>

namespace {

bool isControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

}  // namespace

QString terminalSafe(const QString& text) {
    if (std::none_of(text.cbegin(), text.cend(), isControl)) {
        return text;
    }
    QString safe;
    safe.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!isControl(c)) {
            safe += c;
            continue;
        }
        switch (c.unicode()) {
            case u'\n':
                safe += QLatin1StringView("\\n");
                break;
            case u'\r':
                safe += QLatin1StringView("\\r");
                break;
            case u'\t':
                safe += QLatin1StringView("\\t");
                break;
            default:
                safe += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return safe;
}
