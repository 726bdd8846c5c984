// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/smart_access.h"

#include <cstdint>

// Builds ATA S.M.A.R.T. pages entry by entry, as a drive lays them out.
struct AtaEntry {
    std::uint8_t id = 0;
    std::uint16_t flags = 0;
    std::uint8_t current = 0;
    std::uint8_t worst = 0;
    std::uint64_t raw = 0;
};

inline void setChecksum(SmartPage& page) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < page.size(); ++i) {
        sum += page[i];
    }
    page[511] = std::uint8_t(256 - sum % 256);
}

inline SmartPage dataPage(std::initializer_list<std::pair<std::size_t, AtaEntry>> entries) {
    SmartPage page{};
    page[0] = 0x10;
    for (const auto& [i, e] : entries) {
        const std::size_t at = 2 + 12 * i;
        page[at] = e.id;
        page[at + 1] = std::uint8_t(e.flags);
        page[at + 2] = std::uint8_t(e.flags >> 8);
        page[at + 3] = e.current;
        page[at + 4] = e.worst;
        for (std::size_t b = 0; b < 6; ++b) {
            page[at + 5 + b] = std::uint8_t(e.raw >> (8 * b));
        }
    }
    setChecksum(page);
    return page;
}

inline SmartPage thresholdsPage(
    std::initializer_list<std::pair<std::size_t, std::pair<std::uint8_t, std::uint8_t>>> entries) {
    SmartPage page{};
    page[0] = 0x10;
    for (const auto& [i, idAndThreshold] : entries) {
        page[2 + 12 * i] = idAndThreshold.first;
        page[2 + 12 * i + 1] = idAndThreshold.second;
    }
    setChecksum(page);
    return page;
}
