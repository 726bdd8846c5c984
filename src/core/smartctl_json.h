// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/smartctl_report.h"

#include <QStringView>

#include <optional>

// Whether the text is a JSON object, as `smartctl --json` prints one.
bool looksLikeJson(QStringView text);

// What `smartctl --json` (`-j -a`, `-j -x`) says about a drive, in the form
// the text reports are read into: model, firmware, protocol, the overall
// health, the rotation rate, the ATA attribute table and the NVMe health log.
// Nothing when the text is not a JSON object. The NVMe pseudo-attributes are
// added by parseSmartctlReport, as for a text report.
std::optional<SmartctlReport> readSmartctlJson(QStringView text);
