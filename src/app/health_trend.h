// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/health_history.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One drive's known health over time, oldest first. A drive is its serial
// number: names follow mounts, and a replaced drive keeps the old one's name.
struct HealthSeries {
    struct Point {
        qint64 time = 0;  // seconds since the epoch
        int health = 0;
    };
    QString serial;  // empty when the drive did not tell it (the key is then model and name)
    QString name;    // the latest name
    QString model;
    QList<Point> points;
};

// When a drive's health, falling as it did lately, reaches the warning threshold.
struct HealthProjection {
    enum class Status {
        NotEnoughHistory,  // too short, too few values, or not falling
        Projected,         // `warningDate` holds the date
        Reached,           // the latest health is at or below the threshold already
    };
    Status status = Status::NotEnoughHistory;
    QDateTime warningDate;    // UTC; only when Projected
    bool fitted = false;      // enough spread for a line; healthPerDay is its slope
    double healthPerDay = 0;  // 0 without a fit
    int pointsUsed = 0;       // points inside the fitted window
};

namespace health_trend {
// The window a fit looks back over, counted from the drive's latest point.
constexpr qint64 kWindowDays = 90;
// What a fit needs before a date is worth showing.
constexpr qint64 kMinimumDays = 14;
constexpr int kMinimumDistinctValues = 5;
}  // namespace health_trend

// The records grouped into one series per drive, in the order each drive was
// first seen; unknown health (255) and out-of-range values are left out.
QList<HealthSeries> healthSeries(const QList<HealthRecord>& records);

// A least-squares line through the series' points of the last 90 days.
HealthProjection projectWarning(const HealthSeries& series, int warningThreshold);
