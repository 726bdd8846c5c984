// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"
#include "core/smart_status.h"

#include <map>
#include <memory>

// Everything one check cycle reads from the drives, read in one go so the
// reads (seconds for a drive that does not answer) can run off the main
// thread while the evaluation that follows runs on it.
struct DriveSnapshot {
    struct Disk {
        QString deviceNode;
        std::uint8_t status = SMARTStatusUnknown;
        std::optional<QVariantMap> description;
        std::optional<AttributeTable> attributes;
    };
    std::optional<DiskList> disks;
    std::map<qint64, Disk> byNumber;

    // Reads the list, then each disk's node, status, description and table,
    // in the order a cycle asks for them.
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
    std::uint8_t getDiskSMARTStatus(int disk) override { return find(disk).status; }
    std::optional<AttributeTable> getDiskSMARTAttributes(int disk) override {
        return find(disk).attributes;
    }
    std::optional<QVariantMap> descriptionForDevice(qint64 disk) override {
        return find(disk).description;
    }

  private:
    const DriveSnapshot::Disk& find(qint64 disk) const;

    std::shared_ptr<const DriveSnapshot> snapshot_;
};
