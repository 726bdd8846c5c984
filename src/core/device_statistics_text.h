// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/drive_wear.h"

#include <QJsonObject>
#include <QStringView>

#include <optional>

// The "Device Statistics (GP Log 0x04)" section of `smartctl -x` (or
// `smartctl -l devstat`) output, in both of smartctl's layouts:
//   0x01  0x010  4           15617  ---  Power-on Hours        (7.x, flags column)
//     1  0x010  4           15617  Power-on Hours              (6.x)
// smartctl prints a statistic's value only when the drive marks it valid
// ("-" otherwise), so every number found counts. Absent when the text has no
// such section or it gives none of the figures.
std::optional<DeviceStatistics> parseDeviceStatisticsText(QStringView text);

// The same figures from `smartctl -x --json` ("ata_device_statistics").
std::optional<DeviceStatistics> parseDeviceStatisticsJson(const QJsonObject& smartctl);
