// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <QtGlobal>

// Numbers read from the start of a text the way the settings and the
// information file have always been read: leading blanks, an optional sign,
// then as many digits as there are; "12a" is 12, "abc" is 0. Values beyond the
// type's range saturate instead of wrapping.
namespace numeric_text {

qint64 leadingInt64(QStringView text);
qint32 leadingInt32(QStringView text);
// Also takes a fraction and an exponent ("1.5e3x" is 1500); 0 when none.
double leadingDouble(QStringView text);

}  // namespace numeric_text
