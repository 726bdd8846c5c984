// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/health_trend.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSecondsPerDay = 86400.0;
// A date further out than this says "not falling" in practice, and would
// leave QDateTime's range for slopes near zero.
constexpr double kFarthestDays = 100.0 * 365.0;

QString driveKey(const HealthRecord& record) {
    if (!record.serial.isEmpty()) {
        return QStringLiteral("S:") + record.serial;
    }
    return QStringLiteral("N:") + record.model + QLatin1Char('\n') + record.name;
}

}  // namespace

QList<HealthSeries> healthSeries(const QList<HealthRecord>& records) {
    QList<HealthSeries> result;
    QHash<QString, qsizetype> index;
    for (const HealthRecord& record : records) {
        if (record.health < 0 || record.health > 100) {
            continue;
        }
        const QString key = driveKey(record);
        auto found = index.constFind(key);
        if (found == index.cend()) {
            found = index.insert(key, result.size());
            result.append(HealthSeries{record.serial, {}, {}, {}});
        }
        HealthSeries& series = result[*found];
        series.name = record.name;
        series.model = record.model;
        series.points.append({record.time.toSecsSinceEpoch(), record.health});
    }
    for (HealthSeries& series : result) {
        // The file is read oldest first, but clocks are set back at times.
        std::stable_sort(series.points.begin(), series.points.end(),
                         [](const auto& a, const auto& b) { return a.time < b.time; });
    }
    return result;
}

HealthProjection projectWarning(const HealthSeries& series, int warningThreshold) {
    HealthProjection projection;
    if (series.points.isEmpty()) {
        return projection;
    }
    const HealthSeries::Point latest = series.points.constLast();
    if (latest.health <= warningThreshold) {
        projection.status = HealthProjection::Status::Reached;
        return projection;
    }
    const qint64 from = latest.time - health_trend::kWindowDays * 86400;
    // Days relative to the latest point keep the sums small and exact enough.
    double sumX = 0, sumY = 0;
    int count = 0;
    qint64 earliest = latest.time;
    QSet<int> values;
    for (const HealthSeries::Point& point : series.points) {
        if (point.time < from) {
            continue;
        }
        sumX += double(point.time - latest.time) / kSecondsPerDay;
        sumY += point.health;
        earliest = std::min(earliest, point.time);
        values.insert(point.health);
        ++count;
    }
    projection.pointsUsed = count;
    if (latest.time - earliest < health_trend::kMinimumDays * 86400 ||
        values.size() < health_trend::kMinimumDistinctValues) {
        return projection;
    }
    const double meanX = sumX / count;
    const double meanY = sumY / count;
    double sxy = 0, sxx = 0;
    for (const HealthSeries::Point& point : series.points) {
        if (point.time < from) {
            continue;
        }
        const double dx = double(point.time - latest.time) / kSecondsPerDay - meanX;
        sxy += dx * (point.health - meanY);
        sxx += dx * dx;
    }
    if (sxx <= 0) {
        return projection;
    }
    const double slope = sxy / sxx;
    projection.fitted = true;
    projection.healthPerDay = slope;
    if (!(slope < 0)) {
        return projection;
    }
    // The fitted line y = meanY + slope * (x - meanX) meets the threshold at:
    double days = meanX + (warningThreshold - meanY) / slope;
    if (!std::isfinite(days) || days > kFarthestDays) {
        return projection;
    }
    // Noise can put the crossing behind the latest point that is still above it.
    days = std::max(days, 0.0);
    projection.status = HealthProjection::Status::Projected;
    projection.warningDate = QDateTime::fromSecsSinceEpoch(
        latest.time + qint64(std::llround(days * kSecondsPerDay)), Qt::UTC);
    return projection;
}
