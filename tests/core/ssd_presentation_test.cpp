// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_services.h"

#include <gtest/gtest.h>

namespace {

const QString kModel = QStringLiteral("Unlisted SSD 1TB");

}  // namespace

TEST(SSDPresentation, StatusPrecedence) {
    EvaluationHarness h;
    auto notCapable = h.check(SMARTStatusNotCapable, ssdDescription(kModel),
                              AttributeTable{{231, attribute(97, 10)}});
    EXPECT_EQ(notCapable->healthPercentage(), 96);
    EXPECT_EQ(notCapable->status(), QStringLiteral("This SSD is not S.M.A.R.T. compatible"));

    auto empty = h.check(SMARTStatusVerified, ssdDescription(kModel), AttributeTable{});
    EXPECT_EQ(empty->status(), QStringLiteral("This SSD is not compatible with Ostrivane"));
    auto absent = h.check(SMARTStatusUnknown, ssdDescription(kModel), std::nullopt);
    EXPECT_EQ(absent->status(), QStringLiteral("This SSD is not compatible with Ostrivane"));

    auto failing = h.check(SMARTStatusFailing, ssdDescription(kModel), std::nullopt);
    EXPECT_EQ(failing->status(), QStringLiteral("0% (S.M.A.R.T. status FAILING!)"));
}

TEST(SSDPresentation, IconFollowsThresholdsAtEachCall) {
    EvaluationHarness h;
    const auto icon = [&h](std::uint8_t status, std::optional<AttributeTable> table) {
        return h.check(status, ssdDescription(kModel), std::move(table))->iconURL().toString();
    };
    EXPECT_EQ(icon(SMARTStatusFailing, std::nullopt), QStringLiteral("error.png"));
    EXPECT_EQ(icon(SMARTStatusVerified, AttributeTable{{231, attribute(20, 0)}}),
              QStringLiteral("error.png"));
    // Comparisons are strict: 30 is not below the error threshold 30.
    EXPECT_EQ(icon(SMARTStatusVerified, AttributeTable{{231, attribute(30, 0)}}),
              QStringLiteral("warning.png"));
    EXPECT_EQ(icon(SMARTStatusVerified, AttributeTable{{231, attribute(50, 0)}}),
              QStringLiteral("ok.png"));
    EXPECT_EQ(icon(SMARTStatusVerified, AttributeTable{}), QStringLiteral("info.png"));
    EXPECT_EQ(icon(SMARTStatusNotCapable, AttributeTable{{231, attribute(90, 0)}}),
              QStringLiteral("info.png"));

    auto drive = h.check(SMARTStatusVerified, ssdDescription(kModel),
                         AttributeTable{{231, attribute(60, 0)}});
    EXPECT_EQ(drive->iconURL().toString(), QStringLiteral("ok.png"));
    h.settings.setDefaultInt(QStringLiteral("ThresholdWarning"), 70);
    EXPECT_EQ(drive->iconURL().toString(), QStringLiteral("warning.png"));
    h.settings.setDefaultInt(QStringLiteral("ThresholdError"), 0);
    auto failing = h.check(SMARTStatusFailing, ssdDescription(kModel), std::nullopt);
    EXPECT_EQ(failing->iconURL().toString(), QStringLiteral("warning.png"));
}

TEST(SSDPresentation, DescriptionNamesTheDeviceNode) {
    EvaluationHarness h;
    auto drive = h.check(SMARTStatusVerified, ssdDescription(kModel), std::nullopt);
    EXPECT_EQ(drive->description(), QStringLiteral("Macintosh HD  (/dev/disk3)"));
    drive->setDeviceNode(QStringLiteral("/dev/nvme0n1"));
    EXPECT_EQ(drive->description(), QStringLiteral("Macintosh HD  (/dev/nvme0n1)"));
}
