// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "core/drive_wear.h"

#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <optional>

// The services the health evaluation calls. Each is an interface so the
// evaluation runs the same against real drives, recorded machines and tests.

// Whether a disk may be read without waking it. Only ATA disks are asked;
// every other disk is Unknown, and read as always.
enum class DiskPowerState { Unknown, Awake, Asleep };

// The disk layer. All calls are synchronous and may block.
class DiskLayer {
  public:
    virtual ~DiskLayer() = default;
    // A value of SMARTStatus.
    virtual std::uint8_t getDiskSMARTStatus(int disk) = 0;
    // Absent when the table could not be read; never partly filled.
    virtual std::optional<AttributeTable> getDiskSMARTAttributes(int disk) = 0;
    // Absent when the disk cannot be described.
    virtual std::optional<QVariantMap> descriptionForDevice(qint64 disk) = 0;
    // The drive's Device Statistics; absent when it keeps none (or is no ATA disk).
    virtual std::optional<DeviceStatistics> getDiskDeviceStatistics(int disk) {
        (void)disk;
        return std::nullopt;
    }
    // Asks an ATA disk its power mode without spinning it up.
    virtual DiskPowerState getDiskPowerState(int disk) {
        (void)disk;
        return DiskPowerState::Unknown;
    }
};

class HostFacts {
  public:
    virtual ~HostFacts() = default;
    // The hardware model identifier, or the empty string.
    virtual QString machineType() = 0;
};

// Anonymous reports to the maker; none blocks and none returns an outcome.
class ServerReports {
  public:
    virtual ~ServerReports() = default;
    virtual bool logged(const QString& onceToken) = 0;
    virtual void log(const QString& value, const QString& file, const QString& once) = 0;
    virtual void log(const QString& value, const QString& file) = 0;
};

// The problem dialog that offers to send unexpected drive data to the maker.
// Returns when the user has answered.
class FeedbackAlert {
  public:
    virtual ~FeedbackAlert() = default;
    virtual void alert_feedback(const QString& message, const QString& details, bool fatal) = 0;
};

// Levels 0 (Emergency) to 7 (Debug); never fails.
class Logger {
  public:
    virtual ~Logger() = default;
    virtual void log_message(int level, const QString& text) = 0;
};

// Integer settings: 0 when the key is absent or holds no number.
class IntSettings {
  public:
    virtual ~IntSettings() = default;
    virtual qint64 defaultInt(const QString& key) = 0;
    virtual void setDefaultInt(const QString& key, qint64 value) = 0;
};

struct EvaluationServices {
    DiskLayer& disks;
    HostFacts& host;
    ServerReports& reports;
    FeedbackAlert& feedback;
    Logger& log;
    IntSettings& settings;
};
