// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/disk_enumeration.h"

#include "ext/literal.h"

#include <limits>

namespace {

// Swap space of the platform this logic was first written for; harmless elsewhere.
const QString kVirtualMemoryVolume = QStringLiteral("/private/var/vm");

}  // namespace

void DiskEnumeration::addDiskToList(DiskList& list, int disk, const QString& name,
                                    const std::optional<QString>& detail) {
    bool matched = false;
    for (DiskEntry& entry : list) {
        if (entry.diskNumber == disk) {
            entry.diskName = name + QStringLiteral(", ") + entry.diskName;
            matched = true;
        }
    }
    if (matched) {
        return;
    }
    list.append({disk, detail ? QStringLiteral("%1 (%2)").arg(name, *detail) : name});
}

DiskList DiskEnumeration::mountedHarddisks(bool resolveBacking) {
    const DiskPlatform::Survey survey(platform_);
    DiskList list;
    for (const MountedVolume& volume : platform_.mountedVolumes()) {
        if (volume.path == kVirtualMemoryVolume || volume.removable || volume.ejectable) {
            continue;
        }
        if (!volume.name) {
            error(QStringLiteral("Error: getResourceValue == NULL, %1").arg(1126));
            continue;
        }
        if (!volume.device) {
            continue;
        }
        const std::optional<int> disk = platform_.diskNumber(*volume.device);
        if (!disk) {
            continue;
        }
        // A further volume of a disk already listed goes after the names it has.
        bool merged = false;
        for (DiskEntry& entry : list) {
            if (entry.diskNumber == *disk) {
                entry.diskName.append(QLatin1String(", ")).append(*volume.name);
                merged = true;
            }
        }
        if (merged) {
            continue;
        }
        bool handled = false;
        if (resolveBacking) {
            const std::optional<Backing> backing = platform_.backingOf(volume);
            if (!backing) {
                error(QStringLiteral("Error: DADiskCopyDescription == NULL, %1").arg(1103));
            } else if (backing->kind == Backing::Kind::Zfs) {
                findZFSBacking(handled, *volume.name, list, *backing);
            } else if (backing->kind != Backing::Kind::Plain) {
                handled = findRAIDBacking(*backing, *volume.name, list);
            }
        }
        if (!handled) {
            addDiskToList(list, *disk, *volume.name, std::nullopt);
        }
    }
    if (list.size() >= 2) {
        const int boot = bootDiskBSDNum();
        for (qsizetype i = 1; i < list.size(); ++i) {
            if (list[i].diskNumber == boot) {
                list.swapItemsAt(0, i);
                break;
            }
        }
    }
    return list;
}

void DiskEnumeration::findZFSBacking(bool& handled, const QString& volumeName, DiskList& list,
                                     const Backing& backing) {
    for (const QString& member : backing.members) {
        if (member.isEmpty()) {
            error(QStringLiteral("Error: couldn't get bsd name"));
            continue;
        }
        const std::optional<int> disk = platform_.diskNumber(member);
        if (!disk) {
            error(QStringLiteral("Error: bsd name doesn't look good %1").arg(member));
            continue;
        }
        addDiskToList(list, *disk, volumeName, platform_.serialNumber(member));
        handled = true;
    }
}

bool DiskEnumeration::findRAIDBacking(const Backing& backing, const QString& volumeName,
                                      DiskList& list) {
    bool handled = false;
    for (const QString& member : backing.members) {
        if (member.isEmpty() && backing.kind == Backing::Kind::Stack) {
            continue;  // a walk that found no device name says nothing
        }
        const std::optional<int> disk =
            member.isEmpty() ? std::nullopt : platform_.diskNumber(member);
        if (!disk) {
            error(backing.kind == Backing::Kind::Members
                      ? QStringLiteral("Error: 1bsd name doesn't look good %1").arg(member)
                      : QStringLiteral("Error: bsd name doesn't look good %1").arg(member));
            continue;
        }
        addDiskToList(
            list, *disk, volumeName,
            backing.kind == Backing::Kind::Members ? member : platform_.serialNumber(member));
        handled = true;
    }
    return handled;
}

int DiskEnumeration::bootDiskBSDNum() {
    const int cached = bootDisk_.load();
    if (cached != kBootDiskUnknown) {
        return cached;
    }
    const DiskPlatform::Survey survey(platform_);
    const std::optional<MountedVolume> root = platform_.rootVolume();
    if (!root || !root->device) {
        return -1;
    }
    // The boot disk is the physical disk below "/", through any stack of
    // encryption, logical volumes, RAID or pool.
    std::optional<int> disk;
    const std::optional<Backing> backing = platform_.backingOf(*root);
    if (backing && backing->kind != Backing::Kind::Plain) {
        for (const QString& member : backing->members) {
            if (!member.isEmpty() && (disk = platform_.diskNumber(member))) {
                break;
            }
        }
    } else {
        disk = platform_.diskNumber(*root->device);
    }
    if (!disk) {
        return -1;
    }
    bootDisk_.store(*disk);
    return *disk;
}

std::optional<QVariantMap> DiskEnumeration::descriptionForDevice(qint64 disk) {
    if (disk < 0 || disk > std::numeric_limits<int>::max()) {
        error(QStringLiteral("Error:    DADiskCreateFromBSDName returned NULL"));
        return std::nullopt;
    }
    DiskDescription description = platform_.describe(int(disk));
    switch (description.outcome) {
        case DiskDescription::Outcome::NoDisk:
            error(QStringLiteral("Error:    DADiskCreateFromBSDName returned NULL"));
            return std::nullopt;
        case DiskDescription::Outcome::NoDescription:
            error(QStringLiteral("Error:    DADiskCopyDescription returned NULL"));
            return std::nullopt;
        case DiskDescription::Outcome::Described:
            break;
    }
    QVariantMap result = description.keys;
    switch (description.media) {
        case DiskDescription::Media::NoDeviceObject:
            error(QStringLiteral(
                      "Error:    could not IORegistryEntryFromPath(%1) for DADevicePath - dict %2")
                      .arg(result.value(QStringLiteral("DADevicePath")).toString(),
                           descriptionText(QVariant(description.keys))));
            break;
        case DiskDescription::Media::NoCharacteristics:
            error(
                QStringLiteral("Error:    could not IORegistryEntryCreateCFProperty() for "
                               "IORegistryEntryFromPath()"));
            break;
        case DiskDescription::Media::SolidState:
            result.insert(QStringLiteral("isSSD"), true);
            break;
        case DiskDescription::Media::Rotating:
            break;
    }
    for (const char* key : {"DABusName", "DABusPath", "DADevicePath", "DAMediaPath"}) {
        const QVariant value = result.value(QLatin1String(key));
        if (value.isValid()) {
            if (value.toString().contains(QLatin1String("NVMe"))) {
                result.insert(QStringLiteral("isNVME"), true);
            }
            break;
        }
    }
    return result;
}

DiskList DiskEnumeration::allHarddisks() {
    platform_.numberAllDisks();
    DiskList list;
    int misses = 0;
    for (int i = 0; i <= 63 && misses < 5; ++i) {
        const DiskDescription description = platform_.describe(i);
        if (description.outcome != DiskDescription::Outcome::Described) {
            ++misses;
            continue;
        }
        misses = 0;
        const std::optional<QString> label = platform_.wholeDiskLabel(i);
        const std::optional<QString> name = platform_.kernelName(i);
        list.append({i, label ? *label : QStringLiteral("/dev/") + name.value_or(QString())});
    }
    return list;
}

std::optional<int> DiskEnumeration::bsdNumberForVolume(const QString& volumeName) {
    const DiskPlatform::Survey survey(platform_);
    for (const MountedVolume& volume : platform_.mountedVolumes()) {
        if (volume.name == volumeName && volume.device) {
            if (const std::optional<int> disk = platform_.diskNumber(*volume.device)) {
                return disk;
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> DiskEnumeration::volumeNamesForDevice(qint64 disk) {
    const DiskPlatform::Survey survey(platform_);
    QString names;
    for (const MountedVolume& volume : platform_.mountedVolumes()) {
        if (volume.path == kVirtualMemoryVolume || !volume.device || !volume.name) {
            continue;
        }
        if (platform_.diskNumber(*volume.device) == disk) {
            if (!names.isEmpty()) {
                names += QStringLiteral(", ");
            }
            names += *volume.name;
        }
    }
    if (names.isEmpty()) {
        return std::nullopt;
    }
    return names;
}
