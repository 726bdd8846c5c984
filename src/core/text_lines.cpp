// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text_lines.h"

#include <limits>

namespace text_lines {

qint32 leadingInt32(QStringView field) {
    qsizetype i = 0;
    while (i < field.size() && field[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
        negative = field[i] == u'-';
        ++i;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range.
    constexpr qint64 kLimit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * 10 + (field[i].unicode() - u'0');
        }
    }
    if (negative) {
        return magnitude >= kLimit ? std::numeric_limits<qint32>::min() : qint32(-magnitude);
    }
    return magnitude >= kLimit - 1 ? std::numeric_limits<qint32>::max() : qint32(magnitude);
}

}  // namespace text_lines
