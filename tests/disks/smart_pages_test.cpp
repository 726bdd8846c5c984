// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/ata_smart_page.h"
#include "disks/nvme_health_page.h"
#include "page_builders.h"

#include <gtest/gtest.h>

namespace {

std::uint64_t raw(const AttributeRecord& r) {
    return r.rawValue->toUInt64();
}

TEST(AtaSmartPage, ChecksumCoversAllBytes) {
    SmartPage page = dataPage({{0, {.id = 5, .current = 100}}});
    EXPECT_TRUE(ataChecksumValid(page));
    page[200] ^= 0x01;
    EXPECT_FALSE(ataChecksumValid(page));
    EXPECT_TRUE(ataChecksumValid(SmartPage{}));
}

TEST(AtaSmartPage, EntriesThresholdsAndRawValues) {
    const SmartPage data = dataPage({
        {0, {.id = 1, .flags = 0x000F, .current = 100, .worst = 99, .raw = 0x060504030201}},
        {1, {.id = 0, .current = 55}},  // empty entry in the middle
        {2, {.id = 9, .flags = 0x0032, .current = 98, .worst = 97, .raw = 0xFFFFFFFFFFFF}},
        {29, {.id = 5, .flags = 0x0033, .current = 100, .worst = 100, .raw = 3}},
    });
    const SmartPage thresholds = thresholdsPage({
        {0, {1, 6}},
        {2, {12, 50}},  // another id at this position: no threshold for id 9
        {29, {5, 36}},
    });
    const AttributeTable table = ataAttributes(data, thresholds);

    ASSERT_EQ(table.size(), 3u);
    const AttributeRecord& r1 = table.at(1);
    EXPECT_EQ(raw(r1), 6618611909121u);
    EXPECT_EQ(r1.currentValue->toUInt64(), 100u);
    EXPECT_EQ(r1.worstValue->toUInt64(), 99u);
    EXPECT_EQ(r1.threshold->toUInt64(), 6u);
    EXPECT_EQ(r1.isPrefail->toInt32(), 1);
    EXPECT_EQ(r1.isOnline->toInt32(), 1);
    EXPECT_TRUE(r1.rawValue->isUnsigned());

    const AttributeRecord& r9 = table.at(9);
    EXPECT_EQ(raw(r9), 0xFFFFFFFFFFFFu);  // all six bytes, nothing beyond
    EXPECT_EQ(r9.threshold->toUInt64(), 0u);
    EXPECT_EQ(r9.isPrefail->toInt32(), 0);
    EXPECT_EQ(r9.isOnline->toInt32(), 1);

    EXPECT_EQ(table.at(5).threshold->toUInt64(), 36u);  // the last of the 30 entries
}

TEST(AtaSmartPage, LaterEntryWithSameIdReplacesEarlier) {
    const SmartPage data = dataPage({{3, {.id = 7, .current = 10}}, {4, {.id = 7, .current = 20}}});
    const AttributeTable table = ataAttributes(data, thresholdsPage({{4, {7, 5}}}));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.at(7).currentValue->toUInt64(), 20u);
    EXPECT_EQ(table.at(7).threshold->toUInt64(), 5u);
}

TEST(NvmeHealthPage, FieldsAndWidths) {
    SmartPage log{};
    log[0] = 0x04;
    log[1] = 0x2C;  // 300 K
    log[2] = 0x01;
    log[3] = 100;
    log[4] = 10;
    log[5] = 120;  // percentage used may exceed 100
    for (std::size_t i = 0; i < 16; ++i) {
        log[32 + i] = std::uint8_t(i + 1);  // data units read, upper half non-zero
    }
    log[176] = 7;  // error log entries
    const NvmeHealthLog parsed = parseNvmeHealthLog(log);
    EXPECT_EQ(parsed.criticalWarning, 4);
    EXPECT_EQ(parsed.compositeTemperatureKelvin, 300);
    EXPECT_EQ(parsed.counters[0], 0x0807060504030201u);
    EXPECT_EQ(parsed.counters[9], 7u);

    const AttributeTable table = nvmeHealthAttributes(parsed);
    EXPECT_EQ(table.size(), 15u);
    EXPECT_EQ(table.at(901).currentValue->toUInt64(), 27u);
    EXPECT_EQ(table.at(902).threshold->toUInt64(), 10u);
    EXPECT_EQ(table.at(904).currentValue->toUInt64(), 120u);
    EXPECT_EQ(table.at(905).currentValue->toUInt64(), 0x0807060504030201u);

    log[1] = 0;
    log[2] = 0;  // 0 K: not reported
    EXPECT_EQ(nvmeHealthAttributes(parseNvmeHealthLog(log)).at(901).currentValue->toUInt64(),
              65263u);
}

}  // namespace
