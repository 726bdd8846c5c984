// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"
#include "core/smart_status.h"

#include <QDateTime>

#include <map>
#include <memory>

// Everything one check cycle reads from the drives, read in one go so the
// reads (seconds for a drive that does not answer) can run off the main
// thread while the evaluation that follows runs on it.
struct DriveSnapshot {
    struct Disk {
        QString deviceNode;
        QString serial;
        std::uint8_t status = SMARTStatusUnknown;
        std::optional<QVariantMap> description;
        std::optional<AttributeTable> attributes;
        std::optional<DeviceStatistics> statistics;
        // Set when the disk slept and was not read: since when it sleeps. The
        // rest then is the disk's last record, if an earlier cycle had one.
        std::optional<QDateTime> standbySince;
    };
    std::optional<DiskList> disks;
    std::map<qint64, Disk> byNumber;

    struct Options {
        // The last cycle's snapshot, whose records a sleeping disk keeps.
        std::shared_ptr<const DriveSnapshot> previous;
        // Read sleeping disks all the same (the setting "CheckStandbyDisks").
        bool readSleepingDisks = false;
        QDateTime now = QDateTime::currentDateTimeUtc();
    };

    // Reads the list, then each disk's node, status, description and table,
    // in the order a cycle asks for them. An ATA disk is first asked its
    // power mode: one in standby or sleep is not read.
    static DriveSnapshot gather(DiskSource& source, DiskLayer& layer, const Options& options);
    static DriveSnapshot gather(DiskSource& source, DiskLayer& layer);
};

// The disk source and disk layer of a cycle, answered from its snapshot;
// before the first snapshot, a machine without disks.
class SnapshotDisks final : public DiskSource, public DiskLayer {
  public:
    void setSnapshot(std::shared_ptr<const DriveSnapshot> snapshot) {
        snapshot_ = std::move(snapshot);
    }

    std::optional<DiskList> mountedHarddisks(bool) override {
        return snapshot_ ? snapshot_->disks : std::nullopt;
    }
    QString deviceNode(int disk) override { return find(disk).deviceNode; }
    QString serialNumber(int disk) override { return find(disk).serial; }
    std::uint8_t getDiskSMARTStatus(int disk) override { return find(disk).status; }
    std::optional<AttributeTable> getDiskSMARTAttributes(int disk) override {
        return find(disk).attributes;
    }
    std::optional<QVariantMap> descriptionForDevice(qint64 disk) override {
        return find(disk).description;
    }
    std::optional<DeviceStatistics> getDiskDeviceStatistics(int disk) override {
        return find(disk).statistics;
    }
    std::optional<QDateTime> standbySince(int disk) const { return find(disk).standbySince; }
    const std::shared_ptr<const DriveSnapshot>& snapshot() const { return snapshot_; }

  private:
    const DriveSnapshot::Disk& find(qint64 disk) const;

    std::shared_ptr<const DriveSnapshot> snapshot_;
};
