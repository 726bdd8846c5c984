// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_services.h"

#include "core/nvme_health.h"
#include "core/smartctl_report.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

using ::testing::_;
using ::testing::AllOf;
using ::testing::Not;
using ::testing::Return;

namespace {

const QString kUnlisted = QStringLiteral("Unlisted SSD 1TB");
const QString kUnexpected =
    QStringLiteral("Ostrivane encountered some unexpected SSD values, please send us the report");
const QString kVeryUnexpected = QStringLiteral(
    "Ostrivane encountered some VERY unexpected SSD values, please send us the report");

AttributeTable table(std::initializer_list<std::pair<const int, AttributeRecord>> entries) {
    return AttributeTable(entries);
}

}  // namespace

TEST(Evaluation, WorkedExamples) {
    EvaluationHarness h;
    auto ata =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(97, 10)}}));
    EXPECT_TRUE(ata->isSSD());
    EXPECT_EQ(ata->healthPercentage(), 96);
    EXPECT_EQ(ata->healthInfo(), QStringLiteral("SSD_Life_Left: 97 [threshold: 10]"));
    EXPECT_EQ(ata->status(), QStringLiteral("96% (SSD_Life_Left: 97 [threshold: 10])"));

    NvmeHealthLog log;
    log.percentageUsed = 3;
    log.availableSpare = 100;
    log.availableSpareThreshold = 10;
    QVariantMap nvme = ssdDescription(QStringLiteral("Samsung SSD 990 PRO 2TB"));
    auto drive = h.check(SMARTStatusVerified, nvme, nvmeHealthAttributes(log));
    EXPECT_EQ(drive->healthPercentage(), 97);
    EXPECT_EQ(drive->healthInfo(), QStringLiteral("Media_Wearout_Indicator: 97 [threshold: 0]"));
    // The pseudo-attributes stay; 233 and 5 are added without thresholds.
    EXPECT_EQ(drive->allAttributes()->count(904), 1u);
    EXPECT_FALSE(drive->allAttributes()->at(5).threshold.has_value());
    EXPECT_EQ(drive->fullAttributeInformation(),
              QStringLiteral("Reallocated_Sector_Count (5):\t100 [threshold: 0] \n"
                             "Media_Wearout_Indicator (233):\t97 [threshold: 0]"));
}

TEST(Evaluation, ListingLinesAndTrimming) {
    EvaluationHarness h;
    auto ssd = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                       table({{173, attribute(98, 0)}, {231, attribute(97, 10)}}));
    EXPECT_EQ(ssd->fullAttributeInformation(),
              QStringLiteral("Wear_Levelling_Count (173):\t98 [threshold: 0] \n"
                             "SSD_Life_Left (231):\t97 [threshold: 10]"));
    EXPECT_EQ(ssd->healthPercentage(), 96);

    // A threshold equal to the value is flagged, and a verified drive logs the oddity.
    auto flagged =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(10, 10)}}));
    EXPECT_EQ(
        flagged->fullAttributeInformation(),
        QStringLiteral(
            "SSD_Life_Left (231):\t10 [threshold: 10] (WARNING: attribute exceeds threshold!)"));
    ASSERT_FALSE(h.logger.lines.isEmpty());
    EXPECT_EQ(
        h.logger.lines.last(),
        QStringLiteral("Info: Ostrivane sees attribute 231 of disk 3 falling to 10 which is below "
                       "threshold 10, but the S.M.A.R.T. status is still OK - thats WEIRD. "));
    EXPECT_EQ(h.logger.levels.last(), 5);
}

TEST(Evaluation, OnlyOnlineRelevantAttributesCount) {
    EvaluationHarness h;
    // 9 is online but not relevant; 231 is relevant but offline.
    auto ssd = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                       table({{9, attribute(20, 0)}, {231, attribute(20, 0, false)}}));
    EXPECT_EQ(ssd->healthPercentage(), kHealthUnknown);
    EXPECT_TRUE(ssd->fullAttributeInformation().isEmpty());
    EXPECT_TRUE(ssd->healthInfo().isNull());
    EXPECT_EQ(ssd->status(), QStringLiteral("This SSD is not compatible with Ostrivane"));

    // An id 999 in a text table is not the disabled reallocation row of a Kingston model.
    auto kingston =
        h.check(SMARTStatusVerified, ssdDescription(QStringLiteral("KINGSTON SHPM2280P2H")),
                table({{5, attribute(10, 0)}, {177, attribute(80, 0)}, {999, attribute(1, 0)}}));
    EXPECT_EQ(kingston->healthPercentage(), 80);
    EXPECT_EQ(kingston->healthInfo(), QStringLiteral("Wear_Levelling_Count: 80 [threshold: 0]"));
}

TEST(Evaluation, LowAccuracyWhenOnlyTheReallocationCountIsOnline) {
    EvaluationHarness h;
    auto only5 = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                         table({{5, attribute(100, 10)}, {9, attribute(99, 0)}}));
    EXPECT_EQ(only5->healthInfo(),
              QStringLiteral("Reallocated_Sector_Count: 100 [threshold: 10] {low-accuracy!}"));

    // Another relevant id switches it off even when that attribute is then skipped.
    auto with226 =
        h.check(SMARTStatusVerified, ssdDescription(QStringLiteral("INTEL SSDSA2MH080G1GC")),
                table({{5, attribute(100, 10)}, {226, attribute(1, 0)}}));
    EXPECT_EQ(with226->healthInfo(),
              QStringLiteral("Reallocated_Sector_Count: 100 [threshold: 10]"));
    EXPECT_EQ(with226->healthPercentage(), 100);

    // A failing drive carries the failing notice, never the mark.
    auto failing =
        h.check(SMARTStatusFailing, ssdDescription(kUnlisted), table({{5, attribute(100, 10)}}));
    EXPECT_EQ(failing->healthInfo(), QStringLiteral("S.M.A.R.T. status FAILING!"));
}

TEST(Evaluation, Attribute233AtZeroIsIgnoredOnlyWhileStatusIsOk) {
    EvaluationHarness h;
    auto verified =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{233, attribute(0, 0)}}));
    EXPECT_EQ(verified->healthPercentage(), kHealthUnknown);
    EXPECT_EQ(h.logger.lines.last(),
              QStringLiteral(
                  "Info: Ostrivane ignoring disk attribute 233 of disk 3 because S.M.A.R.T. is "
                  "OK but value and threshold zero"));
    for (std::uint8_t status : {SMARTStatusUnknown, SMARTStatusNotCapable}) {
        auto other = h.check(status, ssdDescription(kUnlisted), table({{233, attribute(0, 0)}}));
        EXPECT_EQ(other->healthPercentage(), 0) << int(status);
    }
}

// A worn-out NVMe drive (percentage used at or past 100) maps to 233 = 0 without
// a threshold; that must read as 0 % health, not be skipped as an empty ATA 233.
// The tables are the recorded real NVMe drives' health sections with only the
// percentage used changed.
TEST(Evaluation, NvmeDrivesAtOrPastTheirRatedLifeHaveNoHealthLeft) {
    const QDir folder(QStringLiteral(OSTRIVANE_TEST_DATA_DIR "/smartctl"));
    const QStringList files = folder.entryList({QStringLiteral("*.txt")}, QDir::Files);
    const QRegularExpression usedLine(QStringLiteral("^Percentage Used:.*$"),
                                      QRegularExpression::MultilineOption);
    int drives = 0;
    for (const QString& file : files) {
        QFile input(folder.filePath(file));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << file.toStdString();
        const QString recorded = QString::fromUtf8(input.readAll());
        if (!recorded.contains(usedLine)) {
            continue;
        }
        ++drives;
        for (const int used : {99, 100, 125, 255}) {
            QString worn = recorded;
            worn.replace(usedLine, QStringLiteral("Percentage Used: %1%").arg(used));
            const SmartctlReport report = parseSmartctlReport(worn);
            ASSERT_TRUE(report.hasNvmeHealth);
            EvaluationHarness h;
            auto ssd =
                h.check(SMARTStatusVerified, ssdDescription(report.model), report.attributes);
            const std::string what = file.toStdString() + " at " + std::to_string(used) + "%";
            if (used >= 100) {
                EXPECT_EQ(ssd->healthPercentage(), 0) << what;
                EXPECT_TRUE(
                    ssd->healthInfo().startsWith(QStringLiteral("Media_Wearout_Indicator: 0")))
                    << what;
                EXPECT_FALSE(h.logger.lines.join(u'\n').contains(
                    QStringLiteral("ignoring disk attribute 233")))
                    << what;
            } else {
                EXPECT_LE(ssd->healthPercentage(), 1) << what;
            }
        }
    }
    EXPECT_GE(drives, 10);
}

TEST(Evaluation, AssumedMaximumRulesAndTheirAlerts) {
    EvaluationHarness h;
    EXPECT_CALL(h.feedback, alert_feedback(_, _, _)).Times(0);
    auto trion = h.check(SMARTStatusVerified, ssdDescription(QStringLiteral("OCZ-TRION100")),
                         table({{173, attribute(200, 0)}}));
    EXPECT_EQ(trion->healthPercentage(), 100);
    auto rule12 = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                          table({{173, attribute(150, 100)}}));
    EXPECT_EQ(rule12->healthPercentage(), 50);
    ::testing::Mock::VerifyAndClearExpectations(&h.feedback);

    EXPECT_CALL(h.feedback,
                alert_feedback(kUnexpected, QStartsWith(QStringLiteral("\n@{@(173) : ")), false))
        .Times(1);
    auto rule13 =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{173, attribute(200, 0)}}));
    EXPECT_EQ(rule13->healthPercentage(), 100);
    ::testing::Mock::VerifyAndClearExpectations(&h.feedback);

    // Above the assumed maximum: both alerts, and the percentage still counts.
    EXPECT_CALL(h.feedback, alert_feedback(kUnexpected, _, false)).Times(1);
    EXPECT_CALL(h.feedback, alert_feedback(kVeryUnexpected, _, false)).Times(1);
    auto above =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(250, 0)}}));
    EXPECT_EQ(above->healthPercentage(), 125);
    ::testing::Mock::VerifyAndClearExpectations(&h.feedback);

    // A known hard disk evaluated as an SSD through CheckAllDisks.
    h.settings.setDefaultInt(QStringLiteral("CheckAllDisks"), 1);
    QVariantMap hdd = ssdDescription(QStringLiteral("SAMSUNG HD103SJ"));
    hdd.remove(QStringLiteral("isSSD"));
    auto disk = h.check(SMARTStatusVerified, hdd, table({{5, attribute(252, 10)}}));
    EXPECT_TRUE(disk->isSSD());
    EXPECT_EQ(disk->healthPercentage(), 100);
}

TEST(Evaluation, PercentageArithmeticEdges) {
    EvaluationHarness h;
    // Threshold above the assumed maximum flips both signs: more than 100.
    auto above =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(90, 120)}}));
    EXPECT_EQ(above->healthPercentage(), 150);

    // M equal to T: V equal to T gives no percentage (but a listing line), V below T gives 0.
    auto equal = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                         table({{231, attribute(100, 100)}}));
    EXPECT_EQ(equal->healthPercentage(), kHealthUnknown);
    EXPECT_FALSE(equal->fullAttributeInformation().isEmpty());
    EXPECT_TRUE(equal->healthInfo().isNull());
    auto below =
        h.check(SMARTStatusUnknown, ssdDescription(kUnlisted), table({{231, attribute(50, 100)}}));
    EXPECT_EQ(below->healthPercentage(), 0);

    // Extreme text-form values neither overflow nor leave the 0..255 range.
    auto extreme = h.check(SMARTStatusUnknown, ssdDescription(kUnlisted),
                           table({{231, attribute(std::numeric_limits<qint32>::max(),
                                                  std::numeric_limits<qint32>::min())},
                                  {233, attribute(std::numeric_limits<qint32>::min(), 0)}}));
    EXPECT_EQ(extreme->healthPercentage(), 0);
}

TEST(Evaluation, EqualPercentageOfALaterIdTakesOverTheReason) {
    EvaluationHarness h;
    // 5: 100*(91-5)/95 = 90.53 -> minimum 90. 233: 100*(91-2)/98 = 90.82 lies above the
    // truncated minimum and does not take over; 231: exactly 90 does.
    auto ssd = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                       table({{5, attribute(91, 5)}, {233, attribute(91, 2)}}));
    EXPECT_EQ(ssd->healthPercentage(), 90);
    EXPECT_EQ(ssd->healthInfo(), QStringLiteral("Reallocated_Sector_Count: 91 [threshold: 5]"));

    auto taken = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                         table({{5, attribute(91, 5)}, {231, attribute(90, 0)}}));
    EXPECT_EQ(taken->healthPercentage(), 90);
    EXPECT_EQ(taken->healthInfo(), QStringLiteral("SSD_Life_Left: 90 [threshold: 0]"));
}

TEST(Evaluation, NvmeMappingBounds) {
    EvaluationHarness h;
    const auto nvmeTable = [](qint64 used, qint64 spare) {
        AttributeRecord u;
        u.currentValue = AttributeNumber::fromSigned(used);
        u.isOnline = AttributeNumber::fromSigned(1);
        AttributeRecord s = u;
        s.currentValue = AttributeNumber::fromSigned(spare);
        return table({{904, u}, {902, s}, {233, attribute(1, 0)}, {5, attribute(1, 0)}});
    };
    struct {
        qint64 used, spare;
        qint32 wear, realloc;
    } const cases[] = {
        {150, 100, 0, 100},
        {-5, 100, 100, 100},
        {100, 250, 0, 100},
        {0, -3, 100, 0},
        {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), 100, 100},
    };
    for (const auto& c : cases) {
        auto ssd =
            h.check(SMARTStatusUnknown, ssdDescription(kUnlisted), nvmeTable(c.used, c.spare));
        // The mapped records replace any earlier 233 and 5.
        EXPECT_EQ(AttributeRecord::read32(ssd->allAttributes()->at(233).currentValue), c.wear)
            << c.used;
        EXPECT_EQ(AttributeRecord::read32(ssd->allAttributes()->at(5).currentValue), c.realloc)
            << c.spare;
    }
}

TEST(Evaluation, NotASolidStateDrive) {
    EvaluationHarness h;
    EXPECT_CALL(h.reports, log(_, QStringLiteral("diskdata"), _)).Times(0);
    QVariantMap hdd = ssdDescription(QStringLiteral("ST1000DM003-1CH162"));
    hdd.remove(QStringLiteral("isSSD"));
    auto disk = h.check(SMARTStatusVerified, hdd, table({{231, attribute(50, 0)}}));
    EXPECT_FALSE(disk->isSSD());
    EXPECT_EQ(disk->healthPercentage(), kHealthUnknown);
    EXPECT_TRUE(disk->fullAttributeInformation().isEmpty());

    auto failing = h.check(SMARTStatusFailing, hdd, std::nullopt);
    EXPECT_EQ(failing->healthPercentage(), 0);
    EXPECT_EQ(failing->healthInfo(), QStringLiteral("S.M.A.R.T. status FAILING!"));

    // Without a description there is no model, and only CheckAllDisks makes it an SSD.
    auto anonymous = h.check(SMARTStatusVerified, std::nullopt, table({{231, attribute(50, 0)}}));
    EXPECT_EQ(anonymous->modelName(), QString(""));
    EXPECT_FALSE(anonymous->isSSD());
    EXPECT_EQ(h.settings.defaultInt(QStringLiteral("LastSmartStatusMacintosh HD(null)")), 3);
}

TEST(Evaluation, OneTimeModelReport) {
    EvaluationHarness h;
    QVariantMap apple = ssdDescription(QStringLiteral("APPLE SSD TS256E"));
    apple.remove(QStringLiteral("isSSD"));
    EXPECT_CALL(
        h.feedback,
        alert_feedback(QStringLiteral("Ostrivane encountered some unexpected SSD values, please "
                                      "send us the report."),
                       AllOf(QStartsWith(QStringLiteral("\n@{@(5) : ")),
                             QContains(QStringLiteral("DAMediaName = \"APPLE SSD TS256E\";"))),
                       false))
        .Times(1);
    h.check(SMARTStatusVerified, apple, table({{5, attribute(100, 10)}}));
    h.check(SMARTStatusVerified, apple, table({{5, attribute(100, 10)}}));
    EXPECT_EQ(h.settings.defaultInt(QStringLiteral("didSendModel")), 1);
}

TEST(Evaluation, DriveDataSubmission) {
    EvaluationHarness h;
    const QString token = QStringLiteral("didSubmitSSDMacintosh HDUnlisted SSD 1TB");
    EXPECT_CALL(h.reports, logged(token)).WillOnce(Return(false)).WillOnce(Return(true));
    EXPECT_CALL(
        h.reports,
        log(AllOf(QStartsWith(QStringLiteral("Unlisted SSD 1TB || 1.0 || SATA || @{@(231) : @{")),
                  Not(QContains(QStringLiteral("\n")))),
            QStringLiteral("diskdata"), token))
        .Times(1);
    h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(97, 10)}}));
    h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(97, 10)}}));
    ::testing::Mock::VerifyAndClearExpectations(&h.reports);

    // Any value but exactly 1 turns submission off.
    h.settings.setDefaultInt(QStringLiteral("AllowSSDSubmission"), 2);
    EXPECT_CALL(h.reports, logged(_)).Times(0);
    EXPECT_CALL(h.reports, log(_, QStringLiteral("diskdata"), _)).Times(0);
    h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(97, 10)}}));
}

TEST(Evaluation, StatusTrackingReportsValidityChanges) {
    EvaluationHarness h;
    h.settings.setDefaultInt(QStringLiteral("AllowSSDSubmission"), 2);
    const QString key = QStringLiteral("LastSmartStatusMacintosh HDUnlisted SSD 1TB");
    const auto drive = table({{231, attribute(97, 10)}});

    EXPECT_CALL(h.reports, log(_, QStringLiteral("brokensmart"))).Times(0);
    h.check(SMARTStatusVerified, ssdDescription(kUnlisted), drive);  // first: nothing to compare
    EXPECT_EQ(h.settings.defaultInt(key), 3);
    h.check(SMARTStatusFailing, ssdDescription(kUnlisted), drive);  // valid -> valid
    EXPECT_EQ(h.settings.defaultInt(key), 2);
    ::testing::Mock::VerifyAndClearExpectations(&h.reports);

    EXPECT_CALL(h.reports, log(AllOf(QStartsWith(QStringLiteral("changed_1_0_TestBook1,1_{ ")),
                                     Not(QContains(QStringLiteral("\n")))),
                               QStringLiteral("brokensmart")))
        .Times(1);
    h.check(SMARTStatusUnknown, ssdDescription(kUnlisted), drive);
    EXPECT_EQ(h.settings.defaultInt(key), 1);
    ::testing::Mock::VerifyAndClearExpectations(&h.reports);

    h.settings.setDefaultInt(QStringLiteral("AllowSSDSubmission"), 0);
    EXPECT_CALL(h.reports, log(_, _)).Times(0);
    h.check(SMARTStatusVerified, ssdDescription(kUnlisted), drive);
    EXPECT_EQ(h.settings.defaultInt(key), 1);
}

TEST(Evaluation, LastHealthIsKeptPerName) {
    EvaluationHarness h;
    auto first =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(97, 10)}}));
    EXPECT_EQ(first->lastHealthPercentage(), 0);
    auto second =
        h.check(SMARTStatusVerified, ssdDescription(kUnlisted), table({{231, attribute(50, 10)}}));
    EXPECT_EQ(second->lastHealthPercentage(), 96);
    EXPECT_EQ(h.settings.defaultInt(QStringLiteral("Macintosh HD_lastCheckHealth")), 44);
    auto other = h.check(SMARTStatusVerified, ssdDescription(kUnlisted),
                         table({{231, attribute(50, 10)}}), QStringLiteral("Data"));
    EXPECT_EQ(other->lastHealthPercentage(), 0);
}
