// SPDX-License-Identifier: GPL-3.0-or-later
// The Device Statistics pages below are rebuilt from the values printed in
// published "Device Statistics (GP Log 0x04)" sections of smartctl output:
//   - an Intel SATA SSD, `smartctl -l devstat` (smartctl 7.0), in a blog post
//     on smartctl (pages 0x01 and 0x07 only);
//   - a LITEON CV1-8B128, `smartctl -x`, in the test data of a hardware
//     inventory tool (pages 0x01 to 0x07, 0x02 and 0x03 empty).
// smartctl prints only statistics flagged supported and valid, so those get
// both bits; the page headers carry the revisions printed.
#include "disks/device_statistics_page.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

namespace {

constexpr std::uint64_t kSupported = std::uint64_t(1) << 63;
constexpr std::uint64_t kValid = std::uint64_t(1) << 62;
constexpr std::uint64_t kShown = kSupported | kValid;

struct Stat {
    std::size_t offset;
    std::uint64_t value;
    std::uint64_t flags = kShown;
};

SmartPage statisticsPage(std::uint8_t number, std::uint16_t revision,
                         std::initializer_list<Stat> stats) {
    SmartPage page{};
    page[0] = std::uint8_t(revision);
    page[1] = std::uint8_t(revision >> 8);
    page[2] = number;
    for (const Stat& s : stats) {
        const std::uint64_t q = s.value | s.flags;
        for (std::size_t i = 0; i < 8; ++i) {
            page[s.offset + i] = std::uint8_t(q >> (8 * i));
        }
    }
    return page;
}

SmartPage directoryPage(std::initializer_list<std::uint8_t> pages) {
    SmartPage page = statisticsPage(0x00, 1, {});
    page[8] = std::uint8_t(pages.size());
    std::size_t at = 9;
    for (const std::uint8_t p : pages) {
        page[at++] = p;
    }
    return page;
}

// Intel SSD, smartctl -l devstat.
const SmartPage kIntelGeneral = statisticsPage(0x01, 1,
                                               {{0x08, 26},
                                                {0x10, 15617},
                                                {0x18, 3482676599},
                                                {0x20, 71733219},
                                                {0x28, 2754401909},
                                                {0x30, 16315927}});
const SmartPage kIntelSolidState = statisticsPage(0x07, 1, {{0x08, 8}});

// LITEON CV1-8B128, smartctl -x.
const SmartPage kLiteonGeneral = statisticsPage(0x01, 2,
                                                {{0x08, 1735},
                                                 {0x10, 5},
                                                 {0x18, 265163161},
                                                 {0x20, 40092297},
                                                 {0x28, 2064763423},
                                                 {0x30, 24539262}});
const SmartPage kLiteonTemperature = statisticsPage(0x05, 1, {{0x08, 55}});
const SmartPage kLiteonSolidState = statisticsPage(0x07, 1, {{0x08, 0}});

TEST(DeviceStatisticsPage, PublishedDrivesGiveTheirPrintedFigures) {
    EXPECT_EQ(deviceStatisticsDirectory(directoryPage({0, 1, 7})),
              (std::vector<std::uint8_t>{0, 1, 7}));

    DeviceStatistics intel;
    EXPECT_TRUE(readDeviceStatisticsPage(kIntelGeneral, DeviceStatisticsPage::General, intel));
    EXPECT_TRUE(
        readDeviceStatisticsPage(kIntelSolidState, DeviceStatisticsPage::SolidState, intel));
    EXPECT_EQ(intel.powerOnHours, 15617u);
    EXPECT_EQ(intel.logicalSectorsWritten, 3482676599u);
    EXPECT_EQ(intel.percentageUsed, 8);
    EXPECT_FALSE(intel.temperature);

    DeviceStatistics liteon;
    EXPECT_TRUE(readDeviceStatisticsPage(kLiteonGeneral, DeviceStatisticsPage::General, liteon));
    EXPECT_TRUE(
        readDeviceStatisticsPage(kLiteonTemperature, DeviceStatisticsPage::Temperature, liteon));
    EXPECT_TRUE(
        readDeviceStatisticsPage(kLiteonSolidState, DeviceStatisticsPage::SolidState, liteon));
    EXPECT_EQ(liteon.powerOnHours, 5u);
    EXPECT_EQ(liteon.logicalSectorsWritten, 265163161u);
    EXPECT_EQ(liteon.temperature, 55);
    EXPECT_EQ(liteon.percentageUsed, 0);  // a new drive's 0 is a figure, not "none"
}

TEST(DeviceStatisticsPage, OnlySupportedAndValidStatisticsCount) {
    DeviceStatistics stats;
    // Supported but not (yet) valid, valid without supported, and neither.
    readDeviceStatisticsPage(
        statisticsPage(0x01, 1,
                       {{0x10, 15617, kSupported}, {0x18, 3482676599, kValid}, {0x08, 26, 0}}),
        DeviceStatisticsPage::General, stats);
    readDeviceStatisticsPage(statisticsPage(0x07, 1, {{0x08, 8, kSupported}}),
                             DeviceStatisticsPage::SolidState, stats);
    EXPECT_TRUE(stats.empty());

    // The other flag bits (normalized, DSN, condition met) change nothing.
    const std::uint64_t normalizedAndMet = std::uint64_t(0x2C) << 56;
    readDeviceStatisticsPage(statisticsPage(0x07, 1, {{0x08, 2, kShown | normalizedAndMet}}),
                             DeviceStatisticsPage::SolidState, stats);
    EXPECT_EQ(stats.percentageUsed, 2);
}

TEST(DeviceStatisticsPage, ValuesAreMaskedToTheirWidth) {
    DeviceStatistics stats;
    // Stray bits between a field's width and the flag bits are not the value.
    readDeviceStatisticsPage(statisticsPage(0x01, 1,
                                            {{0x10, (std::uint64_t(0xAB) << 32) | 21340},
                                             {0x18, (std::uint64_t(0x12) << 48) | 0xFFFFFFFFFFFF}}),
                             DeviceStatisticsPage::General, stats);
    readDeviceStatisticsPage(statisticsPage(0x07, 1, {{0x08, 0x0178}}),
                             DeviceStatisticsPage::SolidState, stats);
    EXPECT_EQ(stats.powerOnHours, 21340u);
    EXPECT_EQ(stats.logicalSectorsWritten, 0xFFFFFFFFFFFFu);
    EXPECT_EQ(stats.percentageUsed, 0x78);  // 120: a drive past its rated life

    DeviceStatistics cold;
    readDeviceStatisticsPage(statisticsPage(0x05, 1, {{0x08, 0xF6}}),
                             DeviceStatisticsPage::Temperature, cold);
    EXPECT_EQ(cold.temperature, -10);
    DeviceStatistics noReading;
    readDeviceStatisticsPage(statisticsPage(0x05, 1, {{0x08, 0x80}}),
                             DeviceStatisticsPage::Temperature, noReading);
    EXPECT_FALSE(noReading.temperature);
}

TEST(DeviceStatisticsPage, DirectoryWithoutTheSolidStatePage) {
    // A hard disk's directory: general, rotating media, errors, temperature, transport.
    const std::vector<std::uint8_t> pages =
        deviceStatisticsDirectory(directoryPage({0, 1, 3, 4, 5, 6}));
    EXPECT_EQ(std::count(pages.begin(), pages.end(), 7), 0);
    EXPECT_EQ(pages.size(), 6u);
    // No log at all: a zeroed answer lists nothing.
    EXPECT_TRUE(deviceStatisticsDirectory(SmartPage{}).empty());
}

TEST(DeviceStatisticsPage, APageNamingAnotherPageIsRefused) {
    DeviceStatistics stats;
    // A drive that answers every page with page 1, and a zeroed buffer.
    EXPECT_FALSE(readDeviceStatisticsPage(kIntelGeneral, DeviceStatisticsPage::SolidState, stats));
    EXPECT_FALSE(readDeviceStatisticsPage(SmartPage{}, DeviceStatisticsPage::General, stats));
    EXPECT_FALSE(
        readDeviceStatisticsPage(directoryPage({0, 1}), DeviceStatisticsPage::Directory, stats));
    EXPECT_TRUE(stats.empty());
    // The directory read from a statistics page is no directory.
    EXPECT_TRUE(deviceStatisticsDirectory(kIntelSolidState).empty());
}

TEST(DeviceStatisticsPage, GarbagePagesStayInBounds) {
    SmartPage ones;
    ones.fill(0xFF);
    // Page number 0xFF, count 255: neither a directory nor a statistics page.
    EXPECT_TRUE(deviceStatisticsDirectory(ones).empty());
    ones[2] = 0x00;
    EXPECT_EQ(deviceStatisticsDirectory(ones).size(), 255u);  // the count, never past the page

    std::mt19937 random(18);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        SmartPage page;
        for (auto& b : page) {
            b = std::uint8_t(byte(random));
        }
        page[1] = 0;
        page[2] = std::uint8_t(round % 8);
        const std::vector<std::uint8_t> listed = deviceStatisticsDirectory(page);
        ASSERT_LE(listed.size(), 255u);
        DeviceStatistics stats;
        for (const auto expected :
             {DeviceStatisticsPage::General, DeviceStatisticsPage::Temperature,
              DeviceStatisticsPage::SolidState}) {
            readDeviceStatisticsPage(page, expected, stats);
        }
        if (stats.percentageUsed) {
            ASSERT_LE(*stats.percentageUsed, 255);
        }
        if (stats.powerOnHours) {
            ASSERT_LE(*stats.powerOnHours, 0xFFFFFFFFu);
        }
    }
}

}  // namespace
