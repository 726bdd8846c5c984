// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>

// Which stored value types count as numbers (booleans are numbers, as in a
// property list).
inline bool isIntegerType(int type) {
    switch (type) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

inline bool isNumberType(int type) {
    return isIntegerType(type) || type == QMetaType::Double || type == QMetaType::Float;
}
