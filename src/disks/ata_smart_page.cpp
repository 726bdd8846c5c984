// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/ata_smart_page.h"

#include <numeric>

namespace {

constexpr std::size_t kEntryCount = 30;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kFirstEntry = 2;

std::span<const std::uint8_t, kEntrySize> entry(std::span<const std::uint8_t, kSmartPageSize> page,
                                                std::size_t i) {
    return page.subspan(kFirstEntry + kEntrySize * i).first<kEntrySize>();
}

}  // namespace

bool ataChecksumValid(std::span<const std::uint8_t, kSmartPageSize> page) {
    return std::accumulate(page.begin(), page.end(), 0u) % 256 == 0;
}

std::uint64_t ataRaw48(std::span<const std::uint8_t, 6> bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

AttributeTable ataAttributes(std::span<const std::uint8_t, kSmartPageSize> data,
                             std::span<const std::uint8_t, kSmartPageSize> thresholds) {
    const auto u = [](std::uint64_t v) { return AttributeNumber::fromUnsigned(v); };
    AttributeTable table;
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        const auto e = entry(data, i);
        const std::uint8_t id = e[0];
        if (id == 0) {
            continue;
        }
        const auto t = entry(thresholds, i);
        const unsigned flags = unsigned(e[1]) | unsigned(e[2]) << 8;
        AttributeRecord record;
        record.currentValue = u(e[3]);
        record.worstValue = u(e[4]);
        record.rawValue = u(ataRaw48(e.subspan<5, 6>()));
        record.threshold = u(t[0] == id ? t[1] : 0);
        record.isPrefail = AttributeNumber::fromSigned(flags & 1u);
        record.isOnline = AttributeNumber::fromSigned((flags >> 1) & 1u);
        // A later entry with the same id replaces an earlier one.
        table[id] = record;
    }
    return table;
}
