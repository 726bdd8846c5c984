// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drive_snapshot.h"

DriveSnapshot DriveSnapshot::gather(DiskSource& source, DiskLayer& layer, const Options& options) {
    DriveSnapshot snapshot;
    snapshot.disks = source.mountedHarddisks(true);
    for (const DiskEntry& entry : snapshot.disks.value_or(DiskList())) {
        if (snapshot.byNumber.count(entry.diskNumber) != 0) {
            continue;
        }
        Disk& disk = snapshot.byNumber[entry.diskNumber];
        disk.deviceNode = source.deviceNode(entry.diskNumber);
        disk.serial = source.serialNumber(entry.diskNumber);
        if (!options.readSleepingDisks &&
            layer.getDiskPowerState(entry.diskNumber) == DiskPowerState::Asleep) {
            // The same disk (number and node) keeps what it last showed.
            const Disk* last = nullptr;
            if (options.previous) {
                const auto it = options.previous->byNumber.find(entry.diskNumber);
                if (it != options.previous->byNumber.end() &&
                    it->second.deviceNode == disk.deviceNode) {
                    last = &it->second;
                }
            }
            if (last) {
                const QString serial = disk.serial;
                disk = *last;
                disk.serial = serial;
            }
            disk.standbySince = last && last->standbySince ? last->standbySince : options.now;
            // The description comes from the kernel, never from the disk.
            disk.description = layer.descriptionForDevice(entry.diskNumber);
            continue;
        }
        disk.status = layer.getDiskSMARTStatus(entry.diskNumber);
        disk.description = layer.descriptionForDevice(entry.diskNumber);
        disk.attributes = layer.getDiskSMARTAttributes(entry.diskNumber);
        disk.statistics = layer.getDiskDeviceStatistics(entry.diskNumber);
    }
    return snapshot;
}

DriveSnapshot DriveSnapshot::gather(DiskSource& source, DiskLayer& layer) {
    return gather(source, layer, Options{});
}

const DriveSnapshot::Disk& SnapshotDisks::find(qint64 disk) const {
    // A disk outside the list was never read: it answers like a disk that
    // cannot be read.
    static const DriveSnapshot::Disk kUnread;
    if (!snapshot_) {
        return kUnread;
    }
    const auto it = snapshot_->byNumber.find(disk);
    return it == snapshot_->byNumber.end() ? kUnread : it->second;
}
