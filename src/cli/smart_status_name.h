// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/smart_status.h"

#include <QString>

// The S.M.A.R.T. status as the commands' text output names it.
inline QString smartStatusName(std::uint8_t status) {
    switch (status) {
        case SMARTStatusFailing:
            return QStringLiteral("failing");
        case SMARTStatusVerified:
            return QStringLiteral("verified");
        case SMARTStatusNotCapable:
            return QStringLiteral("not capable");
        default:
            return QStringLiteral("unknown");
    }
}
