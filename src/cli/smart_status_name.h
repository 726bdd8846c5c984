// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/smart_status.h"

#include "ext/text.h"

#include <QString>

// The S.M.A.R.T. status as the commands' text output names it, in the
// user's language.
inline QString smartStatusName(std::uint8_t status) {
    switch (status) {
        case SMARTStatusFailing:
            return localized(QStringLiteral("failing"));
        case SMARTStatusVerified:
            return localized(QStringLiteral("verified"));
        case SMARTStatusNotCapable:
            return localized(QStringLiteral("not capable"));
        default:
            return localized(QStringLiteral("unknown"));
    }
}
