// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "core/wording.h"

#include <QString>

#include <cstdint>
#include <optional>

// The figures an ATA drive keeps in its Device Statistics log (general
// purpose log 0x04). Each is present only when the drive marks it both
// supported and valid.
struct DeviceStatistics {
    std::optional<std::uint64_t> powerOnHours;
    std::optional<std::uint64_t> logicalSectorsWritten;
    std::optional<int> percentageUsed;  // may exceed 100
    std::optional<int> temperature;     // degrees Celsius

    bool empty() const {
        return !powerOnHours && !logicalSectorsWritten && !percentageUsed && !temperature;
    }
    friend bool operator==(const DeviceStatistics&, const DeviceStatistics&) = default;
};

// What the drive itself says about its wear, in vendor-neutral units, beside
// the health the model rules derive from the attributes.
struct DriveWear {
    std::optional<int> percentageUsed;
    std::optional<std::uint64_t> bytesWritten;
    std::optional<std::uint64_t> powerOnHours;
    std::optional<int> temperature;

    bool empty() const { return !percentageUsed && !bytesWritten && !powerOnHours && !temperature; }
    friend bool operator==(const DriveWear&, const DriveWear&) = default;
};

// The drive's own figures: NVMe from its health log (the pseudo-attributes
// 901, 904, 906 and 911), ATA from the Device Statistics when the drive has
// them, else from attributes whose unit is beyond doubt for the model.
DriveWear driveWear(const std::optional<AttributeTable>& attributes,
                    const std::optional<DeviceStatistics>& statistics, const QString& model);

// "own wear indicator: 12 % used · 48.2 TB written · 21,340 h"; empty when
// the drive reports none of the three.
QString wearLine(const DriveWear& wear, Wording wording = Wording::Stored);

// How far apart the health and the drive's own life left may lie before the
// drive's line says so.
inline constexpr int kWearDisagreementPoints = 20;

// "the drive's own indicator differs: 99 % life left" when the health (0..100)
// and 100 minus the drive's percentage used lie 20 points or more apart;
// empty otherwise, and for an unknown health.
QString wearDisagreement(const DriveWear& wear, int health, Wording wording = Wording::Stored);

// Decimal units with one decimal: "512.0 GB", "48.2 TB".
QString byteCountText(std::uint64_t bytes, Wording wording = Wording::Stored);
