// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/disk_enumeration.h"
#include "disks/disk_name_resolver.h"
#include "disks/drive_access.h"
#include "disks/host_environment.h"
#include "disks/platform/disk_platform.h"
#include "disks/platform/smart_access.h"
#include "disks/smart_reader.h"

#include <filesystem>
#include <memory>

class LinuxHostFacts;

// The disk layer and host facts of one machine: the enumeration and
// descriptions read below the machine's root folder, S.M.A.R.T. read through
// the chosen access, both speaking of disks by the same numbers. One instance
// serves the process (it holds the disk numbering and the boot disk cache).
class DXHostInformation final : public DiskLayer, public HostFacts {
  public:
    // Everything as the options choose it (see drive_access.h).
    DXHostInformation(const DriveAccessOptions& options, Logger& log);
    DXHostInformation(const std::filesystem::path& root, std::unique_ptr<SmartAccess> access,
                      Logger& log, HostEnvironment environment = processHostEnvironment());
    ~DXHostInformation() override;

    std::uint8_t getDiskSMARTStatus(int disk) override;
    std::optional<AttributeTable> getDiskSMARTAttributes(int disk) override;
    std::optional<QVariantMap> descriptionForDevice(qint64 disk) override;
    std::optional<DeviceStatistics> getDiskDeviceStatistics(int disk) override;
    DiskPowerState getDiskPowerState(int disk) override;
    // The access the disks are read through (a recorded machine's counts reads).
    SmartAccess& access() { return *access_; }
    QString machineType() override;

    DiskList mountedHarddisks(bool resolveBacking) {
        return disks_.mountedHarddisks(resolveBacking);
    }
    DiskList allHarddisks() { return disks_.allHarddisks(); }
    int bootDiskBSDNum() { return disks_.bootDiskBSDNum(); }
    std::optional<int> bsdNumberForVolume(const QString& name) {
        return disks_.bsdNumberForVolume(name);
    }
    std::optional<QString> volumeNamesForDevice(qint64 disk) {
        return disks_.volumeNamesForDevice(disk);
    }
    // The node shown to the user for a disk ("/dev/nvme0n1"); empty when unknown.
    QString deviceNode(int disk) { return platform_->deviceNode(disk); }
    QString serialNumber(int disk);

    LinuxHostFacts& host() { return *host_; }

  private:
    class Names;
    std::unique_ptr<DiskPlatform> platform_;
    DiskEnumeration disks_;
    std::unique_ptr<SmartAccess> access_;
    std::unique_ptr<Names> names_;
    SmartReader reader_;
    std::unique_ptr<LinuxHostFacts> host_;
};
