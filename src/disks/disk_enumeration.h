// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/disk_platform.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <atomic>
#include <optional>

// One element of the mounted-disk list.
struct DiskEntry {
    int diskNumber = 0;
    QString diskName;
    bool operator==(const DiskEntry&) const = default;
};
using DiskList = QList<DiskEntry>;

// Which physical disks carry mounted, non-removable volumes and under which
// names they are shown; disk descriptions; the boot disk. The logic is the
// same on every platform; the platform answers the questions underneath.
class DiskEnumeration {
  public:
    DiskEnumeration(DiskPlatform& platform, Logger& log) : platform_(platform), log_(log) {}

    // Boot disk first. `resolveBacking`: list the physical disks below
    // encrypted, logical, RAID and pooled volumes instead of the volumes' own devices.
    DiskList mountedHarddisks(bool resolveBacking);
    // Every disk number that answers, probing 0..63 and stopping after five misses in a row.
    DiskList allHarddisks();
    std::optional<QVariantMap> descriptionForDevice(qint64 disk);
    // −1 when the root file system does not come from a disk; then asked again next time.
    int bootDiskBSDNum();
    std::optional<int> bsdNumberForVolume(const QString& volumeName);
    std::optional<QString> volumeNamesForDevice(qint64 disk);

    // Merges a volume into the entry of its disk (its name first), or appends
    // "name (detail)".
    static void addDiskToList(DiskList& list, int disk, const QString& name,
                              const std::optional<QString>& detail);

  private:
    void findZFSBacking(bool& handled, const QString& volumeName, DiskList& list,
                        const Backing& backing);
    bool findRAIDBacking(const Backing& backing, const QString& volumeName, DiskList& list);
    void error(const QString& text) { log_.log_message(kErrorLevel, text); }

    static constexpr int kErrorLevel = 3;
    static constexpr int kBootDiskUnknown = -100;

    DiskPlatform& platform_;
    Logger& log_;
    std::atomic<int> bootDisk_{kBootDiskUnknown};
};
