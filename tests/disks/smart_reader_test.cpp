// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/smart_reader.h"
#include "core/smart_status.h"
#include "fake_smart_access.h"
#include "page_builders.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

class SmartReaderTest : public ::testing::Test {
  protected:
    FakeSmartAccess access;
    SingleDiskResolver names{"sda"};
    RecordingLogger log;
    milliseconds waited{0};
    int pauses = 0;
    SmartReader reader{access, names, log, [this](milliseconds d) {
                           waited += d;
                           ++pauses;
                       }};

    void useGoodAtaPages() {
        access.data.page = dataPage({{0, {.id = 5, .flags = 3, .current = 100, .raw = 2}},
                                     {1, {.id = 9, .flags = 2, .current = 99, .raw = 1000}}});
        access.thresholds.page = thresholdsPage({{0, {5, 36}}, {1, {9, 0}}});
    }
};

TEST_F(SmartReaderTest, NotRespondingThreeTimesThenAnswersOnce) {
    access.statusAnswers = {{kIOReturnNotResponding},
                            {kIOReturnNotResponding},
                            {kIOReturnNotResponding},
                            {kIOReturnSuccess, true, false}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusVerified);
    EXPECT_EQ(access.statusCalls, 4);
    EXPECT_EQ(waited, milliseconds(300));
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(SmartReaderTest, GivesUpAfterFiftyRetries) {
    access.statusAnswers = {{kIOReturnNotResponding}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusUnknown);
    EXPECT_EQ(access.statusCalls, 51);
    EXPECT_EQ(waited, milliseconds(5000));
}

TEST_F(SmartReaderTest, VerifiedWithAnErrorIsDowngradedAndLogged) {
    struct AnyDiskIsSda final : DiskNameResolver {
        std::optional<std::string> kernelName(int) override { return "sda"; }
    } anyDisk;
    SmartReader r(access, anyDisk, log, [](milliseconds) {});
    access.statusAnswers = {{kIOReturnError, true, false}};
    EXPECT_EQ(r.getDiskSMARTStatus(7), SMARTStatusUnknown);
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_EQ(log.levels.front(), 3);
    EXPECT_EQ(log.lines.front(),
              QStringLiteral("Error: S.M.A.R.T. check downgraded result for disk7 from VERIFIED "
                             "to UNKNOWN because some error(-536870212) occurred."));
}

TEST_F(SmartReaderTest, StatusCodes) {
    access.statusAnswers = {{kIOReturnSuccess, true, true}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusFailing);
    // A failing verdict that came with an error still says failing.
    access.statusAnswers = {{kIOReturnError, true, true}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusFailing);
    access.statusAnswers = {{kIOReturnNotPrivileged, false, false}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusUnknown);
    access.statusAnswers = {{kIOReturnNoResources, false, false}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusNotCapable);
    EXPECT_EQ(reader.getDiskSMARTStatus(1), SMARTStatusNotCapable);  // no such disk
    access.protocol = SmartProtocol::None;
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusNotCapable);
    EXPECT_FALSE(reader.getDiskSMARTAttributes(0));
    EXPECT_FALSE(reader.getDiskSMARTAttributes(1));
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(SmartReaderTest, NvmeStatusFromCriticalWarning) {
    access.protocol = SmartProtocol::Nvme;
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusVerified);
    PageAnswer warning{kIOReturnSuccess, {}};
    warning.page[0] = 0x04;
    access.nvmeAnswers = {{kIOReturnNotResponding}, warning};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusFailing);
    EXPECT_EQ(pauses, 1);
    access.nvmeAnswers = {{kIOReturnError}};
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusUnknown);
    EXPECT_FALSE(reader.getDiskSMARTAttributes(0));
}

TEST_F(SmartReaderTest, AtaAttributesNeedBothChecksums) {
    useGoodAtaPages();
    const auto table = reader.getDiskSMARTAttributes(0);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 2u);
    EXPECT_EQ(table->at(5).threshold->toUInt64(), 36u);

    access.data.page[100] ^= 0xFF;
    EXPECT_EQ(reader.getDiskSMARTStatus(0), SMARTStatusVerified);
    EXPECT_FALSE(reader.getDiskSMARTAttributes(0));

    useGoodAtaPages();
    access.thresholds.page[3] ^= 0x01;
    EXPECT_FALSE(reader.getDiskSMARTAttributes(0));
}

TEST_F(SmartReaderTest, FailedReadsGiveNoTableAndAreNotRetried) {
    useGoodAtaPages();
    access.data.result = kIOReturnNotResponding;
    EXPECT_FALSE(reader.getDiskSMARTAttributes(0));
    EXPECT_EQ(access.dataCalls, 1);
    EXPECT_EQ(pauses, 0);

    useGoodAtaPages();
    access.data.result = kIOReturnSuccess;
    access.thresholds.result = kIOReturnError;
    EXPECT_FALSE(reader.getDiskSMARTAttributes(0));
}

TEST_F(SmartReaderTest, NvmeAttributes) {
    access.protocol = SmartProtocol::Nvme;
    const auto table = reader.getDiskSMARTAttributes(0);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 15u);
    EXPECT_EQ(table->begin()->first, 900);
    EXPECT_EQ(table->rbegin()->first, 914);
}

// A Device Statistics page as a drive answers it: header and quadwords with
// bit 63 (supported) and bit 62 (valid).
SmartPage statisticsPage(std::uint8_t number,
                         std::initializer_list<std::pair<int, std::uint64_t>> s) {
    SmartPage page{};
    page[0] = 1;
    page[2] = number;
    for (const auto& [offset, value] : s) {
        const std::uint64_t q = value | std::uint64_t(3) << 62;
        for (int i = 0; i < 8; ++i) {
            page[std::size_t(offset + i)] = std::uint8_t(q >> (8 * i));
        }
    }
    return page;
}

SmartPage directory(std::initializer_list<std::uint8_t> pages) {
    SmartPage page = statisticsPage(0, {});
    page[8] = std::uint8_t(pages.size());
    std::size_t at = 9;
    for (const std::uint8_t p : pages) {
        page[at++] = p;
    }
    return page;
}

TEST_F(SmartReaderTest, DeviceStatisticsReadOnlyThePagesTheDirectoryLists) {
    access.statistics[0] = {kIOReturnSuccess, directory({0, 1, 7})};
    access.statistics[1] = {kIOReturnSuccess,
                            statisticsPage(1, {{0x10, 15617}, {0x18, 3482676599}})};
    access.statistics[5] = {kIOReturnSuccess, statisticsPage(5, {{0x08, 40}})};
    access.statistics[7] = {kIOReturnSuccess, statisticsPage(7, {{0x08, 8}})};
    const std::optional<DeviceStatistics> stats = reader.getDiskDeviceStatistics(0);
    ASSERT_TRUE(stats);
    EXPECT_EQ(access.statisticsAsked, (std::vector<std::uint8_t>{0, 1, 7}));
    EXPECT_EQ(stats->percentageUsed, 8);
    EXPECT_EQ(stats->powerOnHours, 15617u);
    EXPECT_FALSE(stats->temperature);  // page 5 exists but is not listed
}

TEST_F(SmartReaderTest, DeviceStatisticsWithoutPageSevenOrWithAPageMissing) {
    // A directory without page 7: page 7 is never asked for.
    access.statistics[0] = {kIOReturnSuccess, directory({0, 1, 5})};
    access.statistics[1] = {kIOReturnSuccess, statisticsPage(1, {{0x10, 100}})};
    access.statistics[7] = {kIOReturnSuccess, statisticsPage(7, {{0x08, 50}})};
    // Page 5 is listed but its read fails: the other figures still count.
    std::optional<DeviceStatistics> stats = reader.getDiskDeviceStatistics(0);
    ASSERT_TRUE(stats);
    EXPECT_EQ(access.statisticsAsked, (std::vector<std::uint8_t>{0, 1, 5}));
    EXPECT_FALSE(stats->percentageUsed);
    EXPECT_EQ(stats->powerOnHours, 100u);

    // No log (the directory read fails) and nothing vouched for: no figures.
    access.statistics.clear();
    EXPECT_FALSE(reader.getDiskDeviceStatistics(0));
    access.statistics[0] = {kIOReturnSuccess, directory({0, 7})};
    access.statistics[7] = {kIOReturnSuccess, statisticsPage(1, {{0x08, 5}})};  // wrong page
    EXPECT_FALSE(reader.getDiskDeviceStatistics(0));
}

TEST_F(SmartReaderTest, OnlyAtaDisksAreAskedTheirPowerModeOrStatistics) {
    access.power = {kIOReturnSuccess, 0x00};
    EXPECT_EQ(reader.getDiskPowerMode(0), PowerMode::Standby);
    access.protocol = SmartProtocol::Nvme;
    EXPECT_EQ(reader.getDiskPowerMode(0), PowerMode::Unknown);
    EXPECT_FALSE(reader.getDiskDeviceStatistics(0));
    EXPECT_EQ(access.powerCalls, 1);
    EXPECT_TRUE(access.statisticsAsked.empty());
}

}  // namespace
