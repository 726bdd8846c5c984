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

namespace {

AttributeRecord briefRecord(qint64 value, qint64 worst, qint64 threshold, qint64 raw, bool prefail,
                            bool online) {
    AttributeRecord record;
    record.currentValue = AttributeNumber::fromSigned(value);
    record.worstValue = AttributeNumber::fromSigned(worst);
    record.threshold = AttributeNumber::fromSigned(threshold);
    record.rawValue = AttributeNumber::fromSigned(raw);
    record.isPrefail = AttributeNumber::fromSigned(prefail ? 1 : 0);
    record.isOnline = AttributeNumber::fromSigned(online ? 1 : 0);
    return record;
}

}  // namespace

TEST(SmartctlReport, BriefLayoutOfSmartctlX) {
    // The FLAGS letters give pre-fail and online; the legend below ends the table.
    const SmartctlReport report = parseSmartctlReport(
        u"Device Model:     SAMSUNG 470 Series SSD\n"
        u"ID# ATTRIBUTE_NAME          FLAGS    VALUE WORST THRESH FAIL RAW_VALUE\n"
        u"  9 Power_On_Hours          -O--CK   091   091   ---    -    44903\n"
        u"177 Wear_Leveling_Count     PO--C-   080   080   010    NOW  971\n"
        u"194 Temperature_Celsius     --S--K   075   052   000    -    25 (Min/Max 18/48)\n"
        u"                            ||||||_ K auto-keep\n"
        u"                            |______ P prefailure warning\n"
        u"  1 Raw_Read_Error_Rate     PO--CK   100   100   050    -    7\n");
    EXPECT_TRUE(report.hasAtaTable);
    EXPECT_EQ(report.attributes.size(), 3u);
    EXPECT_EQ(report.attributes.at(9), briefRecord(91, 91, 0, 44903, false, true));
    EXPECT_EQ(report.attributes.at(177), briefRecord(80, 80, 10, 971, true, true));
    EXPECT_EQ(report.attributes.at(194), briefRecord(75, 52, 0, 25, false, false));
    // A bare table in the brief layout, without smartctl's header.
    const SmartctlReport bare = parseSmartctlReport(
        u"177 Wear_Leveling_Count     PO--C-   080   080   010    -    971\n"
        u"178 Not_Flags               PX--C-   080   080   010    -    9\n");
    ASSERT_EQ(bare.attributes.size(), 1u);
    EXPECT_EQ(bare.attributes.at(177), briefRecord(80, 80, 10, 971, true, true));
}

TEST(SmartctlReport, JsonReportOfAnAtaDrive) {
    const SmartctlReport report = parseSmartctlReport(
        uR"j({
      "device": {"protocol": "ATA"}, "model_name": "CT500MX500SSD1",
      "firmware_version": "M3CR023", "rotation_rate": 0, "sata_version": {"string": "SATA 3.3"},
      "smart_status": {"passed": false},
      "ata_smart_attributes": {"table": [
        {"id": 202, "value": 96, "worst": 96, "thresh": 0, "flags": {"prefailure": false,
         "updated_online": true}, "raw": {"value": 4, "string": "4"}},
        {"id": 194, "value": 65, "worst": 45, "thresh": 0, "flags": {"prefailure": true,
         "updated_online": false}, "raw": {"value": 193275265059, "string": "35 (Min/Max 0/45)"}},
        {"id": 0, "value": 1}, {"id": 300, "value": 1}, "not an object",
        {"id": 5, "value": "100", "raw": {"value": 1e300}}
      ]}})j");
    EXPECT_EQ(report.model, QStringLiteral("CT500MX500SSD1"));
    EXPECT_EQ(report.revision, QStringLiteral("M3CR023"));
    EXPECT_EQ(report.protocol, QStringLiteral("SATA"));
    EXPECT_EQ(report.solidState, std::optional<bool>(true));
    EXPECT_TRUE(report.saysFailed);
    EXPECT_FALSE(report.hasNvmeHealth);
    ASSERT_EQ(report.attributes.size(), 3u);
    EXPECT_EQ(report.attributes.at(202), briefRecord(96, 96, 0, 4, false, true));
    // The printed raw value, as the text table gives it: not the packed bytes.
    EXPECT_EQ(report.attributes.at(194), briefRecord(65, 45, 0, 35, true, false));
    // Wrong types read as 0; a raw number past 32 bits saturates.
    EXPECT_EQ(report.attributes.at(5).currentValue, AttributeNumber::fromSigned(0));
    EXPECT_EQ(report.attributes.at(5).rawValue, AttributeNumber::fromSigned(2147483647));
}

TEST(SmartctlReport, JsonReportOfAnNvmeDrive) {
    const SmartctlReport report = parseSmartctlReport(
        uR"j(
      {"model_name": "Samsung SSD 980 PRO 1TB", "firmware_version": "5B2QGXA7",
       "smart_status": {"passed": true},
       "nvme_smart_health_information_log": {"critical_warning": 4, "temperature": 41,
        "available_spare": 100, "available_spare_threshold": 10, "percentage_used": 300,
        "data_units_read": 18000000, "data_units_written": -5, "power_on_hours": 9180,
        "num_err_log_entries": 1e30}})j");
    EXPECT_TRUE(report.hasNvmeHealth);
    EXPECT_EQ(report.protocol, QStringLiteral("NVMe"));
    EXPECT_EQ(report.nvme.criticalWarning, 4);
    EXPECT_EQ(report.nvme.compositeTemperatureKelvin, 314);
    EXPECT_EQ(report.nvme.percentageUsed, 255);
    EXPECT_EQ(report.nvme.counters[0], 18000000u);
    EXPECT_EQ(report.nvme.counters[1], 0u);
    EXPECT_EQ(report.nvme.counters[6], 9180u);
    EXPECT_EQ(report.nvme.counters[9], std::numeric_limits<quint64>::max());
    EXPECT_EQ(report.smartStatus(), SMARTStatusFailing);
    EXPECT_TRUE(report.attributes.contains(kNvmeFirstPseudoId));
}

TEST(SmartctlReport, MalformedJsonHoldsNothing) {
    for (const QStringView text : {u"{", u"{\"model_name\": ", u"{} trailing", u"[1, 2]",
                                   u"{\"ata_smart_attributes\": {\"table\": 5}}",
                                   u"{\"nvme_smart_health_information_log\": []}"}) {
        const SmartctlReport report = parseSmartctlReport(text);
        EXPECT_FALSE(report.hasAtaTable) << text.toString().toStdString();
        EXPECT_FALSE(report.hasNvmeHealth) << text.toString().toStdString();
        EXPECT_TRUE(report.attributes.empty());
    }
}

TEST(SmartctlReport, NvmeTableRowsAreNoAttributes) {
    // The power states' and the error log's numbered rows have ten columns
    // like an attribute line.
    const SmartctlReport report = parseSmartctlReport(
        u"Model Number:                       SAMSUNG KUS030202M-B000\n"
        u"St Op     Max   Active     Idle   RL RT WL WT  Ent_Lat  Ex_Lat\n"
        u" 1 +     2.40W       -        -    1  1  1  1        5       5\n"
        u" 4 -   0.0050W       -        -    4  4  4  4     1800    8700\n"
        u"Critical Warning:                   0x00\n"
        u"Percentage Used:                    5%\n"
        u"Error Information (NVMe Log 0x01, 16 of 64 entries)\n"
        u"Num   ErrCount  SQId   CmdId  Status  PELoc          LBA  NSID    VS  Message\n"
        u"  0    4362927     0  0x001d  0x4004      -            0     0     -  Invalid Field\n"
        u" 10    4362917     0  0x0019  0x4004  0x028            0     1     -  Invalid Field\n"
        u" 12    4362915     0  0x0013  0x4212  0x028            0     -     -  Invalid Log "
        u"Page\n");
    EXPECT_TRUE(report.hasNvmeHealth);
    EXPECT_FALSE(report.hasAtaTable);
    for (const auto& [id, record] : report.attributes) {
        EXPECT_GE(id, kNvmeFirstPseudoId) << id;
    }
}
