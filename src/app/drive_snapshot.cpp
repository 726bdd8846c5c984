// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drive_snapshot.h"

DriveSnapshot DriveSnapshot::gather(DiskSource& source, DiskLayer& layer) {
    DriveSnapshot snapshot;
    snapshot.disks = source.mountedHarddisks(true);
    for (const DiskEntry& entry : snapshot.disks.value_or(DiskList())) {
        if (snapshot.byNumber.count(entry.diskNumber) != 0) {
            continue;
        }
        Disk& disk = snapshot.byNumber[entry.diskNumber];
        disk.deviceNode = source.deviceNode(entry.diskNumber);
        disk.status = layer.getDiskSMARTStatus(entry.diskNumber);
        disk.description = layer.descriptionForDevice(entry.diskNumber);
        disk.attributes = layer.getDiskSMARTAttributes(entry.diskNumber);
    }
    return snapshot;
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
