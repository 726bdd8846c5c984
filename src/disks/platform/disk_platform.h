// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>
#include <vector>

// What the disk enumeration asks of the platform. Devices are named by their
// kernel names ("sda2", "dm-1", "md0", "nvme0n1"); a whole disk also has a
// disk number, given in the order the platform first meets the disk and never
// reused while the process runs.

struct MountedVolume {
    QString path;                 // the mount point
    std::optional<QString> name;  // the file-system label, else the mount point
    bool removable = false;
    bool ejectable = false;
    std::optional<QString> device;  // the block device the volume lives on
    QString fsType;
};

// The devices a volume's file system really lives on.
struct Backing {
    enum class Kind {
        Plain,    // the volume's own disk
        Zfs,      // pool members
        Members,  // md RAID or btrfs multi-device members, shown by member name
        Stack,    // device-mapper (LUKS, LVM) down to physical devices, shown by serial
    };
    Kind kind = Kind::Plain;
    // Device names; an empty name is a member whose device could not be found.
    std::vector<QString> members;
};

struct DiskDescription {
    enum class Outcome { Described, NoDisk, NoDescription };
    enum class Media { NoDeviceObject, NoCharacteristics, Rotating, SolidState };
    Outcome outcome = Outcome::NoDisk;
    QVariantMap keys;
    Media media = Media::NoDeviceObject;
};

class DiskPlatform {
  public:
    virtual ~DiskPlatform() = default;

    // Block-device volumes in mount order; pseudo and network file systems are not volumes.
    virtual std::vector<MountedVolume> mountedVolumes() = 0;
    // Absent when the root file system does not come from a device.
    virtual std::optional<MountedVolume> rootVolume() = 0;
    // Absent when the volume's device cannot be described.
    virtual std::optional<Backing> backingOf(const MountedVolume& volume) = 0;

    // The number of the whole disk holding a device; absent when the device
    // name does not look good (not a block device, or a loop, ram or zram device).
    virtual std::optional<int> diskNumber(const QString& device) = 0;
    // Numbers every whole disk of the machine (for the full probe).
    virtual void numberAllDisks() = 0;
    virtual std::optional<QString> kernelName(int disk) = 0;
    // The node shown to the user ("/dev/nvme0n1"); empty when the disk has
    // none (a pool's pseudo disk), and then no drive command can reach it.
    virtual QString deviceNode(int /*disk*/) { return {}; }

    // The serial number of the whole disk holding a device, or "NOSERIAL".
    virtual QString serialNumber(const QString& device) = 0;
    virtual DiskDescription describe(int disk) = 0;
    // The label of a whole disk's own file system (for the full probe).
    virtual std::optional<QString> wholeDiskLabel(int disk) = 0;

    // One enumeration call asks about the same devices many times. Between
    // beginSurvey() and endSurvey() on a thread, the platform may remember
    // what it read about each device for that thread; it forgets it at the
    // end, so a disk added between two calls is seen. Surveys may nest.
    virtual void beginSurvey() {}
    virtual void endSurvey() {}

    // Holds a survey open for as long as it lives.
    class Survey {
      public:
        explicit Survey(DiskPlatform& platform) : platform_(platform) { platform_.beginSurvey(); }
        ~Survey() { platform_.endSurvey(); }
        Survey(const Survey&) = delete;
        Survey& operator=(const Survey&) = delete;

      private:
        DiskPlatform& platform_;
    };
};
