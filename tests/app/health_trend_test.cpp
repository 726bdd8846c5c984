// SPDX-License-Identifier: GPL-3.0-or-later
// The health series per drive and the date a falling health reaches the
// warning threshold, on histories built for each shape.
#include "app/health_trend.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr qint64 kDay = 86400;
constexpr qint64 kStart = 1'700'000'000;  // 2023-11-14

// One record a day for `days` days, with the health of each day.
QList<HealthRecord> daily(int days, const std::function<int(int)>& health,
                          const QString& serial = QStringLiteral("S1"),
                          const QString& name = QStringLiteral("Work"), qint64 from = kStart) {
    QList<HealthRecord> records;
    for (int day = 0; day < days; ++day) {
        records.append({QDateTime::fromSecsSinceEpoch(from + day * kDay, Qt::UTC), name,
                        QStringLiteral("Model"), serial, QStringLiteral("/dev/sda"), health(day),
                        2});
    }
    return records;
}

HealthProjection project(const QList<HealthRecord>& records, int warning = 50) {
    const QList<HealthSeries> series = healthSeries(records);
    EXPECT_EQ(series.size(), 1);
    return series.isEmpty() ? HealthProjection{} : projectWarning(series.first(), warning);
}

double daysAfterLatest(const HealthProjection& projection, const QList<HealthRecord>& records) {
    return double(records.last().time.secsTo(projection.warningDate)) / kDay;
}

TEST(HealthTrend, SteadyFallProjectsWhereTheLineMeetsTheThreshold) {
    // Half a point a day, from 90 down to 61 on day 59.
    const auto records = daily(60, [](int day) { return 90 - day / 2; });
    const HealthProjection projection = project(records);
    ASSERT_EQ(projection.status, HealthProjection::Status::Projected);
    EXPECT_NEAR(projection.healthPerDay, -0.5, 0.01);
    // The fitted line runs through the staircase's middle, 60.75 on day 59,
    // and meets 50 about 21.5 days later.
    EXPECT_NEAR(daysAfterLatest(projection, records), 21.5, 0.5);
    EXPECT_EQ(projection.pointsUsed, 60);
    // Another threshold, another date.
    const HealthProjection lower = project(records, 30);
    EXPECT_NEAR(lower.warningDate.secsTo(projection.warningDate) / double(kDay), -40, 1.0);
}

TEST(HealthTrend, FlatRisingOrSparseHistoriesProjectNothing) {
    const auto flat = project(daily(120, [](int) { return 80; }));
    EXPECT_EQ(flat.status, HealthProjection::Status::NotEnoughHistory);
    EXPECT_FALSE(flat.warningDate.isValid());
    EXPECT_FALSE(flat.fitted);  // one value: nothing to fit

    const auto rising = project(daily(60, [](int day) { return 60 + day / 3; }));
    EXPECT_EQ(rising.status, HealthProjection::Status::NotEnoughHistory);
    EXPECT_TRUE(rising.fitted);
    EXPECT_GT(rising.healthPerDay, 0);

    const auto one = project(daily(1, [](int) { return 70; }));
    EXPECT_EQ(one.status, HealthProjection::Status::NotEnoughHistory);
    EXPECT_EQ(one.pointsUsed, 1);

    // Falling fast, but over 13 days only.
    const auto shortFall = project(daily(14, [](int day) { return 90 - day; }));
    EXPECT_EQ(shortFall.status, HealthProjection::Status::NotEnoughHistory);
    // The same over 15 days is enough.
    EXPECT_EQ(project(daily(15, [](int day) { return 90 - day; })).status,
              HealthProjection::Status::Projected);

    // A long, falling history with four different values only.
    const auto fourValues = project(daily(80, [](int day) { return 90 - day / 20; }));
    EXPECT_EQ(fourValues.status, HealthProjection::Status::NotEnoughHistory);
    EXPECT_EQ(project(daily(100, [](int day) { return 90 - day / 20; })).status,
              HealthProjection::Status::Projected);
}

TEST(HealthTrend, OnlyTheLastNinetyDaysCount) {
    // A steep fall long ago, then flat for 120 days: the old fall says nothing now.
    auto records = daily(100, [](int day) { return 100 - day / 4; });
    records += daily(
        120, [](int) { return 75; }, QStringLiteral("S1"), QStringLiteral("Work"),
        kStart + 100 * kDay);
    const HealthProjection projection = project(records);
    EXPECT_EQ(projection.status, HealthProjection::Status::NotEnoughHistory);
    EXPECT_EQ(projection.pointsUsed, 91);
}

TEST(HealthTrend, NoisyFallStillFindsTheTrend) {
    QRandomGenerator random(14);
    const auto records = daily(90, [&random](int day) {
        return 95 - day / 5 + int(random.bounded(5)) - 2;  // ±2 around a fall of 0.2 a day
    });
    const HealthProjection projection = project(records);
    ASSERT_EQ(projection.status, HealthProjection::Status::Projected);
    EXPECT_NEAR(projection.healthPerDay, -0.2, 0.03);
    // About 78 at day 89, 28 points above the threshold: about 140 days on.
    EXPECT_NEAR(daysAfterLatest(projection, records), 140, 20);
}

TEST(HealthTrend, AtOrBelowTheThresholdIsReachedNotProjected) {
    const auto records = daily(30, [](int day) { return 70 - day; });  // ends at 41
    EXPECT_EQ(project(records).status, HealthProjection::Status::Reached);
    EXPECT_EQ(project(records, 41).status, HealthProjection::Status::Reached);
    EXPECT_EQ(project(records, 40).status, HealthProjection::Status::Projected);
}

TEST(HealthTrend, AReplacedDriveUnderTheSameNameStartsANewSeries) {
    auto records = daily(
        200, [](int day) { return 90 - day / 5; }, QStringLiteral("OLD"));
    records += daily(
        30, [](int) { return 100; }, QStringLiteral("NEW"), QStringLiteral("Work"),
        kStart + 200 * kDay);
    // A second drive between them, and a check that could not tell the health.
    records.insert(5, daily(
                          1, [](int) { return 88; }, QStringLiteral("B"), QStringLiteral("Data"))
                          .first());
    records.insert(7, daily(
                          1, [](int) { return 255; }, QStringLiteral("C"), QStringLiteral("Lost"))
                          .first());
    const QList<HealthSeries> series = healthSeries(records);
    ASSERT_EQ(series.size(), 3);
    EXPECT_EQ(series[0].serial, QStringLiteral("OLD"));
    EXPECT_EQ(series[0].points.size(), 200);
    EXPECT_EQ(series[1].serial, QStringLiteral("B"));
    EXPECT_EQ(series[2].serial, QStringLiteral("NEW"));
    EXPECT_EQ(series[2].points.size(), 30);
    EXPECT_EQ(series[2].name, QStringLiteral("Work"));
    EXPECT_EQ(projectWarning(series[0], 50).status, HealthProjection::Status::Projected);
    EXPECT_EQ(projectWarning(series[2], 50).status, HealthProjection::Status::NotEnoughHistory);
}

TEST(HealthTrend, DrivesWithoutASerialAreToldApartByModelAndName) {
    auto records = daily(
        3, [](int) { return 90; }, QString(), QStringLiteral("A"));
    records += daily(
        3, [](int) { return 80; }, QString(), QStringLiteral("B"));
    const QList<HealthSeries> series = healthSeries(records);
    ASSERT_EQ(series.size(), 2);
    EXPECT_EQ(series[1].points.first().health, 80);
    // Out of order in the file (a clock set back): the series is still in time order.
    QList<HealthRecord> shuffled = daily(3, [](int day) { return 90 - day; });
    std::swap(shuffled[0], shuffled[2]);
    const QList<HealthSeries> sorted = healthSeries(shuffled);
    EXPECT_EQ(sorted.first().points.last().health, 88);
}

}  // namespace
