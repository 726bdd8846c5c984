// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <algorithm>
#include <span>

// Pads the labels of a field list to one width behind the indent, at least
// `least` and one blank past the longest, so the values after them line up
// whatever length the user's language gives the labels.
inline void alignLabels(std::span<QString> labels, qsizetype least, const QString& indent = {}) {
    qsizetype width = least;
    for (const QString& label : labels) {
        width = std::max(width, label.size() + 1);
    }
    for (QString& label : labels) {
        label = indent + label.leftJustified(width);
    }
}
