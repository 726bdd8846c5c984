// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/nvme_health_page.h"

namespace {

template <std::size_t N>
std::uint64_t littleEndian(std::span<const std::uint8_t, N> bytes) {
    static_assert(N <= 8);
    std::uint64_t value = 0;
    for (std::size_t i = N; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

}  // namespace

NvmeHealthLog parseNvmeHealthLog(std::span<const std::uint8_t, kSmartPageSize> page) {
    NvmeHealthLog log;
    log.criticalWarning = page[0];
    log.compositeTemperatureKelvin = std::uint16_t(littleEndian(page.subspan<1, 2>()));
    log.availableSpare = page[3];
    log.availableSpareThreshold = page[4];
    log.percentageUsed = page[5];
    // The counters are 128-bit fields 16 bytes apart from offset 32; only the
    // low 64 bits are kept.
    for (std::size_t i = 0; i < log.counters.size(); ++i) {
        log.counters[i] = littleEndian(page.subspan(32 + 16 * i).first<8>());
    }
    return log;
}
