// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/drive_wear.h"
#include "disks/platform/smart_access.h"

#include <cstdint>
#include <span>
#include <vector>

// The pages of the ATA Device Statistics log (general purpose log 0x04, 512
// bytes each). Every page starts with a header quadword: revision in bytes
// 0-1, the page's own number in byte 2. Each statistic is a little-endian
// quadword: the value in its low bytes, bit 63 "supported", bit 62 "valid".
// Page 0 lists the pages the drive keeps: their count in byte 8, the page
// numbers from byte 9.

enum class DeviceStatisticsPage : std::uint8_t {
    Directory = 0x00,
    General = 0x01,
    Temperature = 0x05,
    SolidState = 0x07,
};

// The page numbers page 0 lists; empty when the page is not a directory.
std::vector<std::uint8_t> deviceStatisticsDirectory(
    std::span<const std::uint8_t, kSmartPageSize> page);

// Adds the figures of one page to `into`: power-on hours and logical sectors
// written (page 1), the current temperature (page 5), the percentage used
// endurance indicator (page 7). A page whose header names another page, or a
// statistic not both supported and valid, adds nothing. Returns whether the
// page was the one expected.
bool readDeviceStatisticsPage(std::span<const std::uint8_t, kSmartPageSize> page,
                              DeviceStatisticsPage expected, DeviceStatistics& into);
