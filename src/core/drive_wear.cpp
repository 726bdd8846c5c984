// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drive_wear.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <cstdlib>

namespace {

constexpr std::uint64_t kNvmeDataUnit = 512000;  // thousands of 512-byte units
constexpr std::uint64_t kAtaLogicalSector = 512;

std::optional<AttributeRecord> find(const std::optional<AttributeTable>& table, int id) {
    if (!table) {
        return std::nullopt;
    }
    const auto it = table->find(id);
    return it == table->end() ? std::nullopt : std::optional(it->second);
}

std::optional<std::uint64_t> rawOf(const std::optional<AttributeTable>& table, int id) {
    const std::optional<AttributeRecord> record = find(table, id);
    if (!record || !record->rawValue) {
        return std::nullopt;
    }
    return record->rawValue->toUInt64();
}

// Attribute 241 counts 512-byte logical blocks on Samsung's SATA SSDs; other
// makers use 32 MiB (Intel), GiB (Kingston, SandForce) or their own units,
// so it is only read where the model says which.
bool counts241InSectors(const QString& model) {
    static const QRegularExpression samsung(QStringLiteral("^Samsung SSD (8[3-7]0|750) "),
                                            QRegularExpression::CaseInsensitiveOption);
    return samsung.match(model.trimmed()).hasMatch();
}

// The user's number format when shown; the C locale keeps the stored one,
// whose thousands are grouped with commas.
std::optional<QLocale> shownLocale(Wording wording) {
    const QLocale locale;
    if (wording == Wording::Stored || locale.language() == QLocale::C) {
        return std::nullopt;
    }
    return locale;
}

QString grouped(std::uint64_t value, Wording wording) {
    if (const auto locale = shownLocale(wording)) {
        return locale->toString(qulonglong(value));
    }
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, QLatin1Char(','));
    }
    return digits;
}

}  // namespace

DriveWear driveWear(const std::optional<AttributeTable>& attributes,
                    const std::optional<DeviceStatistics>& statistics, const QString& model) {
    DriveWear wear;
    if (const auto used = find(attributes, 904); used && used->currentValue) {
        // An NVMe drive's health log: every figure is defined by the standard.
        wear.percentageUsed = int(std::min<quint64>(used->currentValue->toUInt64(), 255));
        if (const auto written = find(attributes, 906); written && written->currentValue) {
            const quint64 units = written->currentValue->toUInt64();
            // The counter's low 64 bits; beyond 2^64 bytes the figure saturates.
            wear.bytesWritten =
                units > UINT64_MAX / kNvmeDataUnit ? UINT64_MAX : units * kNvmeDataUnit;
        }
        if (const auto hours = find(attributes, 911); hours && hours->currentValue) {
            wear.powerOnHours = hours->currentValue->toUInt64();
        }
        if (const auto kelvin = find(attributes, 901); kelvin && kelvin->currentValue) {
            // 0 K (no sensor) wraps to 65263; anything outside a plausible range is no reading.
            const quint64 celsius = kelvin->currentValue->toUInt64();
            if (celsius < 200) {
                wear.temperature = int(celsius);
            }
        }
        return wear;
    }
    if (statistics) {
        wear.percentageUsed = statistics->percentageUsed;
        wear.powerOnHours = statistics->powerOnHours;
        wear.temperature = statistics->temperature;
        if (statistics->logicalSectorsWritten) {
            wear.bytesWritten = *statistics->logicalSectorsWritten * kAtaLogicalSector;
        }
    }
    if (!wear.bytesWritten && counts241InSectors(model)) {
        if (const auto sectors = rawOf(attributes, 241)) {
            wear.bytesWritten = *sectors * kAtaLogicalSector;
        }
    }
    if (!wear.temperature) {
        // 194 and 190 keep the current temperature in the raw value's low byte.
        for (const int id : {194, 190}) {
            if (const auto raw = rawOf(attributes, id); raw && (*raw & 0xFF) > 0) {
                wear.temperature = int(*raw & 0xFF);
                break;
            }
        }
    }
    return wear;
}

QString byteCountText(std::uint64_t bytes, Wording wording) {
    static constexpr std::array<const char*, 6> kUnits{"B", "kB", "MB", "GB", "TB", "PB"};
    double value = double(bytes);
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < kUnits.size()) {
        value /= 1000.0;
        ++unit;
    }
    if (unit == 0) {
        return QStringLiteral("%1 B").arg(bytes);
    }
    const auto locale = shownLocale(wording);
    return QStringLiteral("%1 %2")
        .arg(locale ? locale->toString(value, 'f', 1) : QString::number(value, 'f', 1))
        .arg(QLatin1String(kUnits[unit]));
}

QString wearLine(const DriveWear& wear, Wording wording) {
    QStringList parts;
    if (wear.percentageUsed) {
        parts << worded(QStringLiteral("%1 % used"), wording).arg(*wear.percentageUsed);
    }
    if (wear.bytesWritten) {
        parts << worded(QStringLiteral("%1 written"), wording)
                     .arg(byteCountText(*wear.bytesWritten, wording));
    }
    if (wear.powerOnHours) {
        parts << QStringLiteral("%1 h").arg(grouped(*wear.powerOnHours, wording));
    }
    if (parts.isEmpty()) {
        return {};
    }
    return worded(QStringLiteral("own wear indicator: %1"), wording)
        .arg(parts.join(QStringLiteral(" · ")));
}

QString wearDisagreement(const DriveWear& wear, int health, Wording wording) {
    if (!wear.percentageUsed || health < 0 || health > 100) {
        return {};
    }
    const int lifeLeft = std::max(0, 100 - *wear.percentageUsed);
    if (std::abs(health - lifeLeft) < kWearDisagreementPoints) {
        return {};
    }
    return worded(QStringLiteral("the drive's own indicator differs: %1 % life left"), wording)
        .arg(lifeLeft);
}
