// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disks/platform/linux/sysfs_disks.h"
#include "disks/platform/smart_access.h"

#include <chrono>
#include <string>

// Drive commands through the kernel: ATA S.M.A.R.T. in SCSI ATA PASS-THROUGH
// (16) over SG_IO on the disk's block node, the NVMe health log through an
// admin Get Log Page on the controller node. Needs CAP_SYS_RAWIO (ATA) and
// CAP_SYS_ADMIN (NVMe). Every command is read-only; nodes are opened
// O_RDONLY|O_NONBLOCK so a busy or absent medium never blocks the open.
class LinuxSmartAccess final : public SmartAccess {
  public:
    struct Roots {
        std::string sys = "/sys";
        std::string dev = "/dev";
    };
    static constexpr std::chrono::milliseconds kCommandTimeout{10000};

    LinuxSmartAccess() : LinuxSmartAccess(Roots{}) {}
    explicit LinuxSmartAccess(Roots roots, std::chrono::milliseconds timeout = kCommandTimeout);

    SmartProtocol protocolOf(const std::string& disk) override;
    bool hasDisk(const std::string& disk) override;
    AtaStatusAnswer ataReturnStatus(const std::string& disk) override;
    PageAnswer ataReadData(const std::string& disk) override;
    PageAnswer ataReadThresholds(const std::string& disk) override;
    PageAnswer nvmeHealthLog(const std::string& disk) override;
    PageAnswer ataDeviceStatistics(const std::string& disk, std::uint8_t page) override;
    PowerModeAnswer ataPowerMode(const std::string& disk) override;

  private:
    // Opens the node of an ATA whole disk after checking it against sysfs.
    IOReturn openAtaDisk(const std::string& disk, int& fd);
    PageAnswer ataReadPage(const std::string& disk, bool thresholds);

    SysfsDisks sysfs_;
    std::string devRoot_;
    std::chrono::milliseconds timeout_;
};
