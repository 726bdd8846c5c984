// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"

#include <array>
#include <cstdint>

// The fields of the NVMe SMART / Health Information log (log page 0x02) that
// become the pseudo-attributes 900..914.
struct NvmeHealthLog {
    std::uint8_t criticalWarning = 0;
    std::uint16_t compositeTemperatureKelvin = 0;
    std::uint8_t availableSpare = 0;
    std::uint8_t availableSpareThreshold = 0;
    std::uint8_t percentageUsed = 0;
    // Low 64 bits of the 128-bit counters, in log order: data units read and
    // written, host read and write commands, controller busy time, power
    // cycles, power-on hours, unsafe shutdowns, media errors, error log entries.
    std::array<std::uint64_t, 10> counters{};
};

inline constexpr int kNvmeFirstPseudoId = 900;
inline constexpr int kNvmeLastPseudoId = 914;

// All fifteen pseudo-attributes, whatever their values: each record holds
// "currentValue" and "isOnline" = 1, and 902 also the spare threshold.
AttributeTable nvmeHealthAttributes(const NvmeHealthLog& log);
