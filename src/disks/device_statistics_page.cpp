// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/device_statistics_page.h"

#include <optional>

namespace {

constexpr std::uint64_t kSupported = std::uint64_t(1) << 63;
constexpr std::uint64_t kValid = std::uint64_t(1) << 62;
constexpr std::size_t kDirectoryCount = 8;
constexpr std::size_t kDirectoryFirst = 9;

std::uint64_t quadword(std::span<const std::uint8_t, kSmartPageSize> page, std::size_t offset) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        value |= std::uint64_t(page[offset + i]) << (8 * i);
    }
    return value;
}

// The statistic at `offset`, `width` bytes wide, when the drive vouches for it.
std::optional<std::uint64_t> statistic(std::span<const std::uint8_t, kSmartPageSize> page,
                                       std::size_t offset, unsigned width) {
    const std::uint64_t q = quadword(page, offset);
    if ((q & kSupported) == 0 || (q & kValid) == 0) {
        return std::nullopt;
    }
    return q & ((std::uint64_t(1) << (8 * width)) - 1);
}

// Revision 0 is no page at all (an unread or zeroed buffer).
bool headerNames(std::span<const std::uint8_t, kSmartPageSize> page, std::uint8_t number) {
    return (page[0] != 0 || page[1] != 0) && page[2] == number;
}

}  // namespace

std::vector<std::uint8_t> deviceStatisticsDirectory(
    std::span<const std::uint8_t, kSmartPageSize> page) {
    if (!headerNames(page, std::uint8_t(DeviceStatisticsPage::Directory))) {
        return {};
    }
    const std::size_t count =
        std::min<std::size_t>(page[kDirectoryCount], kSmartPageSize - kDirectoryFirst);
    return {page.begin() + kDirectoryFirst, page.begin() + std::ptrdiff_t(kDirectoryFirst + count)};
}

bool readDeviceStatisticsPage(std::span<const std::uint8_t, kSmartPageSize> page,
                              DeviceStatisticsPage expected, DeviceStatistics& into) {
    if (expected == DeviceStatisticsPage::Directory || !headerNames(page, std::uint8_t(expected))) {
        return false;
    }
    switch (expected) {
        case DeviceStatisticsPage::General:
            if (const auto hours = statistic(page, 0x10, 4)) {
                into.powerOnHours = *hours;
            }
            if (const auto sectors = statistic(page, 0x18, 6)) {
                into.logicalSectorsWritten = *sectors;
            }
            break;
        case DeviceStatisticsPage::Temperature:
            if (const auto celsius = statistic(page, 0x08, 1)) {
                // A signed byte; 0x80 means "no reading".
                if (*celsius != 0x80) {
                    into.temperature = int(std::int8_t(std::uint8_t(*celsius)));
                }
            }
            break;
        case DeviceStatisticsPage::SolidState:
            if (const auto used = statistic(page, 0x08, 1)) {
                into.percentageUsed = int(*used);
            }
            break;
        case DeviceStatisticsPage::Directory:
            break;
    }
    return true;
}
