// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/wording.h"

#include "ext/text.h"

QString worded(const QString& english, Wording wording) {
    return wording == Wording::Shown ? localized(english) : english;
}
