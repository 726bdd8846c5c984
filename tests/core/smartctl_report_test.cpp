// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_services.h"

#include "core/smart_status.h"
#include "core/smartctl_report.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// A recorded drive: header lines (model, firmware, health, kind), "---", then
// the table exactly as smartctl printed it.
struct RecordedDrive {
    QString file;
    QString model;
    QString firmware;
    bool failed = false;
    bool nvme = false;
    QString body;
};

QList<RecordedDrive> recordedDrives() {
    QList<RecordedDrive> drives;
    const QDir dir(QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/smartctl"));
    for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString text = QString::fromUtf8(file.readAll());
        const qsizetype split = text.indexOf(QStringLiteral("\n---\n"));
        RecordedDrive drive;
        drive.file = name;
        drive.body = text.mid(split + 5);
        for (const QString& line : text.left(split).split(QLatin1Char('\n'))) {
            const QString value = line.section(QLatin1Char(':'), 1).trimmed();
            if (line.startsWith(QLatin1String("model:"))) {
                drive.model = value;
            } else if (line.startsWith(QLatin1String("firmware:"))) {
                drive.firmware = value;
            } else if (line.startsWith(QLatin1String("health:"))) {
                drive.failed = value.startsWith(QLatin1String("FAILED"));
            } else if (line.startsWith(QLatin1String("kind:"))) {
                drive.nvme = value == QLatin1String("nvme");
            }
        }
        drives.append(drive);
    }
    return drives;
}

// smartctl's attribute lines, found independently of the parser: id, name, hex flag.
QMap<int, int> valuesByRegex(const QString& body) {
    static const QRegularExpression line(
        QStringLiteral(R"(^\s*(\d+)\s+\S+\s+0x[0-9a-fA-F]{4}\s+(\d+)\s)"),
        QRegularExpression::MultilineOption);
    QMap<int, int> values;
    for (auto it = line.globalMatch(body); it.hasNext();) {
        const auto m = it.next();
        values.insert(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return values;
}

qint64 nvmeField(const QString& body, const QString& key) {
    const QRegularExpression re(QStringLiteral("^%1:\\s+(0x)?([0-9a-fA-F,]+)").arg(key),
                                QRegularExpression::MultilineOption);
    const auto m = re.match(body);
    QString digits = m.captured(2);
    digits.remove(QLatin1Char(','));
    return digits.toLongLong(nullptr, m.captured(1).isEmpty() ? 10 : 16);
}

}  // namespace

TEST(SmartctlReport, EveryRecordedDriveParsesAndEvaluates) {
    const QList<RecordedDrive> drives = recordedDrives();
    ASSERT_EQ(drives.size(), 102);
    EvaluationHarness h;
    for (const RecordedDrive& drive : drives) {
        SCOPED_TRACE(drive.file.toStdString());
        const SmartctlReport report = parseSmartctlReport(drive.body);
        if (drive.nvme) {
            ASSERT_TRUE(report.hasNvmeHealth);
            EXPECT_EQ(report.attributes.size(), 15u);
            const auto current = [&report](int id) {
                return AttributeRecord::read64(report.attributes.at(id).currentValue);
            };
            EXPECT_EQ(current(900), nvmeField(drive.body, QStringLiteral("Critical Warning")));
            EXPECT_EQ(current(902), nvmeField(drive.body, QStringLiteral("Available Spare")));
            EXPECT_EQ(current(903),
                      nvmeField(drive.body, QStringLiteral("Available Spare Threshold")));
            EXPECT_EQ(current(904), nvmeField(drive.body, QStringLiteral("Percentage Used")));
            EXPECT_EQ(current(911), nvmeField(drive.body, QStringLiteral("Power On Hours")));
            EXPECT_EQ(report.protocol, QStringLiteral("NVMe"));
        } else {
            const QMap<int, int> expected = valuesByRegex(drive.body);
            ASSERT_FALSE(expected.isEmpty());
            EXPECT_EQ(report.attributes.size(), std::size_t(expected.size()));
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                ASSERT_EQ(report.attributes.count(it.key()), 1u) << "id " << it.key();
                EXPECT_EQ(AttributeRecord::read32(report.attributes.at(it.key()).currentValue),
                          it.value());
            }
        }

        const std::uint8_t status =
            drive.failed ? std::uint8_t(SMARTStatusFailing) : report.smartStatus();
        auto ssd = h.check(status, ssdDescription(drive.model, drive.firmware), report.attributes);
        if (drive.failed) {
            EXPECT_EQ(ssd->healthPercentage(), 0);
        } else {
            EXPECT_TRUE(ssd->healthPercentage() == kHealthUnknown ||
                        (ssd->healthPercentage() >= 0 && ssd->healthPercentage() <= 100))
                << ssd->healthPercentage();
        }
    }
}

TEST(SmartctlReport, HandCheckedDrives) {
    EvaluationHarness h;
    const QList<RecordedDrive> drives = recordedDrives();
    const auto evaluate = [&](const char* prefix) {
        for (const RecordedDrive& drive : drives) {
            if (drive.file.startsWith(QLatin1String(prefix))) {
                const SmartctlReport report = parseSmartctlReport(drive.body);
                return h.check(report.smartStatus(), ssdDescription(drive.model, drive.firmware),
                               report.attributes);
            }
        }
        ADD_FAILURE() << prefix;
        return std::unique_ptr<SSD>();
    };
    // Samsung MZ7TD: 233 at 199 against the model's maximum of 200.
    EXPECT_EQ(evaluate("009-")->status(),
              QStringLiteral("99% (Media_Wearout_Indicator: 199 [threshold: 0])"));
    // NVMe with 1% used.
    EXPECT_EQ(evaluate("086-")->status(),
              QStringLiteral("99% (Media_Wearout_Indicator: 99 [threshold: 0])"));
    // NVMe critical warning 0x02: failing, as the drive reader decides.
    auto intel = evaluate("081-");
    EXPECT_EQ(intel->smartStatus(), SMARTStatusFailing);
    EXPECT_EQ(intel->status(), QStringLiteral("0% (S.M.A.R.T. status FAILING!)"));
}

TEST(SmartctlReport, ReadsAFullReportButOnlyItsAttributeSection) {
    const SmartctlReport report = parseSmartctlReport(
        u"smartctl 7.3 2022-02-28 r5338 [x86_64-linux-6.1.0-13-amd64] (local build)\r\n"
        "=== START OF INFORMATION SECTION ===\r\n"
        "Device Model:     Samsung SSD 850 EVO 500GB\r\n"
        "Firmware Version: EMT02B6Q\r\n"
        "Rotation Rate:    Solid State Device\r\n"
        "SATA Version is:  SATA 3.1, 6.0 Gb/s (current: 6.0 Gb/s)\r\n"
        "SMART overall-health self-assessment test result: FAILED!\r\n"
        "ID# ATTRIBUTE_NAME          FLAG     VALUE WORST THRESH TYPE      UPDATED  WHEN_FAILED "
        "RAW_VALUE\r\n"
        "  5 Reallocated_Sector_Ct   0x0033   100   100   010    Pre-fail  Always       -       "
        "0\r\n"
        "177 Wear_Leveling_Count     0x0013   095   095   000    Pre-fail  Always       -       "
        "52\r\n"
        "\r\n"
        "Error 1 occurred at disk power-on lifetime: 1234 hours\r\n"
        "  84 51 08 f8 01 00 e0  Error: ICRC, ABRT 8 sectors at LBA = 0x000001f8 = 504 x\r\n"
        "  25 00 08 f8 01 00 e0 08  14d+04:16:44.161  READ DMA EXT x x\r\n");
    EXPECT_EQ(report.model, QStringLiteral("Samsung SSD 850 EVO 500GB"));
    EXPECT_EQ(report.revision, QStringLiteral("EMT02B6Q"));
    EXPECT_EQ(report.protocol, QStringLiteral("SATA"));
    EXPECT_EQ(report.solidState, std::optional<bool>(true));
    EXPECT_EQ(report.smartStatus(), SMARTStatusFailing);
    ASSERT_EQ(report.attributes.size(), 2u);
    EXPECT_EQ(AttributeRecord::read32(report.attributes.at(177).currentValue), 95);

    const SmartctlReport disk = parseSmartctlReport(u"Rotation Rate:    7200 rpm\n");
    EXPECT_EQ(disk.solidState, std::optional<bool>(false));
    EXPECT_EQ(disk.smartStatus(), SMARTStatusVerified);
    EXPECT_TRUE(disk.attributes.empty());
}

TEST(SmartctlReport, NvmeFieldsAsTheDriveReaderStoresThem) {
    const SmartctlReport report = parseSmartctlReport(
        u"Model Number:                       WD Blue SN570 250GB\n"
        "Critical Warning:                   0x00\n"
        "Temperature:                        -273 Celsius\n"
        "Available Spare:                    300%\n"
        "Percentage Used:                    255%\n"
        "Data Units Read:                    36,893,488,147,419,103,237 [18.8 ZB]\n"
        "Data Units Written:                 18,446,744,073,709,551,615\n"
        "Error Information Log Entries:      garbage\n");
    ASSERT_TRUE(report.hasNvmeHealth);
    const auto current = [&report](int id) {
        return report.attributes.at(id).currentValue.value();
    };
    EXPECT_EQ(current(901).toUInt64(), 65263u);  // 0 K, as an unreported temperature reads
    EXPECT_EQ(current(902).toUInt64(), 255u);    // a byte field saturates
    EXPECT_EQ(current(904).toUInt64(), 255u);
    EXPECT_EQ(current(905).toUInt64(), 5u);  // 2^65 + 5: only the low 64 bits
    EXPECT_EQ(current(906).toUInt64(), 18446744073709551615ULL);
    EXPECT_TRUE(current(906).isUnsigned());
    EXPECT_EQ(current(914).toUInt64(), 0u);
    EXPECT_EQ(report.model, QStringLiteral("WD Blue SN570 250GB"));

    const SmartctlReport warm =
        parseSmartctlReport(u"Temperature: 300 Celsius\nCritical Warning: 0x04\n");
    EXPECT_EQ(warm.attributes.at(901).currentValue->toUInt64(), 300u);
    EXPECT_EQ(warm.smartStatus(), SMARTStatusFailing);
}
