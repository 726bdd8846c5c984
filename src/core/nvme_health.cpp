// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nvme_health.h"

namespace {

AttributeRecord pseudoAttribute(AttributeNumber value) {
    AttributeRecord record;
    record.currentValue = value;
    record.isOnline = AttributeNumber::fromSigned(1);
    return record;
}

}  // namespace

AttributeTable nvmeHealthAttributes(const NvmeHealthLog& log) {
    const auto u = [](quint64 v) { return AttributeNumber::fromUnsigned(v); };
    AttributeTable table;
    table[900] = pseudoAttribute(u(log.criticalWarning));
    // Kelvin to Celsius in 16-bit arithmetic: 0 K (not reported) wraps to 65263.
    table[901] = pseudoAttribute(u(std::uint16_t(log.compositeTemperatureKelvin - 273)));
    AttributeRecord spare = pseudoAttribute(u(log.availableSpare));
    spare.threshold = u(log.availableSpareThreshold);
    table[902] = spare;
    table[903] = pseudoAttribute(u(log.availableSpareThreshold));
    table[904] = pseudoAttribute(u(log.percentageUsed));
    for (std::size_t i = 0; i < log.counters.size(); ++i) {
        table[905 + int(i)] = pseudoAttribute(u(log.counters[i]));
    }
    return table;
}
