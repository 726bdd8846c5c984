// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/device_statistics_text.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace {

// Puts one statistic (page, offset within it) into the figures, when it is
// one of those read.
void take(DeviceStatistics& stats, int page, int offset, quint64 value) {
    if (page == 0x01 && offset == 0x010) {
        stats.powerOnHours = value & 0xFFFFFFFFu;
    } else if (page == 0x01 && offset == 0x018) {
        stats.logicalSectorsWritten = value & 0xFFFFFFFFFFFFu;
    } else if (page == 0x05 && offset == 0x008) {
        const qint64 celsius = qint64(value);
        if (celsius >= -128 && celsius <= 127) {
            stats.temperature = int(celsius);
        }
    } else if (page == 0x07 && offset == 0x008 && value <= 255) {
        stats.percentageUsed = int(value);
    }
}

int pageNumber(const QString& text, bool& ok) {
    return text.startsWith(QLatin1String("0x")) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
}

}  // namespace

std::optional<DeviceStatistics> parseDeviceStatisticsText(QStringView text) {
    static const QRegularExpression row(QStringLiteral(
        R"(^(0x[0-9A-Fa-f]{2}|\d{1,3})\s+0x([0-9A-Fa-f]{3})\s+\d\s+(-?\d{1,20})~?\s)"));
    DeviceStatistics stats;
    bool inSection = false;
    static const QRegularExpression newline(QStringLiteral("\\r\\n|[\\r\\n]"));
    for (const QString& raw : text.toString().split(newline)) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("Device Statistics ("))) {
            inSection = true;
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (line.isEmpty()) {
            inSection = false;
            continue;
        }
        const QRegularExpressionMatch match = row.match(line);
        if (!match.hasMatch()) {
            continue;
        }
        bool pageOk = false;
        bool offsetOk = false;
        bool valueOk = false;
        const int page = pageNumber(match.captured(1), pageOk);
        const int offset = match.captured(2).toInt(&offsetOk, 16);
        const qint64 value = match.captured(3).toLongLong(&valueOk);
        if (pageOk && offsetOk && valueOk) {
            take(stats, page, offset, quint64(value));
        }
    }
    if (stats.empty()) {
        return std::nullopt;
    }
    return stats;
}

std::optional<DeviceStatistics> parseDeviceStatisticsJson(const QJsonObject& smartctl) {
    DeviceStatistics stats;
    const QJsonArray pages = smartctl.value(QStringLiteral("ata_device_statistics"))
                                 .toObject()
                                 .value(QStringLiteral("pages"))
                                 .toArray();
    for (const QJsonValue& pageValue : pages) {
        const QJsonObject page = pageValue.toObject();
        const int number = page.value(QStringLiteral("number")).toInt(-1);
        for (const QJsonValue& entryValue : page.value(QStringLiteral("table")).toArray()) {
            const QJsonObject entry = entryValue.toObject();
            const QJsonValue value = entry.value(QStringLiteral("value"));
            if (!entry.value(QStringLiteral("flags"))
                     .toObject()
                     .value(QStringLiteral("valid"))
                     .toBool() ||
                !value.isDouble() || value.toDouble() < -128) {
                continue;
            }
            take(stats, number, entry.value(QStringLiteral("offset")).toInt(-1),
                 quint64(value.toInteger()));
        }
    }
    if (stats.empty()) {
        return std::nullopt;
    }
    return stats;
}
