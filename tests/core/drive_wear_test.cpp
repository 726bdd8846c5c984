// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drive_wear.h"

#include <gtest/gtest.h>

namespace {

AttributeRecord current(quint64 value) {
    AttributeRecord r;
    r.currentValue = AttributeNumber::fromUnsigned(value);
    r.isOnline = AttributeNumber::fromSigned(1);
    return r;
}

AttributeRecord raw(quint64 value) {
    AttributeRecord r;
    r.currentValue = AttributeNumber::fromUnsigned(100);
    r.rawValue = AttributeNumber::fromUnsigned(value);
    return r;
}

TEST(DriveWear, NvmeFiguresAndTheLine) {
    // 48.2 TB = 94,140,625 units of 512,000 bytes.
    const AttributeTable nvme{
        {901, current(35)}, {904, current(12)}, {906, current(94140625)}, {911, current(21340)}};
    const DriveWear wear = driveWear(nvme, std::nullopt, QStringLiteral("WD Blue SN570"));
    EXPECT_EQ(wear.percentageUsed, 12);
    EXPECT_EQ(wear.bytesWritten, 48200000000000u);
    EXPECT_EQ(wear.powerOnHours, 21340u);
    EXPECT_EQ(wear.temperature, 35);
    EXPECT_EQ(wearLine(wear),
              QStringLiteral("own wear indicator: 12 % used · 48.2 TB written · 21,340 h"));

    // A controller without a sensor reports 0 K, which wraps to 65263.
    const AttributeTable noSensor{{901, current(65263)}, {904, current(0)}};
    EXPECT_FALSE(driveWear(noSensor, std::nullopt, {}).temperature);
    // A counter near 2^64 saturates instead of wrapping to a small figure.
    const AttributeTable huge{{904, current(1)}, {906, current(UINT64_MAX / 1000)}};
    EXPECT_EQ(driveWear(huge, std::nullopt, {}).bytesWritten, UINT64_MAX);
}

TEST(DriveWear, AtaFromDeviceStatisticsElseOnlyUnambiguousAttributes) {
    const AttributeTable attributes{{9, raw(999)}, {194, raw(0x2D00230029)}, {241, raw(1000)}};
    DeviceStatistics stats;
    stats.percentageUsed = 8;
    stats.logicalSectorsWritten = 3482676599;
    stats.powerOnHours = 15617;
    const DriveWear fromLog = driveWear(attributes, stats, QStringLiteral("INTEL SSDSC2KW512G8"));
    EXPECT_EQ(fromLog.percentageUsed, 8);
    EXPECT_EQ(fromLog.bytesWritten, std::uint64_t(3482676599) * 512);
    EXPECT_EQ(fromLog.powerOnHours, 15617u);
    EXPECT_EQ(fromLog.temperature, 0x29);  // the low byte of 194
    EXPECT_EQ(wearLine(fromLog),
              QStringLiteral("own wear indicator: 8 % used · 1.8 TB written · 15,617 h"));

    // Without the log: 241 counts sectors on Samsung's SATA SSDs only.
    const DriveWear samsung =
        driveWear(attributes, std::nullopt, QStringLiteral("Samsung SSD 860 EVO 1TB"));
    EXPECT_EQ(samsung.bytesWritten, 512000u);
    EXPECT_FALSE(samsung.percentageUsed);
    EXPECT_FALSE(driveWear(attributes, std::nullopt, QStringLiteral("INTEL SSDSC2BB080G4"))
                     .bytesWritten);  // 32 MiB units there
    EXPECT_FALSE(driveWear(attributes, std::nullopt, QStringLiteral("KINGSTON SV300S37A120G"))
                     .bytesWritten);  // GiB there
    EXPECT_TRUE(wearLine(DriveWear{}).isEmpty());
}

TEST(DriveWear, DisagreementNoteFromTwentyPoints) {
    DriveWear wear;
    wear.percentageUsed = 1;  // 99 % life left
    EXPECT_EQ(wearDisagreement(wear, 79),
              QStringLiteral("the drive's own indicator differs: 99 % life left"));
    EXPECT_TRUE(wearDisagreement(wear, 80).isEmpty());
    EXPECT_TRUE(wearDisagreement(wear, 100).isEmpty());
    wear.percentageUsed = 96;  // 4 % left, health 100: the other direction
    EXPECT_FALSE(wearDisagreement(wear, 100).isEmpty());
    // No health (255) and no figure give no note; past its rated life is 0 % left.
    EXPECT_TRUE(wearDisagreement(wear, 255).isEmpty());
    EXPECT_TRUE(wearDisagreement(DriveWear{}, 10).isEmpty());
    wear.percentageUsed = 140;
    EXPECT_EQ(wearDisagreement(wear, 30),
              QStringLiteral("the drive's own indicator differs: 0 % life left"));
    EXPECT_TRUE(wearDisagreement(wear, 19).isEmpty());
}

TEST(DriveWear, ByteCounts) {
    EXPECT_EQ(byteCountText(999), QStringLiteral("999 B"));
    EXPECT_EQ(byteCountText(512000), QStringLiteral("512.0 kB"));
    EXPECT_EQ(byteCountText(48200000000000), QStringLiteral("48.2 TB"));
    EXPECT_EQ(byteCountText(UINT64_MAX), QStringLiteral("18446.7 PB"));
}

}  // namespace

#include "core/device_statistics_text.h"

#include <QJsonDocument>

namespace {

// `smartctl -l devstat` of an Intel SATA SSD (smartctl 7.0), as published in
// a blog post on smartctl; then the SATA Phy section that follows it in -x.
const char* const kIntelDevstat = R"(Device Statistics (GP Log 0x04)
Page  Offset Size        Value Flags Description
0x01  =====  =               =  ===  == General Statistics (rev 1) ==
0x01  0x008  4              26  ---  Lifetime Power-On Resets
0x01  0x010  4           15617  ---  Power-on Hours
0x01  0x018  6      3482676599  ---  Logical Sectors Written
0x01  0x020  6        71733219  ---  Number of Write Commands
0x01  0x028  6      2754401909  ---  Logical Sectors Read
0x01  0x030  6        16315927  ---  Number of Read Commands
0x07  =====  =               =  ===  == Solid State Device Statistics (rev 1) ==
0x07  0x008  1               8  ---  Percentage Used Endurance Indicator
                                |||_ C monitored condition met
                                ||__ D supports DSN
                                |___ N normalized value

SATA Phy Event Counters (GP Log 0x11)
ID      Size     Value  Description
0x0001  2            0  Command failed due to ICRC error
)";

TEST(DeviceStatisticsText, SmartctlSevenLayout) {
    const auto stats = parseDeviceStatisticsText(QString::fromUtf8(kIntelDevstat));
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->powerOnHours, 15617u);
    EXPECT_EQ(stats->logicalSectorsWritten, 3482676599u);
    EXPECT_EQ(stats->percentageUsed, 8);
    EXPECT_FALSE(stats->temperature);
    // Windows line ends change nothing.
    QString crlf = QString::fromUtf8(kIntelDevstat);
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    EXPECT_EQ(parseDeviceStatisticsText(crlf), stats);
}

TEST(DeviceStatisticsText, SmartctlSixLayoutNormalizedAndInvalidValues) {
    // smartctl 6.x: decimal page, no flags column, "~" marks a normalized
    // value; "-" is a value the drive does not vouch for.
    const QString text = QStringLiteral(
        "Device Statistics (GP Log 0x04)\n"
        "Page Offset Size         Value  Description\n"
        "  1  =====  =                =  == General Statistics (rev 2) ==\n"
        "  1  0x010  4                -  Power-on Hours\n"
        "  1  0x018  6        265163161  Logical Sectors Written\n"
        "  5  0x008  1               55  Current Temperature\n"
        "  7  =====  =                =  == Solid State Device Statistics (rev 1) ==\n"
        "  7  0x008  1                1~ Percentage Used Endurance Indicator\n");
    const auto stats = parseDeviceStatisticsText(text);
    ASSERT_TRUE(stats);
    EXPECT_FALSE(stats->powerOnHours);
    EXPECT_EQ(stats->logicalSectorsWritten, 265163161u);
    EXPECT_EQ(stats->temperature, 55);
    EXPECT_EQ(stats->percentageUsed, 1);
}

TEST(DeviceStatisticsText, OnlyInsideTheSectionAndNothingMalformed) {
    // The same rows outside a Device Statistics section are no statistics.
    EXPECT_FALSE(parseDeviceStatisticsText(
        QStringLiteral("0x07  0x008  1               8  ---  Percentage Used\n")));
    EXPECT_FALSE(parseDeviceStatisticsText(QStringLiteral(
        "Device Statistics (GP Log 0x04)\n0x07  0x008  1  99999999999999999999999  ---  x\n"
        "0x07  0x008  1  300  ---  Percentage Used Endurance Indicator\n"
        "0x7  0x8  1  5  ---  short fields\n0x07 0x008\n\n")));
    EXPECT_FALSE(parseDeviceStatisticsText(QString()));
    EXPECT_FALSE(parseDeviceStatisticsText(QStringLiteral("Device Statistics (GP Log 0x04)")));
}

TEST(DeviceStatisticsText, SmartctlJson) {
    const QJsonObject json = QJsonDocument::fromJson(R"({"ata_device_statistics": {"pages": [
        {"number": 1, "table": [
            {"offset": 16, "value": 21340, "flags": {"valid": true}},
            {"offset": 24, "value": 94140625, "flags": {"valid": false}}]},
        {"number": 7, "table": [{"offset": 8, "value": 12, "flags": {"valid": true}}]},
        {"number": "7", "table": {"offset": 8}}
    ]}})")
                                 .object();
    const auto stats = parseDeviceStatisticsJson(json);
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->powerOnHours, 21340u);
    EXPECT_FALSE(stats->logicalSectorsWritten);
    EXPECT_EQ(stats->percentageUsed, 12);
    EXPECT_FALSE(parseDeviceStatisticsJson(QJsonObject{}));
}

}  // namespace
